#pragma once
// The help and version window behind the main menu's "?".
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/win32/kernel.h"
#include <cstdint>

// What the program's version data says about it; an empty text is one it
// does not hold.
struct TVersionData {
    AnsiString ProductName, CompanyName, Department, Author;
    AnsiString FileVersion, ProductVersion;
};
// The data generated at build time.
TVersionData BuiltVersionData();

class TFormHelp : public TForm {
    QM_CLASS(TFormHelp)
public:
    explicit TFormHelp(TComponent* AOwner);

    struct TFileInfo {
        AnsiString ProductName, CompanyName, Department, Author;
        int64_t FileSize = 0;
        AnsiString FileVersion, ProductVersion;
        SYSTEMTIME Created{}, LastWritten{}, LastAccessed{};
    };

    TGroupBox* Help_GroupBox1;
    TMemo* HelpMemo;
    TButton* HelpOKButton;
    TGroupBox* GroupBox1;
    TMemo* MemoVersions;

    void ShowInfo();
    // The version text of the program file (CR LF after each line).
    AnsiString ReadVersionInfo(TFileInfo& Info);
    // The same for any file and version data (without a resource: no name lines).
    static AnsiString VersionText(const AnsiString& FileName, const TVersionData* Data,
                                  TFileInfo& Info);
    void HelpOKButtonClick(TObject* Sender);
};

extern TFormHelp* FormHelp;
