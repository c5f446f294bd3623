#pragma once
// Stand-in for the personnel grounding tester: a transfer command (0x7A, or
// 0x7B to clear afterwards) gets the 12-byte statistics reply with its check
// byte; the right acknowledge (the complement of the check byte) gets the
// command byte back as confirmation.
#include "support/serial_sim.h"

class TPgtSimulator : public TSerialSimulator {
public:
    TPgtSimulator();
    ~TPgtSimulator() override;

    int FirstByte = 0x01;
    int Measurements = 10, HGBBelow = 2, HGBAbove = 3, ShoeBelow = 1, ShoeAbove = 4;

    // The acknowledge byte received last (-1 when none came).
    int LastAck() const { return FLastAck; }
    void ClearAck() { FLastAck = -1; }

protected:
    void OnByte(uint8_t b) override;

private:
    int FCommand = -1;
    int FSum = 0;
    std::atomic<int> FLastAck{-1};
};
