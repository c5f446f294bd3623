// Names the kernel shims hand to the system and take back from it, on a
// folder named with umlauts and accents (valid UTF-8 on disk): file helpers,
// the current, home, lock, temporary and program folders, the mail hand-off.
#include "platform/classes/filenames.h"
#include "platform/win32/kernel.h"
#include "platform/win32/mailto.h"
#include "support/temp_folder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// Sets an environment variable for the life of the scope.
class TEnvScope {
public:
    TEnvScope(const char* Name, const std::string& Value) : FName(Name) {
        const char* old = std::getenv(Name);
        FHad = old != nullptr;
        if (old) FOld = old;
        setenv(Name, Value.c_str(), 1);
    }
    ~TEnvScope() {
        if (FHad)
            setenv(FName, FOld.c_str(), 1);
        else
            unsetenv(FName);
    }

private:
    const char* FName;
    bool FHad = false;
    std::string FOld;
};

std::string ReadAll(const std::string& File) {
    std::ifstream in(File, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// "Prüfungen é€" as the program holds it and as the system names it.
const char* const Umlauts = "Pr\xFC"
                            "fungen \xE9\x80";
const char* const UmlautsOnDisk = "Pr\xC3\xBC"
                                  "fungen \xC3\xA9\xE2\x82\xAC";
const char* const Cyrillic =
    "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1\x8B";

class SystemNames : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempFolder("qm_sysnames_");
        fs::create_directories(Dir + "/" + UmlautsOnDisk);
        fs::create_directories(Dir + "/" + Cyrillic);
        Folder = AnsiString(Dir + "/" + Umlauts + "/");
        OnDisk = Dir + "/" + UmlautsOnDisk + "/";
    }
    void TearDown() override {
        SetLockFolderOverride("");
        SetMailProgramOverride("");
        std::system(("rm -rf '" + Dir + "'").c_str());
    }
    std::string Dir, OnDisk;
    AnsiString Folder;
};
} // namespace

TEST_F(SystemNames, FileHelpersFindTheFileOfThatName) {
    const AnsiString file = Folder + "Me\xDF"
                                     "werte \xE4\xF6\xFC.csv";
    const std::string fileOnDisk = OnDisk + "Me\xC3\x9F"
                                            "werte \xC3\xA4\xC3\xB6\xC3\xBC.csv";
    std::ofstream(fileOnDisk) << "12345";
    TFileTimes times{};
    const struct {
        const char* What;
        std::function<bool()> Holds;
    } checks[] = {
        {"DirectoryExists", [&] { return DirectoryExists(Folder); }},
        {"FileExists", [&] { return FileExists(file); }},
        {"GetFileSizeByName", [&] { return GetFileSizeByName(file) == 5; }},
        {"GetFileTimes", [&] { return GetFileTimes(file, times); }},
        {"ForceDirectories",
         [&] {
             return ForceDirectories(Folder + "\xC4rger/\xDC"
                                              "bel/") &&
                    fs::is_directory(OnDisk + "\xC3\x84rger/\xC3\x9C"
                                              "bel");
         }},
        {"RenameFile",
         [&] {
             return RenameFile(file, Folder + "\xE9t\xE9.csv") &&
                    fs::exists(OnDisk + "\xC3\xA9t\xC3\xA9.csv") && !fs::exists(fileOnDisk);
         }},
        {"DeleteFile",
         [&] {
             return DeleteFile(Folder + "\xE9t\xE9.csv") &&
                    !fs::exists(OnDisk + "\xC3\xA9t\xC3\xA9.csv");
         }},
    };
    for (const auto& c : checks)
        EXPECT_TRUE(c.Holds()) << c.What;
}

TEST_F(SystemNames, CurrentFolderIsTakenBackOrRefusedNamingIt) {
    const fs::path before = fs::current_path();
    ASSERT_EQ(::chdir(OnDisk.c_str()), 0);
    EXPECT_EQ(GetCurrentDir() + "/", Folder);
    ASSERT_EQ(::chdir((Dir + "/" + Cyrillic).c_str()), 0);
    try {
        GetCurrentDir();
        ADD_FAILURE() << "taken";
    } catch (const EFileNameError& e) {
        EXPECT_NE(e.Message.Pos("\"" + AnsiString(Dir) + "/?????????\""), 0) << e.Message;
    }
    fs::current_path(before);
}

TEST_F(SystemNames, DrivePathsMapToAHomeFolderSoNamedOrAreRefused) {
    {
        TEnvScope home("HOME", OnDisk);
        EXPECT_EQ(MapWindowsPath("C:\\TestData.TXT"), Folder + "TestData.TXT");
        EXPECT_EQ(MapWindowsPath("C:"), Folder.SubString(1, Folder.Length() - 1));
    }
    TEnvScope home("HOME", Dir + "/" + Cyrillic);
    EXPECT_THROW(MapWindowsPath("C:\\TestData.TXT"), EFileNameError);
    // Other paths never ask for the home folder.
    EXPECT_EQ(MapWindowsPath("/data/x.csv"), "/data/x.csv");
}

TEST_F(SystemNames, LockFileLiesInARuntimeFolderSoNamedAndElsewhereWhenItCannotBeNamed) {
    {
        TEnvScope run("XDG_RUNTIME_DIR", OnDisk);
        EXPECT_EQ(LockFolder(), Folder);
        const HANDLE mutex = CreateMutexA(nullptr, 1, "PREVINST: names");
        ASSERT_NE(mutex, nullptr);
        int locks = 0;
        for (const auto& e : fs::directory_iterator(OnDisk))
            locks += e.path().extension() == ".lock";
        EXPECT_EQ(locks, 1);
        CloseHandle(mutex);
    }
    TEnvScope run("XDG_RUNTIME_DIR", Dir + "/" + Cyrillic);
    EXPECT_EQ(LockFolder(), AnsiString("/tmp/qmreadout-" + std::to_string(::getuid()) + "/"));
    EXPECT_TRUE(fs::is_empty(Dir + "/" + Cyrillic));
}

TEST_F(SystemNames, MailProgramGetsTheAttachmentsNameAndSubjectInUtf8) {
    const std::string args = Dir + "/args";
    const std::string mailer = Dir + "/mailer";
    std::ofstream(mailer) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + args + "'\n";
    ::chmod(mailer.c_str(), 0755);
    SetMailProgramOverride(mailer.c_str());
    const AnsiString file = Folder + "Kurve \xDF.tee";
    std::ofstream(OnDisk + "Kurve \xC3\x9F.tee") << "x";
    EXPECT_EQ(MailFileAsAttachment(file, "Pr\xFC"
                                         "fung \x80")
                  .Result,
              TMailResult::Handed);
    EXPECT_EQ(ReadAll(args), "--subject\nPr\xC3\xBC"
                             "fung \xE2\x82\xAC\n--attach\n" +
                                 OnDisk + "Kurve \xC3\x9F.tee\n");
}

TEST_F(SystemNames, MailFolderUnderATemporaryFolderSoNamedOrRefusedLeavingNothing) {
    {
        TEnvScope tmp("TMPDIR", Dir + "/" + UmlautsOnDisk);
        const AnsiString made = NewMailFolder();
        EXPECT_EQ(made.SubString(1, Folder.Length() + 15), Folder + "qmreadout-mail-");
        EXPECT_TRUE(DirectoryExists(made));
    }
    TEnvScope tmp("TMPDIR", Dir + "/" + Cyrillic);
    EXPECT_THROW(NewMailFolder(), EFileNameError);
    EXPECT_TRUE(fs::is_empty(Dir + "/" + Cyrillic));
}

// The program file's folder is the test binary's, linked into folders so named.
namespace {
const char* const ChildOut = "QM_PROGRAM_FOLDER_OUT";

// Runs this test binary from Folder (a hard link, else a copy) and returns
// what its child case wrote: the program folder, or the refusal's message.
std::string ProgramFolderSeenFrom(const std::string& Folder) {
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path exe = fs::path(Folder) / self.filename();
    std::error_code ec;
    fs::create_hard_link(self, exe, ec);
    if (ec) fs::copy_file(self, exe);
    const std::string out = Folder + "/out";
    const pid_t pid = ::fork();
    if (pid == 0) {
        setenv(ChildOut, out.c_str(), 1);
        ::execl(exe.c_str(), exe.c_str(), "--gtest_filter=SystemNamesChild.WritesTheProgramFolder",
                nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return ReadAll(out);
}
} // namespace

TEST(SystemNamesChild, WritesTheProgramFolder) {
    const char* out = std::getenv(ChildOut);
    if (!out) GTEST_SKIP() << "only run as the child of the test below";
    std::ofstream f(out, std::ios::binary);
    try {
        f << ProgramFolder().c_str() << '\n' << ExtractFileName(ParamStr(0)).c_str();
    } catch (const EFileNameError& e) {
        f << e.Message.c_str();
    }
}

TEST_F(SystemNames, ProgramFolderSoNamedIsTakenAndOneItCannotNameIsRefused) {
    // Beside the build, where a hard link is possible.
    const std::string base = fs::read_symlink("/proc/self/exe").parent_path().string() + "/" +
                             fs::path(Dir).filename().string();
    fs::create_directories(base + "/" + UmlautsOnDisk);
    fs::create_directories(base + "/" + Cyrillic);
    const std::string name = fs::read_symlink("/proc/self/exe").filename().string();
    EXPECT_EQ(ProgramFolderSeenFrom(base + "/" + UmlautsOnDisk),
              base + "/" + Umlauts + "/\n" + name);
    EXPECT_EQ(ProgramFolderSeenFrom(base + "/" + Cyrillic),
              "Cannot use \"" + base +
                  "/?????????"
                  "/\": the name holds characters outside the Western European "
                  "character set (shown as ?).");
    fs::remove_all(base);
}
