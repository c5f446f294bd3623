#include "chart/engine/teegeometry.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/rtlmath.h"
#include <cmath>
#include <utility>

bool PointInRect(const TRect& Rect, int X, int Y) {
    return X >= Rect.Left && X < Rect.Right && Y >= Rect.Top && Y < Rect.Bottom;
}

void RectSize(const TRect& Rect, int& Width, int& Height) {
    Width = Rect.Right - Rect.Left;
    Height = Rect.Bottom - Rect.Top;
}

void RectCenter(const TRect& Rect, int& X, int& Y) {
    // 64-bit sums: corners near the int limits must not wrap
    X = static_cast<int>((int64_t(Rect.Left) + Rect.Right) / 2);
    Y = static_cast<int>((int64_t(Rect.Top) + Rect.Bottom) / 2);
}

TRect OrientRectangle(const TRect& Rect) {
    TRect r = Rect;
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

TRect RectFromPolygon(const TPoint* Points, int NumPoints) {
    if (!Points || NumPoints < 1) return TRect();
    TRect r(Points[0].x, Points[0].y, Points[0].x, Points[0].y);
    for (int i = 1; i < NumPoints; ++i) {
        r.Left = std::min(r.Left, Points[i].x);
        r.Right = std::max(r.Right, Points[i].x);
        r.Top = std::min(r.Top, Points[i].y);
        r.Bottom = std::max(r.Bottom, Points[i].y);
    }
    ++r.Right;
    ++r.Bottom;
    return r;
}

bool TeeCull(const TPoint& P0, const TPoint& P1, const TPoint& P2) {
    const int64_t cross =
        int64_t(P0.x - P1.x) * (P2.y - P1.y) - int64_t(P2.x - P1.x) * (P0.y - P1.y);
    return cross < 0;
}

bool TeeCull(const TPoint* Points) {
    return TeeCull(Points[0], Points[1], Points[2]);
}

double TeeDistance(int DX, int DY) {
    return std::hypot(static_cast<double>(DX), static_cast<double>(DY));
}

TPoint PointAtDistance(const TPoint& FromPoint, const TPoint& ToPoint, int Distance) {
    TPoint result = ToPoint;
    if (FromPoint.x == ToPoint.x) {
        result.y = ToPoint.y >= FromPoint.y ? ToPoint.y - Distance : ToPoint.y + Distance;
        return result;
    }
    const double angle = std::atan2(static_cast<double>(ToPoint.y) - FromPoint.y,
                                    static_cast<double>(ToPoint.x) - FromPoint.x);
    result.x = ToPoint.x - PixelPos(Distance * std::cos(angle));
    result.y = ToPoint.y - PixelPos(Distance * std::sin(angle));
    return result;
}

void SwapInteger(int& A, int& B) {
    std::swap(A, B);
}

void SwapDouble(double& A, double& B) {
    std::swap(A, B);
}

void RGBValue(TColor Color, uint8_t& R, uint8_t& G, uint8_t& B) {
    const uint32_t c = static_cast<uint32_t>(Color);
    R = static_cast<uint8_t>(c & 0xFF);
    G = static_cast<uint8_t>((c >> 8) & 0xFF);
    B = static_cast<uint8_t>((c >> 16) & 0xFF);
}

TColor ApplyDark(TColor Color, uint8_t Quantity) {
    const COLORREF c = ColorToRGB(Color);
    auto dark = [Quantity](int channel) { return channel > Quantity ? channel - Quantity : 0; };
    return static_cast<TColor>(RGB(dark(GetRValue(c)), dark(GetGValue(c)), dark(GetBValue(c))));
}

TColor ApplyBright(TColor Color, uint8_t Quantity) {
    const COLORREF c = ColorToRGB(Color);
    auto bright = [Quantity](int channel) { return std::min(255, channel + Quantity); };
    return static_cast<TColor>(
        RGB(bright(GetRValue(c)), bright(GetGValue(c)), bright(GetBValue(c))));
}

void TeeGrayScale(TBitmap* Bitmap, bool Inverted, int Method) {
    if (!Bitmap) return;
    Bitmap->SetPixelFormat(pf24bit);
    const int width = Bitmap->Width();
    for (int row = Bitmap->Height() - 1; row >= 0; --row) {
        auto* p = static_cast<uint8_t*>(Bitmap->ScanLine(row));
        for (int x = 0; x < width; ++x, p += 3) {
            const int b = p[0], g = p[1], r = p[2];
            int gray = Method != 0 ? static_cast<int>(Round(0.3 * r + 0.59 * g + 0.11 * b))
                                   : (r + g + b) / 3;
            if (Inverted) gray = 255 - gray;
            p[0] = p[1] = p[2] = static_cast<uint8_t>(gray);
        }
    }
    Bitmap->SetPixelFormat(pfDevice);
}
