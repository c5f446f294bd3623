#include "app/readeepromdata.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"

QM_CLASS_OWNED(TFormReadCPMFiles, TForm, TComponent)

TFormReadCPMFiles* FormReadCPMFiles = nullptr;

namespace {
// The controls are laid out for a client area this wide; the frame comes on top.
constexpr int ClientWidth_ = 420, Height_ = 220;
// File numbers the instrument can be asked for.
constexpr int HighestFile = 99;

bool ReadNumber(TMaskEdit* Edit, int& Value) {
    return TryStrToInt(Edit->Text().Trim(), Value) && Value >= 0 && Value <= HighestFile;
}
} // namespace

TFormReadCPMFiles::TFormReadCPMFiles(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormReadCPMFiles");
    SetCaption("CHARGE-PLATE Monitor");
    SetBorderIcons({});
    SetColor(clBtnFace);

    GroupBoxRangeFileNumber = NewControl<TGroupBox>(this, this, "GroupBoxRangeFileNumber", 8, 8,
                                                    404, 120, "File number range");
    LabelRangeFileNumber = NewControl<TLabel>(this, GroupBoxRangeFileNumber, "LabelRangeFileNumber",
                                              12, 50, 170, 20, "Reading file number from ");
    MaskEditStart =
        NewControl<TMaskEdit>(this, GroupBoxRangeFileNumber, "MaskEditStart", 186, 46, 40, 24);
    Label1 = NewControl<TLabel>(this, GroupBoxRangeFileNumber, "Label1", 230, 50, 40, 20, "   to");
    MaskEditStopp =
        NewControl<TMaskEdit>(this, GroupBoxRangeFileNumber, "MaskEditStopp", 276, 46, 40, 24);
    for (TMaskEdit* e : {MaskEditStart, MaskEditStopp}) {
        e->SetEditMask("##;0;_");
        e->SetMaxLength(2);
    }
    MaskEditStart->OnKeyUp = [this](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_RETURN) MaskEditStopp->SetFocus();
    };

    GroupBoxInputComment = NewControl<TGroupBox>(this, this, "GroupBoxInputComment", 8, 8, 404, 120,
                                                 "Input comments to file numbers");
    Label3 =
        NewControl<TLabel>(this, GroupBoxInputComment, "Label3", 12, 28, 90, 20, "File Number :");
    LabelFileNumberActuell =
        NewControl<TLabel>(this, GroupBoxInputComment, "LabelFileNumberActuell", 106, 28, 30, 20);
    Label4 = NewControl<TLabel>(this, GroupBoxInputComment, "Label4", 140, 28, 40, 20, "from");
    LabelFileNumberMax =
        NewControl<TLabel>(this, GroupBoxInputComment, "LabelFileNumberMax", 184, 28, 30, 20);
    TextCommentFile =
        NewControl<TEdit>(this, GroupBoxInputComment, "TextCommentFile", 12, 60, 380, 26);
    TextCommentFile->OnKeyPress = [this](TObject*, char& Key) {
        if (Key == 13) RangeConfirmed = true;
    };

    BitBtnOK = NewControl<TBitBtn>(this, this, "BitBtnOK", 8, 140, 120, 34, "OK");
    BitBtnAbort = NewControl<TBitBtn>(this, this, "BitBtnAbort", 292, 140, 120, 34, "Abort");
    BitBtnOK->OnClick = [this](TObject* s) { BitBtnOKClick(s); };
    BitBtnAbort->OnClick = [this](TObject* s) { BitBtnAbortClick(s); };

    GroupBoxRangeFileNumber->Hide();
    GroupBoxInputComment->Hide();
    SetClientWidth(ClientWidth_);
    SetHeight(Height_);
    SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(),
              Height());
}

void TFormReadCPMFiles::BitBtnOKClick(TObject*) {
    RangeConfirmed = true;
}

void TFormReadCPMFiles::BitBtnAbortClick(TObject*) {
    RangeAborted = true;
}

void TFormReadCPMFiles::WaitForAnswer() {
    // A window hidden meanwhile counts as aborted, so the wait always ends.
    while (!RangeConfirmed && !RangeAborted) {
        if (!Visible()) {
            RangeAborted = true;
            break;
        }
        Sleep(10);
        Application->ProcessMessages();
    }
}

int TFormReadCPMFiles::InputFileRange(int& First, int& Last) {
    GroupBoxInputComment->Hide();
    GroupBoxRangeFileNumber->Show();
    Show();
    MaskEditStart->SetText(IntToStr(First));
    MaskEditStopp->SetText(IntToStr(Last));
    for (;;) {
        // A retry keeps what was typed: a valid number is not asked for twice.
        RangeConfirmed = RangeAborted = false;
        MaskEditStart->SetFocus();
        WaitForAnswer();
        if (RangeAborted) {
            Hide();
            GroupBoxRangeFileNumber->Hide();
            First = Last = 0;
            return -10;
        }
        int first = 0, last = 0;
        const bool numbers = ReadNumber(MaskEditStart, first) && ReadNumber(MaskEditStopp, last);
        if (!numbers) {
            Application->MessageBox("Please enter both file numbers !! ", "Incorrect input !",
                                    MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        First = first;
        Last = last;
        if (First > Last) {
            Application->MessageBox("Value for start is higher than value for stop !! ",
                                    "Incorrect input !", MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        Hide();
        GroupBoxRangeFileNumber->Hide();
        return 0;
    }
}

int TFormReadCPMFiles::InputFileComments(int First, int Last, TStoredReplies& Comments) {
    for (AnsiString& c : Comments)
        c = "";
    GroupBoxRangeFileNumber->Hide();
    GroupBoxInputComment->Show();
    LabelFileNumberMax->SetCaption(IntToStr(Last - First + 1));
    Show();
    RangeAborted = false;
    for (int n = First; n <= Last && n <= HighestFile && !RangeAborted; ++n) {
        RangeConfirmed = RangeAborted = false;
        LabelFileNumberActuell->SetCaption(IntToStr(n));
        TextCommentFile->SetText("");
        TextCommentFile->SetFocus();
        WaitForAnswer();
        if (n >= 0) Comments[n] = TextCommentFile->Text();
    }
    Hide();
    GroupBoxInputComment->Hide();
    return RangeAborted ? -10 : 0;
}
