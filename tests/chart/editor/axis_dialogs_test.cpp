// The increment and minimum/maximum dialogs of the axis page: bad text shows
// why and leaves the dialog open and the axis and its picture as they were.
#include "chart/editor/teeaxisincr.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teecontrols.h"
#include "platform/forms/extctrls.h"
#include "dialogs_fixture.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"

namespace {

struct BadInput {
    const char* Name;
    bool Increment; // else the minimum/maximum dialog
    bool IsMax;
    const char* Text;
    const char* Reason;
};

void PrintTo(const BadInput& B, std::ostream* Os) {
    *Os << B.Name;
}

class AxisBadInputTest : public DialogsTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(AxisBadInputTest, RefusedWithReasonNothingChanged) {
    const BadInput& in = GetParam();
    TChartAxis* axis = Chart->LeftAxis();
    axis->SetMinMax(0, 100);
    axis->SetIncrement(10);
    const auto pixels = Pixels();
    TPumpScript script;
    auto refuse = [&](TButton* Ok, TCustomForm* Form, TButton* Cancel) {
        Responder.ExpectMessage(AnsiString("Incorrect value. Reason: ") + in.Reason, IDOK);
        SimulateClick(Ok);
        EXPECT_TRUE(Responder.Done()) << in.Name;
        EXPECT_EQ(Form->ModalResult(), mrNone) << "dialog closed on " << in.Name;
        SimulateClick(Cancel);
    };
    bool changed;
    if (in.Increment) {
        OnModal<TAxisIncrement>(script, [&](TAxisIncrement* d) {
            EXPECT_FALSE(d->CBSteps->Visible());
            d->ECustom->SetText(in.Text);
            refuse(d->BOk, d, d->BCancel);
        });
        changed = EditAxisIncrement(Chart.get(), axis);
    } else {
        OnModal<TAxisMaxMin>(script, [&](TAxisMaxMin* d) {
            EXPECT_EQ(d->Label1->Caption(), "Value:");
            EXPECT_FALSE(d->EMinimum->Visible());
            d->EMaximum->SetText(in.Text);
            refuse(d->BitBtn1, d, d->BitBtn2);
        });
        changed = EditAxisMaxMin(Chart.get(), axis, in.IsMax);
    }
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(changed);
    EXPECT_EQ(axis->Minimum(), 0);
    EXPECT_EQ(axis->Maximum(), 100);
    EXPECT_EQ(axis->Increment(), 10);
    EXPECT_FALSE(axis->AutomaticMaximum());
    EXPECT_EQ(Pixels(), pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisBadInputTest,
    ::testing::Values(
        BadInput{"IncrementEmpty", true, false, "", "A value is needed"},
        BadInput{"IncrementLetters", true, false, "ten", "'ten' is not a valid number"},
        BadInput{"IncrementNegative", true, false, "-5", "Axis increment must be >= 0"},
        BadInput{"MaximumEmpty", false, true, "  ", "A value is needed"},
        BadInput{"MaximumLetters", false, true, "1e", "'1e' is not a valid number"},
        BadInput{"MaximumDateOnValueAxis", false, true, "12/31/2024",
                 "'12/31/2024' is not a valid number"},
        BadInput{"MaximumBelowMinimum", false, true, "-1", "Axis Maximum Value must be >= Minimum"},
        BadInput{"MinimumAboveMaximum", false, false, "101",
                 "Axis Minimum Value must be <= Maximum"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

class DateAxisDialogTest : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        DateSeparator = '/';
        TimeSeparator = ':';
        ShortDateFormat = "m/d/yyyy";
        LongTimeFormat = "hh:mm:ss";
        Line->XValues()->SetDateTime(true);
        Axis = Chart->BottomAxis();
        Axis->SetMinMax(EncodeDate(2024, 1, 1), EncodeDate(2024, 1, 31));
    }
    TChartAxis* Axis = nullptr;
};

TEST_F(DateAxisDialogTest, DaysAndTimeGiveTwoAndAHalfDays) {
    TPumpScript script;
    OnModal<TAxisIncrement>(script, [](TAxisIncrement* d) {
        EXPECT_TRUE(d->CBExact->Visible());
        SimulateClick(d->RadioGroup1->Buttons(1));
        d->ECustom->SetText("2 12:00");
        SimulateClick(d->BOk);
    });
    ASSERT_TRUE(EditAxisIncrement(Chart.get(), Axis));
    EXPECT_DOUBLE_EQ(Axis->Increment(), 2.5);
}

TEST_F(DateAxisDialogTest, StandardStepIsStoredExactly) {
    Axis->SetIncrement(DateTimeStep[dtOneWeek]);
    Axis->SetExactDateTime(true);
    TPumpScript script;
    OnModal<TAxisIncrement>(script, [](TAxisIncrement* d) {
        EXPECT_EQ(d->RadioGroup1->ItemIndex(), 0);
        EXPECT_EQ(d->CBSteps->Text(), "One Week");
        EXPECT_FALSE(d->ECustom->Enabled());
        Choose(d->CBSteps, "One Month");
        SimulateClick(d->BOk);
    });
    ASSERT_TRUE(EditAxisIncrement(Chart.get(), Axis));
    EXPECT_DOUBLE_EQ(Axis->Increment(), DateTimeStep[dtOneMonth]);
    EXPECT_TRUE(Axis->ExactDateTime());
}

TEST_F(DateAxisDialogTest, BadTimeInDaysAndTimeIsRefused) {
    Axis->SetIncrement(1);
    TPumpScript script;
    OnModal<TAxisIncrement>(script, [this](TAxisIncrement* d) {
        SimulateClick(d->RadioGroup1->Buttons(1));
        d->ECustom->SetText("2 25:00");
        Responder.ExpectMessage("'25:00' is not a valid time", IDOK);
        SimulateClick(d->BOk);
        SimulateClick(d->BCancel);
    });
    EXPECT_FALSE(EditAxisIncrement(Chart.get(), Axis));
    EXPECT_EQ(Axis->Increment(), 1);
}

TEST_F(DateAxisDialogTest, MaximumTakesDateAndTimeAndLeavesAuto) {
    TPumpScript script;
    OnModal<TAxisMaxMin>(script, [this](TAxisMaxMin* d) {
        EXPECT_EQ(d->EMaximum->Text(), "1/31/2024");
        EXPECT_EQ(d->EMinimum->Text(), "00:00:00");
        d->EMaximum->SetText("2/29/2024");
        d->EMinimum->SetText("06:00");
        SimulateClick(d->BitBtn1);
    });
    ASSERT_TRUE(EditAxisMaxMin(Chart.get(), Axis, true));
    EXPECT_DOUBLE_EQ(Axis->Maximum(), EncodeDate(2024, 2, 29) + 0.25);
    EXPECT_FALSE(Axis->AutomaticMaximum());
}

TEST_F(DateAxisDialogTest, ImpossibleDateIsRefused) {
    const double max = Axis->Maximum();
    TPumpScript script;
    OnModal<TAxisMaxMin>(script, [this](TAxisMaxMin* d) {
        d->EMaximum->SetText("2/30/2024");
        Responder.ExpectMessage("'2/30/2024' is not a valid date", IDOK);
        SimulateClick(d->BitBtn1);
        SimulateClick(d->BitBtn2);
    });
    EXPECT_FALSE(EditAxisMaxMin(Chart.get(), Axis, true));
    EXPECT_EQ(Axis->Maximum(), max);
}

TEST(IncrementText, DaysTimesAndSteps) {
    LongTimeFormat = "hh:mm:ss";
    TimeSeparator = ':';
    EXPECT_EQ(DateTimeIncrementText(1), "1");
    EXPECT_EQ(DateTimeIncrementText(2.5), "2 12:00:00");
    EXPECT_EQ(DateTimeIncrementText(0), "00:00:01");
    EXPECT_EQ(DateTimeIncrementText(0.25), "06:00:00");
    EXPECT_EQ(GetIncrementText(nullptr, 7, true, true, ""), "One Week");
    EXPECT_EQ(GetIncrementText(nullptr, 7, true, false, ""), "7");
    EXPECT_EQ(GetIncrementText(nullptr, 0.5, false, false, "0.00"), "0.50");
}

} // namespace
