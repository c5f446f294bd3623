#include "comm/commhost.h"
#include "comm/usbread.h"
#include "platform/rtl/clock.h"
#include "platform/win32/kernel.h"
#include "support/fake_usb.h"
#include "platform/win32/commapi.h"
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {
class TUsbHost : public TCommHost {
public:
    int Average = 1, Delta = 200;
    int Average_U() override { return Average; }
    int Delta_U() override { return Delta; }
};

int Raw(double mV) { // inverse of the decoding, for readable scripts
    const int counts = static_cast<int>(mV / 2.148 + (mV < 0 ? -0.5 : 0.5));
    return counts >= 0 ? counts : 1024 - counts;
}

class UsbTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeUsb::Reset();
        Previous = SetCommHost(&Host);
    }
    void TearDown() override { SetCommHost(Previous); }
    TVirtualClockScope Time;
    TUsbHost Host;
    TCommHost* Previous = nullptr;
    USB Converter;
};
} // namespace

TEST(UsbDecode, SignAndMagnitudeCounts) {
    const struct {
        uint8_t lo, hi;
        double mV;
    } cases[] = {
        {0x00, 0x04, 0.0},           {0xFF, 0x03, 1023 * 2.148},   {0x01, 0x04, -2.148},
        {0xFF, 0x07, -1023 * 2.148}, {0xFF, 0xFF, -64511 * 2.148}, {0x00, 0x00, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(USB::DecodeMillivolts(c.lo, c.hi), c.mV) << int(c.lo) << " " << int(c.hi);
}

TEST_F(UsbTest, OpenFindsTheConverterOnTheFirstBusThatHasOne) {
    EXPECT_EQ(Converter.Open(), 0); // no bus at all
    FakeUsb::AddBus();
    const int second = FakeUsb::AddBus();
    FakeUsb::AddDevice(0, 0x1234, 0x2B5C);
    FakeUsb::AddDevice(0, 0x16C0, 0x0001);
    EXPECT_EQ(Converter.Open(), 0);
    FakeUsb::AddConverter(second);
    FakeUsb::AddConverter(0);
    EXPECT_EQ(Converter.Open(), 1);
    EXPECT_EQ(FakeUsb::LastOpenedBus(), 0);
    EXPECT_EQ(FakeUsb::OpenHandles(), 1); // each open closes the shared handle first
    EXPECT_EQ(Converter.Open(), 1);
    EXPECT_EQ(FakeUsb::OpenHandles(), 1);
}

TEST_F(UsbTest, ConfigurationOrClaimRefusedGivesZero) {
    FakeUsb::AddConverter(FakeUsb::AddBus());
    FakeUsb::SetConfigurationResult(-1);
    EXPECT_EQ(Converter.Open(), 0);
    FakeUsb::SetConfigurationResult(0);
    FakeUsb::SetClaimResult(-16);
    EXPECT_EQ(Converter.Open(), 0);
    double mV = 42;
    EXPECT_EQ(Converter.ReadOnce(mV), 0);
    EXPECT_EQ(mV, 42); // untouched
}

TEST_F(UsbTest, ReadOnceSendsTheVendorRequestAndDecodes) {
    FakeUsb::AddConverter(FakeUsb::AddBus());
    FakeUsb::QueueReply(8, {0xFF, 0x03, 9, 9, 9, 9, 9, 9});
    double mV = 0;
    EXPECT_EQ(Converter.ReadOnce(mV), 8);
    EXPECT_DOUBLE_EQ(mV, 2197.404);
    const auto last = FakeUsb::LastControl();
    EXPECT_EQ(last.RequestType, 0xC0);
    EXPECT_EQ(last.Request, 5);
    EXPECT_EQ(last.Value, 0);
    EXPECT_EQ(last.Index, 0);
    EXPECT_EQ(last.Size, 8);
    EXPECT_EQ(last.Timeout, 1000);
}

TEST_F(UsbTest, ControlReadWithoutAnOpenDeviceAsksNothing) {
    CAD_wandler access;
    EXPECT_EQ(access.OpenDevice(), 0); // no bus: the shared handle is released
    char buffer[8] = {};
    EXPECT_LT(access.ControlRead(5, 0, 0, buffer, 8), 0);
    EXPECT_EQ(FakeUsb::ControlCount(), 0);
}

TEST_F(UsbTest, FailedOrShortTransferIsMinusTwoAndLeavesTheValue) {
    FakeUsb::AddConverter(FakeUsb::AddBus());
    FakeUsb::QueueReply(-110, {});
    FakeUsb::QueueReply(1, {0xFF});
    FakeUsb::QueueReply(0, {});
    for (int i = 0; i < 3; ++i) {
        double mV = 7;
        EXPECT_EQ(Converter.ReadOnce(mV), -2);
        EXPECT_EQ(mV, 7);
    }
}

TEST_F(UsbTest, AveragedReadingIsTheMeanOfPairMeans) {
    FakeUsb::AddConverter(FakeUsb::AddBus());
    Host.Average = 3;
    for (int raw : {100, 102, 200, 200, 300, 298})
        FakeUsb::QueueRaw(raw);
    const uint32_t start = GetTickCount();
    double mV = 0;
    EXPECT_EQ(Converter.ReadAveraged(mV), 8);
    EXPECT_DOUBLE_EQ(mV, (101 + 200 + 299) / 3.0 * 2.148);
    EXPECT_EQ(GetTickCount() - start, 6 * 20u); // one 20 ms pause before each read
    EXPECT_EQ(FakeUsb::ControlCount(), 6);
}

TEST_F(UsbTest, PairThatDisagreesIsReadAgainAtMostThreeTimes) {
    FakeUsb::AddConverter(FakeUsb::AddBus());
    Host.Delta = 200;
    // 300 mV apart twice, then the third try counts whatever it differs.
    for (double v : {0.0, 300.0, 0.0, 300.0, 1000.0, 0.0})
        FakeUsb::QueueRaw(Raw(v));
    double mV = 0;
    Converter.ReadAveraged(mV);
    EXPECT_EQ(FakeUsb::ControlCount(), 6);
    EXPECT_NEAR(mV, (Raw(1000.0) * 2.148) / 2, 1e-9);

    // Within D the first pair stands.
    FakeUsb::Reset();
    FakeUsb::AddConverter(FakeUsb::AddBus());
    for (double v : {100.0, 250.0})
        FakeUsb::QueueRaw(Raw(v));
    Converter.ReadAveraged(mV);
    EXPECT_EQ(FakeUsb::ControlCount(), 2);
}

TEST_F(UsbTest, AverageCountBelowOneReadsOnePair) {
    FakeUsb::AddConverter(FakeUsb::AddBus());
    for (int n : {0, -5}) {
        Host.Average = n;
        FakeUsb::SetDefaultRaw(10);
        double mV = 0;
        EXPECT_EQ(Converter.ReadAveraged(mV), 8);
        EXPECT_DOUBLE_EQ(mV, 10 * 2.148);
    }
}

TEST_F(UsbTest, FailedReadsAreNotAveragedIn) {
    FakeUsb::AddConverter(FakeUsb::AddBus());
    Host.Average = 2;
    FakeUsb::QueueRaw(50);
    FakeUsb::QueueReply(-5, {}); // second read of pair 1 fails
    FakeUsb::QueueRaw(40);
    FakeUsb::QueueRaw(40);
    double mV = 0;
    EXPECT_EQ(Converter.ReadAveraged(mV), 8);
    EXPECT_DOUBLE_EQ(mV, 40 * 2.148);
}

TEST_F(UsbTest, MissingConverterGivesTheNoValueMark) {
    double mV = 1.5;
    EXPECT_EQ(Converter.ReadAveraged(mV), 0);
    EXPECT_EQ(mV, USB::NoValue);
    EXPECT_EQ(FakeUsb::OpenCount(), 0);

    FakeUsb::AddConverter(FakeUsb::AddBus());
    FakeUsb::SetDefaultRaw(0);
    for (int i = 0; i < 21 * 2; ++i)
        FakeUsb::QueueReply(-19, {});
    EXPECT_EQ(Converter.ReadAveraged(mV), -2);
    EXPECT_EQ(mV, USB::NoValue);
    EXPECT_EQ(FakeUsb::ControlCount(), 21); // 21 passes, each ending at its first read
}

TEST(CommHostDefaults, SilentHostWithTheSetupFileBesideTheProgram) {
    TCommHost host;
    SetProgramFolderOverride("/opt/qm/");
    EXPECT_EQ(host.SetupIniPath(), "/opt/qm/SETUP.INI");
    SetProgramFolderOverride("");
    EXPECT_EQ(host.MessageBox("x", "y", cbOK, ciNone), crCancel);
    AnsiString name = "unchanged";
    EXPECT_FALSE(host.ExecuteSaveDialog("/", name));
    EXPECT_EQ(host.ComPort(), nullptr);
    EXPECT_EQ(host.Average_U(), 1);
    EXPECT_EQ(host.Delta_U(), 200);
}

TEST(CommHostDefaults, RestartedTimerIgnoresTicksQueuedBeforeTheRestart) {
    TCommHost host;
    const auto timer = host.CreateTimer();
    int ticks = 0;
    timer->OnTimer = [&] { ++ticks; };
    timer->SetInterval(2);
    timer->SetEnabled(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // ticks pile up unhandled
    timer->SetInterval(1000);
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    CheckSynchronize();
    EXPECT_EQ(ticks, 0);
    timer->SetEnabled(false);
}
