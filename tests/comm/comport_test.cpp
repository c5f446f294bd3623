#include "fake_host.h"
#include "platform/classes/filer.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include <atomic>
#include <fcntl.h>
#include <fstream>
#include <termios.h>

namespace {
using Ms = std::chrono::milliseconds;

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        Port.SetDeviceName(Pty.SlavePath().c_str());
        Port.Timeouts()->SetReadConstant(30);
        Port.Timeouts()->SetWriteConstant(200);
    }
    template <typename Fn> EComError Raised(Fn fn) {
        try {
            fn();
        } catch (const EComError& e) {
            return e;
        }
        ADD_FAILURE() << "no EComError";
        return EComError(-1, "");
    }
    tcflag_t SlaveCflag() {
        termios t{};
        const int fd = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ::tcgetattr(fd, &t);
        ::close(fd);
        return t.c_cflag;
    }
    TPtyPair Pty;
    TComPort Port{nullptr};
};
} // namespace

TEST(ComPort, DeviceNamesAndRates) {
    TComPort port(nullptr);
    port.SetBaudRate(br2400);
    EXPECT_EQ(port.CustomBaudRate(), 2400);
    for (const char* name : {"\\\\.\\COM12", "COM12"}) {
        port.SetDeviceName(name);
        EXPECT_EQ(port.ShortDeviceName(), "COM12") << name;
    }
}

TEST_F(ComPortTest, ClosedPortRefusesTransfersButNotCloseOrPurge) {
    EXPECT_NO_THROW(Port.Close());
    EXPECT_NO_THROW(Port.PurgeInput());
    const struct {
        const char* what;
        std::function<void(TComPort&)> call;
    } calls[] = {
        {"ReadByte", [](TComPort& p) { p.ReadByte(); }},
        {"WriteString", [](TComPort& p) { p.WriteString("x"); }},
        {"SetDTR", [](TComPort& p) { p.SetDTR(); }},
        {"ModemStatus", [](TComPort& p) { p.ModemStatus(); }},
        {"CheckLineErrors", [](TComPort& p) { p.CheckLineErrors(); }},
    };
    for (const auto& c : calls) {
        const EComError e = Raised([&] { c.call(Port); });
        EXPECT_EQ(e.ErrorCode, 0) << c.what;
        EXPECT_EQ(e.Message, "Can't perform this operation on a closed port") << c.what;
    }
}

TEST_F(ComPortTest, OpeningAMissingDeviceRaisesTheSystemError) {
    Port.SetDeviceName("/nonexistent/ttyX");
    const EComError e = Raised([&] { Port.Open(); });
    EXPECT_EQ(e.ErrorCode, 2);
    EXPECT_EQ(e.Message, "The system cannot find the file specified.");
    EXPECT_FALSE(Port.Active());
}

TEST_F(ComPortTest, DeviceNameChangesOnlyWhileClosed) {
    Port.Open();
    EXPECT_TRUE(Port.Active());
    EXPECT_EQ(Raised([&] { Port.SetDeviceName("COM3"); }).Message,
              "Can't perform this operation on an open port");
    EXPECT_EQ(Raised([&] { Port.SetSynchronizeEvents(false); }).Message,
              "Can't perform this operation on an open port");
    Port.Close();
    TPtyPair other;
    Port.SetDeviceName(other.SlavePath().c_str());
    Port.Open();
    Port.WriteString("z");
    EXPECT_EQ(other.Receive(1), "z");
}

TEST_F(ComPortTest, ReadsTimeOutWithTimeoutAndShortReadsRaiseToo) {
    Port.Open();
    EXPECT_EQ(Port.ReadString(), "");
    Port.Timeouts()->SetReadConstant(60); // applies to the open port
    const auto start = std::chrono::steady_clock::now();
    const EComError e = Raised([&] { Port.ReadByte(); });
    EXPECT_EQ(e.ErrorCode, 0);
    EXPECT_EQ(e.Message, "Timeout");
    EXPECT_GE(std::chrono::steady_clock::now() - start, Ms(55));
    Pty.Send("ab");
    char buf[4];
    EXPECT_EQ(Port.Read(buf, 4, false), 0); // returns at once, the read runs on
    EXPECT_EQ(Raised([&] { Port.WaitForReadCompletion(); }).Message, "Timeout");
    Pty.Send("c");
    EXPECT_EQ(Port.ReadByte(), 'c'); // nothing stale from the failed read
}

TEST_F(ComPortTest, ReadThatCompletesAtOnceWithWhatIsThereIsNoTimeout) {
    TCommClockScope clock; // no read may end by its time-out here
    Port.Open();
    char buf[4] = {};
    // "Return what is there": completes at once, short or not.
    Port.Timeouts()->SetReadInterval(-1); // MAXDWORD
    Port.Timeouts()->SetReadConstant(0);
    Pty.Send("ab");
    EXPECT_EQ(Port.Read(buf, 4, true), 2);
    EXPECT_EQ(std::string(buf, 2), "ab");
    EXPECT_EQ(Port.Read(buf, 4, true), 0);
    // "Wait for a first byte": at once when one is there; after a wait it is
    // held to the count, as a transfer left pending is.
    Port.Timeouts()->SetReadMultiplier(-1);
    Port.Timeouts()->SetReadConstant(30);
    Pty.Send("c");
    EXPECT_EQ(Port.Read(buf, 4, true), 1);
    const uint64_t looks = clock.Looks();
    std::thread late([&] {
        clock.AwaitLooks(looks, 2); // the read waits
        Pty.Send("d");
    });
    EXPECT_EQ(Raised([&] { Port.Read(buf, 4, true); }).Message, "Timeout");
    late.join();
    EXPECT_EQ(buf[0], 'd');
}

TEST_F(ComPortTest, WriteThatDoesNotGoOutRaisesTimeout) {
    TCommClockScope clock;
    Port.Timeouts()->SetWriteConstant(30);
    Port.Open();
    const AnsiString big(std::string(1 << 20, 'x')); // more than the line buffers hold
    Port.WriteString(big);                           // does not wait
    EXPECT_TRUE(Port.WritePending());
    clock.Advance(29);
    std::this_thread::sleep_for(Ms(30)); // a few polls to notice
    EXPECT_TRUE(Port.WritePending());
    clock.Advance(1);
    EXPECT_EQ(Raised([&] { Port.WaitForWriteCompletion(); }).Message, "Timeout");
    EXPECT_FALSE(Port.WritePending());
}

TEST_F(ComPortTest, ReadUntilKeepsTheTerminatorAndControlBytesPass) {
    Port.Open();
    Pty.Send(Bytes("02 00 04 11 12 13 FF 03 41 0D"));
    EXPECT_EQ(Hex(Port.ReadUntil('\x03').str()), "02 00 04 11 12 13 FF 03");
    EXPECT_EQ(Hex(Port.ReadLine().str()), "41 0D");
    Port.WriteByte(0x70);
    Port.WriteWord(0x1234);
    Port.WriteDWord(0xA1B2C3D4);
    EXPECT_EQ(Hex(Pty.Receive(7)), "70 34 12 D4 C3 B2 A1");
    Pty.Send(Bytes("34 12 D4 C3 B2 A1"));
    EXPECT_EQ(Port.ReadWord(), 0x1234);
    EXPECT_EQ(Port.ReadDWord(), 0xA1B2C3D4u);
}

TEST_F(ComPortTest, OnErrorCanTurnAFailureIntoASilentAbort) {
    Port.Open();
    int seen = 0;
    Port.OnError = [&](TCustomComPort*, EComError& e, TComAction& action) {
        ++seen;
        EXPECT_EQ(e.Message, "Timeout");
        action = caAbort;
    };
    EXPECT_THROW(Port.ReadByte(), EAbort);
    Port.OnError = [&](TCustomComPort*, EComError&, TComAction&) { ++seen; };
    EXPECT_THROW(Port.ReadByte(), EComError);
    EXPECT_EQ(seen, 2);
}

TEST_F(ComPortTest, DefaultMembersKeepWhatTheDeviceHas) {
    Port.SetParity(paMark);
    Port.Open();
    EXPECT_TRUE(SlaveCflag() & CMSPAR);
    Port.SetParity(paDefault);
    EXPECT_TRUE(SlaveCflag() & CMSPAR);
    Port.SetParity(paNone);
    EXPECT_FALSE(SlaveCflag() & CMSPAR);
    Port.SetStopBits(sb2);
    EXPECT_TRUE(SlaveCflag() & CSTOPB);
}

TEST_F(ComPortTest, SettingsLinuxCannotExpressAreRefusedClearly) {
    const struct {
        void (*set)(TComPort&);
        const char* text;
    } cases[] = {
        {[](TComPort& p) { p.SetDataBits(db4); }, "4 data bits cannot be set on this system"},
        {[](TComPort& p) { p.SetStopBits(sb1_5); }, "1.5 stop bits cannot be set on this system"},
        {[](TComPort& p) { p.FlowControl()->SetDTR(dcHandshake); },
         "DTR handshake cannot be set on this system"},
        {[](TComPort& p) { p.FlowControl()->SetXOnXOff(xcInput); },
         "Stopping transmission after XOff cannot be set on this system"},
        {[](TComPort& p) { p.SetOptions({opOutputDSRFlow}); },
         "DSR output flow control cannot be set on this system"},
    };
    for (const auto& c : cases) {
        TComPort port(nullptr);
        port.SetDeviceName(Pty.SlavePath().c_str());
        port.Open();
        const EComError e = Raised([&] { c.set(port); });
        EXPECT_EQ(e.ErrorCode, 50) << c.text;
        EXPECT_EQ(e.Message, c.text);
        // The refused value did not stay behind to fail the next open.
        port.Close();
        EXPECT_NO_THROW(port.Open()) << c.text;
    }
    // A refused size is not kept either.
    Port.Open();
    EXPECT_EQ(Raised([&] { Port.BufferSizes()->SetInput(0); }).ErrorCode, 87);
    EXPECT_EQ(Port.BufferSizes()->Input(), 4096);
    Port.Close();
    // Refused at open as well; the port stays closed.
    Port.SetDataBits(db4);
    EXPECT_THROW(Port.Open(), EComError);
    EXPECT_FALSE(Port.Active());
}

TEST_F(ComPortTest, RxCharHandlerRunsOnTheMainThreadWhileAssigned) {
    std::atomic<int> calls{0};
    Port.OnRxChar = [&](TObject* sender) {
        EXPECT_EQ(sender, &Port);
        EXPECT_TRUE(IsMainThread());
        ++calls;
    };
    Pty.Send("x"); // closed: nobody listens
    std::this_thread::sleep_for(Ms(20));
    EXPECT_FALSE(CheckSynchronize());
    Port.Open();
    Port.PurgeInput();
    Pty.Send("y");
    EXPECT_TRUE(PumpUntil([&] { return calls > 0; }));
    Port.OnRxChar = nullptr;
    const int before = calls;
    Pty.Send("z");
    std::this_thread::sleep_for(Ms(30));
    CheckSynchronize();
    EXPECT_EQ(calls, before);
    EXPECT_EQ(Port.ReadString(), "yz");
}

TEST_F(ComPortTest, EventThreadIsJoinedWhenThePortCloses) {
    const int threads = ThreadCount();
    Port.OnRxChar = [&](TObject*) {};
    Port.Open();
    EXPECT_EQ(SettledThreadCount(threads + 1), threads + 1);
    Port.Close();
    EXPECT_EQ(SettledThreadCount(threads), threads);
    // A handler on the main thread cannot wait for the thread that waits for
    // it: the join follows in the next round of the main thread's calls.
    Port.OnRxChar = [&](TObject*) { Port.Close(); };
    Port.Open();
    Pty.Send("x");
    EXPECT_TRUE(PumpUntil([&] { return !Port.Active(); }));
    CheckSynchronize();
    EXPECT_EQ(SettledThreadCount(threads), threads);
    Port.Open(); // and the next open gets a working thread again
    EXPECT_EQ(SettledThreadCount(threads + 1), threads + 1);
}

TEST_F(ComPortTest, HangUpIsReportedOnceOnTheMainThreadAndEndsTheEventThread) {
    const int threads = ThreadCount();
    Port.OnRxChar = [](TObject*) {};
    // The error handler may close the port while the thread waits for it.
    Port.OnError = [&](TCustomComPort*, EComError&, TComAction&) { Port.Close(); };
    Port.Open();
    Pty.HangUp();
    AnsiString message;
    const auto end = std::chrono::steady_clock::now() + Ms(10000);
    while (message.IsEmpty() && std::chrono::steady_clock::now() < end) {
        try {
            CheckSynchronize();
        } catch (const EComError& e) {
            message = e.Message;
        }
    }
    EXPECT_EQ(message, "The device is not connected.");
    EXPECT_FALSE(Port.Active());
    EXPECT_TRUE(CheckSynchronize()); // the join
    EXPECT_EQ(SettledThreadCount(threads), threads);
    EXPECT_FALSE(CheckSynchronize()); // no report again
}

TEST_F(ComPortTest, FreeingAPortWithdrawsItsEventsInFlight) {
    const int threads = ThreadCount();
    for (const bool synchronize : {true, false}) {
        SCOPED_TRACE(synchronize ? "synchronised" : "on the event thread");
        auto* port = new TComPort(nullptr);
        port->SetDeviceName(Pty.SlavePath().c_str());
        port->SetSynchronizeEvents(synchronize);
        std::atomic<int> handled{0};
        // Unsynchronised, the handler hands a close to the main thread.
        port->OnRxChar = [&, port](TObject*) {
            ++handled;
            if (!synchronize) port->Close();
        };
        port->Open();
        Pty.Send("x");
        // Wait until a call for the main thread is queued, then free the port.
        const auto end = std::chrono::steady_clock::now() + Ms(10000);
        while (NextQueuedCallDueMs() != 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(Ms(1));
        ASSERT_EQ(NextQueuedCallDueMs(), 0);
        delete port;
        EXPECT_FALSE(CheckSynchronize()); // nothing left that names the freed port
        EXPECT_EQ(handled, synchronize ? 0 : 1);
        EXPECT_EQ(SettledThreadCount(threads), threads);
    }
}

TEST_F(ComPortTest, UnsynchronisedHandlersRunOnTheEventThreadAndCloseIsHandedOver) {
    Port.SetSynchronizeEvents(false);
    std::atomic<bool> onWorker{false};
    Port.OnRxChar = [&](TObject*) {
        onWorker = !IsMainThread();
        Port.Close(); // passed to the main thread
    };
    Port.Open();
    Pty.Send("k");
    EXPECT_TRUE(PumpUntil([&] { return !Port.Active(); }));
    EXPECT_TRUE(onWorker);
}

TEST_F(ComPortTest, ConfigDialogCopiesTheChosenSettingsBack) {
    Port.SetBaudRate(br2400);
    Port.SetParity(paNone);
    Port.Open();
    DCB seen{};
    SetCommConfigDialogHook([&](const std::string&, COMMCONFIG& c) {
        seen = c.dcb;
        c.dcb.BaudRate = 9600;
        c.dcb.Parity = EVENPARITY;
        c.dcb.StopBits = ONESTOPBIT;
        c.dcb.Flags = (c.dcb.Flags & ~(fDtrControlMask | fRtsControlMask)) | DTR_CONTROL_DISABLE;
        return true;
    });
    EXPECT_TRUE(Port.ConfigDialog());
    SetCommConfigDialogHook(nullptr);
    EXPECT_EQ(seen.BaudRate, 2400u); // the port's settings went into the dialog
    EXPECT_EQ(Port.BaudRate(), brCustom);
    EXPECT_EQ(Port.CustomBaudRate(), 9600);
    EXPECT_EQ(Port.Parity(), paEven);
    EXPECT_EQ(Port.StopBits(), sb1);                 // not sbDefault, which shares the value
    EXPECT_EQ(Port.FlowControl()->DTR(), dcDisable); // likewise
    EXPECT_EQ(Port.FlowControl()->RTS(), rcDisable);
    EXPECT_FALSE(Port.ConfigDialog()); // no dialog on this system: nothing changes
}

TEST_F(ComPortTest, ConfigDialogChoiceThePortRefusesLeavesThePropertiesAsTheyWere) {
    struct TNoDialog {
        ~TNoDialog() { SetCommConfigDialogHook(nullptr); }
    } restore;
    // XOn/XOff input that would also stop our own sending after an XOff.
    SetCommConfigDialogHook([](const std::string&, COMMCONFIG& c) {
        c.dcb.BaudRate = 4800;
        c.dcb.Flags = (c.dcb.Flags & ~fTXContinueOnXoff) | fInX | fOutX;
        return true;
    });
    Port.SetBaudRate(br2400);
    for (const bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "closed");
        if (open) Port.Open();
        const EComError e = Raised([&] { Port.ConfigDialog(); });
        EXPECT_EQ(e.ErrorCode, 50);
        EXPECT_EQ(e.Message, "Stopping transmission after XOff cannot be set on this system");
        EXPECT_EQ(Port.BaudRate(), br2400);
        EXPECT_EQ(Port.CustomBaudRate(), 2400);
        EXPECT_EQ(Port.FlowControl()->XOnXOff(), xcDefault);
        EXPECT_EQ(Port.Options(), TOptions());
        EXPECT_EQ(Port.Active(), open);
        Port.Close();
        EXPECT_NO_THROW(Port.Open());
        EXPECT_EQ(SlaveCflag() & CBAUD, tcflag_t(B2400));
        Port.Close();
    }
    // Continuing to send after an XOff is what the system gives.
    SetCommConfigDialogHook([](const std::string&, COMMCONFIG& c) {
        c.dcb.Flags |= fInX | fOutX | fTXContinueOnXoff;
        return true;
    });
    EXPECT_TRUE(Port.ConfigDialog());
    EXPECT_EQ(Port.FlowControl()->XOnXOff(), xcInputOutput);
    EXPECT_TRUE(Port.Options().Contains(opTXContinueOnXOff));
    Port.Open();
    EXPECT_TRUE(Port.Active());
}

TEST_F(ComPortTest, SettingsStreamAsTheSerialFormHoldsThemAndActiveOpensTheLoadedPort) {
    Port.SetName("ComPort1");
    Port.SetBaudRate(br2400);
    Port.SetDataBits(db8);
    Port.FlowControl()->SetDTR(dcDisable);
    Port.FlowControl()->SetXOnXOff(xcDisable);
    Port.SetOptions(TOptions() << opCheckParity);
    Port.Timeouts()->SetReadInterval(1000);
    Port.SetActive(true);
    TMemoryStream binary;
    WriteComponentToStream(&binary, &Port);
    Port.Close();
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(&binary, &text);
    const std::string expected = "object ComPort1: TComPort\r\n"
                                 "  Active = True\r\n"
                                 "  BaudRate = br2400\r\n"
                                 "  DataBits = db8\r\n"
                                 "  DeviceName = '" +
                                 Pty.SlavePath() +
                                 "'\r\n"
                                 "  FlowControl.DTR = dcDisable\r\n"
                                 "  FlowControl.XOnXOff = xcDisable\r\n"
                                 "  Options = [opCheckParity]\r\n"
                                 "  Timeouts.ReadInterval = 1000\r\n"
                                 "  Timeouts.ReadConstant = 30\r\n"
                                 "  Timeouts.WriteConstant = 200\r\n"
                                 "end\r\n";
    EXPECT_EQ(text.DataString().str(), expected);

    TComPort loaded(nullptr);
    binary.SetPosition(0);
    ReadComponentFromStream(&binary, &loaded);
    EXPECT_TRUE(loaded.Active()); // opened once loading was over
    EXPECT_EQ(loaded.BaudRate(), br2400);
    EXPECT_EQ(loaded.FlowControl()->DTR(), dcDisable);
    EXPECT_TRUE(loaded.Options().Contains(opCheckParity));
    EXPECT_EQ(loaded.Timeouts()->ReadInterval(), 1000);
    EXPECT_EQ(loaded.Characters()->XOn(), 17);
    loaded.Close();
    loaded.SetCustomBaudRate(1234); // stored only while it is the rate in use
    TMemoryStream custom;
    WriteComponentToStream(&custom, &loaded);
    custom.SetPosition(0);
    TStringStream customText;
    ObjectBinaryToText(&custom, &customText);
    EXPECT_NE(customText.DataString().Pos("CustomBaudRate = 1234"), 0);
}

TEST(ComPort, RegistryListAddsTheMachinesPortsAndComDevicesOnlyTheComNames) {
    TTempFolder root;
    std::filesystem::create_directories(root.File("ttyS1").c_str());
    std::ofstream(root.File("ttyS1/type").c_str()) << "4\n";
    std::filesystem::create_directories(root.File("ttyUSB0").c_str());
    SetSerialPortFolders(root.Folder().c_str(), "/dev");
    TStringList list, com;
    list.Add("keep");
    TCustomComPort::EnumComDevicesFromRegistry(&list);
    TCustomComPort::EnumComDevices(&com);
    SetSerialPortFolders("", "");
    EXPECT_EQ(list.Text(), "keep\r\nCOM2\r\n/dev/ttyUSB0\r\n");
    EXPECT_EQ(com.Text(), "COM2\r\n");
}

// The port, or the window that owns it, may go while its settings dialog
// shows: the dialog's OK then writes nothing and counts as Cancel.
TEST_F(ComPortTest, ConfigDialogWhosePortWentWhileItShowedIsCancelled) {
    struct TNoDialog {
        ~TNoDialog() { SetCommConfigDialogHook(nullptr); }
    } restore;
    COMMCONFIG before{};
    DWORD size = sizeof before;
    ASSERT_TRUE(GetDefaultCommConfigA(Pty.SlavePath().c_str(), &before, &size));
    ASSERT_NE(before.dcb.BaudRate, 38400u);
    for (const bool open : {false, true})
        for (const bool ownerGoes : {false, true})
            for (const bool defaults : {false, true}) {
                SCOPED_TRACE(std::string(open ? "open" : "closed") +
                             (ownerGoes ? ", its owner freed" : ", the port freed") +
                             (defaults ? ", default settings" : ""));
                auto* owner = new TComponent(nullptr);
                auto* port = new TComPort(owner);
                port->SetDeviceName(Pty.SlavePath().c_str());
                if (open) port->Open();
                int shown = 0;
                SetCommConfigDialogHook([&](const std::string&, COMMCONFIG& c) {
                    ++shown;
                    if (ownerGoes)
                        delete owner;
                    else
                        delete port;
                    c.dcb.BaudRate = 38400;
                    return true;
                });
                EXPECT_FALSE(defaults ? port->DefaultConfigDialog() : port->ConfigDialog());
                EXPECT_EQ(shown, 1);
                if (!ownerGoes) delete owner;
            }
    // What the system keeps for the port was not changed either.
    COMMCONFIG after{};
    ASSERT_TRUE(GetDefaultCommConfigA(Pty.SlavePath().c_str(), &after, &size));
    EXPECT_EQ(after.dcb.BaudRate, before.dcb.BaudRate);
}
