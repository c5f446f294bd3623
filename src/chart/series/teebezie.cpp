// Bezier curves: segment ends by style, each segment as straight pieces.
#include "chart/series/teebezie.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <vector>

QM_CLASS_OWNED(TBezierSeries, TCustomSeries, TComponent)

QM_PUBLISHED(TBezierSeries,
             Prop("BezierStyle", &Self::BezierStyle, &Self::SetBezierStyle).Default(bsWindows),
             Prop("LinePen", &Self::LinePen, &Self::SetLinePen),
             Prop("NumBezierPoints", &Self::NumBezierPoints, &Self::SetNumBezierPoints).Default(32),
             Prop("Pointer", &Self::Pointer, &Self::SetPointer));

namespace {
constexpr int MaxBezierValues = 8000;
}

TBezierSeries::TBezierSeries(TComponent* AOwner) : TCustomSeries(AOwner) {}

void TBezierSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TBezierSeries*>(Source)) {
        FBezierStyle = s->FBezierStyle;
        FNumBezierPoints = s->FNumBezierPoints;
    }
    TCustomSeries::Assign(Source);
}

void TBezierSeries::SetBezierStyle(TBezierStyle Value) {
    if (Value == FBezierStyle) return;
    FBezierStyle = Value;
    Repaint();
}

void TBezierSeries::SetNumBezierPoints(int Value) {
    if (Value < 2) throw ChartException("Number of Bezier points should be > 1");
    SetIntegerProperty(FNumBezierPoints, Value);
}

void TBezierSeries::SetSeriesColor(TColor Value) {
    TCustomSeries::SetSeriesColor(Value);
    LinePen()->SetColor(Value);
}

void TBezierSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    const int n = std::min(Count(), MaxBezierValues);
    if (!chart || n == 0) return;
    TCanvas3D* canvas = chart->Canvas();
    const bool is3D = chart->View3D();
    const int z = StartZ();
    std::vector<TPoint> p(n);
    for (int i = 0; i < n; ++i)
        p[i] = TPoint(CalcXPos(i), CalcYPos(i));
    canvas->AssignVisiblePen(LinePen());
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetBackMode(cbmTransparent);
    if (is3D)
        canvas->MoveTo3D(p[0].x, p[0].y, z);
    else
        canvas->MoveTo(p[0].x, p[0].y);
    auto lineTo = [&](const TPoint& q) {
        if (is3D)
            canvas->LineTo3D(q.x, q.y, z);
        else
            canvas->LineTo(q.x, q.y);
    };
    // A segment ending at point k: quadratic over k-2..k or cubic over k-3..k.
    auto segment = [&](int k, bool cubic) {
        if (k >= n) return;
        if (ColorEachPoint()) canvas->Pen()->SetColor(ValueColor(k));
        for (int j = 1; j <= FNumBezierPoints; ++j) {
            const double t = double(j) / FNumBezierPoints, u = 1 - t;
            double x, y;
            if (cubic) {
                const TPoint &a = p[k - 3], &b = p[k - 2], &c = p[k - 1], &d = p[k];
                x = u * u * u * a.x + 3 * u * u * t * b.x + 3 * u * t * t * c.x + t * t * t * d.x;
                y = u * u * u * a.y + 3 * u * u * t * b.y + 3 * u * t * t * c.y + t * t * t * d.y;
            } else {
                const TPoint &a = p[k - 2], &b = p[k - 1], &c = p[k];
                x = u * u * a.x + 2 * u * t * b.x + t * t * c.x;
                y = u * u * a.y + 2 * u * t * b.y + t * t * c.y;
            }
            lineTo(TPoint(SafeInt(std::nearbyint(x)), SafeInt(std::nearbyint(y))));
        }
    };
    switch (FBezierStyle) {
    case bsWindows:
        // Cubic pieces from the first point, as the platform's poly-Bezier
        // takes them; in 3D a quadratic piece first, then cubic ones.
        if (is3D) {
            segment(2, false);
            for (int k = 5; k < n; k += 3)
                segment(k, true);
        } else {
            for (int k = 3; k < n; k += 3)
                segment(k, true);
        }
        break;
    case bsBezier3:
        for (int k = 2; k < n; k += 2)
            segment(k, false);
        break;
    case bsBezier4:
        for (int k = 3; k < n; k += 3)
            segment(k, true);
        break;
    }
    if (Pointer()->Visible())
        for (int i = 0; i < n; ++i) {
            const TColor color = ValueColor(i);
            Pointer()->PrepareCanvas(canvas, color);
            Pointer()->Draw(p[i].x, p[i].y, color, Pointer()->Style());
        }
}

void TBezierSeries::PrepareForGallery(bool IsEnabled) {
    TCustomSeries::PrepareForGallery(IsEnabled);
    Clear();
    FillSampleValues(3);
    SetColorEachPoint(IsEnabled);
    Pointer()->SetDraw3D(false);
}
