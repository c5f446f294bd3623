// Bubble series: radius values, bubble sizes from the axes, extremes that
// keep whole bubbles on the axes.
#include "chart/control/series_bubble.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teemarks.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TBubbleSeries, TPointSeries, TComponent)

QM_PUBLISHED(
    TBubbleSeries,
    Prop("ColorEachPoint", &Self::ColorEachPoint, &TChartSeries::SetColorEachPoint).Default(true),
    Prop("RadiusValues", &Self::RadiusValues),
    Prop("Squared", &Self::Squared, &Self::SetSquared).Default(true),
    Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0));

TBubbleSeries::TBubbleSeries(TComponent* AOwner) : TPointSeries(AOwner) {
    FRadiusValues = new TChartValueList(this, TeeMsg_ValuesBubbleRadius);
    SetColorEachPoint(true);
    Pointer()->SetInflateMargins(false);
    Pointer()->ChangeStyle(psCircle);
    Marks()->Frame()->InitVisible(false);
    Marks()->SetTransparent(true);
}

void TBubbleSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TBubbleSeries*>(Source)) FSquared = s->FSquared;
    TPointSeries::Assign(Source);
}

int TBubbleSeries::AddBubble(double AX, double AY, double ARadius, const AnsiString& ALabel,
                             TColor AColor) {
    FRadiusValues->SetTempValue(ARadius);
    return AddXY(AX, AY, ALabel, AColor);
}

void TBubbleSeries::AddSampleValues(int NumValues) {
    const TRandomBounds b = RandomBounds(NumValues);
    double x = b.tmpX;
    for (int i = 0; i < NumValues; ++i) {
        const double d = b.DifY;
        const int range = SafeInt(std::nearbyint(d));
        AddBubble(x, Random(range), std::nearbyint(d / (10 + Random(15))) + d / 15);
        x += b.StepX;
    }
}

bool TBubbleSeries::IsValidSourceOf(TChartSeries* Value) {
    return dynamic_cast<TBubbleSeries*>(Value) != nullptr;
}

void TBubbleSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || !GetVertAxis() || !GetHorizAxis()) return;
    TCanvas3D* canvas = chart->Canvas();
    const double r = FRadiusValues->Value(ValueIndex);
    const int vs = GetVertAxis()->CalcSizeValue(r);
    const int hs = FSquared ? vs : GetHorizAxis()->CalcSizeValue(r);
    TPointerSizeKeeper keep(Pointer());
    Pointer()->ChangeHorizSize(hs);
    Pointer()->ChangeVertSize(vs);
    const int x = CalcXPos(ValueIndex);
    const int y = CalcYPos(ValueIndex);
    TTeeBlend* blend = nullptr;
    if (Transparency() > 0)
        blend = canvas->BeginBlending(
            canvas->CalcRect3D(TRect(x - hs, y - vs, x + hs, y + vs), StartZ()), Transparency());
    DrawPointer(x, y, ValueColor(ValueIndex), ValueIndex);
    if (blend) canvas->EndBlending(blend);
}

void TBubbleSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    const int size = std::min(Rect.Right - Rect.Left, Rect.Bottom - Rect.Top);
    TPointerSizeKeeper keep(Pointer());
    Pointer()->ChangeHorizSize(size);
    Pointer()->ChangeVertSize(size);
    TPointSeries::DrawLegendShape(ValueIndex, Rect);
}

double TBubbleSeries::MaxYValue() {
    double result = TPointSeries::MaxYValue();
    for (int i = 0; i < Count(); ++i)
        result = std::max(result, YValues()->Value(i) + FRadiusValues->Value(i));
    return result;
}

double TBubbleSeries::MinYValue() {
    double result = TPointSeries::MinYValue();
    for (int i = 0; i < Count(); ++i)
        result = std::min(result, YValues()->Value(i) - FRadiusValues->Value(i));
    return result;
}

double TBubbleSeries::MaxZValue() {
    if (!Pointer()->Draw3D() || Count() == 0) return TPointSeries::MaxZValue();
    return FRadiusValues->MaxValue();
}

double TBubbleSeries::MinZValue() {
    if (!Pointer()->Draw3D() || Count() == 0) return TPointSeries::MinZValue();
    return -FRadiusValues->MaxValue();
}
