#pragma once
// Platform-internal: the pixel engine of raster canvases. Spans, pixels and
// one-pixel lines go straight into a 32-bit QImage through the clip rectangles
// and the binary raster operation; shapes are rasterised with GDI's rules
// (pixel centres on integer coordinates, left and top edges inside, right and
// bottom edges outside).
#include "platform/graphics/gditypes.h"
#include <QImage>
#include <QPolygonF>
#include <QRegion>
#include <functional>
#include <vector>

inline uint32_t ToPixel(COLORREF c) {
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF FromPixel(uint32_t p) {
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

// The value a binary raster operation (R2_*) gives for pen P over destination D.
inline uint32_t ApplyRop2(int Rop, uint32_t P, uint32_t D) {
    uint32_t r;
    switch (Rop) {
    case R2_BLACK:
        r = 0;
        break;
    case R2_NOTMERGEPEN:
        r = ~(P | D);
        break;
    case R2_MASKNOTPEN:
        r = ~P & D;
        break;
    case R2_NOTCOPYPEN:
        r = ~P;
        break;
    case R2_MASKPENNOT:
        r = P & ~D;
        break;
    case R2_NOT:
        r = ~D;
        break;
    case R2_XORPEN:
        r = P ^ D;
        break;
    case R2_NOTMASKPEN:
        r = ~(P & D);
        break;
    case R2_MASKPEN:
        r = P & D;
        break;
    case R2_NOTXORPEN:
        r = ~(P ^ D);
        break;
    case R2_NOP:
        r = D;
        break;
    case R2_MERGENOTPEN:
        r = ~P | D;
        break;
    case R2_MERGEPENNOT:
        r = P | ~D;
        break;
    case R2_MERGEPEN:
        r = P | D;
        break;
    case R2_WHITE:
        r = 0xFFFFFFFF;
        break;
    default:
        r = P;
        break;
    }
    return r | 0xFF000000u;
}

// The value of a ternary raster operation (the ROP code's high word byte) for
// pattern P, source S and destination D.
uint32_t ApplyRop3(uint8_t Rop, uint32_t P, uint32_t S, uint32_t D);

// What a span is painted with: a colour, a hatch or a tiled pattern image.
struct TRasterPaint {
    enum Kind { Solid, Hatch, Pattern } Type = Solid;
    uint32_t Fore = 0xFF000000u;
    uint32_t Back = 0xFFFFFFFFu;
    bool Opaque = true; // hatch gaps painted with Back
    int HatchStyle = 0;
    const QImage* PatternImage = nullptr;
    int Rop2 = R2_COPYPEN;
};

inline bool HatchOn(int Style, int x, int y) {
    const int hx = x & 7, hy = y & 7;
    switch (Style) {
    case HS_HORIZONTAL:
        return hy == 0;
    case HS_VERTICAL:
        return hx == 0;
    case HS_FDIAGONAL:
        return hx == hy;
    case HS_BDIAGONAL:
        return hx == 7 - hy;
    case HS_CROSS:
        return hx == 0 || hy == 0;
    default:
        return hx == hy || hx == 7 - hy;
    }
}

// The brush colour at a device pixel (hatch gaps give the back colour).
inline uint32_t PaintColorAt(const TRasterPaint& P, int x, int y) {
    switch (P.Type) {
    case TRasterPaint::Hatch:
        return HatchOn(P.HatchStyle, x, y) ? P.Fore : P.Back;
    case TRasterPaint::Pattern: {
        const int pw = P.PatternImage->width(), ph = P.PatternImage->height();
        return reinterpret_cast<const uint32_t*>(
                   P.PatternImage->constScanLine(((y % ph) + ph) % ph))[((x % pw) + pw) % pw] |
               0xFF000000u;
    }
    default:
        return P.Fore;
    }
}

// A shape as rows: each row is a list of [x0, x1) runs (sorted, disjoint).
struct TSpan {
    int y, x0, x1;
};
using TSpanSink = std::function<void(int y, int x0, int x1)>;

// The outline and inside of an ellipse with rounded corners: a box (inclusive
// corners) with corner ellipses W x H. Ellipses are the case W, H = box size.
struct TRoundRow {
    int y;
    int l0, l1;   // left outline run (inclusive)
    int r0, r1;   // right outline run (inclusive); r0 > r1 when the row is one run
    int in0, in1; // inside between the runs (inclusive); in0 > in1 when none
};
std::vector<TRoundRow> RoundShapeRows(int X0, int Y0, int X1, int Y1, int W, int H);

// Scanline fill of polygons (alternate or winding), sampling pixel centres.
void ScanPolygons(const QList<QPolygonF>& Polygons, bool Winding, int ClipTop, int ClipBottom,
                  const TSpanSink& Sink);
QRegion SpansToRegion(const std::vector<TSpan>& Spans);

class TRaster {
public:
    // Clip: device region (nullptr for the whole image).
    TRaster(QImage& Image, const QRegion* Clip);

    bool Empty() const { return FRects.empty(); }
    // Whether the clip is one box (Bounds()); the pixel at (x, y) of the
    // image, rows Stride() pixels apart.
    bool Plain() const { return FRects.size() == 1; }
    uint32_t* At(int x, int y) const {
        return reinterpret_cast<uint32_t*>(FBits) + qsizetype(y) * Stride() + x;
    }
    qsizetype Stride() const { return FStride / 4; }
    const QRect& Bounds() const { return FBounds; }

    // [x0, x1) on row y.
    void Span(int y, int x0, int x1, const TRasterPaint& Paint);
    void Pixel(int x, int y, uint32_t Color, int Rop);
    uint32_t PixelAt(int x, int y) const; // no clip

    // One-pixel line; the last point only when IncludeLast. Style: on/off
    // pattern of Style[Phase % Len] (nullptr solid); gaps take Back when Opaque.
    void Line(int x0, int y0, int x1, int y1, bool IncludeLast, uint32_t Color, int Rop,
              const bool* Style = nullptr, int StyleLen = 0, int* Phase = nullptr,
              uint32_t Back = 0, bool Opaque = false);

    // Pixels y0..y1 of column x in Color (copy mode).
    void Column(int x, int y0, int y1, uint32_t Color);
    // The block [x0, x1) x [y0, y1) in Color (copy mode).
    void Block(int x0, int y0, int x1, int y1, uint32_t Color);
    // The same block framed: its outer pixels in Line, the inside in Fill
    // (left as it is without Fill).
    void FramedBlock(int x0, int y0, int x1, int y1, uint32_t Line, const uint32_t* Fill);
    // The same with Fill, when the clip is one box holding it whole and it is
    // 3 to 10 pixels wide and two rows or more high, as dense candle bodies
    // mostly are: written row by row without clipping each; false (nothing
    // drawn) for any other.
    bool NarrowFramedBlock(int x0, int y0, int x1, int y1, uint32_t Line, uint32_t Fill);

    void FillPolygons(const QList<QPolygonF>& Polygons, bool Winding, const TRasterPaint& Paint);

private:
    template <typename Fn> void ForEachClipRun(int y, int x0, int x1, Fn&& fn) const;
    QImage& FImage;
    uchar* FBits;
    qsizetype FStride;
    std::vector<QRect> FRects; // banded, inside the image
    QRect FBounds;
};
