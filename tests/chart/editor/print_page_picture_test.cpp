// Every place that shows a picture of the chart (the editor window's print
// page, the editor panel's print page and the print preview window) is shown,
// the chart is changed through one other page of the editor, and the place is
// shown again: it shows what a fresh one of the same chart shows, pixel for
// pixel. Set QM_SHOTS to a folder to look at the pictures.
#include "chart/control/series.h"
#include "chart/control/teeedit.h"
#include "chart/control/tool_hints.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeedi3d.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeedigene.h"
#include "chart/editor/teeedilege.h"
#include "chart/editor/teeedipane.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeedititl.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditdata.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teeediwall.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teeprevi.h"
#include "chart/editor/teepreviewpanel.h"
#include "page_walk.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/jpeg.h"
#include "support/recording_printer.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace {

struct TPicture32 {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    bool operator==(const TPicture32&) const = default;
};

// What the user sees of the preview panel.
TPicture32 Grab(TControl* C, const AnsiString& ShotName) {
    TPngImage png;
    GrabControl(C, png.Bitmap());
    TBitmap* b = png.Bitmap();
    TPicture32 p{b->Width(), b->Height(), {}};
    p.Pixels.resize(size_t(p.Width) * p.Height);
    for (int y = 0; y < p.Height; ++y)
        std::memcpy(&p.Pixels[size_t(y) * p.Width], b->ScanLine(y), size_t(p.Width) * 4);
    if (const char* dir = std::getenv("QM_SHOTS"))
        png.SaveToFile(AnsiString(dir) + "/print_page_" + ShotName + ".png");
    return p;
}

TTeePreviewPanel* PrintPagePanel(TChartEditForm* F) {
    F->MainPage->SelectPageByUser(F->TabPrint);
    auto* preview = dynamic_cast<TChartPreview*>(F->PreviewForm);
    return preview ? preview->PreviewPanel() : nullptr;
}

void Retype(TWinControl* Edit, const AnsiString& Text) {
    Edit->SetText("");
    SimulateType(Edit, Text);
}

// A figure is taken as the user leaves its field.
void TypeFigure(TEdit* Edit, const AnsiString& Text) {
    Retype(Edit, Text);
    SimulateKey(Edit, VK_TAB);
}

template <class T> T* ChartPage(TChartEditForm* F, TTabSheet* Tab) {
    Reach(Tab);
    auto* page = dynamic_cast<T*>(F->PageForm(Tab));
    EXPECT_NE(page, nullptr);
    return page;
}

// One change through the controls of each other page the editor shows; the
// export page changes nothing of the chart.
struct ChangeCase {
    const char* Name;
    std::function<void(TChartEditForm*)> Change;
};

const ChangeCase Changes[] = {
    {"SeriesSwitchedOff",
     [](TChartEditForm* F) {
         Reach(F->TabSeriesList);
         const int x = F->LBSeries->SectionLeft(TChartListBox::secActive) + 6;
         SimulateMouse(F->LBSeries, TMouseAction::Down, mbLeft, x, 12);
         SimulateMouse(F->LBSeries, TMouseAction::Up, mbLeft, x, 12);
     }},
    {"GeneralMargin",
     [](TChartEditForm* F) {
         auto* p = ChartPage<TFormTeeGeneral>(F, F->TabGeneral);
         Reach(p->SETopMa);
         TypeFigure(p->SETopMa, "25");
     }},
    {"AxisInverted",
     [](TChartEditForm* F) {
         auto* p = ChartPage<TFormTeeAxis>(F, F->TabAxis);
         Reach(p->CBInverted);
         SimulateClick(p->CBInverted);
     }},
    {"TitleText",
     [](TChartEditForm* F) {
         auto* p = ChartPage<TFormTeeTitle>(F, F->TabTitle);
         Reach(p->MText);
         Retype(p->MText, "Plate 7");
     }},
    {"LegendHidden",
     [](TChartEditForm* F) {
         auto* p = ChartPage<TFormTeeLegend>(F, F->TabLegend);
         Reach(p->CBShow);
         SimulateClick(p->CBShow);
     }},
    {"PanelBevel",
     [](TChartEditForm* F) {
         auto* p = ChartPage<TFormTeePanel>(F, F->TabPanel);
         Reach(p->SEPanelWi);
         TypeFigure(p->SEPanelWi, "6");
     }},
    {"PointsPerPage",
     [](TChartEditForm* F) {
         auto* p = ChartPage<TFormTeePage>(F, F->TabPaging);
         TypeFigure(p->SEPointsPerPage, "3");
     }},
    {"WallHidden",
     [](TChartEditForm* F) {
         auto* p = ChartPage<TFormTeeWall>(F, F->TabWalls);
         Reach(p->CBVisible);
         SimulateClick(p->CBVisible);
     }},
    {"View3DOff",
     [](TChartEditForm* F) { SimulateClick(ChartPage<TFormTee3D>(F, F->Tab3D)->CBView3d); }},
    {"MarksShown",
     [](TChartEditForm* F) {
         Reach(F->TabSeriesList);
         F->LBSeries->SelectSeries(0);
         F->MainPage->SelectPageByUser(F->TabSeries);
         ASSERT_NE(F->TheFormSeries, nullptr);
         Reach(F->TheFormSeries->CBMarksVisible);
         SimulateClick(F->TheFormSeries->CBMarksVisible);
     }},
    {"DataValue",
     [](TChartEditForm* F) {
         F->MainPage->SelectPageByUser(F->TabData);
         auto* data = dynamic_cast<TFormTeeData*>(F->PageForm(F->TabData));
         ASSERT_NE(data, nullptr);
         TChartGrid* grid = data->ChartGrid1;
         grid->SetCol(2);
         grid->SetRow(3);
         grid->StartEditing();
         ASSERT_TRUE(grid->EditorMode());
         grid->InplaceEditor()->SelectAll();
         SimulateType(grid->InplaceEditor(), "5\r");
     }},
    {"ToolSwitchedOff",
     [](TChartEditForm* F) {
         F->MainPage->SelectPageByUser(F->TabTools);
         auto* tools = dynamic_cast<TFormTeeTools*>(F->PageForm(F->TabTools));
         ASSERT_NE(tools, nullptr);
         tools->LBTools->SetItemIndex(0);
         tools->LBToolsClick(tools->LBTools);
         SimulateClick(tools->CBActive);
     }},
};

void PrintTo(const ChangeCase& C, std::ostream* Os) {
    *Os << C.Name;
}

// The three pictures of one instance: before the change, after it, fresh.
struct Shown {
    TPicture32 First, Again, Fresh;
};

class PrintPagePicture : public ::testing::TestWithParam<ChangeCase> {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Printer.Install();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 400, 300);
        Chart->Title()->SetCaption("Decay");
        Chart->SetPrintProportional(false);
        auto* line = new TLineSeries(Chart.get());
        line->SetName("Series1");
        line->SetParentChart(Chart.get());
        auto* bar = new TBarSeries(Chart.get());
        bar->SetName("Series2");
        bar->SetParentChart(Chart.get());
        for (int i = 0; i < 8; ++i) {
            line->AddXY(i, 20 + (i * 37) % 80);
            bar->AddXY(i, 10 + (i * 53) % 60);
        }
        auto* note = new TAnnotationTool(Chart.get());
        note->SetParentChart(Chart.get());
        note->SetText("Run 4");
    }
    std::string Name(const char* Window) const {
        return std::string(Window) + "_" + GetParam().Name;
    }
    // The editor window, modal as every entry routine shows it.
    void InEditor(const std::function<void(TChartEditForm*)>& Steps) {
        TPumpScript script;
        script.When([] { return dynamic_cast<TChartEditForm*>(Screen->ActiveForm()) != nullptr; })
            .Do([&] {
                auto* f = dynamic_cast<TChartEditForm*>(Screen->ActiveForm());
                Steps(f);
                SimulateClick(f->BClose);
            });
        TeeRunChartEditor(Chart.get(), nullptr);
        EXPECT_TRUE(script.Done());
    }
    Shown EditorWindow() {
        Shown s;
        int width = 0, height = 0;
        InEditor([&](TChartEditForm* f) {
            s.First = Grab(PrintPagePanel(f), Name("window") + "_1");
            GetParam().Change(f);
            s.Again = Grab(PrintPagePanel(f), Name("window") + "_2");
            // A page may have widened the window for its tabs.
            width = f->Width();
            height = f->Height();
        });
        InEditor([&](TChartEditForm* f) {
            f->SetBounds(f->Left(), f->Top(), width, height);
            s.Fresh = Grab(PrintPagePanel(f), Name("window") + "_fresh");
        });
        return s;
    }
    Shown EditorPanel() {
        auto open = [this](TForm& Host, int Width, int Height) {
            Host.SetBounds(0, 0, Width, Height);
            auto* panel = new TChartEditorPanel(&Host);
            panel->SetParent(&Host);
            panel->SetAlign(alClient);
            panel->SetChart(Chart.get());
            Host.Show();
            Application->ProcessMessages();
            auto* f = dynamic_cast<TChartEditForm*>(panel->Editor());
            EXPECT_NE(f, nullptr);
            return f;
        };
        Shown s;
        int width = 0, height = 0;
        {
            TForm host(nullptr);
            TChartEditForm* f = open(host, 520, 420);
            s.First = Grab(PrintPagePanel(f), Name("panel") + "_1");
            GetParam().Change(f);
            s.Again = Grab(PrintPagePanel(f), Name("panel") + "_2");
            width = host.Width();
            height = host.Height();
        }
        TForm host(nullptr);
        s.Fresh = Grab(PrintPagePanel(open(host, width, height)), Name("panel") + "_fresh");
        return s;
    }
    // The print preview window, between whose showings the editor changes the chart.
    Shown PreviewWindow() {
        auto show = [this](const std::string& Shot) {
            TPicture32 p;
            TPumpScript script;
            script
                .When([] { return dynamic_cast<TChartPreview*>(Screen->ActiveForm()) != nullptr; })
                .Do([&] {
                    auto* f = dynamic_cast<TChartPreview*>(Screen->ActiveForm());
                    p = Grab(f->PreviewPanel(), Shot);
                    SimulateClick(f->BClose);
                });
            TeePreview(nullptr, Chart.get());
            EXPECT_TRUE(script.Done());
            return p;
        };
        Shown s;
        s.First = show(Name("preview") + "_1");
        InEditor([&](TChartEditForm* f) { GetParam().Change(f); });
        s.Again = show(Name("preview") + "_2");
        s.Fresh = show(Name("preview") + "_fresh");
        return s;
    }
    static void Expect(const Shown& S, const char* Window) {
        ASSERT_GT(S.Fresh.Width, 0) << Window;
        // The change shows on the sheet, so a picture kept from before is caught.
        EXPECT_FALSE(S.First == S.Fresh) << Window << ": the change does not show";
        EXPECT_TRUE(S.Again == S.Fresh) << Window << ": shown again, not the chart as it is";
    }
    TRecordingPrinter Printer;
    std::unique_ptr<TChart> Chart;
};

TEST_P(PrintPagePicture, EditorWindowShowsTheChartAsItIs) {
    Expect(EditorWindow(), "editor window");
}

TEST_P(PrintPagePicture, EditorPanelShowsTheChartAsItIs) {
    Expect(EditorPanel(), "editor panel");
}

TEST_P(PrintPagePicture, PreviewWindowShowsTheChartAsItIs) {
    Expect(PreviewWindow(), "preview window");
}

INSTANTIATE_TEST_SUITE_P(Changes, PrintPagePicture, ::testing::ValuesIn(Changes),
                         [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
