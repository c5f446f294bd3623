// The message loop: modal forms, dialog keys, exceptions escaping handlers,
// handler loops driven by the pump script, menu shortcuts, timers on virtual
// time, closing forms and ending the process.
#include "forms_fixture.h"
#include "platform/forms/buttons.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/clock.h"
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class LoopTest : public FormsTest {
protected:
    LoopTest() {
        Ok = Make<TButton>(10, 10, 75, 25);
        Ok->SetCaption("OK");
        Ok->SetDefault(true);
        Ok->SetModalResult(mrOk);
        Cancel = Make<TButton>(100, 10, 75, 25);
        Cancel->SetCaption("Cancel");
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
        Edit = Make<TEdit>(10, 50, 100, 21);
    }
    TButton* Ok;
    TButton* Cancel;
    TEdit* Edit;
};

TEST_F(LoopTest, ShowModalEndsWhenAButtonSetsModalResult) {
    TPumpScript script;
    script.Click(Ok);
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_FALSE(Form->Visible());
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(Form->FormState().Contains(fsModal));
}

TEST_F(LoopTest, EnterReachesTheDefaultButtonAndEscTheCancelButton) {
    {
        TPumpScript script;
        script.Type(Edit, "abc").Enter(Edit);
        EXPECT_EQ(Form->ShowModal(), mrOk);
        EXPECT_EQ(Edit->Text(), "abc");
    }
    {
        TPumpScript script;
        script.Escape(Edit);
        EXPECT_EQ(Form->ShowModal(), mrCancel);
    }
    // Enter on a focused button clicks that button, not the default one.
    {
        TPumpScript script;
        script.Enter(Cancel);
        EXPECT_EQ(Form->ShowModal(), mrCancel);
    }
}

TEST_F(LoopTest, DialogKeysSkipHiddenButtonsAndKeysAHandlerConsumed) {
    int clicks = 0;
    Ok->OnClick = [&](TObject*) { ++clicks; };
    Form->Show();
    Edit->OnKeyDown = [](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_RETURN) Key = 0;
    };
    SimulateKey(Edit, VK_RETURN);
    EXPECT_EQ(clicks, 0);
    Edit->OnKeyDown = nullptr;
    Ok->SetVisible(false);
    SimulateKey(Edit, VK_RETURN);
    EXPECT_EQ(clicks, 0);
    Ok->SetVisible(true);
    SimulateKey(Edit, VK_RETURN);
    EXPECT_EQ(clicks, 1);
}

TEST_F(LoopTest, ModalFormRefusesToCloseWhileOnCloseQueryDeclines) {
    int asked = 0;
    Form->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++asked > 1; };
    TPumpScript script;
    script.Click(Cancel).Click(Cancel);
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(LoopTest, ShowModalOfAVisibleFormRaises) {
    Form->Show();
    EXPECT_THROW(Form->ShowModal(), EInvalidOperation);
}

TEST_F(LoopTest, ModalFormDisablesTheOtherWindowsOnlyWhileItRuns) {
    TForm other(nullptr);
    other.Show();
    TPumpScript script;
    bool otherEnabledDuring = true;
    script.Do([&] { otherEnabledDuring = CanUserReach(&other); });
    script.Click(Ok);
    Form->ShowModal();
    EXPECT_FALSE(otherEnabledDuring);
    EXPECT_TRUE(CanUserReach(&other));
    EXPECT_TRUE(other.Enabled());
}

TEST_F(LoopTest, DisablingOneFormLeavesTheOthersUsable) {
    TForm other(nullptr);
    auto* button = new TButton(&other);
    button->SetParent(&other);
    Form->Show();
    other.Show();
    Form->SetEnabled(false);
    EXPECT_TRUE(CanUserReach(button));
    EXPECT_FALSE(CanUserReach(Ok));
}

TEST_F(LoopTest, ExceptionInAHandlerIsShownAndTheLoopGoesOn) {
    Ok->SetModalResult(mrNone);
    Ok->OnClick = [](TObject*) { throw Exception("Timeout"); };
    int later = 0;
    Cancel->OnClick = [&](TObject*) { ++later; };
    // The platform adds a final '.'; "!" and "." endings stay.
    Responder.ExpectMessage("Timeout.", IDOK);
    TPumpScript script;
    script.Click(Ok).Click(Cancel);
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(later, 1);
    ASSERT_EQ(Responder.Shown().size(), 1u);
    EXPECT_EQ(Responder.Shown()[0].Text, "Timeout.");
    EXPECT_EQ(Responder.Shown()[0].Flags, MB_OK | MB_ICONSTOP);
}

TEST_F(LoopTest, TheSilentAbortInAHandlerShowsNothing) {
    Ok->SetModalResult(mrNone);
    Ok->OnClick = [](TObject*) { throw EAbort(""); };
    TPumpScript script;
    script.Click(Ok).Click(Cancel);
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_TRUE(Responder.Shown().empty());
}

TEST_F(LoopTest, ShowExceptionKeepsMessagesThatEndInPunctuation) {
    Application->SetTitle("QM read out");
    for (const char* text : {"Checksum error !", "Done.", ""}) {
        Responder.ExpectMessage("", IDOK);
        Application->ShowException(Exception(text));
        EXPECT_EQ(Responder.Shown().back().Text, text);
        EXPECT_EQ(Responder.Shown().back().Caption, "QM read out");
    }
}

TEST_F(LoopTest, PumpScriptClicksStopInsideARunningHandlerLoop) {
    TVirtualClockScope time;
    bool stop = false;
    int cycles = 0;
    auto* start = Make<TBitBtn>(10, 100, 75, 25);
    auto* stopButton = Make<TBitBtn>(100, 100, 75, 25);
    stopButton->OnClick = [&](TObject*) { stop = true; };
    start->OnClick = [&](TObject*) {
        start->SetEnabled(false);
        stop = false;
        while (!stop) {
            ++cycles;
            const uint32_t t0 = GetTickCount();
            uint32_t elapsed = 0;
            do {
                elapsed = GetTickCount() - t0;
                Application->ProcessMessages();
                Sleep(1);
            } while (elapsed < 10);
        }
        start->SetEnabled(true);
    };
    Form->Show();
    TPumpScript script;
    script.When([&] { return cycles >= 5; }).Click(stopButton);
    SimulateClick(start);
    EXPECT_TRUE(stop);
    EXPECT_GE(cycles, 5);
    EXPECT_LE(cycles, 6);
    EXPECT_TRUE(start->Enabled());
    EXPECT_TRUE(script.Done());
}

TEST_F(LoopTest, PumpScriptWaitsForAControlToBecomeClickable) {
    Ok->SetEnabled(false);
    int pumps = 0;
    TPumpScript script;
    script.Click(Ok);
    Form->Show();
    for (; pumps < 50 && !script.Done(); ++pumps) {
        if (pumps == 20) Ok->SetEnabled(true);
        Application->ProcessMessages();
    }
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(pumps, 21);
}

TEST_F(LoopTest, AStuckLoopFailsThePumpScriptInsteadOfHanging) {
    TPumpScript script;
    script.SetMaxIdlePumps(100);
    int pumps = 0;
    EXPECT_THROW(
        {
            for (;;) {
                ++pumps;
                Application->ProcessMessages();
            }
        },
        EPumpScriptFailure);
    EXPECT_EQ(pumps, 101);
}

TEST_F(LoopTest, HeadlessModalLoopWithoutAScriptRefusesToWait) {
    EXPECT_THROW(Form->ShowModal(), EUnwindToTest);
    EXPECT_FALSE(Form->Visible());
}

TEST_F(LoopTest, MenuShortcutsClickTheirItems) {
    TMainMenu menu(Form.get());
    auto* file = new TMenuItem(Form.get());
    file->SetCaption("&File");
    auto* exit = new TMenuItem(Form.get());
    exit->SetCaption("E&xit");
    exit->SetShortCut(ShortCut('X', TShiftState{ssCtrl}));
    auto* hidden = new TMenuItem(Form.get());
    hidden->SetCaption("Other");
    hidden->SetShortCut(TextToShortCut("F5"));
    hidden->SetEnabled(false);
    file->Add(exit);
    file->Add(hidden);
    menu.Items()->Add(file);
    Form->SetMenu(&menu);
    TCounter exits, others;
    exit->OnClick = exits.Handler();
    hidden->OnClick = others.Handler();
    int keyDowns = 0;
    Edit->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keyDowns; };
    Form->Show();
    SimulateKey(Edit, 'X', TShiftState{ssCtrl});
    EXPECT_EQ(exits.Count, 1);
    EXPECT_EQ(keyDowns, 0); // a shortcut never reaches the control
    SimulateKey(Edit, VK_F5);
    EXPECT_EQ(others.Count, 0);
    EXPECT_EQ(keyDowns, 1);
    // A disabled menu hides the shortcuts of its items.
    file->SetEnabled(false);
    SimulateKey(Edit, 'X', TShiftState{ssCtrl});
    EXPECT_EQ(exits.Count, 1);
}

TEST_F(LoopTest, ShortcutTextsRoundTrip) {
    const struct {
        TShortCut Code;
        const char* Text;
    } rows[] = {{ShortCut('X', TShiftState{ssCtrl}), "Ctrl+X"},
                {ShortCut(VK_F2, TShiftState{ssShift}), "Shift+F2"},
                {ShortCut(VK_DELETE, {}), "Del"},
                {ShortCut('A', TShiftState{ssCtrl, ssAlt}), "Ctrl+Alt+A"}};
    for (const auto& row : rows) {
        EXPECT_EQ(ShortCutToText(row.Code), row.Text);
        EXPECT_EQ(TextToShortCut(row.Text), row.Code);
    }
    EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
}

TEST_F(LoopTest, KeyPreviewLetsTheFormSeeKeysFirst) {
    std::vector<std::string> order;
    Form->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        order.push_back("form");
        if (Key == 'Q') Key = 0;
    };
    Edit->OnKeyDown = [&](TObject*, WORD&, TShiftState) { order.push_back("edit"); };
    Form->Show();
    SimulateKey(Edit, 'A');
    EXPECT_EQ(order, std::vector<std::string>{"edit"});
    Form->SetKeyPreview(true);
    order.clear();
    SimulateKey(Edit, 'A');
    SimulateKey(Edit, 'Q');
    EXPECT_EQ(order, (std::vector<std::string>{"form", "edit", "form"}));
}

TEST_F(LoopTest, TimersFollowTheVirtualClock) {
    TVirtualClockScope time;
    TTimer timer(Form.get());
    timer.SetInterval(100);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    TPumpScript script;
    script.AdvanceClockPerPump(1);
    // The wait of a calibration: pump without sleeping until 5000 ms passed.
    unsigned elapsed = 0;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        elapsed += 100;
    };
    while (elapsed <= 5000)
        Application->ProcessMessages();
    EXPECT_EQ(ticks, 51);
    // A disabled timer does not fire; a big jump of time fires it once.
    timer.SetEnabled(false);
    time.Clock.Advance(1000);
    Application->ProcessMessages();
    EXPECT_EQ(ticks, 51);
    timer.SetEnabled(true);
    time.Clock.Advance(1000);
    script.AdvanceClockPerPump(0);
    Application->ProcessMessages();
    EXPECT_EQ(ticks, 52);
}

TEST_F(LoopTest, ATimerThatPumpsIsNotFiredAgainInsideItsOwnHandler) {
    TVirtualClockScope time;
    TTimer timer(Form.get());
    timer.SetInterval(10);
    int depth = 0, maxDepth = 0, ticks = 0;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        maxDepth = std::max(maxDepth, ++depth);
        for (int i = 0; i < 5; ++i) {
            time.Clock.Advance(10);
            Application->ProcessMessages();
        }
        --depth;
    };
    TPumpScript script;
    time.Clock.Advance(10);
    Application->ProcessMessages();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(LoopTest, HaltInAHandlerReachesTheTestWithItsExitCode) {
    TExitTrap trap;
    Ok->OnClick = [](TObject*) { Halt(-1); };
    int after = 0;
    Cancel->OnClick = [&](TObject*) { ++after; };
    TPumpScript script;
    script.Click(Ok).Click(Cancel);
    try {
        Form->ShowModal();
        ADD_FAILURE() << "the modal loop went on after the process ended";
    } catch (const EProcessExit& e) {
        EXPECT_EQ(e.ExitCode, -1);
    }
    EXPECT_TRUE(trap.Exited());
    EXPECT_EQ(trap.ExitCode(), -1);
    EXPECT_EQ(after, 0);
    EXPECT_FALSE(Form->Visible());
}

TEST_F(LoopTest, ClosingAFormAsksAndHidesOrFrees) {
    std::vector<std::string> log;
    Form->OnCloseQuery = [&](TObject*, bool&) { log.push_back("query"); };
    Form->OnClose = [&](TObject*, TCloseAction& Action) {
        log.push_back("close");
        EXPECT_EQ(Action, caHide);
    };
    Form->OnHide = [&](TObject*) { log.push_back("hide"); };
    Form->Show();
    Form->Close();
    EXPECT_EQ(log, (std::vector<std::string>{"query", "close", "hide"}));
    EXPECT_FALSE(Form->Visible());

    auto* freed = new TForm(nullptr);
    TLifeCheck check(freed);
    freed->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    freed->Show();
    freed->Close();
    EXPECT_TRUE(check.Alive()); // freed only once the handler returned
    TPumpScript script;
    Application->ProcessMessages();
    EXPECT_FALSE(check.Alive());
}

// The close box goes the way of Close: OnCloseQuery, then OnClose; a modal
// window ends its loop with mrCancel; a disabled window ignores it.
TEST_F(LoopTest, TheWindowCloseBoxClosesTheFormAsCloseDoes) {
    const struct {
        const char* Case;
        bool Disabled, Refuse, Modal;
        int Closes;
        bool VisibleAfter;
    } rows[] = {
        {"plain", false, false, false, 1, false},
        {"refused", false, true, false, 0, true},
        {"disabled", true, false, false, 0, true},
        {"modal", false, false, true, 1, false},
    };
    for (const auto& r : rows) {
        TForm form(nullptr);
        int closes = 0;
        form.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
        form.OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = !r.Refuse; };
        if (r.Modal) {
            TPumpScript script;
            script.Do([&] { SimulateCloseBox(&form); });
            EXPECT_EQ(form.ShowModal(), mrCancel) << r.Case;
        } else {
            form.Show();
            form.SetEnabled(!r.Disabled);
            SimulateCloseBox(&form);
        }
        EXPECT_EQ(closes, r.Closes) << r.Case;
        EXPECT_EQ(form.Visible(), r.VisibleAfter) << r.Case;
        EXPECT_EQ(form.Widget()->isVisible(), r.VisibleAfter) << r.Case;
    }
}

namespace {
// An edit that holds what is typed back until it is whole, counting each time
// its window asks it to hand that on.
class THoldingEdit : public TEdit {
public:
    using TEdit::TEdit;
    int Applied = 0;

protected:
    void ApplyHeldEntry() override { ++Applied; }
};
} // namespace

// A dialog with Cancel (a button of modal result mrCancel) ends by Cancel
// however the user closes it: its close box, Alt+F4 and Escape click Cancel,
// and nothing held back is applied. Any other end, and every end of a window
// without Cancel, hands on the entry the focused field holds back, once.
TEST_F(LoopTest, EveryCloseButCancelAppliesTheHeldEntryAndTheCloseBoxOfADialogIsCancel) {
    auto* edit = Make<THoldingEdit>(10, 80, 100, 21);
    int cancels = 0;
    Cancel->OnClick = [&](TObject*) { ++cancels; };
    const struct {
        const char* Way;
        bool WithCancel;     // the Cancel button shows
        bool CancelProperty; // Escape's button is the Cancel button
        std::function<void()> Close;
        TModalResult Result;
        int Applied, Cancels;
    } rows[] = {
        {"OK", true, true, [&] { SimulateClick(Ok); }, mrOk, 1, 0},
        {"Enter", true, true, [&] { SimulateKey(edit, VK_RETURN); }, mrOk, 1, 0},
        {"Cancel", true, true, [&] { SimulateClick(Cancel); }, mrCancel, 0, 1},
        {"close box", true, true, [&] { SimulateCloseBox(Form.get()); }, mrCancel, 0, 1},
        {"Alt+F4", true, true, [&] { SimulateKey(edit, VK_F4, TShiftState{ssAlt}); }, mrCancel, 0,
         1},
        {"Escape", true, true, [&] { SimulateKey(edit, VK_ESCAPE); }, mrCancel, 0, 1},
        {"Escape, no cancel button", true, false, [&] { SimulateKey(edit, VK_ESCAPE); }, mrCancel,
         0, 1},
        {"Close", true, true, [&] { Form->Close(); }, mrCancel, 0, 0},
        {"OK without Cancel", false, true, [&] { SimulateClick(Ok); }, mrOk, 1, 0},
        {"close box without Cancel", false, true, [&] { SimulateCloseBox(Form.get()); }, mrCancel,
         1, 0},
        {"Alt+F4 without Cancel", false, true,
         [&] { SimulateKey(edit, VK_F4, TShiftState{ssAlt}); }, mrCancel, 1, 0},
        {"Close without Cancel", false, true, [&] { Form->Close(); }, mrCancel, 1, 0},
    };
    for (const auto& r : rows) {
        edit->Applied = 0;
        cancels = 0;
        Cancel->SetVisible(r.WithCancel);
        Cancel->SetCancel(r.CancelProperty);
        TPumpScript script;
        script.Do([&] {
            Form->SetActiveControl(edit);
            r.Close();
        });
        EXPECT_EQ(Form->ShowModal(), r.Result) << r.Way;
        EXPECT_EQ(edit->Applied, r.Applied) << r.Way;
        EXPECT_EQ(cancels, r.Cancels) << r.Way;
        EXPECT_FALSE(Form->Visible()) << r.Way;
    }
}

// Not a dialog: the close box of a window shown on its own closes it, handing
// on what the focused field holds back first.
TEST_F(LoopTest, TheCloseBoxOfAWindowAppliesTheHeldEntry) {
    auto* edit = Make<THoldingEdit>(10, 80, 100, 21);
    int cancels = 0;
    Cancel->OnClick = [&](TObject*) { ++cancels; };
    Form->Show();
    Form->SetActiveControl(edit);
    SimulateCloseBox(Form.get());
    EXPECT_FALSE(Form->Visible());
    EXPECT_EQ(edit->Applied, 1);
    EXPECT_EQ(cancels, 0);
}

TEST_F(LoopTest, RunEndsWhenTheMainFormCloses) {
    TForm* main = nullptr;
    Application->CreateForm(main);
    ASSERT_EQ(Application->MainForm(), main);
    TPumpScript script;
    int shows = 0;
    main->OnShow = [&](TObject*) { ++shows; };
    script.Do([&] { main->Close(); });
    Application->Run();
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(Application->Terminated());
    delete main;
    EXPECT_EQ(Application->MainForm(), nullptr);
    ResetApplicationForTest();
    EXPECT_FALSE(Application->Terminated());
}

// A window opened over the main window (which its handler then disables)
// stays above it; the main window itself belongs to no one.
TEST_F(LoopTest, WindowShownOverAnotherIsTransientForItWithoutBeingModal) {
    auto transientOf = [](TCustomForm* f) -> QWindow* {
        QWindow* w = f->Widget()->windowHandle();
        return w ? w->transientParent() : nullptr;
    };
    TForm* main = nullptr;
    Application->CreateForm(main);
    main->Show();
    TForm instrument(nullptr);
    instrument.Show();
    ASSERT_NE(main->Widget()->windowHandle(), nullptr);
    EXPECT_EQ(transientOf(&instrument), main->Widget()->windowHandle());
    EXPECT_EQ(instrument.Widget()->windowModality(), Qt::NonModal);
    EXPECT_TRUE(main->Widget()->isEnabled());
    EXPECT_EQ(transientOf(main), nullptr);
    // Shown again over another window, it stays above that one.
    instrument.Hide();
    Form->Show();
    instrument.Show();
    EXPECT_EQ(transientOf(&instrument), Form->Widget()->windowHandle());
    instrument.Hide();
    delete main;
    ResetApplicationForTest();
}

// Windows opened one over another, then each hidden or freed, in every order:
// each window still shown stays above the nearest shown window it was opened
// over, ending at the main window, never above a hidden or freed one.
TEST_F(LoopTest, WindowsOfAHiddenOrFreedWindowPassToTheWindowBelowIt) {
    auto transientOf = [](TCustomForm* f) -> QWindow* {
        QWindow* w = f->Widget()->windowHandle();
        return w ? w->transientParent() : nullptr;
    };
    constexpr int Count = 3;
    int cases = 0;
    for (int freed = 0; freed < 1 << Count; ++freed) { // bit i: window i is freed
        std::vector<int> order{0, 1, 2};
        do {
            std::string how;
            for (int step : order)
                how += std::to_string(step) + (freed >> step & 1 ? " freed, " : " hidden, ");
            SCOPED_TRACE(how);
            TForm* main = nullptr;
            Application->CreateForm(main);
            main->Show();
            // Each window is opened from the one before (active then), the
            // first from the main window.
            std::vector<std::unique_ptr<TForm>> chain;
            for (int i = 0; i < Count; ++i) {
                chain.push_back(std::make_unique<TForm>(nullptr));
                chain.back()->Show();
            }
            std::vector<bool> gone(Count);
            for (int step : order) {
                if (freed >> step & 1)
                    chain[step].reset();
                else
                    chain[step]->Hide();
                gone[step] = true;
                for (int i = 0; i < Count; ++i) {
                    if (gone[i]) continue;
                    TCustomForm* below = main;
                    for (int j = i - 1; j >= 0; --j)
                        if (!gone[j]) {
                            below = chain[j].get();
                            break;
                        }
                    EXPECT_EQ(transientOf(chain[i].get()), below->Widget()->windowHandle())
                        << "window " << i << " after window " << step << " went";
                }
            }
            ++cases;
            chain.clear();
            delete main;
            ResetApplicationForTest();
        } while (std::next_permutation(order.begin(), order.end()));
    }
    EXPECT_EQ(cases, 48);
}

// A modal window stays modal over the window below the one it was opened over.
TEST_F(LoopTest, ModalWindowOfAHiddenWindowStaysModalOverTheWindowBelow) {
    auto transientOf = [](TCustomForm* f) -> QWindow* {
        QWindow* w = f->Widget()->windowHandle();
        return w ? w->transientParent() : nullptr;
    };
    TForm opener(nullptr);
    opener.Show();
    TForm over(nullptr);
    over.Show();
    QWindow* owner = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
    TPumpScript script;
    script.Do([&] {
        over.Hide();
        owner = transientOf(Form.get());
        modality = Form->Widget()->windowModality();
        Form->SetModalResult(mrOk);
    });
    Form->ShowModal();
    ASSERT_TRUE(script.Done());
    ASSERT_NE(opener.Widget()->windowHandle(), nullptr);
    EXPECT_EQ(owner, opener.Widget()->windowHandle());
    EXPECT_EQ(modality, Qt::WindowModal);
}

TEST_F(LoopTest, ModalFormIsTransientForAndModalOverTheWindowThatOpenedIt) {
    auto transientOf = [](TCustomForm* f) -> QWindow* {
        QWindow* w = f->Widget()->windowHandle();
        return w ? w->transientParent() : nullptr;
    };
    auto windowOf = [](TCustomForm* f) { return f->Widget()->windowHandle(); };
    TForm opener(nullptr);
    opener.Show();
    TForm inner(nullptr);
    QWindow *outerOwner = nullptr, *innerOwner = nullptr;
    Qt::WindowModality outerModality = Qt::NonModal;
    TPumpScript script;
    script.Do([&] {
        outerOwner = transientOf(Form.get());
        outerModality = Form->Widget()->windowModality();
        inner.ShowModal();
    });
    script.Do([&] {
        innerOwner = transientOf(&inner);
        inner.SetModalResult(mrOk);
    });
    script.Click(Ok);
    Form->ShowModal();
    ASSERT_TRUE(script.Done());
    ASSERT_NE(windowOf(&opener), nullptr);
    EXPECT_EQ(outerOwner, windowOf(&opener));
    EXPECT_EQ(outerModality, Qt::WindowModal);
    // A modal window opened from a modal one stays above that one.
    EXPECT_EQ(innerOwner, windowOf(Form.get()));
    // Shown again without a modal run it belongs to no one.
    EXPECT_EQ(transientOf(Form.get()), nullptr);
    EXPECT_EQ(Form->Widget()->windowModality(), Qt::NonModal);
}
