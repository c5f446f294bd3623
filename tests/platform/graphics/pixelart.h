#pragma once
// Pictures of a bitmap as rows of characters, so pixel tests read like the
// shapes they check: '.' white, '#' black, 'r' red, 'b' blue, 'g' lime, '?' other.
#include "platform/graphics/graphics.h"
#include <string>
#include <vector>

inline char ArtChar(TColor c) {
    switch (c) {
    case clWhite:
        return '.';
    case clBlack:
        return '#';
    case clRed:
        return 'r';
    case clBlue:
        return 'b';
    case clLime:
        return 'g';
    default:
        return '?';
    }
}

// Read through a copy, so the canvas's clip and mapping do not hide pixels.
inline std::vector<std::string> Art(TBitmap& src) {
    TBitmap b;
    b.Assign(&src);
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string row;
        for (int x = 0; x < b.Width(); ++x)
            row += ArtChar(b.Canvas()->Pixels(x, y));
        rows.push_back(row);
    }
    return rows;
}

// The bounding box of every pixel that is not white (empty when none).
inline TRect InkBox(TBitmap& src) {
    TBitmap b;
    b.Assign(&src);
    TRect r(b.Width(), b.Height(), -1, -1);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Canvas()->Pixels(x, y) != clWhite) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r.Right < 0 ? TRect() : r;
}
