#include "comm/recordfile.h"
#include "platform/classes/streams.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"
#include <memory>

AnsiString CsvText(const AnsiString& Text) {
    AnsiString out = Text;
    for (int i = 1; i <= out.Length(); ++i) {
        if (out[i] == ';') out[i] = ',';
        if (out[i] == '\r' || out[i] == '\n') out[i] = ' ';
    }
    return out;
}

const char* const FolderNotRememberedCaption = "SETUP.INI";

AnsiString FolderNotRememberedText(const AnsiString& Reason) {
    return "The data folder could not be remembered: " + Reason;
}

TRecordFile::TRecordFile(const AnsiString& FileName)
    : FFileName(FileName), FNew(!FileExists(FileName)) {}

void TRecordFile::AddHeading(const AnsiString& Text) {
    if (FNew) FContent += Text;
}

void TRecordFile::Add(const AnsiString& Text) {
    FContent += Text;
}

TRecordWrite TRecordFile::Write() {
    FWritten = 0;
    FError = "";
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(FFileName,
                                             (FNew ? fmCreate : fmOpenWrite) | fmShareExclusive);
    } catch (const EStreamError& e) {
        FError = e.Message;
        return FNew ? TRecordWrite::NotCreated : TRecordWrite::NotOpened;
    }
    const int64_t before = file->Seek(0, soFromEnd);
    FWritten = file->Write(FContent.data(), FContent.Length());
    if (FWritten == FContent.Length()) return TRecordWrite::Written;
    if (FNew) {
        file.reset();
        DeleteFile(FFileName);
    } else {
        file->SetSize(before);
    }
    return TRecordWrite::Short;
}
