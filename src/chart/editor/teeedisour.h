#pragma once
// What the data-source pages of the series page share: the base form with its
// source choice and Apply button, and the two-list picker of source series.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include <functional>

class TButton;
class TChartSeries;
class TComboFlat;
class TLabel;
class TListBox;
class TPanel;
class TStrings;

class TBaseSourceEditor : public TForm {
    QM_CLASS(TBaseSourceEditor)
public:
    explicit TBaseSourceEditor(TComponent* AOwner);

    TPanel* Pan = nullptr;
    TLabel* LLabel = nullptr;
    TComboFlat* CBSources = nullptr;
    TButton* BApply = nullptr;

    // The series the form was docked for (from its tag, on show).
    TChartSeries* TheSeries() const { return FSeries; }
    // Lists series the chart would refuse as sources of this one too.
    bool AllowRefusedSources = false;

    // Unapplied changes ask "Apply Changes ?": Yes applies, No drops them,
    // Cancel keeps the form.
    bool CloseQuery() override;
    void FormShow(TObject* Sender);

    // Adds AComponent to AItems when it may feed this series; false when skipped.
    bool AddComponentDataSource(TComponent* AComponent, TStrings* AItems);
    // Makes NewSource the series' only data source.
    void CheckReplaceSource(TComponent* NewSource);

protected:
    virtual void CBSourcesChange(TObject* Sender);
    virtual bool IsValid(TComponent* AComponent);
    TWatched<TChartSeries> FSeries;
    // CBSources reaches CBSourcesChange through it once the form is shown.
    TControlBinder FBind;
};

class TSelectListForm : public TForm {
    QM_CLASS(TSelectListForm)
public:
    explicit TSelectListForm(TComponent* AOwner);

    TListBox* FromList = nullptr;
    TListBox* ToList = nullptr;
    TButton* BRightOne = nullptr;
    TButton* BRightAll = nullptr;
    TButton* BLeftOne = nullptr;
    TButton* BLeftAll = nullptr;
    TButton* BMoveUP = nullptr;
    TButton* BMoveDown = nullptr;

    std::function<void(TObject*)> OnChange;
    void EnableButtons();

private:
    void Changed();
    void Move(int Delta);
    void MoveOne(TListBox* From, TListBox* To);
};
