#pragma once

#include "paradoxcompanions.h"
#include "tablestructure.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane::conversion {

/// Reads the structure of the Paradox table `fileName` in `directory`.
/// `entries` is the listing of `directory` (entry names only), used to find the table's
/// companion files (.PX, .Xhh, .XGn, .VAL) without regard to letter case.
/// Throws TableError naming the file and the problem when the table cannot be read.
TableStructure readParadoxTable(const std::string& directory, const std::string& fileName,
                                const std::vector<std::string>& entries);

/// Same as above, with the companions taken from an index of the listing built once per folder.
TableStructure readParadoxTable(const std::string& directory, const std::string& fileName,
                                const CompanionIndex& companions);

/// A file's name and the bytes read of it.
struct ParadoxFileBytes {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

/// Parses a table held in memory: `table` is the .DB file (or its header area) and `files`
/// the other files of its folder, from which the companions are chosen by name as from a
/// directory listing. Throws TableError exactly as readParadoxTable does.
TableStructure parseParadoxTable(const ParadoxFileBytes& table, const std::vector<ParadoxFileBytes>& files);

} // namespace kelvane::conversion
