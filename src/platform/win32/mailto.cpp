// The mail hand-off through xdg-email.
#include "platform/win32/mailto.h"
#include "platform/classes/filenames.h"
#include "platform/classes/textcodec.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

AnsiString& Override() {
    static AnsiString program;
    return program;
}

std::string ProgramName() {
    return Override().IsEmpty() ? std::string("xdg-email") : SystemFileName(Override());
}

bool IsExecutable(const std::string& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(Path.c_str(), X_OK) == 0;
}

bool FindProgram(const std::string& Name) {
    if (Name.find('/') != std::string::npos) return IsExecutable(Name);
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && IsExecutable(dir + "/" + Name)) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

std::optional<bool>& Cached() {
    static std::optional<bool> found;
    return found;
}

// xdg-email's status when a tool it needs (the mail program) is missing.
constexpr int ToolMissing = 3;

} // namespace

AnsiString NewMailFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qmreadout-mail-XXXXXX";
    if (!::mkdtemp(pattern.data())) return AnsiString();
    AnsiString folder;
    if (!TryProgramFileName(pattern + "/", folder)) {
        ::rmdir(pattern.c_str());
        throw EFileNameError(UnusableFileNameText(pattern + "/"));
    }
    return folder;
}

void SetMailProgramOverride(const AnsiString& Program) {
    Override() = Program;
    Cached().reset();
}

bool MailProgramInstalled() {
    if (!Cached()) Cached() = FindProgram(ProgramName());
    return *Cached();
}

TMailOutcome MailFileAsAttachment(const AnsiString& FileName, const AnsiString& Subject) {
    const std::string program = ProgramName();
    if (!FindProgram(program)) return {TMailResult::NoMailProgram, 0};
    // The mail program reads its arguments as UTF-8, the subject too.
    std::vector<std::string> args{program, "--subject", AnsiToUtf8(Subject), "--attach",
                                  SystemFileName(FileName)};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return {TMailResult::NoMailProgram, 0};
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return {TMailResult::Failed, errno};
    }
    if (!WIFEXITED(status)) return {TMailResult::Failed, -1};
    const int code = WEXITSTATUS(status);
    if (code == 0) return {TMailResult::Handed, 0};
    if (code == ToolMissing) return {TMailResult::NoMailProgram, code};
    return {TMailResult::Failed, code};
}
