// Registers the print preview and the export dialog with its formats by class name.
#include "chart/control/teeedit.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeexport.h"
#include "chart/editor/teeexportformats.h"
#include "chart/editor/teeedigene.h"
#include "chart/editor/teeprevi.h"
#include "chart/editor/teepreviewpanel.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"

namespace {
// Keeps the format objects handed to a caller's save dialog; the dialog owns
// it, so they go when the dialog goes.
class TExportFormatsHolder : public TComponent {
public:
    using TComponent::TComponent;
    std::vector<std::unique_ptr<TObject>> Formats;
};
} // namespace

void TeeRegisterPrintAndExport() {
    for (TClass c :
         {&TChartPreview::ClassInfo, &TTeePreviewPanel::ClassInfo, &TTeeExportFormBase::ClassInfo,
          &TTeeExportForm::ClassInfo, &TBMPOptions::ClassInfo, &TEMFOptions::ClassInfo})
        RegisterClass(c);
    TeeRegisterPictureFormats();
    TTeeEditorHooks& hooks = TeeEditorHooks();
    hooks.ChartPreview = [](TComponent* Owner, TCustomTeePanel* Panel) {
        TeePreview(Owner, Panel, &TChartPageNavigator::ClassInfo);
    };
    hooks.FillPictureDialog = [](TSaveDialog* Dialog, TCustomTeePanel* Panel, TStrings* Items) {
        const int first = Items ? Items->Count() : 0;
        TeeFillExportFormats(Dialog, Panel, Items);
        if (!Items) return;
        auto* holder = new TExportFormatsHolder(Dialog);
        for (int i = first; i < Items->Count(); ++i)
            holder->Formats.emplace_back(Items->Objects(i));
    };
    TeeEditorHooks().CreatePreviewForm =
        [](TChartPreviewer* Previewer) -> std::unique_ptr<TCustomForm> {
        auto form = std::make_unique<TChartPreview>(nullptr);
        TTeePreviewPanel* panel = form->PreviewPanel();
        const TChartPreviewOptions o = Previewer->Options();
        panel->AllowResize = o.Contains(cpoResizeChart);
        panel->AllowMove = o.Contains(cpoMoveChart);
        panel->DragImage = o.Contains(cpoDragChart);
        panel->SetPaperColor(Previewer->PaperColor());
        panel->SetPanel(Previewer->Chart());
        if (o.Contains(cpoAsBitmap)) panel->SetAsBitmap(true);
        // The previewer may be freed while its preview shows.
        if (Previewer->OnAfterDraw)
            panel->OnAfterDraw = [previewer = TWatched<TChartPreviewer>(Previewer)](TObject* S) {
                if (previewer && previewer->OnAfterDraw) previewer->OnAfterDraw(S);
            };
        return form;
    };
}
