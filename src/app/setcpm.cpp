// The plate monitor's set-up and decay-test window.
//   module state and the identity read
//   what the instrument code writes into the windows
//   construction and the set-up
//   decay test, identity, set-up read, saving a result, break, chart, exit
//   stored result files
#include "app/fixedlabel.h"
#include "app/setcpm.h"
#include "app/chartcpm.h"
#include "app/focom.h"
#include "app/main.h"
#include "app/readeepromdata.h"
#include "app/setupini.h"
#include "chart/control/chart.h"
#include "comm/comport.h"
#include "comm/seriell_link.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"

QM_CLASS_OWNED(TCPMSetup, TInstrumentForm, TComponent)

TCPMSetup* CPMSetup = nullptr;

namespace {
TCpmIdentity Identity;
// The controls are laid out for a client area this wide; the frame comes on top.
constexpr int ClientWidth_ = 800, Height_ = 600;
const char* const VStartItems[] = {"500 V", "550 V", "600 V", "650 V", "700 V", "750 V",
                                   "800 V", "850 V", "900 V", "950 V", "1000V"};
const char* const VStopItems[] = {"0 V",   "50 V",  "100 V", "150 V", "200 V", "250 V",
                                  "300 V", "350 V", "400 V", "450 V", "500 V"};
const char* const OffsetItems[] = {
    "0 sec.",   "10 sec.",  "20 sec.",  "30 sec.",  "40 sec.",  "50 sec.",  "60 sec.",  "120 sec.",
    "180 sec.", "240 sec.", "300 sec.", "360 sec.", "420 sec.", "480 sec.", "540 sec.", "600 sec."};
// Longest wait for a reply byte when the port brings no time-outs of its own.
constexpr int ReplyTimeoutMs = 3000;
// Set-up word 7 per entry of SelectMode.
const int ModeCodes[] = {16, 33, 50};

AnsiString Seconds(double v) {
    return FloatToStrF(v, ffFixed, 5, 1) + " sec";
}
} // namespace

C_CPM_EF& SetupCpm() {
    static C_CPM_EF cpm;
    return cpm;
}

const TCpmIdentity& CpmIdentity() {
    return Identity;
}

void ReadCPMIdentity() {
    C_CPM_EF& cpm = SetupCpm();
    // A failed read raises before anything changes: the last identity read
    // stays for the results still to be saved.
    AnsiString version, serial, date;
    cpm.ReadIdentity(version, serial, date);
    if (MainForm) MainForm->CPM_Version610 = version.Pos("6.10") > 0;
    Identity.Version = version;
    Identity.Serial = serial;
    Identity.Date =
        date.SubString(1, 2) + "-" + date.SubString(3, 2) + "-20" + date.SubString(5, 2);
    cpm._struct_setup[0] = Identity.Version;
    cpm._struct_setup[1] = Identity.Serial;
    cpm._struct_setup[2] = Identity.Date;
}

// ---------------------------------------------------------------------------
// What the instrument code writes into the windows

namespace CpmWindows {
void SetGroupBoxOffsetCaption(const AnsiString& Caption) {
    if (CPMSetup) CPMSetup->GroupBoxOffset->SetCaption(Caption);
}
void SetLabelOffsetCaption(const AnsiString& Caption) {
    if (CPMSetup) CPMSetup->LabelOffset->SetCaption(Caption);
}
void ClearMemoDisplay() {
    if (CPMSetup) CPMSetup->MemoDisplay->Clear();
}
void SetMemoDisplayFontSize(int Size) {
    if (CPMSetup) CPMSetup->MemoDisplay->Font()->SetSize(Size);
}
void AddMemoDisplayLine(const AnsiString& Line) {
    if (CPMSetup) CPMSetup->MemoDisplay->Lines()->Add(Line);
}
TCommSeriesSink* ChartSeries(int Number) {
    return FormChartCPM ? FormChartCPM->Sink(Number) : nullptr;
}
void HideChartWindow() {
    if (FormChartCPM) FormChartCPM->Hide();
}
} // namespace CpmWindows

// ---------------------------------------------------------------------------
// Construction and the set-up

namespace {
void FillItems(TComboBox* Box, const char* const* Items, size_t Count) {
    Box->Items()->BeginUpdate();
    for (size_t i = 0; i < Count; ++i)
        Box->Items()->Add(Items[i]);
    Box->Items()->EndUpdate();
}

TLabel* ResultLabel(TComponent* Owner, TWinControl* Parent, const AnsiString& Name) {
    TLabel* label = FixedLabel(Owner, Parent, Name, 10, 30, 230, 50);
    label->SetAlignment(taRightJustify);
    label->SetLayout(tlCenter);
    label->Font()->SetName("Arial");
    label->Font()->SetHeight(-27);
    return label;
}
} // namespace

TCPMSetup::TCPMSetup(TComponent* AOwner) : TInstrumentForm(AOwner, false) {
    SetName("CPMSetup");
    SetCaption("CPM Mode");

    GBDisplay = NewControl<TGroupBox>(this, this, "GBDisplay", 8, 8, 440, 300, "Display");
    MemoDisplay = NewControl<TMemo>(this, GBDisplay, "MemoDisplay", 8, 20, 424, 272);
    MemoDisplay->SetReadOnly(true);
    MemoDisplay->SetScrollBars(ssVertical);

    GroupBoxsetup = NewControl<TGroupBox>(this, this, "GroupBoxsetup", 456, 8, 336, 300, "Setup");
    SelectMode = NewControl<TRadioGroup>(this, GroupBoxsetup, "SelectMode", 8, 20, 320, 50);
    SelectMode->SetColumns(3);
    SelectMode->Items()->BeginUpdate();
    for (const char* m : {"AUTO", "POS", "NEG"})
        SelectMode->Items()->Add(m);
    SelectMode->Items()->EndUpdate();
    GroupBoxParameters = NewControl<TGroupBox>(this, GroupBoxsetup, "GroupBoxParameters", 8, 78,
                                               320, 136, "Parameters");
    LabelVStart =
        NewControl<TLabel>(this, GroupBoxParameters, "LabelVStart", 12, 28, 140, 20, "VStart (V)");
    LabelVStop =
        NewControl<TLabel>(this, GroupBoxParameters, "LabelVStop", 12, 64, 140, 20, "VStop (V)");
    LabelOffsetTime = NewControl<TLabel>(this, GroupBoxParameters, "LabelOffsetTime", 12, 100, 140,
                                         20, "Offset time (sec)");
    ComboBoxVStart =
        NewControl<TComboBox>(this, GroupBoxParameters, "ComboBoxVStart", 170, 24, 136, 24);
    ComboBoxVStop =
        NewControl<TComboBox>(this, GroupBoxParameters, "ComboBoxVStop", 170, 60, 136, 24);
    ComboBoxOffsetTime =
        NewControl<TComboBox>(this, GroupBoxParameters, "ComboBoxOffsetTime", 170, 96, 136, 24);
    // Only the listed values are codes the instrument knows.
    for (TComboBox* box : {ComboBoxVStart, ComboBoxVStop, ComboBoxOffsetTime})
        box->SetStyle(csDropDownList);
    FillItems(ComboBoxVStart, VStartItems, std::size(VStartItems));
    FillItems(ComboBoxVStop, VStopItems, std::size(VStopItems));
    FillItems(ComboBoxOffsetTime, OffsetItems, std::size(OffsetItems));
    ButtonReadSetup =
        NewControl<TButton>(this, GroupBoxsetup, "ButtonReadSetup", 8, 228, 150, 30, "&Read setup");

    struct TButtonDef {
        TBitBtn** Button;
        const char* Name;
        const char* Caption;
    };
    const TButtonDef buttons[] = {{&BitBtnStart, "BitBtnStart", "Start &Measure"},
                                  {&BitBtnChart, "BitBtnChart", "View &Chart"},
                                  {&BitBtnBreak, "BitBtnBreak", "&Break"},
                                  {&BitBtnReadFile, "BitBtnReadFile", "Read &File"},
                                  {&BitBtnInfo, "BitBtnInfo", "&Info"}};
    int x = 8;
    for (const TButtonDef& b : buttons) {
        *b.Button = NewControl<TBitBtn>(this, this, b.Name, x, 318, 106, 34, b.Caption);
        x += 112;
    }
    ButtonClearDisplay =
        NewControl<TButton>(this, this, "ButtonClearDisplay", x, 318, 106, 34, "C&lear Display");
    BitBtnCancel = NewControl<TBitBtn>(this, this, "BitBtnCancel", x + 112, 318, 106, 34, "E&xit");

    GroupBoxResult =
        NewControl<TGroupBox>(this, this, "GroupBoxResult", 8, 362, 784, 120, "Results");
    GroupBoxPosDecayTime = NewControl<TGroupBox>(this, GroupBoxResult, "GroupBoxPosDecayTime", 8,
                                                 20, 250, 92, "Pos. decay time");
    GroupBoxNegDecayTime = NewControl<TGroupBox>(this, GroupBoxResult, "GroupBoxNegDecayTime", 267,
                                                 20, 250, 92, "Neg. decay time");
    GroupBoxOffset =
        NewControl<TGroupBox>(this, GroupBoxResult, "GroupBoxOffset", 526, 20, 250, 92, "Offset");
    LabelPosDecayTime = ResultLabel(this, GroupBoxPosDecayTime, "LabelPosDecayTime");
    LabelNegDecayTime = ResultLabel(this, GroupBoxNegDecayTime, "LabelNegDecayTime");
    LabelOffset = ResultLabel(this, GroupBoxOffset, "LabelOffset");

    Label5 = NewControl<TLabel>(this, this, "Label5", 8, 500, 80, 20, "Comment");
    Edit1 = NewControl<TEdit>(this, this, "Edit1", 90, 496, 480, 26);
    BitBtnSaveResult =
        NewControl<TBitBtn>(this, this, "BitBtnSaveResult", 600, 492, 192, 34, "Save results");
    BitBtnOK = NewControl<TBitBtn>(this, this, "BitBtnOK", 600, 492, 192, 34, "OK &save");
    Label5->Hide();
    Edit1->Hide();
    BitBtnOK->Hide();
    BitBtnSaveResult->SetEnabled(false);

    BitBtnStart->OnClick = [this](TObject* s) { BitBtnStartClick(s); };
    BitBtnInfo->OnClick = [this](TObject* s) { BitBtnInfoClick(s); };
    BitBtnCancel->OnClick = [this](TObject* s) { BitBtnCancelClick(s); };
    ButtonClearDisplay->OnClick = [this](TObject* s) { ButtonClearDisplayClick(s); };
    ButtonReadSetup->OnClick = [this](TObject* s) { ButtonReadSetupClick(s); };
    BitBtnSaveResult->OnClick = [this](TObject* s) { BitBtnSaveResultClick(s); };
    BitBtnOK->OnClick = [this](TObject* s) { BitBtnOKClick(s); };
    BitBtnBreak->OnClick = [this](TObject* s) { BitBtnBreakClick(s); };
    BitBtnChart->OnClick = [this](TObject* s) { BitBtnChartClick(s); };
    BitBtnReadFile->OnClick = [this](TObject* s) { BitBtnReadFileClick(s); };

    // A value that is no entry of its list takes the default, named at start.
    std::vector<AnsiString> problems;
    const TSetupSection ini = ReadSetupSection(SetupIniPath(), "CPM", problems);
    const auto index = [&](const char* Key, int Default, size_t Count) {
        return ini.Integer(Key, Default, 0, static_cast<int>(Count) - 1, problems);
    };
    ComboBoxVStart->SetItemIndex(index("vStart", 10, std::size(VStartItems)));
    ComboBoxVStop->SetItemIndex(index("vStop", 10, std::size(VStopItems)));
    ComboBoxOffsetTime->SetItemIndex(index("tOffset", 2, std::size(OffsetItems)));
    if (MainForm) MainForm->AddSetupProblems(problems);
    SelectMode->SetItemIndex(0);
    MemoDisplay->Clear();
    SetClientWidth(ClientWidth_);
    SetHeight(Height_);
    SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2 + 30, Width(),
              Height());
}

void TCPMSetup::EnableControls(bool Enabled) {
    for (TControl* c : std::initializer_list<TControl*>{
             BitBtnStart, BitBtnChart, BitBtnInfo, BitBtnCancel, GroupBoxsetup, BitBtnReadFile})
        c->SetEnabled(Enabled);
    Application->ProcessMessages();
}

void TCPMSetup::ApplySetup() {
    C_CPM_EF& cpm = SetupCpm();
    for (int w = 3; w <= 6; ++w)
        cpm._struct_setup[w] = "0";
    const int mode = SelectMode->ItemIndex();
    cpm._struct_setup[7] = IntToStr(ModeCodes[mode >= 0 && mode < 3 ? mode : 0]);
    cpm._struct_setup[8] = IntToStr(ComboBoxVStart->ItemIndex());
    cpm._struct_setup[9] = IntToStr(ComboBoxVStop->ItemIndex());
    cpm._struct_setup[10] = IntToStr(ComboBoxOffsetTime->ItemIndex());
    cpm._struct_setup[11] = "1";
    cpm.WriteSetup();
    Sleep(500);
}

void TCPMSetup::Guarded(const std::function<void()>& Conversation) {
    // A port without time-outs would wait for ever on a silent instrument.
    if (FoCom) {
        TTimeouts* t = FoCom->ComPort1->Timeouts();
        if (t->ReadConstant() == 0 && t->ReadMultiplier() == 0 && t->ReadInterval() == 0)
            t->SetReadConstant(SerialTimeout(ReplyTimeoutMs));
    }
    try {
        Conversation();
    } catch (const EUnwindToTest&) {
        EnableControls(true);
        throw;
    } catch (const std::exception& e) {
        EnableControls(true);
        // A window left meanwhile has closed the port: nothing to tell.
        if (!Visible()) return;
        if (dynamic_cast<const EComError*>(&e))
            Application->ShowException(Exception(PortFailureText(e)));
        else
            Application->ShowException(e);
    }
}

// ---------------------------------------------------------------------------
// Decay test, identity, set-up read, saving a result, break, chart, exit

void TCPMSetup::BitBtnStartClick(TObject*) {
    Guarded([this] {
        EnableControls(false);
        MemoDisplay->Clear();
        MemoDisplay->Font()->SetSize(12);
        GroupBoxOffset->SetCaption("Offset");
        BitBtnSaveResult->SetEnabled(false);
        LabelPosDecayTime->SetCaption("0.0 sec");
        LabelNegDecayTime->SetCaption("0.0 sec");
        LabelOffset->SetCaption("0.0 V");
        LabelPosDecayTime->Show();
        LabelNegDecayTime->Show();
        if (SelectMode->ItemIndex() == 1) LabelNegDecayTime->Hide();
        if (SelectMode->ItemIndex() == 2) LabelPosDecayTime->Hide();
        MemoDisplay->Clear();
        MemoDisplay->Lines()->Add("Start measurement!");
        MemoDisplay->Lines()->Add("Please wait....");
        Application->ProcessMessages();

        ApplySetup();
        Sleep(500);
        MemoDisplay->Lines()->Add("Setup succeeded.");
        MemoDisplay->Lines()->Add("Measurement decay time in processing.");
        TLastResult r;
        bool aborted = false;
        // A test that fails part-way is broken off as much as one the
        // instrument aborts: the field must not keep a live plate voltage.
        const auto showBrokenOff = [this] {
            MemoDisplay->Lines()->Add("Process abortet !!");
            LabelOffset->SetCaption("0.0 V");
        };
        try {
            SetupCpm().MeasureDecay(r.VStart, r.VStop, r.TOffset, r.DecayPos, r.DecayNeg, r.OffsetV,
                                    aborted);
        } catch (...) {
            showBrokenOff();
            throw;
        }
        if (aborted) {
            showBrokenOff();
        } else {
            r.Mode = StrToIntDef(SetupCpm()._struct_setup[7], 0);
            FResult = r;
            MemoDisplay->Lines()->Add("Decay time measuring successful finished !");
            LabelPosDecayTime->SetCaption(Seconds(r.DecayPos));
            LabelNegDecayTime->SetCaption(Seconds(r.DecayNeg));
            LabelOffset->SetCaption(FloatToStrF(r.OffsetV, ffFixed, 5, 1) + " V");
            BitBtnSaveResult->SetEnabled(true);
        }
        EnableControls(true);
    });
}

void TCPMSetup::BitBtnInfoClick(TObject*) {
    Guarded([this] {
        ReadCPMIdentity();
        MemoDisplay->Clear();
        MemoDisplay->Lines()->Add(" ");
        MemoDisplay->Font()->SetSize(18);
        MemoDisplay->Lines()->Add("SW-Version\t: " + Identity.Version);
        MemoDisplay->Lines()->Add("Serial number\t: " + Identity.Serial);
        MemoDisplay->Lines()->Add("Calibration date\t: " + Identity.Date);
    });
}

void TCPMSetup::ButtonReadSetupClick(TObject*) {
    Guarded([this] {
        C_CPM_EF& cpm = SetupCpm();
        cpm.ReadSetup();
        const int start = HexToInt(cpm._struct_setup[8]);
        const int stop = HexToInt(cpm._struct_setup[9]);
        const int offset = HexToInt(cpm._struct_setup[10]);
        // A code outside a list would leave the box showing nothing.
        if (start < ComboBoxVStart->Items()->Count()) ComboBoxVStart->SetItemIndex(start);
        if (stop < ComboBoxVStop->Items()->Count()) ComboBoxVStop->SetItemIndex(stop);
        if (offset < ComboBoxOffsetTime->Items()->Count()) ComboBoxOffsetTime->SetItemIndex(offset);
        const int mode = HexToInt(cpm._struct_setup[7]);
        for (int i = 0; i < 3; ++i)
            if (ModeCodes[i] == mode) SelectMode->SetItemIndex(i);
    });
}

void TCPMSetup::RestoreSaveButton() {
    Edit1->Hide();
    Label5->Hide();
    BitBtnOK->Hide();
    BitBtnSaveResult->Show();
}

void TCPMSetup::BitBtnSaveResultClick(TObject*) {
    CommentEntered = false;
    FCommentWaitEnded = false;
    BitBtnSaveResult->Hide();
    BitBtnOK->Show();
    Label5->Show();
    Edit1->Show();
    if (Visible()) Edit1->SetFocus();
    // Break or leaving the window ends the wait without saving.
    while (!CommentEntered && !FCommentWaitEnded && Visible()) {
        Sleep(1);
        Application->ProcessMessages();
    }
    if (!CommentEntered) {
        RestoreSaveButton();
        return;
    }
    Guarded([this] {
        // The row names the test's own mode, whatever a later set-up read
        // left in the word.
        SetupCpm()._struct_setup[7] = IntToStr(FResult.Mode);
        const TCpmResult saved =
            SetupCpm().SaveResult(FResult.VStart, FResult.VStop, FResult.TOffset, FResult.DecayPos,
                                  FResult.DecayNeg, FResult.OffsetV, Edit1->Text());
        // A cancelled or failed save leaves the result to be saved again.
        BitBtnSaveResult->SetEnabled(saved != TCpmResult::Ok);
    });
    RestoreSaveButton();
}

void TCPMSetup::BitBtnOKClick(TObject*) {
    CommentEntered = true;
}

void TCPMSetup::BitBtnBreakClick(TObject*) {
    FCommentWaitEnded = true;
    Guarded([] { SetupCpm().Break(); });
    EnableControls(true);
    CommentEntered = false;
    BitBtnSaveResult->Show();
    BitBtnOK->Hide();
}

void TCPMSetup::BitBtnChartClick(TObject*) {
    TFormChartCPM* chart = FormChartCPM;
    chart->Chart1->Repaint();
    Hide();
    chart->Show();
    chart->Chart1->Show();
    TStrings* title = chart->Chart1->Title()->Text();
    title->Clear();
    title->Add(Edit1->Text());
    title->Add("pos. decay " + LabelPosDecayTime->Caption() + " / neg. decay " +
               LabelNegDecayTime->Caption() + " / offset " + LabelOffset->Caption());
}

void TCPMSetup::BitBtnCancelClick(TObject*) {
    Close();
}

void TCPMSetup::DoClose(TCloseAction& Action) {
    FCommentWaitEnded = true;
    Hide();
    TInstrumentForm::DoClose(Action);
    if (MainForm) MainForm->BringToFront();
}

void TCPMSetup::ButtonClearDisplayClick(TObject*) {
    MemoDisplay->Clear();
}

// ---------------------------------------------------------------------------
// Stored result files

int TCPMSetup::ReadStoredFiles(int& First, int& Last, TStoredReplies& Replies) {
    C_CPM_EF& cpm = SetupCpm();
    int count = 0;
    const TCpmResult read = cpm.ReadStoredFile(First, Last, Replies, count);
    if (read == TCpmResult::NothingStored || read == TCpmResult::ReadFailed) {
        MemoDisplay->Clear();
        Application->MessageBox("!! No data stored in EEProm !! ", "Info",
                                MB_OK | MB_ICONINFORMATION);
        return static_cast<int>(read);
    }
    for (int n = First; n <= Last; ++n) {
        const TCpmResult decoded = cpm.DecodeStoredFile(Replies[n]);
        if (decoded != TCpmResult::Ok) {
            Application->MessageBox("Malfunction when convert the data.!", "Error",
                                    MB_OK | MB_ICONSTOP);
            return static_cast<int>(decoded);
        }
    }
    return 0;
}

void TCPMSetup::BitBtnReadFileClick(TObject*) {
    C_CPM_EF& cpm = SetupCpm();
    Guarded([&] {
        EnableControls(false);
        for (int i = 0; i < 100; ++i) {
            cpm.EEpromdata.Replies[i] = "";
            cpm.EEpromdata.Comments[i] = "";
        }
        MemoDisplay->Clear();
        MemoDisplay->Lines()->Add("\r\nStart reading !");
        cpm.ReadSetup();
        int first = 1;
        // The count field comes as two hex digits like every other set-up field.
        int last = HexToInt(cpm._struct_setup[11]) - 1;
        int result = FormReadCPMFiles->InputFileRange(first, last);
        if (result == 0) result = ReadStoredFiles(first, last, cpm.EEpromdata.Replies);
        if (result == 0)
            result = FormReadCPMFiles->InputFileComments(first, last, cpm.EEpromdata.Comments);
        if (result == 0) {
            Show();
            AnsiString fileName;
            const TCpmResult created = cpm.CreateStoredFilesCsv(fileName);
            result = static_cast<int>(created);
            for (int n = first; result == 0 && n <= last; ++n) {
                if (cpm.DecodeStoredFile(cpm.EEpromdata.Replies[n]) != TCpmResult::Ok) continue;
                cpm._struct_results.Comment = cpm.EEpromdata.Comments[n];
                result = static_cast<int>(cpm.AppendStoredFileRow(fileName));
            }
        }
        if (result != 0) {
            MemoDisplay->Clear();
            MemoDisplay->Lines()->Add("\r\nWarning!! EEProm data not stored in the data file.");
            if (result == -10) MemoDisplay->Lines()->Add("\r\nUser break !");
        } else {
            MemoDisplay->Lines()->Add("\r\nEEProm data from CPM stored successful in data file !");
        }
        EnableControls(true);
    });
}
