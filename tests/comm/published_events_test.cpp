// The port's and the signal component's handlers in a component stream: a
// handler of the form is stored by its name, and binding it while the form is
// read does what assigning it does (a bound notify handler starts the event
// thread once the port opens). The lines' state is never stored.
#include "comm/comsignal.h"
#include "fake_host.h"
#include "platform/classes/filer.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include <string>

namespace {

// A form as the serial form holds its components: it writes them inside itself.
class TSerialForm : public TComponent {
    QM_CLASS(TSerialForm)
public:
    using TComponent::TComponent;
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i)
            Proc(Components(i));
    }
    TComPort* Port() const { return dynamic_cast<TComPort*>(FindComponent("ComPort1")); }
    TComSignal* Signal() const { return dynamic_cast<TComSignal*>(FindComponent("ComSignal1")); }

    void PortOpenClose(TCustomComPort*) { ++OpenClose; }
    void PortReadWrite(TObject*, void*, int, bool) {}
    void PortError(TCustomComPort*, EComError&, TComAction&) {}
    void PortLineError(TObject*, TLineErrors) {}
    void PortEvent(TObject*) {}
    void PortRxChar(TObject* Sender) { RxChars += Sender == Port(); }
    void SignalChange(TObject*) { ++Signals; }
    int OpenClose = 0, RxChars = 0, Signals = 0;
};

} // namespace

QM_CLASS_OWNED(TSerialForm, TComponent, TComponent)
QM_PUBLISHED_METHODS(TSerialForm, Method("PortOpenClose", &Self::PortOpenClose),
                     Method("PortReadWrite", &Self::PortReadWrite),
                     Method("PortError", &Self::PortError),
                     Method("PortLineError", &Self::PortLineError),
                     Method("PortEvent", &Self::PortEvent), Method("PortRxChar", &Self::PortRxChar),
                     Method("SignalChange", &Self::SignalChange));

namespace {

const struct {
    const char* Event;
    const char* Handler;
} PortHandlers[] = {
    {"AfterClose", "PortOpenClose"},  {"AfterOpen", "PortOpenClose"},
    {"BeforeClose", "PortOpenClose"}, {"BeforeOpen", "PortOpenClose"},
    {"AfterRead", "PortReadWrite"},   {"AfterWrite", "PortReadWrite"},
    {"BeforeRead", "PortReadWrite"},  {"BeforeWrite", "PortReadWrite"},
    {"OnError", "PortError"},         {"OnLineError", "PortLineError"},
    {"OnBreak", "PortEvent"},         {"OnCTSChange", "PortEvent"},
    {"OnDSRChange", "PortEvent"},     {"OnEvent1", "PortEvent"},
    {"OnEvent2", "PortEvent"},        {"OnPrinterError", "PortEvent"},
    {"OnRing", "PortEvent"},          {"OnRLSDChange", "PortEvent"},
    {"OnRx80PercFull", "PortEvent"},  {"OnRxChar", "PortRxChar"},
    {"OnRxFlag", "PortEvent"},        {"OnTxEmpty", "PortEvent"},
};

void Bind(TComponent* Instance, const char* Event, TComponent* Form, const char* Handler) {
    GetPropInfo(Instance->ClassType(), Event)->SetMethod(Instance, MethodOf(Form, Handler));
}

class PublishedEventsTest : public ::testing::Test {
protected:
    PublishedEventsTest() : Previous(SetCommHost(&Host)) {
        RegisterClass(&TComPort::ClassInfo);
        RegisterClass(&TComSignal::ClassInfo);
    }
    ~PublishedEventsTest() override {
        UnRegisterClass(&TComSignal::ClassInfo);
        UnRegisterClass(&TComPort::ClassInfo);
        SetCommHost(Previous);
    }
    // A form with the port on the pseudo-terminal, and a signal when asked.
    void Build(TSerialForm& Form, bool WithSignal) {
        Form.SetName("FoCom");
        auto* port = new TComPort(&Form);
        port->SetName("ComPort1");
        port->SetDeviceName(Pty.SlavePath().c_str());
        if (!WithSignal) return;
        auto* signal = new TComSignal(&Form);
        signal->SetName("ComSignal1");
        signal->SetSignal(siRxChar);
        signal->SetComPort(port);
    }
    std::string Write(TSerialForm& Form) {
        TMemoryStream binary;
        WriteComponentToStream(&binary, &Form);
        binary.SetPosition(0);
        TStringStream text;
        ObjectBinaryToText(&binary, &text);
        return text.DataString().str();
    }
    void Read(const std::string& Text, TSerialForm& Form) {
        TStringStream text{AnsiString(Text.c_str())};
        TMemoryStream binary;
        ObjectTextToBinary(&text, &binary);
        binary.SetPosition(0);
        ReadComponentFromStream(&binary, &Form);
    }

    TFakeCommHost Host;
    TCommHost* Previous;
    TPtyPair Pty;
};

TEST_F(PublishedEventsTest, EveryPortHandlerIsStoredByNameAndBoundToTheFormReadInto) {
    TSerialForm saved(nullptr);
    Build(saved, false);
    for (const auto& h : PortHandlers)
        Bind(saved.Port(), h.Event, &saved, h.Handler);
    // Closed: the line's state is not asked for, let alone stored.
    const std::string text = Write(saved);
    for (const auto& h : PortHandlers)
        EXPECT_NE(text.find("    " + std::string(h.Event) + " = " + h.Handler + "\r\n"),
                  std::string::npos)
            << h.Event << "\n"
            << text;
    EXPECT_EQ(text.find("ModemStatus"), std::string::npos) << text;

    TSerialForm loaded(nullptr);
    Read(text, loaded);
    ASSERT_NE(loaded.Port(), nullptr);
    for (const auto& h : PortHandlers) {
        const TMethod m =
            GetPropInfo(loaded.Port()->ClassType(), h.Event)->GetMethod(loaded.Port());
        EXPECT_EQ(m.Name(), h.Handler) << h.Event;
        EXPECT_EQ(m.Data, &loaded) << h.Event;
    }
    EXPECT_EQ(Write(loaded), text);
}

TEST_F(PublishedEventsTest, ABoundNotifyHandlerStartsTheEventThreadWhenTheReadPortOpens) {
    for (const bool bound : {false, true}) {
        SCOPED_TRACE(bound ? "OnRxChar bound" : "no handler, as in the program");
        const int threads = ThreadCount();
        std::string text;
        {
            TSerialForm saved(nullptr);
            Build(saved, false);
            Bind(saved.Port(), "AfterOpen", &saved, "PortOpenClose");
            if (bound) Bind(saved.Port(), "OnRxChar", &saved, "PortRxChar");
            saved.Port()->Open(); // stored as Active, so the read port opens itself
            text = Write(saved);
        }
        TSerialForm loaded(nullptr);
        Read(text, loaded);
        ASSERT_TRUE(loaded.Port()->Active());
        EXPECT_EQ(loaded.OpenClose, 1);
        EXPECT_EQ(SettledThreadCount(threads + bound), threads + bound);
        if (bound) {
            Pty.Send("x");
            EXPECT_TRUE(PumpUntil([&] { return loaded.RxChars > 0; }));
        }
        loaded.Port()->Close();
        EXPECT_EQ(SettledThreadCount(threads), threads);
    }
}

TEST_F(PublishedEventsTest, AHandlerReadIntoAnOpenPortStartsAndStopsTheEventThreadAtOnce) {
    TSerialForm form(nullptr);
    Build(form, false);
    const int threads = ThreadCount();
    form.Port()->Open();
    const struct {
        const char* Value;
        int Threads;
    } steps[] = {{"PortRxChar", 1}, {"nil", 0}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Value);
        TStringStream text{AnsiString("object ComPort1: TComPort\r\n  OnRxChar = ") + step.Value +
                           "\r\nend\r\n"};
        TMemoryStream binary;
        ObjectTextToBinary(&text, &binary);
        binary.SetPosition(0);
        // The port's own stream, its handlers named after the form's methods.
        TReader reader(&binary);
        reader.SetMethodRoot(&form);
        reader.ReadRootComponent(form.Port());
        EXPECT_EQ(SettledThreadCount(threads + step.Threads), threads + step.Threads);
        if (!step.Threads) continue;
        Pty.Send("x");
        EXPECT_TRUE(PumpUntil([&] { return form.RxChars > 0; }));
    }
}

TEST_F(PublishedEventsTest, TheSignalsHandlerComesBackAndALitSignalIsNotStored) {
    TSerialForm saved(nullptr);
    Build(saved, true);
    Bind(saved.Port(), "OnRxChar", &saved, "PortRxChar");
    Bind(saved.Signal(), "OnSignal", &saved, "SignalChange");
    const std::string text = Write(saved);
    EXPECT_NE(text.find("    OnSignal = SignalChange\r\n"), std::string::npos) << text;

    TSerialForm loaded(nullptr);
    Read(text, loaded);
    loaded.Port()->Open();
    Pty.Send("x");
    // The signal took over the form's handler and passes each call on to it.
    ASSERT_TRUE(PumpUntil([&] { return loaded.RxChars > 0; }));
    EXPECT_TRUE(loaded.Signal()->SignalValue());
    EXPECT_EQ(loaded.Signals, 1);
    const std::string lit = Write(loaded); // open, lit: the state stays out
    EXPECT_EQ(lit.find("SignalValue"), std::string::npos) << lit;
    EXPECT_EQ(lit.find("ModemStatus"), std::string::npos) << lit;
    EXPECT_NE(lit.find("    OnSignal = SignalChange\r\n"), std::string::npos) << lit;
}

} // namespace
