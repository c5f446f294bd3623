// Control lines, RTS toggling, DSR sensitivity and the error replacement
// character, on a pseudo-terminal whose modem side a fake UART stands in for.
#include "fake_host.h"
#include "support/fake_uart.h"
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace {
constexpr int DtrRts = TIOCM_DTR | TIOCM_RTS;

class ComPortLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Port.SetDeviceName(Pty.SlavePath().c_str());
        Port.Timeouts()->SetReadConstant(30);
        Port.Timeouts()->SetWriteConstant(200);
    }
    TPtyPair Pty;
    TComPort Port{nullptr};
};

struct TLinesCase {
    const char* Name;
    TDTRControl Dtr;
    TRTSControl Rts;
    int Expected; // DTR and RTS while open
};
} // namespace

TEST_F(ComPortLinesTest, LinesFollowTheFlowControlAtOpenThroughEachChangeAndDropAtClose) {
    const TLinesCase cases[] = {
        {"both disabled", dcDisable, rcDisable, 0},
        {"both enabled", dcEnable, rcEnable, DtrRts},
        {"DTR only", dcEnable, rcDisable, TIOCM_DTR},
        {"RTS only", dcDisable, rcEnable, TIOCM_RTS},
        {"as the device has them", dcDefault, rcDefault, DtrRts},
        {"RTS toggled", dcDisable, rcToggle, 0},
    };
    const std::function<void(TComPort&)> changes[] = {
        [](TComPort& p) { p.SetBaudRate(br9600); },
        [](TComPort& p) { p.SetParity(paEven); },
        [](TComPort& p) { p.SetOptions(TOptions() << opCheckParity); },
        [](TComPort& p) { p.Characters()->SetEvent('\r'); },
        [](TComPort& p) { p.Timeouts()->SetReadMultiplier(100); },
        [](TComPort& p) { p.BufferSizes()->SetInput(1024); },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeUart uart;
        TComPort port(nullptr);
        port.SetDeviceName(Pty.SlavePath().c_str());
        port.FlowControl()->SetDTR(c.Dtr);
        port.FlowControl()->SetRTS(c.Rts);
        port.Open();
        EXPECT_EQ(uart.Lines() & DtrRts, c.Expected);
        for (const auto& change : changes) {
            change(port);
            EXPECT_EQ(uart.Lines() & DtrRts, c.Expected);
        }
        if (c.Expected == 0) {
            EXPECT_EQ(uart.Raises(DtrRts), 0);
        }
        port.Close();
        EXPECT_EQ(uart.Lines() & DtrRts, 0);
    }
}

TEST_F(ComPortLinesTest, RtsToggleUsesTheDriversRs485ModeAndGivesItBackAtClose) {
    TFakeUart uart(true);
    Port.FlowControl()->SetRTS(rcToggle);
    Port.Open();
    EXPECT_TRUE(uart.Rs485Enabled());
    EXPECT_TRUE(uart.Rs485Flags() & SER_RS485_RTS_ON_SEND);
    EXPECT_FALSE(uart.Rs485Flags() & SER_RS485_RTS_AFTER_SEND);
    uart.ClearCalls();
    Port.WriteString("abc");
    EXPECT_EQ(Pty.Receive(3), "abc");
    EXPECT_EQ(uart.Raises(TIOCM_RTS), 0); // the driver does it
    Port.FlowControl()->SetRTS(rcDisable);
    EXPECT_FALSE(uart.Rs485Enabled());
    Port.FlowControl()->SetRTS(rcToggle);
    Port.Close();
    EXPECT_FALSE(uart.Rs485Enabled());
}

TEST_F(ComPortLinesTest, RtsToggleWithoutRs485RaisesRtsOnlyWhileTheBytesGoOut) {
    TFakeUart uart;                        // no RS-485 mode
    std::vector<std::pair<int, int>> seen; // (RTS after the call, bytes already out)
    uart.OnCall = [&](unsigned long request, int lines) {
        if ((request == TIOCMBIS || request == TIOCMBIC) && (lines & TIOCM_RTS))
            seen.emplace_back(request == TIOCMBIS, Pty.PendingFromPort());
    };
    Port.FlowControl()->SetRTS(rcToggle);
    Port.Open();
    EXPECT_EQ(uart.Lines() & TIOCM_RTS, 0);
    seen.clear();
    for (const bool wait : {true, false}) {
        Port.Write("hello", 5, wait);
        Port.WaitForWriteCompletion();
        EXPECT_EQ(uart.Lines() & TIOCM_RTS, 0);
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0], std::make_pair(1, 0)); // up before the first byte
        EXPECT_EQ(seen[1], std::make_pair(0, 5)); // down once all were out
        EXPECT_EQ(Pty.Receive(5), "hello");
        seen.clear();
    }
}

TEST_F(ComPortLinesTest, DsrSensitivityDropsInputWhileDsrIsOff) {
    TFakeUart uart;
    Port.SetOptions(TOptions() << opDSRSensitivity);
    Port.Open();
    Pty.Send("lost");
    EXPECT_EQ(Port.ReadString(), "");
    uart.SetInputs(TIOCM_DSR);
    Pty.Send("kept");
    EXPECT_EQ(Port.ReadString(), "kept");
    Port.SetOptions(TOptions());
    uart.SetInputs(0);
    Pty.Send("all");
    EXPECT_EQ(Port.ReadString(), "all");
}

TEST_F(ComPortLinesTest, DsrSensitivityOnADeviceWithoutLinesKeepsItsInput) {
    Port.SetOptions(TOptions() << opDSRSensitivity);
    Port.Open();
    Pty.Send("pty");
    EXPECT_EQ(Port.ReadString(), "pty");
}

// Byte 0xFF must come through once, not as the kernel's escaped pair, when
// the error character is in use.
TEST_F(ComPortLinesTest, ErrorCharacterLeavesGoodBytesAsTheyCame) {
    Port.Characters()->SetError('?');
    Port.SetOptions(TOptions() << opUseErrorChar);
    Port.Open();
    Pty.Send(Bytes("41 FF 00 FF FF 42"));
    EXPECT_EQ(Hex(Port.ReadString().str()), "41 FF 00 FF FF 42");
}
