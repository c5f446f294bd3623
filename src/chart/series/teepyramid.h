#pragma once
// The pyramid series (unit Teepyramid): values stacked as slices of one pyramid.
#include "chart/engine/teengine.h"
#include <vector>

class TPyramidSeries : public TChartSeries {
    QM_CLASS(TPyramidSeries)
public:
    explicit TPyramidSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TPyramidSeriesEditor"; }
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    bool DrawValuesForward() override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    double MinXValue() override;
    double MaxXValue() override { return MinXValue(); }
    double MinYValue() override { return 0; }
    double MaxYValue() override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;

    // Sum of the values 0..ValueIndex.
    double AcumUpTo(int ValueIndex);

    int SizePercent() const { return FSizePercent; }
    void SetSize(int Value) { SetIntegerProperty(FSizePercent, Value); }

private:
    // Sum of the sizes of the values 0..ValueIndex: the level a slice ends at,
    // so that slices never overlap.
    double LevelUpTo(int ValueIndex);
    std::vector<TPoint> SlicePoints(int ValueIndex);
    int FSizePercent = 50;
};
