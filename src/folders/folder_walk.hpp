#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "folders/folder_reader.hpp"

namespace gantrylux {

// One entry of a walked folder list.
struct WalkedFolder {
    std::string_view entry;                    // the folder path, ending in the separator
                                               // (held by the reader, as long as it lives)
    const FolderListing* listing = nullptr;    // what it holds, when it could be read
    const FileSystemError* failure = nullptr;  // a failure other than "denied" or "not found"
};

// Walks the trees below the given entries (each ending in the separator) and returns them
// extended by every folder found, level by level: the entries first, then their direct
// subfolders grouped by parent in the file system's order, then the next level, and so on
// (only the first level when allLevels is false).
//
// An entry or subfolder whose listing is denied or whose path is not found is dropped with its
// subtree. A subfolder is left out with its subtree when its name has bad characters, when it
// is both hidden and system (unless it is a root), when it starts a pseudo file system, and
// when its given entry's tree has already reached the same folder by another route (through a
// link): within one given entry each folder is looked into once. A folder whose path reaches
// the platform's limit is listed but not looked into. The given entries stay even when they
// are no folder. The list's texts and listings live in the reader's arena; the list itself is
// given back when it ends, as a merge of many rows walks one row after another.
using WalkedFolders = std::vector<WalkedFolder, LargePageAllocator<WalkedFolder>>;
WalkedFolders WalkFolders(FolderReader& reader, const std::vector<std::string>& entries,
                          bool allLevels);

// The walk on a plain list of folder paths: appends every folder found below them.
void GetSubDirectories2016(const FileSystem& fs, std::vector<std::string>& folders, bool allLevels,
                           unsigned threads = 1);

// A text that is not UTF-8: a name the platform gave that cannot be carried as text.
bool HasBadCharacters(std::string_view text);

// A folder the walk may look into: a root, or anything but exactly hidden plus system (with or
// without the reparse-point bit).
bool IsAcceptedFolder(std::uint32_t attributes, bool isRoot);

}  // namespace gantrylux
