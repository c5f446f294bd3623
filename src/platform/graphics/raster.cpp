// The pixel engine of raster canvases: raster operations, rounded shapes,
// polygon scan conversion into spans, and the raster itself (clipped spans,
// pixels, exact one-pixel lines with or without a dash pattern, columns).
#include "platform/graphics/raster.h"
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

uint32_t ApplyRop3(uint8_t Rop, uint32_t P, uint32_t S, uint32_t D) {
    switch (Rop) {
    case 0xCC:
        return S | 0xFF000000u;
    case 0xF0:
        return P | 0xFF000000u;
    case 0x66:
        return (S ^ D) | 0xFF000000u;
    case 0x88:
        return (S & D) | 0xFF000000u;
    case 0xEE:
        return (S | D) | 0xFF000000u;
    case 0x5A:
        return (P ^ D) | 0xFF000000u;
    case 0x55:
        return ~D | 0xFF000000u;
    case 0x00:
        return 0xFF000000u;
    case 0xFF:
        return 0xFFFFFFFFu;
    default:
        break;
    }
    // Each set bit of the code is one minterm of (P, S, D).
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(Rop & (1 << i))) continue;
        const uint32_t p = (i & 4) ? P : ~P;
        const uint32_t s = (i & 2) ? S : ~S;
        const uint32_t d = (i & 1) ? D : ~D;
        r |= p & s & d;
    }
    return r | 0xFF000000u;
}

// --- rounded shapes ---------------------------------------------------------

namespace {

struct TRun {
    int lo = INT_MAX, hi = INT_MIN;
    void Add(int x) {
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    bool Empty() const { return lo > hi; }
};

// Pixels of the ellipse inscribed in the inclusive box (0, 0, w-1, h-1),
// split per row into the part left of the centre column (with it) and right.
void EllipseRuns(int w, int h, std::vector<TRun>& L, std::vector<TRun>& R) {
    L.assign(size_t(h), TRun());
    R.assign(size_t(h), TRun());
    const int cx = (w - 1) / 2;
    auto put = [&](long x, long y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        (x <= cx ? L : R)[size_t(y)].Add(int(x));
    };
    long x0 = 0, y0 = 0, x1 = w - 1, y1 = h - 1;
    long a = x1 - x0, b = y1 - y0, b1 = b & 1;
    double dx = 4.0 * (1.0 - a) * b * b, dy = 4.0 * (b1 + 1) * a * a;
    double err = dx + dy + double(b1) * a * a, e2;
    y0 += (b + 1) / 2;
    y1 = y0 - b1;
    const double aa = 8.0 * a * a, bb = 8.0 * b * b;
    do {
        put(x1, y0);
        put(x0, y0);
        put(x0, y1);
        put(x1, y1);
        e2 = 2 * err;
        if (e2 <= dy) {
            y0++;
            y1--;
            err += dy += aa;
        }
        if (e2 >= dx || 2 * err > dy) {
            x0++;
            x1--;
            err += dx += bb;
        }
    } while (x0 <= x1);
    while (y0 - y1 <= b) {
        put(x0 - 1, y0);
        put(x1 + 1, y0++);
        put(x0 - 1, y1);
        put(x1 + 1, y1--);
    }
}

} // namespace

std::vector<TRoundRow> RoundShapeRows(int X0, int Y0, int X1, int Y1, int W, int H) {
    std::vector<TRoundRow> rows;
    if (X1 < X0) std::swap(X0, X1);
    if (Y1 < Y0) std::swap(Y0, Y1);
    const int bw = X1 - X0 + 1, bh = Y1 - Y0 + 1;
    const int w = std::clamp(W, 1, bw), h = std::clamp(H, 1, bh);
    std::vector<TRun> L, R;
    EllipseRuns(w, h, L, R);
    const int cx = (w - 1) / 2, cy = (h - 1) / 2;
    const int sx = bw - w, sy = bh - h;
    rows.reserve(size_t(bh));
    for (int ry = 0; ry < bh; ++ry) {
        TRoundRow row;
        row.y = Y0 + ry;
        int ey;
        bool gap = false;
        if (ry <= cy)
            ey = ry;
        else if (ry >= cy + 1 + sy)
            ey = ry - sy;
        else {
            ey = cy;
            gap = true;
        }
        TRun l = L[size_t(ey)], r = R[size_t(ey)];
        if (gap) {
            // Straight sides between the upper and lower corners.
            l = TRun{0, 0};
            r = w > 1 ? TRun{w - 1, w - 1} : TRun();
        }
        if (l.Empty() && r.Empty()) {
            row.l0 = row.l1 = row.r0 = row.r1 = 0;
            row.r0 = 1;
            row.in0 = 1;
            row.in1 = 0;
            rows.push_back(row);
            continue;
        }
        const bool joined = !gap && !l.Empty() && l.hi == cx;
        if (joined || r.Empty() || l.Empty()) {
            const int lo = l.Empty() ? r.lo + sx : l.lo;
            const int hi = r.Empty() ? (l.hi == cx ? l.hi + sx : l.hi) : r.hi + sx;
            row.l0 = X0 + lo;
            row.l1 = X0 + hi;
            row.r0 = 1;
            row.r1 = 0;
            row.in0 = 1;
            row.in1 = 0;
        } else {
            row.l0 = X0 + l.lo;
            row.l1 = X0 + l.hi;
            row.r0 = X0 + r.lo + sx;
            row.r1 = X0 + r.hi + sx;
            row.in0 = row.l1 + 1;
            row.in1 = row.r0 - 1;
        }
        rows.push_back(row);
    }
    return rows;
}

// --- polygons ----------------------------------------------------------------

namespace {

struct TEdge {
    double xa, ya, xb, yb;
    int dir;
    int yStart, yEnd; // scanlines [yStart, yEnd)
};

} // namespace

void ScanPolygons(const QList<QPolygonF>& Polygons, bool Winding, int ClipTop, int ClipBottom,
                  const TSpanSink& Sink) {
    std::vector<TEdge> edges;
    for (const QPolygonF& poly : Polygons) {
        const qsizetype n = poly.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QPointF a = poly[i], b = poly[(i + 1) % n];
            if (a.y() == b.y() || !std::isfinite(a.y()) || !std::isfinite(b.y())) continue;
            TEdge e;
            if (a.y() < b.y()) {
                e = {a.x(), a.y(), b.x(), b.y(), 1, 0, 0};
            } else {
                e = {b.x(), b.y(), a.x(), a.y(), -1, 0, 0};
            }
            const double ys = std::max(std::ceil(e.ya), double(ClipTop));
            const double ye = std::min(std::ceil(e.yb), double(ClipBottom));
            if (ys >= ye) continue;
            e.yStart = int(ys);
            e.yEnd = int(ye);
            edges.push_back(e);
        }
    }
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(),
              [](const TEdge& a, const TEdge& b) { return a.yStart < b.yStart; });
    std::vector<const TEdge*> active;
    std::vector<std::pair<double, int>> xs;
    size_t next = 0;
    int y = edges.front().yStart;
    while (next < edges.size() || !active.empty()) {
        if (active.empty() && next < edges.size()) y = std::max(y, edges[next].yStart);
        while (next < edges.size() && edges[next].yStart <= y)
            active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [y](const TEdge* e) { return e->yEnd <= y; }),
                     active.end());
        if (active.empty()) continue;
        xs.clear();
        for (const TEdge* e : active) {
            // Exact for integer vertices: one rounding of a ratio of integers.
            const double x = (e->xa * (e->yb - y) + e->xb * (y - e->ya)) / (e->yb - e->ya);
            xs.emplace_back(x, e->dir);
        }
        std::sort(xs.begin(), xs.end());
        if (!Winding) {
            for (size_t i = 0; i + 1 < xs.size(); i += 2) {
                const int x0 = int(std::ceil(xs[i].first)), x1 = int(std::ceil(xs[i + 1].first));
                if (x1 > x0) Sink(y, x0, x1);
            }
        } else {
            int count = 0;
            for (size_t i = 0; i + 1 < xs.size(); ++i) {
                count += xs[i].second;
                if (count != 0) {
                    const int x0 = int(std::ceil(xs[i].first));
                    const int x1 = int(std::ceil(xs[i + 1].first));
                    if (x1 > x0) Sink(y, x0, x1);
                }
            }
        }
        ++y;
    }
}

QRegion SpansToRegion(const std::vector<TSpan>& Spans) {
    std::vector<TSpan> s(Spans);
    std::sort(s.begin(), s.end(),
              [](const TSpan& a, const TSpan& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
    // Merge overlapping runs of a row, then hand Qt banded rows.
    std::vector<QRect> rects;
    for (size_t i = 0; i < s.size();) {
        const int y = s[i].y;
        int x0 = s[i].x0, x1 = s[i].x1;
        ++i;
        for (; i < s.size() && s[i].y == y; ++i) {
            if (s[i].x0 <= x1)
                x1 = std::max(x1, s[i].x1);
            else {
                rects.emplace_back(x0, y, x1 - x0, 1);
                x0 = s[i].x0;
                x1 = s[i].x1;
            }
        }
        rects.emplace_back(x0, y, x1 - x0, 1);
    }
    QRegion r;
    if (!rects.empty()) r.setRects(rects.data(), int(rects.size()));
    return r;
}

// --- the raster ---------------------------------------------------------------

TRaster::TRaster(QImage& Image, const QRegion* Clip)
    : FImage(Image), FBits(Image.bits()), FStride(Image.bytesPerLine()) {
    const QRect all = Image.rect();
    if (!Clip) {
        if (!all.isEmpty()) FRects.push_back(all);
    } else {
        for (const QRect& r : *Clip) {
            const QRect c = r & all;
            if (!c.isEmpty()) FRects.push_back(c);
        }
    }
    for (const QRect& r : FRects)
        FBounds |= r;
}

namespace {

// A run of one colour in wide stores; the plain loop stores one pixel at a time.
void FillPixels(uint32_t* P, qsizetype N, uint32_t Color) {
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i c = _mm_set1_epi32(int(Color));
    for (; i + 16 <= N; i += 16) {
        auto* q = reinterpret_cast<__m128i*>(P + i);
        _mm_storeu_si128(q, c);
        _mm_storeu_si128(q + 1, c);
        _mm_storeu_si128(q + 2, c);
        _mm_storeu_si128(q + 3, c);
    }
    for (; i + 4 <= N; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(P + i), c);
#else
    constexpr qsizetype Block = 16;
    if (N >= Block) {
        uint32_t block[Block];
        std::fill(block, block + Block, Color);
        for (; i + Block <= N; i += Block)
            std::memcpy(P + i, block, sizeof block);
    }
#endif
    for (; i < N; ++i)
        P[i] = Color;
}

} // namespace

template <typename Fn> void TRaster::ForEachClipRun(int y, int x0, int x1, Fn&& fn) const {
    if (y < FBounds.top() || y > FBounds.bottom()) return;
    // Rectangles are banded: bottoms never decrease.
    auto it = std::lower_bound(FRects.begin(), FRects.end(), y,
                               [](const QRect& r, int v) { return r.bottom() < v; });
    for (; it != FRects.end() && it->top() <= y; ++it) {
        if (y > it->bottom()) continue;
        const int a = std::max(x0, it->left()), b = std::min(x1, it->right() + 1);
        if (a < b) fn(a, b);
    }
}

void TRaster::Span(int y, int x0, int x1, const TRasterPaint& P) {
    uint32_t* row = reinterpret_cast<uint32_t*>(FBits + FStride * y);
    ForEachClipRun(y, x0, x1, [&](int a, int b) {
        uint32_t* p = row + a;
        switch (P.Type) {
        case TRasterPaint::Solid:
            if (P.Rop2 == R2_COPYPEN)
                FillPixels(p, b - a, P.Fore);
            else
                for (int x = a; x < b; ++x, ++p)
                    *p = ApplyRop2(P.Rop2, P.Fore, *p);
            break;
        case TRasterPaint::Hatch:
            for (int x = a; x < b; ++x, ++p) {
                if (HatchOn(P.HatchStyle, x, y))
                    *p = ApplyRop2(P.Rop2, P.Fore, *p);
                else if (P.Opaque)
                    *p = ApplyRop2(P.Rop2, P.Back, *p);
            }
            break;
        case TRasterPaint::Pattern: {
            const QImage& pat = *P.PatternImage;
            const int pw = pat.width(), ph = pat.height();
            const uint32_t* prow =
                reinterpret_cast<const uint32_t*>(pat.constScanLine(((y % ph) + ph) % ph));
            for (int x = a; x < b; ++x, ++p)
                *p = ApplyRop2(P.Rop2, prow[((x % pw) + pw) % pw] | 0xFF000000u, *p);
            break;
        }
        }
    });
}

void TRaster::Pixel(int x, int y, uint32_t Color, int Rop) {
    ForEachClipRun(y, x, x + 1, [&](int, int) {
        uint32_t* p = reinterpret_cast<uint32_t*>(FBits + FStride * y) + x;
        *p = ApplyRop2(Rop, Color, *p);
    });
}

uint32_t TRaster::PixelAt(int x, int y) const {
    return reinterpret_cast<const uint32_t*>(FBits + FStride * y)[x];
}

namespace {

inline int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

} // namespace

namespace {

// Walks Count pixels of a line from P, calling Plot on each; the error term R
// steps by Step and carries into the minor axis at B.
template <typename Fn>
void WalkLine(uint32_t* P, int64_t Count, qsizetype MajorStep, qsizetype MinorStep, int64_t R,
              int64_t Step, int64_t B, Fn&& Plot) {
    if (B == 0) {
        Plot(P);
        return;
    }
    if (Step == 0) { // along a row or column: no error term to carry
        for (int64_t i = 0; i < Count; ++i, P += MajorStep)
            Plot(P);
        return;
    }
    for (int64_t i = 0; i < Count; ++i) {
        Plot(P);
        P += MajorStep;
        R += Step;
        if (R >= B) {
            R -= B;
            P += MinorStep;
        } else if (R < 0) {
            R += B;
            P += MinorStep;
        }
    }
}

} // namespace

void TRaster::Line(int x0, int y0, int x1, int y1, bool IncludeLast, uint32_t Color, int Rop,
                   const bool* Style, int StyleLen, int* Phase, uint32_t Back, bool Opaque) {
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    // Major axis m, minor axis n: n_i = n0 + floor((2 i dn + A) / B), B = 2 A.
    const int64_t am = xMajor ? adx : ady;
    const int64_t dn = xMajor ? dy : dx;
    const int sm = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t m0 = xMajor ? x0 : y0, n0 = xMajor ? y0 : x0;
    const int64_t count = am + (IncludeLast ? 1 : 0);
    const int startPhase = Phase ? *Phase : 0;
    if (Phase) *Phase = StyleLen > 0 ? int((startPhase + am) % StyleLen) : 0;
    if (count <= 0) return;
    const int64_t A = am, B = 2 * am;
    auto minorAt = [&](int64_t i) -> int64_t {
        return B == 0 ? n0 : n0 + FloorDiv(2 * i * dn + A, B);
    };

    // Only the clip bands across the line's rows can hold its pixels (bands are sorted).
    const int64_t ylo = std::min(y0, y1), yhi = std::max(y0, y1);
    auto band = std::lower_bound(FRects.begin(), FRects.end(), ylo,
                                 [](const QRect& r, int64_t v) { return r.bottom() < v; });
    for (; band != FRects.end() && band->top() <= yhi; ++band) {
        const QRect& c = *band;
        const int64_t mlo = xMajor ? c.left() : c.top(), mhi = xMajor ? c.right() : c.bottom();
        const int64_t nlo = xMajor ? c.top() : c.left(), nhi = xMajor ? c.bottom() : c.right();
        // i range from the major axis.
        int64_t i0, i1; // inclusive
        if (sm > 0) {
            i0 = mlo - m0;
            i1 = mhi - m0;
        } else {
            i0 = m0 - mhi;
            i1 = m0 - mlo;
        }
        i0 = std::max<int64_t>(i0, 0);
        i1 = std::min<int64_t>(i1, count - 1);
        if (i0 > i1) continue;
        // Narrow by the minor axis (monotone in i).
        const bool up = dn >= 0;
        auto inLow = [&](int64_t i) { return up ? minorAt(i) >= nlo : minorAt(i) <= nhi; };
        auto inHigh = [&](int64_t i) { return up ? minorAt(i) <= nhi : minorAt(i) >= nlo; };
        if (!inLow(i0)) {
            int64_t lo = i0, hi = i1 + 1; // first i with inLow
            while (lo < hi) {
                const int64_t mid = lo + (hi - lo) / 2;
                if (inLow(mid))
                    hi = mid;
                else
                    lo = mid + 1;
            }
            i0 = lo;
        }
        if (i0 > i1) continue;
        if (!inHigh(i1)) {
            int64_t lo = i0 - 1, hi = i1; // last i with inHigh
            while (lo < hi) {
                const int64_t mid = lo + (hi - lo + 1) / 2;
                if (inHigh(mid))
                    lo = mid;
                else
                    hi = mid - 1;
            }
            i1 = lo;
        }
        if (i0 > i1 || !inHigh(i0)) continue;

        const int64_t n = minorAt(i0);
        const int64_t r = B == 0 ? 0 : (2 * i0 * dn + A) - (n - n0) * B;
        const int64_t m = m0 + sm * i0;
        const qsizetype stride = FStride / 4;
        uint32_t* p =
            reinterpret_cast<uint32_t*>(FBits) + (xMajor ? n * stride + m : m * stride + n);
        const qsizetype majorStep = xMajor ? sm : sm * stride;
        const qsizetype minorStep = (dn < 0 ? -1 : 1) * (xMajor ? stride : 1);
        const int64_t pixels = i1 - i0 + 1;
        // One loop for each kind of pen, so no pixel asks again which kind it is.
        if (Style && Rop == R2_COPYPEN && !Opaque && dn == 0) {
            // Straight grid lines: each dash position of the pattern is stepped to directly.
            const int first = int((startPhase + i0) % StyleLen);
            for (int k = 0; k < StyleLen && k < pixels; ++k)
                if (Style[(first + k) % StyleLen])
                    for (int64_t j = k; j < pixels; j += StyleLen)
                        p[j * majorStep] = Color;
        } else if (Style && Rop == R2_COPYPEN && !Opaque) {
            // Grid lines: only the pen's dashes are touched, and never read.
            int phase = int((startPhase + i0) % StyleLen);
            WalkLine(p, pixels, majorStep, minorStep, r, 2 * dn, B, [&](uint32_t* q) {
                if (Style[phase]) *q = Color;
                if (++phase == StyleLen) phase = 0;
            });
        } else if (Style) {
            int phase = int((startPhase + i0) % StyleLen);
            WalkLine(p, pixels, majorStep, minorStep, r, 2 * dn, B, [&](uint32_t* q) {
                if (Style[phase])
                    *q = ApplyRop2(Rop, Color, *q);
                else if (Opaque)
                    *q = ApplyRop2(Rop, Back, *q);
                if (++phase == StyleLen) phase = 0;
            });
        } else if (Rop == R2_COPYPEN) {
            WalkLine(p, pixels, majorStep, minorStep, r, 2 * dn, B,
                     [Color](uint32_t* q) { *q = Color; });
        } else if (Rop == R2_XORPEN) {
            const uint32_t bits = Color & 0xFFFFFFu;
            WalkLine(p, pixels, majorStep, minorStep, r, 2 * dn, B,
                     [bits](uint32_t* q) { *q = (*q ^ bits) | 0xFF000000u; });
        } else {
            WalkLine(p, pixels, majorStep, minorStep, r, 2 * dn, B,
                     [Rop, Color](uint32_t* q) { *q = ApplyRop2(Rop, Color, *q); });
        }
    }
}

void TRaster::Column(int x, int y0, int y1, uint32_t Color) {
    if (x < FBounds.left() || x > FBounds.right()) return;
    const qsizetype stride = FStride / 4;
    for (const QRect& c : FRects) {
        if (x < c.left() || x > c.right()) continue;
        const int a = std::max(y0, c.top()), b = std::min(y1, c.bottom());
        uint32_t* p = reinterpret_cast<uint32_t*>(FBits) + a * stride + x;
        // Four rows a step: wicks and dense lines are columns of tens of rows.
        int rows = b - a + 1;
        for (; rows >= 4; rows -= 4, p += 4 * stride) {
            p[0] = Color;
            p[stride] = Color;
            p[2 * stride] = Color;
            p[3 * stride] = Color;
        }
        for (; rows > 0; --rows, p += stride)
            *p = Color;
    }
}

namespace {

// Candle bodies and markers are a few pixels wide: stored one at a time.
inline void FillFew(uint32_t* P, int N, uint32_t Color) {
    if (N > 8) {
        FillPixels(P, N, Color);
        return;
    }
    for (int i = 0; i < N; ++i)
        P[i] = Color;
}

// A framed box W pixels wide and Rows (two or more) high from Top on: its
// first and last rows in Line, the others Line, Fill ..., Line.
template <int W>
void NarrowFramedBox(uint32_t* Top, qsizetype Stride, int Rows, uint32_t Line, uint32_t Fill) {
    uint32_t edge[W], inside[W];
    for (int i = 0; i < W; ++i) {
        edge[i] = Line;
        inside[i] = Fill;
    }
    inside[0] = inside[W - 1] = Line;
    std::memcpy(Top, edge, sizeof edge);
    uint32_t* p = Top + Stride;
    for (int r = 2; r < Rows; ++r, p += Stride)
        std::memcpy(p, inside, sizeof inside);
    std::memcpy(p, edge, sizeof edge);
}

} // namespace

void TRaster::Block(int x0, int y0, int x1, int y1, uint32_t Color) {
    if (x0 >= x1 || y0 >= y1) return;
    // Banded clip: the first band that reaches y0, up to the first below y1.
    auto it = std::lower_bound(FRects.begin(), FRects.end(), y0,
                               [](const QRect& r, int v) { return r.bottom() < v; });
    for (; it != FRects.end() && it->top() < y1; ++it) {
        const int a = std::max(x0, it->left()), b = std::min(x1, it->right() + 1);
        const int ya = std::max(y0, it->top()), yb = std::min(y1, it->bottom() + 1);
        if (a >= b || ya >= yb) continue;
        uchar* row = FBits + FStride * ya;
        for (int y = ya; y < yb; ++y, row += FStride)
            FillFew(reinterpret_cast<uint32_t*>(row) + a, b - a, Color);
    }
}

bool TRaster::NarrowFramedBlock(int x0, int y0, int x1, int y1, uint32_t Line, uint32_t Fill) {
    const int64_t width = int64_t(x1) - x0, rows = int64_t(y1) - y0;
    if (FRects.size() != 1 || width < 3 || width > 10 || rows < 2 || x0 < FBounds.left() ||
        x1 > FBounds.right() + 1 || y0 < FBounds.top() || y1 > FBounds.bottom() + 1)
        return false;
    const qsizetype stride = FStride / 4;
    uint32_t* top = reinterpret_cast<uint32_t*>(FBits) + y0 * stride + x0;
    const int h = int(rows);
    switch (width) {
    case 3:
        NarrowFramedBox<3>(top, stride, h, Line, Fill);
        break;
    case 4:
        NarrowFramedBox<4>(top, stride, h, Line, Fill);
        break;
    case 5:
        NarrowFramedBox<5>(top, stride, h, Line, Fill);
        break;
    case 6:
        NarrowFramedBox<6>(top, stride, h, Line, Fill);
        break;
    case 7:
        NarrowFramedBox<7>(top, stride, h, Line, Fill);
        break;
    case 8:
        NarrowFramedBox<8>(top, stride, h, Line, Fill);
        break;
    case 9:
        NarrowFramedBox<9>(top, stride, h, Line, Fill);
        break;
    default:
        NarrowFramedBox<10>(top, stride, h, Line, Fill);
        break;
    }
    return true;
}

void TRaster::FramedBlock(int x0, int y0, int x1, int y1, uint32_t Line, const uint32_t* Fill) {
    if (x0 >= x1 || y0 >= y1) return;
    if (Fill && NarrowFramedBlock(x0, y0, x1, y1, Line, *Fill)) return;
    const QRect* it = FRects.data();
    const QRect* const end = it + FRects.size();
    if (FRects.size() > 1)
        it = std::lower_bound(it, end, y0, [](const QRect& r, int v) { return r.bottom() < v; });
    const qsizetype stride = FStride / 4;
    for (; it != end && it->top() < y1; ++it) {
        const int a = std::max(x0, it->left()), b = std::min(x1, it->right() + 1);
        const int ya = std::max(y0, it->top()), yb = std::min(y1, it->bottom() + 1);
        if (a >= b || ya >= yb) continue;
        uint32_t* const top = reinterpret_cast<uint32_t*>(FBits) + ya * stride;
        if (ya == y0) FillFew(top + a, b - a, Line);
        if (yb == y1 && y1 - 1 > y0) FillFew(top + (y1 - 1 - ya) * stride + a, b - a, Line);
        // Between the top and bottom rows: the two sides this clip box holds
        // and the inside columns.
        const int ma = std::max(ya, y0 + 1), mb = std::min(yb, y1 - 1);
        const int ia = std::max(a, x0 + 1), ib = std::min(b, x1 - 1);
        uint32_t* p = top + (ma - ya) * stride;
        uint32_t* const last = top + (mb - ya) * stride;
        const bool left = a == x0, right = b == x1;
        const int64_t width = int64_t(x1) - x0;
        if (left && right && Fill && width >= 3 && width <= 10) {
            // A narrow box held whole, as candle bodies are: each row is one
            // copy of the same few pixels.
            uint32_t pattern[10];
            std::fill(pattern, pattern + width, *Fill);
            pattern[0] = pattern[width - 1] = Line;
            const auto copy = [&](auto Pixels) {
                for (; p < last; p += stride)
                    std::memcpy(p + x0, pattern, sizeof(uint32_t) * Pixels);
            };
            switch (width) {
            case 3:
                copy(std::integral_constant<int, 3>());
                break;
            case 4:
                copy(std::integral_constant<int, 4>());
                break;
            case 5:
                copy(std::integral_constant<int, 5>());
                break;
            case 6:
                copy(std::integral_constant<int, 6>());
                break;
            case 7:
                copy(std::integral_constant<int, 7>());
                break;
            case 8:
                copy(std::integral_constant<int, 8>());
                break;
            case 9:
                copy(std::integral_constant<int, 9>());
                break;
            default:
                copy(std::integral_constant<int, 10>());
                break;
            }
            continue;
        }
        for (; p < last; p += stride) {
            if (left) p[x0] = Line;
            if (right) p[x1 - 1] = Line;
            if (Fill) FillFew(p + ia, ib - ia, *Fill);
        }
    }
}

void TRaster::FillPolygons(const QList<QPolygonF>& Polygons, bool Winding,
                           const TRasterPaint& Paint) {
    if (FRects.empty()) return;
    ScanPolygons(Polygons, Winding, FBounds.top(), FBounds.bottom() + 1,
                 [&](int y, int x0, int x1) { Span(y, x0, x1, Paint); });
}
