// Polar and radar series.
//   [settings]  construction, properties, copies, gallery
//   [geometry]  radius of a value, point positions, hit test
//   [grid]      background, spokes and labels, rings, axes as radius lines
//   [values]    the value polygon, pointers, legend and marks
//   [radar]     evenly spread points, polygon grid, sample values
#include "chart/series/teepolar.h"
#include "platform/classes/watched.h"
#include "chart/control/chart.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teemarks.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>
#include <numbers>

QM_CLASS_ABSTRACT(TCustomPolarSeries, TCircledSeries)
QM_CLASS_OWNED(TPolarSeries, TCustomPolarSeries, TComponent)
QM_CLASS_OWNED(TRadarSeries, TCustomPolarSeries, TComponent)

// The increments live in the chart's axes, which chart files keep.
QM_PUBLISHED(
    TCustomPolarSeries,
    Prop("AngleIncrement", &Self::AngleIncrement, &Self::SetAngleIncrement).Stored(false),
    Prop("AngleValues", &Self::AngleValues), Prop("Brush", &Self::Brush),
    Prop("CircleGradient", &Self::CircleGradient, &Self::SetCircleGradient),
    Prop("CircleLabels", &Self::CircleLabels, &Self::SetCircleLabels).Default(false),
    Prop("CircleLabelsFont", &Self::CircleLabelsFont),
    Prop("CircleLabelsInside", &Self::CircleLabelsInside, &Self::SetCircleLabelsInside)
        .Default(false),
    Prop("CircleLabelsRotated", &Self::CircleLabelsRotated, &Self::SetCircleLabelsRotated)
        .Default(false),
    Prop("CirclePen", &Self::CirclePen),
    Prop("ClockWiseLabels", &Self::ClockWiseLabels, &Self::SetClockWiseLabels).Default(false),
    Prop("CloseCircle", &Self::CloseCircle, &Self::SetCloseCircle).Default(true),
    Prop("Pen", &Self::Pen), Prop("Pointer", &Self::Pointer),
    Prop("RadiusIncrement", &Self::RadiusIncrement, &Self::SetRadiusIncrement).Stored(false),
    Prop("RadiusValues", &Self::RadiusValues).Stored(&Self::IsRadiusStored),
    Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
    Prop("OnGetPointerStyle", &Self::OnGetPointerStyle));
// A radar is always drawn turned to 90 degrees: it holds no rotation of its own
// for a chart file to keep.
QM_PUBLISHED(TRadarSeries,
             Prop("RotationAngle", &Self::RotationAngle, &Self::SetRotationAngle).Stored(false));

namespace {
constexpr double Pi = std::numbers::pi;
int RoundInt(double Value) {
    return SafeInt(std::nearbyint(Value));
}
// Ring and spoke counts beyond this are not drawn (a tiny increment would
// otherwise keep the painter busy for ever).
constexpr double MaxGridSteps = 10000;
} // namespace

// [settings] -----------------------------------------------------------------

TCustomPolarSeries::TCustomPolarSeries(TComponent* AOwner) : TCircledSeries(AOwner) {
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    YValues()->SetName("Radius");
    Brush()->SetStyle(bsClear);
    FCircleLabelsFont = std::make_unique<TTeeFont>(changed);
    FCirclePen = std::make_unique<TChartPen>(changed);
    FPointer = std::make_unique<TSeriesPointer>(this);
}

TCustomPolarSeries::~TCustomPolarSeries() = default;

bool TCustomPolarSeries::IsRadiusStored() const {
    TChartValueList* l = YValues();
    return l->Name() != "Radius" || l->Order() != loNone || l->DateTime() ||
           !l->ValueSource().IsEmpty();
}

void TCustomPolarSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustomPolarSeries*>(Source)) {
        FCircleLabels = s->FCircleLabels;
        FCircleLabelsFont->Assign(s->FCircleLabelsFont.get());
        FCircleLabelsInside = s->FCircleLabelsInside;
        FCircleLabelsRotated = s->FCircleLabelsRotated;
        FCirclePen->Assign(s->FCirclePen.get());
        FClockWiseLabels = s->FClockWiseLabels;
        FCloseCircle = s->FCloseCircle;
        FPointer->Assign(s->FPointer.get());
        FTransparency = s->FTransparency;
    }
    TCircledSeries::Assign(Source);
}

void TCustomPolarSeries::SetParentChart(TCustomAxisPanel* Value) {
    TCircledSeries::SetParentChart(Value);
    if (Value && ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
        Value->SetView3D(false);
}

void TCustomPolarSeries::SetTransparency(TTeeTransparency Value) {
    const auto v = static_cast<TTeeTransparency>(std::clamp<int>(Value, 0, 100));
    if (v == FTransparency) return;
    FTransparency = v;
    Repaint();
}

void TCustomPolarSeries::SetSeriesColor(TColor Value) {
    TCircledSeries::SetSeriesColor(Value);
    if (Brush()->Style() == bsClear) Pen()->SetColor(Value);
}

void TCustomPolarSeries::SetRotationQuiet(int Angle) {
    FRotationAngle = ((Angle % 360) + 360) % 360;
    FRotationRad = FRotationAngle * Pi / 180.0;
}

double TCustomPolarSeries::AngleIncrement() const {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || !GetHorizAxis()) return 10;
    const double inc = GetHorizAxis()->Increment();
    return inc == 0 ? 10 : inc;
}

void TCustomPolarSeries::SetAngleIncrement(double Value) {
    if (ParentChart() && GetHorizAxis()) GetHorizAxis()->SetDesiredIncrement(Value);
}

double TCustomPolarSeries::RadiusIncrement() const {
    return ParentChart() && GetVertAxis() ? GetVertAxis()->Increment() : 0;
}

void TCustomPolarSeries::SetRadiusIncrement(double Value) {
    if (ParentChart() && GetVertAxis()) GetVertAxis()->SetDesiredIncrement(Value);
}

void TCustomPolarSeries::PrepareForGallery(bool IsEnabled) {
    TCircledSeries::PrepareForGallery(IsEnabled);
    SetCircled(true);
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    if (GetHorizAxis()) GetHorizAxis()->SetDesiredIncrement(90);
    chart->SetChart3DPercent(5);
    chart->LeftAxis()->SetLabels(false);
    chart->BottomAxis()->SetLabels(false);
    TView3DOptions* v = chart->View3DOptions();
    v->SetOrthogonal(false);
    v->SetElevation(360);
    v->PresetSample(90);
}

void TCustomPolarSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCircledSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    for (const char* name : {"No Point", "No Line", "Filled", "Labels", "No Border", "No Circle"})
        AddSubChart(name);
}

void TCustomPolarSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TCustomPolarSeries*>(Series);
    if (!s) return;
    switch (Index) {
    case 1:
        s->Pointer()->SetVisible(false);
        break;
    case 2:
        s->Pen()->SetVisible(false);
        break;
    case 3:
        s->Brush()->SetStyle(bsSolid);
        break;
    case 4:
        s->SetCircleLabels(true);
        break;
    case 5:
        s->Pointer()->Pen()->SetVisible(false);
        break;
    case 6:
        s->CirclePen()->SetVisible(false);
        break;
    default:
        TCircledSeries::SetSubGallery(Series, Index);
    }
}

void TCustomPolarSeries::AddSampleValues(int NumValues) {
    if (NumValues < 1) return;
    for (int i = 1; i <= NumValues; ++i)
        AddXY(i * 360.0 / NumValues, 1 + Random(1000));
}

void TCustomPolarSeries::CheckOrder() {
    if (MandatoryValues()->Order() != loNone) MandatoryValues()->Sort();
    Repaint();
}

// [geometry] -----------------------------------------------------------------

double TCustomPolarSeries::RadiusOf(double Value, double ARadius) const {
    TChartAxis* axis = GetVertAxis();
    if (!axis || !std::isfinite(Value)) return -1;
    const double mn = axis->Minimum(), mx = axis->Maximum();
    const double range = mx - mn;
    if (axis->Logarithmic()) {
        if (Value <= 0 || mn <= 0 || mx <= mn) return -1;
        const double d =
            axis->Inverted() ? std::log(mx) - std::log(Value) : std::log(Value) - std::log(mn);
        if (d <= 0) return -1;
        return std::nearbyint(d * ARadius / (std::log(mx) - std::log(mn)));
    }
    const double d = axis->Inverted() ? mx - Value : Value - mn;
    if (range == 0 || !std::isfinite(range) || d < 0) return -1;
    return d * ARadius / range;
}

void TCustomPolarSeries::CalcXYPos(int ValueIndex, double ARadius, int& X, int& Y) {
    const double r = RadiusOf(YValues()->Value(ValueIndex), ARadius);
    const double angle = GetxValue(ValueIndex);
    if (r < 0 || !std::isfinite(angle)) {
        X = CircleCenterX();
        Y = CircleCenterY();
        return;
    }
    AngleToPos(angle * Pi / 180.0, r, r, X, Y);
}

int TCustomPolarSeries::CalcXPos(int ValueIndex) {
    int x, y;
    CalcXYPos(ValueIndex, RadiusX(), x, y);
    return x;
}

int TCustomPolarSeries::CalcYPos(int ValueIndex) {
    int x, y;
    CalcXYPos(ValueIndex, RadiusY(), x, y);
    return y;
}

// Rings sit where points of the same value sit, on logarithmic and inverted
// axes too.
void TCustomPolarSeries::CalcXYRadius(double Value, int& AXRadius, int& AYRadius) {
    const double rx = RadiusOf(Value, RadiusX()), ry = RadiusOf(Value, RadiusY());
    AXRadius = rx < 0 ? 0 : RoundInt(rx);
    AYRadius = ry < 0 ? 0 : RoundInt(ry);
}

int TCustomPolarSeries::Clicked(int X, int Y) {
    return ClickedPointer(FPointer.get(), X, Y);
}

// [grid] ---------------------------------------------------------------------

TCustomPolarSeries* TCustomPolarSeries::FirstOfClass() const {
    return static_cast<TCustomPolarSeries*>(FirstActiveOfClass());
}

bool TCustomPolarSeries::IsLastOfClass() const {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return false;
    for (int i = chart->SeriesCount() - 1; i >= 0; --i) {
        TChartSeries* s = chart->GetSeries(i);
        if (s->Active() && s->ClassType() == ClassType()) return s == this;
    }
    return false;
}

void TCustomPolarSeries::DoBeforeDrawValues() {
    TCustomAxisPanel* chart = ParentChart();
    TCircledSeries::DoBeforeDrawValues();
    if (!chart) return;
    TCustomPolarSeries* first = FirstOfClass();
    TCanvas3D* canvas = chart->Canvas();
    // Every series of the class shares the circle of the one that draws the grid.
    if (first && first->FCircleLabels && !first->FCircleLabelsInside) {
        canvas->AssignFont(first->FCircleLabelsFont.get());
        const int dy = canvas->FontHeight() + 2, dx = canvas->TextWidth("360");
        const TRect saved = chart->ChartRect();
        chart->SetChartRect(
            TRect(saved.Left + dx, saved.Top + dy, saved.Right - dx, saved.Bottom - dy));
        TTeeFinally restore([&] { chart->SetChartRect(saved); });
        TCircledSeries::DoBeforeDrawValues();
    }
    if (first != this) return;

    if (HasBackColor()) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(CalcCircleBackColor());
    } else {
        canvas->Brush()->SetStyle(bsClear);
    }
    if (auto* c = dynamic_cast<TCustomChart*>(chart);
        c && c->HasBackImage() && c->BackImageInside() && c->BackImage()->Graphic()) {
        TRect r = CircleRect();
        r = TRect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
        ClipEllipse(canvas, r);
        canvas->StretchDraw(chart->ChartRect(), c->BackImage()->Graphic());
        UnClipCanvas(canvas);
    }
    canvas->AssignVisiblePen(FCirclePen.get());
    DrawPolarCircle(CircleSizeX() / 2, CircleSizeY() / 2, EndZ());
    if (CircleGradient()->Visible()) DrawCircleGradient();
    if (chart->AxisBehind()) DrawAxis();
}

void TCustomPolarSeries::DoAfterDrawValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (chart && !chart->AxisBehind() && IsLastOfClass()) DrawAxis();
    TCircledSeries::DoAfterDrawValues();
}

void TCustomPolarSeries::DrawPolarCircle(int HalfWidth, int HalfHeight, int Z) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    if (FPolygonSides <= 0) {
        canvas->EllipseWithZ(CircleCenterX() - HalfWidth, CircleCenterY() - HalfHeight,
                             CircleCenterX() + HalfWidth, CircleCenterY() + HalfHeight, Z);
        return;
    }
    std::vector<TPoint> p(static_cast<size_t>(FPolygonSides) + 1);
    const double step = AngleIncrement() * Pi / 180.0;
    for (int i = 0; i <= FPolygonSides; ++i)
        AngleToPos(i * step, HalfWidth, HalfHeight, p[size_t(i)].x, p[size_t(i)].y);
    if (canvas->Brush()->Style() != bsClear)
        for (int i = 0; i < FPolygonSides; ++i)
            FillTriangle(p[size_t(i)], p[size_t(i) + 1], Z);
    canvas->Polyline(p.data(), FPolygonSides, Z);
}

void TCustomPolarSeries::DrawCircleGradient() {
    if (FPolygonSides <= 0) {
        TCircledSeries::DrawCircleGradient();
        return;
    }
    TCanvas3D* canvas = ParentChart()->Canvas();
    std::vector<TPoint> p(static_cast<size_t>(FPolygonSides));
    const double step = AngleIncrement() * Pi / 180.0;
    TRect bounds(CircleCenterX(), CircleCenterY(), CircleCenterX(), CircleCenterY());
    for (int i = 0; i < FPolygonSides; ++i) {
        TPoint& q = p[size_t(i)];
        AngleToPos(i * step, RadiusX(), RadiusY(), q.x, q.y);
        if (ParentChart()->View3D()) q = canvas->Calculate3DPosition(q, EndZ());
        bounds = TRect(std::min<int>(bounds.Left, q.x), std::min<int>(bounds.Top, q.y),
                       std::max<int>(bounds.Right, q.x), std::max<int>(bounds.Bottom, q.y));
    }
    ClipPolygon(canvas, p.data(), FPolygonSides);
    CircleGradient()->Draw(canvas, bounds);
    UnClipCanvas(canvas);
}

void TCustomPolarSeries::DrawRing(double Value, int Z) {
    int xr, yr;
    CalcXYRadius(Value, xr, yr);
    ParentChart()->Canvas()->Brush()->SetStyle(bsClear);
    DrawPolarCircle(xr, yr, Z);
}

void TCustomPolarSeries::DrawZone(double Min, double Max, int Z) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    int ix, iy, ox, oy;
    CalcXYRadius(Min, ix, iy);
    CalcXYRadius(Max, ox, oy);
    const int cx = CircleCenterX(), cy = CircleCenterY();
    TRect inner(cx - ix, cy - iy, cx + ix, cy + iy);
    if (ParentChart()->View3D()) inner = canvas->CalcRect3D(inner, Z);
    TPoint d[2] = {inner.TopLeft(), inner.BottomRight()};
    if (TCanvas* pc = canvas->PlatformCanvas()) pc->LPtoDP(d, 2);
    HRGN all = CreateRectRgn(-32768, -32768, 32767, 32767);
    HRGN hole = CreateEllipticRgnIndirect(TRect(d[0], d[1]));
    CombineRgn(all, all, hole, RGN_XOR);
    DeleteObject(hole);
    canvas->PushClipRegion(all);
    canvas->EllipseWithZ(cx - ox, cy - oy, cx + ox, cy + oy, Z);
    UnClipCanvas(canvas);
}

void TCustomPolarSeries::FillTriangle(const TPoint& P0, const TPoint& P1, int Z) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    const TPenStyle old = canvas->Pen()->Style();
    canvas->Pen()->SetStyle(psClear);
    canvas->TriangleWithZ(P0, P1, TPoint(CircleCenterX(), CircleCenterY()), Z);
    canvas->Pen()->SetStyle(old);
}

AnsiString TCustomPolarSeries::GetCircleLabel(double Angle, int Index) {
    (void)Index;
    double a = Angle;
    if (FClockWiseLabels) a = 360 - a;
    if (a == 360) a = 0;
    return FloatToStr(a) + AnsiString("\xBA");
}

void TCustomPolarSeries::DrawCircleLabel(double Angle, int Index) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    if (Angle >= 360) Angle -= 360;
    const AnsiString text = GetCircleLabel(Angle, Index);
    canvas->AssignFont(FCircleLabelsFont.get());
    const int h = canvas->FontHeight();
    double xr = RadiusX(), yr = RadiusY();
    if (FCircleLabelsInside) {
        xr -= canvas->TextWidth(text);
        yr -= h;
    }
    int x, y;
    AngleToPos(Angle * Pi / 180.0, xr, yr, x, y);
    double a = std::fmod(Angle + RotationAngle(), 360.0);
    if (a < 0) a += 360;
    canvas->SetBackMode(cbmTransparent);
    if (FCircleLabelsRotated) {
        const bool flip = a > 90 && a < 270;
        const double rad = a * Pi / 180.0;
        const int nx = RoundInt(std::sin(rad) * h / 2.0), ny = RoundInt(std::cos(rad) * h / 2.0);
        canvas->SetTextAlign(FCircleLabelsInside != flip ? TA_RIGHT : TA_LEFT);
        canvas->RotateLabel3D(x - nx, y - ny, EndZ(), text, flip ? a + 180 : a);
        return;
    }
    UINT align;
    if (a == 90 || a == 270)
        align = TA_CENTER;
    else if ((a <= 90 || a >= 270) != FCircleLabelsInside)
        align = TA_LEFT;
    else
        align = TA_RIGHT;
    if (a == 90)
        y -= h;
    else if (a != 270)
        y -= h / 2;
    canvas->SetTextAlign(align);
    canvas->TextOut3D(x, y, EndZ(), text);
}

void TCustomPolarSeries::DrawAxis() {
    TCustomAxisPanel* chart = ParentChart();
    TChartAxis* haxis = GetHorizAxis();
    TChartAxis* vaxis = GetVertAxis();
    if (!chart || !haxis || !vaxis) return;
    TCanvas3D* canvas = chart->Canvas();
    const int z = EndZ();
    const auto gridPen = [&](TChartPen* P) {
        canvas->AssignVisiblePen(P);
        if (P->Color() == clAutoColor) canvas->Pen()->SetColor(0x808080);
        canvas->Brush()->SetStyle(bsClear);
        canvas->SetBackMode(cbmTransparent);
    };

    if (haxis->Grid()->Visible() || FCircleLabels) {
        double inc = haxis->Increment();
        if (!(inc > 0) || 360.0 / inc > MaxGridSteps) inc = 10;
        int index = 0;
        for (double a = 0; a < 360; a += inc, ++index) {
            if (FCircleLabels) DrawCircleLabel(a, index);
            if (haxis->Grid()->Visible()) {
                gridPen(haxis->Grid());
                int x, y;
                AngleToPos(a * Pi / 180.0, RadiusX(), RadiusY(), x, y);
                canvas->LineWithZ(CircleCenterX(), CircleCenterY(), x, y, z);
            }
        }
    }

    if (vaxis->Grid()->Visible()) {
        // Measured in the labels' own font, as the axis measures them: the
        // canvas may hold any font here, and the rings would follow it.
        canvas->AssignFont(vaxis->LabelsFont());
        const double inc = vaxis->CalcIncrement();
        const double mn = vaxis->Minimum(), mx = vaxis->Maximum();
        if (inc > 0 && std::fabs(mx / inc) <= 2147483647.0 && (mx - mn) / inc < MaxGridSteps) {
            gridPen(vaxis->Grid());
            double v = vaxis->RoundFirstLabel() ? inc * std::trunc(mx / inc) : mx;
            if (vaxis->LabelsOnAxis()) {
                while (v > mx)
                    v -= inc;
                for (; v >= mn; v -= inc)
                    DrawRing(v, z);
            } else {
                while (v >= mx)
                    v -= inc;
                for (; v > mn; v -= inc)
                    DrawRing(v, z);
            }
        }
    }

    if (!chart->AxisVisible()) return;
    const int cx = CircleCenterX(), cy = CircleCenterY();
    const bool oldInverted = vaxis->Inverted();
    const auto radiusLine = [&](TChartAxis* A) {
        if (!A->Visible()) return;
        const bool inv = A->Inverted();
        A->InternalSetInverted(oldInverted);
        TTeeFinally restore([&] { A->InternalSetInverted(inv); });
        const int t = A->SizeTickAxis();
        canvas->Brush()->SetStyle(bsClear);
        canvas->SetBackMode(cbmTransparent);
        const double inc = vaxis->Increment();
        if (A == chart->LeftAxis())
            A->CustomDrawMinMaxStartEnd(cx - t, cx, cx, false, vaxis->Minimum(), vaxis->Maximum(),
                                        inc, cy - RadiusY(), cy);
        else if (A == chart->RightAxis())
            A->CustomDrawMinMaxStartEnd(cx + t, cx, cx, false, vaxis->Minimum(), vaxis->Maximum(),
                                        inc, cy - RadiusY(), cy);
        else if (A == chart->TopAxis())
            A->CustomDrawMinMaxStartEnd(cy - t, cy, cy, false, vaxis->Minimum(), vaxis->Maximum(),
                                        inc, cx, cx + RadiusX());
        else
            A->CustomDrawMinMaxStartEnd(cy + t, cy, cy, false, vaxis->Minimum(), vaxis->Maximum(),
                                        inc, cx, cx + RadiusX());
    };
    radiusLine(chart->LeftAxis());
    if (FPolygonSides != 0) return;
    radiusLine(chart->RightAxis());
    radiusLine(chart->TopAxis());
    radiusLine(chart->BottomAxis());
}

// [values] -------------------------------------------------------------------

void TCustomPolarSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    const int z = StartZ();
    const TPoint p(CalcXPos(ValueIndex), CalcYPos(ValueIndex));
    const TColor color = GetValueColor(ValueIndex);
    const auto preparePen = [&](TColor C) {
        if (Pen()->Visible())
            canvas->AssignVisiblePenColor(Pen(),
                                          Pen()->Color() == clAutoColor ? C : Pen()->Color());
        else
            canvas->Pen()->SetStyle(psClear);
        canvas->SetBackMode(cbmTransparent);
    };
    const auto segment = [&](const TPoint& From, const TPoint& To, TColor C) {
        if (Brush()->Style() != bsClear) {
            canvas->AssignBrush(Brush(), C);
            TTeeBlend* blend = nullptr;
            if (FTransparency > 0) {
                TPoint a = From, b = To, c(CircleCenterX(), CircleCenterY());
                if (chart->View3D()) {
                    a = canvas->Calculate3DPosition(a, z);
                    b = canvas->Calculate3DPosition(b, z);
                    c = canvas->Calculate3DPosition(c, z);
                }
                blend = canvas->BeginBlending(
                    TRect(std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}),
                          std::max({a.x, b.x, c.x}) + 1, std::max({a.y, b.y, c.y}) + 1),
                    FTransparency);
            }
            FillTriangle(From, To, z);
            if (blend) canvas->EndBlending(blend);
        }
        preparePen(C);
        canvas->LineWithZ(From, To, z);
    };
    if (ValueIndex == FirstVisibleIndex()) {
        preparePen(color);
        canvas->MoveTo3D(p.x, p.y, z);
        FFirst = p;
    } else if (p != FOld) {
        segment(FOld, p, color);
    }
    if (ValueIndex == LastVisibleIndex() && FCloseCircle && p != FFirst) {
        const TColor c = ColorEachPoint() && Brush()->Style() != bsClear
                             ? GetValueColor(FirstVisibleIndex())
                             : color;
        segment(p, FFirst, c);
    }
    FOld = p;
}

void TCustomPolarSeries::DrawAllValues() {
    TCircledSeries::DrawAllValues();
    if (!FPointer->Visible() || FirstVisibleIndex() < 0) return;
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    const int last = std::min(LastVisibleIndex(), Count() - 1);
    for (int i = FirstVisibleIndex(); i <= last; ++i) {
        const TColor color = GetValueColor(i);
        const TSeriesPointerStyle style =
            OnGetPointerStyle ? OnGetPointerStyle(this, i) : FPointer->Style();
        FPointer->PrepareCanvas(canvas, color);
        FPointer->DrawPointer(canvas, chart->View3D(), CalcXPos(i), CalcYPos(i),
                              FPointer->HorizSize(), FPointer->VertSize(), color, style);
    }
}

void TCustomPolarSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    const TColor c = ValueIndex == -1 ? SeriesColor() : GetValueColor(ValueIndex);
    if (!Pen()->Visible() && !FPointer->Visible()) {
        TCircledSeries::DrawLegendShape(ValueIndex, Rect);
        return;
    }
    if (Pen()->Visible()) {
        TCanvas3D* canvas = ParentChart()->Canvas();
        canvas->AssignVisiblePenColor(Pen(), Pen()->Color() == clAutoColor ? c : Pen()->Color());
        const int y = (Rect.Top + Rect.Bottom) / 2;
        canvas->DoHorizLine(Rect.Left, Rect.Right, y);
    }
    if (FPointer->Visible()) TeePointerDrawLegend(FPointer.get(), c, Rect, Pen()->Visible());
}

void TCustomPolarSeries::DrawMark(int ValueIndex, const AnsiString& St,
                                  TSeriesMarkPosition* APosition) {
    Marks()->ApplyArrowLength(*APosition);
    TCircledSeries::DrawMark(ValueIndex, St, APosition);
}

// [radar] --------------------------------------------------------------------

TRadarSeries::TRadarSeries(TComponent* AOwner) : TCustomPolarSeries(AOwner) {
    SetRotationQuiet(90);
}

void TRadarSeries::DoBeforeDrawChart() {
    TCustomPolarSeries::DoBeforeDrawChart();
    SetRotationQuiet(90);
    FPolygonSides = 0;
    if (TCustomAxisPanel* chart = ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            FPolygonSides = std::max(FPolygonSides, chart->GetSeries(i)->Count());
    if (FPolygonSides > 0 && GetHorizAxis() && AngleIncrement() != 360.0 / FPolygonSides)
        GetHorizAxis()->SetDesiredIncrement(360.0 / FPolygonSides);
}

double TRadarSeries::GetxValue(int Index) {
    if (FPolygonSides < 1) return 0;
    const int i = FClockWiseLabels ? Count() - 1 - Index : Index;
    return 360.0 / FPolygonSides * i;
}

AnsiString TRadarSeries::GetCircleLabel(double Angle, int Index) {
    (void)Angle;
    const int i = FClockWiseLabels ? Count() - 1 - Index : Index;
    const AnsiString label = i >= 0 && i < Count() ? GetXLabel(i) : AnsiString();
    return label.IsEmpty() ? IntToStr(i) : label;
}

void TRadarSeries::AddSampleValues(int NumValues) {
    static const char* const names[] = {"Cars", "Phones", "Tables", "Monitors", "Lamps"};
    for (int i = 0; i < NumValues; ++i)
        Add(Random(1000), names[i % 5]);
}

void TRadarSeries::PrepareForGallery(bool IsEnabled) {
    TCallOut held{this};
    TCustomPolarSeries::PrepareForGallery(IsEnabled);
    if (held.Gone()) return;
    FillSampleValues(NumSampleValues());
}
