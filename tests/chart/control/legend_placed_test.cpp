// A legend, placed by hand (Left and Top) or docked on any side, shows its texts
// whole: the last digit of every value clears the frame and the shadow by a
// column of background.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teelegend.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

struct TPlacedCase {
    const char* Name;
    bool Labels;   // a second cell after each value
    int Alignment; // a TLegendAlignment, or -1 for Left 480, Top 90
};

void PrintTo(const TPlacedCase& C, std::ostream* Os) {
    *Os << C.Name;
}

class LegendPlacedTest : public ::testing::TestWithParam<TPlacedCase> {};

TEST_P(LegendPlacedTest, TextsClearTheFrame) {
    constexpr int W = 669, H = 400;
    TChart chart(nullptr);
    chart.SetWidth(W);
    chart.SetHeight(H);
    auto* line = new TLineSeries(&chart);
    line->SetParentChart(&chart);
    const bool labels = GetParam().Labels;
    line->Add(0.193, labels ? "Jan" : "");
    line->Add(10.246, labels ? "Feb" : "");
    line->Add(5.5, labels ? "Mar" : "");
    TChartLegend* legend = chart.Legend();
    const bool placed = GetParam().Alignment < 0;
    if (placed) {
        legend->SetLeft(480);
        legend->SetTop(90);
    } else {
        legend->SetAlignment(static_cast<TLegendAlignment>(GetParam().Alignment));
    }
    TBitmap pic(W, H);
    chart.Draw(pic.Canvas(), TRect(0, 0, W, H));
    if (const char* dir = std::getenv("QM_SAVE_PNG")) {
        TPngImage png;
        png.Bitmap()->Assign(&pic);
        png.SaveToFile(AnsiString(std::string(dir) + "/legend_" + GetParam().Name + ".png"));
    }
    const TRect r = legend->ShapeBounds();
    if (placed) {
        ASSERT_EQ(r.Left, 480);
        ASSERT_EQ(r.Top, 90);
    }
    const int frame = legend->Pen()->Width();
    const TColor back = legend->Color();
    auto at = [&](int X, int Y) { return pic.Canvas()->Pixels(X, Y); };
    // The frame's inner edge, then the column inside it: background only,
    // from the first item's top to the last one's bottom.
    const int inner = r.Right - frame - 1;
    int ink = 0;
    for (int y = r.Top + frame; y < r.Bottom - frame; ++y) {
        EXPECT_EQ(at(r.Right - 1, y), legend->Pen()->Color()) << "frame at y " << y;
        if (at(inner, y) != back) ++ink;
    }
    EXPECT_EQ(ink, 0) << "text touches the frame at x " << inner;
    // The values themselves are drawn: ink in the rows, left of that column.
    int text = 0;
    for (int y = r.Top + frame; y < r.Bottom - frame; ++y)
        for (int x = r.Left + legend->Symbol()->Width(); x < inner; ++x)
            text += at(x, y) != back && at(x, y) != line->SeriesColor();
    EXPECT_GT(text, 50);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LegendPlacedTest,
    ::testing::Values(TPlacedCase{"Values", false, -1}, TPlacedCase{"ValuesAndLabels", true, -1},
                      TPlacedCase{"ValuesLeft", false, laLeft},
                      TPlacedCase{"ValuesAndLabelsLeft", true, laLeft},
                      TPlacedCase{"ValuesRight", false, laRight},
                      TPlacedCase{"ValuesAndLabelsRight", true, laRight},
                      TPlacedCase{"ValuesTop", false, laTop},
                      TPlacedCase{"ValuesAndLabelsTop", true, laTop},
                      TPlacedCase{"ValuesBottom", false, laBottom},
                      TPlacedCase{"ValuesAndLabelsBottom", true, laBottom}),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
