#include "comm/seriell.h"
#include "fake_host.h"
#include "platform/win32/kernel.h"
#include "support/cpm_sim.h"
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

namespace {
using S = TCpmSimulator;
constexpr uint32_t Red = TCommSeriesSink::Red, Blue = TCommSeriesSink::Blue,
                   Black = TCommSeriesSink::Black, Yellow = TCommSeriesSink::Yellow,
                   Green = TCommSeriesSink::Green;

using TCurve = std::vector<std::pair<double, uint32_t>>;

struct TDecay {
    int VStart = -1, VStop = -1, TOffset = -1;
    double Pos = -1, Neg = -1, OffsetV = -1;
    bool Aborted = false;
};

class DecayTest : public InstrumentTest<TCpmSimulator> {
protected:
    TDecay Run() {
        TDecay d;
        Cpm.MeasureDecay(d.VStart, d.VStop, d.TOffset, d.Pos, d.Neg, d.OffsetV, d.Aborted);
        return d;
    }
    // The decay curve as (voltage, colour) pairs.
    TCurve Curve() const {
        TCurve c;
        for (const auto& p : Host.Series[0].Points)
            c.push_back({p.Y, p.Colour});
        return c;
    }
    C_CPM_EF Cpm;
};
} // namespace

TEST_F(DecayTest, PositiveDecayDrawsTheSpikeAndRedPointsUntilBelow90) {
    Sim.Change([&] {
        Sim.DecayFrames = {S::SampleFrame(0, 1000), S::SampleFrame(0, 800),
                           S::SampleFrame(0, 95),   S::SampleFrame(0, 80),
                           S::SampleFrame(0, 40),   S::ResultFrame(1000, 100, 20, 23, 123, 100)};
    });
    const TDecay d = Run();
    EXPECT_FALSE(d.Aborted);
    EXPECT_EQ(d.VStart, 1000);
    EXPECT_EQ(d.VStop, 100);
    EXPECT_EQ(d.TOffset, 20);
    EXPECT_DOUBLE_EQ(d.Pos, 2.3);
    EXPECT_DOUBLE_EQ(d.Neg, 12.3);
    EXPECT_DOUBLE_EQ(d.OffsetV, 100);
    EXPECT_EQ(Curve(), (TCurve{{1200, Red}, {1000, Red}, {800, Red}, {95, Red}}));
    // The result frame is no sample: the label shows the last plate voltage.
    EXPECT_EQ(Host.OffsetLabels,
              (std::vector<AnsiString>{"1000 V", "800 V", "95 V", "80 V", "40 V"}));
    EXPECT_EQ(Host.OffsetCaptions, (std::vector<AnsiString>{"Plate voltage", "Offset"}));
    EXPECT_EQ(Host.ChartHides, 1);
    EXPECT_EQ(Cpm._struct_results.StartVoltage, 1000);
    EXPECT_DOUBLE_EQ(Cpm._struct_results.DecayTimeNeg, 12.3);
    // Reference lines from 0 to the point count (3 curve points) inclusive.
    const struct {
        double y;
        uint32_t colour;
    } lines[] = {{1000, Black}, {100, Black}, {-1000, Yellow}, {-100, Yellow}, {0, Green}};
    for (int n = 0; n < 5; ++n) {
        const auto& points = Host.Series[1 + n].Points;
        ASSERT_EQ(points.size(), 4u) << n;
        EXPECT_EQ(points[3].X, 3);
        EXPECT_EQ(points[0].Y, lines[n].y) << n;
        EXPECT_EQ(points[3].Colour, lines[n].colour) << n;
    }
    EXPECT_GE(Host.Pumps, 6);
}

TEST_F(DecayTest, NegativeSampleAndOffsetPhase) {
    // State 0x04: negative; the word 2C01 is 300 V.
    Sim.Change([&] {
        Sim.DecayFrames = {S::SampleFrame(0x04, 300),
                           S::SampleFrame(0x04, 150),
                           S::SampleFrame(0x00, 10),
                           S::SampleFrame(0x20, 50),
                           S::SampleFrame(0x20, 500),
                           S::SampleFrame(0x00, 500),
                           S::ResultFrame(500, 0, 10, 1, 2, -100)};
    });
    const TDecay d = Run();
    EXPECT_EQ(Host.OffsetLabels.front(), "-300 V");
    // Offset phase: blue points, and no spike afterwards even above 100 V.
    EXPECT_EQ(Curve(), (TCurve{{-1200, Red}, {-300, Red}, {-150, Red}, {50, Blue}, {500, Blue}}));
    EXPECT_DOUBLE_EQ(d.OffsetV, -100); // sign marker at character 27
}

// Whatever the voltage, the sample that begins the offset phase is no spike.
TEST_F(DecayTest, NoSpikeOnceTheOffsetPhaseBegan) {
    const struct {
        std::vector<std::string> Frames;
        TCurve Drawn;
    } cases[] = {
        {{S::SampleFrame(0x20, 500)}, {{500, Blue}}},
        {{S::SampleFrame(0x24, 1200)}, {{-1200, Blue}}},
        {{S::SampleFrame(0x00, 1000), S::SampleFrame(0x00, 50), S::SampleFrame(0x20, 300)},
         {{1200, Red}, {1000, Red}, {300, Blue}}},
        {{S::SampleFrame(0x04, 400), S::SampleFrame(0x00, 10), S::SampleFrame(0x24, 100)},
         {{-1200, Red}, {-400, Red}, {-100, Blue}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Frames.back());
        Sim.Change([&] {
            Sim.DecayFrames = c.Frames;
            Sim.DecayFrames.push_back(S::ResultFrame(1000, 100, 20, 1, 1, 0));
        });
        Run();
        EXPECT_EQ(Curve(), c.Drawn);
    }
}

TEST_F(DecayTest, BreakEndsTheTestThroughTheAbortFrame) {
    Sim.Change([&] {
        for (int i = 0; i < 200; ++i)
            Sim.DecayFrames.push_back(S::SampleFrame(0, 1000 - i));
    });
    Host.OnPump = [this] {
        if (Host.Pumps == 3) Cpm.Break();
    };
    const TDecay d = Run();
    EXPECT_TRUE(d.Aborted);
    EXPECT_EQ(d.VStart, 0);
    EXPECT_EQ(d.Pos, 0);
    EXPECT_EQ(d.OffsetV, 0);
    EXPECT_LT(Host.OffsetLabels.size(), 10u);
    for (const auto& p : Host.Series[1].Points)
        EXPECT_EQ(p.Y, 0);
    EXPECT_EQ(Host.OffsetCaptions.back(), "Offset");
}

TEST_F(DecayTest, SilentStreamTimesOutAndRestoresTheCaption) {
    Sim.Change([&] { Sim.DecayFrames = {S::SampleFrame(0, 1000)}; });
    EXPECT_EQ(ErrorOf([&] { Run(); }), "Timeout");
    EXPECT_EQ(Host.OffsetCaptions.back(), "Offset");
}

TEST_F(DecayTest, CutOffSamplesAreLeftOut) {
    // Cut inside the state byte, and one voltage digit short (the frame end
    // would be read as a digit).
    std::string oneDigitShort = S::SampleFrame(0, 0x2C1);
    oneDigitShort.erase(oneDigitShort.size() - 2, 1);
    Sim.Change([&] {
        Sim.DecayFrames = {"\x02"
                           "00E8"
                           "\x03",
                           oneDigitShort, S::SampleFrame(0, 1000),
                           S::ResultFrame(1000, 100, 0, 5, 5, 0)};
    });
    Run();
    EXPECT_EQ(Host.OffsetLabels, (std::vector<AnsiString>{"1000 V"}));
}

TEST_F(DecayTest, TestOutputFileHoldsOnlyThisTestsSamples) {
    TTempFolder home;
    const char* savedHome = std::getenv("HOME");
    const std::optional<std::string> saved =
        savedHome ? std::optional<std::string>(savedHome) : std::nullopt;
    ::setenv("HOME", home.Folder().c_str(), 1);
    Host.Test = true;
    for (int test = 0; test < 2; ++test) {
        Sim.Change([&] {
            Sim.DecayFrames = {S::SampleFrame(0x02, 1000 + test), S::SampleFrame(0x24, 20),
                               S::ResultFrame(1000, 100, 0, 5, 5, 0)};
        });
        Run();
    }
    saved ? ::setenv("HOME", saved->c_str(), 1) : ::unsetenv("HOME");
    std::ifstream in(home.File("TestData.TXT").c_str());
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    EXPECT_EQ(text.find("1000;"), std::string::npos);
    EXPECT_NE(text.find("\r\n1001;1;0;00000010\r\n-20;0;1;00100100\r\n"), std::string::npos)
        << text;
}

TEST_F(DecayTest, TestOutputThatCannotBeWrittenCostsNoResult) {
    TTempFolder home;
    std::filesystem::create_directories(home.File("TestData.TXT").c_str());
    const char* savedHome = std::getenv("HOME");
    const std::optional<std::string> saved =
        savedHome ? std::optional<std::string>(savedHome) : std::nullopt;
    ::setenv("HOME", home.Folder().c_str(), 1);
    Host.Test = true;
    Sim.Change([&] {
        Sim.DecayFrames = {S::SampleFrame(0x02, 1000), S::ResultFrame(1000, 100, 20, 23, 45, 7)};
    });
    TDecay d;
    EXPECT_NO_THROW(d = Run());
    saved ? ::setenv("HOME", saved->c_str(), 1) : ::unsetenv("HOME");
    EXPECT_EQ(d.VStart, 1000);
    EXPECT_DOUBLE_EQ(d.Pos, 2.3);
    EXPECT_DOUBLE_EQ(d.Neg, 4.5);
    EXPECT_DOUBLE_EQ(Cpm._struct_results.DecayTimeNeg, 4.5);
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text.Pos("The test output could not be written: "), 1)
        << Host.Boxes[0].Text.c_str();
    EXPECT_NE(Host.Boxes[0].Text.Pos(home.File("TestData.TXT")), 0) << Host.Boxes[0].Text.c_str();
}
