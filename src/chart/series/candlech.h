#pragma once
// Price series (units Ohlchart, Candlech, Bigcandl):
//   TOHLCSeries       date, open, high, low and close of each point   candlech.cpp
//   TCandleSeries     candle sticks, bars with ticks, boxes or a close line
//   TBigCandleSeries  a candle series with the four prices as marks
//   TVolumeSeries     one vertical line per point from an origin
// The functions that read these series by list name live in statchar.h and
// teevolumefunctions.h.
#include "chart/control/series.h"
#include <vector>

class TOHLCSeries : public TCustomSeries {
    QM_CLASS(TOHLCSeries)
public:
    explicit TOHLCSeries(TComponent* AOwner);

    int AddOHLC(double ADate, double AOpen, double AHigh, double ALow, double AClose);
    // Without dates: the points are numbered.
    int AddOHLC(double AOpen, double AHigh, double ALow, double AClose);
    void AddSampleValues(int NumValues) override;
    int NumSampleValues() override { return 40; }
    bool IsValidSourceOf(TChartSeries* Value) override;
    double MaxYValue() override;
    double MinYValue() override;

    TChartValueList* DateValues() const { return XValues(); }
    TChartValueList* CloseValues() const { return YValues(); }
    TChartValueList* HighValues() const { return FHighValues; }
    TChartValueList* LowValues() const { return FLowValues; }
    TChartValueList* OpenValues() const { return FOpenValues; }
    void SetDateValues(TChartValueList* Value) { SetChartValueList(XValues(), Value); }
    void SetCloseValues(TChartValueList* Value) { SetChartValueList(YValues(), Value); }
    void SetHighValues(TChartValueList* Value) { SetChartValueList(FHighValues, Value); }
    void SetLowValues(TChartValueList* Value) { SetChartValueList(FLowValues, Value); }
    void SetOpenValues(TChartValueList* Value) { SetChartValueList(FOpenValues, Value); }

private:
    // Owned by the series' value lists.
    TChartValueList* FHighValues;
    TChartValueList* FLowValues;
    TChartValueList* FOpenValues;
};

enum TCandleStyle { csCandleStick, csCandleBar, csOpenClose, csLine };
QM_ENUM_NAMES(TCandleStyle, csCandleStick, csCandleBar, csOpenClose, csLine)

class TCandleSeries : public TOHLCSeries {
    QM_CLASS(TCandleSeries)
public:
    explicit TCandleSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TCandleEditor"; }
    int AddCandle(double ADate, double AOpen, double AHigh, double ALow, double AClose) {
        return AddOHLC(ADate, AOpen, AHigh, ALow, AClose);
    }
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    TColor LegendItemColor(int LegendIndex) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    double MaxYValue() override;
    double MinYValue() override;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;

    // The colour a candle is drawn with: rising, falling, or its neighbour's.
    TColor CandleColor(int ValueIndex);

    TCandleStyle CandleStyle() const { return FCandleStyle; }
    void SetCandleStyle(TCandleStyle Value);
    int CandleWidth() const { return FCandleWidth; }
    void SetCandleWidth(int Value) { SetIntegerProperty(FCandleWidth, Value); }
    TColor DownCloseColor() const { return FDownCloseColor; }
    void SetDownCloseColor(TColor Value) { SetColorProperty(FDownCloseColor, Value); }
    TColor UpCloseColor() const { return FUpCloseColor; }
    void SetUpCloseColor(TColor Value) { SetColorProperty(FUpCloseColor, Value); }
    bool ShowCloseTick() const { return FShowCloseTick; }
    void SetShowCloseTick(bool Value) { SetBooleanProperty(FShowCloseTick, Value); }
    bool ShowOpenTick() const { return FShowOpenTick; }
    void SetShowOpenTick(bool Value) { SetBooleanProperty(FShowOpenTick, Value); }
    // These three live in the pointer.
    bool CandleDraw3D() const { return Pointer()->Draw3D(); }
    void SetCandleDraw3D(bool Value) { Pointer()->SetDraw3D(Value); }
    bool CandleDark3D() const { return Pointer()->Dark3D(); }
    void SetCandleDark3D(bool Value) { Pointer()->SetDark3D(Value); }
    TChartPen* CandlePen() const { return Pointer()->Pen(); }

private:
    struct TCandleGeometry {
        int X, Open, Close, High, Low, Left, Right;
    };
    TCandleGeometry Geometry(int ValueIndex);
    // The box a flat (2D) candle body is drawn with.
    TRect FlatBody(TCandleGeometry G) const;
    static TRect FlatBody(TCandleGeometry G, bool PenShown);
    // Draws only the candles some pixel of which no later candle paints over,
    // when what each candle paints is known exactly; false when it is not.
    bool DrawUncoveredCandles();
    bool ClickedCandle(int ValueIndex, const TPoint& P, const TPoint& PrevEnd);

    // What DrawUncoveredCandles draws, and the candles' indexes; the values
    // of its rows.
    std::vector<int> FShownIndex;
    std::vector<TCanvas::TColumnBox> FMarks;
    std::vector<double> FRowValues;

    TCandleStyle FCandleStyle = csCandleStick;
    int FCandleWidth = 4;
    TColor FDownCloseColor = clRed;
    bool FShowCloseTick = true;
    bool FShowOpenTick = true;
    TColor FUpCloseColor = clWhite;
    TPoint FLastLineEnd{0, 0};
    int FFirstDrawn = -1;
};

class TBigCandleSeries : public TCandleSeries {
    QM_CLASS(TBigCandleSeries)
public:
    explicit TBigCandleSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;

    int HorizGap() const { return FHorizGap; }
    void SetHorizGap(int Value) { SetIntegerProperty(FHorizGap, Value); }
    int VertGap() const { return FVertGap; }
    void SetVertGap(int Value) { SetIntegerProperty(FVertGap, Value); }

private:
    int FHorizGap = 20;
    int FVertGap = 6;
};

class TVolumeSeries : public TCustomSeries {
    QM_CLASS(TVolumeSeries)
public:
    explicit TVolumeSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TVolumeSeriesEditor"; }
    void AddSampleValues(int NumValues) override;
    int NumSampleValues() override { return 40; }
    void DrawValue(int ValueIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void SetSeriesColor(TColor Value) override;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;

    TChartValueList* VolumeValues() const { return YValues(); }
    void SetVolumeValues(TChartValueList* Value) { SetChartValueList(YValues(), Value); }
    bool UseYOrigin() const { return FUseYOrigin; }
    void SetUseYOrigin(bool Value) { SetBooleanProperty(FUseYOrigin, Value); }
    double YOrigin() const { return FYOrigin; }
    void SetYOrigin(double Value) { SetDoubleProperty(FYOrigin, Value); }

private:
    int OriginY();

    bool FUseYOrigin = false;
    double FYOrigin = 0;
    TColor FLastColor = clNone;
};
