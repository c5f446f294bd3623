// The commander's button pictures: 20 x 20, drawn once at start-up and
// registered as named bitmaps. The bottom-left pixel keeps the background
// colour, which buttons draw transparent.
#include "chart/control/teecommander.h"
#include "chart/engine/teeprocs.h"
#include "chart/control/teeglyphdraw.h"
#include "platform/graphics/graphics.h"
#include <array>
#include <functional>

namespace {

using namespace TeeGlyph;

// Searched after any module the program registers, so its own pictures win.
constexpr int CommanderGlyphModule = 100;
constexpr int Size = 20;
constexpr TColor Back = clOlive;
constexpr TColor Ink = clBlack;
constexpr TColor Accent = clNavy;

// The mouse pointer.
void DrawNormal(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clWhite);
    Poly(C, {{5, 2}, {5, 16}, {8, 13}, {11, 18}, {13, 17}, {10, 12}, {14, 12}});
}

// A circular arrow.
void DrawRotate(TCanvas* C) {
    Pen(C, Accent, 2);
    C->Brush()->SetStyle(bsClear);
    C->Ellipse(3, 3, 17, 17);
    Pen(C, Back);
    Fill(C, Back);
    C->Rectangle(11, 1, 19, 9);
    Pen(C, Accent);
    Fill(C, Accent);
    Poly(C, {{10, 0}, {14, 4}, {10, 8}});
}

// Arrows in the four directions.
void DrawMove(TCanvas* C) {
    Pen(C, Accent);
    Fill(C, Accent);
    Line(C, 10, 3, 10, 17);
    Line(C, 3, 10, 17, 10);
    Poly(C, {{10, 1}, {13, 4}, {7, 4}});
    Poly(C, {{10, 18}, {13, 15}, {7, 15}});
    Poly(C, {{1, 10}, {4, 7}, {4, 13}});
    Poly(C, {{18, 10}, {15, 7}, {15, 13}});
}

// A magnifying glass.
void DrawZoom(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clWhite);
    C->Ellipse(2, 2, 13, 13);
    Pen(C, Ink, 3);
    Line(C, 12, 12, 17, 17);
    Pen(C, Accent);
    Line(C, 5, 7, 10, 7);
    Line(C, 7, 5, 7, 10);
}

// A box with an arrow into the depth.
void DrawDepth(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clSilver);
    C->Rectangle(2, 7, 12, 17);
    Poly(C, {{2, 7}, {7, 2}, {17, 2}, {12, 7}});
    Fill(C, clGray);
    Poly(C, {{12, 7}, {17, 2}, {17, 12}, {12, 17}});
    Pen(C, Accent, 2);
    Line(C, 5, 14, 15, 4);
}

// A lit cube.
void DrawView3D(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clRed);
    C->Rectangle(3, 7, 13, 17);
    Fill(C, clYellow);
    Poly(C, {{3, 7}, {7, 3}, {17, 3}, {13, 7}});
    Fill(C, clMaroon);
    Poly(C, {{13, 7}, {17, 3}, {17, 13}, {13, 17}});
}

// A sheet and a pencil.
void DrawEdit(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clWhite);
    C->Rectangle(3, 2, 14, 18);
    Pen(C, clGray);
    for (int y = 5; y <= 14; y += 3)
        Line(C, 5, y, 12, y);
    Pen(C, Ink);
    Fill(C, clYellow);
    Poly(C, {{9, 15}, {16, 4}, {18, 6}, {11, 17}});
}

// A printer with a sheet.
void DrawPrint(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clWhite);
    C->Rectangle(5, 2, 15, 9);
    Fill(C, clSilver);
    C->Rectangle(2, 8, 18, 15);
    Fill(C, clWhite);
    C->Rectangle(5, 13, 15, 18);
    Pen(C, clLime);
    Line(C, 15, 10, 17, 10);
}

// Two sheets.
void DrawCopy(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clWhite);
    C->Rectangle(2, 2, 11, 13);
    Fill(C, clAqua);
    C->Rectangle(8, 7, 17, 18);
}

// A disk.
void DrawSave(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, Accent);
    C->Rectangle(2, 2, 18, 18);
    Fill(C, clWhite);
    C->Rectangle(5, 2, 15, 9);
    Fill(C, clSilver);
    C->Rectangle(6, 12, 14, 18);
}

std::vector<uint8_t> Picture(const std::function<void(TCanvas*)>& Paint) {
    TBitmap b(Size, Size);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(Back);
    c->FillRect(TRect(0, 0, Size, Size));
    Paint(c);
    c->SetPixel(0, Size - 1, Back); // the transparent colour
    return b.SaveToBytes();
}

} // namespace

void TeeRegisterCommanderGlyphs() {
    static const bool done = [] {
        const std::array<std::pair<const char*, void (*)(TCanvas*)>, 10> glyphs{{
            {"TeeNormal", DrawNormal},
            {"TeeRotate", DrawRotate},
            {"TeeMove", DrawMove},
            {"TeeZoom", DrawZoom},
            {"TeeDepth", DrawDepth},
            {"TeeView3D", DrawView3D},
            {"TeeEdit", DrawEdit},
            {"TeePrint", DrawPrint},
            {"TeeCopy", DrawCopy},
            {"TeeSave", DrawSave},
        }};
        for (const auto& [name, paint] : glyphs)
            TeeRegisterBitmapResource(CommanderGlyphModule, name, Picture(paint));
        return true;
    }();
    (void)done;
}
