#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gantrylux {

// The per-user store of the program's choices. Every value is a text under one key; a key that
// was never written reads as the caller's default. A write is kept once it returns, should the
// process be killed right after, and a write that cannot be stored throws.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string read(std::string_view key, std::string_view defaultText) const = 0;
    virtual void write(std::string_view key, std::string_view text) = 0;
    // Why the stored values could not be read, or not all of them, when the store was opened
    // (where they are kept and the system's reason); nothing when they could. Reading still
    // works then: it gives what could be read and the defaults for the rest.
    virtual std::optional<std::string> readFailure() const = 0;
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
inline constexpr std::string_view kAll[] = {kInfiniteLoop, kInterval,   kOption1,
                                            kOption2,      kOption3,    kFolderList,
                                            kExtension,    kLastFolder, kLastFolderDot};
}  // namespace setting

}  // namespace gantrylux
