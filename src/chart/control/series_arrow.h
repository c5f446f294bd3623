#pragma once
// Arrow series (series_arrow.cpp): one arrow per point, from the X and Y
// values to the end values, the head sized by the pointer.
#include "chart/control/series.h"

class TArrowSeries : public TPointSeries {
    QM_CLASS(TArrowSeries)
public:
    explicit TArrowSeries(TComponent* AOwner);

    AnsiString GetEditorClass() override { return "TArrowSeriesEditor"; }
    void AddSampleValues(int NumValues) override;
    void DrawValue(int ValueIndex) override;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override;
    double MinYValue() override;
    void PrepareForGallery(bool IsEnabled) override;
    bool IsValidSourceOf(TChartSeries* Value) override;
    bool CanDoExtra() override { return false; }

    int AddArrow(double X0, double Y0, double X1, double Y1, const AnsiString& ALabel = "",
                 TColor AColor = clAutoColor);

    TChartValueList* StartXValues() const { return XValues(); }
    TChartValueList* StartYValues() const { return YValues(); }
    TChartValueList* EndXValues() const { return FEndXValues; }
    TChartValueList* EndYValues() const { return FEndYValues; }
    int ArrowWidth() const { return Pointer()->HorizSize(); }
    void SetArrowWidth(int Value) { Pointer()->SetHorizSize(Value); }
    int ArrowHeight() const { return Pointer()->VertSize(); }
    void SetArrowHeight(int Value) { Pointer()->SetVertSize(Value); }

private:
    TChartValueList* FEndXValues; // owned by the series' value lists
    TChartValueList* FEndYValues;
};
