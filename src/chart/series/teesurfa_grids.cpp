// Colour grid (a picture of the grid stretched over the plot), 3D vectors with
// arrow heads, and towers standing on the grid nodes.
//   [colorgrid]  TColorGridSeries
//   [vector]     TVector3DSeries
//   [tower]      TTowerSeries
#include "chart/engine/teemarks.h"
#include "platform/classes/watched.h"
#include "chart/engine/teeprocs.h"
#include "chart/series/teesurfa.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

QM_CLASS_OWNED(TColorGridSeries, TCustom3DGridSeries, TComponent)
QM_CLASS_OWNED(TVector3DSeries, TCustom3DPaletteSeries, TComponent)
QM_CLASS_OWNED(TTowerSeries, TCustom3DGridSeries, TComponent)

QM_PUBLISHED(
    TColorGridSeries,
    Prop("CenteredPoints", &Self::CenteredPoints, &Self::SetCenteredPoints).Default(false));

QM_PUBLISHED(TVector3DSeries,
             Prop("ArrowHeight", &Self::ArrowHeight, &Self::SetArrowHeight).Default(4),
             Prop("ArrowWidth", &Self::ArrowWidth, &Self::SetArrowWidth).Default(4),
             Prop("EndArrow", &Self::EndArrow), Prop("StartArrow", &Self::StartArrow),
             Prop("EndXValues", &Self::EndXValues), Prop("EndYValues", &Self::EndYValues),
             Prop("EndZValues", &Self::EndZValues));

QM_PUBLISHED(TTowerSeries, Prop("Dark3D", &Self::Dark3D, &Self::SetDark3D).Default(true),
             Prop("Origin", &Self::Origin, &Self::SetOrigin),
             Prop("PercentDepth", &Self::PercentDepth, &Self::SetPercentDepth).Default(100),
             Prop("PercentWidth", &Self::PercentWidth, &Self::SetPercentWidth).Default(100),
             Prop("TowerStyle", &Self::TowerStyle, &Self::SetTowerStyle).Default(tsCube),
             Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
             Prop("UseOrigin", &Self::UseOrigin, &Self::SetUseOrigin).Default(false));

// [colorgrid] ----------------------------------------------------------------

TColorGridSeries::TColorGridSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner) {
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->SetPixelFormat(pf24bit);
    Marks()->Callout()->SetLength(0);
}

TColorGridSeries::~TColorGridSeries() = default;

double TColorGridSeries::MaxXValue() {
    const double m = XValues()->MaxValue();
    return FCenteredPoints ? m + 0.5 : (IrregularGrid() ? m : m + 1);
}

double TColorGridSeries::MinXValue() {
    return XValues()->MinValue() - (FCenteredPoints ? 0.5 : 0);
}

double TColorGridSeries::MaxZValue() {
    const double m = ZValues()->MaxValue();
    return FCenteredPoints ? m + 0.5 : (IrregularGrid() ? m : m + 1);
}

double TColorGridSeries::MinZValue() {
    return ZValues()->MinValue() - (FCenteredPoints ? 0.5 : 0);
}

double TColorGridSeries::MaxYValue() {
    return MaxZValue();
}

double TColorGridSeries::MinYValue() {
    return MinZValue();
}

int TColorGridSeries::CalcYPos(int ValueIndex) {
    return GetVertAxis()->CalcYPosValue(ZValues()->Value(ValueIndex));
}

void TColorGridSeries::SetBitmap(TBitmap* Value) {
    const int w = Value ? Value->Width() : 0, h = Value ? Value->Height() : 0;
    if ((long long)w * h > MaxGridNodes)
        throw ChartException(Format("Picture of %d x %d pixels is too large", {w, h}));
    FBitmap->Assign(Value);
    BeginUpdate();
    TTeeFinally end([this] { EndUpdate(); });
    Clear();
    FCenteredPoints = true;
    SetNumXValues(w);
    SetNumZValues(h);
    TCanvas* c = FBitmap->Canvas();
    for (int x = 0; x < w; ++x)
        for (int z = 0; z < h; ++z) {
            const TColor p = c->Pixels(x, z);
            AddXYZ(x, p, z, "", p);
        }
}

void TColorGridSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() == 0) return;
    TCanvas3D* canvas = chart->Canvas();
    const int k = (FCenteredPoints || IrregularGrid()) ? 0 : 1;
    const int w = std::max(0, NumXValues() - k), h = std::max(0, NumZValues() - k);
    FBitmap->FreeImage();
    FBitmap->SetPixelFormat(pf24bit);
    FBitmap->SetSize(w, h);
    if (w == 0 || h == 0) return;
    for (int r = 1; r <= h; ++r) {
        // Row 1 (the lowest Z) is the picture's bottom line.
        auto* line = static_cast<uint8_t*>(FBitmap->ScanLine(h - r));
        for (int c = 1; c <= w; ++c) {
            const int i = GridIndex(c, r);
            if (i < 0) continue;
            const TColor col = GetValueColor(i);
            uint8_t* px = line + 3 * (c - 1);
            px[0] = static_cast<uint8_t>((col >> 16) & 0xFF);
            px[1] = static_cast<uint8_t>((col >> 8) & 0xFF);
            px[2] = static_cast<uint8_t>(col & 0xFF);
        }
    }
    TChartAxis* vert = GetVertAxis();
    TRect r(CalcXPosValue(MinXValue()), vert->CalcYPosValue(MaxZValue()),
            CalcXPosValue(MaxXValue()), vert->CalcYPosValue(MinZValue()));
    r = OrientRectangle(r);
    if (!chart->View3D() || chart->View3DOptions()->Orthogonal())
        canvas->StretchDraw(canvas->CalcRect3D(r, StartZ()), FBitmap.get());
    else
        canvas->StretchDraw(r, FBitmap.get(), StartZ());
    if (!Pen()->Visible()) return;
    canvas->SetBackMode(cbmTransparent);
    canvas->AssignVisiblePen(Pen());
    const double offset = FCenteredPoints ? 0.5 : 0;
    for (int row = 2; row <= h; ++row) {
        const int i = GridIndex(1, row);
        if (i < 0) continue;
        const int y = vert->CalcYPosValue(ZValues()->Value(i) - offset);
        canvas->HorizLine3D(r.Left, r.Right, y, StartZ());
    }
    for (int col = 2; col <= w; ++col) {
        const int i = GridIndex(col, 1);
        if (i < 0) continue;
        const int x = CalcXPosValue(XValues()->Value(i) - offset);
        canvas->VertLine3D(x, r.Top, r.Bottom, StartZ());
    }
}

void TColorGridSeries::DrawMark(int ValueIndex, const AnsiString& St,
                                TSeriesMarkPosition* APosition) {
    const double offset = (!IrregularGrid() && !FCenteredPoints) ? 0.5 : 0;
    const int dx = CalcXPosValue(XValues()->Value(ValueIndex) + offset) - CalcXPos(ValueIndex);
    const int dy =
        GetVertAxis()->CalcYPosValue(ZValues()->Value(ValueIndex) + offset) - CalcYPos(ValueIndex);
    APosition->LeftTop.x += dx;
    APosition->LeftTop.y += dy;
    APosition->ArrowTo.x += dx;
    APosition->ArrowTo.y += dy;
    APosition->ArrowFrom = APosition->ArrowTo;
    TCustom3DGridSeries::DrawMark(ValueIndex, St, APosition);
    Marks()->ZPosition = StartZ();
}

int TColorGridSeries::Clicked(int X, int Y) {
    if (!ParentChart() || Count() == 0) return -1;
    const double xv = XScreenToValue(X);
    const double zv = GetVertAxis()->CalcPosPoint(Y);
    if (!IrregularGrid()) {
        const double fr = zv - ZValues()->MinValue() + (FCenteredPoints ? 0.5 : 0);
        const double fc = xv - XValues()->MinValue() + (FCenteredPoints ? 0.5 : 0);
        if (!(fr >= 0) || !(fc >= 0)) return -1;
        const int k = FCenteredPoints ? 1 : 2;
        const double row = std::trunc(fr), col = std::trunc(fc);
        if (row > NumZValues() - k || col > NumXValues() - k) return -1;
        return GridIndex(static_cast<int>(col) + 1, static_cast<int>(row) + 1);
    }
    // Irregular: the cell between two neighbouring columns and rows of the grid.
    auto find = [&](bool Column, double V) {
        const int n = Column ? NumXValues() : NumZValues();
        for (int i = 1; i < n; ++i) {
            const int a = Column ? GridIndex(i, 1) : GridIndex(1, i);
            const int b = Column ? GridIndex(i + 1, 1) : GridIndex(1, i + 1);
            if (a < 0 || b < 0) continue;
            const TChartValueList* l = Column ? XValues() : ZValues();
            if (l->Value(a) <= V && V < l->Value(b)) return i;
        }
        return -1;
    };
    const int c = find(true, xv), r = find(false, zv);
    return c < 0 || r < 0 ? -1 : GridIndex(c, r);
}

void TColorGridSeries::PrepareForGallery(bool IsEnabled) {
    TCustom3DGridSeries::PrepareForGallery(IsEnabled);
    SetSampling(true);
    TTeeFinally restore([this] { SetSampling(false); });
    CreateValues(8, 4);
}

void TColorGridSeries::GalleryChanged3D(bool Is3D) {
    TCallOut held{this};
    TCustom3DGridSeries::GalleryChanged3D(Is3D);
    if (held.Gone() || !ParentChart()) return;
    ParentChart()->SetView3D(Is3D);
    ParentChart()->SetClipPoints(true);
}

void TColorGridSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustom3DGridSeries::CreateSubGallery(AddSubChart);
    if (AddSubChart) AddSubChart("No Grid");
}

void TColorGridSeries::SetSubGallery(TChartSeries* Series, int Index) {
    if (Index == 2 && Series)
        Series->Pen()->SetVisible(false);
    else
        TCustom3DGridSeries::SetSubGallery(Series, Index);
}

// [vector] -------------------------------------------------------------------

TVector3DSeries::TVector3DSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner) {
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FStartArrow = std::make_unique<TChartHiddenPen>(changed);
    FStartArrow->SetColor(clTeeColor);
    FEndArrow = std::make_unique<TChartPen>(changed);
    FEndArrow->SetColor(clTeeColor);
    FEndX = new TChartValueList(this, "EndX");
    FEndY = new TChartValueList(this, "EndY");
    FEndZ = new TChartValueList(this, "EndZ");
    XValues()->InitDateTime(false);
}

int TVector3DSeries::AddVector(double X, double Y, double Z, double EndX, double EndY, double EndZ,
                               const AnsiString& Label, TColor Color) {
    FEndX->SetTempValue(EndX);
    FEndY->SetTempValue(EndY);
    FEndZ->SetTempValue(EndZ);
    return AddXYZ(X, Y, Z, Label, Color);
}

void TVector3DSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TVector3DSeries*>(Source)) {
        FArrowHeight = s->FArrowHeight;
        FArrowWidth = s->FArrowWidth;
        FEndArrow->Assign(s->FEndArrow.get());
        FStartArrow->Assign(s->FStartArrow.get());
    }
    TCustom3DPaletteSeries::Assign(Source);
}

bool TVector3DSeries::IsValidSourceOf(TChartSeries* Value) {
    return dynamic_cast<TVector3DSeries*>(Value) != nullptr;
}

double TVector3DSeries::MaxXValue() {
    return std::max(XValues()->MaxValue(), FEndX->MaxValue());
}
double TVector3DSeries::MinXValue() {
    return std::min(XValues()->MinValue(), FEndX->MinValue());
}
double TVector3DSeries::MaxYValue() {
    return std::max(YValues()->MaxValue(), FEndY->MaxValue());
}
double TVector3DSeries::MinYValue() {
    return std::min(YValues()->MinValue(), FEndY->MinValue());
}
double TVector3DSeries::MaxZValue() {
    return std::max(ZValues()->MaxValue(), FEndZ->MaxValue());
}
double TVector3DSeries::MinZValue() {
    return std::min(ZValues()->MinValue(), FEndZ->MinValue());
}

void TVector3DSeries::AddSampleValues(int NumValues) {
    for (int i = 0; i < NumValues; ++i) {
        const double a = i * 8 * std::numbers::pi / NumValues;
        const double x = i + std::sin(a), y = i, z = std::cos(a);
        AddVector(x, y, z, x + std::sin(a), y + 0.6 * NumValues * std::sin(a) * std::cos(a),
                  z + i * std::cos(a));
    }
}

void TVector3DSeries::DrawArrowHead(TChartPen* APen, TColor AColor, const TPoint& Tip, double S,
                                    double C) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    canvas->AssignVisiblePenColor(APen, APen->Color() == clTeeColor ? AColor : APen->Color());
    const double w = FArrowWidth, h = FArrowHeight;
    canvas->MoveTo(Tip.x + SafeInt(std::nearbyint(-w * C - h * S)),
                   Tip.y + SafeInt(std::nearbyint(w * S - h * C)));
    canvas->LineTo(Tip.x, Tip.y);
    canvas->LineTo(Tip.x + SafeInt(std::nearbyint(-w * C + h * S)),
                   Tip.y + SafeInt(std::nearbyint(w * S + h * C)));
}

void TVector3DSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const TColor color = GetValueColor(ValueIndex);
    canvas->SetBackMode(cbmTransparent);
    canvas->AssignVisiblePenColor(Pen(), color);
    const int x0 = CalcXPos(ValueIndex), y0 = CalcYPos(ValueIndex), z0 = CalcZPos(ValueIndex);
    const int x1 = CalcXPosValue(FEndX->Value(ValueIndex));
    const int y1 = CalcYPosValue(FEndY->Value(ValueIndex));
    const int z1 = chart->DepthAxis()->CalcYPosValue(FEndZ->Value(ValueIndex));
    canvas->MoveTo3D(x0, y0, z0);
    canvas->LineTo3D(x1, y1, z1);
    if (!FStartArrow->Visible() && !FEndArrow->Visible()) return;
    const TPoint p0 = canvas->Calculate3DPosition(x0, y0, z0);
    const TPoint p1 = canvas->Calculate3DPosition(x1, y1, z1);
    // The angle of the line as seen on screen, Y pointing up; the strokes of a
    // head lie back along the line from its tip.
    const double a = std::atan2(double(p0.y - p1.y), double(p1.x - p0.x));
    if (FEndArrow->Visible()) DrawArrowHead(FEndArrow.get(), color, p1, std::sin(a), std::cos(a));
    if (FStartArrow->Visible())
        DrawArrowHead(FStartArrow.get(), color, p0, -std::sin(a), -std::cos(a));
}

// [tower] --------------------------------------------------------------------

TTowerSeries::TTowerSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner) {}

void TTowerSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TTowerSeries*>(Source)) {
        FDark3D = s->FDark3D;
        FOrigin = s->FOrigin;
        FPercentDepth = s->FPercentDepth;
        FPercentWidth = s->FPercentWidth;
        FTowerStyle = s->FTowerStyle;
        FTransparency = s->FTransparency;
        FUseOrigin = s->FUseOrigin;
    }
    TCustom3DGridSeries::Assign(Source);
}

void TTowerSeries::SetTowerStyle(TTowerStyle Value) {
    if (FTowerStyle == Value) return;
    FTowerStyle = Value;
    Repaint();
}

double TTowerSeries::MaxXValue() {
    return XValues()->MaxValue() + 0.5;
}
double TTowerSeries::MinXValue() {
    return XValues()->MinValue() - 0.5;
}
double TTowerSeries::MaxZValue() {
    return ZValues()->MaxValue() + 0.5;
}
double TTowerSeries::MinZValue() {
    return ZValues()->MinValue() - 0.5;
}

void TTowerSeries::CalcCell(int ValueIndex, TRect& R, int& Z0, int& Z1) {
    TChartAxis* depth = ParentChart()->DepthAxis();
    const double x = XValues()->Value(ValueIndex), z = ZValues()->Value(ValueIndex);
    R.Left = CalcXPosValue(x - FHalfWidth);
    R.Right = CalcXPosValue(x + FHalfWidth);
    R.Top = CalcYPos(ValueIndex);
    R.Bottom = CalcYPosValue(FUseOrigin ? FOrigin : YValues()->MinValue());
    if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
    if (R.Left > R.Right) std::swap(R.Left, R.Right);
    Z0 = depth->CalcYPosValue(z - FHalfDepth);
    Z1 = depth->CalcYPosValue(z + FHalfDepth);
    if (Z0 > Z1) std::swap(Z0, Z1);
}

void TTowerSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() == 0) return;
    TCanvas3D* canvas = chart->Canvas();
    canvas->AssignVisiblePen(Pen());
    canvas->AssignBrush(Brush(), SeriesColor());
    FHalfWidth = 0.005 * FPercentWidth;
    FHalfDepth = 0.005 * FPercentDepth;
    std::unique_ptr<TTeeBlend> blend;
    if (FTransparency > 0) blend = std::make_unique<TTeeBlend>(canvas, TRect(0, 0, 0, 0));
    const int nx = NumXValues(), nz = NumZValues();
    const bool forward = DrawValuesForward();
    const bool zInverted = chart->DepthAxis()->Inverted();
    for (int xi = 0; xi < nx; ++xi) {
        const int x = forward ? xi + 1 : nx - xi;
        for (int zi = 0; zi < nz; ++zi) {
            const int z = zInverted ? zi + 1 : nz - zi;
            const int i = GridIndex(x, z);
            if (i < 0 || !std::isfinite(YValues()->Value(i))) continue;
            const TColor color = GetValueColor(i);
            if (color == clNone) continue;
            if (Brush()->Style() != bsClear) canvas->Brush()->SetColor(color);
            TRect r;
            int z0, z1;
            CalcCell(i, r, z0, z1);
            const int zm = (z0 + z1) / 2;
            if (blend)
                blend->SetRectangle(
                    FTowerStyle == tsCover
                        ? canvas->RectFromRectZ(TRect(r.Left, r.Top, r.Right, r.Top), z0)
                        : RectFromPolygon(canvas->FourPointsFromRect(r, z0).data(), 4));
            switch (FTowerStyle) {
            case tsCube:
                canvas->Cube(r, z0, z1, FDark3D);
                break;
            case tsRectangle:
                canvas->RectangleWithZ(r, zm);
                break;
            case tsCover:
                canvas->RectangleY(r.Left, r.Top, r.Right, z0, z1);
                break;
            case tsCylinder:
                canvas->Cylinder(true, r.Left, r.Top, r.Right, r.Bottom, z0, z1, FDark3D);
                break;
            case tsArrow:
                canvas->Arrow(true, TPoint((r.Left + r.Right) / 2, r.Bottom),
                              TPoint((r.Left + r.Right) / 2, r.Top), r.Right - r.Left,
                              std::max(1, (r.Right - r.Left) / 2), zm);
                break;
            case tsCone:
                canvas->Cone(true, r.Left, r.Top, r.Right, r.Bottom, z0, z1, FDark3D, 0);
                break;
            case tsPyramid:
                canvas->Pyramid(true, r.Left, r.Top, r.Right, r.Bottom, z0, z1, FDark3D);
                break;
            }
            if (blend) blend->DoBlend(FTransparency);
        }
    }
}

void TTowerSeries::DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) {
    Marks()->ApplyArrowLength(*APosition);
    TCustom3DGridSeries::DrawMark(ValueIndex, St, APosition);
}

int TTowerSeries::Clicked(int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || FTowerStyle != tsCover || Count() == 0) return -1;
    TCanvas3D* canvas = chart->Canvas();
    for (int x = 1; x <= NumXValues(); ++x)
        for (int z = 1; z <= NumZValues(); ++z) {
            const int i = GridIndex(x, z);
            if (i < 0 || GetValueColor(i) == clNone) continue;
            TRect r;
            int z0, z1;
            CalcCell(i, r, z0, z1);
            const TPoint p[4] = {canvas->Calculate3DPosition(r.Left, r.Top, z0),
                                 canvas->Calculate3DPosition(r.Right, r.Top, z0),
                                 canvas->Calculate3DPosition(r.Right, r.Top, z1),
                                 canvas->Calculate3DPosition(r.Left, r.Top, z1)};
            if (PointInPolygon(TPoint(X, Y), p, 3)) return i;
        }
    return -1;
}

void TTowerSeries::PrepareForGallery(bool IsEnabled) {
    TCustom3DGridSeries::PrepareForGallery(IsEnabled);
    SetSampling(true);
    TTeeFinally restore([this] { SetSampling(false); });
    CreateValues(5, 5);
}

void TTowerSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustom3DGridSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    for (const char* name : {"No Border", "Single Color", "Marks", "Hollow", "Rectangle", "Cover",
                             "Circle", "Arrow", "Cone", "Pyramid"})
        AddSubChart(name);
}

void TTowerSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TTowerSeries*>(Series);
    if (!s) return;
    static const TTowerStyle styles[] = {tsRectangle, tsCover, tsCylinder,
                                         tsArrow,     tsCone,  tsPyramid};
    switch (Index) {
    case 2:
        s->Pen()->SetVisible(false);
        break;
    case 3:
        s->SetUsePalette(false);
        break;
    case 4:
        s->Marks()->SetVisible(true);
        break;
    case 5:
        s->Brush()->SetStyle(bsClear);
        break;
    default:
        if (Index >= 6 && Index <= 11)
            s->SetTowerStyle(styles[Index - 6]);
        else
            TCustom3DGridSeries::SetSubGallery(Series, Index);
    }
}
