#pragma once

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
    bool reachesPathLimit(std::string_view path) const override;
    std::size_t pathBytesBelowLimit() const override;
    char separator() const override { return '\\'; }
};

}  // namespace gantrylux
