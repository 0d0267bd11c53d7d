#pragma once

#include "regdocument.h"
#include "storefile.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvane::app {

/// The program's settings below HKEY_LOCAL_MACHINE\Software\Kelvane, kept in one registry file.
/// Every operation locks, reads, changes and releases the file; nothing is cached. Section and
/// value names compare without regard to case. Failures are thrown as SettingsError; a file
/// that is not a registry file is reported as StoreDamagedError and never overwritten.
/// One object serves one thread.
class SettingsStore {
public:
    /// A store kept in the file at `path` (see defaultStorePath()).
    explicit SettingsStore(std::string path);

    /// The file the store is kept in.
    const std::string& path() const { return file_.path(); }

    /// The stored text, or `defaultText` when the section or the value is missing.
    std::string ReadText(std::string_view section, std::string_view name, std::string_view defaultText);
    /// The stored flag, or `defaultFlag` when missing or when its text is not a number.
    bool ReadFlag(std::string_view section, std::string_view name, bool defaultFlag);
    /// Stores `text` as a text value, creating the section when it is missing.
    void WriteText(std::string_view section, std::string_view name, std::string_view text);
    /// Stores "1" or "0".
    void WriteFlag(std::string_view section, std::string_view name, bool flag);

    /// Keeps other copies of the program out of the store while it lives, so that a sequence
    /// of operations (a whole load or save) is not interleaved with theirs.
    class Hold {
    public:
        explicit Hold(SettingsStore& store) : file_(store.file_), held_(file_.lock()) {}
        ~Hold()
        {
            if (held_)
                file_.unlock();
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

        /// False when the store's folder cannot be made or locked.
        bool held() const { return held_; }

    private:
        StoreFile& file_;
        bool held_;
    };

private:
    enum class Access { Read, Write };

    std::optional<RegValue> fetch(std::string_view section, std::string_view name);
    RegDocument load(std::string_view name, Access access) const;
    KeyPath sectionPath(std::string_view section) const;
    static std::string textOf(const RegValue& value, std::string_view name);

    StoreFile file_;
};

} // namespace kelvane::app
