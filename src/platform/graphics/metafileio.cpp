// Metafile files: the EMF writer, the placeable WMF writer, and readers for
// both (the records the writers produce and the common drawing records of
// other programs). Coordinates are written in the metafile's device units.
#include "platform/graphics/metafileops.h"
#include "platform/graphics/bmpcodec.h"
#include "platform/graphics/qtbridge.h"
#include <cmath>
#include <cstring>
#include <map>

namespace {

// --- byte helpers --------------------------------------------------------------

struct TOut {
    std::vector<uint8_t> B;
    void U8(uint32_t v) { B.push_back(uint8_t(v)); }
    void U16(uint32_t v) {
        B.push_back(uint8_t(v));
        B.push_back(uint8_t(v >> 8));
    }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            B.push_back(uint8_t(v >> (8 * i)));
    }
    void I32(int v) { U32(uint32_t(v)); }
    void F32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        U32(v);
    }
    void Bytes(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        B.insert(B.end(), b, b + n);
    }
    void Pad4() {
        while (B.size() % 4)
            B.push_back(0);
    }
};

int16_t Clamp16(int v) {
    return int16_t(std::clamp(v, -32768, 32767));
}

// The mapping of a recorded state: logical -> metafile device units.
struct TMap {
    TMetaState M;
    TPoint P(int x, int y) const {
        if (M.MapMode == MM_TEXT || !M.WindowExt.cx || !M.WindowExt.cy)
            return {x - M.WindowOrg.x + M.ViewportOrg.x, y - M.WindowOrg.y + M.ViewportOrg.y};
        return {PixelPos((x - M.WindowOrg.x) * double(M.ViewportExt.cx) / M.WindowExt.cx +
                         M.ViewportOrg.x),
                PixelPos((y - M.WindowOrg.y) * double(M.ViewportExt.cy) / M.WindowExt.cy +
                         M.ViewportOrg.y)};
    }
    double SX() const {
        return (M.MapMode == MM_TEXT || !M.WindowExt.cx)
                   ? 1.0
                   : std::fabs(double(M.ViewportExt.cx) / M.WindowExt.cx);
    }
    double SY() const {
        return (M.MapMode == MM_TEXT || !M.WindowExt.cy)
                   ? 1.0
                   : std::fabs(double(M.ViewportExt.cy) / M.WindowExt.cy);
    }
    TRect R(int l, int t, int r, int b) const {
        const TPoint a = P(l, t), c = P(r, b);
        return {a.x, a.y, c.x, c.y};
    }
    TPoint Logical(TPoint d) const {
        if (M.MapMode == MM_TEXT || !M.WindowExt.cx || !M.WindowExt.cy || !M.ViewportExt.cx ||
            !M.ViewportExt.cy)
            return {d.x - M.ViewportOrg.x + M.WindowOrg.x, d.y - M.ViewportOrg.y + M.WindowOrg.y};
        return {PixelPos((d.x - M.ViewportOrg.x) * double(M.WindowExt.cx) / M.ViewportExt.cx +
                         M.WindowOrg.x),
                PixelPos((d.y - M.ViewportOrg.y) * double(M.WindowExt.cy) / M.ViewportExt.cy +
                         M.WindowOrg.y)};
    }
    int PenWidth(const TPenData& p) const {
        if ((p.Style & PS_TYPE_MASK) == PS_GEOMETRIC || p.Width > 1)
            return std::max(1, int(std::lround(p.Width * SX())));
        return p.Width;
    }
    int FontHeight(int h) const {
        if (h == 0) return 0;
        const int v = std::max(1, int(std::lround(std::abs(h) * SY())));
        return h < 0 ? -v : v;
    }
};

std::u16string Utf16(const AnsiString& s) {
    const QString q = AnsiToQString(s);
    return std::u16string(reinterpret_cast<const char16_t*>(q.utf16()), size_t(q.size()));
}

// 24-bit bottom-up DIB of an image; Mask: white where clear, black elsewhere;
// Black: clear pixels turned black.
std::vector<uint8_t> Dib(const QImage& img, int mode) {
    const int w = img.width(), h = img.height();
    const int stride = ((w * 3 + 3) / 4) * 4;
    std::vector<uint8_t> bits(size_t(stride) * h, 0);
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uint8_t* dst = bits.data() + size_t(stride) * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            QRgb c = src[x];
            const bool clear = img.hasAlphaChannel() && qAlpha(c) < 128;
            if (mode == 1)
                c = clear ? 0xFFFFFFFF : 0xFF000000;
            else if (mode == 2 && clear)
                c = 0xFF000000;
            dst[3 * x] = uint8_t(qBlue(c));
            dst[3 * x + 1] = uint8_t(qGreen(c));
            dst[3 * x + 2] = uint8_t(qRed(c));
        }
    }
    return bits;
}

void BitmapInfoHeader(TOut& o, int w, int h, uint32_t imageBytes) {
    o.U32(40);
    o.I32(w);
    o.I32(h);
    o.U16(1);
    o.U16(24);
    o.U32(0);
    o.U32(imageBytes);
    o.U32(0);
    o.U32(0);
    o.U32(0);
    o.U32(0);
}

UINT BrushStyleOf(const TBrushData& b) {
    return b.Style == BS_PATTERN ? BS_SOLID : b.Style;
}

// --- EMF ----------------------------------------------------------------------------

enum : uint32_t {
    EMR_HEADER = 1,
    EMR_POLYBEZIER = 2,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6,
    EMR_POLYPOLYLINE = 7,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_EOF = 14,
    EMR_SETPIXELV = 15,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETROP2 = 20,
    EMR_SETSTRETCHBLTMODE = 21,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_MOVETOEX = 27,
    EMR_EXCLUDECLIPRECT = 29,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_ARC = 45,
    EMR_CHORD = 46,
    EMR_PIE = 47,
    EMR_LINETO = 54,
    EMR_ARCTO = 55,
    EMR_SETARCDIRECTION = 57,
    EMR_BEGINPATH = 59,
    EMR_ENDPATH = 60,
    EMR_CLOSEFIGURE = 61,
    EMR_FILLPATH = 62,
    EMR_STROKEANDFILLPATH = 63,
    EMR_STROKEPATH = 64,
    EMR_WIDENPATH = 66,
    EMR_SELECTCLIPPATH = 67,
    EMR_ABORTPATH = 68,
    EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91,
    EMR_EXTCREATEPEN = 95
};

class TEmfWriter {
public:
    TEmfWriter(int w, int h) : FW(w), FH(h) {}

    std::vector<uint8_t> Write(const TMetaOps& ops, const AnsiString& description) {
        for (const auto& op : ops)
            Op(*op);
        Record(EMR_EOF, [](TOut& o) {
            o.U32(0);
            o.U32(16);
            o.U32(20);
        });
        // Header last, now that sizes and counts are known.
        TOut h;
        const std::u16string desc = Utf16(description);
        const uint32_t headerSize = 108 + uint32_t(((desc.size() * 2) + 3) / 4 * 4);
        h.U32(EMR_HEADER);
        h.U32(headerSize);
        h.I32(0);
        h.I32(0);
        h.I32(FW - 1);
        h.I32(FH - 1);
        h.I32(0);
        h.I32(0);
        h.I32(int(std::lround(FW * 2540.0 / 96)) - 1);
        h.I32(int(std::lround(FH * 2540.0 / 96)) - 1);
        h.U32(0x464D4520);
        h.U32(0x10000);
        h.U32(uint32_t(headerSize + FBody.B.size()));
        h.U32(uint32_t(FRecords + 1));
        h.U16(uint32_t(FNextHandle));
        h.U16(0);
        h.U32(uint32_t(desc.size()));
        h.U32(desc.empty() ? 0 : 108);
        h.U32(0);
        h.I32(1920);
        h.I32(1080);
        h.I32(508);
        h.I32(286);
        h.U32(0); // no pixel format
        h.U32(0);
        h.U32(0); // not OpenGL
        h.I32(508000);
        h.I32(285750);
        for (char16_t c : desc)
            h.U16(c);
        h.Pad4();
        h.Bytes(FBody.B.data(), FBody.B.size());
        return h.B;
    }

private:
    template <typename Fn> void Record(uint32_t type, Fn&& body) {
        TOut o;
        body(o);
        o.Pad4();
        FBody.U32(type);
        FBody.U32(uint32_t(o.B.size() + 8));
        FBody.Bytes(o.B.data(), o.B.size());
        ++FRecords;
    }
    void Bounds(TOut& o) {
        o.I32(0);
        o.I32(0);
        o.I32(FW - 1);
        o.I32(FH - 1);
    }
    void Rect(TOut& o, const TRect& r) {
        o.I32(r.Left);
        o.I32(r.Top);
        o.I32(r.Right);
        o.I32(r.Bottom);
    }
    void Value(uint32_t type, uint32_t v) {
        Record(type, [&](TOut& o) { o.U32(v); });
    }

    uint32_t NewPen(const TPenData& p) {
        const uint32_t ih = FNextHandle++;
        const int width = FMap.PenWidth(p);
        if ((p.Style & PS_TYPE_MASK) == PS_GEOMETRIC || (p.Style & PS_STYLE_MASK) == PS_ALTERNATE) {
            Record(EMR_EXTCREATEPEN, [&](TOut& o) {
                o.U32(ih);
                o.U32(52);
                o.U32(0);
                o.U32(52);
                o.U32(0);
                o.U32(p.Style);
                o.U32(uint32_t(width));
                o.U32(BS_SOLID);
                o.U32(p.Color);
                o.U32(0);
                o.U32(0);
            });
        } else {
            Record(EMR_CREATEPEN, [&](TOut& o) {
                o.U32(ih);
                o.U32(p.Style & PS_STYLE_MASK);
                o.I32(width);
                o.I32(0);
                o.U32(p.Color);
            });
        }
        return ih;
    }
    uint32_t NewBrush(const TBrushData& b) {
        const uint32_t ih = FNextHandle++;
        Record(EMR_CREATEBRUSHINDIRECT, [&](TOut& o) {
            o.U32(ih);
            o.U32(BrushStyleOf(b));
            o.U32(b.Color);
            o.U32(uint32_t(b.Hatch));
        });
        return ih;
    }
    uint32_t NewFont(const LOGFONT& lf) {
        const uint32_t ih = FNextHandle++;
        Record(EMR_EXTCREATEFONTINDIRECTW, [&](TOut& o) {
            o.U32(ih);
            o.I32(FMap.FontHeight(lf.lfHeight));
            o.I32(lf.lfWidth);
            o.I32(lf.lfEscapement);
            o.I32(lf.lfOrientation);
            o.I32(lf.lfWeight);
            o.U8(lf.lfItalic);
            o.U8(lf.lfUnderline);
            o.U8(lf.lfStrikeOut);
            o.U8(lf.lfCharSet);
            o.U8(lf.lfOutPrecision);
            o.U8(lf.lfClipPrecision);
            o.U8(lf.lfQuality);
            o.U8(lf.lfPitchAndFamily);
            char face[LF_FACESIZE + 1] = {};
            std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
            const std::u16string f = Utf16(face);
            for (int i = 0; i < 32; ++i)
                o.U16(i < int(f.size()) ? f[size_t(i)] : 0);
        });
        return ih;
    }
    void Select(uint32_t ih) { Value(EMR_SELECTOBJECT, ih); }
    void Delete(uint32_t ih) { Value(EMR_DELETEOBJECT, ih); }

    void State(const TMetaState& m) {
        const TMetaState& c = FCur;
        const bool all = !FHave;
        FMap.M = m;
        if (all || m.BkMode != c.BkMode) Value(EMR_SETBKMODE, uint32_t(m.BkMode));
        if (all || m.BkColor != c.BkColor) Value(EMR_SETBKCOLOR, m.BkColor);
        if (all || m.TextColor != c.TextColor) Value(EMR_SETTEXTCOLOR, m.TextColor);
        if (all || (m.TextAlign & ~TA_UPDATECP) != (c.TextAlign & ~TA_UPDATECP))
            Value(EMR_SETTEXTALIGN, m.TextAlign & ~TA_UPDATECP);
        if (all || m.Rop2 != c.Rop2) Value(EMR_SETROP2, uint32_t(m.Rop2));
        if (all || m.FillMode != c.FillMode) Value(EMR_SETPOLYFILLMODE, uint32_t(m.FillMode));
        if (all || m.ArcDirection != c.ArcDirection)
            Value(EMR_SETARCDIRECTION, uint32_t(m.ArcDirection));
        if (all || m.StretchMode != c.StretchMode)
            Value(EMR_SETSTRETCHBLTMODE, uint32_t(m.StretchMode));
        // Objects depend on the scale too (pen widths, font heights).
        const bool scaleChanged = all || !m.SameMapping(c);
        if (all || !(m.Pen == c.Pen) || scaleChanged) {
            const uint32_t ih = NewPen(m.Pen);
            Select(ih);
            if (FPen) Delete(FPen);
            FPen = ih;
        }
        if (all || !m.SameBrush(c)) {
            const uint32_t ih = NewBrush(m.Brush);
            Select(ih);
            if (FBrush) Delete(FBrush);
            FBrush = ih;
        }
        if (all || !m.SameFont(c) || scaleChanged) {
            const uint32_t ih = NewFont(m.Font);
            Select(ih);
            if (FFont) Delete(FFont);
            FFont = ih;
        }
        FCur = m;
        FHave = true;
    }

    void Points(uint32_t type16, uint32_t type32, const std::vector<TPoint>& pts) {
        std::vector<TPoint> d;
        bool small = true;
        for (const TPoint& p : pts) {
            d.push_back(FMap.P(p.x, p.y));
            small = small && d.back().x == Clamp16(d.back().x) && d.back().y == Clamp16(d.back().y);
        }
        Record(small ? type16 : type32, [&](TOut& o) {
            Bounds(o);
            o.U32(uint32_t(d.size()));
            for (const TPoint& p : d) {
                if (small) {
                    o.U16(uint16_t(p.x));
                    o.U16(uint16_t(p.y));
                } else {
                    o.I32(p.x);
                    o.I32(p.y);
                }
            }
        });
    }

    void Image(const TRect& dest, const QImage& img, DWORD rop) {
        auto blit = [&](const std::vector<uint8_t>& bits, DWORD r) {
            Record(EMR_STRETCHDIBITS, [&](TOut& o) {
                const TRect d = FMap.R(dest.Left, dest.Top, dest.Right, dest.Bottom);
                Bounds(o);
                o.I32(d.Left);
                o.I32(d.Top);
                o.I32(0);
                o.I32(0);
                o.I32(img.width());
                o.I32(img.height());
                o.U32(80);
                o.U32(40);
                o.U32(120);
                o.U32(uint32_t(bits.size()));
                o.U32(0);
                o.U32(r);
                o.I32(d.Right - d.Left);
                o.I32(d.Bottom - d.Top);
                BitmapInfoHeader(o, img.width(), img.height(), uint32_t(bits.size()));
                o.Bytes(bits.data(), bits.size());
            });
        };
        if (img.hasAlphaChannel()) {
            // Clear pixels: the mask keeps the destination, the image adds the rest.
            blit(Dib(img, 1), SRCAND);
            blit(Dib(img, 2), SRCPAINT);
        } else
            blit(Dib(img, 0), rop);
    }

    void PatBlt(const TRect& r, DWORD rop) {
        const TRect d = FMap.R(r.Left, r.Top, r.Right, r.Bottom);
        Record(EMR_BITBLT, [&](TOut& o) {
            Bounds(o);
            o.I32(d.Left);
            o.I32(d.Top);
            o.I32(d.Right - d.Left);
            o.I32(d.Bottom - d.Top);
            o.U32(rop);
            o.I32(0);
            o.I32(0);
            for (float f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f})
                o.F32(f);
            o.U32(0);
            o.U32(0);
            o.U32(0);
            o.U32(0);
            o.U32(0);
            o.U32(0);
        });
    }

    void Op(const TMetaOp& op) {
        const auto& I = op.I;
        switch (op.Kind) {
        case TMetaKind::State:
            State(op.State);
            break;
        case TMetaKind::MoveTo:
        case TMetaKind::LineTo: {
            const TPoint p = FMap.P(op.P[0].x, op.P[0].y);
            Record(op.Kind == TMetaKind::MoveTo ? EMR_MOVETOEX : EMR_LINETO, [&](TOut& o) {
                o.I32(p.x);
                o.I32(p.y);
            });
            break;
        }
        case TMetaKind::Polyline:
            Points(EMR_POLYLINE16, EMR_POLYLINE, op.P);
            break;
        case TMetaKind::Polygon:
            Points(EMR_POLYGON16, EMR_POLYGON, op.P);
            break;
        case TMetaKind::PolyBezier:
            Points(EMR_POLYBEZIER16, EMR_POLYBEZIER, op.P);
            break;
        case TMetaKind::PolyBezierTo:
            Points(EMR_POLYBEZIERTO16, EMR_POLYBEZIERTO, op.P);
            break;
        case TMetaKind::PolyPolygon:
            Record(EMR_POLYPOLYGON, [&](TOut& o) {
                Bounds(o);
                o.U32(uint32_t(op.Counts.size()));
                o.U32(uint32_t(op.P.size()));
                for (int c : op.Counts)
                    o.U32(uint32_t(c));
                for (const TPoint& p : op.P) {
                    const TPoint d = FMap.P(p.x, p.y);
                    o.I32(d.x);
                    o.I32(d.y);
                }
            });
            break;
        case TMetaKind::Rectangle:
        case TMetaKind::Ellipse:
            Record(op.Kind == TMetaKind::Rectangle ? EMR_RECTANGLE : EMR_ELLIPSE,
                   [&](TOut& o) { Rect(o, FMap.R(I[0], I[1], I[2], I[3])); });
            break;
        case TMetaKind::RoundRect:
            Record(EMR_ROUNDRECT, [&](TOut& o) {
                Rect(o, FMap.R(I[0], I[1], I[2], I[3]));
                o.I32(int(std::lround(I[4] * FMap.SX())));
                o.I32(int(std::lround(I[5] * FMap.SY())));
            });
            break;
        case TMetaKind::Arc:
        case TMetaKind::ArcTo:
        case TMetaKind::Pie:
        case TMetaKind::Chord: {
            const uint32_t t = op.Kind == TMetaKind::Arc     ? EMR_ARC
                               : op.Kind == TMetaKind::ArcTo ? EMR_ARCTO
                               : op.Kind == TMetaKind::Pie   ? EMR_PIE
                                                             : EMR_CHORD;
            Record(t, [&](TOut& o) {
                Rect(o, FMap.R(I[0], I[1], I[2], I[3]));
                const TPoint a = FMap.P(I[4], I[5]), b = FMap.P(I[6], I[7]);
                o.I32(a.x);
                o.I32(a.y);
                o.I32(b.x);
                o.I32(b.y);
            });
            break;
        }
        case TMetaKind::Text: {
            const std::u16string text = Utf16(op.Text);
            const TPoint p = FMap.P(op.P[0].x, op.P[0].y);
            const TRect r =
                op.HasRect ? FMap.R(op.R.Left, op.R.Top, op.R.Right, op.R.Bottom) : TRect();
            const uint32_t n = uint32_t(text.size());
            const uint32_t offString = 76;
            const uint32_t offDx = offString + ((n * 2 + 3) / 4) * 4;
            Record(EMR_EXTTEXTOUTW, [&](TOut& o) {
                Bounds(o);
                o.U32(1);
                o.F32(0);
                o.F32(0);
                o.I32(p.x);
                o.I32(p.y);
                o.U32(n);
                o.U32(offString);
                o.U32(op.Options & (ETO_OPAQUE | ETO_CLIPPED));
                Rect(o, r);
                o.U32(offDx);
                for (char16_t c : text)
                    o.U16(c);
                o.Pad4();
                for (uint32_t i = 0; i < n; ++i)
                    o.I32(i < op.Dx.size() ? int(std::lround(op.Dx[i] * FMap.SX())) : 0);
            });
            break;
        }
        case TMetaKind::FillRect: {
            const uint32_t ih = NewBrush(op.Brush);
            Select(ih);
            PatBlt(op.R, PATCOPY);
            Select(FBrush ? FBrush : 0x80000000u | WHITE_BRUSH);
            Delete(ih);
            break;
        }
        case TMetaKind::Pixel: {
            const TPoint p = FMap.P(op.P[0].x, op.P[0].y);
            Record(EMR_SETPIXELV, [&](TOut& o) {
                o.I32(p.x);
                o.I32(p.y);
                o.U32(uint32_t(I[0]));
            });
            break;
        }
        case TMetaKind::Image:
            Image(op.R, op.Image, op.Rop);
            break;
        case TMetaKind::PatBlt:
            PatBlt(op.R, op.Rop);
            break;
        case TMetaKind::Path: {
            static constexpr uint32_t types[] = {
                EMR_BEGINPATH,  EMR_ENDPATH,  EMR_ABORTPATH,         EMR_CLOSEFIGURE,
                EMR_STROKEPATH, EMR_FILLPATH, EMR_STROKEANDFILLPATH, EMR_WIDENPATH};
            const uint32_t t = types[std::clamp(I[0], 0, 7)];
            const bool bounds =
                t == EMR_STROKEPATH || t == EMR_FILLPATH || t == EMR_STROKEANDFILLPATH;
            Record(t, [&](TOut& o) {
                if (bounds) Bounds(o);
            });
            break;
        }
        case TMetaKind::SelectClipPath:
            Value(EMR_SELECTCLIPPATH, uint32_t(op.Mode));
            break;
        case TMetaKind::ClipRegion:
            Record(EMR_EXTSELECTCLIPRGN, [&](TOut& o) {
                if (!op.HasRegion) {
                    o.U32(0);
                    o.U32(RGN_COPY);
                    return;
                }
                const int n = op.Region.rectCount();
                o.U32(uint32_t(32 + 16 * n));
                o.U32(uint32_t(op.Mode));
                o.U32(32);
                o.U32(1);
                o.U32(uint32_t(n));
                o.U32(uint32_t(16 * n));
                const QRect b = op.Region.boundingRect();
                Rect(o, {b.left(), b.top(), b.right() + 1, b.bottom() + 1});
                for (const QRect& q : op.Region)
                    Rect(o, {q.left(), q.top(), q.right() + 1, q.bottom() + 1});
            });
            break;
        case TMetaKind::IntersectClip:
        case TMetaKind::ExcludeClip:
            Record(op.Kind == TMetaKind::IntersectClip ? EMR_INTERSECTCLIPRECT
                                                       : EMR_EXCLUDECLIPRECT,
                   [&](TOut& o) { Rect(o, FMap.R(I[0], I[1], I[2], I[3])); });
            break;
        case TMetaKind::SaveDC:
            Record(EMR_SAVEDC, [](TOut&) {});
            break;
        case TMetaKind::RestoreDC:
            Value(EMR_RESTOREDC, uint32_t(I.empty() ? -1 : I[0]));
            FHave = false; // objects and modes are those of the restored state
            FPen = FBrush = FFont = 0;
            break;
        }
    }

    int FW, FH;
    TOut FBody;
    int FRecords = 0;
    uint32_t FNextHandle = 1;
    uint32_t FPen = 0, FBrush = 0, FFont = 0;
    TMetaState FCur;
    bool FHave = false;
    TMap FMap;
};

// --- WMF ----------------------------------------------------------------------------

enum : uint16_t {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_RESTOREDC = 0x0127,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_DELETEOBJECT = 0x01F0,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_EXTTEXTOUT = 0x0A32,
    META_STRETCHDIB = 0x0F43
};

class TWmfWriter {
public:
    TWmfWriter(int w, int h, int inch) : FW(w), FH(h), FInch(inch) {}

    std::vector<uint8_t> Write(const TMetaOps& ops) {
        Rec(META_SETMAPMODE, {MM_ANISOTROPIC});
        Rec(META_SETWINDOWORG, {0, 0});
        Rec(META_SETWINDOWEXT, {uint16_t(Clamp16(FH)), uint16_t(Clamp16(FW))});
        for (const auto& op : ops)
            Op(*op);
        Rec(META_EOF, {});
        TOut out;
        // Placeable header.
        const uint16_t words[10] = {
            0xCDD7,          0x9AC6, 0, 0, 0, uint16_t(Clamp16(FW)), uint16_t(Clamp16(FH)),
            uint16_t(FInch), 0,      0};
        uint16_t sum = 0;
        for (uint16_t w : words)
            sum ^= w;
        for (uint16_t w : words)
            out.U16(w);
        out.U16(sum);
        out.U16(1);
        out.U16(9);
        out.U16(0x0300);
        out.U32(uint32_t(9 + FBody.B.size() / 2));
        out.U16(uint32_t(FMaxObjects));
        out.U32(FMaxRecord);
        out.U16(0);
        out.Bytes(FBody.B.data(), FBody.B.size());
        return out.B;
    }

private:
    void Rec(uint16_t fn, std::initializer_list<uint16_t> params) {
        Raw(fn, std::vector<uint16_t>(params));
    }
    void Raw(uint16_t fn, const std::vector<uint16_t>& params) {
        const uint32_t size = uint32_t(3 + params.size());
        FBody.U32(size);
        FBody.U16(fn);
        for (uint16_t p : params)
            FBody.U16(p);
        FMaxRecord = std::max(FMaxRecord, size);
    }
    static uint16_t W(int v) { return uint16_t(Clamp16(v)); }
    static void Color(std::vector<uint16_t>& p, COLORREF c) {
        p.push_back(uint16_t(c & 0xFFFF));
        p.push_back(uint16_t(c >> 16));
    }

    int NewSlot() {
        for (size_t i = 0; i < FSlots.size(); ++i)
            if (!FSlots[i]) {
                FSlots[i] = true;
                return int(i);
            }
        FSlots.push_back(true);
        FMaxObjects = std::max(FMaxObjects, int(FSlots.size()));
        return int(FSlots.size()) - 1;
    }
    void Free(int slot) {
        if (slot < 0) return;
        Rec(META_DELETEOBJECT, {uint16_t(slot)});
        FSlots[size_t(slot)] = false;
    }
    int Pen(const TPenData& p) {
        std::vector<uint16_t> prm{uint16_t(p.Style & 0xFFFF), uint16_t(FMap.PenWidth(p)), 0};
        Color(prm, p.Color);
        Raw(META_CREATEPENINDIRECT, prm);
        return NewSlot();
    }
    int Brush(const TBrushData& b) {
        std::vector<uint16_t> prm{uint16_t(BrushStyleOf(b))};
        Color(prm, b.Color);
        prm.push_back(uint16_t(b.Hatch));
        Raw(META_CREATEBRUSHINDIRECT, prm);
        return NewSlot();
    }
    int Font(const LOGFONT& lf) {
        std::vector<uint16_t> prm{W(FMap.FontHeight(lf.lfHeight)), W(lf.lfWidth),
                                  W(lf.lfEscapement), W(lf.lfOrientation), W(lf.lfWeight)};
        const uint8_t b[8] = {lf.lfItalic,  lf.lfUnderline,     lf.lfStrikeOut,
                              lf.lfCharSet, lf.lfOutPrecision,  lf.lfClipPrecision,
                              lf.lfQuality, lf.lfPitchAndFamily};
        for (int i = 0; i < 8; i += 2)
            prm.push_back(uint16_t(b[i] | b[i + 1] << 8));
        char face[LF_FACESIZE] = {};
        std::memcpy(face, lf.lfFaceName, LF_FACESIZE - 1);
        for (int i = 0; i < LF_FACESIZE; i += 2)
            prm.push_back(uint16_t(uint8_t(face[i]) | uint8_t(face[i + 1]) << 8));
        Raw(META_CREATEFONTINDIRECT, prm);
        return NewSlot();
    }

    void State(const TMetaState& m) {
        const TMetaState& c = FCur;
        const bool all = !FHave;
        FMap.M = m;
        auto color = [&](uint16_t fn, COLORREF v) {
            std::vector<uint16_t> p;
            Color(p, v);
            Raw(fn, p);
        };
        if (all || m.BkMode != c.BkMode) Rec(META_SETBKMODE, {uint16_t(m.BkMode)});
        if (all || m.BkColor != c.BkColor) color(META_SETBKCOLOR, m.BkColor);
        if (all || m.TextColor != c.TextColor) color(META_SETTEXTCOLOR, m.TextColor);
        if (all || m.TextAlign != c.TextAlign)
            Rec(META_SETTEXTALIGN, {uint16_t(m.TextAlign & ~TA_UPDATECP)});
        if (all || m.Rop2 != c.Rop2) Rec(META_SETROP2, {uint16_t(m.Rop2)});
        if (all || m.FillMode != c.FillMode) Rec(META_SETPOLYFILLMODE, {uint16_t(m.FillMode)});
        const bool scaleChanged = all || !m.SameMapping(c);
        if (all || m.CharExtra != c.CharExtra || scaleChanged)
            Rec(META_SETTEXTCHAREXTRA, {W(int(std::lround(m.CharExtra * FMap.SX())))});
        if (all || !(m.Pen == c.Pen) || scaleChanged) {
            const int s = Pen(m.Pen);
            Rec(META_SELECTOBJECT, {uint16_t(s)});
            Free(FPen);
            FPen = s;
        }
        if (all || !m.SameBrush(c)) {
            const int s = Brush(m.Brush);
            Rec(META_SELECTOBJECT, {uint16_t(s)});
            Free(FBrush);
            FBrush = s;
        }
        if (all || !m.SameFont(c) || scaleChanged) {
            const int s = Font(m.Font);
            Rec(META_SELECTOBJECT, {uint16_t(s)});
            Free(FFont);
            FFont = s;
        }
        FCur = m;
        FHave = true;
    }

    void Box(uint16_t fn, const TRect& r, std::vector<uint16_t> before = {}) {
        before.push_back(W(r.Bottom));
        before.push_back(W(r.Right));
        before.push_back(W(r.Top));
        before.push_back(W(r.Left));
        Raw(fn, before);
    }

    void Poly(uint16_t fn, const std::vector<TPoint>& pts) {
        std::vector<uint16_t> p{uint16_t(pts.size())};
        for (const TPoint& q : pts) {
            const TPoint d = FMap.P(q.x, q.y);
            p.push_back(W(d.x));
            p.push_back(W(d.y));
        }
        Raw(fn, p);
    }

    void Image(const TRect& dest, const QImage& img, DWORD rop) {
        auto blit = [&](const std::vector<uint8_t>& bits, DWORD r) {
            const TRect d = FMap.R(dest.Left, dest.Top, dest.Right, dest.Bottom);
            std::vector<uint16_t> p{uint16_t(r & 0xFFFF),
                                    uint16_t(r >> 16),
                                    0,
                                    W(img.height()),
                                    W(img.width()),
                                    0,
                                    0,
                                    W(d.Bottom - d.Top),
                                    W(d.Right - d.Left),
                                    W(d.Top),
                                    W(d.Left)};
            TOut bmi;
            BitmapInfoHeader(bmi, img.width(), img.height(), uint32_t(bits.size()));
            bmi.Bytes(bits.data(), bits.size());
            if (bmi.B.size() % 2) bmi.B.push_back(0);
            for (size_t i = 0; i < bmi.B.size(); i += 2)
                p.push_back(uint16_t(bmi.B[i] | bmi.B[i + 1] << 8));
            Raw(META_STRETCHDIB, p);
        };
        if (img.hasAlphaChannel()) {
            blit(Dib(img, 1), SRCAND);
            blit(Dib(img, 2), SRCPAINT);
        } else
            blit(Dib(img, 0), rop);
    }

    void Text(const TMetaOp& op) {
        const TPoint p = FMap.P(op.P[0].x, op.P[0].y);
        const std::string& s = op.Text.str();
        const UINT options = op.Options & (ETO_OPAQUE | ETO_CLIPPED);
        std::vector<uint16_t> prm{W(p.y), W(p.x), uint16_t(s.size()), uint16_t(options)};
        if (options && op.HasRect) {
            const TRect r = FMap.R(op.R.Left, op.R.Top, op.R.Right, op.R.Bottom);
            prm.push_back(W(r.Left));
            prm.push_back(W(r.Top));
            prm.push_back(W(r.Right));
            prm.push_back(W(r.Bottom));
        } else if (options) {
            prm[3] = 0;
        }
        for (size_t i = 0; i < s.size(); i += 2)
            prm.push_back(
                uint16_t(uint8_t(s[i]) | (i + 1 < s.size() ? uint8_t(s[i + 1]) << 8 : 0)));
        for (size_t i = 0; i < s.size(); ++i)
            prm.push_back(W(i < op.Dx.size() ? int(std::lround(op.Dx[i] * FMap.SX())) : 0));
        Raw(META_EXTTEXTOUT, prm);
    }

    // Paths have no old-style records: their figures are drawn directly.
    void FlushPath(int how) {
        const std::vector<std::shared_ptr<const TMetaOp>> figures = std::move(FPath);
        FPath.clear();
        if (how == PathFill || how == PathStrokeFill || how == PathStroke) {
            TMetaState m = FCur;
            if (how == PathStroke) m.Brush.Style = BS_NULL;
            if (how == PathFill) m.Pen.Style = (m.Pen.Style & ~PS_STYLE_MASK) | PS_NULL;
            const TMetaState keep = FCur;
            State(m);
            for (const auto& f : figures) {
                TMetaOp copy = *f;
                if (copy.Kind == TMetaKind::Polyline && how != PathStroke)
                    copy.Kind = TMetaKind::Polygon;
                Op(copy);
            }
            State(keep);
        }
    }

    void Op(const TMetaOp& op) {
        const auto& I = op.I;
        if (FInPath && op.Kind != TMetaKind::Path && op.Kind != TMetaKind::State) {
            FPath.push_back(std::make_shared<TMetaOp>(op));
            return;
        }
        switch (op.Kind) {
        case TMetaKind::State:
            State(op.State);
            break;
        case TMetaKind::MoveTo:
        case TMetaKind::LineTo: {
            const TPoint p = FMap.P(op.P[0].x, op.P[0].y);
            Rec(op.Kind == TMetaKind::MoveTo ? META_MOVETO : META_LINETO, {W(p.y), W(p.x)});
            FPos = op.P[0];
            break;
        }
        case TMetaKind::Polyline:
            Poly(META_POLYLINE, op.P);
            break;
        case TMetaKind::Polygon:
            Poly(META_POLYGON, op.P);
            break;
        case TMetaKind::PolyBezier:
        case TMetaKind::PolyBezierTo: {
            std::vector<TPoint> ctrl = op.P;
            if (op.Kind == TMetaKind::PolyBezierTo) ctrl.insert(ctrl.begin(), FPos);
            std::vector<TPoint> flat;
            if (!ctrl.empty()) flat.push_back(ctrl[0]);
            for (size_t i = 1; i + 2 < ctrl.size(); i += 3)
                for (int k = 1; k <= 16; ++k) {
                    const double t = k / 16.0, u = 1 - t;
                    const double x = u * u * u * ctrl[i - 1].x + 3 * u * u * t * ctrl[i].x +
                                     3 * u * t * t * ctrl[i + 1].x + t * t * t * ctrl[i + 2].x;
                    const double y = u * u * u * ctrl[i - 1].y + 3 * u * u * t * ctrl[i].y +
                                     3 * u * t * t * ctrl[i + 1].y + t * t * t * ctrl[i + 2].y;
                    flat.push_back({int(std::lround(x)), int(std::lround(y))});
                }
            Poly(META_POLYLINE, flat);
            if (!op.P.empty() && op.Kind == TMetaKind::PolyBezierTo) FPos = op.P.back();
            break;
        }
        case TMetaKind::PolyPolygon: {
            std::vector<uint16_t> p{uint16_t(op.Counts.size())};
            for (int c : op.Counts)
                p.push_back(uint16_t(c));
            for (const TPoint& q : op.P) {
                const TPoint d = FMap.P(q.x, q.y);
                p.push_back(W(d.x));
                p.push_back(W(d.y));
            }
            Raw(META_POLYPOLYGON, p);
            break;
        }
        case TMetaKind::Rectangle:
            Box(META_RECTANGLE, FMap.R(I[0], I[1], I[2], I[3]));
            break;
        case TMetaKind::Ellipse:
            Box(META_ELLIPSE, FMap.R(I[0], I[1], I[2], I[3]));
            break;
        case TMetaKind::RoundRect:
            Box(META_ROUNDRECT, FMap.R(I[0], I[1], I[2], I[3]),
                {W(int(std::lround(I[5] * FMap.SY()))), W(int(std::lround(I[4] * FMap.SX())))});
            break;
        case TMetaKind::Arc:
        case TMetaKind::ArcTo:
        case TMetaKind::Pie:
        case TMetaKind::Chord: {
            const uint16_t fn = op.Kind == TMetaKind::Pie     ? META_PIE
                                : op.Kind == TMetaKind::Chord ? META_CHORD
                                                              : META_ARC;
            const TRect box = FMap.R(I[0], I[1], I[2], I[3]);
            TPoint a = FMap.P(I[4], I[5]), b = FMap.P(I[6], I[7]);
            TPoint s, e;
            if (op.Kind == TMetaKind::ArcTo) {
                // No arc-to here: a line to the arc, the arc, a move to its end.
                ArcShapePath(1, box.Left, box.Top, box.Right, box.Bottom, a.x, a.y, b.x, b.y,
                             FCur.ArcDirection, &s, &e);
                Rec(META_LINETO, {W(s.y), W(s.x)});
            }
            // Nor an arc direction: clockwise is counter-clockwise between swapped radials.
            if (FCur.ArcDirection == AD_CLOCKWISE) std::swap(a, b);
            Box(fn, box, {W(b.y), W(b.x), W(a.y), W(a.x)});
            if (op.Kind == TMetaKind::ArcTo) {
                Rec(META_MOVETO, {W(e.y), W(e.x)});
                FPos = FMap.Logical(e);
            }
            break;
        }
        case TMetaKind::Text:
            Text(op);
            break;
        case TMetaKind::FillRect: {
            const TMetaState keep = FCur;
            TMetaState m = FCur;
            m.Brush = op.Brush;
            State(m);
            const TRect r = FMap.R(op.R.Left, op.R.Top, op.R.Right, op.R.Bottom);
            Rec(META_PATBLT, {uint16_t(PATCOPY & 0xFFFF), uint16_t(PATCOPY >> 16),
                              W(r.Bottom - r.Top), W(r.Right - r.Left), W(r.Top), W(r.Left)});
            State(keep);
            break;
        }
        case TMetaKind::Pixel: {
            const TPoint p = FMap.P(op.P[0].x, op.P[0].y);
            Rec(META_SETPIXEL,
                {uint16_t(I[0] & 0xFFFF), uint16_t(uint32_t(I[0]) >> 16), W(p.y), W(p.x)});
            break;
        }
        case TMetaKind::Image:
            Image(op.R, op.Image, op.Rop);
            break;
        case TMetaKind::PatBlt: {
            const TRect r = FMap.R(op.R.Left, op.R.Top, op.R.Right, op.R.Bottom);
            Rec(META_PATBLT, {uint16_t(op.Rop & 0xFFFF), uint16_t(op.Rop >> 16),
                              W(r.Bottom - r.Top), W(r.Right - r.Left), W(r.Top), W(r.Left)});
            break;
        }
        case TMetaKind::Path:
            if (I[0] == PathBegin) {
                FInPath = true;
                FPath.clear();
            } else if (I[0] == PathEnd)
                FInPath = false;
            else if (I[0] == PathAbort) {
                FInPath = false;
                FPath.clear();
            } else if (I[0] == PathStroke || I[0] == PathFill || I[0] == PathStrokeFill) {
                FlushPath(I[0]);
            }
            break;
        case TMetaKind::SelectClipPath:
            FPath.clear();
            break;
        case TMetaKind::ClipRegion:
            // Old-style files clip by rectangles: the region's bounding box.
            if (op.HasRegion) {
                const QRect b = op.Region.boundingRect();
                Box(META_INTERSECTCLIPRECT, {b.left(), b.top(), b.right() + 1, b.bottom() + 1});
            }
            break;
        case TMetaKind::IntersectClip:
            Box(META_INTERSECTCLIPRECT, FMap.R(I[0], I[1], I[2], I[3]));
            break;
        case TMetaKind::ExcludeClip:
            Box(META_EXCLUDECLIPRECT, FMap.R(I[0], I[1], I[2], I[3]));
            break;
        case TMetaKind::SaveDC:
            Rec(META_SAVEDC, {});
            break;
        case TMetaKind::RestoreDC:
            Rec(META_RESTOREDC, {W(I.empty() ? -1 : I[0])});
            FHave = false;
            break;
        }
    }

    int FW, FH, FInch;
    TOut FBody;
    uint32_t FMaxRecord = 3;
    int FMaxObjects = 0;
    std::vector<bool> FSlots;
    int FPen = -1, FBrush = -1, FFont = -1;
    TMetaState FCur;
    bool FHave = false;
    TMap FMap;
    TPoint FPos;
    bool FInPath = false;
    std::vector<std::shared_ptr<const TMetaOp>> FPath;
};

// --- readers --------------------------------------------------------------------------

[[noreturn]] void Bad(const char* why) {
    throw EInvalidGraphic(AnsiString("Metafile is not valid (") + why + ")");
}

struct TIn {
    const std::vector<uint8_t>& D;
    size_t Begin, End; // the record's extent
    uint32_t U16(size_t at) const {
        if (at + 2 > End || at + 2 > D.size()) Bad("record too short");
        return uint32_t(D[at]) | uint32_t(D[at + 1]) << 8;
    }
    uint32_t U32(size_t at) const {
        if (at + 4 > End || at + 4 > D.size()) Bad("record too short");
        return U16(at) | U16(at + 2) << 16;
    }
    int I32(size_t at) const { return int32_t(U32(at)); }
    int I16(size_t at) const { return int16_t(U16(at)); }
};

struct TObj {
    int Type = 0;
    TPenData Pen;
    TBrushData Brush;
    LOGFONT Font;
};

class TReaderBase {
protected:
    TMetaOps& Ops;
    TMetaState M;
    bool Dirty = true;
    explicit TReaderBase(TMetaOps& ops) : Ops(ops) {
        M.Font.lfHeight = -12;
        std::strcpy(M.Font.lfFaceName, "Arial");
    }
    TMetaOp& New(TMetaKind k) {
        if (Dirty && k != TMetaKind::State) {
            auto s = std::make_shared<TMetaOp>();
            s->Kind = TMetaKind::State;
            s->State = M;
            Ops.push_back(s);
            Dirty = false;
        }
        auto op = std::make_shared<TMetaOp>();
        op->Kind = k;
        Ops.push_back(op);
        return *op;
    }
    void Select(const TObj& o) {
        if (o.Type == OBJ_PEN)
            M.Pen = o.Pen;
        else if (o.Type == OBJ_BRUSH)
            M.Brush = o.Brush;
        else if (o.Type == OBJ_FONT)
            M.Font = o.Font;
        Dirty = true;
    }
    static TObj Stock(uint32_t index) {
        TObj o;
        HGDIOBJ h = GetStockObject(int(index & 0x7FFFFFFF));
        if (!h) return o;
        TGdiObject* g = FindGdiObject(h);
        o.Type = g->Type;
        if (g->Type == OBJ_PEN) o.Pen = static_cast<TGdiPen*>(g)->Data;
        if (g->Type == OBJ_BRUSH) o.Brush = static_cast<TGdiBrush*>(g)->Data;
        if (g->Type == OBJ_FONT) o.Font = static_cast<TGdiFont*>(g)->Data;
        return o;
    }
    static AnsiString Utf16ToAnsi(const TIn& in, size_t at, uint32_t chars) {
        QString s;
        for (uint32_t i = 0; i < chars; ++i)
            s.append(QChar(char16_t(in.U16(at + 2 * i))));
        return QStringToAnsi(s);
    }
};

class TEmfReader : TReaderBase {
public:
    explicit TEmfReader(TMetaOps& ops) : TReaderBase(ops) {}

    void Read(const std::vector<uint8_t>& D, int& W, int& H) {
        TIn hdr{D, 0, D.size()};
        if (D.size() < 88 || hdr.U32(0) != EMR_HEADER || hdr.U32(40) != 0x464D4520)
            Bad("no enhanced metafile header");
        W = hdr.I32(16) - hdr.I32(8) + 1;
        H = hdr.I32(20) - hdr.I32(12) + 1;
        const int fw = hdr.I32(32) - hdr.I32(24) + 1, fh = hdr.I32(36) - hdr.I32(28) + 1;
        if (fw > 1 && fh > 1) {
            W = int(std::lround(fw * 96.0 / 2540));
            H = int(std::lround(fh * 96.0 / 2540));
        }
        if (W <= 0 || H <= 0 || W > 100000 || H > 100000) Bad("bad frame");
        size_t at = 0;
        bool eof = false;
        while (!eof) {
            if (at + 8 > D.size()) Bad("truncated");
            TIn r{D, at, D.size()};
            const uint32_t type = r.U32(at), size = r.U32(at + 4);
            if (size < 8 || size % 4 || at + size > D.size()) Bad("bad record size");
            TIn in{D, at, at + size};
            eof = Record(type, in, at + 8);
            at += size;
        }
    }

private:
    std::map<uint32_t, TObj> FObjects;

    std::vector<TPoint> Pts(const TIn& in, size_t at, uint32_t n, bool small) {
        if (uint64_t(n) * (small ? 4 : 8) > in.End - at) Bad("too many points");
        std::vector<TPoint> p;
        p.reserve(n);
        for (uint32_t i = 0; i < n; ++i)
            p.push_back(small ? TPoint(in.I16(at + 4 * i), in.I16(at + 4 * i + 2))
                              : TPoint(in.I32(at + 8 * i), in.I32(at + 8 * i + 4)));
        return p;
    }

    QImage DibImage(const TIn& in, size_t bmiAt, uint32_t bmiSize, size_t bitsAt,
                    uint32_t bitsSize) {
        if (bmiSize < 40 || bmiAt + bmiSize > in.End || bitsAt + bitsSize > in.End)
            Bad("bad bitmap");
        // A file image of the DIB: header, palette and bits.
        std::vector<uint8_t> file{'B', 'M'};
        const uint32_t total = 14 + bmiSize + bitsSize;
        for (int i = 0; i < 4; ++i)
            file.push_back(uint8_t(total >> (8 * i)));
        for (int i = 0; i < 4; ++i)
            file.push_back(0);
        const uint32_t off = 14 + bmiSize;
        for (int i = 0; i < 4; ++i)
            file.push_back(uint8_t(off >> (8 * i)));
        file.insert(file.end(), in.D.begin() + long(bmiAt), in.D.begin() + long(bmiAt + bmiSize));
        file.insert(file.end(), in.D.begin() + long(bitsAt),
                    in.D.begin() + long(bitsAt + bitsSize));
        return DecodeBmpImage(file);
    }
    static QImage DecodeBmpImage(const std::vector<uint8_t>& file);

    bool Record(uint32_t type, const TIn& in, size_t p) {
        switch (type) {
        case EMR_EOF:
            return true;
        case EMR_HEADER:
            break;
        case EMR_SETMAPMODE:
            M.MapMode = in.I32(p);
            Dirty = true;
            break;
        case EMR_SETWINDOWEXTEX:
            M.WindowExt = {in.I32(p), in.I32(p + 4)};
            Dirty = true;
            break;
        case EMR_SETWINDOWORGEX:
            M.WindowOrg = {in.I32(p), in.I32(p + 4)};
            Dirty = true;
            break;
        case EMR_SETVIEWPORTEXTEX:
            M.ViewportExt = {in.I32(p), in.I32(p + 4)};
            Dirty = true;
            break;
        case EMR_SETVIEWPORTORGEX:
            M.ViewportOrg = {in.I32(p), in.I32(p + 4)};
            Dirty = true;
            break;
        case EMR_SETBKMODE:
            M.BkMode = in.I32(p);
            Dirty = true;
            break;
        case EMR_SETPOLYFILLMODE:
            M.FillMode = in.I32(p);
            Dirty = true;
            break;
        case EMR_SETROP2:
            M.Rop2 = in.I32(p);
            Dirty = true;
            break;
        case EMR_SETSTRETCHBLTMODE:
            M.StretchMode = in.I32(p);
            Dirty = true;
            break;
        case EMR_SETTEXTALIGN:
            M.TextAlign = in.U32(p);
            Dirty = true;
            break;
        case EMR_SETTEXTCOLOR:
            M.TextColor = in.U32(p) & 0xFFFFFF;
            Dirty = true;
            break;
        case EMR_SETBKCOLOR:
            M.BkColor = in.U32(p) & 0xFFFFFF;
            Dirty = true;
            break;
        case EMR_SETARCDIRECTION:
            M.ArcDirection = in.I32(p);
            Dirty = true;
            break;
        case EMR_CREATEPEN: {
            TObj o;
            o.Type = OBJ_PEN;
            o.Pen.Style = in.U32(p + 4);
            o.Pen.Width = in.I32(p + 8);
            o.Pen.Color = in.U32(p + 16) & 0xFFFFFF;
            FObjects[in.U32(p)] = o;
            break;
        }
        case EMR_EXTCREATEPEN: {
            TObj o;
            o.Type = OBJ_PEN;
            o.Pen.Style = in.U32(p + 20);
            o.Pen.Width = in.I32(p + 24);
            if (in.U32(p + 28) == BS_NULL) o.Pen.Style = (o.Pen.Style & ~PS_STYLE_MASK) | PS_NULL;
            o.Pen.Color = in.U32(p + 32) & 0xFFFFFF;
            FObjects[in.U32(p)] = o;
            break;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            TObj o;
            o.Type = OBJ_BRUSH;
            o.Brush.Style = in.U32(p + 4);
            o.Brush.Color = in.U32(p + 8) & 0xFFFFFF;
            o.Brush.Hatch = int(in.U32(p + 12));
            if (o.Brush.Style > BS_HATCHED) o.Brush.Style = BS_SOLID;
            FObjects[in.U32(p)] = o;
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW: {
            TObj o;
            o.Type = OBJ_FONT;
            LOGFONT& lf = o.Font;
            lf.lfHeight = in.I32(p + 4);
            lf.lfWidth = in.I32(p + 8);
            lf.lfEscapement = in.I32(p + 12);
            lf.lfOrientation = in.I32(p + 16);
            lf.lfWeight = in.I32(p + 20);
            const uint32_t b0 = in.U32(p + 24), b1 = in.U32(p + 28);
            lf.lfItalic = BYTE(b0);
            lf.lfUnderline = BYTE(b0 >> 8);
            lf.lfStrikeOut = BYTE(b0 >> 16);
            lf.lfCharSet = BYTE(b0 >> 24);
            lf.lfOutPrecision = BYTE(b1);
            lf.lfClipPrecision = BYTE(b1 >> 8);
            lf.lfQuality = BYTE(b1 >> 16);
            lf.lfPitchAndFamily = BYTE(b1 >> 24);
            QString face;
            for (int i = 0; i < 32; ++i) {
                const char16_t c = char16_t(in.U16(p + 32 + 2 * size_t(i)));
                if (!c) break;
                face.append(QChar(c));
            }
            const AnsiString f = QStringToAnsi(face);
            std::strncpy(lf.lfFaceName, f.c_str(), LF_FACESIZE - 1);
            FObjects[in.U32(p)] = o;
            break;
        }
        case EMR_SELECTOBJECT: {
            const uint32_t ih = in.U32(p);
            if (ih & 0x80000000u)
                Select(Stock(ih));
            else if (auto it = FObjects.find(ih); it != FObjects.end())
                Select(it->second);
            break;
        }
        case EMR_DELETEOBJECT:
            FObjects.erase(in.U32(p));
            break;
        case EMR_MOVETOEX:
            New(TMetaKind::MoveTo).P = {{in.I32(p), in.I32(p + 4)}};
            break;
        case EMR_LINETO:
            New(TMetaKind::LineTo).P = {{in.I32(p), in.I32(p + 4)}};
            break;
        case EMR_POLYLINE16:
        case EMR_POLYGON16:
        case EMR_POLYBEZIER16:
        case EMR_POLYBEZIERTO16:
        case EMR_POLYLINE:
        case EMR_POLYGON:
        case EMR_POLYBEZIER:
        case EMR_POLYBEZIERTO: {
            const bool small = type >= EMR_POLYBEZIER16;
            const uint32_t n = in.U32(p + 16);
            TMetaKind k = TMetaKind::Polyline;
            if (type == EMR_POLYGON16 || type == EMR_POLYGON) k = TMetaKind::Polygon;
            if (type == EMR_POLYBEZIER16 || type == EMR_POLYBEZIER) k = TMetaKind::PolyBezier;
            if (type == EMR_POLYBEZIERTO16 || type == EMR_POLYBEZIERTO) k = TMetaKind::PolyBezierTo;
            std::vector<TPoint> pts = Pts(in, p + 20, n, small);
            New(k).P = std::move(pts);
            break;
        }
        case EMR_POLYPOLYGON16:
        case EMR_POLYPOLYGON: {
            const bool small = type == EMR_POLYPOLYGON16;
            const uint32_t polys = in.U32(p + 16), total = in.U32(p + 20);
            if (uint64_t(polys) * 4 > in.End - (p + 24)) Bad("too many polygons");
            std::vector<int> counts;
            uint64_t sum = 0;
            for (uint32_t i = 0; i < polys; ++i) {
                counts.push_back(int(in.U32(p + 24 + 4 * size_t(i))));
                sum += uint32_t(counts.back());
            }
            if (sum != total) Bad("polygon counts");
            std::vector<TPoint> pts = Pts(in, p + 24 + 4 * size_t(polys), total, small);
            TMetaOp& op = New(TMetaKind::PolyPolygon);
            op.Counts = counts;
            op.P = std::move(pts);
            break;
        }
        case EMR_RECTANGLE:
        case EMR_ELLIPSE:
            New(type == EMR_RECTANGLE ? TMetaKind::Rectangle : TMetaKind::Ellipse).I = {
                in.I32(p), in.I32(p + 4), in.I32(p + 8), in.I32(p + 12)};
            break;
        case EMR_ROUNDRECT:
            New(TMetaKind::RoundRect).I = {in.I32(p),      in.I32(p + 4),  in.I32(p + 8),
                                           in.I32(p + 12), in.I32(p + 16), in.I32(p + 20)};
            break;
        case EMR_ARC:
        case EMR_ARCTO:
        case EMR_PIE:
        case EMR_CHORD: {
            const TMetaKind k = type == EMR_ARC     ? TMetaKind::Arc
                                : type == EMR_ARCTO ? TMetaKind::ArcTo
                                : type == EMR_PIE   ? TMetaKind::Pie
                                                    : TMetaKind::Chord;
            std::vector<int> v;
            for (int i = 0; i < 8; ++i)
                v.push_back(in.I32(p + 4 * size_t(i)));
            New(k).I = v;
            break;
        }
        case EMR_EXTTEXTOUTW:
        case EMR_EXTTEXTOUTA: {
            const size_t t = p + 28; // EMRTEXT
            const uint32_t n = in.U32(t + 8), offString = in.U32(t + 12);
            const uint32_t options = in.U32(t + 16), offDx = in.U32(t + 36);
            if (n > 65536) Bad("text too long");
            const size_t s = in.Begin + offString;
            AnsiString text;
            if (type == EMR_EXTTEXTOUTW)
                text = Utf16ToAnsi(in, s, n);
            else {
                if (s + n > in.End) Bad("record too short");
                text = AnsiString(reinterpret_cast<const char*>(in.D.data() + s), int(n));
            }
            TMetaOp& op = New(TMetaKind::Text);
            op.P = {{in.I32(t), in.I32(t + 4)}};
            op.Options = options;
            if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
                op.HasRect = true;
                op.R = {in.I32(t + 20), in.I32(t + 24), in.I32(t + 28), in.I32(t + 32)};
            }
            op.Text = text;
            if (offDx)
                for (uint32_t i = 0; i < n; ++i)
                    op.Dx.push_back(in.I32(in.Begin + offDx + 4 * i));
            break;
        }
        case EMR_SETPIXELV: {
            TMetaOp& op = New(TMetaKind::Pixel);
            op.P = {{in.I32(p), in.I32(p + 4)}};
            op.I = {int(in.U32(p + 8) & 0xFFFFFF)};
            break;
        }
        case EMR_STRETCHDIBITS: {
            const int xd = in.I32(p + 16), yd = in.I32(p + 20);
            const int xs = in.I32(p + 24), ys = in.I32(p + 28), cxs = in.I32(p + 32),
                      cys = in.I32(p + 36);
            QImage img = DibImage(in, in.Begin + in.U32(p + 40), in.U32(p + 44),
                                  in.Begin + in.U32(p + 48), in.U32(p + 52));
            TMetaOp& op = New(TMetaKind::Image);
            op.Rop = in.U32(p + 60);
            op.R = {xd, yd, xd + in.I32(p + 64), yd + in.I32(p + 68)};
            op.Image = (cxs > 0 && cys > 0) ? img.copy(xs, img.height() - ys - cys, cxs, cys) : img;
            break;
        }
        case EMR_BITBLT: {
            const int x = in.I32(p + 16), y = in.I32(p + 20), w = in.I32(p + 24),
                      h = in.I32(p + 28);
            const DWORD rop = in.U32(p + 32);
            const uint32_t cbBmi = in.U32(p + 80);
            if (cbBmi == 0) {
                TMetaOp& op = New(TMetaKind::PatBlt);
                op.R = {x, y, x + w, y + h};
                op.Rop = rop;
            } else {
                QImage img = DibImage(in, in.Begin + in.U32(p + 76), cbBmi,
                                      in.Begin + in.U32(p + 84), in.U32(p + 88));
                TMetaOp& op = New(TMetaKind::Image);
                op.R = {x, y, x + w, y + h};
                op.Rop = rop;
                op.Image = img;
            }
            break;
        }
        case EMR_BEGINPATH:
            New(TMetaKind::Path).I = {PathBegin};
            break;
        case EMR_ENDPATH:
            New(TMetaKind::Path).I = {PathEnd};
            break;
        case EMR_ABORTPATH:
            New(TMetaKind::Path).I = {PathAbort};
            break;
        case EMR_CLOSEFIGURE:
            New(TMetaKind::Path).I = {PathClose};
            break;
        case EMR_STROKEPATH:
            New(TMetaKind::Path).I = {PathStroke};
            break;
        case EMR_FILLPATH:
            New(TMetaKind::Path).I = {PathFill};
            break;
        case EMR_STROKEANDFILLPATH:
            New(TMetaKind::Path).I = {PathStrokeFill};
            break;
        case EMR_WIDENPATH:
            New(TMetaKind::Path).I = {PathWiden};
            break;
        case EMR_SELECTCLIPPATH:
            New(TMetaKind::SelectClipPath).Mode = in.I32(p);
            break;
        case EMR_INTERSECTCLIPRECT:
        case EMR_EXCLUDECLIPRECT:
            New(type == EMR_INTERSECTCLIPRECT ? TMetaKind::IntersectClip : TMetaKind::ExcludeClip)
                .I = {in.I32(p), in.I32(p + 4), in.I32(p + 8), in.I32(p + 12)};
            break;
        case EMR_EXTSELECTCLIPRGN: {
            const uint32_t cb = in.U32(p);
            TMetaOp& op = New(TMetaKind::ClipRegion);
            op.Mode = in.I32(p + 4);
            if (cb >= 32) {
                const uint32_t n = in.U32(p + 8 + 8);
                if (uint64_t(n) * 16 + 32 > cb) Bad("bad region");
                op.HasRegion = true;
                for (uint32_t i = 0; i < n; ++i) {
                    const size_t r = p + 8 + 32 + 16 * size_t(i);
                    const int l = in.I32(r), t = in.I32(r + 4), rr = in.I32(r + 8),
                              b = in.I32(r + 12);
                    if (rr > l && b > t) op.Region += QRect(l, t, rr - l, b - t);
                }
            }
            break;
        }
        case EMR_SAVEDC:
            New(TMetaKind::SaveDC);
            break;
        case EMR_RESTOREDC:
            New(TMetaKind::RestoreDC).I = {in.I32(p)};
            Dirty = true;
            break;
        default:
            break; // records without a counterpart here are skipped
        }
        return false;
    }
};

class TWmfReader : TReaderBase {
public:
    explicit TWmfReader(TMetaOps& ops) : TReaderBase(ops) {}

    void Read(const std::vector<uint8_t>& D, int& W, int& H) {
        TIn all{D, 0, D.size()};
        size_t at = 0;
        int inch = 96;
        double sx = 1, sy = 1;
        int ox = 0, oy = 0;
        bool placeable = false;
        if (D.size() >= 22 && all.U32(0) == 0x9AC6CDD7) {
            placeable = true;
            ox = all.I16(6);
            oy = all.I16(8);
            const int r = all.I16(10), b = all.I16(12);
            inch = int(all.U16(14));
            if (inch <= 0) Bad("bad placeable header");
            W = int(std::lround((r - ox) * 96.0 / inch));
            H = int(std::lround((b - oy) * 96.0 / inch));
            sx = sy = 96.0 / inch;
            at = 22;
        }
        if (at + 18 > D.size()) Bad("no metafile header");
        const uint32_t headerWords = all.U16(at + 2);
        if (headerWords != 9) Bad("no metafile header");
        at += 18;
        // Placeable files draw in their own units: map them to 96 per inch.
        M.MapMode = MM_ANISOTROPIC;
        M.WindowOrg = {ox, oy};
        M.WindowExt = {inch, inch};
        M.ViewportExt = {96, 96};
        (void)sx;
        (void)sy;
        bool windowSet = false;
        while (true) {
            if (at + 6 > D.size()) Bad("truncated");
            TIn r{D, at, D.size()};
            const uint64_t words = r.U32(at);
            const uint16_t fn = uint16_t(r.U16(at + 4));
            if (words < 3 || at + words * 2 > D.size()) Bad("bad record size");
            TIn in{D, at, size_t(at + words * 2)};
            if (fn == META_EOF) break;
            if (fn == META_SETWINDOWEXT && !placeable) {
                windowSet = true;
                W = std::abs(in.I16(at + 8));
                H = std::abs(in.I16(at + 6));
            }
            Record(fn, in, at + 6);
            at += size_t(words * 2);
        }
        if (!placeable && !windowSet) Bad("no picture size");
        if (W <= 0 || H <= 0 || W > 100000 || H > 100000) Bad("bad picture size");
    }

private:
    std::vector<TObj> FSlots;

    void Add(const TObj& o) {
        for (auto& s : FSlots)
            if (s.Type == 0) {
                s = o;
                return;
            }
        FSlots.push_back(o);
    }
    TRect Box(const TIn& in, size_t p) {
        return {in.I16(p + 6), in.I16(p + 4), in.I16(p + 2), in.I16(p)};
    }
    std::vector<TPoint> Pts(const TIn& in, size_t p, uint32_t n) {
        if (uint64_t(n) * 4 > in.End - p) Bad("too many points");
        std::vector<TPoint> v;
        for (uint32_t i = 0; i < n; ++i)
            v.push_back({in.I16(p + 4 * i), in.I16(p + 4 * i + 2)});
        return v;
    }

    void Record(uint16_t fn, const TIn& in, size_t p) {
        switch (fn) {
        case META_SETBKMODE:
            M.BkMode = int(in.U16(p));
            Dirty = true;
            break;
        case META_SETMAPMODE:
            break;
        case META_SETROP2:
            M.Rop2 = int(in.U16(p));
            Dirty = true;
            break;
        case META_SETPOLYFILLMODE:
            M.FillMode = int(in.U16(p));
            Dirty = true;
            break;
        case META_SETTEXTCHAREXTRA:
            M.CharExtra = in.I16(p);
            Dirty = true;
            break;
        case META_SETTEXTALIGN:
            M.TextAlign = in.U16(p);
            Dirty = true;
            break;
        case META_SETBKCOLOR:
            M.BkColor = in.U32(p) & 0xFFFFFF;
            Dirty = true;
            break;
        case META_SETTEXTCOLOR:
            M.TextColor = in.U32(p) & 0xFFFFFF;
            Dirty = true;
            break;
        case META_SETWINDOWORG:
            if (M.WindowExt.cx == 96 && M.ViewportExt.cx == 96) {
                M.WindowOrg = {in.I16(p + 2), in.I16(p)};
                Dirty = true;
            }
            break;
        case META_CREATEPENINDIRECT: {
            TObj o;
            o.Type = OBJ_PEN;
            o.Pen.Style = in.U16(p);
            o.Pen.Width = in.I16(p + 2);
            o.Pen.Color = in.U32(p + 6) & 0xFFFFFF;
            Add(o);
            break;
        }
        case META_CREATEBRUSHINDIRECT: {
            TObj o;
            o.Type = OBJ_BRUSH;
            o.Brush.Style = in.U16(p);
            if (o.Brush.Style > BS_HATCHED) o.Brush.Style = BS_SOLID;
            o.Brush.Color = in.U32(p + 2) & 0xFFFFFF;
            o.Brush.Hatch = int(in.U16(p + 6));
            Add(o);
            break;
        }
        case META_CREATEFONTINDIRECT: {
            TObj o;
            o.Type = OBJ_FONT;
            LOGFONT& lf = o.Font;
            lf.lfHeight = in.I16(p);
            lf.lfWidth = in.I16(p + 2);
            lf.lfEscapement = in.I16(p + 4);
            lf.lfOrientation = in.I16(p + 6);
            lf.lfWeight = in.I16(p + 8);
            const uint32_t a = in.U32(p + 10), b = in.U32(p + 14);
            lf.lfItalic = BYTE(a);
            lf.lfUnderline = BYTE(a >> 8);
            lf.lfStrikeOut = BYTE(a >> 16);
            lf.lfCharSet = BYTE(a >> 24);
            lf.lfOutPrecision = BYTE(b);
            lf.lfClipPrecision = BYTE(b >> 8);
            lf.lfQuality = BYTE(b >> 16);
            lf.lfPitchAndFamily = BYTE(b >> 24);
            for (int i = 0; i < LF_FACESIZE - 1 && p + 18 + size_t(i) < in.End; ++i) {
                lf.lfFaceName[i] = char(in.D[p + 18 + size_t(i)]);
                if (!lf.lfFaceName[i]) break;
            }
            Add(o);
            break;
        }
        case META_SELECTOBJECT: {
            const uint32_t i = in.U16(p);
            if (i < FSlots.size()) Select(FSlots[i]);
            break;
        }
        case META_DELETEOBJECT: {
            const uint32_t i = in.U16(p);
            if (i < FSlots.size()) FSlots[i] = TObj();
            break;
        }
        case META_MOVETO:
            New(TMetaKind::MoveTo).P = {{in.I16(p + 2), in.I16(p)}};
            break;
        case META_LINETO:
            New(TMetaKind::LineTo).P = {{in.I16(p + 2), in.I16(p)}};
            break;
        case META_POLYLINE:
        case META_POLYGON: {
            auto pts = Pts(in, p + 2, in.U16(p));
            New(fn == META_POLYLINE ? TMetaKind::Polyline : TMetaKind::Polygon).P = std::move(pts);
            break;
        }
        case META_POLYPOLYGON: {
            const uint32_t n = in.U16(p);
            std::vector<int> counts;
            uint32_t total = 0;
            for (uint32_t i = 0; i < n; ++i) {
                counts.push_back(int(in.U16(p + 2 + 2 * i)));
                total += uint32_t(counts.back());
            }
            auto pts = Pts(in, p + 2 + 2 * size_t(n), total);
            TMetaOp& op = New(TMetaKind::PolyPolygon);
            op.Counts = counts;
            op.P = std::move(pts);
            break;
        }
        case META_RECTANGLE:
        case META_ELLIPSE: {
            const TRect r = Box(in, p);
            New(fn == META_RECTANGLE ? TMetaKind::Rectangle : TMetaKind::Ellipse).I = {
                r.Left, r.Top, r.Right, r.Bottom};
            break;
        }
        case META_ROUNDRECT: {
            const TRect r = Box(in, p + 4);
            New(TMetaKind::RoundRect).I = {r.Left,   r.Top,         r.Right,
                                           r.Bottom, in.I16(p + 2), in.I16(p)};
            break;
        }
        case META_ARC:
        case META_PIE:
        case META_CHORD: {
            const TRect r = Box(in, p + 8);
            New(fn == META_ARC   ? TMetaKind::Arc
                : fn == META_PIE ? TMetaKind::Pie
                                 : TMetaKind::Chord)
                .I = {r.Left,        r.Top,         r.Right,       r.Bottom,
                      in.I16(p + 6), in.I16(p + 4), in.I16(p + 2), in.I16(p)};
            break;
        }
        case META_TEXTOUT: {
            const uint32_t n = in.U16(p);
            const size_t s = p + 2;
            if (s + n > in.End) Bad("record too short");
            const size_t after = s + ((n + 1) & ~1u);
            TMetaOp& op = New(TMetaKind::Text);
            op.Text = AnsiString(reinterpret_cast<const char*>(in.D.data() + s), int(n));
            op.P = {{in.I16(after + 2), in.I16(after)}};
            break;
        }
        case META_EXTTEXTOUT: {
            const int y = in.I16(p), x = in.I16(p + 2);
            const uint32_t n = in.U16(p + 4), options = in.U16(p + 6);
            size_t s = p + 8;
            TMetaOp& op = New(TMetaKind::Text);
            op.P = {{x, y}};
            op.Options = options;
            if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
                op.HasRect = true;
                op.R = {in.I16(s), in.I16(s + 2), in.I16(s + 4), in.I16(s + 6)};
                s += 8;
            }
            if (s + n > in.End) Bad("record too short");
            op.Text = AnsiString(reinterpret_cast<const char*>(in.D.data() + s), int(n));
            const size_t dx = s + ((n + 1) & ~1u);
            if (dx + 2 * size_t(n) <= in.End)
                for (uint32_t i = 0; i < n; ++i)
                    op.Dx.push_back(in.I16(dx + 2 * i));
            break;
        }
        case META_SETPIXEL: {
            TMetaOp& op = New(TMetaKind::Pixel);
            op.I = {int(in.U32(p) & 0xFFFFFF)};
            op.P = {{in.I16(p + 6), in.I16(p + 4)}};
            break;
        }
        case META_PATBLT: {
            TMetaOp& op = New(TMetaKind::PatBlt);
            op.Rop = in.U32(p);
            const int h = in.I16(p + 4), w = in.I16(p + 6), y = in.I16(p + 8), x = in.I16(p + 10);
            op.R = {x, y, x + w, y + h};
            break;
        }
        case META_STRETCHDIB: {
            const DWORD rop = in.U32(p);
            const int dh = in.I16(p + 14), dw = in.I16(p + 16), dy = in.I16(p + 18),
                      dx = in.I16(p + 20);
            const size_t bmi = p + 22;
            if (bmi + 40 > in.End) Bad("bad bitmap");
            std::vector<uint8_t> file{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
            const uint32_t hsize = in.U32(bmi), bpp = in.U16(bmi + 14), used = in.U32(bmi + 32);
            const uint32_t colours = bpp <= 8 ? (used ? used : 1u << bpp) : 0;
            const uint32_t off = 14 + hsize + colours * 4;
            for (int i = 0; i < 4; ++i)
                file.push_back(uint8_t(off >> (8 * i)));
            file.insert(file.end(), in.D.begin() + long(bmi), in.D.begin() + long(in.End));
            TMetaOp& op = New(TMetaKind::Image);
            op.Image = DecodeBmp(file, nullptr);
            op.Rop = rop;
            op.R = {dx, dy, dx + dw, dy + dh};
            break;
        }
        case META_INTERSECTCLIPRECT:
        case META_EXCLUDECLIPRECT: {
            const TRect r = Box(in, p);
            New(fn == META_INTERSECTCLIPRECT ? TMetaKind::IntersectClip : TMetaKind::ExcludeClip)
                .I = {r.Left, r.Top, r.Right, r.Bottom};
            break;
        }
        case META_SAVEDC:
            New(TMetaKind::SaveDC);
            break;
        case META_RESTOREDC:
            New(TMetaKind::RestoreDC).I = {in.I16(p)};
            Dirty = true;
            break;
        default:
            break;
        }
    }
};

QImage TEmfReader::DecodeBmpImage(const std::vector<uint8_t>& file) {
    return DecodeBmp(file, nullptr);
}

} // namespace

std::vector<uint8_t> WriteEmf(const TMetaOps& Ops, int Width, int Height,
                              const AnsiString& Description) {
    return TEmfWriter(Width, Height).Write(Ops, Description);
}

std::vector<uint8_t> WriteWmf(const TMetaOps& Ops, int Width, int Height, int Inch) {
    // Units are the metafile's pixels at 96 per inch; Inch only labels them.
    (void)Inch;
    return TWmfWriter(Width, Height, 96).Write(Ops);
}

void ReadMetafile(const std::vector<uint8_t>& Data, TMetaOps& Ops, int& Width, int& Height,
                  bool& Enhanced) {
    Ops.clear();
    if (Data.size() >= 44 && Data[0] == 1 && Data[1] == 0 && Data[2] == 0 && Data[3] == 0) {
        Enhanced = true;
        TEmfReader(Ops).Read(Data, Width, Height);
    } else {
        Enhanced = false;
        TWmfReader(Ops).Read(Data, Width, Height);
    }
}
