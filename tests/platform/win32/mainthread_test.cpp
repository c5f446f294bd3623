#include "platform/rtl/clock.h"
#include "platform/win32/mainthread.h"
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {
// Waits (a second at most) until a call is queued and due.
bool CallQueued() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (NextQueuedCallDueMs() != 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return NextQueuedCallDueMs() == 0;
}
} // namespace

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

TEST(MainThreadCalls, AnObjectWithdrawsOnlyItsOwnCalls) {
    int first = 0, second = 0;
    const int ownerA = 0, ownerB = 0;
    std::thread worker([&] {
        QueueToMainThread([&] { ++first; }, &ownerA);
        QueueToMainThread([&] { ++second; }, &ownerB);
    });
    worker.join();
    PostToMainThread([&] { ++first; }, &ownerA, 10);
    RemoveQueuedCalls(&ownerA);
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(NextQueuedCallDueMs(), -1);
}

TEST(MainThreadCalls, WaitingWorkerWithdrawsItsCallOnCancelOrHasItRunOnTheMainThread) {
    std::atomic<bool> cancel{false};
    int ran = 0;
    std::thread withdrawn([&] { SynchronizeWithMainThread([&] { ran = -1; }, &cancel); });
    ASSERT_TRUE(CallQueued());
    cancel = true;
    withdrawn.join();
    EXPECT_FALSE(CheckSynchronize());
    EXPECT_EQ(ran, 0);

    std::thread waiting([&] { SynchronizeWithMainThread([&] { ran = IsMainThread() ? 1 : 2; }); });
    ASSERT_TRUE(CallQueued());
    EXPECT_TRUE(CheckSynchronize());
    waiting.join();
    EXPECT_EQ(ran, 1);
}
