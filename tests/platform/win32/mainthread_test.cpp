#include "platform/rtl/clock.h"
#include "platform/win32/mainthread.h"
#include <gtest/gtest.h>
#include <string>

TEST(MainThreadCalls, PostedCallsWaitForTheirTimeAndCallsQueuedInARoundWaitForTheNext) {
    TVirtualClockScope time;
    std::string ran;
    PostToMainThread([&] { ran += "b"; }, nullptr, 50);
    PostToMainThread([&] {
        ran += "a";
        PostToMainThread([&] { ran += "c"; }); // a call that queues itself cannot starve the loop
    });
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(ran, "a");
    EXPECT_EQ(NextQueuedCallDueMs(), 0);
    CheckSynchronize();
    EXPECT_EQ(ran, "ac");
    time.Clock.Advance(49);
    EXPECT_EQ(NextQueuedCallDueMs(), 1);
    EXPECT_FALSE(CheckSynchronize());
    time.Clock.Advance(1);
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(ran, "acb");
    EXPECT_EQ(NextQueuedCallDueMs(), -1);
}
