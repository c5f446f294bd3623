// Every series, function and tool type the galleries offer names an editor
// form that the editor's start-up has registered, so no editor opens empty.
#include "chart/control/chart.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teetools.h"
#include "chart/series/teeextraseries.h"
#include "platform/forms/forms.h"
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>

namespace {

// The name's class exists and makes a form; an empty name needs nothing.
bool IsFormClass(const AnsiString& Name) {
    if (Name.IsEmpty()) return true;
    TClass c = GetClass(Name);
    if (!c || !c->InheritsFrom(&TCustomForm::ClassInfo)) return false;
    std::unique_ptr<TObject> form(c->Factory(nullptr));
    return form != nullptr;
}

TEST(EditorRegistry, EveryRegisteredTypeNamesARegisteredForm) {
    TeeExtraSeriesStartup();
    TeeEditorStartup();
    TChart chart;
    std::set<std::string> misses;
    auto check = [&](TObject* Made, const AnsiString& Name) {
        if (!IsFormClass(Name))
            misses.insert(std::string(Made->ClassName().c_str()) + " -> " + Name.c_str());
    };
    TTeeSeriesTypes& types = TeeSeriesTypes();
    ASSERT_GT(types.Count(), 0);
    for (int i = 0; i < types.Count(); ++i) {
        if (TClass s = types[i]->SeriesClass) {
            std::unique_ptr<TObject> o(s->Factory(&chart));
            if (auto* series = dynamic_cast<TChartSeries*>(o.get()))
                check(series, series->GetEditorClass());
        }
        if (TClass f = types[i]->FunctionClass) {
            std::unique_ptr<TObject> o(f->Factory(&chart));
            if (auto* function = dynamic_cast<TTeeFunction*>(o.get()))
                check(function, function->GetEditorClass());
        }
    }
    TTeeToolTypes& tools = TeeToolTypes();
    ASSERT_GT(tools.Count(), 0);
    for (int i = 0; i < tools.Count(); ++i) {
        std::unique_ptr<TObject> o(tools[i]->Factory(&chart));
        if (auto* tool = dynamic_cast<TTeeCustomTool*>(o.get()))
            check(tool, tool->GetEditorClass());
    }
    std::string list;
    for (const std::string& m : misses)
        list += "\n  " + m;
    EXPECT_TRUE(misses.empty()) << "editor classes not registered:" << list;
}

} // namespace
