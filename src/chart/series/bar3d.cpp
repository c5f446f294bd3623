// 3D bar series: each bar stands on its own offset value.
#include "chart/series/bar3d.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TBar3DSeries, TBarSeries, TComponent)

QM_PUBLISHED(TBar3DSeries, Prop("OffsetValues", &Self::OffsetValues));

TBar3DSeries::TBar3DSeries(TComponent* AOwner) : TBarSeries(AOwner) {
    FOffsetValues = new TChartValueList(this, "Offset");
}

int TBar3DSeries::AddBar(double X, double Y, double Offset, const AnsiString& Label, TColor Color) {
    FOffsetValues->SetTempValue(Offset);
    return AddXY(X, Y, Label, Color);
}

double TBar3DSeries::PointOrigin(int ValueIndex, bool SumAll) {
    (void)SumAll;
    return FOffsetValues->Value(ValueIndex);
}

double TBar3DSeries::GetOriginValue(int ValueIndex) {
    return TBarSeries::GetOriginValue(ValueIndex) + FOffsetValues->Value(ValueIndex);
}

void TBar3DSeries::DrawValue(int ValueIndex) {
    if (MultiBar() != mbNone && MultiBar() != mbSide) {
        TBarSeries::DrawValue(ValueIndex);
        return;
    }
    FBarColor = ValueColor(ValueIndex);
    if (FBarColor == clNone) return;
    const int left = CalcXPos(ValueIndex);
    int right = left + FBarSize + 1;
    int top = CalcYPos(ValueIndex);
    int bottom = CalcYPosValue(FOffsetValues->Value(ValueIndex));
    if (!BarPen()->Visible()) {
        if (bottom > top)
            ++bottom;
        else
            ++top;
        ++right;
    }
    TTeeBlend* blend = nullptr;
    BeginBar(TRect(left, std::min(top, bottom), right, std::max(top, bottom)), blend);
    TTeeFinally end([&] {
        if (blend) ParentChart()->Canvas()->EndBlending(blend);
    });
    DrawBar(ValueIndex, std::min(top, bottom), std::max(top, bottom));
}

double TBar3DSeries::MaxYValue() {
    const double base = TBarSeries::MaxYValue();
    if ((MultiBar() != mbNone && MultiBar() != mbSide) || Count() == 0) return base;
    return std::max(base, FOffsetValues->MaxValue());
}

double TBar3DSeries::MinYValue() {
    double result = TBarSeries::MinYValue();
    if (MultiBar() != mbNone && MultiBar() != mbSide) return result;
    for (int i = 0; i < Count(); ++i) {
        const double o = FOffsetValues->Value(i);
        if (o < 0) result = std::min(result, YValues()->Value(i) + o);
    }
    return result;
}

void TBar3DSeries::AddSampleValues(int NumValues) {
    TRandomBounds b = RandomBounds(NumValues);
    const double d = b.DifY;
    for (int i = 0; i < NumValues; ++i) {
        const double y = std::abs(Random(SafeInt(std::nearbyint(d)))) + 10;
        const double offset = std::fabs(d / (Random(5) + 1));
        AddBar(b.tmpX, y, offset);
        b.tmpX += b.StepX;
    }
}
