#pragma once
// The fonts the system has installed, as fontconfig's own tool lists them
// (not through the program), so that a test tells a family the machine lacks
// from one the program failed to find. scripts/bootstrap installs the packages
// of the families tests name; like a missing tool, a missing family skips a
// test on a developer's machine and fails it under CI.
#include "support/external_tool.h"
#include <cstdio>
#include <string>
#include <vector>

namespace qmtest {

// What fc-list prints for a pattern ("URW Gothic:style=Book") in a format
// ("%{file}"), one line each.
inline std::vector<std::string> FontList(const std::string& Pattern, const std::string& Format) {
    std::vector<std::string> lines;
    const std::string command =
        "fc-list --format '" + Format + "\\n' '" + Pattern + "' 2>/dev/null";
    FILE* out = ::popen(command.c_str(), "r");
    if (!out) return lines;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, out)) {
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    ::pclose(out);
    return lines;
}

// The first family name of the font fc-match gives for a pattern.
inline std::string FontMatch(const std::string& Pattern) {
    std::string family;
    const std::string command = "fc-match --format '%{family[0]}' '" + Pattern + "' 2>/dev/null";
    FILE* out = ::popen(command.c_str(), "r");
    if (!out) return family;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, out))
        family += buffer;
    ::pclose(out);
    return family;
}

} // namespace qmtest

// Ends the calling test when fontconfig lists no font of the family.
#define QM_REQUIRE_FONT(family)                                                                    \
    do {                                                                                           \
        QM_REQUIRE_TOOL("fc-list");                                                                \
        if (::qmtest::FontList(family, "%{file}").empty()) {                                       \
            if (::qmtest::UnderCi())                                                               \
                FAIL() << "fontconfig lists no font of " << (family)                               \
                       << " (scripts/bootstrap installs it)";                                      \
            else                                                                                   \
                GTEST_SKIP() << "fontconfig lists no font of " << (family);                        \
        }                                                                                          \
    } while (0)
