#pragma once
// The chart legend: what it lists, its layout beside the plotting area, its
// symbols and check boxes, and its hit test (teelegend.cpp).
#include "chart/control/chartparts.h"
#include "chart/engine/teeseries.h"
#include "platform/classes/watched.h"
#include <memory>

class TCustomChart;
class TCanvas;

QM_DECLARE_EXCEPTION(LegendException, ChartException)

enum TLegendAlignment { laLeft, laRight, laTop, laBottom };
QM_ENUM_NAMES(TLegendAlignment, laLeft, laRight, laTop, laBottom)
enum TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };
QM_ENUM_NAMES(TLegendStyle, lsAuto, lsSeries, lsValues, lsLastValues)
enum TLegendSymbolPosition { spLeft, spRight };
QM_ENUM_NAMES(TLegendSymbolPosition, spLeft, spRight)
enum TLegendSymbolSize { lcsPercent, lcsPixels };
QM_ENUM_NAMES(TLegendSymbolSize, lcsPercent, lcsPixels)

class TCustomChartLegend;

class TLegendSymbol : public TPersistent {
    QM_CLASS(TLegendSymbol)
public:
    explicit TLegendSymbol(TCustomChartLegend* ALegend = nullptr);
    ~TLegendSymbol() override;
    void Assign(TPersistent* Source) override;

    bool Continuous() const { return FContinuous; }
    void SetContinuous(bool Value);
    bool DefaultPen() const { return FDefaultPen; }
    void SetDefaultPen(bool Value);
    TChartPen* Pen() const { return FPen.get(); }
    void SetPen(TChartPen* Value) { FPen->Assign(Value); }
    TLegendSymbolPosition Position() const { return FPosition; }
    void SetPosition(TLegendSymbolPosition Value);
    bool Squared() const { return FSquared; }
    void SetSquared(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TLegendSymbolSize WidthUnits() const { return FWidthUnits; }
    void SetWidthUnits(TLegendSymbolSize Value);

    // The symbol width in pixels for a text of Value pixels.
    int CalcWidth(int Value);

private:
    void Changed();
    TCustomChartLegend* FLegend;
    bool FContinuous = false;
    bool FDefaultPen = true;
    std::unique_ptr<TChartPen> FPen;
    TLegendSymbolPosition FPosition = spLeft;
    bool FSquared = false;
    bool FVisible = true;
    int FWidth = 20;
    TLegendSymbolSize FWidthUnits = lcsPercent;
};

class TChartLegendGradient : public TTeeGradient {
    QM_CLASS(TChartLegendGradient)
public:
    explicit TChartLegendGradient(TNotifyEvent OnChange = nullptr);
};

class TCustomChartLegend : public TTeeCustomShapePosition {
    QM_CLASS(TCustomChartLegend)
public:
    explicit TCustomChartLegend(TCustomTeePanel* AOwner = nullptr);
    ~TCustomChartLegend() override;
    void Assign(TPersistent* Source) override;

    // --- published settings ---
    TLegendAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TLegendAlignment Value);
    bool CheckBoxes() const { return FCheckBoxes; }
    void SetCheckBoxes(bool Value);
    // The symbol's width, published under the legend's own name too.
    int ColorWidth() const { return FSymbol->Width(); }
    void SetColorWidth(int Value) { FSymbol->SetWidth(Value); }
    bool CurrentPage() const { return FCurrentPage; }
    void SetCurrentPage(bool Value);
    TChartHiddenPen* DividingLines() const { return FDividingLines.get(); }
    void SetDividingLines(TChartHiddenPen* Value) { FDividingLines->Assign(Value); }
    int FirstValue() const { return FFirstValue; }
    // Raises LegendException for a negative value.
    void SetFirstValue(int Value);
    bool FontSeriesColor() const { return FFontSeriesColor; }
    void SetFontSeriesColor(bool Value);
    // The frame: the shape's pen.
    TChartPen* Frame() const { return Pen(); }
    void SetFrame(TChartPen* Value) { SetPen(Value); }
    int HorizMargin() const { return FHorizMargin; }
    void SetHorizMargin(int Value);
    bool Inverted() const { return FInverted; }
    void SetInverted(bool Value);
    TLegendStyle LegendStyle() const { return FLegendStyle; }
    void SetLegendStyle(TLegendStyle Value);
    int MaxNumRows() const { return FMaxNumRows; }
    void SetMaxNumRows(int Value);
    bool ResizeChart() const { return FResizeChart; }
    void SetResizeChart(bool Value);
    TLegendSymbol* Symbol() const { return FSymbol.get(); }
    void SetSymbol(TLegendSymbol* Value) { FSymbol->Assign(Value); }
    TLegendTextStyle TextStyle() const { return FTextStyle; }
    void SetTextStyle(TLegendTextStyle Value);
    int TopPos() const { return FTopPos; }
    void SetTopPos(int Value);
    int VertMargin() const { return FVertMargin; }
    void SetVertMargin(int Value);
    int VertSpacing() const { return FVertSpacing; }
    void SetVertSpacing(int Value);

    // --- public state ---
    TChartSeries* Series() const { return FSeries; }
    void SetSeries(TChartSeries* Value);
    int LastValue() const { return FLastValue; }
    // Worked out when asked: what a paint would list now.
    TLegendStyle LegendStyleUsed();
    int TotalLegendItems() const { return FTotalLegendItems; }
    int NumCols() const { return FNumCols; }
    int NumRows() const { return FNumRows; }
    int SymbolWidthPixels() const { return FSymbolWidth; }
    int ColumnWidth(int Index) const { return FColumnWidths[Index & 1]; }
    bool ColumnWidthAuto() const { return FColumnWidthAuto; }
    void SetColumnWidthAuto(bool Value) { FColumnWidthAuto = Value; }

    TCustomChart* Chart() const;
    void CalcLegendStyle();
    // The series a value legend lists: Series, else the first active series.
    TChartSeries* LegendSeries() const;
    AnsiString FormattedLegend(int Index);
    AnsiString FormattedValue(TChartSeries* ASeries, int ValueIndex);
    int CalcItemHeight();
    bool Vertical() const { return FAlignment == laLeft || FAlignment == laRight; }
    bool HasCheckBoxes();
    bool ShouldDraw();
    void DrawLegend();
    // The drawn item position under the point, or -1.
    int Clicked(int X, int Y);
    // Toggles the series of a clicked check box; true when one was clicked.
    bool DoMouseDown(int X, int Y);

protected:
    std::unique_ptr<TTeeGradient> NewGradient() override;

private:
    int CountItems();
    void CalcTexts(int FirstIndex, int LastIndex);
    bool RightAligned(int Cell) const;
    void DrawItem(int Index, int Cell, int Position, int Count, int TextX, int SymX, int CheckX,
                  int Y, int H);

    TLegendAlignment FAlignment = laRight;
    bool FCheckBoxes = false;
    bool FCurrentPage = true;
    std::unique_ptr<TChartHiddenPen> FDividingLines;
    int FFirstValue = 0;
    // The first item drawn: the page's first with paging, else FirstValue.
    int FFirstShown = 0;
    bool FFontSeriesColor = false;
    int FHorizMargin = 0;
    bool FInverted = false;
    TLegendStyle FLegendStyle = lsAuto;
    int FMaxNumRows = 10;
    bool FResizeChart = true;
    std::unique_ptr<TLegendSymbol> FSymbol;
    TLegendTextStyle FTextStyle = ltsLeftValue;
    int FTopPos = 10;
    int FVertMargin = 0;
    int FVertSpacing = 0;

    // A series freed while listed leaves the legend to the chart's first.
    TWatched<TChartSeries> FSeries;
    int FLastValue = 0;
    TLegendStyle FLegendStyleUsed = lsSeries;
    int FTotalLegendItems = 0;
    int FNumCols = 0;
    int FNumRows = 0;
    int FSymbolWidth = 0;
    int FColumnWidths[2] = {0, 0};
    bool FColumnWidthAuto = true;
    std::vector<AnsiString> FCells[2];
    int FItemHeight = 0;
};

class TChartLegend : public TCustomChartLegend {
    QM_CLASS(TChartLegend)
public:
    explicit TChartLegend(TCustomTeePanel* AOwner = nullptr) : TCustomChartLegend(AOwner) {}
};

// Draws a series' legend symbol into Rect of any canvas (for editors).
void PaintSeriesLegend(TChartSeries* Series, TCanvas* ACanvas, const TRect& R);
