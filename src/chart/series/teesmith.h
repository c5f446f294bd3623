#pragma once
// Smith chart (unit TeeSmith): normalised impedances z = r + jx drawn at their
// reflection coefficient inside the unit circle, over the grid of constant
// resistance circles and constant reactance arcs.
#include "chart/control/series.h"
#include <memory>

class TSmithSeries : public TCircledSeries {
    QM_CLASS(TSmithSeries)
public:
    explicit TSmithSeries(TComponent* AOwner);
    ~TSmithSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TSmithSeriesEdit"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DoBeforeDrawValues() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    int CalcXPos(int ValueIndex) override;
    int CalcYPos(int ValueIndex) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    void CheckOrder() override;
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;

    void ZToPos(double Resist, double React, int& X, int& Y) const;
    // Inverse of ZToPos; the rightmost point (infinite impedance) gives an
    // infinite resistance.
    void PosToZ(int X, int Y, double& Resist, double& React) const;
    int AddPoint(double Resist, double React, const AnsiString& Label = "",
                 TColor Color = clAutoColor) {
        return AddXY(Resist, React, Label, Color);
    }
    void DrawRCircle(double Value, int Z, bool ShowLabel);
    void DrawXCircle(double Value, int Z, bool ShowLabel);

    TChartValueList* ResistanceValues() const { return XValues(); }
    void SetResistanceValues(TChartValueList* Value) { SetXValues(Value); }
    TChartValueList* ReactanceValues() const { return YValues(); }
    void SetReactanceValues(TChartValueList* Value) { SetYValues(Value); }
    TChartPen* CirclePen() const { return FCirclePen.get(); }
    void SetCirclePen(TChartPen* Value) { FCirclePen->Assign(Value); }
    const AnsiString& ImagSymbol() const { return FImagSymbol; }
    void SetImagSymbol(const AnsiString& Value) { SetStringProperty(FImagSymbol, Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }

    // Kept in the chart's axes: C* in the vertical axis, R* in the horizontal one.
    TChartPen* CCirclePen() const;
    void SetCCirclePen(TChartPen* Value);
    bool CLabels() const;
    void SetCLabels(bool Value);
    TTeeFont* CLabelsFont() const;
    void SetCLabelsFont(TTeeFont* Value);
    TChartPen* RCirclePen() const;
    void SetRCirclePen(TChartPen* Value);
    bool RLabels() const;
    void SetRLabels(bool Value);
    TTeeFont* RLabelsFont() const;
    void SetRLabelsFont(TTeeFont* Value);

private:
    TSmithSeries* FirstOfClass() const;
    void DrawGridLabel(int X, int Y, int Z, const AnsiString& Text, double AngleDeg);

    std::unique_ptr<TChartPen> FCirclePen;
    AnsiString FImagSymbol = "i";
    std::unique_ptr<TSeriesPointer> FPointer;
    TPoint FOld{0, 0};
};
