// The resistance meter's calibration window.
//   construction, the factors (read, write, defaults), Reset, measured data
//   the wait with its progress bar and the button lock
//   serial number and calibration date
//   the calibration CSV file and the print-out; leaving
#include "app/rxmcalimenu.h"
#include "app/csvfile.h"
#include "app/focom.h"
#include "app/main.h"
#include "app/printlines.h"
#include "app/setupini.h"
#include "comm/seriell_link.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/exceptions.h"
#include <algorithm>
#include "platform/win32/kernel.h"
#include <cmath>
#include <cstdlib>

QM_CLASS_OWNED(TFormRXMCali, TInstrumentForm, TComponent)

TFormRXMCali* FormRXMCali = nullptr;

C_RXM_850& RxmCaliMeter() {
    static C_RXM_850 meter;
    return meter;
}

namespace {
const char* const FactorKeys[9] = {"k0", "k1", "k2", "k3", "k4", "k5", "k_TF0", "k_TF2", "k_TF3"};
// The print-out's memo starts on this line of its first page.
constexpr int FirstMemoLine = 6;
const AnsiString Hyphens(int N) {
    return AnsiString(std::string(N, '-').c_str());
}
} // namespace

TFormRXMCali::TFormRXMCali(TComponent* AOwner) : TInstrumentForm(AOwner, true) {
    SetName("FormRXMCali");
    SetCaption("Calibration RXM 850");
    // A service dialog: a fixed frame that keeps its layout, left by Exit.
    SetBorderStyle(bsDialog);
    SetBorderIcons({biHelp});
    // The controls are laid out for a client area 760 wide; the frame comes on top.
    SetClientWidth(760);
    SetHeight(600);
    SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2 + 20, Width(),
              Height());
    GroupBox_adjust_para = NewControl<TGroupBox>(this, this, "GroupBox_adjust_para", 8, 8, 200, 330,
                                                 "Adjust parameters ");
    TMaskEdit** edits[9] = {&MaskEdit_k0,    &MaskEdit_k1,    &MaskEdit_k2,
                            &MaskEdit_k3,    &MaskEdit_k4,    &MaskEdit_k5,
                            &MaskEdit_k_TF0, &MaskEdit_k_TF2, &MaskEdit_k_TF3};
    const char* labels[9] = {
        "K0 =", "K1 =", "K2 =", "K3 =", "K4 =", "K5 =", "k_TF0 =", "k_TF2 =", "k_TF3 ="};
    for (int i = 0; i < 9; ++i) {
        NewControl<TLabel>(this, GroupBox_adjust_para, "", 12, 28 + 33 * i, 70, 22, labels[i]);
        *edits[i] =
            NewControl<TMaskEdit>(this, GroupBox_adjust_para,
                                  AnsiString("MaskEdit_") + FactorKeys[i], 90, 24 + 33 * i, 90, 26);
        (*edits[i])->SetEditMask("99999;1;_");
        (*edits[i])->SetMaxLength(5);
    }
    GroupBoxaction =
        NewControl<TGroupBox>(this, this, "GroupBoxaction", 216, 8, 200, 400, "Action");
    struct TDef {
        TBitBtn** Button;
        const char *Name, *Caption, *Hint;
    } defs[] = {
        {&BitBtn_read_para, "BitBtn_read_para", "Read p&arameters", "Read parameters from RXM"},
        {&BitBtn_read_default, "BitBtn_read_default", "&Default parameters",
         "Read default parameters from INI file"},
        {&BitBtn_write_para, "BitBtn_write_para", "Write &parameters", "Write parameters to RXM"},
        {&BitBtn_read_cali_data, "BitBtn_read_cali_data", "Read &info from RXM",
         "Read serial number, SW version, Date from RXM"},
        {&BitBtn_write_cali_data, "BitBtn_write_cali_data", "&Write Cali date",
         "Write calibrations data to RXM"},
        {&BitBtn_read_meas_data, "BitBtn_read_meas_data", "Read &measured data",
         "Reading measured data from RXM"},
        {&BitBtn_reset, "BitBtn_reset", "&Reset RXM", "Send reset command to RXM"},
        {&BitBtn_save, "BitBtn_save", "&Save calbration data", "Write calibration data to file"},
        {&BitBtn_print, "BitBtn_print", "&Print Info display", "Print out from info display"}};
    int top = 22;
    for (const TDef& d : defs) {
        *d.Button = NewControl<TBitBtn>(this, GroupBoxaction, d.Name, 10, top, 180, 36, d.Caption);
        (*d.Button)->SetHint(d.Hint);
        (*d.Button)->SetShowHint(true);
        top += 41;
    }
    GroupBox_info_display = NewControl<TGroupBox>(this, this, "GroupBox_info_display", 424, 8, 328,
                                                  400, "Info display");
    MemoInfo = NewControl<TMemo>(this, GroupBox_info_display, "MemoInfo", 8, 20, 312, 372);
    MemoInfo->SetReadOnly(true);
    MemoInfo->SetScrollBars(ssBoth);
    GroupBoxStatus =
        NewControl<TGroupBox>(this, this, "GroupBoxStatus", 8, 416, 744, 60, "Status fRxm");
    const char* bits[8] = {"AVRG",    "Timer activ", "Timer finish", "FNS",
                           "Show RX", "Timer ON",    "Underflow",    "Overflow"};
    for (int i = 0; i < 8; ++i) {
        CheckBox[i] = NewControl<TCheckBox>(this, GroupBoxStatus, "CheckBox" + IntToStr(i),
                                            10 + 91 * i, 26, 88, 22, bits[i]);
        CheckBox[i]->SetEnabled(false);
    }
    GroupBoxStatus->SetEnabled(false);
    BitBtn_clear =
        NewControl<TBitBtn>(this, this, "BitBtn_clear", 424, 520, 150, 36, "Clear display");
    BitBtn_exit = NewControl<TBitBtn>(this, this, "BitBtn_exit", 600, 520, 150, 36, "Exit");
    ProgressBarWait = NewControl<TProgressBar>(this, this, "ProgressBarWait", 8, 486, 744, 20);
    ProgressBarWait->SetMin(0);
    ProgressBarWait->SetMax(100);
    ProgressBarWait->Hide();

    GroupBoxCaliData =
        NewControl<TGroupBox>(this, this, "GroupBoxCaliData", 8, 340, 200, 70, "Calibrations date");
    NewControl<TLabel>(this, GroupBoxCaliData, "", 8, 20, 50, 20, "Number");
    MaskEditSerialNumber =
        NewControl<TMaskEdit>(this, GroupBoxCaliData, "MaskEditSerialNumber", 8, 40, 56, 24);
    MaskEditSerialNumber->SetEditMask("9999;1;_");
    MaskEditSerialNumber->SetText("0   ");
    NewControl<TLabel>(this, GroupBoxCaliData, "", 70, 20, 40, 20, "Date");
    MaskEditSerialDate =
        NewControl<TMaskEdit>(this, GroupBoxCaliData, "MaskEditSerialDate", 70, 40, 50, 24);
    MaskEditSerialDate->SetEditMask("!90/00;1;_");
    MaskEditSerialDate->SetText("09.11");
    BitBtnCaliDateOK =
        NewControl<TBitBtn>(this, GroupBoxCaliData, "BitBtnCaliDateOK", 126, 14, 66, 24, "O K");
    BitBtnCaliDateCancel = NewControl<TBitBtn>(this, GroupBoxCaliData, "BitBtnCaliDateCancel", 126,
                                               42, 66, 24, "Cancel");
    GroupBoxCaliData->Hide();
    GroupBoxCaliData->SetEnabled(false);

    SaveDialogCali = new TSaveDialog(this);
    PrintDialogCali = new TPrintDialog(this);
    Timer1 = new TTimer(this);
    Timer1->SetEnabled(false);
    Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };

    BitBtn_read_para->OnClick = [this](TObject* s) { BitBtn_read_paraClick(s); };
    BitBtn_read_default->OnClick = [this](TObject* s) { BitBtn_read_defaultClick(s); };
    BitBtn_write_para->OnClick = [this](TObject* s) { BitBtn_write_paraClick(s); };
    BitBtn_read_cali_data->OnClick = [this](TObject* s) { BitBtn_read_cali_dataClick(s); };
    BitBtn_write_cali_data->OnClick = [this](TObject* s) { BitBtn_write_cali_dataClick(s); };
    BitBtn_read_meas_data->OnClick = [this](TObject* s) { BitBtn_read_meas_dataClick(s); };
    BitBtn_reset->OnClick = [this](TObject* s) { BitBtn_resetClick(s); };
    BitBtn_save->OnClick = [this](TObject* s) { BitBtn_saveClick(s); };
    BitBtn_print->OnClick = [this](TObject* s) { BitBtn_printClick(s); };
    BitBtn_clear->OnClick = [this](TObject* s) { BitBtn_clearClick(s); };
    BitBtn_exit->OnClick = [this](TObject* s) { BitBtn_exitClick(s); };
    BitBtnCaliDateOK->OnClick = [this](TObject* s) { BitBtnCaliDateOKClick(s); };
    BitBtnCaliDateCancel->OnClick = [this](TObject* s) { BitBtnCaliDateCancelClick(s); };
    // A failed conversation names the port it was held on.
    for (TBitBtn* b : {BitBtn_read_para, BitBtn_write_para, BitBtn_read_cali_data,
                       BitBtn_write_cali_data, BitBtn_read_meas_data, BitBtn_reset}) {
        b->OnClick = [click = b->OnClick](TObject* s) {
            try {
                click(s);
            } catch (...) {
                RethrowNamingPort();
            }
        };
    }

    std::vector<AnsiString> problems;
    LoadDefaultParameters(problems);
    if (MainForm) MainForm->AddSetupProblems(problems);
    BitBtn_read_cali_data->SetEnabled(false);
    BitBtn_write_cali_data->SetEnabled(false);
    BitBtn_save->SetEnabled(false);
}

TMaskEdit* TFormRXMCali::FactorEdit(int Index) const {
    TMaskEdit* const e[9] = {MaskEdit_k0,    MaskEdit_k1,    MaskEdit_k2,
                             MaskEdit_k3,    MaskEdit_k4,    MaskEdit_k5,
                             MaskEdit_k_TF0, MaskEdit_k_TF2, MaskEdit_k_TF3};
    return e[Index];
}

TBitBtn* TFormRXMCali::ActionButton(int Index) const {
    TBitBtn* const b[10] = {BitBtn_read_para,      BitBtn_read_default,
                            BitBtn_write_para,     BitBtn_write_cali_data,
                            BitBtn_read_cali_data, BitBtn_read_meas_data,
                            BitBtn_reset,          BitBtn_save,
                            BitBtn_print,          BitBtn_exit};
    return b[Index];
}

void TFormRXMCali::AddLine(const AnsiString& Line) {
    MemoInfo->Lines()->Add(Line);
}

// ---- Factors, Reset, measured data

void TFormRXMCali::LoadDefaultParameters(std::vector<AnsiString>& Problems) {
    const TSetupSection section = ReadSetupSection(SetupIniPath(), "RXM850", Problems);
    // A factor the meter's 16-bit word cannot hold is no usable default either.
    for (int i = 0; i < 9; ++i)
        FactorEdit(i)->SetText(IntToStr(section.Integer(FactorKeys[i], 200, 0, 0xFFFF, Problems)));
}

void TFormRXMCali::BitBtn_read_defaultClick(TObject*) {
    AddLine("Reading Parameters from setup.ini");
    std::vector<AnsiString> problems;
    LoadDefaultParameters(problems);
    if (!problems.empty())
        Application->MessageBox(SetupProblemsText(problems), "SETUP.INI", MB_OK | MB_ICONWARNING);
    BitBtn_write_para->SetEnabled(true);
    if (BitBtn_write_para->CanFocus()) BitBtn_write_para->SetFocus();
}

TRxmResult TFormRXMCali::ReadParameters() {
    AnsiString reply;
    const TRxmResult result = RxmCaliMeter().Transact("91", reply, false);
    if (result != TRxmResult::Ok) return result;
    if (reply.Length() < 46) return TRxmResult::Failed; // every word must be there
    const int at[9] = {7, 11, 15, 19, 23, 27, 31, 39, 43};
    for (int i = 0; i < 9; ++i)
        FactorEdit(i)->SetText(IntToStr(HexToInt(reply.SubString(at[i] + 2, 2)) * 256 +
                                        HexToInt(reply.SubString(at[i], 2))));
    return TRxmResult::Ok;
}

void TFormRXMCali::BitBtn_read_paraClick(TObject*) {
    AddLine("Read Parameters from RXM");
    const TRxmResult result = ReadParameters();
    if (result == TRxmResult::Ok) {
        BitBtn_write_para->SetEnabled(true);
        AddLine("OK !");
    } else {
        AddLine("Error occurred ! Error number : " + IntToStr(static_cast<int>(result)));
    }
}

TRxmResult TFormRXMCali::WriteParameters() {
    int k[9];
    for (int i = 0; i < 9; ++i) {
        k[i] = StrToInt(FactorEdit(i)->Text().Trim());
        // The meter keeps 16-bit words; a wider value would shift every later field.
        if (k[i] < 0 || k[i] > 0xFFFF)
            throw EConvertError(AnsiString("Factor ") + FactorKeys[i] + " = " + IntToStr(k[i]) +
                                " is outside 0..65535; nothing was sent.");
    }
    CaliPara.k0 = k[0], CaliPara.k1 = k[1], CaliPara.k2 = k[2], CaliPara.k3 = k[3];
    CaliPara.k4 = k[4], CaliPara.k5 = k[5], CaliPara.k_TF0 = k[6], CaliPara.k_TF2 = k[7];
    CaliPara.k_TF3 = k[8];
    AnsiString command = "90F000";
    for (int i = 0; i < 7; ++i)
        command += C_RXM_850::WordToHexLE(k[i]);
    command += "08FF" + C_RXM_850::WordToHexLE(k[7]) + C_RXM_850::WordToHexLE(k[8]);
    AnsiString reply;
    return RxmCaliMeter().Transact(command, reply, true);
}

void TFormRXMCali::BitBtn_write_paraClick(TObject*) {
    if (Application->MessageBox("Are you sure ?", "Query", MB_OKCANCEL | MB_ICONEXCLAMATION) !=
        IDOK) {
        AddLine("Write Parameters canceled!");
        return;
    }
    AddLine("Write Parameters to RXM");
    if (WriteParameters() != TRxmResult::Ok) return;
    AddLine("Wait 5 Sec.");
    WaitWithProgress(5000);
    AddLine("succesfully !");
    BitBtn_print->SetEnabled(true);
    BitBtn_read_cali_data->SetEnabled(true);
}

void TFormRXMCali::BitBtn_resetClick(TObject*) {
    RxmCaliMeter().SendReset();
    AddLine("Wait 5 Sec.");
    WaitWithProgress(5000);
    AddLine("OK");
}

void TFormRXMCali::BitBtn_read_meas_dataClick(TObject*) {
    C_RXM_850& meter = RxmCaliMeter();
    RXM850__Data d;
    meter.Request("C004", d);
    Sleep(200);
    // A failed request is not shown as a reading.
    if (meter.Request("C004", d) != TRxmResult::Ok) return;
    meter.Data = d;
    AnsiString unit;
    const double value =
        StrToFloatDef(C_RXM_850::FormatResistance(d.Mantissa, d.Exponent, unit), 0);
    AddLine(Hyphens(48));
    AddLine("Range\t\t: " + IntToStr(d.Range));
    AddLine("Exponent\t\t: " + IntToStr(d.Exponent));
    if (d.Status & 0x80) {
        AddLine(d.Status & 0x40 ? "OVERFLOW" : "UNDERFLOW");
    } else {
        AddLine("Resistor\t\t: " + FloatToStrF(value, ffFixed, 6, 1) + unit);
        AddLine("Temperature\t: " + IntToStr(d.Temperature) +
                "\xB0"
                "C");
        AddLine("Humidity\t\t: " + IntToStr(d.Humidity) + "%r.F");
        AddLine("Timer\t\t: " + IntToStr(d.TimerSeconds));
        AddLine(Hyphens(48));
    }
    for (int i = 0; i < 6; ++i)
        CheckBox[i]->SetChecked((d.Status >> i) & 1);
    CheckBox[6]->SetChecked((d.Status & 0xC0) == 0x80);
    CheckBox[7]->SetChecked((d.Status & 0xC0) == 0xC0);
    GroupBoxStatus->SetEnabled(true);
}

void TFormRXMCali::BitBtn_clearClick(TObject*) {
    MemoInfo->Clear();
}

// ---- The wait and the button lock

void TFormRXMCali::LockButtons(int Mode) {
    if (Mode == 0) {
        for (int i = 0; i < 10; ++i) {
            FRemembered[i] = ActionButton(i)->Enabled();
            ActionButton(i)->SetEnabled(false);
        }
    } else if (Mode == 1) {
        for (int i = 0; i < 10; ++i)
            ActionButton(i)->SetEnabled(FRemembered[i]);
    }
}

void TFormRXMCali::Timer1Timer(TObject*) {
    WaitElapsedMs += 100;
}

void TFormRXMCali::WaitWithProgress(unsigned Ms) {
    FLeft = false;
    LockButtons(0);
    Application->ProcessMessages();
    ProgressBarWait->Show();
    ProgressBarWait->SetMin(0);
    ProgressBarWait->SetMax(static_cast<int>(Ms / 100));
    Timer1->SetInterval(100);
    WaitElapsedMs = 0;
    Timer1->SetEnabled(true);
    unsigned seen = 0;
    // Sleeps between pumps so the wait does not spin; ends when the window is left.
    while (WaitElapsedMs <= Ms && !FLeft) {
        Application->ProcessMessages();
        if (WaitElapsedMs > seen) {
            ProgressBarWait->SetPosition(static_cast<int>(seen / 100));
            seen = WaitElapsedMs;
        }
        Sleep(10);
    }
    ProgressBarWait->Hide();
    ProgressBarWait->SetPosition(0);
    Timer1->SetEnabled(false);
    LockButtons(1);
    Application->ProcessMessages();
}

// ---- Serial number and calibration date

void TFormRXMCali::EnableActionButtons(bool Enabled) {
    for (TBitBtn* b : {BitBtn_read_para, BitBtn_write_para, BitBtn_exit, BitBtn_read_cali_data,
                       BitBtn_write_cali_data})
        b->SetEnabled(Enabled);
}

void TFormRXMCali::BitBtn_read_cali_dataClick(TObject*) {
    AddLine("Read info from RXM");
    AnsiString date, version, serial;
    const TRxmResult result = RxmCaliMeter().ReadIdentity(date, version, serial);
    if (result != TRxmResult::Ok) {
        AddLine("Error occurred ! Error number : " + IntToStr(static_cast<int>(result)));
        return;
    }
    AddLine(Hyphens(46));
    AddLine("Calibration  date\t: " + date);
    AddLine("Software version\t: " + version);
    AddLine("Serial number\t: " + serial);
    AddLine("OK !");
    AddLine(Hyphens(46));
    BitBtn_write_cali_data->SetEnabled(true);
    CaliPara.SoftwareVersion = version;
}

void TFormRXMCali::BitBtnCaliDateOKClick(TObject*) {
    DateEntryWaiting = false;
}
void TFormRXMCali::BitBtnCaliDateCancelClick(TObject*) {
    DateEntryCancelled = true;
}

void TFormRXMCali::BitBtn_write_cali_dataClick(TObject*) {
    FLeft = false;
    GroupBoxCaliData->SetEnabled(true);
    GroupBoxCaliData->Show();
    if (MaskEditSerialNumber->CanFocus()) MaskEditSerialNumber->SetFocus();
    int year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    const auto two = [](int v) { return FormatFloat("00", v); };
    MaskEditSerialNumber->SetText("0");
    MaskEditSerialDate->SetText(two(month) + "." + two(year % 100));
    EnableActionButtons(false);
    const auto finish = [this] {
        GroupBoxCaliData->SetEnabled(false);
        GroupBoxCaliData->Hide();
        EnableActionButtons(true);
    };
    int entryMonth = 0, entryYear = 0, serial = 0;
    for (;;) {
        DateEntryWaiting = true;
        DateEntryCancelled = false;
        do {
            Sleep(2);
            Application->ProcessMessages();
        } while (DateEntryWaiting && !DateEntryCancelled && !FLeft);
        if (DateEntryCancelled || FLeft) {
            finish();
            AddLine("cancelled");
            return;
        }
        const AnsiString d = MaskEditSerialDate->Text();
        entryMonth = d.SubString(1, 2).Trim().ToIntDef(-1);
        entryYear = d.SubString(4, 2).Trim().ToIntDef(-1);
        // A blank or partial entry is asked for again instead of stopping the window.
        serial = MaskEditSerialNumber->Text().Trim().ToIntDef(-1);
        if (entryMonth >= 1 && entryMonth <= 12 && entryYear >= 10 && entryYear <= 50 &&
            serial >= 0)
            break;
        Application->MessageBox("Incorrect date entry ", "Input errors", MB_OK);
        if (MaskEditSerialDate->CanFocus()) MaskEditSerialDate->SetFocus();
    }
    CaliPara.CalibrationDate = two(day) + "." + two(month) + ".20" + two(year % 100);
    const AnsiString command = "A0" + C_RXM_850::WordToHexLE(serial) + IntToHex(entryMonth, 2) +
                               IntToHex(entryYear, 2) + "FF" + IntToHex(day, 2) +
                               IntToHex(month, 2) + IntToHex(year % 100, 2);
    AddLine("Write to RXM ...");
    AnsiString reply;
    TRxmResult result;
    try {
        result = RxmCaliMeter().Transact(command, reply, true);
    } catch (...) {
        finish();
        RethrowNamingPort();
    }
    if (result == TRxmResult::Ok) {
        BitBtn_save->SetEnabled(true);
        AddLine("successfully");
        CaliPara.SerialNumber =
            MaskEditSerialNumber->Text().Trim() + MaskEditSerialDate->Text().SubString(1, 5);
    } else {
        AddLine("Error occurred ! Error number : " + IntToStr(static_cast<int>(result)));
    }
    finish();
}

// ---- The calibration CSV file and the print-out

int TFormRXMCali::SaveCalibrationCsv() {
    const AnsiString stored = ReadDataDirectory("RXM850");
    SaveDialogCali->SetInitialDir(DataFolderPath(stored));
    SaveDialogCali->SetDefaultExt("CSV");
    SaveDialogCali->SetFileName("RXMcaliData");
    SaveDialogCali->SetFilter("*.CSV|*.CSV");
    SaveDialogCali->SetTitle("Write calibration data to file");
    if (!SaveDialogCali->Execute()) return 1;
    const AnsiString path = SaveDialogCali->FileName();
    const AnsiString header =
        "Serial number;Date;SW version;Factor k0;Factor k1;Factor k2;Factor k3;Factor "
        "k4;Factor k5;Factor k_TF0;Factor k_TF2;Factor k_TF3;\r\n";
    const RXM850_Para_Struct& p = CaliPara;
    AnsiString row = "'" + CsvText(p.SerialNumber) + ";'" + CsvText(p.CalibrationDate) + ";'" +
                     CsvText(p.SoftwareVersion);
    for (int k : {p.k0, p.k1, p.k2, p.k3, p.k4, p.k5, p.k_TF0, p.k_TF2, p.k_TF3})
        row += ";" + IntToStr(k);
    row += "\r\n";
    TRecordFile file(path);
    file.AddHeading(header);
    file.Add(row);
    const TRecordWrite written = file.Write();
    int result = 0;
    if (written == TRecordWrite::NotCreated) {
        Application->MessageBox("Can't create file : " + path, "Error", MB_OK);
        result = -1;
    } else if (written != TRecordWrite::Written) {
        Application->MessageBox("Can't write file : " + path + " ! Data not saved.", "Error",
                                MB_OK | MB_ICONSTOP);
        result = 1;
    } else {
        AddLine("Calibration data stored successfully to : ");
        AddLine(path);
    }
    RememberDataDirectory("RXM850", stored, path);
    return result;
}

void TFormRXMCali::BitBtn_saveClick(TObject*) {
    if (SaveCalibrationCsv() == 0) BitBtn_save->SetEnabled(false);
}

void TFormRXMCali::BitBtn_printClick(TObject*) {
    if (PrintDialogCali->Execute()) PrintInfoDisplay();
}

void TFormRXMCali::PrintInfoDisplay() {
    TPrinter* printer = Printer();
    const int ppi = printer->Canvas()->GetDeviceCaps(LOGPIXELSY);
    const auto height = [ppi](int Points) {
        return static_cast<int>(1.4 * std::abs(MulDiv(Points, ppi, 72)));
    };
    TPrintLines lines("Arial", 4);
    // The bottom margin of four lines holds where the first page keeps room
    // for the memo below the heading; shorter paper uses all of it.
    lines.SetBottomMargin(4, FirstMemoLine);
    lines.SetFont(14, height(14));
    lines.Add(400, 2, "QM read out - calibration of the RXM 850");
    lines.Add(400, 3, "Print out Info display : " + DateToStr(Date()));
    lines.SetFont(10, height(10));
    for (int i = 0; i < MemoInfo->Lines()->Count(); ++i)
        lines.Add(200, FirstMemoLine + i, MemoInfo->Lines()->Strings(i));
    printer->SetTitle("Print out Info display.");
    lines.Print(*printer);
}

// ---- Leaving

void TFormRXMCali::BitBtn_exitClick(TObject*) {
    Close();
}

// The close box leaves like Exit: the main window always comes back.
void TFormRXMCali::DoClose(TCloseAction& Action) {
    FLeft = true;
    DateEntryCancelled = true;
    MemoInfo->Clear();
    GroupBoxCaliData->SetEnabled(false);
    GroupBoxCaliData->Hide();
    BitBtn_save->SetEnabled(false);
    BitBtn_write_cali_data->SetEnabled(false);
    BitBtn_read_cali_data->SetEnabled(false);
    TInstrumentForm::DoClose(Action);
}
