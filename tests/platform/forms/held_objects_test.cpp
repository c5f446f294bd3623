// Objects a routine holds while it runs a message loop or calls a handler:
// each is read again afterwards, and one a handler freed is let go of, never
// used (run under AddressSanitizer to see the difference).
#include "forms_fixture.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include <string>

using HeldObjectsTest = FormsTest;

TEST_F(HeldObjectsTest, AModalFormFreedInItsOwnLoopEndsCancelledTouchingNothingFreed) {
    auto* previous = new TForm(nullptr);
    previous->Show();
    auto* other = new TForm(nullptr);
    other->Show();
    auto* modal = new TForm(nullptr);
    TPumpScript script;
    script.Do([&] {
        delete other;
        delete previous;
        delete modal;
    });
    EXPECT_EQ(modal->ShowModal(), mrCancel);
    EXPECT_TRUE(script.Done());
}

TEST_F(HeldObjectsTest, AHandlerThatFreesTheDraggedControlEndsTheDragWithoutIt) {
    for (const std::string when : {"over", "drop"}) {
        SCOPED_TRACE(when);
        auto* source = Make<TPanel>(10, 10, 100, 80);
        auto* target = Make<TPanel>(200, 10, 100, 80);
        Form->Show();
        int ended = 0;
        source->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
            source->BeginDrag(false, 5);
        };
        source->OnEndDrag = [&](TObject*, TObject*, int, int) { ++ended; };
        target->OnDragOver = [&](TObject*, TObject*, int, int, TDragState, bool& accept) {
            accept = true;
            if (when == "over") delete source;
        };
        target->OnDragDrop = [&](TObject*, TObject*, int, int) {
            if (when == "drop") delete source;
        };
        SimulateMouse(source, TMouseAction::Down, mbLeft, 5, 5);
        SimulateMouse(target, TMouseAction::Move, mbLeft, 20, 30);
        SimulateMouse(target, TMouseAction::Move, mbLeft, 21, 30);
        SimulateMouse(target, TMouseAction::Up, mbLeft, 21, 30);
        EXPECT_EQ(ended, 0);
        EXPECT_EQ(DragControl(), nullptr);
        delete target;
    }
}

TEST_F(HeldObjectsTest, ASplitterWhoseControlIsFreedWhileDraggedResizesNothing) {
    auto* left = Make<TPanel>(0, 0, 100, 10);
    left->SetAlign(alLeft);
    auto* splitter = Make<TSplitter>(100, 0, 3, 10);
    splitter->SetAlign(alLeft);
    auto* rest = Make<TPanel>(0, 0, 10, 10);
    rest->SetAlign(alClient);
    int moved = 0;
    splitter->OnMoved = [&](TObject*) { ++moved; };
    Form->Show();
    SimulateMouse(splitter, TMouseAction::Down, mbLeft, 1, 5);
    delete left;
    SimulateMouse(splitter, TMouseAction::Move, mbLeft, 41, 5);
    SimulateMouse(splitter, TMouseAction::Up, mbLeft, 41, 5);
    EXPECT_EQ(moved, 0);
    EXPECT_EQ(rest->Left(), splitter->Left() + splitter->Width());
}

// What a control names by a setter reads empty once freed: the popup menu, the
// label's focus control, the menu's popup component and the form's menu.
TEST_F(HeldObjectsTest, ReferencesSetOnControlsReadEmptyOnceTheirObjectsGo) {
    auto* label = Make<TLabel>(10, 10, 60, 13);
    auto* edit = Make<TEdit>(10, 30, 60, 21);
    auto* popup = new TPopupMenu(nullptr);
    auto* menu = new TMainMenu(nullptr);
    label->SetPopupMenu(popup);
    label->SetFocusControl(edit);
    popup->SetPopupComponent(edit);
    Form->SetMenu(menu);
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr);
    EXPECT_EQ(popup->PopupComponent(), nullptr);
    delete popup;
    EXPECT_EQ(label->PopupMenu(), nullptr);
    delete menu;
    EXPECT_EQ(Form->Menu(), nullptr);
    Form->Show();
}
