#include "paradoxval.h"

#include "paradoxbytes.h"
#include "paradoxproblem.h"

#include <unordered_set>

namespace kelvane::conversion {

namespace {

constexpr std::size_t kBodyStart = 0x35;
constexpr std::size_t kLookupPart = 0x1A + 0x36; // lookup table name, then its settings

// The field list the file keeps at its end: a copy of the table's numbers and descriptors.
struct Footer {
    std::vector<std::uint16_t> numbers;
    std::vector<FieldDescriptor> descriptors;
};

// One validity record (a 0x1C-byte fixed part, then optional values) as far as the table
// structure needs it.
struct Check {
    std::size_t entry = 0;
    bool required = false;
};

std::string plural(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " field" : " fields");
}

std::string hex32(std::size_t value) {
    return hexValue(static_cast<std::uint32_t>(value), 4);
}

// Whether `count` NUL-terminated names fill exactly the bytes from `at` to the end.
bool namesFill(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t count) {
    ByteCursor c(bytes, at);
    for (std::size_t i = 0; i < count && c.ok(); ++i)
        c.cString();
    return c.ok() && c.pos() == bytes.size();
}

Footer readFooter(std::span<const std::uint8_t> bytes, std::size_t footerAt, std::uint8_t format) {
    if (footerAt < kBodyStart || !fitsIn(bytes.size(), footerAt, 6))
        throw FormatProblem("footer offset " + hex32(footerAt) + " lies outside the file");
    ByteCursor c(bytes, footerAt);
    const std::size_t count = c.u16();
    c.u16(); // key field count, repeated from the table
    const std::size_t namesLength = c.u16();
    // Plain size_t arithmetic cannot overflow here: every term is below 2^20.
    if (footerAt + 6 + 4 * count + namesLength != bytes.size())
        throw FormatProblem("footer of " + plural(count) + " does not end at the end of the file");
    Footer footer;
    footer.numbers.resize(count);
    for (std::uint16_t& number : footer.numbers)
        number = c.u16();
    footer.descriptors.resize(count);
    for (FieldDescriptor& d : footer.descriptors) {
        d.type = c.u8();
        d.size = c.u8();
    }
    const std::size_t slot = format == 0x0C ? 261 : 79;
    const std::size_t otherSlot = slot == 261 ? 79 : 261;
    const bool fits = (namesLength >= slot && namesFill(bytes, c.pos() + slot, count)) ||
                      (namesLength >= otherSlot && namesFill(bytes, c.pos() + otherSlot, count));
    if (!fits)
        throw FormatProblem("field names do not fill the footer");
    return footer;
}

std::size_t valueLength(const Footer& footer, std::size_t entry) {
    return checkedRecordLength(footer.descriptors[entry], entry + 1);
}

Check readCheck(ByteCursor& c, const Footer& footer, std::size_t index) {
    const std::string which = "validity record " + std::to_string(index + 1);
    ByteCursor fixed = c;
    Check check;
    check.entry = fixed.u8();
    const std::uint8_t pictureLength = fixed.u8();
    const std::uint8_t required = fixed.u8();
    fixed.u8(); // lookup options
    const bool lookup = fixed.u32() != 0;
    fixed.u32(); // run-time pointer
    const bool minimum = fixed.u32() != 0;
    const bool maximum = fixed.u32() != 0;
    const bool defaultValue = fixed.u32() != 0;
    const bool picture = fixed.u32() != 0;
    if (!fixed.ok())
        throw FormatProblem(which + " runs past its section");
    if (check.entry >= footer.numbers.size())
        throw FormatProblem(which + " refers to field entry " + std::to_string(check.entry + 1) + " of " +
                            std::to_string(footer.numbers.size()));
    if (required > 1)
        throw FormatProblem(which + " has the required byte " + hexValue(required));
    check.required = required == 1;
    std::size_t variable = lookup ? kLookupPart : 0;
    const int values = int{minimum} + int{maximum} + int{defaultValue};
    if (values > 0)
        variable += static_cast<std::size_t>(values) * valueLength(footer, check.entry);
    if (picture)
        variable += pictureLength;
    c = fixed;
    if (!c.skip(variable).ok())
        throw FormatProblem(which + " runs past its section");
    return check;
}

std::vector<Check> readBody(std::span<const std::uint8_t> bytes, std::size_t count, std::size_t limit,
                            const Footer& footer) {
    ByteCursor c(bytes.first(limit), kBodyStart);
    std::vector<Check> checks;
    for (std::size_t i = 0; i < count; ++i)
        checks.push_back(readCheck(c, footer, i));
    if (c.pos() != limit)
        throw FormatProblem("validity records end at " + hex32(c.pos()) + ", their section at " +
                            hex32(limit));
    return checks;
}

void checkNumbersDistinct(const Footer& footer) {
    std::unordered_set<std::uint16_t> seen;
    for (std::uint16_t number : footer.numbers)
        if (!seen.insert(number).second)
            throw FormatProblem("field number " + std::to_string(number) +
                                " appears twice in its field list");
}

// Every footer entry a check refers to must be a field of the table, unchanged.
void checkAgainstTable(const std::vector<Check>& checks, const Footer& footer, const ParadoxHeader& table) {
    for (const Check& check : checks) {
        const std::uint16_t number = footer.numbers[check.entry];
        std::size_t position = 0;
        while (position < table.fieldNumbers.size() && table.fieldNumbers[position] != number)
            ++position;
        if (position == table.fieldNumbers.size())
            throw MismatchProblem("the table has no field number " + std::to_string(number));
        if (table.descriptors[position] != footer.descriptors[check.entry])
            throw MismatchProblem("field " + std::to_string(position + 1) + " has another type");
    }
}

} // namespace

std::vector<std::uint16_t> readRequiredFieldNumbers(std::span<const std::uint8_t> bytes,
                                                    const ParadoxHeader& table) {
    if (bytes.size() < kBodyStart)
        throw FormatProblem("too short: " + std::to_string(bytes.size()) + " bytes");
    ByteCursor c(bytes);
    const std::uint8_t format = c.seek(0x01).u8();
    const std::size_t count = c.u8();
    if (format == 0x01)
        return {}; // the 3.x layout is undocumented; its checks are not used
    if (format < 0x09 || format > 0x0C)
        throw FormatProblem("unknown format " + hexValue(format));
    const std::size_t footerAt = c.seek(0x09).u32();
    const std::size_t integrityAt = c.u32();
    const Footer footer = readFooter(bytes, footerAt, format);
    if (integrityAt != 0 && (integrityAt < kBodyStart || integrityAt > footerAt))
        throw FormatProblem("referential integrity offset " + hex32(integrityAt) + " lies outside the body");
    checkNumbersDistinct(footer);
    const std::vector<Check> checks = readBody(bytes, count, integrityAt ? integrityAt : footerAt, footer);
    checkAgainstTable(checks, footer, table);
    std::vector<std::uint16_t> required;
    for (const Check& check : checks)
        if (check.required)
            required.push_back(footer.numbers[check.entry]);
    return required;
}

} // namespace kelvane::conversion
