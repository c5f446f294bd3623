// Handlers that free what they belong to. Every mouse, click, change, drag,
// scroll and select event that a registered tool or series class publishes
// gets a handler that frees its sender, the chart or the chart's form; the
// mouse fires it as a user would, and the user goes on with what is left.
// Then the single cases, each with what it must leave behind.
#include "chart/control/series_gantt.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_hints.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teepoin3.h"
#include "handlers_free.h"
#include "platform/classes/props.h"
#include "platform/forms/buttons.h"
#include "platform/forms/forms.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/rtlmath.h"
#include "tools_fixture.h"
#include "support/series_classes.h"
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

// Events a user's mouse raises: mouse, click, change, drag, scroll and select.
bool RaisedByTheMouse(const TPropInfo* P) {
    if (P->Kind != TPropKind::Method) return false;
    const std::string name = P->Name.c_str();
    for (const char* word :
         {"Click", "Mouse", "Change", "Drag", "Scroll", "Select", "Resize", "Rotate", "NewLine"})
        if (name.find(word) != std::string::npos) return true;
    return false;
}

std::vector<const TPropInfo*> MouseEvents(TClass Class) {
    std::vector<const TPropInfo*> events;
    for (const TPropInfo* p : GetPropList(Class))
        if (RaisedByTheMouse(p)) events.push_back(p);
    return events;
}

std::vector<TClass> SeriesClasses() {
    TeeExtraSeriesStartup();
    return RegisteredSeriesClasses();
}

struct TStep {
    TMouseAction Action;
    int X, Y;
};

// A form with a chart of one series and, for a tool's events, the tool.
struct TScene {
    TScene(TClass SeriesClass, TClass ToolClass) {
        Form = new TForm(nullptr);
        Form->SetBounds(0, 0, 400, 300);
        Chart = new TChart(Form);
        Chart->SetParent(Form);
        Chart->SetBounds(0, 0, 400, 300);
        Chart->SetBevelOuter(bvNone);
        Chart->SetView3D(false);
        Series = CreateNewSeries(Form, Chart, SeriesClass);
        RandSeed = 1; // the same points each time
        Series->FillSampleValues(6);
        // The chart asks a series for its click only when someone listens.
        Chart->OnClickSeries = [](TCustomChart*, TChartSeries*, int, TMouseButton, TShiftState, int,
                                  int) {};
        if (ToolClass) {
            Tool = static_cast<TTeeCustomTool*>(ToolClass->Factory(Form));
            Tool->SetParentChart(Chart);
            if (auto* t = dynamic_cast<TTeeCustomToolSeries*>(Tool)) t->SetSeries(Series);
            if (auto* t = dynamic_cast<TTeeCustomToolAxis*>(Tool)) t->SetAxis(Chart->LeftAxis());
            // A line where the user sees it.
            if (auto* t = dynamic_cast<TColorLineTool*>(Tool)) {
                Chart->Draw();
                t->SetValue((Chart->LeftAxis()->Minimum() + Chart->LeftAxis()->Maximum()) / 2);
            }
        }
        Form->Show();
        Chart->Draw();
        // A button a freed chart of the case before still held is let go.
        SimulateMouse(Chart, TMouseAction::Up, mbLeft, 1, 1);
        FormAlive = Form;
        ChartAlive = Chart;
    }
    ~TScene() { delete FormAlive.Get(); }
    void Free(TFrees F, TComponent* Sender) {
        if (F == TFrees::Sender) TComponent::Free(Sender);
        if (F == TFrees::Chart) TComponent::Free(ChartAlive.Get());
        if (F == TFrees::Form) TComponent::Free(FormAlive.Get());
    }
    void Send(const TStep& S) {
        if (TChart* c = ChartAlive) SimulateMouse(c, S.Action, mbLeft, S.X, S.Y);
    }
    // The user goes on with what is left: lets go of the button, paints,
    // hovers, clicks and drags over the chart.
    void GoOn() {
        if (TChart* c = ChartAlive) {
            SimulateMouse(c, TMouseAction::Up, mbLeft, 200, 150);
            c->Draw();
            for (const TStep& s :
                 {TStep{TMouseAction::Move, 120, 90}, TStep{TMouseAction::Down, 200, 150},
                  TStep{TMouseAction::Move, 230, 170}, TStep{TMouseAction::Up, 230, 170},
                  TStep{TMouseAction::Move, 60, 250}})
                Send(s);
            if (ChartAlive) ChartAlive->Draw();
        } else if (TForm* f = FormAlive) {
            TBitmap face(400, 300);
            GrabControl(f, &face);
            SimulateClick(f, 200, 150);
        }
    }

    TForm* Form = nullptr;
    TChart* Chart = nullptr;
    TChartSeries* Series = nullptr;
    TTeeCustomTool* Tool = nullptr;
    TWatched<TForm> FormAlive;
    TWatched<TChart> ChartAlive;
};

void Drag(std::vector<TStep>& Steps, int X, int Y) {
    Steps.push_back({TMouseAction::Move, X, Y});
    Steps.push_back({TMouseAction::Down, X, Y});
    Steps.push_back({TMouseAction::Move, X + 8, Y + 6});
    Steps.push_back({TMouseAction::Move, X + 16, Y + 12});
    Steps.push_back({TMouseAction::Up, X + 16, Y + 12});
}

// Where a user finds a series' points: where it draws them, then the first
// places, bottom up, where its hit test answers, apart from each other.
std::vector<TPoint> HitPlaces(TChartSeries* S) {
    std::vector<TPoint> found;
    if (S->UseAxis())
        for (int i = 0; i < S->Count() && found.size() < 3; ++i)
            if (S->Clicked(S->CalcXPos(i), S->CalcYPos(i)) != -1)
                found.push_back(TPoint(S->CalcXPos(i), S->CalcYPos(i)));
    for (int y = 296; y >= 0 && found.size() < 6; y -= 7)
        for (int x = 3; x < 400 && found.size() < 6; x += 7) {
            if (S->Clicked(x, y) == -1) continue;
            bool apart = true;
            for (const TPoint& p : found)
                apart = apart && (std::abs(p.x - x) > 20 || std::abs(p.y - y) > 20);
            if (apart) found.push_back(TPoint(x, y));
        }
    return found;
}

// A series' points are entered, pressed, clicked twice and left.
std::vector<TStep> SeriesGesture(TChartSeries* S) {
    std::vector<TStep> steps;
    for (const TPoint& p : HitPlaces(S))
        for (const TStep& s :
             {TStep{TMouseAction::Move, p.x, p.y}, TStep{TMouseAction::Down, p.x, p.y},
              TStep{TMouseAction::Up, p.x, p.y}, TStep{TMouseAction::Down, p.x, p.y},
              TStep{TMouseAction::Up, p.x, p.y}, TStep{TMouseAction::DoubleClick, p.x, p.y},
              TStep{TMouseAction::Up, p.x, p.y}, TStep{TMouseAction::Move, 1, 1}})
            steps.push_back(s);
    return steps;
}

// A tool is dragged at every place a tool takes the mouse: an empty part of
// the plot (drawing a line there) and the line's middle, the plot's centre,
// the series' points and bar ends, the ends of the axes, the edges of the
// plot and the corner of an annotation; then the mouse crosses the window.
std::vector<TStep> ToolGesture(TScene& Scene) {
    TChart* c = Scene.Chart;
    const TRect r = c->ChartRect();
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    std::vector<TStep> steps;
    Drag(steps, r.Left + w / 4, r.Top + h / 4);
    Drag(steps, r.Left + w / 4 + 8, r.Top + h / 4 + 6);
    Drag(steps, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    TChartSeries* s = Scene.Series;
    for (int i = 0; i < s->Count(); ++i) {
        Drag(steps, s->CalcXPos(i), s->CalcYPos(i));
        if (auto* g = dynamic_cast<TGanttSeries*>(s)) {
            Drag(steps, s->CalcXPos(i) + 1, s->CalcYPos(i));
            Drag(steps, s->CalcXPosValue(g->EndValues()->Value(i)) - 1, s->CalcYPos(i));
        }
    }
    for (TChartAxis* a : {c->LeftAxis(), c->BottomAxis()})
        for (int along : {a->IStartPos + 5, a->IEndPos - 5})
            Drag(steps, a->Horizontal() ? along : a->PosAxis, a->Horizontal() ? a->PosAxis : along);
    Drag(steps, (r.Left + r.Right) / 2, r.Bottom);
    Drag(steps, (r.Left + r.Right) / 2, r.Top);
    Drag(steps, r.Left, (r.Top + r.Bottom) / 2);
    Drag(steps, r.Right, (r.Top + r.Bottom) / 2);
    Drag(steps, 14, 14);
    for (int y = 5; y < 300; y += 25)
        for (int x = 5; x < 400; x += 25)
            steps.push_back({TMouseAction::Move, x, y});
    return steps;
}

struct TSweep {
    int Cases = 0;      // handlers x what they free
    int NotReached = 0; // cases no gesture fired
    std::string Faults; // events no handler fits
    std::set<std::string> Unreached;

    // One case: the event's handler frees F, the gesture runs until it fires,
    // and the user goes on.
    void Run(const std::string& Name, TClass SeriesClass, TClass ToolClass, const char* Event,
             TFrees F) {
        TFreeingHost host; // outlives the scene, whose end may still call it
        TScene scene(SeriesClass, ToolClass);
        TComponent* sender = ToolClass ? static_cast<TComponent*>(scene.Tool) : scene.Series;
        // Pointers are clicked where they show.
        if (auto* c = dynamic_cast<TCustomSeries*>(scene.Series);
            c && !ToolClass && std::string(Event) == "OnClickPointer") {
            c->Pointer()->SetVisible(true);
            scene.Chart->Draw();
        }
        // Found before the handler is there: a hit test may call it.
        const std::vector<TStep> steps =
            ToolClass ? ToolGesture(scene) : SeriesGesture(scene.Series);
        host.Act = [&](TObject*) { scene.Free(F, sender); };
        if (!Bind(sender, GetPropInfo(sender->ClassType(), Event), &host)) {
            Faults += Name + ": no freeing handler fits\n";
            return;
        }
        ++Cases;
        for (const TStep& s : steps) {
            scene.Send(s);
            if (host.Fired) break;
        }
        if (!host.Fired) {
            ++NotReached;
            Unreached.insert(Name);
            // Nothing was freed: take the handler back before the scene goes.
            Unbind(sender, GetPropInfo(sender->ClassType(), Event));
        }
        scene.GoOn();
    }
};

// The fixture's chart has started the chart library, which registers the
// standard series.
class HandlersFreeSweep : public ToolsTest {};

TEST_F(HandlersFreeSweep, EverySeriesHandlerMayFreeItsSeriesTheChartOrTheForm) {
    TSweep sweep;
    for (TClass sc : SeriesClasses())
        for (const TPropInfo* e : MouseEvents(sc))
            for (TFrees f : AllFrees)
                sweep.Run(std::string(sc->Name) + "." + e->Name.c_str() + " freeing " +
                              FreesName(f),
                          sc, nullptr, e->Name.c_str(), f);
    EXPECT_EQ(sweep.Faults, "");
    // Every registered series takes clicks, entering and leaving.
    EXPECT_GE(sweep.Cases, 4 * 3 * static_cast<int>(SeriesClasses().size()));
    std::string unreached;
    for (const std::string& n : sweep.Unreached)
        unreached += n + "\n";
    std::cout << "series handlers x cases: " << sweep.Cases
              << ", not reached by a gesture: " << sweep.NotReached << "\n"
              << unreached;
    RecordProperty("Cases", sweep.Cases);
    RecordProperty("NotReached", sweep.NotReached);
    EXPECT_LT(sweep.NotReached * 4, sweep.Cases);
}

TEST_F(HandlersFreeSweep, EveryToolHandlerMayFreeItsToolTheChartOrTheForm) {
    TeeExtraSeriesStartup();
    TSweep sweep;
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        const TClass tc = TeeToolTypes().Get(i);
        for (const TPropInfo* e : MouseEvents(tc))
            for (TFrees f : AllFrees) {
                // A tool made for one kind of series gets that kind.
                const std::string name = tc->Name;
                const TClass sc = name == "TGanttTool" ? &TGanttSeries::ClassInfo
                                  : name == "TPieTool" ? &TPieSeries::ClassInfo
                                                       : &TLineSeries::ClassInfo;
                sweep.Run(name + "." + e->Name.c_str() + " freeing " + FreesName(f), sc, tc,
                          e->Name.c_str(), f);
            }
    }
    EXPECT_EQ(sweep.Faults, "");
    std::string unreached;
    for (const std::string& n : sweep.Unreached)
        unreached += n + "\n";
    std::cout << "tool handlers x cases: " << sweep.Cases
              << ", not reached by a gesture: " << sweep.NotReached << "\n"
              << unreached;
    RecordProperty("Cases", sweep.Cases);
    RecordProperty("NotReached", sweep.NotReached);
    EXPECT_GE(sweep.Cases, 16 * 3);
    EXPECT_EQ(unreached, "");
}

} // namespace

namespace {

// The single cases: each frees as a user's handler does, and what is left
// behind is used on and holds nothing that went.
class HandlersFreeTest : public ::testing::Test {};

TSpeedButton* ChartButton(TScene& S, const char* Caption) {
    for (int i = 0; i < S.Chart->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TSpeedButton*>(S.Chart->Controls(i));
            b && b->Caption() == Caption)
            return b;
    return nullptr;
}

class CalendarChangeFrees : public ::testing::TestWithParam<std::tuple<const char*, TFrees>> {};

TEST_P(CalendarChangeFrees, TheCalendarTheChartOrTheFormFromAButtonOrADay) {
    const std::string where = std::get<0>(GetParam());
    const TFrees f = std::get<1>(GetParam());
    TScene s(&TCalendarSeries::ClassInfo, nullptr);
    auto* calendar = static_cast<TCalendarSeries*>(s.Series);
    calendar->SetDate(EncodeDate(2024, 5, 15));
    s.Chart->Draw();
    int changes = 0;
    calendar->OnChange = [&](TCalendarSeries* Sender, TDateTime&) {
        ++changes;
        s.Free(f, Sender);
    };
    if (where == "day") {
        // The last row holds days of the next month.
        const TRect r = s.Chart->ChartRect();
        s.Send({TMouseAction::Down, r.Left + 10, r.Bottom - 5});
        s.Send({TMouseAction::Up, r.Left + 10, r.Bottom - 5});
    } else {
        TSpeedButton* b = ChartButton(s, where.c_str());
        ASSERT_NE(b, nullptr);
        SimulateClick(b);
    }
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(static_cast<bool>(s.ChartAlive), f == TFrees::Sender);
    // With the series its buttons went: the chart turns no more months.
    if (s.ChartAlive) {
        EXPECT_EQ(ChartButton(s, ">"), nullptr);
    }
    s.GoOn();
}

INSTANTIATE_TEST_SUITE_P(EachPlace, CalendarChangeFrees,
                         ::testing::Combine(::testing::Values(">", "<", "day"),
                                            ::testing::ValuesIn(AllFrees)));

// A handler of a tool, or of the chart, that frees the tool (or, for the
// chart's own, the chart), the chart or the form.
struct TToolCase {
    const char* Name;
    TClass SeriesClass;
    std::function<void(TScene&, std::function<void()>)> Arm; // sets the handler
    std::function<void(TScene&)> Gesture;
};

TPoint Centre(TScene& S) {
    const TRect r = S.Chart->ChartRect();
    return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

void DragFrom(TScene& S, TPoint From, TPoint To) {
    S.Send({TMouseAction::Down, From.x, From.y});
    S.Send({TMouseAction::Move, (From.x + To.x) / 2, (From.y + To.y) / 2});
    S.Send({TMouseAction::Move, To.x, To.y});
    S.Send({TMouseAction::Up, To.x, To.y});
}

const std::vector<TToolCase>& ToolCases() {
    using TRow = TToolCase;
    static const std::vector<TRow> rows = {
        {"colour line dragged", &TLineSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             auto* t = new TColorLineTool(S.Form);
             t->SetParentChart(S.Chart);
             t->SetAxis(S.Chart->BottomAxis());
             t->SetValue(S.Chart->BottomAxis()->Minimum() + 1);
             t->OnDragLine = [Free](TColorLineTool*) { Free(); };
             S.Tool = t;
         },
         [](TScene& S) {
             auto* t = static_cast<TColorLineTool*>(S.Tool);
             const int x = S.Chart->BottomAxis()->CalcPosValue(t->Value());
             DragFrom(S, TPoint(x, Centre(S).y), TPoint(x + 30, Centre(S).y));
         }},
        {"Gantt bar dragged", &TGanttSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             auto* t = new TGanttTool(S.Form);
             t->SetParentChart(S.Chart);
             t->SetSeries(S.Series);
             t->OnDragBar = [Free](TGanttTool*, int) { Free(); };
             S.Tool = t;
         },
         [](TScene& S) {
             auto* g = static_cast<TGanttSeries*>(S.Series);
             const int x0 = g->CalcXPos(0), x1 = g->CalcXPosValue(g->EndValues()->Value(0));
             const int y = g->CalcYPos(0);
             DragFrom(S, TPoint((x0 + x1) / 2, y), TPoint((x0 + x1) / 2 + 30, y));
         }},
        {"Gantt bar resized", &TGanttSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             auto* t = new TGanttTool(S.Form);
             t->SetParentChart(S.Chart);
             t->SetSeries(S.Series);
             t->OnResizeBar = [Free](TGanttTool*, int, TGanttToolBarPart) { Free(); };
             S.Tool = t;
         },
         [](TScene& S) {
             auto* g = static_cast<TGanttSeries*>(S.Series);
             const int x1 = g->CalcXPosValue(g->EndValues()->Value(0)), y = g->CalcYPos(0);
             DragFrom(S, TPoint(x1 - 1, y), TPoint(x1 + 30, y));
         }},
        {"nearest point hovered", &TLineSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             auto* t = new TNearestTool(S.Form);
             t->SetParentChart(S.Chart);
             t->SetSeries(S.Series);
             t->SetFullRepaint(false);
             t->OnChange = [Free](TObject*) { Free(); };
             S.Tool = t;
         },
         [](TScene& S) {
             S.Send({TMouseAction::Move, Centre(S).x, Centre(S).y});
         }},
        {"cursor set in code", &TLineSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             auto* t = new TCursorTool(S.Form);
             t->SetParentChart(S.Chart);
             S.Chart->Draw(); // placed
             t->OnChange = [Free](TCursorTool*, int, int, double, double, TChartSeries*, int) {
                 Free();
             };
             S.Tool = t;
         },
         [](TScene& S) {
             static_cast<TCursorTool*>(S.Tool)->SetXValue(1.25);
             if (S.ChartAlive) S.Chart->Draw();
         }},
        {"follow-mouse cursor moved", &TLineSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             auto* t = new TCursorTool(S.Form);
             t->SetParentChart(S.Chart);
             t->SetFollowMouse(true);
             S.Chart->Draw();
             t->OnChange = [Free](TCursorTool*, int, int, double, double, TChartSeries*, int) {
                 Free();
             };
             S.Tool = t;
         },
         [](TScene& S) {
             S.Send({TMouseAction::Move, Centre(S).x + 20, Centre(S).y});
         }},
        {"annotation clicked", &TLineSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             auto* t = new TAnnotationTool(S.Form);
             t->SetParentChart(S.Chart);
             t->SetText("note");
             S.Chart->Draw();
             t->OnClick = [Free](TAnnotationTool*, TMouseButton, TShiftState, int, int) { Free(); };
             S.Tool = t;
         },
         [](TScene& S) { DragFrom(S, TPoint(14, 14), TPoint(40, 40)); }},
        {"axis arrow clicked", &TLineSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             auto* t = new TAxisArrowTool(S.Form);
             t->SetParentChart(S.Chart);
             t->SetAxis(S.Chart->BottomAxis());
             t->OnClick = [Free](TAxisArrowTool*, bool) { Free(); };
             S.Tool = t;
         },
         [](TScene& S) {
             TChartAxis* a = S.Chart->BottomAxis();
             const int x = a->IStartPos + 5, y = a->PosAxis + 2;
             S.Send({TMouseAction::Down, x, y});
             S.Send({TMouseAction::Up, x, y});
         }},
        {"axis arrow scrolling the chart", &TLineSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             auto* t = new TAxisArrowTool(S.Form);
             t->SetParentChart(S.Chart);
             t->SetAxis(S.Chart->BottomAxis());
             // The tool's own click comes after the chart's scroll: not once it went.
             t->OnClick = [](TAxisArrowTool*, bool) { ADD_FAILURE() << "clicked after freed"; };
             S.Chart->OnScroll = [Free](TObject*) { Free(); };
             S.Tool = t;
         },
         [](TScene& S) {
             TChartAxis* a = S.Chart->BottomAxis();
             const int x = a->IEndPos - 5, y = a->PosAxis + 2;
             S.Send({TMouseAction::Down, x, y});
             S.Send({TMouseAction::Up, x, y});
         }},
        {"chart pressed", &TLineSeries::ClassInfo,
         [](TScene& S, std::function<void()> Free) {
             S.Tool = nullptr;
             S.Chart->OnMouseDown = [Free](TObject*, TMouseButton, TShiftState, int, int) {
                 Free();
             };
         },
         [](TScene& S) { DragFrom(S, Centre(S), TPoint(Centre(S).x + 40, Centre(S).y + 30)); }},
    };
    return rows;
}

class ToolHandlersFree : public ::testing::TestWithParam<std::tuple<int, TFrees>> {};

TEST_P(ToolHandlersFree, TheToolFreedByItsHandlerLeavesTheChartWorking) {
    const TToolCase& row = ToolCases()[size_t(std::get<0>(GetParam()))];
    const TFrees f = std::get<1>(GetParam());
    SCOPED_TRACE(std::string(row.Name) + " freeing " + FreesName(f));
    TScene s(row.SeriesClass, nullptr);
    int fired = 0;
    row.Arm(s, [&] {
        ++fired;
        if (fired == 1) s.Free(f, s.Tool ? static_cast<TComponent*>(s.Tool) : s.Chart);
    });
    TWatched<TTeeCustomTool> tool = s.Tool;
    row.Gesture(s);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(static_cast<bool>(s.ChartAlive), f == TFrees::Sender && s.Tool);
    if (s.ChartAlive) {
        EXPECT_EQ(s.Chart->Tools()->Count(), 0);
    }
    // The form owns the tool: the chart goes alone.
    if (f != TFrees::Chart) {
        EXPECT_FALSE(tool);
    }
    s.GoOn();
}

INSTANTIATE_TEST_SUITE_P(EachCase, ToolHandlersFree,
                         ::testing::Combine(::testing::Range(0, int(ToolCases().size())),
                                            ::testing::ValuesIn(AllFrees)));

TEST_F(HandlersFreeTest, ALineFreedWhileItIsBeingSelectedIsNeitherSelectedNorDrawn) {
    TScene s(&TLineSeries::ClassInfo, nullptr);
    auto* t = new TDrawLineTool(s.Form);
    t->SetParentChart(s.Chart);
    const TRect r = s.Chart->ChartRect();
    const int x = r.Left + 30, y = r.Top + 30;
    s.Send({TMouseAction::Down, x, y}); // a new line
    s.Send({TMouseAction::Move, x + 40, y + 20});
    s.Send({TMouseAction::Up, x + 40, y + 20});
    ASSERT_EQ(t->Lines()->Count(), 1);
    s.Chart->Draw();
    int selects = 0;
    t->OnSelecting = [](TDrawLineTool*, TDrawLine* Line, bool&) { delete Line; };
    t->OnSelect = [&](TObject*) { ++selects; };
    s.Send({TMouseAction::Down, x + 20, y + 10});
    s.Send({TMouseAction::Move, x + 30, y + 20});
    s.Send({TMouseAction::Up, x + 30, y + 20});
    EXPECT_EQ(t->Selected(), nullptr);
    EXPECT_EQ(t->Lines()->Count(), 0);
    EXPECT_EQ(selects, 0);
    s.Chart->Draw();
    s.GoOn();
}

TEST_F(HandlersFreeTest, APointSeriesIn3DFreedByItsPointerClickIsHandedToNoOne) {
    for (bool hovered : {false, true})
        for (TFrees f : AllFrees) {
            SCOPED_TRACE(std::string(hovered ? "hovered, " : "pressed, ") + FreesName(f));
            TScene s(&TPoint3DSeries::ClassInfo, nullptr);
            auto* p = static_cast<TPoint3DSeries*>(s.Series);
            // With a cursor of its own the series is asked on hovering too.
            if (hovered) p->SetCursor(crHandPoint);
            const std::vector<TPoint> at = HitPlaces(p);
            ASSERT_FALSE(at.empty());
            int handed = 0;
            s.Chart->OnClickSeries = [&](TCustomChart*, TChartSeries*, int, TMouseButton,
                                         TShiftState, int, int) { ++handed; };
            int clicks = 0;
            p->OnClickPointer = [&](TPoint3DSeries* Sender, int, int, int) {
                if (++clicks == 1) s.Free(f, Sender);
            };
            if (hovered) s.Send({TMouseAction::Move, at[0].x, at[0].y});
            s.Send({TMouseAction::Down, at[0].x, at[0].y});
            s.Send({TMouseAction::Up, at[0].x, at[0].y});
            s.Send({TMouseAction::Move, at[0].x + 1, at[0].y});
            EXPECT_EQ(clicks, 1);
            EXPECT_EQ(handed, 0);
            EXPECT_EQ(static_cast<bool>(s.ChartAlive), f == TFrees::Sender);
            s.GoOn();
        }
}

} // namespace
