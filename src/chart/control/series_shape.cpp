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
#include <initializer_list>
#include <span>
#include <vector>

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

// Tested in screen pixels against the outline as drawing projects it, rather
// than by bringing the mouse back into the series' plane: that undoes neither
// a turned view exactly nor a shape in pixels, which is drawn flat.
int TChartShape::Clicked(int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() != 2) return -1;
    const TRect r = GetAdjustedRectangle();
    if (!InPlot(r)) return -1;
    return HitShape(TPoint(X, Y), r) ? 0 : -1;
}

bool TChartShape::Drawn3D() {
    TCustomAxisPanel* chart = ParentChart();
    return FXYStyle != xysPixels && chart && chart->View3D();
}

bool TChartShape::InPlot(const TRect& R) {
    TRect common;
    return IntersectRect(common, R, ParentChart()->ChartRect());
}

// The ordered rectangle, as drawn, so reversed corners click like they draw;
// only the line keeps the corners as given. The single lines are hit on
// them; the crosses and the star, like every other style, in their rectangle.
bool TChartShape::HitShape(const TPoint& P, const TRect& R) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    const bool is3D = Drawn3D();
    const int z0 = StartZ(), z1 = EndZ();
    auto at = [&](int X, int Y, int Z) {
        return is3D ? canvas->Calculate3DPosition(X, Y, Z) : TPoint(X, Y);
    };
    auto in = [&](std::initializer_list<TPoint> Face) {
        return PointInPolygon(P, std::span(Face.begin(), Face.size()), int(Face.size()) - 1);
    };
    auto on = [&](int X0, int Y0, int X1, int Y1) {
        return PointInLine(P, at(X0, Y0, z0), at(X1, Y1, z0));
    };
    int xc, yc;
    RectCenter(R, xc, yc);
    const int l = R.Left, t = R.Top, r = R.Right, b = R.Bottom;
    switch (FStyle) {
    case chasCircle: {
        if (!is3D) return PointInEllipse(P, R);
        // The ring a turned view fills; it follows an upright one's ellipse too.
        std::vector<TPoint> ring = EllipseRing3D(l, t, r, b);
        for (TPoint& q : ring)
            q = at(q.x, q.y, z0);
        return PointInPolygon(P, ring, int(ring.size()) - 1);
    }
    case chasVertLine:
        return on(xc, t, xc, b);
    case chasHorizLine:
        return on(l, yc, r, yc);
    case chasLine: {
        const TRect g = GetShapeRectangle();
        return on(g.Left, g.Top, g.Right, g.Bottom);
    }
    case chasTriangle:
        return in({at(l, b, z0), at(xc, t, z0), at(r, b, z0)});
    case chasInvertTriangle:
        return in({at(l, t, z0), at(xc, b, z0), at(r, t, z0)});
    case chasPyramid:
    case chasInvertPyramid: {
        const int base = FStyle == chasPyramid ? b : t, tip = FStyle == chasPyramid ? t : b;
        if (!is3D) return in({at(l, base, z0), at(xc, tip, z0), at(r, base, z0)});
        // Its faces, the way the canvas builds the pyramid.
        const TPoint A = at(l, base, z0), B = at(r, base, z0), C = at(l, base, z1),
                     D = at(r, base, z1), apex = at((l + r) / 2, tip, (z0 + z1) / 2);
        return in({A, B, D, C}) || in({A, apex, B}) || in({A, apex, C}) || in({B, apex, D}) ||
               in({C, apex, D});
    }
    case chasDiamond:
        return in({at(l, yc, z0), at(xc, t, z0), at(r, yc, z0), at(xc, b, z0)});
    case chasCross:
    case chasDiagCross:
    case chasStar:
        // In the rectangle, and on the arms' last pixels drawn on its far edges.
        if ((FStyle != chasDiagCross && (on(xc, t, xc, b) || on(l, yc, r, yc))) ||
            (FStyle != chasCross && (on(l, t, r, b) || on(l, b, r, t))))
            return true;
        if (is3D) return in({at(l, t, z0), at(r, t, z0), at(r, b, z0), at(l, b, z0)});
        return PointInRect(R, P.x, P.y);
    case chasCube:
        if (is3D) {
            const TPoint f[4] = {at(l, t, z0), at(r, t, z0), at(r, b, z0), at(l, b, z0)};
            const TPoint k[4] = {at(l, t, z1), at(r, t, z1), at(r, b, z1), at(l, b, z1)};
            for (int i = 0, j = 3; i < 4; j = i++)
                if (in({f[j], f[i], k[i], k[j]})) return true;
            return in({f[0], f[1], f[2], f[3]}) || in({k[0], k[1], k[2], k[3]});
        }
        return PointInRect(R, P.x, P.y);
    default:
        if (is3D) return in({at(l, t, z0), at(r, t, z0), at(r, b, z0), at(l, b, z0)});
        return PointInRect(R, P.x, P.y);
    }
}

// [drawing] ------------------------------------------------------------------

void TChartShape::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || Count() != 2 || ValueIndex != 0) return;
    const TRect r = GetAdjustedRectangle();
    if (!InPlot(r)) return;
    DrawShape(Drawn3D(), FStyle == chasLine ? GetShapeRectangle() : r);
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
