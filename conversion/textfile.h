#pragma once

#include <string>
#include <string_view>

namespace kelvane::conversion {

/// A text file written line by line, each line ended by CR LF, bytes written as given.
/// Every failure raises IoError with the standard code.
class TextFile {
public:
    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    /// Creates `path` for writing, replacing an existing file. An empty path fails with code 105.
    void create(const std::string& path);
    /// Writes `text` followed by CR LF.
    void writeLine(std::string_view text);
    /// Writes what is buffered and closes the file; reports a failure to write it.
    void close();
    /// Closes the file if open, keeping what was written, and never throws (after a failure).
    void closeQuietly() noexcept;

    bool isOpen() const { return fd_ >= 0; }

private:
    void flush();

    int fd_ = -1;
    std::string buffer_;
};

} // namespace kelvane::conversion
