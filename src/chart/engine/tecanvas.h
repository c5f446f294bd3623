#pragma once
// The chart drawing surface.
// - Chart pens, brushes and fonts and the 3D view options (tecanvas.cpp).
// - Gradients, shadows and blending (teegradient.cpp).
// - TTeeCanvas and TCanvas3D, the abstract surface and its shared operations (tecanvas.cpp).
// - TTeeCanvas3D, the one implementation: projection, buffer and text (tecanvas3d.cpp),
//   clipping (teeclip.cpp), solids (teesolids.cpp) and gradient fills (teegradient.cpp).
// Geometry helpers are in teegeometry.h, the small editor controls in teecontrols.h.
#include "chart/engine/tecanvas_calls.h"
#include "chart/engine/teegeometry.h"
#include "platform/classes/props.h"
#include "platform/graphics/graphics.h"
#include <array>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

class TWinControl;
class TTeeCanvas;
class TCanvas3D;
class TTeeCanvas3D;
class TTeeBlend;

enum TCanvasBackMode { cbmNone, cbmTransparent, cbmOpaque };
enum TPenEndStyle { esRound, esSquare, esFlat };
enum TGradientDirection {
    gdTopBottom,
    gdBottomTop,
    gdLeftRight,
    gdRightLeft,
    gdFromCenter,
    gdFromTopLeft,
    gdFromBottomLeft,
    gdRadial
};
enum TTeeCanvasSurfaceStyle { tcsSolid, tcsWire, tcsDot };

// Identifiers of the enumerations chart pens, brushes and fonts store by name.
QM_ENUM_NAMES(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
QM_ENUM_NAMES(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot,
              pmMaskPenNot, pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask,
              pmXor, pmNotXor)
QM_ENUM_NAMES(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal,
              bsCross, bsDiagCross)
QM_ENUM_NAMES(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
QM_ENUM_NAMES(TFontPitch, fpDefault, fpVariable, fpFixed)
QM_ENUM_NAMES(TPenEndStyle, esRound, esSquare, esFlat)
QM_ENUM_NAMES(TGradientDirection, gdTopBottom, gdBottomTop, gdLeftRight, gdRightLeft, gdFromCenter,
              gdFromTopLeft, gdFromBottomLeft, gdRadial)
using TTeeTransparency = int; // percent, 0..100

using TFourPoints = std::array<TPoint, 4>;
using TTrianglePoints3D = std::array<TPoint3D, 3>;
using TTriangleColors3D = std::array<TColor, 3>;
// Surface3D asks for the two corners and colours of cell (X index, Z index).
using TCanvas3DPlaneFunction =
    std::function<bool(int X, int Z, TPoint3D& P0, TPoint3D& P1, TColor& Color0, TColor& Color1)>;

// The automatic colour: a point or pen of this colour takes its owner's.
constexpr TColor clTeeColor = 0x20000000;
// Degrees to radians.
constexpr double TeePiStep = std::numbers::pi / 180.0;

// Unit-wide values.
extern bool IsWindowsNT;            // geometric pens (end styles, small dots) are available
extern uint8_t TeeFontAntiAlias;    // quality of rotated fonts
extern uint8_t DarkerColorQuantity; // cube side faces
extern uint8_t DarkColorQuantity;   // top and bottom faces, cylinder caps
extern int TeeDefaultConePercent;   // cone top size when 0 is asked for
int GetDefaultFontSize();
AnsiString GetDefaultFontName();

// ---------------------------------------------------------------------------
// Pens, brushes and fonts. Each takes its change notification at construction
// (stored as OnChange); setters store a different value and notify.

class TChartPen : public TPen {
    QM_CLASS(TChartPen)
public:
    explicit TChartPen(TNotifyEvent OnChangeEvent = nullptr);
    void Assign(TPersistent* Source) override;

    TPenEndStyle EndStyle() const { return FEndStyle; }
    void SetEndStyle(TPenEndStyle Value);
    bool SmallDots() const { return FSmallDots; }
    void SetSmallDots(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // An owner's own starting value, kept as this pen's stored default too.
    void InitVisible(bool Value) {
        FDefaultVisible = Value;
        SetVisible(Value);
    }

    bool IsEndStored() const { return FEndStyle != FDefaultEnd; }
    bool IsVisibleStored() const { return FVisible != FDefaultVisible; }

protected:
    TPenEndStyle FDefaultEnd = esRound;
    bool FDefaultVisible = true;

private:
    TPenEndStyle FEndStyle = esRound;
    bool FSmallDots = false;
    bool FVisible = true;
};

class TChartHiddenPen : public TChartPen {
    QM_CLASS(TChartHiddenPen)
public:
    explicit TChartHiddenPen(TNotifyEvent OnChangeEvent = nullptr);
};

class TDottedGrayPen : public TChartPen {
    QM_CLASS(TDottedGrayPen)
public:
    explicit TDottedGrayPen(TNotifyEvent OnChangeEvent = nullptr);
};

class TDarkGrayPen : public TChartPen {
    QM_CLASS(TDarkGrayPen)
public:
    explicit TDarkGrayPen(TNotifyEvent OnChangeEvent = nullptr);
};

class TChartAxisPen : public TChartPen {
    QM_CLASS(TChartAxisPen)
public:
    explicit TChartAxisPen(TNotifyEvent OnChangeEvent = nullptr);
};

class TWhitePen : public TChartPen {
    QM_CLASS(TWhitePen)
public:
    explicit TWhitePen(TNotifyEvent OnChangeEvent = nullptr);
};

class TChartBrush : public TBrush {
    QM_CLASS(TChartBrush)
public:
    explicit TChartBrush(TNotifyEvent OnChangeEvent = nullptr);
    ~TChartBrush() override;
    void Assign(TPersistent* Source) override;

    // Created on first read.
    TPicture* Image();
    // nullptr frees the picture; anything else is copied into the own one.
    void SetImage(TPicture* Value);
    // The picture when one was created (never creates it).
    TPicture* ImageIfAny() const { return FImage.get(); }

private:
    std::unique_ptr<TPicture> FImage;
};

// Persistent gradient settings; Draw does the filling (teegradient.cpp).
class TCustomTeeGradient : public TPersistent {
    QM_CLASS(TCustomTeeGradient)
public:
    explicit TCustomTeeGradient(TNotifyEvent ChangedEvent = nullptr);
    void Assign(TPersistent* Source) override;

    int Balance() const { return FBalance; }
    void SetBalance(int Value);
    TGradientDirection Direction() const { return FDirection; }
    void SetDirection(TGradientDirection Value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    // clNone whenever the middle colour is not in use.
    TColor MidColor() const { return FUseMiddle ? FMidColor : clNone; }
    void SetMidColor(TColor Value);
    int RadialX() const { return FRadialX; }
    void SetRadialX(int Value);
    int RadialY() const { return FRadialY; }
    void SetRadialY(int Value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool UseMiddle() const { return FUseMiddle; }
    void UseMiddleColor();

    // Fills Rect (clipped to a rounded rectangle when RoundRect > 0).
    void Draw(TTeeCanvas* Canvas, const TRect& Rect, int RoundRect = 0);
    // Fills the four-point polygon; the 3D form projects the points at Z first.
    void Draw(TTeeCanvas* Canvas, const TFourPoints& Points);
    void Draw(TCanvas3D* Canvas, const TFourPoints& Points, int Z);

    TNotifyEvent OnChange;

protected:
    void DoChanged();
    void DrawRadial(TTeeCanvas* Canvas, const TRect& Rect);

private:
    int FBalance = 50;
    TGradientDirection FDirection = gdTopBottom;
    TColor FEndColor = clYellow;
    TColor FMidColor = clNone;
    int FRadialX = 0;
    int FRadialY = 0;
    TColor FStartColor = clWhite;
    bool FVisible = false;
    bool FUseMiddle = false;
};

class TTeeGradient : public TCustomTeeGradient {
    QM_CLASS(TTeeGradient)
public:
    explicit TTeeGradient(TNotifyEvent ChangedEvent = nullptr)
        : TCustomTeeGradient(std::move(ChangedEvent)) {}
};

// A gradient of text; with Outline it fills the widened outline of the letters.
class TTeeFontGradient : public TTeeGradient {
    QM_CLASS(TTeeFontGradient)
public:
    explicit TTeeFontGradient(TNotifyEvent ChangedEvent = nullptr)
        : TTeeGradient(std::move(ChangedEvent)) {}
    bool Outline() const { return FOutline; }
    void SetOutline(bool Value);
    void Assign(TPersistent* Source) override;

private:
    bool FOutline = false;
};

// A drop shadow: a solid copy of a rectangle or ellipse moved by the two sizes.
class TTeeShadow : public TPersistent {
    QM_CLASS(TTeeShadow)
public:
    explicit TTeeShadow(TNotifyEvent ChangedEvent = nullptr);
    ~TTeeShadow() override;
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int HorizSize() const { return FHorizSize; }
    void SetHorizSize(int Value);
    // Kept to 0..100.
    TTeeTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TTeeTransparency Value);
    int VertSize() const { return FVertSize; }
    void SetVertSize(int Value);
    // The larger of the two sizes; setting writes both.
    int Size() const;
    void SetSize(int Value);

    // Brush and pen for the shadow, blending started; false when it does not show.
    bool PrepareCanvas(TCanvas3D* Canvas, const TRect& Rect, int Z = 0);
    // The two strips right and below Rect.
    void Draw(TCanvas3D* Canvas, const TRect& Rect);
    void DrawEllipse(TCanvas3D* Canvas, const TRect& Rect, int Z = 0);
    void FinishBlending(TTeeCanvas* Canvas);

    // Colour and both sizes become these values and are stored only when they differ.
    void SetDefaults(TColor AColor, int ASize);
    bool IsColorStored() const { return FColor != FDefaultColor; }
    bool IsHorizStored() const { return FHorizSize != FDefaultSize; }
    bool IsVertStored() const { return FVertSize != FDefaultSize; }

    TNotifyEvent OnChange;

private:
    void DoChanged();
    TColor FDefaultColor = clSilver;
    int FDefaultSize = 0;
    TColor FColor = clSilver;
    int FHorizSize = 0;
    TTeeTransparency FTransparency = 0;
    int FVertSize = 0;
    std::unique_ptr<TTeeBlend> FBlend; // between PrepareCanvas and FinishBlending
};

class TTeeFont : public TFont {
    QM_CLASS(TTeeFont)
public:
    explicit TTeeFont(TNotifyEvent OnChangeEvent = nullptr);
    ~TTeeFont() override;
    void Assign(TPersistent* Source) override;

    // Sub-objects are created on first read; nullptr frees, anything else is copied.
    TTeeFontGradient* Gradient();
    void SetGradient(TTeeFontGradient* Value);
    TChartHiddenPen* OutLine();
    void SetOutLine(TChartHiddenPen* Value);
    TTeeShadow* Shadow();
    void SetShadow(TTeeShadow* Value);
    // The sub-objects when they exist (never creates them).
    TTeeFontGradient* GradientIfAny() const { return FGradient.get(); }
    TChartHiddenPen* OutLineIfAny() const { return FOutLine.get(); }
    TTeeShadow* ShadowIfAny() const { return FShadow.get(); }

    // Extra pixels between characters.
    int InterCharSize() const { return FInterCharSize; }
    void SetInterCharSize(int Value);

    // The canvas this font was last applied to (set by AssignFont; not owned).
    TTeeCanvas* AppliedCanvas() const { return FCanvas; }
    void SetAppliedCanvas(TTeeCanvas* Value) { FCanvas = Value; }

    bool IsColorStored() const { return Color() != FDefColor; }
    // By height, not size: a height of the same rounded size must come back too.
    bool IsHeightStored() const;
    bool IsNameStored() const { return Name() != GetDefaultFontName(); }
    bool IsStyleStored() const { return Style() != FDefStyle; }

protected:
    TColor FDefColor = clBlack;
    TFontStyles FDefStyle;

private:
    TNotifyEvent SubChanged();
    std::unique_ptr<TTeeFontGradient> FGradient;
    int FInterCharSize = 0;
    std::unique_ptr<TChartHiddenPen> FOutLine;
    std::unique_ptr<TTeeShadow> FShadow;
    TTeeCanvas* FCanvas = nullptr;
};

// Applies a chart pen to the platform pen with a colour (geometric pens for
// wide pens and end styles, a one-pixel alternate pen for small dots).
void TeeSetTeePen(TPen* FPen, TChartPen* APen, TColor AColor, HDC Handle);
HPEN TeeCreatePenSmallDots(TColor Color);

// ---------------------------------------------------------------------------
// How a panel looks at its 3D scene. Changes repaint the parent control.

using TTeeView3DScrolled = std::function<void(bool IsHoriz)>;
using TTeeView3DChangedZoom = std::function<void(int NewZoom)>;

class TView3DOptions : public TPersistent {
    QM_CLASS(TView3DOptions)
public:
    explicit TView3DOptions(TWinControl* AParent = nullptr);
    void Assign(TPersistent* Source) override;

    int Elevation() const { return FElevation; }
    void SetElevation(int Value);
    int HorizOffset() const { return FHorizOffset; }
    void SetHorizOffset(int Value);
    bool Orthogonal() const { return FOrthogonal; }
    void SetOrthogonal(bool Value);
    int OrthoAngle() const { return FOrthoAngle; }
    void SetOrthoAngle(int Value);
    int Perspective() const { return FPerspective; }
    void SetPerspective(int Value);
    int Rotation() const { return FRotation; }
    void SetRotation(int Value);
    int Tilt() const { return FTilt; }
    void SetTilt(int Value);
    int VertOffset() const { return FVertOffset; }
    void SetVertOffset(int Value);
    int Zoom() const { return FZoom; }
    void SetZoom(int Value);
    bool ZoomText() const { return FZoomText; }
    void SetZoomText(bool Value);
    // A sample the program makes and draws (a gallery's chart, a series icon)
    // is zoomed and placed as it is made: nobody has handlers on it yet, so
    // none is told. A vertical offset of std::nullopt stays as it is.
    void PresetSample(int Zoom, std::optional<int> VertOffset = std::nullopt);

    TWinControl* Parent() const { return FParent; }
    // Asks the parent to repaint.
    virtual void Repaint();
    // 1 when not orthogonal, else the tangent of the ortho angle (folded above 90).
    double CalcOrthoRatio() const;

    TTeeView3DScrolled OnScrolled;
    TTeeView3DChangedZoom OnChangedZoom;

private:
    void SetIntegerProperty(int& Variable, int Value);
    void SetBooleanProperty(bool& Variable, bool Value);

    int FElevation = 345;
    int FHorizOffset = 0;
    bool FOrthogonal = true;
    int FOrthoAngle = 45;
    int FPerspective = 15;
    int FRotation = 345;
    int FTilt = 0;
    int FVertOffset = 0;
    int FZoom = 100;
    bool FZoomText = true;
    TWinControl* FParent = nullptr;
};

// ---------------------------------------------------------------------------
// The abstract drawing surface. Virtual operations are declared in the order
// every implementation presents them.

class TTeeCanvas : public TObject {
    QM_CLASS(TTeeCanvas)
public:
    TTeeCanvas();
    ~TTeeCanvas() override;
    TTeeCanvas(const TTeeCanvas&) = delete;
    TTeeCanvas& operator=(const TTeeCanvas&) = delete;

    virtual TColor GetBackColor();
    virtual TCanvasBackMode GetBackMode();
    virtual HDC GetHandle() = 0;
    virtual bool GetMonochrome() = 0;
    virtual TColor GetPixel(int X, int Y) = 0;
    virtual UINT GetTextAlign() = 0;
    virtual bool GetUseBuffer() = 0;
    virtual void SetBackColor(TColor Color);
    virtual void SetBackMode(TCanvasBackMode Mode);
    virtual void SetMonochrome(bool Value) = 0;
    virtual void SetPixel(int X, int Y, TColor Value) = 0;
    virtual void SetTextAlign(UINT Align) = 0;
    virtual void SetUseBuffer(bool Value) = 0;

    // The caller hands the result back to EndBlending, which frees it. The
    // transparency is kept to 0..100.
    virtual TTeeBlend* BeginBlending(const TRect& R, TTeeTransparency Transparency);
    virtual void EndBlending(TTeeBlend* Blend);

    virtual void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
    // A flat ring sector; angles in radians, the hole in percent of the radii.
    virtual void Donut(int XCenter, int YCenter, int RadiusX, int RadiusY, double StartAngle,
                       double EndAngle, double HolePercent) = 0;
    virtual void Draw(int X, int Y, TGraphic* Graphic) = 0;
    virtual void Ellipse(int X1, int Y1, int X2, int Y2) = 0;
    virtual void FillRect(const TRect& Rect) = 0;
    // Rect comes back shrunk by Width.
    virtual void Frame3D(TRect& Rect, TColor TopColor, TColor BottomColor, int Width) = 0;
    virtual void LineTo(int X, int Y) = 0;
    virtual void MoveTo(int X, int Y) = 0;
    virtual void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
    virtual void Rectangle(int X0, int Y0, int X1, int Y1) = 0;
    virtual void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) = 0;
    virtual void StretchDraw(const TRect& Rect, TGraphic* Graphic) = 0;
    // Text with the shadow, outline and gradient of the current chart font.
    virtual void TextOut(int X, int Y, const AnsiString& Text) = 0;
    // Platform text extent plus the current chart font's shadow size.
    virtual int TextWidth(const AnsiString& Text);
    virtual int TextHeight(const AnsiString& Text);
    virtual void ClipRectangle(const TRect& Rect) = 0;
    virtual void DoHorizLine(int X0, int X1, int Y) = 0;
    virtual void DoVertLine(int X, int Y0, int Y1) = 0;
    virtual void EraseBackground(const TRect& Rect) = 0;
    virtual void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor,
                              TGradientDirection Direction, int Balance = 50) = 0;
    // Marks the buffered image as needing a repaint.
    virtual void Invalidate() = 0;
    virtual void Line(int X0, int Y0, int X1, int Y1) = 0;
    // Points[0..High].
    virtual void Polyline(const TPoint* Points, int High) = 0;
    virtual void Polygon(const TPoint* Points, int High) = 0;
    virtual void RotateLabel(int X, int Y, const AnsiString& Text, double RotDegree) = 0;
    // Undoes the last clip of this canvas (one level).
    virtual void UnClipRectangle() = 0;

    // --- shared operations ----------------------------------------------------
    TCanvas* PlatformCanvas() const { return FCanvas; }
    // Draws on ACanvas from now on and takes its pen, brush and font.
    void SetCanvas(TCanvas* ACanvas);
    TPen* Pen() const { return FPen; }
    TBrush* Brush() const { return FBrush; }
    TFont* Font() const { return FFont; }

    TColor BackColor() { return GetBackColor(); }
    TCanvasBackMode BackMode() { return GetBackMode(); }
    bool Monochrome() { return GetMonochrome(); }
    UINT TextAlign() { return GetTextAlign(); }
    bool UseBuffer() { return GetUseBuffer(); }

    void ResetState();
    void AssignBrush(TChartBrush* ABrush, TColor AColor);
    void AssignBrushColor(TChartBrush* ABrush, TColor AColor, TColor ABackColor);
    void AssignVisiblePen(TPen* APen);
    void AssignVisiblePenColor(TPen* APen, TColor AColor);
    void AssignFont(TTeeFont* AFont);
    int FontHeight();

    void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void RoundRect(const TRect& Rect, int X, int Y) {
        RoundRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, X, Y);
    }
    void Line(const TPoint& P0, const TPoint& P1) { Line(P0.x, P0.y, P1.x, P1.y); }
    void DoRectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    // Darkens the starting colour of a solid (brush colour, or back colour for patterns).
    void InternalDark(TColor AColor, uint8_t Quantity);

    // The chart font of the last AssignFont (nullptr before any).
    TTeeFont* CurrentFont() const { return FCurrentFont; }
    // Called by a font that is freed or applied elsewhere.
    void ForgetFont(TTeeFont* AFont);
    // Percent; font sizes are scaled by it in AssignFont.
    double FontZoom() const { return FFontZoom; }
    void SetFontZoom(double Value) { FFontZoom = Value; }
    // Set while drawing into a metafile or printer.
    bool Metafiling() const { return FMetafiling; }
    void SetMetafiling(bool Value) { FMetafiling = Value; }

    // --- clip stack (teeclip.cpp) -----------------------------------------------
    // Intersects the clip region with Region (device coordinates) and remembers
    // the previous one; Region is consumed. A null Region clips nothing but still
    // takes one level, so clip and unclip always pair.
    void PushClipRegion(HRGN Region);
    // Restores the clip region of the matching push; without one, removes clipping.
    void PopClipRegion();
    int ClipDepth() const { return static_cast<int>(FClipStack.size()); }

protected:
    TTeeTransparency FBlendTransparency = 0;

private:
    TCanvas* FCanvas = nullptr;
    TFont* FFont = nullptr;
    TPen* FPen = nullptr;
    TBrush* FBrush = nullptr;
    TTeeFont* FCurrentFont = nullptr;
    double FFontZoom = 100;
    bool FMetafiling = false;
    std::vector<HRGN> FClipStack;          // saved regions; nullptr = there was none
    std::unique_ptr<TBitmap> FBrushBitmap; // non-bitmap brush images, rendered
};

// The 3D layer: coordinates with depth, the projection and the solids.
class TCanvas3D : public TTeeCanvas {
    QM_CLASS(TCanvas3D)
public:
    using TTeeCanvas::Ellipse;
    using TTeeCanvas::Line;
    using TTeeCanvas::Polyline;
    using TTeeCanvas::Rectangle;
    using TTeeCanvas::RoundRect;
    using TTeeCanvas::StretchDraw;

    virtual TColor GetPixel3D(int X, int Y, int Z) = 0;
    virtual bool GetSupportsFullRotation() = 0;
    virtual bool GetSupports3DText() = 0;
    virtual void SetPixel3D(int X, int Y, int Z, TColor Value) = 0;

    // Screen point back to the scene plane at depth Z.
    virtual void Calculate2DPosition(int& X, int& Y, int Z) = 0;
    virtual TPoint Calculate3DPosition(int X, int Y, int Z) = 0;
    // Prepares a paint; returns the rectangle to draw into.
    virtual TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor,
                             bool Is3D, const TRect& UserRect) = 0;
    // Copies the monochrome setting only.
    virtual void Assign(TCanvas3D* Source);
    virtual void Projection(int MaxDepth, const TRect& ABounds, const TRect& ARect) = 0;
    virtual void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) = 0;
    virtual bool ReDrawBitmap() = 0;
    // The next InitWindow's target keeps its image by itself (a window's back
    // buffer): a buffered display may draw straight onto it, sparing a full copy.
    virtual void SetTargetRetained(bool Value) { (void)Value; }

    virtual void Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int ArrowWidth,
                       int ArrowHeight, int Z) = 0;
    virtual void ClipCube(const TRect& Rect, int MinZ, int MaxZ) = 0;
    virtual void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                      bool Dark3D, int ConePercent) = 0;
    virtual void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1,
                      bool DarkSides = true) = 0;
    virtual void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                          bool Dark3D) = 0;
    virtual void HorizLine3D(int Left, int Right, int Y, int Z) = 0;
    virtual void VertLine3D(int X, int Top, int Bottom, int Z) = 0;
    virtual void ZLine3D(int X, int Y, int Z0, int Z1) = 0;
    virtual void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) = 0;
    // Between the two, drawing is flat (screen coordinates).
    virtual void FrontPlaneBegin() = 0;
    virtual void FrontPlaneEnd() = 0;
    virtual void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) = 0;
    virtual void MoveTo3D(int X, int Y, int Z) = 0;
    virtual void LineTo3D(int X, int Y, int Z) = 0;
    // Angles in radians.
    virtual void Pie3D(int XCenter, int YCenter, int RadiusX, int RadiusY, int Z0, int Z1,
                       double StartAngle, double EndAngle, bool DarkSides, bool DrawSides,
                       int DonutPercent = 0) = 0;
    // A plane standing on the segment A-B from depth Z0 to Z1.
    virtual void Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) = 0;
    virtual void PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4,
                            int Z) = 0;
    // Points 0 and 1 at Z0, points 2 and 3 at Z1.
    virtual void PlaneFour3D(const TFourPoints& Points, int Z0, int Z1) = 0;
    virtual void PolygonWithZ(const TPoint* Points, int High, int Z) = 0;
    virtual void Polyline(const TPoint* Points, int High, int Z) = 0;
    virtual void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                         bool DarkSides) = 0;
    virtual void PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ) = 0;
    virtual void RectangleWithZ(const TRect& Rect, int Z) = 0;
    virtual void RectangleY(int Left, int Top, int Right, int Z0, int Z1) = 0;
    virtual void RectangleZ(int Left, int Top, int Bottom, int Z0, int Z1) = 0;
    virtual void RotateLabel3D(int X, int Y, int Z, const AnsiString& Text, double RotDegree) = 0;
    virtual void Sphere(int X, int Y, int Z, double Radius) = 0;
    virtual void Surface3D(TTeeCanvasSurfaceStyle Style, bool SameBrush, int NumXValues,
                           int NumZValues, const TCanvas3DPlaneFunction& CalcPoints) = 0;
    virtual void TextOut3D(int X, int Y, int Z, const AnsiString& Text) = 0;
    virtual void Triangle3D(const TTrianglePoints3D& Points, const TTriangleColors3D& Colors) = 0;
    virtual void TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) = 0;

    // --- shared operations ----------------------------------------------------
    TPoint Calculate3DPosition(const TPoint& P, int Z) { return Calculate3DPosition(P.x, P.y, Z); }
    void Calc3DPoint(TPoint& P, int X, int Y, int Z) { P = Calculate3DPosition(X, Y, Z); }
    TRect CalcRect3D(const TRect& R, int Z);
    void Cube(const TRect& R, int Z0, int Z1, bool DarkSides = true) {
        Cube(R.Left, R.Right, R.Top, R.Bottom, Z0, Z1, DarkSides);
    }
    // Projected (Left, Top), (Right, Top), (Right, Bottom), (Left, Bottom).
    TFourPoints FourPointsFromRect(const TRect& R, int Z);
    // Bounding rectangle of FourPointsFromRect.
    TRect RectFromRectZ(const TRect& R, int Z);
    void LineWithZ(const TPoint& P0, const TPoint& P1, int Z) {
        LineWithZ(P0.x, P0.y, P1.x, P1.y, Z);
    }
    void PlaneWithZ(const TFourPoints& P, int Z) { PlaneWithZ(P[0], P[1], P[2], P[3], Z); }
    // An ellipse turned by Angle degrees about its centre (teesolids.cpp).
    void RotatedEllipse(int Left, int Top, int Right, int Bottom, int Z, double Angle);
    // A picture drawn pixel by pixel at depth Z; Graphic is left unchanged (teesolids.cpp).
    void StretchDraw(const TRect& Rect, TGraphic* Graphic, int Z);

    bool SupportsFullRotation() { return GetSupportsFullRotation(); }
    bool Supports3DText() { return GetSupports3DText(); }
    // The options of the last InitWindow (not owned; may be nullptr).
    TView3DOptions* View3DOptions() const { return FView3DOptions; }
    // The options' Orthogonal as InitWindow found it.
    bool IsOrthogonal() const { return FIsOrthogonal; }

protected:
    TView3DOptions* FView3DOptions = nullptr;
    bool FIsOrthogonal = false;
};

// The chart canvas on a platform canvas, optionally through an off-screen bitmap.
class TTeeCanvas3D : public TCanvas3D {
    QM_CLASS(TTeeCanvas3D)
public:
    using TCanvas3D::Calculate3DPosition;
    using TCanvas3D::Cube;
    using TCanvas3D::LineWithZ;
    using TCanvas3D::PlaneWithZ;
    using TCanvas3D::StretchDraw;

    TTeeCanvas3D();
    ~TTeeCanvas3D() override;

    // TTeeCanvas
    HDC GetHandle() override;
    bool GetMonochrome() override { return FMonochrome; }
    TColor GetPixel(int X, int Y) override;
    UINT GetTextAlign() override;
    bool GetUseBuffer() override { return FBufferedDisplay; }

    // TCanvas3D
    TColor GetPixel3D(int X, int Y, int Z) override;
    bool GetSupportsFullRotation() override { return false; }
    bool GetSupports3DText() override { return false; }
    void Calculate2DPosition(int& X, int& Y, int Z) override;
    TPoint Calculate3DPosition(int X, int Y, int Z) override;
    bool ReDrawBitmap() override;

    // The drawing calls of both.
    TEE_CANVAS_CALLS(TEE_CANVAS_DECLARE_IMPLEMENTED);

    // TTeeCanvas3D
    // Draws the four points of FourPoints() as one polygon.
    virtual void PolygonFour();
    virtual void DeleteBitmap();
    // The whole buffer bitmap copied to (Left, Top) of Canvas.
    virtual void TransferBitmap(int Left, int Top, TCanvas* Canvas);

    // --- projection ------------------------------------------------------------
    void Calc3DPos(int& X, int& Y, int Z);
    void Calc3DTPoint(TPoint& P, int Z);
    TPoint Calc3DTPoint3D(const TPoint3D& P);
    void CalcTrigValues();
    void CalcPerspective(const TRect& Rect);

    int XCenter() const { return FXCenter; }
    int YCenter() const { return FYCenter; }
    int ZCenter() const { return FZCenter; }
    int XCenterOffset() const { return FXCenterOffset; }
    int YCenterOffset() const { return FYCenterOffset; }
    double ZoomFactor() const { return FZoomFactor; }
    bool ZoomText() const { return FZoomText; }
    bool Is3D() const { return FIs3D; }
    TRect Bounds() const { return FBounds; }
    // The eight doubles of the rotation matrix (m1..m8 at 0..7).
    const std::array<double, 8>& Matrix() const { return FMatrix; }

    // The off-screen bitmap (nullptr until a buffered InitWindow).
    TBitmap* Bitmap() const { return FBitmap.get(); }
    // The buffered image is out of date.
    bool Dirty() const { return FDirty; }
    void SetTargetRetained(bool Value) override { FTargetRetained = Value; }
    // The polygon of PolygonFour.
    TFourPoints& FourPoints() { return FFourPoints; }

private:
    void FourPointsAt(const TPoint& P0, int Z0, const TPoint& P1, int Z1, const TPoint& P2, int Z2,
                      const TPoint& P3, int Z3);
    void DrawTextPath(int X, int Y, const AnsiString& Text);
    void TextOutFont(int X, int Y, const AnsiString& Text, int SizeOrZero, bool Rotate,
                     int Escapement);
    void EllipseRotated3D(int X1, int Y1, int X2, int Y2, int Z);
    void PolygonFan(const std::vector<TPoint>& Ring, const TPoint& Center);

    int FXCenter = 0;
    int FYCenter = 0;
    int FZCenter = 0;
    int FXCenterOffset = 0;
    int FYCenterOffset = 0;
    long double FS1 = 0, FS2 = 0, FS3 = 0, FC1 = 1, FC2 = 1, FC3 = 1;
    std::array<double, 8> FMatrix{};
    bool FWas3D = false;
    std::unique_ptr<TBitmap> FBitmap;
    // The target that let go of its pixels for the frame being drawn.
    TCanvas* FReleasedTarget = nullptr;
    bool FDirty = true;
    bool FMonochrome = false;
    TRect FBounds;
    bool FIsPerspec = false;
    double FOrthoX = 1;  // orthogonal sign
    double FOrthoY = 1;  // orthogonal ratio
    double FPerspec = 0; // perspective factor
    double FZoomFactor = 1;
    bool FZoomText = true;
    bool FBufferedDisplay = true;
    bool FTargetRetained = false;
    bool FIs3D = false;
    TFourPoints FFourPoints{};
};

// The closed ring of plane points (the last back at the first) through which a
// turned 3D view draws the ellipse in (X1, Y1)-(X2, Y2) (teesolids.cpp).
std::vector<TPoint> EllipseRing3D(int X1, int Y1, int X2, int Y2);

// ---------------------------------------------------------------------------
// Clipping (teeclip.cpp). Each clip takes one level of the chart canvas's clip
// stack; UnClipCanvas restores one level. Inputs are logical coordinates.

void ClipCanvas(TTeeCanvas* ACanvas, const TRect& Rect);
void UnClipCanvas(TTeeCanvas* ACanvas);
void ClipEllipse(TTeeCanvas* ACanvas, const TRect& Rect);
void ClipRoundRectangle(TTeeCanvas* ACanvas, const TRect& Rect, int RoundSize);
// Points are left as they are (converted on a copy).
void ClipPolygon(TTeeCanvas* ACanvas, const TPoint* Points, int NumPoints);

// ---------------------------------------------------------------------------
// Blending: what was drawn over a rectangle after the snapshot becomes partly
// see-through (teegradient.cpp).

class TTeeBlend : public TObject {
    QM_CLASS(TTeeBlend)
public:
    TTeeBlend(TTeeCanvas* ACanvas, const TRect& R);
    ~TTeeBlend() override;
    // Takes a new snapshot of R (normalised, negative coordinates at 0).
    void SetRectangle(const TRect& R);
    void DoBlend(TTeeTransparency Transparency);
    bool Valid() const { return FValid; }
    TRect Rectangle() const { return FRect; }

private:
    TTeeCanvas* FCanvas;
    std::unique_ptr<TBitmap> FBitmap;
    TRect FRect;
    bool FValid = false;
};

// Mixes Snapshot into Target at Offset so that Target keeps (100 - Percent)
// percent of the snapshot: Target pixels become T + (S - T) * t / 100.
void TeeBlendBitmaps(double Percent, TBitmap* Snapshot, TBitmap* Target, TPoint Offset);
