// The editor's entry points: empty until the editor fills them.
#include "chart/control/teeeditorhooks.h"

TTeeEditorHooks& TeeEditorHooks() {
    static TTeeEditorHooks hooks;
    return hooks;
}

void EditChart(TComponent* Owner, TCustomChart* Chart) {
    if (TeeEditorHooks().EditChart) TeeEditorHooks().EditChart(Owner, Chart);
}

void ChartPreview(TComponent* Owner, TCustomTeePanel* Panel) {
    if (TeeEditorHooks().ChartPreview) TeeEditorHooks().ChartPreview(Owner, Panel);
}

void TeeFillPictureDialog(TSaveDialog* Dialog, TCustomTeePanel* Panel, TStrings* Formats) {
    if (TeeEditorHooks().FillPictureDialog)
        TeeEditorHooks().FillPictureDialog(Dialog, Panel, Formats);
}

bool EditChartPen(TComponent* Owner, TChartPen* Pen, bool HideColor) {
    return TeeEditorHooks().EditChartPen && TeeEditorHooks().EditChartPen(Owner, Pen, HideColor);
}
