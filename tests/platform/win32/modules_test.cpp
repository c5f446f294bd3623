// Libraries loaded by name through the system's loader.
#include "platform/win32/modules.h"
#include <gtest/gtest.h>

namespace {

TEST(Modules, LoadsAndFreesALibraryByName) {
    HMODULE a = LoadLibraryA("libm.so.6");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    // The same library again: the same handle, freed once per load.
    HMODULE b = LoadLibraryA("libm.so.6");
    EXPECT_EQ(a, b);
    EXPECT_TRUE(FreeLibrary(b));
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_FALSE(FreeLibrary(a));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Modules, WhatCannotBeLoadedGivesNoHandle) {
    const char* names[] = {"libqm-no-such-library.so", "/etc/hostname", "", nullptr};
    for (const char* name : names) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(LoadLibraryA(name), nullptr) << (name ? name : "(null)");
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << (name ? name : "(null)");
    }
    int local = 0;
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_FALSE(FreeLibrary(&local)); // never reaches the loader
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Modules, ErrorModeReturnsThePreviousOne) {
    const UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(GetErrorMode(), SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(SetErrorMode(old), SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(GetErrorMode(), old);
}

} // namespace
