// Registers the editors of the further series and functions by class name.
#include "chart/editor/teecandledit.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teefuncedit_extra.h"
#include "chart/editor/teegaugeedit.h"
#include "chart/editor/teegrid3dedit.h"
#include "chart/editor/teemapedit.h"
#include "chart/editor/teepolaredit.h"
#include "chart/editor/teestatedit.h"
#include "chart/editor/teesurfaedit.h"

void TeeRegisterExtraSeriesEditors() {
    for (TClass c :
         {// 3D and grid series
          &TGrid3DSeriesEditor::ClassInfo, &TColorGridEditor::ClassInfo,
          &TSurfaceSeriesEditor::ClassInfo, &TWaterFallEditor::ClassInfo,
          &TContourSeriesEditor::ClassInfo, &TPoint3DSeriesEditor::ClassInfo,
          &TTriSurfaceSeriesEditor::ClassInfo, &TVectorSeriesEditor::ClassInfo,
          &TTowerSeriesEditor::ClassInfo,
          // financial and statistical series
          &TCandleEditor::ClassInfo, &TVolumeSeriesEditor::ClassInfo,
          &TErrorSeriesEditor::ClassInfo, &THighLowEditor::ClassInfo,
          &THistogramSeriesEditor::ClassInfo, &TPointFigureEditor::ClassInfo,
          &TImageBarSeriesEditor::ClassInfo, &TLinePointEditor::ClassInfo,
          &TBarJoinEditor::ClassInfo,
          // polar, gauge and shaped series, map
          &TPolarSeriesEditor::ClassInfo, &TWindRoseEditor::ClassInfo, &TClockEditor::ClassInfo,
          &TSmithSeriesEdit::ClassInfo, &TGaugeSeriesEditor::ClassInfo,
          &TBoxSeriesEditor::ClassInfo, &TDonutSeriesEditor::ClassInfo,
          &TPyramidSeriesEditor::ClassInfo, &TFunnelSeriesEditor::ClassInfo,
          &TCalendarSeriesEditor::ClassInfo, &TMapSeriesEditor::ClassInfo,
          // functions
          &TMovAveFuncEditor::ClassInfo, &TExpAveFuncEditor::ClassInfo, &TRMSFuncEditor::ClassInfo,
          &TBollingerFuncEditor::ClassInfo, &TMACDFuncEditor::ClassInfo,
          &TSmoothFuncEditor::ClassInfo, &TPVOFuncEditor::ClassInfo, &TCCIFuncEditor::ClassInfo,
          &TOBVFuncEditor::ClassInfo, &TCLVFuncEditor::ClassInfo, &TCompressFuncEditor::ClassInfo,
          &TADXFuncEditor::ClassInfo})
        RegisterClass(c);
}
