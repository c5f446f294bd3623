// Triangulated surface.
//   [triangulation]  closest pair, points by distance, border walk, diagonal exchanges
//   [series]         triangulation before each paint, sorted or full-rotation drawing, border
#include "chart/series/teetrisurface.h"
#include "chart/engine/teemarks.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <numeric>

QM_CLASS_OWNED(TCustomTriSurfaceSeries, TCustom3DPaletteSeries, TComponent)
QM_CLASS_OWNED(TTriSurfaceSeries, TCustomTriSurfaceSeries, TComponent)

QM_PUBLISHED(TTriSurfaceSeries, Prop("Border", &Self::Border));

// [triangulation] ------------------------------------------------------------

namespace {

struct TTriBuilder {
    const std::vector<double>& X;
    const std::vector<double>& Z;
    std::vector<std::array<int, 3>> Tri;
    std::vector<std::array<int, 3>> Nbr;  // neighbour across edge (v[k], v[k+1]); -1 on the border
    std::vector<int> Next, Prev, HullTri; // border as a ring of points; HullTri of edge p->Next[p]
    int HullStart = -1;

    double Cross(int O, int A, int B) const {
        return (X[A] - X[O]) * (Z[B] - Z[O]) - (Z[A] - Z[O]) * (X[B] - X[O]);
    }
    double Dist2(int A, int B) const {
        const double dx = X[A] - X[B], dz = Z[A] - Z[B];
        return dx * dx + dz * dz;
    }
    int EdgeOf(int T, int A, int B) const {
        for (int k = 0; k < 3; ++k)
            if (Tri[T][k] == A && Tri[T][(k + 1) % 3] == B) return k;
        return -1;
    }
    void Relink(int T, int A, int B, int NewNbr) {
        if (T < 0) return;
        const int k = EdgeOf(T, A, B);
        if (k >= 0) Nbr[T][k] = NewNbr;
    }
    int AddTri(int A, int B, int C) {
        Tri.push_back({A, B, C});
        Nbr.push_back({-1, -1, -1});
        return static_cast<int>(Tri.size()) - 1;
    }

    // Edge k of T against its neighbour: exchanged when the other diagonal
    // gives the larger smallest angle; the new outer edges are checked again.
    void Legalize(int T0, int K0) {
        std::vector<std::pair<int, int>> stack{{T0, K0}};
        size_t budget = 64 * Tri.size() + 1024; // a bound, never reached in practice
        while (!stack.empty() && budget-- > 0) {
            auto [t, k] = stack.back();
            stack.pop_back();
            const int u = Nbr[t][k];
            if (u < 0) continue;
            const int A = Tri[t][k], B = Tri[t][(k + 1) % 3], C = Tri[t][(k + 2) % 3];
            const int ku = EdgeOf(u, B, A);
            if (ku < 0) continue;
            const int D = Tri[u][(ku + 2) % 3];
            if (!TCustomTriSurfaceSeries::IDxchg(X[A], Z[A], X[B], Z[B], X[C], Z[C], X[D], Z[D]))
                continue;
            const int tBC = Nbr[t][(k + 1) % 3], tCA = Nbr[t][(k + 2) % 3];
            const int uAD = Nbr[u][(ku + 1) % 3], uDB = Nbr[u][(ku + 2) % 3];
            Tri[t] = {C, A, D};
            Nbr[t] = {tCA, uAD, u};
            Tri[u] = {C, D, B};
            Nbr[u] = {t, uDB, tBC};
            Relink(uAD, D, A, t);
            Relink(tBC, C, B, u);
            if (uAD < 0 && Next[A] == D) HullTri[A] = t;
            if (tBC < 0 && Next[B] == C) HullTri[B] = u;
            stack.push_back({t, 1});
            stack.push_back({u, 1});
        }
    }

    void AddPoint(int P, bool Improve) {
        // The border lines that P lies beyond: a run on the ring.
        const auto beyond = [&](int A, double Tol) {
            const int B = Next[A];
            return -Cross(A, B, P) > Tol * Dist2(A, B);
        };
        int first = -1;
        double tol = 1e-6;
        for (int pass = 0; pass < 2 && first < 0; ++pass) {
            tol = pass == 0 ? 1e-6 : 0;
            int a = HullStart;
            do {
                if (beyond(a, tol)) {
                    first = a;
                    break;
                }
                a = Next[a];
            } while (a != HullStart);
        }
        if (first < 0) {
            // On the border itself: the line it lies nearest to takes it.
            int a = HullStart;
            double best = -1e300;
            do {
                const double c = -Cross(a, Next[a], P);
                if (c > best) best = c, first = a;
                a = Next[a];
            } while (a != HullStart);
            tol = -1e300;
        }
        int start = first;
        while (beyond(Prev[start], tol) && Prev[start] != first)
            start = Prev[start];
        int end = Next[first];
        while (beyond(end, tol) && end != start)
            end = Next[end];
        std::vector<int> added;
        int prevTri = -1;
        for (int a = start; a != end; a = Next[a]) {
            const int b = Next[a];
            const int t = AddTri(b, a, P);
            const int old = HullTri[a];
            Nbr[t][0] = old;
            Relink(old, a, b, t);
            if (prevTri >= 0) {
                Nbr[t][1] = prevTri; // edge (a, P) against the previous triangle's (P, a)
                Nbr[prevTri][2] = t;
            }
            prevTri = t;
            added.push_back(t);
        }
        const int firstTri = added.front(), lastTri = added.back();
        // The run start..end becomes start -> P -> end.
        Next[start] = P;
        Prev[P] = start;
        Next[P] = end;
        Prev[end] = P;
        HullTri[start] = firstTri;
        HullTri[P] = lastTri;
        HullStart = start;
        if (Improve)
            for (int t : added)
                Legalize(t, 0);
    }
};

} // namespace

bool TCustomTriSurfaceSeries::IDxchg(double X1, double Y1, double X2, double Y2, double X3,
                                     double Y3, double X4, double Y4) {
    // Twice the signed areas of the four triangles about the quadrilateral.
    const double u3 = (Y2 - Y3) * (X1 - X3) - (X2 - X3) * (Y1 - Y3);
    const double u4 = (Y1 - Y4) * (X2 - X4) - (X1 - X4) * (Y2 - Y4);
    if (u3 * u4 <= 0) return false; // P3 and P4 on one side of P1-P2
    const double u1 = (Y3 - Y1) * (X4 - X1) - (X3 - X1) * (Y4 - Y1);
    const double u2 = (Y4 - Y2) * (X3 - X2) - (X4 - X2) * (Y3 - Y2);
    if (u1 * u2 <= 0) return false; // not convex: P3-P4 would leave the quadrilateral
    const auto sq = [](double a, double b) { return a * a + b * b; };
    const double a1 = sq(X1 - X3, Y1 - Y3), b1 = sq(X4 - X1, Y4 - Y1), c1 = sq(X3 - X4, Y3 - Y4);
    const double a2 = sq(X2 - X4, Y2 - Y4), b2 = sq(X3 - X2, Y3 - Y2), c3 = sq(X2 - X1, Y2 - Y1);
    // Smallest squared sine beside each diagonal, in each of its two triangles.
    const double s1 = u1 * u1 / (c1 * std::max(a1, b1));
    const double s2 = u2 * u2 / (c1 * std::max(a2, b2));
    const double s3 = u3 * u3 / (c3 * std::max(b2, a1));
    const double s4 = u4 * u4 / (c3 * std::max(b1, a2));
    return std::min(s3, s4) < std::min(s1, s2);
}

TTriangulation TeeTriangulate(const std::vector<double>& X, const std::vector<double>& Z,
                              bool Improve) {
    const int n = static_cast<int>(std::min(X.size(), Z.size()));
    if (n < 4) throw ETriSurfaceException("Number of points must be >= 4");
    TTriBuilder b{X, Z, {}, {}, {}, {}, {}};
    // Closest pair: a sweep along X cut off by the best distance so far.
    std::vector<int> byX(static_cast<size_t>(n));
    std::iota(byX.begin(), byX.end(), 0);
    std::sort(byX.begin(), byX.end(), [&](int a, int c) { return X[a] < X[c]; });
    double best = b.Dist2(byX[0], byX[1]);
    int p1 = byX[0], p2 = byX[1];
    for (int i = 0; i < n && best > 0; ++i)
        for (int j = i + 1; j < n; ++j) {
            const double dx = X[byX[j]] - X[byX[i]];
            if (dx * dx >= best) break;
            const double d = b.Dist2(byX[i], byX[j]);
            if (d < best) best = d, p1 = byX[i], p2 = byX[j];
            if (best == 0) break;
        }
    if (best == 0) throw ETriSurfaceException("Similar points - cannot execute");
    const double mx = (X[p1] + X[p2]) / 2, mz = (Z[p1] + Z[p2]) / 2;
    std::vector<int> order;
    order.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        if (i != p1 && i != p2) order.push_back(i);
    std::vector<double> key(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        key[i] = (X[i] - mx) * (X[i] - mx) + (Z[i] - mz) * (Z[i] - mz);
    std::stable_sort(order.begin(), order.end(), [&](int a, int c) { return key[a] < key[c]; });
    auto third = std::find_if(order.begin(), order.end(),
                              [&](int p) { return std::fabs(b.Cross(p1, p2, p)) > 1e-6 * best; });
    if (third == order.end()) throw ETriSurfaceException("All colinear data points");
    const int p3 = *third;
    order.erase(third);
    b.Next.assign(static_cast<size_t>(n), -1);
    b.Prev.assign(static_cast<size_t>(n), -1);
    b.HullTri.assign(static_cast<size_t>(n), -1);
    if (b.Cross(p1, p2, p3) < 0) std::swap(p1, p2);
    b.AddTri(p1, p2, p3);
    b.Next[p1] = p2, b.Next[p2] = p3, b.Next[p3] = p1;
    b.Prev[p2] = p1, b.Prev[p3] = p2, b.Prev[p1] = p3;
    b.HullTri[p1] = b.HullTri[p2] = b.HullTri[p3] = 0;
    b.HullStart = p1;
    for (int p : order)
        b.AddPoint(p, Improve);
    TTriangulation result;
    result.Triangles.reserve(b.Tri.size() * 3);
    for (const auto& t : b.Tri)
        result.Triangles.insert(result.Triangles.end(), t.begin(), t.end());
    int a = b.HullStart;
    do {
        result.Borders.insert(result.Borders.end(), {a, b.Next[a], b.HullTri[a]});
        a = b.Next[a];
    } while (a != b.HullStart);
    return result;
}

// [series] -------------------------------------------------------------------

TCustomTriSurfaceSeries::TCustomTriSurfaceSeries(TComponent* AOwner)
    : TCustom3DPaletteSeries(AOwner) {
    FBorder = std::make_unique<TChartHiddenPen>([this](TObject* Sender) { CanvasChanged(Sender); });
    FBorder->SetColor(clWhite);
}

TCustomTriSurfaceSeries::~TCustomTriSurfaceSeries() = default;

void TCustomTriSurfaceSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustomTriSurfaceSeries*>(Source)) {
        FBorder->Assign(s->FBorder.get());
        FImprove = s->FImprove;
        FHide = s->FHide;
    }
    TCustom3DPaletteSeries::Assign(Source);
}

void TCustomTriSurfaceSeries::Clear() {
    TCustom3DPaletteSeries::Clear();
    FTriangulated = false;
    FTri = TTriangulation();
}

namespace {
const char* const NonFinitePoint = "Point without a finite X and Z value";

bool AllFinite(const double* X, const double* Z, int Count) {
    for (int i = 0; i < Count; ++i)
        if (!std::isfinite(X[i]) || !std::isfinite(Z[i])) return false;
    return true;
}
} // namespace

void TCustomTriSurfaceSeries::Loaded() {
    TCustom3DPaletteSeries::Loaded();
    if (!AllFinite(XValues()->Data(), ZValues()->Data(), Count()))
        throw EReadError("Error reading " + Name() + ": " + NonFinitePoint);
}

void TCustomTriSurfaceSeries::Triangulate() {
    FTriangulated = false;
    FTri = TTriangulation();
    const int n = Count();
    std::vector<double> x(XValues()->Data(), XValues()->Data() + n);
    std::vector<double> z(ZValues()->Data(), ZValues()->Data() + n);
    if (!AllFinite(x.data(), z.data(), n)) throw ETriSurfaceException(NonFinitePoint);
    FTri = TeeTriangulate(x, z, FImprove);
    FTriangulated = true;
}

void TCustomTriSurfaceSeries::DoBeforeDrawValues() {
    TCustom3DPaletteSeries::DoBeforeDrawValues();
    FTriangulated = false;
    FTri = TTriangulation();
    if (Count() < 4) throw ETriSurfaceException("Number of points must be >= 4");
    Triangulate();
}

void TCustomTriSurfaceSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || !FTriangulated) return;
    if (!Pen()->Visible() && Brush()->Style() == bsClear) return;
    TCanvas3D* canvas = chart->Canvas();
    const int n = Count();
    std::vector<int> xs(static_cast<size_t>(n)), ys(static_cast<size_t>(n)),
        zs(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        xs[i] = CalcXPos(i);
        ys[i] = CalcYPos(i);
        zs[i] = CalcZPos(i);
    }
    const int nt = FTri.NumTriangles();
    const int* t = FTri.Triangles.data();
    if (Pen()->Visible() || Brush()->Style() != bsClear) {
        canvas->AssignBrush(Brush(), SeriesColor());
        canvas->AssignVisiblePen(Pen());
        if (FHide && !canvas->SupportsFullRotation() && canvas->Brush()->Style() == bsSolid) {
            // Back to front by the largest Z of each triangle.
            const double* zv = ZValues()->Data();
            std::vector<double> sortKey(static_cast<size_t>(nt));
            for (int i = 0; i < nt; ++i)
                sortKey[i] = std::max({zv[t[3 * i]], zv[t[3 * i + 1]], zv[t[3 * i + 2]]});
            std::vector<int> order(static_cast<size_t>(nt));
            std::iota(order.begin(), order.end(), 0);
            const bool inverted = chart->DepthAxis()->Inverted();
            std::stable_sort(order.begin(), order.end(), [&](int a, int c) {
                return inverted ? sortKey[a] < sortKey[c] : sortKey[a] > sortKey[c];
            });
            for (int i : order) {
                TPoint p[3];
                for (int k = 0; k < 3; ++k) {
                    const int v = t[3 * i + k];
                    canvas->Calc3DPoint(p[k], xs[v], ys[v], zs[v]);
                }
                const TColor c = GetValueColor(t[3 * i]);
                if (c == clNone) continue;
                canvas->Brush()->SetColor(c);
                canvas->Polygon(p, 2);
            }
        } else {
            for (int i = 0; i < nt; ++i) {
                TTrianglePoints3D p;
                TTriangleColors3D c;
                for (int k = 0; k < 3; ++k) {
                    const int v = t[3 * i + k];
                    p[k] = Point3D(xs[v], ys[v], zs[v]);
                    c[k] = GetValueColor(v);
                }
                canvas->Triangle3D(p, c);
            }
        }
    }
    if (FBorder->Visible()) {
        canvas->AssignVisiblePen(FBorder.get());
        for (int i = 0; i < FTri.NumBorders(); ++i) {
            const int a = FTri.Borders[3 * i], b = FTri.Borders[3 * i + 1];
            canvas->MoveTo3D(xs[a], ys[a], zs[a]);
            canvas->LineTo3D(xs[b], ys[b], zs[b]);
        }
    }
}

void TCustomTriSurfaceSeries::DrawMark(int ValueIndex, const AnsiString& St,
                                       TSeriesMarkPosition* APosition) {
    Marks()->ApplyArrowLength(*APosition);
    TCustom3DPaletteSeries::DrawMark(ValueIndex, St, APosition);
}

void TCustomTriSurfaceSeries::AddSampleValues(int NumValues) {
    for (int i = 0; i < NumValues + 4; ++i) {
        const double a = Random(1000) * 0.001, b = Random(1000) * 0.001;
        AddXYZ(b, std::cos(a * b) * std::exp(2 * b), a);
    }
}

void TCustomTriSurfaceSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustom3DPaletteSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    AddSubChart("Wireframe");
    AddSubChart("No Line");
    AddSubChart("Border");
}

void TCustomTriSurfaceSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TCustomTriSurfaceSeries*>(Series);
    if (!s) return;
    switch (Index) {
    case 2:
        s->Brush()->SetStyle(bsClear);
        break;
    case 3:
        s->Pen()->SetVisible(false);
        break;
    case 4:
        s->Border()->SetVisible(true);
        break;
    default:
        TCustom3DPaletteSeries::SetSubGallery(Series, Index);
    }
}
