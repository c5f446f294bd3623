#include "chart/engine/teengine.h"
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

std::vector<double> Values(TChartValueList* L) {
    std::vector<double> v;
    for (int i = 0; i < L->Count(); ++i)
        v.push_back(L->Value(i));
    return v;
}

// A source series and one dependent fed from it (no chart needed to link them).
class SeriesNotify : public testing::Test {
protected:
    void SetUp() override { Dependent->InternalAddDataSource(Source.get()); }

    std::unique_ptr<TChartSeries> Source = std::make_unique<TChartSeries>(nullptr);
    std::unique_ptr<TChartSeries> Dependent = std::make_unique<TChartSeries>(nullptr);
};

} // namespace

TEST_F(SeriesNotify, DependentFollowsAddsDeletesAndClears) {
    Source->AddY(1, "a", clRed);
    Source->AddY(2);
    EXPECT_EQ(Values(Dependent->YValues()), (std::vector<double>{1, 2}));
    EXPECT_EQ(Dependent->GetXLabel(0), "a");
    EXPECT_EQ(Dependent->InternalColor(0), clRed);
    Source->Delete(0);
    EXPECT_EQ(Values(Dependent->YValues()), (std::vector<double>{2}));
    Source->Clear();
    EXPECT_EQ(Dependent->Count(), 0);
}

struct OptionCase {
    TSeriesRecalcOptions Options;
    int AfterAdd;
    int AfterDelete;
    int AfterClear;
};

class SeriesRecalcOptions : public SeriesNotify, public testing::WithParamInterface<OptionCase> {};

TEST_P(SeriesRecalcOptions, EachOptionGatesItsEvent) {
    const OptionCase& c = GetParam();
    Dependent->SetRecalcOptions(c.Options);
    Source->AddY(1);
    Source->AddY(2);
    EXPECT_EQ(Dependent->Count(), c.AfterAdd);
    Source->Delete(0);
    EXPECT_EQ(Dependent->Count(), c.AfterDelete);
    Source->Clear();
    EXPECT_EQ(Dependent->Count(), c.AfterClear);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SeriesRecalcOptions,
    testing::Values(OptionCase{{rOnInsert, rOnDelete, rOnClear, rOnModify}, 2, 1, 0},
                    OptionCase{{rOnDelete, rOnClear}, 0, 0, 0},
                    OptionCase{{rOnInsert, rOnClear}, 2, 2, 0}, OptionCase{{rOnInsert}, 2, 2, 2}));

TEST_F(SeriesNotify, WithoutInsertTheDependentIsRebuiltAtEndUpdate) {
    Dependent->SetRecalcOptions({rOnDelete});
    Source->AddY(1);
    EXPECT_EQ(Dependent->Count(), 0);
    Source->BeginUpdate();
    Source->AddY(2);
    Source->AddY(3);
    EXPECT_EQ(Dependent->Count(), 0);
    Source->EndUpdate();
    EXPECT_EQ(Values(Dependent->YValues()), (std::vector<double>{1, 2, 3}));
}

TEST_F(SeriesNotify, ModifiedValueRebuildsOnlyWithOnModify) {
    Source->AddY(1);
    Source->AddY(2);
    Source->YValues()->SetValue(0, 10);
    EXPECT_EQ(Values(Dependent->YValues()), (std::vector<double>{10, 2}));
    Dependent->SetRecalcOptions({rOnInsert});
    Source->YValues()->SetValue(1, 20);
    EXPECT_EQ(Values(Dependent->YValues()), (std::vector<double>{10, 2}));
}

TEST_F(SeriesNotify, SortingTellsDependentsOnce) {
    int clears = 0;
    Dependent->OnClearValues = [&](TChartSeries*) { ++clears; };
    Source->BeginUpdate();
    for (double v : {5.0, 3.0, 4.0, 1.0, 2.0})
        Source->AddY(v);
    Source->EndUpdate();
    clears = 0;
    Source->YValues()->SetOrder(loAscending);
    Source->YValues()->Sort();
    EXPECT_EQ(clears, 1);
    // The dependent keeps its own X order: the points are the same ones.
    EXPECT_EQ(Values(Source->YValues()), (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Values(Dependent->YValues()), (std::vector<double>{5, 3, 4, 1, 2}));
    Source->YValues()->Sort(); // already in order: nothing moved, nobody told
    EXPECT_EQ(clears, 1);
}

TEST_F(SeriesNotify, FreeingTheSourceUnlinksTheDependent) {
    Source->AddY(1);
    Source.reset();
    EXPECT_EQ(Dependent->DataSource(), nullptr);
    Dependent.reset(); // and freeing the dependent touches nothing freed
}

TEST_F(SeriesNotify, FreeingTheDependentUnlinksItFromTheSource) {
    Dependent.reset();
    EXPECT_TRUE(Source->LinkedSeries().empty());
    Source->AddY(1); // no dependent to reach
    EXPECT_EQ(Source->Count(), 1);
}

TEST_F(SeriesNotify, AChainOfDependentsFollows) {
    TChartSeries third(nullptr);
    third.InternalAddDataSource(Dependent.get());
    Source->AddY(4);
    EXPECT_EQ(Values(third.YValues()), (std::vector<double>{4}));
}
