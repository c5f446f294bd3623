// Points placed a run at a time by an axis land on the very pixels that
// placing them one at a time gives, for every kind of axis and any value.
#include "axis_fixture.h"
#include <cmath>
#include <limits>

namespace {

struct TKind {
    const char* Name;
    bool Inverted, Logarithmic, ZeroRange;
};

class AxisPositions : public AxisPanelTest, public ::testing::WithParamInterface<TKind> {};

// Ties (halves), values off both ends, huge values and NaN, in an odd count
// so the last one is placed on its own.
std::vector<double> Values() {
    std::vector<double> v;
    for (int i = -40; i <= 240; ++i)
        v.push_back(i * 0.5);
    for (double d : {1e-300, -1e300, 1e300, 3e9, -3e9, std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN(), 0.1, 99.9, 37.25})
        v.push_back(d);
    return v;
}

} // namespace

TEST_P(AxisPositions, RunsLandWhereSingleValuesDo) {
    const TKind k = GetParam();
    for (TChartAxis* a : {Chart->BottomAxis(), Chart->LeftAxis()}) {
        a->SetInverted(k.Inverted);
        a->SetLogarithmic(k.Logarithmic);
        a->SetCalcPosValue();
        // 101 units over 347 pixels: many values fall on pixel halves.
        Place(a, 13, 360, k.Logarithmic ? 1 : 0, k.ZeroRange ? (k.Logarithmic ? 1 : 0) : 101);
    }
    const std::vector<double> v = Values();
    std::vector<TPoint> p(v.size(), TPoint(-7, -7));
    Chart->BottomAxis()->CalcXPosValues(v.data(), int(v.size()), p.data());
    Chart->LeftAxis()->CalcYPosValues(v.data(), int(v.size()), p.data());
    for (size_t i = 0; i < v.size(); ++i) {
        EXPECT_EQ(p[i].x, Chart->BottomAxis()->CalcXPosValue(v[i])) << k.Name << " " << v[i];
        EXPECT_EQ(p[i].y, Chart->LeftAxis()->CalcYPosValue(v[i])) << k.Name << " " << v[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, AxisPositions,
                         ::testing::Values(TKind{"plain", false, false, false},
                                           TKind{"inverted", true, false, false},
                                           TKind{"logarithmic", false, true, false},
                                           TKind{"zero range", false, false, true}),
                         [](const auto& Info) {
                             std::string n = Info.param.Name;
                             std::replace(n.begin(), n.end(), ' ', '_');
                             return n;
                         });
