// Box plot: statistics of the samples in ascending order, the box with its median
// and whiskers, outlier marks, sample values and the gallery look.
#include "chart/series/teeboxplot.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teemarks.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <vector>

QM_CLASS_OWNED(TCustomBoxSeries, TPointSeries, TComponent)
QM_CLASS_OWNED(TBoxSeries, TCustomBoxSeries, TComponent)
QM_CLASS_OWNED(THorizBoxSeries, TCustomBoxSeries, TComponent)

QM_PUBLISHED(
    TCustomBoxSeries, Prop("ExtrOut", &Self::ExtrOut, &Self::SetExtrOut),
    Prop("MedianPen", &Self::MedianPen, &Self::SetMedianPen),
    Prop("MildOut", &Self::MildOut, &Self::SetMildOut),
    Prop("Position", &Self::Position, &Self::SetPosition),
    Prop("SampleValues", &Self::SampleValues, &Self::SetSampleValues),
    Prop("WhiskerLength", &Self::WhiskerLength, &Self::SetWhiskerLength),
    Prop("WhiskerPen", &Self::WhiskerPen, &Self::SetWhiskerPen),
    Prop("UseCustomValues", &Self::UseCustomValues, &Self::SetUseCustomValues).Default(false));

TCustomBoxSeries::TCustomBoxSeries(TComponent* AOwner) : TPointSeries(AOwner) {
    FExtrOut = std::make_unique<TSeriesPointer>(this);
    FExtrOut->SetStyle(psStar);
    FMedianPen = CreateChartPen();
    FMedianPen->SetStyle(psDot);
    FMildOut = std::make_unique<TSeriesPointer>(this);
    FMildOut->SetStyle(psCircle);
    FWhiskerPen = CreateChartPen();
    YValues()->SetName("Samples");
    XValues()->SetName("");
    // Samples stand at Position whatever their X, so every one is drawn.
    SetUseVisibleRange(false);
    Marks()->SetVisible(false);
    Marks()->Callout()->SetLength(0);
    Pointer()->Change3D(false);
    Pointer()->Pen()->SetWidth(1);
    Pointer()->ChangeHorizSize(15);
    Pointer()->ChangeVertSize(15);
    Pointer()->Brush()->SetColor(clWhite);
}

THorizBoxSeries::THorizBoxSeries(TComponent* AOwner) : TCustomBoxSeries(AOwner) {
    SetHorizontal();
    FVertical = false;
    XValues()->SetName("Samples");
    YValues()->SetName("");
}

void TCustomBoxSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustomBoxSeries*>(Source)) {
        FExtrOut->Assign(s->FExtrOut.get());
        FMedianPen->Assign(s->FMedianPen.get());
        FMildOut->Assign(s->FMildOut.get());
        FPosition = s->FPosition;
        FWhiskerLength = s->FWhiskerLength;
        FWhiskerPen->Assign(s->FWhiskerPen.get());
        FUseCustomValues = s->FUseCustomValues;
    }
    TPointSeries::Assign(Source);
}

void TCustomBoxSeries::SetParentChart(TCustomAxisPanel* Value) {
    // The outlier pointers belong to this series, so they draw on its chart.
    TPointSeries::SetParentChart(Value);
}

namespace {

// Q(p) of samples in ascending order, each standing at (k + 0.5) / N.
double Quantile(const std::vector<double>& Sorted, double P) {
    const int n = static_cast<int>(Sorted.size());
    double previous = 0, current = 0;
    int k = 0;
    for (; k < n; ++k) {
        previous = current;
        current = (k + 0.5) / n;
        if (current >= P) break;
    }
    // Reached at the first sample (or past the last): no neighbour to
    // interpolate from, so that sample itself.
    if (k == 0) return Sorted[0];
    if (k >= n) return Sorted[static_cast<size_t>(n - 1)];
    const double t = (P - previous) / (current - previous);
    const double below = Sorted[static_cast<size_t>(k - 1)];
    return below + (Sorted[static_cast<size_t>(k)] - below) * t;
}

} // namespace

void TCustomBoxSeries::RecalcStats() {
    const TChartValueList* s = SampleValues();
    const int n = s->Count();
    if (FUseCustomValues || n == 0) return;
    // The samples keep the order they were added in; the statistics need them
    // ascending, and the adjacent points stay indexes into the series' points.
    // Samples that are not numbers sort last, so the order stays strict.
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [s](int A, int B) {
        const double a = s->Value(A), b = s->Value(B);
        return a < b || (!std::isnan(a) && std::isnan(b));
    });
    std::vector<double> sorted(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        sorted[static_cast<size_t>(i)] = s->Value(order[static_cast<size_t>(i)]);
    const size_t half = static_cast<size_t>(n / 2);
    FMedian = n % 2 == 0 ? (sorted[half - 1] + sorted[half]) * 0.5 : sorted[half];
    FQuartile1 = Quantile(sorted, 0.25);
    FQuartile3 = Quantile(sorted, 0.75);
    const double iqr = FQuartile3 - FQuartile1;
    FInnerFence1 = FQuartile1 - FWhiskerLength * iqr;
    FInnerFence3 = FQuartile3 + FWhiskerLength * iqr;
    FOuterFence1 = FQuartile1 - 2 * FWhiskerLength * iqr;
    FOuterFence3 = FQuartile3 + 2 * FWhiskerLength * iqr;
    FAdjacentPoint1 = n;
    for (int i = 0; i < n; ++i)
        if (sorted[static_cast<size_t>(i)] >= FInnerFence1) {
            FAdjacentPoint1 = order[static_cast<size_t>(i)];
            break;
        }
    FAdjacentPoint3 = order[static_cast<size_t>(n - 1)];
    for (int i = n / 2; i < n; ++i)
        if (sorted[static_cast<size_t>(i)] >= FInnerFence3) {
            FAdjacentPoint3 = i > 0 ? order[static_cast<size_t>(i - 1)] : -1;
            break;
        }
}

void TCustomBoxSeries::DoBeforeDrawValues() {
    TPointSeries::DoBeforeDrawValues();
    RecalcStats();
}

int TCustomBoxSeries::AcrossPos(double Value) {
    return FVertical ? CalcXPosValue(Value) : CalcYPosValue(Value);
}

int TCustomBoxSeries::AlongPos(double Value) {
    return FVertical ? CalcYPosValue(Value) : CalcXPosValue(Value);
}

void TCustomBoxSeries::DrawValue(int ValueIndex) {
    const double v = SampleValues()->Value(ValueIndex);
    if (v >= FInnerFence1 && v <= FInnerFence3) return;
    const bool mild =
        (v >= FOuterFence1 && v < FInnerFence1) || (v > FInnerFence3 && v <= FOuterFence3);
    TSeriesPointer* p = mild ? FMildOut.get() : FExtrOut.get();
    if (!p->Visible()) return;
    const TColor color = ValueColor(ValueIndex);
    p->PrepareCanvas(ParentChart()->Canvas(), color);
    const int across = AcrossPos(FPosition), along = AlongPos(v);
    if (FVertical)
        p->Draw(across, along, color, p->Style());
    else
        p->Draw(along, across, color, p->Style());
}

void TCustomBoxSeries::DrawAllValues() {
    TPointSeries::DrawAllValues();
    TCustomAxisPanel* chart = ParentChart();
    const int n = SampleValues()->Count();
    if (!chart || n == 0) return;
    TCanvas3D* canvas = chart->Canvas();
    const bool is3D = chart->View3D();
    const int z = StartZ();
    const int mid = AcrossPos(FPosition);
    const int half = Pointer()->HorizSize();
    int a = mid - half, b = mid + half;
    int q1 = AlongPos(FQuartile1), q3 = AlongPos(FQuartile3);
    if (a > b) std::swap(a, b);
    if (q1 > q3) std::swap(q1, q3);
    // Draws a line across the box (at a value) or along it, in screen terms.
    auto line = [&](int along0, int across0, int along1, int across1) {
        TPoint p0 = FVertical ? TPoint(across0, along0) : TPoint(along0, across0);
        TPoint p1 = FVertical ? TPoint(across1, along1) : TPoint(along1, across1);
        if (is3D)
            canvas->LineWithZ(p0, p1, z);
        else
            canvas->Line(p0.x, p0.y, p1.x, p1.y);
    };
    if (Pointer()->Visible()) {
        Pointer()->PrepareCanvas(canvas, Pointer()->Brush()->Color());
        const int alongMid = (q1 + q3) / 2, alongHalf = (q3 - q1) / 2;
        if (FVertical)
            Pointer()->DrawPointer(canvas, is3D, mid, alongMid, half, alongHalf,
                                   Pointer()->Brush()->Color(), Pointer()->Style());
        else
            Pointer()->DrawPointer(canvas, is3D, alongMid, mid, alongHalf, half,
                                   Pointer()->Brush()->Color(), Pointer()->Style());
    }
    if (FMedianPen->Visible()) {
        canvas->AssignVisiblePen(FMedianPen.get());
        canvas->SetBackMode(cbmTransparent);
        const int m = AlongPos(FMedian);
        line(m, a, m, b);
    }
    if (FWhiskerPen->Visible()) {
        canvas->AssignVisiblePen(FWhiskerPen.get());
        canvas->SetBackMode(cbmTransparent);
        const double upper = FQuartile3 >= FQuartile1 ? FQuartile3 : FQuartile1;
        const double lower = FQuartile3 >= FQuartile1 ? FQuartile1 : FQuartile3;
        if (FAdjacentPoint1 >= 0 && FAdjacentPoint1 < n) {
            const int p = AlongPos(SampleValues()->Value(FAdjacentPoint1));
            line(AlongPos(lower), mid, p, mid);
            line(p, a, p, b);
        }
        if (FAdjacentPoint3 >= 0 && FAdjacentPoint3 < n) {
            const int p = AlongPos(SampleValues()->Value(FAdjacentPoint3));
            line(AlongPos(upper), mid, p, mid);
            line(p, a, p, b);
        }
    }
}

void TCustomBoxSeries::AddSampleValues(int NumValues) {
    const int series = ParentChart() ? ParentChart()->SeriesCount() : 0;
    const double k = (Random(10) + 3.0) * (series + 1);
    auto add = [this](double v) {
        if (FVertical)
            AddY(v);
        else
            AddX(v);
    };
    add(-k);
    for (int j = 2; j <= NumValues - 2; ++j)
        add(k * j / NumValues);
    add(2 * k);
}

void TCustomBoxSeries::PrepareForGallery(bool IsEnabled) {
    TPointSeries::PrepareForGallery(IsEnabled);
    int index = 0;
    if (TCustomAxisPanel* chart = ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            if (chart->Series(i) == this) index = i;
    FPosition = index + 1;
    Pointer()->ChangeHorizSize(12);
    FMildOut->ChangeHorizSize(3);
    FExtrOut->ChangeVertSize(3);
    Clear();
    FillSampleValues((index + 1) * 10);
}
