#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvane::app {

/// Registry value types as the export format numbers them.
enum RegType : std::uint32_t {
    regNone = 0,
    regSz = 1,
    regExpandSz = 2,
    regBinary = 3,
    regDword = 4,
    regMultiSz = 7,
};

/// One named value: its type and its raw data bytes (a text value includes its NUL).
struct RegValue {
    std::string name;
    std::uint32_t type = regNone;
    std::string data;

    bool operator==(const RegValue&) const = default;
};

/// A key path as its components, root first, each spelled as stored.
using KeyPath = std::vector<std::string>;

/// One key of the file with the values listed under it.
struct RegKey {
    KeyPath path;
    std::vector<RegValue> values;

    bool operator==(const RegKey&) const = default;
};

/// The keys and values of one registry file, in file order. Names compare without regard to
/// ASCII case; a key or value keeps the spelling it was created with.
class RegDocument {
public:
    /// The listed keys in file order.
    const std::vector<RegKey>& keys() const { return keys_; }

    /// Whether the key exists: listed, or the parent of a listed key.
    bool hasKey(const KeyPath& path) const;
    /// The listed key with that path, or null.
    const RegKey* findKey(const KeyPath& path) const;
    /// The listed key with that path, created (with its parents' stored spelling) when missing.
    RegKey& createKey(const KeyPath& path);

    /// The value of that name in `key`, or null.
    static const RegValue* findValue(const RegKey& key, std::string_view name);
    /// Stores `value` in `key`, replacing a value of the same name but keeping its spelling.
    /// Returns false when the key already held exactly that.
    static bool setValue(RegKey& key, RegValue value);

    /// Splits a backslash-separated path; empty components are dropped.
    static KeyPath splitPath(std::string_view path);
    /// Compares two names without regard to ASCII case.
    static bool sameName(std::string_view a, std::string_view b);
    /// The first `depth` components joined by "\\" and folded to lower case: equal exactly
    /// when the paths name the same key.
    static std::string foldedPath(const KeyPath& path, std::size_t depth);
    /// `name` folded to lower case.
    static std::string folded(std::string_view name);

private:
    std::vector<RegKey> keys_;
    // Lookups stay fast however large a hand-made file is.
    std::unordered_map<std::string, std::size_t> listed_; // folded path -> index in keys_
    std::unordered_map<std::string, std::string> spelling_; // folded path of every existing key -> its last name
};

} // namespace kelvane::app
