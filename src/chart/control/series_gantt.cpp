// Gantt series: end and next-task value lists, bars stretched from start to
// end, connecting lines, bar clicks and centred marks.
#include "chart/control/series_gantt.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teegeometry.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>

QM_CLASS_OWNED(TGanttSeries, TPointSeries, TComponent)

// The start list is the X values under the task's name for it.
QM_PUBLISHED(
    TGanttSeries,
    Prop("ColorEachPoint", &Self::ColorEachPoint, &TChartSeries::SetColorEachPoint).Default(true),
    Prop("XValues", &Self::XValues).Stored(false),
    Prop("ConnectingPen", &Self::ConnectingPen, &Self::SetConnectingPen),
    Prop("StartValues", &Self::StartValues, &Self::SetStartValues),
    Prop("EndValues", &Self::EndValues, &Self::SetEndValues),
    Prop("NextTask", &Self::NextTask, &Self::SetNextTask));

TGanttSeries::TGanttSeries(TComponent* AOwner) : TPointSeries(AOwner) {
    SetHorizontal();
    SetClickableLine(false);
    SetUseVisibleRange(false);
    XValues()->SetName(TeeMsg_ValuesGanttStart);
    XValues()->InitDateTime(true);
    SetColorEachPoint(true);
    FEndValues = new TChartValueList(this, TeeMsg_ValuesGanttEnd);
    FEndValues->InitDateTime(true);
    FNextTask = new TChartValueList(this, TeeMsg_ValuesGanttNextTask);
    FNextTask->SetTempValue(-1);
    Pointer()->ChangeStyle(psRectangle);
}

int TGanttSeries::AddGanttColor(double AStart, double AEnd, double AY, const AnsiString& ALabel,
                                TColor AColor) {
    FEndValues->SetTempValue(AEnd);
    return AddXY(AStart, AY, ALabel, AColor);
}

// Every task starts without a next task. The pending value is reset after the
// point, not before it, so stored point data (which sets every list's pending
// value first) keeps its next tasks.
int TGanttSeries::AddXY(double X, double Y, const AnsiString& Label, TColor Color) {
    TTeeFinally reset([this] { FNextTask->SetTempValue(-1); });
    return TPointSeries::AddXY(X, Y, Label, Color);
}

void TGanttSeries::AddSampleValues(int NumValues) {
    static const AnsiString* labels[] = {
        &TeeMsg_GanttSample1, &TeeMsg_GanttSample2, &TeeMsg_GanttSample3, &TeeMsg_GanttSample4,
        &TeeMsg_GanttSample5, &TeeMsg_GanttSample6, &TeeMsg_GanttSample7, &TeeMsg_GanttSample8,
        &TeeMsg_GanttSample9, &TeeMsg_GanttSample10};
    const int count = std::min(NumValues, Random(20) + 10);
    const double today = std::floor(Date());
    for (int i = 0; i <= count; ++i) {
        const double start = today + 3 * i + Random(5);
        const double end = start + 9 + Random(16);
        const int added = AddGantt(start, end, i % 10, *labels[i % 10]);
        for (int t = 0; t < added; ++t)
            if (FNextTask->Value(t) == -1 && FEndValues->Value(t) < start) {
                FNextTask->SetValueQuiet(t, added);
                break;
            }
    }
}

void TGanttSeries::PrepareForGallery(bool IsEnabled) {
    TPointSeries::PrepareForGallery(IsEnabled);
    SetColorEachPoint(true);
    Pointer()->SetVertSize(3);
}

bool TGanttSeries::IsValidSourceOf(TChartSeries* Value) {
    return dynamic_cast<TGanttSeries*>(Value) != nullptr;
}

void TGanttSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || !Pointer()->Visible()) return;
    TCanvas3D* canvas = chart->Canvas();
    const TColor color = ValueColor(ValueIndex);
    Pointer()->PrepareCanvas(canvas, color);
    const int x0 = CalcXPos(ValueIndex);
    const int x1 = CalcXPosValue(FEndValues->Value(ValueIndex));
    const int h = (x1 - x0) / 2;
    const int y = CalcYPos(ValueIndex);
    Pointer()->DrawPointer(canvas, chart->View3D(), x0 + h, y, h, Pointer()->VertSize(), color,
                           PointerStyle(ValueIndex));
    if (!ConnectingPen()->Visible()) return;
    const double next = FNextTask->Value(ValueIndex);
    if (!(next >= 0 && next < Count())) return;
    const int n = SafeInt(std::nearbyint(next));
    if (n >= Count()) return;
    canvas->AssignVisiblePen(ConnectingPen());
    canvas->Brush()->SetStyle(bsClear);
    const int nx = CalcXPos(n), ny = CalcYPos(n);
    const int m = x1 + (nx - x1) / 2;
    canvas->LineWithZ(x1, y, m, y, MiddleZ());
    canvas->LineTo3D(m, ny, MiddleZ());
    canvas->LineTo3D(nx, ny, MiddleZ());
}

bool TGanttSeries::ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y) {
    return X >= PX && X <= CalcXPosValue(FEndValues->Value(ValueIndex)) &&
           std::abs(Y - PY) < Pointer()->VertSize();
}

// Centred on the bar.
void TGanttSeries::DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) {
    const int end = CalcXPosValue(FEndValues->Value(ValueIndex));
    APosition->LeftTop.x += (end - APosition->ArrowFrom.x) / 2;
    APosition->LeftTop.y += APosition->Height / 2;
    TPointSeries::DrawMark(ValueIndex, St, APosition);
}

double TGanttSeries::MaxXValue() {
    const double base = TPointSeries::MaxXValue();
    return Count() ? std::max(base, FEndValues->MaxValue()) : base;
}
