// The simulated program that users run without instruments, and its parts:
// it leaves nothing behind when it is ended by a signal, starts over a stale
// folder of an earlier run, its simulators sleep while idle and its converter
// frees what it opens.
#include "app_fixture.h"
#include "comm/usbread.h"
#include "support/cpm_sim.h"
#include "support/pgt_sim.h"
#include "support/rxm_sim.h"
#include <chrono>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>

namespace {
double CpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
} // namespace

TEST_F(AppTest, TheSimulatedProgramEndedBySignalLeavesNoFolderAndStartsOverAStaleOne) {
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        char c;
        ::close(go[1]);
        if (::read(go[0], &c, 1) != 1) ::_exit(126);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("TMPDIR", Dir.c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", Dir.c_str(), 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::execl(QM_SIM_PATH, QM_SIM_PATH, nullptr);
        ::_exit(127);
    }
    ::close(go[0]);
    // A folder an earlier run with this process id left behind.
    const fs::path ports = Dir / ("qmreadout_sim_" + std::to_string(pid));
    fs::create_directories(ports / "dev");
    fs::create_directories(ports / "class" / "ttyS0");
    fs::create_symlink("/nonexistent", ports / "dev" / "ttyS0");
    ASSERT_EQ(::write(go[1], "x", 1), 1);
    ::close(go[1]);

    // Up once its first port stands for a pseudo-terminal (however busy the
    // machine, long before a minute).
    bool up = false;
    int status = 0;
    for (int i = 0; i < 6000 && !up; ++i) {
        std::error_code ec;
        up = fs::read_symlink(ports / "dev" / "ttyS0", ec).string().rfind("/dev/pts/", 0) == 0;
        if (!up && ::waitpid(pid, &status, WNOHANG) == pid) break;
        if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!up) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << "the program did not come up over the stale folder";
    }
    ::kill(pid, SIGTERM);
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_FALSE(fs::exists(ports));
}

TEST(SimulatorTest, IdleSimulatorsTakeAlmostNoProcessorTime) {
    TCpmSimulator cpm;
    TRxmSimulator rxm;
    TPgtSimulator pgt;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const double before = CpuMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // Polling every millisecond costs three threads some 10 to 20 ms of it.
    EXPECT_LT(CpuMs() - before, 4.0);
}

TEST_F(AppTest, TheFakeConverterFreesEveryHandleItOpens) {
    PlugConverter();
    USB usb;
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(usb.Open(), TUsbResult::Opened);
        double mv = 0;
        usb.ReadAveraged(mv);
    }
    EXPECT_LE(FakeUsb::OpenHandles(), 1);
}
