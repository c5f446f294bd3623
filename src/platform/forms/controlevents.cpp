// The event bridge between Qt widgets and the controls: what the platform's
// message loop does with mouse, wheel, key, focus, paint and window messages.
//   Mouse capture and drag state
//   Key, modifier and cursor mapping; the mouse
//   Event bridge: mouse, wheel, keys, painting over native widgets, dispatch
//   TControl's mouse capture and dragging
//   Changes made by code that widgets report through signals
#include "platform/classes/watched.h"
#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/menus.h"
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

TControl* GCapture = nullptr;

// A drag calls the handlers of its source and target, which may free either.
struct TDragInfo {
    TWatched<TControl> Source;
    bool Started = false;
    TPoint Start;
    int Threshold = 5;
    TWatched<TControl> Target;
    bool Accepted = false;
    TPoint TargetPos;
};
TDragInfo GDrag;
// Screen position of the last mouse event (drags measure from it).
TPoint GLastMouse;

TMouse GMouse;

// What Qt is inside, innermost last: its own handling of each goes on with
// the object after the control's handlers ran.
std::vector<QObject*> GDispatching;

// Qt is inside Object itself or something Object holds.
bool ToolkitInside(QObject* Object) {
    return std::any_of(GDispatching.begin(), GDispatching.end(), [Object](QObject* d) {
        for (QObject* o = d; o; o = o->parent())
            if (o == Object) return true;
        return false;
    });
}
} // namespace

TToolkitInside::TToolkitInside(QObject* Object) {
    GDispatching.push_back(Object);
}

TToolkitInside::~TToolkitInside() {
    GDispatching.pop_back();
}

TMouse* Mouse = &GMouse;

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
    TControl* old = GDrag.Target;
    if (old && old != target) {
        bool accept = false;
        const TPoint p = old->ScreenToClient(screen);
        TCallOut held{target};
        RunAsMessage(old, [&] { old->DragOver(GDrag.Source, p.x, p.y, dsDragLeave, accept); });
        // A handler that freed the source ended the drag; the control under
        // the mouse, when it went, is looked for again on the next move.
        if (!GDrag.Source) return;
        if (held.Gone()) {
            GDrag.Target = nullptr;
            return;
        }
    }
    const bool entering = target != GDrag.Target.Get();
    GDrag.Target = target;
    GDrag.Accepted = false;
    if (TControl* t = target) {
        const TPoint p = t->ScreenToClient(screen);
        GDrag.TargetPos = p;
        bool accept = false;
        RunAsMessage(t, [&] {
            t->DragOver(GDrag.Source, p.x, p.y, entering ? dsDragEnter : dsDragMove, accept);
        });
        if (!GDrag.Source) return;
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
    if (TControl* target = (drop && d.Accepted) ? d.Target.Get() : nullptr)
        RunAsMessage(target, [&] { target->DragDrop(d.Source, d.TargetPos.x, d.TargetPos.y); });
    // The drop may have freed the source, the target or both.
    TControl* source = d.Source;
    if (!source) return;
    TControl* target = (drop && d.Accepted) ? d.Target.Get() : nullptr;
    RunAsMessage(source,
                 [&] { TControlAccess::DoEndDrag(source, target, d.TargetPos.x, d.TargetPos.y); });
}

TWinControl* KeyTarget(TControl* c) {
    return dynamic_cast<TWinControl*>(c);
}

// The event's widget went with its control: nothing more reaches either.
bool Consumed(QEvent* e) {
    e->accept();
    return true;
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
        // A handler may free the control or its form: the press ends with them.
        TCallOut held{target, GetParentForm(target)};
        if (dbl) {
            shift << ssDouble;
            if (button == mbLeft) RunAsMessage(target, [&] { TControlAccess::DblClick(target); });
            if (held.Gone()) return Consumed(e);
            impl->PressClicked = false;
        } else {
            impl->PressClicked = button == mbLeft && TControlAccess::ClicksFromMouse(target) &&
                                 target->ControlStyle().Contains(csClickEvents);
        }
        RunAsMessage(target, [&] { TControlAccess::MouseDown(target, button, shift, p.x, p.y); });
        if (held.Gone()) return Consumed(e);
        if (button == mbLeft && !dbl && target->DragMode() == dmAutomatic && !GDrag.Source)
            target->BeginDrag(false);
        if (native) return NativeMouse(e, Base);
        e->accept();
        return true;
    }
    case QEvent::MouseMove: {
        if (GDrag.Source) {
            TCallOut held{control};
            DragMove(screen);
            // A drag's handlers may have freed the control under the mouse.
            if (held.Gone()) return Consumed(e);
        }
        TControl* target = GCapture ? GCapture : control;
        if (!target->Widget()->isEnabled()) return native ? Base(e) : true;
        const TPoint p =
            target == control ? LocalPos(target, w, e->position()) : target->ScreenToClient(screen);
        const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
        TCallOut held{target, control, GetParentForm(target)};
        RunAsMessage(target, [&] { TControlAccess::MouseMove(target, shift, p.x, p.y); });
        if (held.Gone()) return Consumed(e);
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
        TCallOut held{target};
        if (native) result = NativeMouse(e, Base);
        if (held.Gone()) return true;
        TControlImpl* timpl = target->Impl();
        if (timpl->PressClicked && button == mbLeft) {
            timpl->PressClicked = false;
            if (InsideClient(target, p) && target->Widget()->isEnabled())
                RunAsMessage(target, [&] { target->Click(); });
            if (held.Gone()) return Consumed(e);
        }
        if (e->buttons() == Qt::NoButton) GCapture = nullptr;
        if (GDrag.Source && button == mbLeft) DragFinish(true);
        // The drop's handlers may have freed the dragged control, which has the mouse.
        if (held.Gone()) return Consumed(e);
        RunAsMessage(target, [&] { TControlAccess::MouseUp(target, button, shift, p.x, p.y); });
        if (held.Gone()) return Consumed(e);
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
    // A handler may free the control it went to, or the form.
    for (TControl* c = control; c; c = c->Parent()) {
        bool handled = false;
        TCallOut held{c, control, GetParentForm(c)};
        RunAsMessage(c,
                     [&] { handled = TControlAccess::DoMouseWheel(c, shift, notches * 120, pos); });
        if (held.Gone()) return Consumed(e);
        if (handled) return true;
    }
    return Base(e);
}

} // namespace

namespace {
// The Windows-1252 bytes of typed text; false when a character has none, so
// the key is refused rather than stored as '?'.
bool TypedChars(const QString& Text, AnsiString& Chars) {
    Chars = QStringToAnsi(Text);
    if (Chars.Length() != Text.size()) return false;
    for (int i = 0; i < Text.size(); ++i)
        if (Chars[i + 1] == '?' && Text[i] != QChar('?')) return false;
    return true;
}

// Runs typed characters through KeyPress (the form's first under key preview)
// and collects those that remain; false when the control went away.
bool PressChars(TWinControl* c, const AnsiString& Typed, std::string& Kept) {
    TCustomForm* form = GetParentForm(c);
    TCallOut held{c, form};
    for (int i = 1; i <= Typed.Length(); ++i) {
        char ch = Typed[i];
        if (form && form != c && form->KeyPreview()) {
            RunAsMessage(form, [&] { TControlAccess::KeyPress(form, ch); });
            if (held.Gone()) return false;
        }
        if (!ch) continue;
        RunAsMessage(c, [&] { TControlAccess::KeyPress(c, ch); });
        if (held.Gone()) return false;
        Kept += ch;
    }
    return true;
}

// Text composed by an input method is typed text too.
bool HandleInputMethod(TWinControl* c, QInputMethodEvent* e,
                       const std::function<bool(QEvent*)>& Base) {
    const QString commit = e->commitString();
    if (commit.isEmpty()) return Base(e);
    AnsiString typed;
    for (QChar qc : commit) {
        AnsiString one;
        if (TypedChars(QString(qc), one)) typed += one;
    }
    std::string kept;
    if (!PressChars(c, typed, kept)) return true;
    const QString keptText = AnsiToQString(AnsiString(kept));
    if (keptText == commit) return Base(e);
    QInputMethodEvent changed(e->preeditString(), e->attributes());
    changed.setCommitString(keptText, e->replacementStart(), e->replacementLength());
    return Base(&changed);
}
} // namespace

bool DispatchKeyPress(TWinControl* c, QKeyEvent* e, const std::function<bool(QEvent*)>& Base) {
    TCustomForm* form = GetParentForm(c);
    const TShiftState shift = ShiftFromQt(e->modifiers(), Qt::NoButton);
    // A key without a virtual-key code (most punctuation, letters of other
    // layouts) has no KeyDown; it still types its character.
    WORD key = QtKeyToVK(e->key(), e->modifiers());
    // A handler may free the control or its form: the key ends with them.
    TCallOut held{c, form};
    if (key) {
        const bool modifierOnly = key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
        if (form && !modifierOnly) {
            bool shortcut = false;
            RunAsMessage(form, [&] { shortcut = form->IsShortCut(key, shift, c); });
            if (shortcut || held.Gone()) return true;
        }
        if (form && form != c && form->KeyPreview()) {
            RunAsMessage(form, [&] { TControlAccess::KeyDown(form, key, shift); });
            if (key == 0 || held.Gone()) return true;
        }
        RunAsMessage(c, [&] { TControlAccess::KeyDown(c, key, shift); });
        if (key == 0 || held.Gone()) return true;
        // Alt+F4 that no window manager took first is the window's close box.
        if (key == VK_F4 && shift == TShiftState{ssAlt} && form) {
            RunAsMessage(form, [form] { CloseFormFromFrame(form); });
            return true;
        }
        if (key == VK_F1 && shift.Empty()) {
            bool helped = false;
            RunAsMessage(c, [&] { helped = Application->ControlHelp(c); });
            if (helped || held.Gone()) return true;
        }
        if (form && (key == VK_RETURN || key == VK_ESCAPE) && !shift.Contains(ssCtrl) &&
            !shift.Contains(ssAlt) && !TControlAccess::WantsKey(c, key, shift)) {
            bool taken = false;
            RunAsMessage(form, [&] { taken = form->DialogKey(key, c); });
            if (taken || held.Gone()) return true;
        }
    }
    // The character comes from the event's text, whatever the key code.
    const QString text = e->text();
    if (text.isEmpty()) return Base(e);
    AnsiString typed;
    if (!TypedChars(text, typed)) return true;
    std::string kept;
    if (!PressChars(c, typed, kept)) return true;
    if (kept.empty()) return true;
    if (kept == typed.str()) return Base(e);
    QKeyEvent changed(e->type(), e->key(), e->modifiers(), AnsiToQString(AnsiString(kept)),
                      e->isAutoRepeat(), e->count());
    return Base(&changed);
}

namespace {
bool HandleKeyRelease(TWinControl* c, QKeyEvent* e, const std::function<bool(QEvent*)>& Base) {
    TCustomForm* form = GetParentForm(c);
    WORD key = QtKeyToVK(e->key(), e->modifiers());
    if (key == 0) return Base(e);
    const TShiftState shift = ShiftFromQt(e->modifiers(), Qt::NoButton);
    // A handler may free the control or its form: the key ends with them.
    TCallOut held{c, form};
    if (form && form != c && form->KeyPreview()) {
        RunAsMessage(form, [&] { TControlAccess::KeyUp(form, key, shift); });
        if (held.Gone()) return Consumed(e);
        if (key == 0) return true;
    }
    RunAsMessage(c, [&] { TControlAccess::KeyUp(c, key, shift); });
    if (held.Gone()) return Consumed(e);
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

void DisposeObject(QObject* Object) {
    if (!ToolkitInside(Object)) {
        delete Object;
        return;
    }
    Object->blockSignals(true);
    Object->deleteLater();
}

void DisposeWidget(QWidget* Widget) {
    if (!ToolkitInside(Widget)) {
        delete Widget;
        return;
    }
    // A key typed into an edit box whose handler freed the box: the box ends
    // its key, out of sight and out of the window, and goes after.
    if (QWidget* f = QApplication::focusWidget(); f && (f == Widget || Widget->isAncestorOf(f)))
        f->clearFocus();
    Widget->hide();
    Widget->setParent(nullptr);
    Widget->deleteLater();
}

bool DispatchControlEvent(TControl* control, QWidget* w, QEvent* e,
                          const std::function<bool(QEvent*)>& Base) {
    TControlImpl* impl = control->Impl();
    if (control->IsDestroying()) return Base(e);
    const TToolkitInside dispatching(w);
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
    case QEvent::InputMethod:
        if (TWinControl* wc = KeyTarget(control); wc && w->isEnabled())
            return HandleInputMethod(wc, static_cast<QInputMethodEvent*>(e), Base);
        return Base(e);
    case QEvent::ShortcutOverride: {
        // Menu shortcuts are ours; keep Qt's own shortcuts out of the way.
        return Base(e);
    }
    case QEvent::FocusIn:
        if (TWinControl* wc = KeyTarget(control)) {
            TCustomForm* form = GetParentForm(wc);
            if (form && form != wc && form->ActiveControl() != wc) {
                // Leaving and entering may free either control or the form.
                TCallOut held{wc, form};
                RunAsMessage(form, [&] {
                    if (wc->CanFocus()) form->SetActiveControl(wc);
                });
                if (held.Gone()) return Consumed(e);
            }
        }
        return Base(e);
    case QEvent::Show:
        impl->WindowMade = true;
        if (w == impl->Widget) {
            if (impl->FontPending) {
                impl->FontPending = false;
                TControlAccess::ApplyFont(control);
            }
            control->ResolveSize();
        }
        return Base(e);
    case QEvent::Enter: {
        TCallOut held{control, GetParentForm(control)};
        RunAsMessage(control, [&] { TControlAccess::MouseEnter(control); });
        if (held.Gone()) return Consumed(e);
        return Base(e);
    }
    case QEvent::Leave: {
        TCallOut held{control, GetParentForm(control)};
        RunAsMessage(control, [&] { TControlAccess::MouseLeave(control); });
        if (held.Gone()) return Consumed(e);
        return Base(e);
    }
    case QEvent::ContextMenu:
        return true;
    case QEvent::Paint:
        if (impl->SelfDrawn && w == impl->Client) {
            if (PaintPictureDirect(control, w)) return true;
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

QEvent::Type GrabPrepareEvent() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

TControl* FindControlAtScreen(const TPoint& ScreenPoint) {
    return ControlAtScreen(ScreenPoint);
}

// ---------------------------------------------------------------------------
// TControl's mouse capture and dragging

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

void ReleaseInputOf(TControl* Control) {
    if (GCapture == Control) GCapture = nullptr;
    if (GDrag.Source.Is(Control)) GDrag = TDragInfo();
    if (GDrag.Target.Is(Control)) GDrag.Target = nullptr;
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
