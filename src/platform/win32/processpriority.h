#pragma once
// The process's priority class, kept as a nice value.
#include "platform/win32/kernel.h"
#include <optional>

constexpr DWORD IDLE_PRIORITY_CLASS = 0x40, NORMAL_PRIORITY_CLASS = 0x20,
                HIGH_PRIORITY_CLASS = 0x80, REALTIME_PRIORITY_CLASS = 0x100;
HANDLE GetCurrentProcess();
DWORD GetPriorityClass(HANDLE hProcess);
// Raising the priority needs the privilege to do so (ERROR_ACCESS_DENIED).
BOOL SetPriorityClass(HANDLE hProcess, DWORD dwPriorityClass);
// Sets the calling thread's class only as far as RestorePriority can undo
// it, and never fails for want of privilege: a raise stops at the highest
// priority the user may set (none when that is no higher), a lowering the user
// could not climb back from is not made. Saved receives the nice value to put
// back, none when nothing changed.
BOOL ApplyPriorityClass(DWORD dwPriorityClass, std::optional<int>& Saved);
void RestorePriority(std::optional<int>& Saved);

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
