#include "chart/control/tooledit.h"

#include "chart/control/teeeditorhooks.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teesources.h"
#include "chart/engine/teetools.h"
#include "platform/classes/stringlist.h"
#include "platform/classes/watched.h"
#include "platform/forms/stdctrls.h"
#include <algorithm>
#include <cstdlib>

QM_CLASS_OWNED(TSeriesToolEditor, TForm, TComponent)
QM_CLASS_OWNED(TButtonPen, TTeeButton, TComponent)
QM_CLASS_ABSTRACT(TListedObjects, TComponent)

// ---------------------------------------------------------------------------
// TListedObjects

TListedObjects::TListedObjects(TComponent* AOwner, TComboBox* AList)
    : TComponent(AOwner), FCombo(AList) {}

TListedObjects::TListedObjects(TComponent* AOwner, TListBox* AList)
    : TComponent(AOwner), FListBox(AList) {}

TStrings* TListedObjects::Items() const {
    if (FCombo) return FCombo->Items();
    return FListBox ? FListBox->Items() : nullptr;
}

int TListedObjects::ItemIndex() const {
    if (FCombo) return FCombo->ItemIndex();
    return FListBox ? FListBox->ItemIndex() : -1;
}

void TListedObjects::SetItemIndex(int Index) {
    if (FCombo)
        FCombo->SetItemIndex(Index);
    else if (FListBox)
        FListBox->SetItemIndex(Index);
}

void TListedObjects::Clear() {
    for (const TWatched<TComponent>& o : FObjects)
        if (o) o->RemoveFreeNotification(this);
    FObjects.clear();
    if (TStrings* items = Items()) items->Clear();
}

int TListedObjects::Add(const AnsiString& Text, TComponent* AObject) {
    Insert(Count(), Text, AObject);
    return Count() - 1;
}

void TListedObjects::Insert(int Index, const AnsiString& Text, TComponent* AObject) {
    TStrings* items = Items();
    if (!items) return;
    Index = std::clamp(Index, 0, Count());
    // The text alone goes into the list: the row's object is held here.
    items->Insert(Index, Text);
    FObjects.insert(FObjects.begin() + Index, TWatched<TComponent>(AObject));
    if (AObject) AObject->FreeNotification(this);
}

void TListedObjects::Delete(int Index) {
    if (Index < 0 || Index >= Count()) return;
    FObjects.erase(FObjects.begin() + Index);
    if (TStrings* items = Items(); items && Index < items->Count()) items->Delete(Index);
}

void TListedObjects::Exchange(int A, int B) {
    if (A < 0 || B < 0 || A >= Count() || B >= Count()) return;
    std::swap(FObjects[A], FObjects[B]);
    if (TStrings* items = Items(); items && std::max(A, B) < items->Count()) items->Exchange(A, B);
}

TComponent* TListedObjects::Object(int Index) const {
    return Index >= 0 && Index < Count() ? FObjects[Index].Get() : nullptr;
}

int TListedObjects::IndexOf(const TComponent* AObject) const {
    for (int i = 0; i < Count(); ++i)
        if (FObjects[i].Get() == AObject && !FObjects[i].Gone()) return i;
    return -1;
}

void TListedObjects::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || IsDestroying() || !Items()) return;
    int chosen = ItemIndex();
    bool chosenLeft = false, left = false;
    for (int i = Count() - 1; i >= 0; --i) {
        if (!FObjects[i].Gone()) continue;
        Delete(i);
        left = true;
        if (i == chosen)
            chosenLeft = true;
        else if (i < chosen)
            --chosen;
    }
    if (!left) return;
    SetItemIndex(chosenLeft ? IndexOf(nullptr) : chosen);
    if (OnDropped) OnDropped(this);
}

void ListSeries(TListedObjects* AList, TCustomAxisPanel* AChart) {
    for (int i = 0; AChart && i < AChart->SeriesCount(); ++i) {
        TChartSeries* s = AChart->GetSeries(i);
        if (!s->InternalUse()) AList->Add(SeriesTitleOrName(s), s);
    }
}

// ---------------------------------------------------------------------------
// TSeriesToolEditor

TSeriesToolEditor::TSeriesToolEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(233);
    SetClientHeight(172);
    SetColor(clBtnFace);
    SetParentFont(true);
    SetBorderIcons({biSystemMenu});
    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetBounds(8, 12, 40, 13);
    Label1->SetAlignment(taRightJustify);
    Label1->SetCaption("&Series:");
    CBSeries = new TComboFlat(this);
    CBSeries->SetName("CBSeries");
    CBSeries->SetParent(this);
    CBSeries->SetBounds(52, 8, 145, 21);
    CBSeries->SetHelpContext(1121);
    CBSeries->SetTabOrder(0);
    CBSeries->OnChange = [this](TObject* Sender) { CBSeriesChange(Sender); };
    Label1->SetFocusControl(CBSeries);
    FSeriesItems = new TListedObjects(this, CBSeries);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    FormCreate(this);
}

void TSeriesToolEditor::FormCreate(TObject*) {
    SetAlign(alClient);
}

void TSeriesToolEditor::FormShow(TObject*) {
    TakeSubject(this, FTool);
    if (!FTool) return;
    TCustomAxisPanel* chart = FTool->ParentChart();
    // Refilled, so showing the form again never lists a series twice.
    FSeriesItems->Clear();
    ListSeries(FSeriesItems, chart);
    CBSeries->SetEnabled(chart && chart->SeriesCount() > 0);
    FSeriesItems->Insert(0, TeeMsg_None);
    CBSeries->SetItemIndex(FTool->Series() ? FSeriesItems->IndexOf(FTool->Series()) : -1);
}

void TSeriesToolEditor::CBSeriesChange(TObject*) {
    if (FTool) FTool->SetSeries(dynamic_cast<TChartSeries*>(FSeriesItems->Chosen()));
}

// ---------------------------------------------------------------------------
// TButtonPen

void TButtonPen::LinkPen(TChartPen* APen) {
    FPen = APen;
    LinkProperty(APen, "");
    Invalidate();
}

void TButtonPen::Click() {
    if (TChartPen* pen = Pen()) {
        // The pen's dialog is modal: the button or its form may go meanwhile.
        TCallOut held{this, GetParentForm(this)};
        const bool edited = EditChartPen(this, pen, FHideColor);
        if (held.Gone() || !edited) return;
        Invalidate();
    }
    TTeeButton::Click();
}

void TButtonPen::DrawSymbol(TTeeCanvas3D* ACanvas) {
    TChartPen* pen = Pen();
    if (!pen || !pen->Visible()) return;
    ACanvas->AssignVisiblePen(pen);
    if (!Enabled()) ACanvas->Pen()->SetColor(clGray);
    const int y = Height() / 2;
    ACanvas->DoHorizLine(Width() - 19, Width() - 6, y);
}

// ---------------------------------------------------------------------------
// Cursor names

namespace {
const TCursor TeeCursors[] = {
    crDefault,   crArrow,   crCross,     crIBeam,    crSizeNESW, crSizeNS,    crSizeNWSE,
    crSizeWE,    crUpArrow, crHourGlass, crDrag,     crNoDrop,   crHSplit,    crVSplit,
    crMultiDrag, crSQLWait, crNo,        crAppStart, crHelp,     crHandPoint, crSizeAll};
const char* const TeeHandName = "crTeeHand";

AnsiString WithoutCr(const AnsiString& S) {
    return S.SubString(1, 2) == "cr" ? S.SubString(3, S.Length() - 2) : S;
}
} // namespace

bool TeeCursorToIdent(TCursor ACursor, AnsiString& Name) {
    if (ACursor == crTeeHand) {
        Name = TeeHandName;
        return true;
    }
    return CursorToIdent(ACursor, Name);
}

bool TeeIdentToCursor(const AnsiString& Name, TCursor& ACursor) {
    if (SameText(Name, TeeHandName)) {
        ACursor = crTeeHand;
        return true;
    }
    return IdentToCursor(Name, ACursor);
}

void TeeFillCursors(TComboFlat* ACombo, TCursor ACursor) {
    ACombo->Clear();
    ACombo->SetItemIndex(-1);
    TStrings* items = ACombo->Items();
    items->BeginUpdate();
    for (TCursor c : TeeCursors) {
        AnsiString name;
        if (CursorToIdent(c, name)) items->Add(WithoutCr(name));
    }
    items->Add(WithoutCr(TeeHandName));
    items->EndUpdate();
    ACombo->SetSorted(true);
    AnsiString name;
    ACombo->SetItemIndex(TeeCursorToIdent(ACursor, name) ? items->IndexOf(WithoutCr(name)) : -1);
}

TCursor TeeSetCursor(TCursor ACursor, const AnsiString& Name) {
    TCursor c;
    return TeeIdentToCursor("cr" + Name, c) ? c : ACursor;
}

// ---------------------------------------------------------------------------
// Docking

void AddFormTo(TCustomForm* AForm, TWinControl* AParent, TPersistent* ASubject) {
    AForm->SetPosition(poDesigned);
    AForm->SetBorderStyle(bsNone);
    AForm->SetBorderIcons({});
    AForm->SetSubject(ASubject);
    AForm->SetParent(AParent);
    const bool wasVisible = AParent->Visible();
    AParent->SetVisible(true);
    AForm->SetLeft(4);
    AForm->SetTop(std::min(4, std::abs(AParent->ClientHeight() - AForm->ClientHeight()) / 2));
    AForm->Show();
    AParent->SetVisible(wasVisible);
}
