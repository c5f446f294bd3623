// Metafile files read: enhanced (EMF) and old-style (WMF, placeable or not)
// files, the records the writers produce and the common drawing records of
// other programs. Damage raises EInvalidGraphic; coordinates, sizes and
// counts are bounded before they are used.
//   record fields and the state both readers keep;
//   enhanced files (TEmfReader); old-style files (TWmfReader); ReadMetafile.
#include "platform/graphics/bmpcodec.h"
#include "platform/graphics/metafilerecords.h"
#include "platform/graphics/qtbridge.h"
#include "platform/rtl/rtlmath.h"
#include <cmath>
#include <map>
#include <set>

namespace {

[[noreturn]] void Bad(const char* why) {
    throw EInvalidGraphic(AnsiString("Metafile is not valid (") + why + ")");
}

// --- record fields and reader state ----------------------------------------------

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
    // A coordinate or extent: held within the pixel range, so sums and
    // differences of a few of them never overflow.
    int C32(size_t at) const { return PixelPos(double(I32(at))); }
    TPoint Pt32(size_t at) const { return {C32(at), C32(at + 4)}; }
    std::vector<int> C32s(size_t at, int n) const {
        std::vector<int> v;
        for (int i = 0; i < n; ++i)
            v.push_back(C32(at + 4 * size_t(i)));
        return v;
    }
    // Old-style numbers, stored last to first.
    std::vector<int> Reversed16(size_t at, int n) const {
        std::vector<int> v;
        for (int i = n - 1; i >= 0; --i)
            v.push_back(I16(at + 2 * size_t(i)));
        return v;
    }
};

struct TObj {
    int Type = 0;
    TPenData Pen;
    TBrushData Brush;
    LOGFONT Font;
    std::vector<QRect> Rects; // a region's, in logical units
    // The region in device units as last selected, and the mapping it was
    // made with: selecting it again shares it instead of making it anew.
    std::shared_ptr<TMetaState> Mapped;
    QRegion Device;
};

// Region data in bands (as the platform writes it) is taken as it is;
// overlapping rectangles are merged, which may multiply them, so only a few
// are taken that way.
QRegion RegionOf(const std::vector<QRect>& Rects) {
    bool banded = true;
    for (size_t i = 1; i < Rects.size() && banded; ++i) {
        const QRect &q = Rects[i], &last = Rects[i - 1];
        banded = q.top() > last.bottom() ||
                 (q.top() == last.top() && q.bottom() == last.bottom() && q.left() > last.right());
    }
    QRegion region;
    if (banded) {
        region.setRects(Rects.data(), int(Rects.size()));
        return region;
    }
    if (Rects.size() > 1024) Bad("bad region");
    for (const QRect& r : Rects)
        region += r;
    return region;
}

// A pattern brush of a bitmap read from a file.
TBrushData PatternBrush(const QImage& Image) {
    if (Image.isNull()) Bad("bad bitmap");
    auto pattern = std::make_shared<TBitmap>(Image.width(), Image.height());
    const QImage rgb = Image.convertToFormat(QImage::Format_RGB32);
    QImage& pixels = *BitmapImage(pattern.get());
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(pixels.scanLine(y), rgb.constScanLine(y), size_t(rgb.width()) * 4);
    TBrushData b;
    b.Style = BS_PATTERN;
    b.Pattern = std::move(pattern);
    return b;
}

class TReaderBase {
protected:
    TMetaOps& Ops;
    TMetaState M;
    bool Dirty = true;
    explicit TReaderBase(TMetaOps& ops) : Ops(ops) {
        M.Font.lfHeight = -12;
        std::strcpy(M.Font.lfFaceName, "Arial");
    }
    // Each record becomes an operation of a few hundred bytes, whatever its
    // own size: the count is bounded, not only the file.
    static constexpr size_t MaxOps = size_t(1) << 20;
    TMetaOp& New(TMetaKind k) {
        if (Ops.size() + 2 > MaxOps) Bad("too many records");
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
    // A region record is held once however often it is selected, but each
    // selection is played and saved in full: what they add up to is bounded.
    static constexpr size_t MaxClipRects = size_t(1) << 22;
    size_t ClipRects = 0;
    void CountClip(const QRegion& r) {
        ClipRects += size_t(r.rectCount());
        if (ClipRects > MaxClipRects) Bad("too many clip rectangles");
    }
    static void SetFontBytes(LOGFONT& lf, uint32_t a, uint32_t b) {
        const auto f = MetaFontBytes(lf);
        for (size_t i = 0; i < f.size(); ++i)
            *f[i] = BYTE((i < 4 ? a : b) >> (8 * (i % 4)));
    }
    void SetMode(const TMetaModeRecord& r, uint32_t v) {
        r.Set(M, r.Colour ? v & 0xFFFFFF : v);
        Dirty = true;
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

// --- enhanced files --------------------------------------------------------------

class TEmfReader : TReaderBase {
public:
    explicit TEmfReader(TMetaOps& ops) : TReaderBase(ops) {}

    void Read(const std::vector<uint8_t>& D, int& W, int& H) {
        TIn hdr{D, 0, D.size()};
        if (D.size() < 88 || hdr.U32(0) != EMR_HEADER || hdr.U32(40) != 0x464D4520)
            Bad("no enhanced metafile header");
        // Bounds in pixels, frame in hundredths of a millimetre (preferred).
        auto extent = [&hdr](size_t at) { return int64_t(hdr.I32(at + 8)) - hdr.I32(at) + 1; };
        double w = double(extent(8)), h = double(extent(12));
        const int64_t fw = extent(24), fh = extent(28);
        if (fw > 1 && fh > 1) {
            w = std::round(double(fw) * 96 / 2540);
            h = std::round(double(fh) * 96 / 2540);
        }
        if (!(w >= 1 && h >= 1 && w <= MaxMetafileSide && h <= MaxMetafileSide)) Bad("bad frame");
        W = int(w);
        H = int(h);
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
                              : in.Pt32(at + 8 * size_t(i)));
        return p;
    }

    QImage DibImage(const TIn& in, size_t bmiAt, uint32_t bmiSize, size_t bitsAt,
                    uint32_t bitsSize) {
        if (bmiSize < 40 || bmiAt + bmiSize > in.End || bitsAt + bitsSize > in.End)
            Bad("bad bitmap");
        // A file image of the DIB: header, palette and bits.
        TMetaOut file;
        file.U16('B' | 'M' << 8);
        file.Dwords(14 + bmiSize + bitsSize, 0, 14 + bmiSize);
        file.Bytes(in.D.data() + bmiAt, bmiSize);
        file.Bytes(in.D.data() + bitsAt, bitsSize);
        return DecodeBmp(file.B, nullptr);
    }

    // The part of Image a stretched block asks for, cut to the image; Dest
    // shrinks with it. A source wholly outside the image is damage.
    static QImage SourcePart(const QImage& Image, int64_t X, int64_t Y, int64_t W, int64_t H,
                             TRect& Dest) {
        const int64_t l = std::max<int64_t>(X, 0), t = std::max<int64_t>(Y, 0),
                      r = std::min<int64_t>(X + W, Image.width()),
                      b = std::min<int64_t>(Y + H, Image.height());
        if (l >= r || t >= b) Bad("bitmap source outside the bitmap");
        const double sx = double(Dest.Right - Dest.Left) / double(W),
                     sy = double(Dest.Bottom - Dest.Top) / double(H);
        Dest = {PixelPos(Dest.Left + double(l - X) * sx), PixelPos(Dest.Top + double(t - Y) * sy),
                PixelPos(Dest.Left + double(r - X) * sx), PixelPos(Dest.Top + double(b - Y) * sy)};
        QImage part = Image.copy(int(l), int(t), int(r - l), int(b - t));
        if (part.isNull()) Bad("out of memory");
        return part;
    }

    void Shape(const TMetaShapeRecord& s, uint32_t type, const TIn& in, size_t p) {
        switch (s.Form) {
        case TShapeForm::Points: {
            std::vector<TPoint> pts = Pts(in, p + 20, in.U32(p + 16), type == s.Emf16);
            New(s.Kind).P = std::move(pts);
            break;
        }
        case TShapeForm::Point:
            New(s.Kind).P = {in.Pt32(p)};
            break;
        case TShapeForm::Numbers: {
            std::vector<int> v = in.C32s(p, s.Count);
            New(s.Kind).I = std::move(v);
            break;
        }
        }
    }

    void Text(uint32_t type, const TIn& in, size_t p) {
        const size_t t = p + 28; // EMRTEXT
        const uint32_t n = in.U32(t + 8), offString = in.U32(t + 12);
        const uint32_t options = in.U32(t + 16), offDx = in.U32(t + 36);
        const size_t s = in.Begin + offString;
        AnsiString text;
        if (type == EMR_EXTTEXTOUTW)
            text = Utf16ToAnsi(in, s, n);
        else {
            if (s + n > in.End) Bad("record too short");
            text = AnsiString(reinterpret_cast<const char*>(in.D.data() + s), int(n));
        }
        TMetaOp& op = New(TMetaKind::Text);
        op.P = {in.Pt32(t)};
        op.Options = options;
        if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
            op.HasRect = true;
            op.R = {in.C32(t + 20), in.C32(t + 24), in.C32(t + 28), in.C32(t + 32)};
        }
        op.Text = text;
        if (offDx)
            for (uint32_t i = 0; i < n; ++i)
                op.Dx.push_back(in.C32(in.Begin + offDx + 4 * size_t(i)));
    }

    bool Record(uint32_t type, const TIn& in, size_t p) {
        if (const TMetaShapeRecord* s =
                FindMetaRecord(MetaShapeRecords, [type](const TMetaShapeRecord& r) {
                    return r.Emf == type || (r.Emf16 && r.Emf16 == type);
                })) {
            Shape(*s, type, in, p);
            return false;
        }
        if (const TMetaModeRecord* r = FindMetaRecord(
                MetaModeRecords, [type](const TMetaModeRecord& m) { return m.Emf == type; })) {
            SetMode(*r, in.U32(p));
            return false;
        }
        if (const uint32_t* at =
                std::find(std::begin(MetaPathRecords), std::end(MetaPathRecords), type);
            at != std::end(MetaPathRecords)) {
            New(TMetaKind::Path).I = {int(at - MetaPathRecords)};
            return false;
        }
        switch (type) {
        case EMR_EOF:
            return true;
        case EMR_SETMAPMODE:
            M.MapMode = in.I32(p);
            Dirty = true;
            break;
        case EMR_SETWINDOWEXTEX:
            M.WindowExt = {in.C32(p), in.C32(p + 4)};
            Dirty = true;
            break;
        case EMR_SETWINDOWORGEX:
            M.WindowOrg = in.Pt32(p);
            Dirty = true;
            break;
        case EMR_SETVIEWPORTEXTEX:
            M.ViewportExt = {in.C32(p), in.C32(p + 4)};
            Dirty = true;
            break;
        case EMR_SETVIEWPORTORGEX:
            M.ViewportOrg = in.Pt32(p);
            Dirty = true;
            break;
        case EMR_CREATEPEN: {
            TObj o;
            o.Type = OBJ_PEN;
            o.Pen.Style = in.U32(p + 4);
            o.Pen.Width = in.C32(p + 8);
            o.Pen.Color = in.U32(p + 16) & 0xFFFFFF;
            FObjects[in.U32(p)] = o;
            break;
        }
        case EMR_EXTCREATEPEN: {
            TObj o;
            o.Type = OBJ_PEN;
            o.Pen.Style = in.U32(p + 20);
            o.Pen.Width = in.C32(p + 24);
            if (in.U32(p + 28) == BS_NULL) o.Pen.Style = (o.Pen.Style & ~PS_STYLE_MASK) | PS_NULL;
            o.Pen.Color = in.U32(p + 32) & 0xFFFFFF;
            o.Pen.Cosmetic = (o.Pen.Style & PS_TYPE_MASK) != PS_GEOMETRIC;
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
        case EMR_CREATEDIBPATTERNBRUSHPT: {
            TObj o;
            o.Type = OBJ_BRUSH;
            o.Brush = PatternBrush(DibImage(in, in.Begin + in.U32(p + 8), in.U32(p + 12),
                                            in.Begin + in.U32(p + 16), in.U32(p + 20)));
            FObjects[in.U32(p)] = o;
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW: {
            TObj o;
            o.Type = OBJ_FONT;
            LOGFONT& lf = o.Font;
            lf.lfHeight = in.C32(p + 4);
            lf.lfWidth = in.C32(p + 8);
            lf.lfEscapement = in.I32(p + 12);
            lf.lfOrientation = in.I32(p + 16);
            lf.lfWeight = in.I32(p + 20);
            SetFontBytes(lf, in.U32(p + 24), in.U32(p + 28));
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
        case EMR_EXTTEXTOUTW:
        case EMR_EXTTEXTOUTA:
            Text(type, in, p);
            break;
        case EMR_SETPIXELV: {
            TMetaOp& op = New(TMetaKind::Pixel);
            op.P = {in.Pt32(p)};
            op.I = {int(in.U32(p + 8) & 0xFFFFFF)};
            break;
        }
        case EMR_STRETCHDIBITS: {
            const int xd = in.C32(p + 16), yd = in.C32(p + 20);
            QImage img = DibImage(in, in.Begin + in.U32(p + 40), in.U32(p + 44),
                                  in.Begin + in.U32(p + 48), in.U32(p + 52));
            TMetaOp& op = New(TMetaKind::Image);
            op.Rop = in.U32(p + 60);
            op.R = {xd, yd, xd + in.C32(p + 64), yd + in.C32(p + 68)};
            const int64_t cxs = in.I32(p + 32), cys = in.I32(p + 36);
            if (cxs > 0 && cys > 0) {
                // Source rows count from the bitmap's bottom.
                const int64_t xs = in.I32(p + 24),
                              ys = img.height() - int64_t(in.I32(p + 28)) - cys;
                op.Image = SourcePart(img, xs, ys, cxs, cys, op.R);
            } else
                op.Image = img;
            break;
        }
        case EMR_BITBLT: {
            const int x = in.C32(p + 16), y = in.C32(p + 20), w = in.C32(p + 24),
                      h = in.C32(p + 28);
            const DWORD rop = in.U32(p + 32);
            const uint32_t cbBmi = in.U32(p + 80);
            // Without a bitmap it is a pattern block.
            QImage img;
            if (cbBmi)
                img = DibImage(in, in.Begin + in.U32(p + 76), cbBmi, in.Begin + in.U32(p + 84),
                               in.U32(p + 88));
            TMetaOp& op = New(cbBmi ? TMetaKind::Image : TMetaKind::PatBlt);
            op.R = {x, y, x + w, y + h};
            op.Rop = rop;
            op.Image = img;
            break;
        }
        case EMR_SELECTCLIPPATH:
            New(TMetaKind::SelectClipPath).Mode = in.I32(p);
            break;
        case EMR_EXTSELECTCLIPRGN: {
            const uint32_t cb = in.U32(p);
            TMetaOp& op = New(TMetaKind::ClipRegion);
            op.Mode = in.I32(p + 4);
            if (cb >= 32) {
                const uint32_t n = in.U32(p + 8 + 8);
                if (uint64_t(n) * 16 + 32 > cb) Bad("bad region");
                op.HasRegion = true;
                std::vector<QRect> rects;
                for (uint32_t i = 0; i < n; ++i) {
                    const size_t r = p + 8 + 32 + 16 * size_t(i);
                    const int l = in.C32(r), t = in.C32(r + 4), rr = in.C32(r + 8),
                              b = in.C32(r + 12);
                    if (rr > l && b > t) rects.emplace_back(l, t, rr - l, b - t);
                }
                op.Region = RegionOf(rects);
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
            break; // records without a counterpart here (the header too) are skipped
        }
        return false;
    }
};

// --- old-style files -------------------------------------------------------------

class TWmfReader : TReaderBase {
public:
    explicit TWmfReader(TMetaOps& ops) : TReaderBase(ops) {}

    void Read(const std::vector<uint8_t>& D, int& W, int& H) {
        TIn all{D, 0, D.size()};
        size_t at = 0;
        int inch = 96;
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
        if (W <= 0 || H <= 0 || W > MaxMetafileSide || H > MaxMetafileSide) Bad("bad picture size");
    }

private:
    std::vector<TObj> FSlots;

    std::set<size_t> FFree; // empty slots below the top

    // A new object takes the lowest empty slot; a full table (its indexes
    // are 16-bit) takes no more, as the platform's does.
    void Add(const TObj& o) {
        if (!FFree.empty()) {
            FSlots[*FFree.begin()] = o;
            FFree.erase(FFree.begin());
        } else if (FSlots.size() < 0xFFFF)
            FSlots.push_back(o);
    }
    // Where a packed DIB's bits begin: after its header, colour masks and palette.
    static uint32_t DibBitsOffset(const TIn& in, size_t bmi) {
        const uint32_t hsize = in.U32(bmi);
        uint64_t offset = hsize;
        if (hsize == 12) {
            const uint32_t bpp = in.U16(bmi + 10);
            if (bpp <= 8) offset += 3 * (uint64_t(1) << bpp);
        } else {
            const uint32_t bpp = in.U16(bmi + 14), compression = in.U32(bmi + 16),
                           used = in.U32(bmi + 32);
            if (hsize == 40 && (compression == 3 || compression == 6))
                offset += compression == 6 ? 16 : 12;
            offset += 4 * uint64_t(used ? used : bpp <= 8 ? 1u << bpp : 0);
        }
        if (offset > in.End - bmi) Bad("bad bitmap");
        return uint32_t(offset);
    }

    // A bitmap packed into a record: header, palette and bits to its end.
    static QImage PackedDib(const TIn& in, size_t bmi) {
        if (bmi + 40 > in.End) Bad("bad bitmap");
        // A file image of the DIB; its size field is not read.
        TMetaOut file;
        file.U16('B' | 'M' << 8);
        file.Dwords(0, 0, 14 + DibBitsOffset(in, bmi));
        file.Bytes(in.D.data() + bmi, in.End - bmi);
        return DecodeBmp(file.B, nullptr);
    }

    // Scans of rows, each a count of edges, top, bottom, the runs' left and
    // right edges and the count again; sizes checked against the record.
    static std::vector<QRect> RegionRects(const TIn& in, size_t p) {
        const uint32_t scans = in.U16(p + 10);
        size_t at = p + 22;
        if (at > in.End || uint64_t(scans) * 8 > in.End - at) Bad("bad region");
        std::vector<QRect> rects;
        for (uint32_t i = 0; i < scans; ++i) {
            const uint32_t n = in.U16(at);
            const int top = in.I16(at + 2), bottom = in.I16(at + 4);
            if (n % 2 || uint64_t(n) * 2 + 8 > in.End - at) Bad("bad region");
            for (uint32_t k = 0; k < n; k += 2) {
                const int l = in.I16(at + 6 + 2 * size_t(k)), r = in.I16(at + 8 + 2 * size_t(k));
                if (r > l && bottom > top) rects.emplace_back(l, top, r - l, bottom - top);
            }
            at += 8 + 2 * size_t(n);
        }
        return rects;
    }

    // A region's rectangles in the metafile's device units, by the mapping in force.
    QRegion DeviceRegion(const std::vector<QRect>& Logical) const {
        const bool scales = M.WindowExt.cx && M.WindowExt.cy;
        auto map = [&](int v, int wo, int we, int vo, int ve) {
            const double d = double(v) - wo;
            return PixelPos(scales ? d * ve / we + vo : d + vo);
        };
        std::vector<QRect> rects;
        for (const QRect& q : Logical) {
            const int x0 = map(q.left(), M.WindowOrg.x, M.WindowExt.cx, M.ViewportOrg.x,
                               M.ViewportExt.cx),
                      x1 = map(q.left() + q.width(), M.WindowOrg.x, M.WindowExt.cx, M.ViewportOrg.x,
                               M.ViewportExt.cx),
                      y0 = map(q.top(), M.WindowOrg.y, M.WindowExt.cy, M.ViewportOrg.y,
                               M.ViewportExt.cy),
                      y1 = map(q.top() + q.height(), M.WindowOrg.y, M.WindowExt.cy, M.ViewportOrg.y,
                               M.ViewportExt.cy);
            if (x0 != x1 && y0 != y1)
                rects.emplace_back(QPoint(std::min(x0, x1), std::min(y0, y1)),
                                   QPoint(std::max(x0, x1) - 1, std::max(y0, y1) - 1));
        }
        // A mapping that turns the picture over turns the bands' order too.
        std::sort(rects.begin(), rects.end(), [](const QRect& a, const QRect& b) {
            return a.top() != b.top() ? a.top() < b.top() : a.left() < b.left();
        });
        return RegionOf(rects);
    }

    std::vector<TPoint> Pts(const TIn& in, size_t p, uint32_t n) {
        if (uint64_t(n) * 4 > in.End - p) Bad("too many points");
        std::vector<TPoint> v;
        for (uint32_t i = 0; i < n; ++i)
            v.push_back({in.I16(p + 4 * i), in.I16(p + 4 * i + 2)});
        return v;
    }

    void Shape(const TMetaShapeRecord& s, const TIn& in, size_t p) {
        switch (s.Form) {
        case TShapeForm::Points: {
            auto pts = Pts(in, p + 2, in.U16(p));
            New(s.Kind).P = std::move(pts);
            break;
        }
        case TShapeForm::Point: {
            const std::vector<int> v = in.Reversed16(p, 2);
            New(s.Kind).P = {{v[0], v[1]}};
            break;
        }
        case TShapeForm::Numbers: {
            std::vector<int> v = in.Reversed16(p, s.Count);
            New(s.Kind).I = std::move(v);
            break;
        }
        }
    }

    void Text(uint16_t fn, const TIn& in, size_t p) {
        if (fn == META_TEXTOUT) {
            const uint32_t n = in.U16(p);
            const size_t s = p + 2;
            if (s + n > in.End) Bad("record too short");
            const size_t after = s + ((n + 1) & ~1u);
            TMetaOp& op = New(TMetaKind::Text);
            op.Text = AnsiString(reinterpret_cast<const char*>(in.D.data() + s), int(n));
            op.P = {{in.I16(after + 2), in.I16(after)}};
            return;
        }
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
    }

    void Record(uint16_t fn, const TIn& in, size_t p) {
        if (const TMetaShapeRecord* s =
                FindMetaRecord(MetaShapeRecords,
                               [fn](const TMetaShapeRecord& r) { return r.Wmf && r.Wmf == fn; })) {
            Shape(*s, in, p);
            return;
        }
        if (const TMetaModeRecord* r = FindMetaRecord(
                MetaModeRecords, [fn](const TMetaModeRecord& m) { return m.Wmf && m.Wmf == fn; })) {
            SetMode(*r, r->Colour ? in.U32(p) : in.U16(p));
            return;
        }
        switch (fn) {
        case META_SETTEXTCHAREXTRA:
            M.CharExtra = in.I16(p);
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
        case META_DIBCREATEPATTERNBRUSH: {
            // Whatever the style says, a bitmap with its colours follows.
            TObj o;
            o.Type = OBJ_BRUSH;
            o.Brush = PatternBrush(PackedDib(in, p + 4));
            Add(o);
            break;
        }
        case META_CREATEREGION: {
            TObj o;
            o.Type = OBJ_REGION;
            o.Rects = RegionRects(in, p);
            Add(o);
            break;
        }
        case META_SELECTCLIPREGION: {
            const uint32_t i = in.U16(p);
            if (i < FSlots.size() && FSlots[i].Type == OBJ_REGION) {
                TObj& o = FSlots[i];
                if (!o.Mapped || !o.Mapped->SameMapping(M)) {
                    o.Device = DeviceRegion(o.Rects);
                    o.Mapped = std::make_shared<TMetaState>(M);
                }
                CountClip(o.Device);
                TMetaOp& op = New(TMetaKind::ClipRegion);
                op.Mode = RGN_COPY;
                op.HasRegion = true;
                op.Region = o.Device;
            }
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
            SetFontBytes(lf, in.U32(p + 10), in.U32(p + 14));
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
            if (i < FSlots.size() && FSlots[i].Type) {
                FSlots[i] = TObj();
                FFree.insert(i);
            }
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
        case META_TEXTOUT:
        case META_EXTTEXTOUT:
            Text(fn, in, p);
            break;
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
            QImage img = PackedDib(in, p + 22);
            TMetaOp& op = New(TMetaKind::Image);
            op.Image = std::move(img);
            op.Rop = rop;
            op.R = {dx, dy, dx + dw, dy + dh};
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
            break; // the mapping records too: placeable files set their own
        }
    }
};

} // namespace

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
