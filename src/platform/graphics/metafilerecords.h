#pragma once
// Platform-internal: what the two metafile formats are made of, shared by the
// writers (metafilewrite.cpp) and the readers (metafileread.cpp): a byte
// writer, the record numbers, and the tables that pair records with the
// recorded operations.
#include "platform/graphics/metafileops.h"
#include <array>
#include <cstring>
#include <type_traits>
#include <vector>

// Little-endian fields in a row.
struct TMetaOut {
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
    // 32-bit fields in a row, signed or not.
    template <typename... T> void Dwords(T... v) { (U32(uint32_t(v)), ...); }
    void Pt(TPoint p) {
        I32(p.x);
        I32(p.y);
    }
    void Rect(const TRect& r) {
        I32(r.Left);
        I32(r.Top);
        I32(r.Right);
        I32(r.Bottom);
    }
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
    EMR_CREATEDIBPATTERNBRUSHPT = 94,
    EMR_EXTCREATEPEN = 95
};

enum : uint16_t {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_SELECTCLIPREGION = 0x012C,
    META_RESTOREDC = 0x0127,
    META_SELECTOBJECT = 0x012D,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
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
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_EXTTEXTOUT = 0x0A32,
    META_STRETCHDIB = 0x0F43
};

// Operations that are one record each in both formats. Points: a list of
// points; Point: one; Numbers: the shape's box and then its corner sizes or
// radial points (old-style records hold these last to first).
enum class TShapeForm { Points, Point, Numbers };
struct TMetaShapeRecord {
    TMetaKind Kind;
    TShapeForm Form;
    int Count; // numbers
    uint32_t Emf, Emf16;
    uint16_t Wmf; // 0: none; arc-to is drawn as an arc there
};
inline constexpr TMetaShapeRecord MetaShapeRecords[] = {
    {TMetaKind::MoveTo, TShapeForm::Point, 2, EMR_MOVETOEX, 0, META_MOVETO},
    {TMetaKind::LineTo, TShapeForm::Point, 2, EMR_LINETO, 0, META_LINETO},
    {TMetaKind::Polyline, TShapeForm::Points, 0, EMR_POLYLINE, EMR_POLYLINE16, META_POLYLINE},
    {TMetaKind::Polygon, TShapeForm::Points, 0, EMR_POLYGON, EMR_POLYGON16, META_POLYGON},
    {TMetaKind::PolyBezier, TShapeForm::Points, 0, EMR_POLYBEZIER, EMR_POLYBEZIER16, 0},
    {TMetaKind::PolyBezierTo, TShapeForm::Points, 0, EMR_POLYBEZIERTO, EMR_POLYBEZIERTO16, 0},
    {TMetaKind::Rectangle, TShapeForm::Numbers, 4, EMR_RECTANGLE, 0, META_RECTANGLE},
    {TMetaKind::Ellipse, TShapeForm::Numbers, 4, EMR_ELLIPSE, 0, META_ELLIPSE},
    {TMetaKind::RoundRect, TShapeForm::Numbers, 6, EMR_ROUNDRECT, 0, META_ROUNDRECT},
    {TMetaKind::Arc, TShapeForm::Numbers, 8, EMR_ARC, 0, META_ARC},
    {TMetaKind::ArcTo, TShapeForm::Numbers, 8, EMR_ARCTO, 0, META_ARC},
    {TMetaKind::Pie, TShapeForm::Numbers, 8, EMR_PIE, 0, META_PIE},
    {TMetaKind::Chord, TShapeForm::Numbers, 8, EMR_CHORD, 0, META_CHORD},
    {TMetaKind::IntersectClip, TShapeForm::Numbers, 4, EMR_INTERSECTCLIPRECT, 0,
     META_INTERSECTCLIPRECT},
    {TMetaKind::ExcludeClip, TShapeForm::Numbers, 4, EMR_EXCLUDECLIPRECT, 0, META_EXCLUDECLIPRECT},
};

template <typename T, size_t N, typename Pred>
const T* FindMetaRecord(const T (&Table)[N], Pred&& Match) {
    for (const T& e : Table)
        if (Match(e)) return &e;
    return nullptr;
}

inline const TMetaShapeRecord* MetaShapeOf(TMetaKind k) {
    return FindMetaRecord(MetaShapeRecords, [k](const TMetaShapeRecord& s) { return s.Kind == k; });
}

// The path calls, in the order of their numbers (PathBegin ... PathWiden).
inline constexpr uint32_t MetaPathRecords[] = {EMR_BEGINPATH,         EMR_ENDPATH,    EMR_ABORTPATH,
                                               EMR_CLOSEFIGURE,       EMR_STROKEPATH, EMR_FILLPATH,
                                               EMR_STROKEANDFILLPATH, EMR_WIDENPATH};

// Device-context modes kept as one number: how each is read from and written
// to its record.
template <auto Field> uint32_t MetaModeGet(const TMetaState& m) {
    return uint32_t(m.*Field);
}
template <auto Field> void MetaModePut(TMetaState& m, uint32_t v) {
    m.*Field = std::remove_reference_t<decltype(m.*Field)>(v);
}
struct TMetaModeRecord {
    uint32_t Emf;
    uint16_t Wmf; // 0: none
    uint32_t (*Of)(const TMetaState&);
    void (*Set)(TMetaState&, uint32_t);
    uint32_t Mask; // of the value written
    bool Colour;   // two words in old-style files; colours read keep 24 bits
};
inline constexpr TMetaModeRecord MetaModeRecords[] = {
    {EMR_SETBKMODE, META_SETBKMODE, MetaModeGet<&TMetaState::BkMode>,
     MetaModePut<&TMetaState::BkMode>, 0xFFFFFFFF, false},
    {EMR_SETBKCOLOR, META_SETBKCOLOR, MetaModeGet<&TMetaState::BkColor>,
     MetaModePut<&TMetaState::BkColor>, 0xFFFFFF, true},
    {EMR_SETTEXTCOLOR, META_SETTEXTCOLOR, MetaModeGet<&TMetaState::TextColor>,
     MetaModePut<&TMetaState::TextColor>, 0xFFFFFF, true},
    {EMR_SETTEXTALIGN, META_SETTEXTALIGN, MetaModeGet<&TMetaState::TextAlign>,
     MetaModePut<&TMetaState::TextAlign>, ~uint32_t(TA_UPDATECP), false},
    {EMR_SETROP2, META_SETROP2, MetaModeGet<&TMetaState::Rop2>, MetaModePut<&TMetaState::Rop2>,
     0xFFFFFFFF, false},
    {EMR_SETPOLYFILLMODE, META_SETPOLYFILLMODE, MetaModeGet<&TMetaState::FillMode>,
     MetaModePut<&TMetaState::FillMode>, 0xFFFFFFFF, false},
    {EMR_SETARCDIRECTION, 0, MetaModeGet<&TMetaState::ArcDirection>,
     MetaModePut<&TMetaState::ArcDirection>, 0xFFFFFFFF, false},
    {EMR_SETSTRETCHBLTMODE, 0, MetaModeGet<&TMetaState::StretchMode>,
     MetaModePut<&TMetaState::StretchMode>, 0xFFFFFFFF, false},
};

// The one-byte fields of a font description, in file order.
template <typename L> auto MetaFontBytes(L& lf) {
    return std::array{&lf.lfItalic,  &lf.lfUnderline,     &lf.lfStrikeOut,
                      &lf.lfCharSet, &lf.lfOutPrecision,  &lf.lfClipPrecision,
                      &lf.lfQuality, &lf.lfPitchAndFamily};
}
