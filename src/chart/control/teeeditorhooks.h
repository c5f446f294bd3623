#pragma once
// What the chart control, its commander and its editor components ask of the
// chart editor and the output dialogs. The editor fills the table when it
// starts; until then every entry point does nothing and no form is made.
#include <functional>
#include <memory>

class TChartEditorPanel;
class TChartPen;
class TChartPreviewer;
class TChartSeries;
class TComponent;
class TCustomChart;
class TCustomForm;
class TCustomTeePanel;
class TStrings;
class TSaveDialog;
struct TChartClickedPart;
struct TChartEditorSettings;

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

    // The forms the editor components show.
    // The chart editor form with the settings applied.
    std::function<std::unique_ptr<TCustomForm>(const TChartEditorSettings& Settings)>
        CreateEditForm;
    // The preview form with its preview panel bound to the previewer's chart and set from
    // its panel options, paper colour and after-draw event.
    std::function<std::unique_ptr<TCustomForm>(TChartPreviewer* Previewer)> CreatePreviewForm;
    // The editor form embedded in a panel (owned by the panel), its chart, and the page
    // that shows a clicked part of the chart.
    std::function<TCustomForm*(TChartEditorPanel* Panel)> CreatePanelEditForm;
    std::function<void(TCustomForm* Form, TCustomChart* Chart)> SetPanelEditChart;
    std::function<void(TCustomForm* Form, const TChartClickedPart& Part)> ShowPanelPart;
    // The editor form of one series' class, owned by Owner.
    std::function<TCustomForm*(TComponent* Owner, TChartSeries* Series)> CreateSeriesEditForm;
};

TTeeEditorHooks& TeeEditorHooks();

void EditChart(TComponent* Owner, TCustomChart* Chart);
void ChartPreview(TComponent* Owner, TCustomTeePanel* Panel);
void TeeFillPictureDialog(TSaveDialog* Dialog, TCustomTeePanel* Panel, TStrings* Formats);
bool EditChartPen(TComponent* Owner, TChartPen* Pen, bool HideColor);
