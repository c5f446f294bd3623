// Sections:
//   text to values    numbers, times and dates in the user's formats
//   TAxisIncrement    standard date-time step or custom increment
//   TAxisMaxMin       a number, or a date and a time
//   routines          GetIncrementText, EditAxisIncrement, EditAxisMaxMin
#include "chart/editor/teeaxisincr.h"

#include "chart/editor/teeformbuild.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/editor/teependlg.h"
#include "platform/classes/stringlist.h"
#include "platform/classes/watched.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/modalwatch.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/format.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include <cmath>
#include <vector>

QM_CLASS_OWNED(TAxisIncrement, TForm, TComponent)
QM_CLASS_OWNED(TAxisMaxMin, TForm, TComponent)

// ---------------------------------------------------------------------------
// Text to values

namespace {
std::vector<AnsiString> SplitOn(const AnsiString& S, char Sep) {
    std::vector<AnsiString> parts(1);
    for (int i = 1; i <= S.Length(); ++i)
        if (S[i] == Sep)
            parts.emplace_back();
        else
            parts.back() += S[i];
    return parts;
}

bool AllDigits(const AnsiString& S) {
    if (S.IsEmpty() || S.Length() > 9) return false;
    for (int i = 1; i <= S.Length(); ++i)
        if (S[i] < '0' || S[i] > '9') return false;
    return true;
}
} // namespace

bool TeeTryStrToNumber(const AnsiString& S, double& Value, AnsiString& Error) {
    const AnsiString t = S.Trim();
    if (t.IsEmpty()) {
        Error = "A value is needed";
        return false;
    }
    if (!TryStrToFloat(t, Value) || !std::isfinite(Value)) {
        Error = Format("'%s' is not a valid number", {t});
        return false;
    }
    return true;
}

bool TeeTryStrToTime(const AnsiString& S, double& Value, AnsiString& Error) {
    const AnsiString t = S.Trim();
    Error = Format("'%s' is not a valid time", {t});
    if (t.IsEmpty()) {
        Error = "A time is needed";
        return false;
    }
    auto parts = SplitOn(t, TimeSeparator);
    if (parts.size() > 3) return false;
    int msec = 0;
    if (parts.size() == 3) {
        auto sec = SplitOn(parts[2], '.');
        if (sec.size() == 2) {
            if (!AllDigits(sec[1]) || sec[1].Length() > 3) return false;
            msec = StrToInt(sec[1]);
            for (int i = sec[1].Length(); i < 3; ++i)
                msec *= 10;
            parts[2] = sec[0];
        } else if (sec.size() > 2) {
            return false;
        }
    }
    int v[3] = {0, 0, 0};
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!AllDigits(parts[i])) return false;
        v[i] = StrToInt(parts[i]);
    }
    TDateTime time;
    if (!TryEncodeTime(v[0], v[1], v[2], msec, time)) return false;
    Value = static_cast<double>(time);
    return true;
}

bool TeeTryStrToDate(const AnsiString& S, double& Value, AnsiString& Error) {
    const AnsiString t = S.Trim();
    Error = Format("'%s' is not a valid date", {t});
    if (t.IsEmpty()) {
        Error = "A date is needed";
        return false;
    }
    // The order of day, month and year follows the short date format.
    std::vector<char> order;
    for (int i = 1; i <= ShortDateFormat.Length(); ++i) {
        const char c = static_cast<char>(tolower(ShortDateFormat[i]));
        if ((c == 'd' || c == 'm' || c == 'y') &&
            std::find(order.begin(), order.end(), c) == order.end())
            order.push_back(c);
    }
    if (order.size() != 3) order = {'m', 'd', 'y'};
    const auto parts = SplitOn(t, DateSeparator);
    if (parts.size() != 3) return false;
    int d = 0, m = 0, y = 0;
    for (int i = 0; i < 3; ++i) {
        if (!AllDigits(parts[i])) return false;
        const int n = StrToInt(parts[i]);
        if (order[i] == 'd') d = n;
        if (order[i] == 'm') m = n;
        if (order[i] == 'y') y = parts[i].Length() <= 2 ? (n < 50 ? 2000 + n : 1900 + n) : n;
    }
    TDateTime date;
    if (!TryEncodeDate(y, m, d, date)) return false;
    Value = static_cast<double>(date);
    return true;
}

namespace {
void ShowIncorrect(const AnsiString& Reason) {
    MessageDlg(Format(TeeMsg_IncorrectMaxMinValue, {Reason}), mtError, {mbOK});
}

constexpr int StepItems = 26; // one millisecond to one year
const char* const StepNames[StepItems] = {
    "One Millisecond", "One Second", "Five Seconds", "Ten Seconds", "Fifteen Seconds",
    "Thirty Seconds",  "One Minute", "Five Minutes", "Ten Minutes", "Fifteen Minutes",
    "Thirty Minutes",  "One Hour",   "Two Hours",    "Six Hours",   "Twelve Hours",
    "One Day",         "Two Days",   "Three Days",   "One Week",    "Half Month",
    "One Month",       "Two Months", "Three Months", "Four Months", "Six Months",
    "One Year"};

int ItemOfStep(TDateTimeStep Step) {
    return Step >= dtOneMillisecond && Step <= dtOneYear ? Step - 1 : -1;
}
} // namespace

AnsiString DateTimeIncrementText(double Value) {
    if (Value <= 0) return TimeToStr(DateTimeStep[dtOneSecond]);
    if (Value >= 1) {
        const double days = std::floor(Value);
        AnsiString s = FloatToStr(days);
        const double frac = Value - days;
        if (frac != 0) s += " " + TimeToStr(frac);
        return s;
    }
    return TimeToStr(Value);
}

// ---------------------------------------------------------------------------
// TAxisIncrement

TAxisIncrement::TAxisIncrement(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Axis Increment");
    SetBorderStyle(bsDialog);
    SetClientWidth(280);
    SetClientHeight(104);
    CBExact = TeeNewCheck(this, this, "CBExact", "&Exact Date Time", 8, 6, 150);
    RadioGroup1 = TeeNewRadio(this, this, "RadioGroup1", "Increment:", 8, 26, 84, 70,
                              {"&Standard:", "&Custom:"});
    CBSteps = TeeNewCombo(this, this, "CBSteps", 98, 38, 98, {});
    for (const char* s : StepNames)
        CBSteps->Items()->Add(s);
    CBSteps->SetDropDownCount(12);
    ECustom = TeeNew<TEdit>(this, this, "ECustom", 98, 70, 98, 21);
    LIncrement = TeeNewLabel(this, this, "&Increment:", 98, 56, ECustom);
    LIncrement->SetVisible(false);
    BOk = TeeNewButton(this, this, "BOk", "OK", 200, 8, 75);
    BOk->SetDefault(true);
    BCancel = TeeNewButton(this, this, "BCancel", "Cancel", 200, 38, 75);
    BCancel->SetCancel(true);
    BCancel->SetModalResult(mrCancel);
    // Showing chooses the controls itself, depending on the axis.
    FBind.Index(RadioGroup1, nullptr, [this](int) { RadioGroup1Click(RadioGroup1); });
    FBind.Check(
        CBExact, [this] { return IsExact; }, [this](bool) { CBExactClick(CBExact); });
    FBind.Index(CBSteps, nullptr, [this](int) { CBStepsChange(CBSteps); });
    BOk->OnClick = [this](TObject* s) { BOkClick(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TAxisIncrement::FormShow(TObject*) {
    FBind.Load();
    auto guard = FBind.Guard();
    CBExact->SetVisible(IsDateTime);
    if (IsDateTime) {
        ECustom->SetHint(TeeMsg_EnterDateTime);
        ECustom->SetText(DateTimeIncrementText(Increment));
        if (IsExact && IStep != dtNone && ItemOfStep(IStep) >= 0) {
            RadioGroup1->SetItemIndex(0);
            CBSteps->SetItemIndex(ItemOfStep(IStep));
            ECustom->SetText("");
            ECustom->SetEnabled(false);
            CBSteps->SetEnabled(true);
            CBExact->SetEnabled(true);
            ActiveControl() != CBSteps ? SetActiveControl(CBSteps) : void();
        } else {
            RadioGroup1->SetItemIndex(1);
            CBSteps->SetItemIndex(-1);
            CBSteps->SetEnabled(false);
            CBExact->SetEnabled(false);
            ECustom->SetEnabled(true);
        }
    } else {
        CBSteps->SetVisible(false);
        RadioGroup1->SetVisible(false);
        RadioGroup1->SetItemIndex(1);
        ECustom->SetHint("");
        ECustom->SetText(FloatToStr(Increment));
        const int gap = ECustom->Top() - LIncrement->Top();
        ECustom->SetTop(BOk->Top());
        LIncrement->SetTop(ECustom->Top() + 4);
        LIncrement->SetLeft(8);
        (void)gap;
        ECustom->SetLeft(70);
        ECustom->SetWidth(120);
        LIncrement->SetVisible(true);
        ECustom->SetEnabled(true);
        SetActiveControl(ECustom);
    }
}

void TAxisIncrement::RadioGroup1Click(TObject*) {
    if (FBind.Loading()) return;
    const bool standard = RadioGroup1->ItemIndex() == 0;
    ECustom->SetEnabled(!standard);
    CBExact->SetEnabled(standard);
    CBSteps->SetEnabled(standard);
    if (standard) {
        IsExact = true;
        CBExact->SetChecked(true);
        const int i = ItemOfStep(IStep);
        CBSteps->SetItemIndex(i >= 0 ? i : 0);
        if (i < 0) IStep = static_cast<TDateTimeStep>(1);
        ECustom->SetText("");
        SetActiveControl(CBSteps);
    } else {
        IsExact = false;
        ECustom->SetText(DateTimeIncrementText(Increment));
        SetActiveControl(ECustom);
    }
}

void TAxisIncrement::CBExactClick(TObject*) {
    if (FBind.Loading()) return;
    IsExact = CBExact->Checked();
    if (!IsExact && RadioGroup1->ItemIndex() == 0) RadioGroup1->SetItemIndex(1);
}

void TAxisIncrement::CBStepsChange(TObject*) {
    if (CBSteps->ItemIndex() >= 0) IStep = static_cast<TDateTimeStep>(CBSteps->ItemIndex() + 1);
}

void TAxisIncrement::BOkClick(TObject*) {
    double value = 0;
    AnsiString error;
    bool ok = true;
    if (IsDateTime && RadioGroup1->ItemIndex() == 0) {
        const int i = CBSteps->ItemIndex();
        if (i < 0) {
            ok = false;
            error = "A step is needed";
        } else {
            value = DateTimeStep[i + 1];
        }
    } else if (IsDateTime) {
        const AnsiString t = ECustom->Text().Trim();
        const int blank = t.Pos(" ");
        if (blank > 0) {
            double days = 0, time = 0;
            ok = TeeTryStrToNumber(t.SubString(1, blank - 1), days, error) &&
                 TeeTryStrToTime(t.SubString(blank + 1, t.Length() - blank), time, error);
            value = days + time;
        } else {
            AnsiString numError;
            ok = TeeTryStrToNumber(t, value, numError) || TeeTryStrToTime(t, value, error);
            if (!ok && t.IsEmpty()) error = numError;
        }
    } else {
        ok = TeeTryStrToNumber(ECustom->Text(), value, error);
    }
    if (ok && OnCheck) {
        error = OnCheck(value);
        ok = error.IsEmpty();
    }
    if (!ok) {
        ShowIncorrect(error);
        return;
    }
    Increment = value;
    SetModalResult(mrOk);
}

// ---------------------------------------------------------------------------
// TAxisMaxMin

TAxisMaxMin::TAxisMaxMin(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Axis Maximum and Minimum");
    SetBorderStyle(bsDialog);
    SetClientWidth(250);
    SetClientHeight(72);
    EMaximum = TeeNew<TEdit>(this, this, "EMaximum", 52, 8, 104, 21);
    EMaximum->SetHint("Enter Date");
    EMinimum = TeeNew<TEdit>(this, this, "EMinimum", 52, 38, 104, 21);
    EMinimum->SetHint("Enter Time");
    Label1 = TeeNewLabel(this, this, "&Date:", 8, 12, EMaximum);
    Label2 = TeeNewLabel(this, this, "&Time:", 8, 42, EMinimum);
    BitBtn1 = TeeNewButton(this, this, "BitBtn1", "OK", 168, 6, 75);
    BitBtn1->SetDefault(true);
    BitBtn2 = TeeNewButton(this, this, "BitBtn2", "Cancel", 168, 36, 75);
    BitBtn2->SetCancel(true);
    BitBtn2->SetModalResult(mrCancel);
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TAxisMaxMin::FormShow(TObject*) {
    if (IsDateTime) {
        const bool hasDate = MaxMin >= 1;
        EMaximum->SetVisible(hasDate);
        Label1->SetVisible(hasDate);
        if (hasDate) EMaximum->SetText(DateToStr(MaxMin));
        EMinimum->SetText(TimeToStr(MaxMin));
    } else {
        EMaximum->SetHint("");
        EMinimum->SetHint("");
        Label1->SetCaption("Value:");
        EMaximum->SetText(FloatToStr(MaxMin));
        EMinimum->SetVisible(false);
        Label2->SetVisible(false);
    }
}

void TAxisMaxMin::BitBtn1Click(TObject*) {
    double value = 0;
    AnsiString error;
    bool ok;
    if (IsDateTime) {
        double date = 0, time = 0;
        ok = (!EMaximum->Visible() || TeeTryStrToDate(EMaximum->Text(), date, error)) &&
             TeeTryStrToTime(EMinimum->Text(), time, error);
        value = date + time;
    } else {
        ok = TeeTryStrToNumber(EMaximum->Text(), value, error);
    }
    if (ok && OnCheck) {
        error = OnCheck(value);
        ok = error.IsEmpty();
    }
    if (!ok) {
        ShowIncorrect(error);
        return;
    }
    MaxMin = value;
    SetModalResult(mrOk);
}

// ---------------------------------------------------------------------------
// Routines

AnsiString GetIncrementText(TComponent*, double Increment, bool IsDateTime, bool Exact,
                            const AnsiString& AFormat) {
    if (!IsDateTime) return FormatFloat(AFormat, Increment);
    if (Exact) {
        const int i = ItemOfStep(FindDateTimeStep(Increment));
        if (i >= 0) return StepNames[i];
    }
    return DateTimeIncrementText(Increment);
}

namespace {
AnsiString AxisName(TChartAxis* Axis) {
    return Axis->Title()->Caption().IsEmpty() ? Axis->DisplayName() : Axis->Title()->Caption();
}
} // namespace

bool EditAxisIncrement(TComponent* AOwner, TChartAxis* Axis) {
    auto dlg = TeeCreateDialog<TAxisIncrement>(AOwner);
    dlg->SetCaption(Format(TeeMsg_DesiredIncrement, {AxisName(Axis)}));
    dlg->IsDateTime = Axis->IsDateTime();
    dlg->IsExact = Axis->ExactDateTime();
    dlg->Increment = Axis->Increment();
    dlg->IStep = FindDateTimeStep(Axis->Increment());
    dlg->OnCheck = [](double V) { return V < 0 ? TeeMsg_AxisIncrementNeg : AnsiString(); };
    // A custom axis may be deleted while the dialog shows; its chart stays.
    TCallOut held{Axis};
    const TModalOutcome shown = ShowModalWatching(dlg.get(), {Axis->ParentChart()}, AOwner);
    if (held.Gone()) return false;
    if (!shown.Ok()) return false;
    Axis->SetIncrement(dlg->Increment);
    Axis->SetExactDateTime(dlg->IsExact);
    return true;
}

bool EditAxisMaxMin(TComponent* AOwner, TChartAxis* Axis, bool IsMax) {
    auto dlg = TeeCreateDialog<TAxisMaxMin>(AOwner);
    dlg->SetCaption(AxisName(Axis) + " " + (IsMax ? TeeMsg_Maximum : TeeMsg_Minimum));
    dlg->IsDateTime = Axis->IsDateTime();
    dlg->MaxMin = IsMax ? Axis->Maximum() : Axis->Minimum();
    // Refused here, so the dialog stays open and the axis keeps both limits.
    dlg->OnCheck = [axis = TWatched<TChartAxis>(Axis), IsMax](double V) {
        if (!axis) return AnsiString();
        if (IsMax && V < axis->Minimum()) return TeeMsg_AxisMaxMin;
        if (!IsMax && V > axis->Maximum()) return TeeMsg_AxisMinMax;
        return AnsiString();
    };
    // A custom axis may be deleted while the dialog shows; its chart stays.
    TCallOut held{Axis};
    const TModalOutcome shown = ShowModalWatching(dlg.get(), {Axis->ParentChart()}, AOwner);
    if (held.Gone()) return false;
    if (!shown.Ok()) return false;
    if (IsMax) {
        Axis->SetMaximum(dlg->MaxMin);
        Axis->SetAutomaticMaximum(false);
    } else {
        Axis->SetMinimum(dlg->MaxMin);
        Axis->SetAutomaticMinimum(false);
    }
    return true;
}
