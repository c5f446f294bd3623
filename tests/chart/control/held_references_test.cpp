// References the chart library keeps to objects it does not own, freed first
// and then used as a caller would: a click whose handler frees its series, the
// scales kept for an undo, an export made for a series, and the series list of
// a tool's editor. Each reads the object as gone (run under AddressSanitizer to
// see what a raw pointer did).
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teedata.h"
#include "chart/control/teefunci.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tooledit.h"
#include "platform/forms/testhooks.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

class HeldReferencesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Chart = std::make_unique<TChart>();
        Chart->SetBevelOuter(bvNone);
        Chart->SetView3D(false);
        Chart->SetBounds(0, 0, 400, 300);
        A = Add("A");
        B = Add("B");
        TBitmap b(400, 300);
        Chart->Draw(b.Canvas(), TRect(0, 0, 400, 300));
    }
    TLineSeries* Add(const char* Name) {
        auto* s = new TLineSeries(Chart.get());
        s->SetName(Name);
        s->SetParentChart(Chart.get());
        for (int i = 0; i <= 10; ++i)
            s->AddXY(i, Name[0] == 'A' ? i * 10 : 100 - i * 10);
        return s;
    }
    std::unique_ptr<TChart> Chart;
    TLineSeries* A = nullptr;
    TLineSeries* B = nullptr;
};

TEST_F(HeldReferencesTest, ASeriesFreedByItsOwnClickHandlerIsNotHandedOn) {
    int handed = 0;
    Chart->OnClickSeries = [&](TCustomChart*, TChartSeries*, int, TMouseButton, TShiftState, int,
                               int) { ++handed; };
    A->OnClick = [](TChartSeries* S, int, TMouseButton, TShiftState, int, int) { delete S; };
    SimulateClick(Chart.get(), A->CalcXPos(3), A->CalcYPos(3));
    EXPECT_EQ(handed, 0);
    EXPECT_EQ(Chart->SeriesCount(), 1);
    // The other series is still handed on as before.
    SimulateClick(Chart.get(), B->CalcXPos(3), B->CalcYPos(3));
    EXPECT_EQ(handed, 1);
}

// The scales saved at a zoom go back to the axes they were taken from only: a
// custom axis made after one was freed (at its address, as often as not) keeps
// its own range.
TEST_F(HeldReferencesTest, UndoZoomGivesAFreedAxisScaleToNoOtherAxis) {
    auto* a = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    a->SetMinMax(0, 10);
    Chart->ZoomPercent(120);
    delete a;
    auto* c = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    c->SetMinMax(50, 60);
    Chart->UndoZoom();
    EXPECT_DOUBLE_EQ(c->Minimum(), 50);
    EXPECT_DOUBLE_EQ(c->Maximum(), 60);
}

// Data made for one series export that series or nothing: never, once it is
// freed, every other series of the chart.
TEST_F(HeldReferencesTest, DataMadeForASeriesFreedSinceExportsNothingOfTheOthers) {
    TSeriesDataText text(Chart.get(), A);
    TSeriesDataXML xml(Chart.get(), A);
    const AnsiString before = text.AsString();
    EXPECT_NE(before.Pos("10"), 0);
    delete A;
    for (TSeriesData* d : {static_cast<TSeriesData*>(&text), static_cast<TSeriesData*>(&xml)}) {
        const AnsiString after = d->AsString();
        SCOPED_TRACE(after.c_str());
        EXPECT_EQ(after.Pos("90"), 0); // B's second value
        EXPECT_EQ(after.Pos("100"), 0);
    }
}

class ToolEditorTest : public HeldReferencesTest {
protected:
    void SetUp() override {
        HeldReferencesTest::SetUp();
        Tool = new TCursorTool(Chart.get());
        Tool->SetParentChart(Chart.get());
        Editor = std::make_unique<TSeriesToolEditor>(nullptr);
        Editor->SetSubject(Tool);
        Editor->Show();
    }
    void Choose(const AnsiString& Item) {
        TComboBox* c = Editor->CBSeries;
        const int i = c->Items()->IndexOf(Item);
        ASSERT_GE(i, 0);
        c->SetItemIndex(i > 0 ? i - 1 : 1);
        SimulateKey(c, i > 0 ? VK_DOWN : VK_UP);
    }
    TCursorTool* Tool = nullptr;
    std::unique_ptr<TSeriesToolEditor> Editor;
};

TEST_F(ToolEditorTest, ASeriesFreedWhileListedIsNeverGivenToTheTool) {
    Choose("A");
    EXPECT_EQ(Tool->Series(), A);
    delete B;
    EXPECT_EQ(Editor->CBSeries->Items()->IndexOf("B"), -1);
    EXPECT_EQ(Tool->Series(), A);
    Chart->Draw();
}

TEST_F(ToolEditorTest, AToolFreedWhileItsEditorShowsTakesNoChoice) {
    delete Tool;
    EXPECT_EQ(Editor->Tool(), nullptr);
    Choose("B");
    Choose("A");
    Chart->Draw();
}

// A window whose chart goes with it, and a sum of two series that hands its
// events to the window. The series are the window's, or the program's own (no
// owner, the chart frees them as it goes); either way the first source goes
// first and leaves the sum one source to recalculate from.
class TSumWindow : public TForm {
public:
    TSumWindow(std::vector<std::string>& Heard, bool OwnsSeries) : TForm(nullptr), FHeard(Heard) {
        TComponent* owner = OwnsSeries ? this : nullptr;
        Chart = new TChart(this);
        Sum = new TLineSeries(owner);
        Sum->SetFunction(new TAddTeeFunction(owner));
        for (TLineSeries*& s : Sources) {
            s = new TLineSeries(owner);
            s->SetParentChart(Chart);
            for (int i = 0; i < 4; ++i)
                s->AddXY(i, i * 10);
        }
        Sum->SetParentChart(Chart);
        Sum->SetDataSource(Sources[1]);
        Sum->InternalAddDataSource(Sources[0]);
        Sum->OnClearValues = [this](TChartSeries* S) { SumClearValues(S); };
        Sum->OnBeforeAdd = [this](TChartSeries* S) { return SumBeforeAdd(S); };
    }
    void SumClearValues(TChartSeries*) { FHeard.push_back("clear " + std::string(Name().c_str())); }
    bool SumBeforeAdd(TChartSeries*) {
        FHeard.push_back("add " + std::string(Name().c_str()));
        return true;
    }
    TChart* Chart = nullptr;
    TLineSeries* Sources[2] = {};
    TLineSeries* Sum = nullptr;

private:
    std::vector<std::string>& FHeard;
};

// While the window goes, no handler of its series runs on it (half destroyed,
// it is no longer a TSumWindow) and the sum does not recalculate; while it is
// there, its handlers hear a recalculation.
TEST(SeriesEventsWhileTheirWindowGoes, NoHandlerRunsAndNoFunctionRecalculates) {
    for (bool owns : {false, true}) {
        SCOPED_TRACE(owns ? "series owned by the window" : "series without owner");
        std::vector<std::string> heard;
        auto* window = new TSumWindow(heard, owns);
        window->SetName("Window1");
        heard.clear();
        window->Sum->RemoveDataSource(window->Sources[1]);
        ASSERT_GE(heard.size(), 2u);
        EXPECT_EQ(heard.front(), "clear Window1");
        EXPECT_EQ(heard.back(), "add Window1");
        window->Sum->InternalAddDataSource(window->Sources[1]);
        heard.clear();
        delete window;
        EXPECT_TRUE(heard.empty()) << heard.front();
    }
}

} // namespace
