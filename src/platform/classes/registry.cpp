#include "platform/classes/registry.h"
#include "platform/classes/filenames.h"
#include "platform/classes/inifiles.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/sysutils.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

QM_CLASS_PLAIN(TRegistry, TObject)

namespace {
std::mutex OverrideMutex;
std::string FolderOverride;

const char* RootName(HKEY Root) {
    switch (Root) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
        return "HKEY_USERS";
    default:
        return "HKEY_CURRENT_USER";
    }
}

bool Writable(unsigned Access) {
    return (Access & (KEY_WRITE & 0xFFFF)) != 0;
}

bool MakeFolders(const AnsiString& Folder) {
    const std::string path = SystemFileName(Folder);
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        const std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

[[noreturn]] void DataError(const char* What, const AnsiString& Name) {
    throw ERegistryException(AnsiString(What) + " '" + Name + "'");
}

// A settings folder the program cannot name fails as the store does.
AnsiString StoreFolder() {
    try {
        return SettingsFolder();
    } catch (const EFileNameError& e) {
        throw ERegistryException(e.Message);
    }
}
} // namespace

AnsiString SettingsFolder() {
    {
        std::lock_guard<std::mutex> guard(OverrideMutex);
        if (!FolderOverride.empty())
            return AnsiString(FolderOverride.back() == '/' ? FolderOverride : FolderOverride + "/");
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return ProgramFileName(std::string(config) + "/qmreadout/");
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h)
        home = h;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    return ProgramFileName(home + "/.config/qmreadout/");
}

void SetSettingsFolderOverride(const AnsiString& Folder) {
    std::lock_guard<std::mutex> guard(OverrideMutex);
    FolderOverride = Folder.str();
}

TRegistry::TRegistry(unsigned AAccess) : FAccess(AAccess) {}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY Value) {
    CloseKey();
    FRootKey = Value;
}

TIniFile& TRegistry::Store() {
    const AnsiString file = StoreFolder() + "registry.ini";
    if (!FStore || FStore->FileName() != file) FStore = std::make_unique<TIniFile>(file);
    return *FStore;
}

AnsiString TRegistry::Resolve(const AnsiString& Key) const {
    std::string path = Key.str();
    const bool absolute = !path.empty() && path[0] == '\\';
    if (!absolute && FOpen && !FCurrentPath.IsEmpty()) path = FCurrentPath.str() + "\\" + path;
    std::string result, part;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\') {
            part += path[i];
            continue;
        }
        if (!part.empty()) result += (result.empty() ? "" : "\\") + part;
        part.clear();
    }
    return AnsiString(result);
}

AnsiString TRegistry::SectionOf(const AnsiString& Path) const {
    return AnsiString(RootName(FRootKey)) + (Path.IsEmpty() ? AnsiString() : "\\" + Path);
}

bool TRegistry::Exists(const AnsiString& Path) {
    if (Path.IsEmpty()) return true;
    const AnsiString section = SectionOf(Path);
    const AnsiString prefix = section + "\\";
    TStringList sections;
    Store().ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        const AnsiString s = sections.Strings(i);
        if (SameText(s, section) || SameText(s.SubString(1, prefix.Length()), prefix)) return true;
    }
    return false;
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate) {
    const AnsiString path = Resolve(Key);
    if (!Exists(path)) {
        if (!CanCreate || !Writable(FAccess)) return false;
        if (!MakeFolders(StoreFolder())) return false;
        try {
            Store().AddSection(SectionOf(path));
        } catch (const EIniFileException&) {
            return false;
        }
    }
    CloseKey();
    FCurrentPath = path;
    FOpen = true;
    FReadOnly = !Writable(FAccess);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& Key) {
    const AnsiString path = Resolve(Key);
    if (!Exists(path)) return false;
    CloseKey();
    FCurrentPath = path;
    FOpen = true;
    FReadOnly = true;
    return true;
}

bool TRegistry::KeyExists(const AnsiString& Key) {
    return Exists(Resolve(Key));
}

void TRegistry::CloseKey() {
    FOpen = false;
    FReadOnly = false;
    FCurrentPath = AnsiString();
}

bool TRegistry::ValueExists(const AnsiString& Name) {
    return Store().ValueExists(SectionOf(FCurrentPath), Name);
}

std::string TRegistry::RawValue(const AnsiString& Name) {
    std::string value;
    if (!Store().ReadRaw(SectionOf(FCurrentPath), Name, value))
        DataError("Failed to get data for", Name);
    return value;
}

AnsiString TRegistry::ReadString(const AnsiString& Name) {
    const std::string value = RawValue(Name);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return AnsiString(value.substr(1, value.size() - 2));
    // Unquoted text was written by hand; only dword: marks an integer.
    if (value.compare(0, 6, "dword:") == 0) DataError("Invalid data type for", Name);
    return AnsiString(value);
}

int TRegistry::ReadInteger(const AnsiString& Name) {
    const std::string value = RawValue(Name);
    int result;
    if (value.size() < 7 || value.size() > 14 || value.compare(0, 6, "dword:") != 0 ||
        value.find_first_not_of("0123456789abcdefABCDEF", 6) != std::string::npos ||
        !TryStrToInt(AnsiString("$" + value.substr(6)), result))
        DataError("Invalid data type for", Name);
    return result;
}

void TRegistry::WriteRaw(const AnsiString& Name, const std::string& Value) {
    if (FReadOnly || !Writable(FAccess) || !MakeFolders(StoreFolder()))
        DataError("Failed to set data for", Name);
    try {
        Store().WriteString(SectionOf(FCurrentPath), Name, AnsiString(Value));
    } catch (const EIniFileException&) {
        DataError("Failed to set data for", Name);
    }
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value) {
    WriteRaw(Name, "\"" + Value.str() + "\"");
}

void TRegistry::WriteInteger(const AnsiString& Name, int Value) {
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(Value));
    WriteRaw(Name, text);
}
