#pragma once
// The two small dialogs of the axis page: the desired increment (a number, a
// standard date-time step or days and a time) and a fixed minimum or maximum
// (a number, or a date and a time). Bad text shows why and keeps the dialog open.
#include "chart/editor/teebinder.h"
#include "chart/engine/teeprocs.h"
#include "platform/forms/forms.h"
#include <functional>

class TButton;
class TCheckBox;
class TComboFlat;
class TEdit;
class TLabel;
class TRadioGroup;
class TChartAxis;

class TAxisIncrement : public TForm {
    QM_CLASS(TAxisIncrement)
public:
    explicit TAxisIncrement(TComponent* AOwner);

    TCheckBox* CBExact = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    TComboFlat* CBSteps = nullptr;
    TLabel* LIncrement = nullptr;
    TEdit* ECustom = nullptr;
    TButton* BOk = nullptr;
    TButton* BCancel = nullptr;

    bool IsDateTime = false;
    bool IsExact = false;
    double Increment = 0;
    TDateTimeStep IStep = dtNone;
    // Extra check of the value before closing: an empty text accepts it,
    // anything else is the reason it is refused.
    std::function<AnsiString(double)> OnCheck;

    void FormShow(TObject* Sender);
    void RadioGroup1Click(TObject* Sender);
    void CBExactClick(TObject* Sender);
    void CBStepsChange(TObject* Sender);
    void BOkClick(TObject* Sender);

private:
    TControlBinder FBind;
};

class TAxisMaxMin : public TForm {
    QM_CLASS(TAxisMaxMin)
public:
    explicit TAxisMaxMin(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TEdit* EMaximum = nullptr;
    TLabel* Label2 = nullptr;
    TEdit* EMinimum = nullptr;
    TButton* BitBtn1 = nullptr;
    TButton* BitBtn2 = nullptr;

    bool IsDateTime = false;
    double MaxMin = 0;
    std::function<AnsiString(double)> OnCheck;

    void FormShow(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
};

// The increment as the axis page shows it: a standard step's name for exact
// date-time steps, days and a time for other date-time values, else Format.
AnsiString GetIncrementText(TComponent* AOwner, double Increment, bool IsDateTime, bool Exact,
                            const AnsiString& Format);
// Days and a time: "1" for one day, "2 12:00:00" for two and a half days.
AnsiString DateTimeIncrementText(double Value);

// The dialogs on an axis; true when the axis took the new value.
bool EditAxisIncrement(TComponent* AOwner, TChartAxis* Axis);
bool EditAxisMaxMin(TComponent* AOwner, TChartAxis* Axis, bool IsMax);

// Text to values in the user's date and time formats; false for bad text,
// with the reason in Error.
bool TeeTryStrToTime(const AnsiString& S, double& Value, AnsiString& Error);
bool TeeTryStrToDate(const AnsiString& S, double& Value, AnsiString& Error);
bool TeeTryStrToNumber(const AnsiString& S, double& Value, AnsiString& Error);
