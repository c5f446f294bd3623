#include "chart/engine/teefunction.h"
#include "platform/classes/watched.h"

#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teeseries.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>

QM_CLASS_OWNED(TTeeFunction, TComponent, TComponent)
QM_CLASS_OWNED(TTeeMovingFunction, TTeeFunction, TComponent)

QM_PUBLISHED(TTeeFunction, Prop("Period", &Self::Period, &Self::SetPeriod),
             Prop("PeriodAlign", &Self::PeriodAlign, &Self::SetPeriodAlign).Default(paCenter),
             Prop("PeriodStyle", &Self::PeriodStyle, &Self::SetPeriodStyle).Default(psNumPoints));

namespace {
// Groups and windows hold at least one point, whatever the period rounds to.
int PointsInPeriod(double Period) {
    return std::max(1, SafeInt(static_cast<double>(Round(Period))));
}
} // namespace

TTeeFunction::TTeeFunction(TComponent* AOwner) : TComponent(AOwner) {
    FCanUsePeriod = true;
    FPeriodAlign = paCenter;
    FPeriodStyle = psNumPoints;
    FPeriod = 0;
}

TTeeFunction::~TTeeFunction() {
    if (FParent) {
        TChartSeries* parent = FParent;
        FParent = nullptr;
        if (parent->FunctionType() == this) parent->ReleaseFunction();
    }
}

void TTeeFunction::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TTeeFunction*>(Source)) {
        FPeriod = src->FPeriod;
        FPeriodStyle = src->FPeriodStyle;
        FPeriodAlign = src->FPeriodAlign;
        return;
    }
    TComponent::Assign(Source);
}

TComponent* TTeeFunction::GetParentComponent() {
    return FParent;
}

void TTeeFunction::SetParentComponent(TComponent* Value) {
    if (auto* series = dynamic_cast<TChartSeries*>(Value)) SetParentSeries(series);
}

void TTeeFunction::EndUpdate() {
    if (!FUpdating) return;
    FUpdating = false;
    ReCalculate();
}

void TTeeFunction::ReCalculate() {
    if (!FUpdating && FParent) FParent->CheckDataSource();
}

void TTeeFunction::SetPeriod(double Value) {
    if (Value < 0) throw ChartException(TeeMsg_FunctionPeriod);
    if (FPeriod == Value) return;
    FPeriod = Value;
    ReCalculate();
}

void TTeeFunction::SetPeriodStyle(TFunctionPeriodStyle Value) {
    if (FPeriodStyle == Value) return;
    FPeriodStyle = Value;
    ReCalculate();
}

void TTeeFunction::SetPeriodAlign(TFunctionPeriodAlign Value) {
    if (FPeriodAlign == Value) return;
    FPeriodAlign = Value;
    ReCalculate();
}

void TTeeFunction::SetParentSeries(TChartSeries* Value) {
    if (FParent == Value) return;
    if (FParent) {
        TChartSeries* old = FParent;
        FParent = nullptr;
        // The old series lets go without freeing this function.
        if (old->FunctionType() == this) old->ReleaseFunction();
    }
    FParent = Value;
    if (Value) Value->SetFunction(this);
}

bool TTeeFunction::IsValidSource(TChartSeries* Value) {
    (void)Value;
    return true;
}

AnsiString TTeeFunction::GetEditorClass() {
    return "TTeeFunctionEditor";
}

void TTeeFunction::PrepareForGallery(TCustomAxisPanel* Chart) {
    if (!Chart) return;
    // A series' view settings tell the chart's handlers, which may free it.
    TCallOut held{Chart};
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        Chart->GetSeries(i)->PrepareForGallery(true);
        if (held.Gone()) return;
    }
}

double TTeeFunction::Calculate(TChartSeries* Series, int First, int Last) {
    (void)Series, (void)First, (void)Last;
    return 0;
}

double TTeeFunction::CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                   int ValueIndex) {
    (void)SourceSeriesList, (void)ValueIndex;
    return 0;
}

TChartValueList* TTeeFunction::ValueList(TChartSeries* Series) {
    const AnsiString& source = FParent ? FParent->MandatoryValues()->ValueSource() : AnsiString();
    if (!source.IsEmpty()) return Series->GetYValueList(source);
    return Series->MandatoryValues();
}

void TTeeFunction::AddFunctionXY(bool YMandatorySource, double tmpX, double tmpY) {
    if (!FParent) return;
    if (YMandatorySource)
        FParent->AddXY(tmpX, tmpY, "", clAutoColor);
    else
        FParent->AddXY(tmpY, tmpX, "", clAutoColor);
}

void TTeeFunction::AddPoints(TChartSeries* Source) {
    if (FUpdating || !Source || !FParent) return;
    if (FParent->DataSources().size() >= 2) {
        AddPointsMany(Source);
    } else if (Source->Count() > 0) {
        DoCalculation(Source, Source->NotMandatoryValues());
    }
}

void TTeeFunction::AddPointsMany(TChartSeries* Source) {
    std::vector<TChartSeries*> sources;
    for (TComponent* c : FParent->DataSources())
        if (auto* s = dynamic_cast<TChartSeries*>(c)) sources.push_back(s);
    TChartSeries* most = Source;
    for (TChartSeries* s : sources)
        if (s->Count() > most->Count()) most = s;
    for (int t = 0; t < most->Count(); ++t) {
        double x = most->NotMandatoryValues()->Value(t);
        double y = CalculateMany(sources, t);
        if (!most->YIsMandatory()) std::swap(x, y);
        FParent->AddXY(x, y, most->GetXLabel(t), clAutoColor);
    }
}

void TTeeFunction::DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource) {
    if (FPeriod != 0)
        CalculateByPeriod(Source, NotMandatorySource);
    else
        CalculateAllPoints(Source, NotMandatorySource);
}

void TTeeFunction::CalculateAllPoints(TChartSeries* Source, TChartValueList* NotMandatorySource) {
    const double y = Calculate(Source, -1, -1);
    if (FParent->AllowSinglePoint()) {
        const double x = NotMandatorySource->MinValue() + 0.5 * NotMandatorySource->Range();
        if (!Source->YIsMandatory() && FParent->YIsMandatory())
            FParent->AddXY(x, y, "", clAutoColor);
        else if (FParent->YIsMandatory())
            AddFunctionXY(Source->YIsMandatory(), x, y);
        else
            FParent->AddXY(y, x, "", clAutoColor);
    } else {
        AddFunctionXY(Source->YIsMandatory(), NotMandatorySource->MinValue(), y);
        AddFunctionXY(Source->YIsMandatory(), NotMandatorySource->MaxValue(), y);
    }
}

void TTeeFunction::CalculatePeriod(TChartSeries* Source, double tmpX, int FirstIndex,
                                   int LastIndex) {
    AddFunctionXY(Source->YIsMandatory(), tmpX, Calculate(Source, FirstIndex, LastIndex));
}

void TTeeFunction::CalculateByPeriod(TChartSeries* Source, TChartValueList* NotMandatorySource) {
    TChartValueList* L = NotMandatorySource;
    const int n = Source->Count();
    if (n == 0) return;
    int first = 0;
    double brk = L->Value(0);
    const TDateTimeStep step = FindDateTimeStep(FPeriod);
    TChartAxis* axis = FParent->GetHorizAxis();
    const int groupSize = PointsInPeriod(FPeriod);
    do {
        double startX, endX;
        int last;
        bool filled = true;
        if (FPeriodStyle == psRange) {
            startX = brk;
            const double before = brk;
            if (axis)
                axis->IncDecDateTime(true, brk, FPeriod, step);
            else
                TeeDateTimeIncrement(false, true, brk, FPeriod, step);
            // A range that cannot move X forward would never end.
            if (!(brk > before)) brk = before + FPeriod;
            if (!(brk > before)) return;
            endX = brk - 0.001 * FPeriod;
            last = first;
            while (last < n - 1 && L->Value(last + 1) < brk)
                ++last;
            filled = L->Value(first) < brk;
        } else {
            last = first + groupSize - 1;
            startX = L->Value(first);
            endX = last < n ? L->Value(last) : 0;
        }
        if (last < n) {
            double x;
            switch (FPeriodAlign) {
            case paFirst:
                x = startX;
                break;
            case paLast:
                x = endX;
                break;
            default:
                x = (startX + endX) * 0.5;
                break;
            }
            if (filled)
                CalculatePeriod(Source, x, first, last);
            else
                AddFunctionXY(Source->YIsMandatory(), x, 0);
        }
        if (FPeriodStyle == psNumPoints || filled) first = last + 1;
    } while (first <= n - 1);
}

// ---------------------------------------------------------------------------

TTeeMovingFunction::TTeeMovingFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(1);
    FSingleSource = true;
}

void TTeeMovingFunction::DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource) {
    const int p = PointsInPeriod(Period());
    const int n = Source->Count();
    for (int t = p - 1; t < n; ++t)
        AddFunctionXY(Source->YIsMandatory(), NotMandatorySource->Value(t),
                      Calculate(Source, t - p + 1, t));
}
