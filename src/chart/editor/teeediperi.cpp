#include "chart/editor/teeediperi.h"
#include "platform/classes/watched.h"

#include "chart/control/teefunci.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/teeaxisincr.h"
#include "chart/editor/teeedisour.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teengine.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/modalwatch.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>
#include <limits>

QM_CLASS_OWNED(TBaseFunctionEditor, TForm, TComponent)
QM_CLASS_OWNED(TTeeFunctionEditor, TBaseFunctionEditor, TComponent)
QM_CLASS_OWNED(TAverageFuncEditor, TTeeFunctionEditor, TComponent)
QM_CLASS_OWNED(TCustomFunctionEditor, TBaseFunctionEditor, TComponent)

namespace {
enum { stAll, stNumPoints, stRange };

// Ends a function's update on every path, exceptions included.
class TFunctionUpdate {
public:
    explicit TFunctionUpdate(TTeeFunction* F) : FFunction(F) { FFunction->BeginUpdate(); }
    ~TFunctionUpdate() { FFunction->EndUpdate(); }
    TFunctionUpdate(const TFunctionUpdate&) = delete;
    TFunctionUpdate& operator=(const TFunctionUpdate&) = delete;

private:
    TTeeFunction* FFunction;
};

// A period typed by the user: not a number counts as 0, a negative one is refused.
double PeriodOf(const AnsiString& Text) {
    double v;
    if (!TryStrToFloat(Text.Trim(), v) || !std::isfinite(v)) return 0;
    if (v < 0) throw ChartException(TeeMsg_FunctionPeriod);
    return v;
}
} // namespace

// ---------------------------------------------------------------------------
// TBaseFunctionEditor

TBaseFunctionEditor::TBaseFunctionEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(300);
    SetClientHeight(120);
    SetAlign(alClient);
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TBaseFunctionEditor::EnableApply() {
    // Filling the controls is no change of the user's.
    if (FShowing) return;
    for (TWinControl* p = Parent(); p; p = p->Parent())
        if (auto* host = dynamic_cast<TBaseSourceEditor*>(p)) {
            host->BApply->SetEnabled(true);
            return;
        }
}

// The controls are read by SetFunction itself: a page for a function not made
// yet has none to read.
void TBaseFunctionEditor::FormShow(TObject*) {
    FBind.Load();
    const TLoadGuard showing(FShowing);
    auto guard = FBind.Guard();
    IFunction = SubjectAs<TTeeFunction>();
    if (IFunction) {
        if (!Series) Series = IFunction->ParentSeries();
        SetFunction();
    }
}

bool TBaseFunctionEditor::CloseQuery() {
    if (!IFunction && FunctionClass && Series)
        IFunction = CreateNewTeeFunction(Series, FunctionClass);
    if (IFunction) {
        {
            const TFunctionUpdate update(IFunction);
            ApplyFormChanges();
        }
        if (Series && !Series->FunctionType()) Series->SetFunction(IFunction);
    }
    return true;
}

// ---------------------------------------------------------------------------
// TTeeFunctionEditor

TTeeFunctionEditor::TTeeFunctionEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    CBStyle = TeeNewCombo(this, this, "CBStyle", 118, 6, 150,
                          {"All points", "Every number of points", "Every range"});
    TeeNewLabel(this, this, "&Calculate using:", 8, 10, CBStyle);
    ENum = TeeNewNumber(this, this, "ENum", 118, 34, 70);
    ENum->SetText("0");
    ENum->SetEnabled(false);
    TeeNewLabel(this, this, "&Number of points:", 8, 38, ENum);
    BChange = TeeNewButton(this, this, "BChange", "&Change...", 196, 32);
    BChange->SetEnabled(false);
    CBAlign = TeeNewCombo(this, this, "CBAlign", 118, 62, 80, {"First", "Center", "Last"});
    TeeNewLabel(this, this, "&Alignment:", 8, 66, CBAlign);
    // Each change waits for Apply (ApplyFormChanges).
    FBind.Index(CBStyle, nullptr, [this](int) { CBStyleChange(CBStyle); });
    FBind.Index(CBAlign, nullptr, [this](int) { EnableApply(); });
    FBind.Text(ENum, nullptr, [this](const AnsiString&) { EnableApply(); });
    BChange->OnClick = [this](TObject* s) { BChangeClick(s); };
}

void TTeeFunctionEditor::SetFunction() {
    TTeeFunction* f = IFunction;
    const bool moving = dynamic_cast<TTeeMovingFunction*>(f) != nullptr;
    int style = stAll;
    if (f->PeriodStyle() == psRange && !moving)
        style = stRange;
    else if (std::lround(f->Period()) != 0)
        style = stNumPoints;
    CBStyle->SetItemIndex(style);
    CBAlign->SetItemIndex(f->PeriodAlign());
    ENum->SetEnabled(style != stAll);
    BChange->SetEnabled(style == stRange);
    if (style == stAll)
        ENum->SetText("");
    else if (style == stNumPoints)
        ENum->SetText(AnsiString(static_cast<int>(std::max(0L, std::lround(f->Period())))));
    else
        ENum->SetText(FloatToStr(f->Period()));
}

void TTeeFunctionEditor::CBStyleChange(TObject*) {
    if (FBind.Loading()) return;
    const int style = CBStyle->ItemIndex();
    ENum->SetEnabled(style != stAll);
    BChange->SetEnabled(style == stRange);
    const double period = IFunction ? IFunction->Period() : 0;
    if (style == stAll)
        ENum->SetText("");
    else if (style == stNumPoints)
        ENum->SetText(AnsiString(static_cast<int>(std::max(0L, std::lround(period)))));
    else
        ENum->SetText(FloatToStr(period));
    if (ENum->Enabled() && ENum->Showing()) {
        TCallOut held{this};
        ENum->SetFocus();
        if (held.Gone()) return;
    }
    EnableApply();
}

void TTeeFunctionEditor::ApplyFormChanges() {
    if (!IFunction) return;
    // Checked before anything is written, so a refused period changes nothing.
    const double period = CBStyle->ItemIndex() == stAll ? 0 : PeriodOf(ENum->Text());
    if (CBAlign->ItemIndex() >= 0)
        IFunction->SetPeriodAlign(static_cast<TFunctionPeriodAlign>(CBAlign->ItemIndex()));
    IFunction->SetPeriodStyle(CBStyle->ItemIndex() == stRange ? psRange : psNumPoints);
    IFunction->SetPeriod(period);
}

void TTeeFunctionEditor::BChangeClick(TObject*) {
    auto dlg = TeeCreateDialog<TAxisIncrement>(this);
    dlg->SetCaption("Period range");
    TChartSeries* source = nullptr;
    if (Series) source = dynamic_cast<TChartSeries*>(Series->DataSource());
    dlg->IsDateTime = source && source->XValues()->DateTime();
    dlg->IsExact = true;
    double current = 0;
    if (!TryStrToFloat(ENum->Text().Trim(), current) || current < 0) current = 0;
    dlg->Increment = current;
    dlg->IStep = FindDateTimeStep(current);
    dlg->OnCheck = [](double V) { return V < 0 ? TeeMsg_FunctionPeriod : AnsiString(); };
    if (!ShowModalWatching(dlg.get(), {this, Series, source}).Ok()) return;
    ENum->SetText(FloatToStr(dlg->Increment));
    EnableApply();
}

// ---------------------------------------------------------------------------
// TAverageFuncEditor

TAverageFuncEditor::TAverageFuncEditor(TComponent* AOwner) : TTeeFunctionEditor(AOwner) {
    CBNulls = TeeNewCheck(this, this, "CBNulls", "&Include Null values", 8, 92, 160);
    FBind.Check(CBNulls, nullptr, [this](bool) { EnableApply(); });
}

void TAverageFuncEditor::SetFunction() {
    TTeeFunctionEditor::SetFunction();
    if (auto* f = dynamic_cast<TAverageTeeFunction*>(IFunction.Get()))
        CBNulls->SetChecked(f->IncludeNulls());
}

void TAverageFuncEditor::ApplyFormChanges() {
    TTeeFunctionEditor::ApplyFormChanges();
    if (auto* f = dynamic_cast<TAverageTeeFunction*>(IFunction.Get()))
        f->SetIncludeNulls(CBNulls->Checked());
}

// ---------------------------------------------------------------------------
// TCustomFunctionEditor

TCustomFunctionEditor::TCustomFunctionEditor(TComponent* AOwner) : TBaseFunctionEditor(AOwner) {
    EStart = TeeNewNumber(this, this, "EStart", 96, 6, 80);
    EStart->SetText("0");
    TeeNewLabel(this, this, "&Start X:", 8, 10, EStart);
    auto* step = TeeNewNumber(this, this, "EStep", 96, 34, 80);
    step->SetFloatRange(0, std::numeric_limits<double>::max());
    EStep = step;
    EStep->SetText("1");
    TeeNewLabel(this, this, "S&tep:", 8, 38, EStep);
    auto* num = TeeNewNumber(this, this, "ENum", 96, 62, 80);
    TeeBoundAsStored(num, &TCustomTeeFunction::ClassInfo, "NumPoints");
    ENum = num;
    ENum->SetText("100");
    TeeNewLabel(this, this, "&Num. points:", 8, 66, ENum);
    for (TEdit* e : {EStart, EStep, ENum})
        FBind.Text(e, nullptr, [this](const AnsiString&) { EnableApply(); });
}

void TCustomFunctionEditor::SetFunction() {
    auto* f = dynamic_cast<TCustomTeeFunction*>(IFunction.Get());
    if (!f) return;
    EStart->SetText(FloatToStr(f->StartX()));
    EStep->SetText(FloatToStr(f->Period()));
    ENum->SetText(AnsiString(f->NumPoints()));
}

void TCustomFunctionEditor::ApplyFormChanges() {
    auto* f = dynamic_cast<TCustomTeeFunction*>(IFunction.Get());
    if (!f) return;
    // Text that is no number keeps the value the function has; the number of
    // points is bounded so a slip of the keyboard cannot exhaust memory.
    double start, step;
    int num;
    if (TryStrToFloat(EStart->Text().Trim(), start) && std::isfinite(start)) f->SetStartX(start);
    if (TryStrToFloat(EStep->Text().Trim(), step) && std::isfinite(step) && step >= 0)
        f->SetPeriod(step);
    if (TryStrToInt(ENum->Text().Trim(), num) && num >= 0 && num <= 1000000) f->SetNumPoints(num);
}

bool TCustomFunctionEditor::CloseQuery() {
    if (!IFunction && Series)
        IFunction = CreateNewTeeFunction(Series, &TCustomTeeFunction::ClassInfo);
    return TBaseFunctionEditor::CloseQuery();
}
