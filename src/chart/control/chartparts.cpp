// Shapes with a position of their own, the title blocks and the wall objects.
#include "chart/control/chartparts.h"
#include "chart/control/chart.h"
#include "platform/classes/filer.h"
#include "platform/classes/props.h"
#include "platform/classes/stringlist.h"
#include <algorithm>

QM_CLASS_OWNED(TTeeCustomShapePosition, TTeeCustomShape, TCustomTeePanel)
QM_CLASS_OWNED(TChartTitle, TTeeCustomShapePosition, TCustomTeePanel)
QM_CLASS_OWNED(TChartFootTitle, TChartTitle, TCustomTeePanel)
QM_CLASS_OWNED(TCustomChartWall, TTeeCustomShape, TCustomTeePanel)
QM_CLASS_OWNED(TChartWall, TCustomChartWall, TCustomTeePanel)
QM_CLASS_OWNED(TChartBackWall, TChartWall, TCustomTeePanel)
QM_CLASS_OWNED(TChartRightWall, TChartWall, TCustomTeePanel)
QM_CLASS_PLAIN(TChartWalls, TPersistent)

QM_PUBLISHED(TTeeCustomShapePosition,
             Prop("CustomPosition", &Self::CustomPosition, &Self::SetCustomPosition).Default(false),
             Prop("Left", &Self::Left, &Self::SetLeft).Stored(&Self::IsPositionStored),
             Prop("Top", &Self::Top, &Self::SetTop).Stored(&Self::IsPositionStored));

QM_PUBLISHED(TChartTitle,
             Prop("AdjustFrame", &Self::AdjustFrame, &Self::SetAdjustFrame).Default(true),
             Prop("Alignment", &Self::Alignment, &Self::SetAlignment).Default(taCenter),
             QM_SHAPE_PROPS(true), Prop("Text", &Self::Text, &Self::SetText));

QM_PUBLISHED(
    TCustomChartWall, Prop("Brush", &Self::Brush, &Self::SetBrush),
    Prop("Color", &Self::Color, &Self::SetColor).Idents("TColor").Stored(&Self::IsColorStored),
    Prop("Dark3D", &Self::Dark3D, &Self::SetDark3D).Default(true),
    Prop("Gradient", &Self::Gradient, &Self::SetGradient), Prop("Pen", &Self::Pen, &Self::SetPen),
    Prop("Size", &Self::Size, &Self::SetSize).Default(0),
    Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
    Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(false),
    Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true));
// The back wall is made transparent.
QM_PUBLISHED(TChartBackWall,
             Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(true));
QM_PUBLISHED(TChartRightWall, Prop("Visible", &Self::Visible, &Self::SetVisible).Default(false));

QM_PUBLISHED(TChartWalls, Prop("Back", &Self::Back), Prop("Bottom", &Self::Bottom),
             Prop("Left", &Self::Left), Prop("Right", &Self::Right));

// ---------------------------------------------------------------------------

TTeeCustomShapePosition::TTeeCustomShapePosition(TCustomTeePanel* AOwner)
    : TTeeCustomShape(AOwner) {}

void TTeeCustomShapePosition::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TTeeCustomShapePosition*>(Source)) {
        FCustomPosition = s->FCustomPosition;
        if (FCustomPosition) SetShapeBounds(s->ShapeBounds());
    }
    TTeeCustomShape::Assign(Source);
}

void TTeeCustomShapePosition::SetCustomPosition(bool Value) {
    if (FCustomPosition == Value) return;
    FCustomPosition = Value;
    Repaint();
}

void TTeeCustomShapePosition::SetLeft(int Value) {
    TRect r = ShapeBounds();
    const int w = r.Width();
    r.Left = Value;
    r.Right = Value + w;
    SetShapeBounds(r);
    FCustomPosition = true;
    Repaint();
}

void TTeeCustomShapePosition::SetTop(int Value) {
    TRect r = ShapeBounds();
    const int h = r.Height();
    r.Top = Value;
    r.Bottom = Value + h;
    SetShapeBounds(r);
    FCustomPosition = true;
    Repaint();
}

// ---------------------------------------------------------------------------
// Titles.

TChartTitle::TChartTitle(TCustomTeePanel* AOwner)
    : TTeeCustomShapePosition(AOwner), FText(std::make_unique<TStringList>()) {
    SetTransparent(true);
    Font()->SetColor(static_cast<TColor>(0xFF0000));
    static_cast<TStringList*>(FText.get())->OnChange = [this](TObject*) { Repaint(); };
}

TChartTitle::~TChartTitle() = default;

void TChartTitle::Assign(TPersistent* Source) {
    if (auto* t = dynamic_cast<TChartTitle*>(Source)) {
        FAdjustFrame = t->FAdjustFrame;
        FAlignment = t->FAlignment;
        FText->Assign(t->FText.get());
    }
    TTeeCustomShapePosition::Assign(Source);
}

void TChartTitle::SetAdjustFrame(bool Value) {
    if (FAdjustFrame == Value) return;
    FAdjustFrame = Value;
    Repaint();
}

void TChartTitle::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Repaint();
}

void TChartTitle::SetText(TStrings* Value) {
    FText->Assign(Value);
}

AnsiString TChartTitle::Caption() const {
    return FText->Count() > 0 ? FText->Strings(0) : AnsiString();
}

void TChartTitle::SetCaption(const AnsiString& Value) {
    FText->SetText(Value);
}

bool TChartTitle::Clicked(int X, int Y) const {
    return Visible() && PtInRect(ShapeBounds(), TPoint(X, Y));
}

void TChartTitle::DrawTitle() {
    TCustomTeePanel* chart = ParentChart();
    if (!chart || !Visible() || FText->Count() == 0) return;
    TCanvas3D* canvas = chart->Canvas();

    int fw = (Pen()->Visible() && Pen()->Color() != clAutoColor) ? Pen()->Width() : 0;
    if (Bevel() != bvNone) fw = BevelWidth();

    TRect b = ShapeBounds();
    if (!CustomPosition()) {
        b = chart->ChartRect();
        if (FTop) b.Top += fw;
    }
    canvas->AssignFont(Font());
    const int fontH = canvas->FontHeight();
    const int n = FText->Count();
    if (!FTop && !CustomPosition())
        b.Top = b.Bottom - n * fontH;
    else
        b.Bottom = b.Top + n * fontH;
    if (!CustomPosition()) b = TRect(b.Left - fw, b.Top - fw, b.Right + fw, b.Bottom + fw);

    const int m = canvas->TextWidth("W");
    if (FAdjustFrame) {
        int widest = 0;
        for (int t = 0; t < n; ++t)
            widest = std::max(widest, canvas->TextWidth(FText->Strings(t)));
        const int w = widest + m + fw;
        if (FAlignment == taLeftJustify) {
            b.Right = b.Left + w;
        } else if (FAlignment == taRightJustify) {
            b.Left = b.Right - w;
        } else {
            if (CustomPosition()) b.Right = b.Left + w;
            const int centre = (b.Left + b.Right) / 2;
            b.Left = centre - w / 2;
            b.Right = centre + w / 2;
        }
    }
    SetShapeBounds(b);
    Draw();
    canvas->SetBackMode(cbmTransparent);
    // Placed by hand it is drawn after the series, whose marks leave texts centred.
    canvas->SetTextAlign(TA_LEFT | TA_TOP);

    for (int t = 0; t < n; ++t) {
        const AnsiString& line = FText->Strings(t);
        const int y = FTop ? b.Top + fw + t * fontH : b.Bottom - fontH - (t * fontH + fw);
        const int lw = canvas->TextWidth(line);
        int x;
        if (FAlignment == taLeftJustify)
            x = b.Left + m / 2;
        else if (FAlignment == taRightJustify)
            x = b.Right - lw - m / 2;
        else
            x = (b.Left + b.Right) / 2 - lw / 2;
        if (canvas->SupportsFullRotation())
            canvas->TextOut3D(x, y, 0, line);
        else
            canvas->TextOut(x, y, line);
    }

    if (!CustomPosition()) {
        int d = TeeTitleFootDistance + fw;
        if (!Transparent()) d += ShadowSize();
        TRect r = chart->ChartRect();
        if (FTop)
            r.Top = b.Bottom + d;
        else
            r.Bottom = b.Bottom - d - n * fontH;
        chart->SetChartRect(r);
        chart->ReCalcWidthHeight();
    }
}

TChartFootTitle::TChartFootTitle(TCustomTeePanel* AOwner) : TChartTitle(AOwner) {
    FTop = false;
    Font()->SetColor(clRed);
    Font()->SetStyle(TFontStyles{fsItalic});
}

// ---------------------------------------------------------------------------
// Walls.

TCustomChartWall::TCustomChartWall(TCustomTeePanel* AOwner) : TTeeCustomShape(AOwner) {
    SetColor(clAutoColor);
}

void TCustomChartWall::Assign(TPersistent* Source) {
    if (auto* w = dynamic_cast<TCustomChartWall*>(Source)) {
        FDark3D = w->FDark3D;
        FSize = w->FSize;
    }
    TTeeCustomShape::Assign(Source);
}

void TCustomChartWall::SetDark3D(bool Value) {
    if (FDark3D == Value) return;
    FDark3D = Value;
    Repaint();
}

void TCustomChartWall::SetSize(int Value) {
    if (FSize == Value) return;
    FSize = Value;
    Repaint();
}

TChartBackWall::TChartBackWall(TCustomTeePanel* AOwner) : TChartWall(AOwner) {}
TChartRightWall::TChartRightWall(TCustomTeePanel* AOwner) : TChartWall(AOwner) {}

TChartWalls::TChartWalls(TCustomChart* AChart)
    : FChart(AChart), FBack(std::make_unique<TChartBackWall>(AChart)),
      FBottom(std::make_unique<TChartWall>(AChart)), FLeft(std::make_unique<TChartWall>(AChart)),
      FRight(std::make_unique<TChartRightWall>(AChart)) {
    const auto made = [](TCustomChartWall* w, TColor c) {
        w->SetColor(c);
        w->SetDefaultColor(c);
    };
    made(FBack.get(), clSilver);
    FBack->SetTransparent(true);
    made(FLeft.get(), static_cast<TColor>(0x80FFFF));
    made(FBottom.get(), clWhite);
    made(FRight.get(), clSilver);
    FRight->SetVisible(false);
}

TChartWalls::~TChartWalls() = default;

void TChartWalls::Assign(TPersistent* Source) {
    auto* w = dynamic_cast<TChartWalls*>(Source);
    if (!w) {
        TPersistent::Assign(Source);
        return;
    }
    FBack->Assign(w->FBack.get());
    FBottom->Assign(w->FBottom.get());
    FLeft->Assign(w->FLeft.get());
    FRight->Assign(w->FRight.get());
}
