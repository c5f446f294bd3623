#include "platform/win32/modules.h"
#include "platform/classes/filenames.h"
#include <atomic>
#include <dlfcn.h>
#include <map>
#include <mutex>

namespace {

std::atomic<UINT> ErrorMode{0};

// Loads still to be freed, per handle: the loader hands out one handle per
// library, and a handle freed more often than loaded must not reach it.
std::mutex LoadsMutex;
std::map<HMODULE, int>& Loads() {
    static std::map<HMODULE, int> loads;
    return loads;
}

} // namespace

UINT SetErrorMode(UINT Mode) {
    return ErrorMode.exchange(Mode);
}

UINT GetErrorMode() {
    return ErrorMode.load();
}

HMODULE LoadLibraryA(const char* FileName) {
    if (!FileName || !*FileName) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    HMODULE module = dlopen(SystemFileName(FileName).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(LoadsMutex);
    ++Loads()[module];
    SetLastError(ERROR_SUCCESS);
    return module;
}

BOOL FreeLibrary(HMODULE Module) {
    {
        std::lock_guard<std::mutex> lock(LoadsMutex);
        auto it = Loads().find(Module);
        if (it == Loads().end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        if (--it->second == 0) Loads().erase(it);
    }
    dlclose(Module);
    return 1;
}
