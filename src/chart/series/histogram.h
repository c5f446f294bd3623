#pragma once
// Histogram series (unit Statchar): contiguous bars that fill the horizontal axis.
#include "chart/control/series.h"

class THistogramSeries : public TCustomLineSeries {
    QM_CLASS(THistogramSeries)
public:
    explicit THistogramSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "THistogramSeriesEditor"; }
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;

    // Bar of a point: left edge and right edge in pixels for the current frame.
    TRect BarBounds(int ValueIndex);

    TChartHiddenPen* LinesPen() const { return FLinesPen.get(); }
    void SetLinesPen(TChartHiddenPen* Value) { FLinesPen->Assign(Value); }
    TTeeTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TTeeTransparency Value) { SetIntegerProperty(FTransparency, Value); }

private:
    int HalfWidth();
    int BottomPos();

    std::unique_ptr<TChartHiddenPen> FLinesPen;
    TTeeTransparency FTransparency = 0;
    int FPreviousRight = 0;
    int FPreviousTop = 0;
    int FFirst = -1;
    int FLast = -1;
};
