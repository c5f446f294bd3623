// Gradients (settings and the canvas's band filling), drop shadows and blending.
#include "chart/engine/tecanvas.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_PLAIN(TCustomTeeGradient, TPersistent)
QM_CLASS_PLAIN(TTeeGradient, TCustomTeeGradient)
QM_CLASS_PLAIN(TTeeFontGradient, TTeeGradient)
QM_CLASS_PLAIN(TTeeShadow, TPersistent)
QM_CLASS_ABSTRACT(TTeeBlend, TObject)

namespace {

struct TRGB {
    int R = 0, G = 0, B = 0;
};

TRGB ToRGB(TColor Color) {
    const COLORREF c = ColorToRGB(Color);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

TColor GrayOf(TColor Color) {
    const TRGB c = ToRGB(Color);
    const int gray = (c.R + c.G + c.B) / 3;
    return static_cast<TColor>(RGB(gray, gray, gray));
}

// The colour of step I out of N between From and From + Delta.
class TGradientSteps {
public:
    TGradientSteps(TColor From, TColor To, int Balance) : FFrom(ToRGB(From)), FBalance(Balance) {
        const TRGB to = ToRGB(To);
        FDelta = {to.R - FFrom.R, to.G - FFrom.G, to.B - FFrom.B};
    }
    TColor Linear(int I, int N) const {
        if (N <= 0) return RGBOf(FFrom.R, FFrom.G, FFrom.B);
        if (FBalance == 50)
            return RGBOf(FFrom.R + int(int64_t(FDelta.R) * I / N),
                         FFrom.G + int(int64_t(FDelta.G) * I / N),
                         FFrom.B + int(int64_t(FDelta.B) * I / N));
        return Balanced(I, N);
    }
    TColor Radial(int I, int N) const {
        if (FBalance == 50)
            return RGBOf(FFrom.R + PixelPos(double(I) * FDelta.R / N),
                         FFrom.G + PixelPos(double(I) * FDelta.G / N),
                         FFrom.B + PixelPos(double(I) * FDelta.B / N));
        return Balanced(I, N);
    }

private:
    TColor Balanced(int I, int N) const {
        const double f = std::pow((1.0 + I) / (1.0 + N), FBalance * 0.015 + 0.5);
        return RGBOf(FFrom.R + PixelPos(FDelta.R * f), FFrom.G + PixelPos(FDelta.G * f),
                     FFrom.B + PixelPos(FDelta.B * f));
    }
    static TColor RGBOf(int R, int G, int B) { return static_cast<TColor>(RGB(R, G, B)); }
    TRGB FFrom;
    TRGB FDelta;
    int FBalance;
};

// Keeps the canvas brush as it was around a fill that changes its colour.
class TBrushKeeper {
public:
    explicit TBrushKeeper(TBrush* ABrush)
        : FBrush(ABrush), FColor(ABrush->Color()), FStyle(ABrush->Style()),
          FBitmap(ABrush->Bitmap()) {
        if (FBitmap) FBrush->SetBitmap(nullptr);
        FBrush->SetStyle(bsSolid);
    }
    ~TBrushKeeper() {
        FBrush->SetColor(FColor);
        FBrush->SetStyle(FStyle);
        if (FBitmap) FBrush->SetBitmap(FBitmap);
    }
    void Use(TColor Color) {
        if (!FHasLast || Color != FLast) {
            FBrush->SetColor(Color);
            FLast = Color;
            FHasLast = true;
        }
    }

private:
    TBrush* FBrush;
    TColor FColor;
    TBrushStyle FStyle;
    TBitmap* FBitmap;
    TColor FLast = 0;
    bool FHasLast = false;
};

void FillSpan(TTeeCanvas* C, int Left, int Top, int Right, int Bottom) {
    if (Right > Left && Bottom > Top) C->FillRect(TRect(Left, Top, Right, Bottom));
}

void DrawRadialFill(TTeeCanvas* Canvas, const TRect& Rect, TColor StartColor, TColor EndColor,
                    int Balance, int RadialX, int RadialY) {
    const TRect r = OrientRectangle(Rect);
    Canvas->ClipRectangle(r);
    const TPenStyle oldPen = Canvas->Pen()->Style();
    const TColor oldBrush = Canvas->Brush()->Color();
    TTeeFinally restore([&] {
        Canvas->Pen()->SetStyle(oldPen);
        Canvas->Brush()->SetColor(oldBrush);
        Canvas->UnClipRectangle();
    });
    Canvas->Pen()->SetStyle(psClear);
    Canvas->Brush()->SetColor(EndColor);
    Canvas->FillRect(r);
    const int w = r.Width(), h = r.Height();
    int n = std::min(255, std::max(w, h));
    if ((w & 1) || (h & 1)) --n;
    // Below one step there is nothing to shade (and no step width to divide by).
    if (n > 0) {
        const double sx = w * 0.5 / n, sy = h * 0.5 / n;
        const double cx = RadialX + 1 + (double(r.Left) + r.Right) * 0.5;
        const double cy = RadialY + 1 + (double(r.Top) + r.Bottom) * 0.5;
        const TGradientSteps steps(StartColor, EndColor, Balance);
        for (int i = n; i >= 0; --i) {
            Canvas->Brush()->SetColor(steps.Radial(i, n));
            Canvas->Ellipse(PixelPos(cx - i * sx), PixelPos(cy - i * sy), PixelPos(cx + i * sx),
                            PixelPos(cy + i * sy));
        }
    }
}

} // namespace

// --- gradient settings ----------------------------------------------------------------

TCustomTeeGradient::TCustomTeeGradient(TNotifyEvent ChangedEvent)
    : OnChange(std::move(ChangedEvent)) {}

void TCustomTeeGradient::DoChanged() {
    if (OnChange) OnChange(this);
}

void TCustomTeeGradient::SetBalance(int Value) {
    if (FBalance != Value) {
        FBalance = Value;
        DoChanged();
    }
}

void TCustomTeeGradient::SetDirection(TGradientDirection Value) {
    if (FDirection != Value) {
        FDirection = Value;
        DoChanged();
    }
}

void TCustomTeeGradient::SetEndColor(TColor Value) {
    if (FEndColor != Value) {
        FEndColor = Value;
        DoChanged();
    }
}

void TCustomTeeGradient::SetMidColor(TColor Value) {
    if (FUseMiddle) {
        if (Value == clNone) {
            FUseMiddle = false;
            DoChanged();
        } else if (FMidColor != Value) {
            FMidColor = Value;
            DoChanged();
        }
    } else if (Value != clNone) {
        FUseMiddle = true;
        FMidColor = Value;
        DoChanged();
    }
}

void TCustomTeeGradient::UseMiddleColor() {
    if (!FUseMiddle) {
        FUseMiddle = true;
        DoChanged();
    }
}

void TCustomTeeGradient::SetRadialX(int Value) {
    if (FRadialX != Value) {
        FRadialX = Value;
        DoChanged();
    }
}

void TCustomTeeGradient::SetRadialY(int Value) {
    if (FRadialY != Value) {
        FRadialY = Value;
        DoChanged();
    }
}

void TCustomTeeGradient::SetStartColor(TColor Value) {
    if (FStartColor != Value) {
        FStartColor = Value;
        DoChanged();
    }
}

void TCustomTeeGradient::SetVisible(bool Value) {
    if (FVisible != Value) {
        FVisible = Value;
        DoChanged();
    }
}

void TCustomTeeGradient::Assign(TPersistent* Source) {
    if (auto* g = dynamic_cast<TCustomTeeGradient*>(Source)) {
        FBalance = g->FBalance;
        FDirection = g->FDirection;
        FEndColor = g->FEndColor;
        FMidColor = g->FMidColor;
        FRadialX = g->FRadialX;
        FRadialY = g->FRadialY;
        FStartColor = g->FStartColor;
        FVisible = g->FVisible;
        FUseMiddle = g->FUseMiddle;
        return;
    }
    TPersistent::Assign(Source);
}

void TTeeFontGradient::SetOutline(bool Value) {
    if (FOutline != Value) {
        FOutline = Value;
        DoChanged();
    }
}

void TTeeFontGradient::Assign(TPersistent* Source) {
    if (auto* g = dynamic_cast<TTeeFontGradient*>(Source)) FOutline = g->FOutline;
    TTeeGradient::Assign(Source);
}

// --- gradient drawing --------------------------------------------------------------------

void TCustomTeeGradient::DrawRadial(TTeeCanvas* Canvas, const TRect& Rect) {
    DrawRadialFill(Canvas, Rect, FStartColor, FEndColor, FBalance, FRadialX, FRadialY);
}

void TCustomTeeGradient::Draw(TTeeCanvas* Canvas, const TRect& Rect, int RoundRect) {
    TColor start = FStartColor, middle = FMidColor, end = FEndColor;
    if (Canvas->GetMonochrome()) {
        start = GrayOf(start);
        middle = GrayOf(middle);
        end = GrayOf(end);
    }
    if (RoundRect > 0) ClipRoundRectangle(Canvas, Rect, RoundRect);
    TTeeFinally unclip([&] {
        if (RoundRect > 0) Canvas->UnClipRectangle();
    });
    if (FDirection == gdRadial)
        DrawRadialFill(Canvas, Rect, start, end, FBalance, FRadialX, FRadialY);
    else if (FUseMiddle) {
        const TRect& r = Rect;
        switch (FDirection) {
        case gdTopBottom:
        case gdBottomTop: {
            const int mid = (r.Top + r.Bottom) / 2;
            const TRect top(r.Left, r.Top, r.Right, mid), bottom(r.Left, mid, r.Right, r.Bottom);
            if (FDirection == gdTopBottom) {
                Canvas->GradientFill(top, middle, end, FDirection, 50);
                Canvas->GradientFill(bottom, start, middle, FDirection, 50);
            } else {
                Canvas->GradientFill(top, start, middle, FDirection, 50);
                Canvas->GradientFill(bottom, middle, end, FDirection, 50);
            }
            break;
        }
        case gdLeftRight:
        case gdRightLeft: {
            const int mid = (r.Left + r.Right) / 2;
            const TRect left(r.Left, r.Top, mid, r.Bottom), right(mid, r.Top, r.Right, r.Bottom);
            if (FDirection == gdLeftRight) {
                Canvas->GradientFill(left, middle, end, FDirection, 50);
                Canvas->GradientFill(right, start, middle, FDirection, 50);
            } else {
                Canvas->GradientFill(left, start, middle, FDirection, 50);
                Canvas->GradientFill(right, middle, end, FDirection, 50);
            }
            break;
        }
        default:
            Canvas->GradientFill(r, start, end, FDirection, 50);
            break;
        }
    } else
        Canvas->GradientFill(Rect, start, end, FDirection, FBalance);
}

void TCustomTeeGradient::Draw(TTeeCanvas* Canvas, const TFourPoints& Points) {
    ClipPolygon(Canvas, Points.data(), 4);
    TTeeFinally unclip([Canvas] { Canvas->UnClipRectangle(); });
    Draw(Canvas, RectFromPolygon(Points.data(), 4));
}

void TCustomTeeGradient::Draw(TCanvas3D* Canvas, const TFourPoints& Points, int Z) {
    TFourPoints p;
    for (int i = 0; i < 4; ++i)
        p[i] = Canvas->Calculate3DPosition(Points[i], Z);
    Draw(static_cast<TTeeCanvas*>(Canvas), p);
}

void TTeeCanvas3D::GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor,
                                TGradientDirection Direction, int Balance) {
    const TRect r = OrientRectangle(Rect);
    if (Direction == gdRadial) {
        TTeeGradient g;
        g.SetDirection(gdRadial);
        g.SetStartColor(StartColor);
        g.SetEndColor(EndColor);
        g.Draw(this, r);
        return;
    }
    if (Direction != gdTopBottom && Direction != gdLeftRight) std::swap(StartColor, EndColor);
    const TGradientSteps steps(StartColor, EndColor, Balance);
    TTeeCanvas* c = this;
    TBrushKeeper brush(Brush());
    const int w = r.Width(), h = r.Height();

    switch (Direction) {
    case gdTopBottom:
    case gdBottomTop:
    case gdLeftRight:
    case gdRightLeft: {
        const bool vertical = Direction == gdTopBottom || Direction == gdBottomTop;
        const int64_t e = vertical ? h : w;
        const int bands = static_cast<int>(std::min<int64_t>(e, 256));
        const int n = bands - 1;
        if (n <= 0) return;
        for (int i = 0; i < bands; ++i) {
            const int from = static_cast<int>(i * e / bands);
            const int to = static_cast<int>((i + 1) * e / bands);
            brush.Use(steps.Linear(i, n));
            if (vertical)
                FillSpan(c, r.Left, r.Bottom - to, r.Right, r.Bottom - from);
            else
                FillSpan(c, r.Right - to, r.Top, r.Right - from, r.Bottom);
        }
        break;
    }
    case gdFromCenter: {
        if (w <= 0 || h <= 0) return;
        const int hw = w / 2, hh = h / 2, n = hw + hh;
        int a = 0, b = 0;
        do {
            brush.Use(steps.Linear(a + b, n));
            FillSpan(c, r.Left + b, r.Top + a, r.Left + b + 1, r.Bottom - a);
            FillSpan(c, r.Right - b - 1, r.Top + a, r.Right - b, r.Bottom - a);
            FillSpan(c, r.Left + b, r.Top + a, r.Right - b, r.Top + a + 1);
            FillSpan(c, r.Left + b, r.Bottom - a - 1, r.Right - b, r.Bottom - a);
            if (a < hh) ++a;
            if (b < hw) ++b;
        } while (a < hh || b < hw);
        break;
    }
    case gdFromTopLeft:
    case gdFromBottomLeft: {
        if (w <= 0 || h <= 0) return;
        const bool fromTop = Direction == gdFromTopLeft;
        const int n = w + h;
        int x = 0, y = 0;
        int row = fromTop ? r.Top : r.Bottom;
        do {
            brush.Use(steps.Linear(x + y, n));
            // Once the columns are done (taller than wide) only the rows go on, and
            // never past the right edge.
            const int right = r.Left + std::min(x + 1, w);
            if (x < w) {
                if (fromTop)
                    FillSpan(c, r.Left + x, r.Top, right, row);
                else
                    FillSpan(c, r.Left + x, row, right, r.Bottom);
            }
            if (y < h) {
                const int at = fromTop ? row : row - 1;
                FillSpan(c, r.Left, at, right, at + 1);
                if (fromTop && row < r.Bottom)
                    ++row;
                else if (!fromTop && row > r.Top)
                    --row;
                ++y;
            }
            if (x < w) ++x;
        } while (x < w || y < h);
        break;
    }
    case gdRadial:
        break;
    }
}

// --- shadow ------------------------------------------------------------------------------

TTeeShadow::TTeeShadow(TNotifyEvent ChangedEvent) : OnChange(std::move(ChangedEvent)) {}

TTeeShadow::~TTeeShadow() = default;

void TTeeShadow::DoChanged() {
    if (OnChange) OnChange(this);
}

void TTeeShadow::SetColor(TColor Value) {
    if (FColor != Value) {
        FColor = Value;
        DoChanged();
    }
}

void TTeeShadow::SetHorizSize(int Value) {
    if (FHorizSize != Value) {
        FHorizSize = Value;
        DoChanged();
    }
}

void TTeeShadow::SetVertSize(int Value) {
    if (FVertSize != Value) {
        FVertSize = Value;
        DoChanged();
    }
}

void TTeeShadow::SetTransparency(TTeeTransparency Value) {
    Value = std::clamp(Value, 0, 100);
    if (FTransparency != Value) {
        FTransparency = Value;
        DoChanged();
    }
}

int TTeeShadow::Size() const {
    return std::max(FHorizSize, FVertSize);
}

void TTeeShadow::SetSize(int Value) {
    if (FHorizSize != Value || FVertSize != Value) {
        FHorizSize = Value;
        FVertSize = Value;
        DoChanged();
    }
}

void TTeeShadow::SetDefaults(TColor AColor, int ASize) {
    FDefaultColor = AColor;
    FDefaultSize = ASize;
    SetColor(AColor);
    SetSize(ASize);
}

void TTeeShadow::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TTeeShadow*>(Source)) {
        FColor = s->FColor;
        FHorizSize = s->FHorizSize;
        FTransparency = s->FTransparency;
        FVertSize = s->FVertSize;
        return;
    }
    TPersistent::Assign(Source);
}

bool TTeeShadow::PrepareCanvas(TCanvas3D* Canvas, const TRect& Rect, int Z) {
    if (FColor == clNone || (FHorizSize == 0 && FVertSize == 0)) return false;
    Canvas->Brush()->SetColor(FColor);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Pen()->SetStyle(psClear);
    if (FTransparency > 0) {
        TRect r = Rect;
        OffsetRect(r, FHorizSize, FVertSize);
        FBlend.reset(Canvas->BeginBlending(Canvas->RectFromRectZ(r, Z), FTransparency));
    }
    return true;
}

void TTeeShadow::FinishBlending(TTeeCanvas* Canvas) {
    if (FBlend) Canvas->EndBlending(FBlend.release());
}

void TTeeShadow::Draw(TCanvas3D* Canvas, const TRect& Rect) {
    if (!PrepareCanvas(Canvas, Rect)) return;
    const int h = FHorizSize, v = FVertSize;
    Canvas->FillRect(TRect(Rect.Left + h, Rect.Bottom, Rect.Right + h, Rect.Bottom + v));
    Canvas->FillRect(TRect(Rect.Right, Rect.Top + v, Rect.Right + h, Rect.Bottom + v));
    FinishBlending(Canvas);
}

void TTeeShadow::DrawEllipse(TCanvas3D* Canvas, const TRect& Rect, int Z) {
    if (!PrepareCanvas(Canvas, Rect, Z)) return;
    Canvas->EllipseWithZ(Rect.Left + FHorizSize, Rect.Top + FVertSize, Rect.Right + FHorizSize,
                         Rect.Bottom + FVertSize, Z);
    FinishBlending(Canvas);
}

// --- blending -----------------------------------------------------------------------------

namespace {

TCanvas* BlendSource(TTeeCanvas* Canvas) {
    if (auto* c3 = dynamic_cast<TTeeCanvas3D*>(Canvas))
        if (c3->GetUseBuffer() && c3->Bitmap()) return c3->Bitmap()->Canvas();
    return Canvas->PlatformCanvas();
}

} // namespace

TTeeBlend::TTeeBlend(TTeeCanvas* ACanvas, const TRect& R) : FCanvas(ACanvas) {
    SetRectangle(R);
}

TTeeBlend::~TTeeBlend() = default;

void TTeeBlend::SetRectangle(const TRect& R) {
    FRect = OrientRectangle(R);
    FRect.Left = std::max(0, FRect.Left);
    FRect.Top = std::max(0, FRect.Top);
    FRect.Right = std::max(0, FRect.Right);
    FRect.Bottom = std::max(0, FRect.Bottom);
    FValid = FRect.Width() >= 1 && FRect.Height() >= 1;
    FBitmap.reset();
    TCanvas* source = FCanvas ? BlendSource(FCanvas) : nullptr;
    if (!FValid || !source) return;
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->SetIgnorePalette(true);
    FBitmap->SetPixelFormat(pf24bit);
    FBitmap->SetSize(FRect.Width(), FRect.Height());
    FBitmap->Canvas()->CopyRect(TRect(0, 0, FRect.Width(), FRect.Height()), source, FRect);
}

void TTeeBlend::DoBlend(TTeeTransparency Transparency) {
    if (!FValid || !FBitmap || !FCanvas || !FCanvas->PlatformCanvas()) return;
    TBitmap* target = nullptr;
    std::unique_ptr<TBitmap> temporary;
    TPoint offset(FRect.Left, FRect.Top);
    auto* c3 = dynamic_cast<TTeeCanvas3D*>(FCanvas);
    if (c3 && c3->GetUseBuffer() && c3->Bitmap())
        target = c3->Bitmap();
    else {
        temporary = std::make_unique<TBitmap>();
        temporary->SetPixelFormat(pf24bit);
        temporary->SetSize(FRect.Width(), FRect.Height());
        temporary->Canvas()->CopyRect(TRect(0, 0, FRect.Width(), FRect.Height()),
                                      FCanvas->PlatformCanvas(), FRect);
        target = temporary.get();
        offset = TPoint(0, 0);
    }
    const UINT align = FCanvas->GetTextAlign();
    TeeBlendBitmaps(100 - Transparency, FBitmap.get(), target, offset);
    if (FCanvas->GetTextAlign() != align) {
        if (FCanvas->CurrentFont()) FCanvas->AssignFont(FCanvas->CurrentFont());
        FCanvas->SetTextAlign(align);
    }
    if (temporary) FCanvas->PlatformCanvas()->Draw(FRect.Left, FRect.Top, temporary.get());
}

void TeeBlendBitmaps(double Percent, TBitmap* Snapshot, TBitmap* Target, TPoint Offset) {
    if (!Snapshot || !Target) return;
    Snapshot->SetPixelFormat(pf24bit);
    Target->SetPixelFormat(pf24bit);
    const int ox = std::max(0, Offset.x), oy = std::max(0, Offset.y);
    const int w = std::min(Snapshot->Width(), Target->Width() - ox);
    const int h = std::min(Snapshot->Height(), Target->Height() - oy);
    if (w < 2 || h < 2) return;
    const int t = 100 - static_cast<int>(Round(Percent));
    for (int y = 0; y < h; ++y) {
        const auto* s = static_cast<const uint8_t*>(Snapshot->ScanLine(y));
        auto* d = static_cast<uint8_t*>(Target->ScanLine(y + oy)) + 3 * ox;
        for (int x = 0; x < w; ++x, s += 3, d += 3) {
            if (d[0] == 255 && d[1] == 255 && d[2] == 255) d[2] = 254;
            for (int k = 0; k < 3; ++k)
                d[k] = static_cast<uint8_t>((d[k] + (s[k] - d[k]) * t / 100) & 0xFF);
        }
    }
}
