#include "comm/seriell.h"
#include "fake_host.h"
#include "support/pgt_sim.h"
#include <tuple>

namespace {
class PgtTest : public InstrumentTest<TPgtSimulator> {
protected:
    C_PGT300 Pgt;
    C_PGT300::_statistic_data Data;
};
} // namespace

TEST_F(PgtTest, TransferIsCheckedAcknowledgedAndConfirmed) {
    // Reply 01 0A 00 02 00 03 00 01 00 04 00, check byte 0x8F with 0x7A.
    EXPECT_EQ(Pgt.ReadStatistics(Data, false), TPgtResult::Done);
    EXPECT_EQ(Hex(Sim.Received()), "7A 70");
    EXPECT_EQ(Hex(Sim.Answered()), "01 0A 00 02 00 03 00 01 00 04 00 8F 7A");
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text, "Please, Press the plate and wait until the LED light up !");
    EXPECT_EQ(Host.Boxes[0].Caption, "Instruction");
    EXPECT_EQ(Host.Boxes[0].Buttons, cbOKCancel);
    EXPECT_EQ(Host.Boxes[0].Icon, ciExclamation);
}

TEST_F(PgtTest, CountsAndPercentages) {
    const struct {
        int first; // the reply's first byte: only the check sum sees it
        std::vector<int> counts, percents;
    } cases[] = {
        {0x01, {10, 2, 3, 1, 4}, {20, 30, 10, 40}},
        {0xFF, {0x1234, 0xFF, 0x100, 0, 0x1234}, {5, 5, 0, 100}}, // check sum wraps
        {0x01, {0, 2, 3, 1, 4}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        Sim.Change([&] {
            Sim.FirstByte = c.first;
            std::tie(Sim.Measurements, Sim.HGBBelow, Sim.HGBAbove, Sim.ShoeBelow, Sim.ShoeAbove) =
                std::tie(c.counts[0], c.counts[1], c.counts[2], c.counts[3], c.counts[4]);
        });
        ASSERT_EQ(Pgt.ReadStatistics(Data, false), TPgtResult::Done) << c.counts[0];
        EXPECT_EQ(std::vector<int>({int(Data.Measurements), int(Data.HGBBelow), int(Data.HGBAbove),
                                    int(Data.ShoeBelow), int(Data.ShoeAbove)}),
                  c.counts);
        EXPECT_EQ(
            std::vector<int>({int(Data.HGBBelowPercent + 0.5), int(Data.HGBAbovePercent + 0.5),
                              int(Data.ShoeBelowPercent + 0.5), int(Data.ShoeAbovePercent + 0.5)}),
            c.percents);
    }
}

TEST_F(PgtTest, ClearCommandEmptiesTheTestersMemory) {
    EXPECT_EQ(Pgt.ReadStatistics(Data, true), TPgtResult::Done);
    EXPECT_EQ(Hex(Sim.Received()).substr(0, 2), "7B");
    EXPECT_EQ(Data.Measurements, 10u);
    EXPECT_EQ(Pgt.ReadStatistics(Data, false), TPgtResult::Done);
    EXPECT_EQ(Data.Measurements, 0u);
}

TEST_F(PgtTest, CancelSendsNothing) {
    Host.Answers = {crCancel};
    EXPECT_EQ(Pgt.ReadStatistics(Data, false), TPgtResult::Cancelled);
    EXPECT_EQ(Sim.Received(), "");
}

TEST_F(PgtTest, EveryMisbehaviourIsAFailureAndLeavesTheRecord) {
    const struct {
        TSerialSimulator::TFault fault;
        TPgtResult result;
        bool acknowledged;
    } cases[] = {
        {TSerialSimulator::BadCheck, TPgtResult::CheckByteWrong, false},
        {TSerialSimulator::Garbage, TPgtResult::CheckByteWrong, false},
        {TSerialSimulator::WrongAck, TPgtResult::ConfirmationWrong, true},
        {TSerialSimulator::Silent, TPgtResult::NoAnswer, false},
        {TSerialSimulator::ShortFrame, TPgtResult::NoAnswer, false},
        {TSerialSimulator::HangUpOnCommand, TPgtResult::NoAnswer, false},
    };
    for (const auto& c : cases) {
        Data = {};
        Data.Measurements = 99;
        Sim.SetFault(c.fault, 1);
        EXPECT_EQ(Pgt.ReadStatistics(Data, false), c.result) << c.fault;
        EXPECT_EQ(Data.Measurements, 99u) << c.fault;
        EXPECT_EQ(Sim.LastAck() >= 0, c.acknowledged) << c.fault;
        Sim.SetFault(TSerialSimulator::None);
        Sim.ClearAck();
    }
}
