#pragma once

#include <string>

namespace kelvane::app {

/// Where the settings live: kelvane/registry.reg in the user's configuration folder
/// ($XDG_CONFIG_HOME, else ~/.config), as a local 8-bit path.
std::string defaultStorePath();

} // namespace kelvane::app
