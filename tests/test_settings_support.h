#pragma once

// Helpers shared by the settings tests: a private temporary folder per test and whole-file
// reads and writes. Tests never touch the user's own store.

#include "tempdir.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace kelvane::app::testing {

using TempFolder = ::TempDir;

inline std::string readFile(const std::string& path)
{
    return readBytes(path);
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

} // namespace kelvane::app::testing
