#include "platform/win32/processpriority.h"
#include <algorithm>
#include <cerrno>
#include <unistd.h>
#include <sys/resource.h>

HANDLE GetCurrentProcess() {
    return reinterpret_cast<HANDLE>(~uintptr_t(0) - 1);
}

DWORD GetPriorityClass(HANDLE) {
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    if (nice >= 10) return IDLE_PRIORITY_CLASS;
    if (nice <= -15) return REALTIME_PRIORITY_CLASS;
    if (nice <= -5) return HIGH_PRIORITY_CLASS;
    return NORMAL_PRIORITY_CLASS;
}

BOOL SetPriorityClass(HANDLE, DWORD dwPriorityClass) {
    int nice;
    switch (dwPriorityClass) {
    case IDLE_PRIORITY_CLASS:
        nice = 19;
        break;
    case NORMAL_PRIORITY_CLASS:
        nice = 0;
        break;
    case HIGH_PRIORITY_CLASS:
        nice = -10;
        break;
    case REALTIME_PRIORITY_CLASS:
        nice = -20;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (::setpriority(PRIO_PROCESS, 0, nice) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    return 1;
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(::gettid());
}

BOOL SetThreadPriority(DWORD dwThreadId, int nPriority) {
    errno = 0;
    const int base = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid()));
    if (base == -1 && errno != 0) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    int nice;
    switch (nPriority) {
    case THREAD_PRIORITY_IDLE:
        nice = 19;
        break;
    case THREAD_PRIORITY_LOWEST:
        nice = base + 10;
        break;
    case THREAD_PRIORITY_BELOW_NORMAL:
        nice = base + 5;
        break;
    case THREAD_PRIORITY_NORMAL:
        nice = base;
        break;
    case THREAD_PRIORITY_ABOVE_NORMAL:
        nice = base - 5;
        break;
    case THREAD_PRIORITY_HIGHEST:
        nice = base - 10;
        break;
    case THREAD_PRIORITY_TIME_CRITICAL:
        nice = -20;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    nice = std::clamp(nice, -20, 19);
    if (::setpriority(PRIO_PROCESS, static_cast<id_t>(dwThreadId), nice) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    return 1;
}
