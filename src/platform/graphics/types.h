#pragma once
// Points, sizes and rectangles in integer pixels, as the platform's drawing and
// window calls take them. Rectangles are half-open: Right and Bottom lie outside.
#include <algorithm>

struct TPoint {
    int x = 0;
    int y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int ax, int ay) : x(ax), y(ay) {}
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr TSize() = default;
    constexpr TSize(int acx, int acy) : cx(acx), cy(acy) {}
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr TRect(const TPoint& tl, const TPoint& br)
        : Left(tl.x), Top(tl.y), Right(br.x), Bottom(br.y) {}

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(const TPoint& p) const {
        return p.x >= Left && p.x < Right && p.y >= Top && p.y < Bottom;
    }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(int x, int y) {
    return {x, y};
}
constexpr TRect Rect(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}
constexpr TRect Bounds(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

// The platform's rectangle helpers: each returns false for an empty result
// (and then leaves Dest all zero, as the platform does).
inline bool IntersectRect(TRect& Dest, const TRect& a, const TRect& b) {
    TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom));
    if (r.IsEmpty()) {
        Dest = TRect();
        return false;
    }
    Dest = r;
    return true;
}
inline bool UnionRect(TRect& Dest, const TRect& a, const TRect& b) {
    if (a.IsEmpty())
        Dest = b;
    else if (b.IsEmpty())
        Dest = a;
    else
        Dest = TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                     std::max(a.Bottom, b.Bottom));
    if (Dest.IsEmpty()) {
        Dest = TRect();
        return false;
    }
    return true;
}
inline bool PtInRect(const TRect& r, const TPoint& p) {
    return r.Contains(p);
}
inline void OffsetRect(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}
inline void InflateRect(TRect& r, int dx, int dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}
inline bool IsRectEmpty(const TRect& r) {
    return r.IsEmpty();
}
