// The shared canvas operations (pens, brushes, fonts, state) and text output
// with shadows, zoom and rotation.
#include "chart/engine/tecanvas.h"
#include <climits>
#include <gtest/gtest.h>

namespace {

// Remembers the platform font as each text is drawn.
class FontSpy : public TTeeCanvas3D {
public:
    struct Seen {
        int Size, Orientation;
        AnsiString Text;
    };
    std::vector<Seen> Texts;
    void TextOut(int X, int Y, const AnsiString& Text) override {
        Texts.push_back({Font()->Size(), Font()->Orientation(), Text});
        TTeeCanvas3D::TextOut(X, Y, Text);
    }
};

class State : public ::testing::Test {
protected:
    State() { canvas.SetCanvas(bitmap.Canvas()); }
    TBitmap bitmap{120, 60};
    TTeeCanvas3D canvas;
};

// Leftmost column holding a pixel of Color; INT_MAX when none.
int LeftmostOf(TCanvas* C, int Width, int Height, TColor Color) {
    for (int x = 0; x < Width; ++x)
        for (int y = 0; y < Height; ++y)
            if (C->Pixels(x, y) == Color) return x;
    return INT_MAX;
}

} // namespace

TEST_F(State, VisiblePens) {
    TChartPen pen;
    pen.SetColor(clBlue);
    pen.SetVisible(false);
    canvas.AssignVisiblePen(&pen);
    EXPECT_EQ(canvas.Pen()->Style(), psClear);

    pen.SetVisible(true);
    pen.SetEndStyle(esFlat);
    canvas.AssignVisiblePenColor(&pen, clRed); // width 1: a plain pen, end style ignored
    EXPECT_EQ(canvas.Pen()->Color(), clRed);
    EXPECT_EQ(canvas.Pen()->Data().Style & PS_TYPE_MASK, PS_COSMETIC);

    pen.SetWidth(2);
    canvas.AssignVisiblePen(&pen);
    const DWORD style = canvas.Pen()->Data().Style;
    EXPECT_EQ(style & PS_TYPE_MASK, PS_GEOMETRIC);
    EXPECT_EQ(style & PS_ENDCAP_MASK, PS_ENDCAP_FLAT);
    EXPECT_EQ(style & PS_JOIN_MASK, PS_JOIN_MITER);
    EXPECT_EQ(canvas.Pen()->Width(), 2);

    pen.SetSmallDots(true);
    canvas.AssignVisiblePen(&pen);
    EXPECT_EQ(canvas.Pen()->Data().Style & PS_STYLE_MASK, PS_ALTERNATE);

    canvas.SetMonochrome(true);
    pen.SetSmallDots(false);
    pen.SetWidth(1);
    canvas.AssignVisiblePen(&pen);
    EXPECT_EQ(canvas.Pen()->Color(), clBlack);
}

TEST_F(State, BrushesAndBackgrounds) {
    TChartBrush brush;
    brush.SetColor(clYellow);
    brush.SetStyle(bsHorizontal);
    canvas.AssignBrushColor(&brush, clRed, clNone);
    EXPECT_EQ(canvas.Brush()->Color(), clRed);
    EXPECT_EQ(canvas.Brush()->Style(), bsHorizontal);
    EXPECT_EQ(canvas.BackMode(), cbmTransparent);
    canvas.AssignBrushColor(&brush, clRed, clBlue);
    EXPECT_EQ(canvas.BackMode(), cbmOpaque);
    EXPECT_EQ(canvas.BackColor(), clBlue);

    // A patterned solid darkens through the back colour.
    canvas.InternalDark(clWhite, 128);
    EXPECT_EQ(canvas.BackColor(), RGB(127, 127, 127));
    EXPECT_EQ(canvas.Brush()->Color(), clRed);

    canvas.SetMonochrome(true);
    brush.SetStyle(bsSolid);
    canvas.AssignBrush(&brush, clRed);
    EXPECT_EQ(canvas.Brush()->Color(), clWhite);
}

TEST_F(State, BrushImageBecomesThePattern) {
    TChartBrush brush;
    TBitmap picture(4, 4);
    brush.Image()->SetGraphic(&picture);
    canvas.AssignBrushColor(&brush, clRed, clBlue);
    ASSERT_NE(canvas.Brush()->Bitmap(), nullptr);
    EXPECT_EQ(canvas.BackMode(), cbmOpaque);
    EXPECT_EQ(canvas.PlatformCanvas()->GetTextColor(), COLORREF(clRed));
    TChartBrush plain;
    plain.SetColor(clGreen);
    canvas.AssignBrush(&plain, clGreen);
    EXPECT_EQ(canvas.Brush()->Bitmap(), nullptr);
}

TEST_F(State, FontsAreZoomedAndRemembered) {
    TTeeFont font;
    font.SetSize(10);
    font.SetColor(clRed);
    font.SetInterCharSize(3);
    canvas.SetFontZoom(150);
    canvas.AssignFont(&font);
    EXPECT_EQ(canvas.Font()->Size(), 15);
    EXPECT_EQ(canvas.Font()->Color(), clRed);
    EXPECT_EQ(canvas.PlatformCanvas()->GetTextCharacterExtra(), 3);
    EXPECT_EQ(canvas.CurrentFont(), &font);
    EXPECT_EQ(font.AppliedCanvas(), &canvas);
    EXPECT_EQ(font.Size(), 10); // the chart font itself is not zoomed

    canvas.SetMonochrome(true);
    canvas.AssignFont(&font);
    EXPECT_EQ(canvas.Font()->Color(), clBlack);
}

TEST_F(State, AFreedFontIsForgotten) {
    TTeeCanvas3D other;
    other.SetCanvas(bitmap.Canvas());
    {
        TTeeFont font;
        canvas.AssignFont(&font);
        other.AssignFont(&font); // now applied to the other canvas
        EXPECT_EQ(canvas.CurrentFont(), nullptr);
    }
    EXPECT_EQ(other.CurrentFont(), nullptr);
    canvas.TextOut(0, 0, "x"); // no font: plain text
}

TEST_F(State, TextSizeCountsTheShadow) {
    TTeeFont font;
    canvas.AssignFont(&font);
    const int w = canvas.TextWidth("Chart"), h = canvas.TextHeight("Chart");
    font.Shadow()->SetHorizSize(-3);
    font.Shadow()->SetVertSize(2);
    EXPECT_EQ(canvas.TextWidth("Chart"), w + 3);
    EXPECT_EQ(canvas.TextHeight("Chart"), h + 2);
    EXPECT_EQ(canvas.FontHeight(), canvas.TextHeight("W"));
}

TEST_F(State, ShadowLeftOfTheTextMovesTheText) {
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(TRect(0, 0, 120, 60));
    TTeeFont font;
    font.SetSize(20);
    font.SetColor(clRed);
    font.Shadow()->SetColor(clBlue);
    font.Shadow()->SetHorizSize(-3);
    canvas.AssignFont(&font);
    canvas.SetBackMode(cbmTransparent);
    canvas.TextOut(10, 5, "I");
    const int shadowLeft = LeftmostOf(bitmap.Canvas(), 120, 60, clBlue);
    const int textLeft = LeftmostOf(bitmap.Canvas(), 120, 60, clRed);
    ASSERT_NE(shadowLeft, INT_MAX);
    EXPECT_EQ(textLeft - shadowLeft, 3);
}

TEST(CanvasText, ZoomedTextNeverShrinksToNothing) {
    TBitmap bitmap(50, 50);
    TView3DOptions options;
    options.SetZoom(1);
    FontSpy canvas;
    canvas.InitWindow(bitmap.Canvas(), &options, clWhite, true, TRect(0, 0, 50, 50));
    canvas.Font()->SetSize(8);
    canvas.TextOut3D(5, 5, 0, "a");
    options.SetZoomText(false);
    canvas.InitWindow(bitmap.Canvas(), &options, clWhite, true, TRect(0, 0, 50, 50));
    canvas.TextOut3D(5, 5, 0, "b");
    ASSERT_EQ(canvas.Texts.size(), 2u);
    EXPECT_EQ(canvas.Texts[0].Size, 1);
    EXPECT_EQ(canvas.Texts[1].Size, 8);
    EXPECT_EQ(canvas.Font()->Size(), 8);
}

TEST(CanvasText, RotatedLabelsTurnTheFontForOneText) {
    TBitmap bitmap(50, 50);
    FontSpy canvas;
    canvas.SetCanvas(bitmap.Canvas());
    canvas.RotateLabel(20, 20, "up", 90);
    canvas.RotateLabel(20, 20, "over", 450);
    ASSERT_EQ(canvas.Texts.size(), 2u);
    EXPECT_EQ(canvas.Texts[0].Orientation, 900);
    EXPECT_EQ(canvas.Texts[1].Orientation, 900);
    EXPECT_EQ(canvas.Font()->Orientation(), 0);
    EXPECT_EQ(canvas.Brush()->Style(), bsClear);
}

TEST_F(State, OutlinedAndGradientText) {
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(TRect(0, 0, 120, 60));
    TTeeFont font;
    font.SetSize(28);
    font.SetStyle(TFontStyles() << fsBold);
    font.SetColor(clRed);
    font.OutLine()->SetVisible(true);
    font.OutLine()->SetColor(clBlue);
    canvas.AssignFont(&font);
    canvas.TextOut(5, 5, "H");
    EXPECT_NE(LeftmostOf(bitmap.Canvas(), 60, 60, clBlue), INT_MAX);
    EXPECT_NE(LeftmostOf(bitmap.Canvas(), 60, 60, clRed), INT_MAX);

    // A gradient fills only the letters, from its start colour at the bottom.
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(TRect(0, 0, 120, 60));
    font.OutLine()->SetVisible(false);
    font.Gradient()->SetVisible(true);
    font.Gradient()->SetStartColor(clLime);
    font.Gradient()->SetEndColor(clLime);
    canvas.TextOut(60, 5, "H");
    EXPECT_EQ(canvas.ClipDepth(), 0);
    EXPECT_EQ(LeftmostOf(bitmap.Canvas(), 120, 60, clRed), INT_MAX);
    const int left = LeftmostOf(bitmap.Canvas(), 120, 60, clLime);
    EXPECT_GE(left, 60);
    EXPECT_LT(left, 70);
    EXPECT_EQ(canvas.GetPixel(59, 20), clWhite);
}

TEST_F(State, DonutLeavesItsHole) {
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(TRect(0, 0, 120, 60));
    canvas.Brush()->SetColor(clRed);
    canvas.Pen()->SetColor(clRed);
    canvas.Donut(60, 30, 25, 25, 0, 2 * 3.14159265358979, 50);
    EXPECT_EQ(canvas.GetPixel(60, 30), clWhite); // centre
    EXPECT_EQ(canvas.GetPixel(60, 11), clRed);   // between the radii, above
    EXPECT_EQ(canvas.GetPixel(60, 57), clWhite); // outside
}
