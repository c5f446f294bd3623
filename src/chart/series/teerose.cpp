// Wind rose and clock series.
#include "chart/series/teerose.h"
#include "platform/classes/watched.h"
#include "chart/engine/teeaxis.h"
#include "platform/forms/extctrls.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/sysutils.h"
#include <cmath>
#include <numbers>

QM_CLASS_ABSTRACT(TCustom2DPolarSeries, TCustomPolarSeries)
QM_CLASS_OWNED(TWindRoseSeries, TCustom2DPolarSeries, TComponent)
QM_CLASS_OWNED(TClockSeries, TCustom2DPolarSeries, TComponent)

QM_PUBLISHED(TWindRoseSeries,
             Prop("CircleLabels", &Self::CircleLabels, &Self::SetCircleLabels).Default(true),
             Prop("RotationAngle", &Self::RotationAngle, &Self::SetRotationAngle).Default(90));

QM_PUBLISHED(TClockSeries,
             Prop("CircleLabels", &Self::CircleLabels, &Self::SetCircleLabels).Default(true),
             Prop("Circled", &Self::Circled, &Self::SetCircled).Default(true),
             Prop("PenHours", &Self::PenHours), Prop("PenMinutes", &Self::PenMinutes),
             Prop("PenSeconds", &Self::PenSeconds),
             Prop("RotationAngle", &Self::RotationAngle, &Self::SetRotationAngle).Default(90),
             Prop("ShowInLegend", &Self::ShowInLegend, &Self::SetShowInLegend).Default(false),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(cssRoman),
             Prop("OnGetTime", &Self::OnGetTime));

namespace {
constexpr double Pi = std::numbers::pi;
} // namespace

// ---------------------------------------------------------------------------

void TCustom2DPolarSeries::GalleryChanged3D(bool Is3D) {
    TCustomPolarSeries::GalleryChanged3D(Is3D);
    if (ParentChart()) ParentChart()->SetView3D(false);
}

void TCustom2DPolarSeries::PrepareForGallery(bool IsEnabled) {
    TCallOut held{this};
    TCustomPolarSeries::PrepareForGallery(IsEnabled);
    if (held.Gone()) return;
    CircleLabelsFont()->SetSize(6);
    Pointer()->SetHorizSize(2);
    Pointer()->SetVertSize(2);
}

// ---------------------------------------------------------------------------

TWindRoseSeries::TWindRoseSeries(TComponent* AOwner) : TCustom2DPolarSeries(AOwner) {
    FCircleLabels = true;
    SetRotationQuiet(90);
}

AnsiString TWindRoseSeries::GetCircleLabel(double Angle, int Index) {
    (void)Index;
    static const char* const names[24] = {
        "N", "NNNW", "NNW", "NW", "NWW", "NWWW", "W", "SWWW", "SWW", "SW", "SSW", "SSSW",
        "S", "SSSE", "SSE", "SE", "SEE", "SEEE", "E", "NEEE", "NEE", "NE", "NNE", "NNNE"};
    if (!std::isfinite(Angle)) return "";
    const int64_t a = Round(Angle);
    if (a < 0 || a >= 360 || a % 15 != 0) return "";
    return names[a / 15];
}

void TWindRoseSeries::PrepareForGallery(bool IsEnabled) {
    TCallOut held{this};
    TCustom2DPolarSeries::PrepareForGallery(IsEnabled);
    if (held.Gone()) return;
    SetAngleIncrement(45);
}

// ---------------------------------------------------------------------------

TClockSeries::TClockSeries(TComponent* AOwner) : TCustom2DPolarSeries(AOwner) {
    FPointer->SetVisible(false);
    SetShowInLegend(false);
    Brush()->SetStyle(bsSolid);
    FCircleLabels = true;
    SetRotationQuiet(90);
    FCircled = true;
    Add(0);
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FPenHours = std::make_unique<TChartPen>(changed);
    FPenMinutes = std::make_unique<TChartPen>(changed);
    FPenSeconds = std::make_unique<TChartPen>(changed);
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetInterval(1000);
    FTimer->OnTimer = [this](TObject*) {
        FTimer->SetEnabled(false);
        Repaint();
        FTimer->SetEnabled(true);
    };
    FTimer->SetEnabled(true);
}

TClockSeries::~TClockSeries() {
    FTimer->OnTimer = nullptr;
}

void TClockSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TClockSeries*>(Source)) {
        FPenHours->Assign(s->FPenHours.get());
        FPenMinutes->Assign(s->FPenMinutes.get());
        FPenSeconds->Assign(s->FPenSeconds.get());
        FStyle = s->FStyle;
    }
    TCustom2DPolarSeries::Assign(Source);
}

void TClockSeries::SetStyle(TClockSeriesStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Repaint();
}

void TClockSeries::SetParentChart(TCustomAxisPanel* Value) {
    TCustom2DPolarSeries::SetParentChart(Value);
    if (!Value || ComponentState().Contains(csLoading)) return;
    SetAngleIncrement(30);
    Value->SetAxisVisible(false);
}

void TClockSeries::AddSampleValues(int NumValues) {
    (void)NumValues;
    Add(0);
}

void TClockSeries::DoBeforeDrawValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (chart && FTransparency > 0)
        FBlend = chart->Canvas()->BeginBlending(chart->ChartRect(), FTransparency);
    TTeeFinally end([&] {
        if (FBlend) chart->Canvas()->EndBlending(FBlend);
        FBlend = nullptr;
    });
    TCustom2DPolarSeries::DoBeforeDrawValues();
}

AnsiString TClockSeries::GetCircleLabel(double Angle, int Index) {
    (void)Index;
    static const char* const roman[12] = {"I",   "II",   "III", "IV", "V",  "VI",
                                          "VII", "VIII", "IX",  "X",  "XI", "XII"};
    const int64_t hour = Round((360 - Angle) / 30);
    if (FStyle == cssDecimal || hour < 1 || hour > 12) return IntToStr(hour);
    return roman[hour - 1];
}

void TClockSeries::HandAngles(TDateTime Time, double& Hours, double& Minutes, double& Seconds) {
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(Time, h, m, s, ms);
    Hours = 360 - (m + h * 60) * 360.0 / 720;
    Minutes = 360 - m * 360.0 / 60;
    Seconds = 360 - (s + ms / 1000.0) * 360.0 / 60;
}

TPoint TClockSeries::HandEnd(double AngleDeg, double Factor) const {
    TPoint p;
    AngleToPos(AngleDeg * Pi / 180.0, RadiusX() * Factor / 2, RadiusY() * Factor / 2, p.x, p.y);
    return p;
}

void TClockSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    TDateTime now = Now();
    if (OnGetTime) OnGetTime(this, now);
    double hours, minutes, seconds;
    HandAngles(now, hours, minutes, seconds);
    const TPoint centre(CircleCenterX(), CircleCenterY());
    const int z = StartZ();
    const auto arrow = [&](TChartPen* Pen, double Angle, double Factor, int Width, int Height) {
        if (!Pen->Visible()) return;
        canvas->AssignVisiblePen(Pen);
        canvas->AssignBrush(Brush(), SeriesColor());
        canvas->Arrow(true, centre, HandEnd(Angle, Factor), Width, Height, z);
    };
    arrow(FPenHours.get(), hours, 1.3, 14, 20);
    arrow(FPenMinutes.get(), minutes, 1.7, 10, 16);
    if (FPenSeconds->Visible()) {
        canvas->AssignVisiblePen(FPenSeconds.get());
        canvas->LineWithZ(centre, HandEnd(seconds, 1.8), z);
    }
    if (FPointer->Visible()) {
        FPointer->PrepareCanvas(canvas, SeriesColor());
        FPointer->DrawPointer(canvas, false, centre.x, centre.y, FPointer->HorizSize(),
                              FPointer->VertSize(), SeriesColor(), FPointer->Style());
    }
}
