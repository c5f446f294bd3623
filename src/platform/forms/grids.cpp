// The self-drawn grid with its in-place editor, and the string grid's cells.
//   TInplaceEdit
//   TCustomGrid: sizes and layout (fixed and scrolled cells), current cell and
//     selection, editing, painting, keys and mouse (selecting, sizing, scrolling)
//   TStringGrid
#include "platform/forms/grids.h"
#include "platform/forms/formsqt.h"
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>

QM_CLASS_OWNED(TInplaceEdit, TCustomEdit, TCustomGrid)
QM_CLASS_OWNED(TCustomGrid, TCustomControl, TComponent)
QM_CLASS_OWNED(TDrawGrid, TCustomGrid, TComponent)
QM_CLASS_OWNED(TStringGrid, TDrawGrid, TComponent)

namespace {
constexpr int ScrollSize = 16;
[[noreturn]] void GridIndexError() {
    throw EInvalidGridOperation("Grid index out of range");
}
} // namespace

// ---------------------------------------------------------------------------
// TInplaceEdit

TInplaceEdit::TInplaceEdit(TCustomGrid* AGrid) : TCustomEdit(AGrid), FGrid(AGrid) {
    SetBorderStyle(bsNone);
    SetAutoSelect(false);
    SetTabStop(false);
    SetVisible(false);
    SetParent(AGrid);
    // After the edit's own change: its handler may have freed the grid, and
    // this editor with it, in which case nothing more is heard.
    ConnectSignal(LineEdit(), &QLineEdit::textChanged, this, [this] {
        RunFromSignal(this, [this] {
            if (!FLoading && FGrid->EditorMode()) FGrid->SetEditText(FGrid->Col(), FGrid->Row(), Text());
        });
    });
}

bool TInplaceEdit::WantsKey(WORD Key, TShiftState) const {
    return Key == VK_RETURN || Key == VK_ESCAPE;
}

// The editor goes with its grid: a handler that frees the grid or the form
// ends the key here.
void TInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TCallOut held{this, GetParentForm(this)};
    TCustomEdit::KeyDown(Key, Shift);
    if (held.Gone()) return;
    switch (Key) {
    case VK_TAB:
        // Without goTabs, Tab moves the focus on from the editor as from the grid.
        if (!FGrid->Options().Contains(goTabs)) break;
        [[fallthrough]];
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE: {
        // Moving keys belong to the grid.
        WORD key = Key;
        Key = 0;
        FGrid->KeyDown(key, Shift);
        break;
    }
    default:
        break;
    }
}

void TInplaceEdit::KeyPress(char& Key) {
    TCallOut held{this, GetParentForm(this)};
    TCustomEdit::KeyPress(Key);
    if (held.Gone()) return;
    if (Key == '\r') {
        char key = Key;
        Key = 0;
        FGrid->KeyPress(key);
    } else if (Key && Key != '\b' && !FGrid->CanEditAcceptKey(Key)) {
        Key = 0;
    }
}

// ---------------------------------------------------------------------------
// TCustomGrid: sizes and layout

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
    FColWidths.assign(5, FDefaultColWidth);
    FRowHeights.assign(5, FDefaultRowHeight);
    FVScroll = new QScrollBar(Qt::Vertical, Widget());
    FHScroll = new QScrollBar(Qt::Horizontal, Widget());
    FVScroll->hide();
    FHScroll->hide();
    ConnectSignal(FVScroll, &QScrollBar::valueChanged, this,
                  [this](int v) { RunAsMessage(this, [this, v] { SetTopRow(v); }); });
    ConnectSignal(FHScroll, &QScrollBar::valueChanged, this,
                  [this](int v) { RunAsMessage(this, [this, v] { SetLeftCol(v); }); });
    SetFrameInset(2);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() {
    Destroying();
}

int TCustomGrid::ScrollBarWidth() const {
    return FVScroll && !FVScroll->isHidden() ? ScrollSize : 0;
}
int TCustomGrid::ScrollBarHeight() const {
    return FHScroll && !FHScroll->isHidden() ? ScrollSize : 0;
}
int TCustomGrid::ClientWidth() const {
    return TCustomControl::ClientWidth();
}
int TCustomGrid::ClientHeight() const {
    return TCustomControl::ClientHeight();
}

void TCustomGrid::ApplyGeometry() {
    TCustomControl::ApplyGeometry();
    if (!FVScroll) return;
    const int inset = FrameInset();
    FVScroll->setGeometry(Width() - inset - ScrollSize, inset, ScrollSize,
                          std::max(0, Height() - 2 * inset - ScrollBarHeight()));
    FHScroll->setGeometry(inset, Height() - inset - ScrollSize,
                          std::max(0, Width() - 2 * inset - ScrollBarWidth()), ScrollSize);
    PlaceEditor();
}

void TCustomGrid::Resize() {
    UpdateScrollBars();
    TCustomControl::Resize();
}

void TCustomGrid::CheckIndex(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) GridIndexError();
}

void TCustomGrid::SetColCount(int Value) {
    Value = std::max(1, Value);
    const int old = ColCount();
    FColWidths.resize(size_t(Value), FDefaultColWidth);
    FFixedCols = std::min(FFixedCols, Value - 1);
    FCol = std::clamp(FCol, FFixedCols, Value - 1);
    FAnchor.X = std::clamp(FAnchor.X, FFixedCols, Value - 1);
    FLeftCol = std::clamp(FLeftCol, FFixedCols, Value - 1);
    SizeChanged(old, RowCount());
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetRowCount(int Value) {
    Value = std::max(1, Value);
    const int old = RowCount();
    FRowHeights.resize(size_t(Value), FDefaultRowHeight);
    FFixedRows = std::min(FFixedRows, Value - 1);
    FRow = std::clamp(FRow, FFixedRows, Value - 1);
    FAnchor.Y = std::clamp(FAnchor.Y, FFixedRows, Value - 1);
    FTopRow = std::clamp(FTopRow, FFixedRows, Value - 1);
    SizeChanged(ColCount(), old);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value < 0 || Value >= ColCount())
        throw EInvalidGridOperation("Fixed column count must be less than column count");
    FFixedCols = Value;
    FCol = std::max(FCol, Value);
    FAnchor.X = std::max(FAnchor.X, Value);
    FLeftCol = std::max(FLeftCol, Value);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0 || Value >= RowCount())
        throw EInvalidGridOperation("Fixed row count must be less than row count");
    FFixedRows = Value;
    FRow = std::max(FRow, Value);
    FAnchor.Y = std::max(FAnchor.Y, Value);
    FTopRow = std::max(FTopRow, Value);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    FDefaultColWidth = Value;
    std::fill(FColWidths.begin(), FColWidths.end(), Value);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = Value;
    std::fill(FRowHeights.begin(), FRowHeights.end(), Value);
    UpdateScrollBars();
    Invalidate();
}

int TCustomGrid::ColWidths(int Index) const {
    if (Index < 0 || Index >= ColCount()) throw EListError("Grid index out of range");
    return FColWidths[size_t(Index)];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    if (Index < 0 || Index >= ColCount()) throw EListError("Grid index out of range");
    FColWidths[size_t(Index)] = std::max(0, Value);
    UpdateScrollBars();
    PlaceEditor();
    Invalidate();
}

int TCustomGrid::RowHeights(int Index) const {
    if (Index < 0 || Index >= RowCount()) throw EListError("Grid index out of range");
    return FRowHeights[size_t(Index)];
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    if (Index < 0 || Index >= RowCount()) throw EListError("Grid index out of range");
    FRowHeights[size_t(Index)] = std::max(0, Value);
    UpdateScrollBars();
    PlaceEditor();
    Invalidate();
}

void TCustomGrid::SetGridLineWidth(int Value) {
    FGridLineWidth = std::max(0, Value);
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value) {
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    FOptions = Value;
    Invalidate();
    if (FOptions.Contains(goRowSelect)) HideEditor();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
    FDefaultDrawing = Value;
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    UpdateScrollBars();
}

int TCustomGrid::FixedWidth() const {
    int w = 0;
    for (int i = 0; i < FFixedCols; ++i)
        w += FColWidths[size_t(i)] + FGridLineWidth;
    return w;
}

int TCustomGrid::FixedHeight() const {
    int h = 0;
    for (int i = 0; i < FFixedRows; ++i)
        h += FRowHeights[size_t(i)] + FGridLineWidth;
    return h;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return TRect();
    if ((ACol >= FFixedCols && ACol < FLeftCol) || (ARow >= FFixedRows && ARow < FTopRow))
        return TRect();
    int x = 0;
    for (int i = 0; i < FFixedCols && i < ACol; ++i)
        x += FColWidths[size_t(i)] + FGridLineWidth;
    if (ACol >= FFixedCols)
        for (int i = FLeftCol; i < ACol; ++i)
            x += FColWidths[size_t(i)] + FGridLineWidth;
    int y = 0;
    for (int i = 0; i < FFixedRows && i < ARow; ++i)
        y += FRowHeights[size_t(i)] + FGridLineWidth;
    if (ARow >= FFixedRows)
        for (int i = FTopRow; i < ARow; ++i)
            y += FRowHeights[size_t(i)] + FGridLineWidth;
    if (x >= ClientWidth() || y >= ClientHeight()) return TRect();
    return Rect(x, y, x + FColWidths[size_t(ACol)], y + FRowHeights[size_t(ARow)]);
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    const TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    auto find = [](int p, const std::vector<int>& sizes, int fixed, int first, int line,
                   int limit) {
        if (p < 0 || p >= limit) return -1;
        int pos = 0;
        const int count = static_cast<int>(sizes.size());
        for (int i = 0; i < count; ++i) {
            if (i >= fixed && i < first) continue;
            pos += sizes[size_t(i)] + line;
            if (p < pos) return i;
            if (pos >= limit) break;
        }
        return -1;
    };
    TGridCoord c;
    c.X = find(X, FColWidths, FFixedCols, FLeftCol, FGridLineWidth, ClientWidth());
    c.Y = find(Y, FRowHeights, FFixedRows, FTopRow, FGridLineWidth, ClientHeight());
    if (c.X < 0 || c.Y < 0) c.X = c.Y = -1;
    return c;
}

int TCustomGrid::VisibleColCount() const {
    int room = ClientWidth() - FixedWidth(), n = 0;
    for (int i = FLeftCol; i < ColCount(); ++i) {
        room -= FColWidths[size_t(i)] + FGridLineWidth;
        if (room < 0) break;
        ++n;
    }
    return n;
}

int TCustomGrid::VisibleRowCount() const {
    int room = ClientHeight() - FixedHeight(), n = 0;
    for (int i = FTopRow; i < RowCount(); ++i) {
        room -= FRowHeights[size_t(i)] + FGridLineWidth;
        if (room < 0) break;
        ++n;
    }
    return n;
}

int TCustomGrid::LastScrollTop() const {
    int room = ClientHeight() - FixedHeight();
    int top = RowCount() - 1;
    while (top > FFixedRows && room - (FRowHeights[size_t(top)] + FGridLineWidth) >=
                                   FRowHeights[size_t(top - 1)] + FGridLineWidth) {
        room -= FRowHeights[size_t(top)] + FGridLineWidth;
        --top;
    }
    return std::max(FFixedRows, top);
}

int TCustomGrid::LastScrollLeft() const {
    int room = ClientWidth() - FixedWidth();
    int left = ColCount() - 1;
    while (left > FFixedCols && room - (FColWidths[size_t(left)] + FGridLineWidth) >=
                                    FColWidths[size_t(left - 1)] + FGridLineWidth) {
        room -= FColWidths[size_t(left)] + FGridLineWidth;
        --left;
    }
    return std::max(FFixedCols, left);
}

void TCustomGrid::UpdateScrollBars() {
    if (!FVScroll) return;
    int total = 0;
    for (int h : FRowHeights)
        total += h + FGridLineWidth;
    int totalW = 0;
    for (int w : FColWidths)
        totalW += w + FGridLineWidth;
    const int inner = 2 * FrameInset();
    const bool needV =
        (FScrollBars == ssVertical || FScrollBars == ssBoth) && total > Height() - inner;
    const bool needH =
        (FScrollBars == ssHorizontal || FScrollBars == ssBoth) && totalW > Width() - inner;
    if (needV == FVScroll->isHidden() || needH == FHScroll->isHidden()) {
        FVScroll->setVisible(needV);
        FHScroll->setVisible(needH);
        ApplyGeometry();
    }
    const bool bv = FVScroll->blockSignals(true), bh = FHScroll->blockSignals(true);
    FVScroll->setRange(FFixedRows, LastScrollTop());
    FVScroll->setValue(FTopRow);
    FHScroll->setRange(FFixedCols, LastScrollLeft());
    FHScroll->setValue(FLeftCol);
    FVScroll->blockSignals(bv);
    FHScroll->blockSignals(bh);
}

void TCustomGrid::SetTopRow(int Value) {
    Value = std::clamp(Value, FFixedRows, std::max(FFixedRows, LastScrollTop()));
    if (Value == FTopRow) return;
    FTopRow = Value;
    UpdateScrollBars();
    PlaceEditor();
    Invalidate();
    TopLeftChanged();
}

void TCustomGrid::SetLeftCol(int Value) {
    Value = std::clamp(Value, FFixedCols, std::max(FFixedCols, LastScrollLeft()));
    if (Value == FLeftCol) return;
    FLeftCol = Value;
    UpdateScrollBars();
    PlaceEditor();
    Invalidate();
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

// Scrolling tells OnTopLeftChanged, whose handler may free the grid or its form.
void TCustomGrid::MakeVisible(int ACol, int ARow) {
    TCallOut held{this, GetParentForm(this)};
    if (ARow >= FFixedRows) {
        if (ARow < FTopRow)
            SetTopRow(ARow);
        else if (ARow >= FTopRow + std::max(1, VisibleRowCount())) {
            // One jump to the top row that shows ARow last: stepping one row at
            // a time costs a scroll-bar update per row on long grids.
            int room = ClientHeight() - FixedHeight();
            room -= FRowHeights[size_t(ARow)] + FGridLineWidth;
            int top = ARow;
            while (top > FFixedRows && room >= FRowHeights[size_t(top - 1)] + FGridLineWidth)
                room -= FRowHeights[size_t(--top)] + FGridLineWidth;
            SetTopRow(std::max(top, FTopRow + 1));
        }
        if (held.Gone()) return;
    }
    if (ACol >= FFixedCols && ACol < ColCount()) {
        if (ACol < FLeftCol) {
            SetLeftCol(ACol);
            return;
        }
        while (ACol >= FLeftCol + std::max(1, VisibleColCount()) && FLeftCol < LastScrollLeft()) {
            SetLeftCol(FLeftCol + 1);
            if (held.Gone()) return;
        }
    }
}

// ---------------------------------------------------------------------------
// Current cell and selection

TGridRect TCustomGrid::Selection() const {
    TGridRect r;
    r.Left = std::min(FAnchor.X, FCol);
    r.Right = std::max(FAnchor.X, FCol);
    r.Top = std::min(FAnchor.Y, FRow);
    r.Bottom = std::max(FAnchor.Y, FRow);
    if (FOptions.Contains(goRowSelect)) {
        r.Left = FFixedCols;
        r.Right = ColCount() - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
    CheckIndex(Value.Left, Value.Top);
    CheckIndex(Value.Right, Value.Bottom);
    FAnchor = TGridCoord{Value.Left, Value.Top};
    FCol = Value.Right;
    FRow = Value.Bottom;
    Invalidate();
}

// The handlers on the way (selecting, leaving the editor, scrolling) may free
// the grid or its form, or change its size.
void TCustomGrid::FocusCell(int ACol, int ARow, bool Extend) {
    CheckIndex(ACol, ARow);
    TCallOut held{this, GetParentForm(this)};
    const bool can = SelectCell(ACol, ARow);
    if (held.Gone() || !can || ACol >= ColCount() || ARow >= RowCount()) return;
    const bool moved = ACol != FCol || ARow != FRow;
    if (moved && FEditorMode) {
        HideEditor();
        if (held.Gone() || ACol >= ColCount() || ARow >= RowCount()) return;
    }
    FCol = ACol;
    FRow = ARow;
    if (!Extend || !FOptions.Contains(goRangeSelect)) FAnchor = TGridCoord{ACol, ARow};
    MakeVisible(ACol, ARow);
    if (held.Gone()) return;
    Invalidate();
    if (moved && FOptions.Contains(goAlwaysShowEditor)) ShowEditor();
}

void TCustomGrid::SetCol(int Value) {
    FocusCell(Value, FRow, false);
}
void TCustomGrid::SetRow(int Value) {
    FocusCell(FCol, Value, false);
}

bool TCustomGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
    return can;
}

// ---------------------------------------------------------------------------
// Editing

bool TCustomGrid::CanEditShow() {
    return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect);
}

AnsiString TCustomGrid::GetEditText(int ACol, int ARow) {
    AnsiString value;
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TCustomGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
    if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TCustomGrid::PlaceEditor() {
    if (!FInplaceEdit || !FEditorMode) return;
    const TRect r = CellRect(FCol, FRow);
    FInplaceEdit->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    FInplaceEdit->SetVisible(!r.IsEmpty());
}

void TCustomGrid::ShowEditor() {
    if (!CanEditShow()) return;
    if (!FInplaceEdit) FInplaceEdit = new TInplaceEdit(this);
    FEditorMode = true;
    FInplaceEdit->FLoading = true;
    struct Done {
        TWatched<TInplaceEdit> e;
        ~Done() {
            if (e) e->FLoading = false;
        }
    } done{FInplaceEdit};
    TCallOut held{this, GetParentForm(this)};
    const AnsiString text = GetEditText(FCol, FRow);
    if (held.Gone()) return;
    FInplaceEdit->SetText(text);
    if (held.Gone()) return;
    FInplaceEdit->SetReadOnly(!CanEditModify());
    PlaceEditor();
    FInplaceEdit->SelectAll();
    // Tab from the editor goes where Tab from the grid goes, however late the
    // editor was made.
    QWidget::setTabOrder(Widget(), FInplaceEdit->Widget());
    TCustomForm* form = GetParentForm(this);
    if (!FInplaceEdit->CanFocus() || !form || !form->Visible()) return;
    if (form->ActiveControl() == this)
        form->FocusWithin(FInplaceEdit);
    else
        FInplaceEdit->SetFocus();
}

// The focus goes back to the grid before its editor hides, so the toolkit
// never moves it on to the next control.
void TCustomGrid::HideEditor() {
    if (!FEditorMode) return;
    FEditorMode = false;
    if (FInplaceEdit) {
        TCustomForm* form = GetParentForm(this);
        if (FInplaceEdit->Focused() && form && CanFocus()) form->FocusWithin(this);
        FInplaceEdit->SetVisible(false);
    }
}

void TCustomGrid::SetEditorMode(bool Value) {
    if (Value)
        ShowEditor();
    else
        HideEditor();
}

// ---------------------------------------------------------------------------
// Painting

void TCustomGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

void TCustomGrid::Paint() {
    TCanvas* c = Canvas();
    const TGridRect sel = Selection();
    const bool focused = Focused();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    auto paintCell = [&](int col, int row) {
        const TRect r = CellRect(col, row);
        if (r.IsEmpty()) return;
        TGridDrawState state;
        const bool fixed = col < FFixedCols || row < FFixedRows;
        if (fixed) state << gdFixed;
        const bool current = col == FCol && row == FRow;
        if (!fixed && col >= sel.Left && col <= sel.Right && row >= sel.Top && row <= sel.Bottom &&
            (!current || FOptions.Contains(goDrawFocusSelected) || FOptions.Contains(goRowSelect) ||
             !focused))
            state << gdSelected;
        if (current && focused) state << gdFocused;
        if (FDefaultDrawing) {
            c->Font()->Assign(Font());
            c->Brush()->SetStyle(bsSolid);
            if (fixed)
                c->Brush()->SetColor(FFixedColor);
            else if (state.Contains(gdSelected)) {
                c->Brush()->SetColor(clHighlight);
                c->Font()->SetColor(clHighlightText);
            } else
                c->Brush()->SetColor(Color());
            c->FillRect(r);
        }
        DrawCell(col, row, r, state);
        if (FDefaultDrawing && fixed) {
            TRect edge = r;
            c->Pen()->SetColor(clBtnHighlight);
            c->MoveTo(edge.Left, edge.Bottom - 1);
            c->LineTo(edge.Left, edge.Top);
            c->LineTo(edge.Right, edge.Top);
        }
        if (FDefaultDrawing && state.Contains(gdFocused) && !FEditorMode &&
            !FOptions.Contains(goRowSelect))
            c->DrawFocusRect(r);
    };
    for (int row = 0; row < RowCount(); ++row) {
        if (row >= FFixedRows && row < FTopRow) continue;
        for (int col = 0; col < ColCount(); ++col) {
            if (col >= FFixedCols && col < FLeftCol) continue;
            if (CellRect(col, row).IsEmpty()) break;
            paintCell(col, row);
        }
        if (CellRect(0, row).IsEmpty() && row >= FTopRow) break;
    }
    if (FGridLineWidth <= 0) return;
    // Lines lie just right of and below each cell: black around fixed cells.
    const int fixedW = std::min(ClientWidth(), FixedWidth());
    const int fixedH = std::min(ClientHeight(), FixedHeight());
    int cellsRight = 0, cellsBottom = 0;
    std::vector<std::pair<int, int>> cols, rows; // index, right or bottom edge
    for (int col = 0, x = 0; col < ColCount() && x < ClientWidth(); ++col) {
        if (col >= FFixedCols && col < FLeftCol) continue;
        x += FColWidths[size_t(col)];
        cols.push_back({col, x});
        x += FGridLineWidth;
        cellsRight = std::min(x, ClientWidth());
    }
    for (int row = 0, y = 0; row < RowCount() && y < ClientHeight(); ++row) {
        if (row >= FFixedRows && row < FTopRow) continue;
        y += FRowHeights[size_t(row)];
        rows.push_back({row, y});
        y += FGridLineWidth;
        cellsBottom = std::min(y, ClientHeight());
    }
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    auto line = [c](TColor color, int x1, int y1, int x2, int y2) {
        if (x1 >= x2 && y1 >= y2) return;
        c->Pen()->SetColor(color);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    for (const auto& [col, x] : cols) {
        const bool fixed = col < FFixedCols;
        if (FOptions.Contains(goFixedVertLine)) line(clBlack, x, 0, x, fixedH);
        if (fixed ? FOptions.Contains(goFixedVertLine) : FOptions.Contains(goVertLine))
            line(fixed ? clBlack : clSilver, x, fixedH, x, cellsBottom);
    }
    for (const auto& [row, y] : rows) {
        const bool fixed = row < FFixedRows;
        if (FOptions.Contains(goFixedHorzLine)) line(clBlack, 0, y, fixedW, y);
        if (fixed ? FOptions.Contains(goFixedHorzLine) : FOptions.Contains(goHorzLine))
            line(fixed ? clBlack : clSilver, fixedW, y, cellsRight, y);
    }
}

// ---------------------------------------------------------------------------
// Keys and mouse

bool TCustomGrid::WantsKey(WORD Key, TShiftState) const {
    return Key == VK_RETURN && FOptions.Contains(goEditing);
}

// A handler of the grid's keys, mouse, selection or focus may free the grid or
// its form: what follows reads them again.
void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift) {
    TCallOut held{this, GetParentForm(this)};
    TCustomControl::KeyDown(Key, Shift);
    if (held.Gone() || Key == 0) return;
    const bool extend = Shift.Contains(ssShift);
    const int lastRow = RowCount() - 1, lastCol = ColCount() - 1;
    int col = FCol, row = FRow;
    switch (Key) {
    case VK_UP:
        row = std::max(FFixedRows, row - 1);
        break;
    case VK_DOWN:
        row = std::min(lastRow, row + 1);
        break;
    case VK_LEFT:
        if (FEditorMode) return;
        col = std::max(FFixedCols, col - 1);
        break;
    case VK_RIGHT:
        if (FEditorMode) return;
        col = std::min(lastCol, col + 1);
        break;
    case VK_PRIOR:
        row = std::max(FFixedRows, row - std::max(1, VisibleRowCount()));
        break;
    case VK_NEXT:
        row = std::min(lastRow, row + std::max(1, VisibleRowCount()));
        break;
    case VK_HOME:
        if (FEditorMode) return;
        if (Shift.Contains(ssCtrl))
            row = FFixedRows;
        else
            col = FFixedCols;
        break;
    case VK_END:
        if (FEditorMode) return;
        if (Shift.Contains(ssCtrl))
            row = lastRow;
        else
            col = lastCol;
        break;
    case VK_TAB:
        if (!FOptions.Contains(goTabs)) return;
        if (extend) {
            if (col > FFixedCols)
                --col;
            else if (row > FFixedRows) {
                col = lastCol;
                --row;
            }
        } else {
            if (col < lastCol)
                ++col;
            else if (row < lastRow) {
                col = FFixedCols;
                ++row;
            }
        }
        FocusCell(col, row, false);
        return;
    case VK_F2:
        ShowEditor();
        return;
    case VK_ESCAPE:
        if (FEditorMode) HideEditor();
        return;
    default:
        return;
    }
    if (col != FCol || row != FRow) FocusCell(col, row, extend);
}

void TCustomGrid::KeyPress(char& Key) {
    TCallOut held{this, GetParentForm(this)};
    TCustomControl::KeyPress(Key);
    if (held.Gone() || Key == 0) return;
    if (Key == '\r') {
        Key = 0;
        if (!FOptions.Contains(goAlwaysShowEditor) && CanEditShow()) {
            if (FEditorMode)
                HideEditor();
            else
                ShowEditor();
        }
        return;
    }
    if (!FEditorMode && CanEditShow() && static_cast<unsigned char>(Key) >= 32 &&
        CanEditAcceptKey(Key)) {
        const char typed = Key;
        Key = 0;
        ShowEditor();
        if (held.Gone()) return;
        if (FInplaceEdit && FEditorMode) {
            // The text typed tells OnSetEditText, which may free the grid.
            FInplaceEdit->SetText(AnsiString(typed));
            if (held.Gone()) return;
            FInplaceEdit->SetSelStart(1);
        }
    }
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        if (CanFocus() && GetParentForm(this) && GetParentForm(this)->Visible() && !FEditorMode) {
            SetFocus();
            if (held.Gone()) return;
        }
        const TGridCoord cell = MouseCoord(X, Y);
        // Sizing a column on the fixed rows, or a row on the fixed columns.
        if (cell.Y >= 0 && cell.Y < FFixedRows && FOptions.Contains(goColSizing) && cell.X >= 0) {
            const TRect r = CellRect(cell.X, cell.Y);
            const int col =
                X >= r.Right - 2 ? cell.X : (X <= r.Left + 2 && cell.X > 0 ? cell.X - 1 : -1);
            if (col >= 0) {
                FSizingCol = col;
                FSizingOrigin = X;
                FSizingStart = FColWidths[size_t(col)];
            }
        } else if (cell.X >= 0 && cell.X < FFixedCols && FOptions.Contains(goRowSizing) &&
                   cell.Y >= 0) {
            const TRect r = CellRect(cell.X, cell.Y);
            const int row =
                Y >= r.Bottom - 2 ? cell.Y : (Y <= r.Top + 2 && cell.Y > 0 ? cell.Y - 1 : -1);
            if (row >= 0) {
                FSizingRow = row;
                FSizingOrigin = Y;
                FSizingStart = FRowHeights[size_t(row)];
            }
        }
        if (FSizingCol < 0 && FSizingRow < 0 && cell.X >= FFixedCols && cell.Y >= FFixedRows) {
            const bool wasCurrent = cell.X == FCol && cell.Y == FRow;
            FocusCell(cell.X, cell.Y, Shift.Contains(ssShift));
            if (held.Gone()) return;
            FSelecting = true;
            if (wasCurrent && CanEditShow() && !FEditorMode) {
                ShowEditor();
                if (held.Gone()) return;
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    if (FSizingCol >= 0)
        SetColWidths(FSizingCol, FSizingStart + X - FSizingOrigin);
    else if (FSizingRow >= 0)
        SetRowHeights(FSizingRow, FSizingStart + Y - FSizingOrigin);
    else if (FSelecting && Shift.Contains(ssLeft) && FOptions.Contains(goRangeSelect)) {
        const TGridCoord cell = MouseCoord(X, Y);
        if (cell.X >= FFixedCols && cell.Y >= FFixedRows && (cell.X != FCol || cell.Y != FRow)) {
            FocusCell(cell.X, cell.Y, true);
            if (held.Gone()) return;
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FSizingCol = FSizingRow = -1;
    FSelecting = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::DblClick() {
    TCallOut held{this, GetParentForm(this)};
    TCustomControl::DblClick();
    if (held.Gone()) return;
    if (CanEditShow() && !FEditorMode) ShowEditor();
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    TCallOut held{this, GetParentForm(this)};
    const bool handled = TCustomControl::DoMouseWheelDown(Shift, MousePos);
    if (held.Gone() || handled) return true;
    if (FRow < RowCount() - 1) SetRow(FRow + 1);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    TCallOut held{this, GetParentForm(this)};
    const bool handled = TCustomControl::DoMouseWheelUp(Shift, MousePos);
    if (held.Gone() || handled) return true;
    if (FRow > FFixedRows) SetRow(FRow - 1);
    return true;
}

// ---------------------------------------------------------------------------
// TStringGrid

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

AnsiString TStringGrid::Cells(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) GridIndexError();
    auto it = FCells.find({ACol, ARow});
    return it == FCells.end() ? AnsiString() : it->second.Text;
}

void TStringGrid::SetCells(int ACol, int ARow, const AnsiString& Value) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) GridIndexError();
    FCells[{ACol, ARow}].Text = Value;
    Invalidate();
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) GridIndexError();
    auto it = FCells.find({ACol, ARow});
    return it == FCells.end() || it->second.Life.Gone() ? nullptr : it->second.Object;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
    SetWatched(ACol, ARow, Value, nullptr);
}

void TStringGrid::SetWatched(int ACol, int ARow, TObject* Object, TPersistent* Watched) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) GridIndexError();
    TCell& cell = FCells[{ACol, ARow}];
    cell.Object = Object;
    cell.Life = Watched;
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (DefaultDrawing())
        Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

AnsiString TStringGrid::GetEditText(int ACol, int ARow) {
    AnsiString value = Cells(ACol, ARow);
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TStringGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
    SetCells(ACol, ARow, Value);
    TDrawGrid::SetEditText(ACol, ARow, Value);
}
