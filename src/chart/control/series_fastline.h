#pragma once
// The fast line series (unit Series), bodies in series_fastline.cpp.
#include "chart/control/series_line.h"

// One polyline through many points: no pointers, areas or ribbons.
class TFastLineSeries : public TCustomLineSeries {
    QM_CLASS(TFastLineSeries)
public:
    explicit TFastLineSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TFastLineSeriesEditor"; }
    void SetPen(TChartPen* Value) override;
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void DrawAllValues() override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    void DrawValue(int ValueIndex) override;
    void NotifyNewValue(TChartSeries* Sender, int ValueIndex) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void SetSeriesColor(TColor Value) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;

    void CalcPosition(int ValueIndex, int& X, int& Y);

    bool AutoRepaint() const { return FAutoRepaint; }
    void SetAutoRepaint(bool Value) { FAutoRepaint = Value; }
    bool DrawAllPoints() const { return FDrawAllPoints; }
    void SetDrawAll(bool Value) { SetBooleanProperty(FDrawAllPoints, Value); }
    bool FastPen() const { return FFastPen; }
    // The device-context pen is not offered by this platform: the call changes nothing.
    void SetFastPen(bool Value) { (void)Value; }
    bool IgnoreNulls() const { return FIgnoreNulls; }
    void SetIgnoreNulls(bool Value) { SetBooleanProperty(FIgnoreNulls, Value); }
    bool InvertedStairs() const { return FInvertedStairs; }
    void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }
    bool Stairs() const { return FStairs; }
    void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }

protected:
    // Every point through the canvas' MoveTo/LineTo, for any pen.
    void DrawPointByPoint();

private:
    void PrepareCanvas();
    void DoMove(int X, int Y);
    void DoLine(int X, int Y);
    // The same line as polylines of mapped runs, for thin solid pens.
    bool CanDrawRuns() const;
    void DrawRuns();

    bool FAutoRepaint = true;
    bool FDrawAllPoints = true;
    bool FFastPen = false;
    bool FIgnoreNulls = true;
    bool FInvertedStairs = false;
    bool FStairs = false;
    int FastPrevX = 0;
    int FastPrevY = 0;
    bool FIs3D = false;
};
