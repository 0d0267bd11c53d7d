#include "settingserror.h"

namespace kelvane::app {

namespace {

std::string quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

} // namespace

SettingsError SettingsError::createKey(std::string_view section)
{
    return SettingsError("Failed to create key " + std::string(section));
}

SettingsError SettingsError::invalidType(std::string_view name)
{
    return SettingsError("Invalid data type for " + quoted(name));
}

SettingsError SettingsError::getData(std::string_view name)
{
    return SettingsError("Failed to get data for " + quoted(name));
}

SettingsError SettingsError::setData(std::string_view name)
{
    return SettingsError("Failed to set data for " + quoted(name));
}

StoreDamagedError::StoreDamagedError(const std::string& file, int line, const std::string& problem)
    : SettingsError("Settings file \"" + file + "\", line " + std::to_string(line) + ": " + problem),
      line_(line)
{
}

} // namespace kelvane::app
