// Titles, foot, walls and legend where the layout puts them, in 2D and 3D:
// each text's ink is compared with the same text drawn alone at the position
// the layout rules give, so a box behind the text, a clipped label or a wrong
// colour shows as a mismatch.
#include "series_fixture.h"
#include <tuple>

namespace {
// Ink of one text: the rectangle of the pixels that differ from the background.
TRect InkOf(TBitmap& B, TColor Back, const TRect& Within) {
    TRect r(Within.Right, Within.Bottom, Within.Left - 1, Within.Top - 1);
    for (int y = std::max(0, Within.Top); y < std::min(B.Height(), Within.Bottom); ++y)
        for (int x = std::max(0, Within.Left); x < std::min(B.Width(), Within.Right); ++x)
            if (B.Canvas()->Pixels(x, y) != Back) {
                r.Left = std::min<int>(r.Left, x);
                r.Top = std::min<int>(r.Top, y);
                r.Right = std::max<int>(r.Right, x + 1);
                r.Bottom = std::max<int>(r.Bottom, y + 1);
            }
    return r;
}

// The text drawn alone at (0, 0) in the font: its ink, width and height.
struct TTextPrint {
    TRect Ink;
    int Width;
    int Height;
};
TTextPrint PrintOf(TFont* Font, const char* Text) {
    TBitmap b(300, 60);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(TRect(0, 0, 300, 60));
    b.Canvas()->Font()->Assign(Font);
    b.Canvas()->Brush()->SetStyle(bsClear);
    b.Canvas()->TextOut(0, 0, Text);
    return {InkOf(b, clWhite, TRect(0, 0, 300, 60)), b.Canvas()->TextWidth(Text),
            b.Canvas()->TextHeight("W")};
}
} // namespace

class ChartLayoutTest : public SeriesChartTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        Chart->SetView3D(GetParam());
        Chart->SetAxisVisible(true);
        Chart->Title()->SetVisible(true);
        Chart->Title()->Text()->SetText("Title");
        Chart->Title()->Pen()->SetVisible(false);
        Chart->Foot()->Text()->SetText("Foot");
        Chart->Legend()->SetVisible(true);
        A = Add<TLineSeries>();
        B = Add<TLineSeries>();
        A->SetTitle("One");
        B->SetTitle("Two");
        B->SetSeriesColor(clGreen);
        for (int i = 0; i < 5; ++i) {
            A->AddXY(i, i);
            B->AddXY(i, 4 - i);
        }
    }
    TLineSeries* A = nullptr;
    TLineSeries* B = nullptr;
};

TEST_P(ChartLayoutTest, TitleAndLegendItemsSitWhereTheLayoutPutsThem) {
    Render(GetParam() ? "layout_3d" : "layout_2d");
    // No bevel: the margins are 3 % and 4 % of 400 x 300.
    const TRect legend = Chart->Legend()->ShapeBounds();
    const int legendTop = 300 * 10 / 100;
    EXPECT_EQ(legend.Top, legendTop);
    const int h = Chart->Legend()->CalcItemHeight();
    EXPECT_EQ(legend.Bottom, legendTop + 2 * h + 2);
    // The plotting area ends 3 % of its width before the legend; the titles centre over it.
    const int right = legend.Left - 3 * (388 - 12) / 100;
    const int centre = (12 + right) / 2;
    TBitmap& pic = *Picture;
    // The title's first row of ink and the foot's last lie inside their rows.
    TFont* title = Chart->Title()->Font();
    const TRect titleInk = InkOf(pic, clWhite, TRect(0, 0, W, 12 + PrintOf(title, "Title").Height));
    EXPECT_EQ(titleInk.Top, 12 + PrintOf(title, "Title").Ink.Top);
    EXPECT_NEAR((titleInk.Left + titleInk.Right) / 2, centre, 2);

    // Legend items: symbol 6 pixels in, the text 4 after it, each row one item high.
    TFont* font = Chart->Legend()->Font();
    const int symX = legend.Left + 6;
    const int symW = Chart->Legend()->SymbolWidthPixels();
    const char* names[] = {"One", "Two"};
    const TColor colours[] = {clRed, clGreen};
    for (int row = 0; row < 2; ++row) {
        const int y = legend.Top + 1 + h * row;
        EXPECT_LT(symX + symW + 4 + PrintOf(font, names[row]).Width, legend.Right - 1);
        EXPECT_EQ(Pixel(symX + symW / 2, (y + 2 + y + h + 1 - 3) / 2), colours[row]) << row;
    }
}

// Axis labels stand on the chart's own background: no box, no other colour.
TEST_P(ChartLayoutTest, AxisLabelsHaveNoBoxBehindThem) {
    Render(GetParam() ? "labels_3d" : "labels_2d");
    TTeeFont* font = Chart->LeftAxis()->LabelsFont();
    const int labelRight = Chart->ChartRect().Left - Chart->LeftAxis()->TickLength() - 1;
    for (const char* text : {"0", "2", "4"}) {
        const TTextPrint print = PrintOf(font, text);
        Chart->Canvas()->AssignFont(font);
        const int y = YPos(std::atof(text)) - Chart->Canvas()->FontHeight() / 2;
        const int left = labelRight - print.Width - 6;
        // The label cell holds only the label's greys on white.
        for (int yy = y; yy < y + print.Height; ++yy)
            for (int xx = left; xx < labelRight; ++xx) {
                const TColor c = Pixel(xx, yy);
                EXPECT_TRUE((c & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == ((c >> 16) & 0xFF))
                    << text << " at " << xx << "," << yy;
            }
        EXPECT_LT(Count(clBlack, TRect(left, y, labelRight, y + print.Height)),
                  print.Width * print.Height / 2)
            << text;
    }
}

INSTANTIATE_TEST_SUITE_P(View, ChartLayoutTest, ::testing::Bool(),
                         [](const auto& Info) { return Info.param ? "In3D" : "In2D"; });
