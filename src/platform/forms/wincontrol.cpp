// TWinControl (children, alignment, tab order, focus, keys) and the self-drawn
// controls TGraphicControl and TCustomControl.
#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/forms/formsqt.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <QCoreApplication>
#include <QFrame>
#include <QWidget>
#include <algorithm>

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TQt<QWidget>>()) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
}

TWinControl::TWinControl(TComponent* AOwner, QWidget* AWidget) : TControl(AOwner, AWidget) {}

TWinControl::~TWinControl() {
    Destroying();
    // The platform frees child controls with their parent, whoever owns them.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        delete c;
    }
}

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FControls[static_cast<size_t>(Index)];
}

void TWinControl::SetClientWidget(QWidget* AClient) {
    Impl()->Client = AClient;
}

QWidget* TWinControl::ClientWidget() const {
    return Impl()->Client;
}

void TWinControl::InsertControl(TControl* c) {
    if (!c || c->FParent == this) return;
    c->FParent = this;
    FControls.push_back(c);
    if (auto* wc = dynamic_cast<TWinControl*>(c)) FTabList.push_back(wc);
    if (QWidget* w = c->Widget()) {
        if (w->isWindow())
            w->setParent(ClientWidget(), Qt::Widget);
        else
            w->setParent(ClientWidget());
        c->ApplyGeometry();
    }
    if (c->FParentFont) c->ParentFontChanged();
    if (c->FParentColor) c->ParentColorChanged();
    if (c->FParentShowHint) ApplyHintTree(c);
    c->UpdateWidgetVisibility();
    ChildAdded(c);
    if (c->FAlign != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* c) {
    auto it = std::find(FControls.begin(), FControls.end(), c);
    if (it == FControls.end()) return;
    FControls.erase(it);
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), c), FTabList.end());
    c->FParent = nullptr;
    if (GetCaptureControl() == c) c->SetMouseCapture(false);
    ChildRemoved(c);
    // A control on its way out keeps its widget where it is until it is freed.
    if (QWidget* w = c->Widget(); w && !c->IsDestroying()) {
        w->hide();
        w->setParent(nullptr);
    }
    if (TCustomForm* form = GetParentForm(this)) form->ForgetControl(c, this);
    if (!IsDestroying()) {
        if (c->FAlign != alNone) Realign();
    }
}

bool TWinControl::ContainsControl(TControl* AControl) const {
    for (TControl* c = AControl; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& P, bool AllowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || (!AllowDisabled && !c->Enabled())) continue;
        if (!PtInRect(c->BoundsRect(), P)) continue;
        if (auto* wc = dynamic_cast<TWinControl*>(c)) {
            // Child coordinates are relative to the child's client widget.
            const QPoint local = wc->ClientWidget()->mapFrom(ClientWidget(), QPoint(P.x, P.y));
            if (TControl* inner = wc->ControlAtPos(TPoint(local.x(), local.y()), AllowDisabled))
                return inner;
        }
        return c;
    }
    return nullptr;
}

void TWinControl::EnableAlign() {
    if (FAlignDisabled > 0) --FAlignDisabled;
    if (FAlignDisabled == 0 && FAlignPending) Realign();
}

void TWinControl::AdjustClientRect(TRect&) const {}

void TWinControl::Realign() {
    if (FAlignDisabled > 0 || FAligning) {
        FAlignPending = true;
        return;
    }
    FAlignPending = false;
    TRect r = ClientRect();
    AdjustClientRect(r);
    FAligning = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FAligning};
    AlignControls(nullptr, r);
    for (size_t i = 0; i < FControls.size(); ++i)
        FControls[i]->ApplyAnchors();
}

void TWinControl::AlignControls(TControl*, TRect& R) {
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->Align() == align && c->Visible()) list.push_back(c);
        auto key = [align](TControl* c) {
            switch (align) {
            case alTop:
                return c->Top();
            case alBottom:
                return -(c->Top() + c->Height());
            case alLeft:
                return c->Left();
            case alRight:
                return -(c->Left() + c->Width());
            default:
                return 0;
            }
        };
        std::stable_sort(list.begin(), list.end(),
                         [&](TControl* a, TControl* b) { return key(a) < key(b); });
        for (TControl* c : list) {
            switch (align) {
            case alTop:
                c->SetBounds(R.Left, R.Top, R.Width(), c->Height());
                R.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(R.Left, R.Bottom - c->Height(), R.Width(), c->Height());
                R.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(R.Left, R.Top, c->Width(), R.Height());
                R.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(R.Right - c->Width(), R.Top, c->Width(), R.Height());
                R.Right -= c->Width();
                break;
            case alClient:
                c->SetBounds(R.Left, R.Top, R.Width(), R.Height());
                break;
            default:
                break;
            }
        }
    }
}

void TWinControl::Resize() {
    Realign();
    TControl::Resize();
}

void TWinControl::ChildAdded(TControl*) {}
void TWinControl::ChildBoundsChanged(TControl*) {}
void TWinControl::ChildRemoved(TControl*) {}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* c : FControls)
        if (c->FParentFont) c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    for (TControl* c : FControls) {
        if (c->FParentColor)
            c->ParentColorChanged();
        else if (dynamic_cast<TGraphicControl*>(c))
            c->Invalidate();
    }
}

void TWinControl::ParentFontChanged() {
    TControl::ParentFontChanged();
}
void TWinControl::ParentColorChanged() {
    TControl::ParentColorChanged();
}

void TWinControl::SetTabStop(bool Value) {
    FTabStop = Value;
    if (QWidget* w = Widget())
        w->setFocusPolicy(Value ? Qt::StrongFocus
                                : (Impl()->SelfDrawn ? Qt::NoFocus : Qt::ClickFocus));
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!Parent()) return;
    auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    Value = std::clamp(Value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + Value, this);
    for (size_t i = 1; i < list.size(); ++i)
        QWidget::setTabOrder(list[i - 1]->Widget(), list[i]->Widget());
}

namespace {
// Puts Widget where Holder stands in the focus chain of their window, among
// the widgets that take focus, so Tab goes through the window as before.
void PlaceInFocusChain(QWidget* Holder, QWidget* Widget) {
    for (QWidget* w = Holder->previousInFocusChain(); w && w != Holder;
         w = w->previousInFocusChain())
        if (w != Widget && w->focusPolicy() != Qt::NoFocus && !Widget->isAncestorOf(w)) {
            QWidget::setTabOrder(w, Widget);
            return;
        }
}
} // namespace

QWidget* TWinControl::TakeOverWidget(QWidget* AWidget) {
    QWidget* holder = Widget();
    if (QWidget* parent = holder->parentWidget()) {
        AWidget->setParent(parent);
        AWidget->stackUnder(holder);
        PlaceInFocusChain(holder, AWidget);
    }
    SetWidgetControl(holder, nullptr);
    SetWidgetInternal(AWidget);
    SetTabStop(FTabStop);
    if (Cursor() != crDefault) SetCursor(Cursor());
    ApplyGeometry();
    ApplyEnabled();
    ApplyHint();
    return holder;
}

void TWinControl::ShowTakenOver(QWidget* Holder) {
    UpdateWidgetVisibility();
    // The holder may be in its own show event: it goes once that has ended.
    Holder->hide();
    Holder->setParent(Widget());
    Holder->deleteLater();
}

bool TQtPlaceHolder::event(QEvent* e) {
    TControl* control = Control;
    if (!control || !Make) return TQt<QWidget>::event(e);
    switch (e->type()) {
    case QEvent::Show:
        Make();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::ShortcutOverride:
        Make();
        return QCoreApplication::sendEvent(control->Widget(), e);
    default:
        if (e->type() == GrabPrepareEvent()) {
            Make();
            return true;
        }
        return TQt<QWidget>::event(e);
    }
}

bool TWinControl::HandleAllocated() const {
    if (!Impl()->WindowMade && Showing()) Impl()->WindowMade = true;
    return Impl()->WindowMade;
}

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    for (const TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Active() && form->ActiveControl() == this) return true;
    QWidget* w = Widget();
    return w && w->hasFocus();
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (form)
        form->FocusControl(this);
    else if (QWidget* w = Widget())
        w->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::WantsKey(WORD, TShiftState) const {
    return false;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

// ---------------------------------------------------------------------------
// Self-drawn controls

namespace {
QWidget* NewPaintWidget() {
    auto* w = NewWidget<TQt<QWidget>>();
    w->setAttribute(Qt::WA_OpaquePaintEvent);
    w->setAttribute(Qt::WA_NoSystemBackground);
    w->setFocusPolicy(Qt::NoFocus);
    return w;
}
} // namespace

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner, NewPaintWidget()) {
    Impl()->SelfDrawn = true;
}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() const {
    if (!Impl()->Canvas)
        Impl()->Canvas = std::make_unique<TControlCanvas>(const_cast<TGraphicControl*>(this));
    return Impl()->Canvas.get();
}

void TGraphicControl::Paint() {}

namespace {
QWidget* NewFrameWidget() {
    auto* w = NewWidget<TQt<QFrame>>();
    w->setFrameStyle(QFrame::NoFrame);
    w->setFocusPolicy(Qt::NoFocus);
    return w;
}
} // namespace

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner, NewFrameWidget()) {
    QWidget* client = NewPaintWidget();
    client->setParent(Widget());
    SetWidgetControl(client, this);
    client->setMouseTracking(true);
    SetClientWidget(client);
    Impl()->SelfDrawn = true;
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
}

TCustomControl::~TCustomControl() = default;

int TCustomControl::ClientWidth() const {
    return std::max(0, Width() - 2 * FFrameInset - ScrollBarWidth());
}

int TCustomControl::ClientHeight() const {
    return std::max(0, Height() - 2 * FFrameInset - ScrollBarHeight());
}

void TCustomControl::ApplyGeometry() {
    TWinControl::ApplyGeometry();
    if (QWidget* client = ClientWidget())
        if (client != Widget())
            client->setGeometry(FFrameInset, FFrameInset, ClientWidth(), ClientHeight());
}

void TCustomControl::SetFrameInset(int Value) {
    if (FFrameInset == Value) return;
    FFrameInset = Value;
    auto* frame = static_cast<QFrame*>(Widget());
    if (Value > 0) {
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setLineWidth(Value);
    } else {
        frame->setFrameStyle(QFrame::NoFrame);
    }
    ApplyGeometry();
    Impl()->Dirty = true;
    Realign();
}

void TWinControl::PaintOver(TCanvas*) {}

TCanvas* TCustomControl::Canvas() const {
    if (!Impl()->Canvas)
        Impl()->Canvas = std::make_unique<TControlCanvas>(const_cast<TCustomControl*>(this));
    return Impl()->Canvas.get();
}

void TCustomControl::Paint() {}
