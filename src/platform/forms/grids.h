#pragma once
// Grids: TCustomGrid (fixed rows and columns, sizes, scrolling, the current
// cell and the selection, DrawCell, SelectCell, an in-place editor whose every
// change goes to SetEditText), TDrawGrid and TStringGrid (texts and objects
// per cell).
#include "platform/classes/watched.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/exceptions.h"
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

class QScrollBar;

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;
enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateFlag>;

struct TGridCoord {
    int X = 0;
    int Y = 0;
};
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;
using TSetEditEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;

class TCustomGrid;

// The edit box a grid shows over its current cell.
class TInplaceEdit : public TCustomEdit {
    QM_CLASS(TInplaceEdit)
public:
    explicit TInplaceEdit(TCustomGrid* AGrid);
    TCustomGrid* Grid() const { return FGrid; }

protected:
    friend class TCustomGrid;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    bool WantsKey(WORD Key, TShiftState Shift) const override;

private:
    TCustomGrid* FGrid;
    bool FLoading = false;
};

class TCustomGrid : public TCustomControl {
    QM_CLASS(TCustomGrid)
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    int ColCount() const { return static_cast<int>(FColWidths.size()); }
    void SetColCount(int Value);
    int RowCount() const { return static_cast<int>(FRowHeights.size()); }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    // Sets every column to the width.
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    // Raise EListError ("Grid index out of range") outside the columns / rows.
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle BorderStyle() const { return FrameInset() > 0 ? bsSingle : bsNone; }
    void SetBorderStyle(TBorderStyle Value) { SetFrameInset(Value == bsSingle ? 2 : 0); }

    // The current cell; moving there asks SelectCell. Raises EInvalidGridOperation
    // ("Grid index out of range") outside the grid.
    int Col() const { return FCol; }
    void SetCol(int Value);
    int Row() const { return FRow; }
    void SetRow(int Value);
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    int VisibleColCount() const;
    int VisibleRowCount() const;

    // The cell's rectangle in client coordinates (empty when it is not visible).
    TRect CellRect(int ACol, int ARow) const;
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    TGridCoord MouseCoord(int X, int Y) const;
    void InvalidateCell(int, int) { Invalidate(); }
    void InvalidateRow(int) { Invalidate(); }
    void InvalidateCol(int) { Invalidate(); }

    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    void ShowEditor();
    void HideEditor();
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    int ClientWidth() const override;
    int ClientHeight() const override;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TNotifyEvent OnTopLeftChanged;

protected:
    friend class TInplaceEdit;
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState);
    virtual bool SelectCell(int ACol, int ARow);
    virtual AnsiString GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const AnsiString& Value);
    virtual bool CanEditShow();
    virtual bool CanEditModify() { return true; }
    virtual bool CanEditAcceptKey(char) { return true; }
    virtual void TopLeftChanged();
    virtual void SizeChanged(int /*OldColCount*/, int /*OldRowCount*/) {}
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    bool WantsKey(WORD Key, TShiftState Shift) const override;
    void Resize() override;
    void ApplyGeometry() override;
    int ScrollBarWidth() const override;
    int ScrollBarHeight() const override;
    // Moves the current cell (and the selection, extending it when Extend).
    void FocusCell(int ACol, int ARow, bool Extend);

private:
    void CheckIndex(int ACol, int ARow) const;
    void MakeVisible(int ACol, int ARow);
    void UpdateScrollBars();
    void PlaceEditor();
    int LastScrollTop() const;
    int LastScrollLeft() const;
    int FixedWidth() const;
    int FixedHeight() const;

    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    int FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24;
    int FGridLineWidth = 1;
    TColor FFixedColor = clBtnFace;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    bool FDefaultDrawing = true;
    TScrollStyle FScrollBars = ssBoth;
    int FCol = 1, FRow = 1;
    TGridCoord FAnchor{1, 1};
    int FTopRow = 1, FLeftCol = 1;
    bool FEditorMode = false;
    TInplaceEdit* FInplaceEdit = nullptr;
    QScrollBar* FVScroll = nullptr;
    QScrollBar* FHScroll = nullptr;
    bool FSelecting = false;
    int FSizingCol = -1, FSizingRow = -1, FSizingStart = 0, FSizingOrigin = 0;
};

class TDrawGrid : public TCustomGrid {
    QM_CLASS(TDrawGrid)
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
};

class TStringGrid : public TDrawGrid {
    QM_CLASS(TStringGrid)
public:
    explicit TStringGrid(TComponent* AOwner);
    // Empty for a cell never set; raise EInvalidGridOperation outside the grid.
    AnsiString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const AnsiString& Value);
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);
    // A library object is held through a handle: Objects reads nullptr once it is gone.
    template <class T>
    requires std::is_base_of_v<TPersistent, T>
    void SetObjects(int ACol, int ARow, T* Value) { SetWatched(ACol, ARow, Value, Value); }

protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    AnsiString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const AnsiString& Value) override;

private:
    void SetWatched(int ACol, int ARow, TObject* Object, TPersistent* Watched);
    struct TCell {
        AnsiString Text;
        // As the caller gave it; read only while Life, when set, says it is there.
        TObject* Object = nullptr;
        TWatched<TPersistent> Life;
    };
    std::map<std::pair<int, int>, TCell> FCells;
};

QM_DECLARE_EXCEPTION(EInvalidGridOperation, Exception)
