#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "folders/file_system.hpp"

namespace gantrylux {

// Matches a file name against a pattern of "*" (any run) and "?" (one character), ignoring
// ASCII letter case. As in a directory search, "*.*" matches every name and a final ".*" may
// also match nothing, so "a.*" matches "a".
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The names of the existing files of a folder (hidden ones included, folders never) that match
// the pattern, in the order the file system yields them. A folder that does not exist or
// cannot be read holds no file; any other failure throws FileSystemError. The folder may end
// in a separator or not.
std::vector<std::string> GetFilesInFolder(const FileSystem& fs, std::string_view folder,
                                          std::string_view pattern);

// The files of an already read folder, as GetFilesInFolder gives them.
bool IsListedFile(const FolderEntry& entry);

}  // namespace gantrylux
