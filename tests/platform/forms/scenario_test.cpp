// Small scenarios as the windows use the framework: reordering a list by
// dragging, a wait loop of OK and Cancel, modal forms freed on close, and the
// application's exception hook.
#include "forms_fixture.h"
#include "platform/forms/buttons.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/clock.h"
#include <string>
#include <vector>

class ScenarioTest : public FormsTest {};

TEST_F(ScenarioTest, ListRowsAreReorderedByDragging) {
    auto* list = Make<TListBox>(0, 0, 120, 120);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(24);
    for (const char* s : {"Series1", "Series2", "Series3"})
        list->Items()->Add(s);
    list->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState shift, int, int) {
        if (button == mbLeft && !shift.Contains(ssDouble)) list->BeginDrag(false);
    };
    list->OnDragOver = [&](TObject*, TObject* source, int, int, TDragState, bool& accept) {
        accept = source == list;
    };
    list->OnDragDrop = [&](TObject*, TObject*, int x, int y) {
        const int target = list->ItemAtPos(Point(x, y), true);
        if (target >= 0 && target != list->ItemIndex()) {
            list->Items()->Exchange(list->ItemIndex(), target);
            list->SetItemIndex(target);
        }
    };
    Form->Show();
    SimulateMouse(list, TMouseAction::Down, mbLeft, 10, 5);
    EXPECT_EQ(list->ItemIndex(), 0);
    // The selection stays while the row is dragged down to the third row.
    SimulateMouse(list, TMouseAction::Move, mbLeft, 10, 30);
    EXPECT_EQ(list->ItemIndex(), 0);
    SimulateMouse(list, TMouseAction::Move, mbLeft, 10, 55);
    SimulateMouse(list, TMouseAction::Up, mbLeft, 10, 55);
    EXPECT_EQ(list->Items()->Strings(2), "Series1");
    EXPECT_EQ(list->Items()->Strings(0), "Series3");
    EXPECT_EQ(list->ItemIndex(), 2);
    // Dropping a row on itself changes nothing.
    SimulateMouse(list, TMouseAction::Down, mbLeft, 10, 30);
    SimulateMouse(list, TMouseAction::Move, mbLeft, 12, 40);
    SimulateMouse(list, TMouseAction::Up, mbLeft, 12, 40);
    EXPECT_EQ(list->Items()->Strings(1), "Series2");
}

TEST_F(ScenarioTest, AWaitLoopEndsOnOkOrCancelAndReadsTheEntry) {
    // The shape of the stored-files range dialog: flags set by OK and Abort, a
    // loop that sleeps 10 ms and pumps until one is set.
    TVirtualClockScope time;
    bool confirmed = false, aborted = false;
    auto* first = Make<TEdit>(10, 10, 40, 21);
    auto* ok = Make<TBitBtn>(10, 40, 75, 25);
    auto* abort = Make<TBitBtn>(100, 40, 75, 25);
    ok->OnClick = [&](TObject*) { confirmed = true; };
    abort->OnClick = [&](TObject*) { aborted = true; };
    auto wait = [&] {
        confirmed = aborted = false;
        Form->Show();
        first->SetFocus();
        while (!confirmed && !aborted) {
            Sleep(10);
            Application->ProcessMessages();
        }
        Form->Hide();
        return confirmed ? first->Text() : AnsiString("aborted");
    };
    {
        TPumpScript script;
        script.Type(first, "12").Click(ok);
        EXPECT_EQ(wait(), "12");
    }
    {
        TPumpScript script;
        script.After(5).Click(abort);
        const uint32_t start = GetTickCount();
        EXPECT_EQ(wait(), "aborted");
        EXPECT_EQ(GetTickCount() - start, 50u); // five waits of 10 ms, on virtual time
    }
}

TEST_F(ScenarioTest, AModalFormFreedOnCloseGoesAfterItsLoop) {
    auto* dialog = new TForm(nullptr);
    TLifeCheck check(dialog);
    auto* close = new TButton(dialog);
    close->SetParent(dialog);
    close->SetModalResult(mrOk);
    dialog->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    TPumpScript script;
    script.Click(close);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(check.Alive());
    Application->ProcessMessages();
    EXPECT_FALSE(check.Alive());
}

TEST_F(ScenarioTest, TerminatingTheApplicationEndsAModalLoop) {
    TPumpScript script;
    script.Do([] { Application->Terminate(); });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    ResetApplicationForTest();
}

TEST_F(ScenarioTest, OnExceptionReplacesTheMessageBox) {
    std::vector<std::string> seen;
    Application->OnException = [&](TObject* sender, const std::exception& e) {
        seen.push_back(std::string(e.what()) + (sender ? " from a control" : ""));
    };
    auto* button = Make<TButton>(0, 0, 75, 25);
    button->OnClick = [](TObject*) { throw EConvertError("'abc' is not a valid integer value"); };
    Form->Show();
    SimulateClick(button);
    Application->OnException = nullptr;
    EXPECT_EQ(seen, std::vector<std::string>{"'abc' is not a valid integer value from a control"});
    // Exceptions that are not the platform's are shown all the same.
    button->OnClick = [](TObject*) { throw std::runtime_error("disk full"); };
    Responder.ExpectMessage("disk full.", IDOK);
    SimulateClick(button);
}

TEST_F(ScenarioTest, AutoSizedFormsFitTheirControls) {
    Form->SetBorderStyle(bsDialog);
    Make<TButton>(10, 10, 75, 25);
    Make<TMemo>(10, 40, 200, 120);
    Form->SetAutoSize(true);
    // The margin at the left and top is kept at the right and bottom.
    EXPECT_EQ(Form->ClientWidth(), 210 + 10);
    EXPECT_EQ(Form->ClientHeight(), 160 + 10);
}

TEST_F(ScenarioTest, EditsRefuseTypingWhenReadOnlyAndKeepTheirLimits) {
    auto* edit = Make<TEdit>(0, 0, 100, 21);
    Form->Show();
    edit->SetMaxLength(3);
    SimulateType(edit, "abcdef");
    EXPECT_EQ(edit->Text(), "abc");
    edit->SetCharCase(ecUpperCase);
    EXPECT_EQ(edit->Text(), "ABC");
    edit->SetReadOnly(true);
    SimulateType(edit, "x");
    EXPECT_EQ(edit->Text(), "ABC");
    edit->SetReadOnly(false);
    edit->SetText("");
    SimulateType(edit, "mixed");
    EXPECT_EQ(edit->Text(), "MIX");
}
