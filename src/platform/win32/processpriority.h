#pragma once
// The process's priority class, kept as a nice value.
#include "platform/win32/kernel.h"

constexpr DWORD IDLE_PRIORITY_CLASS = 0x40, NORMAL_PRIORITY_CLASS = 0x20,
                HIGH_PRIORITY_CLASS = 0x80, REALTIME_PRIORITY_CLASS = 0x100;
HANDLE GetCurrentProcess();
DWORD GetPriorityClass(HANDLE hProcess);
// Raising the priority needs the privilege to do so (ERROR_ACCESS_DENIED).
BOOL SetPriorityClass(HANDLE hProcess, DWORD dwPriorityClass);
