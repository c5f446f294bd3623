#pragma once
// Platform-internal: the device context behind a TCanvas. TDCState is what
// SaveDC saves; TCanvasPrivate adds the target (a raster image, a paint device
// such as a printer page, or nothing) and the metafile recorder hook.
#include "platform/graphics/gdiobj.h"
#include "platform/rtl/rtlmath.h"
#include <QFont>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <vector>

#include "platform/graphics/raster.h"
#include <memory>

class QPainter;
class TCanvasRecorder;

struct TDCState {
    TPenData Pen;
    HPEN PenHandle = nullptr;
    bool DCPen = false; // the stock DC pen is selected: SetDCPenColor colours it
    TBrushData Brush;
    HBRUSH BrushHandle = nullptr;
    bool DCBrush = false;
    LOGFONT Font;
    HFONT FontHandle = nullptr;
    COLORREF TextColor = 0;
    COLORREF BkColor = 0xFFFFFF;
    COLORREF DCPenColor = 0;
    COLORREF DCBrushColor = 0xFFFFFF;
    int BkMode = OPAQUE;
    UINT TextAlign = TA_LEFT | TA_TOP;
    int CharExtra = 0;
    int Rop2 = R2_COPYPEN;
    int FillMode = ALTERNATE;
    int ArcDirection = AD_COUNTERCLOCKWISE;
    int StretchMode = BLACKONWHITE;
    TPoint Pos; // logical
    bool HasClip = false;
    QRegion Clip;               // device coordinates
    TClipOutlines ClipOutlines; // the same clip as shapes, when it has them
    int MapMode = MM_TEXT;
    TPoint WindowOrg, ViewportOrg;
    TSize WindowExt{1, 1}, ViewportExt{1, 1};
};

// What a metafile canvas hears: each call in logical coordinates, after the
// state it depends on has been set.
class TCanvasRecorder {
public:
    virtual ~TCanvasRecorder() = default;
    virtual void StateChanged(const TDCState& State) = 0; // before every drawing call
    virtual void MoveTo(int X, int Y) = 0;
    virtual void LineTo(int X, int Y) = 0;
    virtual void Polyline(const TPoint* P, int N) = 0;
    virtual void Polygon(const TPoint* P, int N) = 0;
    virtual void PolyPolygon(const TPoint* P, const int* Counts, int Polys) = 0;
    virtual void PolyBezier(const TPoint* P, int N, bool To) = 0;
    virtual void Rectangle(int X1, int Y1, int X2, int Y2) = 0;
    virtual void RoundRect(int X1, int Y1, int X2, int Y2, int W, int H) = 0;
    virtual void Ellipse(int X1, int Y1, int X2, int Y2) = 0;
    // Kind: 0 arc, 1 arc-to, 2 pie, 3 chord.
    virtual void ArcShape(int Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4,
                          int Y4) = 0;
    virtual void Text(int X, int Y, UINT Options, const TRect* R, const AnsiString& Text,
                      const std::vector<int>& Dx) = 0;
    virtual void FillRect(const TRect& R, const TBrushData& Brush) = 0;
    virtual void SetPixel(int X, int Y, COLORREF C) = 0;
    virtual void Image(const TRect& Dest, const QImage& Image, const QRect& Source, DWORD Rop) = 0;
    virtual void PatBlt(const TRect& R, DWORD Rop) = 0;
    // Path and clip calls, by name.
    virtual void PathCall(int Which) = 0;
    virtual void SelectClipPath(int Mode) = 0;
    virtual void ClipRegion(const QRegion* DeviceRegion, int Mode) = 0;
    virtual void IntersectClipRect(int L, int T, int R, int B) = 0;
    virtual void ExcludeClipRect(int L, int T, int R, int B) = 0;
    virtual void SaveDC() = 0;
    virtual void RestoreDC(int Saved) = 0;
    // A font's device size changes nothing for the recorder: its height
    // comes from the state.
    virtual TSize ReferenceResolution() const { return {96, 96}; }
};

enum { PathBegin, PathEnd, PathAbort, PathClose, PathStroke, PathFill, PathStrokeFill, PathWiden };

class TCanvasPrivate {
public:
    explicit TCanvasPrivate(TCanvas* Owner) : Q(Owner) {}

    // The line fast path: one-pixel lines of a solid copy pen on a raster image
    // with the identity mapping are drawn as the union of their pixels, so a run
    // of lines in one pixel column paints each pixel of that column once.
    // Anything that draws, reads or replaces the target, selects another pen,
    // mode, mapping or clip, or opens a path, counts as a change that ends the
    // run.
    TCanvasLineRun Run;
    void Touched() { ++Run.Version; }
    // The image takes Pixels whole, told to the canvas's owner as a copy is.
    void SharePixels(const QImage& Pixels);
    // Checks the fast path's conditions now (the run starts empty).
    void CheckRun();

    TCanvas* Q;
    TDCState S;
    std::vector<TDCState> Saved;

    // Targets: a raster image, or a painter on another device (printer page).
    QImage* Image = nullptr;
    QPainter* Painter = nullptr;
    TSize DeviceSize;   // pixels of a painter device
    int DevicePpi = 96; // pixels per inch of the device
    int DeviceTechnology = DT_RASDISPLAY;
    TCanvasRecorder* Recorder = nullptr;

    // Dash phase of cosmetic styled lines, carried from one LineTo to the next.
    int StylePhase = 0;

    // Path under construction (device coordinates).
    bool InPath = false;
    bool PathDone = false;
    QPainterPath Path;

    // Mapping.
    bool IdentityMap() const { return S.WindowOrg == S.ViewportOrg && IsUnitScale(); }
    bool IsUnitScale() const {
        return S.MapMode == MM_TEXT ||
               (S.WindowExt.cx == S.ViewportExt.cx && S.WindowExt.cy == S.ViewportExt.cy);
    }
    double ScaleX() const;
    double ScaleY() const;
    TPoint ToDevice(int X, int Y) const;
    TPoint ToDevice(const TPoint& P) const { return ToDevice(P.x, P.y); }
    QPointF ToDeviceF(double X, double Y) const;
    TPoint ToLogical(int X, int Y) const;
    // Pen width in device pixels (cosmetic pens stay 1).
    int DevicePenWidth() const;

    bool HasTarget() const { return Image || Painter || Recorder; }
    bool Drawable() const { return Image || Painter; }
    TRect DeviceBounds() const;
    // The clip that applies to drawing: the DC clip within the device bounds.
    QRegion EffectiveClip() const;

    void SelectPen(const TPenData& Pen, HPEN Handle);
    void SelectBrush(const TBrushData& Brush, HBRUSH Handle);
    void SelectFont(const LOGFONT& Font, HFONT Handle);

    void Record() const; // passes the state to the recorder

    // The raster of the attached image with the current clip (cached).
    TRaster* Raster();
    // The same without counting as a change (the fast path's own drawing).
    TRaster* LineRaster();
    void ClipChanged() {
        ++ClipVersion;
        Touched();
    }
    // Prepares a painter target for one call (clip).
    QPainter* PreparedPainter();
    // A new painter or page: its clip is set again at the next call.
    void PainterChanged() { FClipPainter = nullptr; }

private:
    // The clip last set on the painter.
    const QPainter* FClipPainter = nullptr;
    int FPainterClipVersion = -1;
    bool FPainterHasClip = false;
    QRegion FPainterClip;
    TClipOutlines FPainterOutlines;

    std::unique_ptr<TRaster> FRaster;
    const QImage* FRasterImage = nullptr;
    const uchar* FRasterBits = nullptr;
    int FRasterClip = -1;

public:
    int ClipVersion = 0;
};

// The selected pen as the drawing code needs it (device units).
struct TPenInfo {
    bool Null = false;
    int Width = 1;          // device pixels
    bool Wide = false;      // drawn as a stroked outline
    DWORD Style = PS_SOLID; // PS_STYLE_MASK part
    DWORD Cap = PS_ENDCAP_ROUND, Join = PS_JOIN_ROUND;
    bool InsideFrame = false;
    COLORREF Color = 0;
};
TPenInfo PenInfo(const TCanvasPrivate& D);

// Device-level drawing (canvasdraw.cpp): coordinates are device pixels.
void DevLine(TCanvasPrivate& D, TPoint From, TPoint To);
// One line of the fast path (D.Run.Fast); Raster is asked for the raster just
// before the first pixel is painted (a place to say the canvas changes). False
// when the line paints no pixel that was not painted already.
template <typename Fn> bool DevRunLine(TCanvasPrivate& D, TPoint From, TPoint To, Fn&& Raster);
// A polyline on the fast path: each stretch of points in one pixel column is
// painted as the one span of rows its lines cover together.
void DevRunPolyline(TCanvasPrivate& D, TRaster* R, const TPoint* Points, int Count);
// Points are mapped on the way (no copy for one-pixel raster pens); Closed
// joins the last point to the first.
void DevPolyline(TCanvasPrivate& D, const TPoint* Points, int Count, bool Closed);
void DevPolyline(TCanvasPrivate& D, const std::vector<TPoint>& Points, bool Closed);
void DevFillPolygons(TCanvasPrivate& D, const QList<QPolygonF>& Polygons, bool Winding);
void DevPolygon(TCanvasPrivate& D, const std::vector<std::vector<TPoint>>& Polygons);
void DevRectangle(TCanvasPrivate& D, int X1, int Y1, int X2, int Y2);
// A rectangle while a line run holds: drawn without ending the run (anything
// else the general way).
void DevRunRectangle(TCanvasPrivate& D, int X1, int Y1, int X2, int Y2);
// Marks while a line run holds (TCanvas::ColumnsAndBoxes), as the line and
// box calls of the run draw them one by one.
void DevRunColumnsAndBoxes(TCanvasPrivate& D, std::span<const TCanvas::TColumnBox> Marks);
// The pixels of TCanvas::DirectPixels while a line run holds; the run ends, as
// its column may be painted over.
bool DevDirectPixels(TCanvasPrivate& D, TCanvas::TDirectPixels& Out);
void DevRoundShape(TCanvasPrivate& D, int X1, int Y1, int X2, int Y2, int W, int H);
// Kind 0 arc, 1 arc-to, 2 pie, 3 chord; Start/End receive the arc's end points.
void DevArcShape(TCanvasPrivate& D, int Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3,
                 int X4, int Y4, TPoint* Start, TPoint* End);
// Fills with a brush ignoring the raster operation (FillRect), or with it.
void DevFillRect(TCanvasPrivate& D, const TRect& R, const TBrushData& Brush, bool UseRop2);
void DevPatBlt(TCanvasPrivate& D, const TRect& R, DWORD Rop);
void DevSetPixel(TCanvasPrivate& D, int X, int Y, COLORREF C);
COLORREF DevGetPixel(TCanvasPrivate& D, int X, int Y);
// Copies (stretches) Source's SourceRect into Dest with a ternary raster operation;
// Transparent: pixels of that colour are skipped (-1 for none).
void DevBlt(TCanvasPrivate& D, const TRect& Dest, const QImage& Source, const QRect& SourceRect,
            DWORD Rop, int64_t Transparent = -1);
void DevStrokePath(TCanvasPrivate& D, const QPainterPath& Path);
// Fills with the fill mode in force now (widened outlines always fill whole).
void DevFillPath(TCanvasPrivate& D, const QPainterPath& Path);
// A closed path as a clip region, by the fill mode in force now.
QRegion DevPathRegion(const TCanvasPrivate& D, const QPainterPath& Path);
// The device pixels a pattern block (PatBlt, FillRect) covers between its
// corners From and To: a negative extent reaches back from the start pixel,
// which it includes.
TRect DevBlockRect(TPoint From, TPoint To);
void DevFloodFill(TCanvasPrivate& D, int X, int Y, COLORREF C, bool Surface);
QPainterPath WidenedPath(const TCanvasPrivate& D, const QPainterPath& Path);
// The shape calls at device level, shared by the canvas and metafile
// playback: each adds its figure to an open path, or else draws.
void DoRectangle(TCanvasPrivate& D, TPoint A, TPoint B);
void DoRoundShape(TCanvasPrivate& D, TPoint A, TPoint B, int W, int H);
// Kind as DevArcShape; From is the current position (arc-to draws a line from
// it); returns the arc's end point.
TPoint DoArcShape(TCanvasPrivate& D, int Kind, TPoint A, TPoint B, TPoint C, TPoint E, TPoint From);
// Cubic segments from Start through Controls (three points a segment); Continue:
// an arc-to style call that carries on the path's current figure.
void DoBezier(TCanvasPrivate& D, TPoint Start, const std::vector<QPointF>& Controls, bool Continue);
// Ellipse and arc outlines as paths (device), for paths and painter targets.
QPainterPath RoundShapePath(int X1, int Y1, int X2, int Y2, int W, int H);
QPainterPath ArcShapePath(int Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4,
                          int ArcDirection, TPoint* Start, TPoint* End);

// Text (canvastext.cpp).
struct TTextLayout {
    std::vector<quint32> Glyphs;
    std::vector<QPointF> Positions; // relative to the start of the baseline
    QString Text;
    int Width = 0; // device pixels, extra spacing included
    int Ascent = 0, Descent = 0;
    QFont Font;
};
TTextLayout LayoutText(const TCanvasPrivate& D, const char* Text, int Count, const int* Dx);
void DevTextOut(TCanvasPrivate& D, int X, int Y, UINT Options, const TRect* R, const char* Text,
                int Count, const int* Dx);
TEXTMETRIC DeviceTextMetrics(const TCanvasPrivate& D);

// Helpers shared by the drawing units.
QTransform MapTransform(const TCanvasPrivate& D);
QRegion RegionFromPolygons(const QList<QPolygonF>& Polygons, Qt::FillRule Rule);

// --- the line fast path ---------------------------------------------------------

template <typename Fn> bool DevRunLine(TCanvasPrivate& D, TPoint From, TPoint To, Fn&& Raster) {
    TCanvasLineRun& run = D.Run;
    if (From.x != To.x) {
        TRaster* r = Raster();
        if (!r) return false;
        r->Line(From.x, From.y, To.x, To.y, false, run.Color, R2_COPYPEN);
        return true;
    }
    if (From.y == To.y) return false;
    // The rows this line paints: from its start up to, not including, its end.
    const int64_t a = To.y > From.y ? int64_t(From.y) : int64_t(To.y) + 1;
    const int64_t b = To.y > From.y ? int64_t(To.y) - 1 : int64_t(From.y);
    const bool apart =
        run.X != From.x || run.Lo > run.Hi || b < int64_t(run.Lo) - 1 || a > int64_t(run.Hi) + 1;
    if (!apart && a >= run.Lo && b <= run.Hi) return false;
    TRaster* r = Raster();
    if (!r) return false;
    if (apart) {
        r->Column(From.x, int(a), int(b), run.Color);
        run.X = From.x;
        run.Lo = int(a);
        run.Hi = int(b);
        return true;
    }
    if (a < run.Lo) r->Column(From.x, int(a), run.Lo - 1, run.Color);
    if (b > run.Hi) r->Column(From.x, run.Hi + 1, int(b), run.Color);
    run.Lo = std::min(run.Lo, int(a));
    run.Hi = std::max(run.Hi, int(b));
    return true;
}
