#include "chart/editor/editchar.h"
#include "platform/classes/watched.h"
#include "chart/control/chartparts.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teelisb.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teetools.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/modalwatch.h"
#include "platform/forms/stdctrls.h"

std::unique_ptr<TChartEditForm> TeeCreateChartEditor(TCustomChart* AChart) {
    // Owned here rather than by the application: it lives for one call only.
    auto form = std::make_unique<TChartEditForm>(nullptr);
    form->SetChart(AChart);
    form->CheckHelpFile();
    TeeTranslateControl(form.get());
    return form;
}

void TeeRunChartEditor(TCustomChart* AChart, const std::function<void(TChartEditForm*)>& Preset) {
    // Building the editor tells its pages' controls, which may free the chart.
    TCallOut held{AChart};
    std::unique_ptr<TChartEditForm> form = TeeCreateChartEditor(AChart);
    if (held.Gone()) return;
    // A preset may open a page whose controls tell handlers too.
    if (Preset) Preset(form.get());
    if (held.Gone()) return;
    // Opened on a series or tool, it is about that one too.
    ShowModalWatching(form.get(), {AChart, form->TheEditSeries, form->TheTool});
}

namespace {
TCustomChart* ChartOf(TCustomTeePanel* Panel) {
    return dynamic_cast<TCustomChart*>(Panel);
}

// Opens the series page of the series on one of its tabs before showing.
void OpenSeriesTab(TChartEditForm* F, TChartSeries* S, bool DataSource) {
    F->TheEditSeries = S;
    F->MainPage->SetActivePage(F->TabSeries);
    F->LBSeries->SetSelectedSeries(S);
    TCallOut held{F};
    F->SetTabSeries();
    if (held.Gone() || !F->TheFormSeries) return;
    TFormTeeSeries* page = F->TheFormSeries;
    page->PageSeries->SetActivePage(DataSource ? page->TabDataSource : page->TabMarks);
    page->PageSeriesChange(page->PageSeries);
}
} // namespace

void EditChartPage(TComponent*, TCustomChart* AChart, int PageIndex) {
    TeeRunChartEditor(AChart, [&](TChartEditForm* F) { F->DefaultTab = PageIndex; });
}

void EditChartLegend(TComponent* AOwner, TCustomChart* AChart) {
    EditChartPage(AOwner, AChart, cetLegend);
}

void EditChartTitle(TComponent*, TChartTitle* ATitle) {
    TeeRunChartEditor(ChartOf(ATitle->ParentChart()), [&](TChartEditForm* F) {
        F->TheTitle = ATitle;
        F->DefaultTab = cetTitles;
    });
}

void EditChartWall(TComponent*, TChartWall* AWall) {
    TeeRunChartEditor(ChartOf(AWall->ParentChart()), [&](TChartEditForm* F) {
        F->TheWall = AWall;
        F->DefaultTab = cetWalls;
    });
}

void EditChartAxis(TComponent*, TChartAxis* Axis) {
    TeeRunChartEditor(ChartOf(Axis->ParentChart()), [&](TChartEditForm* F) {
        F->TheAxis = Axis;
        F->DefaultTab = cetAxis;
    });
}

void EditChartTool(TComponent*, TTeeCustomTool* ATool) {
    TeeRunChartEditor(dynamic_cast<TCustomChart*>(ATool->ParentChart()),
                      [&](TChartEditForm* F) { F->TheTool = ATool; });
}

void EditSeries(TComponent*, TChartSeries* ASeries) {
    TeeRunChartEditor(dynamic_cast<TCustomChart*>(ASeries->ParentChart()),
                      [&](TChartEditForm* F) { F->TheEditSeries = ASeries; });
}

void EditSeriesMarks(TComponent*, TChartSeries* ASeries) {
    TeeRunChartEditor(dynamic_cast<TCustomChart*>(ASeries->ParentChart()),
                      [&](TChartEditForm* F) { OpenSeriesTab(F, ASeries, false); });
}

void EditSeriesDataSource(TComponent*, TChartSeries* ASeries) {
    TeeRunChartEditor(dynamic_cast<TCustomChart*>(ASeries->ParentChart()),
                      [&](TChartEditForm* F) { OpenSeriesTab(F, ASeries, true); });
}

void EditDSSChart(TComponent*, TCustomChart* AChart) {
    TeeRunChartEditor(AChart, [](TChartEditForm* F) { F->IsDssGraph = true; });
}

void EditChartPart(TComponent* AOwner, TCustomChart* AChart, const TChartClickedPart& Part) {
    switch (Part.Part) {
    case cpLegend:
        EditChartLegend(AOwner, AChart);
        break;
    case cpAxis:
        if (Part.AAxis) EditChartAxis(AOwner, Part.AAxis);
        break;
    case cpSeries:
        if (Part.ASeries) EditSeries(AOwner, Part.ASeries);
        break;
    case cpTitle:
        EditChartTitle(AOwner, AChart->Title());
        break;
    case cpFoot:
        EditChartTitle(AOwner, AChart->Foot());
        break;
    case cpSubTitle:
        EditChartTitle(AOwner, AChart->SubTitle());
        break;
    case cpSubFoot:
        EditChartTitle(AOwner, AChart->SubFoot());
        break;
    case cpSeriesMarks:
        if (Part.ASeries) EditSeriesMarks(AOwner, Part.ASeries);
        break;
    default:
        EditChartPage(AOwner, AChart, cetMain);
        break;
    }
}
