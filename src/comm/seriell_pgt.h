#pragma once
// The personnel grounding tester PGT 300: transfer of its test statistics
// (command byte, 12-byte reply with check byte, acknowledge, confirmation).
#include "platform/rtl/ansistring.h"
#include <cstdint>

// What the statistics transfer returns.
enum class TPgtResult : int {
    Done = 0,
    Cancelled = 2,          // by the operator, before anything was sent
    CheckByteWrong = -1,    // nothing acknowledged
    ConfirmationWrong = -2, // the acknowledge went out
    NoAnswer = -3,          // no complete answer: a time-out or a broken line
};

class C_PGT300 {
public:
    struct _statistic_data {
        uint32_t Measurements = 0;
        uint32_t HGBBelow = 0, HGBAbove = 0, ShoeBelow = 0, ShoeAbove = 0;
        double HGBBelowPercent = 0, HGBAbovePercent = 0, ShoeBelowPercent = 0, ShoeAbovePercent = 0;
        AnsiString Comment;
    };
    _statistic_data Statistics;

    static constexpr uint8_t TransferCommand = 0x7A;
    static constexpr uint8_t TransferAndClearCommand = 0x7B;

    // data changes only when Done.
    TPgtResult ReadStatistics(_statistic_data& data, bool clearMemory);
};
