// A program that only loads chart files: nothing here names a series or
// function class, so the linker keeps the standard series only when the chart
// unit itself registers them.
#include "chart/control/teestore.h"
#include "platform/classes/streams.h"
#include <gtest/gtest.h>
#include <string>

TEST(LoadOnly, ChartFileFindsEveryStandardSeriesAndFunctionByName) {
    const std::string text = "object Chart1: TChart\n"
                             "  object Series1: TLineSeries\n  end\n"
                             "  object Series2: TBarSeries\n  end\n"
                             "  object Series3: TPieSeries\n  end\n"
                             "  object Series4: TFastLineSeries\n  end\n"
                             "  object Series5: TAreaSeries\n  end\n"
                             "  object Series6: TLineSeries\n"
                             "    object TeeFunction1: TAddTeeFunction\n    end\n"
                             "  end\n"
                             "end\n";
    TMemoryStream m;
    m.Write(text.data(), static_cast<int>(text.size()));
    m.SetPosition(0);
    TChart chart;
    TCustomChart* ref = &chart;
    LoadChartFromStream(ref, &m);
    ASSERT_EQ(chart.SeriesCount(), 6);
    const char* names[] = {"TLineSeries",     "TBarSeries",  "TPieSeries",
                           "TFastLineSeries", "TAreaSeries", "TLineSeries"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(chart.GetSeries(i)->ClassName(), AnsiString(names[i]));
    ASSERT_NE(chart.GetSeries(5)->FunctionType(), nullptr);
    EXPECT_EQ(chart.GetSeries(5)->FunctionType()->ClassName(), AnsiString("TAddTeeFunction"));
}
