#pragma once

#include <map>
#include <optional>
#include <string>

#include "ports/settings_store.hpp"

namespace gantrylux::win32 {

// The settings as text values under one key of the current user's registry hive. A value the
// program cannot take for its own text (another type, a NUL inside) is told once, when the store
// is opened, and kept until the user changes that setting.
class RegistrySettingsStore : public SettingsStore {
  public:
    static constexpr const wchar_t* kUserKey =
        L"Software\\VB and VBA Program Settings\\Quillmere\\Gantrylux Software";

    // keyPath is below HKEY_CURRENT_USER.
    explicit RegistrySettingsStore(std::wstring keyPath = kUserKey);

    std::string read(std::string_view key, std::string_view defaultText) const override;
    void write(std::string_view key, std::string_view text) override;
    std::optional<std::string> readFailure() const override { return readFailure_; }

  private:
    std::wstring keyPath_;
    std::optional<std::string> readFailure_;
    // The settings whose stored value cannot be read, each with the default handed out for it,
    // once one was.
    mutable std::map<std::string, std::optional<std::string>, std::less<>> unreadable_;
};

}  // namespace gantrylux::win32
