// Fast line series: one polyline positioned straight through the axes.
#include "chart/control/series.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include <algorithm>
#include <vector>

QM_CLASS_OWNED(TFastLineSeries, TCustomLineSeries, TComponent)

QM_PUBLISHED(TFastLineSeries,
             Prop("AutoRepaint", &Self::AutoRepaint, &Self::SetAutoRepaint).Default(true),
             Prop("DrawAllPoints", &Self::DrawAllPoints, &Self::SetDrawAll).Default(true),
             Prop("IgnoreNulls", &Self::IgnoreNulls, &Self::SetIgnoreNulls).Default(true),
             Prop("InvertedStairs", &Self::InvertedStairs, &Self::SetInvertedStairs).Default(false),
             Prop("LinePen", &Self::LinePen),
             Prop("Stairs", &Self::Stairs, &Self::SetStairs).Default(false),
             // The whole line has one colour.
             Prop("ColorEachPoint", &Self::ColorEachPoint, &Self::SetColorEachPoint).Stored(false));

TFastLineSeries::TFastLineSeries(TComponent* AOwner) : TCustomLineSeries(AOwner) {
    SetAllowSinglePoint(false);
    SetIncludeNextPoint(true);
    FDrawsEachNewValue = true;
}

void TFastLineSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TFastLineSeries*>(Source)) {
        FAutoRepaint = s->FAutoRepaint;
        FDrawAllPoints = s->FDrawAllPoints;
        FFastPen = s->FFastPen;
        FIgnoreNulls = s->FIgnoreNulls;
        FInvertedStairs = s->FInvertedStairs;
        FStairs = s->FStairs;
    }
    TChartSeries::Assign(Source);
}

void TFastLineSeries::SetSeriesColor(TColor Value) {
    TChartSeries::SetSeriesColor(Value);
    LinePen()->SetColor(Value);
}

void TFastLineSeries::SetPen(TChartPen* Value) {
    TCustomChartElement::SetPen(Value);
    SetSeriesColor(LinePen()->Color());
}

void TFastLineSeries::CalcPosition(int ValueIndex, int& X, int& Y) {
    TChartAxis* h = GetHorizAxis();
    TChartAxis* v = GetVertAxis();
    X = h ? h->CalcXPosValue(XValues()->Data()[ValueIndex]) : 0;
    Y = v ? v->CalcYPosValue(YValues()->Data()[ValueIndex]) : 0;
}

void TFastLineSeries::PrepareCanvas() {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    canvas->AssignVisiblePen(LinePen());
    chart->CheckPenWidth(canvas->Pen());
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetBackMode(cbmTransparent);
}

void TFastLineSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor,
                                          TBrushStyle& BrushStyle) {
    (void)ValueIndex, (void)BackColor, (void)BrushStyle;
    if (ParentChart()) PrepareCanvas();
}

void TFastLineSeries::DoMove(int X, int Y) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    if (FIs3D)
        canvas->MoveTo3D(X, Y, MiddleZ());
    else
        canvas->MoveTo(X, Y);
}

void TFastLineSeries::DoLine(int X, int Y) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    if (FIs3D)
        canvas->LineTo3D(X, Y, MiddleZ());
    else
        canvas->LineTo(X, Y);
}

void TFastLineSeries::DrawAllValues() {
    if (CanDrawRuns())
        DrawRuns();
    else
        DrawPointByPoint();
}

// A polyline paints what its MoveTo/LineTo steps paint only for a thin solid
// pen copying its colour.
bool TFastLineSeries::CanDrawRuns() const {
    const TChartPen* pen = LinePen();
    return pen->Visible() && !pen->SmallDots() && pen->Width() < 2 && pen->Style() == psSolid &&
           pen->Mode() == pmCopy;
}

void TFastLineSeries::DrawRuns() {
    const int f = FirstVisibleIndex();
    const int l = std::min(LastVisibleIndex(), Count() - 1);
    TCustomAxisPanel* chart = ParentChart();
    if (f < 0 || l < f || !chart) return;
    FIs3D = chart->View3D();
    PrepareCanvas();
    TCanvas3D* canvas = chart->Canvas();
    const int z = FIs3D ? MiddleZ() : 0;
    constexpr size_t RunLimit = 8192;
    std::vector<TPoint> run;
    run.reserve(RunLimit + 2);
    const auto flush = [&] {
        if (run.size() < 2) return;
        if (FIs3D)
            canvas->Polyline(run.data(), static_cast<int>(run.size()) - 1, z);
        else
            canvas->Polyline(run.data(), static_cast<int>(run.size()) - 1);
    };
    // The steps of DrawValue, gathered: a move starts a new run, and a long
    // run goes out in pieces that paint what the whole would.
    const auto move = [&](const TPoint& P) {
        flush();
        run.clear();
        run.push_back(P);
    };
    const auto line = [&](const TPoint& P) {
        if (run.size() > RunLimit) move(TPoint(run.back()));
        run.push_back(P);
    };
    const bool nulls = !FIgnoreNulls;
    const int from = f > 0 ? f - 1 : f;
    CalcPosition(from, FastPrevX, FastPrevY);
    const bool noGaps = !nulls || (!HasColorList() && !ColorEachPoint() && SeriesColor() != clNone);
    if (!FIs3D && FDrawAllPoints && !FStairs && noGaps) {
        // Every point joined: one line, folded column by column as it is mapped.
        constexpr int Slice = 1024;
        TLineColumns line(RunLimit + 4 * Slice);
        line.Start(TPoint(FastPrevX, FastPrevY));
        const auto send = [&] {
            const std::vector<TPoint>& p = line.Points();
            for (size_t at = 0; at + 1 < p.size(); at += RunLimit)
                canvas->Polyline(p.data() + at,
                                 static_cast<int>(std::min(RunLimit, p.size() - 1 - at)));
        };
        for (int start = from + 1; start <= l; start += Slice) {
            AddFolded(start, std::min(Slice, l - start + 1), l, line);
            if (line.Points().size() > RunLimit) {
                send();
                line.KeepLast();
            }
        }
        FastPrevX = line.Column();
        FastPrevY = line.LastRow();
        line.Finish();
        send();
        canvas->MoveTo(FastPrevX, FastPrevY);
        return;
    }
    move(TPoint(FastPrevX, FastPrevY));
    constexpr int Chunk = 4096;
    TPoint pts[Chunk];
    for (int start = from + 1; start <= l; start += Chunk) {
        const int n = std::min(Chunk, l - start + 1);
        CalcPositions(start, n, pts);
        for (int k = 0; k < n; ++k) {
            const TPoint& p = pts[k];
            if (p.x == FastPrevX && (!FDrawAllPoints || p.y == FastPrevY)) continue;
            if (nulls && IsNull(start + k)) {
                move(p);
            } else {
                if (FStairs)
                    line(FInvertedStairs ? TPoint(FastPrevX, p.y) : TPoint(p.x, FastPrevY));
                line(p);
            }
            FastPrevX = p.x;
            FastPrevY = p.y;
        }
    }
    flush();
    // The canvas' pen position ends where the point-by-point drawing leaves it.
    if (FIs3D)
        canvas->MoveTo3D(run.back().x, run.back().y, z);
    else
        canvas->MoveTo(run.back().x, run.back().y);
}

void TFastLineSeries::DrawPointByPoint() {
    const int f = FirstVisibleIndex();
    const int l = std::min(LastVisibleIndex(), Count() - 1);
    if (f < 0 || l < f || !ParentChart()) return;
    FIs3D = ParentChart()->View3D();
    PrepareCanvas();
    CalcPosition(f > 0 ? f - 1 : f, FastPrevX, FastPrevY);
    DoMove(FastPrevX, FastPrevY);
    if (f > 0) DrawValue(f);
    for (int i = f + 1; i <= l; ++i)
        DrawValue(i);
}

void TFastLineSeries::DrawValue(int ValueIndex) {
    int x, y;
    CalcPosition(ValueIndex, x, y);
    if (x == FastPrevX && (!FDrawAllPoints || y == FastPrevY)) return;
    if (!FIgnoreNulls && IsNull(ValueIndex)) {
        DoMove(x, y);
    } else {
        if (FStairs) {
            if (FInvertedStairs)
                DoLine(FastPrevX, y);
            else
                DoLine(x, FastPrevY);
        }
        DoLine(x, y);
    }
    FastPrevX = x;
    FastPrevY = y;
}

void TFastLineSeries::NotifyNewValue(TChartSeries* Sender, int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (FAutoRepaint || !chart) {
        TChartSeries::NotifyNewValue(Sender, ValueIndex);
        return;
    }
    FIs3D = chart->View3D();
    CalcPosition(ValueIndex > 0 ? ValueIndex - 1 : 0, FastPrevX, FastPrevY);
    chart->Canvas()->AssignVisiblePen(LinePen());
    DoMove(FastPrevX, FastPrevY);
    DrawValue(ValueIndex);
}

void TFastLineSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    TChartSeries::CalcHorizMargins(LeftMargin, RightMargin);
    const int w = LinePen()->Width();
    const int grow = w - (w - 2) / 2;
    LeftMargin += grow;
    RightMargin += grow;
}

void TFastLineSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TChartSeries::CalcVerticalMargins(TopMargin, BottomMargin);
    const int w = LinePen()->Width();
    const int grow = w - (w - 2) / 2;
    TopMargin += grow;
    BottomMargin += grow;
}

void TFastLineSeries::DrawMark(int ValueIndex, const AnsiString& St,
                               TSeriesMarkPosition* APosition) {
    Marks()->ApplyArrowLength(*APosition);
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

void TFastLineSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    (void)ValueIndex;
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->DoHorizLine(Rect.Left, Rect.Right, (Rect.Top + Rect.Bottom) / 2);
}

int TFastLineSeries::Clicked(int X, int Y) {
    const int f = FirstVisibleIndex();
    const int l = std::min(LastVisibleIndex(), Count() - 1);
    if (f < 0 || l < f) return -1;
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->Calculate2DPosition(X, Y, MiddleZ());
    const TPoint mouse(X, Y);
    TPoint prev(0, 0);
    for (int i = f; i <= l; ++i) {
        const TPoint p(CalcXPos(i), CalcYPos(i));
        if (p == mouse) return i;
        if (i > f && PointInLine(mouse, p, prev)) return i - 1;
        prev = p;
    }
    return -1;
}

void TFastLineSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TChartSeries::CreateSubGallery(AddSubChart);
    AddSubChart(TeeMsg_Marks);
    AddSubChart(TeeMsg_Dotted);
    AddSubChart(TeeMsg_Stairs);
}

void TFastLineSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TFastLineSeries*>(Series);
    if (!s) return;
    switch (Index) {
    case 1:
        s->Marks()->SetVisible(true);
        break;
    case 2:
        s->LinePen()->SetSmallDots(true);
        break;
    case 3:
        s->SetStairs(true);
        break;
    default:
        TChartSeries::SetSubGallery(Series, Index);
    }
}
