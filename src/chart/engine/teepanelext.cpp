// Zoom and panning settings (TZoomPanning, TTeeZoom) and the extended panel:
// background fill, background picture and the rubber band of mouse zooming.
#include "chart/engine/teeprocs.h"
#include "platform/classes/watched.h"
#include "platform/forms/windowshape.h"
#include "platform/classes/filer.h"
#include "platform/classes/props.h"
#include <algorithm>

QM_CLASS_PLAIN(TZoomPanning, TPersistent)
QM_CLASS_PLAIN(TTeeZoom, TZoomPanning)
QM_CLASS_PLAIN(TTeeZoomBrush, TChartBrush)
QM_CLASS_PLAIN(TTeeZoomPen, TChartPen)
QM_CLASS_ABSTRACT(TCustomTeePanelExtended, TCustomTeePanel)

QM_PUBLISHED(TCustomTeePanelExtended, Prop("OnAfterDraw", &Self::OnAfterDraw));

QM_PUBLISHED(TTeeZoomPen,
             Prop("Color", &Self::Color, &Self::SetColor).Default(clWhite).Idents("TColor"));
QM_PUBLISHED(TTeeZoom, Prop("Allow", &Self::Allow, &Self::SetAllow).Default(true),
             Prop("Animated", &Self::Animated, &Self::SetAnimated).Default(false),
             Prop("AnimatedSteps", &Self::AnimatedSteps, &Self::SetAnimatedSteps).Default(8),
             Prop("Brush", &Self::Brush, &Self::SetBrush),
             Prop("Direction", &Self::Direction, &Self::SetDirection).Default(tzdBoth),
             Prop("KeyShift", &Self::KeyShift, &Self::SetKeyShift).Default(TShiftState{}),
             Prop("MinimumPixels", &Self::MinimumPixels, &Self::SetMinimumPixels).Default(16),
             Prop("MouseButton", &Self::MouseButton, &Self::SetMouseButton).Default(mbLeft),
             Prop("Pen", &Self::Pen, &Self::SetPen));

// ---------------------------------------------------------------------------
// Zoom and panning.

void TZoomPanning::Activate(int X, int Y) {
    X0 = X1 = X;
    Y0 = Y1 = Y;
    Active = true;
}

void TZoomPanning::Check() {
    if (X0 > X1) std::swap(X0, X1);
    if (Y0 > Y1) std::swap(Y0, Y1);
}

TTeeZoomBrush::TTeeZoomBrush(TNotifyEvent OnChangeEvent) : TChartBrush(nullptr) {
    SetColor(clWhite);
    SetStyle(bsClear);
    OnChange = std::move(OnChangeEvent);
}

TTeeZoomPen::TTeeZoomPen(TNotifyEvent OnChangeEvent) : TChartPen(nullptr) {
    SetColor(clWhite);
    OnChange = std::move(OnChangeEvent);
}

TTeeZoom::TTeeZoom() = default;
TTeeZoom::~TTeeZoom() = default;

TTeeZoomBrush* TTeeZoom::Brush() {
    if (!FBrush) FBrush = std::make_unique<TTeeZoomBrush>();
    return FBrush.get();
}

void TTeeZoom::SetBrush(TTeeZoomBrush* Value) {
    if (!Value)
        FBrush.reset();
    else if (Value != FBrush.get())
        Brush()->Assign(Value);
}

TTeeZoomPen* TTeeZoom::Pen() {
    if (!FPen) FPen = std::make_unique<TTeeZoomPen>();
    return FPen.get();
}

void TTeeZoom::SetPen(TTeeZoomPen* Value) {
    if (!Value)
        FPen.reset();
    else if (Value != FPen.get())
        Pen()->Assign(Value);
}

void TTeeZoom::Assign(TPersistent* Source) {
    auto* zoom = dynamic_cast<TTeeZoom*>(Source);
    if (!zoom) {
        TZoomPanning::Assign(Source);
        return;
    }
    FAllow = zoom->FAllow;
    FAnimated = zoom->FAnimated;
    FAnimatedSteps = zoom->FAnimatedSteps;
    SetBrush(zoom->FBrush.get());
    FDirection = zoom->FDirection;
    FKeyShift = zoom->FKeyShift;
    FMinimumPixels = zoom->FMinimumPixels;
    FMouseButton = zoom->FMouseButton;
    SetPen(zoom->FPen.get());
}

// ---------------------------------------------------------------------------
// The extended panel.

TCustomTeePanelExtended::TCustomTeePanelExtended(TComponent* AOwner)
    : TCustomTeePanel(AOwner), FZoom(std::make_unique<TTeeZoom>()) {}

TCustomTeePanelExtended::~TCustomTeePanelExtended() = default;

TPicture* TCustomTeePanelExtended::BackImage() {
    if (!FBackImage) {
        FBackImage = std::make_unique<TPicture>();
        FBackImage->OnChange = [this](TObject*) { Invalidate(); };
    }
    return FBackImage.get();
}

void TCustomTeePanelExtended::SetBackImage(TPicture* Value) {
    if (Value == FBackImage.get()) return;
    BackImage()->Assign(Value);
}

void TCustomTeePanelExtended::SetBackImageMode(TTeeBackImageMode Value) {
    if (FBackImageMode == Value) return;
    FBackImageMode = Value;
    Invalidate();
}

void TCustomTeePanelExtended::SetBackImageTransp(bool Value) {
    FBackImageTransp = Value;
    if (FBackImage && FBackImage->Graphic()) FBackImage->Graphic()->SetTransparent(Value);
    Invalidate();
}

TTeeGradient* TCustomTeePanelExtended::Gradient() {
    if (!FGradient)
        FGradient = std::make_unique<TTeeGradient>([this](TObject* s) { CanvasChanged(s); });
    return FGradient.get();
}

void TCustomTeePanelExtended::SetGradient(TTeeGradient* Value) {
    if (!Value) {
        FGradient.reset();
        Invalidate();
    } else if (Value != FGradient.get()) {
        Gradient()->Assign(Value);
    }
}

bool TCustomTeePanelExtended::HasBackImage() const {
    return FBackImage && FBackImage->Graphic();
}

void TCustomTeePanelExtended::Assign(TPersistent* Source) {
    if (auto* panel = dynamic_cast<TCustomTeePanelExtended*>(Source)) {
        if (panel->FBackImage)
            BackImage()->Assign(panel->FBackImage.get());
        else
            FBackImage.reset();
        FBackImageInside = panel->FBackImageInside;
        FBackImageMode = panel->FBackImageMode;
        SetGradient(panel->FGradient.get());
        FAllowPanning = panel->FAllowPanning;
        FZoom->Assign(panel->FZoom.get());
    }
    TCustomTeePanel::Assign(Source);
}

void TCustomTeePanelExtended::DefineProperties(TFiler* Filer) {
    TCustomTeePanel::DefineProperties(Filer);
    Filer->DefineProperty(
        "AllowZoom", [this](TReader* Reader) { FZoom->SetAllow(Reader->ReadBoolean()); }, nullptr,
        false);
    Filer->DefineProperty(
        "AnimatedZoom", [this](TReader* Reader) { FZoom->SetAnimated(Reader->ReadBoolean()); },
        nullptr, false);
    Filer->DefineProperty(
        "AnimatedZoomSteps",
        [this](TReader* Reader) { FZoom->SetAnimatedSteps(Reader->ReadInteger()); }, nullptr,
        false);
    const TRect m = PrintMargins();
    const bool stored = m.Left != 15 || m.Top != 15 || m.Right != 15 || m.Bottom != 15;
    Filer->DefineProperty(
        "PrintMargins",
        [this](TReader* Reader) {
            int values[4] = {15, 15, 15, 15};
            int n = 0;
            Reader->ReadListBegin();
            while (!Reader->EndOfList()) {
                const int v = Reader->ReadInteger();
                if (n < 4) values[n] = v;
                ++n;
            }
            Reader->ReadListEnd();
            SetPrintMargins(TRect(values[0], values[1], values[2], values[3]));
        },
        [this](TWriter* Writer) {
            const TRect r = PrintMargins();
            Writer->WriteListBegin();
            Writer->WriteInteger(r.Left);
            Writer->WriteInteger(r.Top);
            Writer->WriteInteger(r.Right);
            Writer->WriteInteger(r.Bottom);
            Writer->WriteListEnd();
        },
        stored);
}

void TCustomTeePanelExtended::FillPanelRect(const TRect& Rect) {
    if (FGradient && FGradient->Visible()) {
        FGradient->Draw(Canvas(), Rect);
        return;
    }
    if (Printing() && !PrintTeePanel) return;
    if (Color() == clNone) {
        // On its own window the parent shows through; pictures keep what lies below.
        if (!DrawingOnWindow() || !ControlSeeThrough(this)) return;
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->Brush()->SetColor(clSeeThroughKey);
        Canvas()->FillRect(Rect);
        return;
    }
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(Rect);
}

void TCustomTeePanelExtended::PanelPaint(const TRect& UserRect) {
    TRect r = UserRect;
    TTeeShadow* shadow = Shadow();
    if (shadow->Size() > 0) {
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->Brush()->SetColor(Parent() ? Parent()->Color() : Color());
        Canvas()->FillRect(r);
        r.Right -= shadow->HorizSize();
        r.Bottom -= shadow->VertSize();
        shadow->Draw(Canvas(), r);
    }
    FillPanelRect(r);
    if (HasBackImage() && !FBackImageInside) DrawBitmap(r, 0);
    if (!Canvas()->SupportsFullRotation()) DrawPanelBevels(r);
}

void TCustomTeePanelExtended::DrawBitmap(const TRect& Rect, int Z) {
    if (!HasBackImage()) return;
    TGraphic* graphic = FBackImage->Graphic();
    TCanvas3D* canvas = Canvas();
    const bool orthogonal = View3DOptions()->Orthogonal();
    auto projected = [&](const TRect& R) {
        TRect r = canvas->CalcRect3D(R, Z);
        if (!View3D()) OffsetRect(r, 0, 1);
        return r;
    };
    if (FBackImageMode == pbmStretch) {
        if (Z < 1)
            canvas->StretchDraw(Rect, graphic);
        else if (orthogonal)
            canvas->StretchDraw(projected(Rect), graphic);
        else
            canvas->StretchDraw(Rect, graphic, Z);
        return;
    }
    const bool clip = CanClip();
    if (clip) {
        if (Z > 0)
            canvas->ClipCube(Rect, 0, Width3D());
        else
            canvas->ClipRectangle(Rect);
    }
    TTeeFinally unclip([&] {
        if (clip) canvas->UnClipRectangle();
    });
    TRect r = Z > 0 && orthogonal ? projected(Rect) : Rect;
    const int w = r.Width();
    const int h = r.Height();
    const int pw = graphic->Width();
    const int ph = graphic->Height();
    if (FBackImageMode == pbmCenter) {
        FillPanelRect(r);
        InflateRect(r, (pw - w) / 2, (ph - h) / 2);
        if (Z < 1)
            canvas->Draw(r.Left, r.Top, graphic);
        else
            canvas->StretchDraw(r, graphic, Z);
    } else if (pw >= 1 && ph >= 1) {
        for (int y = 0; y < h; y += ph)
            for (int x = 0; x < w; x += pw) {
                if (Z > 0 && !orthogonal)
                    canvas->StretchDraw(Bounds(r.Left + x, r.Top + y, pw, ph), graphic, Z);
                else
                    canvas->Draw(r.Left + x, r.Top + y, graphic);
            }
    }
}

void TCustomTeePanelExtended::DrawZoomRectangle() {
    TCanvas3D* canvas = Canvas();
    const TColor back = static_cast<TColor>(ColorToRGB(GetBackColor()) & 0xFFFFFF);
    const TColor inverse = 0xFFFFFF - back;
    TTeeZoomBrush* brush = FZoom->BrushIfAny();
    if (!brush)
        canvas->Brush()->SetStyle(bsClear);
    else
        SetBrushCanvas(static_cast<TColor>(ColorToRGB(brush->Color()) & 0xFFFFFF) ^ inverse, brush,
                       back);
    // A copy takes the not-xor mode: drawing leaves the zoom's stored pen as it was.
    TTeeZoomPen pen;
    pen.Assign(FZoom->Pen());
    pen.SetMode(pmNotXor);
    canvas->AssignVisiblePenColor(&pen, static_cast<TColor>(ColorToRGB(pen.Color()) & 0xFFFFFF) ^
                                            inverse);
    if (!brush || brush->Style() == bsClear) canvas->SetBackMode(cbmTransparent);
    canvas->Rectangle(FZoom->X0, FZoom->Y0, FZoom->X1, FZoom->Y1);
}

void TCustomTeePanelExtended::UndoZoom() {
    TCallOut held{this};
    if (OnUndoZoom) OnUndoZoom(this);
    if (held.Gone()) return;
    Invalidate();
    FZoomed = false;
}
