#pragma once
// The modem-control side of a UART for a port on a pseudo-terminal, which has
// no lines: it answers the emulation's modem-control and RS-485 requests
// through their seam and records each one. The lines start as the kernel
// leaves them when it opens a UART: DTR and RTS up.
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class TFakeUart {
public:
    struct TCall {
        unsigned long Request;
        int Lines; // the bits a TIOCMSET/TIOCMBIS/TIOCMBIC asked for; 0 for others
    };
    // Installs itself; with rs485 the driver has an RS-485 mode.
    explicit TFakeUart(bool rs485 = false);
    ~TFakeUart();
    TFakeUart(const TFakeUart&) = delete;
    TFakeUart& operator=(const TFakeUart&) = delete;

    int Lines() const;
    // The inputs (DSR, CTS, CD, RI) as the other end drives them.
    void SetInputs(int bits);
    std::vector<TCall> Calls() const;
    void ClearCalls();
    // TIOCMBIS/TIOCMSET calls that raised one of these lines.
    int Raises(int lines) const;
    bool Rs485Enabled() const;
    uint32_t Rs485Flags() const;
    // Runs inside each request, after it took effect.
    std::function<void(unsigned long request, int lines)> OnCall;

private:
    int Answer(unsigned long request, void* arg);
    mutable std::mutex FMutex;
    bool FHasRs485;
    uint32_t FRs485Flags = 0;
    int FLines;
    std::vector<TCall> FCalls;
};
