#pragma once

#include <optional>
#include <string>

#include "ports/settings_store.hpp"

namespace gantrylux::win32 {

// The settings as text values under one key of the current user's registry hive.
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
};

}  // namespace gantrylux::win32
