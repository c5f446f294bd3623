// Contents:
//   TDragPointTool       dragging series points
//   TPieTool             focusing or exploding the slice under the mouse
//   TGridTransposeTool   swapping X and Z of a 3D grid series
//   TPageNumTool         an annotation with the page number
#include "chart/control/tool_series.h"

#include "chart/control/series.h"
#include "chart/control/teeproco.h"
#include "chart/control/teeseriestypes.h"
#include "chart/engine/teeaxis.h"
#include "platform/rtl/format.h"
#include <memory>
#include <vector>

TClass TeePageNumToolClass = nullptr;

QM_CLASS_OWNED(TDragPointTool, TTeeCustomToolSeries, TComponent)
QM_CLASS_OWNED(TPieTool, TTeeCustomToolSeries, TComponent)
QM_CLASS_OWNED(TGridTransposeTool, TTeeCustomTool, TComponent)
QM_CLASS_OWNED(TPageNumTool, TAnnotationTool, TComponent)

QM_PUBLISHED(TDragPointTool,
             Prop("DragStyle", &Self::DragStyle, &Self::SetDragStyle).Default(dsBoth));
QM_PUBLISHED(TPieTool, Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(ptFocus));
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
        FIndex = s->Clicked(X, Y);
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
        // Leaving puts the slice back in place, so the pie never ends torn open.
        for (int k = 1; k <= 20; ++k) {
            pie->ExplodedSlice()->Put(Index, Focus ? 2 * k : 40 - 2 * k);
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
    pie->DrawPie(Index);
}

void TPieTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton, TShiftState, int X, int Y) {
    if (AEvent != cmeMove || !Pie()) return;
    const int s = Pie()->Clicked(X, Y);
    if (s == FSlice) return;
    if (FSlice != -1) FocusSlice(FSlice, false);
    FSlice = s;
    if (s != -1) FocusSlice(s, true);
}

// ---------------------------------------------------------------------------
// TGridTransposeTool

AnsiString TGridTransposeTool::Description() const {
    return TeeMsg_GridTranspose;
}

void TGridTransposeTool::SetSeries(TChartSeries* Value) {
    if (Value && !dynamic_cast<ITeeGridSeries*>(Value)) Value = nullptr;
    if (FSeries == Value) return;
    if (FSeries) FSeries->RemoveFreeNotification(this);
    FSeries = Value;
    // Held with a free notification, so a freed series is never transposed.
    if (FSeries) FSeries->FreeNotification(this);
}

void TGridTransposeTool::Notification(TComponent* AComponent, TOperation Operation) {
    TTeeCustomTool::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSeries) FSeries = nullptr;
}

void TGridTransposeTool::Transpose() {
    auto* grid = dynamic_cast<ITeeGridSeries*>(FSeries);
    if (!Active() || !grid) return;
    // Taken out first and put back point by point, in the series' own order.
    TChartValueList* z = grid->GridZValues();
    struct TXYZ {
        double X, Y, Z;
    };
    std::vector<TXYZ> points;
    for (int i = 0; i < FSeries->Count(); ++i)
        points.push_back({z->Value(i), FSeries->YValues()->Value(i), FSeries->XValues()->Value(i)});
    FSeries->Clear();
    for (const TXYZ& p : points)
        grid->AddGridXYZ(FSeries, p.X, p.Y, p.Z);
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
                      &TGridTransposeTool::ClassInfo, &TPageNumTool::ClassInfo});
    TeePageNumToolClass = &TPageNumTool::ClassInfo;
}
} // namespace

void TeeRegisterSeriesTools() {
    TeeSeriesToolsStartup();
}
