// The chart editor's series list and its buttons: whichever way the selection
// changes (a click, a key, the series tab's choice, a series removed), Up,
// Down and the commands follow the row shown.
#include "chart/control/series.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teelisb.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>
#include <string>

namespace {

TChartEditForm* OpenEditor() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* f = dynamic_cast<TChartEditForm*>(Screen->Forms(i)); f && f->Visible()) return f;
    return nullptr;
}

// The enabled commands, in a form a failure reads.
std::string Enabled(TChartEditForm* F) {
    std::string s;
    for (TControl* b :
         std::initializer_list<TControl*>{F->BMoveUP, F->BMoveDown, F->BDeleteSeries,
                                          F->BRenameSeries, F->BCloneSeries, F->BChangeTypeSeries})
        if (b->Enabled()) s += (s.empty() ? "" : " ") + std::string(b->Name().c_str());
    return s;
}

// What a single selected row at Row of Count should enable.
std::string Expected(int Row, int Count) {
    std::string s;
    if (Row > 0) s += "BMoveUP ";
    if (Row < Count - 1) s += "BMoveDown ";
    return s + "BDeleteSeries BRenameSeries BCloneSeries BChangeTypeSeries";
}

class SeriesListButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        NewChart();
    }
    void NewChart() {
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        for (const char* name : {"Series1", "Series2", "Series3"}) {
            auto* s = new TLineSeries(Chart.get());
            s->SetName(name);
            s->SetParentChart(Chart.get());
            s->FillSampleValues(4);
        }
    }
    void RunEditor(const std::function<void(TChartEditForm*)>& Steps) {
        TPumpScript script;
        script.When([] { return OpenEditor() != nullptr; }).Do([&] {
            TChartEditForm* f = OpenEditor();
            Steps(f);
            SimulateClick(f->BClose);
        });
        TeeRunChartEditor(Chart.get(), nullptr);
        EXPECT_TRUE(script.Done());
    }

    static void ClickRow(TChartEditForm* F, int Row, TShiftState Shift = {}) {
        const TRect r = F->LBSeries->ItemRect(Row);
        const int x = F->LBSeries->SectionLeft(TChartListBox::secTitle) + 20;
        SimulateMouse(F->LBSeries, TMouseAction::Down, mbLeft, x, (r.Top + r.Bottom) / 2, Shift);
        SimulateMouse(F->LBSeries, TMouseAction::Up, mbLeft, x, (r.Top + r.Bottom) / 2, Shift);
    }
    // The series tab's combo box, stepped with the arrow keys to Row.
    static void ChooseOnSeriesTab(TChartEditForm* F, int Row) {
        ASSERT_TRUE(F->MainPage->SelectPageByUser(F->TabSeries));
        ASSERT_NE(F->TheFormSeries, nullptr);
        TComboBox* combo = F->TheFormSeries->CBSeries;
        for (int i = 0; i < 3 && combo->ItemIndex() != Row; ++i)
            SimulateKey(combo, combo->ItemIndex() < Row ? VK_DOWN : VK_UP);
        ASSERT_EQ(combo->ItemIndex(), Row) << "the series tab's combo box did not reach it";
        ASSERT_TRUE(F->MainPage->SelectPageByUser(F->TabChart));
    }
    std::string Order() const {
        std::string s;
        for (int i = 0; i < Chart->SeriesCount(); ++i)
            s += Chart->Series(i)->Name().c_str() +
                 std::string(i + 1 < Chart->SeriesCount() ? " " : "");
        return s;
    }

    std::unique_ptr<TChart> Chart;
};

TEST_F(SeriesListButtonsTest, SeriesChosenOnTheSeriesTabGivesTheButtonsOfItsRow) {
    struct Case {
        const char* What;
        int Row;
        const char* AfterUp;
        const char* AfterDown;
    };
    const Case cases[] = {
        {"first", 0, "Series1 Series2 Series3", "Series2 Series1 Series3"},
        {"last", 2, "Series1 Series3 Series2", "Series1 Series2 Series3"},
        {"middle", 1, "Series2 Series1 Series3", "Series1 Series3 Series2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        NewChart();
        RunEditor([&](TChartEditForm* f) {
            // The user looked at another row first.
            ClickRow(f, (c.Row + 1) % 3);
            ChooseOnSeriesTab(f, c.Row);
            ASSERT_EQ(f->LBSeries->ItemIndex(), c.Row);
            EXPECT_EQ(Enabled(f), Expected(c.Row, 3)) << "buttons after choosing on the series tab";

            // Up moves the row up (or is not there to click) and the buttons follow it.
            const std::string before = Order();
            SimulateClick(f->BMoveUP);
            EXPECT_EQ(Order(), c.AfterUp) << "Up";
            const int up = std::max(0, c.Row - 1);
            EXPECT_EQ(f->LBSeries->ItemIndex(), up) << "the moved row stays selected";
            EXPECT_EQ(Enabled(f), Expected(up, 3)) << "buttons after Up";
            // Back where it was, then Down.
            if (Order() != before) SimulateClick(f->BMoveDown);
            ASSERT_EQ(Order(), before);
            ChooseOnSeriesTab(f, c.Row);
            SimulateClick(f->BMoveDown);
            EXPECT_EQ(Order(), c.AfterDown) << "Down";
            const int down = std::min(2, c.Row + 1);
            EXPECT_EQ(f->LBSeries->ItemIndex(), down);
            EXPECT_EQ(Enabled(f), Expected(down, 3)) << "buttons after Down";

            // Keys on the list report as clicks do.
            SimulateKey(f->LBSeries, VK_HOME);
            EXPECT_EQ(Enabled(f), Expected(0, 3)) << "buttons after Home";
            SimulateKey(f->LBSeries, VK_END);
            EXPECT_EQ(Enabled(f), Expected(2, 3)) << "buttons after End";
        });
    }
}

TEST_F(SeriesListButtonsTest, SeriesRemovedMeanwhileKeepsWhatIsSelectedAndItsButtons) {
    RunEditor([&](TChartEditForm* f) {
        // The last row selected; the first series goes (a handler, a tool...).
        ClickRow(f, 2);
        ASSERT_EQ(Enabled(f), Expected(2, 3));
        delete Chart->Series(0);
        ASSERT_EQ(f->LBSeries->Items()->Count(), 2);
        EXPECT_EQ(f->LBSeries->GetSelectedSeries(), Chart->Series(1))
            << "the selected series moved up a row and stays selected";
        EXPECT_TRUE(f->LBSeries->Selected(1));
        EXPECT_FALSE(f->LBSeries->Selected(0));
        EXPECT_EQ(Enabled(f), Expected(1, 2)) << "buttons after the removal";
        SimulateClick(f->BMoveUP);
        EXPECT_EQ(Order(), "Series3 Series2") << "Up moved the selected series";

        // Two rows marked: a removal keeps both, and moving stays off.
        auto* extra = new TLineSeries(Chart.get());
        extra->SetName("Series4");
        extra->SetParentChart(Chart.get());
        ClickRow(f, 1);
        ClickRow(f, 2, TShiftState{ssCtrl});
        ASSERT_EQ(f->LBSeries->SelCount(), 2);
        delete Chart->Series(0);
        EXPECT_EQ(f->LBSeries->SelCount(), 2) << "both marked series stay marked";
        EXPECT_EQ(f->LBSeries->GetSelectedSeries(), extra);
        EXPECT_EQ(Enabled(f), "BDeleteSeries BChangeTypeSeries") << "buttons of two rows";

        // The selected series itself goes: nothing is selected, nothing to move.
        ClickRow(f, 1);
        delete extra;
        EXPECT_EQ(f->LBSeries->ItemIndex(), -1);
        EXPECT_EQ(Enabled(f), "") << "buttons with no row selected";
    });
}

} // namespace
