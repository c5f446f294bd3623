// TTeeCanvas3D: primitives placed at a depth and the solids built from projected
// faces (hidden faces skipped, side faces darkened).
#include "chart/engine/tecanvas.h"
#include "platform/rtl/rtlmath.h"
#include <cmath>
#include <numbers>
#include <vector>

uint8_t DarkerColorQuantity = 128;
uint8_t DarkColorQuantity = 64;
int TeeDefaultConePercent = 0;

namespace {

constexpr double Pi = std::numbers::pi;

int64_t Cross(const TPoint& A, const TPoint& B, const TPoint& C) {
    return int64_t(A.x - B.x) * (C.y - B.y) - int64_t(C.x - B.x) * (A.y - B.y);
}

// The colour a solid starts from: its darkenings are all taken from this one.
TColor SolidColor(TTeeCanvas* Canvas) {
    return Canvas->Brush()->Style() == bsSolid ? Canvas->Brush()->Color() : Canvas->GetBackColor();
}

void RestoreSolidColor(TTeeCanvas* Canvas, TColor Color) {
    if (Canvas->Brush()->Style() == bsSolid)
        Canvas->Brush()->SetColor(Color);
    else
        Canvas->SetBackColor(Color);
}

int High(const std::vector<TPoint>& Points) {
    return static_cast<int>(Points.size()) - 1;
}

} // namespace

// --- faces -------------------------------------------------------------------------------

void TTeeCanvas3D::PolygonFour() {
    PlatformCanvas()->Polygon(FFourPoints.data(), 4);
}

void TTeeCanvas3D::FourPointsAt(const TPoint& P0, int Z0, const TPoint& P1, int Z1,
                                const TPoint& P2, int Z2, const TPoint& P3, int Z3) {
    FFourPoints = {Calculate3DPosition(P0.x, P0.y, Z0), Calculate3DPosition(P1.x, P1.y, Z1),
                   Calculate3DPosition(P2.x, P2.y, Z2), Calculate3DPosition(P3.x, P3.y, Z3)};
}

void TTeeCanvas3D::RectangleWithZ(const TRect& Rect, int Z) {
    FourPointsAt({Rect.Left, Rect.Top}, Z, {Rect.Right, Rect.Top}, Z, {Rect.Right, Rect.Bottom}, Z,
                 {Rect.Left, Rect.Bottom}, Z);
    PolygonFour();
}

void TTeeCanvas3D::RectangleY(int Left, int Top, int Right, int Z0, int Z1) {
    FourPointsAt({Left, Top}, Z0, {Right, Top}, Z0, {Right, Top}, Z1, {Left, Top}, Z1);
    PolygonFour();
}

void TTeeCanvas3D::RectangleZ(int Left, int Top, int Bottom, int Z0, int Z1) {
    FourPointsAt({Left, Top}, Z0, {Left, Top}, Z1, {Left, Bottom}, Z1, {Left, Bottom}, Z0);
    PolygonFour();
}

void TTeeCanvas3D::PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3,
                              const TPoint& P4, int Z) {
    FourPointsAt(P1, Z, P2, Z, P3, Z, P4, Z);
    PolygonFour();
}

void TTeeCanvas3D::Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) {
    FourPointsAt(A, Z0, B, Z0, B, Z1, A, Z1);
    PolygonFour();
}

void TTeeCanvas3D::PlaneFour3D(const TFourPoints& Points, int Z0, int Z1) {
    FourPointsAt(Points[0], Z0, Points[1], Z0, Points[2], Z1, Points[3], Z1);
    PolygonFour();
}

void TTeeCanvas3D::PolygonWithZ(const TPoint* Points, int High, int Z) {
    if (!Points || High < 0) return;
    std::vector<TPoint> p(Points, Points + High + 1);
    for (TPoint& q : p)
        Calc3DTPoint(q, Z);
    Polygon(p.data(), High);
}

void TTeeCanvas3D::Polyline(const TPoint* Points, int High, int Z) {
    if (!Points || High < 0) return;
    std::vector<TPoint> p(Points, Points + High + 1);
    for (TPoint& q : p)
        Calc3DTPoint(q, Z);
    Polyline(p.data(), High);
}

void TTeeCanvas3D::TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) {
    const TPoint p[3] = {Calculate3DPosition(P1, Z), Calculate3DPosition(P2, Z),
                         Calculate3DPosition(P3, Z)};
    Polygon(p, 2);
}

void TTeeCanvas3D::Triangle3D(const TTrianglePoints3D& Points, const TTriangleColors3D& Colors) {
    const TPoint p[3] = {Calc3DTPoint3D(Points[0]), Calc3DTPoint3D(Points[1]),
                         Calc3DTPoint3D(Points[2])};
    if (Brush()->Style() != bsClear) Brush()->SetColor(Colors[0]);
    Polygon(p, 2);
}

void TTeeCanvas3D::Surface3D(TTeeCanvasSurfaceStyle, bool, int, int,
                             const TCanvas3DPlaneFunction&) {
    // This canvas draws no surfaces; surface series draw their own cells.
}

// --- lines ---------------------------------------------------------------------------------

void TTeeCanvas3D::MoveTo3D(int X, int Y, int Z) {
    Calc3DPos(X, Y, Z);
    MoveTo(X, Y);
}

void TTeeCanvas3D::LineTo3D(int X, int Y, int Z) {
    Calc3DPos(X, Y, Z);
    LineTo(X, Y);
}

void TTeeCanvas3D::LineWithZ(int X0, int Y0, int X1, int Y1, int Z) {
    Calc3DPos(X0, Y0, Z);
    Calc3DPos(X1, Y1, Z);
    MoveTo(X0, Y0);
    LineTo(X1, Y1);
}

void TTeeCanvas3D::HorizLine3D(int Left, int Right, int Y, int Z) {
    LineWithZ(Left, Y, Right, Y, Z);
}

void TTeeCanvas3D::VertLine3D(int X, int Top, int Bottom, int Z) {
    LineWithZ(X, Top, X, Bottom, Z);
}

void TTeeCanvas3D::ZLine3D(int X, int Y, int Z0, int Z1) {
    MoveTo3D(X, Y, Z0);
    LineTo3D(X, Y, Z1);
}

// --- ellipses -------------------------------------------------------------------------------

// Fills a closed ring of screen points as triangles from its centre, without outline.
void TTeeCanvas3D::PolygonFan(const std::vector<TPoint>& Ring, const TPoint& Center) {
    const TPenStyle old = Pen()->Style();
    TTeeFinally restore([this, old] { Pen()->SetStyle(old); });
    Pen()->SetStyle(psClear);
    for (size_t i = 0; i + 1 < Ring.size(); ++i) {
        const TPoint tri[3] = {Center, Ring[i], Ring[i + 1]};
        Polygon(tri, 2);
    }
}

std::vector<TPoint> EllipseRing3D(int X1, int Y1, int X2, int Y2) {
    // One closed turn: 64 points, the last one back at the first (an XOR outline
    // drawn twice then erases itself exactly).
    constexpr int NumPoints = 64;
    const int cx = (X1 + X2) / 2, cy = (Y1 + Y2) / 2;
    const int rx = (X2 - X1) / 2, ry = (Y2 - Y1) / 2;
    std::vector<TPoint> ring(NumPoints);
    ring[0] = TPoint(cx, Y2);
    for (int i = 1; i < NumPoints; ++i) {
        const double a = i * 2 * Pi / (NumPoints - 1);
        ring[i] = TPoint(cx + static_cast<int>(Trunc(rx * std::sin(a))),
                         cy + static_cast<int>(Trunc(ry * std::cos(a))));
    }
    ring[NumPoints - 1] = ring[0];
    return ring;
}

void TTeeCanvas3D::EllipseRotated3D(int X1, int Y1, int X2, int Y2, int Z) {
    std::vector<TPoint> ring = EllipseRing3D(X1, Y1, X2, Y2);
    for (TPoint& p : ring)
        p = Calculate3DPosition(p, Z);
    if (Brush()->Style() != bsClear)
        PolygonFan(ring, Calculate3DPosition((X1 + X2) / 2, (Y1 + Y2) / 2, Z));
    if (Pen()->Style() != psClear) Polyline(ring.data(), int(ring.size()) - 1);
}

void TTeeCanvas3D::EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) {
    if (FIs3D && FIsOrthogonal) {
        Calc3DPos(X1, Y1, Z);
        Calc3DPos(X2, Y2, Z);
        Ellipse(X1, Y1, X2, Y2);
    } else if (FIs3D)
        EllipseRotated3D(X1, Y1, X2, Y2, Z);
    else
        Ellipse(X1, Y1, X2 + 1, Y2 + 1);
}

void TTeeCanvas3D::Sphere(int X, int Y, int Z, double Radius) {
    const int r = PixelPos(Radius);
    EllipseWithZ(X - r, Y - r, X + r, Y + r, Z);
}

void TCanvas3D::RotatedEllipse(int Left, int Top, int Right, int Bottom, int Z, double Angle) {
    constexpr int NumPoints = 64;
    const double cx = (double(Left) + Right) * 0.5, cy = (double(Top) + Bottom) * 0.5;
    const double rx = (double(Right) - Left) * 0.5, ry = (double(Bottom) - Top) * 0.5;
    const double s = std::sin(Angle * Pi / 180), c = std::cos(Angle * Pi / 180);
    std::vector<TPoint> ring(NumPoints);
    for (int i = 0; i < NumPoints; ++i) {
        const double t = i * 2 * Pi / (NumPoints - 1);
        const double dx = rx * std::sin(t), dy = ry * std::cos(t);
        ring[i] = TPoint(PixelPos(c * dx + s * dy + cx), PixelPos(-dx * s + c * dy + cy));
    }
    ring[NumPoints - 1] = ring[0];
    if (Brush()->Style() != bsClear) {
        const TPenStyle old = Pen()->Style();
        TTeeFinally restore([this, old] { Pen()->SetStyle(old); });
        Pen()->SetStyle(psClear);
        const TPoint center(PixelPos(cx), PixelPos(cy));
        for (int i = 0; i + 1 < NumPoints; ++i) {
            const TPoint tri[3] = {center, ring[i], ring[i + 1]};
            PolygonWithZ(tri, 2, Z);
        }
    }
    if (Pen()->Style() != psClear) Polyline(ring.data(), NumPoints - 1, Z);
}

void TCanvas3D::StretchDraw(const TRect& Rect, TGraphic* Graphic, int Z) {
    if (!Graphic || Graphic->Empty()) return;
    Pen()->SetStyle(psClear);
    // Always a private 24-bit copy: the caller's picture is never converted.
    TBitmap copy;
    if (auto* bitmap = dynamic_cast<TBitmap*>(Graphic))
        copy.Assign(bitmap);
    else {
        copy.SetSize(Graphic->Width(), Graphic->Height());
        copy.Canvas()->Draw(0, 0, Graphic);
    }
    copy.SetPixelFormat(pf24bit);
    const int w = copy.Width(), h = copy.Height();
    if (w < 1 || h < 1) return;
    const double stepX = double(Rect.Right - Rect.Left) / w;
    const double stepY = double(Rect.Bottom - Rect.Top) / h;
    for (int y = 0; y < h; ++y) {
        const auto* p = static_cast<const uint8_t*>(copy.ScanLine(y));
        const int top = Rect.Top + PixelPos(y * stepY);
        const int bottom = Rect.Top + PixelPos((y + 1) * stepY);
        for (int x = 0; x < w; ++x, p += 3) {
            Brush()->SetColor(static_cast<TColor>(RGB(p[2], p[1], p[0])));
            RectangleWithZ(TRect(Rect.Left + PixelPos(x * stepX), top,
                                 Rect.Left + PixelPos((x + 1) * stepX), bottom),
                           Z);
        }
    }
}

// --- solids ------------------------------------------------------------------------------------

void TTeeCanvas3D::Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) {
    const TColor color = SolidColor(this);
    auto& c = FFourPoints;
    FourPointsAt({Left, Top}, Z0, {Right, Top}, Z0, {Right, Bottom}, Z0, {Left, Bottom}, Z0);
    if (Cross(c[3], c[2], c[1]) <= 0)
        FourPointsAt({Left, Top}, Z1, {Right, Top}, Z1, {Right, Bottom}, Z1, {Left, Bottom}, Z1);
    PolygonFour();

    auto side = [&](bool Facing, uint8_t Quantity) {
        if (!Facing) return;
        if (DarkSides) InternalDark(color, Quantity);
        PolygonFour();
    };
    FourPointsAt({Right, Top}, Z0, {Right, Top}, Z1, {Right, Bottom}, Z1, {Right, Bottom}, Z0);
    side(Cross(c[3], c[2], c[1]) > 0, DarkerColorQuantity);
    FourPointsAt({Left, Top}, Z0, {Left, Top}, Z1, {Left, Bottom}, Z1, {Left, Bottom}, Z0);
    side(Cross(c[3], c[0], c[1]) > 0, DarkerColorQuantity);
    FourPointsAt({Left, Top}, Z0, {Right, Top}, Z0, {Right, Top}, Z1, {Left, Top}, Z1);
    side(Cross(c[0], c[1], c[2]) > 0, DarkColorQuantity);
    FourPointsAt({Left, Bottom}, Z0, {Left, Bottom}, Z1, {Right, Bottom}, Z1, {Right, Bottom}, Z0);
    side(Cross(c[3], c[2], c[1]) < 0, DarkColorQuantity);
}

void TTeeCanvas3D::Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                            bool Dark3D) {
    Cone(Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D, 100);
}

void TTeeCanvas3D::Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                        bool Dark3D, int ConePercent) {
    constexpr int Segments = 16;
    if (ConePercent == 0) ConePercent = TeeDefaultConePercent;
    const TColor color = SolidColor(this);
    const int zCenter = (Z0 + Z1) / 2, zRadius = (Z1 - Z0) / 2;
    const int center = Vertical ? (Left + Right) / 2 : (Top + Bottom) / 2;
    const int radius = Vertical ? (Right - Left) / 2 : (Bottom - Top) / 2;
    const int narrowRadius = PixelPos(radius * ConePercent * 0.01);
    const int narrowZRadius = PixelPos(zRadius * ConePercent * 0.01);
    // Along the axis: the base ring and the narrow ring.
    const int basePos = Vertical ? Bottom : Left;
    const int narrowPos = Vertical ? std::min(Top, Bottom) : Right;

    std::vector<TPoint3D> base(Segments), narrow(Segments);
    for (int i = 1; i <= Segments; ++i) {
        const double a = (i - (Vertical ? 4 : 5)) * Pi / 8;
        const double s = std::sin(a), c = std::cos(a);
        const int across = center + PixelPos(radius * s);
        const int depth = zCenter - PixelPos(zRadius * c);
        const int nAcross = center + PixelPos(narrowRadius * s);
        const int nDepth = zCenter - PixelPos(narrowZRadius * c);
        if (Vertical) {
            base[i - 1] = Point3D(across, basePos, depth);
            narrow[i - 1] = Point3D(nAcross, narrowPos, nDepth);
        } else {
            base[i - 1] = Point3D(basePos, across, depth);
            narrow[i - 1] = Point3D(narrowPos, nAcross, nDepth);
        }
    }
    auto at = [this](const TPoint3D& p) { return Calc3DTPoint3D(p); };

    int drawn = 0;
    const int sides = ConePercent == 100 ? Segments : Segments - 1;
    for (int i = 0; i < sides; ++i) {
        const int j = (i + 1) % Segments;
        FFourPoints = {at(narrow[i]), at(base[i]), at(base[j]), at(narrow[j])};
        if (TeeCull(FFourPoints.data())) continue;
        if (Dark3D && drawn < 9) InternalDark(color, static_cast<uint8_t>(16 * drawn));
        ++drawn;
        PolygonFour();
    }

    const std::vector<TPoint3D>* capRing = &narrow;
    if (!Vertical && TeeCull(at(Point3D(0, 0, 0)), at(Point3D(0, 10, 0)), at(Point3D(0, 10, 10)))) {
        capRing = &base;
    }
    std::vector<TPoint> cap(Segments);
    for (int i = 0; i < Segments; ++i)
        cap[i] = at((*capRing)[i]);
    if (Dark3D) InternalDark(color, DarkColorQuantity);
    Polygon(cap.data(), Segments - 1);
}

void TTeeCanvas3D::Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                           bool DarkSides) {
    const TColor color = SolidColor(this);
    auto triangle = [this](const TPoint& a, const TPoint& b, const TPoint& c) {
        const TPoint p[3] = {a, b, c};
        Polygon(p, 2);
    };
    auto dark = [&](uint8_t quantity) {
        if (DarkSides) InternalDark(color, quantity);
    };
    if (Vertical) {
        const TPoint A = Calculate3DPosition(Left, Bottom, Z0);
        const TPoint B = Calculate3DPosition(Right, Bottom, Z0);
        const TPoint C = Calculate3DPosition(Left, Bottom, Z1);
        const TPoint D = Calculate3DPosition(Right, Bottom, Z1);
        const bool up = Top < Bottom;
        if (Top != Bottom) {
            const TPoint apex = Calculate3DPosition((Left + Right) / 2, Top, (Z0 + Z1) / 2);
            triangle(A, apex, B);
            if (TeeCull(A, apex, C) != up) triangle(A, apex, C);
            dark(DarkerColorQuantity);
            if (TeeCull(B, apex, D) == up) triangle(B, apex, D);
            if (up && TeeCull(apex, C, D)) triangle(apex, C, D);
        }
        if (TeeCull(A, B, C) == up) {
            dark(DarkColorQuantity);
            RectangleY(Left, Bottom, Right, Z0, Z1);
        }
        return;
    }
    const TPoint A = Calculate3DPosition(Left, Top, Z0);
    const TPoint B = Calculate3DPosition(Left, Bottom, Z0);
    const TPoint C = Calculate3DPosition(Left, Top, Z1);
    const TPoint D = Calculate3DPosition(Left, Bottom, Z1);
    const bool right = Left < Right;
    if (Left != Right) {
        const TPoint apex = Calculate3DPosition(Right, (Top + Bottom) / 2, (Z0 + Z1) / 2);
        triangle(A, apex, B);
        if (TeeCull(C, apex, D) != right) triangle(C, apex, D);
        dark(DarkColorQuantity);
        if (TeeCull(A, apex, C) != right) triangle(A, apex, C);
        if (TeeCull(D, apex, B) != right) triangle(D, apex, B);
    }
    if (TeeCull(A, B, C) == right) {
        dark(DarkerColorQuantity);
        RectangleZ(Left, Top, Bottom, Z0, Z1);
    }
}

void TTeeCanvas3D::PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ) {
    const int mx = (R.Left + R.Right) / 2, mz = (StartZ + EndZ) / 2;
    auto topFace = [&] {
        if (TruncX != 0) RectangleY(mx - TruncX, R.Top, mx + TruncX, mz - TruncZ, mz + TruncZ);
    };
    auto baseFace = [&] { RectangleY(R.Left, R.Bottom, R.Right, StartZ, EndZ); };
    const bool baseFirst = R.Bottom > R.Top;
    if (baseFirst)
        baseFace();
    else
        topFace();
    const TFourPoints face = {TPoint(mx - TruncX, R.Top), TPoint(mx + TruncX, R.Top),
                              TPoint(R.Right, R.Bottom), TPoint(R.Left, R.Bottom)};
    PlaneFour3D(face, mz + TruncZ, EndZ);
    FourPointsAt({mx - TruncX, R.Top}, mz - TruncZ, {R.Left, R.Bottom}, StartZ, {R.Left, R.Bottom},
                 EndZ, {mx - TruncX, R.Top}, mz + TruncZ);
    if (TeeCull(FFourPoints.data())) PolygonFour();
    PlaneFour3D(face, mz - TruncZ, StartZ);
    FourPointsAt({mx + TruncX, R.Top}, mz - TruncZ, {R.Right, R.Bottom}, StartZ,
                 {R.Right, R.Bottom}, EndZ, {mx + TruncX, R.Top}, mz + TruncZ);
    if (!TeeCull(FFourPoints.data())) PolygonFour();
    if (baseFirst)
        topFace();
    else
        baseFace();
}

void TTeeCanvas3D::Pie3D(int XCenter, int YCenter, int RadiusX, int RadiusY, int Z0, int Z1,
                         double StartAngle, double EndAngle, bool DarkSides, bool DrawSides,
                         int DonutPercent) {
    const TColor color = SolidColor(this);
    auto onArc = [&](double rx, double ry, double a) {
        return TPoint(XCenter + PixelPos(rx * std::cos(a)), YCenter - PixelPos(ry * std::sin(a)));
    };
    const double degrees = std::abs(EndAngle - StartAngle) * 180 / Pi;
    const int n = std::min(30, PixelPos(degrees / 10)) + 2;
    const double step = (EndAngle - StartAngle) / (n - 1);

    std::vector<TPoint> nearArc(n), farArc(n);
    for (int i = 0; i < n; ++i) {
        const TPoint p = onArc(RadiusX, RadiusY, StartAngle + i * step);
        nearArc[i] = Calculate3DPosition(p, Z1);
        farArc[i] = Calculate3DPosition(p, Z0);
    }

    // The inner edge: the hole's arc from the end angle back, or the centre.
    std::vector<TPoint> innerNear, innerFar;
    if (DonutPercent > 0) {
        const double ix = DonutPercent * RadiusX * 0.01, iy = DonutPercent * RadiusY * 0.01;
        innerNear.resize(n);
        innerFar.resize(n);
        for (int i = 0; i < n; ++i) {
            const TPoint p = onArc(ix, iy, EndAngle - i * step);
            innerNear[i] = Calculate3DPosition(p, Z1);
            innerFar[i] = Calculate3DPosition(p, Z0);
        }
        if (DarkSides) InternalDark(color, 32);
        std::vector<TPoint> wall(innerNear);
        wall.insert(wall.end(), innerFar.rbegin(), innerFar.rend());
        Polygon(wall.data(), High(wall));
    } else {
        innerNear.assign(1, Calculate3DPosition(XCenter, YCenter, Z1));
        innerFar.assign(1, Calculate3DPosition(XCenter, YCenter, Z0));
    }
    const TPoint innerEndNear = innerNear.front(), innerEndFar = innerFar.front();
    const TPoint innerStartNear = innerNear.back(), innerStartFar = innerFar.back();

    if (DrawSides) {
        if (nearArc[n - 1].x < FXCenterOffset) {
            if (DarkSides) InternalDark(color, 32);
            FFourPoints = {innerEndNear, nearArc[n - 1], farArc[n - 1], innerEndFar};
            PolygonFour();
        }
        if (nearArc[0].x > FXCenterOffset) {
            if (DarkSides) InternalDark(color, 32);
            FFourPoints = {innerStartNear, nearArc[0], farArc[0], innerStartFar};
            PolygonFour();
        }
    }

    RestoreSolidColor(this, color);
    std::vector<TPoint> cover(nearArc);
    if (DonutPercent > 0)
        cover.insert(cover.end(), innerNear.begin(), innerNear.end());
    else
        cover.insert(cover.begin(), innerNear.front());
    Polygon(cover.data(), High(cover));

    // The outer wall: every stretch along which the near arc runs to the right faces the viewer.
    int i = 0;
    while (i < n - 1) {
        if (nearArc[i + 1].x <= nearArc[i].x) {
            ++i;
            continue;
        }
        const int first = i;
        while (i < n - 1 && nearArc[i + 1].x > nearArc[i].x)
            ++i;
        std::vector<TPoint> wall(nearArc.begin() + first, nearArc.begin() + i + 1);
        for (int k = i; k >= first; --k)
            wall.push_back(farArc[k]);
        if (DarkSides) InternalDark(color, 32);
        Polygon(wall.data(), High(wall));
    }
}

void TTeeCanvas3D::Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint,
                         int ArrowWidth, int ArrowHeight, int Z) {
    const double dx = double(ToPoint.x) - FromPoint.x, dy = double(ToPoint.y) - FromPoint.y;
    const double length = TeeDistance(ToPoint.x - FromPoint.x, ToPoint.y - FromPoint.y);
    if (length == 0) return;
    const double headLength = std::min<double>(ArrowHeight, PixelPos(length));
    const double c = dx / length, s = dy / length;
    // A point in the arrow's frame: Along the shaft, Across it.
    auto at = [&](double Along, double Across) {
        return Calculate3DPosition(PixelPos(FromPoint.x + Along * c - Across * s),
                                   PixelPos(FromPoint.y + Along * s + Across * c), Z);
    };
    const double base = length - headLength;
    const double head = ArrowWidth * 0.5, shaft = ArrowWidth * 0.25;
    const TPoint tip = Calculate3DPosition(ToPoint, Z);
    if (Filled) {
        const TPoint p[7] = {at(0, shaft),    at(base, shaft),  at(base, head), tip,
                             at(base, -head), at(base, -shaft), at(0, -shaft)};
        Polygon(p, 6);
        return;
    }
    MoveTo3D(FromPoint.x, FromPoint.y, Z);
    LineTo3D(ToPoint.x, ToPoint.y, Z);
    const TPoint left = at(base, head), right = at(base, -head);
    MoveTo(tip.x, tip.y);
    LineTo(left.x, left.y);
    MoveTo(tip.x, tip.y);
    LineTo(right.x, right.y);
}
