#pragma once
// 3D bar series (unit Bar3D): bars that float from a per-point offset to their value.
#include "chart/control/series.h"

class TBar3DSeries : public TBarSeries {
    QM_CLASS(TBar3DSeries)
public:
    explicit TBar3DSeries(TComponent* AOwner);

    void DrawValue(int ValueIndex) override;
    double PointOrigin(int ValueIndex, bool SumAll) override;
    double GetOriginValue(int ValueIndex) override;
    double MaxYValue() override;
    double MinYValue() override;
    bool SubGalleryStack() override { return false; }
    void AddSampleValues(int NumValues) override;

    int AddBar(double X, double Y, double Offset, const AnsiString& Label = "",
               TColor Color = clAutoColor);

    TChartValueList* OffsetValues() const { return FOffsetValues; }
    void SetOffsetValues(TChartValueList* Value) { SetChartValueList(FOffsetValues, Value); }

private:
    TChartValueList* FOffsetValues; // owned by the series' value lists
};
