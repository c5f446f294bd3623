#include "comm/seriell.h"
#include "fake_host.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "support/cpm_sim.h"
#include "support/external_tool.h"
#include <cstdlib>
#include <fstream>
#include <functional>
#include <locale.h>

namespace {
const std::string Stx = "\x02", Etx = "\x03";

class CpmTest : public InstrumentTest<TCpmSimulator> {
protected:
    CpmTest() {
        // As the plate-monitor window does: "r0" on the same object.
        Host.OnReadIdentity = [this] {
            AnsiString version, serial, date;
            Cpm.ReadIdentity(version, serial, date);
            Cpm._struct_setup[0] = version;
            Cpm._struct_setup[1] = serial;
            Cpm._struct_setup[2] = date;
        };
    }
    void FillSetup(const std::vector<const char*>& words) {
        for (size_t i = 0; i < words.size(); ++i)
            Cpm._struct_setup[3 + i] = words[i];
    }
    C_CPM_EF Cpm;
};
} // namespace

TEST_F(CpmTest, TransactSendsEnquiryThenTheFrameAndReturnsTheText) {
    Sim.Change([&] { Sim.SetupFields = "12"; });
    EXPECT_EQ(Cpm.Transact("r1"), "12");
    EXPECT_EQ(Sim.Received(), "\x05" + Stx + "r1" + Etx);
    Sim.Change([&] { Sim.SetupFields = ""; });
    EXPECT_EQ(Cpm.Transact("r1"), Etx); // STX ETX leaves the single ETX
}

TEST_F(CpmTest, IdentityAndSetupComeFromFixedColumns) {
    AnsiString version, serial, date;
    Cpm.ReadIdentity(version, serial, date);
    EXPECT_EQ(version, "CPM 690  V6.10 ");
    EXPECT_EQ(serial, "12345678");
    EXPECT_EQ(date, "010524");
    Cpm.ReadSetup();
    const char* fields[] = {"00", "00", "00", "00", "10", "09", "05", "02", "01"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Cpm._struct_setup[3 + i], fields[i]) << i;
}

TEST_F(CpmTest, ShortSetupReplyIsRefusedNotReadAsZeros) {
    Cpm._struct_setup[11] = "keep";
    Sim.SetFault(TSerialSimulator::ShortFrame);
    EXPECT_EQ(ErrorOf([&] { Cpm.ReadSetup(); }), "Invalid reply from the instrument");
    EXPECT_EQ(Cpm._struct_setup[11], "keep");
}

TEST_F(CpmTest, WriteSetupSendsTheNineBytesAsHex) {
    FillSetup({"0", "0", "0", "0", "16", "9", "5", "2", "1"});
    Cpm.WriteSetup();
    EXPECT_EQ(Host.IdentityReads, 1);
    EXPECT_EQ(Sim.Commands(), (std::vector<std::string>{"r0", "w1"}));
    EXPECT_EQ(Sim.SetupPayload(), "000000001009050201");
    EXPECT_TRUE(Host.Boxes.empty());
}

TEST_F(CpmTest, WriteSetupRefusesAWordThatIsNoByteBeforeSendingAnything) {
    for (const char* bad : {"x1", "256", "-1"}) {
        FillSetup({"0", "0", "0", "0", bad, "9", "5", "2", "1"});
        Sim.ClearLog();
        EXPECT_THROW(Cpm.WriteSetup(), EConvertError) << bad;
        EXPECT_EQ(Sim.Received(), "") << bad;
    }
}

TEST_F(CpmTest, EFieldModeOnVersion610AnnouncesButAsksTheOperator) {
    FillSetup({"0", "0", "0", "0", "16", "9", "5", "2", "1"});
    Host.Version610 = true;
    Host.Device = 103;
    Cpm.WriteSetup();
    EXPECT_EQ(Sim.Commands().back(), "w1");
    EXPECT_EQ(Sim.SetupPayload(), "");
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text,
              "Please, select at the CPM 690 manually the E-Field mode and select the range !");
    EXPECT_EQ(Host.Boxes[0].Icon, ciInformation);
}

TEST_F(CpmTest, WriteSetupWithoutTheEnquiryAnswerTimesOut) {
    FillSetup({"0", "0", "0", "0", "16", "9", "5", "2", "1"});
    Host.OnReadIdentity = nullptr;
    Sim.SetFault(TSerialSimulator::WrongAck);
    EXPECT_EQ(ErrorOf([&] { Cpm.WriteSetup(); }), "Timeout");
    EXPECT_TRUE(Sim.Commands().empty()); // "w1" never went out
}

TEST_F(CpmTest, DisplayReadingsAndUnitsUnderAnyLocale) {
    const std::string plate = "PLATE           ";
    const struct {
        std::string display;
        double value;
        const char* unit;
    } cases[] = {
        {std::string("V-METER     ") + '\0' + "1kV" + "       -0,512 kV", -0.512, "kV"},
        {"E-FIELD METER          -0,512 kV", -0.512, " kV"},
        {plate + "      123,4 V   ", 123.4, " V   "},
        {plate + "12345     V     ", 9999.0, "   OVR !"}, // digits before 7
        {plate + "  OVERFLOW      ", 9999.0, "old"},
        {plate + "      - -  V    ", 9999.0, "   OVR !"},
    };
    // The instrument writes a decimal comma whatever the user's separator or
    // the C library's locale (the toolkit switches it to the user's at start).
    TTempFolder folder;
    std::ofstream(folder.File("comma.src").c_str())
        << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3;3\nEND LC_NUMERIC\n";
    (void)!std::system(("localedef -c -i " + folder.File("comma.src").str() +
                        " -f ANSI_X3.4-1968 " + folder.File("xx_XX").str() + " >/dev/null 2>&1")
                           .c_str());
    const char* path = std::getenv("LOCPATH");
    const std::string savedPath = path ? path : "";
    ::setenv("LOCPATH", folder.Folder().c_str(), 1);
    const locale_t comma = newlocale(LC_NUMERIC_MASK, "xx_XX", static_cast<locale_t>(0));
    path ? ::setenv("LOCPATH", savedPath.c_str(), 1) : ::unsetenv("LOCPATH");
    // Without localedef the first pass runs under the C locale only.
    if (!comma && qmtest::UnderCi()) ADD_FAILURE() << "localedef made no locale (needs locales)";

    const char saved = DecimalSeparator;
    for (const auto& [separator, locale] : {std::pair{'.', comma}, std::pair{',', locale_t(0)}})
        for (const auto& c : cases) {
            DecimalSeparator = separator;
            const locale_t previous = locale ? uselocale(locale) : locale_t(0);
            Sim.Change([&] { Sim.Display = c.display; });
            double value = 0;
            AnsiString unit = "old";
            const AnsiString text = Cpm.ReadDisplay(value, unit);
            DecimalSeparator = saved;
            if (previous) uselocale(previous);
            EXPECT_EQ(text.Length(), 32);
            EXPECT_DOUBLE_EQ(value, c.value) << c.display << separator;
            EXPECT_EQ(unit, c.unit) << c.display;
        }
    if (comma) freelocale(comma);
    EXPECT_EQ(Port.Timeouts()->ReadMultiplier(), 100);
}

TEST_F(CpmTest, MisbehavingInstrumentNeverYieldsAReading) {
    const struct {
        TSerialSimulator::TFault fault;
        const char* error;
    } cases[] = {
        {TSerialSimulator::Silent, "Timeout"},
        {TSerialSimulator::Garbage, "Invalid reply from the instrument"},
        {TSerialSimulator::ShortFrame, "Invalid reply from the instrument"},
        {TSerialSimulator::HangUpOnCommand, "The device is not connected."},
    };
    for (const auto& c : cases) {
        Sim.SetFault(c.fault, 1);
        double value = 1.5;
        AnsiString unit = "u";
        EXPECT_EQ(ErrorOf([&] { Cpm.ReadDisplay(value, unit); }), c.error) << c.fault;
        EXPECT_EQ(value, 1.5);
        EXPECT_EQ(unit, "u");
        Sim.SetFault(TSerialSimulator::None);
    }
}

TEST_F(CpmTest, StaleBytesFromAnEarlierExchangeAreDropped) {
    Sim.Inject(Stx + "OLDREPLY" + Etx + "\x06");
    Sim.Settle();
    EXPECT_EQ(Cpm.Transact("r1"), "000000001009050201");
}

TEST_F(CpmTest, BreakSendsBell) {
    Cpm.Break();
    EXPECT_EQ(Sim.Received(), "\x07");
}

// An instrument that acknowledges at once but answers 3 s late: its reply to
// one request falls due while the next is waiting for its own. Each wait
// makes the first reply arrive just after the second request went out.
TEST_F(CpmTest, ALateReplyIsNeverTakenForTheNextRequestsAnswer) {
    using TRequest = std::function<void(C_CPM_EF&)>;
    const TRequest identity = [](C_CPM_EF& c) {
        AnsiString v, s, d;
        c.ReadIdentity(v, s, d);
        c._struct_setup[0] = v;
    };
    const TRequest setup = [](C_CPM_EF& c) { c.ReadSetup(); };
    const TRequest display = [](C_CPM_EF& c) {
        double value = 0;
        AnsiString unit;
        c._struct_setup[0] = c.ReadDisplay(value, unit);
    };
    const struct {
        const char* Name;
        TRequest First, Second;
        uint32_t Wait;
    } cases[] = {
        {"identity, then set-up", identity, setup, 2943},
        {"set-up, then identity", setup, identity, 2943},
        {"identity, then display", identity, display, 2895},
        {"display, then identity", display, identity, 2848},
    };
    for (const auto& c : cases) {
        C_CPM_EF cpm;
        cpm._struct_setup.fill("kept");
        Sim.Change([&] { Sim.ReplyDelayMs = 3000; });
        EXPECT_EQ(ErrorOf([&] { c.First(cpm); }), "Timeout") << c.Name;
        Sleep(c.Wait);
        EXPECT_EQ(ErrorOf([&] { c.Second(cpm); }), "Invalid reply from the instrument") << c.Name;
        for (const AnsiString& word : cpm._struct_setup)
            EXPECT_EQ(word, "kept") << c.Name;
        // Once the instrument keeps time again, the stale reply is purged
        // before the next request.
        Sim.Change([&] { Sim.ReplyDelayMs = 0; });
        Sleep(3100);
        cpm.ReadSetup();
        EXPECT_EQ(cpm._struct_setup[7], "10") << c.Name;
    }
}

TEST_F(CpmTest, RepliesOfAnotherFormAreRefused) {
    const struct {
        const char* Fields;
    } setups[] = {{"00000000100905020"},
                  {"0000000010090502011"},
                  {"00000000100905020x"},
                  {"00000000100905020a"}};
    for (const auto& c : setups) {
        Sim.Change([&] { Sim.SetupFields = c.Fields; });
        EXPECT_EQ(ErrorOf([&] { Cpm.ReadSetup(); }), "Invalid reply from the instrument")
            << c.Fields;
    }
    Sim.Change([&] { Sim.Identity += "0"; });
    AnsiString v, s, d;
    EXPECT_EQ(ErrorOf([&] { Cpm.ReadIdentity(v, s, d); }), "Invalid reply from the instrument");
    Sim.Change([&] { Sim.Display += " "; });
    double value = 0;
    EXPECT_EQ(ErrorOf([&] { Cpm.ReadDisplay(value, v); }), "Invalid reply from the instrument");
}
