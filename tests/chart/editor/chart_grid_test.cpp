// The data grid and its navigator on a chart with a line of 3 points and a bar
// of 5: cells edited with the keyboard, rows inserted and deleted with the
// navigator, bad cell input refused with the old values kept.
#include "chart/editor/editchar.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditdata.h"
#include "chart/editor/teegrid.h"
#include "chart/series/teesurfa.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/formatsettings.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "support/grid_focus_steps.h"
#include <filesystem>
#include <unistd.h>
#include "dialogs_fixture.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>

namespace {

class ChartGridTest : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        Line->Clear();
        for (int i = 0; i < 3; ++i)
            Line->AddXY(i, 10 * (i + 1));
        Bar = new TBarSeries(Chart.get());
        Bar->SetName("Series2");
        Bar->SetParentChart(Chart.get());
        for (int i = 0; i < 5; ++i)
            Bar->Add(20 + i * 15);
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 360, 270);
        Grid = new TChartGrid(Host.get());
        Grid->SetParent(Host.get());
        Grid->SetBounds(0, 0, 360, 200);
        Nav = new TChartGridNavigator(Host.get());
        Nav->SetParent(Host.get());
        Nav->SetBounds(0, 205, 241, 25);
        Nav->SetGrid(Grid);
        Grid->SetChart(Chart.get());
        Host->Show();
    }
    void Shot(const char* Name) {
        const char* dir = std::getenv("QM_SHOTS");
        if (!dir) return;
        TPngImage png;
        GrabControl(Host.get(), png.Bitmap());
        png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
    }
    // The user opens the cell's editor, types Text and presses Enter.
    void TypeInto(int Col, int Row, const AnsiString& Text) {
        Grid->SetCol(Col);
        Grid->SetRow(Row);
        Grid->StartEditing();
        ASSERT_TRUE(Grid->EditorMode());
        Grid->InplaceEditor()->SelectAll();
        SimulateType(Grid->InplaceEditor(), Text + "\r");
    }
    void Press(TTeeNavigateBtn B) {
        ASSERT_TRUE(Nav->Buttons(B)->Enabled());
        SimulateClick(Nav->Buttons(B));
    }
    std::vector<double> Values(TChartSeries* S) {
        std::vector<double> v;
        for (int i = 0; i < S->Count(); ++i)
            v.push_back(S->YValues()->Value(i));
        return v;
    }
    TBarSeries* Bar = nullptr;
    std::unique_ptr<TForm> Host;
    TChartGrid* Grid = nullptr;
    TChartGridNavigator* Nav = nullptr;
};

TEST_F(ChartGridTest, RowsFollowTheLongestSeriesAndShortOnesShowEmptyCells) {
    Shot("grid");
    // #, Text, Series1 Y, Series2 Y; two header rows, then points 0..4.
    ASSERT_EQ(Grid->ColCount(), 4);
    ASSERT_EQ(Grid->RowCount(), 2 + 5);
    EXPECT_EQ(Grid->LabelsColumn(), 1);
    EXPECT_EQ(Grid->ColorsColumn(), -1);
    EXPECT_EQ(Grid->CellText(2, 2), "10");
    EXPECT_EQ(Grid->CellText(2, 5), "");
    EXPECT_EQ(Grid->CellText(3, 6), "80");
    Grid->SetShowColors(true);
    EXPECT_EQ(Grid->ColorsColumn(), 1);
    EXPECT_EQ(Grid->LabelsColumn(), 2);
    EXPECT_EQ(Grid->ColWidths(1), 40);
    Shot("grid_colors");

    TChartGrid unbound(nullptr);
    EXPECT_EQ(unbound.RowCount(), 3);
    EXPECT_EQ(unbound.FixedRows(), 2);
}

TEST_F(ChartGridTest, TypedValueGoesIntoTheSeriesAndTheChartRepaints) {
    const auto before = Pixels();
    TypeInto(2, 3, "55");
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Values(Line), (std::vector<double>{10, 55, 30}));
    EXPECT_EQ(Values(Bar), (std::vector<double>{20, 35, 50, 65, 80}));
    EXPECT_NE(Pixels(), before);
    // A value typed below the line's last point extends the line.
    TypeInto(2, 6, "7");
    EXPECT_EQ(Line->Count(), 5);
    EXPECT_EQ(Line->YValues()->Value(4), 7);
    EXPECT_TRUE(Line->IsNull(3));
    // Clearing a cell makes the point null; a value brings its colour back.
    TypeInto(2, 2, "");
    SimulateKey(Grid, VK_F2);
    SimulateKey(Grid->InplaceEditor(), VK_BACK);
    SimulateType(Grid->InplaceEditor(), "\r");
    EXPECT_TRUE(Line->IsNull(0));
    TypeInto(2, 2, "12");
    EXPECT_FALSE(Line->IsNull(0));
    EXPECT_EQ(Line->InternalColor(0), clAutoColor);
    TypeInto(1, 3, "May");
    EXPECT_EQ(Line->GetXLabel(1), "May");
    EXPECT_EQ(Bar->GetXLabel(1), "May");
}

// The cell editor opened by F2 and closed by Enter, Escape or the navigator's
// Post takes the focus and gives it back without the grid being left or
// entered; the user leaving the grid leaves it once.
TEST_F(ChartGridTest, CellEditorComesAndGoesWithoutTheGridBeingLeftOrEntered) {
    auto* other = new TEdit(Host.get());
    other->SetParent(Host.get());
    other->SetBounds(250, 205, 100, 24);
    SimulateClick(Grid, 150, 60);
    int entered = 0, left = 0;
    Grid->OnEnter = [&](TObject*) { ++entered; };
    Grid->OnExit = [&](TObject*) { ++left; };
    const std::vector<std::pair<const char*, std::function<void()>>> closes = {
        {"Enter", [&] { SimulateKey(Grid->InplaceEditor(), VK_RETURN); }},
        {"Escape", [&] { SimulateKey(Grid->InplaceEditor(), VK_ESCAPE); }},
        {"Post", [&] { Press(nbPost); }},
    };
    for (const auto& [how, close] : closes) {
        SCOPED_TRACE(how);
        SimulateKey(Grid, VK_F2);
        ASSERT_TRUE(Grid->EditorMode());
        SimulateType(Grid->InplaceEditor(), "5");
        close();
        EXPECT_FALSE(Grid->EditorMode());
        EXPECT_EQ(entered, 0);
        EXPECT_EQ(left, 0);
    }
    SimulateFocus(other);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(entered, 0);
}

// Focus leaving the data grid from its open cell editor for another control
// leaves the grid once, and coming back into the open editor enters it once;
// between the grid and its editor the focus moves without either.
TEST_F(ChartGridTest, FocusLeavingAndComingBackThroughTheOpenEditorLeavesAndEntersTheGrid) {
    auto* other = new TEdit(Host.get());
    other->SetParent(Host.get());
    other->SetBounds(250, 205, 100, 24);
    SimulateClick(Grid, 150, 60);
    auto editor = [&] { return Grid->InplaceEditor(); };
    RunGridFocusSteps(Grid, {
        {"F2", [&] { SimulateKey(Grid, VK_F2); }, "", true},
        {"the edit box focused from the open editor", [&] { SimulateFocus(other); }, "X", true},
        {"the open editor focused from the edit box", [&] { SimulateFocus(editor()); }, "XE", true},
        {"the grid focused from its editor", [&] { SimulateFocus(Grid); }, "XE", true},
        {"the editor focused from its grid", [&] { SimulateFocus(editor()); }, "XE", true},
        {"Escape", [&] { SimulateKey(editor(), VK_ESCAPE); }, "XE", false},
        {"a figure typed into the cell", [&] { SimulateType(Grid, "8"); }, "XE", true},
        {"the edit box typed into from the open editor", [&] { SimulateType(other, "2"); }, "XEX",
         true},
        {"the open editor typed into", [&] { SimulateType(editor(), "4"); }, "XEXE", true},
        {"another cell clicked", [&] { SimulateClick(Grid, 150, 100); }, "XEXE", false},
        {"the edit box focused", [&] { SimulateFocus(other); }, "XEXEX", false},
    });
}

// Below the end of a series with X values of its own the typed value is a new
// last point; a point at X = count would sort first and the value would land
// on a point that was there.
TEST_F(ChartGridTest, ValueTypedBelowASeriesWithItsOwnXValuesIsANewLastPoint) {
    auto* points = new TPointSeries(Chart.get());
    points->SetName("Series3");
    points->SetParentChart(Chart.get());
    points->AddXY(10, 1.5);
    points->AddXY(40, 3.5);
    Grid->RecalcDimensions();
    int col = -1;
    for (int c = 1; c < Grid->ColCount(); ++c) {
        TChartSeries* s = nullptr;
        TChartValueList* l = nullptr;
        if (Grid->GetSeries(c, s, l) && s == points && l == points->YValues()) col = c;
    }
    ASSERT_GT(col, 0);
    TypeInto(col, Grid->FirstRowNum() + 3, "99");
    ASSERT_EQ(points->Count(), 4);
    EXPECT_EQ(points->XValues()->Value(0), 10);
    EXPECT_EQ(points->YValues()->Value(0), 1.5);
    EXPECT_EQ(points->XValues()->Value(1), 40);
    EXPECT_EQ(points->YValues()->Value(1), 3.5);
    EXPECT_TRUE(points->IsNull(2));
    EXPECT_EQ(points->YValues()->Value(3), 99);
    EXPECT_GT(points->XValues()->Value(3), points->XValues()->Value(2));
    EXPECT_GT(points->XValues()->Value(2), 40);
    // Down on the last row appends below the last point too.
    Grid->SetCol(col);
    Grid->SetRow(Grid->RowCount() - 1);
    SimulateKey(Grid, VK_DOWN);
    ASSERT_EQ(points->Count(), 5);
    EXPECT_EQ(points->YValues()->Value(0), 1.5);
    EXPECT_GT(points->XValues()->Value(4), points->XValues()->Value(3));
}

TEST_F(ChartGridTest, NavigatorInsertsAndDeletesRowsInEverySeries) {
    Grid->SetRow(2);
    EXPECT_FALSE(Nav->Buttons(nbFirst)->Enabled());
    EXPECT_TRUE(Nav->Buttons(nbNext)->Enabled());
    const auto before = Pixels();
    Press(nbInsert);
    EXPECT_EQ(Line->Count(), 4);
    EXPECT_EQ(Bar->Count(), 6);
    EXPECT_TRUE(Bar->IsNull(5));
    EXPECT_EQ(Grid->RowCount(), 2 + 6);
    EXPECT_EQ(Grid->Row(), Grid->RowCount() - 1);
    EXPECT_FALSE(Nav->Buttons(nbNext)->Enabled());

    Press(nbFirst);
    Press(nbNext);
    EXPECT_EQ(Grid->Row(), 3);
    Press(nbDelete);
    EXPECT_EQ(Values(Line), (std::vector<double>{10, 30, 0}));
    EXPECT_EQ(Values(Bar), (std::vector<double>{20, 50, 65, 80, 0}));
    // Points keep consecutive X values when the grid shows none.
    EXPECT_EQ(Line->XValues()->Value(1), 1);
    EXPECT_EQ(Bar->XValues()->Value(3), 3);
    EXPECT_EQ(Grid->RowCount(), 2 + 5);
    EXPECT_NE(Pixels(), before);

    // Post and cancel follow the editor.
    Press(nbEdit);
    EXPECT_TRUE(Grid->EditorMode());
    EXPECT_TRUE(Nav->Buttons(nbPost)->Enabled());
    EXPECT_FALSE(Nav->Buttons(nbInsert)->Enabled());
}

struct BadCell {
    const char* Name;
    bool ColorColumn;
    const char* Text;
    const char* Message;
};

class ChartGridBadInput : public ChartGridTest, public ::testing::WithParamInterface<BadCell> {};

TEST_P(ChartGridBadInput, IsRefusedWithAMessageAndNothingChanges) {
    const BadCell& p = GetParam();
    Grid->SetShowColors(true);
    Bar->SetValueColor(1, clGreen);
    const int col = p.ColorColumn ? Grid->ColorsColumn() : 4;
    const auto line = Values(Line);
    const auto bar = Values(Bar);
    const auto before = Pixels();
    Responder.ExpectMessage(p.Message, mrOk);
    TypeInto(col, 3, p.Text);
    EXPECT_TRUE(Responder.Done());
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Values(Line), line);
    EXPECT_EQ(Values(Bar), bar);
    EXPECT_EQ(Bar->InternalColor(1), clGreen);
    EXPECT_EQ(Line->InternalColor(1), clAutoColor);
    EXPECT_EQ(Pixels(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ChartGridBadInput,
    ::testing::Values(BadCell{"LettersInNumber", false, "12abc", "'12abc' is not a valid number"},
                      BadCell{"ColourAboveRGB", true, "16777216", "out of range"},
                      BadCell{"NegativeColour", true, "-5", "out of range"},
                      BadCell{"ColourName", true, "clPurplish", "not a valid colour"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Numbers are read in the user's locale: thousands separators only group the
// whole digits; one anywhere else is a decimal point of another locale and the
// cell is refused instead of storing a number 10 or 1000 times too large.
TEST_F(ChartGridTest, NumbersAreReadInTheUsersLocaleOrRefused) {
    struct Case {
        char Decimal, Thousand;
        const char* Text;
        double Value; // 0: refused
    };
    const Case cases[] = {
        {'.', ',', "1,234.5", 1234.5}, {'.', ',', "-12,345,678", -12345678},
        {'.', ',', "1.5", 1.5},        {'.', ',', "1,5", 0},
        {'.', ',', "12,34,567", 0},    {'.', ',', "1,234.5,6", 0},
        {',', '.', "960,5", 960.5},    {',', '.', "1.234,5", 1234.5},
        {',', '.', "960.5", 0},        {',', '.', ".960", 0},
    };
    const char decimal = DecimalSeparator, thousand = ThousandSeparator;
    struct Restore {
        char D, T;
        ~Restore() { DecimalSeparator = D, ThousandSeparator = T; }
    } restore{decimal, thousand};
    for (const Case& c : cases) {
        DecimalSeparator = c.Decimal;
        ThousandSeparator = c.Thousand;
        Line->YValues()->SetValue(1, 20);
        if (c.Value == 0) Responder.ExpectMessage("is not a valid number", mrOk);
        TypeInto(2, 3, c.Text);
        EXPECT_TRUE(Responder.Done()) << c.Text;
        EXPECT_EQ(Line->YValues()->Value(1), c.Value == 0 ? 20 : c.Value) << c.Text;
    }
}

TEST_F(ChartGridTest, EscapePutsBackTheExactValueNotItsRoundedText) {
    Line->YValues()->SetValue(1, 1.234567);
    Grid->SetCol(2);
    Grid->SetRow(3);
    SimulateKey(Grid, VK_F2);
    ASSERT_EQ(Grid->InplaceEditor()->Text(), "1.235");
    SimulateType(Grid->InplaceEditor(), "9");
    SimulateKey(Grid->InplaceEditor(), VK_ESCAPE);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Line->YValues()->Value(1), 1.234567);
}

TEST_F(ChartGridTest, ColourDialogChoiceOutOfRangeIsRefused) {
    Grid->SetShowColors(true);
    Grid->SetCol(1);
    Grid->SetRow(2);
    Responder.ExpectColor(clBlue);
    SimulateKey(Grid, VK_F2);
    EXPECT_EQ(Line->InternalColor(0), clBlue);
    Responder.ExpectColor(static_cast<TColor>(0x7F000000)).ExpectMessage("out of range", mrOk);
    SimulateKey(Grid, VK_F2);
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(Line->InternalColor(0), clBlue);
}

// The series whose point colour is being chosen goes while the dialog shows;
// OK then colours nothing, and the bar keeps its colours.
TEST_F(ChartGridTest, ColourDialogOfAFreedSeriesColoursNothing) {
    Grid->SetShowColors(true);
    Grid->SetCol(1);
    Grid->SetRow(2);
    const TColor bar = Bar->InternalColor(0);
    TDialogAnswer a;
    a.Color = clBlue;
    a.WhileShown = [this] {
        delete Line;
        Line = nullptr;
    };
    Responder.Expect(TDialogKind::ColorDialog, "", a);
    SimulateKey(Grid, VK_F2);
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(Chart->SeriesCount(), 1);
    EXPECT_EQ(Bar->InternalColor(0), bar);
}

TEST_F(ChartGridTest, NavigatorHintsAndSeriesBoundGrid) {
    Nav->Hints()->Add("");
    Nav->Hints()->Add("Back one");
    EXPECT_EQ(Nav->Buttons(nbFirst)->Hint(), "First");
    EXPECT_EQ(Nav->Buttons(nbPrior)->Hint(), "Back one");
    EXPECT_EQ(Nav->Buttons(nbNext)->Hint(), "Next");
    Grid->SetSeries(Bar);
    EXPECT_EQ(Grid->ColCount(), 3);
    for (TTeeNavigateBtn b : {nbInsert, nbDelete, nbEdit})
        EXPECT_FALSE(Nav->Buttons(b)->Enabled()) << b;
    // Nine buttons share the bar's width.
    EXPECT_EQ(Nav->Buttons(nbCancel)->Left() + Nav->Buttons(nbCancel)->Width(), Nav->Width());
}

TEST_F(ChartGridTest, EditorDataTabEditsTheChartThroughItsGrid) {
    TeeEditorStartup();
    const auto config =
        std::filesystem::temp_directory_path() / ("qm_grid_" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    Bar->SetValueColor(0, clYellow);
    Chart->ExchangeSeries(0, 1); // the bar, with its colours, comes first
    TPumpScript script;
    script.When([] { return dynamic_cast<TChartEditForm*>(Screen->ActiveForm()) != nullptr; })
        .Do([&] {
            auto* f = dynamic_cast<TChartEditForm*>(Screen->ActiveForm());
            ASSERT_EQ(f->MainPage->ActivePage(), f->TabData);
            auto* page = dynamic_cast<TFormTeeData*>(f->PageForm(f->TabData));
            ASSERT_NE(page, nullptr);
            TChartGrid* g = page->ChartGrid1;
            EXPECT_EQ(g->Chart(), Chart.get());
            EXPECT_TRUE(g->ShowColors());
            EXPECT_TRUE(page->SBGridCol->Down());
            EXPECT_FALSE(page->SBGrid3D->Enabled());
            SimulateClick(page->SBGridText);
            EXPECT_FALSE(g->ShowLabels());
            EXPECT_EQ(g->RowCount(), 2 + 5);
            SimulateClick(page->ChartGridNavigator1->Buttons(nbInsert));
            EXPECT_EQ(Bar->Count(), 6);
            if (const char* dir = std::getenv("QM_SHOTS")) {
                TPngImage png;
                GrabControl(f, png.Bitmap());
                png.SaveToFile(AnsiString(dir) + "/grid_editor_tab.png");
            }
            SimulateClick(f->BClose);
        });
    TeeRunChartEditor(Chart.get(), [](TChartEditForm* F) { F->DefaultTab = 12; });
    EXPECT_TRUE(script.Done());
    std::filesystem::remove_all(config);
}

TEST_F(ChartGridTest, SeriesPageShowsTheGridOfAManualSeries) {
    TeeEditorStartup();
    Line->SetHasDataStored(true);
    TFormTeeSeries page(nullptr);
    page.CBSeries->Items()->AddObject("Series1", Line);
    page.Show();
    page.SetTheSeries(Line);
    page.SetCBSeries();
    page.PageSeries->SelectPageByUser(page.TabDataSource);
    auto* data = dynamic_cast<TFormTeeData*>(page.DataSourceForm());
    ASSERT_NE(data, nullptr);
    TChartGrid* g = data->ChartGrid1;
    EXPECT_EQ(g->Series(), Line);
    EXPECT_EQ(g->RowCount(), 2 + 3);
    // Bound to a series, not a chart: no inserting, deleting or editing from the bar.
    for (TTeeNavigateBtn b : {nbInsert, nbDelete, nbEdit})
        EXPECT_FALSE(data->ChartGridNavigator1->Buttons(b)->Enabled()) << b;
    g->SetCol(2);
    g->SetRow(4);
    g->StartEditing();
    g->InplaceEditor()->SelectAll();
    SimulateType(g->InplaceEditor(), "77\r");
    EXPECT_EQ(Line->YValues()->Value(2), 77);
}

TEST_F(ChartGridTest, HoldingNextRepeatsAfter400MsThenEvery100Ms) {
    TVirtualClockScope time;
    Grid->SetRow(2);
    TTeeNavButton* next = Nav->Buttons(nbNext);
    SimulateMouse(next, TMouseAction::Down, mbLeft, 5, 5);
    const std::vector<std::pair<unsigned, int>> steps = {
        {399, 2}, {1, 3}, {99, 3}, {1, 4}, {100, 5}};
    for (const auto& [ms, row] : steps) {
        time.Clock.Advance(ms);
        Application->ProcessMessages();
        EXPECT_EQ(Grid->Row(), row) << "after " << ms << " ms more";
    }
    SimulateMouse(next, TMouseAction::Up, mbLeft, 5, 5);
    const int released = Grid->Row();
    time.Clock.Advance(500);
    Application->ProcessMessages();
    EXPECT_EQ(Grid->Row(), released);
}

TEST_F(ChartGridTest, XYZSeriesAsATableOfYByXAndZ) {
    Chart->FreeAllSeries();
    Line = nullptr;
    Bar = nullptr;
    auto* surface = new TSurfaceSeries(Chart.get());
    surface->SetParentChart(Chart.get());
    for (int z = 0; z < 2; ++z)
        for (int x = 0; x < 3; ++x)
            surface->AddXYZ(x + 5, 10 * z + x, z);
    Grid->SetGrid3DMode(true);
    EXPECT_EQ(Grid->ColCount(), 1 + 3);
    EXPECT_EQ(Grid->RowCount(), 2 + 2);
    EXPECT_EQ(Grid->LabelsColumn(), -1);
    EXPECT_EQ(Grid->CellText(3, 3), "12");
    TypeInto(1, 3, "99");
    EXPECT_EQ(surface->YValues()->Value(3), 99);
    // Points far apart make no table of millions of cells.
    surface->AddXYZ(1e9, 1, 0);
    Grid->RecalcDimensions();
    EXPECT_LT(Grid->ColCount(), 100);
}

} // namespace
