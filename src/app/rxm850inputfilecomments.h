#pragma once
// The resistance meter's stored files and comments window: the measurements
// read from the meter (and the single one being saved), browsed one by one
// with a comment each, and written to the measurement CSV file.
#include "platform/forms/buttons.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"

struct RXM850FilesStruct {
    int FileNumber = 0;
    double Resistance = 0;
    int Humidity = 0;
    int Temperature = 0;
    int TimerSeconds = 0;
    char AverageLapse = 0;
    AnsiString Comment;
    AnsiString Unit;
};

// What SaveFilesToCsv returns.
enum TRxmCsvResult : int {
    rcSaved = 0,
    rcCancelled = 1,
    rcHeaderShort = -1,
    rcIdentityShort = -2,
    rcColumnsShortOrNotOpened = -3,
    rcRowShort = -4,
};

class TFormRXM850FComment : public TForm {
    QM_CLASS(TFormRXM850FComment)
public:
    static constexpr int FileCount = 100;

    explicit TFormRXM850FComment(TComponent* AOwner);

    TGroupBox* GroupBoxRXM850FileComments;
    TLabel *LabelFileNumber_, *LabelFileNumber, *LabelResistor_, *LabelResistor;
    TLabel *LabelHumidity_, *LabelHumidity, *LabelTemperature_, *LabelTemperature;
    TLabel *LabelTimer_, *LabelTimer, *LabelAL_, *LabelAL, *LabelComment;
    TBitBtn *BitBtnStart, *BitBtnPrevious, *BitBtnNext, *BitBtnEnd, *BitBtnSave, *BitBtnExit;
    TEdit* EditComments;
    TSaveDialog* SaveDialog1;
    TPrintDialog* PrintDialog1;

    RXM850FilesStruct Files[FileCount];
    int CurrentFile = 0, FirstFile = 0, LastFile = 0;
    bool Saved = false;
    AnsiString MeterSerialNumber, MeterSwVersion, MeterCalDate;

    void ShowFileRecord();
    int SaveFilesToCsv(bool SingleMeasurement);

    void BitBtnStartClick(TObject* Sender);
    void BitBtnPreviousClick(TObject* Sender);
    void BitBtnNextClick(TObject* Sender);
    void BitBtnEndClick(TObject* Sender);
    void EditCommentsKeyPress(TObject* Sender, char& Key);
    void LabelFileNumber_Click(TObject* Sender);
    void BitBtnSaveClick(TObject* Sender);
    void BitBtnExitClick(TObject* Sender);

protected:
    void DoClose(TCloseAction& Action) override;

private:
    // The edit's text becomes the shown record's comment.
    void KeepComment();
    AnsiString RecordRow(int Index) const;
    AnsiString IdentityFields(const AnsiString& Time, const AnsiString& Date) const;
    // The lines into the file; what SaveFilesToCsv returns.
    int WriteFilesCsv(const AnsiString& Path, bool SingleMeasurement);
};

extern TFormRXM850FComment* FormRXM850FComment;
