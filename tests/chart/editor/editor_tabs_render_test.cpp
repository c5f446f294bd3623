// Every tab of the editor window drawn as the user sees it: the chart pages,
// the series page of a line, bar, pie and box plot with each of its tabs, the
// data, tools, export and print pages. Set QM_SHOTS to a folder to look.
#include "chart/control/series.h"
#include "chart/control/tool_hints.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teelisb.h"
#include "chart/series/teeboxplot.h"
#include "chart/series/teeextraseries.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class EditorTabsRender : public ::testing::Test {
protected:
    void SetUp() override {
        TeeExtraSeriesStartup();
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 400, 300);
        for (TChartSeries* s : std::initializer_list<TChartSeries*>{
                 new TLineSeries(Chart.get()), new TBarSeries(Chart.get()),
                 new TPieSeries(Chart.get()), new TBoxSeries(Chart.get())}) {
            s->SetName(AnsiString("Series") + IntToStr(Chart->SeriesCount() + 1));
            s->SetParentChart(Chart.get());
            s->FillSampleValues(6);
        }
        auto* note = new TAnnotationTool(Chart.get());
        note->SetParentChart(Chart.get());
    }
    // Every page control shown has room for all its tabs: scroll arrows hide
    // pages from the user.
    static void ExpectTabsFit(TWinControl* Parent, const AnsiString& Where) {
        for (int i = 0; i < Parent->ControlCount(); ++i) {
            auto* c = dynamic_cast<TWinControl*>(Parent->Controls(i));
            if (!c || !c->Showing()) continue;
            if (auto* pc = dynamic_cast<TPageControl*>(c))
                EXPECT_TRUE(pc->TabsFit())
                    << Where.c_str() << ": " << pc->Name().c_str() << " needs " << pc->TabsWidth()
                    << ", has " << pc->Width();
            ExpectTabsFit(c, Where);
        }
    }
    static void Shot(TChartEditForm* F, const AnsiString& Name) {
        ExpectTabsFit(F, Name);
        const char* dir = std::getenv("QM_SHOTS");
        if (!dir) return;
        TPngImage png;
        GrabControl(F, png.Bitmap());
        png.SaveToFile(AnsiString(dir) + "/editor_" + Name + ".png");
    }
    std::unique_ptr<TChart> Chart;
};

TEST_F(EditorTabsRender, EveryTabIsDrawn) {
    TPumpScript script;
    int shots = 0;
    script.When([] { return dynamic_cast<TChartEditForm*>(Screen->ActiveForm()) != nullptr; })
        .Do([&] {
            auto* f = dynamic_cast<TChartEditForm*>(Screen->ActiveForm());
            for (int i = 0; i < f->SubPage->PageCount(); ++i) {
                TTabSheet* tab = f->SubPage->Pages(i);
                if (!tab->TabVisible()) continue;
                f->SubPage->SelectPageByUser(tab);
                Shot(f, "chart_" + tab->Caption());
                // The page is drawn as wide as the tab gives it.
                if (TCustomForm* page = f->PageForm(tab)) {
                    TBitmap drawn;
                    GrabControl(page, &drawn);
                    EXPECT_EQ(drawn.Width(), tab->ClientWidth()) << tab->Caption().c_str();
                }
                ++shots;
            }
            for (int s = 0; s < Chart->SeriesCount(); ++s) {
                f->MainPage->SelectPageByUser(f->TabChart);
                f->SubPage->SelectPageByUser(f->TabSeriesList);
                f->LBSeries->SelectSeries(s);
                f->LBSeriesEditSeries(f->LBSeries);
                ASSERT_NE(f->TheFormSeries, nullptr);
                TPageControl* pages = f->TheFormSeries->PageSeries;
                for (int i = 0; i < pages->PageCount(); ++i) {
                    TTabSheet* tab = pages->Pages(i);
                    if (!tab->TabVisible()) continue;
                    pages->SelectPageByUser(tab);
                    Shot(f, Chart->Series(s)->ClassName() + "_" + tab->Caption());
                    ++shots;
                }
            }
            for (TTabSheet* tab : {f->TabData, f->TabTools, f->TabExport, f->TabPrint}) {
                f->MainPage->SelectPageByUser(tab);
                Shot(f, tab->Caption());
                ++shots;
            }
            SimulateClick(f->BClose);
        });
    TeeRunChartEditor(Chart.get(), nullptr);
    EXPECT_TRUE(script.Done());
    EXPECT_GT(shots, 20);
}

} // namespace
