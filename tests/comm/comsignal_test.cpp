#include "comm/comsignal.h"
#include "fake_host.h"
#include "platform/classes/filer.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include <vector>

namespace {
class ComSignalTest : public ::testing::Test {
protected:
    ComSignalTest() : Previous(SetCommHost(&Host)) {
        Port = new TComPort(&Owner);
        Port->SetDeviceName(Pty.SlavePath().c_str());
        Port->Timeouts()->SetReadConstant(50);
        Signal = new TComSignal(&Owner);
        Lamp = new TComponent(&Owner);
        Signal->SetControl(Lamp);
        Timer = Host.Timers.back();
    }
    ~ComSignalTest() override { SetCommHost(Previous); }

    TFakeCommHost Host;
    TCommHost* Previous;
    TPtyPair Pty;
    TComponent Owner{nullptr};
    TComPort* Port;
    TComSignal* Signal;
    TComponent* Lamp;
    TFakeTimer* Timer;
};
} // namespace

TEST_F(ComSignalTest, ControlAndTimerFollowTheSettings) {
    EXPECT_EQ(Timer->Interval, 100);
    EXPECT_EQ(Host.LampColour, 0x008000u); // setting the control coloured it
    Signal->SetColorOff(0x123456);
    EXPECT_EQ(Host.LampColour, 0x123456u);
    Signal->SetDelay(250);
    EXPECT_EQ(Timer->Interval, 250);
}

TEST_F(ComSignalTest, SettingsStreamWithThePortByItsName) {
    Owner.SetName("FoCom");
    Port->SetName("ComPort1");
    Signal->SetName("ComSignal1");
    Signal->SetControl(nullptr);
    Signal->SetComPort(Port);
    Signal->SetSignal(siCTS);
    Signal->SetDelay(250);
    TMemoryStream binary;
    WriteComponentToStream(&binary, Signal);
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(&binary, &text);
    EXPECT_EQ(text.DataString(), "object ComSignal1: TComSignal\r\n"
                                 "  ComPort = FoCom.ComPort1\r\n"
                                 "  Delay = 250\r\n"
                                 "  Signal = siCTS\r\n"
                                 "end\r\n");
}

TEST_F(ComSignalTest, ReceivedCharactersLightTheLampUntilTheDelayPassed) {
    int portHandlerCalls = 0, signals = 0;
    Port->OnRxChar = [&](TObject*) { ++portHandlerCalls; };
    Signal->OnSignal = [&](TObject*) { ++signals; };
    Signal->SetSignal(siRxChar);
    Signal->SetComPort(Port);
    Port->Open();
    Pty.Send("abc");
    ASSERT_TRUE(PumpUntil([&] { return portHandlerCalls > 0; }));
    EXPECT_TRUE(Signal->SignalValue());
    EXPECT_EQ(Host.LampColour, 0x00FF00u);
    EXPECT_TRUE(Timer->On);
    const int restarts = Timer->Restarts;
    Pty.Send("d");
    ASSERT_TRUE(PumpUntil([&] { return Timer->Restarts > restarts; })); // restarted, still lit
    EXPECT_TRUE(Signal->SignalValue());
    Timer->Fire();
    EXPECT_FALSE(Signal->SignalValue());
    EXPECT_EQ(Host.LampColour, 0x008000u);
    EXPECT_FALSE(Timer->On);
    EXPECT_EQ(signals, 2); // on once, off once
}

TEST_F(ComSignalTest, WritesKeepTheLampOnWhileTheyRun) {
    int before = 0, after = 0;
    Port->BeforeWrite = [&](TObject*, void*, int, bool) { ++before; };
    Port->AfterWrite = [&](TObject*, void*, int, bool) { ++after; };
    Signal->SetSignal(siTxChar);
    Signal->SetComPort(Port);
    Port->Open();
    Port->BeforeWrite(Port, nullptr, 0, false); // a write has begun
    EXPECT_TRUE(Signal->SignalValue());
    Timer->Fire();
    EXPECT_TRUE(Signal->SignalValue()); // still writing
    Port->AfterWrite(Port, nullptr, 0, false);
    Timer->Fire();
    EXPECT_FALSE(Signal->SignalValue());
    Port->WriteString("x");
    EXPECT_EQ(before, 2);
    EXPECT_EQ(after, 2);
}

TEST_F(ComSignalTest, ModemSignalFollowsTheLineAndClosingTurnsItOff) {
    int opened = 0;
    Port->AfterOpen = [&](TCustomComPort*) { ++opened; };
    Signal->SetSignal(siCTS);
    Signal->SetComPort(Port);
    Port->Open();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(Signal->SignalValue()); // a pseudo-terminal has no CTS
    Port->Close();
    EXPECT_FALSE(Signal->SignalValue());
    EXPECT_EQ(Host.LampColour, 0x008000u);
}

TEST_F(ComSignalTest, RemovingThePortRestoresItsHandlers) {
    int mine = 0;
    Port->OnRxChar = [&](TObject*) { ++mine; };
    Signal->SetSignal(siRxChar);
    Signal->SetComPort(Port);
    Owner.RemoveComponent(Port);
    EXPECT_EQ(Signal->ComPort(), nullptr);
    ASSERT_TRUE(Port->OnRxChar);
    Port->OnRxChar(Port);
    EXPECT_EQ(mine, 1);
    EXPECT_FALSE(Port->AfterOpen);
    std::unique_ptr<TComPort> orphan(Port);
    // Freeing a hooked port leaves the signal without one.
    auto* other = new TComPort(&Owner);
    Signal->SetComPort(other);
    delete other;
    EXPECT_EQ(Signal->ComPort(), nullptr);
    delete Lamp;
    EXPECT_EQ(Signal->Control(), nullptr);
}

// However a signal lets go of its port after its Signal changed, the port's
// own handlers are back and a character received afterwards reaches them.
TEST_F(ComSignalTest, LettingGoAfterASignalChangeGivesThePortItsHandlersBack) {
    enum TStep { Hook, Change, ToNil, ToOther, Free, RemovePort };
    const struct {
        TSignal First, Then;
        std::vector<TStep> Steps;
    } cases[] = {
        {siRxChar, siCTS, {Hook, Change, ToNil}},
        {siRxChar, siCTS, {Hook, Change, ToOther}},
        {siRxChar, siCTS, {Hook, Change, Free}},
        {siRxChar, siCTS, {Hook, Change, RemovePort}},
        {siRxChar, siCTS, {Hook, Change, ToOther, Free}},
        {siRxChar, siCTS, {Hook, ToNil, Change, Hook, Free}},
        {siRxChar, siCTS, {Hook, ToOther, Change, Free}},
        {siRxChar, siCTS, {Change, Hook, Free}},
        {siCTS, siRxChar, {Hook, Change, ToNil}},
        {siCTS, siRxChar, {Hook, Change, Free}},
        {siRxChar, siNone, {Hook, Change, Free}},
        {siTxChar, siRxChar, {Hook, Change, ToNil}},
    };
    TPtyPair otherPty;
    for (size_t row = 0; row < std::size(cases); ++row) {
        const auto& c = cases[row];
        SCOPED_TRACE(row);
        int received = 0, ctsChanges = 0;
        TComPort other(nullptr);
        other.SetDeviceName(otherPty.SlavePath().c_str());
        TComponent owner(nullptr);
        auto* port = new TComPort(&owner);
        std::unique_ptr<TComPort> removed;
        port->SetDeviceName(Pty.SlavePath().c_str());
        port->OnRxChar = [&](TObject*) { ++received; };
        port->OnCTSChange = [&](TObject*) { ++ctsChanges; };
        auto* signal = new TComSignal(&owner);
        signal->SetSignal(c.First);
        port->Open();
        for (const TStep step : c.Steps) {
            switch (step) {
            case Hook:
                signal->SetComPort(port);
                break;
            case Change:
                signal->SetSignal(c.Then);
                break;
            case ToNil:
                signal->SetComPort(nullptr);
                break;
            case ToOther:
                signal->SetComPort(&other);
                break;
            case Free:
                delete signal;
                signal = nullptr;
                break;
            case RemovePort:
                owner.RemoveComponent(port);
                removed.reset(port);
                break;
            }
        }
        Pty.Send("x");
        EXPECT_TRUE(PumpUntil([&] { return received == 1; }));
        ASSERT_TRUE(port->OnCTSChange);
        port->OnCTSChange(port);
        EXPECT_EQ(ctsChanges, 1);
        EXPECT_FALSE(port->AfterOpen);
        delete signal; // before the ports it may still hook
    }
}

// Two lamps on one port: whichever lets go first, every call still reaches the
// other lamp and the port's own handlers, and none reaches the one let go.
TEST_F(ComSignalTest, TwoSignalsOnOnePortLetGoInEitherOrder) {
    const struct {
        TSignal First, Second;
        bool FreeFirstFirst;
    } cases[] = {
        {siCTS, siDSR, true},        {siCTS, siDSR, false},      {siRxChar, siRxChar, true},
        {siRxChar, siRxChar, false}, {siTxChar, siTxChar, true}, {siRxChar, siTxChar, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.First) + "/" + std::to_string(c.Second) +
                     (c.FreeFirstFirst ? " first freed" : " second freed"));
        int opened = 0, received = 0, written = 0;
        TComponent owner(nullptr);
        auto* port = new TComPort(&owner);
        port->SetDeviceName(Pty.SlavePath().c_str());
        port->AfterOpen = [&](TCustomComPort*) { ++opened; };
        port->OnRxChar = [&](TObject*) { ++received; };
        port->AfterWrite = [&](TObject*, void*, int, bool) { ++written; };
        auto* first = new TComSignal(&owner);
        auto* second = new TComSignal(&owner);
        first->SetSignal(c.First);
        second->SetSignal(c.Second);
        first->SetComPort(port);
        second->SetComPort(port);
        delete (c.FreeFirstFirst ? first : second);
        TComSignal* kept = c.FreeFirstFirst ? second : first;
        port->Open();
        EXPECT_EQ(opened, 1);
        Pty.Send("x");
        EXPECT_TRUE(PumpUntil([&] { return received == 1; }));
        port->WriteString("y");
        EXPECT_EQ(written, 1);
        port->Close();
        delete kept;
        port->Open();
        EXPECT_EQ(opened, 2);
        port->Close();
    }
}
