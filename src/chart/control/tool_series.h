#pragma once
// Tools bound to one series: dragging points, focusing or exploding pie
// slices, dragging and resizing Gantt bars, swapping the X and Z values of a
// 3D grid, and the page number.
#include "chart/control/tool_hints.h"
#include <functional>

class TGanttSeries;
class TPieSeries;
class TChartValueList;

enum TDragPointStyle { dsX, dsY, dsBoth };
QM_ENUM_NAMES(TDragPointStyle, dsX, dsY, dsBoth)

class TDragPointTool;
using TDragPointToolEvent = std::function<void(TDragPointTool* Sender, int Index)>;

class TDragPointTool : public TTeeCustomToolSeries {
    QM_CLASS(TDragPointTool)
public:
    explicit TDragPointTool(TComponent* AOwner) : TTeeCustomToolSeries(AOwner) {}
    AnsiString GetEditorClass() override { return "TDragPointToolEdit"; }
    AnsiString Description() const override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;
    TDragPointStyle DragStyle() const { return FDragStyle; }
    void SetDragStyle(TDragPointStyle Value) { FDragStyle = Value; }
    TDragPointToolEvent OnDragPoint;

private:
    TDragPointStyle FDragStyle = dsBoth;
    int FIndex = -1;
};

enum TPieToolStyle { ptFocus, ptExplode };
QM_ENUM_NAMES(TPieToolStyle, ptFocus, ptExplode)

class TPieTool : public TTeeCustomToolSeries {
    QM_CLASS(TPieTool)
public:
    explicit TPieTool(TComponent* AOwner);
    AnsiString GetEditorClass() override { return "TPieToolEditor"; }
    AnsiString Description() const override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;
    void ChartMouseLeave() override;
    TPieToolStyle Style() const { return FStyle; }
    void SetStyle(TPieToolStyle Value) { FStyle = Value; }
    int Slice() const { return FSlice; }

protected:
    void FocusSlice(int Index, bool Focus);

private:
    TPieSeries* Pie() const;
    TPieToolStyle FStyle = ptFocus;
    int FSlice = -1;
    int FOwnExplode = 0;
};

enum TGanttToolBarPart { pbStart, pbAll, pbEnd };

class TGanttTool;
using TGanttDragEvent = std::function<void(TGanttTool* Sender, int GanttBar)>;
using TGanttResizeEvent =
    std::function<void(TGanttTool* Sender, int GanttBar, TGanttToolBarPart BarPart)>;

class TGanttTool : public TTeeCustomToolSeries {
    QM_CLASS(TGanttTool)
public:
    explicit TGanttTool(TComponent* AOwner) : TTeeCustomToolSeries(AOwner) {}
    AnsiString GetEditorClass() override { return "TGanttToolEditor"; }
    AnsiString Description() const override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;
    // The series when it is a Gantt series; without one the tool does nothing.
    TGanttSeries* Gantt() const;

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value) { FAllowDrag = Value; }
    bool AllowResize() const { return FAllowResize; }
    void SetAllowResize(bool Value) { FAllowResize = Value; }
    TCursor CursorDrag() const { return FCursorDrag; }
    void SetCursorDrag(TCursor Value) { FCursorDrag = Value; }
    TCursor CursorResize() const { return FCursorResize; }
    void SetCursorResize(TCursor Value) { FCursorResize = Value; }
    int MinPixels() const { return FMinPixels; }
    void SetMinPixels(int Value) { FMinPixels = Value; }
    // The bar being dragged (-1 none) and which part of it.
    int Bar() const { return FBar; }
    TGanttToolBarPart BarPart() const { return FPart; }

    TGanttDragEvent OnDragBar;
    TGanttResizeEvent OnResizeBar;

private:
    // The bar whose start or end lies within MinPixels of (X, Y), -1 none.
    int FindBarEnd(TGanttSeries* G, int X, int Y, TGanttToolBarPart& Part) const;
    void DragBar(TGanttSeries* G, int X);

    bool FAllowDrag = true;
    bool FAllowResize = true;
    TCursor FCursorDrag = crHandPoint;
    TCursor FCursorResize = crSizeWE;
    int FMinPixels = 5;
    int FBar = -1;
    TGanttToolBarPart FPart = pbAll;
    double FOldValue = 0;
};

// What the grid-transpose tool needs of a 3D grid series; the grid series
// implements it.
class ITeeGridSeries {
public:
    virtual ~ITeeGridSeries() = default;
    virtual TChartValueList* GridZValues() const = 0;
    // A new series of the same kind, without owner.
    virtual TChartSeries* NewGridSeries() const = 0;
    virtual void AddGridXYZ(TChartSeries* Target, double X, double Y, double Z) const = 0;
};

class TGridTransposeTool : public TTeeCustomTool {
    QM_CLASS(TGridTransposeTool)
public:
    explicit TGridTransposeTool(TComponent* AOwner) : TTeeCustomTool(AOwner) {}
    AnsiString GetEditorClass() override { return "TGridTransposeToolEdit"; }
    AnsiString Description() const override;
    void Transpose();
    // Only a series that is a 3D grid is taken; any other leaves none.
    TChartSeries* Series() const { return FSeries; }
    void SetSeries(TChartSeries* Value);

private:
    TWatched<TChartSeries> FSeries;
};

class TPageNumTool : public TAnnotationTool {
    QM_CLASS(TPageNumTool)
public:
    explicit TPageNumTool(TComponent* AOwner);
    AnsiString Description() const override;
    AnsiString GetText() override;
    const AnsiString& Format() const { return Text(); }
    void SetFormat(const AnsiString& Value) { SetText(Value); }
    bool IsFormatStored() const;
};

// The page-number tool's class once its unit has started, for the chart
// editor to create one without naming it; none before.
extern TClass TeePageNumToolClass;
// Registers the tools above.
void TeeRegisterSeriesTools();
