#pragma once
// Platform-internal: the recorded form of a metafile (operations with the
// device-context state they were drawn with), shared by the recorder, the
// EMF/WMF writers and readers, and playback.
#include "platform/graphics/canvasprivate.h"
#include "platform/graphics/metafile.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

// A scaled length or position in metafile units: rounded half away from zero,
// held within the pixel range (file values may be anything).
inline int MetaRound(double v) {
    return std::isnan(v) ? 0
                         : int(std::lround(std::clamp(v, -double(PixelLimit), double(PixelLimit))));
}

struct TMetaState {
    TPenData Pen;
    TBrushData Brush;
    LOGFONT Font;
    COLORREF TextColor = 0, BkColor = 0xFFFFFF;
    int BkMode = OPAQUE;
    UINT TextAlign = 0;
    int CharExtra = 0, Rop2 = R2_COPYPEN, FillMode = ALTERNATE;
    int ArcDirection = AD_COUNTERCLOCKWISE, StretchMode = BLACKONWHITE;
    int MapMode = MM_TEXT;
    TPoint WindowOrg, ViewportOrg;
    TSize WindowExt{1, 1}, ViewportExt{1, 1};

    static TMetaState From(const TDCState& S);
    bool SameBrush(const TMetaState& o) const;
    bool SameFont(const TMetaState& o) const;
    bool SameMapping(const TMetaState& o) const;
};

enum class TMetaKind {
    State,
    MoveTo,
    LineTo,
    Polyline,
    Polygon,
    PolyPolygon,
    PolyBezier,
    PolyBezierTo,
    Rectangle,
    RoundRect,
    Ellipse,
    Arc,
    ArcTo,
    Pie,
    Chord,
    Text,
    FillRect,
    Pixel,
    Image,
    PatBlt,
    Path,
    SelectClipPath,
    ClipRegion,
    IntersectClip,
    ExcludeClip,
    SaveDC,
    RestoreDC
};

struct TMetaOp {
    TMetaKind Kind = TMetaKind::State;
    std::vector<int> I;      // numeric arguments
    std::vector<TPoint> P;   // points
    std::vector<int> Counts; // polygon sizes
    AnsiString Text;
    std::vector<int> Dx; // advance of each character (logical)
    UINT Options = 0;
    bool HasRect = false;
    TRect R;
    QImage Image; // 32-bit pixels of a block transfer
    DWORD Rop = SRCCOPY;
    TBrushData Brush;
    TMetaState State;
    bool HasRegion = false; // ClipRegion: the region (device units), or none
    QRegion Region;
    int Mode = 0;
};

using TMetaOps = std::vector<std::shared_ptr<const TMetaOp>>;

// The outline that a path's recorded figures make (the operations between its
// start and its use, path calls included), drawn from State, in the
// metafile's device units (metafile.cpp).
QPainterPath MetaPathOutline(const TMetaOps& Figures, const TMetaState& State);

// Writers (metafilewrite.cpp) and readers (metafileread.cpp). Readers raise
// EInvalidGraphic on damage.
std::vector<uint8_t> WriteEmf(const TMetaOps& Ops, int Width, int Height,
                              const AnsiString& Description);
std::vector<uint8_t> WriteWmf(const TMetaOps& Ops, int Width, int Height, int Inch);
// Fills Ops and the picture size from an EMF or placeable WMF file.
void ReadMetafile(const std::vector<uint8_t>& Data, TMetaOps& Ops, int& Width, int& Height,
                  bool& Enhanced);
