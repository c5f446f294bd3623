#include "platform/rtl/clock.h"
#include <chrono>
#include <thread>

namespace {
class TRealClock : public TClock {
public:
    uint32_t TickCount() override {
        using namespace std::chrono;
        return static_cast<uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void SleepMs(uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    double NowMs() override {
        using namespace std::chrono;
        return static_cast<double>(
                   duration_cast<microseconds>(system_clock::now().time_since_epoch()).count()) /
               1000.0;
    }
};

TRealClock RealClock;
TClock* Current = &RealClock;
} // namespace

TClock& CurrentClock() {
    return *Current;
}

TClock* SetClock(TClock* clock) {
    TClock* previous = Current;
    Current = clock ? clock : &RealClock;
    return previous == &RealClock ? nullptr : previous;
}

uint32_t GetTickCount() {
    return Current->TickCount();
}
void Sleep(uint32_t ms) {
    Current->SleepMs(ms);
}
