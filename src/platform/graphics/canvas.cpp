// TCanvas: the device-context state and the drawing calls, which map logical
// to device coordinates, feed an open path or the metafile recorder, and draw.
// Sections: the private device context (with the line fast path's checks);
// construction and objects; simple state; mapping; lines and shapes; block
// transfers; paths; clipping.
#include "platform/graphics/canvasprivate.h"
#include "platform/graphics/qtbridge.h"
#include <QPainter>
#include <cmath>

QM_CLASS_PLAIN(TCanvas, TPersistent)

// --- the private device context -----------------------------------------------

double TCanvasPrivate::ScaleX() const {
    if (S.MapMode == MM_TEXT || S.WindowExt.cx == 0) return 1.0;
    return double(S.ViewportExt.cx) / S.WindowExt.cx;
}

double TCanvasPrivate::ScaleY() const {
    if (S.MapMode == MM_TEXT || S.WindowExt.cy == 0) return 1.0;
    return double(S.ViewportExt.cy) / S.WindowExt.cy;
}

TPoint TCanvasPrivate::ToDevice(int X, int Y) const {
    if (IdentityMap()) return {X, Y};
    if (IsUnitScale())
        return {X - S.WindowOrg.x + S.ViewportOrg.x, Y - S.WindowOrg.y + S.ViewportOrg.y};
    const QPointF p = ToDeviceF(X, Y);
    return {PixelPos(p.x()), PixelPos(p.y())};
}

QPointF TCanvasPrivate::ToDeviceF(double X, double Y) const {
    return {(X - S.WindowOrg.x) * ScaleX() + S.ViewportOrg.x,
            (Y - S.WindowOrg.y) * ScaleY() + S.ViewportOrg.y};
}

TPoint TCanvasPrivate::ToLogical(int X, int Y) const {
    const double sx = ScaleX(), sy = ScaleY();
    return {PixelPos((X - S.ViewportOrg.x) / (sx == 0 ? 1 : sx) + S.WindowOrg.x),
            PixelPos((Y - S.ViewportOrg.y) / (sy == 0 ? 1 : sy) + S.WindowOrg.y)};
}

int TCanvasPrivate::DevicePenWidth() const {
    return PenInfo(*this).Width;
}

TRect TCanvasPrivate::DeviceBounds() const {
    if (Image) return {0, 0, Image->width(), Image->height()};
    return {0, 0, DeviceSize.cx, DeviceSize.cy};
}

QRegion TCanvasPrivate::EffectiveClip() const {
    const TRect b = DeviceBounds();
    const QRegion all(b.Left, b.Top, b.Width(), b.Height());
    return S.HasClip ? S.Clip.intersected(all) : all;
}

void TCanvasPrivate::SelectPen(const TPenData& Pen, HPEN Handle) {
    const bool dcPen = Handle && Handle == GetStockObject(DC_PEN);
    // Selecting the pen that is selected already changes nothing, so a series
    // that prepares its pen before each line keeps its line run.
    if (Pen == S.Pen && Handle == S.PenHandle && dcPen == S.DCPen) return;
    S.Pen = Pen;
    S.PenHandle = Handle;
    S.DCPen = dcPen;
    StylePhase = 0;
    Touched();
}

void TCanvasPrivate::CheckRun() {
    Run.Checked = Run.Version;
    Run.Fast = false;
    Run.Lo = 1;
    Run.Hi = 0;
    if (!Image || Painter || Recorder || InPath || !IdentityMap() || S.Rop2 != R2_COPYPEN) return;
    if (!LineRaster()) return;
    const TPenInfo pen = PenInfo(*this);
    if (pen.Null || pen.Wide || (pen.Style != PS_SOLID && pen.Style != PS_INSIDEFRAME)) return;
    Run.Color = ToPixel(pen.Color);
    Run.Fast = true;
}

void TCanvasPrivate::SelectBrush(const TBrushData& Brush, HBRUSH Handle) {
    S.Brush = Brush;
    S.BrushHandle = Handle;
    S.DCBrush = Handle && Handle == GetStockObject(DC_BRUSH);
}

void TCanvasPrivate::SelectFont(const LOGFONT& Font, HFONT Handle) {
    S.Font = Font;
    S.FontHandle = Handle;
}

void TCanvasPrivate::Record() const {
    if (Recorder) Recorder->StateChanged(S);
}

TRaster* TCanvasPrivate::Raster() {
    Touched();
    return LineRaster();
}

TRaster* TCanvasPrivate::LineRaster() {
    if (!Image) return nullptr;
    const uchar* bits = Image->bits(); // detaches a shared image before drawing
    if (FRaster && FRasterImage == Image && FRasterBits == bits && FRasterClip == ClipVersion)
        return FRaster.get();
    // The pixel engine works on 32-bit pixels only.
    if (Image->isNull() || Image->depth() != 32) return nullptr;
    FRaster = std::make_unique<TRaster>(*Image, S.HasClip ? &S.Clip : nullptr);
    FRasterImage = Image;
    FRasterBits = bits;
    FRasterClip = ClipVersion;
    return FRaster.get();
}

QPainter* TCanvasPrivate::PreparedPainter() {
    if (!Painter) return nullptr;
    // A page writes out the whole clip each time it is set, and a chart sets
    // the same clip again around every series: set it only when it changed.
    if (Painter != FClipPainter || ClipVersion != FPainterClipVersion) {
        const bool same = Painter == FClipPainter && S.HasClip == FPainterHasClip &&
                          (!S.HasClip || (S.ClipOutlines == FPainterOutlines &&
                                          (!S.ClipOutlines.empty() || S.Clip == FPainterClip)));
        if (!same) {
            if (!S.HasClip)
                Painter->setClipping(false);
            else if (S.ClipOutlines.empty())
                Painter->setClipRegion(S.Clip);
            else
                for (size_t i = 0; i < S.ClipOutlines.size(); ++i)
                    Painter->setClipPath(S.ClipOutlines[i],
                                         i == 0 ? Qt::ReplaceClip : Qt::IntersectClip);
            FClipPainter = Painter;
            FPainterHasClip = S.HasClip;
            FPainterClip = S.ClipOutlines.empty() ? S.Clip : QRegion();
            FPainterOutlines = S.ClipOutlines;
        }
        FPainterClipVersion = ClipVersion;
    }
    // Each setting marks the page's state changed, even when it stays the same.
    const Qt::BGMode mode = S.BkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode;
    if (Painter->backgroundMode() != mode) Painter->setBackgroundMode(mode);
    const QColor back = ColorRefToQColor(S.BkColor);
    if (Painter->background() != QBrush(back)) Painter->setBackground(back);
    if (Painter->testRenderHint(QPainter::Antialiasing))
        Painter->setRenderHint(QPainter::Antialiasing, false);
    return Painter;
}

QTransform MapTransform(const TCanvasPrivate& D) {
    QTransform t;
    t.translate(D.S.ViewportOrg.x, D.S.ViewportOrg.y);
    t.scale(D.ScaleX(), D.ScaleY());
    t.translate(-D.S.WindowOrg.x, -D.S.WindowOrg.y);
    return t;
}

QRegion RegionFromPolygons(const QList<QPolygonF>& Polygons, Qt::FillRule Rule) {
    std::vector<TSpan> spans;
    // Regions cover at most a few screens around the origin.
    ScanPolygons(Polygons, Rule == Qt::WindingFill, -65536, 65536, [&](int y, int x0, int x1) {
        spans.push_back({y, x0, x1});
    });
    return SpansToRegion(spans);
}

// --- construction and objects ------------------------------------------------

TCanvas::TCanvas()
    : D(std::make_unique<TCanvasPrivate>(this)), FLine(&D->Run), FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()), FFont(std::make_unique<TFont>()) {
    D->Run.Pos = &D->S.Pos;
    FFont->SetPixelsPerInch(96);
    FPen->OnChange = [this](TObject*) { RealizePen(); };
    FBrush->OnChange = [this](TObject*) { RealizeBrush(); };
    FFont->OnChange = [this](TObject*) { RealizeFont(); };
    RealizePen();
    RealizeBrush();
    RealizeFont();
}

TCanvas::~TCanvas() {
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
    FFont->OnChange = nullptr;
}

// The canvas's own objects are selected as soon as they change, so calls on
// the device context made afterwards (back colour, a foreign font) hold.
void TCanvas::RealizePen() {
    D->SelectPen(FPen->Data(), FPen->Handle());
    const int rop = PenModeToROP2(FPen->Mode());
    if (rop != D->S.Rop2) {
        D->S.Rop2 = rop;
        D->Touched();
    }
}

void TCanvas::RealizeBrush() {
    D->SelectBrush(FBrush->Data(), FBrush->Handle());
    const COLORREF c = ColorToRGB(FBrush->Color()) & 0xFFFFFF;
    if (FBrush->Style() == bsSolid) {
        D->S.BkColor = c;
        D->S.BkMode = OPAQUE;
    } else {
        D->S.BkColor = ~c & 0xFFFFFF;
        D->S.BkMode = TRANSPARENT;
    }
}

void TCanvas::RealizeFont() {
    D->SelectFont(FFont->LogFont(), FFont->Handle());
    D->S.TextColor = ColorToRGB(FFont->Color()) & 0xFFFFFF;
}

void TCanvas::RequiredState(bool NeedPen, bool NeedBrush, bool NeedFont) {
    if (NeedPen) RealizePen();
    if (NeedBrush) RealizeBrush();
    if (NeedFont) RealizeFont();
}

void TCanvas::AttachImage(QImage* Image) {
    D->Image = Image;
    D->ClipChanged();
}

QImage* TCanvas::AttachedImage() const {
    return D->Image;
}
bool TCanvas::PaintsImagePixels() const {
    return D->Image && !D->Painter && !D->Recorder && !D->InPath && D->IdentityMap();
}
bool TCanvas::HandleAllocated() const {
    return D->HasTarget();
}

HDC TCanvas::Handle() {
    Ready();
    return this;
}

bool TCanvas::Ready() {
    D->Touched();
    BeforeAccess();
    if (!D->HasTarget()) CreateHandle();
    return D->HasTarget();
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
    return D->S.Pos;
}

TRect TCanvas::ClipRect() {
    TRect r;
    GetClipBox(&r);
    return r;
}

TColor TCanvas::Pixels(int X, int Y) {
    const COLORREF c = GetPixel(X, Y);
    return c == CLR_INVALID ? TColor(-1) : TColor(c);
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    if (!Ready()) return;
    Changing();
    const COLORREF c = ColorToRGB(Color) & 0xFFFFFF;
    if (D->Recorder) {
        D->Record();
        D->Recorder->SetPixel(X, Y, c);
    }
    const TPoint p = D->ToDevice(X, Y);
    DevSetPixel(*D, p.x, p.y, c);
    Changed();
}

COLORREF TCanvas::GetPixel(int X, int Y) {
    if (!Ready()) return CLR_INVALID;
    const TPoint p = D->ToDevice(X, Y);
    return DevGetPixel(*D, p.x, p.y);
}

HGDIOBJ TCanvas::SelectObject(HGDIOBJ Object) {
    TGdiObject* o = FindGdiObject(Object);
    if (!o) return nullptr;
    HGDIOBJ old = nullptr;
    switch (o->Type) {
    case OBJ_PEN:
        old = D->S.PenHandle;
        D->SelectPen(static_cast<TGdiPen*>(o)->Data, Object);
        break;
    case OBJ_BRUSH:
        old = D->S.BrushHandle;
        D->SelectBrush(static_cast<TGdiBrush*>(o)->Data, Object);
        break;
    case OBJ_FONT:
        old = D->S.FontHandle;
        D->SelectFont(static_cast<TGdiFont*>(o)->Data, Object);
        break;
    case OBJ_REGION:
        // The platform returns the region type here, not a handle.
        return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(Object)));
    default:
        return nullptr;
    }
    // A handle freed while selected leaves its copy in the state; hand back
    // nothing rather than a dangling handle.
    return FindGdiObject(old) ? old : nullptr;
}

HGDIOBJ TCanvas::GetCurrentObject(int ObjectType) {
    switch (ObjectType) {
    case OBJ_PEN:
        return D->S.PenHandle;
    case OBJ_BRUSH:
        return D->S.BrushHandle;
    case OBJ_FONT:
        return D->S.FontHandle;
    default:
        return nullptr;
    }
}

// --- simple state ------------------------------------------------------------

UINT TCanvas::SetTextAlign(UINT Flags) {
    return std::exchange(D->S.TextAlign, Flags);
}
UINT TCanvas::GetTextAlign() {
    return D->S.TextAlign;
}

int TCanvas::SetBkMode(int Mode) {
    if (Mode != TRANSPARENT && Mode != OPAQUE) return 0;
    return std::exchange(D->S.BkMode, Mode);
}
int TCanvas::GetBkMode() {
    return D->S.BkMode;
}
COLORREF TCanvas::SetBkColor(COLORREF Color) {
    return std::exchange(D->S.BkColor, Color & 0xFFFFFF);
}
COLORREF TCanvas::GetBkColor() {
    return D->S.BkColor;
}
COLORREF TCanvas::SetTextColor(COLORREF Color) {
    return std::exchange(D->S.TextColor, Color & 0xFFFFFF);
}
COLORREF TCanvas::GetTextColor() {
    return D->S.TextColor;
}
int TCanvas::SetTextCharacterExtra(int Extra) {
    return std::exchange(D->S.CharExtra, Extra);
}
int TCanvas::GetTextCharacterExtra() {
    return D->S.CharExtra;
}

int TCanvas::SetROP2(int Rop) {
    if (Rop < R2_BLACK || Rop > R2_WHITE) return 0;
    D->Touched();
    return std::exchange(D->S.Rop2, Rop);
}
int TCanvas::GetROP2() {
    return D->S.Rop2;
}

int TCanvas::SetPolyFillMode(int Mode) {
    if (Mode != ALTERNATE && Mode != WINDING) return 0;
    return std::exchange(D->S.FillMode, Mode);
}
int TCanvas::GetPolyFillMode() {
    return D->S.FillMode;
}

int TCanvas::SetArcDirection(int Direction) {
    if (Direction != AD_CLOCKWISE && Direction != AD_COUNTERCLOCKWISE) return 0;
    return std::exchange(D->S.ArcDirection, Direction);
}
int TCanvas::GetArcDirection() {
    return D->S.ArcDirection;
}
int TCanvas::SetStretchBltMode(int Mode) {
    return std::exchange(D->S.StretchMode, Mode);
}
COLORREF TCanvas::SetDCPenColor(COLORREF Color) {
    D->Touched();
    return std::exchange(D->S.DCPenColor, Color & 0xFFFFFF);
}
COLORREF TCanvas::SetDCBrushColor(COLORREF Color) {
    return std::exchange(D->S.DCBrushColor, Color & 0xFFFFFF);
}

int TCanvas::SaveDC() {
    D->Saved.push_back(D->S);
    if (D->Recorder) D->Recorder->SaveDC();
    return int(D->Saved.size());
}

bool TCanvas::RestoreDC(int Saved) {
    const int level = int(D->Saved.size());
    const int target = Saved < 0 ? level + Saved + 1 : Saved;
    if (target < 1 || target > level) return false;
    D->S = D->Saved[size_t(target - 1)];
    D->Saved.resize(size_t(target - 1));
    D->ClipChanged();
    // Enhanced metafiles only know levels relative to the current one.
    if (D->Recorder) D->Recorder->RestoreDC(target - level - 1);
    return true;
}

// --- mapping -------------------------------------------------------------------

int TCanvas::SetMapMode(int Mode) {
    D->Touched();
    if (Mode < MM_TEXT || Mode > MM_ANISOTROPIC) return 0;
    const int old = std::exchange(D->S.MapMode, Mode);
    // Fixed scales: logical units per inch, y growing upwards.
    int perInch = 0;
    switch (Mode) {
    case MM_LOMETRIC:
        perInch = 254;
        break;
    case MM_HIMETRIC:
        perInch = 2540;
        break;
    case MM_LOENGLISH:
        perInch = 100;
        break;
    case MM_HIENGLISH:
        perInch = 1000;
        break;
    case MM_TWIPS:
        perInch = 1440;
        break;
    default:
        break;
    }
    if (perInch) {
        D->S.WindowExt = {perInch, perInch};
        D->S.ViewportExt = {D->DevicePpi, -D->DevicePpi};
    } else if (Mode == MM_TEXT) {
        D->S.WindowExt = D->S.ViewportExt = {1, 1};
    }
    return old;
}
int TCanvas::GetMapMode() {
    return D->S.MapMode;
}

bool TCanvas::SetWindowOrgEx(int X, int Y, TPoint* Previous) {
    D->Touched();
    if (Previous) *Previous = D->S.WindowOrg;
    D->S.WindowOrg = {X, Y};
    return true;
}
bool TCanvas::GetWindowOrgEx(TPoint* P) {
    if (P) *P = D->S.WindowOrg;
    return true;
}

namespace {
// Isotropic mapping keeps one scale for both axes: the smaller one wins.
void Isotropic(TDCState& S) {
    if (S.MapMode != MM_ISOTROPIC || S.WindowExt.cx == 0 || S.WindowExt.cy == 0) return;
    const double sx = std::fabs(double(S.ViewportExt.cx) / S.WindowExt.cx);
    const double sy = std::fabs(double(S.ViewportExt.cy) / S.WindowExt.cy);
    if (sx < sy) {
        const int v = int(std::lround(sx * std::abs(S.WindowExt.cy)));
        S.ViewportExt.cy = S.ViewportExt.cy < 0 ? -v : v;
    } else if (sy < sx) {
        const int v = int(std::lround(sy * std::abs(S.WindowExt.cx)));
        S.ViewportExt.cx = S.ViewportExt.cx < 0 ? -v : v;
    }
}
} // namespace

bool TCanvas::SetWindowExtEx(int X, int Y, TSize* Previous) {
    D->Touched();
    if (Previous) *Previous = D->S.WindowExt;
    if (D->S.MapMode != MM_ISOTROPIC && D->S.MapMode != MM_ANISOTROPIC) return true;
    if (X == 0 || Y == 0) return false;
    D->S.WindowExt = {X, Y};
    Isotropic(D->S);
    return true;
}
bool TCanvas::GetWindowExtEx(TSize* S) {
    if (S) *S = D->S.WindowExt;
    return true;
}
bool TCanvas::SetViewportOrgEx(int X, int Y, TPoint* Previous) {
    D->Touched();
    if (Previous) *Previous = D->S.ViewportOrg;
    D->S.ViewportOrg = {X, Y};
    return true;
}
bool TCanvas::GetViewportOrgEx(TPoint* P) {
    if (P) *P = D->S.ViewportOrg;
    return true;
}
bool TCanvas::SetViewportExtEx(int X, int Y, TSize* Previous) {
    D->Touched();
    if (Previous) *Previous = D->S.ViewportExt;
    if (D->S.MapMode != MM_ISOTROPIC && D->S.MapMode != MM_ANISOTROPIC) return true;
    if (X == 0 || Y == 0) return false;
    D->S.ViewportExt = {X, Y};
    Isotropic(D->S);
    return true;
}
bool TCanvas::GetViewportExtEx(TSize* S) {
    if (S) *S = D->S.ViewportExt;
    return true;
}
bool TCanvas::OffsetWindowOrgEx(int X, int Y, TPoint* Previous) {
    D->Touched();
    if (Previous) *Previous = D->S.WindowOrg;
    D->S.WindowOrg.x += X;
    D->S.WindowOrg.y += Y;
    return true;
}
bool TCanvas::OffsetViewportOrgEx(int X, int Y, TPoint* Previous) {
    D->Touched();
    if (Previous) *Previous = D->S.ViewportOrg;
    D->S.ViewportOrg.x += X;
    D->S.ViewportOrg.y += Y;
    return true;
}
bool TCanvas::LPtoDP(TPoint* Points, int Count) {
    if (!Points || Count < 0) return false;
    for (int i = 0; i < Count; ++i)
        Points[i] = D->ToDevice(Points[i]);
    return true;
}
bool TCanvas::DPtoLP(TPoint* Points, int Count) {
    if (!Points || Count < 0) return false;
    for (int i = 0; i < Count; ++i)
        Points[i] = D->ToLogical(Points[i].x, Points[i].y);
    return true;
}

int TCanvas::GetDeviceCaps(int Index) {
    const TRect b = D->DeviceBounds();
    const int ppi = D->DevicePpi;
    switch (Index) {
    case TECHNOLOGY:
        return D->DeviceTechnology;
    case HORZRES:
        return b.Width();
    case VERTRES:
        return b.Height();
    case HORZSIZE:
        return int(std::lround(b.Width() * 25.4 / ppi));
    case VERTSIZE:
        return int(std::lround(b.Height() * 25.4 / ppi));
    case BITSPIXEL:
        return D->DeviceTechnology == DT_RASDISPLAY ? 32 : 24;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return ppi;
    case PHYSICALWIDTH:
        return b.Width();
    case PHYSICALHEIGHT:
        return b.Height();
    default:
        return 0;
    }
}

// --- lines and shapes --------------------------------------------------------

namespace {

void PathAdd(TCanvasPrivate& D, const QPainterPath& Figure) {
    D.Path.addPath(Figure);
}

QPainterPath PolyFigure(const std::vector<TPoint>& pts, bool closed) {
    QPainterPath p;
    if (pts.empty()) return p;
    p.moveTo(pts[0].x, pts[0].y);
    for (size_t i = 1; i < pts.size(); ++i)
        p.lineTo(pts[i].x, pts[i].y);
    if (closed) p.closeSubpath();
    return p;
}

std::vector<TPoint> DevicePoints(const TCanvasPrivate& D, const TPoint* Points, int Count) {
    std::vector<TPoint> out;
    if (!Points || Count <= 0) return out;
    out.reserve(size_t(Count));
    for (int i = 0; i < Count; ++i)
        out.push_back(D.ToDevice(Points[i]));
    return out;
}

} // namespace

bool TCanvas::MoveToEx(int X, int Y, TPoint* Previous) {
    if (Previous) *Previous = D->S.Pos;
    D->S.Pos = {X, Y};
    D->StylePhase = 0;
    if (D->Recorder) {
        D->Record(); // the position is mapped with the mapping in force now
        D->Recorder->MoveTo(X, Y);
    }
    if (D->InPath) {
        const TPoint p = D->ToDevice(X, Y);
        D->Path.moveTo(p.x, p.y);
    }
    return true;
}

bool TCanvas::LineToDC(int X, int Y) {
    TCanvasPrivate& d = *D;
    if (d.Run.Checked != d.Run.Version) {
        if (!Ready()) {
            d.S.Pos = {X, Y};
            return false;
        }
        d.CheckRun();
    }
    const TPoint from = d.S.Pos;
    d.S.Pos = {X, Y};
    if (d.Run.Fast && !d.Recorder) {
        // A line that paints nothing new changes nothing, so it tells no one.
        const auto raster = [&] {
            Changing();
            return d.LineRaster();
        };
        if (DevRunLine(d, from, {X, Y}, raster)) Changed();
        return true;
    }
    if (!Ready()) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->LineTo(X, Y);
    }
    if (D->InPath) {
        const TPoint f = D->ToDevice(from), t = D->ToDevice(X, Y);
        if (D->Path.elementCount() == 0) D->Path.moveTo(f.x, f.y);
        D->Path.lineTo(t.x, t.y);
        return true;
    }
    Changing();
    DevLine(*D, D->ToDevice(from), D->ToDevice(X, Y));
    Changed();
    return true;
}

void TCanvas::Polyline(const TPoint* Points, int Count) {
    PolylineDC(Points, Count);
}

bool TCanvas::PolylineDC(const TPoint* Points, int Count) {
    if (!Points || Count < 2 || !Ready()) return Count >= 0 && Count != 1;
    if (D->Recorder) {
        D->Record();
        D->Recorder->Polyline(Points, Count);
    }
    if (D->InPath) {
        PathAdd(*D, PolyFigure(DevicePoints(*D, Points, Count), false));
        return true;
    }
    // The fast path is chosen after the notice: a handler may change the pen
    // or replace the target.
    Changing();
    D->CheckRun();
    if (D->Run.Fast && !D->Recorder) {
        if (TRaster* r = D->LineRaster()) DevRunPolyline(*D, r, Points, Count);
        Changed();
        return true;
    }
    DevPolyline(*D, Points, Count, false);
    Changed();
    return true;
}

void TCanvas::Polygon(const TPoint* Points, int Count) {
    PolygonDC(Points, Count);
}

bool TCanvas::PolygonDC(const TPoint* Points, int Count) {
    if (!Points || Count < 2 || !Ready()) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->Polygon(Points, Count);
    }
    const auto pts = DevicePoints(*D, Points, Count);
    if (D->InPath) {
        PathAdd(*D, PolyFigure(pts, true));
        return true;
    }
    Changing();
    DevPolygon(*D, {pts});
    Changed();
    return true;
}

bool TCanvas::PolyPolygon(const TPoint* Points, const int* Counts, int Polygons) {
    if (!Points || !Counts || Polygons <= 0 || !Ready()) return false;
    int total = 0;
    for (int i = 0; i < Polygons; ++i) {
        if (Counts[i] < 2) return false;
        total += Counts[i];
    }
    if (D->Recorder) {
        D->Record();
        D->Recorder->PolyPolygon(Points, Counts, Polygons);
    }
    std::vector<std::vector<TPoint>> polys;
    const TPoint* p = Points;
    for (int i = 0; i < Polygons; ++i) {
        polys.push_back(DevicePoints(*D, p, Counts[i]));
        p += Counts[i];
    }
    if (D->InPath) {
        for (const auto& poly : polys)
            PathAdd(*D, PolyFigure(poly, true));
        return true;
    }
    Changing();
    DevPolygon(*D, polys);
    Changed();
    return true;
}

void TCanvas::PolyBezier(const TPoint* Points, int Count) {
    PolyBezierDC(Points, Count);
}
void TCanvas::PolyBezierTo(const TPoint* Points, int Count) {
    PolyBezierToDC(Points, Count);
}

bool TCanvas::PolyBezierDC(const TPoint* Points, int Count) {
    // One start point and three points per segment.
    if (!Points || Count < 4 || (Count - 1) % 3 != 0 || !Ready()) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->PolyBezier(Points, Count, false);
    }
    std::vector<QPointF> controls;
    for (int i = 1; i < Count; ++i)
        controls.push_back(D->ToDeviceF(Points[i].x, Points[i].y));
    const bool draws = !D->InPath;
    if (draws) Changing();
    DoBezier(*D, D->ToDevice(Points[0]), controls, false);
    if (draws) Changed();
    return true;
}

bool TCanvas::PolyBezierToDC(const TPoint* Points, int Count) {
    if (!Points || Count < 3 || Count % 3 != 0 || !Ready()) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->PolyBezier(Points, Count, true);
    }
    std::vector<QPointF> controls;
    for (int i = 0; i < Count; ++i)
        controls.push_back(D->ToDeviceF(Points[i].x, Points[i].y));
    const bool draws = !D->InPath;
    if (draws) Changing();
    DoBezier(*D, D->ToDevice(D->S.Pos), controls, true);
    D->S.Pos = Points[Count - 1];
    if (draws) Changed();
    return true;
}

bool TCanvas::RectangleDC(int X1, int Y1, int X2, int Y2) {
    TCanvasPrivate& d = *D;
    // While a line run holds, nothing has changed the context since its
    // check, so the box goes straight to the pixels and the run goes on:
    // dense boxes and lines drawn in turn (candles) keep the fast path.
    if (d.Run.Checked == d.Run.Version && d.Run.Fast && !d.Recorder) {
        Changing();
        DevRunRectangle(d, X1, Y1, X2, Y2);
        Changed();
        return true;
    }
    if (!Ready()) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->Rectangle(X1, Y1, X2, Y2);
    }
    const bool draws = !D->InPath;
    if (draws) Changing();
    if (D->IdentityMap())
        DoRectangle(*D, {X1, Y1}, {X2, Y2});
    else
        DoRectangle(*D, D->ToDevice(X1, Y1), D->ToDevice(X2, Y2));
    if (draws) Changed();
    return true;
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    RectangleDC(X1, Y1, X2, Y2);
}

bool TCanvas::ColumnsAndBoxes(std::span<const TColumnBox> Marks) {
    TCanvasPrivate& d = *D;
    // With handlers each call's notices would be seen apart.
    if (OnChanging || OnChange || d.Recorder) return false;
    if (d.Run.Checked != d.Run.Version) {
        if (!Ready()) return false;
        d.CheckRun();
    }
    const UINT brush = d.S.Brush.Style;
    if (!d.Run.Fast || (brush != BS_SOLID && brush != BS_NULL)) return false;
    DevRunColumnsAndBoxes(d, Marks);
    return true;
}

bool TCanvas::DirectPixels(TDirectPixels& Out) {
    TCanvasPrivate& d = *D;
    if (OnChanging || OnChange || d.Recorder) return false;
    if (d.Run.Checked != d.Run.Version) {
        if (!Ready()) return false;
        d.CheckRun();
    }
    if (!d.Run.Fast || d.S.Brush.Style != BS_SOLID) return false;
    return DevDirectPixels(d, Out);
}

bool TCanvas::EllipseDC(int X1, int Y1, int X2, int Y2) {
    if (!Ready()) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->Ellipse(X1, Y1, X2, Y2);
    }
    const TPoint a = D->ToDevice(X1, Y1), b = D->ToDevice(X2, Y2);
    const bool draws = !D->InPath;
    if (draws) Changing();
    DoRoundShape(*D, a, b, std::abs(b.x - a.x), std::abs(b.y - a.y));
    if (draws) Changed();
    return true;
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    EllipseDC(X1, Y1, X2, Y2);
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    if (!Ready()) return;
    if (D->Recorder) {
        D->Record();
        D->Recorder->RoundRect(X1, Y1, X2, Y2, X3, Y3);
    }
    const TPoint a = D->ToDevice(X1, Y1), b = D->ToDevice(X2, Y2);
    const int w = std::abs(PixelPos(X3 * D->ScaleX())), h = std::abs(PixelPos(Y3 * D->ScaleY()));
    const bool draws = !D->InPath;
    if (draws) Changing();
    DoRoundShape(*D, a, b, w, h);
    if (draws) Changed();
}

namespace {

void ArcCall(TCanvas* C, TCanvasPrivate& D, int Kind, int X1, int Y1, int X2, int Y2, int X3,
             int Y3, int X4, int Y4) {
    if (D.Recorder) {
        D.Record();
        D.Recorder->ArcShape(Kind, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    }
    const TPoint e = DoArcShape(D, Kind, D.ToDevice(X1, Y1), D.ToDevice(X2, Y2), D.ToDevice(X3, Y3),
                                D.ToDevice(X4, Y4), D.ToDevice(D.S.Pos));
    if (Kind == 1) D.S.Pos = D.ToLogical(e.x, e.y);
    (void)C;
}

} // namespace

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    if (!Ready()) return;
    Changing();
    ArcCall(this, *D, 0, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::ArcTo(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    if (!Ready()) return;
    Changing();
    ArcCall(this, *D, 1, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    if (!Ready()) return;
    Changing();
    ArcCall(this, *D, 2, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    if (!Ready()) return;
    Changing();
    ArcCall(this, *D, 3, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

namespace {
TRect DeviceRect(const TCanvasPrivate& D, const TRect& R) {
    const TPoint a = D.ToDevice(R.Left, R.Top), b = D.ToDevice(R.Right, R.Bottom);
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// A pattern block from logical corners, as PatBlt covers it.
TRect BlockRect(const TCanvasPrivate& D, const TRect& R) {
    return DevBlockRect(D.ToDevice(R.Left, R.Top), D.ToDevice(R.Right, R.Bottom));
}
} // namespace

void TCanvas::FillRect(const TRect& R) {
    // The platform fills through a pattern block: a rectangle given upside
    // down (or under a mapping that turns it) is filled, not skipped.
    const TRect d = BlockRect(*D, R);
    if (!Ready() || d.IsEmpty()) return;
    Changing();
    const TBrushData brush = FBrush->Data();
    if (D->Recorder) {
        D->Record();
        D->Recorder->FillRect(R, brush);
    }
    DevFillRect(*D, d, brush, false);
    Changed();
}

void TCanvas::FrameRect(const TRect& R) {
    if (!Ready() || R.Right <= R.Left || R.Bottom <= R.Top) return;
    Changing();
    const TBrushData brush = FBrush->Data();
    const TRect sides[4] = {{R.Left, R.Top, R.Right, R.Top + 1},
                            {R.Left, R.Bottom - 1, R.Right, R.Bottom},
                            {R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1},
                            {R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1}};
    for (const TRect& s : sides) {
        if (s.IsEmpty()) continue;
        if (D->Recorder) {
            D->Record();
            D->Recorder->FillRect(s, brush);
        }
        DevFillRect(*D, DeviceRect(*D, s), brush, false);
    }
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& R) {
    if (!Ready() || R.IsEmpty()) return;
    Changing();
    const TRect d = DeviceRect(*D, R);
    if (TRaster* r = D->Image ? D->Raster() : nullptr) {
        // A dotted frame inverted every other pixel: drawn twice it is gone.
        auto dot = [&](int x, int y) {
            if (((x + y) & 1) == 0) r->Pixel(x, y, 0xFFFFFFFF, R2_NOT);
        };
        for (int x = d.Left; x < d.Right; ++x) {
            dot(x, d.Top);
            if (d.Bottom - 1 > d.Top) dot(x, d.Bottom - 1);
        }
        for (int y = d.Top + 1; y < d.Bottom - 1; ++y) {
            dot(d.Left, y);
            if (d.Right - 1 > d.Left) dot(d.Right - 1, y);
        }
    }
    Changed();
}

bool TCanvas::InvertRect(const TRect& R) {
    return PatBlt(R.Left, R.Top, R.Width(), R.Height(), DSTINVERT);
}

void TCanvas::FloodFill(int X, int Y, TColor Color, bool Surface) {
    if (!Ready()) return;
    Changing();
    const TPoint p = D->ToDevice(X, Y);
    DevFloodFill(*D, p.x, p.y, ColorToRGB(Color) & 0xFFFFFF, Surface);
    Changed();
}

bool TCanvas::PatBlt(int X, int Y, int Width, int Height, DWORD Rop) {
    if (!Ready()) return false;
    Changing();
    const TRect r = BlockRect(*D, {X, Y, X + Width, Y + Height});
    if (D->Recorder) {
        D->Record();
        D->Recorder->PatBlt({X, Y, X + Width, Y + Height}, Rop);
    }
    DevPatBlt(*D, r, Rop);
    Changed();
    return true;
}

// --- block transfers ------------------------------------------------------------

bool TCanvas::BitBlt(int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc,
                     DWORD Rop) {
    return StretchBlt(X, Y, Width, Height, Source, XSrc, YSrc, Width, Height, Rop);
}

bool TCanvas::StretchBlt(int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc,
                         int WidthSrc, int HeightSrc, DWORD Rop) {
    return BltFrom(this, *D, X, Y, Width, Height, Source, XSrc, YSrc, WidthSrc, HeightSrc, Rop, -1);
}

bool TCanvas::TransparentBlt(int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc,
                             int WidthSrc, int HeightSrc, COLORREF Transparent) {
    return BltFrom(this, *D, X, Y, Width, Height, Source, XSrc, YSrc, WidthSrc, HeightSrc, SRCCOPY,
                   int64_t(Transparent & 0xFFFFFF));
}

bool TCanvas::BltFrom(TCanvas* Self, TCanvasPrivate& DD, int X, int Y, int Width, int Height,
                      HDC Source, int XSrc, int YSrc, int WidthSrc, int HeightSrc, DWORD Rop,
                      int64_t Transparent) {
    TCanvasPrivate* D = &DD;
    if (!Self->Ready()) return false;
    const uint8_t rop3 = uint8_t(Rop >> 16);
    const bool usesSource = ((rop3 >> 2) & 0x33) != (rop3 & 0x33);
    if (!usesSource) return Self->PatBlt(X, Y, Width, Height, Rop);
    if (!Source || !Source->Ready()) return false;
    QImage* src = Source->D->Image;
    if (!src) return false;
    // A copy when both sides are the same image keeps overlapping moves right.
    const TPoint s0 = Source->D->ToDevice(XSrc, YSrc);
    const TPoint s1 = Source->D->ToDevice(XSrc + WidthSrc, YSrc + HeightSrc);
    const QRect sr(s0.x, s0.y, s1.x - s0.x, s1.y - s0.y);
    const TPoint d0 = D->ToDevice(X, Y), d1 = D->ToDevice(X + Width, Y + Height);
    Self->Changing();
    const QImage copy = (src == D->Image) ? src->copy() : QImage();
    const QImage& from = (src == D->Image) ? copy : *src;
    if (D->Recorder) {
        D->Record();
        if (Transparent >= 0) {
            // The transparent colour becomes clear pixels of the recorded image.
            QImage masked = from.copy(sr.normalized()).convertToFormat(QImage::Format_ARGB32);
            const uint32_t key = ToPixel(COLORREF(Transparent)) & 0xFFFFFF;
            for (int y = 0; y < masked.height(); ++y) {
                QRgb* row = reinterpret_cast<QRgb*>(masked.scanLine(y));
                for (int x = 0; x < masked.width(); ++x)
                    if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
            }
            D->Recorder->Image({X, Y, X + Width, Y + Height}, masked, masked.rect(), Rop);
        } else
            D->Recorder->Image({X, Y, X + Width, Y + Height}, from, sr, Rop);
    }
    DevBlt(*D, {d0.x, d0.y, d1.x, d1.y}, from, sr, Rop, Transparent);
    Self->Changed();
    return true;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Graphic->Draw(this, {X, Y, X + Graphic->Width(), Y + Graphic->Height()});
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Graphic->Draw(this, R);
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect) {
    StretchBlt(Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Source, SourceRect.Left,
               SourceRect.Top, SourceRect.Width(), SourceRect.Height(), FCopyMode);
}

void TCanvas::Refresh() {
    RealizePen();
    RealizeBrush();
    RealizeFont();
}

// --- paths ---------------------------------------------------------------------

bool TCanvas::BeginPath() {
    D->Touched();
    D->InPath = true;
    D->PathDone = false;
    D->Path = QPainterPath();
    // The fill mode counts when the path is filled or made a clip, not now.
    D->Path.setFillRule(Qt::OddEvenFill);
    if (D->Recorder) D->Recorder->PathCall(PathBegin);
    return true;
}

bool TCanvas::EndPath() {
    D->Touched();
    if (!D->InPath) return false;
    D->InPath = false;
    D->PathDone = true;
    if (D->Recorder) D->Recorder->PathCall(PathEnd);
    return true;
}

bool TCanvas::AbortPath() {
    D->Touched();
    D->InPath = false;
    D->PathDone = false;
    D->Path = QPainterPath();
    if (D->Recorder) D->Recorder->PathCall(PathAbort);
    return true;
}

bool TCanvas::CloseFigure() {
    if (!D->InPath) return false;
    D->Path.closeSubpath();
    if (D->Recorder) D->Recorder->PathCall(PathClose);
    return true;
}

namespace {
bool TakePath(TCanvasPrivate& D, QPainterPath& out) {
    if (!D.PathDone) return false;
    out = D.Path;
    D.Path = QPainterPath();
    D.PathDone = false;
    return true;
}
} // namespace

bool TCanvas::StrokePath() {
    QPainterPath path;
    if (!Ready() || !TakePath(*D, path)) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->PathCall(PathStroke);
    }
    Changing();
    DevStrokePath(*D, path);
    Changed();
    return true;
}

bool TCanvas::FillPath() {
    QPainterPath path;
    if (!Ready() || !TakePath(*D, path)) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->PathCall(PathFill);
    }
    Changing();
    DevFillPath(*D, path);
    Changed();
    return true;
}

bool TCanvas::StrokeAndFillPath() {
    QPainterPath path;
    if (!Ready() || !TakePath(*D, path)) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->PathCall(PathStrokeFill);
    }
    Changing();
    DevFillPath(*D, path);
    DevStrokePath(*D, path);
    Changed();
    return true;
}

bool TCanvas::WidenPath() {
    if (!D->PathDone) return false;
    if (D->Recorder) {
        D->Record();
        D->Recorder->PathCall(PathWiden);
    }
    QPainterPath widened = WidenedPath(*D, D->Path);
    widened.setFillRule(Qt::WindingFill);
    D->Path = widened;
    return true;
}

// --- clipping --------------------------------------------------------------------

namespace {

int RegionType(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Outlines: the shapes Rgn came from (none for a region of rows).
int CombineClip(TCanvasPrivate& D, const QRegion* Rgn, int Mode,
                const TClipOutlines& Outlines = {}) {
    if (Mode == RGN_COPY) {
        if (!Rgn) {
            D.S.HasClip = false;
            D.S.Clip = QRegion();
            D.S.ClipOutlines.clear();
        } else {
            D.S.HasClip = true;
            D.S.Clip = *Rgn;
            D.S.ClipOutlines = Outlines;
        }
    } else {
        if (!Rgn) return RGN_ERROR;
        const TRect b = D.DeviceBounds();
        // No clip region means the whole surface.
        const QRegion current =
            D.S.HasClip ? D.S.Clip : QRegion(b.Left, b.Top, b.Width(), b.Height());
        TClipOutlines outlines;
        if (Mode == RGN_AND)
            outlines = D.S.HasClip ? IntersectOutlines(current, D.S.ClipOutlines, *Rgn, Outlines)
                                   : Outlines;
        switch (Mode) {
        case RGN_AND:
            D.S.Clip = current.intersected(*Rgn);
            break;
        case RGN_OR:
            D.S.Clip = current.united(*Rgn);
            break;
        case RGN_XOR:
            D.S.Clip = current.xored(*Rgn);
            break;
        case RGN_DIFF:
            D.S.Clip = current.subtracted(*Rgn);
            break;
        default:
            return RGN_ERROR;
        }
        D.S.HasClip = true;
        D.S.ClipOutlines = std::move(outlines);
    }
    D.ClipChanged();
    return D.S.HasClip ? RegionType(D.EffectiveClip()) : SIMPLEREGION;
}

} // namespace

int TCanvas::SelectClipRgn(HRGN Rgn) {
    return ExtSelectClipRgn(Rgn, RGN_COPY);
}

int TCanvas::ExtSelectClipRgn(HRGN Rgn, int Mode) {
    TGdiRegion* r = FindRegion(Rgn);
    if (Rgn && !r) return RGN_ERROR;
    const int result =
        CombineClip(*D, r ? &r->Region : nullptr, Mode, r ? r->Outlines : TClipOutlines());
    // A refused call (no region to combine, an unknown mode) changes nothing
    // and must not play back as the removal of the clip.
    if (D->Recorder && result != RGN_ERROR) D->Recorder->ClipRegion(r ? &r->Region : nullptr, Mode);
    return result;
}

int TCanvas::GetClipRgn(HRGN Rgn) {
    TGdiRegion* r = FindRegion(Rgn);
    if (!r) return -1;
    if (!D->S.HasClip) return 0;
    r->Region = D->S.Clip;
    r->Outlines = D->S.ClipOutlines;
    return 1;
}

int TCanvas::IntersectClipRect(int Left, int Top, int Right, int Bottom) {
    if (D->Recorder) {
        // Clip rectangles are logical: playback needs the mapping in force now.
        D->Record();
        D->Recorder->IntersectClipRect(Left, Top, Right, Bottom);
    }
    const TRect d = DeviceRect(*D, {Left, Top, Right, Bottom});
    const QRegion r(d.Left, d.Top, d.Width(), d.Height());
    return CombineClip(*D, &r, RGN_AND);
}

int TCanvas::ExcludeClipRect(int Left, int Top, int Right, int Bottom) {
    if (D->Recorder) {
        D->Record();
        D->Recorder->ExcludeClipRect(Left, Top, Right, Bottom);
    }
    const TRect d = DeviceRect(*D, {Left, Top, Right, Bottom});
    const QRegion r(d.Left, d.Top, d.Width(), d.Height());
    return CombineClip(*D, &r, RGN_DIFF);
}

int TCanvas::GetClipBox(TRect* R) {
    const QRegion clip = D->EffectiveClip();
    const QRect b = clip.boundingRect();
    if (R) {
        if (b.isEmpty())
            *R = TRect();
        else {
            const TPoint a = D->ToLogical(b.left(), b.top());
            const TPoint c = D->ToLogical(b.right() + 1, b.bottom() + 1);
            *R = {std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
        }
    }
    return RegionType(clip);
}

bool TCanvas::SelectClipPath(int Mode) {
    QPainterPath path;
    if (!TakePath(*D, path)) return false;
    if (D->Recorder) {
        D->Record(); // the fill mode in force shapes the region
        D->Recorder->SelectClipPath(Mode);
    }
    const QRegion r = DevPathRegion(*D, path);
    return CombineClip(*D, &r, Mode) != RGN_ERROR;
}

namespace {
void FillRegionWith(TCanvasPrivate& D, const QRegion& r, const TBrushData& brush) {
    for (const QRect& q : r)
        DevFillRect(D, {q.left(), q.top(), q.right() + 1, q.bottom() + 1}, brush, false);
}
} // namespace

bool TCanvas::FillRgn(HRGN Rgn, HBRUSH Brush) {
    TGdiRegion* r = FindRegion(Rgn);
    auto* b = static_cast<TGdiBrush*>(FindGdiObject(Brush, OBJ_BRUSH));
    if (!r || !b || !Ready()) return false;
    Changing();
    if (D->Recorder) {
        D->Record();
        for (const QRect& q : r->Region) {
            const TPoint a = D->ToLogical(q.left(), q.top());
            const TPoint c = D->ToLogical(q.right() + 1, q.bottom() + 1);
            D->Recorder->FillRect({a.x, a.y, c.x, c.y}, b->Data);
        }
    }
    FillRegionWith(*D, r->Region, b->Data);
    Changed();
    return true;
}

bool TCanvas::PaintRgn(HRGN Rgn) {
    TGdiRegion* r = FindRegion(Rgn);
    if (!r || !Ready()) return false;
    Changing();
    FillRegionWith(*D, r->Region, D->S.Brush);
    Changed();
    return true;
}

bool TCanvas::FrameRgn(HRGN Rgn, HBRUSH Brush, int Width, int Height) {
    TGdiRegion* r = FindRegion(Rgn);
    auto* b = static_cast<TGdiBrush*>(FindGdiObject(Brush, OBJ_BRUSH));
    if (!r || !b || !Ready()) return false;
    Changing();
    const QRegion& g = r->Region;
    const QRegion inner = g.intersected(g.translated(Width, 0))
                              .intersected(g.translated(-Width, 0))
                              .intersected(g.translated(0, Height))
                              .intersected(g.translated(0, -Height));
    FillRegionWith(*D, g.subtracted(inner), b->Data);
    Changed();
    return true;
}

bool TCanvas::InvertRgn(HRGN Rgn) {
    TGdiRegion* r = FindRegion(Rgn);
    if (!r || !Ready()) return false;
    Changing();
    for (const QRect& q : r->Region)
        DevPatBlt(*D, {q.left(), q.top(), q.right() + 1, q.bottom() + 1}, DSTINVERT);
    Changed();
    return true;
}
