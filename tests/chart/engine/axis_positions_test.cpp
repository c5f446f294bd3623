// Points placed a run at a time by an axis land on the very pixels that
// placing them one at a time gives, for every kind of axis and any value.
#include "axis_fixture.h"
#include <limits>

class AxisPositions : public AxisPanelTest, public ::testing::WithParamInterface<int> {};

TEST_P(AxisPositions, RunsLandWhereSingleValuesDo) {
    const int kind = GetParam(); // plain, inverted, logarithmic, zero range
    for (TChartAxis* a : {Chart->BottomAxis(), Chart->LeftAxis()}) {
        a->SetInverted(kind == 1);
        a->SetLogarithmic(kind == 2);
        a->SetCalcPosValue();
        // 101 units over 347 pixels: many values fall on pixel halves.
        Place(a, 13, 360, kind == 2 ? 1 : 0, kind == 3 ? 0 : 101);
    }
    // Ties, values off both ends, huge ones and NaN, an odd count in all.
    std::vector<double> v;
    for (int i = -40; i <= 240; ++i)
        v.push_back(i * 0.5);
    const double inf = std::numeric_limits<double>::infinity();
    for (double d : {1e-300, -1e300, 1e300, 3e9, -3e9, inf, -inf, std::nan(""), 37.25})
        v.push_back(d);
    std::vector<TPoint> p(v.size());
    Chart->BottomAxis()->CalcXPosValues(v.data(), int(v.size()), p.data());
    Chart->LeftAxis()->CalcYPosValues(v.data(), int(v.size()), p.data());
    for (size_t i = 0; i < v.size(); ++i) {
        EXPECT_EQ(p[i].x, Chart->BottomAxis()->CalcXPosValue(v[i])) << kind << ": " << v[i];
        EXPECT_EQ(p[i].y, Chart->LeftAxis()->CalcYPosValue(v[i])) << kind << ": " << v[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, AxisPositions, ::testing::Range(0, 4));
