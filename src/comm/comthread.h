#pragma once
// The serial port's event thread: waits for the device's line events and hands
// each reported mask to the port's handlers, on the main thread when the port
// synchronises its events. The port owns it: stopping wakes its wait and joins
// it, so no call on the handle follows the port's close.
#include "comm/comport.h"
#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

class TComThread {
public:
    // Starts the thread for an open port; "Can't create thread" when it cannot.
    explicit TComThread(TCustomComPort* ComPort);
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Tells the thread to stop, empties the device's event mask (which ends a
    // wait in progress) and joins the thread. From inside a handler the thread
    // runs, directly or on the main thread while it waits there, the thread
    // cannot be waited for: the join is posted to the main thread and happens
    // once that handler returned. Either way the thread never touches the port
    // or its handle again.
    void Stop();
    // The thread left its loop (its wait failed).
    bool Ended() const { return FState->Ended; }
    // The kernel's id of the thread, to set its priority ("serial events" by name).
    uint32_t ThreadId() const { return FThreadId; }

private:
    struct TState {
        std::atomic<bool> Stopping{false};
        std::atomic<bool> Ended{false};
        std::atomic<bool> InMainDispatch{false}; // the main thread runs its handlers
        TCustomComPort* Port = nullptr;
        void* Handle = nullptr;
        bool Synchronize = true;
        std::mutex DispatchMutex; // held while handlers run on the thread itself
        std::promise<uint32_t> Started;
    };
    static void Execute(std::shared_ptr<TState> State);
    static void OnMainThread(const std::shared_ptr<TState>& State,
                             const std::function<void()>& Call);
    bool IsCurrentThread() const;

    std::shared_ptr<TState> FState;
    std::thread FThread;
    uint32_t FThreadId = 0;
};
