#pragma once
// TCollection (a list of items of one class, created through that class's
// factory), TOwnedCollection (a collection that names its owner) and
// TCollectionItem (an item that knows its collection, index and ID).
#include "platform/classes/component.h"

class TCollection;

class TCollectionItem : public TPersistent {
    QM_CLASS(TCollectionItem)
public:
    // Joins Collection (when given) at its end.
    explicit TCollectionItem(TCollection* Collection);
    // Leaves the collection.
    ~TCollectionItem() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const { return FCollection; }
    // Moves the item to another collection (nullptr: to none). Raises
    // EListError when the item is not of that collection's item class.
    void SetCollection(TCollection* Value);
    // Unique within its collection for the collection's life; never reused.
    int ID() const { return FID; }
    int Index() const;
    // Moves the item inside its collection; EListError for an index out of range.
    virtual void SetIndex(int Value);
    AnsiString DisplayName() const { return GetDisplayName(); }
    virtual void SetDisplayName(const AnsiString& Value);
    // The collection's path and the index: "TCollection[2]".
    AnsiString GetNamePath() override;
    TPersistent* GetOwner() override;

protected:
    // Tells the collection: this item (AllItems false) or all of them changed.
    void Changed(bool AllItems);
    // The class name, unless a descendant names its items.
    virtual AnsiString GetDisplayName() const;

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
    QM_CLASS(TCollection)
public:
    explicit TCollection(TClass ItemClass);
    // Frees every item.
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    // A new item of ItemClass, made by its factory with this collection as owner.
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    // Frees every item, last first.
    void Clear();
    // Replaces the items with copies of Source's items (each assigned from its
    // counterpart). Source's item class must be ItemClass or related to it;
    // otherwise EConvertError is raised and nothing changes.
    void Assign(TPersistent* Source) override;

    void BeginUpdate();
    // Ends one BeginUpdate; the last one reports a change of all items.
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index outside 0..Count-1.
    TCollectionItem* Items(int Index) const;
    // Assigns Value into the existing item.
    void SetItems(int Index, TCollectionItem* Value);
    TClass ItemClass() const { return FItemClass; }
    TCollectionItem* FindItemID(int ID) const;
    AnsiString GetNamePath() override;

protected:
    // Called after a change of Item, or of all items when Item is nullptr,
    // unless an update is in progress.
    virtual void Update(TCollectionItem* Item);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

class TOwnedCollection : public TCollection {
    QM_CLASS(TOwnedCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TClass ItemClass);
    TPersistent* GetOwner() override { return FOwner; }

private:
    TPersistent* FOwner;
};
