#pragma once
// Platform-internal: the objects behind pen, brush, font, region and bitmap
// handles, and the table that owns them until DeleteObject.
#include "platform/graphics/graphics.h"
#include <QRegion>
#include <memory>

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

struct TGdiRegion : TGdiObject {
    TGdiRegion() : TGdiObject(OBJ_REGION) {}
    QRegion Region;
};

// Takes ownership; the handle stays valid until DeleteObject.
HGDIOBJ AddGdiObject(std::unique_ptr<TGdiObject> Object);
// The object when the handle is live (and of the type, when Type is not 0).
TGdiObject* FindGdiObject(HGDIOBJ Handle, int Type = 0);
TGdiRegion* FindRegion(HRGN Handle);
