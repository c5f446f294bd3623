#pragma once
// Writes that fail as on a full disk, and a folder that refuses new files:
// the conditions under which a save must say so and lose nothing.
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// While it lives, no file of the process grows beyond Bytes: a write past it
// falls short or fails, as on a full disk (files may still be created).
class TFullDisk {
public:
    explicit TFullDisk(rlim_t Bytes = 0) {
        ::getrlimit(RLIMIT_FSIZE, &FSaved);
        FHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FSaved;
        limit.rlim_cur = Bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &FSaved);
        std::signal(SIGXFSZ, FHandler);
    }
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

private:
    rlimit FSaved{};
    void (*FHandler)(int) = SIG_DFL;
};

// A folder in which no file can be made. Permissions do not stop the
// super-user, so then a folder of the process file system stands in.
inline std::string ReadOnlyFolder(const std::filesystem::path& Base) {
    const std::filesystem::path folder = Base / "read-only";
    std::filesystem::create_directories(folder);
    ::chmod(folder.c_str(), 0555);
    if (::access(folder.c_str(), W_OK) == 0) return "/proc/self/";
    return folder.string() + "/";
}
