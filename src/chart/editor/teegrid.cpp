// Contents:
//   helpers                 value text in and out, colour text
//   binding and dimensions  chart or series, columns, rows, 3D mode, events
//   cell texts and storing  GetEditText, SetEditText, the editor's commit
//   commands                Insert, Delete, ChangeColor, Start/StopEditing
//   keys, mouse, drawing
//   TChartGridNavigator
#include "chart/editor/teegrid.h"
#include "platform/classes/watched.h"

#include "chart/control/chart.h"
#include "chart/control/teelegend.h"
#include "chart/editor/teeaxisincr.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teecontrols.h"
#include "chart/engine/teeseries.h"
#include "chart/engine/teesources.h"
#include "chart/engine/teevaluelist.h"
#include "platform/classes/watched.h"
#include "platform/classes/props.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TCustomChartGrid, TCustomGrid, TComponent)
QM_CLASS_OWNED(TChartGrid, TCustomChartGrid, TComponent)
QM_CLASS_OWNED(TChartGridNavigator, TCustomTeeNavigator, TComponent)

QM_PUBLISHED(TChartGrid, Prop("Chart", &Self::Chart, &Self::SetChart),
             Prop("Series", &Self::Series, &Self::SetSeries),
             Prop("ShowColors", &Self::ShowColors, &Self::SetShowColors).Default(false),
             Prop("ShowLabels", &Self::ShowLabels, &Self::SetShowLabels).Default(true),
             Prop("ShowXValues", &Self::ShowXValues, &Self::SetShowXValues).Default(cgsAuto),
             Prop("OnSetEditText", &Self::OnSetEditText),
             // The grid's own events, as every grid publishes them.
             Prop("OnDblClick", &Self::OnDblClick), Prop("OnEnter", &Self::OnEnter),
             Prop("OnExit", &Self::OnExit), Prop("OnKeyDown", &Self::OnKeyDown),
             Prop("OnKeyPress", &Self::OnKeyPress), Prop("OnKeyUp", &Self::OnKeyUp),
             Prop("OnMouseDown", &Self::OnMouseDown), Prop("OnMouseMove", &Self::OnMouseMove),
             Prop("OnMouseUp", &Self::OnMouseUp), Prop("OnMouseWheel", &Self::OnMouseWheel),
             Prop("OnMouseWheelDown", &Self::OnMouseWheelDown),
             Prop("OnMouseWheelUp", &Self::OnMouseWheelUp),
             Prop("OnSelectCell", &Self::OnSelectCell),
             Prop("OnTopLeftChanged", &Self::OnTopLeftChanged));

namespace {

// A 3D table wider or taller than this is shown as a plain list instead: the
// extent comes from the data, which may come from any chart file.
constexpr double Max3DCells = 100000;

bool ParseValue(const AnsiString& Text, bool IsDateTime, double& Value, AnsiString& Error) {
    AnsiString t = Text.Trim();
    if (IsDateTime) {
        const int blank = t.Pos(" ");
        double date = 0, time = 0;
        if (blank > 0)
            return TeeTryStrToDate(t.SubString(1, blank - 1), date, Error) &&
                   TeeTryStrToTime(t.SubString(blank + 1, t.Length() - blank), time, Error) &&
                   (Value = date + time, true);
        if (TeeTryStrToDate(t, date, Error)) return Value = date, true;
        return TeeTryStrToTime(t, Value, Error);
    }
    // The shown text may group the whole digits with thousands separators. A
    // separator anywhere else is most likely a decimal point of another
    // locale: dropping it would store a number 10 or 1000 times too large.
    if (ThousandSeparator != DecimalSeparator && ThousandSeparator != 0 &&
        t.Pos(AnsiString(ThousandSeparator)) > 0) {
        AnsiString plain;
        int i = 1;
        if (i <= t.Length() && (t[i] == '-' || t[i] == '+')) plain += t[i++];
        int group = 0;
        bool grouped = false, valid = true;
        for (; i <= t.Length() && t[i] != DecimalSeparator && t[i] != 'e' && t[i] != 'E'; ++i) {
            if (t[i] == ThousandSeparator) {
                valid = valid && group > 0 && (!grouped || group == 3) && (grouped || group <= 3);
                grouped = true;
                group = 0;
            } else {
                plain += t[i];
                ++group;
            }
        }
        valid = valid && group == 3;
        for (; valid && i <= t.Length(); ++i) {
            if (t[i] == ThousandSeparator) valid = false;
            plain += t[i];
        }
        if (!valid) {
            Error = Format("'%s' is not a valid number", {t});
            return false;
        }
        t = plain;
    }
    return TeeTryStrToNumber(t, Value, Error);
}

// A colour a point may hold: an RGB value or no colour; anything else is refused.
bool ParseColor(const AnsiString& Text, TColor& Color, AnsiString& Error) {
    const AnsiString t = Text.Trim();
    Error = Format("'%s' is not a valid colour", {t});
    if (t.IsEmpty()) return false;
    TColor c = clNone;
    try {
        c = StringToColor(t);
    } catch (const Exception&) {
        return false;
    }
    return CheckPointColor(c, Color, Error);
}

} // namespace

bool CheckPointColor(TColor Value, TColor& Color, AnsiString& Error) {
    if (Value != clNone && (Value < 0 || Value > 0xFFFFFF)) {
        Error = Format("Colour %d is out of range (0 to $FFFFFF)", {int(Value)});
        return false;
    }
    Color = Value;
    return true;
}

bool TeeGridSeriesHasColors(TCustomChart* Chart) {
    if (!Chart || Chart->SeriesCount() == 0) return false;
    TChartSeries* s = Chart->Series(0);
    for (int i = 0; i < s->ColorCount(); ++i)
        if (s->InternalColor(i) != clAutoColor) return true;
    return false;
}

// ---------------------------------------------------------------------------
// binding and dimensions

TCustomChartGrid::TCustomChartGrid(TComponent* AOwner) : TCustomGrid(AOwner) {
    SetGridLineWidth(1);
    SetDefaultRowHeight(16);
    SetFixedCols(1);
    SetColWidths(0, 30);
    SetRowHeights(0, 20);
    SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
                goDrawFocusSelected, goRowSizing, goColSizing, goEditing, goTabs, goThumbTracking});
    RecalcDimensions();
}

TCustomChartGrid::~TCustomChartGrid() {
    ListenTo(nullptr);
}

void TCustomChartGrid::Loaded() {
    TCustomGrid::Loaded();
    SetRowHeights(0, 20);
}

// A panel on its way out tells no listener any more, so one that went is
// left alone; free notifications are mutual and end with either side.
void TCustomChartGrid::ListenTo(TCustomAxisPanel* Panel) {
    TCustomAxisPanel* old = FListened;
    if (old == Panel) {
        FListened = Panel;
        return;
    }
    if (old) {
        old->RemoveListener(this);
        old->RemoveFreeNotification(this);
    }
    FListened = Panel;
    if (Panel) {
        Panel->Listeners()->Add(this);
        Panel->FreeNotification(this);
    }
}

void TCustomChartGrid::SetChart(TCustomChart* Value) {
    if (TCustomChart* old = FChart) old->RemoveFreeNotification(this);
    FChart = Value;
    if (Value) Value->FreeNotification(this);
    if (!FSeries) ListenTo(Value);
    Regenerate();
}

void TCustomChartGrid::SetSeries(TChartSeries* Value) {
    if (TChartSeries* old = FSeries) old->RemoveFreeNotification(this);
    FSeries = Value;
    if (Value) {
        Value->FreeNotification(this);
        if (TCustomChart* chart = FChart) chart->RemoveFreeNotification(this);
        FChart = nullptr;
        ListenTo(Value->ParentChart());
    }
    Regenerate();
}

// The handles already read empty here: a component is gone to them from the
// start of its destruction.
void TCustomChartGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomGrid::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FListened.Gone()) FListened = nullptr;
    if (FNavigator.Gone()) FNavigator = nullptr;
    bool changed = false;
    if (FChart.Gone()) FChart = nullptr, changed = true;
    if (FSeries.Gone()) FSeries = nullptr, changed = true;
    if (changed && !IsDestroying()) {
        if (!FSeries) ListenTo(FChart);
        RecalcDimensions();
    }
}

void TCustomChartGrid::SetShowLabels(bool Value) {
    FShowLabels = Value;
    Regenerate();
}
void TCustomChartGrid::SetShowColors(bool Value) {
    FShowColors = Value;
    Regenerate();
}
void TCustomChartGrid::SetShowFields(bool Value) {
    FShowFields = Value;
    Regenerate();
}
void TCustomChartGrid::SetShowXValues(TChartGridShow Value) {
    FShowXValues = Value;
    Regenerate();
}
void TCustomChartGrid::SetGrid3DMode(bool Value) {
    FGrid3DMode = Value;
    Regenerate();
}

void TCustomChartGrid::SetNavigator(TChartGridNavigator* Value) {
    if (TChartGridNavigator* old = FNavigator) old->RemoveFreeNotification(this);
    FNavigator = Value;
    if (Value) Value->FreeNotification(this);
}

void TCustomChartGrid::NotifyNavigator() {
    if (TChartGridNavigator* n = FNavigator) n->EnableButtons();
}

void TCustomChartGrid::ShownSeries(std::vector<TChartSeries*>& List) const {
    List.clear();
    if (TChartSeries* s = FSeries) {
        if (!s->IsDestroying()) List.push_back(s);
    } else if (TCustomChart* c = FChart) {
        for (int i = 0; i < c->SeriesCount(); ++i)
            if (!c->Series(i)->IsDestroying()) List.push_back(c->Series(i));
    }
}

TChartValueList* TCustomChartGrid::ZList(TChartSeries* S) const {
    if (!S || !S->HasZValues()) return nullptr;
    TChartValueLists* lists = S->ValuesList();
    for (int i = 0; i < lists->Count(); ++i)
        if (lists->Get(i)->Name() == "Z") return lists->Get(i);
    return nullptr;
}

TChartSeries* TCustomChartGrid::Grid3DSeries() const {
    std::vector<TChartSeries*> list;
    ShownSeries(list);
    for (TChartSeries* s : list)
        if (ZList(s)) return s;
    return nullptr;
}

int TCustomChartGrid::ColorsColumn() const {
    return FShowColors && !FGrid3DMode && (FChart || FSeries) ? 1 : -1;
}

int TCustomChartGrid::LabelsColumn() const {
    if (!FShowLabels || FGrid3DMode || !(FChart || FSeries)) return -1;
    return ColorsColumn() == 1 ? 2 : 1;
}

void TCustomChartGrid::RecalcDimensions() {
    FColumns.clear();
    int cols = 1, rows = 1;
    TChartSeries* grid3D = FGrid3DMode ? Grid3DSeries() : nullptr;
    if (grid3D && grid3D->Count() > 0) {
        TChartValueList* z = ZList(grid3D);
        F3DMinX = std::floor(grid3D->XValues()->MinValue());
        F3DMinZ = std::floor(z->MinValue());
        const double width = std::floor(grid3D->XValues()->MaxValue()) - F3DMinX + 1;
        const double height = std::floor(z->MaxValue()) - F3DMinZ + 1;
        if (width <= Max3DCells && height <= Max3DCells) {
            for (int i = 0; i < int(width); ++i)
                FColumns.push_back({grid3D, grid3D->YValues(), i == 0});
            rows = int(height);
        }
        FDataColumn = 1;
        cols = 1 + int(FColumns.size());
    } else if (FChart || FSeries) {
        FDataColumn = 1 + (ColorsColumn() > 0 ? 1 : 0) + (LabelsColumn() > 0 ? 1 : 0);
        std::vector<TChartSeries*> list;
        ShownSeries(list);
        for (TChartSeries* s : list) {
            const bool x =
                FShowXValues == cgsYes || (FShowXValues == cgsAuto && HasNoMandatoryValues(s));
            TChartValueList* notMandatory = s->NotMandatoryValues();
            bool first = true;
            if (x) {
                FColumns.push_back({s, notMandatory, true});
                first = false;
            }
            TChartValueLists* lists = s->ValuesList();
            for (int i = 0; i < lists->Count(); ++i)
                if (lists->Get(i) != notMandatory) {
                    FColumns.push_back({s, lists->Get(i), first});
                    first = false;
                }
            rows = std::max(rows, s->Count());
        }
        cols = FDataColumn + int(FColumns.size());
    }
    if (FGrid3DMode && grid3D && grid3D->Count() == 0) rows = 1;
    cols = std::max(cols, 2);
    const int fixedRows = FirstRowNum();
    SetColCount(cols);
    SetRowCount(fixedRows + std::max(rows, 1));
    SetFixedRows(fixedRows);
    SetRowHeights(0, 20);
    if (ColorsColumn() > 0 && ColCount() > 1) SetColWidths(ColorsColumn(), 40);
    // Columns rebuilt under an open editor (a series freed or added, the grid
    // bound elsewhere, a column switched on or off) may show something else
    // in its cell: the edit ends there, and no key reaches another series.
    if (EditorMode() && !FStoring && !EditTargetHolds()) {
        TCallOut held{this, GetParentForm(this)};
        DropEdit();
        if (held.Gone()) return;
    }
    NotifyNavigator();
}

void TCustomChartGrid::Regenerate() {
    RecalcDimensions();
    Invalidate();
}

void TCustomChartGrid::TeeEvent(TTeeEvent* Event) {
    if (IsDestroying()) return;
    auto* e = dynamic_cast<TTeeSeriesEvent*>(Event);
    if (!e || FStoring) return;
    switch (e->Event) {
    case seChangeTitle:
    case seChangeColor:
    case seChangeActive:
        Invalidate();
        break;
    case seAdd:
    case seRemove:
    case seSwap:
    case seDataChanged:
        RecalcDimensions();
        Invalidate();
        break;
    }
}

bool TCustomChartGrid::GetSeries(int ACol, TChartSeries*& ASeries, TChartValueList*& AList) const {
    const int i = ACol - FDataColumn;
    if (i < 0 || i >= int(FColumns.size())) return false;
    ASeries = FColumns[size_t(i)].Series;
    AList = FColumns[size_t(i)].List;
    return ASeries && AList;
}

bool TCustomChartGrid::HasPoints() const {
    std::vector<TChartSeries*> list;
    ShownSeries(list);
    return std::any_of(list.begin(), list.end(), [](TChartSeries* s) { return s->Count() > 0; });
}

int TCustomChartGrid::Find3DPoint(TChartSeries* S, int ACol, int ARow) const {
    TChartValueList* z = ZList(S);
    if (!z) return -1;
    const double x = F3DMinX + (ACol - 1), zv = F3DMinZ + (ARow - FirstRowNum());
    for (int i = 0; i < S->Count(); ++i)
        if (std::floor(S->XValues()->Value(i)) == x && std::floor(z->Value(i)) == zv) return i;
    return -1;
}

int TCustomChartGrid::PointIndex(int ACol, int ARow) const {
    if (ARow < FirstRowNum()) return -1;
    if (FGrid3DMode) {
        TChartSeries* s;
        TChartValueList* l;
        return GetSeries(ACol, s, l) ? Find3DPoint(s, ACol, ARow) : -1;
    }
    return ARow - FirstRowNum();
}

// ---------------------------------------------------------------------------
// cell texts and storing

AnsiString TCustomChartGrid::CellText(int ACol, int ARow) {
    const int index = ARow - FirstRowNum();
    if (index < 0) return "";
    if (ACol == LabelsColumn() && ACol > 0) {
        if (TChartSeries* bound = FSeries)
            return index < bound->Count() ? bound->GetXLabel(index) : "";
        std::vector<TChartSeries*> list;
        ShownSeries(list);
        for (TChartSeries* s : list)
            if (index < s->Count() && !s->GetXLabel(index).IsEmpty()) return s->GetXLabel(index);
        return "";
    }
    if (ACol == ColorsColumn() && ACol > 0) return "";
    TChartSeries* s;
    TChartValueList* list;
    if (!GetSeries(ACol, s, list)) return "";
    const int point = FGrid3DMode ? Find3DPoint(s, ACol, ARow) : index;
    if (point < 0 || point >= s->Count() || s->IsNull(point)) return "";
    const double v = list->Value(point);
    if (list->DateTime() && !FGrid3DMode)
        return v >= 1 ? DateTimeToStr(TDateTime(v)) : TimeToStr(TDateTime(v));
    return FormatFloat(s->ValueFormat(), v);
}

AnsiString TCustomChartGrid::GetEditText(int ACol, int ARow) {
    if (ACol == ColorsColumn() && ACol > 0) {
        const int index = ARow - FirstRowNum();
        std::vector<TChartSeries*> list;
        ShownSeries(list);
        for (TChartSeries* s : list)
            if (index >= 0 && index < s->Count()) {
                const TColor c = s->InternalColor(index);
                return c == clAutoColor || c == clNone ? AnsiString() : ColorToString(c);
            }
        return "";
    }
    return CellText(ACol, ARow);
}

void TCustomChartGrid::MarkManual() {
    std::vector<TChartSeries*> list;
    ShownSeries(list);
    for (TChartSeries* s : list)
        s->SetHasDataStored(true);
}

void TCustomChartGrid::RepaintSeries() {
    if (FShowColors) Invalidate();
    if (TChartSeries* s = FSeries)
        s->Repaint();
    else if (TCustomChart* c = FChart)
        c->Repaint();
}

int TCustomChartGrid::AppendNull(TChartSeries* S) {
    // At X = count a point would sort before custom X values above that, and
    // the cell's value would land on a point that was there before.
    TChartValueList* order = S->NotMandatoryValues();
    double at = S->Count();
    if (S->Count() > 0) {
        const double last = order->Value(S->Count() - 1);
        if (order->Order() == loAscending && last >= at) at = std::floor(last) + 1;
        if (order->Order() == loDescending && last <= at) at = std::ceil(last) - 1;
    }
    const int point = S->YIsMandatory() ? S->AddNullXY(at, 0) : S->AddNullXY(0, at);
    if (EditorMode()) FSnap.Added.push_back({S, point});
    return point;
}

bool TCustomChartGrid::TryStoreCell(int ACol, int ARow, const AnsiString& Text, AnsiString& Error) {
    const int index = ARow - FirstRowNum();
    if (index < 0 || ACol < 1 || ACol >= ColCount()) {
        Error = "No such cell";
        return false;
    }
    // Everything is checked before anything changes.
    TChartSeries* s = nullptr;
    TChartValueList* list = nullptr;
    double value = 0;
    TColor color = clNone;
    const bool labels = ACol == LabelsColumn();
    const bool colors = ACol == ColorsColumn();
    const bool empty = Text.Trim().IsEmpty();
    if (colors) {
        if (!ParseColor(Text, color, Error)) return false;
    } else if (!labels) {
        if (!GetSeries(ACol, s, list)) {
            Error = "No such cell";
            return false;
        }
        if (!empty && !ParseValue(Text, list->DateTime() && !FGrid3DMode, value, Error))
            return false;
    }
    struct Guard {
        bool& f;
        ~Guard() { f = false; }
    } guard{FStoring = true};
    MarkManual();
    std::vector<TChartSeries*> shown;
    ShownSeries(shown);
    if (labels) {
        for (TChartSeries* t : shown) {
            while (t->Count() <= index)
                AppendNull(t);
            t->SetXLabel(index, Text);
        }
    } else if (colors) {
        for (TChartSeries* t : shown)
            if (index < t->Count()) t->SetValueColor(index, color);
    } else {
        int point = index;
        if (FGrid3DMode) {
            point = Find3DPoint(s, ACol, ARow);
            if (point < 0) {
                TChartValueList* z = ZList(s);
                point = s->AddNullXY(F3DMinX + (ACol - 1), 0);
                if (EditorMode()) FSnap.Added.push_back({s, point});
                z->SetValue(point, F3DMinZ + (ARow - FirstRowNum()));
            }
        } else {
            while (s->Count() <= index)
                AppendNull(s);
        }
        if (empty) {
            s->SetNull(point);
        } else {
            const bool wasNull = s->IsNull(point);
            list->SetValue(point, value);
            list->SetModified(true);
            if (wasNull) s->SetValueColor(point, clAutoColor);
        }
    }
    RecalcDimensions();
    RepaintSeries();
    return true;
}

void TCustomChartGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
    // Every key stroke arrives here: a text that is not (yet) a value changes
    // nothing and is judged when the edit ends.
    if (EditorMode() && !EditTargetHolds()) return;
    AnsiString error;
    if (!TryStoreCell(ACol, ARow, Value, error)) return;
    TCustomGrid::SetEditText(ACol, ARow, Value);
}

void TCustomChartGrid::TakeSnapshot() {
    FSnap = TSnapshot();
    FSnap.Col = Col();
    FSnap.Row = Row();
    FSnap.Text = GetEditText(Col(), Row());
    FSnap.Chart = FChart.Get();
    FSnap.Bound = FSeries.Get();
    FSnap.MinX = F3DMinX;
    FSnap.MinZ = F3DMinZ;
    FSnap.Labels = Col() == LabelsColumn();
    FSnap.Colors = Col() == ColorsColumn();
    TChartSeries* cell = nullptr;
    TChartValueList* list = nullptr;
    int cellPoint = -1;
    if (!FSnap.Labels && !FSnap.Colors && GetSeries(Col(), cell, list)) {
        FSnap.S = cell;
        FSnap.L = list;
        cellPoint = PointIndex(Col(), Row());
    }
    const int index = Row() - FirstRowNum();
    std::vector<TChartSeries*> shown;
    ShownSeries(shown);
    for (TChartSeries* s : shown) {
        TPointState p;
        p.S = s;
        p.Manual = s->HasDataStored();
        p.Point = FGrid3DMode ? (s == cell ? cellPoint : -1) : index;
        if (p.Point >= 0 && p.Point < s->Count()) {
            TChartValueLists* lists = s->ValuesList();
            for (int i = 0; i < lists->Count(); ++i)
                p.Values.push_back(lists->Get(i)->Value(p.Point));
            p.Label = s->GetXLabel(p.Point);
            p.Color = s->InternalColor(p.Point);
        } else {
            p.Point = -1;
        }
        FSnap.Points.push_back(std::move(p));
    }
}

bool TCustomChartGrid::EditTargetHolds() const {
    if (FSnap.Chart.Gone() || FSnap.Bound.Gone() || FSnap.S.Gone() || FSnap.L.Gone()) return false;
    if (FSnap.Chart.Get() != FChart.Get() || FSnap.Bound.Get() != FSeries.Get()) return false;
    if (Col() != FSnap.Col || Row() != FSnap.Row || Row() >= RowCount()) return false;
    if (FGrid3DMode && (F3DMinX != FSnap.MinX || F3DMinZ != FSnap.MinZ)) return false;
    if (FSnap.Labels) return Col() == LabelsColumn();
    if (FSnap.Colors) return Col() == ColorsColumn();
    TChartSeries* s = nullptr;
    TChartValueList* l = nullptr;
    return GetSeries(Col(), s, l) && s == FSnap.S.Get() && l == FSnap.L.Get();
}

void TCustomChartGrid::DropEdit() {
    FSnap = TSnapshot();
    HideEditor();
}

// Only what the edit changed is set back: a setter called with the value a
// point already has may still change what the chart file stores.
void TCustomChartGrid::RestoreSnapshot() {
    {
        struct Guard {
            bool& f;
            ~Guard() { f = false; }
        } guard{FStoring = true};
        for (auto it = FSnap.Added.rbegin(); it != FSnap.Added.rend(); ++it)
            if (TChartSeries* s = it->first; s && it->second < s->Count()) s->Delete(it->second);
        for (const TPointState& p : FSnap.Points) {
            TChartSeries* s = p.S;
            if (!s) continue;
            if (p.Point >= 0 && p.Point < s->Count()) {
                TChartValueLists* lists = s->ValuesList();
                for (int i = 0; i < lists->Count() && i < int(p.Values.size()); ++i)
                    if (TChartValueList* l = lists->Get(i);
                        l->Value(p.Point) != p.Values[size_t(i)])
                        l->SetValue(p.Point, p.Values[size_t(i)]);
                if (s->GetXLabel(p.Point) != p.Label) s->SetXLabel(p.Point, p.Label);
                if (s->InternalColor(p.Point) != p.Color) s->SetValueColor(p.Point, p.Color);
            }
            s->SetHasDataStored(p.Manual);
        }
    }
    FSnap = TSnapshot();
    RecalcDimensions();
    RepaintSeries();
}

bool TCustomChartGrid::CommitEditor() {
    if (!EditorMode() || !InplaceEditor()) return true;
    const AnsiString text = InplaceEditor()->Text();
    if (text == FSnap.Text) return true;
    AnsiString error;
    if (TryStoreCell(Col(), Row(), text, error)) return true;
    TCallOut held{this, GetParentForm(this)};
    MessageDlg(error, mtError, {mbOK});
    if (held.Gone()) return false;
    // Keys typed before the refused text may have stored values on the way.
    HideEditor();
    if (held.Gone()) return false;
    RestoreSnapshot();
    NotifyNavigator();
    return false;
}

// ---------------------------------------------------------------------------
// commands

void TCustomChartGrid::AppendNullRow() {
    const int last = RowCount() - 1;
    RecalcDimensions();
    if (RowCount() - 1 > last || RowCount() - 1 >= FirstRowNum()) SetRow(RowCount() - 1);
}

void TCustomChartGrid::Insert() {
    std::vector<TChartSeries*> shown;
    ShownSeries(shown);
    if (shown.empty()) return;
    {
        struct Guard {
            bool& f;
            ~Guard() { f = false; }
        } guard{FStoring = true};
        for (TChartSeries* s : shown)
            s->AddNullXY(s->Count(), 0, "");
        MarkManual();
    }
    // Moving to the new row is selecting it: its handler may free the grid.
    TCallOut held{this, GetParentForm(this)};
    AppendNullRow();
    if (held.Gone()) return;
    RepaintSeries();
    NotifyNavigator();
}

void TCustomChartGrid::Delete() {
    const int index = Row() - FirstRowNum();
    if (index < 0) return;
    std::vector<TChartSeries*> shown;
    ShownSeries(shown);
    {
        struct Guard {
            bool& f;
            ~Guard() { f = false; }
        } guard{FStoring = true};
        for (TChartSeries* s : shown)
            if (index < s->Count()) {
                const bool renumber = !(FShowXValues == cgsYes ||
                                        (FShowXValues == cgsAuto && HasNoMandatoryValues(s)));
                s->Delete(index);
                if (renumber) {
                    TChartValueList* x = s->NotMandatoryValues();
                    for (int i = index; i < s->Count(); ++i)
                        x->SetValue(i, i);
                }
            }
        MarkManual();
    }
    RecalcDimensions();
    Invalidate();
    RepaintSeries();
    NotifyNavigator();
}

void TCustomChartGrid::ChangeColor() {
    const int index = Row() - FirstRowNum();
    std::vector<TChartSeries*> shown;
    ShownSeries(shown);
    TChartSeries* target = nullptr;
    for (TChartSeries* s : shown)
        if (index >= 0 && index < s->Count()) {
            target = s;
            break;
        }
    if (!target) return;
    TColor color = target->ValueColor(index);
    // The point or its series may go while the colour dialog shows.
    TCallOut held{this, target};
    if (!EditColorDialog(this, color) || held.Gone() || index >= target->Count()) return;
    TColor checked;
    AnsiString error;
    if (!CheckPointColor(color, checked, error)) {
        MessageDlg(error, mtError, {mbOK});
        return;
    }
    {
        struct Guard {
            bool& f;
            ~Guard() { f = false; }
        } guard{FStoring = true};
        target->SetValueColor(index, checked);
        MarkManual();
    }
    Invalidate();
    RepaintSeries();
}

void TCustomChartGrid::StartEditing() {
    TChartSeries* s = nullptr;
    TChartValueList* list = nullptr;
    if (GetSeries(Col(), s, list) && s->DataSource() && !FAllowChanges) return;
    ShowEditor();
}

void TCustomChartGrid::StopEditing(bool Cancel) {
    if (!EditorMode()) return;
    // Closing the editor gives the focus back, and a message box may show.
    TCallOut held{this, GetParentForm(this)};
    if (Cancel) {
        HideEditor();
        if (held.Gone()) return;
        if (InplaceEditor()) InplaceEditor()->SetText("");
        if (held.Gone()) return;
        RestoreSnapshot();
    } else {
        const bool kept = CommitEditor();
        if (held.Gone()) return;
        if (kept) HideEditor();
        if (held.Gone()) return;
    }
    NotifyNavigator();
}

// ---------------------------------------------------------------------------
// keys, mouse, drawing

bool TCustomChartGrid::CanEditShow() {
    if (!(FChart || FSeries) || !TCustomGrid::CanEditShow()) return false;
    TChartSeries* s;
    TChartValueList* l;
    if (GetSeries(Col(), s, l) && s->DataSource() && !FAllowChanges) return false;
    const bool ok =
        (Col() == ColorsColumn() && Col() > 0) || Col() == LabelsColumn() || GetSeries(Col(), s, l);
    if (ok && !EditorMode()) TakeSnapshot();
    return ok;
}

bool TCustomChartGrid::CanEditModify() {
    return true;
}

// The handlers of the grid's selection, keys, mouse and focus, and its message
// boxes, may free the grid or its form: each step reads them again.
bool TCustomChartGrid::SelectCell(int ACol, int ARow) {
    if (ACol <= 0 || ARow < FirstRowNum()) return false;
    TCallOut held{this, GetParentForm(this)};
    if ((ACol != Col() || ARow != Row()) && (!CommitEditor() || held.Gone())) return false;
    const bool can = TCustomGrid::SelectCell(ACol, ARow);
    if (held.Gone() || !can) return false;
    if (FNavigator) FNavigator->EnableButtonsColRow(ACol, ARow);
    return true;
}

void TCustomChartGrid::KeyPress(char& Key) {
    TCallOut held{this, GetParentForm(this)};
    if (Key == '\r' && EditorMode()) {
        const bool kept = CommitEditor();
        if (held.Gone()) return;
        if (!kept) {
            Key = 0;
            return;
        }
    } else if (Key == '\r' || Key == ' ') {
        if (Col() == ColorsColumn() && Col() > 0 && !EditorMode()) {
            Key = 0;
            ChangeColor();
            return;
        }
    }
    TCustomGrid::KeyPress(Key);
    if (held.Gone()) return;
    NotifyNavigator();
}

void TCustomChartGrid::KeyDown(WORD& Key, TShiftState Shift) {
    if (Shift.Contains(ssCtrl)) {
        TCustomGrid::KeyDown(Key, Shift);
        return;
    }
    TCallOut held{this, GetParentForm(this)};
    const int lastRow = RowCount() - 1;
    switch (Key) {
    case VK_INSERT:
        Key = 0;
        Insert();
        return;
    case VK_DELETE:
        if (!EditorMode()) {
            StartEditing();
            if (held.Gone()) return;
        }
        break;
    case VK_F2:
        Key = 0;
        if (Col() == ColorsColumn() && Col() > 0)
            ChangeColor();
        else
            StartEditing();
        return;
    case VK_ESCAPE:
        Key = 0;
        StopEditing(true);
        if (held.Gone()) return;
        NotifyNavigator();
        return;
    case VK_DOWN:
        if (Row() == lastRow && !FGrid3DMode && (FChart || FSeries)) {
            const bool kept = CommitEditor();
            if (held.Gone()) return;
            if (!kept) {
                Key = 0;
                return;
            }
            HideEditor();
            if (held.Gone()) return;
            int col = Col();
            if (col == ColorsColumn() && col > 0) ++col;
            TChartSeries* s = nullptr;
            TChartValueList* l;
            if (!GetSeries(col, s, l)) {
                std::vector<TChartSeries*> shown;
                ShownSeries(shown);
                s = shown.empty() ? nullptr : shown.front();
            }
            if (s) {
                {
                    struct Guard {
                        bool& f;
                        ~Guard() { f = false; }
                    } guard{FStoring = true};
                    AppendNull(s);
                    s->SetHasDataStored(true);
                }
                AppendNullRow();
                if (held.Gone()) return;
                RepaintSeries();
            }
            Key = 0;
            return;
        }
        break;
    case VK_UP:
        if (Row() == lastRow && Row() > FirstRowNum() && !FGrid3DMode && !EditorMode()) {
            const int index = Row() - FirstRowNum();
            std::vector<TChartSeries*> shown;
            ShownSeries(shown);
            bool empty = CellText(LabelsColumn(), Row()).IsEmpty();
            for (TChartSeries* s : shown)
                if (index < s->Count() && (!s->IsNull(index) || !s->GetXLabel(index).IsEmpty()))
                    empty = false;
            if (empty) {
                {
                    struct Guard {
                        bool& f;
                        ~Guard() { f = false; }
                    } guard{FStoring = true};
                    for (TChartSeries* s : shown)
                        if (index < s->Count()) s->Delete(index);
                }
                SetRow(Row() - 1);
                if (held.Gone()) return;
                RecalcDimensions();
                RepaintSeries();
                Key = 0;
                return;
            }
        }
        break;
    default:
        break;
    }
    TCustomGrid::KeyDown(Key, Shift);
    if (held.Gone()) return;
    NotifyNavigator();
}

void TCustomChartGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TGridCoord cell = MouseCoord(X, Y);
    if (Button == mbLeft && !EditorMode() && cell.X > 0 && cell.Y >= 0 && cell.Y < FirstRowNum() &&
        RowCount() > FirstRowNum()) {
        TGridRect r{cell.X, FirstRowNum(), cell.X, RowCount() - 1};
        SetSelection(r);
    }
    TCallOut held{this, GetParentForm(this)};
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    if (held.Gone()) return;
    NotifyNavigator();
}

void TCustomChartGrid::DblClick() {
    if (Col() == ColorsColumn() && Col() > 0) {
        ChangeColor();
        return;
    }
    TCustomGrid::DblClick();
}

void TCustomChartGrid::DrawHeader(int ACol, int ARow, const TRect& R) {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clBtnText);
    TChartSeries* s;
    TChartValueList* list;
    const bool value = GetSeries(ACol, s, list);
    if (ARow == 0 && FShowFields) {
        if (value && FColumns[size_t(ACol - FDataColumn)].First) {
            if (s->UseSeriesColor()) {
                c->Brush()->SetStyle(bsSolid);
                PaintSeriesLegend(s, c, TRect(R.Left + 4, R.Top + 4, R.Left + 16, R.Top + 16));
                c->Brush()->SetStyle(bsClear);
            }
            c->TextOut(R.Left + 18, R.Top + 4, SeriesTitleOrName(s));
        }
        return;
    }
    AnsiString text;
    if (ACol == 0)
        text = "#";
    else if (ACol == LabelsColumn())
        text = TeeMsg_Text;
    else if (ACol == ColorsColumn())
        text = TeeMsg_Colors;
    else if (value && FGrid3DMode)
        text = FormatFloat("0.###", F3DMinX + (ACol - 1));
    else if (value)
        text = list->Name();
    const int left = value && !FShowFields ? 18 : 2;
    c->TextOut(R.Left + left, R.Top + 2, text);
}

void TCustomChartGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    TCustomGrid::DrawCell(ACol, ARow, ARect, AState);
    if (!FChart && !FSeries) return;
    TCanvas* c = Canvas();
    if (ARow < FirstRowNum()) {
        DrawHeader(ACol, ARow, ARect);
        return;
    }
    c->Brush()->SetStyle(bsClear);
    if (ACol == 0) {
        const AnsiString t = FGrid3DMode ? FormatFloat("0.###", F3DMinZ + (ARow - FirstRowNum()))
                                         : IntToStr(ARow - FirstRowNum());
        c->Font()->SetColor(clBtnText);
        c->TextOut(ARect.Right - 2 - c->TextWidth(t), ARect.Top + 2, t);
        return;
    }
    if (ACol == ColorsColumn()) {
        const int index = ARow - FirstRowNum();
        TColor color = Color();
        std::vector<TChartSeries*> shown;
        ShownSeries(shown);
        for (TChartSeries* s : shown)
            if (index < s->Count()) {
                const TColor v = s->ValueColor(index);
                if (v != clNone) color = v;
                break;
            }
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(color);
        c->FillRect(TRect(ARect.Left + 2, ARect.Top + 2, ARect.Right - 2, ARect.Bottom - 2));
        return;
    }
    const AnsiString t = CellText(ACol, ARow);
    if (ACol == LabelsColumn())
        c->TextOut(ARect.Left + 2, ARect.Top + 2, t);
    else
        c->TextOut(ARect.Right - 2 - c->TextWidth(t), ARect.Top + 2, t);
}

// ---------------------------------------------------------------------------
// TChartGridNavigator

TChartGridNavigator::TChartGridNavigator(TComponent* AOwner) : TCustomTeeNavigator(AOwner) {
    for (int i = nbInsert; i <= nbCancel; ++i)
        Buttons(static_cast<TTeeNavigateBtn>(i))->SetVisible(true);
    SetBounds(Left(), Top(), Width(), Height());
    EnableButtons();
}

TChartGridNavigator::~TChartGridNavigator() = default;

void TChartGridNavigator::SetGrid(TCustomChartGrid* Value) {
    if (TCustomChartGrid* old = FGrid) {
        old->RemoveFreeNotification(this);
        old->SetNavigator(nullptr);
    }
    FGrid = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->SetNavigator(this);
    }
    EnableButtons();
}

void TChartGridNavigator::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomTeeNavigator::Notification(AComponent, Operation);
    if (Operation == opRemove && FGrid.Gone()) {
        FGrid = nullptr;
        if (!IsDestroying()) EnableButtons();
    }
}

void TChartGridNavigator::EnableButtons() {
    if (TCustomChartGrid* g = FGrid)
        EnableButtonsColRow(g->Col(), g->Row());
    else
        EnableButtonsColRow(0, 0);
}

void TChartGridNavigator::EnableButtonsColRow(int, int ARow) {
    TCustomChartGrid* g = FGrid;
    auto set = [this](TTeeNavigateBtn b, bool on) { Buttons(b)->SetEnabled(on && Enabled()); };
    if (!g) {
        for (int i = 0; i < TeeNavButtonCount; ++i)
            set(static_cast<TTeeNavigateBtn>(i), false);
        return;
    }
    const int last = g->RowCount() - 1;
    set(nbFirst, ARow > g->FirstRowNum());
    set(nbPrior, ARow > g->FirstRowNum());
    set(nbNext, ARow < last);
    set(nbLast, ARow < last);
    const bool insert = g->Options().Contains(goEditing) && !g->EditorMode() && g->Chart() &&
                        g->Chart()->SeriesCount() > 0;
    set(nbInsert, insert);
    set(nbDelete, g->RowCount() > g->FirstRowNum() && insert && g->HasPoints());
    set(nbEdit, insert);
    set(nbPost, g->EditorMode());
    set(nbCancel, g->EditorMode());
}

void TChartGridNavigator::BtnClick(TTeeNavigateBtn Index) {
    TCustomChartGrid* g = FGrid;
    if (!g) return;
    switch (Index) {
    case nbFirst:
        if (g->Row() > g->FirstRowNum()) g->SetRow(g->FirstRowNum());
        break;
    case nbPrior:
        if (g->Row() > g->FirstRowNum()) g->SetRow(g->Row() - 1);
        break;
    case nbNext:
        if (g->Row() < g->RowCount() - 1) g->SetRow(g->Row() + 1);
        break;
    case nbLast:
        g->SetRow(g->RowCount() - 1);
        break;
    case nbInsert:
        g->Insert();
        break;
    case nbDelete:
        g->Delete();
        break;
    case nbEdit:
        if (g->CanFocus()) {
            // Entering the grid calls its handler.
            TCallOut held{this, g, GetParentForm(this), GetParentForm(g)};
            g->SetFocus();
            if (held.Gone()) return;
        }
        g->StartEditing();
        break;
    case nbPost:
        g->StopEditing(false);
        break;
    case nbCancel:
        g->StopEditing(true);
        break;
    }
}
