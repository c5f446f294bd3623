// The nearest-point marker and mark tips following the mouse, the annotation
// box with its callout, and the series animation on the virtual clock.
#include "chart/control/tool_hints.h"
#include "platform/forms/forms.h"
#include "platform/rtl/clock.h"
#include "tools_fixture.h"

namespace {

TEST_F(ToolsTest, NearestToolFollowsTheMouseAndKeepsTheLowerIndexOnATie) {
    auto* tool = new TNearestTool(Chart.get());
    tool->SetSeries(Series);
    Chart->Tools()->Add(tool);
    Paint();
    int changes = 0;
    tool->OnChange = [&](TObject*) { ++changes; };
    Move(Series->CalcXPos(7) + 3, Series->CalcYPos(7) - 2);
    EXPECT_EQ(tool->Point, 7);
    // Halfway between points 2 and 3 on the pixel grid: the lower wins.
    const int x2 = Series->CalcXPos(2), x3 = Series->CalcXPos(3);
    const int y2 = Series->CalcYPos(2), y3 = Series->CalcYPos(3);
    if ((x2 + x3) % 2 == 0 && (y2 + y3) % 2 == 0) {
        Move((x2 + x3) / 2, (y2 + y3) / 2);
        EXPECT_EQ(tool->Point, 2);
    }
    EXPECT_GE(changes, 1);
    // Scrolled so that point 10 leaves the plot area: it is never taken.
    Bottom()->SetMinMax(0, 8);
    Paint();
    Move(Chart->ChartRect().Right + 5, Series->CalcYPos(10));
    EXPECT_NE(tool->Point, 10);
}

TEST_F(ToolsTest, MarkTipsShowThePointsMarkTextAsTheHint) {
    auto* tool = new TMarksTipTool(Chart.get());
    tool->SetStyle(smsValue);
    Chart->Tools()->Add(tool);
    Series->Pointer()->SetVisible(true);
    Paint();
    int texts = 0;
    tool->OnGetText = [&](TMarksTipTool*, AnsiString&) { ++texts; };
    Move(Series->CalcXPos(4), Series->CalcYPos(4));
    EXPECT_EQ(Chart->Hint(), "40");
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(Series->Marks()->Style(), smsLabel); // put back
    Move(Chart->ChartRect().Left + 2, Chart->ChartRect().Top + 2);
    EXPECT_EQ(Chart->Hint(), "");
}

TEST_F(ToolsTest, AnnotationSitsInItsCornerAndDrawsItsCallout) {
    auto* note = new TAnnotationTool(Chart.get());
    note->SetParentChart(Chart.get());
    note->SetText("");
    note->SetPosition(ppRightBottom);
    Paint();
    EXPECT_EQ(note->Shape()->ShapeBounds().Right, Chart->Width() - 6);
    note->SetText("Peak");
    note->SetPosition(ppLeftTop);
    note->Callout()->SetVisible(true);
    note->Callout()->Arrow()->SetVisible(true);
    note->Callout()->Arrow()->SetColor(clRed);
    note->Callout()->SetXPosition(300);
    note->Callout()->SetYPosition(200);
    Paint();
    const TRect b = note->Shape()->ShapeBounds();
    EXPECT_EQ(b.Left, 6);
    EXPECT_EQ(b.Top, 8);
    EXPECT_EQ(TAnnotationTool::CloserPoint(b, TPoint(300, 200)), TPoint(b.Right, b.Bottom));
    // The arrow runs from the box corner toward (300, 200).
    int red = 0;
    for (int i = 5; i < 40; ++i) {
        const int x = b.Right + (300 - b.Right) * i / 100,
                  y = b.Bottom + (200 - b.Bottom) * i / 100;
        for (int d = -1; d <= 1; ++d)
            red += Window()->Pixels(x, y + d) == clRed;
    }
    EXPECT_GE(red, 10);
    int clicks = 0;
    note->OnClick = [&](TAnnotationTool*, TMouseButton, TShiftState, int, int) { ++clicks; };
    Down(b.Left + 3, b.Top + 3);
    Up(b.Left + 3, b.Top + 3);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ToolsTest, AnimationGrowsEachGroupToItsValues) {
    TVirtualClockScope clock;
    Series->Clear();
    for (int i = 0; i < 7; ++i)
        Series->AddXY(i, 10 + i * 5);
    auto* anim = new TSeriesAnimationTool(Chart.get());
    anim->SetSeries(Series);
    anim->SetSteps(4);
    anim->SetDrawEvery(3);
    std::vector<std::vector<double>> frames;
    anim->OnStep = [&](TSeriesAnimationTool*, int) {
        std::vector<double> v;
        for (int i = 0; i < 7; ++i)
            v.push_back(Series->YValues()->Value(i));
        frames.push_back(v);
    };
    anim->Execute();
    ASSERT_EQ(frames.size(), 15u); // three groups of Steps + 1
    // Halfway through the second group: the first is grown, the third still at the start.
    EXPECT_EQ(frames[7], (std::vector<double>{10, 15, 20, 17.5, 20, 22.5, 10}));
    EXPECT_EQ(frames.back(), (std::vector<double>{10, 15, 20, 25, 30, 35, 40}));
    EXPECT_FALSE(anim->Running());
    anim->SetSteps(0); // no growth to show: the values come back at once
    frames.clear();
    anim->Execute();
    EXPECT_EQ(frames.back(), (std::vector<double>{10, 15, 20, 25, 30, 35, 40}));
}

} // namespace
