#include "textfile.h"

#include "ioerror.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kelvane::conversion {

namespace {
constexpr std::size_t bufferLimit = 64 * 1024;
}

TextFile::~TextFile()
{
    closeQuietly();
}

void TextFile::create(const std::string& path)
{
    closeQuietly();
    if (path.empty())
        throw IoError(105);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw IoError(ioCodeFromErrno(errno));
    fd_ = fd;
    buffer_.clear();
}

void TextFile::writeLine(std::string_view text)
{
    if (fd_ < 0)
        throw IoError(105);
    buffer_.append(text);
    buffer_.append("\r\n");
    if (buffer_.size() >= bufferLimit)
        flush();
}

void TextFile::flush()
{
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int code = ioCodeFromErrno(errno);
            buffer_.erase(0, done);
            throw IoError(code);
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

void TextFile::close()
{
    if (fd_ < 0)
        return;
    try {
        flush();
    } catch (...) {
        closeQuietly();
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw IoError(ioCodeFromErrno(errno));
}

void TextFile::closeQuietly() noexcept
{
    if (fd_ < 0)
        return;
    try {
        flush();
    } catch (...) {
        // The file keeps what could be written; the caller already reports the first failure.
    }
    ::close(fd_);
    fd_ = -1;
    buffer_.clear();
}

} // namespace kelvane::conversion
