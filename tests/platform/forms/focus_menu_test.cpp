// Focus and activation, tab order, hints, menus and pop-up menus, embedded
// forms, splitters and scroll boxes, and the screen.
#include "forms_fixture.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QStyle>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class FocusMenuTest : public FormsTest {};

TEST_F(FocusMenuTest, FocusingFiresExitThenEnterAndNeedsAVisibleForm) {
    auto* a = Make<TEdit>(0, 0, 80, 21);
    auto* b = Make<TEdit>(0, 30, 80, 21);
    std::vector<std::string> log;
    a->OnEnter = [&](TObject*) { log.push_back("enter a"); };
    a->OnExit = [&](TObject*) { log.push_back("exit a"); };
    b->OnEnter = [&](TObject*) { log.push_back("enter b"); };
    // The platform refuses to focus a control of a hidden form (it becomes the
    // active control all the same, entered when the form shows).
    EXPECT_THROW(b->SetFocus(), EInvalidOperation);
    EXPECT_EQ(Form->ActiveControl(), b);
    b->OnEnter = nullptr;
    Form->SetActiveControl(nullptr);
    Form->Show(); // the first control in tab order gets the focus
    EXPECT_EQ(Form->ActiveControl(), a);
    b->OnEnter = [&](TObject*) { log.push_back("enter b"); };
    b->SetFocus();
    EXPECT_EQ(log, (std::vector<std::string>{"enter a", "exit a", "enter b"}));
    EXPECT_TRUE(b->Focused());
    EXPECT_FALSE(a->Focused());
    EXPECT_EQ(Screen->ActiveControl(), b);
    // Disabled or hidden controls cannot take the focus.
    a->SetEnabled(false);
    EXPECT_FALSE(a->CanFocus());
    EXPECT_THROW(a->SetFocus(), EInvalidOperation);
    // Freeing the focused control clears the form's active control.
    delete b;
    EXPECT_EQ(Form->ActiveControl(), nullptr);
}

// A container is entered when the focus goes inside it and left when the
// focus goes out, whichever control inside has it: a panel holding an edit and
// a docked page (a form in the form) holding another. A container freed by its
// own OnExit is passed over by the rest of the way.
TEST_F(FocusMenuTest, ContainersAreEnteredAndLeftAroundTheFocusInsideThem) {
    auto* panel = Make<TPanel>(0, 0, 200, 200);
    auto* a = Make<TEdit>(10, 10, 80, 21, panel);
    auto* page = new TForm(Form.get());
    page->SetBorderStyle(bsNone);
    page->SetParent(panel);
    page->SetBounds(0, 50, 200, 100);
    auto* b = new TEdit(page);
    b->SetParent(page);
    b->SetBounds(10, 10, 80, 21);
    page->Show();
    auto* outside = Make<TEdit>(250, 10, 80, 21);
    std::vector<std::string> log;
    const std::pair<TWinControl*, const char*> named[] = {
        {panel, "panel"}, {page, "page"}, {a, "a"}, {b, "b"}, {outside, "outside"}};
    for (const auto& [c, name] : named) {
        c->OnEnter = [&log, name](TObject*) { log.push_back(std::string("enter ") + name); };
        c->OnExit = [&log, name](TObject*) { log.push_back(std::string("exit ") + name); };
    }
    using TLog = std::vector<std::string>;
    auto after = [&](const char* What, const std::function<void()>& Gesture, const TLog& Expected) {
        log.clear();
        Gesture();
        EXPECT_EQ(log, Expected) << What;
    };
    after("the form shown", [&] { Form->Show(); }, {"enter panel", "enter a"});
    after("the page's edit focused", [&] { SimulateFocus(b); },
          {"exit a", "enter page", "enter b"});
    after("the edit outside focused", [&] { SimulateFocus(outside); },
          {"exit b", "exit page", "exit panel", "enter outside"});
    after("the page's edit focused again", [&] { SimulateFocus(b); },
          {"exit outside", "enter panel", "enter page", "enter b"});
    after("the panel's edit typed into", [&] { SimulateType(a, "y"); },
          {"exit b", "exit page", "enter a"});
    after("the page's edit typed into", [&] { SimulateType(b, "x"); },
          {"exit a", "enter page", "enter b"});
    const TWatched<TForm> kept = page;
    page->OnExit = [&](TObject*) {
        log.push_back("exit page");
        delete kept.Get();
    };
    after("the edit outside focused, the page freed on the way", [&] { SimulateFocus(outside); },
          {"exit b", "exit page", "exit panel", "enter outside"});
    EXPECT_FALSE(kept);
    EXPECT_EQ(Form->ActiveControl(), outside);
}

TEST_F(FocusMenuTest, ControlsHaveTheirWindowFromTheFirstShowingOn) {
    auto* edit = Make<TEdit>(0, 0, 80, 21);
    auto* hidden = Make<TEdit>(0, 30, 80, 21);
    hidden->Hide();
    bool duringShow = false;
    Form->OnShow = [&](TObject*) { duringShow = edit->HandleAllocated(); };
    EXPECT_FALSE(edit->HandleAllocated());
    EXPECT_FALSE(Form->HandleAllocated());
    Form->Show();
    EXPECT_TRUE(duringShow);
    EXPECT_TRUE(Form->HandleAllocated());
    EXPECT_FALSE(hidden->HandleAllocated());
    Form->Hide();
    EXPECT_TRUE(edit->HandleAllocated());
    EXPECT_FALSE(Make<TEdit>(0, 60, 80, 21)->HandleAllocated()); // made while the form is hidden
}

TEST_F(FocusMenuTest, ShowingActivatesAndHidingActivatesAnotherForm) {
    TForm second(nullptr);
    int activations = 0, deactivations = 0;
    Form->OnActivate = [&](TObject*) { ++activations; };
    Form->OnDeactivate = [&](TObject*) { ++deactivations; };
    Form->Show();
    second.Show();
    EXPECT_EQ(Screen->ActiveForm(), &second);
    EXPECT_FALSE(Form->Active());
    second.Hide();
    EXPECT_EQ(Screen->ActiveForm(), Form.get());
    EXPECT_EQ(activations, 2);
    EXPECT_EQ(deactivations, 1);
    // Showing a visible form brings it to the front.
    second.Show();
    Form->Show();
    EXPECT_TRUE(Form->Active());
}

TEST_F(FocusMenuTest, TabOrderOrdersTheWindowedSiblings) {
    auto* a = Make<TEdit>(0, 0, 80, 21);
    auto* b = Make<TEdit>(0, 30, 80, 21);
    auto* c = Make<TButton>(0, 60, 80, 21);
    Make<TLabel>(0, 90, 80, 21); // no tab order
    EXPECT_EQ(a->TabOrder(), 0);
    EXPECT_EQ(c->TabOrder(), 2);
    c->SetTabOrder(0);
    EXPECT_EQ(c->TabOrder(), 0);
    EXPECT_EQ(a->TabOrder(), 1);
    EXPECT_EQ(b->TabOrder(), 2);
    b->SetTabOrder(99);
    EXPECT_EQ(b->TabOrder(), 2);
}

TEST_F(FocusMenuTest, HintsShowTheirShortPartWhenShowHintHolds) {
    auto* panel = Make<TPanel>(0, 0, 100, 50);
    auto* button = Make<TButton>(5, 5, 60, 21, panel);
    button->SetHint("Start a single measurement|and wait for the result");
    EXPECT_TRUE(button->Widget()->toolTip().isEmpty());
    panel->SetShowHint(true);
    EXPECT_EQ(button->Widget()->toolTip().toStdString(), "Start a single measurement");
    button->SetShowHint(false);
    EXPECT_FALSE(button->ParentShowHint());
    EXPECT_TRUE(button->Widget()->toolTip().isEmpty());
    // The application's delay is the tool tips' wake-up delay.
    Application->SetHintPause(1234);
    EXPECT_EQ(button->Widget()->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 1234);
    Application->SetHintPause(500);
}

TEST_F(FocusMenuTest, ActivatedHintsShowTheControlUnderThePoint) {
    auto* chart = Make<TPanel>(10, 10, 100, 50);
    chart->SetHint("Series1: 12.5");
    Form->Show();
    const TPoint over = chart->ClientToScreen(Point(20, 20));
    Application->ActivateHint(over);
    EXPECT_EQ(ShownHintText(), ""); // hints are off for the panel
    chart->SetShowHint(true);
    Application->ActivateHint(over);
    EXPECT_EQ(ShownHintText(), "Series1: 12.5");
    Application->ActivateHint(Form->ClientToScreen(Point(300, 200))); // no hint there
    EXPECT_EQ(ShownHintText(), "");
    Application->ActivateHint(over);
    Application->CancelHint();
    EXPECT_EQ(ShownHintText(), "");
}

TEST_F(FocusMenuTest, RegisteredCursorsReachTheControlsThatUseThem) {
    constexpr TCursor crHand = 2020;
    auto* panel = Make<TPanel>(0, 0, 50, 50);
    TBitmap picture;
    picture.SetSize(16, 16);
    EXPECT_EQ(Screen->Cursors(crHand), nullptr);
    panel->SetCursor(crHand);
    EXPECT_EQ(panel->Widget()->cursor().shape(), Qt::ArrowCursor);
    HCURSOR hand = CreateBitmapCursor(&picture, 3, 1);
    Screen->SetCursors(crHand, hand);
    EXPECT_EQ(Screen->Cursors(crHand), hand);
    panel->SetCursor(crHand);
    EXPECT_EQ(panel->Widget()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(panel->Widget()->cursor().hotSpot(), QPoint(3, 1));
    Screen->SetCursors(crHand, nullptr);
    EXPECT_EQ(Screen->Cursors(crHand), nullptr);
}

TEST_F(FocusMenuTest, RadioItemsOfAGroupExcludeEachOther) {
    TMainMenu menu(Form.get());
    std::vector<TMenuItem*> items;
    for (int i = 0; i < 3; ++i) {
        auto* item = new TMenuItem(Form.get());
        item->SetCaption(AnsiString("&") + AnsiString(i));
        item->SetRadioItem(true);
        item->SetGroupIndex(i < 2 ? 1 : 2);
        menu.Items()->Add(item);
        items.push_back(item);
    }
    items[0]->SetChecked(true);
    items[2]->SetChecked(true);
    items[1]->SetChecked(true);
    EXPECT_FALSE(items[0]->Checked());
    EXPECT_TRUE(items[1]->Checked());
    EXPECT_TRUE(items[2]->Checked());
    EXPECT_EQ(menu.Items()->Find("1"), items[1]);
    EXPECT_EQ(items[1]->MenuIndex(), 1);
    EXPECT_EQ(items[1]->GetParentMenu(), &menu);
    // A disabled item ignores clicks; AutoCheck toggles before OnClick.
    int clicks = 0;
    items[0]->OnClick = [&](TObject*) { ++clicks; };
    items[0]->SetEnabled(false);
    items[0]->Click();
    EXPECT_EQ(clicks, 0);
    auto* toggle = new TMenuItem(Form.get());
    toggle->SetAutoCheck(true);
    menu.Items()->Add(toggle);
    toggle->Click();
    EXPECT_TRUE(toggle->Checked());
    delete items[1];
    EXPECT_EQ(menu.Items()->Count(), 3);
    EXPECT_THROW(menu.Items()->Items(3), EListError);
}

TEST_F(FocusMenuTest, RightClickPopsUpTheNearestPopupMenu) {
    auto* panel = Make<TPanel>(0, 0, 100, 50);
    auto* label = Make<TLabel>(5, 5, 40, 17, panel);
    TPopupMenu popup(Form.get());
    auto* item = new TMenuItem(Form.get());
    item->SetCaption("&Delete row");
    item->SetShortCut(ShortCut(VK_DELETE, TShiftState{ssCtrl}));
    popup.Items()->Add(item);
    int pops = 0, deletes = 0;
    popup.OnPopup = [&](TObject*) { ++pops; };
    item->OnClick = [&](TObject*) { ++deletes; };
    panel->SetPopupMenu(&popup);
    Form->Show();
    SimulateMouse(label, TMouseAction::Down, mbRight, 3, 3);
    SimulateMouse(label, TMouseAction::Up, mbRight, 3, 3);
    EXPECT_EQ(pops, 1);
    EXPECT_EQ(popup.PopupComponent(), label);
    // A pump script chooses the item of the menu that popped up.
    TPumpScript script;
    script.Menu(item);
    Application->ProcessMessages();
    EXPECT_EQ(deletes, 1);
    // The pop-up menu's shortcuts work in the controls under it.
    auto* edit = Make<TEdit>(5, 25, 60, 21, panel);
    SimulateKey(edit, VK_DELETE, TShiftState{ssCtrl});
    EXPECT_EQ(deletes, 2);
    popup.SetAutoPopup(false);
    SimulateMouse(panel, TMouseAction::Down, mbRight, 3, 3);
    SimulateMouse(panel, TMouseAction::Up, mbRight, 3, 3);
    EXPECT_EQ(pops, 1);
}

TEST_F(FocusMenuTest, FreeingAMenuClearsTheReferencesToIt) {
    auto* menu = new TMainMenu(Form.get());
    auto* item = new TMenuItem(Form.get());
    item->SetCaption("&View");
    menu->Items()->Add(item);
    Form->SetMenu(menu);
    const int withMenu = Form->ClientHeight();
    auto* popup = new TPopupMenu(Form.get());
    Form->SetPopupMenu(popup);
    delete menu;
    delete popup;
    EXPECT_EQ(Form->Menu(), nullptr);
    EXPECT_EQ(Form->PopupMenu(), nullptr);
    EXPECT_GT(Form->ClientHeight(), withMenu);
}

TEST_F(FocusMenuTest, EmbeddedFormsBecomeChildControls) {
    auto* sheet = Make<TPanel>(0, 0, 300, 200);
    auto* page = new TForm(Form.get());
    page->SetBorderStyle(bsNone);
    auto* edit = new TEdit(page);
    edit->SetParent(page);
    page->SetParent(sheet);
    page->SetAlign(alClient);
    page->Show();
    EXPECT_EQ(page->BoundsRect(), Rect(1, 1, 299, 199));
    EXPECT_FALSE(page->Widget()->isWindow());
    EXPECT_EQ(GetParentForm(edit), Form.get());
    Form->Show();
    EXPECT_TRUE(edit->Showing());
    EXPECT_TRUE(edit->CanFocus());
    // Back to a window of its own.
    page->SetParent(nullptr);
    EXPECT_TRUE(page->Widget()->isWindow());
    EXPECT_EQ(GetParentForm(edit), page);
}

TEST_F(FocusMenuTest, SplitterResizesTheControlBeforeIt) {
    auto* left = Make<TPanel>(0, 0, 100, 10);
    left->SetAlign(alLeft);
    auto* splitter = Make<TSplitter>(100, 0, 3, 10);
    splitter->SetAlign(alLeft);
    auto* rest = Make<TPanel>(0, 0, 10, 10);
    rest->SetAlign(alClient);
    EXPECT_EQ(splitter->Left(), 100);
    int moved = 0;
    splitter->OnMoved = [&](TObject*) { ++moved; };
    Form->Show();
    SimulateMouse(splitter, TMouseAction::Down, mbLeft, 1, 5);
    SimulateMouse(splitter, TMouseAction::Move, mbLeft, 41, 5);
    SimulateMouse(splitter, TMouseAction::Up, mbLeft, 41, 5);
    EXPECT_EQ(left->Width(), 140);
    EXPECT_EQ(rest->Left(), 143);
    EXPECT_EQ(moved, 1);
    // Never below the minimum size.
    SimulateMouse(splitter, TMouseAction::Down, mbLeft, 1, 5);
    SimulateMouse(splitter, TMouseAction::Move, mbLeft, -300, 5);
    SimulateMouse(splitter, TMouseAction::Up, mbLeft, -300, 5);
    EXPECT_EQ(left->Width(), splitter->MinSize());
}

TEST_F(FocusMenuTest, ScrollBoxContentCoversItsChildren) {
    auto* box = Make<TScrollBox>(0, 0, 100, 100);
    auto* far = Make<TPanel>(250, 300, 50, 50, box);
    EXPECT_EQ(box->ClientWidget()->width(), 300);
    EXPECT_EQ(box->ClientWidget()->height(), 350);
    far->SetLeft(10);
    EXPECT_EQ(box->ClientWidget()->width(), 96);
    box->ScrollInView(far);
}

TEST_F(FocusMenuTest, ScreenListsFormsAndOverridesTheCursor) {
    const int before = Screen->FormCount();
    {
        TForm extra(nullptr);
        EXPECT_EQ(Screen->FormCount(), before + 1);
        EXPECT_EQ(Screen->Forms(before), &extra);
    }
    EXPECT_EQ(Screen->FormCount(), before);
    EXPECT_THROW(Screen->Forms(before), EListError);
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(FocusMenuTest, PumpScriptTypesEntersAndLogsItsSteps) {
    auto* edit = Make<TEdit>(0, 0, 80, 21);
    AnsiString confirmed;
    edit->OnKeyPress = [&](TObject*, char& key) {
        if (key == '\r') confirmed = edit->Text();
    };
    Form->Show();
    edit->SetName("TextCommentFile");
    TPumpScript script;
    script.Type(edit, "first file").After(3).Enter(edit);
    for (int i = 0; i < 10 && !script.Done(); ++i)
        Application->ProcessMessages();
    EXPECT_EQ(confirmed, "first file");
    EXPECT_EQ(script.Log(),
              (std::vector<AnsiString>{"type into TextCommentFile", "key 13 on TextCommentFile"}));
    EXPECT_EQ(script.Pumps(), 4); // the key three pumps after the typing
}

// Drop-downs below the menu bar are made as their parent opens: opening each
// level in turn shows every item where it was put, however the menu was built.
TEST_F(FocusMenuTest, DeepDropDownsShowTheirItemsWhenOpened) {
    const auto item = [&](const char* Caption) {
        auto* i = new TMenuItem(Form.get());
        i->SetCaption(Caption);
        return i;
    };
    // What a drop-down shows, opening it (and so making the level below).
    const std::function<std::string(QAction*)> shown = [&](QAction* a) {
        std::string s = a->text().toStdString();
        if (QMenu* m = a->menu()) {
            m->popup(QPoint(0, 0));
            s += "(";
            for (QAction* child : m->actions())
                s += shown(child) + " ";
            s += ")";
            m->hide();
        }
        return s;
    };
    for (bool topDown : {true, false}) {
        TMainMenu menu(Form.get());
        TMenuItem* device = item("Device");
        TMenuItem* model = item("EFM 640B");
        TMenuItem* mode = item("E-Fieldmeter");
        if (topDown) menu.Items()->Add(device);
        device->Add(model);
        model->Add(mode);
        for (const char* range : {"2kV/m", "20kV/m"})
            mode->Add(item(range));
        if (!topDown) menu.Items()->Add(device);
        EXPECT_EQ(shown(device->Action()), "Device(EFM 640B(E-Fieldmeter(2kV/m 20kV/m ) ) )")
            << topDown;
        // Items put in after a drop-down was made take their place in it.
        mode->Insert(0, item("200V/m"));
        model->Add(item("Voltmeter"));
        EXPECT_EQ(shown(device->Action()),
                  "Device(EFM 640B(E-Fieldmeter(200V/m 2kV/m 20kV/m ) Voltmeter ) )")
            << topDown;
    }
}
