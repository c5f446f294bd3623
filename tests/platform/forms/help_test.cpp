// Help requests: F1 and help buttons find the topic of the control or of its
// nearest parent that has one, and the help file of its window or else the
// application's, and hand both to the opener.
#include "forms_fixture.h"
#include "platform/forms/buttons.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include <filesystem>
#include <fstream>

namespace {

class HelpTest : public FormsTest {
public:
    HelpTest() {
        File = (std::filesystem::temp_directory_path() /
                ("qm_help_" + std::to_string(::getpid()) + ".hlp"))
                   .c_str();
        std::ofstream(File.c_str()) << "help";
        Previous = SetHelpOpener([this](const AnsiString& F, int C) {
            Asked.emplace_back(F, C);
            return true;
        });
        Panel = Make<TPanel>(0, 0, 200, 200);
        Panel->SetHelpContext(5);
        Edit = Make<TEdit>(4, 4, 80, 21, Panel);
        Edit->SetHelpContext(9);
        Button = Make<TBitBtn>(4, 40, 75, 25, Panel);
        Button->SetKind(bkHelp);
        Plain = Make<TEdit>(220, 4, 80, 21);
        Form->Show();
    }
    ~HelpTest() override {
        SetHelpOpener(Previous);
        Application->SetHelpFile("");
        std::filesystem::remove(File.c_str());
    }
    AnsiString File;
    THelpOpener Previous;
    std::vector<std::pair<AnsiString, int>> Asked;
    TPanel* Panel = nullptr;
    TEdit* Edit = nullptr;
    TBitBtn* Button = nullptr;
    TEdit* Plain = nullptr;
};

TEST_F(HelpTest, TopicOfTheControlOrItsNearestParentInItsWindowsFileElseTheApplications) {
    struct TCase {
        const char* What;
        bool FormFile; // the window names the file, else the application does
        std::function<void(HelpTest*)> Ask;
        int Context; // 0: no request
    };
    const TCase cases[] = {
        {"F1 in the edit", true, [](HelpTest* t) { SimulateKey(t->Edit, VK_F1); }, 9},
        {"F1 in the edit", false, [](HelpTest* t) { SimulateKey(t->Edit, VK_F1); }, 9},
        {"help button", true, [](HelpTest* t) { SimulateClick(t->Button); }, 5},
        {"F1 outside any topic", true, [](HelpTest* t) { SimulateKey(t->Plain, VK_F1); }, 0},
        {"Ctrl+F1", true, [](HelpTest* t) { SimulateKey(t->Edit, VK_F1, {ssCtrl}); }, 0},
    };
    for (const TCase& c : cases) {
        Form->SetHelpFile(c.FormFile ? File : AnsiString());
        Application->SetHelpFile(c.FormFile ? AnsiString("/nowhere.hlp") : File);
        Asked.clear();
        c.Ask(this);
        if (c.Context) {
            ASSERT_EQ(Asked.size(), 1u) << c.What;
            EXPECT_EQ(Asked[0].first, File) << c.What;
            EXPECT_EQ(Asked[0].second, c.Context) << c.What;
        } else {
            EXPECT_TRUE(Asked.empty()) << c.What;
        }
    }
}

TEST_F(HelpTest, HelpFileInAFolderNamedWithUmlautsIsFound) {
    const std::string base =
        (std::filesystem::temp_directory_path() / ("qm_help_" + std::to_string(::getpid()) + "_"))
            .string();
    const std::string folder = base + "Pr\xC3\xBC"
                                      "fung";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/Hilfe \xC3\xA4.hlp") << "help";
    const AnsiString file = AnsiString(base) + "Pr\xFC"
                                               "fung/Hilfe \xE4.hlp";
    EXPECT_TRUE(Application->HelpFileContext(file, 3));
    std::filesystem::remove_all(folder);
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].first, file);
}

} // namespace
