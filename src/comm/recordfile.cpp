#include "comm/recordfile.h"
#include "platform/classes/streams.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"
#include <algorithm>
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

namespace {
// What goes before new rows so that they start on a line of their own: a row
// torn by a kill stays one broken row, never joined by the next. Size > 0.
AnsiString LineStart(TFileStream& File, int64_t Size) {
    char last = '\n';
    File.Seek(Size - 1, soFromBeginning);
    const bool read = File.Read(&last, 1) == 1;
    File.Seek(0, soFromEnd);
    if (!read || last == '\n') return AnsiString();
    return last == '\r' ? AnsiString("\n") : AnsiString("\r\n");
}
} // namespace

TRecordWrite TRecordFile::Write() {
    FWritten = 0;
    FError = "";
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(FFileName, (FNew ? fmCreate : fmOpenReadWrite) |
                                                            fmShareExclusive);
    } catch (const EStreamError& e) {
        FError = e.Message;
        return FNew ? TRecordWrite::NotCreated : TRecordWrite::NotOpened;
    }
    const int64_t before = file->Seek(0, soFromEnd);
    const AnsiString start = before > 0 ? LineStart(*file, before) : AnsiString();
    const AnsiString out = start + FContent;
    const int written = file->Write(out.data(), out.Length());
    FWritten = std::max(0, written - start.Length());
    if (written == out.Length()) return TRecordWrite::Written;
    if (FNew) {
        file.reset();
        DeleteFile(FFileName);
    } else {
        file->SetSize(before);
    }
    return TRecordWrite::Short;
}
