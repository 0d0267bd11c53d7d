#include "paradoxfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane::conversion {

namespace {

// Covers the usual header sizes (0x0800 and 0x1000) in one read.
constexpr std::size_t kFirstRead = 0x1000;

// Fixed English texts, so that messages do not depend on the user's locale.
std::string reasonFor(int error) {
    switch (error) {
    case ENOENT:
        return "No such file or directory";
    case EACCES:
        return "Permission denied";
    case EPERM:
        return "Operation not permitted";
    case EISDIR:
        return "Is a directory";
    case ENOTDIR:
        return "Not a directory";
    case ELOOP:
        return "Too many levels of symbolic links";
    case ENAMETOOLONG:
        return "File name too long";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EIO:
        return "Input/output error";
    default:
        return "system error " + std::to_string(error);
    }
}

// An open descriptor that closes itself.
class OpenFile {
  public:
    explicit OpenFile(const std::string& path) {
        // Non-blocking, so that a FIFO named like a table cannot stall the open.
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0)
            throw FileProblem(reasonFor(errno));
        struct stat info {};
        if (::fstat(fd_, &info) != 0) {
            const int error = errno;
            ::close(fd_);
            throw FileProblem(reasonFor(error));
        }
        if (!S_ISREG(info.st_mode)) {
            ::close(fd_);
            throw FileProblem(S_ISDIR(info.st_mode) ? reasonFor(EISDIR) : std::string("not a regular file"));
        }
        size_ = static_cast<std::size_t>(info.st_size);
    }
    ~OpenFile() { ::close(fd_); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    std::size_t size() const { return size_; }

    // Appends up to `count` bytes at the end of `bytes`; stops early only at the end of the file.
    void readInto(std::vector<std::uint8_t>& bytes, std::size_t count) {
        std::size_t done = bytes.size();
        bytes.resize(done + count);
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd_, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw FileProblem(reasonFor(errno));
            if (got == 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(done);
    }

  private:
    int fd_ = -1;
    std::size_t size_ = 0;
};

} // namespace

std::vector<std::uint8_t> readHeaderArea(const std::string& path) {
    OpenFile file(path);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kFirstRead);
    file.readInto(bytes, kFirstRead);
    if (bytes.size() == kFirstRead) {
        const std::size_t headerSize = static_cast<std::size_t>(bytes[2] | (bytes[3] << 8));
        if (headerSize > bytes.size())
            file.readInto(bytes, headerSize - bytes.size());
    }
    return bytes;
}

std::vector<std::uint8_t> readSmallFile(const std::string& path, std::size_t limit) {
    OpenFile file(path);
    if (file.size() > limit)
        throw FileProblem("larger than " + std::to_string(limit) + " bytes");
    std::vector<std::uint8_t> bytes;
    file.readInto(bytes, file.size());
    return bytes;
}

} // namespace kelvane::conversion
