// Regions: rectangles, ellipses, rounded rectangles and polygons as pixel
// sets in device coordinates (right and bottom edges outside), and the
// region arithmetic.
#include "platform/graphics/canvasprivate.h"
#include <cmath>

namespace {

HRGN MakeRegion(const QRegion& r, TClipOutlines Outlines = {}) {
    auto obj = std::make_unique<TGdiRegion>();
    obj->Region = r;
    obj->Outlines = std::move(Outlines);
    return AddGdiObject(std::move(obj));
}

// More shapes than this cost a page more than the region's rows would.
constexpr size_t MaxOutlines = 8;

int RegionType(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRegion RectRegion(int l, int t, int r, int b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r == l || b == t) return QRegion();
    return QRegion(l, t, r - l, b - t);
}

QRegion RoundRegion(int l, int t, int r, int b, int w, int h) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r - l < 1 || b - t < 1) return QRegion();
    if (int64_t(r) - l > 16384 || int64_t(b) - t > 16384)
        return RegionFromPolygons(RoundShapePath(l, t, r, b, w, h).toSubpathPolygons(),
                                  Qt::OddEvenFill);
    std::vector<TSpan> spans;
    for (const TRoundRow& row : RoundShapeRows(l, t, r - 1, b - 1, w, h)) {
        const int e = row.r0 <= row.r1 ? row.r1 : row.l1;
        spans.push_back({row.y, row.l0, e + 1});
    }
    return SpansToRegion(spans);
}

} // namespace

QPainterPath PolygonOutline(const QPolygonF& Polygon, Qt::FillRule Rule) {
    // The region takes the pixels whose top-left corner is inside. Along a
    // level or upright edge those pixels end on the edge itself; along a
    // slanted one they end half a pixel further on average. Each edge moves
    // by its own amount and the corners are where the moved edges meet.
    QPolygonF p;
    for (const QPointF& q : Polygon)
        if (p.isEmpty() || q != p.back()) p << q;
    while (p.size() > 1 && p.front() == p.back())
        p.removeLast();
    const qsizetype n = p.size();
    QPolygonF moved;
    if (n < 3) {
        moved = p;
    } else {
        const auto shift = [&](qsizetype i) {
            const QPointF a = p[i], b = p[(i + 1) % n];
            return a.x() == b.x() || a.y() == b.y() ? QPointF(0, 0) : QPointF(0.5, 0.5);
        };
        for (qsizetype i = 0; i < n; ++i) {
            const qsizetype prev = (i + n - 1) % n;
            const QPointF t1 = shift(prev), t2 = shift(i);
            QPointF v = p[i] + t2;
            if (t1 != t2) {
                const QPointF d1 = p[i] - p[prev], d2 = p[(i + 1) % n] - p[i];
                const double cross = d1.x() * d2.y() - d1.y() * d2.x();
                const QPointF a = p[i] + t1, ab = t2 - t1;
                if (cross != 0) {
                    const QPointF meet = a + d1 * ((ab.x() * d2.y() - ab.y() * d2.x()) / cross);
                    // Edges nearly in line meet far away: keep the corner near.
                    if (std::abs(meet.x() - p[i].x()) <= 2 && std::abs(meet.y() - p[i].y()) <= 2)
                        v = meet;
                }
            }
            moved << v;
        }
    }
    QPainterPath path;
    path.addPolygon(moved);
    path.closeSubpath();
    path.setFillRule(Rule);
    return path;
}

bool OutlinesOf(const QRegion& R, const TClipOutlines& Own, TClipOutlines& Out) {
    if (!Own.empty()) {
        Out = Own;
        return true;
    }
    if (R.rectCount() > 1) return false;
    QPainterPath rect;
    rect.addRect(QRectF(R.boundingRect()));
    Out = {rect};
    return true;
}

TClipOutlines IntersectOutlines(const QRegion& A, const TClipOutlines& OA, const QRegion& B,
                                const TClipOutlines& OB) {
    // Two plain rectangles need no outlines: their intersection is one.
    if (OA.empty() && OB.empty()) return {};
    TClipOutlines a, b;
    if (!OutlinesOf(A, OA, a) || !OutlinesOf(B, OB, b)) return {};
    a.insert(a.end(), b.begin(), b.end());
    if (a.size() > MaxOutlines) return {};
    return a;
}

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom) {
    return MakeRegion(RectRegion(Left, Top, Right, Bottom));
}

HRGN CreateRectRgnIndirect(const TRect& R) {
    return CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
}

HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom) {
    return MakeRegion(
        RoundRegion(Left, Top, Right, Bottom, std::abs(Right - Left), std::abs(Bottom - Top)));
}

HRGN CreateEllipticRgnIndirect(const TRect& R) {
    return CreateEllipticRgn(R.Left, R.Top, R.Right, R.Bottom);
}

HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int WidthEllipse,
                        int HeightEllipse) {
    return MakeRegion(
        RoundRegion(Left, Top, Right, Bottom, std::abs(WidthEllipse), std::abs(HeightEllipse)));
}

HRGN CreatePolygonRgn(const TPoint* Points, int Count, int FillMode) {
    if (!Points || Count < 2) return nullptr;
    QPolygonF poly;
    for (int i = 0; i < Count; ++i)
        poly << QPointF(Points[i].x, Points[i].y);
    const Qt::FillRule rule = FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    return MakeRegion(RegionFromPolygons({poly}, rule), {PolygonOutline(poly, rule)});
}

int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode) {
    TGdiRegion* d = FindRegion(Dest);
    TGdiRegion* a = FindRegion(Src1);
    TGdiRegion* b = FindRegion(Src2);
    if (!d || !a || (Mode != RGN_COPY && !b)) return RGN_ERROR;
    TClipOutlines outlines;
    switch (Mode) {
    case RGN_AND:
        outlines = IntersectOutlines(a->Region, a->Outlines, b->Region, b->Outlines);
        d->Region = a->Region.intersected(b->Region);
        break;
    case RGN_OR:
        d->Region = a->Region.united(b->Region);
        break;
    case RGN_XOR:
        d->Region = a->Region.xored(b->Region);
        break;
    case RGN_DIFF:
        d->Region = a->Region.subtracted(b->Region);
        break;
    case RGN_COPY:
        outlines = a->Outlines;
        d->Region = a->Region;
        break;
    default:
        return RGN_ERROR;
    }
    d->Outlines = std::move(outlines);
    return RegionType(d->Region);
}

int OffsetRgn(HRGN Rgn, int X, int Y) {
    TGdiRegion* r = FindRegion(Rgn);
    if (!r) return RGN_ERROR;
    r->Region.translate(X, Y);
    for (QPainterPath& o : r->Outlines)
        o.translate(X, Y);
    return RegionType(r->Region);
}

bool PtInRegion(HRGN Rgn, int X, int Y) {
    TGdiRegion* r = FindRegion(Rgn);
    return r && r->Region.contains(QPoint(X, Y));
}

bool RectInRegion(HRGN Rgn, const TRect& R) {
    TGdiRegion* r = FindRegion(Rgn);
    return r && r->Region.intersects(RectRegion(R.Left, R.Top, R.Right, R.Bottom));
}

int GetRgnBox(HRGN Rgn, TRect* R) {
    TGdiRegion* r = FindRegion(Rgn);
    if (!r || !R) return RGN_ERROR;
    const QRect b = r->Region.boundingRect();
    *R = b.isEmpty() ? TRect() : TRect(b.left(), b.top(), b.right() + 1, b.bottom() + 1);
    return RegionType(r->Region);
}

bool EqualRgn(HRGN a, HRGN b) {
    TGdiRegion* ra = FindRegion(a);
    TGdiRegion* rb = FindRegion(b);
    return ra && rb && ra->Region == rb->Region;
}

bool SetRectRgn(HRGN Rgn, int Left, int Top, int Right, int Bottom) {
    TGdiRegion* r = FindRegion(Rgn);
    if (!r) return false;
    r->Region = RectRegion(Left, Top, Right, Bottom);
    r->Outlines.clear();
    return true;
}
