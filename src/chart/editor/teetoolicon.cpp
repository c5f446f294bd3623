// Tool pictures: a white sheet with a grey edge like the series icons, and on
// it, in the commander's inks, what the tool does to a chart.
#include "chart/editor/teetoolicon.h"
#include "chart/engine/teetools.h"
#include "chart/control/teeglyphdraw.h"
#include "platform/graphics/graphics.h"
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace TeeGlyph;

constexpr int Size = TeeToolIconSize;
constexpr TColor Ink = clBlack;
constexpr TColor Accent = clNavy;
constexpr TColor Tip = static_cast<TColor>(0xE1FFFF);

void Hollow(TCanvas* C) {
    C->Brush()->SetStyle(bsClear);
}
// A line series across the sheet.
void Series(TCanvas* C, TColor Color) {
    Pen(C, Color);
    Lines(C, {{2, 12}, {5, 8}, {9, 10}, {13, 4}});
}
// Left and bottom axes.
void Axes(TCanvas* C) {
    Pen(C, Ink);
    Lines(C, {{2, 2}, {2, 13}, {14, 13}});
}

void DrawCursor(TCanvas* C) {
    Series(C, clRed);
    Pen(C, Accent);
    Line(C, 8, 2, 8, 14);
    Line(C, 2, 7, 14, 7);
}

void DrawDragMarks(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, Tip);
    C->Rectangle(2, 2, 10, 7);
    Fill(C, clRed);
    Pen(C, clRed);
    C->Rectangle(4, 9, 7, 14);
    Pen(C, Accent);
    Line(C, 12, 7, 12, 14);
    Line(C, 9, 10, 15, 10);
}

void DrawAxisArrow(TCanvas* C) {
    Axes(C);
    Pen(C, Accent);
    Fill(C, Accent);
    Poly(C, {{2, 1}, {5, 5}, {-1, 5}});
    Poly(C, {{14, 13}, {10, 10}, {10, 16}});
}

void DrawDrawLine(TCanvas* C) {
    Pen(C, Accent);
    Line(C, 4, 11, 11, 4);
    Pen(C, Ink);
    Fill(C, clWhite);
    C->Rectangle(2, 10, 6, 14);
    C->Rectangle(10, 2, 14, 6);
}

void DrawNearest(TCanvas* C) {
    Pen(C, clGray);
    Fill(C, clGray);
    C->Rectangle(2, 11, 5, 14);
    C->Rectangle(11, 10, 14, 13);
    Pen(C, clBlue);
    Fill(C, clBlue);
    C->Rectangle(6, 5, 9, 8);
    Pen(C, clRed);
    Hollow(C);
    C->Ellipse(3, 2, 12, 11);
}

void DrawColorBand(TCanvas* C) {
    Pen(C, clYellow);
    Fill(C, clYellow);
    C->Rectangle(5, 1, 11, 15);
    Series(C, clRed);
}

void DrawColorLine(TCanvas* C) {
    Series(C, clBlue);
    Pen(C, clRed, 2);
    Line(C, 9, 2, 9, 14);
}

void DrawRotate(TCanvas* C) {
    Pen(C, Accent, 2);
    Hollow(C);
    C->Ellipse(3, 3, 13, 13);
    Pen(C, clWhite);
    Fill(C, clWhite);
    C->Rectangle(9, 1, 15, 7);
    Pen(C, Accent);
    Fill(C, Accent);
    Poly(C, {{8, 1}, {12, 4}, {8, 7}});
}

void DrawChartImage(TCanvas* C) {
    Pen(C, clSkyBlue);
    Fill(C, clSkyBlue);
    C->Rectangle(1, 1, 15, 15);
    Pen(C, clYellow);
    Fill(C, clYellow);
    C->Ellipse(9, 3, 14, 8);
    Pen(C, clGreen);
    Fill(C, clGreen);
    Poly(C, {{1, 14}, {6, 6}, {10, 11}, {12, 9}, {14, 14}});
}

void DrawMarksTip(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, Tip);
    C->Rectangle(2, 1, 15, 8);
    Poly(C, {{5, 7}, {8, 7}, {4, 11}});
    Pen(C, clGray);
    Line(C, 4, 4, 13, 4);
    Pen(C, clRed);
    Fill(C, clRed);
    C->Rectangle(2, 12, 5, 15);
}

void DrawAnnotation(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clWhite);
    C->Rectangle(2, 2, 15, 13);
    Pen(C, Accent);
    Line(C, 4, 5, 13, 5);
    Line(C, 4, 7, 12, 7);
    Line(C, 4, 9, 10, 9);
}

void DrawSeriesAnimation(TCanvas* C) {
    const int left[] = {2, 6, 10};
    const int top[] = {10, 7, 3};
    Pen(C, clSilver);
    Hollow(C);
    for (int x : left)
        C->Rectangle(x, 3, x + 4, 15);
    Pen(C, clRed);
    Fill(C, clRed);
    for (int i = 0; i < 3; ++i)
        C->Rectangle(left[i], top[i] + 3, left[i] + 4, 15);
}

void DrawGridBand(TCanvas* C) {
    Pen(C, clSilver);
    Fill(C, clSilver);
    C->Rectangle(3, 3, 15, 6);
    C->Rectangle(3, 8, 15, 11);
    Axes(C);
}

void DrawDragPoint(TCanvas* C) {
    Pen(C, Accent);
    Fill(C, Accent);
    Line(C, 8, 2, 8, 14);
    Poly(C, {{8, 1}, {11, 4}, {5, 4}});
    Poly(C, {{8, 14}, {11, 11}, {5, 11}});
    Pen(C, Ink);
    Fill(C, clRed);
    C->Ellipse(5, 5, 11, 11);
}

void DrawPie(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clRed);
    C->Pie(1, 3, 13, 15, 7, 3, 13, 9);
    // The slice pulled out.
    Fill(C, clGreen);
    C->Pie(3, 1, 15, 13, 15, 7, 9, 1);
}

void DrawGridTranspose(TCanvas* C) {
    Pen(C, clGray);
    for (int p : {2, 6, 10, 14}) {
        Line(C, p, 2, p, 15);
        Line(C, 2, p, 15, p);
    }
    Pen(C, Accent, 2);
    Line(C, 3, 3, 13, 13);
}

void DrawPageNum(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clWhite);
    Poly(C, {{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}});
    Line(C, 10, 1, 10, 4);
    Line(C, 10, 4, 13, 4);
    Pen(C, Accent);
    Line(C, 8, 5, 8, 12);
    Line(C, 6, 7, 8, 5);
    Line(C, 6, 11, 11, 11);
}

void DrawGantt(TCanvas* C) {
    Pen(C, Ink);
    Fill(C, clRed);
    C->Rectangle(1, 2, 8, 5);
    Fill(C, clGreen);
    C->Rectangle(5, 7, 12, 10);
    Fill(C, clBlue);
    C->Rectangle(9, 12, 15, 15);
}

// Any other tool: a hammer.
void DrawGeneral(TCanvas* C) {
    Pen(C, Accent);
    Fill(C, Accent);
    Poly(C, {{3, 3}, {9, 3}, {11, 5}, {11, 7}, {3, 7}});
    Pen(C, clMaroon, 2);
    Line(C, 7, 8, 7, 14);
}

const std::map<std::string, std::function<void(TCanvas*)>>& Pictures() {
    static const std::map<std::string, std::function<void(TCanvas*)>> pictures = {
        {"TCursorTool", DrawCursor},
        {"TDragMarksTool", DrawDragMarks},
        {"TAxisArrowTool", DrawAxisArrow},
        {"TDrawLineTool", DrawDrawLine},
        {"TNearestTool", DrawNearest},
        {"TColorBandTool", DrawColorBand},
        {"TColorLineTool", DrawColorLine},
        {"TRotateTool", DrawRotate},
        {"TChartImageTool", DrawChartImage},
        {"TMarksTipTool", DrawMarksTip},
        {"TAnnotationTool", DrawAnnotation},
        {"TSeriesAnimationTool", DrawSeriesAnimation},
        {"TGridBandTool", DrawGridBand},
        {"TDragPointTool", DrawDragPoint},
        {"TPieTool", DrawPie},
        {"TGridTransposeTool", DrawGridTranspose},
        {"TPageNumTool", DrawPageNum},
        {"TGanttTool", DrawGantt},
    };
    return pictures;
}

std::unique_ptr<TBitmap> DrawIcon(TClass ToolClass) {
    auto bitmap = std::make_unique<TBitmap>(Size, Size);
    TCanvas* c = bitmap->Canvas();
    Pen(c, clGray);
    Fill(c, clWhite);
    c->Rectangle(0, 0, Size, Size);
    // A class of its own picture, else the nearest base class that has one.
    for (TClass k = ToolClass; k; k = k->Parent) {
        const auto it = Pictures().find(k->Name);
        if (it != Pictures().end()) {
            it->second(c);
            return bitmap;
        }
    }
    DrawGeneral(c);
    return bitmap;
}

std::map<TClass, std::unique_ptr<TBitmap>>& Icons() {
    static std::map<TClass, std::unique_ptr<TBitmap>> icons;
    return icons;
}
} // namespace

TBitmap* TeeToolIcon(TClass ToolClass) {
    if (!ToolClass || !ToolClass->InheritsFrom(&TTeeCustomTool::ClassInfo)) return nullptr;
    std::unique_ptr<TBitmap>& icon = Icons()[ToolClass];
    if (!icon) icon = DrawIcon(ToolClass);
    return icon.get();
}

void TeeDrawToolIcon(TClass ToolClass, TCanvas* ACanvas, int X, int Y) {
    if (TBitmap* icon = TeeToolIcon(ToolClass)) ACanvas->Draw(X, Y, icon);
}
