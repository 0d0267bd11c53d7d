#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvane::app {

/// A failed settings operation; the message is what the error box shows.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    /// "Failed to create key %s" with the section name as given.
    static SettingsError createKey(std::string_view section);
    /// "Invalid data type for '%s'" with the value name.
    static SettingsError invalidType(std::string_view name);
    /// "Failed to get data for '%s'" with the value name.
    static SettingsError getData(std::string_view name);
    /// "Failed to set data for '%s'" with the value name.
    static SettingsError setData(std::string_view name);
};

/// The settings file exists but is not a registry file we can read; it is left as it is.
class StoreDamagedError : public SettingsError {
public:
    /// Names the file, the line (1-based) and the problem.
    StoreDamagedError(const std::string& file, int line, const std::string& problem);

    int line() const { return line_; }

private:
    int line_;
};

} // namespace kelvane::app
