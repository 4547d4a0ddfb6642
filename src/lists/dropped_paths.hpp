#pragma once

#include <string>
#include <vector>

#include "folders/folder_reader.hpp"

namespace gantrylux {

// The file-list rows of paths dropped from the desktop, in the order dropped: a file as the
// desktop gave it; a folder as the files of its whole tree, with the same filters as the merge.
// A path that cannot be examined (gone, or denied) and a folder that cannot be read add
// nothing, silently. Touches neither the lists nor the window, so it runs on a worker.
std::vector<std::string> DroppedFileRows(FolderReader& reader,
                                         const std::vector<std::string>& paths);

// The folder-list rows of dropped paths: each folder as the folder picker's choice would give
// it; files and paths that cannot be examined add nothing.
std::vector<std::string> DroppedFolderRows(const FileSystem& fs,
                                           const std::vector<std::string>& paths);

}  // namespace gantrylux
