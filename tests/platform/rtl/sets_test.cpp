#include "platform/rtl/sets.h"
#include <gtest/gtest.h>

namespace {
enum TProbe { prA, prB, prLast = 63, prBeyond = 64, prFar = 200 };
}

TEST(Sets, ValuesBeyondTheSixtyFourMembersAreNeverIn) {
    TSet<TProbe> s{prA, prLast};
    s.Include(prBeyond).Include(prFar);
    EXPECT_EQ(s.Bits(), (uint64_t(1) << 63) | 1u);
    EXPECT_FALSE(s.Contains(prBeyond));
    EXPECT_FALSE(s.Contains(prFar));
    EXPECT_TRUE(s.Contains(prLast));
    s.Exclude(prFar);
    EXPECT_TRUE(s.Contains(prA));
}
