#include "fake_host.h"
#include "platform/rtl/clock.h"
#include "platform/win32/kernel.h"

TEST(CommHostDefaults, SilentHostWithTheSetupFileBesideTheProgram) {
    TCommHost host;
    SetProgramFolderOverride("/opt/qm/");
    EXPECT_EQ(host.SetupIniPath(), "/opt/qm/SETUP.INI");
    SetProgramFolderOverride("");
    EXPECT_EQ(host.MessageBox("x", "y", cbOK, ciNone), crCancel);
    AnsiString name = "unchanged";
    EXPECT_FALSE(host.ExecuteSaveDialog("/", name));
}

TEST(CommHostDefaults, TimerTicksOnTheMainThreadByThePlatformClockWithoutAThreadOfItsOwn) {
    TVirtualClockScope time;
    TCommHost host;
    auto timer = host.CreateTimer();
    int ticks = 0;
    timer->OnTimer = [&] { ++ticks; };
    timer->SetInterval(100);
    const int threads = ThreadCount();
    timer->SetEnabled(true);
    EXPECT_EQ(SettledThreadCount(threads), threads);
    const auto after = [&](uint32_t ms) {
        time.Clock.Advance(ms);
        CheckSynchronize();
        return ticks;
    };
    EXPECT_EQ(after(99), 0);
    EXPECT_EQ(after(1), 1);
    EXPECT_EQ(after(100), 2);
    // A restart starts a new interval; the tick due in the run before is gone.
    time.Clock.Advance(60);
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    EXPECT_EQ(after(60), 2);
    EXPECT_EQ(after(40), 3);
    // A handler may stop its timer; a freed timer leaves nothing behind.
    timer->OnTimer = [&] {
        ++ticks;
        timer->SetEnabled(false);
    };
    EXPECT_EQ(after(100), 4);
    EXPECT_EQ(after(500), 4);
    timer->SetEnabled(true);
    timer.reset();
    time.Clock.Advance(100);
    EXPECT_FALSE(CheckSynchronize());
}
