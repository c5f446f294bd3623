#include "comm/seriell_link.h"
#include "comm/commhost.h"
#include "comm/comport.h"

const char* const InvalidReplyText = "Invalid reply from the instrument";

int HexToInt(const AnsiString& hex) {
    static const char Digits[] = "0123456789ABCDEF";
    uint32_t value = 0, weight = 1;
    for (int i = hex.Length(); i >= 1; --i) {
        for (uint32_t d = 0; d < 16; ++d)
            if (Digits[d] == hex[i]) {
                value += d * weight;
                break;
            }
        weight *= 16;
    }
    return static_cast<int>(value);
}

void HexWordToInt(const AnsiString& fourHex, int& value) {
    value = HexToInt(fourHex.SubString(3, 2) + fourHex.SubString(1, 2));
    if (value > 0x7FFF) value -= 0x10000;
}

TComPort& InstrumentPort() {
    TComPort* port = CommHost().ComPort();
    if (!port) throw EComError(0, "Can't perform this operation on a closed port");
    return *port;
}

void RaiseInvalidReply() {
    throw EComError(0, InvalidReplyText);
}

AnsiString ReadFrame(TComPort& port, char terminator) {
    AnsiString frame;
    while (frame.Length() < MaxFrameLength) {
        frame += port.ReadChar();
        if (frame[frame.Length()] == terminator) return frame;
    }
    RaiseInvalidReply();
}
