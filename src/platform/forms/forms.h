#pragma once
// Windows and the application:
//   message box flags and results, modal results, window metrics;
//   TCustomForm / TForm: top-level windows (or forms embedded in a control),
//     show/hide, modal loops, closing, borders, position, key preview, default
//     and cancel buttons, menu shortcuts;
//   TScrollBox: a container that scrolls its children;
//   TScreen (Screen): screen size, cursor and registered cursors, forms, the
//     active form;
//   TApplication (Application): title, main form, the message loop, exceptions
//     escaping handlers, hints shown on request, help files opened at a topic
//     (apphelp.cpp), ending the process.
#include "platform/classes/watched.h"
#include "platform/forms/controls.h"
#include <exception>
#include <map>
#include <optional>
#include <string>

class TButton;
class TMainMenu;
class TMenuItem;

// A cursor picture the program registers with the screen under a number of its
// own (the platform's loaded cursor resources). Platform code defines it.
struct TCursorData;
using HCURSOR = TCursorData*;
// A cursor from a picture; the bitmap's transparent colour (when it is
// transparent) shows what lies below. Screen->SetCursors takes it over.
HCURSOR CreateBitmapCursor(TBitmap* Image, int HotX, int HotY);

// Message box flags (buttons, icons, default button, modality) and results.
constexpr int MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
              MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_TYPEMASK = 0xF;
constexpr int MB_ICONHAND = 0x10, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20,
              MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40,
              MB_ICONINFORMATION = 0x40, MB_ICONMASK = 0xF0;
constexpr int MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_DEFMASK = 0xF00;
constexpr int MB_APPLMODAL = 0x0, MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000,
              MB_SETFOREGROUND = 0x10000, MB_TOPMOST = 0x40000;
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT,
                       mrRetry = IDRETRY, mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO,
                       mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateFlag>;

// Window metrics of the platform's classic look (pixels); the screen size follows
// the test override when one is set.
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3,
              SM_CYCAPTION = 4, SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7,
              SM_CYDLGFRAME = 8, SM_CYMENU = 15, SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXSIZE = 30,
              SM_CYSIZE = 31, SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CYSMCAPTION = 51,
              SM_CXFIXEDFRAME = 7, SM_CYFIXEDFRAME = 8, SM_CXSIZEFRAME = 32, SM_CYSIZEFRAME = 33;
int GetSystemMetrics(int Index);

// Exceptions that pass through the message loop without being shown: they carry
// a verdict of the test hooks (a process exit, a failed pump script) back to the test.
class EUnwindToTest : public std::exception {
public:
    explicit EUnwindToTest(const AnsiString& Message) : FMessage(Message) {}
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    AnsiString FMessage;
};

class EProcessExit : public EUnwindToTest {
public:
    explicit EProcessExit(int Code)
        : EUnwindToTest("process ended with exit code " + AnsiString(Code)), ExitCode(Code) {}
    int ExitCode;
};

class TCustomForm : public TWinControl {
    QM_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    void SetParent(TWinControl* AParent) override;
    // Showing a form brings it to the front and makes it the active form.
    void SetVisible(bool Value) override;
    void BringToFront();
    // Runs a nested message loop until ModalResult is set; raises EInvalidOperation
    // "Cannot make a visible window modal" for a visible or disabled form.
    int ShowModal();
    // Modal: sets ModalResult to mrCancel. Otherwise asks OnCloseQuery, then
    // OnClose decides (hide by default; closing the main form ends the application).
    // The window's close box comes here too, unless the window is disabled.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the current handler has returned.
    void Release();
    // A window fitted to a small screen scrolls its view so that R (client
    // coordinates) shows, whole where the view can hold it; before the
    // window shows, once it does.
    void ScrollInView(const TRect& R);

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TFormState FormState() const { return FFormState; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    // What the form shows or edits, as its opener gave it. Held as a reference:
    // it reads nullptr once the object is gone, and an object made later where
    // it was is not it.
    TPersistent* Subject() const { return FSubject; }
    template <class T> T* SubjectAs() const { return dynamic_cast<T*>(Subject()); }
    void SetSubject(TPersistent* Value) { FSubject = Value; }
    // Sizes the client area to the child controls, with the margin they keep
    // at the left and top kept at the right and bottom as well.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    void AdjustSize();
    AnsiString HelpFile() const { return FHelpFile; }
    void SetHelpFile(const AnsiString& Value) { FHelpFile = Value; }
    int PixelsPerInch() const { return 96; }
    // Stored only: forms keep their designed pixel sizes (96 pixels per inch)
    // and do not scroll their controls into view. A window larger than the
    // screen's work area shows its content scrolling whatever AutoScroll says.
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value) { FAutoScroll = Value; }

    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // Rebuilds the menu bar after the main menu's items changed.
    void MenuChanged();

    TWinControl* ActiveControl() const { return FActiveControl; }
    // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when
    // the control cannot take the focus.
    void SetActiveControl(TWinControl* Control);
    // Focuses the first control in tab order that can take the focus.
    void SelectFirst();
    void FocusControl(TWinControl* Control);
    // Focus moves between a grid and its own cell editor, the one holding the
    // focus now: no focus change of the form, so no OnExit or OnEnter, and no
    // handler runs under the grid's editing.
    void FocusWithin(TWinControl* Control);
    bool Active() const;
    void SetFocus() override;

    int ClientWidth() const override;
    int ClientHeight() const override;
    TCanvas* Canvas() const;

    // A menu item (of a pop-up menu on the way up from Control, or of the main
    // menu) with this shortcut is clicked; true when one was found.
    bool IsShortCut(WORD Key, TShiftState Shift, TWinControl* Control);
    // Enter clicks the focused button or else the default button; Esc the cancel
    // button. True when a button took the key.
    bool DialogKey(WORD Key, TWinControl* Control);

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;

protected:
    friend struct TFormAccess;
    friend struct TControlAccess;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();
    void ApplyGeometry() override;
    void ApplyColor() override;
    bool WidgetShouldShow() const override;
    AnsiString GetTextValue() const override;
    void TextChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool ClicksFromMouse() const override { return true; }

private:
    void CloseModal();
    // The close box and Alt+F4: the window's Cancel where it has one, else Close.
    void CloseFromFrame();
    friend void CloseFormFromFrame(TCustomForm* Form);
    // The button that cancels the dialog (modal result mrCancel) where the
    // user can press it; nullptr for a window without one.
    TButton* CancelButton();
    // The focused control's held entry, applied as leaving it would; false
    // when it was refused or the form went meanwhile.
    bool ApplyFocusedEntry();
    // The window a new window stays above: the active one, else the nearest
    // shown form among the owners, else the main form (nullptr: none shown).
    TCustomForm* Opener(TCustomForm* Active) const;
    // Transient for Opener, and modal over it when Modal (nullptr undoes both).
    void SetWindowOwner(TCustomForm* Opener, bool Modal);
    // The shown window this one's windows stay above once it hides or goes:
    // its owner, else the nearest shown one below that, else the main form.
    TCustomForm* WindowBelow() const;
    // Every window this one owns passes to WindowBelow, so no window stays
    // above one that is hidden or freed.
    void PassOwnedWindows();
    void ApplyWindowFlags();
    void PlaceByPosition();
    // Moves a window that would show its frame beyond the screen's work area
    // back onto it, its title bar first.
    void KeepOnWorkArea();
    int FrameWidth() const;
    int CaptionHeight() const;
    int MenuHeight() const;
    // In: the content's size (menu included); out: the window's size on the
    // work area. False when the content does not fit and must scroll.
    bool FitWorkArea(int& W, int& H) const;
    bool Fitted() const;
    void ShowFitted(bool On, int ViewW, int ViewH);
    void WindowResized(int ClientW, int ClientH);
    void WindowMoved(int X, int Y);
    void SetActiveState(bool Value);
    void RaiseWindow();
    void EnterActiveControl();
    // A child leaves the form (from FromParent): references to it go without
    // any event.
    void ForgetControl(TControl* AControl, TWinControl* FromParent);
    friend class TWinControl;

    TModalResult FModalResult = mrNone;
    TFormState FFormState;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    bool FKeyPreview = false;
    TWatched<TPersistent> FSubject;
    bool FAutoSize = false;
    bool FScaled = true;
    bool FAutoScroll = true;
    bool FActive = false;
    bool FSizedByWindow = false;         // while the window manager's size or place is taken
    TWatched<TCustomForm> FOwnerWindow;  // the shown window this one stays above
    AnsiString FHelpFile;
    TWatched<TMainMenu> FMenu;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr; // the innermost one entered (none: the form)
    QWidget* FMenuBar = nullptr;
    QWidget* FFitArea = nullptr;      // scrolls the client area of a fitted window
    std::optional<TRect> FViewWanted; // what ScrollInView brings into view on show
    void ApplyViewWanted();
};

class TForm : public TCustomForm {
    QM_CLASS(TForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// A container whose children may extend beyond its client area.
class TScrollBox : public TWinControl {
    QM_CLASS(TScrollBox)
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    void ScrollInView(TControl* AControl);
    int ClientWidth() const override;
    int ClientHeight() const override;

protected:
    void ChildAdded(TControl* AControl) override;
    void ChildBoundsChanged(TControl* AControl) override;
    void ApplyGeometry() override;
    void ApplyColor() override;

private:
    void UpdateExtent();
    TBorderStyle FBorderStyle = bsSingle;
};

class TScreen : public TComponent {
    QM_CLASS(TScreen)
public:
    TScreen();
    ~TScreen() override;
    // Size of the primary screen, or the test override (see testhooks.h).
    int Width() const;
    int Height() const;
    int PixelsPerInch() const { return 96; }
    int DesktopWidth() const { return Width(); }
    int DesktopHeight() const { return Height(); }
    // The part of the primary screen that panels and docks leave to windows
    // (the whole screen under the test override).
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    // A cursor other than crDefault overrides every control's cursor.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // Cursors the program registered by number; nullptr for the others.
    HCURSOR Cursors(TCursor Index) const;
    // Registers a cursor under a number (nullptr removes it); the screen frees it.
    void SetCursors(TCursor Index, HCURSOR Value);
    int FormCount() const { return static_cast<int>(FForms.size()); }
    // Raises EListError outside 0..FormCount-1.
    TCustomForm* Forms(int Index) const;
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const;

private:
    friend class TCustomForm;
    friend class TApplication;
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TCursor FCursor = crDefault;
    std::map<TCursor, HCURSOR> FCursors;
};

class TApplication : public TComponent {
    QM_CLASS(TApplication)
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    // True when the windows have no screen to appear on (an offscreen or
    // minimal platform, however its options are given).
    bool Headless() const;
    // Creates a form owned by the application; the first one becomes the main form.
    template <class T> void CreateForm(T*& Reference) {
        Reference = new T(this);
        if (!FMainForm) FMainForm = Reference;
    }
    // Shows the main form and handles messages until Terminate or the main form closes.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles every waiting event, fires due timers, frees released forms and then
    // runs the pump script's next step (tests).
    void ProcessMessages();
    // Handles events, waiting for one when none is there (never waits in tests).
    void HandleMessage();
    // Call inside a catch block: OnException, or else ShowException.
    void HandleException(TObject* Sender);
    // A message box with the exception's text (a final '.' added as the platform does).
    void ShowException(const std::exception& E);
    int MessageBox(const AnsiString& Text, const AnsiString& Caption, int Flags = MB_OK);

    AnsiString Title() const;
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    TCustomForm* MainForm() const { return FMainForm; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value);
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    // Shows at once the hint of the control under a screen point (when hints
    // show for it); CancelHint takes the hint shown away.
    void ActivateHint(const TPoint& CursorPos);
    void CancelHint();
    AnsiString ExeName() const;
    void BringToFront();

    // The help file of windows that name none of their own.
    AnsiString HelpFile() const { return FHelpFile; }
    void SetHelpFile(const AnsiString& Value) { FHelpFile = Value; }
    // Opens a help file at a topic with the desktop's opener; false, after a
    // message box that says why, when no file is named, it is not there or
    // nothing opens it.
    bool HelpFileContext(const AnsiString& FileName, int Context);
    // F1 on a control: the help context of the control or of its nearest
    // parent that has one, in its window's help file; false when none has one.
    bool ControlHelp(TControl* Control);
    // Ends the process at once with the exit code (tests install a hook instead).
    [[noreturn]] void Halt(int ExitCode);

    std::function<void(TObject* Sender, const std::exception& E)> OnException;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    friend void ResetApplicationForTest();
    void AddRelease(TCustomForm* Form);
    void FreeReleased();

    TCustomForm* FMainForm = nullptr;
    AnsiString FTitle;
    AnsiString FHelpFile;
    bool FTerminated = false;
    bool FShowMainForm = true;
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintHidePause = 2500;
    std::vector<TCustomForm*> FReleased;
};

extern TApplication* Application;
extern TScreen* Screen;

// Ends the process with the exit code (through the test hook when one is set).
[[noreturn]] void Halt(int ExitCode);
