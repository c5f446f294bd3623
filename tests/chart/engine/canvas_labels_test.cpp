// Text through the chart canvas on a real 800 x 600 frame: axis labels show no
// background box, whatever mode the axis drawn before them left behind.
#include "axis_fixture.h"
#include <cmath>

TEST(FourAxesFrame, LabelsOfEveryAxisDrawWithoutABox) {
    TAxisTestChart chart;
    chart.SetView3D(false);
    chart.SetWidth(800);
    chart.SetHeight(600);
    TAxisTestSeries series;
    series.SetParentChart(&chart);
    series.SetHorizAxis(aBothHorizAxis);
    series.SetVertAxis(aBothVertAxis);
    for (int i = 0; i < 1000; ++i)
        series.AddXY(i, std::sin(i * 0.01) * 100 + (i % 97));
    TBitmap target(800, 600);
    chart.Draw(target.Canvas(), TRect(0, 0, 800, 600));
    series.SetParentChart(nullptr);

    const TColor panel = static_cast<TColor>(ColorToRGB(chart.Color()));
    const TColor box = static_cast<TColor>(~ColorToRGB(chart.Color()) & 0xFFFFFF);
    const TRect p = chart.ChartRect();
    // The label bands between the plot's ticks and the panel's edges.
    const std::pair<const char*, TRect> bands[] = {
        {"left", TRect(0, p.Top, p.Left - 5, p.Bottom)},
        {"right", TRect(p.Right + 5, p.Top, 800, p.Bottom)},
        {"top", TRect(p.Left, 0, p.Right, p.Top - 5)},
        {"bottom", TRect(p.Left, p.Bottom + 5, p.Right, 600)},
    };
    for (const auto& [axis, r] : bands) {
        int panelPixels = 0, boxPixels = 0, ink = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) {
                const TColor c = target.Canvas()->Pixels(x, y);
                c == panel ? ++panelPixels : c == box ? ++boxPixels : ++ink;
            }
        EXPECT_EQ(boxPixels, 0) << axis;
        EXPECT_GT(ink, 100) << axis << ": the labels are there";
        EXPECT_GT(panelPixels, 4 * ink) << axis << ": around them the panel shows";
    }
}
