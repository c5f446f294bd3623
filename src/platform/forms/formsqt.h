#pragma once
// Platform-internal: the Qt side of the control framework. Widgets behind
// controls, the event bridge, back buffers of self-drawn controls, key and
// modifier mapping. Included only by the forms library's own sources.
#include "platform/classes/watched.h"
#include "platform/forms/controls.h"
#include "platform/graphics/qtbridge.h"
#include <QCursor>
#include <QEvent>
#include <QImage>
#include <QPalette>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

class QFontDialog;
class QKeyEvent;
class QMessageBox;

// Makes sure the Qt application object exists (headless without a display).
void EnsureQtApplication();

// Draws a scroll bar as the platform does, on the geometry Geometry gives.
class QStyle;
class QStyleOptionSlider;
class QPainter;
void DrawPlatformScrollBar(const QStyle* Geometry, const QStyleOptionSlider* Option,
                           QPainter* Painter, const QWidget* Widget);

// Creates a widget of type W after the application object exists.
template <class W, class... A> W* NewWidget(A&&... args) {
    EnsureQtApplication();
    return new W(std::forward<A>(args)...);
}

struct TControlImpl {
    QWidget* Widget = nullptr; // the control's outer widget (the window of a form)
    QWidget* Client = nullptr; // holds the child controls; gets mouse and paint events
    bool SelfDrawn = false;    // painted through Paint into BackBuffer
    QImage BackBuffer;
    std::unique_ptr<TControlCanvas> Canvas;
    bool Dirty = true;
    bool InPaint = false;
    int WheelRest = 0;         // wheel movement below one notch
    bool PressClicked = false; // a press that may turn into Click on release
    bool TaskDisabled = false; // disabled while another form is modal
    bool WindowMade = false;   // was showing once (the platform's window handle exists)
    bool FontPending = false;  // the font changed while the widget was not on screen
};

// Gives the bridge access to the controls' protected handlers.
struct TControlAccess {
    static void MouseDown(TControl* c, TMouseButton b, TShiftState s, int x, int y) {
        c->MouseDown(b, s, x, y);
    }
    static void MouseMove(TControl* c, TShiftState s, int x, int y) { c->MouseMove(s, x, y); }
    static void MouseUp(TControl* c, TMouseButton b, TShiftState s, int x, int y) {
        c->MouseUp(b, s, x, y);
    }
    static void DblClick(TControl* c) { c->DblClick(); }
    static bool DoMouseWheel(TControl* c, TShiftState s, int d, TPoint p) {
        return c->DoMouseWheel(s, d, p);
    }
    static void MouseEnter(TControl* c) { c->MouseEnter(); }
    static void MouseLeave(TControl* c) { c->MouseLeave(); }
    static void Resize(TControl* c) { c->Resize(); }
    static bool ClicksFromMouse(TControl* c) { return c->ClicksFromMouse(); }
    static void DoEndDrag(TControl* c, TObject* t, int x, int y) { c->DoEndDrag(t, x, y); }
    static void KeyDown(TWinControl* c, WORD& k, TShiftState s) { c->KeyDown(k, s); }
    static void KeyPress(TWinControl* c, char& k) { c->KeyPress(k); }
    static void KeyUp(TWinControl* c, WORD& k, TShiftState s) { c->KeyUp(k, s); }
    static void DoEnter(TWinControl* c) { c->DoEnter(); }
    static void DoExit(TWinControl* c) { c->DoExit(); }
    static bool WantsKey(TWinControl* c, WORD k, TShiftState s) { return c->WantsKey(k, s); }
    static void ApplyHeldEntry(TWinControl* c) { c->ApplyHeldEntry(); }
    static void Paint(TControl* c);
    static void PaintOver(TWinControl* c, TCanvas* canvas) { c->PaintOver(canvas); }
    static void SetTextField(TControl* c, const AnsiString& v) { c->FText = v; }
    static void ApplyHint(TControl* c) { c->ApplyHint(); }
    static void ApplyFont(TControl* c) { c->ApplyFont(); }
};

// Tells whether a component was freed while a handler ran.
class TLifeWatch {
public:
    explicit TLifeWatch(TComponent* Watched) : FWatched(Watched) {}
    bool Alive() const { return FWatched != nullptr; }

private:
    TWatched<TComponent> FWatched;
};

// Forwards a Qt event to its control; returns what the widget's event() returns.
bool DispatchControlEvent(TControl* Control, QWidget* Widget, QEvent* Event,
                          const std::function<bool(QEvent*)>& Base);

// The link from a widget to its control, shared by every bridged widget class.
struct TQtLink {
    virtual ~TQtLink() = default;
    TControl* Control = nullptr;
};

// A widget class W that reports its events to the control behind it.
template <class W> class TQt : public W, public TQtLink {
public:
    template <class... A> explicit TQt(A&&... args) : W(std::forward<A>(args)...) {}

protected:
    bool event(QEvent* e) override {
        if (!Control) return W::event(e);
        return DispatchControlEvent(Control, this, e, [this](QEvent* x) { return W::event(x); });
    }
};

// Holds a control's place until the control makes its widget: Make runs when
// the holder is first shown, grabbed or sent a key (which then goes on to
// the made widget). See TWinControl::TakeOverWidget.
class TQtPlaceHolder : public TQt<QWidget> {
public:
    std::function<void()> Make;

protected:
    bool event(QEvent* e) override;
};

// While alive, Qt is inside Object: handling an event of it, or emitting one
// of its signals (from its own loop, or from a call of ours such as a text
// set). Nothing frees Object, or what holds it, until Qt is out again.
class TToolkitInside {
public:
    explicit TToolkitInside(QObject* Object);
    ~TToolkitInside();
    TToolkitInside(const TToolkitInside&) = delete;
    TToolkitInside& operator=(const TToolkitInside&) = delete;
};

// Every signal the platform hears is connected here. Fn runs only while
// Control (when given) stands: a handler an earlier connection ran may have
// freed it. A handler Fn runs may free the control, and the sender then waits
// until Qt has finished emitting. Fn takes the signal's arguments, or none.
template <class F, class... A>
auto InsideToolkit(QObject* Inside, TPersistent* Control, F Fn, QtPrivate::List<A...>) {
    return [Inside, Alive = TWatched<TPersistent>(Control), Fn = std::move(Fn)](A... Args) {
        if (Alive.Gone()) return;
        const TToolkitInside scope(Inside);
        if constexpr (std::is_invocable_v<const F&, A...>)
            Fn(Args...);
        else
            Fn();
    };
}

template <class S, class Signal, class F>
void ConnectSignal(S* Sender, Signal Sig, TPersistent* Control, F Fn) {
    using TArgs = typename QtPrivate::FunctionPointer<Signal>::Arguments;
    QObject::connect(Sender, Sig, Sender, InsideToolkit(Sender, Control, std::move(Fn), TArgs()));
}

// Frees the widget of a control that goes: at once, or, while Qt is inside
// the widget (or one inside it), hidden and detached now and freed once Qt
// is out.
void DisposeWidget(QWidget* Widget);
// The same for an object of Qt that is no widget (a menu item's action).
void DisposeObject(QObject* Object);

// The control a widget belongs to (nullptr for widgets of no control).
TControl* ControlOfWidget(QWidget* Widget);
void SetWidgetControl(QWidget* Widget, TControl* Control);

// Mouse capture and a drag in progress forget a control that goes away.
void ReleaseInputOf(TControl* Control);
// Applies the hints of a control and of the children that take theirs from it.
void ApplyHintTree(TControl* Control);

// The deepest visible control under a screen point, on the topmost form there.
TControl* FindControlAtScreen(const TPoint& ScreenPoint);
// The short part of a control's hint when hints show for it, else empty.
AnsiString ShownHintOf(const TControl* Control);

// Sent to a widget that is grabbed without having been shown, so it can make
// what it leaves until it is shown.
QEvent::Type GrabPrepareEvent();

// Paints a self-drawn control's back buffer when it is out of date and returns it.
QImage& RenderBackBuffer(TControl* Control);
// Paints an image control whose face is its opaque picture, unscaled, straight
// onto Widget, with no back buffer; false when it needs one.
bool PaintPictureDirect(TControl* Control, QWidget* Widget);

// Runs an action the way the message loop runs a handler: an exception is shown
// by the application (or OnException) and the loop goes on; the unwinding
// exceptions of the test hooks pass on to the next ProcessMessages.
void RunAsMessage(TObject* Sender, const std::function<void()>& Action);

// The window's close box, as the window manager sends it, or Alt+F4: ignored
// while the window is disabled.
void CloseFormFromFrame(TCustomForm* Form);

// Stores an unwinding exception caught inside a Qt event and rethrows it from
// the next message-loop step.
void SetPendingUnwind(std::exception_ptr E);
void RethrowPendingUnwind();

// Key codes and modifiers between Qt and the platform.
WORD QtKeyToVK(int QtKey, Qt::KeyboardModifiers Modifiers);
int VKToQtKey(WORD Key);
TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);
Qt::KeyboardModifiers QtModifiersFromShift(TShiftState Shift);
TMouseButton ButtonFromQt(Qt::MouseButton Button);
Qt::CursorShape CursorShapeOf(TCursor Cursor);
// The Qt cursor of a cursor number: a registered picture or a standard shape.
QCursor QtCursorOf(TCursor Cursor);
struct TCursorData {
    QCursor Cursor;
};

// Handles a key press for a windowed control the way the platform's message
// loop does: shortcuts, key preview, KeyDown, dialog keys (Enter, Esc), KeyPress.
// Returns true when the widget must not see the key.
bool DispatchKeyPress(TWinControl* Control, QKeyEvent* Event,
                      const std::function<bool(QEvent*)>& Base);

// The colour a control's text area is filled with.
inline void SetBaseColor(QWidget* w, TColor color) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, ToQColor(color));
    w->setPalette(pal);
}

// Caption text: '&' marks the accelerator in both the platform and Qt.
inline QString QtCaption(const AnsiString& Text) {
    return AnsiToQString(Text);
}
// Caption without accelerator marks ("&&" stays one '&').
AnsiString StripAccel(const AnsiString& Text);

// Services the message loop runs (timers, test hooks, message boxes).
void ServiceTimers();
// Milliseconds until the next timer is due; -1 when no timer runs.
long NextTimerDueMs();
bool PumpScriptActive();
void PumpScriptStep();
int ShowMessageBoxImpl(const AnsiString& Text, const AnsiString& Caption, int Flags);
// What a message box shows, as ShowMessageBoxImpl fills it; the result id of
// each of its buttons.
struct TMessageBoxButton {
    int Button; // QMessageBox::StandardButton
    int Id;     // IDOK, IDCANCEL ...
};
std::vector<TMessageBoxButton> SetUpMessageBox(QMessageBox& Box, const AnsiString& Text,
                                               const AnsiString& Caption, int Flags);
// The font dialog as TFontDialog shows it: every family the system has (read
// now if not yet), the font's own selected; and the font taken from the choice.
void SetUpFontDialog(QFontDialog& Dialog, const TFont& Font);
void TakeFontDialogChoice(const QFontDialog& Dialog, TFont& Font);
// True when Qt runs without a display (tests).
bool IsHeadless();
