#pragma once
// Ways into the chart editor: each creates the editor for the chart, presets
// the page and the object it opens on, shows it modally and frees it.
#include "chart/control/chart.h"

class TChartAxis;
class TChartEditForm;
class TChartTitle;
class TChartWall;
class TTeeCustomTool;

void EditChartPage(TComponent* AOwner, TCustomChart* AChart, int PageIndex);
void EditChartLegend(TComponent* AOwner, TCustomChart* AChart);
void EditChartTitle(TComponent* AOwner, TChartTitle* ATitle);
void EditChartWall(TComponent* AOwner, TChartWall* AWall);
void EditChartAxis(TComponent* AOwner, TChartAxis* Axis);
void EditChartTool(TComponent* AOwner, TTeeCustomTool* ATool);
void EditSeries(TComponent* AOwner, TChartSeries* ASeries);
void EditSeriesMarks(TComponent* AOwner, TChartSeries* ASeries);
void EditSeriesDataSource(TComponent* AOwner, TChartSeries* ASeries);
void EditDSSChart(TComponent* AOwner, TCustomChart* AChart);
void EditChartPart(TComponent* AOwner, TCustomChart* AChart, const TChartClickedPart& Part);

// The editor for a chart with a routine that presets it before showing;
// shows it modally and frees it. EditChart of the chart control comes here.
void TeeRunChartEditor(TCustomChart* AChart, const std::function<void(TChartEditForm*)>& Preset);
// The editor created, bound, translated and help-checked, not yet shown.
std::unique_ptr<TChartEditForm> TeeCreateChartEditor(TCustomChart* AChart);
