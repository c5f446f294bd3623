#include "axis_fixture.h"
#include "platform/classes/filer.h"
#include "platform/classes/streams.h"

namespace {

class TCountingTool : public TTeeCustomTool {
public:
    using TTeeCustomTool::TTeeCustomTool;
    ~TCountingTool() override {
        if (Freed) ++*Freed;
    }
    int* Freed = nullptr;
};

class TCountingDesigner : public TTeeCustomDesigner {
public:
    explicit TCountingDesigner(int& Count) : FCount(Count) {}
    void Repaint() override { ++FCount; }

private:
    int& FCount;
};

using ToolsTest = AxisPanelTest;

} // namespace

TEST_F(ToolsTest, ToolsJoinInOrderAndLeaveWhenDetachedOrFreed) {
    auto a = std::make_unique<TTeeCustomTool>(nullptr);
    auto b = std::make_unique<TTeeCustomTool>(nullptr);
    auto c = std::make_unique<TTeeCustomTool>(nullptr);
    Chart->Tools()->Add(a.get());
    Chart->Tools()->Add(b.get());
    c->SetParentChart(Chart.get());
    ASSERT_EQ(Chart->Tools()->Count(), 3);
    EXPECT_EQ(Chart->Tools()->Get(2), c.get());
    b->SetParentChart(nullptr);
    EXPECT_EQ(Chart->Tools()->Count(), 2);
    EXPECT_EQ(Chart->Tools()->Get(1), c.get());
    a.reset();
    ASSERT_EQ(Chart->Tools()->Count(), 1);
    EXPECT_EQ(Chart->Tools()->Get(0), c.get());
    EXPECT_THROW(Chart->Tools()->Get(1), EListError);
    c->SetParentChart(nullptr);
}

TEST_F(ToolsTest, ClearingTheListFreesEveryTool) {
    int freed = 0;
    for (int i = 0; i < 3; ++i) {
        auto* tool = new TCountingTool(nullptr); // the list frees it
        tool->Freed = &freed;
        Chart->Tools()->Add(tool);
    }
    Chart->Tools()->Clear();
    EXPECT_EQ(freed, 3);
    EXPECT_EQ(Chart->Tools()->Count(), 0);
}

TEST_F(ToolsTest, SeriesToolForgetsAFreedSeries) {
    TTeeCustomToolSeries tool(nullptr);
    tool.SetParentChart(Chart.get());
    auto series = std::make_unique<TAxisTestSeries>();
    series->SetParentChart(Chart.get());
    series->SetVertAxis(aRightAxis);
    tool.SetSeries(series.get());
    EXPECT_EQ(tool.GetVertAxis(), Chart->RightAxis());
    series.reset();
    EXPECT_EQ(tool.Series(), nullptr);
    EXPECT_EQ(tool.GetHorizAxis(), Chart->BottomAxis());
    EXPECT_EQ(tool.GetVertAxis(), Chart->LeftAxis());
    EXPECT_EQ(tool.GetEditorClass(), "TSeriesToolEditor");
    tool.SetParentChart(nullptr);
}

TEST_F(ToolsTest, AxisToolIsStoredByTheAxisIndex) {
    TTeeCustomToolAxis tool(nullptr);
    tool.SetAxis(Chart->LeftAxis());
    EXPECT_EQ(tool.ParentChart(), Chart.get());
    EXPECT_EQ(tool.GetEditorClass(), "TAxisToolEditor");
    TMemoryStream stream;
    WriteComponentToStream(&stream, &tool);
    const std::string bytes(static_cast<const char*>(stream.Memory()),
                            static_cast<size_t>(stream.Size()));
    EXPECT_NE(bytes.find("AxisID"), std::string::npos);

    TAxisTestChart other;
    TTeeCustomToolAxis copy(nullptr);
    copy.SetParentChart(&other);
    stream.SetPosition(0);
    ReadComponentFromStream(&stream, &copy);
    EXPECT_EQ(copy.Axis(), other.LeftAxis());
    copy.SetAxis(nullptr);
    EXPECT_EQ(copy.ParentChart(), nullptr);
    tool.SetAxis(nullptr);
}

// Only an axis' own chart says when the axis is freed: a tool left on it hears
// of it, a tool moved to another chart has let go already.
TEST_F(ToolsTest, AxisToolLetsGoOfAFreedAxisOrOneOfAChartItLeft) {
    TAxisTestChart other;
    for (bool moved : {false, true}) {
        auto* axis = new TChartAxis(Chart->CustomAxes());
        TTeeCustomToolAxis tool(nullptr);
        tool.SetAxis(axis);
        if (moved) tool.SetParentChart(&other);
        delete axis;
        EXPECT_EQ(tool.Axis(), nullptr) << moved;
        EXPECT_EQ(tool.ParentChart(), moved ? &other : Chart.get());
        tool.SetParentChart(nullptr);
    }
}

TEST_F(ToolsTest, SeriesChangesRepaintTheDesigner) {
    int repaints = 0;
    Chart->SetDesigner(new TCountingDesigner(repaints)); // owned by the chart
    TAxisTestSeries* s = AddSeries();                    // takes a colour: one repaint
    repaints = 0;
    s->SetTitle("A");
    s->SetSeriesColor(clRed);
    s->SetActive(false);
    EXPECT_EQ(repaints, 3);
}
