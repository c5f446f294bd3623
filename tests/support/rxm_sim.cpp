#include "support/rxm_sim.h"

namespace {
char B(int v) {
    return static_cast<char>(v & 0xFF);
}

int Mean(const std::string& bytes) {
    int sum = 0;
    for (unsigned char c : bytes)
        sum += c;
    return bytes.empty() ? 0 : sum / static_cast<int>(bytes.size());
}
} // namespace

TRxmSimulator::TRxmSimulator() {
    Start();
}

TRxmSimulator::~TRxmSimulator() {
    Stop();
}

std::string TRxmSimulator::Frame(const std::string& payload) {
    std::string frame;
    frame += '\x02';
    frame += B(static_cast<int>(payload.size()) + 3);
    frame += payload;
    frame += B(Mean(frame));
    return frame;
}

std::vector<std::string> TRxmSimulator::Commands() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return FCommands;
}

void TRxmSimulator::OnByte(uint8_t b) {
    if (FIn.empty() && b != 0x02) return; // noise between frames
    FIn += static_cast<char>(b);
    if (FIn.size() < 2) return;
    const size_t length = static_cast<unsigned char>(FIn[1]);
    if (length < 3) {
        FIn.clear();
        return;
    }
    if (FIn.size() < length) return;
    const std::string frame = FIn;
    FIn.clear();
    // A frame with a wrong check byte goes unanswered.
    if (Mean(frame.substr(0, length - 1)) != static_cast<unsigned char>(frame[length - 1])) return;
    Handle(frame.substr(2, length - 3));
}

void TRxmSimulator::Answer(const std::string& data) {
    if (!RawReply.empty()) {
        Send("\x06\x04" + RawReply);
    } else if (TakeFault(Garbage)) {
        Send("\x06\x04XYZ");
    } else if (TakeFault(BadCheck)) {
        std::string f = Frame(data);
        f.back() = B(f.back() + 1);
        Send("\x06\x04" + f);
    } else if (TakeFault(ShortFrame)) {
        const std::string f = Frame(data);
        Send("\x06\x04" + f.substr(0, f.size() - 2));
    } else {
        Send("\x06\x04" + Frame(data));
    }
}

void TRxmSimulator::Handle(const std::string& payload) {
    {
        std::lock_guard<std::mutex> guard(FMutex);
        static const char hex[] = "0123456789ABCDEF";
        std::string text;
        for (unsigned char c : payload) {
            text += hex[c >> 4];
            text += hex[c & 15];
        }
        FCommands.push_back(text);
    }
    if (Fault() == Silent) return;
    if (TakeFault(HangUpOnCommand)) {
        HangUpNow();
        return;
    }
    if (TakeFault(WrongAck)) {
        Send("\x15\x04");
        return;
    }
    const int command = payload.empty() ? 0 : static_cast<unsigned char>(payload[0]);
    const int option = payload.size() > 1 ? static_cast<unsigned char>(payload[1]) : 0;
    std::string data(1, B(command));
    switch (command) {
    case 0xC0:
        if (option & 0x10) {
            data += B(TimerSeconds);
        } else {
            data += B(Mantissa);
            data += B(Mantissa >> 8);
            data += B(RangeByte);
            data += B(Temperature);
            data += B(Humidity);
            data += B(Status);
            data += B(TimerSeconds);
        }
        Answer(data);
        break;
    case 0xA1:
        data += B(Serial);
        data += B(Serial >> 8);
        data += B(SerialMonth);
        data += B(SerialYear);
        data += B(0xFF);
        data += B(CalDay);
        data += B(CalMonth);
        data += B(CalYear);
        data += Version.substr(0, 4);
        Answer(data);
        break;
    case 0x88: // a stored file holds a record like a reading
        data += B(Mantissa + option);
        data += B((Mantissa + option) >> 8);
        data += B(RangeByte);
        data += B(Temperature);
        data += B(Humidity);
        data += B(Status);
        data += B(TimerSeconds);
        Answer(data);
        break;
    case 0x91:
        data += std::string("\x00\x00", 2);
        for (size_t i = 0; i < Factors.size(); ++i) {
            if (i == 7) data += "\x08\xFF";
            data += B(Factors[i]);
            data += B(Factors[i] >> 8);
        }
        Answer(data);
        break;
    case 0x90: // calibration factors, words from payload byte 4 on
        for (size_t i = 0, at = 3; i < Factors.size() && at + 1 < payload.size(); ++i, at += 2) {
            if (i == 7) at += 2;
            Factors[i] = static_cast<unsigned char>(payload[at]) +
                         256 * static_cast<unsigned char>(payload[at + 1]);
        }
        Send("\x06\x04");
        break;
    default: // reset, stop and anything else: acknowledge only
        Send("\x06\x04");
        break;
    }
}
