#pragma once
// Tick count and sleeps go through one replaceable clock, so tests can run
// multi-second instrument waits on virtual time.
#include <cstdint>

class TClock {
public:
    virtual ~TClock() = default;
    virtual uint32_t TickCount() = 0; // milliseconds, wraps like the platform's
    virtual void SleepMs(uint32_t ms) = 0;
    virtual double NowMs() = 0; // milliseconds since the Unix epoch, for Now()
};

// The clock in use; the real one unless a test installed another.
TClock& CurrentClock();
// Installs a clock (nullptr restores the real one). Returns the previous one.
TClock* SetClock(TClock* clock);

// Virtual time: Sleep advances it; tests may also Advance it directly.
class TVirtualClock : public TClock {
public:
    explicit TVirtualClock(uint32_t startTick = 1000, double startEpochMs = 1.7e12)
        : FTick(startTick), FEpochMs(startEpochMs) {}
    uint32_t TickCount() override { return FTick; }
    void SleepMs(uint32_t ms) override { Advance(ms); }
    double NowMs() override { return FEpochMs; }
    void Advance(uint32_t ms) {
        FTick += ms;
        FEpochMs += ms;
    }

private:
    uint32_t FTick;
    double FEpochMs;
};

// Installs a virtual clock for the life of a scope.
class TVirtualClockScope {
public:
    TVirtualClockScope() : FPrevious(SetClock(&Clock)) {}
    ~TVirtualClockScope() { SetClock(FPrevious); }
    TVirtualClockScope(const TVirtualClockScope&) = delete;
    TVirtualClockScope& operator=(const TVirtualClockScope&) = delete;
    TVirtualClock Clock;

private:
    TClock* FPrevious;
};

uint32_t GetTickCount();
void Sleep(uint32_t ms);
