#include "comm/seriell.h"
#include "fake_host.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include "support/rxm_sim.h"
#include <tuple>

namespace {
class RxmTest : public InstrumentTest<TRxmSimulator> {
protected:
    C_RXM_850 Rxm;
};

std::vector<int> Fields(const RXM850__Data& d) {
    return {d.Mantissa, d.Range, d.Exponent, d.Temperature, d.Humidity, d.Status, d.TimerSeconds};
}
} // namespace

TEST_F(RxmTest, RequestFramesAndDecodesEveryByteValue) {
    const struct {
        const char* command;
        const char* frame;
        std::vector<int> meter; // mantissa, range byte, temperature, humidity, status, timer
        TRxmResult result;
        std::vector<int> data; // 77: left as it was
    } cases[] = {
        {"C004",
         "02 05 C0 04 32",
         {1234, 0x9F, 22, 45, 1, 7},
         TRxmResult::Ok,
         {1234, 4, 31, 22, 45, 1, 7}},
        {"C004",
         "02 05 C0 04 32",
         {0x0311, 0x13, 0, 0xFF, 4, 0x12},
         TRxmResult::Ok,
         {0x0311, 0, 0x13, 0, 255, 4, 0x12}},
        // The timer command changes only the remaining seconds.
        {"C014",
         "02 05 C0 14 36",
         {1, 1, 1, 1, 1, 42},
         TRxmResult::Ok,
         {77, 77, 77, 77, 77, 77, 42}},
    };
    for (const auto& c : cases) {
        Sim.Change([&] {
            std::tie(Sim.Mantissa, Sim.RangeByte, Sim.Temperature, Sim.Humidity, Sim.Status,
                     Sim.TimerSeconds) =
                std::tie(c.meter[0], c.meter[1], c.meter[2], c.meter[3], c.meter[4], c.meter[5]);
        });
        Sim.ClearLog();
        RXM850__Data data;
        data.Mantissa = data.Range = data.Exponent = data.Temperature = data.Humidity =
            data.Status = data.TimerSeconds = 77;
        EXPECT_EQ(Rxm.Request(c.command, data), c.result) << c.frame;
        EXPECT_EQ(Hex(Sim.Received()), c.frame);
        EXPECT_EQ(Fields(data), c.data) << c.frame;
    }
}

TEST_F(RxmTest, ReplyFramesNoMeterOfOursBuilds) {
    // 16 is the mean of 02 06 11 22 33, worked out by hand.
    Sim.Change([&] { Sim.RawReply = Bytes("02 06 11 22 33 16"); });
    AnsiString reply;
    EXPECT_EQ(Rxm.Transact("C004", reply, false), TRxmResult::Ok);
    EXPECT_EQ(reply, "112233");
    // LEN is unsigned: 133 bytes, whose mean is 'A'.
    Sim.Change([&] { Sim.RawReply = "\x02\x85" + std::string(131, 'A'); });
    ASSERT_EQ(Rxm.Transact("A1", reply, false), TRxmResult::Ok);
    EXPECT_EQ(reply.Length(), 260);
}

TEST_F(RxmTest, BadCommandTextsAreReportedAndNothingIsSent) {
    AnsiString reply = "keep";
    EXPECT_EQ(Rxm.Transact("C00", reply, false), TRxmResult::Failed);
    EXPECT_EQ(Rxm.Transact("C0G4", reply, false), TRxmResult::Failed);
    ASSERT_EQ(Host.Boxes.size(), 2u);
    EXPECT_EQ(Host.Boxes[0].Text, "Invalid length of data string !!");
    EXPECT_EQ(Host.Boxes[0].Caption, "Data error");
    EXPECT_EQ(Host.Boxes[1].Text, "Data stream contains invalid characters !!");
    EXPECT_EQ(Sim.Received(), "");
    EXPECT_EQ(reply, "keep");
}

TEST_F(RxmTest, CheckByteFailureOffersRetry) {
    AnsiString reply;
    Sim.SetFault(TSerialSimulator::BadCheck, 1);
    Host.Answers = {crRetry};
    EXPECT_EQ(Rxm.Transact("C004", reply, false), TRxmResult::Ok);
    EXPECT_EQ(Sim.Commands().size(), 2u); // the same frame again
    EXPECT_EQ(reply.Length(), 16);
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text, "Checksum error detect ! Retry ?");
    EXPECT_EQ(Host.Boxes[0].Caption, "Error");
    EXPECT_EQ(Host.Boxes[0].Buttons, cbRetryCancel);

    Sim.SetFault(TSerialSimulator::BadCheck, 1);
    Host.Answers = {crCancel};
    reply = "old";
    EXPECT_EQ(Rxm.Transact("C004", reply, false), TRxmResult::Failed);
    EXPECT_EQ(reply, "");
}

TEST_F(RxmTest, MisbehavingMeterGivesFailureOrTheLineError) {
    const struct {
        TSerialSimulator::TFault fault;
        const char* outcome;
    } cases[] = {
        {TSerialSimulator::WrongAck, "Failed"},
        {TSerialSimulator::Garbage, "Failed"}, // after the Retry/Cancel box, cancelled
        {TSerialSimulator::Silent, "Timeout"},
        {TSerialSimulator::ShortFrame, "Timeout"},
        {TSerialSimulator::HangUpOnCommand, "The device is not connected."},
    };
    for (const auto& c : cases) {
        Sim.SetFault(c.fault, 1);
        Host.Answers = {crCancel};
        RXM850__Data data;
        data.Mantissa = 5;
        AnsiString outcome;
        try {
            outcome = Rxm.Request("C004", data) == TRxmResult::Ok ? "Ok" : "Failed";
        } catch (const EComError& e) {
            outcome = e.Message;
        }
        EXPECT_EQ(outcome, c.outcome) << c.fault;
        EXPECT_EQ(data.Mantissa, 5) << c.fault;
        Sim.SetFault(TSerialSimulator::None);
    }
}

TEST_F(RxmTest, StaleBytesArePurgedBeforeTheExchange) {
    Sim.Inject(Bytes("06 04 02 06 11 22 33 16"));
    Sim.Settle();
    RXM850__Data data;
    ASSERT_EQ(Rxm.Request("C004", data), TRxmResult::Ok);
    EXPECT_EQ(data.Mantissa, 1234);
}

TEST_F(RxmTest, IdentityResetAndStoredFile) {
    AnsiString date, version, serial;
    ASSERT_EQ(Rxm.ReadIdentity(date, version, serial), TRxmResult::Ok);
    EXPECT_EQ(serial, "01231125");
    EXPECT_EQ(version, "V1.2");
    EXPECT_EQ(date, "09.03.2024");
    EXPECT_EQ(Rxm.SendReset(), TRxmResult::Ok);
    EXPECT_EQ(Sim.Commands().back(), "82");
    Sim.SetFault(TSerialSimulator::WrongAck, 1);
    serial = "same";
    EXPECT_EQ(Rxm.ReadIdentity(date, version, serial), TRxmResult::Failed);
    EXPECT_EQ(serial, "same");
}

TEST_F(RxmTest, StoredFileIsAWholeRecordOrAFailure) {
    AnsiString file;
    EXPECT_EQ(Rxm.ReadStoredFile(5, file), TRxmResult::Ok);
    EXPECT_EQ(Sim.Commands().back(), "8805");
    EXPECT_EQ(file, "88D70483162D0107"); // mantissa 1234 + 5, range, 22 C, 45 %, status, timer
    // Well framed, but only three data bytes: the rest would decode as zeros.
    Sim.Change([&] { Sim.RawReply = TRxmSimulator::Frame(Bytes("88 05 10")); });
    file = "old";
    EXPECT_EQ(Rxm.ReadStoredFile(5, file), TRxmResult::Failed);
    EXPECT_EQ(file, "");
    RXM850__Data data;
    data.Mantissa = 77;
    EXPECT_EQ(Rxm.Request("C004", data), TRxmResult::Failed); // likewise for a reading
    EXPECT_EQ(data.Mantissa, 77);
    EXPECT_TRUE(Host.Boxes.empty()); // no check-byte complaint: the frames were sound
}

TEST_F(RxmTest, CalibrationFactorsWriteAndReadBack) {
    AnsiString command = "90F000";
    const int factors[9] = {200, 1000, 65535, 0, 4660, 5, 6, 7, 8};
    for (int i = 0; i < 7; ++i)
        command += C_RXM_850::WordToHexLE(factors[i]);
    command += "08FF" + C_RXM_850::WordToHexLE(factors[7]) + C_RXM_850::WordToHexLE(factors[8]);
    AnsiString reply = "untouched";
    ASSERT_EQ(Rxm.Transact(command, reply, true), TRxmResult::Ok);
    EXPECT_EQ(reply, "untouched");
    ASSERT_EQ(Rxm.Transact("91", reply, false), TRxmResult::Ok);
    ASSERT_EQ(reply.Length(), 46);
    int k0 = 0;
    HexWordToInt(reply.SubString(7, 4), k0);
    EXPECT_EQ(k0, 200);
    EXPECT_EQ(reply.SubString(23, 4), "3412"); // k4 = 0x1234
    EXPECT_EQ(reply.SubString(35, 4), "08FF");
}

TEST(RxmConversions, WordsBitsRangesAndResistanceTexts) {
    EXPECT_EQ(C_RXM_850::WordToHexLE(0x1234), "3412");
    EXPECT_EQ(C_RXM_850::WordToHexLE(200), "C800");
    EXPECT_THROW(C_RXM_850::WordToHexLE(65536), ERangeError);
    EXPECT_THROW(C_RXM_850::WordToHexLE(-1), ERangeError);
    EXPECT_EQ(C_RXM_850::ByteToBitString(0x05), "10100000");
    EXPECT_EQ(C_RXM_850::ByteToBitString(0x80), "00000001");
    const struct {
        const char* hex;
        int range, exponent;
    } ranges[] = {
        {"9F", 4, 31},
        {"1F", 0, 31},
        {"20", 1, 0},
        {"E3", 7, 3},
    };
    for (const auto& r : ranges) {
        int range = -1, exponent = -1;
        C_RXM_850::SplitRangeByte(range, exponent, r.hex);
        EXPECT_EQ(range, r.range) << r.hex;
        EXPECT_EQ(exponent, r.exponent) << r.hex;
    }
    const char saved = DecimalSeparator;
    DecimalSeparator = '.';
    const struct {
        double mantissa, exponent;
        const char* text;
        const char* unit;
    } texts[] = {
        {1234, 3, "1.2", "MOhm"}, {999, 0, "999.0", "Ohm"},  {5000, 14, "-1", "old"},
        {1234, 0, "1.2", "kOhm"}, {5000, 1, "50.0", "kOhm"}, {2, 9, "2.0", "GOhm"},
        {300, 10, "3.0", "TOhm"}, {12, 4, "120", "kOhm"},    {0, 0, "0.0", "Ohm"},
        {1000, 3, "1", "MOhm"},
    };
    for (const auto& t : texts) {
        AnsiString unit = "old";
        EXPECT_EQ(C_RXM_850::FormatResistance(t.mantissa, t.exponent, unit), t.text)
            << t.mantissa << "e" << t.exponent;
        EXPECT_EQ(unit, t.unit) << t.mantissa << "e" << t.exponent;
    }
    DecimalSeparator = saved;
}
