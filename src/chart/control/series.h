#pragma once
// The standard series (unit Series):
//   TCustomLineSeries, TCustomSeries, TLineSeries, THorizLineSeries, TPointSeries,
//   TAreaSeries, THorizAreaSeries                         series_line.cpp
//   TFastLineSeries                                       series_fastline.cpp
//   TBarSeriesGradient, TCustomBarSeries, TBarSeries, THorizBarSeries   series_bar.cpp
//   TCircledSeries, TExplodedSlices, TPieOtherSlice, TPieSeries         series_pie.cpp
//   RegisterTeeStandardSeries                             series_register.cpp
// Bubble, arrow, Gantt and shape series: series_bubble.h, series_arrow.h,
// series_gantt.h, series_shape.h.
#include "chart/engine/teengine.h"
#include "chart/engine/teepointer.h"
#include "chart/control/linecolumns.h"
#include <functional>
#include <memory>
#include <vector>

class TChartLegend;

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
    // The same points added to Line. Through linear axes a column's points are
    // not mapped one by one: the extremes of their values give its span.
    void AddFolded(int Start, int Count, TLineColumns& Line);
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

// ---------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------

enum TBarStyle {
    bsRectangle,
    bsPyramid,
    bsInvPyramid,
    bsCilinder,
    bsEllipse,
    bsArrow,
    bsRectGradient,
    bsCone,
    bsBevel
};
QM_ENUM_NAMES(TBarStyle, bsRectangle, bsPyramid, bsInvPyramid, bsCilinder, bsEllipse, bsArrow,
              bsRectGradient, bsCone, bsBevel)
enum TMultiBar { mbNone, mbSide, mbStacked, mbStacked100, mbSideAll, mbSelfStack };
QM_ENUM_NAMES(TMultiBar, mbNone, mbSide, mbStacked, mbStacked100, mbSideAll, mbSelfStack)

class TCustomBarSeries;
using TGetBarStyleEvent =
    std::function<void(TCustomBarSeries* Sender, int ValueIndex, TBarStyle& Style)>;

class TBarSeriesGradient : public TCustomTeeGradient {
    QM_CLASS(TBarSeriesGradient)
public:
    explicit TBarSeriesGradient(TNotifyEvent ChangedEvent = nullptr);
    void Assign(TPersistent* Source) override;
    bool Relative() const { return FRelative; }
    void SetRelative(bool Value);

private:
    TNotifyEvent FChanged;
    bool FRelative = false;
};

class TCustomBarSeries : public TChartSeries {
    QM_CLASS(TCustomBarSeries)
public:
    explicit TCustomBarSeries(TComponent* AOwner);
    ~TCustomBarSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TBarSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DoBeforeDrawChart() override;
    void CalcZOrder() override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    int NumSampleValues() override;
    void PrepareForGallery(bool IsEnabled) override;

    virtual int InternalCalcMarkLength(int ValueIndex) = 0;
    virtual bool InternalClicked(int ValueIndex, const TPoint& APoint) = 0;
    virtual bool SubGalleryStack() { return true; }
    virtual double PointOrigin(int ValueIndex, bool SumAll);
    virtual void DrawBar(int BarIndex, int StartPos, int EndPos) = 0;
    void DrawBarShape(int BarIndex, int StartPos, int EndPos, bool Vertical);

    int AddBar(double Value, const AnsiString& Label, TColor Color) {
        return Add(Value, Label, Color);
    }
    int BarMargin();
    int ApplyBarOffset(int Position);
    TBarStyle GetBarStyle(int ValueIndex);
    void SetPenBrushBar(TColor AColor);
    void BarRectangle(TColor BarColor, int ALeft, int ATop, int ARight, int ABottom);
    int CalcMarkLength(int ValueIndex);
    int GetOriginPos(int ValueIndex);
    void SetOtherBars(bool SetOthers);
    double MaxMandatoryValue(double Value);
    double MinMandatoryValue(double Value);
    TColor CalcGradientColor(int ValueIndex);

    // --- properties ---
    bool AutoBarSize() const { return FAutoBarSize; }
    void SetAutoBarSize(bool Value) { SetBooleanProperty(FAutoBarSize, Value); }
    bool AutoMarkPosition() const { return FAutoMarkPosition; }
    void SetAutoMarkPosition(bool Value) { SetBooleanProperty(FAutoMarkPosition, Value); }
    TChartBrush* BarBrush() const { return Brush(); }
    void SetBarBrush(TChartBrush* Value) { SetBrush(Value); }
    TChartPen* BarPen() const { return Pen(); }
    TChartPen* GetBarPen() const { return Pen(); }
    void SetBarPen(TChartPen* Value) { SetPen(Value); }
    TBarStyle BarStyle() const { return FBarStyle; }
    void SetBarStyle(TBarStyle Value);
    int BarWidthPercent() const { return FBarWidthPercent; }
    void SetBarWidthPercent(int Value) { SetIntegerProperty(FBarWidthPercent, Value); }
    int BevelSize() const { return FBevelSize; }
    void SetBevelSize(int Value) { SetIntegerProperty(FBevelSize, Value); }
    int ConePercent() const { return FConePercent; }
    void SetConePercent(int Value) { SetIntegerProperty(FConePercent, Value); }
    int CustomBarSize() const { return FCustomBarSize; }
    void SetCustomBarSize(int Value) { SetIntegerProperty(FCustomBarSize, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    TBarSeriesGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TBarSeriesGradient* Value) { FGradient->Assign(Value); }
    TMultiBar MultiBar() const { return FMultiBar; }
    void SetMultiBar(TMultiBar Value);
    int OffsetPercent() const { return FOffsetPercent; }
    void SetOffsetPercent(int Value) { SetIntegerProperty(FOffsetPercent, Value); }
    bool SideMargins() const { return FSideMargins; }
    void SetSideMargins(bool Value);
    int StackGroup() const { return FStackGroup; }
    void SetStackGroup(int Value) { SetIntegerProperty(FStackGroup, Value); }
    TTeeTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TTeeTransparency Value);
    bool UseYOrigin() const { return FUseOrigin; }
    void SetUseOrigin(bool Value) { SetBooleanProperty(FUseOrigin, Value); }
    double YOrigin() const { return FOrigin; }
    void SetOrigin(double Value) { SetDoubleProperty(FOrigin, Value); }

    // Layout of the current frame.
    TRect BarRect;
    int GroupBarCount() const { return FGroupBarCount; }
    int MaxBarCount() const { return FMaxBarCount; }
    int BarOrder() const { return FBarOrder; }
    int PointsBefore() const { return FPointsBefore; }
    int BarSizePixels() const { return FBarSize; }
    TColor BarColor() const { return FBarColor; }

    TGetBarStyleEvent OnGetBarStyle;

protected:
    // Sizes the bars along the category axis of Length pixels; the margin each end needs.
    void CalcBarSize(TChartAxis* CategoryAxis, int& A, int& B);
    // Value-axis margins of the marks: Before is the side the bars hang towards.
    void CalcMarkMargins(bool Inverted, int& Low, int& High, int MarkIndex);
    int InternalGetOriginPos(int ValueIndex, int DefaultOrigin);
    int ValuePos(int ValueIndex);
    void BeginBar(TRect R, TTeeBlend*& Blend);
    void DrawBarShape(bool Vertical, int StartPos, int EndPos);
    void BarGradient(int ValueIndex, TRect R);
    void DrawBevel();
    bool Is3D() const;

    bool FAutoBarSize = false;
    bool FAutoMarkPosition = true;
    TBarStyle FBarStyle = bsRectangle;
    int FBarWidthPercent = 70;
    int FBevelSize = 1;
    int FConePercent = 0;
    int FCustomBarSize = 0;
    bool FDark3D = true;
    std::unique_ptr<TBarSeriesGradient> FGradient;
    TMultiBar FMultiBar = mbSide;
    int FOffsetPercent = 0;
    bool FSideMargins = true;
    int FStackGroup = 0;
    TTeeTransparency FTransparency = 0;
    bool FUseOrigin = true;
    double FOrigin = 0;

    int FGroupBarCount = 0;
    int FMaxBarCount = 0;
    int FBarOrder = 1;
    int FPointsBefore = 0;
    int FBarSize = 0;
    TColor FBarColor = clAutoColor;
};

class TBarSeries : public TCustomBarSeries {
    QM_CLASS(TBarSeries)
public:
    explicit TBarSeries(TComponent* AOwner);
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    void DrawValue(int ValueIndex) override;
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    int CalcXPos(int ValueIndex) override;
    int CalcYPos(int ValueIndex) override;
    bool DrawSeriesForward(int ValueIndex) override;
    bool MoreSameZOrder() override;
    int InternalCalcMarkLength(int ValueIndex) override;
    bool InternalClicked(int ValueIndex, const TPoint& APoint) override;
    void DrawBar(int BarIndex, int StartPos, int EndPos) override;
    int CustomBarWidth() const { return FCustomBarSize; }
    void SetCustomBarWidth(int Value) { SetCustomBarSize(Value); }
};

class THorizBarSeries : public TCustomBarSeries {
    QM_CLASS(THorizBarSeries)
public:
    explicit THorizBarSeries(TComponent* AOwner);
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    void DrawValue(int ValueIndex) override;
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    int CalcXPos(int ValueIndex) override;
    int CalcYPos(int ValueIndex) override;
    bool DrawSeriesForward(int ValueIndex) override;
    int InternalCalcMarkLength(int ValueIndex) override;
    bool InternalClicked(int ValueIndex, const TPoint& APoint) override;
    void DrawBar(int BarIndex, int StartPos, int EndPos) override;
    int CustomBarHeight() const { return FCustomBarSize; }
    void SetCustomBarHeight(int Value) { SetCustomBarSize(Value); }
};

// ---------------------------------------------------------------------------

// Series drawn inside a circle instead of against axes.
class TCircledSeries : public TChartSeries {
    QM_CLASS(TCircledSeries)
public:
    explicit TCircledSeries(TComponent* AOwner);
    ~TCircledSeries() override;

    void Assign(TPersistent* Source) override;
    void SetActive(bool Value) override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DoBeforeDrawValues() override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    bool AssociatedToAxis(TChartAxis* Axis) override {
        (void)Axis;
        return true;
    }
    bool UseAxis() override { return false; }
    virtual void DrawCircleGradient();

    void AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const;
    double PointToAngle(int X, int Y) const;
    bool HasBackColor() const;
    TColor CalcCircleBackColor();
    void Rotate(int Angle);
    void AdjustCircleRect();
    void CalcRadius();

    TColor CircleBackColor() const { return FCircleBackColor; }
    void SetCircleBackColor(TColor Value) { SetColorProperty(FCircleBackColor, Value); }
    bool Circled() const { return FCircled; }
    void SetCircled(bool Value);
    TTeeGradient* CircleGradient() const { return FCircleGradient.get(); }
    void SetCircleGradient(TTeeGradient* Value) { FCircleGradient->Assign(Value); }
    int CustomXRadius() const { return FCustomXRadius; }
    void SetCustomXRadius(int Value);
    int CustomYRadius() const { return FCustomYRadius; }
    void SetCustomYRadius(int Value);
    int RotationAngle() const { return FRotationAngle; }
    void SetRotationAngle(int Value);

    int RadiusX() const { return FRadiusX; }
    int RadiusY() const { return FRadiusY; }
    int CircleSizeX() const { return FCircleSizeX; }
    int CircleSizeY() const { return FCircleSizeY; }
    int CircleCenterX() const { return FCircleCenterX; }
    int CircleCenterY() const { return FCircleCenterY; }
    TRect CircleRect() const { return FCircleRect; }

protected:
    void SetParentProperties(bool EnableParentProps);
    bool OnFullRotationCanvas() const;
    // The series' own hit test, else the first visible point whose pointer holds (X, Y).
    int ClickedPointer(TSeriesPointer* Pointer, int X, int Y);
    // The first active series of the chart of exactly this series' class.
    TCircledSeries* FirstActiveOfClass() const;

    TColor FCircleBackColor = clAutoColor;
    bool FCircled = false;
    std::unique_ptr<TTeeGradient> FCircleGradient;
    int FCustomXRadius = 0;
    int FCustomYRadius = 0;
    int FRotationAngle = 0;
    double FRotationRad = 0;
    int FRadiusX = 0;
    int FRadiusY = 0;
    std::unique_ptr<TView3DOptions> FOld3DOptions;
    int FCircleSizeX = 0;
    int FCircleSizeY = 0;
    int FCircleCenterX = 0;
    int FCircleCenterY = 0;
    TRect FCircleRect;
};

class TPieSeries;

// Per-slice explode percentages.
class TExplodedSlices {
public:
    explicit TExplodedSlices(TPieSeries* AOwner) : FOwner(AOwner) {}
    int Get(int Index) const;
    void Put(int Index, int Value);
    int operator[](int Index) const { return Get(Index); }
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }
    void Exchange(int a, int b);
    void Grow(int ACount);

private:
    TPieSeries* FOwner;
    std::vector<int> FItems;
};

enum TPieOtherStyle { poNone, poBelowPercent, poBelowValue };
QM_ENUM_NAMES(TPieOtherStyle, poNone, poBelowPercent, poBelowValue)

class TPieOtherSlice : public TPersistent {
    QM_CLASS(TPieOtherSlice)
public:
    explicit TPieOtherSlice(TPieSeries* AOwner = nullptr);
    ~TPieOtherSlice() override;
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPieOtherStyle Style() const { return FStyle; }
    void SetStyle(TPieOtherStyle Value);
    // Empty means "Other".
    AnsiString Text() const;
    void SetText(const AnsiString& Value);
    bool IsTextStored() const { return !FText.IsEmpty(); }
    double Value() const { return FValue; }
    void SetValue(double Value);
    // The legend of the grouped slices: made on first use, hidden, listing
    // the pie's grouped values.
    TChartLegend* Legend();
    void SetLegend(TChartLegend* Value);
    TChartLegend* LegendIfAny() const { return FLegend.get(); }
    bool IsLegendStored() const { return FLegend != nullptr; }
    // Draws the legend of the grouped slices when it exists and is visible.
    void DrawLegend();

private:
    void Changed();
    TPieSeries* FOwner;
    TColor FColor = clAutoColor;
    TPieOtherStyle FStyle = poNone;
    AnsiString FText;
    double FValue = 0;
    std::unique_ptr<TChartLegend> FLegend;
};

class TPieShadow : public TTeeShadow {
    QM_CLASS(TPieShadow)
public:
    explicit TPieShadow(TNotifyEvent ChangedEvent = nullptr);
};

struct TPieAngle {
    double StartAngle = 0;
    double MidAngle = 0;
    double EndAngle = 0;
};

class TPieSeries : public TCircledSeries {
    QM_CLASS(TPieSeries)
public:
    explicit TPieSeries(TComponent* AOwner);
    ~TPieSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TPieSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DoBeforeDrawChart() override;
    void ClearLists() override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void DrawAllValues() override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    void DrawValue(int ValueIndex) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    int CountLegendItems() override;
    int LegendToValueIndex(int LegendIndex) override;
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    int CalcXPos(int ValueIndex) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    void SwapValueIndex(int a, int b) override;
    void CheckOrder() override;
    void WriteData(TStream* Stream) override;
    int NumSampleValues() override { return 8; }
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;
    void GalleryChanged3D(bool Is3D) override;
    virtual void DrawPie(int ValueIndex);

    int AddPie(double Value, const AnsiString& Label = "", TColor Color = clAutoColor) {
        return Add(Value, Label, Color);
    }
    TChartValueList* PieValues() const { return YValues(); }
    void SetPieValues(TChartValueList* Value) { SetYValues(Value); }
    bool BelongsToOtherSlice(int ValueIndex);
    void CalcAngles();
    void CalcExplodeBiggest();
    void CalcExplodedOffset(int ValueIndex, int& OffsetX, int& OffsetY);
    void CalcExplodedRadius(int ValueIndex, int& AXRadius, int& AYRadius);
    int CalcClickedPie(int X, int Y);
    void DisableRotation();
    void PreparePiePen(int ValueIndex);
    TBrushStyle SliceBrushStyle(int ValueIndex);
    void RemoveOtherSlice();
    const std::vector<TPieAngle>& Angles() const { return FAngles; }

    int AngleSize() const { return FAngleSize; }
    void SetAngleSize(int Value) { SetIntegerProperty(FAngleSize, Value); }
    bool AutoMarkPosition() const { return FAutoMarkPosition; }
    void SetAutoMarkPosition(bool Value) { SetBooleanProperty(FAutoMarkPosition, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    bool DarkPen() const { return FDarkPen; }
    void SetDarkPen(bool Value) { SetBooleanProperty(FDarkPen, Value); }
    int DonutPercent() const { return FDonutPercent; }
    void SetDonutPercent(int Value) { SetIntegerProperty(FDonutPercent, Value); }
    TExplodedSlices* ExplodedSlice() { return &FExplodedSlice; }
    int ExplodeBiggest() const { return FExplodeBiggest; }
    void SetExplodeBiggest(int Value);
    TPieOtherSlice* OtherSlice() const { return FOtherSlice.get(); }
    void SetOtherSlice(TPieOtherSlice* Value) { FOtherSlice->Assign(Value); }
    TPieShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TPieShadow* Value) { FShadow->Assign(Value); }
    bool UsePatterns() const { return FUsePatterns; }
    void SetUsePatterns(bool Value) { SetBooleanProperty(FUsePatterns, Value); }
    TChartPen* PiePen() const { return Pen(); }

    // Set while the other slice's own legend is drawn.
    bool DrawingOtherLegend = false;

private:
    int CompareSlice(int a, int b) const;
    int GroupedCount();

    int FAngleSize = 360;
    bool FAutoMarkPosition = true;
    bool FDark3D = true;
    bool FDarkPen = false;
    int FDonutPercent = 0;
    TExplodedSlices FExplodedSlice{this};
    int FExplodeBiggest = 0;
    std::unique_ptr<TPieOtherSlice> FOtherSlice;
    std::unique_ptr<TPieShadow> FShadow;
    bool FUsePatterns = false;
    std::vector<int> FSortedSlice;
    std::vector<TPieAngle> FAngles;
    TPoint FPrevEnd{0, 0};
    bool FIsExploded = false;
};

// Registers the nine standard series types with the series registry.
void RegisterTeeStandardSeries();
