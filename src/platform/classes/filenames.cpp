#include "platform/classes/filenames.h"
#include "platform/classes/textcodec.h"

std::string SystemFileName(const AnsiString& Name) {
    return AnsiToUtf8(Name);
}

bool TryProgramFileName(const std::string& Name, AnsiString& Out) {
    return Utf8ToAnsi(Name, Out);
}

AnsiString ProgramFileName(const std::string& Name) {
    AnsiString out;
    if (!Utf8ToAnsi(Name, out)) throw EFileNameError(UnusableFileNameText(Name));
    return out;
}

AnsiString UnusableFileNameText(const std::string& Name) {
    return "Cannot use \"" + Utf8ToAnsiShown(Name) +
           "\": the name holds characters outside the Western European character set "
           "(shown as ?).";
}
