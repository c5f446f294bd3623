#include "platform/classes/registry.h"
#include "support/temp_folder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempFolder("qm_reg_");
        SetSettingsFolderOverride(AnsiString(Dir + "/cfg/qmreadout"));
    }
    void TearDown() override {
        SetSettingsFolderOverride("");
        std::system(("rm -rf '" + Dir + "'").c_str());
    }
    std::string Dir;
};
const char* const EditorKey = "SOFTWARE\\QM read out\\Chart Editor";
} // namespace

TEST_F(Registry, EditorPositionRoundTrip) {
    {
        TRegistry reg;
        EXPECT_FALSE(reg.OpenKeyReadOnly(EditorKey)); // nothing stored yet
        ASSERT_TRUE(reg.OpenKey(EditorKey, true));
        EXPECT_FALSE(reg.ValueExists("Left"));
        reg.WriteInteger("Left", 120);
        reg.WriteInteger("Top", -5);
        reg.CloseKey();
    }
    std::ifstream in(Dir + "/cfg/qmreadout/registry.ini");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "[HKEY_CURRENT_USER\\SOFTWARE\\QM read out\\Chart Editor]\r\n"
                          "Left=dword:00000078\r\nTop=dword:fffffffb\r\n");

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\software\\qm read out\\chart editor\\"));
    EXPECT_TRUE(reg.ValueExists("left"));
    EXPECT_EQ(reg.ReadInteger("Left"), 120);
    EXPECT_EQ(reg.ReadInteger("Top"), -5);
    EXPECT_THROW(reg.WriteInteger("Left", 1), ERegistryException); // read-only
    try {
        reg.ReadInteger("Width");
        FAIL();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message, "Failed to get data for 'Width'");
    }
}

TEST_F(Registry, KeysAreRelativeToTheOpenKeyAndRootsAreSeparate) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\QM read out", true));
    EXPECT_TRUE(reg.OpenKey("Chart Editor", true));
    EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\QM read out\\Chart Editor");
    // Values keep their type: a number in a string is no integer, and back.
    reg.WriteString("Name", " 12 ");
    reg.WriteInteger("Count", 12);
    EXPECT_EQ(reg.ReadString("Name"), " 12 ");
    EXPECT_EQ(reg.ReadInteger("Count"), 12);
    try {
        reg.ReadInteger("Name");
        ADD_FAILURE();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message, "Invalid data type for 'Name'");
    }
    EXPECT_THROW(reg.ReadString("Count"), ERegistryException);
    EXPECT_TRUE(reg.KeyExists("\\SOFTWARE")); // a parent of a stored key exists
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKey("\\HARDWARE\\DEVICEMAP\\SERIALCOMM", false));
    EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\QM read out"));
    TRegistry readOnly(KEY_READ);
    EXPECT_FALSE(readOnly.OpenKey("\\New", true)); // no right to create
}
