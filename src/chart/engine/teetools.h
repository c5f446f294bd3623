#pragma once
// Tools base: TTeeCustomTool (hooks into the chart's frame and mouse),
// TTeeCustomToolSeries (bound to a series), TTeeCustomToolAxis (bound to an
// axis, stored by the axis' index), the chart's tool list TChartTools and the
// editor-window hook TTeeCustomDesigner.
#include "chart/engine/teeseries.h"
#include "platform/classes/lists.h"

enum TChartToolEvent { cteAfterDraw, cteBeforeDrawSeries, cteBeforeDraw };

enum TChartMouseEvent { cmeDown, cmeMove, cmeUp };

class TTeeCustomTool : public TCustomChartElement {
    QM_CLASS(TTeeCustomTool)
public:
    explicit TTeeCustomTool(TComponent* AOwner);
    ~TTeeCustomTool() override;

    void SetParentChart(TCustomAxisPanel* Value) override;
    // Called on every active tool at three moments of each frame.
    virtual void ChartEvent(TChartToolEvent AEvent) { (void)AEvent; }
    virtual void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift,
                                 int X, int Y) {
        (void)AEvent, (void)Button, (void)Shift, (void)X, (void)Y;
    }
    // The mouse went off the chart: what a hover showed goes.
    virtual void ChartMouseLeave() {}
    // Display name of the tool class, for galleries and editors.
    virtual AnsiString Description() const { return AnsiString(); }
};

class TTeeCustomToolSeries : public TTeeCustomTool {
    QM_CLASS(TTeeCustomToolSeries)
public:
    explicit TTeeCustomToolSeries(TComponent* AOwner);

    AnsiString GetEditorClass() override;
    TChartSeries* Series() const { return FSeries; }
    virtual void SetSeries(TChartSeries* Value);
    // The series' axes, or the chart's bottom and left axes without a series.
    TChartAxis* GetHorizAxis() const;
    TChartAxis* GetVertAxis() const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TWatched<TChartSeries> FSeries;
};

class TTeeCustomToolAxis : public TTeeCustomTool {
    QM_CLASS(TTeeCustomToolAxis)
public:
    explicit TTeeCustomToolAxis(TComponent* AOwner);

    AnsiString GetEditorClass() override;
    void DefineProperties(TFiler* Filer) override;
    TChartAxis* Axis() const { return FAxis; }
    virtual void SetAxis(TChartAxis* Value);
    // The tool stays on the chart without an axis, drawing nothing.
    void AxisFreed(TChartAxis* Axis) override;
    // Moved to another chart (or to none), the tool lets go of its axis: only the
    // axis' own chart would tell it when the axis is freed.
    void SetParentChart(TCustomAxisPanel* Value) override;

private:
    void ReadAxisID(TReader* Reader);
    void WriteAxisID(TWriter* Writer);

    TWatched<TChartAxis> FAxis;
};

// The tools of one chart, in the order they were attached. Items are not owned
// by the list: a tool belongs to its owner component and leaves the list when freed.
class TChartTools : public TList {
    QM_CLASS(TChartTools)
public:
    explicit TChartTools(TCustomAxisPanel* AOwner) : FOwner(AOwner) {}
    ~TChartTools() override;

    TTeeCustomTool* Add(TTeeCustomTool* Tool);
    // Raises EListError for an index outside 0..Count-1.
    TTeeCustomTool* Get(int Index) const { return static_cast<TTeeCustomTool*>(Items(Index)); }
    TTeeCustomTool* operator[](int Index) const { return Get(Index); }
    // Frees every tool.
    void Clear() override;
    TCustomAxisPanel* Owner() const { return FOwner; }

private:
    TCustomAxisPanel* FOwner;
};

// An editor window attached to a chart is told to redraw through this.
class TTeeCustomDesigner : public TObject {
    QM_CLASS(TTeeCustomDesigner)
public:
    virtual void Refresh() {}
    virtual void Repaint() {}
};
