// File names between the program (Windows-1252) and the system (UTF-8): the
// pair of conversions, the refusal of names the program cannot hold, and this
// library's writers and readers on a folder and files named with umlauts and
// accents.
#include "platform/classes/filenames.h"
#include "platform/classes/inifiles.h"
#include "platform/classes/registry.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "support/temp_folder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(FileNames, EveryByteHasOneSystemCharacterAndComesBackUnchanged) {
    for (int b = 1; b < 256; ++b) {
        const AnsiString name(std::string(1, static_cast<char>(b)));
        AnsiString back;
        ASSERT_TRUE(TryProgramFileName(SystemFileName(name), back)) << b;
        EXPECT_EQ(back, name) << b;
    }
    const struct {
        const char* Program;
        const char* System;
    } cases[] = {
        {"\xE9\xFC\xDF.tee", "\xC3\xA9\xC3\xBC\xC3\x9F.tee"}, // éüß.tee
        {"/home/J\xFCrgen/Pr\xFC"
         "fungen",
         "/home/J\xC3\xBCrgen/Pr\xC3\xBC"
         "fungen"},
        {"\x80 \x8A \x9F", "\xE2\x82\xAC \xC5\xA0 \xC5\xB8"}, // € Š Ÿ, not Latin-1
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}, // unassigned
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
        {"C:\\Data\\x.csv", "C:\\Data\\x.csv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemFileName(c.Program), c.System);
        EXPECT_EQ(ProgramFileName(c.System), c.Program);
    }
}

TEST(FileNames, NamesWindows1252CannotHoldAreRefusedNamingThem) {
    const struct {
        const char* System;
        const char* Shown;
    } cases[] = {
        {"/home/\xD0\x9F\xD1\x91\xD1\x82\xD1\x80", "/home/????"}, // Cyrillic
        {"/data/\xE6\xB5\x8B\xE8\xAF\x95/x.csv", "/data/??"
                                                 "/x.csv"},    // CJK
        {"/x/\xF0\x9F\x98\x80 \xC3\xBC.tee", "/x/? \xFC.tee"}, // beyond 16 bits
        {"/x/\xE9t\xE9.csv", "/x/?t?.csv"},                    // Latin-1 bytes
        {"/x/\xC0\xAF", "/x/??"},                              // overlong '/'
        {"/x/\xED\xA0\x80", "/x/???"},                         // a surrogate
        {"/x/\xC3", "/x/?"},                                   // cut short
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Shown);
        AnsiString out = "unchanged";
        EXPECT_FALSE(TryProgramFileName(c.System, out));
        EXPECT_EQ(out, "unchanged");
        try {
            ProgramFileName(c.System);
            ADD_FAILURE() << "taken";
        } catch (const EFileNameError& e) {
            EXPECT_EQ(e.Message, AnsiString("Cannot use \"") + c.Shown +
                                     "\": the name holds characters outside the Western "
                                     "European character set (shown as ?).");
        }
    }
}

namespace {
// A folder "Prüfungen/Messwerte éàç€" in a fresh temporary folder: the
// program's name for it and the system's.
class NamedFolder : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempFolder("qm_names_");
        Folder = AnsiString(Dir + "/Pr\xFC"
                                  "fungen/Messwerte \xE9\xE0\xE7\x80/");
        OnDisk = Dir + "/Pr\xC3\xBC"
                       "fungen/Messwerte \xC3\xA9\xC3\xA0\xC3\xA7\xE2\x82\xAC/";
        fs::create_directories(OnDisk);
    }
    void TearDown() override {
        SetSettingsFolderOverride("");
        std::system(("rm -rf '" + Dir + "'").c_str());
    }
    std::set<std::string> Listed() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(OnDisk))
            names.insert(e.path().filename().string());
        return names;
    }
    std::string Dir, OnDisk;
    AnsiString Folder;
};

struct TWriterCase {
    const char* Name;
    const char* File; // as the program names it
    std::function<void(const AnsiString&)> Write;
    std::function<AnsiString(const AnsiString&)> Read;
};

const TWriterCase Writers[] = {
    {"TFileStream",
     "Me\xDF"
     "daten \xE4\xF6\xFC.dat",
     [](const AnsiString& f) {
         TFileStream s(f, fmCreate);
         s.Write("data", 4);
     },
     [](const AnsiString& f) {
         TFileStream s(f, fmOpenRead | fmShareDenyWrite);
         char b[4] = {};
         s.Read(b, 4);
         return AnsiString(b, 4);
     }},
    {"TStrings", "\xE9\xFC\xDF.tee",
     [](const AnsiString& f) {
         TStringList l;
         l.Add("data");
         l.SaveToFile(f);
     },
     [](const AnsiString& f) {
         TStringList l;
         l.LoadFromFile(f);
         return l.Strings(0);
     }},
    {"TMemoryStream", "Kurve \x80 \xC0.bin",
     [](const AnsiString& f) {
         TMemoryStream s;
         s.Write("data", 4);
         s.SaveToFile(f);
     },
     [](const AnsiString& f) {
         TMemoryStream s;
         s.LoadFromFile(f);
         return AnsiString(static_cast<const char*>(s.Memory()), static_cast<int>(s.Size()));
     }},
    {"TIniFile",
     "\xDC"
     "bersicht.ini",
     [](const AnsiString& f) { TIniFile(f).WriteString("S", "k", "data"); },
     [](const AnsiString& f) { return TIniFile(f).ReadString("S", "k", ""); }},
};
} // namespace

TEST_F(NamedFolder, EveryWriterNamesItsFileInUtf8AndReadsItBack) {
    for (const auto& w : Writers) {
        SCOPED_TRACE(w.Name);
        const AnsiString file = Folder + w.File;
        w.Write(file);
        EXPECT_TRUE(Listed().count(SystemFileName(w.File))) << "not written as UTF-8";
        EXPECT_EQ(w.Read(file), "data");
        fs::remove(OnDisk + SystemFileName(w.File));
        EXPECT_TRUE(Listed().empty()) << *Listed().begin();
    }
}

TEST_F(NamedFolder, SettingsFileFoundByLetterCasePastNamesItCannotHold) {
    // Names the program cannot hold sit beside it: they are passed over.
    std::ofstream(OnDisk + "\xD0\x9F.INI") << "[S]\nk=cyrillic\n";
    std::ofstream(OnDisk + "\xFF.ini") << "[S]\nk=latin1\n";
    std::ofstream(OnDisk + "Pr\xC3\xBC"
                           "fung.INI")
        << "[S]\nk=found\n";
    TIniFile ini(Folder + "Pr\xFC"
                          "fung.ini");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "found");
    ini.WriteString("S", "k", "written");
    EXPECT_EQ(Listed().size(), 3u); // written in place, no second file
    EXPECT_EQ(TIniFile(Folder + "PR\xFC"
                                "FUNG.INI")
                  .ReadString("S", "k", ""),
              "written");
}

TEST_F(NamedFolder, SettingsStoreInAFolderSoNamed) {
    SetSettingsFolderOverride(Folder + "qmreadout");
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Pr\xFC"
                                "fung",
                                true));
        reg.WriteString("Ordner", Folder);
    }
    EXPECT_TRUE(fs::exists(OnDisk + "qmreadout/registry.ini"));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Pr\xFC"
                                    "fung"));
    EXPECT_EQ(reg.ReadString("Ordner"), Folder);
}

TEST_F(NamedFolder, SettingsFolderTheProgramCannotNameIsRefusedNamingIt) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string keep = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", (Dir + "/\xD0\x9F\xD1\x80").c_str(), 1);
    const AnsiString shown = "\"" + AnsiString(Dir) +
                             "/??"
                             "/qmreadout/\"";
    for (bool write : {false, true}) {
        try {
            TRegistry reg;
            if (write)
                reg.OpenKey("Software\\x", true);
            else
                reg.OpenKeyReadOnly("Software\\x");
            ADD_FAILURE() << "no refusal";
        } catch (const ERegistryException& e) {
            EXPECT_NE(e.Message.Pos(shown), 0) << e.Message;
        }
    }
    if (saved)
        setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    EXPECT_FALSE(fs::exists(Dir + "/\xD0\x9F\xD1\x80")); // nothing made under it
}
