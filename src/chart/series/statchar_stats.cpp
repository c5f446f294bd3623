// Statistical functions: standard deviation, RMS, Bollinger bands,
// performance, cumulative sum, count and cross points.
#include "chart/engine/teeprocs.h"
#include "chart/series/statchar.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TStdDeviationFunction, TTeeFunction, TComponent)
QM_CLASS_OWNED(TRMSFunction, TStdDeviationFunction, TComponent)
QM_CLASS_OWNED(TBollingerFunction, TTeeFunction, TComponent)
QM_CLASS_OWNED(TPerformanceFunction, TTeeMovingFunction, TComponent)
QM_CLASS_OWNED(TCumulative, TTeeFunction, TComponent)
QM_CLASS_OWNED(TCountTeeFunction, TTeeFunction, TComponent)
QM_CLASS_OWNED(TCrossPointsFunction, TTeeFunction, TComponent)

QM_PUBLISHED(TStdDeviationFunction,
             Prop("Complete", &Self::Complete, &Self::SetComplete).Default(false));
QM_PUBLISHED(TBollingerFunction, Prop("Deviation", &Self::Deviation, &Self::SetDeviation),
             Prop("Exponential", &Self::Exponential, &Self::SetExponential).Default(true),
             Prop("LowBandPen", &Self::LowBandPen), Prop("UpperBandPen", &Self::UpperBandPen));

// ---------------------------------------------------------------------------
// Standard deviation and RMS

void TStdDeviationFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TStdDeviationFunction*>(Source)) FComplete = s->FComplete;
    TTeeFunction::Assign(Source);
}

void TStdDeviationFunction::SetComplete(bool Value) {
    if (FComplete == Value) return;
    FComplete = Value;
    ReCalculate();
}

double TStdDeviationFunction::Result(double Sum, double SumSquares, int N) const {
    const double n = N;
    double variance = FComplete ? (n * SumSquares - Sum * Sum) / (n * n)
                                : (n * SumSquares - Sum * Sum) / (n * (n - 1));
    if (variance < 0) variance = 0;
    return std::sqrt(variance);
}

double TRMSFunction::Result(double Sum, double SumSquares, int N) const {
    (void)Sum;
    return std::sqrt(SumSquares / (Complete() ? N : N - 1));
}

double TStdDeviationFunction::Calculate(TChartSeries* Series, int First, int Last) {
    TChartValueList* v = ValueList(Series);
    if (First == -1) {
        First = 0;
        Last = v->Count() - 1;
    }
    First = std::max(First, 0);
    Last = std::min(Last, v->Count() - 1);
    const int n = Last - First + 1;
    if (n < 2) return 0;
    double sum = 0, squares = 0;
    for (int i = First; i <= Last; ++i) {
        const double x = v->Value(i);
        sum += x;
        squares += x * x;
    }
    return Result(sum, squares, n);
}

double TStdDeviationFunction::CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                            int ValueIndex) {
    double sum = 0, squares = 0;
    int n = 0;
    for (TChartSeries* s : SourceSeriesList) {
        TChartValueList* v = ValueList(s);
        if (v->Count() <= ValueIndex) continue;
        const double x = v->Value(ValueIndex);
        sum += x;
        squares += x * x;
        ++n;
    }
    return n < 2 ? 0 : Result(sum, squares, n);
}

// ---------------------------------------------------------------------------
// Bollinger bands

TBollingerFunction::TBollingerFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(10);
    FSingleSource = true;
    FLow = CreateFunctionLine(this, clAutoColor);
}

void TBollingerFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TBollingerFunction*>(Source)) {
        FExponential = s->FExponential;
        FDeviation = s->FDeviation;
    }
    TTeeFunction::Assign(Source);
}

void TBollingerFunction::Notification(TComponent* AComponent, TOperation Operation) {
    TTeeFunction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLow) FLow = nullptr;
}

void TBollingerFunction::SetExponential(bool Value) {
    if (FExponential == Value) return;
    FExponential = Value;
    ReCalculate();
}

void TBollingerFunction::SetDeviation(double Value) {
    if (FDeviation == Value) return;
    FDeviation = Value;
    ReCalculate();
}

TChartPen* TBollingerFunction::UpperBandPen() const {
    if (ParentSeries()) return ParentSeries()->Pen();
    if (!FSparePen)
        const_cast<TBollingerFunction*>(this)->FSparePen = std::make_unique<TChartPen>();
    return FSparePen.get();
}

TChartPen* TBollingerFunction::LowBandPen() const {
    return FLow ? FLow->Pen() : UpperBandPen();
}

void TBollingerFunction::Band(TChartSeries* Source, TChartSeries* Dest, double Deviation) {
    Dest->Clear();
    TChartSeries* out = ParentSeries();
    const AnsiString& name = out->MandatoryValues()->ValueSource();
    TChartValueList* values = name.IsEmpty() ? Source->YValues() : Source->GetYValueList(name);
    TChartValueList* X = Source->NotMandatoryValues();
    const int n = std::min(Source->Count(), values->Count());
    const int P = SafeInt(static_cast<double>(Round(Period())));
    if (P < 1 || n < P) return;
    const double* v = values->Data();
    std::vector<double> average;
    if (FExponential) {
        average = TExpMovAveFunction::Compute(v, n, Period());
        // A single value has no exponential average, hence no band.
        if (average.empty()) return;
    }
    double sum = 0, squares = 0, windowSum = 0;
    for (int i = 0; i < P; ++i) {
        sum += v[i];
        squares += v[i] * v[i];
    }
    for (int t = P; t <= n; ++t) {
        if (t > P) {
            const double in = v[t - 1], outV = v[t - 1 - P];
            sum += in - outV;
            squares += in * in - outV * outV;
        }
        windowSum = sum;
        const double s = (P * squares - windowSum * windowSum) / (double(P) * P);
        const double spread = s > 0 ? std::sqrt(s) : 0;
        const double avg = FExponential ? average[size_t(t - 1)] : windowSum / P;
        Dest->AddXY(X->Value(t - 1), avg + spread * Deviation);
    }
}

void TBollingerFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    if (!out || !Source) return;
    if (FLow) {
        FollowOutput(FLow, out);
        FLow->SetSeriesColor(out->SeriesColor());
        if (out->SameClass(FLow)) FLow->Pen()->Assign(out->Pen());
    }
    if (!(Period() > 0)) return;
    Band(Source, out, FDeviation);
    if (FLow) Band(Source, FLow, -FDeviation);
}

// ---------------------------------------------------------------------------
// Performance, cumulative, count

double TPerformanceFunction::Calculate(TChartSeries* Series, int First, int Last) {
    TChartValueList* v = ValueList(Series);
    if (First == -1) Last = v->Count() - 1;
    if (Last < 0 || Last >= v->Count()) return 0;
    const double first = v->Value(0);
    return first == 0 ? 0 : 100 * (v->Value(Last) - first) / first;
}

TCumulative::TCumulative(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(1);
}

double TCumulative::Calculate(TChartSeries* Series, int First, int Last) {
    (void)Last;
    TChartValueList* v = ValueList(Series);
    if (First < 0 || First >= v->Count()) return 0;
    TChartSeries* out = ParentSeries();
    const double before = (First == 0 || !out || out->Count() == 0)
                              ? 0
                              : out->MandatoryValues()->Value(out->Count() - 1);
    return before + v->Value(First);
}

double TCumulative::CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                  int ValueIndex) {
    TChartSeries* out = ParentSeries();
    double result = 0;
    if (ValueIndex > 0 && out && out->Count() >= ValueIndex)
        result = out->MandatoryValues()->Value(ValueIndex - 1);
    for (TChartSeries* s : SourceSeriesList) {
        TChartValueList* v = ValueList(s);
        if (v->Count() > ValueIndex) result += v->Value(ValueIndex);
    }
    return result;
}

double TCountTeeFunction::Calculate(TChartSeries* Series, int First, int Last) {
    if (First == -1) return ValueList(Series)->Count();
    return Last - First + 1;
}

double TCountTeeFunction::CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                        int ValueIndex) {
    int n = 0;
    for (TChartSeries* s : SourceSeriesList)
        if (s->Count() > ValueIndex) ++n;
    return n;
}

// ---------------------------------------------------------------------------
// Cross points

void TCrossPointsFunction::AddPoints(TChartSeries* Source) {
    (void)Source;
    TChartSeries* out = ParentSeries();
    if (!out) return;
    std::vector<TChartSeries*> sources;
    for (TComponent* c : out->DataSources())
        if (auto* s = dynamic_cast<TChartSeries*>(c)) sources.push_back(s);
    out->Clear();
    if (sources.size() < 2) return;
    TChartSeries* A = sources[0];
    TChartSeries* B = sources[1];
    TChartValueList *ay = ValueList(A), *ax = A->NotMandatoryValues();
    TChartValueList *by = ValueList(B), *bx = B->NotMandatoryValues();
    const int na = std::min(A->Count(), ay->Count()), nb = std::min(B->Count(), by->Count());
    if (na < 2 || nb < 2) return;
    int i = 0, j = 0;
    while (i < na - 1 && j < nb - 1) {
        double x, y;
        if (CrossingLines(ax->Value(i), ay->Value(i), ax->Value(i + 1), ay->Value(i + 1),
                          bx->Value(j), by->Value(j), bx->Value(j + 1), by->Value(j + 1), x, y))
            out->AddXY(x, y);
        if (bx->Value(j + 1) < ax->Value(i + 1))
            ++j;
        else
            ++i;
    }
}
