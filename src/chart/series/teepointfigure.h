#pragma once
// Point-and-figure series (unit Teepointfigure): columns of up and down
// symbols over the highs and lows of an OHLC series.
#include "chart/series/candlech.h"
#include <functional>

class TPointFigureSeries : public TOHLCSeries {
    QM_CLASS(TPointFigureSeries)
public:
    explicit TPointFigureSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TPointFigureEditor"; }
    void DrawAllValues() override;
    void DrawValue(int) override {}
    int CountLegendItems() override { return 2; }
    AnsiString LegendString(int LegendIndex, TLegendTextStyle LegendTextStyle) override;
    TColor LegendItemColor(int LegendIndex) override;
    double MinXValue() override { return 0; }
    double MaxXValue() override { return CalcMaxColumns(false) - 1; }
    void PrepareForGallery(bool IsEnabled) override;

    // Walks the prices: the number of columns, drawing the symbols when asked.
    int CalcMaxColumns(bool Draw);
    // Called for every symbol placed (column, value, up) while drawing.
    std::function<void(int Column, double Value, bool Up)> OnSymbol;

    double BoxSize() const { return FBoxSize; }
    void SetBoxSize(double Value) { SetDoubleProperty(FBoxSize, Value); }
    double ReversalAmount() const { return FReversalAmount; }
    void SetReversalAmount(double Value) { SetDoubleProperty(FReversalAmount, Value); }
    TSeriesPointer* UpSymbol() const { return FUpSymbol.get(); }
    void SetUpSymbol(TSeriesPointer* Value) { FUpSymbol->Assign(Value); }
    TSeriesPointer* DownSymbol() const { return FDownSymbol.get(); }
    void SetDownSymbol(TSeriesPointer* Value) { FDownSymbol->Assign(Value); }

private:
    std::unique_ptr<TSeriesPointer> FUpSymbol;
    std::unique_ptr<TSeriesPointer> FDownSymbol;
    double FBoxSize = 1;
    double FReversalAmount = 3;
};
