// A file-size limit (ulimit -f) met in the middle of a save: the program is
// started afresh under the limit with the signal's default action, so only
// what its application object sets up keeps it alive, and the record writer
// must take the partial row back as on a full disk.
#include "comm/recordfile.h"
#include "support/full_disk.h"
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {
const char* const ChildFile = "QM_FILE_SIZE_CHILD";

std::string ReadAll(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string Row = "01/12/26;08:00:00;20;1;5.0%;0;0.0%;2;10.0%;0;0.0%;night shift\r\n";

// This test binary again, running only the child's half, under Limit bytes.
int RunChild(const fs::path& File, rlim_t Limit) {
    const std::string filter = "--gtest_filter=FileSizeLimit.ChildAppendsOneRow";
    const std::string env = std::string(ChildFile) + "=" + File.string();
    char* argv[] = {const_cast<char*>("test_app"), const_cast<char*>(filter.c_str()), nullptr};
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        envp.push_back(*e);
    envp.push_back(const_cast<char*>(env.c_str()));
    envp.push_back(nullptr);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = Limit;
    const pid_t pid = ::fork();
    if (pid == 0) {
        // An ignored signal stays ignored across exec: the child starts with the default.
        ::signal(SIGXFSZ, SIG_DFL);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::execve("/proc/self/exe", argv, envp.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}
} // namespace

TEST(FileSizeLimit, ChildAppendsOneRow) {
    const char* file = std::getenv(ChildFile);
    if (!file) GTEST_SKIP() << "only run as the child of the test below";
    TRecordFile csv(file);
    csv.Add(Row.c_str());
    EXPECT_EQ(csv.Write(), TRecordWrite::Short);
}

TEST(FileSizeLimit, AppendPastTheLimitLeavesWholeRowsAndTheProgramRunning) {
    const fs::path dir = fs::temp_directory_path() / ("qm_fsize_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path csv = dir / "pgt.csv";
    const std::string earlier = std::string(5099, 'x') + "\r\n"; // whole rows
    std::ofstream(csv, std::ios::binary) << earlier;

    const int status = RunChild(csv, 5120); // room for 19 bytes of the row
    EXPECT_TRUE(WIFEXITED(status))
        << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    const std::string after = ReadAll(csv);
    EXPECT_TRUE(after == earlier) << "no torn row: " << after.size() << " bytes, ending "
                                  << after.substr(5090);

    // The next save, with room, adds its row whole after the old content.
    TRecordFile again(csv.string().c_str());
    again.Add(Row.c_str());
    EXPECT_EQ(again.Write(), TRecordWrite::Written);
    EXPECT_TRUE(ReadAll(csv) == earlier + Row);
    fs::remove_all(dir);
}
