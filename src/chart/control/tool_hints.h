#pragma once
// Tools that point at data or add to the picture: the nearest-point marker,
// mark tips, the annotation box with its callout, a picture behind the series
// and the series animation.
#include "chart/control/chartparts.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teepointer.h"
#include "chart/engine/teetools.h"
#include <functional>
#include <memory>

class TPicture;

enum TNearestToolStyle { hsNone, hsCircle, hsRectangle, hsDiamond };
QM_ENUM_NAMES(TNearestToolStyle, hsNone, hsCircle, hsRectangle, hsDiamond)

class TNearestTool : public TTeeCustomToolSeries {
    QM_CLASS(TNearestTool)
public:
    explicit TNearestTool(TComponent* AOwner);
    AnsiString GetEditorClass() override { return "TNearestToolEdit"; }
    AnsiString Description() const override;
    void ChartEvent(TChartToolEvent AEvent) override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;
    int GetNearestPoint(int X, int Y);
    void PaintHint();

    bool DrawLine() const { return FDrawLine; }
    void SetDrawLine(bool Value) { SetBooleanProperty(FDrawLine, Value); }
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    int Size() const { return FSize; }
    void SetSize(int Value) { SetIntegerProperty(FSize, Value); }
    TNearestToolStyle Style() const { return FStyle; }
    void SetStyle(TNearestToolStyle Value);

    int Point = -1;
    TNotifyEvent OnChange;

private:
    bool FDrawLine = true;
    bool FFullRepaint = true;
    int FSize = 20;
    TNearestToolStyle FStyle = hsCircle;
    TPoint FMouse;
};

enum TMarkToolMouseAction { mtmMove, mtmClick };
QM_ENUM_NAMES(TMarkToolMouseAction, mtmMove, mtmClick)

class TMarksTipTool;
using TMarksTipGetText = std::function<void(TMarksTipTool* Sender, AnsiString& Text)>;

class TMarksTipTool : public TTeeCustomToolSeries {
    QM_CLASS(TMarksTipTool)
public:
    explicit TMarksTipTool(TComponent* AOwner) : TTeeCustomToolSeries(AOwner) {}
    AnsiString GetEditorClass() override { return "TMarksTipToolEdit"; }
    AnsiString Description() const override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;
    void SetActive(bool Value) override;

    TMarkToolMouseAction MouseAction() const { return FMouseAction; }
    void SetMouseAction(TMarkToolMouseAction Value);
    int GetMouseDelay() const;
    void SetMouseDelay(int Value);
    TSeriesMarksStyle Style() const { return FStyle; }
    void SetStyle(TSeriesMarksStyle Value) { FStyle = Value; }

    TMarksTipGetText OnGetText;

private:
    TCustomAxisPanel* Chart() const;
    void ClearHint();

    TMarkToolMouseAction FMouseAction = mtmMove;
    TSeriesMarksStyle FStyle = smsLabel;
};

enum TAnnotationPosition { ppLeftTop, ppLeftBottom, ppRightTop, ppRightBottom };
QM_ENUM_NAMES(TAnnotationPosition, ppLeftTop, ppLeftBottom, ppRightTop, ppRightBottom)

class TTeeShapePosition : public TTeeCustomShapePosition {
    QM_CLASS(TTeeShapePosition)
public:
    explicit TTeeShapePosition(TCustomTeePanel* AOwner = nullptr)
        : TTeeCustomShapePosition(AOwner) {}
};

class TAnnotationCallout : public TCallout {
    QM_CLASS(TAnnotationCallout)
public:
    explicit TAnnotationCallout(TChartSeries* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    int XPosition() const { return FX; }
    void SetXPosition(int Value) { SetPos(FX, Value); }
    int YPosition() const { return FY; }
    void SetYPosition(int Value) { SetPos(FY, Value); }
    int ZPosition() const { return FZ; }
    void SetZPosition(int Value) { SetPos(FZ, Value); }

private:
    void SetPos(int& Field, int Value);
    int FX = 0, FY = 0, FZ = 0;
};

class TAnnotationTool;
using TAnnotationClick = std::function<void(TAnnotationTool* Sender, TMouseButton Button,
                                            TShiftState Shift, int X, int Y)>;

class TAnnotationTool : public TTeeCustomTool {
    QM_CLASS(TAnnotationTool)
public:
    explicit TAnnotationTool(TComponent* AOwner);
    ~TAnnotationTool() override;
    AnsiString GetEditorClass() override { return "TAnnotationToolEdit"; }
    AnsiString Description() const override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    void ChartEvent(TChartToolEvent AEvent) override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;
    virtual AnsiString GetText();
    bool Clicked(int X, int Y) const;
    static TPoint CloserPoint(const TRect& R, const TPoint& P);

    TAnnotationCallout* Callout() const { return FCallout.get(); }
    void SetCallout(TAnnotationCallout* Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }
    TAnnotationPosition Position() const { return FPosition; }
    void SetPosition(TAnnotationPosition Value);
    TTeeShapePosition* Shape() const { return FShape.get(); }
    void SetShape(TTeeShapePosition* Value);
    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value) { SetStringProperty(FText, Value); }
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlign(TAlignment Value);
    void SetTextAlignment(TAlignment Value) { SetTextAlign(Value); }

    TAnnotationClick OnClick;

protected:
    void DrawText();

private:
    std::unique_ptr<TAnnotationCallout> FCallout;
    TCursor FCursor = crDefault;
    TAnnotationPosition FPosition = ppLeftTop;
    std::unique_ptr<TTeeShapePosition> FShape;
    AnsiString FText;
    TAlignment FTextAlignment = taLeftJustify;
};

class TChartImageTool : public TTeeCustomToolSeries {
    QM_CLASS(TChartImageTool)
public:
    explicit TChartImageTool(TComponent* AOwner);
    ~TChartImageTool() override;
    AnsiString GetEditorClass() override { return "TChartImageToolEditor"; }
    AnsiString Description() const override;
    void ChartEvent(TChartToolEvent AEvent) override;
    void SetSeries(TChartSeries* Value) override;
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value);

private:
    std::unique_ptr<TPicture> FPicture;
};

class TSeriesAnimationTool;
using TSeriesAnimationStep = std::function<void(TSeriesAnimationTool* Sender, int Step)>;

class TSeriesAnimationTool : public TTeeCustomToolSeries {
    QM_CLASS(TSeriesAnimationTool)
public:
    explicit TSeriesAnimationTool(TComponent* AOwner);
    ~TSeriesAnimationTool() override;
    AnsiString GetEditorClass() override { return "TSeriesAnimToolEditor"; }
    AnsiString Description() const override;
    void Execute();
    // Ends a run after its current step.
    void Stop() { FIdle = true; }
    bool Running() const { return !FIdle; }

    int DrawEvery() const { return FDrawEvery; }
    void SetDrawEvery(int Value) { FDrawEvery = Value; }
    bool StartAtMin() const { return FStartAtMin; }
    void SetStartAtMin(bool Value) { FStartAtMin = Value; }
    double StartValue() const { return FStartValue; }
    void SetStartValue(double Value) { FStartValue = Value; }
    int Steps() const { return FSteps; }
    void SetSteps(int Value) { FSteps = Value; }

    TSeriesAnimationStep OnStep;

private:
    int FDrawEvery = 0;
    bool FStartAtMin = true;
    double FStartValue = 0;
    int FSteps = 100;
    bool FIdle = true;
    std::unique_ptr<TChartSeries> FBackup;
};

// Registers the tools of this library with the chart's tool registry.
void TeeRegisterStandardTools();
void TeeUnRegisterStandardTools();
