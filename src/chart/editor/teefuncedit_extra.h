#pragma once
// Option panels of the financial and statistical functions, docked in the
// function page's "Options" tab. A change only enables the page's Apply
// button; the panel writes into the function when the page applies it.
#include "chart/editor/teebinder.h"
#include "chart/editor/teeediperi.h"
#include "chart/editor/teeformbuild.h"
#include "chart/control/tooledit.h"
#include "platform/forms/forms.h"

class TChartSeries;
class TTeeFunction;

class TMovAveFuncEditor : public TBaseFunctionEditor {
    QM_CLASS(TMovAveFuncEditor)
public:
    explicit TMovAveFuncEditor(TComponent* AOwner);
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    TComboFlat* CBStyle = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TExpAveFuncEditor : public TBaseFunctionEditor {
    QM_CLASS(TExpAveFuncEditor)
public:
    explicit TExpAveFuncEditor(TComponent* AOwner);
    TEdit* Edit1 = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TRMSFuncEditor : public TTeeFunctionEditor {
    QM_CLASS(TRMSFuncEditor)
public:
    explicit TRMSFuncEditor(TComponent* AOwner);
    TCheckBox* CBComplete = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TBollingerFuncEditor : public TBaseFunctionEditor {
    QM_CLASS(TBollingerFuncEditor)
public:
    explicit TBollingerFuncEditor(TComponent* AOwner);
    TEdit* ENum = nullptr;
    TUpDown* UpDown1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TEdit* Edit1 = nullptr;
    TButtonPen* ButtonPen1 = nullptr;
    TButtonPen* ButtonPen2 = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TMACDFuncEditor : public TBaseFunctionEditor {
    QM_CLASS(TMACDFuncEditor)
public:
    explicit TMACDFuncEditor(TComponent* AOwner);
    TEdit* ENum = nullptr;
    TUpDown* UpDown1 = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown2 = nullptr;
    TEdit* Edit2 = nullptr;
    TUpDown* UpDown3 = nullptr;
    TButtonPen* BHistogram = nullptr;
    TButtonPen* BMACDExp = nullptr;
    TButtonPen* BMACD = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TSmoothFuncEditor : public TBaseFunctionEditor {
    QM_CLASS(TSmoothFuncEditor)
public:
    explicit TSmoothFuncEditor(TComponent* AOwner);
    TCheckBox* CBInterp = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TPVOFuncEditor : public TBaseFunctionEditor {
    QM_CLASS(TPVOFuncEditor)
public:
    explicit TPVOFuncEditor(TComponent* AOwner);
    TEdit* EPeriod = nullptr;
    TUpDown* UDPeriod = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDPeriod2 = nullptr;
    TCheckBox* CBPercent = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TCCIFuncEditor : public TBaseFunctionEditor {
    QM_CLASS(TCCIFuncEditor)
public:
    explicit TCCIFuncEditor(TComponent* AOwner);
    TEdit* EConst = nullptr;
    TEdit* EPeriod = nullptr;
    TUpDown* UDPeriod = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TOBVFuncEditor : public TBaseFunctionEditor {
    QM_CLASS(TOBVFuncEditor)
public:
    explicit TOBVFuncEditor(TComponent* AOwner);
    TComboFlat* CBVolume = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;

private:
    TListedObjects* FVolumeItems = nullptr;
};

class TCLVFuncEditor : public TOBVFuncEditor {
    QM_CLASS(TCLVFuncEditor)
public:
    explicit TCLVFuncEditor(TComponent* AOwner);
    TCheckBox* CBAccumulate = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TCompressFuncEditor : public TBaseFunctionEditor {
    QM_CLASS(TCompressFuncEditor)
public:
    explicit TCompressFuncEditor(TComponent* AOwner);
    TRadioButton* RadioButton1 = nullptr;
    TComboFlat* CBPeriod = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TEdit* ENum = nullptr;
    TUpDown* UpDown1 = nullptr;

    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TADXFuncEditor : public TForm {
    QM_CLASS(TADXFuncEditor)
public:
    explicit TADXFuncEditor(TComponent* AOwner);
    TEdit* EPeriod = nullptr;
    TUpDown* UDPeriod = nullptr;
    TButtonPen* BUp = nullptr;
    TButtonPen* BDown = nullptr;

    void FormShow(TObject* Sender);
    // Makes the function when the series has none yet; closing is always allowed.
    bool CloseQuery() override;

private:
    TWatched<TTeeFunction> FFunction;
    TWatched<TChartSeries> FSeries;
    TControlBinder FBind;
};
