#pragma once
// Option panels of the financial and statistical functions. A change only
// marks the panel changed (and enables the Apply button of the function page
// that holds it); the panel writes into the function when applied or closed.
#include "chart/editor/teeformbuild.h"
#include "chart/control/tooledit.h"
#include "platform/forms/forms.h"

class TChartSeries;
class TTeeFunction;

class TExtraFunctionEditor : public TForm {
    QM_CLASS(TExtraFunctionEditor)
public:
    explicit TExtraFunctionEditor(TComponent* AOwner);

    TTeeFunction* Function() const { return FFunction; }
    bool Changed() const { return FChanged; }
    void FormShow(TObject* Sender);
    // Writes the controls into the function, recalculating once at the end.
    // An exception of the function (a value it refuses) is shown; what it did
    // accept stays.
    void Apply();
    bool CloseQuery() override;

protected:
    virtual void SetFunction() {}
    virtual void ApplyFormChanges() {}
    // The function the panel makes when the series has none yet; none by default.
    virtual TTeeFunction* NewFunction() { return nullptr; }
    void EnableApply();
    // Change handlers of edits, boxes and lists that only enable Apply.
    void Watch(std::initializer_list<TControl*> Controls);

    TTeeFunction* FFunction = nullptr;
    TChartSeries* FSeries = nullptr;
    bool FFilling = false;

private:
    bool FChanged = false;
};

class TMovAveFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TMovAveFuncEditor)
public:
    explicit TMovAveFuncEditor(TComponent* AOwner);
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    TComboFlat* CBStyle = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TExpAveFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TExpAveFuncEditor)
public:
    explicit TExpAveFuncEditor(TComponent* AOwner);
    TEdit* Edit1 = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TRMSFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TRMSFuncEditor)
public:
    explicit TRMSFuncEditor(TComponent* AOwner);
    TCheckBox* CBComplete = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TBollingerFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TBollingerFuncEditor)
public:
    explicit TBollingerFuncEditor(TComponent* AOwner);
    TEdit* ENum = nullptr;
    TUpDown* UpDown1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TEdit* Edit1 = nullptr;
    TButtonPen* ButtonPen1 = nullptr;
    TButtonPen* ButtonPen2 = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TMACDFuncEditor : public TExtraFunctionEditor {
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

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TSmoothFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TSmoothFuncEditor)
public:
    explicit TSmoothFuncEditor(TComponent* AOwner);
    TCheckBox* CBInterp = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TPVOFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TPVOFuncEditor)
public:
    explicit TPVOFuncEditor(TComponent* AOwner);
    TEdit* EPeriod = nullptr;
    TUpDown* UDPeriod = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDPeriod2 = nullptr;
    TCheckBox* CBPercent = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TCCIFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TCCIFuncEditor)
public:
    explicit TCCIFuncEditor(TComponent* AOwner);
    TEdit* EConst = nullptr;
    TEdit* EPeriod = nullptr;
    TUpDown* UDPeriod = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TOBVFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TOBVFuncEditor)
public:
    explicit TOBVFuncEditor(TComponent* AOwner);
    TComboFlat* CBVolume = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TCLVFuncEditor : public TOBVFuncEditor {
    QM_CLASS(TCLVFuncEditor)
public:
    explicit TCLVFuncEditor(TComponent* AOwner);
    TCheckBox* CBAccumulate = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TCompressFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TCompressFuncEditor)
public:
    explicit TCompressFuncEditor(TComponent* AOwner);
    TRadioButton* RadioButton1 = nullptr;
    TComboFlat* CBPeriod = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TEdit* ENum = nullptr;
    TUpDown* UpDown1 = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
};

class TADXFuncEditor : public TExtraFunctionEditor {
    QM_CLASS(TADXFuncEditor)
public:
    explicit TADXFuncEditor(TComponent* AOwner);
    TEdit* EPeriod = nullptr;
    TUpDown* UDPeriod = nullptr;
    TButtonPen* BUp = nullptr;
    TButtonPen* BDown = nullptr;

protected:
    void SetFunction() override;
    void ApplyFormChanges() override;
    TTeeFunction* NewFunction() override;
};
