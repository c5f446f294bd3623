// The standard functions.
#include "chart/control/teefunci.h"
#include "chart/control/teeseriestypes.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeseries.h"
#include "platform/rtl/exceptions.h"
#include <algorithm>

QM_CLASS_OWNED(TAddTeeFunction, TTeeFunction, TComponent)
QM_CLASS_ABSTRACT(TManySeriesTeeFunction, TTeeFunction)
QM_CLASS_OWNED(TSubtractTeeFunction, TManySeriesTeeFunction, TComponent)
QM_CLASS_OWNED(TMultiplyTeeFunction, TManySeriesTeeFunction, TComponent)
QM_CLASS_OWNED(TDivideTeeFunction, TManySeriesTeeFunction, TComponent)
QM_CLASS_OWNED(THighTeeFunction, TTeeFunction, TComponent)
QM_CLASS_OWNED(TLowTeeFunction, TTeeFunction, TComponent)
QM_CLASS_OWNED(TAverageTeeFunction, TTeeFunction, TComponent)
QM_CLASS_OWNED(TCustomTeeFunction, TTeeFunction, TComponent)

QM_PUBLISHED(TAverageTeeFunction,
             Prop("IncludeNulls", &Self::IncludeNulls, &Self::SetIncludeNulls).Default(true));
QM_PUBLISHED(TCustomTeeFunction,
             Prop("NumPoints", &Self::NumPoints, &Self::SetNumPoints).Default(100),
             Prop("StartX", &Self::StartX, &Self::SetStartX),
             Prop("OnCalculate", &Self::OnCalculate));

namespace {
// Index range of a Calculate call: First -1 is the whole list.
bool Range(TChartValueList* V, int& First, int& Last) {
    if (First == -1) {
        First = 0;
        Last = V->Count() - 1;
    }
    First = std::max(First, 0);
    Last = std::min(Last, V->Count() - 1);
    return First <= Last;
}
} // namespace

double TAddTeeFunction::Calculate(TChartSeries* Series, int First, int Last) {
    TChartValueList* v = ValueList(Series);
    if (First == -1) return v->Total();
    double sum = 0;
    if (Range(v, First, Last))
        for (int i = First; i <= Last; ++i)
            sum += v->Value(i);
    return sum;
}

double TAddTeeFunction::CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                      int ValueIndex) {
    double sum = 0;
    for (TChartSeries* s : SourceSeriesList)
        if (s->Count() > ValueIndex) sum += ValueList(s)->Value(ValueIndex);
    return sum;
}

double TManySeriesTeeFunction::CalculateValue(double AResult, double AValue) {
    (void)AResult, (void)AValue;
    throw Exception("Abstract Error");
}

double TManySeriesTeeFunction::CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                             int ValueIndex) {
    bool first = true;
    double result = 0;
    for (TChartSeries* s : SourceSeriesList) {
        if (s->Count() <= ValueIndex) continue;
        const double v = ValueList(s)->Value(ValueIndex);
        result = first ? v : CalculateValue(result, v);
        first = false;
    }
    return result;
}

namespace {
template <typename Better>
double Extreme(TTeeFunction* F, TChartSeries* Series, int First, int Last, Better Pick) {
    TChartValueList* v = F->ValueList(Series);
    if (!Range(v, First, Last)) return 0;
    double result = v->Value(First);
    for (int i = First + 1; i <= Last; ++i)
        result = Pick(result, v->Value(i));
    return result;
}
template <typename Better>
double ExtremeMany(TTeeFunction* F, const std::vector<TChartSeries*>& List, int Index,
                   Better Pick) {
    bool first = true;
    double result = 0;
    for (TChartSeries* s : List) {
        if (s->Count() <= Index) continue;
        const double v = F->ValueList(s)->Value(Index);
        result = first ? v : Pick(result, v);
        first = false;
    }
    return result;
}
const auto Larger = [](double a, double b) { return std::max(a, b); };
const auto Smaller = [](double a, double b) { return std::min(a, b); };
} // namespace

double THighTeeFunction::Calculate(TChartSeries* Series, int First, int Last) {
    if (First == -1) return ValueList(Series)->MaxValue();
    return Extreme(this, Series, First, Last, Larger);
}

double THighTeeFunction::CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                       int ValueIndex) {
    return ExtremeMany(this, SourceSeriesList, ValueIndex, Larger);
}

double TLowTeeFunction::Calculate(TChartSeries* Series, int First, int Last) {
    if (First == -1) return ValueList(Series)->MinValue();
    return Extreme(this, Series, First, Last, Smaller);
}

double TLowTeeFunction::CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                      int ValueIndex) {
    return ExtremeMany(this, SourceSeriesList, ValueIndex, Smaller);
}

void TAverageTeeFunction::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TAverageTeeFunction*>(Source)) FIncludeNulls = f->FIncludeNulls;
    TTeeFunction::Assign(Source);
}

void TAverageTeeFunction::SetIncludeNulls(bool Value) {
    if (Value == FIncludeNulls) return;
    FIncludeNulls = Value;
    ReCalculate();
}

double TAverageTeeFunction::Calculate(TChartSeries* Series, int First, int Last) {
    TChartValueList* v = ValueList(Series);
    if (First == -1 && FIncludeNulls) return v->Count() == 0 ? 0 : v->Total() / v->Count();
    if (!Range(v, First, Last)) return 0;
    double sum = 0;
    int used = 0;
    for (int i = First; i <= Last; ++i) {
        if (!FIncludeNulls && Series->IsNull(i)) continue;
        sum += v->Value(i);
        ++used;
    }
    return used == 0 ? 0 : sum / used;
}

double TAverageTeeFunction::CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                          int ValueIndex) {
    double sum = 0;
    int used = 0;
    for (TChartSeries* s : SourceSeriesList) {
        if (s->Count() <= ValueIndex || (!FIncludeNulls && s->IsNull(ValueIndex))) continue;
        sum += ValueList(s)->Value(ValueIndex);
        ++used;
    }
    return used == 0 ? 0 : sum / used;
}

TCustomTeeFunction::TCustomTeeFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(1.0);
    FNoSourceRequired = true;
}

void TCustomTeeFunction::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TCustomTeeFunction*>(Source)) {
        FNumPoints = f->FNumPoints;
        FStartX = f->FStartX;
    }
    TTeeFunction::Assign(Source);
}

void TCustomTeeFunction::SetNumPoints(int Value) {
    if (Value == FNumPoints) return;
    FNumPoints = Value;
    ReCalculate();
}

void TCustomTeeFunction::SetStartX(double Value) {
    if (Value == FStartX) return;
    FStartX = Value;
    ReCalculate();
}

void TCustomTeeFunction::AddPoints(TChartSeries* Source) {
    (void)Source;
    TChartSeries* series = ParentSeries();
    if (!OnCalculate || !series) return;
    series->Clear();
    double x = FStartX;
    for (int i = 0; i < FNumPoints; ++i) {
        FX = x;
        double y = 0;
        OnCalculate(this, x, y);
        if (series->YIsMandatory())
            series->AddXY(x, y, "", clAutoColor);
        else
            series->AddXY(y, x, "", clAutoColor);
        x += Period();
    }
}

void RegisterTeeStandardFunctions() {
    RegisterTeeBasicFunction(&TAddTeeFunction::ClassInfo, &TeeMsg_FunctionAdd);
    RegisterTeeBasicFunction(&TSubtractTeeFunction::ClassInfo, &TeeMsg_FunctionSubtract);
    RegisterTeeBasicFunction(&TMultiplyTeeFunction::ClassInfo, &TeeMsg_FunctionMultiply);
    RegisterTeeBasicFunction(&TDivideTeeFunction::ClassInfo, &TeeMsg_FunctionDivide);
    RegisterTeeBasicFunction(&THighTeeFunction::ClassInfo, &TeeMsg_FunctionHigh);
    RegisterTeeBasicFunction(&TLowTeeFunction::ClassInfo, &TeeMsg_FunctionLow);
    RegisterTeeBasicFunction(&TAverageTeeFunction::ClassInfo, &TeeMsg_FunctionAverage);
    RegisterTeeBasicFunction(&TCustomTeeFunction::ClassInfo, &TeeMsg_FunctionCustom);
}
