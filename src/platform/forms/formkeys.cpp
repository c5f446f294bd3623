// A form's focus (the active control, entering and leaving it, the first
// control in tab order) and its keys: menu shortcuts, Enter and Escape on the
// default and cancel buttons.
#include "platform/forms/forms.h"
#include "platform/forms/formsqt.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include "platform/classes/watched.h"
#include "platform/rtl/exceptions.h"
#include <QWidget>
#include <algorithm>
#include <vector>

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    if (Control && (GetParentForm(Control) != this || (!IsLoading() && !Control->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (Control && Control->Widget()) Control->Widget()->setFocus(Qt::OtherFocusReason);
    if (Visible() && !IsDestroying()) EnterActiveControl();
}

// The focus leaves every control the old one sits in that does not hold the
// new one, innermost first, and enters every one the new one sits in that did
// not hold the old one, outermost first: a grid and its cell editor, a panel
// and its edits, are one pair. FFocusedControl steps along, so a handler that
// moves the focus on starts from where this walk stood; any handler may free
// the form, the controls on the way or the one the focus goes to.
void TCustomForm::EnterActiveControl() {
    TWinControl* const target = FActiveControl;
    TCallOut held{this, target};
    while (FFocusedControl && !FFocusedControl->ContainsControl(target)) {
        TWinControl* leaving = FFocusedControl;
        FFocusedControl = leaving->Parent() == this ? nullptr : leaving->Parent();
        TCallOut step{leaving};
        if (step.Live()) TControlAccess::DoExit(leaving);
        // Moved on by a handler: that focus change's own walk did the rest.
        if (held.Gone() || FActiveControl != target) return;
    }
    while (target && FFocusedControl != target) {
        TWinControl* outer = FFocusedControl ? FFocusedControl : this;
        TWinControl* entering = target;
        while (entering && entering->Parent() != outer)
            entering = entering->Parent();
        if (!entering) return;
        FFocusedControl = entering;
        TCallOut step{entering};
        if (step.Live()) TControlAccess::DoEnter(entering);
        if (held.Gone() || FActiveControl != target) return;
    }
}

// What the focus was inside stays entered; the control that went was left
// without an event.
void TCustomForm::ForgetControl(TControl* AControl, TWinControl* FromParent) {
    auto inside = [AControl](TControl* c) {
        for (; c; c = c->Parent())
            if (c == AControl) return true;
        return false;
    };
    if (inside(FActiveControl)) FActiveControl = nullptr;
    if (inside(FFocusedControl)) FFocusedControl = FromParent == this ? nullptr : FromParent;
}

namespace {
TWinControl* FirstFocusable(TWinControl* parent) {
    std::vector<TWinControl*> children;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* wc = dynamic_cast<TWinControl*>(parent->Controls(i))) children.push_back(wc);
    std::stable_sort(children.begin(), children.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TWinControl* c : children) {
        if (!c->Visible() || !c->Enabled()) continue;
        if (c->TabStop() && c->CanFocus()) return c;
        if (TWinControl* inner = FirstFocusable(c)) return inner;
    }
    return nullptr;
}
} // namespace

void TCustomForm::SelectFirst() {
    if (TWinControl* c = FirstFocusable(this)) SetActiveControl(c);
}

void TCustomForm::FocusControl(TWinControl* Control) {
    const bool wasActive = FActive;
    TCallOut held{this};
    SetActiveControl(Control);
    if (held.Gone()) return;
    if (!wasActive) SetFocus();
}

void TCustomForm::FocusWithin(TWinControl* Control) {
    FActiveControl = Control;
    FFocusedControl = Control;
    if (Control->Widget()) Control->Widget()->setFocus(Qt::OtherFocusReason);
}

bool TCustomForm::Active() const {
    return FActive;
}

void TCustomForm::SetFocus() {
    if (FActive) return;
    if (!(Visible() && Enabled()))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    BringToFront();
}

bool TCustomForm::IsShortCut(WORD Key, TShiftState Shift, TWinControl* Control) {
    const TShortCut sc = ShortCut(Key, Shift);
    for (TControl* c = Control; c; c = c->Parent())
        if (TPopupMenu* menu = c->PopupMenu()) {
            // An item's handler may free the control or this form: the key is spent.
            TCallOut held{this, c};
            if (menu->IsShortCut(sc) || held.Gone()) return true;
        }
    return FMenu && FMenu->IsShortCut(sc);
}

namespace {
TButton* FindButton(TWinControl* parent, bool cancel) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (auto* b = dynamic_cast<TButton*>(c))
            if ((cancel ? b->Cancel() : b->Default()) && b->CanFocus()) return b;
        if (auto* wc = dynamic_cast<TWinControl*>(c))
            if (TButton* b = FindButton(wc, cancel)) return b;
    }
    return nullptr;
}

TButton* FindModalCancel(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (auto* b = dynamic_cast<TButton*>(c))
            if (b->ModalResult() == mrCancel && b->CanFocus()) return b;
        if (auto* wc = dynamic_cast<TWinControl*>(c))
            if (TButton* b = FindModalCancel(wc)) return b;
    }
    return nullptr;
}
} // namespace

bool TCustomForm::DialogKey(WORD Key, TWinControl* Control) {
    TButton* button = nullptr;
    if (Key == VK_RETURN) {
        button = dynamic_cast<TButton*>(Control);
        if (!button || !button->CanFocus()) button = FindButton(this, false);
    } else if (Key == VK_ESCAPE) {
        button = FindButton(this, true);
        if (!button && FFormState.Contains(fsModal)) button = CancelButton();
    }
    if (!button) return false;
    button->Click();
    return true;
}

TButton* TCustomForm::CancelButton() {
    return FindModalCancel(this);
}

bool TCustomForm::ApplyFocusedEntry() {
    TWinControl* c = FActiveControl;
    if (!c) return true;
    // An entry refused with a message keeps the window open, as a close
    // query that says no does.
    bool applied = false;
    TCallOut held{this};
    RunAsMessage(c, [&] {
        TControlAccess::ApplyHeldEntry(c);
        applied = true;
    });
    if (held.Gone()) return false;
    return applied;
}

void TCustomForm::CloseFromFrame() {
    // A window disabled (by the program or by a modal one) takes no input,
    // its close box included.
    if (Parent() || !Enabled() || Impl()->TaskDisabled) return;
    // Whatever Cancel takes back, the close box of a dialog takes back too.
    if (TButton* cancel = FFormState.Contains(fsModal) ? CancelButton() : nullptr) {
        cancel->Click();
        return;
    }
    Close();
}

void CloseFormFromFrame(TCustomForm* Form) {
    Form->CloseFromFrame();
}
