// Contents:
//   TNearestTool          the marker on the point nearest to the mouse
//   TMarksTipTool         a point's mark text as the chart's hint
//   TAnnotationTool       a text box with its callout (and its shape classes)
//   TChartImageTool       a picture behind the series
//   TSeriesAnimationTool  series values grown from a start level
//   registration of the tools
#include "chart/control/tool_hints.h"

#include "chart/control/chart.h"
#include "chart/control/teeproco.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_series.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include "platform/graphics/cursors.h"
#include "platform/rtl/rtlmath.h"
#include <cmath>

QM_CLASS_OWNED(TNearestTool, TTeeCustomToolSeries, TComponent)
QM_CLASS_OWNED(TMarksTipTool, TTeeCustomToolSeries, TComponent)
QM_CLASS_PLAIN(TTeeShapePosition, TTeeCustomShapePosition)
QM_CLASS_PLAIN(TAnnotationCallout, TCallout)
QM_CLASS_OWNED(TAnnotationTool, TTeeCustomTool, TComponent)
QM_CLASS_OWNED(TChartImageTool, TTeeCustomToolSeries, TComponent)
QM_CLASS_OWNED(TSeriesAnimationTool, TTeeCustomToolSeries, TComponent)

QM_PUBLISHED(TNearestTool, Prop("Brush", &Self::Brush, &Self::SetBrush),
             Prop("DrawLine", &Self::DrawLine, &Self::SetDrawLine).Default(true),
             Prop("FullRepaint", &Self::FullRepaint, &Self::SetFullRepaint).Default(true),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Size", &Self::Size, &Self::SetSize).Default(20),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(hsCircle),
             Prop("OnChange", &Self::OnChange));
QM_PUBLISHED(TMarksTipTool,
             Prop("MouseAction", &Self::MouseAction, &Self::SetMouseAction).Default(mtmMove),
             Prop("MouseDelay", &Self::GetMouseDelay, &Self::SetMouseDelay).Default(500),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(smsLabel),
             Prop("OnGetText", &Self::OnGetText));
// The annotation's box; the page number tool's too.
QM_PUBLISHED(TTeeShapePosition, QM_SHAPE_PROPS(false));
QM_PUBLISHED(TAnnotationCallout,
             Prop("XPosition", &Self::XPosition, &Self::SetXPosition).Default(0),
             Prop("YPosition", &Self::YPosition, &Self::SetYPosition).Default(0),
             Prop("ZPosition", &Self::ZPosition, &Self::SetZPosition).Default(0));
QM_PUBLISHED(
    TAnnotationTool, Prop("Callout", &Self::Callout, &Self::SetCallout),
    Prop("Cursor", &Self::Cursor, &Self::SetCursor).Default(crDefault).Idents("TCursor"),
    Prop("Position", &Self::Position, &Self::SetPosition).Default(ppLeftTop),
    Prop("Shape", &Self::Shape, &Self::SetShape), Prop("Text", &Self::Text, &Self::SetText),
    Prop("TextAlignment", &Self::TextAlignment, &Self::SetTextAlign).Default(taLeftJustify),
    Prop("OnClick", &Self::OnClick));
QM_PUBLISHED(TChartImageTool, Prop("Picture", &Self::Picture, &Self::SetPicture));
QM_PUBLISHED(TSeriesAnimationTool,
             Prop("DrawEvery", &Self::DrawEvery, &Self::SetDrawEvery).Default(0),
             Prop("StartAtMin", &Self::StartAtMin, &Self::SetStartAtMin).Default(true),
             Prop("StartValue", &Self::StartValue, &Self::SetStartValue),
             Prop("Steps", &Self::Steps, &Self::SetSteps).Default(100),
             Prop("OnStep", &Self::OnStep));

// ---------------------------------------------------------------------------
// TNearestTool

TNearestTool::TNearestTool(TComponent* AOwner) : TTeeCustomToolSeries(AOwner) {
    Brush()->SetStyle(bsClear);
    Pen()->SetStyle(psDot);
    Pen()->SetColor(clWhite);
}

AnsiString TNearestTool::Description() const {
    return TeeMsg_NearestTool;
}

void TNearestTool::SetStyle(TNearestToolStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Repaint();
}

int TNearestTool::GetNearestPoint(int X, int Y) {
    TChartSeries* s = Series();
    if (!s || !ParentChart()) return -1;
    const int count = s->Count();
    int first = std::max(0, s->FirstVisibleIndex());
    int last = s->LastVisibleIndex();
    if (last < 0 || last >= count) last = count - 1;
    const TRect r = ParentChart()->ChartRect();
    int best = -1;
    int64_t dBest = 10000;
    for (int i = first; i <= last; ++i) {
        const int x = s->CalcXPos(i), y = s->CalcYPos(i);
        if (!PointInRect(r, x, y)) continue;
        const double dx = x - X, dy = y - Y;
        const int64_t d = Round(std::sqrt(dx * dx + dy * dy));
        if (d < dBest) {
            dBest = d;
            best = i;
        }
    }
    return best;
}

void TNearestTool::PaintHint() {
    TChartSeries* s = Series();
    TCustomAxisPanel* chart = ParentChart();
    if (!s || !chart || Point < 0 || Point >= s->Count()) return;
    TCanvas3D* c = chart->Canvas();
    c->AssignVisiblePen(Pen());
    if (!FFullRepaint) c->Pen()->SetMode(pmNotXor);
    const int x = s->CalcXPos(Point), y = s->CalcYPos(Point);
    const int z = s->StartZ();
    if (FStyle != hsNone) {
        c->AssignBrush(Brush(), Brush()->Color());
        const TRect r(x - FSize, y - FSize, x + FSize, y + FSize);
        if (FStyle == hsCircle) {
            if (chart->View3D())
                c->EllipseWithZ(r.Left, r.Top, r.Right, r.Bottom, z);
            else
                c->Ellipse(r.Left, r.Top, r.Right, r.Bottom);
        } else if (FStyle == hsRectangle) {
            if (chart->View3D())
                c->RectangleWithZ(r, z);
            else
                c->Rectangle(r);
        } else {
            const TPoint p[4] = {TPoint(x, y - FSize), TPoint(x + FSize, y), TPoint(x, y + FSize),
                                 TPoint(x - FSize, y)};
            c->PolygonWithZ(p, 3, z);
        }
    }
    if (FDrawLine) {
        c->Pen()->SetStyle(psSolid);
        c->Line(FMouse.x, FMouse.y, x, y);
    }
    if (!FFullRepaint) c->Pen()->SetMode(pmCopy);
}

void TNearestTool::ChartEvent(TChartToolEvent AEvent) {
    TTeeCustomToolSeries::ChartEvent(AEvent);
    if (AEvent == cteAfterDraw) PaintHint();
}

void TNearestTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift,
                                   int X, int Y) {
    TTeeCustomToolSeries::ChartMouseEvent(AEvent, Button, Shift, X, Y);
    if (AEvent != cmeMove || !Series()) return;
    if (!FFullRepaint) PaintHint();
    Point = GetNearestPoint(X, Y);
    FMouse = TPoint(X, Y);
    if (!FFullRepaint) PaintHint();
    TCallOut held{this, ParentChart(), ChartForm()};
    if (OnChange) OnChange(this);
    if (held.Gone()) return;
    if (FFullRepaint) Repaint();
}

// ---------------------------------------------------------------------------
// TMarksTipTool

AnsiString TMarksTipTool::Description() const {
    return TeeMsg_MarksTipTool;
}

TCustomAxisPanel* TMarksTipTool::Chart() const {
    return Series() ? Series()->ParentChart() : ParentChart();
}

int TMarksTipTool::GetMouseDelay() const {
    return Application ? Application->HintPause() : 500;
}

void TMarksTipTool::SetMouseDelay(int Value) {
    if (Application) Application->SetHintPause(Value);
}

void TMarksTipTool::ClearHint() {
    if (TCustomAxisPanel* c = Chart()) c->HidePartHint();
}

void TMarksTipTool::SetActive(bool Value) {
    TTeeCustomToolSeries::SetActive(Value);
    if (!Value) ClearHint();
}

void TMarksTipTool::SetMouseAction(TMarkToolMouseAction Value) {
    FMouseAction = Value;
    ClearHint();
}

void TMarksTipTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button, TShiftState Shift,
                                    int X, int Y) {
    TTeeCustomToolSeries::ChartMouseEvent(AEvent, Button, Shift, X, Y);
    TCustomAxisPanel* chart = Chart();
    if (!chart) return;
    if (!((AEvent == cmeMove && FMouseAction == mtmMove) ||
          (AEvent == cmeDown && FMouseAction == mtmClick)))
        return;
    // A series' hit test may call its click handler, which may free the
    // series, this tool, the chart or its form.
    TWatched<TChartSeries> found;
    int index = -1;
    if (TChartSeries* s = Series()) {
        TCallOut held{this, s, chart, ChartForm()};
        index = s->Clicked(X, Y);
        if (held.Gone()) return;
        // A series holding no values (a calendar) is hit with no point to tell of.
        if (index != -1 && index < s->Count()) found = s;
    } else {
        for (int i = chart->SeriesCount() - 1; i >= 0 && !found; --i) {
            TChartSeries* s = chart->GetSeries(i);
            TCallOut held{this, s, chart, ChartForm()};
            index = s->Clicked(X, Y);
            if (held.Gone()) return;
            if (index != -1 && index < s->Count()) found = s;
        }
    }
    if (found) {
        const TSeriesMarksStyle oldStyle = found->Marks()->Style();
        const bool oldRepaint = chart->AutoRepaint();
        chart->SetAutoRepaint(false);
        // Put back however the handler ends, and only on what it left alive.
        struct TRestore {
            TWatched<TSeriesMarks> Marks;
            TSeriesMarksStyle Style;
            TWatched<TCustomAxisPanel> Chart;
            bool Repaint;
            ~TRestore() {
                if (Marks) Marks->SetStyle(Style);
                if (Chart) Chart->SetAutoRepaint(Repaint);
            }
        } restore{found->Marks(), oldStyle, chart, oldRepaint};
        found->Marks()->SetStyle(FStyle);
        AnsiString text = found->GetMarkText(index);
        if (OnGetText) {
            TCallOut held{this, chart, ChartForm()};
            OnGetText(this, text);
            if (held.Gone() || !restore.Marks) return;
        }
        if (text != chart->Hint()) {
            chart->ShowPartHint(text);
            if (Application) Application->ActivateHint(chart->ClientToScreen(TPoint(X, Y)));
        }
        return;
    }
    for (int i = 0; i < chart->Tools()->Count(); ++i) {
        TTeeCustomTool* t = chart->Tools()->Get(i);
        if (t != this && dynamic_cast<TMarksTipTool*>(t)) return;
    }
    chart->HidePartHint();
    if (Application) Application->CancelHint();
}

// ---------------------------------------------------------------------------
// TAnnotationCallout, TAnnotationTool

TAnnotationCallout::TAnnotationCallout(TChartSeries* AOwner) : TCallout(AOwner) {
    SetVisible(false);
    Arrow()->InitVisible(false);
}

void TAnnotationCallout::Assign(TPersistent* Source) {
    if (auto* c = dynamic_cast<TAnnotationCallout*>(Source)) {
        FX = c->FX;
        FY = c->FY;
        FZ = c->FZ;
    }
    TCallout::Assign(Source);
}

void TAnnotationCallout::SetPos(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    if (ParentChart()) ParentChart()->Invalidate();
}

TAnnotationTool::TAnnotationTool(TComponent* AOwner)
    : TTeeCustomTool(AOwner), FCallout(std::make_unique<TAnnotationCallout>()),
      FShape(std::make_unique<TTeeShapePosition>()) {}

TAnnotationTool::~TAnnotationTool() = default;

AnsiString TAnnotationTool::Description() const {
    return TeeMsg_AnnotationTool;
}

void TAnnotationTool::SetParentChart(TCustomAxisPanel* Value) {
    TTeeCustomTool::SetParentChart(Value);
    if (ComponentState().Contains(csDestroying)) return;
    FShape->SetParent(Value);
    FCallout->SetParent(Value);
    Repaint();
}

void TAnnotationTool::SetCallout(TAnnotationCallout* Value) {
    FCallout->Assign(Value);
    Repaint();
}

void TAnnotationTool::SetShape(TTeeShapePosition* Value) {
    FShape->Assign(Value);
    Repaint();
}

void TAnnotationTool::SetPosition(TAnnotationPosition Value) {
    if (FPosition == Value) return;
    FPosition = Value;
    FShape->SetCustomPosition(false);
    Repaint();
}

void TAnnotationTool::SetTextAlign(TAlignment Value) {
    if (FTextAlignment == Value) return;
    FTextAlignment = Value;
    Repaint();
}

AnsiString TAnnotationTool::GetText() {
    return FText;
}

bool TAnnotationTool::Clicked(int X, int Y) const {
    return PointInRect(FShape->ShapeBounds(), X, Y);
}

TPoint TAnnotationTool::CloserPoint(const TRect& R, const TPoint& P) {
    const int x = P.x < R.Left ? R.Left : P.x > R.Right ? R.Right : (R.Left + R.Right) / 2;
    const int y = P.y < R.Top ? R.Top : P.y > R.Bottom ? R.Bottom : (R.Top + R.Bottom) / 2;
    return TPoint(x, y);
}

void TAnnotationTool::ChartEvent(TChartToolEvent AEvent) {
    TTeeCustomTool::ChartEvent(AEvent);
    if (AEvent == cteAfterDraw) DrawText();
}

void TAnnotationTool::ChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button,
                                      TShiftState Shift, int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    if (AEvent == cmeMove && FCursor != crDefault && Clicked(X, Y)) {
        chart->ShowPartCursor(FCursor);
        chart->SetCancelMouse(true);
    } else if (AEvent == cmeDown && OnClick && Clicked(X, Y)) {
        OnClick(this, Button, Shift, X, Y);
    }
}

void TAnnotationTool::DrawText() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    AnsiString text = GetText();
    if (text.IsEmpty()) text = " ";
    TCanvas3D* c = chart->Canvas();
    c->AssignFont(FShape->Font());
    const int h = c->FontHeight();
    int n = 1;
    const int w = chart->MultiLineTextWidth(text, n);
    // The corners of the size the chart is laid out at: an output of another
    // size than the window is laid out as a window of that size.
    const TRect area = chart->ChartBounds();
    int x, y;
    if (!FShape->CustomPosition()) {
        x = area.Width() - w - 8;
        y = area.Height() - n * h - 8;
        if (FPosition == ppLeftTop)
            x = 10, y = 10;
        else if (FPosition == ppLeftBottom)
            x = 10;
        else if (FPosition == ppRightTop)
            y = 10;
    } else {
        x = FShape->Left() + 4;
        y = FShape->Top() + 2;
    }
    const TRect bounds(x - 4, y - 2, x + w + 2, y + n * h + 2);
    FShape->SetShapeBounds(bounds);
    if (FShape->Visible()) FShape->Draw();
    c->AssignFont(FShape->Font());
    c->SetBackMode(cbmTransparent);
    int tx = x;
    if (FTextAlignment == taCenter) {
        c->SetTextAlign(TA_CENTER);
        tx = (bounds.Left + bounds.Right) / 2 + 2;
    } else if (FTextAlignment == taRightJustify) {
        c->SetTextAlign(TA_RIGHT);
        tx = bounds.Right - 2;
    } else {
        c->SetTextAlign(TA_LEFT);
    }
    const char sepChars[2] = {TeeLineSeparator, 0};
    const AnsiString sep(sepChars);
    for (int i = 1; i <= n; ++i)
        c->TextOut(tx, y + (i - 1) * h, TeeExtractField(text, i, sep));
    c->SetTextAlign(TA_LEFT);
    if (FCallout->Visible() || FCallout->Arrow()->Visible()) {
        TPoint p(FCallout->XPosition(), FCallout->YPosition());
        const TPoint boxPoint = CloserPoint(bounds, p);
        if (FCallout->Distance() != 0) p = PointAtDistance(boxPoint, p, FCallout->Distance());
        FCallout->Draw(clNone, p, boxPoint, FCallout->ZPosition());
    }
}

// ---------------------------------------------------------------------------
// TChartImageTool

TChartImageTool::TChartImageTool(TComponent* AOwner)
    : TTeeCustomToolSeries(AOwner), FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = [this](TObject*) { Repaint(); };
}

TChartImageTool::~TChartImageTool() = default;

AnsiString TChartImageTool::Description() const {
    return TeeMsg_ImageTool;
}

void TChartImageTool::SetPicture(TPicture* Value) {
    if (Value)
        FPicture->Assign(Value);
    else
        FPicture->SetGraphic(nullptr);
    Repaint();
}

void TChartImageTool::SetSeries(TChartSeries* Value) {
    TTeeCustomToolSeries::SetSeries(Value);
    Repaint();
}

void TChartImageTool::ChartEvent(TChartToolEvent AEvent) {
    TTeeCustomToolSeries::ChartEvent(AEvent);
    TCustomAxisPanel* chart = ParentChart();
    TGraphic* g = FPicture->Graphic();
    if (AEvent != cteBeforeDrawSeries || !chart || !g || g->Empty()) return;
    TRect r;
    if (TChartSeries* s = Series()) {
        r = TRect(
            s->CalcXPosValue(s->XValues()->MinValue()), s->CalcYPosValue(s->YValues()->MaxValue()),
            s->CalcXPosValue(s->XValues()->MaxValue()), s->CalcYPosValue(s->YValues()->MinValue()));
    } else {
        TChartAxis* h = GetHorizAxis();
        TChartAxis* v = GetVertAxis();
        if (!h || !v) return;
        r = TRect(h->CalcPosValue(h->Minimum()), v->CalcPosValue(v->Maximum()),
                  h->CalcPosValue(h->Maximum()), v->CalcPosValue(v->Minimum()));
    }
    TCanvas3D* c = chart->Canvas();
    const bool clip = chart->CanClip();
    if (clip) c->ClipCube(chart->ChartRect(), 0, chart->Width3D());
    if (!chart->View3D() || chart->View3DOptions()->Orthogonal())
        c->StretchDraw(c->CalcRect3D(r, 0), g);
    else
        c->StretchDraw(r, g, chart->Width3D());
    if (clip) c->UnClipRectangle();
}

// ---------------------------------------------------------------------------
// TSeriesAnimationTool

TSeriesAnimationTool::TSeriesAnimationTool(TComponent* AOwner) : TTeeCustomToolSeries(AOwner) {}

TSeriesAnimationTool::~TSeriesAnimationTool() = default;

AnsiString TSeriesAnimationTool::Description() const {
    return TeeMsg_SeriesAnimTool;
}

void TSeriesAnimationTool::Execute() {
    TChartSeries* s = Series();
    if (!s || !FIdle) return;
    FBackup.reset(static_cast<TChartSeries*>(s->ClassType()->Factory(nullptr)));
    FBackup->AssignValues(s);
    s->BeginUpdate();
    FIdle = false;
    // Each frame lets messages run, and OnStep may free anything: the series or
    // this tool going ends the run.
    const TWatched<TSeriesAnimationTool> self(this);
    const TWatched<TChartSeries> series(s);
    struct TEnd {
        const TWatched<TSeriesAnimationTool>& Tool;
        const TWatched<TChartSeries>& Series;
        ~TEnd() {
            if (Tool) Tool->FIdle = true;
            if (Series) Series->EndUpdate();
        }
    } end{self, series};
    const auto list = [&] {
        return series->YIsMandatory() ? series->YValues() : series->XValues();
    };
    const int count = list()->Count();
    const double start = FStartAtMin ? list()->MinValue() : FStartValue;
    for (int i = 0; i < count; ++i)
        list()->SetValueQuiet(i, start);
    const auto frame = [&] {
        if (TCustomAxisPanel* chart = series->ParentChart()) chart->Invalidate();
        if (Application) Application->ProcessMessages();
    };
    frame();
    if (!self || !series) return;
    // No steps means no growth to show: the values are put back at once.
    const int steps = std::max(1, FSteps);
    const int group = FDrawEvery > 0 ? FDrawEvery : std::max(1, count);
    for (int first = 0; first < count && !FIdle; first += group) {
        const int last = std::min(count - 1, first + group - 1);
        for (int step = 0; step <= steps; ++step) {
            const TChartValueList* saved =
                FBackup->YIsMandatory() ? FBackup->YValues() : FBackup->XValues();
            for (int i = first; i <= last && i < saved->Count() && i < list()->Count(); ++i)
                list()->SetValueQuiet(i, step * (saved->Value(i) - start) * (1.0 / steps) + start);
            if (OnStep) {
                // Held apart from the tool, which the handler may free.
                const TSeriesAnimationStep onStep = OnStep;
                onStep(this, step);
                if (!self || !series) return;
            }
            frame();
            if (!self || !series) return;
            if (FIdle) break;
        }
    }
}

// ---------------------------------------------------------------------------
// Registration

void TeeRegisterStandardTools() {
    RegisterTeeTools(
        {&TCursorTool::ClassInfo, &TDragMarksTool::ClassInfo, &TAxisArrowTool::ClassInfo,
         &TDrawLineTool::ClassInfo, &TNearestTool::ClassInfo, &TColorBandTool::ClassInfo,
         &TColorLineTool::ClassInfo, &TRotateTool::ClassInfo, &TChartImageTool::ClassInfo,
         &TMarksTipTool::ClassInfo, &TAnnotationTool::ClassInfo, &TSeriesAnimationTool::ClassInfo,
         &TGridBandTool::ClassInfo});
    TeeRegisterSeriesTools();
}

void TeeUnRegisterStandardTools() {
    UnRegisterTeeTools(
        {&TCursorTool::ClassInfo, &TDragMarksTool::ClassInfo, &TAxisArrowTool::ClassInfo,
         &TDrawLineTool::ClassInfo, &TNearestTool::ClassInfo, &TColorBandTool::ClassInfo,
         &TColorLineTool::ClassInfo, &TRotateTool::ClassInfo, &TChartImageTool::ClassInfo,
         &TMarksTipTool::ClassInfo, &TAnnotationTool::ClassInfo, &TSeriesAnimationTool::ClassInfo,
         &TGridBandTool::ClassInfo});
}
