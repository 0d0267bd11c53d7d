#include "test_paradoxbuilder.h"

#include <algorithm>
#include <stdexcept>

namespace kelvane::conversion::testing {

std::size_t recordLengthOf(const BuiltField& field) {
    switch (field.type) {
    case 0x02:
    case 0x04:
    case 0x14:
    case 0x16:
        return 4;
    case 0x03:
        return 2;
    case 0x05:
    case 0x06:
    case 0x15:
        return 8;
    case 0x09:
        return 1;
    case 0x17:
        return 17;
    default:
        return field.size;
    }
}

void put16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void put32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    put16(bytes, offset, static_cast<std::uint16_t>(value));
    put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t get16(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

std::uint32_t get32(const Bytes& bytes, std::size_t offset) {
    return get16(bytes, offset) | (static_cast<std::uint32_t>(get16(bytes, offset + 2)) << 16);
}

namespace {

void putString(Bytes& bytes, std::size_t& at, const std::string& text) {
    for (char c : text)
        bytes.at(at++) = static_cast<std::uint8_t>(c);
    bytes.at(at++) = 0;
}

std::uint16_t numberOf(const TableBuilder& t, std::size_t i) {
    return t.fields[i].number ? t.fields[i].number : static_cast<std::uint16_t>(i + 1);
}

} // namespace

Bytes TableBuilder::build() const {
    const bool dataHeader = version >= 5;
    const std::size_t n = fields.size();
    Bytes b(0x10000, 0);
    std::size_t recordSize = 0;
    for (const BuiltField& f : fields)
        recordSize += recordLengthOf(f);
    put16(b, 0x00, static_cast<std::uint16_t>(recordSize));
    b[0x04] = static_cast<std::uint8_t>(fileType >= 0 ? fileType : (keyCount > 0 ? 0 : 2));
    b[0x05] = blockSizeKiB;
    b[0x15] = firstIndexedField;
    put16(b, 0x21, static_cast<std::uint16_t>(n));
    put16(b, 0x23, static_cast<std::uint16_t>(keyCount));
    put32(b, 0x25, dataHeader ? 0xFF00FF00u : encryption);
    b[0x39] = version;
    b[0x55] = indexFlags;
    std::size_t at = dataHeader ? 0x78 : 0x58;
    if (dataHeader) {
        put16(b, 0x58, static_cast<std::uint16_t>(0x0100 + version));
        put16(b, 0x5A, static_cast<std::uint16_t>(0x0100 + version));
        put32(b, 0x5C, encryption);
        std::uint16_t hi = 0;
        for (std::size_t i = 0; i < n; ++i)
            hi = std::max(hi, numberOf(*this, i));
        put16(b, 0x64, static_cast<std::uint16_t>(hi + 1));
        put16(b, 0x6A, codePage);
    }
    for (const BuiltField& f : fields) {
        b[at++] = f.type;
        b[at++] = f.size;
    }
    at += 4 + 4 * n; // pointers, garbage on disk
    const std::size_t slot = slotSize ? static_cast<std::size_t>(slotSize) : (version == 0x0C ? 261 : 79);
    std::copy(tableName.begin(), tableName.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    at += slot;
    for (const BuiltField& f : fields)
        putString(b, at, f.name);
    if (dataHeader) {
        put16(b, 0x66, static_cast<std::uint16_t>(at - 0x58));
        for (std::size_t i = 0; i < n; ++i, at += 2)
            put16(b, at, numberOf(*this, i));
        put16(b, 0x6E, static_cast<std::uint16_t>(at - 0x58));
        putString(b, at, sortOrder);
        if (!indexName.empty()) {
            put16(b, 0x68, static_cast<std::uint16_t>(at - 0x58));
            putString(b, at, indexName);
        }
        put16(b, 0x51, static_cast<std::uint16_t>(at));
    }
    const std::size_t size = headerSize ? headerSize : at;
    if (at > size)
        throw std::logic_error("built header does not fit its header size");
    put16(b, 0x02, static_cast<std::uint16_t>(size));
    b.resize(size);
    return b;
}

Bytes primaryIndexFile(const TableBuilder& table) {
    Bytes b(0x0800, 0);
    std::size_t recordSize = 6;
    for (int k = 0; k < table.keyCount; ++k) {
        const BuiltField& f = table.fields[static_cast<std::size_t>(k)];
        recordSize += recordLengthOf(f);
        b[0x58 + 2 * static_cast<std::size_t>(k)] = f.type;
        b[0x59 + 2 * static_cast<std::size_t>(k)] = f.size;
    }
    put16(b, 0x00, static_cast<std::uint16_t>(recordSize));
    put16(b, 0x02, 0x0800);
    b[0x04] = 1;
    b[0x05] = 4; // a .PX may use another block size than its table
    put16(b, 0x21, static_cast<std::uint16_t>(table.keyCount));
    b[0x39] = table.version;
    return b;
}

TableBuilder secondaryIndexFile(const TableBuilder& table, const std::vector<std::uint16_t>& positions,
                                bool maintained, const std::string& name) {
    TableBuilder x;
    x.version = table.version;
    x.tableName = table.tableName;
    x.sortOrder = table.sortOrder;
    x.codePage = table.codePage;
    x.blockSizeKiB = table.blockSizeKiB;
    x.indexName = name;
    x.fileType = name.empty() ? (maintained ? 5 : 3) : (maintained ? 8 : 6);
    x.firstIndexedField = static_cast<std::uint8_t>(positions.front() & 0x7FFF);
    std::uint16_t entry = 0;
    for (std::uint16_t position : positions) {
        BuiltField f = table.fields.at((position & 0x7FFFu) - 1u);
        f.number = position;
        x.fields.push_back(f);
        ++entry;
    }
    std::vector<BuiltField> tail;
    if (maintained) {
        for (int k = 0; k < table.keyCount; ++k)
            tail.push_back(table.fields[static_cast<std::size_t>(k)]);
        tail.push_back({"Blk Num", 0x03, 2});
    } else {
        tail = {{"Tup No", 0x04, 4}, {"Blk Num", 0x03, 2}, {"Tup Offset", 0x03, 2}};
    }
    for (BuiltField f : tail) {
        f.number = ++entry;
        x.fields.push_back(f);
    }
    x.keyCount = static_cast<int>(x.fields.size()) - 1;
    return x;
}

Bytes validityFile(const TableBuilder& table, const std::vector<BuiltCheck>& checks, std::uint8_t format) {
    Bytes b(0x35, 0);
    b[0x01] = format;
    b[0x02] = static_cast<std::uint8_t>(checks.size());
    for (const BuiltCheck& check : checks) {
        Bytes record(0x1C, 0);
        record[0x00] = check.entry;
        record[0x01] = static_cast<std::uint8_t>(check.picture.empty() ? 0 : check.picture.size() + 1);
        record[0x02] = check.required ? 1 : 0;
        put32(record, 0x04, check.lookup ? 1 : 0);
        put32(record, 0x14, check.defaultValue ? 1 : 0);
        put32(record, 0x18, check.picture.empty() ? 0 : 1);
        if (check.lookup)
            record.resize(record.size() + 0x1A + 0x36, 0);
        if (check.defaultValue)
            record.resize(record.size() + recordLengthOf(table.fields.at(check.entry)), 0);
        for (char c : check.picture)
            record.push_back(static_cast<std::uint8_t>(c));
        if (!check.picture.empty())
            record.push_back(0);
        b.insert(b.end(), record.begin(), record.end());
    }
    put32(b, 0x09, static_cast<std::uint32_t>(b.size()));
    const std::size_t slot = format == 0x0C ? 261 : 79;
    std::size_t namesLength = slot;
    for (const BuiltField& f : table.fields)
        namesLength += f.name.size() + 1;
    Bytes footer(6, 0);
    put16(footer, 0, static_cast<std::uint16_t>(table.fields.size()));
    put16(footer, 2, static_cast<std::uint16_t>(table.keyCount));
    put16(footer, 4, static_cast<std::uint16_t>(namesLength));
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        const std::uint16_t number =
            table.fields[i].number ? table.fields[i].number : static_cast<std::uint16_t>(i + 1);
        footer.push_back(static_cast<std::uint8_t>(number));
        footer.push_back(static_cast<std::uint8_t>(number >> 8));
    }
    for (const BuiltField& f : table.fields) {
        footer.push_back(f.type);
        footer.push_back(f.size);
    }
    footer.resize(footer.size() + slot, 0);
    for (const BuiltField& f : table.fields) {
        footer.insert(footer.end(), f.name.begin(), f.name.end());
        footer.push_back(0);
    }
    b.insert(b.end(), footer.begin(), footer.end());
    return b;
}

} // namespace kelvane::conversion::testing
