// The dialog responder, the pump script and simulated user input.
#include "platform/forms/testhooks.h"
#include "platform/classes/watched.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/qtbridge.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/sysutils.h"
#include <QApplication>
#include <QCloseEvent>
#include <QWindow>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QEnterEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cstdio>
#include <cstring>

namespace {
TDialogResponder* GResponder = nullptr;
TPumpScript* GScript = nullptr;
Qt::MouseButtons GHeldButtons;

bool Contains(const AnsiString& Text, const AnsiString& Part) {
    return Part.IsEmpty() || Text.Pos(Part) > 0;
}

AnsiString Describe(const TDialogRequest& r) {
    return AnsiString(DialogKindName(r.Kind)) + " \"" + r.Caption + "\": \"" + r.Text + "\"";
}
} // namespace

const char* DialogKindName(TDialogKind Kind) {
    switch (Kind) {
    case TDialogKind::MessageBox:
        return "message box";
    case TDialogKind::InputQuery:
        return "input box";
    case TDialogKind::OpenDialog:
        return "open dialog";
    case TDialogKind::SaveDialog:
        return "save dialog";
    case TDialogKind::ColorDialog:
        return "colour dialog";
    case TDialogKind::FontDialog:
        return "font dialog";
    case TDialogKind::PrintDialog:
        return "print dialog";
    case TDialogKind::PrinterSetupDialog:
        return "printer set-up dialog";
    case TDialogKind::PopupMenu:
        return "pop-up menu";
    }
    return "dialog";
}

TDialogAnswer CancelAnswer(const TDialogRequest& Request) {
    TDialogAnswer a;
    a.Accept = false;
    switch (Request.Flags & MB_TYPEMASK) {
    case MB_OK:
        a.Result = IDOK;
        break;
    case MB_ABORTRETRYIGNORE:
        a.Result = IDABORT;
        break;
    case MB_YESNO:
        a.Result = IDNO;
        break;
    default:
        a.Result = IDCANCEL;
        break;
    }
    return a;
}

// ---------------------------------------------------------------------------
// TDialogResponder

TDialogResponder::TDialogResponder() : FPrevious(GResponder) {
    GResponder = this;
}

TDialogResponder::~TDialogResponder() {
    GResponder = FPrevious;
    for (const TExpected& e : FExpected)
        Fail(AnsiString("expected ") + DialogKindName(e.Kind) + " containing \"" + e.TextPart +
             "\" was never shown");
}

TDialogResponder* TDialogResponder::Current() {
    return GResponder;
}

void TDialogResponder::Fail(const AnsiString& Message) {
    FFailures.push_back(Message);
    if (OnFailure)
        OnFailure(Message);
    else
        std::fprintf(stderr, "dialog responder: %s\n", Message.c_str());
}

TDialogResponder& TDialogResponder::Expect(TDialogKind Kind, const AnsiString& TextPart,
                                           TDialogAnswer Answer) {
    FExpected.push_back({Kind, TextPart, std::move(Answer)});
    return *this;
}

TDialogResponder& TDialogResponder::ExpectMessage(const AnsiString& TextPart, int Result) {
    TDialogAnswer a;
    a.Result = Result;
    return Expect(TDialogKind::MessageBox, TextPart, a);
}

TDialogResponder& TDialogResponder::ExpectInput(const AnsiString& PromptPart,
                                                const AnsiString& Value) {
    TDialogAnswer a;
    a.Text = Value;
    return Expect(TDialogKind::InputQuery, PromptPart, a);
}

TDialogResponder& TDialogResponder::ExpectInputCancel(const AnsiString& PromptPart) {
    TDialogAnswer a;
    a.Accept = false;
    return Expect(TDialogKind::InputQuery, PromptPart, a);
}

TDialogResponder& TDialogResponder::ExpectOpen(const AnsiString& FileName, int FilterIndex) {
    TDialogAnswer a;
    a.Text = FileName;
    a.FilterIndex = FilterIndex;
    return Expect(TDialogKind::OpenDialog, AnsiString(), a);
}

TDialogResponder& TDialogResponder::ExpectSave(const AnsiString& FileName, int FilterIndex) {
    TDialogAnswer a;
    a.Text = FileName;
    a.FilterIndex = FilterIndex;
    return Expect(TDialogKind::SaveDialog, AnsiString(), a);
}

TDialogResponder& TDialogResponder::ExpectCancel(TDialogKind Kind) {
    TDialogAnswer a;
    a.Accept = false;
    a.Result = IDCANCEL;
    return Expect(Kind, AnsiString(), a);
}

TDialogResponder&
TDialogResponder::ExpectColor(TColor Color, std::function<void(std::vector<TColor>&)> EditCustom) {
    TDialogAnswer a;
    a.Color = Color;
    a.EditCustomColors = std::move(EditCustom);
    return Expect(TDialogKind::ColorDialog, AnsiString(), a);
}

TDialogResponder& TDialogResponder::ExpectFont(std::function<void(TFont*)> Edit) {
    TDialogAnswer a;
    a.EditFont = std::move(Edit);
    return Expect(TDialogKind::FontDialog, AnsiString(), a);
}

TDialogResponder& TDialogResponder::ExpectPrint(bool Accept) {
    TDialogAnswer a;
    a.Accept = Accept;
    return Expect(TDialogKind::PrintDialog, AnsiString(), a);
}

TDialogResponder& TDialogResponder::ExpectPrintPages(int From, int To) {
    TDialogAnswer a;
    a.FromPage = From;
    a.ToPage = To;
    return Expect(TDialogKind::PrintDialog, AnsiString(), a);
}

TDialogResponder& TDialogResponder::ExpectPrintToFile(const AnsiString& FileName) {
    TDialogAnswer a;
    a.Text = FileName;
    return Expect(TDialogKind::PrintDialog, AnsiString(), a);
}

TDialogResponder& TDialogResponder::ExpectPaper(TDialogKind Kind, TPaperSize Paper,
                                                TPrinterOrientation Orientation,
                                                const AnsiString& FileName) {
    TDialogAnswer a;
    a.Text = FileName;
    a.Paper = Paper;
    a.Orientation = Orientation;
    return Expect(Kind, AnsiString(), a);
}

bool TDialogResponder::Answer(const TDialogRequest& Request, TDialogAnswer& Answer) {
    TDialogResponder* r = GResponder;
    if (!r) return false;
    r->FShown.push_back(Request);
    if (r->FExpected.empty()) {
        if (r->AnswerAny) {
            Answer = r->AnswerAny(Request);
            if (Answer.WhileShown) Answer.WhileShown();
            return true;
        }
        r->Fail("unexpected " + Describe(Request));
        Answer = CancelAnswer(Request);
        return true;
    }
    TExpected e = std::move(r->FExpected.front());
    r->FExpected.pop_front();
    if (e.Kind != Request.Kind ||
        !(Contains(Request.Text, e.TextPart) || Contains(Request.Caption, e.TextPart))) {
        r->Fail(AnsiString("expected ") + DialogKindName(e.Kind) + " containing \"" + e.TextPart +
                "\", but got " + Describe(Request));
        Answer = CancelAnswer(Request);
        return true;
    }
    Answer = std::move(e.Answer);
    if (Answer.WhileShown) Answer.WhileShown();
    return true;
}

// ---------------------------------------------------------------------------
// TPumpScript

TPumpScript::TPumpScript() : FPrevious(GScript) {
    GScript = this;
}
TPumpScript::~TPumpScript() {
    GScript = FPrevious;
}
TPumpScript* TPumpScript::Current() {
    return GScript;
}

bool PumpScriptActive() {
    return GScript != nullptr;
}

void PumpScriptStep() {
    if (GScript) GScript->Step();
}

TPumpScript& TPumpScript::When(std::function<bool()> Condition) {
    FNextCondition = std::move(Condition);
    return *this;
}

TPumpScript& TPumpScript::After(int Pumps) {
    FNextAfter = Pumps;
    return *this;
}

TPumpScript& TPumpScript::Do(std::function<void()> Action, const AnsiString& Description) {
    TStep step;
    step.Condition = std::move(FNextCondition);
    step.Action = std::move(Action);
    step.Description = Description.IsEmpty() ? AnsiString("step") : Description;
    step.AfterPumps = FNextAfter;
    FNextCondition = nullptr;
    FNextAfter = 0;
    FSteps.push_back(std::move(step));
    return *this;
}

namespace {
std::function<bool()> Both(std::function<bool()> a, std::function<bool()> b) {
    if (!a) return b;
    return [a = std::move(a), b = std::move(b)] { return a() && b(); };
}

AnsiString NameOf(const TComponent* c) {
    if (!c) return "(none)";
    return c->Name().IsEmpty() ? c->ClassName() : c->Name();
}
} // namespace

TPumpScript& TPumpScript::Click(TControl* Control) {
    FNextCondition = Both(std::move(FNextCondition), [Control] { return CanUserReach(Control); });
    return Do([Control] { SimulateClick(Control); }, "click " + NameOf(Control));
}

TPumpScript& TPumpScript::Type(TWinControl* Control, const AnsiString& Text) {
    FNextCondition = Both(std::move(FNextCondition), [Control] { return CanUserReach(Control); });
    return Do([Control, Text] { SimulateType(Control, Text); }, "type into " + NameOf(Control));
}

TPumpScript& TPumpScript::Key(TWinControl* Control, WORD Key, TShiftState Shift) {
    FNextCondition = Both(std::move(FNextCondition), [Control] { return CanUserReach(Control); });
    return Do([Control, Key, Shift] { SimulateKey(Control, Key, Shift); },
              "key " + IntToStr(Key) + " on " + NameOf(Control));
}

TPumpScript& TPumpScript::Menu(TMenuItem* Item) {
    FNextCondition = Both(std::move(FNextCondition), [Item] {
        for (TMenuItem* i = Item; i; i = i->Parent())
            if (!i->Enabled() || (!i->Visible() && i->Parent())) return false;
        return true;
    });
    return Do([Item] { Item->Click(); }, "menu " + NameOf(Item));
}

TPumpScript& TPumpScript::AdvanceClockPerPump(uint32_t Ms) {
    FAdvance = Ms;
    return *this;
}

TPumpScript& TPumpScript::SetMaxIdlePumps(long Pumps) {
    FMaxIdle = Pumps;
    return *this;
}

TPumpScript::TStep& TPumpScript::Pending() {
    return FSteps.front();
}

void TPumpScript::Step() {
    ++FPumps;
    ++FSinceLast;
    if (FAdvance)
        if (auto* clock = dynamic_cast<TVirtualClock*>(&CurrentClock())) clock->Advance(FAdvance);
    if (FFailed) throw EPumpScriptFailure("pump script: the loop goes on after the script failed");
    if (!FSteps.empty()) {
        TStep& step = Pending();
        bool ready = FSinceLast >= step.AfterPumps;
        if (ready && step.Condition) {
            try {
                ready = step.Condition();
            } catch (...) {
                ready = false;
            }
        }
        if (ready) {
            TStep run = std::move(step);
            FSteps.pop_front();
            FSinceLast = 0;
            FIdle = 0;
            FLog.push_back(run.Description);
            RunAsMessage(nullptr, run.Action);
            return;
        }
    }
    if (++FIdle > FMaxIdle) {
        FFailed = true;
        throw EPumpScriptFailure(
            FSteps.empty()
                ? AnsiString("pump script: the loop went on after the last step")
                : "pump script: step \"" + FSteps.front().Description + "\" never became ready");
    }
}

// ---------------------------------------------------------------------------
// Simulated input

namespace {
// A window fitted to the screen scrolls its client area: its face is the
// menu bar over the whole client area, as a larger screen would show it.
QImage FittedFace(TCustomForm* Form) {
    QWidget* win = Form->Widget();
    QWidget* client = Form->Impl()->Client;
    if (!client || client->parentWidget() == win) return QImage();
    auto* bar = win->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    const int mh = bar && !bar->isHidden() ? bar->height() : 0;
    QImage face(client->width(), mh + client->height(), QImage::Format_RGB32);
    face.fill(win->palette().color(QPalette::Window));
    QPainter p(&face);
    if (mh) p.drawImage(0, 0, bar->grab().toImage());
    p.drawImage(0, mh, client->grab().toImage());
    return face;
}
} // namespace

TRect ShownWindowBounds(TCustomForm* Form) {
    const QWidget* win = Form->Widget();
    auto* bar = win->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    const int mh = bar && !bar->isHidden() ? bar->height() : 0;
    const int extraW = Form->Width() - Form->ClientWidth();
    const int extraH = Form->Height() - Form->ClientHeight() - mh;
    return Rect(Form->Left(), Form->Top(), Form->Left() + win->width() + extraW,
                Form->Top() + win->height() + extraH);
}

TShownClient ShownClient(TCustomForm* Form) {
    const QWidget* win = Form->Widget();
    const QWidget* client = Form->Impl()->Client;
    auto* bar = win->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    const int mh = bar && !bar->isHidden() ? bar->height() : 0;
    return {win->width(), win->height() - mh, client && client->parentWidget() != win};
}

void SimulateFrameResize(TCustomForm* Form, int ClientWidth, int ClientHeight) {
    QWidget* win = Form->Widget();
    auto* bar = win->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    const int mh = bar && !bar->isHidden() ? bar->height() : 0;
    // Through the platform's window, so the size comes back as the window
    // manager's.
    if (QWindow* w = win->windowHandle()) w->resize(ClientWidth, ClientHeight + mh);
    QCoreApplication::processEvents();
    Application->ProcessMessages();
}

namespace {
// A grab draws controls that were never shown as well: they take their fonts
// and sizes first.
void ApplyPendingFonts(TControl* Control) {
    if (Control->Impl()->FontPending) {
        Control->Impl()->FontPending = false;
        TControlAccess::ApplyFont(Control);
    }
    Control->ResolveSize();
    if (QWidget* w = Control->Widget()) {
        QEvent e(GrabPrepareEvent());
        QCoreApplication::sendEvent(w, &e);
    }
    if (auto* wc = dynamic_cast<TWinControl*>(Control))
        for (int i = 0; i < wc->ControlCount(); ++i)
            ApplyPendingFonts(wc->Controls(i));
}
} // namespace

void GrabControl(TControl* Control, TBitmap* Into) {
    ApplyPendingFonts(Control);
    QImage face;
    if (auto* form = dynamic_cast<TCustomForm*>(Control); form && !form->Parent())
        face = FittedFace(form);
    if (face.isNull()) face = Control->Widget()->grab().toImage();
    face = face.convertToFormat(QImage::Format_RGB32);
    Into->SetSize(face.width(), face.height());
    QImage* target = BitmapImage(Into);
    if (!target || target->size() != face.size() || target->depth() != 32) return;
    for (int y = 0; y < face.height(); ++y)
        std::memcpy(target->scanLine(y), face.constScanLine(y), size_t(face.width()) * 4);
}

TEditTextRoom EditTextRoom(TCustomEdit* Edit, const AnsiString& Text) {
    ApplyPendingFonts(Edit);
    auto* le = qobject_cast<QLineEdit*>(Edit->Widget());
    if (!le) return {};
    // The line's rectangle as the line edit paints it: inside the frame and
    // the text margins, 2 pixels a side; the text and the cursor's pixel.
    QStyleOptionFrame panel;
    panel.initFrom(le);
    panel.lineWidth =
        le->hasFrame() ? le->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, le) : 0;
    panel.midLineWidth = 0;
    panel.state |= QStyle::State_Sunken;
    const QRect contents = le->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &panel, le)
                               .marginsRemoved(le->textMargins());
    return {le->fontMetrics().horizontalAdvance(AnsiToQString(Text)) + 1, contents.width() - 2 * 2};
}

void SimulateCloseBox(TCustomForm* Form) {
    EnsureQtApplication();
    QWidget* w = Form->Widget();
    QCloseEvent e;
    // The window system's close reaches the widget through its window, which
    // hides the widget when the widget accepts.
    if (QWindow* window = w->windowHandle())
        QCoreApplication::sendEvent(window, &e);
    else
        QCoreApplication::sendEvent(w, &e);
    RethrowPendingUnwind();
}

bool WaitForKeyboard(TCustomForm* Form) {
    EnsureQtApplication();
    QWidget* w = Form->Widget();
    // Counted in the window system's events, not in time: the window manager
    // answers the window's raise with a few.
    const auto flags = IsHeadless() ? QEventLoop::AllEvents
                                    : QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents;
    for (int i = 0; i < 100 && !w->isActiveWindow(); ++i)
        QCoreApplication::processEvents(flags);
    return w->isActiveWindow();
}

bool CanUserReach(const TControl* Control) {
    if (!Control || !Control->Showing() || !Control->Enabled()) return false;
    for (const TControl* c = Control; c; c = c->Parent())
        if (!c->Enabled()) return false;
    QWidget* w = Control->Widget();
    return w && w->isEnabled();
}

namespace {
QWidget* MouseWidget(TControl* c) {
    return c->Impl()->Client ? c->Impl()->Client : c->Widget();
}

Qt::MouseButton QtButton(TMouseButton b) {
    switch (b) {
    case mbRight:
        return Qt::RightButton;
    case mbMiddle:
        return Qt::MiddleButton;
    default:
        return Qt::LeftButton;
    }
}
} // namespace

void SimulateMouse(TControl* Control, TMouseAction Action, TMouseButton Button, int X, int Y,
                   TShiftState Shift) {
    EnsureQtApplication();
    QWidget* w = MouseWidget(Control);
    const QPointF local(X, Y);
    const QPointF global = w->mapToGlobal(local.toPoint());
    const Qt::MouseButton qb = QtButton(Button);
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton changed = Qt::NoButton;
    switch (Action) {
    case TMouseAction::Down:
        type = QEvent::MouseButtonPress;
        GHeldButtons |= qb;
        changed = qb;
        break;
    case TMouseAction::DoubleClick:
        type = QEvent::MouseButtonDblClick;
        GHeldButtons |= qb;
        changed = qb;
        break;
    case TMouseAction::Up:
        type = QEvent::MouseButtonRelease;
        GHeldButtons &= ~Qt::MouseButtons(qb);
        changed = qb;
        break;
    case TMouseAction::Move:
        break;
    }
    QMouseEvent event(type, local, global, changed, GHeldButtons, QtModifiersFromShift(Shift));
    QCoreApplication::sendEvent(w, &event);
    RethrowPendingUnwind();
}

// The button goes on only to a control that is still there.
void SimulateClick(TControl* Control, int X, int Y) {
    if (X < 0) X = Control->ClientWidth() / 2;
    if (Y < 0) Y = Control->ClientHeight() / 2;
    // A handler may free the control on the way: the user's hand then finds nothing.
    TCallOut held{Control};
    for (TMouseAction a : {TMouseAction::Down, TMouseAction::Up})
        if (held.Live()) SimulateMouse(Control, a, mbLeft, X, Y);
}

void SimulateDoubleClick(TControl* Control, int X, int Y) {
    if (X < 0) X = Control->ClientWidth() / 2;
    if (Y < 0) Y = Control->ClientHeight() / 2;
    TCallOut held{Control};
    for (TMouseAction a :
         {TMouseAction::Down, TMouseAction::Up, TMouseAction::DoubleClick, TMouseAction::Up})
        if (held.Live()) SimulateMouse(Control, a, mbLeft, X, Y);
}

void SimulateWheel(TControl* Control, int Delta, int X, int Y, TShiftState Shift) {
    EnsureQtApplication();
    if (X < 0) X = Control->ClientWidth() / 2;
    if (Y < 0) Y = Control->ClientHeight() / 2;
    QWidget* w = MouseWidget(Control);
    const QPointF local(X, Y);
    const QPointF global = w->mapToGlobal(local.toPoint());
    QWheelEvent event(local, global, QPoint(), QPoint(0, Delta), GHeldButtons,
                      QtModifiersFromShift(Shift), Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &event);
    RethrowPendingUnwind();
}

void SimulateMouseEnter(TControl* Control) {
    EnsureQtApplication();
    QWidget* w = MouseWidget(Control);
    const QPointF local(Control->ClientWidth() / 2, Control->ClientHeight() / 2);
    QEnterEvent event(local, local, w->mapToGlobal(local.toPoint()));
    QCoreApplication::sendEvent(w, &event);
    RethrowPendingUnwind();
}

void SimulateFocus(TWinControl* Control) {
    EnsureQtApplication();
    QFocusEvent event(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(Control->Widget(), &event);
    RethrowPendingUnwind();
}

void SimulateMouseLeave(TControl* Control) {
    EnsureQtApplication();
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(MouseWidget(Control), &event);
    RethrowPendingUnwind();
}

namespace {
// False when entering the control freed it (its OnEnter, or the OnExit of
// the control left).
bool FocusForKeys(TWinControl* Control) {
    TCustomForm* form = GetParentForm(Control);
    if (!form || !form->Visible() || !Control->CanFocus() || form->ActiveControl() == Control ||
        form == Control)
        return true;
    TCallOut held{Control};
    RunAsMessage(form, [&] { form->SetActiveControl(Control); });
    return held.Live();
}

QString KeyText(WORD Key, TShiftState Shift) {
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) return QString();
    if (Key >= 'A' && Key <= 'Z') return QString(QChar(Shift.Contains(ssShift) ? Key : Key + 32));
    if (Key >= '0' && Key <= '9') return QString(QChar(Key));
    switch (Key) {
    case VK_RETURN:
        return QStringLiteral("\r");
    case VK_ESCAPE:
        return QStringLiteral("\x1b");
    case VK_BACK:
        return QStringLiteral("\b");
    case VK_TAB:
        return QStringLiteral("\t");
    case VK_SPACE:
        return QStringLiteral(" ");
    default:
        return QString();
    }
}

// Keys go where the focus is once the control took it (a grid's editor, say).
QWidget* KeyWidget(TWinControl* Control) {
    TCustomForm* form = GetParentForm(Control);
    if (form && form->Visible() && form->ActiveControl() &&
        (form->ActiveControl() == Control || Control->ContainsControl(form->ActiveControl())))
        return form->ActiveControl()->Widget();
    return Control->Widget();
}

void SendKey(QWidget* w, int qtKey, Qt::KeyboardModifiers mods, const QString& text) {
    // The press may free the widget's control, and the widget with it.
    QPointer<QWidget> target(w);
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QCoreApplication::sendEvent(w, &press);
    if (!target) return;
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QCoreApplication::sendEvent(w, &release);
}
} // namespace

// A handler of focusing or of a key may free the control: no key reaches it then.
void SimulateKey(TWinControl* Control, WORD Key, TShiftState Shift) {
    EnsureQtApplication();
    // Focusing runs OnEnter and OnExit, which may free the control.
    TCallOut held{Control};
    if (!FocusForKeys(Control) || held.Gone()) {
        RethrowPendingUnwind();
        return;
    }
    SendKey(KeyWidget(Control), VKToQtKey(Key), QtModifiersFromShift(Shift), KeyText(Key, Shift));
    RethrowPendingUnwind();
}

void SimulateType(TWinControl* Control, const AnsiString& Text) {
    EnsureQtApplication();
    TCallOut held{Control};
    if (!FocusForKeys(Control) || held.Gone()) {
        RethrowPendingUnwind();
        return;
    }
    for (int i = 1; i <= Text.Length() && held.Live(); ++i) {
        const char ch = Text[i];
        const QString text = AnsiToQString(AnsiString(ch));
        const QChar upper = text.isEmpty() ? QChar() : text[0].toUpper();
        int key = 0;
        Qt::KeyboardModifiers mods;
        if (upper >= QChar('A') && upper <= QChar('Z')) {
            key = Qt::Key_A + (upper.unicode() - 'A');
            if (text[0].isUpper()) mods = Qt::ShiftModifier;
        } else if (upper >= QChar('0') && upper <= QChar('9')) {
            key = Qt::Key_0 + (upper.unicode() - '0');
        } else if (ch == ' ') {
            key = Qt::Key_Space;
        } else if (ch == '\r') {
            key = Qt::Key_Return;
        } else {
            key = text.isEmpty() ? 0 : text[0].unicode();
        }
        SendKey(KeyWidget(Control), key, mods, text);
        RethrowPendingUnwind();
    }
}
