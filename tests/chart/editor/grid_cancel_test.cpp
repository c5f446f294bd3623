// A cancelled edit in the data grid changes nothing: every cell of every
// column the grid shows (found from the grid itself) is opened and left with
// Escape, untouched, after a change and after clearing it, and the chart file
// is byte-equal to before. Charts of several series with and without labels,
// colours, null points and X values of their own; bound to the chart, to each
// series, as an X by Z table, and on the chart editor's Data tab.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teestore.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditdata.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teegrid.h"
#include "chart/engine/teevaluelist.h"
#include "chart/series/candlech.h"
#include "chart/series/teesurfa.h"
#include "platform/classes/streams.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/testhooks.h"
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string ChartFile(TCustomChart* Chart) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m);
    return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

void PressOnFocus(WORD Key) {
    TWinControl* focused = Screen->ActiveControl();
    ASSERT_NE(focused, nullptr);
    SimulateKey(focused, Key);
}

// What a column holds, named from the grid: for the closing count.
std::string ColumnKind(TCustomChartGrid* G, int Col) {
    if (Col == G->LabelsColumn()) return "text";
    if (Col == G->ColorsColumn()) return "colour";
    TChartSeries* s = nullptr;
    TChartValueList* l = nullptr;
    if (!G->GetSeries(Col, s, l)) return "none";
    if (G->Grid3DMode()) return "3D";
    if (l == s->NotMandatoryValues()) return "X";
    return std::string(l->Name().c_str());
}

struct TSweep {
    std::map<std::string, int> Columns; // kind -> columns swept
    int Cases = 0;
    int Changed = 0; // cases whose change reached the chart before Escape
};

// Every cell of G, each way of leaving an edit with Escape; the chart file
// must come back byte for byte. Texts tried as a change: the first a cell
// takes (the file differs before Escape), so a column of a new kind needs no
// new text unless it takes none of these nor any text its own cells show.
void SweepGrid(TCustomChartGrid* G, TCustomChart* Chart, TDialogResponder& Responder,
               TSweep& Counts, const std::string& Where) {
    // Drawn first, as a chart shown in a window is: a surface counts its
    // grid's columns and rows when it is first drawn, which is no edit's doing.
    Chart->Draw();
    const std::string original = ChartFile(Chart);
    for (int col = 1; col < G->ColCount(); ++col) {
        const std::string kind = ColumnKind(G, col);
        ++Counts.Columns[kind];
        std::vector<AnsiString> tries = {"7", "Zz", "clRed"};
        for (int row = G->FirstRowNum(); row < G->RowCount(); ++row)
            if (!G->CellText(col, row).IsEmpty()) tries.push_back(G->CellText(col, row));
        for (int row = G->FirstRowNum(); row < G->RowCount(); ++row) {
            const std::string at = Where + " " + kind + " column " + std::to_string(col) + " row " +
                                   std::to_string(row);
            const AnsiString shown = G->CellText(col, row);
            auto check = [&](const char* How) {
                ++Counts.Cases;
                EXPECT_FALSE(G->EditorMode()) << at << How;
                EXPECT_EQ(G->CellText(col, row), shown) << at << How;
                EXPECT_TRUE(ChartFile(Chart) == original) << at << How;
                EXPECT_TRUE(Responder.Done()) << at << How;
            };
            auto open = [&] {
                G->SetCol(col);
                G->SetRow(row);
                if (col == G->ColorsColumn()) Responder.ExpectCancel(TDialogKind::ColorDialog);
                SimulateKey(G, VK_F2);
            };
            // F2, Escape.
            open();
            PressOnFocus(VK_ESCAPE);
            check(": F2, Escape");
            // F2, the text cleared, Escape.
            open();
            if (G->EditorMode()) SimulateKey(G->InplaceEditor(), VK_BACK);
            PressOnFocus(VK_ESCAPE);
            check(": F2, Backspace, Escape");
            // F2, a change, Escape; and the change typed straight into the cell.
            bool changed = false;
            for (bool f2 : {true, false})
                for (const AnsiString& text : tries) {
                    if (text == shown) continue;
                    G->SetCol(col);
                    G->SetRow(row);
                    if (f2) {
                        open();
                        if (!G->EditorMode()) break;
                        SimulateType(G->InplaceEditor(), text);
                    } else {
                        SimulateType(G, text.SubString(1, 1));
                        if (!G->EditorMode()) break;
                        SimulateType(G->InplaceEditor(), text.SubString(2, text.Length() - 1));
                    }
                    const bool reached = ChartFile(Chart) != original;
                    PressOnFocus(VK_ESCAPE);
                    check(f2 ? ": F2, a change, Escape" : ": a change typed, Escape");
                    if (reached) {
                        changed = true;
                        ++Counts.Changed;
                        break;
                    }
                }
            // The colours column opens the colour dialog on F2; any other cell
            // opens its editor and takes one of the texts.
            EXPECT_TRUE(changed) << at << ": no change reached the chart";
        }
    }
}

class GridCancelTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Responder.OnFailure = [](const AnsiString& m) { ADD_FAILURE() << m.c_str(); };
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 400, 300);
        // A line labelled "Jan" and "May" at rows 0 and 4 only.
        auto* line = Add(new TLineSeries(Chart.get()), "Series1");
        for (int i = 0; i < 5; ++i)
            line->Add(10 + i * 3.25, i == 0 ? "Jan" : i == 4 ? "May" : "");
        // Six bars without labels, one null, one coloured.
        auto* bar = Add(new TBarSeries(Chart.get()), "Series2");
        for (int i = 0; i < 6; ++i)
            bar->Add(20 + i * 15);
        bar->SetNull(2);
        bar->SetValueColor(3, clGreen);
        // X values of their own, above the point indices.
        auto* points = Add(new TPointSeries(Chart.get()), "Series3");
        points->AddXY(10, 1.5, "Low");
        points->AddXY(20.5, 2.5);
        points->AddXY(40, 3.5, "High");
        // Four further lists and a date-time X list.
        auto* candle = Add(new TCandleSeries(Chart.get()), "Series4");
        candle->AddCandle(45000, 10, 14, 8, 12);
        candle->AddCandle(45001, 12, 15, 11, 13.5);
        // Points filled by code, not stored in the chart file.
        auto* area = new TAreaSeries(Chart.get());
        area->SetName("Series5");
        area->SetParentChart(Chart.get());
        for (int i = 0; i < 4; ++i)
            area->Add(5 + i);
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 1200, 330);
        Grid = new TChartGrid(Host.get());
        Grid->SetParent(Host.get());
        Grid->SetBounds(0, 0, 1200, 300);
        Grid->SetDefaultColWidth(60);
        Host->Show();
    }
    template <typename T> T* Add(T* S, const char* Name) {
        S->SetName(Name);
        S->SetParentChart(Chart.get());
        S->SetHasDataStored(true);
        return S;
    }
    static void Report(const TSweep& S, const std::string& Name) {
        std::string kinds;
        for (const auto& [kind, n] : S.Columns)
            kinds += " " + kind + ":" + std::to_string(n);
        std::printf("%s: %d cases, %d with a change, columns%s\n", Name.c_str(), S.Cases, S.Changed,
                    kinds.c_str());
    }
    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    std::unique_ptr<TForm> Host;
    TChartGrid* Grid = nullptr;
};

TEST_F(GridCancelTest, EscapeOnTheTextColumnLeavesEachSeriesItsOwnLabels) {
    Grid->SetChart(Chart.get());
    Grid->SetCol(Grid->LabelsColumn());
    Grid->SetRow(Grid->FirstRowNum());
    SimulateKey(Grid, VK_F2);
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "Jan");
    PressOnFocus(VK_ESCAPE);
    EXPECT_EQ(Chart->Series(0)->GetXLabel(0), "Jan");
    EXPECT_EQ(Chart->Series(1)->GetXLabel(0), "");
    EXPECT_EQ(Chart->Series(2)->GetXLabel(0), "Low");
}

TEST_F(GridCancelTest, EveryCellOfAChartBoundGrid) {
    TSweep sweep;
    Grid->SetShowColors(true);
    for (TChartGridShow x : {cgsAuto, cgsYes}) {
        Grid->SetShowXValues(x);
        Grid->SetChart(Chart.get());
        SweepGrid(Grid, Chart.get(), Responder, sweep, x == cgsAuto ? "chart" : "chart, X shown");
    }
    Report(sweep, "chart-bound grid");
    // Every kind the chart has: text, colour, X, the further lists.
    for (const char* kind : {"text", "colour", "X", "Y", "Open", "High", "Low"})
        EXPECT_GT(sweep.Columns[kind], 0) << kind;
}

TEST_F(GridCancelTest, EveryCellOfAGridBoundToEachSeries) {
    TSweep sweep;
    Grid->SetShowColors(true);
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        Grid->SetSeries(Chart->Series(i));
        SweepGrid(Grid, Chart.get(), Responder, sweep,
                  std::string("series ") + Chart->Series(i)->Name().c_str());
    }
    Report(sweep, "series-bound grid");
}

TEST_F(GridCancelTest, EveryCellOfAnXByZTable) {
    Chart->FreeAllSeries();
    auto* surface = new TSurfaceSeries(Chart.get());
    surface->SetName("Series1");
    surface->SetParentChart(Chart.get());
    // (6, 1) has no point: its cell adds one while typed into.
    for (int z = 0; z < 2; ++z)
        for (int x = 5; x < 8; ++x)
            if (x != 6 || z != 1) surface->AddXYZ(x, 10 * z + x, z);
    surface->SetHasDataStored(true);
    Grid->SetChart(Chart.get());
    Grid->SetGrid3DMode(true);
    ASSERT_EQ(Grid->ColCount(), 4);
    TSweep sweep;
    SweepGrid(Grid, Chart.get(), Responder, sweep, "X by Z");
    Report(sweep, "X by Z table");
    EXPECT_EQ(sweep.Columns["3D"], 3);
}

TEST_F(GridCancelTest, EveryCellOnTheChartEditorsDataTab) {
    TeeEditorStartup();
    const auto config =
        std::filesystem::temp_directory_path() / ("qm_grid_cancel_" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    TSweep sweep;
    TPumpScript script;
    script.When([] { return dynamic_cast<TChartEditForm*>(Screen->ActiveForm()) != nullptr; })
        .Do([&] {
            auto* f = dynamic_cast<TChartEditForm*>(Screen->ActiveForm());
            auto* page = dynamic_cast<TFormTeeData*>(f->PageForm(f->TabData));
            ASSERT_NE(page, nullptr);
            TChartGrid* g = page->ChartGrid1;
            ASSERT_EQ(g->Chart(), Chart.get());
            if (!page->SBGridCol->Down()) SimulateClick(page->SBGridCol);
            ASSERT_TRUE(g->ShowColors());
            SweepGrid(g, Chart.get(), Responder, sweep, "data tab");
            SimulateClick(f->BClose);
        });
    TeeRunChartEditor(Chart.get(), [](TChartEditForm* F) { F->DefaultTab = 12; });
    EXPECT_TRUE(script.Done());
    Report(sweep, "chart editor's Data tab");
    EXPECT_GT(sweep.Columns["text"], 0);
    EXPECT_GT(sweep.Columns["colour"], 0);
    std::filesystem::remove_all(config);
}

} // namespace
