#include "platform/classes/lists.h"
#include "platform/rtl/exceptions.h"
#include <gtest/gtest.h>
#include <cstdint>
#include <functional>
#include <vector>

namespace {
void* P(intptr_t v) {
    return reinterpret_cast<void*>(v);
}
intptr_t V(void* p) {
    return reinterpret_cast<intptr_t>(p);
}

std::vector<intptr_t> Values(const TList& l) {
    std::vector<intptr_t> out;
    for (int i = 0; i < l.Count(); ++i)
        out.push_back(V(l.Items(i)));
    return out;
}
} // namespace

TEST(List, EditsKeepTheOrderOfTheOthers) {
    TList l;
    for (int i = 1; i <= 5; ++i)
        l.Add(P(i));
    l.Insert(5, P(6)); // at the end is allowed
    l.Exchange(0, 4);
    l.Move(0, 2); // the others close up, then it goes in
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{2, 3, 5, 4, 1, 6}));
    EXPECT_EQ(l.Remove(P(4)), 3);
    EXPECT_EQ(l.Remove(P(42)), -1);
    EXPECT_EQ(l.Extract(P(42)), nullptr);
    l.SetItems(0, nullptr);
    l.SetCount(7);
    l.Pack();
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{3, 5, 1, 6}));
}

TEST(List, IndexErrorsNameTheIndexAndChangeNothing) {
    TList l;
    l.Add(P(1));
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"Items", [&] { l.Items(1); }, "List index out of bounds (1)"},
        {"SetItems", [&] { l.SetItems(-1, nullptr); }, "List index out of bounds (-1)"},
        {"Delete", [&] { l.Delete(5); }, "List index out of bounds (5)"},
        {"Insert", [&] { l.Insert(2, nullptr); }, "List index out of bounds (2)"},
        {"Exchange", [&] { l.Exchange(0, 3); }, "List index out of bounds (3)"},
        {"Move", [&] { l.Move(0, 7); }, "List index out of bounds (7)"},
        {"SetCount", [&] { l.SetCount(-2); }, "List count out of bounds (-2)"},
        {"SetCapacity", [&] { l.SetCapacity(0); }, "List capacity out of bounds (0)"},
        {"Last", [&] { TList().Last(); }, "List index out of bounds (-1)"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no exception";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message, c.message);
        }
    }
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{1}));
}

TEST(List, SortIsStableAndSafeWithAnyCompare) {
    TList l;
    for (intptr_t v : {31, 12, 35, 11, 20, 33})
        l.Add(P(v));
    l.Sort([](void* a, void* b) { return static_cast<int>(V(a) / 10 - V(b) / 10); });
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{12, 11, 20, 31, 35, 33}));
    TList big;
    for (int i = 0; i < 1000; ++i)
        big.Add(P(i));
    big.Sort([](void*, void*) { return -1; }); // an inconsistent compare must not run off
    EXPECT_EQ(big.Count(), 1000);
}
