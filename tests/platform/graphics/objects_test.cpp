// Pens, brushes and fonts with their handles, GDI object handles, regions and
// the sixteen mix modes.
#include "pixelart.h"
#include "platform/graphics/gdi.h"
#include <gtest/gtest.h>
#include <cstring>

TEST(GraphicsObjects, SettersNotifyAndAssignCopiesEverything) {
    TPen a;
    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    a.SetColor(clRed);
    a.SetWidth(3);
    a.SetStyle(psDashDot);
    a.SetMode(pmXor);
    EXPECT_EQ(changes, 4);
    TPen b;
    b.Assign(&a);
    EXPECT_EQ(b.Color(), clRed);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Style(), psDashDot);
    EXPECT_EQ(b.Mode(), pmXor);
    TBrush brush;
    EXPECT_THROW(brush.Assign(&a), EConvertError);
}

TEST(GraphicsObjects, PenDataFollowsTheProperties) {
    TPen p;
    p.SetColor(clBtnShadow);
    p.SetStyle(psDot);
    p.SetWidth(-4);
    EXPECT_EQ(p.Width(), 0);
    EXPECT_EQ(p.Data().Color, ColorToRGB(clBtnShadow));
    EXPECT_EQ(p.Data().Style, DWORD(PS_DOT));
}

TEST(GraphicsObjects, PenAdoptsAGeometricPenHandle) {
    TPen p;
    LOGBRUSH lb;
    lb.lbColor = RGB(1, 2, 3);
    HPEN h = ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER, 5, lb);
    p.SetHandle(h);
    EXPECT_EQ(p.Width(), 5);
    EXPECT_EQ(p.Style(), psDash);
    EXPECT_EQ(p.Data().Style, DWORD(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER));
    EXPECT_EQ(GetObjectType(h), 0); // adopted and freed
    p.SetWidth(1);                  // a property set again makes a plain pen
    EXPECT_EQ(p.Data().Style, DWORD(PS_DASH));
}

TEST(GraphicsObjects, CosmeticExtPensAreOnePixel) {
    LOGBRUSH lb;
    HPEN h = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 7, lb);
    LOGPEN lp;
    ASSERT_EQ(GetObject(h, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnWidth, 1);
    EXPECT_EQ(lp.lopnStyle, UINT(PS_ALTERNATE));
    DeleteObject(h);
}

TEST(GraphicsObjects, BrushColourMakesAClearBrushSolid) {
    TBrush b;
    b.SetStyle(bsClear);
    b.SetColor(clRed);
    EXPECT_EQ(b.Style(), bsSolid);
    b.SetStyle(bsBDiagonal);
    const TBrushData d = b.Data();
    EXPECT_EQ(d.Style, UINT(BS_HATCHED));
    EXPECT_EQ(d.Hatch, HS_BDIAGONAL);
}

TEST(GraphicsObjects, FontSizeAndHeightFollowPixelsPerInch) {
    TFont f;
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -13);
    EXPECT_EQ(f.Size(), 10);
    f.SetPixelsPerInch(600);
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -83);
    TFont screen;
    screen.SetSize(12);
    f.Assign(&screen); // points carry over between resolutions
    EXPECT_EQ(f.Size(), 12);
    EXPECT_EQ(f.Height(), -100);
    f.SetName("");
    EXPECT_EQ(f.Name(), screen.Name()); // an empty name is refused
}

TEST(GraphicsObjects, LogFontRoundTripsThroughAHandle) {
    TFont f;
    f.SetName("Courier New");
    f.SetHeight(-17);
    f.SetStyle(TFontStyles{fsBold, fsUnderline});
    f.SetOrientation(450);
    LOGFONT lf;
    ASSERT_EQ(GetObject(f.Handle(), sizeof lf, &lf), 60);
    EXPECT_STREQ(lf.lfFaceName, "Courier New");
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfEscapement, 450);
    lf.lfItalic = 1;
    lf.lfWeight = FW_NORMAL;
    TFont g;
    g.SetHandle(CreateFontIndirect(lf));
    EXPECT_EQ(g.Name(), "Courier New");
    EXPECT_EQ(g.Height(), -17);
    EXPECT_EQ(g.Style(), (TFontStyles{fsItalic, fsUnderline}));
    EXPECT_EQ(g.Orientation(), 450);
}

TEST(GraphicsObjects, GetObjectRefusesShortBuffersAndWrongHandles) {
    TFont f;
    char small[10];
    EXPECT_EQ(GetObject(f.Handle(), sizeof small, small), 0);
    EXPECT_EQ(GetObject(nullptr, 60, small), 0);
    EXPECT_FALSE(DeleteObject(nullptr));
}

TEST(GraphicsObjects, StockObjectsAreNeverFreed) {
    HGDIOBJ b = GetStockObject(BLACK_BRUSH);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_EQ(GetObjectType(b), OBJ_BRUSH);
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), b);
    EXPECT_EQ(GetStockObject(99), nullptr);
}

// Pen colour 0xF0F0F0 (light grey) over destination 0x0F33CC for each mix mode.
struct TRopCase {
    TPenMode Mode;
    COLORREF Expected;
};

class MixModes : public ::testing::TestWithParam<TRopCase> {};

TEST_P(MixModes, CombineBitsLikeThePlatform) {
    TBitmap b(1, 1);
    TCanvas* c = b.Canvas();
    c->SetPixel(0, 0, TColor(0x0F33CC));
    c->Pen()->SetColor(TColor(0xF0F0F0));
    c->Pen()->SetMode(GetParam().Mode);
    c->MoveTo(0, 0);
    c->LineTo(1, 0);
    EXPECT_EQ(ColorToRGB(c->Pixels(0, 0)), GetParam().Expected);
}

constexpr COLORREF P = 0xF0F0F0, D = 0x0F33CC;
INSTANTIATE_TEST_SUITE_P(
    AllSixteen, MixModes,
    ::testing::Values(
        TRopCase{pmBlack, 0}, TRopCase{pmWhite, 0xFFFFFF}, TRopCase{pmNop, D},
        TRopCase{pmNot, ~D & 0xFFFFFF}, TRopCase{pmCopy, P}, TRopCase{pmNotCopy, ~P & 0xFFFFFF},
        TRopCase{pmMergePenNot, (P | ~D) & 0xFFFFFF}, TRopCase{pmMaskPenNot, P & ~D & 0xFFFFFF},
        TRopCase{pmMergeNotPen, (~P | D) & 0xFFFFFF}, TRopCase{pmMaskNotPen, ~P& D & 0xFFFFFF},
        TRopCase{pmMerge, P | D}, TRopCase{pmNotMerge, ~(P | D) & 0xFFFFFF}, TRopCase{pmMask, P& D},
        TRopCase{pmNotMask, ~(P& D) & 0xFFFFFF}, TRopCase{pmXor, P ^ D},
        TRopCase{pmNotXor, ~(P ^ D) & 0xFFFFFF}));

struct TBltCase {
    DWORD Rop;
    COLORREF Expected; // source 0x00FF00 over destination 0x0000FF, brush 0xFF0000
};

class RasterOps : public ::testing::TestWithParam<TBltCase> {};

TEST_P(RasterOps, ThreeOperandCodes) {
    TBitmap src(1, 1), dst(1, 1);
    src.Canvas()->SetPixel(0, 0, TColor(0x00FF00));
    dst.Canvas()->SetPixel(0, 0, TColor(0x0000FF));
    dst.Canvas()->Brush()->SetColor(TColor(0xFF0000));
    dst.Canvas()->BitBlt(0, 0, 1, 1, src.Canvas(), 0, 0, GetParam().Rop);
    EXPECT_EQ(ColorToRGB(dst.Canvas()->Pixels(0, 0)), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Common, RasterOps,
    ::testing::Values(TBltCase{SRCCOPY, 0x00FF00}, TBltCase{SRCPAINT, 0x00FFFF},
                      TBltCase{SRCAND, 0x000000}, TBltCase{SRCINVERT, 0x00FFFF},
                      TBltCase{NOTSRCCOPY, 0xFF00FF}, TBltCase{SRCERASE, 0x00FF00},
                      TBltCase{MERGECOPY, 0x000000}, TBltCase{PATCOPY, 0xFF0000},
                      TBltCase{PATINVERT, 0xFF00FF}, TBltCase{DSTINVERT, 0xFFFF00},
                      TBltCase{BLACKNESS, 0x000000}, TBltCase{WHITENESS, 0xFFFFFF},
                      TBltCase{MERGEPAINT, 0xFF00FF}, TBltCase{NOTSRCERASE, 0xFF0000}));

TEST(Regions, CombineModes) {
    HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6);
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    struct {
        int Mode, Type;
        bool In00, In33, In55;
    } cases[] = {{RGN_AND, SIMPLEREGION, false, true, false},
                 {RGN_OR, COMPLEXREGION, true, true, true},
                 {RGN_XOR, COMPLEXREGION, true, false, true},
                 {RGN_DIFF, COMPLEXREGION, true, false, false},
                 {RGN_COPY, SIMPLEREGION, true, true, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(CombineRgn(r, a, b, c.Mode), c.Type) << c.Mode;
        EXPECT_EQ(PtInRegion(r, 0, 0), c.In00) << c.Mode;
        EXPECT_EQ(PtInRegion(r, 3, 3), c.In33) << c.Mode;
        EXPECT_EQ(PtInRegion(r, 5, 5), c.In55) << c.Mode;
    }
    EXPECT_EQ(CombineRgn(r, a, nullptr, RGN_AND), RGN_ERROR);
    for (HRGN h : {a, b, r})
        DeleteObject(h);
}

TEST(Regions, RectanglesExcludeRightAndBottomAndNormalise) {
    HRGN r = CreateRectRgn(5, 5, 1, 2); // corners given the wrong way round
    TRect box;
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box, TRect(1, 2, 5, 5));
    EXPECT_FALSE(PtInRegion(r, 5, 4));
    EXPECT_TRUE(PtInRegion(r, 4, 4));
    EXPECT_EQ(OffsetRgn(r, 10, 0), SIMPLEREGION);
    EXPECT_TRUE(RectInRegion(r, TRect(0, 0, 12, 3)));
    EXPECT_FALSE(RectInRegion(r, TRect(0, 0, 11, 2)));
    SetRectRgn(r, 0, 0, 0, 0);
    EXPECT_EQ(GetRgnBox(r, &box), NULLREGION);
    HRGN same = CreateRectRgn(0, 0, 0, 0);
    EXPECT_TRUE(EqualRgn(r, same));
    DeleteObject(r);
    DeleteObject(same);
    EXPECT_EQ(GetRgnBox(r, &box), RGN_ERROR); // freed
}

TEST(Regions, RoundRegionsMatchTheDrawnShapes) {
    TBitmap b(20, 14);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->Ellipse(2, 1, 18, 13);
    HRGN e = CreateEllipticRgn(2, 1, 18, 13);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(PtInRegion(e, x, y), b.Canvas()->Pixels(x, y) != clWhite) << x << "," << y;
    DeleteObject(e);
    HRGN rr = CreateRoundRectRgn(0, 0, 10, 10, 4, 4);
    EXPECT_FALSE(PtInRegion(rr, 0, 0));
    EXPECT_TRUE(PtInRegion(rr, 5, 0));
    EXPECT_TRUE(PtInRegion(rr, 0, 5));
    DeleteObject(rr);
}

TEST(Regions, PaintFrameAndInvert) {
    TBitmap b(8, 6);
    TCanvas* c = b.Canvas();
    HRGN r = CreateRectRgn(1, 1, 7, 5);
    HBRUSH blue = CreateSolidBrush(ColorToRGB(clBlue));
    c->FrameRgn(r, blue, 1, 1);
    EXPECT_EQ(Art(b), (std::vector<std::string>{"........", ".bbbbbb.", ".b....b.", ".b....b.",
                                                ".bbbbbb.", "........"}));
    c->Brush()->SetColor(clRed);
    c->PaintRgn(r);
    EXPECT_EQ(Art(b)[2], ".rrrrrr.");
    c->InvertRgn(r);
    EXPECT_EQ(ColorToRGB(c->Pixels(2, 2)), 0xFFFF00u); // red inverted is cyan
    c->FillRgn(r, blue);
    EXPECT_EQ(Art(b)[3], ".bbbbbb.");
    DeleteObject(r);
    DeleteObject(blue);
}
