// Fuzz target for the Paradox structure reader.
//
// Input: the bytes of the table file, then any number of companion files, each introduced by
// the marker "\n@KVF:" followed by its extension (PX, VAL, X02, XG0, ...) and a line feed.
// A plain .db file is a table without companions, so real tables seed the fuzzer as they are.

#include "paradoxreader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using kelvane::conversion::ParadoxFileBytes;

constexpr std::string_view kMarker = "\n@KVF:";
constexpr std::size_t kMaxExtension = 8;

std::vector<std::uint8_t> bytesOf(std::string_view part) {
    return std::vector<std::uint8_t>(part.begin(), part.end());
}

// Splits off the next part at the marker; `rest` keeps what follows the marker.
std::string_view nextPart(std::string_view& rest) {
    const std::size_t marker = rest.find(kMarker);
    const std::string_view part = rest.substr(0, marker);
    rest = marker == std::string_view::npos ? std::string_view() : rest.substr(marker + kMarker.size());
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const ParadoxFileBytes table{"FUZZ.DB", bytesOf(nextPart(rest))};
    std::vector<ParadoxFileBytes> files;
    while (!rest.empty()) {
        const std::string_view part = nextPart(rest);
        const std::size_t newline = part.find('\n');
        if (newline == std::string_view::npos || newline > kMaxExtension)
            continue;
        files.push_back({"FUZZ." + std::string(part.substr(0, newline)), bytesOf(part.substr(newline + 1))});
    }
    try {
        kelvane::conversion::parseParadoxTable(table, files);
    } catch (const kelvane::conversion::TableError&) {
        // A clear rejection is a correct answer; anything else escapes and is a finding.
    }
    return 0;
}
