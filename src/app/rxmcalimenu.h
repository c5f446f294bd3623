#pragma once
// The resistance meter's calibration window: the nine factors read, written
// and loaded from SETUP.INI, Reset, one measurement with its status bits, the
// serial number and calibration date, the calibration CSV file and the
// print-out of the info display.
#include "app/instrumentform.h"
#include "comm/seriell_rxm.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/mask.h"
#include "platform/forms/stdctrls.h"
#include <vector>

// The window's own resistance meter object.
C_RXM_850& RxmCaliMeter();

class TFormRXMCali : public TInstrumentForm {
    QM_CLASS(TFormRXMCali)
public:
    explicit TFormRXMCali(TComponent* AOwner);

    TGroupBox *GroupBox_adjust_para, *GroupBoxaction, *GroupBox_info_display, *GroupBoxStatus,
        *GroupBoxCaliData;
    TMaskEdit *MaskEdit_k0, *MaskEdit_k1, *MaskEdit_k2, *MaskEdit_k3, *MaskEdit_k4, *MaskEdit_k5,
        *MaskEdit_k_TF0, *MaskEdit_k_TF2, *MaskEdit_k_TF3;
    TBitBtn *BitBtn_read_para, *BitBtn_read_default, *BitBtn_write_para, *BitBtn_read_cali_data,
        *BitBtn_write_cali_data, *BitBtn_read_meas_data, *BitBtn_reset, *BitBtn_save, *BitBtn_print,
        *BitBtn_clear, *BitBtn_exit;
    TMemo* MemoInfo;
    TCheckBox* CheckBox[8];
    TProgressBar* ProgressBarWait;
    TMaskEdit *MaskEditSerialNumber, *MaskEditSerialDate;
    TBitBtn *BitBtnCaliDateOK, *BitBtnCaliDateCancel;
    TSaveDialog* SaveDialogCali;
    TPrintDialog* PrintDialogCali;
    TTimer* Timer1;

    RXM850_Para_Struct CaliPara;
    bool DateEntryWaiting = false, DateEntryCancelled = false;
    unsigned WaitElapsedMs = 0;

    void BitBtn_read_paraClick(TObject* Sender);
    void BitBtn_write_paraClick(TObject* Sender);
    void BitBtn_read_defaultClick(TObject* Sender);
    void BitBtn_resetClick(TObject* Sender);
    void BitBtn_read_meas_dataClick(TObject* Sender);
    void BitBtn_clearClick(TObject* Sender);
    void BitBtn_exitClick(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void BitBtn_read_cali_dataClick(TObject* Sender);
    void BitBtn_write_cali_dataClick(TObject* Sender);
    void BitBtnCaliDateOKClick(TObject* Sender);
    void BitBtnCaliDateCancelClick(TObject* Sender);
    void BitBtn_printClick(TObject* Sender);
    void BitBtn_saveClick(TObject* Sender);

    TRxmResult ReadParameters();
    TRxmResult WriteParameters();
    // Problems gets a line for each factor of SETUP.INI that could not be used.
    void LoadDefaultParameters(std::vector<AnsiString>& Problems);
    void LockButtons(int Mode);
    void WaitWithProgress(unsigned Ms);
    void EnableActionButtons(bool Enabled);
    void PrintInfoDisplay();
    int SaveCalibrationCsv();

protected:
    void DoClose(TCloseAction& Action) override;

private:
    TMaskEdit* FactorEdit(int Index) const;
    void AddLine(const AnsiString& Line);
    TBitBtn* ActionButton(int Index) const;
    bool FRemembered[10] = {};
    bool FLeft = false;
};

extern TFormRXMCali* FormRXMCali;
