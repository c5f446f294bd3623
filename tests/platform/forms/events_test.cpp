// Which property changes made by code fire change events, and that the user's
// actions fire them, on one form holding every kind of control.
#include "forms_fixture.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/grids.h"
#include "platform/forms/mask.h"
#include "platform/forms/menus.h"
#include <functional>
#include <string>
#include <vector>

namespace {
struct TEventRow {
    std::string What;
    std::function<void()> CodeChange;
    int ExpectedByCode;
    std::function<void()> UserAction; // may be empty
    int ExpectedByUser;
};
} // namespace

class EventTableTest : public FormsTest {};

TEST_F(EventTableTest, CodeChangesFireEventsAsThePlatformDoes) {
    TCounter edit, mask, memo, check, radio, group, track, updown, buddy, combo, comboClick, list,
        changing, change, speed, menu, tab, cells;

    auto* e = Make<TEdit>(8, 8, 100, 21);
    e->OnChange = edit.Handler();
    auto* m = Make<TMaskEdit>(8, 32, 60, 21);
    m->SetEditMask("99;1;_");
    m->OnChange = mask.Handler();
    auto* mm = Make<TMemo>(8, 56, 100, 60);
    mm->OnChange = memo.Handler();
    auto* cb = Make<TCheckBox>(120, 8, 100, 17);
    cb->OnClick = check.Handler();
    auto* rb = Make<TRadioButton>(120, 28, 100, 17);
    rb->OnClick = radio.Handler();
    auto* rg = Make<TRadioGroup>(120, 50, 120, 80);
    rg->Items()->Add("one");
    rg->Items()->Add("two");
    rg->OnClick = group.Handler();
    auto* tb = Make<TTrackBar>(8, 130, 150, 30);
    tb->OnChange = track.Handler();
    auto* ue = Make<TEdit>(250, 8, 60, 21);
    ue->OnChange = buddy.Handler();
    auto* ud = Make<TUpDown>(0, 0, 15, 21);
    ud->SetAssociate(ue);
    ud->OnClick = [&](TObject*, TUDBtnType) { ++updown.Count; };
    auto* co = Make<TComboBox>(250, 40, 100, 21);
    co->Items()->Add("a");
    co->Items()->Add("b");
    co->OnChange = combo.Handler();
    co->OnClick = comboClick.Handler();
    auto* lb = Make<TListBox>(250, 70, 100, 60);
    lb->Items()->Add("x");
    lb->Items()->Add("y");
    lb->OnClick = list.Handler();
    auto* pc = Make<TPageControl>(8, 170, 200, 100);
    auto* p1 = new TTabSheet(Form.get());
    p1->SetPageControl(pc);
    auto* p2 = new TTabSheet(Form.get());
    p2->SetPageControl(pc);
    pc->SetActivePage(p1);
    pc->OnChanging = [&](TObject*, bool&) { ++changing.Count; };
    pc->OnChange = change.Handler();
    auto* sb = Make<TSpeedButton>(250, 140, 23, 22);
    sb->SetGroupIndex(1);
    sb->SetAllowAllUp(true);
    sb->OnClick = speed.Handler();
    auto* tc = Make<TTabControl>(220, 170, 150, 100);
    tc->Tabs()->Add("t1");
    tc->Tabs()->Add("t2");
    tc->OnChange = tab.Handler();
    auto* grid = Make<TStringGrid>(220, 280, 150, 60);
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    grid->OnSetEditText = [&](TObject*, int, int, const AnsiString&) { ++cells.Count; };
    TMainMenu mainMenu(Form.get());
    auto* item = new TMenuItem(Form.get());
    item->SetCaption("&Item");
    item->OnClick = menu.Handler();
    mainMenu.Items()->Add(item);
    Form->SetMenu(&mainMenu);
    Form->Show();

    const std::vector<TEventRow> rows = {
        {"TEdit.Text fires OnChange", [&] { e->SetText("abc"); }, 1, [&] { SimulateType(e, "q"); },
         1},
        {"TEdit.Text unchanged fires nothing", [&] { e->SetText(e->Text()); }, 0, nullptr, 0},
        {"TMaskEdit.Text fires OnChange", [&] { m->SetText("12"); }, 1,
         [&] { SimulateType(m, "3"); }, 1},
        {"TMemo.Lines.Add fires OnChange", [&] { mm->Lines()->Add("line"); }, 1,
         [&] { SimulateType(mm, "z"); }, 1},
        {"TCheckBox.Checked fires OnClick", [&] { cb->SetChecked(true); }, 1,
         [&] { SimulateClick(cb); }, 1},
        {"TCheckBox.Checked unchanged fires nothing", [&] { cb->SetChecked(cb->Checked()); }, 0,
         nullptr, 0},
        {"TRadioButton.Checked true fires OnClick", [&] { rb->SetChecked(true); }, 1, nullptr, 0},
        {"TRadioButton.Checked false fires nothing", [&] { rb->SetChecked(false); }, 0,
         [&] { SimulateClick(rb); }, 1},
        {"TRadioGroup.ItemIndex fires OnClick", [&] { rg->SetItemIndex(1); }, 1,
         [&] { SimulateClick(rg->Buttons(0)); }, 1},
        {"TTrackBar.Position fires OnChange", [&] { tb->SetPosition(3); }, 1,
         [&] { SimulateKey(tb, VK_RIGHT); }, 1},
        {"TUpDown.Position fires nothing itself", [&] { ud->SetPosition(7); }, 0,
         [&] { SimulateClick(ud, 7, 2); }, 1},
        {"TComboBox.ItemIndex fires nothing", [&] { co->SetItemIndex(1); }, 0,
         [&] { SimulateKey(co, VK_UP); }, 1},
        {"TComboBox.Text fires nothing", [&] { co->SetText("zz"); }, 0, nullptr, 0},
        {"TListBox.ItemIndex fires nothing", [&] { lb->SetItemIndex(1); }, 0,
         [&] { SimulateClick(lb, 10, 3); }, 1},
        {"TPageControl.ActivePage fires neither OnChanging nor OnChange",
         [&] { pc->SetActivePage(p2); }, 0, [&] { pc->SelectPageByUser(p1); }, 1},
        {"TSpeedButton.Down fires nothing", [&] { sb->SetDown(true); }, 0,
         [&] { SimulateClick(sb); }, 1},
        {"TTabControl.TabIndex fires nothing", [&] { tc->SetTabIndex(1); }, 0,
         [&] { tc->SelectTabByUser(0); }, 1},
        {"TStringGrid.Cells fires nothing", [&] { grid->SetCells(1, 1, "7"); }, 0,
         [&] { SimulateType(grid, "8"); }, 1},
        {"TMenuItem.Checked fires nothing", [&] { item->SetChecked(true); }, 0,
         [&] { SimulateKey(e, 'I', TShiftState{ssAlt}); }, 0},
    };
    // The counter each row watches, in the order of the rows.
    std::vector<TCounter*> watched = {&edit,   &edit,  &mask,  &memo,   &check,      &check, &radio,
                                      &radio,  &group, &track, &updown, &comboClick, &combo, &list,
                                      &change, &speed, &tab,   &cells,  &menu};
    ASSERT_EQ(watched.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].What);
        TCounter* counter = watched[i];
        counter->Count = 0;
        rows[i].CodeChange();
        EXPECT_EQ(counter->Count, rows[i].ExpectedByCode);
        if (!rows[i].UserAction) continue;
        counter->Count = 0;
        rows[i].UserAction();
        EXPECT_EQ(counter->Count, rows[i].ExpectedByUser);
    }
    // The associated edit follows the up-down and reports its own change.
    buddy.Count = 0;
    ud->SetPosition(12);
    EXPECT_EQ(ue->Text(), "12");
    EXPECT_EQ(buddy.Count, 1);
    // The page control asked before the user's change.
    EXPECT_EQ(changing.Count, 1);
}

TEST_F(EventTableTest, ComboBoxUserSelectionClicksThenChanges) {
    auto* co = Make<TComboBox>(8, 8, 100, 21);
    co->SetStyle(csDropDownList);
    co->Items()->Add("a");
    co->Items()->Add("b");
    co->SetItemIndex(0);
    std::vector<std::string> log;
    co->OnClick = [&](TObject*) { log.push_back("click"); };
    co->OnChange = [&](TObject*) { log.push_back("change"); };
    Form->Show();
    SimulateKey(co, VK_DOWN);
    EXPECT_EQ(co->ItemIndex(), 1);
    EXPECT_EQ(co->Text(), "b");
    EXPECT_EQ(log, (std::vector<std::string>{"click", "change"}));
    co->OnSelect = [&](TObject*) { log.push_back("select"); };
    log.clear();
    SimulateKey(co, VK_UP);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "select"}));
}

TEST_F(EventTableTest, ExceptionOfAChangeHandlerReachesTheCodeThatSetTheText) {
    auto* e = Make<TEdit>(8, 8, 100, 21);
    e->OnChange = [](TObject*) { throw EConvertError("bad number"); };
    EXPECT_THROW(e->SetText("1"), EConvertError);
    // Typed by the user, the same exception is shown and the loop goes on.
    Form->Show();
    Responder.ExpectMessage("bad number.", IDOK);
    SimulateType(e, "2");
    EXPECT_EQ(e->Text(), "2");
}
