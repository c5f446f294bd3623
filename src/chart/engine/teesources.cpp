// Series sources, label lists, helper functions and the engine's start-up.
#include "chart/engine/teesources.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeheldmessages.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeseries.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/forms.h"
#include "platform/rtl/sysutils.h"
#include <memory>

// ---------------------------------------------------------------------------
// Series sources

TTeeSeriesSource::TTeeSeriesSource(TComponent* AOwner) : TComponent(AOwner) {}

TTeeSeriesSource::~TTeeSeriesSource() {
    Destroying();
    Close();
}

void TTeeSeriesSource::SetActive(bool Value) {
    if (FActive == Value) return;
    if (FSeries) {
        if (Value) {
            if (!IsLoading()) Load();
        } else if (!IsDestroying() && !FSeries->IsDestroying()) {
            FSeries->Clear();
        }
    }
    FActive = Value;
}

void TTeeSeriesSource::Open() {
    SetActive(true);
}

void TTeeSeriesSource::Close() {
    if (!IsLoading() && !IsDestroying()) SetActive(false);
}

void TTeeSeriesSource::Refresh() {
    if (FActive && !IsLoading()) Load();
}

void TTeeSeriesSource::Loaded() {
    TComponent::Loaded();
    Refresh();
}

void TTeeSeriesSource::SetSeries(TChartSeries* Value) {
    if (FSeries == Value && !FSeries.Gone()) return;
    Close();
    TChartSeries* old = FSeries;
    FSeries = Value;
    if (old) old->UnlinkSource(this);
    if (FSeries) {
        FSeries->FreeNotification(this);
        if (FSeries->DataSource() != this) FSeries->SetDataSource(this);
    } else if (old && old->DataSource() == this) {
        old->SetDataSource(nullptr);
    }
}

void TTeeSeriesSource::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    // A series going away reads gone already: nothing of it may be touched.
    if (Operation == opRemove && FSeries.Is(AComponent)) FSeries = nullptr;
}

bool TTeeSeriesSource::HasSeries(TChartSeries* ASeries) const {
    TComponent* source = ASeries ? ASeries->DataSource() : nullptr;
    return source && source->ClassName() == ClassName();
}

std::vector<TTeeSourceClass>& TeeSources() {
    static std::vector<TTeeSourceClass> sources;
    return sources;
}

// ---------------------------------------------------------------------------
// Label lists

TLabelsList::~TLabelsList() {
    Clear();
}

void TLabelsList::Assign(TLabelsList* Source) {
    Clear();
    for (int i = 0; i < Source->Count(); ++i)
        InsertLabel(i, Source->GetLabel(i));
}

AnsiString TLabelsList::GetLabel(int Index) const {
    if (Index < 0 || Index >= Count()) return AnsiString();
    const AnsiString* s = Entry(Index);
    return s ? *s : AnsiString();
}

void TLabelsList::SetLabel(int Index, const AnsiString& Text) {
    if (Index < 0) ListIndexError(Index);
    if (Index < Count()) {
        std::unique_ptr<AnsiString> old(Entry(Index));
        TList::SetItems(Index, nullptr);
    }
    if (!Text.IsEmpty()) {
        if (Index >= Count()) SetCount(Index + 1);
        TList::SetItems(Index, new AnsiString(Text));
    }
    if (FOwner) FOwner->Repaint();
}

void TLabelsList::InsertLabel(int Index, const AnsiString& Text) {
    if (Index < 0) ListIndexError(Index);
    if (Text.IsEmpty()) {
        if (Count() == 0) return;
        if (Index > Count()) SetCount(Index);
        TList::Insert(Index, nullptr);
        return;
    }
    if (Index > Count()) SetCount(Index);
    auto text = std::make_unique<AnsiString>(Text);
    TList::Insert(Index, text.get());
    text.release();
}

void TLabelsList::DeleteLabel(int Index) {
    std::unique_ptr<AnsiString> old(Entry(Index));
    TList::Delete(Index);
}

void TLabelsList::Clear() {
    for (int i = 0; i < Count(); ++i)
        std::unique_ptr<AnsiString> old(Entry(i));
    TList::Clear();
}

int TLabelsList::IndexOfLabel(const AnsiString& Text, bool CaseSensitive) const {
    const AnsiString wanted = CaseSensitive ? Text : Text.UpperCase();
    for (int i = 0; i < Count(); ++i) {
        const AnsiString* s = Entry(i);
        const AnsiString label = s ? *s : AnsiString();
        if ((CaseSensitive ? label : label.UpperCase()) == wanted) return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// Helpers

AnsiString SeriesTitleOrName(TChartSeries* ASeries) {
    AnsiString result = ASeries->Title();
    if (result.IsEmpty()) result = ASeries->Name();
    if (result.IsEmpty() && ASeries->ParentChart())
        result =
            TeeMsg_Series + IntToStr(ASeries->ParentChart()->SeriesList()->IndexOf(ASeries) + 1);
    return result;
}

void FillSeriesItems(TStrings* AItems, TCustomAxisPanel* AChart) {
    for (int i = 0; i < AChart->SeriesCount(); ++i) {
        TChartSeries* s = AChart->GetSeries(i);
        if (!s->InternalUse()) AItems->AddObject(SeriesTitleOrName(s), s);
    }
}

namespace {
TTeeHeldMessages* NewestHolder = nullptr;
}

TTeeHeldMessages::TTeeHeldMessages() : FOuter(NewestHolder) {
    NewestHolder = this;
}

TTeeHeldMessages::~TTeeHeldMessages() {
    NewestHolder = FOuter;
}

bool TTeeHeldMessages::Hold(const AnsiString& Message) {
    if (!NewestHolder) return false;
    NewestHolder->FMessages.push_back(Message);
    return true;
}

void ShowMessageUser(const AnsiString& S) {
    if (TTeeHeldMessages::Hold(S)) return;
    // Titled as the program's other boxes are, not left blank for the window system to fill.
    if (Application) Application->MessageBox(S, Application->Title(), MB_TASKMODAL | MB_ICONSTOP);
}

// ---------------------------------------------------------------------------
// Start and end of the program

namespace {
struct TEngineStartup {
    TEngineStartup() {
        // Older systems drew with 16-bit coordinates.
        TeeMaxPixelPos = IsWindowsNT ? 67108863 : 32767;
        RegisterClass(&TChartAxisTitle::ClassInfo);
        RegisterClass(&TChartAxis::ClassInfo);
        RegisterClass(&TChartDepthAxis::ClassInfo);
        RegisterClass(&TSeriesMarks::ClassInfo);
    }
    ~TEngineStartup() {
        TeeSources().clear();
        UnRegisterClass(&TChartAxisTitle::ClassInfo);
        UnRegisterClass(&TChartAxis::ClassInfo);
        UnRegisterClass(&TChartDepthAxis::ClassInfo);
        UnRegisterClass(&TSeriesMarks::ClassInfo);
    }
};
const TEngineStartup EngineStartup;
} // namespace

QM_CLASS_ABSTRACT(TTeeSeriesSource, TComponent)
QM_CLASS_PLAIN(TLabelsList, TList)
