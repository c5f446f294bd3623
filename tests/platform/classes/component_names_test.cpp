// Finding owned components by name once an owner has many of them, the class
// registry by name, and strings read through a small reader buffer.
#include "streaming_fixtures.h"
#include "platform/classes/nametable.h"
#include "platform/classes/streams.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// What FindComponent must answer: the first in list order with that name.
TComponent* Scan(const TComponent& Owner, const AnsiString& Name) {
    if (Name.IsEmpty()) return nullptr;
    for (int i = 0; i < Owner.ComponentCount(); ++i)
        if (SameText(Owner.Components(i)->Name(), Name)) return Owner.Components(i);
    return nullptr;
}

// Lets siblings share a name, which only an override can allow.
class TLenient : public TComponent {
public:
    explicit TLenient(TComponent* AOwner) : TComponent(AOwner) {}

protected:
    void ValidateRename(TComponent*, const AnsiString&, const AnsiString&) override {}
};

// Hears every notification that reaches it.
class TListener : public TComponent {
public:
    TListener(TComponent* AOwner, std::vector<AnsiString>& Log) : TComponent(AOwner), FLog(Log) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        FLog.push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name());
    }

private:
    std::vector<AnsiString>& FLog;
};

} // namespace

TEST(ComponentNames, ManyComponentsFoundAfterRenamesMovesAndFrees) {
    TComponent owner(nullptr), other(nullptr);
    std::vector<TComponent*> c;
    for (int i = 0; i < 40; ++i) {
        c.push_back(new TComponent(&owner));
        c.back()->SetName("Item" + IntToStr(i));
    }
    EXPECT_EQ(owner.FindComponent("ITEM7"), c[7]);
    c[7]->SetName("Renamed");
    EXPECT_EQ(owner.FindComponent("item7"), nullptr);
    EXPECT_EQ(owner.FindComponent("RENAMED"), c[7]);
    EXPECT_THROW(c[8]->SetName("renamed"), EComponentError);
    EXPECT_EQ(c[8]->Name(), "Item8");
    c[9]->SetName("");
    EXPECT_EQ(owner.FindComponent("Item9"), nullptr);
    delete c[10];
    EXPECT_EQ(owner.FindComponent("Item10"), nullptr);
    c[11]->SetName("Item10"); // the freed component's name is free again
    EXPECT_EQ(owner.FindComponent("item10"), c[11]);
    other.InsertComponent(c[12]);
    EXPECT_EQ(owner.FindComponent("Item12"), nullptr);
    EXPECT_EQ(other.FindComponent("Item12"), c[12]);
    auto* stranger = new TComponent(&other);
    stranger->SetName("ITEM13");
    EXPECT_THROW(owner.InsertComponent(stranger), EComponentError);
    EXPECT_EQ(stranger->Owner(), &other);
}

TEST(ComponentNames, RandomChangesAgreeWithAScanOfTheList) {
    TComponent owners[2] = {TComponent(nullptr), TComponent(nullptr)};
    std::mt19937 random(4711);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 3000; ++step) {
        TComponent& owner = owners[pick(2)];
        const int count = owner.ComponentCount();
        const AnsiString name = "N" + IntToStr(pick(60));
        const int action = count < 8 ? 0 : pick(5);
        try {
            if (action == 0) {
                (new TComponent(&owner))->SetName(pick(4) ? name : LowerCase(name));
            } else if (action == 1) {
                owner.Components(pick(count))->SetName(pick(6) ? name : AnsiString());
            } else if (action == 2) {
                delete owner.Components(pick(count));
            } else if (action == 3) {
                owners[pick(2)].InsertComponent(owner.Components(pick(count)));
            } else {
                owner.Components(pick(count))->SetComponentIndex(pick(count));
            }
        } catch (const EComponentError&) {
            // A name already taken: a new component stays, without a name.
        }
        for (const TComponent& o : owners)
            for (int n = 0; n < 60; n += 7)
                ASSERT_EQ(o.FindComponent("n" + IntToStr(n)), Scan(o, "N" + IntToStr(n)))
                    << "step " << step;
    }
}

namespace {
struct TEntry {
    std::string Name;
};
std::string_view EntryName(const TEntry* e) {
    return e->Name;
}
} // namespace

TEST(NameTable, DenseRandomAddsAndRemovesAgreeWithCounts) {
    std::mt19937 random(1234);
    std::vector<TEntry> entries(2000);
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i].Name = (i % 3 ? "Name" : "NAME") + std::to_string(random() % 400);
    qm_detail::TNameTable<const TEntry*, &EntryName> table;
    std::vector<bool> in(entries.size());
    std::map<std::string, int> counts; // by upper-case name
    for (int step = 0; step < 20000; ++step) {
        const size_t i = random() % entries.size();
        if (in[i])
            EXPECT_TRUE(table.Remove(&entries[i]));
        else
            table.Add(&entries[i]);
        in[i] = !in[i];
        counts[UpperCase(entries[i].Name).str()] += in[i] ? 1 : -1;
        if (step % 50) continue;
        for (int n = 0; n < 400; ++n) {
            const std::string name = "name" + std::to_string(n);
            const int matches = counts["NAME" + std::to_string(n)];
            bool several = false;
            const TEntry* found = table.Find(name, &several);
            ASSERT_EQ(found != nullptr, matches > 0) << name << " at step " << step;
            ASSERT_EQ(several, matches > 1) << name << " at step " << step;
            if (found) {
                ASSERT_TRUE(SameText(found->Name, name));
            }
        }
    }
    EXPECT_EQ(table.Count(), static_cast<size_t>(std::count(in.begin(), in.end(), true)));
    const size_t absent = static_cast<size_t>(std::find(in.begin(), in.end(), false) - in.begin());
    EXPECT_FALSE(table.Remove(&entries[absent]));
}

TEST(ComponentNames, SharedNamesFindTheFirstInListOrder) {
    TLenient owner(nullptr);
    for (int i = 0; i < 30; ++i)
        (new TComponent(&owner))->SetName("Twin");
    TComponent* third = owner.Components(2);
    third->SetComponentIndex(0);
    EXPECT_EQ(owner.FindComponent("TWIN"), third);
    delete third;
    EXPECT_EQ(owner.FindComponent("twin"), owner.Components(0));
}

TEST(ComponentNames, InsertsReachSiblingsAndTheirOwnedComponentsLastFirst) {
    std::vector<AnsiString> log;
    TComponent owner(nullptr);
    for (int i = 0; i < 20; ++i)
        (new TListener(&owner, log))->SetName("L" + IntToStr(i));
    auto* group = new TListener(&owner, log);
    group->SetName("G");
    (new TListener(group, log))->SetName("Inner");
    log.clear();
    auto* last = new TComponent(nullptr);
    last->SetName("New");
    owner.InsertComponent(last);
    ASSERT_EQ(log.size(), 22u);
    EXPECT_EQ(log[0], "Inner +New");
    EXPECT_EQ(log[1], "G +New");
    EXPECT_EQ(log[2], "L19 +New");
    EXPECT_EQ(log[21], "L0 +New");
}

TEST(ClassRegistryNames, ManyClassesRegisteredAndRemovedWithoutRegardToCase) {
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i)
        names.push_back("TProbeClass" + std::to_string(i));
    std::vector<TClassInfo> classes;
    for (const std::string& n : names)
        classes.push_back(TClassInfo{n.c_str(), &TObject::ClassInfo, nullptr, nullptr});
    for (const TClassInfo& c : classes)
        RegisterClass(&c);
    for (size_t i = 0; i < classes.size(); i += 2)
        UnRegisterClass(&classes[i]);
    // Another class of a taken name replaces the registered one; removing the
    // replaced one leaves the newcomer.
    TClassInfo newcomer{"TPROBECLASS1", &TObject::ClassInfo, nullptr, nullptr};
    RegisterClass(&newcomer);
    UnRegisterClass(&classes[1]);
    EXPECT_EQ(GetClass("tprobeclass1"), &newcomer);
    for (size_t i = 2; i < classes.size(); ++i)
        EXPECT_EQ(GetClass(UpperCase(names[i])), i % 2 ? &classes[i] : nullptr) << names[i];
    for (size_t i = 1; i < classes.size(); i += 2)
        UnRegisterClass(&classes[i]);
    UnRegisterClass(&newcomer);
    EXPECT_EQ(GetClass("TProbeClass1"), nullptr);
    EXPECT_EQ(GetClass("TProbeClass299"), nullptr);
}

TEST(ComponentNames, StringsOfEveryLengthReadThroughASmallBuffer) {
    for (size_t length : {0u, 5u, 15u, 16u, 17u, 255u, 256u, 5000u}) {
        TFxPanel p(nullptr);
        p.SetName("P");
        p.SetCaption(std::string(length, 'c'));
        TStringStream s(SaveBinary(&p));
        TReader reader(&s, 16);
        TFxPanel copy(nullptr);
        reader.ReadRootComponent(&copy);
        EXPECT_EQ(copy.Caption().Length(), static_cast<int>(length));
        EXPECT_EQ(copy.Caption(), p.Caption());
    }
}
