// Every way a window of the chart editor closes, on what the user typed or
// changed there. Fields and windows are found by walking the editor's pages
// (the chart's, and the series page on a series of every registered type)
// and every window their buttons open:
// - a figure a field holds back until it is whole, typed key by key, is kept
//   by each way its window closes (its Close button, the close box, Alt+F4,
//   Enter, Close called by the program): the window opened again shows it;
// - a dialog with a Cancel button, a change made, then Cancel, its close box,
//   Escape or Alt+F4: the chart file is byte for byte what it was and the
//   dialog reports Cancel (while OK keeps the change, so the change is real).
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teenumedit.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teecontrols.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include "page_walk.h"
#include "support/series_classes.h"
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::string ChartText(TCustomChart* Chart) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

// The chart a window is found on: one series of a type, or (none) a line and a bar.
std::unique_ptr<TChart> NewChart(TClass Series) {
    auto c = std::make_unique<TChart>();
    c->SetName("Chart1");
    c->SetBounds(0, 0, 400, 300);
    std::vector<TClass> types = {&TLineSeries::ClassInfo, &TBarSeries::ClassInfo};
    if (Series) types = {Series};
    for (TClass t : types)
        CreateNewSeries(c.get(), c.get(), t)->FillSampleValues(6);
    return c;
}

// Every control of the editor made: every tab, or (SeriesOnly) the series
// page of its series.
void MakeEveryPage(TChartEditForm* F, bool SeriesOnly) {
    if (F->LBSeries->Items()->Count() > 0) F->MainPage->SelectPageByUser(F->TabSeries);
    OpenEveryTab(SeriesOnly ? static_cast<TWinControl*>(F->TabSeries) : F);
}

std::string Caption(TButton* B) {
    return StringReplace(B->Caption(), "&", "").c_str();
}

// A button that opens a window: its caption ends in "...". The help and the
// mail program are not windows of the program; a colour button opens the
// system's colour dialog.
bool OpensWindow(TControl* C) {
    auto* b = dynamic_cast<TButton*>(C);
    if (!b || dynamic_cast<TButtonColor*>(C)) return false;
    const std::string c = Caption(b);
    return c.size() > 3 && c.ends_with("...") && c != "Help..." && c != "Send...";
}

bool WholeFigures(TControl* C) {
    auto* e = dynamic_cast<TNumberEdit*>(C);
    return e && e->WholeFigures();
}

TControl* Find(TWinControl* Root, const std::string& Path) {
    for (TControl* c : ControlsUnder(Root))
        if (PathOf(c) == Path) return c;
    return nullptr;
}

bool Reachable(TControl* C) {
    Reach(C);
    return CanUserReach(C);
}

// Found without turning to any tab, which would move the focus.
TButton* ButtonOf(TWinControl* Root, TModalResult Result) {
    for (TControl* c : ControlsUnder(Root))
        if (auto* b = dynamic_cast<TButton*>(c); b && b->ModalResult() == Result && CanUserReach(b))
            return b;
    return nullptr;
}

// Clicks B; Inside runs in the modal window it opens, which is then closed
// unless Inside closed it. False when no such window opened.
bool InWindow(TButton* B, const std::function<void(TCustomForm*)>& Inside) {
    TCustomForm* const opener = Screen->ActiveForm();
    bool opened = false;
    TPumpScript script;
    script.SetMaxIdlePumps(2000);
    script
        .When([opener] {
            TCustomForm* f = Screen->ActiveForm();
            return f && f != opener && f->FormState().Contains(fsModal);
        })
        .Do([&] {
            TCustomForm* f = Screen->ActiveForm();
            opened = true;
            TWatched<TCustomForm> held = f;
            Inside(f);
            if (held && held->ModalResult() == mrNone) held->SetModalResult(mrCancel);
        });
    SimulateClick(B);
    return opened;
}

// Where a window shows: the chart it is opened on and the editor's button
// that opens it (none: the editor itself).
struct TWhere {
    TClass Series = nullptr;
    std::string Opener;
    std::string Window;
    std::string Name() const {
        return std::string(Series ? Series->Name : "line+bar") + ":" +
               (Opener.empty() ? Window : Opener + ">" + Window);
    }
};
struct THeldField {
    TWhere Where;
    std::string Path;
};

struct TFound {
    std::vector<THeldField> Fields;
    std::vector<TWhere> Dialogs; // with a Cancel button
    int Windows = 0;             // opened by a button
};

void Discover(TFound& Found) {
    std::set<std::string> fields, dialogs;
    std::vector<TClass> worlds = {nullptr};
    for (TClass t : RegisteredSeriesClasses())
        worlds.push_back(t);
    for (TClass series : worlds) {
        auto chart = NewChart(series);
        auto editor = TeeCreateChartEditor(chart.get());
        editor->Show();
        // On a series of a type, only the series page is new.
        MakeEveryPage(editor.get(), series != nullptr);
        TWinControl* root = series ? static_cast<TWinControl*>(editor->TabSeries) : editor.get();
        auto held = [&](TWinControl* Under, const TWhere& Where) {
            for (TControl* c : ControlsUnder(Under))
                if (WholeFigures(c) && Reachable(c) &&
                    fields.insert(Where.Window + ":" + PathOf(c)).second)
                    Found.Fields.push_back({Where, PathOf(c)});
        };
        held(root, {series, "", "TChartEditForm"});
        // A window may rebuild a page (another series type): each opener is
        // looked for again.
        std::vector<std::string> openers;
        for (TControl* c : ControlsUnder(root))
            if (OpensWindow(c)) openers.push_back(PathOf(c));
        for (const std::string& opener : openers) {
            TControl* c = Find(root, opener);
            if (!c || !Reachable(c)) continue;
            InWindow(static_cast<TButton*>(c), [&](TCustomForm* W) {
                ++Found.Windows;
                OpenEveryTab(W);
                const TWhere where{series, opener, W->ClassName().c_str()};
                held(W, where);
                if (ButtonOf(W, mrCancel) && dialogs.insert(where.Window).second)
                    Found.Dialogs.push_back(where);
            });
        }
    }
}

const TFound& Found() {
    static TFound found;
    static bool done = false;
    if (!done) {
        done = true;
        Discover(found);
    }
    return found;
}

class CloseWaysTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeExtraSeriesStartup();
        TeeEditorStartup();
        // System dialogs a probe opens are cancelled.
        Responder.AnswerAny = [](const TDialogRequest& R) { return CancelAnswer(R); };
        Responder.OnFailure = [](const AnsiString&) {};
    }
    void TearDown() override {
        std::string list;
        for (const std::string& f : Failures)
            list += "\n  " + f;
        EXPECT_TRUE(Failures.empty()) << Failures.size() << " of " << Count << ":" << list;
    }
    // Runs Inside in the window Where names, opened modally on Chart as the
    // user opens it: the editor, or the window its button opens.
    void InWindowOf(TCustomChart* Chart, const TWhere& Where,
                    const std::function<void(TCustomForm*)>& Inside) {
        bool ran = false;
        TPumpScript script;
        script.When([] { return dynamic_cast<TChartEditForm*>(Screen->ActiveForm()) != nullptr; })
            .Do([&] {
                auto* f = dynamic_cast<TChartEditForm*>(Screen->ActiveForm());
                TWatched<TCustomForm> editor = f;
                MakeEveryPage(f, Where.Series != nullptr);
                if (Where.Opener.empty()) {
                    ran = true;
                    Inside(f);
                } else if (auto* b = dynamic_cast<TButton*>(Find(f, Where.Opener));
                           b && Reachable(b)) {
                    ran = InWindow(b, [&](TCustomForm* W) {
                        OpenEveryTab(W);
                        Inside(W);
                    });
                }
                if (editor && editor->ModalResult() == mrNone) SimulateClick(f->BClose);
            });
        EditChart(nullptr, Chart);
        if (!ran) Failures.push_back(Where.Name() + ": not found again");
    }
    TVirtualClockScope Clock;
    TDialogResponder Responder;
    std::vector<std::string> Failures;
    int Count = 0;
};

// ---------------------------------------------------------------------------
// A figure typed is kept however its window closes.

struct TCloseWay {
    const char* Name;
    // False when the way does not close that window (Enter without a default button).
    std::function<void(TCustomForm* Window, TEdit* Field)> Close;
};

TButton* CloseButton(TCustomForm* W) {
    for (TControl* c : ControlsUnder(W))
        if (auto* b = dynamic_cast<TButton*>(c))
            if ((Caption(b) == "Close" || Caption(b) == "OK") && CanUserReach(b)) return b;
    return nullptr;
}

const std::vector<TCloseWay>& CloseWays() {
    static const std::vector<TCloseWay> ways = {
        {"its Close button",
         [](TCustomForm* W, TEdit*) {
             if (TButton* b = CloseButton(W)) SimulateClick(b);
         }},
        {"the close box", [](TCustomForm* W, TEdit*) { SimulateCloseBox(W); }},
        {"Alt+F4", [](TCustomForm*, TEdit* E) { SimulateKey(E, VK_F4, TShiftState{ssAlt}); }},
        {"Enter", [](TCustomForm*, TEdit* E) { SimulateKey(E, VK_RETURN); }},
        {"Close", [](TCustomForm* W, TEdit*) { W->Close(); }},
    };
    return ways;
}

TEST_F(CloseWaysTest, AFigureTypedIsKeptByEveryWayItsWindowCloses) {
    const TFound& found = Found();
    std::set<std::string> windows;
    for (const THeldField& f : found.Fields) {
        windows.insert(f.Where.Window);
        for (const TCloseWay& way : CloseWays()) {
            const std::string name = f.Where.Name() + ":" + f.Path + " closed by " + way.Name;
            auto chart = NewChart(f.Where.Series);
            AnsiString figure;
            InWindowOf(chart.get(), f.Where, [&](TCustomForm* W) {
                auto* e = dynamic_cast<TEdit*>(Find(W, f.Path));
                if (!e || !Reachable(e)) return;
                figure = e->Text().Trim() == "25" ? "35" : "25";
                e->SetFocus();
                e->SelectAll();
                for (int i = 1; i <= figure.Length(); ++i)
                    SimulateType(e, figure.SubString(i, 1));
                way.Close(W, e);
                if (W->ModalResult() == mrNone)
                    Failures.push_back(name + ": the window stays open");
            });
            if (figure.IsEmpty()) {
                Failures.push_back(name + ": the field is out of reach");
                continue;
            }
            ++Count;
            AnsiString shown;
            InWindowOf(chart.get(), f.Where, [&](TCustomForm* W) {
                if (auto* e = dynamic_cast<TEdit*>(Find(W, f.Path)); e && Reachable(e))
                    shown = e->Text().Trim();
            });
            if (shown != figure)
                Failures.push_back(name + ": opened again shows \"" + shown.c_str() +
                                   "\", typed \"" + figure.c_str() + "\"");
        }
    }
    std::cout << "[ swept ] " << found.Fields.size() << " fields holding a figure back in "
              << windows.size() << " windows x " << CloseWays().size() << " ways = " << Count
              << ":";
    for (const THeldField& f : found.Fields)
        std::cout << "\n  " << f.Where.Name() << ":" << f.Path;
    std::cout << "\n";
    // The gauge's limits, the axis' start and end, the chart's and the print
    // preview's margins.
    EXPECT_GE(found.Fields.size(), 12u);
    EXPECT_GE(windows.size(), 2u);
}

// ---------------------------------------------------------------------------
// A dialog's close box and Escape are its Cancel.

// A change as the user makes one: the first control of the dialog that takes one.
bool MakeChange(TCustomForm* D) {
    for (TControl* c : ControlsUnder(D)) {
        if (!Reachable(c)) continue;
        if (auto* b = dynamic_cast<TCheckBox*>(c)) {
            SimulateClick(b, 6, b->Height() / 2);
            return true;
        }
        if (auto* l = dynamic_cast<TListBox*>(c); l && l->Items()->Count() > 1) {
            SimulateKey(l, l->ItemIndex() < l->Items()->Count() - 1 ? VK_DOWN : VK_UP);
            return true;
        }
        if (auto* cb = dynamic_cast<TComboBox*>(c); cb && cb->Items()->Count() > 1) {
            SimulateKey(cb, cb->ItemIndex() < cb->Items()->Count() - 1 ? VK_DOWN : VK_UP);
            return true;
        }
        if (auto* e = dynamic_cast<TEdit*>(c); e && !e->ReadOnly()) {
            // A number one on, typed over the text.
            double v;
            const AnsiString text = e->Text().Trim();
            const AnsiString entry = TryStrToFloat(text, v) ? FloatToStr(v + 1) : text + "1";
            e->SelectAll();
            SimulateType(e, entry);
            return true;
        }
        if (auto* t = dynamic_cast<TTrackBar*>(c); t && t->Min() != t->Max()) {
            SimulateKey(t, t->Position() < t->Max() ? VK_RIGHT : VK_LEFT);
            return true;
        }
    }
    return false;
}

struct TCancelWay {
    const char* Name;
    std::function<void(TCustomForm* Dialog)> Close;
};

const std::vector<TCancelWay>& CancelWays() {
    static const std::vector<TCancelWay> ways = {
        {"Cancel",
         [](TCustomForm* D) {
             if (TButton* b = ButtonOf(D, mrCancel)) SimulateClick(b);
         }},
        {"the close box", [](TCustomForm* D) { SimulateCloseBox(D); }},
        {"Escape",
         [](TCustomForm* D) {
             TWinControl* focused = D->ActiveControl();
             SimulateKey(focused ? focused : D, VK_ESCAPE);
         }},
        {"Alt+F4",
         [](TCustomForm* D) {
             TWinControl* focused = D->ActiveControl();
             SimulateKey(focused ? focused : D, VK_F4, TShiftState{ssAlt});
         }},
    };
    return ways;
}

class DialogCancelTest : public CloseWaysTest {
protected:
    // Opens the dialog from a shown editor, changes something, closes it with
    // Close; the chart file before and after, and what the dialog reported.
    bool Run(const TWhere& Where, const std::function<void(TCustomForm*)>& Close,
             std::string& Before, std::string& After, TModalResult& Result) {
        auto chart = NewChart(Where.Series);
        auto editor = TeeCreateChartEditor(chart.get());
        editor->Show();
        MakeEveryPage(editor.get(), Where.Series != nullptr);
        auto* b = dynamic_cast<TButton*>(Find(editor.get(), Where.Opener));
        if (!b || !Reachable(b)) return false;
        Before = ChartText(chart.get());
        bool changed = false;
        Result = mrNone;
        const bool opened = InWindow(b, [&](TCustomForm* D) {
            OpenEveryTab(D);
            changed = MakeChange(D);
            TWatched<TCustomForm> held = D;
            Close(D);
            if (held) Result = held->ModalResult();
        });
        After = ChartText(chart.get());
        return opened && changed;
    }
};

TEST_F(DialogCancelTest, CancelCloseBoxAndEscapeTakeBackTheChange) {
    const TFound& found = Found();
    for (const TWhere& d : found.Dialogs) {
        std::string before, after;
        TModalResult result;
        // OK keeps the change: it is one the chart file shows.
        auto ok = [](TCustomForm* D) {
            TButton* b = ButtonOf(D, mrOk);
            for (TControl* c : ControlsUnder(D))
                if (auto* o = dynamic_cast<TButton*>(c); !b && o && Caption(o) == "OK") b = o;
            if (b && CanUserReach(b)) SimulateClick(b);
        };
        if (!Run(d, ok, before, after, result)) {
            Failures.push_back(d.Name() + ": no change made");
            continue;
        }
        if (after == before) Failures.push_back(d.Name() + ": OK keeps no change");
        for (const TCancelWay& way : CancelWays()) {
            ++Count;
            const std::string name = d.Name() + " closed by " + way.Name;
            if (!Run(d, way.Close, before, after, result)) {
                Failures.push_back(name + ": not opened again");
                continue;
            }
            if (result != mrCancel)
                Failures.push_back(name + ": reports " + std::to_string(result));
            if (after != before) Failures.push_back(name + ": the chart file changed");
        }
    }
    std::cout << "[ swept ] " << found.Dialogs.size() << " dialogs with Cancel (of "
              << found.Windows << " windows opened) x " << CancelWays().size()
              << " ways = " << Count << ":";
    for (const TWhere& d : found.Dialogs)
        std::cout << " " << d.Window;
    std::cout << "\n";
    // The pen, brush and gradient dialogs at least.
    EXPECT_GE(found.Dialogs.size(), 3u);
}

} // namespace
