#pragma once
// Stand-in for the resistance meter: reads frames STX, LEN, payload, mean
// check byte; answers ACK EOT, and for the measurement (C0), identity (A1),
// stored file (88: file n holds the reading with n added to the mantissa) and
// calibration read (91) commands a reply frame built the same way. Reset (82), stop (C4) and the
// factor write (90) get ACK EOT only.
#include "support/serial_sim.h"
#include <vector>

class TRxmSimulator : public TSerialSimulator {
public:
    TRxmSimulator();
    ~TRxmSimulator() override;

    // The meter's state, used for its replies.
    int Mantissa = 1234, RangeByte = 0x83, Temperature = 22, Humidity = 45, Status = 0x01,
        TimerSeconds = 7;
    int Serial = 123, SerialMonth = 11, SerialYear = 25, CalDay = 9, CalMonth = 3, CalYear = 24;
    std::string Version = "V1.2";
    std::vector<int> Factors = {200, 201, 202, 203, 204,
                                205, 206, 207, 208}; // k0..k5, TF0, TF2, TF3

    // Sent after ACK EOT instead of the reply frame: replies no meter builds.
    std::string RawReply;

    // Payloads of the well-formed frames received, as hex text ("C004").
    std::vector<std::string> Commands() const;

    // Frame bytes for a payload: STX, LEN, payload, mean check byte.
    static std::string Frame(const std::string& payload);

protected:
    void OnByte(uint8_t b) override;

private:
    void Handle(const std::string& payload);
    void Answer(const std::string& data);

    mutable std::mutex FMutex;
    std::vector<std::string> FCommands;
    std::string FIn;
};
