#pragma once

#include <string>
#include <string_view>

namespace kelvane::app {

/// The settings file on disk: its folder, a lock shared by every copy of the program, and
/// whole-file reads and replacements. The only platform-specific part of the store.
/// One object serves one thread.
class StoreFile {
public:
    enum class ReadStatus { Ok, Missing, Unreadable };

    /// The file at `path`; nothing is touched until the first lock.
    explicit StoreFile(std::string path);
    ~StoreFile();
    StoreFile(const StoreFile&) = delete;
    StoreFile& operator=(const StoreFile&) = delete;

    const std::string& path() const { return path_; }

    /// Makes the folder when missing and takes the exclusive lock, or counts one more holder
    /// when this object holds it already. False when the folder cannot be made or locked.
    bool lock();
    /// Releases one holder; the last one releases the lock.
    void unlock();

    /// The whole file into `bytes`.
    ReadStatus read(std::string& bytes) const;
    /// Replaces the file by `bytes` through a flushed temporary file renamed over it, so the
    /// file is always either the old or the new contents. Needs the lock. False on failure.
    bool replace(std::string_view bytes) const;

private:
    bool makeFolder() const;
    int createTemporary(std::string& name) const;

    std::string path_;
    std::string folder_;
    int folderFd_ = -1;
    int holders_ = 0;
};

} // namespace kelvane::app
