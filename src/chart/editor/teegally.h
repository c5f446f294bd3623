#pragma once
// The series gallery dialog: picks a series or function type by its live
// sample chart, and the routines that add a series, change one series' type
// or every series' type through it.
#include "chart/editor/teegallerypanel.h"
#include "platform/forms/forms.h"

class TButton;
class TCheckBox;
class TPanel;
class TTabControl;

class TTeeGallery : public TForm {
    QM_CLASS(TTeeGallery)
public:
    explicit TTeeGallery(TComponent* AOwner);

    TPanel* P1 = nullptr;
    TButton* BOk = nullptr;
    TButton* BCancel = nullptr;
    TCheckBox* CB3D = nullptr;
    TTabControl* TabTypes = nullptr;
    TTabControl* TabPages = nullptr;
    TChartGalleryPanel* ChartGalleryPanel1 = nullptr;

    void FormShow(TObject* Sender);
    void TabTypesChange(TObject* Sender);
    void TabPagesChange(TObject* Sender);
    // Removes the "Functions" tab.
    void HideFunctions();
};

bool GetChartGalleryClass(TComponent* AOwner, TChartSeries* OldSeries, bool ShowFunctions,
                          bool ChangeMode, TClass& SeriesClass, bool& Check3D,
                          TClass& FunctionClass, int& SubIndex);
TChartSeries* CreateNewSeriesGallery(TComponent* AOwner, TChartSeries* OldSeries,
                                     TCustomChart* AChart, bool AllowFunctions, bool ChangeMode,
                                     int& SubIndex);
void ChangeSeriesTypeGallery(TComponent* AOwner, TChartSeries*& ASeries);
void ChangeAllSeriesGallery(TComponent* AOwner, TCustomChart* AChart);
// Installs the series list's gallery hooks; nullptr arguments clear them.
void TeeInstallGalleryHooks(bool Install);
