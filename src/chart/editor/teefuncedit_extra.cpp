// Option panels of the financial and statistical functions.
//   averages and spread     moving and exponential average, RMS, Bollinger, MACD, smoothing
//   volume functions        PVO, CCI, OBV, CLV, OHLC compression
//   ADX                     TADXFuncEditor
#include "chart/editor/teefuncedit_extra.h"
#include "platform/classes/watched.h"

#include "chart/control/teeseriestypes.h"
#include "chart/editor/teeedisour.h"

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

QM_CLASS_OWNED(TMovAveFuncEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TExpAveFuncEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TRMSFuncEditor, TTeeFunctionEditor, TComponent)
QM_CLASS_OWNED(TBollingerFuncEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TMACDFuncEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TSmoothFuncEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TPVOFuncEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TCCIFuncEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TOBVFuncEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TCLVFuncEditor, TOBVFuncEditor, TComponent)
QM_CLASS_OWNED(TCompressFuncEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TADXFuncEditor, TForm, TComponent)

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
// A change only enables the function page's Apply button: the panel writes the
// function when the page applies it.
void Watch(TBaseFunctionEditor* Page, TControlBinder& Bind,
           std::initializer_list<TControl*> Controls) {
    for (TControl* c : Controls)
        if (auto* e = dynamic_cast<TEdit*>(c))
            Bind.Text(e, nullptr, [Page](const AnsiString&) { Page->EnableApply(); });
        else if (auto* cb = dynamic_cast<TComboBox*>(c))
            Bind.Index(cb, nullptr, [Page](int) { Page->EnableApply(); });
        else if (auto* check = dynamic_cast<TCheckBox*>(c))
            Bind.Check(check, nullptr, [Page](bool) { Page->EnableApply(); });
}
} // namespace

// ---------------------------------------------------------------------------
// Averages and spread

TMovAveFuncEditor::TMovAveFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    UpDown1 = TeeNewUpDown(this, this, "Edit1", "UpDown1", 80, 8, 50, 1, 32767, &Edit1);
    UpDown1->SetPosition(1);
    TeeNewLabel(this, this, "&Period:", 8, 12, Edit1);
    CBStyle = TeeNewCombo(this, this, "CBStyle", 80, 38, 130,
                          {"Normal", "Weighted", "Weighted by Index"});
    TeeNewLabel(this, this, "&Average:", 8, 42, CBStyle);
    Watch(this, FBind, {Edit1, CBStyle});
}

void TMovAveFuncEditor::SetFunction() {
    UpDown1->SetPosition(RoundedPeriod(IFunction->Period()));
    auto* f = As<TMovingAverageFunction>(IFunction);
    CBStyle->SetItemIndex(!f ? 0 : f->Weighted() ? 1 : f->WeightedIndex() ? 2 : 0);
}

void TMovAveFuncEditor::ApplyFormChanges() {
    IFunction->SetPeriod(UpDown1->Position());
    if (auto* f = As<TMovingAverageFunction>(IFunction)) {
        f->SetWeighted(CBStyle->ItemIndex() == 1);
        f->SetWeightedIndex(CBStyle->ItemIndex() == 2);
    }
}

TExpAveFuncEditor::TExpAveFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    Edit1 = TeeNewNumber(this, this, "Edit1", 80, 8, 70);
    Edit1->SetText("0.2");
    TeeNewLabel(this, this, "&Weight:", 8, 12, Edit1);
    Watch(this, FBind, {Edit1});
}

void TExpAveFuncEditor::SetFunction() {
    if (auto* f = As<TExpAverageFunction>(IFunction)) Edit1->SetText(FloatToStr(f->Weight()));
}

void TExpAveFuncEditor::ApplyFormChanges() {
    // A weight outside the function's range raises its message; the old weight stays.
    if (auto* f = As<TExpAverageFunction>(IFunction)) f->SetWeight(StrToFloat(Trim(Edit1->Text())));
}

TRMSFuncEditor::TRMSFuncEditor(TComponent* AOwner) : TTeeFunctionEditor(AOwner) {
    CBComplete = TeeNewCheck(this, this, "CBComplete", "C&omplete R.M.S.", 8, 92, 160);
    Watch(this, FBind, {CBComplete});
}

void TRMSFuncEditor::SetFunction() {
    TTeeFunctionEditor::SetFunction();
    if (auto* f = As<TStdDeviationFunction>(IFunction)) CBComplete->SetChecked(f->Complete());
}

void TRMSFuncEditor::ApplyFormChanges() {
    TTeeFunctionEditor::ApplyFormChanges();
    if (auto* f = As<TStdDeviationFunction>(IFunction)) f->SetComplete(CBComplete->Checked());
}

TBollingerFuncEditor::TBollingerFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    UpDown1 = TeeNewUpDown(this, this, "ENum", "UpDown1", 80, 8, 50, 0, 30000, &ENum);
    TeeNewLabel(this, this, "&Period:", 8, 12, ENum);
    Edit1 = TeeNewNumber(this, this, "Edit1", 80, 38, 66);
    TeeNewLabel(this, this, "&Deviation:", 8, 42, Edit1);
    CheckBox1 = TeeNewCheck(this, this, "CheckBox1", "&Exponential", 8, 70, 110);
    ButtonPen1 = TeeNewButton<TButtonPen>(this, this, "ButtonPen1", "&Upper...", 170, 6, 85);
    ButtonPen2 = TeeNewButton<TButtonPen>(this, this, "ButtonPen2", "&Lower...", 170, 36, 85);
    Watch(this, FBind, {ENum, Edit1, CheckBox1});
}

void TBollingerFuncEditor::SetFunction() {
    UpDown1->SetPosition(RoundedPeriod(IFunction->Period()));
    if (auto* f = As<TBollingerFunction>(IFunction)) {
        CheckBox1->SetChecked(f->Exponential());
        Edit1->SetText(FloatToStr(f->Deviation()));
        ButtonPen1->LinkPen(f->UpperBandPen());
        ButtonPen2->LinkPen(f->LowBandPen());
    }
}

void TBollingerFuncEditor::ApplyFormChanges() {
    IFunction->SetPeriod(UpDown1->Position());
    if (auto* f = As<TBollingerFunction>(IFunction)) {
        f->SetExponential(CheckBox1->Checked());
        f->SetDeviation(NumberOr(Edit1, f->Deviation()));
    }
}

TMACDFuncEditor::TMACDFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    UpDown1 = TeeNewUpDown(this, this, "ENum", "UpDown1", 80, 8, 50, 0, 30000, &ENum);
    TeeNewLabel(this, this, "Period &1:", 8, 12, ENum);
    // The fast average keeps a period of at least 1.
    UpDown2 = TeeNewUpDown(this, this, "Edit1", "UpDown2", 80, 38, 50, 1, 30000, &Edit1);
    TeeNewLabel(this, this, "Period &2:", 8, 42, Edit1);
    UpDown3 = TeeNewUpDown(this, this, "Edit2", "UpDown3", 80, 68, 50, 0, 30000, &Edit2);
    TeeNewLabel(this, this, "Period &3:", 8, 72, Edit2);
    BHistogram = TeeNewButton<TButtonPen>(this, this, "BHistogram", "&Histogram...", 170, 6, 100);
    BMACDExp = TeeNewButton<TButtonPen>(this, this, "BMACDExp", "&Exp. Line...", 170, 36, 100);
    BMACD = TeeNewButton<TButtonPen>(this, this, "BMACD", "&MACD...", 170, 66, 100);
    Watch(this, FBind, {ENum, Edit1, Edit2});
}

void TMACDFuncEditor::SetFunction() {
    UpDown1->SetPosition(RoundedPeriod(IFunction->Period()));
    if (auto* f = As<TMACDFunction>(IFunction)) {
        UpDown2->SetPosition(RoundedPeriod(f->Period2()));
        UpDown3->SetPosition(f->Period3());
        BHistogram->LinkPen(f->HistogramPen());
        BMACDExp->LinkPen(f->MACDExpPen());
        BMACD->LinkPen(f->MACDPen());
    }
}

void TMACDFuncEditor::ApplyFormChanges() {
    IFunction->SetPeriod(UpDown1->Position());
    if (auto* f = As<TMACDFunction>(IFunction)) {
        f->SetPeriod2(UpDown2->Position());
        f->SetPeriod3(UpDown3->Position());
    }
}

TSmoothFuncEditor::TSmoothFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    CBInterp = TeeNewCheck(this, this, "CBInterp", "&Interpolate", 8, 10, 110);
    UpDown1 = TeeNewUpDown(this, this, "Edit1", "UpDown1", 80, 36, 50, 1, 1000, &Edit1);
    TeeNewLabel(this, this, "&Factor:", 8, 40, Edit1);
    Watch(this, FBind, {CBInterp, Edit1});
}

void TSmoothFuncEditor::SetFunction() {
    if (auto* f = As<TSmoothingFunction>(IFunction)) {
        CBInterp->SetChecked(f->Interpolate());
        UpDown1->SetPosition(f->Factor());
    }
}

void TSmoothFuncEditor::ApplyFormChanges() {
    if (auto* f = As<TSmoothingFunction>(IFunction)) {
        f->SetInterpolate(CBInterp->Checked());
        f->SetFactor(UpDown1->Position());
    }
}

// ---------------------------------------------------------------------------
// Volume functions

TPVOFuncEditor::TPVOFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    UDPeriod = TeeNewUpDown(this, this, "EPeriod", "UDPeriod", 80, 8, 50, 1, 10000, &EPeriod);
    UDPeriod->SetPosition(12);
    TeeNewLabel(this, this, "&Period 1:", 8, 12, EPeriod);
    UDPeriod2 = TeeNewUpDown(this, this, "Edit1", "UDPeriod2", 80, 38, 50, 1, 10000, &Edit1);
    UDPeriod2->SetPosition(26);
    TeeNewLabel(this, this, "P&eriod 2:", 8, 42, Edit1);
    CBPercent = TeeNewCheck(this, this, "CBPercent", "Pe&rcentage", 8, 70, 110);
    CBPercent->SetChecked(true);
    Watch(this, FBind, {EPeriod, Edit1, CBPercent});
}

void TPVOFuncEditor::SetFunction() {
    UDPeriod->SetPosition(RoundedPeriod(IFunction->Period()));
    if (auto* f = As<TPVOFunction>(IFunction)) {
        UDPeriod2->SetPosition(f->Period2());
        CBPercent->SetChecked(f->Percentage());
    }
}

void TPVOFuncEditor::ApplyFormChanges() {
    IFunction->SetPeriod(UDPeriod->Position());
    if (auto* f = As<TPVOFunction>(IFunction)) {
        f->SetPeriod2(UDPeriod2->Position());
        f->SetPercentage(CBPercent->Checked());
    }
}

TCCIFuncEditor::TCCIFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    EConst = TeeNewNumber(this, this, "EConst", 80, 8, 70);
    EConst->SetText("0.015");
    TeeNewLabel(this, this, "&Constant:", 8, 12, EConst);
    UDPeriod = TeeNewUpDown(this, this, "EPeriod", "UDPeriod", 80, 38, 50, 1, 10000, &EPeriod);
    UDPeriod->SetPosition(20);
    TeeNewLabel(this, this, "&Period:", 8, 42, EPeriod);
    Watch(this, FBind, {EConst, EPeriod});
}

void TCCIFuncEditor::SetFunction() {
    if (auto* f = As<TCCIFunction>(IFunction)) EConst->SetText(FloatToStr(f->Constant()));
    UDPeriod->SetPosition(RoundedPeriod(IFunction->Period()));
}

void TCCIFuncEditor::ApplyFormChanges() {
    if (auto* f = As<TCCIFunction>(IFunction)) f->SetConstant(NumberOr(EConst, f->Constant()));
    IFunction->SetPeriod(UDPeriod->Position());
}

TOBVFuncEditor::TOBVFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    CBVolume = TeeNewCombo(this, this, "CBVolume", 100, 8, 150, {});
    FVolumeItems = new TListedObjects(this, CBVolume);
    TeeNewLabel(this, this, "&Volume series:", 8, 12, CBVolume);
    Watch(this, FBind, {CBVolume});
}

void TOBVFuncEditor::SetFunction() {
    auto* f = As<TVolumeTeeFunction>(IFunction);
    FVolumeItems->Clear();
    FVolumeItems->Add(TeeMsg_None);
    TChartSeries* own = IFunction->ParentSeries();
    if (TCustomAxisPanel* chart = own ? own->ParentChart() : nullptr)
        for (int i = 0; i < chart->SeriesCount(); ++i)
            if (TChartSeries* s = chart->Series(i); s != own)
                FVolumeItems->Add(SeriesTitleOrName(s), s);
    CBVolume->SetItemIndex(f && f->Volume() ? FVolumeItems->IndexOf(f->Volume()) : 0);
}

void TOBVFuncEditor::ApplyFormChanges() {
    if (auto* f = As<TVolumeTeeFunction>(IFunction); f && CBVolume->ItemIndex() >= 0)
        f->SetVolume(dynamic_cast<TChartSeries*>(FVolumeItems->Chosen()));
}

TCLVFuncEditor::TCLVFuncEditor(TComponent* AOwner) : TOBVFuncEditor(AOwner) {
    CBAccumulate = TeeNewCheck(this, this, "CBAccumulate", "&Accumulate", 8, 40, 110);
    Watch(this, FBind, {CBAccumulate});
}

void TCLVFuncEditor::SetFunction() {
    TOBVFuncEditor::SetFunction();
    if (auto* f = As<TCLVFunction>(IFunction)) CBAccumulate->SetChecked(f->Accumulate());
}

void TCLVFuncEditor::ApplyFormChanges() {
    TOBVFuncEditor::ApplyFormChanges();
    if (auto* f = As<TCLVFunction>(IFunction)) f->SetAccumulate(CBAccumulate->Checked());
}

TCompressFuncEditor::TCompressFuncEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
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
    FBind.Check(RadioButton1, nullptr, [this](bool) {
        // A date period compresses by dates alone.
        UpDown1->SetMin(0);
        UpDown1->SetPosition(0);
        TCallOut held{this};
        if (CBPeriod->CanFocus()) CBPeriod->SetFocus();
        if (held.Gone()) return;
        EnableApply();
    });
    FBind.Check(RadioButton2, nullptr, [this](bool) {
        // A number of points is at least one.
        UpDown1->SetMin(1);
        TCallOut held{this};
        if (ENum->CanFocus()) ENum->SetFocus();
        if (held.Gone()) return;
        EnableApply();
    });
    FBind.Index(CBPeriod, nullptr, [this](int) {
        RadioButton1->SetChecked(true);
        EnableApply();
    });
    FBind.Text(ENum, nullptr, [this](const AnsiString& T) {
        if (T == "0") return;
        RadioButton2->SetChecked(true);
        EnableApply();
    });
}

void TCompressFuncEditor::SetFunction() {
    if (auto* f = As<TCompressFunction>(IFunction)) CBPeriod->SetItemIndex(f->Compress());
    const int period = RoundedPeriod(IFunction->Period());
    // 0 shows that dates alone compress; a number of points is at least one.
    UpDown1->SetMin(period != 0 ? 1 : 0);
    UpDown1->SetPosition(period);
    (period != 0 ? RadioButton2 : RadioButton1)->SetChecked(true);
}

void TCompressFuncEditor::ApplyFormChanges() {
    if (auto* f = As<TCompressFunction>(IFunction); f && CBPeriod->ItemIndex() >= 0)
        f->SetCompress(static_cast<TCompressionPeriod>(CBPeriod->ItemIndex()));
    IFunction->SetPeriod(RadioButton2->Checked() ? UpDown1->Position() : 0);
}

// ---------------------------------------------------------------------------
// TADXFuncEditor

TADXFuncEditor::TADXFuncEditor(TComponent* AOwner) : TForm(AOwner) {
    SetAlign(alClient);
    SetClientWidth(300);
    SetClientHeight(120);
    UDPeriod = TeeNewUpDown(this, this, "EPeriod", "UDPeriod", 70, 8, 50, 2, 32767, &EPeriod);
    UDPeriod->SetPosition(2);
    TeeNewLabel(this, this, "&Period:", 8, 12, EPeriod);
    BUp = TeeNewButton<TButtonPen>(this, this, "BUp", "&Up...", 8, 40, 80);
    BDown = TeeNewButton<TButtonPen>(this, this, "BDown", "&Down...", 96, 40, 80);
    FBind.UpDown(UDPeriod, nullptr, [this](int) {
        for (TComponent* o = Owner(); o; o = o->Owner())
            if (auto* page = dynamic_cast<TBaseSourceEditor*>(o)) {
                page->BApply->SetEnabled(true);
                return;
            }
    });
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TADXFuncEditor::FormShow(TObject*) {
    TPersistent* tag = Subject();
    if (auto* f = dynamic_cast<TTeeFunction*>(tag)) {
        FFunction = f;
        FSeries = f->ParentSeries();
    } else if (auto* s = dynamic_cast<TChartSeries*>(tag)) {
        FSeries = s;
        FFunction = s->FunctionType();
    }
    FBind.Load();
    auto* adx = dynamic_cast<TADXFunction*>(FFunction.Get());
    if (!adx) return;
    auto guard = FBind.Guard();
    UDPeriod->SetPosition(RoundedPeriod(adx->Period()));
    BUp->LinkPen(adx->UpLinePen());
    BDown->LinkPen(adx->DownLinePen());
}

bool TADXFuncEditor::CloseQuery() {
    // A function or series freed while the page showed is not made again.
    if (FFunction.Gone() || FSeries.Gone()) return true;
    // Without a series a new function would have no one to own it.
    if (!FFunction && FSeries) FFunction = CreateNewTeeFunction(FSeries, &TADXFunction::ClassInfo);
    if (FFunction) {
        FFunction->SetPeriod(UDPeriod->Position());
        if (FSeries && !FSeries->FunctionType()) FSeries->SetFunction(FFunction);
    }
    return true;
}
