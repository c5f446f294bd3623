#include "platform/win32/processpriority.h"
#include <algorithm>
#include <cerrno>
#include <climits>
#include <mutex>
#include <vector>
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

// The lowest nice value the calling thread may set and come back from: -20
// with the privilege, which shows only in a step below both the limit's floor
// and Now, taken and taken back at once.
int LowestNice(int Now) {
    const int floor = NiceFloor();
    const int probe = std::min(floor, Now) - 1;
    if (floor <= -20 || probe < -20 || ::setpriority(PRIO_PROCESS, 0, probe) != 0) return floor;
    ::setpriority(PRIO_PROCESS, 0, Now);
    return -20;
}

// The claims of the open ports, oldest first, each with the nice value it
// set; Base is the value from before the first, Lowest the one LowestNice
// gave there.
struct TClaims {
    std::mutex Lock;
    std::vector<std::pair<uint64_t, int>> Held;
    int Base = 0, Lowest = 0;
    uint64_t Next = 0;
};

TClaims& Claims() {
    static TClaims claims;
    return claims;
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

BOOL TPriorityClaim::Apply(DWORD dwPriorityClass) {
    Release();
    const int nice = NiceOfClass(dwPriorityClass);
    if (nice == INT_MIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    TClaims& claims = Claims();
    const std::lock_guard<std::mutex> lock(claims.Lock);
    errno = 0;
    const int now = ::getpriority(PRIO_PROCESS, 0);
    if (now == -1 && errno != 0) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    // Every class is measured against the value the last release puts back.
    const bool first = claims.Held.empty();
    const int base = first ? now : claims.Base;
    const int lowest = first ? LowestNice(now) : claims.Lowest;
    const int target = base < lowest ? base : std::max(nice, lowest);
    if (target != now && ::setpriority(PRIO_PROCESS, 0, target) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    if (first) {
        claims.Base = base;
        claims.Lowest = lowest;
    }
    FId = ++claims.Next;
    claims.Held.emplace_back(FId, target);
    return 1;
}

void TPriorityClaim::Release() {
    if (FId == 0) return;
    TClaims& claims = Claims();
    const std::lock_guard<std::mutex> lock(claims.Lock);
    auto& held = claims.Held;
    const auto mine =
        std::find_if(held.begin(), held.end(), [this](const auto& c) { return c.first == FId; });
    FId = 0;
    if (mine == held.end()) return;
    const bool latest = mine + 1 == held.end();
    const int was = mine->second;
    held.erase(mine);
    if (!latest) return; // a later claim's class holds on
    const int next = held.empty() ? claims.Base : held.back().second;
    if (next != was) ::setpriority(PRIO_PROCESS, 0, next);
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
