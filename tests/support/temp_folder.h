#pragma once
// Fresh folders and files for a test under the binary's own temporary folder
// (TMPDIR, set per test binary), never directly in the system's: a run beside
// another, or a name left by an earlier one, then meets nothing.
#include <filesystem>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <unistd.h>

// Makes <temporary folder>/<Prefix>XXXXXX and returns its path.
inline std::string MakeTempFolder(const std::string& Prefix) {
    std::string path = (std::filesystem::temp_directory_path() / (Prefix + "XXXXXX")).string();
    if (!::mkdtemp(path.data())) throw std::runtime_error("no temporary folder " + path);
    return path;
}

// Makes an empty file <temporary folder>/<Prefix>XXXXXX<Suffix> and returns its path.
inline std::string MakeTempFile(const std::string& Prefix, const std::string& Suffix) {
    std::string path =
        (std::filesystem::temp_directory_path() / (Prefix + "XXXXXX" + Suffix)).string();
    const int fd = ::mkstemps(path.data(), static_cast<int>(Suffix.size()));
    if (fd < 0) throw std::runtime_error("no temporary file " + path);
    ::close(fd);
    return path;
}
