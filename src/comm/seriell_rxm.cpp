#include "comm/commhost.h"
#include "comm/comport.h"
#include "comm/ipc_conv.h"
#include "comm/seriell_link.h"
#include "comm/seriell_rxm.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include <cmath>

namespace {
constexpr int FrameOverhead = 3; // STX, LEN and CHK around the payload
constexpr int RecordBytes = 8;   // a reading or a stored file: command echo up to timer seconds

// Byte k (from 1) of a hex text.
int ByteAt(const AnsiString& hex, int k) {
    return HexToInt(hex.SubString(2 * k - 1, 2));
}

AnsiString TwoDigits(int v) {
    return (v < 10 ? "0" : "") + IntToStr(v);
}
} // namespace

bool C_RXM_850::MeanCheck(const AnsiString& hexText, int& mean) {
    const int length = hexText.Length();
    if (length % 2 != 0) {
        CommHost().MessageBox("Invalid length of data string !!", "Data error", cbOK, ciNone);
        return false;
    }
    int sum = 0;
    for (int i = 1; i <= length; i += 2) {
        int value = 0;
        if (!TryStrToInt("0x" + hexText.SubString(i, 2), value) || value < 0) {
            CommHost().MessageBox("Data stream contains invalid characters !!", "Data error", cbOK,
                                  ciNone);
            return false;
        }
        sum += value;
    }
    mean = length > 0 ? sum / (length / 2) : 0;
    return true;
}

TRxmResult C_RXM_850::Transact(const AnsiString& hexCommand, AnsiString& replyData, bool noReply) {
    const int n = hexCommand.Length() / 2;
    AnsiString frame = "02" + IntToHex(n + FrameOverhead, 2) + hexCommand;
    int mean = 0;
    // A frame without its check byte (or with a length that does not fit the
    // length byte) is never sent.
    if (!MeanCheck(frame, mean) || n + FrameOverhead > 255) return TRxmResult::Failed;
    frame += IntToHex(mean, 2);

    TComPort& port = InstrumentPort();
    for (;;) {
        port.PurgeInput(); // nothing stale may pass for this reply
        for (int i = 1; i <= frame.Length(); i += 2)
            port.WriteChar(static_cast<char>(StrToInt("0x" + frame.SubString(i, 2))));
        Sleep(10);

        const auto next = [&port] {
            Sleep(5);
            return port.ReadByte();
        };
        if (next() != ACK || next() != EOT) return TRxmResult::Failed;
        if (noReply) return TRxmResult::Ok;

        AnsiString received;
        bool wellFormed = false;
        if (const uint8_t stx = next(); stx == STX) {
            const int length = next(); // unsigned: frames up to 255 bytes
            received = IntToHex(stx, 2) + IntToHex(length, 2);
            if (length >= FrameOverhead) {
                for (int i = 0; i < length - 2; ++i)
                    received += IntToHex(next(), 2);
                wellFormed = true;
            }
        }
        if (wellFormed) {
            const AnsiString body = received.SubString(1, received.Length() - 2);
            int check = 0;
            if (MeanCheck(body, check) &&
                (check & 0xFF) == ByteAt(received, received.Length() / 2)) {
                replyData = body.SubString(5, body.Length() - 4);
                return TRxmResult::Ok;
            }
        } else {
            port.PurgeInput(); // the rest of a garbled reply
        }
        replyData = "";
        if (CommHost().MessageBox("Checksum error detect ! Retry ?", "Error", cbRetryCancel,
                                  ciNone) != crRetry)
            return TRxmResult::Failed;
    }
}

TRxmResult C_RXM_850::Request(const AnsiString& hexCommand, RXM850__Data& data) {
    AnsiString reply;
    const TRxmResult result = Transact(hexCommand, reply, false);
    if (result != TRxmResult::Ok) return result;
    const bool timerOnly = (HexToInt(hexCommand.SubString(3, 2)) & 0x10) != 0;
    // A reply too short for its fields is no reading.
    if (reply.Length() < 2 * (timerOnly ? 2 : RecordBytes)) return TRxmResult::Failed;
    if (timerOnly) {
        data.TimerSeconds = ByteAt(reply, 2);
        return TRxmResult::Ok;
    }
    data.Mantissa = ByteAt(reply, 2) + 256 * ByteAt(reply, 3);
    SplitRangeByte(data.Range, data.Exponent, reply.SubString(7, 2));
    data.Temperature = ByteAt(reply, 5);
    data.Humidity = ByteAt(reply, 6);
    data.Status = ByteAt(reply, 7);
    data.TimerSeconds = ByteAt(reply, 8);
    return TRxmResult::Ok;
}

TRxmResult C_RXM_850::ReadIdentity(AnsiString& calDate, AnsiString& version, AnsiString& serial) {
    AnsiString reply;
    const TRxmResult result = Transact("A1", reply, false);
    if (result != TRxmResult::Ok) return result;
    if (reply.Length() < 2 * 13) return TRxmResult::Failed;
    AnsiString number = IntToStr(ByteAt(reply, 2) + 256 * ByteAt(reply, 3));
    while (number.Length() < 4)
        number = "0" + number;
    serial = number + TwoDigits(ByteAt(reply, 4)) + IntToStr(ByteAt(reply, 5));
    version = HEX_ASCII(reply.SubString(19, 8));
    calDate = TwoDigits(ByteAt(reply, 7)) + "." + TwoDigits(ByteAt(reply, 8)) + ".20" +
              TwoDigits(ByteAt(reply, 9));
    return TRxmResult::Ok;
}

TRxmResult C_RXM_850::ReadStoredFile(int fileNo, AnsiString& replyData) {
    if (fileNo < 0 || fileNo > 255) return TRxmResult::Failed; // the number is one byte
    const TRxmResult result = Transact("88" + IntToHex(fileNo, 2), replyData, false);
    if (result != TRxmResult::Ok) return result;
    // The window decodes every field of the record; missing bytes would read
    // as zeros and pass for a stored measurement.
    if (replyData.Length() < 2 * RecordBytes) {
        replyData = "";
        return TRxmResult::Failed;
    }
    return TRxmResult::Ok;
}

TRxmResult C_RXM_850::SendReset() {
    AnsiString unused;
    return Transact("82", unused, true);
}

AnsiString C_RXM_850::WordToHexLE(int value) {
    if (value < 0 || value > 0xFFFF) throw ERangeError(IntToStr(value) + " is not a 16-bit value");
    const int high = value / 256;
    return IntToHex(value - 256 * high, 2) + IntToHex(high, 2);
}

AnsiString C_RXM_850::ByteToBitString(int value) {
    AnsiString bits;
    for (int bit = 0; bit < 8; ++bit)
        bits += (value >> bit) & 1 ? '1' : '0';
    return bits;
}

void C_RXM_850::SplitRangeByte(int& range, int& exponent, const AnsiString& hexByte) {
    const int value = HexToInt(hexByte);
    range = value < 32 ? 0 : value >> 5;
    exponent = value & 31;
}

AnsiString C_RXM_850::FormatResistance(double mantissa, double exponent, AnsiString& unit) {
    double value = mantissa * std::pow(10.0, exponent);
    const AnsiString s = FloatToStr(value);
    if (s.Pos("E") > 0) return "-1";
    double divisor = 1;
    const int length = s.Length();
    if (length >= 1 && length <= 3) {
        unit = "Ohm";
    } else if (length <= 6) {
        divisor = 1e3;
        unit = "kOhm";
    } else if (length <= 9) {
        divisor = 1e6;
        unit = "MOhm";
    } else if (length <= 12) {
        divisor = 1e9;
        unit = "GOhm";
    } else if (length <= 15) {
        divisor = 1e12;
        unit = "TOhm";
    } else {
        value = -1.0;
    }
    const double scaled = value < 0 ? 0 : value / divisor;
    int decimals;
    if (value <= 1e5)
        decimals = 1;
    else if (value <= 1e6)
        decimals = 0;
    else if (value <= 1e8)
        decimals = 1;
    else if (value <= 1e9)
        decimals = 0;
    else if (value <= 1e11)
        decimals = 1;
    else if (value <= 1e12)
        decimals = 0;
    else if (value <= 1e14)
        decimals = 1;
    else
        decimals = 0;
    return FloatToStrF(scaled, ffFixed, 7, decimals);
}
