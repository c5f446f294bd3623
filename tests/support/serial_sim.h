#pragma once
// Instrument stand-ins on pseudo-terminals: the program's serial port opens
// the slave side (Path()), the simulator answers on the master side in its own
// thread, byte for byte. The instrument's state belongs to that thread while it
// handles bytes; tests change it through Change(). TSimClock is a virtual clock whose sleeps first
// let the attached simulators finish answering, so pauses cost no real time and polls of the input
// queue still see the reply.
#include "platform/rtl/clock.h"
#include "platform/win32/commapi.h"
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TPtyPair {
public:
    TPtyPair();
    ~TPtyPair();
    TPtyPair(const TPtyPair&) = delete;
    TPtyPair& operator=(const TPtyPair&) = delete;

    const std::string& SlavePath() const { return FPath; }
    // For the thread that also hangs up: nobody else closes the descriptor.
    int MasterFd() const { return FMaster; }
    // Bytes towards the port, there for its next look when this returns.
    void Send(const std::string& bytes);
    // Bytes the port wrote: until n arrived or nothing came for quietMs.
    std::string Receive(size_t n, int quietMs = 200);
    // Bytes sent towards the port that it has not read yet.
    int PendingForPort() const;
    // Bytes the port wrote that the master has not read yet.
    int PendingFromPort() const;
    // Closes the master: the port sees a hang-up.
    void HangUp();

private:
    // Held around every use of the descriptors from outside the thread that
    // hangs up, so none is closed (and its number reused) under a call.
    mutable std::mutex FMutex;
    int FMaster = -1;
    int FSlave = -1; // kept open so the pair lives across the port's opens
    std::string FPath;
};

class TSerialSimulator {
public:
    // Misbehaviours every simulator can be told to show.
    enum TFault { None, Silent, WrongAck, BadCheck, Garbage, ShortFrame, HangUpOnCommand };

    TSerialSimulator();
    virtual ~TSerialSimulator();

    const std::string& Path() const { return FPty.SlavePath(); }
    // Shows the fault for the next `times` occasions (-1: from now on).
    void SetFault(TFault fault, int times = -1);
    TFault Fault() const { return FFault; }

    // Everything the program sent / the simulator answered so far.
    std::string Received() const;
    std::string Answered() const;
    void ClearLog();

    // Returns once every byte the program sent was handled, the answers were
    // taken in by the port's device and the line stayed quiet for a moment.
    void Settle();
    void HangUp();
    // Bytes the instrument sends unasked (stale or stray bytes), from the test.
    void Inject(const std::string& bytes) { FPty.Send(bytes); }
    // Bytes sent to the program that it has not read yet.
    int PendingForPort() const { return FPty.PendingForPort(); }
    // Runs a change of the instrument's state while the simulator thread
    // handles nothing.
    template <typename F> void Change(F change) {
        {
            std::lock_guard<std::mutex> guard(FStateMutex);
            change();
        }
        Wake();
    }
    // Virtual time the program slept (the instrument's clock runs on real
    // time too; both count).
    void TimePassed(uint32_t ms) {
        {
            std::lock_guard<std::mutex> guard(FStateMutex);
            OnTimePassed(ms);
        }
        Wake();
    }

protected:
    // Called on the simulator thread for each byte the program sent.
    virtual void OnByte(uint8_t b) = 0;
    // Called on the simulator thread after each poll (streams go out here).
    virtual void OnIdle() {}
    // Called with the state held when the virtual clock moved on.
    virtual void OnTimePassed(uint32_t) {}
    // Whether OnIdle still has frames to send, each once the port took the
    // one before: the thread then looks often, and Settle waits while the port
    // has taken all that was sent.
    virtual bool Streaming() const { return false; }
    // Sends on the simulator thread (or before Start).
    void Send(const std::string& bytes);
    // Hangs up from the simulator thread.
    void HangUpNow() { FPty.HangUp(); }
    // True when the fault is due now; uses up one occasion.
    bool TakeFault(TFault fault);
    // Starts the thread; derived constructors call it last.
    void Start();
    // Stops the thread; derived destructors call it first.
    void Stop();

private:
    void Run();
    // Ends the thread's wait for bytes at once (a change, a stop, a hang-up).
    void Wake();

    TPtyPair FPty;
    // The thread sleeps in poll() until bytes, a wake-up or its idle period.
    int FWake[2] = {-1, -1};
    std::mutex FStateMutex; // held while OnByte and OnIdle run
    std::thread FThread;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FBusy{false};
    // Reads and sends on the line, and their count when it was last found quiet.
    std::atomic<uint64_t> FTraffic{0}, FSettledAt{~uint64_t(0)};
    std::atomic<bool> FHangUpRequested{false};
    std::atomic<TFault> FFault{None};
    std::atomic<int> FFaultTimes{-1};
    mutable std::mutex FLogMutex;
    std::string FReceived, FAnswered;
};

// Frames as the tests write them: "02 05 C0 04 32" <-> bytes.
std::string Bytes(const std::string& hexWithBlanks);
std::string Hex(const std::string& bytes);

class TSimClock : public TVirtualClock {
public:
    void Attach(TSerialSimulator* sim) { FSims.push_back(sim); }
    void Detach(TSerialSimulator* sim);
    void SleepMs(uint32_t ms) override;

private:
    std::vector<TSerialSimulator*> FSims;
};

// Installs a TSimClock for the life of a scope.
class TSimClockScope {
public:
    TSimClockScope() : FPrevious(SetClock(&Clock)) {}
    ~TSimClockScope() { SetClock(FPrevious); }
    TSimClockScope(const TSimClockScope&) = delete;
    TSimClockScope& operator=(const TSimClockScope&) = delete;
    TSimClock Clock;

private:
    TClock* FPrevious;
};

// The serial transfers' time-outs on a clock that stands still until the test
// moves it on, for the life of the scope: whether a transfer is still running
// never depends on how fast the machine is. Waits still poll in short real
// slices, so a transfer ends within one once its time-out has passed.
class TCommClockScope {
public:
    TCommClockScope();
    ~TCommClockScope();
    TCommClockScope(const TCommClockScope&) = delete;
    TCommClockScope& operator=(const TCommClockScope&) = delete;
    void Advance(int64_t ms);
    // How often transfers looked at the clock so far. A read about to wait has
    // looked twice: for its deadline, then for what is left of it.
    uint64_t Looks() const;
    // Returns once transfers looked at the clock `count` times more than at
    // `since` (a read begun after `since` is waiting then).
    void AwaitLooks(uint64_t since, uint64_t count) const;
};
