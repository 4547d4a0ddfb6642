#pragma once

#include "folders/file_system.hpp"

namespace gantrylux {

// The file system on posix. Attribute words follow the Windows meaning: 16 for a folder (links
// followed), otherwise 32; plus 2 for a name beginning with "."; plus 1 when the owner may not
// write; plus 1024 for a symbolic link; never 4.
class PosixFileSystem : public FileSystem {
  public:
    FolderListing listFolder(std::string_view folder) const override;
    OpenFolder readFolder(OpenFolder parent, std::string_view path, std::string_view name,
                          bool keepOpen, FolderRead& read) const override;
    void closeFolder(OpenFolder folder) const override;
    std::optional<std::uint32_t> attributes(std::string_view path) const override;
    bool fileExists(std::string_view path) const override;
    bool pathExists(std::string_view path) const override;
    bool isRoot(std::string_view folder) const override;
    bool isPseudoFileSystem(std::string_view folder) const override;
    bool reachesPathLimit(std::string_view path) const override;
    std::size_t pathBytesBelowLimit() const override;
    std::string resolvedFolder(std::string_view folder) const override;
    char separator() const override { return '/'; }
};

}  // namespace gantrylux
