// Line point and bar join series.
#include "chart/series/mypoint.h"
#include "chart/engine/teeaxis.h"

QM_CLASS_OWNED(TMyPointSeries, TPointSeries, TComponent)
QM_CLASS_OWNED(TBarJoinSeries, TBarSeries, TComponent)

QM_PUBLISHED(TMyPointSeries, Prop("LinesPen", &Self::LinesPen, &Self::SetLinesPen));
QM_PUBLISHED(TBarJoinSeries, Prop("JoinPen", &Self::JoinPen, &Self::SetJoinPen));

TMyPointSeries::TMyPointSeries(TComponent* AOwner) : TPointSeries(AOwner) {
    FLinesPen = CreateChartPen();
    FLinesPen->SetColor(255);
    Pointer()->ChangeStyle(psDiamond);
    Pointer()->Change3D(false);
}

void TMyPointSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TMyPointSeries*>(Source)) FLinesPen->Assign(s->FLinesPen.get());
    TPointSeries::Assign(Source);
}

void TMyPointSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (chart && GetHorizAxis() && GetVertAxis()) {
        TCanvas3D* canvas = chart->Canvas();
        const int x = CalcXPos(ValueIndex), y = CalcYPos(ValueIndex);
        canvas->Brush()->SetStyle(bsClear);
        canvas->SetBackMode(cbmTransparent);
        canvas->AssignVisiblePen(FLinesPen.get());
        const int z = StartZ();
        canvas->MoveTo3D(GetVertAxis()->PosAxis, y, z);
        canvas->LineTo3D(x, y, z);
        canvas->LineTo3D(x, GetHorizAxis()->PosAxis, z);
    }
    TPointSeries::DrawValue(ValueIndex);
}

TBarJoinSeries::TBarJoinSeries(TComponent* AOwner) : TBarSeries(AOwner) {
    FJoinPen = CreateChartPen();
}

void TBarJoinSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TBarJoinSeries*>(Source)) FJoinPen->Assign(s->FJoinPen.get());
    TBarSeries::Assign(Source);
}

// Series sharing a depth slot in 3D are drawn bar by bar, not through
// DrawAllValues: every drawing of the chart starts with no bar before.
void TBarJoinSeries::DoBeforeDrawChart() {
    TBarSeries::DoBeforeDrawChart();
    FFirst = true;
}

void TBarJoinSeries::DrawAllValues() {
    FFirst = true;
    TBarSeries::DrawAllValues();
}

void TBarJoinSeries::DrawBar(int BarIndex, int StartPos, int EndPos) {
    TBarSeries::DrawBar(BarIndex, StartPos, EndPos);
    const TRect r = BarRect;
    if (!FFirst && FJoinPen->Visible()) {
        TCanvas3D* canvas = ParentChart()->Canvas();
        canvas->AssignVisiblePen(FJoinPen.get());
        canvas->SetBackMode(cbmTransparent);
        TPoint from, to;
        const TBarStyle style = GetBarStyle(BarIndex);
        if (style == bsPyramid || style == bsEllipse || style == bsArrow || style == bsCone) {
            from = TPoint((FPrevious.Left + FPrevious.Right) / 2, FPrevious.Top);
            to = TPoint((r.Left + r.Right) / 2, r.Top);
        } else if (DrawValuesForward()) {
            from = TPoint(FPrevious.Right, FPrevious.Top);
            to = TPoint(r.Left, r.Top);
        } else {
            from = TPoint(r.Right, r.Top);
            to = TPoint(FPrevious.Left, FPrevious.Top);
        }
        if (ParentChart()->View3D())
            canvas->LineWithZ(from, to, MiddleZ());
        else
            canvas->Line(from.x, from.y, to.x, to.y);
    }
    FPrevious = r;
    FFirst = false;
}

void TBarJoinSeries::PrepareForGallery(bool IsEnabled) {
    TBarSeries::PrepareForGallery(IsEnabled);
    FJoinPen->SetColor(16711680);
    FJoinPen->SetWidth(2);
}
