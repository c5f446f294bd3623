// Option panels of the financial and statistical functions.
//   base panel              TExtraFunctionEditor: fill on show, apply on close
//   averages and spread     moving and exponential average, RMS, Bollinger, MACD, smoothing
//   volume functions        PVO, CCI, OBV, CLV, OHLC compression
//   ADX                     TADXFuncEditor
#include "chart/editor/teefuncedit_extra.h"

#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teesources.h"
#include "chart/series/curvfitt.h"
#include "chart/series/statchar.h"
#include "chart/series/teevolumefunctions.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include <cmath>

QM_CLASS_OWNED(TExtraFunctionEditor, TForm, TComponent)
QM_CLASS_OWNED(TMovAveFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TExpAveFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TRMSFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TBollingerFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TMACDFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TSmoothFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TPVOFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TCCIFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TOBVFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TCLVFuncEditor, TOBVFuncEditor, TComponent)
QM_CLASS_OWNED(TCompressFuncEditor, TExtraFunctionEditor, TComponent)
QM_CLASS_OWNED(TADXFuncEditor, TExtraFunctionEditor, TComponent)

namespace {
template <typename T> T* As(TTeeFunction* F) {
    return dynamic_cast<T*>(F);
}
int RoundedPeriod(double V) {
    return std::isfinite(V) ? static_cast<int>(std::lround(std::clamp(V, -2e9, 2e9))) : 0;
}
// The number in an edit; the current value when the text is not one.
double NumberOr(TEdit* E, double Current) {
    double v;
    return TryStrToFloat(Trim(E->Text()), v) ? v : Current;
}
} // namespace

// ---------------------------------------------------------------------------
// TExtraFunctionEditor

TExtraFunctionEditor::TExtraFunctionEditor(TComponent* AOwner) : TForm(AOwner) {
    SetAlign(alClient);
    SetClientWidth(300);
    SetClientHeight(120);
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TExtraFunctionEditor::FormShow(TObject*) {
    TObject* tag = reinterpret_cast<TObject*>(Tag());
    if (auto* f = dynamic_cast<TTeeFunction*>(tag)) {
        FFunction = f;
        FSeries = f->ParentSeries();
    } else if (auto* s = dynamic_cast<TChartSeries*>(tag)) {
        FSeries = s;
        FFunction = s->FunctionType();
    }
    if (FFunction) {
        FFilling = true;
        struct TGuard {
            bool& Flag;
            ~TGuard() { Flag = false; }
        } guard{FFilling};
        SetFunction();
    }
    FChanged = false;
}

void TExtraFunctionEditor::EnableApply() {
    if (FFilling) return;
    FChanged = true;
    for (TComponent* o = Owner(); o; o = o->Owner())
        if (auto* apply = dynamic_cast<TControl*>(o->FindComponent("BApply"))) {
            apply->SetEnabled(true);
            break;
        }
}

void TExtraFunctionEditor::Watch(std::initializer_list<TControl*> Controls) {
    for (TControl* c : Controls) {
        if (auto* e = dynamic_cast<TEdit*>(c))
            e->OnChange = [this](TObject*) { EnableApply(); };
        else if (auto* cb = dynamic_cast<TComboBox*>(c))
            cb->OnChange = [this](TObject*) { EnableApply(); };
        else
            c->OnClick = [this](TObject*) { EnableApply(); };
    }
}

void TExtraFunctionEditor::Apply() {
    if (!FFunction && FSeries && !FSeries->FunctionType())
        if ((FFunction = NewFunction())) FSeries->SetFunction(FFunction);
    if (!FFunction) return;
    FFunction->BeginUpdate();
    // One recalculation, on every path.
    struct TEnd {
        TTeeFunction* F;
        ~TEnd() { F->EndUpdate(); }
    } end{FFunction};
    try {
        ApplyFormChanges();
    } catch (const Exception& E) {
        ShowMessage(E.Message);
    }
    FChanged = false;
}

bool TExtraFunctionEditor::CloseQuery() {
    if (FChanged || !FFunction) Apply();
    return TForm::CloseQuery();
}

// ---------------------------------------------------------------------------
// Averages and spread

TMovAveFuncEditor::TMovAveFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    UpDown1 = TeeNewUpDown(this, this, "Edit1", "UpDown1", 80, 8, 50, 1, 32767, &Edit1);
    UpDown1->SetPosition(1);
    TeeNewLabel(this, this, "&Period:", 8, 12, Edit1);
    CBStyle = TeeNewCombo(this, this, "CBStyle", 80, 38, 130,
                          {"Normal", "Weighted", "Weighted by Index"});
    TeeNewLabel(this, this, "&Average:", 8, 42, CBStyle);
    Watch({Edit1, CBStyle});
}

void TMovAveFuncEditor::SetFunction() {
    UpDown1->SetPosition(RoundedPeriod(FFunction->Period()));
    auto* f = As<TMovingAverageFunction>(FFunction);
    CBStyle->SetItemIndex(!f ? 0 : f->Weighted() ? 1 : f->WeightedIndex() ? 2 : 0);
}

void TMovAveFuncEditor::ApplyFormChanges() {
    FFunction->SetPeriod(UpDown1->Position());
    if (auto* f = As<TMovingAverageFunction>(FFunction)) {
        f->SetWeighted(CBStyle->ItemIndex() == 1);
        f->SetWeightedIndex(CBStyle->ItemIndex() == 2);
    }
}

TExpAveFuncEditor::TExpAveFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    Edit1 = TeeNew<TEdit>(this, this, "Edit1", 80, 8, 70, 21);
    Edit1->SetText("0.2");
    TeeNewLabel(this, this, "&Weight:", 8, 12, Edit1);
    Watch({Edit1});
}

void TExpAveFuncEditor::SetFunction() {
    if (auto* f = As<TExpAverageFunction>(FFunction)) Edit1->SetText(FloatToStr(f->Weight()));
}

void TExpAveFuncEditor::ApplyFormChanges() {
    // A weight outside the function's range raises its message; the old weight stays.
    if (auto* f = As<TExpAverageFunction>(FFunction)) f->SetWeight(StrToFloat(Trim(Edit1->Text())));
}

TRMSFuncEditor::TRMSFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    CBComplete = TeeNewCheck(this, this, "CBComplete", "C&omplete R.M.S.", 8, 10, 160);
    Watch({CBComplete});
}

void TRMSFuncEditor::SetFunction() {
    if (auto* f = As<TStdDeviationFunction>(FFunction)) CBComplete->SetChecked(f->Complete());
}

void TRMSFuncEditor::ApplyFormChanges() {
    if (auto* f = As<TStdDeviationFunction>(FFunction)) f->SetComplete(CBComplete->Checked());
}

TBollingerFuncEditor::TBollingerFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    UpDown1 = TeeNewUpDown(this, this, "ENum", "UpDown1", 80, 8, 50, 0, 30000, &ENum);
    TeeNewLabel(this, this, "&Period:", 8, 12, ENum);
    Edit1 = TeeNew<TEdit>(this, this, "Edit1", 80, 38, 66, 21);
    TeeNewLabel(this, this, "&Deviation:", 8, 42, Edit1);
    CheckBox1 = TeeNewCheck(this, this, "CheckBox1", "&Exponential", 8, 70, 110);
    ButtonPen1 = TeeNewButton<TButtonPen>(this, this, "ButtonPen1", "&Upper...", 170, 6, 85);
    ButtonPen2 = TeeNewButton<TButtonPen>(this, this, "ButtonPen2", "&Lower...", 170, 36, 85);
    Watch({ENum, Edit1, CheckBox1});
}

void TBollingerFuncEditor::SetFunction() {
    UpDown1->SetPosition(RoundedPeriod(FFunction->Period()));
    if (auto* f = As<TBollingerFunction>(FFunction)) {
        CheckBox1->SetChecked(f->Exponential());
        Edit1->SetText(FloatToStr(f->Deviation()));
        ButtonPen1->LinkPen(f->UpperBandPen());
        ButtonPen2->LinkPen(f->LowBandPen());
    }
}

void TBollingerFuncEditor::ApplyFormChanges() {
    FFunction->SetPeriod(UpDown1->Position());
    if (auto* f = As<TBollingerFunction>(FFunction)) {
        f->SetExponential(CheckBox1->Checked());
        f->SetDeviation(NumberOr(Edit1, f->Deviation()));
    }
}

TMACDFuncEditor::TMACDFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    UpDown1 = TeeNewUpDown(this, this, "ENum", "UpDown1", 80, 8, 50, 0, 30000, &ENum);
    TeeNewLabel(this, this, "Period &1:", 8, 12, ENum);
    UpDown2 = TeeNewUpDown(this, this, "Edit1", "UpDown2", 80, 38, 50, 0, 30000, &Edit1);
    TeeNewLabel(this, this, "Period &2:", 8, 42, Edit1);
    UpDown3 = TeeNewUpDown(this, this, "Edit2", "UpDown3", 80, 68, 50, 0, 30000, &Edit2);
    TeeNewLabel(this, this, "Period &3:", 8, 72, Edit2);
    BHistogram = TeeNewButton<TButtonPen>(this, this, "BHistogram", "&Histogram...", 170, 6, 100);
    BMACDExp = TeeNewButton<TButtonPen>(this, this, "BMACDExp", "&Exp. Line...", 170, 36, 100);
    BMACD = TeeNewButton<TButtonPen>(this, this, "BMACD", "&MACD...", 170, 66, 100);
    Watch({ENum, Edit1, Edit2});
}

void TMACDFuncEditor::SetFunction() {
    UpDown1->SetPosition(RoundedPeriod(FFunction->Period()));
    if (auto* f = As<TMACDFunction>(FFunction)) {
        UpDown2->SetPosition(RoundedPeriod(f->Period2()));
        UpDown3->SetPosition(f->Period3());
        BHistogram->LinkPen(f->HistogramPen());
        BMACDExp->LinkPen(f->MACDExpPen());
        BMACD->LinkPen(f->MACDPen());
    }
}

void TMACDFuncEditor::ApplyFormChanges() {
    FFunction->SetPeriod(UpDown1->Position());
    if (auto* f = As<TMACDFunction>(FFunction)) {
        f->SetPeriod2(UpDown2->Position());
        f->SetPeriod3(UpDown3->Position());
    }
}

TSmoothFuncEditor::TSmoothFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    CBInterp = TeeNewCheck(this, this, "CBInterp", "&Interpolate", 8, 10, 110);
    UpDown1 = TeeNewUpDown(this, this, "Edit1", "UpDown1", 80, 36, 50, 1, 1000, &Edit1);
    TeeNewLabel(this, this, "&Factor:", 8, 40, Edit1);
    Watch({CBInterp, Edit1});
}

void TSmoothFuncEditor::SetFunction() {
    if (auto* f = As<TSmoothingFunction>(FFunction)) {
        CBInterp->SetChecked(f->Interpolate());
        UpDown1->SetPosition(f->Factor());
    }
}

void TSmoothFuncEditor::ApplyFormChanges() {
    if (auto* f = As<TSmoothingFunction>(FFunction)) {
        f->SetInterpolate(CBInterp->Checked());
        f->SetFactor(UpDown1->Position());
    }
}

// ---------------------------------------------------------------------------
// Volume functions

TPVOFuncEditor::TPVOFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    UDPeriod = TeeNewUpDown(this, this, "EPeriod", "UDPeriod", 80, 8, 50, 1, 10000, &EPeriod);
    UDPeriod->SetPosition(12);
    TeeNewLabel(this, this, "&Period 1:", 8, 12, EPeriod);
    UDPeriod2 = TeeNewUpDown(this, this, "Edit1", "UDPeriod2", 80, 38, 50, 1, 10000, &Edit1);
    UDPeriod2->SetPosition(26);
    TeeNewLabel(this, this, "P&eriod 2:", 8, 42, Edit1);
    CBPercent = TeeNewCheck(this, this, "CBPercent", "Pe&rcentage", 8, 70, 110);
    CBPercent->SetChecked(true);
    Watch({EPeriod, Edit1, CBPercent});
}

void TPVOFuncEditor::SetFunction() {
    UDPeriod->SetPosition(RoundedPeriod(FFunction->Period()));
    if (auto* f = As<TPVOFunction>(FFunction)) {
        UDPeriod2->SetPosition(f->Period2());
        CBPercent->SetChecked(f->Percentage());
    }
}

void TPVOFuncEditor::ApplyFormChanges() {
    FFunction->SetPeriod(UDPeriod->Position());
    if (auto* f = As<TPVOFunction>(FFunction)) {
        f->SetPeriod2(UDPeriod2->Position());
        f->SetPercentage(CBPercent->Checked());
    }
}

TCCIFuncEditor::TCCIFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    EConst = TeeNew<TEdit>(this, this, "EConst", 80, 8, 70, 21);
    EConst->SetText("0.015");
    TeeNewLabel(this, this, "&Constant:", 8, 12, EConst);
    UDPeriod = TeeNewUpDown(this, this, "EPeriod", "UDPeriod", 80, 38, 50, 1, 10000, &EPeriod);
    UDPeriod->SetPosition(20);
    TeeNewLabel(this, this, "&Period:", 8, 42, EPeriod);
    Watch({EConst, EPeriod});
}

void TCCIFuncEditor::SetFunction() {
    if (auto* f = As<TCCIFunction>(FFunction)) EConst->SetText(FloatToStr(f->Constant()));
    UDPeriod->SetPosition(RoundedPeriod(FFunction->Period()));
}

void TCCIFuncEditor::ApplyFormChanges() {
    if (auto* f = As<TCCIFunction>(FFunction)) f->SetConstant(NumberOr(EConst, f->Constant()));
    FFunction->SetPeriod(UDPeriod->Position());
}

TOBVFuncEditor::TOBVFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    CBVolume = TeeNewCombo(this, this, "CBVolume", 100, 8, 150, {});
    TeeNewLabel(this, this, "&Volume series:", 8, 12, CBVolume);
    Watch({CBVolume});
}

void TOBVFuncEditor::SetFunction() {
    auto* f = As<TVolumeTeeFunction>(FFunction);
    TStrings* items = CBVolume->Items();
    items->Clear();
    items->AddObject(TeeMsg_None, nullptr);
    TChartSeries* own = FFunction->ParentSeries();
    if (TCustomAxisPanel* chart = own ? own->ParentChart() : nullptr)
        for (int i = 0; i < chart->SeriesCount(); ++i)
            if (TChartSeries* s = chart->Series(i); s != own)
                items->AddObject(SeriesTitleOrName(s), s);
    CBVolume->SetItemIndex(f && f->Volume() ? items->IndexOfObject(f->Volume()) : 0);
}

void TOBVFuncEditor::ApplyFormChanges() {
    const int i = CBVolume->ItemIndex();
    if (auto* f = As<TVolumeTeeFunction>(FFunction); f && i >= 0)
        f->SetVolume(static_cast<TChartSeries*>(CBVolume->Items()->Objects(i)));
}

TCLVFuncEditor::TCLVFuncEditor(TComponent* AOwner) : TOBVFuncEditor(AOwner) {
    CBAccumulate = TeeNewCheck(this, this, "CBAccumulate", "&Accumulate", 8, 40, 110);
    Watch({CBAccumulate});
}

void TCLVFuncEditor::SetFunction() {
    TOBVFuncEditor::SetFunction();
    if (auto* f = As<TCLVFunction>(FFunction)) CBAccumulate->SetChecked(f->Accumulate());
}

void TCLVFuncEditor::ApplyFormChanges() {
    TOBVFuncEditor::ApplyFormChanges();
    if (auto* f = As<TCLVFunction>(FFunction)) f->SetAccumulate(CBAccumulate->Checked());
}

TCompressFuncEditor::TCompressFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    RadioButton1 = TeeNew<TRadioButton>(this, this, "RadioButton1", 8, 10, 130, 17);
    RadioButton1->SetCaption("&Datetime period:");
    RadioButton1->SetChecked(true);
    CBPeriod =
        TeeNewCombo(this, this, "CBPeriod", 142, 8, 110,
                    {"Daily (none)", "Weekly", "Monthly", "Bi-Monthly", "Quarterly", "Yearly"});
    RadioButton2 = TeeNew<TRadioButton>(this, this, "RadioButton2", 8, 40, 130, 17);
    RadioButton2->SetCaption("&Number of points:");
    UpDown1 = TeeNewUpDown(this, this, "ENum", "UpDown1", 142, 38, 50, 1, 32767, &ENum);
    UpDown1->SetPosition(1);
    RadioButton1->OnClick = [this](TObject*) {
        if (FFilling) return;
        // A date period compresses by dates alone.
        UpDown1->SetMin(0);
        UpDown1->SetPosition(0);
        if (CBPeriod->CanFocus()) CBPeriod->SetFocus();
        EnableApply();
    };
    RadioButton2->OnClick = [this](TObject*) {
        if (FFilling) return;
        if (ENum->CanFocus()) ENum->SetFocus();
        EnableApply();
    };
    CBPeriod->OnChange = [this](TObject*) {
        if (FFilling) return;
        RadioButton1->SetChecked(true);
        EnableApply();
    };
    ENum->OnChange = [this](TObject*) {
        if (FFilling || ENum->Text() == "0") return;
        RadioButton2->SetChecked(true);
        EnableApply();
    };
}

void TCompressFuncEditor::SetFunction() {
    if (auto* f = As<TCompressFunction>(FFunction)) CBPeriod->SetItemIndex(f->Compress());
    const int period = RoundedPeriod(FFunction->Period());
    UpDown1->SetMin(0);
    UpDown1->SetPosition(period);
    (period != 0 ? RadioButton2 : RadioButton1)->SetChecked(true);
}

void TCompressFuncEditor::ApplyFormChanges() {
    if (auto* f = As<TCompressFunction>(FFunction); f && CBPeriod->ItemIndex() >= 0)
        f->SetCompress(static_cast<TCompressionPeriod>(CBPeriod->ItemIndex()));
    FFunction->SetPeriod(RadioButton2->Checked() ? UpDown1->Position() : 0);
}

// ---------------------------------------------------------------------------
// TADXFuncEditor

TADXFuncEditor::TADXFuncEditor(TComponent* AOwner) : TExtraFunctionEditor(AOwner) {
    UDPeriod = TeeNewUpDown(this, this, "EPeriod", "UDPeriod", 70, 8, 50, 2, 32767, &EPeriod);
    UDPeriod->SetPosition(2);
    TeeNewLabel(this, this, "&Period:", 8, 12, EPeriod);
    BUp = TeeNewButton<TButtonPen>(this, this, "BUp", "&Up...", 8, 40, 80);
    BDown = TeeNewButton<TButtonPen>(this, this, "BDown", "&Down...", 96, 40, 80);
    Watch({EPeriod});
}

void TADXFuncEditor::SetFunction() {
    UDPeriod->SetPosition(RoundedPeriod(FFunction->Period()));
    if (auto* f = As<TADXFunction>(FFunction)) {
        BUp->LinkPen(f->UpLinePen());
        BDown->LinkPen(f->DownLinePen());
    }
}

void TADXFuncEditor::ApplyFormChanges() {
    FFunction->SetPeriod(UDPeriod->Position());
}

TTeeFunction* TADXFuncEditor::NewFunction() {
    return new TADXFunction(nullptr);
}
