#pragma once
// The resistance meter RXM 850: byte frames STX, LEN, payload, mean check byte,
// commands written as hex text (two digits per byte), and the decoding of its
// measurement, identity and stored-file replies.
#include "platform/rtl/ansistring.h"

// One decoded measurement reply.
struct RXM850__Data {
    AnsiString Text1, Text2, Text3;
    int Mantissa = 0;     // unsigned 16-bit raw reading
    int Range = 0;        // upper three bits of the range byte
    int Exponent = 0;     // lower five bits: power of ten of the reading
    int Temperature = 0;  // raw byte, degrees Celsius
    int Humidity = 0;     // raw byte, % r.F.
    int Status = 0;       // bits: AVRG, timer active, timer finished, FNS, show RX,
                          // timer on, underflow, overflow
    int TimerSeconds = 0; // remaining timer seconds
};

// Calibration parameters, filled and sent by the calibration window.
struct RXM850_Para_Struct {
    int k0 = 0, k1 = 0, k2 = 0, k3 = 0, k4 = 0, k5 = 0, k_TF0 = 0, k_TF2 = 0, k_TF3 = 0;
    AnsiString SerialNumber, SoftwareVersion, CalibrationDate;
};

// What the meter's exchanges return.
enum class TRxmResult : int {
    Ok = 0,
    // No acknowledge, a reply too short for its fields, or Cancel after a
    // check-byte error.
    Failed = 1,
};

class C_RXM_850 {
public:
    RXM850__Data Data;

    // replyData gets the reply frame's data bytes as hex text (emptied after a
    // check-byte failure the operator does not retry); with noReply only the
    // acknowledgement is read and replyData is untouched.
    TRxmResult Transact(const AnsiString& hexCommand, AnsiString& replyData, bool noReply);
    // The check byte of the bytes written in hexText; false (after its message)
    // for an odd length or a pair that is not hex.
    bool MeanCheck(const AnsiString& hexText, int& mean);
    // Runs the command and decodes its reply into data (unchanged on failure).
    TRxmResult Request(const AnsiString& hexCommand, RXM850__Data& data);
    // "A1"; the outputs are unchanged on failure.
    TRxmResult ReadIdentity(AnsiString& calDate, AnsiString& version, AnsiString& serial);
    // "88" and the file number; a reply shorter than a whole record (eight
    // bytes) fails and leaves replyData empty.
    TRxmResult ReadStoredFile(int fileNo, AnsiString& replyData);
    // "82" without a reply; the callers wait 3.5 to 5 s before the next command.
    TRxmResult SendReset();

    // A 16-bit word as two hex bytes, low byte first; ERangeError outside 0..65535.
    static AnsiString WordToHexLE(int value);
    // Eight '0'/'1' characters, bit 0 first.
    static AnsiString ByteToBitString(int value);
    static void SplitRangeByte(int& range, int& exponent, const AnsiString& hexByte);
    // The reading mantissa x 10^exponent as text in Ohm, kOhm, MOhm, GOhm or
    // TOhm (unit); "-1" (unit unchanged) when it is too large to write.
    static AnsiString FormatResistance(double mantissa, double exponent, AnsiString& unit);
};
