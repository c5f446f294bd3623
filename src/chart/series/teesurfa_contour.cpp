// Contour series: automatic or given levels, each cell cut into four triangles
// around its centre and crossed level by level; the pieces are chained into
// polylines and drawn flat in 2D or at a height in 3D.
//   [levels]     TContourLevel, TContourLevels, TSmoothPoints
//   [contouring] cell triangles and crossings (the pieces are chained by
//                TContourChains, contourchains.cpp)
//   [series]     levels, drawing, legend, clicks, gallery
#include "chart/engine/teeprocs.h"
#include "chart/series/curvfitt.h"
#include "chart/series/teesurfa.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TContourLevel, TCollectionItem, TCollection)
QM_CLASS_ABSTRACT(TContourLevels, TOwnedCollection)
QM_CLASS_PLAIN(TSmoothPoints, TPersistent)
QM_CLASS_OWNED(TContourSeries, TCustom3DGridSeries, TComponent)

QM_PUBLISHED(TContourLevel, Prop("Color", &Self::Color, &Self::SetColor).Idents("TColor"),
             Prop("Pen", &Self::Pen, &Self::SetPen).Stored(&Self::IsPenStored),
             Prop("UpToValue", &Self::UpToValue, &Self::SetUpToValue));

QM_PUBLISHED(TSmoothPoints, Prop("Active", &Self::Active, &Self::SetActive).Default(false),
             Prop("Interpolate", &Self::Interpolate, &Self::SetInterpolate).Default(false));

QM_PUBLISHED(
    TContourSeries,
    Prop("AutomaticLevels", &Self::AutomaticLevels, &Self::SetAutomaticLevels).Default(true),
    Prop("ColorEachPoint", &Self::ColorEachPoint, &Self::SetColorEachPoint).Default(true),
    Prop("Levels", &Self::Levels, &Self::SetLevels).Stored(&Self::IsLevelsStored),
    Prop("NumLevels", &Self::NumLevels, &Self::SetNumLevels).Default(10),
    Prop("Smoothing", &Self::Smoothing), Prop("YPosition", &Self::YPosition, &Self::SetYPosition),
    Prop("YPositionLevel", &Self::YPositionLevel, &Self::SetYPositionLevel).Default(false),
    Prop("OnBeforeDrawLevel", &Self::OnBeforeDrawLevel), Prop("OnGetLevel", &Self::OnGetLevel));

// [levels] -------------------------------------------------------------------

TContourLevel::TContourLevel(TCollection* Collection) : TCollectionItem(Collection) {}

TContourLevel::~TContourLevel() {
    TContourSeries* s = Series();
    if (s && !s->CreatingLevels()) {
        s->SetAutomaticLevels(false);
        s->Repaint();
    }
}

TContourSeries* TContourLevel::Series() const {
    auto* levels = dynamic_cast<TContourLevels*>(Collection());
    return levels ? levels->Series() : nullptr;
}

void TContourLevel::CheckAuto() {
    TContourSeries* s = Series();
    if (s && !s->CreatingLevels()) s->SetAutomaticLevels(false);
}

void TContourLevel::SetColor(TColor Value) {
    FColor = Value;
    if (FPen) {
        // A pen made only by reading follows the level's colour without becoming its own.
        const bool own = FPenOwn;
        FPen->SetColor(Value);
        FPenOwn = own;
    }
    if (TContourSeries* s = Series()) s->Repaint();
    CheckAuto();
}

void TContourLevel::SetUpToValue(double Value) {
    FUpToValue = Value;
    if (TContourSeries* s = Series()) s->Repaint();
    CheckAuto();
}

// Reading the pen makes one to hand out; only a change to it makes it the
// level's own, stored and drawn, and turns automatic levels off.
TChartPen* TContourLevel::Pen() {
    if (!FPen) {
        FPen = std::make_unique<TChartPen>();
        FPen->SetColor(FColor);
        FPen->OnChange = [this](TObject*) { PenChanged(); };
    }
    return FPen.get();
}

void TContourLevel::PenChanged() {
    FPenOwn = true;
    if (TContourSeries* s = Series()) s->Repaint();
    CheckAuto();
}

void TContourLevel::SetPen(TChartPen* Value) {
    if (!Value) {
        FPen.reset();
        FPenOwn = false;
        if (TContourSeries* s = Series()) s->Repaint();
    } else {
        Pen()->Assign(Value);
        PenChanged();
    }
}

TChartPen* TContourLevel::InternalPen() {
    if (FPenOwn) return FPen.get();
    TContourSeries* s = Series();
    return s ? s->Pen() : nullptr;
}

void TContourLevel::Assign(TPersistent* Source) {
    auto* l = dynamic_cast<TContourLevel*>(Source);
    if (!l) {
        TCollectionItem::Assign(Source);
        return;
    }
    FColor = l->FColor;
    FUpToValue = l->FUpToValue;
    if (l->IsPenStored()) {
        Pen()->Assign(l->FPen.get());
        FPenOwn = true;
    } else {
        FPen.reset();
        FPenOwn = false;
    }
}

std::vector<TPoint> TContourLevel::GetSegmentPoints(int SegmentIndex) {
    std::vector<TPoint> result;
    TContourSeries* s = Series();
    if (!s || SegmentIndex < 0 || SegmentIndex >= SegmentCount()) return result;
    TChartAxis* zAxis = s->GetZAxis();
    const TContourSegment& seg = Segments[static_cast<size_t>(SegmentIndex)];
    result.reserve(seg.size());
    for (const TContourPoint& p : seg)
        result.emplace_back(s->CalcXPosValue(p.X), zAxis->CalcYPosValue(p.Z));
    return result;
}

bool TContourLevel::ClickedSegment(int X, int Y, int& PointIndex, int Segment) {
    TContourSeries* s = Series();
    if (!s || !s->ParentChart()) return false;
    TCustomAxisPanel* chart = s->ParentChart();
    std::vector<TPoint> pts = GetSegmentPoints(Segment);
    if (chart->View3D()) {
        // Where the segment was drawn: at its height and each point's depth.
        const TContourSegment& seg = Segments[static_cast<size_t>(Segment)];
        const double h = s->YPositionLevel() ? FUpToValue : s->YPosition();
        const int y = s->GetVertAxis()->CalcYPosValue(h);
        for (size_t i = 0; i < pts.size(); ++i)
            pts[i] = chart->Canvas()->Calculate3DPosition(
                pts[i].x, y, chart->DepthAxis()->CalcYPosValue(seg[i].Z));
    }
    for (size_t i = 1; i < pts.size(); ++i)
        if (PointInLine(TPoint(X, Y), pts[i - 1], pts[i])) {
            PointIndex = static_cast<int>(i - 1);
            return true;
        }
    return false;
}

bool TContourLevel::Clicked(int X, int Y, int& SegmentIndex, int& PointIndex) {
    for (int i = 0; i < SegmentCount(); ++i)
        if (ClickedSegment(X, Y, PointIndex, i)) {
            SegmentIndex = i;
            return true;
        }
    return false;
}

TContourLevels::TContourLevels(TContourSeries* AOwner)
    : TOwnedCollection(AOwner, &TContourLevel::ClassInfo), FSeries(AOwner) {}

int TContourLevels::Clicked(int X, int Y, int& SegmentIndex, int& PointIndex) {
    for (int i = 0; i < Count(); ++i)
        if (Get(i)->Clicked(X, Y, SegmentIndex, PointIndex)) return i;
    return -1;
}

void TSmoothPoints::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TSmoothPoints*>(Source)) {
        FActive = s->FActive;
        FInterpolate = s->FInterpolate;
        FFactor = s->FFactor;
        return;
    }
    TPersistent::Assign(Source);
}

void TSmoothPoints::SetActive(bool Value) {
    FActive = Value;
    if (FSeries) FSeries->Repaint();
}

void TSmoothPoints::SetInterpolate(bool Value) {
    FInterpolate = Value;
    if (FSeries) FSeries->Repaint();
}

std::vector<TPoint> TSmoothPoints::Calculate(const std::vector<TPoint>& Points) const {
    const int n = static_cast<int>(Points.size());
    // One point has no curve through it.
    if (n < 2) return Points;
    TBSpline spline;
    for (const TPoint& p : Points)
        spline.AddPoint(p.x, p.y);
    spline.SetInterpolated(FInterpolate);
    spline.SetFragments(FFactor * n);
    const int fragments = spline.Fragments();
    std::vector<TPoint> result;
    result.reserve(static_cast<size_t>(fragments) + 1);
    for (int j = 0; j <= fragments; ++j) {
        const TBSplineVertex v = spline.Value(double(j) / fragments);
        result.emplace_back(SafeInt(std::nearbyint(v.X)), SafeInt(std::nearbyint(v.Y)));
    }
    return result;
}

// [contouring] ---------------------------------------------------------------

namespace {

// CONREC's case table: the signs of a triangle's three vertices choose the line.
constexpr int CaseTable[3][3][3] = {{{0, 0, 8}, {0, 2, 5}, {7, 6, 9}},
                                    {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}},
                                    {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}}};

void ContourCell(const double H[5], const double X[5], const double Z[5], double Level,
                 TContourChains& Segs) {
    double h[5];
    int sh[5];
    for (int m = 0; m < 5; ++m) {
        h[m] = H[m] - Level;
        sh[m] = h[m] > 0 ? 1 : (h[m] < 0 ? -1 : 0);
    }
    const auto cross = [&](int p, int q) {
        return TContourPoint{(h[q] * X[p] - h[p] * X[q]) / (h[q] - h[p]),
                             (h[q] * Z[p] - h[p] * Z[q]) / (h[q] - h[p])};
    };
    const auto vertex = [&](int p) { return TContourPoint{X[p], Z[p]}; };
    for (int m = 1; m <= 4; ++m) {
        const int m1 = m, m2 = 0, m3 = m == 4 ? 1 : m + 1;
        const int c = CaseTable[sh[m1] + 1][sh[m2] + 1][sh[m3] + 1];
        TContourPoint a, b;
        switch (c) {
        case 0:
            continue;
        case 1:
            a = vertex(m1), b = vertex(m2);
            break;
        case 2:
            a = vertex(m2), b = vertex(m3);
            break;
        case 3:
            a = vertex(m3), b = vertex(m1);
            break;
        case 4:
            a = vertex(m1), b = cross(m2, m3);
            break;
        case 5:
            a = vertex(m2), b = cross(m3, m1);
            break;
        case 6:
            a = vertex(m3), b = cross(m1, m2);
            break;
        case 7:
            a = cross(m1, m2), b = cross(m2, m3);
            break;
        case 8:
            a = cross(m2, m3), b = cross(m3, m1);
            break;
        default:
            a = cross(m3, m1), b = cross(m1, m2);
        }
        Segs.AddLine(a, b);
    }
}

} // namespace

void TContourSeries::ContourLevels() {
    const int n = FLevels->Count();
    for (int i = 0; i < n; ++i)
        FLevels->Get(i)->ClearSegments();
    if (n == 0 || Count() == 0) return;
    IInc = 1;
    IZInc = 1;
    std::vector<double> values(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        values[static_cast<size_t>(i)] = FLevels->Get(i)->UpToValue();
    const double firstLevel = values.front(), lastLevel = values.back();
    // Ascending levels (the automatic ones are) let a cell find its levels by
    // bisection; any other order is walked level by level.
    const bool ascending = std::adjacent_find(values.begin(), values.end(), [](double A, double B) {
                               return !(A <= B);
                           }) == values.end();
    const double* xs = XValues()->Data();
    const double* ys = YValues()->Data();
    const double* zs = ZValues()->Data();
    std::vector<TContourChains> chains(static_cast<size_t>(n));
    for (int z = 1; z <= NumZValues() - 1; ++z)
        for (int x = 1; x <= NumXValues() - 1; ++x) {
            const int v[4] = {GridIndex(x, z), GridIndex(x + 1, z), GridIndex(x + 1, z + 1),
                              GridIndex(x, z + 1)};
            if ((v[0] | v[1] | v[2] | v[3]) < 0) continue;
            double H[5], X[5], Z[5];
            H[0] = X[0] = Z[0] = 0;
            for (int k = 0; k < 4; ++k) {
                H[k + 1] = ys[v[k]];
                X[k + 1] = xs[v[k]];
                Z[k + 1] = zs[v[k]];
                H[0] += H[k + 1];
                X[0] += X[k + 1];
                Z[0] += Z[k + 1];
            }
            // A cell with a missing (NaN) or infinite height or position has no
            // crossings; the sums are finite only when every term is.
            if (!std::isfinite(H[0]) || !std::isfinite(X[0]) || !std::isfinite(Z[0])) continue;
            H[0] *= 0.25;
            X[0] *= 0.25;
            Z[0] *= 0.25;
            const double lo = std::min({H[1], H[2], H[3], H[4]});
            const double hi = std::max({H[1], H[2], H[3], H[4]});
            if (lo > lastLevel || hi < firstLevel) continue;
            if (ascending) {
                for (auto it = std::lower_bound(values.begin(), values.end(), lo);
                     it != values.end() && *it <= hi; ++it)
                    ContourCell(H, X, Z, *it, chains[static_cast<size_t>(it - values.begin())]);
                continue;
            }
            for (int i = 0; i < n; ++i) {
                const double level = values[static_cast<size_t>(i)];
                if (level >= lo && level <= hi)
                    ContourCell(H, X, Z, level, chains[static_cast<size_t>(i)]);
            }
        }
    for (int i = 0; i < n; ++i)
        FLevels->Get(i)->Segments = chains[static_cast<size_t>(i)].TakeSegments();
}

// [series] -------------------------------------------------------------------

TContourSeries::TContourSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner) {
    FLevels = std::make_unique<TContourLevels>(this);
    FSmoothing = std::make_unique<TSmoothPoints>(this);
    SetColorEachPoint(true);
}

TContourSeries::~TContourSeries() {
    FSmoothing.reset();
    FCreatingLevels = true;
    FLevels.reset();
}

int TContourSeries::NumLevels() const {
    return FAutomaticLevels ? FNumLevels : FLevels->Count();
}

void TContourSeries::SetNumLevels(int Value) {
    if (Value < 0 || Value > MaxLevels)
        throw ChartException(Format("NumLevels must be from 0 to %d", {MaxLevels}));
    SetIntegerProperty(FNumLevels, Value);
    if (FAutomaticLevels) {
        FCreatingLevels = true;
        TTeeFinally done([this] { FCreatingLevels = false; });
        FLevels->Clear();
        FAutomaticLevels = true;
    }
}

void TContourSeries::CreateAutoLevels() {
    const int n = NumLevels();
    if (!FAutomaticLevels || n < 1) return;
    TCustomAxisPanel* chart = ParentChart();
    const bool oldRepaint = chart ? chart->AutoRepaint() : false;
    FCreatingLevels = true;
    if (chart) chart->SetAutoRepaint(false);
    TTeeFinally done([this, chart, oldRepaint] {
        FCreatingLevels = false;
        if (chart) chart->SetAutoRepaint(oldRepaint);
    });
    const double minimum = Count() ? YValues()->MinValue() : 0;
    const double step = (Count() ? YValues()->Range() : 0) / n;
    FLevels->Clear();
    for (int i = 0; i < n; ++i) {
        TContourLevel* level = FLevels->AddLevel();
        double value = minimum + i * step;
        // A level past the points has no point of its own to take a colour from.
        TColor color =
            ColorEachPoint() && i < Count() ? GetValueColor(i) : GetValueColorValue(value);
        if (OnGetLevel) OnGetLevel(this, i, value, color);
        level->SetUpToValue(value);
        level->SetColor(color);
    }
}

void TContourSeries::DoBeforeDrawChart() {
    TCustom3DGridSeries::DoBeforeDrawChart();
    CreateAutoLevels();
}

TChartAxis* TContourSeries::GetZAxis() {
    TCustomAxisPanel* chart = ParentChart();
    if (chart && chart->View3D()) return chart->DepthAxis();
    return GetVertAxis();
}

double TContourSeries::MaxYValue() {
    if (ParentChart() && !ParentChart()->View3D()) return ZValues()->MaxValue();
    return TCustom3DGridSeries::MaxYValue();
}

double TContourSeries::MinYValue() {
    if (ParentChart() && !ParentChart()->View3D()) return ZValues()->MinValue();
    return TCustom3DGridSeries::MinYValue();
}

void TContourSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() == 0) return;
    TCanvas3D* canvas = chart->Canvas();
    canvas->SetBackMode(cbmTransparent);
    ContourLevels();
    const bool is3D = chart->View3D();
    for (int i = 0; i < FLevels->Count(); ++i) {
        TContourLevel* level = FLevels->Get(i);
        if (TChartPen* pen = level->InternalPen())
            canvas->AssignVisiblePenColor(pen, level->Color());
        const int height =
            GetVertAxis()->CalcYPosValue(FYPositionLevel ? level->UpToValue() : FYPosition);
        if (OnBeforeDrawLevel) OnBeforeDrawLevel(this, i);
        for (int s = 0; s < level->SegmentCount(); ++s) {
            if (!is3D) {
                std::vector<TPoint> pts = level->GetSegmentPoints(s);
                if (FSmoothing->Active()) pts = FSmoothing->Calculate(pts);
                if (pts.size() >= 2) canvas->Polyline(pts.data(), static_cast<int>(pts.size()) - 1);
            } else {
                const TContourSegment& seg = level->Segments[static_cast<size_t>(s)];
                TChartAxis* depth = chart->DepthAxis();
                for (size_t k = 0; k < seg.size(); ++k) {
                    const int x = CalcXPosValue(seg[k].X), z = depth->CalcYPosValue(seg[k].Z);
                    if (k == 0)
                        canvas->MoveTo3D(x, height, z);
                    else
                        canvas->LineTo3D(x, height, z);
                }
            }
        }
    }
}

int TContourSeries::Clicked(int X, int Y) {
    int segment = -1, point = -1;
    return FLevels->Clicked(X, Y, segment, point);
}

int TContourSeries::CountLegendItems() {
    return FLevels->Count();
}

AnsiString TContourSeries::LegendString(int LegendIndex, TLegendTextStyle LegendTextStyle) {
    (void)LegendTextStyle;
    const int i = FLevels->Count() - 1 - LegendIndex;
    if (i < 0 || i >= FLevels->Count()) return "";
    return FormatFloat(ValueFormat(), FLevels->Get(i)->UpToValue());
}

TColor TContourSeries::LegendItemColor(int LegendIndex) {
    const int i = FLevels->Count() - 1 - LegendIndex;
    if (i < 0 || i >= FLevels->Count()) return SeriesColor();
    return FLevels->Get(i)->Color();
}

void TContourSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    TChartSeries::DrawLegendShape(ValueIndex, Rect);
}

void TContourSeries::AddSampleValues(int NumValues) {
    TCustom3DGridSeries::AddSampleValues(NumValues);
    if (Count()) FYPosition = (YValues()->MaxValue() + YValues()->MinValue()) * 0.5;
}

void TContourSeries::PrepareForGallery(bool IsEnabled) {
    TCustom3DGridSeries::PrepareForGallery(IsEnabled);
    if (!IsEnabled) SetSeriesColor(0x808080);
}

void TContourSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustom3DGridSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    AddSubChart("Colors");
    AddSubChart("Positions");
}

void TContourSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TContourSeries*>(Series);
    if (!s) return;
    if (Index == 2)
        s->SetColorEachPoint(true);
    else if (Index == 3)
        s->SetYPositionLevel(true);
    else
        TCustom3DGridSeries::SetSubGallery(Series, Index);
}

void TContourSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TContourSeries*>(Source)) {
        FAutomaticLevels = s->FAutomaticLevels;
        FCreatingLevels = true;
        TTeeFinally done([this] { FCreatingLevels = false; });
        FLevels->Assign(s->FLevels.get());
        FNumLevels = s->FNumLevels;
        FYPosition = s->FYPosition;
        FYPositionLevel = s->FYPositionLevel;
    }
    TCustom3DGridSeries::Assign(Source);
}
