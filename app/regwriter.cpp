#include "regwriter.h"

namespace kelvane::app {

namespace {

// regedit wraps hex lists before this column.
constexpr std::size_t hexLineWidth = 76;

std::string escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

// A text value can be written between quotes when it is one NUL-terminated line.
bool fitsQuoted(const RegValue& value)
{
    const std::string& data = value.data;
    if (value.type != regSz || data.empty() || data.back() != '\0')
        return false;
    return data.find_first_of(std::string_view("\0\r\n", 3)) == data.size() - 1;
}

std::string hexByte(unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    return {digits[byte >> 4], digits[byte & 0x0F]};
}

std::string hexNumber(std::uint32_t number)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[number & 0x0F]);
        number >>= 4;
    } while (number != 0);
    return text;
}

std::uint32_t dwordOf(const std::string& data)
{
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = (number << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
    return number;
}

} // namespace

std::string RegWriter::write(const RegDocument& document)
{
    std::string out = "REGEDIT4\n";
    for (const RegKey& key : document.keys())
        writeKey(out, key);
    return out;
}

void RegWriter::writeKey(std::string& out, const RegKey& key)
{
    out += "\n[";
    for (std::size_t i = 0; i < key.path.size(); ++i)
        out += (i == 0 ? "" : "\\") + key.path[i];
    out += "]\n";
    for (const RegValue& value : key.values)
        writeValue(out, value);
}

void RegWriter::writeValue(std::string& out, const RegValue& value)
{
    std::string line = value.name.empty() ? std::string("@=") : "\"" + escaped(value.name) + "\"=";
    if (fitsQuoted(value)) {
        out += line + "\"" + escaped(std::string_view(value.data).substr(0, value.data.size() - 1)) + "\"\n";
    } else if (value.type == regDword && value.data.size() == 4) {
        const std::string digits = hexNumber(dwordOf(value.data));
        out += line + "dword:" + std::string(8 - digits.size(), '0') + digits + "\n";
    } else {
        line += value.type == regBinary ? std::string("hex:") : "hex(" + hexNumber(value.type) + "):";
        writeHex(out, std::move(line), value.data);
    }
}

void RegWriter::writeHex(std::string& out, std::string line, const std::string& data)
{
    for (std::size_t i = 0; i < data.size(); ++i) {
        line += hexByte(static_cast<unsigned char>(data[i]));
        if (i + 1 == data.size())
            break;
        line += ',';
        if (line.size() >= hexLineWidth) {
            out += line + "\\\n";
            line = "  ";
        }
    }
    out += line + "\n";
}

} // namespace kelvane::app
