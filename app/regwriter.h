#pragma once

#include "regdocument.h"

#include <string>

namespace kelvane::app {

/// Writes a document in the registry export format with the "REGEDIT4" header and LF line
/// ends, so that RegReader reads back the same keys, values, types and bytes.
class RegWriter {
public:
    /// The whole file text.
    static std::string write(const RegDocument& document);

private:
    static void writeKey(std::string& out, const RegKey& key);
    static void writeValue(std::string& out, const RegValue& value);
    static void writeHex(std::string& out, std::string line, const std::string& data);
};

} // namespace kelvane::app
