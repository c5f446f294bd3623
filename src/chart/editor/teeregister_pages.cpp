// Registers the chart pages of the editor window (panel, walls, 3D, titles,
// legend, the shape page) by class name, and gives the chart control's editor
// panel its embedded editor, turned to the part of the chart clicked.
#include "chart/control/teeedit.h"
#include "platform/classes/watched.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/editor/teeedi3d.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeedilege.h"
#include "chart/editor/teeedipane.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeedititl.h"
#include "chart/editor/teeediwall.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/engine/teeaxis.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"

namespace {
void ShowSubPage(TChartEditForm* F, TTabSheet* Tab) {
    F->MainPage->SetActivePage(F->TabChart);
    F->SubPage->SetActivePage(Tab);
    F->SubPageChange(F->SubPage);
}

void ShowTitle(TChartEditForm* F, TChartTitle* Title) {
    F->TheTitle = Title;
    ShowSubPage(F, F->TabTitle);
    // The page may exist already, opened on another title.
    if (auto* page = dynamic_cast<TFormTeeTitle*>(F->PageForm(F->TabTitle)))
        page->SelectTitle(Title);
}

// Turns an open axis page to another axis: its list holds the five standard
// axes first, then the custom ones in the chart's order.
void ShowAxis(TFormTeeAxis* Page, TCustomChart* Chart, TChartAxis* Axis) {
    const TChartAxis* standard[] = {Chart->LeftAxis(), Chart->RightAxis(), Chart->TopAxis(),
                                    Chart->BottomAxis(), Chart->DepthAxis()};
    int index = -1;
    for (int i = 0; i < 5; ++i)
        if (standard[i] == Axis) index = i;
    for (int i = 5; index < 0 && i < Chart->Axes()->Count(); ++i)
        if (Chart->Axes()->Get(i) == Axis) index = i;
    if (index < 0 || index >= Page->LBAxes->Items()->Count()) return;
    Page->LBAxes->SetItemIndex(index);
    Page->LBAxesClick(Page->LBAxes);
}

void ShowPanelPart(TCustomForm* Form, const TChartClickedPart& Part) {
    auto* f = dynamic_cast<TChartEditForm*>(Form);
    if (!f || !f->TheChart) return;
    TCustomChart* chart = f->TheChart;
    switch (Part.Part) {
    case cpLegend:
        ShowSubPage(f, f->TabLegend);
        break;
    case cpAxis:
        if (!Part.AAxis) break;
        f->TheAxis = Part.AAxis;
        ShowSubPage(f, f->TabAxis);
        if (auto* page = dynamic_cast<TFormTeeAxis*>(f->PageForm(f->TabAxis));
            page && page->TheAxis() != Part.AAxis)
            ShowAxis(page, chart, Part.AAxis);
        break;
    case cpSeries:
    case cpSeriesMarks:
        if (!Part.ASeries) break;
        f->LBSeries->SetSelectedSeries(Part.ASeries);
        f->MainPage->SetActivePage(f->TabSeries);
        {
            TCallOut held{f};
            f->SetTabSeries();
            if (held.Gone() || !f->TheFormSeries) return;
        }
        if (Part.Part == cpSeriesMarks) {
            f->TheFormSeries->PageSeries->SetActivePage(f->TheFormSeries->TabMarks);
            f->TheFormSeries->PageSeriesChange(f->TheFormSeries->PageSeries);
        }
        break;
    case cpTitle:
        ShowTitle(f, chart->Title());
        break;
    case cpFoot:
        ShowTitle(f, chart->Foot());
        break;
    case cpSubTitle:
        ShowTitle(f, chart->SubTitle());
        break;
    case cpSubFoot:
        ShowTitle(f, chart->SubFoot());
        break;
    default:
        ShowSubPage(f, f->TabPanel);
        break;
    }
}
} // namespace

void TeeRegisterChartPages() {
    for (TClass c :
         {&TFormTeeTitle::ClassInfo, &TFormTeeLegend::ClassInfo, &TFormTeePanel::ClassInfo,
          &TFormTeeWall::ClassInfo, &TFormTee3D::ClassInfo, &TFormTeeShape::ClassInfo})
        RegisterClass(c);
    TTeeEditorHooks& hooks = TeeEditorHooks();
    hooks.CreatePanelEditForm = [](TChartEditorPanel* Panel) -> TCustomForm* {
        // Building the editor tells its pages' controls, which may free the panel.
        TCallOut held{Panel};
        auto* form = new TChartEditForm(Panel);
        if (held.Gone()) return nullptr;
        TCallOut built{form};
        form->SetChart(Panel->Chart());
        if (held.Gone() || built.Gone()) return nullptr;
        return form;
    };
    hooks.SetPanelEditChart = [](TCustomForm* Form, TCustomChart* Chart) {
        if (auto* f = dynamic_cast<TChartEditForm*>(Form)) f->SetChart(Chart);
    };
    hooks.ShowPanelPart = ShowPanelPart;
}
