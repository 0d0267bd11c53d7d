#include "dirlist.h"

#include <dirent.h>

#include <cstring>
#include <memory>

namespace kelvane::conversion {

std::vector<std::string> listDirectory(const std::string& directory)
{
    std::vector<std::string> names;
    const std::string path = directory.empty() ? std::string("/") : directory;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(path.c_str()), closedir);
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        names.emplace_back(entry->d_name);
    }
    return names;
}

std::string joinPath(const std::string& directory, const std::string& name)
{
    // The separator is appended even after a trailing one, as the search pattern does;
    // a doubled "/" names the same folder.
    return directory + "/" + name;
}

} // namespace kelvane::conversion
