#pragma once

#include <string_view>

#include "folders/file_system.hpp"

namespace gantrylux {

// An existing file that can be opened; a folder is never one. Never blocks and never fails.
bool FileExists(const FileSystem& fs, std::string_view path);
// The path exists at all. Never fails.
bool PathExists(const FileSystem& fs, std::string_view path);
// The path names an existing folder, with or without a trailing separator. Never fails.
bool IsFolder(const FileSystem& fs, std::string_view path);

}  // namespace gantrylux
