#pragma once
// The cursor tool: a cross-hair over the plot area, kept in axis values,
// drawn in exclusive-or mode so that a move repaints only its own lines.
#include "chart/engine/teetools.h"
#include <functional>

enum TCursorToolStyle { cssHorizontal, cssVertical, cssBoth };
QM_ENUM_NAMES(TCursorToolStyle, cssHorizontal, cssVertical, cssBoth)

enum TCursorClicked { ccNone, ccHorizontal, ccVertical, ccBoth };

class TCursorTool;
using TCursorToolChangeEvent =
    std::function<void(TCursorTool* Sender, int x, int y, double XValue, double YValue,
                       TChartSeries* Series, int ValueIndex)>;
using TCursorToolGetAxisRect = std::function<void(TCursorTool* Sender, TRect& Rect)>;

class TCursorTool : public TTeeCustomToolSeries {
    QM_CLASS(TCursorTool)
public:
    explicit TCursorTool(TComponent* AOwner);

    AnsiString GetEditorClass() override { return "TCursorToolEditor"; }
    AnsiString Description() const override;
    void ChartEvent(TChartToolEvent AEvent) override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;
    void SetSeries(TChartSeries* Value) override;
    void SetActive(bool Value) override;

    TRect GetAxisRect();
    void CalcValuePositions(int X, int Y);
    void CalcScreenPositions();
    int NearestPoint(TCursorToolStyle AStyle, double& Difference);
    int SnapToPoint();
    TCursorClicked Clicked(int X, int Y);
    void RedrawCursor();

    bool FollowMouse() const { return FFollowMouse; }
    void SetFollowMouse(bool Value);
    bool Snap() const { return FSnap; }
    void SetSnap(bool Value);
    TCursorToolStyle Style() const { return FStyle; }
    void SetStyle(TCursorToolStyle Value);
    bool UseChartRect() const { return FUseChartRect; }
    void SetUseChartRect(bool Value);
    double XValue() const { return FXValue; }
    void SetXValue(double Value);
    double YValue() const { return FYValue; }
    void SetYValue(double Value);

    TCursorClicked Dragging = ccNone;
    int IXPosition = -1;
    int IYPosition = -1;
    TCursorToolChangeEvent OnChange;
    TCursorToolGetAxisRect OnGetAxisRect;

protected:
    virtual void Changed(int ValueIndex);
    void DoChange();

private:
    bool FFollowMouse = false;
    bool FOnScreen = false; // the exclusive-or lines are on the window now
    void EraseLines();
    void ShowLines();
    // Exclusive-or on the window; elsewhere in the pen's colour.
    void DrawLines(bool Exclusive);
    bool FSnap = false;
    TCursorToolStyle FStyle = cssBoth;
    bool FUseChartRect = false;
    double FXValue = 0;
    double FYValue = 0;
};
