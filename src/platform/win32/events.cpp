#include "platform/win32/events.h"
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

namespace {
struct TEventState {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Manual = true;
    bool Set = false;
};

// Handles map to shared states, so a wait in progress keeps its state alive
// while another thread closes the handle.
std::mutex& EventsMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}
std::map<HANDLE, std::shared_ptr<TEventState>>& Events() {
    static auto* events = new std::map<HANDLE, std::shared_ptr<TEventState>>;
    return *events;
}

class TEventObject : public TKernelObject {
public:
    ~TEventObject() override {
        std::lock_guard<std::mutex> guard(EventsMutex());
        Events().erase(this);
    }
};

std::shared_ptr<TEventState> FindEvent(HANDLE h) {
    std::lock_guard<std::mutex> guard(EventsMutex());
    const auto it = Events().find(h);
    if (it == Events().end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second;
}
} // namespace

HANDLE CreateEventA(void*, BOOL bManualReset, BOOL bInitialState, const char*) {
    auto state = std::make_shared<TEventState>();
    state->Manual = bManualReset != 0;
    state->Set = bInitialState != 0;
    auto object = std::make_unique<TEventObject>();
    const HANDLE h = object.get();
    {
        std::lock_guard<std::mutex> guard(EventsMutex());
        Events()[h] = state;
    }
    return AddKernelObject(std::move(object));
}

BOOL SetEvent(HANDLE hEvent) {
    const auto s = FindEvent(hEvent);
    if (!s) return 0;
    std::lock_guard<std::mutex> lock(s->Mutex);
    s->Set = true;
    s->Changed.notify_all();
    return 1;
}

BOOL ResetEvent(HANDLE hEvent) {
    const auto s = FindEvent(hEvent);
    if (!s) return 0;
    std::lock_guard<std::mutex> lock(s->Mutex);
    s->Set = false;
    return 1;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    const auto s = FindEvent(hHandle);
    if (!s) return WAIT_FAILED;
    std::unique_lock<std::mutex> lock(s->Mutex);
    const auto isSet = [&] { return s->Set; };
    if (dwMilliseconds == INFINITE)
        s->Changed.wait(lock, isSet);
    else if (!s->Changed.wait_for(lock, std::chrono::milliseconds(dwMilliseconds), isSet))
        return WAIT_TIMEOUT;
    if (!s->Manual) s->Set = false;
    return WAIT_OBJECT_0;
}
