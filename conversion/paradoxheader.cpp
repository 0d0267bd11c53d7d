#include "paradoxheader.h"

#include "paradoxbytes.h"
#include "paradoxproblem.h"

#include <algorithm>
#include <unordered_map>

namespace kelvane::conversion {

namespace {

constexpr std::size_t kFixedPartEnd = 0x58;  // every file kind has these bytes
constexpr std::size_t kDataHeaderEnd = 0x78; // 4.x and later table-layout files add these
constexpr std::uint32_t kPlainHeaderWord = 0xFF00FF00;

// The field names do not end where the data header says: the one defect that a table-name
// slot of the other length may explain, so it alone is worth a second attempt.
class NameEndProblem : public FormatProblem {
  public:
    using FormatProblem::FormatProblem;
};

std::string plural(long n, const char* noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool isIndexFileType(std::uint8_t type) {
    return type == 1 || (type >= 3 && type <= 8);
}

void readFixedPart(std::span<const std::uint8_t> bytes, ParadoxHeader& h, HeaderRole role) {
    if (bytes.size() < kFixedPartEnd) {
        const std::string size = plural(static_cast<long>(bytes.size()), "byte");
        throw FormatProblem(role == HeaderRole::Table ? "too short to be a Paradox table (" + size + ")"
                                                      : "too short: " + size);
    }
    ByteCursor c(bytes);
    h.recordSize = c.seek(0x00).u16();
    h.headerSize = c.u16();
    h.fileType = c.u8();
    h.blockSizeKiB = c.u8();
    h.firstIndexedField = c.seek(0x15).u8();
    h.fieldCount = c.seek(0x21).s16();
    h.keyCount = c.s16();
    h.version = c.seek(0x39).u8();
    h.indexFlags = c.seek(0x55).u8();
}

void checkFileType(const ParadoxHeader& h, HeaderRole role) {
    const std::uint8_t type = h.fileType;
    if (role == HeaderRole::Table) {
        if (type == 0 || type == 2)
            return;
        if (isIndexFileType(type))
            throw FormatProblem("Paradox index file, not a table (file type byte " + hexValue(type) + ")");
        throw FormatProblem("not a Paradox table (file type byte " + hexValue(type) + ")");
    }
    if (type != 3 && type != 5 && type != 6 && type != 8)
        throw FormatProblem("file type byte " + hexValue(type) + " is not that of a secondary index");
}

void checkVersionAndBlocks(const ParadoxHeader& h) {
    if (h.version < 0x03 || h.version > 0x0C)
        throw FormatProblem("unknown Paradox version (" + hexValue(h.version) + ")");
    if (h.blockSizeKiB < 1 || h.blockSizeKiB > 32)
        throw FormatProblem("invalid block size byte " + std::to_string(h.blockSizeKiB) +
                            " (allowed 1 to 32)");
    if (h.recordSize == 0)
        throw FormatProblem("record size 0 is invalid");
    // A block has a 6-byte header and holds at least one record.
    const std::size_t blockBytes = std::size_t{h.blockSizeKiB} * 1024;
    if (h.recordSize > blockBytes - 6)
        throw FormatProblem("record size " + std::to_string(h.recordSize) + " does not fit a block of " +
                            std::to_string(blockBytes) + " bytes");
}

void checkCounts(const ParadoxHeader& h, HeaderRole role) {
    const int n = h.fieldCount;
    const int k = h.keyCount;
    if (role == HeaderRole::SecondaryIndex) {
        // Indexed fields plus key copies or tuple references, plus the block number.
        if (k < 1 || n != k + 1 || n > 255)
            throw FormatProblem("header counts disagree (field count " + std::to_string(n) +
                                ", key field count " + std::to_string(k) + ")");
        return;
    }
    if (n < 1 || n > 255)
        throw FormatProblem("header counts disagree (field count " + std::to_string(n) +
                            ", allowed 1 to 255)");
    const int maxKey = std::min(n, 16);
    if (k < 0 || k > maxKey)
        throw FormatProblem("header counts disagree (key field count " + std::to_string(k) +
                            ", allowed 0 to " + std::to_string(maxKey) + ")");
    if (h.fileType == 0 && k == 0)
        throw FormatProblem("header counts disagree (keyed table with no key fields)");
    if (h.fileType == 2 && k > 0)
        throw FormatProblem("header counts disagree (unkeyed table with " + plural(k, "key field") + ")");
}

std::size_t fixedPartSize(const ParadoxHeader& h) {
    return h.hasDataHeader() ? kDataHeaderEnd : kFixedPartEnd;
}

void checkHeaderSize(const ParadoxHeader& h, std::size_t available) {
    const std::size_t fixedPart = fixedPartSize(h);
    if (h.headerSize < fixedPart)
        throw FormatProblem("header size " + std::to_string(h.headerSize) +
                            " is smaller than its fixed part (" + std::to_string(fixedPart) + " bytes)");
    if (h.headerSize > available)
        throw FormatProblem("truncated (header size " + std::to_string(h.headerSize) + ", file holds " +
                            plural(static_cast<long>(available), "byte") + ")");
}

void readDescriptors(std::span<const std::uint8_t> area, ParadoxHeader& h) {
    ByteCursor c(area, fixedPartSize(h));
    std::size_t recordBytes = 0;
    h.descriptors.resize(static_cast<std::size_t>(h.fieldCount));
    for (std::size_t i = 0; i < h.descriptors.size(); ++i) {
        h.descriptors[i].type = c.u8();
        h.descriptors[i].size = c.u8();
        if (!c.ok())
            throw FormatProblem("field descriptors run past the header");
        recordBytes += checkedRecordLength(h.descriptors[i], i + 1);
    }
    if (recordBytes != h.recordSize)
        throw FormatProblem("record size " + std::to_string(h.recordSize) + " does not match the fields (" +
                            plural(static_cast<long>(recordBytes), "byte") + ")");
}

void checkNamesDistinct(const std::vector<std::string>& names) {
    std::unordered_map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty())
            throw FormatProblem("field " + std::to_string(i + 1) + " has an empty name");
        const auto [it, added] = seen.emplace(upperAscii(names[i]), i + 1);
        if (!added)
            throw FormatProblem("duplicate field name " + quoted(names[i]) + " (fields " +
                                std::to_string(it->second) + " and " + std::to_string(i + 1) + ")");
    }
}

void checkVersionWords(std::span<const std::uint8_t> area, const ParadoxHeader& h) {
    ByteCursor c(area, 0x58);
    const std::uint16_t first = c.u16();
    const std::uint16_t second = c.u16();
    const std::uint16_t expected = static_cast<std::uint16_t>(0x0100 + h.version);
    if (first != expected || second != expected)
        throw FormatProblem("version words " + hexValue(first, 4) + " and " + hexValue(second, 4) +
                            " do not match version " + hexValue(h.version));
}

void checkFieldIds(std::span<const std::uint8_t> area, const ParadoxHeader& h) {
    const std::uint16_t hiFieldId = ByteCursor(area, 0x64).u16();
    std::unordered_map<std::uint16_t, std::size_t> seen;
    for (std::size_t i = 0; i < h.fieldNumbers.size(); ++i) {
        const std::uint16_t id = h.fieldNumbers[i];
        if (id == 0 || id >= hiFieldId)
            throw FormatProblem("field " + std::to_string(i + 1) + " has the invalid number " +
                                std::to_string(id) + " (allowed 1 to " +
                                std::to_string(hiFieldId > 0 ? hiFieldId - 1 : 0) + ")");
        const auto [it, added] = seen.emplace(id, i + 1);
        if (!added)
            throw FormatProblem("fields " + std::to_string(it->second) + " and " + std::to_string(i + 1) +
                                " have the same number " + std::to_string(id));
    }
}

void readNumbersAndSortOrder(std::span<const std::uint8_t> area, ParadoxHeader& h, HeaderRole role,
                             std::size_t namesEnd) {
    ByteCursor c(area, 0x66);
    const std::size_t numbersAt = std::size_t{c.u16()} + 0x58;
    if (namesEnd != numbersAt)
        throw NameEndProblem("field names end at " + hexValue(static_cast<std::uint32_t>(namesEnd), 4) +
                             ", the header says " + hexValue(static_cast<std::uint32_t>(numbersAt), 4));
    checkVersionWords(area, h);
    ByteCursor numbers(area, numbersAt);
    h.fieldNumbers.resize(static_cast<std::size_t>(h.fieldCount));
    for (std::uint16_t& number : h.fieldNumbers)
        number = numbers.u16();
    if (!numbers.ok())
        throw FormatProblem("field numbers run past the header");
    if (role == HeaderRole::Table)
        checkFieldIds(area, h);

    ByteCursor sortOrder(area, std::size_t{ByteCursor(area, 0x6E).u16()} + 0x58);
    h.sortOrder = sortOrder.cString();
    if (!sortOrder.ok())
        throw FormatProblem("sort order name runs past the header");
    h.sortOrderEnd = sortOrder.pos();
    const std::uint16_t usedEnd = ByteCursor(area, 0x51).u16();
    if (role == HeaderRole::Table && h.sortOrderEnd != usedEnd)
        throw FormatProblem("sort order name ends at " +
                            hexValue(static_cast<std::uint32_t>(h.sortOrderEnd), 4) + ", the header says " +
                            hexValue(usedEnd, 4));
}

// Items D to G, laid out after the descriptors with a table-name slot of `slotSize` bytes.
void readVariablePart(std::span<const std::uint8_t> area, ParadoxHeader& h, HeaderRole role,
                      std::size_t slotSize) {
    const std::size_t n = static_cast<std::size_t>(h.fieldCount);
    ByteCursor c(area, fixedPartSize(h) + 6 * n + 4);
    h.tableName = c.fixedString(slotSize);
    if (!c.ok())
        throw FormatProblem("table name slot runs past the header");
    h.names.assign(n, {});
    for (std::string& name : h.names) {
        name = c.cString();
        if (!c.ok())
            throw FormatProblem("field names run past the header");
    }
    // Index files repeat a field's name when a key field is also indexed.
    if (role == HeaderRole::Table)
        checkNamesDistinct(h.names);
    if (h.hasDataHeader()) {
        readNumbersAndSortOrder(area, h, role, c.pos());
        return;
    }
    h.fieldNumbers.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        h.fieldNumbers[i] = role == HeaderRole::Table ? static_cast<std::uint16_t>(i + 1) : 0;
}

// The version byte fixes the table-name slot; when the result does not hold together, the
// slot length of the other versions is tried before the header is given up.
void readVariablePartWithRetry(std::span<const std::uint8_t> area, ParadoxHeader& h, HeaderRole role) {
    const std::size_t slotSize = h.version == 0x0C ? 261 : 79;
    try {
        readVariablePart(area, h, role, slotSize);
    } catch (const FormatProblem& first) {
        if (!h.hasDataHeader())
            throw;
        ParadoxHeader retry = h;
        try {
            readVariablePart(area, retry, role, slotSize == 261 ? 79 : 261);
        } catch (const FormatProblem&) {
            if (dynamic_cast<const NameEndProblem*>(&first))
                throw FormatProblem(std::string("unrecognised header layout (") + first.what() + ")");
            throw FormatProblem(first.what());
        }
        h = std::move(retry);
    }
}

void readEncryptionAndCodePage(std::span<const std::uint8_t> area, ParadoxHeader& h) {
    ByteCursor c(area);
    const std::uint32_t oldWord = c.seek(0x25).u32();
    const std::uint8_t sortOrderCode = c.seek(0x29).u8();
    const std::uint8_t auxiliaryPasswords = c.seek(0x3D).u8();
    if (h.hasDataHeader()) {
        const std::uint32_t word = c.seek(0x5C).u32();
        h.encrypted = word != 0 || (oldWord != 0 && oldWord != kPlainHeaderWord);
        h.codePage = c.seek(0x6A).u16();
        h.indexNameOffset = c.seek(0x68).u16();
    } else {
        h.encrypted = oldWord != 0;
        // 3.x headers carry no code page; 0xC0 is the Cyrillic sort order.
        h.codePage = sortOrderCode == 0xC0 ? 866 : 437;
    }
    // Auxiliary passwords exist only on top of a master password.
    h.encrypted = h.encrypted || auxiliaryPasswords > 0;
}

} // namespace

ParadoxHeader parseParadoxHeader(std::span<const std::uint8_t> bytes, HeaderRole role) {
    ParadoxHeader h;
    readFixedPart(bytes, h, role);
    checkFileType(h, role);
    checkVersionAndBlocks(h);
    checkCounts(h, role);
    checkHeaderSize(h, bytes.size());
    const std::span<const std::uint8_t> area = bytes.first(h.headerSize);
    readDescriptors(area, h);
    readVariablePartWithRetry(area, h, role);
    readEncryptionAndCodePage(area, h);
    return h;
}

} // namespace kelvane::conversion
