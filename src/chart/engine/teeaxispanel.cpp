// The axis panel:
//   Axes list    the five standard axes and the custom ones, in one list
//   Panel        construction, settings, assignment, published properties
//   One frame    depth slots, axes placement, walls, series and marks
//   Ranges       the limits the axes take from their series
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeseries.h"
#include "chart/engine/teetools.h"
#include "platform/classes/props.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>

// ---------------------------------------------------------------------------
// Axes list

TChartAxes::~TChartAxes() {
    Clear();
}

TChartAxis* TChartAxes::LeftAxis() const {
    return FChart->LeftAxis();
}
TChartAxis* TChartAxes::TopAxis() const {
    return FChart->TopAxis();
}
TChartAxis* TChartAxes::RightAxis() const {
    return FChart->RightAxis();
}
TChartAxis* TChartAxes::BottomAxis() const {
    return FChart->BottomAxis();
}
TChartAxis* TChartAxes::DepthAxis() const {
    return FChart->DepthAxis();
}
bool TChartAxes::Behind() const {
    return FChart->AxisBehind();
}
void TChartAxes::SetBehind(bool Value) {
    FChart->SetAxisBehind(Value);
}
bool TChartAxes::Visible() const {
    return FChart->AxisVisible();
}
void TChartAxes::SetVisible(bool Value) {
    FChart->SetAxisVisible(Value);
}

void TChartAxes::SetFastCalc(bool Value) {
    FFastCalc = Value;
    for (int i = 0; i < Count(); ++i)
        Get(i)->SetCalcPosValue();
}

void TChartAxes::Clear() {
    // Each axis would remove itself; taking it out first keeps this safe
    // while the panel is being torn down.
    while (Count() > 0) {
        std::unique_ptr<TChartAxis> axis(Get(0));
        TList::Delete(0);
    }
}

// ---------------------------------------------------------------------------
// Panel

TCustomAxisPanel::TCustomAxisPanel(TComponent* AOwner) : TCustomTeePanelExtended(AOwner) {
    SetAutoRepaint(false);
    FTools = std::make_unique<TChartTools>(this);
    FSeriesList = std::make_unique<TChartSeriesList>(this);
    FAxes = std::make_unique<TChartAxes>(this);
    FCustomAxes = std::make_unique<TChartCustomAxes>(this);

    // The axes list owns the five standard axes.
    FBottomAxis = new TChartAxis(this);
    FBottomAxis->SetHorizontal(true);

    FTopAxis = new TChartAxis(this);
    FTopAxis->SetHorizontal(true);
    FTopAxis->SetOtherSide(true);
    FTopAxis->SetZPosition(100);
    FTopAxis->Grid()->SetZ(100);
    FTopAxis->Grid()->SetDefaultZ(100);

    FLeftAxis = new TChartAxis(this);
    FLeftAxis->Title()->SetAngle(90);
    FLeftAxis->Title()->SetDefaultAngle(90);

    FRightAxis = new TChartAxis(this);
    FRightAxis->SetOtherSide(true);
    FRightAxis->SetZPosition(100);
    FRightAxis->Grid()->SetZ(100);
    FRightAxis->Grid()->SetDefaultZ(100);
    FRightAxis->Title()->SetAngle(270);
    FRightAxis->Title()->SetDefaultAngle(270);

    FDepthAxis = new TChartDepthAxis(this);
    FDepthAxis->SetOtherSide(true);
    for (int i = 0; i < FAxes->Count(); ++i)
        FAxes->Get(i)->SetCalcPosValue();

    FPage = 1;
    FScaleLastPage = true;
    SetAutoRepaint(true);
}

TCustomAxisPanel::~TCustomAxisPanel() {
    SetAutoRepaint(false);
    FreeAllSeries(nullptr);
    // Tools may still hold the axes they draw on.
    FTools.reset();
    FAxes->Clear();
    FCustomAxes.reset();
    FBottomAxis = FTopAxis = FLeftAxis = FRightAxis = nullptr;
    FDepthAxis = nullptr;
    FDesigner.reset();
    FAxes.reset();
}

void TCustomAxisPanel::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TCustomAxisPanel*>(Source)) {
        FAxisBehind = p->FAxisBehind;
        FAxisVisible = p->FAxisVisible;
        FBottomAxis->Assign(p->FBottomAxis);
        FClipPoints = p->FClipPoints;
        FCustomAxes->Assign(p->FCustomAxes.get());
        FLeftAxis->Assign(p->FLeftAxis);
        FDepthAxis->Assign(p->FDepthAxis);
        FMaxPointsPerPage = p->FMaxPointsPerPage;
        FPage = p->FPage;
        FRightAxis->Assign(p->FRightAxis);
        FScaleLastPage = p->FScaleLastPage;
        FTopAxis->Assign(p->FTopAxis);
        FView3DWalls = p->FView3DWalls;
    }
    TCustomTeePanelExtended::Assign(Source);
}

void TCustomAxisPanel::SetCustomAxes(TChartCustomAxes* Value) {
    FCustomAxes->Assign(Value);
}
bool TCustomAxisPanel::IsCustomAxesStored() const {
    return FCustomAxes->Count() > 0;
}
void TCustomAxisPanel::SetBottomAxis(TChartAxis* Value) {
    FBottomAxis->Assign(Value);
}
void TCustomAxisPanel::SetTopAxis(TChartAxis* Value) {
    FTopAxis->Assign(Value);
}
void TCustomAxisPanel::SetLeftAxis(TChartAxis* Value) {
    FLeftAxis->Assign(Value);
}
void TCustomAxisPanel::SetRightAxis(TChartAxis* Value) {
    FRightAxis->Assign(Value);
}
void TCustomAxisPanel::SetDepthAxis(TChartDepthAxis* Value) {
    FDepthAxis->Assign(Value);
}
void TCustomAxisPanel::SetAxisBehind(bool Value) {
    SetBooleanProperty(FAxisBehind, Value);
}
void TCustomAxisPanel::SetAxisVisible(bool Value) {
    SetBooleanProperty(FAxisVisible, Value);
}
void TCustomAxisPanel::SetClipPoints(bool Value) {
    SetBooleanProperty(FClipPoints, Value);
}
void TCustomAxisPanel::SetView3DWalls(bool Value) {
    SetBooleanProperty(FView3DWalls, Value);
}
void TCustomAxisPanel::SetScaleLastPage(bool Value) {
    SetBooleanProperty(FScaleLastPage, Value);
}
void TCustomAxisPanel::SetApplyZOrder(bool Value) {
    SetBooleanProperty(FApplyZOrder, Value);
}

void TCustomAxisPanel::SetDesigner(TTeeCustomDesigner* Value) {
    FDesigner.reset(Value);
}

AnsiString TCustomAxisPanel::FormattedValueLegend(TChartSeries* ASeries, int ValueIndex) {
    (void)ASeries;
    (void)ValueIndex;
    return AnsiString();
}

void TCustomAxisPanel::DoOnAfterDraw() {
    if (OnAfterDraw) OnAfterDraw(this);
}
void TCustomAxisPanel::DoOnBeforeDrawAxes() {
    if (OnBeforeDrawAxes) OnBeforeDrawAxes(this);
}
void TCustomAxisPanel::DoOnBeforeDrawChart() {
    if (OnBeforeDrawChart) OnBeforeDrawChart(this);
}
void TCustomAxisPanel::DoOnBeforeDrawSeries() {
    if (OnBeforeDrawSeries) OnBeforeDrawSeries(this);
}

bool TCustomAxisPanel::IsAxisVisible(TChartAxis* Axis) {
    if (!FAxisVisible || !Axis->Visible()) return false;
    if (Axis == FDepthAxis) return View3D();
    bool anyActive = false;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = GetSeries(i);
        if (!s->Active()) continue;
        anyActive = true;
        if (!s->UseAxis()) return false;
        if (s->AssociatedToAxis(Axis)) return true;
    }
    return !anyActive;
}

// ---------------------------------------------------------------------------
// One frame

void TCustomAxisPanel::CalcInvertedRotation() {
    TView3DOptions* o = View3DOptions();
    InvertedRotation = View3D() && (o->Orthogonal() ? o->OrthoAngle() > 90 : o->Rotation() < 270);
}

void TCustomAxisPanel::CalcSize3DWalls() {
    if (!View3D()) {
        SeriesDepthWidth = 0;
        SeriesDepthHeight = 0;
        SetWidth3D(0);
        SetHeight3D(0);
        return;
    }
    double f = Chart3DPercent() * 0.001;
    if (!View3DOptions()->Orthogonal()) f *= 2;
    SeriesDepthWidth = PixelPos(ChartWidth() * f);
    const double r = View3DOptions()->CalcOrthoRatio();
    if (r > 1) SeriesDepthWidth = PixelPos(SeriesDepthWidth / r);
    SeriesDepthHeight = PixelPos(SeriesDepthWidth * r);
    const int n = FApplyZOrder ? std::max(1, MaxDepthOrder + 1) : 1;
    SetHeight3D(SafeInt(double(SeriesDepthHeight) * n));
    SetWidth3D(SafeInt(double(SeriesDepthWidth) * n));
}

void TCustomAxisPanel::PlaceAxes() {
    for (int i = 0; i < FAxes->Count(); ++i)
        FAxes->Get(i)->AdjustMaxMin();
    for (int i = 0; i < FAxes->Count(); ++i)
        FAxes->Get(i)->InternalCalcPositions();
    TRect r = ChartRect();
    for (int i = 0; i < FAxes->Count(); ++i) {
        TChartAxis* axis = FAxes->Get(i);
        if (!IsAxisVisible(axis)) continue;
        TRect t = r;
        axis->CalcRect(t, i < 5);
        const TRect both(std::max(t.Left, r.Left), std::max(t.Top, r.Top),
                         std::min(t.Right, r.Right), std::min(t.Bottom, r.Bottom));
        if (both.Left < both.Right && both.Top < both.Bottom) r = both;
    }
    SetChartRect(r);
    ReCalcWidthHeight();
    // Hidden axes get their line too: series draw up to it (lines to the axes),
    // and one left from an earlier layout is not this one.
    r = ChartRect();
    for (int i = 0; i < FAxes->Count(); ++i) {
        TChartAxis* axis = FAxes->Get(i);
        axis->InternalCalcPositions();
        axis->PosAxis = axis->ApplyPosition(axis->GetRectangleEdge(r), r);
    }
}

void TCustomAxisPanel::CalcAxesMargins() {
    for (int i = 0; i < FAxes->Count(); ++i) {
        TChartAxis* axis = FAxes->Get(i);
        TRect m(0, 0, 0, 0);
        for (int k = 0; k < SeriesCount(); ++k) {
            TChartSeries* s = GetSeries(k);
            if (!s->Active() || !s->AssociatedToAxis(axis)) continue;
            int a = 0, b = 0;
            if (axis->Horizontal()) {
                s->CalcHorizMargins(a, b);
                if (axis->AutomaticMinimum()) m.Left = std::max(m.Left, a);
                if (axis->AutomaticMaximum()) m.Right = std::max(m.Right, b);
            } else {
                s->CalcVerticalMargins(a, b);
                if (axis->AutomaticMaximum()) m.Top = std::max(m.Top, a);
                if (axis->AutomaticMinimum()) m.Bottom = std::max(m.Bottom, b);
            }
        }
        const int toMin = axis->Inverted() ? axis->MaximumOffset() : axis->MinimumOffset();
        const int toMax = axis->Inverted() ? axis->MinimumOffset() : axis->MaximumOffset();
        if (axis->Horizontal()) {
            m.Left += toMin;
            m.Right += toMax;
        } else {
            m.Top += toMax;
            m.Bottom += toMin;
        }
        axis->AdjustMaxMinRect(m);
    }
}

void TCustomAxisPanel::InternalDraw(const TRect& UserRectangle) {
    // Nothing drawn during the frame may ask for another paint.
    const bool oldRepaint = AutoRepaint();
    SetAutoRepaint(false);
    TTeeFinally restore([this, oldRepaint] { SetAutoRepaint(oldRepaint); });
    TRect rect = UserRectangle;

    CalcInvertedRotation();
    PanelPaint(rect);
    BroadcastToolEvent(cteBeforeDraw);
    DoOnBeforeDrawChart();
    for (int i = 0; i < SeriesCount(); ++i)
        if (GetSeries(i)->Active()) GetSeries(i)->DoBeforeDrawChart();
    TCanvas3D* canvas = Canvas();
    if (!canvas->SupportsFullRotation()) DrawTitlesAndLegend(true);

    MaxDepthOrder = 0;
    const bool depthSlots = FApplyZOrder && View3D();
    if (depthSlots) {
        MaxDepthOrder = -1;
        for (int i = 0; i < SeriesCount(); ++i)
            if (GetSeries(i)->Active()) GetSeries(i)->CalcZOrder();
    }
    if (!depthSlots || !FDepthAxis->Inverted())
        for (int i = 0; i < SeriesCount(); ++i) {
            TChartSeries* s = GetSeries(i);
            if (s->Active()) s->SetAutoZOrder(depthSlots ? MaxDepthOrder - s->GetZOrder() : 0);
        }

    CalcWallsRect();
    PlaceAxes();

    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = GetSeries(i);
        if (!s->Active()) continue;
        const int start = SafeInt(double(SeriesDepthWidth) * s->AutoZOrder());
        // Slots far back saturate; their ends must not wrap round to the front.
        const int end = SafeInt(double(start) + (s->Depth() != -1 ? s->Depth() : SeriesDepthWidth));
        const int middle = SafeInt((double(start) + end) / 2);
        s->SetDepthSlot(start, middle, end);
        if (s->Marks()) s->Marks()->ZPosition = middle;
    }
    CalcAxesMargins();
    canvas->Projection(Width3D(), ChartBounds(), ChartRect());

    if (canvas->SupportsFullRotation()) {
        const TRect saved = ChartRect();
        SetChartRect(ChartBounds());
        DrawTitlesAndLegend(true);
        SetChartRect(saved);
    }
    DrawWalls();
    if (FAxisBehind) DrawAxes();
    BroadcastToolEvent(cteBeforeDrawSeries);
    DoOnBeforeDrawSeries();
    if (FDepthAxis->Inverted())
        for (int i = SeriesCount() - 1; i >= 0; --i)
            DrawOneSeries(i);
    else
        for (int i = 0; i < SeriesCount(); ++i)
            DrawOneSeries(i);
    if (!FAxisBehind) DrawAxes();
    DrawTitlesAndLegend(false);
    if (Zoom()->Active) DrawZoomRectangle();
    BroadcastToolEvent(cteAfterDraw);
    canvas->ResetState();
    DoOnAfterDraw();
}

void TCustomAxisPanel::DrawAxes() {
    if (!FAxisVisible) return;
    DoOnBeforeDrawAxes();
    for (int i = 0; i < FAxes->Count(); ++i) {
        TChartAxis* axis = FAxes->Get(i);
        if (IsAxisVisible(axis)) axis->Draw(true);
    }
}

bool TCustomAxisPanel::ClipSeries() {
    if (!CanClip()) return false;
    TRect r = ChartRect();
    r.Bottom += 1;
    Canvas()->ClipCube(r, 0, Width3D());
    return true;
}

void TCustomAxisPanel::DrawSeriesMarks(TChartSeries* S) {
    if (S->Count() == 0 || !S->Marks() || !S->Marks()->Visible()) return;
    const bool clipped = S->Marks()->Clip() && ClipSeries();
    S->DrawMarks();
    if (clipped) Canvas()->UnClipRectangle();
}

void TCustomAxisPanel::DrawOneSeries(int Index) {
    TChartSeries* s = GetSeries(Index);
    if (!s->Active()) return;
    if (!(View3D() && s->MoreSameZOrder())) {
        s->CalcFirstLastVisibleIndex();
        if (s->FirstVisibleIndex() == -1 && !s->DrawsWithoutValues()) return;
        s->DoBeforeDrawValues();
        const bool clipped = s->UseAxis() && FClipPoints && ClipSeries();
        s->DrawAllValues();
        if (clipped) Canvas()->UnClipRectangle();
        DrawSeriesMarks(s);
        s->DoAfterDrawValues();
        return;
    }
    // Series sharing a depth slot are drawn point by point, interleaved.
    if (!s->FirstInZOrder()) return;
    const int z = s->GetZOrder();
    std::vector<TChartSeries*> group;
    for (int i = Index; i < SeriesCount(); ++i) {
        TChartSeries* g = GetSeries(i);
        if (g->Active() && g->GetZOrder() == z) group.push_back(g);
    }
    bool met = false, clipped = false;
    int first = 0, last = -1;
    for (TChartSeries* g : group) {
        g->CalcFirstLastVisibleIndex();
        if (g->FirstVisibleIndex() == -1) continue;
        if (!met) {
            first = g->FirstVisibleIndex();
            last = g->LastVisibleIndex();
            met = true;
        } else {
            first = std::max(first, g->FirstVisibleIndex());
            last = std::max(last, g->LastVisibleIndex());
        }
        g->DoBeforeDrawValues();
        if (FClipPoints && !clipped) clipped = ClipSeries();
    }
    const auto drawPoint = [&](int i) {
        const bool forwards = i >= s->Count() || s->DrawSeriesForward(i);
        const auto one = [&](TChartSeries* g) {
            if (g->Active() && g->GetZOrder() == z && g->Count() > i) g->DrawValue(i);
        };
        if (forwards)
            for (TChartSeries* g : group)
                one(g);
        else
            for (auto it = group.rbegin(); it != group.rend(); ++it)
                one(*it);
    };
    if (met) {
        if (s->DrawValuesForward())
            for (int i = first; i <= last; ++i)
                drawPoint(i);
        else
            for (int i = last; i >= first; --i)
                drawPoint(i);
    }
    if (clipped) Canvas()->UnClipRectangle();
    for (TChartSeries* g : group) {
        if (g->FirstVisibleIndex() == -1) continue;
        DrawSeriesMarks(g);
        g->DoAfterDrawValues();
    }
}

// ---------------------------------------------------------------------------
// Ranges

double TCustomAxisPanel::InternalMinMax(TChartAxis* AAxis, bool IsMin, bool IsX) {
    if (AAxis->IsDepthAxis) {
        if (AAxis->CalcLabelStyle() == talValue) {
            bool first = true;
            double result = 0;
            for (int i = 0; i < SeriesCount(); ++i) {
                TChartSeries* s = GetSeries(i);
                if (!s->Active()) continue;
                const double v = IsMin ? s->MinZValue() : s->MaxZValue();
                if (first || (IsMin ? v < result : v > result)) result = v;
                first = false;
            }
            return result;
        }
        return IsMin ? -0.5 : MaxDepthOrder + 0.5;
    }
    if (FMaxPointsPerPage > 0) {
        TChartSeries* firstSeries = GetAxisSeries(AAxis);
        const bool pagingAxis = firstSeries && !firstSeries->YIsMandatory() ? !IsX : IsX;
        if (pagingAxis) {
            TChartSeries* s = GetAxisSeriesMaxPoints(AAxis);
            if (!s || s->Count() == 0) return 0;
            const int c = s->Count();
            const int p = FMaxPointsPerPage;
            int first = SafeInt(double(FPage - 1) * p);
            if (first >= c) first = std::max(0, c / p - 1) * p;
            int last = first + p - 1;
            if (c <= last) last = first + (c % p) - 1;
            TChartValueList* list = IsX ? s->XValues() : s->YValues();
            const double minValue = list->Value(first);
            double maxValue = list->Value(last);
            const int n = last - first + 1;
            if (!FScaleLastPage && n < p) maxValue = minValue + (maxValue - minValue) * p / n;
            return IsMin ? minValue : maxValue;
        }
    }
    const bool noActive = NoActiveSeries(AAxis);
    bool first = true;
    double result = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = GetSeries(i);
        if (!(s->Active() || noActive) || s->Count() == 0) continue;
        const bool drawnOn = IsX ? s->HorizAxis() == aBothHorizAxis || s->GetHorizAxis() == AAxis
                                 : s->VertAxis() == aBothVertAxis || s->GetVertAxis() == AAxis;
        if (!drawnOn) continue;
        const double v = IsMin ? (IsX ? s->MinXValue() : s->MinYValue())
                               : (IsX ? s->MaxXValue() : s->MaxYValue());
        if (first || (IsMin ? v < result : v > result)) result = v;
        first = false;
    }
    return result;
}

QM_CLASS_ABSTRACT(TChartAxes, TList)
QM_CLASS_PLAIN(TTeeSeriesEvent, TTeeEvent)
QM_CLASS_PLAIN(TChartChangePage, TTeeEvent)
QM_CLASS_ABSTRACT(TCustomAxisPanel, TCustomTeePanelExtended)

QM_PUBLISHED(
    TCustomAxisPanel, Prop("AxisBehind", &Self::AxisBehind, &Self::SetAxisBehind).Default(true),
    Prop("AxisVisible", &Self::AxisVisible, &Self::SetAxisVisible).Default(true),
    Prop("BottomAxis", &Self::BottomAxis, &Self::SetBottomAxis),
    Prop("ClipPoints", &Self::ClipPoints, &Self::SetClipPoints).Default(true),
    Prop("CustomAxes", &Self::CustomAxes, &Self::SetCustomAxes).Stored(&Self::IsCustomAxesStored),
    Prop("DepthAxis", &Self::DepthAxis, &Self::SetDepthAxis),
    Prop("LeftAxis", &Self::LeftAxis, &Self::SetLeftAxis),
    Prop("MaxPointsPerPage", &Self::MaxPointsPerPage, &Self::SetMaxPointsPerPage).Default(0),
    Prop("Page", &Self::Page, &Self::SetPage).Default(1),
    Prop("RightAxis", &Self::RightAxis, &Self::SetRightAxis),
    Prop("ScaleLastPage", &Self::ScaleLastPage, &Self::SetScaleLastPage).Default(true),
    Prop("SeriesList", &Self::SeriesList), Prop("TopAxis", &Self::TopAxis, &Self::SetTopAxis),
    Prop("View3DWalls", &Self::View3DWalls, &Self::SetView3DWalls).Default(true));
