#pragma once
// The resistance meter's measurement window: Init with the identity, single
// measurements in the voltage, display and timer modes with the timer's
// count-down, saving one measurement with a comment, reading stored files into
// the stored-files window, Reset and Exit.
#include "app/instrumentform.h"
#include "platform/forms/buttons.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/mask.h"
#include "platform/forms/stdctrls.h"

class C_RXM_850;

// The window's own resistance meter object.
C_RXM_850& Rxm850Meter();

// The mode byte of a measurement command: display "Expo" (index 0) adds 1,
// voltage "Auto"/"10V"/"100V" 4/2/0, timer mode "Average" 8 and timer on 16.
int RxmModeByte(int VoltageIndex, int DisplayIndex, bool TimerOn, int TimerModeIndex);
// "C0" and the mode byte, with the timer's seconds as a third byte when on.
AnsiString RxmMeasureCommand(int ModeByte, bool TimerOn, int Seconds);
// The display mode "Expo" text of a reading: 1234 and 5 give "1.2e8 Ohm".
AnsiString RxmExpoText(int Mantissa, int Exponent);

class TFormRXM850 : public TInstrumentForm {
    QM_CLASS(TFormRXM850)
public:
    explicit TFormRXM850(TComponent* AOwner);

    TGroupBox *RXM_GroupBox_V, *RXM_GroupBox_H, *RXM_GroupBox_T;
    TLabel *Label_RXM_Me, *Label_RXM_Hu, *Label_RXM_Te;
    TBitBtn *BitBtn_init, *BitBtn_start, *BitBtn_stop, *BitBtn_save, *BitBtn_readFile,
        *BitBtn_reset, *BitBtn_exit;
    TGroupBox* GroupBox_RXM_Setup;
    TRadioGroup *RadioGroup_RXM_VM, *RadioGroup_RXM_DM, *RadioGroup_RXM_TI, *RadioGroup_RXM_TiMo;
    TComboBox* ComboBox_RXM_Time;
    TGroupBox* GroupBoxInfo;
    TMemo* MemoInfo;
    TGroupBox* GroupBoxFiles;
    TLabel *Label1, *Label2, *LabelReadFNo, *LabelFNo;
    TMaskEdit *MaskEdit_start_fn, *MaskEdit_end_fn;
    TBitBtn* BitBtn_OK_FileNo;
    TGroupBox* GroupBox_Input_Comment;
    TEdit* Edit_Comment;
    TBitBtn *BitBtnOK, *BitBtnCancel;

    bool AbortRequested = false;
    bool RangeConfirmed = false;
    bool CommentConfirmed = false;
    bool CommentCancelled = false;
    int LastVoltageMode = 3;

    void BitBtn_initClick(TObject* Sender);
    void BitBtn_startClick(TObject* Sender);
    void BitBtn_stopClick(TObject* Sender);
    void BitBtn_saveClick(TObject* Sender);
    void BitBtn_readFileClick(TObject* Sender);
    void BitBtn_resetClick(TObject* Sender);
    void BitBtn_exitClick(TObject* Sender);
    void RadioGroup_RXM_TIClick(TObject* Sender);
    void BitBtn_OK_FileNoClick(TObject* Sender);
    void BitBtnOKClick(TObject* Sender);
    void BitBtnCancelClick(TObject* Sender);
    void Edit1KeyPress(TObject* Sender, char& Key);

    void EnableButtons(bool Enabled);
    void ClearFileRecords();
    void CloseWindow();

protected:
    void DoClose(TCloseAction& Action) override;

private:
    // Waits that end early (false) once the window has been left.
    bool Wait(unsigned Ms);
    // After an exception in a handler: the buttons as the meter's state allows.
    void RestoreButtons();
    bool Left() const { return FLeft; }
    void ShowMeasurement();
    bool FIdentified = false;
    bool FLeft = false;
    // A reading is shown that no file holds yet.
    bool FUnsaved = false;
};

extern TFormRXM850* FormRXM850;
