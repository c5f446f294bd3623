// Small drawing steps shared by the pictures the library draws for itself
// (the commander's buttons, the editor's tool icons).
#pragma once
#include "platform/graphics/graphics.h"
#include <initializer_list>
#include <span>

namespace TeeGlyph {

inline void Pen(TCanvas* C, TColor Color, int Width = 1) {
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetColor(Color);
    C->Pen()->SetWidth(Width);
}
inline void Fill(TCanvas* C, TColor Color) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color);
}
inline void Line(TCanvas* C, int X0, int Y0, int X1, int Y1) {
    C->MoveTo(X0, Y0);
    C->LineTo(X1, Y1);
}
inline void Poly(TCanvas* C, std::initializer_list<TPoint> P) {
    C->Polygon(std::span<const TPoint>(P.begin(), P.size()));
}
inline void Lines(TCanvas* C, std::initializer_list<TPoint> P) {
    C->Polyline(std::span<const TPoint>(P.begin(), P.size()));
}

} // namespace TeeGlyph
