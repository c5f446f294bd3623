#pragma once
// TList: the platform's list of untyped pointers. Index errors raise EListError.
#include "platform/classes/classinfo.h"
#include <cstddef>
#include <vector>

// <0, 0 or >0 as Item1 sorts before, with or after Item2.
using TListSortCompare = int (*)(void* Item1, void* Item2);

class TList : public TObject {
    QM_CLASS(TList)
public:
    TList() = default;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    // Descendants that own their items free them in their own destructor.
    ~TList() override = default;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Removes the first occurrence; returns its former index or -1.
    int Remove(void* Item);
    // Removes the first occurrence and returns it, or nullptr when absent.
    void* Extract(void* Item);
    int IndexOf(void* Item) const;

    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void* Get(int Index) const { return Items(Index); }
    void Put(int Index, void* Item) { SetItems(Index, Item); }
    void* operator[](int Index) const { return Items(Index); }

    int Count() const { return static_cast<int>(FList.size()); }
    // Growing fills with nullptr; raises EListError "List count out of bounds (%d)" below 0.
    void SetCount(int NewCount);
    int Capacity() const { return static_cast<int>(FList.capacity()); }
    // Raises EListError "List capacity out of bounds (%d)" below Count.
    void SetCapacity(int NewCapacity);

    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    // Stable, and safe for any compare function.
    void Sort(TListSortCompare Compare);
    // Drops every nullptr entry.
    void Pack();
    virtual void Clear();
    // Raise EListError on an empty list.
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

protected:
    void CheckIndex(int Index) const;

private:
    std::vector<void*> FList;
};

[[noreturn]] void ListIndexError(int Index);

namespace qm_detail {
// Merge sort that only asks Less(a, b) and never leaves the range, whatever the
// comparison answers; equal items keep their order.
template <typename T, typename LessFn> void SafeStableSort(std::vector<T>& v, LessFn Less) {
    const size_t n = v.size();
    if (n < 2) return;
    std::vector<T> tmp(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = lo + width < n ? lo + width : n;
            const size_t hi = lo + 2 * width < n ? lo + 2 * width : n;
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                tmp[k++] = Less(v[j], v[i]) ? v[j++] : v[i++];
            while (i < mid)
                tmp[k++] = v[i++];
            while (j < hi)
                tmp[k++] = v[j++];
        }
        v.swap(tmp);
    }
}
} // namespace qm_detail
