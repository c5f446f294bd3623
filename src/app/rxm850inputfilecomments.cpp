// The stored-files window: construction, browsing with comments, and the
// measurement CSV file (a block per save of stored files, a row per single
// measurement).
#include "app/rxm850inputfilecomments.h"
#include "app/csvfile.h"
#include "app/rxm850.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"
#include <algorithm>
#include <vector>

QM_CLASS_OWNED(TFormRXM850FComment, TForm, TComponent)

TFormRXM850FComment* FormRXM850FComment = nullptr;

namespace {
const char* const CsvFilter =
    "Comma-Separated Values (*.CSV)|*.CSV|Text files (*.txt)|*.txt|All files (*.*)|*.*";
const char* const IdentityHeader = "Time;Date;Serial number;Sw Version;Calibration date";
// Windows-1252 degree sign.
const char* const ColumnHeader = "File number;Resistor;Unit;Temperature(\xB0"
                                 "C);Humidity(%r/F);Timer(sec.);A/L;Comment";
const char* const LineEnd = "\r\n";

TLabel* BigLabel(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top,
                 const char* Caption) {
    TLabel* l = NewControl<TLabel>(Owner, Parent, Name, Left, Top, 200, 24, Caption);
    l->Font()->SetHeight(-19);
    return l;
}
} // namespace

TFormRXM850FComment::TFormRXM850FComment(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormRXM850FComment");
    SetCaption("RXM850 ");
    Font()->SetName("MS Sans Serif");
    SetBounds(0, 0, 520, 430);
    SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2 + 30, Width(),
              Height());
    auto* g = GroupBoxRXM850FileComments = NewControl<TGroupBox>(
        this, this, "GroupBoxRXM850FileComments", 12, 8, 488, 330, " Input file comments ");
    g->Font()->SetHeight(-19);
    g->OnClick = [this](TObject* s) { BitBtnEndClick(s); };
    const char* captions[][3] = {{"LabelFileNumber_", "LabelFileNumber", "File number"},
                                 {"LabelResistor_", "LabelResistor", "Resistor"},
                                 {"LabelHumidity_", "LabelHumidity", "Humidity"},
                                 {"LabelTemperature_", "LabelTemperature", "Temperature"},
                                 {"LabelTimer_", "LabelTimer", "Timer"},
                                 {"LabelAL_", "LabelAL", "Average / Lapse"}};
    const char* values[] = {"1", "0", "0", "0", "0", "Average"};
    TLabel** pairs[][2] = {
        {&LabelFileNumber_, &LabelFileNumber}, {&LabelResistor_, &LabelResistor},
        {&LabelHumidity_, &LabelHumidity},     {&LabelTemperature_, &LabelTemperature},
        {&LabelTimer_, &LabelTimer},           {&LabelAL_, &LabelAL}};
    for (int i = 0; i < 6; ++i) {
        *pairs[i][0] = BigLabel(this, g, captions[i][0], 20, 34 + 32 * i, captions[i][2]);
        *pairs[i][1] = BigLabel(this, g, captions[i][1], 220, 34 + 32 * i, values[i]);
    }
    LabelFileNumber_->OnClick = [this](TObject* s) { LabelFileNumber_Click(s); };
    const int navTop = 234;
    BitBtnStart = NewControl<TBitBtn>(this, g, "BitBtnStart", 20, navTop, 50, 30, "<<");
    BitBtnPrevious = NewControl<TBitBtn>(this, g, "BitBtnPrevious", 76, navTop, 50, 30, "<");
    BitBtnNext = NewControl<TBitBtn>(this, g, "BitBtnNext", 362, navTop, 50, 30, ">");
    BitBtnEnd = NewControl<TBitBtn>(this, g, "BitBtnEnd", 418, navTop, 50, 30, ">>");
    BitBtnStart->SetHint("Go to the first file number.");
    BitBtnPrevious->SetHint("Go to previous file number.");
    BitBtnNext->SetHint("Go to next file number.");
    BitBtnEnd->SetHint("Go to the last file number.");
    for (TBitBtn* b : {BitBtnStart, BitBtnPrevious, BitBtnNext, BitBtnEnd})
        b->SetShowHint(true);
    LabelComment = NewControl<TLabel>(this, g, "LabelComment", 132, navTop + 4, 224, 24, "Comment");
    LabelComment->SetAlignment(taCenter);
    EditComments = NewControl<TEdit>(this, g, "EditComments", 20, 276, 448, 30);
    EditComments->Hide();
    EditComments->OnKeyPress = [this](TObject* s, char& k) { EditCommentsKeyPress(s, k); };
    BitBtnSave = NewControl<TBitBtn>(this, this, "BitBtnSave", 12, 350, 120, 36, "&Save");
    BitBtnExit = NewControl<TBitBtn>(this, this, "BitBtnExit", 380, 350, 120, 36, "&Exit");
    SaveDialog1 = new TSaveDialog(this);
    PrintDialog1 = new TPrintDialog(this);

    BitBtnStart->OnClick = [this](TObject* s) { BitBtnStartClick(s); };
    BitBtnPrevious->OnClick = [this](TObject* s) { BitBtnPreviousClick(s); };
    BitBtnNext->OnClick = [this](TObject* s) { BitBtnNextClick(s); };
    BitBtnEnd->OnClick = [this](TObject* s) { BitBtnEndClick(s); };
    BitBtnSave->OnClick = [this](TObject* s) { BitBtnSaveClick(s); };
    BitBtnExit->OnClick = [this](TObject* s) { BitBtnExitClick(s); };
}

// ---- Browsing

void TFormRXM850FComment::ShowFileRecord() {
    if (CurrentFile < 0 || CurrentFile >= FileCount) return;
    RXM850FilesStruct& f = Files[CurrentFile];
    f.FileNumber = CurrentFile;
    LabelFileNumber->SetCaption(IntToStr(f.FileNumber));
    LabelResistor->SetCaption(FloatToStrF(f.Resistance, ffFixed, 7, 1) + " " + f.Unit);
    LabelHumidity->SetCaption(IntToStr(f.Humidity) + " %r/H");
    LabelTemperature->SetCaption(IntToStr(f.Temperature) + " \xB0"
                                                           "C");
    LabelTimer->SetCaption(IntToStr(f.TimerSeconds) + " sec.");
    LabelAL->SetCaption(f.AverageLapse ? AnsiString(f.AverageLapse) : AnsiString());
    EditComments->SetText(f.Comment);
    Show();
    EditComments->Show();
    if (EditComments->CanFocus()) EditComments->SetFocus();
    Application->ProcessMessages();
}

void TFormRXM850FComment::KeepComment() {
    if (CurrentFile >= 0 && CurrentFile < FileCount)
        Files[CurrentFile].Comment = EditComments->Text();
}

// Every move keeps what was typed, so a comment is never lost by browsing.
void TFormRXM850FComment::BitBtnStartClick(TObject*) {
    KeepComment();
    CurrentFile = FirstFile;
    ShowFileRecord();
}

void TFormRXM850FComment::BitBtnEndClick(TObject*) {
    KeepComment();
    CurrentFile = LastFile;
    Saved = false;
    ShowFileRecord();
}

void TFormRXM850FComment::BitBtnPreviousClick(TObject*) {
    if (CurrentFile <= FirstFile) return;
    KeepComment();
    --CurrentFile;
    Saved = false;
    ShowFileRecord();
}

void TFormRXM850FComment::BitBtnNextClick(TObject*) {
    if (CurrentFile > LastFile) return;
    KeepComment();
    if (CurrentFile < LastFile) ++CurrentFile;
    Saved = false;
    ShowFileRecord();
}

void TFormRXM850FComment::EditCommentsKeyPress(TObject* Sender, char& Key) {
    if (Key != 13) return;
    Key = 0;
    BitBtnNextClick(Sender);
}

void TFormRXM850FComment::LabelFileNumber_Click(TObject*) {
    for (int n = FirstFile; n <= LastFile && n < FileCount; ++n)
        if (n >= 0) Files[n].Comment = "";
}

// ---- Save and leave

void TFormRXM850FComment::BitBtnSaveClick(TObject*) {
    KeepComment(); // the comment being typed belongs to the file shown
    const int result = SaveFilesToCsv(false);
    if (result < 0)
        Application->MessageBox("Error occured, data not saved ! Error no.: " + IntToStr(result),
                                "Data error !", MB_OK | MB_ICONSTOP);
}

void TFormRXM850FComment::BitBtnExitClick(TObject*) {
    Close();
}

// The close box leaves like Exit, so the measurement window always comes back.
void TFormRXM850FComment::DoClose(TCloseAction& Action) {
    TForm::DoClose(Action);
    if (Action == caNone) return;
    KeepComment();
    if (!Saved && Application->MessageBox("File is not saved yet, cancel it anyway?", "Query",
                                          MB_OKCANCEL) != IDOK) {
        Action = caNone;
        return;
    }
    Action = caHide;
    SetEnabled(false);
    if (FormRXM850) {
        FormRXM850->Show();
        FormRXM850->SetEnabled(true);
    }
}

// ---- The measurement CSV file

AnsiString TFormRXM850FComment::RecordRow(int Index) const {
    const RXM850FilesStruct& f = Files[Index];
    return IntToStr(Index) + ";" + FloatToStr(f.Resistance) + ";" + f.Unit + ";" +
           IntToStr(f.Temperature) + ";" + IntToStr(f.Humidity) + ";" + IntToStr(f.TimerSeconds) +
           ";" + (f.AverageLapse ? AnsiString(f.AverageLapse) : AnsiString()) + ";" +
           CsvText(f.Comment);
}

AnsiString TFormRXM850FComment::IdentityFields(const AnsiString& Time,
                                               const AnsiString& Date) const {
    return Time + ";" + Date + ";'" + CsvText(MeterSerialNumber) + ";'" + CsvText(MeterSwVersion) +
           ";" + CsvText(MeterCalDate);
}

int TFormRXM850FComment::SaveFilesToCsv(bool SingleMeasurement) {
    const AnsiString stored = ReadDataDirectory("RXM850");
    // Appending to a new file is allowed: a must-exist dialog could never start one.
    SaveDialog1->SetOptions(TOpenOptions{ofHideReadOnly});
    SaveDialog1->SetFilter(CsvFilter);
    SaveDialog1->SetFilterIndex(0);
    SaveDialog1->SetInitialDir(DataFolderPath(stored));
    // No name of its own for a single reading: ".CSV" alone would be a hidden
    // file here. A name typed without an extension gets ".CSV".
    SaveDialog1->SetFileName(SingleMeasurement ? AnsiString() : MeterSerialNumber + ".CSV");
    SaveDialog1->SetDefaultExt("CSV");
    if (!SaveDialog1->Execute()) return rcCancelled;
    const AnsiString path = SaveDialog1->FileName();
    const int result = WriteFilesCsv(path, SingleMeasurement);
    // Whatever the data write gave, the chosen folder is remembered after it.
    RememberDataDirectory("RXM850", stored, path);
    return result;
}

int TFormRXM850FComment::WriteFilesCsv(const AnsiString& Path, bool SingleMeasurement) {
    const TDateTime now = Now();
    const AnsiString time = TimeToStr(now), date = DateToStr(now);
    TRecordFile file(Path);
    // Each line is checked as it goes out: the result says which one fell short.
    struct TLine {
        AnsiString Text;
        int Code;
    };
    std::vector<TLine> lines;
    const int first = std::max(0, FirstFile), last = std::min(FileCount - 1, LastFile);
    if (SingleMeasurement) {
        if (file.IsNew())
            lines.push_back(
                {AnsiString(IdentityHeader) + ";" + ColumnHeader + LineEnd, rcHeaderShort});
        lines.push_back(
            {IdentityFields(time, date) + ";" + RecordRow(0) + LineEnd, rcIdentityShort});
    } else {
        lines.push_back({AnsiString(IdentityHeader) + LineEnd, rcHeaderShort});
        lines.push_back({IdentityFields(time, date) + LineEnd, rcIdentityShort});
        lines.push_back({AnsiString(ColumnHeader) + LineEnd, rcColumnsShortOrNotOpened});
        for (int n = first; n <= last; ++n)
            lines.push_back({RecordRow(n) + LineEnd, rcRowShort});
    }
    for (const TLine& l : lines)
        file.Add(l.Text);
    const TRecordWrite written = file.Write();
    if (written == TRecordWrite::NotCreated)
        Application->MessageBox("Can't create file : " + Path, "Error", MB_OK);
    if (written == TRecordWrite::NotCreated || written == TRecordWrite::NotOpened) {
        Application->MessageBox("Save file is not possible, to file is probably already open!",
                                "File error !", MB_OK);
        return rcColumnsShortOrNotOpened;
    }
    if (written == TRecordWrite::Short) {
        int left = file.Written();
        for (const TLine& l : lines) {
            if (left < l.Text.Length()) return l.Code;
            left -= l.Text.Length();
        }
    }
    Saved = true;
    Application->MessageBox("File saved successfully.", "File saved", MB_OK);
    return rcSaved;
}
