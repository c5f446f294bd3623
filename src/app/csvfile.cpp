#include "app/csvfile.h"
#include "app/setupini.h"
#include "platform/classes/filenames.h"
#include "platform/classes/inifiles.h"
#include "platform/forms/forms.h"
#include "platform/win32/kernel.h"

AnsiString ReadDataDirectory(const AnsiString& Section) {
    TIniFile ini(SetupIniPath());
    return ini.ReadString(Section, "DataDirectory", "C:\\");
}

AnsiString DataFolderPath(const AnsiString& Stored) {
    try {
        return MapWindowsPath(Stored);
    } catch (const EFileNameError&) {
        return AnsiString();
    }
}

bool RememberDataFolder(const AnsiString& Section, const AnsiString& Folder) {
    try {
        TIniFile ini(SetupIniPath());
        ini.WriteString(Section, "DataDirectory", Folder);
        return true;
    } catch (const std::exception& e) {
        Application->MessageBox(FolderNotRememberedText(e.what()), FolderNotRememberedCaption,
                                MB_OK | MB_ICONWARNING);
        return false;
    }
}

void RememberDataDirectory(const AnsiString& Section, const AnsiString& Stored,
                           const AnsiString& FileName) {
    const AnsiString folder = ExtractFilePath(FileName);
    if (!folder.IsEmpty() && folder != Stored && folder != DataFolderPath(Stored))
        RememberDataFolder(Section, folder);
}
