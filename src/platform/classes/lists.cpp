#include "platform/classes/lists.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>

QM_CLASS_PLAIN(TList, TObject)

void ListIndexError(int Index) {
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
}

int TList::Add(void* Item) {
    FList.push_back(Item);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count()) ListIndexError(Index);
    FList.insert(FList.begin() + Index, Item);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    FList.erase(FList.begin() + Index);
}

int TList::Remove(void* Item) {
    const int index = IndexOf(Item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* Item) {
    return Remove(Item) >= 0 ? Item : nullptr;
}

int TList::IndexOf(void* Item) const {
    const auto it = std::find(FList.begin(), FList.end(), Item);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void* TList::Items(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)];
}

void TList::SetItems(int Index, void* Item) {
    CheckIndex(Index);
    FList[static_cast<size_t>(Index)] = Item;
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0) throw EListError("List count out of bounds (" + IntToStr(NewCount) + ")");
    FList.resize(static_cast<size_t>(NewCount), nullptr);
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count())
        throw EListError("List capacity out of bounds (" + IntToStr(NewCapacity) + ")");
    if (NewCapacity > Capacity())
        FList.reserve(static_cast<size_t>(NewCapacity));
    else
        FList.shrink_to_fit();
}

void TList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(NewIndex);
    void* item = Items(CurIndex);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, item);
}

void TList::Sort(TListSortCompare Compare) {
    if (!Compare) return;
    qm_detail::SafeStableSort(FList, [Compare](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Pack() {
    FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end());
}

void TList::Clear() {
    FList.clear();
    FList.shrink_to_fit();
}
