#pragma once
// The framed parts a finished chart shows around its plotting area:
//   TTeeCustomShapePosition   a shape that may sit at a position of its own
//   TChartTitle, TChartFootTitle   the four text blocks      all in chartparts.cpp;
//   TCustomChartWall ... TChartWalls   the 3D walls          chart_walls.cpp draws them
#include "chart/engine/teeseries.h"
#include "chart/engine/teeshape.h"
#include "platform/classes/props.h"
#include <memory>

QM_ENUM_NAMES(TAlignment, taLeftJustify, taRightJustify, taCenter)

class TCustomChart;
class TStrings;

// What every framed box of the chart stores, for a class's QM_PUBLISHED list.
#define QM_SHAPE_PROPS(Transp)                                                                     \
    Prop("Bevel", &Self::Bevel, &Self::SetBevel).Default(bvNone),                                  \
        Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(2),                    \
        Prop("Brush", &Self::Brush, &Self::SetBrush),                                              \
        Prop("Color", &Self::Color, &Self::SetColor).Default(clWhite).Idents("TColor"),            \
        Prop("Font", &Self::Font, &Self::SetFont), Prop("Frame", &Self::Pen, &Self::SetPen),       \
        Prop("Gradient", &Self::Gradient, &Self::SetGradient),                                     \
        Prop("Shadow", &Self::Shadow, &Self::SetShadow),                                           \
        Prop("ShapeStyle", &Self::ShapeStyle, &Self::SetShapeStyle).Default(fosRectangle),         \
        Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),              \
        Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(Transp),            \
        Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true)

class TTeeCustomShapePosition : public TTeeCustomShape {
    QM_CLASS(TTeeCustomShapePosition)
public:
    explicit TTeeCustomShapePosition(TCustomTeePanel* AOwner = nullptr);
    void Assign(TPersistent* Source) override;

    bool CustomPosition() const { return FCustomPosition; }
    void SetCustomPosition(bool Value);
    int Left() const { return ShapeBounds().Left; }
    // Moves the bounds (keeping their size) and makes the position custom.
    void SetLeft(int Value);
    int Top() const { return ShapeBounds().Top; }
    void SetTop(int Value);
    bool IsPositionStored() const { return FCustomPosition; }

private:
    bool FCustomPosition = false;
};

class TChartTitle : public TTeeCustomShapePosition {
    QM_CLASS(TChartTitle)
public:
    explicit TChartTitle(TCustomTeePanel* AOwner = nullptr);
    ~TChartTitle() override;
    void Assign(TPersistent* Source) override;

    bool AdjustFrame() const { return FAdjustFrame; }
    void SetAdjustFrame(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStrings* Text() const { return FText.get(); }
    void SetText(TStrings* Value);
    // A single-line text.
    AnsiString Caption() const;
    void SetCaption(const AnsiString& Value);
    bool IsOnTop() const { return FTop; }

    // Visible and the point inside the title's bounds.
    bool Clicked(int X, int Y) const;
    // Draws the block and, unless custom-positioned, takes its room from ChartRect.
    void DrawTitle();

protected:
    bool FTop = true;

private:
    bool FAdjustFrame = true;
    TAlignment FAlignment = taCenter;
    std::unique_ptr<TStrings> FText;
};

class TChartFootTitle : public TChartTitle {
    QM_CLASS(TChartFootTitle)
public:
    explicit TChartFootTitle(TCustomTeePanel* AOwner = nullptr);
};

class TCustomChartWall : public TTeeCustomShape {
    QM_CLASS(TCustomChartWall)
public:
    explicit TCustomChartWall(TCustomTeePanel* AOwner = nullptr);
    void Assign(TPersistent* Source) override;

    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value);
    int Size() const { return FSize; }
    void SetSize(int Value);
    // Stored in a file only when it differs from the created colour.
    bool IsColorStored() const { return Color() != FDefaultColor; }
    void SetDefaultColor(TColor Value) { FDefaultColor = Value; }

private:
    bool FDark3D = true;
    int FSize = 0;
    TColor FDefaultColor = clAutoColor;
};

class TChartWall : public TCustomChartWall {
    QM_CLASS(TChartWall)
public:
    explicit TChartWall(TCustomTeePanel* AOwner = nullptr) : TCustomChartWall(AOwner) {}
};

class TChartBackWall : public TChartWall {
    QM_CLASS(TChartBackWall)
public:
    explicit TChartBackWall(TCustomTeePanel* AOwner = nullptr);
};

class TChartRightWall : public TChartWall {
    QM_CLASS(TChartRightWall)
public:
    explicit TChartRightWall(TCustomTeePanel* AOwner = nullptr);
};

class TChartWalls : public TPersistent {
    QM_CLASS(TChartWalls)
public:
    explicit TChartWalls(TCustomChart* AChart = nullptr);
    ~TChartWalls() override;
    void Assign(TPersistent* Source) override;

    TChartBackWall* Back() const { return FBack.get(); }
    TChartWall* Bottom() const { return FBottom.get(); }
    TChartWall* Left() const { return FLeft.get(); }
    TChartRightWall* Right() const { return FRight.get(); }
    TCustomChart* Chart() const { return FChart; }

private:
    TCustomChart* FChart;
    std::unique_ptr<TChartBackWall> FBack;
    std::unique_ptr<TChartWall> FBottom;
    std::unique_ptr<TChartWall> FLeft;
    std::unique_ptr<TChartRightWall> FRight;
};
