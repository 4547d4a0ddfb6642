#include "reference_merge.hpp"

#include <algorithm>

#include "folders/existence.hpp"
#include "folders/file_enumeration.hpp"
#include "folders/folder_walk.hpp"
#include "lists/normalize_path.hpp"

namespace gantrylux::testing {
namespace {

bool Accepted(const FileSystem& fs, const std::string& folder) {
    const auto attributes = fs.attributes(folder);
    return attributes && IsAcceptedFolder(*attributes, fs.isRoot(folder));
}

// One invocation: looks into each entry, collects the subfolders, recurses on them, then
// appends those that are folders and accepted. `seen` holds the identities of the folders
// this row's walk has looked into, in the order it did.
void Walk(const FileSystem& fs, std::vector<std::string>& list, std::vector<FileIdentity>& seen,
          bool roots) {
    std::vector<std::string> found;
    const std::vector<std::string> entries = list;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& v = entries[i];
        if (!IsFolder(fs, v) || !Accepted(fs, v) || fs.reachesPathLimit(v)) {
            continue;
        }
        if (fs.isPseudoFileSystem(v)) {
            if (!roots) {
                list.erase(std::find(list.begin(), list.end(), v));
            }
            continue;
        }
        FolderListing listing;
        try {
            listing = fs.listFolder(v);
        } catch (const FileSystemError& failure) {
            if (failure.code() == fs_error::kPermissionDenied ||
                failure.code() == fs_error::kPathNotFound) {
                list.erase(std::find(list.begin(), list.end(), v));
            }
            continue;
        }
        if (std::find(seen.begin(), seen.end(), listing.identity) != seen.end()) {
            list.erase(std::find(list.begin(), list.end(), v));
            continue;
        }
        seen.push_back(listing.identity);
        for (const FolderEntry& s : listing.entries) {
            if (s.kind != EntryKind::Folder || HasBadCharacters(s.name)) {
                continue;
            }
            found.push_back(v + std::string(s.name) + fs.separator());
        }
    }
    if (!found.empty()) {
        Walk(fs, found, seen, false);
    }
    for (const std::string& f : found) {
        if (IsFolder(fs, f) && Accepted(fs, f)) {
            list.push_back(f);
        }
    }
}

}  // namespace

std::vector<std::string> ReferenceMerge(const FileSystem& fs,
                                        const std::vector<std::string>& fileRows,
                                        const std::vector<std::string>& folderRows) {
    std::vector<std::string> candidates = fileRows;
    for (const std::string& t : folderRows) {
        if (t.empty() || !IsFolder(fs, t)) {
            continue;
        }
        std::vector<std::string> walk{t + fs.separator()};
        std::vector<FileIdentity> seen;
        Walk(fs, walk, seen, true);
        for (const std::string& w : walk) {
            if (fs.reachesPathLimit(w) || fs.isPseudoFileSystem(w)) {
                continue;
            }
            const std::string f = w.substr(0, w.size() - 1);
            for (const std::string& name : GetFilesInFolder(fs, f, "*.*")) {
                if (name.front() == '~') {
                    continue;
                }
                const std::string p = f + fs.separator() + name;
                if (fs.attributes(p) != (attribute::kHidden | attribute::kArchive)) {
                    candidates.push_back(NormalizePath(p));
                }
            }
        }
    }
    return candidates;
}

}  // namespace gantrylux::testing
