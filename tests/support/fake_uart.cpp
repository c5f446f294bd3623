#include "support/fake_uart.h"
#include "platform/win32/commapi.h"
#include <asm/ioctls.h>
#include <cerrno>
#include <cstring>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace {
constexpr int Outputs = TIOCM_DTR | TIOCM_RTS;
constexpr int Inputs = TIOCM_DSR | TIOCM_CTS | TIOCM_CD | TIOCM_RI;
} // namespace

TFakeUart::TFakeUart(bool rs485) : FHasRs485(rs485), FLines(Outputs) {
    SetModemControlHook([this](const std::string&, unsigned long request, void* arg) {
        return Answer(request, arg);
    });
}

TFakeUart::~TFakeUart() {
    SetModemControlHook(nullptr);
}

int TFakeUart::Answer(unsigned long request, void* arg) {
    int bits = 0;
    {
        std::lock_guard<std::mutex> guard(FMutex);
        switch (request) {
        case TIOCMGET:
            *static_cast<int*>(arg) = FLines;
            break;
        case TIOCMSET:
            bits = *static_cast<int*>(arg);
            FLines = (FLines & Inputs) | (bits & Outputs);
            break;
        case TIOCMBIS:
            bits = *static_cast<int*>(arg);
            FLines |= bits & Outputs;
            break;
        case TIOCMBIC:
            bits = *static_cast<int*>(arg);
            FLines &= ~(bits & Outputs);
            break;
        case TIOCGRS485:
        case TIOCSRS485: {
            if (!FHasRs485) {
                errno = ENOTTY;
                return -1;
            }
            auto* r = static_cast<serial_rs485*>(arg);
            if (request == TIOCGRS485) {
                std::memset(r, 0, sizeof *r);
                r->flags = FRs485Flags;
            } else {
                FRs485Flags = r->flags;
            }
            break;
        }
        default:
            errno = ENOTTY;
            return -1;
        }
        FCalls.push_back({request, bits});
    }
    if (OnCall) OnCall(request, bits);
    return 0;
}

int TFakeUart::Lines() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return FLines;
}

void TFakeUart::SetInputs(int bits) {
    std::lock_guard<std::mutex> guard(FMutex);
    FLines = (FLines & Outputs) | (bits & Inputs);
}

std::vector<TFakeUart::TCall> TFakeUart::Calls() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return FCalls;
}

void TFakeUart::ClearCalls() {
    std::lock_guard<std::mutex> guard(FMutex);
    FCalls.clear();
}

int TFakeUart::Raises(int lines) const {
    std::lock_guard<std::mutex> guard(FMutex);
    int n = 0;
    for (const auto& c : FCalls)
        if ((c.Request == TIOCMBIS || c.Request == TIOCMSET) && (c.Lines & lines)) ++n;
    return n;
}

bool TFakeUart::Rs485Enabled() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return FRs485Flags & SER_RS485_ENABLED;
}

uint32_t TFakeUart::Rs485Flags() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return FRs485Flags;
}
