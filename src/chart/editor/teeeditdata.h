#pragma once
// The chart editor's Data tab: the data grid bound to the chart, its
// navigator, the four display switches and the grid's pop-up menu.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include <cstdint>

class TChartGrid;
class TChartGridNavigator;
class TChartSeries;
class TCustomChart;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TSpeedButton;

class TFormTeeData : public TForm {
    QM_CLASS(TFormTeeData)
public:
    explicit TFormTeeData(TComponent* AOwner);
    TPanel* PanelTop = nullptr;
    TChartGrid* ChartGrid1 = nullptr;
    TChartGridNavigator* ChartGridNavigator1 = nullptr;
    TSpeedButton* SBGridText = nullptr;
    TSpeedButton* SBGridCol = nullptr;
    TSpeedButton* SBGrid3D = nullptr;
    TSpeedButton* SBGridX = nullptr;
    TPopupMenu* PopupData = nullptr;
    TMenuItem* Deleterow1 = nullptr;

    // Binds the grid to the chart in Tag and sets the switches from it; with a
    // series in Tag the grid shows that series alone, without the switches.
    void FormShow(TObject* Sender);
    TCustomChart* Chart() const;
    TChartSeries* Series() const;

private:
    // What Tag named when it was set, read through a handle afterwards.
    TComponent* Bound() const;
    TControlBinder FBind;
};
