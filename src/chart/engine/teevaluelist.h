#pragma once
// One column of series values (X, Y, Z, open, ...): a growable array of doubles
// with an optional order, lazily computed statistics and a pending value that
// the next added point takes. TChartValueLists holds every column of a series.
#include "platform/classes/component.h"
#include "platform/classes/lists.h"
#include "platform/classes/props.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/memblock.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

class TChartSeries;
class TReader;

enum TChartListOrder { loNone, loAscending, loDescending };
QM_ENUM_NAMES(TChartListOrder, loNone, loAscending, loDescending)

// A growable array of plain values kept in one block of the platform's growable
// memory: a long array grows in small steps without being copied, so it keeps
// little room spare (a thirty-second of its length at most); short ones double.
template <typename T> class TTeeArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    TTeeArray() = default;
    TTeeArray(const TTeeArray& Other) { *this = Other; }
    TTeeArray(TTeeArray&& Other) noexcept { swap(Other); }
    TTeeArray& operator=(const TTeeArray& Other) {
        if (this != &Other) {
            FSize = 0;
            reserve(Other.FSize);
            if (Other.FSize) std::memcpy(FData, Other.FData, Other.FSize * sizeof(T));
            FSize = Other.FSize;
        }
        return *this;
    }
    TTeeArray& operator=(TTeeArray&& Other) noexcept {
        TTeeArray(std::move(Other)).swap(*this);
        return *this;
    }
    ~TTeeArray() { ResizeBlock(FData, FCapacity * sizeof(T), 0); }

    void swap(TTeeArray& Other) noexcept {
        std::swap(FData, Other.FData);
        std::swap(FSize, Other.FSize);
        std::swap(FCapacity, Other.FCapacity);
    }
    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }
    size_t capacity() const { return FCapacity; }
    T* data() { return FData; }
    const T* data() const { return FData; }
    T* begin() { return FData; }
    T* end() { return FData + FSize; }
    const T* begin() const { return FData; }
    const T* end() const { return FData + FSize; }
    T& operator[](size_t Index) { return FData[Index]; }
    const T& operator[](size_t Index) const { return FData[Index]; }

    void reserve(size_t Count) {
        if (Count <= FCapacity) return;
        FData = static_cast<T*>(ResizeBlock(FData, FCapacity * sizeof(T), Count * sizeof(T)));
        FCapacity = Count;
    }
    // New entries take Fill.
    void resize(size_t Count, T Fill = T()) {
        const size_t old = FSize;
        extend(Count);
        for (size_t i = old; i < Count; ++i)
            FData[i] = Fill;
        FSize = Count;
    }
    // New entries are left as they are: for arrays whose callers never read
    // past what they wrote.
    void extend(size_t Count) {
        if (Count > FCapacity) {
            const bool longArray = FCapacity * sizeof(T) >= MappedBlockThreshold;
            reserve(std::max(Count, FCapacity + (longArray ? FCapacity / 32 : FCapacity)));
        }
        if (Count > FSize) FSize = Count;
    }
    void assign(size_t Count, T Fill) {
        FSize = 0;
        resize(Count, Fill);
    }
    void insert(size_t Index, T Value) {
        extend(FSize + 1);
        std::memmove(FData + Index + 1, FData + Index, (FSize - 1 - Index) * sizeof(T));
        FData[Index] = Value;
    }
    void erase(size_t Index, size_t Count = 1) {
        std::memmove(FData + Index, FData + Index + Count, (FSize - Index - Count) * sizeof(T));
        FSize -= Count;
    }
    // Releases the block.
    void clear() { TTeeArray().swap(*this); }

private:
    T* FData = nullptr;
    size_t FSize = 0;
    size_t FCapacity = 0;
};

// The colours (TColor values) of a series' points. While every entry is the
// same colour (a live chart giving each point the same explicit colour) only
// that colour and the count are kept; the first different colour makes the
// full list.
class TPointColors {
public:
    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }
    int32_t operator[](size_t Index) const { return FUniform ? FColor : FList[Index]; }
    void set(size_t Index, int32_t Color) {
        if (FUniform && Color == FColor) return;
        Materialize();
        FList[Index] = Color;
    }
    void swap_entries(size_t A, size_t B) {
        if (!FUniform) std::swap(FList[A], FList[B]);
    }
    // Appends Color when it is the one colour kept for all (the live chart's
    // case); false leaves the list as it was.
    bool append_same(size_t Index, int32_t Color) {
        if (!FUniform || Index != FSize || FSize == 0 || Color != FColor) return false;
        ++FSize;
        return true;
    }
    void insert(size_t Index, int32_t Color) {
        if (FUniform && (FSize == 0 || Color == FColor)) {
            FColor = Color;
            ++FSize;
            return;
        }
        Materialize();
        FList.insert(Index, Color);
        ++FSize;
    }
    void erase(size_t Index, size_t Count = 1) {
        if (!FUniform) FList.erase(Index, Count);
        FSize -= Count;
    }
    // New entries take Fill.
    void resize(size_t Count, int32_t Fill) {
        if (FUniform && (Count <= FSize || FSize == 0 || Fill == FColor)) {
            if (FSize == 0) FColor = Fill;
            FSize = Count;
            return;
        }
        Materialize();
        FList.resize(Count, Fill);
        FSize = Count;
    }
    void assign(size_t Count, int32_t Fill) {
        clear();
        FColor = Fill;
        FSize = Count;
    }
    void clear() {
        FList.clear();
        FUniform = true;
        FSize = 0;
    }

private:
    void Materialize() {
        if (!FUniform) return;
        FList.assign(FSize, FColor);
        FUniform = false;
    }
    size_t FSize = 0;
    bool FUniform = true;
    int32_t FColor = 0;
    TTeeArray<int32_t> FList;
};

using TChartValues = TTeeArray<double>;

// Growth step of the value arrays (amount added to the array length).
extern int TeeDefaultCapacity;

class TChartValueList : public TPersistent {
    QM_CLASS(TChartValueList)
public:
    // Appends itself to Owner's ValueLists (when Owner is given).
    TChartValueList(TChartSeries* AOwner, const AnsiString& AName);
    ~TChartValueList() override;
    TChartValueList(const TChartValueList&) = delete;
    TChartValueList& operator=(const TChartValueList&) = delete;

    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    // Stores Value at its ordered place; returns the index where it now stands.
    // Inline, so that adding a point in order costs a few instructions.
    virtual int AddChartValue(double Value) final {
        const int n = FCount;
        if (static_cast<size_t>(n) < FValue.size() &&
            (FOrder == loNone || n == 0 || (FOrder == loAscending && Value >= FValue[n - 1]) ||
             (FOrder == loDescending && Value <= FValue[n - 1]))) {
            FValue[n] = Value;
            FCount = n + 1;
            Appended(Value);
            return n;
        }
        return AddInOrder(Value);
    }
    // Appends Count values, Value(i) for i = 0 .. Count-1, at the end as they
    // come (the caller keeps the list's order).
    template <class F> void AppendValues(int Count, F&& Value) {
        const int n = FCount;
        FValue.extend(static_cast<size_t>(n) + static_cast<size_t>(Count));
        double* out = FValue.data() + n;
        for (int i = 0; i < Count; ++i)
            out[i] = Value(i);
        FCount = n + Count;
        FStatsDirty = true;
    }
    // Appends Count values to First and Second in one pass, Value(i, a, b)
    // setting both: two columns of the same records read once.
    template <class F>
    static void AppendPairs(TChartValueList& First, TChartValueList& Second, int Count, F&& Value) {
        double* a = First.AppendRoom(Count);
        double* b = Second.AppendRoom(Count);
        for (int i = 0; i < Count; ++i)
            Value(i, a[i], b[i]);
    }
    // Exchanges the values (and what is known of their order) with Other;
    // both recount their statistics when next asked.
    void SwapValues(TChartValueList& Other) {
        FValue.swap(Other.FValue);
        std::swap(FCount, Other.FCount);
        std::swap(FOrderedCount, Other.FOrderedCount);
        FStatsDirty = Other.FStatsDirty = true;
    }
    // Releases the array; Count 0.
    virtual void ClearValues();
    // Raises EListError for an Index outside 0..Count.
    virtual void InsertChartValue(int Index, double Value) final {
        const int n = FCount;
        if (Index == n && static_cast<size_t>(n) < FValue.size()) {
            FValue[n] = Value;
            FCount = n + 1;
            Appended(Value);
            return;
        }
        InsertGrowing(Index, Value);
    }
    // Raises EListError for an Index outside 0..Count-1; the array is never shrunk.
    virtual void Delete(int Index);
    // Removes Quantity entries from Start (clipped to the list end).
    void Delete(int Start, int Quantity);

    int Count() const { return FCount; }
    // Length of the value array (grows in steps of TeeDefaultCapacity).
    int Capacity() const { return static_cast<int>(FValue.size()); }
    // Contiguous read access to entries 0..Count-1 (for drawing loops).
    const double* Data() const { return FValue.data(); }

    // Index checked: EListError outside 0..Count-1.
    double Value(int Index) const;
    double GetValue(int Index) const { return Value(Index); }
    double operator[](int Index) const { return Value(Index); }
    // Stores, marks the statistics dirty and tells the owner (veModify).
    void SetValue(int Index, double Value);
    // Stores without notifying anyone (series' SetXValue/SetYValue).
    void SetValueQuiet(int Index, double Value);

    // EListError on an empty list.
    double First() const;
    double Last() const;
    int Locate(double Value) const;

    double MaxValue() const;
    double MinValue() const;
    double Total() const;
    double TotalABS() const;
    double Range() const;
    double GetMaxValue() const { return MaxValue(); }
    double GetMinValue() const { return MinValue(); }
    double GetTotal() const { return Total(); }
    double GetTotalABS() const { return TotalABS(); }
    void RecalcStats() const;
    // True while the statistics must be recomputed before they are read.
    bool Modified() const { return FStatsDirty; }
    void SetModified(bool Value) { FStatsDirty = Value; }

    // Rotates by one: entry 0 goes last.
    void Scroll();
    void Exchange(int Index1, int Index2);
    void FillSequence();
    int CompareValueIndex(int a, int b) const;
    // Sorts the whole series (through the owner's SwapValueIndex) by this list.
    void Sort();
    // True when the values ascend and none is NaN, so a binary search finds what
    // a scan from the start finds. Checked lazily: appending costs nothing here,
    // later calls only look at what was added since.
    bool InOrder() const;

    AnsiString ToString(int Index) const;

    TChartSeries* Owner() const { return FOwner; }
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value) { FName = Value; }
    TChartListOrder Order() const { return FOrder; }
    void SetOrder(TChartListOrder Value) { FOrder = Value; }
    bool DateTime() const { return FDateTime; }
    void SetDateTime(bool Value);
    // Sets DateTime and its class default together.
    void InitDateTime(bool Value);
    bool IsDateStored() const { return FDateTime != FDefaultDateTime; }
    const AnsiString& ValueSource() const { return FValueSource; }
    void SetValueSource(const AnsiString& Value);

    // The value the next point added by the series takes in this list.
    double TempValue() const { return FTempValue; }
    void SetTempValue(double Value) { FTempValue = Value; }

private:
    void Grow();
    // The slow parts of adding: growing the array, inserting before the end.
    [[gnu::noinline]] int AddInOrder(double Value);
    [[gnu::noinline]] void InsertGrowing(int Index, double Value);
    void CheckIndex(int Index) const;
    // Statistics that are known stay known through an append: the value joins
    // the extremes the way a recount would take it last, and the sums when
    // they are read (in the same order), so a live series is neither recounted
    // on every repaint nor summed on every point.
    void Appended(double Value) {
        if (FStatsDirty) return;
        if (FCount == 1) {
            FMinValue = FMaxValue = Value;
            FSummed = 0;
        } else if (Value < FMinValue) {
            FMinValue = Value;
        } else if (Value > FMaxValue) {
            FMaxValue = Value;
        }
    }
    // Adds the entries appended since the sums were last brought up to date.
    void CatchUpSums() const;
    // Entries from Index on are no longer known to be in order.
    // Count entries added at the end, left for the caller to fill at once.
    double* AppendRoom(int Count) {
        const int n = FCount;
        FValue.extend(static_cast<size_t>(n) + static_cast<size_t>(Count));
        FCount = n + Count;
        FStatsDirty = true;
        return FValue.data() + n;
    }
    void Unordered(int Index) { FOrderedCount = std::min(FOrderedCount, std::max(0, Index)); }
    void ReadMultiplier(TReader* Reader);

    bool FDateTime = false;
    bool FDefaultDateTime = false;
    mutable double FMaxValue = 0;
    mutable double FMinValue = 0;
    AnsiString FName;
    TChartListOrder FOrder = loNone;
    TChartSeries* FOwner = nullptr;
    mutable double FTotal = 0;
    mutable double FTotalABS = 0;
    mutable long double FSum = 0;
    mutable long double FSumABS = 0;
    // Entries 0..FSummed-1 are in FSum and FSumABS.
    mutable int FSummed = 0;
    AnsiString FValueSource;
    TChartValues FValue;
    int FCount = 0;
    mutable bool FStatsDirty = true;
    // Entries 0..FOrderedCount-1 are known to ascend without NaN. Appends and
    // ordered inserts keep that true; every other change lowers it.
    mutable int FOrderedCount = 0;
    double FTempValue = 0;
};

// Every value list of one series: X at index 0, Y at 1, further lists from 2.
class TChartValueLists : public TList {
    QM_CLASS(TChartValueLists)
public:
    ~TChartValueLists() override;
    TChartValueList* Get(int Index) const { return static_cast<TChartValueList*>(Items(Index)); }
    TChartValueList* operator[](int Index) const { return Get(Index); }
    // Frees every list, first to last, then empties itself.
    void Clear() override;
};
