#include "chart/engine/teeshape.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/filer.h"
#include "platform/classes/props.h"
#include <algorithm>

QM_CLASS_ABSTRACT(TTeeCustomShapeBrushPen, TPersistent)
QM_CLASS_OWNED(TTeeCustomShape, TTeeCustomShapeBrushPen, TCustomTeePanel)
QM_CLASS_OWNED(TTeeShape, TTeeCustomShape, TCustomTeePanel)

QM_PUBLISHED(TTeeShape, Prop("Bevel", &Self::Bevel, &Self::SetBevel).Default(bvNone),
             Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(2),
             Prop("Color", &Self::Color, &Self::SetColor).Default(clWhite).Idents("TColor"),
             Prop("Font", &Self::Font, &Self::SetFont),
             Prop("Gradient", &Self::Gradient, &Self::SetGradient),
             Prop("Shadow", &Self::Shadow, &Self::SetShadow),
             Prop("ShapeStyle", &Self::ShapeStyle, &Self::SetShapeStyle).Default(fosRectangle),
             Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(false));

// ---------------------------------------------------------------------------
// Brush, pen and visibility.

TTeeCustomShapeBrushPen::TTeeCustomShapeBrushPen() : FPen(std::make_unique<TChartPen>(Changer())) {}

TTeeCustomShapeBrushPen::~TTeeCustomShapeBrushPen() = default;

TNotifyEvent TTeeCustomShapeBrushPen::Changer() {
    return [this](TObject* Sender) { CanvasChanged(Sender); };
}

std::unique_ptr<TChartBrush> TTeeCustomShapeBrushPen::NewBrush() {
    return std::make_unique<TChartBrush>();
}

TChartBrush* TTeeCustomShapeBrushPen::Brush() {
    if (!FBrush) {
        FBrush = NewBrush();
        FBrush->OnChange = Changer();
    }
    return FBrush.get();
}

TPersistent* TTeeCustomShapeBrushPen::GetOwner() {
    return FParent;
}

void TTeeCustomShapeBrushPen::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Repaint();
}

void TTeeCustomShapeBrushPen::CanvasChanged(TObject*) {
    Repaint();
}

void TTeeCustomShapeBrushPen::Repaint() {
    if (FParent) FParent->Invalidate();
}

void TTeeCustomShapeBrushPen::Assign(TPersistent* Source) {
    auto* shape = dynamic_cast<TTeeCustomShapeBrushPen*>(Source);
    if (!shape) {
        TPersistent::Assign(Source);
        return;
    }
    Brush()->Assign(shape->Brush());
    FPen->Assign(shape->FPen.get());
    SetVisible(shape->FVisible);
}

// ---------------------------------------------------------------------------
// The box.

TTeeCustomShape::TTeeCustomShape(TCustomTeePanel* AOwner)
    : FFont(std::make_unique<TTeeFont>(Changer())), FShadow(std::make_unique<TTeeShadow>()) {
    // A box's drop shadow: black, 3 pixels (also what streams leave out).
    FShadow->SetDefaults(clBlack, 3);
    FShadow->OnChange = Changer();
    SetParent(AOwner);
}

TTeeCustomShape::~TTeeCustomShape() = default;

std::unique_ptr<TTeeGradient> TTeeCustomShape::NewGradient() {
    return std::make_unique<TTeeGradient>();
}

TTeeGradient* TTeeCustomShape::Gradient() {
    if (!FGradient) {
        FGradient = NewGradient();
        FGradient->OnChange = Changer();
    }
    return FGradient.get();
}

void TTeeCustomShape::SetGradient(TTeeGradient* Value) {
    if (!Value) {
        if (!FGradient) return;
        FGradient.reset();
        Repaint();
    } else if (Value != FGradient.get()) {
        Gradient()->Assign(Value);
    }
}

void TTeeCustomShape::SetBevel(TPanelBevel Value) {
    if (FBevel == Value) return;
    FBevel = Value;
    Repaint();
}

void TTeeCustomShape::SetBevelWidth(int Value) {
    if (FBevelWidth == Value) return;
    FBevelWidth = Value;
    Repaint();
}

void TTeeCustomShape::SetColor(TColor Value) {
    if (ParentChart())
        ParentChart()->SetColorProperty(FColor, Value);
    else
        FColor = Value;
}

void TTeeCustomShape::SetShapeStyle(TChartObjectShapeStyle Value) {
    if (FShapeStyle == Value) return;
    FShapeStyle = Value;
    Repaint();
}

void TTeeCustomShape::SetTransparency(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (FTransparency == Value) return;
    FTransparency = Value;
    Repaint();
}

void TTeeCustomShape::SetTransparent(bool Value) {
    if (ParentChart())
        ParentChart()->SetBooleanProperty(FTransparent, Value);
    else
        FTransparent = Value;
}

void TTeeCustomShape::Assign(TPersistent* Source) {
    if (auto* shape = dynamic_cast<TTeeCustomShape*>(Source)) {
        FBevel = shape->FBevel;
        FBevelWidth = shape->FBevelWidth;
        FColor = shape->FColor;
        FFont->Assign(shape->FFont.get());
        SetGradient(shape->FGradient.get());
        FShapeStyle = shape->FShapeStyle;
        FShadow->Assign(shape->FShadow.get());
        FTransparency = shape->FTransparency;
        FTransparent = shape->FTransparent;
    }
    TTeeCustomShapeBrushPen::Assign(Source);
}

void TTeeCustomShape::ReadShadowColor(TReader* Reader) {
    if (Reader->NextValue() == vaIdent) {
        TColor color;
        const AnsiString ident = Reader->ReadIdent();
        if (!IdentToColor(ident, color)) throw EReadError("Invalid property value: " + ident);
        FShadow->SetColor(color);
    } else {
        FShadow->SetColor(Reader->ReadInteger());
    }
}

void TTeeCustomShape::ReadShadowSize(TReader* Reader) {
    FShadow->SetSize(Reader->ReadInteger());
}

void TTeeCustomShape::DefineProperties(TFiler* Filer) {
    TTeeCustomShapeBrushPen::DefineProperties(Filer);
    Filer->DefineProperty(
        "ShadowColor", [this](TReader* Reader) { ReadShadowColor(Reader); }, nullptr, false);
    Filer->DefineProperty(
        "ShadowSize", [this](TReader* Reader) { ReadShadowSize(Reader); }, nullptr, false);
}

void TTeeCustomShape::Draw() {
    DrawRectRotated(FShapeBounds, 0, 0);
}

void TTeeCustomShape::DrawRectRotated(const TRect& Rect, int Angle, int Z) {
    if (FTransparent || !ParentChart()) return;
    TCanvas3D* canvas = ParentChart()->Canvas();

    auto figure = [&](const TRect& R) {
        if (Angle < 1) {
            if (canvas->SupportsFullRotation())
                canvas->RectangleWithZ(R, Z);
            else if (FShapeStyle == fosRoundRectangle)
                canvas->RoundRect(R, 16, 16);
            else
                canvas->Rectangle(R);
        } else {
            TFourPoints p;
            RectToFourPoints(R, Angle, p);
            canvas->Polygon(p.data(), 3);
        }
    };
    auto bounding = [&](const TRect& R) {
        if (Angle == 0) return R;
        TFourPoints p;
        RectToFourPoints(R, Angle, p);
        return RectFromPolygon(p.data(), 4);
    };

    const bool drawShadow =
        FShadow->Size() != 0 && Brush()->Style() != bsClear && !canvas->SupportsFullRotation();
    int h = FShadow->HorizSize();
    int v = FShadow->VertSize();
    if (drawShadow && std::max(h, v) > 0 && Pen()->Visible()) {
        h += Pen()->Width();
        v += Pen()->Width();
    }
    TRect shadowRect = Rect;
    OffsetRect(shadowRect, h, v);

    // A see-through box lets its shadow show through as well, so the blend
    // covers the shadow too.
    TTeeBlend* blend = nullptr;
    if (FTransparency > 0) {
        TRect area = bounding(Rect);
        if (drawShadow) UnionRect(area, area, bounding(shadowRect));
        blend = canvas->BeginBlending(area, FTransparency);
    }
    TTeeFinally endBlend([&] {
        if (blend) canvas->EndBlending(blend);
    });
    if (drawShadow) {
        canvas->Pen()->SetStyle(psClear);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(FShadow->Color());
        // The shadow's own see-through works on a blend of its own, so the
        // box's blend keeps the box's transparency.
        std::unique_ptr<TTeeBlend> shadowBlend;
        if (FShadow->Transparency() > 0)
            shadowBlend = std::make_unique<TTeeBlend>(canvas, bounding(shadowRect));
        figure(shadowRect);
        if (shadowBlend) shadowBlend->DoBlend(FShadow->Transparency());
    }

    if (FGradient && FGradient->Visible()) {
        if (Angle < 1) {
            FGradient->Draw(canvas, Rect, FShapeStyle == fosRoundRectangle ? 16 : 0);
        } else {
            TFourPoints p;
            RectToFourPoints(Rect, Angle, p);
            FGradient->Draw(canvas, p);
        }
        canvas->Brush()->SetStyle(bsClear);
    } else {
        canvas->AssignBrush(Brush(), FColor);
    }
    canvas->AssignVisiblePen(Pen());
    figure(Rect);
    if (Angle == 0) {
        TRect r = Rect;
        DrawBevel(canvas, FBevel, r, 0, FBevelWidth);
    }
}
