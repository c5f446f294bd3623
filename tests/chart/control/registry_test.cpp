// Registries: entries, look-ups, and creating, cloning and re-typing series.
#include "chart/control/chart.h"
#include "chart/control/teeseriestypes.h"
#include <gtest/gtest.h>

namespace {
class TRegA : public TChartSeries {
    QM_CLASS(TRegA)
public:
    explicit TRegA(TComponent* AOwner) : TChartSeries(AOwner) {}
};
class TRegFunc : public TTeeFunction {
    QM_CLASS(TRegFunc)
public:
    explicit TRegFunc(TComponent* AOwner) : TTeeFunction(AOwner) {}
};
} // namespace
QM_CLASS_OWNED(TRegA, TChartSeries, TComponent)
QM_CLASS_OWNED(TRegFunc, TTeeFunction, TComponent)

TEST(Registry, SameSeriesTwiceIsOneEntryAndFindSkipsFunctionPairs) {
    static AnsiString desc = "A", page = "P";
    const int before = TeeSeriesTypes().Count();
    RegisterTeeSeriesFunction(&TRegA::ClassInfo, &TRegFunc::ClassInfo, &desc, &page, 1);
    EXPECT_EQ(TeeSeriesTypes().Find(&TRegA::ClassInfo), nullptr);
    RegisterTeeSeries(&TRegA::ClassInfo, &desc, &page, 1);
    RegisterTeeSeries(&TRegA::ClassInfo, &desc, &page, 1);
    EXPECT_EQ(TeeSeriesTypes().Count(), before + 2);
    ASSERT_NE(TeeSeriesTypes().Find(&TRegA::ClassInfo), nullptr);
    desc = "Renamed";
    EXPECT_EQ(TeeSeriesTypes().Find(&TRegA::ClassInfo)->DescriptionText(), "Renamed");
    EXPECT_EQ(GetClass("TRegA"), &TRegA::ClassInfo);
    UnRegisterTeeSeries({&TRegA::ClassInfo});
    EXPECT_EQ(TeeSeriesTypes().Count(), before);
}

#include "chart/control/series_bubble.h"

// A clone is a new series of the same class in the same chart with its own
// name, settings and points; changing the type keeps name, place, points,
// dependents and the tools that point at the series.
TEST(Registry, CloneAndChangeTypeKeepPlaceNamePointsAndReferences) {
    TChart chart;
    TChartSeries* first = CreateNewSeries(&chart, &chart, &TLineSeries::ClassInfo);
    TChartSeries* s = CreateNewSeries(&chart, &chart, &TBubbleSeries::ClassInfo);
    static_cast<TBubbleSeries*>(s)->AddBubble(1, 2, 3, "p");
    static_cast<TBubbleSeries*>(s)->SetSquared(false);
    s->SetTitle("Readings");
    TChartSeries* clone = CloneChartSeries(s);
    ASSERT_EQ(chart.SeriesCount(), 3);
    EXPECT_EQ(clone->ClassType(), &TBubbleSeries::ClassInfo);
    EXPECT_NE(clone->Name(), s->Name());
    EXPECT_EQ(clone->Title(), "Readings");
    EXPECT_FALSE(static_cast<TBubbleSeries*>(clone)->Squared());
    ASSERT_EQ(clone->Count(), 1);
    EXPECT_EQ(static_cast<TBubbleSeries*>(clone)->RadiusValues()->Value(0), 3);

    auto* dependent = CreateNewSeries(&chart, &chart, &TLineSeries::ClassInfo);
    dependent->SetDataSource(s);
    auto* tool = new TTeeCustomToolSeries(&chart);
    tool->SetParentChart(&chart);
    tool->SetSeries(s);
    const AnsiString name = s->Name();
    TChartSeries* changed = s;
    ChangeSeriesType(changed, &TBarSeries::ClassInfo);
    ASSERT_NE(changed, s);
    EXPECT_EQ(changed->ClassType(), &TBarSeries::ClassInfo);
    EXPECT_EQ(changed->Name(), name);
    EXPECT_EQ(chart.GetSeries(0), first);
    EXPECT_EQ(chart.GetSeries(1), changed);
    EXPECT_EQ(chart.SeriesCount(), 4);
    EXPECT_EQ(changed->Title(), "Readings");
    ASSERT_EQ(changed->Count(), 1);
    EXPECT_EQ(changed->YValues()->Value(0), 2);
    EXPECT_EQ(dependent->DataSource(), changed);
    EXPECT_EQ(tool->Series(), changed);
}
