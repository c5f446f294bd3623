// The chart's mouse: hit test, rubber-band zoom, panning, wheel and saved scales.
#include "chart/control/chart.h"

void TCustomChart::CalcClickedPart(const TPoint& Pos, TChartClickedPart& Part) {
    Part = CalcNeedClickedPart(Pos, false);
}

TChartClickedPart TCustomChart::CalcNeedClickedPart(const TPoint&, bool) {
    return {};
}

void TCustomChart::DoZoom(double, double, double, double, double, double, double, double) {}
void TCustomChart::ZoomRect(const TRect&) {}
void TCustomChart::CalcZoomPoints() {}
void TCustomChart::ZoomPercent(double) {}
void TCustomChart::UndoZoom() {
    TCustomTeePanelExtended::UndoZoom();
}
void TCustomChart::ScrollVerticalAxes(bool) {}
void TCustomChart::BroadcastChartMouseEvent(TChartMouseEvent, TMouseButton, TShiftState, int, int) {
}
void TCustomChart::SaveScales() {}
void TCustomChart::RestoreScales() {}

void TCustomChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomAxisPanel::MouseDown(Button, Shift, X, Y);
}
void TCustomChart::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomAxisPanel::MouseMove(Shift, X, Y);
}
void TCustomChart::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomAxisPanel::MouseUp(Button, Shift, X, Y);
}
bool TCustomChart::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    return TCustomAxisPanel::DoMouseWheel(Shift, WheelDelta, MousePos);
}
bool TCustomChart::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    return TCustomAxisPanel::DoMouseWheelDown(Shift, MousePos);
}
bool TCustomChart::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    return TCustomAxisPanel::DoMouseWheelUp(Shift, MousePos);
}
