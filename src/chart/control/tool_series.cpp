// Contents:
//   TDragPointTool       dragging series points
//   TPieTool             focusing or exploding the slice under the mouse
//   TGanttTool           dragging and resizing Gantt bars
//   TGridTransposeTool   swapping X and Z of a 3D grid series
//   TPageNumTool         an annotation with the page number
#include "chart/control/tool_series.h"

#include "chart/control/series.h"
#include "chart/control/series_gantt.h"
#include "chart/control/teeproco.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tooledit_series.h"
#include "chart/engine/teeaxis.h"
#include "platform/rtl/format.h"
#include <cstdlib>
#include <memory>

TClass TeePageNumToolClass = nullptr;

QM_CLASS_OWNED(TDragPointTool, TTeeCustomToolSeries, TComponent)
QM_CLASS_OWNED(TPieTool, TTeeCustomToolSeries, TComponent)
QM_CLASS_OWNED(TGanttTool, TTeeCustomToolSeries, TComponent)
QM_CLASS_OWNED(TGridTransposeTool, TTeeCustomTool, TComponent)
QM_CLASS_OWNED(TPageNumTool, TAnnotationTool, TComponent)

QM_PUBLISHED(TDragPointTool,
             Prop("DragStyle", &Self::DragStyle, &Self::SetDragStyle).Default(dsBoth),
             Prop("OnDragPoint", &Self::OnDragPoint));
QM_PUBLISHED(TPieTool, Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(ptFocus));
QM_PUBLISHED(TGanttTool, Prop("AllowDrag", &Self::AllowDrag, &Self::SetAllowDrag).Default(true),
             Prop("AllowResize", &Self::AllowResize, &Self::SetAllowResize).Default(true),
             Prop("CursorDrag", &Self::CursorDrag, &Self::SetCursorDrag)
                 .Default(crHandPoint)
                 .Idents("TCursor"),
             Prop("CursorResize", &Self::CursorResize, &Self::SetCursorResize)
                 .Default(crSizeWE)
                 .Idents("TCursor"),
             Prop("MinPixels", &Self::MinPixels, &Self::SetMinPixels).Default(5),
             Prop("OnDragBar", &Self::OnDragBar), Prop("OnResizeBar", &Self::OnResizeBar));
QM_PUBLISHED(TGridTransposeTool, Prop("Series", &Self::Series, &Self::SetSeries));
QM_PUBLISHED(TPageNumTool, Prop("Text", &Self::Text, &Self::SetText).Stored(false),
             Prop("Format", &Self::Format, &Self::SetFormat).Stored(&Self::IsFormatStored));

// ---------------------------------------------------------------------------
// TDragPointTool

AnsiString TDragPointTool::Description() const {
    return TeeMsg_DragPoint;
}

void TDragPointTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton, TShiftState, int X,
                                     int Y) {
    TChartSeries* s = Series();
    if (!s || !ParentChart()) return;
    if (AEvent == cmeDown) {
        // The series' hit test may call its click handler, which may free it,
        // this tool, the chart or its form.
        TCallOut held{this, s, ParentChart(), ChartForm()};
        const int index = s->Clicked(X, Y);
        if (held.Gone()) return;
        FIndex = index;
        if (FIndex != -1) ParentChart()->SetCancelMouse(true);
    } else if (AEvent == cmeMove && FIndex != -1) {
        if (FIndex >= s->Count()) {
            FIndex = -1; // the point went away during the drag
            return;
        }
        s->BeginUpdate();
        if (FDragStyle != dsY) s->XValues()->SetValue(FIndex, s->GetHorizAxis()->CalcPosPoint(X));
        if (FDragStyle != dsX) s->YValues()->SetValue(FIndex, s->GetVertAxis()->CalcPosPoint(Y));
        s->EndUpdate();
        if (OnDragPoint) OnDragPoint(this, FIndex);
    } else if (AEvent == cmeUp) {
        FIndex = -1;
    }
}

// ---------------------------------------------------------------------------
// TPieTool

TPieTool::TPieTool(TComponent* AOwner) : TTeeCustomToolSeries(AOwner) {
    Pen()->SetWidth(4);
    Pen()->SetStyle(psSolid);
}

AnsiString TPieTool::Description() const {
    return TeeMsg_PieTool;
}

TPieSeries* TPieTool::Pie() const {
    return dynamic_cast<TPieSeries*>(Series());
}

void TPieTool::FocusSlice(int Index, bool Focus) {
    TPieSeries* pie = Pie();
    TCustomAxisPanel* chart = ParentChart();
    if (!pie || !chart || Index < 0 || Index >= pie->Count()) return;
    if (FStyle == ptExplode) {
        // Leaving moves the slice back to its own explode value: a hover changes nothing kept.
        if (Focus) FOwnExplode = pie->ExplodedSlice()->Get(Index);
        for (int k = 1; k <= 20; ++k) {
            pie->ExplodedSlice()->Put(
                Index, Focus ? 2 * k : FOwnExplode + (40 - FOwnExplode) * (20 - k) / 20);
            chart->Repaint();
        }
        return;
    }
    if (!Focus) {
        chart->Repaint();
        return;
    }
    TCanvas3D* c = chart->Canvas();
    c->Brush()->SetStyle(bsClear);
    TColor colour = Pen()->Color();
    if (colour == pie->ValueColor(Index)) colour = colour == clBlack ? clWhite : clBlack;
    c->AssignVisiblePenColor(Pen(), colour);
    // A 2D slice starts where the previous one ended: the slice drawn alone needs that point.
    const std::vector<TPieAngle>& angles = pie->Angles();
    if (Index >= static_cast<int>(angles.size())) return;
    const size_t prev = Index == 0 ? angles.size() - 1 : static_cast<size_t>(Index - 1);
    TPoint start;
    pie->AngleToPos(angles[prev].EndAngle, pie->RadiusX(), pie->RadiusY(), start.x, start.y);
    pie->SetStartPoint(start);
    pie->DrawPie(Index);
}

void TPieTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton, TShiftState, int X, int Y) {
    if (AEvent != cmeMove || !Pie()) return;
    TCallOut held{this, Pie(), ParentChart(), ChartForm()};
    const int s = Pie()->Clicked(X, Y);
    if (held.Gone()) return;
    if (s == FSlice) return;
    if (FSlice != -1) FocusSlice(FSlice, false);
    FSlice = s;
    if (s != -1) FocusSlice(s, true);
}

void TPieTool::ChartMouseLeave() {
    if (FSlice != -1) FocusSlice(FSlice, false);
    FSlice = -1;
}

// ---------------------------------------------------------------------------
// TGanttTool

AnsiString TGanttTool::Description() const {
    return TeeMsg_GanttTool;
}

TGanttSeries* TGanttTool::Gantt() const {
    return dynamic_cast<TGanttSeries*>(Series());
}

int TGanttTool::FindBarEnd(TGanttSeries* G, int X, int Y, TGanttToolBarPart& Part) const {
    const int h = G->Pointer()->VertSize() / 2;
    for (int i = 0; i < G->Count(); ++i) {
        const int y = G->CalcYPos(i);
        if (Y < y - h || Y > y + h) continue;
        if (std::abs(X - G->CalcXPos(i)) < FMinPixels) {
            Part = pbStart;
            return i;
        }
        if (std::abs(X - G->CalcXPosValue(G->EndValues()->Value(i))) < FMinPixels) {
            Part = pbEnd;
            return i;
        }
    }
    return -1;
}

void TGanttTool::DragBar(TGanttSeries* G, int X) {
    TChartValueList* start = G->StartValues();
    TChartValueList* end = G->EndValues();
    const double now = G->GetHorizAxis()->CalcPosPoint(X);
    const double d = now - FOldValue;
    const int bar = FBar;
    // The handlers may free the tool, the chart or its form.
    TCallOut held{this, ParentChart(), ChartForm()};
    switch (FPart) {
    case pbStart:
        start->SetValue(bar, start->Value(bar) + d);
        if (end->Value(bar) < start->Value(bar)) start->SetValue(bar, end->Value(bar));
        if (OnResizeBar) OnResizeBar(this, bar, pbStart);
        if (held.Gone()) return;
        break;
    case pbAll:
        start->SetValue(bar, start->Value(bar) + d);
        end->SetValue(bar, end->Value(bar) + d);
        if (OnDragBar) OnDragBar(this, bar);
        if (held.Gone()) return;
        break;
    case pbEnd:
        end->SetValue(bar, end->Value(bar) + d);
        if (start->Value(bar) > end->Value(bar)) end->SetValue(bar, start->Value(bar));
        if (OnResizeBar) OnResizeBar(this, bar, pbEnd);
        if (held.Gone()) return;
        break;
    }
    FOldValue = now;
    ParentChart()->Repaint();
}

void TGanttTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton, TShiftState, int X, int Y) {
    TGanttSeries* g = Gantt();
    TCustomAxisPanel* chart = ParentChart();
    if (!g || !chart) return;
    if (AEvent == cmeDown) {
        FBar = -1;
        FOldValue = g->GetHorizAxis()->CalcPosPoint(X);
        if (FAllowResize) FBar = FindBarEnd(g, X, Y, FPart);
        if (FBar == -1 && FAllowDrag) {
            // The series' hit test may call its click handler, which may free
            // it, this tool, the chart or its form.
            TCallOut held{this, g, chart, ChartForm()};
            const int bar = g->Clicked(X, Y);
            if (held.Gone()) return;
            FBar = bar;
            if (FBar != -1) FPart = pbAll;
        }
        // A grabbed bar is the tool's drag, not the start of a zoom.
        if (FBar != -1) chart->SetCancelMouse(true);
    } else if (AEvent == cmeMove) {
        if (FBar == -1) {
            TGanttToolBarPart part;
            if (FAllowResize && FindBarEnd(g, X, Y, part) != -1) {
                chart->ShowPartCursor(FCursorResize);
                chart->SetCancelMouse(true);
            }
            if (FAllowDrag) {
                TCallOut held{this, g, chart, ChartForm()};
                const bool over = g->Clicked(X, Y) != -1;
                if (held.Gone()) return;
                if (over) {
                    chart->ShowPartCursor(FCursorDrag);
                    chart->SetCancelMouse(true);
                }
            }
        } else if (FBar >= g->Count()) {
            FBar = -1; // the bar went away during the drag
        } else {
            chart->SetCancelMouse(true);
            DragBar(g, X);
        }
    } else if (AEvent == cmeUp) {
        FBar = -1;
    }
}

// ---------------------------------------------------------------------------
// TGridTransposeTool

AnsiString TGridTransposeTool::Description() const {
    return TeeMsg_GridTranspose;
}

void TGridTransposeTool::SetSeries(TChartSeries* Value) {
    if (Value && !dynamic_cast<ITeeGridSeries*>(Value)) Value = nullptr;
    // A handle: a freed series is never transposed.
    FSeries = Value;
}

void TGridTransposeTool::Transpose() {
    auto* grid = dynamic_cast<ITeeGridSeries*>(FSeries.Get());
    if (!Active() || !grid) return;
    std::unique_ptr<TChartSeries> swapped(grid->NewGridSeries());
    TChartValueList* z = grid->GridZValues();
    for (int i = 0; i < FSeries->Count(); ++i)
        grid->AddGridXYZ(swapped.get(), z->Value(i), FSeries->YValues()->Value(i),
                         FSeries->XValues()->Value(i));
    FSeries->AssignValues(swapped.get());
}

// ---------------------------------------------------------------------------
// TPageNumTool

TPageNumTool::TPageNumTool(TComponent* AOwner) : TAnnotationTool(AOwner) {
    SetText(TeeMsg_PageOfPages);
}

AnsiString TPageNumTool::Description() const {
    return TeeMsg_PageNumber;
}

AnsiString TPageNumTool::GetText() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return Format();
    return ::Format(Format(), {chart->Page(), chart->NumPages()});
}

bool TPageNumTool::IsFormatStored() const {
    return Format() != TeeMsg_PageOfPages;
}

namespace {
void TeeSeriesToolsStartup() {
    RegisterTeeTools({&TDragPointTool::ClassInfo, &TPieTool::ClassInfo,
                      &TGridTransposeTool::ClassInfo, &TPageNumTool::ClassInfo,
                      &TGanttTool::ClassInfo});
    TeePageNumToolClass = &TPageNumTool::ClassInfo;
    TeeRegisterSeriesToolEditors();
}
} // namespace

void TeeRegisterSeriesTools() {
    TeeSeriesToolsStartup();
}
