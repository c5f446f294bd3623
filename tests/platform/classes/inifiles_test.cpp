#include "platform/classes/inifiles.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "support/temp_folder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {
class IniFile : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempFolder("qm_ini_");
        Name = AnsiString(Dir + "/SETUP.INI");
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    void Put(const std::string& text) { std::ofstream(Name.c_str(), std::ios::binary) << text; }
    std::string Content() const {
        std::ifstream in(Name.c_str(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string Dir;
    AnsiString Name;
};

const char* const SetupIni = "; settings of the read-out program\r\n"
                             "\r\n"
                             "[SetUP_ADC]\r\n"
                             "Average_U = 4 \r\n"
                             "Delta_U=0x10\r\n"
                             "this line has no equals sign\r\n"
                             "\r\n"
                             "; plate monitor\r\n"
                             "[CPM]\r\n"
                             "DataDirectory=C:\\Data\\\r\n"
                             "TestOutput=1\r\n"
                             "\r\n"
                             "[Menue]\r\n";
} // namespace

TEST_F(IniFile, ReadsLikeThePlatform) {
    Put("[SetUP_ADC]\r\n"
        "Average_U = 4 \r\n"
        "Sampling_time_Chart=\r\n"
        "no equals sign\r\n"
        "  [ CPM ]  \r\n"
        "DataDirectory=C:\\Data\\\r\n"
        "ComPortIndex=2\r\n"
        "ComPortIndex=5\r\n"
        "[Broken\r\n"
        "=no key\r\n"
        "[Menue]\r\n"
        "Banner=\"Logo with blanks.jpg\"\r\n"
        "Main_1='Quit'\r\n"
        "Main_2=\"Device\r\n"
        "Text Men Opt=x=y ; not a comment\r\n"
        "[cpm]\r\n"
        "vStop=3\r\n"
        "[PGT]\r\n");
    TIniFile ini(Name);
    const struct Row {
        const char *section, *key, *expected;
    } rows[] = {
        {"setup_adc", "AVERAGE_U", "4"},          // trimmed, without regard to case
        {"SetUP_ADC", "Sampling_time_Chart", ""}, // present but empty
        {"SetUP_ADC", "no equals sign", "dflt"},
        {"CPM", "DataDirectory", "C:\\Data\\"},
        {" CPM ", " ComPortIndex ", "2"}, // names trimmed; the first key counts
        {"CPM", "", "dflt"},
        {"CPM", "vStop", "dflt"}, // only the first block of a section counts
        {"Broken", "", "dflt"},
        {"Menue", "Banner", "Logo with blanks.jpg"},
        {"Menue", "Main_1", "Quit"},
        {"Menue", "Main_2", "\"Device"}, // no closing quote: kept
        {"Menue", "Text Men Opt", "x=y ; not a comment"},
        {"Nowhere", "x", "dflt"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.section) + "/" + r.key);
        EXPECT_EQ(ini.ReadString(r.section, r.key, "dflt"), r.expected);
    }
    EXPECT_EQ(ini.ReadInteger("SetUP_ADC", "Average_U", 1), 4);
    EXPECT_EQ(ini.ReadInteger("SetUP_ADC", "Sampling_time_Chart", 10), 10);
    EXPECT_EQ(ini.ReadInteger("CPM", "DataDirectory", -3), -3);
    EXPECT_TRUE(ini.SectionExists("cpm"));
    EXPECT_FALSE(ini.SectionExists("PGT")); // no keys in it
    EXPECT_FALSE(ini.SectionExists("Broken"));
    EXPECT_TRUE(ini.ValueExists("Menue", "banner"));
    EXPECT_FALSE(ini.ValueExists("CPM", "vStart"));

    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(list.CommaText(), "SetUP_ADC,CPM,Menue,PGT");
    ini.ReadSection("CPM", &list);
    EXPECT_EQ(list.CommaText(), "DataDirectory,ComPortIndex,ComPortIndex");
    ini.ReadSectionValues("CPM", &list);
    EXPECT_EQ(list.CommaText(), "DataDirectory=C:\\Data\\,ComPortIndex=2,ComPortIndex=2");
    EXPECT_EQ(list.Values("ComPortIndex"), "2");
}

TEST_F(IniFile, ByteOrderMarkIsSkippedAndKept) {
    Put("\xEF\xBB\xBF[CPM]\r\nComPortIndex=3\r\n");
    TIniFile ini(Name);
    EXPECT_EQ(ini.ReadInteger("CPM", "ComPortIndex", 0), 3);
    ini.WriteInteger("CPM", "ComPortIndex", 4);
    EXPECT_EQ(Content(), "\xEF\xBB\xBF[CPM]\r\nComPortIndex=4\r\n");
}

TEST_F(IniFile, FileNameIgnoresLetterCaseAsOnWindows) {
    const std::string lower = Dir + "/setup.ini";
    std::ofstream(lower, std::ios::binary) << "[CPM]\r\nvStart=4\r\n";
    TIniFile ini(Name); // SETUP.INI
    EXPECT_EQ(ini.ReadInteger("CPM", "vStart", 10), 4);
    ini.WriteInteger("CPM", "ComPortIndex", 1);
    EXPECT_NE(access(Name.c_str(), F_OK), 0); // written into the file that is there
    std::ifstream in(lower, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), "[CPM]\r\nvStart=4\r\nComPortIndex=1\r\n");
}

TEST_F(IniFile, AFileThatCannotBeReadIsNeverOverwritten) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    Put(SetupIni);
    chmod(Name.c_str(), 0200);
    TIniFile ini(Name);
    EXPECT_EQ(ini.ReadInteger("CPM", "TestOutput", 7), 7);
    EXPECT_THROW(ini.WriteInteger("CPM", "ComPortIndex", 1), EIniFileException);
    chmod(Name.c_str(), 0600);
    EXPECT_EQ(Content(), SetupIni);
}

TEST_F(IniFile, MissingFileReadsAsEmptyAndFirstWriteCreatesIt) {
    TIniFile ini(Name);
    EXPECT_EQ(ini.ReadString("CPM", "DataDirectory", "C:"), "C:");
    EXPECT_FALSE(ini.SectionExists("CPM"));
    ini.EraseSection("CPM"); // nothing to do, nothing written
    ini.DeleteKey("CPM", "x");
    EXPECT_NE(access(Name.c_str(), F_OK), 0);
    ini.WriteInteger("CPM", "ComPortIndex", 2);
    EXPECT_EQ(Content(), "[CPM]\r\nComPortIndex=2\r\n");
}

TEST_F(IniFile, WritesKeepEveryOtherLineInPlace) {
    Put(SetupIni);
    TIniFile ini(Name);
    ini.WriteString("cpm", "datadirectory", "/home/op/data/"); // keeps the file's spelling
    ini.WriteInteger("SetUP_ADC", "Extra", 5);                 // after the section's last entry
    ini.WriteString("RXM850", "k0", "1.5");                    // new section at the end
    ini.WriteBool("Menue", "Calibrate", true);
    EXPECT_EQ(Content(), "; settings of the read-out program\r\n"
                         "\r\n"
                         "[SetUP_ADC]\r\n"
                         "Average_U = 4 \r\n"
                         "Delta_U=0x10\r\n"
                         "this line has no equals sign\r\n"
                         "Extra=5\r\n"
                         "\r\n"
                         "; plate monitor\r\n"
                         "[CPM]\r\n"
                         "DataDirectory=/home/op/data/\r\n"
                         "TestOutput=1\r\n"
                         "\r\n"
                         "[Menue]\r\n"
                         "Calibrate=1\r\n"
                         "\r\n"
                         "[RXM850]\r\n"
                         "k0=1.5\r\n");
    // A second object sees the writes of the first.
    TIniFile other(Name);
    EXPECT_EQ(other.ReadString("RXM850", "K0", ""), "1.5");
}

TEST_F(IniFile, EraseAndDeleteAndLineBreakStyle) {
    Put("[A]\nx=1\ny=2\n; about B\n[B]\nz=3\n[a]\nw=4\n");
    TIniFile ini(Name);
    ini.DeleteKey("A", "Y");
    ini.EraseSection("a");              // both blocks of that name, with their comments
    EXPECT_EQ(Content(), "[B]\nz=3\n"); // the file's own line breaks are kept
    ini.WriteString("B", "note", "two\r\nlines");
    EXPECT_EQ(ini.ReadString("B", "note", ""), "two  lines");
    EXPECT_EQ(Content(), "[B]\nz=3\nnote=two  lines\n");
}

TEST_F(IniFile, NumbersBoolsAndFloats) {
    TIniFile ini(Name);
    struct Row {
        const char* text;
        int asInt;
        bool asBool;
    } rows[] = {
        {"12", 12, true},   {"-3", -3, true},   {"0", 0, false},
        {"0x1F", 31, true}, {"$ff", 255, true}, {"true", 99, true},
        {"", 99, true},     {"1.5", 99, true},  {"'7'", 7, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        ini.WriteString("N", "v", r.text);
        EXPECT_EQ(ini.ReadInteger("N", "v", 99), r.asInt);
        EXPECT_EQ(ini.ReadBool("N", "v", true), r.asBool);
    }
    ini.WriteFloat("N", "f", 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "f", 0), 2.5);
    ini.WriteString("N", "f", "abc");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "f", -1), -1);
}

TEST_F(IniFile, AFailedWriteRaisesAndLosesNothing) {
    Put(SetupIni);
    TIniFile ini(Name);
    {
        TFileStream holder(Name, fmOpenRead | fmShareExclusive);
        try {
            ini.WriteString("CPM", "TestOutput", "0");
            FAIL();
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message, "Unable to write to " + Name);
        }
    }
    EXPECT_EQ(Content(), SetupIni);
    EXPECT_TRUE(ini.ReadBool("CPM", "TestOutput", false)); // memory matches the file
    TIniFile nowhere(AnsiString(Dir + "/no/such/folder/x.ini"));
    EXPECT_THROW(nowhere.WriteInteger("A", "b", 1), EIniFileException);
}
