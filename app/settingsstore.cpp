#include "settingsstore.h"

#include "hexdigit.h"
#include "regreader.h"
#include "regwriter.h"
#include "settingserror.h"

#include <cstdint>

namespace kelvane::app {

namespace {

const KeyPath programKey = {"HKEY_LOCAL_MACHINE", "Software", "Kelvane"};

bool isDecimal(char c) { return c >= '0' && c <= '9'; }

// "$" and hexadecimal digits of any count whose value fits in 32 bits.
std::optional<std::int32_t> hexNumber(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// An optional sign and decimal digits whose value lies in the 32-bit signed range.
std::optional<std::int32_t> decimalNumber(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (char c : text) {
        if (!isDecimal(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

// The number a flag's text stands for: leading spaces, then a decimal or a "$" hexadecimal
// number, nothing after it; "0x" at the very start counts as "$".
std::optional<std::int32_t> flagNumber(std::string text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.replace(0, 2, "$");
    std::string_view rest = text;
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '$')
        return hexNumber(rest.substr(1));
    return decimalNumber(rest);
}

// Names that would break a line of the file cannot be stored.
bool fitsOnALine(std::string_view name) { return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos; }

} // namespace

SettingsStore::SettingsStore(std::string path) : file_(std::move(path)) {}

KeyPath SettingsStore::sectionPath(std::string_view section) const
{
    KeyPath path = programKey;
    for (std::string& part : RegDocument::splitPath(section))
        path.push_back(std::move(part));
    return path;
}

RegDocument SettingsStore::load(std::string_view name, Access access) const
{
    std::string bytes;
    switch (file_.read(bytes)) {
    case StoreFile::ReadStatus::Missing:
        return {};
    case StoreFile::ReadStatus::Unreadable:
        throw access == Access::Read ? SettingsError::getData(name) : SettingsError::setData(name);
    case StoreFile::ReadStatus::Ok:
        break;
    }
    return RegReader::read(bytes, file_.path());
}

std::optional<RegValue> SettingsStore::fetch(std::string_view section, std::string_view name)
{
    const Hold hold(*this);
    if (!hold.held())
        return std::nullopt; // the program key cannot be opened: every read gives its default

    RegDocument document = load(name, Access::Read);
    if (!document.hasKey(programKey)) {
        // Reads create the program key too. When that fails the key stays missing, which
        // gives the default all the same.
        document.createKey(programKey);
        file_.replace(RegWriter::write(document));
        return std::nullopt;
    }
    const RegKey* key = document.findKey(sectionPath(section));
    const RegValue* value = key ? RegDocument::findValue(*key, name) : nullptr;
    if (!value)
        return std::nullopt;
    return *value;
}

std::string SettingsStore::textOf(const RegValue& value, std::string_view name)
{
    if (value.data.empty())
        return {};
    if (value.type != regSz && value.type != regExpandSz)
        throw SettingsError::invalidType(name);
    return value.data.substr(0, value.data.find('\0'));
}

std::string SettingsStore::ReadText(std::string_view section, std::string_view name, std::string_view defaultText)
{
    const std::optional<RegValue> value = fetch(section, name);
    if (!value)
        return std::string(defaultText);
    return textOf(*value, name);
}

bool SettingsStore::ReadFlag(std::string_view section, std::string_view name, bool defaultFlag)
{
    const std::optional<RegValue> value = fetch(section, name);
    if (!value)
        return defaultFlag;
    const std::optional<std::int32_t> number = flagNumber(textOf(*value, name));
    return number ? *number != 0 : defaultFlag;
}

void SettingsStore::WriteText(std::string_view section, std::string_view name, std::string_view text)
{
    if (!fitsOnALine(section))
        throw SettingsError::createKey(section);
    if (!fitsOnALine(name))
        throw SettingsError::setData(name);
    const Hold hold(*this);
    if (!hold.held())
        throw SettingsError::createKey(section);

    RegDocument document = load(name, Access::Write);
    const KeyPath path = sectionPath(section);
    const bool newKey = !document.findKey(path);
    if (!document.hasKey(programKey))
        document.createKey(programKey);
    RegKey& key = document.createKey(path);
    const bool changed = RegDocument::setValue(key, RegValue{std::string(name), regSz, std::string(text) + '\0'});
    if (!newKey && !changed)
        return;
    if (!file_.replace(RegWriter::write(document)))
        throw newKey ? SettingsError::createKey(section) : SettingsError::setData(name);
}

void SettingsStore::WriteFlag(std::string_view section, std::string_view name, bool flag)
{
    WriteText(section, name, flag ? "1" : "0");
}

} // namespace kelvane::app
