#pragma once

#include <string>
#include <vector>

namespace kelvane::conversion {

/// Names of every entry of `directory` (all kinds, "." and ".." left out), in the order the
/// file system yields them. A directory that cannot be listed gives an empty list.
std::vector<std::string> listDirectory(const std::string& directory);

/// `directory` and `name` joined by the platform's separator; an empty directory means the root.
std::string joinPath(const std::string& directory, const std::string& name);

} // namespace kelvane::conversion
