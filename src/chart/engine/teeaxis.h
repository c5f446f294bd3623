#pragma once
// Chart axes (unit Teengine).
//   AxisException, TAxisGridPen, TChartAxisTitle, TAxisItem(s)   settings and custom labels
//   TChartAxis, TChartDepthAxis, TChartCustomAxes                one direction of a chart
// Scaling and positions in teeaxis_scale.cpp, label choice and texts in
// teeaxis_labels.cpp, drawing in teeaxis_draw.cpp, the rest in teeaxis.cpp.
#include "platform/rtl/rtlmath.h"
#include "chart/engine/tecanvas.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teeseries.h"
#include "platform/classes/collections.h"
#include "platform/classes/lists.h"
#include "platform/rtl/exceptions.h"
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TCustomAxisPanel;
class TChartSeries;
class TChartAxis;
class TAxisItems;

// Raised by the validating setters of an axis.
QM_DECLARE_EXCEPTION(AxisException, Exception)

// Smallest label step and smallest range an axis accepts.
constexpr double MinAxisIncrement = 1e-12;
constexpr double MinAxisRange = 1e-10;
// Pixels around the axis line that still count as a click on it.
constexpr int TeeAxisClickGap = 3;
// Clamp limit of value-to-pixel results (set at start-up, see teesources.cpp).
extern int TeeMaxPixelPos;
// A double as a pixel, bounded by TeeMaxPixelPos, so huge or NaN values cannot
// overflow the drawing coordinates.
inline int AxisPixel(double v) {
    return PixelPos(v, TeeMaxPixelPos);
}

enum TAxisLabelAlign { alDefault, alOpposite };
QM_ENUM_NAMES(TAxisLabelAlign, alDefault, alOpposite)
enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
QM_ENUM_NAMES(TAxisLabelStyle, talAuto, talNone, talValue, talMark, talText)

// Pixel positions of the ticks of one drawing of an axis.
using TAxisTicks = std::vector<int>;

// The series of one chart, in drawing order (not owned).
class TChartSeriesList : public TList {
    QM_CLASS(TChartSeriesList)
public:
    explicit TChartSeriesList(TCustomAxisPanel* AOwner = nullptr) : FOwner(AOwner) {}
    TChartSeries* Get(int Index) const { return static_cast<TChartSeries*>(Items(Index)); }
    void Put(int Index, TChartSeries* Value) { SetItems(Index, Value); }
    TChartSeries* operator[](int Index) const { return Get(Index); }
    TCustomAxisPanel* Owner() const { return FOwner; }

private:
    TCustomAxisPanel* FOwner;
};

// ---------------------------------------------------------------------------

class TAxisGridPen : public TDottedGrayPen {
    QM_CLASS(TAxisGridPen)
public:
    explicit TAxisGridPen(TNotifyEvent OnChangeEvent = nullptr)
        : TDottedGrayPen(std::move(OnChangeEvent)) {}
    void Assign(TPersistent* Source) override;

    double ZPosition() const { return FZ; }
    void SetZ(double Value);
    void SetZPosition(double Value) { SetZ(Value); }
    bool Centered() const { return FCentered; }
    void SetCentered(bool Value);
    // The z position the owner considers default (100 for top and right axes).
    double DefaultZ() const { return FDefaultZ; }
    void SetDefaultZ(double Value) { FDefaultZ = Value; }
    bool IsZStored() const { return FZ != FDefaultZ; }

private:
    double FZ = 0;
    double FDefaultZ = 0;
    bool FCentered = false;
};

class TChartAxisTitle : public TTeeCustomShape {
    QM_CLASS(TChartAxisTitle)
public:
    explicit TChartAxisTitle(TCustomTeePanel* AOwner = nullptr);
    void Assign(TPersistent* Source) override;

    int Angle() const { return FAngle; }
    // Stored modulo 360.
    void SetAngle(int Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    // The per-axis default angle (90 for the left axis, 270 for the right one).
    int DefaultAngle() const { return FDefaultAngle; }
    void SetDefaultAngle(int Value) { FDefaultAngle = Value; }
    bool IsAngleStored() const { return FAngle != FDefaultAngle; }

private:
    int FAngle = 0;
    int FDefaultAngle = 0;
    AnsiString FCaption;
};

// One custom label of an axis.
class TAxisItem : public TTeeCustomShape {
    QM_CLASS(TAxisItem)
public:
    explicit TAxisItem(TCustomTeePanel* AOwner = nullptr);

    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value);
    double Value() const { return FValue; }
    void SetValue(double Value);
    TAxisItems* Owner() const { return FOwnerList; }
    void Repaint();

private:
    friend class TAxisItems;
    AnsiString FText;
    double FValue = 0;
    TAxisItems* FOwnerList = nullptr;
};

// The custom labels of one axis and the look of its ordinary labels (Format).
class TAxisItems : public TList {
    QM_CLASS(TAxisItems)
public:
    explicit TAxisItems(TChartAxis* AAxis);
    ~TAxisItems() override;

    TAxisItem* Add(double Value);
    TAxisItem* Add(double Value, const AnsiString& Text);
    // Values and texts only; each copy gets the default item look.
    void CopyFrom(TAxisItems* Source);
    void Clear() override;
    // Raises EListError for an index outside 0..Count-1.
    TAxisItem* Get(int Index) const { return static_cast<TAxisItem*>(Items(Index)); }
    TAxisItem* operator[](int Index) const { return Get(Index); }
    TTeeShape* Format() const { return FFormat.get(); }
    TChartAxis* Axis() const { return FAxis; }

private:
    TChartAxis* FAxis;
    std::unique_ptr<TTeeShape> FFormat;
};

// ---------------------------------------------------------------------------

class TChartAxis : public TCollectionItem {
    QM_CLASS(TChartAxis)
public:
    // A custom axis when the chart already has its five standard axes.
    explicit TChartAxis(TCollection* Collection);
    // Create(Chart's CustomAxes).
    explicit TChartAxis(TCustomAxisPanel* Chart);
    ~TChartAxis() override;
    void Assign(TPersistent* Source) override;

    // --- published properties ---------------------------------------------
    bool Automatic() const { return FAutomatic; }
    void SetAutomatic(bool Value);
    bool AutomaticMaximum() const { return FAutomaticMaximum; }
    void SetAutomaticMaximum(bool Value);
    bool AutomaticMinimum() const { return FAutomaticMinimum; }
    void SetAutomaticMinimum(bool Value);
    TChartAxisPen* Axis() const { return FAxis.get(); }
    void SetAxis(TChartAxisPen* Value);
    const AnsiString& AxisValuesFormat() const { return FAxisValuesFormat; }
    void SetAxisValuesFormat(const AnsiString& Value);
    bool IsAxisValuesFormatStored() const;
    const AnsiString& DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const AnsiString& Value);
    bool ExactDateTime() const { return FExactDateTime; }
    void SetExactDateTime(bool Value);
    TAxisGridPen* Grid() const { return FGrid.get(); }
    void SetGrid(TAxisGridPen* Value);
    bool GridCentered() const { return FGrid->Centered(); }
    void SetGridCentered(bool Value) { FGrid->SetCentered(Value); }
    double Increment() const { return FDesiredIncrement; }
    double DesiredIncrement() const { return FDesiredIncrement; }
    // Raises AxisException for a negative value.
    void SetDesiredIncrement(double Value);
    void SetIncrement(double Value) { SetDesiredIncrement(Value); }
    bool Inverted() const { return FInverted; }
    void SetInverted(bool Value);
    void InternalSetInverted(bool Value) { FInverted = Value; }
    bool Horizontal() const { return FHorizontal; }
    void SetHorizontal(bool Value);
    bool OtherSide() const { return FOtherSide; }
    void SetOtherSide(bool Value);
    bool Labels() const;
    void SetLabels(bool Value);
    TAxisLabelAlign LabelsAlign() const { return FLabelsAlign; }
    void SetLabelsAlign(TAxisLabelAlign Value);
    int LabelsAngle() const { return FLabelsAngle; }
    // Stored modulo 360.
    void SetLabelsAngle(int Value);
    bool LabelsExponent() const { return FLabelsExponent; }
    void SetLabelsExponent(bool Value);
    TTeeFont* LabelsFont() const;
    void SetLabelsFont(TTeeFont* Value);
    bool LabelsMultiLine() const { return FLabelsMultiLine; }
    void SetLabelsMultiLine(bool Value);
    bool LabelsOnAxis() const { return FLabelsOnAxis; }
    void SetLabelsOnAxis(bool Value);
    int LabelsSeparation() const { return FLabelsSeparation; }
    // Raises AxisException for a negative value.
    void SetLabelsSeparation(int Value);
    int LabelsSize() const { return FLabelsSize; }
    void SetLabelsSize(int Value);
    TAxisLabelStyle LabelStyle() const { return FLabelStyle; }
    void SetLabelStyle(TAxisLabelStyle Value);
    bool Logarithmic() const { return FLogarithmic; }
    void SetLogarithmic(bool Value);
    double LogarithmicBase() const { return FLogarithmicBase; }
    // Raises AxisException below 2 (a base of 1 or less has no steps).
    void SetLogarithmicBase(double Value);
    double Maximum() const { return FMaximumValue; }
    void SetMaximum(double Value);
    double Minimum() const { return FMinimumValue; }
    void SetMinimum(double Value);
    bool IsMaxStored() const { return !FAutomatic && !FAutomaticMaximum; }
    bool IsMinStored() const { return !FAutomatic && !FAutomaticMinimum; }
    int MaximumOffset() const { return FMaximumOffset; }
    void SetMaximumOffset(int Value);
    int MinimumOffset() const { return FMinimumOffset; }
    void SetMinimumOffset(int Value);
    TChartHiddenPen* MinorGrid() const { return FMinorGrid.get(); }
    void SetMinorGrid(TChartHiddenPen* Value);
    int MinorTickCount() const { return FMinorTickCount; }
    void SetMinorTickCount(int Value);
    int MinorTickLength() const { return FMinorTickLength; }
    void SetMinorTickLength(int Value);
    TDarkGrayPen* MinorTicks() const { return FMinorTicks.get(); }
    void SetMinorTicks(TDarkGrayPen* Value);
    double StartPosition() const { return FStartPosition; }
    void SetStartPosition(double Value);
    double EndPosition() const { return FEndPosition; }
    void SetEndPosition(double Value);
    double PositionPercent() const { return FPositionPercent; }
    void SetPositionPercent(double Value);
    TTeeUnits PositionUnits() const { return FPosUnits; }
    void SetPosUnits(TTeeUnits Value);
    void SetPositionUnits(TTeeUnits Value) { SetPosUnits(Value); }
    bool RoundFirstLabel() const { return FRoundFirstLabel; }
    void SetRoundFirstLabel(bool Value);
    int TickInnerLength() const { return FTickInnerLength; }
    void SetTickInnerLength(int Value);
    int TickLength() const { return FTickLength; }
    void SetTickLength(int Value);
    TDarkGrayPen* Ticks() const { return FTicks.get(); }
    void SetTicks(TDarkGrayPen* Value);
    TDarkGrayPen* TicksInner() const { return FTicksInner.get(); }
    void SetTicksInner(TDarkGrayPen* Value);
    bool TickOnLabelsOnly() const { return FTickOnLabelsOnly; }
    void SetTickOnLabelsOnly(bool Value);
    TChartAxisTitle* Title() const { return FTitle.get(); }
    void SetTitle(TChartAxisTitle* Value);
    int TitleSize() const { return FTitleSize; }
    void SetTitleSize(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    double ZPosition() const { return FZPosition; }
    void SetZPosition(double Value);

    // Stored-property tests of the table.
    bool IsCustom() const;
    bool IsZPosStored() const;
    bool IsStartStored() const { return FStartPosition != 0; }
    bool IsEndStored() const { return FEndPosition != 100; }
    bool IsPosStored() const { return FPositionPercent != 0; }
    bool IsLogBaseStored() const { return FLogarithmicBase != 10; }

    // --- state used while laying out and drawing ------------------------------
    TCustomAxisPanel* ParentChart() const { return FParentChart; }
    TAxisItems* Items() const { return FItems.get(); }
    // Series drawn on this axis (filled by the chart as it likes; not owned entries).
    TChartSeriesList* SeriesList() const { return FSeriesList.get(); }

    double IMinimum = 0;
    double IMaximum = 0;
    double IRange = 0;
    bool IRangeZero = true;
    double IAxisSizeRange = 0;
    double ILogMin = 0;
    double ILogMax = 0;
    double LogRange = 0;
    double IAxisLogSizeRange = 0;
    int IStartPos = 0;
    int IEndPos = 0;
    int IAxisSize = 0;
    int ICenterPos = 0;
    int IZPos = 0;
    int PosAxis = 0;
    int PosLabels = 0;
    int PosTitle = 0;
    bool IAxisDateTime = false;
    bool IsDepthAxis = false;
    // Grid lines on the back wall are left out (a tool draws its own).
    bool HideBackGrid = false;
    // Tick positions of the last drawing.
    TAxisTicks Tick;
    // Called before the grid is drawn.
    TNotifyEvent OnDrawGrids;

    // --- scaling (teeaxis_scale.cpp) -----------------------------------------
    bool IsDateTime() const;
    void AdjustMaxMin();
    void AdjustMaxMinRect(const TRect& Rect);
    void CalcMinMax(double& AMin, double& AMax);
    void InternalCalcRange();
    void InternalCalcPositions();
    void RecalcSizeCenter();
    int CalcZPos() const;
    void SetMinMax(double AMin, double AMax);
    // Chooses the value-to-pixel functions for the kind of axis.
    void SetCalcPosValue();

    // Drawing loops place every point with these: the linear mapping is inline.
    int CalcXPosValue(double Value) const {
        if (!FLinearPos) return (this->*FCalcXPosValue)(Value);
        if (IRangeZero) return ICenterPos;
        const double p = (Value - IMinimum) * IAxisSizeRange;
        return AxisPixel(FInverted ? IEndPos - p : IStartPos + p);
    }
    int CalcYPosValue(double Value) const {
        if (!FLinearPos) return (this->*FCalcYPosValue)(Value);
        if (IRangeZero) return ICenterPos;
        const double p = (Value - IMinimum) * IAxisSizeRange;
        return AxisPixel(FInverted ? IStartPos + p : IEndPos - p);
    }
    int CalcPosValue(double Value) const {
        return FHorizontal ? CalcXPosValue(Value) : CalcYPosValue(Value);
    }
    // The same for a run of values at once, into the x (or y) of Points.
    void CalcXPosValues(const double* Values, int Count, TPoint* Points) const;
    void CalcYPosValues(const double* Values, int Count, TPoint* Points) const;
    // The linear map of CalcXPosValue (CalcYPosValue) as the pixel
    // AxisPixel(Origin + (Value - Minimum) * Scale), which never falls as the
    // value rises (or never rises); false for any other kind of axis.
    bool LinearXMap(double& Minimum, double& Scale, double& Origin) const {
        return LinearMap(FInverted, FInverted ? IEndPos : IStartPos, Minimum, Scale, Origin);
    }
    bool LinearYMap(double& Minimum, double& Scale, double& Origin) const {
        return LinearMap(!FInverted, FInverted ? IStartPos : IEndPos, Minimum, Scale, Origin);
    }
    double CalcPosPoint(int Value) const;
    int CalcSizeValue(double Value) const;

    int ApplyPosition(int APos, const TRect& R) const;
    int GetRectangleEdge(const TRect& R) const;
    void CalcRect(TRect& R, bool InflateChartRectangle);
    int SizeTickAxis() const;
    int SizeLabels();
    int InternalCalcSize(TTeeFont* AFont, int AAngle, int ASize, const AnsiString& AText);
    void Scroll(double Offset, bool CheckLimits);
    TRect AxisRect() const;
    bool Clicked(int X, int Y);
    void IncDecDateTime(bool Increment, double& Value, double AnIncrement,
                        TDateTimeStep tmpWhichDateTime) const;

    // --- labels (teeaxis_labels.cpp) -------------------------------------------
    double CalcIncrement();
    double CalcXYIncrement(int MaxLabelSize);
    double CalcLabelsIncrement(int MaxNumLabels);
    double CalcDateTimeIncrement(int MaxNumLabels);
    AnsiString LabelValue(double Value);
    int LabelWidth(double Value);
    int LabelHeight(double Value);
    int InternalLabelSize(double Value, bool IsWidth);
    int MaxLabelsWidth();
    TAxisLabelStyle CalcLabelStyle();
    static double NextStep(double OldStep);

    // --- drawing (teeaxis_draw.cpp) --------------------------------------------
    void Draw(bool CalcPosAxis);
    void DrawTitle(int X, int Y);
    void DrawAxisLabel(int X, int Y, int Angle, const AnsiString& St,
                       TTeeCustomShape* Format = nullptr);
    void CustomDraw(int APosLabels, int APosTitle, int APosAxis, bool GridVisible);
    void CustomDrawStartEnd(int APosLabels, int APosTitle, int APosAxis, bool GridVisible,
                            int AStartPos, int AEndPos);
    void CustomDrawMinMax(int APosLabels, int APosTitle, int APosAxis, bool GridVisible,
                          double AMinimum, double AMaximum, double AIncrement);
    void CustomDrawMinMaxStartEnd(int APosLabels, int APosTitle, int APosAxis, bool GridVisible,
                                  double AMinimum, double AMaximum, double AIncrement,
                                  int AStartPos, int AEndPos);

protected:
    virtual TAxisLabelStyle InternalCalcLabelStyle();
    AnsiString GetDisplayName() const override;
    void Repaint();
    void SetBooleanProperty(bool& Variable, bool Value);
    void SetIntegerProperty(int& Variable, int Value);
    void SetDoubleProperty(double& Variable, double Value);
    void SetStringProperty(AnsiString& Variable, const AnsiString& Value);

private:
    using TCalcPos = int (TChartAxis::*)(double) const;
    void Init(TCustomAxisPanel* AChart);
    TNotifyEvent CanvasChangedEvent();
    bool IsReading() const;

    // value-to-pixel functions
    int XPosValue(double Value) const;
    int YPosValue(double Value) const;
    int XPosValueCheck(double Value) const;
    int YPosValueCheck(double Value) const;
    int LogXPosValue(double Value) const;
    int LogYPosValue(double Value) const;
    int InternalCalcDepthPosValue(double Value) const;

    // label walks and drawing helpers (teeaxis_labels.cpp, teeaxis_draw.cpp)
    struct TLabelWalk;
    void DrawLabelsAndCollectTicks();
    void AddTick(int P) { Tick.push_back(P); }
    void DrawThisLabel(TLabelWalk& W, int LabelPos, const AnsiString& Text,
                       TAxisItem* Item = nullptr);
    void PlaceValueLabel(TLabelWalk& W, double Value);
    TDateTimeStep WalkStep(double Increment) const;
    template <class F> void ForEachDefaultValue(const TLabelWalk& W, F Visit);
    template <class F> double ForEachLogValue(F Visit);
    void DoDefaultLabels(TLabelWalk& W);
    void DoDefaultLogLabels(TLabelWalk& W);
    void DoNotCustomLabels(TLabelWalk& W);
    void DoCustomLabels(TLabelWalk& W);
    void DoSeriesLabels(TLabelWalk& W, bool MarksTexts);
    void DoDepthLabels(TLabelWalk& W);
    void DoCustomItems(TLabelWalk& W);
    void DrawAxisLine();
    void DrawTicksAndGrid();
    void DrawTick(int P, int Delta, int Length);
    void DrawGridLine(int P);
    void DrawMinor(bool AsGrid);
    void DrawMinorMark(int P, bool AsGrid);
    void DrawExponentLabel(int X, int Y, const AnsiString& Text, UINT Align);
    bool IsAxisWithLabels();
    bool LinearMap(bool Negate, int Start, double& Minimum, double& Scale, double& Origin) const {
        if (!FLinearPos || IRangeZero || !(std::fabs(IAxisSizeRange) > 0) ||
            !std::isfinite(IAxisSizeRange) || !std::isfinite(IMinimum))
            return false;
        Minimum = IMinimum;
        Scale = Negate ? -IAxisSizeRange : IAxisSizeRange;
        Origin = Start;
        return true;
    }

    TCustomAxisPanel* FParentChart = nullptr;
    TCalcPos FCalcXPosValue = nullptr;
    TCalcPos FCalcYPosValue = nullptr;
    TCalcPos FCalcPosValue = nullptr;
    bool FLinearPos = false; // the two above are the checked linear mappings

    bool FAutomatic = true;
    bool FAutomaticMaximum = true;
    bool FAutomaticMinimum = true;
    std::unique_ptr<TChartAxisPen> FAxis;
    AnsiString FAxisValuesFormat;
    // Values already formatted, with the format and separators they were
    // formatted with: an axis shows the same labels frame after frame.
    struct TLabelTexts {
        AnsiString Format;
        char Decimal = 0, Thousand = 0;
        std::vector<std::pair<double, AnsiString>> Texts;
    };
    TLabelTexts FLabelTexts;
    AnsiString FormattedValue(double Value);
    AnsiString FDateTimeFormat;
    bool FExactDateTime = true;
    std::unique_ptr<TAxisGridPen> FGrid;
    double FDesiredIncrement = 0;
    bool FInverted = false;
    bool FHorizontal = false;
    bool FOtherSide = false;
    TAxisLabelAlign FLabelsAlign = alDefault;
    int FLabelsAngle = 0;
    bool FLabelsExponent = false;
    bool FLabelsMultiLine = false;
    bool FLabelsOnAxis = true;
    int FLabelsSeparation = 10;
    int FLabelsSize = 0;
    TAxisLabelStyle FLabelStyle = talAuto;
    bool FLogarithmic = false;
    double FLogarithmicBase = 10;
    double FMaximumValue = 0;
    double FMinimumValue = 0;
    int FMaximumOffset = 0;
    int FMinimumOffset = 0;
    std::unique_ptr<TChartHiddenPen> FMinorGrid;
    int FMinorTickCount = 3;
    int FMinorTickLength = 2;
    std::unique_ptr<TDarkGrayPen> FMinorTicks;
    double FStartPosition = 0;
    double FEndPosition = 100;
    double FPositionPercent = 0;
    TTeeUnits FPosUnits = muPercent;
    bool FRoundFirstLabel = true;
    int FTickInnerLength = 0;
    int FTickLength = 4;
    std::unique_ptr<TDarkGrayPen> FTicks;
    std::unique_ptr<TDarkGrayPen> FTicksInner;
    bool FTickOnLabelsOnly = true;
    std::unique_ptr<TChartAxisTitle> FTitle;
    int FTitleSize = 0;
    bool FVisible = true;
    double FZPosition = 0;

    std::unique_ptr<TAxisItems> FItems;
    std::unique_ptr<TChartSeriesList> FSeriesList;
};

class TChartDepthAxis : public TChartAxis {
    QM_CLASS(TChartDepthAxis)
public:
    explicit TChartDepthAxis(TCollection* Collection);
    explicit TChartDepthAxis(TCustomAxisPanel* Chart);

protected:
    TAxisLabelStyle InternalCalcLabelStyle() override;
};

// The custom axes of a chart; items are TChartAxis.
class TChartCustomAxes : public TOwnedCollection {
    QM_CLASS(TChartCustomAxes)
public:
    explicit TChartCustomAxes(TCustomAxisPanel* AOwner);
    TChartAxis* Get(int Index) const { return static_cast<TChartAxis*>(Items(Index)); }
    // Assigns Value into the existing item.
    void Put(int Index, TChartAxis* Value) { SetItems(Index, Value); }
    TChartAxis* operator[](int Index) const { return Get(Index); }
    TCustomAxisPanel* Chart() const { return FChart; }

private:
    TCustomAxisPanel* FChart;
};
