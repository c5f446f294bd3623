#include "platform/classes/component.h"
#include "platform/classes/watched.h"
#include "platform/rtl/exceptions.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {
std::vector<AnsiString> Log;

class TProbe : public TComponent {
    QM_CLASS(TProbe)
public:
    explicit TProbe(TComponent* AOwner) : TComponent(AOwner) {}
    ~TProbe() override { Log.push_back("free " + Name()); }
    TComponent* Watched = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Watched) {
            Log.push_back(Name() + " lost " + AComponent->Name());
            Watched = nullptr;
        }
    }
};
QM_CLASS_OWNED(TProbe, TComponent, TComponent)

class TOther : public TPersistent {
    QM_CLASS(TOther)
};
QM_CLASS_PLAIN(TOther, TPersistent)
} // namespace

TEST(Component, OwnerFreesItsComponentsLastFirst) {
    Log.clear();
    auto* owner = new TProbe(nullptr);
    owner->SetName("Owner");
    auto* a = new TProbe(owner);
    a->SetName("A");
    auto* b = new TProbe(owner);
    b->SetName("B");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(owner->FindComponent("a"), a);
    delete owner;
    EXPECT_EQ(Log, (std::vector<AnsiString>{"free Owner", "free B", "free A"}));
}

TEST(Component, FreeingAnOwnedComponentLeavesTheOwnersList) {
    TProbe owner(nullptr);
    auto* a = new TProbe(&owner);
    delete a;
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_THROW(owner.Components(0), EListError);
}

TEST(Component, NamesAreUniquePerOwnerWithoutRegardToCase) {
    TProbe owner(nullptr);
    auto* a = new TProbe(&owner);
    auto* b = new TProbe(&owner);
    a->SetName("Series1");
    EXPECT_THROW(b->SetName("SERIES1"), EComponentError);
    EXPECT_THROW(b->SetName("1abc"), EComponentError);
    b->SetName("Series2");
    a->SetName("series1"); // renaming itself in another case is fine
    EXPECT_EQ(a->Name(), "series1");
}

TEST(Component, FreeNotificationClearsReferencesBothWays) {
    Log.clear();
    TProbe owner(nullptr);
    auto* tool = new TProbe(&owner);
    tool->SetName("Tool");
    auto* series = new TProbe(nullptr);
    series->SetName("Series");
    tool->Watched = series;
    series->FreeNotification(tool);
    delete series;
    EXPECT_EQ(tool->Watched, nullptr);
    EXPECT_EQ(Log[0], "free Series");
    EXPECT_EQ(Log[1], "Tool lost Series");

    // Once the watcher is gone, freeing the watched one must not reach it.
    auto* other = new TProbe(nullptr);
    auto* watcher = new TProbe(nullptr);
    watcher->Watched = other;
    other->FreeNotification(watcher);
    delete watcher;
    delete other; // would touch freed memory if the link were left behind
}

TEST(Component, SiblingsHearOfARemovedComponent) {
    TProbe owner(nullptr);
    auto* chart = new TProbe(&owner);
    chart->SetName("Chart");
    auto* series = new TProbe(&owner);
    series->SetName("S");
    chart->Watched = series;
    delete series;
    EXPECT_EQ(chart->Watched, nullptr);
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaisesConvertError) {
    TOther a, b;
    try {
        a.Assign(&b);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a TOther to a TOther");
    }
    EXPECT_THROW(a.Assign(nullptr), EConvertError);
}

TEST(ClassRegistry, FindsRegisteredClassesByNameAndFactoriesTakeTheOwner) {
    RegisterClass(&TProbe::ClassInfo);
    EXPECT_EQ(GetClass("tprobe"), &TProbe::ClassInfo);
    EXPECT_EQ(GetClass("TNothing"), nullptr);
    EXPECT_THROW(FindClass("TNothing"), EClassNotFound);
    TProbe owner(nullptr);
    TObject* made = FindClass("TProbe")->Factory(&owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_TRUE(made->InheritsFrom(&TComponent::ClassInfo));
    EXPECT_EQ(made->ClassName(), "TProbe");
    auto listed = [] {
        const std::vector<TClass> all = RegisteredClasses();
        EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](TClass a, TClass b) {
            return std::string_view(a->Name) < b->Name;
        }));
        return std::count(all.begin(), all.end(), &TProbe::ClassInfo);
    };
    EXPECT_EQ(listed(), 1);
    UnRegisterClass(&TProbe::ClassInfo);
    EXPECT_EQ(GetClass("TProbe"), nullptr);
    EXPECT_EQ(listed(), 0);
}

namespace {
// Frees its partner when it hears that a component went away.
class TCascade : public TComponent {
public:
    explicit TCascade(TComponent* AOwner) : TComponent(AOwner) {}
    TComponent* Partner = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && Partner && AComponent != Partner) {
            TComponent* p = Partner;
            Partner = nullptr;
            delete p;
        }
    }
};
} // namespace

TEST(Component, AHandlerFreeingASiblingDuringNotificationIsSafe) {
    TComponent owner(nullptr);
    auto* victim = new TComponent(&owner);
    new TComponent(&owner);
    auto* cascade = new TCascade(&owner);
    cascade->Partner = victim;
    auto* last = new TComponent(&owner);
    delete last; // the owner tells its children; one of them frees another
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.Components(1), cascade);
}

TEST(Component, ARefusedNameKeepsTheComponentWithItsOwner) {
    TComponent first(nullptr), second(nullptr);
    auto* a = new TComponent(&first);
    a->SetName("Chart1");
    auto* b = new TComponent(&second);
    b->SetName("CHART1");
    EXPECT_THROW(second.InsertComponent(a), EComponentError);
    EXPECT_EQ(a->Owner(), &first);
    EXPECT_EQ(first.ComponentCount(), 1);
    b->SetName("Chart2");
    second.InsertComponent(a);
    EXPECT_EQ(a->Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0);
}

namespace {
std::vector<AnsiString> Heard;

// Keeps TComponent's Notification: once built, inserts among its siblings pass it by.
class TQuiet : public TComponent {
    QM_CLASS(TQuiet)
public:
    explicit TQuiet(TComponent* AOwner) : TComponent(AOwner) {}
};
QM_CLASS_OWNED(TQuiet, TComponent, TComponent)

class TEar : public TComponent {
    QM_CLASS(TEar)
public:
    explicit TEar(TComponent* AOwner) : TComponent(AOwner) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opInsert) Heard.push_back(Name() + " heard " + AComponent->Name());
    }
};
QM_CLASS_OWNED(TEar, TComponent, TComponent)

// Listens without class info of its own: its parent's says nothing about it.
class TEarWithoutInfo : public TQuiet {
public:
    using TQuiet::TQuiet;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TQuiet::Notification(AComponent, Operation);
        if (Operation == opInsert) Heard.push_back(Name() + " heard " + AComponent->Name());
    }
};

// Listens through an override its subclass cannot see.
class TPrivateEar : public TComponent {
    QM_CLASS(TPrivateEar)
public:
    explicit TPrivateEar(TComponent* AOwner) : TComponent(AOwner) {}

private:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opInsert) Heard.push_back(Name() + " heard " + AComponent->Name());
    }
};
QM_CLASS_OWNED(TPrivateEar, TComponent, TComponent)
class TPrivateEarChild : public TPrivateEar {
    QM_CLASS(TPrivateEarChild)
public:
    using TPrivateEar::TPrivateEar;
};
QM_CLASS_OWNED(TPrivateEarChild, TPrivateEar, TComponent)

template <class T> T* Built(TComponent* Owner, const char* Name) {
    auto* c = new T(Owner);
    c->SetName(Name);
    c->AfterConstruction();
    return c;
}

// Named before it comes, so that listeners can tell who came.
void AddNewcomer(TComponent* Owner) {
    Owner->InsertComponent(Built<TQuiet>(nullptr, "New"));
}
} // namespace

TEST(ComponentInserts, EveryListenerHearsThemWhereverItSits) {
    using TMake = TComponent* (*)(TComponent*);
    const std::pair<const char*, TMake> listeners[] = {
        {"with class info", [](TComponent* o) -> TComponent* { return Built<TEar>(o, "X"); }},
        {"without", [](TComponent* o) -> TComponent* { return Built<TEarWithoutInfo>(o, "X"); }},
        {"hidden", [](TComponent* o) -> TComponent* { return Built<TPrivateEarChild>(o, "X"); }},
    };
    for (const auto& [kind, make] : listeners) {
        // Beside the newcomer, and two quiet levels below its siblings.
        TQuiet root(nullptr);
        Built<TQuiet>(&root, "Before");
        make(&root);
        auto* group = Built<TQuiet>(&root, "Group");
        make(Built<TQuiet>(group, "Inner"));
        Heard.clear();
        AddNewcomer(&root);
        EXPECT_EQ(Heard, (std::vector<AnsiString>{"X heard New", "X heard New"})) << kind;
    }
}

TEST(ComponentInserts, AListenerMovedOrFreedIsCountedWhereItIs) {
    TQuiet root(nullptr);
    auto* a = Built<TQuiet>(&root, "A");
    auto* b = Built<TQuiet>(&root, "B");
    auto* ear = Built<TEar>(a, "Ear");
    Built<TQuiet>(&root, "Plain");
    b->InsertComponent(ear); // leaves A quiet, makes B a way in
    Heard.clear();
    AddNewcomer(&root);
    EXPECT_EQ(Heard, std::vector<AnsiString>{"Ear heard New"});
    delete root.FindComponent("New");
    b->RemoveComponent(ear);
    Heard.clear();
    AddNewcomer(&root);
    EXPECT_TRUE(Heard.empty());
    delete ear;
    Built<TEar>(a, "Second");
    delete root.FindComponent("New");
    Heard.clear();
    AddNewcomer(&root);
    EXPECT_EQ(Heard, std::vector<AnsiString>{"Second heard New"});
}

TEST(Watched, ReadsEmptyOnceTheObjectIsGoneInEveryCopy) {
    auto* other = new TOther;
    TWatched<TOther> a = other;
    std::vector<TWatched<TOther>> list{a, a};
    EXPECT_EQ(a.Get(), other);
    EXPECT_TRUE(list[1] == other);
    EXPECT_FALSE(a.Gone());
    delete other;
    EXPECT_EQ(a.Get(), nullptr);
    EXPECT_EQ(static_cast<TOther*>(list[0]), nullptr);
    EXPECT_TRUE(list[1].Gone());
    a = nullptr;
    EXPECT_FALSE(a.Gone());
}

TEST(Watched, AComponentIsGoneFromTheStartOfItsDestruction) {
    auto* owner = new TProbe(nullptr);
    auto* child = new TProbe(owner);
    TWatched<TProbe> toOwner = owner, toChild = child;
    // Its owner on the way out takes every component with it at once.
    owner->Destroying();
    EXPECT_TRUE(toOwner.Gone());
    EXPECT_TRUE(toChild.Gone());
    EXPECT_TRUE(TWatched<TProbe>(child).Gone());
    delete owner;
}

// A component taken out of an owner on its way out outlives it: it is no
// longer gone, nor is what it owns.
TEST(Watched, AComponentTakenFromAnOwnerOnItsWayOutIsThereAgain) {
    auto* owner = new TProbe(nullptr);
    auto* kept = new TProbe(owner);
    auto* part = new TProbe(kept);
    TWatched<TProbe> toKept = kept, toPart = part;
    owner->Destroying();
    ASSERT_TRUE(toKept.Gone());
    owner->RemoveComponent(kept);
    kept->Reprieve();
    delete owner;
    EXPECT_EQ(toKept.Get(), kept);
    EXPECT_EQ(toPart.Get(), part);
    EXPECT_FALSE(kept->IsDestroying());
    EXPECT_FALSE(part->IsDestroying());
    delete kept;
    EXPECT_TRUE(toPart.Gone());
}

// What a routine holds across a handler: any one gone is enough, nulls count
// for nothing, and a holder made while an owner is on its way out reads gone
// at once, so no handler runs then.
TEST(CallOut, TellsWhetherAnythingHeldWentDuringTheCall) {
    auto* owner = new TProbe(nullptr);
    auto* child = new TProbe(owner);
    auto* other = new TOther;
    TCallOut held{child, nullptr, other};
    EXPECT_TRUE(held.Live());
    delete other;
    EXPECT_TRUE(held.Gone());

    TCallOut again{child};
    owner->Destroying();
    EXPECT_TRUE(again.Gone());
    EXPECT_TRUE(TCallOut({child}).Gone());
    EXPECT_TRUE(TCallOut({}).Live());
    delete owner;
    EXPECT_TRUE(again.Gone());
}
