// The grounding tester's window: construction, the transfer, the CSV file,
// the print-out and leaving.
#include "app/pgt300.h"
#include "app/csvfile.h"
#include "app/focom.h"
#include "app/main.h"
#include "app/printlines.h"
#include "comm/seriell_pgt.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"
#include <cmath>
#include <cstdlib>

QM_CLASS_OWNED(TFormPGT300, TInstrumentForm, TComponent)

TFormPGT300* FormPGT300 = nullptr;

C_PGT300& Pgt300Tester() {
    static C_PGT300 tester;
    return tester;
}

AnsiString PgtPercentText(double Percent) {
    return FloatToStrF(Percent, ffFixed, 4, 1) + "%";
}

namespace {
const char* const CsvHeader = "Date;Time;No. of meas.;HGB <;HGB < %;HGB >;HGB > %;Shoe <;Shoe < "
                              "%;Shoe >;Shoe > %;Comment\r\n";
} // namespace

TFormPGT300::TFormPGT300(TComponent* AOwner) : TInstrumentForm(AOwner, false) {
    SetName("FormPGT300");
    SetCaption("PGT 300");
    SetBounds((Screen->Width() - 392) / 2, (Screen->Height() - 495) / 2 + 20, 392, 495);
    GroupBox1 =
        NewControl<TGroupBox>(this, this, "GroupBox1", 8, 8, 368, 440, "Statistical analysis");
    BitBtn_Start = NewControl<TBitBtn>(this, GroupBox1, "BitBtn_Start", 12, 24, 200, 34,
                                       "Start data Transfer");
    BitBtn_Start->SetHint("Start data transfer from PGT to PC");
    BitBtn_Cancel =
        NewControl<TBitBtn>(this, GroupBox1, "BitBtn_Cancel", 240, 24, 116, 34, "E&xit");
    BitBtn_Cancel->SetHint("Abort action !");
    CheckBoxDeleteStatisticData =
        NewControl<TCheckBox>(this, GroupBox1, "CheckBoxDeleteStatisticData", 12, 66, 344, 22,
                              "Delete statistic all data after transfer? ");
    GroupBoxResults =
        NewControl<TGroupBox>(this, GroupBox1, "GroupBoxResults", 12, 96, 344, 200, "Results");
    const char* captions[] = {"Numbers of measurments", "HGB <", "HGB >", "Shoe <", "Shoe >"};
    TEdit** counts[] = {&Counter_all, &Counter_HGB_L, &Counter_HGB_H, &Counter_Shoe_L,
                        &Counter_Shoe_H};
    const char* countNames[] = {"Counter_all", "Counter_HGB_L", "Counter_HGB_H", "Counter_Shoe_L",
                                "Counter_Shoe_H"};
    TEdit** percents[] = {nullptr, &Counter_HGB_L_P, &Counter_HGB_H_P, &Counter_Shoe_L_P,
                          &Counter_Shoe_H_P};
    const char* percentNames[] = {"", "Counter_HGB_L_P", "Counter_HGB_H_P", "Counter_Shoe_L_P",
                                  "Counter_Shoe_H_P"};
    for (int i = 0; i < 5; ++i) {
        const int top = 24 + 34 * i;
        NewControl<TLabel>(this, GroupBoxResults, "", 10, top + 4, 150, 20, captions[i]);
        *counts[i] = NewControl<TEdit>(this, GroupBoxResults, countNames[i], 170, top, 64, 24);
        (*counts[i])->SetReadOnly(true);
        if (!percents[i]) continue;
        NewControl<TLabel>(this, GroupBoxResults, "", 242, top + 4, 14, 20, "=");
        *percents[i] = NewControl<TEdit>(this, GroupBoxResults, percentNames[i], 260, top, 72, 24);
        (*percents[i])->SetReadOnly(true);
    }
    LabelComment = NewControl<TLabel>(this, GroupBox1, "LabelComment", 12, 306, 100, 20, "Comment");
    EditComment = NewControl<TEdit>(this, GroupBox1, "EditComment", 12, 328, 344, 26);
    LabelComment->SetEnabled(false);
    EditComment->SetEnabled(false);
    EditComment->Hide();
    BitBtnSaveData =
        NewControl<TBitBtn>(this, GroupBox1, "BitBtnSaveData", 12, 380, 160, 40, "Save data");
    BitBtnSaveData->SetHint("Save data to drive");
    BitBtnPrintData =
        NewControl<TBitBtn>(this, GroupBox1, "BitBtnPrintData", 196, 380, 160, 40, "Print data");
    for (TBitBtn* b : {BitBtn_Start, BitBtn_Cancel, BitBtnSaveData})
        b->SetShowHint(true);
    BitBtnSaveData->SetEnabled(false);
    BitBtnPrintData->SetEnabled(false);
    SaveDialogPGT = new TSaveDialog(this);
    PrintDialogPGT = new TPrintDialog(this);

    BitBtn_Start->OnClick = [this](TObject* s) { BitBtn_StartClick(s); };
    BitBtn_Cancel->OnClick = [this](TObject* s) { BitBtn_CancelClick(s); };
    BitBtnSaveData->OnClick = [this](TObject* s) { BitBtnSaveDataClick(s); };
    BitBtnPrintData->OnClick = [this](TObject* s) { BitBtnPrintDataClick(s); };
}

// ---- Transfer

void TFormPGT300::BitBtn_StartClick(TObject*) {
    if (CheckBoxDeleteStatisticData->Checked() &&
        Application->MessageBox("Are you sure !", "Delete statistic data memory !",
                                MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        CheckBoxDeleteStatisticData->SetChecked(false);
    C_PGT300& pgt = Pgt300Tester();
    // Read into a record of its own: a failed transfer leaves the counts on
    // screen, which may exist nowhere else once the tester's memory was cleared.
    C_PGT300::_statistic_data read = pgt.Statistics;
    const TPgtResult result = pgt.ReadStatistics(read, CheckBoxDeleteStatisticData->Checked());
    if (result != TPgtResult::Done) {
        if (!FHaveCounts) {
            BitBtnPrintData->SetEnabled(false);
            BitBtnSaveData->SetEnabled(false);
            LabelComment->SetEnabled(false);
            EditComment->Hide();
        }
        // A line that stays silent or garbles its answer is said, not passed over.
        if (result != TPgtResult::Cancelled)
            Application->MessageBox("No valid data received from the PGT 300 ! Error number : " +
                                        IntToStr(static_cast<int>(result)) + "\r\nPort " +
                                        InstrumentPortName(),
                                    "Data transfer", MB_OK | MB_ICONSTOP);
        return;
    }
    pgt.Statistics = read;
    FHaveCounts = true;
    C_PGT300::_statistic_data& s = pgt.Statistics;
    if (s.Measurements > 0) --s.Measurements;
    Counter_all->SetText(IntToStr(s.Measurements));
    Counter_HGB_L->SetText(IntToStr(s.HGBBelow));
    Counter_HGB_H->SetText(IntToStr(s.HGBAbove));
    Counter_Shoe_L->SetText(IntToStr(s.ShoeBelow));
    Counter_Shoe_H->SetText(IntToStr(s.ShoeAbove));
    Counter_HGB_L_P->SetText(PgtPercentText(s.HGBBelowPercent));
    Counter_HGB_H_P->SetText(PgtPercentText(s.HGBAbovePercent));
    Counter_Shoe_L_P->SetText(PgtPercentText(s.ShoeBelowPercent));
    Counter_Shoe_H_P->SetText(PgtPercentText(s.ShoeAbovePercent));
    BitBtnPrintData->SetEnabled(true);
    BitBtnSaveData->SetEnabled(true);
    LabelComment->SetEnabled(true);
    EditComment->SetEnabled(true);
    EditComment->Show();
    if (EditComment->CanFocus()) EditComment->SetFocus();
}

// ---- The CSV file

void TFormPGT300::BitBtnSaveDataClick(TObject*) {
    const AnsiString stored = ReadDataDirectory("PGT");
    const AnsiString given = DataFolderPath(stored);
    SaveDialogPGT->SetInitialDir(given);
    SaveDialogPGT->SetDefaultExt("CSV");
    SaveDialogPGT->SetFilter(
        "Comma-Separated Values (*.CSV)|*.CSV|Text files (*.txt)|*.txt|All files (*.*)|*.*");
    SaveDialogPGT->SetFilterIndex(0);
    if (!SaveDialogPGT->Execute()) return;
    const AnsiString path = SaveDialogPGT->FileName();
    const TDateTime now = Now();
    C_PGT300::_statistic_data& s = Pgt300Tester().Statistics;
    s.Comment = EditComment->Text();
    const AnsiString row = DateToStr(now) + ";" + TimeToStr(now) + ";" + IntToStr(s.Measurements) +
                           ";" + IntToStr(s.HGBBelow) + ";" + PgtPercentText(s.HGBBelowPercent) +
                           ";" + IntToStr(s.HGBAbove) + ";" + PgtPercentText(s.HGBAbovePercent) +
                           ";" + IntToStr(s.ShoeBelow) + ";" + PgtPercentText(s.ShoeBelowPercent) +
                           ";" + IntToStr(s.ShoeAbove) + ";" + PgtPercentText(s.ShoeAbovePercent) +
                           ";" + CsvText(s.Comment) + "\r\n";
    Application->ProcessMessages();
    TRecordFile file(path);
    file.AddHeading(CsvHeader);
    file.Add(row);
    const TRecordWrite written = file.Write();
    if (written == TRecordWrite::NotCreated)
        Application->MessageBox("Can't create file : " + path, "Error", MB_OK);
    else if (written != TRecordWrite::Written)
        Application->MessageBox("Can't write file : " + path + " ! Data not saved.", "Error",
                                MB_OK | MB_ICONSTOP);
    // The folder is written back only when the dialog dropped the stored
    // text's trailing delimiter, not for whichever folder was chosen.
    if (SaveDialogPGT->InitialDir() != given) {
        const AnsiString folder = SaveDialogPGT->InitialDir();
        if (MainForm) MainForm->PGT_DataDirectory = folder;
        RememberDataFolder("PGT", folder);
    }
}

// ---- The print-out

void TFormPGT300::BitBtnPrintDataClick(TObject*) {
    Pgt300Tester().Statistics.Comment = EditComment->Text();
    if (PrintDialogPGT->Execute()) PrintStatistics();
}

void TFormPGT300::PrintStatistics() {
    TPrinter* printer = Printer();
    const int ppi = printer->Canvas()->GetDeviceCaps(LOGPIXELSY);
    const auto height = [ppi](int Points) {
        return static_cast<int>(std::lround(std::abs(Points * ppi / 72.0) * 1.4));
    };
    // The figures fit one sheet of paper; a shorter page goes on at line 4 of the next.
    TPrintLines lines("Arial", 4);
    lines.SetFont(14, height(14));
    lines.Add(400, 2, "PGT 300 Print out statistic data.");
    lines.Add(400, 3, "Date : " + DateToStr(Date()));
    lines.SetFont(10, height(10));
    const C_PGT300::_statistic_data& s = Pgt300Tester().Statistics;
    lines.Add(400, 6, "Number of measurments : " + IntToStr(s.Measurements));
    const struct {
        int Line;
        const char* Text;
        uint32_t Count;
        double Percent;
    } rows[] = {{7, "HGB <  : ", s.HGBBelow, s.HGBBelowPercent},
                {8, "HGB >  : ", s.HGBAbove, s.HGBAbovePercent},
                {9, "Shoe < : ", s.ShoeBelow, s.ShoeBelowPercent},
                {10, "Shoe > : ", s.ShoeAbove, s.ShoeAbovePercent}};
    for (const auto& r : rows) {
        lines.Add(400, r.Line, r.Text + IntToStr(r.Count));
        lines.Add(1000, r.Line, " = " + PgtPercentText(r.Percent));
    }
    lines.Add(400, 12, "Comment : " + s.Comment);
    printer->SetTitle("Print out statistic data");
    lines.Print(*printer);
}

// ---- Leaving

void TFormPGT300::BitBtn_CancelClick(TObject*) {
    Close();
}

void TFormPGT300::CloseWindow() {
    FHaveCounts = false;
    BitBtnPrintData->SetEnabled(false);
    BitBtnSaveData->SetEnabled(false);
    LabelComment->SetEnabled(false);
    EditComment->Hide();
    EditComment->SetText("");
    for (TEdit* e : {Counter_all, Counter_HGB_L, Counter_HGB_H, Counter_Shoe_L, Counter_Shoe_H,
                     Counter_HGB_L_P, Counter_HGB_H_P, Counter_Shoe_L_P, Counter_Shoe_H_P})
        e->SetText("");
}

void TFormPGT300::DoClose(TCloseAction& Action) {
    CloseWindow();
    TInstrumentForm::DoClose(Action);
    if (MainForm) MainForm->BringToFront();
}
