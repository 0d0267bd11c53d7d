#include "settingssession.h"

#include "settingsstore.h"
#include "settingsview.h"

namespace kelvane::app {

namespace {

// The section is spelled two ways; the store treats both as the one key.
constexpr const char* section = "AutoSave";
constexpr const char* autoSection = "Autosave";

// A Windows path such as C:\TEMP can never exist here: the defaults name the system's
// temporary folder instead.
constexpr const char* defaultSourceDir = "/tmp";
constexpr const char* defaultDestPas = "/tmp/CreateDb.pas";
constexpr const char* defaultDestDatabase = "/tmp";
constexpr bool defaultAutoDest = true;
constexpr const char* defaultLang = "italiano";

} // namespace

void loadSettings(SettingsView& view, SettingsStore& store)
{
    // One hold for the whole load, so another copy's save cannot land halfway through it.
    const SettingsStore::Hold hold(store);
    view.setLabel1Text(" ... ");
    view.setGauge1Progress(0);
    view.setEdit1Text(store.ReadText(section, "SourceDir", defaultSourceDir));
    view.setEdit2Text(store.ReadText(section, "DestPas", defaultDestPas));
    view.setEdit3Text(store.ReadText(section, "DestDatabase", defaultDestDatabase));
    view.setCheckBox1Checked(store.ReadFlag(autoSection, "AutoDest", defaultAutoDest));
    view.CheckAuto();
    view.setLanguage(store.ReadText(section, "Lang", defaultLang));
}

void saveSettings(const SettingsView& view, SettingsStore& store)
{
    // One hold for the whole save: of two copies closing together, the later one wins whole.
    const SettingsStore::Hold hold(store);
    store.WriteText(section, "SourceDir", view.edit1Text());
    store.WriteText(section, "DestPas", view.edit2Text());
    store.WriteText(section, "DestDatabase", view.edit3Text());
    store.WriteFlag(autoSection, "AutoDest", view.checkBox1Checked());
    store.WriteText(section, "Lang", view.language());
}

} // namespace kelvane::app
