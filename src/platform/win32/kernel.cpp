#include "platform/win32/kernel.h"
#include "platform/classes/filenames.h"
#include "platform/rtl/exceptions.h"
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
thread_local DWORD LastError = ERROR_SUCCESS;

std::mutex HandlesMutex;
std::map<HANDLE, std::unique_ptr<TKernelObject>>& Handles() {
    static std::map<HANDLE, std::unique_ptr<TKernelObject>> handles;
    return handles;
}

// A named mutex holds its lock file open (and locked) while it owns it.
class TMutexObject : public TKernelObject {
public:
    explicit TMutexObject(int Fd) : FFd(Fd) {}
    ~TMutexObject() override {
        if (FFd >= 0) ::close(FFd);
    }

private:
    int FFd;
};

std::mutex SettingsMutex;
std::string LockOverride;
std::string ProgramOverride;
std::vector<std::string> Args;
bool ArgsSet = false;

bool IsDelim(char c) {
    return c == '/' || c == '\\';
}

// 1-based position of the last delimiter, 0 when there is none. The colon of
// a leading drive ("C:") counts as one.
int LastDelim(const std::string& s) {
    for (size_t i = s.size(); i > 0; --i)
        if (IsDelim(s[i - 1])) return static_cast<int>(i);
    if (s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]))) return 2;
    return 0;
}

std::vector<std::string> ReadProcCmdline() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i] == '\0') {
            args.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    return args;
}

const std::vector<std::string>& CommandLine() {
    std::lock_guard<std::mutex> guard(SettingsMutex);
    if (!ArgsSet) {
        Args = ReadProcCmdline();
        ArgsSet = true;
    }
    return Args;
}

// As the system names it: the file the process was started from, as it was
// named then (a running program's name does not change under it).
std::string ExecutablePath() {
    static const std::string path = [] {
        std::vector<char> buf(4096);
        const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
        return n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string();
    }();
    if (!path.empty()) return path;
    const auto& args = CommandLine();
    return args.empty() ? std::string() : args[0];
}

std::string ExecutableName() {
    const std::string path = ExecutablePath();
    return path.substr(path.rfind('/') + 1);
}

AnsiString HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return ProgramFileName(home);
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return ProgramFileName(pw->pw_dir);
    return "/";
}

// Mutex names may hold any character; the file name keeps the safe ones and a
// hash of the whole name, so names that differ only in other characters stay apart.
std::string LockFileName(const std::string& name) {
    std::string safe;
    uint32_t hash = 2166136261u;
    for (unsigned char c : name) {
        hash = (hash ^ c) * 16777619u;
        if (safe.size() < 100)
            safe +=
                (std::isalnum(c) || c == '.' || c == '-' || c == '_') ? static_cast<char>(c) : '_';
    }
    char tail[16];
    std::snprintf(tail, sizeof tail, "-%08x", hash);
    return "mutex-" + safe + tail + ".lock";
}

SYSTEMTIME ToSystemTime(const timespec& ts) {
    tm t{};
    const time_t secs = ts.tv_sec;
    ::localtime_r(&secs, &t);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.tm_year + 1900);
    st.wMonth = static_cast<WORD>(t.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st.wDay = static_cast<WORD>(t.tm_mday);
    st.wHour = static_cast<WORD>(t.tm_hour);
    st.wMinute = static_cast<WORD>(t.tm_min);
    st.wSecond = static_cast<WORD>(t.tm_sec);
    st.wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1000000);
    return st;
}

SYSTEMTIME ToSystemTime(const statx_timestamp& ts) {
    return ToSystemTime(timespec{static_cast<time_t>(ts.tv_sec), static_cast<long>(ts.tv_nsec)});
}
} // namespace

// ---- Last error and handles

DWORD GetLastError() {
    return LastError;
}
void SetLastError(DWORD Code) {
    LastError = Code;
}

DWORD ErrorFromErrno(int Errno) {
    switch (Errno) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    default:
        return static_cast<DWORD>(Errno);
    }
}

HANDLE AddKernelObject(std::unique_ptr<TKernelObject> Object) {
    if (!Object) return nullptr;
    const HANDLE handle = Object.get();
    std::lock_guard<std::mutex> guard(HandlesMutex);
    Handles()[handle] = std::move(Object);
    return handle;
}

TKernelObject* FindKernelObject(HANDLE Handle) {
    std::lock_guard<std::mutex> guard(HandlesMutex);
    const auto it = Handles().find(Handle);
    return it == Handles().end() ? nullptr : it->second.get();
}

BOOL CloseHandle(HANDLE Handle) {
    std::unique_ptr<TKernelObject> object;
    {
        std::lock_guard<std::mutex> guard(HandlesMutex);
        const auto it = Handles().find(Handle);
        if (it == Handles().end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        object = std::move(it->second);
        Handles().erase(it);
    }
    return 1; // the object is freed here, outside the lock
}

// ---- Named mutex

AnsiString LockFolder() {
    {
        std::lock_guard<std::mutex> guard(SettingsMutex);
        if (!LockOverride.empty()) return IncludeTrailingPathDelimiter(AnsiString(LockOverride));
    }
    struct stat st {};
    // A runtime folder the program cannot name is passed over like a missing one:
    // the lock only has to be found again by the next start.
    AnsiString runFolder;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR");
        run && run[0] == '/' && ::stat(run, &st) == 0 && S_ISDIR(st.st_mode) &&
        TryProgramFileName(run, runFolder))
        return IncludeTrailingPathDelimiter(runFolder);
    // A shared /tmp: the folder must be ours alone, never someone else's or a link.
    const std::string dir = "/tmp/qmreadout-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return AnsiString();
    if ((st.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0) return AnsiString();
    return AnsiString(dir + "/");
}

void SetLockFolderOverride(const AnsiString& Folder) {
    std::lock_guard<std::mutex> guard(SettingsMutex);
    LockOverride = Folder.str();
}

HANDLE CreateMutexA(void*, BOOL, const char* lpName) {
    if (!lpName || !*lpName) {
        const HANDLE h = AddKernelObject(std::make_unique<TMutexObject>(-1));
        SetLastError(ERROR_SUCCESS);
        return h;
    }
    const AnsiString folder = LockFolder();
    if (folder.IsEmpty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    const std::string path = SystemFileName(folder) + LockFileName(lpName);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err != EWOULDBLOCK) {
            SetLastError(ErrorFromErrno(err));
            return nullptr;
        }
        // Someone holds it: a handle to the existing mutex, owning nothing.
        const HANDLE h = AddKernelObject(std::make_unique<TMutexObject>(-1));
        SetLastError(ERROR_ALREADY_EXISTS);
        return h;
    }
    const HANDLE h = AddKernelObject(std::make_unique<TMutexObject>(fd));
    SetLastError(ERROR_SUCCESS);
    return h;
}

// ---- Command line and program file

void InitCommandLine(int argc, char** argv) {
    std::lock_guard<std::mutex> guard(SettingsMutex);
    Args.clear();
    for (int i = 0; i < argc; ++i)
        Args.emplace_back(argv[i] ? argv[i] : "");
    ArgsSet = true;
}

int ParamCount() {
    const auto& args = CommandLine();
    return args.empty() ? 0 : static_cast<int>(args.size()) - 1;
}

AnsiString ParamStr(int Index) {
    if (Index == 0) return ProgramFolder() + ProgramFileName(ExecutableName());
    const auto& args = CommandLine();
    if (Index < 0 || Index >= static_cast<int>(args.size())) return AnsiString();
    return AnsiString(args[static_cast<size_t>(Index)]);
}

AnsiString ProgramFolder() {
    {
        std::lock_guard<std::mutex> guard(SettingsMutex);
        if (!ProgramOverride.empty())
            return IncludeTrailingPathDelimiter(AnsiString(ProgramOverride));
    }
    const std::string path = ExecutablePath();
    return ProgramFileName(path.substr(0, path.size() - ExecutableName().size()));
}

void SetProgramFolderOverride(const AnsiString& Folder) {
    std::lock_guard<std::mutex> guard(SettingsMutex);
    ProgramOverride = Folder.str();
}

// ---- File names

AnsiString ExtractFilePath(const AnsiString& FileName) {
    return FileName.SubString(1, LastDelim(FileName.str()));
}

AnsiString ExtractFileName(const AnsiString& FileName) {
    return FileName.SubString(LastDelim(FileName.str()) + 1, FileName.Length());
}

AnsiString ExtractFileExt(const AnsiString& FileName) {
    const std::string& s = FileName.str();
    const size_t dot = s.rfind('.');
    if (dot == std::string::npos || static_cast<int>(dot) < LastDelim(s)) return AnsiString();
    return AnsiString(s.substr(dot));
}

AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension) {
    const AnsiString ext = ExtractFileExt(FileName);
    return FileName.SubString(1, FileName.Length() - ext.Length()) + Extension;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& Path) {
    const std::string& s = Path.str();
    if (!s.empty() && IsDelim(s.back())) return Path;
    return Path + PathDelim;
}

bool FileExists(const AnsiString& FileName) {
    struct stat st {};
    return !FileName.IsEmpty() && ::stat(SystemFileName(FileName).c_str(), &st) == 0 &&
           !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& Name) {
    struct stat st {};
    return !Name.IsEmpty() && ::stat(SystemFileName(Name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const AnsiString& Dir) {
    if (Dir.IsEmpty()) throw EInOutError("Unable to create directory");
    std::string path = SystemFileName(Dir);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        const std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const AnsiString& FileName) {
    const std::string name = SystemFileName(FileName);
    struct stat st {};
    if (name.empty() || ::lstat(name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(name.c_str()) == 0;
}

bool RenameFile(const AnsiString& OldName, const AnsiString& NewName) {
    if (OldName.IsEmpty() || NewName.IsEmpty()) return false;
    const std::string from = SystemFileName(OldName), to = SystemFileName(NewName);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the no-replace flag: check first.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

AnsiString GetCurrentDir() {
    std::vector<char> buf(4096);
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return AnsiString();
        buf.resize(buf.size() * 2);
    }
    return ProgramFileName(buf.data());
}

// ---- File size and times

bool GetFileTimes(const AnsiString& FileName, TFileTimes& Times) {
    struct statx st {};
    if (FileName.IsEmpty() || ::statx(AT_FDCWD, SystemFileName(FileName).c_str(), 0,
                                      STATX_BASIC_STATS | STATX_BTIME, &st) != 0)
        return false;
    Times.Created = ToSystemTime((st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_ctime);
    Times.LastWrite = ToSystemTime(st.stx_mtime);
    Times.LastAccess = ToSystemTime(st.stx_atime);
    return true;
}

int64_t GetFileSizeByName(const AnsiString& FileName) {
    struct stat st {};
    if (FileName.IsEmpty() || ::stat(SystemFileName(FileName).c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

// ---- Windows drive paths

AnsiString MapWindowsPath(const AnsiString& Path) {
    const std::string& s = Path.str();
    if (s.size() < 2 || !std::isalpha(static_cast<unsigned char>(s[0])) || s[1] != ':') return Path;
    std::string rest = s.substr(2);
    for (char& c : rest)
        if (c == '\\') c = '/';
    std::string home = HomeFolder().str();
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    if (rest.empty()) return AnsiString(home);
    if (rest[0] != '/') rest.insert(rest.begin(), '/');
    return AnsiString(home == "/" ? rest : home + rest);
}
