// The series, function and tool registries; creating, cloning and re-typing series.
#include "chart/control/teeseriestypes.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/lists.h"
#include "platform/rtl/format.h"
#include <algorithm>
#include <cstdlib>
#include <ctime>

QM_CLASS_PLAIN(TTeeSeriesType, TObject)
QM_CLASS_ABSTRACT(TTeeDragObject, TObject)

// ---------------------------------------------------------------------------
// The lists.

TTeeSeriesTypes& TeeSeriesTypes() {
    static TTeeSeriesTypes* list = [] {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        return new TTeeSeriesTypes();
    }();
    return *list;
}

TTeeToolTypes& TeeToolTypes() {
    static TTeeToolTypes list;
    return list;
}

TTeeSeriesType* TTeeSeriesTypes::Get(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FItems[static_cast<size_t>(Index)].get();
}

TTeeSeriesType* TTeeSeriesTypes::Find(TClass ASeriesClass) const {
    for (const auto& e : FItems)
        if (e->SeriesClass == ASeriesClass && !e->FunctionClass) return e.get();
    return nullptr;
}

TTeeSeriesType* TTeeSeriesTypes::FindPair(TClass ASeriesClass, TClass AFunctionClass) const {
    for (const auto& e : FItems)
        if (e->SeriesClass == ASeriesClass && e->FunctionClass == AFunctionClass) return e.get();
    return nullptr;
}

TClass TTeeToolTypes::Get(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FItems[static_cast<size_t>(Index)];
}

int TTeeToolTypes::IndexOf(TClass AClass) const {
    const auto it = std::find(FItems.begin(), FItems.end(), AClass);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TTeeToolTypes::Remove(TClass AClass) {
    std::erase(FItems, AClass);
}

// ---------------------------------------------------------------------------
// Registration.

void RegisterTeeSeriesFunction(TClass ASeriesClass, TClass AFunctionClass,
                               const AnsiString* ADescription, const AnsiString* AGalleryPage,
                               int ANumGallerySeries) {
    if (ASeriesClass) RegisterClass(ASeriesClass);
    if (AFunctionClass) RegisterClass(AFunctionClass);
    TTeeSeriesTypes& list = TeeSeriesTypes();
    if (list.FindPair(ASeriesClass, AFunctionClass)) return;
    auto e = std::make_unique<TTeeSeriesType>();
    e->SeriesClass = ASeriesClass;
    e->FunctionClass = AFunctionClass;
    e->Description = ADescription;
    e->GalleryPage = AGalleryPage;
    e->NumGallerySeries = ANumGallerySeries;
    list.Append(std::move(e));
}

void RegisterTeeSeries(TClass ASeriesClass, const AnsiString* ADescription,
                       const AnsiString* AGalleryPage, int ANumGallerySeries) {
    RegisterTeeSeriesFunction(ASeriesClass, nullptr, ADescription, AGalleryPage, ANumGallerySeries);
}

void RegisterTeeFunction(TClass AFunctionClass, const AnsiString* ADescription,
                         const AnsiString* AGalleryPage, int ANumGallerySeries) {
    RegisterTeeSeriesFunction(nullptr, AFunctionClass, ADescription, AGalleryPage,
                              ANumGallerySeries);
}

void RegisterTeeBasicFunction(TClass AFunctionClass, const AnsiString* ADescription) {
    RegisterTeeFunction(AFunctionClass, ADescription, &TeeMsg_GalleryStandard, 2);
}

void UnRegisterTeeSeries(std::initializer_list<TClass> SeriesList) {
    TeeSeriesTypes().RemoveIf([&](const TTeeSeriesType& e) {
        return e.SeriesClass &&
               std::find(SeriesList.begin(), SeriesList.end(), e.SeriesClass) != SeriesList.end();
    });
}

void UnRegisterTeeFunctions(std::initializer_list<TClass> FunctionList) {
    TeeSeriesTypes().RemoveIf([&](const TTeeSeriesType& e) {
        return e.FunctionClass && std::find(FunctionList.begin(), FunctionList.end(),
                                            e.FunctionClass) != FunctionList.end();
    });
}

void RegisterTeeTools(std::initializer_list<TClass> Tools) {
    for (TClass c : Tools) {
        if (TeeToolTypes().IndexOf(c) != -1) continue;
        RegisterClass(c);
        TeeToolTypes().Add(c);
    }
}

void UnRegisterTeeTools(std::initializer_list<TClass> Tools) {
    for (TClass c : Tools)
        TeeToolTypes().Remove(c);
}

namespace {
std::vector<void (*)()>& StartupProcs() {
    static std::vector<void (*)()> procs;
    return procs;
}
size_t& StartupDone() {
    static size_t done = 0;
    return done;
}
} // namespace

void TeeAddStartup(void (*Proc)()) {
    auto& procs = StartupProcs();
    if (std::find(procs.begin(), procs.end(), Proc) == procs.end()) procs.push_back(Proc);
}

// series_register.cpp: the standard series and functions.
void TeeStandardSeriesStartup();

void TeeStartRegistries() {
    // Called directly, so that a program which only loads chart files links
    // every standard series unit and finds each class by name.
    static const bool standard = (TeeStandardSeriesStartup(), true);
    (void)standard;
    auto& procs = StartupProcs();
    // A registration routine may add further ones; each runs once.
    while (StartupDone() < procs.size())
        procs[StartupDone()++]();
}

// ---------------------------------------------------------------------------
// Creating and re-typing series.

AnsiString GetGallerySeriesName(TChartSeries* ASeries) {
    if (TTeeSeriesType* t = TeeSeriesTypes().Find(ASeries->ClassType()))
        return t->DescriptionText();
    return ASeries->ClassName();
}

AnsiString GetNewSeriesName(TComponent* AOwner, TCustomAxisPanel* AChart) {
    if (!AChart) return TeeGetUniqueName(AOwner, "Series");
    // A series the chart holds need not be owned by the owner the file is
    // written from, so its series' names count too.
    for (int i = 1;; ++i) {
        const AnsiString name = "Series" + IntToStr(i);
        bool taken = (AOwner && AOwner->FindComponent(name)) || AChart->FindComponent(name);
        for (int k = 0; k < AChart->SeriesCount() && !taken; ++k)
            taken = SameText(AChart->GetSeries(k)->Name(), name);
        if (!taken) return name;
    }
}

TTeeFunction* CreateNewTeeFunction(TChartSeries* ASeries, TClass AFunctionClass) {
    TComponent* owner = ASeries->Owner();
    auto* f = dynamic_cast<TTeeFunction*>(AFunctionClass->Factory(owner));
    if (!f) throw ChartException(AnsiString("Cannot create ") + AFunctionClass->Name);
    f->SetParentSeries(ASeries);
    f->SetName(TeeGetUniqueName(owner, "TeeFunction"));
    return f;
}

TChartSeries* CreateNewSeries(TComponent* AOwner, TCustomAxisPanel* AChart, TClass ASeriesClass,
                              TClass AFunctionClass) {
    TComponent* owner = AOwner ? AOwner : AChart;
    if (AChart)
        for (int i = 0; i < AChart->SeriesCount(); ++i)
            if (AChart->GetSeries(i)->Owner() == AChart) {
                owner = AChart;
                break;
            }
    if (!ASeriesClass || !ASeriesClass->Factory)
        throw ChartException("Cannot create a series of an abstract class");
    TObject* made = ASeriesClass->Factory(owner);
    auto* s = dynamic_cast<TChartSeries*>(made);
    if (!s) {
        delete made;
        throw ChartException(AnsiString(ASeriesClass->Name) + " is not a series class");
    }
    s->SetName(GetNewSeriesName(owner, AChart));
    s->SetParentChart(AChart);
    if (AFunctionClass) CreateNewTeeFunction(s, AFunctionClass);
    return s;
}

TChartSeries* CloneChartSeries(TChartSeries* ASeries) {
    TTeeFunction* f = ASeries->FunctionType();
    TChartSeries* copy = CreateNewSeries(ASeries->Owner(), ASeries->ParentChart(),
                                         ASeries->ClassType(), f ? f->ClassType() : nullptr);
    copy->Assign(ASeries);
    return copy;
}

TChartSeries* AddGallerySeries(TChartSeries* ASeries) {
    TCustomAxisPanel* chart = ASeries->ParentChart();
    if (!chart) return nullptr;
    auto* s = dynamic_cast<TChartSeries*>(ASeries->ClassType()->Factory(ASeries->Owner()));
    if (!s) return nullptr;
    // The file is written from the chart's owner, or the chart without one.
    s->SetName(GetNewSeriesName(chart->Owner(), chart));
    chart->AddSeries(s);
    return s;
}

void AssignSeries(TChartSeries*& OldSeries, TChartSeries* NewSeries) {
    if (OldSeries == NewSeries) return;
    TChartSeries* old = OldSeries;
    NewSeries->Assign(old);
    // The lists' order, which refilling the points may reset; between a vertical
    // and a horizontal type the X and Y lists trade places, as Assign does.
    std::vector<TChartListOrder> orders;
    for (int i = 0; i < NewSeries->ValuesList()->Count(); ++i) {
        int from = i;
        if (i < 2 && old->YIsMandatory() != NewSeries->YIsMandatory()) from = 1 - i;
        orders.push_back(from < old->ValuesList()->Count()
                             ? old->ValuesList()->Get(from)->Order()
                             : NewSeries->ValuesList()->Get(i)->Order());
    }
    NewSeries->AfterDrawValues = old->AfterDrawValues;
    NewSeries->BeforeDrawValues = old->BeforeDrawValues;
    NewSeries->OnAfterAdd = old->OnAfterAdd;
    NewSeries->OnBeforeAdd = old->OnBeforeAdd;
    NewSeries->OnClearValues = old->OnClearValues;
    NewSeries->OnClick = old->OnClick;
    NewSeries->OnDblClick = old->OnDblClick;
    NewSeries->OnGetMarkText = old->OnGetMarkText;
    const AnsiString oldName = old->Name();

    const std::vector<TChartSeries*> linked = old->LinkedSeries();
    for (TChartSeries* l : linked) {
        const auto& sources = l->DataSources();
        if (std::find(sources.begin(), sources.end(), NewSeries) == sources.end())
            l->InternalAddDataSource(NewSeries);
        if (std::find(sources.begin(), sources.end(), old) != sources.end())
            l->RemoveDataSource(old);
        NewSeries->AddLinkedSeries(l);
        old->RemoveLinkedSeries(l);
    }

    TCustomAxisPanel* chart = old->ParentChart();
    if (chart) {
        for (int i = 0; i < chart->Tools()->Count(); ++i)
            if (auto* t = dynamic_cast<TTeeCustomToolSeries*>(chart->Tools()->Get(i)))
                if (t->Series() == old) t->SetSeries(NewSeries);
        if (NewSeries->ParentChart() == chart) chart->ExchangeSeries(old, NewSeries);
    }
    delete old;
    OldSeries = nullptr;

    NewSeries->SetName(oldName);
    if (chart) chart->BroadcastSeriesEvent(NewSeries, seChangeTitle);
    NewSeries->CheckDataSource();
    for (int i = 0; i < NewSeries->ValuesList()->Count(); ++i)
        NewSeries->ValuesList()->Get(i)->SetOrder(orders[static_cast<size_t>(i)]);
}

void ChangeSeriesType(TChartSeries*& ASeries, TClass NewType) {
    if (ASeries->ClassType() == NewType) return;
    TChartSeries* made = CreateNewSeries(ASeries->Owner(), ASeries->ParentChart(), NewType);
    AssignSeries(ASeries, made);
    ASeries = made;
}

void ChangeAllSeriesType(TCustomAxisPanel* AChart, TClass AClass) {
    for (int i = 0; i < AChart->SeriesCount(); ++i) {
        TChartSeries* s = AChart->GetSeries(i);
        ChangeSeriesType(s, AClass);
    }
}

TCursor TTeeDragObject::GetDragCursor(bool Accepted, int, int) const {
    return Accepted ? static_cast<TCursor>(2020) : crNoDrop;
}
