// Device-level drawing of the canvas: lines and pen styles (the dots of wide
// pens, the column spans of the line fast path), filled shapes, rounded shapes
// and arcs, block transfers, flood fill. Raster targets go
// through the pixel engine with GDI's rules; painter targets (printer pages)
// through QPainter with the same geometry.
#include "platform/graphics/canvasprivate.h"
#include "platform/graphics/qtbridge.h"
#include <QPainter>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr bool StyleDash[24] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0};
constexpr bool StyleDot[6] = {1, 1, 1, 0, 0, 0};
constexpr bool StyleDashDot[24] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0,
                                   0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0};
constexpr bool StyleDashDotDot[24] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0,
                                      1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0};
constexpr bool StyleAlternate[2] = {1, 0};

// Rounded shapes larger than this are drawn from their outline path, so
// absurd sizes cost no more than the visible part.
constexpr int64_t LargeShape = 16384;

// Dash lengths of geometric pens, in pen widths.
QList<qreal> GeometricDashes(DWORD style) {
    switch (style) {
    case PS_DASH:
        return {3, 1};
    case PS_DOT:
        return {1, 1};
    case PS_DASHDOT:
        return {3, 1, 1, 1};
    case PS_DASHDOTDOT:
        return {3, 1, 1, 1, 1, 1};
    default:
        return {};
    }
}

bool IsStyled(DWORD style) {
    return style == PS_DASH || style == PS_DOT || style == PS_DASHDOT || style == PS_DASHDOTDOT ||
           style == PS_ALTERNATE;
}

Qt::PenCapStyle QtCap(DWORD cap) {
    return cap == PS_ENDCAP_SQUARE ? Qt::SquareCap
           : cap == PS_ENDCAP_FLAT ? Qt::FlatCap
                                   : Qt::RoundCap;
}
Qt::PenJoinStyle QtJoin(DWORD join) {
    return join == PS_JOIN_BEVEL   ? Qt::BevelJoin
           : join == PS_JOIN_MITER ? Qt::MiterJoin
                                   : Qt::RoundJoin;
}

TRasterPaint PenPaint(const TCanvasPrivate& D, const TPenInfo& pen) {
    TRasterPaint p;
    p.Fore = ToPixel(pen.Color);
    p.Rop2 = D.S.Rop2;
    return p;
}

COLORREF BrushColor(const TCanvasPrivate& D, const TBrushData& b) {
    return D.S.DCBrush ? D.S.DCBrushColor : b.Color;
}

// The paint of a brush; false for a hollow brush.
bool BrushPaint(const TCanvasPrivate& D, const TBrushData& b, int rop2, TRasterPaint& p,
                QImage& patternStore) {
    if (b.Style == BS_NULL) return false;
    p.Rop2 = rop2;
    p.Fore = ToPixel(BrushColor(D, b));
    p.Back = ToPixel(D.S.BkColor);
    p.Opaque = D.S.BkMode == OPAQUE;
    if (b.Style == BS_HATCHED) {
        p.Type = TRasterPaint::Hatch;
        p.HatchStyle = b.Hatch;
    } else if (b.Style == BS_PATTERN && b.Pattern && !b.Pattern->Empty()) {
        p.Type = TRasterPaint::Pattern;
        patternStore = BitmapImage(const_cast<TBitmap*>(b.Pattern.get()))
                           ->convertToFormat(QImage::Format_RGB32);
        p.PatternImage = &patternStore;
    }
    return true;
}

QBrush ToQBrush(const TCanvasPrivate& D, const TBrushData& b) {
    const QColor c = ColorRefToQColor(BrushColor(D, b));
    if (b.Style == BS_NULL) return Qt::NoBrush;
    if (b.Style == BS_HATCHED) {
        static constexpr Qt::BrushStyle hatches[6] = {Qt::HorPattern,   Qt::VerPattern,
                                                      Qt::BDiagPattern, Qt::FDiagPattern,
                                                      Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(c, hatches[std::clamp(b.Hatch, 0, 5)]);
    }
    if (b.Style == BS_PATTERN && b.Pattern && !b.Pattern->Empty())
        return QBrush(*BitmapImage(const_cast<TBitmap*>(b.Pattern.get())));
    return QBrush(c);
}

QPen ToQPen(const TPenInfo& pen) {
    if (pen.Null) return Qt::NoPen;
    QPen p(ColorRefToQColor(pen.Color));
    p.setWidth(pen.Width);
    if (!pen.Wide) p.setCosmetic(true);
    p.setCapStyle(pen.Wide ? QtCap(pen.Cap) : Qt::FlatCap);
    p.setJoinStyle(pen.Wide ? QtJoin(pen.Join) : Qt::MiterJoin);
    if (IsStyled(pen.Style)) {
        if (pen.Wide)
            p.setDashPattern(GeometricDashes(pen.Style));
        else if (pen.Style == PS_DASH)
            p.setDashPattern({18, 6});
        else if (pen.Style == PS_DOT)
            p.setDashPattern({3, 3});
        else if (pen.Style == PS_DASHDOT)
            p.setDashPattern({9, 6, 3, 6});
        else if (pen.Style == PS_DASHDOTDOT)
            p.setDashPattern({9, 3, 3, 3, 3, 3});
        else
            p.setDashPattern({1, 1});
    }
    return p;
}

// The stretches of a path's figures that pass through Area, each with the
// length of the figure before it (for the dash pattern's phase).
std::vector<std::pair<QPainterPath, double>> StretchesIn(const QPainterPath& path,
                                                         const QRectF& Area) {
    std::vector<std::pair<QPainterPath, double>> out;
    for (const QPolygonF& poly : path.toSubpathPolygons()) {
        double at = 0;
        bool open = false;
        for (qsizetype i = 1; i < poly.size(); ++i) {
            const QPointF a = poly[i - 1], d = poly[i] - a;
            const double len = std::hypot(d.x(), d.y());
            if (len == 0) continue;
            // The part of the segment inside Area, as t0..t1 along it.
            double t0 = 0, t1 = 1;
            const double p[4] = {-d.x(), d.x(), -d.y(), d.y()};
            const double q[4] = {a.x() - Area.left(), Area.right() - a.x(), a.y() - Area.top(),
                                 Area.bottom() - a.y()};
            for (int k = 0; k < 4 && t0 <= t1; ++k) {
                if (p[k] == 0) {
                    if (q[k] < 0) t0 = 2;
                } else if (p[k] < 0)
                    t0 = std::max(t0, q[k] / p[k]);
                else
                    t1 = std::min(t1, q[k] / p[k]);
            }
            if (t0 > t1) {
                open = false;
            } else {
                // Cut at whole lengths, so dashes along the axes stay on whole pixels.
                const double s0 = std::floor(t0 * len), s1 = std::min(len, std::ceil(t1 * len));
                const QPointF u = d / len;
                if (!open || s0 > 0) out.push_back({QPainterPath(a + u * s0), at + s0});
                out.back().first.lineTo(s1 < len ? a + u * s1 : poly[i]);
                open = s1 >= len;
            }
            at += len;
        }
    }
    return out;
}

// Stroke outline of a path with a wide pen, as polygons to fill (winding).
// A dashed path reaching far beyond Area is dashed only where it comes near.
QList<QPolygonF> WideOutline(const TPenInfo& pen, const QPainterPath& path, bool dashed,
                             const QRectF& Area) {
    QPainterPathStroker st;
    st.setWidth(pen.Width);
    st.setCapStyle(QtCap(pen.Cap));
    st.setJoinStyle(QtJoin(pen.Join));
    st.setMiterLimit(10);
    if (!dashed) return st.createStroke(path).toSubpathPolygons();
    st.setDashPattern(GeometricDashes(pen.Style));
    const double far = LargeShape;
    const QRectF bounds = path.boundingRect(), keep = Area.adjusted(-far, -far, far, far);
    if (bounds.left() >= keep.left() && bounds.right() <= keep.right() &&
        bounds.top() >= keep.top() && bounds.bottom() <= keep.bottom())
        return st.createStroke(path).toSubpathPolygons();
    const double near = 10.0 * pen.Width + 2;
    QList<QPolygonF> out;
    for (const auto& [stretch, start] :
         StretchesIn(path, Area.adjusted(-near, -near, near, near))) {
        st.setDashOffset(start / pen.Width);
        out += st.createStroke(stretch).toSubpathPolygons();
    }
    return out;
}

// A wide pen on a figure of no length leaves its cap: a round dot for round
// caps, a square for square ones and nothing for flat ones, the pen width across.
void WideDot(TCanvasPrivate& D, const TPenInfo& pen, TPoint at) {
    // Far off any surface (and away from integer overflow) nothing shows.
    constexpr int far = 1 << 30;
    if (pen.Cap == PS_ENDCAP_FLAT || at.x > far || at.x < -far || at.y > far || at.y < -far) return;
    const int x0 = at.x - pen.Width / 2, y0 = at.y - pen.Width / 2;
    const int x1 = x0 + pen.Width - 1, y1 = y0 + pen.Width - 1; // inclusive
    const bool round = pen.Cap == PS_ENDCAP_ROUND;
    if (!D.Image) {
        if (QPainter* p = D.PreparedPainter()) {
            const QRect box(x0, y0, pen.Width, pen.Width);
            const QColor c = ColorRefToQColor(pen.Color);
            if (round) {
                p->setPen(Qt::NoPen);
                p->setBrush(c);
                p->drawEllipse(box);
            } else
                p->fillRect(box, c);
        }
        return;
    }
    TRaster* r = D.Raster();
    if (!r || r->Empty()) return;
    const TRasterPaint paint = PenPaint(D, pen);
    if (!round) {
        for (int y = y0; y <= y1; ++y)
            r->Span(y, x0, x1 + 1, paint);
        return;
    }
    for (const TRoundRow& row : RoundShapeRows(x0, y0, x1, y1, pen.Width, pen.Width))
        r->Span(row.y, row.l0, (row.r0 <= row.r1 ? row.r1 : row.l1) + 1, paint);
}

void StrokeWideRaster(TCanvasPrivate& D, const TPenInfo& pen, const QPainterPath& path) {
    TRaster* r = D.Raster();
    if (!r || r->Empty()) return;
    const bool dashed = IsStyled(pen.Style) && pen.Style != PS_ALTERNATE;
    const QRectF area = r->Bounds();
    if (dashed && D.S.BkMode == OPAQUE) {
        TRasterPaint gap = PenPaint(D, pen);
        gap.Fore = ToPixel(D.S.BkColor);
        r->FillPolygons(WideOutline(pen, path, false, area), true, gap);
    }
    r->FillPolygons(WideOutline(pen, path, dashed, area), true, PenPaint(D, pen));
}

// The points of a figure in device pixels: logical ones are mapped as they
// are read, so no call copies a whole figure.
struct TFigure {
    const TCanvasPrivate& D;
    const TPoint* P;
    size_t N;
    bool Logical;
    size_t size() const { return N; }
    bool empty() const { return N == 0; }
    TPoint operator[](size_t i) const { return Logical ? D.ToDevice(P[i]) : P[i]; }
    TPoint front() const { return (*this)[0]; }
    TPoint back() const { return (*this)[N - 1]; }
};

// One-pixel outline of connected points; every pixel once, the last point
// left out unless the figure is closed (then it is the first).
// A figure starts the pen's dash pattern afresh; a LineTo (Continue) goes on
// with the phase where the line before it ended.
void StrokeThinRaster(TCanvasPrivate& D, const TPenInfo& pen, const TFigure& pts, bool closed,
                      bool Continue = false) {
    TRaster* r = D.Raster();
    if (!r || r->Empty() || pts.empty()) return;
    if (!Continue) D.StylePhase = 0;
    const bool* style = nullptr;
    int len = 0;
    switch (pen.Style) {
    case PS_DASH:
        style = StyleDash;
        len = 24;
        break;
    case PS_DOT:
        style = StyleDot;
        len = 6;
        break;
    case PS_DASHDOT:
        style = StyleDashDot;
        len = 24;
        break;
    case PS_DASHDOTDOT:
        style = StyleDashDotDot;
        len = 24;
        break;
    case PS_ALTERNATE:
        style = StyleAlternate;
        len = 2;
        break;
    default:
        break;
    }
    const uint32_t color = ToPixel(pen.Color), back = ToPixel(D.S.BkColor);
    const bool opaque = D.S.BkMode == OPAQUE;
    const size_t n = pts.size();
    if (n == 1 && closed) {
        r->Pixel(pts[0].x, pts[0].y, color, D.S.Rop2);
        return;
    }
    TPoint a = pts[0];
    for (size_t i = 1; i < n; ++i) {
        const TPoint b = pts[i];
        r->Line(a.x, a.y, b.x, b.y, false, color, D.S.Rop2, style, len, &D.StylePhase, back,
                opaque);
        a = b;
    }
    if (closed && n > 1 && !(a == pts.front()))
        r->Line(a.x, a.y, pts[0].x, pts[0].y, false, color, D.S.Rop2, style, len, &D.StylePhase,
                back, opaque);
}

void StrokeThinRaster(TCanvasPrivate& D, const TPenInfo& pen, const std::vector<TPoint>& pts,
                      bool closed, bool Continue = false) {
    StrokeThinRaster(D, pen, TFigure{D, pts.data(), pts.size(), false}, closed, Continue);
}

QPainterPath PolyPath(const TFigure& pts, bool closed) {
    QPainterPath path;
    if (pts.empty()) return path;
    const TPoint first = pts[0];
    path.moveTo(first.x, first.y);
    for (size_t i = 1; i < pts.size(); ++i) {
        const TPoint p = pts[i];
        path.lineTo(p.x, p.y);
    }
    if (closed) path.closeSubpath();
    return path;
}

std::vector<TPoint> FlattenPath(const QPainterPath& path, bool& closed,
                                std::vector<std::vector<TPoint>>* all = nullptr) {
    std::vector<TPoint> out;
    closed = false;
    const QList<QPolygonF> polys = path.toSubpathPolygons();
    for (const QPolygonF& poly : polys) {
        std::vector<TPoint> pts;
        for (const QPointF& p : poly) {
            const TPoint q(PixelPos(p.x()), PixelPos(p.y()));
            if (pts.empty() || !(pts.back() == q)) pts.push_back(q);
        }
        if (all)
            all->push_back(pts);
        else if (out.empty())
            out = pts;
    }
    if (!polys.isEmpty() && polys.front().isClosed()) closed = true;
    return out;
}

double NormAngle(double a) {
    const double two = 2 * std::numbers::pi;
    a = std::fmod(a, two);
    return a < 0 ? a + two : a;
}

// Geometry of an arc shape in device coordinates.
struct TArcGeometry {
    double cx, cy, rx, ry;
    double start, sweep; // radians, math orientation (y up), sweep in [0, 2 pi]
    TPoint S, E;
    bool full;
    bool Contains(double a) const {
        if (full) return true;
        return NormAngle(a - start) <= sweep + 1e-12;
    }
};

TArcGeometry ArcGeometry(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4,
                         int direction) {
    TArcGeometry g;
    g.cx = (X1 + X2 - 1) / 2.0;
    g.cy = (Y1 + Y2 - 1) / 2.0;
    g.rx = std::max(0.0, (X2 - 1 - X1) / 2.0);
    g.ry = std::max(0.0, (Y2 - 1 - Y1) / 2.0);
    double a = std::atan2(g.cy - Y3, X3 - g.cx);
    double b = std::atan2(g.cy - Y4, X4 - g.cx);
    if (direction == AD_CLOCKWISE) std::swap(a, b);
    g.start = NormAngle(a);
    g.sweep = NormAngle(b - a);
    g.full = g.sweep < 1e-12;
    if (g.full) g.sweep = 2 * std::numbers::pi;
    auto at = [&](double t) {
        const double c = std::cos(t), s = std::sin(t);
        const double qx = g.rx > 0 ? c / g.rx : 0, qy = g.ry > 0 ? s / g.ry : 0;
        const double den = std::sqrt(qx * qx + qy * qy);
        const double r = den > 0 ? 1 / den : 0;
        // A flat box's arc has no extent across it: the point stays on the box.
        return TPoint(PixelPos(g.cx + (g.rx > 0 ? r * c : 0)),
                      PixelPos(g.cy - (g.ry > 0 ? r * s : 0)));
    };
    g.S = at(direction == AD_CLOCKWISE ? b : a);
    g.E = at(direction == AD_CLOCKWISE ? a : b);
    return g;
}

void LinePixels(TPoint a, TPoint b, std::vector<uint64_t>& keys) {
    const int dx = b.x - a.x, dy = b.y - a.y;
    const int n = std::max(std::abs(dx), std::abs(dy));
    for (int i = 0; i <= n; ++i) {
        // Same rounding as the pixel engine's lines.
        int x, y;
        if (std::abs(dx) >= std::abs(dy)) {
            x = a.x + (dx < 0 ? -i : i);
            y = n ? a.y + int(std::floor((2.0 * i * dy + n) / (2.0 * n))) : a.y;
        } else {
            y = a.y + (dy < 0 ? -i : i);
            x = n ? a.x + int(std::floor((2.0 * i * dx + n) / (2.0 * n))) : a.x;
        }
        keys.push_back((uint64_t(uint32_t(y)) << 32) | uint32_t(x));
    }
}

// Cubic Bezier segments flattened to device points (start point excluded).
void FlattenBezier(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3,
                   std::vector<TPoint>& out) {
    QPainterPath path(p0);
    path.cubicTo(p1, p2, p3);
    const QList<QPolygonF> polys = path.toSubpathPolygons();
    if (polys.isEmpty()) return;
    const QPolygonF& poly = polys.front();
    for (qsizetype i = 1; i < poly.size(); ++i) {
        const TPoint q(PixelPos(poly[i].x()), PixelPos(poly[i].y()));
        if (!(out.back() == q)) out.push_back(q);
    }
    const TPoint end(PixelPos(p3.x()), PixelPos(p3.y()));
    if (!(out.back() == end)) out.push_back(end);
}

} // namespace

TPenInfo PenInfo(const TCanvasPrivate& D) {
    TPenInfo p;
    const TPenData& d = D.S.Pen;
    p.Style = d.Style & PS_STYLE_MASK;
    p.Null = p.Style == PS_NULL;
    p.Color = D.S.DCPen ? D.S.DCPenColor : d.Color;
    const bool geometric = (d.Style & PS_TYPE_MASK) == PS_GEOMETRIC;
    p.Cap = d.Style & PS_ENDCAP_MASK;
    p.Join = d.Style & PS_JOIN_MASK;
    p.InsideFrame = p.Style == PS_INSIDEFRAME;
    // A plain pen's width is logical too: one unit mapped larger is a wide pen
    // (drawn solid), as printed pages show.
    if (d.Scales()) {
        // Unmapped, the width is the pen's own (no floating point on every call).
        constexpr int limit = 1 << 16;
        p.Width = D.IsUnitScale() && d.Width > -limit && d.Width < limit
                      ? std::max(1, d.Width)
                      : std::max(1, PixelPos(d.Width * std::fabs(D.ScaleX()), limit));
        p.Wide = p.Width > 1;
        // Plain wide pens draw solid whatever their style.
        if (!geometric && p.Wide && IsStyled(p.Style)) p.Style = PS_SOLID;
        if (!geometric) p.Cap = PS_ENDCAP_ROUND, p.Join = PS_JOIN_ROUND;
    }
    if (!p.Wide && p.Style == PS_INSIDEFRAME) p.Style = PS_SOLID;
    return p;
}

void DevLine(TCanvasPrivate& D, TPoint From, TPoint To) {
    const TPenInfo pen = PenInfo(D);
    if (pen.Null) return;
    if (pen.Wide && From == To) {
        WideDot(D, pen, From);
        return;
    }
    if (D.Image) {
        if (!pen.Wide) {
            TRaster* r = D.Raster();
            if (!r) return;
            if (pen.Style == PS_SOLID || pen.Style == PS_INSIDEFRAME) {
                r->Line(From.x, From.y, To.x, To.y, false, ToPixel(pen.Color), D.S.Rop2);
                return;
            }
            StrokeThinRaster(D, pen, {From, To}, false, true);
        } else {
            QPainterPath path;
            path.moveTo(From.x, From.y);
            path.lineTo(To.x, To.y);
            StrokeWideRaster(D, pen, path);
        }
    } else if (QPainter* p = D.PreparedPainter()) {
        p->setPen(ToQPen(pen));
        p->drawLine(From.x, From.y, To.x, To.y);
    }
}

namespace {

void StrokeFigure(TCanvasPrivate& D, const TFigure& Points, bool Closed) {
    const TPenInfo pen = PenInfo(D);
    if (pen.Null || Points.empty()) return;
    if (pen.Wide) {
        const TPoint first = Points.front();
        size_t i = 1;
        while (i < Points.size() && Points[i] == first)
            ++i;
        if (i == Points.size()) {
            WideDot(D, pen, first);
            return;
        }
    }
    if (D.Image) {
        if (!pen.Wide)
            StrokeThinRaster(D, pen, Points, Closed);
        else
            StrokeWideRaster(D, pen, PolyPath(Points, Closed));
    } else if (QPainter* p = D.PreparedPainter()) {
        p->setPen(ToQPen(pen));
        p->setBrush(Qt::NoBrush);
        p->drawPath(PolyPath(Points, Closed));
    }
}

} // namespace

namespace {

// Rows A..B of the run's column painted, less what the run holds already.
void RunRows(TCanvasLineRun& Run, TRaster* R, int X, int A, int B) {
    const bool apart = Run.X != X || Run.Lo > Run.Hi || int64_t(B) < int64_t(Run.Lo) - 1 ||
                       int64_t(A) > int64_t(Run.Hi) + 1;
    if (apart) {
        R->Column(X, A, B, Run.Color);
        Run.X = X;
        Run.Lo = A;
        Run.Hi = B;
        return;
    }
    if (A < Run.Lo) R->Column(X, A, Run.Lo - 1, Run.Color);
    if (B > Run.Hi) R->Column(X, Run.Hi + 1, B, Run.Color);
    Run.Lo = std::min(Run.Lo, A);
    Run.Hi = std::max(Run.Hi, B);
}

} // namespace

void DevRunPolyline(TCanvasPrivate& D, TRaster* R, const TPoint* P, int N) {
    TCanvasLineRun& run = D.Run;
    int i = 0;
    while (i < N - 1) {
        // The stretch P[i..k] in column x and the span of its rows.
        const int x = P[i].x;
        int lo = P[i].y, hi = lo, k = i;
        while (k + 1 < N && P[k + 1].x == x) {
            ++k;
            lo = std::min(lo, P[k].y);
            hi = std::max(hi, P[k].y);
        }
        if (lo < hi) {
            if (k + 1 < N) {
                // The line leaving the column starts on P[k]: every row is painted.
                RunRows(run, R, x, lo, hi);
            } else {
                // The polyline ends here, and its last point is left out unless
                // an earlier point of the stretch holds its row.
                const int last = P[k].y;
                int j = k;
                while (P[j - 1].y == last)
                    --j; // the points repeating the last one draw nothing
                int a = P[i].y, b = a;
                for (int m = i + 1; m < j; ++m) {
                    a = std::min(a, P[m].y);
                    b = std::max(b, P[m].y);
                }
                if (last > b)
                    b = last - 1;
                else if (last < a)
                    a = last + 1;
                RunRows(run, R, x, a, b);
            }
        }
        if (k + 1 == N) break;
        R->Line(P[k].x, P[k].y, P[k + 1].x, P[k + 1].y, false, run.Color, R2_COPYPEN);
        i = k + 1;
    }
}

void DevPolyline(TCanvasPrivate& D, const TPoint* Points, int Count, bool Closed) {
    if (!Points || Count <= 0) return;
    StrokeFigure(D, TFigure{D, Points, size_t(Count), !D.IdentityMap()}, Closed);
}

void DevPolyline(TCanvasPrivate& D, const std::vector<TPoint>& Points, bool Closed) {
    StrokeFigure(D, TFigure{D, Points.data(), Points.size(), false}, Closed);
}

void DevFillPolygons(TCanvasPrivate& D, const QList<QPolygonF>& Polygons, bool Winding) {
    if (D.Image) {
        TRaster* r = D.Raster();
        TRasterPaint paint;
        QImage pattern;
        if (!r || !BrushPaint(D, D.S.Brush, D.S.Rop2, paint, pattern)) return;
        r->FillPolygons(Polygons, Winding, paint);
    } else if (QPainter* p = D.PreparedPainter()) {
        QPainterPath path;
        path.setFillRule(Winding ? Qt::WindingFill : Qt::OddEvenFill);
        for (const QPolygonF& poly : Polygons)
            path.addPolygon(poly);
        p->fillPath(path, ToQBrush(D, D.S.Brush));
    }
}

void DevPolygon(TCanvasPrivate& D, const std::vector<std::vector<TPoint>>& Polygons) {
    QList<QPolygonF> polys;
    for (const auto& poly : Polygons) {
        QPolygonF q;
        for (const TPoint& p : poly)
            q << QPointF(p.x, p.y);
        polys << q;
    }
    DevFillPolygons(D, polys, D.S.FillMode == WINDING);
    for (const auto& poly : Polygons)
        DevPolyline(D, poly, true);
}

namespace {

// A thin solid pen (or none) and a solid brush (or none) copied onto the
// pixels: the outline and the inside are plain blocks of one colour each.
bool SolidBlocks(const TCanvasPrivate& D, const TPenInfo& Pen) {
    return D.S.Rop2 == R2_COPYPEN && (Pen.Null || (!Pen.Wide && !IsStyled(Pen.Style))) &&
           (D.S.Brush.Style == BS_SOLID || D.S.Brush.Style == BS_NULL);
}

// The rectangle of the general path below, block by block (X1 <= X2, Y1 <= Y2);
// Line is the pen's pixel, none for no pen.
void BlockRectangle(TRaster& R, const uint32_t* Line, const uint32_t* Fill, int X1, int Y1, int X2,
                    int Y2) {
    const bool hasBrush = Fill != nullptr;
    const uint32_t fill = Fill ? *Fill : 0;
    if (!Line) {
        if (hasBrush) R.Block(X1, Y1, X2 - 1, Y2 - 1, fill);
        return;
    }
    // Sizes in 64 bits: the corners may lie anywhere.
    const int64_t width = int64_t(X2) - X1, height = int64_t(Y2) - Y1;
    if (width < 1 || height < 1) return;
    const uint32_t line = *Line;
    if (width <= 2 || height <= 2) {
        R.Block(X1, Y1, X2, Y2, line);
        return;
    }
    R.FramedBlock(X1, Y1, X2, Y2, line, hasBrush ? &fill : nullptr);
}

void BlockRectangle(const TCanvasPrivate& D, TRaster& R, const uint32_t* Line, int X1, int Y1,
                    int X2, int Y2) {
    const uint32_t fill = ToPixel(BrushColor(D, D.S.Brush));
    BlockRectangle(R, Line, D.S.Brush.Style == BS_SOLID ? &fill : nullptr, X1, Y1, X2, Y2);
}

} // namespace

void DevRunRectangle(TCanvasPrivate& D, int X1, int Y1, int X2, int Y2) {
    const UINT brush = D.S.Brush.Style;
    if (D.Run.Checked != D.Run.Version || !D.Run.Fast || (brush != BS_SOLID && brush != BS_NULL)) {
        // A notice's handler may have changed the mapping or opened a path.
        DoRectangle(D, D.ToDevice(X1, Y1), D.ToDevice(X2, Y2));
        return;
    }
    if (X2 < X1) std::swap(X1, X2);
    if (Y2 < Y1) std::swap(Y1, Y2);
    TRaster* r = D.LineRaster();
    if (!r || r->Empty()) return;
    // The run's pen is a thin solid copy pen: the box is plain blocks, and
    // the run's column may lie under them.
    BlockRectangle(D, *r, &D.Run.Color, X1, Y1, X2, Y2);
    D.Run.Lo = 1;
    D.Run.Hi = 0;
}

void DevRunColumnsAndBoxes(TCanvasPrivate& D, std::span<const TCanvas::TColumnBox> Marks) {
    TRaster* raster = nullptr;
    bool asked = false;
    // Asked for only once something is painted, as a single call would.
    const auto ask = [&] {
        if (!asked) raster = D.LineRaster();
        asked = true;
        return raster;
    };
    const uint32_t fill = ToPixel(BrushColor(D, D.S.Brush));
    const uint32_t* brush = D.S.Brush.Style == BS_SOLID ? &fill : nullptr;
    for (const TCanvas::TColumnBox& m : Marks) {
        if (m.HasColumn) {
            D.S.Pos = {m.X, m.Y1};
            D.StylePhase = 0;
            DevRunLine(D, {m.X, m.Y0}, {m.X, m.Y1}, ask);
        }
        if (!m.HasBox) continue;
        int x1 = m.Box.Left, y1 = m.Box.Top, x2 = m.Box.Right, y2 = m.Box.Bottom;
        if (x2 < x1) std::swap(x1, x2);
        if (y2 < y1) std::swap(y1, y2);
        TRaster* r = ask();
        if (!r || r->Empty()) continue;
        if (!brush || !r->NarrowFramedBlock(x1, y1, x2, y2, D.Run.Color, fill))
            BlockRectangle(*r, &D.Run.Color, brush, x1, y1, x2, y2);
        D.Run.Lo = 1;
        D.Run.Hi = 0;
    }
}

bool DevDirectPixels(TCanvasPrivate& D, TCanvas::TDirectPixels& Out) {
    TRaster* r = D.LineRaster();
    if (!r || !r->Plain()) return false;
    const QRect& c = r->Bounds();
    Out.Origin = r->At(0, 0);
    Out.Stride = r->Stride();
    Out.Clip = TRect(c.left(), c.top(), c.right() + 1, c.bottom() + 1);
    Out.Pen = D.Run.Color;
    Out.Brush = ToPixel(BrushColor(D, D.S.Brush));
    D.Run.Lo = 1;
    D.Run.Hi = 0;
    return true;
}

void DevRectangle(TCanvasPrivate& D, int X1, int Y1, int X2, int Y2) {
    if (X2 < X1) std::swap(X1, X2);
    if (Y2 < Y1) std::swap(Y1, Y2);
    const TPenInfo pen = PenInfo(D);
    if (D.Painter && !D.Image) {
        if (QPainter* p = D.PreparedPainter()) {
            if (pen.Null) {
                p->fillRect(QRect(X1, Y1, X2 - X1 - 1, Y2 - Y1 - 1), ToQBrush(D, D.S.Brush));
                return;
            }
            p->setPen(ToQPen(pen));
            p->setBrush(ToQBrush(D, D.S.Brush));
            p->drawRect(QRectF(X1, Y1, X2 - 1 - X1, Y2 - 1 - Y1));
        }
        return;
    }
    TRaster* r = D.Raster();
    if (!r || r->Empty()) return;
    if (SolidBlocks(D, pen)) {
        const uint32_t line = ToPixel(pen.Color);
        BlockRectangle(D, *r, pen.Null ? nullptr : &line, X1, Y1, X2, Y2);
        return;
    }
    TRasterPaint fill;
    QImage pattern;
    const bool hasBrush = BrushPaint(D, D.S.Brush, D.S.Rop2, fill, pattern);
    // Rows outside the image are never visited (coordinates may be huge).
    const int top = r->Bounds().top(), bottom = r->Bounds().bottom() + 1;
    auto rows = [&](int a, int b, auto&& fn) {
        for (int y = std::max(a, top); y < std::min(b, bottom); ++y)
            fn(y);
    };
    if (pen.Null) {
        // Without a pen the rectangle is one pixel smaller.
        if (hasBrush) rows(Y1, Y2 - 1, [&](int y) { r->Span(y, X1, X2 - 1, fill); });
        return;
    }
    if (X2 - X1 < 1 || Y2 - Y1 < 1) return;
    if (pen.Wide) {
        const double inset = pen.InsideFrame ? (pen.Width - 1) / 2.0 : 0.0;
        if (hasBrush) rows(Y1 + 1, Y2 - 1, [&](int y) { r->Span(y, X1 + 1, X2 - 1, fill); });
        QPainterPath path;
        path.addRect(
            QRectF(X1 + inset, Y1 + inset, X2 - 1 - X1 - 2 * inset, Y2 - 1 - Y1 - 2 * inset));
        TPenInfo framePen = pen;
        if (pen.InsideFrame) framePen.Join = PS_JOIN_MITER;
        StrokeWideRaster(D, framePen, path);
        return;
    }
    if (hasBrush) rows(Y1 + 1, Y2 - 1, [&](int y) { r->Span(y, X1 + 1, X2 - 1, fill); });
    if (X2 - X1 <= 2 || Y2 - Y1 <= 2 || IsStyled(pen.Style)) {
        if (IsStyled(pen.Style) && X2 - X1 > 2 && Y2 - Y1 > 2) {
            StrokeThinRaster(D, pen, {{X1, Y1}, {X2 - 1, Y1}, {X2 - 1, Y2 - 1}, {X1, Y2 - 1}},
                             true);
            return;
        }
        // Too thin for an inside: every pixel of the box is outline.
        const TRasterPaint p = PenPaint(D, pen);
        rows(Y1, Y2, [&](int y) {
            if (y == Y1 || y == Y2 - 1)
                r->Span(y, X1, X2, p);
            else {
                r->Span(y, X1, X1 + 1, p);
                if (X2 - 1 > X1) r->Span(y, X2 - 1, X2, p);
            }
        });
        return;
    }
    const TRasterPaint p = PenPaint(D, pen);
    if (Y1 >= top && Y1 < bottom) r->Span(Y1, X1, X2, p);
    if (Y2 - 1 >= top && Y2 - 1 < bottom) r->Span(Y2 - 1, X1, X2, p);
    rows(Y1 + 1, Y2 - 1, [&](int y) {
        r->Span(y, X1, X1 + 1, p);
        r->Span(y, X2 - 1, X2, p);
    });
}

QPainterPath RoundShapePath(int X1, int Y1, int X2, int Y2, int W, int H) {
    QPainterPath path;
    const QRectF box(X1, Y1, X2 - 1 - X1, Y2 - 1 - Y1);
    if (W >= X2 - X1 && H >= Y2 - Y1)
        path.addEllipse(box);
    else
        path.addRoundedRect(box, std::max(0, W - 1) / 2.0, std::max(0, H - 1) / 2.0,
                            Qt::AbsoluteSize);
    return path;
}

void DevRoundShape(TCanvasPrivate& D, int X1, int Y1, int X2, int Y2, int W, int H) {
    if (X2 < X1) std::swap(X1, X2);
    if (Y2 < Y1) std::swap(Y1, Y2);
    const TPenInfo pen = PenInfo(D);
    if (!D.Image) {
        if (QPainter* p = D.PreparedPainter()) {
            p->setPen(ToQPen(pen));
            p->setBrush(ToQBrush(D, D.S.Brush));
            p->drawPath(RoundShapePath(X1, Y1, X2, Y2, W, H));
        }
        return;
    }
    TRaster* r = D.Raster();
    if (!r || X2 - X1 < 1 || Y2 - Y1 < 1) return;
    if (int64_t(X2) - X1 > LargeShape || int64_t(Y2) - Y1 > LargeShape) {
        const QPainterPath path = RoundShapePath(X1, Y1, X2, Y2, W, H);
        DevFillPath(D, path);
        DevStrokePath(D, path);
        return;
    }
    TRasterPaint fill;
    QImage pattern;
    const bool hasBrush = BrushPaint(D, D.S.Brush, D.S.Rop2, fill, pattern);
    if (pen.Null) {
        if (!hasBrush || X2 - X1 < 2 || Y2 - Y1 < 2) return;
        for (const TRoundRow& row : RoundShapeRows(X1, Y1, X2 - 2, Y2 - 2, W, H)) {
            const int a = row.l0, b = row.r0 <= row.r1 ? row.r1 : row.l1;
            r->Span(row.y, a, b + 1, fill);
        }
        return;
    }
    const auto rows = RoundShapeRows(X1, Y1, X2 - 1, Y2 - 1, W, H);
    if (hasBrush)
        for (const TRoundRow& row : rows)
            if (row.in0 <= row.in1) r->Span(row.y, row.in0, row.in1 + 1, fill);
    if (pen.Wide) {
        QPainterPath path = RoundShapePath(X1, Y1, X2, Y2, W, H);
        if (pen.InsideFrame) {
            const double d = (pen.Width - 1) / 2.0;
            path = RoundShapePath(X1, Y1, X2, Y2, W, H);
            QTransform t;
            const double sx = (X2 - 1 - X1) > 2 * d ? (X2 - 1 - X1 - 2 * d) / (X2 - 1 - X1) : 1;
            const double sy = (Y2 - 1 - Y1) > 2 * d ? (Y2 - 1 - Y1 - 2 * d) / (Y2 - 1 - Y1) : 1;
            const double cx = (X1 + X2 - 1) / 2.0, cy = (Y1 + Y2 - 1) / 2.0;
            t.translate(cx, cy);
            t.scale(sx, sy);
            t.translate(-cx, -cy);
            path = t.map(path);
        }
        StrokeWideRaster(D, pen, path);
        return;
    }
    if (IsStyled(pen.Style)) {
        bool closed;
        const auto pts = FlattenPath(RoundShapePath(X1, Y1, X2, Y2, W, H), closed);
        StrokeThinRaster(D, pen, pts, true);
        return;
    }
    const TRasterPaint p = PenPaint(D, pen);
    for (const TRoundRow& row : rows) {
        r->Span(row.y, row.l0, row.l1 + 1, p);
        if (row.r0 <= row.r1) r->Span(row.y, row.r0, row.r1 + 1, p);
    }
}

QPainterPath ArcShapePath(int Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4,
                          int ArcDirection, TPoint* Start, TPoint* End) {
    if (X2 < X1) std::swap(X1, X2);
    if (Y2 < Y1) std::swap(Y1, Y2);
    const TArcGeometry g = ArcGeometry(X1, Y1, X2, Y2, X3, Y3, X4, Y4, ArcDirection);
    if (Start) *Start = g.S;
    if (End) *End = g.E;
    const QRectF box(X1, Y1, X2 - 1 - X1, Y2 - 1 - Y1);
    // The path's angles run along the ellipse's parameter, the radial points'
    // around its centre: on a box that is not square they differ, and the
    // ends must lie toward the radial points.
    const auto parameter = [&](double a) {
        if (g.rx <= 0 || g.ry <= 0) return a;
        return std::atan2(std::sin(a) / g.ry, std::cos(a) / g.rx);
    };
    const double start = parameter(g.start);
    const double sweep = g.full ? g.sweep : NormAngle(parameter(g.start + g.sweep) - start);
    const double startDeg = start * 180 / std::numbers::pi;
    const double sweepDeg = sweep * 180 / std::numbers::pi;
    QPainterPath path;
    if (ArcDirection == AD_CLOCKWISE) {
        // Drawn from the first radial clockwise: the same pixels, reversed.
        path.arcMoveTo(box, startDeg + sweepDeg);
        path.arcTo(box, startDeg + sweepDeg, -sweepDeg);
    } else {
        path.arcMoveTo(box, startDeg);
        path.arcTo(box, startDeg, sweepDeg);
    }
    if (Kind == 2) {
        path.lineTo(box.center());
        path.closeSubpath();
    } else if (Kind == 3) {
        path.closeSubpath();
    }
    return path;
}

void DevArcShape(TCanvasPrivate& D, int Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3,
                 int X4, int Y4, TPoint* Start, TPoint* End) {
    if (X2 < X1) std::swap(X1, X2);
    if (Y2 < Y1) std::swap(Y1, Y2);
    const TPenInfo pen = PenInfo(D);
    const bool filled = Kind >= 2;
    const QPainterPath path =
        ArcShapePath(Kind, X1, Y1, X2, Y2, X3, Y3, X4, Y4, D.S.ArcDirection, Start, End);
    if (!D.Image) {
        if (QPainter* p = D.PreparedPainter()) {
            p->setPen(ToQPen(pen));
            p->setBrush(filled ? ToQBrush(D, D.S.Brush) : QBrush(Qt::NoBrush));
            p->drawPath(path);
        }
        return;
    }
    TRaster* r = D.Raster();
    if (!r || X2 - X1 < 1 || Y2 - Y1 < 1) return;
    if (int64_t(X2) - X1 > LargeShape || int64_t(Y2) - Y1 > LargeShape) {
        if (filled) DevFillPath(D, path);
        DevStrokePath(D, path);
        return;
    }
    // Without a pen the figure is one pixel smaller, as rectangles are.
    const int bx2 = pen.Null ? X2 - 1 : X2, by2 = pen.Null ? Y2 - 1 : Y2;
    const TArcGeometry g = ArcGeometry(X1, Y1, bx2, by2, X3, Y3, X4, Y4, D.S.ArcDirection);
    const auto rows = RoundShapeRows(X1, Y1, bx2 - 1, by2 - 1, bx2 - X1, by2 - Y1);

    std::vector<uint64_t> outline;
    auto key = [](int x, int y) { return (uint64_t(uint32_t(y)) << 32) | uint32_t(x); };
    auto angleOf = [&](int x, int y) { return std::atan2(g.cy - y, x - g.cx); };
    if (!pen.Null && !pen.Wide && !IsStyled(pen.Style)) {
        for (const TRoundRow& row : rows) {
            for (int x = row.l0; x <= row.l1; ++x)
                if (g.Contains(angleOf(x, row.y))) outline.push_back(key(x, row.y));
            for (int x = row.r0; x <= row.r1; ++x)
                if (g.Contains(angleOf(x, row.y))) outline.push_back(key(x, row.y));
        }
        if (Kind == 2 && !g.full) {
            const TPoint c(int(std::lround(g.cx)), int(std::lround(g.cy)));
            LinePixels(c, g.S, outline);
            LinePixels(c, g.E, outline);
        } else if (Kind == 3 && !g.full) {
            LinePixels(g.S, g.E, outline);
        }
        std::sort(outline.begin(), outline.end());
        outline.erase(std::unique(outline.begin(), outline.end()), outline.end());
    }

    if (filled) {
        TRasterPaint fill;
        QImage pattern;
        if (BrushPaint(D, D.S.Brush, D.S.Rop2, fill, pattern)) {
            // Chord side: the side of the chord the arc's middle lies on.
            const double mid = g.start + g.sweep / 2;
            const double mx = g.cx + std::cos(mid), my = g.cy - std::sin(mid);
            const double ex = g.E.x - g.S.x, ey = g.E.y - g.S.y;
            const double side = ex * (my - g.S.y) - ey * (mx - g.S.x);
            auto inside = [&](int x, int y) {
                if (g.full) return true;
                if (Kind == 2) {
                    if (std::abs(x - g.cx) < 0.5 && std::abs(y - g.cy) < 0.5) return true;
                    return g.Contains(angleOf(x, y));
                }
                const double s = ex * (y - g.S.y) - ey * (x - g.S.x);
                return s == 0 || (s > 0) == (side > 0);
            };
            // Only what the raster holds is tested pixel by pixel.
            const QRect clip = r->Bounds();
            for (const TRoundRow& row : rows) {
                if (row.y < clip.top() || row.y > clip.bottom()) continue;
                int a, b;
                if (pen.Null) {
                    a = row.l0;
                    b = row.r0 <= row.r1 ? row.r1 : row.l1;
                } else {
                    a = row.in0;
                    b = row.in1;
                }
                a = std::max(a, clip.left());
                b = std::min(b, clip.right());
                int runStart = INT_MIN;
                for (int x = a; x <= b + 1; ++x) {
                    const bool in =
                        x <= b && inside(x, row.y) &&
                        !std::binary_search(outline.begin(), outline.end(), key(x, row.y));
                    if (in && runStart == INT_MIN) runStart = x;
                    if (!in && runStart != INT_MIN) {
                        r->Span(row.y, runStart, x, fill);
                        runStart = INT_MIN;
                    }
                }
            }
        }
    }
    if (pen.Null) return;
    if (pen.Wide) {
        StrokeWideRaster(D, pen, path);
        return;
    }
    if (IsStyled(pen.Style)) {
        bool closed;
        const auto pts = FlattenPath(path, closed);
        StrokeThinRaster(D, pen, pts, Kind >= 2);
        return;
    }
    const uint32_t color = ToPixel(pen.Color);
    for (uint64_t k : outline)
        r->Pixel(int(uint32_t(k)), int(k >> 32), color, D.S.Rop2);
}

void DevFillRect(TCanvasPrivate& D, const TRect& R, const TBrushData& Brush, bool UseRop2) {
    if (R.Right <= R.Left || R.Bottom <= R.Top) return;
    if (!D.Image) {
        if (QPainter* p = D.PreparedPainter())
            p->fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), ToQBrush(D, Brush));
        return;
    }
    TRaster* r = D.Raster();
    TRasterPaint fill;
    QImage pattern;
    if (!r || !BrushPaint(D, Brush, UseRop2 ? D.S.Rop2 : R2_COPYPEN, fill, pattern)) return;
    const int y0 = std::max(R.Top, r->Bounds().top()),
              y1 = std::min(R.Bottom, r->Bounds().bottom() + 1);
    for (int y = y0; y < y1; ++y)
        r->Span(y, R.Left, R.Right, fill);
}

void DevPatBlt(TCanvasPrivate& D, const TRect& R0, DWORD Rop) {
    TRect R = R0;
    if (R.Right < R.Left) std::swap(R.Left, R.Right);
    if (R.Bottom < R.Top) std::swap(R.Top, R.Bottom);
    if (R.IsEmpty()) return;
    const uint8_t rop3 = uint8_t(Rop >> 16);
    if (!D.Image) {
        if (QPainter* p = D.PreparedPainter()) {
            const QRect q(R.Left, R.Top, R.Width(), R.Height());
            if (rop3 == 0x00)
                p->fillRect(q, Qt::black);
            else if (rop3 == 0xFF)
                p->fillRect(q, Qt::white);
            else if (rop3 == 0xF0)
                p->fillRect(q, ToQBrush(D, D.S.Brush));
        }
        return;
    }
    if (!D.Raster()) return;
    TRasterPaint brush;
    QImage pattern;
    const bool hasBrush = BrushPaint(D, D.S.Brush, R2_COPYPEN, brush, pattern);
    for (const QRect& c : D.EffectiveClip()) {
        const QRect area = c & QRect(R.Left, R.Top, R.Width(), R.Height());
        for (int y = area.top(); y <= area.bottom(); ++y) {
            uint32_t* drow = reinterpret_cast<uint32_t*>(D.Image->scanLine(y));
            for (int x = area.left(); x <= area.right(); ++x) {
                const uint32_t P = hasBrush ? PaintColorAt(brush, x, y) : 0xFF000000u;
                drow[x] = ApplyRop3(rop3, P, 0, drow[x]);
            }
        }
    }
}

void DevSetPixel(TCanvasPrivate& D, int X, int Y, COLORREF C) {
    if (D.Image) {
        if (TRaster* r = D.Raster()) r->Pixel(X, Y, ToPixel(C), R2_COPYPEN);
    } else if (QPainter* p = D.PreparedPainter()) {
        p->fillRect(QRect(X, Y, 1, 1), ColorRefToQColor(C));
    }
}

COLORREF DevGetPixel(TCanvasPrivate& D, int X, int Y) {
    if (!D.Image || !D.Image->rect().contains(X, Y)) return CLR_INVALID;
    if (D.S.HasClip && !D.S.Clip.contains(QPoint(X, Y))) return CLR_INVALID;
    return FromPixel(reinterpret_cast<const uint32_t*>(D.Image->constScanLine(Y))[X]);
}

void DevBlt(TCanvasPrivate& D, const TRect& Dest, const QImage& Source, const QRect& SourceRect,
            DWORD Rop, int64_t Transparent) {
    const int dw = Dest.Right - Dest.Left, dh = Dest.Bottom - Dest.Top;
    if (dw == 0 || dh == 0 || SourceRect.width() == 0 || SourceRect.height() == 0) return;
    const uint8_t rop3 = uint8_t(Rop >> 16);
    if (!D.Image) {
        if (QPainter* p = D.PreparedPainter()) {
            QImage src = Source.copy(SourceRect);
            if (Transparent >= 0) {
                src = src.convertToFormat(QImage::Format_ARGB32);
                const uint32_t t = ToPixel(COLORREF(Transparent)) & 0xFFFFFF;
                for (int y = 0; y < src.height(); ++y) {
                    uint32_t* row = reinterpret_cast<uint32_t*>(src.scanLine(y));
                    for (int x = 0; x < src.width(); ++x)
                        if ((row[x] & 0xFFFFFF) == t) row[x] = 0;
                }
            }
            p->drawImage(QRectF(std::min(Dest.Left, Dest.Right), std::min(Dest.Top, Dest.Bottom),
                                std::abs(dw), std::abs(dh)),
                         src.mirrored(dw < 0, dh < 0));
        }
        return;
    }
    TRaster* r = D.Raster();
    if (!r || r->Empty()) return;
    const QImage src =
        Source.format() == QImage::Format_RGB32 || Source.format() == QImage::Format_ARGB32
            ? Source
            : Source.convertToFormat(QImage::Format_RGB32);
    const int x0 = std::min(Dest.Left, Dest.Right), y0 = std::min(Dest.Top, Dest.Bottom);
    const int aw = std::abs(dw), ah = std::abs(dh);
    const bool flipX = (dw < 0) != (SourceRect.width() < 0);
    const bool flipY = (dh < 0) != (SourceRect.height() < 0);
    const QRect sr = SourceRect.normalized();
    const int sw = sr.width(), sh = sr.height();
    const uint32_t transparent =
        Transparent >= 0 ? (ToPixel(COLORREF(Transparent)) & 0xFFFFFF) : 0x1000000;
    TRasterPaint brush;
    QImage pattern;
    const bool usesPattern = ((rop3 >> 4) & 0xF) != (rop3 & 0xF);
    const bool hasBrush = usesPattern && BrushPaint(D, D.S.Brush, R2_COPYPEN, brush, pattern);
    const QRegion clip = D.EffectiveClip();
    const int srcWidth = src.width(), srcHeight = src.height();
    const bool plainCopy = rop3 == 0xCC && Transparent < 0 && !flipX && !flipY && sw == aw &&
                           sh == ah && sr.left() >= 0 && sr.top() >= 0 && sr.right() < srcWidth &&
                           sr.bottom() < srcHeight;
    for (const QRect& c : clip) {
        const QRect area = c & QRect(x0, y0, aw, ah);
        if (plainCopy) {
            // Pixel for pixel: whole rows at once (the buffered chart's every frame).
            const bool opaque = src.format() == QImage::Format_RGB32;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                const uint32_t* from =
                    reinterpret_cast<const uint32_t*>(src.constScanLine(sr.top() + y - y0)) +
                    (sr.left() + area.left() - x0);
                uint32_t* to = reinterpret_cast<uint32_t*>(D.Image->scanLine(y)) + area.left();
                if (opaque)
                    std::memcpy(to, from, size_t(area.width()) * 4);
                else
                    for (int x = 0; x < area.width(); ++x)
                        to[x] = from[x] | 0xFF000000u;
            }
            continue;
        }
        for (int y = area.top(); y <= area.bottom(); ++y) {
            int syi = int((int64_t(y - y0) * sh) / ah);
            if (flipY) syi = sh - 1 - syi;
            const int sy = sr.top() + syi;
            if (sy < 0 || sy >= srcHeight) continue;
            const uint32_t* srow = reinterpret_cast<const uint32_t*>(src.constScanLine(sy));
            uint32_t* drow = reinterpret_cast<uint32_t*>(D.Image->scanLine(y));
            for (int x = area.left(); x <= area.right(); ++x) {
                int sxi = int((int64_t(x - x0) * sw) / aw);
                if (flipX) sxi = sw - 1 - sxi;
                const int sx = sr.left() + sxi;
                if (sx < 0 || sx >= srcWidth) continue;
                const uint32_t S = srow[sx] | 0xFF000000u;
                if ((S & 0xFFFFFF) == transparent) continue;
                if (rop3 == 0xCC) {
                    drow[x] = S;
                    continue;
                }
                const uint32_t P = hasBrush ? PaintColorAt(brush, x, y) : 0xFF000000u;
                drow[x] = ApplyRop3(rop3, P, S, drow[x]);
            }
        }
    }
}

QPainterPath WidenedPath(const TCanvasPrivate& D, const QPainterPath& Path) {
    TPenInfo pen = PenInfo(D);
    QPainterPathStroker st;
    st.setWidth(std::max(1, pen.Width));
    st.setCapStyle(QtCap(pen.Cap));
    st.setJoinStyle(QtJoin(pen.Join));
    st.setMiterLimit(10);
    return st.createStroke(Path);
}

void DevStrokePath(TCanvasPrivate& D, const QPainterPath& Path) {
    const TPenInfo pen = PenInfo(D);
    if (pen.Null) return;
    if (!D.Image) {
        if (QPainter* p = D.PreparedPainter()) {
            p->setPen(ToQPen(pen));
            p->setBrush(Qt::NoBrush);
            p->drawPath(Path);
        }
        return;
    }
    if (pen.Wide) {
        StrokeWideRaster(D, pen, Path);
        return;
    }
    for (const QPolygonF& poly : Path.toSubpathPolygons()) {
        std::vector<TPoint> pts;
        for (const QPointF& p : poly) {
            const TPoint q(PixelPos(p.x()), PixelPos(p.y()));
            if (pts.empty() || !(pts.back() == q)) pts.push_back(q);
        }
        const bool closed = poly.isClosed() && pts.size() > 1;
        if (closed) pts.pop_back();
        if (!closed && pts.size() == 1) continue;
        StrokeThinRaster(D, pen, pts, closed);
    }
}

void DevFillPath(TCanvasPrivate& D, const QPainterPath& Path) {
    QList<QPolygonF> polys = Path.toSubpathPolygons();
    DevFillPolygons(D, polys, Path.fillRule() == Qt::WindingFill || D.S.FillMode == WINDING);
}

QRegion DevPathRegion(const TCanvasPrivate& D, const QPainterPath& Path) {
    const bool winding = Path.fillRule() == Qt::WindingFill || D.S.FillMode == WINDING;
    return RegionFromPolygons(Path.toSubpathPolygons(),
                              winding ? Qt::WindingFill : Qt::OddEvenFill);
}

TRect DevBlockRect(TPoint From, TPoint To) {
    TRect r(From.x, From.y, To.x, To.y);
    if (r.Right < r.Left) r = {r.Right + 1, r.Top, r.Left + 1, r.Bottom};
    if (r.Bottom < r.Top) r = {r.Left, r.Bottom + 1, r.Right, r.Top + 1};
    return r;
}

void DevFloodFill(TCanvasPrivate& D, int X, int Y, COLORREF C, bool Surface) {
    if (!D.Image) return;
    TRaster* r = D.Raster();
    if (!r || !r->Bounds().contains(X, Y)) return;
    TRasterPaint fill;
    QImage pattern;
    if (!BrushPaint(D, D.S.Brush, R2_COPYPEN, fill, pattern)) return;
    const QRect b = r->Bounds();
    const QRegion clip = D.EffectiveClip();
    const uint32_t target = ToPixel(C) & 0xFFFFFF;
    QImage& img = *D.Image;
    const int w = b.right() + 1, h = b.bottom() + 1;
    auto px = [&](int x, int y) {
        return reinterpret_cast<const uint32_t*>(img.constScanLine(y))[x] & 0xFFFFFF;
    };
    auto fillable = [&](int x, int y) {
        if (!clip.contains(QPoint(x, y))) return false;
        return Surface ? px(x, y) == target : px(x, y) != target;
    };
    if (!fillable(X, Y)) return;
    // Spans are found first and painted afterwards, so a brush of the border
    // colour cannot confuse the search.
    std::vector<uint8_t> seen(size_t(w) * size_t(h), 0);
    std::vector<std::pair<int, int>> stack{{X, Y}};
    std::vector<TSpan> spans;
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        if (seen[size_t(y) * w + x] || !fillable(x, y)) continue;
        int a = x, e = x;
        while (a > b.left() && !seen[size_t(y) * w + a - 1] && fillable(a - 1, y))
            --a;
        while (e + 1 < w && !seen[size_t(y) * w + e + 1] && fillable(e + 1, y))
            ++e;
        for (int i = a; i <= e; ++i)
            seen[size_t(y) * w + i] = 1;
        spans.push_back({y, a, e + 1});
        for (int ny : {y - 1, y + 1}) {
            if (ny < b.top() || ny >= h) continue;
            for (int i = a; i <= e; ++i)
                if (!seen[size_t(ny) * w + i] && fillable(i, ny)) stack.emplace_back(i, ny);
        }
    }
    for (const TSpan& s : spans)
        r->Span(s.y, s.x0, s.x1, fill);
}

// --- shape calls shared by the canvas and playback ---------------------------------

void DoRectangle(TCanvasPrivate& D, TPoint A, TPoint B) {
    if (!D.InPath) {
        DevRectangle(D, A.x, A.y, B.x, B.y);
        return;
    }
    // The figure runs along the pixels the outline would cover.
    const qreal l = std::min(A.x, B.x), t = std::min(A.y, B.y);
    const qreal r = std::max(A.x, B.x) - 1, b = std::max(A.y, B.y) - 1;
    QPainterPath fig(QPointF(l, t));
    fig.lineTo(r, t);
    fig.lineTo(r, b);
    fig.lineTo(l, b);
    fig.closeSubpath();
    D.Path.addPath(fig);
}

void DoRoundShape(TCanvasPrivate& D, TPoint A, TPoint B, int W, int H) {
    if (D.InPath)
        D.Path.addPath(RoundShapePath(std::min(A.x, B.x), std::min(A.y, B.y), std::max(A.x, B.x),
                                      std::max(A.y, B.y), W, H));
    else
        DevRoundShape(D, A.x, A.y, B.x, B.y, W, H);
}

TPoint DoArcShape(TCanvasPrivate& D, int Kind, TPoint A, TPoint B, TPoint C, TPoint E,
                  TPoint From) {
    TPoint s, e;
    if (D.InPath) {
        const QPainterPath fig =
            ArcShapePath(Kind, A.x, A.y, B.x, B.y, C.x, C.y, E.x, E.y, D.S.ArcDirection, &s, &e);
        if (Kind == 1) {
            if (D.Path.elementCount() == 0) D.Path.moveTo(From.x, From.y);
            D.Path.lineTo(s.x, s.y);
            D.Path.connectPath(fig);
        } else
            D.Path.addPath(fig);
        return e;
    }
    if (Kind == 1) {
        ArcShapePath(Kind, A.x, A.y, B.x, B.y, C.x, C.y, E.x, E.y, D.S.ArcDirection, &s, &e);
        DevLine(D, From, s);
    }
    DevArcShape(D, Kind, A.x, A.y, B.x, B.y, C.x, C.y, E.x, E.y, &s, &e);
    return e;
}

void DoBezier(TCanvasPrivate& D, TPoint Start, const std::vector<QPointF>& Controls,
              bool Continue) {
    std::vector<TPoint> pts{Start};
    QPointF prev(Start.x, Start.y);
    QPainterPath fig(prev);
    for (size_t i = 0; i + 2 < Controls.size(); i += 3) {
        FlattenBezier(prev, Controls[i], Controls[i + 1], Controls[i + 2], pts);
        fig.cubicTo(Controls[i], Controls[i + 1], Controls[i + 2]);
        prev = Controls[i + 2];
    }
    if (!D.InPath) {
        DevPolyline(D, pts, false);
        return;
    }
    if (!Continue) {
        D.Path.addPath(fig);
        return;
    }
    if (D.Path.elementCount() == 0) D.Path.moveTo(Start.x, Start.y);
    D.Path.connectPath(fig);
}
