// Bar layouts and pie slices, checked against positions worked out from the
// slot and angle formulas.
#include "series_fixture.h"
#include "platform/classes/streams.h"
#include <cmath>
#include <numbers>

namespace {
constexpr TColor clB = 0xFF0000; // blue
constexpr TColor clG = 0x008000; // green

// The integer nearest to Value, halves to even.
int Nearest(double Value) {
    return static_cast<int>(std::nearbyint(Value));
}
} // namespace

class BarTest : public SeriesChartTest {
protected:
    TBarSeries* Bars(TColor Colour, std::initializer_list<double> Values) {
        auto* s = Add<TBarSeries>();
        s->SetSeriesColor(Colour);
        s->BarPen()->SetVisible(false);
        s->Gradient()->SetVisible(false);
        for (double v : Values)
            s->Add(v);
        return s;
    }
    // Width of the bars: slot of the axis, percentage, shared by the group, made even.
    int ExpectedWidth(int MaxBarCount, int Groups, int Percent = 70) {
        const int slot = Chart->BottomAxis()->IAxisSize / MaxBarCount;
        int w = Nearest(Percent * 0.01 * slot) / Groups;
        return w % 2 ? w + 1 : w;
    }
};

TEST_F(BarTest, SideBySideBarsShareTheSlotAroundEachPoint) {
    auto* a = Bars(clRed, {1, 2, 3, 4, 5});
    auto* b = Bars(clB, {5, 4, 3, 2, 1});
    Chart->LeftAxis()->SetMinMax(0, 6);
    Render("bars_side");
    EXPECT_EQ(a->MaxBarCount(), 6);
    EXPECT_EQ(a->GroupBarCount(), 2);
    const int w = ExpectedWidth(6, 2);
    ASSERT_EQ(a->BarSizePixels(), w);
    for (int i = 0; i < 5; ++i) {
        const int x = Chart->BottomAxis()->CalcXPosValue(i);
        EXPECT_EQ(a->CalcXPos(i), x - w);
        EXPECT_EQ(b->CalcXPos(i), x);
        // Without a pen a bar covers left .. left + width + 1 (the pen's pixel included).
        EXPECT_EQ(Pixel(x - w + 1, YPos(0.5)), clRed) << i;
        EXPECT_EQ(Pixel(x + 1, YPos(0.5)), clB) << i;
        EXPECT_EQ(Pixel(x + w, YPos(0.5)), clB) << i;
        EXPECT_NE(Pixel(x + w + 2, YPos(0.5)), clB) << i;
    }
    // Heights: a's third bar reaches value 3.
    const int x2 = Chart->BottomAxis()->CalcXPosValue(2);
    EXPECT_EQ(Pixel(x2 - w / 2, YPos(3) + 1), clRed);
    EXPECT_NE(Pixel(x2 - w / 2, YPos(3) - 2), clRed);
}

TEST_F(BarTest, SingleBarWithoutMultiBarIsCentredOnItsPoint) {
    auto* a = Bars(clRed, {1, 2, 3});
    a->SetMultiBar(mbNone);
    Chart->LeftAxis()->SetMinMax(0, 4);
    Render("bars_none");
    const int w = ExpectedWidth(4, 1);
    ASSERT_EQ(a->BarSizePixels(), w);
    EXPECT_EQ(w % 2, 0);
    const int x = Chart->BottomAxis()->CalcXPosValue(1);
    EXPECT_EQ(a->CalcXPos(1), x - w / 2);
    const TRect r = Bounds(clRed);
    EXPECT_EQ(r.Left, Chart->BottomAxis()->CalcXPosValue(0) - w / 2);
}

TEST_F(BarTest, StackedBarsStackPositivesOnPositivesAndNegativesOnNegatives) {
    auto* a = Bars(clRed, {3, -2});
    auto* b = Bars(clB, {4, -5});
    a->SetMultiBar(mbStacked);
    EXPECT_EQ(b->MultiBar(), mbStacked);
    Chart->LeftAxis()->SetMinMax(-8, 8);
    Render("bars_stacked");
    EXPECT_EQ(b->CalcYPos(0), YPos(7));
    EXPECT_EQ(b->GetOriginPos(0), YPos(3));
    EXPECT_EQ(b->CalcYPos(1), YPos(-7));
    EXPECT_EQ(b->GetOriginPos(1), YPos(-2));
    EXPECT_EQ(b->MaxYValue(), 7);
    EXPECT_EQ(b->MinYValue(), -7);
    const int x0 = a->CalcXPos(0) + a->BarSizePixels() / 2;
    EXPECT_EQ(Pixel(x0, YPos(5)), clB);
    EXPECT_EQ(Pixel(x0, YPos(1)), clRed);
    const int x1 = a->CalcXPos(1) + a->BarSizePixels() / 2;
    EXPECT_EQ(Pixel(x1, YPos(-1)), clRed);
    EXPECT_EQ(Pixel(x1, YPos(-6)), clB);
    // Different groups stand side by side instead.
    b->SetStackGroup(1);
    Render("bars_stacked_groups");
    EXPECT_EQ(a->GroupBarCount(), 2);
    EXPECT_EQ(b->CalcYPos(0), YPos(4));
    EXPECT_EQ(b->CalcXPos(0), a->CalcXPos(0) + a->BarSizePixels());
}

TEST_F(BarTest, Stacked100RunsFromZeroToExactlyOneHundred) {
    auto* a = Bars(clRed, {1, 30});
    auto* b = Bars(clB, {3, 70});
    a->SetMultiBar(mbStacked100);
    Chart->LeftAxis()->SetMinMax(0, 100);
    Render("bars_stacked100");
    EXPECT_EQ(b->MaxYValue(), 100);
    EXPECT_EQ(b->MinYValue(), 0);
    EXPECT_EQ(a->CalcYPos(0), YPos(25));
    EXPECT_EQ(b->CalcYPos(0), YPos(100));
    EXPECT_EQ(b->GetOriginPos(1), YPos(30));
}

TEST_F(BarTest, SelfStackedSeriesIsOneColumnAtItsIndex) {
    auto* a = Bars(clRed, {1, 2, 3});
    auto* b = Bars(clB, {2, 2});
    a->SetMultiBar(mbSelfStack);
    Chart->LeftAxis()->SetMinMax(0, 7);
    Render("bars_selfstack");
    EXPECT_EQ(a->MaxYValue(), 6);
    EXPECT_EQ(b->MaxXValue(), 1);
    EXPECT_EQ(a->CalcXPos(2), a->CalcXPos(0));
    EXPECT_EQ(a->CalcYPos(2), YPos(6));
    EXPECT_EQ(a->GetOriginPos(2), YPos(3));
    EXPECT_EQ(Pixel(a->CalcXPos(0) + 2, YPos(5)), clRed);
    EXPECT_EQ(Pixel(b->CalcXPos(0) + 2, YPos(3)), clB);
}

TEST_F(BarTest, SideAllPlacesTheSecondSeriesAfterTheFirst) {
    auto* a = Bars(clRed, {1, 2});
    auto* b = Bars(clB, {3, 4, 5});
    a->SetMultiBar(mbSideAll);
    Chart->LeftAxis()->SetMinMax(0, 6);
    Render("bars_sideall");
    EXPECT_EQ(b->PointsBefore(), 2);
    EXPECT_EQ(b->MaxXValue(), 4);
    EXPECT_EQ(b->CalcXPos(0), Chart->BottomAxis()->CalcXPosValue(2) - b->BarSizePixels() / 2);
}

TEST_F(BarTest, FullWidthBarsTouchTheNextAndZeroHeightDrawsALine) {
    auto* a = Bars(clRed, {2, 0, 3});
    a->SetMultiBar(mbNone);
    a->SetBarWidthPercent(100);
    a->BarPen()->SetVisible(true);
    Chart->LeftAxis()->SetMinMax(-1, 4);
    Render("bars_full");
    // Bar 0 reaches bar 1's left edge: its outline's last column is just before it.
    EXPECT_EQ(Pixel(a->CalcXPos(1) - 1, YPos(1)), clBlack);
    EXPECT_EQ(Pixel(a->CalcXPos(1) - 2, YPos(1)), clRed);
    // The zero bar is a line in its colour at the origin.
    EXPECT_EQ(Pixel(a->CalcXPos(1) + 3, YPos(0)), clRed);
}

TEST_F(BarTest, PyramidIsHitOnlyInsideItsTriangle) {
    auto* a = Bars(clRed, {4});
    a->SetMultiBar(mbNone);
    a->SetBarStyle(bsPyramid);
    Chart->LeftAxis()->SetMinMax(0, 4);
    Render("bars_pyramid");
    const int left = a->CalcXPos(0), w = a->BarSizePixels();
    EXPECT_EQ(a->Clicked(left + w / 2, YPos(1)), 0);
    EXPECT_EQ(a->Clicked(left + 1, YPos(3.8)), -1);
    EXPECT_NE(Pixel(left + 1, YPos(3.8)), clRed);
    EXPECT_EQ(Pixel(left + w / 2, YPos(3)), clRed);
    a->SetBarStyle(bsRectangle);
    EXPECT_EQ(a->Clicked(left + 1, YPos(3.8)), 0);
}

TEST_F(BarTest, HorizontalBarsMirrorTheLayout) {
    auto* a = Add<THorizBarSeries>();
    a->BarPen()->SetVisible(false);
    a->Gradient()->SetVisible(false);
    a->Add(3);
    a->Add(5);
    Chart->BottomAxis()->SetMinMax(0, 6);
    Render("hbars");
    const int y = Chart->LeftAxis()->CalcYPosValue(1);
    EXPECT_EQ(a->CalcYPos(1), y - a->BarSizePixels() / 2); // one series of mbSide
    EXPECT_EQ(Pixel(XPos(4.5), y), clRed);
    EXPECT_NE(Pixel(XPos(5.5), y), clRed);
    EXPECT_EQ(a->Clicked(XPos(2), y), 1);
}

TEST_F(BarTest, BarsIn3DAreCubesInTheirDepthSlot) {
    Chart->SetView3D(true);
    auto* a = Bars(clRed, {2, 4});
    auto* b = Bars(clB, {3, 1});
    a->SetMultiBar(mbStacked);
    Chart->LeftAxis()->SetMinMax(0, 8);
    Render("bars_3d");
    EXPECT_EQ(a->GetZOrder(), b->GetZOrder());
    EXPECT_GT(Count(clRed, TRect(0, 0, W, H)), 100);
    EXPECT_GT(Count(clB, TRect(0, 0, W, H)), 100);
}

// ---------------------------------------------------------------------------

class PieTest : public SeriesChartTest {
protected:
    TPieSeries* Pie(std::initializer_list<std::pair<double, TColor>> Slices) {
        auto* p = Add<TPieSeries>();
        p->PiePen()->SetVisible(false);
        for (auto [v, c] : Slices)
            p->Add(v, "", c);
        return p;
    }
    // The pixel at Angle degrees, Fraction of the radius from the centre.
    TColor At(TPieSeries* P, double Degrees, double Fraction, int DX = 0, int DY = 0) {
        const double a = Degrees * std::numbers::pi / 180;
        return Pixel(P->CircleCenterX() + DX + Nearest(std::cos(a) * P->RadiusX() * Fraction),
                     P->CircleCenterY() - DY - Nearest(std::sin(a) * P->RadiusY() * Fraction));
    }
};

TEST_F(PieTest, SlicesRunCounterClockwiseFromThreeOClock) {
    auto* p = Pie({{30, clRed}, {70, clB}});
    Render("pie");
    ASSERT_EQ(p->Angles().size(), 2u);
    EXPECT_NEAR(p->Angles()[0].EndAngle * 180 / std::numbers::pi, 108, 1e-9);
    EXPECT_NEAR(p->Angles()[1].EndAngle * 180 / std::numbers::pi, 360, 1e-9);
    EXPECT_EQ(At(p, 54, 0.5), clRed);
    EXPECT_EQ(At(p, 100, 0.8), clRed);
    EXPECT_EQ(At(p, 116, 0.8), clB);
    EXPECT_EQ(At(p, 300, 0.5), clB);
    p->SetRotationAngle(90);
    Render("pie_rotated");
    EXPECT_EQ(At(p, 144, 0.5), clRed);
    EXPECT_EQ(At(p, 30, 0.5), clB);
    EXPECT_EQ(p->Clicked(p->CircleCenterX() - 10, p->CircleCenterY() - 30), 0);
}

TEST_F(PieTest, ExplodedSliceMovesOutAndTheCircleShrinksByHalfItsOffset) {
    auto* p = Pie({{30, clRed}, {70, clB}});
    Render("pie_plain");
    const TRect plain = p->CircleRect();
    p->SetExplodeBiggest(30);
    Render("pie_exploded");
    // Slice 1 (70) is the biggest; its middle angle is (108 + 360) / 2 = 234 degrees.
    const double mid = 234 * std::numbers::pi / 180;
    const int dx = Nearest(p->RadiusX() * 0.3 * std::cos(mid));
    const int dy = Nearest(p->RadiusY() * 0.3 * std::sin(mid));
    int cx, cy;
    p->CalcExplodedOffset(1, cx, cy);
    EXPECT_EQ(cx, dx);
    EXPECT_EQ(cy, dy);
    // The circle shrank: left and right by |dx| div 2 (then made even), top and bottom by |dy|
    // div 2.
    const TRect r = p->CircleRect();
    EXPECT_LE(r.Right - r.Left, plain.Right - plain.Left - 2 * (std::abs(dx) / 2) + 1);
    EXPECT_LT(r.Bottom - r.Top, plain.Bottom - plain.Top);
    // Beyond the radius along 234 degrees, but within it once moved out: the exploded slice.
    EXPECT_EQ(At(p, 234, 1.1), clB);
    EXPECT_NE(At(p, 54, 1.1), clRed);
    EXPECT_EQ(At(p, 54, 0.9), clRed);
}

TEST_F(PieTest, SmallSlicesGroupIntoTheOtherSliceThatIsNeverStored) {
    auto* p = Pie({{5, clRed}, {50, clB}, {45, clG}});
    p->OtherSlice()->SetStyle(poBelowPercent);
    p->OtherSlice()->SetValue(10);
    p->OtherSlice()->SetColor(clBlack);
    Render("pie_other");
    ASSERT_EQ(p->Count(), 4);
    EXPECT_EQ(p->GetXLabel(3), "Other");
    EXPECT_EQ(p->PieValues()->Value(3), 5);
    EXPECT_TRUE(p->BelongsToOtherSlice(0));
    EXPECT_EQ(p->CountLegendItems(), 3);
    EXPECT_EQ(p->LegendToValueIndex(2), 3);
    // The grouped point gets an empty slice; the other slice takes its share.
    EXPECT_EQ(p->Angles()[0].StartAngle, p->Angles()[0].EndAngle);
    EXPECT_EQ(At(p, 360 - 9, 0.5), clBlack);
    // Drawing again does not add a second one.
    Render("pie_other_again");
    EXPECT_EQ(p->Count(), 4);
    TMemoryStream stream;
    p->WriteData(&stream);
    EXPECT_EQ(p->Count(), 3);
    // Nor the mark of a grouped slice: an X of -1 is read back as the first point.
    for (int i = 0; i < p->Count(); ++i)
        EXPECT_EQ(p->XValues()->Value(i), i);
}

TEST_F(PieTest, OtherSliceLegendListsOnlyTheGroupedSlicesAndTakesNoRoom) {
    auto* p = Pie({{5, clRed}, {50, clB}, {4, clYellow}, {45, clG}});
    p->OtherSlice()->SetStyle(poBelowPercent);
    p->OtherSlice()->SetValue(10);
    Chart->Legend()->SetVisible(true);
    Render("pie_other_plain");
    const TRect circle = p->CircleRect();
    EXPECT_EQ(Chart->Legend()->TotalLegendItems(), 3); // 50, 45 and "Other"

    TChartLegend* other = p->OtherSlice()->Legend();
    EXPECT_FALSE(other->Visible());
    other->SetVisible(true);
    other->SetAlignment(laLeft);
    Render("pie_other_legend");
    EXPECT_EQ(p->CircleRect(), circle);
    EXPECT_EQ(other->TotalLegendItems(), 2);
    EXPECT_EQ(other->LastValue(), 1);
    EXPECT_FALSE(p->DrawingOtherLegend);
    // Its symbols are the grouped slices' colours, inside its own box.
    const TRect box = other->ShapeBounds();
    ASSERT_GT(box.Right, box.Left);
    EXPECT_GT(Count(clRed, box), 0);
    EXPECT_GT(Count(clYellow, box), 0);
    EXPECT_EQ(Count(clB, box), 0);
    // The main legend still lists the others only.
    EXPECT_EQ(Count(clYellow, Chart->Legend()->ShapeBounds()), 0);
}

TEST_F(PieTest, CircleBackColourIsTheBackWallsUnlessTheWallIsTransparent) {
    auto* p = Pie({{50, clRed}, {50, clB}});
    p->SetUsePatterns(true);
    Chart->SetColor(clYellow);
    EXPECT_EQ(p->CalcCircleBackColor(), clYellow);
    Chart->BackWall()->SetTransparent(false);
    Chart->BackWall()->SetColor(clG);
    EXPECT_EQ(p->CalcCircleBackColor(), clG);
    Render("pie_patterns_wall");
    // Between the hatch lines of a slice the circle's background shows.
    int green = 0;
    for (int d = 0; d < 8; ++d)
        green += At(p, 45, 0.3 + d * 0.05) == clG;
    EXPECT_GT(green, 0);
    p->SetCircleBackColor(clWhite);
    EXPECT_EQ(p->CalcCircleBackColor(), clWhite);
}

TEST_F(PieTest, APieSetsTheFixedViewAndRemovingItRestoresTheChartsView) {
    Chart->View3DOptions()->SetElevation(340);
    Chart->View3DOptions()->SetPerspective(20);
    auto* p = Pie({{1, clRed}});
    EXPECT_EQ(Chart->View3DOptions()->Elevation(), 315);
    EXPECT_EQ(Chart->View3DOptions()->Rotation(), 360);
    EXPECT_EQ(Chart->View3DOptions()->Perspective(), 0);
    p->SetActive(false);
    EXPECT_EQ(Chart->View3DOptions()->Elevation(), 340);
    p->SetActive(true);
    p->SetParentChart(nullptr);
    EXPECT_EQ(Chart->View3DOptions()->Elevation(), 340);
    EXPECT_EQ(Chart->View3DOptions()->Perspective(), 20);
}

// A click hits a slice only where the slice is drawn: inside its own circle,
// moved out when exploded, and outside a donut's hole; never a window corner.
TEST_F(PieTest, ClickHitsASliceOnlyWhereItIsDrawn) {
    const struct {
        const char* Case;
        int Exploded; // slice 1's explode percent
        int Hole;
        double Degrees, Fraction; // about slice 1's own centre
        int Want;
    } rows[] = {
        {"plain red", 0, 0, 54, 0.5, 0},         {"plain blue", 0, 0, 234, 0.9, 1},
        {"plain rim", 0, 0, 300, 0.97, 1},       {"plain beyond", 0, 0, 45, 1.1, -1},
        {"plain diagonal", 0, 0, 234, 1.3, -1},  {"exploded blue", 30, 0, 234, 0.95, 1},
        {"exploded near", 30, 0, 300, 0.5, 1},   {"exploded beyond", 30, 0, 234, 1.08, -1},
        {"exploded red", 30, 0, 90, 0.9, 0},     {"exploded gap", 30, 0, 108, 1.2, -1},
        {"donut ring", 0, 50, 234, 0.75, 1},     {"donut hole", 0, 50, 234, 0.3, -1},
        {"exploded donut", 30, 50, 200, 0.8, 1}, {"exploded hole", 30, 50, 200, 0.3, -1},
    };
    for (const auto& row : rows) {
        Chart->FreeAllSeries();
        auto* p = Pie({{30, clRed}, {70, clB}});
        p->SetDonutPercent(row.Hole);
        p->ExplodedSlice()->Put(1, row.Exploded);
        Render("pie_click");
        int dx, dy;
        p->CalcExplodedOffset(1, dx, dy);
        const double a = row.Degrees * std::numbers::pi / 180;
        const int x = p->CircleCenterX() + dx + Nearest(std::cos(a) * p->RadiusX() * row.Fraction);
        const int y = p->CircleCenterY() - dy - Nearest(std::sin(a) * p->RadiusY() * row.Fraction);
        EXPECT_EQ(p->Clicked(x, y), row.Want) << row.Case;
        const TColor drawn = Pixel(x, y);
        EXPECT_EQ(drawn == clRed ? 0 : drawn == clB ? 1 : -1, row.Want) << row.Case;
        for (const TPoint corner : {TPoint(1, 1), TPoint(Chart->Width() - 2, 1),
                                    TPoint(1, Chart->Height() - 2),
                                    TPoint(Chart->Width() - 2, Chart->Height() - 2)})
            EXPECT_EQ(p->Clicked(corner.x, corner.y), -1) << row.Case;
    }
}

TEST_F(PieTest, PieIn3DDrawsAllSlices) {
    Chart->SetView3D(true);
    auto* p = Pie({{30, clRed}, {70, clB}});
    p->SetExplodeBiggest(20);
    Render("pie_3d");
    EXPECT_GT(Count(clRed, TRect(0, 0, W, H)), 200);
    EXPECT_GT(Count(clB, TRect(0, 0, W, H)), 200);
}
