// Registers the data grid, its navigator and the tool editors by class name.
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeeditdata.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teetooledit_axis.h"
#include "chart/editor/teetooledit_series.h"
#include "chart/editor/teetooledit_shape.h"

void TeeRegisterDataAndToolEditors() {
    RegisterClass(&TChartGrid::ClassInfo);
    RegisterClass(&TChartGridNavigator::ClassInfo);
    RegisterClass(&TFormTeeData::ClassInfo);
    TeeRegisterAxisToolEditors();
    TeeRegisterSeriesToolEditorForms();
    TeeRegisterShapeToolEditors();
}
