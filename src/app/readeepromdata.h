#pragma once
// The plate monitor's stored result files window: asks for the range of file
// numbers, then for a comment per file, each step waiting for OK or Abort.
#include "comm/seriell_cpm.h"
#include "platform/forms/buttons.h"
#include "platform/forms/forms.h"
#include "platform/forms/mask.h"
#include "platform/forms/stdctrls.h"

class TFormReadCPMFiles : public TForm {
    QM_CLASS(TFormReadCPMFiles)
public:
    explicit TFormReadCPMFiles(TComponent* AOwner);

    TGroupBox* GroupBoxRangeFileNumber;
    TLabel *LabelRangeFileNumber, *Label1;
    TMaskEdit *MaskEditStart, *MaskEditStopp;
    TGroupBox* GroupBoxInputComment;
    TLabel *Label3, *LabelFileNumberActuell, *Label4, *LabelFileNumberMax;
    TEdit* TextCommentFile;
    TBitBtn *BitBtnOK, *BitBtnAbort;

    bool RangeConfirmed = false;
    bool RangeAborted = false;

    // 0 with the range entered, or -10 when aborted (both then 0).
    int InputFileRange(int& First, int& Last);
    // One comment per file number First..Last; 0, or -10 when aborted.
    int InputFileComments(int First, int Last, TStoredReplies& Comments);

    void BitBtnOKClick(TObject* Sender);
    void BitBtnAbortClick(TObject* Sender);

private:
    void WaitForAnswer();
};

extern TFormReadCPMFiles* FormReadCPMFiles;
