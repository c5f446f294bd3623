#pragma once
// The plate monitor's set-up and decay-test window, its identity read, the
// reading of its stored result files, and what the instrument code writes into
// these windows (memo, labels, chart series).
#include "app/instrumentform.h"
#include "comm/seriell_cpm.h"
#include "platform/forms/buttons.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include <functional>

class TCommSeriesSink;

class TCPMSetup : public TInstrumentForm {
    QM_CLASS(TCPMSetup)
public:
    explicit TCPMSetup(TComponent* AOwner);

    TGroupBox* GBDisplay;
    TMemo* MemoDisplay;
    TGroupBox* GroupBoxsetup;
    TRadioGroup* SelectMode;
    TGroupBox* GroupBoxParameters;
    TLabel *LabelVStart, *LabelVStop, *LabelOffsetTime;
    TComboBox *ComboBoxVStart, *ComboBoxVStop, *ComboBoxOffsetTime;
    TButton* ButtonReadSetup;
    TBitBtn *BitBtnStart, *BitBtnChart, *BitBtnBreak, *BitBtnReadFile, *BitBtnInfo;
    TButton* ButtonClearDisplay;
    TBitBtn* BitBtnCancel;
    TGroupBox *GroupBoxResult, *GroupBoxPosDecayTime, *GroupBoxNegDecayTime, *GroupBoxOffset;
    TLabel *LabelPosDecayTime, *LabelNegDecayTime, *LabelOffset;
    TLabel* Label5;
    TEdit* Edit1;
    TBitBtn *BitBtnSaveResult, *BitBtnOK;

    bool CommentEntered = false;

    void EnableControls(bool Enabled);
    void ApplySetup();
    // Reads files first..last into the replies and decodes each; 0 when all
    // decode. last becomes the highest file number that delivered data.
    int ReadStoredFiles(int& First, int& Last, TStoredReplies& Replies);

    void BitBtnStartClick(TObject* Sender);
    void BitBtnInfoClick(TObject* Sender);
    void BitBtnCancelClick(TObject* Sender);
    void ButtonClearDisplayClick(TObject* Sender);
    void ButtonReadSetupClick(TObject* Sender);
    void BitBtnSaveResultClick(TObject* Sender);
    void BitBtnOKClick(TObject* Sender);
    void BitBtnBreakClick(TObject* Sender);
    void BitBtnChartClick(TObject* Sender);
    void BitBtnReadFileClick(TObject* Sender);

protected:
    void DoClose(TCloseAction& Action) override;

private:
    // Runs a conversation; a failure of the instrument or the port is shown
    // and the controls are given back.
    void Guarded(const std::function<void()>& Conversation);
    void RestoreSaveButton();
    struct TLastResult {
        int VStart = 0, VStop = 0, TOffset = 0;
        double DecayPos = 0, DecayNeg = 0, OffsetV = 0;
        int Mode = 0; // set-up word 7 of the test
    } FResult;
    bool FCommentWaitEnded = false;
};

extern TCPMSetup* CPMSetup;

// The window's own plate-monitor object.
C_CPM_EF& SetupCpm();
// "r0" on the window's object: notes whether the plate monitor runs version
// 6.10 and keeps its version, serial number and calibration date (also in set-up
// words 0..2 for the CSV headers). A failed read keeps nothing of an earlier one.
void ReadCPMIdentity();
// What the last identity read gave (the date as dd-mm-20yy).
struct TCpmIdentity {
    AnsiString Version, Serial, Date;
};
const TCpmIdentity& CpmIdentity();

// What the plate-monitor instrument code writes into these windows; the
// program's instrument host forwards to them.
namespace CpmWindows {
void SetGroupBoxOffsetCaption(const AnsiString& Caption);
void SetLabelOffsetCaption(const AnsiString& Caption);
void ClearMemoDisplay();
void SetMemoDisplayFontSize(int Size);
void AddMemoDisplayLine(const AnsiString& Line);
TCommSeriesSink* ChartSeries(int Number);
void HideChartWindow();
} // namespace CpmWindows
