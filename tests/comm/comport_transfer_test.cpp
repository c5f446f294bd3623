// Transfers that do not wait, the event thread's priority and the device list.
#include "comm/comsignal.h"
#include "fake_host.h"
#include "platform/classes/registry.h"
#include "platform/classes/stringlist.h"
#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <algorithm>
#include <map>
#include <span>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {
using Ms = std::chrono::milliseconds;

class ComPortTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        Port.SetDeviceName(Pty.SlavePath().c_str());
        Port.Timeouts()->SetReadConstant(2000);
        Port.Timeouts()->SetWriteConstant(2000);
    }
    template <typename Fn> EComError Raised(Fn fn) {
        try {
            fn();
        } catch (const EComError& e) {
            return e;
        }
        ADD_FAILURE() << "no EComError";
        return EComError(-1, "");
    }
    TCommClockScope Clock; // a time-out ends a transfer only once the test moves it on
    TPtyPair Pty;
    TComPort Port{nullptr};
};

// The nice value of the port's event thread; -100 when none runs.
int EventThreadNice() {
    DIR* dir = ::opendir("/proc/self/task");
    int nice = -100;
    while (const dirent* e = dir ? ::readdir(dir) : nullptr) {
        std::ifstream comm(std::string("/proc/self/task/") + e->d_name + "/comm");
        std::string name;
        if (std::getline(comm, name) && name == "serial events")
            nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(std::atoi(e->d_name)));
    }
    if (dir) ::closedir(dir);
    return nice;
}

bool MayRaisePriority() {
    const int now = ::getpriority(PRIO_PROCESS, 0);
    if (now <= -20) return true;
    if (::setpriority(PRIO_PROCESS, 0, now - 1) != 0) return false;
    ::setpriority(PRIO_PROCESS, 0, now);
    return true;
}
} // namespace

TEST_F(ComPortTransferTest, ReadThatDoesNotWaitReturnsAtOnceAndIsPendingUntilItEnds) {
    Port.Open();
    char buf[4] = {};
    // Returning at all shows it: neither bytes nor the clock ever came.
    EXPECT_EQ(Port.Read(buf, 4, false), 0);
    EXPECT_TRUE(Port.ReadPending());
    EXPECT_FALSE(Port.WritePending());
    Pty.Send("abcd");
    EXPECT_EQ(Port.WaitForReadCompletion(), 4);
    EXPECT_FALSE(Port.ReadPending());
    EXPECT_EQ(std::string(buf, 4), "abcd");
    // A read that could complete at once is never pending.
    Pty.Send("ef");
    EXPECT_EQ(Port.Read(buf, 2, false), 2);
    EXPECT_FALSE(Port.ReadPending());
}

TEST_F(ComPortTransferTest, NextReadWaitsForThePendingOneSoBytesKeepTheirOrder) {
    Port.Open();
    char first[4] = {}, second[2] = {};
    Port.Read(first, 4, false);
    std::thread sender([&] {
        std::this_thread::sleep_for(Ms(10));
        Pty.Send("abcdef");
    });
    EXPECT_EQ(Port.Read(second, 2, true), 2);
    sender.join();
    EXPECT_EQ(std::string(first, 4), "abcd");
    EXPECT_EQ(std::string(second, 2), "ef");
}

TEST_F(ComPortTransferTest, ShortPendingReadRaisesTimeoutWhenWaitedForEvenIfItEndedBefore) {
    Port.Timeouts()->SetReadConstant(20);
    Port.Open();
    char buf[4];
    Port.Read(buf, 4, false);
    Pty.Send("a");
    while (Pty.PendingForPort() > 0) // taken in by the read
        std::this_thread::sleep_for(Ms(1));
    Clock.Advance(20);
    while (Port.ReadPending()) // ended short meanwhile
        std::this_thread::sleep_for(Ms(1));
    const EComError e = Raised([&] { Port.WaitForReadCompletion(); });
    EXPECT_EQ(e.ErrorCode, 0);
    EXPECT_EQ(e.Message, "Timeout");
    EXPECT_EQ(Port.WaitForReadCompletion(), 1); // reported once
}

TEST_F(ComPortTransferTest, CloseEndsAPendingReadBeforeItReturns) {
    Port.Timeouts()->SetReadConstant(0); // would wait for ever
    Port.Open();
    auto buf = std::make_unique<char[]>(8);
    Port.Read(buf.get(), 8, false);
    EXPECT_TRUE(Port.ReadPending());
    Port.Close(); // a read without a time-out would otherwise never end
    EXPECT_FALSE(Port.ReadPending());
    buf.reset(); // nothing writes into it any more
    Port.Open();
    Pty.Send("late"); // and no ended read takes these
    EXPECT_EQ(Port.ReadString(), "late");
}

TEST_F(ComPortTransferTest, PendingReadAndTheEventThreadShareTheDevice) {
    std::atomic<int> events{0};
    Port.OnRxChar = [&](TObject*) { ++events; };
    Port.Open();
    char buf[3] = {};
    Port.Read(buf, 3, false);
    Pty.Send("xyz");
    EXPECT_TRUE(PumpUntil([&] { return events > 0; }));
    EXPECT_EQ(Port.WaitForReadCompletion(), 3);
    EXPECT_EQ(std::string(buf, 3), "xyz");
    Port.Close();
}

TEST_F(ComPortTransferTest, ThreadPriorityIsAppliedAtStartAndAtOnceWhileRunning) {
    const bool privileged = MayRaisePriority();
    const int base = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid()));
    const struct {
        TThreadPriority Priority;
        int Nice;
        bool Raise;
    } cases[] = {
        {tpIdle, 19, false},
        {tpLowest, std::min(base + 10, 19), false},
        {tpLower, std::min(base + 5, 19), false},
        {tpNormal, base, false},
        {tpHigher, std::max(base - 5, -20), true},
        {tpHighest, std::max(base - 10, -20), true},
        {tpTimeCritical, -20, true},
    };
    Port.OnRxChar = [](TObject*) {};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Priority);
        if (c.Raise && !privileged) continue;
        Port.SetThreadPriority(c.Priority); // closed: stored
        Port.Open();
        EXPECT_EQ(EventThreadNice(), c.Nice);
        Port.Close();
        if (!privileged) continue;
        Port.SetThreadPriority(tpNormal);
        Port.Open();
        EXPECT_EQ(EventThreadNice(), base);
        Port.SetThreadPriority(c.Priority); // running: at once
        EXPECT_EQ(EventThreadNice(), c.Nice);
        Port.Close();
    }
}

namespace {
// An ordinary user, who may lower nice values only down to 20 - niceLimit,
// opens a port that a signal component watches for received characters, its
// event thread at the default (highest) priority; then lowers and raises it.
// 0 when all went as it should, else the number of the step that did not.
int OpenAsOrdinaryUser(rlim_t niceLimit) {
    const rlimit limit{niceLimit, niceLimit};
    if (::setrlimit(RLIMIT_NICE, &limit) != 0) return 77;
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        return 90;
    const auto allowed = [&](int nice) {
        return std::clamp(std::min(nice, 20 - static_cast<int>(niceLimit)), -20, 19);
    };
    const int base = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid()));
    try {
        TFakeCommHost host;
        SetCommHost(&host);
        TPtyPair pty; // the user's own terminal
        TComponent owner(nullptr);
        auto* port = new TComPort(&owner);
        port->SetDeviceName(pty.SlavePath().c_str());
        int received = 0;
        port->OnRxChar = [&](TObject*) { ++received; };
        auto* signal = new TComSignal(&owner);
        signal->SetSignal(siRxChar);
        signal->SetComPort(port);
        port->Open();
        if (EventThreadNice() != allowed(base)) return 2;
        pty.Send("x");
        if (!PumpUntil([&] { return received == 1; }) || !signal->SignalValue()) return 3;
        port->SetThreadPriority(tpIdle);
        if (EventThreadNice() != 19) return 4;
        port->SetThreadPriority(tpHighest); // back up as far as the user may
        if (EventThreadNice() != std::max(base - 10, allowed(19))) return 5;
        if (port->ThreadPriority() != tpHighest) return 6;
        port->Close();
    } catch (const EComError&) {
        return 1;
    }
    return 0;
}
} // namespace

TEST(ComPortPriority, OrdinaryUserOpensAndTheThreadGetsTheHighestPriorityAllowed) {
    int ran = 0;
    for (const rlim_t niceLimit : {rlim_t(0), rlim_t(25)}) {
        SCOPED_TRACE(niceLimit);
        const pid_t pid = ::fork();
        if (pid == 0) ::_exit(OpenAsOrdinaryUser(niceLimit));
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
        if (WEXITSTATUS(status) == 77) continue; // a nice limit this machine does not give
        EXPECT_EQ(WEXITSTATUS(status), 0);
        ++ran;
    }
    if (ran == 0) GTEST_SKIP() << "no nice limit could be set";
}

namespace {
// The nice value each priority class leaves the process at while the port is
// open, for a user with a nice limit (or the privilege) and a starting value.
struct TClassCase {
    bool Privileged;
    rlim_t NiceLimit;
    int Base;
    std::map<std::string, int> Open; // by the class's name
};

// Makes the (forked) process the user of the case at its nice value: 0, or
// 77 when the case needs what this user cannot give.
int BecomeUserOf(const TClassCase& c) {
    const rlimit limit{c.NiceLimit, c.NiceLimit};
    if (::setrlimit(RLIMIT_NICE, &limit) != 0 || ::setpriority(PRIO_PROCESS, 0, c.Base) != 0)
        return 77;
    if (c.Privileged && ::geteuid() != 0) return 77;
    if (!c.Privileged && ::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        return 90;
    return 0;
}

// Runs Fn(c) in a child process for each case; skipped when no case could run.
void RunAsEachUser(const TClassCase* Cases, size_t Count, int (*Fn)(const TClassCase&)) {
    int ran = 0;
    for (const TClassCase& c : std::span(Cases, Count)) {
        SCOPED_TRACE(::testing::Message() << (c.Privileged ? "privileged" : "ordinary user")
                                          << ", nice limit " << c.NiceLimit << ", nice " << c.Base);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int entered = BecomeUserOf(c);
            ::_exit(entered ? entered : Fn(c));
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
        if (WEXITSTATUS(status) == 77) continue; // limits only the privileged may set
        EXPECT_EQ(WEXITSTATUS(status), 0);
        ++ran;
    }
    if (ran == 0) GTEST_SKIP() << "no nice limit could be set";
}

// Opens and closes a port at every priority class; 0 when each gave the nice
// value of the case and the close put the base back, else what went wrong.
int OpenAtEveryClass(const TClassCase& c) {
    TPtyPair pty;
    TComPort port(nullptr);
    port.SetDeviceName(pty.SlavePath().c_str());
    const TEnumNames& classes = EnumNames(TPriorityClass{});
    for (int i = 0; i < classes.Count(); ++i) {
        const std::string name = classes.Name(i).c_str();
        const auto expected = c.Open.find(name);
        if (expected == c.Open.end()) return 10 + i;
        port.SetPriorityClass(static_cast<TPriorityClass>(classes.Value(i)));
        try {
            port.Open();
        } catch (const EComError& e) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
            return 20 + i;
        }
        const int open = ::getpriority(PRIO_PROCESS, 0);
        port.Close();
        const int closed = ::getpriority(PRIO_PROCESS, 0);
        if (open != expected->second || closed != c.Base) {
            std::fprintf(stderr, "%s: nice %d open, %d closed\n", name.c_str(), open, closed);
            return 30 + i;
        }
    }
    return 0;
}
} // namespace

// Every class opens; none is applied further than the close can undo.
TEST(ComPortPriority, EveryClassOpensAndTheCloseLeavesTheProcessAsItWas) {
    const TClassCase cases[] = {
        {true,
         0,
         0,
         {{"pcDefault", 0}, {"pcIdle", 19}, {"pcNormal", 0}, {"pcHigh", -10}, {"pcRealTime", -20}}},
        // Without a nice limit an ordinary user can neither raise nor come back.
        {false,
         0,
         0,
         {{"pcDefault", 0}, {"pcIdle", 0}, {"pcNormal", 0}, {"pcHigh", 0}, {"pcRealTime", 0}}},
        {false,
         0,
         5,
         {{"pcDefault", 5}, {"pcIdle", 5}, {"pcNormal", 5}, {"pcHigh", 5}, {"pcRealTime", 5}}},
        // A limit of 25 reaches nice -5: the highest the user may set and leave.
        {false,
         25,
         0,
         {{"pcDefault", 0}, {"pcIdle", 19}, {"pcNormal", 0}, {"pcHigh", -5}, {"pcRealTime", -5}}},
        {false,
         25,
         5,
         {{"pcDefault", 5}, {"pcIdle", 19}, {"pcNormal", 0}, {"pcHigh", -5}, {"pcRealTime", -5}}},
    };
    RunAsEachUser(cases, std::size(cases), OpenAtEveryClass);
}

namespace {
// Every order in which Ports ports open and close, each opening before it
// closes: a port's first mention opens it, its second closes it.
std::vector<std::vector<int>> OpenCloseOrders(int Ports) {
    std::vector<int> events;
    for (int p = 0; p < Ports; ++p)
        events.insert(events.end(), {p, p});
    std::vector<std::vector<int>> orders;
    do
        orders.push_back(events);
    while (std::next_permutation(events.begin(), events.end()));
    return orders;
}

// Every choice of Ports different classes (pcDefault claims nothing).
std::vector<std::vector<TPriorityClass>> DifferentClasses(int Ports) {
    std::vector<std::vector<TPriorityClass>> out;
    const TEnumNames& names = EnumNames(TPriorityClass{});
    std::vector<TPriorityClass> all;
    for (int i = 0; i < names.Count(); ++i)
        if (names.Value(i) != pcDefault) all.push_back(static_cast<TPriorityClass>(names.Value(i)));
    std::vector<bool> chosen(all.size(), false);
    std::fill(chosen.begin(), chosen.begin() + Ports, true);
    do {
        std::vector<TPriorityClass> classes;
        for (size_t i = 0; i < all.size(); ++i)
            if (chosen[i]) classes.push_back(all[i]);
        out.push_back(classes);
    } while (std::prev_permutation(chosen.begin(), chosen.end()));
    return out;
}

// Two and three ports of different classes opened and closed in every order:
// while ports are open the latest one opened sets the nice value; once the
// last closed, the process is at the case's base. 0 when it held, else what
// went wrong.
int OpenAndCloseInEveryOrder(const TClassCase& c) {
    const TEnumNames& names = EnumNames(TPriorityClass{});
    std::vector<std::unique_ptr<TPtyPair>> ptys;
    std::vector<std::unique_ptr<TComPort>> ports;
    for (int p = 0; p < 3; ++p) {
        ptys.push_back(std::make_unique<TPtyPair>());
        ports.push_back(std::make_unique<TComPort>(nullptr));
        ports.back()->SetDeviceName(ptys.back()->SlavePath().c_str());
    }
    int sequences = 0;
    for (int count : {2, 3}) {
        for (const auto& classes : DifferentClasses(count)) {
            for (const auto& order : OpenCloseOrders(count)) {
                for (int p = 0; p < count; ++p)
                    ports[p]->SetPriorityClass(classes[p]);
                std::vector<int> open; // oldest first
                std::string steps;
                for (int p : order) {
                    const bool opens = std::find(open.begin(), open.end(), p) == open.end();
                    steps += (opens ? " open " : " close ") +
                             std::string(names.NameOf(classes[p])->c_str());
                    try {
                        if (opens)
                            ports[p]->Open();
                        else
                            ports[p]->Close();
                    } catch (const EComError& e) {
                        std::fprintf(stderr, "%s: %s\n", steps.c_str(), e.what());
                        return 10;
                    }
                    if (opens)
                        open.push_back(p);
                    else
                        open.erase(std::find(open.begin(), open.end(), p));
                    const int expected =
                        open.empty() ? c.Base
                                     : c.Open.at(names.NameOf(classes[open.back()])->c_str());
                    const int nice = ::getpriority(PRIO_PROCESS, 0);
                    if (nice != expected) {
                        std::fprintf(stderr, "%s: nice %d, not %d\n", steps.c_str(), nice,
                                     expected);
                        return 20;
                    }
                }
                ++sequences;
            }
        }
    }
    // Six pairs in 6 orders, four triples in 90.
    return sequences == 6 * 6 + 4 * 90 ? 0 : 30;
}
} // namespace

TEST(ComPortPriority, AfterTheLastPortClosesTheProcessIsAsBeforeTheFirstOpenedInAnyOrder) {
    const TClassCase cases[] = {
        {true,
         0,
         0,
         {{"pcDefault", 0}, {"pcIdle", 19}, {"pcNormal", 0}, {"pcHigh", -10}, {"pcRealTime", -20}}},
        {false,
         0,
         0,
         {{"pcDefault", 0}, {"pcIdle", 0}, {"pcNormal", 0}, {"pcHigh", 0}, {"pcRealTime", 0}}},
        {false,
         25,
         5,
         {{"pcDefault", 5}, {"pcIdle", 19}, {"pcNormal", 0}, {"pcHigh", -5}, {"pcRealTime", -5}}},
    };
    RunAsEachUser(cases, std::size(cases), OpenAndCloseInEveryOrder);
}

TEST(ComPort, DeviceListHasEveryDeviceAndTheComListOnlyThePorts) {
    TTempFolder root;
    std::filesystem::create_directories(root.File("class/ttyS1").c_str());
    std::ofstream(root.File("class/ttyS1/type").c_str()) << "4\n";
    std::filesystem::create_directories(root.File("dev").c_str());
    for (const char* name : {"ttyS1", "null", "ttyUSB0"})
        std::filesystem::create_symlink("/dev/null", root.File("dev/").str() + name);
    std::filesystem::create_directories(root.File("class/ttyUSB0").c_str());
    SetSerialPortFolders(root.File("class").str(), root.File("dev").str());
    TStringList all, com, registry;
    all.Add("keep");
    TCustomComPort::EnumDevices(&all);
    TCustomComPort::EnumComDevices(&com);
    TCustomComPort::EnumComDevicesFromRegistry(&registry);
    SetSerialPortFolders("", "");
    const AnsiString dev = root.File("dev/");
    EXPECT_EQ(all.Text(), "keep\r\nCOM2\r\n" + dev + "ttyUSB0\r\n" + dev + "null\r\n");
    EXPECT_EQ(com.Text(), "COM2\r\n");
    EXPECT_EQ(registry.Text(), "COM2\r\n" + dev + "ttyUSB0\r\n");
}

TEST(ComPort, DefaultConfigDialogKeepsTheChosenDefaultsBeyondThePort) {
    TTempFolder settings;
    SetSettingsFolderOverride(settings.Folder());
    SetCommConfigDialogHook([](const std::string&, COMMCONFIG& c) {
        c.dcb.BaudRate = 4800;
        return true;
    });
    {
        TComPort port(nullptr);
        port.SetDeviceName("COM7");
        EXPECT_TRUE(port.DefaultConfigDialog());
        EXPECT_EQ(port.BaudRate(), brDefault); // the port's own settings stay
    }
    SetCommConfigDialogHook(nullptr);
    COMMCONFIG stored{};
    DWORD size = sizeof stored;
    ASSERT_TRUE(GetDefaultCommConfigA("COM7", &stored, &size));
    EXPECT_EQ(stored.dcb.BaudRate, 4800u);
    EXPECT_TRUE(FileExists(settings.Folder() + "registry.ini"));
    SetSettingsFolderOverride("");
}
