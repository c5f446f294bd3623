#pragma once
// The grounding tester's window: the test statistics transferred, shown with
// their percentages, appended to a CSV file with a comment and printed.
#include "app/instrumentform.h"
#include "platform/forms/buttons.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/stdctrls.h"

class C_PGT300;

// The window's own grounding tester object.
C_PGT300& Pgt300Tester();
// A percentage as shown, saved and printed: "11.5%".
AnsiString PgtPercentText(double Percent);

class TFormPGT300 : public TInstrumentForm {
    QM_CLASS(TFormPGT300)
public:
    explicit TFormPGT300(TComponent* AOwner);

    TGroupBox *GroupBox1, *GroupBoxResults;
    TBitBtn *BitBtn_Start, *BitBtn_Cancel, *BitBtnSaveData, *BitBtnPrintData;
    TCheckBox* CheckBoxDeleteStatisticData;
    TEdit *Counter_all, *Counter_HGB_L, *Counter_HGB_H, *Counter_Shoe_L, *Counter_Shoe_H;
    TEdit *Counter_HGB_L_P, *Counter_HGB_H_P, *Counter_Shoe_L_P, *Counter_Shoe_H_P;
    TLabel* LabelComment;
    TEdit* EditComment;
    TSaveDialog* SaveDialogPGT;
    TPrintDialog* PrintDialogPGT;

    void BitBtn_StartClick(TObject* Sender);
    void BitBtnSaveDataClick(TObject* Sender);
    void BitBtnPrintDataClick(TObject* Sender);
    void BitBtn_CancelClick(TObject* Sender);
    void CloseWindow();
    void PrintStatistics();

protected:
    void DoClose(TCloseAction& Action) override;

private:
    // Counts of a transfer are on screen (and in the tester's record).
    bool FHaveCounts = false;
};

extern TFormPGT300* FormPGT300;
