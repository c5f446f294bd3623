#include "platform/classes/lists.h"
#include "platform/rtl/exceptions.h"
#include <gtest/gtest.h>
#include <cstdint>
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

int ByValue(void* a, void* b) {
    return V(a) < V(b) ? -1 : V(a) > V(b) ? 1 : 0;
}
int Tens(void* a, void* b) {
    return static_cast<int>(V(a) / 10 - V(b) / 10);
}
int Liar(void*, void*) {
    return -1;
} // says "less" every time
} // namespace

TEST(List, AddInsertDeleteRemoveExtract) {
    TList l;
    EXPECT_EQ(l.Add(P(1)), 0);
    l.Add(P(2));
    l.Insert(0, P(0));
    l.Insert(3, P(3)); // at the end is allowed
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{0, 1, 2, 3}));
    l.Delete(1);
    EXPECT_EQ(l.Remove(P(3)), 2);
    EXPECT_EQ(l.Remove(P(42)), -1);
    EXPECT_EQ(l.Extract(P(2)), P(2));
    EXPECT_EQ(l.Extract(P(2)), nullptr);
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{0}));
    EXPECT_EQ(l.First(), l.Last());
}

TEST(List, IndexErrorsNameTheIndex) {
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
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{1})); // untouched by the failures
    TList empty;
    EXPECT_THROW(empty.First(), EListError);
}

TEST(List, ExchangeMovePackCountCapacity) {
    TList l;
    for (int i = 1; i <= 5; ++i)
        l.Add(P(i));
    l.Exchange(0, 4);
    l.Move(0, 2);
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{2, 3, 5, 4, 1}));
    l.SetItems(1, nullptr);
    l.SetCount(7);
    EXPECT_EQ(l.Items(6), nullptr);
    l.Pack();
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{2, 5, 4, 1}));
    l.SetCapacity(100);
    EXPECT_GE(l.Capacity(), 100);
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
}

TEST(List, SortIsStableAndSafeWithAnyCompare) {
    TList l;
    for (intptr_t v : {31, 12, 35, 11, 20, 33})
        l.Add(P(v));
    l.Sort(Tens);
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{12, 11, 20, 31, 35, 33}));
    l.Sort(ByValue);
    EXPECT_EQ(Values(l), (std::vector<intptr_t>{11, 12, 20, 31, 33, 35}));
    TList big;
    for (int i = 0; i < 1000; ++i)
        big.Add(P(i));
    big.Sort(Liar); // an inconsistent compare must not run off the list
    EXPECT_EQ(big.Count(), 1000);
}
