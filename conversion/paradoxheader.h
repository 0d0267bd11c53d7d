#pragma once

#include "paradoxfield.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvane::conversion {

/// Which kind of table-layout file a header is expected to belong to.
enum class HeaderRole {
    Table,          ///< a .DB file (file type 0 or 2)
    SecondaryIndex, ///< the data part of a secondary index, .Xhh or .XGn (file type 3, 5, 6 or 8)
};

/// The checked header of a table-layout Paradox file (a .DB or an X file).
struct ParadoxHeader {
    std::uint16_t recordSize = 0;
    std::uint16_t headerSize = 0;
    std::uint8_t fileType = 0;
    std::uint8_t blockSizeKiB = 0;
    std::uint8_t version = 0; ///< the version byte at 0x39
    int fieldCount = 0;
    int keyCount = 0;
    std::uint8_t firstIndexedField = 0; ///< X files: position of the first indexed field
    std::uint8_t indexFlags = 0;        ///< X files: flag byte at 0x55
    bool encrypted = false;
    std::uint16_t codePage = 0;
    std::vector<FieldDescriptor> descriptors;
    std::vector<std::string> names;          ///< raw bytes, no code-page conversion
    std::vector<std::uint16_t> fieldNumbers; ///< .DB: field IDs (1..N before 4.x); X files: positions
    std::string tableName;                   ///< name stored in the header, information only
    std::string sortOrder;                   ///< sort-order ID, 4.x and later
    std::size_t sortOrderEnd = 0;            ///< offset just past the sort-order ID, 0 before 4.x
    std::uint16_t indexNameOffset = 0;       ///< u16 at 0x68: index name offset - 0x58, 0 if none

    bool hasDataHeader() const { return version >= 5; }
};

/// Parses and cross-checks the header of a table-layout file from `bytes`, the file's header
/// area (its first headerSize bytes, or the whole file when shorter).
/// Throws FormatProblem naming the first defect found.
ParadoxHeader parseParadoxHeader(std::span<const std::uint8_t> bytes, HeaderRole role);

} // namespace kelvane::conversion
