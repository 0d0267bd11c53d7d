// Several copies of the program saving and loading at once: every load sees one whole save,
// the file stays well-formed, and the last save wins whole.

#include "regreader.h"
#include "settingssession.h"
#include "settingsstore.h"
#include "settingsview.h"
#include "test_settings_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace kelvane::app {
namespace {

using testing::readFile;
using testing::TempFolder;

// A window whose five settings all name one writer and one round.
class StampWindow : public SettingsView {
public:
    StampWindow(int writer, int round)
        : stamp("writer " + std::to_string(writer) + " round " + std::to_string(round)), checked(writer % 2 == 0)
    {
    }
    StampWindow() = default;

    void setLabel1Text(const std::string&) override {}
    void setGauge1Progress(int) override {}
    std::string edit1Text() const override { return stamp + " src"; }
    void setEdit1Text(const std::string& text) override { edit[0] = text; }
    std::string edit2Text() const override { return stamp + " pas"; }
    void setEdit2Text(const std::string& text) override { edit[1] = text; }
    std::string edit3Text() const override { return stamp + " db"; }
    void setEdit3Text(const std::string& text) override { edit[2] = text; }
    bool checkBox1Checked() const override { return checked; }
    void setCheckBox1Checked(bool value) override { checked = value; }
    void CheckAuto() override {}
    std::string language() const override { return stamp; }
    void setLanguage(const std::string& text) override { lang = text; }

    // Whether a load gave one writer's whole save (or a fresh store's defaults).
    bool consistent() const
    {
        if (lang == "italiano")
            return edit[0] == "/tmp" && checked;
        const bool evenWriter = lang.size() > 7 && (lang[7] - '0') % 2 == 0;
        return edit[0] == lang + " src" && edit[1] == lang + " pas" && edit[2] == lang + " db" &&
               checked == evenWriter;
    }

    std::string stamp, lang;
    std::string edit[3];
    bool checked = false;
};

constexpr int rounds = 60;

// Saves `rounds` times as `writer`; returns whether every save succeeded.
bool saveRepeatedly(const std::string& path, int writer)
{
    try {
        SettingsStore store(path);
        for (int round = 0; round < rounds; ++round)
            saveSettings(StampWindow(writer, round), store);
        return true;
    } catch (...) {
        return false;
    }
}

TEST(SettingsConcurrency, ProcessesSavingAtOnceLeaveAWholeLastSave)
{
    TempFolder folder;
    const std::string path = folder.file("kelvane/registry.reg");
    pid_t children[2];
    for (int writer = 0; writer < 2; ++writer) {
        children[writer] = fork();
        ASSERT_GE(children[writer], 0);
        if (children[writer] == 0)
            _exit(saveRepeatedly(path, writer + 1) ? 0 : 1);
    }
    // Meanwhile a third copy keeps starting up.
    SettingsStore store(path);
    for (int i = 0; i < rounds; ++i) {
        StampWindow loaded;
        loadSettings(loaded, store);
        ASSERT_TRUE(loaded.consistent()) << loaded.lang << " / " << loaded.edit[0];
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_NO_THROW(RegReader::read(readFile(path), path));
    StampWindow last;
    loadSettings(last, store);
    EXPECT_TRUE(last.consistent());
    EXPECT_TRUE(last.lang == "writer 1 round 59" || last.lang == "writer 2 round 59") << last.lang;
}

TEST(SettingsConcurrency, ThreadsWithTheirOwnStoresExcludeEachOther)
{
    TempFolder folder;
    const std::string path = folder.file("kelvane/registry.reg");
    bool ok[3] = {};
    std::thread a([&] { ok[0] = saveRepeatedly(path, 3); });
    std::thread b([&] { ok[1] = saveRepeatedly(path, 4); });
    std::thread c([&] {
        SettingsStore store(path);
        ok[2] = true;
        for (int i = 0; i < rounds; ++i) {
            StampWindow loaded;
            loadSettings(loaded, store);
            ok[2] = ok[2] && loaded.consistent();
        }
    });
    a.join();
    b.join();
    c.join();
    EXPECT_TRUE(ok[0] && ok[1] && ok[2]);
    SettingsStore store(path);
    StampWindow last;
    loadSettings(last, store);
    EXPECT_TRUE(last.consistent());
}

} // namespace
} // namespace kelvane::app
