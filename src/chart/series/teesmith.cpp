// Smith chart series.
//   [settings]  construction, grid settings kept in the axes, gallery
//   [mapping]   impedance to screen and back, hit test
//   [drawing]   outer circle, resistance circles, reactance arcs, values
#include "chart/series/teesmith.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teemarks.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

QM_CLASS_OWNED(TSmithSeries, TCircledSeries, TComponent)

// The grid pens, switches and fonts live in the axes, which chart files keep.
QM_PUBLISHED(TSmithSeries, Prop("CCirclePen", &Self::CCirclePen).Stored(false),
             Prop("CLabels", &Self::CLabels, &Self::SetCLabels).Stored(false),
             Prop("CLabelsFont", &Self::CLabelsFont).Stored(false),
             Prop("CircleGradient", &Self::CircleGradient, &Self::SetCircleGradient),
             Prop("CirclePen", &Self::CirclePen),
             Prop("ImagSymbol", &Self::ImagSymbol, &Self::SetImagSymbol).Default("i"),
             Prop("Pen", &Self::Pen), Prop("Pointer", &Self::Pointer),
             Prop("RCirclePen", &Self::RCirclePen).Stored(false),
             Prop("RLabels", &Self::RLabels, &Self::SetRLabels).Stored(false),
             Prop("RLabelsFont", &Self::RLabelsFont).Stored(false),
             Prop("ReactanceValues", &Self::ReactanceValues),
             Prop("ResistanceValues", &Self::ResistanceValues));

namespace {
constexpr double Pi = std::numbers::pi;
int RoundInt(double Value) {
    return SafeInt(std::nearbyint(Value));
}
constexpr double ReactanceGrid[] = {0, 0.1, 0.3, 0.5, 0.8, 1, 1.5, 2, 3, 5, 7, 10};
constexpr double ResistanceGrid[] = {0, 0.2, 0.5, 1, 2, 5, 10};
} // namespace

// [settings] -----------------------------------------------------------------

TSmithSeries::TSmithSeries(TComponent* AOwner) : TCircledSeries(AOwner) {
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    XValues()->SetName("Resistance");
    XValues()->SetOrder(loNone);
    YValues()->SetName("Reactance");
    FCirclePen = std::make_unique<TChartPen>(changed);
    FPointer = std::make_unique<TSeriesPointer>(this);
}

TSmithSeries::~TSmithSeries() = default;

void TSmithSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TSmithSeries*>(Source)) {
        FCirclePen->Assign(s->FCirclePen.get());
        FImagSymbol = s->FImagSymbol;
        FPointer->Assign(s->FPointer.get());
    }
    TCircledSeries::Assign(Source);
}

void TSmithSeries::SetParentChart(TCustomAxisPanel* Value) {
    TCircledSeries::SetParentChart(Value);
    if (Value && ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
        Value->SetView3D(false);
}

TChartPen* TSmithSeries::CCirclePen() const {
    return GetVertAxis() ? GetVertAxis()->Grid() : Pen();
}
void TSmithSeries::SetCCirclePen(TChartPen* Value) {
    CCirclePen()->Assign(Value);
}
bool TSmithSeries::CLabels() const {
    return GetVertAxis() ? GetVertAxis()->Labels() : true;
}
void TSmithSeries::SetCLabels(bool Value) {
    if (GetVertAxis()) GetVertAxis()->SetLabels(Value);
}
TTeeFont* TSmithSeries::CLabelsFont() const {
    return GetVertAxis() ? GetVertAxis()->LabelsFont() : Marks()->Font();
}
void TSmithSeries::SetCLabelsFont(TTeeFont* Value) {
    CLabelsFont()->Assign(Value);
}
TChartPen* TSmithSeries::RCirclePen() const {
    return GetHorizAxis() ? GetHorizAxis()->Grid() : Pen();
}
void TSmithSeries::SetRCirclePen(TChartPen* Value) {
    RCirclePen()->Assign(Value);
}
bool TSmithSeries::RLabels() const {
    return GetHorizAxis() ? GetHorizAxis()->Labels() : true;
}
void TSmithSeries::SetRLabels(bool Value) {
    if (GetHorizAxis()) GetHorizAxis()->SetLabels(Value);
}
TTeeFont* TSmithSeries::RLabelsFont() const {
    return GetHorizAxis() ? GetHorizAxis()->LabelsFont() : Marks()->Font();
}
void TSmithSeries::SetRLabelsFont(TTeeFont* Value) {
    RLabelsFont()->Assign(Value);
}

void TSmithSeries::CheckOrder() {
    if (MandatoryValues()->Order() != loNone) MandatoryValues()->Sort();
    Repaint();
}

void TSmithSeries::AddSampleValues(int NumValues) {
    if (NumValues < 1) return;
    for (int i = 0; i < NumValues; ++i)
        AddPoint(i * 6.5 / NumValues, (Random(i) + 3.8) / NumValues);
}

void TSmithSeries::PrepareForGallery(bool IsEnabled) {
    TCircledSeries::PrepareForGallery(IsEnabled);
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    chart->SetChart3DPercent(5);
    chart->LeftAxis()->SetLabels(false);
    chart->BottomAxis()->SetLabels(false);
    TView3DOptions* v = chart->View3DOptions();
    v->SetOrthogonal(false);
    v->SetElevation(360);
    v->PresetSample(90);
}

// [mapping] ------------------------------------------------------------------

void TSmithSeries::ZToPos(double Resist, double React, int& X, int& Y) const {
    double u = 1, v = 0; // infinite impedance: the rightmost point
    const double den = (Resist + 1) * (Resist + 1) + React * React;
    if (den > 0 && std::isfinite(den)) {
        const double d = 1 / den;
        u = (Resist * Resist + React * React - 1) * d;
        v = 2 * React * d;
    }
    if (!std::isfinite(u) || !std::isfinite(v)) {
        u = 1;
        v = 0;
    }
    X = CircleCenterX() + RoundInt(RadiusX() * u);
    Y = CircleCenterY() - RoundInt(RadiusY() * v);
}

void TSmithSeries::PosToZ(int X, int Y, double& Resist, double& React) const {
    const double u = RadiusX() ? double(X - CircleCenterX()) / RadiusX() : 0;
    const double v = RadiusY() ? double(CircleCenterY() - Y) / RadiusY() : 0;
    const double den = (1 - u) * (1 - u) + v * v;
    if (den == 0) {
        Resist = HUGE_VAL;
        React = 0;
        return;
    }
    Resist = (1 - u * u - v * v) / den;
    React = 2 * v / den;
}

int TSmithSeries::CalcXPos(int ValueIndex) {
    int x, y;
    ZToPos(XValues()->Value(ValueIndex), YValues()->Value(ValueIndex), x, y);
    return x;
}

int TSmithSeries::CalcYPos(int ValueIndex) {
    int x, y;
    ZToPos(XValues()->Value(ValueIndex), YValues()->Value(ValueIndex), x, y);
    return y;
}

int TSmithSeries::Clicked(int X, int Y) {
    return ClickedPointer(FPointer.get(), X, Y);
}

// [drawing] ------------------------------------------------------------------

TSmithSeries* TSmithSeries::FirstOfClass() const {
    return static_cast<TSmithSeries*>(FirstActiveOfClass());
}

void TSmithSeries::DoBeforeDrawValues() {
    TCustomAxisPanel* chart = ParentChart();
    TCircledSeries::DoBeforeDrawValues();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    if (CLabels()) {
        canvas->AssignFont(CLabelsFont());
        const int dy = canvas->FontHeight() + 2, dx = canvas->TextWidth("10" + FImagSymbol);
        const TRect saved = chart->ChartRect();
        chart->SetChartRect(
            TRect(saved.Left + dx, saved.Top + dy, saved.Right - dx, saved.Bottom - dy));
        TTeeFinally restore([&] { chart->SetChartRect(saved); });
        TCircledSeries::DoBeforeDrawValues();
    }
    if (FirstOfClass() != this) return;

    canvas->Brush()->SetStyle(HasBackColor() ? bsSolid : bsClear);
    if (HasBackColor()) canvas->Brush()->SetColor(CircleBackColor());
    canvas->AssignVisiblePen(FCirclePen.get());
    const TRect r = CircleRect();
    canvas->EllipseWithZ(r.Left, r.Top, r.Right, r.Bottom, EndZ());
    if (CircleGradient()->Visible()) DrawCircleGradient();
    if (!chart->AxisVisible() || !chart->AxisBehind()) return;
    if (GetVertAxis() && GetVertAxis()->Visible()) {
        canvas->AssignVisiblePen(CCirclePen());
        canvas->Brush()->SetStyle(bsClear);
        for (double x : ReactanceGrid)
            DrawXCircle(x, EndZ(), CLabels());
    }
    if (GetHorizAxis() && GetHorizAxis()->Visible()) {
        canvas->AssignVisiblePen(RCirclePen());
        canvas->Brush()->SetStyle(bsClear);
        for (double r0 : ResistanceGrid)
            DrawRCircle(r0, EndZ(), RLabels());
    }
}

void TSmithSeries::DrawGridLabel(int X, int Y, int Z, const AnsiString& Text, double AngleDeg) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    double a = std::fmod(AngleDeg, 360.0);
    if (a < 0) a += 360;
    const int h = canvas->FontHeight();
    UINT align = TA_RIGHT;
    if (std::fabs(a - 90) < 0.5 || std::fabs(a - 270) < 0.5)
        align = TA_CENTER;
    else if (a <= 90 || a >= 270)
        align = TA_LEFT;
    canvas->SetBackMode(cbmTransparent);
    canvas->SetTextAlign(align);
    canvas->TextOut3D(X, a > 0 && a < 180 ? Y - h : Y, Z, Text);
}

void TSmithSeries::DrawRCircle(double Value, int Z, bool ShowLabel) {
    if (Value == -1 || !std::isfinite(Value)) return;
    TCanvas3D* canvas = ParentChart()->Canvas();
    const double c = Value / (Value + 1), rad = 1 / (Value + 1);
    const int cx = CircleCenterX(), cy = CircleCenterY();
    const int x0 = cx + RoundInt(RadiusX() * (c - rad)), x1 = cx + RoundInt(RadiusX() * (c + rad));
    const int dy = RoundInt(RadiusY() * rad);
    canvas->Brush()->SetStyle(bsClear);
    canvas->EllipseWithZ(x0, cy - dy, x1, cy + dy, Z);
    if (ShowLabel) {
        canvas->AssignFont(RLabelsFont());
        canvas->SetBackMode(cbmTransparent);
        canvas->SetTextAlign(TA_LEFT);
        canvas->TextOut3D(x0, cy, Z, FloatToStr(Value));
    }
}

void TSmithSeries::DrawXCircle(double Value, int Z, bool ShowLabel) {
    if (!std::isfinite(Value)) return;
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    const int cx = CircleCenterX(), cy = CircleCenterY();
    if (Value == 0) {
        canvas->LineWithZ(cx - RadiusX(), cy, cx + RadiusX(), cy, Z);
    } else if (!chart->View3D() || chart->View3DOptions()->Orthogonal()) {
        // Each arc is the curve of constant reactance, from r = 0 on the outer
        // circle to the rightmost point.
        constexpr int Steps = 64;
        for (double x : {Value, -Value}) {
            std::vector<TPoint> p(Steps + 1);
            for (int i = 0; i < Steps; ++i)
                ZToPos(std::tan(i * (Pi / 2) / Steps), x, p[size_t(i)].x, p[size_t(i)].y);
            p[Steps] = TPoint(cx + RadiusX(), cy);
            canvas->Polyline(p.data(), Steps, Z);
        }
    }
    if (!ShowLabel) return;
    canvas->AssignFont(CLabelsFont());
    for (double x : Value == 0 ? std::vector<double>{0} : std::vector<double>{Value, -Value}) {
        int px, py;
        ZToPos(0, x, px, py);
        const double a = std::atan2(double(cy - py), double(px - cx)) * 180 / Pi;
        DrawGridLabel(px, py, Z, FloatToStr(x) + FImagSymbol, a);
    }
}

void TSmithSeries::DrawValue(int ValueIndex) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    const TPoint p(CalcXPos(ValueIndex), CalcYPos(ValueIndex));
    if (ValueIndex != FirstVisibleIndex()) {
        if (Pen()->Visible()) {
            canvas->AssignVisiblePenColor(Pen(), GetValueColor(ValueIndex));
            canvas->SetBackMode(cbmTransparent);
            canvas->LineWithZ(FOld, p, StartZ());
        }
    }
    FOld = p;
}

void TSmithSeries::DrawAllValues() {
    TCircledSeries::DrawAllValues();
    if (!FPointer->Visible() || FirstVisibleIndex() < 0) return;
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    const int last = std::min(LastVisibleIndex(), Count() - 1);
    for (int i = FirstVisibleIndex(); i <= last; ++i) {
        const TColor color = GetValueColor(i);
        FPointer->PrepareCanvas(canvas, color);
        FPointer->DrawPointer(canvas, chart->View3D(), CalcXPos(i), CalcYPos(i),
                              FPointer->HorizSize(), FPointer->VertSize(), color,
                              FPointer->Style());
    }
}

void TSmithSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    const TColor c = ValueIndex == -1 ? SeriesColor() : GetValueColor(ValueIndex);
    if (FPointer->Visible())
        TeePointerDrawLegend(FPointer.get(), c, Rect, Pen()->Visible());
    else
        TCircledSeries::DrawLegendShape(ValueIndex, Rect);
}
