// The 3D series bases.
//   [3d]       TCustom3DSeries: Z values, depth position, marks and depth slots
//   [palette]  TCustom3DPaletteSeries: colour range, stepped palette, palette legend
//   [grid]     TCustom3DGridSeries: grid index, values by node, generated values
#include "chart/series/teesurfa.h"
#include "platform/classes/watched.h"
#include "chart/control/chart.h"
#include "chart/control/teelegend.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teemarks.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>
#include <numbers>

QM_CLASS_OWNED(TCustom3DSeries, TChartSeries, TComponent)
QM_CLASS_OWNED(TCustom3DPaletteSeries, TCustom3DSeries, TComponent)
QM_CLASS_OWNED(TCustom3DGridSeries, TCustom3DPaletteSeries, TComponent)

QM_PUBLISHED(TCustom3DSeries,
             Prop("TimesZOrder", &Self::TimesZOrder, &Self::SetTimesZOrder).Default(3),
             Prop("ZValues", &Self::ZValues));

QM_PUBLISHED(
    TCustom3DPaletteSeries, Prop("Brush", &Self::Brush), Prop("Pen", &Self::Pen),
    Prop("EndColor", &Self::EndColor, &Self::SetEndColor).Default(clWhite).Idents("TColor"),
    Prop("MidColor", &Self::MidColor, &Self::SetMidColor).Default(clNone).Idents("TColor"),
    Prop("LegendEvery", &Self::LegendEvery, &Self::SetLegendEvery).Default(1),
    Prop("PaletteMin", &Self::PaletteMin, &Self::SetPaletteMin),
    Prop("PaletteStep", &Self::PaletteStep, &Self::SetPaletteStep),
    Prop("PaletteSteps", &Self::PaletteSteps, &Self::SetPaletteSteps).Default(32),
    Prop("PaletteStyle", &Self::PaletteStyle, &Self::SetPaletteStyle).Default(psPale),
    Prop("StartColor", &Self::StartColor, &Self::SetStartColor).Default(0x800000).Idents("TColor"),
    Prop("UseColorRange", &Self::UseColorRange, &Self::SetUseColorRange).Default(true),
    Prop("UsePalette", &Self::UsePalette, &Self::SetUsePalette).Default(false),
    Prop("UsePaletteMin", &Self::UsePaletteMin, &Self::SetUsePaletteMin).Default(false),
    Prop("OnGetColor", &Self::OnGetColor));

QM_PUBLISHED(TCustom3DGridSeries,
             Prop("IrregularGrid", &Self::IrregularGrid, &Self::SetIrregularGrid).Default(false),
             Prop("NumXValues", &Self::NumXValues, &Self::SetNumXValues).Default(10),
             Prop("NumZValues", &Self::NumZValues, &Self::SetNumZValues).Default(10),
             Prop("OnGetYValue", &Self::OnGetYValue));

namespace {
int Channel(TColor C, int Index) {
    return static_cast<int>((C >> (8 * Index)) & 0xFF);
}
TColor RGBColor(const int* C) {
    return static_cast<TColor>((C[0] & 0xFF) | ((C[1] & 0xFF) << 8) | ((C[2] & 0xFF) << 16));
}
// Halves to the even neighbour; NaN and huge values saturate.
int Nearest(double V) {
    return SafeInt(std::nearbyint(V));
}
} // namespace

// [3d] -----------------------------------------------------------------------

TCustom3DSeries::TCustom3DSeries(TComponent* AOwner) : TChartSeries(AOwner) {
    FZValues = new TChartValueList(this, "Z");
    XValues()->SetOrder(loNone);
    SetHasZValues(true);
}

void TCustom3DSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustom3DSeries*>(Source)) {
        FZValues->Assign(s->FZValues);
        FTimesZOrder = s->FTimesZOrder;
    }
    TChartSeries::Assign(Source);
}

int TCustom3DSeries::AddXYZ(double X, double Y, double Z, const AnsiString& Label, TColor Color) {
    FZValues->SetTempValue(Z);
    return AddXY(X, Y, Label, Color);
}

int TCustom3DSeries::AddArray(const std::vector<std::vector<double>>& Values) {
    BeginUpdate();
    TTeeFinally end([this] { EndUpdate(); });
    int last = -1;
    for (size_t i = 0; i < Values.size(); ++i)
        for (size_t j = 0; j < Values[i].size(); ++j)
            last = AddXYZ(double(j), Values[i][j], double(i));
    return last;
}

int TCustom3DSeries::CalcZPos(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || !chart->DepthAxis()) return 0;
    return chart->DepthAxis()->CalcYPosValue(FZValues->Value(ValueIndex));
}

void TCustom3DSeries::DrawMark(int ValueIndex, const AnsiString& St,
                               TSeriesMarkPosition* APosition) {
    Marks()->ZPosition = CalcZPos(ValueIndex);
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

void TCustom3DSeries::CalcZOrder() {
    TChartSeries::CalcZOrder();
    if (ParentChart()) ParentChart()->MaxDepthOrder = FTimesZOrder;
}

double TCustom3DSeries::MaxZValue() {
    return FZValues->MaxValue();
}

double TCustom3DSeries::MinZValue() {
    return FZValues->MinValue();
}

void TCustom3DSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor,
                                          TBrushStyle& BrushStyle) {
    TChartSeries::PrepareLegendCanvas(ValueIndex, BackColor, BrushStyle);
    auto* chart = dynamic_cast<TCustomChart*>(ParentChart());
    if (chart && chart->Legend()->Symbol()->Continuous()) chart->Canvas()->Pen()->SetStyle(psClear);
}

void TCustom3DSeries::CheckOrder() {
    if (MandatoryValues()->Order() != loNone) MandatoryValues()->Sort();
    Repaint();
}

bool TCustom3DSeries::IsValidSourceOf(TChartSeries* Value) {
    return dynamic_cast<TCustom3DSeries*>(Value) != nullptr;
}

// [palette] ------------------------------------------------------------------

TCustom3DPaletteSeries::TCustom3DPaletteSeries(TComponent* AOwner) : TCustom3DSeries(AOwner) {
    CalcColorRange();
}

void TCustom3DPaletteSeries::CalcColorRange() {
    for (int c = 0; c < 3; ++c) {
        FEndRGB[c] = Channel(FEndColor, c);
        if (FMidColor == clNone) {
            FRangeRGB[c] = Channel(FStartColor, c) - FEndRGB[c];
        } else {
            FMidRGB[c] = Channel(FMidColor, c);
            FRangeRGB[c] = Channel(FStartColor, c) - FMidRGB[c];
            FRangeMidRGB[c] = FMidRGB[c] - FEndRGB[c];
        }
    }
}

TColor TCustom3DPaletteSeries::RangePercent(double Percent) const {
    int rgb[3];
    for (int c = 0; c < 3; ++c) {
        if (FMidColor == clNone)
            rgb[c] = FEndRGB[c] + Nearest(Percent * FRangeRGB[c]);
        else if (Percent < 0.5)
            rgb[c] = FEndRGB[c] + Nearest(2 * Percent * FRangeMidRGB[c]);
        else
            rgb[c] = FMidRGB[c] + Nearest((Percent - 0.5) * 2 * FRangeRGB[c]);
    }
    return RGBColor(rgb);
}

TColor TCustom3DPaletteSeries::GetValueColorValue(double Value) {
    if (FUseColorRange) {
        if (FRangeFactor == 0) return FEndColor;
        const double d = Value - YValues()->MinValue();
        if (d < 0) return FEndColor;
        if (YValues()->MaxValue() < Value) return FStartColor;
        // A NaN value is neither below nor above: it takes the lowest colour.
        if (std::isnan(d)) return FEndColor;
        return RangePercent(d * FRangeFactor);
    }
    if (FUsePalette && !FPalette.empty()) return GetSurfacePaletteColor(Value);
    return SeriesColor();
}

TColor TCustom3DPaletteSeries::GetValueColor(int ValueIndex) {
    TColor c = InternalColor(ValueIndex);
    if (c == clTeeColor) {
        if (!FUseColorRange && !FUsePalette)
            c = TCustom3DSeries::GetValueColor(ValueIndex);
        else
            c = GetValueColorValue(YValues()->Value(ValueIndex));
    }
    if (OnGetColor) OnGetColor(this, ValueIndex, c);
    return c;
}

TColor TCustom3DPaletteSeries::GetSurfacePaletteColor(double Value) const {
    for (const TTeePaletteEntry& e : FPalette)
        if (e.UpToValue > Value) return e.Color;
    return FPalette.empty() ? SeriesColor() : FPalette.back().Color;
}

int TCustom3DPaletteSeries::AddPalette(double Value, TColor Color) {
    auto it = std::find_if(FPalette.begin(), FPalette.end(),
                           [Value](const TTeePaletteEntry& e) { return e.UpToValue > Value; });
    it = FPalette.insert(it, TTeePaletteEntry{Value, Color});
    return static_cast<int>(it - FPalette.begin());
}

void TCustom3DPaletteSeries::CreateDefaultPalette(int NumSteps) {
    FPalette.clear();
    NumSteps = std::min(NumSteps, MaxPaletteSteps);
    // Steps taken from the values wait for values (a chart file sets the
    // palette before its points): the first drawing with points builds them.
    const bool fromValues = FPaletteStep == 0 || !FUsePaletteMin;
    if (NumSteps >= 1 && (Count() > 0 || !fromValues)) {
        const double pi = std::numbers::pi;
        const double angleStep = FPaletteStyle == psPale     ? pi / NumSteps
                                 : FPaletteStyle == psStrong ? 2 * pi / NumSteps
                                                             : 255.0 / NumSteps;
        const double range = Count() ? YValues()->Range() : 0;
        const double valueStep =
            FPaletteStep != 0 ? FPaletteStep : range / std::max(1, NumSteps - 1);
        const double base = FUsePaletteMin ? FPaletteMin : (Count() ? YValues()->MinValue() : 0);
        FPalette.reserve(static_cast<size_t>(NumSteps));
        for (int i = 0; i < NumSteps; ++i) {
            const double a = i * angleStep;
            int rgb[3];
            if (FPaletteStyle == psGrayScale) {
                rgb[0] = rgb[1] = rgb[2] = Nearest(a);
            } else {
                rgb[0] = static_cast<int>((std::sin(a / RedFactor) + 1) * 127);
                rgb[1] = static_cast<int>((std::sin(a / GreenFactor) + 1) * 127);
                rgb[2] = static_cast<int>((std::cos(a / BlueFactor) + 1) * 127);
            }
            AddPalette(base + i * valueStep, RGBColor(rgb));
        }
    }
    Repaint();
}

void TCustom3DPaletteSeries::CreateRangePalette() {
    FPalette.clear();
    if (FPaletteSteps < 1 || Count() == 0) return;
    const double range = YValues()->Range();
    const double minimum = YValues()->MinValue();
    const double step = range / FPaletteSteps;
    for (int i = 1; i <= FPaletteSteps; ++i) {
        if (!(range > 0))
            AddPalette(minimum, FEndColor);
        else
            AddPalette(minimum + i * step, RangePercent(i * step / range));
    }
}

void TCustom3DPaletteSeries::CheckPaletteEmpty() {
    if (Count() > 0 && FPalette.empty()) CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::Clear() {
    TCustom3DSeries::Clear();
    if (FUsePalette) ClearPalette();
}

void TCustom3DPaletteSeries::DoBeforeDrawChart() {
    TCustom3DSeries::DoBeforeDrawChart();
    CheckPaletteEmpty();
    FRangeFactor = Count() ? YValues()->Range() : 0;
    // An infinite or undefined range gives no usable fraction: every point then
    // takes the lowest colour, as for a flat range.
    FRangeFactor = std::isfinite(FRangeFactor) && FRangeFactor != 0 ? 1.0 / FRangeFactor : 0;
}

void TCustom3DPaletteSeries::SetStartColor(TColor Value) {
    SetColorProperty(FStartColor, Value);
    CalcColorRange();
}

void TCustom3DPaletteSeries::SetMidColor(TColor Value) {
    SetColorProperty(FMidColor, Value);
    CalcColorRange();
}

void TCustom3DPaletteSeries::SetEndColor(TColor Value) {
    SetColorProperty(FEndColor, Value);
    CalcColorRange();
}

void TCustom3DPaletteSeries::SetUseColorRange(bool Value) {
    SetBooleanProperty(FUseColorRange, Value);
    if (Value) SetColorEachPoint(false);
}

void TCustom3DPaletteSeries::SetUsePalette(bool Value) {
    SetBooleanProperty(FUsePalette, Value);
    if (Value) {
        SetColorEachPoint(false);
        CheckPaletteEmpty();
    }
}

void TCustom3DPaletteSeries::SetPaletteSteps(int Value) {
    if (Value > MaxPaletteSteps)
        throw ChartException(Format("PaletteSteps must be at most %d", {MaxPaletteSteps}));
    FPaletteSteps = Value;
    CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::SetPaletteMin(double Value) {
    FPaletteMin = Value;
    CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::SetPaletteStep(double Value) {
    FPaletteStep = Value;
    CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::SetUsePaletteMin(bool Value) {
    FUsePaletteMin = Value;
    CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::SetPaletteStyle(TTeePaletteStyle Value) {
    if (FPaletteStyle == Value) return;
    FPaletteStyle = Value;
    ClearPalette();
    Repaint();
}

void TCustom3DPaletteSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustom3DPaletteSeries*>(Source)) {
        FUsePalette = s->FUsePalette;
        FUseColorRange = s->FUseColorRange;
        FStartColor = s->FStartColor;
        FEndColor = s->FEndColor;
        FMidColor = s->FMidColor;
        FLegendEvery = s->FLegendEvery;
        FPaletteSteps = s->FPaletteSteps;
        FPalette = s->FPalette;
        FUsePaletteMin = s->FUsePaletteMin;
        FPaletteStep = s->FPaletteStep;
        FPaletteMin = s->FPaletteMin;
        FPaletteStyle = s->FPaletteStyle;
        CalcColorRange();
    }
    TCustom3DSeries::Assign(Source);
}

bool TCustom3DPaletteSeries::PaletteLegend() const {
    return (FUseColorRange || FUsePalette) && Count() > 0;
}

int TCustom3DPaletteSeries::CountLegendItems() {
    if (!PaletteLegend()) return TCustom3DSeries::CountLegendItems();
    const int n = static_cast<int>(FPalette.size());
    if (FLegendEvery < 2) return n;
    return (n + FLegendEvery - 1) / FLegendEvery;
}

int TCustom3DPaletteSeries::LegendPaletteIndex(int LegendIndex) const {
    return static_cast<int>(FPalette.size()) - 1 - LegendIndex * std::max(1, FLegendEvery);
}

int TCustom3DPaletteSeries::LegendToValueIndex(int LegendIndex) {
    if (!PaletteLegend()) return TCustom3DSeries::LegendToValueIndex(LegendIndex);
    return LegendIndex;
}

AnsiString TCustom3DPaletteSeries::LegendString(int LegendIndex, TLegendTextStyle LegendTextStyle) {
    if (!PaletteLegend()) return TCustom3DSeries::LegendString(LegendIndex, LegendTextStyle);
    if (LegendIndex < 0 || LegendIndex >= CountLegendItems()) return "";
    const int p = LegendPaletteIndex(LegendIndex);
    return FormatFloat(ValueFormat(), FPalette[static_cast<size_t>(p)].UpToValue);
}

TColor TCustom3DPaletteSeries::LegendItemColor(int LegendIndex) {
    if (!PaletteLegend()) return TCustom3DSeries::LegendItemColor(LegendIndex);
    if (LegendIndex < 0 || LegendIndex >= CountLegendItems()) return SeriesColor();
    return GetValueColorValue(
        FPalette[static_cast<size_t>(LegendPaletteIndex(LegendIndex))].UpToValue);
}

void TCustom3DPaletteSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    if (ValueIndex != -1 || !FUseColorRange || !ParentChart()) {
        TCustom3DSeries::DrawLegendShape(ValueIndex, Rect);
        return;
    }
    TCanvas3D* canvas = ParentChart()->Canvas();
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(Rect);
    TTeeGradient g;
    g.SetDirection(gdTopBottom);
    g.SetStartColor(FEndColor);
    g.SetMidColor(FMidColor);
    g.SetEndColor(FStartColor);
    g.SetVisible(true);
    g.Draw(canvas, TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1));
}

void TCustom3DPaletteSeries::PrepareForGallery(bool IsEnabled) {
    TCustom3DSeries::PrepareForGallery(IsEnabled);
    SetUseColorRange(false);
    Pen()->SetColor(IsEnabled ? clBlack : TColor(0x808080));
    SetUsePalette(IsEnabled);
}

void TCustom3DPaletteSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustom3DSeries::CreateSubGallery(AddSubChart);
    if (AddSubChart) AddSubChart("Color Range");
}

void TCustom3DPaletteSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TCustom3DPaletteSeries*>(Series);
    if (Index == 1 && s) {
        s->SetUseColorRange(true);
        s->SetUsePalette(false);
    } else {
        TCustom3DSeries::SetSubGallery(Series, Index);
    }
}

void TCustom3DPaletteSeries::GalleryChanged3D(bool Is3D) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    chart->SetView3D(true);
    TView3DOptions* o = chart->View3DOptions();
    o->PresetSample(60, -2);
    o->SetRotation(Is3D ? 335 : 0);
    o->SetElevation(Is3D ? 340 : 270);
    o->SetPerspective(Is3D ? 60 : 0);
}

// [grid] ---------------------------------------------------------------------

TCustom3DGridSeries::TCustom3DGridSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner) {
    Clear();
}

void TCustom3DGridSeries::CheckGridSize(int NumX, int NumZ) const {
    if (NumX < 0 || NumZ < 0 || (long long)(NumX + 1LL) * (NumZ + 1LL) > MaxGridNodes)
        throw ChartException(Format("Grid of %d x %d nodes is too large", {NumX, NumZ}));
}

void TCustom3DGridSeries::InitGridIndex(int NumX, int NumZ) {
    CheckGridSize(NumX, NumZ);
    FGridX = NumX;
    FGridZ = NumZ;
    FGridIndex.assign(static_cast<size_t>(NumX + 1) * static_cast<size_t>(NumZ + 1), -1);
}

void TCustom3DGridSeries::Clear() {
    TCustom3DPaletteSeries::Clear();
    XValues()->SetOrder(loNone);
    InitGridIndex(FNumXValues, FNumZValues);
}

void TCustom3DGridSeries::Loaded() {
    TCustom3DPaletteSeries::Loaded();
    if (Count() == 0) return;
    // Only the check belongs to loading: the sizes stay as the file has them
    // until a paint fills the grid, so a load and a save give the same file.
    const int numX = FNumXValues, numZ = FNumZValues;
    try {
        FillGridIndex();
        FNumXValues = numX;
        FNumZValues = numZ;
    } catch (const ChartException& E) {
        throw EReadError("Error reading " + Name() + ": " + E.Message);
    }
}

void TCustom3DGridSeries::FillGridIndex() {
    const int n = Count();
    const double* xs = XValues()->Data();
    const double* zs = ZValues()->Data();
    auto usable = [&](int i) { return std::isfinite(xs[i]) && std::isfinite(zs[i]); };
    // Points without a finite X or Z have no node.
    double minX = 0, maxX = 0, minZ = 0, maxZ = 0;
    bool any = false;
    for (int i = 0; i < n; ++i) {
        if (!usable(i)) continue;
        if (!any) {
            minX = maxX = xs[i];
            minZ = maxZ = zs[i];
            any = true;
        }
        minX = std::min(minX, xs[i]);
        maxX = std::max(maxX, xs[i]);
        minZ = std::min(minZ, zs[i]);
        maxZ = std::max(maxZ, zs[i]);
    }
    if (!any) {
        InitGridIndex(0, 0);
        FNumXValues = FNumZValues = 0;
        return;
    }
    const auto put = [this](int X, int Z, int I) {
        FGridIndex[static_cast<size_t>(X) * static_cast<size_t>(FGridZ + 1) +
                   static_cast<size_t>(Z)] = I;
    };
    if (!FIrregularGrid) {
        const double cols = std::nearbyint(maxX - minX) + 1;
        const double rows = std::nearbyint(maxZ - minZ) + 1;
        if (cols * rows > double(MaxGridNodes))
            throw ChartException(Format("Grid of %.0f x %.0f nodes is too large", {cols, rows}));
        InitGridIndex(static_cast<int>(cols), static_cast<int>(rows));
        for (int i = 0; i < n; ++i)
            if (usable(i)) put(Nearest(xs[i] - minX) + 1, Nearest(zs[i] - minZ) + 1, i);
    } else {
        // Sorted distinct values; the sorted list is what the grid needs, so
        // sorting first finds the same columns as collecting in point order.
        std::vector<double> dx, dz;
        dx.reserve(static_cast<size_t>(n));
        dz.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            if (usable(i)) {
                dx.push_back(xs[i]);
                dz.push_back(zs[i]);
            }
        std::sort(dx.begin(), dx.end());
        dx.erase(std::unique(dx.begin(), dx.end()), dx.end());
        std::sort(dz.begin(), dz.end());
        dz.erase(std::unique(dz.begin(), dz.end()), dz.end());
        if (double(dx.size()) * double(dz.size()) > double(MaxGridNodes))
            throw ChartException(
                Format("Grid of %d x %d nodes is too large", {int(dx.size()), int(dz.size())}));
        InitGridIndex(static_cast<int>(dx.size()), static_cast<int>(dz.size()));
        for (int i = 0; i < n; ++i) {
            if (!usable(i)) continue;
            const int c = int(std::lower_bound(dx.begin(), dx.end(), xs[i]) - dx.begin()) + 1;
            const int r = int(std::lower_bound(dz.begin(), dz.end(), zs[i]) - dz.begin()) + 1;
            put(c, r, i);
        }
    }
    FNumXValues = FGridX;
    FNumZValues = FGridZ;
}

double TCustom3DGridSeries::GetValue(int X, int Z) {
    const int i = GridIndex(X, Z);
    if (i < 0 || i >= Count()) throw ChartException(Format("No value found at XZ: %d %d", {X, Z}));
    return YValues()->Value(i);
}

void TCustom3DGridSeries::SetValue(int X, int Z, double Value) {
    const int i = GridIndex(X, Z);
    if (i >= 0 && i < Count()) {
        YValues()->SetValue(i, Value);
        return;
    }
    if (X < 0 || Z < 0 || X > FGridX || Z > FGridZ)
        throw ChartException(Format("Grid node %d %d is outside the grid", {X, Z}));
    const int added = AddXYZ(X, Value, Z);
    FGridIndex[static_cast<size_t>(X) * static_cast<size_t>(FGridZ + 1) + static_cast<size_t>(Z)] =
        added;
}

bool TCustom3DGridSeries::ExistFourGridIndex(int X, int Z) {
    ValueIndex1 = ValueIndex2 = ValueIndex3 = -1;
    ValueIndex0 = GridIndex(X, Z);
    if (ValueIndex0 == -1) return false;
    ValueIndex1 = GridIndex(X + IInc, Z);
    if (ValueIndex1 == -1) return false;
    ValueIndex2 = GridIndex(X + IInc, Z + IZInc);
    if (ValueIndex2 == -1) return false;
    ValueIndex3 = GridIndex(X, Z + IZInc);
    return ValueIndex3 != -1;
}

double TCustom3DGridSeries::GetXZValue(int X, int Z) {
    if (OnGetYValue) return OnGetYValue(this, X, Z);
    if (ComponentState().Contains(csDesigning) || FSampling) {
        const auto sq = [](double v) { return v * v; };
        return 0.5 * sq(std::cos(X / (FNumXValues * 0.2))) + sq(std::cos(Z / (FNumZValues * 0.2))) -
               std::cos(Z / (FNumZValues * 0.5));
    }
    return 0;
}

bool TCustom3DGridSeries::CanCreateValues() {
    return bool(OnGetYValue) || ComponentState().Contains(csDesigning) || FSampling;
}

void TCustom3DGridSeries::CreateValues(int NumX, int NumZ) {
    if (!CanCreateValues()) return;
    CheckGridSize(NumX, NumZ);
    FNumXValues = NumX;
    FNumZValues = NumZ;
    const int oldCapacity = TeeDefaultCapacity;
    TTeeFinally restore([oldCapacity] { TeeDefaultCapacity = oldCapacity; });
    TeeDefaultCapacity = std::max(1, NumX * NumZ);
    Clear();
    {
        BeginUpdate();
        TTeeFinally end([this] { EndUpdate(); });
        for (int z = 1; z <= NumZ; ++z)
            for (int x = 1; x <= NumX; ++x)
                AddXYZ(x, GetXZValue(x, z), z);
    }
    CreateDefaultPalette(PaletteSteps());
}

void TCustom3DGridSeries::SetNumXValues(int Value) {
    if (Value == FNumXValues) return;
    CheckGridSize(Value, FNumZValues);
    FNumXValues = Value;
    Clear();
    ReCreateValues();
}

void TCustom3DGridSeries::SetNumZValues(int Value) {
    if (Value == FNumZValues) return;
    CheckGridSize(FNumXValues, Value);
    FNumZValues = Value;
    Clear();
    ReCreateValues();
}

void TCustom3DGridSeries::AddSampleValues(int NumValues) {
    if (NumValues <= 0) return;
    const bool old = FSampling;
    FSampling = true;
    TTeeFinally restore([this, old] { FSampling = old; });
    CreateValues(NumValues, NumValues);
}

void TCustom3DGridSeries::AddValues(TChartSeries* Source) {
    if (auto* g = dynamic_cast<TCustom3DGridSeries*>(Source)) {
        FNumXValues = g->FNumXValues;
        FNumZValues = g->FNumZValues;
    }
    TCustom3DPaletteSeries::AddValues(Source);
    // No points leave the grid's size as it is, as before a paint.
    if (Count() > 0) FillGridIndex();
    Repaint();
}

bool TCustom3DGridSeries::IsValidSeriesSource(TChartSeries* Value) {
    return dynamic_cast<TCustom3DGridSeries*>(Value) != nullptr;
}

void TCustom3DGridSeries::Assign(TPersistent* Source) {
    if (auto* g = dynamic_cast<TCustom3DGridSeries*>(Source)) {
        FNumXValues = g->FNumXValues;
        FNumZValues = g->FNumZValues;
        FIrregularGrid = g->FIrregularGrid;
    }
    TCustom3DPaletteSeries::Assign(Source);
}

void TCustom3DGridSeries::DoBeforeDrawChart() {
    TCustom3DPaletteSeries::DoBeforeDrawChart();
    if (Count() == 0) return;
    const int numX = FNumXValues, numZ = FNumZValues;
    FillGridIndex();
    if (FNumXValues == numX && FNumZValues == numZ) return;
    // Empty grids fed by this one took its sizes when they were filled; they
    // follow the sizes the data give now, as a new fill would give them.
    for (TChartSeries* s : LinkedSeries())
        if (auto* g = dynamic_cast<TCustom3DGridSeries*>(s); g && g->Count() == 0) {
            g->FNumXValues = FNumXValues;
            g->FNumZValues = FNumZValues;
        }
}
