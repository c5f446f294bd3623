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
    // The widest text ends a space and the frame before the legend's right:
    // its column + 10 + the symbol, and room for the last figure to show whole.
    const int frame = Chart->Legend()->Pen()->Width();
    EXPECT_EQ(symX + symW + 4 + std::max(PrintOf(font, "One").Width, PrintOf(font, "Two").Width) +
                  PrintOf(font, " ").Width + frame,
              legend.Right);
    for (int row = 0; row < 2; ++row) {
        const int y = legend.Top + 1 + h * row;
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

// An 800 x 600 chart without bevel, title, legend or axes: the foot sits on
// the bottom margin (4 % of 600), and the walls stand around the plotting
// rectangle the margins and the foot leave, at the depth the 3D view gives.
class WallsAndFootTest : public ::testing::TestWithParam<bool> {};

TEST_P(WallsAndFootTest, FootAndWallsAtTheirPixels) {
    const bool in3D = GetParam();
    constexpr int CW = 800, CH = 600;
    constexpr TColor Back = 0x808080, BackWall = 0x40C040, LeftWall = 0x80FFFF,
                     BottomWall = 0xFF8080;
    TChart chart(nullptr);
    chart.SetBevelOuter(bvNone);
    chart.SetColor(Back);
    chart.SetView3D(in3D);
    chart.SetWidth(CW);
    chart.SetHeight(CH);
    chart.Title()->SetVisible(false);
    chart.Legend()->SetVisible(false);
    chart.SetAxisVisible(false);
    chart.Foot()->Text()->SetText("Foot");
    chart.BackWall()->SetTransparent(false);
    chart.BackWall()->SetColor(BackWall);
    chart.BottomWall()->SetColor(BottomWall);
    // The walls need a series on the axes; this one lies below the plot.
    auto* line = new TLineSeries(&chart);
    line->SetParentChart(&chart);
    line->AddXY(0, 0);
    line->AddXY(1, 0);
    chart.LeftAxis()->SetMinMax(10, 20);
    TBitmap pic(CW, CH);
    chart.Draw(pic.Canvas(), TRect(0, 0, CW, CH));
    if (const char* dir = std::getenv("QM_SAVE_PNG")) {
        TPngImage png;
        png.Bitmap()->Assign(&pic);
        png.SaveToFile(AnsiString(std::string(dir) + (in3D ? "/walls_3d.png" : "/walls_2d.png")));
    }
    const auto at = [&](int X, int Y) { return pic.Canvas()->Pixels(X, Y); };

    // Margins 3 % of 800 and 4 % of 600; the foot's one line ends on the
    // bottom margin, centred, and takes its height and 5 pixels from the plot.
    const TTextPrint foot = PrintOf(chart.Foot()->Font(), "Foot");
    chart.Canvas()->AssignFont(chart.Foot()->Font());
    const int fontH = chart.Canvas()->FontHeight();
    const int footY = 576 - fontH, footX = 400 - foot.Width / 2;
    const TRect ink = InkOf(pic, Back, TRect(0, footY, CW, CH));
    EXPECT_EQ(ink, TRect(footX + foot.Ink.Left, footY + foot.Ink.Top, footX + foot.Ink.Right,
                         footY + foot.Ink.Bottom));
    // In 3D the depth is 1.5 % of the plot's 752 pixels, 11, taken from the
    // right and the top.
    const int depth = in3D ? 11 : 0;
    const TRect r(24, 24 + depth, 776 - depth, 576 - 5 - fontH);
    EXPECT_EQ(chart.ChartRect(), r);
    const int midY = (r.Top + r.Bottom) / 2, midX = (r.Left + r.Right) / 2;
    if (!in3D) {
        // The back wall's frame is on the rectangle's pixels, right and bottom included.
        EXPECT_EQ(at(r.Left, midY), clBlack);
        EXPECT_EQ(at(r.Right, midY), clBlack);
        EXPECT_EQ(at(midX, r.Top), clBlack);
        EXPECT_EQ(at(midX, r.Bottom), clBlack);
        EXPECT_EQ(at(r.Left + 1, r.Top + 1), BackWall);
        EXPECT_EQ(at(r.Right - 1, r.Bottom - 1), BackWall);
        EXPECT_EQ(at(r.Left - 1, midY), Back);   // no left wall in 2D
        EXPECT_EQ(at(midX, r.Bottom + 1), Back); // nor a bottom one
        EXPECT_EQ(at(r.Right + 1, midY), Back);
        return;
    }
    // 45 degrees: depth d moves a point d right and d up.
    EXPECT_EQ(chart.Width3D(), depth);
    EXPECT_EQ(chart.Height3D(), depth);
    // Back wall: the plot rectangle at full depth.
    EXPECT_EQ(at(r.Left + depth, midY - depth), clBlack);
    EXPECT_EQ(at(r.Right + depth, midY - depth), clBlack);
    EXPECT_EQ(at(midX + depth, r.Top - depth), clBlack);
    EXPECT_EQ(at(midX, midY), BackWall);
    EXPECT_EQ(at(r.Right + depth + 1, midY), Back);
    // Left wall: the plane at x = Left from the front to the back.
    EXPECT_EQ(at(r.Left, midY), clBlack);
    EXPECT_EQ(at(r.Left + depth / 2, midY - depth / 2), LeftWall);
    EXPECT_EQ(at(r.Left - 1, midY), Back);
    // Bottom wall: the plane at y = Bottom.
    EXPECT_EQ(at(midX, r.Bottom), clBlack);
    EXPECT_EQ(at(midX + depth / 2, r.Bottom - depth / 2), BottomWall);
    EXPECT_EQ(at(midX, r.Bottom + 1), Back);
}

INSTANTIATE_TEST_SUITE_P(View, WallsAndFootTest, ::testing::Bool(),
                         [](const auto& Info) { return Info.param ? "In3D" : "In2D"; });

namespace {
class LegendPagingTest : public SeriesChartTest {};

// With paging the legend lists the page's values, while the stored first
// value stays what was set: a paint never changes what a file keeps.
TEST_F(LegendPagingTest, PagesDrawFromTheirFirstItemAndKeepTheStoredFirstValue) {
    auto* s = Add<TLineSeries>();
    for (int i = 0; i < 30; ++i)
        s->AddXY(i, i, "p" + IntToStr(i));
    Chart->Legend()->SetVisible(true);
    Chart->Legend()->SetLegendStyle(lsValues);
    Chart->Legend()->SetMaxNumRows(50);
    Chart->SetMaxPointsPerPage(10);
    Chart->SetPage(3);
    Render("legend-page3");
    EXPECT_EQ(Chart->Legend()->FirstValue(), 0);
    EXPECT_EQ(Chart->Legend()->LastValue(), 29);
    Chart->SetPage(1);
    Render("legend-page1");
    EXPECT_EQ(Chart->Legend()->LastValue(), 9);
    Chart->SetMaxPointsPerPage(0);
    Chart->Legend()->SetFirstValue(5);
    Render("legend-nopaging");
    EXPECT_EQ(Chart->Legend()->FirstValue(), 5);
    EXPECT_GE(Chart->Legend()->LastValue(), 5);
}
} // namespace

namespace {
// Legend names stand on the legend's own colour, never on a box of another
// item's colour: many series of the default colours, each of its own kind.
class LegendTextTest : public SeriesChartTest {};
} // namespace

TEST_F(LegendTextTest, EveryNameStandsOnTheLegendColour) {
    Chart->Legend()->SetVisible(true);
    Chart->SetHeight(H);
    for (int i = 0; i < 14; ++i) {
        TChartSeries* s = i % 3 == 0   ? static_cast<TChartSeries*>(new TLineSeries(Chart.get()))
                          : i % 3 == 1 ? static_cast<TChartSeries*>(new TBarSeries(Chart.get()))
                                       : static_cast<TChartSeries*>(new TPointSeries(Chart.get()));
        s->SetParentChart(Chart.get());
        s->SetTitle(AnsiString("Series") + AnsiString(i + 1));
        for (int k = 0; k < 3; ++k)
            s->AddXY(k, k + i);
    }
    Render("legend_names");
    const TRect legend = Chart->Legend()->ShapeBounds();
    const int h = Chart->Legend()->CalcItemHeight();
    const int textX = legend.Left + 6 + Chart->Legend()->SymbolWidthPixels() + 4;
    for (int row = 0; row < 14; ++row) {
        const int top = legend.Top + 1 + h * row;
        int coloured = 0, white = 0, all = 0;
        for (int y = top + 1; y < top + h - 1; ++y)
            for (int x = textX; x < legend.Right - 2; ++x, ++all) {
                const TColor c = Pixel(x, y);
                white += c == clWhite;
                coloured += (c & 0xFF) != ((c >> 8) & 0xFF) || (c & 0xFF) != ((c >> 16) & 0xFF);
            }
        EXPECT_EQ(coloured, 0) << "Series" << row + 1;
        EXPECT_GT(white, all / 2) << "Series" << row + 1;
    }
}

namespace {
class LegendWidthTest : public SeriesChartTest {};
} // namespace

// A vertical legend is as wide as its two text columns + 10 + the symbol, the
// symbol being its percentage of that text width + 10 (or its pixels).
TEST_F(LegendWidthTest, AVerticalLegendIsItsColumnsPlusTenPlusTheSymbolAndRoomForTheLastFigure) {
    struct TCase {
        const char* Name;
        TLegendAlignment Align;
        bool Values, Boxes, Pixels;
        std::vector<const char*> Column0, Column1;
    };
    const std::vector<TCase> cases = {
        {"series right", laRight, false, false, false, {"One", "Twelve"}, {}},
        {"series left", laLeft, false, false, false, {"One", "Twelve"}, {}},
        {"values, two columns", laRight, true, false, false, {"5", "123"}, {"alpha", "be"}},
        {"check boxes", laRight, false, true, false, {"One", "Twelve"}, {}},
        {"symbol in pixels", laRight, false, false, true, {"One", "Twelve"}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Chart->FreeAllSeries();
        auto* a = Add<TLineSeries>();
        a->SetTitle("One");
        a->AddXY(0, 5, "alpha");
        a->AddXY(1, 123, "be");
        if (!c.Values) {
            auto* b = Add<TLineSeries>();
            b->SetTitle("Twelve");
            b->AddXY(0, 1);
        }
        TChartLegend* l = Chart->Legend();
        l->SetVisible(true);
        l->SetAlignment(c.Align);
        l->SetLegendStyle(c.Values ? lsValues : lsSeries);
        l->SetTextStyle(ltsLeftValue);
        l->SetCheckBoxes(c.Boxes);
        l->Symbol()->SetWidthUnits(c.Pixels ? lcsPixels : lcsPercent);
        l->Symbol()->SetWidth(c.Pixels ? 17 : 20);
        Render(c.Name);
        int tw = 0;
        for (const auto* column : {&c.Column0, &c.Column1}) {
            int widest = 0;
            for (const char* text : *column)
                widest = std::max(widest, PrintOf(l->Font(), text).Width);
            tw += widest;
        }
        const int symbol = c.Pixels ? 17 : static_cast<int>(std::lround(20 * (tw + 10) * 0.01));
        EXPECT_EQ(l->SymbolWidthPixels(), symbol);
        const TRect r = l->ShapeBounds();
        const int start = c.Boxes ? r.Left + 15 : r.Left;
        // Then the space between the two cells and a space and the frame after the last.
        const int space = PrintOf(l->Font(), " ").Width;
        const int gaps = (c.Column1.empty() ? 0 : space) + space + l->Pen()->Width();
        EXPECT_EQ(r.Right - start, tw + 10 + symbol + gaps);
    }
}
