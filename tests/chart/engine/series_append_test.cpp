// Appending points as a live chart does: every point given the same explicit
// colour keeps one colour for all of them, yet behaves as a full colour list
// through everything that inserts, moves and removes points.
#include "chart/engine/teengine.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<TColor> ColorsOf(TChartSeries& S) {
    std::vector<TColor> v;
    for (int i = 0; i < S.Count(); ++i)
        v.push_back(S.InternalColor(i));
    return v;
}

// Points 0..Count-1 at X = 10 i, each with the colour 0, as the live chart adds.
void Live(TChartSeries& S, int Count) {
    for (int i = 0; i < Count; ++i)
        S.AddXY(10 * i, i, "", 0);
}

} // namespace

TEST(SeriesAppend, OneExplicitColourForEveryPointActsAsAList) {
    TChartSeries s(nullptr);
    Live(s, 4);
    EXPECT_TRUE(s.HasColorList());
    EXPECT_EQ(ColorsOf(s), (std::vector<TColor>{0, 0, 0, 0}));
    EXPECT_EQ(s.AddXY(15, 9, "", clRed), 2); // between the second and third points
    EXPECT_EQ(ColorsOf(s), (std::vector<TColor>{0, 0, clRed, 0, 0}));
    s.Delete(0);
    s.SetValueColor(3, clBlue);
    EXPECT_EQ(ColorsOf(s), (std::vector<TColor>{0, clRed, 0, clBlue}));
    s.Delete(0, 4, false);
    EXPECT_FALSE(s.HasColorList());
}

TEST(SeriesAppend, UniformColoursFollowDeletesSetsAndSorting) {
    TChartSeries s(nullptr);
    Live(s, 3);
    s.Delete(1);
    s.SetValueColor(0, 0); // the same colour again: still one colour
    EXPECT_EQ(ColorsOf(s), (std::vector<TColor>{0, 0}));
    s.SetValueColor(1, clLime);
    EXPECT_EQ(ColorsOf(s), (std::vector<TColor>{0, clLime}));
    EXPECT_EQ(s.AddXY(5, 3, "", clAutoColor), 1); // automatic among explicit ones
    EXPECT_EQ(ColorsOf(s), (std::vector<TColor>{0, clAutoColor, clLime}));
    s.YValues()->SetOrder(loDescending);
    s.CheckOrder();
    EXPECT_EQ(ColorsOf(s), (std::vector<TColor>{clAutoColor, clLime, 0})); // Y 3, 2, 0
    s.Clear();
    Live(s, 2);
    EXPECT_EQ(ColorsOf(s), (std::vector<TColor>{0, 0}));
}

TEST(SeriesAppend, ValueArraysKeepTheirLengthStepsWhateverTheyHold) {
    TChartSeries s(nullptr);
    const int count = 70000; // past the size kept apart from the heap
    Live(s, count);
    EXPECT_EQ(s.XValues()->Capacity(), 70000);
    EXPECT_EQ(s.XValues()->Count(), count);
    for (int i = 0; i < count; i += 997) {
        ASSERT_EQ(s.XValues()->Value(i), 10.0 * i);
        ASSERT_EQ(s.YValues()->Value(i), i);
    }
    // An early X still goes to its place, the arrays moving up behind it.
    EXPECT_EQ(s.AddXY(-1, -1, "", 0), 0);
    EXPECT_EQ(s.XValues()->Capacity(), 71000);
    EXPECT_EQ(s.YValues()->Value(count), count - 1);
    EXPECT_EQ(s.XValues()->MaxValue(), 10.0 * (count - 1));
}
