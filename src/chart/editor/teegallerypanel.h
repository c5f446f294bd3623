#pragma once
// The grid of live sample charts the series gallery picks from: one small
// chart a registered series (or function) type of a gallery page.
#include "chart/control/chart.h"
#include "chart/engine/teepanel.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include <vector>

class TChartGalleryPanel;
class TPaintBox;

class TGalleryChart : public TCustomChart {
    QM_CLASS(TGalleryChart)
public:
    explicit TGalleryChart(TComponent* AOwner);
    bool Enabled3D = true; // false: shown disabled, cannot be chosen
};

// Gradient end colour of the selected sample chart.
extern TColor clTeeGallery;
// Axis labels of the sample charts only while the gallery is maximised.
extern bool TeeGalleryCheckMaximize;

class TChartGalleryPanel : public TCustomPanelNoCaption {
    QM_CLASS(TChartGalleryPanel)
public:
    explicit TChartGalleryPanel(TComponent* AOwner);
    ~TChartGalleryPanel() override;

    void CreateGalleryPage(const AnsiString& Page);
    void CreateChartList(const std::vector<std::pair<TClass, TClass>>& Classes);
    void SelectChart(TGalleryChart* Chart);
    void ShowSelectedChart();
    void FindSelectedChart();
    // The chosen series and function class and sub-style; false when none is chosen.
    bool GetSeriesClass(TClass& SeriesClass, TClass& FunctionClass, int& SubIndex) const;
    void ResizeCharts();
    void Clear();
    // Opens the sub-styles of the selected chart's type under it; true when
    // one was chosen (the selected chart then shows it).
    bool ShowSubGallery();
    // Fills the panel with one sample chart per sub-style of a series type,
    // each chart's tag its sub-style index.
    void CreateSubCharts(TClass SeriesClass, TClass FunctionClass);

    bool DisplaySub = true;
    int NumRows() const { return FNumRows; }
    void SetNumRows(int Value);
    int NumCols() const { return FNumCols; }
    void SetNumCols(int Value);
    bool View3D() const { return FView3D; }
    void SetView3D(bool Value);
    bool FunctionsVisible = false;
    // Change mode: the series whose type is being changed.
    bool ChangeMode = false;
    TWatched<TChartSeries> ChangingSeries;

    const std::vector<TGalleryChart*>& Charts() const { return FCharts; }
    TGalleryChart* SelectedChart() const { return FSelectedChart; }

    TNotifyEvent OnSelectedChart;
    TNotifyEvent OnChangeChart;
    TNotifyEvent OnSubSelected;

protected:
    void Resize() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TGalleryChart* CreateSampleChart(TClass SeriesClass, TClass FunctionClass,
                                     const AnsiString& Description, int NumSeries);
    void SetMargins(TGalleryChart* Chart);
    void FocusChart(TGalleryChart* Chart, bool Focused);
    void MoveSelection(int DCol, int DRow);
    void ApplySubStyle(TGalleryChart* Chart, int Index);

    std::vector<TGalleryChart*> FCharts;
    TGalleryChart* FSelectedChart = nullptr;
    int FNumRows = 3;
    int FNumCols = 4;
    bool FView3D = true;
};

// The borderless window of sub-styles opened under a sample chart.
class TTeeSubGallery : public TForm {
    QM_CLASS(TTeeSubGallery)
public:
    explicit TTeeSubGallery(TComponent* AOwner);
    TPaintBox* Strip = nullptr;
    TChartGalleryPanel* Gallery = nullptr;
};
