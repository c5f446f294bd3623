#include "chart/engine/teevaluelist.h"

#include "chart/engine/teeprocs.h"
#include "chart/engine/teeseries.h"
#include "chart/engine/teesources.h"
#include "platform/classes/filer.h"
#include "platform/rtl/floatformat.h"
#include <algorithm>
#include <cmath>
#include <memory>

int TeeDefaultCapacity = 1000;

QM_CLASS_ABSTRACT(TChartValueList, TPersistent)
QM_CLASS_PLAIN(TChartValueLists, TList)

QM_PUBLISHED(TChartValueList,
             Prop("DateTime", &Self::DateTime, &Self::SetDateTime).Stored(&Self::IsDateStored),
             Prop("Name", &Self::Name, &Self::SetName),
             Prop("Order", &Self::Order, &Self::SetOrder).Default(loNone),
             Prop("ValueSource", &Self::ValueSource, &Self::SetValueSource));

namespace {
const char* const MultiplierObsolete =
    "Error: Multiplier property is obsolete.\rModify TeeDefs.inc (enable Multiplier) and "
    "recompile.";
}

TChartValueList::TChartValueList(TChartSeries* AOwner, const AnsiString& AName) : FOwner(AOwner) {
    FStatsDirty = true;
    if (FOwner) FOwner->AddValueList(this);
    FName = AName;
    ClearValues();
}

TChartValueList::~TChartValueList() {
    ClearValues();
    if (FOwner) FOwner->RemoveValueList(this);
}

void TChartValueList::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TChartValueList*>(Source)) {
        FOrder = src->FOrder;
        FDateTime = src->FDateTime;
        FValueSource = src->FValueSource;
        return;
    }
    TPersistent::Assign(Source);
}

void TChartValueList::DefineProperties(TFiler* Filer) {
    TPersistent::DefineProperties(Filer);
    Filer->DefineProperty(
        "Multiplier", [this](TReader* Reader) { ReadMultiplier(Reader); }, nullptr, false);
}

void TChartValueList::ReadMultiplier(TReader* Reader) {
    if (Reader->ReadFloat() != 1.0) ShowMessageUser(MultiplierObsolete);
}

// The platform array grows by a fixed step; the storage underneath grows in
// proportion, so a long run of appends stays linear. Entries past the count are
// never read, so they are not cleared.
void TChartValueList::Grow() {
    ++FCount;
    const size_t length = FValue.size();
    if (length >= static_cast<size_t>(FCount)) return;
    const size_t step = static_cast<size_t>(std::max(1, TeeDefaultCapacity));
    FValue.extend(std::max(length + step, static_cast<size_t>(FCount)));
}

void TChartValueList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= FCount) ListIndexError(Index);
}

int TChartValueList::AddInOrder(double Value) {
    const int n = FCount;
    int index = n;
    if (!(FOrder == loNone || n == 0 || (FOrder == loAscending && Value >= FValue[n - 1]) ||
          (FOrder == loDescending && Value <= FValue[n - 1]))) {
        int t = n - 1;
        if (FOrder == loAscending)
            while (t >= 0 && FValue[t] > Value)
                --t;
        else
            while (t >= 0 && FValue[t] < Value)
                --t;
        index = t + 1;
        Unordered(index);
    }
    Grow();
    std::move_backward(FValue.begin() + index, FValue.begin() + n, FValue.begin() + n + 1);
    FValue[index] = Value;
    if (index == n)
        Appended(Value);
    else
        FStatsDirty = true;
    return index;
}

void TChartValueList::ClearValues() {
    FValue.clear();
    FCount = 0;
    FOrderedCount = 0;
    FStatsDirty = true;
}

void TChartValueList::InsertGrowing(int Index, double Value) {
    const int oldCount = FCount;
    if (Index < 0 || Index > oldCount) ListIndexError(Index);
    Unordered(Index);
    Grow();
    std::move_backward(FValue.begin() + Index, FValue.begin() + oldCount,
                       FValue.begin() + oldCount + 1);
    FValue[Index] = Value;
    FStatsDirty = true;
}

void TChartValueList::Delete(int Index) {
    CheckIndex(Index);
    Unordered(Index);
    std::move(FValue.begin() + Index + 1, FValue.begin() + FCount, FValue.begin() + Index);
    --FCount;
    FStatsDirty = true;
}

void TChartValueList::Delete(int Start, int Quantity) {
    if (Start < 0 || Start > FCount) ListIndexError(Start);
    Quantity = std::clamp(Quantity, 0, FCount - Start);
    Unordered(Start);
    std::move(FValue.begin() + Start + Quantity, FValue.begin() + FCount, FValue.begin() + Start);
    FCount -= Quantity;
    FStatsDirty = true;
}

double TChartValueList::Value(int Index) const {
    CheckIndex(Index);
    return FValue[Index];
}

void TChartValueList::SetValue(int Index, double Value) {
    SetValueQuiet(Index, Value);
    if (FOwner) FOwner->NotifyValue(veModify, Index);
}

void TChartValueList::SetValueQuiet(int Index, double Value) {
    CheckIndex(Index);
    FValue[Index] = Value;
    FStatsDirty = true;
    Unordered(Index);
}

double TChartValueList::First() const {
    return Value(0);
}

double TChartValueList::Last() const {
    return Value(FCount - 1);
}

int TChartValueList::Locate(double Value) const {
    for (int i = 0; i < FCount; ++i)
        if (FValue[i] == Value) return i;
    return -1;
}

void TChartValueList::RecalcStats() const {
    if (FCount > 0) {
        double mn = FValue[0], mx = FValue[0];
        long double total = FValue[0], totalAbs = std::fabs(FValue[0]);
        for (int i = 1; i < FCount; ++i) {
            const double v = FValue[i];
            if (v < mn)
                mn = v;
            else if (v > mx)
                mx = v;
            total += v;
            totalAbs += std::fabs(v);
        }
        FMinValue = mn;
        FMaxValue = mx;
        FSum = total;
        FSumABS = totalAbs;
        FTotal = static_cast<double>(total);
        FTotalABS = static_cast<double>(totalAbs);
    } else {
        FMinValue = FMaxValue = FTotal = FTotalABS = 0;
        FSum = FSumABS = 0;
    }
    FSummed = FCount;
    FStatsDirty = false;
}

void TChartValueList::CatchUpSums() const {
    if (FSummed >= FCount) return;
    int i = FSummed;
    if (i == 0) {
        FSum = FValue[0];
        FSumABS = std::fabs(FValue[0]);
        i = 1;
    }
    long double total = FSum, totalAbs = FSumABS;
    for (; i < FCount; ++i) {
        total += FValue[i];
        totalAbs += std::fabs(FValue[i]);
    }
    FSum = total;
    FSumABS = totalAbs;
    FTotal = static_cast<double>(total);
    FTotalABS = static_cast<double>(totalAbs);
    FSummed = FCount;
}

double TChartValueList::MaxValue() const {
    if (FStatsDirty) RecalcStats();
    return FMaxValue;
}

double TChartValueList::MinValue() const {
    if (FStatsDirty) RecalcStats();
    return FMinValue;
}

double TChartValueList::Total() const {
    if (FStatsDirty) RecalcStats();
    CatchUpSums();
    return FTotal;
}

double TChartValueList::TotalABS() const {
    if (FStatsDirty) RecalcStats();
    CatchUpSums();
    return FTotalABS;
}

double TChartValueList::Range() const {
    if (FStatsDirty) RecalcStats();
    return FMaxValue - FMinValue;
}

void TChartValueList::Scroll() {
    if (FCount == 0) return;
    // The sums stay those of the values in their old order.
    if (!FStatsDirty) CatchUpSums();
    std::rotate(FValue.begin(), FValue.begin() + 1, FValue.begin() + FCount);
    Unordered(0);
}

void TChartValueList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FValue[Index1], FValue[Index2]);
    FStatsDirty = true;
    Unordered(std::min(Index1, Index2));
    if (FOwner) FOwner->NotifyValue(veModify, Index1);
}

void TChartValueList::FillSequence() {
    for (int i = 0; i < FCount; ++i)
        FValue[i] = i;
    FStatsDirty = true;
    Unordered(0);
    if (FOwner) FOwner->NotifyValue(veModify, 0);
}

int TChartValueList::CompareValueIndex(int a, int b) const {
    const double va = Value(a), vb = Value(b);
    const int result = va < vb ? -1 : (va > vb ? 1 : 0);
    return FOrder == loDescending ? -result : result;
}

bool TChartValueList::InOrder() const {
    int n = FOrderedCount;
    const double* v = FValue.data();
    if (n == 0 && FCount > 0 && !std::isnan(v[0])) n = 1;
    if (n > 0)
        while (n < FCount && v[n] >= v[n - 1])
            ++n;
    FOrderedCount = n;
    return n == FCount;
}

void TChartValueList::Sort() {
    if (FOrder == loNone || FCount < 2) return;
    auto compare = [this](int a, int b) { return CompareValueIndex(a, b); };
    if (!FOwner) {
        TeeSort(0, FCount - 1, compare, [this](int a, int b) { std::swap(FValue[a], FValue[b]); });
        FStatsDirty = true;
        Unordered(0);
        return;
    }
    // Every swap would tell the dependents; they hear once when the order is final
    // (and not at all when nothing moved).
    TChartSeries* owner = FOwner;
    bool swapped = false;
    ++owner->FUpdateCount;
    {
        TTeeFinally quiet([owner] { --owner->FUpdateCount; });
        TeeSort(0, FCount - 1, compare, [owner, &swapped](int a, int b) {
            owner->SwapValueIndex(a, b);
            swapped = true;
        });
    }
    if (swapped) owner->NotifyValue(veModify, 0);
}

void TChartValueList::SetDateTime(bool Value) {
    if (FOwner)
        FOwner->SetBooleanProperty(FDateTime, Value);
    else
        FDateTime = Value;
}

void TChartValueList::InitDateTime(bool Value) {
    FDateTime = Value;
    FDefaultDateTime = Value;
}

void TChartValueList::SetValueSource(const AnsiString& Value) {
    if (FValueSource == Value) return;
    FValueSource = Value;
    if (FOwner) FOwner->CheckDataSource();
}

AnsiString TChartValueList::ToString(int Index) const {
    return FloatToStr(Value(Index));
}

// ---------------------------------------------------------------------------

TChartValueLists::~TChartValueLists() {
    Clear();
}

void TChartValueLists::Clear() {
    // Each list leaves this one when freed; take them out first.
    std::vector<TChartValueList*> lists;
    lists.reserve(static_cast<size_t>(Count()));
    for (int i = 0; i < Count(); ++i)
        lists.push_back(Get(i));
    TList::Clear();
    for (TChartValueList* list : lists)
        std::unique_ptr<TChartValueList> owned(list);
}
