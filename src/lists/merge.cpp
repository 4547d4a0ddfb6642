#include "lists/merge.hpp"

#include "folders/existence.hpp"
#include "folders/folder_walk.hpp"
#include "lists/normalize_path.hpp"
#include "lists/tree_files.hpp"

namespace gantrylux {
namespace {

// The files one walked folder adds: "~" names and files that are exactly hidden plus archive
// are left out. A file's path is the folder's text, a separator and the name; since a name
// holds no separator, normalising the folder part once gives the same text as normalising
// every path.
struct FolderFiles {
    std::string prefix;
    const FolderListing* listing;
};

// A row is looked into when it names a folder. Its read is shared with the walk, so a row
// already read (as a subfolder of an earlier row) costs no system call at all.
bool IsFolderRow(FolderReader& reader, const std::string& row) {
    if (row.empty()) {
        return false;
    }
    return reader.read(row).listing || IsFolder(reader.fileSystem(), row);
}

}  // namespace

MergeResult BuildCandidates(const std::vector<std::string>& fileRows,
                            const std::vector<std::string>& folderRows, const FileSystem& fs,
                            unsigned threads, std::stop_token stop) {
    MergeResult result;
    const char separator = fs.separator();
    FolderReader reader(fs, threads, stop);
    std::vector<FolderFiles> folders;
    for (const std::string& row : folderRows) {
        if (stop.stop_requested()) {
            break;
        }
        if (!IsFolderRow(reader, row)) {
            continue;
        }
        for (const WalkedFolder& folder : WalkFolders(reader, {row + separator}, true)) {
            if (folder.failure) {
                result.failures.push_back(
                    {std::string(kMergeIdentity), 134, folder.failure->what()});
            } else if (folder.listing) {
                std::string prefix(folder.entry);
                prefix.back() =
                    separator;  // the entry without its last character, then a separator
                folders.push_back({NormalizePath(prefix), folder.listing});
            }
        }
    }

    // Sized first and filled after, so the list is built in place without a copy.
    std::size_t count = fileRows.size();
    std::size_t bytes = 0;
    for (const std::string& row : fileRows) {
        bytes += row.size();
    }
    for (const FolderFiles& folder : folders) {
        for (const FolderEntry& entry : folder.listing->entries) {
            if (IsTreeFile(entry)) {
                ++count;
                bytes += folder.prefix.size() + entry.name.size();
            }
        }
    }
    result.candidates.reserve(count, bytes);
    for (const std::string& row : fileRows) {
        result.candidates.push_back(row);
    }
    for (const FolderFiles& folder : folders) {
        for (const FolderEntry& entry : folder.listing->entries) {
            if (IsTreeFile(entry)) {
                result.candidates.push_back(folder.prefix, entry.name);
            }
        }
    }
    return result;
}

}  // namespace gantrylux
