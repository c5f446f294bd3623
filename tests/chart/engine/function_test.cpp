#include "chart/engine/teengine.h"
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The mean of the source's Y values over a range; many sources: their sum.
template <typename Base> class TAverage : public Base {
public:
    using Base::Base;
    double Calculate(TChartSeries* Series, int First, int Last) override {
        if (First == -1) {
            First = 0;
            Last = Series->Count() - 1;
        }
        double sum = 0;
        for (int i = First; i <= Last; ++i)
            sum += Series->YValues()->Value(i);
        return Last >= First ? sum / (Last - First + 1) : 0;
    }
    double CalculateMany(const std::vector<TChartSeries*>& List, int ValueIndex) override {
        double sum = 0;
        for (TChartSeries* s : List)
            if (ValueIndex < s->Count()) sum += s->YValues()->Value(ValueIndex);
        return sum;
    }
};

using Points = std::vector<std::pair<double, double>>;

Points PointsOf(TChartSeries& S) {
    Points p;
    for (int i = 0; i < S.Count(); ++i)
        p.emplace_back(S.XValues()->Value(i), S.YValues()->Value(i));
    return p;
}

class FunctionBase : public testing::Test {
protected:
    template <typename F> F* Attach() {
        auto* f = new F(nullptr); // freed by the series it computes
        Result.SetFunction(f);
        return f;
    }
    void Fill(const Points& P) {
        for (auto [x, y] : P)
            Source.AddXY(x, y);
    }
    TChartSeries Source{nullptr};
    TChartSeries Result{nullptr};
};

} // namespace

TEST_F(FunctionBase, AllPointsGiveALineOrASinglePoint) {
    Fill({{0, 1}, {1, 2}, {2, 3}});
    auto* f = Attach<TAverage<TTeeFunction>>();
    Result.SetAllowSinglePoint(false);
    f->AddPoints(&Source);
    EXPECT_EQ(PointsOf(Result), (Points{{0, 2}, {2, 2}}));
    Result.Clear();
    Result.SetAllowSinglePoint(true);
    f->AddPoints(&Source);
    EXPECT_EQ(PointsOf(Result), (Points{{1, 2}}));
}

TEST_F(FunctionBase, GroupsOfPointsLeaveOutAnIncompleteLastGroup) {
    Fill({{0, 1}, {1, 3}, {2, 5}, {3, 7}, {4, 9}});
    auto* f = Attach<TAverage<TTeeFunction>>();
    f->InternalSetPeriod(2);
    f->AddPoints(&Source);
    EXPECT_EQ(PointsOf(Result), (Points{{0.5, 2}, {2.5, 6}}));
    Result.Clear();
    f->SetPeriodAlign(paLast);
    f->AddPoints(&Source);
    EXPECT_EQ(PointsOf(Result), (Points{{1, 2}, {3, 6}}));
}

TEST_F(FunctionBase, RangesOfXIncludeEmptyGroups) {
    Fill({{0.2, 1}, {0.4, 3}, {2.5, 8}});
    auto* f = Attach<TAverage<TTeeFunction>>();
    f->InternalSetPeriod(1);
    f->SetPeriodStyle(psRange);
    f->SetPeriodAlign(paFirst);
    f->AddPoints(&Source);
    const Points p = PointsOf(Result);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_DOUBLE_EQ(p[0].first, 0.2);
    EXPECT_EQ(p[0].second, 2);
    EXPECT_DOUBLE_EQ(p[1].first, 1.2);
    EXPECT_EQ(p[1].second, 0);
    EXPECT_DOUBLE_EQ(p[2].first, 2.2);
    EXPECT_EQ(p[2].second, 8);
}

TEST_F(FunctionBase, PeriodsRoundingToNoPointsStillEnd) {
    Fill({{0, 1}, {1, 2}, {2, 3}});
    auto* f = Attach<TAverage<TTeeFunction>>();
    f->InternalSetPeriod(0.3); // rounds to 0 points a group: one point a group instead
    f->AddPoints(&Source);
    EXPECT_EQ(PointsOf(Result), (Points{{0, 1}, {1, 2}, {2, 3}}));
}

TEST_F(FunctionBase, RangesThatCannotMoveXEnd) {
    Fill({{1e17, 1}, {2e17, 2}});
    auto* f = Attach<TAverage<TTeeFunction>>();
    f->SetPeriodStyle(psRange);
    f->InternalSetPeriod(1); // 1e17 + 1 is 1e17 again
    f->AddPoints(&Source);
    EXPECT_LE(Result.Count(), 2);
}

TEST_F(FunctionBase, MovingFunctionSlidesItsWindow) {
    Fill({{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}});
    auto* f = Attach<TAverage<TTeeMovingFunction>>();
    f->InternalSetPeriod(3);
    f->AddPoints(&Source);
    EXPECT_EQ(PointsOf(Result), (Points{{2, 2}, {3, 3}, {4, 4}}));
    Result.Clear();
    f->InternalSetPeriod(6);
    f->AddPoints(&Source);
    EXPECT_EQ(Result.Count(), 0);
    f->InternalSetPeriod(0.2); // a window of at least one point
    f->AddPoints(&Source);
    EXPECT_EQ(Result.Count(), 5);
}

TEST_F(FunctionBase, NegativePeriodRaisesAndKeepsThePeriod) {
    auto* f = Attach<TTeeFunction>();
    f->InternalSetPeriod(2);
    try {
        f->SetPeriod(-1);
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message, "Function Period should be >= 0");
    }
    EXPECT_EQ(f->Period(), 2);
}

TEST_F(FunctionBase, ManySourcesAreCombinedPointByPoint) {
    TChartSeries second(nullptr);
    Fill({{0, 1}, {1, 2}});
    second.AddY(10, "a");
    second.AddY(20, "b");
    second.AddY(30, "c");
    auto* f = Attach<TAverage<TTeeFunction>>();
    Result.InternalAddDataSource(&Source);
    Result.InternalAddDataSource(&second);
    Result.Clear();
    f->AddPoints(&Source);
    EXPECT_EQ(PointsOf(Result), (Points{{0, 11}, {1, 22}, {2, 30}}));
    EXPECT_EQ(Result.GetXLabel(2), "c");
}

TEST_F(FunctionBase, DependentWithAFunctionIsRecomputedFromItsSource) {
    auto* f = Attach<TAverage<TTeeFunction>>();
    Result.InternalAddDataSource(&Source);
    Source.AddY(2);
    EXPECT_EQ(Result.Count(), 0); // single adds are not followed by a function
    Source.BeginUpdate();
    Source.AddY(4);
    Source.EndUpdate();
    EXPECT_EQ(PointsOf(Result), (Points{{0.5, 3}}));
    (void)f;
}

TEST_F(FunctionBase, FreeingTheFunctionLeavesTheSeriesWithout) {
    auto* f = Attach<TTeeFunction>();
    std::unique_ptr<TTeeFunction> owned(f);
    owned.reset();
    EXPECT_EQ(Result.FunctionType(), nullptr);
}

TEST_F(FunctionBase, MovingTheFunctionToAnotherSeries) {
    auto* f = Attach<TTeeFunction>();
    TChartSeries other(nullptr);
    f->SetParentSeries(&other);
    EXPECT_EQ(Result.FunctionType(), nullptr);
    EXPECT_EQ(other.FunctionType(), f);
}
