#pragma once
// Gauge (unit TeeGauges): one value shown by a hand over a circular scale with
// major and minor ticks and labels. The scale borrows the chart's vertical
// axis for its increment, tick pens and lengths, minor tick count and font.
#include "chart/control/series.h"
#include <memory>

enum THandStyle { hsLine, hsTriangle };
QM_ENUM_NAMES(THandStyle, hsLine, hsTriangle)

class TGaugeSeries : public TCircledSeries {
    QM_CLASS(TGaugeSeries)
public:
    explicit TGaugeSeries(TComponent* AOwner);
    ~TGaugeSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TGaugeSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DrawAllValues() override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    int NumSampleValues() override { return 1; }
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;

    TChartAxis* Axis() const;
    // Degrees of a value on the scale (before the conversion to radians).
    double ValueAngle(double Value) const;
    static TPoint CalcPoint(double Angle, const TPoint& Center, double RadiusX, double RadiusY);
    // Start and end of the hand for the current value.
    void CalcLinePoints(TPoint& Start, TPoint& End);
    void DrawValueLine();

    double Value();
    void SetValue(double Value);
    double TotalAngle() const { return FTotalAngle; }
    void SetTotalAngle(double Value) { SetDoubleProperty(FTotalAngle, Value); }
    TSeriesPointer* Center() const { return FCenter.get(); }
    void SetCenter(TSeriesPointer* Value) { FCenter->Assign(Value); }
    int HandDistance() const { return FHandDistance; }
    void SetHandDistance(int Value) { SetIntegerProperty(FHandDistance, Value); }
    TSeriesPointer* EndPoint() const { return FEndPoint.get(); }
    void SetEndPoint(TSeriesPointer* Value) { FEndPoint->Assign(Value); }
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { SetBooleanProperty(FFullRepaint, Value); }
    double Maximum() const { return FMaximum; }
    void SetMaximum(double Value);
    double Minimum() const { return FMinimum; }
    void SetMinimum(double Value);
    int MinorTickDistance() const { return FMinorTickDistance; }
    void SetMinorTickDistance(int Value) { SetIntegerProperty(FMinorTickDistance, Value); }
    THandStyle HandStyle() const { return FHandStyle; }
    void SetHandStyle(THandStyle Value);
    bool LabelsInside() const { return FLabelsInside; }
    void SetLabelsInside(bool Value) { SetBooleanProperty(FLabelsInside, Value); }
    TPoint CenterPoint() const { return FCenterPoint; }

    TNotifyEvent OnChange;

private:
    double FTotalAngle = 90;
    std::unique_ptr<TSeriesPointer> FCenter;
    int FHandDistance = 30;
    std::unique_ptr<TSeriesPointer> FEndPoint;
    bool FFullRepaint = false;
    double FMaximum = 100;
    double FMinimum = 0;
    int FMinorTickDistance = 0;
    THandStyle FHandStyle = hsLine;
    TPoint FCenterPoint{0, 0};
    bool FLabelsInside = true;
};
