// Every window of the program the user can resize (a sizeable frame), found
// among the windows the program makes, laid out at four sizes.
#include "app_fixture.h"
#include "platform/graphics/jpeg.h"
#include "support/forms_layout.h"
#include <cstdlib>
#include <iostream>

namespace {

TEST_F(AppTest, ResizableWindowsLayOutInTheSpaceTheyHave) {
    Start();
    Responder.AnswerAny = [](const TDialogRequest& R) { return CancelAnswer(R); };
    std::vector<TCustomForm*> forms;
    for (int i = 0; i < Screen->FormCount(); ++i)
        forms.push_back(Screen->Forms(i));
    std::vector<std::string> faults;
    int windows = 0;
    for (TCustomForm* f : forms) {
        if (!UserResizable(f)) continue;
        ++windows;
        const bool shown = f->Visible();
        if (!shown) f->Show();
        const std::string name = f->ClassName().c_str();
        CheckResizing(f, name, faults, [&](const std::string& Where) {
            const char* dir = std::getenv("QM_SAVE_PNG");
            if (!dir || Where != "maximized") return;
            TBitmap b;
            GrabControl(f, &b);
            TPngImage png;
            png.Bitmap()->Assign(&b);
            png.SaveToFile(AnsiString(std::string(dir) + "/" + name + ".png"));
        });
        if (!shown) f->Hide();
    }
    std::string list;
    for (const std::string& f : faults)
        list += "\n  " + f;
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults:" << list;
    std::cout << windows << " resizable windows laid out at four sizes\n";
    EXPECT_GE(windows, 2);
}

} // namespace
