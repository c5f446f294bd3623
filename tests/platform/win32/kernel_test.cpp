#include "platform/win32/kernel.h"
#include "platform/rtl/exceptions.h"
#include "support/temp_folder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
class KernelFiles : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempFolder("qm_kernel_");
        SetLockFolderOverride(AnsiString(Dir));
    }
    void TearDown() override {
        SetLockFolderOverride("");
        SetProgramFolderOverride("");
        std::system(("rm -rf '" + Dir + "'").c_str());
    }
    AnsiString Path(const std::string& name) const { return AnsiString(Dir + "/" + name); }
    std::string Dir;
};

// Runs Body in a forked child and returns its exit code.
template <typename F> int InChild(F Body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(Body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST_F(KernelFiles, NamedMutexIsSeenByASecondProcessUntilClosed) {
    const char* name = "PREVINST: QM read out";
    HANDLE first = CreateMutexA(nullptr, 1, name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

    auto childSees = [name] {
        HANDLE h = CreateMutexA(nullptr, 1, name);
        return h ? static_cast<int>(GetLastError() == ERROR_ALREADY_EXISTS ? 183 : 0) : 99;
    };
    EXPECT_EQ(InChild(childSees), 183);

    // The same process asking again also finds it, and a different name is free.
    HANDLE again = CreateMutexA(nullptr, 1, name);
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(CloseHandle(again));
    HANDLE other = CreateMutexA(nullptr, 1, "PREVINST: QM read out?");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(other);

    EXPECT_TRUE(CloseHandle(first));
    EXPECT_EQ(InChild(childSees), 0);
    EXPECT_FALSE(CloseHandle(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(KernelFiles, MutexWithoutAUsableLockFolderFailsWithNullHandle) {
    SetLockFolderOverride(Path("missing"));
    EXPECT_EQ(CreateMutexA(nullptr, 1, "x"), nullptr);
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    EXPECT_NE(GetLastError(), ERROR_ALREADY_EXISTS);
}

TEST(KernelNames, FileNameParts) {
    struct Row {
        const char *in, *path, *name, *ext;
    } rows[] = {
        {"/a/b/c.txt", "/a/b/", "c.txt", ".txt"},
        {"c.tar.gz", "", "c.tar.gz", ".gz"},
        {"/a.d/noext", "/a.d/", "noext", ""},
        {"C:\\Data\\TestData.TXT", "C:\\Data\\", "TestData.TXT", ".TXT"},
        {"/dir/", "/dir/", "", ""},
        {"C:", "C:", "", ""},
        {"C:Data.csv", "C:", "Data.csv", ".csv"},
        {"/x/C:y", "/x/", "C:y", ""},
        {"", "", "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.in);
        EXPECT_EQ(ExtractFilePath(r.in), r.path);
        EXPECT_EQ(ExtractFileName(r.in), r.name);
        EXPECT_EQ(ExtractFileExt(r.in), r.ext);
    }
    EXPECT_EQ(ChangeFileExt("/x/chart.tee", ".bmp"), "/x/chart.bmp");
    EXPECT_EQ(ChangeFileExt("/x.y/chart", ".bmp"), "/x.y/chart.bmp");
    EXPECT_EQ(ChangeFileExt("a.b.c", ""), "a.b");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/data"), "/data/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/data/"), "/data/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
}

TEST(KernelNames, WindowsDrivePathsMapToHome) {
    const char* saved = getenv("HOME");
    const std::string keep = saved ? saved : "";
    setenv("HOME", "/home/op", 1);
    EXPECT_EQ(MapWindowsPath("C:\\TestData.TXT"), "/home/op/TestData.TXT");
    EXPECT_EQ(MapWindowsPath("C:\\"), "/home/op/");
    EXPECT_EQ(MapWindowsPath("C:"), "/home/op");
    EXPECT_EQ(MapWindowsPath("d:Data\\x.csv"), "/home/op/Data/x.csv");
    EXPECT_EQ(MapWindowsPath("/already/posix"), "/already/posix");
    EXPECT_EQ(MapWindowsPath("relative\\name"), "relative\\name");
    setenv("HOME", "/home/op/", 1);
    EXPECT_EQ(MapWindowsPath("C:\\"), "/home/op/");
    setenv("HOME", keep.c_str(), 1);
}

TEST_F(KernelFiles, FileOperations) {
    EXPECT_TRUE(ForceDirectories(Path("x/y/z/")));
    EXPECT_FALSE(FileExists(Path("x/y/z"))); // folders are not files
    EXPECT_FALSE(DeleteFile(Path("x")));
    EXPECT_THROW(ForceDirectories(""), EInOutError);
    std::ofstream(Path("a.txt").c_str()) << "12345";
    std::ofstream(Path("b.txt").c_str()) << "b";
    EXPECT_EQ(GetFileSizeByName(Path("a.txt")), 5);
    EXPECT_EQ(GetFileSizeByName(Path("none")), -1);
    EXPECT_FALSE(RenameFile(Path("a.txt"), Path("b.txt"))); // never replaces
    EXPECT_EQ(GetFileSizeByName(Path("b.txt")), 1);
    EXPECT_TRUE(RenameFile(Path("a.txt"), Path("c.txt")));
}

TEST_F(KernelFiles, FileTimesAreLocalTimesOfTheFile) {
    std::ofstream(Path("t.txt").c_str()) << "t";
    struct timespec times[2] = {{946684800 + 3600 * 12, 0}, {946684800 + 3600 * 12, 250000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, Path("t.txt").c_str(), times, 0), 0);
    TFileTimes t{};
    const char* tz = getenv("TZ");
    const std::string keep = tz ? tz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    ASSERT_TRUE(GetFileTimes(Path("t.txt"), t));
    if (tz)
        setenv("TZ", keep.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    const SYSTEMTIME& w = t.LastWrite; // a Saturday
    EXPECT_EQ((std::vector<int>{w.wYear, w.wMonth, w.wDay, w.wDayOfWeek, w.wHour, w.wMilliseconds}),
              (std::vector<int>{2000, 1, 1, 6, 12, 250}));
    EXPECT_EQ(t.LastAccess.wMilliseconds, 0);
    EXPECT_GE(t.Created.wYear, 2020); // created just now
    EXPECT_FALSE(GetFileTimes(Path("none"), t));
}

TEST_F(KernelFiles, ProgramFolderOverrideAndCommandLine) {
    char a0[] = "/opt/qm/qmreadout", a1[] = "task", a2[] = "calibrate";
    char* argv[] = {a0, a1, a2};
    InitCommandLine(3, argv);
    EXPECT_EQ(ParamCount(), 2);
    EXPECT_EQ(ParamStr(1), "task");
    EXPECT_EQ(ParamStr(3), "");
    EXPECT_EQ(ParamStr(-1), "");
    // The real program file is this test binary.
    EXPECT_EQ(ExtractFileName(ParamStr(0)), "test_platform_win32");
    EXPECT_EQ(ParamStr(0).SubString(1, 1), "/");
    SetProgramFolderOverride(AnsiString(Dir));
    EXPECT_EQ(ProgramFolder(), AnsiString(Dir + "/"));
    EXPECT_EQ(ExtractFilePath(ParamStr(0)), AnsiString(Dir + "/"));
    SetProgramFolderOverride("");
    EXPECT_NE(ProgramFolder(), AnsiString(Dir + "/"));
}
