// Behaviour of the individual controls: memo lines, masks, list boxes, grids,
// page controls, radio groups, up-downs, combo boxes and status bars.
#include "forms_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/grids.h"
#include "platform/forms/mask.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTabBar>
#include <functional>
#include <string>
#include <vector>

class ControlsTest : public FormsTest {};

TEST_F(ControlsTest, MemoLinesWorkOnTheTextWithCrLf) {
    auto* memo = Make<TMemo>(0, 0, 200, 100);
    TStrings* lines = memo->Lines();
    EXPECT_EQ(lines->Count(), 0);
    lines->Add("Error occurred :");
    lines->Add("");
    lines->Add("USB ADC device not found !");
    EXPECT_EQ(lines->Count(), 3);
    EXPECT_EQ(memo->Text(), "Error occurred :\r\n\r\nUSB ADC device not found !\r\n");
    lines->Delete(1);
    EXPECT_EQ(lines->Strings(1), "USB ADC device not found !");
    lines->SetStrings(0, "first");
    EXPECT_EQ(memo->Text(), "first\r\nUSB ADC device not found !\r\n");
    // A line holding a line break becomes two lines.
    lines->Add("\r\nStart reading !");
    EXPECT_EQ(lines->Count(), 4);
    EXPECT_EQ(lines->Strings(3), "Start reading !");
    // Text without a final break: Add starts a new line after it.
    memo->SetText("a");
    lines->Add("b");
    EXPECT_EQ(memo->Text(), "a\r\nb");
    lines->Insert(0, "z");
    EXPECT_EQ(memo->Text(), "z\r\na\r\nb");
    EXPECT_THROW(lines->Strings(3), EStringListError);
    memo->Clear();
    EXPECT_EQ(lines->Count(), 0);
}

// Only what the user typed can be undone; what the program writes follows
// into sight as it is added.
TEST_F(ControlsTest, MemoTextWrittenByTheProgramIsNoUndoStepAndStaysInSight) {
    auto* memo = Make<TMemo>(0, 0, 200, 89);
    Form->Show();
    auto* ed = static_cast<QPlainTextEdit*>(memo->Widget());
    auto undo = [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::sendEvent(ed, &press);
    };
    memo->SetText("set");
    for (int i = 0; i < 40; ++i)
        memo->Lines()->Add("Result " + IntToStr(i));
    memo->Lines()->Delete(0);
    memo->Lines()->SetStrings(0, "first");
    memo->Lines()->Insert(39, "inserted");
    EXPECT_EQ(ed->document()->availableUndoSteps(), 0);
    QScrollBar* bar = ed->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    const AnsiString written = memo->Text();
    SimulateType(memo, "ab");
    EXPECT_EQ(memo->Text().Length(), written.Length() + 2);
    undo();
    undo();
    EXPECT_EQ(memo->Text(), written);
    memo->Clear();
    undo();
    EXPECT_EQ(memo->Text(), "");
    EXPECT_EQ(ed->document()->availableUndoSteps(), 0);
}

TEST_F(ControlsTest, MemoWithoutWantReturnsLeavesEnterToTheDefaultButton) {
    auto* memo = Make<TMemo>(0, 0, 200, 100);
    auto* ok = Make<TButton>(0, 110, 75, 25);
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    Form->Show();
    SimulateType(memo, "a");
    SimulateKey(memo, VK_RETURN);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(memo->Lines()->Count(), 1);
    memo->SetWantReturns(false);
    SimulateKey(memo, VK_RETURN);
    EXPECT_EQ(clicks, 1);
}

// Tabs stop every 8 average character widths of the memo's own font, so the
// values of "Name\t: value" lines share a column whatever the names' lengths.
TEST_F(ControlsTest, MemoTabsStopEveryEightAverageCharacters) {
    auto* memo = Make<TMemo>(0, 0, 380, 200);
    const char* lines[] = {"Range\t\t: 4", "Temperature\t: 22", "Serial number\t: 1"};
    for (const char* l : lines)
        memo->Lines()->Add(l);
    Form->Show();
    auto* ed = static_cast<QPlainTextEdit*>(memo->Widget());
    // Where the colon of each line stands, from the start of its line.
    const auto colons = [&] {
        std::vector<int> xs;
        for (int i = 0; i < 3; ++i) {
            const QTextBlock b = ed->document()->findBlockByNumber(i);
            QTextCursor c(b);
            const int start = ed->cursorRect(c).left();
            c.setPosition(b.position() + int(b.text().indexOf(':')));
            xs.push_back(ed->cursorRect(c).left() - start);
        }
        return xs;
    };
    for (int size : {8, 14}) {
        memo->Font()->SetSize(size);
        const int stop = 8 * QFontMetrics(ed->font()).averageCharWidth();
        EXPECT_EQ(colons(), std::vector<int>(3, 2 * stop)) << "size " << size;
    }
}

TEST_F(ControlsTest, MaskEditsKeepTheirMaskAndReportTextAsThePlatform) {
    const char savedDate = DateSeparator;
    DateSeparator = '.';
    const struct {
        const char* Mask;
        const char* Set;
        const char* Text;
        const char* EditText;
    } rows[] = {
        {"##;0;_", "5", "5 ", "5_"},
        {"99;1", "1 ", "1 ", "1_"},
        {"99999;1;_", "200", "200  ", "200__"},
        {"9999;1;_", "0   ", "0   ", "0___"},
        {"!90/00;1;_", "09.11", "09.11", "09.11"},
        {"!90/00;0;_", "0911", "0911", "09.11"},
        // '!' fills a short text in from the right.
        {"!99;1;_", "1", " 1", "_1"},
        {"!90/00;1;_", "1.25", " 1.25", "_1.25"},
        {"99;1", "1", "1 ", "1_"},
    };
    auto* m = Make<TMaskEdit>(0, 0, 80, 21);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Mask);
        m->SetEditMask(row.Mask);
        m->SetText(row.Set);
        EXPECT_EQ(m->Text(), row.Text);
        EXPECT_EQ(m->EditText(), row.EditText);
    }
    // Typing skips literals and refuses letters where digits belong.
    m->SetEditMask("!90/00;1;_");
    m->SetText("");
    Form->Show();
    SimulateType(m, "11x25");
    EXPECT_EQ(m->Text(), "11.25");
    DateSeparator = savedDate;
}

TEST_F(ControlsTest, ListBoxSelectsByMouseKeysAndCode) {
    auto* list = Make<TListBox>(0, 0, 100, 60);
    for (const char* s : {"a", "b", "c", "d", "e", "f", "g", "h"})
        list->Items()->Add(s);
    const int h = list->ItemHeight();
    Form->Show();
    SimulateClick(list, 10, h + 1);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_TRUE(list->Selected(1));
    SimulateKey(list, VK_END);
    EXPECT_EQ(list->ItemIndex(), 7);
    EXPECT_GT(list->TopIndex(), 0); // scrolled to show it
    EXPECT_EQ(list->ItemAtPos(Point(10, 1000), true), -1);
    EXPECT_EQ(list->ItemAtPos(Point(10, 1000), false), 8);
    EXPECT_EQ(list->SelCount(), -1);
    EXPECT_THROW(list->Selected(8), EListError);
    list->Items()->Delete(7);
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(ControlsTest, MultiSelectListBoxExtendsWithShiftAndTogglesWithCtrl) {
    auto* list = Make<TListBox>(0, 0, 100, 200);
    for (const char* s : {"a", "b", "c", "d"})
        list->Items()->Add(s);
    list->SetMultiSelect(true);
    const int h = list->ItemHeight();
    Form->Show();
    SimulateClick(list, 5, 1);
    SimulateMouse(list, TMouseAction::Down, mbLeft, 5, 2 * h + 1, TShiftState{ssShift});
    SimulateMouse(list, TMouseAction::Up, mbLeft, 5, 2 * h + 1, TShiftState{ssShift});
    EXPECT_EQ(list->SelCount(), 3);
    SimulateMouse(list, TMouseAction::Down, mbLeft, 5, h + 1, TShiftState{ssCtrl});
    SimulateMouse(list, TMouseAction::Up, mbLeft, 5, h + 1, TShiftState{ssCtrl});
    EXPECT_FALSE(list->Selected(1));
    EXPECT_EQ(list->SelCount(), 2);
    // Setting ItemIndex in a multi-select list moves only the caret.
    list->SetItemIndex(3);
    EXPECT_FALSE(list->Selected(3));
    list->SelectAll();
    EXPECT_EQ(list->SelCount(), 4);
}

TEST_F(ControlsTest, OwnerDrawListBoxDrawsEachVisibleRow) {
    auto* list = Make<TListBox>(0, 0, 100, 54);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(24);
    for (const char* s : {"a", "b", "c"})
        list->Items()->Add(s);
    list->SetItemIndex(1);
    std::vector<std::string> drawn;
    list->OnDrawItem = [&](TWinControl* control, int index, TRect rect, TOwnerDrawState state) {
        drawn.push_back(std::to_string(index) + "@" + std::to_string(rect.Top) +
                        (state.Contains(odSelected) ? " selected" : ""));
        static_cast<TListBox*>(control)->Canvas()->FillRect(rect);
    };
    list->Repaint();
    // The client is 50 pixels high: rows 0 and 1 and the top of row 2.
    EXPECT_EQ(drawn, (std::vector<std::string>{"0@0", "1@24 selected", "2@48"}));
    EXPECT_EQ(ColorToRGB(list->Canvas()->Pixels(50, 30)), ColorToRGB(clHighlight));
}

TEST_F(ControlsTest, StringGridCellsSelectionAndEditor) {
    auto* grid = Make<TStringGrid>(0, 0, 300, 150);
    grid->SetColCount(4);
    grid->SetRowCount(10);
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    grid->SetCells(0, 0, "#");
    EXPECT_EQ(grid->Cells(0, 0), "#");
    EXPECT_EQ(grid->Cells(3, 9), "");
    EXPECT_THROW(grid->Cells(4, 0), EInvalidGridOperation);
    EXPECT_EQ(grid->CellRect(1, 1), Rect(65, 25, 129, 49));
    int col = -1, row = -1;
    grid->MouseToCell(70, 30, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    // SelectCell may refuse a cell.
    grid->OnSelectCell = [](TObject*, int c, int, bool& can) { can = c != 2; };
    grid->SetCol(2);
    EXPECT_EQ(grid->Col(), 1);
    grid->OnSelectCell = nullptr;
    // Typing into the grid opens the editor; every change reaches SetEditText.
    std::vector<std::string> edits;
    grid->OnSetEditText = [&](TObject*, int c, int r, const AnsiString& v) {
        edits.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v.c_str());
    };
    Form->Show();
    SimulateType(grid, "42");
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 1), "42");
    EXPECT_EQ(edits, (std::vector<std::string>{"1,1=4", "1,1=42"}));
    // Moving down leaves the editor; the rows scroll to keep the cell visible.
    for (int i = 0; i < 8; ++i)
        SimulateKey(grid, VK_DOWN);
    EXPECT_EQ(grid->Row(), 9);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_GT(grid->TopRow(), 1);
    EXPECT_TRUE(grid->CellRect(1, 1).IsEmpty());
}

TEST_F(ControlsTest, GridDrawCellPaintsTheCellsThroughTheCanvas) {
    auto* grid = Make<TDrawGrid>(0, 0, 200, 100);
    grid->SetColCount(3);
    grid->SetRowCount(3);
    std::vector<std::string> cells;
    grid->OnDrawCell = [&](TObject*, int c, int r, TRect, TGridDrawState s) {
        cells.push_back(std::to_string(c) + std::to_string(r) + (s.Contains(gdFixed) ? "f" : "") +
                        (s.Contains(gdSelected) ? "s" : ""));
    };
    grid->Repaint();
    EXPECT_EQ(cells, (std::vector<std::string>{"00f", "10f", "20f", "01f", "11s", "21", "02f", "12",
                                               "22"}));
    // Default drawing fills fixed cells with the fixed colour.
    EXPECT_EQ(ColorToRGB(grid->Canvas()->Pixels(30, 12)), ColorToRGB(clBtnFace));
}

TEST_F(ControlsTest, PageControlChangesAskOnChangingWhichMayRefuse) {
    auto* pages = Make<TPageControl>(0, 0, 200, 150);
    auto* a = new TTabSheet(Form.get());
    a->SetCaption("A");
    a->SetPageControl(pages);
    auto* b = new TTabSheet(Form.get());
    b->SetCaption("B");
    b->SetPageControl(pages);
    pages->SetActivePage(a);
    bool allow = false;
    int changes = 0;
    pages->OnChanging = [&](TObject*, bool& can) { can = allow; };
    pages->OnChange = [&](TObject*) { ++changes; };
    EXPECT_FALSE(pages->SelectPageByUser(b));
    EXPECT_EQ(pages->ActivePage(), a);
    EXPECT_EQ(changes, 0);
    allow = true;
    EXPECT_TRUE(pages->SelectPageByUser(b));
    EXPECT_EQ(pages->ActivePage(), b);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(b->Visible());
    EXPECT_FALSE(a->Visible());
    // Sheets fill the page area; hidden tabs are skipped in tab indexes.
    EXPECT_EQ(b->Width(), pages->ClientWidth());
    a->SetTabVisible(false);
    EXPECT_EQ(b->TabIndex(), 0);
    EXPECT_EQ(a->TabIndex(), -1);
    EXPECT_EQ(b->PageIndex(), 1);
    // Hiding the active page's tab moves to the next visible one; freeing a
    // page removes it.
    auto* c = new TTabSheet(Form.get());
    c->SetPageControl(pages);
    b->SetTabVisible(false);
    EXPECT_EQ(pages->ActivePage(), c);
    delete c;
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), nullptr);
}

TEST_F(ControlsTest, FreeingTheActivePageActivatesTheNextVisibleTab) {
    const struct {
        int Active;
        const char* Hidden; // tabs hidden, by page index
        int Next;           // page index after freeing the active one; -1 none
    } cases[] = {
        {1, "", 1},    // the page that followed moves up
        {3, "", 0},    // past the last page it wraps to the first
        {1, "2", 2},   // a hidden tab is skipped
        {3, "0", 1},   // wrapping skips hidden tabs too
        {1, "023", -1} // every other tab hidden: no page is active
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Active << " hidden " << c.Hidden);
        auto* pages = Make<TPageControl>(0, 0, 200, 150);
        std::vector<TTabSheet*> sheets;
        for (int i = 0; i < 4; ++i) {
            sheets.push_back(new TTabSheet(Form.get()));
            sheets.back()->SetPageControl(pages);
        }
        pages->SetActivePage(sheets[size_t(c.Active)]);
        for (const char* h = c.Hidden; *h; ++h)
            sheets[size_t(*h - '0')]->SetTabVisible(false);
        delete sheets[size_t(c.Active)];
        EXPECT_EQ(pages->PageCount(), 3);
        EXPECT_EQ(pages->ActivePageIndex(), c.Next);
        if (c.Next >= 0) EXPECT_TRUE(pages->Pages(c.Next)->Visible());
    }
}

// The arrow keys on the tab bar itself, as the user presses them.
static void PressOnTabBar(TCustomTabControl* Control, int Key) {
    auto* bar = Control->Widget()->findChild<QTabBar*>();
    ASSERT_NE(bar, nullptr);
    QKeyEvent press(QEvent::KeyPress, Key, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &press);
}

TEST_F(ControlsTest, TabBarChangesByTheUserAskFirstOnBothTabbedControls) {
    auto* pages = Make<TPageControl>(0, 0, 200, 150);
    TTabSheet* sheets[2];
    for (TTabSheet*& s : sheets) {
        s = new TTabSheet(Form.get());
        s->SetPageControl(pages);
    }
    pages->SetActivePage(sheets[0]);
    auto* tabs = Make<TTabControl>(0, 160, 200, 100);
    tabs->Tabs()->Add("t1");
    tabs->Tabs()->Add("t2");
    tabs->SetTabIndex(0);
    struct Row {
        TCustomTabControl* Control;
        std::function<int()> Index;
    };
    const Row rows[] = {{pages, [&] { return pages->ActivePageIndex(); }},
                        {tabs, [&] { return tabs->TabIndex(); }}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Control->ClassName().c_str());
        bool allow = false;
        int changes = 0;
        row.Control->OnChanging = [&](TObject*, bool& can) { can = allow; };
        row.Control->OnChange = [&](TObject*) { ++changes; };
        PressOnTabBar(row.Control, Qt::Key_Right);
        EXPECT_EQ(row.Index(), 0);
        EXPECT_EQ(changes, 0);
        allow = true;
        PressOnTabBar(row.Control, Qt::Key_Right);
        EXPECT_EQ(row.Index(), 1);
        EXPECT_EQ(changes, 1);
        // Past the last tab nothing is asked or changed.
        PressOnTabBar(row.Control, Qt::Key_Right);
        EXPECT_EQ(row.Index(), 1);
        EXPECT_EQ(changes, 1);
    }
    EXPECT_TRUE(sheets[1]->Visible());
    EXPECT_FALSE(sheets[0]->Visible());
}

TEST_F(ControlsTest, RadioGroupArrangesButtonsAndReportsTheChosenItem) {
    auto* group = Make<TRadioGroup>(0, 0, 200, 100);
    group->SetCaption("Voltage mode");
    for (const char* s : {"Auto", "10V", "100V"})
        group->Items()->Add(s);
    ASSERT_EQ(group->ButtonCount(), 3);
    EXPECT_EQ(group->Buttons(1)->Caption(), "10V");
    EXPECT_EQ(group->Buttons(0)->Left(), 8);
    EXPECT_LT(group->Buttons(0)->Top(), group->Buttons(1)->Top());
    group->SetItemIndex(2);
    EXPECT_TRUE(group->Buttons(2)->Checked());
    Form->Show();
    SimulateClick(group->Buttons(0));
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_FALSE(group->Buttons(2)->Checked());
    group->SetColumns(3);
    EXPECT_EQ(group->Buttons(0)->Top(), group->Buttons(2)->Top());
    group->Items()->Delete(2);
    EXPECT_EQ(group->ButtonCount(), 2);
}

TEST_F(ControlsTest, UpDownStepsWithinItsRangeAndFollowsItsEdit) {
    auto* edit = Make<TEdit>(10, 10, 80, 21);
    auto* ud = Make<TUpDown>(0, 0, 15, 21);
    ud->SetMin(0);
    ud->SetMax(1200);
    ud->SetAssociate(edit);
    EXPECT_EQ(edit->Width(), 65);
    EXPECT_EQ(ud->Left(), 75);
    ud->SetPosition(1200);
    EXPECT_EQ(edit->Text(), std::string("1") + ThousandSeparator + "200");
    ud->Step(btNext);
    EXPECT_EQ(ud->Position(), 1200);
    ud->SetWrap(true);
    ud->Step(btNext);
    EXPECT_EQ(ud->Position(), 0);
    edit->SetText("37");
    EXPECT_EQ(ud->Position(), 37);
    ud->OnChanging = [](TObject*, bool& allow) { allow = false; };
    ud->Step(btPrev);
    EXPECT_EQ(ud->Position(), 37);
    // A limit that moves keeps a typed figure still inside it, clamps one outside.
    ud->OnChanging = nullptr;
    ud->SetMin(10);
    EXPECT_EQ(edit->Text(), "37");
    ud->SetMax(20);
    EXPECT_EQ(edit->Text(), "20");
    edit->SetText("5");
    ud->SetMin(8);
    EXPECT_EQ(edit->Text(), "8");
}

TEST_F(ControlsTest, ComboBoxTextAndItemIndex) {
    auto* combo = Make<TComboBox>(0, 0, 100, 21);
    for (const char* s : {"1000V", "500 V", "20 sec."})
        combo->Items()->Add(s);
    combo->SetText("         Select time");
    EXPECT_EQ(combo->Text(), "         Select time");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "500 V");
    combo->SetText("20 sec.");
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->SetText("typed");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetStyle(csDropDownList);
    combo->SetItemIndex(0);
    EXPECT_EQ(combo->Text(), "1000V");
    combo->Items()->Add("later");
    EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(ControlsTest, OwnerDrawnComboBoxDrawsTheBoxAndItsRowsThroughDrawItem) {
    auto* combo = Make<TComboBox>(0, 0, 120, 21);
    combo->SetStyle(csOwnerDrawFixed);
    combo->SetItemHeight(13);
    for (const char* s : {"Solid", "Dash", "Dot"})
        combo->Items()->Add(s);
    combo->SetItemIndex(1);
    std::vector<std::string> calls;
    combo->OnDrawItem = [&](TWinControl*, int index, TRect r, TOwnerDrawState state) {
        calls.push_back(std::to_string(index) + (state.Contains(odComboBoxEdit) ? " box" : "") +
                        (state.Contains(odSelected) ? " selected" : "") + " h" +
                        std::to_string(r.Height()));
        // A sample line as the pen dialog draws its styles.
        TCanvas* c = combo->Canvas();
        c->FillRect(r);
        c->Pen()->SetColor(clRed);
        c->MoveTo(r.Left + 2, r.Top + r.Height() / 2);
        c->LineTo(r.Left + 30, r.Top + r.Height() / 2);
    };
    Form->Show();
    const QImage box = combo->Widget()->grab().toImage();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].substr(0, 5), "1 box");
    int red = 0;
    for (int x = 0; x < box.width(); ++x)
        for (int y = 0; y < box.height(); ++y)
            red += box.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_GE(red, 20);
    // The rows of the list have the item height; the chosen one is selected.
    calls.clear();
    combo->SetDroppedDown(true);
    auto* view = static_cast<QComboBox*>(combo->Widget())->view();
    view->grab();
    combo->SetDroppedDown(false);
    EXPECT_EQ(calls, (std::vector<std::string>{"0 h13", "1 selected h13", "2 h13"}));
    // Without a handler the item text is drawn.
    combo->OnDrawItem = nullptr;
    EXPECT_FALSE(combo->Widget()->grab().toImage().isNull());
}

TEST_F(ControlsTest, ProgressBarAndStatusBarKeepTheirValues) {
    auto* bar = Make<TProgressBar>(0, 0, 100, 16);
    bar->SetMax(50);
    bar->SetPosition(70);
    EXPECT_EQ(bar->Position(), 50);
    bar->SetPosition(-5);
    EXPECT_EQ(bar->Position(), 0);
    bar->StepIt();
    EXPECT_EQ(bar->Position(), 10);
    auto* status = Make<TStatusBar>(0, 0, 300, 19);
    status->Panels()->Add()->SetWidth(100);
    status->Panels()->Add()->SetText("second");
    EXPECT_EQ(status->Top(), 300 - 19); // aligned to the bottom
    EXPECT_EQ(status->PanelRect(1).Left, 102);
    EXPECT_EQ(status->PanelRect(1).Right, 400); // the last panel reaches the right edge
    EXPECT_THROW(status->Panels()->Items(2), EListError);
}

TEST_F(ControlsTest, FreeingAParentFreesItsChildrenWhoeverOwnsThem) {
    auto* panel = Make<TPanel>(0, 0, 100, 100);
    TForm otherOwner(nullptr);
    auto* child = new TButton(&otherOwner);
    child->SetParent(panel);
    TLifeCheck check(child);
    delete panel;
    EXPECT_FALSE(check.Alive());
    EXPECT_EQ(otherOwner.ComponentCount(), 0);
}

// Controls put on a window before it is shown appear with it, as they stand
// then: hidden ones stay hidden, a hidden container hides its children, and
// whatever changes afterwards shows at once.
TEST_F(ControlsTest, ControlsMadeBeforeTheWindowShowsAppearAsTheyStandThen) {
    const auto shown = [](TControl* c) { return c->Widget()->isVisible(); };
    auto* plain = Make<TButton>(0, 0, 80, 24);
    auto* hidden = Make<TButton>(0, 30, 80, 24);
    hidden->SetVisible(false);
    auto* toggled = Make<TEdit>(0, 60, 80, 24);
    toggled->SetVisible(false);
    toggled->SetVisible(true);
    auto* panel = Make<TPanel>(100, 0, 200, 200);
    auto* inPanel = Make<TCheckBox>(5, 5, 80, 24, panel);
    auto* group = Make<TGroupBox>(100, 200, 200, 90);
    auto* moved = Make<TLabel>(5, 20, 80, 20, group);
    moved->SetParent(panel);
    auto* orphan = new TButton(Form.get());
    panel->SetVisible(false);

    Form->Show();
    EXPECT_TRUE(shown(plain));
    EXPECT_FALSE(shown(hidden));
    EXPECT_TRUE(shown(toggled));
    EXPECT_TRUE(shown(group));
    EXPECT_FALSE(shown(panel));
    EXPECT_FALSE(shown(inPanel));
    EXPECT_FALSE(shown(moved));
    EXPECT_FALSE(shown(orphan));

    panel->SetVisible(true);
    EXPECT_TRUE(shown(inPanel));
    EXPECT_TRUE(shown(moved));
    hidden->SetVisible(true);
    EXPECT_TRUE(shown(hidden));
    orphan->SetParent(group);
    EXPECT_TRUE(shown(orphan));
    auto* late = Make<TButton>(0, 90, 80, 24);
    EXPECT_TRUE(shown(late));
    plain->SetVisible(false);
    EXPECT_FALSE(shown(plain));

    Form->Hide();
    Form->Show();
    EXPECT_FALSE(shown(plain));
    EXPECT_TRUE(shown(hidden));
    EXPECT_TRUE(shown(late));
}
