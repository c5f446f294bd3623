// Dragging marks, scrolling with axis arrows, and drawing, selecting, moving
// and deleting free lines, all with the mouse.
#include "chart/control/tool_drag.h"
#include "chart/engine/teemarks.h"
#include "platform/classes/watched.h"
#include "tools_fixture.h"

namespace {

TEST_F(ToolsTest, DraggingAMarkMovesItAndMakesItCustom) {
    Series->Marks()->SetVisible(true);
    auto* tool = new TDragMarksTool(Chart.get());
    Chart->Tools()->Add(tool);
    Paint();
    TSeriesMarkPosition* p = Series->Marks()->Positions()->Get(5);
    ASSERT_NE(p, nullptr);
    const TPoint lt = p->LeftTop, arrow = p->ArrowTo;
    const int x = lt.x + p->Width / 2, y = lt.y + p->Height / 2;
    Drag(x, y, x + 20, y + 10);
    EXPECT_TRUE(p->Custom);
    EXPECT_EQ(p->LeftTop, TPoint(lt.x + 20, lt.y + 10));
    EXPECT_EQ(p->ArrowTo, TPoint(arrow.x + 20, arrow.y + 10));
    EXPECT_FALSE(Chart->Zoomed());
}

class AxisArrowTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        Tool = new TAxisArrowTool(Chart.get());
        Tool->SetAxis(Bottom());
        Paint();
    }
    TAxisArrowTool* Tool = nullptr;
};

TEST_F(AxisArrowTest, ClickingAnArrowScrollsTheAxisByTheScrollPercent) {
    struct TRow {
        bool Inverted;
        bool AtStart;
        double Shift;
    };
    for (const TRow r : {TRow{false, true, 1}, TRow{false, false, -1}, TRow{true, true, -1}}) {
        Tool->SetScrollInverted(r.Inverted);
        const double lo = Bottom()->Minimum(), hi = Bottom()->Maximum();
        const int along = r.AtStart ? Bottom()->IStartPos + 5 : Bottom()->IEndPos - 5;
        int clicks = 0;
        Tool->OnClick = [&](TAxisArrowTool*, bool AtStart) {
            ++clicks;
            EXPECT_EQ(AtStart, r.AtStart);
        };
        Down(along, Bottom()->PosAxis + 2);
        Up(along, Bottom()->PosAxis + 2);
        EXPECT_EQ(clicks, 1);
        const double d = (hi - lo) * 0.1 * r.Shift;
        EXPECT_DOUBLE_EQ(Bottom()->Minimum(), lo + d);
        EXPECT_DOUBLE_EQ(Bottom()->Maximum(), hi + d);
        Paint();
    }
}

TEST_F(AxisArrowTest, ArrowBoundsAreStrict) {
    const int s = Bottom()->IStartPos, e = Bottom()->IEndPos, y = Bottom()->PosAxis;
    EXPECT_EQ(Tool->ClickedArrow(s + 1, y), 0);
    EXPECT_EQ(Tool->ClickedArrow(s + 16, y), -1);
    EXPECT_EQ(Tool->ClickedArrow(s, y), -1);
    EXPECT_EQ(Tool->ClickedArrow(e - 1, y - 2), 1);
    EXPECT_EQ(Tool->ClickedArrow(e - 1, y - 3), -1);
    Tool->SetPosition(aaStart);
    EXPECT_EQ(Tool->ClickedArrow(e - 1, y), -1);
}

// The scroll handler's sender is the axis: a custom axis it frees ends the
// arrow's click, and the chart goes on with its other axes.
TEST_F(ToolsTest, AnArrowsScrollHandlerMayFreeItsCustomAxis) {
    auto* axis = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    axis->SetPositionPercent(50);
    Series->SetCustomVertAxis(axis);
    auto* tool = new TAxisArrowTool(Chart.get());
    tool->SetAxis(axis);
    Paint();
    const TWatched<TChartAxis> watched(axis);
    int asked = 0;
    Chart->OnAllowScroll = [&](TChartAxis* A, double&, double&, bool&) {
        ++asked;
        if (A == axis) delete A;
    };
    const int x = axis->PosAxis, y = axis->IStartPos + 5;
    ASSERT_EQ(tool->ClickedArrow(x, y), 0);
    Down(x, y);
    Up(x, y);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(watched);
    Down(x, y);
    Up(x, y);
    EXPECT_EQ(asked, 1);
    Paint();
}

class DrawLineTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        Tool = new TDrawLineTool(Chart.get());
        Tool->Pen()->SetColor(clYellow);
        Chart->Tools()->Add(Tool);
        Paint();
    }
    TPoint P(double X, double Y) {
        return TPoint(Bottom()->CalcPosValue(X), Left()->CalcPosValue(Y));
    }
    TDrawLineTool* Tool = nullptr;
};

TEST_F(DrawLineTest, DrawSelectMoveReshapeAndDeleteALine) {
    int newLines = 0, selects = 0;
    Tool->OnNewLine = [&](TObject*) { ++newLines; };
    Tool->OnSelect = [&](TObject*) { ++selects; };
    // Draw from (2, 20) to (6, 60): stored in axis values.
    const TPoint a = P(2, 20), b = P(6, 60);
    Drag(a.x, a.y, b.x, b.y);
    ASSERT_EQ(Tool->Lines()->Count(), 1);
    EXPECT_EQ(newLines, 1);
    TDrawLine* line = Tool->Lines()->Get(0);
    EXPECT_EQ(Tool->AxisPoint(line->StartPos), a);
    EXPECT_EQ(Tool->AxisPoint(line->EndPos), b);
    Paint();
    int yellow = 0;
    for (int y = b.y; y <= a.y; ++y)
        yellow += Window()->Pixels((a.x + b.x) / 2, y) == clYellow;
    EXPECT_GE(yellow, 1);

    // A click in the middle selects it; dragging the middle moves both ends.
    const TPoint m((a.x + b.x) / 2, (a.y + b.y) / 2);
    Drag(m.x, m.y, m.x + 10, m.y + 4);
    EXPECT_EQ(Tool->Selected(), line);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(Tool->AxisPoint(line->StartPos), TPoint(a.x + 10, a.y + 4));
    EXPECT_EQ(Tool->AxisPoint(line->EndPos), TPoint(b.x + 10, b.y + 4));

    // The selected line's end handle moves only the end.
    const TPoint e = Tool->AxisPoint(line->EndPos), s = Tool->AxisPoint(line->StartPos);
    Drag(e.x + 2, e.y + 2, e.x + 30, e.y - 20);
    EXPECT_EQ(Tool->AxisPoint(line->StartPos), s);
    EXPECT_EQ(Tool->AxisPoint(line->EndPos), TPoint(e.x + 30, e.y - 20));

    // A click without movement on empty space draws nothing and drops the selection.
    Down(Bottom()->IStartPos + 5, Left()->IEndPos - 5);
    Up(Bottom()->IStartPos + 5, Left()->IEndPos - 5);
    EXPECT_EQ(Tool->Lines()->Count(), 1);
    EXPECT_EQ(Tool->Selected(), nullptr);

    Tool->SetSelected(line);
    Tool->DeleteSelected();
    EXPECT_EQ(Tool->Lines()->Count(), 0);
    EXPECT_EQ(Tool->Selected(), nullptr);
}

TEST_F(DrawLineTest, ALineIsDrawnInExclusiveOrWhileTheMouseMoves) {
    const auto before = Snapshot();
    const TPoint a = P(2, 20), b = P(6, 60);
    Down(a.x, a.y);
    Move(b.x, b.y);
    EXPECT_NE(Snapshot(), before);
    // Moving back to the start erases the rubber line completely.
    Move(a.x, a.y);
    EXPECT_EQ(Snapshot(), before);
    Up(a.x, a.y);
    EXPECT_EQ(Tool->Lines()->Count(), 0);
}

TEST_F(DrawLineTest, ARefusedSelectionMovesNothing) {
    auto* line = new TDrawLine(Tool->Lines(), 2, 20, 6, 60);
    Paint();
    Tool->OnSelecting = [](TDrawLineTool*, TDrawLine*, bool& Allow) { Allow = false; };
    const TPoint a = P(2, 20), b = P(6, 60);
    const TPoint m((a.x + b.x) / 2, (a.y + b.y) / 2);
    Drag(m.x, m.y, m.x + 10, m.y + 10);
    EXPECT_EQ(Tool->Selected(), nullptr);
    EXPECT_DOUBLE_EQ(line->X0(), 2);
    EXPECT_DOUBLE_EQ(line->Y1(), 60);
}

} // namespace
