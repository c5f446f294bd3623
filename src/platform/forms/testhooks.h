#pragma once
// Hooks that make windows testable headless (used only by tests):
//   the dialog responder: expected message boxes and dialogs with their answers;
//   the system window driver: the system's dialogs and menus shown for real and
//   acted on from inside their own loops;
//   the pump script: steps run by ProcessMessages (click, type, press a key);
//   simulated user input through the real event path;
//   a stand-in for the desktop's opener of help files;
//   overrides for the screen size and for ending the process.
// Time is virtual through TVirtualClockScope (platform/rtl/clock.h); timers follow it.
// The program's folder has its override in platform/win32/kernel.h.
#include "platform/forms/forms.h"
#include "platform/graphics/paper.h"
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TCustomEdit;
class TMenuItem;
class TFont;

// ---------------------------------------------------------------------------
// Dialog responder

enum class TDialogKind {
    MessageBox,
    InputQuery,
    OpenDialog,
    SaveDialog,
    ColorDialog,
    FontDialog,
    PrintDialog,
    PrinterSetupDialog,
    PopupMenu // shown for real only (see TSystemWindowDriver)
};
const char* DialogKindName(TDialogKind Kind);

// What a box or dialog shows.
struct TDialogRequest {
    TDialogKind Kind = TDialogKind::MessageBox;
    AnsiString Caption; // the title as shown
    AnsiString Text;    // message or prompt
    int Flags = 0;      // MB_* of a message box
    AnsiString Value;   // input default, or the dialog's file name
    AnsiString Filter;  // file dialogs
    int FilterIndex = 1;
    AnsiString InitialDir;
    AnsiString DefaultExt;
    TColor Color = clBlack; // colour dialog
    // Colour dialog: its sixteen custom colours, clNone where a slot is unset.
    std::vector<TColor> CustomColors;
    int MinPage = 0; // print dialog: the pages offered (both 0 without a range)
    int MaxPage = 0;
    // Print and printer set-up dialogs: the paper and orientation they open with.
    TPaperSize Paper;
    TPrinterOrientation Orientation = poPortrait;
};

// How the test answers it.
struct TDialogAnswer {
    int Result = IDOK;  // message boxes: IDOK, IDCANCEL, IDYES ...
    bool Accept = true; // dialogs and input boxes: OK or Cancel
    AnsiString Text;    // input boxes; file and print dialogs: the file chosen
    // File and print dialogs: the file chosen as the system names it (UTF-8),
    // as a real dialog gives it back; taken instead of Text when set.
    std::string SystemName;
    int FilterIndex = 0;    // file dialogs: the chosen filter (0 keeps it)
    TColor Color = clBlack; // colour dialog
    // Colour dialog: changes the custom colours (the sixteen shown) on OK.
    std::function<void(std::vector<TColor>&)> EditCustomColors;
    std::function<void(TFont*)> EditFont; // font dialog: changes the chosen font
    int FromPage = 0;                     // print dialog: a page range (0: all pages)
    int ToPage = 0;
    // Print and printer set-up dialogs: the paper and orientation chosen (empty
    // or unset keeps the one shown).
    TPaperSize Paper;
    std::optional<TPrinterOrientation> Orientation;
    // Runs as if while the dialog is open (a timer or another window at work).
    std::function<void()> WhileShown;
};

class TDialogResponder {
public:
    TDialogResponder(); // installs itself
    ~TDialogResponder();
    TDialogResponder(const TDialogResponder&) = delete;
    TDialogResponder& operator=(const TDialogResponder&) = delete;

    // The next box or dialog must be of this kind and contain TextPart in its
    // text (or caption); empty TextPart matches any.
    TDialogResponder& Expect(TDialogKind Kind, const AnsiString& TextPart, TDialogAnswer Answer);
    TDialogResponder& ExpectMessage(const AnsiString& TextPart, int Result);
    TDialogResponder& ExpectInput(const AnsiString& PromptPart, const AnsiString& Value);
    TDialogResponder& ExpectInputCancel(const AnsiString& PromptPart);
    TDialogResponder& ExpectOpen(const AnsiString& FileName, int FilterIndex = 0);
    TDialogResponder& ExpectSave(const AnsiString& FileName, int FilterIndex = 0);
    TDialogResponder& ExpectCancel(TDialogKind Kind);
    TDialogResponder& ExpectColor(TColor Color,
                                  std::function<void(std::vector<TColor>&)> EditCustom = nullptr);
    TDialogResponder& ExpectFont(std::function<void(TFont*)> Edit);
    TDialogResponder& ExpectPrint(bool Accept);
    // A print dialog answered with OK and the pages From..To.
    TDialogResponder& ExpectPrintPages(int From, int To);
    // A print dialog answered with OK and "print to file" into FileName.
    TDialogResponder& ExpectPrintToFile(const AnsiString& FileName);
    // A print or printer set-up dialog answered OK with this paper and
    // orientation (the print dialog also with this file, when one is named).
    TDialogResponder& ExpectPaper(TDialogKind Kind, TPaperSize Paper,
                                  TPrinterOrientation Orientation,
                                  const AnsiString& FileName = AnsiString());

    // Every expected item was shown.
    bool Done() const { return FExpected.empty(); }
    int Pending() const { return static_cast<int>(FExpected.size()); }
    // Everything shown, in order.
    const std::vector<TDialogRequest>& Shown() const { return FShown; }
    // Unexpected or mismatched items.
    const std::vector<AnsiString>& Failures() const { return FFailures; }
    // Called for each failure (tests report it); the item then gets the answer
    // that cancels it.
    std::function<void(const AnsiString&)> OnFailure;
    // Answers whatever is shown once nothing more is expected (instead of a
    // failure), for sweeps that cannot know what each step shows.
    std::function<TDialogAnswer(const TDialogRequest&)> AnswerAny;

    // Platform side: answers a request; false when no responder is installed.
    static bool Answer(const TDialogRequest& Request, TDialogAnswer& Answer);
    static TDialogResponder* Current();

private:
    struct TExpected {
        TDialogKind Kind;
        AnsiString TextPart;
        TDialogAnswer Answer;
    };
    void Fail(const AnsiString& Message);
    std::deque<TExpected> FExpected;
    std::vector<TDialogRequest> FShown;
    std::vector<AnsiString> FFailures;
    TDialogResponder* FPrevious;
};

// The answer that cancels a request (what an unexpected item gets).
TDialogAnswer CancelAnswer(const TDialogRequest& Request);

// ---------------------------------------------------------------------------
// Dialogs and menus of the system shown for real

// A dialog or menu of the system while it shows for real, as a test acts on it.
class TShownSystemWindow {
public:
    virtual ~TShownSystemWindow() = default;
    virtual TDialogKind Kind() const = 0;
    // Still open.
    virtual bool Showing() const = 0;
    // A key pressed and released where the window has the focus.
    virtual void Key(WORD Key, TShiftState Shift = {}) = 0;
    // A menu's item (separators counted) pressed and released with the mouse.
    virtual void ClickItem(int Index) = 0;
    // OK as the user gives it: the accepting button of a message box; Text,
    // when given, typed into an input box or chosen in a file dialog.
    virtual void Accept(const AnsiString& Text = AnsiString()) = 0;
    // Cancel, as Escape gives it.
    virtual void Cancel() = 0;
};

// Installed, every dialog and menu of the system shows for real, in headless
// runs too, and the dialog responder is not asked. Each runs the next action
// given from a zero-time timer posted before its own loop starts, so from
// inside that loop; one without an action, or left open by its action, is
// cancelled: no run waits on a person.
class TSystemWindowDriver {
public:
    TSystemWindowDriver(); // installs itself
    ~TSystemWindowDriver();
    TSystemWindowDriver(const TSystemWindowDriver&) = delete;
    TSystemWindowDriver& operator=(const TSystemWindowDriver&) = delete;

    TSystemWindowDriver& Then(std::function<void(TShownSystemWindow&)> Action);
    // Every action given has run.
    bool Done() const { return FActions.empty(); }
    // The kinds shown, in order.
    const std::vector<TDialogKind>& Shown() const { return FShown; }

    // Platform side: the action for a window of Kind that shows now.
    std::function<void(TShownSystemWindow&)> Next(TDialogKind Kind);
    static TSystemWindowDriver* Current();

private:
    std::deque<std::function<void(TShownSystemWindow&)>> FActions;
    std::vector<TDialogKind> FShown;
    TSystemWindowDriver* FPrevious;
};

// ---------------------------------------------------------------------------
// Pump script

// An exception of the pump script: it passes through the message loop to the test.
class EPumpScriptFailure : public EUnwindToTest {
public:
    using EUnwindToTest::EUnwindToTest;
};

class TPumpScript {
public:
    TPumpScript(); // installs itself
    ~TPumpScript();
    TPumpScript(const TPumpScript&) = delete;
    TPumpScript& operator=(const TPumpScript&) = delete;

    // The next step added runs at the first pump where Condition holds.
    TPumpScript& When(std::function<bool()> Condition);
    // The next step waits this many pumps after the previous one ran.
    TPumpScript& After(int Pumps);
    TPumpScript& Do(std::function<void()> Action, const AnsiString& Description = AnsiString());
    // Clicks as the user would, once the control is visible and enabled.
    TPumpScript& Click(TControl* Control);
    // Focuses the control and types the text key by key.
    TPumpScript& Type(TWinControl* Control, const AnsiString& Text);
    TPumpScript& Key(TWinControl* Control, WORD Key, TShiftState Shift = {});
    TPumpScript& Enter(TWinControl* Control) { return Key(Control, VK_RETURN); }
    TPumpScript& Escape(TWinControl* Control) { return Key(Control, VK_ESCAPE); }
    // Chooses a menu item (once it is enabled).
    TPumpScript& Menu(TMenuItem* Item);

    // Moves the installed virtual clock forward on every pump (0: never).
    TPumpScript& AdvanceClockPerPump(uint32_t Ms);
    // Pumps allowed without a step running; then the script fails and throws
    // EPumpScriptFailure out of ProcessMessages.
    TPumpScript& SetMaxIdlePumps(long Pumps);

    bool Done() const { return FSteps.empty(); }
    int Remaining() const { return static_cast<int>(FSteps.size()); }
    long Pumps() const { return FPumps; }
    // Descriptions of the steps run, in order.
    const std::vector<AnsiString>& Log() const { return FLog; }

    // Platform side: the step of one ProcessMessages.
    void Step();
    static TPumpScript* Current();

private:
    struct TStep {
        std::function<bool()> Condition;
        std::function<void()> Action;
        AnsiString Description;
        int AfterPumps = 0;
    };
    TStep& Pending();
    std::deque<TStep> FSteps;
    std::function<bool()> FNextCondition;
    int FNextAfter = 0;
    long FPumps = 0;
    long FIdle = 0;
    long FMaxIdle = 200000;
    long FSinceLast = 0;
    uint32_t FAdvance = 0;
    bool FFailed = false;
    std::vector<AnsiString> FLog;
    TPumpScript* FPrevious;
};

// ---------------------------------------------------------------------------
// Simulated input: events go through the same path as the user's, and an
// exception in a handler is shown like one in the message loop.

enum class TMouseAction { Down, Move, Up, DoubleClick };
// Coordinates are client coordinates of the control.
void SimulateMouse(TControl* Control, TMouseAction Action, TMouseButton Button, int X, int Y,
                   TShiftState Shift = {});
// Press and release of the left button (at the centre by default).
void SimulateClick(TControl* Control, int X = -1, int Y = -1);
void SimulateDoubleClick(TControl* Control, int X = -1, int Y = -1);
// The pointer comes over a control, or goes off it.
void SimulateMouseEnter(TControl* Control);
void SimulateMouseLeave(TControl* Control);
// The control takes the focus as a user's click or Tab gives it: the focus
// event reaches it through its window.
void SimulateFocus(TWinControl* Control);
// Delta in the platform's units: 120 per notch, negative towards the user.
void SimulateWheel(TControl* Control, int Delta, int X = -1, int Y = -1, TShiftState Shift = {});
// Press and release of a key on the control (as if it had the focus).
void SimulateKey(TWinControl* Control, WORD Key, TShiftState Shift = {});
// Focuses the control (when it can take the focus) and types each character.
void SimulateType(TWinControl* Control, const AnsiString& Text);
// The close box of a window's frame: the close event the window manager
// sends, through the window as the platform delivers it.
void SimulateCloseBox(TCustomForm* Form);
// Waits until the window system gives a shown window the keyboard, as a
// user's Tab needs (at once headless); false when it never does.
bool WaitForKeyboard(TCustomForm* Form);
// Visible and enabled, with every parent, on a visible form.
bool CanUserReach(const TControl* Control);
// Copies what the screen shows of a control (its face and what the program drew
// over it) into a bitmap of the control's size.
void GrabControl(TControl* Control, TBitmap* Into);
// The width a text needs in an edit field and the width the field gives it,
// by the field's font and frame: the text shows whole when Needed <= Room.
struct TEditTextRoom {
    int Needed = 0;
    int Room = 0;
};
TEditTextRoom EditTextRoom(TCustomEdit* Edit, const AnsiString& Text);
// The outer rectangle of a top-level window as shown (frame by the platform's
// metrics): smaller than Left, Top, Width, Height where it was fitted to the
// screen's work area.
TRect ShownWindowBounds(TCustomForm* Form);
// What a top-level window shows of its client area, and whether it scrolls
// it (scroll bars of its own, the content larger than the window).
struct TShownClient {
    int Width = 0;
    int Height = 0;
    bool Scrolls = false;
};
TShownClient ShownClient(TCustomForm* Form);
// The window manager gives a shown window a client area of this size, as the
// user's drag of its frame does.
void SimulateFrameResize(TCustomForm* Form, int ClientWidth, int ClientHeight);
// The hint Application->ActivateHint shows now (empty when none).
AnsiString ShownHintText();

// ---------------------------------------------------------------------------
// Help files

// Stands in for the desktop's opener of help files; returns the previous one
// (nullptr: the desktop's own). It returns false when it could not open the file.
using THelpOpener = std::function<bool(const AnsiString& FileName, int Context)>;
THelpOpener SetHelpOpener(THelpOpener Opener);

// ---------------------------------------------------------------------------
// Screen size and ending the process

// Clears the application's terminated state and main form, so one test
// binary can run the message loop again.
void ResetApplicationForTest();

// Width and height Screen reports (0, 0 removes the override).
void SetScreenSizeOverride(int Width, int Height);

// Runs before the process ends (Halt, Application->Halt); returns the previous
// hook. A hook that returns lets the process end; one that throws
// (EProcessExit) unwinds instead.
using TExitHook = std::function<void(int ExitCode)>;
TExitHook SetExitHook(TExitHook Hook);

// Catches ending the process for the life of a scope: Halt throws EProcessExit,
// which passes the message loop and reaches the test.
class TExitTrap {
public:
    TExitTrap();
    ~TExitTrap();
    TExitTrap(const TExitTrap&) = delete;
    TExitTrap& operator=(const TExitTrap&) = delete;
    bool Exited() const { return FExited; }
    int ExitCode() const { return FCode; }

private:
    TExitHook FPrevious;
    bool FExited = false;
    int FCode = 0;
};
