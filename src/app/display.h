#pragma once
// The large-figure display: the reading and its maxima in figures readable
// from a distance, with a sampling loop of its own.
#include "platform/forms/buttons.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"

class USB;
class C_CPM_EF;

class TFormDisplay : public TForm {
    QM_CLASS(TFormDisplay)
public:
    explicit TFormDisplay(TComponent* AOwner);

    TGroupBox* GroupBoxSpannung;
    TLabel* LabelMesswert;
    TMemo* Memo_Status;
    TMemo* Error_1;
    TGroupBox* GroupBox1;
    TBitBtn *b_Start, *b_Stop, *b_Reset, *bCancel;
    TGroupBox *GroupBoxPosMaximum, *GroupBoxNegMaximum;
    TLabel *LabelPosMaximum_Value, *LabelNegMaximum_Value;

    void RunSampling(const AnsiString& Model, int Type, int Code, const AnsiString& Unit);
    // Decimals shown for a range code.
    static int Decimals(int RangeCode);

    void b_StartClick(TObject* Sender);
    void b_StopClick(TObject* Sender);
    void b_ResetClick(TObject* Sender);
    void bCancelClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

extern TFormDisplay* FormDisplay;

// The module-level instrument objects of the display.
USB& DisplayUsb();
C_CPM_EF& DisplayCpm();
