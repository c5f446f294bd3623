#pragma once
// The series page of the chart editor: one series at a time, chosen in its
// combo box, with the series type's own editor form (found by class name) in
// its first tab and the general, marks and data-source tabs.
#include "chart/control/chart.h"
#include "chart/editor/teebinder.h"
#include "chart/engine/teesources.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include <vector>

class TButton;
class TButtonPen;
class TChartListBox;
class TCheckBox;
class TComboBox;
class TComboFlat;
class TEdit;
class TGroupBox;
class TImage;
class TLabel;
class TPageControl;
class TPaintBox;
class TPanel;
class TRadioGroup;
class TTabSheet;
class TTeeFunction;
class TUpDown;

class TFormTeeSeries : public TForm, public ITeeEventListener {
    QM_CLASS(TFormTeeSeries)
public:
    explicit TFormTeeSeries(TComponent* AOwner);
    ~TFormTeeSeries() override;

    TPanel* Panel1 = nullptr;
    TImage* ImageSeries = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    TLabel* LabelSeriesClass = nullptr;
    TComboBox* CBSeries = nullptr;
    TPageControl* PageSeries = nullptr;
    TTabSheet* TheTabSheet = nullptr;
    TTabSheet* TabGeneral = nullptr;
    TTabSheet* TabMarks = nullptr;
    TTabSheet* TabDataSource = nullptr;
    // General tab
    TCheckBox* CBShowInLegend = nullptr;
    TComboFlat* CBCursor = nullptr;
    TEdit* EDepth = nullptr;
    TUpDown* UDDepth = nullptr;
    TCheckBox* CBDepth = nullptr;
    TComboBox* CBFormat = nullptr;
    TEdit* EPercentFormat = nullptr;
    TGroupBox* GBHorizAxis = nullptr;
    TComboFlat* CBHorizAxis = nullptr;
    TCheckBox* CBXDateTime = nullptr;
    TGroupBox* GBVertAxis = nullptr;
    TComboFlat* CBVertAxis = nullptr;
    TCheckBox* CBYDateTime = nullptr;
    TComboFlat* CBSort = nullptr;
    TCheckBox* CBPersistent = nullptr;
    // Marks tab: style and arrows
    TPageControl* PageControlMarks = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TCheckBox* CBMarksVisible = nullptr;
    TCheckBox* CBMarkClip = nullptr;
    TEdit* SEMarksAngle = nullptr;
    TUpDown* UDMarksAngle = nullptr;
    TEdit* EMarksEvery = nullptr;
    TUpDown* UDEvery = nullptr;
    TCheckBox* CBMultiLine = nullptr;
    TCheckBox* CBAllVisible = nullptr;
    TRadioGroup* RGMarkStyle = nullptr;
    TButtonPen* BMarkLinCol = nullptr;
    TEdit* SEArrowLength = nullptr;
    TUpDown* UDArrowsLength = nullptr;
    TEdit* EArrowDist = nullptr;
    TUpDown* UDArrowDist = nullptr;
    TButton* BCalloutPointer = nullptr;
    TComboFlat* CBHead = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDHeadSize = nullptr;
    // Data source tab
    TComboBox* CBDataSourcestyle = nullptr;
    TButton* NewDataButton = nullptr;
    TButton* EditDataButton = nullptr;
    TButton* DeleteDataButton = nullptr;
    TPanel* PanelDataSource = nullptr;
    TPanel* Panel4 = nullptr;
    TEdit* ESamples = nullptr;
    TCheckBox* CBSamplesDefault = nullptr;
    TButton* BApplyRandom = nullptr;

    TChartSeries* TheSeries() const { return FTheSeries; }
    void SetTheSeries(TChartSeries* Value);
    TWatched<TChartListBox> ListBox;
    bool IsDssGraph = false;
    bool ShowTabDataSource = true;
    bool ShowTabGeneral = true;
    bool ShowTabMarks = true;

    // The per-type editor form now shown in "Format" (nullptr when none).
    TCustomForm* SeriesForm() const { return FSeriesForm; }
    TCustomForm* DataSourceForm() const { return FDataSourceForm; }

    // A further page of the series' editor: a tab captioned Caption at
    // TabPosition of PageSeries (last when out of range) holding a new form of
    // FormClass for AObject; nullptr when the class is no form.
    TCustomForm* InsertSeriesForm(TClass FormClass, int TabPosition, const AnsiString& Caption,
                                  TPersistent* AObject);
    // Embeds a form of the series' editor in Tab for AObject, translated; it
    // goes, and a further tab with it, when the series changes.
    void AddToTab(TCustomForm* Form, TTabSheet* Tab, TPersistent* AObject);
    // An empty further tab at TabPosition (last when out of range).
    TTabSheet* AddSeriesTab(int TabPosition, const AnsiString& Caption);
    // Where a series editor's further pages go unless it names a place:
    // after the type's own page and the further pages added before.
    int ExtraTabPosition() const;

    void SetCBSeries();
    void CBSeriesChange(TObject* Sender);
    void PageSeriesChange(TObject* Sender);
    void FillAxes();
    void DestroySeriesForms();
    void SetTabDataSource();
    void CreateDataSourceForm();
    void CBDataSourcestyleChange(TObject* Sender);
    bool CloseQuery() override;
    void TeeEvent(TTeeEvent* Event) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // The general, marks and samples controls (built, filled and written
    // back in their own unit).
    void CreateGeneralTab();
    void CreateMarksTab();
    void CreateSamplesPanel();
    void FillGeneralTab();
    void FillMarksTab();
    void FillSamples();
    int ShownSampleCount() const;
    bool AllMarksVisible() const;
    void EnableMultiLine();
    void PaintSwatch();
    void SwatchClick();
    void JoinChart(TCustomAxisPanel* AChart);
    // Rows from 3 on: the registered source classes available for the chart.
    void FillDataSources(TCustomAxisPanel* AChart);
    const TTeeSourceClass* SourceClassAt(int Row) const;
    std::vector<TClass> FSourceRows;
    TWatched<TChartSeries> FTheSeries;
    TWatched<TChartSeries> FLastSeries;
    TCustomForm* FSeriesForm = nullptr;
    std::vector<TCustomForm*> FSeriesForms;
    TCustomForm* FDataSourceForm = nullptr;
    TWatched<TCustomAxisPanel> FListenedChart;
    int FDataChoice = -1;
    TControlBinder FBind{[this] { return FTheSeries != nullptr; }};
    TCustomForm* FMarksForm = nullptr;
};

// The editor form class of a series' type, or nullptr when it has none.
TClass SeriesEditorForm(TChartSeries* ASeries);
// The editor form class of a function, or nullptr.
TClass FunctionEditorForm(TTeeFunction* AFunction);
// The series page whose page control holds the tab a form is docked in; nullptr
// when the form is docked elsewhere.
TFormTeeSeries* TeeSeriesPageOf(TControl* Form);
// Embeds a form in a further tab: through the series page when the tab is
// one of its pages, else as any docked form.
void TeeAddToTab(TCustomForm* Form, TTabSheet* Tab, TPersistent* AObject);
// Creates an editor form by class owned by AOwner; nullptr when the class is not a form.
TCustomForm* TeeCreateFormByClass(TClass AClass, TComponent* AOwner);

using TOnCreateEditSeries = std::function<void(TFormTeeSeries* Form, TCustomAxisPanel* Chart)>;
extern TOnCreateEditSeries InternalOnCreateEditSeries;
extern TOnCreateEditSeries InternalOnCreateEditSeriesObj;
