// Every window the chart editor opens from a control of one of its pages, and
// every window those open from a control of theirs (colour, pen and dialog
// buttons, a swatch, a list's commands), on the pages the registries give: the
// chart pages, the series page on a series of each registered type, the tools
// page on a tool of each registered class. While it shows, each object its
// opener names is freed in turn (the chart, the series, the tool, a custom
// axis on the axis page); it is then answered as the user would (OK, Yes, a
// choice) and what is left is painted and saved. Under the address sanitizer a
// read or a write of what went fails here.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teetools.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include "platform/classes/watched.h"
#include "platform/forms/buttons.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/win32/mailto.h"
#include "page_walk.h"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

enum class TGoes { Chart, Series, Tool, Axis };
const char* GoesName(TGoes G) {
    switch (G) {
    case TGoes::Chart: return "chart";
    case TGoes::Series: return "series";
    case TGoes::Tool: return "tool";
    case TGoes::Axis: return "custom axis";
    }
    return "";
}

// A form holding a chart with a series of one type, a custom axis and, when
// asked, a tool of one class.
struct TScene {
    TScene(TClass SeriesClass, TClass ToolClass) {
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 400, 300);
        auto* chart = new TChart(Host.get());
        chart->SetParent(Host.get());
        chart->SetName("Chart1");
        chart->SetBounds(0, 0, 400, 300);
        Chart = chart;
        Series = CreateNewSeries(Host.get(), chart, SeriesClass);
        Series->FillSampleValues(6);
        Axis = static_cast<TChartAxis*>(chart->CustomAxes()->Add());
        if (ToolClass) {
            auto* tool = dynamic_cast<TTeeCustomTool*>(ToolClass->Factory(chart));
            tool->SetParentChart(chart);
            if (auto* st = dynamic_cast<TTeeCustomToolSeries*>(tool)) st->SetSeries(Series);
            Tool = tool;
        }
        Host->Show();
    }
    void Free(TGoes G) {
        switch (G) {
        case TGoes::Chart:
            if (Chart) TComponent::Free(Chart.Get());
            break;
        case TGoes::Series:
            if (Series) TComponent::Free(Series.Get());
            break;
        case TGoes::Tool:
            if (Tool) TComponent::Free(Tool.Get());
            break;
        case TGoes::Axis:
            delete Axis.Get(); // as the axis page's Delete does
            break;
        }
    }
    // What is left is painted and saved.
    void ExerciseRest() {
        if (!Chart) return;
        TBitmap picture(400, 300);
        Chart->Draw(picture.Canvas(), TRect(0, 0, 400, 300));
        TMemoryStream m;
        SaveChartToStream(Chart, &m);
    }
    std::unique_ptr<TForm> Host;
    TWatched<TChart> Chart;
    TWatched<TChartSeries> Series;
    TWatched<TTeeCustomTool> Tool;
    TWatched<TChartAxis> Axis;
};

// A place of the editor: a main page and, where it holds them, a chart page.
struct TPlace {
    int Main = 0;
    int Sub = -1;
    std::string Name;
};

// The modal windows shown now.
std::set<TCustomForm*> ModalForms() {
    std::set<TCustomForm*> out;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->FormState().Contains(fsModal) && Screen->Forms(i)->Visible())
            out.insert(Screen->Forms(i));
    return out;
}

TCustomForm* NewModalForm(const std::set<TCustomForm*>& Outer) {
    for (TCustomForm* f : ModalForms())
        if (!Outer.count(f)) return f;
    return nullptr;
}

// Controls that may open a window: buttons (those that close their own
// window aside), and paint boxes and shapes that answer a click.
std::vector<std::pair<std::string, TControl*>> Openers(TWinControl* Root) {
    std::vector<std::pair<std::string, TControl*>> out;
    std::map<std::string, int> seen;
    WalkControls(Root, [&](TControl* c) {
        bool opener = false;
        if (auto* b = dynamic_cast<TButton*>(c))
            opener = b->ModalResult() == mrNone;
        else if (dynamic_cast<TSpeedButton*>(c))
            opener = true;
        else if (dynamic_cast<TPaintBox*>(c) || dynamic_cast<TShape*>(c))
            opener = c->OnClick || c->OnMouseDown;
        if (!opener || !Usable(c)) return;
        const std::string path = PathOf(c);
        out.emplace_back(path + "#" + std::to_string(seen[path]++), c);
    });
    return out;
}

TControl* FindOpener(TWinControl* Root, const std::string& Key) {
    for (const auto& [k, c] : Openers(Root))
        if (k == Key) return c;
    return nullptr;
}

// OK, or the default button, or the close box where there is neither.
void AnswerOk(TCustomForm* F) {
    if (F->ModalResult() != mrNone) return;
    TButton* ok = nullptr;
    TButton* def = nullptr;
    WalkControls(F, [&](TControl* c) {
        auto* b = dynamic_cast<TButton*>(c);
        if (!b || !CanUserReach(b)) return;
        if (!ok && b->ModalResult() == mrOk) ok = b;
        if (!def && b->Default()) def = b;
    });
    if (ok || def) SimulateClick(ok ? ok : def);
    if (F->ModalResult() == mrNone) SimulateCloseBox(F);
}

TChartEditForm* EditorWindow() {
    for (TCustomForm* f : ModalForms())
        if (auto* e = dynamic_cast<TChartEditForm*>(f)) return e;
    return nullptr;
}

class ModalFreedSweep : public ::testing::Test {
protected:
    void SetUp() override {
        TeeExtraSeriesStartup();
        TeeEditorStartup();
        Dir = std::filesystem::temp_directory_path() /
              ("qm_modal_sweep_" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
        // A file opened is a picture, so a picture dialog's caller goes on with it.
        TBitmap picture(8, 8);
        picture.SaveToFile(AnsiString((Dir / "chosen.bmp").c_str()));
        setenv("XDG_CONFIG_HOME", Dir.c_str(), 1);
        PreviousHelp = SetHelpOpener([](const AnsiString&, int) { return true; });
        SetMailProgramOverride("true");
        Responder.OnFailure = [](const AnsiString&) {};
    }
    void TearDown() override {
        Responder.AnswerAny = nullptr;
        SetMailProgramOverride("");
        SetHelpOpener(PreviousHelp);
        std::filesystem::remove_all(Dir);
        std::printf("[ swept ] %d windows x freed objects (%d windows, %d of them opened from "
                    "another window)\n",
                    Cases, static_cast<int>(Windows.size()), Nested);
        if (std::getenv("QM_SWEEP_LIST"))
            for (const std::string& w : Windows)
                std::printf("  %s\n", w.c_str());
    }

    // Opens the editor on S at P and runs Within on the place's page.
    void AtPlace(TScene& S, const TPlace& P,
                 const std::function<void(TChartEditForm*, TWinControl*)>& Within) {
        TPumpScript script;
        script.SetMaxIdlePumps(5000);
        script.When([] { return EditorWindow() != nullptr; }).Do([&] {
            TChartEditForm* f = EditorWindow();
            f->MainPage->SelectPageByUser(f->MainPage->Pages(P.Main));
            TWinControl* root = f->MainPage->Pages(P.Main);
            if (P.Sub >= 0) {
                f->SubPage->SelectPageByUser(f->SubPage->Pages(P.Sub));
                root = f->SubPage->Pages(P.Sub);
            }
            // The axis page edits the custom axis.
            WalkControls(root, [](TControl* c) {
                if (auto* a = dynamic_cast<TFormTeeAxis*>(c); a && a->LBAxes->Items()->Count()) {
                    a->LBAxes->SetItemIndex(a->LBAxes->Items()->Count() - 1);
                    a->LBAxes->OnClick(a->LBAxes);
                }
            });
            Within(f, root);
            if (f->ModalResult() == mrNone) SimulateClick(f->BClose);
        });
        EditChart(nullptr, S.Chart);
        EXPECT_TRUE(script.Done()) << P.Name;
        EXPECT_TRUE(ModalForms().empty()) << P.Name;
    }

    // What a user would answer to a system dialog; Free runs while the first
    // one shown after Arm shows.
    void AnswerDialogs(const std::function<void()>& Free) {
        Responder.AnswerAny = [this, Free](const TDialogRequest& R) {
            TDialogAnswer a;
            a.Result = (R.Flags & MB_TYPEMASK) == MB_OK ? IDOK : IDYES;
            a.Text = R.Kind == TDialogKind::InputQuery  ? AnsiString("1")
                     : R.Kind == TDialogKind::OpenDialog ? AnsiString((Dir / "chosen.bmp").c_str())
                                                         : AnsiString((Dir / "chosen.out").c_str());
            a.Color = clLime;
            if (Armed && !Freed && Free) {
                Freed = true;
                a.WhileShown = Free;
            }
            return a;
        };
    }

    // Clicks C; a window of the library it opens is handed to OnForm. True
    // when a window (of the library or of the system) showed.
    bool ClickOpening(TControl* C, const std::function<void(TCustomForm*)>& OnForm) {
        Reach(C);
        if (!CanUserReach(C)) return false;
        const auto outer = ModalForms();
        const size_t asked = Responder.Shown().size();
        bool opened = false;
        TPumpScript script;
        script.SetMaxIdlePumps(5000);
        script.When([&] { return NewModalForm(outer) != nullptr; }).Do([&] {
            opened = true;
            OnForm(NewModalForm(outer));
        });
        // A swatch opens its window on the button going down; what it shows may
        // go with the page, and then the button comes up over nothing.
        const TWatched<TControl> held = C;
        const int x = C->ClientWidth() / 2, y = C->ClientHeight() / 2;
        SimulateMouse(C, TMouseAction::Down, mbLeft, x, y);
        if (held) SimulateMouse(C, TMouseAction::Up, mbLeft, x, y);
        return opened || Responder.Shown().size() > asked;
    }

    // A window opened from the place: the key of the control on the page and,
    // for one opened from a window, of the control on that window; Id names
    // it by the form that holds each control, so a page that several series
    // types share is swept once.
    struct TFound {
        std::vector<std::string> Path;
        std::string Id;
    };
    static std::string FormOf(TControl* C) {
        TCustomForm* f = GetParentForm(C);
        for (TControl* p = C->Parent(); p; p = p->Parent())
            if (auto* form = dynamic_cast<TCustomForm*>(p)) {
                f = form;
                break;
            }
        return f ? std::string(f->ClassName().c_str()) : std::string();
    }
    std::vector<TFound> Probe(TClass SeriesClass, TClass ToolClass, const TPlace& P) {
        std::vector<TFound> found;
        TScene s(SeriesClass, ToolClass);
        // Probing changes nothing: every system dialog is cancelled.
        Responder.AnswerAny = [](const TDialogRequest& R) { return CancelAnswer(R); };
        AtPlace(s, P, [&](TChartEditForm*, TWinControl* Root) {
            for (const auto& [key, ignored] : Openers(Root)) {
                TControl* c = FindOpener(Root, key);
                if (!c) continue;
                const std::string id = FormOf(c) + ":" + key;
                std::vector<std::pair<std::string, std::string>> inner;
                const bool opened = ClickOpening(c, [&](TCustomForm* F) {
                    // A window met before from another control: its own windows once.
                    if (InnerSwept.insert(F->ClassName().c_str()).second)
                        for (const auto& [k2, ignored2] : Openers(F)) {
                            TControl* c2 = FindOpener(F, k2);
                            if (c2 && ClickOpening(c2, [](TCustomForm* F2) {
                                    F2->SetModalResult(mrCancel);
                                }))
                                inner.emplace_back(k2, FormOf(c2) + ":" + k2);
                            if (F->ModalResult() != mrNone) break;
                        }
                    if (F->ModalResult() == mrNone) F->SetModalResult(mrCancel);
                });
                if (!opened) continue;
                found.push_back({{key}, id});
                for (const auto& [k2, id2] : inner)
                    found.push_back({{key, k2}, id + " > " + id2});
            }
        });
        Responder.AnswerAny = nullptr;
        return found;
    }

    // Opens the window Path names on a fresh scene and frees G while it shows.
    void RunCase(TClass SeriesClass, TClass ToolClass, const TPlace& P,
                 const std::vector<std::string>& Path, TGoes G) {
        TScene s(SeriesClass, ToolClass);
        Armed = false;
        Freed = false;
        auto free = [&s, G] { s.Free(G); };
        AnswerDialogs(free);
        // At the window the path ends in: G goes, then OK.
        auto atTarget = [&](TCustomForm* F) {
            if (!Freed) {
                Freed = true;
                free();
            }
            AnswerOk(F);
        };
        AtPlace(s, P, [&](TChartEditForm*, TWinControl* Root) {
            TControl* c = FindOpener(Root, Path[0]);
            if (!c) {
                ADD_FAILURE() << "no longer found: " << Path[0];
                return;
            }
            if (Path.size() == 1) {
                Armed = true;
                ClickOpening(c, atTarget);
                return;
            }
            ClickOpening(c, [&](TCustomForm* F) {
                if (TControl* c2 = FindOpener(F, Path[1])) {
                    Armed = true;
                    ClickOpening(c2, atTarget);
                } else {
                    ADD_FAILURE() << "no longer found: " << Path[1];
                }
                AnswerOk(F);
            });
        });
        EXPECT_TRUE(Freed) << "nothing showed to free the " << GoesName(G) << " under";
        s.ExerciseRest();
        Responder.AnswerAny = nullptr;
    }

    void SweepPlace(TClass SeriesClass, TClass ToolClass, const TPlace& P,
                    const std::vector<TGoes>& Goes) {
        for (const TFound& w : Probe(SeriesClass, ToolClass, P)) {
            if (!Windows.insert(w.Id).second) continue;
            if (w.Path.size() > 1) ++Nested;
            for (TGoes g : Goes) {
                SCOPED_TRACE(P.Name + ": " + w.Id + ", " + GoesName(g) + " freed");
                RunCase(SeriesClass, ToolClass, P, w.Path, g);
                ++Cases;
            }
        }
    }

    std::filesystem::path Dir;
    THelpOpener PreviousHelp;
    TDialogResponder Responder;
    bool Armed = false, Freed = false;
    std::set<std::string> Windows, InnerSwept;
    int Cases = 0, Nested = 0;
};

// The places of the editor: each main page and each chart page, the series
// and tools pages aside (swept on every type and class below).
std::vector<TPlace> ChartPlaces() {
    std::vector<TPlace> places;
    TScene probe(&TLineSeries::ClassInfo, nullptr);
    TPumpScript script;
    script.When([] { return EditorWindow() != nullptr; }).Do([&] {
        TChartEditForm* f = EditorWindow();
        for (int m = 0; m < f->MainPage->PageCount(); ++m) {
            TTabSheet* main = f->MainPage->Pages(m);
            if (main == f->TabSeries || main == f->TabTools) continue;
            if (main == f->SubPage->Parent()) {
                for (int s = 0; s < f->SubPage->PageCount(); ++s)
                    places.push_back({m, s, f->SubPage->Pages(s)->Caption().c_str()});
            } else {
                places.push_back({m, -1, main->Caption().c_str()});
            }
        }
        f->SetModalResult(mrCancel);
    });
    EditChart(nullptr, probe.Chart);
    return places;
}

int MainIndex(TTabSheet* TChartEditForm::*Tab) {
    int index = -1;
    TScene probe(&TLineSeries::ClassInfo, nullptr);
    TPumpScript script;
    script.When([] { return EditorWindow() != nullptr; }).Do([&] {
        TChartEditForm* f = EditorWindow();
        index = (f->*Tab)->PageIndex();
        f->SetModalResult(mrCancel);
    });
    EditChart(nullptr, probe.Chart);
    return index;
}

TEST_F(ModalFreedSweep, ChartPages) {
    const std::vector<TPlace> places = ChartPlaces();
    ASSERT_GE(places.size(), 10u);
    for (const TPlace& p : places) {
        std::vector<TGoes> goes{TGoes::Chart, TGoes::Series};
        if (p.Name == "Axis") goes.push_back(TGoes::Axis);
        SweepPlace(&TLineSeries::ClassInfo, nullptr, p, goes);
    }
    EXPECT_GE(Cases, 40);
}

TEST_F(ModalFreedSweep, SeriesPagesOfEveryType) {
    const TPlace place{MainIndex(&TChartEditForm::TabSeries), -1, "Series"};
    std::set<TClass> done;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        if (t->FunctionClass || !t->SeriesClass || !done.insert(t->SeriesClass).second) continue;
        TPlace p = place;
        p.Name = std::string(t->SeriesClass->Name) + " " + p.Name;
        SweepPlace(t->SeriesClass, nullptr, p, {TGoes::Series, TGoes::Chart});
    }
    EXPECT_GE(Cases, 100);
}

TEST_F(ModalFreedSweep, ToolPagesOfEveryClass) {
    const TPlace place{MainIndex(&TChartEditForm::TabTools), -1, "Tools"};
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        TClass tool = TeeToolTypes()[i];
        TPlace p = place;
        p.Name = std::string(tool->Name) + " " + p.Name;
        std::vector<TGoes> goes{TGoes::Tool, TGoes::Chart};
        if (tool->InheritsFrom(&TTeeCustomToolSeries::ClassInfo)) goes.push_back(TGoes::Series);
        SweepPlace(&TLineSeries::ClassInfo, tool, p, goes);
    }
    EXPECT_GE(Cases, 20);
}

} // namespace
