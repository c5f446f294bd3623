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
