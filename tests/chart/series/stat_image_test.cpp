// Pictures in bars and at points: stretched and tiled bar pictures, the delta
// series' choice of picture, image points, and the pictures in chart files.
#include "chart/control/series_fixture.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/series/imagebar.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include <functional>

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

// Each point is drawn at its picture's size, with room for the pictures about
// the points from the first paint on; a pointer size set by code stays.
TEST_F(StatImageTest, DeltaPointsTakeTheirPicturesSizeOnlyToDraw) {
    auto* s = Add<TDeltaPointSeries>();
    for (TPicture* p : {s->EqualImage(), s->GreaterImage(), s->LowerImage()})
        Solid(p, clBlue, 8, 8);
    for (double v : {5, 3, 3, 4})
        s->Add(v);
    s->Pointer()->SetStyle(psCircle);
    s->Pointer()->SetHorizSize(3);
    s->Pointer()->SetVertSize(2);
    Render("delta_sized_first");
    EXPECT_EQ(s->Pointer()->HorizSize(), 3);
    EXPECT_EQ(s->Pointer()->VertSize(), 2);
    const TRect all = Bounds(clBlue);
    // Whole pictures, 8 either side, the first and the highest too.
    for (int i = 0; i < 4; ++i) {
        const int x = s->CalcXPos(i), y = s->CalcYPos(i);
        EXPECT_EQ(Count(clBlue, TRect(x - 8, y - 8, x + 8, y + 8)), 256) << i;
    }
    EXPECT_EQ(s->Clicked(s->CalcXPos(3) + 6, s->CalcYPos(3) - 6), 3);
    Render("delta_sized_second");
    EXPECT_EQ(Bounds(clBlue), all);
    EXPECT_EQ(s->Pointer()->HorizSize(), 3);
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

// Each picture a series publishes, by the way to reach it.
struct TPictureCase {
    const char* Name;
    TClass Class;
    std::function<TPicture*(TChartSeries*)> Picture;
};
const TPictureCase PictureCases[] = {
    {"Image", &TImageBarSeries::ClassInfo,
     [](TChartSeries* S) { return static_cast<TImageBarSeries*>(S)->Image(); }},
    {"ImagePoint", &TImagePointSeries::ClassInfo,
     [](TChartSeries* S) { return static_cast<TImagePointSeries*>(S)->ImagePoint(); }},
    {"EqualImage", &TDeltaPointSeries::ClassInfo,
     [](TChartSeries* S) { return static_cast<TDeltaPointSeries*>(S)->EqualImage(); }},
    {"GreaterImage", &TDeltaPointSeries::ClassInfo,
     [](TChartSeries* S) { return static_cast<TDeltaPointSeries*>(S)->GreaterImage(); }},
    {"LowerImage", &TDeltaPointSeries::ClassInfo,
     [](TChartSeries* S) { return static_cast<TDeltaPointSeries*>(S)->LowerImage(); }},
};

std::vector<uint8_t> BytesOf(TPicture* P) {
    return P->Graphic() && !P->Graphic()->Empty() ? P->Graphic()->SaveToBytes()
                                                  : std::vector<uint8_t>();
}

std::string SaveText(TChart* C) {
    TMemoryStream m;
    SaveChartToStream(C, &m, false, true);
    return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

// A picture set, emptied or left as the series starts comes back as it was,
// from the binary and the text form; only a changed picture is written.
TEST_F(StatImageTest, PicturesComeBackFromChartFiles) {
    for (const TPictureCase& c : PictureCases)
        for (const char* change : {"none", "set", "emptied"})
            for (const bool text : {false, true}) {
                SCOPED_TRACE(std::string(c.Name) + " " + change + (text ? " text" : " binary"));
                TChart chart(nullptr);
                TChartSeries* s = CreateNewSeries(&chart, &chart, c.Class);
                s->SetName("Pictured");
                if (auto* delta = dynamic_cast<TDeltaPointSeries*>(s))
                    delta->SetImageStyle(disHands);
                if (std::string(change) == "set") {
                    TBitmap b(5, 7);
                    b.Canvas()->Brush()->SetColor(clTeal);
                    b.Canvas()->FillRect(TRect(0, 0, 5, 7));
                    b.Canvas()->SetPixel(2, 3, clFuchsia);
                    c.Picture(s)->SetGraphic(&b);
                } else if (std::string(change) == "emptied") {
                    c.Picture(s)->SetGraphic(nullptr);
                }
                const std::vector<uint8_t> want = BytesOf(c.Picture(s));
                EXPECT_EQ(SaveText(&chart).find(std::string(c.Name) + ".Data") == std::string::npos,
                          std::string(change) == "none");
                TMemoryStream m;
                SaveChartToStream(&chart, &m, true, text);
                m.SetPosition(0);
                TCustomChart* back = new TChart(nullptr);
                std::unique_ptr<TCustomChart> keep(back);
                LoadChartFromStream(back, &m);
                ASSERT_EQ(back->SeriesCount(), 1);
                EXPECT_EQ(BytesOf(c.Picture(back->Series(0))), want);
                if (auto* delta = dynamic_cast<TDeltaPointSeries*>(back->Series(0))) {
                    EXPECT_EQ(delta->ImageStyle(), disHands);
                }
            }
}

TEST_F(StatImageTest, DamagedPictureDataRefusesTheFile) {
    TChart chart(nullptr);
    auto* s = static_cast<TImagePointSeries*>(
        CreateNewSeries(&chart, &chart, &TImagePointSeries::ClassInfo));
    s->SetName("Pictured");
    Solid(s->ImagePoint(), clGreen, 6, 10);
    TMemoryStream m;
    SaveChartToStream(&chart, &m, false, false);
    std::string file(static_cast<const char*>(m.Memory()), size_t(m.Size()));
    // After the graphic's class name comes the size of the bytes that follow.
    const size_t name = file.find("\x07TBitmap");
    ASSERT_NE(name, std::string::npos);
    file.replace(name + 8, 4, "\xFF\xFF\xFF\x7F");
    ExpectRefused(file);
}

// A copy of a series (the editor's clone, a change of type) keeps its pictures.
TEST_F(StatImageTest, ClonesKeepTheirPictures) {
    for (const TPictureCase& c : PictureCases) {
        SCOPED_TRACE(c.Name);
        TChart chart(nullptr);
        TChartSeries* s = CreateNewSeries(&chart, &chart, c.Class);
        Solid(c.Picture(s), clTeal, 3, 5);
        TChartSeries* copy = CloneChartSeries(s);
        EXPECT_EQ(BytesOf(c.Picture(copy)), BytesOf(c.Picture(s)));
    }
}

} // namespace
