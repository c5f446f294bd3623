// Standard functions on small hand-worked inputs, and the start-up registration.
#include "chart/control/series.h"
#include "chart/control/teefunci.h"
#include "chart/control/teeseriestypes.h"
#include <gtest/gtest.h>
#include <memory>

namespace {
struct Sources {
    // a: 1, 2, 3, 4, 5, 6; b: 10, 0, -7
    Sources() {
        for (double v : {1, 2, 3, 4, 5, 6})
            A->Add(v);
        for (double v : {10, 0, -7})
            B->Add(v);
    }
    std::unique_ptr<TLineSeries> A = std::make_unique<TLineSeries>(nullptr);
    std::unique_ptr<TLineSeries> B = std::make_unique<TLineSeries>(nullptr);
    std::vector<TChartSeries*> Both() { return {A.get(), B.get()}; }
};

template <typename F> double Many(Sources& S, int Index) {
    F f(nullptr);
    return f.CalculateMany(S.Both(), Index);
}
template <typename F> double One(Sources& S, int First, int Last) {
    F f(nullptr);
    return f.Calculate(S.A.get(), First, Last);
}
} // namespace

TEST(StandardFunctions, OverSeveralSeriesAtOneIndex) {
    Sources s;
    EXPECT_EQ(Many<TAddTeeFunction>(s, 0), 11);
    EXPECT_EQ(Many<TAddTeeFunction>(s, 4), 5); // only a has point 4
    EXPECT_EQ(Many<TSubtractTeeFunction>(s, 2), 3 - -7);
    EXPECT_EQ(Many<TMultiplyTeeFunction>(s, 2), -21);
    EXPECT_EQ(Many<TDivideTeeFunction>(s, 0), 0.1);
    EXPECT_EQ(Many<TDivideTeeFunction>(s, 1), 2); // a zero divisor leaves the result
    EXPECT_EQ(Many<THighTeeFunction>(s, 2), 3);
    EXPECT_EQ(Many<TLowTeeFunction>(s, 2), -7);
    EXPECT_EQ(Many<TAverageTeeFunction>(s, 0), 5.5);
    EXPECT_EQ(Many<TAddTeeFunction>(s, 9), 0);
    EXPECT_EQ(Many<THighTeeFunction>(s, 9), 0);
    EXPECT_EQ(Many<TAverageTeeFunction>(s, 9), 0);
}

TEST(StandardFunctions, HighOfTheOnlySeriesWithThePointKeepsANegativeValue) {
    TLineSeries a(nullptr), b(nullptr);
    a.Add(1);
    for (double v : {0, 0, 0, 0, 0, -4})
        b.Add(v);
    THighTeeFunction f(nullptr);
    EXPECT_EQ(f.CalculateMany({&a, &b}, 5), -4);
}

TEST(StandardFunctions, OverARangeOfOneSeries) {
    Sources s;
    EXPECT_EQ(One<TAddTeeFunction>(s, -1, -1), 21);
    EXPECT_EQ(One<TAddTeeFunction>(s, 1, 3), 9);
    EXPECT_EQ(One<THighTeeFunction>(s, 0, 2), 3);
    EXPECT_EQ(One<TLowTeeFunction>(s, 3, 5), 4);
    EXPECT_EQ(One<THighTeeFunction>(s, -1, 0), 6);
    EXPECT_EQ(One<TAverageTeeFunction>(s, -1, 0), 3.5);
    EXPECT_EQ(One<TAverageTeeFunction>(s, 4, 5), 5.5);
}

TEST(StandardFunctions, AverageSkipsNullsOnlyWhenAsked) {
    TLineSeries a(nullptr);
    a.Add(1);
    a.AddNull(0.0);
    a.Add(3);
    TAverageTeeFunction f(nullptr);
    EXPECT_EQ(f.Calculate(&a, 0, 2), 4.0 / 3);
    f.SetIncludeNulls(false);
    EXPECT_EQ(f.Calculate(&a, 0, 2), 2);
    EXPECT_EQ(f.Calculate(&a, -1, -1), 2);
}

TEST(StandardFunctions, ManySeriesBaseHasNoFoldOfItsOwn) {
    class TBare : public TManySeriesTeeFunction {
    public:
        TBare() : TManySeriesTeeFunction(nullptr) {}
    } f;
    Sources s;
    EXPECT_THROW(f.CalculateMany(s.Both(), 0), Exception);
}

TEST(StandardFunctions, CustomFunctionFillsItsSeriesFromTheFormula) {
    TLineSeries out(nullptr);
    auto* f = new TCustomTeeFunction(&out);
    f->SetPeriod(0.5);
    f->OnCalculate = [](TCustomTeeFunction*, double X, double& Y) { Y = 2 * X + 1; };
    out.SetFunction(f);
    f->AddPoints(nullptr);
    ASSERT_EQ(out.Count(), 100);
    EXPECT_EQ(out.XValues()->Value(0), 0);
    EXPECT_EQ(out.XValues()->Value(99), 49.5);
    EXPECT_EQ(out.YValues()->Value(99), 100);
    EXPECT_EQ(out.InternalColor(5), clAutoColor);
}

TEST(StandardRegistration, SeriesAndFunctionsAreFoundByNameAfterStartUp) {
    TeeStartRegistries();
    for (const char* name :
         {"TLineSeries", "TBarSeries", "THorizBarSeries", "TAreaSeries", "TPointSeries",
          "TPieSeries", "TFastLineSeries", "THorizLineSeries", "THorizAreaSeries",
          "TAddTeeFunction", "TSubtractTeeFunction", "TMultiplyTeeFunction", "TDivideTeeFunction",
          "THighTeeFunction", "TLowTeeFunction", "TAverageTeeFunction", "TCustomTeeFunction"})
        EXPECT_NE(GetClass(name), nullptr) << name;
    ASSERT_NE(TeeSeriesTypes().Find(&THorizBarSeries::ClassInfo), nullptr);
    EXPECT_EQ(TeeSeriesTypes().Find(&THorizBarSeries::ClassInfo)->DescriptionText(),
              "Horizontal\rBar");
    EXPECT_EQ(TeeSeriesTypes().Find(&TPieSeries::ClassInfo)->NumGallerySeries, 1);
    ASSERT_NE(TeeSeriesTypes().FindPair(nullptr, &TCustomTeeFunction::ClassInfo), nullptr);
    EXPECT_EQ(TeeSeriesTypes().FindPair(nullptr, &TCustomTeeFunction::ClassInfo)->DescriptionText(),
              "y = f(x)");
}
