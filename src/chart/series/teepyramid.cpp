// Pyramid slices stacked by cumulative value.
#include "chart/engine/teeaxis.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "chart/series/teepyramid.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TPyramidSeries, TChartSeries, TComponent)

QM_PUBLISHED(TPyramidSeries,
             Prop("ColorEachPoint", &Self::ColorEachPoint, &Self::SetColorEachPoint).Default(true),
             Prop("Brush", &Self::Brush, &Self::SetBrush), Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("SizePercent", &Self::SizePercent, &Self::SetSize).Default(50));

TPyramidSeries::TPyramidSeries(TComponent* AOwner) : TChartSeries(AOwner) {
    SetColorEachPoint(true);
    // Slices are placed by value, not by X: every point is drawn.
    SetUseVisibleRange(false);
}

void TPyramidSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TPyramidSeries*>(Source)) FSizePercent = s->FSizePercent;
    TChartSeries::Assign(Source);
}

void TPyramidSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    LeftMargin = 20;
    RightMargin = 20;
}

double TPyramidSeries::MinXValue() {
    if (TCustomAxisPanel* chart = ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            if (chart->Series(i) == this) return i;
    return 0;
}

double TPyramidSeries::MaxYValue() {
    return LevelUpTo(Count() - 1);
}

double TPyramidSeries::AcumUpTo(int ValueIndex) {
    double result = 0;
    for (int i = 0; i <= std::min(ValueIndex, Count() - 1); ++i)
        result += YValues()->Value(i);
    return result;
}

double TPyramidSeries::LevelUpTo(int ValueIndex) {
    double result = 0;
    for (int i = 0; i <= std::min(ValueIndex, Count() - 1); ++i)
        if (!IsNull(i)) result += std::fabs(YValues()->Value(i));
    return result;
}

bool TPyramidSeries::DrawValuesForward() {
    return !(GetVertAxis() && GetVertAxis()->Inverted());
}

std::vector<TPoint> TPyramidSeries::SlicePoints(int ValueIndex) {
    const double total = LevelUpTo(Count() - 1);
    // One pyramid a series, at the series' own place on the horizontal axis.
    const int x = CalcXPosValue(MinXValue());
    const int axisLength = GetHorizAxis() ? GetHorizAxis()->IAxisSize : 0;
    const int base = SafeInt(std::nearbyint(axisLength * FSizePercent * 0.005));
    auto halfWidth = [&](double level) {
        const double p = total == 0 ? 0 : 100 - level * 100 / total;
        if (p <= 0) return 0;
        return SafeInt(std::nearbyint(base * std::min(p, 100.0) * 0.01));
    };
    const double from = LevelUpTo(ValueIndex - 1), to = LevelUpTo(ValueIndex);
    const int y0 = CalcYPosValue(from), y1 = CalcYPosValue(to);
    const int w0 = halfWidth(from), w1 = halfWidth(to);
    return {TPoint(x - w0, y0), TPoint(x + w0, y0), TPoint(x + w1, y1), TPoint(x - w1, y1)};
}

void TPyramidSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || IsNull(ValueIndex)) return;
    TCanvas3D* canvas = chart->Canvas();
    const TColor color = ValueColor(ValueIndex);
    canvas->AssignBrushColor(Brush(), color, color);
    canvas->AssignVisiblePen(Pen());
    const std::vector<TPoint> p = SlicePoints(ValueIndex);
    if (!chart->View3D()) {
        canvas->Polygon(p.data(), 3);
        return;
    }
    // A truncated pyramid from the lower level (p[0], p[1]) up to the upper one;
    // the depth narrows with the width.
    const double total = LevelUpTo(Count() - 1);
    const int depth = EndZ() - StartZ(), middle = (StartZ() + EndZ()) / 2;
    const auto halfDepth = [&](double Level) {
        const double percent = total == 0 ? 0 : 100 - Level * 100 / total;
        if (percent <= 0) return 0;
        return SafeInt(std::nearbyint(depth * std::min(percent, 100.0) * 0.005));
    };
    const int lower = halfDepth(LevelUpTo(ValueIndex - 1)),
              upper = halfDepth(LevelUpTo(ValueIndex));
    const int x = (p[0].x + p[1].x) / 2;
    canvas->PyramidTrunc(TRect(p[0].x, p[3].y, p[1].x, p[0].y), middle - lower, middle + lower,
                         p[2].x - x, upper);
}

void TPyramidSeries::DrawMark(int ValueIndex, const AnsiString& St,
                              TSeriesMarkPosition* APosition) {
    APosition->LeftTop.y = CalcYPosValue(LevelUpTo(ValueIndex)) - APosition->Height / 2;
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

int TPyramidSeries::Clicked(int X, int Y) {
    if (!ParentChart()) return -1;
    ParentChart()->Canvas()->Calculate2DPosition(X, Y, MiddleZ());
    for (int i = 0; i < Count(); ++i) {
        if (IsNull(i)) continue;
        const std::vector<TPoint> p = SlicePoints(i);
        if (PointInPolygon(TPoint(X, Y), p, 3)) return i;
    }
    return -1;
}
