#pragma once

#include "paradoxheader.h"
#include "tablestructure.h"

#include <cstdint>
#include <span>
#include <string>

namespace kelvane::conversion {

/// A secondary index read from its X file, with what orders it among the table's indexes.
struct SecondaryIndex {
    bool named = false;         ///< the .XGn kind (file type 6 or 8), else the .Xhh kind
    std::string orderKey;       ///< .XGn kind: the upper-cased extension
    std::uint16_t position = 0; ///< table position of the first indexed field
    IndexDef definition;
};

/// The primary index the table component reports for `table`, from its header alone.
IndexDef primaryIndexOf(const ParadoxHeader& table);

/// Checks the header of the table's .PX file against the table's key.
/// Throws MismatchProblem naming what differs.
void checkPrimaryIndexFile(std::span<const std::uint8_t> bytes, const ParadoxHeader& table);

/// Reads the X file `fileName` of `table` (header area in `bytes`) into its index definition.
/// Throws FormatProblem when the file is damaged, MismatchProblem when it does not fit the table.
SecondaryIndex readSecondaryIndex(std::span<const std::uint8_t> bytes, const std::string& fileName,
                                  const ParadoxHeader& table);

} // namespace kelvane::conversion
