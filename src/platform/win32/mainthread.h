#pragma once
// Calls handed to the main thread. Worker threads (the serial event thread)
// hand calls over; the main thread runs them in CheckSynchronize, which the
// message loop calls. A queued call may name the object it belongs to, which
// withdraws what is still queued for it when it goes; a posted call may wait
// for a time on the platform clock, so timers need no thread of their own.
#include <atomic>
#include <cstdint>
#include <functional>

// Blocks until the main thread ran the call, or until *cancel turns true
// while the call has not started: then it is withdrawn and never runs. On the
// main thread the call runs at once. An exception the call raises passes on to
// CheckSynchronize's caller.
void SynchronizeWithMainThread(const std::function<void()>& call,
                               const std::atomic<bool>* cancel = nullptr);
// Returns at once. On the main thread the call runs at once.
void QueueToMainThread(std::function<void()> call, const void* owner = nullptr);
// Always queued, also from the main thread: runs in the first CheckSynchronize
// once delayMs have passed on the platform clock (GetTickCount).
void PostToMainThread(std::function<void()> call, const void* owner = nullptr,
                      uint32_t delayMs = 0);
// Withdraws every call of owner that has not started yet.
void RemoveQueuedCalls(const void* owner);

// Runs the calls that were due when it began (calls they queue wait for the
// next round); true when there was any.
bool CheckSynchronize();
// Milliseconds until the next posted call is due; 0 when one is due now, -1
// when none waits.
long NextQueuedCallDueMs();
bool IsMainThread();
// The message loop installs a hook that wakes it when a call is handed over.
void SetMainThreadWakeHook(std::function<void()> hook);
