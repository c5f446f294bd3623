#pragma once
// TRegistry: the settings store that stands in for the registry. Keys are
// sections of one INI file, "registry.ini" in the settings folder
// ($XDG_CONFIG_HOME/qmreadout, else ~/.config/qmreadout); a section is named
// after the root key and the key path ("HKEY_CURRENT_USER\SOFTWARE\...").
// Values keep their type as the registry's text exports write it: integers
// as dword:0000007b, strings in double quotes.
#include "platform/classes/classinfo.h"
#include "platform/rtl/exceptions.h"
#include <cstdint>
#include <memory>
#include <string>

class TIniFile;

using HKEY = uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr HKEY HKEY_USERS = 0x80000003;

constexpr unsigned KEY_READ = 0x20019;
constexpr unsigned KEY_WRITE = 0x20006;
constexpr unsigned KEY_ALL_ACCESS = 0xF003F;

QM_DECLARE_EXCEPTION(ERegistryException, Exception)

class TRegistry : public TObject {
    QM_CLASS(TRegistry)
public:
    explicit TRegistry(unsigned AAccess = KEY_ALL_ACCESS);
    ~TRegistry() override;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    // Closes the open key. Default: HKEY_CURRENT_USER.
    void SetRootKey(HKEY Value);
    unsigned Access() const { return FAccess; }
    void SetAccess(unsigned Value) { FAccess = Value; }
    // Path of the open key below the root ("" when none is open).
    AnsiString CurrentPath() const { return FCurrentPath; }

    // Opens Key: a path from the root when it starts with '\', else below the
    // open key. Creates it when CanCreate is set and the access allows writing.
    // False when the key does not exist (and is not created).
    bool OpenKey(const AnsiString& Key, bool CanCreate);
    bool OpenKeyReadOnly(const AnsiString& Key);
    bool KeyExists(const AnsiString& Key);
    void CloseKey();

    // Values of the open key, or of the root key when none is open.
    bool ValueExists(const AnsiString& Name);
    // Raise ERegistryException "Failed to get data for 'Name'" when the value
    // is absent and "Invalid data type for 'Name'" when it has the other type.
    int ReadInteger(const AnsiString& Name);
    AnsiString ReadString(const AnsiString& Name);
    // Raise ERegistryException "Failed to set data for 'Name'" when the key or
    // the access is read-only or the store cannot be written. Line breaks in
    // a string become blanks.
    void WriteInteger(const AnsiString& Name, int Value);
    void WriteString(const AnsiString& Name, const AnsiString& Value);

private:
    AnsiString Resolve(const AnsiString& Key) const;
    AnsiString SectionOf(const AnsiString& Path) const;
    bool Exists(const AnsiString& Path);
    // The stored text of a value; raises when it is absent.
    std::string RawValue(const AnsiString& Name);
    void WriteRaw(const AnsiString& Name, const std::string& Value);
    TIniFile& Store();

    HKEY FRootKey = HKEY_CURRENT_USER;
    unsigned FAccess;
    bool FOpen = false;
    bool FReadOnly = false;
    AnsiString FCurrentPath;
    std::unique_ptr<TIniFile> FStore;
};

// The settings folder, with a trailing '/'. EFileNameError when its name
// cannot be held; TRegistry then raises ERegistryException with that message.
AnsiString SettingsFolder();
// Tests point the settings folder elsewhere; an empty text restores the default.
void SetSettingsFolderOverride(const AnsiString& Folder);
