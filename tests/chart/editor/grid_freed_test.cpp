// The data grid with a cell editor open while the series it edits is freed:
// the map page's "-" frees the polygon whose points are being typed into, and
// a chart-bound grid loses a series to its caller. Escape afterwards touches
// nothing that is gone and nothing that is left.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teestore.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditdata.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teemapedit.h"
#include "chart/engine/teevaluelist.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teemapseries.h"
#include "platform/classes/streams.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<double> AllValues(TChartSeries* S) {
    std::vector<double> v;
    TChartValueLists* lists = S->ValuesList();
    for (int l = 0; l < lists->Count(); ++l)
        for (int i = 0; i < S->Count(); ++i)
            v.push_back(lists->Get(l)->Value(i));
    return v;
}

std::string ChartFile(TCustomChart* Chart) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m);
    return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

// The first column that edits a value list of a series.
int FirstValueColumn(TCustomChartGrid* Grid) {
    for (int c = 1; c < Grid->ColCount(); ++c) {
        TChartSeries* s = nullptr;
        TChartValueList* l = nullptr;
        if (Grid->GetSeries(c, s, l)) return c;
    }
    return -1;
}

// A click in the middle of a cell, as the user selects it.
void ClickCell(TCustomChartGrid* Grid, int Col, int Row) {
    const TRect r = Grid->CellRect(Col, Row);
    ASSERT_FALSE(r.IsEmpty());
    SimulateClick(Grid, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    ASSERT_EQ(Grid->Col(), Col);
    ASSERT_EQ(Grid->Row(), Row);
}

// A key pressed wherever the keyboard is.
void PressOnFocus(WORD Key) {
    TWinControl* focused = Screen->ActiveControl();
    ASSERT_NE(focused, nullptr);
    SimulateKey(focused, Key);
}

class MapGridFreedTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        TeeExtraSeriesStartup();
        Responder.OnFailure = [](const AnsiString& m) { ADD_FAILURE() << m.c_str(); };
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 400, 300);
        Map = new TMapSeries(Chart.get());
        Map->SetName("Series1");
        Map->SetParentChart(Chart.get());
        RandSeed = 0;
        Map->FillSampleValues();
        ASSERT_GT(Map->Shapes()->Count(), 2);
        Page = std::make_unique<TFormTeeSeries>(nullptr);
        Page->SetBounds(0, 0, 460, 340);
        Page->CBSeries->Items()->AddObject(Map->Name(), Map);
        Page->Show();
        Page->SetTheSeries(Map);
        Page->SetCBSeries();
        Editor = dynamic_cast<TMapSeriesEditor*>(Page->SeriesForm());
        ASSERT_NE(Editor, nullptr);
        ASSERT_TRUE(Editor->PageControl2->SelectPageByUser(Editor->TabShapes));
        ASSERT_TRUE(Editor->PageControl1->SelectPageByUser(Editor->TabData));
    }
    void SelectPolygon(int I) {
        const TRect r = Editor->ChartListBox1->ItemRect(I);
        SimulateClick(Editor->ChartListBox1, 10, (r.Top + r.Bottom) / 2);
        ASSERT_EQ(Editor->ChartListBox1->ItemIndex(), I);
        ASSERT_EQ(Editor->ChartGrid1->Series(), Map->Shapes()->Get(I)->Points());
    }
    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    TMapSeries* Map = nullptr;
    std::unique_ptr<TFormTeeSeries> Page;
    TMapSeriesEditor* Editor = nullptr;
};

TEST_F(MapGridFreedTest, EscapeAfterMinusFreedThePolygonBeingTypedIntoWritesNothing) {
    SelectPolygon(1);
    TChartGrid* grid = Editor->ChartGrid1;
    // What is left after the second polygon goes, as it is before the edit.
    std::vector<std::vector<double>> left;
    for (int i = 0; i < Map->Shapes()->Count(); ++i)
        if (i != 1) left.push_back(AllValues(Map->Shapes()->Get(i)->Points()));
    const int col = FirstValueColumn(grid);
    ASSERT_GT(col, 0);
    ClickCell(grid, col, grid->FirstRowNum());
    SimulateKey(grid, VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    SimulateType(grid->InplaceEditor(), "7");
    SimulateClick(Editor->SBDelete);
    ASSERT_EQ(Map->Shapes()->Count(), int(left.size()));
    // The polygon now selected is the one after the freed one.
    EXPECT_EQ(grid->Series(), Map->Shapes()->Get(1)->Points());
    PressOnFocus(VK_ESCAPE);
    EXPECT_FALSE(grid->EditorMode());
    for (int i = 0; i < Map->Shapes()->Count(); ++i)
        EXPECT_EQ(AllValues(Map->Shapes()->Get(i)->Points()), left[size_t(i)]) << "polygon " << i;
    // The grid goes on editing the polygon it shows.
    ClickCell(grid, col, grid->FirstRowNum());
    SimulateKey(grid, VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    SimulateType(grid->InplaceEditor(), "5\r");
    TChartSeries* s = nullptr;
    TChartValueList* list = nullptr;
    ASSERT_TRUE(grid->GetSeries(col, s, list));
    EXPECT_EQ(s, Map->Shapes()->Get(1)->Points());
    EXPECT_EQ(list->Value(0), 5);
}

TEST_F(MapGridFreedTest, DeletingEveryPolygonUnderAnOpenEditorLeavesAnEmptyGrid) {
    TChartGrid* grid = Editor->ChartGrid1;
    while (Map->Shapes()->Count() > 0) {
        SelectPolygon(Map->Shapes()->Count() - 1);
        const int col = FirstValueColumn(grid);
        ASSERT_GT(col, 0);
        ClickCell(grid, col, grid->FirstRowNum());
        SimulateKey(grid, VK_F2);
        SimulateType(grid->InplaceEditor(), "3");
        SimulateClick(Editor->SBDelete);
        PressOnFocus(VK_ESCAPE);
        EXPECT_FALSE(grid->EditorMode());
    }
    EXPECT_EQ(grid->Series(), nullptr);
    EXPECT_EQ(Map->Count(), 0);
}

TEST_F(MapGridFreedTest, PolygonFreedElsewhereTakesItsRowWithIt) {
    SelectPolygon(0);
    ASSERT_TRUE(Editor->PageControl1->SelectPageByUser(Editor->TabFormat));
    TChartListBox* list = Editor->ChartListBox1;
    const int rows = list->Items()->Count();
    // The chart's data grid deletes a row of the map: its polygon goes.
    Map->Delete(1);
    TBitmap picture(list->Width(), list->Height());
    GrabControl(list, &picture);
    ASSERT_EQ(list->Items()->Count(), rows - 1);
    ASSERT_EQ(Map->Shapes()->Count(), rows - 1);
    for (int i = 0; i < rows - 1; ++i) {
        EXPECT_EQ(list->GetSeries(i), Map->Shapes()->Get(i)->Points()) << i;
        EXPECT_EQ(list->Items()->Strings(i), Map->Shapes()->Get(i)->Text()) << i;
    }
    // A click on a row edits the polygon it names.
    SelectPolygon(1);
    EXPECT_EQ(Editor->EText->Text(), Map->Shapes()->Get(1)->Text());
}

// The data tab bound to a series that is freed while it is hidden shows
// nothing when it shows again.
TEST_F(MapGridFreedTest, DataTabOfASeriesFreedMeanwhileBindsNothing) {
    auto host = std::make_unique<TForm>(nullptr);
    host->SetBounds(0, 0, 420, 280);
    host->Show();
    auto* form = new TFormTeeData(host.get());
    TChartSeries* points = Map->Shapes()->Get(0)->Points();
    AddFormTo(form, host.get(), points);
    EXPECT_EQ(form->ChartGrid1->Series(), points);
    form->Hide();
    Map->Delete(0);
    form->Show();
    EXPECT_EQ(form->Series(), nullptr);
    EXPECT_EQ(form->ChartGrid1->Series(), nullptr);
    EXPECT_EQ(form->ChartGrid1->ColCount(), 2);
}

// A grid bound to the whole chart: the series under the open editor, or one
// before it whose going moves the columns, is freed by its caller.
class ChartGridFreedTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Responder.OnFailure = [](const AnsiString& m) { ADD_FAILURE() << m.c_str(); };
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 300, 200);
        Line = Add(new TLineSeries(Chart.get()), "Series1", 3);
        Bar = Add(new TBarSeries(Chart.get()), "Series2", 5);
        Points = Add(new TPointSeries(Chart.get()), "Series3", 4);
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 400, 260);
        Grid = new TChartGrid(Host.get());
        Grid->SetParent(Host.get());
        Grid->SetBounds(0, 0, 400, 220);
        Grid->SetChart(Chart.get());
        Host->Show();
    }
    template <typename T> T* Add(T* S, const char* Name, int Count) {
        S->SetName(Name);
        S->SetParentChart(Chart.get());
        for (int i = 0; i < Count; ++i)
            S->Add(10 * (i + 1) + Chart->SeriesCount());
        S->SetHasDataStored(true);
        return S;
    }
    int ColumnOf(TChartSeries* S) {
        for (int c = 1; c < Grid->ColCount(); ++c) {
            TChartSeries* s = nullptr;
            TChartValueList* l = nullptr;
            if (Grid->GetSeries(c, s, l) && s == S && l == S->YValues()) return c;
        }
        return -1;
    }
    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    TLineSeries* Line = nullptr;
    TBarSeries* Bar = nullptr;
    TPointSeries* Points = nullptr;
    std::unique_ptr<TForm> Host;
    TChartGrid* Grid = nullptr;
};

TEST_F(ChartGridFreedTest, SeriesFreedUnderTheOpenEditorIsNotWrittenByEscape) {
    const auto line = AllValues(Line), points = AllValues(Points);
    ClickCell(Grid, ColumnOf(Bar), Grid->FirstRowNum() + 1);
    SimulateKey(Grid, VK_F2);
    ASSERT_TRUE(Grid->EditorMode());
    SimulateType(Grid->InplaceEditor(), "9");
    ASSERT_EQ(Bar->YValues()->Value(1), 9);
    TComponent::Free(Bar);
    Bar = nullptr;
    PressOnFocus(VK_ESCAPE);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(AllValues(Line), line);
    EXPECT_EQ(AllValues(Points), points);
    EXPECT_EQ(Grid->RowCount(), Grid->FirstRowNum() + 4);
}

TEST_F(ChartGridFreedTest, KeysAfterAnEarlierSeriesWentNeverReachAnotherSeries) {
    const auto line = AllValues(Line);
    ClickCell(Grid, ColumnOf(Points), Grid->FirstRowNum());
    SimulateKey(Grid, VK_F2);
    SimulateType(Grid->InplaceEditor(), "9");
    ASSERT_EQ(Points->YValues()->Value(0), 9);
    // The bar's going moves the point series' column one to the left.
    TComponent::Free(Bar);
    Bar = nullptr;
    const std::string before = ChartFile(Chart.get());
    TWinControl* focused = Screen->ActiveControl();
    ASSERT_NE(focused, nullptr);
    SimulateType(focused, "8");
    PressOnFocus(VK_ESCAPE);
    EXPECT_EQ(AllValues(Line), line);
    EXPECT_EQ(ChartFile(Chart.get()), before);
}

TEST_F(ChartGridFreedTest, ChartFreedUnderTheOpenEditor) {
    ClickCell(Grid, ColumnOf(Line), Grid->FirstRowNum());
    SimulateKey(Grid, VK_F2);
    SimulateType(Grid->InplaceEditor(), "4");
    Chart.reset();
    Line = nullptr;
    Bar = nullptr;
    Points = nullptr;
    PressOnFocus(VK_ESCAPE);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Chart(), nullptr);
    EXPECT_EQ(Grid->ColCount(), 2);
}

} // namespace
