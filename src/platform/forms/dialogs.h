#pragma once
// Boxes and common dialogs: MessageDlg(Pos), ShowMessage, InputBox/InputQuery,
// TOpenDialog/TSaveDialog (filters "desc|pattern", 1-based FilterIndex,
// DefaultExt, options), the picture open and save dialogs, TColorDialog,
// TFontDialog, TPrintDialog (page ranges) and TPrinterSetupDialog. Each goes through the dialog
// responder when a test has installed one (see testhooks.h), else it shows the real dialog.
#include "platform/classes/stringlist.h"
#include "platform/forms/forms.h"
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class TSystemWindowScope;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// A box with the type's caption ("Warning", "Error", "Information",
// "Confirmation"; the application title for mtCustom); returns an mr* result.
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
// The same box placed with its top-left corner at a screen point.
int MessageDlgPos(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                  int X, int Y);
void ShowMessage(const AnsiString& Msg);
// The text entered, or ADefault when cancelled.
AnsiString InputBox(const AnsiString& ACaption, const AnsiString& APrompt,
                    const AnsiString& ADefault);
// True on OK, with Value holding the text entered.
bool InputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value);

// A dialog made by new is freed by its owner alone, also when the owner goes
// while it shows (Execute then reads nothing of it and answers Cancel); one on
// a stack is kept from a going owner for its scope to free. Never hold one
// that has an owner in a smart pointer.
class TCommonDialog : public TComponent {
    QM_CLASS(TCommonDialog)
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    static void* operator new(std::size_t Size);
    static void operator delete(void* Object) noexcept;
    // Made by new (not on a stack).
    bool MadeOnHeap() const;
    // True when the user confirmed; false (Cancel) also when the active form,
    // the owner or a window of ours under it went while it showed.
    virtual bool Execute() = 0;
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    void DoShow() {
        if (OnShow) OnShow(this);
    }
    void DoClose() {
        if (OnClose) OnClose(this);
    }

private:
    int FHelpContext = 0;
};

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
    ofDontAddToRecent,
    ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TCommonDialog {
    QM_CLASS(TOpenDialog)
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    bool Execute() override;

    AnsiString FileName() const { return FFileName; }
    void SetFileName(const AnsiString& Value) { FFileName = Value; }
    // The chosen files (one unless ofAllowMultiSelect).
    TStrings* Files() const { return FFiles.get(); }
    // "description|pattern|description|pattern"; patterns separated by ';'.
    AnsiString Filter() const { return FFilter; }
    void SetFilter(const AnsiString& Value) { FFilter = Value; }
    // 1-based; the dialog reports the filter chosen.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    // A trailing path delimiter is dropped unless it follows a drive colon.
    AnsiString InitialDir() const { return FInitialDir; }
    void SetInitialDir(const AnsiString& Value);
    // With a default extension set, a chosen name without an extension gets the
    // chosen filter's extension ("*.csv" gives ".csv"), or this one where the
    // filter names none ("*.*"); without it the name stays as typed.
    AnsiString DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const AnsiString& Value) { FDefaultExt = Value; }
    AnsiString Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }

protected:
    virtual bool IsSave() const { return false; }

private:
    // The dialog's answer, from the user or the test responder alike: the files
    // as the system names them and the filter chosen (1-based, 0 when
    // unknown). False when cancelled.
    bool AskUser(TSystemWindowScope& Shown, std::vector<std::string>& Chosen,
                 int& ChosenFilterIndex);
    // Takes the answer; false when the user declined to replace the file the
    // name became.
    bool Accept(const std::vector<AnsiString>& Chosen, int ChosenFilterIndex);
    AnsiString FilterExtension(int Index) const;
    AnsiString ExtensionToAdd(int Index) const;

    AnsiString FFileName;
    std::unique_ptr<TStringList> FFiles;
    AnsiString FFilter;
    int FFilterIndex = 1;
    AnsiString FInitialDir;
    AnsiString FDefaultExt;
    AnsiString FTitle;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
    QM_CLASS(TSaveDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool IsSave() const override { return true; }
};

// File dialogs whose filter lists the registered picture formats.
class TOpenPictureDialog : public TOpenDialog {
    QM_CLASS(TOpenPictureDialog)
public:
    explicit TOpenPictureDialog(TComponent* AOwner);
};

class TSavePictureDialog : public TOpenPictureDialog {
    QM_CLASS(TSavePictureDialog)
public:
    explicit TSavePictureDialog(TComponent* AOwner) : TOpenPictureDialog(AOwner) {}

protected:
    bool IsSave() const override { return true; }
};

class TColorDialog : public TCommonDialog {
    QM_CLASS(TColorDialog)
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;
    bool Execute() override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    // "ColorA=0080FF" .. "ColorP=..." lines for the sixteen custom colours:
    // the colour value in hex (blue in the high byte), "FFFFFFFF" for a slot
    // left unset. Execute shows them and, on OK, writes back all sixteen.
    TStrings* CustomColors() const { return FCustomColors.get(); }

private:
    TColor FColor = clBlack;
    std::unique_ptr<TStringList> FCustomColors;
};

class TFontDialog : public TCommonDialog {
    QM_CLASS(TFontDialog)
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    bool Execute() override;
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }

private:
    std::unique_ptr<TFont> FFont;
};

enum TPrintRange { prAllPages, prSelection, prPageNums };
enum TPrintDialogOption {
    poPrintToFile,
    poPageNums,
    poSelection,
    poWarning,
    poHelp,
    poDisablePrintToFile
};
using TPrintDialogOptions = TSet<TPrintDialogOption>;

class TPrintDialog : public TCommonDialog {
    QM_CLASS(TPrintDialog)
public:
    explicit TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
    int Copies() const { return FCopies; }
    void SetCopies(int Value) { FCopies = Value; }
    int FromPage() const { return FFromPage; }
    void SetFromPage(int Value) { FFromPage = Value; }
    int ToPage() const { return FToPage; }
    void SetToPage(int Value) { FToPage = Value; }
    int MinPage() const { return FMinPage; }
    void SetMinPage(int Value) { FMinPage = Value; }
    int MaxPage() const { return FMaxPage; }
    void SetMaxPage(int Value) { FMaxPage = Value; }
    // What the user chose: all pages, or FromPage..ToPage (offered with poPageNums
    // between MinPage and MaxPage).
    TPrintRange PrintRange() const { return FPrintRange; }
    void SetPrintRange(TPrintRange Value) { FPrintRange = Value; }
    TPrintDialogOptions Options() const { return FOptions; }
    void SetOptions(TPrintDialogOptions Value) { FOptions = Value; }

private:
    TPrintDialogOptions FOptions;
    int FCopies = 1;
    int FFromPage = 0, FToPage = 0, FMinPage = 0, FMaxPage = 0;
    TPrintRange FPrintRange = prAllPages;
};

class TPrinterSetupDialog : public TCommonDialog {
    QM_CLASS(TPrinterSetupDialog)
public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
};
