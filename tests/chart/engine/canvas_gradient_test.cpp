// Gradient bands, radial and corner fills, shadows and blending arithmetic.
#include "chart/engine/tecanvas.h"
#include "support/recording_canvas.h"
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class Fill : public ::testing::Test {
protected:
    Fill() {
        canvas.Brush()->SetColor(clWhite);
        canvas.FillRect(TRect(0, 0, 400, 300));
        canvas.Brush()->SetColor(clGreen);
        canvas.Brush()->SetStyle(bsDiagCross);
        canvas.Clear();
    }
    std::vector<TRecordedCall> Bands() { return canvas.Find("FillRect", 1); }
    TRecordingCanvas canvas;
};

} // namespace

TEST_F(Fill, VerticalBandsStartAtTheBottomAndEndExactly) {
    canvas.GradientFill(TRect(0, 0, 10, 1), clRed, clBlue, gdTopBottom);
    EXPECT_TRUE(Bands().empty()); // one pixel high: nothing

    canvas.GradientFill(TRect(0, 0, 10, 2), clRed, clBlue, gdTopBottom);
    auto bands = Bands();
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0].Text, "FillRect(0,1,10,2)");
    EXPECT_EQ(bands[0].BrushColor, clRed);
    EXPECT_EQ(bands[1].Text, "FillRect(0,0,10,1)");
    EXPECT_EQ(bands[1].BrushColor, clBlue);
    EXPECT_EQ(canvas.GetPixel(5, 1), clRed);
    EXPECT_EQ(canvas.GetPixel(5, 0), clBlue);

    // The brush is as it was.
    EXPECT_EQ(canvas.Brush()->Color(), clGreen);
    EXPECT_EQ(canvas.Brush()->Style(), bsDiagCross);
}

TEST_F(Fill, AtMost256BandsAndTheLastIsTheEndColour) {
    canvas.GradientFill(TRect(0, 0, 5, 300), RGB(0, 0, 0), RGB(255, 100, 7), gdTopBottom);
    const auto bands = Bands();
    ASSERT_EQ(bands.size(), 256u);
    EXPECT_EQ(bands.front().BrushColor, RGB(0, 0, 0));
    EXPECT_EQ(bands.back().BrushColor, RGB(255, 100, 7));
    EXPECT_EQ(bands[128].BrushColor, RGB(128, 50, 3)); // 255 * 128 div 255, ...
    EXPECT_EQ(bands.back().Text, "FillRect(0,0,5,2)"); // 300 div 256 rows and rest
}

TEST_F(Fill, DirectionsPutTheFirstColourWhereTheyStart) {
    // Every direction but top-bottom and left-right swaps the two colours first.
    struct Case {
        TGradientDirection Direction;
        TPoint First, Last; // where the first and the second colour lie
        bool Exact;         // whether the far end reaches the second colour
    } cases[] = {
        {gdTopBottom, {5, 9}, {5, 0}, true},       {gdBottomTop, {5, 9}, {5, 0}, true},
        {gdLeftRight, {9, 5}, {0, 5}, true},       {gdRightLeft, {9, 5}, {0, 5}, true},
        {gdFromCenter, {0, 0}, {5, 5}, false},     {gdFromTopLeft, {0, 0}, {9, 9}, false},
        {gdFromBottomLeft, {0, 9}, {9, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Direction));
        canvas.GradientFill(TRect(0, 0, 10, 10), clRed, clBlue, c.Direction);
        const bool swapped = c.Direction != gdTopBottom && c.Direction != gdLeftRight;
        const TColor first = swapped ? clBlue : clRed, second = swapped ? clRed : clBlue;
        EXPECT_EQ(canvas.GetPixel(c.First.x, c.First.y), first);
        const COLORREF last = canvas.GetPixel(c.Last.x, c.Last.y);
        if (c.Exact)
            EXPECT_EQ(last, COLORREF(second));
        else // most of the way
            EXPECT_GT(std::abs(GetRValue(last) - GetRValue(first)), 150);
    }
}

TEST_F(Fill, BalanceBendsTheRamp) {
    canvas.GradientFill(TRect(0, 0, 100, 11), RGB(0, 0, 0), RGB(200, 200, 200), gdTopBottom, 80);
    const auto bands = Bands();
    ASSERT_EQ(bands.size(), 11u);
    // ((1 + 5) / 11) ^ (80 * 0.015 + 0.5) * 200 = 71.0
    EXPECT_EQ(GetRValue(ColorToRGB(bands[5].BrushColor)), 71);
}

TEST_F(Fill, RadialHasTheStartColourInTheCentre) {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.GradientFill(TRect(0, 0, 40, 40), clRed, clBlue, gdRadial);
    // The innermost ring drawn is one step out from the start colour.
    EXPECT_EQ(canvas.GetPixel(20, 20), RGB(249, 0, 6));
    EXPECT_EQ(canvas.GetPixel(0, 0), clBlue);
    EXPECT_EQ(canvas.ClipDepth(), 0);
    EXPECT_EQ(canvas.Pen()->Style(), psSolid);
}

TEST_F(Fill, RadialOfNoStepsOnlyFills) {
    canvas.GradientFill(TRect(10, 10, 11, 11), clRed, clBlue, gdRadial);
    EXPECT_EQ(canvas.Count("Ellipse", 9), 0);
    EXPECT_EQ(canvas.GetPixel(10, 10), clBlue);
    EXPECT_EQ(canvas.ClipDepth(), 0);
}

TEST_F(Fill, MiddleColourSplitsIntoTwoHalves) {
    TTeeGradient g;
    g.SetStartColor(clRed);
    g.SetMidColor(clWhite);
    g.SetEndColor(clBlue);
    g.SetBalance(70);
    g.Draw(&canvas, TRect(0, 0, 10, 20));
    EXPECT_EQ(canvas.Log(0),
              (std::vector<std::string>{"GradientFill(0,0,10,10,0xFFFFFF,0xFF0000,0,50)",
                                        "GradientFill(0,10,10,20,0x0000FF,0xFFFFFF,0,50)"}));
    canvas.Clear();
    g.SetDirection(gdFromCenter);
    g.Draw(&canvas, TRect(0, 0, 10, 20));
    EXPECT_EQ(canvas.Log(0),
              (std::vector<std::string>{"GradientFill(0,0,10,20,0x0000FF,0xFF0000,4,50)"}));
}

TEST_F(Fill, MonochromeGradientsAreGray) {
    canvas.SetMonochrome(true);
    canvas.Clear();
    TTeeGradient g;
    g.SetStartColor(RGB(30, 60, 90));
    g.SetEndColor(clWhite);
    g.Draw(&canvas, TRect(0, 0, 10, 20), 4);
    EXPECT_EQ(canvas.Find("GradientFill")[0].Text,
              "GradientFill(0,0,10,20,0x3C3C3C,0xFFFFFF,0,50)");
    EXPECT_EQ(canvas.ClipDepth(), 0);
}

TEST(Blend, EachChannelKeepsTheTransparencyOfWhatWasUnder) {
    TBitmap under(2, 2), over(2, 2);
    under.Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(100, 150, 200)));
    under.Canvas()->FillRect(TRect(0, 0, 2, 2));
    over.Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(0, 50, 250)));
    over.Canvas()->FillRect(TRect(0, 0, 2, 1)); // the bottom row stays white
    TeeBlendBitmaps(70, &under, &over, TPoint(0, 0));
    EXPECT_EQ(over.Canvas()->Pixels(0, 0), RGB(30, 80, 235));
    // White first loses one in red: 254 + (100 - 254) * 30 div 100 = 208.
    EXPECT_EQ(over.Canvas()->Pixels(1, 1), RGB(208, 224, 239));
}

TEST(Blend, TooSmallAreasAreLeftAlone) {
    TBitmap under(1, 5), over(1, 5);
    under.Canvas()->Brush()->SetColor(clBlack);
    under.Canvas()->FillRect(TRect(0, 0, 1, 5));
    TeeBlendBitmaps(50, &under, &over, TPoint(0, 0));
    EXPECT_EQ(over.Canvas()->Pixels(0, 0), clWhite);
    TBitmap wide(5, 5);
    TeeBlendBitmaps(50, &under, &wide, TPoint(-3, 0)); // negative offsets count as 0
    EXPECT_EQ(wide.Canvas()->Pixels(0, 0), clWhite);
}

TEST(Blend, CanvasBlendsWhatWasDrawnOverTheRectangle) {
    TBitmap window(20, 20);
    TTeeCanvas3D canvas;
    canvas.InitWindow(window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 20, 20));
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(TRect(0, 0, 20, 20));
    TTeeBlend* blend = canvas.BeginBlending(TRect(5, 5, 15, 15), 50);
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(TRect(0, 0, 20, 20));
    canvas.EndBlending(blend);
    EXPECT_EQ(canvas.GetPixel(10, 10), RGB(255, 127, 127));
    EXPECT_EQ(canvas.GetPixel(2, 2), clRed);
}

TEST(Shadow, DrawsTwoStripsOrNothing) {
    TRecordingCanvas canvas;
    TTeeShadow shadow;
    shadow.Draw(&canvas, TRect(10, 10, 50, 30));
    shadow.SetSize(3);
    shadow.SetColor(clNone);
    shadow.Draw(&canvas, TRect(10, 10, 50, 30));
    EXPECT_EQ(canvas.Count("FillRect"), 0);

    shadow.SetColor(clGray);
    shadow.SetVertSize(4);
    shadow.Draw(&canvas, TRect(10, 10, 50, 30));
    const auto strips = canvas.Find("FillRect");
    ASSERT_EQ(strips.size(), 2u);
    EXPECT_EQ(strips[0].Text, "FillRect(13,30,53,34)");
    EXPECT_EQ(strips[1].Text, "FillRect(50,14,53,34)");
    EXPECT_EQ(strips[0].BrushColor, clGray);
    EXPECT_EQ(canvas.Pen()->Style(), psClear);

    canvas.Clear();
    shadow.DrawEllipse(&canvas, TRect(10, 10, 50, 30));
    EXPECT_EQ(canvas.Log(0).front(), "EllipseWithZ(13,14,53,34,0)");
}

TEST(Shadow, SeeThroughShadowBlendsOverTheBackground) {
    TBitmap window(60, 40);
    TTeeCanvas3D canvas;
    canvas.InitWindow(window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 60, 40));
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(TRect(0, 0, 60, 40));
    TTeeShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetSize(5);
    shadow.SetTransparency(40);
    shadow.Draw(&canvas, TRect(10, 10, 40, 30));
    // 40 % of the white that was under: 255 * 40 div 100.
    EXPECT_EQ(canvas.GetPixel(20, 32), RGB(102, 102, 102));
    // Pure white inside the blended area loses one in red (never the transparent white).
    EXPECT_EQ(canvas.GetPixel(20, 20), RGB(254, 255, 255));
}

TEST(Blend, TransparencyIsKeptToAPercentage) {
    // Beyond 100 every channel would wrap round; below 0 likewise.
    struct Case {
        int Transparency;
        TColor Expected; // red drawn over white
    } cases[] = {{250, RGB(255, 255, 255)}, {-50, clRed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Transparency);
        TBitmap window(20, 20);
        TTeeCanvas3D canvas;
        canvas.InitWindow(window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 20, 20));
        canvas.Brush()->SetColor(clWhite);
        canvas.FillRect(TRect(0, 0, 20, 20));
        TTeeBlend* blend = canvas.BeginBlending(TRect(5, 5, 15, 15), c.Transparency);
        canvas.Brush()->SetColor(clRed);
        canvas.FillRect(TRect(0, 0, 20, 20));
        canvas.EndBlending(blend);
        EXPECT_EQ(canvas.GetPixel(10, 10), c.Expected);
    }
}

TEST_F(Fill, CornerAndCentreFillsStayInsideTheRectangle) {
    // Taller than wide: the column counter stops at the width while rows go on.
    for (TGradientDirection d : {gdFromTopLeft, gdFromBottomLeft, gdFromCenter}) {
        SCOPED_TRACE(int(d));
        canvas.Brush()->SetColor(clWhite);
        canvas.Brush()->SetStyle(bsSolid);
        canvas.FillRect(TRect(0, 0, 400, 300));
        canvas.GradientFill(TRect(10, 10, 12, 20), clRed, clBlue, d);
        canvas.GradientFill(TRect(30, 10, 30, 20), clRed, clBlue, d); // no width at all
        for (int y = 9; y <= 20; ++y) {
            EXPECT_EQ(canvas.GetPixel(12, y), clWhite) << y;
            EXPECT_EQ(canvas.GetPixel(30, y), clWhite) << y;
        }
        EXPECT_EQ(canvas.GetPixel(11, 20), clWhite);
        EXPECT_EQ(canvas.GetPixel(9, 10), clWhite);
        EXPECT_NE(canvas.GetPixel(11, 19), clWhite);
        EXPECT_NE(canvas.GetPixel(10, 10), clWhite);
    }
}
