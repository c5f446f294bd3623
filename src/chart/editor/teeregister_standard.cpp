// Registers the editors of the standard series and functions, and the
// function and data-source pages, by the names series and functions return
// from GetEditorClass.
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teecustedit.h"
#include "chart/editor/teeedifunc.h"
#include "chart/editor/teeediperi.h"
#include "chart/editor/teepieedit.h"
#include "chart/editor/teepoiedi.h"
#include "chart/editor/teeseriesedit_more.h"

void TeeRegisterStandardEditors() {
    for (TClass c :
         {&TSeriesPointerEditor::ClassInfo, &TCustomSeriesEditor::ClassInfo,
          &TFastLineSeriesEditor::ClassInfo, &TAreaSeriesEditor::ClassInfo,
          &TCircledSeriesEditor::ClassInfo, &TPieSeriesEditor::ClassInfo,
          &TArrowSeriesEditor::ClassInfo, &TGanttSeriesEditor::ClassInfo,
          &TBubbleSeriesEditor::ClassInfo, &TChartShapeEditor::ClassInfo,
          &TBaseSourceEditor::ClassInfo, &TTeeFuncEditor::ClassInfo, &TSelectListForm::ClassInfo,
          &TBaseFunctionEditor::ClassInfo, &TTeeFunctionEditor::ClassInfo,
          &TAverageFuncEditor::ClassInfo, &TCustomFunctionEditor::ClassInfo})
        RegisterClass(c);
}
