#pragma once
// The function page of the series page's "Data Source" tab: the function
// class, its source series (one with a value list, or several) and the
// function's own options page.
#include "chart/editor/teeedisour.h"
#include "chart/engine/teeaxispanel.h"
#include "platform/classes/watched.h"

class TComboFlat;
class TPageControl;
class TTabSheet;
class TBaseFunctionEditor;

class TTeeFuncEditor : public TBaseSourceEditor, public ITeeEventListener {
    QM_CLASS(TTeeFuncEditor)
public:
    explicit TTeeFuncEditor(TComponent* AOwner);
    ~TTeeFuncEditor() override;

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSource = nullptr;
    TTabSheet* TabOptions = nullptr;
    TPanel* PanSingle = nullptr;
    TComboFlat* CBSingle = nullptr;
    TLabel* LValues = nullptr;
    TComboFlat* CBValues = nullptr;
    TButton* BNone = nullptr;

    TSelectListForm* Picker() const { return FPicker; }
    TCustomForm* OptionsForm() const { return FOptions; }
    // The function class chosen, nullptr for "Copy".
    TClass ChosenClass() const;
    bool SingleSource() const { return FSingle; }

    void FormShow(TObject* Sender);
    void FillSourceSeries();
    void CBSingleChange(TObject* Sender);
    void BApplyClick(TObject* Sender);
    void TeeEvent(TTeeEvent* Event) override;

protected:
    void CBSourcesChange(TObject* Sender) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void JoinChart(TCustomAxisPanel* AChart);
    void SelectSingleValues();
    TSelectListForm* FPicker = nullptr;
    TCustomForm* FOptions = nullptr;
    TWatched<TCustomAxisPanel> FChart;
    TChartSeries* FRemoving = nullptr;
    bool FSingle = false;
};
