// TControl, TWinControl, TGraphicControl, TCustomControl and the event bridge
// between Qt widgets and the controls (mouse, keys, focus, paint, dragging).
#include "platform/forms/controls.h"
#include "platform/classes/props.h"
#include "platform/forms/forms.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/menus.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

QM_CLASS_PLAIN(TSizeConstraints, TPersistent)
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

namespace {

TControl* GCapture = nullptr;

struct TDragInfo {
    TControl* Source = nullptr;
    bool Started = false;
    TPoint Start;
    int Threshold = 5;
    TControl* Target = nullptr;
    bool Accepted = false;
    TPoint TargetPos;
};
TDragInfo GDrag;
// Screen position of the last mouse event (drags measure from it).
TPoint GLastMouse;

TMouse GMouse;

} // namespace

TMouse* Mouse = &GMouse;

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

// ---------------------------------------------------------------------------
// Key and modifier mapping

TShiftState ShiftFromQt(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
    TShiftState s;
    if (m & Qt::ShiftModifier) s << ssShift;
    if (m & Qt::ControlModifier) s << ssCtrl;
    if (m & Qt::AltModifier) s << ssAlt;
    if (b & Qt::LeftButton) s << ssLeft;
    if (b & Qt::RightButton) s << ssRight;
    if (b & Qt::MiddleButton) s << ssMiddle;
    return s;
}

Qt::KeyboardModifiers QtModifiersFromShift(TShiftState s) {
    Qt::KeyboardModifiers m;
    if (s.Contains(ssShift)) m |= Qt::ShiftModifier;
    if (s.Contains(ssCtrl)) m |= Qt::ControlModifier;
    if (s.Contains(ssAlt)) m |= Qt::AltModifier;
    return m;
}

TMouseButton ButtonFromQt(Qt::MouseButton b) {
    if (b == Qt::RightButton) return mbRight;
    if (b == Qt::MiddleButton) return mbMiddle;
    return mbLeft;
}

namespace {
struct TKeyPair {
    int Qt;
    WORD VK;
};
constexpr TKeyPair KeyTable[] = {
    {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Help, VK_HELP},
    {Qt::Key_NumLock, VK_NUMLOCK},
    {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Semicolon, VK_OEM_1},
    {Qt::Key_Plus, VK_OEM_PLUS},
    {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS},
    {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Slash, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3},
    {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_Backslash, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6},
    {Qt::Key_Apostrophe, VK_OEM_7},
};
} // namespace

WORD QtKeyToVK(int k, Qt::KeyboardModifiers m) {
    if (m & Qt::KeypadModifier) {
        if (k >= Qt::Key_0 && k <= Qt::Key_9) return WORD(VK_NUMPAD0 + (k - Qt::Key_0));
        if (k == Qt::Key_Asterisk) return VK_MULTIPLY;
        if (k == Qt::Key_Plus) return VK_ADD;
        if (k == Qt::Key_Minus) return VK_SUBTRACT;
        if (k == Qt::Key_Period || k == Qt::Key_Comma) return VK_DECIMAL;
        if (k == Qt::Key_Slash) return VK_DIVIDE;
    }
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return WORD('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return WORD('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return WORD(VK_F1 + (k - Qt::Key_F1));
    for (const TKeyPair& p : KeyTable)
        if (p.Qt == k) return p.VK;
    return 0;
}

int VKToQtKey(WORD vk) {
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
    if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return Qt::Key_0 + (vk - VK_NUMPAD0);
    for (const TKeyPair& p : KeyTable)
        if (p.VK == vk) return p.Qt;
    return 0;
}

Qt::CursorShape CursorShapeOf(TCursor c) {
    switch (c) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait:
        return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag:
        return Qt::DragMoveCursor;
    case crNoDrop:
    case crNo:
        return Qt::ForbiddenCursor;
    case crHSplit:
        return Qt::SplitHCursor;
    case crVSplit:
        return Qt::SplitVCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crHelp:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
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

TShiftState KeyboardStateToShiftState() {
    EnsureQtApplication();
    return ShiftFromQt(QGuiApplication::queryKeyboardModifiers(), QGuiApplication::mouseButtons());
}

TPoint TMouse::CursorPos() const {
    EnsureQtApplication();
    const QPoint p = QCursor::pos();
    return TPoint(p.x(), p.y());
}

void TMouse::SetCursorPos(const TPoint& P) {
    EnsureQtApplication();
    QCursor::setPos(P.x, P.y);
}

TControl* GetCaptureControl() {
    return GCapture;
}
TControl* DragControl() {
    return GDrag.Source;
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
// Event bridge

namespace {

TPoint LocalPos(TControl* target, QWidget* from, const QPointF& pos) {
    QWidget* client = target->Impl()->Client;
    QPoint p = pos.toPoint();
    if (from != client && client) p = client->mapFromGlobal(from->mapToGlobal(p));
    return TPoint(p.x(), p.y());
}

// The platform sends a mouse message to the window under the mouse only: what a
// native widget ignores does not travel on to the parent control.
bool NativeMouse(QEvent* e, const std::function<bool(QEvent*)>& Base) {
    const bool result = Base(e);
    e->accept();
    return result;
}

bool InsideClient(TControl* c, const TPoint& p) {
    return p.x >= 0 && p.y >= 0 && p.x < c->ClientWidth() && p.y < c->ClientHeight();
}

TControl* ControlAtScreen(const TPoint& screen) {
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
        TCustomForm* f = Screen->Forms(i);
        if (!f->Showing() || f->Parent()) continue;
        QWidget* client = f->Impl()->Client;
        const QPoint local = client->mapFromGlobal(QPoint(screen.x, screen.y));
        const TPoint p(local.x(), local.y());
        if (!InsideClient(f, p)) continue;
        TControl* hit = f->ControlAtPos(p);
        return hit ? hit : f;
    }
    return nullptr;
}

void DragMove(const TPoint& screen) {
    if (!GDrag.Source) return;
    if (!GDrag.Started) {
        if (std::abs(screen.x - GDrag.Start.x) < GDrag.Threshold &&
            std::abs(screen.y - GDrag.Start.y) < GDrag.Threshold)
            return;
        GDrag.Started = true;
    }
    TControl* target = ControlAtScreen(screen);
    if (target != GDrag.Target && GDrag.Target) {
        bool accept = false;
        const TPoint p = GDrag.Target->ScreenToClient(screen);
        TControl* old = GDrag.Target;
        RunAsMessage(old, [&] { old->DragOver(GDrag.Source, p.x, p.y, dsDragLeave, accept); });
    }
    const bool entering = target != GDrag.Target;
    GDrag.Target = target;
    GDrag.Accepted = false;
    if (target) {
        const TPoint p = target->ScreenToClient(screen);
        GDrag.TargetPos = p;
        bool accept = false;
        RunAsMessage(target, [&] {
            target->DragOver(GDrag.Source, p.x, p.y, entering ? dsDragEnter : dsDragMove, accept);
        });
        GDrag.Accepted = accept;
    }
    if (QWidget* w = GDrag.Source->Widget())
        w->setCursor(QtCursorOf(GDrag.Accepted ? GDrag.Source->DragCursor() : crNoDrop));
}

void DragFinish(bool drop) {
    if (!GDrag.Source) return;
    const TDragInfo d = GDrag;
    GDrag = TDragInfo();
    if (QWidget* w = d.Source->Widget()) w->setCursor(QtCursorOf(d.Source->Cursor()));
    if (!d.Started) return;
    TControl* target = (drop && d.Accepted) ? d.Target : nullptr;
    if (target)
        RunAsMessage(target, [&] { target->DragDrop(d.Source, d.TargetPos.x, d.TargetPos.y); });
    RunAsMessage(d.Source, [&] {
        TControlAccess::DoEndDrag(d.Source, target, d.TargetPos.x, d.TargetPos.y);
    });
}

TWinControl* KeyTarget(TControl* c) {
    return dynamic_cast<TWinControl*>(c);
}

bool HandleMouse(TControl* control, QWidget* w, QMouseEvent* e,
                 const std::function<bool(QEvent*)>& Base) {
    TControlImpl* impl = control->Impl();
    const bool native = !impl->SelfDrawn;
    const QPoint global = w->mapToGlobal(e->position().toPoint());
    const TPoint screen(global.x(), global.y());
    GLastMouse = screen;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (!w->isEnabled()) return Base(e);
        TControl* target = control;
        const TPoint p = LocalPos(target, w, e->position());
        const TMouseButton button = ButtonFromQt(e->button());
        TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
        const bool dbl = e->type() == QEvent::MouseButtonDblClick &&
                         target->ControlStyle().Contains(csDoubleClicks);
        if (target->ControlStyle().Contains(csCaptureMouse)) GCapture = target;
        if (dbl) {
            shift << ssDouble;
            if (button == mbLeft) RunAsMessage(target, [&] { TControlAccess::DblClick(target); });
            impl->PressClicked = false;
        } else {
            impl->PressClicked = button == mbLeft && TControlAccess::ClicksFromMouse(target) &&
                                 target->ControlStyle().Contains(csClickEvents);
        }
        RunAsMessage(target, [&] { TControlAccess::MouseDown(target, button, shift, p.x, p.y); });
        if (button == mbLeft && !dbl && target->DragMode() == dmAutomatic && !GDrag.Source)
            target->BeginDrag(false);
        if (native) return NativeMouse(e, Base);
        e->accept();
        return true;
    }
    case QEvent::MouseMove: {
        if (GDrag.Source) DragMove(screen);
        TControl* target = GCapture ? GCapture : control;
        if (!target->Widget()->isEnabled()) return native ? Base(e) : true;
        const TPoint p =
            target == control ? LocalPos(target, w, e->position()) : target->ScreenToClient(screen);
        const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
        RunAsMessage(target, [&] { TControlAccess::MouseMove(target, shift, p.x, p.y); });
        if (native) return NativeMouse(e, Base);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        TControl* target = GCapture ? GCapture : control;
        const TPoint p =
            target == control ? LocalPos(target, w, e->position()) : target->ScreenToClient(screen);
        const TMouseButton button = ButtonFromQt(e->button());
        const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
        bool result = true;
        TLifeWatch watch(target);
        if (native) result = NativeMouse(e, Base);
        if (!watch.Alive()) return true;
        TControlImpl* timpl = target->Impl();
        if (timpl->PressClicked && button == mbLeft) {
            timpl->PressClicked = false;
            if (InsideClient(target, p) && target->Widget()->isEnabled())
                RunAsMessage(target, [&] { target->Click(); });
            if (!watch.Alive()) return true;
        }
        if (e->buttons() == Qt::NoButton) GCapture = nullptr;
        if (GDrag.Source && button == mbLeft) DragFinish(true);
        RunAsMessage(target, [&] { TControlAccess::MouseUp(target, button, shift, p.x, p.y); });
        if (!watch.Alive()) return true;
        if (button == mbRight) {
            // The control's pop-up menu, or the nearest parent's.
            for (TControl* c = target; c; c = c->Parent())
                if (TPopupMenu* menu = c->PopupMenu()) {
                    if (menu->AutoPopup()) {
                        menu->SetPopupComponent(target);
                        RunAsMessage(menu, [&] { menu->Popup(screen.x, screen.y); });
                    }
                    break;
                }
        }
        return result;
    }
    default:
        return Base(e);
    }
}

bool HandleWheel(TControl* control, QWidget* w, QWheelEvent* e,
                 const std::function<bool(QEvent*)>& Base) {
    if (!w->isEnabled()) return Base(e);
    TControlImpl* impl = control->Impl();
    impl->WheelRest += e->angleDelta().y();
    const int notches = impl->WheelRest / 120;
    if (notches == 0) return true;
    impl->WheelRest -= notches * 120;
    const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
    const QPoint g = e->globalPosition().toPoint();
    const TPoint pos(g.x(), g.y());
    // An unhandled wheel goes to the parent, as the platform passes the message on.
    for (TControl* c = control; c; c = c->Parent()) {
        bool handled = false;
        RunAsMessage(c,
                     [&] { handled = TControlAccess::DoMouseWheel(c, shift, notches * 120, pos); });
        if (handled) return true;
    }
    return Base(e);
}

} // namespace

bool DispatchKeyPress(TWinControl* c, QKeyEvent* e, const std::function<bool(QEvent*)>& Base) {
    TCustomForm* form = GetParentForm(c);
    WORD key = QtKeyToVK(e->key(), e->modifiers());
    const TShiftState shift = ShiftFromQt(e->modifiers(), Qt::NoButton);
    bool swallow = false;
    const bool modifierOnly = key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
    if (form && key && !modifierOnly) {
        RunAsMessage(form, [&] { swallow = form->IsShortCut(key, shift, c); });
        if (swallow) return true;
    }
    if (form && form != c && form->KeyPreview()) {
        RunAsMessage(form, [&] { TControlAccess::KeyDown(form, key, shift); });
        if (key == 0) return true;
    }
    RunAsMessage(c, [&] { TControlAccess::KeyDown(c, key, shift); });
    if (key == 0) return true;
    if (form && (key == VK_RETURN || key == VK_ESCAPE) && !shift.Contains(ssCtrl) &&
        !shift.Contains(ssAlt) && !TControlAccess::WantsKey(c, key, shift)) {
        bool taken = false;
        RunAsMessage(form, [&] { taken = form->DialogKey(key, c); });
        if (taken) return true;
    }
    const QString text = e->text();
    if (!text.isEmpty()) {
        const AnsiString ansi = QStringToAnsi(text);
        char ch = ansi.IsEmpty() ? '\0' : ansi[1];
        const char original = ch;
        if (ch) {
            if (form && form != c && form->KeyPreview()) {
                RunAsMessage(form, [&] { TControlAccess::KeyPress(form, ch); });
                if (ch == 0) return true;
            }
            RunAsMessage(c, [&] { TControlAccess::KeyPress(c, ch); });
            if (ch == 0) return true;
            if (ch != original) {
                QKeyEvent changed(e->type(), e->key(), e->modifiers(),
                                  AnsiToQString(AnsiString(ch)), e->isAutoRepeat(), e->count());
                return Base(&changed);
            }
        }
    }
    return Base(e);
}

namespace {
bool HandleKeyRelease(TWinControl* c, QKeyEvent* e, const std::function<bool(QEvent*)>& Base) {
    TCustomForm* form = GetParentForm(c);
    WORD key = QtKeyToVK(e->key(), e->modifiers());
    const TShiftState shift = ShiftFromQt(e->modifiers(), Qt::NoButton);
    if (form && form != c && form->KeyPreview()) {
        RunAsMessage(form, [&] { TControlAccess::KeyUp(form, key, shift); });
        if (key == 0) return true;
    }
    RunAsMessage(c, [&] { TControlAccess::KeyUp(c, key, shift); });
    if (key == 0) return true;
    return Base(e);
}
} // namespace

// Window events of forms (close box, activation, user resizing) are handled in forms.cpp.
bool DispatchFormWindowEvent(TCustomForm* Form, QWidget* Widget, QEvent* Event);

namespace {
// A canvas that makes its picture only when something is drawn on it, so a
// control that draws nothing over its face costs nothing.
class TOverCanvas : public TCanvas {
public:
    explicit TOverCanvas(QSize Size) : FSize(Size) {}
    QImage Picture;

protected:
    void CreateHandle() override {
        Picture = QImage(FSize, QImage::Format_ARGB32_Premultiplied);
        Picture.fill(Qt::transparent);
        AttachImage(&Picture);
    }

private:
    QSize FSize;
};
} // namespace

void PaintOverNative(TWinControl* Control, QWidget* Widget) {
    TOverCanvas canvas(Widget->size());
    RunAsMessage(Control, [&] { TControlAccess::PaintOver(Control, &canvas); });
    canvas.AttachImage(nullptr);
    if (canvas.Picture.isNull()) return;
    QPainter painter(Widget);
    painter.drawImage(0, 0, canvas.Picture);
}

void TWinControl::PaintOver(TCanvas*) {}

bool DispatchControlEvent(TControl* control, QWidget* w, QEvent* e,
                          const std::function<bool(QEvent*)>& Base) {
    TControlImpl* impl = control->Impl();
    if (control->IsDestroying()) return Base(e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (impl->SelfDrawn && w != impl->Client) return Base(e);
        return HandleMouse(control, w, static_cast<QMouseEvent*>(e), Base);
    case QEvent::Wheel:
        return HandleWheel(control, w, static_cast<QWheelEvent*>(e), Base);
    case QEvent::KeyPress:
        if (TWinControl* wc = KeyTarget(control); wc && w->isEnabled())
            return DispatchKeyPress(wc, static_cast<QKeyEvent*>(e), Base);
        return Base(e);
    case QEvent::KeyRelease:
        if (TWinControl* wc = KeyTarget(control); wc && w->isEnabled())
            return HandleKeyRelease(wc, static_cast<QKeyEvent*>(e), Base);
        return Base(e);
    case QEvent::ShortcutOverride: {
        // Menu shortcuts are ours; keep Qt's own shortcuts out of the way.
        return Base(e);
    }
    case QEvent::FocusIn:
        if (TWinControl* wc = KeyTarget(control)) {
            TCustomForm* form = GetParentForm(wc);
            if (form && form != wc && form->ActiveControl() != wc)
                RunAsMessage(form, [&] {
                    if (wc->CanFocus()) form->SetActiveControl(wc);
                });
        }
        return Base(e);
    case QEvent::Show:
        impl->WindowMade = true;
        return Base(e);
    case QEvent::Enter:
        RunAsMessage(control, [&] { TControlAccess::MouseEnter(control); });
        return Base(e);
    case QEvent::Leave:
        RunAsMessage(control, [&] { TControlAccess::MouseLeave(control); });
        return Base(e);
    case QEvent::ContextMenu:
        return true;
    case QEvent::Paint:
        if (impl->SelfDrawn && w == impl->Client) {
            QImage& image = RenderBackBuffer(control);
            QPainter painter(w);
            painter.drawImage(0, 0, image);
            return true;
        }
        if (auto* wc = dynamic_cast<TWinControl*>(control); wc && w == impl->Widget) {
            const bool result = Base(e);
            PaintOverNative(wc, w);
            return result;
        }
        return Base(e);
    case QEvent::Close:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::Resize:
    case QEvent::Move:
        if (auto* form = dynamic_cast<TCustomForm*>(control); form && w == impl->Widget) {
            const bool r = DispatchFormWindowEvent(form, w, e);
            if (e->type() == QEvent::Close) return r;
        }
        return Base(e);
    default:
        return Base(e);
    }
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
        SetBounds(FLeft, FTop, FWidth, FHeight);
        ApplyGeometry();
    };
    SetWidgetInternal(AWidget);
}

TControl::~TControl() {
    Destroying();
    if (GCapture == this) GCapture = nullptr;
    if (GDrag.Source == this) GDrag = TDragInfo();
    if (GDrag.Target == this) GDrag.Target = nullptr;
    if (FParent) FParent->RemoveControl(this);
    if (QWidget* w = FImpl->Widget) {
        if (FImpl->Canvas) FImpl->Canvas->AttachImage(nullptr);
        SetWidgetControl(w, nullptr);
        if (FImpl->Client && FImpl->Client != w) SetWidgetControl(FImpl->Client, nullptr);
        w->blockSignals(true);
        delete w;
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

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
    RecordAnchors();
}

void TControl::SetAnchors(TAnchors Value) {
    FAnchors = Value;
    RecordAnchors();
}

void TControl::RecordAnchors() {
    if (!FParent) return;
    FAnchorBounds = BoundsRect();
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
    SetWidth(FWidth - ClientWidth() + Value);
}
void TControl::SetClientHeight(int Value) {
    SetHeight(FHeight - ClientHeight() + Value);
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
    FAlign = Value;
    if (FParent) FParent->Realign();
}

bool TControl::WidgetShouldShow() const {
    return FVisible && FParent != nullptr;
}

void TControl::UpdateWidgetVisibility() {
    if (FImpl->Widget) FImpl->Widget->setVisible(WidgetShouldShow());
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
    ApplyFont();
    if (FImpl->SelfDrawn) Invalidate();
}

void TControl::ApplyFont() {
    QWidget* w = FImpl->Widget;
    if (!w || FImpl->SelfDrawn) return;
    w->setFont(ToQFont(*FFont));
    QPalette pal = w->palette();
    const QColor c = ToQColor(FFont->Color());
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    pal.setColor(QPalette::ButtonText, c);
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

void ApplyHintTree(TControl* c) {
    if (auto* wc = dynamic_cast<TWinControl*>(c))
        for (int i = 0; i < wc->ControlCount(); ++i)
            if (wc->Controls(i)->ParentShowHint()) ApplyHintTree(wc->Controls(i));
    TControlAccess::ApplyHint(c);
}
} // namespace

TControl* FindControlAtScreen(const TPoint& ScreenPoint) {
    return ControlAtScreen(ScreenPoint);
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
    if (FPopupMenu == Value) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
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

bool TControl::MouseCapture() const {
    return GCapture == this;
}

void TControl::SetMouseCapture(bool Value) {
    if (Value)
        GCapture = this;
    else if (GCapture == this)
        GCapture = nullptr;
}

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (GDrag.Source) return;
    GDrag = TDragInfo();
    GDrag.Source = this;
    GDrag.Start = GLastMouse;
    GDrag.Threshold = Threshold < 0 ? 5 : Threshold;
    if (Immediate) {
        GDrag.Started = true;
        DragMove(GDrag.Start);
    }
}

void TControl::EndDrag(bool Drop) {
    if (GDrag.Source == this) DragFinish(Drop);
}

bool TControl::Dragging() const {
    return GDrag.Source == this && GDrag.Started;
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
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
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
    if (GCapture == c) GCapture = nullptr;
    ChildRemoved(c);
    // A control on its way out keeps its widget where it is until it is freed.
    if (QWidget* w = c->Widget(); w && !c->IsDestroying()) {
        w->hide();
        w->setParent(nullptr);
    }
    if (TCustomForm* form = GetParentForm(this)) form->ForgetControl(c);
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

// ---------------------------------------------------------------------------
// Changes made by code that widgets report through signals

namespace {
int GCodeChangeDepth = 0;
std::exception_ptr GCodeChangeError;
} // namespace

TCodeChange::TCodeChange() {
    ++GCodeChangeDepth;
}

TCodeChange::~TCodeChange() {
    if (--GCodeChangeDepth == 0) GCodeChangeError = nullptr;
}

void TCodeChange::Finish() {
    if (!GCodeChangeError) return;
    std::exception_ptr e = GCodeChangeError;
    GCodeChangeError = nullptr;
    std::rethrow_exception(e);
}

void RunFromSignal(TObject* Sender, const std::function<void()>& Handler) {
    if (GCodeChangeDepth == 0) {
        RunAsMessage(Sender, Handler);
        return;
    }
    try {
        Handler();
    } catch (...) {
        if (!GCodeChangeError) GCodeChangeError = std::current_exception();
    }
}

TCanvas* TCustomControl::Canvas() const {
    if (!Impl()->Canvas)
        Impl()->Canvas = std::make_unique<TControlCanvas>(const_cast<TCustomControl*>(this));
    return Impl()->Canvas.get();
}

void TCustomControl::Paint() {}
