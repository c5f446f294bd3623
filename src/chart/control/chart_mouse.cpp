// The chart's mouse.
//   hit test            CalcNeedClickedPart
//   zoom                DoZoom, ZoomRect, CalcZoomPoints, ZoomPercent, UndoZoom, saved scales
//   panning and wheel   ScrollVerticalAxes, panning inside MouseMove
//   mouse events        MouseDown, MouseMove, MouseUp, wheel handlers
#include "chart/control/chart.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teemarks.h"
#include <cmath>
#include <cstdlib>

// ---------------------------------------------------------------------------
// Hit test.

void TCustomChart::CalcClickedPart(const TPoint& Pos, TChartClickedPart& Part) {
    Part = CalcNeedClickedPart(Pos, false);
}

TChartClickedPart TCustomChart::CalcNeedClickedPart(const TPoint& Pos, bool OnlyNeeded) {
    TChartClickedPart r;
    TCallOut chart{this, GetParentForm(this)};
    if (FLegend->Visible()) {
        r.PointIndex = FLegend->Clicked(Pos.x, Pos.y);
        if (r.PointIndex != -1) {
            r.Part = cpLegend;
            return r;
        }
    }
    for (int i = SeriesCount() - 1; i >= 0; --i) {
        TChartSeries* s = GetSeries(i);
        if (!s->Active()) continue;
        if (OnlyNeeded && !s->OnClick && !s->OnDblClick && !OnClickSeries) continue;
        // A series' hit test may call its handler, which may free it or the chart:
        // the click was the series', with nothing left to hand on.
        TCallOut held{s};
        r.PointIndex = s->Clicked(Pos.x, Pos.y);
        if (chart.Gone() || held.Gone()) {
            r.Part = cpSeries;
            r.PointIndex = -1;
            return r;
        }
        if (r.PointIndex != -1) {
            r.Part = cpSeries;
            r.ASeries = s;
            return r;
        }
        if (s->Marks()->Visible()) {
            r.PointIndex = s->Marks()->Clicked(Pos.x, Pos.y);
            if (r.PointIndex != -1) {
                r.Part = cpSeriesMarks;
                r.ASeries = s;
                return r;
            }
        }
    }
    r.PointIndex = -1;
    for (int i = 0; i < Axes()->Count(); ++i)
        if (Axes()->Get(i)->Clicked(Pos.x, Pos.y)) {
            r.Part = cpAxis;
            r.AAxis = Axes()->Get(i);
            return r;
        }
    const std::pair<TChartTitle*, TChartClickedPartStyle> titles[4] = {
        {FTitle.get(), cpTitle},
        {FSubTitle.get(), cpSubTitle},
        {FFoot.get(), cpFoot},
        {FSubFoot.get(), cpSubFoot}};
    for (const auto& [t, part] : titles)
        if (t->Clicked(Pos.x, Pos.y)) {
            r.Part = part;
            return r;
        }
    if (PtInRect(ChartRect(), Pos) && CountActiveSeries() > 0) r.Part = cpChartRect;
    return r;
}

// ---------------------------------------------------------------------------
// Saved scales and zoom.

void TCustomChart::SaveScales() {
    FSavedScales.clear();
    for (int i = 0; i < Axes()->Count(); ++i) {
        TChartAxis* a = Axes()->Get(i);
        TAxisSavedScale s;
        s.Axis = a;
        if (!a->IsDepthAxis)
            s.Scales = {a->Automatic(), a->AutomaticMinimum(), a->AutomaticMaximum(), a->Maximum(),
                        a->Minimum()};
        FSavedScales.push_back(s);
    }
}

// Each record goes back to the axis it was taken from: axes added or removed
// since the zoom never receive another axis' scale.
void TCustomChart::RestoreScales() {
    for (const TAxisSavedScale& s : FSavedScales) {
        TChartAxis* a = s.Axis;
        if (!a || Axes()->IndexOf(a) == -1 || a->IsDepthAxis) continue;
        // The range first: setting it switches the automatic flags off.
        a->SetMinMax(s.Scales.Min, s.Scales.Max);
        a->SetAutomatic(s.Scales.Auto);
        a->SetAutomaticMinimum(s.Scales.AutoMin);
        a->SetAutomaticMaximum(s.Scales.AutoMax);
    }
    FSavedScales.clear();
}

void TCustomChart::DoZoom(double TopIni, double TopEnd, double BotIni, double BotEnd, double LefIni,
                          double LefEnd, double RigIni, double RigEnd) {
    if (FRestoredAxisScales) {
        SaveScales();
        FRestoredAxisScales = false;
    }
    struct Target {
        TChartAxis* Axis;
        double Min, Max;
    };
    const Target targets[4] = {{LeftAxis(), LefIni, LefEnd},
                               {RightAxis(), RigIni, RigEnd},
                               {TopAxis(), TopIni, TopEnd},
                               {BottomAxis(), BotIni, BotEnd}};
    if (Zoom()->Animated())
        for (int step = 1; step < Zoom()->AnimatedSteps(); ++step) {
            for (const Target& t : targets) {
                const double max =
                    t.Axis->Maximum() + (t.Max - t.Axis->Maximum()) / AnimatedZoomFactor;
                const double min =
                    t.Axis->Minimum() - (t.Axis->Minimum() - t.Min) / AnimatedZoomFactor;
                t.Axis->SetMinMax(min, max);
            }
            Repaint();
        }
    for (const Target& t : targets)
        t.Axis->SetMinMax(t.Min, t.Max);
    SetZoomed(true);
    if (OnZoom) OnZoom(this);
}

void TCustomChart::ZoomRect(const TRect& Rect) {
    Zoom()->X0 = Rect.Left;
    Zoom()->Y0 = Rect.Top;
    Zoom()->X1 = Rect.Right;
    Zoom()->Y1 = Rect.Bottom;
    CalcZoomPoints();
}

void TCustomChart::CalcZoomPoints() {
    TTeeZoom* z = Zoom();
    z->Check();
    DoZoom(TopAxis()->CalcPosPoint(z->X0), TopAxis()->CalcPosPoint(z->X1),
           BottomAxis()->CalcPosPoint(z->X0), BottomAxis()->CalcPosPoint(z->X1),
           LeftAxis()->CalcPosPoint(z->Y1), LeftAxis()->CalcPosPoint(z->Y0),
           RightAxis()->CalcPosPoint(z->Y1), RightAxis()->CalcPosPoint(z->Y0));
}

void TCustomChart::ZoomPercent(double PercentZoom) {
    // From 150 % on every range would end empty or inverted: nothing changes.
    const double shrink = (PercentZoom - 100) * 0.01;
    if (!(shrink < 0.5)) return;
    double v[4][2];
    TChartAxis* axes[4] = {LeftAxis(), RightAxis(), TopAxis(), BottomAxis()};
    for (int i = 0; i < 4; ++i) {
        // A fixed axis keeps its own limits; an automatic one takes the data's.
        double min = axes[i]->Minimum(), max = axes[i]->Maximum();
        axes[i]->CalcMinMax(min, max);
        const double delta = (max - min) * shrink;
        v[i][0] = min + delta;
        v[i][1] = max - delta;
        if (!std::isfinite(v[i][0]) || !std::isfinite(v[i][1]) || v[i][0] > v[i][1]) return;
    }
    TCallOut held{this, GetParentForm(this)};
    DoZoom(v[2][0], v[2][1], v[3][0], v[3][1], v[0][0], v[0][1], v[1][0], v[1][1]);
    if (held.Gone()) return;
    Invalidate();
}

void TCustomChart::UndoZoom() {
    if (!FRestoredAxisScales) {
        RestoreScales();
        FRestoredAxisScales = true;
    }
    TCustomAxisPanel::UndoZoom();
}

void TCustomChart::ScrollVerticalAxes(bool Up) {
    for (int i = 0; i < Axes()->Count(); ++i) {
        TChartAxis* a = Axes()->Get(i);
        if (a->Horizontal() || a->IsDepthAxis) continue;
        double delta = (a->Minimum() - a->Maximum()) * 3 * 0.01;
        if (!Up) delta = -delta;
        a->Scroll(delta, false);
    }
}

void TCustomChart::BroadcastChartMouseEvent(TChartMouseEvent AEvent, TMouseButton Button,
                                            TShiftState Shift, int X, int Y) {
    if (Tools()->Count() == 0) return;
    // A tool's handler may free it, another tool, the chart or its form: walk
    // the tools as they were and stop once the chart went.
    std::vector<TWatched<TTeeCustomTool>> tools;
    tools.reserve(Tools()->Count());
    for (int i = 0; i < Tools()->Count(); ++i)
        tools.emplace_back(Tools()->Get(i));
    TCallOut held{this, GetParentForm(this)};
    for (const TWatched<TTeeCustomTool>& t : tools) {
        if (CancelMouse()) return;
        if (!t || !t->Active()) continue;
        t->ChartMouseEvent(AEvent, Button, Shift, X, Y);
        if (held.Gone()) return;
    }
}

// ---------------------------------------------------------------------------
// Mouse events.

namespace {
bool Contains(TShiftState Shift, TShiftState Needed) {
    return (Shift.Bits() & Needed.Bits()) == Needed.Bits();
}
} // namespace

void TCustomChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // A handler may free the chart or its form, or the series or axis clicked:
    // what each call held is looked at after it, and a freed chart ends here.
    TCallOut held{this, GetParentForm(this)};
    TCustomAxisPanel::MouseDown(Button, Shift, X, Y);
    if (held.Gone()) return;
    if (CancelMouse() || Zoom()->Active || Panning()->Active) return;
    SetCancelMouse(false);
    BroadcastChartMouseEvent(cmeDown, Button, Shift, X, Y);
    if (held.Gone()) return;
    if (CancelMouse()) {
        SetCancelMouse(false);
        return;
    }
    const auto startZoomOrPan = [&]() -> bool {
        if (!ActiveSeriesUseAxis()) return false;
        const TRect r = ChartRect();
        bool started = false;
        TTeeZoom* z = Zoom();
        if (z->Allow() && Button == z->MouseButton() && Contains(Shift, z->KeyShift())) {
            int x = X, y = Y;
            if (z->Direction() == tzdVertical) x = r.Left;
            if (z->Direction() == tzdHorizontal) y = r.Top;
            z->Activate(x, y);
            if (z->Direction() == tzdVertical) z->X1 = r.Right;
            if (z->Direction() == tzdHorizontal) z->Y1 = r.Bottom;
            DrawZoomRectangle();
            started = true;
        } else if (AllowPanning() != pmNone && Button == FScrollMouseButton &&
                   Contains(Shift, TeeScrollKeyShift)) {
            Panning()->Activate(X, Y);
            started = true;
        }
        if (started) RestoreCursor();
        return started;
    };
    const auto callHandler = [&](const std::function<void()>& Call) -> bool {
        SetCancelMouse(true);
        Call();
        return held.Gone() || CancelMouse();
    };

    const TChartClickedPart part = CalcNeedClickedPart(TPoint(X, Y), true);
    if (held.Gone()) return;
    bool handled = false;
    switch (part.Part) {
    case cpLegend:
        handled = FLegend->DoMouseDown(X, Y);
        if (held.Gone()) return;
        if (OnClickLegend) handled = callHandler([&] { OnClickLegend(this, Button, Shift, X, Y); });
        break;
    case cpAxis:
        if (OnClickAxis)
            handled = callHandler([&] { OnClickAxis(this, part.AAxis, Button, Shift, X, Y); });
        if (held.Gone()) return;
        if (!handled) handled = startZoomOrPan();
        break;
    case cpSeries: {
        SetCancelMouse(false);
        // The series' own handler may free it: the chart's then has none to get.
        const TWatched<TChartSeries> clicked = part.ASeries;
        if (TChartSeries* s = part.ASeries) {
            if (Shift.Contains(ssDouble)) {
                if (s->OnDblClick) s->OnDblClick(s, part.PointIndex, Button, Shift, X, Y);
            } else if (s->OnClick) {
                s->OnClick(s, part.PointIndex, Button, Shift, X, Y);
            }
            if (held.Gone()) return;
        }
        handled = CancelMouse();
        if (OnClickSeries && clicked)
            handled = callHandler(
                [&] { OnClickSeries(this, clicked, part.PointIndex, Button, Shift, X, Y); });
        if (held.Gone()) return;
        if (!handled) handled = startZoomOrPan();
        break;
    }
    case cpTitle:
    case cpFoot:
    case cpSubTitle:
    case cpSubFoot: {
        TChartTitle* t = part.Part == cpTitle      ? FTitle.get()
                         : part.Part == cpSubTitle ? FSubTitle.get()
                         : part.Part == cpFoot     ? static_cast<TChartTitle*>(FFoot.get())
                                                   : FSubFoot.get();
        if (OnClickTitle)
            handled = callHandler([&] { OnClickTitle(this, t, Button, Shift, X, Y); });
        if (held.Gone()) return;
        if (!handled) handled = startZoomOrPan();
        break;
    }
    case cpChartRect:
        if (OnClickBackground)
            handled = callHandler([&] { OnClickBackground(this, Button, Shift, X, Y); });
        if (held.Gone()) return;
        if (!handled) handled = startZoomOrPan();
        break;
    default:
        break;
    }
    if (held.Gone()) return;
    if (!handled && OnClickBackground)
        callHandler([&] { OnClickBackground(this, Button, Shift, X, Y); });
    if (held.Gone()) return;
    SetCancelMouse(false);
}

void TCustomChart::MouseMove(TShiftState Shift, int X, int Y) {
    TCallOut held{this, GetParentForm(this)};
    TCustomAxisPanel::MouseMove(Shift, X, Y);
    if (held.Gone()) return;
    if (!ComponentState().Contains(csDesigning))
        BroadcastChartMouseEvent(cmeMove, mbLeft, Shift, X, Y);
    if (held.Gone()) return;
    if (CancelMouse()) return;
    const TRect r = ChartRect();
    TTeeZoom* z = Zoom();
    TZoomPanning* pan = Panning();
    if (z->Active) {
        if (z->Direction() == tzdVertical) X = r.Right;
        if (z->Direction() == tzdHorizontal) Y = r.Bottom;
        if (X != z->X1 || Y != z->Y1) {
            DrawZoomRectangle();
            z->X1 = X;
            z->Y1 = Y;
            DrawZoomRectangle();
        }
    } else if (pan->Active) {
        if (!PtInRect(r, TPoint(X, Y))) {
            pan->Active = false;
            return;
        }
        if (X == pan->X1 && Y == pan->Y1) return;
        pan->Check();
        if (FRestoredAxisScales) {
            SaveScales();
            FRestoredAxisScales = false;
        }
        bool moved = false;
        const auto panAxes = [&](bool Horizontal, int From, int To) {
            const TPanningMode mode = Horizontal ? pmHorizontal : pmVertical;
            if (From == To || (AllowPanning() != mode && AllowPanning() != pmBoth)) return;
            for (int i = 0; i < Axes()->Count(); ++i) {
                TChartAxis* a = Axes()->Get(i);
                if (a->IsDepthAxis || a->Horizontal() != Horizontal) continue;
                const double delta = a->CalcPosPoint(From) - a->CalcPosPoint(To);
                double min = a->Minimum() + delta, max = a->Maximum() + delta;
                bool allow = true;
                // The handler's sender is the axis, which it may free too.
                TCallOut axis{a};
                if (OnAllowScroll) OnAllowScroll(a, min, max, allow);
                if (held.Gone() || axis.Gone()) return;
                if (allow) {
                    a->SetMinMax(min, max);
                    moved = true;
                }
            }
        };
        // The panning state is the chart's own: read it through the chart,
        // which the guard watches, once a scroll handler has run.
        panAxes(true, pan->X1, X);
        if (held.Gone()) return;
        panAxes(false, Panning()->Y1, Y);
        if (held.Gone()) return;
        Panning()->X1 = X;
        Panning()->Y1 = Y;
        if (moved) {
            if (OnScroll) OnScroll(this);
            if (held.Gone()) return;
            Invalidate();
        }
    } else {
        const bool claimed = CheckMouseSeries(X, Y);
        if (held.Gone()) return;
        if (!claimed) RestoreCursor();
    }
}

void TCustomChart::MouseLeave() {
    TCallOut held{this, GetParentForm(this)};
    TCustomAxisPanel::MouseLeave();
    if (held.Gone()) return;
    for (int i = 0; i < Tools()->Count(); ++i)
        if (TTeeCustomTool* t = Tools()->Get(i); t->Active()) t->ChartMouseLeave();
}

void TCustomChart::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetCancelMouse(false);
    TCallOut held{this, GetParentForm(this)};
    TCustomAxisPanel::MouseUp(Button, Shift, X, Y);
    if (held.Gone()) return;
    TTeeZoom* z = Zoom();
    if (z->Active && Button == z->MouseButton()) {
        z->Active = false;
        DrawZoomRectangle();
        Canvas()->Pen()->SetMode(pmCopy);
        const TRect r = ChartRect();
        if (z->Direction() == tzdVertical) X = r.Right;
        if (z->Direction() == tzdHorizontal) Y = r.Bottom;
        z->X1 = X;
        z->Y1 = Y;
        if (std::abs(z->X1 - z->X0) > z->MinimumPixels() &&
            std::abs(z->Y1 - z->Y0) > z->MinimumPixels()) {
            if (z->X1 > z->X0 && z->Y1 > z->Y0)
                CalcZoomPoints();
            else
                UndoZoom();
            if (held.Gone()) return;
            Invalidate();
        }
    }
    Panning()->Active = false;
    BroadcastChartMouseEvent(cmeUp, Button, Shift, X, Y);
}

bool TCustomChart::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    return TCustomAxisPanel::DoMouseWheel(Shift, WheelDelta, MousePos);
}

bool TCustomChart::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    TCallOut held{this, GetParentForm(this)};
    const bool result = TCustomAxisPanel::DoMouseWheelDown(Shift, MousePos);
    if (held.Gone()) return true;
    if (TeeUseMouseWheel) {
        ScrollVerticalAxes(true);
        Invalidate();
    }
    return result;
}

bool TCustomChart::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    TCallOut held{this, GetParentForm(this)};
    const bool result = TCustomAxisPanel::DoMouseWheelUp(Shift, MousePos);
    if (held.Gone()) return true;
    if (TeeUseMouseWheel) {
        ScrollVerticalAxes(false);
        Invalidate();
    }
    return result;
}
