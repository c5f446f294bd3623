// Curve fitting, trend lines and B-spline smoothing.
//   polynomial solver (CalcFitting, PolyFitting)
//   TCustomFittingFunction: fit range, fitted points
//   TCustomTrendFunction: linear and exponential regression lines
//   TBSpline and TSmoothingFunction
#include "chart/series/curvfitt.h"
#include "chart/engine/teeseries.h"
#include <string>
#include <algorithm>
#include <cmath>

QM_CLASS_ABSTRACT(TCustomFittingFunction, TTeeFunction)
QM_CLASS_OWNED(TCurveFittingFunction, TCustomFittingFunction, TComponent)
QM_CLASS_ABSTRACT(TCustomTrendFunction, TTeeFunction)
QM_CLASS_OWNED(TTrendFunction, TCustomTrendFunction, TComponent)
QM_CLASS_OWNED(TExpTrendFunction, TCustomTrendFunction, TComponent)
QM_CLASS_OWNED(TSmoothingFunction, TTeeFunction, TComponent)

QM_PUBLISHED(TCurveFittingFunction, Prop("Factor", &Self::Factor, &Self::SetFactor).Default(1),
             Prop("FirstCalcPoint", &Self::FirstCalcPoint, &Self::SetFirstCalcPoint).Default(-1),
             Prop("FirstPoint", &Self::FirstPoint, &Self::SetFirstPoint).Default(-1),
             Prop("LastCalcPoint", &Self::LastCalcPoint, &Self::SetLastCalcPoint).Default(-1),
             Prop("LastPoint", &Self::LastPoint, &Self::SetLastPoint).Default(-1),
             Prop("PolyDegree", &Self::PolyDegree, &Self::SetPolyDegree).Default(5),
             Prop("TypeFitting", &Self::TypeFitting, &Self::SetTypeFitting).Default(cfPolynomial));
QM_PUBLISHED(TSmoothingFunction, Prop("Factor", &Self::Factor, &Self::SetFactor).Default(4),
             Prop("Interpolate", &Self::Interpolate, &Self::SetInterpolate).Default(true));

// ---------------------------------------------------------------------------
// Polynomial solver

double CalcFitting(int Degree, const std::vector<long double>& Answer, double X) {
    long double result = 0, power = 1;
    for (int k = 1; k <= Degree; ++k) {
        result += Answer[size_t(k)] * power;
        power *= X;
    }
    return static_cast<double>(result);
}

void PolyFitting(int NumPoints, int Degree, const std::vector<long double>& X,
                 std::vector<long double>& Answer, const std::vector<long double>& Y) {
    constexpr long double Tolerance = 1e-15L;
    const int M = Degree;
    std::vector<std::vector<long double>> A(size_t(M) + 1,
                                            std::vector<long double>(size_t(M) + 1, 0));
    std::vector<long double> B(size_t(M) + 1, 0);
    std::vector<long double> P(size_t(M) + 1);
    for (int i = 1; i <= NumPoints; ++i) {
        P[1] = 1;
        for (int j = 2; j <= M; ++j)
            P[size_t(j)] = P[size_t(j - 1)] * X[size_t(i)];
        for (int j = 1; j <= M; ++j) {
            for (int k = 1; k <= M; ++k)
                A[size_t(j)][size_t(k)] += P[size_t(j)] * P[size_t(k)];
            B[size_t(j)] += Y[size_t(i)] * P[size_t(j)];
        }
    }
    // Gaussian elimination with partial pivoting; a vanishing pivot means the
    // system has no single answer, so it stops there instead of dividing by it.
    for (int c = 1; c <= M - 1; ++c) {
        int pivot = c;
        for (int r = c + 1; r <= M; ++r)
            if (std::fabs(A[size_t(r)][size_t(c)]) > std::fabs(A[size_t(pivot)][size_t(c)]))
                pivot = r;
        if (pivot != c) {
            std::swap(A[size_t(pivot)], A[size_t(c)]);
            std::swap(B[size_t(pivot)], B[size_t(c)]);
        }
        if (!(std::fabs(A[size_t(c)][size_t(c)]) >= Tolerance))
            throw ChartException("Cannot process fitting");
        for (int r = c + 1; r <= M; ++r) {
            const long double f = A[size_t(r)][size_t(c)] / A[size_t(c)][size_t(c)];
            for (int k = c; k <= M; ++k)
                A[size_t(r)][size_t(k)] -= f * A[size_t(c)][size_t(k)];
            B[size_t(r)] -= f * B[size_t(c)];
        }
    }
    if (!(std::fabs(A[size_t(M)][size_t(M)]) >= Tolerance))
        throw ChartException("Cannot process fitting");
    for (int r = M; r >= 1; --r) {
        long double s = B[size_t(r)];
        for (int k = r + 1; k <= M; ++k)
            s -= A[size_t(r)][size_t(k)] * Answer[size_t(k)];
        Answer[size_t(r)] = s / A[size_t(r)][size_t(r)];
    }
}

// ---------------------------------------------------------------------------
// Curve fitting

TCustomFittingFunction::TCustomFittingFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(1);
}

void TCustomFittingFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCustomFittingFunction*>(Source)) {
        FFactor = s->FFactor;
        FFirstPoint = s->FFirstPoint;
        FFirstCalcPoint = s->FFirstCalcPoint;
        FLastPoint = s->FLastPoint;
        FLastCalcPoint = s->FLastCalcPoint;
        FPolyDegree = s->FPolyDegree;
        FTypeFitting = s->FTypeFitting;
    }
    TTeeFunction::Assign(Source);
}

void TCustomFittingFunction::SetIntProperty(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    ReCalculate();
}

void TCustomFittingFunction::SetFactor(int Value) {
    SetIntProperty(FFactor, std::max(1, Value));
}
void TCustomFittingFunction::SetFirstPoint(int Value) {
    SetIntProperty(FFirstPoint, Value);
}
void TCustomFittingFunction::SetFirstCalcPoint(int Value) {
    SetIntProperty(FFirstCalcPoint, Value);
}
void TCustomFittingFunction::SetLastPoint(int Value) {
    SetIntProperty(FLastPoint, Value);
}
void TCustomFittingFunction::SetLastCalcPoint(int Value) {
    SetIntProperty(FLastCalcPoint, Value);
}

void TCustomFittingFunction::SetPolyDegree(int Value) {
    if (Value < 1 || Value > 20) throw ChartException("Polynomial degree must be between 1 and 20");
    SetIntProperty(FPolyDegree, Value);
}

void TCustomFittingFunction::SetTypeFitting(TTypeFitting Value) {
    if (FTypeFitting == Value) return;
    FTypeFitting = Value;
    ReCalculate();
}

double TCustomFittingFunction::GetAnswerVector(int Index) const {
    if (Index < 1 || Index > FPolyDegree)
        throw ChartException(AnsiString(
            ("Answer Vector index must be between 1 and " + std::to_string(FPolyDegree)).c_str()));
    return static_cast<double>(FAnswer[size_t(Index)]);
}

double TCustomFittingFunction::GetCurveYValue(TChartSeries* Source, double X) {
    const double minX = Source->Count() ? Source->NotMandatoryValues()->MinValue() : 0;
    return CalcFitting(FPolyDegree, FAnswer, X - minX) + FMinYValue;
}

void TCustomFittingFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    if (!out || !Source) return;
    out->Clear();
    const int count = Source->Count();
    if (count < FPolyDegree) return;
    TChartValueList* xs = Source->NotMandatoryValues();
    TChartValueList* ys = ValueList(Source);
    const double minX = xs->MinValue();
    FMinYValue = ys->MinValue();
    const int first = FFirstCalcPoint == -1 ? 0 : std::max(0, FFirstCalcPoint);
    const int last = FLastCalcPoint == -1 ? count - 1 : std::min(count - 1, FLastCalcPoint);
    const int n = last - first + 1;
    if (n <= 0) return;
    std::vector<long double> x(size_t(n) + 1), y(size_t(n) + 1);
    for (int i = 1; i <= n; ++i) {
        x[size_t(i)] = xs->Value(first + i - 1) - minX;
        y[size_t(i)] = ys->Value(first + i - 1) - FMinYValue;
    }
    PolyFitting(n, FPolyDegree, x, FAnswer, y);
    AddFittedPoints(Source);
}

void TCustomFittingFunction::AddFittedPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    TChartValueList* xs = Source->NotMandatoryValues();
    const double minX = xs->MinValue();
    const double minY = ValueList(Source)->MinValue();
    const int count = Source->Count();
    const int first = FFirstPoint == -1 ? 0 : std::clamp(FFirstPoint, 0, count - 1);
    const int last = FLastPoint == -1 ? count - 1 : std::clamp(FLastPoint, 0, count - 1);
    const int factor = std::max(1, FFactor);
    auto add = [&](double x) {
        const double y = CalcFitting(FPolyDegree, FAnswer, x - minX) + minY;
        if (Source->YIsMandatory())
            out->AddXY(x, y);
        else
            out->AddXY(y, x);
    };
    for (int t = first; t < last; ++t) {
        const double step = (xs->Value(t + 1) - xs->Value(t)) / factor;
        for (int k = 0; k < factor; ++k)
            add(xs->Value(t) + k * step);
    }
    add(xs->Value(last));
}

// ---------------------------------------------------------------------------
// Trend

bool TCustomTrendFunction::CalculateTrend(TChartSeries* Source, int First, int Last, double& A,
                                          double& B) {
    TChartValueList* xs = Source->NotMandatoryValues();
    TChartValueList* ys = ValueList(Source);
    if (First == -1) {
        First = 0;
        Last = Source->Count() - 1;
    }
    const int n = Last - First + 1;
    if (n < 2) return false;
    double sx = 0, sy = 0, sxy = 0, sxx = 0;
    for (int i = First; i <= Last; ++i) {
        const double x = xs->Value(i);
        double y = ys->Value(i);
        // Values without a logarithm (0 and below) count as 0.
        if (FStyle == 2) y = y > 0 ? std::log(y) : 0;
        sx += x;
        sy += y;
        sxy += x * y;
        sxx += x * x;
    }
    if (FStyle == 2) {
        const double meanX = sx / n, meanY = sy / n;
        const double d = sxx - n * meanX * meanX;
        B = d == 0 ? 1 : (sxy - n * meanX * meanY) / d;
        A = std::exp(meanY - B * meanX);
    } else {
        const double d = n * sxx - sx * sx;
        if (d == 0) {
            A = 1;
            B = 0;
        } else {
            A = (n * sxy - sx * sy) / d;
            B = (sy * sxx - sx * sxy) / d;
        }
    }
    return true;
}

void TCustomTrendFunction::CalculateAllPoints(TChartSeries* Source,
                                              TChartValueList* NotMandatorySource) {
    (void)NotMandatorySource;
    CalculatePeriod(Source, 0, 0, Source->Count() - 1);
}

void TCustomTrendFunction::CalculatePeriod(TChartSeries* Source, double tmpX, int FirstIndex,
                                           int LastIndex) {
    (void)tmpX;
    if (FirstIndex == -1) {
        FirstIndex = 0;
        LastIndex = Source->Count() - 1;
    }
    double A, B;
    if (!CalculateTrend(Source, FirstIndex, LastIndex, A, B)) return;
    TChartValueList* xs = Source->NotMandatoryValues();
    double x0 = xs->Value(FirstIndex), x1 = xs->Value(LastIndex);
    if (!xs->InOrder()) {
        x0 = xs->MinValue();
        x1 = xs->MaxValue();
    }
    for (double x : {x0, x1}) {
        const double y = FStyle == 2 ? A * std::exp(B * x) : A * x + B;
        AddFunctionXY(Source->YIsMandatory(), x, y);
    }
}

// ---------------------------------------------------------------------------
// B-spline

void TBSpline::Clear() {
    FVertices.clear();
    FPoints.assign(1, TBSplineVertex());
    FKnuckles.assign(1, 0);
    FNumPoints = 0;
    FNumVertices = 0;
    FBuilt = false;
    FInterpolated = false;
    FFragments = 100;
}

void TBSpline::AddPoint(double X, double Y) {
    FPoints.push_back({X, Y});
    FKnuckles.push_back(0);
    ++FNumPoints;
    FBuilt = false;
}

void TBSpline::CheckIndex(int Index) const {
    if (Index < 1 || Index > FNumPoints) throw ChartException("Spline point index out of range");
}

TBSplineVertex TBSpline::Point(int Index) const {
    CheckIndex(Index);
    return FPoints[size_t(Index)];
}

void TBSpline::SetPoint(int Index, const TBSplineVertex& Value) {
    CheckIndex(Index);
    FPoints[size_t(Index)] = Value;
    FBuilt = false;
}

bool TBSpline::Knuckle(int Index) const {
    CheckIndex(Index);
    return Index != 1 && Index != FNumPoints && FKnuckles[size_t(Index)] != 0;
}

void TBSpline::SetKnuckle(int Index, bool Value) {
    CheckIndex(Index);
    FKnuckles[size_t(Index)] = Value;
    FBuilt = false;
}

void TBSpline::SetInterpolated(bool Value) {
    if (FInterpolated == Value) return;
    FInterpolated = Value;
    FBuilt = false;
}

int TBSpline::NumVertices() {
    if (!FBuilt) Rebuild();
    return FNumVertices;
}

void TBSpline::Rebuild() {
    if (FNumPoints <= 1) return;
    int vc = 0;
    for (int i = 1; i <= FNumPoints; ++i)
        vc += Knuckle(i) ? 3 : 1;
    FNumVertices = vc;
    FVertices.assign(size_t(vc) + 2, TBSplineVertex());
    int k = 1;
    for (int i = 1; i <= FNumPoints; ++i)
        for (int r = Knuckle(i) ? 3 : 1; r > 0; --r)
            FVertices[size_t(k++)] = FPoints[size_t(i)];
    if (FInterpolated && vc >= 3) {
        // The interpolation matrix is tridiagonal (1/6, 2/3, 1/6 with unit
        // first and last rows, and unit rows about repeated vertices), so it
        // is kept as three diagonals and solved in linear time.
        std::vector<double> lo(size_t(vc) + 1, 1.0 / 6), di(size_t(vc) + 1, 2.0 / 3),
            up(size_t(vc) + 1, 1.0 / 6);
        auto unitRow = [&](int r) {
            lo[size_t(r)] = 0;
            di[size_t(r)] = 1;
            up[size_t(r)] = 0;
        };
        unitRow(1);
        unitRow(vc);
        auto same = [](const TBSplineVertex& a, const TBSplineVertex& b) {
            return std::fabs(a.X - b.X) < 0.00001 && std::fabs(a.Y - b.Y) < 0.00001;
        };
        for (int i = 3; i <= vc - 2; ++i)
            if (same(FVertices[size_t(i)], FVertices[size_t(i - 1)]) &&
                same(FVertices[size_t(i)], FVertices[size_t(i + 1)])) {
                unitRow(i - 1);
                unitRow(i);
                unitRow(i + 1);
                i += 1; // the scan goes on at i + 2
            }
        std::vector<TBSplineVertex>& v = FVertices;
        for (int r = 2; r <= vc; ++r) {
            if (lo[size_t(r)] == 0) continue;
            const double f = lo[size_t(r)] / di[size_t(r - 1)];
            di[size_t(r)] -= f * up[size_t(r - 1)];
            v[size_t(r)].X -= f * v[size_t(r - 1)].X;
            v[size_t(r)].Y -= f * v[size_t(r - 1)].Y;
        }
        v[size_t(vc)].X /= di[size_t(vc)];
        v[size_t(vc)].Y /= di[size_t(vc)];
        for (int r = vc - 1; r >= 1; --r) {
            v[size_t(r)].X = (v[size_t(r)].X - up[size_t(r)] * v[size_t(r + 1)].X) / di[size_t(r)];
            v[size_t(r)].Y = (v[size_t(r)].Y - up[size_t(r)] * v[size_t(r + 1)].Y) / di[size_t(r)];
        }
    }
    FVertices[0].X = 2 * FVertices[1].X - FVertices[2].X;
    FVertices[0].Y = 2 * FVertices[1].Y - FVertices[2].Y;
    FVertices[size_t(vc) + 1].X = 2 * FVertices[size_t(vc)].X - FVertices[size_t(vc) - 1].X;
    FVertices[size_t(vc) + 1].Y = 2 * FVertices[size_t(vc)].Y - FVertices[size_t(vc) - 1].Y;
    FBuilt = true;
}

TBSplineVertex TBSpline::Value(double T) {
    TBSplineVertex result;
    if (FNumPoints < 2) return result;
    if (!FBuilt) Rebuild();
    const double u = (FNumVertices - 1) * T + 1;
    const int first = std::max(0, static_cast<int>(std::floor(u)) - 1);
    for (int k = std::min(first, FNumVertices + 1); k <= std::min(first + 3, FNumVertices + 1);
         ++k) {
        const double d = std::fabs(k - u);
        if (!(d < 2)) continue;
        const double w = d < 1 ? 2.0 / 3 - d * d + d * d * d / 2 : (2 - d) * (2 - d) * (2 - d) / 6;
        result.X += FVertices[size_t(k)].X * w;
        result.Y += FVertices[size_t(k)].Y * w;
    }
    return result;
}

// ---------------------------------------------------------------------------
// Smoothing

TSmoothingFunction::TSmoothingFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(1);
    FSingleSource = true;
}

void TSmoothingFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TSmoothingFunction*>(Source)) {
        FInterpolate = s->FInterpolate;
        FFactor = s->FFactor;
    }
    TTeeFunction::Assign(Source);
}

void TSmoothingFunction::SetInterpolate(bool Value) {
    if (FInterpolate == Value) return;
    FInterpolate = Value;
    ReCalculate();
}

void TSmoothingFunction::SetFactor(int Value) {
    Value = std::max(1, Value);
    if (FFactor == Value) return;
    FFactor = Value;
    ReCalculate();
}

void TSmoothingFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    if (!out || !Source) return;
    out->Clear();
    const int n = Source->Count();
    if (n < 1) return;
    TChartValueList* xs = Source->NotMandatoryValues();
    TChartValueList* ys = ValueList(Source);
    auto add = [&](double x, double y) {
        if (out->YIsMandatory())
            out->AddXY(x, y);
        else
            out->AddXY(y, x);
    };
    // One point has no curve: it stays where it is rather than collapsing to (0, 0).
    if (n == 1) {
        add(xs->Value(0), ys->Value(0));
        return;
    }
    TBSpline spline;
    for (int i = 0; i < n; ++i)
        spline.AddPoint(xs->Value(i), ys->Value(i));
    spline.SetInterpolated(FInterpolate);
    spline.SetFragments(static_cast<int>(std::min<int64_t>(int64_t(n) * FFactor, 600)));
    const int fragments = spline.Fragments();
    for (int i = 0; i <= fragments; ++i) {
        const TBSplineVertex p = spline.Value(double(i) / fragments);
        add(p.X, p.Y);
    }
}
