// Help in the chart editor: the help file found through the settings store,
// the Help button and F1 asking the application for a file and a topic, and
// what the user is told when there is nothing to open.
#include "chart/control/series.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeexport.h"
#include "chart/editor/teelisb.h"
#include "platform/classes/registry.h"
#include "platform/forms/stdctrls.h"
#include "support/forms_testing.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct TOpened {
    AnsiString File;
    int Context;
    bool operator==(const TOpened&) const = default;
};

class EditorHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Dir = std::filesystem::temp_directory_path() / ("qm_help_" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir / "help");
        setenv("XDG_CONFIG_HOME", Dir.c_str(), 1);
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        auto* line = new TLineSeries(Chart.get());
        line->SetParentChart(Chart.get());
        Previous = SetHelpOpener([this](const AnsiString& File, int Context) {
            Opened.push_back({File, Context});
            return OpenerWorks;
        });
    }
    void TearDown() override {
        SetHelpOpener(Previous);
        Chart.reset();
        std::filesystem::remove_all(Dir);
    }
    // Registers the folder of a help file; the file itself is made when asked.
    AnsiString Register(const char* Name, bool MakeFile = true) {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        EXPECT_TRUE(reg.OpenKey(HelpFolderKey, true));
        reg.WriteString(Name, (Dir / "help").c_str());
        const std::filesystem::path file = Dir / "help" / Name;
        if (MakeFile) std::ofstream(file) << "help";
        return file.c_str();
    }
    // Runs the editor; Steps drive it, then Close is clicked.
    void RunEditor(const std::function<void(TChartEditForm*)>& Preset,
                   const std::function<void(TChartEditForm*)>& Steps) {
        TChartEditForm* form = nullptr;
        TPumpScript script;
        script.When([&] { return form && form->Visible(); }).Do([&] {
            Steps(form);
            SimulateClick(form->BClose);
        });
        TeeRunChartEditor(Chart.get(), [&](TChartEditForm* f) {
            form = f;
            if (Preset) Preset(f);
        });
        EXPECT_TRUE(script.Done());
    }

    std::filesystem::path Dir;
    std::unique_ptr<TChart> Chart;
    std::vector<TOpened> Opened;
    bool OpenerWorks = true;
    THelpOpener Previous;
};

TEST_F(EditorHelpTest, RegisteredFolderMakesTheFullNameOfAHelpFile) {
    struct TCase {
        const char* Stored; // nullptr: no value
        const char* Expected;
    };
    const TCase cases[] = {
        {"/opt/qm/help", "/opt/qm/help/TeeUser6.hlp"},
        {"/opt/qm/help/", "/opt/qm/help/TeeUser6.hlp"},
        {"", ""},
        {nullptr, ""},
    };
    EXPECT_EQ(GetRegistryHelpPath("TeeUser6.hlp"), "") << "no key at all";
    for (const TCase& c : cases) {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(reg.OpenKey(HelpFolderKey, true));
        if (c.Stored)
            reg.WriteString("TeeUser6.hlp", c.Stored);
        else
            reg.WriteString("Other.hlp", "/elsewhere");
        EXPECT_EQ(GetRegistryHelpPath("TeeUser6.hlp"), c.Expected) << (c.Stored ? c.Stored : "-");
        std::filesystem::remove(Dir / "qmreadout" / "registry.ini");
    }
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(HelpFolderKey, true));
    reg.WriteInteger("TeeUser6.hlp", 5);
    EXPECT_EQ(GetRegistryHelpPath("TeeUser6.hlp"), "") << "a number is no folder";
}

TEST_F(EditorHelpTest, HelpFileAndButtonFollowTheHelpOptionAndTheDesignState) {
    const AnsiString user = Register("TeeUser6.hlp");
    const AnsiString designer = Register("Chart6.hlp");
    struct TCase {
        bool Help;
        bool Designing;
        AnsiString File;
    };
    const TCase cases[] = {
        {true, false, user},
        {true, true, designer},
        {false, false, ""},
        {false, true, ""},
    };
    for (const TCase& c : cases) {
        Chart->SetDesigning(c.Designing);
        TChartEditForm form(nullptr);
        form.SetChart(Chart.get());
        if (!c.Help) form.EditorOptions.Exclude(ceHelp);
        form.CheckHelpFile();
        EXPECT_EQ(form.HelpFile(), c.File) << c.Help << c.Designing;
        EXPECT_EQ(form.ButtonHelp->Visible(), c.Help) << c.Designing;
        EXPECT_EQ(form.BorderIcons().Contains(biHelp), c.Help) << c.Designing;
    }
    Chart->SetDesigning(false);
    EXPECT_EQ(GetChartHelpFile(), designer);
}

TEST_F(EditorHelpTest, HelpButtonAndF1AskTheApplicationForTheFileAndTopic) {
    const AnsiString file = Register("TeeUser6.hlp");
    RunEditor(nullptr, [&](TChartEditForm* f) {
        SimulateClick(f->ButtonHelp);
        SimulateKey(f->LBSeries, VK_F1);
        SimulateKey(f->BAddSeries, VK_F1);
        // No context of its own nor on its panel: the window's.
        SimulateKey(f->BClose, VK_F1);
        // With a modifier F1 is no help request.
        SimulateKey(f->LBSeries, VK_F1, {ssShift});
    });
    const std::vector<TOpened> expected = {{file, 726}, {file, 516}, {file, 33}, {file, 726}};
    EXPECT_EQ(Opened, expected);
}

TEST_F(EditorHelpTest, WhatTheUserIsToldWhenNoHelpOpens) {
    struct TCase {
        bool Registered;
        bool FileThere;
        bool OpenerWorks;
        const char* Message;
    };
    const TCase cases[] = {
        {false, false, true, "No help file is registered."},
        {true, false, true, "TeeUser6.hlp was not found."},
        {true, true, false, "could not be opened: no program to open it was found."},
    };
    for (const TCase& c : cases) {
        std::filesystem::remove_all(Dir / "qmreadout");
        std::filesystem::remove_all(Dir / "help");
        std::filesystem::create_directories(Dir / "help");
        if (c.Registered) Register("TeeUser6.hlp", c.FileThere);
        OpenerWorks = c.OpenerWorks;
        Opened.clear();
        TStrictResponder responder;
        responder.ExpectMessage(c.Message, IDOK);
        RunEditor(nullptr, [](TChartEditForm* f) {
            EXPECT_TRUE(f->ButtonHelp->Visible());
            SimulateClick(f->ButtonHelp);
        });
        EXPECT_TRUE(responder.Done()) << c.Message;
        EXPECT_EQ(Opened.size(), c.FileThere ? 1u : 0u) << c.Message;
    }
}

} // namespace
