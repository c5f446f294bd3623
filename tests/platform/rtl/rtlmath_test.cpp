#include "platform/rtl/clock.h"
#include "platform/rtl/rtlmath.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

TEST(RtlMath, RoundGoesHalfToEven) {
    const struct {
        double in;
        int64_t out;
    } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Round(c.in), c.out) << c.in;
    EXPECT_EQ(Trunc(-2.9), -2);
}

TEST(RtlMath, PixelPosSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(PixelPos(10.5), 10);
    EXPECT_EQ(PixelPos(11.5), 12);
    EXPECT_EQ(PixelPos(1e300), PixelLimit);
    EXPECT_EQ(PixelPos(-1e300), -PixelLimit);
    EXPECT_EQ(PixelPos(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(PixelPos(std::numeric_limits<double>::infinity(), 32767), 32767);
    EXPECT_EQ(Round(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(SafeInt(1e20), std::numeric_limits<int>::max());
}

TEST(RtlMath, MulDivUses64BitsAndRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, 1, 3), 2);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(1 << 30, 8, 1), -1);
}

TEST(RtlMath, RandomIsRepeatableFromAFixedSeed) {
    RandSeed = 12345;
    const int a = Random(1000), b = Random(1000);
    RandSeed = 12345;
    EXPECT_EQ(Random(1000), a);
    EXPECT_EQ(Random(1000), b);
    for (int i = 0; i < 1000; ++i) {
        const int r = Random(7);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 7);
    }
    EXPECT_EQ(Random(0), 0);
}

TEST(Clock, VirtualClockMakesSleepsFree) {
    TVirtualClockScope scope;
    const uint32_t t0 = GetTickCount();
    Sleep(5000);
    EXPECT_EQ(GetTickCount() - t0, 5000u);
    scope.Clock.Advance(10);
    EXPECT_EQ(GetTickCount() - t0, 5010u);
}
