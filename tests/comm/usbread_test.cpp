#include "comm/usbread.h"
#include "fake_host.h"
#include "platform/rtl/clock.h"
#include "platform/win32/commapi.h"
#include "platform/win32/kernel.h"
#include "support/fake_usb.h"
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {
using FakeUsb::TReply;

TReply R(int counts) {
    return FakeUsb::RawReply(counts);
}
constexpr int NoConverter = static_cast<int>(TUsbResult::NoConverter);
constexpr int TransferFailed = static_cast<int>(TUsbResult::TransferFailed);
constexpr int FullSample = 8; // the byte count of a whole reply
constexpr double NoCounts = -1;

class UsbTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeUsb::Reset();
        Previous = SetCommHost(&Host);
    }
    void TearDown() override { SetCommHost(Previous); }
    TVirtualClockScope Time;
    TFakeCommHost Host;
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
    EXPECT_EQ(Converter.Open(), TUsbResult::NoConverter); // no bus at all
    FakeUsb::AddBus();
    const int second = FakeUsb::AddBus();
    FakeUsb::AddDevice(0, 0x1234, 0x2B5C);
    FakeUsb::AddDevice(0, 0x16C0, 0x0001);
    EXPECT_EQ(Converter.Open(), TUsbResult::NoConverter);
    FakeUsb::AddDevice(second);
    FakeUsb::AddDevice(0);
    EXPECT_EQ(Converter.Open(), TUsbResult::Opened);
    EXPECT_EQ(FakeUsb::Log().LastBus, 0);
    EXPECT_EQ(Converter.Open(), TUsbResult::Opened);
    EXPECT_EQ(FakeUsb::OpenHandles(), 1); // each open closes the shared handle first
}

TEST_F(UsbTest, ConfigurationOrClaimRefusedGivesZero) {
    FakeUsb::AddDevice(FakeUsb::AddBus());
    FakeUsb::SetConfigurationResult(-1);
    EXPECT_EQ(Converter.Open(), TUsbResult::NoConverter);
    FakeUsb::SetConfigurationResult(0);
    FakeUsb::SetClaimResult(-16);
    double mV = 42;
    EXPECT_EQ(Converter.ReadOnce(mV), NoConverter);
    EXPECT_EQ(mV, 42); // untouched
}

TEST_F(UsbTest, ReadOnceSendsTheVendorRequestAndDecodes) {
    FakeUsb::AddDevice(FakeUsb::AddBus());
    FakeUsb::QueueReply({8, {0xFF, 0x03, 9, 9, 9, 9, 9, 9}});
    double mV = 0;
    EXPECT_EQ(Converter.ReadOnce(mV), FullSample);
    EXPECT_DOUBLE_EQ(mV, 2197.404);
    const auto last = FakeUsb::Log().Last;
    EXPECT_EQ(std::vector<int>({last.RequestType, last.Request, last.Value, last.Index, last.Size,
                                last.Timeout}),
              std::vector<int>({0xC0, 5, 0, 0, 8, 1000}));
    // Failed, short and empty transfers leave the value.
    for (const TReply& bad : {TReply{-110, {}}, TReply{1, {0xFF}}, TReply{0, {}}}) {
        FakeUsb::QueueReply(bad);
        mV = 7;
        EXPECT_EQ(Converter.ReadOnce(mV), TransferFailed) << bad.Result;
        EXPECT_EQ(mV, 7);
    }
}

TEST_F(UsbTest, ControlReadWithoutAnOpenDeviceAsksNothing) {
    CAD_wandler access;
    EXPECT_EQ(access.OpenDevice(), TUsbResult::NoConverter); // no bus: the handle is released
    char buffer[8] = {};
    EXPECT_LT(access.ControlRead(5, 0, 0, buffer, 8), 0);
    EXPECT_EQ(FakeUsb::Log().Controls, 0);
}

TEST_F(UsbTest, AveragedReadings) {
    // Scripts in counts of 2.148 mV; D is 200 mV (93 counts).
    const TReply fail{-5, {}};
    const struct {
        const char* name;
        int average, result;
        double counts;
        int reads;                  // each after a 20 ms pause
        std::vector<TReply> script; // then the default count of 10
    } cases[] = {
        {"mean of pair means",
         3,
         FullSample,
         200,
         6,
         {R(100), R(102), R(200), R(200), R(300), R(298)}},
        {"pair within D stands", 1, FullSample, 125, 2, {R(100), R(150)}},
        // Apart by more than D twice; the third try counts whatever it differs.
        {"pair read at most three times",
         1,
         FullSample,
         250,
         6,
         {R(0), R(150), R(0), R(150), R(500), R(0)}},
        {"average count 0 reads one pair", 0, FullSample, 10, 2, {}},
        {"average count -5 reads one pair", -5, FullSample, 10, 2, {}},
        {"failed read is not averaged in", 2, FullSample, 40, 4, {R(50), fail, R(40), R(40)}},
        {"every read fails", 1, TransferFailed, NoCounts, 21, std::vector<TReply>(21, fail)},
        {"missing converter", 1, NoConverter, NoCounts, 21, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUsb::Reset();
        const bool present = c.result != NoConverter;
        if (present) FakeUsb::AddDevice(FakeUsb::AddBus());
        FakeUsb::SetDefaultRaw(10);
        for (const TReply& r : c.script)
            FakeUsb::QueueReply(r);
        Host.Average = c.average;
        const uint32_t start = GetTickCount();
        double mV = 1.5;
        EXPECT_EQ(Converter.ReadAveraged(mV), c.result);
        EXPECT_DOUBLE_EQ(mV, c.counts == NoCounts ? USB::NoValue : c.counts * 2.148);
        EXPECT_EQ(FakeUsb::Log().Controls, present ? c.reads : 0);
        EXPECT_EQ(GetTickCount() - start, 20u * c.reads);
    }
}
