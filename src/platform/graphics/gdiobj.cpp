#include "platform/graphics/gdiobj.h"
#include <cstring>
#include <unordered_map>

namespace {

std::unordered_map<TGdiObject*, std::unique_ptr<TGdiObject>>& Table() {
    static std::unordered_map<TGdiObject*, std::unique_ptr<TGdiObject>> table;
    return table;
}

HGDIOBJ MakePen(DWORD style, int width, COLORREF color) {
    auto pen = std::make_unique<TGdiPen>();
    pen->Data.Style = style;
    pen->Data.Width = width;
    pen->Data.Color = color;
    return AddGdiObject(std::move(pen));
}

HGDIOBJ MakeBrush(UINT style, int hatch, COLORREF color) {
    auto brush = std::make_unique<TGdiBrush>();
    brush->Data.Style = style;
    brush->Data.Hatch = hatch;
    brush->Data.Color = color;
    return AddGdiObject(std::move(brush));
}

} // namespace

HGDIOBJ AddGdiObject(std::unique_ptr<TGdiObject> Object) {
    TGdiObject* handle = Object.get();
    Table()[handle] = std::move(Object);
    return handle;
}

TGdiObject* FindGdiObject(HGDIOBJ Handle, int Type) {
    if (!Handle) return nullptr;
    auto it = Table().find(Handle);
    if (it == Table().end()) return nullptr;
    if (Type != 0 && it->second->Type != Type) return nullptr;
    return it->second.get();
}

TGdiRegion* FindRegion(HRGN Handle) {
    return static_cast<TGdiRegion*>(FindGdiObject(Handle, OBJ_REGION));
}

bool DeleteObject(HGDIOBJ Object) {
    auto it = Table().find(Object);
    if (it == Table().end()) return false;
    if (it->second->Stock) return true;
    Table().erase(it);
    return true;
}

int GetObjectType(HGDIOBJ Object) {
    TGdiObject* o = FindGdiObject(Object);
    return o ? o->Type : 0;
}

int GetObject(HGDIOBJ Object, int Size, void* Buffer) {
    TGdiObject* o = FindGdiObject(Object);
    if (!o || !Buffer) return 0;
    switch (o->Type) {
    case OBJ_FONT:
        if (Size < int(sizeof(LOGFONT))) return 0;
        std::memcpy(Buffer, &static_cast<TGdiFont*>(o)->Data, sizeof(LOGFONT));
        return int(sizeof(LOGFONT));
    case OBJ_PEN: {
        if (Size < int(sizeof(LOGPEN))) return 0;
        const TPenData& d = static_cast<TGdiPen*>(o)->Data;
        LOGPEN lp;
        lp.lopnStyle = d.Style;
        lp.lopnWidth = d.Width;
        lp.lopnColor = d.Color;
        std::memcpy(Buffer, &lp, sizeof lp);
        return int(sizeof lp);
    }
    case OBJ_BRUSH: {
        if (Size < int(sizeof(LOGBRUSH))) return 0;
        const TBrushData& d = static_cast<TGdiBrush*>(o)->Data;
        LOGBRUSH lb;
        lb.lbStyle = d.Style;
        lb.lbColor = d.Color;
        lb.lbHatch = uintptr_t(d.Hatch);
        std::memcpy(Buffer, &lb, sizeof lb);
        return int(sizeof lb);
    }
    default:
        return 0;
    }
}

HFONT CreateFontIndirect(const LOGFONT& lf) {
    auto font = std::make_unique<TGdiFont>();
    font->Data = lf;
    font->Data.lfFaceName[LF_FACESIZE - 1] = 0;
    return AddGdiObject(std::move(font));
}

HPEN CreatePen(int Style, int Width, COLORREF Color) {
    return MakePen(DWORD(Style) & PS_STYLE_MASK, Width, Color);
}

HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH& Brush, DWORD, const DWORD*) {
    // Cosmetic pens are one pixel wide whatever was asked.
    const bool geometric = (Style & PS_TYPE_MASK) == PS_GEOMETRIC;
    const int width = geometric ? int(Width) : 1;
    const DWORD style = Brush.lbStyle == BS_NULL ? (Style & ~PS_STYLE_MASK) | PS_NULL : Style;
    HGDIOBJ pen = MakePen(style, width, Brush.lbColor);
    static_cast<TGdiPen*>(FindGdiObject(pen, OBJ_PEN))->Data.Cosmetic = !geometric;
    return pen;
}

HBRUSH CreateSolidBrush(COLORREF Color) {
    return MakeBrush(BS_SOLID, 0, Color);
}
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color) {
    return MakeBrush(BS_HATCHED, Hatch, Color);
}
HBRUSH CreateBrushIndirect(const LOGBRUSH& Brush) {
    return MakeBrush(Brush.lbStyle, int(Brush.lbHatch), Brush.lbColor);
}

HGDIOBJ GetStockObject(int Index) {
    static HGDIOBJ stock[20] = {};
    if (Index < 0 || Index >= 20) return nullptr;
    if (!stock[Index]) {
        HGDIOBJ h = nullptr;
        switch (Index) {
        case WHITE_BRUSH:
            h = CreateSolidBrush(0xFFFFFF);
            break;
        case LTGRAY_BRUSH:
            h = CreateSolidBrush(0xC0C0C0);
            break;
        case GRAY_BRUSH:
            h = CreateSolidBrush(0x808080);
            break;
        case DKGRAY_BRUSH:
            h = CreateSolidBrush(0x404040);
            break;
        case BLACK_BRUSH:
            h = CreateSolidBrush(0);
            break;
        case NULL_BRUSH:
            h = MakeBrush(BS_NULL, 0, 0);
            break;
        case WHITE_PEN:
            h = CreatePen(PS_SOLID, 1, 0xFFFFFF);
            break;
        case BLACK_PEN:
            h = CreatePen(PS_SOLID, 1, 0);
            break;
        case NULL_PEN:
            h = CreatePen(PS_NULL, 1, 0);
            break;
        case DC_BRUSH:
            h = CreateSolidBrush(0xFFFFFF);
            break;
        case DC_PEN:
            h = CreatePen(PS_SOLID, 1, 0);
            break;
        case OEM_FIXED_FONT:
        case ANSI_FIXED_FONT:
        case ANSI_VAR_FONT:
        case SYSTEM_FONT:
        case DEFAULT_GUI_FONT: {
            LOGFONT lf;
            lf.lfHeight = -11;
            const bool fixed = Index == OEM_FIXED_FONT || Index == ANSI_FIXED_FONT;
            std::strcpy(lf.lfFaceName, fixed ? "Courier New" : "MS Sans Serif");
            if (Index == SYSTEM_FONT) lf.lfWeight = FW_BOLD;
            h = CreateFontIndirect(lf);
            break;
        }
        default:
            return nullptr;
        }
        FindGdiObject(h)->Stock = true;
        stock[Index] = h;
    }
    return stock[Index];
}
