// Every window of the chart library the user can resize, found among the
// registered form classes (dialogs, the editor, the preview, and the pages
// the editor docks, shown on their own), laid out at four sizes.
#include "chart/control/chart.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/series/teeextraseries.h"
#include "platform/forms/forms.h"
#include "platform/graphics/jpeg.h"
#include "support/forms_layout.h"
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(WindowLayoutTest, ResizableWindowsLayOutInTheSpaceTheyHave) {
    TeeExtraSeriesStartup();
    TeeEditorStartup();
    TDialogResponder responder;
    responder.AnswerAny = [](const TDialogRequest& R) { return CancelAnswer(R); };
    std::vector<std::string> faults;
    int windows = 0;
    for (TClass cls : RegisteredClasses()) {
        if (!cls->InheritsFrom(&TCustomForm::ClassInfo) || !cls->Factory) continue;
        std::unique_ptr<TCustomForm> f(dynamic_cast<TCustomForm*>(cls->Factory(nullptr)));
        ASSERT_NE(f, nullptr) << cls->Name;
        if (!UserResizable(f.get())) continue;
        ++windows;
        f->Show();
        const std::string name = cls->Name;
        CheckResizing(f.get(), name, faults, [&](const std::string& Where) {
            const char* dir = std::getenv("QM_SAVE_PNG");
            if (!dir || Where != "maximized") return;
            TBitmap b;
            GrabControl(f.get(), &b);
            TPngImage png;
            png.Bitmap()->Assign(&b);
            png.SaveToFile(AnsiString(std::string(dir) + "/" + name + ".png"));
        });
    }
    std::string list;
    for (const std::string& f : faults)
        list += "\n  " + f;
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults:" << list;
    std::cout << windows << " resizable windows laid out at four sizes\n";
    EXPECT_GT(windows, 80);
}

} // namespace
