// Shape series.
//   [settings]  construction, copies, corners, gallery
//   [geometry]  the shape rectangle in pixels, click test
//   [drawing]   outlines in 2D and 3D, gradient fill, text lines
#include "chart/control/series_shape.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TChartShape, TChartSeries, TComponent)

QM_PUBLISHED(TChartShape,
             Prop("Alignment", &Self::Alignment, &Self::SetAlignment).Default(taCenter),
             Prop("Brush", &Self::Brush), Prop("Font", &Self::Font, &Self::SetFont),
             Prop("Gradient", &Self::Gradient, &Self::SetGradient), Prop("Pen", &Self::Pen),
             Prop("SeriesColor", &Self::SeriesColor, &TChartSeries::SetSeriesColor)
                 .Default(clWhite)
                 .Idents("TColor"),
             Prop("RoundRectangle", &Self::RoundRectangle, &Self::SetRoundRectangle).Default(false),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(chasCircle),
             Prop("Text", &Self::Text, &Self::SetText),
             Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(false),
             Prop("VertAlign", &Self::VertAlign, &Self::SetVertAlign).Default(vaCenter),
             Prop("XYStyle", &Self::XYStyle, &Self::SetXYStyle).Default(xysAxis),
             Prop("X0", &Self::X0, &Self::SetX0), Prop("Y0", &Self::Y0, &Self::SetY0),
             Prop("X1", &Self::X1, &Self::SetX1), Prop("Y1", &Self::Y1, &Self::SetY1));

namespace {
int PixelTrunc(double V) {
    return SafeInt(std::trunc(V));
}
} // namespace

// [settings] -----------------------------------------------------------------

TChartShape::TChartShape(TComponent* AOwner) : TChartSeries(AOwner) {
    const TNotifyEvent changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FFont = std::make_unique<TTeeFont>(changed);
    FGradient = std::make_unique<TTeeGradient>(changed);
    auto text = std::make_unique<TStringList>();
    text->OnChange = [this](TObject*) { Repaint(); };
    FText = std::move(text);
    // The corners keep the order they were given in (a line runs from the first).
    XValues()->SetOrder(loNone);
    Brush()->SetColor(clWhite);
    TChartSeries::SetSeriesColor(clWhite);
    AddXY(0, 0);
    AddXY(100, 100);
}

TChartShape::~TChartShape() = default;

void TChartShape::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TChartShape*>(Source)) {
        FAlignment = s->FAlignment;
        FFont->Assign(s->FFont.get());
        FGradient->Assign(s->FGradient.get());
        FRoundRectangle = s->FRoundRectangle;
        FStyle = s->FStyle;
        FText->Assign(s->FText.get());
        FTransparent = s->FTransparent;
        FVertAlign = s->FVertAlign;
        FXYStyle = s->FXYStyle;
    }
    TChartSeries::Assign(Source);
}

void TChartShape::SetSeriesColor(TColor Value) {
    TChartSeries::SetSeriesColor(Value);
    Brush()->SetColor(Value);
}

void TChartShape::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Repaint();
}

void TChartShape::SetStyle(TChartShapeStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Repaint();
}

void TChartShape::SetVertAlign(TTeeVertAlign Value) {
    if (Value == FVertAlign) return;
    FVertAlign = Value;
    Repaint();
}

void TChartShape::SetXYStyle(TChartShapeXYStyle Value) {
    if (Value == FXYStyle) return;
    FXYStyle = Value;
    Repaint();
}

void TChartShape::SetText(TStrings* Value) {
    FText->Assign(Value);
}

double TChartShape::Corner(TChartValueList* List, int Index) {
    return Index < List->Count() ? List->Value(Index) : 0;
}

// Raises EListError when the series lacks the point.
void TChartShape::SetCorner(TChartValueList* List, int Index, double Value) {
    List->SetValueQuiet(Index, Value);
    List->SetModified(true);
    Repaint();
}

void TChartShape::SetShapeRectangle(const TRect& Rect) {
    SetXYStyle(xysPixels);
    SetX0(Rect.Left);
    SetY0(Rect.Top);
    SetX1(Rect.Right);
    SetY1(Rect.Bottom);
}

bool TChartShape::IsValidSourceOf(TChartSeries* Value) {
    return dynamic_cast<TChartShape*>(Value) != nullptr;
}

void TChartShape::CalcZOrder() {
    if (UseAxis()) TChartSeries::CalcZOrder();
}

void TChartShape::AddSampleValues(int NumValues) {
    const TRandomBounds b = RandomBounds(NumValues);
    if (b.StepX != 0) {
        AddXY(b.tmpX + b.StepX / 8, b.tmpY / 2);
        AddXY(b.tmpX + b.StepX - b.StepX / 8, b.tmpY + Random(SafeInt(std::nearbyint(b.DifY))));
    } else {
        AddXY(0, 0);
        AddXY(100, 100);
    }
}

void TChartShape::PrepareForGallery(bool IsEnabled) {
    TChartSeries::PrepareForGallery(IsEnabled);
    FFont->SetColor(clWhite);
    FFont->SetSize(12);
    FText->Clear();
    TCustomAxisPanel* chart = ParentChart();
    const bool second = chart && chart->SeriesCount() > 1 && chart->GetSeries(1) == this;
    SetStyle(second ? chasCircle : chasTriangle);
    SetSeriesColor(!IsEnabled ? TColor(0xC0C0C0) : second ? TColor(0xFF0000) : TColor(0xFF));
    FText->Add(second ? TeeMsg_ShapeGallery1 : TeeMsg_ShapeGallery2);
}

void TChartShape::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TChartSeries::CreateSubGallery(AddSubChart);
    for (const AnsiString* t :
         {&TeeMsg_Rectangle, &TeeMsg_VertLine, &TeeMsg_HorizLine, &TeeMsg_Ellipse, &TeeMsg_DownTri,
          &TeeMsg_Line, &TeeMsg_Diamond, &TeeMsg_Cube, &TeeMsg_Cross, &TeeMsg_DiagCross,
          &TeeMsg_Star, &TeeMsg_Pyramid, &TeeMsg_InvPyramid, &TeeMsg_Hollow})
        AddSubChart(*t);
}

void TChartShape::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TChartShape*>(Series);
    if (!s) return;
    static const TChartShapeStyle styles[] = {
        chasRectangle, chasVertLine, chasHorizLine,    chasCircle, chasInvertTriangle,
        chasLine,      chasDiamond,  chasCube,         chasCross,  chasDiagCross,
        chasStar,      chasPyramid,  chasInvertPyramid};
    if (Index >= 1 && Index <= 13)
        s->SetStyle(styles[Index - 1]);
    else if (Index == 14)
        s->SetTransparent(!s->Transparent());
    else
        TChartSeries::SetSubGallery(Series, Index);
}

// [geometry] -----------------------------------------------------------------

TRect TChartShape::GetShapeRectangle() {
    if (FXYStyle == xysPixels)
        return TRect(PixelTrunc(X0()), PixelTrunc(Y0()), PixelTrunc(X1()), PixelTrunc(Y1()));
    if (Count() < 2) return TRect(0, 0, 0, 0);
    if (FXYStyle == xysAxis) return TRect(CalcXPos(0), CalcYPos(0), CalcXPos(1), CalcYPos(1));
    const int left = CalcXPos(0), top = CalcYPos(0);
    return TRect(left, top, SafeInt(double(left) + PixelTrunc(X1())),
                 SafeInt(double(top) + PixelTrunc(Y1())));
}

TRect TChartShape::GetAdjustedRectangle() {
    TRect r = GetShapeRectangle();
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    if (r.Right == r.Left) ++r.Right;
    if (r.Bottom == r.Top) ++r.Bottom;
    return r;
}

// The ordered rectangle, as drawn, so reversed corners click like they draw;
// only the line keeps the corners as given.
int TChartShape::Clicked(int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() != 2) return -1;
    chart->Canvas()->Calculate2DPosition(X, Y, StartZ());
    const TPoint p(X, Y);
    const TRect r = GetAdjustedRectangle();
    int xc, yc;
    RectCenter(r, xc, yc);
    bool inside;
    switch (FStyle) {
    case chasCircle:
        inside = PointInEllipse(p, r);
        break;
    case chasVertLine:
        inside = PointInLine(p, xc, r.Top, xc, r.Bottom);
        break;
    case chasHorizLine:
        inside = PointInLine(p, r.Left, yc, r.Right, yc);
        break;
    case chasTriangle:
    case chasPyramid:
        inside = PointInTriangle(p, r.Left, r.Right, r.Bottom, r.Top);
        break;
    case chasInvertTriangle:
    case chasInvertPyramid:
        inside = PointInTriangle(p, r.Left, r.Right, r.Top, r.Bottom);
        break;
    case chasLine: {
        const TRect g = GetShapeRectangle();
        inside = PointInLine(p, g.Left, g.Top, g.Right, g.Bottom);
        break;
    }
    case chasDiamond: {
        const TPoint d[4] = {TPoint(r.Left, yc), TPoint(xc, r.Top), TPoint(r.Right, yc),
                             TPoint(xc, r.Bottom)};
        inside = PointInPolygon(p, d, 3);
        break;
    }
    default:
        inside = PointInRect(r, X, Y);
    }
    return inside ? 0 : -1;
}

// [drawing] ------------------------------------------------------------------

void TChartShape::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() != 2 || ValueIndex != 0) return;
    const TRect r = GetAdjustedRectangle();
    TRect common;
    if (!IntersectRect(common, r, chart->ChartRect())) return;
    const bool is3D = FXYStyle != xysPixels && chart->View3D();
    DrawShape(is3D, FStyle == chasLine ? GetShapeRectangle() : r);
    DrawText(r);
}

void TChartShape::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    (void)ValueIndex;
    DrawShape(false, Rect);
}

void TChartShape::DrawShape(bool Is3D, const TRect& R) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const int z0 = StartZ(), z1 = EndZ();
    canvas->AssignVisiblePen(Pen());
    if (FTransparent)
        canvas->Brush()->SetStyle(bsClear);
    else
        canvas->AssignBrush(Brush(), SeriesColor());
    canvas->SetBackMode(canvas->Brush()->Style() == bsClear ? cbmTransparent : cbmOpaque);

    if ((FStyle == chasRectangle || FStyle == chasCircle) && !FTransparent &&
        FGradient->Visible()) {
        const TRect g = Is3D ? canvas->CalcRect3D(R, z0) : R;
        if (FStyle == chasCircle) ClipEllipse(canvas, g);
        FGradient->Draw(canvas, g);
        if (FStyle == chasCircle) canvas->UnClipRectangle();
        canvas->Brush()->SetStyle(bsClear);
    }

    int xc, yc;
    RectCenter(R, xc, yc);
    const int l = R.Left, t = R.Top, r = R.Right, b = R.Bottom;
    auto line = [&](int x0, int y0, int x1, int y1) {
        if (Is3D)
            canvas->LineWithZ(x0, y0, x1, y1, z0);
        else
            canvas->Line(x0, y0, x1, y1);
    };
    auto triangle = [&](const TPoint& p0, const TPoint& p1, const TPoint& p2, bool Flat) {
        if (Flat) {
            const TPoint p[3] = {p0, p1, p2};
            canvas->Polygon(p, 2);
        } else {
            canvas->TriangleWithZ(p0, p1, p2, z0);
        }
    };
    switch (FStyle) {
    case chasRectangle:
        if (Is3D)
            canvas->RectangleWithZ(R, z0);
        else if (FRoundRectangle)
            canvas->RoundRect(R, 12, 12);
        else
            canvas->Rectangle(R);
        break;
    case chasCircle:
        if (Is3D)
            canvas->EllipseWithZ(l, t, r, b, z0);
        else
            canvas->Ellipse(R);
        break;
    case chasVertLine:
        line(xc, t, xc, b);
        break;
    case chasHorizLine:
        line(l, yc, r, yc);
        break;
    case chasTriangle:
        triangle(TPoint(l, b), TPoint(xc, t), TPoint(r, b), !Is3D);
        break;
    case chasInvertTriangle:
        triangle(TPoint(l, t), TPoint(xc, b), TPoint(r, t), !Is3D);
        break;
    case chasPyramid:
        if (Is3D)
            canvas->Pyramid(true, l, t, r, b, z0, z1, true);
        else
            triangle(TPoint(l, b), TPoint(xc, t), TPoint(r, b), true);
        break;
    case chasInvertPyramid:
        if (Is3D)
            canvas->Pyramid(true, l, b, r, t, z0, z1, true);
        else
            triangle(TPoint(l, t), TPoint(xc, b), TPoint(r, t), true);
        break;
    case chasLine:
        line(l, t, r, b);
        break;
    case chasDiamond: {
        const TPoint d[4] = {TPoint(l, yc), TPoint(xc, t), TPoint(r, yc), TPoint(xc, b)};
        if (Is3D)
            canvas->PlaneWithZ(d[0], d[1], d[2], d[3], z0);
        else
            canvas->Polygon(d, 3);
        break;
    }
    case chasCube:
        if (Is3D)
            canvas->Cube(R, z0, z1, true);
        else
            canvas->Rectangle(R);
        break;
    case chasCross:
    case chasDiagCross:
    case chasStar:
        if (FStyle != chasDiagCross) {
            line(xc, t, xc, b);
            line(l, yc, r, yc);
        }
        if (FStyle != chasCross) {
            line(l, t, r, b);
            line(l, b, r, t);
        }
        break;
    }
}

void TChartShape::DrawText(const TRect& R) {
    const int n = FText->Count();
    TCustomAxisPanel* chart = ParentChart();
    if (n == 0 || !chart) return;
    TCanvas3D* canvas = chart->Canvas();
    canvas->AssignFont(FFont.get());
    const int h = canvas->FontHeight();
    int xc, yc;
    RectCenter(R, xc, yc);
    int y = FVertAlign == vaTop      ? R.Top
            : FVertAlign == vaCenter ? yc - (n * h) / 2
                                     : R.Bottom - n * h;
    const int penWidth = Pen()->Visible() ? Pen()->Width() : 0;
    canvas->SetBackMode(cbmTransparent);
    canvas->SetTextAlign(TA_LEFT | TA_TOP);
    for (int i = 0; i < n; ++i, y += h) {
        const AnsiString& s = FText->Strings(i);
        const int w = canvas->TextWidth(s);
        const int x = FAlignment == taLeftJustify    ? R.Left + penWidth
                      : FAlignment == taRightJustify ? R.Right - w - penWidth
                                                     : xc - w / 2;
        if (FXYStyle != xysPixels)
            canvas->TextOut3D(x, y, StartZ(), s);
        else
            canvas->TextOut(x, y, s);
    }
}
