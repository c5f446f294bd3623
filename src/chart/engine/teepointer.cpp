// Series pointers, callouts and the marks' callout.
#include "chart/engine/teepointer.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeseries.h"
#include "platform/classes/props.h"
#include <array>

bool TeeCheckMarkArrowColor = false;

TSeriesPointer::TSeriesPointer(TChartSeries* AOwner) : FSeries(AOwner) {
    if (AOwner) SetParent(AOwner->ParentChart());
    FGradient = std::make_unique<TTeeGradient>(Changer());
}

TSeriesPointer::~TSeriesPointer() = default;

TCustomAxisPanel* TSeriesPointer::Chart() const {
    if (FSeries && FSeries->ParentChart()) return FSeries->ParentChart();
    return dynamic_cast<TCustomAxisPanel*>(ParentChart());
}

void TSeriesPointer::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TSeriesPointer*>(Source)) {
        FDark3D = p->FDark3D;
        FDraw3D = p->FDraw3D;
        FGradient->Assign(p->FGradient.get());
        FHorizSize = p->FHorizSize;
        FInflateMargins = p->FInflateMargins;
        FStyle = p->FStyle;
        FVertSize = p->FVertSize;
    }
    TTeeCustomShapeBrushPen::Assign(Source);
}

void TSeriesPointer::Repaint() {
    if (FSeries)
        FSeries->Repaint();
    else
        TTeeCustomShapeBrushPen::Repaint();
}

TCanvas3D* TSeriesPointer::ChartCanvas() const {
    TCustomAxisPanel* chart = Chart();
    return chart ? chart->Canvas() : nullptr;
}

bool TSeriesPointer::ChartView3D() const {
    TCustomAxisPanel* chart = Chart();
    return chart && chart->View3D();
}

void TSeriesPointer::SetDark3D(bool Value) {
    if (FDark3D != Value) {
        FDark3D = Value;
        Repaint();
    }
}

void TSeriesPointer::SetDraw3D(bool Value) {
    if (FDraw3D != Value) {
        FDraw3D = Value;
        Repaint();
    }
}

void TSeriesPointer::SetGradient(TTeeGradient* Value) {
    FGradient->Assign(Value);
}

void TSeriesPointer::CheckPointerSize(int Size) {
    if (Size < 1) throw ChartException(TeeMsg_CheckPointerSize);
}

void TSeriesPointer::SetHorizSize(int Value) {
    CheckPointerSize(Value);
    if (FHorizSize != Value) {
        FHorizSize = Value;
        Repaint();
    }
}

void TSeriesPointer::SetVertSize(int Value) {
    CheckPointerSize(Value);
    if (FVertSize != Value) {
        FVertSize = Value;
        Repaint();
    }
}

void TSeriesPointer::SetInflateMargins(bool Value) {
    if (FInflateMargins != Value) {
        FInflateMargins = Value;
        Repaint();
    }
}

void TSeriesPointer::SetStyle(TSeriesPointerStyle Value) {
    if (FStyle != Value) {
        FStyle = Value;
        Repaint();
    }
}

TColor TSeriesPointer::GetColor() const {
    return const_cast<TSeriesPointer*>(this)->Brush()->Color();
}

void TSeriesPointer::SetColor(TColor Value) {
    Brush()->SetColor(Value);
}

void TSeriesPointer::CalcHorizMargins(int& LeftMargin, int& RightMargin) const {
    if (Visible() && FInflateMargins) {
        LeftMargin = std::max(LeftMargin, FHorizSize + 1);
        RightMargin = std::max(RightMargin, FHorizSize + 1);
    }
}

void TSeriesPointer::CalcVerticalMargins(int& TopMargin, int& BottomMargin) const {
    if (Visible() && FInflateMargins) {
        TopMargin = std::max(TopMargin, FVertSize + 1);
        BottomMargin = std::max(BottomMargin, FVertSize + 1);
    }
}

int TSeriesPointer::GetStartZ() const {
    return FSeries ? FSeries->StartZ() : 0;
}

int TSeriesPointer::GetMiddleZ() const {
    return FSeries ? FSeries->MiddleZ() : 0;
}

int TSeriesPointer::GetEndZ() const {
    return FSeries ? FSeries->EndZ() : 0;
}

void TSeriesPointer::PrepareCanvas(TCanvas3D* ACanvas, TColor ColorValue) {
    if (!Pen()->Visible()) {
        if (ACanvas->Pen()->Style() != psClear) ACanvas->Pen()->SetStyle(psClear);
    } else if (Pen()->Color() == clAutoColor) {
        ACanvas->AssignVisiblePenColor(Pen(), ColorValue);
    } else {
        ACanvas->AssignVisiblePen(Pen());
    }
    TColor b = Brush()->Color();
    if (b == clAutoColor) b = Brush()->Style() != bsSolid ? clBlack : ColorValue;
    ACanvas->AssignBrushColor(Brush(), b, ColorValue);
}

void TSeriesPointer::PrepareCanvas() {
    if (TCanvas3D* canvas = ChartCanvas()) PrepareCanvas(canvas, GetColor());
}

void TSeriesPointer::Draw(int X, int Y) {
    Draw(X, Y, GetColor(), FStyle);
}

void TSeriesPointer::Draw(int X, int Y, TColor ColorValue, TSeriesPointerStyle AStyle) {
    if (TCanvas3D* canvas = ChartCanvas())
        DrawPointer(canvas, ChartView3D(), X, Y, FHorizSize, FVertSize, ColorValue, AStyle);
}

void TSeriesPointer::DrawPointer(TCanvas3D* ACanvas, bool Is3D, int px, int py, int tmpHoriz,
                                 int tmpVert, TColor ColorValue, TSeriesPointerStyle AStyle) {
    const int left = px - tmpHoriz, right = px + tmpHoriz;
    const int top = py - tmpVert, bottom = py + tmpVert;
    const int startZ = GetStartZ(), middleZ = GetMiddleZ(), endZ = GetEndZ();
    const auto polygon = [&](std::initializer_list<TPoint> points) {
        std::vector<TPoint> p(points);
        const int high = static_cast<int>(p.size()) - 1;
        if (Is3D)
            ACanvas->PolygonWithZ(p.data(), high, startZ);
        else
            ACanvas->Polygon(p.data(), high);
    };
    const auto cross = [&] {
        if (Is3D) {
            ACanvas->VertLine3D(px, top, bottom + 1, startZ);
            ACanvas->HorizLine3D(left, right + 1, py, startZ);
        } else {
            ACanvas->DoVertLine(px, top, bottom + 1);
            ACanvas->DoHorizLine(left, right + 1, py);
        }
    };
    const auto diagCross = [&] {
        if (Is3D) {
            ACanvas->LineWithZ(left, top, right + 1, bottom + 1, startZ);
            ACanvas->LineWithZ(right, top, left - 1, bottom + 1, startZ);
        } else {
            ACanvas->Line(left, top, right + 1, bottom + 1);
            ACanvas->Line(right, top, left - 1, bottom + 1);
        }
    };
    switch (AStyle) {
    case psRectangle:
        if (Is3D && FDraw3D)
            ACanvas->Cube(left, right, top, bottom, startZ, endZ, FDark3D);
        else if (Is3D)
            ACanvas->RectangleWithZ(TRect(left, top, right + 1, bottom + 1), startZ);
        else
            ACanvas->Rectangle(left, top, right + 1, bottom + 1);
        break;
    case psCircle:
        if (Is3D && FDraw3D && ACanvas->SupportsFullRotation())
            ACanvas->Sphere(px, py, middleZ, tmpHoriz);
        else if (Is3D)
            ACanvas->EllipseWithZ(left, top, right, bottom, startZ);
        else
            ACanvas->Ellipse(left, top, right, bottom);
        break;
    case psTriangle:
    case psDownTriangle: {
        const int d = AStyle == psTriangle ? tmpVert : -tmpVert;
        if (Is3D && FDraw3D)
            ACanvas->Pyramid(true, left, py - d, right, py + d, startZ, endZ, FDark3D);
        else
            polygon({TPoint(left, py + d), TPoint(right, py + d), TPoint(px, py - d)});
        break;
    }
    case psLeftTriangle:
        polygon({TPoint(left, py), TPoint(right, top), TPoint(right, bottom)});
        break;
    case psRightTriangle:
        polygon({TPoint(right, py), TPoint(left, top), TPoint(left, bottom)});
        break;
    case psCross:
        cross();
        break;
    case psDiagCross:
        diagCross();
        break;
    case psStar:
        cross();
        diagCross();
        break;
    case psDiamond:
        polygon({TPoint(left, py), TPoint(px, top), TPoint(right, py), TPoint(px, bottom)});
        break;
    case psSmallDot:
        if (Is3D)
            ACanvas->SetPixel3D(px, py, middleZ, ACanvas->Brush()->Color());
        else
            ACanvas->SetPixel(px, py, ACanvas->Brush()->Color());
        break;
    case psNothing:
        break;
    }
    if (FGradient->Visible())
        DrawGradient(ACanvas, Is3D, px, py, left, top, right, bottom, ColorValue, AStyle, startZ);
}

void TSeriesPointer::DrawGradient(TCanvas3D* ACanvas, bool Is3D, int px, int py, int Left, int Top,
                                  int Right, int Bottom, TColor ColorValue,
                                  TSeriesPointerStyle AStyle, int StartZ) {
    (void)px;
    (void)py;
    const int w = Pen()->Width();
    TRect r(Left + w, Top + w, Right, Bottom);
    // The end follows the point's colour on the drawing only: a paint stores nothing.
    TTeeGradient* gradient = FGradient.get();
    TTeeGradient following;
    if (!FixedGradientEnd && gradient->EndColor() != ColorValue) {
        following.Assign(gradient);
        following.SetEndColor(ColorValue);
        gradient = &following;
    }
    TCustomAxisPanel* chart = Chart();
    const bool orthogonal = !chart || chart->View3DOptions()->Orthogonal();
    if (Is3D && !orthogonal && AStyle == psRectangle) {
        r.Right -= w;
        r.Bottom -= w;
        const TFourPoints p = {TPoint(r.Left, r.Top), TPoint(r.Right, r.Top),
                               TPoint(r.Right, r.Bottom), TPoint(r.Left, r.Bottom)};
        gradient->Draw(ACanvas, p, StartZ);
        return;
    }
    if (Is3D) r = ACanvas->CalcRect3D(r, StartZ);
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    const auto clippedTriangle = [&](TPoint a, TPoint b, TPoint c) {
        const std::array<TPoint, 3> p = {a, b, c};
        ClipPolygon(ACanvas, p.data(), 3);
        gradient->Draw(ACanvas, RectFromPolygon(p.data(), 3));
        UnClipCanvas(ACanvas);
    };
    switch (AStyle) {
    case psRectangle:
        ClipCanvas(ACanvas, r);
        gradient->Draw(ACanvas, r);
        UnClipCanvas(ACanvas);
        break;
    case psCircle:
        ClipEllipse(ACanvas, r);
        gradient->Draw(ACanvas, r);
        UnClipCanvas(ACanvas);
        break;
    case psDiamond: {
        const TFourPoints p = {TPoint(r.Left, cy), TPoint(cx, r.Top), TPoint(r.Right, cy),
                               TPoint(cx, r.Bottom)};
        gradient->Draw(ACanvas, p);
        break;
    }
    case psTriangle:
        if (!(Is3D && FDraw3D))
            clippedTriangle(TPoint(r.Left, r.Bottom), TPoint(r.Right, r.Bottom), TPoint(cx, r.Top));
        break;
    case psDownTriangle:
        if (!(Is3D && FDraw3D))
            clippedTriangle(TPoint(r.Left, r.Top), TPoint(r.Right, r.Top), TPoint(cx, r.Bottom));
        break;
    case psLeftTriangle:
        clippedTriangle(TPoint(r.Left, cy), TPoint(r.Right, r.Top), TPoint(r.Right, r.Bottom));
        break;
    case psRightTriangle:
        clippedTriangle(TPoint(r.Right, cy), TPoint(r.Left, r.Top), TPoint(r.Left, r.Bottom));
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Callouts

TCallout::TCallout(TChartSeries* AOwner) : TSeriesPointer(AOwner) {
    FArrow = std::make_unique<TWhitePen>(Changer());
    Change3D(false);
    SetInflateMargins(true);
    ChangeStyle(psRectangle);
    SetVisible(true);
    Brush()->SetColor(clBlack);
    FixedGradientEnd = true;
}

TCallout::~TCallout() = default;

void TCallout::Assign(TPersistent* Source) {
    if (auto* c = dynamic_cast<TCallout*>(Source)) {
        FDistance = c->FDistance;
        FArrow->Assign(c->FArrow.get());
        FArrowHead = c->FArrowHead;
        FArrowHeadSize = c->FArrowHeadSize;
    }
    TSeriesPointer::Assign(Source);
}

void TCallout::SetArrow(TWhitePen* Value) {
    FArrow->Assign(Value);
}

void TCallout::SetArrowHead(TArrowHeadStyle Value) {
    if (FArrowHead != Value) {
        FArrowHead = Value;
        Repaint();
    }
}

void TCallout::SetArrowHeadSize(int Value) {
    if (FArrowHeadSize != Value) {
        FArrowHeadSize = Value;
        Repaint();
    }
}

void TCallout::SetDistance(int Value) {
    if (FDistance != Value) {
        FDistance = Value;
        Repaint();
    }
}

void TCallout::Draw(TColor AColor, const TPoint& AFrom, const TPoint& ATo, int Z) {
    TCustomAxisPanel* chart = Chart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const bool is3D = chart->View3D();
    if (FArrow->Visible()) {
        canvas->Brush()->SetStyle(bsClear);
        PrepareCanvas(canvas, GetColor());
        const TColor arrowColor = FArrow->Color();
        if (TeeCheckMarkArrowColor && (arrowColor == AColor || arrowColor == chart->Color()))
            canvas->AssignVisiblePenColor(FArrow.get(),
                                          chart->Color() == clBlack ? clWhite : clBlack);
        else
            canvas->AssignVisiblePen(FArrow.get());
        if (FArrowHead == ahLine || FArrowHead == ahSolid)
            canvas->Arrow(FArrowHead == ahSolid, ATo, AFrom, FArrowHeadSize, FArrowHeadSize, Z);
        else if (is3D)
            canvas->LineWithZ(AFrom, ATo, Z);
        else
            canvas->Line(AFrom, ATo);
    }
    if (FArrowHead == ahNone && Visible()) {
        PrepareCanvas(canvas, GetColor());
        const TPoint p = is3D ? canvas->Calculate3DPosition(AFrom, Z) : AFrom;
        DrawPointer(canvas, is3D, p.x, p.y, HorizSize(), VertSize(), GetColor(), Style());
    }
}

TMarksCallout::TMarksCallout(TChartSeries* AOwner) : TCallout(AOwner) {
    FLength = 8;
    SetVisible(false);
    Arrow()->SetColor(clWhite);
}

void TMarksCallout::Assign(TPersistent* Source) {
    if (auto* c = dynamic_cast<TMarksCallout*>(Source)) FLength = c->FLength;
    TCallout::Assign(Source);
}

void TMarksCallout::SetLength(int Value) {
    if (FSeries)
        FSeries->SetIntegerProperty(FLength, Value);
    else
        FLength = Value;
}

// ---------------------------------------------------------------------------

QM_CLASS_OWNED(TSeriesPointer, TTeeCustomShapeBrushPen, TChartSeries)
QM_CLASS_OWNED(TCallout, TSeriesPointer, TChartSeries)
QM_CLASS_OWNED(TMarksCallout, TCallout, TChartSeries)

QM_PUBLISHED(TSeriesPointer, Prop("Brush", &Self::Brush, &Self::SetBrush),
             Prop("Dark3D", &Self::Dark3D, &Self::SetDark3D).Default(true),
             Prop("Draw3D", &Self::Draw3D, &Self::SetDraw3D).Default(true),
             Prop("Gradient", &Self::Gradient, &Self::SetGradient),
             Prop("HorizSize", &Self::HorizSize, &Self::SetHorizSize).Default(4),
             Prop("InflateMargins", &Self::InflateMargins, &Self::SetInflateMargins).Default(true),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(psRectangle),
             Prop("VertSize", &Self::VertSize, &Self::SetVertSize).Default(4),
             Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true));

QM_PUBLISHED(TCallout, Prop("Arrow", &Self::Arrow, &Self::SetArrow),
             Prop("ArrowHead", &Self::ArrowHead, &Self::SetArrowHead).Default(ahNone),
             Prop("ArrowHeadSize", &Self::ArrowHeadSize, &Self::SetArrowHeadSize).Default(8),
             Prop("Distance", &Self::Distance, &Self::SetDistance).Default(0),
             Prop("Draw3D", &Self::Draw3D, &Self::SetDraw3D).Default(false));

QM_PUBLISHED(TMarksCallout, Prop("Length", &Self::Length, &Self::SetLength).Default(8),
             Prop("Visible", &Self::Visible, &Self::SetVisible).Default(false));
