#pragma once
// Event objects: a flag threads wait for, set by whoever finishes the work
// (the serial port's transfers that do not wait for their completion).
#include "platform/win32/kernel.h"

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// A manual-reset event stays set until ResetEvent; an auto-reset one is
// cleared again by the one wait it ends. Names are not supported (each call
// makes a new event). CloseHandle frees it.
HANDLE CreateEventA(void* lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                    const char* lpName);
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);
// WAIT_OBJECT_0 once the event is set, WAIT_TIMEOUT after dwMilliseconds
// (INFINITE: no limit), WAIT_FAILED with ERROR_INVALID_HANDLE for a handle
// that is no event.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
