#include "app/program.h"
#include "app/chartcpm.h"
#include "app/display.h"
#include "app/display_help.h"
#include "app/focom.h"
#include "app/main.h"
#include "app/pgt300.h"
#include "app/portsettings.h"
#include "app/readeepromdata.h"
#include "app/rxm850.h"
#include "app/rxm850inputfilecomments.h"
#include "app/rxmcalimenu.h"
#include "app/setcpm.h"
#include "app/setupcom.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/filenames.h"
#include "platform/forms/testhooks.h"
#include "platform/win32/kernel.h"
#include "platform/win32/mainthread.h"
#include <cstdlib>
#include <climits>
#include <fstream>
#include <memory>
#include <thread>

namespace {
const char* const ProgramTitle = "QM read out";

// Writes the shown windows to File (written aside, then renamed).
void WriteShownWindows(const std::string& File) {
    std::ofstream out(File + ".part");
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (!f->Showing()) continue;
        out << f->ClassName().c_str() << '\t' << f->Caption().c_str() << '\t' << f->Width() << 'x'
            << f->Height() << (f == Application->MainForm() ? "\tmain" : "") << '\n';
    }
    out.close();
    std::rename((File + ".part").c_str(), File.c_str());
}

// With QM_WINDOW_REPORT naming a file, the shown windows are written there
// on the message loop's first turn after the main window's first paint cycle
// (its first turn when it is not shown): how a caller without a screen finds
// them, and when.
void ReportShownWindows() {
    const char* path = std::getenv("QM_WINDOW_REPORT");
    if (!path || !*path) return;
    auto written = std::make_shared<bool>(false);
    const auto write = [file = std::string(path), written] {
        if (*written) return;
        *written = true;
        WriteShownWindows(file);
    };
    // Posted calls run once the loop's current turn, and the paint in it, ended.
    if (MainForm) MainForm->OnFirstPaint = [write](TObject*) { PostToMainThread(write); };
    PostToMainThread([write] {
        if (!MainForm || !MainForm->Showing()) write();
    });
}

// Without a screen the platform's loop has no events to wait for; it is driven
// one pass at a time here, resting 1 ms a pass, until the program ends.
std::unique_ptr<TPumpScript> HeadlessDriver() {
    if (!Application->Headless()) return nullptr;
    auto driver = std::make_unique<TPumpScript>();
    driver->SetMaxIdlePumps(LONG_MAX);
    driver->When([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return false;
    });
    driver->Do([] {}, "never");
    return driver;
}
} // namespace

TInstanceCheck CheckSingleInstance(const AnsiString& WindowText, AnsiString& Reason) {
    const AnsiString name = "PREVINST: " + WindowText;
    const HANDLE mutex = CreateMutexA(nullptr, 1, name.c_str());
    DWORD error = GetLastError();
    bool task = false;
    for (int i = 0; i <= 5; ++i)
        if (ParamStr(i).LowerCase() == "task") task = true;
    if (task) error = ERROR_SUCCESS;
    if (!mutex) {
        if (task) return TInstanceCheck::Run;
        Reason = "The lock that keeps a second QM read out from starting could not be made "
                 "(system error " +
                 AnsiString(static_cast<int>(GetLastError())) + " in " + LockFolder() + ").";
        return TInstanceCheck::LockFailed;
    }
    return error == ERROR_SUCCESS ? TInstanceCheck::Run : TInstanceCheck::AlreadyRunning;
}

void CreateProgramWindows() {
    Application->CreateForm(MainForm);
    Application->CreateForm(FormDisplay);
    Application->CreateForm(FormHelp);
    Application->CreateForm(FoCom);
    Application->CreateForm(CPMSetup);
    Application->CreateForm(Setup_COM);
    Application->CreateForm(FormChartCPM);
    Application->CreateForm(FormReadCPMFiles);
    Application->CreateForm(FormRXM850);
    Application->CreateForm(FormRXMCali);
    Application->CreateForm(FormRXM850FComment);
    Application->CreateForm(FormPGT300);
    // Several windows read SETUP.INI as they are made; what none could use is
    // named in one message.
    MainForm->ReportSetupProblems();
}

namespace {
template <class T> void Free(T*& Form) {
    T* f = Form;
    Form = nullptr;
    delete f;
}
} // namespace

void FreeProgramWindows() {
    Free(FormPGT300);
    Free(FormRXM850FComment);
    Free(FormRXMCali);
    Free(FormRXM850);
    Free(FormReadCPMFiles);
    Free(FormChartCPM);
    Free(Setup_COM);
    Free(CPMSetup);
    Free(FoCom);
    Free(FormHelp);
    Free(FormDisplay);
    Free(MainForm);
}

int RunProgram() {
    // Before the title is set the application's window carries the program's file name.
    AnsiString reason;
    TInstanceCheck check;
    try {
        check = CheckSingleInstance(ExtractFileName(ParamStr(0)), reason);
    } catch (const EFileNameError& e) {
        // A program folder it cannot name leaves the program without its SETUP.INI.
        Application->Initialize();
        Application->MessageBox(e.Message, ProgramTitle, MB_OK | MB_ICONSTOP);
        return 1;
    }
    if (check == TInstanceCheck::AlreadyRunning) return 0;
    Application->Initialize();
    Application->SetTitle(ProgramTitle);
    // Two instances would only compete for the instruments' ports, which open
    // exclusively; so the program runs after saying so.
    if (check == TInstanceCheck::LockFailed)
        Application->MessageBox(reason + " The program runs anyway.", ProgramTitle,
                                MB_OK | MB_ICONWARNING);
    const std::unique_ptr<TPumpScript> driver = HeadlessDriver();
    try {
        InstallPortSettingsDialog();
        // Chart files and the editor find every series, function and editor
        // form by name only once their libraries have registered them.
        TeeExtraSeriesStartup();
        TeeEditorStartup();
        CreateProgramWindows();
        ReportShownWindows();
        Application->Run();
    } catch (const EUnwindToTest&) {
        throw;
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
