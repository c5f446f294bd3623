#pragma once
// Error and high-low series (unit Errorbar):
//   TCustomErrorSeries, TErrorSeries, TErrorBarSeries   whiskers, with or without bars
//   THighLowSeries                                      a band between a high and a low line
#include "chart/control/series.h"

enum TErrorSeriesStyle { essLeft, essRight, essLeftRight, essTop, essBottom, essTopBottom };
QM_ENUM_NAMES(TErrorSeriesStyle, essLeft, essRight, essLeftRight, essTop, essBottom, essTopBottom)
enum TErrorWidthUnits { ewuPercent, ewuPixels };
QM_ENUM_NAMES(TErrorWidthUnits, ewuPercent, ewuPixels)

class TCustomErrorSeries : public TBarSeries {
    QM_CLASS(TCustomErrorSeries)
public:
    explicit TCustomErrorSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TErrorSeriesEditor"; }
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void DrawBar(int BarIndex, int StartPos, int EndPos) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    double MaxYValue() override;
    double MinYValue() override;
    void SetSeriesColor(TColor Value) override;
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    bool SubGalleryStack() override { return false; }

    int AddErrorBar(double X, double Y, double AError, const AnsiString& Label = "",
                    TColor Color = clAutoColor);
    double GetErrorValue(int Index) const;
    void SetErrorValue(int Index, double Value);

    TChartPen* ErrorPen() const { return FErrorPen.get(); }
    void SetErrorPen(TChartPen* Value);
    TErrorSeriesStyle ErrorStyle() const { return FErrorStyle; }
    void SetErrorStyle(TErrorSeriesStyle Value);
    TChartValueList* ErrorValues() const { return FErrorValues; }
    void SetErrorValues(TChartValueList* Value) { SetChartValueList(FErrorValues, Value); }
    int ErrorWidth() const { return FErrorWidth; }
    void SetErrorWidth(int Value) { SetIntegerProperty(FErrorWidth, Value); }
    TErrorWidthUnits ErrorWidthUnits() const { return FErrorWidthUnits; }
    void SetErrorWidthUnits(TErrorWidthUnits Value);
    bool DrawBarFirst() const { return FDrawBar; }

protected:
    bool FDrawBar = false;

private:
    // The whisker from (X, Y) Length pixels long with a cross tick of TickWidth.
    void DrawWhisker(TCanvas3D* Canvas, int X, int Y, int Length, int TickWidth, bool Is3D);

    std::unique_ptr<TChartPen> FErrorPen;
    TErrorSeriesStyle FErrorStyle = essTopBottom;
    TChartValueList* FErrorValues; // owned by the series' value lists
    int FErrorWidth = 100;
    TErrorWidthUnits FErrorWidthUnits = ewuPercent;
};

class TErrorSeries : public TCustomErrorSeries {
    QM_CLASS(TErrorSeries)
public:
    explicit TErrorSeries(TComponent* AOwner) : TCustomErrorSeries(AOwner) {}
};

class TErrorBarSeries : public TCustomErrorSeries {
    QM_CLASS(TErrorBarSeries)
public:
    explicit TErrorBarSeries(TComponent* AOwner);
    void PrepareForGallery(bool IsEnabled) override;
};

class THighLowSeries : public TChartSeries {
    QM_CLASS(THighLowSeries)
public:
    explicit THighLowSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "THighLowEditor"; }
    void DefineProperties(TFiler* Filer) override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    bool IsValidSourceOf(TChartSeries* Value) override;
    double MaxYValue() override;
    double MinYValue() override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    void AddSampleValues(int NumValues) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;

    int AddHighLow(double X, double AHigh, double ALow, const AnsiString& Label = "",
                   TColor Color = clAutoColor);

    TChartBrush* HighBrush() const { return Brush(); }
    void SetHighBrush(TChartBrush* Value) { SetBrush(Value); }
    TChartPen* HighPen() const { return FHighPen.get(); }
    void SetHighPen(TChartPen* Value) { FHighPen->Assign(Value); }
    TChartValueList* HighValues() const { return YValues(); }
    void SetHighValues(TChartValueList* Value) { SetYValues(Value); }
    TChartBrush* LowBrush() const { return FLowBrush.get(); }
    void SetLowBrush(TChartBrush* Value) { FLowBrush->Assign(Value); }
    TChartPen* LowPen() const { return FLowPen.get(); }
    void SetLowPen(TChartPen* Value) { FLowPen->Assign(Value); }
    TChartValueList* LowValues() const { return FLowValues; }
    void SetLowValues(TChartValueList* Value) { SetChartValueList(FLowValues, Value); }
    TTeeTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TTeeTransparency Value);

private:
    std::unique_ptr<TChartPen> FHighPen;
    TChartValueList* FLowValues; // owned by the series' value lists
    std::unique_ptr<TChartPen> FLowPen;
    std::unique_ptr<TChartBrush> FLowBrush;
    TTeeTransparency FTransparency = 0;
    int FOldX = 0;
    int FOldHigh = 0;
    int FOldLow = 0;
    int FFirstDrawn = -1;
};
