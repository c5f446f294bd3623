#pragma once
// The small dialogs every editor page shares and the routines that open them:
//   TPenDialog, TBrushDialog, TTeeGradientEditor, TTeeShadowEditor, TTeeFontEditor
//   EditChartPen / EditChartBrush / EditTeeGradient / EditTeeShadow / EditTeeFontEx
//   TeeCreateForm, TeeYesNo, AddDefaultValueFormats, MoveList
// Pen, brush and gradient dialogs edit in place and restore their copy on Cancel.
#include "chart/control/tooledit.h"
#include "chart/engine/tecanvas.h"
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include <memory>

class TCheckBox;
class TEdit;
class TUpDown;
class TComboFlat;
class TListBox;
class TLabel;
class TTrackBar;
class TPageControl;
class TTabSheet;
class TPanel;
class TShape;
class TImage;
class TGroupBox;
class TStrings;

class TPenDialog : public TForm {
    QM_CLASS(TPenDialog)
public:
    explicit TPenDialog(TComponent* AOwner);
    ~TPenDialog() override;

    TCheckBox* CBVisible = nullptr;
    TEdit* SEWidth = nullptr;
    TUpDown* UDWidth = nullptr;
    TComboFlat* CBStyle = nullptr;
    TComboFlat* CBEndStyle = nullptr;
    TButtonColor* BColor = nullptr;
    TButton* BOk = nullptr;
    TButton* BCancel = nullptr;

    // The pen edited (a plain pen or a chart pen); set before showing.
    TWatched<TPen> ThePen;
    bool HideVisible = false;
    bool Modified() const { return FModified; }

    void FormShow(TObject* Sender);
    void SEWidthChange(TObject* Sender);
    void CBStyleChange(TObject* Sender);
    void CBEndStyleChange(TObject* Sender);
    void CBVisibleClick(TObject* Sender);
    void BColorClick(TObject* Sender);
    void BCancelClick(TObject* Sender);

protected:
    TChartPen* ChartPen() const;
    void EnableStyle();
    std::unique_ptr<TPen> FBackupPen;
    bool FBackupVisible = true;
    bool FModified = false;
    bool FLoading = false;
};

class TBrushDialog : public TForm {
    QM_CLASS(TBrushDialog)
public:
    explicit TBrushDialog(TComponent* AOwner);
    ~TBrushDialog() override;

    TListBox* LStyle = nullptr;
    TButtonColor* BColor = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TImage* Image1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;

    TWatched<TChartBrush> TheBrush;

    void FormShow(TObject* Sender);
    // Applies the style item chosen in LStyle.
    void LStyleClick(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button3Click(TObject* Sender);

private:
    void RedoImage();
    std::unique_ptr<TChartBrush> FBackupBrush;
};

// Pattern bitmap Index (0..11), shown by the brush list's items 8 to 19; white
// is its transparent colour. Raises EListError for any other index.
void GetTeeBrush(int Index, TBitmap* ABitmap);

class TTeeGradientEditor : public TForm {
    QM_CLASS(TTeeGradientEditor)
public:
    explicit TTeeGradientEditor(TComponent* AOwner);
    // Embedded use: no OK/Cancel panel.
    TTeeGradientEditor(TComponent* AOwner, TCustomTeeGradient* AGradient);
    ~TTeeGradientEditor() override;

    TCheckBox* CBVisible = nullptr;
    TComboFlat* CBDirection = nullptr;
    TPageControl* PageControl1 = nullptr;
    TButtonColor* BStart = nullptr;
    TButtonColor* BMid = nullptr;
    TButtonColor* BEnd = nullptr;
    TCheckBox* CBMid = nullptr;
    TButton* BSwap = nullptr;
    TTrackBar* SBBalance = nullptr;
    TLabel* LabelBalance = nullptr;
    TTrackBar* TrackBar1 = nullptr;
    TTrackBar* TrackBar2 = nullptr;
    TLabel* LabelX = nullptr;
    TLabel* LabelY = nullptr;
    TPanel* PanelButtons = nullptr;
    TButton* BOk = nullptr;
    TButton* BCancel = nullptr;

    bool HideVisible = false;
    void RefreshGradient(TCustomTeeGradient* AGradient);
    TCustomTeeGradient* Gradient() const { return FGradient; }
    bool Modified() const { return FModified; }

    void BCancelClick(TObject* Sender);

private:
    void Build();
    void EnableControls();
    void Changed();
    bool FModified = false;
    bool FRefreshing = false;
    std::unique_ptr<TCustomTeeGradient> FBackup;
    TWatched<TCustomTeeGradient> FGradient;
};

class TTeeShadowEditor : public TForm {
    QM_CLASS(TTeeShadowEditor)
public:
    explicit TTeeShadowEditor(TComponent* AOwner);

    TEdit* Edit1 = nullptr;
    TUpDown* UDShadowSize = nullptr;
    TEdit* EVertSize = nullptr;
    TUpDown* UDShaVert = nullptr;
    TEdit* EShadowTransp = nullptr;
    TUpDown* UDShadowTransp = nullptr;
    TButtonColor* BShadowColor = nullptr;
    TButton* BOK = nullptr;

    void RefreshControls(TTeeShadow* AShadow);
    TTeeShadow* Shadow() const { return FShadow; }

private:
    TWatched<TTeeShadow> FShadow;
    TControlBinder FBind{[this] { return FShadow != nullptr; }};
};

class TTeeFontEditor : public TForm {
    QM_CLASS(TTeeFontEditor)
public:
    explicit TTeeFontEditor(TComponent* AOwner);

    TShape* SHText = nullptr;
    TButton* Button3 = nullptr;
    TEdit* Edit2 = nullptr;
    TUpDown* UDInter = nullptr;
    TButtonPen* BOutline = nullptr;
    TButton* BShadow = nullptr;
    TButton* BGradient = nullptr;
    TCheckBox* CBOutGrad = nullptr;

    void RefreshControls(TTeeFont* AFont);
    TTeeFont* Font() const { return FFont; }
    void SHTextClick();

private:
    TWatched<TTeeFont> FFont;
    TControlBinder FBind{[this] { return FFont != nullptr; }};
};

// One row of the pen style list (a sample line, then the text) and of the
// brush style list (a swatch, then the text).
void TeeDrawPenStyleItem(TCanvas* ACanvas, int Index, const TRect& Rect, TOwnerDrawState State,
                         TPen* APen, const AnsiString& Text);
void TeeDrawBrushStyleItem(TCanvas* ACanvas, int Index, const TRect& Rect, const AnsiString& Text);

// Creates a dialog owned by the owner's form, centred on it (or on the screen).
TCustomForm* TeeCreateForm(TClass AClass, TComponent* AOwner);
template <typename T> std::unique_ptr<T> TeeCreateDialog(TComponent* AOwner) {
    return std::unique_ptr<T>(static_cast<T*>(TeeCreateForm(&T::ClassInfo, AOwner)));
}

void ShowControls(bool Show, std::initializer_list<TControl*> Controls);
bool TeeYesNo(const AnsiString& Message, TControl* Owner = nullptr);
// The move-up and move-down glyphs of the editors' list buttons.
void TeeLoadArrowBitmaps(TBitmap* Up, TBitmap* Down);
bool TeeYesNoDelete(const AnsiString& Name, TControl* Owner = nullptr);
void AddDefaultValueFormats(TStrings* Items);
void MoveList(TListBox* Source, TListBox* Destination);
void MoveListAll(TListBox* Source, TListBox* Destination);

bool EditChartPenDialog(TComponent* AOwner, TChartPen* APen, bool HideVisible = false);
bool EditChartBrush(TComponent* AOwner, TChartBrush* ABrush);
bool EditTeeGradient(TComponent* AOwner, TCustomTeeGradient* AGradient, bool HideVisible = false);
bool EditTeeShadow(TComponent* AOwner, TTeeShadow* AShadow);
bool EditTeeFontEx(TComponent* AOwner, TTeeFont* AFont);
// The standard font dialog; on OK the font takes the chosen font.
bool EditTeeFont(TComponent* AOwner, TFont* AFont);

// The picture file the user picks, or an empty text.
AnsiString TeeGetPictureFileName(TComponent* AOwner);
// Clears a picture that holds a graphic; otherwise asks for a file and loads
// it. A file that cannot be read is reported and leaves the picture as it was.
void TeeLoadClearImage(TComponent* AOwner, TPicture* APicture);
// Loads a picture file the user picked into a picture of the caller's own:
// a file that cannot be read is reported and loads nothing. A chart file may
// tell the user what it holds: the caller reads again what it holds after.
bool TeeLoadPictureFile(TPicture& Loaded, const AnsiString& FileName);

// Fills the chart control's pen hook with the pen dialog.
void TeeInstallPenDialogHook();
