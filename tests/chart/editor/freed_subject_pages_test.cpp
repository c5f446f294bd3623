// A page whose object is freed while it shows: the series page of every
// registered type docked by itself, and each page of the chart editor with
// the chart freed under it. Every control is then used once as the user would;
// the page reads its object as gone, writes nothing and opens no window (under
// AddressSanitizer nothing reads freed memory). And a row of any list of the
// chart editor whose object goes: chosen, it changes nothing.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teefunci.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/teestore.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/engine/teecontrols.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include <gtest/gtest.h>
#include <functional>
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

void Walk(TWinControl* Root, std::vector<TControl*>& Out) {
    for (int i = 0; i < Root->ControlCount(); ++i) {
        TControl* c = Root->Controls(i);
        Out.push_back(c);
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !dynamic_cast<TRadioGroup*>(c))
            Walk(w, Out);
    }
}

bool Usable(TControl* C) {
    for (; C; C = C->Parent())
        if (!C->Enabled() || (!C->Visible() && !dynamic_cast<TTabSheet*>(C))) return false;
    return true;
}

// Uses C once as the user would; false for a control that edits nothing.
bool Use(TControl* C) {
    for (TControl* p = C; p; p = p->Parent())
        if (auto* t = dynamic_cast<TTabSheet*>(p); t && t->PageControl())
            t->PageControl()->SetActivePage(t);
    if (!Usable(C)) return false;
    if (auto* b = dynamic_cast<TCheckBox*>(C)) {
        SimulateClick(b, 6, b->Height() / 2);
    } else if (auto* r = dynamic_cast<TRadioGroup*>(C)) {
        if (r->ButtonCount() < 2) return false;
        SimulateClick(r->Buttons((r->ItemIndex() + 1) % r->ButtonCount()));
    } else if (auto* c = dynamic_cast<TComboBox*>(C)) {
        if (c->Items()->Count() < 2) return false;
        SimulateKey(c, c->ItemIndex() + 1 < c->Items()->Count() ? VK_DOWN : VK_UP);
    } else if (auto* u = dynamic_cast<TUpDown*>(C)) {
        SimulateClick(u, u->ClientWidth() / 2, u->ClientHeight() / 4);
    } else if (auto* e = dynamic_cast<TEdit*>(C)) {
        if (e->ReadOnly()) return false;
        e->SelectAll();
        SimulateType(e, "7");
        SimulateKey(e, VK_TAB);
    } else if (auto* b = dynamic_cast<TTeeButton*>(C)) {
        // A button of an object that is still there (the chart's grid pen on a
        // series page) opens its dialog as ever; one whose object went opens none.
        if (b->Instance()) return false;
        SimulateClick(b);
    } else {
        return false;
    }
    return true;
}

class FreedSubjectPages : public ::testing::Test {
protected:
    void SetUp() override {
        TeeExtraSeriesStartup();
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 300, 200);
        Responder.OnFailure = [this](const AnsiString& M) { Boxes.push_back(M.c_str()); };
    }
    // Every control under Root, used once; the chart's file must not change.
    int UseAll(TWinControl* Root, const std::string& Where) {
        const std::string before = Chart ? ChartText(Chart.get()) : std::string();
        std::vector<TControl*> controls;
        Walk(Root, controls);
        int used = 0;
        for (TControl* c : controls) {
            // A use may rebuild part of the page.
            std::vector<TControl*> now;
            Walk(Root, now);
            if (std::find(now.begin(), now.end(), c) == now.end()) continue;
            used += Use(c);
        }
        if (Chart) EXPECT_EQ(ChartText(Chart.get()), before) << Where;
        return used;
    }
    void TearDown() override {
        std::string boxes;
        for (const std::string& b : Boxes)
            boxes += "\n  " + b;
        EXPECT_TRUE(Boxes.empty()) << "windows opened over a freed object:" << boxes;
    }
    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    std::vector<std::string> Boxes;
};

TEST_F(FreedSubjectPages, TheSeriesPageOfEveryTypeAfterItsSeriesIsFreed) {
    std::set<TClass> done;
    int pages = 0, used = 0;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        if (t->FunctionClass || !t->SeriesClass || !done.insert(t->SeriesClass).second) continue;
        TChartSeries* s = CreateNewSeries(Chart.get(), Chart.get(), t->SeriesClass);
        s->FillSampleValues(6);
        TClass cls = GetClass(s->GetEditorClass());
        if (!cls) {
            delete s;
            continue;
        }
        SCOPED_TRACE(t->SeriesClass->Name);
        TForm host(nullptr);
        host.SetBounds(0, 0, 460, 340);
        auto* tabs = new TPageControl(&host);
        tabs->SetParent(&host);
        tabs->SetAlign(alClient);
        auto* tab = new TTabSheet(&host);
        tab->SetPageControl(tabs);
        host.Show();
        auto* page = dynamic_cast<TCustomForm*>(cls->Factory(&host));
        ASSERT_NE(page, nullptr);
        AddFormTo(page, tab, s);
        delete s;
        used += UseAll(&host, t->SeriesClass->Name);
        ++pages;
    }
    std::cout << pages << " series pages, " << used << " controls used after their series went\n";
    EXPECT_GT(pages, 30);
    EXPECT_GT(used, 150);
}

TEST_F(FreedSubjectPages, EveryChartEditorPageAfterItsChartIsFreed) {
    for (TClass type : {&TLineSeries::ClassInfo, &TBarSeries::ClassInfo})
        CreateNewSeries(Chart.get(), Chart.get(), type)->FillSampleValues(6);
    int used = 0;
    TPumpScript script;
    script.When([] { return Screen->ActiveForm() != nullptr; }).Do([&] {
        TCustomForm* editor = Screen->ActiveForm();
        // Every page made once, so each holds its part of the chart.
        std::vector<TControl*> all;
        Walk(editor, all);
        for (TControl* c : all)
            if (auto* t = dynamic_cast<TTabSheet*>(c); t && t->PageControl())
                t->PageControl()->SelectPageByUser(t);
        Chart.reset();
        used = UseAll(editor, "editor");
        editor->Close();
    });
    TCustomChart* chart = Chart.get();
    EditChart(nullptr, chart);
    EXPECT_TRUE(script.Done());
    std::cout << used << " controls of the chart editor used after its chart went\n";
    EXPECT_GT(used, 40);
}

// Where a control sits, for a failure: its name and its parents'.
std::string PathOf(TControl* C) {
    std::string path;
    for (; C; C = C->Parent())
        path = std::string(C->Name().c_str()) + (path.empty() ? "" : "." + path);
    return path;
}

TStrings* RowsOf(TControl* C) {
    if (auto* c = dynamic_cast<TComboBox*>(C)) return c->Items();
    if (auto* l = dynamic_cast<TListBox*>(C)) return l->Items();
    return nullptr;
}

// Chooses row I of a combo or list box as the user does: a key from the row
// before it, or a click on it.
void ChooseRow(TControl* C, int I) {
    for (TControl* p = C; p; p = p->Parent())
        if (auto* t = dynamic_cast<TTabSheet*>(p); t && t->PageControl())
            t->PageControl()->SetActivePage(t);
    if (auto* c = dynamic_cast<TComboBox*>(C)) {
        c->SetItemIndex(I > 0 ? I - 1 : 1);
        SimulateKey(c, I > 0 ? VK_DOWN : VK_UP);
    } else if (auto* l = dynamic_cast<TListBox*>(C)) {
        const TRect r = l->ItemRect(I);
        SimulateClick(l, 4, (r.Top + r.Bottom) / 2);
    }
}

// Every list of the chart editor, each page made once: the series, a custom
// axis and a tool its rows name are freed; each row left whose object went is
// chosen and must change nothing (a list that drops such a row passes).
TEST_F(FreedSubjectPages, EveryEditorListRowWhoseObjectGoesChangesNothing) {
    TChart& chart = *Chart;
    auto make = [&](TClass Type, const char* Name) {
        TChartSeries* s = CreateNewSeries(&chart, &chart, Type);
        s->SetName(Name);
        s->FillSampleValues(6);
        return s;
    };
    TChartSeries* sum = make(&TLineSeries::ClassInfo, "Sum");
    TChartSeries* kept = make(&TBarSeries::ClassInfo, "Kept");
    TChartSeries* spare = make(&TLineSeries::ClassInfo, "Spare");
    sum->SetFunction(new TAddTeeFunction(&chart));
    sum->SetDataSource(kept);
    auto* vertical = static_cast<TChartAxis*>(chart.CustomAxes()->Add());
    static_cast<TChartAxis*>(chart.CustomAxes()->Add())->SetHorizontal(false);
    auto* horizontal = static_cast<TChartAxis*>(chart.CustomAxes()->Add());
    horizontal->SetHorizontal(true);
    auto* tool = new TCursorTool(&chart);
    tool->SetParentChart(&chart);
    tool->SetSeries(spare);
    auto* other = new TCursorTool(&chart);
    other->SetParentChart(&chart);
    other->SetSeries(kept);

    int rows = 0, left = 0, chosen = 0;
    TPumpScript script;
    script.When([] { return Screen->ActiveForm() != nullptr; }).Do([&] {
        TCustomForm* editor = Screen->ActiveForm();
        // Every tab chosen once, those a chosen tab makes too.
        std::set<TControl*> seen;
        std::vector<TControl*> all;
        for (bool more = true; more;) {
            more = false;
            all.clear();
            Walk(editor, all);
            for (TControl* c : all)
                if (auto* t = dynamic_cast<TTabSheet*>(c);
                    t && t->PageControl() && seen.insert(t).second) {
                    t->PageControl()->SelectPageByUser(t);
                    more = true;
                }
        }
        // The rows that name what is about to go, by list and text.
        const std::set<TObject*> doomed = {spare, vertical, tool};
        std::vector<std::pair<TControl*, AnsiString>> named;
        all.clear();
        Walk(editor, all);
        for (TControl* c : all)
            if (TStrings* items = RowsOf(c))
                for (int i = 0; i < items->Count(); ++i)
                    if (doomed.count(items->Objects(i))) named.emplace_back(c, items->Strings(i));
        rows = static_cast<int>(named.size());
        delete tool;
        delete vertical;
        delete spare;
        for (const auto& [list, text] : named) {
            std::vector<TControl*> now;
            Walk(editor, now);
            TStrings* items = std::find(now.begin(), now.end(), list) != now.end()
                                  ? RowsOf(list) : nullptr;
            const int i = items ? items->IndexOf(text) : -1;
            if (i < 0 || items->Objects(i)) {
                ++left;
                continue;
            }
            const std::string before = ChartText(&chart);
            ChooseRow(list, i);
            ++chosen;
            EXPECT_EQ(ChartText(&chart), before)
                << PathOf(list) << " row \"" << text.c_str() << "\" of a freed object";
        }
        editor->Close();
    });
    EditChart(nullptr, &chart);
    EXPECT_TRUE(script.Done());
    std::cout << rows << " rows of the editor's lists named a freed object: " << left
              << " left their list, " << chosen << " chosen\n";
    EXPECT_GE(rows, 5);
    EXPECT_GE(chosen, 1);
}

} // namespace
