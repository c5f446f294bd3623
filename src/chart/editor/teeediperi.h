#pragma once
// The option pages of the functions, docked in the function editor's
// "Options" tab: the base page, the period page (number of points or range of
// X, alignment), the average's null switch and the custom function's range.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TButton;
class TCheckBox;
class TChartSeries;
class TComboFlat;
class TEdit;
class TLabel;
class TTeeFunction;

class TBaseFunctionEditor : public TForm {
    QM_CLASS(TBaseFunctionEditor)
public:
    explicit TBaseFunctionEditor(TComponent* AOwner);

    // Where a function that does not exist yet is made on closing: its
    // class and the series it computes.
    TClass FunctionClass = nullptr;
    TWatched<TChartSeries> Series;
    TWatched<TTeeFunction> IFunction;

    virtual void ApplyFormChanges() {}
    virtual void SetFunction() {}
    // Enables the Apply button of the function editor holding the page.
    void EnableApply();
    void FormShow(TObject* Sender);
    // Writes the controls into the function (made first when there is none).
    bool CloseQuery() override;

protected:
    // Set while the page reads the function; the binder's own guard covers
    // the controls bound through it.
    bool FShowing = false;
    TControlBinder FBind;
};

class TTeeFunctionEditor : public TBaseFunctionEditor {
    QM_CLASS(TTeeFunctionEditor)
public:
    explicit TTeeFunctionEditor(TComponent* AOwner);

    TEdit* ENum = nullptr;
    TButton* BChange = nullptr;
    TComboFlat* CBAlign = nullptr;
    TComboFlat* CBStyle = nullptr;

    void ApplyFormChanges() override;
    void SetFunction() override;
    void CBStyleChange(TObject* Sender);
    void BChangeClick(TObject* Sender);
};

class TAverageFuncEditor : public TTeeFunctionEditor {
    QM_CLASS(TAverageFuncEditor)
public:
    explicit TAverageFuncEditor(TComponent* AOwner);

    TCheckBox* CBNulls = nullptr;

    void ApplyFormChanges() override;
    void SetFunction() override;
};

class TCustomFunctionEditor : public TBaseFunctionEditor {
    QM_CLASS(TCustomFunctionEditor)
public:
    explicit TCustomFunctionEditor(TComponent* AOwner);

    TEdit* EStart = nullptr;
    TEdit* EStep = nullptr;
    TEdit* ENum = nullptr;

    void ApplyFormChanges() override;
    void SetFunction() override;
    bool CloseQuery() override;
};
