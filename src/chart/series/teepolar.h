#pragma once
// Polar family (unit TeePolar): TCustomPolarSeries maps each point to an angle
// and a radius on a circular grid of rings and spokes; TPolarSeries takes a
// free angle a point, TRadarSeries spreads its points evenly and draws the
// grid as a polygon.
#include "chart/control/series.h"
#include <memory>

class TCustomPolarSeries : public TCircledSeries {
    QM_CLASS(TCustomPolarSeries)
public:
    explicit TCustomPolarSeries(TComponent* AOwner);
    ~TCustomPolarSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TPolarSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    void DoBeforeDrawValues() override;
    void DoAfterDrawValues() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    void SetSeriesColor(TColor Value) override;
    void PrepareForGallery(bool IsEnabled) override;
    int CalcXPos(int ValueIndex) override;
    int CalcYPos(int ValueIndex) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    bool DrawValuesForward() override { return true; }
    void AddSampleValues(int NumValues) override;
    // Angles are data: they are never renumbered.
    void CheckOrder() override;

    void DrawCircleGradient() override;
    virtual AnsiString GetCircleLabel(double Angle, int Index);

    // Screen position of a point on a circle of ARadius pixels.
    void CalcXYPos(int ValueIndex, double ARadius, int& X, int& Y);
    // X and Y pixel radius of a radius value.
    void CalcXYRadius(double Value, int& RadiusX, int& RadiusY);
    void DrawRing(double Value, int Z);
    void DrawPolarCircle(int HalfWidth, int HalfHeight, int Z);
    void DrawZone(double Min, double Max, int Z);
    void FillTriangle(const TPoint& P0, const TPoint& P1, int Z);
    // Spokes, labels, rings and the chart's axes as radius lines.
    void DrawAxis();

    TChartValueList* AngleValues() const { return XValues(); }
    void SetAngleValues(TChartValueList* Value) { SetXValues(Value); }
    TChartValueList* RadiusValues() const { return YValues(); }
    void SetRadiusValues(TChartValueList* Value) { SetYValues(Value); }
    bool IsRadiusStored() const;
    double AngleIncrement() const;
    void SetAngleIncrement(double Value);
    double RadiusIncrement() const;
    void SetRadiusIncrement(double Value);

    bool CircleLabels() const { return FCircleLabels; }
    void SetCircleLabels(bool Value) { SetBooleanProperty(FCircleLabels, Value); }
    TTeeFont* CircleLabelsFont() const { return FCircleLabelsFont.get(); }
    void SetCircleLabelsFont(TTeeFont* Value) { FCircleLabelsFont->Assign(Value); }
    bool CircleLabelsInside() const { return FCircleLabelsInside; }
    void SetCircleLabelsInside(bool Value) { SetBooleanProperty(FCircleLabelsInside, Value); }
    bool CircleLabelsRotated() const { return FCircleLabelsRotated; }
    void SetCircleLabelsRotated(bool Value) { SetBooleanProperty(FCircleLabelsRotated, Value); }
    TChartPen* CirclePen() const { return FCirclePen.get(); }
    void SetCirclePen(TChartPen* Value) { FCirclePen->Assign(Value); }
    bool ClockWiseLabels() const { return FClockWiseLabels; }
    void SetClockWiseLabels(bool Value) { SetBooleanProperty(FClockWiseLabels, Value); }
    bool CloseCircle() const { return FCloseCircle; }
    void SetCloseCircle(bool Value) { SetBooleanProperty(FCloseCircle, Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }
    TTeeTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TTeeTransparency Value);
    int PolygonSides() const { return FPolygonSides; }

    TOnGetPointerStyle OnGetPointerStyle;

protected:
    // The first active series of this class in the chart (it draws the grid).
    TCustomPolarSeries* FirstOfClass() const;
    bool IsLastOfClass() const;
    void DrawCircleLabel(double Angle, int Index);
    // Radius in pixels of a value on a circle of ARadius pixels; -1 for the centre.
    double RadiusOf(double Value, double ARadius) const;
    void SetRotationQuiet(int Angle);

    bool FCircleLabels = false;
    std::unique_ptr<TTeeFont> FCircleLabelsFont;
    bool FCircleLabelsInside = false;
    bool FCircleLabelsRotated = false;
    std::unique_ptr<TChartPen> FCirclePen;
    bool FClockWiseLabels = false;
    bool FCloseCircle = true;
    std::unique_ptr<TSeriesPointer> FPointer;
    TTeeTransparency FTransparency = 0;
    int FPolygonSides = 0;

private:
    TPoint FOld{0, 0};
    TPoint FFirst{0, 0};
};

class TPolarSeries : public TCustomPolarSeries {
    QM_CLASS(TPolarSeries)
public:
    explicit TPolarSeries(TComponent* AOwner) : TCustomPolarSeries(AOwner) {}
    int AddPolar(double Angle, double Value, const AnsiString& Label = "",
                 TColor Color = clAutoColor) {
        return AddXY(Angle, Value, Label, Color);
    }
};

class TRadarSeries : public TCustomPolarSeries {
    QM_CLASS(TRadarSeries)
public:
    explicit TRadarSeries(TComponent* AOwner);
    void DoBeforeDrawChart() override;
    double GetxValue(int Index) override;
    AnsiString GetCircleLabel(double Angle, int Index) override;
    int NumSampleValues() override { return 5; }
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;
};
