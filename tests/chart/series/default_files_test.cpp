// A chart holding one object of every series type, function and tool the
// library registers, each left as made, is written exactly as before:
// publishing more never changes what a file of defaults holds. Set
// QM_WRITE_DEFAULT_FILE (running this test alone) to rewrite the kept copy.
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string DefaultsChart() {
    TeeExtraSeriesStartup();
    TChart chart(nullptr);
    std::set<TClass> done;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        TClass sc = t->SeriesClass ? t->SeriesClass : &TLineSeries::ClassInfo;
        if (!done.insert(t->FunctionClass ? t->FunctionClass : sc).second) continue;
        CreateNewSeries(&chart, &chart, sc, t->FunctionClass);
    }
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        auto* tool = static_cast<TTeeCustomTool*>(TeeToolTypes().Get(i)->Factory(&chart));
        tool->SetName("Tool" + IntToStr(i + 1));
        tool->SetParentChart(&chart);
    }
    TMemoryStream m;
    SaveChartToStream(&chart, &m, false, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

// Read back and written again, the kept file comes out byte for byte: every
// object in it still writes only what differs from a new one. (Made afresh it
// would also hold the types other tests of this program register.)
TEST(DefaultFiles, AChartOfDefaultsIsWrittenAsBefore) {
    const std::string path = std::string(QM_CHART_CORPUS) + "/../default_chart.txt";
    if (std::getenv("QM_WRITE_DEFAULT_FILE")) {
        std::ofstream(path, std::ios::binary) << DefaultsChart();
        GTEST_SKIP() << "written " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::stringstream kept;
    kept << in.rdbuf();
    TeeExtraSeriesStartup();
    TChart chart(nullptr);
    TCustomChart* target = &chart;
    TStringStream file(kept.str());
    LoadChartFromStream(target, &file);
    TMemoryStream again;
    SaveChartToStream(&chart, &again, false, true);
    EXPECT_EQ(
        std::string(static_cast<const char*>(again.Memory()), static_cast<size_t>(again.Size())),
        kept.str());
}

} // namespace
