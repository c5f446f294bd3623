#include "platform/classes/collections.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>

QM_CLASS_OWNED(TCollectionItem, TPersistent, TCollection)
QM_CLASS_ABSTRACT(TCollection, TPersistent)
QM_CLASS_ABSTRACT(TOwnedCollection, TCollection)

namespace {
[[noreturn]] void IndexError(int Index) {
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

class TCollectionUpdate {
public:
    explicit TCollectionUpdate(TCollection* Collection) : FCollection(Collection) {
        FCollection->BeginUpdate();
    }
    ~TCollectionUpdate() { FCollection->EndUpdate(); }
    TCollectionUpdate(const TCollectionUpdate&) = delete;
    TCollectionUpdate& operator=(const TCollectionUpdate&) = delete;

private:
    TCollection* FCollection;
};
} // namespace

// ---- TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection) {
    // The item's class is checked by Add once the whole item exists.
    if (Collection) Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value) return;
    if (Value && Value->FItemClass && !InheritsFrom(Value->FItemClass))
        throw EListError("Invalid property value");
    if (FCollection) FCollection->RemoveItem(this);
    if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection) return -1;
    const auto& items = FCollection->FItems;
    const auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    const int current = Index();
    if (current < 0 || current == Value) return;
    auto& items = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(items.size())) IndexError(Value);
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

void TCollectionItem::SetDisplayName(const AnsiString&) {
    Changed(false);
}

AnsiString TCollectionItem::GetDisplayName() const {
    return ClassName();
}

AnsiString TCollectionItem::GetNamePath() {
    if (!FCollection) return ClassName();
    return FCollection->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() {
    return FCollection;
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

// ---- TCollection

TCollection::TCollection(TClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
    FUpdateCount = 1; // no notifications while going away
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Add() {
    if (!FItemClass || !FItemClass->Factory)
        throw EInvalidOperation("Cannot create an item of class " +
                                AnsiString(FItemClass ? FItemClass->Name : "nil"));
    // One notification, once the item is complete.
    TCollectionUpdate update(this);
    TObject* made = FItemClass->Factory(this);
    auto* item = dynamic_cast<TCollectionItem*>(made);
    if (!item || item->FCollection != this || !item->InheritsFrom(FItemClass)) {
        delete made;
        throw EListError("Invalid property value");
    }
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count()) IndexError(Index);
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) {
    delete Items(Index);
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    TCollectionUpdate update(this);
    while (!FItems.empty())
        delete FItems.back();
}

void TCollection::Assign(TPersistent* Source) {
    if (Source == this) return; // clearing first would lose every item
    if (auto* source = dynamic_cast<TCollection*>(Source)) {
        const TClass theirs = source->FItemClass;
        if (theirs && FItemClass && !theirs->InheritsFrom(FItemClass) &&
            !FItemClass->InheritsFrom(theirs))
            AssignError(Source);
        TCollectionUpdate update(this);
        Clear();
        for (TCollectionItem* item : std::vector<TCollectionItem*>(source->FItems))
            Add()->Assign(item);
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::BeginUpdate() {
    ++FUpdateCount;
}

void TCollection::EndUpdate() {
    if (FUpdateCount <= 0) return;
    --FUpdateCount;
    Changed();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItems(int Index, TCollectionItem* Value) {
    Items(Index)->Assign(Value);
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == ID) return item;
    return nullptr;
}

AnsiString TCollection::GetNamePath() {
    return ClassName();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    Item->FCollection = nullptr;
    Changed();
}

// ---- TOwnedCollection

TOwnedCollection::TOwnedCollection(TPersistent* AOwner, TClass ItemClass)
    : TCollection(ItemClass), FOwner(AOwner) {}
