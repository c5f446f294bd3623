// Controls whose handler frees them or their form while the user's key,
// mouse or focus change is under way: the grid (keys, mouse, selecting,
// scrolling, its cell editor), the list box, and an edit box freed by its own
// change while a key is typed. What is left goes on; under the address
// sanitizer a read of what went fails here.
#include "forms_fixture.h"
#include "platform/forms/grids.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "support/grid_focus_steps.h"
#include <functional>
#include <string>
#include <vector>

namespace {

class FreedByHandlerTest : public FormsTest {
public:
    // A shown form of its own, freed by the cases.
    struct TScene {
        TScene() {
            Form = new TForm(nullptr);
            Form->SetBounds(0, 0, 400, 300);
            Grid = new TStringGrid(Form);
            Grid->SetParent(Form);
            Grid->SetBounds(0, 0, 300, 150);
            Grid->SetRowCount(30);
            Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
            List = new TListBox(Form);
            List->SetParent(Form);
            List->SetBounds(0, 160, 200, 100);
            for (const char* s : {"one", "two", "three"})
                List->Items()->Add(s);
            Other = new TEdit(Form);
            Other->SetParent(Form);
            Other->SetBounds(220, 160, 100, 24);
            Form->Show();
            Alive = Form;
        }
        ~TScene() { delete Alive.Get(); }
        TForm* Form;
        TStringGrid* Grid;
        TListBox* List;
        TEdit* Other;
        TWatched<TForm> Alive;
    };
};

enum class TOf { Grid, List, Edit };

struct TCase {
    const char* Name;
    TOf Of; // whose handler
    // Sets the handler that calls Free on the control it belongs to.
    std::function<void(FreedByHandlerTest::TScene&, std::function<void()>)> Arm;
    std::function<void(FreedByHandlerTest::TScene&)> Gesture;
};

TPoint CellMiddle(TStringGrid* G, int Col, int Row) {
    const TRect r = G->CellRect(Col, Row);
    return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

const std::vector<TCase>& Cases() {
    using TScene = FreedByHandlerTest::TScene;
    using TFree = std::function<void()>;
    static const std::vector<TCase> cases = {
        {"grid key down", TOf::Grid,
         [](TScene& S, TFree F) { S.Grid->OnKeyDown = [F](TObject*, WORD&, TShiftState) { F(); }; },
         [](TScene& S) { SimulateKey(S.Grid, VK_DOWN); }},
        {"grid key press", TOf::Grid,
         [](TScene& S, TFree F) { S.Grid->OnKeyPress = [F](TObject*, char&) { F(); }; },
         [](TScene& S) { SimulateType(S.Grid, "7"); }},
        {"grid mouse down", TOf::Grid,
         [](TScene& S, TFree F) {
             S.Grid->OnMouseDown = [F](TObject*, TMouseButton, TShiftState, int, int) { F(); };
         },
         [](TScene& S) {
             const TPoint p = CellMiddle(S.Grid, 2, 2);
             SimulateClick(S.Grid, p.x, p.y);
         }},
        {"grid cell selected by the mouse", TOf::Grid,
         [](TScene& S, TFree F) { S.Grid->OnSelectCell = [F](TObject*, int, int, bool&) { F(); }; },
         [](TScene& S) {
             const TPoint p = CellMiddle(S.Grid, 2, 3);
             SimulateClick(S.Grid, p.x, p.y);
         }},
        {"grid cell selected by a key", TOf::Grid,
         [](TScene& S, TFree F) { S.Grid->OnSelectCell = [F](TObject*, int, int, bool&) { F(); }; },
         [](TScene& S) { SimulateKey(S.Grid, VK_RIGHT); }},
        {"grid scrolled by the wheel", TOf::Grid,
         [](TScene& S, TFree F) { S.Grid->OnTopLeftChanged = [F](TObject*) { F(); }; },
         [](TScene& S) {
             const TWatched<TStringGrid> grid = S.Grid;
             for (int i = 0; i < 12 && grid; ++i)
                 SimulateWheel(grid, -120, 40, 40);
         }},
        {"grid double clicked", TOf::Grid,
         [](TScene& S, TFree F) { S.Grid->OnDblClick = [F](TObject*) { F(); }; },
         [](TScene& S) { SimulateDoubleClick(S.Grid, 100, 40); }},
        {"grid entered by a click", TOf::Grid,
         [](TScene& S, TFree F) { S.Grid->OnEnter = [F](TObject*) { F(); }; },
         [](TScene& S) {
             // The grid, first in the form, has the focus at first.
             SimulateType(S.Other, "a");
             SimulateClick(S.Grid, 100, 40);
         }},
        {"grid cell typed into", TOf::Grid,
         [](TScene& S, TFree F) {
             S.Grid->OnSetEditText = [F](TObject*, int, int, const AnsiString&) { F(); };
         },
         [](TScene& S) {
             const TWatched<TStringGrid> grid = S.Grid;
             SimulateKey(S.Grid, VK_F2);
             if (grid && grid->InplaceEditor()) SimulateType(grid->InplaceEditor(), "45");
         }},
        {"grid cell typed into without opening its editor", TOf::Grid,
         [](TScene& S, TFree F) {
             S.Grid->OnSetEditText = [F](TObject*, int, int, const AnsiString&) { F(); };
         },
         [](TScene& S) {
             const TPoint p = CellMiddle(S.Grid, 1, 2);
             SimulateClick(S.Grid, p.x, p.y);
             SimulateType(S.Grid, "4");
         }},
        {"grid left from its open cell editor", TOf::Grid,
         [](TScene& S, TFree F) { S.Grid->OnExit = [F](TObject*) { F(); }; },
         [](TScene& S) {
             SimulateKey(S.Grid, VK_F2);
             SimulateType(S.Other, "a");
         }},
        {"grid entered through its open cell editor", TOf::Grid,
         [](TScene& S, TFree F) { S.Grid->OnEnter = [F](TObject*) { F(); }; },
         [](TScene& S) {
             SimulateKey(S.Grid, VK_F2);
             SimulateFocus(S.Other);
             SimulateFocus(S.Grid->InplaceEditor());
         }},
        {"edit box left for the grid's open cell editor", TOf::Edit,
         [](TScene& S, TFree F) { S.Other->OnExit = [F](TObject*) { F(); }; },
         [](TScene& S) {
             SimulateKey(S.Grid, VK_F2);
             SimulateFocus(S.Other);
             SimulateType(S.Grid->InplaceEditor(), "4");
         }},
        {"list clicked", TOf::List,
         [](TScene& S, TFree F) { S.List->OnClick = [F](TObject*) { F(); }; },
         [](TScene& S) { SimulateClick(S.List, 20, 5); }},
        {"list entered by a click", TOf::List,
         [](TScene& S, TFree F) { S.List->OnEnter = [F](TObject*) { F(); }; },
         [](TScene& S) { SimulateClick(S.List, 20, 5); }},
        {"list key down", TOf::List,
         [](TScene& S, TFree F) { S.List->OnKeyDown = [F](TObject*, WORD&, TShiftState) { F(); }; },
         [](TScene& S) { SimulateKey(S.List, VK_DOWN); }},
        {"edit box changed by a key", TOf::Edit,
         [](TScene& S, TFree F) { S.Other->OnChange = [F](TObject*) { F(); }; },
         [](TScene& S) { SimulateType(S.Other, "ab"); }},
    };
    return cases;
}

TEST_F(FreedByHandlerTest, TheControlOrItsFormFreedByItsHandlerLeavesTheRestWorking) {
    for (const TCase& c : Cases())
        for (const bool form : {false, true}) {
            SCOPED_TRACE(std::string(c.Name) + (form ? ", the form freed" : ", the control freed"));
            TScene s;
            int calls = 0;
            TControl* const controls[] = {s.Grid, s.List, s.Other};
            const TWatched<TControl> sender = controls[static_cast<int>(c.Of)];
            c.Arm(s, [&] {
                if (++calls > 1) return;
                if (form)
                    delete s.Alive.Get();
                else
                    delete sender.Get();
            });
            c.Gesture(s);
            EXPECT_EQ(calls, 1);
            EXPECT_FALSE(sender);
            ASSERT_EQ(static_cast<bool>(s.Alive), !form);
            if (form) continue;
            // The user goes on with what is left: the form paints, the other
            // controls take keys and clicks.
            TBitmap face(400, 300);
            GrabControl(s.Form, &face);
            if (c.Of != TOf::Grid) SimulateKey(s.Grid, VK_DOWN);
            if (c.Of != TOf::List) SimulateClick(s.List, 20, 30);
            if (c.Of != TOf::Edit) SimulateType(s.Other, "z");
            Application->ProcessMessages();
        }
}

// Focus moving between the grid and its own cell editor neither leaves the
// grid nor enters it again; focus moving into or out of the pair, from or to
// another control, does, so leaving and entering alternate.
TEST_F(FreedByHandlerTest, TheGridsCellEditorTakesTheFocusWithoutLeavingTheGrid) {
    TScene s;
    SimulateClick(s.Grid, 100, 40);
    auto editor = [&] { return s.Grid->InplaceEditor(); };
    const TPoint cell = CellMiddle(s.Grid, 2, 3);
    RunGridFocusSteps(s.Grid, {
        {"F2 opened the editor", [&] { SimulateKey(s.Grid, VK_F2); }, "", true},
        {"a figure typed, Escape",
         [&] {
             SimulateType(editor(), "5");
             SimulateKey(editor(), VK_ESCAPE);
         },
         "", false},
        {"the edit box typed into", [&] { SimulateType(s.Other, "x"); }, "X", false},
        {"a cell clicked", [&] { SimulateClick(s.Grid, cell.x, cell.y); }, "XE", false},
        {"a figure typed into the cell", [&] { SimulateType(s.Grid, "7"); }, "XE", true},
        {"the edit box focused from the open editor", [&] { SimulateFocus(s.Other); }, "XEX", true},
        {"the open editor focused from the edit box", [&] { SimulateFocus(editor()); }, "XEXE",
         true},
        {"the grid focused from its editor", [&] { SimulateFocus(s.Grid); }, "XEXE", true},
        {"the editor focused from its grid", [&] { SimulateFocus(editor()); }, "XEXE", true},
        {"the list clicked from the open editor", [&] { SimulateClick(s.List, 20, 5); }, "XEXEX",
         true},
        {"the open editor typed into", [&] { SimulateType(editor(), "4"); }, "XEXEXE", true},
        {"Enter closed the editor", [&] { SimulateKey(editor(), VK_RETURN); }, "XEXEXE", false},
        {"the edit box typed into", [&] { SimulateType(s.Other, "y"); }, "XEXEXEX", false},
    });
}

// A handler on the way between the grid's open cell editor and another control
// frees what the rest of the way reaches, or moves the focus on: what went is
// neither left nor entered, and nothing is entered once the focus moved on.
TEST_F(FreedByHandlerTest, AFocusHandlerFreesOrMovesOnWhatTheRestOfTheWayReaches) {
    struct TWay {
        const char* Name;
        std::function<void(TScene&)> Arm;
        bool Back;          // from the edit box into the open editor, else out of it
        const char* Active; // the control that ends with the focus
    };
    const TWay ways[] = {
        {"the grid's OnExit frees the edit box",
         [](TScene& S) { S.Grid->OnExit = [&S](TObject*) { delete S.Other; }; }, false, "none"},
        {"the grid's OnExit focuses the list",
         [](TScene& S) { S.Grid->OnExit = [&S](TObject*) { S.List->SetFocus(); }; }, false, "list"},
        {"the edit box's OnExit frees the grid",
         [](TScene& S) { S.Other->OnExit = [&S](TObject*) { delete S.Grid; }; }, true, "none"},
        {"the grid's OnEnter frees the edit box",
         [](TScene& S) { S.Grid->OnEnter = [&S](TObject*) { delete S.Other; }; }, true, "editor"},
        {"the grid's OnEnter focuses the list",
         [](TScene& S) { S.Grid->OnEnter = [&S](TObject*) { S.List->SetFocus(); }; }, true, "list"},
    };
    for (const TWay& way : ways) {
        SCOPED_TRACE(way.Name);
        TScene s;
        const TWatched<TStringGrid> grid = s.Grid;
        const TWatched<TEdit> other = s.Other;
        SimulateKey(s.Grid, VK_F2);
        ASSERT_TRUE(s.Grid->EditorMode());
        const TWatched<TInplaceEdit> editor = s.Grid->InplaceEditor();
        if (way.Back) SimulateFocus(s.Other);
        int entered = 0, listEntered = 0;
        s.Other->OnEnter = [&](TObject*) { ++entered; };
        editor->OnEnter = [&](TObject*) { ++entered; };
        s.List->OnEnter = [&](TObject*) { ++listEntered; };
        way.Arm(s);
        if (way.Back)
            SimulateFocus(editor);
        else
            SimulateFocus(other);
        ASSERT_TRUE(s.Alive);
        const bool moved = std::string(way.Active) == "list";
        EXPECT_EQ(listEntered, moved ? 1 : 0) << "the list's OnEnter";
        EXPECT_EQ(entered, std::string(way.Active) == "editor" ? 1 : 0)
            << "the OnEnter of the control the focus was on its way to";
        TWinControl* const active = s.Form->ActiveControl();
        const std::string now = !active                  ? "none"
                                : active == s.List       ? "list"
                                : active == editor.Get() ? "editor"
                                                         : "another";
        EXPECT_EQ(now, way.Active) << "the form's active control";
        // The user goes on with what is left.
        if (grid) grid->OnEnter = grid->OnExit = nullptr;
        if (other) other->OnExit = nullptr;
        if (grid) SimulateKey(grid, VK_DOWN);
        if (other) SimulateType(other, "z");
        SimulateClick(s.List, 20, 30);
        Application->ProcessMessages();
    }
}

} // namespace
