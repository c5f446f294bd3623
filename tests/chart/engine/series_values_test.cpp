#include "chart/engine/teengine.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<double> Values(TChartValueList* L) {
    std::vector<double> v;
    for (int i = 0; i < L->Count(); ++i)
        v.push_back(L->Value(i));
    return v;
}

std::vector<AnsiString> LabelsOf(TChartSeries& S) {
    std::vector<AnsiString> v;
    for (int i = 0; i < S.Count(); ++i)
        v.push_back(S.GetXLabel(i));
    return v;
}

std::vector<TColor> ColorsOf(TChartSeries& S) {
    std::vector<TColor> v;
    for (int i = 0; i < S.Count(); ++i)
        v.push_back(S.InternalColor(i));
    return v;
}

class SeriesData : public testing::Test {
protected:
    TChartSeries S{nullptr};
};

} // namespace

TEST_F(SeriesData, PointsGoInXOrderWithTheirColourAndLabel) {
    EXPECT_EQ(S.AddY(10, "a"), 0); // numbered from 0
    S.AddXY(3, 30, "c", clRed);
    EXPECT_EQ(S.AddXY(2, 20, "b", clBlue), 1);
    EXPECT_EQ(Values(S.XValues()), (std::vector<double>{0, 2, 3}));
    EXPECT_EQ(Values(S.YValues()), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(LabelsOf(S), (std::vector<AnsiString>{"a", "b", "c"}));
    EXPECT_EQ(ColorsOf(S), (std::vector<TColor>{clAutoColor, clBlue, clRed}));
}

TEST_F(SeriesData, FurtherListsTakeTheirPendingValue) {
    auto* z = new TChartValueList(&S, "Z");
    z->SetTempValue(99);
    S.AddXY(2, 1);
    z->SetTempValue(11);
    S.AddXY(1, 1);
    EXPECT_EQ(Values(z), (std::vector<double>{11, 99}));
    EXPECT_EQ(S.GetYValueList("z"), z);
    EXPECT_EQ(S.GetYValueList("nothing"), S.YValues());
}

TEST_F(SeriesData, NullPointsKeepTheirValue) {
    S.SetSeriesColor(clGreen);
    S.AddY(1);
    S.AddNull(5);
    EXPECT_EQ(S.YValues()->Value(1), 5);
    EXPECT_TRUE(S.IsNull(1));
    EXPECT_FALSE(S.IsNull(0));
    S.SetNull(1, false);
    EXPECT_FALSE(S.IsNull(1));
    EXPECT_EQ(S.GetValueColor(1), clGreen);
    S.AddNullXY(10, 3, "n");
    EXPECT_TRUE(S.IsNull(2));
    EXPECT_EQ(S.GetXLabel(2), "n");
}

TEST_F(SeriesData, ColourListStartsWithTheFirstExplicitColourAndNeverOutgrowsThePoints) {
    for (int i = 0; i < 10; ++i)
        S.AddY(i);
    EXPECT_FALSE(S.HasColorList());
    S.AddY(10, "", clRed);
    EXPECT_EQ(S.ColorCount(), 11);
    EXPECT_EQ(S.Count(), 11);
    EXPECT_EQ(S.InternalColor(9), clAutoColor);
    EXPECT_EQ(S.InternalColor(10), clRed);
    S.AddY(11);
    EXPECT_EQ(S.ColorCount(), 12);
    EXPECT_EQ(S.InternalColor(11), clAutoColor);
}

TEST_F(SeriesData, LaterUnlabelledPointsKeepLabelsAligned) {
    S.AddY(1);
    S.AddY(2, "two");
    S.AddY(3);
    S.AddXY(-1, 0);
    EXPECT_EQ(LabelsOf(S), (std::vector<AnsiString>{"", "", "two", ""}));
}

TEST_F(SeriesData, DeleteRemovesTheSameIndexEverywhereOrRaises) {
    S.AddY(0, "a", clRed);
    S.AddY(1, "b", clBlue);
    S.AddY(2, "c", clLime);
    S.Delete(1);
    EXPECT_EQ(Values(S.YValues()), (std::vector<double>{0, 2}));
    EXPECT_EQ(LabelsOf(S), (std::vector<AnsiString>{"a", "c"}));
    EXPECT_EQ(ColorsOf(S), (std::vector<TColor>{clRed, clLime}));
    try {
        S.Delete(2);
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message, "Series Delete: ValueIndex 2 out of bounds (0 to 1).");
    }
    EXPECT_THROW(S.Delete(-1), ChartException);
    EXPECT_EQ(S.Count(), 2);
}

TEST_F(SeriesData, DeleteRangeWithRemoveGapRenumbersX) {
    for (int i = 0; i < 10; ++i)
        S.AddY(i * 10, "", i == 1 ? clRed : clAutoColor);
    S.Delete(0, 3, true);
    EXPECT_EQ(Values(S.XValues()), (std::vector<double>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(S.YValues()->Value(0), 30);
    EXPECT_EQ(S.ColorCount(), 7);
    S.Delete(20, 1); // beyond the end: nothing
    EXPECT_EQ(S.Count(), 7);
    S.SetXValue(0, 5);
    S.Delete(0, 0, true); // nothing removed, the gap still closed
    EXPECT_EQ(S.XValues()->Value(0), 0);
    EXPECT_EQ(S.Count(), 7);
    S.Delete(0, 7);
    EXPECT_EQ(S.Count(), 0);
    EXPECT_FALSE(S.HasColorList());
}

TEST_F(SeriesData, LabelsBeyondThePointsAreRefused) {
    S.AddY(1);
    S.SetXLabel(0, "a");
    EXPECT_THROW(S.SetXLabel(1, "b"), EListError);
    EXPECT_THROW(S.SetXLabel(-1, "b"), EListError);
    EXPECT_EQ(S.Labels()->Count(), 1);
    S.AddXY(-1, 0, "c"); // goes first; the old label moves along
    EXPECT_EQ(LabelsOf(S), (std::vector<AnsiString>{"c", "a"}));
}

TEST_F(SeriesData, ClearEmptiesEverything) {
    int cleared = 0;
    S.OnClearValues = [&](TChartSeries*) { ++cleared; };
    S.AddY(1, "x", clRed);
    S.Clear();
    EXPECT_EQ(S.Count(), 0);
    EXPECT_EQ(S.YValues()->Count(), 0);
    EXPECT_FALSE(S.HasColorList());
    EXPECT_EQ(S.Labels()->Count(), 0);
    EXPECT_EQ(cleared, 1);
}

TEST_F(SeriesData, AddEventsRefuseAndFireOutsideUpdatesOnly) {
    std::vector<int> added;
    S.OnBeforeAdd = [](TChartSeries* s) { return s->XValues()->TempValue() >= 0; };
    S.OnAfterAdd = [&](TChartSeries*, int i) { added.push_back(i); };
    EXPECT_EQ(S.AddXY(-1, 0), -1);
    S.AddY(1);
    S.BeginUpdate();
    S.AddY(2);
    S.EndUpdate();
    EXPECT_EQ(S.AddArray({4, 5}), 2);
    EXPECT_EQ(added, (std::vector<int>{0}));
    EXPECT_EQ(S.Count(), 4);
    S.EndUpdate(); // an extra one does nothing
    EXPECT_EQ(S.UpdateCount(), 0);
}

TEST_F(SeriesData, SetValueColorChecksTheIndex) {
    S.AddY(1);
    S.SetValueColor(0, clAutoColor); // no list yet: nothing made
    EXPECT_FALSE(S.HasColorList());
    EXPECT_THROW(S.SetValueColor(1, clRed), EListError);
    S.SetValueColor(0, clRed);
    EXPECT_EQ(S.ColorCount(), 1);
}

TEST_F(SeriesData, SortingMovesLabelsAndColoursAlong) {
    S.YValues()->SetOrder(loAscending);
    S.AddY(30, "c", clRed);
    S.AddY(10, "a");
    S.AddY(20, "b", clBlue);
    S.CheckOrder();
    EXPECT_EQ(Values(S.YValues()), (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(Values(S.XValues()), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(LabelsOf(S), (std::vector<AnsiString>{"a", "b", "c"}));
    EXPECT_EQ(ColorsOf(S), (std::vector<TColor>{clAutoColor, clBlue, clRed}));
    S.SortByLabels(loDescending);
    EXPECT_EQ(LabelsOf(S), (std::vector<AnsiString>{"c", "b", "a"}));
    EXPECT_EQ(Values(S.YValues()), (std::vector<double>{30, 20, 10}));
    EXPECT_EQ(Values(S.XValues()), (std::vector<double>{0, 1, 2}));
}

TEST_F(SeriesData, ReplaceListKeepsTheRoleOfTheOldList) {
    S.AddY(5);
    auto* fresh = new TChartValueList(&S, "tmp");
    EXPECT_EQ(S.ValuesList()->Count(), 3);
    S.ReplaceList(S.YValues(), fresh);
    EXPECT_EQ(S.YValues(), fresh);
    EXPECT_EQ(S.MandatoryValues(), fresh);
    EXPECT_EQ(fresh->Name(), "Y");
    EXPECT_EQ(S.ValuesList()->Count(), 2);
    EXPECT_EQ(S.ValuesList()->Get(1), fresh);
}

TEST_F(SeriesData, ReplaceListRefusesAListOfAnotherSeries) {
    TChartSeries other(nullptr);
    other.AddY(1);
    try {
        S.ReplaceList(S.YValues(), other.YValues());
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message, "Value list Y belongs to another series");
    }
    EXPECT_EQ(other.YValues()->Count(), 1);
    EXPECT_EQ(S.ValuesList()->Count(), 2);
    EXPECT_NE(S.YValues(), other.YValues());
}

TEST_F(SeriesData, SetChartValueListCopiesIntoTheSeriesListKeepingItsLength) {
    auto* start = new TChartValueList(&S, "Start");
    for (int i = 0; i < 3; ++i)
        S.AddXY(i, i);
    TChartSeries other(nullptr);
    for (double v : {7.0, 8.0, 9.0, 10.0})
        other.AddY(v);
    other.YValues()->SetDateTime(true);
    S.SetChartValueList(start, other.YValues());
    EXPECT_EQ(Values(start), (std::vector<double>{7, 8, 9}));
    EXPECT_TRUE(start->DateTime());
    other.Delete(0, 3);
    S.SetChartValueList(S.YValues(), other.YValues()); // shorter: the rest stays
    EXPECT_EQ(Values(S.YValues()), (std::vector<double>{10, 1, 2}));
    EXPECT_THROW(S.SetChartValueList(other.YValues(), start), ChartException);
    EXPECT_EQ(Values(other.YValues()), (std::vector<double>{10}));
}

TEST_F(SeriesData, FillSampleValuesMakesTheDefaultCountAndRefusesNegative) {
    S.FillSampleValues(0);
    EXPECT_EQ(S.Count(), 25);
    for (int i = 0; i < S.Count(); ++i)
        EXPECT_GE(S.YValues()->Value(i), 0);
    S.FillSampleValues(4);
    EXPECT_EQ(S.Count(), 4);
    EXPECT_FALSE(S.HasDataStored());
    try {
        S.FillSampleValues(-1);
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message, "FillSampleValues NumValues must be > 0");
    }
}

TEST_F(SeriesData, HorizontalSeriesAddAlongX) {
    S.SetHorizontal();
    S.YValues()->SetOrder(loAscending);
    S.XValues()->SetOrder(loNone);
    S.Add(7);
    S.Add(8);
    EXPECT_EQ(Values(S.XValues()), (std::vector<double>{7, 8}));
    EXPECT_EQ(Values(S.YValues()), (std::vector<double>{0, 1}));
    EXPECT_EQ(S.GetMarkValue(1), 8);
}
