// Line, point and area series.
//   [published]   stream properties of the family
//   [settings]    construction, copies, setters
//   [drawing]     the drawing pass, polyline runs, segments, ribbons, area pieces
//   [stacking]    origins, stacked positions, extremes, margins
//   [clicks]      hit tests, legend symbols, gallery
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teeprocs.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

QM_CLASS_ABSTRACT(TCustomLineSeries, TChartSeries)
QM_CLASS_ABSTRACT(TCustomSeries, TCustomLineSeries)
QM_CLASS_OWNED(TLineSeries, TCustomSeries, TComponent)
QM_CLASS_OWNED(THorizLineSeries, TLineSeries, TComponent)
QM_CLASS_OWNED(TPointSeries, TCustomSeries, TComponent)
QM_CLASS_OWNED(TAreaSeries, TCustomSeries, TComponent)
QM_CLASS_OWNED(THorizAreaSeries, TAreaSeries, TComponent)

// [published] ----------------------------------------------------------------

QM_PUBLISHED(TCustomSeries, Prop("OnGetPointerStyle", &Self::OnGetPointerStyle));

QM_PUBLISHED(TLineSeries,
             Prop("ColorEachLine", &Self::ColorEachLine, &Self::SetColorEachLine).Default(true),
             Prop("Stacked", &Self::Stacked, &Self::SetStacked).Default(cssNone),
             Prop("Brush", &Self::Brush),
             Prop("ClickableLine", &Self::ClickableLine, &Self::SetClickableLine).Default(true),
             Prop("Dark3D", &Self::Dark3D, &Self::SetDark3D).Default(true),
             Prop("InvertedStairs", &Self::InvertedStairs, &Self::SetInvertedStairs).Default(false),
             Prop("LineBrush", &Self::LineBrush, &Self::SetLineBrush).Default(bsSolid),
             Prop("LineHeight", &Self::LineHeight, &Self::SetLineHeight).Default(0),
             Prop("LinePen", &Self::LinePen), Prop("OutLine", &Self::OutLine),
             Prop("Pointer", &Self::Pointer),
             Prop("Stairs", &Self::Stairs, &Self::SetStairs).Default(false),
             Prop("OnClickPointer", &Self::OnClickPointer));

QM_PUBLISHED(TPointSeries,
             Prop("ClickableLine", &Self::ClickableLine, &Self::SetClickableLine).Default(false),
             Prop("Pointer", &Self::Pointer), Prop("OnClickPointer", &Self::OnClickPointer));

QM_PUBLISHED(
    TAreaSeries, Prop("ColorEachLine", &Self::ColorEachLine, &Self::SetColorEachLine).Default(true),
    Prop("Gradient", &Self::Gradient),
    Prop("AreaBrush", &Self::AreaBrush, &Self::SetAreaBrushStyle).Default(bsSolid),
    Prop("AreaChartBrush", &Self::AreaChartBrush),
    Prop("AreaColor", &Self::AreaColor, &Self::SetAreaColor).Default(clAutoColor).Idents("TColor"),
    Prop("AreaLinesPen", &Self::AreaLinesPen),
    // The top of a 3D area: its pattern is edited on the area page.
    Prop("Brush", &Self::Brush),
    Prop("ClickableLine", &Self::ClickableLine, &Self::SetClickableLine).Default(true),
    Prop("Dark3D", &Self::Dark3D, &Self::SetDark3D).Default(true),
    Prop("DrawArea", &Self::DrawArea, &Self::SetDrawArea).Default(true),
    Prop("InvertedStairs", &Self::InvertedStairs, &Self::SetInvertedStairs).Default(false),
    Prop("LinePen", &Self::LinePen),
    Prop("MultiArea", &Self::MultiArea, &Self::SetMultiArea).Default(maNone),
    Prop("Pointer", &Self::Pointer), Prop("Stairs", &Self::Stairs, &Self::SetStairs).Default(false),
    Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
    Prop("UseYOrigin", &Self::UseYOrigin, &Self::SetUseOrigin).Default(false),
    Prop("YOrigin", &Self::YOrigin, &Self::SetOrigin),
    Prop("OnClickPointer", &Self::OnClickPointer));

// [settings] -----------------------------------------------------------------

TCustomSeries::TCustomSeries(TComponent* AOwner) : TCustomLineSeries(AOwner) {
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    SetIncludeNextPoint(true);
    FPointer = std::make_unique<TSeriesPointer>(this);
    FAreaLinesPen = CreateChartPen();
    FOutLine = std::make_unique<TChartHiddenPen>(changed);
    FAreaBrush = std::make_unique<TChartBrush>(changed);
    FGradient = std::make_unique<TTeeGradient>(changed);
}

TCustomSeries::~TCustomSeries() {
    FGradient.reset();
    FAreaBrush.reset();
    FAreaLinesPen.reset();
    FOutLine.reset();
    FPointer.reset();
}

void TCustomSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustomSeries*>(Source)) {
        FClickableLine = s->FClickableLine;
        FAreaBrush->Assign(s->FAreaBrush.get());
        FAreaColor = s->FAreaColor;
        FAreaLinesPen->Assign(s->FAreaLinesPen.get());
        FColorEachLine = s->FColorEachLine;
        FDark3D = s->FDark3D;
        FDrawArea = s->FDrawArea;
        FDrawsLine = s->FDrawsLine;
        FInvertedStairs = s->FInvertedStairs;
        FLineHeight = s->FLineHeight;
        FPointer->Assign(s->FPointer.get());
        FStacked = s->FStacked;
        FStairs = s->FStairs;
        FOutLine->Assign(s->FOutLine.get());
        FTransparency = s->FTransparency;
        FGradient->Assign(s->FGradient.get());
    }
    TChartSeries::Assign(Source);
}

void TCustomSeries::SetParentChart(TCustomAxisPanel* Value) {
    TChartSeries::SetParentChart(Value);
    if (FPointer) FPointer->SetParent(Value);
}

void TCustomSeries::SetStacked(TCustomSeriesStack Value) {
    if (Value == FStacked) return;
    FStacked = Value;
    if (TCustomAxisPanel* chart = ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            auto* s = dynamic_cast<TCustomSeries*>(chart->GetSeries(i));
            if (s && s != this && InheritsFrom(s->ClassType())) s->FStacked = Value;
        }
    Repaint();
}

void TCustomSeries::SetTransparency(TTeeTransparency Value) {
    if (Value == FTransparency) return;
    FTransparency = Value;
    Repaint();
}

TColor TCustomSeries::GetAreaBrushColor(TColor Color) const {
    return (ColorEachPoint() || FAreaColor == clAutoColor) ? Color : FAreaColor;
}

bool TCustomSeries::Is3D() const {
    return ParentChart() && ParentChart()->View3D();
}

TSeriesPointerStyle TCustomSeries::PointerStyle(int ValueIndex) {
    return OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : FPointer->Style();
}

TLineSeries::TLineSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
    FDrawsLine = true;
    SetAllowSinglePoint(false);
    FPointer->SetVisible(false);
}

void TLineSeries::Assign(TPersistent* Source) {
    TCustomSeries::Assign(Source);
    auto* s = dynamic_cast<TObject*>(Source);
    if (!s || !s->InheritsFrom(ClassType())) FPointer->SetVisible(false);
    FDrawArea = false;
    FDrawsLine = true;
}

THorizLineSeries::THorizLineSeries(TComponent* AOwner) : TLineSeries(AOwner) {
    SetHorizontal();
    SetUseVisibleRange(false);
    XValues()->SetOrder(loNone);
    YValues()->SetOrder(loAscending);
}

TPointSeries::TPointSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
    SetFixed();
    Marks()->Callout()->SetLength(0);
}

void TPointSeries::SetFixed() {
    FPointer->SetVisible(true);
    FDrawArea = false;
    FDrawsLine = false;
    FClickableLine = false;
}

void TPointSeries::Assign(TPersistent* Source) {
    TCustomSeries::Assign(Source);
    const bool clickable = FClickableLine;
    SetFixed();
    // Another point series' switch is a setting both share.
    if (dynamic_cast<TPointSeries*>(Source)) FClickableLine = clickable;
}

void TPointSeries::SetColorEachPoint(bool Value) {
    TCustomSeries::SetColorEachPoint(Value);
    if (Value) FPointer->SetColor(clAutoColor);
}

void TPointSeries::PrepareForGallery(bool IsEnabled) {
    TCustomSeries::PrepareForGallery(IsEnabled);
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    const int size = chart->Width() < 50 ? 4 : 6;
    FPointer->SetHorizSize(size);
    FPointer->SetVertSize(size);
    if (chart->SeriesCount() > 1 && chart->GetSeries(1) == this) FPointer->SetStyle(psTriangle);
}

TAreaSeries::TAreaSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
    FDrawArea = true;
    FDrawsLine = true;
    SetAllowSinglePoint(false);
    FPointer->SetVisible(false);
}

void TAreaSeries::Assign(TPersistent* Source) {
    TCustomSeries::Assign(Source);
    FDrawArea = true;
    FDrawsLine = true;
    auto* s = dynamic_cast<TAreaSeries*>(Source);
    auto* o = dynamic_cast<TObject*>(Source);
    const bool related = o && (o->InheritsFrom(ClassType()) || InheritsFrom(o->ClassType()));
    if (!related) {
        FPointer->SetVisible(false);
    } else if (s) {
        FUseOrigin = s->FUseOrigin;
        FOrigin = s->FOrigin;
    }
}

TMultiArea TAreaSeries::MultiArea() const {
    switch (FStacked) {
    case cssStack:
        return maStacked;
    case cssStack100:
        return maStacked100;
    default:
        return maNone;
    }
}

void TAreaSeries::SetMultiArea(TMultiArea Value) {
    SetStacked(Value == maStacked ? cssStack : Value == maStacked100 ? cssStack100 : cssNone);
}

THorizAreaSeries::THorizAreaSeries(TComponent* AOwner) : TAreaSeries(AOwner) {
    SetHorizontal();
    XValues()->SetOrder(loNone);
    YValues()->SetOrder(loAscending);
    FGradient->SetDirection(gdRightLeft);
}

// [drawing] ------------------------------------------------------------------

void TCustomSeries::DrawAllValues() {
    if (FOutLine->Visible()) {
        TChartPen saved;
        saved.Assign(LinePen());
        const TColor oldColor = SeriesColor();
        {
            TTeeFinally restore([&] {
                LinePen()->Assign(&saved);
                TChartSeries::SetSeriesColor(oldColor);
            });
            LinePen()->Assign(FOutLine.get());
            TChartSeries::SetSeriesColor(FOutLine->Color());
            LinePen()->SetWidth(LinePen()->Width() + FOutLine->Width() + 2);
            TChartSeries::DrawAllValues();
        }
    }
    if (CanDrawLineRuns())
        DrawLineRuns();
    else
        TChartSeries::DrawAllValues();
}

// Only where a polyline paints exactly the pixels of its segments drawn one
// by one: a thin solid pen copying its colour, no stairs, pointers, areas,
// stacks or depth, points drawn left to right; and only for the line
// classes, whose points have no drawing of their own.
bool TCustomSeries::CanDrawLineRuns() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || chart->View3D() || FirstVisibleIndex() < 0) return false;
    if (ClassType() != &TLineSeries::ClassInfo && ClassType() != &THorizLineSeries::ClassInfo)
        return false;
    if (!FDrawsLine || FDrawArea || FStairs || FPointer->Visible()) return false;
    if (FStacked == cssStack || FStacked == cssStack100 || !DrawValuesForward()) return false;
    const TChartPen* pen = LinePen();
    return pen->Visible() && !pen->SmallDots() && pen->Width() < 2 && pen->Style() == psSolid &&
           pen->Mode() == pmCopy;
}

void TCustomSeries::DrawLineRuns() {
    TCanvas3D* canvas = ParentChart()->Canvas();
    const int first = FirstVisibleIndex();
    const int last = std::min(LastVisibleIndex(), Count() - 1);
    if (last < first) return;
    const TColor seriesColor = SeriesColor();
    // Without a colour list every point has the series' colour and none is null.
    const bool uniform = !HasColorList() && !ColorEachPoint();
    const auto colorOf = [&](int i) { return uniform ? seriesColor : ValueColor(i); };
    const auto penColor = [&](TColor c) { return FColorEachLine ? c : seriesColor; };

    constexpr size_t RunLimit = 8192;
    std::vector<TPoint> run;
    TColor runColor = clNone;
    const auto flush = [&] {
        if (run.size() >= 2) {
            LinePrepareCanvas(canvas, runColor);
            canvas->Polyline(run.data(), static_cast<int>(run.size()) - 1);
        }
        run.clear();
    };
    // A run is cut where its colour changes and every RunLimit points; the
    // pieces paint what the whole would.
    const auto segment = [&](const TPoint& From, const TPoint& To, TColor Color) {
        if (run.empty() || Color != runColor || run.back() != From || run.size() > RunLimit) {
            flush();
            runColor = Color;
            run.push_back(From);
        }
        run.push_back(To);
    };

    OriginPos = GetOriginPos(first);
    TColor prevColor = colorOf(first);
    TPoint prev(CalcXPos(first), CalcYPos(first));
    if (uniform && seriesColor != clNone) {
        // One colour, no gaps: one line, folded column by column as it is mapped.
        constexpr int Slice = 1024;
        TLineColumns line(RunLimit + 4 * Slice);
        if (first > 0) {
            StartBeforeFirst(first);
            line.Start(TPoint(PrevX, PrevY));
            line.Add(&prev, 1);
        } else {
            line.Start(prev);
        }
        bool prepared = false;
        const auto send = [&] {
            const std::vector<TPoint>& p = line.Points();
            for (size_t at = 0; at + 1 < p.size(); at += RunLimit) {
                if (!prepared) LinePrepareCanvas(canvas, penColor(seriesColor));
                prepared = true;
                const size_t n = std::min(RunLimit, p.size() - 1 - at);
                canvas->Polyline(p.data() + at, static_cast<int>(n));
            }
        };
        for (int start = first + 1; start <= last; start += Slice) {
            AddFolded(start, std::min(Slice, last - start + 1), last, line);
            if (line.Points().size() > RunLimit) {
                send();
                line.KeepLast();
            }
        }
        prev = TPoint(line.Column(), line.LastRow());
        line.Finish();
        send();
        FinishLineRuns(canvas, prev, prevColor);
        return;
    }
    run.reserve(RunLimit + 1);
    constexpr int Chunk = 4096;
    TPoint pts[Chunk];
    if (first > 0) {
        StartBeforeFirst(first);
        const TPoint from(PrevX, PrevY);
        if (!IsNull(first - 1) && prevColor != clNone && from != prev)
            segment(from, prev, penColor(prevColor));
    }
    for (int start = first + 1; start <= last; start += Chunk) {
        const int n = std::min(Chunk, last - start + 1);
        CalcPositions(start, n, pts);
        for (int k = 0; k < n; ++k) {
            const TPoint& p = pts[k];
            if (!uniform) {
                const TColor c = colorOf(start + k);
                if (p != prev && c != clNone && prevColor != clNone) segment(prev, p, penColor(c));
                prevColor = c;
            }
            prev = p;
        }
    }
    flush();
    FinishLineRuns(canvas, prev, prevColor);
}

void TCustomSeries::FinishLineRuns(TCanvas3D* Canvas, const TPoint& Last, TColor LastColor) {
    // Leave what the point-by-point drawing leaves for whoever draws next.
    Canvas->Brush()->SetColor(LastColor);
    PrevX = Last.x;
    PrevY = Last.y;
    PrevOriginPos = OriginPos;
    PrevColor = LastColor;
}

void TCustomSeries::LinePrepareCanvas(TCanvas3D* Canvas, TColor Color) {
    TCustomAxisPanel* chart = ParentChart();
    if (Canvas->Monochrome()) Color = clWhite;
    if (chart && chart->View3D()) {
        if (Brush()->Image() && Brush()->Image()->Graphic())
            Canvas->Brush()->Assign(Brush());
        else {
            Canvas->Brush()->SetStyle(LineBrush());
            Canvas->Brush()->SetColor(Color);
        }
        Canvas->AssignVisiblePen(LinePen());
    } else {
        Canvas->Brush()->SetStyle(bsClear);
        Canvas->AssignVisiblePenColor(LinePen(), Color);
    }
    if (chart) chart->CheckPenWidth(Canvas->Pen());
}

void TCustomSeries::DrawPointer(int AX, int AY, TColor AColor, int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    FPointer->PrepareCanvas(chart->Canvas(), AColor);
    FPointer->Draw(AX, AY, AColor, PointerStyle(ValueIndex));
}

void TCustomSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const TColor color = ValueColor(ValueIndex);
    const int x = CalcXPos(ValueIndex);
    const int y = CalcYPos(ValueIndex);
    if (canvas->Pen()->Color() != clBlack) canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetColor(color);
    if (PrevColor == clNone) {
        PrevX = x;
        PrevY = y;
    }
    OriginPos = GetOriginPos(ValueIndex);
    const bool forward = DrawValuesForward();
    const int first = forward ? FirstVisibleIndex() : LastVisibleIndex();
    const int last = forward ? LastVisibleIndex() : FirstVisibleIndex();
    const bool isLast = ValueIndex == last;

    if (ValueIndex == first) {
        if (FDark3D) {
            const int w = chart->SeriesDepthWidth;
            DarkSlope = w == 0 ? 1.0 : std::fabs(double(chart->SeriesDepthHeight) / w);
        }
        if (ValueIndex == FirstVisibleIndex() && ValueIndex > 0) {
            const int p = ValueIndex - 1;
            StartBeforeFirst(ValueIndex);
            if (!IsNull(p)) DrawSegment(x, y, color, ValueIndex, false, isLast);
        }
        if (isLast && FPointer->Visible() && color != clNone) DrawPointer(x, y, color, ValueIndex);
        if (canvas->SupportsFullRotation() && FDrawArea && chart->View3D())
            canvas->RectangleZ(x, y, OriginPos, StartZ(), EndZ());
    } else {
        DrawSegment(x, y, color, ValueIndex, true, isLast);
    }
    PrevX = x;
    PrevY = y;
    PrevOriginPos = OriginPos;
    PrevColor = color;
}

// The previous point of the first visible one: a line starts where it
// crosses the plot's near edge, so a zoomed chart shows where it comes from.
void TCustomSeries::StartBeforeFirst(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    const int p = ValueIndex - 1;
    TChartAxis* h = GetHorizAxis();
    TChartAxis* v = GetVertAxis();
    if (FDrawArea) {
        PrevX = CalcXPos(p);
        PrevY = CalcYPos(p);
        PrevOriginPos = GetOriginPos(p);
    } else if (v && v->Logarithmic()) {
        PrevX = CalcXPos(p);
        PrevY = CalcYPos(p);
    } else {
        const TRect r = chart->ChartRect();
        PrevX = (h && h->Inverted()) ? r.Right : r.Left;
        if (FStairs) {
            PrevY = CalcYPos(p);
        } else {
            const double x0 = XValues()->Value(p), x1 = XValues()->Value(ValueIndex);
            if (x0 == x1 || !h) {
                PrevY = CalcYPos(p);
            } else {
                const double y0 = YValues()->Value(p), y1 = YValues()->Value(ValueIndex);
                const double at = h->CalcPosPoint(PrevX);
                PrevY = CalcYPosValue(y0 + (y1 - y0) * (at - x0) / (x1 - x0));
            }
        }
        PrevOriginPos = OriginPos;
    }
}

void TCustomSeries::DrawSegment(int X, int Y, TColor AColor, int ValueIndex, bool WithPointers,
                                bool IsLast) {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    const bool is3D = chart->View3D();
    const bool vertical = IsVerticalSeries();
    const int z0 = StartZ(), z1 = EndZ();
    if (AColor != clNone && !(X == PrevX && Y == PrevY)) {
        if (is3D && (FDrawArea || FDrawsLine)) {
            canvas->AssignVisiblePen(LinePen());
            if (LinePen()->Visible()) chart->CheckPenWidth(canvas->Pen());
            TColor brush =
                (FColorEachLine || FDrawArea) ? GetAreaBrushColor(AColor) : SeriesColor();
            if (Brush()->Image() && Brush()->Image()->Graphic())
                canvas->Brush()->Assign(Brush());
            else
                canvas->Brush()->SetStyle(LineBrush());
            canvas->Brush()->SetColor(brush);
            const TColor dark = FDark3D ? ApplyDark(brush, DarkColorQuantity) : brush;
            if (FStairs) {
                if (!FInvertedStairs) {
                    if (vertical) {
                        canvas->RectangleY(PrevX, PrevY, X, z0, z1);
                        canvas->Brush()->SetColor(dark);
                        canvas->RectangleZ(X, PrevY, Y, z0, z1);
                    } else {
                        canvas->RectangleZ(PrevX, PrevY, Y, z0, z1);
                        canvas->Brush()->SetColor(dark);
                        canvas->RectangleY(PrevX, Y, X, z0, z1);
                    }
                } else {
                    canvas->Brush()->SetColor(dark);
                    if (vertical) {
                        canvas->RectangleZ(PrevX, PrevY, Y, z0, z1);
                        canvas->Brush()->SetColor(brush);
                        canvas->RectangleY(X, Y, PrevX, z0, z1);
                    } else {
                        canvas->RectangleY(X, Y, PrevX, z0, z1);
                        canvas->Brush()->SetColor(brush);
                        canvas->RectangleZ(X, PrevY, Y, z0, z1);
                    }
                }
                canvas->Brush()->SetColor(brush);
            } else {
                int y = Y, py = PrevY;
                if (FLineHeight > 0 && !FDrawArea) {
                    const TFourPoints p{TPoint(X, Y), TPoint(PrevX, PrevY),
                                        TPoint(PrevX, PrevY + FLineHeight),
                                        TPoint(X, Y + FLineHeight)};
                    canvas->PlaneFour3D(p, z0, z0);
                    if (IsLast) canvas->RectangleZ(X, Y, Y + FLineHeight, z0, z1);
                }
                if (FDark3D && !canvas->SupportsFullRotation() && X != PrevX && DarkSlope != 0 &&
                    double(PrevY - Y) / (X - PrevX) > DarkSlope) {
                    canvas->Brush()->SetColor(ApplyDark(brush, DarkColorQuantity));
                    if (FLineHeight > 0 && !FDrawArea) {
                        y += FLineHeight;
                        py += FLineHeight;
                    }
                }
                if (canvas->Monochrome()) canvas->Brush()->SetColor(clWhite);
                canvas->Plane3D(TPoint(X, y), TPoint(PrevX, py), z0, z1);
                canvas->Brush()->SetColor(brush);
            }
        }
        if (FDrawArea) {
            canvas->Brush()->SetColor(GetAreaBrushColor(AColor));
            if (FAreaLinesPen->Color() == clAutoColor || !FAreaLinesPen->Visible())
                canvas->AssignVisiblePenColor(FAreaLinesPen.get(), AColor);
            else
                canvas->AssignVisiblePen(FAreaLinesPen.get());
            DrawAreaPiece(X, Y, IsLast);
        } else if (!is3D && FDrawsLine) {
            LinePrepareCanvas(canvas, FColorEachLine ? AColor : SeriesColor());
            if (FStairs) {
                if (FInvertedStairs)
                    canvas->DoVertLine(PrevX, PrevY, Y);
                else
                    canvas->DoHorizLine(PrevX, X, PrevY);
                canvas->LineTo(X, Y);
            } else {
                canvas->Line(PrevX, PrevY, X, Y);
            }
        }
    }
    if (WithPointers && FPointer->Visible()) {
        if (PrevColor != clNone) DrawPointer(PrevX, PrevY, PrevColor, ValueIndex - 1);
        if (IsLast && AColor != clNone) DrawPointer(X, Y, AColor, ValueIndex);
    }
}

void TCustomSeries::DrawAreaPiece(int X, int Y, bool IsLast) {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    const bool is3D = chart->View3D();
    const bool vertical = IsVerticalSeries();
    const int z0 = StartZ(), z1 = EndZ();
    const TColor back = FAreaBrush->Color() == clAutoColor ? SeriesColor() : FAreaBrush->Color();
    chart->SetBrushCanvas(canvas->Brush()->Color(), FAreaBrush.get(), back);
    if (is3D && IsLast) {
        if (vertical)
            canvas->RectangleZ(X, Y, OriginPos, z0, z1);
        else
            canvas->RectangleY(X, Y, OriginPos, z0, z1);
    }
    TTeeBlend* blend = nullptr;
    const auto beginBlend = [&](const TRect& r) {
        if (FTransparency > 0)
            blend = canvas->BeginBlending(is3D ? canvas->RectFromRectZ(r, z0) : r, FTransparency);
    };
    const auto endBlend = [&] {
        if (blend) canvas->EndBlending(blend);
        blend = nullptr;
    };
    if (FStairs) {
        int level, base;
        if (FInvertedStairs) {
            level = vertical ? Y : X;
            base = OriginPos;
        } else {
            level = vertical ? PrevY : PrevX;
            base = PrevOriginPos;
        }
        const TRect r =
            vertical ? TRect(PrevX, base, X + 1, level) : TRect(base, PrevY + 1, level + 1, Y);
        beginBlend(r);
        if (!is3D) {
            if (FGradient->Visible()) {
                FGradient->Draw(canvas, r);
                if (canvas->Pen()->Style() != psClear) {
                    canvas->Brush()->SetStyle(bsClear);
                    canvas->Rectangle(r);
                }
            } else {
                canvas->Rectangle(r);
            }
        } else {
            canvas->RectangleWithZ(r, z0);
            if (canvas->SupportsFullRotation()) canvas->RectangleWithZ(r, z1);
        }
        endBlend();
        if (LinePen()->Visible() && !FAreaLinesPen->Visible()) {
            canvas->AssignVisiblePen(LinePen());
            if (vertical) {
                canvas->LineWithZ(PrevX, level, X, level, z0);
                canvas->LineWithZ(FInvertedStairs ? PrevX : X, PrevY, FInvertedStairs ? PrevX : X,
                                  Y, z0);
            } else {
                canvas->LineWithZ(level, PrevY, level, Y, z0);
                canvas->LineWithZ(PrevX, FInvertedStairs ? PrevY : Y, X,
                                  FInvertedStairs ? PrevY : Y, z0);
            }
        }
        return;
    }
    TFourPoints p;
    if (vertical)
        p = {TPoint(PrevX, PrevOriginPos), TPoint(PrevX, PrevY), TPoint(X, Y),
             TPoint(X, OriginPos)};
    else
        p = {TPoint(PrevOriginPos, PrevY), TPoint(PrevX, PrevY), TPoint(X, Y),
             TPoint(OriginPos, Y)};
    beginBlend(RectFromPolygon(p.data(), 4));
    if (is3D) {
        if (FGradient->Visible())
            FGradient->Draw(canvas, p, z0);
        else
            canvas->PlaneWithZ(p, z0);
    } else if (FGradient->Visible()) {
        ClipPolygon(canvas, p.data(), 4);
        TChartValueList* m = MandatoryValues();
        TRect r;
        if (vertical) {
            r = TRect(PrevX, CalcYPosValue(m->MaxValue()), X, CalcYPosValue(m->MinValue()));
        } else {
            r = TRect(CalcXPosValue(m->MinValue()), PrevY, CalcXPosValue(m->MaxValue()), Y);
        }
        FGradient->Draw(canvas, OrientRectangle(r));
        UnClipCanvas(canvas);
        canvas->Brush()->SetStyle(bsClear);
        if (canvas->Pen()->Style() != psClear) {
            if (vertical)
                canvas->DoVertLine(PrevX, PrevY, PrevOriginPos);
            else
                canvas->DoHorizLine(PrevOriginPos, PrevX, PrevY);
        }
    } else {
        canvas->Polygon(p.data(), 3);
    }
    endBlend();
    if (canvas->SupportsFullRotation()) canvas->PlaneWithZ(p, z1);
    if (LinePen()->Visible()) {
        canvas->AssignVisiblePen(LinePen());
        canvas->LineWithZ(PrevX, PrevY, X, Y, z0);
    }
}

void TCustomSeries::DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) {
    Marks()->ZPosition = StartZ();
    if (IsVerticalSeries()) Marks()->ApplyArrowLength(*APosition);
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

void THorizAreaSeries::DrawMark(int ValueIndex, const AnsiString& St,
                                TSeriesMarkPosition* APosition) {
    const int w = APosition->Width, h = APosition->Height;
    TMarksCallout* c = Marks()->Callout();
    const int l = c->Length() + c->Distance();
    APosition->LeftTop.y = APosition->ArrowTo.y - h / 2;
    APosition->LeftTop.x += w / 2 + l;
    APosition->ArrowTo.x += l;
    APosition->ArrowFrom.y = APosition->ArrowTo.y;
    APosition->ArrowFrom.x += c->Distance();
    TCustomSeries::DrawMark(ValueIndex, St, APosition);
}

// [stacking] -----------------------------------------------------------------

int TCustomSeries::GetOriginPos(int ValueIndex) {
    if (FStacked == cssStack || FStacked == cssStack100) return CalcStackedPos(ValueIndex, 0);
    if (IsVerticalSeries()) {
        TChartAxis* v = GetVertAxis();
        if (!v) return 0;
        return v->Inverted() ? v->IStartPos : v->IEndPos;
    }
    TChartAxis* h = GetHorizAxis();
    if (!h) return 0;
    return h->Inverted() ? h->IEndPos : h->IStartPos;
}

int TAreaSeries::GetOriginPos(int ValueIndex) {
    if (FUseOrigin && FStacked != cssStack && FStacked != cssStack100) return CalcPosValue(FOrigin);
    return TCustomSeries::GetOriginPos(ValueIndex);
}

double TCustomSeries::PointOrigin(int ValueIndex, bool SumAll) {
    double result = 0;
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return 0;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* s = chart->GetSeries(i);
        if (!SumAll && s == this) break;
        if (s->Active() && SameClass(s) && s->Count() > ValueIndex) {
            const double v = s->GetOriginValue(ValueIndex);
            if (v > 0) result += v;
        }
    }
    return result;
}

int TCustomSeries::CalcStackedPos(int ValueIndex, double Value) {
    const double v = PointOrigin(ValueIndex, false) + Value;
    TChartAxis* axis = IsVerticalSeries() ? GetVertAxis() : GetHorizAxis();
    const int end = axis ? axis->IEndPos : 0;
    if (FStacked == cssStack) return std::min(CalcPosValue(v), end);
    const double total = PointOrigin(ValueIndex, true);
    return total != 0 ? CalcPosValue(v * 100.0 / total) : end;
}

int TCustomSeries::CalcXPos(int ValueIndex) {
    if (!IsVerticalSeries() && (FStacked == cssStack || FStacked == cssStack100))
        return CalcStackedPos(ValueIndex, MandatoryValues()->Value(ValueIndex));
    return TChartSeries::CalcXPos(ValueIndex);
}

int TCustomSeries::CalcYPos(int ValueIndex) {
    if (IsVerticalSeries() && (FStacked == cssStack || FStacked == cssStack100))
        return CalcStackedPos(ValueIndex, MandatoryValues()->Value(ValueIndex));
    return TChartSeries::CalcYPos(ValueIndex);
}

void TCustomSeries::CalcZOrder() {
    TCustomAxisPanel* chart = ParentChart();
    // Stacked series share one depth slot: the first takes a new one, the others join it.
    if (FStacked != cssNone && chart && ZOrder() == -1 && chart->MaxDepthOrder >= 0)
        SetAutoZOrder(chart->MaxDepthOrder);
    else
        TChartSeries::CalcZOrder();
}

namespace {
// Largest stacked top of a series over all its points.
double StackedMax(TCustomSeries* S, double Base) {
    double result = Base;
    TChartValueList* m = S->MandatoryValues();
    for (int i = 0; i < S->Count(); ++i)
        result = std::max(result, S->PointOrigin(i, false) + m->Value(i));
    return result;
}
} // namespace

double TCustomSeries::MaxYValue() {
    if (!IsVerticalSeries()) return TChartSeries::MaxYValue();
    if (FStacked == cssStack100) return 100;
    const double base = TChartSeries::MaxYValue();
    return FStacked == cssStack ? StackedMax(this, base) : base;
}

double TCustomSeries::MaxXValue() {
    if (IsVerticalSeries()) return TChartSeries::MaxXValue();
    if (FStacked == cssStack100) return 100;
    const double base = TChartSeries::MaxXValue();
    return FStacked == cssStack ? StackedMax(this, base) : base;
}

double TCustomSeries::MinYValue() {
    if (IsVerticalSeries() && FStacked == cssStack100) return 0;
    return TChartSeries::MinYValue();
}

double TCustomSeries::MinXValue() {
    if (!IsVerticalSeries() && FStacked == cssStack100) return 0;
    return TChartSeries::MinXValue();
}

double TAreaSeries::MaxYValue() {
    const double r = TCustomSeries::MaxYValue();
    return (FUseOrigin && IsVerticalSeries()) ? std::max(r, FOrigin) : r;
}

double TAreaSeries::MinYValue() {
    const double r = TCustomSeries::MinYValue();
    return (FUseOrigin && IsVerticalSeries()) ? std::min(r, FOrigin) : r;
}

double TAreaSeries::MaxXValue() {
    const double r = TCustomSeries::MaxXValue();
    return (FUseOrigin && !IsVerticalSeries()) ? std::max(r, FOrigin) : r;
}

double TAreaSeries::MinXValue() {
    const double r = TCustomSeries::MinXValue();
    return (FUseOrigin && !IsVerticalSeries()) ? std::min(r, FOrigin) : r;
}

bool TAreaSeries::DrawSeriesForward(int ValueIndex) {
    if (MultiArea() == maNone) return TCustomSeries::DrawSeriesForward(ValueIndex);
    TChartAxis* axis = IsVerticalSeries() ? GetVertAxis() : GetHorizAxis();
    return !(axis && axis->Inverted());
}

void TCustomSeries::InternalCalcMargin(bool SameSide, bool Horizontal, int& A, int& B) {
    if (Horizontal)
        FPointer->CalcHorizMargins(A, B);
    else
        FPointer->CalcVerticalMargins(A, B);
    if (FDrawsLine) {
        if (FStairs) {
            A = std::max(A, LinePen()->Width());
            B = std::max(B, LinePen()->Width());
        }
        if (FOutLine->Visible()) {
            A = std::max(A, FOutLine->Width());
            B = std::max(B, FOutLine->Width());
        }
    }
    if (Marks()->Visible() && SameSide) {
        const int l = Marks()->Callout()->Length() + Marks()->Callout()->Distance();
        if (Horizontal)
            B = std::max(B, l); // the right margin of a horizontal series
        else
            A = std::max(A, l); // the top margin of a vertical series
    }
}

void TCustomSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    TChartSeries::CalcHorizMargins(LeftMargin, RightMargin);
    InternalCalcMargin(!IsVerticalSeries(), true, LeftMargin, RightMargin);
}

void TCustomSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TChartSeries::CalcVerticalMargins(TopMargin, BottomMargin);
    InternalCalcMargin(IsVerticalSeries(), false, TopMargin, BottomMargin);
    if (FLineHeight > 0 && !FDrawArea && Is3D()) BottomMargin = std::max(BottomMargin, FLineHeight);
}

// [clicks] -------------------------------------------------------------------

bool TCustomSeries::ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y) {
    if (PointerStyle(ValueIndex) == psNothing) return false;
    return std::abs(PX - X) < FPointer->HorizSize() && std::abs(PY - Y) < FPointer->VertSize();
}

int TCustomSeries::Clicked(int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (chart) chart->Canvas()->Calculate2DPosition(X, Y, StartZ());
    const int base = TChartSeries::Clicked(X, Y);
    if (base != -1) return base;
    if (FirstVisibleIndex() < 0) return -1;
    const TPoint mouse(X, Y);
    const bool is3D = chart && chart->View3D();
    TPoint prev(0, 0);
    int prevOrigin = 0;
    const int last = std::min(LastVisibleIndex(), Count() - 1);
    for (int i = FirstVisibleIndex(); i <= last; ++i) {
        const TPoint p(CalcXPos(i), CalcYPos(i));
        const int origin = FDrawArea ? GetOriginPos(i) : 0;
        if (FPointer->Visible() && ClickedPointer(i, p.x, p.y, X, Y)) {
            // The handler may free the series, the chart or its form: then
            // nothing was hit that is still there.
            TCallOut held{this, chart, ChartForm()};
            if (OnClickPointer) OnClickPointer(this, i, X, Y);
            if (held.Gone()) return -1;
            return i;
        }
        if (p == mouse) return i;
        if (i > FirstVisibleIndex() && FClickableLine) {
            bool hit;
            if (is3D) {
                const int dw = chart->SeriesDepthWidth, dh = chart->SeriesDepthHeight;
                const TPoint poly[4] = {prev, p, TPoint(p.x + dw, p.y - dh),
                                        TPoint(prev.x + dw, prev.y - dh)};
                hit = PointInPolygon(mouse, poly, 3);
            } else if (FStairs) {
                const TPoint corner = FInvertedStairs ? TPoint(prev.x, p.y) : TPoint(p.x, prev.y);
                hit = PointInLine(mouse, prev, corner) || PointInLine(mouse, corner, p);
            } else {
                hit = PointInLine(mouse, prev, p);
            }
            if (!hit && FDrawArea) {
                const TPoint poly[4] = {
                    prev, p, IsVerticalSeries() ? TPoint(p.x, origin) : TPoint(origin, p.y),
                    IsVerticalSeries() ? TPoint(prev.x, prevOrigin) : TPoint(prevOrigin, prev.y)};
                hit = PointInPolygon(mouse, poly, 3);
            }
            if (hit) return i - 1;
        }
        prev = p;
        prevOrigin = origin;
    }
    return -1;
}

void TeePointerDrawLegend(TSeriesPointer* Pointer, TColor AColor, const TRect& Rect,
                          bool LineVisible) {
    TCustomAxisPanel* chart = Pointer->Chart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    Pointer->PrepareCanvas(canvas, AColor);
    if (chart->LegendPen) {
        canvas->AssignVisiblePen(chart->LegendPen);
        LineVisible = chart->LegendPen->Visible();
    }
    int w, h;
    RectSize(Rect, w, h);
    if (LineVisible) {
        w /= 3;
        h /= 3;
    } else {
        w = w / 2 + 1;
        h = h / 2 + 1;
    }
    int cx, cy;
    RectCenter(Rect, cx, cy);
    Pointer->DrawPointer(canvas, false, cx, cy, std::min(Pointer->HorizSize(), w),
                         std::min(Pointer->VertSize(), h), AColor, Pointer->Style());
}

void TCustomSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const TColor color = ValueIndex == -1 ? SeriesColor() : LegendItemColor(ValueIndex);
    const int mid = (Rect.Top + Rect.Bottom) / 2;
    if (FPointer->Visible()) {
        if (FDrawsLine) {
            if (!chart->LegendPen) LinePrepareCanvas(canvas, color);
            canvas->DoHorizLine(Rect.Left, Rect.Right, mid);
        }
        TeePointerDrawLegend(FPointer.get(), color, Rect, LinePen()->Visible());
    } else if (FDrawsLine && !FDrawArea) {
        if (chart->View3D()) {
            canvas->Rectangle(Rect);
        } else {
            // The symbol's line has the colour the series' line has.
            if (!chart->LegendPen) LinePrepareCanvas(canvas, color);
            canvas->DoHorizLine(Rect.Left, Rect.Right, mid);
        }
    } else {
        TChartSeries::DrawLegendShape(ValueIndex, Rect);
    }
}

void TAreaSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    if (FGradient->Visible() && ParentChart())
        FGradient->Draw(ParentChart()->Canvas(), Rect);
    else
        TCustomSeries::DrawLegendShape(ValueIndex, Rect);
}

void TLineSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) {
    (void)ValueIndex, (void)BackColor;
    if (TCustomAxisPanel* chart = ParentChart()) chart->Canvas()->AssignVisiblePen(LinePen());
    BrushStyle = LineBrush();
}

void TAreaSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) {
    (void)ValueIndex, (void)BrushStyle;
    if (TCustomAxisPanel* chart = ParentChart()) {
        BackColor = GetAreaBrushColor(chart->Canvas()->Brush()->Color());
        chart->Canvas()->AssignVisiblePen(FAreaLinesPen.get());
    }
}

void TLineSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const AnsiString* t : {&TeeMsg_Stairs, &TeeMsg_Points, &TeeMsg_Height, &TeeMsg_Hollow,
                                &TeeMsg_Colors, &TeeMsg_Marks, &TeeMsg_NoBorder})
        AddSubChart(*t);
}

void TLineSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TLineSeries*>(Series);
    if (!s) return;
    switch (Index) {
    case 1:
        s->SetStairs(true);
        break;
    case 2:
        s->Pointer()->SetVisible(true);
        break;
    case 3:
        s->SetLineHeight(5);
        break;
    case 4:
        s->SetLineBrush(bsClear);
        break;
    case 5:
        s->SetColorEachPoint(true);
        break;
    case 6:
        s->Marks()->SetVisible(true);
        break;
    case 7:
        s->LinePen()->SetVisible(false);
        break;
    default:
        TCustomSeries::SetSubGallery(Series, Index);
    }
}

void TPointSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const AnsiString* t :
         {&TeeMsg_Colors, &TeeMsg_Marks, &TeeMsg_Hollow, &TeeMsg_NoBorder, &TeeMsg_Gradient})
        AddSubChart(*t);
    if (CanDoExtra())
        for (const AnsiString* t : {&TeeMsg_Point2D, &TeeMsg_Triangle, &TeeMsg_Star, &TeeMsg_Circle,
                                    &TeeMsg_DownTri, &TeeMsg_Cross, &TeeMsg_Diamond})
            AddSubChart(*t);
}

void TPointSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TCustomSeries*>(Series);
    if (!s) return;
    TSeriesPointer* p = s->Pointer();
    switch (Index) {
    case 1:
        s->SetColorEachPoint(true);
        break;
    case 2:
        s->Marks()->SetVisible(true);
        break;
    case 3:
        p->Brush()->SetStyle(bsClear);
        break;
    case 4:
        p->Pen()->SetVisible(false);
        break;
    case 5:
        p->Gradient()->SetVisible(true);
        break;
    case 6:
        p->SetDraw3D(false);
        break;
    case 7:
        p->SetStyle(psTriangle);
        break;
    case 8:
        p->SetStyle(psStar);
        break;
    case 9:
        p->SetStyle(psCircle);
        p->SetHorizSize(8);
        p->SetVertSize(8);
        break;
    case 10:
        p->SetStyle(psDownTriangle);
        break;
    case 11:
        p->SetStyle(psCross);
        break;
    case 12:
        p->SetStyle(psDiamond);
        break;
    default:
        TCustomSeries::SetSubGallery(Series, Index);
    }
}

void TAreaSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const AnsiString* t :
         {&TeeMsg_Stairs, &TeeMsg_Marks, &TeeMsg_Colors, &TeeMsg_Hollow, &TeeMsg_NoLines,
          &TeeMsg_Stack, &TeeMsg_Stack100, &TeeMsg_Points, &TeeMsg_Gradient})
        AddSubChart(*t);
}

void TAreaSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TAreaSeries*>(Series);
    if (!s) return;
    switch (Index) {
    case 1:
        s->SetStairs(true);
        break;
    case 2:
        s->Marks()->SetVisible(true);
        break;
    case 3:
        s->SetColorEachPoint(true);
        break;
    case 4:
        s->SetAreaBrushStyle(bsClear);
        break;
    case 5:
        s->AreaLinesPen()->SetVisible(false);
        break;
    case 6:
        s->SetMultiArea(maStacked);
        break;
    case 7:
        s->SetMultiArea(maStacked100);
        break;
    case 8:
        s->Pointer()->SetVisible(true);
        break;
    case 9:
        s->Gradient()->SetVisible(true);
        break;
    default:
        TCustomSeries::SetSubGallery(Series, Index);
    }
}

void TCustomLineSeries::AddFolded(int Start, int Count, int End, TLineColumns& Line) {
    TChartAxis* h = GetHorizAxis();
    TChartAxis* v = GetVertAxis();
    double xMin, xScale, xOrigin, yMin, yScale, yOrigin;
    constexpr int Block = 1024;
    if (!h || !v || !h->LinearXMap(xMin, xScale, xOrigin) ||
        !v->LinearYMap(yMin, yScale, yOrigin)) {
        TPoint pts[Block];
        for (int k = 0; k < Count; k += Block) {
            const int n = std::min(Block, Count - k);
            CalcPositions(Start + k, n, pts);
            Line.Add(pts, n);
        }
        return;
    }
    const auto row = [&](double Value) { return AxisPixel(yOrigin + (Value - yMin) * yScale); };
    const auto moveTo = [&Line](int Row) {
        if (Row != Line.LastRow()) Line.Extend(INT32_MAX, INT32_MIN, Row);
    };
    const auto column = [&](double Value) { return AxisPixel(xOrigin + (Value - xMin) * xScale); };
    // Only the line's last column leaves out its last row unless reached
    // before; on any other the last run may count among the extremes.
    const int endColumn = column(XValues()->Data()[End]);
    // Points Y[0 .. N) on the open column: the rows between the extremes of
    // the points before the run on the last point's row, then that run.
    const auto rows = [&](const double* Y, int N) {
        const int last = row(Y[N - 1]);
        if (Line.Column() != endColumn) {
            double lo, hi;
            if (ValueRange(Y, N, lo, hi)) {
                const int c = row(lo), d = row(hi);
                return Line.Extend(std::min(c, d), std::max(c, d), last);
            }
        }
        int t = N - 1;
        while (t > 0 && row(Y[t - 1]) == last)
            --t;
        if (t == 0) return moveTo(last);
        double lo, hi;
        if (!ValueRange(Y, t, lo, hi)) {
            for (int k = 0; k < N; ++k)
                moveTo(row(Y[k]));
            return;
        }
        const int c = row(lo), d = row(hi);
        Line.Extend(std::min(c, d), std::max(c, d), last);
    };
    const double* xv = XValues()->Data() + Start;
    const double* yv = YValues()->Data() + Start;
    int xs[Block];
    for (int b = 0; b < Count; b += Block) {
        const int n = std::min(Block, Count - b);
        const double* x = xv + b;
        const double* y = yv + b;
        if (Ascending(x, n)) {
            // Columns never go back: each one's end is searched, not mapped point by point.
            for (int s = 0; s < n;) {
                const int c = column(x[s]);
                if (c != Line.Column()) {
                    Line.NewColumn(c, row(y[s]));
                    ++s;
                    continue;
                }
                int in = s, out = s + 1;
                for (int step = 1; out < n && column(x[out]) == c; step *= 2) {
                    in = out;
                    out = in + step;
                }
                out = std::min(out, n);
                while (out - in > 1) {
                    const int mid = in + (out - in) / 2;
                    (column(x[mid]) == c ? in : out) = mid;
                }
                rows(y + s, out - s);
                s = out;
            }
            continue;
        }
        PixelPositions(x, n, xMin, xScale, xOrigin, false, TeeMaxPixelPos, xs, 1);
        for (int s = 0; s < n;) {
            const int c = xs[s];
            if (c != Line.Column()) {
                Line.NewColumn(c, row(y[s]));
                ++s;
                continue;
            }
            int e = s + 1;
            while (e < n && xs[e] == c)
                ++e;
            rows(y + s, e - s);
            s = e;
        }
    }
}

void TCustomLineSeries::CalcPositions(int Start, int Count, TPoint* Out) {
    if (TChartAxis* h = GetHorizAxis())
        h->CalcXPosValues(XValues()->Data() + Start, Count, Out);
    else
        for (int k = 0; k < Count; ++k)
            Out[k].x = 0;
    if (TChartAxis* v = GetVertAxis())
        v->CalcYPosValues(YValues()->Data() + Start, Count, Out);
    else
        for (int k = 0; k < Count; ++k)
            Out[k].y = 0;
}
