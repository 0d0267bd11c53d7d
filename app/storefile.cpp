#include "storefile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace kelvane::app {

namespace {

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool flockRetrying(int fd, int operation)
{
    while (::flock(fd, operation) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

} // namespace

StoreFile::StoreFile(std::string path) : path_(std::move(path)), folder_(folderOf(path_)) {}

StoreFile::~StoreFile()
{
    if (folderFd_ >= 0)
        ::close(folderFd_);
}

bool StoreFile::makeFolder() const
{
    // Each missing ancestor in turn, as mkdir -p does.
    for (std::size_t slash = folder_.find('/', 1);; slash = folder_.find('/', slash + 1)) {
        const std::string part = folder_.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info {};
    return ::stat(folder_.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool StoreFile::lock()
{
    if (holders_ > 0) {
        ++holders_;
        return true;
    }
    // The folder, not the file, carries the lock: the file is replaced by rename, and a lock on
    // the replaced file would no longer exclude anyone.
    if (!makeFolder())
        return false;
    folderFd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0)
        return false;
    if (!flockRetrying(folderFd_, LOCK_EX)) {
        ::close(folderFd_);
        folderFd_ = -1;
        return false;
    }
    holders_ = 1;
    return true;
}

void StoreFile::unlock()
{
    if (holders_ == 0 || --holders_ > 0)
        return;
    ::close(folderFd_); // closing the last descriptor releases the lock
    folderFd_ = -1;
}

StoreFile::ReadStatus StoreFile::read(std::string& bytes) const
{
    bytes.clear();
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return ReadStatus::Unreadable;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ReadStatus::Ok;
}

int StoreFile::createTemporary(std::string& name) const
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool StoreFile::replace(std::string_view bytes) const
{
    if (holders_ == 0)
        return false;
    std::string temporary;
    const int fd = createTemporary(temporary);
    if (fd < 0)
        return false;
    struct stat old {};
    if (::stat(path_.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777); // the user's choice of permissions survives a save
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), path_.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    ::fsync(folderFd_); // makes the rename itself durable
    return true;
}

} // namespace kelvane::app
