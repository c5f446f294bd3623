#include "app/display_help.h"
#include "app/main.h"
#include "platform/rtl/format.h"
#include "version.h"

QM_CLASS_OWNED(TFormHelp, TForm, TComponent)

TFormHelp* FormHelp = nullptr;

TVersionData BuiltVersionData() {
    return {QM_PRODUCT_NAME, QM_COMPANY_NAME, QM_DEPARTMENT,
            QM_AUTHOR,       QM_FILE_VERSION, QM_PRODUCT_VERSION};
}

TFormHelp::TFormHelp(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormHelp");
    SetCaption("Info");
    SetFormStyle(fsStayOnTop);
    SetBorderIcons({});
    SetBorderStyle(bsDialog);
    Font()->SetName("Arial");
    Font()->SetHeight(-16);

    Help_GroupBox1 =
        NewControl<TGroupBox>(this, this, "Help_GroupBox1", 8, 8, 640, 150, "Short help");
    HelpMemo = NewControl<TMemo>(this, Help_GroupBox1, "HelpMemo", 10, 24, 620, 116);
    HelpMemo->SetReadOnly(true);
    HelpMemo->SetEnabled(false);
    HelpMemo->Font()->SetName("Arial");
    HelpMemo->Font()->SetHeight(-19);
    HelpMemo->Font()->SetStyle({fsBold});
    GroupBox1 = NewControl<TGroupBox>(this, this, "GroupBox1", 8, 166, 640, 230, "Version info");
    MemoVersions = NewControl<TMemo>(this, GroupBox1, "MemoVersions", 10, 24, 620, 196);
    MemoVersions->SetReadOnly(true);
    HelpOKButton = NewControl<TButton>(this, this, "HelpOKButton", 288, 404, 80, 30, "OK");
    HelpOKButton->OnClick = [this](TObject* s) { HelpOKButtonClick(s); };
    // The close box gives the main window's menus back as OK does.
    OnClose = [this](TObject* s, TCloseAction&) { HelpOKButtonClick(s); };
    SetAutoSize(true);
    SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(),
              Height());
}

void TFormHelp::ShowInfo() {
    HelpMemo->SetText("- First click on Device than select Type, Mode and Range.\r\n"
                      "- Start by click on View and Chart or Display.\r\n"
                      "- For CPM 690,RXM 850 or PGT 300 operating mode set the used \r\n"
                      "  COM Port number over menue point Setup->Com Port at first !");
    MemoVersions->Clear();
    TFileInfo info;
    MemoVersions->Lines()->SetText(ReadVersionInfo(info));
}

AnsiString TFormHelp::ReadVersionInfo(TFileInfo& Info) {
    const TVersionData data = BuiltVersionData();
    return VersionText(ParamStr(0), &data, Info);
}

AnsiString TFormHelp::VersionText(const AnsiString& FileName, const TVersionData* Data,
                                  TFileInfo& Info) {
    AnsiString text;
    auto line = [&text](const char* Label, const AnsiString& Value) {
        text += AnsiString(Label) + "\t" + Value + "\r\n";
    };
    if (Data) {
        const struct {
            const AnsiString& Value;
            AnsiString& Field;
            const char* Label;
        } names[] = {{Data->ProductName, Info.ProductName, "Product name"},
                     {Data->CompanyName, Info.CompanyName, "Company name   "},
                     {Data->Department, Info.Department, "Department     "},
                     {Data->Author, Info.Author, "Author         "}};
        for (const auto& n : names)
            if (!n.Value.IsEmpty()) {
                n.Field = n.Value;
                line(n.Label, n.Value);
            }
        Info.FileVersion = Data->FileVersion;
        Info.ProductVersion = Data->ProductVersion;
        line("File version", Info.FileVersion);
        line("Product version", Info.ProductVersion);
    }
    const int64_t size = GetFileSizeByName(FileName);
    if (size < 0) return text;
    Info.FileSize = size;
    line("File size      ", AnsiString(std::to_string(size).c_str()));
    TFileTimes times;
    if (!GetFileTimes(FileName, times)) return text;
    Info.Created = times.Created;
    Info.LastWritten = times.LastWrite;
    Info.LastAccessed = times.LastAccess;
    auto date = [](const SYSTEMTIME& t) {
        return Format("%04d/%02d/%02d", {int(t.wYear), int(t.wMonth), int(t.wDay)});
    };
    auto time = [](const SYSTEMTIME& t) {
        return Format("%02d:%02d", {int(t.wHour), int(t.wMinute)});
    };
    line("Created        ", date(times.Created) + "\t" + time(times.Created));
    line("Last write     ", date(times.LastWrite) + "\t" + time(times.LastWrite));
    line("Last access     ", date(times.LastAccess));
    return text;
}

void TFormHelp::HelpOKButtonClick(TObject*) {
    SetEnabled(false);
    Hide();
    MainForm->Device->SetEnabled(true);
    MainForm->Setup->SetEnabled(true);
    // View charts only a range's readings: after a serial instrument's choice
    // it would read that instrument's port as a plate monitor.
    MainForm->View->SetEnabled(MainForm->RangeChosen());
}
