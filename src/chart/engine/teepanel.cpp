// TCustomTeePanel: geometry, paint cycle, drawing helpers, export, mouse and
// listeners; the event objects and listener list; the control helpers of the unit.
// Printing and the clipboard are in teepanel_print.cpp.
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/filer.h"
#include "platform/classes/lists.h"
#include "platform/classes/streams.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include "platform/forms/windowshape.h"
#include "platform/graphics/metafile.h"
#include "platform/rtl/exceptions.h"
#include <algorithm>

QM_CLASS_ABSTRACT(TTeeEvent, TObject)
QM_CLASS_PLAIN(TTeeMouseEvent, TTeeEvent)
QM_CLASS_PLAIN(TTeeView3DEvent, TTeeEvent)
QM_CLASS_ABSTRACT(TCustomPanelNoCaption, TCustomPanel)
QM_CLASS_ABSTRACT(TCustomTeePanel, TCustomPanelNoCaption)

// What the mouse shows over a part is not stored; the panel's own cursor and hint are.
QM_PUBLISHED(
    TCustomTeePanel,
    Prop("Cursor", &Self::StoredCursor, &Self::SetCursor).Default(crDefault).Idents("TCursor"),
    Prop("Hint", &Self::StoredHint, &Self::SetHint),
    Prop("ShowHint", &Self::StoredShowHint, &Self::SetShowHint).Default(false));

bool TeeCheckPenWidth = true;
bool TeeClipWhenPrinting = true;
bool TeeClipWhenMetafiling = true;
bool TeeEraseBack = false;
bool PrintTeePanel = false;

namespace {
// The border of a panel is drawn with flat ends by default.
class TPanelBorderPen : public TChartHiddenPen {
public:
    explicit TPanelBorderPen(TNotifyEvent OnChangeEvent) : TChartHiddenPen(nullptr) {
        FDefaultEnd = esFlat;
        SetEndStyle(esFlat);
        OnChange = std::move(OnChangeEvent);
    }
};
} // namespace

// ---------------------------------------------------------------------------
// Listeners.

int TTeeEventListeners::Add(ITeeEventListener* AListener) {
    const int i = IndexOf(AListener);
    if (i >= 0) return i;
    FItems.push_back(AListener);
    return Count() - 1;
}

int TTeeEventListeners::Remove(ITeeEventListener* AListener) {
    const int i = IndexOf(AListener);
    if (i >= 0) FItems.erase(FItems.begin() + i);
    return i;
}

int TTeeEventListeners::IndexOf(ITeeEventListener* AListener) const {
    auto it = std::find(FItems.begin(), FItems.end(), AListener);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

ITeeEventListener* TTeeEventListeners::Get(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    return FItems[static_cast<size_t>(Index)];
}

// ---------------------------------------------------------------------------
// Bevels.

void DrawBevel(TTeeCanvas* Canvas, TPanelBevel Bevel, TRect& R, int Round, int Width) {
    if (Bevel == bvNone) return;
    if (Round >= 1) {
        Canvas->Pen()->SetColor(Bevel == bvLowered ? clBtnShadow : clBtnHighlight);
        Canvas->RoundRect(R, Round, Round);
        InflateRect(R, -Width, -Width);
    } else {
        Canvas->Frame3D(R, Bevel == bvLowered ? clBtnShadow : clBtnHighlight,
                        Bevel == bvRaised ? clBtnShadow : clBtnHighlight, Width);
    }
}

// ---------------------------------------------------------------------------
// Construction.

TCustomPanelNoCaption::TCustomPanelNoCaption(TComponent* AOwner) : TCustomPanel(AOwner) {
    SetControlStyle(ControlStyle() - TControlStyle{csSetCaption});
}

namespace {
// 16 x 16 hand: '#' outline, '.' palm, anything else shows what lies below.
const char* const HandPicture[16] = {
    "     ##         ", "    #..#        ", "    #..#        ", "    #..#        ",
    "    #..###      ", "    #..#..###   ", "    #..#..#..## ", " ## #..#..#..#.#",
    "#..##........#.#", "#...#..........#", " #.............#", "  #............#",
    "  #...........# ", "   #..........# ", "    #........#  ", "    ##########  ",
};
} // namespace

void TeeInstallHandCursor() {
    if (!Screen || Screen->Cursors(crTeeHand)) return;
    TBitmap picture;
    picture.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const char c = HandPicture[y][x];
            picture.Canvas()->SetPixel(x, y, c == '#' ? clBlack : c == '.' ? clWhite : clFuchsia);
        }
    picture.SetTransparentColor(clFuchsia);
    picture.SetTransparent(true);
    Screen->SetCursors(crTeeHand, CreateBitmapCursor(&picture, 5, 0));
}

TCustomTeePanel::TCustomTeePanel(TComponent* AOwner) : TCustomPanelNoCaption(AOwner) {
    TeeInstallHandCursor();
    FBorder = std::make_unique<TPanelBorderPen>(Changer());
    FShadow = std::make_unique<TTeeShadow>(Changer());
    FView3DOptions = std::make_unique<TView3DOptions>(this);
    FPanning = std::make_unique<TZoomPanning>();
    FListeners = std::make_unique<TTeeEventListeners>();
    auto canvas = std::make_unique<TTeeCanvas3D>();
    canvas->SetCanvas(ControlCanvas());
    FCanvas = std::move(canvas);
    SetWidth(400);
    SetHeight(250);
    if (TeeEraseBack && ComponentState().Contains(csDesigning)) TeeEraseBack = false;
    FAutoRepaint = true;
}

TCustomTeePanel::~TCustomTeePanel() {
    Destroying();
    FAutoRepaint = false;
}

TNotifyEvent TCustomTeePanel::Changer() {
    return [this](TObject* Sender) { CanvasChanged(Sender); };
}

TCanvas* TCustomTeePanel::ControlCanvas() const {
    return TCustomPanelNoCaption::Canvas();
}

// ---------------------------------------------------------------------------
// Properties.

void TCustomTeePanel::SetBufferedDisplay(bool Value) {
    FBufferedDisplay = Value;
    FCanvas->SetUseBuffer(Value);
}

int TCustomTeePanel::GetMargin(int Index) const {
    if (Index < 0 || Index > 3) throw ERangeError(Format("Margin index %d out of range", {Index}));
    return FMargins[Index];
}

void TCustomTeePanel::SetMargin(int Index, int Value) {
    if (Index < 0 || Index > 3) throw ERangeError(Format("Margin index %d out of range", {Index}));
    SetIntegerProperty(FMargins[Index], Value);
}

void TCustomTeePanel::SetMarginUnits(TTeeUnits Value) {
    if (FMarginUnits == Value) return;
    FMarginUnits = Value;
    Invalidate();
}

void TCustomTeePanel::SetMonochrome(bool Value) {
    FMonochrome = Value;
    FCanvas->SetMonochrome(Value);
}

void TCustomTeePanel::SetView3D(bool Value) {
    if (FView3D == Value) return;
    FView3D = Value;
    Invalidate();
    TTeeView3DEvent event;
    BroadcastTeeEvent(&event);
}

void TCustomTeePanel::SetBorderRound(int Value) {
    if (FBorderRound == Value) return;
    SetIntegerProperty(FBorderRound, Value);
    ApplyWindowShape();
}

void TCustomTeePanel::ApplyWindowShape() {
    // A panel without a parent has no window to shape; it is shaped when placed.
    if (!Parent() || ComponentState().Contains(csLoading)) return;
    SetControlRoundRegion(this, FBorderRound);
    SetControlSeeThrough(this, Color() == clNone);
}

void TCustomTeePanel::Resize() {
    TCustomPanelNoCaption::Resize();
    if (FBorderRound > 0) ApplyWindowShape();
}

void TCustomTeePanel::SetParent(TWinControl* AParent) {
    TCustomPanelNoCaption::SetParent(AParent);
    ApplyWindowShape();
}

void TCustomTeePanel::SetChart3DPercent(int Value) {
    if (Value < 1 || Value > 100) throw Exception(Format(TeeMsg_3dPercent, {1, 100}));
    SetIntegerProperty(FChart3DPercent, Value);
}

void TCustomTeePanel::SetStringProperty(AnsiString& Variable, const AnsiString& Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

void TCustomTeePanel::SetDoubleProperty(double& Variable, double Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

void TCustomTeePanel::SetColorProperty(TColor& Variable, TColor Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

void TCustomTeePanel::SetBooleanProperty(bool& Variable, bool Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

void TCustomTeePanel::SetIntegerProperty(int& Variable, int Value) {
    if (Variable == Value) return;
    Variable = Value;
    Invalidate();
}

void TCustomTeePanel::Assign(TPersistent* Source) {
    auto* panel = dynamic_cast<TCustomTeePanel*>(Source);
    if (!panel) {
        TCustomPanelNoCaption::Assign(Source);
        return;
    }
    FBorder->Assign(panel->FBorder.get());
    FBorderRound = panel->FBorderRound;
    SetBufferedDisplay(panel->FBufferedDisplay);
    FPrintMargins = panel->FPrintMargins;
    FPrintProportional = panel->FPrintProportional;
    FPrintResolution = panel->FPrintResolution;
    std::copy(std::begin(panel->FMargins), std::end(panel->FMargins), std::begin(FMargins));
    FMarginUnits = panel->FMarginUnits;
    SetMonochrome(panel->FMonochrome);
    FShadow->Assign(panel->FShadow.get());
    FView3D = panel->FView3D;
    FView3DOptions->Assign(panel->FView3DOptions.get());
    FChart3DPercent = panel->FChart3DPercent;
    SetColor(panel->Color());
    ApplyWindowShape();
    Invalidate();
}

void TCustomTeePanel::AssignTo(TPersistent* Dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        bitmap->Assign(TeeCreateBitmap(Color(), GetRectangle()).get());
    } else if (auto* picture = dynamic_cast<TPicture*>(Dest)) {
        picture->SetGraphic(TeeCreateBitmap(Color(), GetRectangle()).get());
    } else {
        TCustomPanelNoCaption::AssignTo(Dest);
    }
}

void TCustomTeePanel::ReadBorderStyle(TReader* Reader) {
    FBorder->SetVisible(SameText(Reader->ReadIdent(), "bsSingle"));
}

void TCustomTeePanel::DefineProperties(TFiler* Filer) {
    TCustomPanelNoCaption::DefineProperties(Filer);
    Filer->DefineProperty(
        "BorderStyle", [this](TReader* Reader) { ReadBorderStyle(Reader); }, nullptr, false);
}

void TCustomTeePanel::Loaded() {
    TCustomPanelNoCaption::Loaded();
    ApplyWindowShape();
}

// ---------------------------------------------------------------------------
// Geometry and the paint cycle.

TRect TCustomTeePanel::GetRectangle() {
    return Parent() ? ClientRect() : TRect(0, 0, Width(), Height());
}

void TCustomTeePanel::CalcChartRect() {
    const TRect& b = FChartBounds;
    int frame = BorderWidth();
    if (BevelInner() != bvNone) frame += BevelWidth();
    if (BevelOuter() != bvNone) frame += BevelWidth();
    if (FBorder->Visible()) frame += FBorder->Width();
    auto margin = [this](int Index, int Size) {
        const int m = FMargins[Index];
        return FMarginUnits == muPixels ? m : static_cast<int>(int64_t(m) * Size / 100);
    };
    const int w = b.Width();
    const int h = b.Height();
    FChartRect = TRect(b.Left + frame + margin(0, w), b.Top + frame + margin(1, h),
                       b.Right - frame - margin(2, w), b.Bottom - frame - margin(3, h));
}

void TCustomTeePanel::ReCalcWidthHeight() {
    TRect& r = FChartRect;
    r.Left = std::max(r.Left, FChartBounds.Left);
    r.Top = std::max(r.Top, FChartBounds.Top);
    if (r.Left > r.Right)
        r.Right = r.Left + 1;
    else if (r.Left == r.Right)
        r.Right = r.Left + Width();
    if (r.Top > r.Bottom)
        r.Bottom = r.Top + 1;
    else if (r.Top == r.Bottom)
        r.Bottom = r.Top + Height();
    FChartWidth = r.Width();
    FChartHeight = r.Height();
    RectCenter(r, FChartXCenter, FChartYCenter);
}

void TCustomTeePanel::Draw() {
    Draw(ControlCanvas(), GetRectangle());
}

void TCustomTeePanel::Draw(TCanvas* UserCanvas, const TRect& UserRect) {
    FRepaintAsked = false;
    TTeeValueScope onWindow(FDrawingOnWindow, UserCanvas == ControlCanvas());
    // The window's canvas is its own back buffer, so the whole client area
    // is drawn there without an off-screen copy.
    FCanvas->SetTargetRetained(FDrawingOnWindow && UserCanvas && UserRect == ClientRect() &&
                               ClientWidth() > 0 && ClientHeight() > 0);
    FChartBounds =
        FCanvas->InitWindow(UserCanvas, FView3DOptions.get(), Color(), FView3D, UserRect);
    // Without a colour the panel draws over what its target holds, buffered or not.
    if (Color() == clNone && UserCanvas)
        if (TCanvas* buffer = FCanvas->PlatformCanvas(); buffer && buffer != UserCanvas)
            buffer->CopyRect(FChartBounds, UserCanvas, UserRect);
    const int clipDepth = FCanvas->ClipDepth();
    try {
        CalcChartRect();
        ReCalcWidthHeight();
        InternalDraw(FChartBounds);
    } catch (...) {
        // The target (often a bitmap about to be freed) must not stay the
        // canvas's surface, nor keep the clips of the half-drawn chart, nor be
        // left without the pixels it let go of for the frame.
        while (FCanvas->ClipDepth() > clipDepth)
            FCanvas->UnClipRectangle();
        FCanvas->ShowImage(nullptr, ControlCanvas(), UserRect);
        throw;
    }
    FCanvas->ShowImage(UserCanvas, ControlCanvas(), UserRect);
}

void TCustomTeePanel::Paint() {
    FRepaintAsked = false;
    if (FPrinting) return;
    if (!FCanvas->ReDrawBitmap()) Draw();
}

void TCustomTeePanel::Invalidate() {
    // Asking again before the drawing changes nothing (a live series asks
    // with every point it takes).
    if (!FAutoRepaint || FRepaintAsked) return;
    FRepaintAsked = true;
    if (FCanvas) FCanvas->Invalidate();
    TCustomPanelNoCaption::Invalidate();
}

void TCustomTeePanel::CanvasChanged(TObject*) {
    Invalidate();
}

void TCustomTeePanel::ColorChanged() {
    TCustomPanelNoCaption::ColorChanged();
    ApplyWindowShape();
    Invalidate();
}

void TCustomTeePanel::SetInternalCanvas(std::unique_ptr<TCanvas3D> NewCanvas) {
    if (!NewCanvas) return;
    NewCanvas->SetCanvas(ControlCanvas());
    if (FCanvas) {
        TTeeValueScope quiet(FAutoRepaint, false);
        NewCanvas->Assign(FCanvas.get());
    }
    FCanvas = std::move(NewCanvas);
    if (FAutoRepaint) Invalidate();
}

void TCustomTeePanel::NonBufferDraw(TCanvas* ACanvas, const TRect& R) {
    const bool old = FBufferedDisplay;
    SetBufferedDisplay(false);
    TTeeFinally restore([&] { SetBufferedDisplay(old); });
    if (!ACanvas || (R.Left == 0 && R.Top == 0)) {
        Draw(ACanvas, R);
        return;
    }
    // The chart is laid out from (0, 0) as on the window and the canvas's
    // origin goes to R's corner: parts placed in window pixels need no offset
    // and never learn where an output puts the chart.
    TPoint corner(R.Left, R.Top);
    ACanvas->LPtoDP(&corner, 1);
    const int saved = ACanvas->SaveDC();
    TTeeFinally back([&] { ACanvas->RestoreDC(saved); });
    ACanvas->SetWindowOrgEx(0, 0);
    ACanvas->SetViewportOrgEx(corner.x, corner.y);
    Draw(ACanvas, TRect(0, 0, R.Width(), R.Height()));
}

void TCustomTeePanel::DrawToMetaCanvas(TCanvas* ACanvas, const TRect& Rect) {
    const bool old = FCanvas->Metafiling();
    FCanvas->SetMetafiling(true);
    TTeeFinally restore([&] { FCanvas->SetMetafiling(old); });
    NonBufferDraw(ACanvas, Rect);
}

void TCustomTeePanel::DrawPanelBevels(TRect Rect) {
    FCanvas->Brush()->SetStyle(bsClear);
    if (FBorder->Visible()) {
        FCanvas->AssignVisiblePen(FBorder.get());
        const bool smallDots = FBorder->SmallDots();
        int inset = 1;
        if (!smallDots) {
            const int w = FBorder->Width() - 1;
            inset = 0;
            if (w > 0) {
                Rect.Left += w / 2 + (w % 2);
                Rect.Top += w / 2 + (w % 2);
                Rect.Right -= w / 2;
                Rect.Bottom -= w / 2;
                inset = w / 2;
            }
        }
        if (FBorderRound < 1) {
            FCanvas->Rectangle(Rect);
            if (!smallDots) ++inset;
        } else {
            --Rect.Right;
            --Rect.Bottom;
            FCanvas->RoundRect(Rect, FBorderRound, FBorderRound);
        }
        InflateRect(Rect, -inset, -inset);
    }
    if (FPrinting && !PrintTeePanel) return;
    TPen* pen = FCanvas->Pen();
    pen->SetStyle(psSolid);
    pen->SetWidth(1);
    pen->SetMode(pmCopy);
    DrawBevel(FCanvas.get(), BevelOuter(), Rect, FBorderRound, BevelWidth());
    if (BorderWidth() != 0) FCanvas->Frame3D(Rect, Color(), Color(), BorderWidth());
    DrawBevel(FCanvas.get(), BevelInner(), Rect, FBorderRound, BevelWidth());
}

bool TCustomTeePanel::CanClip() {
    if (FCanvas->SupportsFullRotation()) return false;
    if (!FPrinting && !FCanvas->Metafiling()) return true;
    if (FPrinting) return TeeClipWhenPrinting;
    return TeeClipWhenMetafiling;
}

bool TCustomTeePanel::IsScreenHighColor() {
    if (FCanvas->SupportsFullRotation()) return true;
    TCanvas* dc = FCanvas->GetHandle();
    if (!dc) return true;
    return dc->GetDeviceCaps(BITSPIXEL) * dc->GetDeviceCaps(PLANES) >= 15;
}

void TCustomTeePanel::CheckPenWidth(TPen* APen) {
    if (FPrinting && TeeCheckPenWidth && APen->Style() != psSolid && APen->Width() == 1)
        APen->SetWidth(0);
}

void TCustomTeePanel::SetBrushCanvas(TColor AColor, TChartBrush* ABrush, TColor ABackColor) {
    if (ABrush->Style() != bsSolid && AColor == ABackColor)
        AColor = ABackColor == clBlack ? clWhite : clBlack;
    FCanvas->AssignBrushColor(ABrush, AColor, ABackColor);
}

TPoint TCustomTeePanel::GetCursorPos() const {
    return ScreenToClient(Mouse->CursorPos());
}

// ---------------------------------------------------------------------------
// Pictures.

namespace {
// A bitmap of the size given, filled with Back unless white (the chart's own
// background drawing fills it then).
std::unique_ptr<TBitmap> BackedBitmap(TPixelFormat Format, int Width, int Height, TColor Back) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(Format);
    bitmap->SetSize(std::max(0, Width), std::max(0, Height));
    if (Back != clWhite) {
        TCanvas* c = bitmap->Canvas();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Back);
        c->FillRect(TRect(0, 0, bitmap->Width(), bitmap->Height()));
    }
    return bitmap;
}
} // namespace

std::unique_ptr<TBitmap> TCustomTeePanel::TeeCreateBitmap(TColor ABackColor, const TRect& Rect,
                                                          TPixelFormat APixelFormat) {
    auto bitmap = BackedBitmap(FCanvas->SupportsFullRotation() ? pf24bit : APixelFormat,
                               Rect.Width(), Rect.Height(), ABackColor);
    NonBufferDraw(bitmap->Canvas(), Rect);
    return bitmap;
}

std::unique_ptr<TBitmap> TCustomTeePanel::TeeCreateScaledBitmap(TColor ABackColor,
                                                                const TRect& Rect, TSize Pixels,
                                                                TPixelFormat APixelFormat) {
    if (Rect.Width() < 1 || Rect.Height() < 1 || Pixels.cx < 1 || Pixels.cy < 1 ||
        (Pixels.cx == Rect.Width() && Pixels.cy == Rect.Height()))
        return TeeCreateBitmap(ABackColor, Rect, APixelFormat);
    auto bitmap = BackedBitmap(FCanvas->SupportsFullRotation() ? pf24bit : APixelFormat, Pixels.cx,
                               Pixels.cy, ABackColor);
    TCanvas* c = bitmap->Canvas();
    // A mapping, not a larger layout: what a part places in window pixels
    // scales with the rest, and pens and fonts scale as on a printer.
    const int saved = c->SaveDC();
    TTeeFinally back([&] { c->RestoreDC(saved); });
    c->SetMapMode(MM_ANISOTROPIC);
    c->SetWindowOrgEx(Rect.Left, Rect.Top);
    c->SetWindowExtEx(Rect.Width(), Rect.Height());
    c->SetViewportOrgEx(0, 0);
    c->SetViewportExtEx(Pixels.cx, Pixels.cy);
    NonBufferDraw(c, Rect);
    return bitmap;
}

void TCustomTeePanel::SaveToBitmapFile(const AnsiString& FileName) {
    SaveToBitmapFile(FileName, GetRectangle());
}

void TCustomTeePanel::SaveToBitmapFile(const AnsiString& FileName, const TRect& R) {
    const std::vector<uint8_t> bytes = TeeCreateBitmap(clWhite, R)->SaveToBytes();
    SaveFileReplacing(FileName, bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::unique_ptr<TMetafile> TCustomTeePanel::TeeCreateMetafile(bool Enhanced, const TRect& Rect) {
    auto metafile = std::make_unique<TMetafile>();
    metafile->SetWidth(std::max(1, Rect.Width()));
    metafile->SetHeight(std::max(1, Rect.Height()));
    metafile->SetEnhanced(Enhanced);
    {
        // The recording reaches the metafile when the canvas goes.
        TMetafileCanvas canvas(metafile.get(), nullptr);
        DrawToMetaCanvas(&canvas, Rect);
    }
    return metafile;
}

void TCustomTeePanel::SaveToMetafile(const AnsiString& FileName) {
    SaveToMetafileRect(false, FileName, GetRectangle());
}

void TCustomTeePanel::SaveToMetafileEnh(const AnsiString& FileName) {
    SaveToMetafileRect(true, FileName, GetRectangle());
}

void TCustomTeePanel::SaveToMetafileRect(bool Enhanced, const AnsiString& FileName,
                                         const TRect& Rect) {
    const std::vector<uint8_t> bytes = TeeCreateMetafile(Enhanced, Rect)->SaveToBytes();
    SaveFileReplacing(FileName, bytes.data(), static_cast<int64_t>(bytes.size()));
}

// ---------------------------------------------------------------------------
// Mouse and listeners.

// The control's handler may free the panel or its form before the listeners hear.
void TCustomTeePanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FCancelMouse = false;
    TCallOut held{this, GetParentForm(this)};
    TCustomPanelNoCaption::MouseDown(Button, Shift, X, Y);
    if (held.Gone()) return;
    BroadcastMouseEvent(meDown, Button, Shift, X, Y);
}

void TCustomTeePanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    TCustomPanelNoCaption::MouseUp(Button, Shift, X, Y);
    if (held.Gone()) return;
    BroadcastMouseEvent(meUp, Button, Shift, X, Y);
}

void TCustomTeePanel::MouseMove(TShiftState Shift, int X, int Y) {
    FCancelMouse = false;
    TCallOut held{this, GetParentForm(this)};
    TCustomPanelNoCaption::MouseMove(Shift, X, Y);
    if (held.Gone()) return;
    if (FListeners->Count() > 0 && !ComponentState().Contains(csDesigning))
        BroadcastMouseEvent(meMove, mbLeft, Shift, X, Y);
}

void TCustomTeePanel::ShowCursor(TCursor Value) {
    FShownCursor = Value;
    TCustomPanelNoCaption::SetCursor(Value);
}

void TCustomTeePanel::SetCursor(TCursor Value) {
    FOwnCursor = Value;
    ShowCursor(Value);
}

void TCustomTeePanel::ShowPartCursor(TCursor Value) {
    FOwnCursor = StoredCursor();
    ShowCursor(Value);
}

void TCustomTeePanel::RestoreCursor() {
    SetCursor(StoredCursor());
}

TCursor TCustomTeePanel::StoredCursor() const {
    return Cursor() != FShownCursor ? Cursor() : FOwnCursor;
}

void TCustomTeePanel::ShowPartHint(const AnsiString& Text) {
    if (!FPartHintShown || Hint() != FPartHint || !ShowHint()) {
        FOwnHint = Hint();
        FOwnShowHint = ShowHint();
    }
    FPartHintShown = true;
    FPartHint = Text;
    SetShowHint(true);
    SetHint(Text);
}

void TCustomTeePanel::HidePartHint() {
    const bool showing = FPartHintShown && Hint() == FPartHint && ShowHint();
    FPartHintShown = false;
    if (!showing) return;
    SetHint(FOwnHint);
    SetShowHint(FOwnShowHint);
}

AnsiString TCustomTeePanel::StoredHint() const {
    return FPartHintShown && Hint() == FPartHint && ShowHint() ? FOwnHint : Hint();
}

bool TCustomTeePanel::StoredShowHint() const {
    return FPartHintShown && Hint() == FPartHint && ShowHint() ? FOwnShowHint : ShowHint();
}

void TCustomTeePanel::MouseLeave() {
    RestoreCursor();
    FPanning->Active = false;
    TCustomPanelNoCaption::MouseLeave();
}

bool TCustomTeePanel::WantsKey(WORD Key, TShiftState Shift) const {
    if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) return true;
    return TCustomPanelNoCaption::WantsKey(Key, Shift);
}

void TCustomTeePanel::BroadcastMouseEvent(TTeeMouseEventKind Kind, TMouseButton Button,
                                          TShiftState Shift, int X, int Y) {
    if (FListeners->Count() == 0) return;
    TTeeMouseEvent event;
    event.Event = Kind;
    event.Button = Button;
    event.Shift = Shift;
    event.X = X;
    event.Y = Y;
    BroadcastTeeEvent(&event);
}

TTeeEvent* TCustomTeePanel::BroadcastTeeEvent(TTeeEvent* Event) {
    if (IsDestroying() || !FListeners) return Event;
    Event->Sender = this;
    const bool isMouse = dynamic_cast<TTeeMouseEvent*>(Event) != nullptr;
    // Listeners may leave (or make others leave) while they are told: walk the
    // list as it was, skipping whoever has left meanwhile.
    // A listener's handler may free the panel or its form.
    const std::vector<ITeeEventListener*> listeners = FListeners->Items();
    if (listeners.empty()) return Event;
    TCallOut held{this, GetParentForm(this)};
    for (ITeeEventListener* listener : listeners) {
        if (FListeners->IndexOf(listener) < 0) continue;
        listener->TeeEvent(Event);
        if (held.Gone()) return Event;
        if (isMouse && FCancelMouse) break;
    }
    return Event;
}

void TCustomTeePanel::RemoveListener(ITeeEventListener* Sender) {
    if (FListeners) FListeners->Remove(Sender);
}

// ---------------------------------------------------------------------------
// Anti-aliasing: the chart drawn at twice the size, each 2 x 2 block averaged.

std::unique_ptr<TBitmap> TeeAntiAlias(TCustomTeePanel* Panel) {
    const int w = Panel->Width();
    const int h = Panel->Height();
    TCanvas3D* canvas = Panel->Canvas();
    const bool oldRepaint = Panel->AutoRepaint();
    const bool oldBuffered = Panel->BufferedDisplay();
    std::unique_ptr<TBitmap> large;
    {
        TTeeFinally restore([&] {
            Panel->SetBufferedDisplay(oldBuffered);
            Panel->SetAutoRepaint(oldRepaint);
        });
        Panel->SetAutoRepaint(false);
        canvas->SetUseBuffer(false);
        // Laid out as the window is and drawn at twice the scale, fonts
        // included: a doubled layout would leave what sits at window pixels
        // (a custom annotation, a dragged mark) at half its place.
        large = Panel->TeeCreateScaledBitmap(Panel->Color(), TRect(0, 0, w, h), TSize(2 * w, 2 * h),
                                             pf24bit);
    }
    large->SetPixelFormat(pf24bit);
    auto result = std::make_unique<TBitmap>();
    result->SetPixelFormat(pf24bit);
    result->SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        const auto* s0 = static_cast<const uint8_t*>(large->ScanLine(2 * y));
        const auto* s1 = static_cast<const uint8_t*>(large->ScanLine(2 * y + 1));
        auto* d = static_cast<uint8_t*>(result->ScanLine(y));
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                const int i = 6 * x + c;
                d[3 * x + c] = static_cast<uint8_t>((s0[i] + s0[i + 3] + s1[i] + s1[i + 3]) / 4);
            }
    }
    return result;
}

// ---------------------------------------------------------------------------
// Helpers of the unit that work on controls.

std::function<void(TControl* AControl)> TeeTranslateHook;

void TeeTranslateControl(TControl* AControl) {
    if (TeeTranslateHook) TeeTranslateHook(AControl);
}

void EnableControls(bool Enable, std::span<TControl* const> Controls) {
    for (TControl* control : Controls)
        if (control) control->SetEnabled(Enable);
}

void TeeDrawCheckBox(int x, int y, TCanvas* Canvas, bool Checked, TColor) {
    // The platform's flat check box: a sunken 2-pixel frame around a white box.
    TRect r(x, y, x + 13, y + 13);
    Frame3D(Canvas, r, clBtnShadow, clBtnHighlight, 1);
    Frame3D(Canvas, r, cl3DDkShadow, cl3DLight, 1);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clWindow);
    Canvas->FillRect(r);
    if (!Checked) return;
    // The tick: three rows high, from (x+3, y+5) down to (x+5, y+7) and up to (x+9, y+3).
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(clWindowText);
    Canvas->Pen()->SetMode(pmCopy);
    for (int i = 0; i < 3; ++i) {
        Canvas->MoveTo(x + 3, y + 5 + i);
        Canvas->LineTo(x + 5, y + 7 + i);
        Canvas->LineTo(x + 10, y + 2 + i);
    }
}
