// Every number field of every editor page, found by walking the pages, gets
// typed text, a huge and a negative number pasted in, and is left. A refused
// entry shows the value held again and leaves the chart as it was; a number
// beyond the field's bounds reaches the chart as the bound; either way the
// field shows what the chart holds (the page shows the same once reloaded).
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teenumedit.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teetools.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/forms.h"
#include "platform/graphics/clipbrd.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>
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

std::string PathOf(TControl* C) {
    std::string p;
    for (; C; C = C->Parent())
        if (!C->Name().IsEmpty()) p = std::string(C->Name().c_str()) + (p.empty() ? "" : "." + p);
    return p;
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

// Shows the tabs the field sits on, as the user would pick them.
void Reach(TEdit* E) {
    std::vector<TTabSheet*> tabs;
    for (TControl* c = E; c; c = c->Parent())
        if (auto* t = dynamic_cast<TTabSheet*>(c)) tabs.push_back(t);
    for (auto t = tabs.rbegin(); t != tabs.rend(); ++t)
        if ((*t)->PageControl() && (*t)->PageControl()->ActivePage() != *t &&
            !(*t)->PageControl()->SelectPageByUser(*t))
            (*t)->PageControl()->SetActivePage(*t);
}

// The user selects the field's text, pastes the entry over it and moves on.
void PasteAndLeave(TEdit* E, const AnsiString& Entry) {
    Clipboard()->SetAsText(Entry);
    SimulateKey(E, 'A', TShiftState{ssCtrl});
    SimulateKey(E, 'V', TShiftState{ssCtrl});
    SimulateKey(E, VK_TAB);
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
    // The three entries on every field found under Root; Reload shows the
    // page again from what the chart holds.
    void CheckAll(TWinControl* Root, const std::function<void()>& Reload) {
        std::vector<TField> fields;
        std::set<TEdit*> seen;
        Collect(Root, fields, seen);
        for (const TField& f : fields)
            if (Checked.insert(f.Where).second) Check(f, Reload);
    }
    void Fail(const TField& F, const std::string& Entry, const std::string& What) {
        Failures.push_back(F.Where + " <" + Entry + ">: " + What);
    }
    void Check(const TField& F, const std::function<void()>& Reload) {
        Reach(F.Edit);
        // A disabled field takes no entry; a hidden one waits for its setting.
        if (!F.Edit->CanFocus()) {
            ++Unreached;
            return;
        }
        ++Count;
        // Typed text is refused, and so is a number no field can hold.
        for (const char* refused : {"abc", "1e400"}) {
            const AnsiString shown = F.Edit->Text();
            const std::string before = ChartText(Chart.get());
            PasteAndLeave(F.Edit, refused);
            if (F.Edit->Text() != shown)
                Fail(F, refused,
                     "shows \"" + std::string(F.Edit->Text().c_str()) + "\" instead of \"" +
                         shown.c_str() + "\"");
            if (ChartText(Chart.get()) != before) Fail(F, refused, "changed the chart");
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
            if (Reload && !ShownFixed(F)) {
                Reload();
                Reach(F.Edit);
                if (!SameValue(F, F.Edit->Text(), shown))
                    Fail(F, beyond,
                         "shows \"" + std::string(shown.c_str()) + "\" but the chart holds \"" +
                             F.Edit->Text().c_str() + "\"");
            }
        }
    }
    // The 3D page opens at the normal text size whatever the canvas holds.
    static bool ShownFixed(const TField& F) { return F.Edit->Name() == "ETextSize"; }
    // The same number, with or without thousands separators; angles are the
    // same a turn apart (a title at 360 degrees reads back as 0).
    static bool SameValue(const TField& F, const AnsiString& A, const AnsiString& B) {
        int a, b;
        if (A == B) return true;
        if (!F.UpDown || !WholeNumber(A, a) || !WholeNumber(B, b)) return false;
        return a == b || (F.Edit->Name().Pos("Angle") > 0 && (a - b) % 360 == 0);
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
    int Count = 0, Unreached = 0;
};

// Reloads a docked page by showing it again.
std::function<void()> ShowAgain(TCustomForm* F) {
    return [F] {
        F->Hide();
        F->Show();
    };
}

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
                    if (auto* page = dynamic_cast<TCustomForm*>(tab->Controls(i)))
                        CheckAll(page, ShowAgain(page));
            }
            SimulateClick(f->BClose);
        });
    EditChart(nullptr, Chart.get());
    EXPECT_TRUE(script.Done());
    EXPECT_GT(Count, 40);
}

} // namespace
