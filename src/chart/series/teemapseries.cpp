// Map series: polygons and their list, colours by Z, drawing with own or
// series brushes, ranges, clicks, deletion and the twelve sample shapes.
#include "chart/series/teemapseries.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/filer.h"
#include "platform/classes/streams.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <iterator>

QM_CLASS_OWNED(TPolygonSeries, TChartSeries, TComponent)
QM_CLASS_OWNED(TMapSeries, TCustom3DPaletteSeries, TComponent)
QM_CLASS_ABSTRACT(TTeePolygon, TPersistent)
QM_CLASS_ABSTRACT(TTeePolygonList, TObject)

// The polygons travel in the map's own "Polygons" data, not as a property.
QM_PUBLISHED(TMapSeries, Prop("Shapes", &Self::Shapes).Stored(false));

QM_PUBLISHED(TTeePolygon, Prop("Gradient", &Self::Gradient, &Self::SetGradient),
             Prop("ParentBrush", &Self::ParentBrush, &Self::SetParentBrush).Default(true),
             Prop("ParentPen", &Self::ParentPen, &Self::SetParentPen).Default(true),
             Prop("Brush", &Self::Brush, &Self::SetBrush), Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Color", &Self::Color, &Self::SetColor).Default(clWhite).Idents("TColor"),
             Prop("Text", &Self::Text, &Self::SetText), Prop("Z", &Self::Z, &Self::SetZ));

// The palette properties are published by the palette series.

// ---------------------------------------------------------------------------
// TPolygonSeries

TPolygonSeries::TPolygonSeries(TComponent* AOwner) : TChartSeries(AOwner) {
    XValues()->SetOrder(loNone);
    SetShowInLegend(false);
}

void TPolygonSeries::NotifyValue(TValueEvent ValueEvent, int ValueIndex) {
    TChartSeries::NotifyValue(ValueEvent, ValueIndex);
    if (Polygon) Polygon->Owner()->Repaint();
}

void TPolygonSeries::SetActive(bool Value) {
    TChartSeries::SetActive(Value);
    if (Polygon) Polygon->Owner()->Repaint();
}

void TPolygonSeries::SetSeriesColor(TColor Value) {
    TChartSeries::SetSeriesColor(Value);
    if (!Polygon) return;
    const int i = Polygon->Index();
    if (i >= 0 && i < Polygon->Owner()->Count()) Polygon->Owner()->SetValueColor(i, Value);
}

TRect TPolygonSeries::GetBounds(const std::vector<TPoint>& Points) {
    if (Points.empty()) return TRect(0, 0, 0, 0);
    return RectFromPolygon(Points.data(), int(Points.size()));
}

// ---------------------------------------------------------------------------
// TTeePolygon

TTeePolygon::TTeePolygon(TMapSeries* AOwner)
    : FOwner(AOwner), FGradient(std::make_unique<TTeeGradient>()),
      FPoints(std::make_unique<TPolygonSeries>(nullptr)) {
    FGradient->SetVisible(false);
    FPoints->Polygon = this;
}

TTeePolygon::~TTeePolygon() {
    // Freed by its user, not through its list: it leaves the list and takes its
    // value along, so the polygons after it keep their own values.
    TTeePolygonList& list = FOwner->FShapes;
    const int i = list.IndexOf(this);
    if (i < 0) return;
    (void)list.FItems[size_t(i)].release();
    list.FItems.erase(list.FItems.begin() + i);
    if (i < FOwner->Count()) FOwner->TCustom3DPaletteSeries::Delete(i);
}

int TTeePolygon::Index() const {
    return FOwner->FShapes.IndexOf(this);
}

void TTeePolygon::Assign(TPersistent* Source) {
    auto* p = dynamic_cast<TTeePolygon*>(Source);
    if (!p) {
        TPersistent::Assign(Source);
        return;
    }
    if (p == this) return;
    // Read before anything is set: the source may share this polygon's map.
    const AnsiString text = p->Text();
    const double z = p->Z();
    const int from = p->Index();
    const TColor colour =
        from >= 0 && from < p->FOwner->Count() ? p->FOwner->InternalColor(from) : clTeeColor;
    FPoints->Clear();
    FPoints->AssignValues(p->FPoints.get());
    FPoints->SetActive(p->FPoints->Active());
    Brush()->Assign(p->Brush());
    Pen()->Assign(p->Pen());
    FGradient->Assign(p->FGradient.get());
    FParentBrush = p->FParentBrush;
    FParentPen = p->FParentPen;
    const int i = Index();
    if (i >= 0 && i < FOwner->Count()) {
        FOwner->SetXLabel(i, text);
        FOwner->SetZValue(i, z);
        FOwner->SetValueColor(i, colour);
    }
    FOwner->Repaint();
}

TColor TTeePolygon::Color() const {
    const int i = Index();
    if (i < 0 || i >= FOwner->Count()) return clWhite;
    const TColor c = FOwner->InternalColor(i);
    return c == clTeeColor ? clWhite : c;
}

AnsiString TTeePolygon::Text() const {
    return FOwner->GetXLabel(Index());
}
void TTeePolygon::SetText(const AnsiString& Value) {
    FOwner->SetXLabel(Index(), Value);
}
double TTeePolygon::Z() const {
    return FOwner->ZValue(Index());
}
void TTeePolygon::SetZ(double Value) {
    FOwner->SetZValue(Index(), Value);
    FOwner->Repaint();
}

void TTeePolygon::SetParentBrush(bool Value) {
    FParentBrush = Value;
    FOwner->Repaint();
}

void TTeePolygon::SetParentPen(bool Value) {
    FParentPen = Value;
    FOwner->Repaint();
}

std::vector<TPoint> TTeePolygon::GetPoints() {
    std::vector<TPoint> p(FPoints->Count());
    for (int i = 0; i < FPoints->Count(); ++i)
        p[i] = TPoint(FOwner->CalcXPosValue(FPoints->XValues()->Value(i)),
                      FOwner->CalcYPosValue(FPoints->YValues()->Value(i)));
    return p;
}

void TTeePolygon::Draw(TCanvas3D* Canvas, int ValueIndex) {
    if (!FPoints->Active() || FPoints->Count() == 0) return;
    std::vector<TPoint> p = GetPoints();
    TCustomAxisPanel* chart = FOwner->ParentChart();
    const bool is3D = chart && chart->View3D();
    const int z = is3D ? FOwner->CalcZPos(ValueIndex) : 0;
    Canvas->AssignVisiblePen(FParentPen ? FOwner->Pen() : Pen());
    if (FParentBrush) {
        const TColor c = FOwner->ValueColor(ValueIndex);
        Canvas->AssignBrushColor(FOwner->Brush(), c, c);
    } else {
        Canvas->AssignBrush(Brush(), Brush()->Color());
    }
    if (FGradient->Visible() && chart && chart->CanClip()) {
        // Clipped to where the polygon lands on the screen, at its depth in 3D.
        std::vector<TPoint> screen = p;
        if (is3D)
            for (TPoint& q : screen)
                q = Canvas->Calculate3DPosition(q, z);
        ClipPolygon(Canvas, screen.data(), int(screen.size()));
        FGradient->Draw(Canvas, TPolygonSeries::GetBounds(screen));
        Canvas->UnClipRectangle();
        Canvas->Brush()->SetStyle(bsClear);
    }
    if (is3D)
        Canvas->PolygonWithZ(p.data(), int(p.size()) - 1, z);
    else
        Canvas->Polygon(p.data(), int(p.size()) - 1);
}

// ---------------------------------------------------------------------------
// TTeePolygonList

TTeePolygon* TTeePolygonList::Add() {
    FItems.push_back(std::make_unique<TTeePolygon>(FOwner));
    // Polygon i always matches value i of the map: it takes a value added
    // before it without a polygon, or a new one.
    if (Count() > FOwner->Count()) FOwner->AddXYZ(FOwner->Count(), 0, 0, "", clTeeColor);
    return FItems.back().get();
}

TTeePolygon* TTeePolygonList::Get(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds");
    return FItems[size_t(Index)].get();
}

int TTeePolygonList::IndexOf(const TTeePolygon* Item) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)].get() == Item) return i;
    return -1;
}

TTeePolygonList::~TTeePolygonList() {
    FreePolygons(0, Count());
}

void TTeePolygonList::Delete(int Start, int Quantity) {
    if (Start < 0 || Quantity <= 0 || Start >= Count()) return;
    FOwner->Delete(Start, std::min(Quantity, Count() - Start));
}

void TTeePolygonList::Clear() {
    FOwner->Clear();
}

void TTeePolygonList::FreePolygons(int Start, int Quantity) {
    if (Start < 0 || Quantity <= 0 || Start >= Count()) return;
    const auto first = FItems.begin() + Start;
    const auto last = first + std::min(Quantity, Count() - Start);
    // Out of the list before they are freed: a polygon freed while still listed
    // would take its value with it.
    std::vector<std::unique_ptr<TTeePolygon>> freed(std::make_move_iterator(first),
                                                    std::make_move_iterator(last));
    FItems.erase(first, last);
}

void TTeePolygonList::Put(int Index, TTeePolygon* Value) {
    TTeePolygon* p = Get(Index);
    if (Value) p->Assign(Value);
}

void TTeePolygonList::Swap(int a, int b) {
    if (a < 0 || b < 0 || a >= Count() || b >= Count() || a == b) return;
    if (a < FOwner->Count() && b < FOwner->Count())
        FOwner->SwapValueIndex(a, b);
    else
        SwapPolygons(a, b);
    FOwner->Repaint();
}

void TTeePolygonList::SwapPolygons(int a, int b) {
    if (a < 0 || b < 0 || a >= Count() || b >= Count()) return;
    std::swap(FItems[size_t(a)], FItems[size_t(b)]);
}

// ---------------------------------------------------------------------------
// TMapSeries

TMapSeries::TMapSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner) {}

TMapSeries::~TMapSeries() = default;

TColor TMapSeries::GetValueColor(int ValueIndex) {
    TColor c = InternalColor(ValueIndex);
    if (c == clTeeColor && !ColorEachPoint()) {
        const double z = ZValue(ValueIndex);
        if (UseColorRange()) {
            const double lo = ZValues()->MinValue(), hi = ZValues()->MaxValue();
            c = hi > lo && std::isfinite(z)
                    ? RangePercent(std::clamp((z - lo) / (hi - lo), 0.0, 1.0))
                    : EndColor();
        } else if (UsePalette() && !Palette().empty()) {
            c = GetSurfacePaletteColor(z);
        } else {
            c = SeriesColor();
        }
    } else if (c == clTeeColor) {
        c = TChartSeries::GetValueColor(ValueIndex);
    }
    if (OnGetColor) OnGetColor(this, ValueIndex, c);
    return c;
}

void TMapSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin) {
    TCustom3DPaletteSeries::CalcHorizMargins(LeftMargin, RightMargin);
    if (Pen()->Visible()) LeftMargin += Pen()->Width(), RightMargin += Pen()->Width();
}

void TMapSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin) {
    TCustom3DPaletteSeries::CalcVerticalMargins(TopMargin, BottomMargin);
    if (Pen()->Visible()) TopMargin += Pen()->Width(), BottomMargin += Pen()->Width();
}

namespace {
template <typename F> double Extreme(TTeePolygonList& Shapes, F Pick, bool Max) {
    bool any = false;
    double result = 0;
    for (int i = 0; i < Shapes.Count(); ++i) {
        TPolygonSeries* p = Shapes[i]->Points();
        if (p->Count() == 0) continue;
        const double v = Pick(p);
        result = !any ? v : Max ? std::max(result, v) : std::min(result, v);
        any = true;
    }
    return result;
}
} // namespace

double TMapSeries::MaxXValue() {
    return Extreme(
        FShapes, [](TPolygonSeries* p) { return p->XValues()->MaxValue(); }, true);
}
double TMapSeries::MinXValue() {
    return Extreme(
        FShapes, [](TPolygonSeries* p) { return p->XValues()->MinValue(); }, false);
}
double TMapSeries::MaxYValue() {
    return Extreme(
        FShapes, [](TPolygonSeries* p) { return p->YValues()->MaxValue(); }, true);
}
double TMapSeries::MinYValue() {
    return Extreme(
        FShapes, [](TPolygonSeries* p) { return p->YValues()->MinValue(); }, false);
}

void TMapSeries::DrawValue(int ValueIndex) {
    if (ValueIndex < FShapes.Count() && ParentChart())
        FShapes[ValueIndex]->Draw(ParentChart()->Canvas(), ValueIndex);
}

void TMapSeries::DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) {
    if (ValueIndex < FShapes.Count()) {
        const TRect r = TPolygonSeries::GetBounds(FShapes[ValueIndex]->GetPoints());
        APosition->LeftTop = TPoint((r.Left + r.Right) / 2 - APosition->Width / 2,
                                    (r.Top + r.Bottom) / 2 - APosition->Height / 2);
    }
    TCustom3DPaletteSeries::DrawMark(ValueIndex, St, APosition);
}

int TMapSeries::Clicked(int X, int Y) {
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->Calculate2DPosition(X, Y, StartZ());
    for (int i = 0; i < FShapes.Count(); ++i) {
        const std::vector<TPoint> p = FShapes[i]->GetPoints();
        if (!p.empty() && PointInPolygon(TPoint(X, Y), p, int(p.size()) - 1)) return i;
    }
    return -1;
}

void TMapSeries::Delete(int ValueIndex) {
    TCustom3DPaletteSeries::Delete(ValueIndex);
    FShapes.FreePolygons(ValueIndex, 1);
}

void TMapSeries::Delete(int Start, int Quantity, bool RemoveGap) {
    TCustom3DPaletteSeries::Delete(Start, Quantity, RemoveGap);
    FShapes.FreePolygons(Start, Quantity);
}

void TMapSeries::SwapValueIndex(int a, int b) {
    TCustom3DPaletteSeries::SwapValueIndex(a, b);
    FShapes.SwapPolygons(a, b);
}

void TMapSeries::Clear() {
    TCustom3DPaletteSeries::Clear();
    FShapes.FreePolygons(0, FShapes.Count());
}

// ---------------------------------------------------------------------------
// Polygons in chart files: a count, then for each polygon its switches, own
// brush, pen and gradient, and its vertices. Written after the point data,
// so reading finds the map's values there already. Settings that came later
// follow all polygons, only when one of them is set, so older files (and
// files that do not use them) keep their bytes.

namespace {
constexpr int32_t PolygonFields = 16; // int32 fields of one polygon before its vertices
constexpr int32_t LaterFieldsVersion = 1;
constexpr int32_t LaterFields = 4; // pen end style and small dots, gradient centre

void LaterFieldsOf(const TTeePolygon* P, int32_t (&Out)[LaterFields]) {
    Out[0] = P->Pen()->EndStyle();
    Out[1] = P->Pen()->SmallDots();
    Out[2] = P->Gradient()->RadialX();
    Out[3] = P->Gradient()->RadialY();
}

void PutInt(TStream* S, int32_t V) {
    S->WriteBuffer(&V, 4);
}
void PutDouble(TStream* S, double V) {
    S->WriteBuffer(&V, 8);
}
int32_t GetInt(TStream* S) {
    int32_t v = 0;
    S->ReadBuffer(&v, 4);
    return v;
}
double GetDouble(TStream* S) {
    double v = 0;
    S->ReadBuffer(&v, 8);
    return v;
}
} // namespace

void TMapSeries::DefineProperties(TFiler* Filer) {
    TCustom3DPaletteSeries::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Polygons", [this](TStream* S) { ReadPolygons(S); },
        [this](TStream* S) { WritePolygons(S); }, FShapes.Count() > 0);
}

void TMapSeries::WritePolygons(TStream* S) {
    PutInt(S, FShapes.Count());
    for (int i = 0; i < FShapes.Count(); ++i) {
        TTeePolygon* p = FShapes[i];
        TTeeGradient* g = p->Gradient();
        const int32_t fields[PolygonFields] = {
            p->ParentBrush(),  p->ParentPen(),    p->Brush()->Color(), p->Brush()->Style(),
            p->Pen()->Color(), p->Pen()->Style(), p->Pen()->Width(),   p->Pen()->Visible(),
            p->Pen()->Mode(),  g->Visible(),      g->Direction(),      g->StartColor(),
            g->MidColor(),     g->EndColor(),     g->Balance(),        p->Points()->Active()};
        for (int32_t f : fields)
            PutInt(S, f);
        TPolygonSeries* v = p->Points();
        PutInt(S, v->Count());
        for (int k = 0; k < v->Count(); ++k) {
            PutDouble(S, v->XValues()->Value(k));
            PutDouble(S, v->YValues()->Value(k));
        }
    }
    const TTeePolygon fresh(this);
    int32_t start[LaterFields];
    LaterFieldsOf(&fresh, start);
    std::vector<int32_t> later;
    bool any = false;
    for (int i = 0; i < FShapes.Count(); ++i) {
        int32_t f[LaterFields];
        LaterFieldsOf(FShapes[i], f);
        for (int k = 0; k < LaterFields; ++k) {
            any = any || f[k] != start[k];
            later.push_back(f[k]);
        }
    }
    if (!any) return;
    PutInt(S, LaterFieldsVersion);
    for (int32_t f : later)
        PutInt(S, f);
}

void TMapSeries::ReadPolygons(TStream* S) {
    auto left = [S] { return S->Size() - S->Position(); };
    if (left() < 4) throw EReadError("Stream read error");
    const int32_t count = GetInt(S);
    if (count < 0 || count > left() / (4 * (PolygonFields + 1)))
        throw EReadError("Stream read error");
    FShapes.FreePolygons(0, FShapes.Count());
    for (int32_t i = 0; i < count; ++i) {
        if (left() < 4 * (PolygonFields + 1)) throw EReadError("Stream read error");
        int32_t f[PolygonFields];
        for (int32_t& x : f)
            x = GetInt(S);
        const int32_t vertices = GetInt(S);
        if (vertices < 0 || vertices > left() / 16) throw EReadError("Stream read error");
        // Styles become enumerations and the width and balance reach pixel
        // arithmetic: a value no editor can set is a damaged block.
        const auto within = [](int32_t v, int32_t hi) { return v >= 0 && v <= hi; };
        if (!within(f[3], bsDiagCross) || !within(f[5], psInsideFrame) || !within(f[6], 1000) ||
            !within(f[8], pmNotXor) || !within(f[10], gdRadial) || !within(f[14], 100))
            throw EReadError("Stream read error");
        // A file without point data gets its values here.
        TTeePolygon* p = FShapes.Add();
        p->SetParentBrush(f[0] != 0);
        p->SetParentPen(f[1] != 0);
        p->Brush()->SetColor(f[2]);
        p->Brush()->SetStyle(static_cast<TBrushStyle>(f[3]));
        p->Pen()->SetColor(f[4]);
        p->Pen()->SetStyle(static_cast<TPenStyle>(f[5]));
        p->Pen()->SetWidth(f[6]);
        p->Pen()->SetVisible(f[7] != 0);
        p->Pen()->SetMode(static_cast<TPenMode>(f[8]));
        TTeeGradient* g = p->Gradient();
        g->SetVisible(f[9] != 0);
        g->SetDirection(static_cast<TGradientDirection>(f[10]));
        g->SetStartColor(f[11]);
        g->SetMidColor(f[12]);
        g->SetEndColor(f[13]);
        g->SetBalance(f[14]);
        p->Points()->SetActive(f[15] != 0);
        for (int32_t k = 0; k < vertices; ++k) {
            const double x = GetDouble(S);
            p->AddXY(x, GetDouble(S));
        }
    }
    if (left() == 0) return;
    if (left() < 4 + int64_t(count) * 4 * LaterFields || GetInt(S) != LaterFieldsVersion)
        throw EReadError("Stream read error");
    for (int32_t i = 0; i < count; ++i) {
        int32_t f[LaterFields];
        for (int32_t& x : f)
            x = GetInt(S);
        if (f[0] < esRound || f[0] > esFlat || f[1] < 0 || f[1] > 1)
            throw EReadError("Stream read error");
        TTeePolygon* p = FShapes[i];
        p->Pen()->SetEndStyle(static_cast<TPenEndStyle>(f[0]));
        p->Pen()->SetSmallDots(f[1] != 0);
        p->Gradient()->SetRadialX(f[2]);
        p->Gradient()->SetRadialY(f[3]);
    }
}

void TMapSeries::AddSampleValues(int) {
    const int vertices[12] = {13, 8, 15, 7, 10, 11, 11, 9, 14, 11, 9, 6};
    const TColor colours[12] = {0x00FF00, 0x0000FF, 0xFF00FF, 0xFFFF00, 0xC0C0C0, 0xFFFF00,
                                0x008000, 0x808000, 0xFFFFFF, 0x0000FF, 0xFF0000, 0x00FFFF};
    // Twelve blobs on a 4 x 3 grid, each a ring of its vertices.
    for (int k = 0; k < 12; ++k) {
        TTeePolygon* p = FShapes.Add();
        const double cx = 10 + (k % 4) * 20, cy = 10 + (k / 4) * 20;
        for (int v = 0; v < vertices[k]; ++v) {
            const double a = 2 * M_PI * v / vertices[k];
            const double r = 8 + (v % 2) * 1.5;
            p->AddXY(cx + r * std::cos(a), cy + r * std::sin(a));
        }
        p->SetText(AnsiString(char('A' + k)));
        p->SetColor(colours[k]);
        p->SetZ(Random(1000) * 0.001);
    }
}

void TMapSeries::PrepareForGallery(bool IsEnabled) {
    TCustom3DPaletteSeries::PrepareForGallery(IsEnabled);
    if (IsEnabled) return;
    for (int i = 0; i < FShapes.Count(); ++i)
        FShapes[i]->SetColor(0xC0C0C0);
}

void TMapSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustom3DPaletteSeries::CreateSubGallery(AddSubChart);
    if (AddSubChart) AddSubChart("Colors");
}

void TMapSeries::SetSubGallery(TChartSeries* Series, int Index) {
    int count = 0;
    TCustom3DPaletteSeries::CreateSubGallery([&](const AnsiString&) { ++count; });
    if (Index == count + 1) {
        if (auto* s = dynamic_cast<TMapSeries*>(Series)) s->SetColorEachPoint(true);
        return;
    }
    TCustom3DPaletteSeries::SetSubGallery(Series, Index);
}

void TMapSeries::GalleryChanged3D(bool Is3D) {
    if (!Is3D && ParentChart()) ParentChart()->SetView3D(false);
    TCustom3DPaletteSeries::GalleryChanged3D(Is3D);
}
