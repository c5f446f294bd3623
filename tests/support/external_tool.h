#pragma once
// Tests that read our files back with an installed program (an independent
// reader, pdftotext, localedef). On a developer's machine a missing program
// skips such a test; under CI (CI=true) it fails, so a machine set up without
// it cannot pass unnoticed. scripts/bootstrap installs every one of them.
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace qmtest {

inline bool HaveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool UnderCi() {
    const char* ci = std::getenv("CI");
    return ci && (std::strcmp(ci, "true") == 0 || std::strcmp(ci, "1") == 0);
}

} // namespace qmtest

// Ends the calling test: skipped without the tool, failed when under CI.
#define QM_REQUIRE_TOOL(name)                                                                      \
    do {                                                                                           \
        if (!::qmtest::HaveTool(name)) {                                                           \
            if (::qmtest::UnderCi())                                                               \
                FAIL() << (name) << " is not installed (scripts/bootstrap installs it)";           \
            else                                                                                   \
                GTEST_SKIP() << (name) << " is not installed";                                     \
        }                                                                                          \
    } while (0)
