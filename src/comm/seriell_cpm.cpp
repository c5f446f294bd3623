#include "comm/commhost.h"
#include "comm/comport.h"
#include "comm/ipc_conv.h"
#include "comm/seriell_cpm.h"
#include "comm/seriell_link.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/sysutils.h"
#include <cctype>
#include <charconv>

namespace {
constexpr int AckPolls = 10;
constexpr uint32_t AckPollMs = 50;
// The exact length of each reply: a reply of another length answers another
// request (a late one) or is cut off.
constexpr int IdentityLength = 30, SetupLength = 18, DisplayLength = 32;

const char* const VoltmeterLine1 = "V-METER     \xB1"
                                   "1kV";

// The instrument writes its numbers with a decimal comma, whatever the
// user's locale says; from_chars reads the same under any C locale the
// toolkit switched the process to.
bool ParseDisplayNumber(const AnsiString& text, double& value) {
    std::string s = text.str();
    for (char& c : s)
        if (c == ',') c = '.';
    const char* const end = s.data() + s.size();
    const auto [stop, error] = std::from_chars(s.data(), end, value);
    return !s.empty() && error == std::errc() && stop == end;
}
} // namespace

bool C_CPM_EF::IsHexText(const AnsiString& text) {
    for (int i = 1; i <= text.Length(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])) && (text[i] < 'A' || text[i] > 'F'))
            return false;
    return true;
}

AnsiString C_CPM_EF::HexToBits(const AnsiString& hexByte) {
    return NTOC(HexToInt(hexByte), 2, 8);
}

void C_CPM_EF::SendEnquiry(TComPort& port) {
    // Bytes left over from an earlier exchange must not pass for this reply.
    port.PurgeInput();
    port.WriteChar(ENQ);
}

bool C_CPM_EF::WaitForAck(TComPort& port) {
    for (int i = 0; i < AckPolls; ++i) {
        Sleep(AckPollMs);
        if (port.ReadString().Pos(AnsiString(ACK)) > 0) return true;
    }
    return false;
}

AnsiString C_CPM_EF::ExtractReply(const AnsiString& frame) {
    const int stx = frame.Pos(AnsiString(STX));
    if (stx == 0) RaiseInvalidReply();
    const int start = stx + 1;
    // Counted from the STX, so anything before it is left out.
    int count = frame.Pos(AnsiString(ETX)) - start;
    if (count < 1) count = frame.Length();
    return frame.SubString(start, count);
}

AnsiString C_CPM_EF::Transact(const AnsiString& command) {
    TComPort& port = InstrumentPort();
    SendEnquiry(port);
    WaitForAck(port); // the frame goes out with or without an acknowledge
    port.WriteString(AnsiString(STX) + command + ETX);
    Sleep(5);
    const AnsiString frame = ReadFrame(port, ETX);
    Sleep(1);
    return ExtractReply(frame);
}

void C_CPM_EF::ReadIdentity(AnsiString& version, AnsiString& serial, AnsiString& calDate) {
    const AnsiString reply = Transact("r0");
    if (reply.Length() != IdentityLength) RaiseInvalidReply();
    version = reply.SubString(1, 15);
    serial = reply.SubString(17, 8);
    calDate = reply.SubString(25, 6);
}

void C_CPM_EF::ReadSetup() {
    const AnsiString reply = Transact("r1");
    // Nine hex fields and nothing else: a short reply would leave words that
    // read as zeros, another request's reply words that mean nothing.
    if (reply.Length() != SetupLength || !IsHexText(reply)) RaiseInvalidReply();
    for (int i = 0; i < 9; ++i)
        _struct_setup[3 + i] = reply.SubString(1 + 2 * i, 2);
}

void C_CPM_EF::WriteSetup() {
    // The payload is built first: a word that is no byte value must fail
    // before the instrument is told that a setup follows.
    AnsiString payload;
    for (int i = 3; i <= 11; ++i) {
        const int value = StrToInt(_struct_setup[i]);
        if (value < 0 || value > 255)
            throw EConvertError("'" + _struct_setup[i] + "' is not a valid setup byte");
        payload += IntToHex(value, 2);
    }

    TCommHost& host = CommHost();
    host.ReadCPMIdentity();
    TComPort& port = InstrumentPort();
    Sleep(100);
    port.PurgeInput();
    port.WriteString(AnsiString(ENQ));
    Sleep(50);
    // The instrument answers the enquiry with a 0x05; everything before it is skipped.
    for (int n = 0;; ++n) {
        if (n >= MaxFrameLength) RaiseInvalidReply();
        if (port.ReadByte() == ENQ) break;
    }
    Sleep(10);
    port.WriteString(AnsiString(STX) + "w1" + ETX);
    Sleep(50);
    if (host.CPM_Version610() && host.DeviceType() == 103) {
        host.MessageBox(
            "Please, select at the CPM 690 manually the E-Field mode and select the range !", "",
            cbOK, ciInformation);
        return;
    }
    port.WriteString(AnsiString(STX) + payload + ETX);
    Sleep(100);
}

AnsiString C_CPM_EF::ReadDisplay(double& value, AnsiString& unit) {
    TComPort& port = InstrumentPort();
    SendEnquiry(port);
    WaitForAck(port);
    port.WriteString(AnsiString(STX) + "r2" + ETX);
    port.Timeouts()->SetReadMultiplier(100);
    Sleep(100);
    AnsiString received;
    for (;;) {
        if (received.Length() >= MaxFrameLength) RaiseInvalidReply();
        char c = port.ReadChar();
        if (c == '\0') c = '\xB1'; // the display's plus-minus sign
        received += c;
        if (c == ETX) break;
    }
    // A late acknowledge before the frame is not part of the display.
    const int stx = received.Pos(AnsiString(STX));
    if (stx == 0) RaiseInvalidReply();
    const AnsiString text = received.SubString(stx + 1, received.Length() - stx - 1);
    // Both display lines and nothing else: a short text is no reading, a
    // longer one the late reply of another request.
    if (text.Length() != DisplayLength) RaiseInvalidReply();
    const AnsiString line1 = text.SubString(1, 16);
    const AnsiString line2 = text.SubString(17, 16);

    if (line2.Pos("OVERFLOW") > 0) {
        value = NoValue;
        return text;
    }
    AnsiString number;
    int last = 0;
    for (int i = 7; i <= 16; ++i) {
        const char c = line2[i];
        if ((c >= '0' && c <= '9') || c == ',' || c == '-') {
            number += c;
            last = i;
        }
    }
    double parsed = 0;
    if (!number.IsEmpty() && ParseDisplayNumber(number, parsed)) {
        value = parsed;
        unit = line1 == VoltmeterLine1 ? AnsiString("kV") : line2.SubString(last + 1, 16 - last);
    } else {
        value = NoValue;
        unit = "   OVR !";
    }
    return text;
}

void C_CPM_EF::Break() {
    InstrumentPort().WriteChar(BEL);
    Sleep(500);
}

void C_CPM_EF::ClosePort() {
    InstrumentPort().Close();
}
