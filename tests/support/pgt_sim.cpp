#include "support/pgt_sim.h"

TPgtSimulator::TPgtSimulator() {
    Start();
}

TPgtSimulator::~TPgtSimulator() {
    Stop();
}

void TPgtSimulator::OnByte(uint8_t b) {
    if (Fault() == Silent) return;
    const bool isCommand = b == 0x7A || b == 0x7B;
    // A program that gave up on the last transfer starts a new one.
    if (FCommand >= 0 && isCommand && b != 255 - FSum) FCommand = -1;
    if (FCommand < 0) {
        if (!isCommand) return;
        if (TakeFault(HangUpOnCommand)) {
            HangUpNow();
            return;
        }
        FCommand = b;
        std::string reply(1, static_cast<char>(FirstByte));
        for (int v : {Measurements, HGBBelow, HGBAbove, ShoeBelow, ShoeAbove}) {
            reply += static_cast<char>(v & 0xFF);
            reply += static_cast<char>((v >> 8) & 0xFF);
        }
        int sum = FCommand;
        for (unsigned char c : reply)
            sum += c;
        FSum = sum & 0xFF;
        if (TakeFault(Garbage)) {
            reply = std::string(11, '\x55');
            reply += '\xAA';
        } else {
            reply += static_cast<char>(TakeFault(BadCheck) ? FSum + 1 : FSum);
        }
        if (TakeFault(ShortFrame)) reply.pop_back();
        Send(reply);
        return;
    }
    FLastAck = b;
    const int command = FCommand;
    FCommand = -1;
    if (b != 255 - FSum) return;
    if (TakeFault(WrongAck)) {
        Send(std::string(1, '\x00'));
        return;
    }
    Send(std::string(1, static_cast<char>(command)));
    if (command == 0x7B) Measurements = HGBBelow = HGBAbove = ShoeBelow = ShoeAbove = 0;
}
