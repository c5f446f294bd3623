#pragma once
// Bubble series (series_bubble.cpp): points with a radius in axis units,
// drawn as pointers that grow and shrink with the axes.
#include "chart/control/series.h"

class TBubbleSeries : public TPointSeries {
    QM_CLASS(TBubbleSeries)
public:
    explicit TBubbleSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TBubbleSeriesEditor"; }
    void AddSampleValues(int NumValues) override;
    int NumSampleValues() override { return 8; }
    void DrawValue(int ValueIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    double MaxYValue() override;
    double MinYValue() override;
    double MaxZValue() override;
    double MinZValue() override;
    bool IsValidSourceOf(TChartSeries* Value) override;

    int AddBubble(double AX, double AY, double ARadius, const AnsiString& ALabel = "",
                  TColor AColor = clAutoColor);

    TChartValueList* RadiusValues() const { return FRadiusValues; }
    bool Squared() const { return FSquared; }
    void SetSquared(bool Value) { SetBooleanProperty(FSquared, Value); }

private:
    TChartValueList* FRadiusValues; // owned by the series' value lists
    bool FSquared = true;
};
