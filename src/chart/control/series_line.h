#pragma once
// The connected-point series (unit Series), bodies in series_line.cpp:
//   TCustomLineSeries                 the common base of lines and fast lines
//   TCustomSeries                     lines, stairs, ribbons, areas, stacking, pointers
//   TLineSeries, THorizLineSeries, TPointSeries, TAreaSeries, THorizAreaSeries
#include "chart/engine/teengine.h"
#include "chart/engine/teepointer.h"
#include "chart/control/linecolumns.h"
#include <functional>
#include <memory>

enum TCustomSeriesStack { cssNone, cssOverlap, cssStack, cssStack100 };
QM_ENUM_NAMES(TCustomSeriesStack, cssNone, cssOverlap, cssStack, cssStack100)
enum TMultiArea { maNone, maStacked, maStacked100 };
QM_ENUM_NAMES(TMultiArea, maNone, maStacked, maStacked100)

class TCustomSeries;
using TSeriesClickPointerEvent =
    std::function<void(TCustomSeries* Sender, int ValueIndex, int X, int Y)>;
using TOnGetPointerStyle = std::function<TSeriesPointerStyle(TChartSeries* Sender, int ValueIndex)>;

// ---------------------------------------------------------------------------

class TCustomLineSeries : public TChartSeries {
    QM_CLASS(TCustomLineSeries)
public:
    explicit TCustomLineSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
    TChartPen* GetLinePen() const { return Pen(); }
    TChartPen* LinePen() const { return Pen(); }
    void SetLinePen(TChartPen* Value) { SetPen(Value); }

protected:
    // Pixel positions of points Start .. Start + Count - 1 through the series' axes
    // (0 on a missing axis), mapped a run at a time.
    void CalcPositions(int Start, int Count, TPoint* Out);
    // The same points added to Line, whose last point is End. Through linear
    // axes a column's points are not mapped one by one: the extremes of their
    // values give its span.
    void AddFolded(int Start, int Count, int End, TLineColumns& Line);
};

// Lines, stairs, 3D ribbons, areas, stacking and pointers of the connected-point series.
class TCustomSeries : public TCustomLineSeries {
    QM_CLASS(TCustomSeries)
public:
    explicit TCustomSeries(TComponent* AOwner);
    ~TCustomSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TCustomSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void CalcZOrder() override;
    void DrawAllValues() override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    void DrawValue(int ValueIndex) override;
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    int CalcXPos(int ValueIndex) override;
    int CalcYPos(int ValueIndex) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;

    virtual bool ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y);
    virtual void DrawPointer(int AX, int AY, TColor AColor, int ValueIndex);
    virtual int GetOriginPos(int ValueIndex);

    double PointOrigin(int ValueIndex, bool SumAll);
    int CalcStackedPos(int ValueIndex, double Value);
    void InternalCalcMargin(bool SameSide, bool Horizontal, int& A, int& B);
    void LinePrepareCanvas(TCanvas3D* Canvas, TColor Color);
    TColor GetAreaBrushColor(TColor Color) const;

    // --- properties ---
    TChartBrush* AreaChartBrush() const { return FAreaBrush.get(); }
    void SetAreaChartBrush(TChartBrush* Value) { FAreaBrush->Assign(Value); }
    TBrushStyle AreaBrush() const { return FAreaBrush->Style(); }
    void SetAreaBrushStyle(TBrushStyle Value) { FAreaBrush->SetStyle(Value); }
    TColor AreaColor() const { return FAreaColor; }
    void SetAreaColor(TColor Value) { SetColorProperty(FAreaColor, Value); }
    TChartPen* AreaLinesPen() const { return FAreaLinesPen.get(); }
    void SetAreaLinesPen(TChartPen* Value) { FAreaLinesPen->Assign(Value); }
    bool ClickableLine() const { return FClickableLine; }
    void SetClickableLine(bool Value) { FClickableLine = Value; }
    bool ColorEachLine() const { return FColorEachLine; }
    void SetColorEachLine(bool Value) { SetBooleanProperty(FColorEachLine, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    bool DrawArea() const { return FDrawArea; }
    void SetDrawArea(bool Value) { SetBooleanProperty(FDrawArea, Value); }
    bool DrawsLine() const { return FDrawsLine; }
    void SetDrawsLine(bool Value) { FDrawsLine = Value; }
    bool InvertedStairs() const { return FInvertedStairs; }
    void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }
    int LineHeight() const { return FLineHeight; }
    void SetLineHeight(int Value) { SetIntegerProperty(FLineHeight, Value); }
    TBrushStyle LineBrush() const { return Brush()->Style(); }
    void SetLineBrush(TBrushStyle Value) { Brush()->SetStyle(Value); }
    TChartHiddenPen* OutLine() const { return FOutLine.get(); }
    void SetOutLine(TChartHiddenPen* Value) { FOutLine->Assign(Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }
    TCustomSeriesStack Stacked() const { return FStacked; }
    void SetStacked(TCustomSeriesStack Value);
    bool Stairs() const { return FStairs; }
    void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }
    TTeeTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TTeeTransparency Value);
    TTeeGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TTeeGradient* Value) { FGradient->Assign(Value); }

    TSeriesClickPointerEvent OnClickPointer;
    TOnGetPointerStyle OnGetPointerStyle;

protected:
    TSeriesPointerStyle PointerStyle(int ValueIndex);
    // The segment from the previous point to (X, Y), optionally with pointers.
    void DrawSegment(int X, int Y, TColor AColor, int ValueIndex, bool WithPointers, bool IsLast);
    void DrawAreaPiece(int X, int Y, bool IsLast);
    void StartBeforeFirst(int ValueIndex);
    // A plain 2D line goes to the canvas as polylines of its visible points.
    bool CanDrawLineRuns();
    void DrawLineRuns();
    void FinishLineRuns(TCanvas3D* Canvas, const TPoint& Last, TColor LastColor);
    bool IsVerticalSeries() const { return YIsMandatory(); }
    bool Is3D() const;

    std::unique_ptr<TChartBrush> FAreaBrush;
    TColor FAreaColor = clAutoColor;
    std::unique_ptr<TChartPen> FAreaLinesPen;
    bool FClickableLine = true;
    bool FColorEachLine = true;
    bool FDark3D = true;
    bool FDrawArea = false;
    bool FDrawsLine = false;
    bool FInvertedStairs = false;
    int FLineHeight = 0;
    std::unique_ptr<TChartHiddenPen> FOutLine;
    std::unique_ptr<TSeriesPointer> FPointer;
    TCustomSeriesStack FStacked = cssNone;
    bool FStairs = false;
    TTeeTransparency FTransparency = 0;
    std::unique_ptr<TTeeGradient> FGradient;

    // Drawing state carried from one DrawValue to the next.
    int OriginPos = 0;
    int PrevOriginPos = 0;
    int PrevX = 0;
    int PrevY = 0;
    TColor PrevColor = clNone;
    double DarkSlope = 1.0;
};

class TLineSeries : public TCustomSeries {
    QM_CLASS(TLineSeries)
public:
    explicit TLineSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
};

class THorizLineSeries : public TLineSeries {
    QM_CLASS(THorizLineSeries)
public:
    explicit THorizLineSeries(TComponent* AOwner);
};

class TPointSeries : public TCustomSeries {
    QM_CLASS(TPointSeries)
public:
    explicit TPointSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TSeriesPointerEditor"; }
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetColorEachPoint(bool Value) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    void PrepareForGallery(bool IsEnabled) override;
    virtual bool CanDoExtra() { return true; }
    void SetFixed();
};

class TAreaSeries : public TCustomSeries {
    QM_CLASS(TAreaSeries)
public:
    explicit TAreaSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TAreaSeriesEditor"; }
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    bool DrawSeriesForward(int ValueIndex) override;
    int GetOriginPos(int ValueIndex) override;

    TMultiArea MultiArea() const;
    void SetMultiArea(TMultiArea Value);
    bool UseYOrigin() const { return FUseOrigin; }
    void SetUseOrigin(bool Value) { SetBooleanProperty(FUseOrigin, Value); }
    double YOrigin() const { return FOrigin; }
    void SetOrigin(double Value) { SetDoubleProperty(FOrigin, Value); }

private:
    bool FUseOrigin = false;
    double FOrigin = 0;
};

class THorizAreaSeries : public TAreaSeries {
    QM_CLASS(THorizAreaSeries)
public:
    explicit THorizAreaSeries(TComponent* AOwner);
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    int NumSampleValues() override { return 10; }
};

// Draws a pointer as a legend symbol into Rect.
void TeePointerDrawLegend(TSeriesPointer* Pointer, TColor AColor, const TRect& Rect,
                          bool LineVisible);
