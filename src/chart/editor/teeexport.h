#pragma once
// Export: the picture-format base class and its registry, the export dialog
// (picture, native chart file or series data; to the clipboard, a file or a
// mail), the native save and load routines and the mail hand-off.
#include "chart/control/teedata.h"
#include "chart/control/teeedit.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include <memory>
#include <vector>

class TListedObjects;
class TButton;
class TCheckBox;
class TComboFlat;
class TCustomAxisPanel;
class TCustomTeePanel;
class TEdit;
class TGroupBox;
class TLabel;
class TListBox;
class TMemoryStream;
class TPageControl;
class TRadioGroup;
class TSaveDialog;
class TStream;
class TStrings;
class TTabSheet;
class TUpDown;

// One picture format bound to one panel.
class TTeeExportFormat : public TObject, public ITeeExportFormat {
    QM_CLASS(TTeeExportFormat)
public:
    TTeeExportFormat() = default;
    ~TTeeExportFormat() override;

    virtual void DoCopyToClipboard() = 0;
    virtual int FileFilterIndex() { return FFilterIndex; }
    // The format takes the next filter index (or more than one).
    virtual void IncFileFilterIndex(int& FilterIndex);
    bool WantsFilterIndex(int Index) override;
    virtual AnsiString Description() = 0;
    // Without the dot.
    virtual AnsiString FileExtension() = 0;
    virtual AnsiString FileFilter() = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    // The options form, created when Check is true; none for the base.
    virtual TCustomForm* Options(bool Check = true);

    // Both raise TeeMsg_ExportPanelNotSet without a panel.
    void CopyToClipboard();
    // Builds the whole picture first; an existing file is replaced only by a complete one.
    void SaveToFile(const AnsiString& FileName) override;
    // A zero size takes the panel's own.
    void CheckSize();

    TWatched<TCustomTeePanel> Panel;
    int Width = 0;
    int Height = 0;

protected:
    std::unique_ptr<TCustomForm> FOptions;
    int FFilterIndex = 0;
};

// The registry of picture-format classes, in registration order.
void RegisterTeeExportFormat(TClass FormatClass);
void UnRegisterTeeExportFormat(TClass FormatClass);
const std::vector<TClass>& TeeExportFormats();

// Appends one filter per registered format to the dialog's filter and, when
// Items is given, each format's description with the format object (owned by
// the caller through Items); without Items the formats are freed.
void TeeFillExportFormats(TSaveDialog* Dialog, TCustomTeePanel* Panel, TStrings* Items);
// Save dialog for one format; true when a file was written.
bool TeeSavePanel(TClass FormatClass, TCustomTeePanel* Panel);
bool TeeExportSavePanel(TClass FormatClass, TCustomTeePanel* Panel);

// Writes the file into a folder of its own and hands it to the mail program.
// Raises a clear message when no mail program is installed; the file is kept
// either way, so nothing written is lost.
void TeeEmailFile(const AnsiString& FileName, const AnsiString& Subject);
// The message when no mail program is installed.
extern const char* const TeeMsg_NoMailProgram;

// The full name of a help file in the folder the settings store registers for
// it (HKEY_LOCAL_MACHINE, under HelpFolderKey, a value named after the file);
// empty when none is registered.
AnsiString GetRegistryHelpPath(const AnsiString& HelpFile);
extern const char* const HelpFolderKey;

void SaveTeeToStream(TCustomTeePanel* Panel, TStream* Stream);
void SaveTeeToFile(TCustomTeePanel* Panel, const AnsiString& FileName);
void LoadTeeFromStream(TCustomTeePanel*& Panel, TStream* Stream);
void LoadTeeFromFile(TCustomTeePanel*& Panel, const AnsiString& FileName);

// The export dialog for any panel: pictures and native files.
class TTeeExportFormBase : public TForm {
    QM_CLASS(TTeeExportFormBase)
public:
    explicit TTeeExportFormBase(TComponent* AOwner);
    ~TTeeExportFormBase() override;

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabPicture = nullptr;
    TGroupBox* RGFormat = nullptr;
    TListBox* LBFormat = nullptr;
    TPageControl* PageOptions = nullptr;
    TTabSheet* TabOptions = nullptr;
    TTabSheet* TabSize = nullptr;
    TEdit* EWidth = nullptr;
    TEdit* EHeight = nullptr;
    TUpDown* UDWidth = nullptr;
    TUpDown* UDHeight = nullptr;
    TCheckBox* CBAspect = nullptr;
    TTabSheet* TabNative = nullptr;
    TCheckBox* CBNativeData = nullptr;
    TCheckBox* CBFileSize = nullptr;
    TLabel* LabelSize = nullptr;
    TComboFlat* CBNativeFormat = nullptr;
    TTabSheet* TabData = nullptr;
    TComboFlat* CBSeries = nullptr;
    TRadioGroup* RGText = nullptr;
    TComboFlat* CBDelim = nullptr;
    TEdit* ECustom = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TCheckBox* CBIndex = nullptr;
    TCheckBox* CBLabels = nullptr;
    TCheckBox* CBHeader = nullptr;
    TCheckBox* CBColors = nullptr;
    TButton* BCopy = nullptr;
    TButton* BSave = nullptr;
    TButton* BSend = nullptr;
    TButton* BClose = nullptr;
    TSaveDialog* SaveDialogPicture = nullptr;
    TSaveDialog* SaveDialogData = nullptr;
    TSaveDialog* SaveDialogNative = nullptr;

    TWatched<TCustomTeePanel> ExportPanel;

    virtual std::unique_ptr<TSeriesData> CreateData() { return nullptr; }
    virtual void DoSaveNativeToFile(const AnsiString& FileName, bool IncludeData);
    virtual bool ExistData() { return false; }
    virtual std::unique_ptr<TMemoryStream> CreateNativeStream();
    virtual void PrepareOnShow();

    char GetSeparator();
    int GetDataFilterIndex();
    bool NativeAsText();
    TTeeExportFormat* PictureFormat();
    void SaveDataToFile(const AnsiString& FileName);
    void SaveNativeToFile(const AnsiString& FileName);
    void SavePictureToFile(const AnsiString& FileName);
    void EnableButtons();
    bool CanChangeSize();
    void FreeExportFormats();

    void FormShow(TObject* Sender);
    void RGFormatClick(TObject* Sender);
    void EWidthChange(TObject* Sender);
    void RGTextClick(TObject* Sender);
    void CBDelimChange(TObject* Sender);
    void CBFileSizeClick(TObject* Sender);
    void BCopyClick(TObject* Sender);
    void BSaveClick(TObject* Sender);
    void BSendClick(TObject* Sender);

protected:
    TTabSheet* ActiveTab();
    double FAspect = 0;
    bool FChangingSize = false;
    AnsiString FMailName = "Chart";
};

// The export dialog of a chart: adds its series data.
class TTeeExportForm : public TTeeExportFormBase {
    QM_CLASS(TTeeExportForm)
public:
    explicit TTeeExportForm(TComponent* AOwner);
    std::unique_ptr<TSeriesData> CreateData() override;
    void DoSaveNativeToFile(const AnsiString& FileName, bool IncludeData) override;
    bool ExistData() override;
    std::unique_ptr<TMemoryStream> CreateNativeStream() override;
    void PrepareOnShow() override;

private:
    TCustomChart* Chart();
    // The series choice: a series freed meanwhile leaves it, so the row
    // chosen is always what the data holds.
    TListedObjects* FSeriesItems = nullptr;
};

void TeeExport(TComponent* Owner, TCustomTeePanel* Panel);
