#pragma once
// The serial port's event thread: waits for the device's line events and hands
// each reported mask to the port's handlers, on the main thread when the port
// synchronises its events. It runs detached and ends by itself once told to
// stop; a stopped thread never touches the port or its handle again.
#include "comm/comport.h"
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class TComThread {
public:
    // Starts the thread for an open port.
    explicit TComThread(TCustomComPort* ComPort);
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Tells the thread to stop and waits for a handler it runs directly (not on
    // the event thread itself). The caller then empties the device's mask and
    // waits for the end, after which the thread makes no call on the handle.
    void Stop();
    void WaitForEnd();
    bool IsCurrentThread() const;
    // The thread left its loop (stopped, or its wait failed).
    bool Ended() const { return FState->Ended; }

private:
    struct TState {
        std::atomic<bool> Stopping{false};
        std::atomic<bool> Ended{false};
        std::atomic<bool> InMainDispatch{false}; // the main thread runs its handlers
        TCustomComPort* Port = nullptr;
        void* Handle = nullptr;
        bool Synchronize = true;
        std::mutex DispatchMutex;
        std::thread::id Id;
    };
    static void Execute(std::shared_ptr<TState> State);
    std::shared_ptr<TState> FState;
};
