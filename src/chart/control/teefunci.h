#pragma once
// The standard functions: sum, difference, product, quotient, highest, lowest,
// average of source series, and a series computed from a formula event.
#include "chart/engine/teefunction.h"
#include <functional>

class TAddTeeFunction : public TTeeFunction {
    QM_CLASS(TAddTeeFunction)
public:
    explicit TAddTeeFunction(TComponent* AOwner) : TTeeFunction(AOwner) {}
    double Calculate(TChartSeries* Series, int First, int Last) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                         int ValueIndex) override;
};

// Folds the values of the series that have a point at the index, in list order.
class TManySeriesTeeFunction : public TTeeFunction {
    QM_CLASS(TManySeriesTeeFunction)
public:
    explicit TManySeriesTeeFunction(TComponent* AOwner) : TTeeFunction(AOwner) {}
    double CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                         int ValueIndex) override;
    // An abstract-method error in this base.
    virtual double CalculateValue(double AResult, double AValue);
};

class TSubtractTeeFunction : public TManySeriesTeeFunction {
    QM_CLASS(TSubtractTeeFunction)
public:
    explicit TSubtractTeeFunction(TComponent* AOwner) : TManySeriesTeeFunction(AOwner) {}
    double CalculateValue(double AResult, double AValue) override { return AResult - AValue; }
};

class TMultiplyTeeFunction : public TManySeriesTeeFunction {
    QM_CLASS(TMultiplyTeeFunction)
public:
    explicit TMultiplyTeeFunction(TComponent* AOwner) : TManySeriesTeeFunction(AOwner) {}
    double CalculateValue(double AResult, double AValue) override { return AResult * AValue; }
};

class TDivideTeeFunction : public TManySeriesTeeFunction {
    QM_CLASS(TDivideTeeFunction)
public:
    explicit TDivideTeeFunction(TComponent* AOwner) : TManySeriesTeeFunction(AOwner) {}
    // A zero divisor leaves the result as it is.
    double CalculateValue(double AResult, double AValue) override {
        return AValue == 0 ? AResult : AResult / AValue;
    }
};

class THighTeeFunction : public TTeeFunction {
    QM_CLASS(THighTeeFunction)
public:
    explicit THighTeeFunction(TComponent* AOwner) : TTeeFunction(AOwner) {}
    double Calculate(TChartSeries* Series, int First, int Last) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                         int ValueIndex) override;
};

class TLowTeeFunction : public TTeeFunction {
    QM_CLASS(TLowTeeFunction)
public:
    explicit TLowTeeFunction(TComponent* AOwner) : TTeeFunction(AOwner) {}
    double Calculate(TChartSeries* Series, int First, int Last) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                         int ValueIndex) override;
};

class TAverageTeeFunction : public TTeeFunction {
    QM_CLASS(TAverageTeeFunction)
public:
    explicit TAverageTeeFunction(TComponent* AOwner) : TTeeFunction(AOwner) {}
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TAverageFuncEditor"; }
    double Calculate(TChartSeries* Series, int First, int Last) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                         int ValueIndex) override;
    bool IncludeNulls() const { return FIncludeNulls; }
    void SetIncludeNulls(bool Value);

private:
    bool FIncludeNulls = true;
};

class TCustomTeeFunction;
using TCalculateEvent = std::function<void(TCustomTeeFunction* Sender, double X, double& Y)>;

class TCustomTeeFunction : public TTeeFunction {
    QM_CLASS(TCustomTeeFunction)
public:
    explicit TCustomTeeFunction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TCustomFunctionEditor"; }
    void AddPoints(TChartSeries* Source) override;

    int NumPoints() const { return FNumPoints; }
    void SetNumPoints(int Value);
    double StartX() const { return FStartX; }
    void SetStartX(double Value);
    // The X of the point being calculated.
    double X() const { return FX; }

    TCalculateEvent OnCalculate;

private:
    int FNumPoints = 100;
    double FStartX = 0;
    double FX = 0;
};

// Registers the eight standard functions with the function registry.
void RegisterTeeStandardFunctions();
