// Bubble, arrow, Gantt and shape series: sizes and corners worked out from the axis
// scales, extremes, clicks, and what a chart file keeps of them.
#include "series_fixture.h"
#include "chart/control/series_arrow.h"
#include "chart/control/series_bubble.h"
#include "chart/control/series_gantt.h"
#include "chart/control/series_shape.h"
#include "chart/control/teestore.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include <tuple>
#include <vector>

namespace {
std::string TextForm(TCustomChart* C) {
    TMemoryStream m;
    SaveChartToStream(C, &m, true, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}
} // namespace

// --- bubbles ----------------------------------------------------------------

class BubbleTest : public SeriesChartTest {
protected:
    TBubbleSeries* Bubbles() {
        auto* s = Add<TBubbleSeries>();
        s->SetColorEachPoint(false);
        s->Pointer()->Pen()->SetVisible(false);
        return s;
    }
};

TEST_F(BubbleTest, RadiusInAxisUnitsSizesTheBubbleOnBothAxes) {
    auto* s = Bubbles();
    s->AddBubble(50, 50, 10);
    Ranges(0, 100, 0, 100);
    Render("bubble_squared");
    const int x = XPos(50), y = YPos(50);
    // Half sizes are the pixel length of 10 on the vertical axis, squared.
    const int vs = YPos(0) - YPos(10);
    const TRect r = Bounds(clRed);
    EXPECT_EQ(r.Top, y - vs);
    EXPECT_EQ(r.Left, x - vs);
    EXPECT_NEAR(r.Bottom, y + vs, 1);
    EXPECT_NEAR(r.Right, x + vs, 1);
    // Drawing leaves the pointer's own sizes alone.
    EXPECT_EQ(s->Pointer()->HorizSize(), 4);

    s->SetSquared(false);
    Ranges(0, 200, 0, 100);
    Render("bubble_ellipse");
    const int hs = XPos(110) - XPos(100);
    const TRect e = Bounds(clRed);
    EXPECT_EQ(e.Left, XPos(50) - hs);
    EXPECT_EQ(e.Top, YPos(50) - vs);
    EXPECT_NE(hs, vs);
}

TEST_F(BubbleTest, ExtremesHoldWholeBubblesAndZeroRadiusAddsNothing) {
    auto* s = Bubbles();
    const double plainMax = s->MaxYValue();
    EXPECT_EQ(plainMax, s->TPointSeries::MaxYValue()); // empty: the point series' extremes
    s->AddBubble(1, 10, 5);
    s->AddBubble(2, 10, 0);
    EXPECT_EQ(s->MaxYValue(), 15);
    EXPECT_EQ(s->MinYValue(), 5);
    s->Delete(0);
    EXPECT_EQ(s->MaxYValue(), 10);
    EXPECT_EQ(s->MinYValue(), 10);
}

TEST_F(BubbleTest, TransparencyBlendsTheBubbleWithWhatLiesBehind) {
    auto* s = Bubbles();
    s->AddBubble(50, 50, 10);
    s->SetTransparency(50);
    Ranges(0, 100, 0, 100);
    Render("bubble_transparent");
    const TColor c = Pixel(XPos(50), YPos(50));
    EXPECT_EQ(GetRValue(c), 255);
    EXPECT_NEAR(GetGValue(c), 127, 2);
    EXPECT_NEAR(GetBValue(c), 127, 2);
}

// --- arrows -----------------------------------------------------------------

class ArrowTest : public SeriesChartTest {};

TEST_F(ArrowTest, OutlineIn2DFilledIn3DFromStartToEnd) {
    auto* s = Add<TArrowSeries>();
    s->SetArrowWidth(20);
    s->SetArrowHeight(20);
    s->AddArrow(10, 50, 90, 50);
    Ranges(0, 100, 0, 100);
    Render("arrow_2d");
    const int y = YPos(50);
    // The shaft runs from start to end in the point colour.
    for (double v : {15.0, 40.0, 70.0})
        EXPECT_EQ(Pixel(XPos(v), y), clRed) << v;
    EXPECT_NE(Pixel(XPos(5), y), clRed);
    EXPECT_NE(Pixel(XPos(95), y), clRed);
    // Inside the head, off the shaft: empty in 2D.
    const TPoint inHead(XPos(90) - 12, y - 4);
    EXPECT_EQ(Pixel(inHead.x, inHead.y), clWhite);

    Chart->SetView3D(true);
    Chart->SetChart3DPercent(1);
    Render("arrow_3d");
    EXPECT_NE(Pixel(inHead.x, inHead.y), clWhite);
}

TEST_F(ArrowTest, EndPointsWidenTheAxesAndHeadSizeIsThePointers) {
    auto* s = Add<TArrowSeries>();
    s->AddArrow(1, 2, 30, -4);
    s->AddArrow(5, 6, 3, 7);
    EXPECT_EQ(s->MaxXValue(), 30);
    EXPECT_EQ(s->MinXValue(), 1);
    EXPECT_EQ(s->MaxYValue(), 7);
    EXPECT_EQ(s->MinYValue(), -4);
    s->SetArrowWidth(9);
    EXPECT_EQ(s->Pointer()->HorizSize(), 9);
    s->SetName("Arrows");
    s->SetForceSaveData(true);
    const std::string text = TextForm(Chart.get());
    EXPECT_EQ(text.find("ArrowWidth"), std::string::npos);
    EXPECT_NE(text.find("HorizSize = 9"), std::string::npos);
}

// --- shapes -----------------------------------------------------------------

class ShapeTest : public SeriesChartTest {
protected:
    TChartShape* Shape(TChartShapeStyle Style) {
        auto* s = Add<TChartShape>();
        s->Pen()->SetVisible(false);
        s->SetStyle(Style);
        return s;
    }
    // The ordered pixel rectangle of value corners (0, 0) and (100, 100).
    TRect Corners() { return TRect(XPos(0), YPos(100), XPos(100), YPos(0)); }
};

TEST_F(ShapeTest, NewShapeIsACircleBetweenItsDefaultCorners) {
    auto* s = Add<TChartShape>();
    ASSERT_EQ(s->Count(), 2);
    EXPECT_EQ(s->X0(), 0);
    EXPECT_EQ(s->Y1(), 100);
    EXPECT_EQ(s->Style(), chasCircle);
    s->Pen()->SetVisible(false);
    Ranges(-10, 110, -10, 110);
    Render("shape_default");
    const TRect c = Corners();
    // Without a pen the fill leaves out the right and bottom edge.
    EXPECT_EQ(Bounds(clRed), TRect(c.Left, c.Top, c.Right - 1, c.Bottom - 1));
    EXPECT_EQ(Pixel(c.Left + 1, c.Top + 1), clWhite); // a circle, not a box
}

struct ShapeCase {
    TChartShapeStyle Style;
    double InX, InY;   // a value position painted red
    double OutX, OutY; // one left alone
};

class ShapeStyleTest : public ShapeTest, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(ShapeStyleTest, StyleCoversItsOwnPixels) {
    const ShapeCase& c = GetParam();
    auto* s = Shape(c.Style);
    s->Pen()->SetVisible(true);
    s->Pen()->SetColor(clRed);
    Ranges(-10, 110, -10, 110);
    Render("shape_style_" + std::to_string(c.Style));
    EXPECT_EQ(Pixel(XPos(c.InX), YPos(c.InY)), clRed);
    EXPECT_EQ(Pixel(XPos(c.OutX), YPos(c.OutY)), clWhite);
}

INSTANTIATE_TEST_SUITE_P(Styles, ShapeStyleTest,
                         ::testing::Values(ShapeCase{chasRectangle, 3, 97, 50, 105},
                                           ShapeCase{chasTriangle, 5, 3, 5, 95},
                                           ShapeCase{chasInvertTriangle, 5, 97, 5, 5},
                                           ShapeCase{chasPyramid, 50, 90, 10, 90},
                                           ShapeCase{chasDiamond, 50, 90, 10, 90},
                                           ShapeCase{chasVertLine, 50, 20, 40, 20},
                                           ShapeCase{chasHorizLine, 20, 50, 20, 40},
                                           ShapeCase{chasLine, 20, 20, 20, 80},
                                           ShapeCase{chasDiagCross, 20, 80, 50, 20},
                                           ShapeCase{chasCross, 50, 20, 20, 20},
                                           ShapeCase{chasStar, 20, 20, 30, 10}));

TEST_F(ShapeTest, CubeAndPyramidTakeTheSeriesDepthIn3D) {
    auto* s = Shape(chasCube);
    s->Pen()->SetVisible(true);
    Chart->SetView3D(true);
    Chart->View3DOptions()->SetOrthogonal(true);
    Chart->SetChart3DPercent(20);
    Ranges(-10, 110, -10, 110);
    Render("shape_cube_3d");
    const TRect front = Chart->Canvas()->CalcRect3D(Corners(), s->StartZ());
    const TRect back = Chart->Canvas()->CalcRect3D(Corners(), s->EndZ());
    ASSERT_NE(front, back);
    // Red from the front face back to the rear corner (the top and side faces are darker reds).
    const TRect all = Bounds(clRed);
    EXPECT_EQ(all.Left, front.Left + 1); // inside the black outline
    EXPECT_GT(Count(clRed, front), 0);
    EXPECT_NE(Pixel(back.Right - 3, back.Top + 3), clWhite);
    s->SetStyle(chasTriangle);
    Render("shape_triangle_3d");
    EXPECT_EQ(Pixel(back.Right - 3, back.Top + 3), clWhite);
}

TEST_F(ShapeTest, ReversedCornersDrawTheSameShapeExceptTheLine) {
    auto* s = Shape(chasRectangle);
    Ranges(-10, 110, -10, 110);
    Render("shape_forward");
    const TRect forward = Bounds(clRed);
    s->SetX0(100);
    s->SetY0(100);
    s->SetX1(0);
    s->SetY1(0);
    Render("shape_reversed");
    EXPECT_EQ(Bounds(clRed), forward);
    EXPECT_EQ(s->Clicked(XPos(50), YPos(50)), 0);

    s->SetStyle(chasLine);
    s->Pen()->SetVisible(true);
    s->Pen()->SetColor(clRed);
    s->SetY1(100); // (100, 100) to (0, 100): a horizontal line at the top
    Render("shape_line");
    EXPECT_EQ(Pixel(XPos(50), YPos(100)), clRed);
    EXPECT_EQ(Pixel(XPos(50), YPos(50)), clWhite);
}

TEST_F(ShapeTest, OnlyExactlyTwoPointsDraw) {
    auto* s = Shape(chasRectangle);
    Ranges(-10, 110, -10, 110);
    s->Delete(1);
    Render("shape_one");
    EXPECT_EQ(Bounds(clRed).Right, -1);
    s->AddXY(100, 100);
    s->AddXY(50, 50);
    Render("shape_three");
    EXPECT_EQ(Bounds(clRed).Right, -1);
    EXPECT_EQ(s->Clicked(XPos(50), YPos(50)), -1);
}

TEST_F(ShapeTest, AShapeOffThePlotIsNeitherDrawnNorHit) {
    auto* s = Shape(chasRectangle);
    Ranges(-10, 110, -10, 110);
    s->SetX0(200);
    s->SetX1(300);
    Render("shape_off_plot");
    EXPECT_EQ(Bounds(clRed).Right, -1);
    EXPECT_EQ(s->Clicked(XPos(250), YPos(50)), -1);
}

TEST_F(ShapeTest, PixelCornersIgnoreTheAxesAndAreWidenedToOnePixel) {
    auto* s = Shape(chasRectangle);
    s->SetShapeRectangle(TRect(40, 30, 140, 90));
    EXPECT_EQ(s->XYStyle(), xysPixels);
    Ranges(-10, 110, -10, 110);
    Render("shape_pixels");
    EXPECT_EQ(Bounds(clRed), TRect(40, 30, 139, 89));
    Ranges(500, 600, -300, 10);
    Render("shape_pixels_scrolled");
    EXPECT_EQ(Bounds(clRed), TRect(40, 30, 139, 89));
    s->SetX1(40);
    EXPECT_EQ(s->GetAdjustedRectangle(), TRect(40, 30, 41, 90));
}

TEST_F(ShapeTest, ClicksFollowTheShapeAndTheTextSitsInside) {
    auto* s = Shape(chasCircle);
    s->Text()->Add("Zone");
    s->Font()->SetColor(clBlue);
    Ranges(-10, 110, -10, 110);
    Render("shape_text");
    EXPECT_EQ(s->Clicked(XPos(50), YPos(50)), 0);
    EXPECT_EQ(s->Clicked(XPos(2), YPos(98)), -1); // corner of the box, outside the circle
    EXPECT_EQ(s->Clicked(XPos(50), YPos(105)), -1);
    // The text's pixels: neither the fill nor the background.
    TRect t(W, H, -1, -1);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (Pixel(x, y) != clRed && Pixel(x, y) != clWhite) {
                t.Left = std::min<int>(t.Left, x);
                t.Top = std::min<int>(t.Top, y);
                t.Right = std::max<int>(t.Right, x + 1);
                t.Bottom = std::max<int>(t.Bottom, y + 1);
            }
    ASSERT_GT(t.Right, t.Left);
    EXPECT_LT(t.Right - t.Left, 60);
    // Centred both ways on the circle's centre.
    EXPECT_NEAR((t.Left + t.Right) / 2, (XPos(0) + XPos(100)) / 2, 2);
    EXPECT_NEAR((t.Top + t.Bottom) / 2, (YPos(0) + YPos(100)) / 2, 4);
}

TEST_F(ShapeTest, SubGalleryHollowTogglesBackAndAChartFileKeepsTheShape) {
    auto* s = Shape(chasDiamond);
    s->SetSubGallery(s, 14);
    s->SetSubGallery(s, 14);
    EXPECT_FALSE(s->Transparent());
    s->SetSubGallery(s, 4);
    EXPECT_EQ(s->Style(), chasCircle);
    s->SetName("Shape1");
    s->SetStyle(chasStar);
    s->SetX0(7);
    s->SetY1(-3);
    s->Text()->Add("a");
    s->SetVertAlign(vaBottom);
    TMemoryStream m;
    SaveChartToStream(Chart.get(), &m);
    m.SetPosition(0);
    TChart back;
    TCustomChart* ref = &back;
    LoadChartFromStream(ref, &m);
    auto* r = dynamic_cast<TChartShape*>(back.GetSeries(0));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Style(), chasStar);
    EXPECT_EQ(r->X0(), 7);
    EXPECT_EQ(r->Y1(), -3);
    EXPECT_EQ(r->X1(), 100);
    EXPECT_EQ(r->VertAlign(), vaBottom);
    EXPECT_EQ(r->Text()->Text(), s->Text()->Text());
}

// Every style, in pixels and in axis values, flat, in 3D and in a turned, zoomed
// and shifted 3D view: what is drawn is hit, and nothing clearly away from it.
enum class ShapeView { Flat, Upright3D, Turned3D };

class ShapeHitTest : public ShapeTest,
                     public ::testing::WithParamInterface<
                         std::tuple<TChartShapeStyle, TChartShapeXYStyle, ShapeView>> {};

TEST_P(ShapeHitTest, HitWhereDrawn) {
    const auto [style, xy, view] = GetParam();
    if (view != ShapeView::Flat) Chart->SetView3D(true);
    if (view == ShapeView::Turned3D) {
        TView3DOptions* o = Chart->View3DOptions();
        o->SetOrthogonal(false);
        o->SetRotation(340);
        o->SetElevation(345);
        o->SetPerspective(40);
        o->SetZoom(115);
        o->SetHorizOffset(20);
        o->SetVertOffset(-15);
        Chart->SetChart3DPercent(50); // deep enough for the sides of cubes and pyramids
    }
    Ranges(0, 100, 0, 100);
    auto* s = Shape(style);
    s->Pen()->SetVisible(true);
    s->Pen()->SetColor(clBlue);
    if (xy == xysPixels) {
        s->SetShapeRectangle(TRect(130, 190, 260, 60)); // from lower left to upper right
    } else {
        s->SetX0(20);
        s->SetY0(25);
        s->SetX1(70);
        s->SetY1(85);
    }
    Chart->SetView3DWalls(false);
    // One frame, as a window shows it before the first click.
    Render("shape_hit_" + std::to_string(style) + "_" + std::to_string(xy) + "_" +
           std::to_string(int(view)));
    std::vector<std::vector<bool>> drawn(H, std::vector<bool>(W));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            drawn[y][x] = Pixel(x, y) != clWhite;
    // Lines: each drawn pixel; solids: pixels deep inside what is drawn. The
    // crosses and the star are hit in their whole rectangle.
    const bool crossed = style == chasCross || style == chasDiagCross || style == chasStar;
    const bool lines =
        crossed || style == chasVertLine || style == chasHorizLine || style == chasLine;
    int left = W, top = H, right = -1, bottom = -1;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (drawn[y][x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (crossed) {
        // and the rectangle they are hit in, as the view turns it
        const TRect g = s->GetAdjustedRectangle();
        for (const TPoint& c : {TPoint(g.Left, g.Top), TPoint(g.Right, g.Top),
                                TPoint(g.Right, g.Bottom), TPoint(g.Left, g.Bottom)}) {
            const TPoint q = view != ShapeView::Flat && xy != xysPixels
                                 ? Chart->Canvas()->Calculate3DPosition(c.x, c.y, s->StartZ())
                                 : c;
            left = std::min(left, q.x);
            right = std::max(right, q.x);
            top = std::min(top, q.y);
            bottom = std::max(bottom, q.y);
        }
    }
    auto outside = [&](int X, int Y) {
        return X < left - 3 || X > right + 3 || Y < top - 3 || Y > bottom + 3;
    };
    auto around = [&](int X, int Y, int Reach, bool Want) {
        for (int y = Y - Reach; y <= Y + Reach; ++y)
            for (int x = X - Reach; x <= X + Reach; ++x)
                if (x < 0 || y < 0 || x >= W || y >= H || drawn[y][x] != Want) return false;
        return true;
    };
    int hits = 0, misses = 0, wrong = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool on = lines ? drawn[y][x] : around(x, y, 2, true);
            const bool away = around(x, y, 3, false) && (!crossed || outside(x, y));
            if (!on && !away) continue;
            const bool hit = s->Clicked(x, y) == 0;
            (on ? hits : misses)++;
            if (hit != on && ++wrong <= 3)
                ADD_FAILURE() << (on ? "missed" : "hit") << " at " << x << "," << y;
        }
    EXPECT_EQ(wrong, 0);
    if (crossed) {
        // Between the arms, off every line.
        const int x = left + (right - left) / 4, y = top + (bottom - top) * 3 / 8;
        EXPECT_FALSE(drawn[y][x]);
        EXPECT_EQ(s->Clicked(x, y), 0);
    }
    EXPECT_GT(hits, lines ? 20 : 400);
    EXPECT_GT(misses, 1000);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ShapeHitTest,
    ::testing::Combine(
        ::testing::Values(chasRectangle, chasCircle, chasVertLine, chasHorizLine, chasTriangle,
                          chasInvertTriangle, chasLine, chasDiamond, chasCube, chasCross,
                          chasDiagCross, chasStar, chasPyramid, chasInvertPyramid),
        ::testing::Values(xysPixels, xysAxis),
        ::testing::Values(ShapeView::Flat, ShapeView::Upright3D, ShapeView::Turned3D)));

// --- Gantt ------------------------------------------------------------------

class GanttTest : public SeriesChartTest {
protected:
    TGanttSeries* Tasks() {
        auto* s = Add<TGanttSeries>();
        s->SetColorEachPoint(false);
        s->Pointer()->Pen()->SetVisible(false);
        s->Pointer()->SetVertSize(5);
        s->AddGantt(10, 40, 1, "a");
        s->AddGantt(60, 90, 2, "b");
        s->AddGantt(95, 95, 3, "c");
        Ranges(0, 100, 0, 4);
        return s;
    }
};

TEST_F(GanttTest, BarsRunFromStartToEndAndLinesLeadToTheNextTask) {
    auto* s = Tasks();
    EXPECT_EQ(s->NextTask()->Value(2), -1); // every task starts without one
    s->NextTask()->SetValue(0, 0.6);        // the nearest index: task 1
    Render("gantt");
    const int y1 = YPos(1), y2 = YPos(2);
    const int x0 = XPos(10), x1 = XPos(40), nx = XPos(60);
    const int h = (x1 - x0) / 2;
    // The bar: the pointer rectangle centred at start + h with half sizes h and 5.
    for (int x : {x0 + 1, x0 + h, x1 - 2})
        EXPECT_EQ(Pixel(x, y1), clRed) << x;
    EXPECT_NE(Pixel(x0 - 2, y1), clRed);
    EXPECT_NE(Pixel(x1 + 2, y1), clRed);
    EXPECT_EQ(Pixel(x0 + h, y1 - 4), clRed);
    EXPECT_NE(Pixel(x0 + h, y1 - 7), clRed);
    // The line: from the end halfway to the next start, across to its row, on to it.
    const int m = x1 + (nx - x1) / 2;
    EXPECT_EQ(Pixel(x1 + 3, y1), clBlack);
    EXPECT_EQ(Pixel(m, (y1 + y2) / 2), clBlack);
    EXPECT_EQ(Pixel(nx - 3, y2), clBlack);
    EXPECT_NE(Pixel(m + 3, (y1 + y2) / 2), clBlack);
    EXPECT_EQ(s->MaxXValue(), 95);

    s->NextTask()->SetValue(0, 7); // no such task: no line
    Render("gantt_no_line");
    EXPECT_NE(Pixel(m, (y1 + y2) / 2), clBlack);
    // A task of no length is a stroke of the pointer's height (its outline).
    EXPECT_EQ(Pixel(XPos(95), YPos(3)), clWhite);
    s->Pointer()->Pen()->SetVisible(true);
    Render("gantt_stroke");
    EXPECT_NE(Pixel(XPos(95), YPos(3) + 3), clWhite);
    EXPECT_EQ(Pixel(XPos(95), YPos(3) + 7), clWhite);
}

TEST_F(GanttTest, ClicksCoverTheBarToItsEndButNotTheVerticalSize) {
    auto* s = Tasks();
    Render("gantt_click");
    const int y = YPos(1);
    EXPECT_EQ(s->Clicked(XPos(40), y), 0);
    EXPECT_EQ(s->Clicked(XPos(25), y + 4), 0);
    EXPECT_EQ(s->Clicked(XPos(25), y + 5), -1);
    EXPECT_EQ(s->Clicked(XPos(45), y), -1);
}
