#pragma once
// Small helpers of the chart canvas: points, rectangles, 3D points, culling,
// distances and colour arithmetic, and the scope guards that put state back on
// every path. Free of canvas state; used by every drawing unit.
#include "platform/graphics/gditypes.h"
#include "platform/graphics/types.h"
#include <cstdint>
#include <exception>
#include <type_traits>
#include <utility>

class TBitmap;
using TColor = int32_t;

// A point of the 3D scene: x and y in pixels, z as depth in pixels.
struct TPoint3D {
    int x = 0;
    int y = 0;
    int z = 0;
    friend constexpr bool operator==(const TPoint3D&, const TPoint3D&) = default;
};

inline TPoint TeePoint(int X, int Y) {
    return TPoint(X, Y);
}
inline TRect TeeRect(int Left, int Top, int Right, int Bottom) {
    return TRect(Left, Top, Right, Bottom);
}
inline TPoint3D Point3D(int X, int Y, int Z) {
    return TPoint3D{X, Y, Z};
}

// Left <= X < Right and Top <= Y < Bottom.
bool PointInRect(const TRect& Rect, int X, int Y);
void RectSize(const TRect& Rect, int& Width, int& Height);
// Integer halves, rounding toward zero.
void RectCenter(const TRect& Rect, int& X, int& Y);
TRect OrientRectangle(const TRect& Rect);
// Bounding rectangle of Points[0..NumPoints-1], one pixel larger to the right and
// bottom (a single point gives a 1 x 1 rectangle). An empty list gives an empty rectangle.
TRect RectFromPolygon(const TPoint* Points, int NumPoints);
// True when the three points turn the hidden way (negative cross product).
bool TeeCull(const TPoint& P0, const TPoint& P1, const TPoint& P2);
bool TeeCull(const TPoint* Points);
// Length of (DX, DY); exact for every int, never overflowing.
double TeeDistance(int DX, int DY);
// The point Distance pixels from ToPoint back toward FromPoint.
TPoint PointAtDistance(const TPoint& FromPoint, const TPoint& ToPoint, int Distance);
void SwapInteger(int& A, int& B);
void SwapDouble(double& A, double& B);

// The three bytes of a colour value as stored (no system-colour lookup).
void RGBValue(TColor Color, uint8_t& R, uint8_t& G, uint8_t& B);
// Each channel of the RGB colour minus Quantity, never below 0.
TColor ApplyDark(TColor Color, uint8_t Quantity);
// Each channel plus Quantity, never above 255.
TColor ApplyBright(TColor Color, uint8_t Quantity);
// Gray scale of a bitmap in place; Method 0 averages the channels, others weigh them.
void TeeGrayScale(TBitmap* Bitmap, bool Inverted, int Method);

// Runs a clean-up (restoring a pen, a flag, a clip level) on every way out of a
// scope. An exception from the clean-up goes on to the caller, unless the scope
// ends by one already (that one goes on).
template <typename F> class [[nodiscard]] TTeeFinally {
public:
    explicit TTeeFinally(F Action) : FAction(std::move(Action)) {}
    ~TTeeFinally() noexcept(false) {
        if (std::uncaught_exceptions() == FUncaught) {
            FAction();
            return;
        }
        try {
            FAction();
        } catch (...) {
        }
    }
    TTeeFinally(const TTeeFinally&) = delete;
    TTeeFinally& operator=(const TTeeFinally&) = delete;

private:
    F FAction;
    int FUncaught = std::uncaught_exceptions();
};

// Field holds Value for a scope and its old value again afterwards.
template <typename T> class [[nodiscard]] TTeeValueScope {
public:
    TTeeValueScope(T& Field, std::type_identity_t<T> Value)
        : FField(Field), FOld(std::move(Field)) {
        FField = std::move(Value);
    }
    ~TTeeValueScope() { FField = std::move(FOld); }
    TTeeValueScope(const TTeeValueScope&) = delete;
    TTeeValueScope& operator=(const TTeeValueScope&) = delete;

private:
    T& FField;
    T FOld;
};
