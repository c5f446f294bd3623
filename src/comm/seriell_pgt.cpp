#include "comm/commhost.h"
#include "comm/comport.h"
#include "comm/seriell_link.h"
#include "comm/seriell_pgt.h"
#include "platform/rtl/clock.h"

namespace {
constexpr int ReplyLength = 12;
} // namespace

TPgtResult C_PGT300::ReadStatistics(_statistic_data& data, bool clearMemory) {
    TCommHost& host = CommHost();
    if (host.MessageBox("Please, Press the plate and wait until the LED light up !", "Instruction",
                        cbOKCancel, ciExclamation) != crOK)
        return TPgtResult::Cancelled;
    try {
        TComPort& port = InstrumentPort();
        const uint8_t command = clearMemory ? TransferAndClearCommand : TransferCommand;
        port.PurgeInput();
        port.WriteChar(static_cast<char>(command));
        Sleep(100);
        uint8_t reply[ReplyLength];
        for (uint8_t& b : reply) {
            Sleep(10);
            b = port.ReadByte();
        }
        uint8_t sum = command;
        for (int i = 0; i < ReplyLength - 1; ++i)
            sum = static_cast<uint8_t>(sum + reply[i]);
        if (reply[ReplyLength - 1] != sum) return TPgtResult::CheckByteWrong;
        port.WriteByte(static_cast<uint8_t>(255 - sum));
        Sleep(10);
        if (port.ReadByte() != command) return TPgtResult::ConfirmationWrong;

        const auto word = [&reply](int first) {
            return static_cast<uint32_t>(reply[first - 1] + 256 * reply[first]);
        };
        _statistic_data read = data;
        read.Measurements = word(2);
        read.HGBBelow = word(4);
        read.HGBAbove = word(6);
        read.ShoeBelow = word(8);
        read.ShoeAbove = word(10);
        const auto percent = [&read](uint32_t counter) {
            return read.Measurements ? (1.0 / read.Measurements) * counter * 100.0 : 0.0;
        };
        read.HGBBelowPercent = percent(read.HGBBelow);
        read.HGBAbovePercent = percent(read.HGBAbove);
        read.ShoeBelowPercent = percent(read.ShoeBelow);
        read.ShoeAbovePercent = percent(read.ShoeAbove);
        data = read;
        return TPgtResult::Done;
    } catch (const Exception&) {
        // A silent or broken line is a failed transfer, never "done".
        return TPgtResult::NoAnswer;
    }
}
