// Text on the canvas: layout with the mapped font (integer advances, extra
// space per character, no kerning), alignment (TA_*), rotation by the font's
// escapement, opaque backgrounds, clipping rectangles, DrawText and metrics.
#include "platform/graphics/canvasprivate.h"
#include "platform/graphics/qtbridge.h"
#include <array>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <climits>
#include <cmath>
#include <cstring>
#include <list>
#include <unordered_map>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// What Qt's raster engine lays on the image for one glyph at a whole-pixel pen
// position: coverage 0..255 a pixel, placed relative to the pen on the baseline.
struct TGlyphMask {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<uint8_t> Coverage;
};

// The masks of one font, antialiased or not. Usable once a probe showed that
// blending the masks gives Qt's own pixels (else text goes through Qt).
struct TGlyphMasks {
    bool Checked = false, Usable = false;
    int TextsDrawn = 0;
    std::unordered_map<quint32, TGlyphMask> Glyphs;
};

struct TFontEntry {
    LOGFONT Key;
    QFont Font;
    QRawFont Raw;
    int Ascent, Descent, Leading, AveWidth, MaxWidth, Em;
    // Glyph and rounded advance of each character byte (one glyph a byte,
    // no kerning), so laying out a text asks the font nothing twice.
    bool Table = false;
    std::array<quint32, 256> Glyph{};
    mutable TGlyphMasks Masks[2]; // [antialiased]

    // An advance is asked of the font when its byte is first laid out: a
    // program's texts use few of the 256, and each costs a glyph load.
    int Advance(unsigned char Byte) const {
        int& advance = Advances[Byte];
        if (advance == Unknown) {
            QPointF a;
            Raw.advancesForGlyphIndexes(&Glyph[Byte], &a, 1);
            advance = int(std::lround(a.x()));
        }
        return advance;
    }

private:
    static constexpr int Unknown = INT_MIN;
    mutable std::array<int, 256> Advances = MakeUnknown();
    static std::array<int, 256> MakeUnknown() {
        std::array<int, 256> all;
        all.fill(Unknown);
        return all;
    }
};

bool SameLogFont(const LOGFONT& a, const LOGFONT& b) {
    return std::memcmp(&a, &b, sizeof(LOGFONT)) == 0;
}

// A few recent fonts: charts switch between a handful of them all the time.
const TFontEntry& DeviceFont(const LOGFONT& lf) {
    // Never destroyed: at exit it would outlive the font data its raw fonts use.
    static auto& cache = *new std::list<TFontEntry>;
    for (auto it = cache.begin(); it != cache.end(); ++it)
        if (SameLogFont(it->Key, lf)) {
            if (it != cache.begin()) cache.splice(cache.begin(), cache, it);
            return cache.front();
        }
    TFontEntry e;
    e.Key = lf;
    e.Font = LogFontToQFont(lf);
    e.Raw = QRawFont::fromFont(e.Font);
    const QFontMetrics fm(e.Font);
    // Cell heights round up, as the platform's text metrics do.
    e.Ascent = int(std::ceil(e.Raw.ascent() - 1e-6));
    e.Descent = int(std::ceil(e.Raw.descent() - 1e-6));
    e.Leading = std::max(0, fm.leading());
    e.AveWidth = fm.averageCharWidth();
    e.MaxWidth = fm.maxWidth();
    e.Em = e.Font.pixelSize();
    {
        char bytes[256];
        for (int i = 0; i < 256; ++i)
            bytes[i] = char(i);
        const QString all = AnsiToQString(AnsiString(bytes, 256));
        const QList<quint32> glyphs = e.Raw.glyphIndexesForString(all);
        e.Table = all.size() == 256 && glyphs.size() == 256;
        for (int i = 0; e.Table && i < 256; ++i)
            e.Glyph[size_t(i)] = glyphs[i];
    }
    cache.push_front(std::move(e));
    if (cache.size() > 32) cache.pop_back();
    return cache.front();
}

LOGFONT DeviceLogFont(const TCanvasPrivate& D) {
    LOGFONT lf = D.S.Font;
    if (lf.lfHeight == 0) lf.lfHeight = -MulDiv(8, D.DevicePpi, 72);
    const double sy = std::fabs(D.ScaleY());
    if (sy != 1.0) {
        const int h = std::max(1, int(std::lround(std::abs(lf.lfHeight) * sy)));
        lf.lfHeight = lf.lfHeight < 0 ? -h : h;
    }
    std::memset(lf.lfFaceName + std::strlen(lf.lfFaceName), 0,
                LF_FACESIZE - std::strlen(lf.lfFaceName));
    return lf;
}

} // namespace

TTextLayout LayoutText(const TCanvasPrivate& D, const char* Text, int Count, const int* Dx) {
    TTextLayout L;
    const TFontEntry& f = DeviceFont(DeviceLogFont(D));
    L.Font = f.Font;
    L.Ascent = f.Ascent;
    L.Descent = f.Descent;
    if (!Text || Count <= 0) return L;
    L.Text = AnsiToQString(AnsiString(Text, Count));
    const double sx = std::fabs(D.ScaleX());
    const int extra = int(std::lround(D.S.CharExtra * sx));
    if (f.Table && !Dx) {
        L.Glyphs.resize(size_t(Count));
        L.Positions.reserve(size_t(Count));
        int x = 0;
        for (int i = 0; i < Count; ++i) {
            const auto c = static_cast<unsigned char>(Text[i]);
            L.Glyphs[size_t(i)] = f.Glyph[c];
            L.Positions.emplace_back(x, 0);
            x += f.Advance(c) + extra;
        }
        L.Width = x;
        return L;
    }
    const QList<quint32> glyphs = f.Raw.glyphIndexesForString(L.Text);
    const QList<QPointF> advances = f.Raw.advancesForGlyphIndexes(glyphs);
    int x = 0;
    L.Glyphs.assign(glyphs.begin(), glyphs.end());
    L.Positions.reserve(size_t(glyphs.size()));
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        L.Positions.emplace_back(x, 0);
        if (Dx && i < Count)
            x += int(std::lround(Dx[i] * sx));
        else
            x += int(std::lround(advances[i].x())) + extra;
    }
    L.Width = x;
    return L;
}

TEXTMETRIC DeviceTextMetrics(const TCanvasPrivate& D) {
    const LOGFONT lf = DeviceLogFont(D);
    const TFontEntry& f = DeviceFont(lf);
    TEXTMETRIC tm;
    tm.tmAscent = f.Ascent;
    tm.tmDescent = f.Descent;
    tm.tmHeight = f.Ascent + f.Descent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - f.Em);
    tm.tmExternalLeading = f.Leading;
    tm.tmAveCharWidth = f.AveWidth;
    tm.tmMaxCharWidth = f.MaxWidth;
    tm.tmWeight = lf.lfWeight;
    tm.tmItalic = lf.lfItalic;
    tm.tmUnderlined = lf.lfUnderline;
    tm.tmStruckOut = lf.lfStrikeOut;
    tm.tmCharSet = lf.lfCharSet;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = D.DevicePpi;
    return tm;
}

namespace {

// Placement of a laid-out text in device space.
struct TTextPlacement {
    QTransform Frame; // local text frame -> device
    QPointF Origin;   // start of the baseline in the local frame
    QRectF Cell;      // background cell in the local frame
    double Angle;
};

TTextPlacement Place(const TCanvasPrivate& D, const TTextLayout& L, const QPointF& ref) {
    TTextPlacement p;
    const UINT a = D.S.TextAlign;
    int x0 = 0;
    if ((a & TA_CENTER) == TA_CENTER)
        x0 = -(L.Width / 2);
    else if (a & TA_RIGHT)
        x0 = -L.Width;
    int base;
    if ((a & TA_BASELINE) == TA_BASELINE)
        base = 0;
    else if (a & TA_BOTTOM)
        base = -L.Descent;
    else
        base = L.Ascent;
    p.Angle = D.S.Font.lfEscapement / 10.0;
    p.Frame.translate(ref.x(), ref.y());
    if (p.Angle != 0) p.Frame.rotate(-p.Angle);
    p.Origin = QPointF(x0, base);
    p.Cell = QRectF(x0, base - L.Ascent, L.Width, L.Ascent + L.Descent);
    return p;
}

QPainterPath GlyphOutlines(const TCanvasPrivate& D, const TTextLayout& L, const TTextPlacement& p) {
    const TFontEntry& f = DeviceFont(DeviceLogFont(D));
    QPainterPath path;
    for (size_t i = 0; i < L.Glyphs.size(); ++i) {
        QPainterPath g = f.Raw.pathForGlyph(L.Glyphs[i]);
        g.translate(p.Origin + L.Positions[i]);
        path.addPath(g);
    }
    return p.Frame.map(path);
}

// On a painter the device context's own clip applies, narrowed to Rect when given.
void FillBackground(TCanvasPrivate& D, const QRegion& clip, const QRect* Rect,
                    const QPolygonF& area, COLORREF c) {
    if (D.Image) {
        TRaster r(*D.Image, &clip);
        TRasterPaint paint;
        paint.Fore = ToPixel(c);
        r.FillPolygons({area}, false, paint);
    } else if (QPainter* p = D.PreparedPainter()) {
        p->save();
        if (Rect) p->setClipRect(*Rect, Qt::IntersectClip);
        QPainterPath path;
        path.addPolygon(area);
        p->fillPath(path, ColorRefToQColor(c));
        p->restore();
    }
}

// --- text on raster images ---------------------------------------------------
// Qt blends each glyph into the image by its coverage alone, one glyph after
// the other. Doing the same from kept masks spares a painter, its clip and the
// glyph run for every label of every frame.

// Qt's blend of an opaque colour at coverage 1..254 (premultiplied source
// over), per channel (v + v / 256 + 128) / 256 of v = channel x coverage. The
// two terms never carry into the next channel: each is at most its share of 255.
inline uint32_t ByteMul(uint32_t x, uint32_t a) {
    uint32_t t = (x & 0xFF00FF) * a;
    t = ((t + ((t >> 8) & 0xFF00FF) + 0x800080) >> 8) & 0xFF00FF;
    x = ((x >> 8) & 0xFF00FF) * a;
    x = (x + ((x >> 8) & 0xFF00FF) + 0x800080) & 0xFF00FF00;
    return x | t;
}

// Color over Count pixels by their coverage: 0 keeps a pixel, 255 replaces it.
[[gnu::always_inline]] inline void BlendRow(uint32_t* Dest, const uint8_t* Cover, int Count,
                                            uint32_t Color) {
    int i = 0;
#if defined(__SSE2__)
    // Four pixels at a time in 16-bit channels: the same sums, exactly.
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(0x80), full = _mm_set1_epi16(0xFF);
    const __m128i color = _mm_unpacklo_epi8(_mm_set1_epi32(int(Color)), zero);
    const auto mul = [half](__m128i x, __m128i a) {
        const __m128i v = _mm_mullo_epi16(x, a);
        return _mm_srli_epi16(_mm_add_epi16(v, _mm_add_epi16(_mm_srli_epi16(v, 8), half)), 8);
    };
    for (; i + 4 <= Count; i += 4) {
        uint32_t four;
        std::memcpy(&four, Cover + i, 4);
        if (four == 0) continue;
        auto* at = reinterpret_cast<__m128i*>(Dest + i);
        if (four == 0xFFFFFFFFu) {
            _mm_storeu_si128(at, _mm_set1_epi32(int(Color)));
            continue;
        }
        __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(four)), zero);
        c = _mm_unpacklo_epi16(c, c);
        const __m128i c01 = _mm_unpacklo_epi32(c, c), c23 = _mm_unpackhi_epi32(c, c);
        const __m128i d = _mm_loadu_si128(at);
        const __m128i d01 = _mm_unpacklo_epi8(d, zero), d23 = _mm_unpackhi_epi8(d, zero);
        const __m128i r01 = _mm_add_epi16(mul(color, c01), mul(d01, _mm_sub_epi16(full, c01)));
        const __m128i r23 = _mm_add_epi16(mul(color, c23), mul(d23, _mm_sub_epi16(full, c23)));
        _mm_storeu_si128(at, _mm_packus_epi16(r01, r23));
    }
#endif
    for (; i < Count; ++i) {
        const uint32_t c = Cover[i];
        if (c == 255)
            Dest[i] = Color;
        else if (c)
            Dest[i] = ByteMul(Color, c) + ByteMul(Dest[i], 255 - c);
    }
}

bool MaskedFormat(const QImage& Image) {
    return Image.format() == QImage::Format_RGB32 ||
           Image.format() == QImage::Format_ARGB32_Premultiplied;
}

// Glyphs at whole-pixel positions relative to Pen, as Qt paints them.
void PaintGlyphs(QImage& Image, const QRegion* Clip, const QRawFont& Raw,
                 const std::vector<quint32>& Glyphs, const std::vector<QPointF>& Positions,
                 QPoint Pen, bool Smooth, const QColor& Color) {
    QGlyphRun run;
    run.setRawFont(Raw);
    run.setGlyphIndexes(QList<quint32>(Glyphs.begin(), Glyphs.end()));
    run.setPositions(QList<QPointF>(Positions.begin(), Positions.end()));
    QPainter painter(&Image);
    if (Clip) painter.setClipRegion(*Clip);
    painter.setTransform(QTransform::fromTranslate(Pen.x(), Pen.y()));
    painter.setRenderHint(QPainter::TextAntialiasing, Smooth);
    painter.setPen(Color);
    painter.drawGlyphRun(QPointF(0, 0), run);
}

// The glyph's coverage, read back from white drawn on black. False when the
// ink is not grey (coloured subpixel text) or reaches the edge of the probe.
bool RenderMask(const QRawFont& Raw, quint32 Glyph, bool Smooth, TGlyphMask& Mask) {
    const int pad = 4 + int(std::ceil(Raw.pixelSize()));
    const QRect area = Raw.boundingRect(Glyph).toAlignedRect().adjusted(-pad, -pad, pad, pad);
    QImage probe(area.size(), QImage::Format_RGB32);
    probe.fill(0xFF000000u);
    PaintGlyphs(probe, nullptr, Raw, {Glyph}, {QPointF(0, 0)}, -area.topLeft(), Smooth,
                QColor(255, 255, 255));
    const int width = probe.width(), height = probe.height();
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(probe.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const uint32_t p = row[x] & 0xFFFFFF;
            if (!p) continue;
            if (p != (p & 0xFF) * 0x010101u) return false;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    Mask = TGlyphMask();
    if (right < 0) return true;
    if (left == 0 || top == 0 || right == width - 1 || bottom == height - 1) return false;
    Mask.Left = area.left() + left;
    Mask.Top = area.top() + top;
    // Whole groups of four pixels: the padding has no coverage and keeps pixels.
    const int ink = right - left + 1;
    Mask.Width = (ink + 3) & ~3;
    Mask.Height = bottom - top + 1;
    Mask.Coverage.assign(size_t(Mask.Width) * size_t(Mask.Height), 0);
    for (int y = 0; y < Mask.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(probe.constScanLine(top + y));
        for (int x = 0; x < ink; ++x)
            Mask.Coverage[size_t(y) * size_t(Mask.Width) + size_t(x)] = uint8_t(row[left + x]);
    }
    return true;
}

const TGlyphMask* FindMask(const TFontEntry& F, bool Smooth, quint32 Glyph) {
    TGlyphMasks& m = F.Masks[Smooth];
    auto it = m.Glyphs.find(Glyph);
    if (it == m.Glyphs.end()) {
        TGlyphMask mask;
        if (!RenderMask(F.Raw, Glyph, Smooth, mask)) return nullptr;
        it = m.Glyphs.emplace(Glyph, std::move(mask)).first;
    }
    return &it->second;
}

void BlendMask(uchar* Bits, qsizetype Stride, const QRegion& Clip, const TGlyphMask& M, int X,
               int Y, uint32_t Color) {
    const int gx = X + M.Left, gy = Y + M.Top;
    for (const QRect& r : Clip) {
        const int x0 = std::max(r.left(), gx), x1 = std::min(r.right() + 1, gx + M.Width);
        const int y0 = std::max(r.top(), gy), y1 = std::min(r.bottom() + 1, gy + M.Height);
        if (x0 >= x1) continue;
        for (int y = y0; y < y1; ++y)
            BlendRow(reinterpret_cast<uint32_t*>(Bits + y * Stride) + x0,
                     M.Coverage.data() + size_t(y - gy) * size_t(M.Width) + size_t(x0 - gx),
                     x1 - x0, Color);
    }
}

// False when a glyph has no usable mask: nothing is painted then.
bool BlendGlyphs(QImage& Image, const QRegion& Clip, const TFontEntry& F, bool Smooth,
                 const std::vector<quint32>& Glyphs, const std::vector<QPointF>& Positions,
                 QPoint Pen, uint32_t Color) {
    const TGlyphMask* masks[64];
    const size_t n = Glyphs.size();
    std::vector<const TGlyphMask*> many;
    const TGlyphMask** found = masks;
    if (n > 64) {
        many.resize(n);
        found = many.data();
    }
    for (size_t i = 0; i < n; ++i)
        if (!(found[i] = FindMask(F, Smooth, Glyphs[i]))) return false;
    uchar* bits = Image.bits();
    const qsizetype stride = Image.bytesPerLine();
    for (size_t i = 0; i < n; ++i)
        if (found[i]->Width > 0)
            BlendMask(bits, stride, Clip, *found[i], Pen.x() + int(Positions[i].x()),
                      Pen.y() + int(Positions[i].y()), Color);
    return true;
}

// Whether blending the masks gives Qt's own pixels for this font: a probe
// text in two colours over a background of many values, drawn both ways.
// Masks serve text of label sizes; larger text is rare (titles, figures) and
// goes through Qt: the check alone would cost a large font more than it saves.
constexpr int LargestMaskedFont = 32;

bool MasksMatchQt(const TFontEntry& F, bool Smooth) {
    if (!F.Table || F.Em < 1 || F.Em > LargestMaskedFont || F.Ascent < 0 || F.Descent < 0 ||
        F.Ascent + F.Descent > 4 * LargestMaskedFont)
        return false;
    static const char sample[] =
        "0123456789,.-+%ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    std::vector<quint32> glyphs;
    std::vector<QPointF> positions;
    int x = 0;
    for (const char* c = sample; *c; ++c) {
        const auto b = static_cast<unsigned char>(*c);
        glyphs.push_back(F.Glyph[b]);
        positions.emplace_back(x, 0);
        x += F.Advance(b);
        if (F.Advance(b) < 0 || F.Advance(b) > 4 * LargestMaskedFont) return false;
    }
    const int pad = 4 + F.Em, line = F.Ascent + F.Descent + pad;
    QImage qt(x + 2 * pad, 2 * line + 2 * pad, QImage::Format_RGB32);
    // The sizes are read once: the fill runs over a million pixels for display sizes.
    const auto width = uint32_t(qt.width()), height = uint32_t(qt.height());
    for (uint32_t y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(qt.scanLine(int(y)));
        for (uint32_t i = 0; i < width; ++i)
            row[i] = 0xFF000000u | ((i * 37 + y * 91) & 0xFF) << 16 |
                     ((i * 11 ^ y * 53) & 0xFF) << 8 | ((i * y * 7 + 29) & 0xFF);
    }
    QImage ours = qt.copy();
    const QRegion all(qt.rect());
    const uint32_t colors[] = {0xFF1F6FC9u, 0xFFE0C040u};
    for (int k = 0; k < 2; ++k) {
        const QPoint pen(pad, pad + F.Ascent + k * line);
        PaintGlyphs(qt, nullptr, F.Raw, glyphs, positions, pen, Smooth, QColor(colors[k]));
        if (!BlendGlyphs(ours, all, F, Smooth, glyphs, positions, pen, colors[k])) return false;
    }
    return qt == ours;
}

// The check costs as much as drawing some dozens of texts: a font earns it
// only when used again and again (a chart's labels, frame after frame), not
// for the few texts of a window's first picture.
constexpr int TextsBeforeMasks = 24;

bool MasksUsable(const TFontEntry& F, bool Smooth) {
    TGlyphMasks& m = F.Masks[Smooth];
    if (!m.Checked) {
        if (++m.TextsDrawn < TextsBeforeMasks) return false;
        m.Checked = true;
        m.Usable = MasksMatchQt(F, Smooth);
    }
    return m.Usable;
}

// Printer text as real text, each run between control characters placed where
// the layout puts it and spread to the layout's width. Qt would expand a tab to
// a tab stop; spreading a whole line by that advance runs its letters together
// or backwards, while the layout gives a tab its glyph's narrow blank.
void DrawPrinterRuns(QPainter& Painter, const TTextLayout& L, const QPointF& Origin) {
    const qsizetype n = L.Text.size();
    if (n == 0 || size_t(n) != L.Positions.size()) return;
    const auto x = [&](qsizetype i) { return i < n ? L.Positions[size_t(i)].x() : L.Width; };
    qsizetype start = 0;
    while (start < n) {
        if (L.Text[start].unicode() < 0x20) {
            ++start;
            continue;
        }
        qsizetype end = start;
        while (end < n && L.Text[end].unicode() >= 0x20)
            ++end;
        const QString run = L.Text.mid(start, end - start);
        QFont font = L.Font;
        const double natural = QFontMetricsF(font).horizontalAdvance(run);
        font.setLetterSpacing(QFont::AbsoluteSpacing,
                              (x(end) - x(start) - natural) / double(run.size()));
        Painter.setFont(font);
        Painter.drawText(Origin + QPointF(x(start), 0), run);
        start = end;
    }
}

} // namespace

void DevTextOut(TCanvasPrivate& D, int X, int Y, UINT Options, const TRect* R, const char* Text,
                int Count, const int* Dx) {
    const TTextLayout L = LayoutText(D, Text, Count, Dx);
    const bool updateCp = D.S.TextAlign & TA_UPDATECP;
    const TPoint refL = updateCp ? D.S.Pos : TPoint(X, Y);
    const TPoint refD = D.ToDevice(refL);
    const TTextPlacement p = Place(D, L, QPointF(refD.x, refD.y));

    if (D.InPath) {
        D.Path.addPath(GlyphOutlines(D, L, p));
    } else if (D.Drawable()) {
        // A painter keeps the device context's clip (set once, not per text);
        // only a clipping rectangle narrows it.
        QRegion clip = D.Image ? D.EffectiveClip() : QRegion();
        QRect rect;
        const QRect* clipRect = nullptr;
        if (R) {
            const TPoint a = D.ToDevice(R->Left, R->Top), b = D.ToDevice(R->Right, R->Bottom);
            rect = QRect(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)),
                         QPoint(std::max(a.x, b.x) - 1, std::max(a.y, b.y) - 1));
            if (Options & ETO_OPAQUE)
                FillBackground(D, clip, nullptr, QPolygonF(QRectF(rect)), D.S.BkColor);
            if (Options & ETO_CLIPPED) {
                clip = clip.intersected(rect);
                clipRect = &rect;
            }
        }
        if (D.S.BkMode == OPAQUE && L.Width > 0)
            FillBackground(D, clip, clipRect, p.Frame.map(QPolygonF(p.Cell)), D.S.BkColor);
        if (!L.Glyphs.empty()) {
            const TFontEntry& font = DeviceFont(DeviceLogFont(D));
            const QColor color = ColorRefToQColor(D.S.TextColor);
            const BYTE q = D.S.Font.lfQuality;
            const bool smooth = q != NONANTIALIASED_QUALITY && q != DRAFT_QUALITY;
            const bool plain = p.Angle == 0 && !D.S.Font.lfUnderline && !D.S.Font.lfStrikeOut;
            if (D.Image && plain && MaskedFormat(*D.Image) && MasksUsable(font, smooth) &&
                BlendGlyphs(*D.Image, clip, font, smooth, L.Glyphs, L.Positions,
                            QPoint(refD.x + int(p.Origin.x()), refD.y + int(p.Origin.y())),
                            0xFF000000u | color.rgb())) {
            } else if (D.Image) {
                QGlyphRun run;
                run.setRawFont(font.Raw);
                run.setGlyphIndexes(QList<quint32>(L.Glyphs.begin(), L.Glyphs.end()));
                run.setPositions(QList<QPointF>(L.Positions.begin(), L.Positions.end()));
                QPainter painter(D.Image);
                painter.setClipRegion(clip);
                painter.setTransform(p.Frame);
                painter.setRenderHint(QPainter::TextAntialiasing, smooth);
                painter.setPen(color);
                painter.drawGlyphRun(p.Origin, run);
                // A run's own lines go through the painter's transform twice,
                // landing away from the text; they are drawn here instead.
                const QFontMetricsF fm(font.Font);
                const double thick = std::max(1.0, std::round(fm.lineWidth()));
                const double left = p.Origin.x() + L.Positions.front().x();
                if (D.S.Font.lfUnderline)
                    painter.fillRect(
                        QRectF(left, p.Origin.y() + std::round(fm.underlinePos()), L.Width, thick),
                        color);
                if (D.S.Font.lfStrikeOut)
                    painter.fillRect(
                        QRectF(left, p.Origin.y() - std::round(fm.strikeOutPos()), L.Width, thick),
                        color);
            } else if (D.Painter) {
                // Printer pages keep real text so it can be searched and copied.
                QPainter* painter = D.PreparedPainter();
                painter->save();
                if (clipRect) painter->setClipRect(*clipRect, Qt::IntersectClip);
                painter->setTransform(p.Frame, true);
                painter->setPen(color);
                painter->setBackgroundMode(Qt::TransparentMode);
                DrawPrinterRuns(*painter, L, p.Origin);
                painter->restore();
            }
        }
    }
    if (updateCp) {
        const double sx = D.ScaleX() == 0 ? 1 : std::fabs(D.ScaleX());
        const int w = int(std::lround(L.Width / sx));
        const UINT a = D.S.TextAlign;
        if ((a & TA_CENTER) == TA_CENTER) {
        } else if (a & TA_RIGHT)
            D.S.Pos.x -= w;
        else
            D.S.Pos.x += w;
    }
}

// --- the canvas's text calls -------------------------------------------------

bool TCanvas::ExtTextOutA(int X, int Y, UINT Options, const TRect* R, const char* Text, int Count,
                          const int* Dx) {
    if (Count < 0 || (!Text && Count > 0) || !Ready()) return false;
    // Recordings hold the text where it lands: playback does not follow
    // the current position, so a move to where the text left it follows.
    const bool fromPos = D->S.TextAlign & TA_UPDATECP;
    if (D->Recorder) {
        D->Record();
        std::vector<int> dx;
        if (Dx) dx.assign(Dx, Dx + Count);
        const TPoint at = fromPos ? D->S.Pos : TPoint(X, Y);
        D->Recorder->Text(at.x, at.y, Options, R, AnsiString(Text, Count), dx);
    }
    Changing();
    DevTextOut(*D, X, Y, Options, R, Text, Count, Dx);
    if (fromPos && D->Recorder) D->Recorder->MoveTo(D->S.Pos.x, D->S.Pos.y);
    Changed();
    return true;
}

bool TCanvas::TextOutA(int X, int Y, const char* Text, int Count) {
    return ExtTextOutA(X, Y, 0, nullptr, Text, Count, nullptr);
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text) {
    ExtTextOutA(X, Y, 0, nullptr, Text.c_str(), Text.Length(), nullptr);
    MoveTo(X + TextWidth(Text), Y);
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const AnsiString& Text) {
    UINT options = ETO_CLIPPED;
    if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
    ExtTextOutA(X, Y, options, &R, Text.c_str(), Text.Length(), nullptr);
}

bool TCanvas::GetTextExtentPoint32(const char* Text, int Count, TSize* Size) {
    if (!Size || Count < 0) return false;
    const TFontEntry& f = DeviceFont(DeviceLogFont(*D));
    const double sx = D->ScaleX() == 0 ? 1 : std::fabs(D->ScaleX());
    const double sy = D->ScaleY() == 0 ? 1 : std::fabs(D->ScaleY());
    int width = 0;
    if (f.Table) {
        // The layout's width without the layout: advances and extra spacing.
        const int extra = int(std::lround(D->S.CharExtra * std::fabs(D->ScaleX())));
        for (int i = 0; Text && i < Count; ++i)
            width += f.Advance(static_cast<unsigned char>(Text[i])) + extra;
    } else
        width = LayoutText(*D, Text, Count, nullptr).Width;
    *Size = {int(std::lround(width / sx)), int(std::lround((f.Ascent + f.Descent) / sy))};
    return true;
}

bool TCanvas::GetTextMetrics(TEXTMETRIC* Metrics) {
    if (!Metrics) return false;
    TEXTMETRIC tm = DeviceTextMetrics(*D);
    const double sx = D->ScaleX() == 0 ? 1 : std::fabs(D->ScaleX());
    const double sy = D->ScaleY() == 0 ? 1 : std::fabs(D->ScaleY());
    if (sx != 1 || sy != 1) {
        auto h = [&](int v) { return int(std::lround(v / sy)); };
        auto w = [&](int v) { return int(std::lround(v / sx)); };
        tm.tmAscent = h(tm.tmAscent);
        tm.tmDescent = h(tm.tmDescent);
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
        tm.tmInternalLeading = h(tm.tmInternalLeading);
        tm.tmExternalLeading = h(tm.tmExternalLeading);
        tm.tmAveCharWidth = w(tm.tmAveCharWidth);
        tm.tmMaxCharWidth = w(tm.tmMaxCharWidth);
    }
    *Metrics = tm;
    return true;
}

TSize TCanvas::TextExtent(const AnsiString& Text) {
    TSize s;
    GetTextExtentPoint32(Text.c_str(), Text.Length(), &s);
    return s;
}

int TCanvas::TextWidth(const AnsiString& Text) {
    return TextExtent(Text).cx;
}
int TCanvas::TextHeight(const AnsiString& Text) {
    // The cell's height is the font's, whatever the characters: no layout.
    (void)Text;
    const TFontEntry& f = DeviceFont(DeviceLogFont(*D));
    const double sy = D->ScaleY() == 0 ? 1 : std::fabs(D->ScaleY());
    return int(std::lround((f.Ascent + f.Descent) / sy));
}

namespace {

AnsiString StripPrefixes(const AnsiString& s) {
    std::string out;
    const std::string& in = s.str();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '&' && i + 1 < in.size()) {
            ++i;
            out.push_back(in[i]);
        } else if (in[i] != '&')
            out.push_back(in[i]);
    }
    return AnsiString(std::move(out));
}

} // namespace

int TCanvas::DrawText(const AnsiString& Text0, TRect& R, UINT Format) {
    AnsiString text = (Format & DT_NOPREFIX) ? Text0 : StripPrefixes(Text0);
    if (Format & DT_EXPANDTABS) text = StringReplace(text, "\t", "        ");
    TEXTMETRIC tm;
    GetTextMetrics(&tm);
    const int lineHeight = tm.tmHeight;
    std::vector<AnsiString> lines;
    if (Format & DT_SINGLELINE) {
        lines.push_back(StringReplace(StringReplace(text, "\r", " "), "\n", " "));
    } else {
        std::string cur;
        const std::string& s = text.str();
        for (size_t i = 0; i <= s.size(); ++i) {
            if (i == s.size() || s[i] == '\n') {
                if (!cur.empty() && cur.back() == '\r') cur.pop_back();
                lines.emplace_back(cur);
                cur.clear();
            } else
                cur.push_back(s[i]);
        }
        if (Format & DT_WORDBREAK) {
            std::vector<AnsiString> wrapped;
            const int maxw = R.Width();
            for (const AnsiString& line : lines) {
                std::string rest = line.str(), acc;
                size_t pos = 0;
                while (pos <= rest.size()) {
                    size_t sp = rest.find(' ', pos);
                    if (sp == std::string::npos) sp = rest.size();
                    const std::string word = rest.substr(pos, sp - pos);
                    const std::string trial = acc.empty() ? word : acc + " " + word;
                    if (!acc.empty() && TextWidth(trial) > maxw) {
                        wrapped.emplace_back(acc);
                        acc = word;
                    } else
                        acc = trial;
                    pos = sp + 1;
                }
                wrapped.emplace_back(acc);
            }
            lines = std::move(wrapped);
        }
    }
    int maxWidth = 0;
    for (const AnsiString& l : lines)
        maxWidth = std::max(maxWidth, TextWidth(l));
    const int height = lineHeight * int(lines.size());
    if (Format & DT_CALCRECT) {
        R.Right = R.Left + maxWidth;
        R.Bottom = R.Top + height;
        return height;
    }
    int y = R.Top;
    if (Format & DT_SINGLELINE) {
        if (Format & DT_VCENTER)
            y = R.Top + (R.Height() - lineHeight) / 2;
        else if (Format & DT_BOTTOM)
            y = R.Bottom - lineHeight;
    }
    const UINT align = SetTextAlign(TA_LEFT | TA_TOP);
    for (AnsiString line : lines) {
        if ((Format & DT_END_ELLIPSIS) && TextWidth(line) > R.Width()) {
            while (line.Length() > 0 && TextWidth(line + "...") > R.Width())
                line.SetLength(line.Length() - 1);
            line += "...";
        }
        const int w = TextWidth(line);
        int x = R.Left;
        if (Format & DT_CENTER)
            x = R.Left + (R.Width() - w) / 2;
        else if (Format & DT_RIGHT)
            x = R.Right - w;
        ExtTextOutA(x, y, (Format & DT_NOCLIP) ? 0 : ETO_CLIPPED, &R, line.c_str(), line.Length(),
                    nullptr);
        y += lineHeight;
    }
    SetTextAlign(align);
    return height;
}
