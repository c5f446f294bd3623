// Every way back from a serial instrument's window to the main window: the
// View menu comes back only while a range is the device chosen, since View
// would read any other choice's port as a plate monitor.
#include "app/pgt300.h"
#include "app/rxm850.h"
#include "app/rxmcalimenu.h"
#include "app/setcpm.h"
#include "app_fixture.h"
#include "platform/forms/buttons.h"
#include "platform/forms/menus.h"
#include "platform/forms/testhooks.h"
#include "support/cpm_sim.h"
#include "support/pgt_sim.h"
#include "support/rxm_sim.h"
#include <tuple>

namespace {
class ViewAfterInstrumentTest;
struct TInstrumentCase {
    const char* Name;
    const char* Item; // the Device menu item that opens it
    std::function<TInstrumentForm*()> Window;
    std::function<TControl*()> Exit;
    std::function<TSerialSimulator&(ViewAfterInstrumentTest&)> Sim;
    // What the window gives back when a range is still the choice.
    bool ViewForARange;
};
void PrintTo(const TInstrumentCase& c, std::ostream* os) {
    *os << c.Name;
}
enum class TWay { Exit, CloseBox };
// Chosen when the window is left: the instrument, as its menu item makes it,
// or a range the window was shown over.
enum class TChoice { Instrument, Range };
void PrintTo(TWay w, std::ostream* os) {
    *os << (w == TWay::Exit ? "Exit" : "close box");
}
void PrintTo(TChoice c, std::ostream* os) {
    *os << (c == TChoice::Instrument ? "instrument chosen" : "range chosen");
}
using TParam = std::tuple<TInstrumentCase, TWay, TChoice>;

class ViewAfterInstrumentTest : public AppTest, public ::testing::WithParamInterface<TParam> {
public:
    ViewAfterInstrumentTest() {
        char arg0[] = "qmreadout", arg1[] = "calibrate";
        char* argv[] = {arg0, arg1, nullptr};
        InitCommandLine(2, argv);
        Start();
        for (TSerialSimulator* s :
             {static_cast<TSerialSimulator*>(&Cpm), static_cast<TSerialSimulator*>(&Rxm),
              static_cast<TSerialSimulator*>(&Pgt)})
            Time.Clock.Attach(s);
    }
    ~ViewAfterInstrumentTest() override {
        for (TSerialSimulator* s :
             {static_cast<TSerialSimulator*>(&Cpm), static_cast<TSerialSimulator*>(&Rxm),
              static_cast<TSerialSimulator*>(&Pgt)})
            Time.Clock.Detach(s);
    }
    TCpmSimulator Cpm;
    TRxmSimulator Rxm;
    TPgtSimulator Pgt;
};

const TInstrumentCase Instruments[] = {
    {"PlateMonitor", "CPM_Start", [] { return static_cast<TInstrumentForm*>(CPMSetup); },
     [] { return CPMSetup->BitBtnCancel; },
     [](ViewAfterInstrumentTest& t) -> TSerialSimulator& { return t.Cpm; }, false},
    {"ResistanceMeter", "RXM_850_Start", [] { return static_cast<TInstrumentForm*>(FormRXM850); },
     [] { return FormRXM850->BitBtn_exit; },
     [](ViewAfterInstrumentTest& t) -> TSerialSimulator& { return t.Rxm; }, false},
    {"Calibration", "RXM_Calibrate", [] { return static_cast<TInstrumentForm*>(FormRXMCali); },
     [] { return FormRXMCali->BitBtn_exit; },
     [](ViewAfterInstrumentTest& t) -> TSerialSimulator& { return t.Rxm; }, true},
    {"GroundingTester", "Start_PGT300", [] { return static_cast<TInstrumentForm*>(FormPGT300); },
     [] { return FormPGT300->BitBtn_Cancel; },
     [](ViewAfterInstrumentTest& t) -> TSerialSimulator& { return t.Pgt; }, false},
};

std::string NameOf(const ::testing::TestParamInfo<TParam>& info) {
    const auto& [c, way, choice] = info.param;
    return std::string(c.Name) + (way == TWay::Exit ? "Exit" : "CloseBox") +
           (choice == TChoice::Instrument ? "InstrumentChosen" : "RangeChosen");
}
} // namespace

TEST_P(ViewAfterInstrumentTest, GivesViewBackOnlyForARange) {
    const auto& [c, way, choice] = GetParam();
    FoCom->ComPort1->SetDeviceName(c.Sim(*this).Path().c_str());
    Item("N20kVm1")->Click();
    ASSERT_TRUE(MainForm->View->Enabled());
    if (choice == TChoice::Instrument) {
        Item(c.Item)->Click();
        EXPECT_FALSE(MainForm->View->Enabled());
    } else {
        c.Window()->Show();
        MainForm->SetEnabled(false);
    }
    ASSERT_TRUE(c.Window()->Visible());

    if (way == TWay::Exit)
        SimulateClick(c.Exit());
    else
        SimulateCloseBox(c.Window());
    EXPECT_FALSE(c.Window()->Visible());
    EXPECT_TRUE(MainForm->Enabled());
    EXPECT_TRUE(MainForm->Device->Enabled());
    EXPECT_FALSE(FoCom->ComPort1->Active());
    EXPECT_EQ(MainForm->View->Enabled(), choice == TChoice::Range && c.ViewForARange);
}

INSTANTIATE_TEST_SUITE_P(Ways, ViewAfterInstrumentTest,
                         ::testing::Combine(::testing::ValuesIn(Instruments),
                                            ::testing::Values(TWay::Exit, TWay::CloseBox),
                                            ::testing::Values(TChoice::Instrument, TChoice::Range)),
                         NameOf);
