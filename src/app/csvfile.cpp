#include "app/csvfile.h"
#include "app/setupini.h"
#include "platform/classes/inifiles.h"
#include "platform/classes/streams.h"
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

int AppendToFile(const AnsiString& FileName, const AnsiString& Data) {
    TFileStream file(FileName, fmOpenWrite | fmShareExclusive);
    const int64_t before = file.Seek(0, soFromEnd);
    const int written = file.Write(Data.c_str(), Data.Length());
    if (written != Data.Length()) file.SetSize(before);
    return written;
}

bool AppendComplete(const AnsiString& FileName, const AnsiString& Data) {
    try {
        return AppendToFile(FileName, Data) == Data.Length();
    } catch (const std::exception&) {
        return false;
    }
}

bool CreateEmptyFile(const AnsiString& FileName) {
    try {
        TFileStream file(FileName, fmCreate);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

AnsiString ReadDataDirectory(const AnsiString& Section) {
    TIniFile ini(SetupIniPath());
    return ini.ReadString(Section, "DataDirectory", "C:\\");
}

void WriteDataDirectory(const AnsiString& Section, const AnsiString& Folder) {
    TIniFile ini(SetupIniPath());
    ini.WriteString(Section, "DataDirectory", Folder);
}

AnsiString StoreDataDirectory(const AnsiString& Section, const AnsiString& Stored,
                              const AnsiString& FileName) {
    const AnsiString folder = ExtractFilePath(FileName);
    if (!folder.IsEmpty() && folder != Stored && folder != MapWindowsPath(Stored)) {
        TIniFile ini(SetupIniPath());
        ini.WriteString(Section, "DataDirectory", folder);
    }
    return folder;
}
