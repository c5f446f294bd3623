// Polar family, Smith and gauge without pictures: labels, gauge value rules,
// the Smith mapping's inverse, the clock's timer, chart files and the gallery.
#include "chart/control/chart.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/engine/teeaxis.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teegauges.h"
#include "chart/series/teepolar.h"
#include "chart/series/teerose.h"
#include "chart/series/teesmith.h"
#include "platform/classes/streams.h"
#include "platform/forms/extctrls.h"
#include "platform/rtl/clock.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(PolarLabels, WindRoseCompassPointsAndClockWiseAngles) {
    TChart chart(nullptr);
    auto* rose = new TWindRoseSeries(&chart);
    rose->SetParentChart(&chart);
    const std::vector<std::pair<double, const char*>> rose8 = {
        {0, "N"},    {45, "NW"}, {90, "W"},   {135, "SW"},  {180, "S"},
        {225, "SE"}, {270, "E"}, {315, "NE"}, {15, "NNNW"}, {345, "NNNE"}};
    for (auto [a, text] : rose8)
        EXPECT_EQ(rose->GetCircleLabel(a, 0), text) << a;
    for (double a : {10.0, 20.0, 350.0, 7.4})
        EXPECT_EQ(rose->GetCircleLabel(a, 0), "") << a;
    EXPECT_TRUE(rose->CircleLabels());
    EXPECT_EQ(rose->RotationAngle(), 90);

    auto* polar = new TPolarSeries(&chart);
    EXPECT_EQ(polar->GetCircleLabel(90, 0), "90\xBA");
    polar->SetClockWiseLabels(true);
    EXPECT_EQ(polar->GetCircleLabel(90, 0), "270\xBA");
    EXPECT_EQ(polar->GetCircleLabel(0, 0), "0\xBA");
}

TEST(PolarIncrements, AngleIncrementFallsBackToTenAndLivesInTheAxis) {
    TPolarSeries loose(nullptr);
    EXPECT_EQ(loose.AngleIncrement(), 10);
    loose.SetAngleIncrement(30); // no chart: nothing to keep it in
    EXPECT_EQ(loose.AngleIncrement(), 10);
    TChart chart(nullptr);
    auto* s = new TPolarSeries(&chart);
    s->SetParentChart(&chart);
    s->SetAngleIncrement(45);
    EXPECT_EQ(chart.BottomAxis()->DesiredIncrement(), 45);
    EXPECT_EQ(s->AngleIncrement(), 45);
}

TEST(Gauge, ValueRulesAndScaleAngles) {
    TChart chart(nullptr);
    auto* g = new TGaugeSeries(&chart);
    g->SetParentChart(&chart);
    EXPECT_EQ(g->Count(), 1);
    EXPECT_EQ(g->ValueAngle(0), 405);   // 45 degrees: upper left
    EXPECT_EQ(g->ValueAngle(100), 495); // 135 degrees: upper right
    int changes = 0;
    g->OnChange = [&](TObject*) { ++changes; };
    g->SetValue(70);
    g->SetValue(70);
    EXPECT_EQ(changes, 1);
    g->SetMaximum(60);
    EXPECT_EQ(g->Value(), 60);
    g->SetMinimum(65);
    EXPECT_EQ(g->Value(), 65);
    // An empty range must not divide by zero: the hand stays at the start.
    g->SetMaximum(65);
    EXPECT_EQ(g->ValueAngle(65), 135 + 360 - 90);
    g->Clear();
    EXPECT_EQ(g->Value(), 0); // reading with no point adds one
    EXPECT_EQ(g->Count(), 1);
    g->SetMinimum(50);
    g->SetMaximum(100);
    EXPECT_EQ(g->ValueAngle(50), 135 + 360 - 90); // label "50" and the hand at 50 agree
}

TEST(Smith, PositionsMapBackToTheirImpedance) {
    TChart chart(nullptr);
    chart.SetWidth(400);
    chart.SetHeight(400);
    auto* s = new TSmithSeries(&chart);
    s->SetParentChart(&chart);
    s->AddPoint(1, 0);
    TBitmap b(400, 400);
    chart.Draw(b.Canvas(), TRect(0, 0, 400, 400));
    for (auto [r, x] : {std::pair{0.5, 0.5}, {2.0, -1.0}, {0.2, 3.0}, {1.0, 0.0}}) {
        int px, py;
        s->ZToPos(r, x, px, py);
        double r2, x2;
        s->PosToZ(px, py, r2, x2);
        EXPECT_NEAR(r2, r, 0.05 * (1 + r)) << r << " " << x;
        EXPECT_NEAR(x2, x, 0.05 * (1 + std::abs(x))) << r << " " << x;
    }
    double r, x;
    s->PosToZ(s->CircleCenterX() + s->RadiusX(), s->CircleCenterY(), r, x);
    EXPECT_TRUE(std::isinf(r));
}

TEST(Clock, TimerRepaintsEverySecondOnTheVirtualClock) {
    TVirtualClockScope clock;
    TChart chart(nullptr);
    auto* s = new TClockSeries(&chart);
    s->SetParentChart(&chart);
    EXPECT_FALSE(chart.AxisVisible());
    EXPECT_EQ(s->AngleIncrement(), 30);
    ASSERT_TRUE(s->Timer()->Enabled());
    EXPECT_EQ(s->Timer()->Interval(), 1000u);
    int ticks = 0;
    const TNotifyEvent tick = s->Timer()->OnTimer;
    s->Timer()->OnTimer = [&](TObject* Sender) {
        ++ticks;
        tick(Sender);
    };
    clock.Clock.Advance(999);
    TTimer::FireDue();
    EXPECT_EQ(ticks, 0);
    clock.Clock.Advance(1);
    TTimer::FireDue();
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(s->Timer()->Enabled()); // enabled again after the repaint
    clock.Clock.Advance(1000);
    TTimer::FireDue();
    EXPECT_EQ(ticks, 2);
    double h, m, sec;
    TClockSeries::HandAngles(EncodeTime(3, 0, 0, 0), h, m, sec);
    EXPECT_EQ(h, 270);
    EXPECT_EQ(m, 360);
    TClockSeries::HandAngles(EncodeTime(0, 0, 15, 500), h, m, sec);
    EXPECT_DOUBLE_EQ(sec, 360 - 15.5 * 6);
}

// ---------------------------------------------------------------------------

using TMaker = TChartSeries* (*)(TChart*);
template <typename T> TChartSeries* Make(TChart* C) {
    auto* s = new T(C);
    s->SetParentChart(C);
    return s;
}

TEST(PolarFiles, ChartFilesRoundTripByteIdenticalWithData) {
    TeeExtraSeriesStartup();
    const std::vector<std::pair<const char*, TMaker>> types = {
        {"Polar", Make<TPolarSeries>},       {"Radar", Make<TRadarSeries>},
        {"WindRose", Make<TWindRoseSeries>}, {"Clock", Make<TClockSeries>},
        {"Smith", Make<TSmithSeries>},       {"Gauge", Make<TGaugeSeries>}};
    for (auto [name, make] : types)
        for (bool asText : {false, true}) {
            auto chart = std::make_unique<TChart>(nullptr);
            chart->SetName("Chart1");
            TChartSeries* s = make(chart.get());
            s->SetName("Series1");
            s->FillSampleValues(6);
            if (auto* p = dynamic_cast<TCustomPolarSeries*>(s)) {
                p->SetCloseCircle(false);
                p->CirclePen()->SetColor(clBlue);
                p->SetTransparency(30);
            }
            if (auto* g = dynamic_cast<TGaugeSeries*>(s)) {
                g->SetTotalAngle(180);
                g->SetHandStyle(hsTriangle);
                g->SetValue(42.5);
            }
            if (auto* m = dynamic_cast<TSmithSeries*>(s)) m->SetImagSymbol("j");
            TMemoryStream first;
            SaveChartToStream(chart.get(), &first, true, asText);
            first.SetPosition(0);
            TCustomChart* into = new TChart(nullptr);
            LoadChartFromStream(into, &first);
            std::unique_ptr<TCustomChart> loaded(into);
            ASSERT_EQ(loaded->SeriesCount(), 1) << name;
            TChartSeries* back = loaded->Series(0);
            EXPECT_EQ(back->ClassName(), s->ClassName());
            ASSERT_EQ(back->Count(), s->Count()) << name;
            for (int k = 0; k < 2; ++k)
                for (int i = 0; i < s->Count(); ++i)
                    EXPECT_EQ(back->ValuesList()->Get(k)->Value(i),
                              s->ValuesList()->Get(k)->Value(i))
                        << name << " list " << k;
            if (auto* g = dynamic_cast<TGaugeSeries*>(back)) {
                EXPECT_EQ(g->Value(), 42.5);
                EXPECT_EQ(g->TotalAngle(), 180);
                EXPECT_EQ(g->HandStyle(), hsTriangle);
            }
            if (auto* m = dynamic_cast<TSmithSeries*>(back)) EXPECT_EQ(m->ImagSymbol(), "j");
            if (auto* p = dynamic_cast<TCustomPolarSeries*>(back)) {
                EXPECT_FALSE(p->CloseCircle()) << name;
                EXPECT_EQ(p->CirclePen()->Color(), clBlue) << name;
                EXPECT_EQ(p->Transparency(), 30) << name;
            }
            TMemoryStream second;
            SaveChartToStream(loaded.get(), &second, true, asText);
            ASSERT_EQ(first.Size(), second.Size()) << name << asText;
            EXPECT_EQ(0, std::memcmp(first.Memory(), second.Memory(), size_t(first.Size())))
                << name << asText;
        }
}

// A radar is always drawn turned to 90 degrees and keeps no rotation: its file
// has none, new, painted or turned by code, and one read from an older file
// turns nothing.
TEST(PolarFiles, ARadarFileHoldsNoRotation) {
    TeeExtraSeriesStartup();
    auto chart = std::make_unique<TChart>(nullptr);
    chart->SetName("Chart1");
    chart->SetBounds(0, 0, 300, 200);
    auto* radar = new TRadarSeries(chart.get());
    radar->SetParentChart(chart.get());
    radar->SetName("Series1");
    radar->FillSampleValues(5);
    const auto file = [&chart] {
        TMemoryStream m;
        SaveChartToStream(chart.get(), &m, true, true);
        return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
    };
    const auto picture = [](TCustomChart* C) {
        TBitmap b(300, 200);
        C->Draw(b.Canvas(), TRect(0, 0, 300, 200));
        std::vector<TColor> v;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                v.push_back(b.Canvas()->Pixels(x, y));
        return v;
    };
    EXPECT_EQ(radar->RotationAngle(), 90);
    const std::string made = file();
    EXPECT_EQ(made.find("RotationAngle"), std::string::npos) << made;
    const std::vector<TColor> drawn = picture(chart.get());
    EXPECT_EQ(radar->RotationAngle(), 90);
    EXPECT_EQ(file().find("RotationAngle"), std::string::npos);
    radar->SetRotationAngle(30);
    EXPECT_EQ(file().find("RotationAngle"), std::string::npos);
    std::string older = file();
    const std::string head = "  object Series1: TRadarSeries\n";
    older.insert(older.find(head) + head.size(), "    RotationAngle = 45\n");
    TMemoryStream m;
    m.WriteBuffer(older.data(), int64_t(older.size()));
    m.SetPosition(0);
    TCustomChart* into = new TChart(nullptr);
    std::unique_ptr<TCustomChart> read(into);
    LoadChartFromStream(into, &m);
    read->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(picture(read.get()), drawn);
}

TEST(PolarGallery, EveryTypeIsRegisteredOnItsPage) {
    TeeExtraSeriesStartup();
    const std::vector<std::tuple<TClass, const char*, const char*, int>> expected = {
        {&TPolarSeries::ClassInfo, "Polar", "Extended", 2},
        {&TRadarSeries::ClassInfo, "Radar", "Extended", 2},
        {&TWindRoseSeries::ClassInfo, "Wind Rose", "Other", 1},
        {&TClockSeries::ClassInfo, "Clock", "Other", 1},
        {&TSmithSeries::ClassInfo, "Smith", "Extended", 2},
        {&TGaugeSeries::ClassInfo, "Gauge", "Extended", 1}};
    for (const auto& [cls, name, page, n] : expected) {
        TTeeSeriesType* t = TeeSeriesTypes().Find(cls);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->DescriptionText(), name);
        EXPECT_EQ(t->GalleryPageText(), page);
        EXPECT_EQ(t->NumGallerySeries, n) << name;
        EXPECT_EQ(GetClass(cls->Name), cls) << name;
    }
}

TEST(PolarSamples, SampleValuesFollowTheirRules) {
    TChart chart(nullptr);
    auto* p = new TPolarSeries(&chart);
    p->FillSampleValues(4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p->XValues()->Value(i), (i + 1) * 90.0);
        EXPECT_GE(p->YValues()->Value(i), 1);
        EXPECT_LE(p->YValues()->Value(i), 1000);
    }
    auto* r = new TRadarSeries(&chart);
    r->FillSampleValues();
    ASSERT_EQ(r->Count(), 5);
    EXPECT_EQ(r->GetXLabel(0), "Cars");
    EXPECT_EQ(r->GetXLabel(4), "Lamps");
    auto* m = new TSmithSeries(&chart);
    m->FillSampleValues(4);
    EXPECT_EQ(m->XValues()->Value(2), 2 * 6.5 / 4);
    EXPECT_EQ(m->YValues()->Value(0), 3.8 / 4);
    auto* g = new TGaugeSeries(&chart);
    g->FillSampleValues();
    ASSERT_EQ(g->Count(), 1);
    EXPECT_GE(g->Value(), 0);
    EXPECT_LE(g->Value(), 100);
}

} // namespace
