#pragma once

#include <string>
#include <string_view>

namespace gantrylux {

// The per-user store of the program's choices. Every value is a text under one key; a key that
// was never written reads as the caller's default. A write is durable when it returns, and a
// store that cannot be read or written throws.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string read(std::string_view key, std::string_view defaultText) const = 0;
    virtual void write(std::string_view key, std::string_view text) = 0;
};

namespace setting {
inline constexpr std::string_view kInfiniteLoop = "Infinite Loop";
inline constexpr std::string_view kInterval = "Interval";
inline constexpr std::string_view kOption1 = "Option1";
inline constexpr std::string_view kOption2 = "Option2";
inline constexpr std::string_view kOption3 = "Option3";
inline constexpr std::string_view kFolderList = "ListView3";
inline constexpr std::string_view kExtension = "Extension";
inline constexpr std::string_view kLastFolder = "LastFolder";
inline constexpr std::string_view kLastFolderDot = "LastFolderDot";
}  // namespace setting

}  // namespace gantrylux
