#include "support/cpm_sim.h"
#include <cstdio>
#include <cstdlib>

namespace {
std::string HexByte(int v) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
    return buf;
}
const std::string Stx(1, '\x02'), Etx(1, '\x03');
} // namespace

TCpmSimulator::TCpmSimulator() {
    Display = std::string("V-METER     ") + '\0' + "1kV" + "       -0,512 kV";
    Start();
}

TCpmSimulator::~TCpmSimulator() {
    Stop();
}

std::string TCpmSimulator::WordLE(int value) {
    return HexByte(value & 0xFF) + HexByte((value >> 8) & 0xFF);
}

std::string TCpmSimulator::SampleFrame(int state, int volts) {
    // Character 2 is only ever looked at for the abort mark.
    return Stx + "0" + HexByte(state) + WordLE(volts) + Etx;
}

std::string TCpmSimulator::StoredFile(int number, int mode, int start, int stop, int offsetTime,
                                      int pos10, int neg10, int offsetVolts) {
    // The sign of the offset voltage rides on character 27.
    std::string offset = WordLE(offsetVolts < 0 ? -offsetVolts : offsetVolts);
    if (offsetVolts < 0) offset[2] = '8';
    return HexByte(number) + HexByte(mode) + WordLE(start) + WordLE(stop) + WordLE(offsetTime) +
           WordLE(pos10) + WordLE(neg10) + offset;
}

std::string TCpmSimulator::ResultFrame(int start, int stop, int offsetTime, int pos10, int neg10,
                                       int offsetVolts) {
    return std::string(1, '\x12') + Stx +
           StoredFile(0, 0x10, start, stop, offsetTime, pos10, neg10, offsetVolts) + Etx;
}

std::string TCpmSimulator::AbortFrame() {
    return Stx + '\x13' + Etx;
}

std::vector<std::string> TCpmSimulator::Commands() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return FCommands;
}

std::string TCpmSimulator::SetupPayload() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return FPayload;
}

int TCpmSimulator::Enquiries() const {
    std::lock_guard<std::mutex> guard(FMutex);
    return FEnquiries;
}

void TCpmSimulator::Reply(const std::string& text) {
    if (ReplyDelayMs > 0) {
        FLate.push_back({FNowMs + ReplyDelayMs, Stx + text + Etx});
        return;
    }
    if (TakeFault(Garbage)) {
        Send(std::string(600, 'X')); // no frame end in sight
    } else if (TakeFault(ShortFrame)) {
        Send(Stx + text.substr(0, text.size() / 2) + Etx);
    } else {
        Send(Stx + text + Etx);
    }
}

void TCpmSimulator::OnByte(uint8_t b) {
    if (Fault() == Silent) return;
    if (FStreaming && b == 0x07) {
        FStreaming = false;
        Send(AbortFrame());
        return;
    }
    if (FInFrame) {
        if (b == 0x03) {
            FInFrame = false;
            Frame(FFrame);
        } else {
            FFrame += static_cast<char>(b);
        }
        return;
    }
    if (b == 0x05) {
        int number;
        {
            std::lock_guard<std::mutex> guard(FMutex);
            number = ++FEnquiries;
        }
        const bool refused = RefuseFromEnquiry > 0 && number >= RefuseFromEnquiry;
        Send(TakeFault(WrongAck) || refused ? std::string("\x15") : std::string("\x06\x05"));
    } else if (b == 0x02) {
        FInFrame = true;
        FFrame.clear();
    }
}

void TCpmSimulator::Frame(const std::string& text) {
    if (TakeFault(HangUpOnCommand)) {
        HangUpNow();
        return;
    }
    if (FExpect == SetupData) {
        FExpect = Command;
        const auto waited = std::chrono::steady_clock::now() - FSetupSince +
                            std::chrono::milliseconds(FSetupVirtualMs);
        if (waited <= std::chrono::milliseconds(SetupDataTimeoutMs)) {
            std::lock_guard<std::mutex> guard(FMutex);
            FPayload = text;
            return;
        }
        // Too late to be the set-up: a command of its own.
    }
    if (FExpect == FileNumber) {
        FExpect = Command;
        const int n = std::atoi(text.c_str());
        const auto it = StoredFiles.find(n);
        Reply(it != StoredFiles.end() ? it->second : "00FF" + std::string(24, '0'));
        return;
    }
    {
        std::lock_guard<std::mutex> guard(FMutex);
        FCommands.push_back(text);
    }
    if (text == "r0")
        Reply(Identity);
    else if (text == "r1")
        Reply(SetupFields);
    else if (text == "r2")
        Reply(Display);
    else if (text == "w1") {
        FExpect = SetupData;
        FSetupSince = std::chrono::steady_clock::now();
        FSetupVirtualMs = 0;
    } else if (text == "r3")
        FExpect = FileNumber;
    else if (text == "w2") {
        Reply("w2");
        FNextFrame = 0;
        FStreaming = true;
    }
}

void TCpmSimulator::OnTimePassed(uint32_t ms) {
    if (FExpect == SetupData) FSetupVirtualMs += ms;
    // A reply that falls due within this pause arrives during it.
    FNowMs += ms;
    while (!FLate.empty() && FLate.front().first <= FNowMs) {
        Send(FLate.front().second);
        FLate.erase(FLate.begin());
    }
}

void TCpmSimulator::OnIdle() {
    // One frame at a time, each once the port took the one before.
    if (!FStreaming || PendingForPort() > 0) return;
    if (FNextFrame >= DecayFrames.size()) {
        FStreaming = false;
        return;
    }
    Send(DecayFrames[FNextFrame++]);
}
