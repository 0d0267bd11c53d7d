#pragma once

#include <cstdint>
#include <string>

namespace kelvane::conversion {

/// The generated unit's name for a field data type code ("ftString" for 1).
std::string Type2Str(std::uint8_t dataType);

/// The generated unit's option list for an index option set ("ixPrimary,ixUnique" for 0x03).
std::string Opt2Str(std::uint8_t options);

} // namespace kelvane::conversion
