#include "platform/classes/registry.h"
#include "platform/win32/commapi.h"
#include "platform/win32/events.h"
#include "support/serial_sim.h"
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <thread>

namespace {
using Ms = std::chrono::milliseconds;

class CommApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        Port = CreateFileA(Pty.SlavePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        ASSERT_NE(Port, INVALID_HANDLE_VALUE) << GetLastError();
    }
    void TearDown() override {
        if (Port != INVALID_HANDLE_VALUE) CloseHandle(Port);
    }
    void Timeouts(DWORD interval, DWORD mult, DWORD constant, DWORD wmult = 0, DWORD wconst = 0) {
        const COMMTIMEOUTS t{interval, mult, constant, wmult, wconst};
        ASSERT_TRUE(SetCommTimeouts(Port, &t));
    }
    std::string Read(DWORD n, BOOL* ok = nullptr) {
        std::string buf(n, '\0');
        DWORD got = 0;
        const BOOL r = ReadFile(Port, buf.data(), n, &got, nullptr);
        if (ok) *ok = r;
        buf.resize(got);
        return buf;
    }
    DWORD Write(const std::string& s) {
        DWORD done = 0;
        EXPECT_TRUE(WriteFile(Port, s.data(), static_cast<DWORD>(s.size()), &done, nullptr));
        return done;
    }
    // The line settings as any other program on the machine reads them.
    termios SlaveTermios() const {
        termios t{};
        const int fd = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        EXPECT_GE(fd, 0);
        ::tcgetattr(fd, &t);
        ::close(fd);
        return t;
    }
    TPtyPair Pty;
    HANDLE Port = INVALID_HANDLE_VALUE;
};
} // namespace

TEST(CommApi, PortNamesMapToDevicePaths) {
    EXPECT_EQ(CommDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(CommDevicePath("\\\\.\\COM12"), "/dev/ttyS11");
    EXPECT_EQ(CommDevicePath("com3"), "/dev/ttyS2");
    EXPECT_EQ(CommDevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(CommDevicePath("\\\\.\\/dev/ttyACM1"), "/dev/ttyACM1");
    for (const char* bad : {"COM0", "COM", "COMx", "LPT1", "", "ttyS0"})
        EXPECT_EQ(CommDevicePath(bad), "") << bad;
}

TEST_F(CommApiTest, OpenFailuresCarryTheirCodesAndThePortOpensExclusively) {
    const struct {
        std::string name;
        DWORD code;
    } cases[] = {
        {"/nonexistent/tty", ERROR_FILE_NOT_FOUND},
        {"NUL", ERROR_FILE_NOT_FOUND},
        {"/dev/null", ERROR_INVALID_FUNCTION}, // not a terminal
        {Pty.SlavePath(), ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(CreateFileA(c.name.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr),
                  INVALID_HANDLE_VALUE)
            << c.name;
        EXPECT_EQ(GetLastError(), c.code) << c.name;
    }
    EXPECT_EQ(CommErrorMessage(ERROR_FILE_NOT_FOUND), "The system cannot find the file specified.");
    CloseHandle(Port);
    Port = CreateFileA(Pty.SlavePath().c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(Port, INVALID_HANDLE_VALUE);
}

TEST_F(CommApiTest, ControlBytesPassUnchangedBothWays) {
    const std::string all = Bytes("00 03 04 0A 0D 11 12 13 1A 7F 80 FF 02 05 06 07");
    Timeouts(0, 0, 500);
    Pty.Send(all);
    EXPECT_EQ(Hex(Read(static_cast<DWORD>(all.size()))), Hex(all));
    EXPECT_EQ(Write(all), all.size());
    EXPECT_EQ(Hex(Pty.Receive(all.size())), Hex(all));
}

TEST_F(CommApiTest, ReadTimeoutsFollowTheWindowsRules) {
    TCommClockScope clock;
    const HANDLE event = CreateEventA(nullptr, 1, 1, nullptr);
    OVERLAPPED ov{};
    ov.hEvent = event;
    char buf[10] = {};
    // A read that has to wait, on a thread of its own.
    const auto start = [&](DWORD n) {
        DWORD got = 0;
        EXPECT_FALSE(ReadFile(Port, buf, n, &got, &ov));
        EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
    };
    // Still running after it had a few polls to notice the clock.
    const auto running = [&] { return WaitForSingleObject(event, 30) == WAIT_TIMEOUT; };
    const auto result = [&] {
        DWORD count = 0;
        EXPECT_TRUE(GetOverlappedResult(Port, &ov, &count, 1)); // a short read is no failure
        return std::string(buf, count);
    };

    // Nothing waiting, return at once: the clock never moves.
    Timeouts(MAXDWORD, 0, 0);
    EXPECT_EQ(Read(4), "");

    // Total = multiplier * n + constant.
    Timeouts(0, 10, 30);
    Pty.Send("ab");
    start(4);
    clock.Advance(69);
    EXPECT_TRUE(running());
    clock.Advance(1);
    EXPECT_EQ(result(), "ab");

    // The interval timer starts with the first byte.
    Timeouts(40, 0, 0);
    start(10);
    clock.Advance(100);
    EXPECT_TRUE(running());
    const uint64_t looks = clock.Looks();
    Pty.Send("xyz");
    clock.AwaitLooks(looks, 1); // the bytes taken, the timer started
    clock.Advance(39);
    EXPECT_TRUE(running());
    clock.Advance(1);
    EXPECT_EQ(result(), "xyz");

    // Maximum interval and multiplier: wait for a first byte only.
    Timeouts(MAXDWORD, MAXDWORD, 50);
    start(3);
    clock.Advance(49);
    EXPECT_TRUE(running());
    clock.Advance(1);
    EXPECT_EQ(result(), "");
    Pty.Send("q");
    EXPECT_EQ(Read(3), "q");
    CloseHandle(event);
}

TEST_F(CommApiTest, BytesArrivingDuringTheWaitAreCollected) {
    TCommClockScope clock; // only the bytes can end the read
    Timeouts(0, 0, 1000);
    std::thread late([&] {
        std::this_thread::sleep_for(Ms(20));
        Pty.Send("12");
        std::this_thread::sleep_for(Ms(20));
        Pty.Send("34");
    });
    EXPECT_EQ(Read(4), "1234");
    late.join();
}

TEST_F(CommApiTest, HangUpFailsReadsAndWaitsInsteadOfSpinning) {
    Timeouts(0, 0, 0); // no time-out at all: only the hang-up can end the read
    std::thread hang([&] {
        std::this_thread::sleep_for(Ms(20));
        Pty.HangUp();
    });
    BOOL ok = 1;
    Read(1, &ok);
    hang.join();
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    ASSERT_TRUE(SetCommMask(Port, EV_RXCHAR));
    DWORD events = 0;
    EXPECT_FALSE(WaitCommEvent(Port, &events, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
}

TEST_F(CommApiTest, PurgeAndQueueCounts) {
    Pty.Send("stale");
    COMSTAT stat{};
    DWORD errors = 1;
    ASSERT_TRUE(ClearCommError(Port, &errors, &stat));
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(stat.cbInQue, 5u);
    ASSERT_TRUE(PurgeComm(Port, PURGE_RXABORT | PURGE_RXCLEAR));
    ASSERT_TRUE(ClearCommError(Port, &errors, &stat));
    EXPECT_EQ(stat.cbInQue, 0u);
    Timeouts(MAXDWORD, 0, 0);
    EXPECT_EQ(Read(5), "");
}

TEST_F(CommApiTest, StateAppliesWhatLinuxCanExpressAndRefusesTheRest) {
    DCB d{};
    ASSERT_TRUE(GetCommState(Port, &d));
    EXPECT_EQ(d.DCBlength, 28u);
    d.BaudRate = 15625; // not a classic rate: set through the free-rate call
    d.ByteSize = 7;
    d.Parity = MARKPARITY;
    d.StopBits = TWOSTOPBITS;
    ASSERT_TRUE(SetCommState(Port, &d)) << GetLastError();
    const termios t = SlaveTermios();
    // A pseudo-terminal keeps 8 bits without parity enable; the rest reaches it.
    EXPECT_TRUE(t.c_cflag & CMSPAR);
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_EQ(t.c_cflag & CBAUD, 0010000u); // the free-rate form
    DCB back{};
    GetCommState(Port, &back);
    EXPECT_EQ(back.BaudRate, 15625u);
    // Standard rates use their standard speed codes, so every reader of the
    // settings sees the rate.
    for (const auto& [rate, code] : {std::pair{2400u, B2400}, std::pair{115200u, B115200}}) {
        DCB standard = back;
        standard.BaudRate = rate;
        ASSERT_TRUE(SetCommState(Port, &standard));
        const termios seen = SlaveTermios();
        EXPECT_EQ(cfgetospeed(&seen), code) << rate;
        EXPECT_EQ(cfgetispeed(&seen), code) << rate;
        GetCommState(Port, &standard);
        EXPECT_EQ(standard.BaudRate, rate);
    }

    const struct {
        const char* what;
        void (*change)(DCB&);
    } refused[] = {
        {"4 data bits", [](DCB& x) { x.ByteSize = 4; }},
        {"1.5 stop bits", [](DCB& x) { x.StopBits = ONE5STOPBITS; }},
        {"DTR handshake",
         [](DCB& x) { x.Flags = (x.Flags & ~fDtrControlMask) | DTR_CONTROL_HANDSHAKE; }},
        {"CTS without RTS", [](DCB& x) { x.Flags |= fOutxCtsFlow; }},
        {"DSR flow", [](DCB& x) { x.Flags |= fOutxDsrFlow; }},
        {"XOff stops sending", [](DCB& x) { x.Flags = (x.Flags & ~fTXContinueOnXoff) | fInX; }},
    };
    for (const auto& r : refused) {
        DCB bad = back;
        r.change(bad);
        EXPECT_FALSE(CommStateProblem(bad).empty()) << r.what;
        EXPECT_FALSE(SetCommState(Port, &bad)) << r.what;
        EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED) << r.what;
    }
    DCB hw = back;
    hw.Flags = (hw.Flags & ~fRtsControlMask) | RTS_CONTROL_HANDSHAKE | fOutxCtsFlow;
    EXPECT_TRUE(SetCommState(Port, &hw));
    // What Linux can give: RTS toggling, DSR sensitivity, parity marks for
    // the error replacement character.
    DCB more = back;
    more.Flags =
        (more.Flags & ~fRtsControlMask) | RTS_CONTROL_TOGGLE | fDsrSensitivity | fErrorChar;
    more.ErrorChar = '?';
    EXPECT_TRUE(CommStateProblem(more).empty());
    ASSERT_TRUE(SetCommState(Port, &more)) << GetLastError();
    EXPECT_TRUE(SlaveTermios().c_iflag & PARMRK);
    ASSERT_TRUE(SetCommState(Port, &back));
    EXPECT_FALSE(SlaveTermios().c_iflag & PARMRK);
}

TEST_F(CommApiTest, NullBytesAreDiscardedOnRequest) {
    DCB d{};
    GetCommState(Port, &d);
    d.Flags |= fNull;
    ASSERT_TRUE(SetCommState(Port, &d));
    Timeouts(0, 0, 300);
    Pty.Send(Bytes("41 00 42 00 43"));
    EXPECT_EQ(Read(3), "ABC");
}

TEST_F(CommApiTest, WaitCommEventReportsReceivedAndFlagCharacters) {
    DCB d{};
    GetCommState(Port, &d);
    d.EvtChar = '\x03';
    ASSERT_TRUE(SetCommState(Port, &d));
    ASSERT_TRUE(SetCommMask(Port, EV_RXCHAR | EV_RXFLAG));
    std::thread send([&] {
        std::this_thread::sleep_for(Ms(10));
        Pty.Send(Bytes("02 41 03"));
    });
    DWORD events = 0;
    ASSERT_TRUE(WaitCommEvent(Port, &events, nullptr));
    send.join();
    std::this_thread::sleep_for(Ms(10));
    DWORD more = 0;
    if (events != (EV_RXCHAR | EV_RXFLAG)) {
        ASSERT_TRUE(WaitCommEvent(Port, &more, nullptr));
    }
    EXPECT_EQ(events | more, EV_RXCHAR | EV_RXFLAG);
    Timeouts(0, 0, 100);
    EXPECT_EQ(Hex(Read(3)), "02 41 03"); // the bytes stay for the reader
}

TEST_F(CommApiTest, NewMaskOrCloseEndsAPendingWait) {
    ASSERT_TRUE(SetCommMask(Port, EV_RXCHAR));
    std::thread other([&] {
        std::this_thread::sleep_for(Ms(20));
        SetCommMask(Port, 0);
    });
    DWORD events = 99;
    EXPECT_TRUE(WaitCommEvent(Port, &events, nullptr));
    EXPECT_EQ(events, 0u);
    other.join();

    ASSERT_TRUE(SetCommMask(Port, EV_RXCHAR));
    const HANDLE h = Port;
    std::thread closer([&] {
        std::this_thread::sleep_for(Ms(20));
        CloseHandle(h);
    });
    EXPECT_FALSE(WaitCommEvent(h, &events, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    closer.join();
    Port = INVALID_HANDLE_VALUE;
}

TEST_F(CommApiTest, ModemLinesOfAPseudoTerminalReadAsOff) {
    DWORD status = 0xFF;
    ASSERT_TRUE(GetCommModemStatus(Port, &status));
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(EscapeCommFunction(Port, SETDTR));
    EXPECT_FALSE(EscapeCommFunction(Port, RESETDEV));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

namespace {
// The settings store of a test: a folder of its own, removed afterwards.
class TSettingsScope {
public:
    TSettingsScope()
        : Folder(std::filesystem::temp_directory_path() /
                 ("qm_settings_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(Folder);
        SetSettingsFolderOverride(Folder.string().c_str());
    }
    ~TSettingsScope() {
        SetSettingsFolderOverride("");
        std::filesystem::remove_all(Folder);
    }
    std::filesystem::path Folder;
};
} // namespace

TEST(CommApi, ConfigDialogRunsTheHook) {
    TSettingsScope settings;
    COMMCONFIG c{};
    DWORD size = sizeof c;
    ASSERT_TRUE(GetDefaultCommConfigA("COM2", &c, &size));
    // The default configuration is kept for the process: later tests find it as it was.
    struct TRestore {
        COMMCONFIG Saved;
        ~TRestore() {
            SetCommConfigDialogHook(nullptr);
            SetDefaultCommConfigA("COM2", &Saved, sizeof Saved);
        }
    } restore{c};
    EXPECT_EQ(size, 52u);
    EXPECT_EQ(c.dcb.BaudRate, 9600u);
    EXPECT_FALSE(CommConfigDialogA("COM2", nullptr, &c));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    SetCommConfigDialogHook([](const std::string& name, COMMCONFIG& cfg) {
        cfg.dcb.BaudRate = name == "COM2" ? 2400 : 1;
        return true;
    });
    EXPECT_TRUE(CommConfigDialogA("\\\\.\\COM2", nullptr, &c));
    EXPECT_EQ(c.dcb.BaudRate, 2400u);
    SetCommConfigDialogHook(nullptr);
    ASSERT_TRUE(SetDefaultCommConfigA("COM2", &c, size));
    COMMCONFIG again{};
    ASSERT_TRUE(GetDefaultCommConfigA("COM2", &again, &size));
    EXPECT_EQ(again.dcb.BaudRate, 2400u);
}

TEST(CommApi, PortListComesFromTheTtyClassFolder) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("qm_tty_" + std::to_string(::getpid()));
    fs::remove_all(root);
    auto add = [&](const std::string& name, const char* type) {
        fs::create_directories(root / name);
        if (type) std::ofstream(root / name / "type") << type << "\n";
    };
    add("ttyS0", "4");
    add("ttyS1", "0"); // an unused slot
    add("ttyS10", "4");
    add("ttyUSB0", nullptr);
    add("ttyACM2", nullptr);
    add("tty5", nullptr);
    add("ttyS", "4");
    SetSerialPortFolders(root.string(), "/devx");
    const std::vector<std::string> expected = {"COM1", "COM11", "/devx/ttyUSB0", "/devx/ttyACM2"};
    EXPECT_EQ(EnumSerialPorts(), expected);
    EXPECT_EQ(CommDevicePath("COM11"), "/devx/ttyS10");
    SetSerialPortFolders("", "");
    fs::remove_all(root);
}
