// TChartSeries, data side: adding, deleting and clearing points in step across
// every value list, colours and labels; notifications to dependents and the
// chart; data sources; sorting; sample values.
#include "chart/engine/teeseries.h"

#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teesources.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Adding

// Decided inline, without the virtual call: a live series adds a point at a
// time and usually has nobody to tell.
inline bool TChartSeries::NewValueHeard() const {
    return OnAfterAdd || !FLinkedSeries.empty() ||
           (FActive && ParentChart() && !ParentChart()->RepaintAsked());
}

bool TChartSeries::Leaving() {
    return TCallOut{this, ParentChart()}.Gone();
}

// False when the point is refused, or the handler freed the series or its chart.
bool TChartSeries::BeforeAdd() {
    TCallOut held{this, ParentChart()};
    if (!held.Live()) return true;
    const bool add = OnBeforeAdd(this);
    if (held.Gone()) return false;
    return add;
}

int TChartSeries::AddXY(double X, double Y, const AnsiString& Label, TColor Color) {
    FX->SetTempValue(X);
    FY->SetTempValue(Y);
    if (OnBeforeAdd && !BeforeAdd()) return -1;
    const int index = FX->AddChartValue(X);
    FY->InsertChartValue(index, Y);
    // Further lists, colours and labels out of line: a live chart's points
    // bring none of them, or the one colour they all have.
    const bool plain =
        FValuesList->Count() <= 2 && Label.IsEmpty() && FLabels->Count() == 0 &&
        (Color == clAutoColor ? !FHasColors
                              : FHasColors && FColors.append_same(size_t(index), Color));
    if (!plain) [&]() __attribute__((noinline)) {
            for (int i = 2; i < FValuesList->Count(); ++i) {
                TChartValueList* list = FValuesList->Get(i);
                list->InsertChartValue(index, list->TempValue());
            }
            if (FHasColors || Color != clAutoColor) InsertColor(index, Color);
            if (!Label.IsEmpty() || FLabels->Count() > 0) FLabels->InsertLabel(index, Label);
        }
    ();
    if (FUpdateCount == 0 && (FDrawsEachNewValue || NewValueHeard())) NotifyNewValue(this, index);
    return index;
}

// The colour list is made on the first explicit colour, one clAutoColor entry
// for each point stored before this one, so it never outgrows the points.
void TChartSeries::InsertColor(int Index, TColor Color) {
    if (!FHasColors) GrowColors(Count() - 1);
    if (static_cast<int>(FColors.size()) < Index)
        FColors.resize(static_cast<size_t>(Index), clAutoColor);
    FColors.insert(static_cast<size_t>(Index), Color);
}

void TChartSeries::GrowColors(int Size) {
    FColors.assign(static_cast<size_t>(std::max(0, Size)), clAutoColor);
    FHasColors = true;
}

int TChartSeries::Add(double Value, const AnsiString& Label, TColor Color) {
    if (FYMandatory) return AddXY(FX->Count(), Value, Label, Color);
    return AddXY(Value, FY->Count(), Label, Color);
}

int TChartSeries::AddY(double Y, const AnsiString& Label, TColor Color) {
    return AddXY(FX->Count(), Y, Label, Color);
}

int TChartSeries::AddX(double X, const AnsiString& Label, TColor Color) {
    return AddXY(X, FX->Count(), Label, Color);
}

int TChartSeries::AddNull(double Value) {
    return Add(Value, "", clNone);
}

int TChartSeries::AddNull(const AnsiString& Label) {
    return Add(0, Label, clNone);
}

int TChartSeries::AddNullXY(double X, double Y, const AnsiString& Label) {
    return AddXY(X, Y, Label, clNone);
}

int TChartSeries::AddArray(const std::vector<double>& Values) {
    BeginUpdate();
    TTeeFinally end([this] { EndUpdate(); });
    for (double v : Values)
        Add(v, "", clAutoColor);
    return static_cast<int>(Values.size());
}

int TChartSeries::AddChartValue(TChartSeries* Source, int ValueIndex) {
    double x = Source->FX->Value(ValueIndex);
    double y = Source->FY->Value(ValueIndex);
    if (Source->FYMandatory != FYMandatory) std::swap(x, y);
    const int index = FX->AddChartValue(x);
    FY->InsertChartValue(index, y);
    const int sourceLists = Source->FValuesList->Count();
    for (int i = 2; i < FValuesList->Count(); ++i) {
        const double v = i < sourceLists ? Source->FValuesList->Get(i)->Value(ValueIndex) : 0;
        FValuesList->Get(i)->InsertChartValue(index, v);
    }
    return index;
}

void TChartSeries::AddedValue(TChartSeries* Source, int ValueIndex) {
    const int index = AddChartValue(Source, ValueIndex);
    if (Source->FHasColors && static_cast<int>(Source->FColors.size()) > ValueIndex)
        InsertColor(index, Source->FColors[static_cast<size_t>(ValueIndex)]);
    else if (FHasColors)
        InsertColor(index, clAutoColor);
    if (Source->FLabels->Count() > ValueIndex)
        FLabels->InsertLabel(index, Source->FLabels->GetLabel(ValueIndex));
    else if (FLabels->Count() > 0)
        FLabels->InsertLabel(index, "");
    NotifyNewValue(this, index);
}

void TChartSeries::AddValues(TChartSeries* Source) {
    BeginUpdate();
    TTeeFinally end([this] { EndUpdate(); });
    Clear();
    if (FTeeFunction) {
        FX->SetDateTime(Source->FX->DateTime());
        FY->SetDateTime(Source->FY->DateTime());
        FTeeFunction->AddPoints(Source);
    } else if (IsValidSourceOf(Source)) {
        for (int i = 0; i < Source->Count(); ++i)
            AddedValue(Source, i);
    }
}

bool TChartSeries::IsValidSourceOf(TChartSeries* Value) {
    return Value != this;
}

bool TChartSeries::IsValidSeriesSource(TChartSeries* Value) {
    return FTeeFunction ? FTeeFunction->IsValidSource(Value) : true;
}

// ---------------------------------------------------------------------------
// Notification

void TChartSeries::NotifyNewValue(TChartSeries* Sender, int ValueIndex) {
    // Only a series on a chart has anything to repaint, and only once until
    // the chart draws.
    if (!NewValueHeard()) return;
    [&]() __attribute__((noinline)) {
        if (OnAfterAdd) {
            TCallOut held{this, ParentChart()};
            if (held.Live()) OnAfterAdd(Sender, ValueIndex);
            if (held.Gone()) return;
        }
        if (!FLinkedSeries.empty()) NotifyValue(veAdd, ValueIndex);
        if (FActive && ParentChart()) Repaint();
    }
    ();
}

void TChartSeries::NotifyValue(TValueEvent ValueEvent, int ValueIndex) {
    if (FUpdateCount > 0 || FLinkedSeries.empty()) return;
    // The dependents' part is out of line, so that the usual case (nobody
    // depends on the series) costs each added point next to nothing.
    [ this, ValueEvent, ValueIndex ]() __attribute__((noinline)) {
        // A dependent may drop its source while it recalculates; walk a copy.
        const std::vector<TChartSeries*> linked = FLinkedSeries;
        for (TChartSeries* s : linked) {
            if (std::find(FLinkedSeries.begin(), FLinkedSeries.end(), s) == FLinkedSeries.end())
                continue;
            const TSeriesRecalcOptions options = s->FRecalcOptions;
            switch (ValueEvent) {
            case veClear:
                if (options.Contains(rOnClear)) s->Clear();
                break;
            case veAdd:
                if (options.Contains(rOnInsert) && !s->FTeeFunction)
                    s->AddedValue(this, ValueIndex);
                break;
            case veDelete:
                if (options.Contains(rOnDelete) && !s->FTeeFunction)
                    s->DeletedValue(this, ValueIndex);
                break;
            case veRefresh:
                s->AddValues(this);
                break;
            case veModify:
                if (options.Contains(rOnModify)) s->AddValues(this);
                break;
            }
        }
    }
    ();
}

void TChartSeries::DeletedValue(TChartSeries* Source, int ValueIndex) {
    // A range delete of the source names no single point: follow it whole.
    if (ValueIndex < 0) {
        if (Source) AddValues(Source);
    } else if (ValueIndex < Count()) {
        Delete(ValueIndex);
    }
}

void TChartSeries::BeginUpdate() {
    ++FUpdateCount;
}

void TChartSeries::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) RefreshSeries();
}

void TChartSeries::RefreshSeries() {
    NotifyValue(veRefresh, 0);
    if (ParentChart()) ParentChart()->BroadcastSeriesEvent(this, seDataChanged);
}

// ---------------------------------------------------------------------------
// Removing

void TChartSeries::Delete(int ValueIndex) {
    if (ValueIndex < 0 || ValueIndex >= Count())
        throw ChartException(Format(TeeMsg_SeriesDelete, {ValueIndex, Count() - 1}));
    for (int i = 0; i < FValuesList->Count(); ++i)
        FValuesList->Get(i)->Delete(ValueIndex);
    if (FHasColors && static_cast<int>(FColors.size()) > ValueIndex)
        FColors.erase(static_cast<size_t>(ValueIndex));
    if (FLabels->Count() > ValueIndex) FLabels->DeleteLabel(ValueIndex);
    DeleteMarkEntries(ValueIndex, 1);
    NotifyValue(veDelete, ValueIndex);
    if (FActive) Repaint();
}

void TChartSeries::Delete(int Start, int Quantity, bool RemoveGap) {
    if (Start < 0 || Start >= Count()) return;
    Quantity = std::clamp(Quantity, 0, Count() - Start);
    for (int i = 0; i < FValuesList->Count(); ++i)
        FValuesList->Get(i)->Delete(Start, Quantity);
    if (FHasColors && static_cast<int>(FColors.size()) > Start) {
        const size_t end = std::min(FColors.size(), static_cast<size_t>(Start + Quantity));
        FColors.erase(static_cast<size_t>(Start), end - static_cast<size_t>(Start));
        if (FColors.empty()) {
            FColors.clear();
            FHasColors = false;
        }
    }
    for (int q = 0; q < Quantity && FLabels->Count() > Start; ++q)
        FLabels->DeleteLabel(Start);
    DeleteMarkEntries(Start, Quantity);
    NotifyValue(veDelete, -1);
    if (FActive) Repaint();
    if (RemoveGap) FNotMandatory->FillSequence();
}

void TChartSeries::DeleteMarkEntries(int Start, int Quantity) {
    if (!FMarks) return;
    TSeriesMarksPositions* positions = FMarks->Positions();
    for (int q = 0; q < Quantity && positions->Count() > Start; ++q)
        positions->Delete(Start);
    TMarksItems* items = FMarks->Items();
    for (int q = 0; q < Quantity && items->Count() > Start; ++q)
        items->Delete(Start);
}

void TChartSeries::Clear() {
    ClearLists();
    TCallOut held{this, ParentChart()};
    if (OnClearValues && held.Live()) OnClearValues(this);
    if (held.Gone()) return;
    NotifyValue(veClear, 0);
    if (FActive && ParentChart() && !ParentChart()->IsDestroying()) Repaint();
}

void TChartSeries::ClearLists() {
    for (int i = 0; i < FValuesList->Count(); ++i)
        FValuesList->Get(i)->ClearValues();
    FColors.clear();
    FHasColors = false;
    if (FLabels) FLabels->Clear();
    if (FMarks) FMarks->Clear();
}

// ---------------------------------------------------------------------------
// Values, nulls, colours, labels and order

int TChartSeries::Count() const {
    return FX ? FX->Count() : 0;
}

double TChartSeries::GetxValue(int Index) {
    return FX->Value(Index);
}

double TChartSeries::GetyValue(int Index) {
    return FY->Value(Index);
}

void TChartSeries::SetXValue(int Index, double Value) {
    FX->SetValueQuiet(Index, Value);
    Repaint();
}

void TChartSeries::SetYValue(int Index, double Value) {
    FY->SetValueQuiet(Index, Value);
    Repaint();
}

bool TChartSeries::IsNull(int Index) {
    return GetValueColor(Index) == clNone;
}

void TChartSeries::SetNull(int Index, bool Value) {
    SetValueColor(Index, Value ? clNone : clAutoColor);
}

TColor TChartSeries::InternalColor(int Index) const {
    if (FHasColors && Index >= 0 && Index < static_cast<int>(FColors.size()))
        return FColors[static_cast<size_t>(Index)];
    return clAutoColor;
}

void TChartSeries::SetValueColor(int Index, TColor Color) {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    if (!FHasColors && Color == clAutoColor) return;
    if (!FHasColors) GrowColors(Count());
    if (static_cast<int>(FColors.size()) <= Index)
        FColors.resize(static_cast<size_t>(Index) + 1, clAutoColor);
    FColors.set(static_cast<size_t>(Index), Color);
    Repaint();
}

AnsiString TChartSeries::GetXLabel(int Index) const {
    return FLabels->GetLabel(Index);
}

void TChartSeries::SetXLabel(int Index, const AnsiString& Text) {
    // The labels must never outgrow the points.
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    FLabels->SetLabel(Index, Text);
}

void TChartSeries::SwapLabels(int a, int b) {
    const int n = FLabels->Count();
    if (n == 0) return;
    if (a < n && b < n) {
        FLabels->Exchange(a, b);
        return;
    }
    const AnsiString la = FLabels->GetLabel(a);
    const AnsiString lb = FLabels->GetLabel(b);
    FLabels->SetLabel(a, lb);
    FLabels->SetLabel(b, la);
}

void TChartSeries::SwapValueIndex(int a, int b) {
    for (int i = 0; i < FValuesList->Count(); ++i)
        FValuesList->Get(i)->Exchange(a, b);
    if (FHasColors) {
        const int needed = std::max(a, b) + 1;
        if (static_cast<int>(FColors.size()) < needed)
            FColors.resize(static_cast<size_t>(needed), clAutoColor);
        FColors.swap_entries(static_cast<size_t>(a), static_cast<size_t>(b));
    }
    SwapLabels(a, b);
}

void TChartSeries::CheckOrder() {
    if (FMandatory->Order() != loNone) FMandatory->Sort();
    if (FNotMandatory->ValueSource().IsEmpty()) FNotMandatory->FillSequence();
    Repaint();
}

int TChartSeries::CompareLabelIndex(int a, int b) const {
    const int c = CompareStr(FLabels->GetLabel(a), FLabels->GetLabel(b));
    const int result = c < 0 ? -1 : (c > 0 ? 1 : 0);
    return FLabelSortOrder == loDescending ? -result : result;
}

void TChartSeries::SortByLabels(TChartListOrder Order) {
    if (Order == loNone) return;
    FLabelSortOrder = Order;
    {
        TTeeFinally done([this] { FLabelSortOrder = loNone; });
        TeeSort(
            0, Count() - 1, [this](int a, int b) { return CompareLabelIndex(a, b); },
            [this](int a, int b) { SwapValueIndex(a, b); });
    }
    FNotMandatory->FillSequence();
    Repaint();
}

void TChartSeries::ReplaceList(TChartValueList* OldList, TChartValueList* NewList) {
    if (!NewList || OldList == NewList) return;
    // Another series frees its own lists; taking one would free it twice.
    if (NewList->Owner() && NewList->Owner() != this)
        throw ChartException("Value list " + NewList->Name() + " belongs to another series");
    FValuesList->Remove(NewList);
    const int index = FValuesList->IndexOf(OldList);
    if (index < 0) return;
    NewList->SetName(OldList->Name());
    FValuesList->Put(index, NewList);
    const bool wasX = OldList == FX, wasY = OldList == FY;
    const bool wasMandatory = OldList == FMandatory, wasNotMandatory = OldList == FNotMandatory;
    std::unique_ptr<TChartValueList> old(OldList); // no longer in the lists
    old.reset();
    if (wasX) FX = NewList;
    if (wasY) FY = NewList;
    // The new list keeps the role the old one had (horizontal series too).
    if (wasMandatory) FMandatory = NewList;
    if (wasNotMandatory) FNotMandatory = NewList;
}

void TChartSeries::SetXValues(TChartValueList* Value) {
    FX->Assign(Value);
    Repaint();
}

void TChartSeries::SetYValues(TChartValueList* Value) {
    FY->Assign(Value);
    Repaint();
}

void TChartSeries::SetChartValueList(TChartValueList* AList, TChartValueList* Value) {
    if (!AList || !Value || AList == Value) return;
    if (FValuesList->IndexOf(AList) < 0)
        throw ChartException("Value list " + AList->Name() + " does not belong to this series");
    AList->Assign(Value);
    const int n = std::min(AList->Count(), Value->Count());
    for (int i = 0; i < n; ++i)
        AList->SetValueQuiet(i, Value->Value(i));
    Repaint();
}

void TChartSeries::SetHorizontal() {
    FMandatory = FX;
    FNotMandatory = FY;
    FYMandatory = false;
}

TChartValueList* TChartSeries::GetYValueList(const AnsiString& AListName) {
    const AnsiString name = UpperCase(AListName);
    for (int i = 2; i < FValuesList->Count(); ++i)
        if (UpperCase(FValuesList->Get(i)->Name()) == name) return FValuesList->Get(i);
    return FY;
}

double TChartSeries::MaxXValue() {
    return FX->MaxValue();
}

double TChartSeries::MinXValue() {
    return FX->MinValue();
}

double TChartSeries::MaxYValue() {
    return FY->MaxValue();
}

double TChartSeries::MinYValue() {
    return FY->MinValue();
}

double TChartSeries::MaxZValue() {
    return GetZOrder();
}

double TChartSeries::MinZValue() {
    return GetZOrder();
}

// ---------------------------------------------------------------------------
// Data sources and dependents

void TChartSeries::ClearDataSources() {
    RemoveAllLinkedSeries();
    const std::vector<TComponent*> sources = std::move(FDataSources);
    FDataSources.clear();
    for (TComponent* source : sources)
        UnlinkSource(source);
}

void TChartSeries::UnlinkSource(TComponent* Source) {
    if (std::find(FDataSources.begin(), FDataSources.end(), Source) != FDataSources.end()) return;
    // A source component that still fills this series must hear when it goes.
    auto* feeder = dynamic_cast<TTeeSeriesSource*>(Source);
    if (feeder && feeder->Series() == this) return;
    Source->RemoveFreeNotification(this);
}

void TChartSeries::SetDataSource(TComponent* Value) {
    if (!Value) {
        if (IsDestroying()) return;
        if (ParentChart() && DataSource()) ParentChart()->RemovedDataSource(this, DataSource());
        ClearDataSources();
        if (!FManualData) Clear();
        CheckDataSource();
        return;
    }
    if (!ParentChart()) throw ChartException(TeeMsg_SeriesSetDataSource);
    if (!ParentChart()->IsValidDataSource(this, Value))
        throw ChartException(Format(TeeMsg_SeriesInvDataSource, {Value->Name()}));
    if (std::find(FDataSources.begin(), FDataSources.end(), Value) != FDataSources.end()) return;
    if (auto* series = dynamic_cast<TChartSeries*>(Value)) CheckOtherSeries(series);
    if (!IsLoading()) {
        ClearDataSources();
        if (!FManualData) Clear();
    }
    InternalAddDataSource(Value);
    CheckDataSource();
}

void TChartSeries::CheckOtherSeries(TChartSeries* Source) {
    if (ParentChart()) ParentChart()->CheckOtherSeries(this, Source);
}

void TChartSeries::InternalAddDataSource(TComponent* Source) {
    if (!Source) return;
    FDataSources.push_back(Source);
    FManualData = false;
    // Every source, series too, tells this one when it is freed.
    Source->FreeNotification(this);
    if (auto* series = dynamic_cast<TChartSeries*>(Source)) {
        series->AddLinkedSeries(this);
        return;
    }
    auto* source = dynamic_cast<TTeeSeriesSource*>(Source);
    if (!source || source->Series() == this) return;
    const bool wasActive = source->Active();
    source->Close();
    if (TChartSeries* old = source->Series()) {
        if (source->Owner() == old) {
            old->RemoveComponent(source);
            InsertComponent(source);
        }
    }
    source->SetSeries(this); // lets go of the old series
    source->FreeNotification(this);
    FreeNotification(source);
    if (wasActive) source->Open();
}

void TChartSeries::RemoveDataSource(TComponent* Source) {
    auto it = std::find(FDataSources.begin(), FDataSources.end(), Source);
    if (it != FDataSources.end()) {
        FDataSources.erase(it);
        UnlinkSource(Source);
    }
    CheckDataSource();
}

void TChartSeries::AddLinkedSeries(TChartSeries* Series) {
    if (std::find(FLinkedSeries.begin(), FLinkedSeries.end(), Series) == FLinkedSeries.end())
        FLinkedSeries.push_back(Series);
}

void TChartSeries::RemoveLinkedSeries(TChartSeries* Series) {
    auto it = std::find(FLinkedSeries.begin(), FLinkedSeries.end(), Series);
    if (it != FLinkedSeries.end()) FLinkedSeries.erase(it);
}

void TChartSeries::RemoveAllLinkedSeries() {
    for (TComponent* source : FDataSources)
        if (auto* series = dynamic_cast<TChartSeries*>(source)) series->RemoveLinkedSeries(this);
}

void TChartSeries::CheckDataSource() {
    if (FUpdateCount == 0 && ParentChart() && !Leaving()) ParentChart()->CheckDatasource(this);
}

void TChartSeries::SetColorSource(const AnsiString& Value) {
    if (FColorSource == Value) return;
    FColorSource = Value;
    CheckDataSource();
}

void TChartSeries::SetLabelsSource(const AnsiString& Value) {
    if (FLabelsSource == Value) return;
    FLabelsSource = Value;
    CheckDataSource();
}

void TChartSeries::SetFunction(TTeeFunction* Value) {
    if (FTeeFunction == Value) return;
    if (FTeeFunction) {
        std::unique_ptr<TTeeFunction> old(FTeeFunction);
        FTeeFunction = nullptr;
        old->RemoveFreeNotification(this);
        old->ForgetParentSeries();
    }
    FTeeFunction = Value;
    if (Value) {
        Value->FreeNotification(this);
        if (Value->ParentSeries() != this) Value->SetParentSeries(this);
        FManualData = false;
    }
    CheckDataSource();
}

void TChartSeries::ReleaseFunction() {
    if (!FTeeFunction) return;
    FTeeFunction->RemoveFreeNotification(this);
    FTeeFunction = nullptr;
}

// ---------------------------------------------------------------------------
// Mouse

bool TChartSeries::CheckMouse(int X, int Y) {
    if (FCursor == crDefault && !OnMouseEnter && !OnMouseLeave) return false;
    // The hit test may call a click handler that frees the series, the chart
    // or its form.
    TCallOut held{this, ParentChart(), ChartForm()};
    const int i = Clicked(X, Y);
    if (held.Gone()) return true;
    if (i != -1) {
        if (FCursor != crDefault && ParentChart()) ParentChart()->ShowPartCursor(FCursor);
        if (!FMouseInside) {
            FMouseInside = true;
            if (OnMouseEnter) OnMouseEnter(this);
            if (held.Gone()) return true;
        }
    } else if (FMouseInside) {
        FMouseInside = false;
        if (OnMouseLeave) OnMouseLeave(this);
    }
    return i != -1;
}

int TChartSeries::GetCursorValueIndex() {
    if (!ParentChart()) return -1;
    const TPoint p = ParentChart()->GetCursorPos();
    return Clicked(p.x, p.y);
}

void TChartSeries::GetCursorValues(double& X, double& Y) {
    X = Y = 0;
    if (!ParentChart() || !FGetHorizAxis || !FGetVertAxis) return;
    const TPoint p = ParentChart()->GetCursorPos();
    X = FGetHorizAxis->CalcPosPoint(p.x);
    Y = FGetVertAxis->CalcPosPoint(p.y);
}

// ---------------------------------------------------------------------------
// Sample values

bool TChartSeries::CanAddRandomPoints() {
    return TeeRandomAtRunTime || ComponentState().Contains(csDesigning);
}

void TChartSeries::FillSampleValues(int NumValues) {
    if (NumValues < 0) throw ChartException(TeeMsg_FillSample);
    if (NumValues == 0) {
        NumValues = FSampleCount;
        if (NumValues <= 0) NumValues = NumSampleValues();
    }
    Clear();
    BeginUpdate();
    {
        TTeeFinally end([this] { EndUpdate(); });
        RandSeed = static_cast<uint32_t>(Random(7774444));
        AddSampleValues(NumValues);
        CheckOrder();
    }
    FManualData = false;
}

TChartSeries::TRandomBounds TChartSeries::RandomBounds(int NumValues) {
    TRandomBounds r;
    double minY = 0, maxY = 1000, minX, maxX;
    TCustomAxisPanel* chart = ParentChart();
    if (chart && chart->GetMaxValuesCount() > 0) {
        minY = chart->MinYValue(FGetVertAxis);
        maxY = chart->MaxYValue(FGetVertAxis);
        if (minY == maxY) maxY = maxY == 0 ? 1000 : 2 * minY;
        minX = chart->MinXValue(FGetHorizAxis);
        maxX = chart->MaxXValue(FGetHorizAxis);
        if (minX == maxX) maxX = maxX == 0 ? NumValues - 1 : 2 * minX;
        if (!FYMandatory) {
            std::swap(minX, minY);
            std::swap(maxX, maxY);
        }
    } else if (FX->DateTime()) {
        minX = std::floor(static_cast<double>(Now()));
        maxX = minX + NumValues - 1;
    } else {
        minX = 0;
        maxX = NumValues - 1;
    }
    r.StepX = NumValues > 1 ? (maxX - minX) / (NumValues - 1) : maxX - minX;
    r.DifY = std::clamp(maxY - minY, -2147483647.0, 2147483647.0);
    r.MinY = minY;
    r.tmpY = minY + Random(static_cast<int>(Round(r.DifY)));
    r.tmpX = minX;
    return r;
}

void TChartSeries::AddSampleValues(int NumValues) {
    TRandomBounds r = RandomBounds(NumValues);
    const int q = static_cast<int>(Round(r.DifY)) / 4;
    for (int i = 0; i < NumValues; ++i) {
        r.tmpY = std::fabs(r.tmpY + Random(q) - q / 2);
        if (FYMandatory)
            AddXY(r.tmpX, r.tmpY, "", clAutoColor);
        else
            AddXY(r.tmpY, r.tmpX, "", clAutoColor);
        r.tmpX += r.StepX;
    }
}
