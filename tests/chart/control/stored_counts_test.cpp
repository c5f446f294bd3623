// Counts and positions that a chart file could make huge are kept, at load,
// within the bounds the editor's fields keep them to.
#include "chart/control/series.h"
#include "chart/control/teefunci.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_hints.h"
#include "platform/classes/streams.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

TEST(StoredCounts, FunctionPointCountAndCalloutPositionAreBoundedAtLoad) {
    const std::string text = "object TChart\n"
                             "  object Series1: TLineSeries\n"
                             "    object TCustomTeeFunction\n"
                             "      NumPoints = 2000000000\n"
                             "    end\n"
                             "  end\n"
                             "  object TAnnotationTool\n"
                             "    Callout.XPosition = -2000000000\n"
                             "    Callout.YPosition = 2000000000\n"
                             "  end\n"
                             "end\n";
    auto chart = std::make_unique<TChart>();
    TMemoryStream m;
    m.Write(text.data(), static_cast<int>(text.size()));
    m.SetPosition(0);
    TCustomChart* ref = chart.get();
    LoadChartFromStream(ref, &m);
    ASSERT_EQ(chart->SeriesCount(), 1);
    auto* f = dynamic_cast<TCustomTeeFunction*>(chart->GetSeries(0)->FunctionType());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->NumPoints(), 1000000);
    ASSERT_EQ(chart->Tools()->Count(), 1);
    auto* tool = dynamic_cast<TAnnotationTool*>(chart->Tools()->Get(0));
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->Callout()->XPosition(), -10000);
    EXPECT_EQ(tool->Callout()->YPosition(), 10000);
}

} // namespace
