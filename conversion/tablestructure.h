#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvane::conversion {

/// Index option flags as the table component reports them.
enum IndexOption : std::uint8_t {
    ixPrimary = 0x01,
    ixUnique = 0x02,
    ixDescending = 0x04,
    ixCaseInsensitive = 0x08,
    ixExpression = 0x10,
};

/// Field data type codes (the target library's TFieldType order).
enum FieldType : std::uint8_t {
    ftUnknown = 0, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor,
};

/// One field of an open table. Names are raw bytes from the table, never re-encoded.
struct FieldDef {
    std::string name;
    std::uint8_t dataType = ftUnknown;
    std::uint16_t size = 0;
    bool required = false;

    bool operator==(const FieldDef&) const = default;
};

/// One index of an open table; `fields` holds the key field names joined by ";".
struct IndexDef {
    std::string name;
    std::string fields;
    std::uint8_t options = 0;

    bool operator==(const IndexDef&) const = default;
};

/// What the conversion reads of one table.
struct TableStructure {
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;

    bool operator==(const TableStructure&) const = default;
};

/// A failure that ends a conversion; the message is what the user sees.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A table that cannot be opened or whose structure cannot be read.
class TableError : public ConversionError {
public:
    using ConversionError::ConversionError;
};

} // namespace kelvane::conversion
