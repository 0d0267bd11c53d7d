// The settings load of FormCreate and the save of FormClose against a stand-in for the window.

#include "settingserror.h"
#include "settingssession.h"
#include "settingsstore.h"
#include "settingsview.h"
#include "test_settings_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvane::app {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

// Holds what the window's controls would and logs every change, with the click handler that
// a change of the Auto switch runs.
class FakeWindow : public SettingsView {
public:
    void setLabel1Text(const std::string& text) override { log.push_back("Label1=" + text); }
    void setGauge1Progress(int progress) override { log.push_back("Gauge1=" + std::to_string(progress)); }
    std::string edit1Text() const override { return edit1; }
    void setEdit1Text(const std::string& text) override { set(edit1, "Edit1", text); }
    std::string edit2Text() const override { return edit2; }
    void setEdit2Text(const std::string& text) override { set(edit2, "Edit2", text); }
    std::string edit3Text() const override { return edit3; }
    void setEdit3Text(const std::string& text) override { set(edit3, "Edit3", text); }
    bool checkBox1Checked() const override { return checked; }
    void setCheckBox1Checked(bool value) override
    {
        log.push_back(std::string("CheckBox1=") + (value ? "1" : "0"));
        if (value != checked) {
            checked = value;
            log.push_back("CheckBox1Click");
        }
    }
    void CheckAuto() override { log.push_back("CheckAuto"); }
    std::string language() const override { return lang; }
    void setLanguage(const std::string& text) override { set(lang, "Lang", text); }

    std::string edit1 = "before1", edit2 = "before2", edit3 = "before3", lang;
    bool checked = false;
    std::vector<std::string> log;

private:
    void set(std::string& field, const char* name, const std::string& text)
    {
        field = text;
        log.push_back(std::string(name) + "=" + text);
    }
};

class SettingsSessionTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.file("kelvane/registry.reg");
    SettingsStore store{path};
    FakeWindow window;
};

TEST_F(SettingsSessionTest, FreshSystemLoadsDefaultsAndFirstCloseWritesAllFive)
{
    loadSettings(window, store);
    const std::vector<std::string> expected = {"Label1= ... ",        "Gauge1=0",       "Edit1=/tmp",
                                               "Edit2=/tmp/CreateDb.pas", "Edit3=/tmp",  "CheckBox1=1",
                                               "CheckBox1Click",      "CheckAuto",      "Lang=italiano"};
    EXPECT_EQ(window.log, expected);
    EXPECT_EQ(readFile(path), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane]\n");

    saveSettings(window, store);
    EXPECT_EQ(readFile(path), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane]\n"
                              "\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]\n"
                              "\"SourceDir\"=\"/tmp\"\n\"DestPas\"=\"/tmp/CreateDb.pas\"\n"
                              "\"DestDatabase\"=\"/tmp\"\n\"AutoDest\"=\"1\"\n\"Lang\"=\"italiano\"\n");
}

TEST_F(SettingsSessionTest, CheckAutoRunsEvenWhenTheSwitchKeepsItsState)
{
    window.checked = true;
    loadSettings(window, store);
    EXPECT_EQ(window.log[5], "CheckBox1=1");
    EXPECT_EQ(window.log[6], "CheckAuto");
}

TEST_F(SettingsSessionTest, SavedValuesLoadBackAsTheyWereEmptyFieldsIncluded)
{
    window.edit1 = "";
    window.edit2 = " /home/u/My Unit.pas ";
    window.edit3 = "";
    window.checked = false;
    window.lang = "";
    saveSettings(window, store);

    FakeWindow next;
    next.checked = true;
    loadSettings(next, store);
    EXPECT_EQ(next.edit1, "");
    EXPECT_EQ(next.edit2, " /home/u/My Unit.pas ");
    EXPECT_EQ(next.edit3, "");
    EXPECT_FALSE(next.checked);
    EXPECT_EQ(next.lang, "");
}

TEST_F(SettingsSessionTest, NonTextAutoDestStopsTheLoadAndTheNextSaveRepairsIt)
{
    writeFile(path, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]\n\"SourceDir\"=\"/src\"\n"
                    "\"DestPas\"=\"/u.pas\"\n\"DestDatabase\"=\"/db\"\n\"AutoDest\"=dword:00000001\n"
                    "\"Lang\"=\"english\"\n");
    try {
        loadSettings(window, store);
        ADD_FAILURE() << "the load did not stop";
    } catch (const SettingsError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'AutoDest'");
    }
    EXPECT_EQ(window.edit1, "/src");
    EXPECT_EQ(window.edit2, "/u.pas");
    EXPECT_EQ(window.edit3, "/db");
    EXPECT_FALSE(window.checked); // as before the load
    EXPECT_EQ(window.log.back(), "Edit3=/db"); // neither the switch, CheckAuto nor the language
    EXPECT_EQ(window.lang, "");

    saveSettings(window, store);
    EXPECT_EQ(readFile(path), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]\n\"SourceDir\"=\"/src\"\n"
                              "\"DestPas\"=\"/u.pas\"\n\"DestDatabase\"=\"/db\"\n\"AutoDest\"=\"0\"\n"
                              "\"Lang\"=\"\"\n");
}

TEST_F(SettingsSessionTest, StoreThatCannotBeCreatedLoadsDefaultsAndFailsTheSaveAtTheFirstValue)
{
    writeFile(folder.file("plainfile"), "x");
    SettingsStore unavailable(folder.file("plainfile/kelvane/registry.reg"));
    loadSettings(window, unavailable);
    EXPECT_EQ(window.edit1, "/tmp");
    EXPECT_EQ(window.edit2, "/tmp/CreateDb.pas");
    EXPECT_TRUE(window.checked);
    EXPECT_EQ(window.lang, "italiano");
    try {
        saveSettings(window, unavailable);
        ADD_FAILURE() << "the save succeeded";
    } catch (const SettingsError& error) {
        EXPECT_STREQ(error.what(), "Failed to create key AutoSave");
    }
}

TEST_F(SettingsSessionTest, DamagedStoreStopsTheLoadAndTheSaveWithoutTouchingIt)
{
    const std::string damaged = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]\n\"SourceDir\"=/x\n";
    writeFile(path, damaged);
    EXPECT_THROW(loadSettings(window, store), StoreDamagedError);
    EXPECT_EQ(window.edit1, "before1");
    EXPECT_THROW(saveSettings(window, store), StoreDamagedError);
    EXPECT_EQ(readFile(path), damaged);
}

} // namespace
} // namespace kelvane::app
