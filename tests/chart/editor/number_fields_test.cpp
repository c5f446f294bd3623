// Every number field of every editor page, found by walking the pages, gets
// typed text, a huge and a negative number pasted in, and is left. A refused
// entry shows the value held again and leaves the chart as it was; a number
// beyond the field's bounds reaches the chart as the bound; either way the
// field shows what the chart holds (the page shows the same once reloaded).
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/chartparts.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teefunci.h"
#include "chart/control/teenumedit.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_hints.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teetools.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teegauges.h"
#include "platform/classes/streams.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/forms.h"
#include "platform/graphics/clipbrd.h"
#include "platform/rtl/rtlmath.h"
#include "support/forms_testing.h"
#include "page_walk.h"
#include "tools_page.h"
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct TField {
    TEdit* Edit;
    TUpDown* UpDown; // nullptr: a field of its own bounds
    std::string Where;
};

std::string ChartText(TCustomChart* Chart) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

void Collect(TWinControl* Root, std::vector<TField>& Out, std::set<TEdit*>& Seen) {
    for (int i = 0; i < Root->ControlCount(); ++i) {
        TControl* c = Root->Controls(i);
        if (auto* u = dynamic_cast<TUpDown*>(c))
            if (auto* e = dynamic_cast<TEdit*>(u->Associate()); e && Seen.insert(e).second)
                Out.push_back({e, u, PathOf(e)});
        if (auto* e = dynamic_cast<TNumberEdit*>(c); e && !Seen.count(e)) {
            // Its up-down may come later in the walk.
            bool paired = false;
            for (int j = 0; j < Root->ControlCount(); ++j)
                if (auto* u = dynamic_cast<TUpDown*>(Root->Controls(j)); u && u->Associate() == e)
                    paired = true;
            if (!paired && Seen.insert(e).second) Out.push_back({e, nullptr, PathOf(e)});
        }
        if (auto* w = dynamic_cast<TWinControl*>(c)) Collect(w, Out, Seen);
    }
}

// The user moves on with Tab.
void Leave(TEdit* E) {
    SimulateKey(E, VK_TAB);
    // A window that is not the active one keeps its focus on Tab here: the
    // user then clicks elsewhere.
    if (TCustomForm* form = GetParentForm(E); form && form->ActiveControl() == E)
        form->SetActiveControl(nullptr);
}

// The user selects the field's text, pastes the entry over it and moves on.
void PasteAndLeave(TEdit* E, const AnsiString& Entry) {
    Clipboard()->SetAsText(Entry);
    SimulateKey(E, 'A', TShiftState{ssCtrl});
    SimulateKey(E, 'V', TShiftState{ssCtrl});
    Leave(E);
}

std::string OwnerAndName(TEdit* E) {
    return std::string(E->Owner() ? E->Owner()->ClassName().c_str() : "") + "." + E->Name().c_str();
}

// Whole-number fields without an up-down, by page class and field, and the
// property whose stored bounds they keep to.
const std::map<std::string, std::pair<TClass, const char*>>& StoredFields() {
    static const std::map<std::string, std::pair<TClass, const char*>> fields = {
        {"TFormTeeSeries.ESamples", {&TChartSeries::ClassInfo, "SampleCount"}},
        {"TCustomFunctionEditor.ENum", {&TCustomTeeFunction::ClassInfo, "NumPoints"}},
        {"TAnnotationToolEdit.EX", {&TAnnotationCallout::ClassInfo, "XPosition"}},
        {"TAnnotationToolEdit.EY", {&TAnnotationCallout::ClassInfo, "YPosition"}},
        {"TAnnotationToolEdit.EZ", {&TAnnotationCallout::ClassInfo, "ZPosition"}},
    };
    return fields;
}

bool WholeNumber(const AnsiString& Text, int& V) {
    return TryStrToInt(StringReplace(Text.Trim(), AnsiString(ThousandSeparator), ""), V);
}

class NumberFieldsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeExtraSeriesStartup();
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 400, 300);
        Responder.OnFailure = [this](const AnsiString& M) { Boxes.push_back(M.c_str()); };
    }
    TChartSeries* Add(TClass Type) {
        TChartSeries* s = CreateNewSeries(Chart.get(), Chart.get(), Type);
        s->FillSampleValues(6);
        return s;
    }
    // The entries on every field found under Root. Where tells one page's
    // fields from another's (a series type, a tool).
    void CheckAll(TWinControl* Root, const std::string& Where = "",
                  const std::function<void()>& Commit = nullptr) {
        FCommit = Commit;
        std::vector<TField> fields;
        std::set<TEdit*> seen;
        Collect(Root, fields, seen);
        for (TField& f : fields) {
            f.Where = Where + f.Where;
            if (Checked.insert(f.Where).second) Check(f);
        }
    }
    void Fail(const TField& F, const std::string& Entry, const std::string& What) {
        Failures.push_back(F.Where + " <" + Entry + ">: " + What);
    }
    void Check(const TField& F) {
        Reach(F.Edit);
        // A field disabled or hidden until some setting is opened up as that
        // setting would; what the chart then holds depends on the setting.
        bool hidden = false;
        for (TControl* c = F.Edit; c && !dynamic_cast<TCustomForm*>(c); c = c->Parent())
            hidden = hidden || !c->Visible();
        const bool forced = !F.Edit->CanFocus();
        if (forced) {
            ++Forced;
            for (TControl* c = F.Edit; c && !dynamic_cast<TCustomForm*>(c); c = c->Parent()) {
                c->SetVisible(true);
                c->SetEnabled(true);
            }
        }
        if (!F.Edit->CanFocus()) {
            Fail(F, "", "cannot be reached");
            return;
        }
        ++Count;
        ShowsBoundsWhole(F, !hidden);
        // Typed text is refused, and so is a number no field can hold; a field
        // without an up-down refuses what the chart file reader would not keep.
        std::vector<AnsiString> refusedEntries = {"abc", "1e400"};
        if (!F.UpDown)
            if (auto s = StoredFields().find(OwnerAndName(F.Edit)); s != StoredFields().end()) {
                int64_t lo, hi;
                EXPECT_TRUE(TeeStoredBounds(s->second.first, s->second.second, lo, hi));
                refusedEntries.push_back(IntToStr(hi + 1));
                refusedEntries.push_back(IntToStr(lo - 1));
                ++Stored;
            }
        for (const AnsiString& refused : refusedEntries) {
            const AnsiString shown = F.Edit->Text();
            const std::string before = ChartText(Chart.get());
            PasteAndLeave(F.Edit, refused);
            if (F.Edit->Text() != shown)
                Fail(F, refused.c_str(),
                     "shows \"" + std::string(F.Edit->Text().c_str()) + "\" instead of \"" +
                         shown.c_str() + "\"");
            if (ChartText(Chart.get()) != before) Fail(F, refused.c_str(), "changed the chart");
        }
        if (!F.UpDown) return;
        for (const char* beyond : {"99999999", "-99999999"}) {
            PasteAndLeave(F.Edit, beyond);
            const AnsiString shown = F.Edit->Text();
            int v;
            const int lo = std::min(F.UpDown->Min(), F.UpDown->Max());
            const int hi = std::max(F.UpDown->Min(), F.UpDown->Max());
            if (!WholeNumber(shown, v) || v < lo || v > hi)
                Fail(F, beyond,
                     "shows \"" + std::string(shown.c_str()) + "\", beyond " + std::to_string(lo) +
                         ".." + std::to_string(hi));
            if (FCommit) FCommit();
            // The page the field belongs to, shown again, reads the chart.
            auto* page = dynamic_cast<TCustomForm*>(F.Edit->Owner());
            if (page && !forced && !ShownFixed(F) && !page->FormState().Contains(fsModal)) {
                page->Hide();
                page->Show();
                Reach(F.Edit);
                if (!SameValue(F, F.Edit->Text(), shown))
                    Fail(F, beyond,
                         "shows \"" + std::string(shown.c_str()) + "\" but the chart holds \"" +
                             F.Edit->Text().c_str() + "\"");
            }
        }
    }
    // Both ends of the field's range, as the field writes them, fit its width:
    // a clipped "32,000" reads as "2,000".
    void ShowsBoundsWhole(const TField& F, bool Shown) {
        int64_t lo = 0, hi = 0;
        if (F.UpDown) {
            lo = std::min(F.UpDown->Min(), F.UpDown->Max());
            hi = std::max(F.UpDown->Min(), F.UpDown->Max());
        } else if (auto s = StoredFields().find(OwnerAndName(F.Edit)); s != StoredFields().end()) {
            TeeStoredBounds(s->second.first, s->second.second, lo, hi);
        } else {
            return;
        }
        // Widened, a field the page shows and its up-down still sit inside
        // their parent and clear of every other control there.
        TWinControl* parent = F.Edit->Parent();
        for (TControl* mine : {static_cast<TControl*>(F.Edit), static_cast<TControl*>(F.UpDown)}) {
            if (!mine || !Shown) continue;
            const TRect r = mine->BoundsRect();
            if (r.Right > parent->ClientWidth())
                Fail(F, "", std::string(mine->Name().c_str()) + " passes its parent's right edge");
            for (int i = 0; i < parent->ControlCount(); ++i) {
                TControl* other = parent->Controls(i);
                if (other == F.Edit || other == F.UpDown || !other->Visible()) continue;
                const TRect o = other->BoundsRect();
                if (r.Left < o.Right && o.Left < r.Right && r.Top < o.Bottom && o.Top < r.Bottom)
                    Fail(F, "",
                         std::string(mine->Name().c_str()) + " overlaps " + other->Name().c_str());
            }
        }
        auto* number = dynamic_cast<TNumberEdit*>(F.Edit);
        for (const int64_t bound : {lo, hi}) {
            const AnsiString text = number ? number->WholeText(bound) : IntToStr(bound);
            const TEditTextRoom room = EditTextRoom(F.Edit, text);
            if (room.Needed > room.Room)
                Fail(F, text.c_str(),
                     "needs " + std::to_string(room.Needed) + " pixels, has " +
                         std::to_string(room.Room));
        }
    }
    // Pages that show a proposal rather than a setting: the 3D page opens at
    // the normal text size, the export page at the chart's size.
    static bool ShownFixed(const TField& F) {
        const AnsiString n = F.Edit->Name();
        return n == "ETextSize" ||
               (F.Edit->Owner() && F.Edit->Owner()->ClassName() == "TTeeExportForm" &&
                (n == "EWidth" || n == "EHeight"));
    }
    // The same number, with or without thousands separators. Angles are the
    // same a turn apart (a title at 360 degrees reads back as 0); a polar
    // angle increment of 0 asks for the automatic one, which reads 10.
    static bool SameValue(const TField& F, const AnsiString& A, const AnsiString& B) {
        int a, b;
        if (A == B) return true;
        if (!F.UpDown || !WholeNumber(A, a) || !WholeNumber(B, b)) return false;
        const AnsiString n = F.Edit->Name();
        if (n == "SEAngleInc" && std::min(a, b) == 0 && std::max(a, b) == 10) return true;
        return a == b || ((n.Pos("Angle") > 0 || n == "ERot") && (a - b) % 360 == 0);
    }
    void TearDown() override {
        std::string list;
        for (const std::string& f : Failures)
            list += "\n  " + f;
        EXPECT_TRUE(Failures.empty()) << Failures.size() << " of " << Count << " fields:" << list;
        std::string boxes;
        for (const std::string& b : Boxes)
            boxes += "\n  " + b;
        EXPECT_TRUE(Boxes.empty()) << boxes;
    }
    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    std::set<std::string> Checked;
    std::vector<std::string> Failures, Boxes;
    int Count = 0, Forced = 0, Stored = 0;
    std::function<void()> FCommit;
};

TEST_F(NumberFieldsTest, ChartPages) {
    Add(&TLineSeries::ClassInfo);
    Add(&TBarSeries::ClassInfo);
    TPumpScript script;
    script.When([] { return dynamic_cast<TChartEditForm*>(Screen->ActiveForm()) != nullptr; })
        .Do([&] {
            auto* f = dynamic_cast<TChartEditForm*>(Screen->ActiveForm());
            for (TTabSheet* tab : {f->TabGeneral, f->TabAxis, f->TabTitle, f->TabLegend,
                                   f->TabPanel, f->TabPaging, f->TabWalls, f->Tab3D}) {
                f->SubPage->SelectPageByUser(tab);
                for (int i = 0; i < tab->ControlCount(); ++i)
                    if (auto* page = dynamic_cast<TCustomForm*>(tab->Controls(i))) CheckAll(page);
            }
            // The export and print pages the editor embeds.
            for (TTabSheet* tab : {f->TabExport, f->TabPrint}) {
                f->MainPage->SelectPageByUser(tab);
                for (int i = 0; i < tab->ControlCount(); ++i)
                    if (auto* page = dynamic_cast<TCustomForm*>(tab->Controls(i))) CheckAll(page);
            }
            SimulateClick(f->BClose);
        });
    EditChart(nullptr, Chart.get());
    EXPECT_TRUE(script.Done());
    EXPECT_GT(Count, 40);
}

// Margins in pixels reach -2000 to 2000: the General page's margin fields.
TEST_F(NumberFieldsTest, MarginFieldsInPixels) {
    Chart->SetMarginUnits(muPixels);
    TForm host(nullptr);
    host.SetBounds(0, 0, 460, 320);
    TClass cls = GetClass("TFormTeeGeneral");
    ASSERT_NE(cls, nullptr);
    auto* page = dynamic_cast<TCustomForm*>(cls->Factory(&host));
    ASSERT_NE(page, nullptr);
    page->SetAlign(alClient);
    host.Show();
    AddFormTo(page, &host, Chart.get());
    CheckAll(page);
    EXPECT_EQ(Count, 6);
}

// The pen dialog, opened from a page's border button; its fields go to the
// pen as they change.
TEST_F(NumberFieldsTest, PenDialog) {
    TPumpScript script;
    script.When([] { return dynamic_cast<TPenDialog*>(Screen->ActiveForm()) != nullptr; }).Do([&] {
        auto* d = dynamic_cast<TPenDialog*>(Screen->ActiveForm());
        CheckAll(d);
        SimulateClick(d->BOk);
    });
    EditChartPenDialog(nullptr, Chart->Title()->Pen());
    EXPECT_TRUE(script.Done());
    EXPECT_GE(Count, 1);
    EXPECT_GE(Chart->Title()->Pen()->Width(), 1);
    EXPECT_LE(Chart->Title()->Pen()->Width(), 1000);
}

// Entries a user typed key by key and left with Tab, on the chart's pages:
// the field then shows the number the chart holds.
struct TypedCase {
    const char* Name;
    TTabSheet* TChartEditForm::*Tab;
    const char* Edit;
    const char* Typed;
    int Shown;
    std::function<int(TCustomChart*)> Held;
};

void PrintTo(const TypedCase& C, std::ostream* Os) {
    *Os << C.Name;
}

TEdit* FindEdit(TWinControl* Root, const AnsiString& Name) {
    for (int i = 0; i < Root->ControlCount(); ++i) {
        if (auto* e = dynamic_cast<TEdit*>(Root->Controls(i)); e && e->Name() == Name) return e;
        if (auto* w = dynamic_cast<TWinControl*>(Root->Controls(i)))
            if (TEdit* e = FindEdit(w, Name)) return e;
    }
    return nullptr;
}

const TypedCase TypedCases[] = {
    // A count this large once kept every repaint drawing minor ticks for minutes.
    {"MinorCountHuge", &TChartEditForm::TabAxis, "EMinorCount", "99999999", 1000,
     [](TCustomChart* C) { return C->LeftAxis()->MinorTickCount(); }},
    {"WallSizeNegative", &TChartEditForm::TabWalls, "SEWallSize", "-5", 0,
     [](TCustomChart* C) { return C->LeftWall()->Size(); }},
    {"WallTransparencyText", &TChartEditForm::TabWalls, "Edit1", "abc", 0,
     [](TCustomChart* C) { return C->LeftWall()->Transparency(); }},
    {"PointsPerPageText", &TChartEditForm::TabPaging, "SEPointsPerPage", "xyz", 0,
     [](TCustomChart* C) { return C->MaxPointsPerPage(); }},
};

class TypedEntryTest : public NumberFieldsTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedEntryTest, ShowsWhatTheChartHolds) {
    const TypedCase& c = GetParam();
    Add(&TLineSeries::ClassInfo);
    TPumpScript script;
    script.When([] { return dynamic_cast<TChartEditForm*>(Screen->ActiveForm()) != nullptr; })
        .Do([&] {
            auto* f = dynamic_cast<TChartEditForm*>(Screen->ActiveForm());
            f->SubPage->SelectPageByUser(f->*c.Tab);
            TEdit* e = FindEdit(f->*c.Tab, c.Edit);
            ASSERT_NE(e, nullptr);
            Reach(e);
            e->SelectAll();
            SimulateType(e, c.Typed);
            Leave(e);
            int shown;
            EXPECT_TRUE(WholeNumber(e->Text(), shown)) << e->Text().c_str();
            EXPECT_EQ(shown, c.Shown);
            EXPECT_EQ(c.Held(Chart.get()), c.Shown);
            SimulateClick(f->BClose);
        });
    EditChart(nullptr, Chart.get());
    EXPECT_TRUE(script.Done());
    Chart->Draw();
}

INSTANTIATE_TEST_SUITE_P(Pages, TypedEntryTest, ::testing::ValuesIn(TypedCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// "-50" typed into the bar width keeps bars of the narrowest width, drawn as
// a chart file would have them, instead of bars that vanish.
TEST_F(NumberFieldsTest, NegativeBarWidthKeepsTheBarsDrawn) {
    Chart->SetView3D(false);
    TChartSeries* bar = Add(&TBarSeries::ClassInfo);
    auto* bars = dynamic_cast<TCustomBarSeries*>(bar);
    auto pixels = [this] {
        Chart->Draw();
        std::vector<TColor> v;
        TCanvas* c = Chart->ControlCanvas();
        for (int y = 0; y < Chart->Height(); ++y)
            for (int x = 0; x < Chart->Width(); ++x)
                v.push_back(c->Pixels(x, y));
        return v;
    };
    bar->SetActive(false);
    const auto none = pixels();
    bar->SetActive(true);
    bars->SetBarWidthPercent(1);
    const auto narrowest = pixels();
    bars->SetBarWidthPercent(70);
    TFormTeeSeries page(nullptr);
    page.SetBounds(0, 0, 460, 340);
    page.CBSeries->Items()->AddObject(bar->Name(), bar);
    page.Show();
    page.SetTheSeries(bar);
    page.SetCBSeries();
    TEdit* width = FindEdit(&page, "SEBarWidth");
    ASSERT_NE(width, nullptr);
    width->SelectAll();
    SimulateType(width, "-50");
    Leave(width);
    EXPECT_EQ(width->Text(), "1");
    EXPECT_EQ(bars->BarWidthPercent(), 1);
    const auto typed = pixels();
    EXPECT_EQ(typed, narrowest);
    EXPECT_NE(typed, none);
}

std::vector<TTeeSeriesType*> RegisteredTypes(bool Functions) {
    std::vector<TTeeSeriesType*> r;
    std::set<TClass> done;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        TClass key = Functions ? t->FunctionClass : t->SeriesClass;
        if (key && (Functions || !t->FunctionClass) && done.insert(key).second) r.push_back(t);
    }
    return r;
}

// The series page, as the editor docks it, on a series of every registered
// type: its own editor with the tabs it adds, the general and marks tabs.
TEST_F(NumberFieldsTest, SeriesPagesOfEveryType) {
    for (TTeeSeriesType* t : RegisteredTypes(false)) {
        Chart->FreeAllSeries();
        TChartSeries* s = Add(t->SeriesClass);
        TFormTeeSeries page(nullptr);
        page.SetBounds(0, 0, 460, 340);
        page.CBSeries->Items()->AddObject(s->Name(), s);
        page.Show();
        page.SetTheSeries(s);
        page.SetCBSeries();
        CheckAll(&page, std::string(t->SeriesClass->Name) + ":");
    }
    EXPECT_GT(Count, 150);
    EXPECT_GT(Stored, 0);
}

// Every registered function's options, on the data source tab of its series.
TEST_F(NumberFieldsTest, FunctionPagesOfEveryType) {
    for (TTeeSeriesType* t : RegisteredTypes(true)) {
        Chart->FreeAllSeries();
        TChartSeries* source = Add(&TLineSeries::ClassInfo);
        TChartSeries* s = CreateNewSeries(
            Chart.get(), Chart.get(), t->SeriesClass ? t->SeriesClass : &TLineSeries::ClassInfo);
        s->SetFunction(dynamic_cast<TTeeFunction*>(
            t->FunctionClass->Factory(Chart->Owner() ? Chart->Owner() : Chart.get())));
        try {
            s->SetDataSource(source);
        } catch (const Exception&) {
            // A function of candle points takes no line; its page opens all the same.
        }
        TFormTeeSeries page(nullptr);
        page.SetBounds(0, 0, 460, 340);
        page.CBSeries->Items()->AddObject(s->Name(), s);
        page.Show();
        page.SetTheSeries(s);
        page.SetCBSeries();
        page.PageSeries->SelectPageByUser(page.TabDataSource);
        ASSERT_NE(page.DataSourceForm(), nullptr) << t->FunctionClass->Name;
        // The function takes its options when Apply is pressed.
        auto* apply = dynamic_cast<TButton*>(page.DataSourceForm()->FindComponent("BApply"));
        ASSERT_NE(apply, nullptr);
        CheckAll(page.DataSourceForm(), std::string(t->FunctionClass->Name) + ":", [apply] {
            if (apply->Enabled()) SimulateClick(apply);
        });
    }
    EXPECT_GT(Count, 8);
    EXPECT_GT(Stored, 0);
}

// The tools page on a tool of every registered class.
TEST_F(NumberFieldsTest, ToolEditorsOfEveryClass) {
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
        CheckAll(page->ToolForm(), std::string(tool->ClassName().c_str()) + ":");
    }
    EXPECT_GT(Count, 10);
    EXPECT_GE(Stored, 3);
}

// ---------------------------------------------------------------------------
// Figures on the way. A number typed key by key passes through smaller ones
// ("250" through "2" and "25"); a field whose setter clamps or rescales other
// values must leave them as the final figure set at once would. Each field is
// worked in three charts built alike: the figure pasted at once, each figure
// on the way entered and left in turn, and the figure typed key by key. Where
// the second differs from the first the field changes other values (counted);
// the third must always equal the first.

// A chart and the pages that edit it.
struct TWorld {
    std::unique_ptr<TChart> Chart;
    std::vector<std::unique_ptr<TComponent>> Pages; // freed before the chart
    std::vector<TField> Fields;
    std::function<void()> Commit;
    ~TWorld() {
        while (!Pages.empty())
            Pages.pop_back();
    }
};
using TBuilder = std::function<void(TWorld&)>;

// Every action starts from the same random numbers, so sample values drawn
// by a setter are alike in every chart.
void Seeded(const std::function<void()>& Action) {
    RandSeed = 4711;
    Action();
}

TEST_F(NumberFieldsTest, GaugeMaximumTypedOverItsValueKeepsTheValue) {
    auto* gauge = dynamic_cast<TGaugeSeries*>(Add(&TGaugeSeries::ClassInfo));
    ASSERT_NE(gauge, nullptr);
    gauge->SetValue(70);
    TFormTeeSeries page(nullptr);
    page.SetBounds(0, 0, 460, 340);
    page.CBSeries->Items()->AddObject(gauge->Name(), gauge);
    page.Show();
    page.SetTheSeries(gauge);
    page.SetCBSeries();
    TEdit* max = FindEdit(&page, "Edit10");
    TEdit* value = FindEdit(&page, "Edit8");
    ASSERT_TRUE(max && value);
    auto type = [&](const char* Figure) {
        Reach(max);
        max->SetFocus();
        max->SelectAll();
        SimulateType(max, Figure);
    };
    type("250");
    EXPECT_EQ(gauge->Maximum(), 100) << "nothing before the figure is whole";
    SimulateKey(max, VK_RETURN);
    EXPECT_EQ(gauge->Maximum(), 250);
    EXPECT_EQ(gauge->Value(), 70);
    // A maximum below the value still moves it, as set at once.
    type("50");
    Leave(max);
    EXPECT_EQ(gauge->Maximum(), 50);
    EXPECT_EQ(gauge->Value(), 50);
    Reach(value);
    EXPECT_EQ(value->Text(), "50");
}

class TypedFiguresTest : public NumberFieldsTest {
protected:
    void SetUp() override {
        NumberFieldsTest::SetUp();
        // A function told a negative period says so; every chart hears the same.
        Responder.AnswerAny = [](const TDialogRequest&) { return TDialogAnswer{}; };
    }
    std::unique_ptr<TWorld> Build(const TBuilder& B) {
        Seeded([] {});
        auto w = std::make_unique<TWorld>();
        w->Chart = std::make_unique<TChart>();
        w->Chart->SetName("Chart1");
        w->Chart->SetBounds(0, 0, 400, 300);
        B(*w);
        return w;
    }
    // The field reached as the user would; nullptr while a setting keeps it
    // hidden or disabled (nothing can be typed there).
    static TEdit* Ready(TWorld& W, size_t I) {
        TEdit* e = W.Fields[I].Edit;
        Reach(e);
        return e->CanFocus() ? e : nullptr;
    }
    static void Done(TWorld& W, TEdit* E) {
        Seeded([&] { Leave(E); });
        if (W.Commit) Seeded(W.Commit);
    }
    static void AtOnce(TWorld& W, size_t I, const AnsiString& Figure) {
        if (TEdit* e = Ready(W, I)) {
            e->SetFocus();
            Seeded([&] { PasteAndLeave(e, Figure); });
            if (W.Commit) Seeded(W.Commit);
        }
    }
    static void Stepped(TWorld& W, size_t I, const AnsiString& Figure) {
        for (int n = 1; n <= Figure.Length(); ++n)
            AtOnce(W, I, Figure.SubString(1, n));
    }
    static void Typed(TWorld& W, size_t I, const AnsiString& Figure) {
        TEdit* e = Ready(W, I);
        if (!e) return;
        e->SetFocus();
        e->SelectAll();
        for (int n = 1; n <= Figure.Length(); ++n)
            Seeded([&] { SimulateType(e, Figure.SubString(n, 1)); });
        Done(W, e);
    }
    // What the chart holds and every other number field shows (an export
    // size, a print margin: values the page keeps itself).
    static std::string State(TWorld& W, size_t Typed) {
        std::string s = ChartText(W.Chart.get());
        for (size_t i = 0; i < W.Fields.size(); ++i)
            if (i != Typed) s += "\n" + W.Fields[i].Where + "=" + W.Fields[i].Edit->Text().c_str();
        return s;
    }
    static std::string FirstDifference(const std::string& A, const std::string& B) {
        size_t i = 0;
        while (i < A.size() && i < B.size() && A[i] == B[i])
            ++i;
        const size_t from = A.rfind('\n', i) == std::string::npos ? 0 : A.rfind('\n', i) + 1;
        auto line = [from](const std::string& S) {
            return S.substr(from, std::min(S.find('\n', from), S.size()) - from);
        };
        return "\"" + line(A) + "\" instead of \"" + line(B) + "\"";
    }
    // Works every field B's chart shows, each figure in three charts.
    void Sweep(const TBuilder& B, const std::string& Where = "") {
        std::unique_ptr<TWorld> once = Build(B), stepped = Build(B), typed = Build(B);
        std::vector<std::pair<size_t, AnsiString>> done;
        auto again = [&](std::unique_ptr<TWorld>& W) {
            W.reset();
            W = Build(B);
            for (const auto& [i, figure] : done)
                AtOnce(*W, i, figure);
        };
        const size_t n = once->Fields.size();
        if (stepped->Fields.size() != n || typed->Fields.size() != n) {
            Failures.push_back(Where + ": the pages differ from one build to the next");
            return;
        }
        for (size_t i = 0; i < n; ++i) {
            const std::string name = Where + once->Fields[i].Where;
            if (!Swept.insert(name).second) continue;
            if (!Ready(*once, i)) {
                ++Closed;
                continue;
            }
            ++Count;
            bool changesOthers = false;
            for (const char* figure : {"250", "-250"}) {
                AtOnce(*once, i, figure);
                Stepped(*stepped, i, figure);
                Typed(*typed, i, figure);
                done.emplace_back(i, figure);
                const std::string want = State(*once, i);
                if (State(*stepped, i) != want) {
                    changesOthers = true;
                    again(stepped);
                }
                if (const std::string got = State(*typed, i); got != want) {
                    Failures.push_back(name + " <" + figure +
                                       "> typed key by key: " + FirstDifference(got, want));
                    again(typed);
                }
            }
            if (changesOthers) Clamping.push_back(name);
        }
    }
    void TearDown() override {
        std::string list;
        for (const std::string& c : Clamping)
            list += "\n  " + c;
        std::cout << Count << " fields typed key by key (" << Closed << " closed by a setting); "
                  << Clamping.size()
                  << " keep something of a figure on the way when each is entered:" << list << "\n";
        NumberFieldsTest::TearDown();
    }
    std::set<std::string> Swept;
    std::vector<std::string> Clamping;
    int Closed = 0;
};

void CollectPages(TWorld& W, TWinControl* Root, const std::string& Where = "") {
    std::vector<TField> fields;
    std::set<TEdit*> seen;
    for (const TField& f : W.Fields)
        seen.insert(f.Edit);
    Collect(Root, fields, seen);
    for (TField& f : fields) {
        f.Where = Where + f.Where;
        W.Fields.push_back(f);
    }
}

TEST_F(TypedFiguresTest, ChartPages) {
    Sweep([](TWorld& W) {
        for (TClass type : {&TLineSeries::ClassInfo, &TBarSeries::ClassInfo}) {
            TChartSeries* s = CreateNewSeries(W.Chart.get(), W.Chart.get(), type);
            s->FillSampleValues(6);
        }
        auto* f = new TChartEditForm(nullptr);
        W.Pages.emplace_back(f);
        f->SetChart(W.Chart.get());
        f->Show();
        for (TTabSheet* tab : {f->TabGeneral, f->TabAxis, f->TabTitle, f->TabLegend, f->TabPanel,
                               f->TabPaging, f->TabWalls, f->Tab3D}) {
            f->SubPage->SelectPageByUser(tab);
            CollectPages(W, tab);
        }
        for (TTabSheet* tab : {f->TabExport, f->TabPrint}) {
            f->MainPage->SelectPageByUser(tab);
            CollectPages(W, tab);
        }
    });
    EXPECT_GT(Count, 40);
}

TEST_F(TypedFiguresTest, SeriesPagesOfEveryType) {
    for (TTeeSeriesType* t : RegisteredTypes(false))
        Sweep(
            [t](TWorld& W) {
                TChartSeries* s = CreateNewSeries(W.Chart.get(), W.Chart.get(), t->SeriesClass);
                s->FillSampleValues(6);
                auto* page = new TFormTeeSeries(nullptr);
                W.Pages.emplace_back(page);
                page->SetBounds(0, 0, 460, 340);
                page->CBSeries->Items()->AddObject(s->Name(), s);
                page->Show();
                page->SetTheSeries(s);
                page->SetCBSeries();
                CollectPages(W, page);
            },
            std::string(t->SeriesClass->Name) + ":");
    EXPECT_GT(Count, 150);
}

TEST_F(TypedFiguresTest, FunctionPagesOfEveryType) {
    for (TTeeSeriesType* t : RegisteredTypes(true))
        Sweep(
            [t](TWorld& W) {
                TChart* c = W.Chart.get();
                TChartSeries* source = CreateNewSeries(c, c, &TLineSeries::ClassInfo);
                source->FillSampleValues(6);
                TChartSeries* s = CreateNewSeries(
                    c, c, t->SeriesClass ? t->SeriesClass : &TLineSeries::ClassInfo);
                s->SetFunction(dynamic_cast<TTeeFunction*>(t->FunctionClass->Factory(c)));
                try {
                    s->SetDataSource(source);
                } catch (const Exception&) {
                }
                auto* page = new TFormTeeSeries(nullptr);
                W.Pages.emplace_back(page);
                page->SetBounds(0, 0, 460, 340);
                page->CBSeries->Items()->AddObject(s->Name(), s);
                page->Show();
                page->SetTheSeries(s);
                page->SetCBSeries();
                page->PageSeries->SelectPageByUser(page->TabDataSource);
                auto* apply =
                    dynamic_cast<TButton*>(page->DataSourceForm()->FindComponent("BApply"));
                W.Commit = [apply] {
                    if (apply && apply->Enabled()) SimulateClick(apply);
                };
                CollectPages(W, page->DataSourceForm());
            },
            std::string(t->FunctionClass->Name) + ":");
    EXPECT_GT(Count, 8);
}

TEST_F(TypedFiguresTest, ToolEditorsOfEveryClass) {
    for (int i = 0; i < TeeToolTypes().Count(); ++i)
        Sweep(
            [i](TWorld& W) {
                TChart* c = W.Chart.get();
                TChartSeries* line = CreateNewSeries(c, c, &TLineSeries::ClassInfo);
                line->FillSampleValues(6);
                auto* tool = dynamic_cast<TTeeCustomTool*>(TeeToolTypes()[i]->Factory(c));
                tool->SetParentChart(c);
                if (auto* st = dynamic_cast<TTeeCustomToolSeries*>(tool)) st->SetSeries(line);
                auto* host = new TForm(nullptr);
                W.Pages.emplace_back(host);
                TFormTeeTools* page = ShowToolsPage(*host, c);
                CollectPages(W, page->ToolForm());
            },
            TeeToolTypes()[i]->Name);
    EXPECT_GT(Count, 10);
}

} // namespace
