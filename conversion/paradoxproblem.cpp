#include "paradoxproblem.h"

#include <cstdio>

namespace kelvane::conversion {

std::string hexValue(std::uint32_t value, int minDigits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", minDigits, static_cast<unsigned>(value));
    return text;
}

} // namespace kelvane::conversion
