#pragma once
// The standard controls:
//   TLabel (self-drawn text), TEdit, TMemo (with Lines over its text),
//   TButton, TCheckBox, TRadioButton, TGroupBox, TComboBox (owner draw),
//   TListBox (self-drawn, multi-select, owner draw).
// Which changes made by code fire change events (as the platform does):
//   TEdit/TMaskEdit/TMemo Text or Lines ...... OnChange fires (when the text differs)
//   TCheckBox Checked/State .................. OnClick fires (when it differs)
//   TRadioButton Checked := true ............. OnClick fires; := false fires nothing
//   TRadioGroup ItemIndex .................... OnClick fires (through its button)
//   TTrackBar Position ....................... OnChange fires
//   TUpDown Position ......................... no event (the buddy edit's OnChange fires)
//   TComboBox ItemIndex / Text ............... no event
//   TListBox ItemIndex / Selected ............ no event
//   TPageControl ActivePage / TabIndex ....... no OnChanging / OnChange
//   TTabControl TabIndex ..................... no OnChanging / OnChange
//   TStringGrid Cells, Col, Row .............. no OnSetEditText (SelectCell is asked)
//   TSpeedButton Down ........................ no event
//   TMenuItem Checked ........................ no event
// Users' actions fire the events in every case.
#include "platform/classes/stringlist.h"
#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include <memory>
#include <vector>

class QImage;
class QLineEdit;
class QPlainTextEdit;
class QTextCursor;
class QTextDocument;
class QScrollBar;

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TLeftRight { taLeftSide, taRightSide };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TOwnerDrawStateFlag {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

class TCustomLabel : public TGraphicControl {
    QM_CLASS(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    // The label takes the size of its text (keeping its right edge when right-aligned).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void AdjustBounds();
    void MeasureSize() override;

private:
    AnsiString ShownText() const;
    unsigned DrawFlags() const;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWatched<TWinControl> FFocusControl;
};

class TLabel : public TCustomLabel {
    QM_CLASS(TLabel)
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

class TCustomEdit : public TWinControl {
    QM_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* AOwner);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    virtual int SelStart() const;
    virtual void SetSelStart(int Value);
    virtual int SelLength() const;
    virtual void SetSelLength(int Value);
    virtual AnsiString SelText() const;
    virtual void SetSelText(const AnsiString& Value);
    virtual void SelectAll();
    virtual void Clear();
    // The width the edit needs to show Text whole in its font, frame included.
    int WidthForText(const AnsiString& Text);

    TNotifyEvent OnChange;

protected:
    TCustomEdit(TComponent* AOwner, QWidget* AWidget);
    AnsiString GetTextValue() const override;
    void SetTextValue(const AnsiString& Value) override;
    void ApplyColor() override;
    void DoEnter() override;
    virtual void Change();
    QLineEdit* LineEdit() const;

private:
    void Init();
    int FMaxLength = 0;
    char FPasswordChar = 0;
    TEditCharCase FCharCase = ecNormal;
    TBorderStyle FBorderStyle = bsSingle;
    bool FAutoSelect = true;
    bool FModified = false;
};

class TEdit : public TCustomEdit {
    QM_CLASS(TEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TMemo : public TWinControl {
    QM_CLASS(TMemo)
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    // The lines of the text; a final line break starts no further line.
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    void SelectAll();
    void Clear();

    TNotifyEvent OnChange;

protected:
    AnsiString GetTextValue() const override;
    void SetTextValue(const AnsiString& Value) override;
    void ApplyColor() override;
    void ApplyFont() override;
    void KeyPress(char& Key) override;
    bool WantsKey(WORD Key, TShiftState Shift) const override;
    virtual void Change();

private:
    friend struct TMemoAccess;
    struct TMemoPending;
    // The editor widget, made first if the memo has none yet.
    QPlainTextEdit* Editor() const;
    void MakeEditor();
    QTextDocument* Document() const;
    QTextCursor Caret() const;
    void SetCaret(const QTextCursor& Cursor);
    void ApplyTabStops();
    void TextEdited();
    std::unique_ptr<TMemoPending> FPending;
    std::unique_ptr<TStrings> FLines;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    TAlignment FAlignment = taLeftJustify;
    bool FWantReturns = true;
    bool FWantTabs = false;
    int FMaxLength = 0;
    TBorderStyle FBorderStyle = bsSingle;
    bool FModified = false;
};

class TButtonControl : public TWinControl {
    QM_CLASS(TButtonControl)
public:
    using TWinControl::TWinControl;

protected:
    TButtonControl(TComponent* AOwner, QWidget* AWidget) : TWinControl(AOwner, AWidget) {}
};

class TButton : public TButtonControl {
    QM_CLASS(TButton)
public:
    explicit TButton(TComponent* AOwner);
    // Enter on the form clicks the default button; Esc clicks the cancel button.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Clicking sets the form's ModalResult to this value.
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void Click() override;
    // Keeps Pixels at the right of the face for a symbol painted over it: a
    // caption that would reach them is centred on the room left of them.
    void SetSymbolRoom(int Pixels);

protected:
    TButton(TComponent* AOwner, QWidget* AWidget);
    void TextChanged() override;

private:
    void Init();
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = 0;
};

class TCheckBox : public TButtonControl {
    QM_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return State() == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const;
    // A change fires OnClick, as the user's click does.
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);

protected:
    void TextChanged() override;

private:
    bool FAllowGrayed = false;
    TLeftRight FAlignment = taRightSide;
};

class TRadioButton : public TButtonControl {
    QM_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const;
    // Checking unchecks the sibling radio buttons and fires OnClick.
    void SetChecked(bool Value);
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);

protected:
    void TextChanged() override;

private:
    TLeftRight FAlignment = taRightSide;
};

class TCustomGroupBox : public TWinControl {
    QM_CLASS(TCustomGroupBox)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    void AdjustClientRect(TRect& R) const override;

protected:
    void TextChanged() override;
    void ApplyColor() override;
    // A click on the box's background is the box's own click.
    bool ClicksFromMouse() const override { return true; }
};

class TGroupBox : public TCustomGroupBox {
    QM_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

class TComboBox : public TWinControl {
    QM_CLASS(TComboBox)
    friend class TQtComboBox;

public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    // -1 when no item is chosen (or the typed text matches none).
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    // Row height of the owner-drawn styles.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    // Where OnDrawItem draws: the row being drawn (owner-drawn styles).
    TCanvas* Canvas() const { return FCanvas.get(); }
    void Clear();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    // Draws a row of the list, or the chosen item in the box (odComboBoxEdit),
    // for the owner-drawn styles.
    TDrawItemEvent OnDrawItem;

protected:
    AnsiString GetTextValue() const override;
    void SetTextValue(const AnsiString& Value) override;
    void ApplyColor() override;
    bool WantsKey(WORD Key, TShiftState Shift) const override;
    virtual void Change();
    virtual void Select();
    // The canvas holds the row's font and brush (highlight for a selected row).
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);

private:
    friend class TComboItemDelegate;
    void ItemsChanged();
    bool OwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    // Renders one row into an image through DrawItem.
    QImage RenderItem(int Index, int Width, int Height, TOwnerDrawState State);
    std::unique_ptr<TStringList> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    int FItemHeight = 16;
    bool FSyncing = false;
};

class TListBox : public TCustomControl {
    QM_CLASS(TListBox)
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    // The current item; -1 for none. Setting it selects that item (with
    // MultiSelect it only moves the caret; Selected marks items).
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value) { FExtendedSelect = Value; }
    // Raises EListError for an index outside the items.
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // Row height; for lbStandard it follows the font.
    int ItemHeight() const;
    void SetItemHeight(int Value);
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);
    TBorderStyle BorderStyle() const { return FrameInset() > 0 ? bsSingle : bsNone; }
    void SetBorderStyle(TBorderStyle Value) { SetFrameInset(Value == bsSingle ? 2 : 0); }
    // The item at a client point: -1 when there is none and Existing is true,
    // else the count for points below the last item.
    int ItemAtPos(const TPoint& Pos, bool Existing) const;
    TRect ItemRect(int Index) const;
    void Clear();

    TDrawItemEvent OnDrawItem;

protected:
    void Paint() override;
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    bool WantsKey(WORD Key, TShiftState Shift) const override;
    void Resize() override;
    int ScrollBarWidth() const override;
    void ApplyGeometry() override;

private:
    void ItemsChanged();
    void UpdateScrollBar();
    int VisibleRows() const;
    void MakeVisible(int Index);
    void SelectByUser(int Index, TShiftState Shift);
    std::unique_ptr<TStringList> FItems;
    std::vector<char> FSelected;
    int FItemIndex = -1;
    int FAnchor = -1;
    int FTopIndex = 0;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 13;
    QScrollBar* FScrollBar = nullptr;
};
