// Moving and financial functions.
//   helpers: value windows, helper lines that follow the output series
//   moving average, exponential average, exponential moving average, momentum
//   stochastic, MACD, RSI, ADX
#include "chart/series/statchar.h"
#include "chart/engine/teeconst.h"
#include "chart/series/candlech.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>
#include <deque>

QM_CLASS_OWNED(TMovingAverageFunction, TTeeMovingFunction, TComponent)
QM_CLASS_OWNED(TExpAverageFunction, TTeeMovingFunction, TComponent)
QM_CLASS_OWNED(TExpMovAveFunction, TTeeFunction, TComponent)
QM_CLASS_OWNED(TMomentumFunction, TTeeMovingFunction, TComponent)
QM_CLASS_OWNED(TMomentumDivFunction, TTeeMovingFunction, TComponent)
QM_CLASS_OWNED(TStochasticFunction, TTeeMovingFunction, TComponent)
QM_CLASS_OWNED(TMACDFunction, TTeeMovingFunction, TComponent)
QM_CLASS_OWNED(TRSIFunction, TTeeMovingFunction, TComponent)
QM_CLASS_OWNED(TADXFunction, TTeeFunction, TComponent)

QM_PUBLISHED(TMovingAverageFunction,
             Prop("Weighted", &Self::Weighted, &Self::SetWeighted).Default(false),
             Prop("WeightedIndex", &Self::WeightedIndex, &Self::SetWeightedIndex).Default(false));
QM_PUBLISHED(TExpAverageFunction, Prop("Weight", &Self::Weight, &Self::SetWeight));
QM_PUBLISHED(TMACDFunction, Prop("HistogramPen", &Self::HistogramPen),
             Prop("MACDExpPen", &Self::MACDExpPen), Prop("MACDPen", &Self::MACDPen),
             Prop("Period2", &Self::Period2, &Self::SetPeriod2),
             Prop("Period3", &Self::Period3, &Self::SetPeriod3).Default(9));
QM_PUBLISHED(TRSIFunction, Prop("Style", &Self::Style, &Self::SetStyle).Default(rsiOpenClose));
QM_PUBLISHED(TADXFunction, Prop("DownLinePen", &Self::DownLinePen),
             Prop("UpLinePen", &Self::UpLinePen));

namespace {
int PeriodPoints(double Period) {
    return std::max(1, SafeInt(static_cast<double>(Round(Period))));
}

// First -1 means the whole list; false for an empty window.
bool Window(const TChartValueList* V, int& First, int& Last) {
    if (First == -1) {
        First = 0;
        Last = V->Count() - 1;
    }
    First = std::max(First, 0);
    Last = std::min(Last, V->Count() - 1);
    return First <= Last;
}

void AddOutput(TTeeFunction* F, TChartSeries* Source, TChartValueList* X, int Index, double Y) {
    F->AddFunctionXY(Source->YIsMandatory(), X->Value(Index), Y);
}
} // namespace

TFastLineSeries* CreateFunctionLine(TComponent* Owner, TColor Color) {
    auto* line = new TFastLineSeries(Owner);
    line->SetShowInLegend(false);
    line->SetInternalUse(true);
    line->SetSeriesColor(Color);
    line->FreeNotification(Owner);
    return line;
}

void FollowOutput(TChartSeries* Helper, TChartSeries* Output) {
    if (!Helper || !Output) return;
    Helper->SetParentChart(Output->ParentChart());
    Helper->SetCustomVertAxis(Output->CustomVertAxis());
    Helper->SetVertAxis(Output->VertAxis());
    Helper->XValues()->SetDateTime(Output->XValues()->DateTime());
    Helper->AfterDrawValues = Output->AfterDrawValues;
    Helper->BeforeDrawValues = Output->BeforeDrawValues;
}

// ---------------------------------------------------------------------------
// Moving average

void TMovingAverageFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TMovingAverageFunction*>(Source)) {
        FWeighted = s->FWeighted;
        FWeightedIndex = s->FWeightedIndex;
    }
    TTeeMovingFunction::Assign(Source);
}

void TMovingAverageFunction::SetWeighted(bool Value) {
    if (FWeighted == Value) return;
    FWeighted = Value;
    ReCalculate();
}

void TMovingAverageFunction::SetWeightedIndex(bool Value) {
    if (FWeightedIndex == Value) return;
    FWeightedIndex = Value;
    ReCalculate();
}

double TMovingAverageFunction::Calculate(TChartSeries* Series, int First, int Last) {
    TChartValueList* v = ValueList(Series);
    if (!Window(v, First, Last)) return 0;
    double sum = 0, weights = 0;
    for (int i = First; i <= Last; ++i) {
        double w = 1;
        if (FWeighted)
            w = Series->NotMandatoryValues()->Value(i);
        else if (FWeightedIndex)
            w = i - First + 1;
        sum += v->Value(i) * w;
        weights += w;
    }
    return weights == 0 ? 0 : sum / weights;
}

void TMovingAverageFunction::DoCalculation(TChartSeries* Source,
                                           TChartValueList* NotMandatorySource) {
    // Running sums over the window. Values that are not finite are counted
    // rather than summed, so one bad value spoils only the windows holding it.
    const int p = PeriodPoints(Period());
    const int n = std::min(Source->Count(), ValueList(Source)->Count());
    const double* v = ValueList(Source)->Data();
    const double* x = NotMandatorySource->Data();
    double sum = 0, weights = 0, indexSum = 0;
    int bad = 0;
    auto weightOf = [&](int i) { return FWeighted ? x[i] : 1.0; };
    auto enter = [&](int i, int sign) {
        const double w = weightOf(i);
        const double term = v[i] * w;
        if (!std::isfinite(term) || !std::isfinite(w)) {
            bad += sign;
            return;
        }
        sum += sign * term;
        weights += sign * w;
        indexSum += sign * v[i] * i;
    };
    for (int t = 0; t < n; ++t) {
        enter(t, 1);
        if (t >= p) enter(t - p, -1);
        if (t < p - 1) continue;
        double y;
        if (bad > 0) {
            y = Calculate(Source, t - p + 1, t);
        } else if (!FWeighted && FWeightedIndex) {
            // Weights i - First + 1: sum(i v) - (First - 1) sum(v), over p(p+1)/2.
            const int first = t - p + 1;
            y = (indexSum - (first - 1) * sum) / (0.5 * p * (p + 1));
        } else {
            y = weights == 0 ? 0 : sum / weights;
        }
        AddOutput(this, Source, NotMandatorySource, t, y);
    }
}

// ---------------------------------------------------------------------------
// Exponential average

void TExpAverageFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TExpAverageFunction*>(Source)) FWeight = s->FWeight;
    TTeeMovingFunction::Assign(Source);
}

void TExpAverageFunction::SetWeight(double Value) {
    if (!(Value >= 0 && Value <= 1))
        throw ChartException("ExpAverage Weight must be between 0 and 1");
    if (FWeight == Value) return;
    FWeight = Value;
    ReCalculate();
}

double TExpAverageFunction::Calculate(TChartSeries* Series, int First, int Last) {
    (void)First;
    TChartValueList* v = ValueList(Series);
    if (Last < 0 || Last >= v->Count()) return 0;
    if (Last == 0) return v->Value(0);
    return v->Value(Last) * FWeight + v->Value(Last - 1) * (1 - FWeight);
}

// ---------------------------------------------------------------------------
// Exponential moving average

TExpMovAveFunction::TExpMovAveFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(10);
    FSingleSource = true;
}

std::vector<double> TExpMovAveFunction::Compute(const double* Values, int Count, double Period) {
    std::vector<double> out;
    if (!(Period > 0) || Count < 2) return out;
    out.resize(static_cast<size_t>(Count));
    const double k = 2 / (Period + 1);
    double ema = Values[0];
    out[0] = ema;
    for (int i = 1; i < Count; ++i) {
        ema = Values[i] * k + (1 - k) * ema;
        out[static_cast<size_t>(i)] = ema;
    }
    return out;
}

void TExpMovAveFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    if (!out || !Source) return;
    out->Clear();
    TChartValueList* v = ValueList(Source);
    const int n = std::min(Source->Count(), v->Count());
    const std::vector<double> ema = Compute(v->Data(), n, Period());
    TChartValueList* x = Source->NotMandatoryValues();
    for (int i = 0; i < static_cast<int>(ema.size()); ++i)
        out->AddXY(x->Value(i), ema[static_cast<size_t>(i)]);
}

// ---------------------------------------------------------------------------
// Momentum

double TMomentumFunction::Calculate(TChartSeries* Series, int First, int Last) {
    TChartValueList* v = ValueList(Series);
    if (!Window(v, First, Last)) return 0;
    return v->Value(Last) - v->Value(First);
}

double TMomentumDivFunction::Calculate(TChartSeries* Series, int First, int Last) {
    TChartValueList* v = ValueList(Series);
    if (!Window(v, First, Last)) return 0;
    const double first = v->Value(First);
    return first == 0 ? 0 : 100 * v->Value(Last) / first;
}

// ---------------------------------------------------------------------------
// Stochastic

TStochasticFunction::TStochasticFunction(TComponent* AOwner) : TTeeMovingFunction(AOwner) {
    FHideSourceList = true;
}

void TStochasticFunction::AddPoints(TChartSeries* Source) {
    TTeeMovingFunction::AddPoints(Source);
}

double TStochasticFunction::Calculate(TChartSeries* Series, int First, int Last) {
    TChartValueList* v = ValueList(Series);
    TChartValueList* lows = Series->GetYValueList("Low");
    TChartValueList* highs = Series->GetYValueList("High");
    if (!Window(v, First, Last)) return 0;
    double lowest = lows->Value(First), highest = highs->Value(First);
    for (int i = First + 1; i <= Last; ++i) {
        lowest = std::min(lowest, lows->Value(i));
        highest = std::max(highest, highs->Value(i));
    }
    const double den = highest - lowest;
    return den == 0 ? 0 : 100 * (v->Value(Last) - lowest) / den;
}

void TStochasticFunction::DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource) {
    // The lowest low and highest high of each window from two monotonic queues.
    const int p = PeriodPoints(Period());
    TChartValueList* v = ValueList(Source);
    const double* lows = Source->GetYValueList("Low")->Data();
    const double* highs = Source->GetYValueList("High")->Data();
    const int n = std::min(Source->Count(), v->Count());
    std::deque<int> minQ, maxQ;
    for (int t = 0; t < n; ++t) {
        while (!minQ.empty() && !(lows[minQ.back()] < lows[t]))
            minQ.pop_back();
        minQ.push_back(t);
        while (!maxQ.empty() && !(highs[maxQ.back()] > highs[t]))
            maxQ.pop_back();
        maxQ.push_back(t);
        if (minQ.front() <= t - p) minQ.pop_front();
        if (maxQ.front() <= t - p) maxQ.pop_front();
        if (t < p - 1) continue;
        const double lowest = lows[minQ.front()], highest = highs[maxQ.front()];
        const double den = highest - lowest;
        AddOutput(this, Source, NotMandatorySource, t,
                  den == 0 ? 0 : 100 * (v->Value(t) - lowest) / den);
    }
}

// ---------------------------------------------------------------------------
// MACD

TMACDFunction::TMACDFunction(TComponent* AOwner) : TTeeMovingFunction(AOwner) {
    InternalSetPeriod(26);
    FHistogram = new TVolumeSeries(this);
    FHistogram->SetShowInLegend(false);
    FHistogram->SetInternalUse(true);
    FHistogram->SetSeriesColor(clRed);
    FHistogram->SetUseYOrigin(true);
    FHistogram->SetYOrigin(0);
    FHistogram->FreeNotification(this);
    FSignal = CreateFunctionLine(this, clGreen);
}

void TMACDFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TMACDFunction*>(Source)) {
        FPeriod2 = s->FPeriod2;
        FPeriod3 = s->FPeriod3;
    }
    TTeeMovingFunction::Assign(Source);
}

void TMACDFunction::Notification(TComponent* AComponent, TOperation Operation) {
    TTeeMovingFunction::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FHistogram) FHistogram = nullptr;
    if (AComponent == FSignal) FSignal = nullptr;
}

TChartPen* TMACDFunction::MACDPen() const {
    if (ParentSeries()) return ParentSeries()->Pen();
    if (!FSparePen) const_cast<TMACDFunction*>(this)->FSparePen = std::make_unique<TChartPen>();
    return FSparePen.get();
}

TChartPen* TMACDFunction::MACDExpPen() const {
    return FSignal ? FSignal->Pen() : MACDPen();
}

TChartPen* TMACDFunction::HistogramPen() const {
    return FHistogram ? FHistogram->LinePen() : MACDPen();
}

void TMACDFunction::SetPeriod2(double Value) {
    Value = std::max(1.0, Value);
    if (FPeriod2 == Value) return;
    FPeriod2 = Value;
    ReCalculate();
}

void TMACDFunction::SetPeriod3(int Value) {
    if (FPeriod3 == Value) return;
    FPeriod3 = Value;
    ReCalculate();
}

void TMACDFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    if (!out || !Source) return;
    out->Clear();
    TChartValueList* v = ValueList(Source);
    TChartValueList* x = Source->NotMandatoryValues();
    const int n = std::min(Source->Count(), v->Count());
    const std::vector<double> fast = TExpMovAveFunction::Compute(v->Data(), n, FPeriod2);
    const std::vector<double> slow = TExpMovAveFunction::Compute(v->Data(), n, Period());
    if (!fast.empty() && !slow.empty())
        for (int i = 0; i < n; ++i)
            out->AddXY(x->Value(i), fast[size_t(i)] - slow[size_t(i)]);
    FollowOutput(FSignal, out);
    FollowOutput(FHistogram, out);
    if (out->SeriesColor() == clWhite) out->SetSeriesColor(clBlue);
    // The signal line is the exponential average of the MACD line.
    const int m = out->Count();
    const std::vector<double> signal =
        TExpMovAveFunction::Compute(out->YValues()->Data(), m, FPeriod3);
    if (FSignal) {
        FSignal->Clear();
        for (int i = 0; i < static_cast<int>(signal.size()); ++i)
            FSignal->AddXY(out->XValues()->Value(i), signal[size_t(i)]);
    }
    if (FHistogram && FHistogram->Active()) {
        FHistogram->BeginUpdate();
        TTeeFinally end([this] { FHistogram->EndUpdate(); });
        FHistogram->Clear();
        for (int i = 0; i < static_cast<int>(signal.size()); ++i)
            FHistogram->AddXY(out->XValues()->Value(i),
                              out->YValues()->Value(i) - signal[size_t(i)]);
    }
}

// ---------------------------------------------------------------------------
// RSI

TRSIFunction::TRSIFunction(TComponent* AOwner) : TTeeMovingFunction(AOwner) {
    FHideSourceList = true;
}

void TRSIFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TRSIFunction*>(Source)) FStyle = s->FStyle;
    TTeeMovingFunction::Assign(Source);
}

void TRSIFunction::SetStyle(TRSIStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    ReCalculate();
}

bool TRSIFunction::IsValidSource(TChartSeries* Value) {
    return dynamic_cast<TOHLCSeries*>(Value) != nullptr;
}

void TRSIFunction::Lists(TChartSeries* Series, TChartValueList*& Close, TChartValueList*& Open) {
    Close = Series->GetYValueList("CLOSE");
    Open = Series->GetYValueList("OPEN");
}

double TRSIFunction::Ratio(double Ups, double Downs) {
    if (Downs == 0) return 100;
    const double r = 100 - 100 / (1 + std::fabs(Ups / Downs));
    return std::clamp(r, 0.0, 100.0);
}

double TRSIFunction::Calculate(TChartSeries* Series, int First, int Last) {
    TChartValueList *close, *open;
    Lists(Series, close, open);
    if (!Window(close, First, Last)) return 0;
    double ups = 0, downs = 0;
    if (FStyle == rsiClose) {
        for (int i = First + 1; i <= Last; ++i) {
            const double d = close->Value(i) - close->Value(i - 1);
            if (d >= 0)
                ups += d;
            else
                downs -= d;
        }
    } else {
        for (int i = First; i <= Last; ++i)
            if (open->Value(i) > close->Value(i))
                downs += close->Value(i);
            else
                ups += close->Value(i);
    }
    const int n = Last - First + 1;
    return Ratio(ups / n, downs / n);
}

void TRSIFunction::DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource) {
    // Prefix sums of the up and down moves make every window cost the same.
    const int p = PeriodPoints(Period());
    TChartValueList *close, *open;
    Lists(Source, close, open);
    const int n = std::min({Source->Count(), close->Count(), open->Count()});
    std::vector<double> up(size_t(n) + 1, 0), down(size_t(n) + 1, 0);
    for (int i = 0; i < n; ++i) {
        double u = 0, d = 0;
        if (FStyle == rsiClose) {
            if (i > 0) {
                const double m = close->Value(i) - close->Value(i - 1);
                (m >= 0 ? u : d) = std::fabs(m);
            }
        } else if (open->Value(i) > close->Value(i)) {
            d = close->Value(i);
        } else {
            u = close->Value(i);
        }
        up[size_t(i) + 1] = up[size_t(i)] + u;
        down[size_t(i) + 1] = down[size_t(i)] + d;
    }
    for (int t = p - 1; t < n; ++t) {
        const int first = t - p + 1;
        // The close style counts moves into First + 1 .. Last only.
        const int from = FStyle == rsiClose ? first + 1 : first;
        const double ups = up[size_t(t) + 1] - up[size_t(from)];
        const double downs = down[size_t(t) + 1] - down[size_t(from)];
        AddOutput(this, Source, NotMandatorySource, t, Ratio(ups / p, downs / p));
    }
}

// ---------------------------------------------------------------------------
// ADX

TADXFunction::TADXFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(14);
    FSingleSource = true;
    FHideSourceList = true;
    FUp = CreateFunctionLine(this, clGreen);
    FDown = CreateFunctionLine(this, clRed);
}

void TADXFunction::Notification(TComponent* AComponent, TOperation Operation) {
    TTeeFunction::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FUp) FUp = nullptr;
    if (AComponent == FDown) FDown = nullptr;
}

TChartPen* TADXFunction::UpLinePen() const {
    if (FUp) return FUp->Pen();
    if (!FSparePen) const_cast<TADXFunction*>(this)->FSparePen = std::make_unique<TChartPen>();
    return FSparePen.get();
}

TChartPen* TADXFunction::DownLinePen() const {
    if (FDown) return FDown->Pen();
    return UpLinePen();
}

bool TADXFunction::IsValidSource(TChartSeries* Value) {
    return dynamic_cast<TOHLCSeries*>(Value) != nullptr;
}

void TADXFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    const double P = Period();
    if (!out || !Source || !(P >= 2)) return;
    out->Clear();
    for (TFastLineSeries* line : {FUp, FDown})
        if (line) {
            line->Clear();
            FollowOutput(line, out);
        }
    const int n = Source->Count();
    if (n < 2 * P) return;
    TChartValueList* C = Source->GetYValueList("Close");
    TChartValueList* H = Source->GetYValueList("High");
    TChartValueList* L = Source->GetYValueList("Low");
    TChartValueList* X = Source->NotMandatoryValues();
    std::vector<double> tr(size_t(n), 0), pdm(size_t(n), 0), mdm(size_t(n), 0);
    for (int i = 1; i < n; ++i) {
        const double prevC = C->Value(i - 1);
        tr[size_t(i)] = std::max({H->Value(i) - L->Value(i), std::fabs(H->Value(i) - prevC),
                                  std::fabs(L->Value(i) - prevC)});
        const double upMove = H->Value(i) - H->Value(i - 1);
        const double downMove = L->Value(i - 1) - L->Value(i);
        pdm[size_t(i)] = upMove > downMove ? std::max(upMove, 0.0) : 0;
        mdm[size_t(i)] = downMove > upMove ? std::max(downMove, 0.0) : 0;
    }
    const int R = SafeInt(static_cast<double>(Round(P)));
    // A flat stretch has no true range: its direction indexes count as 0
    // instead of dividing by zero.
    auto ratio = [](double a, double b) { return b == 0 ? 0.0 : 100 * a / b; };
    std::vector<double> pdi, mdi;
    double sTR = 0, sP = 0, sM = 0;
    for (int i = R; i < n; ++i) {
        if (i == R) {
            for (int k = 1; k <= R; ++k) {
                sTR += tr[size_t(k)];
                sP += pdm[size_t(k)];
                sM += mdm[size_t(k)];
            }
        } else {
            sTR = sTR - sTR / P + tr[size_t(i)];
            sP = sP - sP / P + pdm[size_t(i)];
            sM = sM - sM / P + mdm[size_t(i)];
        }
        pdi.push_back(ratio(sP, sTR));
        mdi.push_back(ratio(sM, sTR));
        if (FUp) FUp->AddXY(X->Value(i), pdi.back());
        if (FDown) FDown->AddXY(X->Value(i), mdi.back());
    }
    auto dx = [&](int j) {
        const double a = pdi[size_t(j - R)], b = mdi[size_t(j - R)];
        return ratio(std::fabs(a - b), a + b);
    };
    const int j0 = SafeInt(static_cast<double>(Round(2 * P - 2)));
    double adx = 0;
    for (int j = j0; j < n; ++j) {
        if (j == j0) {
            double sum = 0;
            for (int k = R; k <= j0; ++k)
                sum += dx(k);
            adx = sum / (P - 1);
        } else {
            adx = ((P - 1) * adx + dx(j)) / P;
        }
        out->AddXY(X->Value(j), adx);
    }
}
