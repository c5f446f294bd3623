#include "chart/editor/teelisb.h"
#include "platform/classes/watched.h"
#include "chart/editor/teefieldprop.h"
#include "chart/control/teelegend.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/teeseriesicon.h"
#include "chart/engine/teeconst.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/forms.h"
#include "platform/rtl/format.h"
#include <algorithm>
#include <numeric>

QM_CLASS_OWNED(TChartListBox, TListBox, TComponent)

QM_PUBLISHED(
    TChartListBox, FieldProp("AllowAddSeries", &Self::AllowAddSeries).Default(true),
    FieldProp("AllowDeleteSeries", &Self::AllowDeleteSeries).Default(true),
    FieldProp("AskDelete", &Self::AskDelete).Default(true),
    Prop("Chart", &Self::Chart, &Self::SetChart),
    FieldProp("EnableChangeColor", &Self::EnableChangeColor).Default(true),
    FieldProp("EnableDragSeries", &Self::EnableDragSeries).Default(true),
    FieldProp("EnableChangeType", &Self::EnableChangeType).Default(true),
    Prop("ShowActiveCheck", &Self::ShowActiveCheck, &Self::SetShowActiveCheck).Default(true),
    Prop("ShowSeriesColor", &Self::ShowSeriesColor, &Self::SetShowSeriesColor).Default(true),
    Prop("ShowSeriesIcon", &Self::ShowSeriesIcon, &Self::SetShowSeriesIcon).Default(true),
    Prop("ShowSeriesTitle", &Self::ShowSeriesTitle, &Self::SetShowSeriesTitle).Default(true),
    Prop("OnChangeColor", &Self::OnChangeColor), Prop("OnChangeOrder", &Self::OnChangeOrder),
    Prop("OnDblClickSeries", &Self::OnDblClickSeries),
    Prop("OnOtherItemsChange", &Self::OnOtherItemsChange), Prop("OnRefresh", &Self::OnRefresh),
    Prop("OnRemovedSeries", &Self::OnRemovedSeries),
    // The list box's own events.
    Prop("OnClick", &Self::OnClick), Prop("OnDblClick", &Self::OnDblClick),
    Prop("OnDragDrop", &Self::OnDragDrop), Prop("OnDragOver", &Self::OnDragOver),
    Prop("OnEndDrag", &Self::OnEndDrag), Prop("OnEnter", &Self::OnEnter),
    Prop("OnExit", &Self::OnExit), Prop("OnKeyDown", &Self::OnKeyDown),
    Prop("OnKeyPress", &Self::OnKeyPress), Prop("OnKeyUp", &Self::OnKeyUp),
    Prop("OnMouseDown", &Self::OnMouseDown), Prop("OnMouseMove", &Self::OnMouseMove),
    Prop("OnMouseUp", &Self::OnMouseUp));

TTeeAddGalleryProc TeeAddGalleryProc;
TTeeChangeGalleryProc TeeChangeGalleryProc;

TChartListBox::TChartListBox(TComponent* AOwner) : TListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
    SetItemHeight(24);
    SetSorted(false);
    SetMultiSelect(true);
    OnDrawItem = [this](TWinControl* C, int I, TRect R, TOwnerDrawState S) { DrawRow(C, I, R, S); };
}

TChartListBox::~TChartListBox() {
    FDestroying = true;
    if (FChart) {
        FChart->RemoveListener(this);
        FChart->RemoveFreeNotification(this);
    }
}

AnsiString TChartListBox::SeriesText(TChartSeries* S) {
    return S->Title().IsEmpty() ? S->Name() : S->Title();
}

void TChartListBox::SetChart(TCustomChart* Value) {
    if (Value == FChart) return;
    if (FChart) {
        FChart->RemoveListener(this);
        FChart->RemoveFreeNotification(this);
    }
    FChart = Value;
    if (FChart) {
        FChart->FreeNotification(this);
        FChart->Listeners()->Add(this);
        FillSeries(nullptr);
    } else {
        Items()->Clear();
        if (FOtherItems) FOtherItems->Clear();
    }
}

void TChartListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TListBox::Notification(AComponent, Operation);
    if (Operation == opRemove && FChart.Is(AComponent)) {
        FChart = nullptr;
        if (!FDestroying && !IsDestroying()) Items()->Clear();
    }
}

void TChartListBox::DoRefresh() {
    if (OnRefresh) OnRefresh(this);
}

void TChartListBox::FillSeries(TChartSeries* OldSeries) {
    if (FDestroying || IsDestroying()) return;
    Items()->Clear();
    if (FChart)
        for (int i = 0; i < FChart->SeriesCount(); ++i) {
            TChartSeries* s = FChart->Series(i);
            Items()->AddObject(SeriesText(s), s);
        }
    if (FOtherItems) FOtherItems->Assign(Items());
    int index = Items()->IndexOfObject(OldSeries);
    if (index < 0 && Items()->Count() > 0) index = 0;
    Select({index}, index, TTell::AtEnd);
    TCallOut held{this};
    if (OnOtherItemsChange) OnOtherItemsChange(this);
    if (held.Gone()) return;
    DoRefresh();
}

void TChartListBox::UpdateSeries() {
    FillSeries(GetSelectedSeries());
}

TChartSeries* TChartListBox::GetSeries(int Index) const {
    if (Index < 0 || Index >= Items()->Count()) return nullptr;
    return static_cast<TChartSeries*>(Items()->Objects(Index));
}

TChartSeries* TChartListBox::GetSelectedSeries() const {
    return GetSeries(ItemIndex());
}

void TChartListBox::SetSelectedSeries(TChartSeries* Value) {
    const int index = Items()->IndexOfObject(Value);
    Select({index}, index, TTell::Now);
}

void TChartListBox::SelectSeries(int Index) {
    if (Index < 0 || Index >= Items()->Count()) return;
    std::vector<int> rows = SelectedRows();
    rows.push_back(Index);
    Select(rows, Index, TTell::Now);
}

bool TChartListBox::AnySelected() const {
    return MultiSelect() ? SelCount() > 0 : ItemIndex() != -1;
}

void TChartListBox::SelectAll() {
    if (!MultiSelect()) return;
    std::vector<int> rows(static_cast<size_t>(Items()->Count()));
    std::iota(rows.begin(), rows.end(), 0);
    Select(rows, ItemIndex(), TTell::Now);
}

void TChartListBox::ClearSelection() {
    // With multiple selection the current row stays, unmarked.
    Select({}, MultiSelect() ? ItemIndex() : -1, TTell::Now);
}

void TChartListBox::SetItemIndex(int Value) {
    Select(SelectedRows(), Value, TTell::Now);
}

void TChartListBox::SetSelected(int Index, bool Value) {
    TListBox::SetSelected(Index, Value); // raises for a row that is not there
    Select(SelectedRows(), ItemIndex(), TTell::Now);
}

void TChartListBox::Select(const std::vector<int>& Rows, int Current, TTell Tell) {
    const int count = Items()->Count();
    TListBox::ClearSelection();
    if (MultiSelect())
        for (int row : Rows)
            if (row >= 0 && row < count) TListBox::SetSelected(row, true);
    TListBox::SetItemIndex(Current);
    if (Tell == TTell::Now) DoRefresh();
}

void TChartListBox::Click() {
    // The platform marked the rows already; the listener may free the list.
    TCallOut held{this};
    DoRefresh();
    if (held.Gone()) return;
    TListBox::Click();
}

std::vector<int> TChartListBox::SelectedRows() const {
    std::vector<int> rows;
    if (MultiSelect()) {
        for (int i = 0; i < Items()->Count(); ++i)
            if (Selected(i)) rows.push_back(i);
    } else if (ItemIndex() >= 0) {
        rows.push_back(ItemIndex());
    }
    return rows;
}

std::vector<int> TChartListBox::RowsOf(const std::vector<TChartSeries*>& List) const {
    std::vector<int> rows;
    for (TChartSeries* s : List)
        if (const int row = Items()->IndexOfObject(s); row >= 0) rows.push_back(row);
    return rows;
}

std::vector<TChartSeries*> TChartListBox::SelectedList() const {
    std::vector<TChartSeries*> result;
    if (MultiSelect()) {
        for (int i = 0; i < Items()->Count(); ++i)
            if (Selected(i)) result.push_back(GetSeries(i));
    }
    if (result.empty() && GetSelectedSeries()) result.push_back(GetSelectedSeries());
    return result;
}

// ---------------------------------------------------------------------------
// Commands

namespace {
bool AnyGone(const std::vector<TWatched<TChartSeries>>& List) {
    return std::ranges::any_of(List, [](const TWatched<TChartSeries>& s) { return s.Gone(); });
}
} // namespace

void TChartListBox::SwapSeries(int A, int B) {
    const int count = Items()->Count();
    if (A == B || A < 0 || B < 0 || A >= count || B >= count) return;
    Items()->Exchange(A, B);
    if (FOtherItems && FOtherItems->Count() == count) FOtherItems->Exchange(A, B);
    // The chart's swap refills the list and the list's handlers run: any of
    // them, and entering the list, may free the list or its form.
    TCallOut held{this, GetParentForm(this)};
    if (FChart) {
        TChartSeries* s1 = GetSeries(B);
        TChartSeries* s2 = GetSeries(A);
        FChart->ExchangeSeries(s1, s2);
        if (held.Gone()) return;
        if (OnChangeOrder) OnChangeOrder(this, s1, s2);
        if (held.Gone()) return;
    }
    if (TCustomForm* form = GetParentForm(this); form && CanFocus()) {
        form->SetActiveControl(this);
        if (held.Gone()) return;
    }
    Select({B}, B, TTell::Now);
}

void TChartListBox::MoveCurrentUp() {
    if (ItemIndex() > 0) SwapSeries(ItemIndex(), ItemIndex() - 1);
}

void TChartListBox::MoveCurrentDown() {
    if (ItemIndex() >= 0 && ItemIndex() < Items()->Count() - 1)
        SwapSeries(ItemIndex(), ItemIndex() + 1);
}

TChartSeries* TChartListBox::AddSeriesGallery() {
    if (!TeeAddGalleryProc || !FChart) return nullptr;
    // The list's form may go while the gallery shows.
    TCallOut held{this, GetParentForm(this)};
    TChartSeries* s = TeeAddGalleryProc(Owner(), FChart, GetSelectedSeries());
    if (held.Gone()) return nullptr;
    if (!s) return nullptr;
    const int row = Items()->IndexOfObject(s);
    // The listener told of the new row may free the list or the series.
    TCallOut told{this, s};
    Select({row}, row, TTell::Now);
    return told.Gone() ? nullptr : s;
}

void TChartListBox::DeleteSeries() {
    if (!AnySelected()) return;
    const std::vector<TChartSeries*> selected = SelectedList();
    if (selected.empty()) return;
    const std::vector<TWatched<TChartSeries>> doomed(selected.begin(), selected.end());
    if (AskDelete) {
        const AnsiString what = (MultiSelect() && SelCount() > 1) ? TeeMsg_SelectedSeries
                                                                  : SeriesText(selected.front());
        TCallOut held{this, GetParentForm(this)};
        const int answer =
            MessageDlg(Format(TeeMsg_SureToDelete, {what}), mtConfirmation, {mbYes, mbNo});
        if (held.Gone()) return;
        // What was asked about is no longer what would be deleted.
        if (answer != mrYes || AnyGone(doomed)) return;
    }
    // The chart's remove events take the rows away, and the handler of a
    // removed series may free the list or its form.
    TCallOut held{this, GetParentForm(this)};
    for (const TWatched<TChartSeries>& s : doomed) {
        delete s.Get();
        if (held.Gone()) return;
    }
    const int first = Items()->Count() > 0 ? 0 : -1;
    Select({first}, first, TTell::Now);
}

bool TChartListBox::RenameSeries() {
    TChartSeries* s = GetSelectedSeries();
    if (!s) return false;
    const int index = ItemIndex();
    const AnsiString before = SeriesText(s);
    AnsiString text = before;
    TCallOut held{this, s};
    const bool entered = InputQuery(TeeMsg_ChangeSeriesTitle, TeeMsg_NewSeriesTitle, text);
    if (held.Gone()) return false;
    if (entered && !text.IsEmpty()) s->SetTitle(text == s->Name() ? AnsiString() : text);
    const bool changed = SeriesText(s) != before;
    SelectSeries(index);
    return changed;
}

void TChartListBox::CloneSeries() {
    if (TChartSeries* s = GetSelectedSeries()) CloneChartSeries(s);
}

void TChartListBox::ChangeTypeSeries() {
    if (!AnySelected() || !FChart || !TeeChangeGalleryProc) return;
    std::vector<TChartSeries*> list = SelectedList();
    if (list.empty()) return;
    TChartSeries* first = list.front();
    // A change frees the first and hands back its successor.
    const std::vector<TWatched<TChartSeries>> held(list.begin(), list.end());
    TCallOut out{this, GetParentForm(this)};
    const TClass newClass = TeeChangeGalleryProc(Owner(), first);
    if (out.Gone()) return;
    if (!newClass && held.front().Gone()) return;
    // The first is changed already; the rest only when each is still there.
    if (AnyGone({held.begin() + 1, held.end()})) return;
    list.front() = first;
    // Each change refills the list, whose handlers may free it.
    if (newClass)
        for (size_t i = 1; i < list.size(); ++i) {
            ChangeSeriesType(list[i], newClass);
            if (out.Gone()) return;
        }
    const std::vector<int> rows = RowsOf(list);
    Select(rows, rows.empty() ? -1 : rows.back(), TTell::Now);
}

// ---------------------------------------------------------------------------
// Columns, drawing, mouse and keys

void TChartListBox::SetSectionVisible(int Section, bool Value) {
    FSections[Section].Visible = Value;
    Invalidate();
}

int TChartListBox::SectionLeft(int Section) const {
    int left = 0;
    for (int i = 0; i < Section; ++i)
        if (FSections[i].Visible) left += FSections[i].Width;
    return left;
}

bool TChartListBox::PointInSection(const TPoint& P, int Section) const {
    if (!FSections[Section].Visible) return false;
    const int left = SectionLeft(Section);
    return P.x > left && P.x < left + FSections[Section].Width;
}

TChartSeries* TChartListBox::SeriesAtMousePos(TPoint& P) const {
    const int index = ItemAtPos(P, true);
    return index >= 0 ? GetSeries(index) : nullptr;
}

void TChartListBox::DrawRow(TWinControl*, int Index, TRect R, TOwnerDrawState State) {
    TCanvas* c = Canvas();
    const bool selected = State.Contains(odSelected);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(selected ? clHighlight : Color());
    c->FillRect(R);
    c->Brush()->SetColor(Color());
    c->FillRect(TRect(R.Left, R.Top, SectionLeft(secTitle) - 2, R.Bottom));
    TChartSeries* s = GetSeries(Index);
    if (s) {
        if (ShowSeriesIcon())
            TeeDrawSeriesIcon(s->ClassType(), c, R.Left + SectionLeft(secIcon), R.Top);
        if (ShowSeriesColor() && s->UseSeriesColor()) {
            const int left = R.Left + SectionLeft(secColor) - 2;
            PaintSeriesLegend(
                s, c,
                TRect(left + 4, R.Top + 4, left + FSections[secColor].Width - 4, R.Bottom - 4));
        }
        if (ShowActiveCheck()) {
            const int left = R.Left + SectionLeft(secActive) + 2;
            TRect box(left, R.Top + 6, left + 10, R.Top + 18);
            c->Pen()->SetColor(clBlack);
            c->Brush()->SetColor(Color());
            c->Rectangle(box.Left, box.Top, box.Right, box.Bottom);
            if (s->Active()) {
                c->MoveTo(box.Left + 2, box.Top + 5);
                c->LineTo(box.Left + 4, box.Top + 8);
                c->LineTo(box.Left + 8, box.Top + 2);
            }
        }
    }
    if (ShowSeriesTitle()) {
        c->Font()->Assign(Font());
        c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
        c->Brush()->SetStyle(bsClear);
        c->TextOut(SectionLeft(secTitle) + 1, R.Top + (ItemHeight() - c->TextHeight("W")) / 2,
                   Items()->Strings(Index));
        c->Brush()->SetStyle(bsSolid);
    }
}

// The list's own handlers of the mouse, keys and drags run first and may free
// the list or its form.
void TChartListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    TListBox::MouseDown(Button, Shift, X, Y);
    if (held.Gone()) return;
    FLastMouse = TPoint(X, Y);
    TPoint p(X, Y);
    TChartSeries* s = ItemIndex() != -1 ? SeriesAtMousePos(p) : nullptr;
    if (s && PointInSection(p, secActive)) {
        s->SetActive(!s->Active());
        Invalidate();
    } else if (s && EnableDragSeries && PointInSection(p, secTitle) && !FDblClicked &&
               Button == mbLeft && !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) {
        BeginDrag(false);
        if (held.Gone()) return;
    }
    FDblClicked = false;
    if (OnOtherItemsChange) OnOtherItemsChange(this);
}

void TChartListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    TListBox::MouseMove(Shift, X, Y);
    if (held.Gone()) return;
    FLastMouse = TPoint(X, Y);
    TPoint p(X, Y);
    TCursor cursor = crDefault;
    if (SeriesAtMousePos(p) && ((PointInSection(p, secIcon) && EnableChangeType) ||
                                (PointInSection(p, secColor) && EnableChangeColor)))
        cursor = crHandPoint;
    SetCursor(cursor);
}

void TChartListBox::DblClick() {
    FDblClicked = true;
    TCallOut clicked{this, GetParentForm(this)};
    TListBox::DblClick();
    if (clicked.Gone()) return;
    // Where the button went down: the pointer may have moved on since.
    const TPoint p = FLastMouse;
    const int index = ItemAtPos(p, true);
    if (index < 0 || !(MultiSelect() ? Selected(index) : index == ItemIndex())) return;
    TChartSeries* s = GetSeries(index);
    if (!s) return;
    if (PointInSection(p, secIcon) && EnableChangeType) {
        ChangeTypeSeries();
    } else if (PointInSection(p, secColor) && EnableChangeColor && s->UseSeriesColor()) {
        TColor color = s->SeriesColor();
        {
            // The dialog is the list's: it goes before the handler, which may free the list.
            TColorDialog dialog(this);
            dialog.SetColor(color);
            TCallOut held{this, s};
            const bool chosen = dialog.Execute();
            if (held.Gone() || !chosen) return;
            color = dialog.Color();
        }
        s->SetSeriesColor(color);
        s->SetColorEachPoint(false);
        if (OnChangeColor) OnChangeColor(this, s);
    } else if (PointInSection(p, secTitle) && OnDblClickSeries) {
        OnDblClickSeries(this, index);
    }
}

void TChartListBox::KeyUp(WORD& Key, TShiftState Shift) {
    TCallOut held{this, GetParentForm(this)};
    TListBox::KeyUp(Key, Shift);
    if (held.Gone()) return;
    if (Key == VK_INSERT && AllowAddSeries)
        AddSeriesGallery();
    else if (Key == VK_DELETE && AllowDeleteSeries)
        DeleteSeries();
}

void TChartListBox::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    TCallOut held{this, GetParentForm(this)};
    TListBox::DragOver(Source, X, Y, State, Accept);
    if (held.Gone()) return;
    Accept = EnableDragSeries && Source == this;
}

void TChartListBox::DragDrop(TObject* Source, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    TListBox::DragDrop(Source, X, Y);
    if (held.Gone() || Source != this) return;
    const int index = ItemAtPos(TPoint(X, Y), true);
    if (index >= 0 && index != ItemIndex()) SwapSeries(ItemIndex(), index);
}

// ---------------------------------------------------------------------------
// Chart events

void TChartListBox::TeeEvent(TTeeEvent* Event) {
    if (FDestroying || IsDestroying()) return;
    auto* e = dynamic_cast<TTeeSeriesEvent*>(Event);
    if (!e) return;
    switch (e->Event) {
    case seAdd:
    case seSwap:
        UpdateSeries();
        break;
    case seRemove: {
        const int index = Items()->IndexOfObject(e->Series);
        if (index >= 0) {
            // The rows below move up: what stays selected is kept by series.
            std::vector<TChartSeries*> selected;
            for (int row : SelectedRows())
                selected.push_back(GetSeries(row));
            TChartSeries* current = GetSelectedSeries();
            Items()->Delete(index);
            if (FOtherItems && index < FOtherItems->Count()) FOtherItems->Delete(index);
            TCallOut held{this};
            Select(RowsOf(selected), Items()->IndexOfObject(current), TTell::Now);
            if (held.Gone()) return;
        }
        if (OnRemovedSeries) OnRemovedSeries(this, e->Series);
        break;
    }
    case seChangeTitle: {
        const int index = Items()->IndexOfObject(e->Series);
        if (index >= 0) Items()->SetStrings(index, SeriesText(e->Series));
        break;
    }
    case seChangeColor:
    case seChangeActive:
        Invalidate();
        break;
    default:
        break;
    }
}
