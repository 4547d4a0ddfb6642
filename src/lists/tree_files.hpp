#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "folders/folder_reader.hpp"

namespace gantrylux {

// A file of a walked folder that counts among the tree's files: an existing file whose name is
// text, does not begin with "~" (temporary and lock files) and whose attributes are not exactly
// hidden plus archive (bookkeeping files the desktop leaves in folders).
bool IsTreeFile(const FolderEntry& entry);

// Whether the paths of a folder's files may reach the platform's path limit, so that each must
// be asked about; false, at no cost, for all but folders whose own path comes near the limit.
bool NearPathLimit(const FileSystem& fs, std::string_view folder);
// A file of a folder near the limit whose path stays below it: one no program could open is
// no candidate.
bool FitsPathLimit(const FileSystem& fs, std::string_view folder, std::string_view name);

// What expanding folder trees found: the paths of their files, and why some folders could not
// be read, in the order met.
struct TreeFiles {
    std::vector<std::string> paths;
    std::vector<std::string> failures;
};

// Walks every level below the walk list's entries (each ending in the separator) and appends
// the tree files whose names match the pattern, folder by folder in the walk's order, each path
// normalised. Touches neither the lists nor the window, so it runs on a worker.
void AppendTreeFiles(FolderReader& reader, const std::vector<std::string>& walkList,
                     std::string_view pattern, TreeFiles& found);

}  // namespace gantrylux
