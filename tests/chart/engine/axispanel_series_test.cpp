#include "axis_fixture.h"
#include "chart/engine/teeconst.h"
#include "platform/graphics/metafile.h"
#include "support/recording_printer.h"

namespace {
// Records the panel's broadcasts.
class TEventLog : public ITeeEventListener {
public:
    std::vector<std::string> Events;
    void TeeEvent(TTeeEvent* Event) override {
        if (auto* s = dynamic_cast<TTeeSeriesEvent*>(Event))
            Events.push_back("series " + std::to_string(s->Event));
        else if (dynamic_cast<TChartChangePage*>(Event))
            Events.push_back("page");
    }
};

// A series type without axes, like a pie.
class TNoAxisSeries : public TAxisTestSeries {
    QM_CLASS(TNoAxisSeries)
public:
    bool UseAxis() override { return false; }
};
QM_CLASS_ABSTRACT(TNoAxisSeries, TAxisTestSeries)
} // namespace

using AxisPanelSeriesTest = AxisPanelTest;

TEST_F(AxisPanelSeriesTest, EmptyChart) {
    for (int i = 0; i < Chart->Axes()->Count(); ++i) {
        TChartAxis* a = Chart->Axes()->Get(i);
        if (a == Chart->DepthAxis()) continue;
        EXPECT_TRUE(Chart->IsAxisVisible(a));
        EXPECT_EQ(Chart->InternalMinMax(a, true, a->Horizontal()), 0);
        EXPECT_EQ(Chart->InternalMinMax(a, false, a->Horizontal()), 0);
    }
    EXPECT_EQ(Chart->NumPages(), 1);
    EXPECT_FALSE(Chart->IsAxisVisible(Chart->DepthAxis()));
    Chart->SetAxisVisible(false);
    EXPECT_FALSE(Chart->IsAxisVisible(Chart->LeftAxis()));
    EXPECT_THROW(Chart->GetSeries(0), EListError);
}

TEST_F(AxisPanelSeriesTest, AxisVisibilityFollowsTheSeries) {
    TAxisTestSeries* s = AddSeries();
    EXPECT_TRUE(Chart->IsAxisVisible(Chart->LeftAxis()));
    EXPECT_FALSE(Chart->IsAxisVisible(Chart->RightAxis()));
    s->SetActive(false);
    EXPECT_TRUE(Chart->IsAxisVisible(Chart->RightAxis()));
    s->SetActive(true);
    auto pie = std::make_unique<TNoAxisSeries>();
    pie->SetParentChart(Chart.get());
    Chart->ExchangeSeries(0, 1);
    EXPECT_EQ(Chart->GetSeries(0), pie.get());
    EXPECT_FALSE(Chart->IsAxisVisible(Chart->LeftAxis()));
    pie->SetParentChart(nullptr);
}

TEST_F(AxisPanelSeriesTest, SeriesListEventsAndColours) {
    TEventLog log;
    Chart->Listeners()->Add(&log);
    TAxisTestSeries* a = AddSeries();
    TAxisTestSeries* b = AddSeries();
    EXPECT_EQ(Chart->SeriesCount(), 2);
    EXPECT_NE(a->SeriesColor(), b->SeriesColor());
    EXPECT_EQ(a->SeriesColor(), GetDefaultColor(0));
    Chart->ExchangeSeries(a, b);
    EXPECT_EQ(Chart->GetSeries(0), b);
    a->SetParentChart(nullptr);
    EXPECT_EQ(Chart->SeriesCount(), 1);
    EXPECT_EQ(a->ParentChart(), nullptr);
    // Each new series first takes a free colour, then joins.
    const std::vector<std::string> want = {"series 3", "series 0", "series 3",
                                           "series 0", "series 4", "series 1"};
    EXPECT_EQ(log.Events, want);
    Chart->BroadcastTeeEventClass(&TChartChangePage::ClassInfo);
    EXPECT_EQ(log.Events.back(), "page");
    Chart->Listeners()->Remove(&log);
}

TEST_F(AxisPanelSeriesTest, LegendSeriesAndTitles) {
    TAxisTestSeries* a = AddSeries();
    TAxisTestSeries* b = AddSeries();
    TAxisTestSeries* c = AddSeries();
    b->SetTitle("second");
    a->SetShowInLegend(false);
    EXPECT_EQ(Chart->SeriesLegend(0, true), b);
    EXPECT_EQ(Chart->SeriesTitleLegend(0), "second");
    EXPECT_EQ(Chart->SeriesTitleLegend(1), "Series3");
    c->SetActive(false);
    EXPECT_EQ(Chart->SeriesLegend(1, true), nullptr);
    EXPECT_EQ(Chart->SeriesLegend(1, false), c);
    EXPECT_EQ(Chart->CountActiveSeries(), 2);
}

TEST_F(AxisPanelSeriesTest, MultiLineTextWidth) {
    int lines = -1;
    EXPECT_EQ(Chart->MultiLineTextWidth("", lines), 0);
    EXPECT_EQ(lines, 0);
    EXPECT_EQ(Chart->MultiLineTextWidth("abc", lines), 18);
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(Chart->MultiLineTextWidth(AnsiString("a") + TeeLineSeparator + "abcd", lines), 24);
    EXPECT_EQ(lines, 2);
}

TEST_F(AxisPanelSeriesTest, PagesOfPoints) {
    TEventLog log;
    Chart->Listeners()->Add(&log);
    TAxisTestSeries* s = AddSeries();
    for (int i = 0; i < 25; ++i)
        s->AddXY(i * 2, i);
    Chart->SetMaxPointsPerPage(10);
    EXPECT_EQ(Chart->NumPages(), 3);
    TChartAxis* b = Chart->BottomAxis();
    EXPECT_EQ(Chart->InternalMinMax(b, true, true), 0);
    EXPECT_EQ(Chart->InternalMinMax(b, false, true), 18);
    Chart->SetPage(3);
    EXPECT_EQ(Chart->InternalMinMax(b, true, true), 40);
    EXPECT_EQ(Chart->InternalMinMax(b, false, true), 48);
    Chart->SetScaleLastPage(false);
    EXPECT_EQ(Chart->InternalMinMax(b, false, true), 40 + (48 - 40) * 10 / 5);
    // The value axis is not paged.
    EXPECT_EQ(Chart->InternalMinMax(Chart->LeftAxis(), false, false), 24);

    int changes = 0;
    Chart->OnPageChange = [&](TObject*) { ++changes; };
    Chart->SetPage(0);
    EXPECT_EQ(Chart->Page(), 1);
    Chart->SetPage(99);
    EXPECT_EQ(Chart->Page(), 3);
    Chart->SetPage(3);
    EXPECT_EQ(changes, 2);

    try {
        Chart->SetMaxPointsPerPage(-1);
        ADD_FAILURE();
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message, TeeMsg_MaxPointsPerPage);
    }
    EXPECT_EQ(Chart->MaxPointsPerPage(), 10);
    Chart->Listeners()->Remove(&log);
}

TEST_F(AxisPanelSeriesTest, SmallerPagesKeepThePageInRange) {
    TAxisTestSeries* s = AddSeries();
    for (int i = 0; i < 10; ++i)
        s->AddXY(i, i);
    Chart->SetMaxPointsPerPage(2);
    Chart->SetPage(4);
    Chart->SetMaxPointsPerPage(5);
    EXPECT_EQ(Chart->Page(), 2);
}

TEST_F(AxisPanelSeriesTest, CircularSourcesAreRefusedThroughAnySource) {
    TAxisTestSeries* a = AddSeries();
    TAxisTestSeries* b = AddSeries();
    TAxisTestSeries* c = AddSeries();
    TAxisTestSeries* d = AddSeries();
    b->SetDataSource(a);
    try {
        a->SetDataSource(b);
        ADD_FAILURE();
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message, TeeMsg_CircularSeries);
    }
    EXPECT_EQ(a->DataSource(), nullptr);
    // c reads d first and a second; a must not read c.
    c->InternalAddDataSource(d);
    c->InternalAddDataSource(a);
    EXPECT_THROW(Chart->CheckOtherSeries(a, c), ChartException);
    EXPECT_NO_THROW(Chart->CheckOtherSeries(d, b));
    EXPECT_FALSE(Chart->IsValidDataSource(a, a));
    EXPECT_TRUE(Chart->IsValidDataSource(a, d));
    EXPECT_FALSE(Chart->IsValidDataSource(a, Chart.get()));
    b->SetDataSource(nullptr);
    c->SetDataSource(nullptr);
}

TEST_F(AxisPanelSeriesTest, MarginsOfSeriesAndOffsets) {
    TAxisTestSeries* s = AddSeries();
    s->AddXY(0, 0);
    s->AddXY(100, 100);
    Chart->BottomAxis()->SetMinimumOffset(50);
    Chart->BottomAxis()->SetMaximumOffset(50);
    DrawFrame();
    TChartAxis* b = Chart->BottomAxis();
    EXPECT_EQ(b->CalcXPosValue(0), b->IStartPos + 50);
    EXPECT_EQ(b->CalcXPosValue(100), b->IEndPos - 50);
}

TEST_F(AxisPanelSeriesTest, ToolsHearTheFrame) {
    class TLogTool : public TTeeCustomTool {
    public:
        using TTeeCustomTool::TTeeCustomTool;
        std::vector<int> Events;
        void ChartEvent(TChartToolEvent AEvent) override { Events.push_back(AEvent); }
    };
    TLogTool tool(nullptr);
    Chart->Tools()->Add(&tool);
    DrawFrame();
    EXPECT_EQ(tool.Events, (std::vector<int>{cteBeforeDraw, cteBeforeDrawSeries, cteAfterDraw}));
    tool.SetActive(false);
    DrawFrame();
    EXPECT_EQ(tool.Events.size(), 3u);
    tool.SetParentChart(nullptr);
}

TEST_F(AxisPanelSeriesTest, SharedDepthSlotsDrawPointByPoint) {
    class TPointLog : public TAxisTestSeries {
    public:
        std::vector<std::string>* Log = nullptr;
        std::string Name;
        void DrawAllValues() override { Log->push_back(Name + " all"); }
        void DrawValue(int ValueIndex) override {
            Log->push_back(Name + std::to_string(ValueIndex));
        }
    };
    std::vector<std::string> log;
    auto a = std::make_unique<TPointLog>();
    auto b = std::make_unique<TPointLog>();
    a->Log = b->Log = &log;
    a->Name = "a";
    b->Name = "b";
    for (TPointLog* s : {a.get(), b.get()}) {
        s->SetParentChart(Chart.get());
        s->AddXY(0, 1);
        s->AddXY(1, 2);
    }
    Chart->SetView3D(true);
    a->SetZOrder(0);
    b->SetZOrder(0);
    DrawFrame();
    EXPECT_EQ(log, (std::vector<std::string>{"a0", "b0", "a1", "b1"}));
    log.clear();
    b->SetZOrder(-1);
    a->SetZOrder(-1);
    DrawFrame();
    EXPECT_EQ(log, (std::vector<std::string>{"a all", "b all"}));
    log.clear();
    Chart->DepthAxis()->SetInverted(true);
    DrawFrame();
    EXPECT_EQ(log, (std::vector<std::string>{"b all", "a all"}));
    a->SetParentChart(nullptr);
    b->SetParentChart(nullptr);
}

TEST_F(AxisPanelSeriesTest, FreeAllSeriesOfAClass) {
    auto* keep = new TAxisTestSeries(Chart.get());
    keep->SetParentChart(Chart.get());
    auto* gone = new TNoAxisSeries();
    gone->SetParentChart(Chart.get());
    Chart->FreeAllSeries(&TNoAxisSeries::ClassInfo);
    ASSERT_EQ(Chart->SeriesCount(), 1);
    EXPECT_EQ(Chart->GetSeries(0), keep);
    Chart->FreeAllSeries();
    EXPECT_EQ(Chart->SeriesCount(), 0);
}

TEST_F(AxisPanelSeriesTest, PrintPagesOneSheetEach) {
    class TFailingSeries : public TAxisTestSeries {
    public:
        int FailOnPage = 0;
        void DrawAllValues() override {
            if (FailOnPage && ParentChart()->Page() == FailOnPage) throw Exception("broken page");
            TAxisTestSeries::DrawAllValues();
        }
    };
    TRecordingPrinter printer;
    printer.Install();
    auto s = std::make_unique<TFailingSeries>();
    s->SetParentChart(Chart.get());
    for (int i = 0; i < 25; ++i)
        s->AddXY(i, i);
    Chart->SetName("Pages");
    Chart->SetMaxPointsPerPage(10);
    Chart->SetPage(2);
    Chart->PrintPages();
    EXPECT_EQ(printer.PageCount(), 3);
    EXPECT_EQ(printer.Log,
              (std::vector<std::string>{"BeginDoc Pages", "NewPage", "NewPage", "EndDoc"}));
    EXPECT_EQ(Chart->Page(), 2);

    printer.Log.clear();
    s->FailOnPage = 3;
    EXPECT_THROW(Chart->PrintPages(2, 3), Exception);
    EXPECT_EQ(Chart->Page(), 2);
    ASSERT_FALSE(printer.Log.empty());
    EXPECT_EQ(printer.Log.front(), "BeginDoc Pages");
    EXPECT_NE(std::find(printer.Log.begin(), printer.Log.end(), "Abort"), printer.Log.end());
    EXPECT_FALSE(printer.Printing());
    s->SetParentChart(nullptr);
}
