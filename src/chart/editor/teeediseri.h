#pragma once
// The series page of the chart editor: one series at a time, chosen in its
// combo box, with the series type's own editor form (found by class name) in
// its first tab and the general, marks and data-source tabs.
#include "chart/control/chart.h"
#include "platform/forms/forms.h"

class TChartListBox;
class TCheckBox;
class TComboBox;
class TLabel;
class TPageControl;
class TPanel;
class TTabSheet;
class TTeeFunction;

class TFormTeeSeries : public TForm, public ITeeEventListener {
    QM_CLASS(TFormTeeSeries)
public:
    explicit TFormTeeSeries(TComponent* AOwner);
    ~TFormTeeSeries() override;

    TPanel* Panel1 = nullptr;
    TLabel* LabelSeriesClass = nullptr;
    TComboBox* CBSeries = nullptr;
    TPageControl* PageSeries = nullptr;
    TTabSheet* TheTabSheet = nullptr;
    TTabSheet* TabGeneral = nullptr;
    TTabSheet* TabMarks = nullptr;
    TTabSheet* TabDataSource = nullptr;
    TCheckBox* CBShowInLegend = nullptr;
    TCheckBox* CBMarksVisible = nullptr;
    TComboBox* CBDataSourcestyle = nullptr;
    TPanel* PanelDataSource = nullptr;

    TChartSeries* TheSeries() const { return FTheSeries; }
    void SetTheSeries(TChartSeries* Value);
    TChartListBox* ListBox = nullptr;
    bool IsDssGraph = false;
    bool ShowTabDataSource = true;
    bool ShowTabGeneral = true;
    bool ShowTabMarks = true;

    // The per-type editor form now shown in "Format" (nullptr when none).
    TCustomForm* SeriesForm() const { return FSeriesForm; }
    TCustomForm* DataSourceForm() const { return FDataSourceForm; }

    void SetCBSeries();
    void CBSeriesChange(TObject* Sender);
    void PageSeriesChange(TObject* Sender);
    void DestroySeriesForms();
    void SetTabDataSource();
    void CreateDataSourceForm();
    void CBDataSourcestyleChange(TObject* Sender);
    bool CloseQuery() override;
    void TeeEvent(TTeeEvent* Event) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void JoinChart(TCustomAxisPanel* AChart);
    TChartSeries* FTheSeries = nullptr;
    TChartSeries* FLastSeries = nullptr;
    TCustomForm* FSeriesForm = nullptr;
    TCustomForm* FDataSourceForm = nullptr;
    TCustomAxisPanel* FListenedChart = nullptr;
    int FDataChoice = -1;
    bool FChanging = false;
};

// The editor form class of a series' type, or nullptr when it has none.
TClass SeriesEditorForm(TChartSeries* ASeries);
// The editor form class of a function, or nullptr.
TClass FunctionEditorForm(TTeeFunction* AFunction);
// Creates an editor form by class owned by AOwner; nullptr when the class is not a form.
TCustomForm* TeeCreateFormByClass(TClass AClass, TComponent* AOwner);

using TOnCreateEditSeries = std::function<void(TFormTeeSeries* Form, TCustomAxisPanel* Chart)>;
extern TOnCreateEditSeries InternalOnCreateEditSeries;
extern TOnCreateEditSeries InternalOnCreateEditSeriesObj;
