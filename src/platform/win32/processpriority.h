#pragma once
// The process's priority class, kept as a nice value.
#include "platform/win32/kernel.h"
#include <cstdint>

constexpr DWORD IDLE_PRIORITY_CLASS = 0x40, NORMAL_PRIORITY_CLASS = 0x20,
                HIGH_PRIORITY_CLASS = 0x80, REALTIME_PRIORITY_CLASS = 0x100;
HANDLE GetCurrentProcess();
DWORD GetPriorityClass(HANDLE hProcess);
// Raising the priority needs the privilege to do so (ERROR_ACCESS_DENIED).
BOOL SetPriorityClass(HANDLE hProcess, DWORD dwPriorityClass);
// A port's hold on the calling thread's priority class while it is open. The
// class of the latest claim still held applies; when the last claim goes, the
// nice value from before the first comes back, whatever the order in which
// they went. A class is applied only as far as that return can be made, and
// never fails for want of privilege: a raise stops at the highest priority
// the user may set (none when that is no higher), a lowering the user could
// not climb back from is not made.
class TPriorityClaim {
public:
    TPriorityClaim() = default;
    ~TPriorityClaim() { Release(); }
    TPriorityClaim(const TPriorityClaim&) = delete;
    TPriorityClaim& operator=(const TPriorityClaim&) = delete;
    // Releases a claim held, then claims the class.
    BOOL Apply(DWORD dwPriorityClass);
    void Release();

private:
    uint64_t FId = 0; // none held
};

// Thread priorities, relative to the process's. On Linux each thread has a
// nice value of its own: idle is 19, time-critical -20, the steps between
// move 5 or 10 from the process's own value.
constexpr int THREAD_PRIORITY_IDLE = -15, THREAD_PRIORITY_LOWEST = -2,
              THREAD_PRIORITY_BELOW_NORMAL = -1, THREAD_PRIORITY_NORMAL = 0,
              THREAD_PRIORITY_ABOVE_NORMAL = 1, THREAD_PRIORITY_HIGHEST = 2,
              THREAD_PRIORITY_TIME_CRITICAL = 15;
// The calling thread's id as the kernel knows it.
DWORD GetCurrentThreadId();
// Never refused for want of privilege, as on Windows: a raise beyond what the
// user may set (going back up from a lowered priority included) gives the
// highest priority the user may set below the one asked.
BOOL SetThreadPriority(DWORD dwThreadId, int nPriority);
