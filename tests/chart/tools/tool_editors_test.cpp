// The editor forms of the series-bound tools, created by name as the chart
// editor's tools page does and worked through their controls.
#include "chart/control/series_gantt.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tooledit_series.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "tools_fixture.h"

namespace {

class ToolEditorsTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        TeeStartRegistries();
        Series->SetTitle("Line");
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 300, 260);
        Page = new TPanel(Host.get());
        Page->SetParent(Host.get());
        Page->SetAlign(alClient);
        Host->Show();
    }
    template <typename TForm_, typename TTool> TForm_* Edit(TTool* Tool) {
        TClass cls = GetClass(Tool->GetEditorClass());
        EXPECT_NE(cls, nullptr) << Tool->GetEditorClass();
        if (!cls) return nullptr;
        auto* form = dynamic_cast<TForm_*>(cls->Factory(Host.get()));
        EXPECT_NE(form, nullptr);
        AddFormTo(form, Page, Tool);
        return form;
    }
    template <typename T> T* AddSeries(const char* Title) {
        auto* s = new T(Chart.get());
        s->SetTitle(Title);
        s->SetParentChart(Chart.get());
        return s;
    }
    static std::vector<AnsiString> Entries(TComboBox* Combo) {
        std::vector<AnsiString> v;
        for (int i = 0; i < Combo->Items()->Count(); ++i)
            v.push_back(Combo->Items()->Strings(i));
        return v;
    }
    // The user steps to an entry with the arrow keys.
    static void Choose(TComboBox* Combo, const AnsiString& Entry) {
        const int i = Combo->Items()->IndexOf(Entry);
        ASSERT_GE(i, 0) << Entry.c_str();
        if (i > 0) {
            Combo->SetItemIndex(i - 1);
            SimulateKey(Combo, VK_DOWN);
        } else {
            Combo->SetItemIndex(1);
            SimulateKey(Combo, VK_UP);
        }
        ASSERT_EQ(Combo->ItemIndex(), i);
    }
    std::unique_ptr<TForm> Host;
    TPanel* Page = nullptr;
};

TEST_F(ToolEditorsTest, DragPointEditorOffersNoneAndEverySeries) {
    auto* pie = AddSeries<TPieSeries>("Slices");
    auto* tool = new TDragPointTool(Chart.get());
    tool->SetParentChart(Chart.get());
    tool->SetSeries(pie);
    auto* form = Edit<TDragPointToolEdit>(tool);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Tool(), tool);
    EXPECT_EQ(Entries(form->CBSeries), std::vector<AnsiString>({"(none)", "Line", "Slices"}));
    EXPECT_EQ(form->CBSeries->ItemIndex(), 2);
    EXPECT_TRUE(form->CBSeries->Enabled());
    EXPECT_EQ(form->RGStyle->ItemIndex(), 2);

    SimulateClick(form->RGStyle->Buttons(1));
    EXPECT_EQ(tool->DragStyle(), dsY);
    Choose(form->CBSeries, "Line");
    EXPECT_EQ(tool->Series(), Series);
    Choose(form->CBSeries, "(none)");
    EXPECT_EQ(tool->Series(), nullptr);
    form->Hide();
    form->Show();
    EXPECT_EQ(form->CBSeries->Items()->Count(), 3);
}

TEST_F(ToolEditorsTest, PieEditorListsOnlyPies) {
    auto* pie1 = AddSeries<TPieSeries>("First");
    AddSeries<TPieSeries>("Second");
    auto* tool = new TPieTool(Chart.get());
    tool->SetParentChart(Chart.get());
    tool->SetSeries(pie1);
    auto* form = Edit<TPieToolEditor>(tool);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Entries(form->CBPieSeries), std::vector<AnsiString>({"First", "Second"}));
    EXPECT_EQ(form->CBPieSeries->ItemIndex(), 0);
    EXPECT_EQ(form->Label1->Caption(), "Pie");
    EXPECT_EQ(form->RGStyle->ItemIndex(), 0);
    EXPECT_EQ(form->BPen->Pen(), tool->Pen());

    Choose(form->CBPieSeries, "Second");
    EXPECT_EQ(tool->Series(), Chart->GetSeries(2));
    SimulateClick(form->RGStyle->Buttons(1));
    EXPECT_EQ(tool->Style(), ptExplode);
    // Showing again refills the list instead of doubling it.
    form->Hide();
    form->Show();
    EXPECT_EQ(form->CBPieSeries->Items()->Count(), 2);
}

TEST_F(ToolEditorsTest, PieEditorListIsEnabledByAnySeriesAndDisabledWithout) {
    auto* tool = new TPieTool(Chart.get());
    tool->SetParentChart(Chart.get());
    auto* form = Edit<TPieToolEditor>(tool);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->CBPieSeries->Items()->Count(), 0);
    EXPECT_TRUE(form->CBPieSeries->Enabled());
    delete Series;
    auto* empty = Edit<TPieToolEditor>(tool);
    EXPECT_FALSE(empty->CBPieSeries->Enabled());
}

TEST_F(ToolEditorsTest, PieEditorBorderButtonEditsThePenInPlace) {
    auto* tool = new TPieTool(Chart.get());
    tool->SetParentChart(Chart.get());
    auto* form = Edit<TPieToolEditor>(tool);
    ASSERT_NE(form, nullptr);
    int clicks = 0;
    form->BPen->OnClick = [&](TObject*) { ++clicks; };
    bool accept = false;
    TeeEditorHooks().EditChartPen = [&](TComponent*, TChartPen* Pen, bool) {
        Pen->SetWidth(7);
        return accept;
    };
    SimulateClick(form->BPen);
    EXPECT_EQ(clicks, 0); // cancelled
    accept = true;
    SimulateClick(form->BPen);
    TeeEditorHooks().EditChartPen = nullptr;
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(tool->Pen()->Width(), 7);
}

TEST_F(ToolEditorsTest, GanttEditorShowsTheToolAndWritesEachControl) {
    auto* gantt = AddSeries<TGanttSeries>("Plan");
    auto* tool = new TGanttTool(Chart.get());
    tool->SetParentChart(Chart.get());
    tool->SetSeries(gantt);
    tool->SetMinPixels(7);
    auto* form = Edit<TGanttToolEditor>(tool);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Entries(form->CBSeries), std::vector<AnsiString>({"Plan"}));
    EXPECT_EQ(form->CBSeries->ItemIndex(), 0);
    EXPECT_EQ(form->Edit1->Text(), "7");
    EXPECT_EQ(tool->MinPixels(), 7);
    EXPECT_FALSE(form->CreatingForm);
    EXPECT_TRUE(form->CBAllowDrag->Checked());
    EXPECT_TRUE(form->CBAllowResize->Checked());
    EXPECT_EQ(form->CBCursorDrag->Text(), "HandPoint");
    EXPECT_EQ(form->CBCursorResize->Text(), "SizeWE");
    EXPECT_EQ(form->CBCursorDrag->Items()->Count(), 22);
    EXPECT_EQ(form->CBCursorDrag->Items()->Strings(0), "AppStart"); // sorted

    form->Edit1->SetText("");
    SimulateType(form->Edit1, "12");
    EXPECT_EQ(tool->MinPixels(), 12);
    SimulateClick(form->CBAllowDrag);
    EXPECT_FALSE(tool->AllowDrag());
    SimulateClick(form->CBAllowResize);
    EXPECT_FALSE(tool->AllowResize());
    Choose(form->CBCursorDrag, "TeeHand");
    EXPECT_EQ(tool->CursorDrag(), crTeeHand);
    Choose(form->CBCursorResize, "Cross");
    EXPECT_EQ(tool->CursorResize(), crCross);
}

TEST_F(ToolEditorsTest, GanttEditorOffersNoOtherSeriesAndNoNone) {
    auto* tool = new TGanttTool(Chart.get());
    tool->SetParentChart(Chart.get());
    tool->SetSeries(Series);
    auto* form = Edit<TGanttToolEditor>(tool);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->CBSeries->Items()->Count(), 0);
    EXPECT_TRUE(form->CBSeries->Enabled());
    EXPECT_EQ(tool->Series(), Series);
}

TEST_F(ToolEditorsTest, GridTransposeEditorRunsTheToolOncePerPress) {
    auto* tool = new TGridTransposeTool(Chart.get());
    tool->SetParentChart(Chart.get());
    auto* form = Edit<TGridTransposeToolEdit>(tool);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->CBSeries->Items()->Count(), 0);
    EXPECT_FALSE(form->BTranspose->Enabled());

    auto* grid = AddSeries<TGridStandIn>("Grid");
    grid->AddGridXYZ(grid, 1, 2, 3);
    form = Edit<TGridTransposeToolEdit>(tool);
    EXPECT_EQ(Entries(form->CBSeries), std::vector<AnsiString>({"Grid"}));
    EXPECT_FALSE(form->BTranspose->Enabled());
    form->CBSeries->SetItemIndex(-1);
    SimulateKey(form->CBSeries, VK_DOWN);
    EXPECT_EQ(tool->Series(), grid);
    ASSERT_TRUE(form->BTranspose->Enabled());
    SimulateClick(form->BTranspose);
    EXPECT_DOUBLE_EQ(grid->XValues()->Value(0), 3);
    SimulateClick(form->BTranspose);
    EXPECT_DOUBLE_EQ(grid->XValues()->Value(0), 1);
}

} // namespace

TEST(CursorNamesTest, ChartHandCursorHasItsNameBothWays) {
    AnsiString name;
    ASSERT_TRUE(TeeCursorToIdent(crTeeHand, name));
    EXPECT_EQ(name, "crTeeHand");
    ASSERT_TRUE(TeeCursorToIdent(crHandPoint, name));
    EXPECT_EQ(name, "crHandPoint");
    EXPECT_FALSE(TeeCursorToIdent(TCursor(1234), name));
    TCursor c = crDefault;
    ASSERT_TRUE(TeeIdentToCursor("crteehand", c));
    EXPECT_EQ(c, crTeeHand);
    EXPECT_FALSE(TeeIdentToCursor("crNothing", c));
    // The editors' combo texts carry no "cr"; an unknown text keeps the cursor.
    EXPECT_EQ(TeeSetCursor(crDefault, "TeeHand"), crTeeHand);
    EXPECT_EQ(TeeSetCursor(crDefault, "Cross"), crCross);
    EXPECT_EQ(TeeSetCursor(crIBeam, "Nothing"), crIBeam);
}
