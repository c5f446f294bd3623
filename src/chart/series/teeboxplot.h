#pragma once
// Box-and-whisker series (unit Teeboxplot): median, quartiles, fences and
// adjacent points of one sample set, drawn as one box at a fixed position.
//   TCustomBoxSeries   statistics, box, whiskers, outliers, samples, gallery
//   TBoxSeries         vertical box
//   THorizBoxSeries    horizontal box
#include "chart/control/series.h"

class TCustomBoxSeries : public TPointSeries {
    QM_CLASS(TCustomBoxSeries)
public:
    explicit TCustomBoxSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TBoxSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DoBeforeDrawValues() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;

    // Computes the statistics from the samples (unless custom values are used).
    void RecalcStats();

    TSeriesPointer* ExtrOut() const { return FExtrOut.get(); }
    void SetExtrOut(TSeriesPointer* Value) { FExtrOut->Assign(Value); }
    TChartPen* MedianPen() const { return FMedianPen.get(); }
    void SetMedianPen(TChartPen* Value) { FMedianPen->Assign(Value); }
    TSeriesPointer* MildOut() const { return FMildOut.get(); }
    void SetMildOut(TSeriesPointer* Value) { FMildOut->Assign(Value); }
    double Position() const { return FPosition; }
    void SetPosition(double Value) { SetDoubleProperty(FPosition, Value); }
    TChartValueList* SampleValues() const { return FVertical ? YValues() : XValues(); }
    void SetSampleValues(TChartValueList* Value) {
        FVertical ? SetYValues(Value) : SetXValues(Value);
    }
    double WhiskerLength() const { return FWhiskerLength; }
    void SetWhiskerLength(double Value) { SetDoubleProperty(FWhiskerLength, Value); }
    TChartPen* WhiskerPen() const { return FWhiskerPen.get(); }
    void SetWhiskerPen(TChartPen* Value) { FWhiskerPen->Assign(Value); }
    bool UseCustomValues() const { return FUseCustomValues; }
    void SetUseCustomValues(bool Value) { SetBooleanProperty(FUseCustomValues, Value); }
    bool Vertical() const { return FVertical; }

    double Median() const { return FMedian; }
    void SetMedian(double Value) { SetDoubleProperty(FMedian, Value); }
    double Quartile1() const { return FQuartile1; }
    void SetQuartile1(double Value) { SetDoubleProperty(FQuartile1, Value); }
    double Quartile3() const { return FQuartile3; }
    void SetQuartile3(double Value) { SetDoubleProperty(FQuartile3, Value); }
    double InnerFence1() const { return FInnerFence1; }
    void SetInnerFence1(double Value) { SetDoubleProperty(FInnerFence1, Value); }
    double InnerFence3() const { return FInnerFence3; }
    void SetInnerFence3(double Value) { SetDoubleProperty(FInnerFence3, Value); }
    double OuterFence1() const { return FOuterFence1; }
    void SetOuterFence1(double Value) { SetDoubleProperty(FOuterFence1, Value); }
    double OuterFence3() const { return FOuterFence3; }
    void SetOuterFence3(double Value) { SetDoubleProperty(FOuterFence3, Value); }
    int AdjacentPoint1() const { return FAdjacentPoint1; }
    void SetAdjacentPoint1(int Value) { SetIntegerProperty(FAdjacentPoint1, Value); }
    int AdjacentPoint3() const { return FAdjacentPoint3; }
    void SetAdjacentPoint3(int Value) { SetIntegerProperty(FAdjacentPoint3, Value); }

protected:
    bool FVertical = true;

private:
    // Screen position across the box (Position) and along it (a value).
    int AcrossPos(double Value);
    int AlongPos(double Value);

    std::unique_ptr<TSeriesPointer> FExtrOut;
    std::unique_ptr<TChartPen> FMedianPen;
    std::unique_ptr<TSeriesPointer> FMildOut;
    double FPosition = 0;
    double FWhiskerLength = 1.5;
    std::unique_ptr<TChartPen> FWhiskerPen;
    bool FUseCustomValues = false;
    double FMedian = 0;
    double FQuartile1 = 0;
    double FQuartile3 = 0;
    double FInnerFence1 = 0;
    double FInnerFence3 = 0;
    double FOuterFence1 = 0;
    double FOuterFence3 = 0;
    int FAdjacentPoint1 = 0;
    int FAdjacentPoint3 = 0;
};

class TBoxSeries : public TCustomBoxSeries {
    QM_CLASS(TBoxSeries)
public:
    explicit TBoxSeries(TComponent* AOwner) : TCustomBoxSeries(AOwner) {}
    double MaxXValue() override { return Position(); }
    double MinXValue() override { return Position(); }
};

class THorizBoxSeries : public TCustomBoxSeries {
    QM_CLASS(THorizBoxSeries)
public:
    explicit THorizBoxSeries(TComponent* AOwner);
    double MaxYValue() override { return Position(); }
    double MinYValue() override { return Position(); }
};
