// Every reference an object of the chart library keeps to another that may be
// freed before it: what the published tables of the registered tools, series
// and functions and of the registered components beside a chart (commander,
// editor, previewer, grid, lists) refer to, a series' custom axes and the
// controls a series puts on its chart. Each is freed in both orders; the chart
// is then painted, clicked, saved and freed. Under the address sanitizer a use
// of the freed one fails here. The windows opened about a chart or a series
// (from the commander's buttons and the companions' entry points) see it freed
// while they are open. References kept outside those tables (the legend's
// series, a running animation, a chart picture, the lists and tools of editor
// forms) are freed under their holders, which are then used as a user would.
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/control/teedraw3d.h"
#include "chart/control/teeedit.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_hints.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeaxisincr.h"
#include "chart/editor/teeedifunc.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeexport.h"
#include "chart/editor/teegallerypanel.h"
#include "chart/editor/teegally.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teepreviewpanel.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teesources.h"
#include "chart/engine/teetools.h"
#include "chart/series/candlech.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teevolumefunctions.h"
#include "platform/classes/watched.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include "platform/forms/testhooks.h"
#include "support/forms_testing.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/graphics.h"
#include "platform/win32/mailto.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int W = 400, H = 300;

TChart* NewChart() {
    auto* c = new TChart(nullptr);
    c->SetBounds(0, 0, W, H);
    c->SetView3D(false);
    TChartSeries* s = CreateNewSeries(c, c, &TLineSeries::ClassInfo);
    for (int i = 0; i <= 10; ++i)
        s->AddXY(i, i * 10);
    return c;
}

// Painted on the window and on a picture, clicked where the plot, the corners and
// the controls on the chart are, and saved with its data.
void Exercise(TChart* C) {
    C->Draw();
    TBitmap picture(W, H);
    C->Draw(picture.Canvas(), TRect(0, 0, W, H));
    for (TPoint p : {TPoint(200, 150), TPoint(60, 60), TPoint(340, 240), TPoint(17, 17),
                     TPoint(41, 17), TPoint(200, 12)}) {
        SimulateMouse(C, TMouseAction::Down, mbLeft, p.x, p.y);
        SimulateMouse(C, TMouseAction::Move, mbLeft, p.x + 7, p.y + 5);
        SimulateMouse(C, TMouseAction::Up, mbLeft, p.x + 7, p.y + 5);
    }
    std::vector<TControl*> controls;
    for (int i = 0; i < C->ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TControl*>(C->Components(i))) controls.push_back(control);
    for (TControl* control : controls)
        SimulateClick(control);
    TMemoryStream stream;
    SaveChartToStream(C, &stream);
}

std::vector<TClass> SeriesClasses() {
    std::vector<TClass> all{&TLineSeries::ClassInfo};
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TClass c = TeeSeriesTypes().Get(i)->SeriesClass;
        if (c && !TeeSeriesTypes().Get(i)->FunctionClass &&
            std::find(all.begin(), all.end(), c) == all.end())
            all.push_back(c);
    }
    return all;
}

// What a published reference of that class can point at, made on the chart: a
// series the property takes, a custom axis, or the chart itself. Null when the
// property refers to something else.
TObject* MakeTarget(TChart* C, TObject* Referrer, const TPropInfo* P) {
    if (P->Kind == TPropKind::Object) {
        if (!P->PropClass->InheritsFrom(&TChartAxis::ClassInfo) || !P->SetObj) return nullptr;
        TObject* axis = C->CustomAxes()->Add();
        P->SetObj(Referrer, axis);
        return axis;
    }
    if (P->Kind != TPropKind::Component || !P->SetObj) return nullptr;
    if (TChart::ClassInfo.InheritsFrom(P->PropClass) && P->PropClass != &TComponent::ClassInfo) {
        P->SetObj(Referrer, C);
        return P->GetObj(Referrer) == C ? C : nullptr;
    }
    if (!TChartSeries::ClassInfo.InheritsFrom(P->PropClass) &&
        !P->PropClass->InheritsFrom(&TChartSeries::ClassInfo))
        return nullptr;
    // The first series class the property takes (a grid tool takes grid series only).
    for (TClass sc : SeriesClasses()) {
        if (!sc->InheritsFrom(P->PropClass)) continue;
        TChartSeries* s = CreateNewSeries(C, C, sc);
        s->FillSampleValues(5);
        try {
            P->SetObj(Referrer, s);
        } catch (const Exception&) {
        }
        if (P->GetObj(Referrer) == s) return s;
        delete s;
    }
    return nullptr;
}

void Free(TObject* Target) {
    if (auto* axis = dynamic_cast<TChartAxis*>(Target))
        delete axis; // as the axis page's Delete does
    else
        TComponent::Free(static_cast<TComponent*>(Target));
}

// A referrer made fresh on a fresh chart (owned by the chart, or by Host when it
// stands beside the chart).
using TMaker = std::function<TComponent*(TChart* C, TComponent* Host)>;

struct TLetGoRun {
    int References = 0;
    std::vector<std::string> Seen;
    std::vector<std::string> Failures;

    // Each published reference of what Make makes, freed first and freed last.
    void Sweep(const std::string& Name, const TMaker& Make) {
        std::unique_ptr<TChart> probeChart(NewChart());
        TComponent probeHost(nullptr);
        TComponent* probe = Make(probeChart.get(), &probeHost);
        std::vector<const TPropInfo*> props;
        for (const TPropInfo* p : GetPropList(probe->ClassType()))
            if (p->Name != "ParentChart" && MakeTarget(probeChart.get(), probe, p))
                props.push_back(p);
        for (const TPropInfo* p : props) {
            ++References;
            Seen.push_back(Name + "." + p->Name.c_str());
            for (bool targetFirst : {true, false}) {
                auto host = std::make_unique<TComponent>(nullptr);
                TChart* chart = NewChart();
                std::unique_ptr<TChart> owned(chart);
                TComponent* referrer = Make(chart, host.get());
                TObject* target = MakeTarget(chart, referrer, p);
                const std::string what =
                    Name + "." + std::string(p->Name.c_str()) +
                    (targetFirst ? ", its target freed first" : ", freed before its target");
                if (!target) {
                    Failures.push_back(what + ": takes no target");
                    continue;
                }
                Exercise(chart);
                if (targetFirst) {
                    if (target == chart) {
                        owned.reset();
                        chart = nullptr;
                    } else {
                        Free(target);
                    }
                    if (p->GetObj(referrer) != nullptr) Failures.push_back(what + ": still held");
                    if (auto* control = dynamic_cast<TControl*>(referrer)) {
                        TBitmap face(200, 100);
                        GrabControl(control, &face);
                    }
                    if (chart) Exercise(chart);
                    TComponent::Free(referrer);
                } else {
                    TComponent::Free(referrer);
                    if (target != chart) Free(target);
                }
                if (chart) Exercise(chart);
            }
        }
    }
};

TComponent* OnChart(TComponent* Made, TChart* C) {
    if (auto* e = dynamic_cast<TCustomChartElement*>(Made)) e->SetParentChart(C);
    return Made;
}

class FreedFirstTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        TeeExtraSeriesStartup();
    }
};

std::string Lines(const std::vector<std::string>& Failures) {
    std::string all;
    for (const std::string& f : Failures)
        all += f + "\n";
    return all;
}

TEST_F(FreedFirstTest, ToolsLetGoOfTheSeriesAndAxesTheyPointAt) {
    TLetGoRun run;
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        TClass tc = TeeToolTypes().Get(i);
        run.Sweep(tc->Name, [tc](TChart* C, TComponent*) {
            return OnChart(static_cast<TComponent*>(tc->Factory(C)), C);
        });
    }
    EXPECT_TRUE(run.Failures.empty()) << Lines(run.Failures);
    // Every series tool's series and every axis tool's axis.
    EXPECT_GE(run.References, 15);
    RecordProperty("tool references", run.References);
    if (std::getenv("QM_LIST_REFERENCES")) std::fprintf(stderr, "%s", Lines(run.Seen).c_str());
}

TEST_F(FreedFirstTest, SeriesAndFunctionsLetGoOfTheirSources) {
    TLetGoRun run;
    for (TClass sc : SeriesClasses())
        run.Sweep(sc->Name, [sc](TChart* C, TComponent*) { return CreateNewSeries(C, C, sc); });
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TClass fc = TeeSeriesTypes().Get(i)->FunctionClass;
        if (!fc) continue;
        TClass sc = TeeSeriesTypes().Get(i)->SeriesClass;
        if (!sc) sc = &TLineSeries::ClassInfo;
        const std::string name = std::string(sc->Name) + "+" + fc->Name;
        run.Sweep(name, [sc, fc](TChart* C, TComponent*) { return CreateNewSeries(C, C, sc, fc); });
        run.Sweep(fc->Name, [sc, fc](TChart* C, TComponent*) -> TComponent* {
            return CreateNewSeries(C, C, sc, fc)->FunctionType();
        });
    }
    EXPECT_TRUE(run.Failures.empty()) << Lines(run.Failures);
    RecordProperty("series and function references", run.References);
    if (std::getenv("QM_LIST_REFERENCES")) std::fprintf(stderr, "%s", Lines(run.Seen).c_str());
    EXPECT_GE(run.References, 84);
}

// Every registered component beside the chart that publishes a reference to one.
std::vector<TClass> ChartCompanions() {
    std::vector<TClass> found;
    for (TClass c : RegisteredClasses()) {
        if (!c->Factory || !c->InheritsFrom(&TComponent::ClassInfo) ||
            c->InheritsFrom(&TCustomChartElement::ClassInfo))
            continue;
        for (const TPropInfo* p : GetPropList(c))
            if (p->Kind == TPropKind::Component && p->SetObj &&
                p->PropClass != &TComponent::ClassInfo &&
                TChart::ClassInfo.InheritsFrom(p->PropClass)) {
                found.push_back(c);
                break;
            }
    }
    return found;
}

TEST_F(FreedFirstTest, ChartCompanionsLetGoOfTheChart) {
    TLetGoRun run;
    for (TClass cc : ChartCompanions())
        run.Sweep(cc->Name, [cc](TChart*, TComponent* Host) {
            return static_cast<TComponent*>(cc->Factory(Host));
        });
    EXPECT_TRUE(run.Failures.empty()) << Lines(run.Failures);
    RecordProperty("companion references", run.References);
    if (std::getenv("QM_LIST_REFERENCES")) std::fprintf(stderr, "%s", Lines(run.Seen).c_str());
    EXPECT_GE(run.References, 9);
}

// A series' custom axes are no published references: the series keeps them by
// their place. Freed first, the series goes back to the bottom and left axes.
TEST_F(FreedFirstTest, SeriesLetGoOfTheirCustomAxes) {
    int cases = 0;
    for (TClass sc : SeriesClasses())
        for (bool horizontal : {true, false})
            for (bool axisFirst : {true, false}) {
                SCOPED_TRACE(std::string(sc->Name) + (horizontal ? " horizontal" : " vertical") +
                             (axisFirst ? ", axis freed first" : ", series freed first"));
                std::unique_ptr<TChart> chart(NewChart());
                TChartSeries* s = CreateNewSeries(chart.get(), chart.get(), sc);
                s->FillSampleValues(5);
                auto* axis = static_cast<TChartAxis*>(chart->CustomAxes()->Add());
                axis->SetHorizontal(horizontal);
                if (horizontal)
                    s->SetCustomHorizAxis(axis);
                else
                    s->SetCustomVertAxis(axis);
                Exercise(chart.get());
                if (axisFirst) {
                    delete axis;
                    EXPECT_EQ(s->CustomHorizAxis(), nullptr);
                    EXPECT_EQ(s->CustomVertAxis(), nullptr);
                    if (s->UseAxis()) {
                        EXPECT_EQ(s->GetHorizAxis(), chart->BottomAxis());
                        EXPECT_EQ(s->GetVertAxis(), chart->LeftAxis());
                    }
                    Exercise(chart.get());
                    delete s;
                } else {
                    delete s;
                    Exercise(chart.get());
                    delete axis;
                }
                Exercise(chart.get());
                ++cases;
            }
    RecordProperty("series axis references", cases / 2);
}

int ControlCount(TChart* C) {
    int n = 0;
    for (int i = 0; i < C->ComponentCount(); ++i)
        if (dynamic_cast<TControl*>(C->Components(i))) ++n;
    return n;
}

// Controls a series puts on its chart (the calendar's month buttons) leave with
// the series: freed, changed to another type, or left by a chart freed first.
TEST_F(FreedFirstTest, ControlsASeriesMakesLeaveWithIt) {
    int madeControls = 0;
    for (TClass sc : SeriesClasses())
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(std::string(sc->Name) + " " +
                         (way == 0   ? "freed"
                          : way == 1 ? "changed in type"
                                     : "chart freed first"));
            TComponent host(nullptr);
            std::unique_ptr<TChart> chart(NewChart());
            const int before = ControlCount(chart.get());
            auto* s = static_cast<TChartSeries*>(sc->Factory(&host));
            s->SetParentChart(chart.get());
            s->FillSampleValues(5);
            if (way == 0) madeControls += ControlCount(chart.get()) - before;
            Exercise(chart.get());
            if (way == 0) {
                delete s;
            } else if (way == 1) {
                ChangeSeriesType(s, sc == &TLineSeries::ClassInfo ? &TPointSeries::ClassInfo
                                                                  : &TLineSeries::ClassInfo);
                ASSERT_NE(s, nullptr);
            } else {
                // The chart frees every series it shows, whoever owns it.
                chart.reset();
                EXPECT_EQ(host.ComponentCount(), 0);
                continue;
            }
            EXPECT_EQ(ControlCount(chart.get()), before);
            Exercise(chart.get()); // clicks every control left on the chart
        }
    // The calendar's two month buttons at least.
    EXPECT_GE(madeControls, 2);
    RecordProperty("controls made by series", madeControls);
}

} // namespace

// ---------------------------------------------------------------------------
// Windows open on a chart when it, its series or the form holding both goes.

namespace {

// The innermost modal window shown.
TCustomForm* ModalWindow() {
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
        TCustomForm* f = Screen->Forms(i);
        if (f->FormState().Contains(fsModal) && f->Visible()) return f;
    }
    return nullptr;
}

enum class TGoes { Chart, Series, Host };
const char* GoesName(TGoes G) {
    return G == TGoes::Chart ? "chart" : G == TGoes::Series ? "series" : "form holding the chart";
}

// A form holding a chart with one series, a commander on it and, when asked,
// the commander's editor and previewer.
struct TScene {
    explicit TScene(bool Companions) {
        Host = new TForm(nullptr);
        Host->SetBounds(0, 0, W, H + 40);
        Chart = new TChart(Host);
        Chart->SetParent(Host);
        Chart->SetBounds(0, 40, W, H);
        Chart->SetView3D(false);
        Series = CreateNewSeries(Host, Chart, &TLineSeries::ClassInfo);
        Series->FillSampleValues(8);
        Commander = new TTeeCommander(Host);
        Commander->SetParent(Host);
        Commander->SetPanel(Chart);
        if (Companions) {
            Editor = new TChartEditor(Host);
            Editor->SetChart(Chart);
            Previewer = new TChartPreviewer(Host);
            Previewer->SetChart(Chart);
            Commander->SetChartEditor(Editor);
            Commander->SetPreviewer(Previewer);
        }
        Host->Show();
    }
    ~TScene() { delete Host; }
    void Free(TGoes G) {
        if (G == TGoes::Series) {
            TComponent::Free(Series);
            Series = nullptr;
            return;
        }
        if (G == TGoes::Host) {
            TComponent::Free(Host);
            Host = nullptr;
            Commander = nullptr;
            Editor = nullptr;
            Previewer = nullptr;
        } else {
            TComponent::Free(Chart);
        }
        Chart = nullptr;
        Series = nullptr;
    }
    // What is left is painted and clicked.
    void ExerciseRest() {
        if (!Host) return;
        TBitmap face(W, H + 40);
        GrabControl(Host, &face);
        if (Chart) {
            Exercise(Chart);
            return;
        }
        // With the chart gone the commander's buttons open nothing any more.
        for (int i = 0; i < Commander->ControlCount(); ++i)
            SimulateClick(Commander->Controls(i));
        GrabControl(Commander, &face);
    }
    TForm* Host = nullptr;
    TChart* Chart = nullptr;
    TChartSeries* Series = nullptr;
    TTeeCommander* Commander = nullptr;
    TChartEditor* Editor = nullptr;
    TChartPreviewer* Previewer = nullptr;
};

class FreedUnderWindowTest : public FreedFirstTest {
protected:
    void SetUp() override {
        FreedFirstTest::SetUp();
        TeeEditorStartup();
        ConfigDir = std::filesystem::temp_directory_path() /
                    ("qm_freed_windows_" + std::to_string(::getpid()));
        std::filesystem::create_directories(ConfigDir);
        setenv("XDG_CONFIG_HOME", ConfigDir.c_str(), 1);
        // A window's own boxes, save or print dialogs are cancelled.
        Responder.OnFailure = [](const AnsiString&) {};
        PreviousHelp = SetHelpOpener([](const AnsiString&, int) { return true; });
        SetMailProgramOverride("true");
    }
    void TearDown() override {
        SetMailProgramOverride("");
        SetHelpOpener(PreviousHelp);
        std::filesystem::remove_all(ConfigDir);
    }

    // Opens a window with Open, in the click handler of a button on a window
    // of its own; once it shows, frees what G names (or, when CloseFirst,
    // closes it and frees that after). False when Open showed no window.
    bool Run(TScene& S, TGoes G, bool CloseFirst, const std::function<void(TScene&)>& Open) {
        TForm desk(nullptr);
        auto* opener = new TButton(&desk);
        opener->SetParent(&desk);
        opener->SetBounds(8, 8, 75, 25);
        opener->OnClick = [&](TObject*) { Open(S); };
        desk.Show();
        bool shown = false;
        bool stillOpen = false;
        {
            TPumpScript script;
            script.When([] { return ModalWindow() != nullptr; }).Do([&] {
                shown = true;
                if (CloseFirst)
                    ModalWindow()->SetModalResult(mrCancel);
                else
                    S.Free(G);
            });
            // A window that stays open over a freed object is closed by the test.
            script.After(50).Do([&] {
                if (TCustomForm* f = ModalWindow()) {
                    stillOpen = true;
                    f->SetModalResult(mrCancel);
                }
            });
            SimulateClick(opener);
        }
        EXPECT_FALSE(stillOpen) << "the window stayed open";
        EXPECT_EQ(ModalWindow(), nullptr);
        if (shown && CloseFirst) S.Free(G);
        S.ExerciseRest();
        return shown;
    }

    std::filesystem::path ConfigDir;
    TDialogResponder Responder;
    THelpOpener PreviousHelp;
};

TEST_F(FreedUnderWindowTest, CommanderWindowsCloseWhenTheirChartGoes) {
    int windows = 0, cases = 0;
    for (bool companions : {false, true}) {
        const int buttons = TScene(companions).Commander->ControlCount();
        for (int b = 0; b < buttons; ++b)
            for (TGoes g : {TGoes::Chart, TGoes::Host})
                for (bool closeFirst : {false, true}) {
                    SCOPED_TRACE(std::string("button ") + std::to_string(b) +
                                 (companions ? " with editor and previewer" : "") + ", " +
                                 GoesName(g) + (closeFirst ? " freed after closing" : " freed"));
                    TScene s(companions);
                    TControl* button = s.Commander->Controls(b);
                    if (!Run(s, g, closeFirst, [button](TScene&) { SimulateClick(button); })) break;
                    ++cases;
                    if (g == TGoes::Chart && !closeFirst) ++windows;
                }
    }
    // Edit and print, each through the commander's own companions or the editor's.
    EXPECT_GE(windows, 4);
    RecordProperty("commander windows", windows);
    RecordProperty("commander cases", cases);
}

struct TEntry {
    const char* Name;
    bool AboutSeries;
    std::function<void(TScene&)> Open;
};

// The windows the companions and the chart library's entry points open.
std::vector<TEntry> Entries() {
    return {
        {"TChartEditor::Execute", false, [](TScene& S) { S.Editor->Execute(); }},
        {"TChartEditor::Execute on a series", true,
         [](TScene& S) {
             S.Editor->SetSeries(S.Series);
             S.Editor->Execute();
         }},
        {"TChartPreviewer::Execute", false, [](TScene& S) { S.Previewer->Execute(); }},
        {"TeeExport", false, [](TScene& S) { TeeExport(S.Host, S.Chart); }},
        {"EditOneSeries", true, [](TScene& S) { EditOneSeries(S.Chart, S.Series); }},
        {"EditChart", false, [](TScene& S) { EditChart(nullptr, S.Chart); }},
        {"ChartPreview", false, [](TScene& S) { ChartPreview(nullptr, S.Chart); }},
        {"EditSeries", true, [](TScene& S) { EditSeries(nullptr, S.Series); }},
        {"EditChartAxis", false, [](TScene& S) { EditChartAxis(nullptr, S.Chart->LeftAxis()); }},
        {"EditAxisIncrement", false,
         [](TScene& S) { EditAxisIncrement(S.Host, S.Chart->LeftAxis()); }},
        {"EditAxisMaxMin", false,
         [](TScene& S) { EditAxisMaxMin(S.Host, S.Chart->BottomAxis(), true); }},
        {"ChangeSeriesTypeGallery", true,
         [](TScene& S) {
             TChartSeries* s = S.Series;
             ChangeSeriesTypeGallery(S.Host, s);
         }},
        {"ChangeAllSeriesGallery", false,
         [](TScene& S) { ChangeAllSeriesGallery(S.Host, S.Chart); }},
    };
}

TEST_F(FreedUnderWindowTest, EntryPointWindowsCloseWhenWhatTheyShowGoes) {
    const std::vector<TEntry> entries = Entries();
    int cases = 0;
    for (const TEntry& e : entries)
        for (TGoes g : {TGoes::Chart, TGoes::Series, TGoes::Host})
            for (bool closeFirst : {false, true}) {
                if (g == TGoes::Series && !e.AboutSeries) continue;
                SCOPED_TRACE(std::string(e.Name) + ", " + GoesName(g) +
                             (closeFirst ? " freed after closing" : " freed"));
                TScene s(true);
                EXPECT_TRUE(Run(s, g, closeFirst, e.Open)) << "no window shown";
                ++cases;
            }
    RecordProperty("entry points", static_cast<int>(entries.size()));
    RecordProperty("entry point cases", cases);
}

// The buttons a user can reach on the editor's page shown (tabs picked by
// index: a main page and, where it holds them, a chart page), in a fixed order.
void ReachableButtons(TWinControl* Parent, std::vector<TControl*>& Into) {
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (!CanUserReach(c)) continue;
        if (dynamic_cast<TButton*>(c) || dynamic_cast<TSpeedButton*>(c)) Into.push_back(c);
        if (auto* w = dynamic_cast<TWinControl*>(c)) ReachableButtons(w, Into);
    }
}

std::vector<TControl*> ButtonsOnPage(TChartEditForm* F, int Main, int Sub) {
    F->MainPage->SelectPageByUser(F->MainPage->Pages(Main));
    if (Sub >= 0) F->SubPage->SelectPageByUser(F->SubPage->Pages(Sub));
    std::vector<TControl*> buttons;
    ReachableButtons(F, buttons);
    return buttons;
}

TChartEditForm* EditorWindow() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* f = dynamic_cast<TChartEditForm*>(Screen->Forms(i));
            f && f->FormState().Contains(fsModal))
            return f;
    return nullptr;
}

// Every button of every editor page that opens a window over the editor (the
// series gallery, the tools gallery, a series' type, pens, fonts, axis limits,
// export and print preview): the chart, then the series, is freed while that
// window is open.
TEST_F(FreedUnderWindowTest, WindowsOpenedFromTheEditorLetGoOfAFreedChartOrSeries) {
    // The places: each main page, and each chart page where the main page holds them.
    std::vector<std::pair<int, int>> places;
    std::vector<int> counts;
    {
        TScene probe(false);
        TPumpScript script;
        script.When([] { return EditorWindow() != nullptr; }).Do([&] {
            TChartEditForm* f = EditorWindow();
            for (int m = 0; m < f->MainPage->PageCount(); ++m) {
                const bool hasSub = f->MainPage->Pages(m) == f->SubPage->Parent();
                for (int sub = hasSub ? 0 : -1; sub < (hasSub ? f->SubPage->PageCount() : 0);
                     ++sub) {
                    places.emplace_back(m, sub);
                    counts.push_back(static_cast<int>(ButtonsOnPage(f, m, sub).size()));
                }
            }
            f->SetModalResult(mrCancel);
        });
        EditChart(nullptr, probe.Chart);
    }
    ASSERT_GE(places.size(), 10u);
    int nested = 0, buttons = 0;
    for (TGoes g : {TGoes::Chart, TGoes::Series})
        for (size_t p = 0; p < places.size(); ++p)
            for (int b = 0; b < counts[p]; ++b) {
                if (g == TGoes::Chart) ++buttons;
                SCOPED_TRACE("editor page " + std::to_string(places[p].first) + "/" +
                             std::to_string(places[p].second) + ", button " + std::to_string(b) +
                             ", " + GoesName(g) + " freed");
                TScene s(false);
                bool clicked = false, shown = false, stillOpen = false;
                TCustomForm* editor = nullptr;
                TPumpScript script;
                script.When([] { return EditorWindow() != nullptr; }).Do([&] {
                    editor = EditorWindow();
                    std::vector<TControl*> on =
                        ButtonsOnPage(EditorWindow(), places[p].first, places[p].second);
                    if (b < static_cast<int>(on.size())) SimulateClick(on[b]);
                    clicked = true;
                });
                script
                    .When([&] {
                        TCustomForm* top = ModalWindow();
                        return clicked || (top && top != editor);
                    })
                    .Do([&] {
                        TCustomForm* top = ModalWindow();
                        if (!top) return;
                        if (top == editor) {
                            top->SetModalResult(mrCancel);
                            return;
                        }
                        shown = true;
                        s.Free(g);
                    });
                // Without its chart no window stays; without a series, those about
                // the rest of the chart (its axes, walls, tools) do: their buttons
                // are clicked, then they are closed.
                script.After(50).Do([&] {
                    TCustomForm* top = ModalWindow();
                    if (!top || top == editor) return;
                    std::vector<TControl*> on;
                    ReachableButtons(top, on);
                    for (TControl* c : on) {
                        auto* button = dynamic_cast<TButton*>(c);
                        if (!button || button->ModalResult() == mrNone) SimulateClick(c);
                    }
                });
                script.After(50).Do([&] {
                    for (int i = 0; i < Screen->FormCount(); ++i) {
                        TCustomForm* f = Screen->Forms(i);
                        if (!f->FormState().Contains(fsModal) || f->ModalResult() != mrNone)
                            continue;
                        if (g == TGoes::Chart) stillOpen = true;
                        f->SetModalResult(mrCancel);
                    }
                });
                EditChart(nullptr, s.Chart);
                EXPECT_FALSE(stillOpen) << "a window stayed open";
                EXPECT_EQ(ModalWindow(), nullptr);
                if (shown && g == TGoes::Chart) ++nested;
                s.ExerciseRest();
            }
    // The two galleries, a series' type, export and print preview at least.
    EXPECT_GE(nested, 5);
    RecordProperty("editor buttons", buttons);
    RecordProperty("windows opened from the editor", nested);
}

// Every system dialog (file, colour, font, print, message and input boxes) a
// button of one of those windows shows: the chart goes while it is open, and
// the handler that showed it acts on nothing freed once it closes.
TEST_F(FreedUnderWindowTest, SystemDialogsOverAWindowWhoseChartGoesEndTheirHandler) {
    int buttons = 0, dialogs = 0;
    std::set<std::string> kinds;
    for (const TEntry& e : Entries()) {
        int count = 0;
        {
            TScene probe(true);
            TPumpScript script;
            script.When([] { return ModalWindow() != nullptr; }).Do([&] {
                std::vector<TControl*> on;
                ReachableButtons(ModalWindow(), on);
                count = static_cast<int>(on.size());
                ModalWindow()->SetModalResult(mrCancel);
            });
            e.Open(probe);
        }
        for (int b = 0; b < count; ++b) {
            SCOPED_TRACE(std::string(e.Name) + ", button " + std::to_string(b));
            ++buttons;
            TScene s(true);
            TCustomForm* window = nullptr;
            bool freed = false;
            Responder.AnswerAny = [&](const TDialogRequest& R) {
                TDialogAnswer a;
                a.Result = (R.Flags & MB_TYPEMASK) == MB_OK ? IDOK : IDYES;
                a.Text = AnsiString((ConfigDir / "chosen.out").c_str());
                a.Color = clLime;
                if (!freed && s.Chart) {
                    kinds.insert(DialogKindName(R.Kind));
                    ++dialogs;
                    a.WhileShown = [&] {
                        freed = true;
                        s.Free(TGoes::Chart);
                    };
                }
                return a;
            };
            TPumpScript script;
            script.When([] { return ModalWindow() != nullptr; }).Do([&] {
                window = ModalWindow();
                std::vector<TControl*> on;
                ReachableButtons(window, on);
                if (b < static_cast<int>(on.size())) SimulateClick(on[b]);
            });
            // What the button opened of our own, and the window, are closed.
            script.After(20).Do([&] {
                for (int i = 0; i < Screen->FormCount(); ++i)
                    if (Screen->Forms(i)->FormState().Contains(fsModal))
                        Screen->Forms(i)->SetModalResult(mrCancel);
            });
            e.Open(s);
            Responder.AnswerAny = nullptr;
            EXPECT_EQ(ModalWindow(), nullptr);
            s.ExerciseRest();
        }
    }
    EXPECT_GE(dialogs, 5);
    RecordProperty("buttons", buttons);
    RecordProperty("system dialogs", dialogs);
    std::string seen;
    for (const std::string& k : kinds)
        seen += k + " ";
    RecordProperty("dialog kinds", seen);
    std::printf("[ swept ] %d buttons, %d system dialogs: %s\n", buttons, dialogs, seen.c_str());
}

} // namespace

// ---------------------------------------------------------------------------
// References kept in fields, list entries and across message loops.

namespace {

TEST_F(FreedFirstTest, LegendOfAFreedSeriesListsTheChartsFirst) {
    std::unique_ptr<TChart> chart(NewChart());
    TChartSeries* listed = CreateNewSeries(chart.get(), chart.get(), &TBarSeries::ClassInfo);
    listed->FillSampleValues(4);
    chart->Legend()->SetLegendStyle(lsValues);
    chart->Legend()->SetSeries(listed);
    Exercise(chart.get());
    TComponent::Free(listed);
    EXPECT_EQ(chart->Legend()->Series(), nullptr);
    EXPECT_EQ(chart->Legend()->LegendSeries(), chart->Series(0));
    Exercise(chart.get());
}

// The animation processes messages between its steps: its series or itself
// freed by OnStep or by a message stops it there.
TEST_F(FreedFirstTest, AnimationStopsWhenItsSeriesOrItselfGoes) {
    for (bool toolGoes : {false, true})
        for (bool byMessage : {false, true}) {
            SCOPED_TRACE(std::string(toolGoes ? "tool" : "series") +
                         (byMessage ? " freed by a message" : " freed in OnStep"));
            std::unique_ptr<TChart> chart(NewChart());
            TChartSeries* series = chart->Series(0);
            auto* tool = new TSeriesAnimationTool(chart.get());
            tool->SetParentChart(chart.get());
            tool->SetSeries(series);
            tool->SetSteps(20);
            const TWatched<TSeriesAnimationTool> toolLeft(tool);
            int steps = 0, stepsAfter = 0;
            bool freed = false;
            const auto freeOne = [&] {
                freed = true;
                if (toolGoes)
                    TComponent::Free(tool);
                else
                    TComponent::Free(series);
            };
            TPumpScript script;
            if (byMessage) script.When([&] { return steps == 5; }).Do(freeOne);
            tool->OnStep = [&steps, &stepsAfter, &freed, &freeOne, byMessage](TSeriesAnimationTool*,
                                                                              int) {
                if (freed) ++stepsAfter;
                if (++steps == 5 && !byMessage) freeOne();
            };
            tool->Execute();
            EXPECT_TRUE(freed);
            EXPECT_EQ(stepsAfter, 0);
            EXPECT_EQ(toolLeft.Gone(), toolGoes);
            if (!toolGoes) {
                EXPECT_FALSE(tool->Running());
                EXPECT_EQ(tool->Series(), nullptr);
                tool->Execute();
            }
            Exercise(chart.get());
        }
}

TEST_F(FreedFirstTest, ChartPictureOfAFreedChartIsEmpty) {
    const int freshWidth = TChartImage().Width();
    TChart* chart = NewChart();
    chart->SetWidth(freshWidth + 123);
    TChartImage picture;
    picture.SetChart(chart);
    EXPECT_EQ(picture.Width(), freshWidth + 123);
    TComponent::Free(chart);
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Width(), freshWidth);
    TBitmap into(W, H);
    picture.Draw(into.Canvas(), TRect(0, 0, W, H));
}

// The controls a user can reach under Parent, held so that one freed by
// another's handler is passed by.
void Reachable(TWinControl* Parent, std::vector<TWatched<TControl>>& Into) {
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (!CanUserReach(c)) continue;
        Into.emplace_back(c);
        if (auto* w = dynamic_cast<TWinControl*>(c)) Reachable(w, Into);
    }
}

void PageControls(TComponent* Owner, std::vector<TPageControl*>& Into) {
    for (int i = 0; i < Owner->ComponentCount(); ++i) {
        if (auto* p = dynamic_cast<TPageControl*>(Owner->Components(i))) Into.push_back(p);
        PageControls(Owner->Components(i), Into);
    }
}

// The user steps to entry I of a drop-down list with the arrow keys.
void ChooseEntry(TComboBox* Combo, int I) {
    const int count = Combo->Items()->Count();
    if (I > 0 || count == 1)
        Combo->SetItemIndex(I - 1);
    else
        Combo->SetItemIndex(1);
    SimulateKey(Combo, I > 0 || count == 1 ? VK_DOWN : VK_UP);
}

// Every control a user reaches on the form, on each of its pages: buttons
// and boxes clicked, every entry of a list chosen, a figure typed.
void UseEveryControl(TCustomForm* Form, bool ListsOnly) {
    std::vector<TPageControl*> pageControls;
    PageControls(Form, pageControls);
    std::vector<std::pair<TPageControl*, int>> pages{{nullptr, -1}};
    for (TPageControl* p : pageControls)
        for (int i = 0; i < p->PageCount(); ++i)
            pages.emplace_back(p, i);
    for (auto [control, page] : pages) {
        if (control) {
            if (!CanUserReach(control) || page >= control->PageCount()) continue;
            control->SelectPageByUser(control->Pages(page));
        }
        std::vector<TWatched<TControl>> on;
        Reachable(Form, on);
        for (const TWatched<TControl>& c : on) {
            if (!c || !CanUserReach(c)) continue;
            if (auto* combo = dynamic_cast<TComboBox*>(c.Get())) {
                const TWatched<TComboBox> list(combo);
                for (int i = 0; list && i < list->Items()->Count(); ++i)
                    ChooseEntry(list, i);
            } else if (ListsOnly) {
                continue;
            } else if (dynamic_cast<TCustomEdit*>(c.Get()) || dynamic_cast<TMemo*>(c.Get())) {
                SimulateType(static_cast<TWinControl*>(c.Get()), "5");
            } else if (auto* track = dynamic_cast<TTrackBar*>(c.Get())) {
                SimulateKey(track, VK_RIGHT);
            } else if (dynamic_cast<TButtonControl*>(c.Get()) ||
                       dynamic_cast<TSpeedButton*>(c.Get()) || dynamic_cast<TUpDown*>(c.Get())) {
                SimulateClick(c);
            }
        }
    }
}

// The entries of every list on the form.
std::vector<std::string> Listed(TComponent* Form) {
    std::vector<std::string> all;
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto* combo = dynamic_cast<TComboBox*>(Form->Components(i)))
            for (int j = 0; j < combo->Items()->Count(); ++j)
                all.push_back(combo->Items()->Strings(j).c_str());
    return all;
}

bool Lists(TComponent* Form, const std::string& Entry) {
    const std::vector<std::string> all = Listed(Form);
    return std::find(all.begin(), all.end(), Entry) != all.end();
}

// Every tool's editor form, shown on its own with the tool in its Tag. A
// series freed meanwhile leaves its lists, and no entry chosen gives the tool a
// freed series; then the tool is freed, the form shown again and every control
// used: nothing reaches the tool.
TEST_F(FreedFirstTest, ToolEditorFormsLetGoOfAFreedToolAndSeries) {
    TDialogResponder responder;
    responder.OnFailure = [](const AnsiString& M) { ADD_FAILURE() << M.c_str(); };
    int forms = 0, withSeriesLists = 0;
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        TClass tc = TeeToolTypes().Get(i);
        SCOPED_TRACE(tc->Name);
        std::unique_ptr<TChart> chart(NewChart());
        for (const char* name : {"TPieSeries", "TGanttSeries", "TSurfaceSeries"})
            if (TClass sc = GetClass(name))
                CreateNewSeries(chart.get(), chart.get(), sc)->FillSampleValues(5);
        auto* tool = static_cast<TTeeCustomTool*>(tc->Factory(chart.get()));
        tool->SetParentChart(chart.get());
        TClass fc = GetClass(tool->GetEditorClass());
        ASSERT_NE(fc, nullptr) << tool->GetEditorClass().c_str();
        std::unique_ptr<TCustomForm> form(static_cast<TCustomForm*>(fc->Factory(nullptr)));
        form->SetSubject(tool);
        form->Show();
        ++forms;
        TChartSeries* victim = nullptr;
        std::string entry;
        for (int s = chart->SeriesCount() - 1; s >= 0 && !victim; --s) {
            entry = SeriesTitleOrName(chart->Series(s)).c_str();
            if (Lists(form.get(), entry)) victim = chart->Series(s);
        }
        if (victim) {
            ++withSeriesLists;
            TComponent::Free(victim);
            EXPECT_FALSE(Lists(form.get(), entry)) << "a freed series is still listed";
            UseEveryControl(form.get(), true);
            if (auto* seriesTool = dynamic_cast<TTeeCustomToolSeries*>(tool);
                seriesTool && seriesTool->Series()) {
                EXPECT_GE(chart->SeriesList()->IndexOf(seriesTool->Series()), 0);
            }
        }
        TComponent::Free(tool);
        form->Hide();
        form->Show();
        UseEveryControl(form.get(), false);
        Exercise(chart.get());
    }
    EXPECT_GE(forms, 13);
    // Every tool bound to a series lists them.
    EXPECT_GE(withSeriesLists, 8);
    RecordProperty("tool editor forms", forms);
    RecordProperty("tool editor forms with series lists", withSeriesLists);
}

TChartEditForm* EditorOf(TChartEditorPanel* P) {
    return dynamic_cast<TChartEditForm*>(P->Editor());
}

TFormTeeTools* ToolsPage(TComponent* Owner) {
    for (int i = 0; i < Owner->ComponentCount(); ++i) {
        if (auto* t = dynamic_cast<TFormTeeTools*>(Owner->Components(i))) return t;
        if (TFormTeeTools* t = ToolsPage(Owner->Components(i))) return t;
    }
    return nullptr;
}

// The editor panel shows the Tools tab beside a commander; a tool deleted in
// the commander's editor leaves the panel's list, which is painted after.
TEST_F(FreedFirstTest, EditorPanelToolsListLetsGoOfAToolDeletedElsewhere) {
    TDialogResponder responder;
    responder.OnFailure = [](const AnsiString& M) { ADD_FAILURE() << M.c_str(); };
    TForm host(nullptr);
    host.SetBounds(0, 0, 900, 400);
    auto* chart = new TChart(&host);
    chart->SetParent(&host);
    chart->SetBounds(0, 40, W, H);
    CreateNewSeries(&host, chart, &TLineSeries::ClassInfo)->FillSampleValues(6);
    for (TClass tc : {&TCursorTool::ClassInfo, &TAnnotationTool::ClassInfo})
        static_cast<TTeeCustomTool*>(tc->Factory(&host))->SetParentChart(chart);
    auto* commander = new TTeeCommander(&host);
    commander->SetParent(&host);
    commander->SetPanel(chart);
    auto* panel = new TChartEditorPanel(&host);
    panel->SetParent(&host);
    panel->SetBounds(W, 0, 480, 400);
    panel->SetChart(chart);
    host.Show();
    TChartEditForm* embedded = EditorOf(panel);
    ASSERT_NE(embedded, nullptr);
    embedded->MainPage->SelectPageByUser(embedded->TabTools);
    TFormTeeTools* beside = ToolsPage(embedded);
    ASSERT_NE(beside, nullptr);
    ASSERT_EQ(beside->LBTools->Items()->Count(), 2);
    beside->LBTools->SetItemIndex(1);
    beside->LBToolsClick(beside->LBTools);
    TBitmap face(900, 400);
    GrabControl(&host, &face);

    bool deleted = false;
    TPumpScript script;
    script.When([] { return EditorWindow() != nullptr; }).Do([&] {
        TChartEditForm* editor = EditorWindow();
        editor->MainPage->SelectPageByUser(editor->TabTools);
        TFormTeeTools* tools = ToolsPage(editor);
        ASSERT_NE(tools, nullptr);
        tools->LBTools->SetItemIndex(1);
        tools->LBToolsClick(tools->LBTools);
        responder.ExpectMessage("", IDYES);
        SimulateClick(tools->BDelete);
        deleted = chart->Tools()->Count() == 1;
        editor->SetModalResult(mrOk);
    });
    SimulateClick(commander->ButtonEdit());
    ASSERT_TRUE(deleted);
    EXPECT_EQ(beside->LBTools->Items()->Count(), 1);
    GrabControl(&host, &face);
    for (int row = 0; row < beside->LBTools->Items()->Count(); ++row) {
        beside->LBTools->SetItemIndex(row);
        beside->LBToolsClick(beside->LBTools);
    }
    GrabControl(&host, &face);
    Exercise(chart);
}

// The volume functions' panels on the series page: a series chosen as the
// volume and freed before Apply is not given to the function.
TEST_F(FreedFirstTest, VolumePanelsApplyNoFreedVolumeSeries) {
    for (const char* function : {"TOBVFunction", "TCLVFunction"}) {
        SCOPED_TRACE(function);
        TDialogResponder responder;
        responder.OnFailure = [](const AnsiString& M) { ADD_FAILURE() << M.c_str(); };
        std::unique_ptr<TChart> chart(NewChart());
        auto* prices = new TCandleSeries(chart.get());
        prices->SetParentChart(chart.get());
        prices->FillSampleValues(10);
        TChartSeries* volumes[2];
        for (TChartSeries*& v : volumes) {
            v = new TVolumeSeries(chart.get());
            v->SetParentChart(chart.get());
            v->FillSampleValues(10);
        }
        volumes[0]->SetName("Volumes");
        volumes[1]->SetName("Other");
        auto* out = new TLineSeries(chart.get());
        out->SetParentChart(chart.get());
        auto* f = dynamic_cast<TVolumeTeeFunction*>(GetClass(function)->Factory(chart.get()));
        ASSERT_NE(f, nullptr);
        out->SetFunction(f);
        out->SetDataSource(prices);
        f->SetVolume(volumes[0]);

        TFormTeeSeries page(nullptr);
        page.SetBounds(0, 0, 460, 340);
        page.CBSeries->Items()->AddObject(out->Name(), out);
        page.Show();
        page.SetTheSeries(out);
        page.SetCBSeries();
        page.PageSeries->SelectPageByUser(page.TabDataSource);
        auto* source = dynamic_cast<TTeeFuncEditor*>(page.DataSourceForm());
        ASSERT_NE(source, nullptr);
        ASSERT_NE(source->OptionsForm(), nullptr);
        auto* list = dynamic_cast<TComboBox*>(source->OptionsForm()->FindComponent("CBVolume"));
        ASSERT_NE(list, nullptr);
        ChooseEntry(list, list->Items()->IndexOf("Other"));
        ASSERT_EQ(list->Text(), "Other");
        TComponent::Free(volumes[1]);
        // The choice passes to no volume, which Apply gives the function.
        EXPECT_EQ(list->Items()->IndexOf("Other"), -1);
        EXPECT_EQ(list->Text(), "(none)");
        SimulateClick(source->BApply);
        EXPECT_EQ(f->Volume(), nullptr);
        Exercise(chart.get());
    }
}

} // namespace
