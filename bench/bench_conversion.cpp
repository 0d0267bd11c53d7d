// bench_conversion [TABLES]: converts a folder of TABLES copies of the corpus tables
// (default 2000) with the full run, and reads just the header bytes of every table and
// companion (the floor). Prints time per table for both, their ratio, and the peak memory
// of a run at two folder sizes.

#include "conversionrun.h"
#include "quietwindow.h"
#include "dirlist.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace kelvane::conversion;

namespace {


std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

struct SourceTable {
    fs::path db;
    std::vector<fs::path> companions; // .PX, .Xhh, .XGn, .VAL (blobs and trees are never read)
};

// Every table of the corpus that converts, with the companions the reader looks at.
std::vector<SourceTable> corpusTables()
{
    std::vector<SourceTable> tables;
    for (const auto& entry : fs::recursive_directory_iterator(KELVANE_CORPUS_DIR)) {
        if (!entry.is_regular_file() || upper(entry.path().extension().string()) != ".DB")
            continue;
        SourceTable table{entry.path(), {}};
        const std::string stem = upper(entry.path().stem().string());
        for (const auto& other : fs::directory_iterator(entry.path().parent_path())) {
            const std::string ext = upper(other.path().extension().string());
            if (upper(other.path().stem().string()) != stem || ext == ".DB" || ext == ".MB" || ext.rfind(".Y", 0) == 0)
                continue;
            table.companions.push_back(other.path());
        }
        tables.push_back(std::move(table));
    }
    std::sort(tables.begin(), tables.end(), [](auto& a, auto& b) { return a.db < b.db; });
    return tables;
}

void linkOrCopy(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::create_hard_link(from, to, error);
    if (error)
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

// A folder of `count` tables named T00000.DB ..., each a copy of a corpus table with its companions.
void makeFolder(const fs::path& folder, int count, const std::vector<SourceTable>& sources)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const SourceTable& source = sources[static_cast<std::size_t>(i) % sources.size()];
        char stem[16];
        std::snprintf(stem, sizeof stem, "T%05d", i);
        linkOrCopy(source.db, folder / (std::string(stem) + ".DB"));
        for (const fs::path& companion : source.companions)
            linkOrCopy(companion, folder / (std::string(stem) + upper(companion.extension().string())));
    }
}

// The floor: open every table file and companion once and read only its header bytes.
std::size_t readHeaders(const fs::path& folder)
{
    std::size_t total = 0;
    std::vector<char> buffer(64 * 1024);
    for (const std::string& name : listDirectory(folder.string())) {
        const int fd = ::open((folder / name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ssize_t n = ::read(fd, buffer.data(), 0x58);
        if (n == 0x58) {
            const std::size_t headerSize =
                static_cast<unsigned char>(buffer[2]) | static_cast<std::size_t>(static_cast<unsigned char>(buffer[3])) << 8;
            if (headerSize > 0x58)
                n += ::pread(fd, buffer.data() + 0x58, std::min(headerSize, buffer.size()) - 0x58, 0x58);
        }
        total += static_cast<std::size_t>(std::max<ssize_t>(n, 0));
        ::close(fd);
    }
    return total;
}

void convert(const fs::path& folder, const fs::path& unit)
{
    QuietWindow window(folder.string(), unit.string());
    ParadoxTable table;
    ConversionRun run(window, table);
    run.SpeedButton4Click();
}

template <typename F> double medianSeconds(int repetitions, F&& work)
{
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Peak resident memory, in KiB, of a child process that converts `folder`.
long peakMemoryOfRun(const fs::path& folder, const fs::path& unit)
{
    const pid_t child = fork();
    if (child == 0) {
        convert(folder, unit);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const std::vector<SourceTable> sources = corpusTables();
    const fs::path work = fs::temp_directory_path() / "kelvane-bench";
    const fs::path big = work / "big", small = work / "small", unit = work / "CreateDb.pas";
    makeFolder(big, count, sources);
    makeFolder(small, std::max(1, count / 10), sources);
    std::printf("folder: %d tables (copies of %zu corpus tables)\n", count, sources.size());

    convert(big, unit); // warm the page cache for both measurements
    readHeaders(big);
    const double runSeconds = medianSeconds(5, [&] { convert(big, unit); });
    const double floorSeconds = medianSeconds(5, [&] { readHeaders(big); });
    std::printf("conversion run: %8.2f us/table\n", runSeconds * 1e6 / count);
    std::printf("header floor:   %8.2f us/table\n", floorSeconds * 1e6 / count);
    std::printf("ratio:          %8.2f (goal < 1.5)\n", runSeconds / floorSeconds);
    std::printf("unit written:   %ju bytes\n", static_cast<std::uintmax_t>(fs::file_size(unit)));

    const long smallPeak = peakMemoryOfRun(small, unit);
    const long bigPeak = peakMemoryOfRun(big, unit);
    std::printf("peak memory:    %ld KiB at %d tables, %ld KiB at %d tables\n", smallPeak, std::max(1, count / 10),
                bigPeak, count);
    fs::remove_all(work);
    return 0;
}
