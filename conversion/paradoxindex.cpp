#include "paradoxindex.h"

#include "paradoxbytes.h"
#include "paradoxproblem.h"

#include <algorithm>
#include <vector>

namespace kelvane::conversion {

namespace {

constexpr std::size_t kFixedPartEnd = 0x58;
constexpr std::uint16_t kDescendingBit = 0x8000;
constexpr int kMaxIndexFields = 16;

// Flag byte 0x55 of an X file.
constexpr std::uint8_t kFlagCaseInsensitive = 0x01;
constexpr std::uint8_t kFlagDescending = 0x10;
constexpr std::uint8_t kFlagUnique = 0x20;

constexpr FieldDescriptor kShort{0x03, 2};
constexpr FieldDescriptor kLong{0x04, 4};

std::string joinNames(const ParadoxHeader& table, const std::vector<std::uint16_t>& positions) {
    std::string joined;
    for (std::uint16_t position : positions) {
        if (!joined.empty())
            joined += ';';
        joined += table.names[position - 1u];
    }
    return joined;
}

std::string extensionOf(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return extension;
}

// The number of indexed fields, from the key field count of the X file (its layout differs
// between maintained and non-maintained indexes).
int indexedFieldCount(const ParadoxHeader& x, const ParadoxHeader& table) {
    const bool maintained = x.fileType == 5 || x.fileType == 8;
    if (maintained && table.keyCount < 1)
        throw MismatchProblem("a maintained index needs a keyed table");
    const int m = x.keyCount - (maintained ? table.keyCount : 2);
    if (m < 1 || m > std::min(kMaxIndexFields, table.fieldCount))
        throw MismatchProblem("inconsistent counts: " + std::to_string(m) +
                              " indexed fields for a table of " + std::to_string(table.fieldCount));
    return m;
}

// Table positions of the indexed fields, in key order; `descending` tells whether any of
// them is kept in descending order.
std::vector<std::uint16_t> indexedPositions(const ParadoxHeader& x, const ParadoxHeader& table, int m,
                                            bool& descending) {
    std::vector<std::uint16_t> positions;
    if (!x.hasDataHeader()) {
        if (x.fileType == 6 || x.fileType == 8)
            throw FormatProblem("a named index needs a version 4 or later file");
        if (m != 1)
            throw MismatchProblem("inconsistent counts: " + std::to_string(m) + " indexed fields");
        positions.push_back(x.firstIndexedField);
    } else {
        for (int i = 0; i < m; ++i) {
            const std::uint16_t entry = x.fieldNumbers[static_cast<std::size_t>(i)];
            descending = descending || (entry & kDescendingBit) != 0;
            positions.push_back(static_cast<std::uint16_t>(entry & ~kDescendingBit));
        }
    }
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions[i] < 1 || positions[i] > table.fieldCount)
            throw MismatchProblem("field " + std::to_string(positions[i]) + " does not exist");
        if (std::find(positions.begin(), positions.begin() + static_cast<std::ptrdiff_t>(i), positions[i]) !=
            positions.begin() + static_cast<std::ptrdiff_t>(i))
            throw MismatchProblem("field " + std::to_string(positions[i]) + " is indexed twice");
    }
    if (x.firstIndexedField != positions.front())
        throw FormatProblem("its first indexed field byte " + std::to_string(x.firstIndexedField) +
                            " disagrees with its field list (" + std::to_string(positions.front()) + ")");
    return positions;
}

// The X table holds copies of the indexed fields, then either the table's key fields and a
// block number (maintained) or a record number, block number and offset (non-maintained).
void checkDescriptors(const ParadoxHeader& x, const ParadoxHeader& table,
                      const std::vector<std::uint16_t>& positions) {
    const std::vector<FieldDescriptor>& own = x.descriptors;
    for (std::size_t i = 0; i < positions.size(); ++i)
        if (own[i] != table.descriptors[positions[i] - 1u])
            throw MismatchProblem("field " + std::to_string(positions[i]) + " has another type");
    const std::size_t m = positions.size();
    std::vector<FieldDescriptor> tail;
    if (x.fileType == 5 || x.fileType == 8) {
        for (std::size_t k = 0; k < static_cast<std::size_t>(table.keyCount); ++k)
            if (own[m + k] != table.descriptors[k])
                throw MismatchProblem("key field " + std::to_string(k + 1) + " has another type");
        tail = {kShort};
    } else {
        tail = {kLong, kShort, kShort};
    }
    if (!std::equal(tail.begin(), tail.end(), own.end() - static_cast<std::ptrdiff_t>(tail.size())))
        throw FormatProblem("its record reference fields are not those of its index kind");
}

std::uint8_t optionsOf(const ParadoxHeader& x, bool descending) {
    // 3.x X files have no flag byte.
    const std::uint8_t flags = x.hasDataHeader() ? x.indexFlags : 0;
    std::uint8_t options = 0;
    if (flags & kFlagCaseInsensitive)
        options |= ixCaseInsensitive;
    if ((flags & kFlagDescending) || descending)
        options |= ixDescending;
    if (flags & kFlagUnique)
        options |= ixUnique;
    return options;
}

std::string storedIndexName(std::span<const std::uint8_t> bytes, const ParadoxHeader& x) {
    if (x.indexNameOffset == 0)
        throw FormatProblem("a named index without a name");
    const std::size_t nameAt = std::size_t{x.indexNameOffset} + kFixedPartEnd;
    if (nameAt != x.sortOrderEnd)
        throw FormatProblem("its index name does not follow the sort order name");
    ByteCursor c(bytes.first(x.headerSize), nameAt);
    std::string name = c.cString();
    if (!c.ok())
        throw FormatProblem("its index name runs past the header");
    if (name.empty())
        throw FormatProblem("a named index with an empty name");
    return name;
}

std::string hexPosition(std::uint16_t position) {
    return hexValue(position).substr(2);
}

} // namespace

IndexDef primaryIndexOf(const ParadoxHeader& table) {
    std::vector<std::uint16_t> positions;
    for (int i = 1; i <= table.keyCount; ++i)
        positions.push_back(static_cast<std::uint16_t>(i));
    return IndexDef{"", joinNames(table, positions), ixPrimary | ixUnique};
}

void checkPrimaryIndexFile(std::span<const std::uint8_t> bytes, const ParadoxHeader& table) {
    if (bytes.size() < kFixedPartEnd)
        throw MismatchProblem("too short: " + std::to_string(bytes.size()) + " bytes");
    ByteCursor c(bytes);
    const std::size_t headerSize = c.seek(0x02).u16();
    const std::uint8_t type = c.u8();
    const std::int16_t keyFields = c.seek(0x21).s16();
    if (type != 1)
        throw MismatchProblem("file type byte " + hexValue(type));
    const std::size_t keyCount = static_cast<std::size_t>(table.keyCount);
    if (headerSize > bytes.size() || headerSize < kFixedPartEnd + 2 * keyCount)
        throw MismatchProblem("header size " + std::to_string(headerSize) + " does not fit the file");
    if (keyFields != table.keyCount)
        throw MismatchProblem("it has " + std::to_string(keyFields) + " key fields, the table " +
                              std::to_string(table.keyCount));
    c.seek(kFixedPartEnd);
    for (std::size_t k = 0; k < keyCount; ++k) {
        const FieldDescriptor d{c.u8(), c.u8()};
        if (d != table.descriptors[k])
            throw MismatchProblem("key field " + std::to_string(k + 1) + " has another type");
    }
}

SecondaryIndex readSecondaryIndex(std::span<const std::uint8_t> bytes, const std::string& fileName,
                                  const ParadoxHeader& table) {
    const ParadoxHeader x = parseParadoxHeader(bytes, HeaderRole::SecondaryIndex);
    const int m = indexedFieldCount(x, table);
    bool descending = false;
    const std::vector<std::uint16_t> positions = indexedPositions(x, table, m, descending);
    checkDescriptors(x, table, positions);

    SecondaryIndex index;
    index.named = x.fileType == 6 || x.fileType == 8;
    index.position = positions.front();
    index.definition.options = optionsOf(x, descending);
    const std::string extension = extensionOf(fileName);
    if (index.named) {
        index.orderKey = extension;
        index.definition.name = storedIndexName(bytes, x);
        index.definition.fields = joinNames(table, positions);
        return index;
    }
    if (positions.size() != 1)
        throw MismatchProblem("a single-field index file holds " + std::to_string(positions.size()) +
                              " indexed fields");
    const std::string expected = "X" + hexPosition(index.position);
    if (extension != expected)
        throw MismatchProblem("it indexes field " + std::to_string(index.position) + ", its name says " +
                              extension);
    if (x.indexNameOffset != 0)
        throw FormatProblem("a single-field index with an index name");
    index.definition.name = table.names[index.position - 1u];
    index.definition.fields = index.definition.name;
    return index;
}

} // namespace kelvane::conversion
