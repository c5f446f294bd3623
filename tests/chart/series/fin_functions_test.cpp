// Indicator, statistical, fitting and smoothing functions over one short price
// series, against values an independent script works out from the definitions
// (tests/support/fin_expected.py), and the edge cases worked out by hand.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/series/candlech.h"
#include "chart/series/curvfitt.h"
#include "chart/series/statchar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teevolumefunctions.h"
#include "platform/rtl/datetime.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <memory>
#include <sstream>

namespace {

using TExpected = std::map<std::string, std::vector<double>>;

// Runs the script once; an empty map when python3 is missing (outside CI).
const TExpected& Expected() {
    static TExpected result = [] {
        TExpected r;
        // __FILE__ may be relative to the build folder; look from here upwards.
        namespace fs = std::filesystem;
        fs::path script;
        const fs::path here = fs::path(__FILE__).parent_path() / "../../support/fin_expected.py";
        for (fs::path dir = fs::current_path(); script.empty(); dir = dir.parent_path()) {
            for (const fs::path& c : {dir / here, dir / "tests/support/fin_expected.py"})
                if (fs::exists(c)) script = c;
            if (dir == dir.parent_path()) break;
        }
        const std::string cmd = "python3 '" + script.string() + "' 2>/dev/null";
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) return r;
        char line[8192];
        while (std::fgets(line, sizeof line, p)) {
            std::istringstream in(line);
            std::string key;
            in >> key;
            double v;
            while (in >> v)
                r[key].push_back(v);
        }
        pclose(p);
        return r;
    }();
    return result;
}

#define REQUIRE_EXPECTED()                                                                         \
    do {                                                                                           \
        if (Expected().empty()) {                                                                  \
            const char* ci = std::getenv("CI");                                                    \
            if (ci && std::string(ci) == "true") FAIL() << "python3 is needed under CI";           \
            GTEST_SKIP() << "python3 missing";                                                     \
        }                                                                                          \
    } while (0)

const double O[] = {10, 11, 12, 11, 13, 14, 13, 15};
const double H[] = {12, 13, 13, 14, 15, 16, 15, 17};
const double L[] = {9, 10, 11, 10, 12, 13, 12, 14};
const double C[] = {11, 12, 11, 13, 14, 13, 15, 16};
const double V[] = {100, 200, 150, 300, 250, 100, 400, 350};

class FinFunctionTest : public ::testing::Test {
protected:
    FinFunctionTest() {
        TeeExtraSeriesStartup();
        Chart->SetAutoRepaint(false);
        Prices = new TCandleSeries(Chart.get());
        Prices->SetParentChart(Chart.get());
        Volumes = new TVolumeSeries(Chart.get());
        Volumes->SetParentChart(Chart.get());
        for (int i = 0; i < 8; ++i) {
            Prices->AddOHLC(i + 1, O[i], H[i], L[i], C[i]);
            Volumes->AddXY(i + 1, V[i]);
        }
    }

    // An output line carrying F over Source; Setup runs before the data source is set.
    template <typename F> F* Apply(TChartSeries* Source, std::function<void(F*)> Setup = nullptr) {
        Out = new TLineSeries(Chart.get());
        Out->SetParentChart(Chart.get());
        auto* f = new F(Chart.get());
        Out->SetFunction(f);
        if (Setup) Setup(f);
        Out->SetDataSource(Source);
        return f;
    }

    static std::vector<double> Ys(TChartSeries* S) {
        std::vector<double> r;
        for (int i = 0; i < S->Count(); ++i)
            r.push_back(S->YValues()->Value(i));
        return r;
    }

    static void ExpectValues(const std::vector<double>& Got, const std::string& Key) {
        const std::vector<double>& want = Expected().at(Key);
        ASSERT_EQ(Got.size(), want.size()) << Key;
        for (size_t i = 0; i < want.size(); ++i)
            EXPECT_NEAR(Got[i], want[i], 1e-9 * std::max(1.0, std::fabs(want[i])))
                << Key << " [" << i << "]";
    }

    std::unique_ptr<TChart> Chart = std::make_unique<TChart>(nullptr);
    TCandleSeries* Prices;
    TVolumeSeries* Volumes;
    TLineSeries* Out = nullptr;
};

TEST_F(FinFunctionTest, MovingFunctionsMatchTheScript) {
    REQUIRE_EXPECTED();
    Apply<TMovingAverageFunction>(Prices, [](auto* f) { f->SetPeriod(3); });
    ExpectValues(Ys(Out), "ma3");
    EXPECT_EQ(Out->XValues()->Value(0), 3); // at the window's last point
    Apply<TMovingAverageFunction>(Prices, [](auto* f) {
        f->SetPeriod(3);
        f->SetWeightedIndex(true);
    });
    ExpectValues(Ys(Out), "ma3_index");
    Apply<TMovingAverageFunction>(Prices, [](auto* f) {
        f->SetPeriod(3);
        f->SetWeighted(true);
    });
    ExpectValues(Ys(Out), "ma3_x");
    Apply<TExpAverageFunction>(Prices);
    ExpectValues(Ys(Out), "expavg");
    Apply<TExpMovAveFunction>(Prices, [](auto* f) { f->SetPeriod(3); });
    ExpectValues(Ys(Out), "ema3");
    Apply<TMomentumFunction>(Prices, [](auto* f) { f->SetPeriod(3); });
    ExpectValues(Ys(Out), "momentum3");
    Apply<TMomentumDivFunction>(Prices, [](auto* f) { f->SetPeriod(3); });
    ExpectValues(Ys(Out), "momdiv3");
    Apply<TStochasticFunction>(Prices, [](auto* f) { f->SetPeriod(3); });
    ExpectValues(Ys(Out), "stoch3");
    Apply<TRSIFunction>(Prices, [](auto* f) {
        f->SetPeriod(3);
        f->SetStyle(rsiClose);
    });
    ExpectValues(Ys(Out), "rsi3_close");
    Apply<TRSIFunction>(Prices, [](auto* f) { f->SetPeriod(3); });
    ExpectValues(Ys(Out), "rsi3_openclose");
    Apply<TPerformanceFunction>(Prices);
    ExpectValues(Ys(Out), "performance");
    Apply<TCumulative>(Prices);
    ExpectValues(Ys(Out), "cumulative");
}

TEST_F(FinFunctionTest, MACDAndADXLinesMatchTheScript) {
    REQUIRE_EXPECTED();
    auto* macd = Apply<TMACDFunction>(Prices, [](auto* f) {
        f->SetPeriod(5);
        f->SetPeriod2(3);
        f->SetPeriod3(2);
    });
    ExpectValues(Ys(Out), "macd");
    ExpectValues(Ys(macd->SignalLine()), "macd_signal");
    ExpectValues(Ys(macd->Histogram()), "macd_hist");
    EXPECT_EQ(macd->SignalLine()->ParentChart(), Chart.get());
    auto* adx = Apply<TADXFunction>(Prices, [](auto* f) { f->SetPeriod(3); });
    ExpectValues(Ys(Out), "adx3");
    ExpectValues(Ys(adx->UpLine()), "adx3_up");
    ExpectValues(Ys(adx->DownLine()), "adx3_down");
    EXPECT_EQ(Out->XValues()->Value(0), 5); // first ADX at 2 x period - 2
}

TEST_F(FinFunctionTest, StatisticalFunctionsMatchTheScript) {
    REQUIRE_EXPECTED();
    TStdDeviationFunction sd(nullptr);
    TRMSFunction rms(nullptr);
    std::vector<double> all, part;
    for (bool complete : {true, false}) {
        sd.SetComplete(complete);
        all.push_back(sd.Calculate(Prices, -1, -1));
        part.push_back(sd.Calculate(Prices, 1, 4));
    }
    for (bool complete : {true, false}) {
        rms.SetComplete(complete);
        all.push_back(rms.Calculate(Prices, -1, -1));
        part.push_back(rms.Calculate(Prices, 1, 4));
    }
    ExpectValues(all, "stats_all");
    ExpectValues(part, "stats_1_4");
    for (bool exp : {true, false}) {
        auto* b = Apply<TBollingerFunction>(Prices, [exp](auto* f) {
            f->SetPeriod(3);
            f->SetExponential(exp);
        });
        const std::string key = exp ? "bollinger3_exp" : "bollinger3_plain";
        ExpectValues(Ys(Out), key);
        ExpectValues(Ys(b->LowBand()), key + "_low");
    }
}

TEST_F(FinFunctionTest, PriceAndVolumeFunctionsMatchTheScript) {
    REQUIRE_EXPECTED();
    Apply<TCCIFunction>(Prices, [](auto* f) { f->SetPeriod(3); });
    ExpectValues(Ys(Out), "cci3");
    Apply<TCLVFunction>(Prices, [this](auto* f) { f->SetVolume(Volumes); });
    ExpectValues(Ys(Out), "clv");
    Apply<TOBVFunction>(Prices, [this](auto* f) { f->SetVolume(Volumes); });
    ExpectValues(Ys(Out), "obv");
    Apply<TPVOFunction>(Volumes, [](auto* f) {
        f->SetPeriod(3);
        f->SetPeriod2(5);
    });
    ExpectValues(Ys(Out), "pvo");
}

TEST_F(FinFunctionTest, FitsTrendsAndSplineMatchTheScript) {
    REQUIRE_EXPECTED();
    for (int degree = 1; degree <= 5; ++degree) {
        Apply<TCurveFittingFunction>(Prices, [degree](auto* f) { f->SetPolyDegree(degree); });
        ExpectValues(Ys(Out), "fit" + std::to_string(degree));
    }
    Apply<TTrendFunction>(Prices);
    ExpectValues(Ys(Out), "trend");
    Apply<TExpTrendFunction>(Prices);
    ExpectValues(Ys(Out), "exptrend");
    Apply<TSmoothingFunction>(Prices, [](auto* f) { f->SetFactor(2); });
    std::vector<double> xs;
    for (int i = 0; i < Out->Count(); ++i)
        xs.push_back(Out->XValues()->Value(i));
    ExpectValues(xs, "spline_x");
    ExpectValues(Ys(Out), "spline_y");
}

// ---------------------------------------------------------------------------
// Worked by hand

TEST_F(FinFunctionTest, PeriodsLongerThanTheDataGiveNoPoints) {
    Apply<TMovingAverageFunction>(Prices, [](auto* f) { f->SetPeriod(20); });
    EXPECT_EQ(Out->Count(), 0);
    Apply<TBollingerFunction>(Prices, [](auto* f) { f->SetPeriod(9); });
    EXPECT_EQ(Out->Count(), 0);
    auto* adx = Apply<TADXFunction>(Prices, [](auto* f) { f->SetPeriod(5); }); // 8 < 10
    EXPECT_EQ(Out->Count(), 0);
    EXPECT_EQ(adx->UpLine()->Count(), 0);
    Apply<TCCIFunction>(Prices, [](auto* f) { f->SetPeriod(8); });
    EXPECT_EQ(Out->Count(), 0);
}

TEST_F(FinFunctionTest, SinglePointSources) {
    TCandleSeries one(nullptr);
    one.SetParentChart(Chart.get());
    one.AddOHLC(1, 5, 6, 4, 5.5);
    Apply<TExpMovAveFunction>(&one);
    EXPECT_EQ(Out->Count(), 0);
    auto* macd = Apply<TMACDFunction>(&one);
    EXPECT_EQ(Out->Count(), 0);
    EXPECT_EQ(macd->SignalLine()->Count(), 0);
    EXPECT_EQ(macd->Histogram()->Count(), 0);
    Apply<TTrendFunction>(&one);
    EXPECT_EQ(Out->Count(), 0);
    Apply<TCurveFittingFunction>(&one);
    EXPECT_EQ(Out->Count(), 0); // fewer points than coefficients
    Apply<TBollingerFunction>(&one, [](auto* f) { f->SetPeriod(1); });
    EXPECT_EQ(Out->Count(), 0);
    // A single point stays where it is.
    Apply<TSmoothingFunction>(&one);
    ASSERT_EQ(Out->Count(), 1);
    EXPECT_EQ(Out->XValues()->Value(0), 1);
    EXPECT_EQ(Out->YValues()->Value(0), 5.5);
    TStdDeviationFunction sd(nullptr);
    EXPECT_EQ(sd.Calculate(&one, -1, -1), 0);
    TRMSFunction rms(nullptr);
    EXPECT_EQ(rms.Calculate(&one, -1, -1), 0);
}

TEST_F(FinFunctionTest, FlatPricesGiveZeroInsteadOfDividingByZero) {
    TCandleSeries flat(nullptr);
    flat.SetParentChart(Chart.get());
    for (int i = 0; i < 30; ++i)
        flat.AddOHLC(i, 7, 7, 7, 7);
    for (auto run : std::vector<std::function<void()>>{
             [&] { Apply<TStochasticFunction>(&flat, [](auto* f) { f->SetPeriod(3); }); },
             [&] { Apply<TCCIFunction>(&flat, [](auto* f) { f->SetPeriod(3); }); },
             [&] { Apply<TCLVFunction>(&flat); },
             [&] { Apply<TADXFunction>(&flat, [](auto* f) { f->SetPeriod(3); }); }}) {
        run();
        ASSERT_GT(Out->Count(), 0);
        for (double y : Ys(Out))
            EXPECT_EQ(y, 0);
    }
    // No falling move: RSI 100.
    Apply<TRSIFunction>(&flat, [](auto* f) {
        f->SetPeriod(3);
        f->SetStyle(rsiClose);
    });
    for (double y : Ys(Out))
        EXPECT_EQ(y, 100);
}

TEST_F(FinFunctionTest, IncrementalWindowsEqualWindowByWindow) {
    TLineSeries src(nullptr);
    src.SetParentChart(Chart.get());
    for (int i = 0; i < 300; ++i)
        src.AddXY(i + 1, std::sin(i * 0.37) * 50 + (i % 7));
    src.SetYValue(100, std::numeric_limits<double>::quiet_NaN());
    for (int style = 0; style < 3; ++style) {
        auto* f = Apply<TMovingAverageFunction>(&src, [style](auto* m) {
            m->SetPeriod(25);
            m->SetWeighted(style == 1);
            m->SetWeightedIndex(style == 2);
        });
        ASSERT_EQ(Out->Count(), 300 - 24);
        for (int t = 24; t < 300; ++t) {
            const double want = f->Calculate(&src, t - 24, t), got = Out->YValues()->Value(t - 24);
            if (t >= 100 && t < 125)
                EXPECT_TRUE(std::isnan(got)) << t; // only windows holding the NaN
            else
                EXPECT_NEAR(got, want, 1e-9) << style << " " << t;
        }
    }
}

TEST_F(FinFunctionTest, ExpAverageWeightBounds) {
    TExpAverageFunction f(nullptr);
    f.SetWeight(0);
    f.SetWeight(1);
    EXPECT_EQ(f.Weight(), 1);
    try {
        f.SetWeight(1.5);
        FAIL();
    } catch (const ChartException& e) {
        EXPECT_STREQ(e.what(), "ExpAverage Weight must be between 0 and 1");
    }
    EXPECT_EQ(f.Weight(), 1);
}

TEST_F(FinFunctionTest, FittingLimitsAndSingularSystems) {
    TCurveFittingFunction f(nullptr);
    for (int bad : {0, 21})
        EXPECT_THROW(f.SetPolyDegree(bad), ChartException);
    EXPECT_EQ(f.PolyDegree(), 5);
    EXPECT_THROW(f.GetAnswerVector(6), ChartException);
    // Factor 4 over 10 points: 9 intervals of 4 and the last point.
    TLineSeries ten(nullptr);
    ten.SetParentChart(Chart.get());
    for (int i = 0; i < 10; ++i)
        ten.AddXY(i, i * i);
    Apply<TCurveFittingFunction>(&ten, [](auto* c) {
        c->SetFactor(4);
        c->SetPolyDegree(3);
    });
    EXPECT_EQ(Out->Count(), 37);
    EXPECT_NEAR(Out->YValues()->Value(2), 0.25, 1e-9); // x = 0.5 on y = x^2
    // All X equal: no single answer.
    TLineSeries column(nullptr);
    for (double y : {1, 2, 3, 4})
        column.AddXY(5, y);
    TLineSeries out(nullptr);
    auto* g = new TCurveFittingFunction(&out);
    out.SetFunction(g);
    g->SetPolyDegree(2);
    try {
        g->AddPoints(&column);
        FAIL();
    } catch (const ChartException& e) {
        EXPECT_STREQ(e.what(), "Cannot process fitting");
    }
    // The linear trend of a vertical set of points is y = x.
    Apply<TTrendFunction>(&column);
    ASSERT_EQ(Out->Count(), 2);
    EXPECT_EQ(Out->YValues()->Value(0), 5);
}

TEST_F(FinFunctionTest, SmoothingPointCountsAndEnds) {
    TLineSeries src(nullptr);
    src.SetParentChart(Chart.get());
    for (int i = 0; i < 200; ++i)
        src.AddXY(i, (i * 37) % 11);
    auto* f = Apply<TSmoothingFunction>(&src);
    EXPECT_EQ(Out->Count(), 601); // fragments capped at 600
    f->SetFactor(0);
    EXPECT_EQ(f->Factor(), 1);
    Apply<TSmoothingFunction>(Prices);
    ASSERT_EQ(Out->Count(), 33);
    EXPECT_NEAR(Out->XValues()->Value(0), 1, 1e-9);
    EXPECT_NEAR(Out->YValues()->Value(0), C[0], 1e-9);
    EXPECT_NEAR(Out->XValues()->Value(32), 8, 1e-9);
    EXPECT_NEAR(Out->YValues()->Value(32), C[7], 1e-9);
}

TEST_F(FinFunctionTest, CrossPointsCountAndVolumeEnds) {
    TLineSeries a(nullptr), b(nullptr), never(nullptr);
    for (auto* s : {&a, &b, &never})
        s->SetParentChart(Chart.get());
    a.AddXY(0, 0), a.AddXY(2, 2), a.AddXY(4, 0);
    b.AddXY(0, 2), b.AddXY(2, 0), b.AddXY(4, 2);
    never.AddXY(0, 10), never.AddXY(4, 10);
    Out = new TLineSeries(Chart.get());
    Out->SetParentChart(Chart.get());
    Out->SetFunction(new TCrossPointsFunction(Chart.get()));
    Out->InternalAddDataSource(&a);
    Out->InternalAddDataSource(&b);
    Out->FunctionType()->AddPoints(&a);
    ASSERT_EQ(Out->Count(), 2);
    EXPECT_NEAR(Out->XValues()->Value(0), 1, 1e-12);
    EXPECT_NEAR(Out->YValues()->Value(1), 1, 1e-12);
    Out->RemoveDataSource(&b);
    Out->InternalAddDataSource(&never);
    Out->FunctionType()->AddPoints(&a);
    EXPECT_EQ(Out->Count(), 0);
    // Without volumes OBV is empty; a shorter volume series ends it early.
    TVolumeSeries shortVolume(nullptr);
    shortVolume.AddXY(1, 5), shortVolume.AddXY(2, 6);
    auto* obv = Apply<TOBVFunction>(Prices);
    EXPECT_EQ(Out->Count(), 0);
    obv->SetVolume(&shortVolume);
    Out->CheckDataSource();
    EXPECT_EQ(Out->Count(), 2);
}

TEST_F(FinFunctionTest, PerformanceFromZeroIsZero) {
    TLineSeries src(nullptr);
    src.SetParentChart(Chart.get());
    for (double v : {0, 5, 10})
        src.Add(v);
    Apply<TPerformanceFunction>(&src);
    EXPECT_EQ(Ys(Out), (std::vector<double>{0, 0, 0}));
}

TEST_F(FinFunctionTest, CompressionGroupsByCountAndByWeek) {
    auto* candles = new TCandleSeries(Chart.get());
    candles->SetParentChart(Chart.get());
    auto* f = new TCompressFunction(Chart.get());
    candles->SetFunction(f);
    f->SetPeriod(3);
    candles->SetDataSource(Prices);
    ASSERT_EQ(candles->Count(), 3);
    EXPECT_EQ(candles->OpenValues()->Value(0), 10);
    EXPECT_EQ(candles->HighValues()->Value(0), 13);
    EXPECT_EQ(candles->LowValues()->Value(0), 9);
    EXPECT_EQ(candles->CloseValues()->Value(1), 13); // the last close of points 3..5
    // Weekly: Wed 3 Jan 2024, Fri 5 Jan, Mon 8 Jan, Tue 23 Jan (two weeks later).
    TCandleSeries days(nullptr);
    days.SetParentChart(Chart.get());
    int k = 0;
    for (int d : {3, 5, 8, 23}) {
        ++k;
        days.AddOHLC(EncodeDate(2024, 1, d), k, k + 1, k - 1, k);
    }
    f->SetPeriod(0);
    candles->SetDataSource(&days);
    ASSERT_EQ(candles->Count(), 3);
    EXPECT_EQ(candles->CloseValues()->Value(0), 2);
    EXPECT_EQ(candles->OpenValues()->Value(1), 3);
    EXPECT_EQ(candles->OpenValues()->Value(2), 4);
}

} // namespace
