#include "platform/win32/processpriority.h"
#include <algorithm>
#include <cerrno>
#include <climits>
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

namespace {
int NiceOfClass(DWORD dwPriorityClass) {
    switch (dwPriorityClass) {
    case IDLE_PRIORITY_CLASS:
        return 19;
    case NORMAL_PRIORITY_CLASS:
        return 0;
    case HIGH_PRIORITY_CLASS:
        return -10;
    case REALTIME_PRIORITY_CLASS:
        return -20;
    }
    return INT_MIN;
}

// The lowest nice value the process's nice limit lets anyone reach.
int NiceFloor() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NICE, &limit) != 0) return 20;
    return 20 - static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 40));
}

// Whether the calling thread may go back down to nice value Now once it
// went above it: tried with one step below and straight back.
bool MayReturnTo(int Now) {
    if (Now >= NiceFloor()) return true;
    // At -20 a step below is no step at all, so trying proves nothing.
    if (Now <= -20 || ::setpriority(PRIO_PROCESS, 0, Now - 1) != 0) return false;
    ::setpriority(PRIO_PROCESS, 0, Now);
    return true;
}
} // namespace

BOOL SetPriorityClass(HANDLE, DWORD dwPriorityClass) {
    const int nice = NiceOfClass(dwPriorityClass);
    if (nice == INT_MIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (::setpriority(PRIO_PROCESS, 0, nice) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    return 1;
}

BOOL ApplyPriorityClass(DWORD dwPriorityClass, std::optional<int>& Saved) {
    Saved.reset();
    int nice = NiceOfClass(dwPriorityClass);
    if (nice == INT_MIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    errno = 0;
    const int now = ::getpriority(PRIO_PROCESS, 0);
    if (now == -1 && errno != 0) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    if (nice == now || (nice > now && !MayReturnTo(now))) return 1;
    bool set = ::setpriority(PRIO_PROCESS, 0, nice) == 0;
    if (!set && nice < now && (errno == EACCES || errno == EPERM)) {
        nice = std::max(nice, NiceFloor());
        if (nice >= now) return 1;
        set = ::setpriority(PRIO_PROCESS, 0, nice) == 0;
    }
    if (!set) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    Saved = now;
    return 1;
}

void RestorePriority(std::optional<int>& Saved) {
    if (Saved) ::setpriority(PRIO_PROCESS, 0, *Saved);
    Saved.reset();
}

namespace {
// Without the privilege a thread may keep its nice value or go up to where the
// process's nice limit allows; -20 when the thread cannot be asked.
int LowestNiceAllowed(id_t thread) {
    errno = 0;
    const int now = ::getpriority(PRIO_PROCESS, thread);
    if (now == -1 && errno != 0) return -20;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NICE, &limit) != 0) return now;
    const int byLimit = 20 - static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 40));
    return std::min(now, byLimit);
}
} // namespace

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
    const id_t thread = static_cast<id_t>(dwThreadId);
    if (::setpriority(PRIO_PROCESS, thread, nice) == 0) return 1;
    int error = errno;
    if (error == EACCES) {
        // Windows gives a thread any priority within its process's class; here
        // a raise needs the privilege, so the thread gets the highest it may.
        const int allowed = LowestNiceAllowed(thread);
        if (allowed > nice) {
            if (::setpriority(PRIO_PROCESS, thread, allowed) == 0) return 1;
            error = errno;
        }
    }
    SetLastError(ErrorFromErrno(error));
    return 0;
}
