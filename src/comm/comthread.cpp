#include "comm/comthread.h"
#include "platform/win32/commapi.h"
#include "platform/win32/mainthread.h"
#include "platform/win32/processpriority.h"
#include <pthread.h>

namespace {
// Joins a thread whose join had to wait for the main thread's next round.
struct TJoiner {
    std::thread Thread;
    ~TJoiner() {
        if (Thread.joinable()) Thread.join();
    }
};
} // namespace

TComThread::TComThread(TCustomComPort* ComPort) : FState(std::make_shared<TState>()) {
    FState->Port = ComPort;
    FState->Handle = ComPort->FHandle;
    FState->Synchronize = ComPort->SynchronizeEvents();
    auto started = FState->Started.get_future();
    try {
        FThread = std::thread(&TComThread::Execute, FState);
    } catch (const std::system_error&) {
        ComPort->RaiseError(0, "Can't create thread");
    }
    FThreadId = started.get();
}

TComThread::~TComThread() {
    Stop();
}

bool TComThread::IsCurrentThread() const {
    return std::this_thread::get_id() == FThread.get_id();
}

void TComThread::Stop() {
    if (!FThread.joinable()) return;
    FState->Stopping = true;
    const bool inside = IsCurrentThread() || FState->InMainDispatch;
    // A handler running on the thread itself finishes first.
    if (!IsCurrentThread()) std::lock_guard<std::mutex> wait(FState->DispatchMutex);
    SetCommMask(FState->Handle, 0); // ends a wait in progress
    if (!inside) {
        FThread.join();
        return;
    }
    auto joiner = std::make_shared<TJoiner>();
    joiner->Thread = std::move(FThread);
    PostToMainThread([joiner] { joiner->Thread.join(); });
}

// Runs a call of the thread on the main thread, which the thread waits for;
// marked, so that a stop from inside it does not wait for the thread.
void TComThread::OnMainThread(const std::shared_ptr<TState>& state,
                              const std::function<void()>& call) {
    SynchronizeWithMainThread(
        [&state, &call] {
            if (state->Stopping) return;
            struct TInDispatch {
                std::atomic<bool>& On;
                ~TInDispatch() { On = false; }
            } inDispatch{state->InMainDispatch};
            inDispatch.On = true;
            call();
        },
        &state->Stopping);
}

void TComThread::Execute(std::shared_ptr<TState> state) {
    pthread_setname_np(pthread_self(), "serial events");
    state->Started.set_value(GetCurrentThreadId());
    while (!state->Stopping) {
        DWORD mask = 0;
        const BOOL ok = WaitCommEvent(state->Handle, &mask, nullptr);
        if (state->Stopping) break;
        if (!ok) {
            const DWORD code = GetLastError();
            if (code == ERROR_IO_PENDING) continue;
            SetLastError(0);
            // Reported through the port's error path (OnError may close the
            // port); the device is gone or broken, so waiting on would only spin.
            OnMainThread(state, [&state, code] {
                state->Port->FLastThreadError = code;
                state->Port->RaiseError(static_cast<int>(code), CommErrorMessage(code).c_str());
            });
            break;
        }
        if (mask == 0) continue; // the mask changed
        if (state->Synchronize) {
            OnMainThread(state,
                         [&state, mask] { state->Port->DispatchEvents(mask, state->Stopping); });
        } else {
            std::lock_guard<std::mutex> guard(state->DispatchMutex);
            if (!state->Stopping) state->Port->DispatchEvents(mask, state->Stopping);
        }
    }
    state->Ended = true;
}
