#include "paradoxcompanions.h"

#include <algorithm>
#include <string_view>

namespace kelvane::conversion {

namespace {

enum class CompanionKind { None, PrimaryIndex, Validity, SecondaryIndex };

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperAscii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), upper);
    return result;
}

bool isHexDigit(char c) {
    c = upper(c);
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

std::string_view stemOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string extensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : upperAscii(name.substr(dot + 1));
}

// X plus two hex digits (single-field index) or XG plus one character (named index).
CompanionKind kindOf(const std::string& extension) {
    if (extension == "PX")
        return CompanionKind::PrimaryIndex;
    if (extension == "VAL")
        return CompanionKind::Validity;
    if (extension.size() == 3 && extension[0] == 'X' &&
        (extension[1] == 'G' || (isHexDigit(extension[1]) && isHexDigit(extension[2]))))
        return CompanionKind::SecondaryIndex;
    return CompanionKind::None;
}

bool sameStem(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}

// A cheap first test for a pass over a whole listing: the stem's length, a dot, and an
// extension of two (PX) or three (VAL, Xhh, XGn) characters.
bool mayBeCompanion(std::string_view name, std::string_view stem) {
    return name.size() >= stem.size() + 3 && name.size() <= stem.size() + 4 && name[stem.size()] == '.';
}

// Where names differ only in letter case, the byte-wise smallest one wins.
void keepSmallest(std::string& chosen, const std::string& candidate) {
    if (chosen.empty() || candidate < chosen)
        chosen = candidate;
}

void addCandidate(ParadoxCompanions& found, const std::string& name) {
    const std::string extension = extensionOf(name);
    switch (kindOf(extension)) {
    case CompanionKind::PrimaryIndex:
        keepSmallest(found.primaryIndex, name);
        break;
    case CompanionKind::Validity:
        keepSmallest(found.validity, name);
        break;
    case CompanionKind::SecondaryIndex: {
        auto same = std::find_if(found.secondaryIndexes.begin(), found.secondaryIndexes.end(),
                                 [&](const std::string& other) { return extensionOf(other) == extension; });
        if (same == found.secondaryIndexes.end())
            found.secondaryIndexes.push_back(name);
        else
            keepSmallest(*same, name);
        break;
    }
    case CompanionKind::None:
        break;
    }
}

void sortSecondary(ParadoxCompanions& found) {
    std::sort(found.secondaryIndexes.begin(), found.secondaryIndexes.end(),
              [](const std::string& a, const std::string& b) { return extensionOf(a) < extensionOf(b); });
}

} // namespace

CompanionIndex::CompanionIndex(const std::vector<std::string>& entries) {
    for (const std::string& name : entries)
        if (kindOf(extensionOf(name)) != CompanionKind::None)
            byStem_[upperAscii(stemOf(name))].push_back(name);
}

ParadoxCompanions CompanionIndex::companionsOf(const std::string& tableFileName) const {
    ParadoxCompanions found;
    const auto group = byStem_.find(upperAscii(stemOf(tableFileName)));
    if (group == byStem_.end())
        return found;
    for (const std::string& name : group->second)
        addCandidate(found, name);
    sortSecondary(found);
    return found;
}

ParadoxCompanions CompanionIndex::select(const std::string& tableFileName,
                                         const std::vector<std::string>& entries) {
    ParadoxCompanions found;
    const std::string_view stem = stemOf(tableFileName);
    for (const std::string& name : entries)
        if (mayBeCompanion(name, stem) && sameStem(std::string_view(name).substr(0, stem.size()), stem))
            addCandidate(found, name);
    sortSecondary(found);
    return found;
}

} // namespace kelvane::conversion
