#pragma once

#include <QSettings>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ports/settings_store.hpp"

namespace gantrylux {

// The settings store on QSettings: on Linux one per-user INI file, on Windows the per-user
// application-settings area of the registry. Every key lives in the group "Gantrylux Software".
class QtSettingsStore : public SettingsStore {
  public:
    // The user's own store.
    QtSettingsStore();
    // A store kept in the given INI file; tests use one in a temporary folder.
    explicit QtSettingsStore(const QString& iniFile);

    std::string read(std::string_view key, std::string_view defaultText) const override;
    void write(std::string_view key, std::string_view text) override;
    std::optional<std::string> readFailure() const override { return readFailure_; }

    QString location() const { return settings_->fileName(); }

  private:
    // What tells one version of the file from the next: QSettings replaces the file by a new
    // one, so a write that reached it changes at least the identity.
    struct FileStamp {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t seconds = 0;
        std::int64_t nanoseconds = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp Stamp(const QString& path);

    explicit QtSettingsStore(std::unique_ptr<QSettings> settings);
    bool syncReachedStore();

    // The file as this store last read or wrote it.
    FileStamp seen_;
    std::unique_ptr<QSettings> settings_;
    std::optional<std::string> readFailure_;
    // A write that did not reach the file stays pending in QSettings, to go with the next one.
    bool unsaved_ = false;
};

}  // namespace gantrylux
