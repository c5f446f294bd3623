#pragma once
// What the three serial instruments share: the control bytes, the free hex
// conversions of the protocols (HexToInt, HexWordToInt), the one port they talk
// over (ComPort1 of the serial form, reached through the host) and bounded
// frame reads.
#include "platform/rtl/ansistring.h"

class TComPort;

constexpr char STX = 0x02, ETX = 0x03, EOT = 0x04, ENQ = 0x05, ACK = 0x06, BEL = 0x07, DC2 = 0x12,
               DC3 = 0x13;

// Value of upper-case hex digits; any other character adds nothing but still
// takes its place value. "" gives 0.
int HexToInt(const AnsiString& hex);
// Four hex digits holding a 16-bit word low byte first, as a signed value.
void HexWordToInt(const AnsiString& fourHex, int& value);

// The port the instruments use; raises EComError (closed port) when the
// windows provide none.
TComPort& InstrumentPort();

// Longest frame an instrument sends; a reply running past it is garbage.
constexpr int MaxFrameLength = 512;
// The text of the failure raised for garbled or incomplete replies.
extern const char* const InvalidReplyText;
[[noreturn]] void RaiseInvalidReply();
// Reads up to and including the terminator, each byte within the port's
// time-outs ("Timeout" otherwise) and at most MaxFrameLength bytes.
AnsiString ReadFrame(TComPort& port, char terminator);
