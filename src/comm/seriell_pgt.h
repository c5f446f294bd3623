#pragma once
// The personnel grounding tester PGT 300: transfer of its test statistics
// (command byte, 12-byte reply with check byte, acknowledge, confirmation).
#include "platform/rtl/ansistring.h"
#include <cstdint>

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

    // 0 transfer done, 2 cancelled by the operator, -1 check byte wrong,
    // -2 confirmation wrong, -3 no complete answer (time-out or a broken line).
    // data changes only on 0.
    int ReadStatistics(_statistic_data& data, bool clearMemory);
};
