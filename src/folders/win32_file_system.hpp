#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "folders/file_system.hpp"

namespace gantrylux {

// The Windows file system through the wide-character APIs: every Unicode name is reachable, and
// paths past the classic length limit work as well as short ones.
class Win32FileSystem final : public FileSystem {
  public:
    FolderListing listFolder(std::string_view folder) const override;
    std::optional<std::uint32_t> attributes(std::string_view path) const override;
    bool fileExists(std::string_view path) const override;
    bool pathExists(std::string_view path) const override;
    bool isRoot(std::string_view folder) const override;
    // Every letter's case is ignored, as the system's own name comparison ignores it; a name's
    // short form never matches for it.
    bool matchesPattern(std::string_view name, std::string_view pattern) const override;
    // Past the classic length limit, a path counts only by its short form, which programs can
    // open: most cannot open a longer one.
    bool reachesPathLimit(std::string_view path) const override;
    std::size_t pathBytesBelowLimit() const override;
    char separator() const override { return '\\'; }
};

// The form of a path that programs can open: the path itself below the classic length limit,
// its short (8.3) form where that is below it; nothing otherwise, as on a volume without short
// names. Asks the file system, so not on the window's thread.
std::optional<std::wstring> OpenablePath(const std::wstring& path);

}  // namespace gantrylux
