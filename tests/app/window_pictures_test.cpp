// What the windows show, read from their pixels: large figures that are not
// cut away and status texts that fit the box that shows them.
#include "app/rxm850.h"
#include "app_fixture.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include "support/rxm_sim.h"

namespace {
// The box around the dark (text) pixels of a control as it is on screen.
struct TInk {
    int Left = 0, Top = 0, Right = -1, Bottom = -1, Width = 0, Height = 0;
    bool Any() const { return Right >= Left; }
};

TInk InkOf(TControl* Control) {
    TBitmap face(Control->Width(), Control->Height());
    GrabControl(Control, &face);
    TInk ink;
    ink.Width = face.Width();
    ink.Height = face.Height();
    ink.Left = face.Width();
    ink.Top = face.Height();
    for (int y = 0; y < face.Height(); ++y)
        for (int x = 0; x < face.Width(); ++x) {
            const uint32_t c = face.Canvas()->Pixels(x, y);
            if ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) >= 3 * 80) continue;
            ink.Left = std::min(ink.Left, x);
            ink.Right = std::max(ink.Right, x);
            ink.Top = std::min(ink.Top, y);
            ink.Bottom = std::max(ink.Bottom, y);
        }
    return ink;
}

class WindowPicturesTest : public AppTest {};
} // namespace

TEST_F(WindowPicturesTest, ResistanceFiguresShowWhole) {
    TRxmSimulator sim;
    Time.Clock.Attach(&sim);
    Start();
    FoCom->ComPort1->SetDeviceName(sim.Path().c_str());
    Item("RXM_850_Start")->Click();
    TFormRXM850* w = FormRXM850;
    w->BitBtn_init->Click();
    w->BitBtn_start->Click();
    Time.Clock.Detach(&sim);
    ASSERT_EQ(w->Label_RXM_Me->Caption(), "1.2 MOhm");

    const TInk value = InkOf(w->Label_RXM_Me);
    ASSERT_TRUE(value.Any());
    EXPECT_GT(value.Right - value.Left, 200) << "a 50-point figure";
    EXPECT_GT(value.Left, 0);
    EXPECT_LT(value.Right, value.Width - 1) << "not cut at the right";
    EXPECT_GT(value.Right, value.Width * 3 / 4) << "right-aligned";
    for (TLabel* l : {w->Label_RXM_Hu, w->Label_RXM_Te}) {
        const TInk ink = InkOf(l);
        ASSERT_TRUE(ink.Any()) << l->Name().c_str();
        EXPECT_GT(ink.Right - ink.Left, 40) << l->Name().c_str();
        EXPECT_LT(ink.Bottom, ink.Height - 1) << l->Name().c_str();
    }
}

TEST_F(WindowPicturesTest, SamplingPeriodFitsTheStatusBoxOfTheLargeDisplay) {
    PlugConverter();
    for (int i = 0; i < 50; ++i)
        QueueCounts(100);
    Start();
    Item("N20kVm1")->Click();
    TFormDisplay* d = FormDisplay;
    TInk status;
    TPumpScript script;
    script.Click(d->b_Start)
        .After(3)
        .Do([&] { status = InkOf(d->Memo_Status); })
        .Click(d->b_Stop)
        .Click(d->bCancel);
    MainForm->Display->Click();
    ASSERT_TRUE(script.Done());
    ASSERT_TRUE(status.Any());
    EXPECT_LT(status.Bottom - status.Top, 16) << "one line";
    EXPECT_LT(status.Bottom, status.Height - 3) << "not cut at the bottom";
    EXPECT_LT(status.Right, status.Width - 3) << "not cut at the right";
}

// Every converter range's widest figures, a full-scale negative reading and
// "OVERFLOW !", show whole on the large display: a lost minus sign would turn
// the reading positive.
TEST_F(WindowPicturesTest, LargeDisplayFiguresOfEveryRangeShowWhole) {
    PlugConverter();
    Start();
    const char* ranges[] = {"N200kVm2",           "N2MVm1", "N20kVVP31max2kV1", "N10kVmax4kV1",
                            "N200kVmMessblende1", "N2kV1",  "N200Vm1"};
    TFormDisplay* d = FormDisplay;
    for (const char* range : ranges) {
        Item(range)->Click();
        QueueCounts(-465); // -0.999 V: the negative full scale
        QueueCounts(700);  // 1.5 V: beyond the input
        std::vector<std::pair<AnsiString, TInk>> shown;
        auto look = [&](TLabel* l) { shown.emplace_back(l->Caption(), InkOf(l)); };
        TPumpScript script;
        script.Click(d->b_Start)
            .When([d] { return d->LabelMesswert->Caption().Pos("-") == 1; })
            .Do([&] {
                look(d->LabelMesswert);
                look(d->LabelNegMaximum_Value);
            })
            .When([d] { return d->LabelMesswert->Caption() == "OVERFLOW !"; })
            .Do([&] {
                look(d->LabelMesswert);
                look(d->LabelPosMaximum_Value);
            })
            .Click(d->b_Stop)
            .Click(d->bCancel);
        MainForm->Display->Click();
        ASSERT_TRUE(script.Done()) << range;
        for (const auto& [text, ink] : shown) {
            ASSERT_TRUE(ink.Any()) << range << " " << text.c_str();
            EXPECT_GT(ink.Left, 0) << range << " " << text.c_str() << ": cut at the left";
            EXPECT_LT(ink.Right, ink.Width - 1) << range << " " << text.c_str();
            EXPECT_GT(ink.Right - ink.Left, ink.Width / 3) << range << " " << text.c_str();
        }
        FakeUsb::Reset();
        PlugConverter();
    }
}
