// The chart control: construction, copying, stored properties and the small
// series and page helpers. Drawing of parts, walls and the mouse live in
// chart_walls.cpp and chart_mouse.cpp.
#include "chart/control/chart.h"
#include "chart/control/teeseriestypes.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/filer.h"
#include "platform/classes/props.h"
#include "platform/forms/menus.h"
#include "platform/graphics/graphics.h"

QM_ENUM_NAMES(TPanningMode, pmNone, pmHorizontal, pmVertical, pmBoth)

QM_CLASS_ABSTRACT(TCustomChart, TCustomAxisPanel)
QM_CLASS_OWNED(TChart, TCustomChart, TComponent)

double AnimatedZoomFactor = 3.0;
bool TeeUseMouseWheel = true;
TShiftState TeeScrollKeyShift;
int TeeTitleFootDistance = 5;

// The panel's own settings a chart file holds, then the chart's.
QM_PUBLISHED(
    TChart, Prop("AllowPanning", &Self::AllowPanning, &Self::SetAllowPanning).Default(pmBoth),
    Prop("BackImage", &Self::BackImage, &Self::SetBackImage),
    Prop("BackImageInside", &Self::BackImageInside, &Self::SetBackImageInside).Default(false),
    Prop("BackImageMode", &Self::BackImageMode, &Self::SetBackImageMode).Default(pbmStretch),
    Prop("BackImageTransp", &Self::BackImageTransp, &Self::SetBackImageTransp).Default(false),
    Prop("BackWall", &Self::BackWall, &Self::SetBackWall),
    Prop("Border", &Self::Border, &Self::SetBorder),
    Prop("BorderRound", &Self::BorderRound, &Self::SetBorderRound).Default(0),
    Prop("BottomWall", &Self::BottomWall, &Self::SetBottomWall),
    Prop("Foot", &Self::Foot, &Self::SetFoot),
    Prop("Gradient", &Self::Gradient, &Self::SetGradient),
    Prop("LeftWall", &Self::LeftWall, &Self::SetLeftWall),
    Prop("Legend", &Self::Legend, &Self::SetLegend),
    Prop("MarginBottom", &Self::MarginBottom, &Self::SetMarginBottom).Default(4),
    Prop("MarginLeft", &Self::MarginLeft, &Self::SetMarginLeft).Default(3),
    Prop("MarginRight", &Self::MarginRight, &Self::SetMarginRight).Default(3),
    Prop("MarginTop", &Self::MarginTop, &Self::SetMarginTop).Default(4),
    Prop("MarginUnits", &Self::MarginUnits, &Self::SetMarginUnits).Default(muPercent),
    Prop("PrintProportional", &Self::PrintProportional, &Self::SetPrintProportional).Default(true),
    Prop("RightWall", &Self::RightWall, &Self::SetRightWall),
    Prop("ScrollMouseButton", &Self::ScrollMouseButton, &Self::SetScrollMouseButton)
        .Default(mbRight),
    Prop("SubFoot", &Self::SubFoot, &Self::SetSubFoot),
    Prop("SubTitle", &Self::SubTitle, &Self::SetSubTitle),
    Prop("Title", &Self::Title, &Self::SetTitle),
    Prop("Chart3DPercent", &Self::Chart3DPercent, &Self::SetChart3DPercent).Default(15),
    Prop("Frame", &Self::Frame, &Self::SetFrame),
    Prop("Monochrome", &Self::Monochrome, &Self::SetMonochrome).Default(false),
    Prop("Shadow", &Self::Shadow, &Self::SetShadow),
    Prop("View3D", &Self::View3D, &Self::SetView3D).Default(true),
    Prop("View3DOptions", &Self::View3DOptions, &Self::SetView3DOptions),
    Prop("Zoom", &Self::Zoom, &Self::SetZoom),
    Prop("BevelInner", &Self::BevelInner, &Self::SetBevelInner).Default(bvNone),
    Prop("BevelOuter", &Self::BevelOuter, &Self::SetBevelOuter).Default(bvRaised),
    Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(1),
    Prop("BorderWidth", &Self::BorderWidth, &Self::SetBorderWidth).Default(0),
    Prop("Color", &Self::Color, &Self::SetColor).Default(clBtnFace).Idents("TColor"),
    Prop("Align", &Self::Align, &Self::SetAlign).Default(alNone),
    Prop("DragCursor", &Self::DragCursor, &Self::SetDragCursor).Default(crDrag).Idents("TCursor"),
    Prop("DragMode", &Self::DragMode, &Self::SetDragMode).Default(dmManual),
    Prop("PopupMenu", &Self::PopupMenu, &Self::SetPopupMenu),
    Prop("OnAllowScroll", &Self::OnAllowScroll), Prop("OnClickAxis", &Self::OnClickAxis),
    Prop("OnClickBackground", &Self::OnClickBackground),
    Prop("OnClickLegend", &Self::OnClickLegend), Prop("OnClickSeries", &Self::OnClickSeries),
    Prop("OnClickTitle", &Self::OnClickTitle), Prop("OnGetLegendPos", &Self::OnGetLegendPos),
    Prop("OnGetLegendRect", &Self::OnGetLegendRect),
    Prop("OnGetLegendText", &Self::OnGetLegendText), Prop("OnScroll", &Self::OnScroll),
    Prop("OnUndoZoom", &Self::OnUndoZoom), Prop("OnZoom", &Self::OnZoom),
    Prop("OnBeforeDrawAxes", &Self::OnBeforeDrawAxes),
    Prop("OnBeforeDrawChart", &Self::OnBeforeDrawChart),
    Prop("OnBeforeDrawSeries", &Self::OnBeforeDrawSeries),
    Prop("OnGetAxisLabel", &Self::OnGetAxisLabel),
    Prop("OnGetNextAxisLabel", &Self::OnGetNextAxisLabel),
    Prop("OnPageChange", &Self::OnPageChange), TEE_PANEL_CONTROL_EVENTS);

// ---------------------------------------------------------------------------

TCustomChart::TCustomChart(TComponent* AOwner) : TCustomAxisPanel(AOwner) {
    TeeStartRegistries();
    const bool repaint = AutoRepaint();
    SetAutoRepaint(false);
    FTitle = std::make_unique<TChartTitle>(this);
    if (ComponentState().Contains(csDesigning)) FTitle->Text()->Add(ClassName());
    FScrollMouseButton = mbRight;
    FSubTitle = std::make_unique<TChartTitle>(this);
    FFoot = std::make_unique<TChartFootTitle>(this);
    FSubFoot = std::make_unique<TChartFootTitle>(this);
    FWalls = std::make_unique<TChartWalls>(this);
    FLegend = std::make_unique<TChartLegend>(this);
    FRestoredAxisScales = true;
    SetAutoRepaint(repaint);
}

TCustomChart::~TCustomChart() {
    // Series and tools may still ask the chart for its legend while they leave.
    SetAutoRepaint(false);
}

void TCustomChart::Assign(TPersistent* Source) {
    if (auto* c = dynamic_cast<TCustomChart*>(Source)) {
        FFoot->Assign(c->FFoot.get());
        FLegend->Assign(c->FLegend.get());
        FScrollMouseButton = c->FScrollMouseButton;
        FSubFoot->Assign(c->FSubFoot.get());
        FSubTitle->Assign(c->FSubTitle.get());
        FTitle->Assign(c->FTitle.get());
        FWalls->Assign(c->FWalls.get());
    }
    TCustomAxisPanel::Assign(Source);
}

void TCustomChart::ReadBackColor(TReader* Reader) {
    if (Reader->NextValue() == vaIdent) {
        TColor c = clNone;
        const AnsiString ident = Reader->ReadIdent();
        if (!IdentToColor(ident, c)) c = StringToColor(ident);
        SetBackColor(c);
    } else {
        SetBackColor(static_cast<TColor>(Reader->ReadInteger()));
    }
}

void TCustomChart::DefineProperties(TFiler* Filer) {
    TCustomAxisPanel::DefineProperties(Filer);
    Filer->DefineProperty(
        "BackColor", [this](TReader* r) { ReadBackColor(r); }, nullptr, false);
}

void TCustomChart::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    TCustomAxisPanel::GetChildren(Proc, Root);
    for (int i = 0; i < Tools()->Count(); ++i)
        Proc(Tools()->Get(i));
}

TColor TCustomChart::BackColor() {
    return BackWall()->Transparent() ? Color() : BackWall()->Color();
}

void TCustomChart::SetBackColor(TColor Value) {
    BackWall()->SetColor(Value);
    if (!ComponentState().Contains(csLoading)) BackWall()->Brush()->SetStyle(bsSolid);
}

TColor TCustomChart::GetBackColor() {
    return BackColor();
}

// ---------------------------------------------------------------------------
// Series and pages.

void TCustomChart::SeriesUp(TChartSeries* ASeries) {
    const int i = SeriesList()->IndexOf(ASeries);
    if (i >= 1) ExchangeSeries(i, i - 1);
}

void TCustomChart::SeriesDown(TChartSeries* ASeries) {
    const int i = SeriesList()->IndexOf(ASeries);
    if (i >= 0 && i < SeriesCount() - 1) ExchangeSeries(i, i + 1);
}

void TCustomChart::NextPage() {
    if (MaxPointsPerPage() > 0 && Page() < NumPages()) SetPage(Page() + 1);
}

void TCustomChart::PreviousPage() {
    if (MaxPointsPerPage() >= 1 && Page() >= 2) SetPage(Page() - 1);
}

void TCustomChart::RemoveAllSeries() {
    while (SeriesCount() > 0)
        RemoveSeries(GetSeries(0));
}

TChartSeries* TCustomChart::GetASeries() {
    for (int i = 0; i < SeriesCount(); ++i)
        if (GetSeries(i)->Active()) return GetSeries(i);
    return nullptr;
}

bool TCustomChart::ActiveSeriesUseAxis() {
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = GetSeries(i);
        if (s->Active() && s->UseAxis()) return true;
    }
    return false;
}

bool TCustomChart::IsFreeSeriesColor(TColor AColor, bool CheckBackground) {
    for (int i = 0; i < SeriesCount(); ++i)
        if (GetSeries(i)->SeriesColor() == AColor) return false;
    if (CheckBackground && (AColor == Color() || AColor == BackWall()->Color())) return false;
    return true;
}

AnsiString TCustomChart::AxisTitleOrName(TChartAxis* Axis) {
    AnsiString s = Axis->Title()->Caption();
    if (!s.IsEmpty()) return s;
    if (Axis->IsDepthAxis) return TeeMsg_DepthAxis;
    if (Axis->Horizontal()) return Axis->OtherSide() ? TeeMsg_TopAxis : TeeMsg_BottomAxis;
    return Axis->OtherSide() ? TeeMsg_RightAxis : TeeMsg_LeftAxis;
}

void TCustomChart::FillSeriesSourceItems(TChartSeries*, const TValueSourceProc&) {}

void TCustomChart::FillValueSourceItems(TChartValueList* ValueList, const TValueSourceProc& Proc) {
    TChartSeries* owner = ValueList ? ValueList->Owner() : nullptr;
    if (!owner) return;
    auto* source = dynamic_cast<TChartSeries*>(owner->DataSource());
    if (!source) return;
    for (int i = 0; i < source->ValuesList()->Count(); ++i)
        Proc(source->ValuesList()->Get(i)->Name());
}

AnsiString TCustomChart::FormattedValueLegend(TChartSeries* ASeries, int ValueIndex) {
    if (!ASeries) return AnsiString();
    return FLegend->FormattedValue(ASeries, ValueIndex);
}

AnsiString TCustomChart::FormattedLegend(int Index) {
    AnsiString s = FLegend->FormattedLegend(Index);
    if (OnGetLegendText) OnGetLegendText(this, FLegend->LegendStyleUsed(), Index, s);
    return s;
}
