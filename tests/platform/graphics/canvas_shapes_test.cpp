// The GDI conformance sheet: exact pixels of the shapes charts draw.
#include "pixelart.h"
#include <gtest/gtest.h>

using Rows = std::vector<std::string>;

class CanvasShapes : public ::testing::Test {
protected:
    TBitmap Bmp;
    TCanvas* C = nullptr;
    void Sheet(int w, int h) {
        Bmp.SetSize(w, h);
        C = Bmp.Canvas();
        C->Brush()->SetColor(clRed);
    }
};

TEST_F(CanvasShapes, NewBitmapIsWhite) {
    Sheet(3, 2);
    EXPECT_EQ(Art(Bmp), (Rows{"...", "..."}));
}

TEST_F(CanvasShapes, RectangleLeavesOutRightAndBottomEdge) {
    Sheet(8, 6);
    C->Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Art(Bmp),
              (Rows{"........", ".#####..", ".#rrr#..", ".#rrr#..", ".#####..", "........"}));
}

TEST_F(CanvasShapes, RectangleWithoutPenIsOnePixelSmaller) {
    Sheet(8, 6);
    C->Pen()->SetStyle(psClear);
    C->Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Art(Bmp),
              (Rows{"........", ".rrrr...", ".rrrr...", ".rrrr...", "........", "........"}));
}

TEST_F(CanvasShapes, FillRectAndFrameRectCoverTheRectangleExactly) {
    Sheet(8, 5);
    C->FillRect(TRect(1, 1, 4, 4));
    C->Brush()->SetColor(clBlue);
    C->FrameRect(TRect(4, 0, 8, 5));
    EXPECT_EQ(Art(Bmp), (Rows{"....bbbb", ".rrrb..b", ".rrrb..b", ".rrrb..b", "....bbbb"}));
}

TEST_F(CanvasShapes, EllipseFitsTheBoxWithoutRightAndBottomEdge) {
    Sheet(12, 10);
    C->Ellipse(1, 1, 11, 9);
    EXPECT_EQ(Art(Bmp), (Rows{"............", "....####....", "..##rrrr##..", ".#rrrrrrrr#.",
                              ".#rrrrrrrr#.", ".#rrrrrrrr#.", ".#rrrrrrrr#.", "..##rrrr##..",
                              "....####....", "............"}));
    EXPECT_EQ(InkBox(Bmp), TRect(1, 1, 11, 9));
}

TEST_F(CanvasShapes, EllipseWithoutPenIsOnePixelSmaller) {
    Sheet(12, 10);
    C->Pen()->SetStyle(psClear);
    C->Ellipse(1, 1, 11, 9);
    EXPECT_EQ(InkBox(Bmp), TRect(1, 1, 10, 8));
}

TEST_F(CanvasShapes, LineToChainLeavesOutOnlyTheLastPixel) {
    Sheet(8, 6);
    C->MoveTo(1, 1);
    C->LineTo(6, 1);
    C->LineTo(6, 4);
    C->LineTo(1, 4);
    EXPECT_EQ(Art(Bmp),
              (Rows{"........", ".######.", "......#.", "......#.", "..#####.", "........"}));
    EXPECT_EQ(C->PenPos(), TPoint(1, 4));
}

TEST_F(CanvasShapes, DiagonalLineStepsOnePixelPerColumn) {
    Sheet(6, 4);
    C->MoveTo(0, 0);
    C->LineTo(6, 3);
    EXPECT_EQ(Art(Bmp), (Rows{"#.....", ".##...", "...##.", ".....#"}));
}

TEST_F(CanvasShapes, PolygonFillsAlternatelyAndOutlinesEveryVertex) {
    Sheet(12, 12);
    const TPoint star[5] = {{6, 0}, {9, 11}, {0, 4}, {11, 4}, {2, 11}};
    C->Polygon(star, 5);
    EXPECT_EQ(Art(Bmp), (Rows{"......#.....", "......#.....", ".....#r#....", ".....#r#....",
                              "############", ".#rr#..#rr#.", "..###...##..", "...##..##...",
                              "...#r##r#...", "...######...", "..##....##..", "..#......#.."}));
}

TEST_F(CanvasShapes, PolygonWindingFillsTheMiddle) {
    Sheet(12, 12);
    C->Pen()->SetStyle(psClear);
    C->SetPolyFillMode(WINDING);
    const TPoint star[5] = {{6, 0}, {9, 11}, {0, 4}, {11, 4}, {2, 11}};
    C->Polygon(star, 5);
    EXPECT_EQ(C->Pixels(5, 6), clRed);
}

TEST_F(CanvasShapes, RoundRectCutsItsCorners) {
    Sheet(14, 10);
    C->RoundRect(1, 1, 13, 9, 6, 4);
    EXPECT_EQ(Art(Bmp),
              (Rows{"..............", "..##########..", ".#rrrrrrrrrr#.", ".#rrrrrrrrrr#.",
                    ".#rrrrrrrrrr#.", ".#rrrrrrrrrr#.", ".#rrrrrrrrrr#.", ".#rrrrrrrrrr#.",
                    "..##########..", ".............."}));
}

TEST_F(CanvasShapes, PieDrawsTheCounterClockwiseSector) {
    Sheet(12, 10);
    C->Pie(1, 1, 11, 9, 11, 5, 6, 0);
    EXPECT_EQ(Art(Bmp), (Rows{"............", "......##....", "......#r##..", "......#rrr#.",
                              "......#rrr#.", "......#####.", "............", "............",
                              "............", "............"}));
}

TEST_F(CanvasShapes, ArcDirectionClockwiseTakesTheOtherSide) {
    Sheet(12, 10);
    C->SetArcDirection(AD_CLOCKWISE);
    C->Arc(1, 1, 11, 9, 11, 5, 6, 0);
    EXPECT_EQ(C->Pixels(10, 2), clWhite); // upper right left out
    EXPECT_EQ(C->Pixels(1, 5), clBlack);  // left side drawn
}

TEST_F(CanvasShapes, ThreePixelLinesEndFlatSquareOrRound) {
    Sheet(16, 12);
    const DWORD ends[3] = {PS_ENDCAP_FLAT, PS_ENDCAP_SQUARE, PS_ENDCAP_ROUND};
    for (int i = 0; i < 3; ++i) {
        LOGBRUSH lb;
        lb.lbColor = 0;
        C->Pen()->SetHandle(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | ends[i], 3, lb));
        C->MoveTo(4, 2 + 4 * i);
        C->LineTo(11, 2 + 4 * i);
    }
    EXPECT_EQ(Art(Bmp), (Rows{"................", "....#######.....", "....#######.....",
                              "....#######.....", "................", "...##########...",
                              "...##########...", "...##########...", "................",
                              "...##########...", "...##########...", "...##########..."}));
}

TEST_F(CanvasShapes, ZeroLengthWideLinesLeaveTheirCap) {
    Sheet(22, 7);
    const DWORD ends[3] = {PS_ENDCAP_FLAT, PS_ENDCAP_SQUARE, PS_ENDCAP_ROUND};
    for (int i = 0; i < 3; ++i) {
        LOGBRUSH lb;
        lb.lbColor = 0;
        C->Pen()->SetHandle(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | ends[i], 5, lb));
        C->MoveTo(3 + 6 * i, 3);
        C->LineTo(3 + 6 * i, 3);
    }
    const TPoint dot[2] = {{20, 3}, {20, 3}}; // a polyline of one point, plain wide pen
    C->Pen()->SetWidth(2);
    C->Polyline(dot, 2);
    EXPECT_EQ(Art(Bmp),
              (Rows{"......................", ".......#####..###.....", ".......#####.#####.##.",
                    ".......#####.#####.##.", ".......#####.#####....", ".......#####..###.....",
                    "......................"}));
}

TEST_F(CanvasShapes, RoundCapsRoundTheEndsOfWideLines) {
    Sheet(20, 9);
    C->Pen()->SetWidth(7); // plain wide pens end round
    C->MoveTo(5, 4);
    C->LineTo(14, 4);
    EXPECT_EQ(C->Pixels(2, 4), clBlack); // half a width beyond the end, on the axis
    EXPECT_EQ(C->Pixels(2, 1), clWhite); // but not in the corner
    EXPECT_EQ(C->Pixels(5, 1), clBlack);
}

TEST_F(CanvasShapes, DashGapsTakeTheBackColourOnlyWhenOpaque) {
    Sheet(30, 3);
    C->Pen()->SetStyle(psDash);
    C->SetBkColor(ColorToRGB(clRed));
    C->SetBkMode(OPAQUE);
    C->MoveTo(0, 0);
    C->LineTo(30, 0);
    C->SetBkMode(TRANSPARENT);
    C->MoveTo(0, 2);
    C->LineTo(30, 2);
    EXPECT_EQ(Art(Bmp), (Rows{"##################rrrrrr######", "..............................",
                              "##################......######"}));
}

TEST_F(CanvasShapes, DotStyleIsThreeOnThreeOff) {
    Sheet(13, 1);
    C->Pen()->SetStyle(psDot);
    C->SetBkMode(TRANSPARENT);
    C->MoveTo(0, 0);
    C->LineTo(13, 0);
    EXPECT_EQ(Art(Bmp)[0], "###...###...#");
}

// A line run carries the dots on from one LineTo to the next, but a figure
// starts them afresh, so it looks the same whatever the pen drew before it.
TEST_F(CanvasShapes, DotsGoOnAlongLinesAndStartAfreshInEachFigure) {
    Sheet(13, 1);
    C->Pen()->SetStyle(psDot);
    C->SetBkMode(TRANSPARENT);
    C->MoveTo(0, 0);
    C->LineTo(4, 0);
    C->LineTo(13, 0);
    EXPECT_EQ(Art(Bmp)[0], "###...###...#");
    const auto figures = [this](bool LineBefore) {
        Sheet(13, 7);
        C->Pen()->SetStyle(psDot);
        C->SetBkMode(TRANSPARENT);
        if (LineBefore) {
            C->MoveTo(0, 6);
            C->LineTo(4, 6);
        }
        const TPoint corner[] = {{0, 0}, {12, 0}, {12, 4}};
        C->Polyline(corner, 3);
        C->Ellipse(0, 1, 12, 6);
        Rows art = Art(Bmp);
        art.pop_back();
        return art;
    };
    const Rows fresh = figures(false);
    EXPECT_EQ(fresh[0], "###...###...#");
    EXPECT_EQ(figures(true), fresh);
}

TEST_F(CanvasShapes, WideStyledPlainPensDrawSolid) {
    Sheet(30, 5);
    C->Pen()->SetStyle(psDash);
    C->Pen()->SetWidth(3);
    C->MoveTo(0, 2);
    C->LineTo(30, 2);
    EXPECT_EQ(Art(Bmp)[2], std::string(29, '#') + "#");
}

TEST_F(CanvasShapes, HatchGapsTakeTheBackColourOnlyWhenOpaque) {
    Sheet(16, 8);
    C->Brush()->SetStyle(bsDiagCross);
    C->Brush()->SetColor(clBlue);
    C->SetBkColor(ColorToRGB(clRed));
    C->SetBkMode(OPAQUE);
    C->FillRect(TRect(0, 0, 8, 8));
    C->SetBkMode(TRANSPARENT);
    C->FillRect(TRect(8, 0, 16, 8));
    EXPECT_EQ(Art(Bmp), (Rows{"brrrrrrbb......b", "rbrrrrbr.b....b.", "rrbrrbrr..b..b..",
                              "rrrbbrrr...bb...", "rrrbbrrr...bb...", "rrbrrbrr..b..b..",
                              "rbrrrrbr.b....b.", "brrrrrrbb......b"}));
}

TEST_F(CanvasShapes, HatchedBrushIsTransparentUnlessTheCallerSaysOpaque) {
    Sheet(8, 8);
    C->Brush()->SetStyle(bsHorizontal);
    C->Brush()->SetColor(clBlue);
    EXPECT_EQ(C->GetBkMode(), TRANSPARENT);
    C->FillRect(TRect(0, 0, 8, 8));
    EXPECT_EQ(Art(Bmp)[0], "bbbbbbbb");
    EXPECT_EQ(Art(Bmp)[1], "........");
}

TEST_F(CanvasShapes, XorDrawnTwiceRestoresEveryPixel) {
    Sheet(40, 30);
    C->Brush()->SetColor(clBlue);
    C->Ellipse(3, 3, 30, 25);
    C->Font()->SetColor(clGreen);
    C->TextOut(2, 2, "Mark");
    const Rows before = Art(Bmp);
    std::vector<TColor> raw;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            raw.push_back(C->Pixels(x, y));
    auto overlay = [&] {
        C->Pen()->SetMode(pmXor);
        C->Pen()->SetColor(clWhite);
        C->Brush()->SetStyle(bsClear);
        C->MoveTo(0, 0);
        C->LineTo(39, 29);
        C->Rectangle(5, 5, 35, 20);
        C->Ellipse(10, 2, 38, 28);
        C->Pen()->SetWidth(3);
        C->MoveTo(20, 0);
        C->LineTo(20, 29);
        C->Pen()->SetWidth(1);
        C->Pen()->SetStyle(psDot);
        C->MoveTo(0, 15);
        C->LineTo(39, 15);
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetMode(pmNotXor);
        C->MoveTo(0, 28);
        C->LineTo(39, 1);
    };
    overlay();
    EXPECT_NE(Art(Bmp), before);
    overlay();
    std::vector<TColor> after;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            after.push_back(C->Pixels(x, y));
    EXPECT_EQ(after, raw);
}

TEST_F(CanvasShapes, DrawFocusRectTwiceRestores) {
    Sheet(10, 8);
    C->FillRect(TRect(0, 0, 5, 8));
    const Rows before = Art(Bmp);
    C->DrawFocusRect(TRect(1, 1, 9, 7));
    EXPECT_NE(Art(Bmp), before);
    C->DrawFocusRect(TRect(1, 1, 9, 7));
    EXPECT_EQ(Art(Bmp), before);
}

TEST_F(CanvasShapes, HugeCoordinatesAreClippedNotWrapped) {
    Sheet(10, 10);
    C->MoveTo(-50000000, 5);
    C->LineTo(50000000, 5);
    C->Rectangle(-67000000, -67000000, 67000000, 3);
    C->Ellipse(-67000000, 8, 67000000, 67000000);
    EXPECT_EQ(Art(Bmp)[5], "##########");
    EXPECT_EQ(Art(Bmp)[9], "rrrrrrrrrr");
    EXPECT_EQ(Art(Bmp)[2], "##########");
    EXPECT_EQ(Art(Bmp)[3], "..........");
}
