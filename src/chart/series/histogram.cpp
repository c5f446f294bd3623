// Histogram bars: geometry shared by drawing and clicks, fill, outline and
// separator lines.
#include "chart/series/histogram.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teegeometry.h"
#include <algorithm>

QM_CLASS_OWNED(THistogramSeries, TCustomLineSeries, TComponent)

QM_PUBLISHED(THistogramSeries, Prop("Brush", &Self::Brush, &Self::SetBrush),
             Prop("LinePen", &Self::LinePen, &Self::SetLinePen),
             Prop("LinesPen", &Self::LinesPen, &Self::SetLinesPen),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0));

THistogramSeries::THistogramSeries(TComponent* AOwner) : TCustomLineSeries(AOwner) {
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FLinesPen = std::make_unique<TChartHiddenPen>(changed);
}

void THistogramSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<THistogramSeries*>(Source)) {
        FLinesPen->Assign(s->FLinesPen.get());
        FTransparency = s->FTransparency;
    }
    TCustomLineSeries::Assign(Source);
}

int THistogramSeries::HalfWidth() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || !GetHorizAxis()) return 0;
    const int visible = chart->MaxPointsPerPage() > 0 ? chart->MaxPointsPerPage() : Count();
    if (visible <= 0) return 0;
    return GetHorizAxis()->IAxisSize / visible / 2;
}

int THistogramSeries::BottomPos() {
    TChartAxis* axis = GetVertAxis();
    if (!axis) return 0;
    return axis->Inverted() ? axis->IStartPos : axis->IEndPos;
}

void THistogramSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    TCustomLineSeries::CalcHorizMargins(LeftMargin, RightMargin);
    const int h = HalfWidth();
    LeftMargin += h;
    RightMargin += h + (Pen()->Visible() ? Pen()->Width() : 0);
}

void THistogramSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TCustomLineSeries::CalcVerticalMargins(TopMargin, BottomMargin);
    if (Pen()->Visible()) TopMargin += Pen()->Width();
}

TRect THistogramSeries::BarBounds(int ValueIndex) {
    const int h = HalfWidth();
    const int x = CalcXPos(ValueIndex);
    const int left = ValueIndex == FFirst ? x - h + 1 : FPreviousRight;
    const int right = ValueIndex == FFirst ? left + 2 * h : x + h + 1;
    return TRect(left, CalcYPos(ValueIndex), right, BottomPos());
}

void THistogramSeries::DrawAllValues() {
    FFirst = FirstVisibleIndex();
    FLast = std::min(LastVisibleIndex(), Count() - 1);
    TCustomLineSeries::DrawAllValues();
}

void THistogramSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const bool is3D = chart->View3D();
    const int z = MiddleZ();
    TRect r = BarBounds(ValueIndex);
    const TColor color = ValueColor(ValueIndex);
    if (Brush()->Style() != bsClear) {
        canvas->Pen()->SetStyle(psClear);
        canvas->AssignBrushColor(Brush(), color, color);
        TRect fill(r.Left, r.Top, r.Right, r.Bottom);
        if (GetVertAxis() && GetVertAxis()->Inverted()) ++fill.Top;
        TTeeBlend* blend = nullptr;
        if (FTransparency > 0) {
            const TRect b = is3D ? TRect(canvas->Calculate3DPosition(fill.Left, fill.Top, z),
                                         canvas->Calculate3DPosition(fill.Right, fill.Bottom, z))
                                 : fill;
            blend = canvas->BeginBlending(b, FTransparency);
        }
        if (is3D)
            canvas->RectangleWithZ(TRect(fill.Left, fill.Top, fill.Right - 1, fill.Bottom), z);
        else
            canvas->Rectangle(fill.Left, fill.Top, fill.Right, fill.Bottom);
        if (blend) canvas->EndBlending(blend);
    }
    auto vline = [&](int x, int y0, int y1) {
        if (is3D)
            canvas->VertLine3D(x, y0, y1, z);
        else
            canvas->DoVertLine(x, y0, y1);
    };
    auto hline = [&](int x0, int x1, int y) {
        if (is3D)
            canvas->HorizLine3D(x0, x1, y, z);
        else
            canvas->DoHorizLine(x0, x1, y);
    };
    if (Pen()->Visible()) {
        canvas->AssignVisiblePen(Pen());
        vline(r.Left, ValueIndex == FFirst ? r.Bottom : FPreviousTop, r.Top);
        hline(r.Left, r.Right, r.Top);
        if (ValueIndex == FLast) vline(r.Right - 1, r.Top, r.Bottom);
    }
    if (FLinesPen->Visible() && ValueIndex != FFirst) {
        canvas->AssignVisiblePen(FLinesPen.get());
        // The top nearer the bottom, so the separator stays inside both bars.
        const bool down = r.Bottom >= r.Top;
        const int top = down ? std::max(r.Top, FPreviousTop) : std::min(r.Top, FPreviousTop);
        vline(r.Left, r.Bottom, Pen()->Visible() ? top : top + (down ? 1 : -1));
    }
    FPreviousRight = r.Right - 1;
    FPreviousTop = r.Top;
}

int THistogramSeries::Clicked(int X, int Y) {
    if (Count() == 0 || FirstVisibleIndex() < 0) return -1;
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->Calculate2DPosition(X, Y, MiddleZ());
    FFirst = FirstVisibleIndex();
    const int last = std::min(LastVisibleIndex(), Count() - 1);
    for (int i = FFirst; i <= last; ++i) {
        const TRect r = BarBounds(i);
        FPreviousRight = r.Right - 1;
        if (PointInRect(OrientRectangle(r), X, Y)) return i;
    }
    return -1;
}

void THistogramSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustomLineSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    for (const char* name : {"Hollow", "No Border", "Lines", "Transparency"})
        AddSubChart(name);
}

void THistogramSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<THistogramSeries*>(Series);
    if (!s) return TCustomLineSeries::SetSubGallery(Series, Index);
    switch (Index) {
    case 1:
        s->Brush()->SetStyle(bsClear);
        break;
    case 2:
        s->Pen()->SetVisible(false);
        break;
    case 3:
        s->LinesPen()->SetVisible(true);
        break;
    case 4:
        s->SetTransparency(30);
        break;
    default:
        TCustomLineSeries::SetSubGallery(Series, Index);
    }
}
