// The live sampling loop as both windows run it, on the converter's ±20 kV/m
// range: the same readings give the same current figure and maxima on the
// chart and on the large display; the chart leaves a gap for the no-value mark.
#include "app_fixture.h"
#include <climits>

namespace {
// A reading whose every attempt fails: the converter's no-value mark.
constexpr int NoValueMark = INT_MIN;

struct TLoopCase {
    const char* Name;
    std::vector<int> Counts; // one reading each (1 count is 2.148 mV)
    const char* Current;
    // nullptr: the figure as the window opened it.
    const char* PosText;
    const char* NegText;
    double PosMax, NegMax;
};

void PrintTo(const TLoopCase& c, std::ostream* os) {
    *os << c.Name;
}

const double PerCount = 2.148e-3 * 20;

const TLoopCase LoopCases[] = {
    {"FiguresAndBothMaxima",
     {100, -200, 50},
     "2.15kV/m",
     "4.30kV/m",
     "-8.59kV/m",
     100 * PerCount,
     -200 * PerCount},
    // 1.5 V: beyond 1.02 V but its whole part is 1, so it is not read again.
    {"BeyondTheInputIsOverflow",
     {698},
     "OVERFLOW !",
     "OVERFLOW !",
     nullptr,
     698 * PerCount,
     NoReading},
    {"NegativeBeyondTheInput",
     {-698},
     "OVERFLOW !",
     nullptr,
     "OVERFLOW !",
     -NoReading,
     -698 * PerCount},
    // The no-value mark (9999 mV) is taken as a reading beyond the input.
    {"NoValueMarkIsOverflow",
     {100, NoValueMark},
     "OVERFLOW !",
     "OVERFLOW !",
     nullptr,
     9.999 * 20,
     NoReading},
    {"ZeroChangesNeitherMaximum", {0}, "0.00kV/m", nullptr, nullptr, -NoReading, NoReading},
};

enum class TWindow { Chart, Display };

class LiveLoopTest : public AppTest,
                     public ::testing::WithParamInterface<std::tuple<TLoopCase, TWindow>> {
protected:
    const TLoopCase& Case() const { return std::get<0>(GetParam()); }
    // Queues the readings; returns the converter requests they take.
    int QueueReadings() {
        int requests = 0;
        for (int counts : Case().Counts) {
            if (counts == NoValueMark) {
                // Every pass of both attempts fails at its first request.
                for (int i = 0; i < 42; ++i)
                    FakeUsb::QueueReply({-5, {}});
                requests += 42;
            } else {
                QueueCounts(counts);
                requests += 2;
            }
        }
        return requests;
    }
    // Runs the window until the queued readings are taken; Stop or Break then.
    void RunChart(int Requests) {
        MainForm->Grafik1->Click();
        TPumpScript script;
        script.When([=, this] { return Taken() >= Requests; }).Click(MainForm->b_Stop_);
        MainForm->b_Start->Click();
        EXPECT_TRUE(script.Done());
    }
    void RunDisplay(int Requests) {
        TFormDisplay* d = FormDisplay;
        TPumpScript script;
        script.Click(d->b_Start)
            .When([=, this] { return Taken() >= Requests; })
            .Click(d->b_Stop)
            .Click(d->bCancel);
        MainForm->Display->Click();
        EXPECT_TRUE(script.Done());
    }
    int Taken() const { return FakeUsb::Log().Controls - Before; }
    int Before = 0;
};
} // namespace

TEST_P(LiveLoopTest, ShowsTheReadingsAndMaxima) {
    const TLoopCase& c = Case();
    const TWindow window = std::get<1>(GetParam());
    PlugConverter();
    Start();
    Item("N20kVm1")->Click();
    const int requests = QueueReadings();
    Before = FakeUsb::Log().Controls;
    AnsiString current, pos, neg;
    if (window == TWindow::Chart) {
        RunChart(requests);
        current = Text(MainForm->Messwert);
        pos = Text(MainForm->Maxwert);
        neg = Text(MainForm->Minwert);
        TChartSeries* s = MainForm->Series1;
        ASSERT_EQ(s->Count(), static_cast<int>(c.Counts.size()));
        for (int i = 0; i < s->Count(); ++i)
            EXPECT_EQ(s->IsNull(i), c.Counts[i] == NoValueMark) << i;
    } else {
        RunDisplay(requests);
        TFormDisplay* d = FormDisplay;
        current = d->LabelMesswert->Caption();
        pos = d->LabelPosMaximum_Value->Caption();
        neg = d->LabelNegMaximum_Value->Caption();
        // "OVERFLOW !" takes the maxima's smaller font.
        if (c.PosText)
            EXPECT_EQ(d->LabelPosMaximum_Value->Font()->Size(),
                      AnsiString(c.PosText) == "OVERFLOW !" ? 35 : 50);
    }
    const AnsiString opened = window == TWindow::Chart ? "0.00kV/m" : "0kV/m";
    EXPECT_EQ(current, c.Current);
    EXPECT_EQ(pos, c.PosText ? AnsiString(c.PosText) : opened);
    EXPECT_EQ(neg, c.NegText ? AnsiString(c.NegText) : opened);
    EXPECT_NEAR(MainForm->PosMax, c.PosMax, 1e-9);
    EXPECT_NEAR(MainForm->NegMax, c.NegMax, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Windows, LiveLoopTest,
                         ::testing::Combine(::testing::ValuesIn(LoopCases),
                                            ::testing::Values(TWindow::Chart, TWindow::Display)),
                         [](const auto& i) {
                             return std::string(std::get<0>(i.param).Name) +
                                    (std::get<1>(i.param) == TWindow::Chart ? "_Chart"
                                                                            : "_Display");
                         });
