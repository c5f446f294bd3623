#pragma once
// Framed boxes of a chart (titles, legend, axis titles, marks, walls), unit Teeprocs:
//   TTeeCustomShapeBrushPen   brush, pen, visibility and the owning panel
//   TTeeCustomShape           bevel, colour, font, shadow, gradient, corners,
//                             transparency and the drawing of the box
//   TTeeShape                 the published form
// Implemented in teeshape.cpp.
#include "chart/engine/teepanel.h"
#include <memory>

class TTeeCustomShapeBrushPen : public TPersistent {
    QM_CLASS(TTeeCustomShapeBrushPen)
public:
    TTeeCustomShapeBrushPen();
    ~TTeeCustomShapeBrushPen() override;
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

    virtual void SetParent(TCustomTeePanel* Value) { FParent = Value; }
    TCustomTeePanel* ParentChart() const { return FParent; }

    // Created on first read, of the class NewBrush gives.
    TChartBrush* Brush();
    void SetBrush(TChartBrush* Value) { Brush()->Assign(Value); }
    TChartPen* Pen() const { return FPen.get(); }
    void SetPen(TChartPen* Value) { FPen->Assign(Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    // Repaints the parent panel (when there is one).
    virtual void CanvasChanged(TObject* Sender);
    void Repaint();

protected:
    // The brush class of a descendant.
    virtual std::unique_ptr<TChartBrush> NewBrush();
    // Pens, brushes and fonts of the shape call this when they change.
    TNotifyEvent Changer();
    // A descendant that keeps its own pen kind replaces the default one.
    void ReplacePen(std::unique_ptr<TChartPen> APen) { FPen = std::move(APen); }

private:
    TCustomTeePanel* FParent = nullptr;
    std::unique_ptr<TChartBrush> FBrush;
    std::unique_ptr<TChartPen> FPen;
    bool FVisible = true;
};

enum TChartObjectShapeStyle { fosRectangle, fosRoundRectangle };
QM_ENUM_NAMES(TChartObjectShapeStyle, fosRectangle, fosRoundRectangle)

class TTeeCustomShape : public TTeeCustomShapeBrushPen {
    QM_CLASS(TTeeCustomShape)
public:
    explicit TTeeCustomShape(TCustomTeePanel* AOwner = nullptr);
    ~TTeeCustomShape() override;
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    TPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TTeeFont* Font() const { return FFont.get(); }
    void SetFont(TTeeFont* Value) { FFont->Assign(Value); }
    TTeeShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TTeeShadow* Value) { FShadow->Assign(Value); }
    TChartObjectShapeStyle ShapeStyle() const { return FShapeStyle; }
    void SetShapeStyle(TChartObjectShapeStyle Value);
    // Percent 0..100 (larger values are held at 100).
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Created on first read, of the class NewGradient gives; nullptr frees it.
    TTeeGradient* Gradient();
    void SetGradient(TTeeGradient* Value);
    TTeeGradient* GradientIfAny() const { return FGradient.get(); }
    TRect ShapeBounds() const { return FShapeBounds; }
    void SetShapeBounds(const TRect& Value) { FShapeBounds = Value; }
    TColor ShadowColor() const { return FShadow->Color(); }
    void SetShadowColor(TColor Value) { FShadow->SetColor(Value); }
    int ShadowSize() const { return FShadow->Size(); }
    void SetShadowSize(int Value) { FShadow->SetSize(Value); }

    // The box over ShapeBounds, upright and at depth 0.
    void Draw();
    // The box over R turned by Angle whole degrees, at depth Z.
    void DrawRectRotated(const TRect& Rect, int Angle = 0, int Z = 0);

protected:
    virtual std::unique_ptr<TTeeGradient> NewGradient();

private:
    void ReadShadowColor(TReader* Reader);
    void ReadShadowSize(TReader* Reader);

    TPanelBevel FBevel = bvNone;
    int FBevelWidth = 2;
    TColor FColor = clWhite;
    std::unique_ptr<TTeeFont> FFont;
    std::unique_ptr<TTeeShadow> FShadow;
    TChartObjectShapeStyle FShapeStyle = fosRectangle;
    int FTransparency = 0;
    bool FTransparent = false;
    std::unique_ptr<TTeeGradient> FGradient;
    TRect FShapeBounds;
};

class TTeeShape : public TTeeCustomShape {
    QM_CLASS(TTeeShape)
public:
    explicit TTeeShape(TCustomTeePanel* AOwner = nullptr) : TTeeCustomShape(AOwner) {}
};
