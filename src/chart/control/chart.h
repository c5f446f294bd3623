#pragma once
// The chart control (unit Chart): an axis panel with titles, legend, walls,
// mouse zoom and scroll. The class is a thin front; whole concerns live in
//   chartparts.cpp     the title and wall objects (chartparts.h)
//   chart_walls.cpp    the walls and the room they take, the order of titles and legend
//   chart_mouse.cpp    hit test, zoom, panning, wheel, saved scales
//   teelegend.cpp      the legend; chart.cpp the rest
#include "chart/control/chartparts.h"
#include "chart/control/teelegend.h"
#include "chart/engine/teengine.h"
#include "platform/classes/watched.h"
#include <functional>
#include <memory>
#include <vector>

enum TChartClickedPartStyle {
    cpNone,
    cpLegend,
    cpAxis,
    cpSeries,
    cpTitle,
    cpFoot,
    cpChartRect,
    cpSeriesMarks,
    cpSubTitle,
    cpSubFoot
};

// A part found under the mouse; a handler may free its series or axis while
// the part is kept (a drag carries it), so both are read through handles.
struct TChartClickedPart {
    TChartClickedPartStyle Part = cpNone;
    int PointIndex = -1;
    TWatched<TChartSeries> ASeries;
    TWatched<TChartAxis> AAxis;
};

struct TAxisSavedScales {
    bool Auto = false;
    bool AutoMin = false;
    bool AutoMax = false;
    double Max = 0;
    double Min = 0;
};
// One record per axis, kept with the axis it was taken from.
struct TAxisSavedScale {
    TWatched<TChartAxis> Axis;
    TAxisSavedScales Scales;
};
using TAllAxisSavedScales = std::vector<TAxisSavedScale>;

// Share of the remaining distance an animated zoom covers a frame (1/3).
extern double AnimatedZoomFactor;
// The wheel scrolls the vertical axes.
extern bool TeeUseMouseWheel;
// Keys that must be held to pan.
extern TShiftState TeeScrollKeyShift;
// Gap between a docked title and the plotting area.
extern int TeeTitleFootDistance;

class TCustomChart;

using TChartClickEvent =
    std::function<void(TCustomChart* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TChartClickAxis = std::function<void(TCustomChart* Sender, TChartAxis* Axis,
                                           TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TChartClickSeries =
    std::function<void(TCustomChart* Sender, TChartSeries* Series, int ValueIndex,
                       TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TChartClickTitle = std::function<void(TCustomChart* Sender, TChartTitle* ATitle,
                                            TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TChartAllowScrollEvent =
    std::function<void(TChartAxis* Sender, double& AMin, double& AMax, bool& AllowScroll)>;
using TOnGetLegendText = std::function<void(TCustomChart* Sender, TLegendStyle LegendStyle,
                                            int Index, AnsiString& LegendText)>;
using TOnGetLegendRect = std::function<void(TCustomChart* Sender, TRect& Rect)>;
using TOnGetLegendPos =
    std::function<void(TCustomChart* Sender, int Index, int& X, int& Y, int& XColor)>;
using TValueSourceProc = std::function<void(const AnsiString& Name)>;

class TCustomChart : public TCustomAxisPanel {
    QM_CLASS(TCustomChart)
public:
    explicit TCustomChart(TComponent* AOwner);
    ~TCustomChart() override;
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    // --- parts ---
    TChartTitle* Title() const { return FTitle.get(); }
    void SetTitle(TChartTitle* Value) { FTitle->Assign(Value); }
    TChartTitle* SubTitle() const { return FSubTitle.get(); }
    void SetSubTitle(TChartTitle* Value) { FSubTitle->Assign(Value); }
    TChartFootTitle* Foot() const { return FFoot.get(); }
    void SetFoot(TChartFootTitle* Value) { FFoot->Assign(Value); }
    TChartFootTitle* SubFoot() const { return FSubFoot.get(); }
    void SetSubFoot(TChartFootTitle* Value) { FSubFoot->Assign(Value); }
    TChartLegend* Legend() const { return FLegend.get(); }
    void SetLegend(TChartLegend* Value) { FLegend->Assign(Value); }
    TChartWalls* Walls() const { return FWalls.get(); }
    TChartBackWall* BackWall() const { return FWalls->Back(); }
    void SetBackWall(TChartBackWall* Value) { FWalls->Back()->Assign(Value); }
    TChartWall* BottomWall() const { return FWalls->Bottom(); }
    void SetBottomWall(TChartWall* Value) { FWalls->Bottom()->Assign(Value); }
    TChartWall* LeftWall() const { return FWalls->Left(); }
    void SetLeftWall(TChartWall* Value) { FWalls->Left()->Assign(Value); }
    TChartRightWall* RightWall() const { return FWalls->Right(); }
    void SetRightWall(TChartRightWall* Value) { FWalls->Right()->Assign(Value); }
    TChartPen* Frame() const { return FWalls->Back()->Pen(); }
    void SetFrame(TChartPen* Value) { FWalls->Back()->SetPen(Value); }
    TColor BackColor();
    void SetBackColor(TColor Value);
    TMouseButton ScrollMouseButton() const { return FScrollMouseButton; }
    void SetScrollMouseButton(TMouseButton Value) { FScrollMouseButton = Value; }
    // In the current view: the left wall lies behind the series, the right wall in front.
    bool DrawLeftWallFirst();
    bool DrawRightWallAfter();

    // --- series and pages ---
    void SeriesUp(TChartSeries* ASeries);
    void SeriesDown(TChartSeries* ASeries);
    void NextPage();
    void PreviousPage();
    void RemoveAllSeries();
    TChartSeries* GetASeries();
    bool IsFreeSeriesColor(TColor AColor, bool CheckBackground) override;
    AnsiString AxisTitleOrName(TChartAxis* Axis);
    virtual void FillSeriesSourceItems(TChartSeries* ASeries, const TValueSourceProc& Proc);
    virtual void FillValueSourceItems(TChartValueList* ValueList, const TValueSourceProc& Proc);
    AnsiString FormattedValueLegend(TChartSeries* ASeries, int ValueIndex) override;
    AnsiString FormattedLegend(int Index);
    // Some active series is drawn against axes.
    bool ActiveSeriesUseAxis();

    // --- walls ---
    int CalcWallSize(TChartAxis* Axis) override;
    TColor GetBackColor() override;

    // --- mouse, zoom and scroll (chart_mouse.cpp) ---
    void CalcClickedPart(const TPoint& Pos, TChartClickedPart& Part);
    TChartClickedPart CalcNeedClickedPart(const TPoint& Pos, bool OnlyNeeded);
    void DoZoom(double TopIni, double TopEnd, double BotIni, double BotEnd, double LefIni,
                double LefEnd, double RigIni, double RigEnd);
    void ZoomRect(const TRect& Rect);
    virtual void CalcZoomPoints();
    void ZoomPercent(double PercentZoom);
    virtual void UndoZoom();
    void ScrollVerticalAxes(bool Up);
    const TAllAxisSavedScales& SavedScales() const { return FSavedScales; }
    // The scales are still to be saved (nothing zoomed or panned since the last undo).
    bool RestoredAxisScales() const { return FRestoredAxisScales; }
    // Passes a mouse event to every active tool; stops once CancelMouse is set.
    void BroadcastChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift,
                                  int X, int Y);

    TChartAllowScrollEvent OnAllowScroll;
    TChartClickAxis OnClickAxis;
    TChartClickEvent OnClickBackground;
    TChartClickEvent OnClickLegend;
    TChartClickSeries OnClickSeries;
    TChartClickTitle OnClickTitle;
    TOnGetLegendPos OnGetLegendPos;
    TOnGetLegendRect OnGetLegendRect;
    TOnGetLegendText OnGetLegendText;

protected:
    void CalcWallsRect() override;
    void DrawTitlesAndLegend(bool BeforeSeries) override;
    void DrawWalls() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

private:
    friend class TChartWallPainter;
    friend class TChartMouse;
    void ReadBackColor(TReader* Reader);
    void SaveScales();
    void RestoreScales();

    std::unique_ptr<TChartFootTitle> FFoot;
    std::unique_ptr<TChartLegend> FLegend;
    TAllAxisSavedScales FSavedScales;
    TMouseButton FScrollMouseButton = mbRight;
    std::unique_ptr<TChartFootTitle> FSubFoot;
    std::unique_ptr<TChartTitle> FSubTitle;
    std::unique_ptr<TChartTitle> FTitle;
    std::unique_ptr<TChartWalls> FWalls;
    bool FRestoredAxisScales = true;
};

// Publishes the chart's properties; adds no behaviour.
class TChart : public TCustomChart {
    QM_CLASS(TChart)
public:
    explicit TChart(TComponent* AOwner = nullptr) : TCustomChart(AOwner) {}
};
