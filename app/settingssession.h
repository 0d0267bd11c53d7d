#pragma once

namespace kelvane::app {

class SettingsStore;
class SettingsView;

/// The settings load of FormCreate: status label, gauge, the three fields, the Auto switch
/// with the Auto rule, then the language. An error stops it at the failing setting; the
/// settings before it are in place and the later ones untouched.
void loadSettings(SettingsView& view, SettingsStore& store);

/// The settings save of FormClose: all five values, in the load's order. An error stops it at
/// the failing setting; the values before it are written.
void saveSettings(const SettingsView& view, SettingsStore& store);

} // namespace kelvane::app
