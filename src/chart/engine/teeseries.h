#pragma once
// Chart elements and the series base (unit Teengine):
//   TCustomChartElement    pen, brush, chart and the store-and-repaint setters (teeseries.cpp)
//   TCustomChartSeries     title, legend switch, identifier and style (teeseries.cpp)
//   TChartSeries           points: add, delete, clear, notifications, data sources
//                          (teeseries_values.cpp); positions, colours, legend and mark
//                          texts, depth order (teeseries_draw.cpp); point data in
//                          streams (teeseries_stream.cpp)
#include "chart/engine/tecanvas.h"
#include "chart/engine/teevaluelist.h"
#include "platform/classes/component.h"
#include "platform/classes/watched.h"
#include "platform/forms/controls.h"
#include "platform/rtl/exceptions.h"
#include <functional>
#include <memory>
#include <vector>

class TCustomAxisPanel;
class TChartAxis;
class TSeriesMarks;
class TSeriesMarkPosition;
class TLabelsList;
class TTeeFunction;
class TChartSeries;
class TStream;
class TReader;
class TWriter;
class TStrings;

// The library's exception for refused series, data-source and function settings.
QM_DECLARE_EXCEPTION(ChartException, Exception)

// No colour chosen: the automatic colour applies.
constexpr TColor clAutoColor = clTeeColor;
// Palette indexes of the gallery miniatures.
constexpr int clTeeGallery1 = 1;
constexpr int clTeeGallery2 = 4;

// Separates label and value in legend texts.
extern char TeeColumnSeparator;
// Separates the lines of multi-line label and mark texts.
extern char TeeLineSeparator;
// Sample values may be made outside design mode.
extern bool TeeRandomAtRunTime;

// ---------------------------------------------------------------------------

class TCustomChartElement : public TComponent {
    QM_CLASS(TCustomChartElement)
public:
    explicit TCustomChartElement(TComponent* AOwner);
    ~TCustomChartElement() override;

    void Assign(TPersistent* Source) override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    TChartBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TChartBrush* Value);
    TChartPen* Pen() const { return FPen.get(); }
    virtual void SetPen(TChartPen* Value);
    TCustomAxisPanel* ParentChart() const { return FParentChart; }
    virtual void SetParentChart(TCustomAxisPanel* Value);
    // The form the chart sits on, which a handler may free with the chart.
    TCustomForm* ChartForm() const;

    virtual void CanvasChanged(TObject* Sender);
    // The chart's word that one of its axes is about to be freed: an element
    // that keeps the axis lets go of it here. Axes are no components, so they
    // have no free notification of their own.
    virtual void AxisFreed(TChartAxis* Axis) { (void)Axis; }
    // Class name of the element's editor form; empty for none.
    virtual AnsiString GetEditorClass();
    // Invalidates the chart (it redraws later); nothing without a chart.
    void Repaint();
    // A new pen that repaints this element when it changes.
    std::unique_ptr<TChartPen> CreateChartPen();

    TComponent* GetParentComponent() override;
    void SetParentComponent(TComponent* Value) override;
    bool HasParent() override { return true; }

    // Store Value and repaint, only when it differs from Field.
    void SetBooleanProperty(bool& Field, bool Value);
    void SetColorProperty(TColor& Field, TColor Value);
    void SetDoubleProperty(double& Field, double Value);
    void SetIntegerProperty(int& Field, int Value);
    void SetStringProperty(AnsiString& Field, const AnsiString& Value);

protected:
    bool FActive = true;

private:
    std::unique_ptr<TChartBrush> FBrush;
    TCustomAxisPanel* FParentChart = nullptr;
    std::unique_ptr<TChartPen> FPen;
};

enum TChartSeriesStyleFlag {
    tssIsTemplate,
    tssDenyChangeType,
    tssDenyDelete,
    tssDenyClone,
    tssIsPersistent,
    tssHideDataSource
};
using TChartSeriesStyle = TSet<TChartSeriesStyleFlag>;

class TCustomChartSeries : public TCustomChartElement {
    QM_CLASS(TCustomChartSeries)
public:
    explicit TCustomChartSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;
    void SetActive(bool Value) override;

    // Room a series needs beside its points (added to the axis margins).
    virtual void CalcHorizMargins(int& LeftMargin, int& RightMargin);
    virtual void CalcVerticalMargins(int& TopMargin, int& BottomMargin);
    virtual void DoBeforeDrawChart() {}
    // Called by the chart when the series joins or leaves it.
    virtual void Added() {}
    virtual void GalleryChanged3D(bool Is3D);
    virtual void Removed();

    bool ShowInLegend() const { return FShowInLegend; }
    void SetShowInLegend(bool Value);
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value);
    const AnsiString& Identifier() const { return FIdentifier; }
    void SetIdentifier(const AnsiString& Value) { FIdentifier = Value; }
    TChartSeriesStyle Style() const { return FStyle; }
    void SetStyle(TChartSeriesStyle Value) { FStyle = Value; }

    // Repaints the editor window attached to the chart, when there is one.
    void RepaintDesigner();
    // Either series is an instance of the other's class.
    bool SameClass(TCustomChartSeries* Series) const;

protected:
    // Clears the chart reference without registering anywhere (chart removal).
    void ForgetParentChart() { TCustomChartElement::SetParentChart(nullptr); }

private:
    bool FShowInLegend = true;
    AnsiString FTitle;
    AnsiString FIdentifier;
    TChartSeriesStyle FStyle;
};

// ---------------------------------------------------------------------------

enum TValueEvent { veClear, veAdd, veDelete, veRefresh, veModify };
enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
QM_ENUM_NAMES(THorizAxis, aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis)
enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };
QM_ENUM_NAMES(TVertAxis, aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis)
enum TSeriesRecalcOption { rOnDelete, rOnModify, rOnInsert, rOnClear };
QM_ENUM_NAMES(TSeriesRecalcOption, rOnDelete, rOnModify, rOnInsert, rOnClear)
using TSeriesRecalcOptions = TSet<TSeriesRecalcOption>;

enum TLegendTextStyle {
    ltsPlain,
    ltsLeftValue,
    ltsRightValue,
    ltsLeftPercent,
    ltsRightPercent,
    ltsXValue,
    ltsValue,
    ltsPercent,
    ltsXAndValue,
    ltsXAndPercent
};
QM_ENUM_NAMES(TLegendTextStyle, ltsPlain, ltsLeftValue, ltsRightValue, ltsLeftPercent,
              ltsRightPercent, ltsXValue, ltsValue, ltsPercent, ltsXAndValue, ltsXAndPercent)

enum TSeriesMarksStyle {
    smsValue,
    smsPercent,
    smsLabel,
    smsLabelPercent,
    smsLabelValue,
    smsLegend,
    smsPercentTotal,
    smsLabelPercentTotal,
    smsXValue,
    smsXY
};
QM_ENUM_NAMES(TSeriesMarksStyle, smsValue, smsPercent, smsLabel, smsLabelPercent, smsLabelValue,
              smsLegend, smsPercentTotal, smsLabelPercentTotal, smsXValue, smsXY)

// Content mask of the stored point data.
enum TeeFormatFlag { tfNoMandatory, tfColor, tfLabel, tfMarkPosition };
using TeeFormatFlags = TSet<TeeFormatFlag>;

using TSeriesNotifyEvent = std::function<void(TChartSeries* Sender)>;
using TSeriesOnAfterAdd = std::function<void(TChartSeries* Sender, int ValueIndex)>;
using TSeriesOnBeforeAdd = std::function<bool(TChartSeries* Sender)>;
using TSeriesClick = std::function<void(TChartSeries* Sender, int ValueIndex, TMouseButton Button,
                                        TShiftState Shift, int X, int Y)>;
using TSeriesOnGetMarkText =
    std::function<void(TChartSeries* Sender, int ValueIndex, AnsiString& MarkText)>;
// Called by CreateSubGallery with the name of each sub-type.
using TChartSubGalleryProc = std::function<void(const AnsiString& Name)>;

class TChartSeries : public TCustomChartSeries {
    QM_CLASS(TChartSeries)
public:
    explicit TChartSeries(TComponent* AOwner);
    ~TChartSeries() override;

    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;
    void Loaded() override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    void Added() override;
    void Removed() override;

    // --- adding points (each returns the new index, or -1 when refused) ---
    virtual int AddXY(double X, double Y, const AnsiString& Label = "", TColor Color = clAutoColor);
    virtual int Add(double Value, const AnsiString& Label = "", TColor Color = clAutoColor);
    int AddY(double Y, const AnsiString& Label = "", TColor Color = clAutoColor);
    int AddX(double X, const AnsiString& Label = "", TColor Color = clAutoColor);
    int AddNull(double Value);
    virtual int AddNull(const AnsiString& Label);
    virtual int AddNullXY(double X, double Y, const AnsiString& Label = "");
    int AddArray(const std::vector<double>& Values);
    virtual int AddChartValue(TChartSeries* Source, int ValueIndex);
    virtual void AddedValue(TChartSeries* Source, int ValueIndex);
    virtual void AddValues(TChartSeries* Source);
    void AssignValues(TChartSeries* Source) { AddValues(Source); }
    virtual bool IsValidSourceOf(TChartSeries* Value);
    virtual bool IsValidSeriesSource(TChartSeries* Value);

    // --- notification ---
    virtual void NotifyNewValue(TChartSeries* Sender, int ValueIndex);
    virtual void NotifyValue(TValueEvent ValueEvent, int ValueIndex);
    virtual void DeletedValue(TChartSeries* Source, int ValueIndex);
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    void RefreshSeries();

    // --- removing points ---
    // Raises ChartException for an index outside 0..Count-1.
    virtual void Delete(int ValueIndex);
    virtual void Delete(int Start, int Quantity, bool RemoveGap = false);
    virtual void Clear();
    virtual void ClearLists();

    // --- values, nulls, colours, labels, order ---
    int Count() const;
    int VisibleCount() const { return FLastVisibleIndex - FFirstVisibleIndex + 1; }
    virtual double GetxValue(int Index);
    virtual double GetyValue(int Index);
    void SetXValue(int Index, double Value);
    void SetYValue(int Index, double Value);
    bool IsNull(int Index);
    void SetNull(int Index, bool Value = true);
    // The colour stored with a point; clAutoColor when it has none.
    TColor InternalColor(int Index) const;
    void SetValueColor(int Index, TColor Color);
    // Whether points carry stored colours at all, and how many are stored.
    bool HasColorList() const { return FHasColors; }
    int ColorCount() const { return FHasColors ? static_cast<int>(FColors.size()) : 0; }
    AnsiString GetXLabel(int Index) const;
    void SetXLabel(int Index, const AnsiString& Text);
    virtual void SwapValueIndex(int a, int b);
    virtual void CheckOrder();
    void SortByLabels(TChartListOrder Order = loAscending);
    int CompareLabelIndex(int a, int b) const;
    void ReplaceList(TChartValueList* OldList, TChartValueList* NewList);
    void SetXValues(TChartValueList* Value);
    void SetYValues(TChartValueList* Value);
    // Value's settings and values into AList, a list of this series; AList keeps
    // its length, so every list of the series still holds Count values.
    void SetChartValueList(TChartValueList* AList, TChartValueList* Value);
    void SetHorizontal();
    virtual TChartValueList* GetYValueList(const AnsiString& AListName);
    virtual double MaxXValue();
    virtual double MinXValue();
    virtual double MaxYValue();
    virtual double MinYValue();
    virtual double MaxZValue();
    virtual double MinZValue();

    // --- data sources and dependents ---
    TComponent* DataSource() const { return FDataSources.empty() ? nullptr : FDataSources[0]; }
    TComponent* GetDataSource() const { return DataSource(); }
    void SetDataSource(TComponent* Value);
    const std::vector<TComponent*>& DataSources() const { return FDataSources; }
    void InternalAddDataSource(TComponent* Source);
    void RemoveDataSource(TComponent* Source);
    // Drops the free notification with Source once neither side refers to the other.
    void UnlinkSource(TComponent* Source);
    void AddLinkedSeries(TChartSeries* Series);
    void RemoveLinkedSeries(TChartSeries* Series);
    void RemoveAllLinkedSeries();
    const std::vector<TChartSeries*>& LinkedSeries() const { return FLinkedSeries; }
    void CheckDataSource();
    void CheckOtherSeries(TChartSeries* Source);
    const AnsiString& ColorSource() const { return FColorSource; }
    void SetColorSource(const AnsiString& Value);
    const AnsiString& XLabelsSource() const { return FLabelsSource; }
    void SetLabelsSource(const AnsiString& Value);
    TTeeFunction* FunctionType() const { return FTeeFunction; }
    virtual void SetFunction(TTeeFunction* Value);
    // Forgets the function without freeing it (it moves to another series).
    void ReleaseFunction();

    // --- chart membership and axes ---
    TColor SeriesColor() const { return FColor; }
    virtual void SetSeriesColor(TColor Value);
    TChartAxis* GetHorizAxis() const { return FGetHorizAxis; }
    TChartAxis* GetVertAxis() const { return FGetVertAxis; }
    void RecalcGetAxis();
    THorizAxis HorizAxis() const { return FHorizAxis; }
    void SetHorizAxis(THorizAxis Value);
    TVertAxis VertAxis() const { return FVertAxis; }
    void SetVertAxis(TVertAxis Value);
    TChartAxis* CustomHorizAxis() const { return FCustomHorizAxis; }
    void SetCustomHorizAxis(TChartAxis* Value);
    TChartAxis* CustomVertAxis() const { return FCustomVertAxis; }
    void SetCustomVertAxis(TChartAxis* Value);
    // A freed custom axis gives the series back to the bottom or left axis.
    void AxisFreed(TChartAxis* Axis) override;
    bool CheckMouse(int X, int Y);
    int GetCursorValueIndex();
    void GetCursorValues(double& X, double& Y);

    // --- sample values ---
    virtual void FillSampleValues(int NumValues = 0);
    virtual int NumSampleValues() { return 25; }
    virtual void AddSampleValues(int NumValues);
    bool CanAddRandomPoints();
    struct TRandomBounds {
        double tmpX = 0, StepX = 0, tmpY = 0, MinY = 0, DifY = 0;
    };
    TRandomBounds RandomBounds(int NumValues);

    // --- positions (teeseries_draw.cpp) ---
    virtual int CalcXPos(int ValueIndex);
    virtual int CalcYPos(int ValueIndex);
    int CalcXPosValue(double Value);
    int CalcYPosValue(double Value);
    int CalcPosValue(double Value);
    int CalcXSizeValue(double Value);
    int CalcYSizeValue(double Value);
    double XScreenToValue(int ScreenPos);
    double YScreenToValue(int ScreenPos);
    AnsiString XValueToText(double Value);
    AnsiString YValueToText(double Value);
    virtual bool AssociatedToAxis(TChartAxis* Axis);
    virtual bool UseAxis() { return true; }
    virtual int Clicked(int X, int Y) {
        (void)X, (void)Y;
        return -1;
    }
    int Clicked(const TPoint& P) { return Clicked(P.x, P.y); }

    // --- visible range and drawing order ---
    void CalcFirstLastVisibleIndex();
    // A series that holds no values of its own draws whatever points it has and
    // wherever the axes are; the others only while a point of theirs is in view.
    virtual bool DrawsWithoutValues() { return false; }
    virtual bool DrawValuesForward();
    virtual bool DrawSeriesForward(int ValueIndex);
    virtual void DrawAllValues();
    virtual void DrawValue(int ValueIndex) { (void)ValueIndex; }
    virtual void DoBeforeDrawValues();
    virtual void DoAfterDrawValues();

    // --- depth order ---
    int ZOrder() const { return FZOrder; }
    void SetZOrder(int Value);
    int GetZOrder() const { return FZOrder != -1 ? FZOrder : FAutoZOrder; }
    int AutoZOrder() const { return FAutoZOrder; }
    void SetAutoZOrder(int Value) { FAutoZOrder = Value; }
    virtual void CalcZOrder();
    virtual bool MoreSameZOrder();
    bool FirstInZOrder();
    int Depth() const { return FDepth; }
    void SetDepth(int Value);
    // Depth slot in pixels, set by the chart for every frame.
    int StartZ() const { return FStartZ; }
    int MiddleZ() const { return FMiddleZ; }
    int EndZ() const { return FEndZ; }
    void SetDepthSlot(int AStartZ, int AMiddleZ, int AEndZ);

    // --- colours ---
    virtual TColor GetValueColor(int ValueIndex);
    TColor ValueColor(int ValueIndex) { return GetValueColor(ValueIndex); }
    bool ColorEachPoint() const { return FColorEachPoint; }
    virtual void SetColorEachPoint(bool Value);
    void ColorRange(TChartValueList* AValueList, double FromValue, double ToValue, TColor AColor);
    virtual TColor LegendItemColor(int LegendIndex);

    // --- legend ---
    virtual int CountLegendItems();
    virtual int LegendToValueIndex(int LegendIndex);
    virtual AnsiString LegendString(int LegendIndex, TLegendTextStyle LegendTextStyle);
    virtual void DrawLegend(int ValueIndex, const TRect& Rect);
    virtual void DrawLegendShape(int ValueIndex, const TRect& Rect);
    virtual void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle);

    // --- marks ---
    virtual double GetMarkValue(int ValueIndex);
    virtual double GetOriginValue(int ValueIndex);
    AnsiString GetMarkText(int ValueIndex);
    AnsiString MarkPercent(int ValueIndex, bool AddTotal = false);
    void DrawMarks();
    virtual void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition);
    int MaxMarkWidth();
    TSeriesMarks* Marks() const { return FMarks.get(); }
    void SetMarks(TSeriesMarks* Value);

    // --- formats, copies, gallery ---
    const AnsiString& ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const AnsiString& Value);
    const AnsiString& PercentFormat() const { return FPercentFormat; }
    void SetPercentFormat(const AnsiString& Value);
    bool IsValueFormatStored() const;
    bool IsPercentFormatStored() const;
    void AssignFormat(TChartSeries* Source);
    virtual void PrepareForGallery(bool IsEnabled);
    virtual void CreateSubGallery(const TChartSubGalleryProc& AddSubChart);
    virtual void SetSubGallery(TChartSeries* Series, int Index) { (void)Series, (void)Index; }

    // --- point data in streams (teeseries_stream.cpp) ---
    virtual void WriteData(TStream* Stream);
    void ReadData(TStream* Stream);
    // While one lives on this thread, each ReadData call notes in Filled the
    // series it filled with plain records taken whole (null for any other
    // read) when Take is false; when Take, the i-th call takes the points of
    // Filled[i] instead of parsing them again, so a second read of the same
    // chart body costs no point parsing. A null entry, or a donor whose points
    // differ in count or list order, is read from the stream as usual.
    class TPointHandOver {
    public:
        TPointHandOver(std::vector<TChartSeries*>& Filled, bool Take);
        ~TPointHandOver();
        TPointHandOver(const TPointHandOver&) = delete;
        TPointHandOver& operator=(const TPointHandOver&) = delete;

    private:
        friend class TChartSeries;
        std::vector<TChartSeries*>& FFilled;
        bool FTake;
        size_t FNext = 0;
        TPointHandOver* FOuter;
    };
    bool ForceSaveData() const { return FForceSaveData; }
    void SetForceSaveData(bool Value) { FForceSaveData = Value; }
    bool DontSaveData() const { return FDontSaveData; }
    void SetDontSaveData(bool Value) { FDontSaveData = Value; }
    // The points belong to the series itself (stream data or typed-in values).
    bool HasDataStored() const { return FManualData; }
    void SetHasDataStored(bool Value) { FManualData = Value; }

    // --- value lists and their roles ---
    TChartValueLists* ValuesList() const { return FValuesList.get(); }
    TChartValueList* XValues() const { return FX; }
    TChartValueList* YValues() const { return FY; }
    TChartValueList* MandatoryValues() const { return FMandatory; }
    TChartValueList* NotMandatoryValues() const { return FNotMandatory; }
    bool YIsMandatory() const { return FYMandatory; }
    TLabelsList* Labels() const { return FLabels.get(); }

    // --- type switches (set by series types in their constructors) ---
    bool UseVisibleRange() const { return FUseVisibleRange; }
    void SetUseVisibleRange(bool Value) { FUseVisibleRange = Value; }
    bool IncludeNextPoint() const { return FIncludeNextPoint; }
    void SetIncludeNextPoint(bool Value) { FIncludeNextPoint = Value; }
    bool OwnDepthSlot() const { return FOwnDepthSlot; }
    void SetOwnDepthSlot(bool Value) { FOwnDepthSlot = Value; }
    // A function adds one point (not a line) to this series type.
    bool AllowSinglePoint() const { return FAllowSinglePoint; }
    void SetAllowSinglePoint(bool Value) { FAllowSinglePoint = Value; }
    // The series type uses its not-mandatory values (stored when they are not 0, 1, 2...).
    bool HasXValues() const { return FHasXValues; }
    void SetHasXValues(bool Value) { FHasXValues = Value; }
    // The series type keeps Z values of its own: the depth axis shows them as
    // values even when every point has the same Z.
    bool HasZValues() const { return FHasZValues; }
    void SetHasZValues(bool Value) { FHasZValues = Value; }
    bool UseSeriesColor() const { return FUseSeriesColor; }
    void SetUseSeriesColor(bool Value) { FUseSeriesColor = Value; }
    // Set by series types the chart keeps out of form streams.
    bool InternalUse() const { return FInternalUse; }
    void SetInternalUse(bool Value) { FInternalUse = Value; }
    int SampleCount() const { return FSampleCount; }
    void SetSampleCount(int Value) { FSampleCount = Value; }

    int FirstVisibleIndex() const { return FFirstVisibleIndex; }
    int LastVisibleIndex() const { return FLastVisibleIndex; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }
    TSeriesRecalcOptions RecalcOptions() const { return FRecalcOptions; }
    void SetRecalcOptions(TSeriesRecalcOptions Value) { FRecalcOptions = Value; }

    TSeriesNotifyEvent AfterDrawValues;
    TSeriesNotifyEvent BeforeDrawValues;
    TSeriesOnAfterAdd OnAfterAdd;
    TSeriesOnBeforeAdd OnBeforeAdd;
    TSeriesNotifyEvent OnClearValues;
    TSeriesClick OnClick;
    TSeriesClick OnDblClick;
    TSeriesOnGetMarkText OnGetMarkText;
    TSeriesNotifyEvent OnMouseEnter;
    TSeriesNotifyEvent OnMouseLeave;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The colour list with Size entries of clAutoColor.
    void GrowColors(int Size);
    // Set by a series whose NotifyNewValue draws every point as it comes.
    bool FDrawsEachNewValue = false;

private:
    friend class TChartValueList;
    // Whether a point just added has anyone to tell: its handler, dependents
    // or a chart to repaint.
    bool NewValueHeard() const;
    // The series, its chart or an owner of either is on its way out: then no
    // handler of the series runs and no function recalculates.
    bool Leaving();
    bool BeforeAdd();
    void AddValueList(TChartValueList* List);
    void RemoveValueList(TChartValueList* List);
    void ClearDataSources();
    void InsertColor(int Index, TColor Color);
    void DeleteMarkEntries(int Start, int Quantity);
    void SwapLabels(int a, int b);
    AnsiString FormatMarkValue(double Value) const;
    // Point data stream properties (teeseries_stream.cpp).
    void ReadDataSources(TReader* Reader);
    // Point records of X (when WithX) and Y doubles added to their lists whole;
    // false, with nothing added, when the X values are out of their order.
    bool ReadPlainData(const uint8_t* Records, int Count, bool WithX, bool Horizontal);
    void WriteDataSources(TWriter* Writer);
    void ReadCustomHorizAxis(TReader* Reader);
    void ReadCustomVertAxis(TReader* Reader);
    void WriteCustomHorizAxis(TWriter* Writer);
    void WriteCustomVertAxis(TWriter* Writer);

    TColor FColor = clAutoColor;
    bool FColorEachPoint = false;
    TPointColors FColors;
    bool FHasColors = false;
    AnsiString FColorSource;
    TCursor FCursor = crDefault;
    std::vector<TComponent*> FDataSources;
    int FDepth = -1;
    int FFirstVisibleIndex = -1;
    // The axes it draws on: two of its chart's, or a custom axis that may go first.
    TWatched<TChartAxis> FGetHorizAxis;
    TWatched<TChartAxis> FGetVertAxis;
    AnsiString FLabelsSource;
    int FLastVisibleIndex = -1;
    std::vector<TChartSeries*> FLinkedSeries;
    std::unique_ptr<TSeriesMarks> FMarks;
    AnsiString FPercentFormat;
    std::unique_ptr<std::vector<AnsiString>> FDataSourceNames;
    AnsiString FValueFormat;
    std::unique_ptr<TChartValueLists> FValuesList;
    TChartValueList* FX = nullptr;
    std::unique_ptr<TLabelsList> FLabels;
    TChartValueList* FY = nullptr;
    THorizAxis FHorizAxis = aBottomAxis;
    TWatched<TChartAxis> FCustomHorizAxis;
    TWatched<TChartAxis> FCustomVertAxis;
    // Out of a chart, the custom axes are kept as their index in CustomAxes, so
    // the next chart's axis of that index takes their place.
    int FCustomHorizIndex = -1;
    int FCustomVertIndex = -1;
    int FZOrder = -1;
    TVertAxis FVertAxis = aLeftAxis;
    TSeriesRecalcOptions FRecalcOptions{rOnDelete, rOnModify, rOnInsert, rOnClear};
    TTeeFunction* FTeeFunction = nullptr;
    bool FMouseInside = false;
    TChartListOrder FLabelSortOrder = loNone;
    bool FForceSaveData = false;
    bool FDontSaveData = false;
    bool FManualData = false;
    int FSampleCount = 0;
    int FUpdateCount = 0;
    bool FAllowSinglePoint = true;
    bool FHasXValues = true;
    int FAutoZOrder = 0;
    bool FUseVisibleRange = true;
    bool FIncludeNextPoint = false;
    bool FUseSeriesColor = true;
    bool FHasZValues = false;
    bool FOwnDepthSlot = false;
    bool FInternalUse = false;
    int FStartZ = 0;
    int FMiddleZ = 0;
    int FEndZ = 0;
    TChartValueList* FMandatory = nullptr;
    TChartValueList* FNotMandatory = nullptr;
    bool FYMandatory = true;
};

// Content tests of the stored point data; each looks at every point.
bool HasNoMandatoryValues(TChartSeries* Series);
bool HasColors(TChartSeries* Series);
bool HasLabels(TChartSeries* Series);
TeeFormatFlags SeriesGuessContents(TChartSeries* Series);
