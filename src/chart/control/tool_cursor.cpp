#include "chart/control/tool_cursor.h"

#include "chart/control/teeproco.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teegeometry.h"
#include "platform/graphics/cursors.h"
#include <cmath>
#include <cstdlib>

QM_CLASS_OWNED(TCursorTool, TTeeCustomToolSeries, TComponent)

QM_PUBLISHED(TCursorTool, Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("FollowMouse", &Self::FollowMouse, &Self::SetFollowMouse).Default(false),
             Prop("Snap", &Self::Snap, &Self::SetSnap).Default(false),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(cssBoth),
             Prop("OnChange", &Self::OnChange));

TCursorTool::TCursorTool(TComponent* AOwner) : TTeeCustomToolSeries(AOwner) {}

AnsiString TCursorTool::Description() const {
    return TeeMsg_CursorTool;
}

TRect TCursorTool::GetAxisRect() {
    TCustomAxisPanel* chart = ParentChart();
    TRect r;
    if (FUseChartRect && chart) {
        r = chart->ChartRect();
    } else {
        TChartAxis* h = GetHorizAxis();
        TChartAxis* v = GetVertAxis();
        if (h) r.Left = h->IStartPos, r.Right = h->IEndPos;
        if (v) r.Top = v->IStartPos, r.Bottom = v->IEndPos;
    }
    if (OnGetAxisRect) OnGetAxisRect(this, r);
    return r;
}

void TCursorTool::CalcValuePositions(int X, int Y) {
    TChartAxis* h = GetHorizAxis();
    TChartAxis* v = GetVertAxis();
    if (Dragging != ccVertical && v) FYValue = v->CalcPosPoint(Y);
    if (Dragging != ccHorizontal && h) FXValue = h->CalcPosPoint(X);
}

void TCursorTool::CalcScreenPositions() {
    TChartAxis* h = GetHorizAxis();
    TChartAxis* v = GetVertAxis();
    if (!h || !v) return;
    if (IXPosition != -1 && IYPosition != -1) {
        IXPosition = h->CalcPosValue(FXValue);
        IYPosition = v->CalcPosValue(FYValue);
        return;
    }
    // Axes not laid out yet have no centre: the first drawing places it, as
    // it does for a cursor read from a file.
    if (h->IAxisSize <= 0 || v->IAxisSize <= 0) return;
    IXPosition = (h->IStartPos + h->IEndPos) / 2;
    IYPosition = (v->IStartPos + v->IEndPos) / 2;
    CalcValuePositions(IXPosition, IYPosition);
    const int index = SnapToPoint();
    CalcScreenPositions();
    Changed(index);
}

int TCursorTool::NearestPoint(TCursorToolStyle AStyle, double& Difference) {
    Difference = -1;
    TChartSeries* s = Series();
    if (!s) return -1;
    const int count = s->Count();
    int first = s->FirstVisibleIndex();
    if (first < 0) first = 0;
    int last = s->LastVisibleIndex();
    if (last < 0 || last >= count) last = count - 1;
    if (count < 1 || count < first || count < last) return -1;
    int result = -1;
    for (int i = first; i <= last; ++i) {
        const double dx = FXValue - s->XValues()->Value(i);
        const double dy = FYValue - s->YValues()->Value(i);
        const double d = AStyle == cssHorizontal ? std::fabs(dy)
                         : AStyle == cssVertical ? std::fabs(dx)
                                                 : std::sqrt(dx * dx + dy * dy);
        if (Difference == -1 || d < Difference) {
            Difference = d;
            result = i;
        }
    }
    return result;
}

int TCursorTool::SnapToPoint() {
    TChartSeries* s = Series();
    if (!s || !FSnap) return -1;
    double difference = 0;
    const int index = NearestPoint(FStyle, difference);
    if (index != -1) {
        if (FStyle != cssVertical) FYValue = s->YValues()->Value(index);
        if (FStyle != cssHorizontal) FXValue = s->XValues()->Value(index);
    }
    return index;
}

TCursorClicked TCursorTool::Clicked(int X, int Y) {
    if (!PointInRect(GetAxisRect(), X, Y)) return ccNone;
    const bool nearY = std::abs(Y - IYPosition) < 3;
    const bool nearX = std::abs(X - IXPosition) < 3;
    if (FStyle == cssBoth && nearX && nearY) return ccBoth;
    if (FStyle != cssVertical && nearY) return ccHorizontal;
    if (FStyle != cssHorizontal && nearX) return ccVertical;
    return ccNone;
}

void TCursorTool::RedrawCursor() {
    // A cursor that follows the mouse is drawn from the start, at the plot's
    // centre until the mouse comes.
    if (!ParentChart()) return;
    DrawLines(true);
    FOnScreen = !FOnScreen;
}

void TCursorTool::DrawLines(bool Exclusive) {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    TColor back = chart->Color();
    if (back == clAutoColor) back = clBtnFace;
    const TColor backRGB = static_cast<TColor>(ColorToRGB(back) & 0xFFFFFF);
    const TColor penRGB = static_cast<TColor>(ColorToRGB(Pen()->Color()) & 0xFFFFFF);
    canvas->AssignVisiblePenColor(Pen(),
                                  Exclusive ? static_cast<TColor>(penRGB ^ backRGB) : penRGB);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Pen()->SetMode(Exclusive ? pmXor : pmCopy);
    const TRect r = GetAxisRect();
    const bool in3D = chart->View3D();
    if (FStyle != cssVertical) {
        if (in3D)
            canvas->HorizLine3D(r.Left, r.Right, IYPosition, 0);
        else
            canvas->DoHorizLine(r.Left, r.Right, IYPosition);
    }
    if (FStyle != cssHorizontal) {
        if (in3D)
            canvas->VertLine3D(IXPosition, r.Top, r.Bottom, 0);
        else
            canvas->DoVertLine(IXPosition, r.Top, r.Bottom);
    }
    canvas->Pen()->SetMode(pmCopy);
    canvas->Invalidate();
}

void TCursorTool::EraseLines() {
    if (FOnScreen) RedrawCursor();
}

void TCursorTool::ShowLines() {
    if (!FOnScreen) RedrawCursor();
}

void TCursorTool::Changed(int ValueIndex) {
    if (OnChange) OnChange(this, IXPosition, IYPosition, FXValue, FYValue, Series(), ValueIndex);
}

// OnChange may free the tool, the chart or its form; the first placement of
// the cursor calls it too.
void TCursorTool::DoChange() {
    TCallOut held{this, ParentChart(), ChartForm()};
    CalcScreenPositions();
    if (held.Gone()) return;
    Changed(-1);
    if (held.Gone()) return;
    Repaint();
}

void TCursorTool::SetXValue(double Value) {
    if (FXValue == Value) return;
    FXValue = Value;
    DoChange();
}

void TCursorTool::SetYValue(double Value) {
    if (FYValue == Value) return;
    FYValue = Value;
    DoChange();
}

void TCursorTool::SetFollowMouse(bool Value) {
    if (FFollowMouse == Value) return;
    FFollowMouse = Value;
    if (Active() && IXPosition != -1) ShowLines();
}

void TCursorTool::SetStyle(TCursorToolStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    SnapToPoint();
    Repaint();
}

// Snapping from now on moves the cursor onto its nearest point at once, where
// a chart read back with it places it.
void TCursorTool::SetSnap(bool Value) {
    if (FSnap == Value) return;
    FSnap = Value;
    SnapToPoint();
    Repaint();
}

void TCursorTool::SetUseChartRect(bool Value) {
    if (FUseChartRect == Value) return;
    FUseChartRect = Value;
    Repaint();
}

void TCursorTool::SetSeries(TChartSeries* Value) {
    TTeeCustomToolSeries::SetSeries(Value);
    if (!Value || ComponentState().Contains(csLoading)) return;
    if (Active()) EraseLines();
    SnapToPoint();
    TCallOut held{this, ParentChart(), ChartForm()};
    CalcScreenPositions();
    if (held.Gone()) return;
    if (Active()) ShowLines();
}

void TCursorTool::SetActive(bool Value) {
    if (Value == Active()) return;
    TTeeCustomToolSeries::SetActive(Value);
    // The chart repaints without the lines either way.
    FOnScreen = false;
}

void TCursorTool::ChartEvent(TChartToolEvent AEvent) {
    TTeeCustomToolSeries::ChartEvent(AEvent);
    if (AEvent != cteAfterDraw) return;
    TCustomAxisPanel* chart = ParentChart();
    if (chart && !chart->DrawingOnWindow()) {
        // Paper and picture files know no exclusive-or: they get the lines as
        // the window shows them over the background. The window's lines, and
        // where the mouse finds them, stay as they are.
        const int x = IXPosition, y = IYPosition;
        CalcScreenPositions();
        DrawLines(false);
        if (x != -1) IXPosition = x, IYPosition = y;
        return;
    }
    // A finished picture never holds the lines: the cursor draws after it.
    FOnScreen = false;
    CalcScreenPositions();
    ShowLines();
}

void TCursorTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift,
                                  int X, int Y) {
    (void)Button, (void)Shift;
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    switch (AEvent) {
    case cmeDown:
        if (!FFollowMouse) {
            Dragging = Clicked(X, Y);
            if (Dragging != ccNone) chart->SetCancelMouse(true);
        }
        break;
    case cmeMove:
        if ((Dragging != ccNone || FFollowMouse) && PointInRect(GetAxisRect(), X, Y)) {
            TCallOut held{this, chart, ChartForm()};
            EraseLines();
            CalcValuePositions(X, Y);
            const int index = SnapToPoint();
            CalcScreenPositions();
            if (held.Gone()) return;
            ShowLines();
            Changed(index);
        } else {
            const TCursorClicked c = Clicked(X, Y);
            if (c == ccHorizontal)
                chart->ShowPartCursor(crVSplit);
            else if (c == ccVertical)
                chart->ShowPartCursor(crHSplit);
            else if (c == ccBoth)
                chart->ShowPartCursor(crSizeAll);
            chart->SetCancelMouse(c != ccNone);
        }
        break;
    case cmeUp:
        Dragging = ccNone;
        break;
    }
}
