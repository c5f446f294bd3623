#pragma once
// Least-squares curves through a source series (units Curvfitt, Teepoly,
// Teespline): a fitted polynomial drawn densely between the points, the
// straight and exponential trend lines, and a smoothing cubic B-spline.
#include "chart/engine/teefunction.h"
#include "platform/rtl/ansistring.h"
#include <vector>

// Sum of Answer[k] X^(k-1) for k = 1..Degree (Answer indexed from 1).
double CalcFitting(int Degree, const std::vector<long double>& Answer, double X);
// Least-squares coefficients of a polynomial with Degree coefficients through
// points 1..NumPoints of X and Y (indexed from 1). Raises ChartException
// "Cannot process fitting" for a singular system.
void PolyFitting(int NumPoints, int Degree, const std::vector<long double>& X,
                 std::vector<long double>& Answer, const std::vector<long double>& Y);

enum TTypeFitting { cfPolynomial };
QM_ENUM_NAMES(TTypeFitting, cfPolynomial)

class TCustomFittingFunction : public TTeeFunction {
    QM_CLASS(TCustomFittingFunction)
public:
    explicit TCustomFittingFunction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    void AddPoints(TChartSeries* Source) override;
    virtual void AddFittedPoints(TChartSeries* Source);

    // The coefficient at Index (1..PolyDegree); raises ChartException outside.
    double GetAnswerVector(int Index) const;
    double GetCurveYValue(TChartSeries* Source, double X);

    int Factor() const { return FFactor; }
    void SetFactor(int Value);
    int FirstPoint() const { return FFirstPoint; }
    void SetFirstPoint(int Value);
    int FirstCalcPoint() const { return FFirstCalcPoint; }
    void SetFirstCalcPoint(int Value);
    int LastPoint() const { return FLastPoint; }
    void SetLastPoint(int Value);
    int LastCalcPoint() const { return FLastCalcPoint; }
    void SetLastCalcPoint(int Value);
    int PolyDegree() const { return FPolyDegree; }
    // Raises ChartException outside 1..20.
    void SetPolyDegree(int Value);
    TTypeFitting TypeFitting() const { return FTypeFitting; }
    void SetTypeFitting(TTypeFitting Value);

private:
    void SetIntProperty(int& Field, int Value);
    int FFactor = 1;
    int FFirstPoint = -1;
    int FFirstCalcPoint = -1;
    int FLastPoint = -1;
    int FLastCalcPoint = -1;
    int FPolyDegree = 5;
    TTypeFitting FTypeFitting = cfPolynomial;
    std::vector<long double> FAnswer = std::vector<long double>(21, 0.0L);
    double FMinYValue = 0;
};

class TCurveFittingFunction : public TCustomFittingFunction {
    QM_CLASS(TCurveFittingFunction)
public:
    explicit TCurveFittingFunction(TComponent* AOwner) : TCustomFittingFunction(AOwner) {}
};

class TCustomTrendFunction : public TTeeFunction {
    QM_CLASS(TCustomTrendFunction)
public:
    explicit TCustomTrendFunction(TComponent* AOwner) : TTeeFunction(AOwner) {}
    double Calculate(TChartSeries*, int, int) override { return 0; }
    double CalculateMany(const std::vector<TChartSeries*>&, int) override { return 0; }
    // Slope and intercept (linear), or factor and exponent (exponential);
    // false for fewer than two points.
    bool CalculateTrend(TChartSeries* Source, int First, int Last, double& A, double& B);

protected:
    void CalculateAllPoints(TChartSeries* Source, TChartValueList* NotMandatorySource) override;
    void CalculatePeriod(TChartSeries* Source, double tmpX, int FirstIndex, int LastIndex) override;
    uint8_t FStyle = 0; // 0 linear, 2 exponential
};

class TTrendFunction : public TCustomTrendFunction {
    QM_CLASS(TTrendFunction)
public:
    explicit TTrendFunction(TComponent* AOwner) : TCustomTrendFunction(AOwner) {}
};

class TExpTrendFunction : public TCustomTrendFunction {
    QM_CLASS(TExpTrendFunction)
public:
    explicit TExpTrendFunction(TComponent* AOwner) : TCustomTrendFunction(AOwner) { FStyle = 2; }
};

// ---------------------------------------------------------------------------

struct TBSplineVertex {
    double X = 0, Y = 0;
};

// A uniform cubic B-spline through points numbered from 1.
class TBSpline {
public:
    TBSpline() { Clear(); }
    void Clear();
    void AddPoint(double X, double Y);
    int NumPoints() const { return FNumPoints; }
    TBSplineVertex Point(int Index) const;
    void SetPoint(int Index, const TBSplineVertex& Value);
    bool Knuckle(int Index) const;
    void SetKnuckle(int Index, bool Value);
    int Fragments() const { return FFragments; }
    void SetFragments(int Value) { FFragments = std::min(Value, 600); }
    bool Interpolated() const { return FInterpolated; }
    void SetInterpolated(bool Value);
    int NumVertices();
    void Rebuild();
    // The curve at T in 0..1; (0, 0) with fewer than two points.
    TBSplineVertex Value(double T);

private:
    void CheckIndex(int Index) const;
    int FNumPoints = 0;
    std::vector<TBSplineVertex> FPoints;   // index 0 unused
    std::vector<TBSplineVertex> FVertices; // phantoms at 0 and FNumVertices + 1
    std::vector<uint8_t> FKnuckles;
    bool FBuilt = false;
    int FNumVertices = 0;
    bool FInterpolated = false;
    int FFragments = 100;
};

class TSmoothingFunction : public TTeeFunction {
    QM_CLASS(TSmoothingFunction)
public:
    explicit TSmoothingFunction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TSmoothFuncEditor"; }
    void AddPoints(TChartSeries* Source) override;
    bool Interpolate() const { return FInterpolate; }
    void SetInterpolate(bool Value);
    int Factor() const { return FFactor; }
    void SetFactor(int Value);

private:
    bool FInterpolate = true;
    int FFactor = 4;
};
