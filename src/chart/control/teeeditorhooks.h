#pragma once
// What the chart control and its commander ask of the chart editor and the
// output dialogs. The editor fills the table when it starts; until then every
// entry point does nothing.
#include <functional>

class TChartPen;
class TComponent;
class TCustomChart;
class TCustomTeePanel;
class TStrings;
class TSaveDialog;

struct TTeeEditorHooks {
    // Opens the chart editor at its first page, modally.
    std::function<void(TComponent* Owner, TCustomChart* Chart)> EditChart;
    // Shows the print preview of a panel, modally, then repaints the panel.
    std::function<void(TComponent* Owner, TCustomTeePanel* Panel)> ChartPreview;
    // Appends one filter per picture format to the dialog and one format object per filter to the
    // list.
    std::function<void(TSaveDialog* Dialog, TCustomTeePanel* Panel, TStrings* Formats)>
        FillPictureDialog;
    // Edits the pen in place in the pen dialog; true when it closed with OK.
    std::function<bool(TComponent* Owner, TChartPen* Pen, bool HideColor)> EditChartPen;
};

TTeeEditorHooks& TeeEditorHooks();

void EditChart(TComponent* Owner, TCustomChart* Chart);
void ChartPreview(TComponent* Owner, TCustomTeePanel* Panel);
void TeeFillPictureDialog(TSaveDialog* Dialog, TCustomTeePanel* Panel, TStrings* Formats);
bool EditChartPen(TComponent* Owner, TChartPen* Pen, bool HideColor);
