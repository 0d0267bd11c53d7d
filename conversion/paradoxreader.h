#pragma once

#include "tablestructure.h"

#include <string>
#include <vector>

namespace kelvane::conversion {

/// Reads the structure of the Paradox table `fileName` in `directory`.
/// `entries` is the listing of `directory` (entry names only), used to find the table's
/// companion files (.PX, .Xhh, .XGn, .VAL) without regard to letter case.
/// Throws TableError naming the file and the problem when the table cannot be read.
TableStructure readParadoxTable(const std::string& directory, const std::string& fileName,
                                const std::vector<std::string>& entries);

} // namespace kelvane::conversion
