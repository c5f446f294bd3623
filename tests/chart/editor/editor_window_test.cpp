// The chart editor window driven as the user would: opened from the
// commander, series added, re-typed, deleted and moved through the list and
// the gallery, tools added through the tools gallery, the window position.
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teegally.h"
#include "chart/editor/teelisb.h"
#include "chart/engine/teetools.h"
#include "platform/classes/registry.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "support/forms_testing.h"
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace {

template <class T> T* OpenForm() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* f = dynamic_cast<T*>(Screen->Forms(i)); f && f->Visible()) return f;
    return nullptr;
}

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        ConfigDir =
            std::filesystem::temp_directory_path() / ("qm_editor_" + std::to_string(::getpid()));
        std::filesystem::create_directories(ConfigDir);
        setenv("XDG_CONFIG_HOME", ConfigDir.c_str(), 1);
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 400, 300);
        Line = new TLineSeries(Chart.get());
        Line->SetName("Series1");
        Line->SetParentChart(Chart.get());
        Bar = new TBarSeries(Chart.get());
        Bar->SetName("Series2");
        Bar->SetParentChart(Chart.get());
        Line->FillSampleValues(5);
        Bar->FillSampleValues(5);
    }
    void TearDown() override {
        Chart.reset();
        std::filesystem::remove_all(ConfigDir);
    }
    // Runs the editor on the chart; Steps drive it, then Close is clicked.
    void RunEditor(const std::function<void(TChartEditForm*)>& Steps) {
        TPumpScript script;
        script.When([] { return OpenForm<TChartEditForm>() != nullptr; }).Do([&] {
            TChartEditForm* f = OpenForm<TChartEditForm>();
            Steps(f);
            SimulateClick(f->BClose);
        });
        TeeRunChartEditor(Chart.get(), nullptr);
        EXPECT_TRUE(script.Done());
    }

    std::filesystem::path ConfigDir;
    std::unique_ptr<TChart> Chart;
    TLineSeries* Line = nullptr;
    TBarSeries* Bar = nullptr;
};

TEST_F(EditorWindowTest, CommanderEditButtonOpensTheEditorOnTheSeriesList) {
    TTeeCommander commander(nullptr);
    commander.SetPanel(Chart.get());
    AnsiString caption;
    std::vector<AnsiString> rows;
    bool deleteEnabled = false;
    TPumpScript script;
    script.When([] { return OpenForm<TChartEditForm>() != nullptr; }).Do([&] {
        TChartEditForm* f = OpenForm<TChartEditForm>();
        caption = f->Caption();
        for (int i = 0; i < f->LBSeries->Items()->Count(); ++i)
            rows.push_back(f->LBSeries->Items()->Strings(i));
        deleteEnabled = f->BDeleteSeries->Enabled();
        SimulateClick(f->BClose);
    });
    SimulateClick(commander.ButtonEdit());
    ASSERT_TRUE(script.Done());
    EXPECT_EQ(caption, "Editing Chart1");
    EXPECT_EQ(rows, (std::vector<AnsiString>{"Series1", "Series2"}));
    EXPECT_TRUE(deleteEnabled);
    EXPECT_EQ(OpenForm<TChartEditForm>(), nullptr);
}

TEST_F(EditorWindowTest, EachGalleryPageListsTheRegisteredTypesOfThatPage) {
    TTeeGallery gallery(nullptr);
    gallery.ChartGalleryPanel1->SetBounds(0, 0, 452, 232);
    gallery.FormShow(&gallery);
    ASSERT_GT(gallery.TabPages->Tabs()->Count(), 0);
    EXPECT_EQ(gallery.TabPages->Tabs()->Strings(0), "Standard");
    for (int page = 0; page < gallery.TabPages->Tabs()->Count(); ++page) {
        const AnsiString name = gallery.TabPages->Tabs()->Strings(page);
        gallery.TabPages->SetTabIndex(page);
        gallery.TabPagesChange(gallery.TabPages);
        std::multiset<AnsiString> expected, shown;
        for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
            const TTeeSeriesType* t = TeeSeriesTypes()[i];
            if (t->GalleryPageText() == name && !t->FunctionClass && t->NumGallerySeries > 0)
                expected.insert(t->SeriesClass->Name);
        }
        for (TGalleryChart* c : gallery.ChartGalleryPanel1->Charts())
            shown.insert(c->Series(0)->ClassName());
        EXPECT_EQ(shown, expected) << name.c_str();
        EXPECT_NE(gallery.ChartGalleryPanel1->SelectedChart(), nullptr) << name.c_str();
    }
}

TEST_F(EditorWindowTest, AddThroughTheGalleryChangeTypeDeleteAndMove) {
    RunEditor([&](TChartEditForm* f) {
        // Add: the gallery opens on "Standard"; choose its bar chart.
        TPumpScript gallery;
        gallery.When([] { return OpenForm<TTeeGallery>() != nullptr; }).Do([] {
            TTeeGallery* g = OpenForm<TTeeGallery>();
            for (TGalleryChart* c : g->ChartGalleryPanel1->Charts())
                if (c->Series(0)->ClassType() == &TBarSeries::ClassInfo)
                    g->ChartGalleryPanel1->SelectChart(c);
            SimulateClick(g->BOk);
        });
        SimulateClick(f->BAddSeries);
        ASSERT_EQ(Chart->SeriesCount(), 3);
        EXPECT_EQ(Chart->Series(2)->ClassType(), &TBarSeries::ClassInfo);
        EXPECT_EQ(f->LBSeries->ItemIndex(), 2);

        // Change the first series to an area series: name and data kept.
        f->LBSeries->ClearSelection();
        f->LBSeries->SelectSeries(0);
        TPumpScript change;
        change.When([] { return OpenForm<TTeeGallery>() != nullptr; }).Do([] {
            TTeeGallery* g = OpenForm<TTeeGallery>();
            for (TGalleryChart* c : g->ChartGalleryPanel1->Charts())
                if (c->Series(0)->ClassName() == "TAreaSeries")
                    g->ChartGalleryPanel1->SelectChart(c);
            SimulateClick(g->BOk);
        });
        SimulateClick(f->BChangeTypeSeries);
        EXPECT_EQ(Chart->Series(0)->ClassName(), "TAreaSeries");
        EXPECT_EQ(Chart->Series(0)->Name(), "Series1");
        EXPECT_EQ(Chart->Series(0)->Count(), 5);
        EXPECT_EQ(f->LBSeries->Items()->Count(), 3);

        // Move the first series down.
        f->LBSeries->ClearSelection();
        f->LBSeries->SelectSeries(0);
        SimulateClick(f->BMoveDown);
        EXPECT_EQ(Chart->Series(0)->Name(), "Series2");
        EXPECT_EQ(Chart->Series(1)->Name(), "Series1");
        EXPECT_EQ(f->LBSeries->Items()->Strings(1), "Series1");
        EXPECT_TRUE(f->BMoveUP->Enabled());

        // Delete it; "No" first keeps it.
        TStrictResponder responder;
        responder.ExpectMessage("Delete Series1 ?", mrNo).ExpectMessage("Delete Series1 ?", mrYes);
        SimulateClick(f->BDeleteSeries);
        EXPECT_EQ(Chart->SeriesCount(), 3);
        f->LBSeries->ClearSelection();
        f->LBSeries->SelectSeries(1);
        SimulateClick(f->BDeleteSeries);
        EXPECT_EQ(Chart->SeriesCount(), 2);
        EXPECT_EQ(f->LBSeries->Items()->Count(), 2);
        EXPECT_EQ(f->LBSeries->Items()->IndexOf("Series1"), -1);
        EXPECT_TRUE(responder.Done());
    });
}

TEST_F(EditorWindowTest, DeletingTheOnlySeriesLeavesOnlyAddEnabled) {
    delete Bar;
    RunEditor([&](TChartEditForm* f) {
        f->LBSeries->AskDelete = false;
        SimulateClick(f->BDeleteSeries);
        EXPECT_EQ(Chart->SeriesCount(), 0);
        EXPECT_TRUE(f->BAddSeries->Enabled());
        for (TControl* b :
             std::initializer_list<TControl*>{f->BDeleteSeries, f->BRenameSeries, f->BCloneSeries,
                                              f->BChangeTypeSeries, f->BMoveUP, f->BMoveDown})
            EXPECT_FALSE(b->Enabled()) << b->Name().c_str();
    });
}

TEST_F(EditorWindowTest, RenamingToTheComponentNameClearsTheTitle) {
    Line->SetTitle("Voltage");
    RunEditor([&](TChartEditForm* f) {
        f->LBSeries->SelectSeries(0);
        TStrictResponder responder;
        responder.ExpectInput("New Series Title:", "Series1");
        SimulateClick(f->BRenameSeries);
        EXPECT_EQ(Line->Title(), "");
        EXPECT_EQ(f->LBSeries->Items()->Strings(0), "Series1");
    });
}

TEST_F(EditorWindowTest, AddAFunctionThroughTheGalleryAndSetItsSource) {
    RunEditor([&](TChartEditForm* f) {
        TPumpScript gallery;
        gallery.When([] { return OpenForm<TTeeGallery>() != nullptr; }).Do([] {
            TTeeGallery* g = OpenForm<TTeeGallery>();
            g->TabTypes->SelectTabByUser(1);
            ASSERT_FALSE(g->ChartGalleryPanel1->Charts().empty());
            g->ChartGalleryPanel1->SelectChart(g->ChartGalleryPanel1->Charts()[0]);
            SimulateClick(g->BOk);
        });
        SimulateClick(f->BAddSeries);
        ASSERT_EQ(Chart->SeriesCount(), 3);
        TChartSeries* added = Chart->Series(2);
        ASSERT_NE(added->FunctionType(), nullptr);
        // The editor went to the new series' data source.
        EXPECT_EQ(f->MainPage->ActivePage(), f->TabSeries);
        ASSERT_NE(f->TheFormSeries, nullptr);
        EXPECT_EQ(f->TheFormSeries->PageSeries->ActivePage(), f->TheFormSeries->TabDataSource);
        EXPECT_EQ(f->TheFormSeries->CBDataSourcestyle->ItemIndex(), 2);
        added->SetDataSource(Line);
        EXPECT_EQ(added->DataSource(), Line);
        EXPECT_GT(added->Count(), 0);
        // "Manual" removes the function.
        f->TheFormSeries->CBDataSourcestyle->SetItemIndex(0);
        f->TheFormSeries->CBDataSourcestyleChange(nullptr);
        EXPECT_EQ(added->FunctionType(), nullptr);
        EXPECT_EQ(added->DataSource(), nullptr);
    });
}

TEST_F(EditorWindowTest, SeriesPageShowsNoFormatTabWithoutARegisteredEditor) {
    class TNoEditorSeries : public TLineSeries {
    public:
        using TLineSeries::TLineSeries;
        AnsiString GetEditorClass() override { return "TNoSuchEditorForm"; }
    };
    delete Bar;
    auto* s = new TNoEditorSeries(Chart.get());
    s->SetName("Series3");
    s->SetParentChart(Chart.get());
    RunEditor([&](TChartEditForm* f) {
        f->LBSeries->ClearSelection();
        f->LBSeries->SelectSeries(1);
        f->LBSeriesEditSeries(nullptr);
        TFormTeeSeries* page = f->TheFormSeries;
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->TheSeries(), s);
        EXPECT_FALSE(page->TheTabSheet->TabVisible());
        EXPECT_EQ(page->PageSeries->ActivePage(), page->TabGeneral);
        EXPECT_EQ(page->SeriesForm(), nullptr);
        page->CBShowInLegend->SetChecked(false);
        EXPECT_FALSE(s->ShowInLegend());
    });
}

TEST_F(EditorWindowTest, AddAToolThroughTheToolsGalleryAndOpenItsEditorByClassName) {
    ASSERT_GT(TeeToolTypes().Count(), 0);
    RunEditor([&](TChartEditForm* f) {
        ASSERT_TRUE(f->TabTools->TabVisible());
        f->MainPage->SelectPageByUser(f->TabTools);
        auto* tools = dynamic_cast<TFormTeeTools*>(f->PageForm(f->TabTools));
        ASSERT_NE(tools, nullptr);
        EXPECT_EQ(tools->LBTools->Items()->Count(), 0);
        EXPECT_FALSE(tools->BDelete->Enabled());
        AnsiString chosen;
        TPumpScript gallery;
        gallery.When([] { return OpenForm<TTeeToolsGallery>() != nullptr; }).Do([&] {
            TTeeToolsGallery* g = OpenForm<TTeeToolsGallery>();
            // A tool whose editor form is registered, on whichever tab it is.
            for (int tab = 0; tab < 3 && chosen.IsEmpty(); ++tab) {
                g->TabControl1->SelectTabByUser(tab);
                for (int i = 0; i < g->LBTool->Items()->Count() && chosen.IsEmpty(); ++i) {
                    g->LBTool->SetItemIndex(i);
                    TClass c = g->SelectedTool();
                    auto* t = dynamic_cast<TTeeCustomTool*>(c->Factory(nullptr));
                    if (GetClass(t->GetEditorClass())) chosen = c->Name;
                    delete t;
                }
            }
            ASSERT_FALSE(chosen.IsEmpty());
            SimulateClick(g->BOk);
        });
        SimulateClick(tools->BAdd);
        ASSERT_EQ(Chart->Tools()->Count(), 1);
        TTeeCustomTool* tool = Chart->Tools()->Get(0);
        EXPECT_EQ(tool->ClassName(), chosen);
        EXPECT_EQ(tool->Name().SubString(1, 9), "ChartTool");
        EXPECT_EQ(tools->LBTools->ItemIndex(), 0);
        ASSERT_NE(GetClass(tool->GetEditorClass()), nullptr) << tool->GetEditorClass().c_str();
        ASSERT_NE(tools->ToolForm(), nullptr);
        EXPECT_EQ(tools->ToolForm()->ClassName(), tool->GetEditorClass());
        tools->CBActive->SetChecked(false);
        EXPECT_FALSE(tool->Active());
    });
}

TEST_F(EditorWindowTest, DefaultTabOnAHiddenPageLandsOnTheNextVisibleOne) {
    struct TCase {
        int Default;
        TChartEditorHiddenTabs Hidden;
        int Expected; // -1: no page
    };
    const TCase cases[] = {
        {cetAxis, {cetAxis}, cetTitles},
        {cet3D, {cetWalls, cet3D}, cetPaging},
        {cetLegend, {}, cetLegend},
        {cetMain,
         {cetMain, cetGeneral, cetAxis, cetTitles, cetLegend, cetPanel, cetPaging, cetWalls, cet3D},
         -1},
    };
    for (const TCase& c : cases) {
        int landed = -2;
        TPumpScript script;
        script.When([] { return OpenForm<TChartEditForm>() != nullptr; }).Do([&] {
            TChartEditForm* f = OpenForm<TChartEditForm>();
            landed = f->SubPage->ActivePage() ? f->SubPage->ActivePage()->PageIndex() : -1;
            SimulateClick(f->BClose);
        });
        TeeRunChartEditor(Chart.get(), [&](TChartEditForm* f) {
            f->DefaultTab = c.Default;
            f->HideTabs = c.Hidden;
        });
        EXPECT_EQ(landed, c.Expected) << c.Default;
    }
}

TEST_F(EditorWindowTest, RememberedPositionIsWrittenOnCloseAndNegativeComesBackAsZero) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(EditorSettingsKey, true));
        reg.WriteInteger("Left", -40);
        reg.WriteInteger("Top", 120);
    }
    int left = -1, top = -1;
    TPumpScript script;
    script.When([] { return OpenForm<TChartEditForm>() != nullptr; }).Do([&] {
        TChartEditForm* f = OpenForm<TChartEditForm>();
        left = f->Left();
        top = f->Top();
        f->SetLeft(33);
        SimulateClick(f->BClose);
    });
    TeeRunChartEditor(Chart.get(), [](TChartEditForm* f) {
        f->RememberPosition = true;
        f->SetChart(f->TheChart);
    });
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 120);
    TRegistry reg(KEY_READ);
    ASSERT_TRUE(reg.OpenKeyReadOnly(EditorSettingsKey));
    EXPECT_EQ(reg.ReadInteger("Left"), 33);
}

} // namespace
