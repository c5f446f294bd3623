#pragma once
// Tools bound to one series: dragging points, focusing or exploding pie
// slices, swapping the X and Z values of a 3D grid, and the page number.
#include "chart/control/tool_hints.h"
#include <functional>

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
    TPieToolStyle Style() const { return FStyle; }
    void SetStyle(TPieToolStyle Value) { FStyle = Value; }
    int Slice() const { return FSlice; }

protected:
    void FocusSlice(int Index, bool Focus);

private:
    TPieSeries* Pie() const;
    TPieToolStyle FStyle = ptFocus;
    int FSlice = -1;
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

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TChartSeries* FSeries = nullptr;
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
