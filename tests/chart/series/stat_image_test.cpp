// Pictures in bars and at points: stretched and tiled bar pictures, the delta
// series' choice of picture, image points.
#include "chart/control/series_fixture.h"
#include "chart/series/imagebar.h"
#include "chart/series/teeextraseries.h"

namespace {

class StatImageTest : public SeriesChartTest {
protected:
    StatImageTest() { TeeExtraSeriesStartup(); }
    static void Solid(TPicture* P, TColor C, int W = 4, int H = 4) {
        TBitmap b(W, H);
        b.Canvas()->Brush()->SetColor(C);
        b.Canvas()->FillRect(TRect(0, 0, W, H));
        P->SetGraphic(&b);
    }
};

TEST_F(StatImageTest, BarPictureFillsTheBarInsideItsBorder) {
    auto* s = Add<TImageBarSeries>();
    TPicture blue;
    Solid(&blue, clBlue);
    s->SetImage(&blue);
    s->AddXY(1, 10);
    Ranges(0, 2, 0, 12);
    Render("image_bar");
    const TRect r = Bounds(clBlue);
    EXPECT_NEAR(r.Top, YPos(10) + 1, 1);
    EXPECT_EQ(Pixel(r.Left - 1, (r.Top + r.Bottom) / 2), clBlack); // the bar's pen stays
    EXPECT_GT(r.Right - r.Left, 20);
    // An empty picture leaves a plain bar.
    TPicture none;
    s->SetImage(&none);
    Render("image_bar_plain");
    EXPECT_EQ(Count(clBlue, TRect(0, 0, W, H)), 0);
    EXPECT_EQ(Pixel((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), clRed);
}

TEST_F(StatImageTest, TiledPictureRepeatsFromTheBarBase) {
    auto* s = Add<TImageBarSeries>();
    TPicture stripe;
    TBitmap b(4, 4);
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(TRect(0, 0, 4, 4));
    b.Canvas()->Brush()->SetColor(clYellow);
    b.Canvas()->FillRect(TRect(0, 3, 4, 4)); // bottom row of each tile yellow
    stripe.SetGraphic(&b);
    s->SetImage(&stripe);
    s->SetImageTiled(true);
    s->AddXY(1, 10);
    Ranges(0, 2, 0, 12);
    Render("image_bar_tiled");
    const TRect blue = Bounds(clBlue);
    const int x = (blue.Left + blue.Right) / 2;
    // The tile rows end at the bar's bottom: the last row inside is yellow.
    const TRect yellow = Bounds(clYellow);
    EXPECT_EQ(Pixel(x, yellow.Bottom - 1), clYellow);
    EXPECT_EQ(Pixel(x, yellow.Bottom - 5), clYellow);
    EXPECT_EQ(Pixel(x, yellow.Bottom - 2), clBlue);
}

TEST_F(StatImageTest, DeltaPicturesFollowTheChange) {
    auto* s = Add<TDeltaPointSeries>();
    for (double v : {5, 3, 3, 4})
        s->Add(v);
    EXPECT_EQ(s->DeltaImage(0), s->EqualImage());
    EXPECT_EQ(s->DeltaImage(1), s->GreaterImage());
    EXPECT_EQ(s->DeltaImage(2), s->EqualImage());
    EXPECT_EQ(s->DeltaImage(3), s->LowerImage());
    Solid(s->LowerImage(), clBlue, 8, 8);
    Ranges(-1, 4, 0, 6);
    Render("delta_point");
    EXPECT_EQ(Pixel(XPos(3), YPos(4)), clBlue);
    EXPECT_NE(Pixel(XPos(2), YPos(3)), clBlue);
}

TEST_F(StatImageTest, ImagePointTakesThePictureSizeAndAsksPerPoint) {
    auto* s = Add<TImagePointSeries>();
    TPicture green;
    Solid(&green, clGreen, 6, 10);
    s->SetImagePoint(&green);
    EXPECT_TRUE(s->ImageTransparent());
    s->SetImageTransparent(false); // a solid picture would vanish
    EXPECT_EQ(s->Pointer()->HorizSize(), 6);
    EXPECT_EQ(s->Pointer()->VertSize(), 10);
    s->Add(1);
    s->Add(2);
    s->OnGetImage = [](TCustomImagePointSeries*, int i, TPicture* P) {
        if (i == 1) {
            TBitmap b(6, 10);
            b.Canvas()->Brush()->SetColor(clPurple);
            b.Canvas()->FillRect(TRect(0, 0, 6, 10));
            P->SetGraphic(&b);
        }
    };
    Ranges(-1, 2, 0, 3);
    Render("image_point");
    EXPECT_EQ(Pixel(XPos(0), YPos(1)), clGreen);
    EXPECT_EQ(Pixel(XPos(1), YPos(2)), clPurple);
    EXPECT_EQ(Pixel(XPos(1) + 3, YPos(2) + 8), clPurple); // 6 x 10 either side
}

} // namespace
