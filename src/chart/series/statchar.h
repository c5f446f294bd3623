#pragma once
// Indicator functions (units Statchar, Candlech, Teecount, Teecumu):
//   moving and exponential averages, momentum, stochastic, MACD, RSI, ADX   statchar.cpp
//   standard deviation, RMS, Bollinger bands, performance, cumulative,
//   count and cross points                                                   statchar_stats.cpp
// The moving functions compute whole windows incrementally, so their cost
// does not grow with the period; Calculate still answers one window.
#include "chart/control/series.h"
#include "chart/engine/teefunction.h"
#include <vector>

class TVolumeSeries;

class TMovingAverageFunction : public TTeeMovingFunction {
    QM_CLASS(TMovingAverageFunction)
public:
    explicit TMovingAverageFunction(TComponent* AOwner) : TTeeMovingFunction(AOwner) {}
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TMovAveFuncEditor"; }
    double Calculate(TChartSeries* Series, int First, int Last) override;

    bool Weighted() const { return FWeighted; }
    void SetWeighted(bool Value);
    bool WeightedIndex() const { return FWeightedIndex; }
    void SetWeightedIndex(bool Value);

protected:
    void DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource) override;

private:
    bool FWeighted = false;
    bool FWeightedIndex = false;
};

class TExpAverageFunction : public TTeeMovingFunction {
    QM_CLASS(TExpAverageFunction)
public:
    explicit TExpAverageFunction(TComponent* AOwner) : TTeeMovingFunction(AOwner) {}
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TExpAveFuncEditor"; }
    double Calculate(TChartSeries* Series, int First, int Last) override;
    double Weight() const { return FWeight; }
    // Raises ChartException outside 0..1.
    void SetWeight(double Value);

private:
    double FWeight = 0.2;
};

class TExpMovAveFunction : public TTeeFunction {
    QM_CLASS(TExpMovAveFunction)
public:
    explicit TExpMovAveFunction(TComponent* AOwner);
    void AddPoints(TChartSeries* Source) override;
    // The exponential moving average of Values with Period; empty below two values.
    static std::vector<double> Compute(const double* Values, int Count, double Period);
};

class TMomentumFunction : public TTeeMovingFunction {
    QM_CLASS(TMomentumFunction)
public:
    explicit TMomentumFunction(TComponent* AOwner) : TTeeMovingFunction(AOwner) {}
    double Calculate(TChartSeries* Series, int First, int Last) override;
};

class TMomentumDivFunction : public TTeeMovingFunction {
    QM_CLASS(TMomentumDivFunction)
public:
    explicit TMomentumDivFunction(TComponent* AOwner) : TTeeMovingFunction(AOwner) {}
    double Calculate(TChartSeries* Series, int First, int Last) override;
};

class TStochasticFunction : public TTeeMovingFunction {
    QM_CLASS(TStochasticFunction)
public:
    explicit TStochasticFunction(TComponent* AOwner);
    void AddPoints(TChartSeries* Source) override;
    double Calculate(TChartSeries* Series, int First, int Last) override;

protected:
    void DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource) override;
};

class TMACDFunction : public TTeeMovingFunction {
    QM_CLASS(TMACDFunction)
public:
    explicit TMACDFunction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TMACDFuncEditor"; }
    void AddPoints(TChartSeries* Source) override;

    double Period2() const { return FPeriod2; }
    void SetPeriod2(double Value);
    int Period3() const { return FPeriod3; }
    void SetPeriod3(int Value);
    TChartPen* MACDPen() const;
    TChartPen* MACDExpPen() const;
    TChartPen* HistogramPen() const;
    TFastLineSeries* SignalLine() const { return FSignal; }
    TVolumeSeries* Histogram() const { return FHistogram; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    double FPeriod2 = 12;
    int FPeriod3 = 9;
    TVolumeSeries* FHistogram;
    TFastLineSeries* FSignal;
    std::unique_ptr<TChartPen> FSparePen; // stands in while a helper series is gone
};

enum TRSIStyle { rsiOpenClose, rsiClose };
QM_ENUM_NAMES(TRSIStyle, rsiOpenClose, rsiClose)

class TRSIFunction : public TTeeMovingFunction {
    QM_CLASS(TRSIFunction)
public:
    explicit TRSIFunction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    bool IsValidSource(TChartSeries* Value) override;
    double Calculate(TChartSeries* Series, int First, int Last) override;
    TRSIStyle Style() const { return FStyle; }
    void SetStyle(TRSIStyle Value);

protected:
    void DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource) override;

private:
    void Lists(TChartSeries* Series, TChartValueList*& Close, TChartValueList*& Open);
    static double Ratio(double Ups, double Downs);
    TRSIStyle FStyle = rsiOpenClose;
};

class TADXFunction : public TTeeFunction {
    QM_CLASS(TADXFunction)
public:
    explicit TADXFunction(TComponent* AOwner);
    AnsiString GetEditorClass() override { return "TADXFuncEditor"; }
    bool IsValidSource(TChartSeries* Value) override;
    void AddPoints(TChartSeries* Source) override;
    TChartPen* UpLinePen() const;
    TChartPen* DownLinePen() const;
    TFastLineSeries* UpLine() const { return FUp; }
    TFastLineSeries* DownLine() const { return FDown; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TFastLineSeries* FUp;
    TFastLineSeries* FDown;
    std::unique_ptr<TChartPen> FSparePen;
};

// ---------------------------------------------------------------------------

class TStdDeviationFunction : public TTeeFunction {
    QM_CLASS(TStdDeviationFunction)
public:
    explicit TStdDeviationFunction(TComponent* AOwner) : TTeeFunction(AOwner) {}
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TRMSFuncEditor"; }
    double Calculate(TChartSeries* Series, int First, int Last) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                         int ValueIndex) override;
    bool Complete() const { return FComplete; }
    void SetComplete(bool Value);

protected:
    virtual double Result(double Sum, double SumSquares, int N) const;

private:
    bool FComplete = false;
};

class TRMSFunction : public TStdDeviationFunction {
    QM_CLASS(TRMSFunction)
public:
    explicit TRMSFunction(TComponent* AOwner) : TStdDeviationFunction(AOwner) {}

protected:
    double Result(double Sum, double SumSquares, int N) const override;
};

class TBollingerFunction : public TTeeFunction {
    QM_CLASS(TBollingerFunction)
public:
    explicit TBollingerFunction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TBollingerFuncEditor"; }
    void AddPoints(TChartSeries* Source) override;
    bool Exponential() const { return FExponential; }
    void SetExponential(bool Value);
    double Deviation() const { return FDeviation; }
    void SetDeviation(double Value);
    TChartPen* UpperBandPen() const;
    TChartPen* LowBandPen() const;
    TFastLineSeries* LowBand() const { return FLow; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Band(TChartSeries* Source, TChartSeries* Dest, double Deviation);
    bool FExponential = true;
    double FDeviation = 2.0;
    TFastLineSeries* FLow;
    std::unique_ptr<TChartPen> FSparePen;
};

class TPerformanceFunction : public TTeeMovingFunction {
    QM_CLASS(TPerformanceFunction)
public:
    explicit TPerformanceFunction(TComponent* AOwner) : TTeeMovingFunction(AOwner) {}
    double Calculate(TChartSeries* Series, int First, int Last) override;
};

class TCumulative : public TTeeFunction {
    QM_CLASS(TCumulative)
public:
    explicit TCumulative(TComponent* AOwner);
    double Calculate(TChartSeries* Series, int First, int Last) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                         int ValueIndex) override;
};

class TCountTeeFunction : public TTeeFunction {
    QM_CLASS(TCountTeeFunction)
public:
    explicit TCountTeeFunction(TComponent* AOwner) : TTeeFunction(AOwner) {}
    double Calculate(TChartSeries* Series, int First, int Last) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                         int ValueIndex) override;
};

class TCrossPointsFunction : public TTeeFunction {
    QM_CLASS(TCrossPointsFunction)
public:
    explicit TCrossPointsFunction(TComponent* AOwner) : TTeeFunction(AOwner) {}
    AnsiString GetEditorClass() override { return ""; }
    void AddPoints(TChartSeries* Source) override;
};

// A helper line of a function: hidden from the legend and kept out of chart files.
TFastLineSeries* CreateFunctionLine(TComponent* Owner, TColor Color);
// The helper takes over the output's chart, axes, date-time flag and draw events.
void FollowOutput(TChartSeries* Helper, TChartSeries* Output);
