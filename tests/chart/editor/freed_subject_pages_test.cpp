// A page whose object is freed while it shows: the series page of every
// registered type docked by itself, and each page of the chart editor with
// the chart freed under it; and a form shown again after its subject went.
// Every control is then used once as the user would; the page reads its
// object as gone, writes nothing and opens no window (under AddressSanitizer
// nothing reads freed memory). And a row of any list of the chart editor whose
// object goes: chosen, it changes nothing.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teefunci.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/teestore.h"
#include "chart/control/tooledit.h"
#include "chart/control/tool_bands.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teetooledit_shape.h"
#include "chart/engine/teecontrols.h"
#include "chart/series/candlech.h"
#include "chart/series/statchar.h"
#include "chart/series/teeextraseries.h"
#include "page_walk.h"
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

// Uses C once as the user would; false for a control that edits nothing.
bool Use(TControl* C) {
    Reach(C);
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
        int used = 0;
        for (TControl* c : ControlsUnder(Root)) {
            // A use may rebuild part of the page.
            const std::vector<TControl*> now = ControlsUnder(Root);
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
        OpenEveryTab(editor);
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

// What a form is given, made on a chart of its own; Goes is what the case
// frees (none: the chart).
struct TShownAgainCase {
    const char* Form;
    std::function<TPersistent*(TChart* C, TComponent*& Goes)> Make;
};

TChartSeries* SeriesOn(TChart* C, TClass Type, TComponent*& Goes) {
    TChartSeries* s = CreateNewSeries(C, C, Type);
    s->FillSampleValues(6);
    Goes = s;
    return s;
}

TTeeFunction* FunctionOn(TChart* C, TTeeFunction* F, TComponent*& Goes) {
    TChartSeries* source = CreateNewSeries(C, C, &TCandleSeries::ClassInfo);
    source->FillSampleValues(20);
    TChartSeries* s = CreateNewSeries(C, C, &TLineSeries::ClassInfo);
    s->SetFunction(F);
    s->SetDataSource(source);
    Goes = F;
    return F;
}

// Each form that took what it edits from a number each time it showed: shown
// again after that went, it edits nothing (under AddressSanitizer it reads no
// freed memory), and every control is used once as the user would.
TEST_F(FreedSubjectPages, EveryFormShownAgainAfterItsSubjectWent) {
    const auto chart = [](TChart* C, TComponent*&) -> TPersistent* { return C; };
    const TShownAgainCase cases[] = {
        {"TTeeExportForm", chart},
        {"TChartPreview", chart},
        {"TFormTeeGeneral", chart},
        {"TFormTeePage", chart},
        {"TFormTeePanel", chart},
        {"TFormTee3D", chart},
        {"TFormTeeData", chart},
        {"TFormTeeWall", [](TChart* C, TComponent*&) -> TPersistent* { return C->BackWall(); }},
        {"TFormTeeTitle", [](TChart* C, TComponent*&) -> TPersistent* { return C->Foot(); }},
        {"TFormTeeLegend", [](TChart* C, TComponent*&) -> TPersistent* { return C->Legend(); }},
        {"TPieSeriesEditor",
         [](TChart* C, TComponent*& G) -> TPersistent* {
             return SeriesOn(C, &TPieSeries::ClassInfo, G);
         }},
        {"TCircledSeriesEditor",
         [](TChart* C, TComponent*& G) -> TPersistent* {
             return SeriesOn(C, &TPieSeries::ClassInfo, G);
         }},
        {"TBarSeriesEditor",
         [](TChart* C, TComponent*& G) -> TPersistent* {
             return SeriesOn(C, &TBarSeries::ClassInfo, G);
         }},
        {"TCandleEditor",
         [](TChart* C, TComponent*& G) -> TPersistent* {
             return SeriesOn(C, &TCandleSeries::ClassInfo, G);
         }},
        {"TVolumeSeriesEditor",
         [](TChart* C, TComponent*& G) -> TPersistent* {
             return SeriesOn(C, &TVolumeSeries::ClassInfo, G);
         }},
        {"TBaseSourceEditor",
         [](TChart* C, TComponent*& G) -> TPersistent* {
             return SeriesOn(C, &TLineSeries::ClassInfo, G);
         }},
        {"TTeeFunctionEditor",
         [](TChart* C, TComponent*& G) -> TPersistent* {
             return FunctionOn(C, new TAddTeeFunction(C), G);
         }},
        {"TMovAveFuncEditor",
         [](TChart* C, TComponent*& G) -> TPersistent* {
             return FunctionOn(C, new TMovingAverageFunction(C), G);
         }},
        {"TADXFuncEditor",
         [](TChart* C, TComponent*& G) -> TPersistent* {
             return FunctionOn(C, new TADXFunction(C), G);
         }},
    };
    int used = 0;
    for (const TShownAgainCase& c : cases) {
        SCOPED_TRACE(c.Form);
        auto owned = std::make_unique<TChart>();
        owned->SetBounds(0, 0, 300, 200);
        TComponent* goes = nullptr;
        TPersistent* subject = c.Make(owned.get(), goes);
        TClass cls = GetClass(c.Form);
        ASSERT_NE(cls, nullptr);
        std::unique_ptr<TCustomForm> form(TeeCreateFormByClass(cls, nullptr));
        ASSERT_NE(form, nullptr);
        form->SetSubject(subject);
        form->Show();
        form->Hide();
        if (goes)
            delete goes;
        else
            owned.reset();
        form->Show();
        EXPECT_EQ(form->Subject(), nullptr);
        used += UseAll(form.get(), c.Form);
        form->Hide();
    }
    std::cout << std::size(cases) << " forms shown again after their subject went, " << used
              << " controls used\n";
    EXPECT_GT(used, 60);
}

// A tool made where a freed one was is another tool: its editor, given it,
// edits it.
TEST_F(FreedSubjectPages, AToolMadeWhereAFreedOneWasIsANewSubject) {
    auto form = std::make_unique<TRotateToolEditor>(nullptr);
    auto* first = new TRotateTool(Chart.get());
    first->SetParentChart(Chart.get());
    form->SetSubject(first);
    form->Show();
    form->Hide();
    const void* where = first;
    delete first;
    // As often as the allocator allows, where the freed one was.
    TRotateTool* second = nullptr;
    for (int i = 0; i < 8 && second != where; ++i)
        second = new TRotateTool(Chart.get());
    second->SetParentChart(Chart.get());
    second->SetButton(mbMiddle);
    std::cout << "the new tool is " << (static_cast<const void*>(second) == where ? "" : "not ")
              << "where the freed one was\n";
    form->SetSubject(second);
    form->Show();
    EXPECT_EQ(form->CBButton->Text(), "Middle");
    const int right = form->CBButton->Items()->IndexOf("Right");
    ASSERT_GE(right, 0);
    form->CBButton->SetItemIndex(right - 1);
    SimulateKey(form->CBButton, VK_DOWN);
    EXPECT_EQ(second->Button(), mbRight);
}

TStrings* RowsOf(TControl* C) {
    if (auto* c = dynamic_cast<TComboBox*>(C)) return c->Items();
    if (auto* l = dynamic_cast<TListBox*>(C)) return l->Items();
    return nullptr;
}

// Chooses row I of a combo or list box as the user does: a key from the row
// before it, or a click on it.
void ChooseRow(TControl* C, int I) {
    Reach(C);
    if (auto* c = dynamic_cast<TComboBox*>(C)) {
        c->SetItemIndex(I > 0 ? I - 1 : 1);
        SimulateKey(c, I > 0 ? VK_DOWN : VK_UP);
    } else if (auto* l = dynamic_cast<TListBox*>(C)) {
        const TRect r = l->ItemRect(I);
        SimulateClick(l, 4, (r.Top + r.Bottom) / 2);
    }
}

// Every list of the chart editor, each page made once: a series, a custom
// axis and a tool its rows name are freed while the list shows. A row left
// whose object went, chosen, must change nothing (a list that drops such a row
// passes). Each list gets a chart and an editor of its own.
TEST_F(FreedSubjectPages, EveryEditorListRowWhoseObjectGoesChangesNothing) {
    std::vector<TObject*> doomed;
    auto build = [&] {
        Chart = std::make_unique<TChart>();
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
        static_cast<TChartAxis*>(chart.CustomAxes()->Add())->SetHorizontal(true);
        auto* tool = new TCursorTool(&chart);
        tool->SetParentChart(&chart);
        tool->SetSeries(spare);
        auto* other = new TCursorTool(&chart);
        other->SetParentChart(&chart);
        other->SetSeries(kept);
        // Freed in this order: the tool, then the axis, then the series.
        doomed = {tool, vertical, spare};
    };
    // Runs Body on the chart editor with every tab opened once.
    auto inEditor = [&](const std::function<void(TCustomForm*)>& Body) {
        TPumpScript script;
        script.When([] { return Screen->ActiveForm() != nullptr; }).Do([&] {
            TCustomForm* editor = Screen->ActiveForm();
            OpenEveryTab(editor);
            Body(editor);
            editor->Close();
        });
        EditChart(nullptr, Chart.get());
        EXPECT_TRUE(script.Done());
    };

    // The rows that name what goes, by the list's path and the row's text.
    std::vector<std::pair<std::string, AnsiString>> named;
    build();
    inEditor([&](TCustomForm* Editor) {
        for (TControl* c : ControlsUnder(Editor))
            if (TStrings* items = RowsOf(c))
                for (int i = 0; i < items->Count(); ++i)
                    if (std::find(doomed.begin(), doomed.end(), items->Objects(i)) !=
                        doomed.end())
                        named.emplace_back(PathOf(c), items->Strings(i));
    });
    int left = 0, chosen = 0;
    for (const auto& [path, text] : named) {
        SCOPED_TRACE(path + " row \"" + text.c_str() + "\"");
        build();
        inEditor([&](TCustomForm* Editor) {
            TControl* list = nullptr;
            for (TControl* c : ControlsUnder(Editor))
                if (RowsOf(c) && PathOf(c) == path) list = c;
            ASSERT_NE(list, nullptr);
            // The list shows while what its rows name goes.
            Reach(list);
            for (TObject* o : doomed)
                delete o;
            TStrings* items = RowsOf(list);
            const int i = items->IndexOf(text);
            if (i < 0 || items->Objects(i)) {
                ++left;
                return;
            }
            const std::string before = ChartText(Chart.get());
            ChooseRow(list, i);
            ++chosen;
            EXPECT_EQ(ChartText(Chart.get()), before) << "a row of a freed object chosen";
        });
    }
    std::cout << named.size() << " rows of the editor's lists named a freed object: " << left
              << " left their list, " << chosen << " chosen\n";
    EXPECT_GE(named.size(), 5u);
    EXPECT_GE(chosen, 1);
}

} // namespace
