#pragma once
// Tools over the whole plot area: a coloured band between two axis values,
// alternating bands between grid lines, a draggable line at one axis value,
// and rotation of the 3D view with the mouse.
#include "chart/engine/teetools.h"
#include <functional>
#include <memory>

class TTeeGradient;

class TColorBandTool : public TTeeCustomToolAxis {
    QM_CLASS(TColorBandTool)
public:
    explicit TColorBandTool(TComponent* AOwner);
    ~TColorBandTool() override;
    AnsiString GetEditorClass() override { return "TColorBandToolEditor"; }
    AnsiString Description() const override;
    void ChartEvent(TChartToolEvent AEvent) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { SetColorProperty(FColor, Value); }
    bool DrawBehind() const { return FDrawBehind; }
    void SetDrawBehind(bool Value) { SetBooleanProperty(FDrawBehind, Value); }
    double StartValue() const { return FStartValue; }
    void SetStartValue(double Value) { SetDoubleProperty(FStartValue, Value); }
    double EndValue() const { return FEndValue; }
    void SetEndValue(double Value) { SetDoubleProperty(FEndValue, Value); }
    TTeeGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TTeeGradient* Value);
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value) { SetIntegerProperty(FTransparency, Value); }

protected:
    void PaintBand();

private:
    TColor FColor = clWhite;
    bool FDrawBehind = true;
    double FStartValue = 0;
    double FEndValue = 0;
    std::unique_ptr<TTeeGradient> FGradient;
    int FTransparency = 0;
};

class TGridBandBrush : public TChartBrush {
    QM_CLASS(TGridBandBrush)
public:
    explicit TGridBandBrush(TNotifyEvent ChangedEvent = nullptr);
    void Assign(TPersistent* Source) override;
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    int Transparency() const { return FTransparency; }
    void SetTransp(int Value);
    void SetTransparency(int Value) { SetTransp(Value); }

private:
    TColor FBackColor = clNone;
    int FTransparency = 0;
};

class TGridBandTool : public TTeeCustomToolAxis {
    QM_CLASS(TGridBandTool)
public:
    explicit TGridBandTool(TComponent* AOwner);
    ~TGridBandTool() override;
    AnsiString GetEditorClass() override { return "TGridBandToolEdit"; }
    AnsiString Description() const override;
    void SetAxis(TChartAxis* Value) override;

    TGridBandBrush* Band1() const { return FBand1.get(); }
    void SetBand1(TGridBandBrush* Value) { FBand1->Assign(Value); }
    TGridBandBrush* Band2() const { return FBand2.get(); }
    void SetBand2(TGridBandBrush* Value) { FBand2->Assign(Value); }
    TColor BandBackColor(TGridBandBrush* Band);

private:
    void DrawGrids(TObject* Sender);

    std::unique_ptr<TGridBandBrush> FBand1;
    std::unique_ptr<TGridBandBrush> FBand2;
};

enum TColorLineStyle { clCustom, clMaximum, clCenter, clMinimum };
QM_ENUM_NAMES(TColorLineStyle, clCustom, clMaximum, clCenter, clMinimum)

class TColorLineTool;
using TColorLineToolOnDrag = std::function<void(TColorLineTool* Sender)>;

class TColorLineTool : public TTeeCustomToolAxis {
    QM_CLASS(TColorLineTool)
public:
    explicit TColorLineTool(TComponent* AOwner) : TTeeCustomToolAxis(AOwner) {}
    AnsiString GetEditorClass() override { return "TColorLineToolEditor"; }
    AnsiString Description() const override;
    void ChartEvent(TChartToolEvent AEvent) override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;

    double CalcValue() const;
    double LimitValue(double Value) const;
    bool Clicked(int X, int Y);

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value) { FAllowDrag = Value; }
    bool DragRepaint() const { return FDragRepaint; }
    void SetDragRepaint(bool Value) { FDragRepaint = Value; }
    bool Draw3D() const { return FDraw3D; }
    void SetDraw3D(bool Value) { SetBooleanProperty(FDraw3D, Value); }
    bool DrawBehind() const { return FDrawBehind; }
    void SetDrawBehind(bool Value) { SetBooleanProperty(FDrawBehind, Value); }
    bool NoLimitDrag() const { return FNoLimitDrag; }
    void SetNoLimitDrag(bool Value) { FNoLimitDrag = Value; }
    TColorLineStyle Style() const { return FStyle; }
    void SetStyle(TColorLineStyle Value);
    double Value() const { return FValue; }
    void SetValue(double Value);
    bool Dragging() const { return FDragging; }

    TColorLineToolOnDrag OnDragLine;
    TColorLineToolOnDrag OnEndDragLine;

protected:
    virtual void DoEndDragLine();
    void DrawColorLine(bool Back);

private:
    bool FAllowDrag = true;
    bool FDragRepaint = false;
    bool FDraw3D = true;
    bool FDrawBehind = false;
    bool FNoLimitDrag = false;
    TColorLineStyle FStyle = clCustom;
    double FValue = 0;
    bool FDragging = false;
};

enum TRotateToolStyles { rsAll, rsRotation, rsElevation };
QM_ENUM_NAMES(TRotateToolStyles, rsAll, rsRotation, rsElevation)

class TRotateTool : public TTeeCustomTool {
    QM_CLASS(TRotateTool)
public:
    explicit TRotateTool(TComponent* AOwner);
    AnsiString GetEditorClass() override { return "TRotateToolEditor"; }
    AnsiString Description() const override;
    void ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift, int X,
                         int Y) override;

    // The limits of a canvas without full rotation, shared with the commander:
    // rotation stays in 0..90 or 270..360, elevation in 270..360.
    static int RotationChange(bool FullRotation, int Angle, int Change);
    static int ElevationChange(bool FullRotation, int Angle, int Change);

    TMouseButton Button() const { return FButton; }
    void SetButton(TMouseButton Value) { FButton = Value; }
    bool Inverted() const { return FInverted; }
    void SetInverted(bool Value) { FInverted = Value; }
    TRotateToolStyles Style() const { return FStyle; }
    void SetStyle(TRotateToolStyles Value) { FStyle = Value; }

    TNotifyEvent OnRotate;

private:
    void DrawWireBox();
    void Step(int X, int Y);

    TMouseButton FButton = mbLeft;
    bool FInverted = false;
    TRotateToolStyles FStyle = rsAll;
    bool FDragging = false;
    bool FFirstMove = false;
    bool FOldRepaint = false;
    int OldX = 0;
    int OldY = 0;
};
