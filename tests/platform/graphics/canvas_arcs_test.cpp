// Pies, arcs and chords on a box that is not square: their ends lie toward the
// radial points at every pen width (the radial points' angles are angles
// around the centre, not along the ellipse).
#include "platform/graphics/graphics.h"
#include <gtest/gtest.h>
#include <cmath>
#include <numbers>
#include <string>

namespace {

// A 167 x 138 box; the centre as the canvas takes it.
constexpr int L = 10, T = 10, R = 177, B = 148;
constexpr double Cx = (L + R - 1) / 2.0, Cy = (T + B - 1) / 2.0;
constexpr double First = 108, Second = 216; // degrees: a pie of 30 and 30 of 100

TPoint Toward(double Degrees, double Distance) {
    const double a = Degrees * std::numbers::pi / 180;
    return TPoint(int(std::lround(Cx + Distance * std::cos(a))),
                  int(std::lround(Cy - Distance * std::sin(a))));
}

// The point of the ellipse (the box's outline) in the direction of Degrees.
TPoint OnOutline(double Degrees) {
    const double a = Degrees * std::numbers::pi / 180, rx = (R - 1 - L) / 2.0,
                 ry = (B - 1 - T) / 2.0;
    const double q = 1 / std::hypot(std::cos(a) / rx, std::sin(a) / ry);
    return Toward(Degrees, q);
}

enum TShape { Pie, Arc, Chord };

void Draw(TCanvas* C, TShape Shape, int Width) {
    C->Pen()->SetWidth(Width);
    C->Brush()->SetColor(clRed);
    const TPoint a = Toward(First, 120), b = Toward(Second, 120);
    switch (Shape) {
    case Pie:
        C->Pie(L, T, R, B, a.x, a.y, b.x, b.y);
        break;
    case Arc:
        C->Arc(L, T, R, B, a.x, a.y, b.x, b.y);
        break;
    case Chord:
        C->Chord(L, T, R, B, a.x, a.y, b.x, b.y);
        break;
    }
}

std::string At(TPoint P) {
    return "(" + std::to_string(P.x) + ", " + std::to_string(P.y) + ")";
}

class ArcEnds : public ::testing::TestWithParam<int> {
protected:
    TBitmap Bmp{200, 170};
    TCanvas* C = Bmp.Canvas();
    TColor Pixel(TPoint P) { return C->Pixels(P.x, P.y); }
    // A one-pixel line steps by whole pixels from the centre's pixel: on it,
    // the pixel of the ideal line or one beside it across the line's run.
    bool PenNear(double Degrees, double Distance, int Width) {
        const TPoint p = Toward(Degrees, Distance);
        if (Width > 1) return Pixel(p) == clBlack;
        const double a = Degrees * std::numbers::pi / 180;
        const bool steep = std::abs(std::sin(a)) > std::abs(std::cos(a));
        for (int k = -1; k <= 1; ++k)
            if (Pixel(steep ? TPoint(p.x + k, p.y) : TPoint(p.x, p.y + k)) == clBlack) return true;
        return false;
    }
};

// Along each radius the pen covers the straight line from the centre toward
// the radial point; a few degrees into the slice lies the brush.
TEST_P(ArcEnds, PieRadiiLieOnTheRadialDirections) {
    const int width = GetParam();
    Draw(C, Pie, width);
    for (double radius : {First, Second}) {
        for (double d : {15.0, 30.0, 45.0, 60.0})
            EXPECT_TRUE(PenNear(radius, d, width))
                << "radius " << radius << " at " << d << " " << At(Toward(radius, d));
        // The angles the radii took as if the points' angles ran along the ellipse.
        const double inside = radius == First ? First + 3 : Second - 5.5;
        EXPECT_EQ(Pixel(Toward(inside, 55)), clRed) << "radius " << radius;
    }
}

// The outline's ends are where the radii meet the ellipse: drawn up to the
// radial direction, nothing a few degrees beyond it.
TEST_P(ArcEnds, ArcAndChordEndTowardTheRadialPoints) {
    const int width = GetParam();
    for (TShape shape : {Arc, Chord, Pie}) {
        C->Brush()->SetColor(clWhite);
        C->FillRect(TRect(0, 0, 200, 170));
        Draw(C, shape, width);
        const struct {
            double In, Out;
        } ends[] = {{First + 1, First - 4}, {Second - 1, Second + 4}};
        for (const auto& e : ends) {
            EXPECT_EQ(Pixel(OnOutline(e.In)), clBlack)
                << "shape " << shape << " at " << e.In << " " << At(OnOutline(e.In));
            EXPECT_EQ(Pixel(OnOutline(e.Out)), clWhite)
                << "shape " << shape << " at " << e.Out << " " << At(OnOutline(e.Out));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PenWidths, ArcEnds, ::testing::Values(1, 3, 4));

// The chord's straight side joins the arc's two ends.
TEST(ArcEndsChord, ChordSideJoinsTheEnds) {
    TBitmap bmp(200, 170);
    TCanvas* c = bmp.Canvas();
    Draw(c, Chord, 3);
    const TPoint a = OnOutline(First), b = OnOutline(Second);
    for (double t : {0.25, 0.5, 0.75}) {
        const TPoint p(int(std::lround(a.x + t * (b.x - a.x))),
                       int(std::lround(a.y + t * (b.y - a.y))));
        EXPECT_EQ(c->Pixels(p.x, p.y), clBlack) << t << " " << At(p);
    }
}

} // namespace
