// 3D base, palette and grid: colour range and palette rules, palette legend,
// grid index of regular and irregular grids, node values, generated values,
// refused sizes, and what the grid-transpose tool does with a grid series.
#include "chart/control/chart.h"
#include "chart/control/teestore.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teesurfa.h"
#include "platform/classes/streams.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <limits>

namespace {

TEST(Palette3D, ColourRangeRunsFromEndToStartThroughTheMiddle) {
    TSurfaceSeries s(nullptr);
    s.SetStartColor(0x0000FF); // red
    s.SetEndColor(0xFF0000);   // blue
    for (double y : {10.0, 20.0, 30.0})
        s.AddXYZ(y, y, 0);
    s.DoBeforeDrawChart();
    EXPECT_EQ(s.GetValueColorValue(10), 0xFF0000);
    EXPECT_EQ(s.GetValueColorValue(30), 0x0000FF);
    EXPECT_EQ(s.GetValueColorValue(20), 0x7F0080); // round(+-127.5) = +-128, halves to even
    EXPECT_EQ(s.GetValueColorValue(5), 0xFF0000);  // below the minimum
    EXPECT_EQ(s.GetValueColorValue(99), 0x0000FF); // above the maximum
    EXPECT_EQ(s.GetValueColorValue(std::numeric_limits<double>::quiet_NaN()), 0xFF0000);
    s.SetMidColor(0x00FF00);
    EXPECT_EQ(s.GetValueColorValue(20), 0x00FF00);
    EXPECT_EQ(s.GetValueColorValue(15), 0x7F8000);
}

TEST(Palette3D, FlatValuesTakeTheEndColourAndAFlatRangePalette) {
    TSurfaceSeries s(nullptr);
    for (int i = 0; i < 3; ++i)
        s.AddXYZ(i, 7, 0);
    s.DoBeforeDrawChart();
    EXPECT_EQ(s.RangeFactor(), 0);
    EXPECT_EQ(s.GetValueColor(1), s.EndColor());
    s.SetPaletteSteps(5);
    s.CreateRangePalette();
    ASSERT_EQ(s.Palette().size(), 5u);
    for (const TTeePaletteEntry& e : s.Palette()) {
        EXPECT_EQ(e.UpToValue, 7);
        EXPECT_EQ(e.Color, s.EndColor());
    }
}

TEST(Palette3D, PaletteLookupAndLegendEvery) {
    TSurfaceSeries s(nullptr);
    s.SetUseColorRange(false);
    s.SetUsePalette(true);
    s.AddXYZ(0, 0, 0);
    s.ClearPalette();
    for (int i = 0; i < 32; ++i)
        s.AddPalette(i, static_cast<TColor>(i));
    EXPECT_EQ(s.GetSurfacePaletteColor(3), 4);   // an equal value takes the next entry
    EXPECT_EQ(s.GetSurfacePaletteColor(99), 31); // past every entry: the last
    s.SetLegendEvery(2);
    EXPECT_EQ(s.CountLegendItems(), 16);
    EXPECT_EQ(s.LegendString(0, ltsPlain), "31");
    EXPECT_EQ(s.LegendString(15, ltsPlain), "1");
    EXPECT_EQ(s.LegendString(16, ltsPlain), "");
    s.AddPalette(32, 32);
    EXPECT_EQ(s.CountLegendItems(), 17);
    EXPECT_EQ(s.LegendString(16, ltsPlain), "0");
    // Equal values keep their order of insertion.
    EXPECT_EQ(s.AddPalette(5, 0xABCDEF), 6);
}

TEST(Palette3D, DefaultPaletteStepsAndHugeStepCountsRefused) {
    TSurfaceSeries s(nullptr);
    s.AddXYZ(0, 2, 0);
    s.AddXYZ(1, 12, 0);
    s.SetPaletteSteps(1); // value step is the whole range
    ASSERT_EQ(s.Palette().size(), 1u);
    EXPECT_EQ(s.Palette()[0].UpToValue, 2);
    s.SetPaletteSteps(3);
    ASSERT_EQ(s.Palette().size(), 3u);
    EXPECT_EQ(s.Palette()[2].UpToValue, 12);
    EXPECT_THROW(s.SetPaletteSteps(2000000000), ChartException);
    EXPECT_EQ(s.PaletteSteps(), 3);
}

TEST(Grid3D, AddArrayPutsOuterIndexOnZ) {
    TSurfaceSeries s(nullptr);
    s.AddArray(std::vector<std::vector<double>>{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
    ASSERT_EQ(s.Count(), 12);
    EXPECT_EQ(s.XValues()->MaxValue(), 3);
    EXPECT_EQ(s.ZValues()->MaxValue(), 2);
    EXPECT_EQ(s.YValues()->Value(6), 7);
    EXPECT_EQ(s.ZValue(6), 1);
}

struct GridCase {
    const char* Name;
    bool Irregular;
    std::vector<std::array<double, 2>> XZ;
    int Columns, Rows;
    std::vector<std::array<int, 3>> Nodes; // column, row, point index
};

class GridIndexTest : public ::testing::TestWithParam<GridCase> {};

TEST_P(GridIndexTest, NodesHoldTheirPoints) {
    const GridCase& c = GetParam();
    TSurfaceSeries s(nullptr);
    s.SetIrregularGrid(c.Irregular);
    for (const auto& p : c.XZ)
        s.AddXYZ(p[0], 1, p[1]);
    s.FillGridIndex();
    EXPECT_EQ(s.NumXValues(), c.Columns);
    EXPECT_EQ(s.NumZValues(), c.Rows);
    for (const auto& n : c.Nodes)
        EXPECT_EQ(s.GridIndex(n[0], n[1]), n[2]) << n[0] << "," << n[1];
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, GridIndexTest,
    ::testing::Values(
        GridCase{"Regular",
                 false,
                 {{0, 5}, {1, 5}, {2, 5}, {0, 6}, {2, 6}},
                 3,
                 2,
                 {{1, 1, 0}, {3, 1, 2}, {1, 2, 3}, {2, 2, -1}, {0, 0, -1}, {4, 1, -1}}},
        GridCase{"RoundsHalvesToEven",
                 false,
                 {{1.0, 0}, {1.4, 0}, {1.6, 0}, {2.5, 0}},
                 3,
                 1,
                 {{1, 1, 1}, {2, 1, 2}, {3, 1, 3}}},
        GridCase{"Irregular",
                 true,
                 {{10, 0}, {0.5, 0}, {3, 0}},
                 3,
                 1,
                 {{1, 1, 1}, {2, 1, 2}, {3, 1, 0}}},
        GridCase{"LaterPointWins", false, {{0, 0}, {0, 0}}, 1, 1, {{1, 1, 1}}},
        GridCase{"PointsWithoutPositionHaveNoNode",
                 false,
                 {{NaN, 0}, {0, 0}, {1, NaN}},
                 1,
                 1,
                 {{1, 1, 1}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Grid3D, NodeValuesAndTheirErrors) {
    TSurfaceSeries s(nullptr);
    s.AddXYZ(1, 10, 1);
    s.AddXYZ(2, 20, 2);
    s.FillGridIndex();
    EXPECT_EQ(s.GetValue(1, 1), 10);
    try {
        s.GetValue(2, 1);
        FAIL();
    } catch (const ChartException& e) {
        EXPECT_STREQ(e.what(), "No value found at XZ: 2 1");
    }
    EXPECT_THROW(s.GetValue(-5, 900), ChartException); // outside the grid: no memory touched
    s.SetValue(2, 2, 25);
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s.YValues()->Value(1), 25);
    s.SetValue(2, 1, 30); // empty node: a new point
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.GetValue(2, 1), 30);
}

TEST(Grid3D, SampleValuesFillTheWholeGridAtRunTime) {
    TSurfaceSeries s(nullptr);
    s.FillSampleValues(10);
    ASSERT_EQ(s.Count(), 100);
    EXPECT_EQ(s.XValues()->MinValue(), 1);
    EXPECT_EQ(s.ZValues()->MaxValue(), 10);
    EXPECT_EQ(s.NumXValues(), 10);
    EXPECT_EQ(s.NumZValues(), 10);
    // Outside sampling and without a height event nothing is generated.
    s.Clear();
    s.CreateValues(5, 5);
    EXPECT_EQ(s.Count(), 0);
    s.OnGetYValue = [](TChartSeries*, int X, int Z) { return X * 10.0 + Z; };
    s.CreateValues(3, 2);
    ASSERT_EQ(s.Count(), 6);
    EXPECT_EQ(s.YValues()->Value(4), 22); // row by row, X fastest
}

TEST(Grid3D, GridsBeyondTheLimitAreRefusedWithAClearError) {
    TSurfaceSeries s(nullptr);
    EXPECT_THROW(s.SetNumXValues(100000000), ChartException);
    EXPECT_EQ(s.NumXValues(), 10);
    s.AddXYZ(0, 1, 0);
    s.AddXYZ(1e12, 1, 1e12); // a regular grid this wide cannot be indexed
    EXPECT_THROW(s.FillGridIndex(), ChartException);
}

// The grid-transpose tool on a real grid series: X and Z change places, and
// the tool takes nothing but grid series.
TEST(Grid3D, TransposeToolSwapsXAndZOfAGridSeries) {
    TeeExtraSeriesStartup();
    TChart chart(nullptr);
    auto* target = new TContourSeries(&chart);
    target->SetParentChart(&chart);
    target->AddXYZ(1, 11, 5);
    target->AddXYZ(2, 12, 6);
    auto* other = new TLineSeries(&chart);
    other->SetParentChart(&chart);
    TGridTransposeTool tool(&chart);
    tool.SetSeries(other);
    EXPECT_EQ(tool.Series(), nullptr);
    tool.SetSeries(target);
    ASSERT_EQ(tool.Series(), target);
    tool.Transpose();
    ASSERT_EQ(target->Count(), 2);
    EXPECT_EQ(target->XValues()->Value(1), 6);
    EXPECT_EQ(target->ZValues()->Value(1), 2);
    EXPECT_EQ(target->YValues()->Value(1), 12);
    EXPECT_EQ(target->GridIndex(2, 2), 1);
    tool.Transpose();
    EXPECT_EQ(target->XValues()->Value(1), 2);
    EXPECT_EQ(target->ZValues()->Value(1), 6);
}

// Reading a grid's points keeps the X list's order: load, save and load again
// give the same file.
TEST(Grid3D, ChartFilesKeepTheXOrderOfAGridSeries) {
    TeeExtraSeriesStartup();
    auto save = [](TCustomChart* C) {
        TMemoryStream m;
        SaveChartToStream(C, &m);
        return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
    };
    auto load = [](const std::string& File) {
        TMemoryStream m;
        m.WriteBuffer(File.data(), int(File.size()));
        m.SetPosition(0);
        TCustomChart* c = new TChart(nullptr);
        LoadChartFromStream(c, &m);
        return std::unique_ptr<TCustomChart>(c);
    };
    for (TClass type : {&TSurfaceSeries::ClassInfo, &TWaterFallSeries::ClassInfo}) {
        SCOPED_TRACE(type->Name);
        TChart chart(nullptr);
        auto* s = static_cast<TCustom3DGridSeries*>(type->Factory(&chart));
        s->SetName("Series1");
        s->SetParentChart(&chart);
        s->XValues()->SetOrder(loAscending);
        for (double x : {3.0, 1.0, 2.0})
            for (double z : {1.0, 2.0})
                s->AddXYZ(x, x * z, z);
        const std::string first = save(&chart);
        std::unique_ptr<TCustomChart> once = load(first);
        ASSERT_EQ(once->SeriesCount(), 1);
        EXPECT_EQ(once->Series(0)->XValues()->Order(), loAscending);
        EXPECT_EQ(once->Series(0)->Count(), 6);
        EXPECT_EQ(once->Series(0)->XValues()->Value(0), 1.0);
        EXPECT_EQ(save(once.get()), first);
    }
}

} // namespace
