#pragma once
// Libraries loaded at run time by name, through the system's loader, and the
// process's error mode.
#include "platform/win32/kernel.h"

using HMODULE = void*;
using UINT = unsigned int;

constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOGPFAULTERRORBOX = 0x0002;
constexpr UINT SEM_NOALIGNMENTFAULTEXCEPT = 0x0004;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;

constexpr DWORD ERROR_MOD_NOT_FOUND = 126;

// Sets the process's error mode and returns the previous one. The loader
// never shows a box here: a library that cannot be loaded is only reported
// through the result and GetLastError, whatever the mode.
UINT SetErrorMode(UINT Mode);
UINT GetErrorMode();

// Loads a library by file name (searched as the system's loader searches
// names without a folder) or path. Null with ERROR_MOD_NOT_FOUND when it
// cannot be loaded (missing, not a library, unresolved symbols).
HMODULE LoadLibraryA(const char* FileName);
// Frees one load of the library; each successful load needs one. False with
// ERROR_INVALID_HANDLE for a handle that is not loaded (never freed twice).
BOOL FreeLibrary(HMODULE Module);
