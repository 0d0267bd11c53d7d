#include "regdocument.h"

#include <algorithm>

namespace kelvane::app {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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

std::string RegDocument::folded(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

std::string RegDocument::foldedPath(const KeyPath& path, std::size_t depth)
{
    std::string out;
    for (std::size_t i = 0; i < depth && i < path.size(); ++i)
        out += (i == 0 ? "" : "\\") + folded(path[i]);
    return out;
}

bool RegDocument::hasKey(const KeyPath& path) const { return spelling_.count(foldedPath(path, path.size())) != 0; }

const RegKey* RegDocument::findKey(const KeyPath& path) const
{
    const auto found = listed_.find(foldedPath(path, path.size()));
    return found == listed_.end() ? nullptr : &keys_[found->second];
}

RegKey& RegDocument::createKey(const KeyPath& path)
{
    const std::string name = foldedPath(path, path.size());
    if (const auto found = listed_.find(name); found != listed_.end())
        return keys_[found->second];
    // A parent that exists keeps the spelling it already has, wherever it is written.
    RegKey key;
    for (std::size_t depth = 1; depth <= path.size(); ++depth)
        key.path.push_back(spelling_.try_emplace(foldedPath(path, depth), path[depth - 1]).first->second);
    listed_.emplace(name, keys_.size());
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
