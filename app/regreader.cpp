#include "regreader.h"

#include "hexdigit.h"
#include "settingserror.h"

namespace kelvane::app {

namespace {

constexpr std::string_view header4 = "REGEDIT4";
constexpr std::string_view header5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// One to eight hexadecimal digits and nothing else, as a 32-bit number.
bool parseHex32(std::string_view s, std::uint32_t& value)
{
    if (s.empty() || s.size() > 8)
        return false;
    value = 0;
    for (char c : s) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return true;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && RegDocument::sameName(s.substr(0, prefix.size()), prefix);
}

std::string littleEndian32(std::uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

} // namespace

RegReader::RegReader(std::string_view bytes, const std::string& fileName) : bytes_(bytes), fileName_(fileName) {}

RegDocument RegReader::read(std::string_view bytes, const std::string& fileName)
{
    RegReader reader(bytes, fileName);
    if (bytes.empty())
        return {};
    reader.readHeader();
    reader.readBody();
    return std::move(reader.document_);
}

void RegReader::fail(const std::string& problem) const { throw StoreDamagedError(fileName_, lineNumber_, problem); }

bool RegReader::nextLine(std::string_view& line)
{
    if (offset_ >= bytes_.size())
        return false;
    std::size_t end = bytes_.find('\n', offset_);
    if (end == std::string_view::npos)
        end = bytes_.size();
    line = bytes_.substr(offset_, end - offset_);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    offset_ = end + 1;
    ++lineNumber_;
    return true;
}

void RegReader::readHeader()
{
    if (bytes_.size() >= 2 && ((bytes_[0] == '\xFF' && bytes_[1] == '\xFE') || (bytes_[0] == '\xFE' && bytes_[1] == '\xFF'))) {
        lineNumber_ = 1;
        fail("the file is UTF-16 text; it must be saved as 8-bit text");
    }
    if (bytes_.substr(0, utf8Bom.size()) == utf8Bom)
        offset_ = utf8Bom.size();
    std::string_view line;
    nextLine(line);
    line = trimmed(line);
    if (line != header4 && line != header5)
        fail("the first line is not \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\"");
}

void RegReader::readBody()
{
    std::string_view line;
    while (nextLine(line)) {
        line = trimmed(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[')
            readKeyLine(line);
        else if (line.front() == '"' || line.front() == '@')
            readValueLine(line);
        else
            fail("the line is neither a key, a value nor a comment");
    }
}

void RegReader::readKeyLine(std::string_view line)
{
    if (line.size() > 1 && line[1] == '-')
        fail("a key deletion has no place in the settings file");
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || close == 0)
        fail("the key name has no closing \"]\"");
    if (close + 1 != line.size())
        fail("unexpected text after the key name");
    const std::string_view path = line.substr(1, close - 1);
    KeyPath parts = RegDocument::splitPath(path);
    if (parts.empty() || path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string_view::npos)
        fail("the key path has an empty key name");
    key_ = &document_.createKey(parts);
    keyName_ = RegDocument::foldedPath(parts, parts.size());
}

void RegReader::readValueLine(std::string_view line)
{
    if (!key_)
        fail("a value comes before the first key");
    std::size_t pos = 0;
    std::string valueName;
    if (line.front() == '@')
        pos = 1;
    else
        valueName = readQuoted(line, pos);
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    if (pos >= line.size() || line[pos] != '=')
        fail("the value name is not followed by \"=\"");
    RegValue value = readData(std::move(valueName), trimmed(line.substr(pos + 1)));
    // A name given twice in one key, even in two blocks of it, keeps the later data, as an
    // import would.
    const std::string name = keyName_ + '\n' + RegDocument::folded(value.name);
    const auto [slot, added] = valueIndex_.try_emplace(name, key_->values.size());
    if (added) {
        key_->values.push_back(std::move(value));
    } else {
        RegValue& old = key_->values[slot->second];
        old.type = value.type;
        old.data = std::move(value.data);
    }
}

std::string RegReader::readQuoted(std::string_view line, std::size_t& pos)
{
    // pos is at the opening quote. Only \\ and \" are escapes; any other backslash is kept, so
    // a hand-typed path such as "C:\TEMP" still reads as written.
    std::string text;
    for (std::size_t i = pos + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return text;
        }
        if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"'))
            ++i;
        text += line[i];
    }
    fail("a quoted text has no closing quote");
}

RegValue RegReader::readData(std::string name, std::string_view data)
{
    RegValue value{std::move(name), regSz, {}};
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        value.data = readQuoted(data, pos) + '\0';
        if (pos != data.size())
            fail("unexpected text after the quoted value");
    } else if (startsWithNoCase(data, "dword:")) {
        std::uint32_t number = 0;
        if (!parseHex32(data.substr(6), number))
            fail("a dword value needs 1 to 8 hexadecimal digits");
        value.type = regDword;
        value.data = littleEndian32(number);
    } else if (startsWithNoCase(data, "hex:")) {
        value.type = regBinary;
        value.data = readHexBytes(joinContinuations(data.substr(4)));
    } else if (startsWithNoCase(data, "hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos || !parseHex32(data.substr(4, close - 4), value.type))
            fail("a hex(type) value needs a type of 1 to 8 hexadecimal digits and \"):\"");
        value.data = readHexBytes(joinContinuations(data.substr(close + 2)));
    } else if (data == "-") {
        fail("a value deletion has no place in the settings file");
    } else {
        fail("the value data is not a quoted text, dword: or hex:");
    }
    return value;
}

std::string RegReader::joinContinuations(std::string_view data)
{
    std::string joined(trimmed(data));
    while (!joined.empty() && joined.back() == '\\') {
        joined.pop_back();
        std::string_view next;
        if (!nextLine(next))
            fail("the last line ends with a continuation \"\\\"");
        joined += trimmed(next);
    }
    return joined;
}

std::string RegReader::readHexBytes(std::string_view data)
{
    // Comma-separated bytes; regedit ends a continued line with a comma, so a final comma is
    // allowed.
    std::string bytes;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find(',', start);
        if (end == std::string_view::npos)
            end = data.size();
        const std::string_view token = trimmed(data.substr(start, end - start));
        std::uint32_t byte = 0;
        if (token.size() > 2 || !parseHex32(token, byte))
            fail("a hex byte list holds \"" + std::string(token) + "\", not a byte of 1 or 2 hexadecimal digits");
        bytes += static_cast<char>(byte);
        start = end + 1;
    }
    return bytes;
}

} // namespace kelvane::app
