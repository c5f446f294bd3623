// Contents:
//   TDragMarksTool    dragging series marks to custom places
//   TAxisArrowTool    arrows at the axis ends that scroll it
//   TDrawLine(s)      one free line, kept in axis values
//   TDrawLineTool     drawing, selecting, moving and reshaping the lines
#include "chart/control/tool_drag.h"

#include "chart/control/chart.h"
#include "chart/control/teeproco.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "platform/graphics/cursors.h"
#include <cmath>
#include <cstdlib>

QM_CLASS_OWNED(TDragMarksTool, TTeeCustomToolSeries, TComponent)
QM_CLASS_OWNED(TAxisArrowTool, TTeeCustomToolAxis, TComponent)
QM_CLASS_OWNED(TDrawLine, TCollectionItem, TCollection)
QM_CLASS_ABSTRACT(TDrawLines, TOwnedCollection)
QM_CLASS_OWNED(TDrawLineTool, TTeeCustomToolSeries, TComponent)

QM_PUBLISHED(TAxisArrowTool, Prop("Brush", &Self::Brush, &Self::SetBrush),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Length", &Self::Length, &Self::SetLength).Default(16),
             Prop("Position", &Self::Position, &Self::SetPosition).Default(aaBoth),
             Prop("ScrollPercent", &Self::ScrollPercent, &Self::SetScrollPercent).Default(10),
             Prop("ScrollInverted", &Self::ScrollInverted, &Self::SetScrollInverted).Default(false),
             Prop("OnClick", &Self::OnClick));

QM_PUBLISHED(TDrawLine, Prop("Style", &Self::Style, &Self::SetStyle).Default(dlLine),
             Prop("X0", &Self::X0, &Self::SetX0), Prop("Y0", &Self::Y0, &Self::SetY0),
             Prop("X1", &Self::X1, &Self::SetX1), Prop("Y1", &Self::Y1, &Self::SetY1));

QM_PUBLISHED(TDrawLineTool, Prop("Button", &Self::Button, &Self::SetButton).Default(mbLeft),
             Prop("EnableDraw", &Self::EnableDraw, &Self::SetEnableDraw).Default(true),
             Prop("EnableSelect", &Self::EnableSelect, &Self::SetEnableSelect).Default(true),
             Prop("Lines", &Self::Lines, &Self::SetLines), Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("OnDraggedLine", &Self::OnDraggedLine), Prop("OnDragLine", &Self::OnDragLine),
             Prop("OnNewLine", &Self::OnNewLine), Prop("OnSelect", &Self::OnSelect),
             Prop("OnSelecting", &Self::OnSelecting));

TClass TeeDrawLineClass = &TDrawLine::ClassInfo;

// ---------------------------------------------------------------------------
// TDragMarksTool

AnsiString TDragMarksTool::Description() const {
    return TeeMsg_DragMarksTool;
}

TChartSeries* TDragMarksTool::FindMark(int X, int Y, bool VisibleOnly, int& Index) {
    const auto hit = [&](TChartSeries* s) {
        if (!s->Active() || (VisibleOnly && !s->Marks()->Visible())) return false;
        Index = s->Marks()->Clicked(X, Y);
        return Index != -1;
    };
    if (Series()) return hit(Series()) ? Series() : nullptr;
    TCustomAxisPanel* chart = ParentChart();
    for (int i = chart->SeriesCount() - 1; i >= 0; --i)
        if (hit(chart->GetSeries(i))) return chart->GetSeries(i);
    return nullptr;
}

TSeriesMarkPosition* TDragMarksTool::DraggedPosition() const {
    return FSeries && FIndex >= 0 ? FSeries->Marks()->Positions()->Get(FIndex) : nullptr;
}

void TDragMarksTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton, TShiftState, int X,
                                     int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    int index = -1;
    switch (AEvent) {
    case cmeDown:
        FIndex = -1;
        FSeries = FindMark(X, Y, false, index);
        if (FSeries) FIndex = index;
        if (DraggedPosition()) {
            OldX = X;
            OldY = Y;
            chart->SetCancelMouse(true);
        }
        break;
    case cmeMove:
        if (TSeriesMarkPosition* position = DraggedPosition()) {
            const int dx = X - OldX, dy = Y - OldY;
            position->Custom = true;
            position->LeftTop.x += dx;
            position->LeftTop.y += dy;
            position->ArrowTo.x += dx;
            position->ArrowTo.y += dy;
            OldX = X;
            OldY = Y;
            chart->SetCancelMouse(true);
            chart->Invalidate();
        } else if (FindMark(X, Y, true, index)) {
            chart->ShowPartCursor(crHandPoint);
            chart->SetCancelMouse(true);
        }
        break;
    case cmeUp:
        FSeries = nullptr;
        FIndex = -1;
        break;
    }
}

// ---------------------------------------------------------------------------
// TAxisArrowTool

AnsiString TAxisArrowTool::Description() const {
    return TeeMsg_AxisArrowTool;
}

void TAxisArrowTool::SetPosition(TAxisArrowToolPosition Value) {
    if (FPosition == Value) return;
    FPosition = Value;
    Repaint();
}

void TAxisArrowTool::ChartEvent(TChartToolEvent AEvent) {
    TTeeCustomToolAxis::ChartEvent(AEvent);
    TChartAxis* a = Axis();
    TCustomAxisPanel* chart = ParentChart();
    if (AEvent != cteAfterDraw || !a || !chart) return;
    TCanvas3D* canvas = chart->Canvas();
    canvas->AssignBrush(Brush(), Brush()->Color());
    canvas->AssignVisiblePen(Pen());
    const int z = chart->View3D() && a->OtherSide() ? chart->Width3D() : 0;
    const auto arrow = [&](int From, int To) {
        const TPoint f = a->Horizontal() ? TPoint(From, a->PosAxis) : TPoint(a->PosAxis, From);
        const TPoint t = a->Horizontal() ? TPoint(To, a->PosAxis) : TPoint(a->PosAxis, To);
        canvas->Arrow(true, f, t, 8, 8, z);
    };
    if (FPosition != aaEnd) arrow(a->IStartPos + FLength, a->IStartPos);
    if (FPosition != aaStart) arrow(a->IEndPos - FLength, a->IEndPos);
}

int TAxisArrowTool::ClickedArrow(int X, int Y) const {
    TChartAxis* a = Axis();
    if (!a) return -1;
    const int across = a->Horizontal() ? Y : X;
    const int along = a->Horizontal() ? X : Y;
    if (std::abs(across - a->PosAxis) >= 3) return -1;
    if (FPosition != aaEnd && a->IStartPos < along && along < a->IStartPos + FLength) return 0;
    if (FPosition != aaStart && a->IEndPos - FLength < along && along < a->IEndPos) return 1;
    return -1;
}

void TAxisArrowTool::DoScroll(double Delta) {
    TChartAxis* a = Axis();
    auto* chart = dynamic_cast<TCustomChart*>(a->ParentChart());
    bool allow = true;
    if (chart && chart->OnAllowScroll) {
        double lo = a->Minimum() + Delta, hi = a->Maximum() + Delta;
        // The handler's sender is the axis, which it may free too.
        TCallOut held{this, a, chart, ChartForm()};
        chart->OnAllowScroll(a, lo, hi, allow);
        if (held.Gone() || Axis() != a) return;
    }
    if (!allow) return;
    a->Scroll(Delta, false);
    TCustomAxisPanel* panel = a->ParentChart();
    TChartAxis* other = nullptr;
    if (a == panel->BottomAxis())
        other = panel->TopAxis();
    else if (a == panel->TopAxis())
        other = panel->BottomAxis();
    else if (a == panel->LeftAxis())
        other = panel->RightAxis();
    else if (a == panel->RightAxis())
        other = panel->LeftAxis();
    if (other) {
        for (int i = 0; i < panel->SeriesCount(); ++i) {
            TChartSeries* s = panel->GetSeries(i);
            if (!s->AssociatedToAxis(a)) continue;
            const bool both =
                a->Horizontal() ? s->HorizAxis() == aBothHorizAxis : s->VertAxis() == aBothVertAxis;
            if (both) {
                other->Scroll(Delta, false);
                break;
            }
        }
    }
    if (panel->OnScroll) panel->OnScroll(panel);
}

void TAxisArrowTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton, TShiftState, int X,
                                     int Y) {
    TChartAxis* a = Axis();
    if (!a || !a->Visible() || !a->ParentChart()) return;
    TCustomAxisPanel* chart = a->ParentChart();
    if (AEvent == cmeDown) {
        if (FScrollPercent == 0) return;
        const int c = ClickedArrow(X, Y);
        double delta = FScrollPercent * (a->Maximum() - a->Minimum()) / 100.0;
        if (FScrollInverted) delta = -delta;
        // The chart's scroll handlers may free the tool, the chart or its form.
        TCallOut held{this, chart, ChartForm()};
        if (c == 0)
            DoScroll(delta);
        else if (c == 1)
            DoScroll(-delta);
        if (held.Gone()) return;
        if (c != -1) {
            chart->SetCancelMouse(true);
            if (OnClick) OnClick(this, c == 0);
        }
    } else if (AEvent == cmeMove && ClickedArrow(X, Y) != -1) {
        chart->ShowPartCursor(crHandPoint);
        chart->SetCancelMouse(true);
    }
}

// ---------------------------------------------------------------------------
// TDrawLine, TDrawLines

TDrawLine::TDrawLine(TCollection* Collection) : TCollectionItem(Collection) {}

TDrawLine::TDrawLine(TCollection* Collection, double X0, double Y0, double X1, double Y1)
    : TCollectionItem(Collection) {
    StartPos = {X0, Y0};
    EndPos = {X1, Y1};
}

TDrawLine::~TDrawLine() {
    if (TDrawLineTool* t = Tool(); t && t->FSelected == this) t->FSelected = nullptr;
}

TDrawLineTool* TDrawLine::Tool() const {
    return Collection() ? dynamic_cast<TDrawLineTool*>(Collection()->GetOwner()) : nullptr;
}

void TDrawLine::Assign(TPersistent* Source) {
    if (auto* l = dynamic_cast<TDrawLine*>(Source)) {
        StartPos = l->StartPos;
        EndPos = l->EndPos;
        FStyle = l->FStyle;
        if (TDrawLineTool* t = Tool()) t->Repaint();
        return;
    }
    TCollectionItem::Assign(Source);
}

void TDrawLine::SetCoord(double& Field, double Value) {
    Field = Value;
    if (TDrawLineTool* t = Tool()) t->Repaint();
}

void TDrawLine::SetStyle(TDrawLineStyle Value) {
    FStyle = Value;
    if (TDrawLineTool* t = Tool()) t->Repaint();
}

TRect TDrawLine::StartHandle() const {
    const TPoint p = Tool()->AxisPoint(StartPos);
    return TRect(p.x - 3, p.y - 3, p.x + 3, p.y + 3);
}

TRect TDrawLine::EndHandle() const {
    const TPoint p = Tool()->AxisPoint(EndPos);
    return TRect(p.x - 3, p.y - 3, p.x + 3, p.y + 3);
}

void TDrawLine::DrawHandles() {
    TDrawLineTool* t = Tool();
    TCustomAxisPanel* chart = t ? t->ParentChart() : nullptr;
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(chart->Color() == clBlack ? TColor(0xC0C0C0) : clBlack);
    canvas->Pen()->SetStyle(psClear);
    canvas->RectangleWithZ(StartHandle(), 0);
    canvas->RectangleWithZ(EndHandle(), 0);
}

TDrawLines::TDrawLines(TPersistent* AOwner) : TOwnedCollection(AOwner, TeeDrawLineClass) {}

// ---------------------------------------------------------------------------
// TDrawLineTool

TDrawLineTool::TDrawLineTool(TComponent* AOwner)
    : TTeeCustomToolSeries(AOwner), FLines(std::make_unique<TDrawLines>(this)) {}

TDrawLineTool::~TDrawLineTool() {
    FSelected = nullptr;
    FLines.reset();
}

AnsiString TDrawLineTool::Description() const {
    return TeeMsg_DrawLineTool;
}

TPoint TDrawLineTool::AxisPoint(const TFloatPoint& P) const {
    TChartAxis* h = GetHorizAxis();
    TChartAxis* v = GetVertAxis();
    if (!h || !v) return TPoint(0, 0);
    return TPoint(h->CalcPosValue(P.X), v->CalcPosValue(P.Y));
}

TFloatPoint TDrawLineTool::ScreenPoint(const TPoint& P) const {
    TChartAxis* h = GetHorizAxis();
    TChartAxis* v = GetVertAxis();
    if (!h || !v) return {};
    return {h->CalcPosPoint(P.x), v->CalcPosPoint(P.y)};
}

void TDrawLineTool::DrawLine(const TPoint& From, const TPoint& To, TDrawLineStyle AStyle) {
    TCanvas3D* c = ParentChart()->Canvas();
    if (!ParentChart()->View3D()) {
        switch (AStyle) {
        case dlLine:
            c->Line(From.x, From.y, To.x, To.y);
            break;
        case dlHorizParallel:
            c->DoHorizLine(From.x, To.x, From.y);
            c->DoHorizLine(From.x, To.x, To.y);
            break;
        case dlVertParallel:
            c->DoVertLine(From.x, From.y, To.y);
            c->DoVertLine(To.x, From.y, To.y);
            break;
        }
        return;
    }
    switch (AStyle) {
    case dlLine:
        c->MoveTo3D(From.x, From.y, 0);
        c->LineTo3D(To.x, To.y, 0);
        break;
    case dlHorizParallel:
        c->HorizLine3D(From.x, To.x, From.y, 0);
        c->HorizLine3D(From.x, To.x, To.y, 0);
        break;
    case dlVertParallel:
        c->VertLine3D(From.x, From.y, To.y, 0);
        c->VertLine3D(To.x, From.y, To.y, 0);
        break;
    }
}

void TDrawLineTool::ClipDrawingRegion() {
    TCustomAxisPanel* chart = ParentChart();
    TRect r = chart->ChartRect();
    if (Series()) {
        TChartAxis* h = GetHorizAxis();
        TChartAxis* v = GetVertAxis();
        r = TRect(h->IStartPos, v->IStartPos, h->IEndPos, v->IEndPos);
    }
    if (chart->CanClip()) chart->Canvas()->ClipCube(r, 0, chart->Width3D());
}

void TDrawLineTool::ChartEvent(TChartToolEvent AEvent) {
    TTeeCustomToolSeries::ChartEvent(AEvent);
    TCustomAxisPanel* chart = ParentChart();
    if (AEvent != cteAfterDraw || !chart || FLines->Count() == 0) return;
    TCanvas3D* c = chart->Canvas();
    c->SetBackMode(cbmTransparent);
    ClipDrawingRegion();
    for (int i = 0; i < FLines->Count(); ++i) {
        TDrawLine* l = FLines->Get(i);
        c->AssignVisiblePen(Pen());
        DrawLine(AxisPoint(l->StartPos), AxisPoint(l->EndPos), l->Style());
    }
    if (FSelected) FSelected->DrawHandles();
    c->UnClipRectangle();
}

void TDrawLineTool::RedrawLine(TDrawLine* Line) {
    TCustomAxisPanel* chart = ParentChart();
    TCanvas3D* c = chart->Canvas();
    const TColor back = static_cast<TColor>(ColorToRGB(chart->GetBackColor()) & 0xFFFFFF);
    c->AssignVisiblePenColor(
        Pen(), static_cast<TColor>((ColorToRGB(Pen()->Color()) & 0xFFFFFF) ^ (0xFFFFFF - back)));
    c->Pen()->SetMode(pmNotXor);
    DrawLine(FromPoint, ToPoint, Line ? Line->Style() : dlLine);
    c->Pen()->SetMode(pmCopy);
}

TPoint TDrawLineTool::To2D(int X, int Y) const {
    int x = X, y = Y;
    ParentChart()->Canvas()->Calculate2DPosition(x, y, 0);
    return TPoint(x, y);
}

bool TDrawLineTool::HitLine(TDrawLine* Line, const TPoint& P, TDrawLineHandle Kind) {
    if (Kind == chStart) return PointInRect(Line->StartHandle(), P.x, P.y);
    if (Kind == chEnd) return PointInRect(Line->EndHandle(), P.x, P.y);
    const TPoint a = AxisPoint(Line->StartPos), b = AxisPoint(Line->EndPos);
    switch (Line->Style()) {
    case dlLine:
        return PointInLine(P, a.x, a.y, b.x, b.y, 4);
    case dlHorizParallel:
        return PointInLine(P, a.x, a.y, b.x, a.y, 4) || PointInLine(P, a.x, b.y, b.x, b.y, 4);
    case dlVertParallel:
        return PointInLine(P, a.x, a.y, a.x, b.y, 4) || PointInLine(P, b.x, a.y, b.x, b.y, 4);
    }
    return false;
}

TDrawLine* TDrawLineTool::InternalClicked(int X, int Y, TDrawLineHandle Kind) {
    const TPoint p = To2D(X, Y);
    if (FSelected && HitLine(FSelected, p, Kind)) return FSelected;
    for (int i = 0; i < FLines->Count(); ++i)
        if (HitLine(FLines->Get(i), p, Kind)) return FLines->Get(i);
    return nullptr;
}

TDrawLine* TDrawLineTool::Clicked(int X, int Y) {
    for (TDrawLineHandle k : {chNone, chStart, chEnd})
        if (TDrawLine* l = InternalClicked(X, Y, k)) return l;
    return nullptr;
}

void TDrawLineTool::DeleteSelected() {
    if (!FSelected) return;
    Drawing = false;
    Handle = chNone;
    TDrawLine* l = FSelected;
    FSelected = nullptr;
    delete l; // the collection owns its items; freeing one removes it
    Repaint();
}

void TDrawLineTool::SetSelected(TDrawLine* Value) {
    FSelected = Value;
    Repaint();
}

void TDrawLineTool::SetEnableSelect(bool Value) {
    if (FEnableSelect == Value) return;
    FEnableSelect = Value;
    if (!Value && FSelected) {
        FSelected = nullptr;
        Repaint();
    }
}

void TDrawLineTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState,
                                    int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    if (AEvent == cmeDown && Button == FButton) {
        TDrawLine* line = FEnableSelect ? Clicked(X, Y) : nullptr;
        if (!line) {
            FSelected = nullptr;
            if (FEnableDraw) {
                Drawing = true;
                FromPoint = ToPoint = TPoint(X, Y);
                RedrawLine(nullptr);
                chart->SetCancelMouse(true);
            }
            return;
        }
        FromPoint = AxisPoint(line->StartPos);
        ToPoint = AxisPoint(line->EndPos);
        Handle = chSeries;
        OldX = X;
        OldY = Y;
        if (line == FSelected) {
            const TPoint p = To2D(X, Y);
            if (HitLine(line, p, chStart))
                Handle = chStart;
            else if (HitLine(line, p, chEnd))
                Handle = chEnd;
        } else {
            // The handlers may free the line, the tool, the chart or its form; a
            // line that went is not selected.
            bool allow = true;
            TCallOut held{this, chart, ChartForm()};
            const TWatched<TDrawLine> grabbed = line;
            if (OnSelecting) OnSelecting(this, line, allow);
            if (held.Gone()) return;
            if (allow && grabbed) {
                if (!FSelected) {
                    FSelected = line;
                    line->DrawHandles();
                } else {
                    SetSelected(line);
                }
                if (OnSelect) OnSelect(this);
                if (held.Gone()) return;
            } else {
                // A refused selection grabs nothing: the lines stay as they are.
                Handle = chNone;
            }
        }
        chart->SetCancelMouse(true);
    } else if (AEvent == cmeMove) {
        if (!Drawing && Handle == chNone) {
            if (!FEnableSelect) return;
            const TPoint p = To2D(X, Y);
            bool over = false;
            if (FSelected && (HitLine(FSelected, p, chStart) || HitLine(FSelected, p, chEnd))) {
                chart->ShowPartCursor(crCross);
                over = true;
            } else if (Clicked(X, Y)) {
                chart->ShowPartCursor(crHandPoint);
                over = true;
            }
            chart->SetCancelMouse(over);
            return;
        }
        RedrawLine(FSelected);
        if (Drawing) {
            ToPoint = TPoint(X, Y);
        } else if (Handle == chStart) {
            FromPoint = TPoint(X, Y);
        } else if (Handle == chEnd) {
            ToPoint = TPoint(X, Y);
        } else if (Handle == chSeries) {
            const int dx = X - OldX, dy = Y - OldY;
            FromPoint = TPoint(FromPoint.x + dx, FromPoint.y + dy);
            ToPoint = TPoint(ToPoint.x + dx, ToPoint.y + dy);
            OldX = X;
            OldY = Y;
        }
        RedrawLine(FSelected);
        chart->SetCancelMouse(true);
        if (OnDragLine) OnDragLine(this);
    } else if (AEvent == cmeUp && Button == FButton) {
        if (Handle == chNone) {
            if (Drawing && (FromPoint.x != ToPoint.x || FromPoint.y != ToPoint.y)) {
                auto* line = static_cast<TDrawLine*>(FLines->Add());
                line->StartPos = ScreenPoint(FromPoint);
                line->EndPos = ScreenPoint(ToPoint);
                Repaint();
                TCallOut held{this, chart, ChartForm()};
                if (OnNewLine) OnNewLine(this);
                if (held.Gone()) return;
            }
            Drawing = false;
            return;
        }
        if (FSelected) {
            if (Handle == chStart || Handle == chSeries)
                FSelected->StartPos = ScreenPoint(FromPoint);
            if (Handle == chEnd || Handle == chSeries) FSelected->EndPos = ScreenPoint(ToPoint);
        }
        Handle = chNone;
        Repaint();
        if (OnDraggedLine) OnDraggedLine(this);
    }
}
