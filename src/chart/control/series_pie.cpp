// Circled series and pie series.
//   [circle]   circle rectangle, radii, angles, the fixed pie view
//   [slices]   exploded slices, the other slice, settings and gallery
//   [drawing]  angles, slice order, slices, marks
//   [clicks]   hit test and legend items
#include "chart/control/series.h"
#include "chart/control/chart.h"
#include "chart/control/teelegend.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teeprocs.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <numbers>

QM_CLASS_ABSTRACT(TCircledSeries, TChartSeries)
QM_CLASS_OWNED(TPieSeries, TCircledSeries, TComponent)
QM_CLASS_PLAIN(TPieOtherSlice, TPersistent)
QM_CLASS_PLAIN(TPieShadow, TTeeShadow)

QM_PUBLISHED(TCircledSeries,
             Prop("CircleBackColor", &Self::CircleBackColor, &Self::SetCircleBackColor)
                 .Default(clAutoColor)
                 .Idents("TColor"),
             Prop("Circled", &Self::Circled, &Self::SetCircled).Default(false),
             Prop("CustomXRadius", &Self::CustomXRadius, &Self::SetCustomXRadius).Default(0),
             Prop("CustomYRadius", &Self::CustomYRadius, &Self::SetCustomYRadius).Default(0),
             Prop("RotationAngle", &Self::RotationAngle, &Self::SetRotationAngle).Default(0));
QM_PUBLISHED(TPieOtherSlice,
             Prop("Color", &Self::Color, &Self::SetColor).Default(clAutoColor).Idents("TColor"),
             Prop("Legend", &Self::Legend, &Self::SetLegend).Stored(&Self::IsLegendStored),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(poNone),
             Prop("Text", &Self::Text, &Self::SetText).Stored(&Self::IsTextStored),
             Prop("Value", &Self::Value, &Self::SetValue));
QM_PUBLISHED(
    TPieSeries, Prop("AngleSize", &Self::AngleSize, &Self::SetAngleSize).Default(360),
    Prop("AutoMarkPosition", &Self::AutoMarkPosition, &Self::SetAutoMarkPosition).Default(true),
    Prop("ColorEachPoint", &Self::ColorEachPoint, &Self::SetColorEachPoint).Default(true),
    Prop("Dark3D", &Self::Dark3D, &Self::SetDark3D).Default(true),
    Prop("DarkPen", &Self::DarkPen, &Self::SetDarkPen).Default(false),
    Prop("ExplodeBiggest", &Self::ExplodeBiggest, &Self::SetExplodeBiggest).Default(0),
    Prop("OtherSlice", &Self::OtherSlice), Prop("PiePen", &Self::PiePen),
    Prop("PieValues", &Self::PieValues), Prop("Shadow", &Self::Shadow),
    Prop("UsePatterns", &Self::UsePatterns, &Self::SetUsePatterns).Default(false));

namespace {
constexpr double Pi = std::numbers::pi;
// The X value that marks the point made for the other slice.
constexpr double OtherSliceX = 2147483647.0;
int Nearest(double Value) {
    return SafeInt(std::nearbyint(Value));
}
} // namespace

// [circle] -------------------------------------------------------------------

TCircledSeries::TCircledSeries(TComponent* AOwner) : TChartSeries(AOwner) {
    SetUseVisibleRange(false);
    XValues()->SetName(TeeMsg_ValuesAngle);
    FCircleGradient =
        std::make_unique<TTeeGradient>([this](TObject* Sender) { CanvasChanged(Sender); });
}

TCircledSeries::~TCircledSeries() {
    SetParentProperties(false);
}

void TCircledSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCircledSeries*>(Source)) {
        FCircleBackColor = s->FCircleBackColor;
        FCircled = s->FCircled;
        FCircleGradient->Assign(s->FCircleGradient.get());
        FCustomXRadius = s->FCustomXRadius;
        FCustomYRadius = s->FCustomYRadius;
        FRotationAngle = s->FRotationAngle;
        FRotationRad = s->FRotationRad;
    }
    TChartSeries::Assign(Source);
}

int TCircledSeries::ClickedPointer(TSeriesPointer* Pointer, int X, int Y) {
    const int base = TCircledSeries::Clicked(X, Y);
    TCustomAxisPanel* chart = ParentChart();
    if (base != -1 || !chart || !Pointer->Visible()) return base;
    int mx = X, my = Y;
    chart->Canvas()->Calculate2DPosition(mx, my, StartZ());
    for (int i = FirstVisibleIndex(); i >= 0 && i <= LastVisibleIndex() && i < Count(); ++i)
        if (std::abs(CalcXPos(i) - mx) < Pointer->HorizSize() &&
            std::abs(CalcYPos(i) - my) < Pointer->VertSize())
            return i;
    return -1;
}

TCircledSeries* TCircledSeries::FirstActiveOfClass() const {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return nullptr;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* s = chart->GetSeries(i);
        if (s->Active() && s->ClassType() == ClassType()) return static_cast<TCircledSeries*>(s);
    }
    return nullptr;
}

bool TCircledSeries::OnFullRotationCanvas() const {
    return ParentChart() && ParentChart()->Canvas()->SupportsFullRotation();
}

// While a circled series is active its chart shows the fixed pie view; the
// chart's own view comes back when the series leaves or is switched off.
void TCircledSeries::SetParentProperties(bool EnableParentProps) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || chart->ComponentState().Contains(csDestroying)) return;
    TView3DOptions* view = chart->View3DOptions();
    if (EnableParentProps) {
        if (FOld3DOptions || OnFullRotationCanvas()) return;
        FOld3DOptions = std::make_unique<TView3DOptions>();
        FOld3DOptions->Assign(view);
        view->SetOrthogonal(false);
        view->SetRotation(360);
        view->SetElevation(315);
        view->SetPerspective(0);
        view->SetTilt(0);
    } else if (FOld3DOptions) {
        view->Assign(FOld3DOptions.get());
        FOld3DOptions.reset();
    }
}

void TCircledSeries::SetParentChart(TCustomAxisPanel* Value) {
    if (Value != ParentChart()) SetParentProperties(false);
    TChartSeries::SetParentChart(Value);
    if (Value && Active()) SetParentProperties(true);
}

void TCircledSeries::SetActive(bool Value) {
    TChartSeries::SetActive(Value);
    SetParentProperties(Value);
}

void TCircledSeries::SetRotationAngle(int Value) {
    SetIntegerProperty(FRotationAngle, ((Value % 360) + 360) % 360);
    FRotationRad = FRotationAngle * Pi / 180.0;
}

void TCircledSeries::Rotate(int Angle) {
    SetRotationAngle((FRotationAngle + Angle) % 360);
}

void TCircledSeries::SetCircled(bool Value) {
    SetBooleanProperty(FCircled, Value);
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        auto* s = dynamic_cast<TCircledSeries*>(chart->GetSeries(i));
        if (!s || s == this || !InheritsFrom(s->ClassType())) continue;
        s->FCircled = Value;
        if (!s->ComponentState().Contains(csLoading)) {
            s->FCustomXRadius = 0;
            s->FCustomYRadius = 0;
        }
    }
}

void TCircledSeries::SetCustomXRadius(int Value) {
    SetIntegerProperty(FCustomXRadius, Value);
    if (TCustomAxisPanel* chart = ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            if (auto* s = dynamic_cast<TCircledSeries*>(chart->GetSeries(i));
                s && InheritsFrom(s->ClassType()))
                s->FCustomXRadius = Value;
}

void TCircledSeries::SetCustomYRadius(int Value) {
    SetIntegerProperty(FCustomYRadius, Value);
    if (TCustomAxisPanel* chart = ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            if (auto* s = dynamic_cast<TCircledSeries*>(chart->GetSeries(i));
                s && InheritsFrom(s->ClassType()))
                s->FCustomYRadius = Value;
}

void TCircledSeries::AngleToPos(double Angle, double AXRadius, double AYRadius, int& X,
                                int& Y) const {
    const double a = FRotationRad + Angle;
    X = FCircleCenterX + Nearest(std::cos(a) * AXRadius);
    Y = FCircleCenterY - Nearest(std::sin(a) * AYRadius);
}

double TCircledSeries::PointToAngle(int X, int Y) const {
    double result;
    if (X == FCircleCenterX) {
        result = Y <= FCircleCenterY ? Pi / 2 : -Pi / 2;
    } else if (FRadiusX == 0 || FRadiusY == 0) {
        result = 0;
    } else {
        result = std::atan2(double(FCircleCenterY - Y) / FRadiusY,
                            double(X - FCircleCenterX) / FRadiusX);
    }
    if (result < 0) result += 2 * Pi;
    result -= FRotationRad;
    if (result < 0) result += 2 * Pi;
    return result;
}

bool TCircledSeries::HasBackColor() const {
    return FCircleBackColor != clAutoColor && FCircleBackColor != clNone;
}

TColor TCircledSeries::CalcCircleBackColor() {
    TColor result = FCircleBackColor;
    TCustomAxisPanel* chart = ParentChart();
    if (result != clAutoColor || !chart) return result;
    if (chart->Printing()) return clWhite;
    if (auto* c = dynamic_cast<TCustomChart*>(chart); c && !c->BackWall()->Transparent())
        result = c->BackWall()->Color();
    return result == clAutoColor ? chart->Color() : result;
}

void TCircledSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor,
                                         TBrushStyle& BrushStyle) {
    (void)ValueIndex, (void)BrushStyle;
    BackColor = CalcCircleBackColor();
}

void TCircledSeries::DrawCircleGradient() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || (chart->View3D() && !chart->View3DOptions()->Orthogonal())) return;
    TRect r(FCircleCenterX + 1 - FCircleSizeX / 2, FCircleCenterY + 1 - FCircleSizeY / 2, 0, 0);
    r.Right = r.Left + FCircleSizeX;
    r.Bottom = r.Top + FCircleSizeY;
    TCanvas3D* canvas = chart->Canvas();
    if (chart->View3D()) r = canvas->CalcRect3D(r, EndZ());
    ClipEllipse(canvas, r);
    FCircleGradient->Draw(canvas, r);
    UnClipCanvas(canvas);
}

void TCircledSeries::AdjustCircleRect() {
    TRect& r = FCircleRect;
    if ((r.Right - r.Left) % 2 != 0) --r.Right;
    if ((r.Bottom - r.Top) % 2 != 0) --r.Bottom;
    if (r.Right - r.Left < 4) r.Right = r.Left + 4;
    if (r.Bottom - r.Top < 4) r.Bottom = r.Top + 4;
    FCircleSizeX = r.Right - r.Left;
    FCircleSizeY = r.Bottom - r.Top;
    RectCenter(r, FCircleCenterX, FCircleCenterY);
}

void TCircledSeries::CalcRadius() {
    if (FCustomXRadius != 0) {
        FRadiusX = FCustomXRadius;
        FCircleSizeX = 2 * FCustomXRadius;
    } else {
        FRadiusX = FCircleSizeX / 2;
    }
    if (FCustomYRadius != 0) {
        FRadiusY = FCustomYRadius;
        FCircleSizeY = 2 * FCustomYRadius;
    } else {
        FRadiusY = FCircleSizeY / 2;
    }
    FCircleRect = TRect(FCircleCenterX - FRadiusX, FCircleCenterY - FRadiusY,
                        FCircleCenterX + FRadiusX, FCircleCenterY + FRadiusY);
}

void TCircledSeries::DoBeforeDrawValues() {
    TChartSeries::DoBeforeDrawValues();
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    FCircleRect = chart->ChartRect();
    AdjustCircleRect();
    if (Marks()->Visible()) {
        int l = Marks()->Callout()->Length();
        if (Marks()->Pen()->Visible()) l += 2 * Marks()->Pen()->Width();
        canvas->AssignFont(Marks()->Font());
        const int dy = canvas->FontHeight() + l;
        const int dx = canvas->TextWidth("W") + chart->MaxMarkWidth() + l;
        FCircleRect = TRect(FCircleRect.Left + dx, FCircleRect.Top + dy, FCircleRect.Right - dx,
                            FCircleRect.Bottom - dy);
        AdjustCircleRect();
    } else {
        // Circles without marks line up with the first related one that has them.
        const int self = chart->SeriesList()->IndexOf(this);
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            auto* s = dynamic_cast<TCircledSeries*>(chart->GetSeries(i));
            if (!s || s == this || !InheritsFrom(s->ClassType()) || !s->Marks()->Visible())
                continue;
            if (i > self) s->DoBeforeDrawValues();
            FCircleRect = s->FCircleRect;
            AdjustCircleRect();
            CalcRadius();
            break;
        }
    }
    if (FCircled) {
        // Screen and devices here have square pixels: a circle has equal radii.
        const double ratio = 1.0;
        CalcRadius();
        if (FRadiusX > Nearest(FRadiusY * ratio)) {
            const int d = FRadiusX - Nearest(FRadiusY * ratio);
            FCircleRect.Left += d;
            FCircleRect.Right -= d;
        } else {
            const int d = FRadiusY - Nearest(FRadiusX / ratio);
            FCircleRect.Top += d;
            FCircleRect.Bottom -= d;
        }
        AdjustCircleRect();
    }
    CalcRadius();
}

// [slices] -------------------------------------------------------------------

int TExplodedSlices::Get(int Index) const {
    return Index >= 0 && Index < Count() ? FItems[static_cast<size_t>(Index)] : 0;
}

void TExplodedSlices::Put(int Index, int Value) {
    if (Index < 0) return;
    Grow(Index + 1);
    int& item = FItems[static_cast<size_t>(Index)];
    if (item == Value) return;
    item = Value;
    if (FOwner) FOwner->Repaint();
}

void TExplodedSlices::Grow(int ACount) {
    if (ACount > Count()) FItems.resize(static_cast<size_t>(ACount), 0);
}

void TExplodedSlices::Exchange(int a, int b) {
    Grow(std::max(a, b) + 1);
    std::swap(FItems[static_cast<size_t>(a)], FItems[static_cast<size_t>(b)]);
}

TPieOtherSlice::TPieOtherSlice(TPieSeries* AOwner) : FOwner(AOwner) {}
TPieOtherSlice::~TPieOtherSlice() = default;

TPersistent* TPieOtherSlice::GetOwner() {
    return FOwner;
}

void TPieOtherSlice::Changed() {
    if (FOwner) FOwner->Repaint();
}

void TPieOtherSlice::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TPieOtherSlice*>(Source)) {
        FColor = s->FColor;
        FStyle = s->FStyle;
        FText = s->FText;
        FValue = s->FValue;
        if (s->FLegend)
            SetLegend(s->FLegend.get());
        else
            FLegend.reset();
        return;
    }
    TPersistent::Assign(Source);
}

TChartLegend* TPieOtherSlice::Legend() {
    if (!FLegend) {
        FLegend = std::make_unique<TChartLegend>(FOwner ? FOwner->ParentChart() : nullptr);
        FLegend->SetVisible(false);
        FLegend->SetLegendStyle(lsValues);
        FLegend->SetSeries(FOwner);
    }
    return FLegend.get();
}

void TPieOtherSlice::SetLegend(TChartLegend* Value) {
    Legend()->Assign(Value);
    FLegend->SetSeries(FOwner);
}

void TPieOtherSlice::DrawLegend() {
    if (!FLegend || !FLegend->Visible() || !FOwner) return;
    auto* chart = dynamic_cast<TCustomChart*>(FOwner->ParentChart());
    if (!chart) return;
    // Made before the pie had this chart: move the settings to one that draws there.
    if (FLegend->ParentChart() != chart) {
        auto moved = std::make_unique<TChartLegend>(chart);
        moved->Assign(FLegend.get());
        moved->SetSeries(FOwner);
        FLegend = std::move(moved);
    }
    // Drawn after the series: the room it takes must not move the plotting area.
    const TRect chartRect = chart->ChartRect();
    FOwner->DrawingOtherLegend = true;
    TTeeFinally restore([&] {
        FOwner->DrawingOtherLegend = false;
        chart->SetChartRect(chartRect);
    });
    FLegend->DrawLegend();
}

AnsiString TPieOtherSlice::Text() const {
    return FText.IsEmpty() ? TeeMsg_PieOther : FText;
}

void TPieOtherSlice::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TPieOtherSlice::SetStyle(TPieOtherStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TPieOtherSlice::SetText(const AnsiString& Value) {
    if (Value == FText) return;
    FText = Value;
    Changed();
}

void TPieOtherSlice::SetValue(double Value) {
    if (Value == FValue) return;
    FValue = Value;
    Changed();
}

TPieShadow::TPieShadow(TNotifyEvent ChangedEvent) : TTeeShadow(std::move(ChangedEvent)) {
    SetDefaults(0xA0A0A0, 0);
}

TPieSeries::TPieSeries(TComponent* AOwner) : TCircledSeries(AOwner) {
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FOtherSlice = std::make_unique<TPieOtherSlice>(this);
    FShadow = std::make_unique<TPieShadow>(changed);
    XValues()->SetName("");
    YValues()->SetName(TeeMsg_ValuesPie);
    Marks()->SetVisible(true);
    Marks()->Callout()->SetLength(8);
    SetColorEachPoint(true);
}

TPieSeries::~TPieSeries() = default;

void TPieSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TPieSeries*>(Source)) {
        FAngleSize = s->FAngleSize;
        FAutoMarkPosition = s->FAutoMarkPosition;
        FDark3D = s->FDark3D;
        FDarkPen = s->FDarkPen;
        FDonutPercent = s->FDonutPercent;
        FExplodeBiggest = s->FExplodeBiggest;
        FOtherSlice->Assign(s->FOtherSlice.get());
        FShadow->Assign(s->FShadow.get());
        FUsePatterns = s->FUsePatterns;
    }
    TCircledSeries::Assign(Source);
}

void TPieSeries::SetParentChart(TCustomAxisPanel* Value) {
    TCircledSeries::SetParentChart(Value);
}

void TPieSeries::SetExplodeBiggest(int Value) {
    SetIntegerProperty(FExplodeBiggest, Value);
    CalcExplodeBiggest();
}

void TPieSeries::CalcExplodeBiggest() {
    if (Count() == 0) return;
    const int biggest = PieValues()->Locate(PieValues()->MaxValue());
    if (biggest >= 0) FExplodedSlice.Put(biggest, FExplodeBiggest);
}

bool TPieSeries::BelongsToOtherSlice(int ValueIndex) {
    return XValues()->Value(ValueIndex) == -1;
}

int TPieSeries::GroupedCount() {
    int n = 0;
    for (int i = 0; i < Count(); ++i)
        if (BelongsToOtherSlice(i)) ++n;
    return n;
}

void TPieSeries::RemoveOtherSlice() {
    for (int i = 0; i < Count(); ++i)
        if (XValues()->Value(i) == OtherSliceX) {
            Delete(i);
            return;
        }
}

void TPieSeries::DoBeforeDrawChart() {
    TCircledSeries::DoBeforeDrawChart();
    if (PieValues()->Order() != loNone) PieValues()->Sort();
    RemoveOtherSlice();
    XValues()->FillSequence();
    if (FOtherSlice->Style() == poNone) return;
    const double total = PieValues()->TotalABS();
    if (total <= 0) return;
    double sum = 0;
    bool any = false;
    for (int i = 0; i < Count(); ++i) {
        double v = PieValues()->Value(i);
        if (FOtherSlice->Style() == poBelowPercent) v = v * 100.0 / total;
        if (v < FOtherSlice->Value()) {
            sum += PieValues()->Value(i);
            XValues()->SetValue(i, -1);
            any = true;
        }
    }
    if (any) AddXY(OtherSliceX, sum, FOtherSlice->Text(), FOtherSlice->Color());
}

void TPieSeries::WriteData(TStream* Stream) {
    // The other slice is made again at every drawing; it is never stored, nor
    // the mark of the slices it groups (an X of -1 would be read back first).
    RemoveOtherSlice();
    XValues()->FillSequence();
    TCircledSeries::WriteData(Stream);
}

void TPieSeries::ClearLists() {
    TCircledSeries::ClearLists();
    FExplodedSlice.Clear();
}

void TPieSeries::SwapValueIndex(int a, int b) {
    TCircledSeries::SwapValueIndex(a, b);
    FExplodedSlice.Grow(Count());
    FExplodedSlice.Exchange(a, b);
}

void TPieSeries::CheckOrder() {
    XValues()->SetOrder(loAscending);
    Repaint();
}

int TPieSeries::CalcXPos(int ValueIndex) {
    if (XValues()->Value(ValueIndex) == OtherSliceX) return 0;
    return TCircledSeries::CalcXPos(ValueIndex);
}

double TPieSeries::MaxXValue() {
    return GetHorizAxis() ? GetHorizAxis()->Maximum() : 0;
}
double TPieSeries::MinXValue() {
    return GetHorizAxis() ? GetHorizAxis()->Minimum() : 0;
}
double TPieSeries::MaxYValue() {
    return GetVertAxis() ? GetVertAxis()->Maximum() : 0;
}
double TPieSeries::MinYValue() {
    return GetVertAxis() ? GetVertAxis()->Minimum() : 0;
}

void TPieSeries::PreparePiePen(int ValueIndex) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    if (FDarkPen)
        canvas->AssignVisiblePenColor(PiePen(),
                                      ApplyDark(ValueColor(ValueIndex), DarkerColorQuantity));
    else
        canvas->AssignVisiblePen(PiePen());
}

TBrushStyle TPieSeries::SliceBrushStyle(int ValueIndex) {
    static constexpr TBrushStyle patterns[6] = {bsHorizontal, bsVertical, bsFDiagonal,
                                                bsBDiagonal,  bsCross,    bsDiagCross};
    const bool mono = ParentChart() && ParentChart()->Monochrome();
    if (!FUsePatterns && !mono) return bsSolid;
    return patterns[ValueIndex % 6];
}

void TPieSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) {
    TCircledSeries::PrepareLegendCanvas(ValueIndex, BackColor, BrushStyle);
    if (ValueIndex >= 0 && ParentChart()) {
        PreparePiePen(ValueIndex);
        BrushStyle = SliceBrushStyle(ValueIndex);
    }
}

void TPieSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCircledSeries::CreateSubGallery(AddSubChart);
    for (const AnsiString* t : {&TeeMsg_Patterns, &TeeMsg_Exploded, &TeeMsg_Shadow, &TeeMsg_Marks,
                                &TeeMsg_SemiPie, &TeeMsg_NoBorder, &TeeMsg_DarkPen})
        AddSubChart(*t);
}

void TPieSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TPieSeries*>(Series);
    if (!s) return;
    switch (Index) {
    case 1:
        s->SetUsePatterns(true);
        break;
    case 2:
        s->SetExplodeBiggest(30);
        break;
    case 3:
        s->Shadow()->SetHorizSize(10);
        s->Shadow()->SetVertSize(10);
        break;
    case 4:
        s->Marks()->SetVisible(true);
        s->Clear();
        s->Add(30, "A");
        s->Add(70, "B");
        break;
    case 5:
        s->SetAngleSize(180);
        break;
    case 6:
        s->PiePen()->SetVisible(false);
        break;
    case 7:
        s->SetDarkPen(true);
        break;
    default:
        TCircledSeries::SetSubGallery(Series, Index);
    }
}

void TPieSeries::DisableRotation() {
    if (TCustomAxisPanel* chart = ParentChart()) {
        chart->View3DOptions()->SetOrthogonal(false);
        chart->View3DOptions()->SetRotation(0);
        chart->View3DOptions()->SetElevation(305);
    }
}

void TPieSeries::PrepareForGallery(bool IsEnabled) {
    TCircledSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(8);
    if (TCustomAxisPanel* chart = ParentChart()) chart->SetChart3DPercent(75);
    Marks()->Callout()->SetLength(0);
    Marks()->SetDrawEvery(1);
    DisableRotation();
    SetColorEachPoint(true);
}

void TPieSeries::GalleryChanged3D(bool Is3D) {
    TCircledSeries::GalleryChanged3D(Is3D);
    DisableRotation();
    SetCircled(!Is3D);
}

void TPieSeries::AddSampleValues(int NumValues) {
    static const AnsiString* const labels[8] = {
        &TeeMsg_PieSample1, &TeeMsg_PieSample2, &TeeMsg_PieSample3, &TeeMsg_PieSample4,
        &TeeMsg_PieSample5, &TeeMsg_PieSample6, &TeeMsg_PieSample7, &TeeMsg_PieSample8};
    for (int i = 0; i < NumValues; ++i)
        Add(Random(1000) + 1, *labels[i % 8]);
}

// [drawing] ------------------------------------------------------------------

void TPieSeries::CalcAngles() {
    const int n = Count();
    FAngles.assign(static_cast<size_t>(n), TPieAngle());
    const double a = FAngleSize * Pi / 180.0;
    // The grouped slices count once: through the other slice's point.
    double t = 0;
    for (int i = 0; i < n; ++i)
        if (!BelongsToOtherSlice(i)) t += std::fabs(PieValues()->Value(i));
    const double f = t == 0 ? 0 : a / t;
    double s = 0, prevEnd = 0;
    for (int i = 0; i < n; ++i) {
        TPieAngle& angle = FAngles[static_cast<size_t>(i)];
        angle.StartAngle = prevEnd;
        if (t == 0) {
            angle.EndAngle = a;
        } else {
            if (!BelongsToOtherSlice(i)) s += std::fabs(PieValues()->Value(i));
            angle.EndAngle = s == t ? a : s * f;
        }
        angle.EndAngle = std::min(angle.EndAngle, angle.StartAngle + a);
        angle.MidAngle = (angle.StartAngle + angle.EndAngle) / 2;
        prevEnd = angle.EndAngle;
    }
}

void TPieSeries::CalcExplodedOffset(int ValueIndex, int& OffsetX, int& OffsetY) {
    OffsetX = 0;
    OffsetY = 0;
    const int e = FExplodedSlice.Get(ValueIndex);
    if (!FIsExploded || e <= 0 || ValueIndex >= static_cast<int>(FAngles.size())) return;
    double a = FAngles[static_cast<size_t>(ValueIndex)].MidAngle;
    if (OnFullRotationCanvas()) a += Pi + FAngleSize * Pi / 45.0;
    OffsetX = Nearest(FRadiusX * e * 0.01 * std::cos(a + FRotationRad));
    OffsetY = Nearest(FRadiusY * e * 0.01 * std::sin(a + FRotationRad));
}

void TPieSeries::CalcExplodedRadius(int ValueIndex, int& AXRadius, int& AYRadius) {
    const int e = FExplodedSlice.Get(ValueIndex);
    AXRadius = Nearest(FRadiusX * (1 + e * 0.01));
    AYRadius = Nearest(FRadiusY * (1 + e * 0.01));
}

int TPieSeries::CompareSlice(int a, int b) const {
    const double whole = FAngleSize * Pi / 180.0;
    const double q = whole / 4;
    const auto key = [&](int i) {
        double angle = FAngles[static_cast<size_t>(i)].MidAngle + FRotationRad;
        if (angle > whole) angle -= whole;
        angle = angle <= q ? q - angle : angle - q;
        if (angle > Pi) angle = whole - angle;
        return angle;
    };
    const double ka = key(FSortedSlice[static_cast<size_t>(a)]);
    const double kb = key(FSortedSlice[static_cast<size_t>(b)]);
    return ka < kb ? -1 : ka > kb ? 1 : 0;
}

void TPieSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    if (FExplodeBiggest > 0) CalcExplodeBiggest();
    int maxExplode = 0, maxIndex = -1;
    for (int i = 0; i < FExplodedSlice.Count() && i < Count(); ++i)
        if (FExplodedSlice.Get(i) > maxExplode) {
            maxExplode = FExplodedSlice.Get(i);
            maxIndex = i;
        }
    CalcAngles();
    FIsExploded = maxIndex >= 0;
    if (FIsExploded) {
        int dx, dy;
        CalcExplodedOffset(maxIndex, dx, dy);
        FCircleRect =
            TRect(FCircleRect.Left + std::abs(dx) / 2, FCircleRect.Top + std::abs(dy) / 2,
                  FCircleRect.Right - std::abs(dx) / 2, FCircleRect.Bottom - std::abs(dy) / 2);
        AdjustCircleRect();
        CalcRadius();
    }
    AngleToPos(0, FRadiusX, FRadiusY, FPrevEnd.x, FPrevEnd.y);
    if (FShadow->Size() > 0 || FShadow->HorizSize() != 0 || FShadow->VertSize() != 0)
        FShadow->DrawEllipse(canvas, FCircleRect, EndZ() - 10);
    if (chart->View3D() && (FIsExploded || FDonutPercent > 0) && !canvas->SupportsFullRotation()) {
        const int n = Count();
        FSortedSlice.resize(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            FSortedSlice[static_cast<size_t>(i)] = i;
        TeeSort(
            0, n - 1, [this](int a, int b) { return CompareSlice(a, b); },
            [this](int a, int b) {
                std::swap(FSortedSlice[static_cast<size_t>(a)],
                          FSortedSlice[static_cast<size_t>(b)]);
            });
        for (int i : FSortedSlice)
            DrawValue(i);
    } else {
        TCircledSeries::DrawAllValues();
    }
    FOtherSlice->DrawLegend();
}

void TPieSeries::DrawValue(int ValueIndex) {
    if (FCircleSizeX <= 4 || FCircleSizeY <= 4 || BelongsToOtherSlice(ValueIndex)) return;
    TCustomAxisPanel* chart = ParentChart();
    Brush()->SetStyle(SliceBrushStyle(ValueIndex));
    const TColor color = chart->Monochrome() ? clBlack : ValueColor(ValueIndex);
    chart->SetBrushCanvas(color, Brush(), CalcCircleBackColor());
    PreparePiePen(ValueIndex);
    DrawPie(ValueIndex);
}

void TPieSeries::DrawPie(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* canvas = chart->Canvas();
    int dx, dy;
    CalcExplodedOffset(ValueIndex, dx, dy);
    const TPieAngle& a = FAngles[static_cast<size_t>(ValueIndex)];
    if (chart->View3D()) {
        canvas->Pie3D(FCircleCenterX + dx, FCircleCenterY - dy, FRadiusX, FRadiusY, StartZ(),
                      EndZ(), a.StartAngle + FRotationRad, a.EndAngle + FRotationRad, FDark3D,
                      FIsExploded, FDonutPercent);
    } else if (FDonutPercent > 0) {
        canvas->Donut(FCircleCenterX + dx, FCircleCenterY - dy, FRadiusX, FRadiusY,
                      a.StartAngle + FRotationRad, a.EndAngle + FRotationRad, FDonutPercent);
    } else {
        TPoint end;
        AngleToPos(a.EndAngle, FRadiusX, FRadiusY, end.x, end.y);
        if (end == FPrevEnd && Count() > 1 && a.EndAngle - a.StartAngle <= 1.0) return;
        const TRect& r = FCircleRect;
        canvas->Pie(r.Left + dx, r.Top - dy, r.Right + dx, r.Bottom - dy, FPrevEnd.x + dx,
                    FPrevEnd.y - dy, end.x + dx, end.y - dy);
        FPrevEnd = end;
    }
}

void TPieSeries::DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) {
    if (BelongsToOtherSlice(ValueIndex) || ValueIndex >= static_cast<int>(FAngles.size())) return;
    int rx, ry;
    CalcExplodedRadius(ValueIndex, rx, ry);
    double angle = FAngles[static_cast<size_t>(ValueIndex)].MidAngle;
    const bool full = OnFullRotationCanvas();
    if (full) angle += Pi + Pi / 2;
    Marks()->ZPosition = full ? StartZ() : EndZ();
    TMarksCallout* c = Marks()->Callout();
    const int l = c->Length() + c->Distance();
    APosition->ArrowFix = true;
    AngleToPos(angle, rx + l, ry + l, APosition->ArrowTo.x, APosition->ArrowTo.y);
    AngleToPos(angle, rx + c->Distance(), ry + c->Distance(), APosition->ArrowFrom.x,
               APosition->ArrowFrom.y);
    APosition->LeftTop.x = APosition->ArrowTo.x;
    if (APosition->ArrowTo.x <= FCircleCenterX) APosition->LeftTop.x -= APosition->Width;
    APosition->LeftTop.y = APosition->ArrowTo.y;
    if (APosition->ArrowTo.y <= FCircleCenterY) APosition->LeftTop.y -= APosition->Height;
    if (FAutoMarkPosition) Marks()->AntiOverlap(FirstVisibleIndex(), ValueIndex, *APosition);
    TCircledSeries::DrawMark(ValueIndex, St, APosition);
}

// [clicks] -------------------------------------------------------------------

int TPieSeries::CalcClickedPie(int X, int Y) {
    if (FAngles.empty()) return -1;
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->Calculate2DPosition(X, Y, StartZ());
    if (FRadiusX <= 0 || FRadiusY <= 0) return -1;
    // Each slice is measured from the centre it is drawn around: an exploded
    // one's lies moved out along its middle.
    for (int i = 0; i < static_cast<int>(FAngles.size()) && i < Count(); ++i) {
        int dx, dy;
        CalcExplodedOffset(i, dx, dy);
        const int x = X - dx, y = Y + dy;
        const double ex = double(x - FCircleCenterX) / FRadiusX;
        const double ey = double(y - FCircleCenterY) / FRadiusY;
        const double r2 = ex * ex + ey * ey;
        const double hole = FDonutPercent * 0.01;
        if (r2 > 1 || r2 < hole * hole) continue;
        const double angle = PointToAngle(x, y);
        const TPieAngle& a = FAngles[static_cast<size_t>(i)];
        if (a.StartAngle <= angle && angle <= a.EndAngle) return i;
    }
    return -1;
}

int TPieSeries::Clicked(int X, int Y) {
    const int result = TCircledSeries::Clicked(X, Y);
    return result != -1 ? result : CalcClickedPie(X, Y);
}

int TPieSeries::CountLegendItems() {
    const int grouped = GroupedCount();
    return DrawingOtherLegend ? grouped : Count() - grouped;
}

int TPieSeries::LegendToValueIndex(int LegendIndex) {
    int n = -1;
    for (int i = 0; i < Count(); ++i)
        if (BelongsToOtherSlice(i) == DrawingOtherLegend && ++n == LegendIndex) return i;
    return LegendIndex;
}
