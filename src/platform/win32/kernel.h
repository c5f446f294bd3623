#pragma once
// Kernel calls and file helpers the program uses, on Linux: kernel handles and
// the last-error code, the named single-instance mutex (an flock in the lock
// folder), the command line and the program's own file, file names, file
// size and times, and the mapping of Windows drive paths to the home folder.
#include "platform/rtl/ansistring.h"
#include <cstdint>
#include <memory>

using DWORD = uint32_t;
using WORD = uint16_t;
using BOOL = int;
using HANDLE = void*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~uintptr_t(0));

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;

// The calling thread's last-error code.
DWORD GetLastError();
void SetLastError(DWORD Code);
// Windows' code for an errno value (the common ones; others pass through).
DWORD ErrorFromErrno(int Errno);

// Every kernel handle stands for one of these; CloseHandle frees it. Other
// shims (serial ports) register their own objects the same way.
class TKernelObject {
public:
    virtual ~TKernelObject() = default;
};
HANDLE AddKernelObject(std::unique_ptr<TKernelObject> Object);
// nullptr for a handle that is not open.
TKernelObject* FindKernelObject(HANDLE Handle);
// 0 with ERROR_INVALID_HANDLE for a handle that is not open.
BOOL CloseHandle(HANDLE Handle);

// A named mutex is an exclusive flock on a lock file named after the mutex
// in the lock folder. The handle holds the lock until it is closed or the
// process ends. When another handle (in any process) already holds it, a handle
// is still returned and GetLastError() gives ERROR_ALREADY_EXISTS. Null with the
// error set when the lock file cannot be opened. Unnamed mutexes lock nothing.
HANDLE CreateMutexA(void* lpMutexAttributes, BOOL bInitialOwner, const char* lpName);
// $XDG_RUNTIME_DIR (when its name can be held), else /tmp/qmreadout-<uid>
// (made private to the user); with a trailing delimiter. Empty when no usable
// folder exists.
AnsiString LockFolder();
// Tests point the lock folder elsewhere; an empty text restores the default.
void SetLockFolderOverride(const AnsiString& Folder);

// The command line, saved by main(); without it /proc/self/cmdline is read.
void InitCommandLine(int argc, char** argv);
int ParamCount();
// ParamStr(0) is the program file's full path (inside the overridden program
// folder when a test set one); an index beyond ParamCount gives "". The other
// arguments keep the bytes they were given.
AnsiString ParamStr(int Index);
// Folder of the program file, with a trailing delimiter (SETUP.INI lives here).
// EFileNameError (platform/classes/filenames.h) when its name cannot be held,
// as from every call below that takes a name from the system.
AnsiString ProgramFolder();
// Tests place the program elsewhere; an empty text restores the real folder.
void SetProgramFolderOverride(const AnsiString& Folder);

// File names. '/' is the delimiter; '\' and the colon of a leading drive
// ("C:") are accepted too, so Windows paths kept in settings files still split.
constexpr char PathDelim = '/';
AnsiString ExtractFilePath(const AnsiString& FileName); // up to and including the last delimiter
AnsiString ExtractFileName(const AnsiString& FileName); // after the last delimiter
AnsiString ExtractFileExt(const AnsiString& FileName);  // from the last '.' of the name, or ""
AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& Path);

bool FileExists(const AnsiString& FileName); // a file, not a folder
bool DirectoryExists(const AnsiString& Name);
// Creates the folder and every missing parent; raises EInOutError for an empty name.
bool ForceDirectories(const AnsiString& Dir);
bool DeleteFile(const AnsiString& FileName);
// Fails (false) when NewName exists already, as the platform's rename does.
bool RenameFile(const AnsiString& OldName, const AnsiString& NewName);
AnsiString GetCurrentDir(); // EFileNameError when the name cannot be held

struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
// Local times of a file. The creation time is the birth time where the file
// system keeps one, else the status-change time.
struct TFileTimes {
    SYSTEMTIME Created, LastWrite, LastAccess;
};
bool GetFileTimes(const AnsiString& FileName, TFileTimes& Times);
// Size in bytes; -1 when the file does not exist.
int64_t GetFileSizeByName(const AnsiString& FileName);

// Maps a Windows drive path to the user's home folder: the drive ("C:", any
// letter) stands for $HOME and every '\' becomes '/'. "C:\TestData.TXT" gives
// "$HOME/TestData.TXT", "C:\" gives "$HOME/", "C:" gives "$HOME" and
// "C:Data\x" gives "$HOME/Data/x". Any other path is returned unchanged.
// EFileNameError for a drive path when the home folder's name cannot be held.
AnsiString MapWindowsPath(const AnsiString& Path);
