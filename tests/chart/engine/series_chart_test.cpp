// The series on a chart: axes, visible range, drawing order, depth order,
// data sources and the legend symbol.
#include "axis_fixture.h"
#include "chart/engine/teeconst.h"
#include "platform/rtl/rtlmath.h"
#include <climits>
#include <cmath>
#include <functional>
#include <string>

namespace {

// Remembers the order DrawValue is asked for.
class TOrderSeries : public TChartSeries {
public:
    explicit TOrderSeries(TComponent* AOwner = nullptr) : TChartSeries(AOwner) {}
    std::vector<int> Drawn;
    void DrawValue(int ValueIndex) override { Drawn.push_back(ValueIndex); }
};

class SeriesChartTest : public AxisPanelTest {
protected:
    TOrderSeries* AddOrderSeries(int Points) {
        Own.push_back(std::make_unique<TOrderSeries>());
        TOrderSeries* s = Own.back().get();
        s->SetParentChart(Chart.get());
        for (int i = 0; i < Points; ++i)
            s->AddXY(i, i);
        return s;
    }
    // The plot is 0..400 wide; the bottom axis shows Min..Max over it.
    void ShowX(double Min, double Max, bool Inverted = false) {
        Chart->SetChartRect(TRect(0, 0, 400, 300));
        Chart->BottomAxis()->InternalSetInverted(Inverted);
        Place(Chart->BottomAxis(), 0, 400, Min, Max);
    }
    void TearDown() override {
        for (auto& s : Own)
            s->SetParentChart(nullptr);
        Own.clear();
        AxisPanelTest::TearDown();
    }
    std::vector<std::unique_ptr<TOrderSeries>> Own;
};

} // namespace

TEST_F(SeriesChartTest, JoiningTheChartResolvesAxesAndColour) {
    TAxisTestSeries* s = AddSeries();
    EXPECT_EQ(s->GetHorizAxis(), Chart->BottomAxis());
    EXPECT_EQ(s->GetVertAxis(), Chart->LeftAxis());
    EXPECT_NE(s->SeriesColor(), clAutoColor);
    s->SetHorizAxis(aTopAxis);
    s->SetVertAxis(aRightAxis);
    EXPECT_EQ(s->GetHorizAxis(), Chart->TopAxis());
    EXPECT_EQ(s->GetVertAxis(), Chart->RightAxis());
    EXPECT_TRUE(s->AssociatedToAxis(Chart->TopAxis()));
    EXPECT_FALSE(s->AssociatedToAxis(Chart->BottomAxis()));
    s->SetHorizAxis(aBothHorizAxis);
    EXPECT_TRUE(s->AssociatedToAxis(Chart->TopAxis()));
    EXPECT_TRUE(s->AssociatedToAxis(Chart->BottomAxis()));
    s->SetParentChart(nullptr);
    EXPECT_EQ(s->GetHorizAxis(), nullptr);
}

TEST_F(SeriesChartTest, CustomAxesAreUsedAndKeepTheirPlaceWhenTheSeriesMovesBetweenCharts) {
    auto twoAxes = [](TCustomAxisPanel* C) { // braces add them in order
        return std::vector{static_cast<TChartAxis*>(C->CustomAxes()->Add()),
                           static_cast<TChartAxis*>(C->CustomAxes()->Add())};
    };
    TAxisTestChart other, bare;
    const auto here = twoAxes(Chart.get()), there = twoAxes(&other);
    TAxisTestSeries* s = AddSeries();
    s->SetCustomVertAxis(here[1]);
    s->SetCustomHorizAxis(here[0]);

    s->SetParentChart(&other);
    EXPECT_EQ(s->GetVertAxis(), there[1]);
    EXPECT_EQ(s->GetHorizAxis(), there[0]);
    // Where the chart has no such axis the standard one stands in, until one is back.
    s->SetParentChart(&bare);
    EXPECT_EQ(s->GetVertAxis(), bare.LeftAxis());
    EXPECT_EQ(s->VertAxis(), aCustomVertAxis);
    s->SetParentChart(nullptr);
    s->SetParentChart(Chart.get());
    EXPECT_EQ(s->GetVertAxis(), here[1]);
    EXPECT_EQ(s->GetHorizAxis(), here[0]);

    TAxisTestSeries copy;
    copy.SetParentChart(&other);
    copy.AssignFormat(s);
    EXPECT_EQ(copy.GetVertAxis(), there[1]);
    // Another standard axis forgets the custom one.
    s->SetVertAxis(aLeftAxis);
    EXPECT_EQ(s->CustomVertAxis(), nullptr);
    EXPECT_EQ(s->GetVertAxis(), Chart->LeftAxis());
}

struct RangeCase {
    double Min, Max;
    bool IncludeNext;
    int First, Last;
};

class SeriesVisibleRange : public SeriesChartTest, public testing::WithParamInterface<RangeCase> {};

TEST_P(SeriesVisibleRange, IndexesOfTheVisiblePoints) {
    const RangeCase& c = GetParam();
    TOrderSeries* s = AddOrderSeries(10);
    ShowX(c.Min, c.Max);
    s->SetIncludeNextPoint(c.IncludeNext);
    s->CalcFirstLastVisibleIndex();
    EXPECT_EQ(s->FirstVisibleIndex(), c.First);
    EXPECT_EQ(s->LastVisibleIndex(), c.Last);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, SeriesVisibleRange,
    testing::Values(RangeCase{2.5, 6.5, false, 3, 6}, RangeCase{2.5, 6.5, true, 3, 7},
                    RangeCase{3, 6, false, 3, 6}, RangeCase{-5, 20, false, 0, 9},
                    RangeCase{20, 30, false, -1, -1}, // all left of it
                    RangeCase{-9, -1, false, 0, -1}, RangeCase{8.5, 20, false, 9, 9}));

struct UnorderedCase {
    const char* Name;
    std::function<void(TChartSeries*)> Change;
    int First, Last;
};
void PrintTo(const UnorderedCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class SeriesVisibleRangeUnordered : public SeriesChartTest,
                                    public testing::WithParamInterface<UnorderedCase> {};

// Values that do not ascend are scanned from the start: the first one at least the
// low end, and the last before the first one at least the high end.
TEST_P(SeriesVisibleRangeUnordered, ScansValuesThatAreNotInOrder) {
    TOrderSeries* s = AddOrderSeries(0);
    GetParam().Change(s);
    ShowX(2.5, 6.5);
    s->CalcFirstLastVisibleIndex();
    EXPECT_EQ(s->FirstVisibleIndex(), GetParam().First);
    EXPECT_EQ(s->LastVisibleIndex(), GetParam().Last);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SeriesVisibleRangeUnordered,
    testing::Values(UnorderedCase{"XValueSet",
                                  [](TChartSeries* s) {
                                      for (int i = 0; i < 10; ++i)
                                          s->AddXY(i, i);
                                      s->SetXValue(1, 8); // 0 8 2 3 ... 9
                                  },
                                  1, 0},
                    UnorderedCase{"OrderSwitchedOn",
                                  [](TChartSeries* s) {
                                      s->XValues()->SetOrder(loNone);
                                      for (int i = 0; i < 10; ++i)
                                          s->AddXY((i + 5) % 10, i); // 5 6 7 8 9 0 1 2 3 4
                                      s->XValues()->SetOrder(loAscending);
                                  },
                                  0, 9},
                    UnorderedCase{"NaN",
                                  [](TChartSeries* s) {
                                      for (int i = 0; i < 10; ++i)
                                          s->AddXY(i == 2 ? std::nan("") : i, i);
                                  },
                                  3, 6}),
    [](const testing::TestParamInfo<UnorderedCase>& Info) { return Info.param.Name; });

TEST_F(SeriesChartTest, WithoutAnOrderEveryPointIsVisible) {
    TOrderSeries* s = AddOrderSeries(10);
    ShowX(2.5, 6.5);
    s->XValues()->SetOrder(loNone);
    s->CalcFirstLastVisibleIndex();
    EXPECT_EQ(s->FirstVisibleIndex(), 0);
    EXPECT_EQ(s->LastVisibleIndex(), 9);
    s->XValues()->SetOrder(loAscending);
    s->SetUseVisibleRange(false);
    s->CalcFirstLastVisibleIndex();
    EXPECT_EQ(s->VisibleCount(), 10);
}

TEST_F(SeriesChartTest, InvertedAxisDrawsFromTheLastPointDown) {
    TOrderSeries* s = AddOrderSeries(10);
    ShowX(2.5, 6.5, true);
    s->CalcFirstLastVisibleIndex();
    EXPECT_EQ(s->FirstVisibleIndex(), 3);
    EXPECT_EQ(s->LastVisibleIndex(), 6);
    EXPECT_FALSE(s->DrawValuesForward());
    s->DrawAllValues();
    EXPECT_EQ(s->Drawn, (std::vector<int>{6, 5, 4, 3}));
    Chart->InvertedRotation = true; // seen from behind: forward again
    EXPECT_TRUE(s->DrawValuesForward());
    EXPECT_FALSE(s->DrawSeriesForward(0));
}

TEST_F(SeriesChartTest, NothingVisibleDrawsNothing) {
    TOrderSeries* s = AddOrderSeries(5);
    ShowX(20, 30);
    s->CalcFirstLastVisibleIndex();
    s->DrawAllValues();
    s->DrawMarks();
    EXPECT_TRUE(s->Drawn.empty());
}

TEST_F(SeriesChartTest, MarksWithDrawEveryBelowOneAreDrawnForEveryPoint) {
    TOrderSeries* s = AddOrderSeries(4);
    ShowX(-1, 10);
    Place(Chart->LeftAxis(), 300, 0, -1, 10);
    s->Marks()->SetVisible(true);
    s->Marks()->SetStyle(smsValue);
    s->Marks()->SetDrawEvery(0);
    s->CalcFirstLastVisibleIndex();
    s->DrawMarks();
    EXPECT_EQ(s->Marks()->Positions()->Count(), 4);
}

TEST_F(SeriesChartTest, DepthOrderIn3D) {
    TOrderSeries* a = AddOrderSeries(1);
    TOrderSeries* b = AddOrderSeries(1);
    Chart->SetView3D(true);
    Chart->MaxDepthOrder = -1;
    a->CalcZOrder();
    b->CalcZOrder();
    EXPECT_EQ(a->AutoZOrder(), 0);
    EXPECT_EQ(b->AutoZOrder(), 1);
    EXPECT_FALSE(a->MoreSameZOrder());
    b->SetZOrder(5);
    b->CalcZOrder();
    EXPECT_EQ(Chart->MaxDepthOrder, 5);
    EXPECT_EQ(b->GetZOrder(), 5);
    EXPECT_EQ(b->MaxZValue(), 5);
    b->SetZOrder(0);
    EXPECT_TRUE(a->MoreSameZOrder());
    EXPECT_TRUE(a->FirstInZOrder());
    EXPECT_FALSE(b->FirstInZOrder());
    Chart->SetApplyZOrder(false);
    EXPECT_FALSE(a->MoreSameZOrder());
    Chart->SetView3D(false);
    a->CalcZOrder();
    EXPECT_EQ(a->AutoZOrder(), 0);
}

TEST_F(SeriesChartTest, DepthSlotsFarBackSaturateInsteadOfWrapping) {
    TOrderSeries* front = AddOrderSeries(3);
    TOrderSeries* back = AddOrderSeries(3);
    front->SetZOrder(1000000000);
    back->SetZOrder(0); // a billion slots behind the front one
    back->SetDepth(2000000000);
    Chart->SetView3D(true);
    DrawFrame();
    for (TOrderSeries* s : {front, back}) {
        EXPECT_LE(s->StartZ(), s->MiddleZ());
        EXPECT_LE(s->MiddleZ(), s->EndZ());
    }
    EXPECT_EQ(back->EndZ(), INT_MAX);
}

TEST_F(SeriesChartTest, DataSourceNeedsAChartAndAValidSource) {
    TChartSeries loose(nullptr);
    TOrderSeries* s = AddOrderSeries(3);
    try {
        loose.SetDataSource(s);
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message, "No ParentChart to validate DataSource");
    }
    s->SetName("Series1");
    try {
        s->SetDataSource(s);
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message, "No valid DataSource: Series1");
    }
    EXPECT_TRUE(s->DataSources().empty());
}

TEST_F(SeriesChartTest, ASeriesSourceFillsTheDependent) {
    TOrderSeries* source = AddOrderSeries(3);
    TOrderSeries* dependent = AddOrderSeries(0);
    dependent->SetDataSource(source);
    EXPECT_EQ(dependent->Count(), 3);
    source->AddY(7);
    EXPECT_EQ(dependent->Count(), 4);
    dependent->SetDataSource(nullptr);
    EXPECT_EQ(dependent->Count(), 0);
    EXPECT_TRUE(source->LinkedSeries().empty());
}

TEST_F(SeriesChartTest, StoredPointsSurviveLosingTheSource) {
    TOrderSeries* source = AddOrderSeries(2);
    TOrderSeries* dependent = AddOrderSeries(0);
    dependent->SetDataSource(source);
    dependent->SetHasDataStored(true);
    dependent->SetDataSource(nullptr);
    EXPECT_EQ(dependent->Count(), 2);
}

TEST_F(SeriesChartTest, TitleAndColourChangesAreBroadcast) {
    class TLog : public ITeeEventListener {
    public:
        std::vector<int> Events;
        void TeeEvent(TTeeEvent* Event) override {
            if (auto* s = dynamic_cast<TTeeSeriesEvent*>(Event)) Events.push_back(s->Event);
        }
    } log;
    TOrderSeries* s = AddOrderSeries(1);
    Chart->Listeners()->Add(&log);
    s->SetTitle("T");
    s->SetTitle("T"); // unchanged: still told
    s->SetSeriesColor(clRed);
    s->SetActive(false);
    s->BeginUpdate();
    s->AddY(1);
    s->EndUpdate();
    Chart->Listeners()->Remove(&log);
    EXPECT_EQ(log.Events, (std::vector<int>{seChangeTitle, seChangeTitle, seChangeColor,
                                            seChangeActive, seDataChanged}));
}

TEST_F(SeriesChartTest, LegendOfTheWholeSeriesWithColourEachPointDrawsNothing) {
    TOrderSeries* s = AddOrderSeries(2);
    s->SetColorEachPoint(true);
    Canvas->Clear();
    s->DrawLegend(-1, TRect(0, 0, 10, 10));
    EXPECT_TRUE(Canvas->Calls().empty());
    s->DrawLegend(0, TRect(0, 0, 10, 10));
    EXPECT_FALSE(Canvas->Calls().empty());
    EXPECT_TRUE(Chart->AutoRepaint());
}

// Draws its legend symbol with a hatched brush and notes the style in force.
class THatchSeries : public TOrderSeries {
public:
    using TOrderSeries::TOrderSeries;
    TBrushStyle SeenStyle = bsSolid;
    void PrepareLegendCanvas(int, TColor&, TBrushStyle& Style) override { Style = bsCross; }
    void DrawLegendShape(int, const TRect&) override { SeenStyle = Brush()->Style(); }
};

TEST_F(SeriesChartTest, AnEmptyBrushBitmapDoesNotKeepTheLegendStyle) {
    THatchSeries s;
    s.SetParentChart(Chart.get());
    s.AddY(1);
    TBitmap empty;
    s.Brush()->SetBitmap(&empty);
    s.DrawLegend(0, TRect(0, 0, 10, 10));
    EXPECT_EQ(s.SeenStyle, bsCross);
    EXPECT_EQ(s.Brush()->Style(), bsSolid);
    TBitmap pattern(8, 8);
    s.Brush()->SetBitmap(&pattern);
    s.DrawLegend(0, TRect(0, 0, 10, 10));
    EXPECT_EQ(s.SeenStyle, bsSolid);
    s.Brush()->SetBitmap(nullptr);
    s.SetParentChart(nullptr);
}

TEST_F(SeriesChartTest, LeavingTheChartGivesItBackItsOwnCursor) {
    TOrderSeries* s = AddOrderSeries(0);
    Chart->SetCursor(crCross);
    s->SetCursor(crHandPoint);
    Chart->ShowPartCursor(crHandPoint); // the series' own cursor, under the mouse
    s->SetParentChart(nullptr);
    EXPECT_EQ(Chart->Cursor(), crCross);
}

TEST_F(SeriesChartTest, NullPointLegendDrawsNothing) {
    TOrderSeries* s = AddOrderSeries(1);
    s->SetNull(0);
    Canvas->Clear();
    s->DrawLegend(0, TRect(0, 0, 10, 10));
    EXPECT_EQ(Canvas->Count("Rectangle"), 0);
}

TEST_F(SeriesChartTest, SampleValuesStartInsideWhatOtherSeriesShow) {
    TOrderSeries* a = AddOrderSeries(0);
    a->AddXY(0, 100);
    a->AddXY(1, 200);
    auto b = std::make_unique<TChartSeries>(nullptr);
    b->SetParentChart(Chart.get());
    b->FillSampleValues(0);
    EXPECT_EQ(b->Count(), 25);
    EXPECT_GE(b->YValues()->Value(0), 100 - 25);
    EXPECT_LE(b->YValues()->Value(0), 200 + 25);
    b->SetParentChart(nullptr);
}

TEST_F(SeriesChartTest, SampleWalkStepIsTheRoundedRangeOverFour) {
    TOrderSeries* a = AddOrderSeries(0);
    a->AddXY(0, 0);
    a->AddXY(1, 7.6); // a range of 8 walks in steps of -1 or 0, not of 0 alone
    auto b = std::make_unique<TChartSeries>(nullptr);
    b->SetParentChart(Chart.get());
    RandSeed = 12345;
    b->FillSampleValues(25);
    bool moved = false;
    for (int i = 1; i < b->Count(); ++i)
        moved = moved || b->YValues()->Value(i) != b->YValues()->Value(0);
    EXPECT_TRUE(moved);
    b->SetParentChart(nullptr);
}

// A live series asks its chart for a repaint with its first point after a
// drawing and not again until the next one; an inactive series never asks;
// the series' own listeners hear of every point either way.
TEST_F(SeriesChartTest, AddedPointsAskForOneRepaintUntilTheChartDraws) {
    struct Case {
        bool Active;
        bool Drawn; // the chart drew after the series was filled
        bool Asked;
    };
    for (const Case& c :
         {Case{true, true, true}, Case{false, true, false}, Case{true, false, true}}) {
        TOrderSeries* s = AddOrderSeries(3);
        s->SetActive(c.Active);
        if (c.Drawn) DrawFrame();
        EXPECT_EQ(Chart->RepaintAsked(), !c.Drawn && c.Active);
        std::vector<int> added;
        s->OnAfterAdd = [&](TChartSeries*, int i) { added.push_back(i); };
        s->AddXY(3, 3);
        s->AddXY(4, 4);
        EXPECT_EQ(Chart->RepaintAsked(), c.Asked) << c.Active << c.Drawn;
        EXPECT_EQ(added, (std::vector<int>{3, 4}));
        s->SetParentChart(nullptr);
        DrawFrame();
    }
}
