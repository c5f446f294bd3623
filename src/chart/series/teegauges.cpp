// Gauge series.
//   [settings]  construction, value and range, gallery
//   [drawing]   scale ticks and labels, arc, hand, hit test
#include "chart/series/teegauges.h"
#include "chart/control/chart.h"
#include "chart/engine/teeaxis.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

QM_CLASS_OWNED(TGaugeSeries, TCircledSeries, TComponent)

// The value is point 0, stored with the series' data.
QM_PUBLISHED(
    TGaugeSeries, Prop("Center", &Self::Center),
    Prop("CircleGradient", &Self::CircleGradient, &Self::SetCircleGradient),
    Prop("Circled", &Self::Circled, &Self::SetCircled).Default(true),
    Prop("EndPoint", &Self::EndPoint),
    Prop("FullRepaint", &Self::FullRepaint, &Self::SetFullRepaint).Default(false),
    Prop("HandDistance", &Self::HandDistance, &Self::SetHandDistance).Default(30),
    Prop("HandStyle", &Self::HandStyle, &Self::SetHandStyle).Default(hsLine),
    Prop("LabelsInside", &Self::LabelsInside, &Self::SetLabelsInside).Default(true),
    Prop("Maximum", &Self::Maximum, &Self::SetMaximum).Default(100),
    Prop("Minimum", &Self::Minimum, &Self::SetMinimum).Default(0),
    Prop("MinorTickDistance", &Self::MinorTickDistance, &Self::SetMinorTickDistance).Default(0),
    Prop("Pen", &Self::Pen),
    Prop("RotationAngle", &Self::RotationAngle, &Self::SetRotationAngle).Default(135),
    Prop("ShowInLegend", &Self::ShowInLegend, &Self::SetShowInLegend).Default(false),
    Prop("TotalAngle", &Self::TotalAngle, &Self::SetTotalAngle).Default(90),
    Prop("Value", &Self::Value, &Self::SetValue).Stored(false),
    Prop("OnChange", &Self::OnChange));

namespace {
constexpr double Pi = std::numbers::pi;
int RoundInt(double Value) {
    return SafeInt(std::nearbyint(Value));
}
// More scale steps than this are not drawn (a tiny increment would keep the
// painter busy for ever).
constexpr double MaxSteps = 10000;
} // namespace

// [settings] -----------------------------------------------------------------

TGaugeSeries::TGaugeSeries(TComponent* AOwner) : TCircledSeries(AOwner) {
    FCircled = true;
    FRotationAngle = 135;
    FRotationRad = 135 * Pi / 180;
    SetShowInLegend(false);
    FCenter = std::make_unique<TSeriesPointer>(this);
    FCenter->ChangeStyle(psCircle);
    FCenter->ChangeHorizSize(8);
    FCenter->ChangeVertSize(8);
    FCenter->SetColor(clBlack);
    FCenter->Brush()->SetStyle(bsSolid);
    FCenter->Gradient()->SetVisible(true);
    FEndPoint = std::make_unique<TSeriesPointer>(this);
    FEndPoint->SetVisible(false);
    FEndPoint->ChangeStyle(psCircle);
    FEndPoint->ChangeHorizSize(3);
    FEndPoint->ChangeVertSize(3);
    FEndPoint->SetColor(clWhite);
    FEndPoint->Brush()->SetStyle(bsSolid);
    Add(0);
}

TGaugeSeries::~TGaugeSeries() = default;

void TGaugeSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TGaugeSeries*>(Source)) {
        FTotalAngle = s->FTotalAngle;
        FCenter->Assign(s->FCenter.get());
        FHandDistance = s->FHandDistance;
        FEndPoint->Assign(s->FEndPoint.get());
        FFullRepaint = s->FFullRepaint;
        FMaximum = s->FMaximum;
        FMinimum = s->FMinimum;
        FMinorTickDistance = s->FMinorTickDistance;
        FHandStyle = s->FHandStyle;
        FLabelsInside = s->FLabelsInside;
    }
    TCircledSeries::Assign(Source);
}

TChartAxis* TGaugeSeries::Axis() const {
    return ParentChart() ? ParentChart()->LeftAxis() : nullptr;
}

void TGaugeSeries::SetParentChart(TCustomAxisPanel* Value) {
    TCircledSeries::SetParentChart(Value);
    if (!Value || ComponentState().Contains(csLoading)) return;
    if (auto* c = dynamic_cast<TCustomChart*>(Value)) {
        c->SetView3DWalls(false);
        c->Frame()->SetVisible(false);
    }
    Value->SetView3D(false);
    Value->LeftAxis()->SetTickLength(14);
    Value->LeftAxis()->SetMinorTickLength(6);
}

double TGaugeSeries::Value() {
    if (Count() == 0) Add(0);
    return YValues()->Value(0);
}

// The hand is drawn again in full: erasing it by drawing over the last picture
// would draw on whatever canvas the chart last painted, which may be gone.
void TGaugeSeries::SetValue(double Value) {
    if (Count() == 0) Add(0);
    if (YValues()->Value(0) == Value) return;
    SetYValue(0, Value);
    Repaint();
    if (OnChange) OnChange(this);
}

void TGaugeSeries::SetMaximum(double Value) {
    SetDoubleProperty(FMaximum, Value);
    SetValue(std::min(this->Value(), Value));
}

void TGaugeSeries::SetMinimum(double Value) {
    SetDoubleProperty(FMinimum, Value);
    SetValue(std::max(this->Value(), Value));
}

void TGaugeSeries::SetHandStyle(THandStyle Value) {
    if (Value == FHandStyle) return;
    FHandStyle = Value;
    Repaint();
}

void TGaugeSeries::AddSampleValues(int NumValues) {
    (void)NumValues;
    SetValue(FMinimum + Random() * (FMaximum - FMinimum));
}

void TGaugeSeries::PrepareForGallery(bool IsEnabled) {
    TCircledSeries::PrepareForGallery(IsEnabled);
    if (TChartAxis* a = Axis()) {
        a->SetMinorTickCount(1);
        a->SetTickLength(4);
        a->SetMinorTickLength(2);
        a->SetDesiredIncrement(25);
    }
    FHandDistance = 3;
    FCenter->SetHorizSize(2);
    FCenter->SetVertSize(2);
    FFullRepaint = true;
    Pen()->SetColor(IsEnabled ? TColor(0xFF0000) : TColor(0x808080));
}

// [drawing] ------------------------------------------------------------------

double TGaugeSeries::ValueAngle(double Value) const {
    const double range = FMaximum - FMinimum;
    // An empty range leaves the hand at the start of the scale.
    const double part =
        range != 0 && std::isfinite(range) ? (Value - FMinimum) * FTotalAngle / range : 0;
    return RotationAngle() + 360 - (FTotalAngle - part);
}

TPoint TGaugeSeries::CalcPoint(double Angle, const TPoint& Center, double RadiusX, double RadiusY) {
    return TPoint(Center.x - RoundInt(std::cos(Angle) * RadiusX),
                  Center.y - RoundInt(std::sin(Angle) * RadiusY));
}

void TGaugeSeries::CalcLinePoints(TPoint& Start, TPoint& End) {
    const TPoint c(CircleCenterX(), CircleCenterY());
    End = CalcPoint(ValueAngle(Value()) * Pi / 180, c, RadiusX(), RadiusY());
    int d = FHandDistance;
    if (FEndPoint->Visible()) d += 2 * FEndPoint->HorizSize() + FEndPoint->Pen()->Width();
    const double dx = c.x - End.x, dy = c.y - End.y, len = std::hypot(dx, dy);
    if (d > 0 && len > 0) {
        End.x += RoundInt(dx * d / len);
        End.y += RoundInt(dy * d / len);
    }
    Start = c;
    if (FCenter->Visible() && FCenter->Style() == psCircle) {
        const double ex = End.x - c.x, ey = End.y - c.y, l2 = std::hypot(ex, ey);
        if (l2 > 0) {
            Start.x += RoundInt(ex * (FCenter->HorizSize() / 2.0) / l2);
            Start.y += RoundInt(ey * (FCenter->HorizSize() / 2.0) / l2);
        }
    }
}

void TGaugeSeries::DrawValueLine() {
    TCanvas3D* canvas = ParentChart()->Canvas();
    TPoint s, e;
    CalcLinePoints(s, e);
    canvas->AssignVisiblePen(Pen());
    canvas->Pen()->SetMode(FFullRepaint ? pmCopy : pmNotXor);
    TTeeFinally copy([canvas] { canvas->Pen()->SetMode(pmCopy); });
    const int z = StartZ();
    if (FHandStyle == hsLine) {
        canvas->LineWithZ(s, e, z);
    } else {
        // The base of the triangle stands across the hand.
        const double a = std::atan2(double(e.y - s.y), double(e.x - s.x)) + Pi / 2;
        const TPoint p[3] = {
            TPoint(s.x + RoundInt(4 * std::cos(a)), s.y + RoundInt(4 * std::sin(a))),
            TPoint(s.x - RoundInt(4 * std::cos(a)), s.y - RoundInt(4 * std::sin(a))), e};
        canvas->AssignBrush(Brush(), Pen()->Color());
        canvas->PolygonWithZ(p, 2, z);
    }
    if (FEndPoint->Visible()) {
        const double dx = e.x - s.x, dy = e.y - s.y, len = std::hypot(dx, dy);
        TPoint q = e;
        if (len > 0) {
            q.x += RoundInt(dx * FEndPoint->HorizSize() / len);
            q.y += RoundInt(dy * FEndPoint->HorizSize() / len);
        }
        FEndPoint->PrepareCanvas(canvas, FEndPoint->GetColor());
        if (!FFullRepaint) canvas->Brush()->SetStyle(bsClear);
        FEndPoint->DrawPointer(canvas, false, q.x, q.y, FEndPoint->HorizSize(),
                               FEndPoint->VertSize(), FEndPoint->GetColor(), FEndPoint->Style());
    }
}

void TGaugeSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    TChartAxis* axis = Axis();
    if (!chart || !axis) return;
    TCanvas3D* canvas = chart->Canvas();
    if (axis->DesiredIncrement() != 10) axis->SetDesiredIncrement(10);
    const double step = axis->Increment();
    FCenterPoint = TPoint(CircleCenterX(), CircleCenterY());
    const double range = FMaximum - FMinimum;
    const int z = StartZ();
    const double xr = RadiusX(), yr = RadiusY();

    if (CircleGradient()->Visible()) DrawCircleGradient();
    if (FCenter->Visible()) {
        FCenter->PrepareCanvas(canvas, FCenter->GetColor());
        FCenter->DrawPointer(canvas, false, FCenterPoint.x, FCenterPoint.y, FCenter->HorizSize(),
                             FCenter->VertSize(), FCenter->GetColor(), FCenter->Style());
    }
    // A step that cannot walk the range in a reasonable number of ticks draws none.
    const bool stepping = step > 0 && range >= 0 && range / step <= MaxSteps;
    const auto rad = [&](double V) { return ValueAngle(V) * Pi / 180; };

    if ((axis->Ticks()->Visible() || axis->Labels()) && stepping) {
        canvas->AssignFont(axis->LabelsFont());
        canvas->Brush()->SetStyle(bsClear);
        canvas->SetBackMode(cbmTransparent);
        const int len = axis->TickLength(), h = canvas->FontHeight();
        for (int i = 0;; ++i) {
            const double v = FMinimum + i * step;
            if (v > FMaximum) break;
            const TPoint outer = CalcPoint(rad(v), FCenterPoint, xr, yr);
            const TPoint inner = CalcPoint(rad(v), FCenterPoint, xr - len, yr - len);
            if (axis->Ticks()->Visible()) {
                canvas->AssignVisiblePen(axis->Ticks());
                canvas->LineWithZ(inner, outer, z);
            }
            if (axis->Labels()) {
                const TPoint at =
                    FLabelsInside ? inner : CalcPoint(rad(v), FCenterPoint, xr + h, yr + h);
                canvas->SetTextAlign(TA_CENTER);
                canvas->TextOut3D(at.x, at.y - h / 2, z, FormatFloat(ValueFormat(), v));
            }
        }
    }
    const int minor = axis->MinorTickCount();
    if (axis->MinorTicks()->Visible() && minor > 0 && stepping) {
        canvas->AssignVisiblePen(axis->MinorTicks());
        const double sub = step / (minor + 1);
        const double r0x = xr - FMinorTickDistance, r0y = yr - FMinorTickDistance;
        const int len = axis->MinorTickLength();
        for (int i = 0;; ++i) {
            const double v = FMinimum + i * step;
            if (v > FMaximum - step) break;
            for (int j = 1; j <= minor; ++j) {
                const double a = rad(v + j * sub);
                canvas->LineWithZ(CalcPoint(a, FCenterPoint, r0x, r0y),
                                  CalcPoint(a, FCenterPoint, r0x - len, r0y - len), z);
            }
        }
    }
    if (axis->Axis()->Visible()) {
        canvas->AssignVisiblePen(axis->Axis());
        constexpr int Steps = 90;
        std::vector<TPoint> p(Steps + 1);
        const double a0 = rad(FMaximum), a1 = rad(FMinimum);
        for (int i = 0; i <= Steps; ++i)
            p[size_t(i)] = CalcPoint(a0 + (a1 - a0) * i / Steps, FCenterPoint, xr, yr);
        canvas->Polyline(p.data(), Steps, z);
    }
    if (Pen()->Visible()) DrawValueLine();
}

int TGaugeSeries::Clicked(int X, int Y) {
    if (!ParentChart()) return -1;
    TPoint s, e;
    CalcLinePoints(s, e);
    const double dx = e.x - s.x, dy = e.y - s.y, l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((X - s.x) * dx + (Y - s.y) * dy) / l2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double d = std::hypot(X - (s.x + t * dx), Y - (s.y + t * dy));
    return d <= 2 ? 0 : -1;
}
