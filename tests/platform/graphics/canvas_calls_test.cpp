// The rest of the canvas calls the chart library makes: curves, arcs with a
// current position, chords, several polygons at once, pattern transfers,
// small-dot and geometric pens, pattern brushes, mapping modes, device caps.
#include "pixelart.h"
#include "platform/graphics/gdi.h"
#include <gtest/gtest.h>
#include <memory>

using Rows = std::vector<std::string>;

class CanvasCalls : public ::testing::Test {
protected:
    TBitmap Bmp{16, 10};
    TCanvas* C = Bmp.Canvas();
};

TEST_F(CanvasCalls, PolyBezierOfAStraightControlPolygonIsALine) {
    const TPoint p[4] = {{0, 5}, {5, 5}, {10, 5}, {15, 5}};
    C->PolyBezier(p, 4);
    EXPECT_EQ(Art(Bmp)[5], "###############."); // the last point is left out
    EXPECT_EQ(Art(Bmp)[4], "................");
}

TEST_F(CanvasCalls, PolyBezierToStartsAtAndMovesTheCurrentPosition) {
    C->MoveTo(0, 0);
    const TPoint p[3] = {{0, 9}, {15, 9}, {15, 0}};
    C->PolyBezierTo(p, 3);
    EXPECT_EQ(C->PenPos(), TPoint(15, 0));
    EXPECT_EQ(C->Pixels(0, 0), clBlack);
    EXPECT_EQ(C->Pixels(7, 7), clBlack); // the curve's lowest point
    const TPoint bad[2] = {{0, 0}, {1, 1}};
    EXPECT_FALSE(C->PolyBezierToDC(bad, 2));
}

TEST_F(CanvasCalls, ArcToDrawsALineToTheArcAndMovesToItsEnd) {
    C->MoveTo(0, 9);
    C->ArcTo(4, 0, 14, 10, 14, 5, 4, 5); // upper half, right to left
    EXPECT_EQ(C->PenPos(), TPoint(4, 5));
    EXPECT_EQ(C->Pixels(6, 7), clBlack); // the connecting line
    EXPECT_EQ(C->Pixels(9, 0), clBlack); // top of the arc
    EXPECT_EQ(C->Pixels(9, 9), clWhite); // lower half not drawn
}

TEST_F(CanvasCalls, ChordFillsTheSegmentBetweenArcAndChord) {
    C->Brush()->SetColor(clRed);
    C->Chord(0, 0, 16, 10, 16, 5, 0, 5); // upper half closed by the diameter
    EXPECT_EQ(C->Pixels(8, 2), clRed);
    EXPECT_EQ(C->Pixels(8, 8), clWhite);
    EXPECT_EQ(C->Pixels(2, 5), clBlack); // the chord itself
}

TEST_F(CanvasCalls, PolyPolygonFillsBothAndHolesAlternate) {
    C->Brush()->SetColor(clRed);
    C->Pen()->SetStyle(psClear);
    const TPoint pts[8] = {{0, 0}, {12, 0}, {12, 10}, {0, 10}, {3, 3}, {9, 3}, {9, 7}, {3, 7}};
    const int counts[2] = {4, 4};
    EXPECT_TRUE(C->PolyPolygon(pts, counts, 2));
    EXPECT_EQ(Art(Bmp)[1], "rrrrrrrrrrrr....");
    EXPECT_EQ(Art(Bmp)[4], "rrr......rrr....");
    const int bad[2] = {4, 1};
    EXPECT_FALSE(C->PolyPolygon(pts, bad, 2));
}

TEST_F(CanvasCalls, PatBltAndInvertRect) {
    C->Brush()->SetColor(clBlue);
    C->PatBlt(0, 0, 4, 2, PATCOPY);
    C->PatBlt(4, 0, 4, 2, BLACKNESS);
    C->InvertRect(TRect(0, 1, 8, 2));
    EXPECT_EQ(Art(Bmp)[0], "bbbb####........");
    EXPECT_EQ(ColorToRGB(C->Pixels(0, 1)), 0x00FFFFu); // blue inverted is yellow
    EXPECT_EQ(C->Pixels(5, 1), clWhite);
    C->PatBlt(10, 5, -3, -2, WHITENESS); // negative sizes go the other way
    EXPECT_EQ(Art(Bmp)[3][8], '.');
}

TEST_F(CanvasCalls, SmallDotsPenSetsEveryOtherPixel) {
    LOGBRUSH lb;
    lb.lbColor = 0;
    C->Pen()->SetHandle(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, lb));
    C->SetBkMode(TRANSPARENT);
    C->MoveTo(0, 0);
    C->LineTo(16, 0);
    EXPECT_EQ(Art(Bmp)[0], "#.#.#.#.#.#.#.#.");
}

TEST_F(CanvasCalls, GeometricDashesScaleWithTheWidth) {
    TBitmap b(40, 6);
    TCanvas* c = b.Canvas();
    LOGBRUSH lb;
    lb.lbColor = 0;
    c->Pen()->SetHandle(ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 2, lb));
    c->SetBkMode(TRANSPARENT);
    c->MoveTo(0, 3);
    c->LineTo(40, 3);
    // Dashes of three widths, gaps of one.
    EXPECT_EQ(Art(b)[3], "######..######..######..######..######..");
}

TEST_F(CanvasCalls, InsideFramePenStaysInTheBox) {
    C->Pen()->SetWidth(3);
    C->Pen()->SetStyle(psInsideFrame);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(2, 1, 14, 9);
    EXPECT_EQ(InkBox(Bmp), TRect(2, 1, 14, 9));
    C->Pen()->SetStyle(psSolid);
    C->Rectangle(2, 1, 14, 9);
    EXPECT_EQ(InkBox(Bmp), TRect(1, 0, 15, 10)); // centred on the outline
}

TEST_F(CanvasCalls, PatternBrushTilesFromTheOrigin) {
    TBitmap pattern(2, 2);
    pattern.Canvas()->SetPixel(0, 0, clRed);
    pattern.Canvas()->SetPixel(1, 1, clRed);
    C->Brush()->SetBitmap(&pattern);
    C->FillRect(TRect(1, 1, 5, 3));
    EXPECT_EQ(Art(Bmp)[1], ".r.r............"); // pattern row 1 on device row 1
    EXPECT_EQ(Art(Bmp)[2], "..r.r...........");
}

// The brush refers to the caller's pattern; freed first, it leaves the brush
// plain, never read.
TEST_F(CanvasCalls, APatternFreedUnderTheBrushLeavesItPlain) {
    auto pattern = std::make_unique<TBitmap>(2, 2);
    pattern->Canvas()->SetPixel(0, 0, clRed);
    C->Brush()->SetBitmap(pattern.get());
    pattern.reset();
    EXPECT_EQ(C->Brush()->Bitmap(), nullptr);
    C->Brush()->SetColor(clLime);
    C->FillRect(TRect(1, 1, 5, 3));
    EXPECT_EQ(C->Pixels(1, 1), clLime);
    EXPECT_EQ(C->Pixels(2, 2), clLime);
}

TEST_F(CanvasCalls, StockDcBrushFillsWithTheDcBrushColour) {
    C->SelectObject(GetStockObject(DC_BRUSH));
    C->SetDCBrushColor(ColorToRGB(clLime));
    SelectObject(C->Handle(), GetStockObject(NULL_PEN));
    Rectangle(C->Handle(), 0, 0, 4, 4);
    EXPECT_EQ(C->Pixels(1, 1), clLime);
}

TEST_F(CanvasCalls, MetricMappingMakesYGrowUpwards) {
    TBitmap b(200, 200);
    TCanvas* c = b.Canvas();
    c->SetMapMode(MM_LOMETRIC); // tenths of a millimetre
    c->SetViewportOrgEx(0, 200);
    TPoint p(254, 254); // one inch right and up
    c->LPtoDP(&p, 1);
    EXPECT_EQ(p, TPoint(96, 104));
}

TEST_F(CanvasCalls, IsotropicMappingKeepsTheAspect) {
    TBitmap b(100, 50);
    TCanvas* c = b.Canvas();
    c->SetMapMode(MM_ISOTROPIC);
    c->SetWindowExtEx(10, 10);
    c->SetViewportExtEx(100, 50);
    TSize vp;
    c->GetViewportExtEx(&vp);
    EXPECT_EQ(vp, TSize(50, 50));
    EXPECT_FALSE(c->SetWindowExtEx(0, 5));
    c->SetMapMode(MM_TEXT);
    TPoint p(7, 7);
    c->LPtoDP(&p, 1);
    EXPECT_EQ(p, TPoint(7, 7));
}

TEST_F(CanvasCalls, DeviceCapsOfABitmap) {
    EXPECT_EQ(C->GetDeviceCaps(HORZRES), 16);
    EXPECT_EQ(C->GetDeviceCaps(VERTRES), 10);
    EXPECT_EQ(C->GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(C->GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_GE(C->GetDeviceCaps(BITSPIXEL) * C->GetDeviceCaps(PLANES), 15);
}

TEST_F(CanvasCalls, ExtTextOutOpaqueRectangleAndAdvances) {
    TBitmap b(60, 20);
    TCanvas* c = b.Canvas();
    c->Font()->SetQuality(fqNonAntialiased);
    c->SetBkColor(ColorToRGB(clBlue));
    c->SetBkMode(TRANSPARENT);
    const TRect r(0, 0, 60, 20);
    const int dx[3] = {20, 20, 20};
    c->ExtTextOutA(0, 2, ETO_OPAQUE, &r, "iii", 3, dx);
    EXPECT_EQ(c->Pixels(59, 19), clBlue); // the rectangle is filled
    // The three letters stand 20 pixels apart.
    int columns = 0;
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 20; ++y)
            if (c->Pixels(x, y) == clBlack) {
                ++columns;
                break;
            }
    EXPECT_GE(columns, 3);
    EXPECT_EQ(c->Pixels(10, 12), clBlue);
}

TEST_F(CanvasCalls, TextInAPathGivesItsOutline) {
    TBitmap b(80, 40);
    TCanvas* c = b.Canvas();
    c->Font()->SetHeight(-30);
    c->BeginPath();
    c->TextOut(2, 2, "W");
    c->EndPath();
    EXPECT_EQ(InkBox(b), TRect()); // nothing drawn while recording
    c->Brush()->SetColor(clRed);
    c->SelectObject(GetStockObject(NULL_PEN));
    c->FillPath();
    EXPECT_FALSE(InkBox(b).IsEmpty());
}

TEST_F(CanvasCalls, CanvasWithoutTargetAsksForOne) {
    struct TLazyCanvas : TCanvas {
        QImage* Target = nullptr;
        int Asked = 0;
        TBitmap Buffer{4, 4};
        void CreateHandle() override {
            ++Asked;
            AttachImage(nullptr);
        }
    } c;
    c.Rectangle(0, 0, 2, 2);
    EXPECT_EQ(c.Asked, 1);
    EXPECT_FALSE(c.HandleAllocated());
    EXPECT_EQ(c.GetPixel(0, 0), CLR_INVALID);
}
