#include "paradoxfield.h"

#include "paradoxproblem.h"

#include <array>

namespace kelvane::conversion {

namespace {

constexpr std::array<ParadoxFieldType, 17> kFieldTypes{{
    {0x01, ftString, 1, 255, 0, false, true},      // A Alpha
    {0x02, ftDate, 4, 4, 4, false, false},         // D Date
    {0x03, ftSmallint, 2, 2, 2, false, false},     // S Short
    {0x04, ftInteger, 4, 4, 4, false, false},      // I Long integer
    {0x05, ftCurrency, 8, 8, 8, false, false},     // $ Money
    {0x06, ftFloat, 8, 8, 8, false, false},        // N Number
    {0x09, ftBoolean, 1, 1, 1, false, false},      // L Logical
    {0x0C, ftMemo, 11, 250, 0, true, false},       // M Memo: a leader of at least one byte
    {0x0D, ftBlob, 10, 250, 0, true, false},       // B Binary
    {0x0E, ftFmtMemo, 10, 250, 0, true, false},    // F Formatted memo
    {0x0F, ftParadoxOle, 10, 250, 0, true, false}, // O OLE
    {0x10, ftGraphic, 10, 250, 0, true, false},    // G Graphic
    {0x14, ftTime, 4, 4, 4, false, false},         // T Time
    {0x15, ftDateTime, 8, 8, 8, false, false},     // @ Timestamp
    {0x16, ftAutoInc, 4, 4, 4, false, false},      // + Autoincrement
    {0x17, ftBCD, 0, 32, 17, false, true},         // # BCD: size byte = decimals, always 17 bytes
    {0x18, ftBytes, 1, 255, 0, false, true},       // Y Bytes
}};

std::string allowedSizes(const ParadoxFieldType& type) {
    if (type.minSize == type.maxSize)
        return std::to_string(type.minSize);
    return std::to_string(type.minSize) + " to " + std::to_string(type.maxSize);
}

} // namespace

const ParadoxFieldType* findFieldType(std::uint8_t code) {
    for (const ParadoxFieldType& type : kFieldTypes)
        if (type.code == code)
            return &type;
    return nullptr;
}

std::size_t checkedRecordLength(const FieldDescriptor& descriptor, std::size_t number) {
    const ParadoxFieldType* type = findFieldType(descriptor.type);
    if (!type)
        throw FormatProblem("unknown field type " + hexValue(descriptor.type) + " (field " +
                            std::to_string(number) + ")");
    if (descriptor.size < type->minSize || descriptor.size > type->maxSize)
        throw FormatProblem("invalid size byte " + std::to_string(descriptor.size) + " for field " +
                            std::to_string(number) + " of type " + hexValue(descriptor.type) + " (allowed " +
                            allowedSizes(*type) + ")");
    return type->fixedLength ? type->fixedLength : descriptor.size;
}

FieldDef reportedField(const std::string& name, const FieldDescriptor& descriptor) {
    const ParadoxFieldType* type = findFieldType(descriptor.type);
    FieldDef field;
    field.name = name;
    if (!type)
        return field;
    field.dataType = type->reported;
    if (type->blob)
        field.size = static_cast<std::uint16_t>(descriptor.size - 10);
    else if (type->sized)
        field.size = descriptor.size;
    return field;
}

} // namespace kelvane::conversion
