#pragma once
// The drawing vocabulary of the platform:
//   colours (TColor, named and system colours, ColorToRGB),
//   pens, brushes and fonts (TGraphicsObject family),
//   TCanvas: the device context with GDI's pixel rules, its state and operations,
//   TGraphic / TBitmap / TPicture: pictures and the file-format registry.
// Metafiles, JPEG, printer, clipboard and cursors have their own headers.
#include "platform/classes/component.h"
#include "platform/classes/watched.h"
#include "platform/graphics/gditypes.h"
#include "platform/graphics/types.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sets.h"
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QImage; // back buffers handed in by platform code (see qtbridge.h)
class TStream;
class TCanvas;
class TBitmap;
class TGraphic;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// ---------------------------------------------------------------------------
// Colours: 0x00BBGGRR; the high byte 0x80 marks a system colour index.

using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor SystemColor(int index) {
    return static_cast<TColor>(0x80000000u | unsigned(index));
}
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clHotLight = SystemColor(26);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);
constexpr TColor clMenuHighlight = SystemColor(29);
constexpr TColor clMenuBar = SystemColor(30);

// System colours resolve through one fixed table; clNone and clDefault are
// returned unchanged (raw values), every other colour keeps its low 24 bits.
COLORREF ColorToRGB(TColor Color);
// Colour identifiers ("clRed") and their values; false when there is none.
bool ColorToIdent(TColor Color, AnsiString& Ident);
bool IdentToColor(const AnsiString& Ident, TColor& Color);
// "clRed" or "$00RRGGBB"-style hex text for others; StringToColor accepts both and
// decimal text; raises EConvertError for anything else.
AnsiString ColorToString(TColor Color);
TColor StringToColor(const AnsiString& S);
// Calls Proc with every colour identifier, in the platform's order.
void GetColorValues(const std::function<void(const AnsiString&)>& Proc);

// ---------------------------------------------------------------------------
// Pens, brushes and fonts.

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontQuality {
    fqDefault,
    fqDraft,
    fqProof,
    fqNonAntialiased,
    fqAntialiased,
    fqClearType,
    fqClearTypeNatural
};
using TFontCharset = uint8_t;
using TFontName = AnsiString;

// The binary raster operation a pen mode stands for (R2_*).
int PenModeToROP2(TPenMode Mode);

// Base of pens, brushes and fonts: notifies OnChange after every change.
class TGraphicsObject : public TPersistent {
    QM_CLASS(TGraphicsObject)
public:
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    void Changing();
};

// Everything a pen selects into a device context. Cosmetic pens draw one
// device pixel wide whatever the mapping; geometric pens carry caps and joins.
struct TPenData {
    DWORD Style = PS_SOLID; // style | end cap | join | type bits, as ExtCreatePen takes them
    int Width = 1;          // logical units; 0 is one device pixel
    COLORREF Color = 0;
    bool Cosmetic = false; // made cosmetic by ExtCreatePen: one device pixel always
    bool operator==(const TPenData&) const = default;
    // Whether the width follows the mapping (else the pen is one device pixel).
    bool Scales() const {
        return (Style & PS_TYPE_MASK) == PS_GEOMETRIC || (!Cosmetic && Width > 0);
    }
};

struct TBrushData {
    UINT Style = BS_SOLID;
    int Hatch = 0;
    COLORREF Color = 0xFFFFFF;
    std::shared_ptr<const TBitmap> Pattern; // a snapshot for BS_PATTERN
};

class TPen : public TGraphicsObject {
    QM_CLASS(TPen)
public:
    TPen();
    ~TPen() override;
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

    // The pen object behind the properties. SetHandle adopts a pen made by
    // ExtCreatePen/CreatePen (and frees it): its style, caps, joins and width
    // hold until a property is set again.
    HPEN Handle();
    void SetHandle(HPEN Value);
    const TPenData& Data() const { return FData; }

private:
    void Rebuild();
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    TPenData FData;
    HPEN FHandle = nullptr;
};

class TBrush : public TGraphicsObject {
    QM_CLASS(TBrush)
public:
    TBrush();
    ~TBrush() override;
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern bitmap (not owned; copied when the brush is used); nullptr for none.
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);

    HBRUSH Handle();
    void SetHandle(HBRUSH Value);
    TBrushData Data() const;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TWatched<TBitmap> FBitmap; // the caller's pattern, which it may free first
    HBRUSH FHandle = nullptr;
};

class TFont : public TGraphicsObject {
    QM_CLASS(TFont)
public:
    TFont();
    ~TFont() override;
    void Assign(TPersistent* Source) override;

    TFontName Name() const { return FName; }
    void SetName(const TFontName& Value);
    // Points; Height is the character height in pixels, negative as the platform
    // stores it (Height = -Size * PixelsPerInch / 72).
    int Size() const;
    void SetSize(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    // Escapement of the text line in tenths of a degree, counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);
    TFontQuality Quality() const { return FQuality; }
    void SetQuality(TFontQuality Value);

    // The font as a LOGFONT, and the platform handle (HFONT) of it.
    LOGFONT LogFont() const;
    HFONT Handle();
    // Adopts a font made by CreateFontIndirect (and frees it): the properties
    // take the font's values.
    void SetHandle(HFONT Value);

private:
    TFontName FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    int FPixelsPerInch = 96;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FOrientation = 0;
    TFontQuality FQuality = fqDefault;
    HFONT FHandle = nullptr;
};

// The process starts with the bundled font families only and reads the system's
// other fonts when first needed; true once it has.
bool SystemFontsRead();

// Font handles from a description (the object is owned by the caller until it is
// selected into a TFont with SetHandle or freed with DeleteObject).
HFONT CreateFontIndirect(const LOGFONT& lf);
// Pens and brushes as the device-context calls make them.
HPEN CreatePen(int Style, int Width, COLORREF Color);
HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH& Brush, DWORD StyleCount = 0,
                  const DWORD* StyleEntries = nullptr);
HBRUSH CreateSolidBrush(COLORREF Color);
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color);
HBRUSH CreateBrushIndirect(const LOGBRUSH& Brush);
HGDIOBJ GetStockObject(int Index);
// Frees a pen, brush, font, region or bitmap handle; stock objects stay.
// False for an unknown handle.
bool DeleteObject(HGDIOBJ Object);
// The description behind a handle: a LOGFONT for fonts, LOGPEN for pens,
// LOGBRUSH for brushes. Returns the bytes written, 0 on a mismatch.
int GetObject(HGDIOBJ Object, int Size, void* Buffer);
int GetObjectType(HGDIOBJ Object);

// ---------------------------------------------------------------------------
// Regions (device coordinates).

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const TRect& R);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateEllipticRgnIndirect(const TRect& R);
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int WidthEllipse,
                        int HeightEllipse);
HRGN CreatePolygonRgn(const TPoint* Points, int Count, int FillMode);
int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode);
int OffsetRgn(HRGN Rgn, int X, int Y);
bool PtInRegion(HRGN Rgn, int X, int Y);
bool RectInRegion(HRGN Rgn, const TRect& R);
int GetRgnBox(HRGN Rgn, TRect* R);
bool EqualRgn(HRGN a, HRGN b);
bool SetRectRgn(HRGN Rgn, int Left, int Top, int Right, int Bottom);

// ---------------------------------------------------------------------------
// The canvas: a device context with the platform's drawing state. It draws on
// a raster image (bitmaps, window back buffers), a printer page or a metafile.

class TCanvasPrivate; // device state and the drawing target
using TCopyMode = DWORD;

// The line fast path's part of the device context (the rules are in the
// platform's canvasprivate.h): one-pixel lines of a solid copy pen on a raster
// image join while they stay in one pixel column, and a line there that
// paints no row beyond the rows Lo..Hi already painted only moves the
// position, without leaving the caller.
struct TCanvasLineRun {
    uint64_t Version = 1; // counts changes of the context that may end a run
    uint64_t Checked = 0; // the Version the conditions were last checked at
    bool Fast = false;
    uint32_t Color = 0;
    int X = 0, Lo = 1, Hi = 0; // rows of column X painted (none when Lo > Hi)
    TPoint* Pos = nullptr;     // the context's current position

    bool Joins(int ToX, int ToY) {
        TPoint& p = *Pos;
        if (Checked != Version || !Fast || ToX != p.x || ToX != X) return false;
        // Both ends inside the run (no branch on the direction: noisy data
        // turns at random).
        if (std::min(p.y, ToY) < Lo || std::max(p.y, ToY) > Hi) return false;
        p.y = ToY;
        return true;
    }
    // A move to where the position is changes nothing on the fast path.
    bool Stays(int ToX, int ToY) const {
        return Checked == Version && Fast && ToX == Pos->x && ToY == Pos->y;
    }
};

class TCanvas : public TPersistent {
    QM_CLASS(TCanvas)
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Draws on an image owned elsewhere (RGB32 or ARGB32; a window's back
    // buffer); nullptr detaches. The image must outlive the attachment.
    void AttachImage(QImage* Image);
    QImage* AttachedImage() const;
    // Whether the canvas has a drawing target (the platform's HandleAllocated).
    bool HandleAllocated() const;
    // Whether each call paints the pixels of the attached image directly, one
    // logical unit a pixel, with nothing recording it: then what a call paints
    // is known to the pixel.
    bool PaintsImagePixels() const;
    HDC Handle();

    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPoint PenPos();
    void SetPenPos(const TPoint& Value) { MoveTo(Value.x, Value.y); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    // Bounding box of the clip region in logical coordinates (the whole
    // surface without a clip region).
    TRect ClipRect();
    TColor Pixels(int X, int Y);
    void SetPixel(int X, int Y, TColor Color); // also the GDI call (colour converted)

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // --- the canvas operations (pen, brush and font of this canvas) -------------
    void MoveTo(int X, int Y) {
        if (!FLine->Stays(X, Y)) MoveToEx(X, Y, nullptr);
    }
    void LineTo(int X, int Y) {
        if (!FLine->Joins(X, Y)) LineToDC(X, Y);
    }
    void Polyline(const TPoint* Points, int Count);
    void Polyline(std::span<const TPoint> Points) { Polyline(Points.data(), int(Points.size())); }
    void Polygon(const TPoint* Points, int Count);
    void Polygon(std::span<const TPoint> Points) { Polygon(Points.data(), int(Points.size())); }
    void PolyBezier(const TPoint* Points, int Count);
    void PolyBezier(std::span<const TPoint> Points) {
        PolyBezier(Points.data(), int(Points.size()));
    }
    void PolyBezierTo(const TPoint* Points, int Count);
    void PolyBezierTo(std::span<const TPoint> Points) {
        PolyBezierTo(Points.data(), int(Points.size()));
    }
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    // A mark of a pen column and a box, drawn in that order as MoveTo(X, Y0),
    // LineTo(X, Y1) and Rectangle(Box) draw them, each part only when asked.
    struct TColumnBox {
        TRect Box;
        int X, Y0, Y1;
        bool HasColumn, HasBox;
    };
    // Draws many marks with the set-up paid once. False, drawing nothing,
    // where only the calls one by one can: change notices to hand out, a pen
    // other than a thin solid copy pen on the image's pixels, a patterned brush.
    bool ColumnsAndBoxes(std::span<const TColumnBox> Marks);
    // The image pixels marks would be drawn on, for a caller that works out
    // itself which pixel each of its marks paints: the first pixel (the
    // canvas' origin), the pixels from one row to the next, the clip box, and
    // the pixels of the pen and the solid brush as ColumnsAndBoxes paints them.
    // False where ColumnsAndBoxes would refuse, without a solid brush, or
    // where the clip is more than one box.
    struct TDirectPixels {
        uint32_t* Origin = nullptr;
        ptrdiff_t Stride = 0;
        TRect Clip;
        uint32_t Pen = 0, Brush = 0;
    };
    bool DirectPixels(TDirectPixels& Out);
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void ArcTo(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void DrawFocusRect(const TRect& R);
    void FloodFill(int X, int Y, TColor Color, bool Surface);

    void TextOut(int X, int Y, const AnsiString& Text);
    void TextRect(const TRect& R, int X, int Y, const AnsiString& Text);
    TSize TextExtent(const AnsiString& Text);
    int TextWidth(const AnsiString& Text);
    int TextHeight(const AnsiString& Text);

    void Draw(int X, int Y, TGraphic* Graphic);
    // Nearest-neighbour scaling of the graphic into R.
    void StretchDraw(const TRect& R, TGraphic* Graphic);
    // Copies Source's rectangle into Dest with CopyMode (stretching when sizes differ).
    void CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect);
    void Refresh();

    // --- device-context calls (the GDI names, on the selected objects) ----------
    UINT SetTextAlign(UINT Flags); // returns the previous flags
    UINT GetTextAlign();
    int SetBkMode(int Mode); // TRANSPARENT / OPAQUE; returns the previous
    int GetBkMode();
    COLORREF SetBkColor(COLORREF Color);
    COLORREF GetBkColor();
    COLORREF SetTextColor(COLORREF Color);
    COLORREF GetTextColor();
    int SetTextCharacterExtra(int Extra); // pixels added after each character
    int GetTextCharacterExtra();
    int SetROP2(int Rop);
    int GetROP2();
    int SetPolyFillMode(int Mode);
    int GetPolyFillMode();
    int SetArcDirection(int Direction);
    int GetArcDirection();
    int SetStretchBltMode(int Mode);
    COLORREF SetDCPenColor(COLORREF Color);
    COLORREF SetDCBrushColor(COLORREF Color);

    bool MoveToEx(int X, int Y, TPoint* Previous = nullptr);
    bool LineToDC(int X, int Y); // LineTo without the canvas pen (the selected one)
    bool PolylineDC(const TPoint* Points, int Count);
    bool PolygonDC(const TPoint* Points, int Count);
    bool PolyPolygon(const TPoint* Points, const int* Counts, int Polygons);
    bool PolyBezierDC(const TPoint* Points, int Count);
    bool PolyBezierToDC(const TPoint* Points, int Count);
    bool RectangleDC(int X1, int Y1, int X2, int Y2);
    bool EllipseDC(int X1, int Y1, int X2, int Y2);
    bool TextOutA(int X, int Y, const char* Text, int Count);
    bool ExtTextOutA(int X, int Y, UINT Options, const TRect* R, const char* Text, int Count,
                     const int* Dx = nullptr);
    // DrawText of the platform (DT_* formats; returns the text height).
    int DrawText(const AnsiString& Text, TRect& R, UINT Format);
    bool GetTextExtentPoint32(const char* Text, int Count, TSize* Size);
    bool GetTextMetrics(TEXTMETRIC* Metrics);
    COLORREF GetPixel(int X, int Y); // CLR_INVALID outside the surface

    HGDIOBJ SelectObject(HGDIOBJ Object); // returns the previously selected one
    HGDIOBJ GetCurrentObject(int ObjectType);

    // Block transfers; the source may be nullptr for raster operations that
    // do not read it.
    bool BitBlt(int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, DWORD Rop);
    bool StretchBlt(int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc,
                    int WidthSrc, int HeightSrc, DWORD Rop);
    bool PatBlt(int X, int Y, int Width, int Height, DWORD Rop);
    // Copies like StretchBlt, leaving out source pixels of the colour Transparent.
    bool TransparentBlt(int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc,
                        int WidthSrc, int HeightSrc, COLORREF Transparent);
    bool InvertRect(const TRect& R);

    // Paths.
    bool BeginPath();
    bool EndPath();
    bool AbortPath();
    bool CloseFigure();
    bool StrokePath();
    bool FillPath();
    bool StrokeAndFillPath();
    bool WidenPath();
    bool SelectClipPath(int Mode);

    // Clipping (regions in device coordinates; the region is copied).
    int SelectClipRgn(HRGN Rgn);
    int ExtSelectClipRgn(HRGN Rgn, int Mode);
    // Copies the clip region into Rgn: 1 when there is one, 0 when none.
    int GetClipRgn(HRGN Rgn);
    int IntersectClipRect(int Left, int Top, int Right, int Bottom);
    int ExcludeClipRect(int Left, int Top, int Right, int Bottom);
    int GetClipBox(TRect* R);
    bool FillRgn(HRGN Rgn, HBRUSH Brush);
    bool FrameRgn(HRGN Rgn, HBRUSH Brush, int Width, int Height);
    bool PaintRgn(HRGN Rgn);
    bool InvertRgn(HRGN Rgn);

    // Saved states: SaveDC returns the level; RestoreDC(-1) restores the last.
    int SaveDC();
    bool RestoreDC(int Saved);

    // Coordinate mapping.
    int SetMapMode(int Mode);
    int GetMapMode();
    bool SetWindowOrgEx(int X, int Y, TPoint* Previous = nullptr);
    bool GetWindowOrgEx(TPoint* P);
    bool SetWindowExtEx(int X, int Y, TSize* Previous = nullptr);
    bool GetWindowExtEx(TSize* S);
    bool SetViewportOrgEx(int X, int Y, TPoint* Previous = nullptr);
    bool GetViewportOrgEx(TPoint* P);
    bool SetViewportExtEx(int X, int Y, TSize* Previous = nullptr);
    bool GetViewportExtEx(TSize* S);
    bool OffsetWindowOrgEx(int X, int Y, TPoint* Previous = nullptr);
    bool OffsetViewportOrgEx(int X, int Y, TPoint* Previous = nullptr);
    bool LPtoDP(TPoint* Points, int Count);
    bool DPtoLP(TPoint* Points, int Count);

    int GetDeviceCaps(int Index);

    TCanvasPrivate* Private() const { return D.get(); }

protected:
    // Called when an operation needs a target and none is attached; a control's
    // canvas attaches its back buffer here.
    virtual void CreateHandle() {}
    // Called before every use of the target (a bitmap brings its pixels up to date).
    virtual void BeforeAccess() {}
    virtual void Changing();
    virtual void Changed();
    // Selects the canvas's pen, brush and font into the device context when they
    // changed since they were last selected (the platform's RequiredState).
    void RequiredState(bool NeedPen, bool NeedBrush, bool NeedFont);

    std::unique_ptr<TCanvasPrivate> D;

private:
    TCanvasLineRun* FLine; // inside D
    friend class TCanvasPrivate;
    bool Ready(); // a target exists (asks CreateHandle first)
    static bool BltFrom(TCanvas* Self, TCanvasPrivate& D, int X, int Y, int Width, int Height,
                        HDC Source, int XSrc, int YSrc, int WidthSrc, int HeightSrc, DWORD Rop,
                        int64_t Transparent);
    void RealizePen();
    void RealizeBrush();
    void RealizeFont();
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TFont> FFont;
    TCopyMode FCopyMode = SRCCOPY;
};

// ---------------------------------------------------------------------------
// Pictures.

// The most pixels a picture read from a file may have (8192 x 8192): more
// than any screen shows or a printed page at 600 dots per inch needs. Larger
// pictures are refused before anything is allocated for them.
constexpr int64_t MaxPicturePixels = int64_t(8192) * 8192;

// Base of every picture format. Loading raises EInvalidGraphic with a clear
// message for a damaged or truncated file; nothing is changed then.
class TGraphic : public TPersistent {
    QM_CLASS(TGraphic)
public:
    TGraphic();
    ~TGraphic() override;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);
    // The file's bytes; the stream and file forms go through these.
    virtual void LoadFromBytes(const std::vector<uint8_t>& Data) = 0;
    virtual std::vector<uint8_t> SaveToBytes() const = 0;

    TNotifyEvent OnChange;

    // Draws the graphic stretched into R (the canvas's Draw/StretchDraw call this).
    virtual void Draw(TCanvas* ACanvas, const TRect& R) = 0;

protected:
    virtual void Changed();

private:
    bool FTransparent = false;
    bool FModified = false;
};

QM_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
QM_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)

enum TPixelFormat {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapPrivate;

// A raster picture. A new bitmap is empty; resizing fills new pixels white.
// Pixels live as 32-bit RGB; ScanLine gives rows in the bitmap's own pixel
// format (3 bytes B, G, R per pixel for pf24bit) and the canvas sees changes
// made through them.
class TBitmap : public TGraphic {
    QM_CLASS(TBitmap)
public:
    TBitmap();
    TBitmap(int Width, int Height);
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    void SetSize(int Width, int Height);

    TCanvas* Canvas();
    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat Value);
    bool Monochrome() const;
    void SetMonochrome(bool Value);
    // Row Row (0 = top) in the pixel format's layout; raises EInvalidGraphicOperation
    // ("Scan line index out of range") outside 0..Height-1.
    void* ScanLine(int Row);
    // The colour drawn transparent: the bottom-left pixel in tmAuto mode.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const;
    void SetTransparentMode(TTransparentMode Value);
    // Frees the pixels (the bitmap becomes empty).
    void FreeImage();
    bool IgnorePalette() const { return FIgnorePalette; }
    void SetIgnorePalette(bool Value) { FIgnorePalette = Value; }
    HBITMAP Handle();

    // BMP files: 1, 4, 8, 16, 24 and 32 bits read, with or without palette and
    // RLE; written in the bitmap's pixel format (24 bits for pfDevice).
    void LoadFromBytes(const std::vector<uint8_t>& Data) override;
    std::vector<uint8_t> SaveToBytes() const override;
    void Draw(TCanvas* ACanvas, const TRect& R) override;

    TBitmapPrivate* Private() const { return D.get(); }

private:
    std::unique_ptr<TBitmapPrivate> D;
    bool FIgnorePalette = false;
};

// A picture of any registered format, chosen by the file extension.
class TPicture : public TPersistent {
    QM_CLASS(TPicture)
public:
    using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Copies Value (nullptr clears the picture).
    void SetGraphic(TGraphic* Value);
    // The graphic as a bitmap; replaces any other graphic with an empty bitmap.
    TBitmap* Bitmap();
    int Width() const;
    int Height() const;

    // Unknown extensions raise EInvalidGraphic ("Unknown picture file extension (.xyz)").
    void LoadFromFile(const AnsiString& FileName);
    // Writes the format the name's extension says, converting a picture of
    // another format, so that LoadFromFile reads the file back.
    void SaveToFile(const AnsiString& FileName);

    static void RegisterFileFormat(const AnsiString& Extension, const AnsiString& Description,
                                   TGraphicFactory Factory);
    static void UnregisterFileFormat(const AnsiString& Extension);
    // "Description (*.ext)|*.ext|..." for open/save dialogs.
    static AnsiString GraphicFilter();
    // The formats Graphic's class is saved as, its own extension first.
    static AnsiString GraphicFilter(const TGraphic* Graphic);
    // The extension Graphic is saved with ("png"; "emf" or "wmf" for a metafile).
    static AnsiString GraphicExtension(const TGraphic* Graphic);
    static bool SupportsExtension(const AnsiString& Extension);

    // An owner that starts the picture with a graphic sets this, so a stream
    // brings an emptied picture back empty, not as the owner's start.
    bool StoreEmpty() const { return FStoreEmpty; }
    void SetStoreEmpty(bool Value) { FStoreEmpty = Value; }

    TNotifyEvent OnChange;

protected:
    // "Data": the graphic's class name, then its file bytes after their length.
    void DefineProperties(TFiler* Filer) override;

private:
    void Changed();
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);
    std::unique_ptr<TGraphic> FGraphic;
    bool FStoreEmpty = false;
};
