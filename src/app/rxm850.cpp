// The resistance meter's measurement window.
//   construction and the button states
//   Init, Reset, Stop
//   the single measurement with the timer's count-down
//   Save with a comment, Read File into the stored-files window
//   leaving the window
#include "app/fixedlabel.h"
#include "app/rxm850.h"
#include "app/focom.h"
#include "app/main.h"
#include "app/rxm850inputfilecomments.h"
#include "comm/comport.h"
#include "comm/seriell_link.h"
#include "comm/seriell_rxm.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>

QM_CLASS_OWNED(TFormRXM850, TInstrumentForm, TComponent)

TFormRXM850* FormRXM850 = nullptr;

C_RXM_850& Rxm850Meter() {
    static C_RXM_850 meter;
    return meter;
}

namespace {
const char* const Degree = "\xB0";

// The chosen seconds: the number in front of the first blank; 0 when none.
int TimerSecondsOf(const AnsiString& Text) {
    const AnsiString t = Text.TrimLeft();
    const int blank = t.Pos(" ");
    return (blank > 0 ? t.SubString(1, blank - 1) : t).ToIntDef(0);
}
} // namespace

int RxmModeByte(int VoltageIndex, int DisplayIndex, bool TimerOn, int TimerModeIndex) {
    int mode = DisplayIndex == 0 ? 1 : 0;
    mode |= VoltageIndex == 0 ? 4 : VoltageIndex == 1 ? 2 : 0;
    if (TimerOn) mode |= 16 | (TimerModeIndex == 1 ? 8 : 0);
    return mode;
}

AnsiString RxmMeasureCommand(int ModeByte, bool TimerOn, int Seconds) {
    AnsiString command = "C0" + IntToHex(ModeByte, 2);
    if (TimerOn) command += IntToHex(Seconds & 0xFF, 2);
    return command;
}

AnsiString RxmExpoText(int Mantissa, int Exponent) {
    const AnsiString digits = IntToStr(Mantissa);
    AnsiString text = digits;
    text.Insert(".", 2);
    return text.SubString(1, 3) + "e" + IntToStr(Exponent + digits.Length() - 1) + " Ohm";
}

// ---- Construction and the button states

TFormRXM850::TFormRXM850(TComponent* AOwner) : TInstrumentForm(AOwner, false) {
    SetName("FormRXM850");
    SetCaption("RXM 850");
    SetBounds((Screen->Width() - 920) / 2, (Screen->Height() - 650) / 2 + 20, 920, 650);
    auto group = [this](const char* Name, int L, int T, int W, int H, const char* Caption) {
        return NewControl<TGroupBox>(this, this, Name, L, T, W, H, Caption);
    };
    RXM_GroupBox_V = group("RXM_GroupBox_V", 8, 8, 600, 110, "Resistor measured value");
    Label_RXM_Me = FixedLabel(this, RXM_GroupBox_V, "Label_RXM_Me", 10, 22, 580, 80);
    Label_RXM_Me->SetAlignment(taRightJustify);
    RXM_GroupBox_H = group("RXM_GroupBox_H", 8, 126, 296, 70, "Humidity");
    Label_RXM_Hu = FixedLabel(this, RXM_GroupBox_H, "Label_RXM_Hu", 10, 22, 276, 40);
    RXM_GroupBox_T = group("RXM_GroupBox_T", 312, 126, 296, 70, "Air temperature");
    Label_RXM_Te = FixedLabel(this, RXM_GroupBox_T, "Label_RXM_Te", 10, 22, 276, 40);
    for (TLabel* l : {Label_RXM_Hu, Label_RXM_Te}) {
        l->SetAlignment(taCenter);
        l->Font()->SetSize(20);
    }

    struct TButtonDef {
        TBitBtn** Button;
        const char *Name, *Caption, *Hint;
    };
    const TButtonDef buttons[] = {
        {&BitBtn_init, "BitBtn_init", "&Init", "Init RXM and read info"},
        {&BitBtn_start, "BitBtn_start", "Sta&rt", "Start a single measurement"},
        {&BitBtn_stop, "BitBtn_stop", "S&top", "Stop measurement"},
        {&BitBtn_save, "BitBtn_save", "&Save", "Save measurement data to file"},
        {&BitBtn_readFile, "BitBtn_readFile", "Read &File", "Read data files from the RXM"},
        {&BitBtn_reset, "BitBtn_reset", "&Reset", "Reset RXM"},
        {&BitBtn_exit, "BitBtn_exit", "E&xit", "Exit and go to the main menu"}};
    int left = 8;
    for (const TButtonDef& b : buttons) {
        *b.Button = NewControl<TBitBtn>(this, this, b.Name, left, 570, 120, 40, b.Caption);
        (*b.Button)->SetHint(b.Hint);
        (*b.Button)->SetShowHint(true);
        left += 128;
    }

    GroupBox_RXM_Setup = group("GroupBox_RXM_Setup", 620, 8, 280, 288, "Setup");
    auto radio = [this](const char* Name, int Top, int Height, const char* Caption,
                        std::initializer_list<const char*> Items, int Index) {
        auto* r =
            NewControl<TRadioGroup>(this, GroupBox_RXM_Setup, Name, 10, Top, 260, Height, Caption);
        r->Items()->BeginUpdate();
        for (const char* item : Items)
            r->Items()->Add(item);
        r->Items()->EndUpdate();
        r->SetItemIndex(Index);
        return r;
    };
    RadioGroup_RXM_VM =
        radio("RadioGroup_RXM_VM", 20, 90, "Voltage mode", {"Auto", "10V", "100V"}, 0);
    RadioGroup_RXM_DM = radio("RadioGroup_RXM_DM", 114, 70, "Display Mode", {"Expo", "Techn"}, 1);
    RadioGroup_RXM_TI = radio("RadioGroup_RXM_TI", 190, 70, "Timer", {"OFF", "ON"}, 0);
    RadioGroup_RXM_TiMo =
        radio("RadioGroup_RXM_TiMo", 270, 70, "Timer mode", {"Lapse", "Average"}, 0);
    RadioGroup_RXM_TiMo->Hide();
    RadioGroup_RXM_TI->OnClick = [this](TObject* s) { RadioGroup_RXM_TIClick(s); };
    ComboBox_RXM_Time =
        NewControl<TComboBox>(this, GroupBox_RXM_Setup, "ComboBox_RXM_Time", 10, 350, 260, 28);
    ComboBox_RXM_Time->Items()->BeginUpdate();
    for (int s = 1; s <= 10; ++s)
        ComboBox_RXM_Time->Items()->Add(IntToStr(s) + " sec");
    for (int s : {15, 20, 30, 40, 50, 60, 70, 80, 90, 100, 120, 180, 240})
        ComboBox_RXM_Time->Items()->Add(IntToStr(s) + " sec");
    ComboBox_RXM_Time->Items()->EndUpdate();
    ComboBox_RXM_Time->SetText("         Select time");
    // Text and list rows in a font that fills the box.
    ComboBox_RXM_Time->Font()->SetHeight(-16);
    ComboBox_RXM_Time->Hide();

    GroupBoxInfo = group("GroupBoxInfo", 8, 470, 892, 90, "Info");
    MemoInfo = NewControl<TMemo>(this, GroupBoxInfo, "MemoInfo", 8, 18, 876, 64);
    MemoInfo->SetReadOnly(true);

    GroupBoxFiles = group("GroupBoxFiles", 8, 206, 600, 100, "Input range");
    Label1 =
        NewControl<TLabel>(this, GroupBoxFiles, "Label1", 10, 30, 150, 24, "File number from : ");
    MaskEdit_start_fn =
        NewControl<TMaskEdit>(this, GroupBoxFiles, "MaskEdit_start_fn", 170, 26, 40, 26);
    Label2 = NewControl<TLabel>(this, GroupBoxFiles, "Label2", 220, 30, 30, 24, "to");
    MaskEdit_end_fn =
        NewControl<TMaskEdit>(this, GroupBoxFiles, "MaskEdit_end_fn", 250, 26, 40, 26);
    for (TMaskEdit* m : {MaskEdit_start_fn, MaskEdit_end_fn}) {
        m->SetEditMask("99;1");
        m->SetMaxLength(2);
        m->SetText("1 ");
    }
    BitBtn_OK_FileNo =
        NewControl<TBitBtn>(this, GroupBoxFiles, "BitBtn_OK_FileNo", 310, 22, 80, 32, "OK");
    BitBtn_OK_FileNo->OnClick = [this](TObject* s) { BitBtn_OK_FileNoClick(s); };
    LabelReadFNo =
        NewControl<TLabel>(this, GroupBoxFiles, "LabelReadFNo", 10, 66, 100, 24, "Read No. : ");
    LabelFNo = NewControl<TLabel>(this, GroupBoxFiles, "LabelFNo", 120, 66, 60, 24);
    GroupBoxFiles->Hide();

    GroupBox_Input_Comment = group("GroupBox_Input_Comment", 280, 320, 400, 110, "Input comment");
    Edit_Comment = NewControl<TEdit>(this, GroupBox_Input_Comment, "Edit_Comment", 10, 24, 380, 28);
    Edit_Comment->OnKeyPress = [this](TObject* s, char& k) { Edit1KeyPress(s, k); };
    BitBtnOK =
        NewControl<TBitBtn>(this, GroupBox_Input_Comment, "BitBtnOK", 10, 64, 100, 34, "&OK");
    BitBtnCancel = NewControl<TBitBtn>(this, GroupBox_Input_Comment, "BitBtnCancel", 290, 64, 100,
                                       34, "&Cancel");
    BitBtnOK->OnClick = [this](TObject* s) { BitBtnOKClick(s); };
    BitBtnCancel->OnClick = [this](TObject* s) { BitBtnCancelClick(s); };
    GroupBox_Input_Comment->Hide();

    BitBtn_init->OnClick = [this](TObject* s) { BitBtn_initClick(s); };
    BitBtn_start->OnClick = [this](TObject* s) { BitBtn_startClick(s); };
    BitBtn_stop->OnClick = [this](TObject* s) { BitBtn_stopClick(s); };
    BitBtn_save->OnClick = [this](TObject* s) { BitBtn_saveClick(s); };
    BitBtn_readFile->OnClick = [this](TObject* s) { BitBtn_readFileClick(s); };
    BitBtn_reset->OnClick = [this](TObject* s) { BitBtn_resetClick(s); };
    BitBtn_exit->OnClick = [this](TObject* s) { BitBtn_exitClick(s); };
    for (TBitBtn* b : {BitBtn_start, BitBtn_stop, BitBtn_save, BitBtn_readFile, BitBtn_reset})
        b->SetEnabled(false);
}

void TFormRXM850::EnableButtons(bool Enabled) {
    BitBtn_exit->SetEnabled(true);
    for (TBitBtn* b : {BitBtn_init, BitBtn_reset, BitBtn_readFile, BitBtn_stop, BitBtn_start})
        b->SetEnabled(Enabled);
    if (!Enabled) BitBtn_save->SetEnabled(false);
}

void TFormRXM850::RestoreButtons() {
    EnableButtons(FIdentified);
    BitBtn_init->SetEnabled(true);
    BitBtn_save->SetEnabled(FUnsaved);
}

bool TFormRXM850::Wait(unsigned Ms) {
    // In short steps, so leaving the window ends the wait.
    const uint32_t start = GetTickCount();
    while (!FLeft && GetTickCount() - start < Ms) {
        Application->ProcessMessages();
        Sleep(std::min<uint32_t>(50, Ms - (GetTickCount() - start)));
    }
    return !FLeft;
}

void TFormRXM850::RadioGroup_RXM_TIClick(TObject*) {
    const bool on = RadioGroup_RXM_TI->ItemIndex() == 1;
    RadioGroup_RXM_TiMo->SetVisible(on);
    ComboBox_RXM_Time->SetVisible(on);
    GroupBox_RXM_Setup->SetHeight(on ? 457 : 288);
}

void TFormRXM850::BitBtn_OK_FileNoClick(TObject*) {
    RangeConfirmed = true;
}
void TFormRXM850::BitBtnOKClick(TObject*) {
    CommentConfirmed = true;
}
void TFormRXM850::BitBtnCancelClick(TObject*) {
    CommentCancelled = true;
}
void TFormRXM850::Edit1KeyPress(TObject*, char& Key) {
    if (Key == 13) {
        CommentConfirmed = true;
        Key = 0;
    }
}

// ---- Init, Reset, Stop

void TFormRXM850::BitBtn_initClick(TObject*) {
    FLeft = false;
    Label_RXM_Me->SetCaption("");
    MemoInfo->Clear();
    MemoInfo->Lines()->Add("\t\t\t     Initialize RXM, please wait....");
    EnableButtons(false);
    Label_RXM_Hu->SetCaption("");
    Label_RXM_Te->SetCaption("");
    Application->ProcessMessages();
    C_RXM_850& meter = Rxm850Meter();
    AnsiString date, version, serial;
    TRxmResult result;
    try {
        meter.Request("C004", meter.Data);
        if (!Wait(300)) return;
        meter.SendReset();
        if (!Wait(3500)) return;
        result = meter.ReadIdentity(date, version, serial);
    } catch (...) {
        if (FLeft) throw;
        RestoreButtons();
        RethrowNamingPort();
    }
    if (result != TRxmResult::Ok) {
        // Said, not silent: only Init and Exit make sense until the meter answers.
        FIdentified = false;
        MemoInfo->Lines()->Add(
            "RXM does not answer. Check the cable and the port, then Init again.");
        BitBtn_init->SetEnabled(true);
        return;
    }
    FIdentified = true;
    EnableButtons(true);
    BitBtn_save->SetEnabled(false);
    Label_RXM_Me->Font()->SetSize(24);
    Application->ProcessMessages();
    MemoInfo->Clear();
    MemoInfo->Lines()->Add("\tSW version : " + version + "   /  Serial number : " + serial +
                           "   /  Calibration date : " + date);
    if (FormRXM850FComment) {
        FormRXM850FComment->MeterSerialNumber = serial;
        FormRXM850FComment->MeterSwVersion = version;
        FormRXM850FComment->MeterCalDate = date;
    }
}

void TFormRXM850::BitBtn_resetClick(TObject*) {
    FLeft = false;
    EnableButtons(false);
    try {
        Rxm850Meter().SendReset();
    } catch (...) {
        RestoreButtons();
        RethrowNamingPort();
    }
    if (!Wait(3500)) return;
    EnableButtons(true);
    BitBtn_save->SetEnabled(FUnsaved);
}

void TFormRXM850::BitBtn_stopClick(TObject*) {
    AbortRequested = true;
    EnableButtons(true);
    AnsiString reply;
    Rxm850Meter().Transact("C4", reply, true);
}

// ---- The single measurement

void TFormRXM850::ShowMeasurement() {
    C_RXM_850& meter = Rxm850Meter();
    const RXM850__Data& d = meter.Data;
    AnsiString unit;
    const AnsiString value = C_RXM_850::FormatResistance(d.Mantissa, d.Exponent, unit);
    if (d.Status & 0x80)
        Label_RXM_Me->SetCaption(d.Status & 0x40 ? "OVERFLOW" : "UNDERFLOW");
    else if (RadioGroup_RXM_DM->ItemIndex() == 1)
        Label_RXM_Me->SetCaption(value + " " + unit);
    else
        Label_RXM_Me->SetCaption(RxmExpoText(d.Mantissa, d.Exponent));
}

void TFormRXM850::BitBtn_startClick(TObject*) {
    FLeft = false;
    const bool timerOn = RadioGroup_RXM_TI->ItemIndex() == 1;
    const int seconds = timerOn ? TimerSecondsOf(ComboBox_RXM_Time->Text()) : 0;
    if (timerOn && seconds <= 0) {
        // Without a chosen time there is nothing to count down from.
        Application->MessageBox("Please select the timer time first.", "Timer",
                                MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    Label_RXM_Me->Font()->SetSize(50);
    for (TBitBtn* b : {BitBtn_save, BitBtn_init, BitBtn_readFile, BitBtn_reset, BitBtn_start})
        b->SetEnabled(false);
    BitBtn_stop->SetEnabled(true);
    BitBtn_exit->SetEnabled(true);
    Label_RXM_Me->Font()->SetSize(24);
    Label_RXM_Me->SetAlignment(taLeftJustify);
    Label_RXM_Me->SetCaption("Start measurement, please wait....");
    Label_RXM_Me->SetAlignment(taRightJustify);
    Label_RXM_Hu->SetCaption("");
    Label_RXM_Te->SetCaption("");
    Application->ProcessMessages();
    AbortRequested = false;
    // The reading shown so far gives way to the new one.
    FUnsaved = false;
    Label_RXM_Me->Font()->SetSize(50);
    if (MainForm && MainForm->RXM_FirstStart) {
        LastVoltageMode = 3;
        MainForm->RXM_FirstStart = false;
    }

    const int voltage = RadioGroup_RXM_VM->ItemIndex();
    const int mode = RxmModeByte(voltage, RadioGroup_RXM_DM->ItemIndex(), timerOn,
                                 RadioGroup_RXM_TiMo->ItemIndex());
    const AnsiString measure = RxmMeasureCommand(mode, timerOn, seconds);
    const AnsiString prepare = "C0" + IntToHex(mode, 2) + "00";
    if (timerOn) RXM_GroupBox_V->SetCaption("Remaining time");

    C_RXM_850& meter = Rxm850Meter();
    bool measured = false, failed = false;
    try {
        if (!Wait(100)) return;
        int count = 2;
        if (timerOn) {
            meter.Request(prepare, meter.Data);
            if (!Wait(100)) return;
        }
        if (voltage != LastVoltageMode) {
            if (!timerOn) meter.Request(prepare, meter.Data);
            if (!Wait(300)) return;
            meter.SendReset();
            if (!Wait(4000)) return;
            LastVoltageMode = voltage;
        }
        while (!AbortRequested && !FLeft) {
            if (timerOn && count > 1) {
                if (meter.Request(measure, meter.Data) != TRxmResult::Ok) {
                    failed = true;
                    break;
                }
                count = meter.Data.TimerSeconds;
                if (count <= seconds) Label_RXM_Me->SetCaption(IntToStr(count) + " Sec.");
                if (!Wait(800)) return;
            } else {
                RXM_GroupBox_V->SetCaption("Resistor measured value");
                // A failed request is said as such: old values are neither shown nor kept.
                if (meter.Request(measure, meter.Data) != TRxmResult::Ok ||
                    meter.Request(measure, meter.Data) != TRxmResult::Ok) {
                    failed = true;
                    break;
                }
                ShowMeasurement();
                const RXM850__Data& d = meter.Data;
                Label_RXM_Hu->SetCaption(IntToStr(d.Humidity) + " %r.F.");
                Label_RXM_Te->SetCaption(IntToStr(d.Temperature) + " " + Degree + "C");
                if (FormRXM850FComment) {
                    RXM850FilesStruct& r = FormRXM850FComment->Files[0];
                    AnsiString unit;
                    const AnsiString value =
                        C_RXM_850::FormatResistance(d.Mantissa, d.Exponent, unit);
                    r.Resistance = StrToFloatDef(value, 0);
                    r.Unit = unit;
                    r.Humidity = d.Humidity;
                    r.Temperature = d.Temperature;
                    r.TimerSeconds = timerOn ? seconds : 0;
                    r.AverageLapse = (d.Status & 1) ? 'A' : 'L';
                }
                measured = true;
                FUnsaved = true;
                break;
            }
            Application->ProcessMessages();
        }
        if (FLeft) return;
        if (AbortRequested && !measured) {
            Label_RXM_Me->Font()->SetSize(40);
            Label_RXM_Me->SetCaption("Measurement aborted!");
            Label_RXM_Hu->SetCaption("");
            Label_RXM_Te->SetCaption("");
        } else if (failed) {
            RXM_GroupBox_V->SetCaption("Resistor measured value");
            Label_RXM_Me->Font()->SetSize(40);
            Label_RXM_Me->SetCaption("Measurement failed!");
            Label_RXM_Hu->SetCaption("");
            Label_RXM_Te->SetCaption("");
        }
        if (timerOn) {
            if (!Wait(500)) return;
            EnableButtons(false);
            meter.SendReset();
            if (!Wait(3500)) return;
        }
    } catch (const EUnwindToTest&) {
        throw;
    } catch (...) {
        if (FLeft) throw;
        // Nothing of the run stays shown as if it went on: no frozen count-down.
        RXM_GroupBox_V->SetCaption("Resistor measured value");
        Label_RXM_Me->Font()->SetSize(40);
        Label_RXM_Me->SetCaption("Measurement failed!");
        Label_RXM_Hu->SetCaption("");
        Label_RXM_Te->SetCaption("");
        RestoreButtons();
        RethrowNamingPort();
    }
    EnableButtons(true);
    BitBtn_save->SetEnabled(FUnsaved);
}

// ---- Save with a comment, Read File

void TFormRXM850::BitBtn_saveClick(TObject*) {
    FLeft = false;
    EnableButtons(false);
    GroupBox_Input_Comment->Show();
    GroupBox_Input_Comment->SetEnabled(true);
    CommentConfirmed = false;
    CommentCancelled = false;
    if (Edit_Comment->CanFocus()) Edit_Comment->SetFocus();
    while (!CommentConfirmed && !CommentCancelled && !FLeft) {
        Application->ProcessMessages();
        Sleep(1);
    }
    GroupBox_Input_Comment->Hide();
    GroupBox_Input_Comment->SetEnabled(false);
    if (FLeft) return;
    if (FormRXM850FComment) {
        TFormRXM850FComment* f = FormRXM850FComment;
        if (CommentCancelled) {
            f->Files[0].Comment = "";
        } else {
            f->Files[0].Comment = Edit_Comment->Text();
            f->CurrentFile = 0;
            f->LastFile = 0;
            int result = 0;
            try {
                result = f->SaveFilesToCsv(true);
            } catch (...) {
                // A failure that leaves the save must not leave the window without its buttons.
                if (!FLeft) {
                    EnableButtons(true);
                    BitBtn_save->SetEnabled(FUnsaved);
                }
                throw;
            }
            if (result == 0) FUnsaved = false;
            if (result < 0)
                Application->MessageBox("Error occured, data not saved ! Error no.: " +
                                            IntToStr(result),
                                        "Data error !", MB_OK | MB_ICONSTOP);
        }
    }
    EnableButtons(true);
    // A reading not yet in a file can still be saved.
    BitBtn_save->SetEnabled(FUnsaved);
}

void TFormRXM850::ClearFileRecords() {
    if (!FormRXM850FComment) return;
    for (int n = 1; n < TFormRXM850FComment::FileCount; ++n)
        FormRXM850FComment->Files[n] = RXM850FilesStruct{};
}

void TFormRXM850::BitBtn_readFileClick(TObject*) {
    FLeft = false;
    EnableButtons(false);
    GroupBoxFiles->Show();
    RangeConfirmed = false;
    LabelReadFNo->Hide();
    LabelFNo->Hide();
    MaskEdit_start_fn->SetText("1");
    MaskEdit_end_fn->SetText("1");
    if (MaskEdit_start_fn->CanFocus()) MaskEdit_start_fn->SetFocus();
    ClearFileRecords();
    int first = 1, last = 1;
    auto valid = [&] {
        return first > 0 && last >= first && last < TFormRXM850FComment::FileCount;
    };
    while (!RangeConfirmed && !FLeft) {
        Application->ProcessMessages();
        Sleep(1);
        int a = 0, b = 0;
        if (TryStrToInt(MaskEdit_start_fn->Text().Trim(), a) &&
            TryStrToInt(MaskEdit_end_fn->Text().Trim(), b)) {
            first = a;
            last = b;
            BitBtn_OK_FileNo->SetEnabled(valid());
        }
    }
    if (FLeft) return;
    if (!valid()) { // confirmed by other means than the button
        GroupBoxFiles->Hide();
        EnableButtons(true);
        return;
    }
    LabelReadFNo->Show();
    LabelFNo->Show();
    C_RXM_850& meter = Rxm850Meter();
    TFormRXM850FComment* f = FormRXM850FComment;
    try {
        for (int n = first; n <= last && !FLeft; ++n) {
            AnsiString reply;
            if (meter.ReadStoredFile(n, reply) != TRxmResult::Ok) continue;
            LabelFNo->SetCaption(IntToStr(n));
            Application->ProcessMessages();
            auto byteAt = [&](int i) { return HexToInt(reply.SubString(2 * i - 1, 2)); };
            RXM850FilesStruct& r = f->Files[n];
            r.FileNumber = n;
            const int mantissa = byteAt(2) + 256 * byteAt(3);
            int range = 0, exponent = 0;
            C_RXM_850::SplitRangeByte(range, exponent, reply.SubString(7, 2));
            AnsiString unit;
            const AnsiString value = C_RXM_850::FormatResistance(mantissa, exponent, unit);
            r.Resistance = StrToFloatDef(value, 0);
            r.Unit = unit;
            r.Temperature = byteAt(5);
            r.Humidity = byteAt(6);
            r.AverageLapse = (byteAt(7) & 1) ? 'A' : 'L';
            r.TimerSeconds = byteAt(8);
        }
        if (!Wait(100)) return;
        meter.SendReset();
        if (!Wait(100)) return;
    } catch (...) {
        GroupBoxFiles->Hide();
        if (FLeft) throw;
        RestoreButtons();
        RethrowNamingPort();
    }
    f->EditComments->SetText("");
    f->FirstFile = first;
    f->LastFile = last;
    LabelReadFNo->Hide();
    LabelFNo->Hide();
    GroupBoxFiles->Hide();
    f->Saved = true;
    Hide();
    f->Show();
    f->SetEnabled(true);
    f->CurrentFile = first;
    f->LabelFileNumber->SetCaption(IntToStr(first));
    f->EditComments->Show();
    f->ShowFileRecord();
    f->BringToFront();
    EnableButtons(true);
}

// ---- Leaving

void TFormRXM850::BitBtn_exitClick(TObject*) {
    Close();
}

void TFormRXM850::CloseWindow() {
    // Every wait and loop of this window ends once it is left.
    FLeft = true;
    AbortRequested = true;
    CommentCancelled = true;
    Label_RXM_Me->SetCaption("");
    Label_RXM_Hu->SetCaption("");
    Label_RXM_Te->SetCaption("");
    EnableButtons(true);
    GroupBoxFiles->Hide();
    GroupBox_Input_Comment->Hide();
    BitBtn_init->SetEnabled(true);
}

void TFormRXM850::DoClose(TCloseAction& Action) {
    CloseWindow();
    TInstrumentForm::DoClose(Action);
    if (MainForm) MainForm->BringToFront();
}
