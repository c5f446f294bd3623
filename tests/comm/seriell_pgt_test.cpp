#include "comm/seriell.h"
#include "fake_host.h"
#include "support/pgt_sim.h"

namespace {
class PgtTest : public InstrumentTest<TPgtSimulator> {
protected:
    C_PGT300 Pgt;
    C_PGT300::_statistic_data Data;
};
} // namespace

TEST_F(PgtTest, TransferChecksAcknowledgesAndComputesPercentages) {
    // Reply 01 0A 00 02 00 03 00 01 00 04 00, check byte 0x8F with 0x7A.
    EXPECT_EQ(Pgt.ReadStatistics(Data, false), 0);
    EXPECT_EQ(Hex(Sim.Received()), "7A 70");
    EXPECT_EQ(Hex(Sim.Answered()), "01 0A 00 02 00 03 00 01 00 04 00 8F 7A");
    EXPECT_EQ(Data.Measurements, 10u);
    EXPECT_EQ(Data.HGBBelow, 2u);
    EXPECT_EQ(Data.HGBAbove, 3u);
    EXPECT_EQ(Data.ShoeBelow, 1u);
    EXPECT_EQ(Data.ShoeAbove, 4u);
    EXPECT_DOUBLE_EQ(Data.HGBBelowPercent, 20);
    EXPECT_DOUBLE_EQ(Data.HGBAbovePercent, 30);
    EXPECT_DOUBLE_EQ(Data.ShoeBelowPercent, 10);
    EXPECT_DOUBLE_EQ(Data.ShoeAbovePercent, 40);
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text, "Please, Press the plate and wait until the LED light up !");
    EXPECT_EQ(Host.Boxes[0].Caption, "Instruction");
    EXPECT_EQ(Host.Boxes[0].Buttons, cbOKCancel);
    EXPECT_EQ(Host.Boxes[0].Icon, ciExclamation);
}

TEST_F(PgtTest, CheckSumWrapsAndLargeCountsDecode) {
    Sim.FirstByte = 0xFF;
    Sim.Measurements = 0x1234;
    Sim.HGBBelow = 0x00FF;
    EXPECT_EQ(Pgt.ReadStatistics(Data, false), 0);
    EXPECT_EQ(Data.Measurements, 0x1234u);
    EXPECT_EQ(Data.HGBBelow, 255u);
}

TEST_F(PgtTest, NoMeasurementsGiveZeroPercentages) {
    Sim.Measurements = 0;
    EXPECT_EQ(Pgt.ReadStatistics(Data, false), 0);
    EXPECT_EQ(Data.HGBAbove, 3u);
    EXPECT_EQ(Data.HGBAbovePercent, 0.0);
    EXPECT_EQ(Data.ShoeAbovePercent, 0.0);
}

TEST_F(PgtTest, ClearCommandEmptiesTheTestersMemory) {
    EXPECT_EQ(Pgt.ReadStatistics(Data, true), 0);
    EXPECT_EQ(Hex(Sim.Received()).substr(0, 2), "7B");
    EXPECT_EQ(Data.Measurements, 10u);
    EXPECT_EQ(Pgt.ReadStatistics(Data, false), 0);
    EXPECT_EQ(Data.Measurements, 0u);
}

TEST_F(PgtTest, CancelSendsNothing) {
    Host.Answers = {crCancel};
    EXPECT_EQ(Pgt.ReadStatistics(Data, false), 2);
    EXPECT_EQ(Sim.Received(), "");
}

TEST_F(PgtTest, EveryMisbehaviourIsAFailureAndLeavesTheRecord) {
    const struct {
        TSerialSimulator::TFault fault;
        int result;
        bool acknowledged;
    } cases[] = {
        {TSerialSimulator::BadCheck, -1, false},        {TSerialSimulator::Garbage, -1, false},
        {TSerialSimulator::WrongAck, -2, true}, // wrong confirmation byte
        {TSerialSimulator::Silent, -3, false},          {TSerialSimulator::ShortFrame, -3, false},
        {TSerialSimulator::HangUpOnCommand, -3, false},
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
