// TControl: geometry, anchors, visibility, colours and fonts from the parent,
// hints, painting into its back buffer, the mouse and drag events' defaults.
//   Widget links, accelerators, parent forms
//   TSizeConstraints, TControlCanvas, back buffers
//   TControl
// The event bridge (mouse, keys, capture, dragging) is in controlevents.cpp,
// TWinControl and the self-drawn controls in wincontrol.cpp.
#include "platform/forms/controls.h"
#include "platform/classes/watched.h"
#include "platform/classes/props.h"
#include "platform/forms/forms.h"
#include "platform/forms/inherited.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/systemwindow.h"
#include "platform/forms/menus.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <QCursor>
#include <QWidget>
#include <algorithm>

QM_CLASS_PLAIN(TSizeConstraints, TPersistent)
QM_PUBLISHED(TSizeConstraints, Prop("MaxHeight", &Self::MaxHeight, &Self::SetMaxHeight).Default(0),
             Prop("MaxWidth", &Self::MaxWidth, &Self::SetMaxWidth).Default(0),
             Prop("MinHeight", &Self::MinHeight, &Self::SetMinHeight).Default(0),
             Prop("MinWidth", &Self::MinWidth, &Self::SetMinWidth).Default(0));
QM_CLASS_PLAIN(TControlCanvas, TCanvas)
QM_CLASS_OWNED(TControl, TComponent, TComponent)
QM_CLASS_OWNED(TWinControl, TControl, TComponent)

// Where a control sits, whether it shows, its cursor and its hint, as stored forms hold them.
QM_PUBLISHED(TControl, Prop("Left", &Self::Left, &Self::SetLeft),
             Prop("Top", &Self::Top, &Self::SetTop), Prop("Width", &Self::Width, &Self::SetWidth),
             Prop("Height", &Self::Height, &Self::SetHeight),
             Prop("Cursor", &Self::Cursor, &Self::SetCursor).Default(crDefault).Idents("TCursor"),
             Prop("Hint", &Self::Hint, &Self::SetHint),
             Prop("ShowHint", &Self::ShowHint, &Self::SetShowHint).Default(false),
             Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true));
QM_CLASS_OWNED(TGraphicControl, TControl, TComponent)
QM_CLASS_OWNED(TCustomControl, TWinControl, TComponent)

// ---------------------------------------------------------------------------
// Widget <-> control links

TControl* ControlOfWidget(QWidget* Widget) {
    for (QWidget* w = Widget; w; w = w->parentWidget())
        if (auto* link = dynamic_cast<TQtLink*>(w); link && link->Control) return link->Control;
    return nullptr;
}

void SetWidgetControl(QWidget* Widget, TControl* Control) {
    if (auto* link = dynamic_cast<TQtLink*>(Widget)) link->Control = Control;
}

AnsiString StripAccel(const AnsiString& Text) {
    std::string out;
    const std::string& s = Text.str();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += s[i];
    }
    return AnsiString(out);
}

TCustomForm* GetParentForm(const TControl* Control) {
    const TControl* c = Control;
    while (c && c->Parent())
        c = c->Parent();
    // The outermost form, as the platform's GetParentForm does for embedded forms.
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// ---------------------------------------------------------------------------
// TSizeConstraints, TControlCanvas

void TSizeConstraints::Assign(TPersistent* Source) {
    if (auto* c = dynamic_cast<TSizeConstraints*>(Source)) {
        FMinWidth = c->FMinWidth;
        FMinHeight = c->FMinHeight;
        FMaxWidth = c->FMaxWidth;
        FMaxHeight = c->FMaxHeight;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
    if (FMaxWidth > 0 && Width > FMaxWidth) Width = FMaxWidth;
    if (FMinWidth > 0 && Width < FMinWidth) Width = FMinWidth;
    if (FMaxHeight > 0 && Height > FMaxHeight) Height = FMaxHeight;
    if (FMinHeight > 0 && Height < FMinHeight) Height = FMinHeight;
}

namespace {
QSize BufferSize(TControl* c) {
    return QSize(std::max(1, c->ClientWidth()), std::max(1, c->ClientHeight()));
}

void EnsureBuffer(TControl* c) {
    TControlImpl* impl = c->Impl();
    const QSize size = BufferSize(c);
    if (impl->BackBuffer.size() == size) return;
    const bool attached = impl->Canvas && impl->Canvas->AttachedImage() == &impl->BackBuffer;
    if (attached) impl->Canvas->AttachImage(nullptr);
    impl->BackBuffer = QImage(size, QImage::Format_RGB32);
    impl->BackBuffer.fill(ToQColor(c->Color()));
    impl->Dirty = true;
    if (attached) impl->Canvas->AttachImage(&impl->BackBuffer);
}
} // namespace

void TControlCanvas::CreateHandle() {
    if (!FControl) return;
    EnsureBuffer(FControl);
    AttachImage(&FControl->Impl()->BackBuffer);
}

void TControlCanvas::Changed() {
    TCanvas::Changed();
    // Drawing outside a paint cycle (overlays) shows at once.
    if (FControl && !FControl->Impl()->InPaint && FControl->Impl()->Client)
        FControl->Impl()->Client->update();
}

void TControlAccess::Paint(TControl* c) {
    if (auto* g = dynamic_cast<TGraphicControl*>(c))
        g->Paint();
    else if (auto* cc = dynamic_cast<TCustomControl*>(c))
        cc->Paint();
    else if (auto* f = dynamic_cast<TCustomForm*>(c))
        f->Paint();
}

QImage& RenderBackBuffer(TControl* c) {
    TControlImpl* impl = c->Impl();
    EnsureBuffer(c);
    if (impl->Dirty && !impl->InPaint) {
        impl->InPaint = true;
        impl->Dirty = false;
        // Graphic controls stand on their parent's background.
        TColor back = c->Color();
        if (dynamic_cast<TGraphicControl*>(c) && c->Parent()) back = c->Parent()->Color();
        impl->BackBuffer.fill(ToQColor(back));
        if (!impl->Canvas) impl->Canvas = std::make_unique<TControlCanvas>(c);
        // A fresh device state for every paint cycle.
        impl->Canvas->AttachImage(nullptr);
        impl->Canvas->AttachImage(&impl->BackBuffer);
        RunAsMessage(c, [c] { TControlAccess::Paint(c); });
        impl->InPaint = false;
    }
    return impl->BackBuffer;
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner) : TControl(AOwner, NewWidget<TQt<QWidget>>()) {}

TControl::TControl(TComponent* AOwner, QWidget* AWidget)
    : TComponent(AOwner), FImpl(std::make_unique<TControlImpl>()), FFont(std::make_unique<TFont>()),
      FConstraints(std::make_unique<TSizeConstraints>()) {
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FFont->OnChange = [this](TObject*) {
        if (!FFontFromParent) FParentFont = false;
        FontChanged();
    };
    FConstraints->OnChange = [this](TObject*) {
        ResolveSize();
        SetBounds(FLeft, FTop, FWidth, FHeight);
        ApplyGeometry();
    };
    SetWidgetInternal(AWidget);
}

TControl::~TControl() {
    Destroying();
    if (FImpl->Widget) ReleaseSystemWindowsOver(FImpl->Widget);
    ReleaseInputOf(this);
    if (FParent) FParent->RemoveControl(this);
    if (QWidget* w = FImpl->Widget) {
        if (FImpl->Canvas) FImpl->Canvas->AttachImage(nullptr);
        SetWidgetControl(w, nullptr);
        if (FImpl->Client && FImpl->Client != w) SetWidgetControl(FImpl->Client, nullptr);
        w->blockSignals(true);
        DisposeWidget(w);
    }
    FImpl->Widget = nullptr;
    FImpl->Client = nullptr;
}

void TControl::SetWidgetInternal(QWidget* AWidget) {
    FImpl->Widget = AWidget;
    FImpl->Client = AWidget;
    if (!AWidget) return;
    SetWidgetControl(AWidget, this);
    AWidget->setMouseTracking(true);
    AWidget->setAttribute(Qt::WA_NoMousePropagation, false);
}

QWidget* TControl::Widget() const {
    return FImpl->Widget;
}

bool TControl::ClicksFromMouse() const {
    return FImpl->SelfDrawn;
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
    RecordAnchors();
}

void TControl::SetAnchors(TAnchors Value) {
    ResolveSize();
    FAnchors = Value;
    RecordAnchors();
}

void TControl::RecordAnchors() {
    if (!FParent) return;
    // A size left to measure is never anchored (see DeferSize).
    FAnchorBounds = Bounds(FLeft, FTop, FWidth, FHeight);
    FAnchorParentSize = TPoint(FParent->ClientWidth(), FParent->ClientHeight());
}

void TControl::ApplyAnchors() {
    if (!FParent || FAlign != alNone || FAnchors == TAnchors{akLeft, akTop}) return;
    // One axis: the start side, the end side, both or neither keep their place.
    auto place = [](bool start, bool end, int pos, int size, int delta, int& newPos, int& newSize) {
        newPos = pos;
        newSize = size;
        if (start && end)
            newSize = size + delta;
        else if (end)
            newPos = pos + delta;
        else if (!start)
            newPos = pos + delta / 2;
    };
    const TRect& r = FAnchorBounds;
    int left, width, top, height;
    place(FAnchors.Contains(akLeft), FAnchors.Contains(akRight), r.Left, r.Width(),
          FParent->ClientWidth() - FAnchorParentSize.x, left, width);
    place(FAnchors.Contains(akTop), FAnchors.Contains(akBottom), r.Top, r.Height(),
          FParent->ClientHeight() - FAnchorParentSize.y, top, height);
    SetBounds(left, top, width, height);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    ResolveSize();
    int w = std::max(0, AWidth), h = std::max(0, AHeight);
    FConstraints->Apply(w, h);
    const bool moved = ALeft != FLeft || ATop != FTop;
    const bool sized = w != FWidth || h != FHeight;
    if (!moved && !sized) return;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = w;
    FHeight = h;
    ApplyGeometry();
    if (sized) {
        FImpl->Dirty = true;
        if (FImpl->SelfDrawn && FImpl->Client) FImpl->Client->update();
        if (!IsLoading()) Resize();
    }
    if (FParent && !FParent->FAligning) RecordAnchors();
    if (FParent && FAlign != alNone && !FParent->FAligning) FParent->Realign();
    if (FParent) FParent->ChildBoundsChanged(this);
}

void TControl::ApplyGeometry() {
    if (FImpl->Widget) FImpl->Widget->setGeometry(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetClientWidth(int Value) {
    SetWidth(Width() - ClientWidth() + Value);
}
void TControl::SetClientHeight(int Value) {
    SetHeight(Height() - ClientHeight() + Value);
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
    const QPoint g = FImpl->Client->mapToGlobal(QPoint(P.x, P.y));
    return TPoint(g.x(), g.y());
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
    const QPoint l = FImpl->Client->mapFromGlobal(QPoint(P.x, P.y));
    return TPoint(l.x(), l.y());
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    ResolveSize();
    FAlign = Value;
    if (FParent) FParent->Realign();
}

bool TControl::WidgetShouldShow() const {
    return FVisible && FParent != nullptr;
}

void TControl::UpdateWidgetVisibility() {
    QWidget* w = FImpl->Widget;
    if (!w) return;
    const bool show = WidgetShouldShow();
    // A child not hidden shows with its parent; showing it again while the
    // parent is hidden would style it now rather than when first shown.
    if (show && !w->isHidden() && !w->isWindow() && w->parentWidget() &&
        !w->parentWidget()->isVisible())
        return;
    w->setVisible(show);
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    UpdateWidgetVisibility();
    VisibleChanged();
    if (FParent && FAlign != alNone) FParent->Realign();
}

bool TControl::Showing() const {
    if (!FVisible) return false;
    if (FParent) return FParent->Showing();
    return dynamic_cast<const TCustomForm*>(this) != nullptr;
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    ApplyEnabled();
    EnabledChanged();
}

void TControl::ApplyEnabled() {
    if (FImpl->Widget) FImpl->Widget->setEnabled(FEnabled && !FImpl->TaskDisabled);
}

void TControl::SetTextValue(const AnsiString& Value) {
    if (GetTextValue() == Value) return;
    FText = Value;
    TextChanged();
}

void TControl::TextChanged() {
    if (FImpl->SelfDrawn) Invalidate();
}

void TControl::SetColor(TColor Value) {
    if (FColor == Value && !FParentColor) return;
    const bool changed = FColor != Value;
    FColor = Value;
    FParentColor = false;
    if (changed) ColorChanged();
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (Value) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!FParentColor || !FParent) return;
    if (FColor != FParent->Color()) {
        FColor = FParent->Color();
        ColorChanged();
    }
}

void TControl::ColorChanged() {
    ApplyColor();
    if (FImpl->SelfDrawn) Invalidate();
}

void TControl::ApplyColor() {}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (Value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent) return;
    FFontFromParent = true;
    struct Restore {
        bool& flag;
        ~Restore() { flag = false; }
    } restore{FFontFromParent};
    FFont->Assign(FParent->Font());
}

void TControl::FontChanged() {
    // A widget that is not on screen would lay out its text again for every
    // change; it takes its font when it is next shown.
    QWidget* w = FImpl->Widget;
    if (w && !FImpl->SelfDrawn && !w->isVisible())
        FImpl->FontPending = true;
    else
        ApplyFont();
    if (FImpl->SelfDrawn) Invalidate();
}

void TControl::ApplyFont() {
    QWidget* w = FImpl->Widget;
    if (!w || FImpl->SelfDrawn) return;
    w->setFont(ToQFont(*FFont));
    QPalette pal = w->palette();
    const QColor c = ToQColor(FFont->Color());
    // A disabled control writes in the grey text colour, whatever its font's.
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::WindowText, c);
        pal.setColor(g, QPalette::Text, c);
        pal.setColor(g, QPalette::ButtonText, c);
    }
    const QColor grey = ToQColor(clGrayText);
    pal.setColor(QPalette::Disabled, QPalette::WindowText, grey);
    pal.setColor(QPalette::Disabled, QPalette::Text, grey);
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, grey);
    w->setPalette(pal);
}

void TControl::EnabledChanged() {
    if (FImpl->SelfDrawn) Invalidate();
}

void TControl::VisibleChanged() {}

namespace {
bool EffectiveShowHint(const TControl* c) {
    while (c) {
        if (!c->ParentShowHint()) return c->ShowHint();
        c = c->Parent();
    }
    return false;
}
} // namespace

void ApplyHintTree(TControl* c) {
    if (auto* wc = dynamic_cast<TWinControl*>(c))
        for (int i = 0; i < wc->ControlCount(); ++i)
            if (wc->Controls(i)->ParentShowHint()) ApplyHintTree(wc->Controls(i));
    TControlAccess::ApplyHint(c);
}

AnsiString ShownHintOf(const TControl* Control) {
    if (!Control || !EffectiveShowHint(Control) || (Application && !Application->ShowHint()))
        return AnsiString();
    AnsiString shortHint = Control->Hint();
    if (int bar = shortHint.Pos("|"); bar > 0) shortHint = shortHint.SubString(1, bar - 1);
    return shortHint;
}

void TControl::ApplyHint() {
    QWidget* w = FImpl->Widget;
    if (!w) return;
    w->setToolTip(AnsiToQString(ShownHintOf(this)));
}

void TControl::SetHint(const AnsiString& Value) {
    FHint = Value;
    ApplyHint();
}

void TControl::SetShowHint(bool Value) {
    FShowHint = Value;
    FParentShowHint = false;
    ApplyHintTree(this);
}

void TControl::SetParentShowHint(bool Value) {
    FParentShowHint = Value;
    ApplyHintTree(this);
}

void TControl::SetCursor(TCursor Value) {
    FCursor = Value;
    if (QWidget* w = FImpl->Widget) {
        if (Value == crDefault)
            w->unsetCursor();
        else
            w->setCursor(QtCursorOf(Value));
    }
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    FPopupMenu = Value;
}

void TControl::Invalidate() {
    if (FImpl->SelfDrawn) FImpl->Dirty = true;
    if (FImpl->Client) FImpl->Client->update();
}

void TControl::Repaint() {
    if (FImpl->SelfDrawn) {
        FImpl->Dirty = true;
        RenderBackBuffer(this);
        if (FImpl->Client) FImpl->Client->update();
    } else if (FImpl->Widget) {
        FImpl->Widget->update();
    }
}

void TControl::Update() {
    if (FImpl->SelfDrawn && FImpl->Dirty) RenderBackBuffer(this);
}

void TControl::BringToFront() {
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        v.push_back(this);
    }
    if (FImpl->Widget) FImpl->Widget->raise();
}

void TControl::SendToBack() {
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        v.insert(v.begin(), this);
    }
    if (FImpl->Widget) FImpl->Widget->lower();
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void InheritedThen(TControl* Self, const std::function<void()>& Inherited,
                   const std::function<void()>& Then) {
    TCallOut held{Self};
    Inherited();
    if (held.Gone()) return;
    Then();
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    TCallOut held{this, GetParentForm(this)};
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (held.Gone()) return true;
    if (!handled) {
        handled =
            WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

bool TControl::IsAligning() const {
    return FParent && FParent->FAligning;
}
