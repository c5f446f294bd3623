#pragma once
// The axis panel (unit Teengine): a chart surface with series, axes and tools.
//   TChartAxes, TTeeSeriesEvent, TChartChangePage   the axes list and the panel's events
//   TCustomAxisPanel                                one frame of drawing, axis ranges, paging
// Frame drawing and ranges in teeaxispanel.cpp; series, sources and pages in
// teeaxispanel_series.cpp.
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teetools.h"
#include <functional>
#include <memory>

class TChartSeries;
class TStrings;

enum TChartSeriesEvent {
    seAdd,
    seRemove,
    seChangeTitle,
    seChangeColor,
    seSwap,
    seChangeActive,
    seDataChanged
};

// Every axis of a chart in creation order: bottom, top, left, right, depth,
// then the custom axes. Axes remove themselves when freed.
class TChartAxes : public TList {
    QM_CLASS(TChartAxes)
public:
    explicit TChartAxes(TCustomAxisPanel* AChart) : FChart(AChart) {}
    ~TChartAxes() override;
    TChartAxis* Get(int Index) const { return static_cast<TChartAxis*>(Items(Index)); }
    TChartAxis* operator[](int Index) const { return Get(Index); }
    TChartAxis* LeftAxis() const;
    TChartAxis* TopAxis() const;
    TChartAxis* RightAxis() const;
    TChartAxis* BottomAxis() const;
    TChartAxis* DepthAxis() const;
    bool Behind() const;
    void SetBehind(bool Value);
    bool Visible() const;
    void SetVisible(bool Value);
    bool FastCalc() const { return FFastCalc; }
    // Unclamped value-to-pixel functions for every axis (faster, for callers
    // that know their values are in range).
    void SetFastCalc(bool Value);
    // Frees every axis.
    void Clear() override;
    TCustomAxisPanel* Chart() const { return FChart; }

private:
    TCustomAxisPanel* FChart;
    bool FFastCalc = false;
};

// Sent to the panel's listeners when a series joins, leaves or changes.
class TTeeSeriesEvent : public TTeeEvent {
    QM_CLASS(TTeeSeriesEvent)
public:
    TChartSeriesEvent Event = seAdd;
    TChartSeries* Series = nullptr;
};

// Sent to the panel's listeners when the page or the page size changes.
class TChartChangePage : public TTeeEvent {
    QM_CLASS(TChartChangePage)
};

using TAxisOnGetLabel = std::function<void(TChartAxis* Sender, TChartSeries* Series, int ValueIndex,
                                           AnsiString& LabelText)>;
using TAxisOnGetNextLabel =
    std::function<void(TChartAxis* Sender, int LabelIndex, double& LabelValue, bool& Stop)>;

class TCustomAxisPanel : public TCustomTeePanelExtended {
    QM_CLASS(TCustomAxisPanel)
public:
    explicit TCustomAxisPanel(TComponent* AOwner);
    ~TCustomAxisPanel() override;
    void Assign(TPersistent* Source) override;

    // --- axes -------------------------------------------------------------------
    TChartAxes* Axes() const { return FAxes.get(); }
    TChartCustomAxes* CustomAxes() const { return FCustomAxes.get(); }
    void SetCustomAxes(TChartCustomAxes* Value);
    bool IsCustomAxesStored() const;
    TChartAxis* BottomAxis() const { return FBottomAxis; }
    void SetBottomAxis(TChartAxis* Value);
    TChartAxis* TopAxis() const { return FTopAxis; }
    void SetTopAxis(TChartAxis* Value);
    TChartAxis* LeftAxis() const { return FLeftAxis; }
    void SetLeftAxis(TChartAxis* Value);
    TChartAxis* RightAxis() const { return FRightAxis; }
    void SetRightAxis(TChartAxis* Value);
    TChartDepthAxis* DepthAxis() const { return FDepthAxis; }
    void SetDepthAxis(TChartDepthAxis* Value);
    bool AxisBehind() const { return FAxisBehind; }
    void SetAxisBehind(bool Value);
    bool AxisVisible() const { return FAxisVisible; }
    void SetAxisVisible(bool Value);
    bool IsAxisVisible(TChartAxis* Axis);

    // --- other published settings -----------------------------------------------
    bool ClipPoints() const { return FClipPoints; }
    void SetClipPoints(bool Value);
    bool View3DWalls() const { return FView3DWalls; }
    void SetView3DWalls(bool Value);
    int Page() const { return FPage; }
    // Kept within 1..NumPages.
    void SetPage(int Value);
    int MaxPointsPerPage() const { return FMaxPointsPerPage; }
    // Raises ChartException for a negative value.
    void SetMaxPointsPerPage(int Value);
    bool ScaleLastPage() const { return FScaleLastPage; }
    void SetScaleLastPage(bool Value);
    virtual int NumPages();
    // 0 for FromPage means 1, 0 for ToPage means NumPages.
    void PrintPages(int FromPage = 0, int ToPage = 0);

    // --- series -----------------------------------------------------------------
    // Read only: series join and leave through their SetParentChart.
    const TChartSeriesList* SeriesList() const { return FSeriesList.get(); }
    int SeriesCount() const { return FSeriesList->Count(); }
    // Raises EListError for an index outside 0..SeriesCount-1.
    TChartSeries* GetSeries(int Index) const { return FSeriesList->Get(Index); }
    TChartSeries* Series(int Index) const { return GetSeries(Index); }
    int CountActiveSeries() const;
    TChartSeries* AddSeries(TChartSeries* ASeries);
    // Creates a series of the class, owned by the panel's owner.
    TChartSeries* AddSeries(TClass SeriesClass);
    void InternalAddSeries(TChartSeries* ASeries);
    void RemoveSeries(TChartSeries* ASeries);
    // All series, or only those of SeriesClass.
    void FreeAllSeries(TClass SeriesClass = nullptr);
    void ExchangeSeries(int a, int b);
    void ExchangeSeries(TChartSeries* Series1, TChartSeries* Series2);
    void BroadcastSeriesEvent(TChartSeries* ASeries, TChartSeriesEvent Event);
    // Sends a new event of EventClass (a TTeeEvent class with a factory) to the listeners.
    void BroadcastTeeEventClass(TClass EventClass);
    bool CheckMouseSeries(int X, int Y);
    int GetMaxValuesCount() const;
    TChartSeries* SeriesLegend(int ItemIndex, bool OnlyActive);
    TChartSeries* ActiveSeriesLegend(int ItemIndex) { return SeriesLegend(ItemIndex, true); }
    AnsiString SeriesTitleLegend(int ItemIndex, bool OnlyActive = true);
    // Widest line of Text (lines split at TeeLineSeparator) on the canvas.
    int MultiLineTextWidth(const AnsiString& Text, int& NumLines);
    int MaxTextWidth();
    int MaxMarkWidth();
    TColor GetFreeSeriesColor(bool CheckBackground = true);
    TChartSeries* GetAxisSeries(TChartAxis* Axis);
    TChartSeries* GetAxisSeriesMaxPoints(TChartAxis* Axis);
    bool NoActiveSeries(TChartAxis* Axis);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    // --- data sources -------------------------------------------------------------
    virtual void CheckDatasource(TChartSeries* ASeries);
    virtual bool IsValidDataSource(TChartSeries* ASeries, TComponent* AComponent);
    virtual void RemovedDataSource(TChartSeries* ASeries, TComponent* AComponent);
    // Raises ChartException when Source depends on ASeries (directly or through
    // any chain of its sources).
    void CheckOtherSeries(TChartSeries* ASeries, TChartSeries* Source);

    // --- ranges -------------------------------------------------------------------
    double InternalMinMax(TChartAxis* AAxis, bool IsMin, bool IsX);
    double MinXValue(TChartAxis* AAxis) { return InternalMinMax(AAxis, true, true); }
    double MaxXValue(TChartAxis* AAxis) { return InternalMinMax(AAxis, false, true); }
    double MinYValue(TChartAxis* AAxis) { return InternalMinMax(AAxis, true, false); }
    double MaxYValue(TChartAxis* AAxis) { return InternalMinMax(AAxis, false, false); }

    // --- frame state --------------------------------------------------------------
    int MaxDepthOrder = 0;
    int SeriesDepthWidth = 0;
    int SeriesDepthHeight = 0;
    bool InvertedRotation = false;
    // Set by the legend while it draws.
    TColor LegendColor = clAutoColor;
    TChartPen* LegendPen = nullptr;
    // Every series gets a depth slot of its own in 3D (all share one when clear).
    bool ApplyZOrder() const { return FApplyZOrder; }
    void SetApplyZOrder(bool Value);
    void CalcSize3DWalls();
    void CalcInvertedRotation();

    // --- tools, designer, events ---------------------------------------------------
    TChartTools* Tools() const { return FTools.get(); }
    void BroadcastToolEvent(TChartToolEvent AEvent);
    // Every series and tool hears that Axis is about to be freed (its destructor calls this).
    void NotifyAxisFreed(TChartAxis* Axis);
    TTeeCustomDesigner* Designer() const { return FDesigner.get(); }
    // Takes ownership.
    void SetDesigner(TTeeCustomDesigner* Value);
    virtual AnsiString FormattedValueLegend(TChartSeries* ASeries, int ValueIndex);
    virtual bool IsFreeSeriesColor(TColor AColor, bool CheckBackground) = 0;
    virtual int CalcWallSize(TChartAxis* Axis) = 0;

    TAxisOnGetLabel OnGetAxisLabel;
    TAxisOnGetNextLabel OnGetNextAxisLabel;
    TNotifyEvent OnPageChange;
    TNotifyEvent OnBeforeDrawChart;
    TNotifyEvent OnBeforeDrawAxes;
    TNotifyEvent OnBeforeDrawSeries;

protected:
    void InternalDraw(const TRect& UserRectangle) override;
    virtual void CalcWallsRect() = 0;
    virtual void DoOnAfterDraw();
    virtual void DoOnBeforeDrawAxes();
    virtual void DoOnBeforeDrawChart();
    virtual void DoOnBeforeDrawSeries();
    virtual void DrawTitlesAndLegend(bool BeforeSeries) = 0;
    virtual void DrawWalls() = 0;

private:
    void DrawAxes();
    void DrawOneSeries(int Index);
    void DrawSeriesMarks(TChartSeries* S);
    bool ClipSeries();
    void CalcAxesMargins();
    void PlaceAxes();
    int AxisPageCount(TChartAxis* Axis);
    void CheckOtherSeriesFrom(TChartSeries* ASeries, TChartSeries* Source,
                              std::vector<TChartSeries*>& Visited);

    std::unique_ptr<TChartSeriesList> FSeriesList;
    std::unique_ptr<TChartAxes> FAxes;
    std::unique_ptr<TChartCustomAxes> FCustomAxes;
    std::unique_ptr<TChartTools> FTools;
    std::unique_ptr<TTeeCustomDesigner> FDesigner;
    TChartAxis* FBottomAxis = nullptr;
    TChartAxis* FTopAxis = nullptr;
    TChartAxis* FLeftAxis = nullptr;
    TChartAxis* FRightAxis = nullptr;
    TChartDepthAxis* FDepthAxis = nullptr;
    bool FAxisBehind = true;
    bool FAxisVisible = true;
    bool FClipPoints = true;
    bool FView3DWalls = true;
    int FPage = 1;
    int FMaxPointsPerPage = 0;
    bool FScaleLastPage = true;
    bool FApplyZOrder = true;
};
