#pragma once
// Platform-internal: the objects behind pen, brush, font, region and bitmap
// handles, and the table that owns them until DeleteObject.
#include "platform/graphics/graphics.h"
#include <QPainterPath>
#include <QRegion>
#include <memory>
#include <vector>

struct TGdiObject {
    explicit TGdiObject(int AType) : Type(AType) {}
    virtual ~TGdiObject() = default;
    int Type;
    bool Stock = false;
};

struct TGdiPen : TGdiObject {
    TGdiPen() : TGdiObject(OBJ_PEN) {}
    TPenData Data;
};

struct TGdiBrush : TGdiObject {
    TGdiBrush() : TGdiObject(OBJ_BRUSH) {}
    TBrushData Data;
};

struct TGdiFont : TGdiObject {
    TGdiFont() : TGdiObject(OBJ_FONT) {}
    LOGFONT Data;
};

// The shapes a region was made from (the region is the pixels they share): a
// painter target (a printer page) clips by a few shapes instead of the
// region's one-pixel-high rows.
using TClipOutlines = std::vector<QPainterPath>;

struct TGdiRegion : TGdiObject {
    TGdiRegion() : TGdiObject(OBJ_REGION) {}
    QRegion Region;
    TClipOutlines Outlines; // empty: the region has none
};

// The outline of a polygon region: the polygon with its slanted edges moved
// by half a pixel, so that a pixel is mostly covered where its top-left corner
// is inside, as the region scans it.
QPainterPath PolygonOutline(const QPolygonF& Polygon, Qt::FillRule Rule);
// Outlines standing for R (with its own outlines Own): Own, or R's rectangle
// when R is one; false when R needs its rows.
bool OutlinesOf(const QRegion& R, const TClipOutlines& Own, TClipOutlines& Out);
// The outlines of the intersection of A and B; empty when it has none.
TClipOutlines IntersectOutlines(const QRegion& A, const TClipOutlines& OA, const QRegion& B,
                                const TClipOutlines& OB);

// Takes ownership; the handle stays valid until DeleteObject.
HGDIOBJ AddGdiObject(std::unique_ptr<TGdiObject> Object);
// The object when the handle is live (and of the type, when Type is not 0).
TGdiObject* FindGdiObject(HGDIOBJ Handle, int Type = 0);
TGdiRegion* FindRegion(HRGN Handle);
