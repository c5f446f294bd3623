// Line, point, area and fast line series: pictures, stacking and click tests.
#include "series_fixture.h"
#include <cmath>
#include <random>

namespace {
constexpr TColor clAreaBlue = 0xFF0000;
}

// The live read-out: one line, fixed left axis, a bottom axis that scrolls
// with every reading, one AddXY per reading.
class LiveLineTest : public SeriesChartTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LiveLineTest, FedPointByPointTheLineFollowsTheScrollingAxis) {
    Chart->SetView3D(GetParam());
    Chart->SetAxisVisible(true);
    auto* line = Add<TLineSeries>();
    Chart->LeftAxis()->SetMinMax(-100, 100);
    for (int i = 0; i <= 80; ++i) {
        line->AddXY(i, (i % 20) * 10 - 100);
        Chart->BottomAxis()->SetMinMax(std::max(0, i - 40), std::max(40, i));
    }
    Render(GetParam() ? "live_line_3d" : "live_line_2d");
    const TRect r = Chart->ChartRect();
    // Nothing of the line outside the chart rectangle (3D: its projected slab).
    const int depth = GetParam() ? Chart->SeriesDepthWidth + 1 : 0;
    EXPECT_EQ(Count(clRed, TRect(0, 0, r.Left, H)), 0);
    EXPECT_EQ(Count(clRed, TRect(r.Right + depth + 1, 0, W, H)), 0);
    EXPECT_EQ(Count(clRed, TRect(0, r.Bottom + 1, W, H)), 0);
    if (!GetParam()) {
        // Each reading's pixel lies on the line (the last one ends the line: GDI leaves
        // its pixel out).
        for (int i = 41; i < 80; i += 3)
            EXPECT_EQ(Pixel(XPos(i), YPos((i % 20) * 10 - 100)), clRed) << i;
        // The line enters at the left edge, at the height of the segment that crosses it.
        EXPECT_EQ(Pixel(XPos(40.5), YPos(-95)), clRed);
    } else {
        EXPECT_GT(Count(clRed, r), 200);
    }
}

INSTANTIATE_TEST_SUITE_P(View, LiveLineTest, ::testing::Bool(),
                         [](const auto& Info) { return Info.param ? "In3D" : "In2D"; });

// The same series drawn the slow way: every point through DrawValue, or every
// fast line point through MoveTo/LineTo. The run drawing must match them pixel
// for pixel.
class TSegmentLineSeries : public TLineSeries {
public:
    using TLineSeries::TLineSeries;
    void DrawAllValues() override { TChartSeries::DrawAllValues(); }
};
class TSegmentHorizLineSeries : public THorizLineSeries {
public:
    using THorizLineSeries::THorizLineSeries;
    void DrawAllValues() override { TChartSeries::DrawAllValues(); }
};
class TPointByPointFastLine : public TFastLineSeries {
public:
    using TFastLineSeries::TFastLineSeries;
    void DrawAllValues() override { DrawPointByPoint(); }
};

enum class LineKind { Line, Horizontal, Fast };
// Walk: a random walk with spikes. Noisy: a sine with noise, hundreds of
// points a column. Steps: the same on whole numbers, so runs of points share
// rows. Gaps: the noisy sine with a NaN now and then. Smooth: the sine alone,
// so a column's last row is mostly its extreme, the line's end included.
enum class LineData { Walk, Noisy, Steps, Gaps, Smooth };

struct LinePathCase {
    const char* Name;
    LineKind Kind;
    bool In3D;
    int Points;
    bool Zoomed; // the axes cut the line on all four sides
    int NullEvery;
    bool ColorEachPoint;
    bool Stairs;
    bool DrawAll;
    LineData Data = LineData::Walk;
};

class LinePathTest : public SeriesChartTest, public ::testing::WithParamInterface<LinePathCase> {
protected:
    // Columns hold many rows and lines leave the plot steeply.
    template <typename T> T* Filled() {
        const LinePathCase& c = GetParam();
        auto* s = Add<T>();
        std::mt19937 random(7);
        std::uniform_real_distribution<double> step(-1, 1);
        double y = 0;
        for (int i = 0; i < c.Points; ++i) {
            const double wave = std::sin(i * 6.0 / c.Points) * 50;
            switch (c.Data) {
            case LineData::Walk:
                y += step(random) * 3;
                break;
            case LineData::Noisy:
                y = wave + step(random) * 8;
                break;
            case LineData::Steps:
                y = std::round(wave / 4 + step(random));
                break;
            case LineData::Gaps:
                y = i % 997 == 500 ? NAN : wave + step(random) * 8;
                break;
            case LineData::Smooth:
                y = wave;
                break;
            }
            const double spike = i % 501 == 250 && c.Data != LineData::Smooth ? 80 : 0;
            // A horizontal line runs up the left axis.
            const bool up = c.Kind == LineKind::Horizontal;
            const double px = up ? y + spike : i, py = up ? i : y + spike;
            if (c.NullEvery && i % c.NullEvery == c.NullEvery / 2)
                s->AddNullXY(px, py);
            else
                s->AddXY(px, py);
        }
        s->SetColorEachPoint(c.ColorEachPoint);
        if (auto* line = dynamic_cast<TLineSeries*>(s)) line->SetStairs(c.Stairs);
        if (auto* fast = dynamic_cast<TFastLineSeries*>(s)) {
            fast->SetStairs(c.Stairs);
            fast->SetDrawAll(c.DrawAll);
            fast->SetIgnoreNulls(false);
        }
        return s;
    }

    std::unique_ptr<TBitmap> RenderOnly(TChartSeries* S, TChartSeries* Other, const char* Suffix) {
        Other->SetActive(false);
        S->SetActive(true);
        Render(std::string(GetParam().Name) + Suffix);
        return std::move(Picture);
    }
};

TEST_P(LinePathTest, RunsPaintExactlyThePixelsOfThePointByPointDrawing) {
    const LinePathCase& c = GetParam();
    Chart->SetView3D(c.In3D);
    TChartSeries *runs, *steps;
    switch (c.Kind) {
    case LineKind::Line:
        runs = Filled<TLineSeries>();
        steps = Filled<TSegmentLineSeries>();
        break;
    case LineKind::Horizontal:
        runs = Filled<THorizLineSeries>();
        steps = Filled<TSegmentHorizLineSeries>();
        break;
    default:
        runs = Filled<TFastLineSeries>();
        steps = Filled<TPointByPointFastLine>();
    }
    const bool up = c.Kind == LineKind::Horizontal;
    TChartValueList* values = up ? runs->XValues() : runs->YValues();
    const double n = c.Points, mid = values->Value(c.Points / 2 + 1);
    // Unzoomed, the line ends inside the plot, where its last pixel shows.
    const double lo = c.Zoomed ? n * 0.3 : 0, hi = c.Zoomed ? n * 0.7 : n * 1.05;
    const double vlo = c.Zoomed ? mid - 15 : values->MinValue();
    const double vhi = c.Zoomed ? mid + 15 : values->MaxValue();
    if (up)
        Ranges(vlo, vhi, lo, hi);
    else
        Ranges(lo, hi, vlo, vhi);
    const auto a = RenderOnly(runs, steps, "_runs");
    const auto b = RenderOnly(steps, runs, "_steps");
    int differ = 0, line = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const TColor p = a->Canvas()->Pixels(x, y);
            differ += p != b->Canvas()->Pixels(x, y);
            line += p != clWhite;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(line, W / 2); // a line was drawn at all
}

INSTANTIATE_TEST_SUITE_P(
    Series, LinePathTest,
    ::testing::Values(
        LinePathCase{"Walk", LineKind::Line, false, 20000, false, 0, false, false, true},
        LinePathCase{"FewPointsZoomed", LineKind::Line, false, 60, true, 0, false, false, true},
        LinePathCase{"ManyZoomed", LineKind::Line, false, 20000, true, 0, false, false, true},
        LinePathCase{"Nulls", LineKind::Line, false, 3000, false, 97, false, false, true},
        LinePathCase{"ColourEachPoint", LineKind::Line, false, 300, true, 13, true, false, true},
        LinePathCase{"HorizontalZoomedNulls", LineKind::Horizontal, false, 5000, true, 41, false,
                     false, true},
        LinePathCase{"Stairs", LineKind::Line, false, 300, true, 0, false, true, true},
        LinePathCase{"Noisy", LineKind::Line, false, 100000, false, 0, false, false, true,
                     LineData::Noisy},
        LinePathCase{"StepsZoomed", LineKind::Line, false, 100000, true, 0, false, false, true,
                     LineData::Steps},
        LinePathCase{"Gaps", LineKind::Line, false, 100000, false, 0, false, false, true,
                     LineData::Gaps},
        LinePathCase{"Smooth", LineKind::Line, false, 100000, false, 0, false, false, true,
                     LineData::Smooth},
        LinePathCase{"SmoothZoomed", LineKind::Line, false, 100000, true, 0, false, false, true,
                     LineData::Smooth},
        LinePathCase{"HorizontalSmooth", LineKind::Horizontal, false, 100000, false, 0, false,
                     false, true, LineData::Smooth},
        LinePathCase{"HorizontalNoisy", LineKind::Horizontal, false, 100000, false, 0, false, false,
                     true, LineData::Noisy},
        LinePathCase{"FastSmooth", LineKind::Fast, false, 100000, false, 0, false, false, true,
                     LineData::Smooth},
        LinePathCase{"FastWalk", LineKind::Fast, false, 20000, false, 0, false, false, true},
        LinePathCase{"FastNoisyZoomed", LineKind::Fast, false, 100000, true, 0, false, false, true,
                     LineData::Noisy},
        LinePathCase{"FastSteps", LineKind::Fast, false, 100000, false, 0, false, false, true,
                     LineData::Steps},
        LinePathCase{"FastZoomedNulls", LineKind::Fast, false, 20000, true, 97, false, false, true},
        LinePathCase{"FastStairsSkipping", LineKind::Fast, false, 3000, true, 0, false, true,
                     false},
        LinePathCase{"FastIn3D", LineKind::Fast, true, 20000, false, 0, false, false, true},
        LinePathCase{"FastIn3DZoomed", LineKind::Fast, true, 500, true, 31, false, true, true}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(SeriesChartTest, StairsRunAtTheOldLevelThenRiseAndInvertedRiseFirst) {
    auto* line = Add<TLineSeries>();
    Ranges(0, 10, 0, 10);
    line->AddXY(2, 2);
    line->AddXY(8, 7);
    line->SetStairs(true);
    Render("stairs");
    const int x0 = XPos(2), x1 = XPos(8), y0 = YPos(2), y1 = YPos(7);
    EXPECT_EQ(Pixel((x0 + x1) / 2, y0), clRed);
    EXPECT_EQ(Pixel(x1, (y0 + y1) / 2), clRed);
    EXPECT_NE(Pixel(x0, (y0 + y1) / 2), clRed);
    line->SetInvertedStairs(true);
    Render("stairs_inverted");
    EXPECT_EQ(Pixel(x0, (y0 + y1) / 2), clRed);
    EXPECT_EQ(Pixel((x0 + x1) / 2, y1), clRed);
    EXPECT_NE(Pixel((x0 + x1) / 2, y0), clRed);
}

TEST_F(SeriesChartTest, AreaWithStairsFillsEachStepDownToTheAxisEnd) {
    auto* area = Add<TAreaSeries>();
    area->SetSeriesColor(clAreaBlue);
    area->SetStairs(true);
    area->AreaLinesPen()->SetVisible(false);
    area->LinePen()->SetVisible(false);
    Ranges(0, 5, 0, 10);
    area->AddXY(0, 4);
    area->AddXY(2, 8);
    area->AddXY(4, 2);
    Render("area_stairs");
    const int bottom = Chart->LeftAxis()->IEndPos;
    // Step one: x 0..2 at the old level 4; step two: x 2..4 at level 8.
    EXPECT_EQ(Pixel((XPos(0) + XPos(2)) / 2, YPos(4) + 2), clAreaBlue);
    EXPECT_NE(Pixel((XPos(0) + XPos(2)) / 2, YPos(4) - 2), clAreaBlue);
    EXPECT_EQ(Pixel((XPos(2) + XPos(4)) / 2, YPos(8) + 2), clAreaBlue);
    EXPECT_NE(Pixel((XPos(2) + XPos(4)) / 2, YPos(8) - 2), clAreaBlue);
    // Without a pen a GDI rectangle leaves out one more row and column.
    EXPECT_EQ(Pixel(XPos(1), bottom - 2), clAreaBlue);
    EXPECT_NE(Pixel(XPos(1), bottom - 1), clAreaBlue);
}

TEST_F(SeriesChartTest, NullPointSplitsTheLine) {
    auto* line = Add<TLineSeries>();
    Ranges(0, 4, 0, 10);
    line->AddXY(0, 5);
    line->AddXY(1, 5);
    line->AddNullXY(2, 5);
    line->AddXY(3, 5);
    line->AddXY(4, 5);
    Render("null_split");
    EXPECT_EQ(Pixel((XPos(0) + XPos(1)) / 2, YPos(5)), clRed);
    EXPECT_NE(Pixel((XPos(1) + XPos(2)) / 2, YPos(5)), clRed);
    EXPECT_NE(Pixel((XPos(2) + XPos(3)) / 2, YPos(5)), clRed);
    EXPECT_EQ(Pixel((XPos(3) + XPos(4)) / 2, YPos(5)), clRed);
}

TEST_F(SeriesChartTest, StackedAreasSumPositiveValuesAndStack100EndsAtOneHundred) {
    auto* a = Add<TAreaSeries>();
    auto* b = Add<TAreaSeries>();
    a->AddXY(0, 3);
    b->AddXY(0, 4);
    a->AddXY(1, -2);
    b->AddXY(1, 1);
    a->SetMultiArea(maStacked);
    EXPECT_EQ(b->MultiArea(), maStacked);
    Ranges(0, 1, 0, 100);
    Render("stacked_area");
    EXPECT_EQ(b->CalcYPos(0), YPos(7));
    EXPECT_EQ(b->GetOriginPos(0), YPos(3));
    EXPECT_EQ(b->CalcYPos(1), YPos(1)); // a negative value below does not lower the base
    EXPECT_EQ(b->MaxYValue(), 7);
    b->SetMultiArea(maStacked100);
    Render("stacked_area_100");
    EXPECT_EQ(a->CalcYPos(0), YPos(300.0 / 7));
    EXPECT_EQ(b->CalcYPos(0), YPos(100));
    EXPECT_EQ(a->MaxYValue(), 100);
    EXPECT_EQ(a->MinYValue(), 0);
}

TEST_F(SeriesChartTest, ClicksHitPointersStrictlyInsideTheirSizeAndSegmentsGiveTheirStart) {
    auto* line = Add<TLineSeries>();
    Ranges(0, 10, 0, 10);
    for (int i = 0; i <= 10; ++i)
        line->AddXY(i, i % 2 ? 8 : 2);
    line->Pointer()->SetVisible(true);
    Render("clicks");
    const int x = XPos(4), y = YPos(2);
    EXPECT_EQ(line->Clicked(x, y), 4);
    const int h = line->Pointer()->HorizSize();
    EXPECT_EQ(line->Clicked(x + h - 1, y), 4);
    EXPECT_NE(line->Clicked(x - h, y + line->Pointer()->VertSize()), 4);
    // The middle of the segment from 6 to 7.
    EXPECT_EQ(line->Clicked((XPos(6) + XPos(7)) / 2, (YPos(2) + YPos(8)) / 2), 6);
    line->SetClickableLine(false);
    EXPECT_EQ(line->Clicked((XPos(6) + XPos(7)) / 2, (YPos(2) + YPos(8)) / 2), -1);
}

TEST_F(SeriesChartTest, OutlineIsDrawnUnderTheLineWithAWiderPen) {
    auto* line = Add<TLineSeries>();
    Ranges(0, 10, 0, 10);
    line->AddXY(0, 5);
    line->AddXY(10, 5);
    line->OutLine()->SetVisible(true);
    line->OutLine()->SetColor(clBlack);
    Render("outline");
    const int x = XPos(5), y = YPos(5);
    EXPECT_EQ(Pixel(x, y), clRed);
    // Width 1 + 1 + 2 = 4: black shows above and below the red line.
    EXPECT_EQ(Pixel(x, y - 1) == clBlack || Pixel(x, y + 1) == clBlack, true);
    EXPECT_EQ(line->LinePen()->Width(), 1);
    EXPECT_EQ(line->SeriesColor(), clRed);
}

TEST_F(SeriesChartTest, PointSeriesStaysWithoutALineAfterAssign) {
    auto* line = Add<TLineSeries>();
    auto* points = Add<TPointSeries>();
    points->Assign(line);
    EXPECT_FALSE(points->DrawsLine());
    EXPECT_TRUE(points->Pointer()->Visible());
    EXPECT_FALSE(points->ClickableLine());
}

// Fast line: skipping columns, nulls and drawing without a repaint.
TEST_F(SeriesChartTest, FastLineJoinsOrSkipsPointsOfOnePixelColumn) {
    auto* fast = Add<TFastLineSeries>();
    Ranges(0, 1000, 0, 10);
    fast->AddXY(100, 1);
    fast->AddXY(100.1, 9); // same pixel column as x = 100
    fast->AddXY(1000, 1);
    Render("fast_all");
    EXPECT_EQ(XPos(100), XPos(100.1));
    EXPECT_EQ(Pixel(XPos(100), YPos(5)), clRed);
    fast->SetDrawAll(false);
    Render("fast_skip");
    EXPECT_NE(Pixel(XPos(100), YPos(5)), clRed);
    EXPECT_EQ(Pixel(XPos(500), YPos(1)), clRed);
}

TEST_F(SeriesChartTest, FastLineNullLiftsThePenOnlyWhenNullsAreNotIgnored) {
    auto* fast = Add<TFastLineSeries>();
    Ranges(0, 4, 0, 10);
    fast->AddXY(0, 5);
    fast->AddXY(1, 5);
    fast->AddNullXY(2, 5);
    fast->AddXY(3, 5);
    Render("fast_null_ignored");
    EXPECT_EQ(Pixel((XPos(1) + XPos(2)) / 2, YPos(5)), clRed);
    fast->SetIgnoreNulls(false);
    Render("fast_null_gap");
    EXPECT_NE(Pixel((XPos(1) + XPos(2)) / 2, YPos(5)), clRed);
    EXPECT_EQ(Pixel((XPos(2) + XPos(3)) / 2, YPos(5)), clRed);
}

TEST_F(SeriesChartTest, FastLineWithoutAutoRepaintDrawsJustTheNewSegment) {
    auto* fast = Add<TFastLineSeries>();
    Ranges(0, 10, 0, 10);
    fast->AddXY(0, 2);
    fast->AddXY(5, 2);
    Chart->SetWidth(W);
    Chart->SetHeight(H);
    Chart->Draw(); // the window's own buffer
    fast->SetAutoRepaint(false);
    fast->AddXY(10, 8);
    // The segment is on the chart's canvas without a repaint.
    EXPECT_EQ(Chart->Canvas()->GetPixel((XPos(5) + XPos(10)) / 2, (YPos(2) + YPos(8)) / 2), clRed);
    // Also while the chart waits for a repaint it asked for already.
    Chart->Invalidate();
    ASSERT_TRUE(Chart->RepaintAsked());
    fast->AddXY(10, 2);
    EXPECT_EQ(Chart->Canvas()->GetPixel(XPos(10), YPos(5)), clRed);
}

TEST_F(SeriesChartTest, FastLineColourAndPenStayEqual) {
    auto* fast = Add<TFastLineSeries>();
    fast->SetSeriesColor(clGreen);
    EXPECT_EQ(fast->LinePen()->Color(), clGreen);
    TChartPen pen;
    pen.SetColor(clBlue);
    fast->SetPen(&pen);
    EXPECT_EQ(fast->SeriesColor(), clBlue);
}

// Short random lines on a few columns and rows, so that runs on one column
// start, turn and end on every row, the line's last point included: the
// folded line paints exactly what the whole one paints segment by segment.
TEST(LineColumnsTest, FoldedLinePaintsThePixelsOfTheWholeLine) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> col(0, 3), row(0, 6), length(2, 24);
    TBitmap whole(6, 9), folded(6, 9);
    int differ = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        std::vector<TPoint> p(size_t(length(random)));
        for (TPoint& q : p)
            q = TPoint(1 + col(random), 1 + row(random));
        TLineColumns line(64);
        line.Start(p[0]);
        line.Add(p.data() + 1, int(p.size()) - 1);
        line.Finish();
        const std::vector<TPoint>& f = line.Points();
        for (TBitmap* b : {&whole, &folded}) {
            b->Canvas()->Brush()->SetColor(clWhite);
            b->Canvas()->FillRect(TRect(0, 0, 6, 9));
            b->Canvas()->Pen()->SetColor(clBlack);
        }
        whole.Canvas()->MoveTo(p[0].x, p[0].y);
        for (size_t i = 1; i < p.size(); ++i)
            whole.Canvas()->LineTo(p[i].x, p[i].y);
        folded.Canvas()->Polyline(f.data(), int(f.size()));
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 6; ++x)
                differ += whole.Canvas()->Pixels(x, y) != folded.Canvas()->Pixels(x, y);
    }
    EXPECT_EQ(differ, 0);
}
