#include "regdocument.h"

#include <algorithm>

namespace kelvane::app {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the first `depth` components of `a` and `b` name the same keys.
bool samePrefix(const KeyPath& a, const KeyPath& b, std::size_t depth)
{
    if (a.size() < depth || b.size() < depth)
        return false;
    for (std::size_t i = 0; i < depth; ++i)
        if (!RegDocument::sameName(a[i], b[i]))
            return false;
    return true;
}

} // namespace

bool RegDocument::sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

KeyPath RegDocument::splitPath(std::string_view path)
{
    KeyPath parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool RegDocument::hasKey(const KeyPath& path) const
{
    return std::any_of(keys_.begin(), keys_.end(),
                       [&](const RegKey& key) { return samePrefix(key.path, path, path.size()); });
}

const RegKey* RegDocument::findKey(const KeyPath& path) const
{
    for (const RegKey& key : keys_)
        if (key.path.size() == path.size() && samePrefix(key.path, path, path.size()))
            return &key;
    return nullptr;
}

RegKey* RegDocument::listedKey(const KeyPath& path) { return const_cast<RegKey*>(findKey(path)); }

std::string RegDocument::storedSpelling(const KeyPath& path, std::size_t depth) const
{
    // A parent that exists keeps the spelling it already has, wherever it is written.
    for (const RegKey& key : keys_)
        if (samePrefix(key.path, path, depth + 1))
            return key.path[depth];
    return path[depth];
}

RegKey& RegDocument::createKey(const KeyPath& path)
{
    if (RegKey* key = listedKey(path))
        return *key;
    RegKey key;
    for (std::size_t i = 0; i < path.size(); ++i)
        key.path.push_back(storedSpelling(path, i));
    keys_.push_back(std::move(key));
    return keys_.back();
}

const RegValue* RegDocument::findValue(const RegKey& key, std::string_view name)
{
    for (const RegValue& value : key.values)
        if (sameName(value.name, name))
            return &value;
    return nullptr;
}

bool RegDocument::setValue(RegKey& key, RegValue value)
{
    for (RegValue& old : key.values) {
        if (!sameName(old.name, value.name))
            continue;
        if (old.type == value.type && old.data == value.data)
            return false;
        old.type = value.type;
        old.data = std::move(value.data);
        return true;
    }
    key.values.push_back(std::move(value));
    return true;
}

} // namespace kelvane::app
