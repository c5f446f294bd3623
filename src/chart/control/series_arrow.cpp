// Arrow series: end value lists, extremes over start and end points, arrows
// drawn as outlines in 2D and filled in 3D.
#include "chart/control/series_arrow.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teemarks.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TArrowSeries, TPointSeries, TComponent)

// The start lists are the X and Y values under their arrow names.
// The arrow head's size is the pointer's, which the file holds.
QM_PUBLISHED(TArrowSeries,
             Prop("ArrowHeight", &Self::ArrowHeight, &Self::SetArrowHeight).Stored(false),
             Prop("ArrowWidth", &Self::ArrowWidth, &Self::SetArrowWidth).Stored(false),
             Prop("XValues", &Self::XValues).Stored(false),
             Prop("YValues", &Self::YValues).Stored(false), Prop("EndXValues", &Self::EndXValues),
             Prop("EndYValues", &Self::EndYValues), Prop("StartXValues", &Self::StartXValues),
             Prop("StartYValues", &Self::StartYValues));

TArrowSeries::TArrowSeries(TComponent* AOwner) : TPointSeries(AOwner) {
    SetUseVisibleRange(false);
    XValues()->InitDateTime(true);
    FEndXValues = new TChartValueList(this, TeeMsg_ValuesArrowEndX);
    FEndXValues->InitDateTime(true);
    FEndYValues = new TChartValueList(this, TeeMsg_ValuesArrowEndY);
    Pointer()->SetInflateMargins(false);
    Marks()->Frame()->InitVisible(false);
    Marks()->SetTransparent(true);
}

int TArrowSeries::AddArrow(double X0, double Y0, double X1, double Y1, const AnsiString& ALabel,
                           TColor AColor) {
    FEndXValues->SetTempValue(X1);
    FEndYValues->SetTempValue(Y1);
    return AddXY(X0, Y0, ALabel, AColor);
}

void TArrowSeries::AddSampleValues(int NumValues) {
    const TRandomBounds b = RandomBounds(NumValues);
    const int w = SafeInt(std::nearbyint(NumValues * b.StepX));
    const int h = SafeInt(std::nearbyint(b.DifY));
    for (int i = 0; i < NumValues; ++i) {
        const double x0 = b.tmpX + Random(w);
        const double y0 = b.MinY + Random(h);
        AddArrow(x0, y0, x0 + Random(w), y0 + Random(h));
    }
}

void TArrowSeries::PrepareForGallery(bool IsEnabled) {
    TPointSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(3);
    SetArrowWidth(12);
    SetArrowHeight(12);
    if (!IsEnabled) SetSeriesColor(0xC0C0C0);
}

bool TArrowSeries::IsValidSourceOf(TChartSeries* Value) {
    return dynamic_cast<TArrowSeries*>(Value) != nullptr;
}

void TArrowSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const TPoint from(CalcXPos(ValueIndex), CalcYPos(ValueIndex));
    const TPoint to(CalcXPosValue(FEndXValues->Value(ValueIndex)),
                    CalcYPosValue(FEndYValues->Value(ValueIndex)));
    const TColor c = ValueColor(ValueIndex);
    const bool is3D = chart->View3D();
    if (is3D)
        Pointer()->PrepareCanvas(canvas, c);
    else
        canvas->AssignVisiblePenColor(Pointer()->Pen(), c);
    canvas->Arrow(is3D, from, to, ArrowWidth(), ArrowHeight(), MiddleZ());
}

double TArrowSeries::MaxXValue() {
    const double base = TPointSeries::MaxXValue();
    return Count() ? std::max(base, FEndXValues->MaxValue()) : base;
}

double TArrowSeries::MinXValue() {
    const double base = TPointSeries::MinXValue();
    return Count() ? std::min(base, FEndXValues->MinValue()) : base;
}

double TArrowSeries::MaxYValue() {
    const double base = TPointSeries::MaxYValue();
    return Count() ? std::max(base, FEndYValues->MaxValue()) : base;
}

double TArrowSeries::MinYValue() {
    const double base = TPointSeries::MinYValue();
    return Count() ? std::min(base, FEndYValues->MinValue()) : base;
}
