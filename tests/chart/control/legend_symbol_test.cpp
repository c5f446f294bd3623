// The editors' series symbols are outlined as the chart's own legend outlines
// them: with the legend's symbol pen once it no longer follows the series.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teelegend.h"
#include "platform/graphics/graphics.h"
#include <gtest/gtest.h>

namespace {

struct TCount {
    int Series = 0, Symbol = 0;
};

TCount OutlineColours(TChartSeries* S) {
    TBitmap b(24, 24);
    PaintSeriesLegend(S, b.Canvas(), TRect(2, 2, 22, 22));
    TCount n;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const TColor c = b.Canvas()->Pixels(x, y);
            n.Series += c == clRed;
            n.Symbol += c == clBlue;
        }
    return n;
}

TEST(LegendSymbol, PaintedSymbolsTakeTheLegendsSymbolPen) {
    TChart chart(nullptr);
    auto* bar = new TBarSeries(&chart);
    bar->SetParentChart(&chart);
    bar->SetSeriesColor(clYellow);
    bar->BarPen()->SetColor(clRed);
    chart.Legend()->Symbol()->Pen()->SetColor(clBlue);

    const TCount own = OutlineColours(bar);
    EXPECT_GT(own.Series, 0);
    EXPECT_EQ(own.Symbol, 0);

    chart.Legend()->Symbol()->SetDefaultPen(false);
    const TCount legend = OutlineColours(bar);
    EXPECT_EQ(legend.Series, 0);
    EXPECT_GT(legend.Symbol, 0);
    // Only while painting: the series' own drawing keeps its pen.
    EXPECT_EQ(chart.LegendPen, nullptr);
}

} // namespace
