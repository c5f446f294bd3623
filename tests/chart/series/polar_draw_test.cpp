// Polar, radar, wind rose, clock, Smith and gauge series in pictures: pixels at
// positions worked out from the angle, radius and impedance formulas.
#include "chart/control/series_fixture.h"
#include "chart/control/teestore.h"
#include "chart/engine/teeaxis.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teegauges.h"
#include "chart/series/teepolar.h"
#include "chart/series/teerose.h"
#include "chart/series/teesmith.h"
#include "platform/rtl/datetime.h"
#include "platform/classes/streams.h"
#include "platform/rtl/sysutils.h"
#include <limits>
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
            S->CircleCenterX() + int(std::nearbyint(std::cos(a) * S->RadiusX() * Fraction)),
            S->CircleCenterY() - int(std::nearbyint(std::sin(a) * S->RadiusY() * Fraction)));
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
const std::vector<std::pair<const char*, TMaker>> AllTypes = {
    {"Polar", Make<TPolarSeries>},       {"Radar", Make<TRadarSeries>},
    {"WindRose", Make<TWindRoseSeries>}, {"Clock", Make<TClockSeries>},
    {"Smith", Make<TSmithSeries>},       {"Gauge", Make<TGaugeSeries>}};

// The legend symbol: the line across it in the pen, then the pointer over
// its middle; each alone when the other is hidden.
TEST_F(PolarDrawTest, LegendSymbolDrawsTheLineThenThePointer) {
    auto* s = Add<TPolarSeries>();
    s->AddPolar(0, 50);
    s->SetSeriesColor(clGreen);
    s->Pen()->SetColor(clRed);
    s->Pointer()->SetStyle(psRectangle);
    s->Pointer()->Pen()->SetVisible(false);
    for (const bool pen : {true, false})
        for (const bool pointer : {true, false}) {
            if (!pen && !pointer) continue;
            SCOPED_TRACE(std::string(pen ? "pen" : "no pen") + (pointer ? ", pointer" : ""));
            s->Pen()->SetVisible(pen);
            s->Pointer()->SetVisible(pointer);
            const TRect r(300, 200, 330, 212);
            Chart->OnAfterDraw = [&](TObject*) {
                Chart->Canvas()->Brush()->SetColor(clWhite);
                Chart->Canvas()->FillRect(r);
                s->DrawLegendShape(-1, r);
            };
            Render("polar_legend");
            const int mid = (r.Top + r.Bottom) / 2;
            EXPECT_EQ(Pixel(r.Left + 1, mid) == clRed, pen);
            EXPECT_EQ(Pixel((r.Left + r.Right) / 2, mid) == clGreen, pointer);
        }
}

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
            EXPECT_GT(W * H - Count(clWhite, TRect(0, 0, W, H)), 500) << name << is3D;
        }
}

TEST_F(PolarDrawTest, BadDataGivesADrawingNeverACrash) {
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const double Inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<const char*, std::vector<std::pair<double, double>>>> sets = {
        {"empty", {}},
        {"nan", {{NaN, 1}, {10, NaN}, {20, 3}}},
        {"inf", {{Inf, 1}, {10, -Inf}, {20, 3}, {-1, -1}}},
        {"flat", {{0, 5}, {90, 5}, {180, 5}}},
        {"huge", {{1e300, 1e300}, {-1e300, 2}, {5, -1e300}}}};
    for (auto [name, make] : AllTypes)
        for (const auto& [dataName, points] : sets)
            for (bool is3D : {false, true}) {
                Chart->FreeAllSeries();
                Chart->SetView3D(is3D);
                Chart->SetAxisVisible(true);
                TChartSeries* s = make(Chart.get());
                s->Clear();
                for (auto [x, y] : points)
                    s->AddXY(x, y);
                if (auto* g = dynamic_cast<TGaugeSeries*>(s); g && !points.empty())
                    g->SetValue(points[0].second);
                Render(std::string("bad_") + name + "_" + dataName);
                EXPECT_EQ(s->Clicked(W / 2, H / 2) >= -1, true) << name << dataName;
            }
}

TEST_F(PolarDrawTest, SecondPolarSeriesDrawsNoSecondGrid) {
    Chart->SetAxisVisible(true);
    Chart->LeftAxis()->Grid()->SetVisible(false);
    Chart->BottomAxis()->Grid()->SetVisible(false);
    auto* a = Add<TPolarSeries>();
    auto* b = Add<TPolarSeries>();
    a->AddPolar(0, 1);
    b->AddPolar(90, 2);
    a->CirclePen()->SetColor(clBlue);
    b->CirclePen()->SetColor(clLime);
    Render("two_polar");
    EXPECT_GT(Count(clBlue, TRect(0, 0, W, H)), 100);
    EXPECT_EQ(Count(clLime, TRect(0, 0, W, H)), 0);
    b->SetActive(false);
    a->SetActive(false);
    b->SetActive(true); // now the first active one of its class
    Render("two_polar_second");
    EXPECT_GT(Count(clLime, TRect(0, 0, W, H)), 100);
}

TEST_F(PolarDrawTest, RadarDrawsAPentagonWithItsFirstSpokeUp) {
    auto* s = Add<TRadarSeries>();
    s->Pen()->SetVisible(false);
    s->Pointer()->SetVisible(false);
    s->CirclePen()->SetColor(clBlue);
    for (double v : {1, 2, 3, 4, 5})
        s->Add(v);
    Chart->LeftAxis()->Grid()->SetVisible(false);
    Render("radar_pentagon");
    EXPECT_EQ(s->PolygonSides(), 5);
    EXPECT_EQ(s->RotationAngle(), 90);
    const int cx = s->CircleCenterX(), cy = s->CircleCenterY();
    EXPECT_EQ(Pixel(cx, cy - s->RadiusY()), clBlue); // the first vertex, straight up
    // An edge is straight: half way between two vertices lies inside the circle.
    const TPoint v0 = Expected(s, 0, 1), v1 = Expected(s, 72, 1);
    const TPoint mid((v0.x + v1.x) / 2, (v0.y + v1.y) / 2);
    EXPECT_GT(Count(clBlue, TRect(mid.x - 1, mid.y - 1, mid.x + 2, mid.y + 2)), 0);
    const TPoint arc = Expected(s, 36, 1);
    EXPECT_NE(Pixel(arc.x, arc.y), clBlue);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(s->GetCircleLabel(i * 72, i), IntToStr(i));
}

TEST_F(PolarDrawTest, SmithUnitResistanceCirclePassesThroughTheCentre) {
    Chart->SetAxisVisible(true);
    auto* s = Add<TSmithSeries>();
    s->SetCLabels(false);
    s->SetRLabels(false);
    s->RCirclePen()->SetColor(clBlue);
    s->RCirclePen()->SetStyle(psSolid);
    s->CCirclePen()->SetColor(clLime);
    s->CCirclePen()->SetStyle(psSolid);
    s->AddPoint(1, 1);
    Render("smith");
    const int cx = s->CircleCenterX(), cy = s->CircleCenterY();
    EXPECT_EQ(Pixel(cx, cy - 3), clBlue); // r = 1: vertical tangent at the centre
    EXPECT_EQ(Pixel(cx, cy + 3), clBlue);
    EXPECT_EQ(Pixel(cx + s->RadiusX() / 2, cy - s->RadiusY() / 2), clBlue); // its top
    int x, y;
    s->ZToPos(1, 0, x, y);
    EXPECT_EQ(TPoint(x, y), TPoint(cx, cy));
    s->ZToPos(0, 0, x, y);
    EXPECT_EQ(TPoint(x, y), TPoint(cx - s->RadiusX(), cy));
    s->ZToPos(0, 1, x, y);
    EXPECT_EQ(TPoint(x, y), TPoint(cx, cy - s->RadiusY()));
    s->ZToPos(1e12, 0, x, y);
    EXPECT_EQ(TPoint(x, y), TPoint(cx + s->RadiusX(), cy));
    s->ZToPos(-1, 0, x, y); // no finite reflection: the rightmost point, not garbage
    EXPECT_EQ(TPoint(x, y), TPoint(cx + s->RadiusX(), cy));
    s->ZToPos(1, 1, x, y);
    EXPECT_EQ(Pixel(x, y), clRed); // the pointer of the point drawn there
}

TEST_F(PolarDrawTest, GaugeNeedlePointsAtItsValue) {
    auto* s = Add<TGaugeSeries>();
    s->Pen()->SetColor(clRed);
    s->Center()->SetVisible(false);
    s->SetHandDistance(0);
    Chart->LeftAxis()->Ticks()->SetVisible(false);
    Chart->LeftAxis()->SetLabels(false);
    Chart->LeftAxis()->Axis()->SetVisible(false);
    Chart->LeftAxis()->MinorTicks()->SetVisible(false);
    for (double v : {0.0, 50.0, 100.0, 25.0}) {
        s->SetValue(v);
        Render("gauge_" + std::to_string(int(v)));
        const double a = (45 + v * 0.9) * Pi / 180; // 0 at 45 degrees, 100 at 135
        const int cx = s->CircleCenterX(), cy = s->CircleCenterY();
        for (double f : {0.3, 0.6, 0.9}) {
            const int x = cx - int(std::nearbyint(std::cos(a) * s->RadiusX() * f));
            const int y = cy - int(std::nearbyint(std::sin(a) * s->RadiusY() * f));
            const int hits = Count(clRed, TRect(x - 1, y - 1, x + 2, y + 2));
            EXPECT_GT(hits, 0) << v << " at " << f;
        }
        EXPECT_EQ(s->Clicked(cx - int(std::cos(a) * s->RadiusX() * 0.5),
                             cy - int(std::sin(a) * s->RadiusY() * 0.5)),
                  0);
        EXPECT_EQ(s->Clicked(cx + 5 - int(std::cos(a + 1) * 40), cy - int(std::sin(a + 1) * 40)),
                  -1);
    }
}

TEST_F(PolarDrawTest, ClockAtThreeShowsHourRightAndMinuteUp) {
    auto* s = Add<TClockSeries>();
    s->OnGetTime = [](TClockSeries*, TDateTime& T) { T = EncodeTime(3, 0, 0, 0); };
    s->PenSeconds()->SetVisible(false);
    Render("clock3");
    const int cx = s->CircleCenterX(), cy = s->CircleCenterY();
    const int r = s->RadiusX();
    EXPECT_EQ(Pixel(cx + r * 45 / 100, cy), clRed); // hour hand: 0.65 of the radius
    EXPECT_NE(Pixel(cx + r * 75 / 100, cy), clRed);
    EXPECT_EQ(Pixel(cx, cy - r * 75 / 100), clRed); // minute hand: 0.85
    EXPECT_NE(Pixel(cx, cy + r * 30 / 100), clRed);
    EXPECT_EQ(s->GetCircleLabel(270, 0), "III");
    EXPECT_EQ(s->GetCircleLabel(0, 0), "XII");
    s->SetStyle(cssDecimal);
    EXPECT_EQ(s->GetCircleLabel(330, 0), "1");
}

// The circle gradient is kept by a chart file: each circled type draws the
// same picture after saving and loading, in the binary and the text form.
TEST_F(PolarDrawTest, CircleGradientComesBackFromChartFiles) {
    for (auto [name, make] : AllTypes) {
        Chart->FreeAllSeries();
        auto* s = static_cast<TCircledSeries*>(make(Chart.get()));
        s->SetName("Circled");
        s->FillSampleValues();
        if (auto* clock = dynamic_cast<TClockSeries*>(s)) {
            // The hands follow the real time.
            clock->PenHours()->SetVisible(false);
            clock->PenMinutes()->SetVisible(false);
            clock->PenSeconds()->SetVisible(false);
        }
        s->CircleGradient()->SetVisible(true);
        s->CircleGradient()->SetStartColor(clLime);
        s->CircleGradient()->SetEndColor(clBlue);
        s->CircleGradient()->SetDirection(gdLeftRight);
        Render(std::string("gradient_") + name);
        const std::unique_ptr<TBitmap> before = std::move(Picture);
        // Lime to blue: no red anywhere in the gradient, unlike everything else here.
        int shaded = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const TColor c = before->Canvas()->Pixels(x, y);
                shaded += (c & 0xFF) == 0 && c != clBlack;
            }
        EXPECT_GT(shaded, 5000) << name;
        for (bool text : {false, true}) {
            TMemoryStream m;
            SaveChartToStream(Chart.get(), &m, true, text);
            m.SetPosition(0);
            Chart->FreeAllSeries();
            TCustomChart* into = Chart.get();
            LoadChartFromStream(into, &m);
            ASSERT_EQ(into, Chart.get());
            ASSERT_EQ(Chart->SeriesCount(), 1) << name;
            Render(std::string("gradient_back_") + name);
            int differ = 0;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    differ += Pixel(x, y) != before->Canvas()->Pixels(x, y);
            EXPECT_EQ(differ, 0) << name << (text ? " text" : " binary");
        }
    }
}

} // namespace
