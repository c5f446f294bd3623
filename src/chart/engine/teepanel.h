#pragma once
// The chart panels (unit Teeprocs):
//   TTeeEvent family and TTeeEventListeners   what panels tell tools and commanders
//   TZoomPanning, TTeeZoom                      mouse zoom and panning settings
//   TCustomPanelNoCaption, TCustomTeePanel      margins, chart rectangle, buffered paint,
//                                               printing, bitmap and metafile export (teepanel.cpp)
//   TCustomTeePanelExtended                     background, picture, zoom rubber band
//   (teepanelext.cpp)
#include "chart/engine/tecanvas.h"
#include "platform/forms/extctrls.h"
#include "platform/graphics/metafile.h"
#include <functional>
#include <memory>
#include <vector>

// Identifiers of the platform's enumerations that chart panels store by name.
QM_ENUM_NAMES(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
QM_ENUM_NAMES(TMouseButton, mbLeft, mbRight, mbMiddle)
QM_ENUM_NAMES(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
QM_ENUM_NAMES(TAnchorKind, akLeft, akTop, akRight, akBottom)
QM_ENUM_NAMES(TDragMode, dmManual, dmAutomatic)
QM_ENUM_NAMES(TShiftStateFlag, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)

class TCustomTeePanel;
class TReader;

// A palette handle of the platform (which draws in true colour and has none).
using HPALETTE = HGDIOBJ;

// ---------------------------------------------------------------------------
// Events and listeners.

class TTeeEvent : public TObject {
    QM_CLASS(TTeeEvent)
public:
    TCustomTeePanel* Sender = nullptr;
};

enum TTeeMouseEventKind { meDown, meUp, meMove };

class TTeeMouseEvent : public TTeeEvent {
    QM_CLASS(TTeeMouseEvent)
public:
    TTeeMouseEventKind Event = meDown;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    int X = 0;
    int Y = 0;
};

// The panel's 3D switch changed.
class TTeeView3DEvent : public TTeeEvent {
    QM_CLASS(TTeeView3DEvent)
};

class ITeeEventListener {
public:
    virtual ~ITeeEventListener() = default;
    virtual void TeeEvent(TTeeEvent* Event) = 0;
};

// The listeners of a panel, in the order they were added (not owned).
class TTeeEventListeners {
public:
    // The existing index when AListener is present already.
    int Add(ITeeEventListener* AListener);
    // The former index, or -1 when absent.
    int Remove(ITeeEventListener* AListener);
    int IndexOf(ITeeEventListener* AListener) const;
    // Raises EListError outside 0..Count-1.
    ITeeEventListener* Get(int Index) const;
    ITeeEventListener* operator[](int Index) const { return Get(Index); }
    int Count() const { return static_cast<int>(FItems.size()); }
    const std::vector<ITeeEventListener*>& Items() const { return FItems; }
    void Clear() { FItems.clear(); }

private:
    std::vector<ITeeEventListener*> FItems;
};

// ---------------------------------------------------------------------------
// Zoom and panning.

class TZoomPanning : public TPersistent {
    QM_CLASS(TZoomPanning)
public:
    bool Active = false;
    int X0 = 0;
    int Y0 = 0;
    int X1 = 0;
    int Y1 = 0;
    void Activate(int X, int Y);
    // Orders the corners so that X0 <= X1 and Y0 <= Y1.
    void Check();
};

class TTeeZoomBrush : public TChartBrush {
    QM_CLASS(TTeeZoomBrush)
public:
    explicit TTeeZoomBrush(TNotifyEvent OnChangeEvent = nullptr);
};

class TTeeZoomPen : public TChartPen {
    QM_CLASS(TTeeZoomPen)
public:
    explicit TTeeZoomPen(TNotifyEvent OnChangeEvent = nullptr);
};

enum TTeeZoomDirection { tzdHorizontal, tzdVertical, tzdBoth };
QM_ENUM_NAMES(TTeeZoomDirection, tzdHorizontal, tzdVertical, tzdBoth)

class TTeeZoom : public TZoomPanning {
    QM_CLASS(TTeeZoom)
public:
    TTeeZoom();
    ~TTeeZoom() override;
    void Assign(TPersistent* Source) override;

    bool Allow() const { return FAllow; }
    void SetAllow(bool Value) { FAllow = Value; }
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool Value) { FAnimated = Value; }
    int AnimatedSteps() const { return FAnimatedSteps; }
    void SetAnimatedSteps(int Value) { FAnimatedSteps = Value; }
    // Created on first read; nullptr frees, anything else is copied.
    TTeeZoomBrush* Brush();
    void SetBrush(TTeeZoomBrush* Value);
    TTeeZoomBrush* BrushIfAny() const { return FBrush.get(); }
    TTeeZoomDirection Direction() const { return FDirection; }
    void SetDirection(TTeeZoomDirection Value) { FDirection = Value; }
    TShiftState KeyShift() const { return FKeyShift; }
    void SetKeyShift(TShiftState Value) { FKeyShift = Value; }
    int MinimumPixels() const { return FMinimumPixels; }
    void SetMinimumPixels(int Value) { FMinimumPixels = Value; }
    TMouseButton MouseButton() const { return FMouseButton; }
    void SetMouseButton(TMouseButton Value) { FMouseButton = Value; }
    TTeeZoomPen* Pen();
    void SetPen(TTeeZoomPen* Value);
    TTeeZoomPen* PenIfAny() const { return FPen.get(); }

private:
    bool FAllow = true;
    bool FAnimated = false;
    int FAnimatedSteps = 8;
    std::unique_ptr<TTeeZoomBrush> FBrush;
    TTeeZoomDirection FDirection = tzdBoth;
    TShiftState FKeyShift;
    int FMinimumPixels = 16;
    TMouseButton FMouseButton = mbLeft;
    std::unique_ptr<TTeeZoomPen> FPen;
};

// ---------------------------------------------------------------------------
// Unit-wide switches.

extern bool TeeCheckPenWidth;      // printers draw patterned one-pixel pens with width 0
extern bool TeeClipWhenPrinting;   // panels may clip on a printer
extern bool TeeClipWhenMetafiling; // panels may clip in a metafile
extern bool TeeEraseBack;          // panels let the background be erased
extern bool PrintTeePanel;         // printing draws the panel's background and bevels

enum TTeeUnits { muPercent, muPixels };
QM_ENUM_NAMES(TTeeUnits, muPercent, muPixels)

// Draws a bevel of Width inside R and shrinks R by it (nothing for bvNone).
void DrawBevel(TTeeCanvas* Canvas, TPanelBevel Bevel, TRect& R, int Round, int Width);

// ---------------------------------------------------------------------------
// The panels.

// A panel that never shows its caption.
class TCustomPanelNoCaption : public TCustomPanel {
    QM_CLASS(TCustomPanelNoCaption)
public:
    explicit TCustomPanelNoCaption(TComponent* AOwner);
};

class TCustomTeePanel : public TCustomPanelNoCaption {
    QM_CLASS(TCustomTeePanel)
public:
    explicit TCustomTeePanel(TComponent* AOwner);
    ~TCustomTeePanel() override;
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;
    void Loaded() override;
    void SetParent(TWinControl* AParent) override;

    // --- virtual operations, in the order descendants see them ----------------
    virtual TColor GetBackColor() { return Color(); }
    // Draws the contents into the chart bounds.
    virtual void InternalDraw(const TRect& UserRectangle) = 0;
    // Repaints after a change of a pen, brush, font or shape.
    virtual void CanvasChanged(TObject* Sender);
    virtual void Draw(TCanvas* UserCanvas, const TRect& UserRect);
    // The client rectangle; the whole control when it has no parent.
    virtual TRect GetRectangle();
    void Draw();

    // --- properties -------------------------------------------------------------
    bool BufferedDisplay() const { return FBufferedDisplay; }
    void SetBufferedDisplay(bool Value);
    // Index 0 left, 1 top, 2 right, 3 bottom.
    int GetMargin(int Index) const;
    void SetMargin(int Index, int Value);
    int MarginLeft() const { return FMargins[0]; }
    void SetMarginLeft(int Value) { SetMargin(0, Value); }
    int MarginTop() const { return FMargins[1]; }
    void SetMarginTop(int Value) { SetMargin(1, Value); }
    int MarginRight() const { return FMargins[2]; }
    void SetMarginRight(int Value) { SetMargin(2, Value); }
    int MarginBottom() const { return FMargins[3]; }
    void SetMarginBottom(int Value) { SetMargin(3, Value); }
    TTeeUnits MarginUnits() const { return FMarginUnits; }
    void SetMarginUnits(TTeeUnits Value);
    bool Monochrome() const { return FMonochrome; }
    void SetMonochrome(bool Value);
    bool PrintProportional() const { return FPrintProportional; }
    void SetPrintProportional(bool Value) { FPrintProportional = Value; }
    int PrintResolution() const { return FPrintResolution; }
    void SetPrintResolution(int Value) { FPrintResolution = Value; }
    TTeeShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TTeeShadow* Value) { FShadow->Assign(Value); }
    bool View3D() const { return FView3D; }
    void SetView3D(bool Value);
    TView3DOptions* View3DOptions() const { return FView3DOptions.get(); }
    void SetView3DOptions(TView3DOptions* Value) { FView3DOptions->Assign(Value); }
    TChartHiddenPen* Border() const { return FBorder.get(); }
    void SetBorder(TChartHiddenPen* Value) { FBorder->Assign(Value); }
    int BorderRound() const { return FBorderRound; }
    void SetBorderRound(int Value);
    int Chart3DPercent() const { return FChart3DPercent; }
    // Raises an exception with the range text outside 1..100.
    void SetChart3DPercent(int Value);

    // --- public state -------------------------------------------------------------
    TCanvas3D* Canvas() const { return FCanvas.get(); }
    // The platform canvas of the control itself.
    TCanvas* ControlCanvas() const;
    // Percentages of the page; 15 on each side by default.
    TRect PrintMargins() const { return FPrintMargins; }
    void SetPrintMargins(const TRect& Value) { FPrintMargins = Value; }
    TRect ChartBounds() const { return FChartBounds; }
    void SetChartBounds(const TRect& Value) { FChartBounds = Value; }
    TRect ChartRect() const { return FChartRect; }
    // Descendants shrink it while they lay out; ReCalcWidthHeight follows.
    void SetChartRect(const TRect& Value) { FChartRect = Value; }
    int ChartWidth() const { return FChartWidth; }
    int ChartHeight() const { return FChartHeight; }
    int ChartXCenter() const { return FChartXCenter; }
    int ChartYCenter() const { return FChartYCenter; }
    // The depth of the 3D scene in pixels, set by descendants while they lay out.
    int Width3D() const { return FWidth3D; }
    void SetWidth3D(int Value) { FWidth3D = Value; }
    int Height3D() const { return FHeight3D; }
    void SetHeight3D(int Value) { FHeight3D = Value; }
    // Normalises the chart rectangle (never empty or inverted) and takes its size and centre.
    void ReCalcWidthHeight();
    bool AutoRepaint() const { return FAutoRepaint; }
    void SetAutoRepaint(bool Value) { FAutoRepaint = Value; }
    // True while the panel paints its own window (not a bitmap, metafile or printer).
    bool DrawingOnWindow() const { return FDrawingOnWindow; }
    bool Printing() const { return FPrinting; }
    void SetPrinting(bool Value) { FPrinting = Value; }
    bool CancelMouse() const { return FCancelMouse; }
    void SetCancelMouse(bool Value) { FCancelMouse = Value; }
    // The panel's own cursor, set by code or in the editor: the one it stores
    // and the one it goes back to when the mouse leaves a part.
    void SetCursor(TCursor Value);
    // The cursor and the hint shown while the mouse is over a part (a tool's
    // line, a series, a mark's tip). They are not the panel's own: a chart file
    // keeps the cursor and hint the panel had before, until others are set.
    void ShowPartCursor(TCursor Value);
    // Shows the panel's own cursor again.
    void RestoreCursor();
    bool PartCursorShown() const { return Cursor() != StoredCursor(); }
    void ShowPartHint(const AnsiString& Text);
    // Gives back the panel's own hint when a part's hint is showing.
    void HidePartHint();
    TCursor StoredCursor() const;
    AnsiString StoredHint() const;
    bool StoredShowHint() const;
    TTeeEventListeners* Listeners() const { return FListeners.get(); }
    TZoomPanning* Panning() const { return FPanning.get(); }

    // --- drawing helpers ------------------------------------------------------------
    void NonBufferDraw(TCanvas* ACanvas, const TRect& R);
    void DrawToMetaCanvas(TCanvas* ACanvas, const TRect& Rect);
    // Border, outer bevel, frame and inner bevel; descendants call it with the background.
    void DrawPanelBevels(TRect Rect);
    bool CanClip();
    bool IsScreenHighColor();
    void CheckPenWidth(TPen* APen);
    void SetBrushCanvas(TColor AColor, TChartBrush* ABrush, TColor ABackColor);
    // Store Value and repaint, only when it differs.
    void SetStringProperty(AnsiString& Variable, const AnsiString& Value);
    void SetDoubleProperty(double& Variable, double Value);
    void SetColorProperty(TColor& Variable, TColor Value);
    void SetBooleanProperty(bool& Variable, bool Value);
    void SetIntegerProperty(int& Variable, int Value);
    // Takes over a new canvas (the panel owns it) with the old one's settings.
    void SetInternalCanvas(std::unique_ptr<TCanvas3D> NewCanvas);
    void Invalidate() override;
    // A repaint is asked for and no drawing has started since.
    bool RepaintAsked() const { return FRepaintAsked; }
    // The mouse position in client coordinates.
    TPoint GetCursorPos() const;

    // --- export ---------------------------------------------------------------------
    // A new bitmap of R's size with the chart drawn into it (caller owns it).
    std::unique_ptr<TBitmap> TeeCreateBitmap(TColor ABackColor, const TRect& Rect,
                                             TPixelFormat APixelFormat = pfDevice);
    // The chart laid out in Rect, as a window of that size, drawn into a bitmap
    // of Pixels: larger or smaller, everything keeps its place relative to the chart.
    std::unique_ptr<TBitmap> TeeCreateScaledBitmap(TColor ABackColor, const TRect& Rect,
                                                   TSize Pixels,
                                                   TPixelFormat APixelFormat = pfDevice);
    void SaveToBitmapFile(const AnsiString& FileName);
    void SaveToBitmapFile(const AnsiString& FileName, const TRect& R);
    std::unique_ptr<TMetafile> TeeCreateMetafile(bool Enhanced, const TRect& Rect);
    void SaveToMetafile(const AnsiString& FileName);
    void SaveToMetafileEnh(const AnsiString& FileName);
    // Builds the whole file first; an existing file is replaced only once it is complete.
    void SaveToMetafileRect(bool Enhanced, const AnsiString& FileName, const TRect& Rect);
    void CopyToClipboardBitmap();
    void CopyToClipboardBitmap(const TRect& R);
    void CopyToClipboardMetafile(bool Enhanced);
    void CopyToClipboardMetafile(bool Enhanced, const TRect& R);

    // --- printing ---------------------------------------------------------------------
    void Print();
    void PrintPortrait();
    void PrintLandscape();
    void PrintRect(const TRect& R);
    void PrintPartial(const TRect& PrinterRect);
    void PrintPartialCanvas(TCanvas* PrintCanvas, const TRect& PrinterRect);
    TRect ChartPrintRect();
    void CalcProportionalMargins();
    // Proportional margins for the current page, without storing them: printing
    // or previewing a chart must leave its own margins as they are.
    TRect ProportionalMargins();
    // Scales R (a page rectangle) into the panel's own units.
    void CalcMetaBounds(TRect& R, const TRect& AChartRect, int& WinWidth, int& WinHeight,
                        int& ViewWidth, int& ViewHeight);

    // --- listeners ----------------------------------------------------------------------
    void BroadcastMouseEvent(TTeeMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                             int Y);
    TTeeEvent* BroadcastTeeEvent(TTeeEvent* Event);
    void RemoveListener(ITeeEventListener* Sender);

protected:
    void AssignTo(TPersistent* Dest) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    bool WantsKey(WORD Key, TShiftState Shift) const override;
    void ColorChanged() override;
    void Resize() override;
    // The chart rectangle from the chart bounds: frame and margins taken off.
    void CalcChartRect();

private:
    void ReadBorderStyle(TReader* Reader);
    TNotifyEvent Changer();
    // The window's rounded outline and see-through background on its parent.
    void ApplyWindowShape();

    std::unique_ptr<TCanvas3D> FCanvas;
    std::unique_ptr<TChartHiddenPen> FBorder;
    std::unique_ptr<TTeeShadow> FShadow;
    std::unique_ptr<TView3DOptions> FView3DOptions;
    std::unique_ptr<TZoomPanning> FPanning;
    std::unique_ptr<TTeeEventListeners> FListeners;
    bool FBufferedDisplay = true;
    int FMargins[4] = {3, 4, 3, 4};
    TTeeUnits FMarginUnits = muPercent;
    bool FMonochrome = false;
    bool FPrintProportional = true;
    int FPrintResolution = 0;
    bool FView3D = true;
    int FBorderRound = 0;
    bool FDrawingOnWindow = false;
    int FChart3DPercent = 15;
    TRect FPrintMargins{15, 15, 15, 15};
    TRect FChartBounds;
    TRect FChartRect;
    int FChartWidth = 0;
    int FChartHeight = 0;
    int FChartXCenter = 0;
    int FChartYCenter = 0;
    int FWidth3D = 0;
    int FHeight3D = 0;
    bool FAutoRepaint = false;
    // A repaint was asked for and no drawing has started since.
    bool FRepaintAsked = false;
    bool FPrinting = false;
    bool FCancelMouse = false;
    void ShowCursor(TCursor Value);
    TCursor FOwnCursor = crDefault;
    // What the panel last showed; a cursor set past the panel differs from it.
    TCursor FShownCursor = crDefault;
    bool FPartHintShown = false;
    AnsiString FPartHint;
    AnsiString FOwnHint;
    bool FOwnShowHint = false;
};

// ---------------------------------------------------------------------------
// The extended panel: background fill and picture, zoom and panning state.

enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };
enum TTeeBackImageMode { pbmStretch, pbmTile, pbmCenter };
QM_ENUM_NAMES(TTeeBackImageMode, pbmStretch, pbmTile, pbmCenter)

// The control events a chart panel publishes, for its class's QM_PUBLISHED list
// (in the order files written so far hold them).
#define TEE_PANEL_CONTROL_EVENTS                                                                   \
    Prop("OnClick", &Self::OnClick), Prop("OnDblClick", &Self::OnDblClick),                        \
        Prop("OnDragDrop", &Self::OnDragDrop), Prop("OnDragOver", &Self::OnDragOver),              \
        Prop("OnEndDrag", &Self::OnEndDrag), Prop("OnEnter", &Self::OnEnter),                      \
        Prop("OnExit", &Self::OnExit), Prop("OnKeyDown", &Self::OnKeyDown),                        \
        Prop("OnKeyPress", &Self::OnKeyPress), Prop("OnKeyUp", &Self::OnKeyUp),                    \
        TEE_PANEL_MOUSE_EVENTS, Prop("OnResize", &Self::OnResize)
// Its mouse events alone.
#define TEE_PANEL_MOUSE_EVENTS                                                                     \
    Prop("OnMouseDown", &Self::OnMouseDown), Prop("OnMouseEnter", &Self::OnMouseEnter),            \
        Prop("OnMouseLeave", &Self::OnMouseLeave), Prop("OnMouseMove", &Self::OnMouseMove),        \
        Prop("OnMouseUp", &Self::OnMouseUp), Prop("OnMouseWheel", &Self::OnMouseWheel),            \
        Prop("OnMouseWheelDown", &Self::OnMouseWheelDown),                                         \
        Prop("OnMouseWheelUp", &Self::OnMouseWheelUp)

class TCustomTeePanelExtended : public TCustomTeePanel {
    QM_CLASS(TCustomTeePanelExtended)
public:
    explicit TCustomTeePanelExtended(TComponent* AOwner);
    ~TCustomTeePanelExtended() override;
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    virtual void FillPanelRect(const TRect& Rect);
    // Shadow, background, picture and bevels of the whole panel.
    virtual void PanelPaint(const TRect& UserRect);

    TPanningMode AllowPanning() const { return FAllowPanning; }
    void SetAllowPanning(TPanningMode Value) { FAllowPanning = Value; }
    // Created on first read; its changes repaint.
    TPicture* BackImage();
    void SetBackImage(TPicture* Value);
    bool BackImageInside() const { return FBackImageInside; }
    void SetBackImageInside(bool Value) { SetBooleanProperty(FBackImageInside, Value); }
    TTeeBackImageMode BackImageMode() const { return FBackImageMode; }
    void SetBackImageMode(TTeeBackImageMode Value);
    bool BackImageTransp() const { return FBackImageTransp; }
    void SetBackImageTransp(bool Value);
    // Created on first read.
    TTeeGradient* Gradient();
    void SetGradient(TTeeGradient* Value);
    TTeeGradient* GradientIfAny() const { return FGradient.get(); }
    TTeeZoom* Zoom() const { return FZoom.get(); }
    void SetZoom(TTeeZoom* Value) { FZoom->Assign(Value); }
    bool AllowZoom() const { return FZoom->Allow(); }
    void SetAllowZoom(bool Value) { FZoom->SetAllow(Value); }
    bool AnimatedZoom() const { return FZoom->Animated(); }
    void SetAnimatedZoom(bool Value) { FZoom->SetAnimated(Value); }
    int AnimatedZoomSteps() const { return FZoom->AnimatedSteps(); }
    void SetAnimatedZoomSteps(int Value) { FZoom->SetAnimatedSteps(Value); }

    bool Zoomed() const { return FZoomed; }
    void SetZoomed(bool Value) { FZoomed = Value; }
    // A picture with a graphic is there.
    bool HasBackImage() const;
    // The back picture's palette: the platform's pictures are true colour, so never one.
    HPALETTE GetPalette() const { return nullptr; }
    void DrawBitmap(const TRect& Rect, int Z);
    // The rubber band of Zoom; drawing it twice at one place erases it.
    void DrawZoomRectangle();
    void UndoZoom();

    TNotifyEvent OnAfterDraw;
    TNotifyEvent OnScroll;
    TNotifyEvent OnUndoZoom;
    TNotifyEvent OnZoom;

private:
    TPanningMode FAllowPanning = pmBoth;
    std::unique_ptr<TPicture> FBackImage;
    bool FBackImageInside = false;
    TTeeBackImageMode FBackImageMode = pbmStretch;
    bool FBackImageTransp = false;
    std::unique_ptr<TTeeGradient> FGradient;
    std::unique_ptr<TTeeZoom> FZoom;
    bool FZoomed = false;
};

// The panel at its own size, each pixel the average of four drawn at twice the
// scale (the caller owns it).
std::unique_ptr<TBitmap> TeeAntiAlias(TCustomTeePanel* Panel);
