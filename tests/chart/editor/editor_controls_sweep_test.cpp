// Every check box, drop-down list, radio group, up-down, track bar, edit, and
// colour, pen or dialog button of every editor page, found by walking the pages
// the registries give (the chart editor's tabs, the series page on a series of
// each registered type, the tools page on a tool of each registered class), is
// used once as the user would: an arrow clicked, a key pressed, a value typed
// and left, a dialog answered with one value changed. Then the chart file
// holds what the chart draws (a chart read from it draws the same pixels), and every control of
// those pages shows what the pages filled again show, so no second control of a property is left
// showing the old value.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teecontrols.h"
#include "chart/engine/teetools.h"
#include "chart/control/teenumedit.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include "page_walk.h"
#include "tools_page.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int W = 160, H = 120;

std::string ChartText(TCustomChart* Chart) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

std::vector<TColor> Pixels(TCustomChart* Chart) {
    TBitmap b(W, H);
    Chart->Draw(b.Canvas(), TRect(0, 0, W, H));
    std::vector<TColor> v;
    v.reserve(W * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            v.push_back(b.Canvas()->Pixels(x, y));
    return v;
}

// What a control shows of the value it edits; empty for controls that edit none.
std::string Shown(TControl* C) {
    if (auto* b = dynamic_cast<TCheckBox*>(C)) return b->Checked() ? "checked" : "unchecked";
    if (auto* r = dynamic_cast<TRadioGroup*>(C)) return "item " + std::to_string(r->ItemIndex());
    if (auto* c = dynamic_cast<TComboBox*>(C))
        return "item " + std::to_string(c->ItemIndex()) + " \"" + c->Text().c_str() + "\"";
    if (auto* u = dynamic_cast<TUpDown*>(C)) return "position " + std::to_string(u->Position());
    if (auto* t = dynamic_cast<TTrackBar*>(C)) return "position " + std::to_string(t->Position());
    if (auto* e = dynamic_cast<TEdit*>(C)) return "text \"" + std::string(e->Text().c_str()) + "\"";
    return {};
}

// The kinds of control the sweep uses, in the order it uses them on a page.
enum TControlKind {
    ckUpDown,
    ckTrackBar,
    ckEdit,
    ckCheckBox,
    ckRadioGroup,
    ckComboBox,
    ckColorButton,
    ckPenButton,
    ckDialogButton,
    ckNone
};
const char* const KindNames[] = {"up-downs",       "track bars",   "edits",
                                 "check boxes",    "radio groups", "drop-down lists",
                                 "colour buttons", "pen buttons",  "dialog buttons"};

TControlKind Kind(TControl* C) {
    if (dynamic_cast<TCheckBox*>(C)) return ckCheckBox;
    if (dynamic_cast<TRadioGroup*>(C)) return ckRadioGroup;
    if (dynamic_cast<TComboBox*>(C)) return ckComboBox;
    if (dynamic_cast<TUpDown*>(C)) return ckUpDown;
    if (dynamic_cast<TTrackBar*>(C)) return ckTrackBar;
    if (auto* e = dynamic_cast<TEdit*>(C)) return e->ReadOnly() ? ckNone : ckEdit;
    if (dynamic_cast<TButtonColor*>(C)) return ckColorButton;
    if (dynamic_cast<TButtonPen*>(C)) return ckPenButton;
    // A button whose caption ends in "..." opens a window.
    if (auto* b = dynamic_cast<TButton*>(C)) {
        const AnsiString c = b->Caption();
        if (c.Length() > 3 && c.SubString(c.Length() - 2, 3) == "...") return ckDialogButton;
    }
    return ckNone;
}

// One step of an up-down as a click on its arrow: up, or down at the top.
bool ClickArrow(TUpDown* U) {
    if (U->Min() == U->Max()) return false;
    const bool up = U->Max() > U->Min() ? U->Position() < U->Max() : U->Position() > U->Max();
    const int w = U->ClientWidth(), h = U->ClientHeight();
    if (U->Orientation() == udVertical)
        SimulateClick(U, w / 2, up ? h / 4 : 3 * h / 4);
    else
        SimulateClick(U, up ? 3 * w / 4 : w / 4, h / 2);
    return true;
}

// The user moves on with Tab; a window that is not the active one keeps its
// focus on Tab here, so the user then clicks elsewhere.
void Leave(TEdit* E) {
    SimulateKey(E, VK_TAB);
    if (TCustomForm* form = GetParentForm(E); form && form->ActiveControl() == E)
        form->SetActiveControl(nullptr);
}

// What the user types over an edit's text: a number one step on (back at a
// bound), or the text with a letter more.
AnsiString NewEntry(TEdit* E) {
    const AnsiString text = E->Text();
    auto* number = dynamic_cast<TNumberEdit*>(E);
    double v;
    if (TryStrToFloat(StringReplace(text.Trim(), AnsiString(ThousandSeparator), ""), v)) {
        for (const double step : {1.0, -1.0}) {
            const AnsiString entry = FloatToStr(v + step);
            AnsiString shown, page;
            if (!number || number->Bounded(entry, shown, page)) return entry;
        }
        return text;
    }
    return number ? AnsiString("1") : text + "x";
}

// Controls whose use leaves the chart and its file as they were, and why.
const std::set<std::string>& KnownWithoutEffect() {
    static const std::set<std::string> known = {
        // Chooses the title the page edits.
        "Titles:ChartEditForm.MainPage.TabChart.SubPage.TabTitle.CBTitles",
        // The panel leaves its default colour only through the colour button.
        "Panel:ChartEditForm.MainPage.TabChart.SubPage.TabPanel.PageControl1.TabBack.CBColorDef",
        // The text size is the window canvas': no picture or file holds it.
        "3D:ChartEditForm.MainPage.TabChart.SubPage.Tab3D.GB3D.UDTextSize",
        "3D:ChartEditForm.MainPage.TabChart.SubPage.Tab3D.GB3D.ETextSize",
        // The marks tip's delay is the program's hint pause, not the chart's.
        "TMarksTipTool:FormTeeTools.Panel1.UDDelay",
        "TMarksTipTool:FormTeeTools.Panel1.EDelay",
        // The Bezier series keeps only its line pen and pointer and draws its
        // curve in one piece: the line page's colour-each-line, clickable and
        // stacking settings do nothing to it.
        "TBezierSeries:FormTeeSeries.PageSeries.TheTabSheet.CheckBox1",
        "TBezierSeries:FormTeeSeries.PageSeries.TheTabSheet.CBClick",
        "TBezierSeries:FormTeeSeries.PageSeries.TheTabSheet.CBStack",
    };
    return known;
}

// Charts a file does not give back, by where they show (the start of the
// line) and what; each is printed whenever the sweep meets it.
const std::vector<std::pair<std::string, std::string>>& NotGivenBack() {
    static const std::vector<std::pair<std::string, std::string>> known = {
        // A file keeps no cursor position: a chart read back places the cursor
        // at the plot's centre and snaps it in the style read, while a style
        // chosen later snaps it from where it was.
        {"TCursorTool:FormTeeTools.Panel1.CBStyle", "a chart read from its file draws another"},
        {"TCursorTool:", "the chart before this use is not what its file draws"},
        // Not yet mended: on the chart that drew the series swept before it, a
        // polar series draws the dashes of its grid inside the circle at other
        // offsets than a chart read from its file (the same geometry otherwise).
    };
    return known;
}

bool Known(const std::string& Failure) {
    return std::ranges::any_of(NotGivenBack(), [&](const auto& o) {
        return Failure.starts_with(o.first) && Failure.find(o.second) != std::string::npos;
    });
}

class EditorControlsSweep : public ::testing::Test {
protected:
    void SetUp() override {
        TeeExtraSeriesStartup();
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, W, H);
        Responder.OnFailure = [this](const AnsiString& M) { Boxes.push_back(M.c_str()); };
    }
    TChartSeries* Add(TClass Type) {
        TChartSeries* s = CreateNewSeries(Chart.get(), Chart.get(), Type);
        s->FillSampleValues(6);
        return s;
    }
    // Selectors choose what the page edits; they edit nothing themselves.
    static bool Selector(TControl* C) {
        const AnsiString n = C->Name();
        // The contour page's level chooses which level the fields below edit.
        return n == "CBSeries" || n == "UDLevel" || n == "ELevel";
    }
    // Uses each control under Root once; Whole holds every control that may
    // show the same property, and Refill shows its pages again.
    void Sweep(TWinControl* Root, const std::string& Where, TWinControl* Whole,
               const std::function<void()>& Refill) {
        std::vector<TControl*> controls;
        WalkControls(Root, [&](TControl* c) {
            if (Kind(c) != ckNone && !Selector(c)) controls.push_back(c);
        });
        // Buttons last: a colour chosen first would hide what a box does on
        // its own (a middle colour before "No Middle" is unchecked).
        std::stable_sort(controls.begin(), controls.end(),
                         [](TControl* a, TControl* b) { return Kind(a) < Kind(b); });
        for (TControl* c : controls) {
            // A use may rebuild part of the page (another series type).
            bool present = false;
            WalkControls(Root, [&](TControl* x) { present = present || x == c; });
            if (!present) continue;
            const std::string where = Where + PathOf(c);
            if (!Done.insert(where).second) continue;
            Reach(c);
            if (!CanUserReach(c)) {
                ++Unreachable;
                continue;
            }
            const std::string textBefore = ChartText(Chart.get());
            const auto before = Pixels(Chart.get());
            if (!Use(c)) continue;
            ++Used;
            ++UsedOfKind[Kind(c)];
            const std::string text = ChartText(Chart.get());
            const auto after = Pixels(Chart.get());
            if (text == textBefore && after == before) {
                NoEffect.push_back(where);
                if (!KnownWithoutEffect().count(where))
                    Failures.push_back(where + ": changes neither the chart nor its file");
            }
            // A chart whose file did not give it back before the use is the
            // fault of an earlier step (once a page), not of this control.
            if (after != before || text != textBefore) {
                if (Reload(textBefore) != before) {
                    if (NotReloaded.insert(Where).second) {
                        Failures.push_back(where + ": the chart before this use is not what its "
                                                   "file draws");
                        if (std::getenv("QM_SWEEP_LIST"))
                            std::cout << "---- " << where << "\n" << textBefore << "\n----\n";
                    }
                } else if (Reload(text) != after) {
                    Failures.push_back(where + ": a chart read from its file draws another chart");
                    if (std::getenv("QM_SWEEP_LIST"))
                        std::cout << "---- " << where << "\n"
                                  << textBefore << "\n----\n"
                                  << text << "\n";
                }
            }
            Agrees(Whole, where, Refill);
        }
    }
    bool Use(TControl* C) {
        if (auto* b = dynamic_cast<TCheckBox*>(C)) {
            // A box may refuse (the panel's "Default" is left through the colour
            // button); it then shows what is held, as every control must.
            SimulateClick(b, 6, b->Height() / 2);
            return true;
        }
        if (auto* r = dynamic_cast<TRadioGroup*>(C)) {
            if (r->ButtonCount() < 2) return false;
            const int next = (r->ItemIndex() + 1) % r->ButtonCount();
            if (!r->Buttons(next)->Enabled()) return false;
            SimulateClick(r->Buttons(next));
            return true;
        }
        if (auto* b = dynamic_cast<TButtonColor*>(C)) {
            // A colour button of its own making, with no property linked, is the
            // page's to test.
            if (!b->Instance()) return false;
            TDialogResponder colour;
            colour.OnFailure = [this](const AnsiString& M) { Boxes.push_back(M.c_str()); };
            colour.ExpectColor(b->GetTeeColor() == clRed ? clLime : clRed);
            SimulateClick(b);
            if (!colour.Done()) Failures.push_back(PathOf(C) + ": opened no colour dialog");
            return true;
        }
        if (auto* c = dynamic_cast<TComboBox*>(C)) {
            const int n = c->Items()->Count();
            if (n < 2) return false;
            SimulateKey(c, c->ItemIndex() < n - 1 ? VK_DOWN : VK_UP);
            return true;
        }
        if (auto* u = dynamic_cast<TUpDown*>(C)) return ClickArrow(u);
        if (auto* t = dynamic_cast<TTrackBar*>(C)) {
            if (t->Min() == t->Max()) return false;
            SimulateKey(t, t->Position() < t->Max() ? VK_RIGHT : VK_LEFT);
            return true;
        }
        if (auto* e = dynamic_cast<TEdit*>(C)) {
            const AnsiString entry = NewEntry(e);
            if (entry == e->Text()) return false;
            e->SelectAll();
            SimulateType(e, entry);
            Leave(e);
            return true;
        }
        if (auto* b = dynamic_cast<TButtonPen*>(C)) {
            if (!b->Pen()) return false;
            return InDialog(b, [this, b](TCustomForm* F) {
                auto* d = dynamic_cast<TPenDialog*>(F);
                if (!d) return false;
                if (!(CanUserReach(d->UDWidth) && ClickArrow(d->UDWidth)) &&
                    CanUserReach(d->CBStyle))
                    Use(d->CBStyle);
                SimulateClick(d->BOk);
                return true;
            });
        }
        if (auto* b = dynamic_cast<TButton*>(C))
            return InDialog(b, [this](TCustomForm* F) { return AnswerEditor(F); });
        return false;
    }
    // Clicks B and answers the window it opens with Answer; false when it opens
    // none the sweep can answer (a file dialog, another editor), which it closes.
    bool InDialog(TButton* B, const std::function<bool(TCustomForm*)>& Answer) {
        TCustomForm* const opener = Screen->ActiveForm();
        bool opened = false, answered = false;
        std::vector<TDialogKind> asked;
        auto click = [&](TDialogResponder& R) {
            R.OnFailure = [](const AnsiString&) {};
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
                    answered = Answer(f);
                    if (f->ModalResult() == mrNone) SimulateCloseBox(f);
                });
            SimulateClick(B);
            for (const TDialogRequest& r : R.Shown())
                asked.push_back(r.Kind);
        };
        {
            TDialogResponder probe;
            click(probe);
        }
        // The system's font dialog, asked for on the first click and cancelled.
        if (!opened && asked.size() == 1 && asked[0] == TDialogKind::FontDialog) {
            TDialogResponder font;
            font.ExpectFont([](TFont* F) { F->SetSize(F->Size() + 4); });
            asked.clear();
            click(font);
            if (!font.Done()) Failures.push_back(PathOf(B) + ": opened no font dialog again");
            return true;
        }
        if (!opened && asked.empty()) Failures.push_back(PathOf(B) + ": opened no window");
        return answered;
    }
    // The editor dialogs a page's buttons open: one value changed, then OK
    // (the font editor has none: the user closes it).
    bool AnswerEditor(TCustomForm* F) {
        if (auto* d = dynamic_cast<TBrushDialog*>(F)) {
            const int n = d->LStyle->Items()->Count();
            SimulateKey(d->LStyle, d->LStyle->ItemIndex() < n - 1 ? VK_DOWN : VK_UP);
            SimulateClick(d->Button2);
            return true;
        }
        if (auto* d = dynamic_cast<TTeeGradientEditor*>(F)) {
            Use(CanUserReach(d->CBVisible) ? static_cast<TControl*>(d->CBVisible) : d->CBDirection);
            SimulateClick(d->BOk);
            return true;
        }
        if (auto* d = dynamic_cast<TTeeShadowEditor*>(F)) {
            ClickArrow(d->UDShadowSize);
            SimulateClick(d->BOK);
            return true;
        }
        if (auto* d = dynamic_cast<TTeeFontEditor*>(F)) {
            ClickArrow(d->UDInter);
            return true;
        }
        if (auto* d = dynamic_cast<TPenDialog*>(F)) {
            ClickArrow(d->UDWidth);
            SimulateClick(d->BOk);
            return true;
        }
        return false;
    }
    // What a chart read from the file Text draws.
    static std::vector<TColor> Reload(const std::string& Text) {
        TMemoryStream m;
        m.WriteBuffer(Text.data(), static_cast<int>(Text.size()));
        m.SetPosition(0);
        auto loaded = std::make_unique<TChart>();
        TCustomChart* target = loaded.get();
        LoadChartFromStream(target, &m);
        loaded->SetBounds(0, 0, W, H);
        return Pixels(loaded.get());
    }
    // Every control the user can use shows what it shows once its page is
    // filled again (a disabled one may wait for the setting that enables it).
    void Agrees(TWinControl* Root, const std::string& Where, const std::function<void()>& Refill) {
        std::map<TControl*, std::string> live;
        WalkControls(Root, [&](TControl* c) {
            if (std::string s = Shown(c); !s.empty() && Usable(c)) live[c] = s;
        });
        const std::string text = ChartText(Chart.get());
        Refill();
        if (ChartText(Chart.get()) != text)
            Failures.push_back(Where + ": showing the pages again changed the chart file");
        WalkControls(Root, [&](TControl* c) {
            const auto l = live.find(c);
            if (l == live.end()) return;
            if (const std::string s = Shown(c); s != l->second)
                Failures.push_back(Where + ": " + PathOf(c) + " shows " + l->second +
                                   ", filled again " + s);
        });
    }
    void TearDown() override {
        std::erase_if(Failures, [](const std::string& f) {
            if (!Known(f)) return false;
            std::cout << "[ known ] " << f << "\n";
            return true;
        });
        std::string list;
        for (const std::string& f : Failures)
            list += "\n  " + f;
        EXPECT_TRUE(Failures.empty())
            << Failures.size() << " faults in " << Used << " controls used:" << list;
        std::string boxes;
        for (const std::string& b : Boxes)
            boxes += "\n  " + b;
        EXPECT_TRUE(Boxes.empty()) << boxes;
        std::cout << "[ swept ] " << Used << " controls used, " << Unreachable << " out of reach, "
                  << NoEffect.size() << " without effect on the chart, " << NotReloaded.size()
                  << " pages on charts their files do not give back; used:";
        for (int k = 0; k < ckNone; ++k)
            std::cout << (k ? ", " : " ") << UsedOfKind[k] << " " << KindNames[k];
        std::cout << "\n";
        if (std::getenv("QM_SWEEP_LIST")) {
            for (const std::string& n : NoEffect)
                std::cout << "  no effect: " << n << "\n";
            for (const std::string& n : NotReloaded)
                std::cout << "  not read back as drawn before a use: " << n << "\n";
        }
    }

    // The clock series draws the time: a fixed one draws the same twice.
    TVirtualClockScope Clock;
    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    std::set<std::string> Done;
    std::vector<std::string> Failures, Boxes, NoEffect;
    std::set<std::string> NotReloaded;
    int Used = 0, Unreachable = 0;
    int UsedOfKind[ckNone] = {};
};

// Hides and shows every page form under Root, as turning to it again would.
void ShowAgain(TWinControl* Root) {
    std::vector<TCustomForm*> forms;
    if (auto* f = dynamic_cast<TCustomForm*>(Root)) forms.push_back(f);
    WalkControls(Root, [&](TControl* c) {
        if (auto* f = dynamic_cast<TCustomForm*>(c); f && f->Visible()) forms.push_back(f);
    });
    for (TCustomForm* f : forms) {
        f->Hide();
        f->Show();
    }
}

TEST_F(EditorControlsSweep, ChartPages) {
    Add(&TLineSeries::ClassInfo);
    Add(&TBarSeries::ClassInfo);
    TPumpScript script;
    script.When([] { return dynamic_cast<TChartEditForm*>(Screen->ActiveForm()) != nullptr; })
        .Do([&] {
            auto* f = dynamic_cast<TChartEditForm*>(Screen->ActiveForm());
            for (int i = 0; i < f->SubPage->PageCount(); ++i) {
                TTabSheet* tab = f->SubPage->Pages(i);
                f->SubPage->SelectPageByUser(tab);
                Sweep(tab, std::string(tab->Caption().c_str()) + ":", f->SubPage, [f] {
                    for (int j = 0; j < f->SubPage->PageCount(); ++j)
                        ShowAgain(f->SubPage->Pages(j));
                });
            }
            SimulateClick(f->BClose);
        });
    EditChart(nullptr, Chart.get());
    EXPECT_TRUE(script.Done());
    EXPECT_GT(Used, 40);
}

// The series page of every registered type, its own tabs, general and marks.
TEST_F(EditorControlsSweep, SeriesPagesOfEveryType) {
    std::set<TClass> done;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        if (t->FunctionClass || !t->SeriesClass || !done.insert(t->SeriesClass).second) continue;
        Chart->FreeAllSeries();
        TChartSeries* s = Add(t->SeriesClass);
        TFormTeeSeries page(nullptr);
        page.SetBounds(0, 0, 460, 340);
        page.CBSeries->Items()->AddObject(s->Name(), s);
        page.Show();
        page.SetTheSeries(s);
        page.SetCBSeries();
        // The data source tab's options take effect on Apply; its own sweep is elsewhere.
        for (int p = 0; p < page.PageSeries->PageCount(); ++p) {
            TTabSheet* tab = page.PageSeries->Pages(p);
            if (tab == page.TabDataSource) continue;
            Sweep(tab, std::string(t->SeriesClass->Name) + ":", page.PageSeries, [&page] {
                for (int j = 0; j < page.PageSeries->PageCount(); ++j)
                    if (page.PageSeries->Pages(j) != page.TabDataSource)
                        ShowAgain(page.PageSeries->Pages(j));
            });
        }
    }
    EXPECT_GT(Used, 200);
}

// The tools page on a tool of every registered class.
TEST_F(EditorControlsSweep, ToolPagesOfEveryClass) {
    TChartSeries* line = Add(&TLineSeries::ClassInfo);
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        Chart->Tools()->Clear();
        auto* tool = dynamic_cast<TTeeCustomTool*>(TeeToolTypes()[i]->Factory(Chart.get()));
        ASSERT_NE(tool, nullptr);
        tool->SetParentChart(Chart.get());
        if (auto* st = dynamic_cast<TTeeCustomToolSeries*>(tool)) st->SetSeries(line);
        TForm host(nullptr);
        TFormTeeTools* page = ShowToolsPage(host, Chart.get());
        ASSERT_NE(page->ToolForm(), nullptr) << tool->ClassName();
        Sweep(page->ToolForm(), std::string(tool->ClassName().c_str()) + ":", page->ToolForm(),
              [page] { ShowAgain(page->ToolForm()); });
    }
    EXPECT_GT(Used, 10);
}

} // namespace
