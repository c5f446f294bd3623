#include "comm/comthread.h"
#include "platform/win32/commapi.h"
#include <chrono>

TComThread::TComThread(TCustomComPort* ComPort) : FState(std::make_shared<TState>()) {
    FState->Port = ComPort;
    FState->Handle = ComPort->FHandle;
    FState->Synchronize = ComPort->SynchronizeEvents();
    std::thread worker;
    try {
        worker = std::thread(&TComThread::Execute, FState);
    } catch (const std::system_error&) {
        ComPort->RaiseError(0, "Can't create thread");
    }
    FState->Id = worker.get_id();
    worker.detach();
}

void TComThread::Stop() {
    FState->Stopping = true;
    if (!IsCurrentThread()) std::lock_guard<std::mutex> wait(FState->DispatchMutex);
}

void TComThread::WaitForEnd() {
    // A handler that this thread handed to the main thread cannot be waited
    // out from inside it; the thread leaves its loop as soon as it returns.
    if (IsCurrentThread() || FState->InMainDispatch) return;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!FState->Ended && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool TComThread::IsCurrentThread() const {
    return std::this_thread::get_id() == FState->Id;
}

void TComThread::Execute(std::shared_ptr<TState> state) {
    while (!state->Stopping) {
        DWORD mask = 0;
        const BOOL ok = WaitCommEvent(state->Handle, &mask, nullptr);
        if (state->Stopping) break;
        if (!ok) {
            const DWORD code = GetLastError();
            if (code == ERROR_IO_PENDING) continue;
            SetLastError(0);
            // Reported through the port's error path on the main thread; the
            // device is gone or broken, so waiting on would only spin.
            SynchronizeWithMainThread(
                [state, code] {
                    if (state->Stopping) return;
                    state->Port->FLastThreadError = code;
                    state->Port->RaiseError(static_cast<int>(code), CommErrorMessage(code).c_str());
                },
                &state->Stopping);
            break;
        }
        if (mask == 0) continue; // the mask changed
        if (state->Synchronize) {
            SynchronizeWithMainThread(
                [state, mask] {
                    if (state->Stopping) return;
                    struct TInDispatch {
                        std::atomic<bool>& On;
                        ~TInDispatch() { On = false; }
                    } inDispatch{state->InMainDispatch};
                    inDispatch.On = true;
                    state->Port->DispatchEvents(mask);
                },
                &state->Stopping);
        } else {
            std::lock_guard<std::mutex> guard(state->DispatchMutex);
            if (!state->Stopping) state->Port->DispatchEvents(mask);
        }
    }
    state->Ended = true;
}
