#pragma once
// The chart editor window: the series list and the chart-wide pages, the
// series page, data, tools, export and print tabs. Pages are built the first
// time their tab shows; page forms are found by class name, so a page whose
// form is not registered shows empty.
#include "chart/control/chart.h"
#include "chart/control/teeedit.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include <functional>

class TButton;
class TChartAxis;
class TChartListBox;
class TChartTitle;
class TChartWall;
class TFormTeeSeries;
class TPageControl;
class TPanel;
class TSpeedButton;
class TTabSheet;
class TTeeCustomTool;

class TChartEditForm : public TForm {
    QM_CLASS(TChartEditForm)
public:
    explicit TChartEditForm(TComponent* AOwner);
    ~TChartEditForm() override;

    TPageControl* MainPage = nullptr;
    TTabSheet* TabChart = nullptr;
    TPageControl* SubPage = nullptr;
    TTabSheet* TabSeriesList = nullptr;
    TTabSheet* TabGeneral = nullptr;
    TTabSheet* TabAxis = nullptr;
    TTabSheet* TabTitle = nullptr;
    TTabSheet* TabLegend = nullptr;
    TTabSheet* TabPanel = nullptr;
    TTabSheet* TabPaging = nullptr;
    TTabSheet* TabWalls = nullptr;
    TTabSheet* Tab3D = nullptr;
    TTabSheet* TabSeries = nullptr;
    TTabSheet* TabData = nullptr;
    TTabSheet* TabTools = nullptr;
    TTabSheet* TabExport = nullptr;
    TTabSheet* TabPrint = nullptr;
    TChartListBox* LBSeries = nullptr;
    TSpeedButton* BMoveUP = nullptr;
    TSpeedButton* BMoveDown = nullptr;
    TButton* BAddSeries = nullptr;
    TButton* BDeleteSeries = nullptr;
    TButton* BRenameSeries = nullptr;
    TButton* BCloneSeries = nullptr;
    TButton* BChangeTypeSeries = nullptr;
    TPanel* PanBottom = nullptr;
    TButton* ButtonHelp = nullptr;
    TButton* BClose = nullptr;

    TWatched<TCustomChart> TheChart;
    TCustomForm* PreviewForm = nullptr;
    TWatched<TChartAxis> TheAxis;
    TWatched<TChartTitle> TheTitle;
    TWatched<TTeeCustomTool> TheTool;
    TWatched<TChartWall> TheWall;
    TWatched<TChartSeries> AddedSeries;
    TWatched<TChartSeries> TheEditSeries;
    int DefaultTab = -1;
    TChartEditorHiddenTabs HideTabs;
    TChartEditorOptions EditorOptions;
    bool IsDssGraph = false;
    TFormTeeSeries* TheFormSeries = nullptr;
    bool HighLightTabs = false;
    bool RememberPosition = false;

    void SetChart(TCustomChart* AChart);
    void CheckHelpFile();
    void SetTabSeries();
    void MainPageChange(TObject* Sender);
    void SubPageChange(TObject* Sender);
    void FormShow(TObject* Sender);
    void LBSeriesRefreshButtons(TObject* Sender);
    void LBSeriesEditSeries(TObject* Sender);
    bool CloseQuery() override;

    void BAddSeriesClick(TObject* Sender);
    void BDeleteSeriesClick(TObject* Sender);
    void BChangeTypeSeriesClick(TObject* Sender);
    void BRenameSeriesClick(TObject* Sender);
    void BCloneSeriesClick(TObject* Sender);
    void ButtonHelpClick(TObject* Sender);

    // The page form embedded in a tab (nullptr before its first showing).
    TCustomForm* PageForm(TTabSheet* Tab) const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Frees the pages built for the chart edited before, and what they chose
    // of it, then builds the pages showing again for the chart now edited.
    void RebuildPages();
    void AfterSeriesListChange();
    TTabSheet* SubTab(int Index) const;
};

// Called at every show of the editor (nullptr by default).
extern std::function<void(TChartEditForm* Form)> TeeOnShowEditor;

// The full name of the designer's help file (empty when none is registered).
AnsiString GetChartHelpFile();

// The settings store key of the remembered window position.
extern const char* const EditorSettingsKey;
