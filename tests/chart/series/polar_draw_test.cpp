// Polar, radar, wind rose, clock, Smith and gauge series in pictures: pixels at
// positions worked out from the angle, radius and impedance formulas.
#include "chart/control/series_fixture.h"
#include "chart/engine/teeaxis.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teepolar.h"
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

class PolarDrawTest : public SeriesChartTest {
protected:
    PolarDrawTest() { TeeExtraSeriesStartup(); }
    // Where a polar point of the given angle and radius fraction must land.
    static TPoint Expected(TCircledSeries* S, double AngleDeg, double Fraction) {
        const double a = (AngleDeg + S->RotationAngle()) * Pi / 180;
        return TPoint(
            S->CircleXCenter() + int(std::nearbyint(std::cos(a) * S->XRadius() * Fraction)),
            S->CircleYCenter() - int(std::nearbyint(std::sin(a) * S->YRadius() * Fraction)));
    }
};

TEST_F(PolarDrawTest, PolarPointsLieAtTheirAngleAndRadius) {
    for (bool is3D : {false, true}) {
        Chart->FreeAllSeries();
        Chart->SetView3D(is3D);
        Chart->View3DOptions()->SetOrthogonal(true);
        auto* s = Add<TPolarSeries>();
        s->Pen()->SetVisible(false);
        s->Pointer()->SetStyle(psRectangle);
        s->Pointer()->Pen()->SetVisible(false);
        s->SetCircleBackColor(clWhite);
        s->CirclePen()->SetVisible(false);
        Chart->LeftAxis()->Grid()->SetVisible(false);
        Chart->BottomAxis()->Grid()->SetVisible(false);
        s->AddPolar(0, 50);
        s->AddPolar(90, 100);
        s->AddPolar(225, 25);
        s->AddPolar(300, 0); // the axis minimum: the centre
        Chart->LeftAxis()->SetMinMax(0, 100);
        Render(is3D ? "polar3d" : "polar2d");
        const struct {
            double angle, fraction;
        } cases[] = {{0, 0.5}, {90, 1.0}, {225, 0.25}, {300, 0}};
        for (int i = 0; i < 4; ++i) {
            const TPoint e = Expected(s, cases[i].angle, cases[i].fraction);
            EXPECT_EQ(s->CalcXPos(i), e.x) << i;
            EXPECT_EQ(s->CalcYPos(i), e.y) << i;
            const TPoint p = is3D ? Chart->Canvas()->Calculate3DPosition(e, s->StartZ()) : e;
            EXPECT_EQ(Pixel(p.x, p.y), clRed) << i << " 3D " << is3D;
        }
    }
}

} // namespace

namespace {
using TMaker = TChartSeries* (*)(TChart*);
template <typename T> TChartSeries* Make(TChart* C) {
    auto* s = new T(C);
    s->SetParentChart(C);
    return s;
}
const std::vector<std::pair<const char*, TMaker>> AllTypes = {{"Polar", Make<TPolarSeries>},
                                                              {"Radar", Make<TRadarSeries>}};

TEST_F(PolarDrawTest, EveryTypeDrawsItsSampleIn2DAnd3D) {
    for (auto [name, make] : AllTypes)
        for (bool is3D : {false, true}) {
            Chart->FreeAllSeries();
            Chart->SetView3D(is3D);
            Chart->SetAxisVisible(true);
            TChartSeries* s = make(Chart.get());
            s->SetSeriesColor(clRed);
            s->FillSampleValues();
            if (auto* p = dynamic_cast<TCustomPolarSeries*>(s)) p->SetCircleLabels(true);
            ASSERT_GT(s->Count(), 0) << name;
            Render(std::string("sample_") + name + (is3D ? "_3d" : "_2d"));
            EXPECT_GT(Count(clRed, TRect(0, 0, W, H)), 20) << name << is3D;
        }
}
} // namespace
