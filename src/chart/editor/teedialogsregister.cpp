// Registers the dialogs, pages and series editors of this half of the editor
// by class name, so pages and series can create them from GetEditorClass.
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeaxisincr.h"
#include "chart/editor/teebaredit.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeedigene.h"
#include "chart/editor/teependlg.h"

void TeeRegisterEditorDialogs() {
    TeeInstallPenDialogHook();
    for (TClass c :
         {&TPenDialog::ClassInfo, &TBrushDialog::ClassInfo, &TTeeGradientEditor::ClassInfo,
          &TTeeShadowEditor::ClassInfo, &TTeeFontEditor::ClassInfo, &TAxisIncrement::ClassInfo,
          &TAxisMaxMin::ClassInfo, &TFormTeeAxis::ClassInfo, &TFormTeeGeneral::ClassInfo,
          &TFormTeePage::ClassInfo})
        RegisterClass(c);
}

void TeeRegisterSeriesEditors() {
    for (TClass c : {&TBarSeriesEditor::ClassInfo, &TStackBarSeriesEditor::ClassInfo})
        RegisterClass(c);
}
