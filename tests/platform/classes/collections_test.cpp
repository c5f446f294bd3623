#include "platform/classes/collections.h"
#include "platform/rtl/exceptions.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
class TLevel : public TCollectionItem {
    QM_CLASS(TLevel)
public:
    explicit TLevel(TCollection* Collection) : TCollectionItem(Collection) {}
    double Value = 0;
    void Assign(TPersistent* Source) override {
        if (auto* other = dynamic_cast<TLevel*>(Source)) {
            Value = other->Value;
            return;
        }
        TCollectionItem::Assign(Source);
    }
};
QM_CLASS_OWNED(TLevel, TCollectionItem, TCollection)

class TOtherItem : public TCollectionItem {
    QM_CLASS(TOtherItem)
public:
    explicit TOtherItem(TCollection* Collection) : TCollectionItem(Collection) {}
};
QM_CLASS_OWNED(TOtherItem, TCollectionItem, TCollection)

// Records the Update calls it hears.
class TLevels : public TOwnedCollection {
public:
    explicit TLevels(TPersistent* AOwner) : TOwnedCollection(AOwner, &TLevel::ClassInfo) {}
    TLevel* Get(int i) const { return static_cast<TLevel*>(Items(i)); }
    std::vector<TCollectionItem*> Updates;

protected:
    void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
};

std::vector<double> Values(const TLevels& c) {
    std::vector<double> out;
    for (int i = 0; i < c.Count(); ++i)
        out.push_back(c.Get(i)->Value);
    return out;
}
} // namespace

TEST(Collection, AddInsertDeleteKeepIndexesAndIDs) {
    TPersistent owner;
    TLevels c(&owner);
    EXPECT_EQ(c.GetOwner(), &owner);
    auto* a = static_cast<TLevel*>(c.Add());
    a->Value = 1;
    auto* b = static_cast<TLevel*>(c.Add());
    b->Value = 2;
    auto* first = static_cast<TLevel*>(c.Insert(0));
    first->Value = 0;
    EXPECT_EQ(Values(c), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(first->ID(), 2);
    EXPECT_EQ(b->Index(), 2);
    EXPECT_EQ(c.FindItemID(1), b);
    EXPECT_EQ(b->GetNamePath(), "TOwnedCollection[2]");

    c.Delete(1); // a
    EXPECT_EQ(Values(c), (std::vector<double>{0, 2}));
    EXPECT_EQ(static_cast<TLevel*>(c.Add())->ID(), 3); // IDs are never reused
    b->SetIndex(0);
    EXPECT_EQ(Values(c), (std::vector<double>{2, 0, 0}));
    EXPECT_THROW(b->SetIndex(3), EListError);
    EXPECT_THROW(c.Items(3), EListError);
    EXPECT_THROW(c.Delete(-1), EListError);
    EXPECT_THROW(c.Insert(4), EListError);
    EXPECT_EQ(c.Count(), 3);
    delete b; // freeing an item takes it out
    EXPECT_EQ(c.Count(), 2);
}

TEST(Collection, UpdatesComeOnceAfterEachChangeOrUpdateBlock) {
    TLevels c(nullptr);
    c.Add();
    ASSERT_EQ(c.Updates.size(), 1u);
    EXPECT_EQ(c.Updates[0], nullptr);
    c.Updates.clear();
    c.BeginUpdate();
    c.Add();
    c.Add();
    c.Delete(0);
    EXPECT_TRUE(c.Updates.empty());
    c.EndUpdate();
    EXPECT_EQ(c.Updates.size(), 1u);
    c.Updates.clear();
    c.Get(0)->SetDisplayName("x"); // a change of one item names it
    ASSERT_EQ(c.Updates.size(), 1u);
    EXPECT_EQ(c.Updates[0], c.Items(0));
}

TEST(Collection, AssignCopiesItemsOfTheSameClass) {
    TLevels src(nullptr), dst(nullptr);
    for (double v : {1.5, 2.5, 3.5})
        static_cast<TLevel*>(src.Add())->Value = v;
    dst.Add();
    dst.Updates.clear();
    dst.Assign(&src);
    EXPECT_EQ(Values(dst), Values(src));
    EXPECT_EQ(dst.Updates.size(), 1u);
    EXPECT_NE(dst.Items(0), src.Items(0));
    dst.Assign(&dst);
    EXPECT_EQ(Values(dst), Values(src));

    // Items of an unrelated class are refused before anything is cleared.
    TCollection others(&TOtherItem::ClassInfo);
    others.Add();
    EXPECT_THROW(dst.Assign(&others), EConvertError);
    EXPECT_EQ(dst.Count(), 3);
}

TEST(Collection, ItemsMoveOnlyBetweenCollectionsOfTheirClass) {
    TLevels a(nullptr), b(nullptr);
    TCollectionItem* item = a.Add();
    item->SetCollection(&b);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(b.Items(0), item);
    TCollection others(&TOtherItem::ClassInfo);
    EXPECT_THROW(item->SetCollection(&others), EListError);
    EXPECT_EQ(item->Collection(), &b);
    TCollection abstractItems(&TPersistent::ClassInfo);
    EXPECT_THROW(abstractItems.Add(), EListError); // not an item class
    TCollection noClass(nullptr);
    EXPECT_THROW(noClass.Add(), EInvalidOperation);
}
