#include "paradoxreader.h"

#include "dirlist.h"
#include "paradoxfile.h"
#include "paradoxheader.h"
#include "paradoxindex.h"
#include "paradoxproblem.h"
#include "paradoxval.h"

#include <algorithm>
#include <functional>

namespace kelvane::conversion {

namespace {

// A .VAL holds at most 255 checks of a few hundred bytes each and its field list.
constexpr std::size_t kValidityFileLimit = 16 * 1024 * 1024;

enum class ReadExtent { HeaderArea, WholeFile };

// Gives the bytes of a companion file, from disk or from memory.
using CompanionLoader = std::function<std::vector<std::uint8_t>(const std::string& name, ReadExtent extent)>;

[[noreturn]] void fail(const std::string& tableFile, const std::string& problem) {
    throw TableError("Table " + quoted(tableFile) + ": " + problem);
}

// The message for a problem of companion `file`, described to the user as `what`.
[[noreturn]] void failCompanion(const std::string& tableFile, const char* what, const std::string& file,
                                const FormatProblem& problem) {
    const bool mismatch = dynamic_cast<const MismatchProblem*>(&problem) != nullptr;
    fail(tableFile, std::string(what) + " " + quoted(file) +
                        (mismatch ? " does not match the table (" : " is damaged (") + problem.what() + ")");
}

std::vector<std::uint8_t> loadCompanion(const CompanionLoader& load, const std::string& tableFile,
                                        const char* what, const std::string& file, ReadExtent extent) {
    try {
        return load(file, extent);
    } catch (const FileProblem& problem) {
        fail(tableFile,
             std::string("cannot open ") + what + " " + quoted(file) + " (" + problem.what() + ")");
    }
}

void applyRequired(TableStructure& structure, const ParadoxHeader& header,
                   const std::vector<std::uint16_t>& requiredNumbers) {
    for (std::size_t i = 0; i < structure.fields.size(); ++i)
        structure.fields[i].required = std::find(requiredNumbers.begin(), requiredNumbers.end(),
                                                 header.fieldNumbers[i]) != requiredNumbers.end();
}

void readValidity(TableStructure& structure, const ParadoxHeader& header, const std::string& tableFile,
                  const std::string& file, const CompanionLoader& load) {
    static constexpr const char* what = "validity file";
    const std::vector<std::uint8_t> bytes = loadCompanion(load, tableFile, what, file, ReadExtent::WholeFile);
    try {
        applyRequired(structure, header, readRequiredFieldNumbers(bytes, header));
    } catch (const FormatProblem& problem) {
        failCompanion(tableFile, what, file, problem);
    }
}

void checkPrimary(const ParadoxHeader& header, const std::string& tableFile, const std::string& file,
                  const CompanionLoader& load) {
    static constexpr const char* what = "primary index file";
    const std::vector<std::uint8_t> bytes =
        loadCompanion(load, tableFile, what, file, ReadExtent::HeaderArea);
    try {
        checkPrimaryIndexFile(bytes, header);
    } catch (const FormatProblem& problem) {
        failCompanion(tableFile, what, file, problem);
    }
}

// Named indexes by extension, then single-field indexes by field position.
void sortSecondary(std::vector<SecondaryIndex>& indexes) {
    std::stable_sort(indexes.begin(), indexes.end(), [](const SecondaryIndex& a, const SecondaryIndex& b) {
        if (a.named != b.named)
            return a.named;
        return a.named ? a.orderKey < b.orderKey : a.position < b.position;
    });
}

std::vector<SecondaryIndex> readSecondaries(const ParadoxHeader& header, const std::string& tableFile,
                                            const std::vector<std::string>& files,
                                            const CompanionLoader& load) {
    static constexpr const char* what = "index file";
    std::vector<SecondaryIndex> indexes;
    for (const std::string& file : files) {
        const std::vector<std::uint8_t> bytes =
            loadCompanion(load, tableFile, what, file, ReadExtent::HeaderArea);
        try {
            indexes.push_back(readSecondaryIndex(bytes, file, header));
        } catch (const FormatProblem& problem) {
            failCompanion(tableFile, what, file, problem);
        }
    }
    sortSecondary(indexes);
    return indexes;
}

TableStructure assemble(std::span<const std::uint8_t> tableBytes, const std::string& tableFile,
                        const ParadoxCompanions& companions, const CompanionLoader& load) {
    ParadoxHeader header;
    try {
        header = parseParadoxHeader(tableBytes, HeaderRole::Table);
    } catch (const FormatProblem& problem) {
        fail(tableFile, problem.what());
    }
    TableStructure structure;
    for (std::size_t i = 0; i < header.descriptors.size(); ++i)
        structure.fields.push_back(reportedField(header.names[i], header.descriptors[i]));
    if (!companions.validity.empty())
        readValidity(structure, header, tableFile, companions.validity, load);
    if (header.keyCount > 0) {
        if (!companions.primaryIndex.empty())
            checkPrimary(header, tableFile, companions.primaryIndex, load);
        structure.indexes.push_back(primaryIndexOf(header));
    }
    for (SecondaryIndex& index : readSecondaries(header, tableFile, companions.secondaryIndexes, load))
        structure.indexes.push_back(std::move(index.definition));
    return structure;
}

TableStructure readFromDisk(const std::string& directory, const std::string& fileName,
                            const ParadoxCompanions& companions) {
    std::vector<std::uint8_t> tableBytes;
    try {
        tableBytes = readHeaderArea(joinPath(directory, fileName));
    } catch (const FileProblem& problem) {
        fail(fileName, std::string("cannot open the file (") + problem.what() + ")");
    }
    const CompanionLoader load = [&directory](const std::string& name, ReadExtent extent) {
        const std::string path = joinPath(directory, name);
        return extent == ReadExtent::WholeFile ? readSmallFile(path, kValidityFileLimit)
                                               : readHeaderArea(path);
    };
    return assemble(tableBytes, fileName, companions, load);
}

} // namespace

TableStructure readParadoxTable(const std::string& directory, const std::string& fileName,
                                const std::vector<std::string>& entries) {
    return readFromDisk(directory, fileName, CompanionIndex::select(fileName, entries));
}

TableStructure readParadoxTable(const std::string& directory, const std::string& fileName,
                                const CompanionIndex& companions) {
    return readFromDisk(directory, fileName, companions.companionsOf(fileName));
}

TableStructure parseParadoxTable(const ParadoxFileBytes& table, const std::vector<ParadoxFileBytes>& files) {
    std::vector<std::string> names;
    for (const ParadoxFileBytes& file : files)
        names.push_back(file.name);
    const CompanionLoader load = [&files](const std::string& name, ReadExtent) {
        const auto found = std::find_if(files.begin(), files.end(),
                                        [&name](const ParadoxFileBytes& file) { return file.name == name; });
        return found->bytes;
    };
    return assemble(table.bytes, table.name, CompanionIndex::select(table.name, names), load);
}

} // namespace kelvane::conversion
