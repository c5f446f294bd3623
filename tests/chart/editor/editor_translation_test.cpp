// The chart editor through the text translation hook: a hook that rewrites
// every caption it is handed, and every page, series editor and tool editor
// the user can open showing only rewritten captions.
#include "chart/control/series.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teelisb.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teetools.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "support/forms_testing.h"
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace {

const AnsiString Mark = "~";

// The texts a translation changes: captions of labels, buttons, boxes,
// group frames and tabs (not what a control holds as data).
bool Translatable(TControl* C) {
    return dynamic_cast<TCustomLabel*>(C) || dynamic_cast<TButtonControl*>(C) ||
           dynamic_cast<TCustomGroupBox*>(C) || dynamic_cast<TTabSheet*>(C);
}

bool Marked(const AnsiString& Text) {
    return Text.IsEmpty() || Text.Pos(Mark) == 1;
}

void Rewrite(TControl* C) {
    if (Translatable(C) && !Marked(C->Caption())) C->SetCaption(Mark + C->Caption());
    // A radio group's buttons show its items, which are its data.
    if (dynamic_cast<TRadioGroup*>(C)) return;
    if (auto* w = dynamic_cast<TWinControl*>(C))
        for (int i = 0; i < w->ControlCount(); ++i)
            Rewrite(w->Controls(i));
}

AnsiString PathOf(TControl* C) {
    AnsiString path = C->Name().IsEmpty() ? AnsiString(C->ClassName()) : C->Name();
    for (TControl* p = C->Parent(); p; p = p->Parent())
        if (dynamic_cast<TCustomForm*>(p)) path = p->ClassName() + AnsiString(".") + path;
    return path;
}

// Texts filled in at show time, from what is edited or from the message texts.
bool Filled(TControl* C) {
    static const char* const paths[] = {
        "TFormTeeSeries.LabelSeriesClass", // the series' type and title
        "TFormTeeTools.PBottom",           // the tool's name
        "TChartImageToolEditor.Button1",   // browse or clear, by the image
        "TImageBarSeriesEditor.BBrowse",   // the same
        "TPieToolEditor.Label1",           // the pie series' gallery name
        "TSeriesAnimToolEditor.TLabel",    // the number of steps
    };
    const AnsiString path = PathOf(C);
    for (const char* p : paths) {
        const AnsiString tail = p;
        if (path.Length() >= tail.Length() &&
            path.SubString(path.Length() - tail.Length() + 1, tail.Length()) == tail)
            return true;
    }
    return false;
}

// Every shown caption that the hook did not reach.
void Untranslated(TControl* C, std::set<AnsiString>& Out) {
    if (!C->Visible()) return;
    if (Translatable(C) && !Filled(C) && !Marked(C->Caption()))
        Out.insert(PathOf(C) + " \"" + C->Caption() + "\"");
    if (dynamic_cast<TRadioGroup*>(C)) return;
    if (auto* w = dynamic_cast<TWinControl*>(C))
        for (int i = 0; i < w->ControlCount(); ++i)
            Untranslated(w->Controls(i), Out);
}

template <class T> T* OpenForm() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* f = dynamic_cast<T*>(Screen->Forms(i)); f && f->Visible()) return f;
    return nullptr;
}

class EditorTranslationTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Dir = std::filesystem::temp_directory_path() / ("qm_tr_" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
        setenv("XDG_CONFIG_HOME", Dir.c_str(), 1);
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 400, 300);
        Line = new TLineSeries(Chart.get());
        Line->SetName("Series1");
        Line->SetParentChart(Chart.get());
        Line->FillSampleValues(5);
        TeeTranslateHook = [this](TControl* C) {
            ++Calls;
            Rewrite(C);
        };
    }
    void TearDown() override {
        TeeTranslateHook = nullptr;
        Chart.reset();
        std::filesystem::remove_all(Dir);
    }
    // Runs an entry routine; Steps see the editor once it shows, then it closes.
    void Run(const std::function<void()>& Entry,
             const std::function<void(TChartEditForm*)>& Steps) {
        TPumpScript script;
        script.When([] { return OpenForm<TChartEditForm>() != nullptr; }).Do([&] {
            TChartEditForm* f = OpenForm<TChartEditForm>();
            Steps(f);
            SimulateClick(f->BClose);
        });
        Entry();
        EXPECT_TRUE(script.Done());
    }
    std::set<AnsiString> Missing(TChartEditForm* F) {
        std::set<AnsiString> out;
        Untranslated(F, out);
        return out;
    }
    static AnsiString Join(const std::set<AnsiString>& S) {
        AnsiString all;
        for (const AnsiString& s : S)
            all += s + "\n";
        return all;
    }

    std::filesystem::path Dir;
    std::unique_ptr<TChart> Chart;
    TLineSeries* Line = nullptr;
    int Calls = 0;
};

TEST_F(EditorTranslationTest, EveryEntryRoutineShowsTheEditorTranslated) {
    auto* tool = new TCursorTool(Chart.get());
    tool->SetParentChart(Chart.get());
    TComponent* owner = nullptr;
    TCustomChart* c = Chart.get();
    const std::pair<const char*, std::function<void()>> entries[] = {
        {"EditChartPage", [&] { EditChartPage(owner, c, cetGeneral); }},
        {"EditChartLegend", [&] { EditChartLegend(owner, c); }},
        {"EditChartTitle", [&] { EditChartTitle(owner, c->Title()); }},
        {"EditChartWall", [&] { EditChartWall(owner, c->BackWall()); }},
        {"EditChartAxis", [&] { EditChartAxis(owner, c->BottomAxis()); }},
        {"EditChartTool", [&] { EditChartTool(owner, tool); }},
        {"EditSeries", [&] { EditSeries(owner, Line); }},
        {"EditSeriesMarks", [&] { EditSeriesMarks(owner, Line); }},
        {"EditSeriesDataSource", [&] { EditSeriesDataSource(owner, Line); }},
        {"EditDSSChart", [&] { EditDSSChart(owner, c); }},
        {"EditChartPart", [&] { EditChartPart(owner, c, TChartClickedPart{}); }},
    };
    for (const auto& [name, entry] : entries) {
        Calls = 0;
        std::set<AnsiString> missing;
        Run(entry, [&](TChartEditForm* f) { missing = Missing(f); });
        EXPECT_GT(Calls, 0) << name;
        EXPECT_TRUE(missing.empty()) << name << ":\n" << Join(missing);
    }
}

TEST_F(EditorTranslationTest, EveryPageSeriesEditorAndToolEditorShowsTranslatedTexts) {
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        auto* t = static_cast<TTeeCustomTool*>(TeeToolTypes().Get(i)->Factory(Chart.get()));
        t->SetParentChart(Chart.get());
    }
    std::set<TClass> types;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        if (t->SeriesClass && !t->FunctionClass && types.insert(t->SeriesClass).second)
            CreateNewSeries(Chart.get(), Chart.get(), t->SeriesClass, nullptr);
    }
    std::set<AnsiString> missing;
    int visited = 0;
    auto check = [&](TChartEditForm* f, const AnsiString& Where) {
        ++visited;
        for (const AnsiString& m : Missing(f))
            missing.insert(Where + ": " + m);
    };
    Run([&] { TeeRunChartEditor(Chart.get(), nullptr); },
        [&](TChartEditForm* f) {
            for (int i = 0; i < f->SubPage->PageCount(); ++i) {
                f->SubPage->SetActivePage(f->SubPage->Pages(i));
                f->SubPageChange(f->SubPage);
                check(f, "chart page " + AnsiString(i));
            }
            for (TTabSheet* tab : {f->TabData, f->TabExport, f->TabPrint}) {
                f->MainPage->SetActivePage(tab);
                f->MainPageChange(f->MainPage);
                check(f, tab->Name());
            }
            f->MainPage->SetActivePage(f->TabTools);
            f->MainPageChange(f->MainPage);
            auto* tools = dynamic_cast<TFormTeeTools*>(f->PageForm(f->TabTools));
            ASSERT_NE(tools, nullptr);
            for (int i = 0; i < tools->LBTools->Items()->Count(); ++i) {
                tools->LBTools->SetItemIndex(i);
                tools->LBToolsClick(tools->LBTools);
                check(f, "tool " + tools->LBTools->Items()->Strings(i));
            }
            for (int s = 0; s < Chart->SeriesCount(); ++s) {
                f->LBSeries->SelectSeries(s);
                f->MainPage->SetActivePage(f->TabSeries);
                f->MainPageChange(f->MainPage);
                TFormTeeSeries* page = f->TheFormSeries;
                for (int p = 0; p < page->PageSeries->PageCount(); ++p) {
                    page->PageSeries->SetActivePage(page->PageSeries->Pages(p));
                    page->PageSeriesChange(page->PageSeries);
                    check(f, AnsiString(Chart->Series(s)->ClassName()) + " page " + AnsiString(p));
                }
            }
        });
    EXPECT_GT(visited, 60);
    EXPECT_TRUE(missing.empty()) << missing.size() << " untranslated:\n" << Join(missing);
}

} // namespace
