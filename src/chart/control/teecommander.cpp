// The commander toolbar.
//   [bar]      TCustomTeeCommander: panel link, listener entry, factories, layout
//   [buttons]  TTeeCommander: construction, controls, enabling, clicks
//   [drag]     the drag modes: rotate, move, zoom, depth, explode a pie slice
//   [label]    the status label
#include "chart/control/teecommander.h"
#include "platform/classes/watched.h"
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teeedit.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teeproco.h"
#include "chart/control/tool_bands.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/props.h"
#include "platform/forms/buttons.h"
#include "platform/forms/modalwatch.h"
#include "platform/rtl/format.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <array>

QM_CLASS_ABSTRACT(TCustomTeeCommander, TCustomPanelNoCaption)
QM_CLASS_OWNED(TTeeCommander, TCustomTeeCommander, TComponent)

QM_PUBLISHED(
    TTeeCommander, Prop("Panel", &Self::Panel, &Self::SetPanel),
    Prop("Vertical", &Self::Vertical, &Self::SetVertical).Default(false),
    Prop("EnablePieExploding", &Self::EnablePieExploding, &Self::SetEnablePieExploding)
        .Default(true),
    Prop("LabelValues", &Self::LabelValues, &Self::SetLabelValues).Default(true),
    Prop("Align", &Self::Align, &Self::SetAlign).Default(alNone),
    Prop("Anchors", &Self::Anchors, &Self::SetAnchors).Default(TAnchors{akLeft, akTop}),
    Prop("BevelInner", &Self::BevelInner, &Self::SetBevelInner).Default(bvNone),
    Prop("BevelOuter", &Self::BevelOuter, &Self::SetBevelOuter).Default(bvRaised),
    Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(1),
    Prop("BorderWidth", &Self::BorderWidth, &Self::SetBorderWidth).Default(0),
    Prop("Color", &Self::Color, &Self::SetColor).Default(clBtnFace).Idents("TColor"),
    Prop("Constraints", &Self::Constraints),
    Prop("DragCursor", &Self::DragCursor, &Self::SetDragCursor).Default(crDrag).Idents("TCursor"),
    Prop("DragMode", &Self::DragMode, &Self::SetDragMode).Default(dmManual),
    Prop("ParentShowHint", &Self::ParentShowHint, &Self::SetParentShowHint).Default(false),
    Prop("ShowHint", &Self::ShowHint, &Self::SetShowHint).Default(true),
    Prop("OnClick", &Self::OnClick), Prop("OnDblClick", &Self::OnDblClick),
    Prop("OnDragDrop", &Self::OnDragDrop), Prop("OnDragOver", &Self::OnDragOver),
    Prop("OnEndDrag", &Self::OnEndDrag), Prop("OnEnter", &Self::OnEnter),
    Prop("OnExit", &Self::OnExit), Prop("OnMouseDown", &Self::OnMouseDown),
    Prop("OnMouseMove", &Self::OnMouseMove), Prop("OnMouseUp", &Self::OnMouseUp),
    Prop("OnResize", &Self::OnResize), Prop("OnEditedChart", &Self::OnEditedChart),
    Prop("OnSetLabel", &Self::OnSetLabel));

namespace {

const bool CommanderRegistered = [] {
    RegisterClass(&TTeeCommander::ClassInfo);
    return true;
}();

int R(double Value) {
    return PixelPos(Value);
}

int Wrap(int Angle) {
    if (Angle > 360) return Angle - 360;
    if (Angle < 0) return Angle + 360;
    return Angle;
}

bool OwnedChild(const TCustomTeeCommander* Bar, TControl* C) {
    return C->Owner() == Bar;
}

} // namespace

// ---------------------------------------------------------------------------
// [bar]

TCustomTeeCommander::TCustomTeeCommander(TComponent* AOwner) : TCustomPanelNoCaption(AOwner) {
    (void)CommanderRegistered;
    TeeRegisterCommanderGlyphs();
    SetColor(clBtnFace);
    SetBevelOuter(bvRaised);
    SetPanel(nullptr);
    SetHeight(33);
    SetWidth(400);
    FMouseButton = mbLeft;
    SetShowHint(true);
    if (ComponentState().Contains(csDesigning) && AOwner && !AOwner->IsLoading()) SetAlign(alTop);
}

TCustomTeeCommander::~TCustomTeeCommander() {
    Destroying();
    FreeOwnedControls();
    SetPanel(nullptr);
}

void TCustomTeeCommander::SetPanel(TCustomTeePanel* Value) {
    // A panel being freed reads gone, and has already dropped its listener list.
    if (FPanel) {
        FPanel->RemoveFreeNotification(this);
        FPanel->RemoveListener(this);
    }
    FPanel = Value;
    if (FPanel) {
        FPanel->FreeNotification(this);
        if (FPanel->Listeners()) FPanel->Listeners()->Add(this);
    }
    if (!IsDestroying()) ShowHideControls(FPanel != nullptr);
}

void TCustomTeeCommander::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanelNoCaption::Notification(AComponent, Operation);
    if (Operation == opRemove && FPanel.Is(AComponent)) {
        // The panel is being freed and its listener list may already be gone:
        // forget it without calling back into it.
        FPanel = nullptr;
        if (!IsDestroying()) ShowHideControls(false);
    }
}

void TCustomTeeCommander::Loaded() {
    TCustomPanelNoCaption::Loaded();
    if (!FPanel && Parent()) {
        TWinControl* p = Parent();
        for (int i = 0; i < p->ComponentCount(); ++i)
            if (auto* panel = dynamic_cast<TCustomTeePanel*>(p->Components(i))) {
                SetPanel(panel);
                break;
            }
    }
    ShowHideControls(FPanel != nullptr);
}

TCustomForm* TCustomTeeCommander::PanelForm() const {
    TCustomTeePanel* panel = FPanel;
    return panel ? GetParentForm(panel) : nullptr;
}

void TCustomTeeCommander::TeeEvent(TTeeEvent* Event) {
    if (auto* mouse = dynamic_cast<TTeeMouseEvent*>(Event)) {
        // The drag's handlers may free this bar, the panel that tells it or
        // the form of either.
        TCustomTeePanel* sender = mouse->Sender;
        TCallOut held{this, sender, GetParentForm(this), sender ? GetParentForm(sender) : nullptr};
        switch (mouse->Event) {
        case meDown:
            FMouseButton = mouse->Button;
            DoMouseDown(mouse->X, mouse->Y);
            break;
        case meUp:
            DoMouseUp();
            break;
        case meMove:
            DoMouseMove(mouse->X, mouse->Y);
            break;
        }
        if (held.Gone()) return;
        if (sender) sender->SetCancelMouse(!DoPanelMouse());
    } else if (dynamic_cast<TTeeView3DEvent*>(Event)) {
        ShowHideControls(FPanel != nullptr);
    }
}

TSpeedButton* TCustomTeeCommander::CreateButton(int APos, TNotifyEvent AProc,
                                                const AnsiString& AHint, const AnsiString& AResName,
                                                int AGroupIndex) {
    auto* b = new TSpeedButton(this);
    b->SetFlat(true);
    if (FVertical)
        b->SetBounds(4, APos, 25, 25);
    else
        b->SetBounds(APos, 4, 25, 25);
    b->SetParentShowHint(true);
    b->SetHint(AHint);
    b->OnClick = std::move(AProc);
    b->SetParent(this);
    b->SetGroupIndex(AGroupIndex);
    if (!AResName.IsEmpty()) TeeLoadBitmap(b->Glyph(), AResName, "");
    return b;
}

TBevel* TCustomTeeCommander::CreateBevel(int APos) {
    auto* b = new TBevel(this);
    b->SetShape(bsLeftLine);
    b->SetWidth(2);
    b->SetHeight(Height() - 4);
    b->SetTop(2);
    b->SetLeft(APos);
    b->SetParent(this);
    return b;
}

TLabel* TCustomTeeCommander::CreateLabel(int APos, TColor AColor) {
    auto* l = new TLabel(this);
    l->SetLeft(APos);
    l->SetTop(12);
    l->Font()->SetName(GetDefaultFontName());
    l->Font()->SetSize(GetDefaultFontSize());
    l->Font()->SetColor(AColor);
    l->SetCaption("");
    l->SetParent(this);
    return l;
}

void TCustomTeeCommander::ReAlignTeeControls() {
    int pos = 4;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!OwnedChild(this, c)) continue;
        if (FVertical) {
            c->SetLeft(4);
            c->SetTop(pos);
        } else {
            c->SetLeft(pos);
            c->SetTop(4);
        }
        if (auto* bevel = dynamic_cast<TBevel*>(c)) {
            pos += 6;
            if (FVertical) {
                bevel->SetShape(bsTopLine);
                bevel->SetWidth(Width() - 8);
                bevel->SetHeight(2);
            } else {
                bevel->SetShape(bsLeftLine);
                bevel->SetWidth(2);
                bevel->SetHeight(Height() - 8);
            }
        } else {
            pos += 29;
        }
    }
}

void TCustomTeeCommander::SetVertical(bool Value) {
    if (FVertical == Value) return;
    FVertical = Value;
    if (Align() != alNone) SetAlign(FVertical ? alLeft : alTop);
    ReAlignTeeControls();
}

AnsiString TCustomTeeCommander::TeePanelClass() const {
    return dynamic_cast<TCustomAxisPanel*>(FPanel.Get()) ? TeeCommanMsg_Chart : TeeCommanMsg_Panel;
}

void TCustomTeeCommander::FreeOwnedControls() {
    for (;;) {
        TControl* last = nullptr;
        for (int i = ControlCount() - 1; i >= 0 && !last; --i)
            if (OwnedChild(this, Controls(i))) last = Controls(i);
        if (!last) return;
        RemovingControl(last);
        delete last;
    }
}

void TCustomTeeCommander::ShowHideControls(bool Enabled) {
    if (IsDestroying()) return;
    for (int i = 0; i < ControlCount(); ++i)
        if (OwnedChild(this, Controls(i))) Controls(i)->SetEnabled(Enabled);
}

// ---------------------------------------------------------------------------
// [buttons]

TTeeCommander::TTeeCommander(TComponent* AOwner) : TCustomTeeCommander(AOwner) {
    CreateControls({tcbNormal, tcbSeparator, tcbRotate, tcbMove, tcbZoom, tcbDepth, tcb3D,
                    tcbSeparator, tcbEdit, tcbPrintPreview, tcbCopy, tcbSave, tcbLabel});
    if (FButtonNormal) FButtonNormal->SetDown(true);
}

TTeeCommander::~TTeeCommander() {
    // Here, while RemovingControl still reaches this class.
    Destroying();
    FreeOwnedControls();
    SetChartEditor(nullptr);
    SetPreviewer(nullptr);
}

void TTeeCommander::CreateControls(std::initializer_list<TeeCommanderControls> AControls) {
    FreeOwnedControls();
    int pos = 4;
    auto button = [&](TSpeedButton*& Field, void (TTeeCommander::*Click)(TObject*),
                      const AnsiString& Hint, const char* Res, int Group) {
        Field = CreateButton(
            pos, [this, Click](TObject* S) { (this->*Click)(S); }, Hint, Res, Group);
    };
    for (TeeCommanderControls kind : AControls) {
        switch (kind) {
        case tcbNormal:
            button(FButtonNormal, &TTeeCommander::ButtonNormalClick, TeeCommanMsg_Normal,
                   "TeeNormal", 1);
            break;
        case tcbSeparator:
            CreateBevel(pos);
            break;
        case tcbRotate:
            button(FButtonRotate, &TTeeCommander::ButtonRotateClick, TeeCommanMsg_Rotate,
                   "TeeRotate", 1);
            break;
        case tcbMove:
            button(FButtonMove, &TTeeCommander::ButtonMoveClick, TeeCommanMsg_Move, "TeeMove", 1);
            break;
        case tcbZoom:
            button(FButtonZoom, &TTeeCommander::ButtonZoomClick, TeeCommanMsg_Zoom, "TeeZoom", 1);
            break;
        case tcbDepth:
            button(FButtonDepth, &TTeeCommander::ButtonDepthClick, TeeCommanMsg_Depth, "TeeDepth",
                   1);
            break;
        case tcbEdit:
            button(FButtonEdit, &TTeeCommander::ButtonEditClick, TeeCommanMsg_Edit, "TeeEdit", 0);
            break;
        case tcbPrintPreview:
            button(FButtonPrint, &TTeeCommander::ButtonPrintClick, TeeCommanMsg_Print, "TeePrint",
                   0);
            break;
        case tcbCopy:
            button(FButtonCopy, &TTeeCommander::ButtonCopyClick, TeeCommanMsg_Copy, "TeeCopy", 0);
            break;
        case tcbSave:
            button(FButtonSave, &TTeeCommander::ButtonSaveClick, TeeCommanMsg_Save, "TeeSave", 0);
            break;
        case tcbLabel:
            FLabel = CreateLabel(pos, clNavy);
            break;
        case tcb3D:
            button(FButton3D, &TTeeCommander::Button3DClick, TeeCommanMsg_3D, "TeeView3D", 2);
            FButton3D->SetAllowAllUp(true);
            break;
        }
        pos += kind == tcbSeparator ? 6 : 29;
    }
    ShowHideControls(Panel() != nullptr);
}

void TTeeCommander::RemovingControl(TControl* AControl) {
    for (TSpeedButton** f :
         {&FButtonCopy, &FButtonDepth, &FButtonEdit, &FButtonMove, &FButtonNormal, &FButtonPrint,
          &FButtonRotate, &FButtonSave, &FButtonZoom, &FButton3D})
        if (*f == AControl) *f = nullptr;
    if (FLabel == AControl) FLabel = nullptr;
}

void TTeeCommander::RepositionControls() {
    int pos = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Owner() != this || !c->Visible()) continue;
        c->SetLeft(pos);
        pos += dynamic_cast<TBevel*>(c) ? 6 : 29;
    }
}

void TTeeCommander::ShowHideControls(bool Enabled) {
    if (IsDestroying()) return;
    const std::array<TControl*, 8> all{FButtonRotate, FButtonMove, FButtonZoom,  FButtonNormal,
                                       FButtonCopy,   FButtonSave, FButtonPrint, FButton3D};
    EnableControls(Enabled, all);
    const bool axes = Enabled && dynamic_cast<TCustomAxisPanel*>(Panel());
    const std::array<TControl*, 3> axisOnly{FButtonDepth, FButtonEdit, FButtonSave};
    EnableControls(axes, axisOnly);
    if (FButton3D && Panel()) FButton3D->SetDown(Panel()->View3D());
}

void TTeeCommander::SetChartEditor(TCustomChartEditor* Value) {
    FChartEditor = Value;
}

void TTeeCommander::SetPreviewer(TCustomChartEditor* Value) {
    FPreviewer = Value;
}

void TTeeCommander::SetLabelValues(bool Value) {
    if (FLabelValues == Value) return;
    FLabelValues = Value;
    if (FLabel) FLabel->SetVisible(Value);
}

TPieSeries* TTeeCommander::FirstSeriesPie() const {
    auto* chart = dynamic_cast<TCustomChart*>(Panel());
    if (!FEnablePieExploding || !chart) return nullptr;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        auto* pie = dynamic_cast<TPieSeries*>(chart->GetSeries(i));
        if (pie && pie->Active()) return pie;
    }
    return nullptr;
}

bool TTeeCommander::IsButtonDown(const TSpeedButton* AButton) {
    return AButton && AButton->Down();
}

bool TTeeCommander::DoPanelMouse() {
    return !(IsButtonDown(FButtonRotate) || IsButtonDown(FButtonDepth) ||
             IsButtonDown(FButtonMove) || IsButtonDown(FButtonZoom));
}

AnsiString TTeeCommander::CaptionPanel(const AnsiString& AFormat) const {
    return Format(AFormat, {TeePanelClass()});
}

void TTeeCommander::ButtonNormalClick(TObject*) {
    SetLabelCaption(
        CaptionPanel(FirstSeriesPie() ? TeeCommanMsg_NormalPieLabel : TeeCommanMsg_NormalLabel));
}
void TTeeCommander::ButtonRotateClick(TObject*) {
    SetLabelCaption(CaptionPanel(TeeCommanMsg_RotateLabel));
}
void TTeeCommander::ButtonMoveClick(TObject*) {
    SetLabelCaption(CaptionPanel(TeeCommanMsg_MoveLabel));
}
void TTeeCommander::ButtonZoomClick(TObject*) {
    SetLabelCaption(CaptionPanel(TeeCommanMsg_ZoomLabel));
}
void TTeeCommander::ButtonDepthClick(TObject*) {
    SetLabelCaption(CaptionPanel(TeeCommanMsg_DepthLabel));
}

void TTeeCommander::ButtonEditClick(TObject*) {
    // The commander may go with the chart's form while the editor is open.
    TCallOut self{this};
    if (FChartEditor)
        FChartEditor->Execute();
    else if (auto* chart = dynamic_cast<TCustomChart*>(Panel()))
        EditChart(nullptr, chart);
    if (self.Gone()) return;
    if (OnEditedChart) OnEditedChart(this, dynamic_cast<TCustomChart*>(Panel()));
    if (self.Gone()) return;
    if (FButton3D && Panel()) FButton3D->SetDown(Panel()->View3D());
}

void TTeeCommander::ButtonPrintClick(TObject*) {
    if (FPreviewer)
        FPreviewer->Execute();
    else if (Panel())
        ChartPreview(nullptr, Panel());
}

void TTeeCommander::Button3DClick(TObject*) {
    if (Panel()) Panel()->SetView3D(IsButtonDown(FButton3D));
}

void TTeeCommander::ButtonCopyClick(TObject*) {
    if (Panel()) Panel()->CopyToClipboardBitmap();
}

void TTeeCommander::ButtonSaveClick(TObject*) {
    if (auto* chart = dynamic_cast<TCustomChart*>(Panel())) SaveChartDialog(chart);
}

// ---------------------------------------------------------------------------
// [drag]

void TTeeCommander::DoMouseDown(int X, int Y) {
    TPieSeries* pie = FirstSeriesPie();
    if (!pie && IsButtonDown(FButtonNormal)) return;
    // The pie's hit test may call its handler.
    TCallOut held{this, Panel(), GetParentForm(this), PanelForm()};
    const int slice = pie ? pie->Clicked(X, Y) : -1;
    if (held.Gone()) return;
    FDragging = true;
    FOldX = X;
    FOldY = Y;
    FPieSlice = slice;
}

void TTeeCommander::DoMouseUp() {
    FDragging = false;
    FPieSlice = -1;
}

void TTeeCommander::DoMouseMove(int X, int Y) {
    if (!FDragging || !Panel()) return;
    // A move event raised while this one repaints finds the flag cleared.
    // The view's handlers and the label's may free this commander, the panel
    // or the form of either: the drag then ends here.
    FDragging = false;
    TCallOut held{this, Panel(), GetParentForm(this), PanelForm()};
    struct TRestore {
        bool& Flag;
        const TCallOut& Held;
        ~TRestore() {
            if (Held.Live()) Flag = true;
        }
    } restore{FDragging, held};
    if (IsButtonDown(FButtonNormal))
        DoExplode(X, Y);
    else if (MouseButton() == mbRight)
        DoMove(X, Y);
    else if (IsButtonDown(FButtonRotate))
        DoRotate(X, Y);
    else if (IsButtonDown(FButtonMove))
        DoMove(X, Y);
    else if (IsButtonDown(FButtonZoom))
        DoZoom(Y);
    else if (IsButtonDown(FButtonDepth))
        DoDepth(X, Y);
    if (held.Gone()) return;
    if (FLabelValues && !Vertical()) ShowValues();
}

// The panel tells its listeners, whose handlers may free what the drag holds.
void TTeeCommander::Switch3D() {
    TCallOut held{this, Panel(), GetParentForm(this), PanelForm()};
    Panel()->SetView3D(true);
    if (held.Gone()) return;
    if (FButton3D) FButton3D->SetDown(true);
}

void TTeeCommander::DoRotate(int X, int Y) {
    TCallOut held{this, Panel(), GetParentForm(this), PanelForm()};
    Switch3D();
    if (held.Gone()) return;
    TView3DOptions* v = Panel()->View3DOptions();
    v->SetOrthogonal(false);
    // A panel of no size has no scale for the drag: it does not turn.
    const int w = Panel()->Width(), h = Panel()->Height();
    const int dx = w > 0 ? R((X - FOldX) * 90.0 / w) : 0;
    const int dy = h > 0 ? R((FOldY - Y) * 90.0 / h) : 0;
    if (Panel()->Canvas()->SupportsFullRotation()) {
        v->SetRotation(Wrap(v->Rotation() + dx));
        v->SetElevation(Wrap(v->Elevation() + dy));
    } else {
        if (TPieSeries* pie = FirstSeriesPie()) {
            v->SetRotation(360);
            v->SetPerspective(0);
            if (dx != 0) pie->SetRotationAngle(Wrap(pie->RotationAngle() + dx));
        } else {
            v->SetRotation(TRotateTool::RotationChange(false, v->Rotation(), dx));
        }
        v->SetElevation(TRotateTool::ElevationChange(false, v->Elevation(), dy));
    }
    FOldX = X;
    FOldY = Y;
}

void TTeeCommander::DoMove(int X, int Y) {
    TCallOut held{this, Panel(), GetParentForm(this), PanelForm()};
    Switch3D();
    if (held.Gone()) return;
    // Each offset tells the view's OnScrolled.
    TView3DOptions* v = Panel()->View3DOptions();
    v->SetHorizOffset(v->HorizOffset() + X - FOldX);
    if (held.Gone()) return;
    // Read again through the panel: the handler may have changed its view.
    v = Panel()->View3DOptions();
    v->SetVertOffset(v->VertOffset() + Y - FOldY);
    if (held.Gone()) return;
    FOldX = X;
    FOldY = Y;
}

void TTeeCommander::DoZoom(int Y) {
    TCallOut held{this, Panel(), GetParentForm(this), PanelForm()};
    Switch3D();
    if (held.Gone()) return;
    TView3DOptions* v = Panel()->View3DOptions();
    const double d = TeeDistance(Panel()->ChartWidth(), Panel()->ChartHeight());
    if (d <= 0) return; // never drawn yet: no scale for the drag
    const int t = R((FOldY - Y) * 10.0 / d);
    const int s = R(t * v->Zoom() / 100.0);
    int zoom = v->Zoom() + (t > 0 ? std::max(1, s) : std::min(-1, s));
    if (zoom < 5) zoom = 5;
    v->SetZoom(zoom);
}

void TTeeCommander::DoDepth(int X, int Y) {
    TCallOut held{this, Panel(), GetParentForm(this), PanelForm()};
    Switch3D();
    if (held.Gone()) return;
    auto* axes = dynamic_cast<TCustomAxisPanel*>(Panel());
    if (!axes) return;
    const double d = TeeDistance(Panel()->ChartWidth(), Panel()->ChartHeight());
    if (d <= 0) return;
    const int p = R(TeeDistance(FOldX - X, FOldY - Y) * 200.0 / d);
    if (p >= 1) axes->SetChart3DPercent(std::min(100, p));
}

void TTeeCommander::DoExplode(int X, int Y) {
    TPieSeries* pie = FirstSeriesPie();
    if (FPieSlice == -1 || !pie) return;
    const double d = TeeDistance(pie->CircleSizeX(), pie->CircleSizeY());
    if (d <= 0) return;
    const int e = std::min(100, R(TeeDistance(FOldX - X, FOldY - Y) * 100.0 / d));
    pie->ExplodedSlice()->Put(FPieSlice, e);
}

// ---------------------------------------------------------------------------
// [label]

void TTeeCommander::SetLabelCaption(const AnsiString& AText) {
    AnsiString text = AText;
    TCallOut held{this};
    if (OnSetLabel) OnSetLabel(this, text);
    if (held.Gone() || !FLabel) return;
    if (FLabelValues && !Vertical())
        FLabel->SetCaption(text);
    else
        FLabel->SetVisible(false);
}

void TTeeCommander::ShowValues() {
    AnsiString text;
    TCustomTeePanel* p = Panel();
    TView3DOptions* v = p ? p->View3DOptions() : nullptr;
    if (!v) {
    } else if (IsButtonDown(FButtonRotate)) {
        text = Format(TeeCommanMsg_Rotating, {v->Rotation(), v->Elevation()});
    } else if (IsButtonDown(FButtonMove)) {
        text = Format(TeeCommanMsg_Moving, {v->HorizOffset(), v->VertOffset()});
    } else if (IsButtonDown(FButtonZoom)) {
        text = Format(TeeCommanMsg_Zooming, {v->Zoom()});
    } else if (IsButtonDown(FButtonDepth)) {
        if (auto* axes = dynamic_cast<TCustomAxisPanel*>(p))
            text = Format(TeeCommanMsg_Depthing, {axes->Chart3DPercent()});
    } else if (IsButtonDown(FButtonNormal) && FPieSlice != -1) {
        if (TPieSeries* pie = FirstSeriesPie())
            text = Format(TeeCommanMsg_PieExploding,
                          {FPieSlice, pie->ExplodedSlice()->Get(FPieSlice)});
    }
    TCallOut held{this};
    SetLabelCaption(text);
    if (held.Gone()) return;
    if (FLabel && FLabel->Visible()) FLabel->Repaint();
}
