#include "chart/engine/teeseries.h"
#include "chart/engine/teevaluelist.h"
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

std::vector<double> Values(const TChartValueList& L) {
    std::vector<double> v;
    for (int i = 0; i < L.Count(); ++i)
        v.push_back(L.Value(i));
    return v;
}

std::unique_ptr<TChartValueList> MakeList(TChartListOrder Order) {
    auto list = std::make_unique<TChartValueList>(nullptr, "Y");
    list->SetOrder(Order);
    return list;
}

} // namespace

TEST(ValueList, GrowsInStepsOfTheDefaultCapacity) {
    auto list = MakeList(loNone);
    EXPECT_EQ(list->Capacity(), 0);
    for (int i = 0; i < 1000; ++i)
        list->AddChartValue(i);
    EXPECT_EQ(list->Capacity(), 1000);
    list->AddChartValue(1000);
    EXPECT_EQ(list->Capacity(), 2000);
    EXPECT_EQ(list->Count(), 1001);
    list->ClearValues();
    EXPECT_EQ(list->Capacity(), 0);
    EXPECT_EQ(list->Count(), 0);
}

TEST(ValueList, CapacityStepBelowOneStillGrows) {
    const int saved = TeeDefaultCapacity;
    TeeDefaultCapacity = 0;
    auto list = MakeList(loNone);
    list->AddChartValue(1);
    list->AddChartValue(2);
    TeeDefaultCapacity = saved;
    EXPECT_EQ(Values(*list), (std::vector<double>{1, 2}));
}

struct OrderCase {
    TChartListOrder Order;
    std::vector<double> Input;
    std::vector<int> Returned;
    std::vector<double> Held;
};

class ValueListOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(ValueListOrder, AddChartValueKeepsTheOrder) {
    const OrderCase& c = GetParam();
    auto list = MakeList(c.Order);
    std::vector<int> returned;
    for (double v : c.Input)
        returned.push_back(list->AddChartValue(v));
    EXPECT_EQ(returned, c.Returned);
    EXPECT_EQ(Values(*list), c.Held);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ValueListOrder,
    testing::Values(OrderCase{loAscending, {1, 3, 2}, {0, 1, 1}, {1, 2, 3}},
                    // an equal value goes after the ones already there
                    OrderCase{loAscending, {1, 2, 3, 3}, {0, 1, 2, 3}, {1, 2, 3, 3}},
                    OrderCase{loAscending, {5, 1, 1, 0}, {0, 0, 1, 0}, {0, 1, 1, 5}},
                    OrderCase{loDescending, {3, 1, 2}, {0, 1, 1}, {3, 2, 1}},
                    OrderCase{loDescending, {3, 2, 2}, {0, 1, 2}, {3, 2, 2}},
                    OrderCase{loNone, {3, 1, 2}, {0, 1, 2}, {3, 1, 2}}));

TEST(ValueList, StatisticsFollowEveryChange) {
    auto list = MakeList(loNone);
    for (double v :
         {list->MaxValue(), list->MinValue(), list->Total(), list->TotalABS(), list->Range()})
        EXPECT_EQ(v, 0); // empty
    list->AddChartValue(-5);
    list->AddChartValue(2);
    EXPECT_EQ(list->MinValue(), -5);
    EXPECT_EQ(list->MaxValue(), 2);
    EXPECT_EQ(list->Total(), -3);
    EXPECT_EQ(list->TotalABS(), 7);
    EXPECT_EQ(list->Range(), 7);
    list->SetValue(0, 10);
    EXPECT_EQ(list->MinValue(), 2);
    EXPECT_EQ(list->MaxValue(), 10);
    list->InsertChartValue(1, -1);
    EXPECT_EQ(list->MinValue(), -1);
    list->Delete(1);
    EXPECT_EQ(list->MinValue(), 2);
    EXPECT_EQ(list->Total(), 12);
}

// Statistics once read are kept through appends; every reading must equal a
// recount (NaN, cancelling sums, inserts before the end, growth steps).
TEST(ValueList, StatisticsKeptThroughAppendsEqualARecount) {
    const int saved = TeeDefaultCapacity;
    TeeDefaultCapacity = 2; // every other append grows the array
    const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    const std::pair<TChartListOrder, std::vector<double>> cases[] = {
        {loNone, {3, 2, 1, -4, 5}},
        {loNone, {NAN, 1, -1}},
        {loNone, {1, NAN, 5, -5}},
        {loNone, {1e16, 1, -1e16, 1, 0.1, 0.2}},
        {loAscending, {1, 5, 3, 0, 7, 2}}};
    const auto getters = {&TChartValueList::MinValue, &TChartValueList::MaxValue,
                          &TChartValueList::Total, &TChartValueList::TotalABS};
    for (const auto& [order, input] : cases) {
        auto live = MakeList(order);
        auto fresh = MakeList(order);
        for (size_t i = 0; i < input.size(); ++i) {
            live->AddChartValue(input[i]);
            fresh = MakeList(order);
            for (size_t j = 0; j <= i; ++j)
                fresh->AddChartValue(input[j]);
            // The extremes after every point, the sums only now and then.
            for (auto get : getters)
                if (i % 3 == 2 || get == &TChartValueList::MinValue)
                    EXPECT_TRUE(same(((*live).*get)(), ((*fresh).*get)())) << input[0] << " " << i;
        }
        // Scrolling keeps the statistics of the values as they were.
        live->Scroll();
        for (auto get : getters)
            EXPECT_TRUE(same(((*live).*get)(), ((*fresh).*get)())) << input[0] << " scrolled";
    }
    TeeDefaultCapacity = saved;
}

TEST(ValueList, DeleteAndInsertMoveTheRest) {
    auto list = MakeList(loNone);
    for (int i = 0; i < 6; ++i)
        list->AddChartValue(i);
    list->Delete(0);
    list->Delete(1, 2);
    EXPECT_EQ(Values(*list), (std::vector<double>{1, 4, 5}));
    list->InsertChartValue(3, 9);
    list->InsertChartValue(0, 8);
    EXPECT_EQ(Values(*list), (std::vector<double>{8, 1, 4, 5, 9}));
    list->Delete(3, 100); // clipped to the end
    EXPECT_EQ(Values(*list), (std::vector<double>{8, 1, 4}));
}

TEST(ValueList, IndexesOutsideTheListRaise) {
    auto list = MakeList(loNone);
    EXPECT_THROW(list->First(), EListError);
    EXPECT_THROW(list->Last(), EListError);
    list->AddChartValue(1);
    EXPECT_THROW(list->Value(1), EListError);
    EXPECT_THROW(list->Value(-1), EListError);
    EXPECT_THROW(list->SetValue(3, 0), EListError);
    EXPECT_THROW(list->Delete(1), EListError);
    EXPECT_THROW(list->InsertChartValue(2, 0), EListError);
    EXPECT_THROW(list->Exchange(0, 5), EListError);
    EXPECT_EQ(Values(*list), (std::vector<double>{1}));
}

TEST(ValueList, ScrollRotatesByOne) {
    auto list = MakeList(loNone);
    list->Scroll(); // empty: nothing
    for (double v : {1.0, 2.0, 3.0})
        list->AddChartValue(v);
    list->Scroll();
    EXPECT_EQ(Values(*list), (std::vector<double>{2, 3, 1}));
    EXPECT_EQ(list->Total(), 6);
    list->FillSequence();
    EXPECT_EQ(Values(*list), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(list->MaxValue(), 2);
}

TEST(ValueList, SortFollowsTheOrderAndNoneLeavesItAlone) {
    auto list = MakeList(loNone);
    for (double v : {3.0, 1.0, 2.0})
        list->AddChartValue(v);
    list->Sort();
    EXPECT_EQ(Values(*list), (std::vector<double>{3, 1, 2}));
    list->SetOrder(loDescending);
    list->Sort();
    EXPECT_EQ(Values(*list), (std::vector<double>{3, 2, 1}));
    list->SetOrder(loAscending);
    list->Sort();
    EXPECT_EQ(Values(*list), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(list->CompareValueIndex(0, 1), -1);
    EXPECT_EQ(list->CompareValueIndex(1, 1), 0);
}
