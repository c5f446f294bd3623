// TTeeCanvas3D: the projection of scene points to the screen, the buffered
// paint cycle, the flat primitives and text output.
#include "chart/engine/tecanvas.h"
#include "platform/graphics/surface.h"
#include "platform/rtl/rtlmath.h"
#include <cmath>
#include <numbers>

QM_CLASS_PLAIN(TTeeCanvas3D, TCanvas3D)

namespace {

constexpr double DegToRad = std::numbers::pi / 180.0;

} // namespace

TTeeCanvas3D::TTeeCanvas3D() {
    SetFontZoom(100);
}

TTeeCanvas3D::~TTeeCanvas3D() {
    DeleteBitmap();
}

// --- paint cycle ---------------------------------------------------------------

TRect TTeeCanvas3D::InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor,
                               bool Is3D, const TRect& UserRect) {
    FBounds = UserRect;
    FView3DOptions = A3DOptions;
    FIs3D = Is3D;
    FIsOrthogonal = false;
    FZoomFactor = 1.0;
    if (FIs3D && A3DOptions) {
        FIsOrthogonal = A3DOptions->Orthogonal();
        if (FIsOrthogonal) {
            int angle = A3DOptions->OrthoAngle();
            if (angle > 90) {
                FOrthoX = -1;
                angle = 180 - angle;
            } else
                FOrthoX = 1;
            const double s = std::sin(angle * DegToRad);
            const double c = std::cos(angle * DegToRad);
            FOrthoY = c < 0.01 ? 1.0 : s / c;
        }
        FZoomFactor = A3DOptions->Zoom() * 0.01;
        FZoomText = A3DOptions->ZoomText();
    }
    if (FIs3D) CalcTrigValues();
    if (FBufferedDisplay && FTargetRetained) {
        // No stale copy may be shown again in place of the target's image.
        DeleteBitmap();
    } else if (FBufferedDisplay) {
        const int w = std::max(0, UserRect.Right - UserRect.Left);
        const int h = std::max(0, UserRect.Bottom - UserRect.Top);
        if (!FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->SetIgnorePalette(true);
        }
        // A target that still shows the last frame, shared with the buffer, lets
        // go of it: the new frame is drawn over it in place instead of over a
        // copy. A panel without a colour reads its target first, so not then.
        if (ABackColor != clNone && DestCanvas && IsWholeSurface(*DestCanvas, UserRect) &&
            SharesSurface(*DestCanvas, *FBitmap)) {
            ReleaseSurface(*DestCanvas);
            FReleasedTarget = DestCanvas;
        }
        FBitmap->SetSize(w, h);
        FBitmap->Canvas()->OnChange = nullptr;
        FBitmap->Canvas()->OnChanging = nullptr;
        SetCanvas(FBitmap->Canvas());
        return TRect(0, 0, w, h);
    }
    SetCanvas(DestCanvas);
    return UserRect;
}

void TTeeCanvas3D::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) {
    TCanvas* released = FReleasedTarget;
    FReleasedTarget = nullptr;
    if (FBufferedDisplay && FBitmap && DestCanvas) {
        // A whole picture takes the frame's pixels shared: what a copy gives.
        if (DestCanvas == released || IsWholeSurface(*DestCanvas, UserRect))
            ShareSurface(*DestCanvas, *FBitmap);
        else
            TransferBitmap(UserRect.Left, UserRect.Top, DestCanvas);
        FDirty = false;
    }
    // A frame that failed still leaves its target with pixels.
    if (released && released != DestCanvas && FBitmap) ShareSurface(*released, *FBitmap);
    SetCanvas(DefaultCanvas);
}

void TTeeCanvas3D::TransferBitmap(int Left, int Top, TCanvas* Canvas) {
    if (!FBitmap || !Canvas) return;
    Canvas->BitBlt(Left, Top, FBitmap->Width(), FBitmap->Height(), FBitmap->Canvas()->Handle(), 0,
                   0, SRCCOPY);
}

bool TTeeCanvas3D::ReDrawBitmap() {
    if (FDirty || !FBitmap || !PlatformCanvas()) return false;
    TransferBitmap(0, 0, PlatformCanvas());
    return true;
}

void TTeeCanvas3D::Invalidate() {
    FDirty = true;
}

void TTeeCanvas3D::SetMonochrome(bool Value) {
    if (FMonochrome != Value) {
        FMonochrome = Value;
        FDirty = true;
        if (FView3DOptions) FView3DOptions->Repaint();
    }
}

void TTeeCanvas3D::SetUseBuffer(bool Value) {
    if (FBufferedDisplay == Value) return;
    FBufferedDisplay = Value;
    if (!Value) {
        DeleteBitmap();
        FDirty = true;
    } else if (FBitmap)
        SetCanvas(FBitmap->Canvas());
}

void TTeeCanvas3D::DeleteBitmap() {
    if (!FBitmap) return;
    // Never keep drawing on a canvas that is about to be freed.
    if (PlatformCanvas() == FBitmap->Canvas()) SetCanvas(nullptr);
    FBitmap.reset();
}

// --- projection -------------------------------------------------------------------

void TTeeCanvas3D::CalcTrigValues() {
    if (FIsOrthogonal) return;
    double rotation = 0, elevation = 0, tilt = 0;
    if (FView3DOptions) {
        rotation = FView3DOptions->Rotation();
        elevation = FView3DOptions->Elevation();
        tilt = FView3DOptions->Tilt();
    }
    FIsPerspec = false;
    FPerspec = 0;
    FS1 = std::sin(static_cast<long double>(rotation * DegToRad));
    FS2 = std::sin(static_cast<long double>(elevation * DegToRad));
    FS3 = std::sin(static_cast<long double>(tilt * DegToRad));
    FC1 = std::cos(static_cast<long double>(rotation * DegToRad));
    FC2 = std::cos(static_cast<long double>(elevation * DegToRad));
    FC3 = std::cos(static_cast<long double>(tilt * DegToRad));
    const double s1 = double(FS1), s2 = double(FS2), s3 = double(FS3);
    const double c1 = double(FC1), c2 = double(FC2), c3 = double(FC3);
    FMatrix[0] = c2 * s1;
    FMatrix[1] = c1 * c2;
    FMatrix[2] = c2 * s3;
    FMatrix[3] = std::max(c2 * c3, 0.00001);
    FMatrix[4] = std::max(s1 * s2 * s3 + c1 * c3, 0.00001);
    FMatrix[5] = c3 * s1 * s2 - c1 * s3;
    FMatrix[6] = c1 * s2 * s3 - c3 * s1;
    FMatrix[7] = c1 * c3 * s2 + s1 * s3;
}

void TTeeCanvas3D::Projection(int MaxDepth, const TRect& ABounds, const TRect& ARect) {
    (void)ABounds;
    RectCenter(ARect, FXCenter, FYCenter);
    FZCenter = PixelPos(MaxDepth * 0.5);
    FXCenterOffset = FXCenter;
    FYCenterOffset = FYCenter;
    if (FView3DOptions) {
        FXCenterOffset += FView3DOptions->HorizOffset();
        FYCenterOffset += FView3DOptions->VertOffset();
        CalcPerspective(ARect);
    }
}

void TTeeCanvas3D::CalcPerspective(const TRect& Rect) {
    if (!FView3DOptions) return;
    const int width = Rect.Right - Rect.Left;
    // A zero-width rectangle has no depth to put in perspective.
    FIsPerspec = FView3DOptions->Perspective() > 0 && width != 0;
    FPerspec = FIsPerspec ? FView3DOptions->Perspective() * FZoomFactor * (1.0 / 150.0) / width : 0;
}

void TTeeCanvas3D::Calc3DPos(int& X, int& Y, int Z) {
    if (!FIs3D) return;
    if (FIsOrthogonal) {
        const double x = (Z * FOrthoX + (double(X) - FXCenter)) * FZoomFactor;
        const double y = ((double(Y) - FYCenter) - Z * FOrthoY) * FZoomFactor;
        X = PixelPos(x) + FXCenterOffset;
        Y = PixelPos(y) + FYCenterOffset;
        return;
    }
    const double z = double(Z) - FZCenter;
    const double x = double(X) - FXCenter;
    const double y = double(Y) - FYCenter;
    const auto& m = FMatrix;
    double f = FZoomFactor;
    if (FIsPerspec) f -= (x * m[0] - y * double(FS2) + z * m[1]) * FPerspec;
    X = PixelPos((x * m[4] + y * m[2] + z * m[6]) * f) + FXCenterOffset;
    Y = PixelPos((x * m[5] + y * m[3] + z * m[7]) * f) + FYCenterOffset;
}

void TTeeCanvas3D::Calc3DTPoint(TPoint& P, int Z) {
    Calc3DPos(P.x, P.y, Z);
}

TPoint TTeeCanvas3D::Calc3DTPoint3D(const TPoint3D& P) {
    TPoint result(P.x, P.y);
    Calc3DPos(result.x, result.y, P.z);
    return result;
}

TPoint TTeeCanvas3D::Calculate3DPosition(int X, int Y, int Z) {
    Calc3DPos(X, Y, Z);
    return TPoint(X, Y);
}

void TTeeCanvas3D::Calculate2DPosition(int& X, int& Y, int Z) {
    if (FZoomFactor == 0 || !FIs3D) return;
    const double inv = 1.0 / FZoomFactor;
    if (FIsOrthogonal) {
        X = PixelPos((double(X) - FXCenterOffset) * inv - Z * FOrthoX) + FXCenter;
        Y = PixelPos((double(Y) - FYCenterOffset) * inv + Z * FOrthoY) + FYCenter;
        return;
    }
    const auto& m = FMatrix;
    if (m[4] == 0 || m[3] == 0) return;
    const double z = double(Z) - FZCenter;
    const double x0 = X, y0 = Y;
    X = PixelPos(((x0 - FXCenterOffset) * inv - z * m[6] - (y0 - FYCenter) * m[2]) / m[4]) +
        FXCenter;
    Y = PixelPos(((y0 - FYCenterOffset) * inv - z * m[7] - (x0 - FXCenter) * m[5]) / m[3]) +
        FYCenter;
}

void TTeeCanvas3D::FrontPlaneBegin() {
    FWas3D = FIs3D;
    FIs3D = false;
}

void TTeeCanvas3D::FrontPlaneEnd() {
    FIs3D = FWas3D;
}

// --- simple state --------------------------------------------------------------------

HDC TTeeCanvas3D::GetHandle() {
    return PlatformCanvas() ? PlatformCanvas()->Handle() : nullptr;
}

UINT TTeeCanvas3D::GetTextAlign() {
    return PlatformCanvas()->GetTextAlign();
}

void TTeeCanvas3D::SetTextAlign(UINT Align) {
    PlatformCanvas()->SetTextAlign(Align);
}

TColor TTeeCanvas3D::GetPixel(int X, int Y) {
    return PlatformCanvas()->Pixels(X, Y);
}

void TTeeCanvas3D::SetPixel(int X, int Y, TColor Value) {
    PlatformCanvas()->SetPixel(X, Y, static_cast<TColor>(ColorToRGB(Value)));
}

TColor TTeeCanvas3D::GetPixel3D(int X, int Y, int Z) {
    Calc3DPos(X, Y, Z);
    return GetPixel(X, Y);
}

void TTeeCanvas3D::SetPixel3D(int X, int Y, int Z, TColor Value) {
    Calc3DPos(X, Y, Z);
    if (Pen()->Width() != 1) {
        PlatformCanvas()->MoveTo(X, Y);
        PlatformCanvas()->LineTo(X, Y);
    } else
        SetPixel(X, Y, Value);
}

// --- flat primitives ----------------------------------------------------------------

void TTeeCanvas3D::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    PlatformCanvas()->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TTeeCanvas3D::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    PlatformCanvas()->Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TTeeCanvas3D::Ellipse(int X1, int Y1, int X2, int Y2) {
    PlatformCanvas()->Ellipse(X1, Y1, X2, Y2);
}

void TTeeCanvas3D::Rectangle(int X0, int Y0, int X1, int Y1) {
    PlatformCanvas()->Rectangle(X0, Y0, X1, Y1);
}

void TTeeCanvas3D::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    PlatformCanvas()->RoundRect(X1, Y1, X2, Y2, X3, Y3);
}

void TTeeCanvas3D::MoveTo(int X, int Y) {
    PlatformCanvas()->MoveTo(X, Y);
}

void TTeeCanvas3D::LineTo(int X, int Y) {
    PlatformCanvas()->LineTo(X, Y);
}

void TTeeCanvas3D::Line(int X0, int Y0, int X1, int Y1) {
    PlatformCanvas()->MoveTo(X0, Y0);
    PlatformCanvas()->LineTo(X1, Y1);
}

void TTeeCanvas3D::DoHorizLine(int X0, int X1, int Y) {
    PlatformCanvas()->MoveTo(X0, Y);
    PlatformCanvas()->LineTo(X1, Y);
}

void TTeeCanvas3D::DoVertLine(int X, int Y0, int Y1) {
    PlatformCanvas()->MoveTo(X, Y0);
    PlatformCanvas()->LineTo(X, Y1);
}

void TTeeCanvas3D::Polyline(const TPoint* Points, int High) {
    if (Points && High >= 0) PlatformCanvas()->Polyline(Points, High + 1);
}

void TTeeCanvas3D::Polygon(const TPoint* Points, int High) {
    if (Points && High >= 0) PlatformCanvas()->Polygon(Points, High + 1);
}

void TTeeCanvas3D::FillRect(const TRect& Rect) {
    PlatformCanvas()->FillRect(Rect);
}

void TTeeCanvas3D::EraseBackground(const TRect& Rect) {
    FillRect(Rect);
}

void TTeeCanvas3D::Draw(int X, int Y, TGraphic* Graphic) {
    if (Graphic && !Graphic->Empty()) PlatformCanvas()->Draw(X, Y, Graphic);
}

void TTeeCanvas3D::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (Graphic) PlatformCanvas()->StretchDraw(Rect, Graphic);
}

void TTeeCanvas3D::Frame3D(TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    Pen()->SetWidth(1);
    Pen()->SetStyle(psSolid);
    --Rect.Bottom;
    --Rect.Right;
    for (int i = 0; i < Width; ++i) {
        Pen()->SetColor(TopColor);
        MoveTo(Rect.Left, Rect.Bottom);
        LineTo(Rect.Left, Rect.Top);
        LineTo(Rect.Right, Rect.Top);
        Pen()->SetColor(BottomColor);
        LineTo(Rect.Right, Rect.Bottom);
        LineTo(Rect.Left - 1, Rect.Bottom);
        InflateRect(Rect, -1, -1);
    }
    ++Rect.Bottom;
    ++Rect.Right;
}

void TTeeCanvas3D::Donut(int XCenter, int YCenter, int RadiusX, int RadiusY, double StartAngle,
                         double EndAngle, double HolePercent) {
    TCanvas* c = PlatformCanvas();
    auto at = [&](double rx, double ry, double angle) {
        return TPoint(XCenter + PixelPos(rx * std::cos(angle)),
                      YCenter - PixelPos(ry * std::sin(angle)));
    };
    const double innerX = HolePercent * RadiusX * 0.01;
    const double innerY = HolePercent * RadiusY * 0.01;
    const TPoint outerStart = at(RadiusX, RadiusY, StartAngle);
    const TPoint outerEnd = at(RadiusX, RadiusY, EndAngle);
    const TPoint innerStart = at(innerX, innerY, StartAngle);
    const TPoint innerEnd = at(innerX, innerY, EndAngle);
    const int ix = PixelPos(innerX), iy = PixelPos(innerY);
    c->BeginPath();
    c->MoveTo(outerStart.x, outerStart.y);
    c->ArcTo(XCenter - RadiusX, YCenter - RadiusY, XCenter + RadiusX, YCenter + RadiusY,
             outerStart.x, outerStart.y, outerEnd.x, outerEnd.y);
    c->LineTo(innerEnd.x, innerEnd.y);
    c->SetArcDirection(AD_CLOCKWISE);
    c->ArcTo(XCenter - ix, YCenter - iy, XCenter + ix, YCenter + iy, innerEnd.x, innerEnd.y,
             innerStart.x, innerStart.y);
    c->SetArcDirection(AD_COUNTERCLOCKWISE);
    c->LineTo(outerStart.x, outerStart.y);
    c->EndPath();
    c->StrokeAndFillPath();
}

// --- text -----------------------------------------------------------------------------

namespace {

// The rectangle a text covers at (X, Y) for the current alignment (vertical
// alignment ignored: the text is taken to hang below Y).
TRect TextBounds(TTeeCanvas* Canvas, int X, int Y, const AnsiString& Text) {
    const int w = Canvas->TextWidth(Text);
    const int h = Canvas->TextHeight(Text);
    const UINT horiz = Canvas->GetTextAlign() & TA_HORZ_MASK;
    TRect r(X, Y, X + w, Y + h);
    if (horiz == TA_CENTER) {
        r.Left = X - w / 2;
        r.Right = X + w / 2;
    } else if (horiz == TA_RIGHT) {
        r.Left = X - w;
        r.Right = X;
    }
    return r;
}

} // namespace

void TTeeCanvas3D::DrawTextPath(int X, int Y, const AnsiString& Text) {
    TCanvas* c = PlatformCanvas();
    c->BeginPath();
    c->TextOutA(X, Y, Text.c_str(), Text.Length());
    c->EndPath();
}

void TTeeCanvas3D::TextOut(int X, int Y, const AnsiString& Text) {
    TCanvas* c = PlatformCanvas();
    // A text call selects the brush before it draws, and a cleared brush selects
    // a transparent background: whatever mode an earlier step left behind, text
    // gets a box only from a visible brush.
    if (Brush()->Style() == bsClear) c->SetBkMode(TRANSPARENT);
    TTeeFont* font = CurrentFont();
    TTeeShadow* shadow = font ? font->ShadowIfAny() : nullptr;
    if (shadow && (shadow->HorizSize() != 0 || shadow->VertSize() != 0)) {
        int sx = X, sy = Y;
        if (shadow->HorizSize() >= 0)
            sx = X + shadow->HorizSize();
        else
            X -= shadow->HorizSize();
        if (shadow->VertSize() >= 0)
            sy = Y + shadow->VertSize();
        else
            Y -= shadow->VertSize();
        std::unique_ptr<TTeeBlend> blend;
        if (shadow->Transparency() > 0)
            blend.reset(BeginBlending(TextBounds(this, sx, sy, Text), shadow->Transparency()));
        c->SetTextColor(ColorToRGB(shadow->Color()));
        c->TextOutA(sx, sy, Text.c_str(), Text.Length());
        if (blend) EndBlending(blend.release());
    }
    c->SetTextColor(ColorToRGB(Font()->Color()));

    TChartHiddenPen* outline = font ? font->OutLineIfAny() : nullptr;
    const bool hasOutline = outline && outline->Visible();
    TTeeFontGradient* gradient = font ? font->GradientIfAny() : nullptr;
    const bool hasGradient = gradient && gradient->Visible();
    if (!hasOutline && !hasGradient) {
        c->TextOutA(X, Y, Text.c_str(), Text.Length());
        return;
    }
    if (hasOutline)
        AssignVisiblePen(outline);
    else
        Pen()->SetStyle(psClear);
    Brush()->SetColor(Font()->Color());
    Brush()->SetStyle(bsSolid);
    SetBackMode(cbmTransparent);
    DrawTextPath(X, Y, Text);
    if (hasGradient) {
        if (gradient->Outline()) c->WidenPath();
        // The text path becomes one level of this canvas's clip stack.
        {
            PushClipRegion(nullptr);
            TTeeFinally unclip([this] { UnClipRectangle(); });
            c->SelectClipPath(RGN_AND);
            gradient->Draw(this, TextBounds(this, X, Y, Text));
        }
        if (gradient->Outline()) return;
        if (hasOutline) {
            DrawTextPath(X, Y, Text);
            Brush()->SetStyle(bsClear);
        }
    }
    if (hasOutline) {
        if (Font()->Color() == clNone)
            c->StrokePath();
        else
            c->StrokeAndFillPath();
    }
}

void TTeeCanvas3D::TextOutFont(int X, int Y, const AnsiString& Text, int SizeOrZero, bool Rotate,
                               int Escapement) {
    // The zoomed or rotated font is set on the canvas font for this one text and
    // then put back, so measuring (shadows, blending) sees the same font.
    TFont* f = Font();
    const int oldHeight = f->Height();
    const int oldOrientation = f->Orientation();
    const TFontQuality oldQuality = f->Quality();
    if (SizeOrZero > 0) f->SetHeight(-MulDiv(SizeOrZero, f->PixelsPerInch(), 72));
    if (Rotate) {
        f->SetOrientation(Escapement);
        f->SetQuality(static_cast<TFontQuality>(TeeFontAntiAlias));
    }
    TTeeFinally restore([=] {
        if (f->Height() != oldHeight) f->SetHeight(oldHeight);
        if (f->Orientation() != oldOrientation) f->SetOrientation(oldOrientation);
        if (f->Quality() != oldQuality) f->SetQuality(oldQuality);
    });
    TextOut(X, Y, Text);
}

void TTeeCanvas3D::TextOut3D(int X, int Y, int Z, const AnsiString& Text) {
    Calc3DPos(X, Y, Z);
    if (FZoomText && FZoomFactor != 1) {
        const int size = Font()->Size();
        const int newSize = std::max(1, PixelPos(size * FZoomFactor));
        if (newSize != size) {
            TextOutFont(X, Y, Text, newSize, false, 0);
            return;
        }
    }
    TextOut(X, Y, Text);
}

void TTeeCanvas3D::RotateLabel(int X, int Y, const AnsiString& Text, double RotDegree) {
    if (RotDegree > 360) RotDegree -= 360;
    Brush()->SetStyle(bsClear);
    int size = 0;
    if (FZoomText && FZoomFactor != 1) size = std::max(1, PixelPos(Font()->Size() * FZoomFactor));
    TextOutFont(X, Y, Text, size, true, PixelPos(RotDegree * 10));
}

void TTeeCanvas3D::RotateLabel3D(int X, int Y, int Z, const AnsiString& Text, double RotDegree) {
    Calc3DPos(X, Y, Z);
    RotateLabel(X, Y, Text, RotDegree);
}
