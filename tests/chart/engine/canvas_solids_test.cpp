// Primitives and solids, checked through the recording canvas: which faces are
// drawn, where, and with which brush.
#include "chart/engine/tecanvas.h"
#include "platform/rtl/rtlmath.h"
#include "support/recording_canvas.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

// Points in a recorded call's text: "Polygon((1,2),(3,4))" has 2.
int PointCount(const TRecordedCall& Call) {
    return static_cast<int>(std::count(Call.Text.begin(), Call.Text.end(), '(')) - 1;
}

class Solids : public ::testing::Test {
protected:
    // Straight on: unrotated, no perspective, so a scene point lands on itself.
    void StraightOn() {
        options.SetOrthogonal(false);
        options.SetRotation(0);
        options.SetElevation(0);
        options.SetPerspective(0);
        Init();
    }
    // Oblique: depth goes right and up one pixel a pixel.
    void Oblique() {
        options.SetOrthogonal(true);
        options.SetOrthoAngle(45);
        Init();
    }
    void Init(bool Is3D = true) {
        const TRect r(0, 0, 400, 300);
        canvas.InitWindow(canvas.Surface()->Canvas(), &options, clWhite, Is3D, r);
        canvas.Projection(100, r, r);
        canvas.Brush()->SetColor(clRed);
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Clear();
    }
    TView3DOptions options;
    TRecordingCanvas canvas;
};

} // namespace

TEST_F(Solids, CubeStraightOnDrawsOnlyTheFront) {
    StraightOn();
    canvas.Cube(10, 50, 20, 60, 0, 30);
    EXPECT_EQ(canvas.Text(1), "Cube(10,50,20,60,0,30,true)\n"
                              "PolygonFour((10,20),(50,20),(50,60),(10,60))");
}

TEST_F(Solids, CubeObliqueDarkensSidesFromTheStartingColour) {
    Oblique();
    canvas.Cube(100, 140, 100, 150, 0, 20);
    const auto faces = canvas.Find("PolygonFour");
    ASSERT_EQ(faces.size(), 3u); // front, right side, top
    EXPECT_EQ(faces[0].BrushColor, clRed);
    EXPECT_EQ(faces[1].BrushColor, ApplyDark(clRed, DarkerColorQuantity));
    EXPECT_EQ(faces[2].BrushColor, ApplyDark(clRed, DarkColorQuantity));

    canvas.Brush()->SetColor(clRed);
    canvas.Clear();
    canvas.Cube(TRect(100, 100, 140, 150), 0, 20, false);
    for (const auto& f : canvas.Find("PolygonFour"))
        EXPECT_EQ(f.BrushColor, clRed);
}

TEST_F(Solids, ConeOfZeroPercentNarrowsToAPoint) {
    Oblique();
    canvas.Cone(true, 100, 50, 160, 150, 0, 40, false, 0);
    const auto sides = canvas.Find("PolygonFour");
    ASSERT_FALSE(sides.empty());
    const TPoint apex = sides[0].Points[0];
    for (const auto& s : sides) { // narrow corners first and last
        EXPECT_EQ(s.Points[0], apex);
        EXPECT_EQ(s.Points[3], apex);
    }
    const auto caps = canvas.Find("Polygon");
    ASSERT_EQ(caps.size(), 1u);
    EXPECT_EQ(caps[0].Points, std::vector<TPoint>(16, apex));
}

TEST_F(Solids, CylinderShadesItsVisibleSidesInSteps) {
    Oblique();
    canvas.Cylinder(true, 100, 50, 160, 150, 0, 40, true);
    const auto sides = canvas.Find("PolygonFour");
    ASSERT_GE(sides.size(), 5u);
    ASSERT_LE(sides.size(), 16u);
    for (size_t i = 0; i < sides.size() && i < 9; ++i)
        EXPECT_EQ(sides[i].BrushColor, ApplyDark(clRed, uint8_t(16 * i))) << i;
    EXPECT_EQ(canvas.Find("Polygon").back().BrushColor, ApplyDark(clRed, DarkColorQuantity));
}

TEST_F(Solids, PieSamplesTheArc) {
    StraightOn();
    canvas.Pie3D(200, 150, 50, 50, 0, 10, 0, 2 * 3.14159265358979, false, false);
    EXPECT_EQ(PointCount(canvas.Find("Polygon").front()), 33); // centre + 32
    canvas.Clear();
    canvas.Pie3D(200, 150, 50, 50, 0, 10, 0, 4 * 3.14159265358979 / 180, false, false);
    EXPECT_EQ(PointCount(canvas.Find("Polygon").front()), 3); // centre + 2
}

TEST_F(Solids, DonutPieDrawsItsInnerWallFirst) {
    Oblique();
    canvas.Pie3D(200, 150, 50, 40, 0, 10, 0.5, 2.5, true, true, 50);
    const auto polygons = canvas.Find("Polygon");
    ASSERT_GE(polygons.size(), 2u);
    EXPECT_EQ(PointCount(polygons[0]), 2 * 13); // n = round(114.6 / 10) + 2 at both depths
    EXPECT_EQ(polygons[0].BrushColor, ApplyDark(clRed, 32));
    EXPECT_EQ(polygons[1].BrushColor, clRed); // the cover, back to the starting colour
    EXPECT_EQ(PointCount(polygons[1]), 2 * 13);
}

TEST_F(Solids, EllipseFlatCoversOneMorePixel) {
    Init(false);
    canvas.EllipseWithZ(10, 10, 20, 20, 5);
    EXPECT_EQ(canvas.Log(1).back(), "Ellipse(10,10,21,21)");
    canvas.Clear();
    canvas.Sphere(50, 50, 0, 4.5);
    EXPECT_EQ(canvas.Log(2).back(), "Ellipse(46,46,55,55)");
}

TEST_F(Solids, RotatedEllipseGoesRoundExactlyOnce) {
    options.SetOrthogonal(false);
    options.SetRotation(20);
    options.SetElevation(340);
    Init();
    canvas.Brush()->SetStyle(bsClear);
    canvas.EllipseWithZ(150, 100, 250, 200, 10);
    const auto outline = canvas.Find("Polyline");
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_EQ(PointCount(outline[0]), 64);
    // The ring closes on its first point and passes no other point twice.
    const auto& points = outline[0].Points;
    EXPECT_EQ(points.front(), points.back());
    std::set<std::pair<int, int>> distinct;
    for (size_t i = 0; i + 1 < points.size(); ++i)
        distinct.insert({points[i].x, points[i].y});
    EXPECT_EQ(distinct.size(), 63u);
    EXPECT_EQ(canvas.Count("Polygon", 9), 0); // clear brush: no fan

    canvas.Clear();
    canvas.Brush()->SetColor(clBlue);
    canvas.EllipseWithZ(150, 100, 250, 200, 10);
    EXPECT_EQ(canvas.Count("Polygon", 9), 63);
    for (const auto& tri : canvas.Find("Polygon"))
        EXPECT_EQ(tri.PenStyle, psClear);
    EXPECT_EQ(canvas.Pen()->Style(), psSolid);
}

TEST_F(Solids, RotatedEllipseByAnAngleIsClosed) {
    StraightOn();
    canvas.Brush()->SetStyle(bsClear);
    canvas.RotatedEllipse(100, 100, 200, 140, 0, 30);
    const auto outline = canvas.Find("Polyline", 0);
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_EQ(PointCount(outline[0]), 64);
}

TEST_F(Solids, TriangleTakesTheFirstColourUnlessTheBrushIsClear) {
    StraightOn();
    const TTrianglePoints3D p = {Point3D(0, 0, 0), Point3D(10, 0, 0), Point3D(0, 10, 0)};
    canvas.Triangle3D(p, {clBlue, clLime, clYellow});
    EXPECT_EQ(canvas.Brush()->Color(), clBlue);
    canvas.Brush()->SetColor(clRed);
    canvas.Brush()->SetStyle(bsClear);
    canvas.Triangle3D(p, {clBlue, clLime, clYellow});
    EXPECT_EQ(canvas.Brush()->Color(), clRed);
    EXPECT_EQ(canvas.Brush()->Style(), bsClear);
}

TEST_F(Solids, FacesAtDepth) {
    StraightOn();
    canvas.RectangleY(10, 20, 30, 0, 5);
    canvas.RectangleZ(10, 20, 30, 0, 5);
    canvas.Plane3D({1, 2}, {3, 4}, 0, 9);
    canvas.TriangleWithZ({1, 1}, {5, 1}, {1, 5}, 0);
    EXPECT_EQ(canvas.Text(1), "RectangleY(10,20,30,0,5)\n"
                              "PolygonFour((10,20),(30,20),(30,20),(10,20))\n"
                              "RectangleZ(10,20,30,0,5)\n"
                              "PolygonFour((10,20),(10,20),(10,30),(10,30))\n"
                              "Plane3D((1,2),(3,4),0,9)\n"
                              "PolygonFour((1,2),(3,4),(3,4),(1,2))\n"
                              "TriangleWithZ((1,1),(5,1),(1,5),0)\n"
                              "Polygon((1,1),(5,1),(1,5))");
}

TEST_F(Solids, PyramidOfNoHeightDrawsOnlyItsBase) {
    Oblique();
    canvas.Pyramid(true, 100, 100, 150, 100, 0, 20, true);
    EXPECT_EQ(canvas.Count("Polygon", 1), 0);
    canvas.Clear();
    canvas.Brush()->SetColor(clRed);
    canvas.Pyramid(true, 100, 50, 150, 100, 0, 20, true);
    EXPECT_GE(canvas.Count("Polygon", 1), 2);
    EXPECT_EQ(canvas.Find("Polygon").front().BrushColor, clRed);
}

TEST_F(Solids, TruncatedPyramidFaceOrder) {
    Oblique();
    canvas.PyramidTrunc(TRect(100, 50, 200, 150), 0, 100, 20, 20);
    EXPECT_EQ(canvas.Names(1),
              (std::vector<std::string>{"PyramidTrunc", "RectangleY", "PlaneFour3D", "PlaneFour3D",
                                        "PolygonFour", "RectangleY"}));
}

TEST_F(Solids, Arrows) {
    StraightOn();
    canvas.Arrow(true, {10, 10}, {110, 10}, 20, 30, 0);
    EXPECT_EQ(canvas.Log(1).back(),
              "Polygon((10,15),(80,15),(80,20),(110,10),(80,0),(80,5),(10,5))");
    canvas.Clear();
    canvas.Arrow(false, {10, 10}, {10, 60}, 20, 100, 0); // head no longer than the arrow
    EXPECT_EQ(canvas.Log(1),
              (std::vector<std::string>{"Arrow(false,(10,10),(10,60),20,100,0)",
                                        "MoveTo3D(10,10,0)", "LineTo3D(10,60,0)", "MoveTo(10,60)",
                                        "LineTo(0,10)", "MoveTo(10,60)", "LineTo(20,10)"}));
    canvas.Clear();
    canvas.Arrow(true, {5, 5}, {5, 5}, 20, 30, 0);
    EXPECT_EQ(canvas.Log(9).size(), 1u);
}

TEST_F(Solids, FrameShrinksTheRectangleRingByRing) {
    Init(false);
    TRect r(0, 0, 10, 10);
    canvas.Frame3D(r, clWhite, clGray, 1);
    EXPECT_EQ(r, TRect(1, 1, 9, 9));
    const auto lines = canvas.Find("LineTo");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].Text, "LineTo(0,0)");
    EXPECT_EQ(lines[0].PenColor, clWhite);
    EXPECT_EQ(lines[2].Text, "LineTo(9,9)");
    EXPECT_EQ(lines[2].PenColor, clGray);
    EXPECT_EQ(lines[3].Text, "LineTo(-1,9)");
}

TEST_F(Solids, PictureIn3DLeavesTheCallersBitmapAlone) {
    StraightOn();
    TBitmap picture(2, 2);
    picture.Canvas()->SetPixel(1, 0, clBlue);
    const TPixelFormat format = picture.PixelFormat();
    canvas.StretchDraw(TRect(10, 10, 30, 30), &picture, 0);
    EXPECT_EQ(picture.PixelFormat(), format);
    const auto cells = canvas.Find("RectangleWithZ");
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[1].Text, "RectangleWithZ(20,10,30,20,0)");
    EXPECT_EQ(cells[1].BrushColor, clBlue);
    EXPECT_EQ(cells[0].BrushColor, clWhite);
}

TEST_F(Solids, HorizontalConeClosesTheEndThatFacesTheViewer) {
    // Depth going right: the narrow end (here a point) is the one seen.
    Oblique();
    canvas.Cone(false, 100, 50, 200, 110, 0, 40, false, 0);
    auto caps = canvas.Find("Polygon");
    ASSERT_EQ(caps.size(), 1u);
    const std::set<std::pair<int, int>> apex = {
        {canvas.Calculate3DPosition(200, 80, 20).x, canvas.Calculate3DPosition(200, 80, 20).y}};
    std::set<std::pair<int, int>> seen;
    for (const TPoint& p : caps[0].Points)
        seen.insert({p.x, p.y});
    EXPECT_EQ(seen, apex);

    // Depth going left: the wide end at x = left shows, closed by the whole base ring.
    options.SetOrthoAngle(135);
    Init();
    canvas.Cone(false, 100, 50, 200, 110, 0, 40, false, 0);
    caps = canvas.Find("Polygon");
    ASSERT_EQ(caps.size(), 1u);
    ASSERT_EQ(caps[0].Points.size(), 16u);
    for (int i = 1; i <= 16; ++i) {
        const double a = (i - 5) * 3.14159265358979 / 8;
        const TPoint expected = canvas.Calculate3DPosition(100, 80 + PixelPos(30 * std::sin(a)),
                                                           20 - PixelPos(20 * std::cos(a)));
        EXPECT_EQ(caps[0].Points[i - 1], expected) << i;
    }
}

TEST_F(Solids, PyramidDrawsTheFacesTurnedToTheViewer) {
    // Depth going right and up: the right and upper faces show, never the base.
    Oblique();
    const TColor red = clRed;
    canvas.Pyramid(true, 100, 50, 150, 100, 0, 20, true);
    auto faces = canvas.Find("Polygon");
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].Text, "Polygon((100,100),(135,40),(150,100))");
    EXPECT_EQ(faces[0].BrushColor, red);
    EXPECT_EQ(faces[1].Text, "Polygon((150,100),(135,40),(170,80))");
    EXPECT_EQ(faces[1].BrushColor, ApplyDark(red, DarkerColorQuantity));
    EXPECT_EQ(canvas.Count("RectangleY", 1), 0);

    canvas.Brush()->SetColor(red);
    canvas.Clear();
    canvas.Pyramid(false, 100, 50, 150, 100, 0, 20, true);
    faces = canvas.Find("Polygon");
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].Text, "Polygon((100,50),(160,65),(100,100))");
    EXPECT_EQ(faces[1].Text, "Polygon((100,50),(160,65),(120,30))");
    EXPECT_EQ(faces[1].BrushColor, ApplyDark(red, DarkColorQuantity));
    EXPECT_EQ(canvas.Count("RectangleZ", 1), 0);
}

TEST_F(Solids, PieSidesAndOuterWallFaceTheViewer) {
    Oblique(); // a scene point (x, y, z) lands on (x + z, y - z)
    const double pi = 3.14159265358979;
    // Right to top: the start face shows, the near arc runs left, so no outer wall.
    canvas.Pie3D(200, 150, 50, 50, 0, 10, 0, pi / 2, true, true);
    EXPECT_EQ(canvas.Names(1), (std::vector<std::string>{"Pie3D", "PolygonFour", "Polygon"}));
    const auto side = canvas.Find("PolygonFour");
    EXPECT_EQ(side[0].Text, "PolygonFour((210,140),(260,140),(250,150),(200,150))");
    EXPECT_EQ(side[0].BrushColor, ApplyDark(clRed, 32));
    EXPECT_EQ(canvas.Find("Polygon")[0].BrushColor, clRed); // the cover

    // Left to bottom: no side shows, and the whole arc is the outer wall.
    canvas.Clear();
    canvas.Pie3D(200, 150, 50, 50, 0, 10, pi, 1.5 * pi, true, true);
    const auto polygons = canvas.Find("Polygon");
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(canvas.Count("PolygonFour", 1), 0);
    EXPECT_EQ(polygons[1].Points.size(), 22u); // 11 near points, then 11 far ones back
    EXPECT_EQ(polygons[1].Points.front(), TPoint(160, 140));
    EXPECT_EQ(polygons[1].Points.back(), TPoint(150, 150));
    EXPECT_EQ(polygons[1].BrushColor, ApplyDark(clRed, 32));
}
