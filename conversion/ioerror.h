#pragma once

#include "tablestructure.h"

#include <string>

namespace kelvane::conversion {

/// A file error carrying the standard input/output code and its message.
class IoError : public ConversionError {
public:
    explicit IoError(int code);

    /// The standard input/output code (2 file not found, 5 access denied, 101 disk full...).
    int code() const { return code_; }

private:
    int code_;
};

/// The standard message of an input/output code ("File access denied" for 5, "I/O error 32"...).
std::string ioErrorMessage(int code);

/// The standard input/output code for a system error number.
int ioCodeFromErrno(int error);

} // namespace kelvane::conversion
