#pragma once
// The bar series (unit Series), bodies in series_bar.cpp:
//   TBarSeriesGradient, TCustomBarSeries, TBarSeries, THorizBarSeries
#include "chart/engine/teengine.h"
#include <functional>
#include <memory>

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
