// Contents:
//   TColorBandTool    a band between two values of an axis
//   TGridBandBrush, TGridBandTool   alternating bands between grid lines
//   TColorLineTool    a line at one axis value, dragged with the mouse
//   TRotateTool       rotation and elevation of the 3D view by mouse drags
#include "chart/control/tool_bands.h"

#include "chart/control/chart.h"
#include "chart/control/chartparts.h"
#include "chart/control/teeproco.h"
#include "chart/engine/teeaxis.h"
#include "platform/graphics/cursors.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cstdlib>

QM_CLASS_OWNED(TColorBandTool, TTeeCustomToolAxis, TComponent)
QM_CLASS_PLAIN(TGridBandBrush, TChartBrush)
QM_CLASS_OWNED(TGridBandTool, TTeeCustomToolAxis, TComponent)
QM_CLASS_OWNED(TColorLineTool, TTeeCustomToolAxis, TComponent)
QM_CLASS_OWNED(TRotateTool, TTeeCustomTool, TComponent)

QM_PUBLISHED(TColorBandTool, Prop("Brush", &Self::Brush, &Self::SetBrush),
             Prop("Color", &Self::Color, &Self::SetColor).Default(clWhite).Idents("TColor"),
             Prop("DrawBehind", &Self::DrawBehind, &Self::SetDrawBehind).Default(true),
             Prop("EndValue", &Self::EndValue, &Self::SetEndValue),
             Prop("Gradient", &Self::Gradient, &Self::SetGradient),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("StartValue", &Self::StartValue, &Self::SetStartValue),
             Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0));
QM_PUBLISHED(
    TGridBandBrush,
    Prop("BackColor", &Self::BackColor, &Self::SetBackColor).Default(clNone).Idents("TColor"),
    Prop("Transparency", &Self::Transparency, &Self::SetTransp).Default(0));
QM_PUBLISHED(TGridBandTool, Prop("Band1", &Self::Band1, &Self::SetBand1),
             Prop("Band2", &Self::Band2, &Self::SetBand2));
QM_PUBLISHED(TColorLineTool, Prop("AllowDrag", &Self::AllowDrag, &Self::SetAllowDrag).Default(true),
             Prop("DragRepaint", &Self::DragRepaint, &Self::SetDragRepaint).Default(false),
             Prop("Draw3D", &Self::Draw3D, &Self::SetDraw3D).Default(true),
             Prop("DrawBehind", &Self::DrawBehind, &Self::SetDrawBehind).Default(false),
             Prop("NoLimitDrag", &Self::NoLimitDrag, &Self::SetNoLimitDrag).Default(false),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(clCustom),
             Prop("Value", &Self::Value, &Self::SetValue), Prop("OnDragLine", &Self::OnDragLine),
             Prop("OnEndDragLine", &Self::OnEndDragLine));
QM_PUBLISHED(TRotateTool, Prop("Button", &Self::Button, &Self::SetButton).Default(mbLeft),
             Prop("Inverted", &Self::Inverted, &Self::SetInverted).Default(false),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(rsAll),
             Prop("OnRotate", &Self::OnRotate));

// ---------------------------------------------------------------------------
// TColorBandTool

TColorBandTool::TColorBandTool(TComponent* AOwner)
    : TTeeCustomToolAxis(AOwner),
      FGradient(std::make_unique<TTeeGradient>([this](TObject*) { Repaint(); })) {}

TColorBandTool::~TColorBandTool() = default;

AnsiString TColorBandTool::Description() const {
    return TeeMsg_ColorBandTool;
}

void TColorBandTool::SetGradient(TTeeGradient* Value) {
    FGradient->Assign(Value);
}

void TColorBandTool::ChartEvent(TChartToolEvent AEvent) {
    TTeeCustomToolAxis::ChartEvent(AEvent);
    if ((AEvent == cteBeforeDrawSeries && FDrawBehind) || (AEvent == cteAfterDraw && !FDrawBehind))
        PaintBand();
}

void TColorBandTool::PaintBand() {
    TChartAxis* a = Axis();
    TCustomAxisPanel* chart = ParentChart();
    if (!a || !chart) return;
    double s = FStartValue, e = FEndValue;
    if (a->Inverted() ? s < e : s > e) std::swap(s, e);
    const bool overlaps = a->Inverted() ? (e <= a->Maximum() && s >= a->Minimum())
                                        : (s <= a->Maximum() && e >= a->Minimum());
    if (!overlaps) return;
    TRect r = chart->ChartRect();
    const int z = FDrawBehind ? chart->Width3D() : 0;
    const bool noPen = !Pen()->Visible();
    if (a->Horizontal()) {
        r.Left = std::max(a->IStartPos, a->CalcPosValue(s));
        r.Right = std::min(a->IEndPos, a->CalcPosValue(e));
        if (noPen) ++r.Right;
    } else {
        r.Top = std::max(a->IStartPos, a->CalcPosValue(e));
        r.Bottom = std::min(a->IEndPos, a->CalcPosValue(s));
        ++r.Left;
        if (noPen) ++r.Bottom, ++r.Right;
    }
    TCanvas3D* c = chart->Canvas();
    c->AssignBrush(Brush(), FColor);
    c->AssignVisiblePen(Pen());
    if (FGradient->Visible() && chart->View3DOptions()->Orthogonal()) {
        FGradient->Draw(c, c->CalcRect3D(TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), z));
        c->Brush()->SetStyle(bsClear);
    }
    const auto draw = [&] {
        if (chart->View3D())
            c->RectangleWithZ(r, z);
        else
            c->Rectangle(r);
    };
    if (FTransparency == 0) {
        draw();
        return;
    }
    TTeeBlend* blend =
        c->BeginBlending(chart->View3D() ? c->RectFromRectZ(r, z) : r, FTransparency);
    draw();
    c->EndBlending(blend);
}

// ---------------------------------------------------------------------------
// TGridBandBrush, TGridBandTool

TGridBandBrush::TGridBandBrush(TNotifyEvent ChangedEvent) : TChartBrush(std::move(ChangedEvent)) {}

void TGridBandBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TGridBandBrush*>(Source)) {
        FBackColor = b->FBackColor;
        FTransparency = b->FTransparency;
    }
    TChartBrush::Assign(Source);
}

void TGridBandBrush::SetBackColor(TColor Value) {
    if (FBackColor == Value) return;
    FBackColor = Value;
    Changed();
}

void TGridBandBrush::SetTransp(int Value) {
    if (FTransparency == Value) return;
    FTransparency = Value;
    Changed();
}

TGridBandTool::TGridBandTool(TComponent* AOwner)
    : TTeeCustomToolAxis(AOwner),
      FBand1(std::make_unique<TGridBandBrush>([this](TObject*) { Repaint(); })),
      FBand2(std::make_unique<TGridBandBrush>([this](TObject*) { Repaint(); })) {}

TGridBandTool::~TGridBandTool() {
    if (Axis()) Axis()->OnDrawGrids = nullptr;
}

AnsiString TGridBandTool::Description() const {
    return TeeMsg_GridBandTool;
}

void TGridBandTool::SetAxis(TChartAxis* Value) {
    if (Axis()) Axis()->OnDrawGrids = nullptr;
    TTeeCustomToolAxis::SetAxis(Value);
    if (Value) Value->OnDrawGrids = [this](TObject* Sender) { DrawGrids(Sender); };
}

TColor TGridBandTool::BandBackColor(TGridBandBrush* Band) {
    if (Band->BackColor() != clNone) return Band->BackColor();
    auto* chart = dynamic_cast<TCustomChart*>(ParentChart());
    return chart ? chart->BackWall()->Color() : clWhite;
}

void TGridBandTool::DrawGrids(TObject* Sender) {
    auto* a = dynamic_cast<TChartAxis*>(Sender);
    TCustomAxisPanel* chart = ParentChart();
    if (!Active() || !a || !chart) return;
    const TAxisTicks& t = a->Tick;
    const int n = static_cast<int>(t.size()) - 1;
    const bool clear1 = FBand1->Style() == bsClear, clear2 = FBand2->Style() == bsClear;
    if ((n < 1 || clear1) && clear2) return;
    if (n < 0) return;
    TCanvas3D* c = chart->Canvas();
    const TRect cr = chart->ChartRect();
    // The axis draws its grid lines with this pen right after the bands.
    const TPenStyle gridStyle = c->Pen()->Style();
    c->Pen()->SetStyle(psClear);
    TGridBandBrush* current = FBand1.get();
    const auto band = [&](int A, int B, TGridBandBrush* Brush) {
        if (Brush->Style() == bsClear) return;
        c->AssignBrushColor(Brush, Brush->Color(), BandBackColor(Brush));
        if (A > B) std::swap(A, B);
        TRect r = a->Horizontal() ? TRect(A, cr.Top, B, cr.Bottom)
                                  : TRect(cr.Left + 1, A, cr.Right, B + 1);
        std::unique_ptr<TTeeBlend> blend;
        if (Brush->Transparency() != 0)
            blend = std::make_unique<TTeeBlend>(
                c, chart->View3D() ? c->RectFromRectZ(r, chart->Width3D()) : r);
        if (chart->View3D()) {
            c->RectangleWithZ(r, chart->Width3D());
        } else {
            ++r.Right;
            c->Rectangle(r);
        }
        if (blend) blend->DoBlend(Brush->Transparency());
    };
    if (a->Horizontal()) {
        if (a->IEndPos > t[0]) band(t[0], a->IEndPos - 1, current);
    } else if (a->IStartPos < t[0]) {
        band(a->IStartPos + 1, t[0], current);
    }
    current = FBand2.get();
    for (int i = 1; i <= n; ++i) {
        band(t[i - 1], t[i], current);
        current = current == FBand1.get() ? FBand2.get() : FBand1.get();
    }
    if (a->Horizontal()) {
        if (t[n] > a->IStartPos) band(t[n], a->IStartPos, current);
    } else if (t[n] < a->IEndPos) {
        band(t[n], a->IEndPos, current);
    }
    c->Pen()->SetStyle(gridStyle);
}

// ---------------------------------------------------------------------------
// TColorLineTool

AnsiString TColorLineTool::Description() const {
    return TeeMsg_ColorLineTool;
}

double TColorLineTool::CalcValue() const {
    TChartAxis* a = Axis();
    switch (FStyle) {
    case clMaximum:
        return a->Maximum();
    case clCenter:
        return (a->Maximum() + a->Minimum()) * 0.5;
    case clMinimum:
        return a->Minimum();
    default:
        return FValue;
    }
}

double TColorLineTool::LimitValue(double Value) const {
    TChartAxis* a = Axis();
    int lo = a->IEndPos, hi = a->IStartPos;
    if (a->Horizontal()) std::swap(lo, hi);
    if (a->Inverted()) std::swap(lo, hi);
    const double vlo = a->CalcPosPoint(lo), vhi = a->CalcPosPoint(hi);
    if (Value < vlo) return vlo;
    if (Value > vhi) return vhi;
    return Value;
}

void TColorLineTool::SetStyle(TColorLineStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Repaint();
}

void TColorLineTool::SetValue(double Value) {
    FStyle = clCustom;
    if (FDragging && !FDragRepaint)
        FValue = Value;
    else
        SetDoubleProperty(FValue, Value);
}

void TColorLineTool::ChartEvent(TChartToolEvent AEvent) {
    TTeeCustomToolAxis::ChartEvent(AEvent);
    if (!Axis() || !ParentChart() || (AEvent != cteAfterDraw && AEvent != cteBeforeDrawSeries))
        return;
    TCanvas3D* c = ParentChart()->Canvas();
    c->AssignVisiblePen(Pen());
    c->SetBackMode(cbmTransparent);
    DrawColorLine(AEvent == cteBeforeDrawSeries);
}

void TColorLineTool::DrawColorLine(bool Back) {
    TChartAxis* a = Axis();
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* c = chart->Canvas();
    // Held inside the visible range on the drawing only: a zoom or scroll that
    // leaves the line outside keeps its value.
    double v = CalcValue();
    if (!FNoLimitDrag && FStyle == clCustom) v = LimitValue(v);
    const int p = a->CalcPosValue(v);
    const TRect r = chart->ChartRect();
    const int d = chart->Width3D();
    if (Back) {
        if (a->Horizontal()) {
            if (FDraw3D) c->ZLine3D(p, r.Bottom, 0, d);
            if (FDrawBehind || FDraw3D) c->VertLine3D(p, r.Top, r.Bottom, d);
        } else {
            if (FDraw3D) c->ZLine3D(r.Left, p, 0, d);
            if (FDrawBehind || FDraw3D) c->HorizLine3D(r.Left, r.Right, p, d);
        }
        return;
    }
    if (!chart->View3D() && FDragging && !FDragRepaint) return;
    if (a->Horizontal()) {
        if (FDraw3D) c->ZLine3D(p, r.Top, 0, d);
        if (!FDrawBehind) c->VertLine3D(p, r.Top, r.Bottom, 0);
    } else {
        if (FDraw3D) c->ZLine3D(r.Right, p, 0, d);
        if (!FDrawBehind) c->HorizLine3D(r.Left, r.Right, p, 0);
    }
}

bool TColorLineTool::Clicked(int X, int Y) {
    TChartAxis* a = Axis();
    const int p = a->CalcPosValue(CalcValue());
    const TRect r = ParentChart()->ChartRect();
    if (a->Horizontal()) return std::abs(X - p) < 3 && r.Top <= Y && Y <= r.Bottom;
    return std::abs(Y - p) < 3 && r.Left <= X && X <= r.Right;
}

void TColorLineTool::DoEndDragLine() {
    if (OnEndDragLine) OnEndDragLine(this);
}

void TColorLineTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton, TShiftState, int X,
                                     int Y) {
    TChartAxis* a = Axis();
    TCustomAxisPanel* chart = ParentChart();
    if (!FAllowDrag || !a || !chart) return;
    switch (AEvent) {
    case cmeDown:
        FDragging = Clicked(X, Y);
        chart->SetCancelMouse(FDragging);
        break;
    case cmeMove: {
        if (!FDragging) {
            if (Clicked(X, Y)) {
                chart->ShowPartCursor(a->Horizontal() ? crHSplit : crVSplit);
                chart->SetCancelMouse(true);
            }
            break;
        }
        double v = a->CalcPosPoint(a->Horizontal() ? X : Y);
        if (!FNoLimitDrag) v = LimitValue(v);
        bool changed = false;
        TCanvas3D* c = chart->Canvas();
        if (!FDragRepaint) {
            if (v != CalcValue()) {
                c->AssignVisiblePen(Pen());
                c->Pen()->SetMode(pmNotXor);
                DrawColorLine(true);
                DrawColorLine(false);
                FStyle = clCustom;
                FValue = v;
                changed = true;
            }
        } else {
            SetValue(v);
        }
        chart->SetCancelMouse(true);
        TCallOut held{this, chart, ChartForm()};
        if (OnDragLine) OnDragLine(this);
        if (held.Gone()) return;
        if (changed) {
            DrawColorLine(true);
            DrawColorLine(false);
            // The chart's own canvas, read through the chart the guard watches.
            chart->Canvas()->Pen()->SetMode(pmCopy);
        }
        break;
    }
    case cmeUp:
        if (!FDragging) break;
        FDragging = false;
        if (!FDragRepaint) chart->Invalidate();
        DoEndDragLine();
        break;
    }
}

// ---------------------------------------------------------------------------
// TRotateTool

TRotateTool::TRotateTool(TComponent* AOwner) : TTeeCustomTool(AOwner) {
    Pen()->InitVisible(false);
    Pen()->SetMode(pmXor);
    Pen()->SetColor(clWhite);
}

AnsiString TRotateTool::Description() const {
    return TeeMsg_RotateTool;
}

int TRotateTool::RotationChange(bool FullRotation, int Angle, int Change) {
    if (Change == 0) return Angle;
    const int a = Angle + Change;
    if (Change > 0) {
        if (a > 360) return a - 360;
        if (a > 90 && a < 270) return 90;
        return a;
    }
    if (FullRotation) return std::max(0, a);
    if (a < 0) return a + 360;
    if (a > 90 && a < 270) return 270;
    return a;
}

int TRotateTool::ElevationChange(bool FullRotation, int Angle, int Change) {
    if (Change == 0) return Angle;
    if (Change > 0) return std::min(360, Angle + Change);
    return std::max(FullRotation ? 0 : 270, Angle + Change);
}

void TRotateTool::DrawWireBox() {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* c = chart->Canvas();
    const TRect r = chart->ChartRect();
    const int d = chart->Width3D();
    c->Brush()->SetStyle(bsClear);
    c->AssignVisiblePen(Pen());
    c->RectangleWithZ(r, 0);
    c->RectangleWithZ(r, d);
    for (const TPoint& p : {TPoint(r.Left, r.Top), TPoint(r.Right, r.Top),
                            TPoint(r.Right, r.Bottom), TPoint(r.Left, r.Bottom)}) {
        c->MoveTo3D(p.x, p.y, 0);
        c->LineTo3D(p.x, p.y, d);
    }
}

void TRotateTool::Step(int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    const int w = std::max(1, chart->Width()), h = std::max(1, chart->Height());
    int dx = static_cast<int>(Round((X - OldX) * 90.0 / w));
    int dy = static_cast<int>(Round((OldY - Y) * 90.0 / h));
    if (FInverted) dx = -dx, dy = -dy;
    const bool wire = Pen()->Visible();
    if (wire) {
        if (FFirstMove) {
            FOldRepaint = chart->AutoRepaint();
            chart->SetAutoRepaint(false);
            FFirstMove = false;
        } else {
            DrawWireBox();
        }
    }
    TView3DOptions* v = chart->View3DOptions();
    chart->SetView3D(true);
    v->SetOrthogonal(false);
    const bool rot = FStyle != rsElevation, elev = FStyle != rsRotation;
    if (!chart->Canvas()->SupportsFullRotation()) {
        if (rot) v->SetRotation(RotationChange(false, v->Rotation(), dx));
        if (elev) v->SetElevation(ElevationChange(false, v->Elevation(), dy));
    } else {
        const auto wrap = [](int a) { return a > 360 ? a - 360 : a < 0 ? a + 360 : a; };
        if (rot) v->SetRotation(wrap(v->Rotation() + dx));
        if (elev) v->SetElevation(wrap(v->Elevation() + dy));
    }
    OldX = X;
    OldY = Y;
    chart->SetCancelMouse(true);
    if (wire) {
        if (auto* c3 = dynamic_cast<TTeeCanvas3D*>(chart->Canvas())) {
            c3->CalcTrigValues();
            c3->CalcPerspective(chart->ChartRect());
        }
        DrawWireBox();
    }
    if (OnRotate) OnRotate(this);
}

void TRotateTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState, int X,
                                  int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    if (AEvent == cmeDown && Button == FButton) {
        FDragging = true;
        OldX = X;
        OldY = Y;
        FFirstMove = true;
        chart->SetCancelMouse(true);
    } else if (AEvent == cmeMove && FDragging) {
        Step(X, Y);
    } else if (AEvent == cmeUp && FDragging) {
        FDragging = false;
        if (Pen()->Visible()) {
            chart->SetAutoRepaint(FOldRepaint);
            chart->Invalidate();
        }
    }
}
