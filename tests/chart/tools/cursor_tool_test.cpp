// The cursor tool under the mouse: exclusive-or drawing, dragging, following
// the mouse, snapping and the values reported by OnChange.
#include "chart/control/tool_cursor.h"
#include "tools_fixture.h"

namespace {

struct TChange {
    int X, Y;
    double XValue, YValue;
    int Index;
};

class CursorToolTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        Cursor = new TCursorTool(Chart.get());
        Cursor->Pen()->SetColor(clWhite);
        Cursor->OnChange = [this](TCursorTool*, int x, int y, double xv, double yv, TChartSeries*,
                                  int index) {
            Changes.push_back({x, y, xv, yv, index});
        };
        Chart->Tools()->Add(Cursor);
        Paint();
    }
    TCursorTool* Cursor = nullptr;
    std::vector<TChange> Changes;
};

TEST_F(CursorToolTest, FirstPaintCentresTheCursorAndReportsNoPoint) {
    ASSERT_EQ(Changes.size(), 1u);
    const int cx = (Bottom()->IStartPos + Bottom()->IEndPos) / 2;
    const int cy = (Left()->IStartPos + Left()->IEndPos) / 2;
    EXPECT_EQ(Cursor->IXPosition, cx);
    EXPECT_EQ(Cursor->IYPosition, cy);
    EXPECT_EQ(Changes[0].Index, -1);
    EXPECT_DOUBLE_EQ(Changes[0].XValue, Bottom()->CalcPosPoint(cx));
    EXPECT_DOUBLE_EQ(Changes[0].YValue, Left()->CalcPosPoint(cy));
    // Both lines are on the window, and they cross the whole plot area.
    EXPECT_NE(Window()->Pixels(Bottom()->IStartPos + 1, cy),
              Window()->Pixels(Bottom()->IStartPos + 1, cy + 5));
}

TEST_F(CursorToolTest, DrawnTwiceLeavesThePictureUnchanged) {
    const auto painted = Snapshot();
    Cursor->RedrawCursor();
    EXPECT_NE(Snapshot(), painted);
    Cursor->RedrawCursor();
    EXPECT_EQ(Snapshot(), painted);
}

TEST_F(CursorToolTest, MovingRepaintsOnlyTheLines) {
    Cursor->SetFollowMouse(true);
    const int x0 = Cursor->IXPosition, y0 = Cursor->IYPosition;
    int paints = 0;
    Chart->OnAfterDraw = [&](TObject*) { ++paints; };
    Move(x0 + 40, y0 - 30);
    EXPECT_EQ(paints, 0);
    // The window shows what a full repaint at the new place shows.
    const auto moved = Snapshot();
    Paint();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(Snapshot(), moved);
}

// A cursor that follows the mouse starts drawn at the plot's centre and goes
// where the mouse goes.
TEST_F(CursorToolTest, FollowingCursorStartsAtTheCentreThenFollowsTheMouse) {
    Cursor->SetActive(false);
    Paint();
    const auto bare = Snapshot();
    Cursor->SetActive(true);
    Cursor->SetFollowMouse(true);
    Paint();
    const int cx = (Bottom()->IStartPos + Bottom()->IEndPos) / 2;
    const int cy = (Left()->IStartPos + Left()->IEndPos) / 2;
    EXPECT_EQ(Cursor->IXPosition, cx);
    EXPECT_EQ(Cursor->IYPosition, cy);
    EXPECT_NE(Window()->Pixels(cx, cy + 40), bare[size_t((cy + 40) * 400 + cx)]);
    const int x = Bottom()->IStartPos + 30, y = Left()->IStartPos + 25;
    Move(x, y);
    EXPECT_NE(Window()->Pixels(x, y + 40), bare[size_t((y + 40) * 400 + x)]);
    EXPECT_NE(Window()->Pixels(x + 40, y), bare[size_t(y * 400 + x + 40)]);
    EXPECT_EQ(Window()->Pixels(cx, cy + 40), bare[size_t((cy + 40) * 400 + cx)]);
}

TEST_F(CursorToolTest, ButtonDownWithinTwoPixelsGrabsALine) {
    const int x = Cursor->IXPosition, y = Cursor->IYPosition;
    struct TRow {
        TCursorToolStyle Style;
        int Dx, Dy;
        TCursorClicked Expected;
    };
    const TRow rows[] = {
        {cssBoth, 40, -2, ccHorizontal}, {cssBoth, 40, -3, ccNone},
        {cssBoth, 2, 40, ccVertical},    {cssBoth, 2, -2, ccBoth},
        {cssHorizontal, 0, 40, ccNone},  {cssVertical, 40, 0, ccNone},
        {cssVertical, 1, 1, ccVertical},
    };
    for (const TRow& r : rows) {
        Cursor->SetStyle(r.Style);
        EXPECT_EQ(Cursor->Clicked(x + r.Dx, y + r.Dy), r.Expected)
            << r.Style << " " << r.Dx << "," << r.Dy;
    }
    EXPECT_EQ(Cursor->Clicked(Bottom()->IStartPos - 5, y), ccNone);
}

TEST_F(CursorToolTest, DraggingTheVerticalLineMovesOnlyXValue) {
    const double y = Cursor->YValue();
    const int x0 = Cursor->IXPosition;
    Drag(x0 + 1, Cursor->IYPosition + 50, x0 + 60, Cursor->IYPosition + 70);
    EXPECT_EQ(Cursor->Dragging, ccNone);
    EXPECT_DOUBLE_EQ(Cursor->XValue(), Bottom()->CalcPosPoint(x0 + 60));
    EXPECT_DOUBLE_EQ(Cursor->YValue(), y);
    EXPECT_EQ(Cursor->IXPosition, x0 + 60);
    // The drag belonged to the cursor: the chart did not zoom.
    EXPECT_FALSE(Chart->Zoomed());
    EXPECT_EQ(Changes.back().X, x0 + 60);
}

TEST_F(CursorToolTest, DraggingTheCrossingMovesBothAndStopsAtThePlotArea) {
    const int x0 = Cursor->IXPosition, y0 = Cursor->IYPosition;
    Down(x0, y0);
    Move(x0 - 30, y0 + 20);
    EXPECT_DOUBLE_EQ(Cursor->XValue(), Bottom()->CalcPosPoint(x0 - 30));
    EXPECT_DOUBLE_EQ(Cursor->YValue(), Left()->CalcPosPoint(y0 + 20));
    Move(Bottom()->IEndPos + 10, y0);
    EXPECT_EQ(Cursor->IXPosition, x0 - 30);
    Up(Bottom()->IEndPos + 10, y0);
}

TEST_F(CursorToolTest, FollowMouseMovesBothValuesWhateverTheStyle) {
    Cursor->SetFollowMouse(true);
    Cursor->SetStyle(cssHorizontal);
    const int x = Bottom()->IStartPos + 30, y = Left()->IStartPos + 25;
    Move(x, y);
    EXPECT_DOUBLE_EQ(Cursor->XValue(), Bottom()->CalcPosPoint(x));
    EXPECT_DOUBLE_EQ(Cursor->YValue(), Left()->CalcPosPoint(y));
    EXPECT_EQ(Changes.back().Index, -1);
}

TEST_F(CursorToolTest, SnapTakesTheNearestPointAndTheLowerIndexOnATie) {
    Cursor->SetSeries(Series);
    Cursor->SetSnap(true);
    Cursor->SetFollowMouse(true);
    Move(Bottom()->CalcPosValue(3.2), Left()->CalcPosValue(33));
    EXPECT_EQ(Changes.back().Index, 3);
    EXPECT_DOUBLE_EQ(Cursor->XValue(), 3);
    EXPECT_DOUBLE_EQ(Cursor->YValue(), 30);
    EXPECT_EQ(Cursor->IXPosition, Bottom()->CalcPosValue(3));
    // Vertical style measures X only: 4.5 lies as far from 4 as from 5.
    Cursor->SetStyle(cssVertical);
    Cursor->SetXValue(4.5);
    double d = 0;
    EXPECT_EQ(Cursor->NearestPoint(cssVertical, d), 4);
    EXPECT_DOUBLE_EQ(d, 0.5);
}

TEST_F(CursorToolTest, SettingAValueFiresOnlyWhenItChanges) {
    const size_t n = Changes.size();
    Cursor->SetXValue(Cursor->XValue());
    EXPECT_EQ(Changes.size(), n);
    Cursor->SetXValue(7);
    ASSERT_EQ(Changes.size(), n + 1);
    EXPECT_EQ(Changes.back().Index, -1);
    EXPECT_EQ(Changes.back().X, Bottom()->CalcPosValue(7));
}

} // namespace
