#pragma once
// Function base: a function computes the points of its parent series from one
// or more source series, over all points, groups of points or ranges of X.
// TTeeMovingFunction slides a window of Period points instead.
#include "platform/classes/component.h"
#include "platform/classes/props.h"
#include <vector>

class TChartSeries;
class TChartValueList;
class TCustomAxisPanel;

enum TFunctionPeriodStyle { psNumPoints, psRange };
QM_ENUM_NAMES(TFunctionPeriodStyle, psNumPoints, psRange)
enum TFunctionPeriodAlign { paFirst, paCenter, paLast };
QM_ENUM_NAMES(TFunctionPeriodAlign, paFirst, paCenter, paLast)

class TTeeFunction : public TComponent {
    QM_CLASS(TTeeFunction)
public:
    explicit TTeeFunction(TComponent* AOwner);
    ~TTeeFunction() override;

    void Assign(TPersistent* Source) override;
    TComponent* GetParentComponent() override;
    void SetParentComponent(TComponent* Value) override;
    bool HasParent() override { return true; }

    // Recomputes the parent series from Source (nothing while updating).
    virtual void AddPoints(TChartSeries* Source);
    virtual bool IsValidSource(TChartSeries* Value);
    void BeginUpdate() { FUpdating = true; }
    void EndUpdate();
    void ReCalculate();

    double Period() const { return FPeriod; }
    // Raises ChartException for a negative value.
    void SetPeriod(double Value);
    // Stores without recalculating.
    void InternalSetPeriod(double Value) { FPeriod = Value; }
    TFunctionPeriodStyle PeriodStyle() const { return FPeriodStyle; }
    void SetPeriodStyle(TFunctionPeriodStyle Value);
    TFunctionPeriodAlign PeriodAlign() const { return FPeriodAlign; }
    void SetPeriodAlign(TFunctionPeriodAlign Value);
    TChartSeries* ParentSeries() const { return FParent; }
    void SetParentSeries(TChartSeries* Value);

    bool CanUsePeriod() const { return FCanUsePeriod; }
    bool SingleSource() const { return FSingleSource; }
    bool HideSourceList() const { return FHideSourceList; }
    // The function computes its points without any source series.
    bool NoSourceRequired() const { return FNoSourceRequired; }

    // The value list of Series that the function reads.
    TChartValueList* ValueList(TChartSeries* Series);
    void AddFunctionXY(bool YMandatorySource, double tmpX, double tmpY);

    virtual AnsiString GetEditorClass();
    virtual void PrepareForGallery(TCustomAxisPanel* Chart);
    virtual double Calculate(TChartSeries* Series, int First, int Last);
    virtual double CalculateMany(const std::vector<TChartSeries*>& SourceSeriesList,
                                 int ValueIndex);

    // Lets the series forget a function it is freeing or replacing.
    void ForgetParentSeries() { FParent = nullptr; }

protected:
    virtual void CalculatePeriod(TChartSeries* Source, double tmpX, int FirstIndex, int LastIndex);
    virtual void CalculateAllPoints(TChartSeries* Source, TChartValueList* NotMandatorySource);
    virtual void CalculateByPeriod(TChartSeries* Source, TChartValueList* NotMandatorySource);
    virtual void DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource);

    bool FCanUsePeriod = true;
    bool FSingleSource = false;
    bool FHideSourceList = false;
    bool FNoSourceRequired = false;

private:
    void AddPointsMany(TChartSeries* Source);

    double FPeriod = 0;
    TFunctionPeriodStyle FPeriodStyle = psNumPoints;
    TFunctionPeriodAlign FPeriodAlign = paCenter;
    TChartSeries* FParent = nullptr;
    bool FUpdating = false;
};

class TTeeMovingFunction : public TTeeFunction {
    QM_CLASS(TTeeMovingFunction)
public:
    explicit TTeeMovingFunction(TComponent* AOwner);

protected:
    void DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource) override;
};
