#include "chart/editor/teeeditorstartup.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teegally.h"
#include "chart/editor/teelisb.h"

void TeeEditorStartup() {
    static bool started = false;
    if (started) return;
    started = true;
    // The gallery must always offer the standard types.
    TeeStartRegistries();
    for (TClass c :
         {&TChartEditForm::ClassInfo, &TFormTeeSeries::ClassInfo, &TFormTeeTools::ClassInfo,
          &TTeeToolsGallery::ClassInfo, &TTeeGallery::ClassInfo, &TChartListBox::ClassInfo,
          &TChartGalleryPanel::ClassInfo})
        RegisterClass(c);
    TeeInstallGalleryHooks(true);
    TeeEditorHooks().EditChart = [](TComponent*, TCustomChart* Chart) {
        TeeRunChartEditor(Chart, [](TChartEditForm* F) { F->DefaultTab = 0; });
    };
    TeeEditorHooks().CreateEditForm =
        [](const TChartEditorSettings& S) -> std::unique_ptr<TCustomForm> {
        std::unique_ptr<TChartEditForm> form = std::make_unique<TChartEditForm>(nullptr);
        form->RememberPosition = S.RememberPosition;
        if (!S.Title.IsEmpty()) form->SetCaption(S.Title);
        form->SetChart(S.Chart);
        form->EditorOptions = S.Options;
        form->HighLightTabs = S.HighLightTabs;
        form->TheEditSeries = S.Series;
        form->CheckHelpFile();
        form->DefaultTab = S.DefaultTab;
        form->HideTabs = S.HideTabs;
        form->LBSeries->OnChangeOrder = S.OnChangeSeriesOrder;
        return form;
    };
    TeeEditorHooks().CreateSeriesEditForm = [](TComponent* Owner,
                                               TChartSeries* Series) -> TCustomForm* {
        return TeeCreateFormByClass(SeriesEditorForm(Series), Owner);
    };
    TeeRegisterEditorDialogs();
    TeeRegisterSeriesEditors();
    TeeRegisterChartPages();
    TeeRegisterStandardEditors();
    TeeRegisterPrintAndExport();
    TeeRegisterDataAndToolEditors();
    TeeRegisterExtraSeriesEditors();
}
