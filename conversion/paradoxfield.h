#pragma once

#include "tablestructure.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvane::conversion {

/// One field descriptor of a Paradox header: the type code and its size byte.
struct FieldDescriptor {
    std::uint8_t type = 0;
    std::uint8_t size = 0;

    bool operator==(const FieldDescriptor&) const = default;
};

/// What the table component made of one Paradox field type.
struct ParadoxFieldType {
    std::uint8_t code;
    FieldType reported;
    std::uint8_t minSize;     ///< smallest valid size byte
    std::uint8_t maxSize;     ///< largest valid size byte
    std::uint8_t fixedLength; ///< record bytes, 0 when the size byte gives them
    bool blob;                ///< reported Size is the size byte minus the 10-byte blob reference
    bool sized;               ///< reported Size is the size byte itself
};

/// The type of `code`, or nullptr for a code no Paradox version assigns.
const ParadoxFieldType* findFieldType(std::uint8_t code);

/// Checks `descriptor` (field `number`, 1-based) and returns its record bytes.
/// Throws FormatProblem for an unknown type code or an invalid size byte.
std::size_t checkedRecordLength(const FieldDescriptor& descriptor, std::size_t number);

/// The field definition the table component reports for a checked descriptor.
FieldDef reportedField(const std::string& name, const FieldDescriptor& descriptor);

} // namespace kelvane::conversion
