// Metafile files written: the enhanced (EMF) and the placeable old-style
// (WMF) writer. Coordinates are written in the metafile's device units.
//   the mapping and bitmap helpers both writers share;
//   enhanced files (TEmfWriter); old-style files (TWmfWriter); entry points.
#include "platform/graphics/metafilerecords.h"
#include "platform/graphics/qtbridge.h"
#include "platform/graphics/raster.h"
#include <cmath>

namespace {

int16_t Clamp16(int v) {
    return int16_t(std::clamp(v, -32768, 32767));
}

// The mapping of a recorded state: logical -> metafile device units.
struct TMap {
    TMetaState M;
    bool Scales() const { return M.MapMode != MM_TEXT && M.WindowExt.cx && M.WindowExt.cy; }
    TPoint P(int x, int y) const {
        const double dx = double(x) - M.WindowOrg.x, dy = double(y) - M.WindowOrg.y;
        if (!Scales()) return {PixelPos(dx + M.ViewportOrg.x), PixelPos(dy + M.ViewportOrg.y)};
        return {PixelPos(dx * M.ViewportExt.cx / M.WindowExt.cx + M.ViewportOrg.x),
                PixelPos(dy * M.ViewportExt.cy / M.WindowExt.cy + M.ViewportOrg.y)};
    }
    TPoint P(TPoint p) const { return P(p.x, p.y); }
    TPoint Logical(TPoint d) const {
        const double dx = double(d.x) - M.ViewportOrg.x, dy = double(d.y) - M.ViewportOrg.y;
        if (!Scales() || !M.ViewportExt.cx || !M.ViewportExt.cy)
            return {PixelPos(dx + M.WindowOrg.x), PixelPos(dy + M.WindowOrg.y)};
        return {PixelPos(dx * M.WindowExt.cx / M.ViewportExt.cx + M.WindowOrg.x),
                PixelPos(dy * M.WindowExt.cy / M.ViewportExt.cy + M.WindowOrg.y)};
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
    int X(int v) const { return MetaRound(v * SX()); } // a width
    int Y(int v) const { return MetaRound(v * SY()); } // a height
    TRect R(int l, int t, int r, int b) const {
        const TPoint a = P(l, t), c = P(r, b);
        return {a.x, a.y, c.x, c.y};
    }
    TRect R(const TRect& r) const { return R(r.Left, r.Top, r.Right, r.Bottom); }
    // A shape's numbers (box, then corner sizes or radial points) in device units.
    std::vector<int> Box(const std::vector<int>& I) const {
        const TRect r = R(I[0], I[1], I[2], I[3]);
        std::vector<int> out{r.Left, r.Top, r.Right, r.Bottom};
        if (I.size() == 6) {
            out.push_back(X(I[4]));
            out.push_back(Y(I[5]));
        } else if (I.size() == 8) {
            const TPoint a = P(I[4], I[5]), b = P(I[6], I[7]);
            out.insert(out.end(), {a.x, a.y, b.x, b.y});
        }
        return out;
    }
    int PenWidth(const TPenData& p) const {
        if (p.Scales()) return std::max(1, MetaRound(p.Width * SX()));
        return p.Width;
    }
    int FontHeight(int h) const {
        if (h == 0) return 0;
        const int v = std::max(1, MetaRound(std::fabs(double(h)) * SY()));
        return h < 0 ? -v : v;
    }
};

std::u16string Utf16(const AnsiString& s) {
    const QString q = AnsiToQString(s);
    return std::u16string(reinterpret_cast<const char16_t*>(q.utf16()), size_t(q.size()));
}

// 24-bit bottom-up DIB of an image; Mask: white where clear, black elsewhere;
// Black: clear pixels turned black.
enum class TDib { Plain, Mask, Black };
std::vector<uint8_t> Dib(const QImage& img, TDib mode) {
    const int w = img.width(), h = img.height();
    const int stride = ((w * 3 + 3) / 4) * 4;
    std::vector<uint8_t> bits(size_t(stride) * h, 0);
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uint8_t* dst = bits.data() + size_t(stride) * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            QRgb c = src[x];
            const bool clear = img.hasAlphaChannel() && qAlpha(c) < 128;
            if (mode == TDib::Mask)
                c = clear ? 0xFFFFFFFF : 0xFF000000;
            else if (mode == TDib::Black && clear)
                c = 0xFF000000;
            dst[3 * x] = uint8_t(qBlue(c));
            dst[3 * x + 1] = uint8_t(qGreen(c));
            dst[3 * x + 2] = uint8_t(qRed(c));
        }
    }
    return bits;
}

// An image as the block transfers that draw it: a masked image (clear pixels
// keep the destination) as a mask and the image over it.
template <typename Fn> void Blits(const QImage& img, DWORD rop, Fn&& blit) {
    if (img.isNull()) return;
    // A picture no reader here would take back is refused, not written.
    if (int64_t(img.width()) * img.height() > MaxPicturePixels)
        throw EInvalidGraphicOperation("Picture too large for a metafile");
    if (img.hasAlphaChannel()) {
        blit(Dib(img, TDib::Mask), DWORD(SRCAND));
        blit(Dib(img, TDib::Black), DWORD(SRCPAINT));
    } else
        blit(Dib(img, TDib::Plain), rop);
}

void BitmapInfoHeader(TMetaOut& o, int w, int h, uint32_t imageBytes) {
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

// The pixels of a pattern brush, as the canvas tiles them; null for any other
// brush (a pattern brush without a pattern paints its colour).
QImage PatternOf(const TBrushData& b) {
    if (b.Style != BS_PATTERN || !b.Pattern || b.Pattern->Empty()) return QImage();
    const QImage img =
        BitmapImage(const_cast<TBitmap*>(b.Pattern.get()))->convertToFormat(QImage::Format_RGB32);
    if (int64_t(img.width()) * img.height() > MaxPicturePixels)
        throw EInvalidGraphicOperation("Brush pattern too large for a metafile");
    return img;
}

constexpr uint32_t BS_DIBPATTERN = 5, DIB_RGB_COLORS = 0;

// --- enhanced files ---------------------------------------------------------------

class TEmfWriter {
public:
    TEmfWriter(int w, int h) : FW(w), FH(h) {}

    std::vector<uint8_t> Write(const TMetaOps& ops, const AnsiString& description) {
        for (const auto& op : ops)
            Op(*op);
        Record(EMR_EOF, [](TMetaOut& o) { o.Dwords(0, 16, 20); });
        // Header last, now that sizes and counts are known.
        TMetaOut h;
        const std::u16string desc = Utf16(description);
        const uint32_t headerSize = 108 + uint32_t(((desc.size() * 2) + 3) / 4 * 4);
        h.Dwords(EMR_HEADER, headerSize, 0, 0, FW - 1, FH - 1, 0, 0,
                 std::lround(FW * 2540.0 / 96) - 1, std::lround(FH * 2540.0 / 96) - 1, 0x464D4520,
                 0x10000, headerSize + FBody.B.size(), FRecords + 1);
        h.U16(uint32_t(FNextHandle));
        h.U16(0);
        h.Dwords(desc.size(), desc.empty() ? 0 : 108, 0, 1920, 1080, 508, 286,
                 0 /* no pixel format */, 0, 0 /* not OpenGL */, 508000, 285750);
        for (char16_t c : desc)
            h.U16(c);
        h.Pad4();
        h.Bytes(FBody.B.data(), FBody.B.size());
        return h.B;
    }

private:
    template <typename Fn> void Record(uint32_t type, Fn&& body) {
        TMetaOut o;
        body(o);
        o.Pad4();
        FBody.U32(type);
        FBody.U32(uint32_t(o.B.size() + 8));
        FBody.Bytes(o.B.data(), o.B.size());
        ++FRecords;
    }
    void Bounds(TMetaOut& o) { o.Dwords(0, 0, FW - 1, FH - 1); }
    void Value(uint32_t type, uint32_t v) {
        Record(type, [&](TMetaOut& o) { o.U32(v); });
    }

    uint32_t NewPen(const TPenData& p) {
        const uint32_t ih = FNextHandle++;
        const int width = FMap.PenWidth(p);
        if ((p.Style & PS_TYPE_MASK) == PS_GEOMETRIC || p.Cosmetic ||
            (p.Style & PS_STYLE_MASK) == PS_ALTERNATE)
            Record(EMR_EXTCREATEPEN, [&](TMetaOut& o) {
                o.Dwords(ih, 52, 0, 52, 0, p.Style, width, BS_SOLID, p.Color, 0, 0);
            });
        else
            Record(EMR_CREATEPEN,
                   [&](TMetaOut& o) { o.Dwords(ih, p.Style & PS_STYLE_MASK, width, 0, p.Color); });
        return ih;
    }
    uint32_t NewBrush(const TBrushData& b) {
        const uint32_t ih = FNextHandle++;
        if (const QImage pattern = PatternOf(b); !pattern.isNull()) {
            const std::vector<uint8_t> bits = Dib(pattern, TDib::Plain);
            Record(EMR_CREATEDIBPATTERNBRUSHPT, [&](TMetaOut& o) {
                o.Dwords(ih, DIB_RGB_COLORS, 32, 40, 72, bits.size());
                BitmapInfoHeader(o, pattern.width(), pattern.height(), uint32_t(bits.size()));
                o.Bytes(bits.data(), bits.size());
            });
            return ih;
        }
        Record(EMR_CREATEBRUSHINDIRECT,
               [&](TMetaOut& o) { o.Dwords(ih, BrushStyleOf(b), b.Color, b.Hatch); });
        return ih;
    }
    uint32_t NewFont(const LOGFONT& lf) {
        const uint32_t ih = FNextHandle++;
        Record(EMR_EXTCREATEFONTINDIRECTW, [&](TMetaOut& o) {
            o.Dwords(ih, FMap.FontHeight(lf.lfHeight), lf.lfWidth, lf.lfEscapement,
                     lf.lfOrientation, lf.lfWeight);
            for (const BYTE* b : MetaFontBytes(lf))
                o.U8(*b);
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
    // Selects a new object in place of Slot's, which is freed.
    void Replace(uint32_t& Slot, uint32_t ih) {
        Select(ih);
        if (Slot) Delete(Slot);
        Slot = ih;
    }

    void State(const TMetaState& m) {
        const TMetaState& c = FCur;
        const bool all = !FHave;
        FMap.M = m;
        for (const TMetaModeRecord& r : MetaModeRecords)
            if (all || (r.Of(m) & r.Mask) != (r.Of(c) & r.Mask)) Value(r.Emf, r.Of(m) & r.Mask);
        // Objects depend on the scale too (pen widths, font heights).
        const bool scaleChanged = all || !m.SameMapping(c);
        if (all || !(m.Pen == c.Pen) || scaleChanged) Replace(FPen, NewPen(m.Pen));
        if (all || !m.SameBrush(c)) Replace(FBrush, NewBrush(m.Brush));
        if (all || !m.SameFont(c) || scaleChanged) Replace(FFont, NewFont(m.Font));
        FCur = m;
        FHave = true;
    }

    void Points(uint32_t type16, uint32_t type32, const std::vector<TPoint>& pts) {
        std::vector<TPoint> d;
        bool small = true;
        for (const TPoint& p : pts) {
            d.push_back(FMap.P(p));
            small = small && d.back().x == Clamp16(d.back().x) && d.back().y == Clamp16(d.back().y);
        }
        Record(small ? type16 : type32, [&](TMetaOut& o) {
            Bounds(o);
            o.U32(uint32_t(d.size()));
            for (const TPoint& p : d) {
                if (small) {
                    o.U16(uint16_t(p.x));
                    o.U16(uint16_t(p.y));
                } else
                    o.Pt(p);
            }
        });
    }

    void Shape(const TMetaShapeRecord& s, const TMetaOp& op) {
        switch (s.Form) {
        case TShapeForm::Points:
            Points(s.Emf16, s.Emf, op.P);
            break;
        case TShapeForm::Point:
            Record(s.Emf, [&](TMetaOut& o) { o.Pt(FMap.P(op.P[0])); });
            break;
        case TShapeForm::Numbers:
            Record(s.Emf, [&](TMetaOut& o) {
                for (int v : FMap.Box(op.I))
                    o.I32(v);
            });
            break;
        }
    }

    void Image(const TRect& dest, const QImage& img, DWORD rop) {
        const TRect d = FMap.R(dest);
        Blits(img, rop, [&](const std::vector<uint8_t>& bits, DWORD r) {
            Record(EMR_STRETCHDIBITS, [&](TMetaOut& o) {
                Bounds(o);
                o.Dwords(d.Left, d.Top, 0, 0, img.width(), img.height(), 80, 40, 120, bits.size(),
                         0, r, d.Right - d.Left, d.Bottom - d.Top);
                BitmapInfoHeader(o, img.width(), img.height(), uint32_t(bits.size()));
                o.Bytes(bits.data(), bits.size());
            });
        });
    }

    void PatBlt(const TRect& r, DWORD rop) {
        const TRect d = FMap.R(r);
        Record(EMR_BITBLT, [&](TMetaOut& o) {
            Bounds(o);
            o.Dwords(d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top, rop, 0, 0);
            for (float f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f})
                o.F32(f);
            o.Dwords(0, 0, 0, 0, 0, 0);
        });
    }

    void Text(const TMetaOp& op) {
        const std::u16string text = Utf16(op.Text);
        const TPoint p = FMap.P(op.P[0]);
        const TRect r = op.HasRect ? FMap.R(op.R) : TRect();
        const uint32_t n = uint32_t(text.size());
        const uint32_t offString = 76;
        const uint32_t offDx = offString + ((n * 2 + 3) / 4) * 4;
        Record(EMR_EXTTEXTOUTW, [&](TMetaOut& o) {
            Bounds(o);
            o.U32(1);
            o.F32(0);
            o.F32(0);
            o.Pt(p);
            o.Dwords(n, offString, op.Options & (ETO_OPAQUE | ETO_CLIPPED));
            o.Rect(r);
            o.U32(offDx);
            for (char16_t c : text)
                o.U16(c);
            o.Pad4();
            for (uint32_t i = 0; i < n; ++i)
                o.I32(i < op.Dx.size() ? FMap.X(op.Dx[i]) : 0);
        });
    }

    void ClipRegion(const TMetaOp& op) {
        Record(EMR_EXTSELECTCLIPRGN, [&](TMetaOut& o) {
            if (!op.HasRegion) {
                o.Dwords(0, RGN_COPY);
                return;
            }
            const int n = op.Region.rectCount();
            o.Dwords(32 + 16 * n, op.Mode, 32, 1, n, 16 * n);
            const QRect b = op.Region.boundingRect();
            o.Rect({b.left(), b.top(), b.right() + 1, b.bottom() + 1});
            for (const QRect& q : op.Region)
                o.Rect({q.left(), q.top(), q.right() + 1, q.bottom() + 1});
        });
    }

    void Op(const TMetaOp& op) {
        if (const TMetaShapeRecord* s = MetaShapeOf(op.Kind)) {
            Shape(*s, op);
            return;
        }
        const auto& I = op.I;
        switch (op.Kind) {
        case TMetaKind::State:
            State(op.State);
            break;
        case TMetaKind::PolyPolygon:
            Record(EMR_POLYPOLYGON, [&](TMetaOut& o) {
                Bounds(o);
                o.Dwords(op.Counts.size(), op.P.size());
                for (int c : op.Counts)
                    o.U32(uint32_t(c));
                for (const TPoint& p : op.P)
                    o.Pt(FMap.P(p));
            });
            break;
        case TMetaKind::Text:
            Text(op);
            break;
        case TMetaKind::FillRect: {
            TMetaState m = FCur;
            m.Brush = op.Brush;
            if (FHave && FBrush && m.SameBrush(FCur)) {
                // The brush selected already: a pattern's pixels are not written again.
                PatBlt(op.R, PATCOPY);
                break;
            }
            const uint32_t ih = NewBrush(op.Brush);
            Select(ih);
            PatBlt(op.R, PATCOPY);
            Select(FBrush ? FBrush : 0x80000000u | WHITE_BRUSH);
            Delete(ih);
            break;
        }
        case TMetaKind::Pixel:
            Record(EMR_SETPIXELV, [&](TMetaOut& o) {
                o.Pt(FMap.P(op.P[0]));
                o.U32(uint32_t(I[0]));
            });
            break;
        case TMetaKind::Image:
            Image(op.R, op.Image, op.Rop);
            break;
        case TMetaKind::PatBlt:
            PatBlt(op.R, op.Rop);
            break;
        case TMetaKind::Path: {
            const int which = std::clamp(I[0], 0, int(PathWiden));
            const bool bounds = which == PathStroke || which == PathFill || which == PathStrokeFill;
            Record(MetaPathRecords[which], [&](TMetaOut& o) {
                if (bounds) Bounds(o);
            });
            break;
        }
        case TMetaKind::SelectClipPath:
            Value(EMR_SELECTCLIPPATH, uint32_t(op.Mode));
            break;
        case TMetaKind::ClipRegion:
            ClipRegion(op);
            break;
        case TMetaKind::SaveDC:
            Record(EMR_SAVEDC, [](TMetaOut&) {});
            break;
        case TMetaKind::RestoreDC:
            Value(EMR_RESTOREDC, uint32_t(I.empty() ? -1 : I[0]));
            FHave = false; // objects and modes are those of the restored state
            FPen = FBrush = FFont = 0;
            break;
        default:
            break;
        }
    }

    int FW, FH;
    TMetaOut FBody;
    int FRecords = 0;
    uint32_t FNextHandle = 1;
    uint32_t FPen = 0, FBrush = 0, FFont = 0;
    TMetaState FCur;
    bool FHave = false;
    TMap FMap;
};

// --- old-style files --------------------------------------------------------------

class TWmfWriter {
public:
    TWmfWriter(int w, int h, int inch) : FW(w), FH(h), FInch(inch) {}

    std::vector<uint8_t> Write(const TMetaOps& ops) {
        Rec(META_SETMAPMODE, {MM_ANISOTROPIC});
        Rec(META_SETWINDOWORG, {0, 0});
        Rec(META_SETWINDOWEXT, {W(FH), W(FW)});
        for (const auto& op : ops)
            Op(*op);
        Rec(META_EOF, {});
        TMetaOut out;
        // Placeable header.
        const uint16_t words[10] = {0xCDD7, 0x9AC6, 0, 0, 0, W(FW), W(FH), uint16_t(FInch), 0, 0};
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
    // A record of words followed by a packed bitmap (header and bits), written
    // straight into the file: bitmaps may be large.
    void RawDib(uint16_t fn, const std::vector<uint16_t>& params, const QImage& img,
                const std::vector<uint8_t>& bits) {
        const size_t bytes = 40 + bits.size() + bits.size() % 2;
        const uint32_t size = uint32_t(3 + params.size() + bytes / 2);
        FBody.U32(size);
        FBody.U16(fn);
        for (uint16_t w : params)
            FBody.U16(w);
        BitmapInfoHeader(FBody, img.width(), img.height(), uint32_t(bits.size()));
        FBody.Bytes(bits.data(), bits.size());
        if (bits.size() % 2) FBody.U8(0);
        FMaxRecord = std::max(FMaxRecord, size);
    }
    // Old-style records hold their numbers last to first.
    void Reversed(uint16_t fn, const std::vector<int>& numbers) {
        std::vector<uint16_t> p;
        for (auto v = numbers.rbegin(); v != numbers.rend(); ++v)
            p.push_back(W(*v));
        Raw(fn, p);
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
    // Selects a new object in place of Slot's, which is freed.
    void Replace(int& Slot, int s) {
        Rec(META_SELECTOBJECT, {uint16_t(s)});
        Free(Slot);
        Slot = s;
    }
    int Pen(const TPenData& p) {
        std::vector<uint16_t> prm{uint16_t(p.Style & 0xFFFF), uint16_t(FMap.PenWidth(p)), 0};
        Color(prm, p.Color);
        Raw(META_CREATEPENINDIRECT, prm);
        return NewSlot();
    }
    int Brush(const TBrushData& b) {
        if (const QImage pattern = PatternOf(b); !pattern.isNull()) {
            RawDib(META_DIBCREATEPATTERNBRUSH, {uint16_t(BS_DIBPATTERN), uint16_t(DIB_RGB_COLORS)},
                   pattern, Dib(pattern, TDib::Plain));
            return NewSlot();
        }
        std::vector<uint16_t> prm{uint16_t(BrushStyleOf(b))};
        Color(prm, b.Color);
        prm.push_back(uint16_t(b.Hatch));
        Raw(META_CREATEBRUSHINDIRECT, prm);
        return NewSlot();
    }
    int Font(const LOGFONT& lf) {
        std::vector<uint16_t> prm{W(FMap.FontHeight(lf.lfHeight)), W(lf.lfWidth),
                                  W(lf.lfEscapement), W(lf.lfOrientation), W(lf.lfWeight)};
        const auto b = MetaFontBytes(lf);
        for (size_t i = 0; i < b.size(); i += 2)
            prm.push_back(uint16_t(*b[i] | *b[i + 1] << 8));
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
        for (const TMetaModeRecord& r : MetaModeRecords) {
            if (!r.Wmf || !(all || r.Of(m) != r.Of(c))) continue;
            const uint32_t v = r.Of(m) & r.Mask;
            if (r.Colour)
                Rec(r.Wmf, {uint16_t(v & 0xFFFF), uint16_t(v >> 16)});
            else
                Rec(r.Wmf, {uint16_t(v)});
        }
        const bool scaleChanged = all || !m.SameMapping(c);
        if (all || m.CharExtra != c.CharExtra || scaleChanged)
            Rec(META_SETTEXTCHAREXTRA, {W(FMap.X(m.CharExtra))});
        if (all || !(m.Pen == c.Pen) || scaleChanged) Replace(FPen, Pen(m.Pen));
        if (all || !m.SameBrush(c)) Replace(FBrush, Brush(m.Brush));
        if (all || !m.SameFont(c) || scaleChanged) Replace(FFont, Font(m.Font));
        FCur = m;
        FHave = true;
    }

    // Counts are 16-bit here: longer figures keep what fits.
    static constexpr size_t MaxCount = 0xFFFF;

    void Poly(uint16_t fn, const std::vector<TPoint>& pts) {
        const size_t n = std::min(pts.size(), MaxCount);
        std::vector<uint16_t> p{uint16_t(n)};
        for (size_t i = 0; i < n; ++i) {
            const TPoint d = FMap.P(pts[i]);
            p.push_back(W(d.x));
            p.push_back(W(d.y));
        }
        Raw(fn, p);
    }
    static void DevicePoints(std::vector<uint16_t>& p, const QPolygonF& poly, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            p.push_back(W(PixelPos(poly[qsizetype(i)].x())));
            p.push_back(W(PixelPos(poly[qsizetype(i)].y())));
        }
    }

    // Without arc direction or arc-to records: an arc-to is a line to the arc,
    // the arc and a move to its end; a clockwise arc is the counter-clockwise
    // one between swapped radials.
    void ArcShape(const TMetaOp& op) {
        std::vector<int> v = FMap.Box(op.I);
        const bool to = op.Kind == TMetaKind::ArcTo;
        TPoint s, e;
        if (to) {
            ArcShapePath(1, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], FCur.ArcDirection, &s,
                         &e);
            Reversed(META_LINETO, {s.x, s.y});
        }
        if (FCur.ArcDirection == AD_CLOCKWISE) {
            std::swap(v[4], v[6]);
            std::swap(v[5], v[7]);
        }
        Reversed(MetaShapeOf(op.Kind)->Wmf, v);
        if (to) {
            Reversed(META_MOVETO, {e.x, e.y});
            FPos = FMap.Logical(e);
        }
    }

    void Image(const TRect& dest, const QImage& img, DWORD rop) {
        const TRect d = FMap.R(dest);
        Blits(img, rop, [&](const std::vector<uint8_t>& bits, DWORD r) {
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
            RawDib(META_STRETCHDIB, p, img, bits);
        });
    }

    void PatBlt(const TRect& logical, DWORD rop) {
        const TRect r = FMap.R(logical);
        Rec(META_PATBLT, {uint16_t(rop & 0xFFFF), uint16_t(rop >> 16), W(r.Bottom - r.Top),
                          W(r.Right - r.Left), W(r.Top), W(r.Left)});
    }

    void Text(const TMetaOp& op) {
        const TPoint p = FMap.P(op.P[0]);
        const std::string& all = op.Text.str();
        const std::string s = all.substr(0, std::min(all.size(), MaxCount));
        const UINT options = op.Options & (ETO_OPAQUE | ETO_CLIPPED);
        std::vector<uint16_t> prm{W(p.y), W(p.x), uint16_t(s.size()), uint16_t(options)};
        if (options && op.HasRect) {
            const TRect r = FMap.R(op.R);
            for (int v : {r.Left, r.Top, r.Right, r.Bottom})
                prm.push_back(W(v));
        } else if (options) {
            prm[3] = 0;
        }
        for (size_t i = 0; i < s.size(); i += 2)
            prm.push_back(
                uint16_t(uint8_t(s[i]) | (i + 1 < s.size() ? uint8_t(s[i + 1]) << 8 : 0)));
        for (size_t i = 0; i < s.size(); ++i)
            prm.push_back(W(i < op.Dx.size() ? FMap.X(op.Dx[i]) : 0));
        Raw(META_EXTTEXTOUT, prm);
    }

    // Paths have no old-style records: a used path becomes the polygons of its
    // outline (filled: closed together; stroked: each figure as a line).
    void UsePath(int how) {
        const QPainterPath outline = MetaPathOutline(FPath, FPathState);
        FPath.clear();
        TMetaState m = FCur;
        if (how == PathStroke) m.Brush.Style = BS_NULL;
        if (how == PathFill) m.Pen.Style = (m.Pen.Style & ~PS_STYLE_MASK) | PS_NULL;
        const TMetaState keep = FCur;
        State(m);
        const QList<QPolygonF> polys = outline.toSubpathPolygons();
        if (how == PathStroke) {
            for (const QPolygonF& poly : polys) {
                std::vector<uint16_t> p{uint16_t(std::min(size_t(poly.size()), MaxCount))};
                DevicePoints(p, poly, p[0]);
                Raw(META_POLYLINE, p);
            }
        } else if (!polys.isEmpty()) {
            const size_t n = std::min(size_t(polys.size()), MaxCount);
            std::vector<uint16_t> p{uint16_t(n)};
            for (size_t i = 0; i < n; ++i)
                p.push_back(uint16_t(std::min(size_t(polys[i].size()), MaxCount)));
            for (size_t i = 0; i < n; ++i)
                DevicePoints(p, polys[i], p[1 + i]);
            Raw(META_POLYPOLYGON, p);
        }
        State(keep);
    }

    void Op(const TMetaOp& op) {
        const auto& I = op.I;
        // What a path is made of waits for the path's use.
        if (FInPath && !(op.Kind == TMetaKind::Path && (I[0] == PathEnd || I[0] == PathAbort))) {
            FPath.push_back(std::make_shared<TMetaOp>(op));
            if (op.Kind == TMetaKind::State) State(op.State); // what the path is used with
            if ((op.Kind == TMetaKind::MoveTo || op.Kind == TMetaKind::LineTo ||
                 op.Kind == TMetaKind::PolyBezierTo) &&
                !op.P.empty())
                FPos = op.P.back();
            return;
        }
        switch (op.Kind) {
        case TMetaKind::State:
            State(op.State);
            break;
        case TMetaKind::MoveTo:
        case TMetaKind::LineTo: {
            const TPoint p = FMap.P(op.P[0]);
            Reversed(MetaShapeOf(op.Kind)->Wmf, {p.x, p.y});
            FPos = op.P[0];
            break;
        }
        case TMetaKind::Polyline:
        case TMetaKind::Polygon:
            Poly(MetaShapeOf(op.Kind)->Wmf, op.P);
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
                    flat.push_back({MetaRound(x), MetaRound(y)});
                }
            Poly(META_POLYLINE, flat);
            if (!op.P.empty() && op.Kind == TMetaKind::PolyBezierTo) FPos = op.P.back();
            break;
        }
        case TMetaKind::PolyPolygon: {
            std::vector<uint16_t> counts, pts;
            size_t at = 0;
            for (int c : op.Counts) {
                if (c < 0 || counts.size() == MaxCount || at + size_t(c) > op.P.size()) break;
                const size_t n = std::min(size_t(c), MaxCount);
                counts.push_back(uint16_t(n));
                for (size_t i = 0; i < n; ++i) {
                    const TPoint d = FMap.P(op.P[at + i]);
                    pts.push_back(W(d.x));
                    pts.push_back(W(d.y));
                }
                at += size_t(c);
            }
            std::vector<uint16_t> p{uint16_t(counts.size())};
            p.insert(p.end(), counts.begin(), counts.end());
            p.insert(p.end(), pts.begin(), pts.end());
            Raw(META_POLYPOLYGON, p);
            break;
        }
        case TMetaKind::Rectangle:
        case TMetaKind::Ellipse:
        case TMetaKind::RoundRect:
            Reversed(MetaShapeOf(op.Kind)->Wmf, FMap.Box(I));
            break;
        case TMetaKind::IntersectClip:
        case TMetaKind::ExcludeClip: {
            const std::vector<int> box = FMap.Box(I);
            Reversed(MetaShapeOf(op.Kind)->Wmf, box);
            const QRect q(QPoint(std::min(box[0], box[2]), std::min(box[1], box[3])),
                          QPoint(std::max(box[0], box[2]) - 1, std::max(box[1], box[3]) - 1));
            FClip.Region = op.Kind == TMetaKind::IntersectClip ? ClipOrAll().intersected(q)
                                                               : ClipOrAll().subtracted(q);
            FClip.Has = true;
            break;
        }
        case TMetaKind::Arc:
        case TMetaKind::ArcTo:
        case TMetaKind::Pie:
        case TMetaKind::Chord:
            ArcShape(op);
            break;
        case TMetaKind::Text:
            Text(op);
            break;
        case TMetaKind::FillRect: {
            const TMetaState keep = FCur;
            TMetaState m = FCur;
            m.Brush = op.Brush;
            State(m);
            PatBlt(op.R, PATCOPY);
            State(keep);
            break;
        }
        case TMetaKind::Pixel: {
            const TPoint p = FMap.P(op.P[0]);
            Rec(META_SETPIXEL,
                {uint16_t(I[0] & 0xFFFF), uint16_t(uint32_t(I[0]) >> 16), W(p.y), W(p.x)});
            break;
        }
        case TMetaKind::Image:
            Image(op.R, op.Image, op.Rop);
            break;
        case TMetaKind::PatBlt:
            PatBlt(op.R, op.Rop);
            break;
        case TMetaKind::Path:
            FPathDone = I[0] == PathEnd || (FPathDone && I[0] == PathWiden);
            if (I[0] == PathBegin) {
                FInPath = true;
                FPath.clear();
                FPathState = FCur;
            } else if (I[0] == PathEnd)
                FInPath = false;
            else if (I[0] == PathAbort) {
                FInPath = false;
                FPath.clear();
            } else if (I[0] == PathWiden) {
                // Widened with the pen in force now.
                auto state = std::make_shared<TMetaOp>();
                state->State = FCur;
                FPath.push_back(state);
                FPath.push_back(std::make_shared<TMetaOp>(op));
            } else if (I[0] == PathStroke || I[0] == PathFill || I[0] == PathStrokeFill) {
                UsePath(I[0]);
            }
            break;
        case TMetaKind::SelectClipPath: {
            // A clip path clips by the region of its outline, as it plays;
            // without a finished path there is nothing to clip by.
            if (!FPathDone) break;
            FPathDone = false;
            const QPainterPath outline = MetaPathOutline(FPath, FPathState);
            FPath.clear();
            const bool winding = outline.fillRule() == Qt::WindingFill || FCur.FillMode == WINDING;
            std::vector<TSpan> spans;
            ScanPolygons(outline.toSubpathPolygons(), winding, -1, FH + 1,
                         [&](int y, int x0, int x1) {
                             x0 = std::max(x0, -1);
                             x1 = std::min(x1, FW + 1);
                             if (x0 < x1) spans.push_back({y, x0, x1});
                         });
            TMetaOp clip;
            clip.HasRegion = true;
            clip.Region = SpansToRegion(spans);
            clip.Mode = op.Mode;
            ClipRegion(clip);
            break;
        }
        case TMetaKind::ClipRegion:
            ClipRegion(op);
            break;
        case TMetaKind::SaveDC:
            Rec(META_SAVEDC, {});
            FSavedClips.push_back(FClip);
            break;
        case TMetaKind::RestoreDC: {
            const int n = I.empty() ? -1 : I[0];
            Rec(META_RESTOREDC, {W(n)});
            FHave = false;
            const int level = int(FSavedClips.size()), target = n < 0 ? level + n + 1 : n;
            if (target >= 1 && target <= level) {
                FClip = FSavedClips[size_t(target - 1)];
                FSavedClips.resize(size_t(target - 1));
            }
            break;
        }
        }
    }

    // Old-style files only select whole clip regions: the clip their records
    // make is followed here (in the file's units), so that a region combined
    // with it is written as the region that results.
    struct TClip {
        bool Has = false;
        QRegion Region;
    };
    QRegion ClipOrAll() const { return FClip.Has ? FClip.Region : QRegion(0, 0, FW, FH); }

    void ClipRegion(const TMetaOp& op) {
        if (!op.HasRegion) {
            if (op.Mode != RGN_COPY) return; // refused, as the canvas refuses it
            FClip = {};
        } else {
            const QRegion all = ClipOrAll();
            switch (op.Mode) {
            case RGN_AND:
                FClip.Region = all.intersected(op.Region);
                break;
            case RGN_OR:
                FClip.Region = all.united(op.Region);
                break;
            case RGN_XOR:
                FClip.Region = all.xored(op.Region);
                break;
            case RGN_DIFF:
                FClip.Region = all.subtracted(op.Region);
                break;
            case RGN_COPY:
                FClip.Region = op.Region;
                break;
            default:
                return;
            }
            FClip.Has = true;
        }
        // No clip is the whole picture: there is no record that removes one.
        SelectClipRegion(FClip.Has ? FClip.Region.intersected(
                                         QRect(QPoint(-32768, -32768), QPoint(32766, 32766)))
                                   : QRegion(0, 0, FW, FH));
    }

    // A region as its bands of rows, each with its runs (right and bottom
    // edges outside). One too large for the record's 16-bit size is selected
    // as its bounding box less the rectangles it leaves out.
    void SelectClipRegion(const QRegion& r) {
        struct TBand {
            int Top, Bottom;
            std::vector<uint16_t> Runs;
        };
        std::vector<TBand> bands;
        for (auto it = r.begin(); it != r.end();) {
            TBand band{it->top(), it->bottom() + 1, {}};
            for (; it != r.end() && it->top() == band.Top && it->bottom() + 1 == band.Bottom; ++it)
                if (band.Runs.size() + 2 <= MaxCount)
                    band.Runs.insert(band.Runs.end(), {W(it->left()), W(it->right() + 1)});
            // Rows alike are one band (shapes with straight sides are mostly that).
            if (!bands.empty() && bands.back().Bottom == band.Top && bands.back().Runs == band.Runs)
                bands.back().Bottom = band.Bottom;
            else
                bands.push_back(std::move(band));
        }
        std::vector<uint16_t> scans;
        int widest = 0;
        for (const TBand& b : bands) {
            const uint16_t n = uint16_t(b.Runs.size());
            scans.insert(scans.end(), {n, W(b.Top), W(b.Bottom)});
            scans.insert(scans.end(), b.Runs.begin(), b.Runs.end());
            scans.push_back(n);
            widest = std::max(widest, int(n));
        }
        const QRect b = r.boundingRect();
        const size_t bytes = 22 + 2 * scans.size();
        if (bytes > 0x7FFF) {
            SelectClipRegion(QRegion(b));
            for (const QRect& q : QRegion(b).subtracted(r))
                Reversed(META_EXCLUDECLIPRECT, {q.left(), q.top(), q.right() + 1, q.bottom() + 1});
            return;
        }
        std::vector<uint16_t> p{
            0, 6, 0, 0, uint16_t(bytes), uint16_t(bands.size()), uint16_t(widest)};
        if (r.isEmpty())
            p.insert(p.end(), {0, 0, 0, 0});
        else
            p.insert(p.end(), {W(b.left()), W(b.top()), W(b.right() + 1), W(b.bottom() + 1)});
        p.insert(p.end(), scans.begin(), scans.end());
        Raw(META_CREATEREGION, p);
        const int slot = NewSlot();
        Rec(META_SELECTCLIPREGION, {uint16_t(slot)});
        Free(slot);
    }

    int FW, FH, FInch;
    TClip FClip;
    std::vector<TClip> FSavedClips;
    TMetaOut FBody;
    uint32_t FMaxRecord = 3;
    int FMaxObjects = 0;
    std::vector<bool> FSlots;
    int FPen = -1, FBrush = -1, FFont = -1;
    TMetaState FCur;
    bool FHave = false;
    TMap FMap;
    TPoint FPos;
    bool FInPath = false;
    bool FPathDone = false; // ended and not used yet
    std::vector<std::shared_ptr<const TMetaOp>> FPath;
    TMetaState FPathState; // in force where the path began
};

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
