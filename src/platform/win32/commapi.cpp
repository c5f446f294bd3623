// The communication calls on terminal devices. In this file:
//   ---- Device state: one shared record a handle, its registry, error codes
//   ---- Line settings: speed codes, line errors, modem lines, termios
//   ---- Opening, state and time-outs: CreateFileA, Get/SetCommState, SetupComm
//   ---- Transfers: ReadFile, WriteFile, FlushFileBuffers
//   ---- Queues, lines and events: PurgeComm .. WaitCommEvent
//   ---- Configuration, port list and messages
#include "platform/win32/commapi.h"
#include "platform/classes/registry.h"
#include "platform/win32/events.h"
#include <algorithm>
#include <asm/ioctls.h>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <linux/serial.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <vector>
#include <unistd.h>

// ---- Device state

namespace {
// The kernel's termios with free baud rates (TCGETS2/TCSETS2); glibc does not
// declare it next to <termios.h>.
struct termios2 {
    tcflag_t c_iflag, c_oflag, c_cflag, c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed, c_ospeed;
};
constexpr tcflag_t BOTHER_FLAG = 0010000;

std::atomic<TCommClock*> InstalledClock{nullptr};

int64_t NowMs() {
    if (TCommClock* clock = InstalledClock.load(std::memory_order_acquire)) return clock->NowMs();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Longest single poll: waits are cut into slices so a transfer notices bytes
// another thread moved into the buffer, a new event mask or a close.
constexpr int PollSliceMs = 10;

struct TCommState {
    std::mutex Mutex;
    std::condition_variable Left; // a waiter left its unlocked poll
    int Fd = -1;
    int WakeFd = -1; // signalled once, at close
    bool Closed = false;
    int Waiters = 0;
    std::string Name;

    DCB State{};
    COMMTIMEOUTS Timeouts{};
    DWORD InSize = 4096, OutSize = 2048;
    std::deque<uint8_t> In; // bytes taken from the device, not yet read
    bool PeerGone = false;  // poll reported a hang-up or error
    bool HungUp = false;
    bool IoError = false;

    DWORD Mask = 0;
    uint64_t MaskGeneration = 0;
    DWORD Events = 0;
    DWORD Modem = 0;
    bool ModemKnown = false;
    serial_icounter_struct Counters{};
    bool CountersKnown = false;
    DWORD LineErrors = 0;
    bool TxPending = false;

    int Transfers = 0;                 // overlapped transfers still running on their threads
    uint64_t RxAbort = 0, TxAbort = 0; // abort purges so far
    bool Marking = false;              // the kernel marks bytes received in error
    TParityMarks Marks;
    bool Rs485 = false;      // the driver toggles RTS around each send
    bool SoftToggle = false; // we raise RTS around each write ourselves
    serial_rs485 SavedRs485{};
};

std::mutex HookMutex;
TModemControlHook ModemHook;

int ModemIoctl(TCommState& s, unsigned long request, void* arg) {
    TModemControlHook hook;
    {
        std::lock_guard<std::mutex> guard(HookMutex);
        hook = ModemHook;
    }
    return hook ? hook(s.Name, request, arg) : ::ioctl(s.Fd, request, arg);
}

void RestoreRs485(TCommState& s) {
    if (s.Rs485) ModemIoctl(s, TIOCSRS485, &s.SavedRs485);
    s.Rs485 = false;
}

// Never destroyed: handles still open at exit are closed by the kernel
// table's own teardown, which may run after ours would have.
std::mutex& RegistryMutexRef() {
    static auto* mutex = new std::mutex;
    return *mutex;
}
std::map<HANDLE, std::shared_ptr<TCommState>>& Registry() {
    static auto* registry = new std::map<HANDLE, std::shared_ptr<TCommState>>;
    return *registry;
}

class TCommObject : public TKernelObject {
public:
    explicit TCommObject(std::shared_ptr<TCommState> state) : FState(std::move(state)) {}
    ~TCommObject() override;

private:
    std::shared_ptr<TCommState> FState;
};

TCommObject::~TCommObject() {
    {
        std::lock_guard<std::mutex> guard(RegistryMutexRef());
        for (auto it = Registry().begin(); it != Registry().end(); ++it)
            if (it->second == FState) {
                Registry().erase(it);
                break;
            }
    }
    TCommState& s = *FState;
    std::unique_lock<std::mutex> lock(s.Mutex);
    s.Closed = true;
    const uint64_t one = 1;
    if (s.WakeFd >= 0) (void)!::write(s.WakeFd, &one, sizeof one);
    // Waiters leave their poll at once (the wake descriptor, or a slice at
    // most) and transfers end; the descriptor is closed only after, never
    // under a poll.
    s.Left.wait(lock, [&] { return s.Waiters == 0 && s.Transfers == 0; });
    if (s.Fd >= 0) {
        // The lines drop as a closed port's do, whatever the kernel's hang-up setting.
        RestoreRs485(s);
        int lines = TIOCM_DTR | TIOCM_RTS;
        ModemIoctl(s, TIOCMBIC, &lines);
        ::close(s.Fd); // also releases the flock
    }
    if (s.WakeFd >= 0) ::close(s.WakeFd);
    s.Fd = s.WakeFd = -1;
}

std::shared_ptr<TCommState> Find(HANDLE h) {
    std::lock_guard<std::mutex> guard(RegistryMutexRef());
    const auto it = Registry().find(h);
    if (it == Registry().end() || it->second->Closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second;
}

BOOL Fail(DWORD code) {
    SetLastError(code);
    return 0;
}

DWORD CommErrorFromErrno(int e) {
    switch (e) {
    case EIO:
        return ERROR_DEVICE_NOT_CONNECTED;
    case ENXIO:
    case ENODEV:
        return ERROR_FILE_NOT_FOUND;
    case EBUSY:
    case EWOULDBLOCK:
        return ERROR_ACCESS_DENIED;
    case ENOTTY:
        return ERROR_INVALID_FUNCTION;
    default:
        return ErrorFromErrno(e);
    }
}

BOOL FailErrno() {
    return Fail(CommErrorFromErrno(errno));
}

// No modem-control ioctls on this device (a pseudo-terminal): lines stay off.
bool NoModemLines(int e) {
    return e == ENOTTY || e == EINVAL;
}

// ---- Line settings

const struct {
    DWORD Rate;
    speed_t Code;
} SpeedTable[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000},
};

DWORD RateOfSpeed(speed_t code) {
    for (const auto& e : SpeedTable)
        if (e.Code == code) return e.Rate;
    return 0;
}

// The standard speed code of a rate; 0 for a rate that has none.
speed_t SpeedOfRate(DWORD rate) {
    for (const auto& e : SpeedTable)
        if (e.Rate == rate) return e.Code;
    return 0;
}

int RemainingMs(int64_t deadline) {
    const int64_t ms = deadline - NowMs();
    return ms <= 0 ? 0 : static_cast<int>(std::min<int64_t>(ms, 1 << 30));
}

// Waits with the lock released for the device to become ready (or a slice to
// pass). False when the handle was closed meanwhile.
bool PollUnlocked(TCommState& s, std::unique_lock<std::mutex>& lock, short events, int timeoutMs) {
    if (s.Closed) return false;
    ++s.Waiters;
    pollfd fds[2] = {{s.Fd, events, 0}, {s.WakeFd, POLLIN, 0}};
    lock.unlock();
    ::poll(events ? fds : fds + 1, events ? 2 : 1, std::min(timeoutMs, PollSliceMs));
    lock.lock();
    if (events && (fds[0].revents & (POLLHUP | POLLERR))) s.PeerGone = true;
    --s.Waiters;
    s.Left.notify_all();
    return !s.Closed;
}

void Record(TCommState& s, DWORD event) {
    s.Events |= event & s.Mask;
}

// DSR sensitivity follows the line; a device without modem lines has no DSR
// to follow and keeps its input.
bool DsrOff(TCommState& s) {
    int lines = 0;
    if (ModemIoctl(s, TIOCMGET, &lines) != 0) return false;
    return !(lines & TIOCM_DSR);
}

// Moves what the device holds into the buffer, up to the input queue size.
void Ingest(TCommState& s) {
    uint8_t chunk[512];
    while (s.In.size() < s.InSize) {
        const size_t room = std::min<size_t>(sizeof chunk, s.InSize - s.In.size());
        const ssize_t n = ::read(s.Fd, chunk, room);
        if (n > 0) {
            const bool dropped = (s.State.Flags & fDsrSensitivity) && DsrOff(s);
            for (ssize_t i = 0; i < n; ++i) {
                uint8_t bytes[2] = {chunk[i], 0};
                const int count =
                    s.Marking ? FeedParityMarks(s.Marks, chunk[i], s.State.ErrorChar, bytes) : 1;
                for (int k = 0; k < count && !dropped; ++k) {
                    const uint8_t b = bytes[k];
                    if ((s.State.Flags & fNull) && b == 0) continue;
                    s.In.push_back(b);
                    Record(s, EV_RXCHAR);
                    if (static_cast<char>(b) == s.State.EvtChar) Record(s, EV_RXFLAG);
                }
            }
            if (s.In.size() * 5 >= static_cast<size_t>(s.InSize) * 4) Record(s, EV_RX80FULL);
            continue;
        }
        // A raw terminal reads 0 when nothing waits, and also once the other
        // side hung up; only the poll result tells the two apart.
        if ((n == 0 && s.PeerGone) || (n < 0 && (errno == EIO || errno == ENODEV)))
            s.HungUp = true;
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            s.IoError = true;
        break;
    }
}

DWORD QueuedInput(TCommState& s) {
    int pending = 0;
    if (::ioctl(s.Fd, FIONREAD, &pending) != 0) pending = 0;
    return static_cast<DWORD>(s.In.size()) + static_cast<DWORD>(std::max(pending, 0));
}

DWORD QueuedOutput(TCommState& s) {
    int pending = 0;
    if (::ioctl(s.Fd, TIOCOUTQ, &pending) != 0) pending = 0;
    return static_cast<DWORD>(std::max(pending, 0));
}

// Line errors the driver counted since the last look (real UARTs only).
void UpdateLineErrors(TCommState& s) {
    serial_icounter_struct now{};
    if (::ioctl(s.Fd, TIOCGICOUNT, &now) != 0) return;
    if (s.CountersKnown) {
        DWORD e = 0;
        if (now.frame != s.Counters.frame) e |= CE_FRAME;
        if (now.overrun != s.Counters.overrun) e |= CE_OVERRUN;
        if (now.parity != s.Counters.parity) e |= CE_RXPARITY;
        if (now.brk != s.Counters.brk) e |= CE_BREAK;
        if (now.buf_overrun != s.Counters.buf_overrun) e |= CE_RXOVER;
        s.LineErrors |= e;
        if (e & ~DWORD(CE_BREAK)) Record(s, EV_ERR);
        if (e & CE_BREAK) Record(s, EV_BREAK);
    }
    s.Counters = now;
    s.CountersKnown = true;
}

DWORD ReadModem(TCommState& s) {
    int lines = 0;
    if (ModemIoctl(s, TIOCMGET, &lines) != 0) return 0;
    DWORD m = 0;
    if (lines & TIOCM_CTS) m |= MS_CTS_ON;
    if (lines & TIOCM_DSR) m |= MS_DSR_ON;
    if (lines & TIOCM_RNG) m |= MS_RING_ON;
    if (lines & TIOCM_CD) m |= MS_RLSD_ON;
    return m;
}

void UpdateModemEvents(TCommState& s) {
    const DWORD now = ReadModem(s);
    if (s.ModemKnown) {
        const DWORD changed = now ^ s.Modem;
        if (changed & MS_CTS_ON) Record(s, EV_CTS);
        if (changed & MS_DSR_ON) Record(s, EV_DSR);
        if (changed & MS_RLSD_ON) Record(s, EV_RLSD);
        if ((changed & MS_RING_ON) && (now & MS_RING_ON)) Record(s, EV_RING);
    }
    s.Modem = now;
    s.ModemKnown = true;
}

bool SetModemLine(TCommState& s, int line, bool on) {
    if (ModemIoctl(s, on ? TIOCMBIS : TIOCMBIC, &line) == 0 || NoModemLines(errno)) return true;
    return false;
}

// All terminal settings go through the kernel's termios2 calls: once a free
// rate is set, the C library's tcsetattr would refuse the speed bits it finds.
bool GetTermios(int fd, termios2& t) {
    return ::ioctl(fd, TCGETS2, &t) == 0;
}
bool SetTermios(int fd, const termios2& t) {
    return ::ioctl(fd, TCSETS2, &t) == 0;
}

// RTS up only while sending: the driver's RS-485 mode where it has one, else
// each write raises and lowers it itself.
bool StartRtsToggle(TCommState& s) {
    if (s.Rs485 || s.SoftToggle) return true;
    serial_rs485 r{};
    if (ModemIoctl(s, TIOCGRS485, &r) == 0) {
        const serial_rs485 saved = r;
        r.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        r.flags &= ~static_cast<decltype(r.flags)>(SER_RS485_RTS_AFTER_SEND);
        if (ModemIoctl(s, TIOCSRS485, &r) == 0) {
            s.SavedRs485 = saved;
            s.Rs485 = true;
            return true;
        }
    }
    if (!NoModemLines(errno)) return false;
    s.SoftToggle = true;
    return SetModemLine(s, TIOCM_RTS, false);
}

bool ApplyTermios(TCommState& s, const DCB& d) {
    termios2 t{};
    if (!GetTermios(s.Fd, t)) return false;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS |
                                        CBAUD | CIBAUD);
    t.c_cflag |= CLOCAL | CREAD;
    // A standard rate keeps its standard speed code, which every reader of the
    // settings understands; only the others take the free-rate form. No input
    // speed of its own: input runs at the output speed.
    const speed_t code = SpeedOfRate(d.BaudRate);
    t.c_cflag |= code ? code : BOTHER_FLAG;
    t.c_ispeed = t.c_ospeed = d.BaudRate;
    switch (d.ByteSize) {
    case 5:
        t.c_cflag |= CS5;
        break;
    case 6:
        t.c_cflag |= CS6;
        break;
    case 7:
        t.c_cflag |= CS7;
        break;
    default:
        t.c_cflag |= CS8;
        break;
    }
    switch (d.Parity) {
    case ODDPARITY:
        t.c_cflag |= PARENB | PARODD;
        break;
    case EVENPARITY:
        t.c_cflag |= PARENB;
        break;
    case MARKPARITY:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case SPACEPARITY:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    if (d.StopBits == TWOSTOPBITS) t.c_cflag |= CSTOPB;
    if ((d.Flags & fRtsControlMask) == RTS_CONTROL_HANDSHAKE) t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK | IGNPAR | PARMRK | ISTRIP | IXON | IXOFF | IXANY);
    if (d.Flags & fParity) t.c_iflag |= INPCK;
    const bool marking = (d.Flags & fErrorChar) != 0;
    if (marking) t.c_iflag |= PARMRK;
    if (d.Flags & fOutX) t.c_iflag |= IXON;
    if (d.Flags & fInX) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(d.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(d.XoffChar);
    if (!SetTermios(s.Fd, t)) return false;
    if (marking != s.Marking) s.Marks = TParityMarks();
    s.Marking = marking;

    const DWORD dtr = d.Flags & fDtrControlMask, rts = d.Flags & fRtsControlMask;
    if (!SetModemLine(s, TIOCM_DTR, dtr == DTR_CONTROL_ENABLE)) return false;
    if (rts == RTS_CONTROL_TOGGLE) return StartRtsToggle(s);
    RestoreRs485(s);
    s.SoftToggle = false;
    if (rts != RTS_CONTROL_HANDSHAKE && !SetModemLine(s, TIOCM_RTS, rts == RTS_CONTROL_ENABLE))
        return false;
    return true;
}

DCB InitialState(const termios2& t) {
    DCB d{};
    d.DCBlength = sizeof(DCB);
    d.BaudRate = (t.c_cflag & CBAUD) == BOTHER_FLAG ? t.c_ospeed : RateOfSpeed(t.c_cflag & CBAUD);
    if (d.BaudRate == 0) d.BaudRate = 9600;
    d.ByteSize = 8;
    d.Parity = NOPARITY;
    d.StopBits = ONESTOPBIT;
    d.Flags = fBinary | DTR_CONTROL_ENABLE | RTS_CONTROL_ENABLE;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    return d;
}

std::mutex SettingsMutex;
std::string ClassFolderOverride, DeviceFolderOverride;
TCommConfigDialogHook DialogHook;

std::string DeviceFolder() {
    std::lock_guard<std::mutex> guard(SettingsMutex);
    return DeviceFolderOverride.empty() ? "/dev" : DeviceFolderOverride;
}

std::string ClassFolder() {
    std::lock_guard<std::mutex> guard(SettingsMutex);
    return ClassFolderOverride.empty() ? "/sys/class/tty" : ClassFolderOverride;
}

std::string ShortName(const std::string& name) {
    return name.rfind("\\\\.\\", 0) == 0 ? name.substr(4) : name;
}

// Number after a prefix ("ttyS12" -> 12); -1 when the rest is not a number.
long NumberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    long n = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || n > 100000) return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}
} // namespace

// ---- Opening, state and time-outs

std::string CommDevicePath(const std::string& portName) {
    const std::string name = ShortName(portName);
    if (!name.empty() && name[0] == '/') return name;
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const long n = NumberAfter(upper, "COM");
    if (n < 1) return "";
    return DeviceFolder() + "/ttyS" + std::to_string(n - 1);
}

HANDLE CreateFileA(const char* lpFileName, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
    const std::string path = CommDevicePath(lpFileName ? lpFileName : "");
    if (path.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(CommErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    auto fail = [fd](DWORD code) {
        ::close(fd);
        SetLastError(code);
        return INVALID_HANDLE_VALUE;
    };
    if (!::isatty(fd)) return fail(ERROR_INVALID_FUNCTION);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(ERROR_ACCESS_DENIED);
    // Raw: no echo, no line editing, no signals, no character translation,
    // no software flow control; 8 data bits, no parity, one stop bit.
    termios2 t{};
    if (!GetTermios(fd, t)) return fail(CommErrorFromErrno(errno));
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (!SetTermios(fd, t)) return fail(CommErrorFromErrno(errno));
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) return fail(CommErrorFromErrno(errno));

    auto state = std::make_shared<TCommState>();
    state->Fd = fd;
    state->WakeFd = wake;
    state->Name = path;
    state->State = InitialState(t);
    const HANDLE h = AddKernelObject(std::make_unique<TCommObject>(state));
    std::lock_guard<std::mutex> guard(RegistryMutexRef());
    Registry()[h] = state;
    return h;
}

BOOL GetCommState(HANDLE hFile, DCB* lpDCB) {
    const auto s = Find(hFile);
    if (!s) return 0;
    if (!lpDCB) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard<std::mutex> lock(s->Mutex);
    *lpDCB = s->State;
    return 1;
}

std::string CommStateProblem(const DCB& d) {
    if (d.BaudRate == 0) return "A baud rate of 0 cannot be set";
    if (d.ByteSize < 5 || d.ByteSize > 8)
        return std::to_string(d.ByteSize) + " data bits cannot be set on this system";
    if (d.Parity > SPACEPARITY) return "Unknown parity";
    if (d.StopBits == ONE5STOPBITS) return "1.5 stop bits cannot be set on this system";
    if (d.StopBits > TWOSTOPBITS) return "Unknown stop bits";
    if ((d.Flags & fDtrControlMask) == DTR_CONTROL_HANDSHAKE)
        return "DTR handshake cannot be set on this system";
    if (((d.Flags & fRtsControlMask) == RTS_CONTROL_HANDSHAKE) != ((d.Flags & fOutxCtsFlow) != 0))
        return "RTS/CTS flow control must be set for both directions on this system";
    if (d.Flags & fOutxDsrFlow) return "DSR output flow control cannot be set on this system";
    if ((d.Flags & fInX) && !(d.Flags & fTXContinueOnXoff))
        return "Stopping transmission after XOff cannot be set on this system";
    return "";
}

BOOL SetCommState(HANDLE hFile, const DCB* lpDCB) {
    const auto s = Find(hFile);
    if (!s) return 0;
    if (!lpDCB) return Fail(ERROR_INVALID_PARAMETER);
    if (!CommStateProblem(*lpDCB).empty()) return Fail(ERROR_NOT_SUPPORTED);
    std::lock_guard<std::mutex> lock(s->Mutex);
    if (!ApplyTermios(*s, *lpDCB)) return FailErrno();
    s->State = *lpDCB;
    s->State.DCBlength = sizeof(DCB);
    return 1;
}

BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
    const auto s = Find(hFile);
    if (!s) return 0;
    if (dwInQueue == 0 || dwOutQueue == 0) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard<std::mutex> lock(s->Mutex);
    s->InSize = dwInQueue;
    s->OutSize = dwOutQueue;
    return 1;
}

BOOL GetCommTimeouts(HANDLE hFile, COMMTIMEOUTS* lpCommTimeouts) {
    const auto s = Find(hFile);
    if (!s) return 0;
    if (!lpCommTimeouts) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard<std::mutex> lock(s->Mutex);
    *lpCommTimeouts = s->Timeouts;
    return 1;
}

BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
    const auto s = Find(hFile);
    if (!s) return 0;
    if (!lpCommTimeouts) return Fail(ERROR_INVALID_PARAMETER);
    std::lock_guard<std::mutex> lock(s->Mutex);
    s->Timeouts = *lpCommTimeouts;
    return 1;
}

// ---- Transfers

namespace {
// A read's time-out rules, fixed when it starts.
struct TReadPlan {
    bool Immediate = false; // return what is there
    bool FirstByte = false; // wait for a first byte only
    bool UseInterval = false;
    DWORD Interval = 0;
    long long TotalMs = -1; // -1: no total limit
    bool Waited = false;
    int64_t Deadline = 0, LastByte = 0;
};

TReadPlan PlanRead(const COMMTIMEOUTS& t, DWORD n) {
    TReadPlan p;
    p.Immediate = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
                  t.ReadTotalTimeoutConstant == 0;
    // Interval and multiplier at their maximum: wait for the first byte only.
    p.FirstByte = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD &&
                  t.ReadTotalTimeoutConstant > 0 && t.ReadTotalTimeoutConstant < MAXDWORD;
    if (p.FirstByte)
        p.TotalMs = t.ReadTotalTimeoutConstant;
    else if (!p.Immediate && (t.ReadTotalTimeoutMultiplier || t.ReadTotalTimeoutConstant))
        p.TotalMs =
            static_cast<long long>(t.ReadTotalTimeoutMultiplier) * n + t.ReadTotalTimeoutConstant;
    p.UseInterval = t.ReadIntervalTimeout != 0 && t.ReadIntervalTimeout != MAXDWORD;
    p.Interval = t.ReadIntervalTimeout;
    const int64_t start = NowMs();
    p.Deadline = start + (p.TotalMs < 0 ? 0 : p.TotalMs);
    p.LastByte = start;
    return p;
}

// Runs a read until it has its bytes, times out or fails: 0 or the error
// code. Without mayWait it stops with ERROR_IO_PENDING where it would wait.
DWORD RunRead(TCommState& s, std::unique_lock<std::mutex>& lock, TReadPlan& p, uint8_t* out,
              DWORD n, DWORD& got, bool mayWait, uint64_t abort) {
    for (;;) {
        if (s.RxAbort != abort) return ERROR_OPERATION_ABORTED;
        Ingest(s);
        const DWORD take = std::min<DWORD>(n - got, static_cast<DWORD>(s.In.size()));
        for (DWORD i = 0; i < take; ++i) {
            out[got++] = s.In.front();
            s.In.pop_front();
        }
        if (take > 0) p.LastByte = NowMs();
        if (got == n || p.Immediate || (p.FirstByte && got > 0)) return 0;
        if (s.HungUp) return ERROR_DEVICE_NOT_CONNECTED;
        if (s.IoError) return ERROR_GEN_FAILURE;

        int wait = p.TotalMs < 0 ? PollSliceMs : RemainingMs(p.Deadline);
        if (p.UseInterval && got > 0) wait = std::min(wait, RemainingMs(p.LastByte + p.Interval));
        if (wait <= 0) return 0; // timed out: the count tells how far it got
        if (!mayWait) return ERROR_IO_PENDING;
        p.Waited = true;
        if (!PollUnlocked(s, lock, POLLIN, wait)) return ERROR_INVALID_HANDLE;
    }
}

struct TWritePlan {
    long long TotalMs = -1;
    mutable bool Waited = false;
    int64_t Deadline = 0;
};

TWritePlan PlanWrite(const COMMTIMEOUTS& t, DWORD n) {
    TWritePlan p;
    if (t.WriteTotalTimeoutMultiplier || t.WriteTotalTimeoutConstant)
        p.TotalMs =
            static_cast<long long>(t.WriteTotalTimeoutMultiplier) * n + t.WriteTotalTimeoutConstant;
    p.Deadline = NowMs() + std::max(p.TotalMs, 0LL);
    return p;
}

DWORD RunWrite(TCommState& s, std::unique_lock<std::mutex>& lock, const TWritePlan& p,
               const uint8_t* in, DWORD n, DWORD& done, bool mayWait, uint64_t abort) {
    while (done < n) {
        if (s.TxAbort != abort) return ERROR_OPERATION_ABORTED;
        const ssize_t w = ::write(s.Fd, in + done, n - done);
        if (w > 0) {
            done += static_cast<DWORD>(w);
            s.TxPending = true;
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN) return CommErrorFromErrno(errno);
        const int wait = p.TotalMs < 0 ? PollSliceMs : RemainingMs(p.Deadline);
        if (wait <= 0) break;
        if (!mayWait) return ERROR_IO_PENDING;
        p.Waited = true;
        if (!PollUnlocked(s, lock, POLLOUT, wait)) return ERROR_INVALID_HANDLE;
    }
    return 0;
}

// With RTS toggled by hand the line goes down only once the last byte left:
// the queue is awaited within the write's time-outs, then the shift register.
void EndToggledWrite(TCommState& s, std::unique_lock<std::mutex>& lock, const TWritePlan& p) {
    if (!s.SoftToggle) return;
    bool empty = QueuedOutput(s) == 0;
    while (!empty) {
        const int wait = p.TotalMs < 0 ? PollSliceMs : RemainingMs(p.Deadline);
        if (wait <= 0 || !PollUnlocked(s, lock, 0, wait)) break;
        empty = QueuedOutput(s) == 0;
    }
    if (s.Closed) return;
    if (empty) ::tcdrain(s.Fd);
    SetModemLine(s, TIOCM_RTS, false);
}

void BeginToggledWrite(TCommState& s) {
    if (s.SoftToggle) SetModemLine(s, TIOCM_RTS, true);
}

// Ends an overlapped transfer: its record, then its event, and only then is
// the handle free to close (which waits for Transfers to reach 0).
void Finish(std::unique_lock<std::mutex>& lock, OVERLAPPED* ov, DWORD code, DWORD count) {
    ov->Internal = code;
    ov->InternalHigh = count;
    const HANDLE event = ov->hEvent;
    lock.unlock();
    SetEvent(event);
    lock.lock();
}

void EndTransferThread(TCommState& s, std::unique_lock<std::mutex>& lock) {
    --s.Transfers;
    s.Left.notify_all();
    lock.unlock();
}

// Ends a transfer within the call: its count, its record, then its event.
// Without an event the call waited itself, and the record tells whether it had to.
BOOL CompleteAtOnce(std::unique_lock<std::mutex>& lock, DWORD* count, OVERLAPPED* ov, DWORD code,
                    DWORD n, bool waited = false) {
    if (count) *count = n;
    const bool overlapped = ov && ov->hEvent;
    if (ov) {
        ov->Internal = code;
        ov->InternalHigh = n;
    }
    if (overlapped) {
        lock.unlock();
        SetEvent(ov->hEvent);
    }
    if (code) return Fail(code);
    if (ov && !overlapped && waited) ov->Internal = STATUS_PENDING;
    return 1;
}

// Starts the rest of a transfer on a thread of its own; false when no thread
// can be made.
template <typename Fn> bool RunOnThread(TCommState& s, Fn fn) {
    ++s.Transfers;
    try {
        std::thread(std::move(fn)).detach();
        return true;
    } catch (const std::system_error&) {
        --s.Transfers;
        return false;
    }
}
} // namespace

BOOL ReadFile(HANDLE hFile, void* lpBuffer, DWORD n, DWORD* lpNumberOfBytesRead,
              OVERLAPPED* lpOverlapped) {
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    const bool overlapped = lpOverlapped && lpOverlapped->hEvent;
    if (lpOverlapped) lpOverlapped->Internal = lpOverlapped->InternalHigh = 0;
    const auto sp = Find(hFile);
    if (!sp) return 0;
    if (overlapped && !ResetEvent(lpOverlapped->hEvent)) return 0;
    TCommState& s = *sp;
    auto* out = static_cast<uint8_t*>(lpBuffer);
    std::unique_lock<std::mutex> lock(s.Mutex);
    if ((s.State.Flags & fAbortOnError) && s.LineErrors)
        return CompleteAtOnce(lock, lpNumberOfBytesRead, lpOverlapped, ERROR_OPERATION_ABORTED, 0);

    TReadPlan plan = PlanRead(s.Timeouts, n);
    const uint64_t abort = s.RxAbort;
    DWORD got = 0;
    const DWORD code = RunRead(s, lock, plan, out, n, got, !overlapped, abort);
    if (code != ERROR_IO_PENDING) {
        return CompleteAtOnce(lock, lpNumberOfBytesRead, lpOverlapped, code, got, plan.Waited);
    }

    lpOverlapped->Internal = STATUS_PENDING;
    const bool started = RunOnThread(s, [sp, plan, out, n, got, lpOverlapped, abort]() mutable {
        std::unique_lock<std::mutex> lock(sp->Mutex);
        const DWORD code = RunRead(*sp, lock, plan, out, n, got, true, abort);
        Finish(lock, lpOverlapped, code, got);
        EndTransferThread(*sp, lock);
    });
    if (!started)
        return CompleteAtOnce(lock, lpNumberOfBytesRead, lpOverlapped, ERROR_NOT_ENOUGH_MEMORY,
                              got);
    return Fail(ERROR_IO_PENDING);
}

BOOL WriteFile(HANDLE hFile, const void* lpBuffer, DWORD n, DWORD* lpNumberOfBytesWritten,
               OVERLAPPED* lpOverlapped) {
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    const bool overlapped = lpOverlapped && lpOverlapped->hEvent;
    if (lpOverlapped) lpOverlapped->Internal = lpOverlapped->InternalHigh = 0;
    const auto sp = Find(hFile);
    if (!sp) return 0;
    if (overlapped && !ResetEvent(lpOverlapped->hEvent)) return 0;
    TCommState& s = *sp;
    const auto* in = static_cast<const uint8_t*>(lpBuffer);
    std::unique_lock<std::mutex> lock(s.Mutex);
    if ((s.State.Flags & fAbortOnError) && s.LineErrors)
        return CompleteAtOnce(lock, lpNumberOfBytesWritten, lpOverlapped, ERROR_OPERATION_ABORTED,
                              0);

    const TWritePlan plan = PlanWrite(s.Timeouts, n);
    const uint64_t abort = s.TxAbort;
    DWORD done = 0;
    // RTS toggled by hand waits for the last byte to leave: an overlapped
    // write does that on its thread, so the call still returns at once.
    const bool toggleLater = overlapped && s.SoftToggle;
    if (!toggleLater) {
        BeginToggledWrite(s);
        const DWORD code = RunWrite(s, lock, plan, in, n, done, !overlapped, abort);
        if (code != ERROR_IO_PENDING) {
            EndToggledWrite(s, lock, plan);
            return CompleteAtOnce(lock, lpNumberOfBytesWritten, lpOverlapped, code, done,
                                  plan.Waited);
        }
    }

    // The caller may reuse its buffer at once: the rest goes out from a copy.
    auto rest = std::make_shared<std::vector<uint8_t>>(in + done, in + n);
    lpOverlapped->Internal = STATUS_PENDING;
    const bool started = RunOnThread(s, [sp, plan, rest, done, lpOverlapped, abort, toggleLater] {
        std::unique_lock<std::mutex> lock(sp->Mutex);
        if (toggleLater) BeginToggledWrite(*sp);
        DWORD more = 0;
        const DWORD code = RunWrite(*sp, lock, plan, rest->data(), static_cast<DWORD>(rest->size()),
                                    more, true, abort);
        EndToggledWrite(*sp, lock, plan);
        Finish(lock, lpOverlapped, code, done + more);
        EndTransferThread(*sp, lock);
    });
    if (!started) {
        if (!toggleLater) EndToggledWrite(s, lock, plan);
        return CompleteAtOnce(lock, lpNumberOfBytesWritten, lpOverlapped, ERROR_NOT_ENOUGH_MEMORY,
                              done);
    }
    return Fail(ERROR_IO_PENDING);
}

BOOL GetOverlappedResult(HANDLE, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred,
                         BOOL bWait) {
    if (lpNumberOfBytesTransferred) *lpNumberOfBytesTransferred = 0;
    if (!lpOverlapped) return Fail(ERROR_INVALID_PARAMETER);
    // The event orders the transfer thread's record before this look at it.
    if (lpOverlapped->hEvent) {
        const DWORD w = WaitForSingleObject(lpOverlapped->hEvent, bWait ? INFINITE : 0);
        if (w == WAIT_TIMEOUT) return Fail(ERROR_IO_INCOMPLETE);
        if (w != WAIT_OBJECT_0) return 0;
    }
    if (lpOverlapped->Internal == STATUS_PENDING) return Fail(ERROR_IO_INCOMPLETE);
    if (lpNumberOfBytesTransferred)
        *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
    return lpOverlapped->Internal ? Fail(static_cast<DWORD>(lpOverlapped->Internal)) : 1;
}

BOOL FlushFileBuffers(HANDLE hFile) {
    const auto s = Find(hFile);
    if (!s) return 0;
    std::lock_guard<std::mutex> lock(s->Mutex);
    if (::tcdrain(s->Fd) != 0 && errno != ENOTTY && errno != EINVAL) return FailErrno();
    return 1;
}

// ---- Queues, lines and events

BOOL PurgeComm(HANDLE hFile, DWORD dwFlags) {
    const auto s = Find(hFile);
    if (!s) return 0;
    std::lock_guard<std::mutex> lock(s->Mutex);
    if (dwFlags & PURGE_RXCLEAR) {
        s->In.clear();
        ::tcflush(s->Fd, TCIFLUSH);
    }
    if (dwFlags & PURGE_TXCLEAR) ::tcflush(s->Fd, TCOFLUSH);
    // Transfers in progress see the count change within a poll slice.
    if (dwFlags & PURGE_RXABORT) ++s->RxAbort;
    if (dwFlags & PURGE_TXABORT) ++s->TxAbort;
    return 1;
}

BOOL ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat) {
    const auto s = Find(hFile);
    if (!s) return 0;
    std::lock_guard<std::mutex> lock(s->Mutex);
    UpdateLineErrors(*s);
    if (lpErrors) *lpErrors = s->LineErrors;
    s->LineErrors = 0;
    if (lpStat) {
        Ingest(*s);
        lpStat->Flags = 0;
        lpStat->cbInQue = QueuedInput(*s);
        lpStat->cbOutQue = QueuedOutput(*s);
    }
    return 1;
}

BOOL EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
    const auto s = Find(hFile);
    if (!s) return 0;
    std::lock_guard<std::mutex> lock(s->Mutex);
    bool ok = true;
    switch (dwFunc) {
    case SETXOFF:
        ok = ::tcflow(s->Fd, TCOOFF) == 0;
        break;
    case SETXON:
        ok = ::tcflow(s->Fd, TCOON) == 0;
        break;
    case SETRTS:
        ok = SetModemLine(*s, TIOCM_RTS, true);
        break;
    case CLRRTS:
        ok = SetModemLine(*s, TIOCM_RTS, false);
        break;
    case SETDTR:
        ok = SetModemLine(*s, TIOCM_DTR, true);
        break;
    case CLRDTR:
        ok = SetModemLine(*s, TIOCM_DTR, false);
        break;
    case SETBREAK:
        ok = ::ioctl(s->Fd, TIOCSBRK) == 0;
        break;
    case CLRBREAK:
        ok = ::ioctl(s->Fd, TIOCCBRK) == 0;
        break;
    case RESETDEV:
        return Fail(ERROR_NOT_SUPPORTED); // printers only
    default:
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return ok ? 1 : FailErrno();
}

BOOL SetCommBreak(HANDLE hFile) {
    return EscapeCommFunction(hFile, SETBREAK);
}
BOOL ClearCommBreak(HANDLE hFile) {
    return EscapeCommFunction(hFile, CLRBREAK);
}

BOOL TransmitCommChar(HANDLE hFile, char cChar) {
    DWORD written = 0;
    if (!WriteFile(hFile, &cChar, 1, &written, nullptr)) return 0;
    return written == 1 ? 1 : Fail(ERROR_GEN_FAILURE);
}

BOOL GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat) {
    const auto s = Find(hFile);
    if (!s) return 0;
    std::lock_guard<std::mutex> lock(s->Mutex);
    if (lpModemStat) *lpModemStat = ReadModem(*s);
    return 1;
}

BOOL SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
    const auto s = Find(hFile);
    if (!s) return 0;
    std::lock_guard<std::mutex> lock(s->Mutex);
    s->Mask = dwEvtMask;
    s->Events = 0;
    ++s->MaskGeneration;
    s->ModemKnown = false;
    return 1;
}

BOOL GetCommMask(HANDLE hFile, DWORD* lpEvtMask) {
    const auto s = Find(hFile);
    if (!s) return 0;
    std::lock_guard<std::mutex> lock(s->Mutex);
    if (lpEvtMask) *lpEvtMask = s->Mask;
    return 1;
}

BOOL WaitCommEvent(HANDLE hFile, DWORD* lpEvtMask, OVERLAPPED*) {
    if (lpEvtMask) *lpEvtMask = 0;
    const auto sp = Find(hFile);
    if (!sp) return 0;
    TCommState& s = *sp;
    std::unique_lock<std::mutex> lock(s.Mutex);
    const uint64_t generation = s.MaskGeneration;
    if (s.Mask == 0) return 1;
    UpdateModemEvents(s);
    UpdateLineErrors(s);
    for (;;) {
        if (s.MaskGeneration != generation) return 1; // mask changed: empty report
        Ingest(s);
        if (s.Mask & (EV_CTS | EV_DSR | EV_RLSD | EV_RING)) UpdateModemEvents(s);
        if (s.Mask & (EV_ERR | EV_BREAK)) UpdateLineErrors(s);
        if (s.TxPending && QueuedOutput(s) == 0) {
            s.TxPending = false;
            Record(s, EV_TXEMPTY);
        }
        if (const DWORD hit = s.Events & s.Mask) {
            s.Events &= ~hit;
            if (lpEvtMask) *lpEvtMask = hit;
            return 1;
        }
        if (s.HungUp) return Fail(ERROR_DEVICE_NOT_CONNECTED);
        if (s.IoError) return Fail(ERROR_GEN_FAILURE);
        // A full buffer must not make the device look readable forever.
        const short events = s.In.size() < s.InSize ? POLLIN : 0;
        if (!PollUnlocked(s, lock, events, PollSliceMs)) return Fail(ERROR_INVALID_HANDLE);
    }
}

// ---- Configuration, port list and messages

namespace {
COMMCONFIG DefaultConfig() {
    COMMCONFIG c{};
    c.dwSize = sizeof(COMMCONFIG);
    c.wVersion = 1;
    c.dcb.DCBlength = sizeof(DCB);
    c.dcb.BaudRate = 9600;
    c.dcb.ByteSize = 8;
    c.dcb.Flags = fBinary | DTR_CONTROL_ENABLE | RTS_CONTROL_ENABLE;
    c.dcb.XonChar = 0x11;
    c.dcb.XoffChar = 0x13;
    return c;
}

// The defaults live in the settings store, one key a port, a value a field.
const char* const DefaultsKey = "\\Software\\QM read out\\Serial port defaults\\";

struct TDcbField {
    const char* Name;
    DWORD (*Get)(const DCB&);
    void (*Set)(DCB&, DWORD);
};
#define QM_DCB_FIELD(F, T)                                                                         \
    {                                                                                              \
#F, [](const DCB& d) { return static_cast<DWORD>(static_cast<uint8_t>(d.F)); },               \
     [](DCB& d, DWORD v) { d.F = static_cast<T>(v); }    \
    }
const TDcbField DcbFields[] = {
    {"BaudRate", [](const DCB& d) { return d.BaudRate; }, [](DCB& d, DWORD v) { d.BaudRate = v; }},
    {"Flags", [](const DCB& d) { return d.Flags; }, [](DCB& d, DWORD v) { d.Flags = v; }},
    {"XonLim", [](const DCB& d) { return DWORD(d.XonLim); },
     [](DCB& d, DWORD v) { d.XonLim = static_cast<WORD>(v); }},
    {"XoffLim", [](const DCB& d) { return DWORD(d.XoffLim); },
     [](DCB& d, DWORD v) { d.XoffLim = static_cast<WORD>(v); }},
    QM_DCB_FIELD(ByteSize, uint8_t),
    QM_DCB_FIELD(Parity, uint8_t),
    QM_DCB_FIELD(StopBits, uint8_t),
    QM_DCB_FIELD(XonChar, char),
    QM_DCB_FIELD(XoffChar, char),
    QM_DCB_FIELD(ErrorChar, char),
    QM_DCB_FIELD(EofChar, char),
    QM_DCB_FIELD(EvtChar, char),
};
#undef QM_DCB_FIELD

COMMCONFIG StoredDefaults(const std::string& name) {
    COMMCONFIG c = DefaultConfig();
    try {
        TRegistry reg(KEY_READ);
        if (!reg.OpenKeyReadOnly((std::string(DefaultsKey) + name).c_str())) return c;
        for (const auto& f : DcbFields)
            if (reg.ValueExists(f.Name)) f.Set(c.dcb, static_cast<DWORD>(reg.ReadInteger(f.Name)));
    } catch (const Exception&) {
        // A damaged entry reads as the built-in defaults.
    }
    return c;
}

bool StoreDefaults(const std::string& name, const DCB& d) {
    try {
        TRegistry reg(KEY_ALL_ACCESS);
        if (!reg.OpenKey((std::string(DefaultsKey) + name).c_str(), true)) return false;
        for (const auto& f : DcbFields)
            reg.WriteInteger(f.Name, static_cast<int>(f.Get(d)));
        return true;
    } catch (const Exception&) {
        return false;
    }
}
} // namespace

BOOL GetDefaultCommConfigA(const char* lpszName, COMMCONFIG* lpCC, DWORD* lpdwSize) {
    if (!lpszName || !lpCC || !lpdwSize) return Fail(ERROR_INVALID_PARAMETER);
    if (*lpdwSize < sizeof(COMMCONFIG)) {
        *lpdwSize = sizeof(COMMCONFIG);
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::string name = ShortName(lpszName);
    if (CommDevicePath(name).empty()) return Fail(ERROR_FILE_NOT_FOUND);
    std::lock_guard<std::mutex> guard(SettingsMutex);
    *lpCC = StoredDefaults(name);
    *lpdwSize = sizeof(COMMCONFIG);
    return 1;
}

BOOL SetDefaultCommConfigA(const char* lpszName, const COMMCONFIG* lpCC, DWORD dwSize) {
    if (!lpszName || !lpCC || dwSize < sizeof(COMMCONFIG)) return Fail(ERROR_INVALID_PARAMETER);
    const std::string name = ShortName(lpszName);
    if (CommDevicePath(name).empty()) return Fail(ERROR_FILE_NOT_FOUND);
    std::lock_guard<std::mutex> guard(SettingsMutex);
    return StoreDefaults(name, lpCC->dcb) ? 1 : Fail(ERROR_ACCESS_DENIED);
}

BOOL CommConfigDialogA(const char* lpszName, void*, COMMCONFIG* lpCC) {
    if (!lpszName || !lpCC) return Fail(ERROR_INVALID_PARAMETER);
    TCommConfigDialogHook hook;
    {
        std::lock_guard<std::mutex> guard(SettingsMutex);
        hook = DialogHook;
    }
    if (!hook) return Fail(ERROR_NOT_SUPPORTED);
    return hook(ShortName(lpszName), *lpCC) ? 1 : Fail(ERROR_CANCELLED);
}

void SetCommClock(TCommClock* clock) {
    InstalledClock.store(clock, std::memory_order_release);
}

void SetCommConfigDialogHook(TCommConfigDialogHook hook) {
    std::lock_guard<std::mutex> guard(SettingsMutex);
    DialogHook = std::move(hook);
}

std::vector<std::string> EnumSerialPorts() {
    struct TEntry {
        int Kind;
        long Number;
        std::string Name;
    };
    std::vector<TEntry> found;
    const std::string classFolder = ClassFolder(), deviceFolder = DeviceFolder();
    if (DIR* dir = ::opendir(classFolder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (const long n = NumberAfter(name, "ttyS"); n >= 0) {
                // Unused 8250 slots exist for every ttyS; only a known UART type counts.
                std::ifstream typeFile(classFolder + "/" + name + "/type");
                int type = 0;
                if (typeFile >> type && type != 0)
                    found.push_back({0, n, "COM" + std::to_string(n + 1)});
            } else if (const long u = NumberAfter(name, "ttyUSB"); u >= 0) {
                found.push_back({1, u, deviceFolder + "/" + name});
            } else if (const long a = NumberAfter(name, "ttyACM"); a >= 0) {
                found.push_back({2, a, deviceFolder + "/" + name});
            }
        }
        ::closedir(dir);
    }
    std::sort(found.begin(), found.end(), [](const TEntry& a, const TEntry& b) {
        return a.Kind != b.Kind ? a.Kind < b.Kind : a.Number < b.Number;
    });
    std::vector<std::string> names;
    for (const auto& e : found)
        names.push_back(e.Name);
    return names;
}

DWORD QueryDosDeviceA(const char* lpDeviceName, char* lpTargetPath, DWORD ucchMax) {
    if (lpDeviceName || (!lpTargetPath && ucchMax)) return Fail(ERROR_INVALID_PARAMETER);
    std::vector<std::string> names = EnumSerialPorts();
    std::vector<std::string> others;
    const std::string deviceFolder = DeviceFolder();
    if (DIR* dir = ::opendir(deviceFolder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string path = deviceFolder + "/" + e->d_name;
            struct stat st {};
            if (e->d_name[0] == '.' || ::stat(path.c_str(), &st) != 0) continue;
            if (!S_ISCHR(st.st_mode) && !S_ISBLK(st.st_mode)) continue;
            // A serial port is listed once, by the name it has above; ttyS
            // slots without a UART are no devices.
            if (NumberAfter(e->d_name, "ttyS") >= 0) continue;
            if (std::find(names.begin(), names.end(), path) != names.end()) continue;
            others.push_back(path);
        }
        ::closedir(dir);
    }
    std::sort(others.begin(), others.end());
    names.insert(names.end(), others.begin(), others.end());
    std::string list;
    for (const auto& n : names)
        list.append(n).push_back('\0');
    list.push_back('\0');
    if (list.size() > ucchMax) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(lpTargetPath, list.data(), list.size());
    return static_cast<DWORD>(list.size());
}

void SetModemControlHook(TModemControlHook hook) {
    std::lock_guard<std::mutex> guard(HookMutex);
    ModemHook = std::move(hook);
}

int FeedParityMarks(TParityMarks& marks, uint8_t in, char errorChar, uint8_t out[2]) {
    switch (marks.Seen) {
    case 0:
        if (in == 0xFF) {
            marks.Seen = 1;
            return 0;
        }
        out[0] = in;
        return 1;
    case 1:
        if (in == 0x00) {
            marks.Seen = 2;
            return 0;
        }
        marks.Seen = 0;
        if (in == 0xFF) {
            out[0] = 0xFF;
            return 1;
        }
        // Not a mark the kernel writes: both bytes pass as they came.
        out[0] = 0xFF;
        out[1] = in;
        return 2;
    default:
        marks.Seen = 0;
        out[0] = in == 0x00 ? 0x00 : static_cast<uint8_t>(errorChar);
        return 1;
    }
}

void SetSerialPortFolders(const std::string& classFolder, const std::string& deviceFolder) {
    std::lock_guard<std::mutex> guard(SettingsMutex);
    ClassFolderOverride = classFolder;
    DeviceFolderOverride = deviceFolder;
}

std::string CommErrorMessage(DWORD code) {
    switch (code) {
    case ERROR_SUCCESS:
        return "The operation completed successfully.";
    case ERROR_INVALID_FUNCTION:
        return "Incorrect function.";
    case ERROR_FILE_NOT_FOUND:
        return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND:
        return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED:
        return "Access is denied.";
    case ERROR_INVALID_HANDLE:
        return "The handle is invalid.";
    case ERROR_GEN_FAILURE:
        return "A device attached to the system is not functioning.";
    case ERROR_NOT_SUPPORTED:
        return "The request is not supported.";
    case ERROR_INVALID_PARAMETER:
        return "The parameter is incorrect.";
    case ERROR_OPERATION_ABORTED:
        return "The I/O operation has been aborted because of either a thread exit or an "
               "application request.";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "Not enough memory resources are available to process this command.";
    case ERROR_INSUFFICIENT_BUFFER:
        return "The data area passed to a system call is too small.";
    case ERROR_IO_INCOMPLETE:
        return "Overlapped I/O event is not in a signaled state.";
    case ERROR_IO_PENDING:
        return "Overlapped I/O operation is in progress.";
    case ERROR_DEVICE_NOT_CONNECTED:
        return "The device is not connected.";
    case ERROR_CANCELLED:
        return "The operation was canceled by the user.";
    default:
        return "System error " + std::to_string(code) + ".";
    }
}
