// Regions: rectangles, ellipses, rounded rectangles and polygons as pixel
// sets in device coordinates (right and bottom edges outside), and the
// region arithmetic.
#include "platform/graphics/canvasprivate.h"

namespace {

HRGN MakeRegion(const QRegion& r) {
    auto obj = std::make_unique<TGdiRegion>();
    obj->Region = r;
    return AddGdiObject(std::move(obj));
}

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
    return MakeRegion(
        RegionFromPolygons({poly}, FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode) {
    TGdiRegion* d = FindRegion(Dest);
    TGdiRegion* a = FindRegion(Src1);
    TGdiRegion* b = FindRegion(Src2);
    if (!d || !a || (Mode != RGN_COPY && !b)) return RGN_ERROR;
    switch (Mode) {
    case RGN_AND:
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
        d->Region = a->Region;
        break;
    default:
        return RGN_ERROR;
    }
    return RegionType(d->Region);
}

int OffsetRgn(HRGN Rgn, int X, int Y) {
    TGdiRegion* r = FindRegion(Rgn);
    if (!r) return RGN_ERROR;
    r->Region.translate(X, Y);
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
    return true;
}
