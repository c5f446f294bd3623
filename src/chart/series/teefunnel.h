#pragma once
// Shaped series (units Teefunnel, Teepyramid, Teedonut):
//   TFunnelSeries    a sales funnel, each segment coloured by its opportunity
//                    against its quote                        teefunnel.cpp
//   TPyramidSeries   values stacked as slices of one pyramid   teepyramid.h / .cpp
//   TDonutSeries     a pie with a hole                         teedonut.h / .cpp
#include "chart/control/series.h"
#include "chart/series/teedonut.h"
#include "chart/series/teepyramid.h"
#include <vector>

class TFunnelSeries : public TChartSeries {
    QM_CLASS(TFunnelSeries)
public:
    explicit TFunnelSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TFunnelSeriesEditor"; }
    void DoBeforeDrawChart() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    int CountLegendItems() override { return 3; }
    AnsiString LegendString(int LegendIndex, TLegendTextStyle LegendTextStyle) override;
    TColor LegendItemColor(int LegendIndex) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    double MinXValue() override { return -0.5; }
    double MaxXValue() override { return Count() - 0.5; }
    double MinYValue() override { return 0; }
    void AddSampleValues(int NumValues) override;

    int AddSegment(double AQuote, double AOpportunity, const AnsiString& ALabel = "",
                   TColor AColor = clAutoColor);
    void Recalc();
    // The colour a segment is filled with, by its opportunity against its quote.
    TColor SegmentColor(int ValueIndex);

    TColor AboveColor() const { return FAboveColor; }
    void SetAboveColor(TColor Value) { SetColorProperty(FAboveColor, Value); }
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value);
    TColor BelowColor() const { return FBelowColor; }
    void SetBelowColor(TColor Value) { SetColorProperty(FBelowColor, Value); }
    double DifferenceLimit() const { return FDifferenceLimit; }
    void SetDifferenceLimit(double Value);
    TChartPen* LinesPen() const { return FLinesPen.get(); }
    void SetLinesPen(TChartPen* Value) { FLinesPen->Assign(Value); }
    TChartValueList* OpportunityValues() const { return FOpportunityValues; }
    void SetOpportunityValues(TChartValueList* Value) {
        SetChartValueList(FOpportunityValues, Value);
    }
    TChartValueList* QuoteValues() const { return YValues(); }
    void SetQuoteValues(TChartValueList* Value) { SetYValues(Value); }
    bool QuotesSorted() const { return FQuotesSorted; }
    void SetQuotesSorted(bool Value);
    TColor WithinColor() const { return FWithinColor; }
    void SetWithinColor(TColor Value) { SetColorProperty(FWithinColor, Value); }

private:
    void SortQuotes();
    double Ratio(int ValueIndex);
    // The filled part of segment i in screen points.
    std::vector<TPoint> DefineFunnelRegion(int ValueIndex);

    TColor FAboveColor = 32768;
    bool FAutoUpdate = true;
    TColor FBelowColor = 255;
    double FDifferenceLimit = 30;
    std::unique_ptr<TChartPen> FLinesPen;
    TChartValueList* FOpportunityValues; // owned by the series' value lists
    bool FQuotesSorted = false;
    bool FSorted = false;
    TColor FWithinColor = 65535;
    double FTop = 0;
    double FBottom = 0;
    double FSlope = 0;
};
