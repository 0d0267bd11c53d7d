#pragma once

// Builds Paradox files byte by byte from a readable description, so that tests can start
// from a sound file and damage exactly one byte.

#include "paradoxreader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane::conversion::testing {

using Bytes = std::vector<std::uint8_t>;

/// One field as the builder writes it: name, type code, size byte and field number.
struct BuiltField {
    std::string name;
    std::uint8_t type = 0;
    std::uint8_t size = 0;
    std::uint16_t number = 0; ///< 0: the field's position
};

/// A table-layout file (.DB or X file) described field by field.
struct TableBuilder {
    std::uint8_t version = 0x0C;
    int fileType = -1; ///< -1: 0 when keyed, else 2
    int keyCount = 0;
    std::vector<BuiltField> fields;
    std::uint16_t headerSize = 0x0800; ///< 0: exactly the bytes in use (3.0 style)
    std::uint8_t blockSizeKiB = 2;
    std::string tableName = "EVENTS.DB";
    std::string sortOrder = "ascii";
    std::uint16_t codePage = 1252;
    int slotSize = 0;                   ///< table-name slot; 0: what the version implies
    std::uint8_t firstIndexedField = 0; ///< byte 0x15
    std::uint8_t indexFlags = 0;        ///< byte 0x55
    std::string indexName;              ///< item H, written when not empty
    std::uint32_t encryption = 0;       ///< 4.x+: word at 0x5C; 3.x: word at 0x25

    Bytes build() const;
};

/// Record bytes of one field.
std::size_t recordLengthOf(const BuiltField& field);

/// The .PX file matching `table`'s key.
Bytes primaryIndexFile(const TableBuilder& table);

/// An X file of `table` over the fields at `positions` (1-based, bit 0x8000 = descending);
/// `name` empty makes the single-field kind, else the named kind.
TableBuilder secondaryIndexFile(const TableBuilder& table, const std::vector<std::uint16_t>& positions,
                                bool maintained, const std::string& name = {});

/// One validity record of a .VAL file.
struct BuiltCheck {
    std::uint8_t entry = 0; ///< position in the footer's field list, 0-based
    bool required = false;
    bool lookup = false;
    bool defaultValue = false;
    std::string picture;
};

/// The .VAL file of `table` holding `checks`, in `format` (0x09 to 0x0C).
Bytes validityFile(const TableBuilder& table, const std::vector<BuiltCheck>& checks,
                   std::uint8_t format = 0x0C);

/// Little-endian writes into built bytes, for damaging them.
void put16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void put32(Bytes& bytes, std::size_t offset, std::uint32_t value);
std::uint16_t get16(const Bytes& bytes, std::size_t offset);
std::uint32_t get32(const Bytes& bytes, std::size_t offset);

} // namespace kelvane::conversion::testing
