#include "app/csvfile.h"
#include "app/setupini.h"
#include "platform/classes/inifiles.h"
#include "platform/win32/kernel.h"

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
