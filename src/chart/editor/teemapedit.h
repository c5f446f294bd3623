#pragma once
// The map series page: brush and border of the map, and its polygons with the
// text, Z value, pen, brush, colour, gradient and points of the one selected.
#include "chart/editor/teeextrapage.h"

class TChartGrid;
class TChartGridNavigator;
class TChartListBox;
class TMapSeries;
class TSpeedButton;
class TSplitter;
class TTeePolygon;

class TMapSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TMapSeriesEditor)
public:
    explicit TMapSeriesEditor(TComponent* AOwner);

    TPageControl* PageControl2 = nullptr;
    TTabSheet* TabGlobal = nullptr;
    TTabSheet* TabShapes = nullptr;
    TButton* BMapBrush = nullptr;
    TButtonPen* ButtonPen1 = nullptr;
    TPanel* PanelList = nullptr;
    TChartListBox* ChartListBox1 = nullptr;
    TSpeedButton* SBAdd = nullptr;
    TSpeedButton* SBDelete = nullptr;
    TSplitter* Splitter1 = nullptr;
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabFormat = nullptr;
    TTabSheet* TabData = nullptr;
    TEdit* EText = nullptr;
    TEdit* EditZ = nullptr;
    TButtonPen* ButtonPen2 = nullptr;
    TCheckBox* CBGlobalPen = nullptr;
    TButton* BBrush = nullptr;
    TCheckBox* CBGlobalBrush = nullptr;
    TButtonColor* ButtonColor1 = nullptr;
    TButton* BGradient = nullptr;
    // The selected polygon's points.
    TChartGrid* ChartGrid1 = nullptr;
    TChartGridNavigator* ChartGridNavigator1 = nullptr;

    void FillShapes();
    void EnableTabs();
    void ChartListBox1Click();
    void AddShape();
    void DeleteShape();
    TTeePolygon* SelectedShape() const;

protected:
    void ShowSeries() override;
    void AddPages() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMapSeries* Map() const;
    void CreateGrid();
};
