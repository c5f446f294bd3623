// Chart files that no chart could draw: settings beyond what the editor allows
// are bounded at load, a grid too large to draw refuses the file naming its
// series, and every input the chart-file fuzzer kept (with the seed of every
// registered class) loads, paints, saves and loads again the same.
#include "chart_fuzz_harness.h"
#include "chart/series/teebezie.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teesurfa.h"
#include "chart/series/teetrisurface.h"
#include "platform/classes/props.h"
#include <filesystem>
#include <fstream>
#include <limits>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<TChart> LoadText(const std::string& Text) {
    auto chart = std::make_unique<TChart>();
    TMemoryStream m;
    m.Write(Text.data(), static_cast<int>(Text.size()));
    m.SetPosition(0);
    TCustomChart* ref = chart.get();
    LoadChartFromStream(ref, &m);
    return chart;
}

// The integer a dotted property path names, read through the published tables.
int64_t Read(TObject* Object, const std::string& Path) {
    size_t begin = 0;
    while (true) {
        const size_t dot = Path.find('.', begin);
        const TPropInfo* p =
            GetPropInfo(Object->ClassType(), Path.substr(begin, dot - begin).c_str());
        if (!p) throw std::runtime_error("no property " + Path);
        if (dot == std::string::npos) return p->GetOrd(Object);
        Object = p->GetObj(Object);
        begin = dot + 1;
    }
}

} // namespace

TEST(ChartFileBounds, SettingsBeyondTheEditorsAreBoundedAtLoad) {
    TeeExtraSeriesStartup();
    struct Case {
        const char* Path;
        const char* Value;
        int64_t Loaded;
    };
    const Case chart[] = {
        {"MarginTop", "-2000000000", -2000},
        {"MarginLeft", "2000000000", 2000},
        {"BevelWidth", "2000000000", 1000},
        {"LeftAxis.MinorTickCount", "10000000", 1000},
        {"LeftAxis.TickLength", "-2000000000", 0},
        {"LeftAxis.LabelsFont.InterCharSize", "2000000000", 1000},
        {"LeftAxis.LabelsFont.Shadow.HorizSize", "-2000000000", -100},
        {"Legend.Symbol.Width", "2000000000", 1000},
        {"Legend.TopPos", "-2000000000", -100},
        {"Legend.Frame.Width", "2000000000", 1000},
        {"View3DOptions.Zoom", "2000000000", 500},
        {"Title.Left", "-2000000000", -10000},
    };
    const Case series[] = {
        {"NumBezierPoints", "2000000000", 1000},
        {"Pointer.VertSize", "2000000000", 1000},
        {"Marks.Callout.Length", "2000000000", 1000},
        {"Marks.Callout.Distance", "-2000000000", -1000},
        {"Marks.DrawEvery", "0", 1},
        {"LinePen.Width", "2000000000", 1000},
    };
    std::string text = "object TChart\n";
    for (const Case& c : chart)
        text += std::string("  ") + c.Path + " = " + c.Value + "\n";
    text += "  object Series1: TBezierSeries\n";
    for (const Case& c : series)
        text += std::string("    ") + c.Path + " = " + c.Value + "\n";
    text += "  end\nend\n";
    std::unique_ptr<TChart> loaded = LoadText(text);
    for (const Case& c : chart)
        EXPECT_EQ(Read(loaded.get(), c.Path), c.Loaded) << c.Path;
    ASSERT_EQ(loaded->SeriesCount(), 1);
    for (const Case& c : series)
        EXPECT_EQ(Read(loaded->GetSeries(0), c.Path), c.Loaded) << c.Path;
    loaded->GetSeries(0)->FillSampleValues(5);
    chart_fuzz::Paint(loaded.get());
}

TEST(ChartFileBounds, GridTooLargeToDrawRefusesTheFileNamingTheSeries) {
    TChart chart;
    auto* s = new TSurfaceSeries(&chart);
    s->SetName("Series1");
    s->SetParentChart(&chart);
    s->AddXYZ(0, 1, 0);
    s->AddXYZ(1e9, 2, 1);
    TMemoryStream m;
    SaveChartToStream(&chart, &m);
    m.SetPosition(0);
    TChart target;
    TCustomChart* ref = &target;
    try {
        LoadChartFromStream(ref, &m);
        FAIL() << "a grid of 1e9 columns loaded";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message.Pos("Series1"), 0) << E.Message.c_str();
        EXPECT_NE(E.Message.Pos("too large"), 0) << E.Message.c_str();
    }
    EXPECT_EQ(target.SeriesCount(), 0);
}

TEST(ChartFileBounds, TriangulatedSurfaceWithoutFiniteXAndZRefusesTheFile) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double X, Z;
        bool Loads;
    } cases[] = {{0.5, 0.5, true}, {nan, 0.5, false}, {0.5, inf, false}, {-inf, 0.5, false}};
    // Unregistered, the series would be skipped as unknown and every case would load.
    RegisterTee3DSeries();
    for (const auto& c : cases) {
        TChart chart;
        auto* s = new TTriSurfaceSeries(&chart);
        s->SetName("Series1");
        s->SetParentChart(&chart);
        for (const auto& [x, z] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}})
            s->AddXYZ(x, x + z, z);
        s->AddXYZ(c.X, 1, c.Z);
        TMemoryStream m;
        SaveChartToStream(&chart, &m);
        m.SetPosition(0);
        TChart target;
        TCustomChart* ref = &target;
        try {
            LoadChartFromStream(ref, &m);
            EXPECT_TRUE(c.Loads) << c.X << " " << c.Z;
            chart_fuzz::Paint(&target); // what loads must paint
        } catch (const EReadError& E) {
            EXPECT_FALSE(c.Loads) << c.X << " " << c.Z;
            EXPECT_EQ(E.Message, "Error reading Series1: Point without a finite X and Z value");
        }
    }
}

// Inputs the chart-file fuzzer kept, and its seed, replayed through its checks.
TEST(ChartFileBounds, FuzzCorpusAndSeedReplayWithoutFaults) {
    const std::string seed = chart_fuzz::Seed();
    EXPECT_GT(chart_fuzz::Load(seed)->SeriesCount(), 60);
    chart_fuzz::ChartFile(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QM_CHART_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(in)), {});
        chart_fuzz::ChartFile(reinterpret_cast<const uint8_t*>(data.data()), data.size());
        ++files;
    }
    EXPECT_GT(files, 0);
}
