// Handlers of a user's input that free what they belong to, on the chart
// itself and on its commander. Every event either class publishes gets a
// handler that frees its sender, the chart or the form; the mouse, the keys
// or the focus fire it as a user would, and the user goes on with what is
// left. An event no gesture reaches is named with its reason; a new event
// that is neither fails the sweep.
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/control/teeeditorhooks.h"
#include "handlers_free.h"
#include "platform/forms/buttons.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/rtlmath.h"
#include "support/recording_printer.h"
#include "tools_fixture.h"
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Events outside the ruling, with why.
const std::map<std::string, const char*>& NotInput() {
    static const std::map<std::string, const char*> why = {
        {"OnResize", "a resize, fired by code or the window manager"},
        {"OnGetLegendPos", "asked while the legend draws"},
        {"OnGetLegendRect", "asked while the legend draws"},
        {"OnGetLegendText", "asked while the legend draws"},
        {"OnGetAxisLabel", "asked while an axis draws"},
        {"OnGetNextAxisLabel", "asked while an axis draws"},
        {"OnBeforeDrawAxes", "fired while the chart draws"},
        {"OnBeforeDrawChart", "fired while the chart draws"},
        {"OnBeforeDrawSeries", "fired while the chart draws"},
        {"OnAfterDraw", "fired while the chart draws"},
    };
    return why;
}

// Events of the ruling's kinds that no gesture on the class reaches, with why.
const std::map<std::string, const char*>& Unreachable() {
    static const std::map<std::string, const char*> why = {
        {"TChart.OnPageChange", "the chart turns no page on a gesture of its own: the page "
                                "navigator and code do (paging cases below)"},
    };
    return why;
}

// A form with a chart of a line series and a second series on a custom
// axis, its legend and title shown, a field beside it to take the focus,
// and, for the commander's cases, the commander above the chart.
struct TInputScene {
    explicit TInputScene(bool Commander, bool Pie = false) {
        Form = new TForm(nullptr);
        Form->SetClientWidth(400);
        Form->SetClientHeight(380);
        Chart = new TChart(Form);
        Chart->SetParent(Form);
        Chart->SetBounds(0, 40, 400, 300);
        Chart->SetBevelOuter(bvNone);
        Chart->SetTabStop(true);
        Chart->Title()->Text()->Add("Title");
        RandSeed = 1;
        if (Pie) {
            auto* pie = new TPieSeries(Form);
            pie->SetParentChart(Chart);
            pie->FillSampleValues(4);
        } else {
            Chart->SetView3D(false);
            auto* line = new TLineSeries(Form);
            line->SetParentChart(Chart);
            line->FillSampleValues(6);
            auto* other = new TLineSeries(Form);
            other->SetParentChart(Chart);
            other->FillSampleValues(6);
            Axis = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
            other->SetCustomVertAxis(Axis);
        }
        Field = new TEdit(Form);
        Field->SetParent(Form);
        Field->SetBounds(0, 345, 100, 24);
        if (Commander) {
            Bar = new TTeeCommander(Form);
            Bar->SetParent(Form);
            Bar->SetBounds(0, 0, 400, 33);
            Bar->SetPanel(Chart);
        }
        Form->Show();
        Field->SetFocus();
        Chart->Draw();
        FormAlive = Form;
        ChartAlive = Chart;
        BarAlive = Bar;
    }
    ~TInputScene() {
        // A button a freed chart still held is let go.
        if (TChart* c = ChartAlive) SimulateMouse(c, TMouseAction::Up, mbLeft, 1, 1);
        delete FormAlive.Get();
    }
    void Free(TFrees F, TObject* Sender) {
        if (F == TFrees::Sender) {
            if (auto* c = dynamic_cast<TComponent*>(Sender))
                TComponent::Free(c);
            else
                delete Sender;
        }
        if (F == TFrees::Chart) TComponent::Free(ChartAlive.Get());
        if (F == TFrees::Form) TComponent::Free(FormAlive.Get());
    }
    void Mouse(TMouseAction A, int X, int Y, TMouseButton B = mbLeft) {
        if (TChart* c = ChartAlive) SimulateMouse(c, A, B, X, Y);
    }
    void Drag(TPoint From, TPoint To, TMouseButton B = mbLeft) {
        Mouse(TMouseAction::Move, From.x, From.y, B);
        Mouse(TMouseAction::Down, From.x, From.y, B);
        for (int i = 1; i <= 3; ++i)
            Mouse(TMouseAction::Move, From.x + (To.x - From.x) * i / 3,
                  From.y + (To.y - From.y) * i / 3, B);
        Mouse(TMouseAction::Up, To.x, To.y, B);
    }
    // Where the chart finds a part: the first place, bottom up, it answers.
    TPoint PlaceOf(TChartClickedPartStyle Part) {
        for (int y = 296; y >= 0; y -= 3)
            for (int x = 3; x < 400; x += 3)
                if (Chart->CalcNeedClickedPart(TPoint(x, y), false).Part == Part) return {x, y};
        ADD_FAILURE() << "no place of part " << int(Part);
        return {200, 150};
    }
    void Click(TPoint P) {
        Mouse(TMouseAction::Move, P.x, P.y);
        Mouse(TMouseAction::Down, P.x, P.y);
        Mouse(TMouseAction::Up, P.x, P.y);
    }
    // The user goes on with what is left: lets go of the button, presses a
    // key, paints, hovers, clicks and drags.
    void GoOn() {
        if (TChart* c = ChartAlive) {
            SimulateMouse(c, TMouseAction::Up, mbLeft, 200, 150);
            SimulateMouse(c, TMouseAction::Up, mbRight, 200, 150);
            SimulateKey(c, VK_LEFT);
            if (ChartAlive) ChartAlive->Draw();
            Drag({120, 90}, {230, 170});
            if (ChartAlive) ChartAlive->Draw();
        }
        if (TTeeCommander* b = BarAlive) {
            SimulateClick(b->ButtonRotate());
            if (BarAlive) SimulateClick(b->ButtonNormal());
        }
        if (TForm* f = FormAlive) {
            TBitmap face(400, 380);
            GrabControl(f, &face);
            SimulateClick(f, 200, 370);
            SimulateKey(f, 'A');
        }
    }

    TForm* Form = nullptr;
    TChart* Chart = nullptr;
    TChartAxis* Axis = nullptr;
    TEdit* Field = nullptr;
    TTeeCommander* Bar = nullptr;
    TWatched<TForm> FormAlive;
    TWatched<TChart> ChartAlive;
    TWatched<TTeeCommander> BarAlive;
};

// What the user does; a gesture is the steps that should fire one event.
using TStep = std::function<void(TInputScene&)>;

TStep ClickOn(TChartClickedPartStyle Part) {
    return [Part](TInputScene& S) { S.Click(S.PlaceOf(Part)); };
}

TPoint Corner(TInputScene& S, double Fx, double Fy) {
    const TRect r = S.Chart->ChartRect();
    return TPoint(r.Left + int(r.Width() * Fx), r.Top + int(r.Height() * Fy));
}

void TakeTheDrop(TObject*, TObject*, int, int, TDragState, bool& Accept) {
    Accept = true;
}

// The chart's gestures, by event.
const std::map<std::string, std::vector<TStep>>& ChartGestures() {
    const auto drag = [](double X0, double Y0, double X1, double Y1, TMouseButton B) -> TStep {
        return [=](TInputScene& S) { S.Drag(Corner(S, X0, Y0), Corner(S, X1, Y1), B); };
    };
    const TStep focus = [](TInputScene& S) { SimulateFocus(S.Chart); };
    const TStep unfocus = [](TInputScene& S) { SimulateFocus(S.Field); };
    const TStep key = [](TInputScene& S) { SimulateKey(S.Chart, 'A'); };
    // Dropped on itself: a drop needs a target that takes it.
    const TStep draggedOver = [](TInputScene& S) {
        S.Chart->SetDragMode(dmAutomatic);
        if (!S.Chart->OnDragOver) S.Chart->OnDragOver = TakeTheDrop;
        S.Drag({150, 120}, {260, 200});
    };
    static const std::map<std::string, std::vector<TStep>> gestures = {
        {"OnClick", {[](TInputScene& S) { SimulateClick(S.Chart, 200, 150); }}},
        {"OnDblClick", {[](TInputScene& S) { SimulateDoubleClick(S.Chart, 200, 150); }}},
        {"OnMouseDown", {drag(0.2, 0.2, 0.3, 0.3, mbLeft)}},
        {"OnMouseUp", {drag(0.2, 0.2, 0.3, 0.3, mbLeft)}},
        {"OnMouseMove", {drag(0.2, 0.2, 0.3, 0.3, mbLeft)}},
        {"OnMouseEnter", {[](TInputScene& S) { SimulateMouseEnter(S.Chart); }}},
        {"OnMouseLeave",
         {[](TInputScene& S) {
             SimulateMouseEnter(S.Chart);
             if (S.ChartAlive) SimulateMouseLeave(S.Chart);
         }}},
        {"OnMouseWheel", {[](TInputScene& S) { SimulateWheel(S.Chart, -120); }}},
        {"OnMouseWheelDown", {[](TInputScene& S) { SimulateWheel(S.Chart, -120); }}},
        {"OnMouseWheelUp", {[](TInputScene& S) { SimulateWheel(S.Chart, 120); }}},
        {"OnKeyDown", {key}},
        {"OnKeyUp", {key}},
        {"OnKeyPress", {key}},
        {"OnEnter", {focus}},
        {"OnExit", {focus, unfocus}},
        {"OnDragOver", {draggedOver}},
        {"OnDragDrop", {draggedOver}},
        {"OnEndDrag", {draggedOver}},
        {"OnClickSeries", {ClickOn(cpSeries)}},
        {"OnClickLegend", {ClickOn(cpLegend)}},
        {"OnClickAxis", {ClickOn(cpAxis)}},
        {"OnClickTitle", {ClickOn(cpTitle)}},
        {"OnClickBackground", {ClickOn(cpChartRect)}},
        {"OnZoom", {drag(0.2, 0.2, 0.7, 0.7, mbLeft)}},
        {"OnUndoZoom", {drag(0.7, 0.7, 0.2, 0.2, mbLeft)}},
        {"OnScroll", {drag(0.5, 0.5, 0.7, 0.6, mbRight)}},
        {"OnAllowScroll", {drag(0.5, 0.5, 0.7, 0.6, mbRight)}},
    };
    return gestures;
}

struct TSweep {
    int Cases = 0;
    std::string Faults;
    std::set<std::string> Unreached;

    // One case: binds the event's handler on Object, runs the steps until it
    // fires, and the user goes on.
    void Run(const std::string& Name, TInputScene& S, TObject* Object, const TPropInfo* Event,
             TFrees F, const std::vector<TStep>& Steps,
             std::function<bool(TObject*)> Takes = nullptr) {
        TFreeingHost host;
        host.Takes = std::move(Takes);
        host.Act = [&](TObject* Sender) { S.Free(F, Sender); };
        if (!Bind(Object, Event, &host)) {
            Faults += Name + ": no freeing handler fits\n";
            return;
        }
        ++Cases;
        TWatched<TPersistent> object = dynamic_cast<TPersistent*>(Object);
        for (const TStep& step : Steps) {
            if (host.Fired || !S.ChartAlive) break;
            step(S);
        }
        if (!host.Fired) {
            Unreached.insert(Name);
            if (object) Unbind(Object, Event);
        }
        S.GoOn();
    }
};

std::vector<const TPropInfo*> Events(TClass Class) {
    std::vector<const TPropInfo*> events;
    for (const TPropInfo* p : GetPropList(Class))
        if (p->Kind == TPropKind::Method) events.push_back(p);
    return events;
}

std::string Join(const std::set<std::string>& Names) {
    std::string s;
    for (const std::string& n : Names)
        s += n + "\n";
    return s;
}

std::string Join(const std::map<std::string, const char*>& Reasons) {
    std::string s;
    for (const auto& [name, why] : Reasons)
        s += name + ": " + why + "\n";
    return s;
}

class InputHandlersFreeSweep : public ToolsTest {};

TEST_F(InputHandlersFreeSweep, EveryChartHandlerMayFreeTheChartOrTheForm) {
    TSweep sweep;
    std::map<std::string, const char*> skipped;
    for (const TPropInfo* e : Events(&TChart::ClassInfo)) {
        const std::string event = e->Name.c_str(), name = "TChart." + event;
        if (NotInput().count(event) || Unreachable().count(name)) {
            skipped[name] = NotInput().count(event) ? NotInput().at(event) : Unreachable().at(name);
            continue;
        }
        auto g = ChartGestures().find(event);
        if (g == ChartGestures().end()) {
            sweep.Faults += name + ": no gesture and no reason\n";
            continue;
        }
        for (TFrees f : AllFrees) {
            TInputScene s(false);
            // The scroll's sender is an axis: the custom one is a program's to free.
            std::function<bool(TObject*)> takes;
            if (event == "OnAllowScroll" && f == TFrees::Sender) {
                TChartAxis* custom = s.Axis;
                takes = [custom](TObject* Sender) { return Sender == custom; };
            }
            sweep.Run(name + " freeing " + FreesName(f), s, s.Chart, e, f, g->second, takes);
        }
    }
    EXPECT_EQ(sweep.Faults, "");
    std::cout << "chart handlers x cases: " << sweep.Cases << ", not reached by a gesture: "
              << sweep.Unreached.size() << "\n"
              << Join(sweep.Unreached) << "left out:\n"
              << Join(skipped);
    RecordProperty("Cases", sweep.Cases);
    EXPECT_GE(sweep.Cases, 26 * 3);
    EXPECT_EQ(Join(sweep.Unreached), "");
}

// The commander's gestures: each mode button's click and its drag.
struct TBarGesture {
    const char* Name;
    TSpeedButton* (TTeeCommander::*Button)() const;
    bool Pie;
    TMouseButton Mouse;
    bool DuringDrag; // the handler is bound after the button's click
};

const TBarGesture BarGestures[] = {
    {"Normal clicked", &TTeeCommander::ButtonNormal, false, mbLeft, false},
    {"Rotate clicked", &TTeeCommander::ButtonRotate, false, mbLeft, false},
    {"Move clicked", &TTeeCommander::ButtonMove, false, mbLeft, false},
    {"Zoom clicked", &TTeeCommander::ButtonZoom, false, mbLeft, false},
    {"Depth clicked", &TTeeCommander::ButtonDepth, false, mbLeft, false},
    {"pie slice exploded", &TTeeCommander::ButtonNormal, true, mbLeft, true},
    {"rotate drag", &TTeeCommander::ButtonRotate, false, mbLeft, true},
    {"pie rotated", &TTeeCommander::ButtonRotate, true, mbLeft, true},
    {"move drag", &TTeeCommander::ButtonMove, false, mbLeft, true},
    {"zoom drag", &TTeeCommander::ButtonZoom, false, mbLeft, true},
    {"right-button move", &TTeeCommander::ButtonZoom, false, mbRight, true},
    {"depth drag", &TTeeCommander::ButtonDepth, false, mbLeft, true},
};

std::vector<TStep> BarSteps(const TBarGesture& G, bool Prepared) {
    std::vector<TStep> steps;
    if (!Prepared || !G.DuringDrag)
        steps.push_back([&G](TInputScene& S) { SimulateClick((S.Bar->*G.Button)()); });
    if (G.DuringDrag)
        steps.push_back([&G](TInputScene& S) {
            TPoint from(200, 150);
            if (G.Pie) {
                auto* pie = static_cast<TPieSeries*>(S.Chart->GetSeries(0));
                from = TPoint(pie->CircleCenterX(), pie->CircleCenterY() + pie->CircleSizeY() / 4);
            }
            S.Drag(from, TPoint(from.x + 40, from.y + 30), G.Mouse);
        });
    return steps;
}

// The commander's own controls: its bar clicked and dragged, focused and left.
const std::map<std::string, std::vector<TStep>>& BarControlGestures() {
    const TStep click = [](TInputScene& S) {
        for (TMouseAction a : {TMouseAction::Move, TMouseAction::Down, TMouseAction::Up,
                               TMouseAction::DoubleClick, TMouseAction::Up})
            if (S.BarAlive) SimulateMouse(S.Bar, a, mbLeft, 395, 30);
    };
    // The bar dragged onto the chart, and the chart onto the bar.
    const TStep dragged = [](TInputScene& S) {
        S.Bar->SetDragMode(dmAutomatic);
        SimulateMouse(S.Bar, TMouseAction::Down, mbLeft, 395, 30);
        for (int x = 380; x > 200 && S.BarAlive; x -= 40)
            SimulateMouse(S.Bar, TMouseAction::Move, mbLeft, x, 30 + (395 - x) / 2);
        if (S.BarAlive) SimulateMouse(S.Bar, TMouseAction::Up, mbLeft, 200, 120);
    };
    const TStep draggedOnto = [](TInputScene& S) {
        S.Chart->SetDragMode(dmAutomatic);
        if (!S.Bar->OnDragOver) S.Bar->OnDragOver = TakeTheDrop;
        S.Drag({200, 150}, {395, -10});
    };
    const TStep focus = [](TInputScene& S) {
        S.Bar->SetTabStop(true);
        SimulateFocus(S.Bar);
    };
    const TStep edit = [](TInputScene& S) {
        TeeEditorHooks().EditChart = [](TComponent*, TCustomChart*) {};
        SimulateClick(S.Bar->ButtonEdit());
        TeeEditorHooks() = TTeeEditorHooks();
    };
    static const std::map<std::string, std::vector<TStep>> gestures = {
        {"OnClick", {click}},
        {"OnDblClick", {click}},
        {"OnMouseDown", {click}},
        {"OnMouseUp", {click}},
        {"OnMouseMove", {click}},
        {"OnDragOver", {draggedOnto}},
        {"OnDragDrop", {draggedOnto}},
        {"OnEndDrag", {dragged}},
        {"OnEnter", {focus}},
        {"OnExit", {focus, [](TInputScene& S) { SimulateFocus(S.Field); }}},
        {"OnEditedChart", {edit}},
    };
    return gestures;
}

TEST_F(InputHandlersFreeSweep, EveryCommanderHandlerMayFreeTheCommanderTheChartOrTheForm) {
    TSweep sweep;
    std::map<std::string, const char*> skipped;
    for (const TPropInfo* e : Events(&TTeeCommander::ClassInfo)) {
        const std::string event = e->Name.c_str(), name = "TTeeCommander." + event;
        if (NotInput().count(event)) {
            skipped[name] = NotInput().at(event);
            continue;
        }
        if (event == "OnSetLabel") {
            for (const TBarGesture& g : BarGestures)
                for (TFrees f : AllFrees) {
                    TInputScene s(true, g.Pie);
                    if (g.DuringDrag) SimulateClick((s.Bar->*g.Button)());
                    sweep.Run(name + " on " + g.Name + " freeing " + FreesName(f), s, s.Bar, e, f,
                              BarSteps(g, true));
                }
            continue;
        }
        auto g = BarControlGestures().find(event);
        if (g == BarControlGestures().end()) {
            sweep.Faults += name + ": no gesture and no reason\n";
            continue;
        }
        for (TFrees f : AllFrees) {
            TInputScene s(true);
            sweep.Run(name + " freeing " + FreesName(f), s, s.Bar, e, f, g->second);
        }
    }
    EXPECT_EQ(sweep.Faults, "");
    std::cout << "commander handlers x cases: " << sweep.Cases
              << ", not reached by a gesture: " << sweep.Unreached.size() << "\n"
              << Join(sweep.Unreached) << "left out:\n"
              << Join(skipped);
    RecordProperty("Cases", sweep.Cases);
    EXPECT_GE(sweep.Cases, (12 + 11) * 3);
    EXPECT_EQ(Join(sweep.Unreached), "");
}

// The view's own handlers, which a commander's drag fires as it moves and
// zooms the view: each may free the commander, the chart or the form.
TEST_F(InputHandlersFreeSweep, TheViewsHandlersMayFreeWhatACommandersDragHolds) {
    struct TRow {
        const char* Name;
        TSpeedButton* (TTeeCommander::*Button)() const;
        TMouseButton Mouse;
        bool Zoom;
    };
    const TRow rows[] = {
        {"OnScrolled on a move drag", &TTeeCommander::ButtonMove, mbLeft, false},
        {"OnScrolled on a right-button move", &TTeeCommander::ButtonRotate, mbRight, false},
        {"OnChangedZoom on a zoom drag", &TTeeCommander::ButtonZoom, mbLeft, true},
    };
    int cases = 0;
    for (const TRow& r : rows)
        for (TFrees f : AllFrees) {
            SCOPED_TRACE(std::string(r.Name) + " freeing " + FreesName(f));
            TInputScene s(true);
            SimulateClick((s.Bar->*r.Button)());
            int fired = 0;
            const auto free = [&] {
                if (++fired > 1) return;
                if (f == TFrees::Sender)
                    TComponent::Free(s.BarAlive.Get());
                else
                    s.Free(f, nullptr);
            };
            TView3DOptions* v = s.Chart->View3DOptions();
            if (r.Zoom)
                v->OnChangedZoom = [&](int) { free(); };
            else
                v->OnScrolled = [&](bool) { free(); };
            s.Drag({200, 150}, {160, 100}, r.Mouse);
            EXPECT_EQ(fired, 1);
            EXPECT_EQ(bool(s.BarAlive), f == TFrees::Chart);
            EXPECT_EQ(bool(s.ChartAlive), f == TFrees::Sender);
            if (TTeeCommander* bar = s.BarAlive) {
                EXPECT_FALSE(bar->ButtonRotate()->Enabled()); // its chart went
            }
            s.GoOn();
            ++cases;
        }
    RecordProperty("Cases", cases);
}

// Every routine that turns the chart's page fires OnPageChange, whose handler
// may free the chart or its form: the routine stops there, a print job with it.
class PageChangeFrees : public ::testing::TestWithParam<std::tuple<int, TFrees>> {};

struct TPageRoutine {
    const char* Name;
    int StartPage;
    std::function<void(TChart*)> Turn;
};

const TPageRoutine PageRoutines[] = {
    {"Page setter", 2, [](TChart* C) { C->SetPage(3); }},
    {"NextPage", 2, [](TChart* C) { C->NextPage(); }},
    {"PreviousPage", 2, [](TChart* C) { C->PreviousPage(); }},
    {"MaxPointsPerPage setter", 3, [](TChart* C) { C->SetMaxPointsPerPage(20); }},
    {"PrintPages of all", 2, [](TChart* C) { C->PrintPages(); }},
    {"PrintPages after a page printed", 2, [](TChart* C) { C->PrintPages(2, 3); }},
};

TEST_P(PageChangeFrees, TheRoutineStopsWithTheChart) {
    const TPageRoutine& r = PageRoutines[std::get<0>(GetParam())];
    const TFrees f = std::get<1>(GetParam());
    SCOPED_TRACE(std::string(r.Name) + " freeing " + FreesName(f));
    TRecordingPrinter printer;
    printer.Install();
    TInputScene s(false);
    s.Chart->SetName("Paged");
    for (int i = 0; i < 2; ++i) {
        s.Chart->GetSeries(i)->Clear();
        for (int x = 0; x < 25; ++x)
            s.Chart->GetSeries(i)->AddXY(x, x % 7);
    }
    s.Chart->SetMaxPointsPerPage(10);
    s.Chart->SetPage(r.StartPage);
    int changes = 0;
    s.Chart->OnPageChange = [&](TObject* Sender) {
        if (++changes == 1) s.Free(f, Sender);
    };
    r.Turn(s.Chart);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(s.ChartAlive);
    // A print stopped unfinished is dropped.
    if (!printer.Log.empty()) {
        EXPECT_EQ(printer.Log.back(), "Abort");
    }
    s.GoOn();
}

INSTANTIATE_TEST_SUITE_P(EachRoutine, PageChangeFrees,
                         ::testing::Combine(::testing::Range(0, int(std::size(PageRoutines))),
                                            ::testing::Values(TFrees::Chart, TFrees::Form)));

} // namespace
