#pragma once

#include "regdocument.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace kelvane::app {

/// Reads the registry export format: a "REGEDIT4" or "Windows Registry Editor Version 5.00"
/// header, "[key]" lines and "name"=data lines, LF or CR LF line ends, 8-bit text.
class RegReader {
public:
    /// Reads `bytes`, the contents of `fileName`; throws StoreDamagedError naming the line and
    /// the problem when they are not a registry file. An empty file holds no keys.
    static RegDocument read(std::string_view bytes, const std::string& fileName);

private:
    RegReader(std::string_view bytes, const std::string& fileName);

    void readHeader();
    void readBody();
    void readKeyLine(std::string_view line);
    void readValueLine(std::string_view line);
    std::string readQuoted(std::string_view line, std::size_t& pos);
    RegValue readData(std::string name, std::string_view data);
    std::string readHexBytes(std::string_view data);
    std::string joinContinuations(std::string_view data);
    bool nextLine(std::string_view& line);
    [[noreturn]] void fail(const std::string& problem) const;

    std::string_view bytes_;
    const std::string& fileName_;
    std::size_t offset_ = 0;
    int lineNumber_ = 0;
    RegDocument document_;
    RegKey* key_ = nullptr; // stays valid until the next key line adds a key
    std::string keyName_;   // the folded path of key_
    std::unordered_map<std::string, std::size_t> valueIndex_; // folded key path "\n" folded name -> index
};

} // namespace kelvane::app
