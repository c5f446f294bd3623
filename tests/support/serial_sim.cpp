#include "support/serial_sim.h"
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
void RawMode(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
}

void SleepRealUs(int us) {
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}
} // namespace

TPtyPair::TPtyPair() {
    char name[256] = {};
    if (::openpty(&FMaster, &FSlave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    FPath = name;
    RawMode(FSlave);
    ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK);
    ::fcntl(FMaster, F_SETFD, FD_CLOEXEC);
    ::fcntl(FSlave, F_SETFD, FD_CLOEXEC);
}

TPtyPair::~TPtyPair() {
    HangUp();
    if (FSlave >= 0) ::close(FSlave);
}

void TPtyPair::Send(const std::string& bytes) {
    std::lock_guard<std::mutex> guard(FMutex);
    size_t done = 0;
    while (done < bytes.size() && FMaster >= 0) {
        const ssize_t n = ::write(FMaster, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{FMaster, POLLOUT, 0};
            ::poll(&p, 1, 10);
        } else {
            break;
        }
    }
    // The terminal layer passes written bytes on in a kernel worker; a poll
    // of the port's side has it done now rather than some time later.
    if (FSlave >= 0) {
        pollfd p{FSlave, POLLIN, 0};
        ::poll(&p, 1, 0);
    }
}

std::string TPtyPair::Receive(size_t n, int quietMs) {
    // Polled in short slices, so a hang-up meanwhile need not wait for the quiet time.
    constexpr int SliceMs = 5;
    std::string out;
    for (int quiet = 0; out.size() < n && quiet < quietMs;) {
        std::lock_guard<std::mutex> guard(FMutex);
        if (FMaster < 0) break;
        pollfd p{FMaster, POLLIN, 0};
        if (::poll(&p, 1, SliceMs) <= 0 || !(p.revents & POLLIN)) {
            if (p.revents & (POLLHUP | POLLERR)) break;
            quiet += SliceMs;
            continue;
        }
        char buf[256];
        const ssize_t got = ::read(FMaster, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0) break;
        out.append(buf, static_cast<size_t>(got));
        quiet = 0;
    }
    return out;
}

namespace {
// Bytes waiting to be read at fd. The terminal layer hands written bytes to
// the other side in a kernel worker; a poll of the reading side makes them
// arrive first, so bytes on their way are counted too.
int Waiting(int fd) {
    if (fd < 0) return 0;
    pollfd p{fd, POLLIN, 0};
    ::poll(&p, 1, 0);
    int n = 0;
    return ::ioctl(fd, FIONREAD, &n) == 0 ? n : 0;
}
} // namespace

int TPtyPair::PendingForPort() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return Waiting(FSlave);
}

int TPtyPair::PendingFromPort() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return Waiting(FMaster);
}

void TPtyPair::HangUp() {
    std::lock_guard<std::mutex> guard(FMutex);
    if (FMaster >= 0) ::close(FMaster);
    FMaster = -1;
    // The slave side hangs up only when the master is gone for good; our own
    // slave descriptor must not keep it alive.
    if (FSlave >= 0) ::close(FSlave);
    FSlave = -1;
}

TSerialSimulator::TSerialSimulator() {
    if (::pipe(FWake) == 0) {
        for (int fd : FWake)
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
}

TSerialSimulator::~TSerialSimulator() {
    Stop();
    for (int fd : FWake)
        if (fd >= 0) ::close(fd);
}

void TSerialSimulator::Wake() {
    if (FWake[1] < 0) return;
    const char b = 1;
    // A full pipe already wakes the thread.
    [[maybe_unused]] const ssize_t n = ::write(FWake[1], &b, 1);
}

void TSerialSimulator::Start() {
    FThread = std::thread([this] { Run(); });
}

void TSerialSimulator::Stop() {
    FStop = true;
    Wake();
    if (FThread.joinable()) FThread.join();
}

void TSerialSimulator::Run() {
    // Idle, the thread wakes only now and then; a stream it sends keeps the
    // short period, so its frames follow as fast as the port takes them.
    constexpr int IdleMs = 50, StreamingMs = 1;
    while (!FStop) {
        if (FHangUpRequested.exchange(false)) FPty.HangUp();
        const int fd = FPty.MasterFd();
        pollfd waits[2] = {{fd, POLLIN, 0}, {FWake[0], POLLIN, 0}};
        pollfd& p = waits[0];
        const int ready = ::poll(waits, 2, Streaming() ? StreamingMs : IdleMs);
        if (waits[1].revents & POLLIN) {
            char drain[64];
            while (::read(FWake[0], drain, sizeof drain) > 0) {
            }
        }
        if (fd < 0) continue;
        if (ready > 0 && (p.revents & POLLIN)) {
            FBusy = true;
            uint8_t buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            ++FTraffic;
            std::lock_guard<std::mutex> state(FStateMutex);
            for (ssize_t i = 0; i < n; ++i) {
                {
                    std::lock_guard<std::mutex> guard(FLogMutex);
                    FReceived += static_cast<char>(buf[i]);
                }
                OnByte(buf[i]);
            }
            FBusy = false;
        } else if (ready > 0 && (p.revents & (POLLHUP | POLLERR))) {
            // No port on the slave side right now.
            SleepRealUs(500);
        }
        FBusy = true;
        {
            std::lock_guard<std::mutex> state(FStateMutex);
            OnIdle();
        }
        FBusy = false;
    }
}

void TSerialSimulator::SetFault(TFault fault, int times) {
    FFaultTimes = times;
    FFault = fault;
}

bool TSerialSimulator::TakeFault(TFault fault) {
    if (FFault != fault) return false;
    if (FFaultTimes > 0 && --FFaultTimes == 0) FFault = None;
    return true;
}

void TSerialSimulator::Send(const std::string& bytes) {
    ++FTraffic;
    {
        std::lock_guard<std::mutex> guard(FLogMutex);
        FAnswered += bytes;
    }
    FPty.Send(bytes);
}

std::string TSerialSimulator::Received() const {
    std::lock_guard<std::mutex> guard(FLogMutex);
    return FReceived;
}

std::string TSerialSimulator::Answered() const {
    std::lock_guard<std::mutex> guard(FLogMutex);
    return FAnswered;
}

void TSerialSimulator::ClearLog() {
    std::lock_guard<std::mutex> guard(FLogMutex);
    FReceived.clear();
    FAnswered.clear();
}

void TSerialSimulator::Settle() {
    using namespace std::chrono;
    // Nothing went either way since the line was last found quiet: it still is.
    // Checked in this order, bytes the thread is taking in show as pending or busy.
    // A stream waiting for the port to take its last frame sends nothing more.
    const auto sending = [this] { return Streaming() && FPty.PendingForPort() == 0; };
    if (FPty.PendingFromPort() == 0 && !FBusy && !sending() && FTraffic == FSettledAt) return;
    const auto give_up = steady_clock::now() + milliseconds(1000);
    int quiet = 0;
    while (steady_clock::now() < give_up && quiet < 3) {
        const bool idle = !FBusy && !sending() && FPty.PendingFromPort() == 0;
        quiet = idle ? quiet + 1 : 0;
        SleepRealUs(300);
    }
    FSettledAt = FTraffic.load();
}

void TSerialSimulator::HangUp() {
    if (!FThread.joinable()) {
        FPty.HangUp();
        return;
    }
    FHangUpRequested = true;
    Wake();
    while (FHangUpRequested)
        SleepRealUs(200);
}

std::string Bytes(const std::string& hex) {
    std::istringstream in(hex);
    std::string out;
    unsigned v = 0;
    while (in >> std::hex >> v)
        out += static_cast<char>(v);
    return out;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, out.empty() ? "%02X" : " %02X", c);
        out += buf;
    }
    return out;
}

void TSimClock::Detach(TSerialSimulator* sim) {
    FSims.erase(std::remove(FSims.begin(), FSims.end(), sim), FSims.end());
}

void TSimClock::SleepMs(uint32_t ms) {
    for (TSerialSimulator* sim : FSims) {
        sim->Settle();
        sim->TimePassed(ms);
    }
    Advance(ms);
}

namespace {
class TStillClock : public TCommClock {
public:
    int64_t NowMs() override {
        ++Looks;
        return Now;
    }
    std::atomic<int64_t> Now{0};
    std::atomic<uint64_t> Looks{0};
};

// Never freed: a transfer that outlived its test may still be reading it.
TStillClock& StillClock() {
    static auto* clock = new TStillClock;
    return *clock;
}
} // namespace

TCommClockScope::TCommClockScope() {
    StillClock().Now = 1000000;
    SetCommClock(&StillClock());
}

TCommClockScope::~TCommClockScope() {
    SetCommClock(nullptr);
}

void TCommClockScope::Advance(int64_t ms) {
    StillClock().Now += ms;
}

uint64_t TCommClockScope::Looks() const {
    return StillClock().Looks;
}

void TCommClockScope::AwaitLooks(uint64_t since, uint64_t count) const {
    while (StillClock().Looks < since + count)
        SleepRealUs(200);
}
