// Objects a routine holds while it runs a message loop or calls a handler:
// each is read again afterwards, and one a handler freed is let go of, never
// used (run under AddressSanitizer to see the difference).
#include "forms_fixture.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <functional>
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

// A control freed by its own handler in the middle of the user's gesture: the
// routines on the way back (its class's override, the event bridge, the tab
// bar) touch it no more, and the user carries on with the form.
TEST_F(HeldObjectsTest, AControlFreedByItsOwnHandlerIsLeftAloneOnTheWayBack) {
    auto* other = Make<TButton>(300, 250, 60, 25);
    TCounter clicks;
    other->OnClick = clicks.Handler();
    Form->SetKeyPreview(true);
    Form->Show();
    TControl* c = nullptr;
    auto freeIt = [&](TObject*) { delete c; };
    auto onMouse = [&](TObject*, TMouseButton, TShiftState, int, int) { delete c; };
    auto onMove = [&](TObject*, TShiftState, int, int) { delete c; };
    auto onKey = [&](TObject*, WORD&, TShiftState) { delete c; };
    auto onChar = [&](TObject*, char&) { delete c; };
    auto speed = [&] { return static_cast<TSpeedButton*>(c = Make<TSpeedButton>(10, 10, 40, 25)); };
    auto list = [&] {
        auto* l = Make<TListBox>(10, 10, 100, 80);
        l->Items()->Add("a");
        l->Items()->Add("b");
        return static_cast<TListBox*>(c = l);
    };
    auto pages = [&] {
        auto* p = Make<TPageControl>(10, 10, 200, 150);
        for (int i = 0; i < 2; ++i)
            (new TTabSheet(Form.get()))->SetPageControl(p);
        p->SetActivePage(p->Pages(0));
        p->OnChanging = [&](TObject*, bool&) { delete c; };
        return static_cast<TPageControl*>(c = p);
    };
    auto tabBar = [&] { return c->Widget()->findChild<QTabBar*>(); };
    const struct {
        const char* Name;
        std::function<void()> Gesture;
    } cases[] = {
        {"speed button pressed",
         [&] {
             speed()->OnMouseDown = onMouse;
             SimulateClick(c);
         }},
        {"speed button released",
         [&] {
             speed()->OnMouseUp = onMouse;
             SimulateClick(c);
         }},
        {"speed button dragged over",
         [&] {
             speed()->OnMouseMove = onMove;
             SimulateMouse(c, TMouseAction::Down, mbLeft, 5, 5);
             SimulateMouse(c, TMouseAction::Move, mbLeft, 6, 5, {ssLeft});
         }},
        {"speed button entered",
         [&] {
             speed()->OnMouseEnter = freeIt;
             SimulateMouseEnter(c);
         }},
        {"speed button left",
         [&] {
             speed()->OnMouseLeave = freeIt;
             SimulateMouseLeave(c);
         }},
        {"splitter pressed",
         [&] {
             auto* s = Make<TSplitter>(100, 0, 3, 100);
             c = s;
             s->OnMouseDown = onMouse;
             SimulateMouse(s, TMouseAction::Down, mbLeft, 1, 5);
         }},
        {"up-down pressed",
         [&] {
             c = Make<TUpDown>(10, 10, 17, 25);
             static_cast<TUpDown*>(c)->OnMouseDown = onMouse;
             SimulateClick(c, 5, 3);
         }},
        {"list box focused by a click",
         [&] {
             list()->OnEnter = freeIt;
             SimulateClick(c, 5, 5);
         }},
        {"list box row clicked",
         [&] {
             list()->OnClick = freeIt;
             SimulateClick(c, 5, 5);
         }},
        {"list box key",
         [&] {
             TListBox* l = list();
             l->OnKeyDown = onKey;
             SimulateKey(l, VK_DOWN);
         }},
        {"list box wheel",
         [&] {
             list()->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { delete c; };
             SimulateWheel(c, -120);
         }},
        {"memo typed into",
         [&] {
             auto* m = Make<TMemo>(10, 10, 100, 80);
             c = m;
             m->OnKeyPress = onChar;
             SimulateType(m, "ab");
         }},
        {"edit typed into, the form previewing",
         [&] {
             auto* e = Make<TEdit>(10, 10, 100, 21);
             c = e;
             Form->OnKeyPress = onChar;
             SimulateType(e, "ab");
             Form->OnKeyPress = nullptr;
         }},
        {"page tab pressed",
         [&] {
             pages();
             QTabBar* bar = tabBar();
             const QPoint at = bar->tabRect(1).center();
             QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(bar, &press);
         }},
        {"page tab arrow key",
         [&] {
             pages();
             QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
             QCoreApplication::sendEvent(tabBar(), &press);
         }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Name);
        const int before = clicks.Count;
        k.Gesture();
        for (int i = 0; i < Form->ControlCount(); ++i)
            EXPECT_EQ(Form->Controls(i), other) << "the control should have gone";
        SimulateClick(other);
        EXPECT_EQ(clicks.Count, before + 1);
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
