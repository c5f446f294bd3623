// Price series in pictures (candle bodies and wicks, bar ticks, volume lines),
// candle colours and clicks, sample values, chart files and gallery entries of
// the price series and of every function.
#include "chart/control/series_fixture.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/series/candlech.h"
#include "chart/series/curvfitt.h"
#include "chart/series/statchar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teevolumefunctions.h"
#include "platform/classes/streams.h"
#include <cmath>
#include <cstring>
#include <limits>

namespace {

class FinSeriesTest : public SeriesChartTest {
protected:
    FinSeriesTest() { TeeExtraSeriesStartup(); }

    // Pixels of S's picture that differ from the one drawn candle by candle
    // (a per-point handler makes every candle draw).
    int DifferFromEveryCandle(TCandleSeries* S, const std::string& Name) {
        Render("dense_candles_" + Name);
        std::vector<TColor> culled(W * H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                culled[y * W + x] = Pixel(x, y);
        S->OnGetPointerStyle = [S](TChartSeries*, int) { return S->Pointer()->Style(); };
        Render("dense_candles_each_" + Name);
        S->OnGetPointerStyle = nullptr;
        int differ = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                differ += culled[y * W + x] != Pixel(x, y);
        return differ;
    }
};

// An up candle (blue body 20..30) and a down candle (red body 30..20), both
// with wicks to 10 and 40, on axes 0..50 by 0..3.
TEST_F(FinSeriesTest, CandleBodiesAndWicksAtTheirPrices) {
    auto* s = Add<TCandleSeries>();
    s->SetUpCloseColor(clBlue);
    s->SetCandleWidth(10);
    s->AddOHLC(1, 20, 40, 10, 30);
    s->AddOHLC(2, 30, 40, 10, 20);
    Ranges(0, 3, 0, 50);
    Render("candle_stick");
    for (int i : {1, 2}) {
        const int x = XPos(i);
        const TColor body = i == 1 ? clBlue : clRed;
        EXPECT_EQ(Pixel(x - 3, YPos(25)), body) << i;
        EXPECT_EQ(Pixel(x + 4, YPos(25)), body) << i; // right half is width - left half
        EXPECT_EQ(Pixel(x - 6, YPos(25)), clWhite) << i;
        EXPECT_EQ(Pixel(x + 7, YPos(25)), clWhite) << i;
        EXPECT_EQ(Pixel(x, YPos(35)), clBlack) << i; // upper wick
        EXPECT_EQ(Pixel(x, YPos(15)), clBlack) << i; // lower wick
        EXPECT_EQ(Pixel(x + 2, YPos(35)), clWhite) << i;
        EXPECT_EQ(Pixel(x, YPos(45)), clWhite) << i; // nothing above the high
    }
}

// In 3D the wicks stand at the series' middle depth, and so does a flat body;
// with Draw3D the body is a cube whose front face is at the series' front depth.
TEST_F(FinSeriesTest, CandleBodyAndWicksIn3DAtTheirProjectedPositions) {
    Chart->SetView3D(true);
    auto* s = Add<TCandleSeries>();
    s->SetUpCloseColor(clBlue);
    s->SetCandleWidth(10);
    s->AddOHLC(1, 20, 40, 10, 30);
    Ranges(0, 2, 0, 50);
    for (bool cube : {false, true}) {
        s->SetCandleDraw3D(cube);
        Render(cube ? "candle_3d_cube" : "candle_3d_flat");
        const int x = XPos(1), middle = s->MiddleZ(), body = cube ? s->StartZ() : middle;
        const auto at = [&](int X, double Price, int Z) {
            const TPoint p = Chart->Canvas()->Calculate3DPosition(X, YPos(Price), Z);
            return Pixel(p.x, p.y);
        };
        EXPECT_EQ(at(x - 3, 25, body), clBlue) << cube;
        EXPECT_EQ(at(x + 3, 25, body), clBlue) << cube;
        EXPECT_EQ(at(x - 7, 25, body), clWhite) << cube;
        EXPECT_EQ(at(x, 35, middle), clBlack) << cube; // upper wick
        EXPECT_EQ(at(x, 15, middle), clBlack) << cube; // lower wick
        EXPECT_EQ(at(x + 2, 35, middle), clWhite) << cube;
        EXPECT_EQ(at(x, 45, middle), clWhite) << cube; // nothing above the high
    }
}

TEST_F(FinSeriesTest, BarStyleTicksAndLineStyleRange) {
    auto* s = Add<TCandleSeries>();
    s->SetCandleStyle(csCandleBar);
    s->SetCandleWidth(10);
    s->AddOHLC(1, 20, 40, 10, 30);
    Ranges(0, 2, 0, 50);
    Render("candle_bar");
    const int x = XPos(1);
    EXPECT_EQ(Pixel(x - 4, YPos(20)), clWhite); // open tick left, in the up colour
    EXPECT_EQ(Pixel(x, YPos(20)), clWhite);
    EXPECT_EQ(Pixel(x + 4, YPos(30)), clWhite);
    s->SetUpCloseColor(clGreen);
    Render("candle_bar_green");
    EXPECT_EQ(Pixel(x - 4, YPos(20)), clGreen);
    EXPECT_EQ(Pixel(x + 4, YPos(30)), clGreen);
    EXPECT_EQ(Pixel(x + 4, YPos(20)), clWhite); // no open tick on the right
    EXPECT_EQ(Pixel(x, YPos(35)), clGreen);
    s->SetShowOpenTick(false);
    Render("candle_bar_noopen");
    EXPECT_EQ(Pixel(x - 4, YPos(20)), clWhite);
    // The line style's range follows the closes only.
    s->SetCandleStyle(csLine);
    EXPECT_EQ(s->MaxYValue(), 30);
    EXPECT_EQ(s->MinYValue(), 30);
    s->SetCandleStyle(csOpenClose);
    EXPECT_EQ(s->MaxYValue(), 40);
    EXPECT_EQ(s->MinYValue(), 10);
}

TEST_F(FinSeriesTest, CandleColours) {
    auto* s = Add<TCandleSeries>();
    // flat first (up), down, flat equal to the previous close (takes down),
    // flat above the previous close (up), flat equal again (takes up), rise.
    const double oc[][2] = {{5, 5}, {6, 4}, {4, 4}, {7, 7}, {7, 7}, {1, 2}};
    for (int i = 0; i < 6; ++i)
        s->AddOHLC(i, oc[i][0], 9, 0, oc[i][1]);
    const TColor want[] = {clWhite, clRed, clRed, clWhite, clWhite, clWhite};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(s->CandleColor(i), want[i]) << i;
    s->SetValueColor(1, clYellow); // an own colour wins, and is inherited by a flat follower
    EXPECT_EQ(s->CandleColor(1), clYellow);
    EXPECT_EQ(s->CandleColor(2), clYellow);
    EXPECT_EQ(s->LegendItemColor(0), clWhite);
}

TEST_F(FinSeriesTest, ClicksFindTheCandleUnderTheMouse) {
    auto* s = Add<TCandleSeries>();
    EXPECT_EQ(s->Clicked(10, 10), -1);
    s->SetCandleWidth(10);
    s->AddOHLC(1, 20, 40, 10, 30);
    s->AddOHLC(2, 30, 40, 10, 20);
    Ranges(0, 3, 0, 50);
    Render("candle_click");
    EXPECT_EQ(s->Clicked(XPos(1) + 3, YPos(25)), 0);
    EXPECT_EQ(s->Clicked(XPos(2), YPos(38)), 1); // on the wick
    EXPECT_EQ(s->Clicked(XPos(2) + 3, YPos(38)), -1);
    EXPECT_EQ(s->Clicked(XPos(1), YPos(48)), -1);
}

TEST_F(FinSeriesTest, VolumeLinesRunFromTheAxisOrTheOrigin) {
    auto* s = Add<TVolumeSeries>();
    s->AddXY(1, 30);
    s->AddXY(2, -10);
    Ranges(0, 3, -20, 50);
    Render("volume");
    const int bottom = Chart->LeftAxis()->IEndPos;
    EXPECT_EQ(Pixel(XPos(1), YPos(20)), clRed);
    EXPECT_EQ(Pixel(XPos(1), bottom - 2), clRed);
    EXPECT_EQ(Pixel(XPos(1), YPos(35)), clWhite);
    s->SetUseYOrigin(true);
    Render("volume_origin");
    EXPECT_EQ(Pixel(XPos(1), YPos(-5)), clWhite); // from 30 down to the origin 0 only
    EXPECT_EQ(Pixel(XPos(2), YPos(-5)), clRed);
    EXPECT_EQ(s->Clicked(XPos(2), YPos(-5)), 1);
}

TEST_F(FinSeriesTest, SamplePricesAreConsistent) {
    for (int k = 0; k < 3; ++k) {
        Chart->FreeAllSeries();
        TChartSeries* s = k == 0   ? Add<TCandleSeries>()
                          : k == 1 ? static_cast<TChartSeries*>(Add<TBigCandleSeries>())
                                   : Add<TVolumeSeries>();
        s->FillSampleValues(s->NumSampleValues());
        ASSERT_EQ(s->Count(), 40);
        Render("sample" + std::to_string(k));
        EXPECT_GT(W * H - Count(clWhite, TRect(0, 0, W, H)), 200) << k;
        if (auto* c = dynamic_cast<TOHLCSeries*>(s))
            for (int i = 0; i < c->Count(); ++i) {
                EXPECT_GE(c->HighValues()->Value(i),
                          std::max(c->OpenValues()->Value(i), c->CloseValues()->Value(i)));
                EXPECT_LE(c->LowValues()->Value(i),
                          std::min(c->OpenValues()->Value(i), c->CloseValues()->Value(i)));
            }
    }
}

TEST_F(FinSeriesTest, BadPricesDrawWithoutFailing) {
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const double Inf = std::numeric_limits<double>::infinity();
    for (TCandleStyle style : {csCandleStick, csCandleBar, csOpenClose, csLine})
        for (bool is3D : {false, true}) {
            Chart->FreeAllSeries();
            Chart->SetView3D(is3D);
            auto* s = Add<TBigCandleSeries>();
            s->SetCandleStyle(style);
            s->AddOHLC(1, NaN, 2, 1, 1.5);
            s->AddOHLC(2, 1, Inf, -Inf, 1);
            s->AddOHLC(NaN, 1, 2, 0, 1);
            s->AddOHLC(4, 1, 1, 1, 1);
            Render("bad");
            EXPECT_GE(s->Clicked(5, 5), -1);
        }
}

// Dense candles: a candle hidden under later ones may go undrawn, so each
// picture must equal the one drawn candle by candle (a per-point handler
// makes every candle draw).
struct TDenseCandles {
    const char* Name;
    TCandleStyle Style;
    int Width;
    bool Pen;
    TColor PenColor;
    int Data; // 0 noisy sine, 1 random walk, 2 flat candles, 3 falling prices, 4 a fast
              // swing on a slow one (bodies of one height)
    int Points;
    bool Inverted = false;       // drawn from the last candle back
    bool InvertedPrices = false; // high prices down
    bool Logarithmic = false;    // prices on a logarithmic axis
};

class DenseCandleTest : public FinSeriesTest,
                        public ::testing::WithParamInterface<TDenseCandles> {};

TEST_P(DenseCandleTest, PictureEqualsEveryCandleDrawn) {
    const TDenseCandles& c = GetParam();
    auto* s = Add<TCandleSeries>();
    s->SetCandleStyle(c.Style);
    s->SetCandleWidth(c.Width);
    s->CandlePen()->SetVisible(c.Pen);
    s->CandlePen()->SetColor(c.PenColor);
    s->SetUpCloseColor(clBlue);
    Chart->BottomAxis()->SetInverted(c.Inverted);
    Chart->LeftAxis()->SetInverted(c.InvertedPrices);
    Chart->LeftAxis()->SetLogarithmic(c.Logarithmic);
    uint32_t seed = 7;
    double walk = 50;
    for (int i = 0; i < c.Points; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = (seed >> 8) / double(1 << 24) - 0.5;
        walk += noise;
        double close = c.Data == 0   ? 50 + 20 * std::sin(i * 0.01) + 6 * noise
                       : c.Data == 1 ? walk
                       : c.Data == 2 ? 50 + std::round(4 * std::sin(i * 0.003))
                       : c.Data == 3 ? 90 - 80.0 * i / c.Points
                                     : 50 + 20 * std::sin(i * 0.0002) + 2 * std::sin(i * 0.37);
        const double open = c.Data == 2 ? close : c.Data == 4 ? close - 0.5 : close - 3 * noise;
        s->AddOHLC(i, open, std::max(open, close) + 2 + noise, std::min(open, close) - 2, close);
    }
    EXPECT_EQ(DifferFromEveryCandle(s, c.Name), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, DenseCandleTest,
    ::testing::Values(
        TDenseCandles{"noisy", csCandleStick, 4, true, clAutoColor, 0, 20000},
        TDenseCandles{"walk", csCandleStick, 4, true, clBlack, 1, 20000},
        TDenseCandles{"flat", csCandleStick, 4, true, clBlack, 2, 20000},
        TDenseCandles{"falling", csCandleStick, 4, true, clBlack, 3, 5000},
        TDenseCandles{"swing", csCandleStick, 4, true, clBlack, 4, 40000},
        TDenseCandles{"swing_inverted", csCandleStick, 4, true, clBlack, 4, 40000, true, true},
        TDenseCandles{"thin", csCandleStick, 0, true, clBlack, 0, 20000},
        TDenseCandles{"wide", csCandleStick, 9, true, clGreen, 1, 3000},
        TDenseCandles{"no_pen", csCandleStick, 4, false, clBlack, 0, 20000},
        TDenseCandles{"no_pen_thin", csCandleStick, 1, false, clBlack, 1, 20000},
        TDenseCandles{"open_close", csOpenClose, 4, true, clBlack, 1, 20000},
        TDenseCandles{"open_close_flat", csOpenClose, 2, false, clBlack, 2, 20000},
        TDenseCandles{"sparse", csCandleStick, 6, true, clBlack, 0, 40},
        TDenseCandles{"inverted", csCandleStick, 4, true, clAutoColor, 0, 20000, true},
        TDenseCandles{"inverted_walk", csCandleStick, 4, true, clBlack, 1, 20000, true},
        TDenseCandles{"prices_down", csCandleStick, 4, true, clBlack, 0, 20000, false, true},
        TDenseCandles{"prices_down_no_pen", csCandleStick, 3, false, clBlack, 1, 20000, false,
                      true},
        TDenseCandles{"logarithmic", csCandleStick, 4, true, clBlack, 0, 20000, false, false,
                      true}),
    [](const ::testing::TestParamInfo<TDenseCandles>& I) { return std::string(I.param.Name); });

// Layouts where hidden candles are found otherwise than by their pixels: flat
// and sub-pixel bodies, closes repeating (the colour comes from further back),
// prices and dates beyond the axes, dates out of order, broken prices, colours
// of the points' own. Each picture equals the one drawn candle by candle.
struct TCandleLayout {
    const char* Name;
    int Data; // 0 flat runs, 1 sub-pixel bodies, 2 beyond the axes, 3 dates out of order,
              // 4 broken prices, 5 noisy
    bool Pen = true;
    bool InvertedDates = false, InvertedPrices = false, Logarithmic = false;
    int Colors = 0; // 0 from the prices, 1 each point its own, 2 a few points coloured
};

class CandleLayoutTest : public FinSeriesTest,
                         public ::testing::WithParamInterface<TCandleLayout> {};

TEST_P(CandleLayoutTest, PictureEqualsEveryCandleDrawn) {
    const TCandleLayout& c = GetParam();
    auto* s = Add<TCandleSeries>();
    s->CandlePen()->SetVisible(c.Pen);
    s->SetUpCloseColor(clBlue);
    s->SetColorEachPoint(c.Colors == 1);
    Chart->BottomAxis()->SetInverted(c.InvertedDates);
    Chart->LeftAxis()->SetInverted(c.InvertedPrices);
    Chart->LeftAxis()->SetLogarithmic(c.Logarithmic);
    constexpr int n = 8000;
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    uint32_t seed = 11;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = (seed >> 8) / double(1 << 24) - 0.5;
        double date = i, close = 50 + 20 * std::sin(i * 0.01) + 6 * noise, open = close - 3 * noise;
        double high = std::max(open, close) + 2 + noise, low = std::min(open, close) - 2;
        switch (c.Data) {
        case 0: // runs of equal closes, bodies flat
            close = open = 50 + std::round(8 * std::sin(i * 0.002)) + (i / 40 % 3);
            break;
        case 1: // bodies thinner than a pixel
            open = close + 0.01 * noise;
            break;
        case 2: // a third beyond the axes' ranges, either way
            if (i % 3 == 1) close = open = 200 * noise;
            if (i % 5 == 2) high = 1e6, low = -1e6;
            date = i * 1.5 - n * 0.25;
            break;
        case 3: // dates out of order
            date = (i * 7919) % n;
            break;
        case 4: // broken prices
            if (i % 11 == 3) high = nan;
            if (i % 13 == 5) close = nan;
            if (i % 17 == 7) low = -std::numeric_limits<double>::infinity();
            break;
        }
        s->AddOHLC(date, open, high, low, close);
        if (c.Colors == 2 && i % 7 == 0) s->SetValueColor(s->Count() - 1, clGreen);
    }
    if (c.Data == 2) Ranges(0, n, 30, 70);
    EXPECT_EQ(DifferFromEveryCandle(s, std::string("layout_") + c.Name), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, CandleLayoutTest,
    ::testing::Values(TCandleLayout{"flat_runs", 0}, TCandleLayout{"flat_runs_no_pen", 0, false},
                      TCandleLayout{"sub_pixel", 1},
                      TCandleLayout{"sub_pixel_prices_down", 1, true, false, true},
                      TCandleLayout{"beyond_axes", 2},
                      TCandleLayout{"beyond_axes_inverted", 2, true, true, true},
                      TCandleLayout{"dates_out_of_order", 3}, TCandleLayout{"broken_prices", 4},
                      TCandleLayout{"logarithmic_inverted", 5, true, true, false, true},
                      TCandleLayout{"own_colours", 5, true, false, false, false, 1},
                      TCandleLayout{"a_few_colours", 5, true, false, false, false, 2}),
    [](const ::testing::TestParamInfo<TCandleLayout>& I) { return std::string(I.param.Name); });

// ---------------------------------------------------------------------------

TEST_F(FinSeriesTest, ChartFilesRoundTripByteIdenticalWithData) {
    using TMaker = std::function<TChartSeries*(TChart*, TChartSeries * Prices)>;
    auto fn = [](auto* f) {
        return [f](TChart* C, TChartSeries* P) -> TChartSeries* {
            auto* out = new TLineSeries(C);
            out->SetName("Series2");
            out->SetParentChart(C);
            out->SetFunction(f(C));
            out->SetDataSource(P);
            return out;
        };
    };
    const std::vector<std::pair<const char*, TMaker>> cases = {
        {"Candle", nullptr},
        {"MovAve", fn(+[](TChart* C) -> TTeeFunction* {
             auto* f = new TMovingAverageFunction(C);
             f->SetWeightedIndex(true);
             return f;
         })},
        {"ExpAve", fn(+[](TChart* C) -> TTeeFunction* { return new TExpAverageFunction(C); })},
        {"EMA", fn(+[](TChart* C) -> TTeeFunction* { return new TExpMovAveFunction(C); })},
        {"Momentum", fn(+[](TChart* C) -> TTeeFunction* { return new TMomentumFunction(C); })},
        {"MomDiv", fn(+[](TChart* C) -> TTeeFunction* { return new TMomentumDivFunction(C); })},
        {"Stochastic", fn(+[](TChart* C) -> TTeeFunction* { return new TStochasticFunction(C); })},
        {"MACD", fn(+[](TChart* C) -> TTeeFunction* {
             auto* f = new TMACDFunction(C);
             f->SetPeriod3(4);
             return f;
         })},
        {"RSI", fn(+[](TChart* C) -> TTeeFunction* { return new TRSIFunction(C); })},
        {"ADX", fn(+[](TChart* C) -> TTeeFunction* { return new TADXFunction(C); })},
        {"StdDev", fn(+[](TChart* C) -> TTeeFunction* { return new TStdDeviationFunction(C); })},
        {"RMS", fn(+[](TChart* C) -> TTeeFunction* { return new TRMSFunction(C); })},
        {"Bollinger", fn(+[](TChart* C) -> TTeeFunction* { return new TBollingerFunction(C); })},
        {"Cumulative", fn(+[](TChart* C) -> TTeeFunction* { return new TCumulative(C); })},
        {"Count", fn(+[](TChart* C) -> TTeeFunction* { return new TCountTeeFunction(C); })},
        {"Performance",
         fn(+[](TChart* C) -> TTeeFunction* { return new TPerformanceFunction(C); })},
        {"CCI", fn(+[](TChart* C) -> TTeeFunction* {
             auto* f = new TCCIFunction(C);
             f->SetConstant(0.02);
             return f;
         })},
        {"CLV", fn(+[](TChart* C) -> TTeeFunction* { return new TCLVFunction(C); })},
        {"OBV", fn(+[](TChart* C) -> TTeeFunction* { return new TOBVFunction(C); })},
        {"PVO", fn(+[](TChart* C) -> TTeeFunction* { return new TPVOFunction(C); })},
        {"Curve", fn(+[](TChart* C) -> TTeeFunction* {
             auto* f = new TCurveFittingFunction(C);
             f->SetPolyDegree(3);
             f->SetFactor(2);
             return f;
         })},
        {"Trend", fn(+[](TChart* C) -> TTeeFunction* { return new TTrendFunction(C); })},
        {"ExpTrend", fn(+[](TChart* C) -> TTeeFunction* { return new TExpTrendFunction(C); })},
        {"Smoothing", fn(+[](TChart* C) -> TTeeFunction* { return new TSmoothingFunction(C); })},
    };
    for (const auto& [name, make] : cases) {
        auto chart = std::make_unique<TChart>(nullptr);
        chart->SetName("Chart1");
        auto* prices = new TBigCandleSeries(chart.get());
        prices->SetName("Series1");
        prices->SetParentChart(chart.get());
        prices->FillSampleValues(30);
        prices->SetCandleWidth(7);
        prices->SetDownCloseColor(clPurple);
        TChartSeries* out = make ? make(chart.get(), prices) : prices;
        const int points = out->Count();
        TMemoryStream first;
        SaveChartToStream(chart.get(), &first, true, false);
        first.SetPosition(0);
        TCustomChart* loaded = new TChart(nullptr);
        std::unique_ptr<TCustomChart> own(loaded);
        LoadChartFromStream(loaded, &first);
        // Helper lines of a function are not stored; the function makes them anew.
        std::vector<TChartSeries*> stored;
        for (int i = 0; i < loaded->SeriesCount(); ++i)
            if (!loaded->Series(i)->InternalUse()) stored.push_back(loaded->Series(i));
        ASSERT_EQ(stored.size(), make ? 2u : 1u) << name;
        TChartSeries* back = stored.back();
        EXPECT_EQ(back->ClassName(), out->ClassName()) << name;
        EXPECT_EQ(back->Count(), points) << name;
        if (make) {
            ASSERT_NE(back->FunctionType(), nullptr) << name;
            EXPECT_EQ(back->FunctionType()->ClassName(), out->FunctionType()->ClassName());
        }
        TMemoryStream second;
        SaveChartToStream(loaded, &second, true, false);
        ASSERT_EQ(first.Size(), second.Size()) << name;
        EXPECT_EQ(0, std::memcmp(first.Memory(), second.Memory(), size_t(first.Size()))) << name;
    }
}

TEST(FinGallery, SeriesAndFunctionsAreRegisteredOnTheirPages) {
    TeeExtraSeriesStartup();
    const std::vector<std::tuple<TClass, const char*, const char*>> series = {
        {&TCandleSeries::ClassInfo, "Candle", "Financial"},
        {&TVolumeSeries::ClassInfo, "Volume", "Financial"},
        {&TBigCandleSeries::ClassInfo, "Big Candle", "Other"}};
    for (const auto& [cls, name, page] : series) {
        TTeeSeriesType* t = TeeSeriesTypes().Find(cls);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->DescriptionText(), name);
        EXPECT_EQ(t->GalleryPageText(), page);
        EXPECT_EQ(GetClass(cls->Name), cls);
    }
    const std::vector<std::tuple<TClass, const char*, const char*, int>> functions = {
        {&TMovingAverageFunction::ClassInfo, "Moving\rAverage", "Financial", 1},
        {&TExpAverageFunction::ClassInfo, "Exponential\rAverage", "Extended", 1},
        {&TMACDFunction::ClassInfo, "MACD", "Financial", 1},
        {&TRSIFunction::ClassInfo, "R.S.I.", "Financial", 1},
        {&TCumulative::ClassInfo, "Cumulative", "Extended", 2},
        {&TCountTeeFunction::ClassInfo, "Count", "Standard", 2},
        {&TCCIFunction::ClassInfo, "Commodity\rChannel Index", "Financial", 1},
        {&TCompressFunction::ClassInfo, "Compression", "Financial", 1},
        {&TExpTrendFunction::ClassInfo, "Exponential\rTrend", "Extended", 1},
        {&TSmoothingFunction::ClassInfo, "Smoothing", "Extended", 1}};
    for (const auto& [cls, name, page, n] : functions) {
        TTeeSeriesType* found = nullptr;
        for (int i = 0; i < TeeSeriesTypes().Count(); ++i)
            if (TeeSeriesTypes()[i]->FunctionClass == cls) found = TeeSeriesTypes()[i];
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(found->DescriptionText(), name);
        EXPECT_EQ(found->GalleryPageText(), page);
        EXPECT_EQ(found->NumGallerySeries, n);
        EXPECT_EQ(GetClass(cls->Name), cls);
    }
}

} // namespace
