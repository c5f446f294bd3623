// Chart files of every statistical and shaped series come back byte for byte
// with their data; gallery entries of each type.
#include "chart/control/chart.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/series/errorbar.h"
#include "chart/series/histogram.h"
#include "chart/series/imagebar.h"
#include "chart/series/mypoint.h"
#include "chart/series/teebezie.h"
#include "chart/series/teeboxplot.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teefunnel.h"
#include "chart/series/teemapseries.h"
#include "chart/series/teepointfigure.h"
#include "platform/classes/streams.h"
#include "platform/rtl/datetime.h"
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using TSetUp = std::function<TChartSeries*(TChart*)>;

template <typename T> T* Make(TChart* C) {
    auto* s = new T(C);
    s->SetName("Series1");
    s->SetParentChart(C);
    return s;
}

class StatFilesTest : public ::testing::TestWithParam<std::pair<const char*, TSetUp>> {
protected:
    StatFilesTest() { TeeExtraSeriesStartup(); }
};

TEST_P(StatFilesTest, RoundTripByteIdenticalWithData) {
    for (bool asText : {false, true}) {
        auto chart = std::make_unique<TChart>(nullptr);
        chart->SetName("Chart1");
        TChartSeries* s = GetParam().second(chart.get());
        const int points = s->Count();
        TMemoryStream first;
        SaveChartToStream(chart.get(), &first, true, asText);
        first.SetPosition(0);
        TCustomChart* loaded = new TChart(nullptr);
        std::unique_ptr<TCustomChart> own(loaded);
        LoadChartFromStream(loaded, &first);
        ASSERT_EQ(loaded->SeriesCount(), 1);
        TChartSeries* back = loaded->Series(0);
        EXPECT_EQ(back->ClassName(), s->ClassName());
        EXPECT_EQ(back->Count(), points);
        for (int l = 0; l < s->ValuesList()->Count(); ++l)
            for (int i = 0; i < points; ++i)
                EXPECT_EQ(back->ValuesList()->Get(l)->Value(i), s->ValuesList()->Get(l)->Value(i))
                    << l << " " << i;
        TMemoryStream second;
        SaveChartToStream(loaded, &second, true, asText);
        ASSERT_EQ(first.Size(), second.Size());
        EXPECT_EQ(0, std::memcmp(first.Memory(), second.Memory(), size_t(first.Size())));
    }
}

INSTANTIATE_TEST_SUITE_P(Stat, StatFilesTest,
                         ::testing::Values(
                             std::pair<const char*, TSetUp>{"ErrorBar",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TErrorBarSeries>(C);
                                                                s->FillSampleValues(8);
                                                                s->SetErrorWidth(40);
                                                                s->ErrorPen()->SetColor(clBlue);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"Error",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TErrorSeries>(C);
                                                                s->FillSampleValues(8);
                                                                s->SetErrorStyle(essLeft);
                                                                s->SetErrorWidthUnits(ewuPixels);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"HighLow",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<THighLowSeries>(C);
                                                                s->FillSampleValues(8);
                                                                s->SetTransparency(40);
                                                                s->LowBrush()->SetStyle(bsSolid);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"Box",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TBoxSeries>(C);
                                                                s->FillSampleValues(10);
                                                                s->SetPosition(2);
                                                                s->SetWhiskerLength(2);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"HorizBox",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<THorizBoxSeries>(C);
                                                                s->FillSampleValues(10);
                                                                s->ExtrOut()->SetStyle(psDiamond);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"Histogram",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<THistogramSeries>(C);
                                                                s->FillSampleValues(8);
                                                                s->LinesPen()->SetVisible(true);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"PointFigure",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s =
                                                                    Make<TPointFigureSeries>(C);
                                                                s->FillSampleValues(20);
                                                                s->SetBoxSize(2.5);
                                                                s->SetReversalAmount(2);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"Funnel",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TFunnelSeries>(C);
                                                                s->FillSampleValues(5);
                                                                s->SetDifferenceLimit(12.5);
                                                                s->SetWithinColor(clAqua);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"Pyramid",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TPyramidSeries>(C);
                                                                s->FillSampleValues(5);
                                                                s->SetSize(70);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"Donut",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TDonutSeries>(C);
                                                                s->FillSampleValues(5);
                                                                s->SetDonutPercent(30);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"Bezier",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TBezierSeries>(C);
                                                                s->FillSampleValues(7);
                                                                s->SetBezierStyle(bsBezier3);
                                                                s->SetNumBezierPoints(9);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"LinePoint",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TMyPointSeries>(C);
                                                                s->FillSampleValues(7);
                                                                s->LinesPen()->SetWidth(3);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"BarJoin",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TBarJoinSeries>(C);
                                                                s->FillSampleValues(4);
                                                                s->JoinPen()->SetColor(clLime);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"ImageBar",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TImageBarSeries>(C);
                                                                s->FillSampleValues(4);
                                                                s->SetImageTiled(true);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"DeltaPoint",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s =
                                                                    Make<TDeltaPointSeries>(C);
                                                                s->FillSampleValues(6);
                                                                s->SetImageStyle(disHands);
                                                                return s;
                                                            }},
                             std::pair<const char*, TSetUp>{"Calendar",
                                                            [](TChart* C) -> TChartSeries* {
                                                                auto* s = Make<TCalendarSeries>(C);
                                                                s->SetDate(EncodeDate(2024, 6, 12));
                                                                s->Months()->SetUpperCase(true);
                                                                s->Sunday()->SetColor(clPurple);
                                                                return s;
                                                            }}),
                         [](const auto& Info) { return std::string(Info.param.first); });

TEST(StatGallery, SeriesAreRegisteredOnTheirPages) {
    TeeExtraSeriesStartup();
    const std::vector<std::tuple<TClass, const char*, const char*, int>> series = {
        {&TErrorBarSeries::ClassInfo, "Error Bar", "Stats", 1},
        {&TErrorSeries::ClassInfo, "Error", "Stats", 1},
        {&THighLowSeries::ClassInfo, "High-Low", "Stats", 1},
        {&TBoxSeries::ClassInfo, "BoxPlot", "Stats", 2},
        {&THorizBoxSeries::ClassInfo, "Horizontal\rBoxPlot", "Stats", 2},
        {&THistogramSeries::ClassInfo, "Histogram", "Stats", 1},
        {&TPointFigureSeries::ClassInfo, "Point & Figure", "Financial", 1},
        {&TFunnelSeries::ClassInfo, "Funnel", "Stats", 1},
        {&TPyramidSeries::ClassInfo, "Pyramid", "Extended", 2},
        {&TDonutSeries::ClassInfo, "Donut", "Extended", 1},
        {&TCalendarSeries::ClassInfo, "Calendar", "Other", 1},
        {&TBezierSeries::ClassInfo, "Bezier", "Extended", 1},
        {&TMyPointSeries::ClassInfo, "Line Point", "Other", 1},
        {&TBarJoinSeries::ClassInfo, "Bar Join", "Other", 1},
        {&TMapSeries::ClassInfo, "Map", "Extended", 1},
        {&TImageBarSeries::ClassInfo, "ImageBar", "Other", 1},
        {&TImagePointSeries::ClassInfo, "ImagePoint", "Other", 1},
        {&TDeltaPointSeries::ClassInfo, "DeltaPoint", "Other", 1}};
    for (const auto& [cls, name, page, n] : series) {
        TTeeSeriesType* t = TeeSeriesTypes().Find(cls);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->DescriptionText(), name);
        EXPECT_EQ(t->GalleryPageText(), page);
        EXPECT_EQ(t->NumGallerySeries, n) << name;
        EXPECT_EQ(GetClass(cls->Name), cls);
    }
}

} // namespace
