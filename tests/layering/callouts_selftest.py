#!/usr/bin/env python3
"""The call-out check on small sample units parsed by libclang: what it must
pass and what it must fail."""
import io
import json
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import callouts  # noqa: E402

# The toolkit, outside src/: a widget whose signals the platform connects.
_TOOLKIT = r'''
#pragma once
class QObject {
public:
    virtual ~QObject() {}
    template <class... A> static void connect(A...) {}
};
class QWidget : public QObject {
public:
    virtual bool event(int) { return false; }
    void setFocus();
};
class QLineEdit : public QWidget {
public:
    void setText(const char*);
    const char* text() const;
    void textChanged(const char*);
};
class QAbstractButton : public QWidget {
public:
    void clicked();
};
'''

_BASE = r'''
#pragma once
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>
#include <toolkit.h>
class TObject { public: virtual ~TObject() {} };
class TPersistent : public TObject {};
class TCallOut {
public:
    TCallOut(std::initializer_list<TPersistent*>);
    bool Gone() const;
    bool Live() const;
};
template <class T> class TWatched {
public:
    TWatched(T* p) : F(p) {}
    T* operator->() const { return F; }
    operator T*() const { return F; }
private:
    T* F;
};
class TForm : public TPersistent { public: int ShowModal(); };
struct TModalOutcome { bool Gone = false; bool Ok() const { return !Gone; } };
TModalOutcome ShowModalWatching(TForm* Form, std::initializer_list<TPersistent*> Watched,
                                TPersistent* Caller = nullptr);
int MessageDlg(const char* Text);
void ShowMessage(const char* Text);
class TApplication {
public:
    void ProcessMessages();
    template <class T> void CreateForm(T*& Reference) { Reference = new T; }
};
extern TApplication* Application;
extern std::function<void()> GSettingsHook;
extern std::function<void()> GQuietHook;
void RunIt(const std::function<void()>& Action);
// a hook installed through a setter's parameter
void SetDialogHook(std::function<void()> Hook);
bool RunDialogHook();

// The platform's one way to hear a toolkit signal.
template <class S, class Sig, class F> void ConnectSignal(S* Sender, Sig Signal, QObject* Context, F Fn) {
    QObject::connect(Sender, Signal, Context, Fn);
}

// A program window, made at start and freed at exit, and a form that is none.
class TWindow : public TForm {
public:
    int Count = 0;
    void Ask();
};
class TPassing : public TForm {
public:
    int Count = 0;
    void Ask();
};
extern TWindow* Window1;
void StartWindows();
void AskThroughAlias();

class TBase : public TPersistent {
public:
    virtual void DoIt();
    virtual void Notification();
};
class TDerived : public TBase {
public:
    void DoIt() override;
    void Notification() override;
};
class TCheckBox : public TPersistent {
public:
    TCheckBox();
    QAbstractButton* Button = nullptr;
    std::function<void(TCheckBox*)> OnClick;
    void Click();
    void SetState(int Value);
};
// A view whose zoom a user's bar moves: its handler fires only through SetZoom.
class TView : public TPersistent {
public:
    std::function<void(int)> OnChangedZoom;
    void SetZoom(int Value);
};
// A box the toolkit's line edit stands for: a character typed tells OnSetEditText.
class TEditBox : public TPersistent {
public:
    TEditBox();
    QLineEdit* Line = nullptr;
    std::function<void(TEditBox*)> OnSetEditText;
    int Sel = 0;
    void SetText(const char* Text);
    void Change();
};
// Binds a check box to a setter, kept in its click handler.
class TBinder : public TPersistent {
public:
    void Bind(TCheckBox* C, std::function<void(bool)> Set);
    void BindGuarded(TCheckBox* C, std::function<void(bool)> Set);
    void Written();
};

// A number box: its change is a handler code fires, which a page binds to a setter.
class TNumBox : public TPersistent {
public:
    TNumBox();
    QLineEdit* Line = nullptr;
    std::function<void(TNumBox*)> OnChange;
    void SetText(const char* Text);
    void Change();
};
// An up-down's like: its arrow writes another control, the box beside it.
class TSpin : public TPersistent {
public:
    TSpin();
    QAbstractButton* Arrow = nullptr;
    QAbstractButton* Other = nullptr;
    TNumBox* Buddy = nullptr;
    TEditBox* Edit = nullptr;
    int Pos = 0;
    void Step();
    void StepGuarded();
    void Show();
    void Poke();
    void Nudge();
};
// The toolkit's events reach the program through a bridge deriving from the widget.
bool Dispatch(QObject* Widget, int Event);
template <class W> class TBridge : public W {
protected:
    bool event(int e) override { return Dispatch(this, e); }
};
extern TSpin* GSpin;
// A panel telling its listeners of a change, or of a user's mouse.
class TTeeEvent {
public:
    virtual ~TTeeEvent() = default;
};
class TTeeMouseEvent : public TTeeEvent {};
class TChangeEvent : public TTeeEvent {};
class IListener {
public:
    virtual ~IListener() = default;
    virtual void TeeEvent(TTeeEvent* Event) = 0;
};
class TDragger : public TPersistent, public IListener {
public:
    std::function<void(TDragger*)> OnSetLabel;
    void TeeEvent(TTeeEvent* Event) override;
};
class TPanelish : public TPersistent {
public:
    std::vector<IListener*> Listeners;
    int Down = 0;
    void Broadcast(TTeeEvent* Event);
    void MouseDown();
    void Changed();
};
// a hook installed by a namespace-scope initializer
void SetScopeHook(std::function<void()> Hook);
bool RunScopeHook();

class TTool : public TPersistent {
public:
    static TTool* Of(TTool* t);
    std::function<void(TTool*)> OnChange;
    std::function<void(TTool*)> OnClick;
    std::function<int(TTool*)> OnGetValue;
    int Value = 0;
    void Click();
    void Press();
    void Notify();
    void Last();
    void LastThenReturn();
    bool LastReturnsLocal(bool handled);
    int InReturn();
    void Guarded();
    void UsedAfter();
    void GuardTooLate();
    void InLoop();
    void InLoopGuarded();
    void LoopThenBreak();
    void ElseSkipped(bool a);
    void Lambda();
    void CopiedHandler();
    void Drive();
    void DriveGuarded();
    void CallsNotify();
    void Settings();
    void Quiet();
    void Run1();
    void Run2();
    void Wrong(TTool* other);
    void Right(TTool* other);
    void Watched(TTool* other);
    void Fresh();
    void SecondGuard(TTool* other);
    void ForEach(std::vector<TTool*>& v);
    void TabledOne();
    void StaleRow();
    bool OuterGuard();
    void ThroughSetter();
    void BindMe(TBinder* b, TCheckBox* c);
    void StoreOnly(TCheckBox* c);
    void CallsGiven();
    void Typed(TEditBox* e);
    void TypedUnguarded(TEditBox* e);
    void Runs(const std::function<void()>& Action);
    void RunsQuiet(const std::function<void()>& Action);
    void ThroughScopeHook();
};
'''

_TOOL = r'''
#include "base.h"

void TTool::Click() { if (OnClick) OnClick(this); }
void TTool::Press() { Click(); }
void TTool::Notify() { if (OnChange) OnChange(this); }
void TTool::Last() { if (OnChange) OnChange(this); }
void TTool::LastThenReturn() {
    if (OnChange) OnChange(this);
    return;
}
bool TTool::LastReturnsLocal(bool handled) {
    if (OnChange) OnChange(this);
    return handled;
}
int TTool::InReturn() { return OnGetValue ? OnGetValue(this) : 0; }
void TTool::Guarded() {
    TCallOut held{this};
    if (OnChange && held.Live()) OnChange(this);
    if (held.Gone()) return;
    Value = 1;
}
void TTool::UsedAfter() {
    if (OnChange) OnChange(this);
    Value = 2;
}
void TTool::GuardTooLate() {
    TCallOut held{this};
    if (OnChange) OnChange(this);
    Value = 3;
    if (held.Gone()) return;
}
void TTool::InLoop() {
    for (int i = 0; i < 3; ++i) {
        if (OnChange) OnChange(this);
    }
}
void TTool::InLoopGuarded() {
    TCallOut held{this};
    for (int i = 0; i < 3; ++i) {
        if (OnChange) OnChange(this);
        if (held.Gone()) return;
    }
}
void TTool::LoopThenBreak() {
    for (int i = 0; i < 3; ++i) {
        if (i == 1) {
            if (OnChange) OnChange(this);
            break;
        }
    }
}
void TTool::ElseSkipped(bool a) {
    if (a) {
        if (OnChange) OnChange(this);
    } else {
        Value = 4;
    }
}
void TTool::Lambda() {
    auto f = [this] { if (OnChange) OnChange(this); };
    f();
}
void TTool::CopiedHandler() {
    auto handler = OnChange;
    auto f = [this, handler] {
        if (handler) handler(this);
        Value = 13;
    };
    f();
}
// an input handler two routines down
void TTool::Drive() {
    Press();
    Value = 1;
}
void TTool::DriveGuarded() {
    TCallOut held{this};
    Press();
    if (held.Gone()) return;
    Value = 1;
}
// a handler code fires is a call-out where it is called only
void TTool::CallsNotify() {
    Notify();
    Value = 1;
}
void TTool::Settings() {
    GSettingsHook();
    Value = 3;
}
void TTool::Quiet() {
    GQuietHook();
    Value = 4;
}
void TTool::Run1() {
    RunIt([] { ShowMessage("x"); });
    Value = 5;
}
void TTool::Run2() {
    RunIt([] {});
    Value = 6;
}
void TTool::Wrong(TTool* other) {
    TCallOut held{this};
    Press();
    if (held.Gone()) return;
    other->Value = 1;
}
void TTool::Right(TTool* other) {
    TCallOut held{this, other};
    Press();
    if (held.Gone()) return;
    other->Value = 1;
}
void TTool::Watched(TTool* other) {
    TWatched<TTool> w = other;
    Press();
    if (!w) return;
    w->Value = 1;
}
void TTool::Fresh() {
    Press();
    TTool* t = Of(nullptr);
    if (!t) return;
    t->Value = 1;
}
void TTool::SecondGuard(TTool* other) {
    TCallOut self{this}, them{other};
    Press();
    if (self.Gone() || them.Gone()) return;
    other->Value = Value;
}
void TTool::ForEach(std::vector<TTool*>& v) {
    std::for_each(v.begin(), v.end(), [](TTool* t) { t->Press(); });
    Value = 7;
}
void TTool::TabledOne() {
    if (OnChange) OnChange(this);
    Value = 7;
}
void TTool::StaleRow() {}
bool TTool::OuterGuard() {
    TWatched<TTool> self = this;
    auto step = [&]() -> bool {
        Application->ProcessMessages();
        return self && self->Value;
    };
    return step();
}

void UseBase(TBase* b, TTool* t) {
    b->DoIt();
    t->Value = 1;
}
// code sets a check box: it fires the click handler, as code
void SetBox(TCheckBox* b, TTool* t) {
    b->SetState(1);
    t->Value = 1;
}
// dispatch followed to the named routine only
void Tell(TBase* b, TTool* t) {
    b->Notification();
    t->Value = 1;
}
void UseQualified(TBase* b, TTool* t) {
    b->TBase::DoIt();
    t->Value = 1;
}
bool AskUser() { return MessageDlg("Sure?") == 1; }
void Dialogs(TTool* t) {
    if (!AskUser()) return;
    t->Value = 8;
}
void Outcome(TForm* f, TTool* t) {
    const TModalOutcome r = ShowModalWatching(f, {t});
    if (!r.Ok()) return;
    t->Value = 10;
}
void OutcomeInCondition(TForm* f, TTool* t) {
    if (ShowModalWatching(f, {t}).Ok()) t->Value = 11;
}
void OutcomeWrongObject(TForm* f, TTool* t, TTool* u) {
    if (!ShowModalWatching(f, {t}).Ok()) return;
    u->Value = 12;
}
void DialogGuardedInCondition(TTool* t, TForm* d) {
    TCallOut held{t};
    if (!d->ShowModal() || held.Gone()) return;
    t->Value = 9;
}
void Loop(TTool* t) {
    while (t->Value) {
        Application->ProcessMessages();
        t->Value--;
    }
}
void ComparedOnly(TTool* t, TTool* u) {
    MessageDlg("x");
    if (t == u) return;
}
void TTool::ThroughSetter() {
    RunDialogHook();
    Value = 14;
}
// the setter is kept, not called, here; the click calls it later
void TTool::BindMe(TBinder* b, TCheckBox* c) {
    b->Bind(c, [this](bool) { Press(); });
    b->BindGuarded(c, [this](bool) { Press(); });
    Value = 15;
}
void TTool::StoreOnly(TCheckBox* c) {
    auto keep = [c](std::function<void()> Set) { c->OnClick = [Set](TCheckBox*) { Set(); }; };
    keep([this] { Press(); });
    std::function<void()> kept = [this] { Press(); };
    Value = 16;
}
// a local lambda that calls what it is given, given one that calls out
void TTool::CallsGiven() {
    auto run = [](const std::function<void()>& Call) { Call(); };
    run([this] { Press(); });
    Value = 20;
}
void TTool::Typed(TEditBox* e) {
    TCallOut held{this, e};
    e->SetText("5");
    if (held.Gone()) return;
    e->Sel = 1;
}
void TTool::TypedUnguarded(TEditBox* e) {
    e->SetText("5");
    e->Sel = 1;
}
void TTool::Runs(const std::function<void()>& Action) {
    Action();
    Value = 18;
}
void TTool::RunsQuiet(const std::function<void()>& Action) {
    Action();
    Value = 19;
}
void GiveModal(TTool* t) { t->Runs([] { ShowMessage("r"); }); }
// the arrow clicked writes the box, whose bound setter fires a user's handler
void TSpin::Step() {
    Buddy->SetText("2");
    Pos = 1;
}
void TSpin::StepGuarded() {
    TCallOut held{this};
    Buddy->SetText("2");
    if (held.Gone()) return;
    Pos = 2;
}
// code showing a value: the box's change is code's
void TSpin::Show() {
    Buddy->SetText("3");
    Pos = 3;
}
// another control's widget changed directly
void TSpin::Poke() {
    Edit->Line->setText("4");
    Pos = 4;
}
// reached only from the toolkit's events, through the bridge
void TSpin::Nudge() {
    Buddy->SetText("5");
    Pos = 5;
}
void TPanelish::MouseDown() {
    TTeeMouseEvent e;
    Broadcast(&e);
    Down = 1;
}
void TPanelish::Changed() {
    TChangeEvent e;
    Broadcast(&e);
    Down = 2;
}
void TTool::ThroughScopeHook() {
    RunScopeHook();
    Value = 21;
}
void GiveQuiet(TTool* t) { t->RunsQuiet([] {}); }
'''

# the hooks installed, and the override, in a unit of their own
_OTHER = r'''
#include "base.h"
std::function<void()> GSettingsHook;
std::function<void()> GQuietHook;
void TBase::DoIt() {}
void TDerived::DoIt() { MessageDlg("derived"); }
void TBase::Notification() {}
void TDerived::Notification() { MessageDlg("told"); }
void TCheckBox::Click() { if (OnClick) OnClick(this); }
void TCheckBox::SetState(int) { Click(); }
void RunIt(const std::function<void()>& Action) { Action(); }
std::function<void()> GDialogHook;
void SetDialogHook(std::function<void()> Hook) { GDialogHook = std::move(Hook); }
void InstallDialog() {
    SetDialogHook([] { MessageDlg("dialog"); });
}
bool RunDialogHook() {
    std::function<void()> hook;
    hook = GDialogHook;
    if (!hook) return false;
    hook();
    return true;
}
TCheckBox::TCheckBox() {
    ConnectSignal(Button, &QAbstractButton::clicked, Button, [this] { Click(); });
}
void TView::SetZoom(int Value) {
    if (OnChangedZoom) OnChangedZoom(Value);
}
TEditBox::TEditBox() {
    ConnectSignal(Line, &QLineEdit::textChanged, Line, [this](const char*) { Change(); });
}
void TEditBox::Change() {
    if (OnSetEditText) OnSetEditText(this);
}
void TEditBox::SetText(const char* Text) { Line->setText(Text); }
void TBinder::Bind(TCheckBox* C, std::function<void(bool)> Set) {
    C->OnClick = [this, C, Set = std::move(Set)](TCheckBox*) {
        Set(true);
        Written();
    };
}
void TBinder::BindGuarded(TCheckBox* C, std::function<void(bool)> Set) {
    C->OnClick = [this, C, Set = std::move(Set)](TCheckBox*) {
        TCallOut held{this, C};
        Set(true);
        if (held.Gone()) return;
        Written();
    };
}
// a signal connected without the platform's routine
void Direct(QLineEdit* l, TTool* t) {
    QObject::connect(l, &QLineEdit::textChanged, l, [t](const char*) { t->Value = 1; });
}
TWindow* Window1 = nullptr;
void StartWindows() { Application->CreateForm(Window1); }
void TWindow::Ask() {
    MessageDlg("window");
    Count = 1;
}
void TPassing::Ask() {
    MessageDlg("passing");
    Count = 1;
}
void AskThroughAlias() {
    TWindow* w = Window1;
    MessageDlg("alias");
    w->Count = 2;
}
void InstallHooks() {
    GSettingsHook = [] { ShowMessage("settings"); };
    GQuietHook = [] {};
}
TNumBox::TNumBox() {
    ConnectSignal(Line, &QLineEdit::textChanged, Line, [this](const char*) { Change(); });
}
void TNumBox::Change() {
    if (OnChange) OnChange(this);
}
void TNumBox::SetText(const char* Text) { Line->setText(Text); }
void BindPress(TNumBox* b, TTool* t) { b->OnChange = [t](TNumBox*) { t->Press(); }; }
TSpin::TSpin() {
    ConnectSignal(Arrow, &QAbstractButton::clicked, Arrow, [this] { Step(); });
    ConnectSignal(Other, &QAbstractButton::clicked, Other, [this] { StepGuarded(); });
}
TSpin* GSpin = nullptr;
bool Dispatch(QObject*, int e) {
    if (e == 1) GSpin->Nudge();
    return true;
}
void TDragger::TeeEvent(TTeeEvent* Event) {
    if (dynamic_cast<TTeeMouseEvent*>(Event) && OnSetLabel) OnSetLabel(this);
}
void TPanelish::Broadcast(TTeeEvent* Event) {
    TCallOut held{this};
    for (IListener* l : Listeners) {
        l->TeeEvent(Event);
        if (held.Gone()) return;
    }
}
std::function<void()> GScopeHook;
void SetScopeHook(std::function<void()> Hook) { GScopeHook = std::move(Hook); }
bool RunScopeHook() {
    if (!GScopeHook) return false;
    GScopeHook();
    return true;
}
namespace {
const bool scopeHookSet = (SetScopeHook([] { MessageDlg("scope"); }), true);
}
'''

_TABLE = '''# a sample table
src/tool.cpp  TTool::TabledOne  OnChange  outlives  the tool is the program's own
src/tool.cpp  TTool::StaleRow  OnChange  stack  no such call-out
src/tool.cpp  TTool::Last  OnChange  stack  a row for a call-out that needs none
src/tool.cpp  TTool::Drive  Press  sometimes  a row of no kind
'''

# (routine, call) -> the way the check must read it
_EXPECTED = {
    ('TTool::Click', 'OnClick'): 'last',
    ('TTool::Press', 'Click'): 'last',
    ('TTool::Notify', 'OnChange'): 'last',
    ('TTool::Last', 'OnChange'): 'last',
    ('TTool::LastThenReturn', 'OnChange'): 'last',
    ('TTool::LastReturnsLocal', 'OnChange'): 'last',
    ('TTool::InReturn', 'OnGetValue'): 'last',
    ('TTool::Guarded', 'OnChange'): 'guarded',
    ('TTool::UsedAfter', 'OnChange'): 'used',
    ('TTool::GuardTooLate', 'OnChange'): 'used',
    ('TTool::InLoop', 'OnChange'): 'used',
    ('TTool::InLoopGuarded', 'OnChange'): 'guarded',
    ('TTool::LoopThenBreak', 'OnChange'): 'last',
    ('TTool::ElseSkipped', 'OnChange'): 'last',
    ('TTool::Lambda/lambda', 'OnChange'): 'last',
    ('TTool::CopiedHandler/lambda', 'handler'): 'used',
    ('TTool::Drive', 'Press'): 'used',
    ('TTool::DriveGuarded', 'Press'): 'guarded',
    ('TTool::Settings', 'GSettingsHook'): 'used',
    ('TTool::Run1', 'RunIt'): 'used',
    ('TTool::Wrong', 'Press'): 'unwatched',
    ('TTool::Right', 'Press'): 'guarded',
    ('TTool::Watched', 'Press'): 'guarded',
    ('TTool::Fresh', 'Press'): 'last',
    ('TTool::SecondGuard', 'Press'): 'guarded',
    ('TTool::ForEach', 'for_each'): 'used',
    ('TTool::ForEach/lambda', 'Press'): 'last',
    ('TTool::TabledOne', 'OnChange'): 'used',
    ('TTool::OuterGuard/lambda', 'ProcessMessages'): 'guarded',
    ('UseBase', 'DoIt'): 'used',
    ('AskUser', 'MessageDlg'): 'last',
    ('Dialogs', 'AskUser'): 'used',
    ('Outcome', 'ShowModalWatching'): 'guarded',
    ('OutcomeInCondition', 'ShowModalWatching'): 'guarded',
    ('OutcomeWrongObject', 'ShowModalWatching'): 'unwatched',
    ('DialogGuardedInCondition', 'ShowModal'): 'guarded',
    ('Loop', 'ProcessMessages'): 'used',
    ('ComparedOnly', 'MessageDlg'): 'last',
    ('TDerived::DoIt', 'MessageDlg'): 'last',
    ('TDerived::Notification', 'MessageDlg'): 'last',
    ('TCheckBox::Click', 'OnClick'): 'last',
    ('TCheckBox::SetState', 'Click'): 'last',
    # a lambda of the routine's own that runs a loop, returned
    ('TTool::OuterGuard', 'step'): 'last',
    ('InstallHooks/lambda', 'ShowMessage'): 'last',
    ('TTool::Run1/lambda', 'ShowMessage'): 'last',
    # a program window outlives every call-out; another form does not
    ('TWindow::Ask', 'MessageDlg'): 'last',
    ('AskThroughAlias', 'MessageDlg'): 'last',
    ('TPassing::Ask', 'MessageDlg'): 'used',
    # a parameter called: a call-out where a caller gives it one that calls out
    ('RunIt', 'Action'): 'last',
    ('TTool::Runs', 'Action'): 'used',
    ('GiveModal', 'Runs'): 'last',
    ('GiveModal/lambda', 'ShowMessage'): 'last',
    # a hook installed through a setter's parameter
    ('InstallDialog/lambda', 'MessageDlg'): 'last',
    ('RunDialogHook', 'hook'): 'last',
    ('TTool::ThroughSetter', 'RunDialogHook'): 'used',
    # a setter kept in a handler is called where the handler fires
    ('TBinder::Bind/lambda', 'Set'): 'used',
    ('TBinder::BindGuarded/lambda', 'Set'): 'guarded',
    ('TTool::BindMe/lambda', 'Press'): 'last',
    ('TTool::StoreOnly/lambda', 'Set'): 'last',
    ('TTool::StoreOnly/lambda', 'Press'): 'last',
    ('TTool::CallsGiven', 'run'): 'used',
    ('TTool::CallsGiven/lambda', 'Call'): 'last',
    ('TTool::CallsGiven/lambda', 'Press'): 'last',
    # the toolkit's signal runs in every routine that changes its widget
    ('TCheckBox::TCheckBox/lambda', 'Click'): 'last',
    ('TEditBox::TEditBox/lambda', 'Change'): 'last',
    ('TEditBox::Change', 'OnSetEditText'): 'last',
    ('TEditBox::SetText', 'setText'): 'last',
    ('TTool::Typed', 'SetText'): 'guarded',
    ('TTool::TypedUnguarded', 'SetText'): 'used',
    ('TView::SetZoom', 'OnChangedZoom'): 'last',
    ('TNumBox::TNumBox/lambda', 'Change'): 'last',
    ('TNumBox::Change', 'OnChange'): 'last',
    ('TNumBox::SetText', 'setText'): 'last',
    ('BindPress/lambda', 'Press'): 'last',
    ('TSpin::TSpin/lambda', 'Step'): 'last',
    ('TSpin::TSpin/lambda', 'StepGuarded'): 'last',
    ('TSpin::Step', 'SetText'): 'used',
    ('TSpin::StepGuarded', 'SetText'): 'guarded',
    ('TSpin::Poke', 'setText'): 'used',
    ('TSpin::Nudge', 'SetText'): 'used',
    ('Dispatch', 'Nudge'): 'last',
    ('TBridge::event', 'Dispatch'): 'last',
    ('TDragger::TeeEvent', 'OnSetLabel'): 'last',
    ('TPanelish::Broadcast', 'TeeEvent'): 'last',
    ('TPanelish::MouseDown', 'Broadcast'): 'used',
    ('RunScopeHook', 'GScopeHook'): 'last',
    ('scopeHookSet/lambda', 'MessageDlg'): 'last',
    ('TTool::ThroughScopeHook', 'RunScopeHook'): 'used',
}


def _units(tmp, files):
    src = os.path.join(tmp, 'src')
    build = os.path.join(tmp, 'build')
    toolkit = os.path.join(tmp, 'toolkit')
    for d in (src, build, toolkit):
        os.makedirs(d, exist_ok=True)
    with open(os.path.join(toolkit, 'toolkit.h'), 'w') as fh:
        fh.write(_TOOLKIT)
    entries = []
    for name, text in files.items():
        path = os.path.join(src, name)
        with open(path, 'w') as fh:
            fh.write(text)
        if name.endswith('.cpp'):
            entries.append({'directory': build, 'file': path,
                            'command': 'c++ -std=c++20 -Wall -I%s -isystem %s -o %s.o -c %s'
                                       % (src, toolkit, name, path)})
    with open(os.path.join(build, 'compile_commands.json'), 'w') as fh:
        json.dump(entries, fh)
    return src, build


def main():
    err = callouts.load_clang()
    if err:
        print(err)
        return 1
    sys.setrecursionlimit(20000)
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        src, build = _units(tmp, {'base.h': _BASE, 'tool.cpp': _TOOL, 'other.cpp': _OTHER})
        table = os.path.join(tmp, 'table.txt')
        with open(table, 'w') as fh:
            fh.write(_TABLE)
        # a routine listed as reached only by code that is the user's only way to its handler
        callouts.QUIET_ROUTINES['TView::SetZoom'] = "a view's zoom set by code"
        prog, parse, units = callouts.read_program(src, build, 2, tmp)
        failures += ['parse: ' + p for p in parse]
        rows, errors = callouts.read_table(table)
        failed, findings, counts = callouts.check(prog, rows, table)
        found = {}
        for c in prog.callouts:
            found[(c.routine['name'], c.callee)] = c.way
        for key, way in _EXPECTED.items():
            if found.get(key) != way:
                failures.append('%s calling %s: expected %s, read %s'
                                % (key[0], key[1], way, found.get(key, 'nothing')))
        for key in found:
            if key not in _EXPECTED:
                failures.append('%s calling %s: read as a call-out, but is none' % key)
        text = '\n'.join(failed)
        for must in ('TTool::UsedAfter calls OnChange and then uses this',
                     'TTool::Drive calls Press (through TTool::Press -> TTool::Click -> OnClick)',
                     'TTool::Wrong calls Press (through TTool::Press -> TTool::Click -> OnClick) '
                     'and then uses other, which the guard',
                     'OutcomeWrongObject calls ShowModalWatching and then uses u',
                     'UseBase calls DoIt (through TDerived::DoIt -> MessageDlg)',
                     'TTool::Settings calls GSettingsHook', 'Dialogs calls AskUser',
                     'OnChange in TTool::StaleRow', 'OnChange in TTool::Last is last',
                     'TPassing::Ask calls MessageDlg and then uses this',
                     'TTool::Runs calls Action (through GiveModal/lambda -> ShowMessage)',
                     'TTool::ThroughSetter calls RunDialogHook (through RunDialogHook -> '
                     'InstallDialog/lambda -> MessageDlg)',
                     'TBinder::Bind/lambda calls Set (through TTool::BindMe/lambda -> TTool::Press',
                     'TTool::TypedUnguarded calls SetText (through TEditBox::SetText -> '
                     'TEditBox::TEditBox/lambda -> TEditBox::Change -> OnSetEditText) and then uses e',
                     'Direct connects a toolkit signal itself',
                     # an arrow writing its box, a widget of another control, an
                     # entry through the bridge, the mouse told to listeners, a
                     # hook installed at namespace scope
                     'TSpin::Step calls SetText (through TNumBox::SetText -> TNumBox::TNumBox/lambda -> '
                     'TNumBox::Change -> BindPress/lambda -> TTool::Press -> TTool::Click) and then uses this',
                     'TSpin::Poke calls setText (through TEditBox::TEditBox/lambda -> TEditBox::Change -> '
                     'OnSetEditText) and then uses this',
                     'TSpin::Nudge calls SetText',
                     'TPanelish::MouseDown calls Broadcast (through TPanelish::Broadcast -> TDragger::TeeEvent -> '
                     'OnSetLabel) and then uses this',
                     'TTool::ThroughScopeHook calls RunScopeHook (through RunScopeHook -> '
                     'scopeHookSet/lambda -> MessageDlg) and then uses this',
                     'TView::SetZoom is listed as reached only by code, but a user reaches '
                     'OnChangedZoom only through it'):
            if must not in text:
                failures.append('the check must fail on "%s"; it said:\n%s' % (must, text))
        for must_not in ('TabledOne calls', 'Guarded calls', 'Outcome calls', 'Quiet',
                         'Run2', 'CallsNotify', 'UseQualified', 'TTool::Right ', 'SetBox',
                         'Tell ', 'TWindow::Ask', 'AskThroughAlias', 'BindMe calls', 'StoreOnly calls',
                         'RunsQuiet', 'GiveQuiet', 'TTool::Typed calls', 'TCheckBox::SetState is listed',
                         'TSpin::Show', 'TSpin::StepGuarded', 'TPanelish::Changed'):
            if must_not in text:
                failures.append('the check must pass "%s"; it said:\n%s' % (must_not, text))
        if 'tool.cpp:180 UseBase DoIt t' not in findings and not any(
                f.endswith('UseBase DoIt t') for f in findings):
            failures.append('findings name file:line, routine, call and object: %s' % findings)
        if len(errors) != 1 or 'kind one of' not in errors[0]:
            failures.append('a row of no kind fails: %s' % errors)
        if counts['windows'] != 2:
            failures.append('two call-outs hold a program window: %s' % counts)
        if counts['depth'] < 6 or counts['handler'] < 10 or counts['modal'] < 8:
            failures.append('counts of the kinds: %s' % counts)
        if counts.get('connections') != 5:
            failures.append('five toolkit signals are connected through the routine: %s' % counts)
    # a unit that does not parse, or is not in the build, fails the check loudly
    with tempfile.TemporaryDirectory() as tmp:
        src, build = _units(tmp, {'base.h': _BASE, 'broken.cpp': '#include "base.h"\nint f() { return g; }\n'})
        with open(os.path.join(src, 'unlisted.cpp'), 'w') as fh:
            fh.write('int h() { return 1; }\n')
        table = os.path.join(tmp, 'table.txt')
        with open(table, 'w') as fh:
            fh.write('# none\n')
        out = io.StringIO()
        code = callouts.run(src, build, table, out, jobs=2, tmp=tmp)
        said = out.getvalue()
        if code == 0 or 'broken.cpp does not parse' not in said or \
                'unlisted.cpp: not among the units' not in said:
            failures.append('a unit that does not parse or is not built must fail:\n%s' % said)
    for f in failures:
        print(f)
    print('call-out check self test: %d failures' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
