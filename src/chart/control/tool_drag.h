#pragma once
// Tools that the user drags: series marks, axis arrows that scroll their axis,
// and free lines drawn, selected, moved and reshaped over the chart.
#include "chart/engine/teetools.h"
#include "platform/classes/collections.h"
#include <functional>

class TSeriesMarkPosition;

class TDragMarksTool : public TTeeCustomToolSeries {
    QM_CLASS(TDragMarksTool)
public:
    explicit TDragMarksTool(TComponent* AOwner) : TTeeCustomToolSeries(AOwner) {}
    AnsiString GetEditorClass() override { return "TDragMarksToolEditor"; }
    AnsiString Description() const override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;

private:
    // The series whose mark is under (X, Y), and the mark's index.
    TChartSeries* FindMark(int X, int Y, bool VisibleOnly, int& Index);
    // The dragged mark's position, looked up each time: the series' marks may
    // have been cleared since the button went down.
    TSeriesMarkPosition* DraggedPosition() const;

    // The series of the mark being dragged, from the press until the release.
    TWatched<TChartSeries> FSeries;
    int FIndex = -1;
    int OldX = 0;
    int OldY = 0;
};

enum TAxisArrowToolPosition { aaStart, aaEnd, aaBoth };
QM_ENUM_NAMES(TAxisArrowToolPosition, aaStart, aaEnd, aaBoth)

class TAxisArrowTool;
using TAxisArrowClickEvent = std::function<void(TAxisArrowTool* Sender, bool AtStart)>;

class TAxisArrowTool : public TTeeCustomToolAxis {
    QM_CLASS(TAxisArrowTool)
public:
    explicit TAxisArrowTool(TComponent* AOwner) : TTeeCustomToolAxis(AOwner) {}
    AnsiString GetEditorClass() override { return "TAxisArrowToolEditor"; }
    AnsiString Description() const override;
    void ChartEvent(TChartToolEvent AEvent) override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;
    // -1 none, 0 the start arrow, 1 the end arrow.
    int ClickedArrow(int X, int Y) const;

    int Length() const { return FLength; }
    void SetLength(int Value) { SetIntegerProperty(FLength, Value); }
    TAxisArrowToolPosition Position() const { return FPosition; }
    void SetPosition(TAxisArrowToolPosition Value);
    int ScrollPercent() const { return FScrollPercent; }
    void SetScrollPercent(int Value) { FScrollPercent = Value; }
    bool ScrollInverted() const { return FScrollInverted; }
    void SetScrollInverted(bool Value) { FScrollInverted = Value; }

    TAxisArrowClickEvent OnClick;

private:
    void DoScroll(double Delta);

    int FLength = 16;
    TAxisArrowToolPosition FPosition = aaBoth;
    int FScrollPercent = 10;
    bool FScrollInverted = false;
};

enum TDrawLineStyle { dlLine, dlHorizParallel, dlVertParallel };
QM_ENUM_NAMES(TDrawLineStyle, dlLine, dlHorizParallel, dlVertParallel)

enum TDrawLineHandle { chNone, chStart, chEnd, chSeries };

struct TFloatPoint {
    double X = 0;
    double Y = 0;
};

class TDrawLineTool;

class TDrawLine : public TCollectionItem {
    QM_CLASS(TDrawLine)
public:
    explicit TDrawLine(TCollection* Collection);
    TDrawLine(TCollection* Collection, double X0, double Y0, double X1, double Y1);
    ~TDrawLine() override;
    void Assign(TPersistent* Source) override;

    TRect StartHandle() const;
    TRect EndHandle() const;
    void DrawHandles();
    TDrawLineTool* Tool() const;

    TDrawLineStyle Style() const { return FStyle; }
    void SetStyle(TDrawLineStyle Value);
    double X0() const { return StartPos.X; }
    void SetX0(double Value) { SetCoord(StartPos.X, Value); }
    double Y0() const { return StartPos.Y; }
    void SetY0(double Value) { SetCoord(StartPos.Y, Value); }
    double X1() const { return EndPos.X; }
    void SetX1(double Value) { SetCoord(EndPos.X, Value); }
    double Y1() const { return EndPos.Y; }
    void SetY1(double Value) { SetCoord(EndPos.Y, Value); }

    TFloatPoint StartPos;
    TFloatPoint EndPos;

private:
    void SetCoord(double& Field, double Value);
    TDrawLineStyle FStyle = dlLine;
};

class TDrawLines : public TOwnedCollection {
    QM_CLASS(TDrawLines)
public:
    explicit TDrawLines(TPersistent* AOwner);
    TDrawLine* Get(int Index) const { return static_cast<TDrawLine*>(Items(Index)); }
    void Put(int Index, TDrawLine* Value) { Get(Index)->Assign(Value); }
    TDrawLine* Last() const { return Count() ? Get(Count() - 1) : nullptr; }
};

// The class of the lines the tool creates.
extern TClass TeeDrawLineClass;

class TDrawLineTool;
using TDrawLineSelecting =
    std::function<void(TDrawLineTool* Sender, TDrawLine* Line, bool& AllowSelect)>;

class TDrawLineTool : public TTeeCustomToolSeries {
    QM_CLASS(TDrawLineTool)
public:
    explicit TDrawLineTool(TComponent* AOwner);
    ~TDrawLineTool() override;
    AnsiString GetEditorClass() override { return "TDrawLineEdit"; }
    AnsiString Description() const override;
    void ChartEvent(TChartToolEvent AEvent) override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;

    TPoint AxisPoint(const TFloatPoint& P) const;
    TFloatPoint ScreenPoint(const TPoint& P) const;
    void DrawLine(const TPoint& From, const TPoint& To, TDrawLineStyle AStyle);
    TDrawLine* Clicked(int X, int Y);
    void DeleteSelected();

    TMouseButton Button() const { return FButton; }
    void SetButton(TMouseButton Value) { FButton = Value; }
    bool EnableDraw() const { return FEnableDraw; }
    void SetEnableDraw(bool Value) { FEnableDraw = Value; }
    bool EnableSelect() const { return FEnableSelect; }
    void SetEnableSelect(bool Value);
    TDrawLines* Lines() const { return FLines.get(); }
    void SetLines(TDrawLines* Value) { FLines->Assign(Value); }
    TDrawLine* Selected() const { return FSelected; }
    void SetSelected(TDrawLine* Value);

    bool Drawing = false;
    TDrawLineHandle Handle = chNone;
    TPoint FromPoint;
    TPoint ToPoint;
    int OldX = 0;
    int OldY = 0;

    TNotifyEvent OnDraggedLine;
    TNotifyEvent OnDragLine;
    TNotifyEvent OnNewLine;
    TNotifyEvent OnSelect;
    TDrawLineSelecting OnSelecting;

protected:
    virtual void ClipDrawingRegion();
    void RedrawLine(TDrawLine* Line);

private:
    friend class TDrawLine;
    bool HitLine(TDrawLine* Line, const TPoint& P, TDrawLineHandle Kind);
    TDrawLine* InternalClicked(int X, int Y, TDrawLineHandle Kind);
    TPoint To2D(int X, int Y) const;

    TMouseButton FButton = mbLeft;
    bool FEnableDraw = true;
    bool FEnableSelect = true;
    std::unique_ptr<TDrawLines> FLines;
    TDrawLine* FSelected = nullptr;
};
