// Text through the chart canvas on a real 800 x 600 frame: axis labels show no
// background box, whatever mode the axis drawn before them left behind.
#include "axis_fixture.h"
#include <cmath>

namespace {

class FourAxesFrame : public ::testing::Test {
protected:
    FourAxesFrame() {
        Chart.SetView3D(false);
        Chart.SetWidth(800);
        Chart.SetHeight(600);
        Series.SetParentChart(&Chart);
        Series.SetHorizAxis(aBothHorizAxis);
        Series.SetVertAxis(aBothVertAxis);
        for (int i = 0; i < 1000; ++i)
            Series.AddXY(i, std::sin(i * 0.01) * 100 + (i % 97));
        Chart.Draw(Target.Canvas(), TRect(0, 0, 800, 600));
    }
    ~FourAxesFrame() override { Series.SetParentChart(nullptr); }

    // Pixels of the band in each colour that is neither the panel's nor ink.
    struct TBand {
        int Panel = 0, Ink = 0, Box = 0;
    };
    TBand Band(const TRect& R) {
        const TColor panel = static_cast<TColor>(ColorToRGB(Chart.Color()));
        const TColor box = static_cast<TColor>(~ColorToRGB(Chart.Color()) & 0xFFFFFF);
        TBand b;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x) {
                const TColor c = Target.Canvas()->Pixels(x, y);
                if (c == panel)
                    ++b.Panel;
                else if (c == box)
                    ++b.Box;
                else
                    ++b.Ink;
            }
        return b;
    }

    TAxisTestChart Chart;
    TAxisTestSeries Series;
    TBitmap Target{800, 600};
};

} // namespace

TEST_F(FourAxesFrame, LabelsOfEveryAxisDrawWithoutABox) {
    const TRect plot = Chart.ChartRect();
    // The label bands between the plot's ticks and the panel's edges.
    const struct {
        const char* Axis;
        TRect Band;
    } bands[] = {
        {"left", TRect(0, plot.Top, plot.Left - 5, plot.Bottom)},
        {"right", TRect(plot.Right + 5, plot.Top, 800, plot.Bottom)},
        {"top", TRect(plot.Left, 0, plot.Right, plot.Top - 5)},
        {"bottom", TRect(plot.Left, plot.Bottom + 5, plot.Right, 600)},
    };
    for (const auto& b : bands) {
        const TBand band = Band(b.Band);
        EXPECT_EQ(band.Box, 0) << b.Axis;
        EXPECT_GT(band.Ink, 100) << b.Axis << ": the labels are there";
        EXPECT_GT(band.Panel, 4 * band.Ink) << b.Axis << ": around them the panel shows";
    }
}
