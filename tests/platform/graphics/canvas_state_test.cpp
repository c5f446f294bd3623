// Device-context state: clip regions and their stack, saved states, mapping,
// regions, paths, selection of foreign objects and block transfers.
#include "pixelart.h"
#include "platform/graphics/gdi.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>

using Rows = std::vector<std::string>;

class CanvasState : public ::testing::Test {
protected:
    TBitmap Bmp{10, 6};
    TCanvas* C = Bmp.Canvas();
    void Fill() {
        C->Brush()->SetColor(clRed);
        C->FillRect(TRect(0, 0, 10, 6));
    }
};

TEST_F(CanvasState, NestedClipRestoresTheOuterOne) {
    // The chart's clip stack: save the current region, narrow, restore.
    C->IntersectClipRect(1, 1, 9, 5);
    HRGN saved = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(C->GetClipRgn(saved), 1);
    HRGN inner = CreateRectRgn(3, 2, 6, 4);
    C->ExtSelectClipRgn(inner, RGN_AND);
    Fill();
    EXPECT_EQ(Art(Bmp), (Rows{"..........", "..........", "...rrr....", "...rrr....", "..........",
                              ".........."}));
    C->SelectClipRgn(saved);
    C->Brush()->SetColor(clBlue);
    C->FillRect(TRect(0, 0, 10, 6));
    EXPECT_EQ(Art(Bmp)[1], ".bbbbbbbb.");
    EXPECT_EQ(Art(Bmp)[2], ".bbbbbbbb.");
    C->SelectClipRgn(nullptr);
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(C->GetClipRgn(none), 0);
    for (HRGN r : {saved, inner, none})
        EXPECT_TRUE(DeleteObject(r));
}

TEST_F(CanvasState, SaveDcRestoresClipAndObjectsLevelByLevel) {
    const int level1 = C->SaveDC();
    C->IntersectClipRect(0, 0, 5, 6);
    C->SaveDC();
    C->IntersectClipRect(0, 0, 2, 6);
    C->SetTextAlign(TA_RIGHT);
    EXPECT_TRUE(C->RestoreDC(-1));
    EXPECT_EQ(C->GetTextAlign(), UINT(TA_LEFT | TA_TOP));
    Fill();
    EXPECT_EQ(Art(Bmp)[0], "rrrrr.....");
    EXPECT_TRUE(C->RestoreDC(level1));
    EXPECT_FALSE(C->RestoreDC(level1));
    Fill();
    EXPECT_EQ(Art(Bmp)[0], "rrrrrrrrrr");
}

TEST_F(CanvasState, ClipRectIsTheLogicalBoundingBox) {
    EXPECT_EQ(C->ClipRect(), TRect(0, 0, 10, 6));
    C->SetWindowOrgEx(-5, 0);
    C->IntersectClipRect(0, 1, 3, 4);
    EXPECT_EQ(C->ClipRect(), TRect(0, 1, 3, 4));
}

TEST_F(CanvasState, ExcludeClipRectLeavesAHole) {
    C->ExcludeClipRect(2, 2, 8, 4);
    Fill();
    EXPECT_EQ(Art(Bmp)[2], "rr......rr");
    EXPECT_EQ(Art(Bmp)[4], "rrrrrrrrrr");
}

TEST_F(CanvasState, EllipticAndPolygonRegionsClipDrawing) {
    HRGN e = CreateEllipticRgn(0, 0, 10, 6);
    EXPECT_TRUE(PtInRegion(e, 5, 3));
    EXPECT_FALSE(PtInRegion(e, 0, 0));
    TRect box;
    EXPECT_EQ(GetRgnBox(e, &box), COMPLEXREGION);
    EXPECT_EQ(box, TRect(0, 0, 10, 6));
    const TPoint tri[3] = {{0, 0}, {10, 0}, {0, 6}};
    HRGN t = CreatePolygonRgn(tri, 3, ALTERNATE);
    EXPECT_EQ(CombineRgn(e, e, t, RGN_AND), COMPLEXREGION);
    C->SelectClipRgn(e);
    Fill();
    EXPECT_EQ(Art(Bmp)[2][3], 'r');
    EXPECT_EQ(Art(Bmp)[4][8], '.');
    EXPECT_EQ(C->Pixels(8, 4), TColor(-1)); // outside the clip region
    DeleteObject(e);
    DeleteObject(t);
}

TEST_F(CanvasState, SelectClipPathClipsToTheFigure) {
    C->BeginPath();
    C->Rectangle(2, 1, 6, 5);
    C->EndPath();
    C->SelectClipPath(RGN_COPY);
    Fill();
    EXPECT_EQ(InkBox(Bmp), TRect(2, 1, 5, 4));
}

TEST_F(CanvasState, PathsStrokeFillAndWiden) {
    TBitmap b(20, 12);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clBlue);
    c->BeginPath();
    c->MoveTo(2, 2);
    c->LineTo(17, 2);
    c->LineTo(17, 9);
    c->LineTo(2, 9);
    c->CloseFigure();
    c->EndPath();
    EXPECT_TRUE(c->StrokeAndFillPath());
    EXPECT_EQ(c->Pixels(10, 5), clBlue);
    EXPECT_EQ(c->Pixels(10, 2), clBlack);
    EXPECT_FALSE(c->StrokePath()); // the path is used up
    c->Pen()->SetWidth(5);
    c->BeginPath();
    c->MoveTo(2, 6);
    c->LineTo(17, 6);
    c->EndPath();
    c->WidenPath();
    c->Brush()->SetColor(clLime);
    c->FillPath();
    EXPECT_EQ(c->Pixels(10, 4), clLime);
    EXPECT_EQ(c->Pixels(10, 8), clLime);
}

TEST_F(CanvasState, AnisotropicMappingScalesShapesAndPens) {
    TBitmap b(40, 20);
    TCanvas* c = b.Canvas();
    c->SetMapMode(MM_ANISOTROPIC);
    c->SetWindowExtEx(10, 10);
    c->SetViewportExtEx(40, 20);
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetColor(clRed);
    c->Rectangle(1, 1, 6, 6);
    EXPECT_EQ(InkBox(b), TRect(4, 2, 23, 11)); // one device pixel smaller without a pen
    TPoint p(5, 5);
    c->LPtoDP(&p, 1);
    EXPECT_EQ(p, TPoint(20, 10));
    c->DPtoLP(&p, 1);
    EXPECT_EQ(p, TPoint(5, 5));
}

TEST_F(CanvasState, ViewportOriginMovesDrawing) {
    C->SetViewportOrgEx(3, 2);
    C->SetPixel(0, 0, clBlue);
    EXPECT_EQ(C->Pixels(0, 0), clBlue); // read back through the same mapping
    C->SetViewportOrgEx(0, 0);
    EXPECT_EQ(C->Pixels(3, 2), clBlue);
}

TEST_F(CanvasState, ForeignFontSurvivesCanvasCallsUntilTheFontChanges) {
    LOGFONT lf = C->Font()->LogFont();
    lf.lfHeight = -30;
    HFONT big = CreateFontIndirect(lf);
    const int small = C->TextHeight("W");
    HGDIOBJ old = C->SelectObject(big);
    EXPECT_GT(C->TextHeight("W"), small * 2);
    C->SelectObject(old);
    EXPECT_EQ(C->TextHeight("W"), small);
    C->SelectObject(big);
    C->Font()->SetSize(8);
    EXPECT_EQ(C->TextHeight("W"), small);
    DeleteObject(big);
}

TEST_F(CanvasState, StockDcPenTakesTheDcPenColour) {
    C->SelectObject(GetStockObject(DC_PEN));
    C->SetDCPenColor(ColorToRGB(clBlue));
    C->MoveTo(0, 0);
    C->LineTo(10, 0);
    EXPECT_EQ(C->Pixels(4, 0), clBlue);
}

TEST_F(CanvasState, BitBltCopiesAndCombines) {
    TBitmap src(4, 2);
    src.Canvas()->Brush()->SetColor(clBlue);
    src.Canvas()->FillRect(TRect(0, 0, 2, 2));
    Fill();
    C->BitBlt(1, 1, 4, 2, src.Canvas()->Handle(), 0, 0, SRCCOPY);
    EXPECT_EQ(Art(Bmp)[1], "rbb..rrrrr");
    C->BitBlt(1, 1, 4, 2, src.Canvas()->Handle(), 0, 0, SRCINVERT);
    EXPECT_EQ(Art(Bmp)[1], "r####rrrrr");
}

TEST_F(CanvasState, StretchDrawUsesNearestNeighbour) {
    TBitmap src(2, 1);
    src.Canvas()->SetPixel(0, 0, clBlue);
    src.Canvas()->SetPixel(1, 0, clRed);
    C->StretchDraw(TRect(0, 0, 6, 2), &src);
    EXPECT_EQ(Art(Bmp)[0], "bbbrrr....");
    EXPECT_EQ(Art(Bmp)[1], "bbbrrr....");
}

TEST_F(CanvasState, TransparentBitmapLeavesItsColourOut) {
    TBitmap src(3, 1);
    src.Canvas()->SetPixel(1, 0, clBlue);
    src.SetTransparent(true); // bottom-left pixel (white) is transparent
    Fill();
    C->Draw(2, 2, &src);
    EXPECT_EQ(Art(Bmp)[2], "rrrbrrrrrr");
}

TEST_F(CanvasState, OverlappingCopyWithinOneCanvas) {
    C->SetPixel(0, 0, clBlue);
    C->SetPixel(1, 0, clRed);
    C->CopyRect(TRect(1, 0, 3, 1), C, TRect(0, 0, 2, 1));
    EXPECT_EQ(Art(Bmp)[0], "bbr.......");
}

TEST_F(CanvasState, FloodFillStopsAtTheBorder) {
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(1, 1, 8, 5);
    C->Brush()->SetColor(clLime);
    C->FloodFill(3, 3, clBlack, false);
    EXPECT_EQ(Art(Bmp)[2], ".#ggggg#..");
    EXPECT_EQ(Art(Bmp)[0], "..........");
}

TEST_F(CanvasState, PixelsOutsideTheSurfaceAreInvalid) {
    EXPECT_EQ(C->GetPixel(10, 0), CLR_INVALID);
    EXPECT_EQ(C->GetPixel(-1, 0), CLR_INVALID);
    C->SetPixel(100, 100, clRed); // ignored, no crash
}

TEST_F(CanvasState, ChangeEventsWrapEveryDrawingCall) {
    int changing = 0, changed = 0;
    C->OnChanging = [&](TObject*) { ++changing; };
    C->OnChange = [&](TObject*) { ++changed; };
    C->MoveTo(0, 0);
    C->LineTo(3, 3);
    C->Rectangle(0, 0, 2, 2);
    C->TextOut(0, 0, "x");
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);
}

// A square with a square hole, both drawn the same way round: the hole shows
// under the alternate fill mode only.
void SquareWithHole(TCanvas* c) {
    const TPoint outer[4] = {{0, 0}, {10, 0}, {10, 6}, {0, 6}};
    const TPoint inner[4] = {{3, 2}, {7, 2}, {7, 4}, {3, 4}};
    c->BeginPath();
    c->Polygon(outer, 4);
    c->Polygon(inner, 4);
    c->EndPath();
}

TEST_F(CanvasState, PathsFillAndClipByTheFillModeInForceWhenUsed) {
    const Rows holed{"rrrrrrrrrr", "rrrrrrrrrr", "rrr....rrr",
                     "rrr....rrr", "rrrrrrrrrr", "rrrrrrrrrr"};
    for (bool clip : {false, true}) {
        for (int mode : {ALTERNATE, WINDING}) {
            TBitmap b(10, 6);
            TCanvas* c = b.Canvas();
            c->SetPolyFillMode(mode == WINDING ? ALTERNATE : WINDING); // at BeginPath
            SquareWithHole(c);
            c->SetPolyFillMode(mode);
            c->Brush()->SetColor(clRed);
            c->Pen()->SetStyle(psClear);
            if (clip) {
                c->SelectClipPath(RGN_COPY);
                c->FillRect(TRect(0, 0, 10, 6));
            } else
                c->FillPath();
            EXPECT_EQ(Art(b) == holed, mode == ALTERNATE) << (clip ? "clip " : "fill ") << mode;
            EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
        }
    }
}

TEST_F(CanvasState, PatternBlocksWithNegativeExtentsIncludeTheirStartPixel) {
    struct TCase {
        std::function<void(TCanvas*)> Draw;
        TRect Ink;
    };
    const TCase cases[] = {
        {[](TCanvas* c) { c->PatBlt(5, 1, -3, 2, PATCOPY); }, TRect(3, 1, 6, 3)},
        {[](TCanvas* c) { c->PatBlt(2, 4, 3, -2, PATCOPY); }, TRect(2, 3, 5, 5)},
        {[](TCanvas* c) { c->FillRect(TRect(8, 4, 6, 1)); }, TRect(7, 2, 9, 5)},
        {[](TCanvas* c) { c->FillRect(TRect(3, 3, 3, 5)); }, TRect()},
        // y growing upwards: a rectangle given top-down in logical units.
        {[](TCanvas* c) {
             c->SetMapMode(MM_ANISOTROPIC);
             c->SetViewportExtEx(1, -1);
             c->SetViewportOrgEx(0, 6);
             c->FillRect(TRect(1, 1, 4, 4));
         },
         TRect(1, 3, 4, 6)},
    };
    for (const TCase& k : cases) {
        TBitmap b(10, 6);
        b.Canvas()->Brush()->SetColor(clRed);
        k.Draw(b.Canvas());
        EXPECT_EQ(InkBox(b), k.Ink) << &k - cases;
    }
}

TEST_F(CanvasState, PenWidthsAreLogicalUnitsButZeroAndCosmeticPensStayOnePixel) {
    // Four device pixels a logical unit, as a chart printed on a page.
    struct TCase {
        const char* Name;
        std::function<void(TPen*)> Pen;
        int Height; // rows the horizontal line covers
        bool Dashed;
    };
    const TCase cases[] = {
        {"width 1", [](TPen* p) { p->SetWidth(1); }, 4, false},
        {"width 1 dashed draws solid", [](TPen* p) { p->SetStyle(psDash); }, 4, false},
        {"width 0 dashed keeps its pattern",
         [](TPen* p) {
             p->SetWidth(0);
             p->SetStyle(psDash);
         },
         1, true},
        {"cosmetic small dots",
         [](TPen* p) {
             LOGBRUSH lb{BS_SOLID, 0, 0};
             p->SetHandle(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, lb));
         },
         1, true},
    };
    for (const TCase& k : cases) {
        TBitmap b(48, 16);
        TCanvas* c = b.Canvas();
        c->SetMapMode(MM_ANISOTROPIC);
        c->SetWindowExtEx(1, 1);
        c->SetViewportExtEx(4, 4);
        k.Pen(c->Pen());
        c->MoveTo(2, 2);
        c->LineTo(10, 2);
        const TRect ink = InkBox(b);
        EXPECT_EQ(ink.Height(), k.Height) << k.Name;
        const std::string row = Art(b)[size_t(ink.Top)];
        const auto gaps = std::count(row.begin() + 10, row.begin() + 38, '.');
        EXPECT_EQ(gaps > 0, k.Dashed) << k.Name;
    }
}
