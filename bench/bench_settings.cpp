// The settings load runs once per start and the save once per close; these measure both on a
// typical store, plus one operation on a very large hand-made file. The store lives in a
// temporary folder, which decides the cost of the flush on save.

#include "settingssession.h"
#include "settingsstore.h"
#include "settingsview.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace kelvane::app;

class BenchWindow : public SettingsView {
public:
    void setLabel1Text(const std::string&) override {}
    void setGauge1Progress(int) override {}
    std::string edit1Text() const override { return "/home/user/data/tables"; }
    void setEdit1Text(const std::string& text) override { edit = text; }
    std::string edit2Text() const override { return "/home/user/src/CreateDb.pas"; }
    void setEdit2Text(const std::string& text) override { edit = text; }
    std::string edit3Text() const override { return "/home/user/db"; }
    void setEdit3Text(const std::string& text) override { edit = text; }
    bool checkBox1Checked() const override { return checked; }
    void setCheckBox1Checked(bool value) override { checked = value; }
    void CheckAuto() override {}
    std::string language() const override { return "italiano"; }
    void setLanguage(const std::string& text) override { edit = text; }

    std::string edit;
    bool checked = true;
};

std::string temporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvane-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}

void settingsLoad(benchmark::State& state)
{
    const std::string folder = temporaryFolder();
    SettingsStore store(folder + "/kelvane/registry.reg");
    BenchWindow window;
    saveSettings(window, store);
    for (auto _ : state) {
        loadSettings(window, store);
        benchmark::DoNotOptimize(window.edit);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(settingsLoad)->Unit(benchmark::kMicrosecond);

// Alternates two windows so that every save really changes all five values and rewrites.
void settingsSave(benchmark::State& state)
{
    const std::string folder = temporaryFolder();
    SettingsStore store(folder + "/kelvane/registry.reg");
    BenchWindow windows[2];
    windows[1].checked = false;
    int turn = 0;
    for (auto _ : state)
        saveSettings(windows[turn ^= 1], store);
    std::filesystem::remove_all(folder);
}
BENCHMARK(settingsSave)->Unit(benchmark::kMicrosecond);

// One write to a 200,000-value key of a 7 MB file: the cost grows with the file, no faster.
void largeFileWrite(benchmark::State& state)
{
    const std::string folder = temporaryFolder();
    const std::string path = folder + "/kelvane/registry.reg";
    std::filesystem::create_directories(folder + "/kelvane");
    {
        std::ofstream out(path, std::ios::binary);
        out << "REGEDIT4\n";
        for (int k = 0; k < 100000; ++k)
            out << "[HKEY_LOCAL_MACHINE\\K" << k << "]\n\"v\"=\"x\"\n";
        out << "[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\AutoSave]\n";
        for (int v = 0; v < 200000; ++v)
            out << "\"v" << v << "\"=\"x\"\n";
    }
    SettingsStore store(path);
    int turn = 0;
    for (auto _ : state)
        store.WriteText("AutoSave", "SourceDir", (turn ^= 1) ? "a" : "b");
    std::filesystem::remove_all(folder);
}
BENCHMARK(largeFileWrite)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
