#include "lists/merge.hpp"

#include "folders/existence.hpp"
#include "folders/file_enumeration.hpp"
#include "folders/folder_walk.hpp"
#include "lists/normalize_path.hpp"

namespace gantrylux {
namespace {

constexpr std::uint32_t kHiddenArchive = attribute::kHidden | attribute::kArchive;

// The files one walked folder adds: "~" names and files that are exactly hidden plus archive
// are left out. A file's path is the folder's text, a separator and the name; since a name
// holds no separator, normalising the folder part once gives the same text as normalising
// every path.
void AddFilesOf(const WalkedFolder& folder, char separator, MergeResult& result) {
    if (folder.failure) {
        result.failures.push_back({std::string(kMergeIdentity), 134, folder.failure->what()});
        return;
    }
    if (!folder.listing) {
        return;
    }
    std::string prefix(folder.entry);
    prefix.back() = separator;  // the entry without its last character, then a separator
    prefix = NormalizePath(prefix);
    for (const FolderEntry& entry : folder.listing->entries) {
        if (IsListedFile(entry) && entry.name.front() != '~' &&
            entry.attributes != kHiddenArchive) {
            result.candidates.push_back(prefix, entry.name);
        }
    }
}

}  // namespace

MergeResult BuildCandidates(const std::vector<std::string>& fileRows,
                            const std::vector<std::string>& folderRows, const FileSystem& fs,
                            unsigned threads, std::stop_token stop) {
    MergeResult result;
    for (const std::string& row : fileRows) {
        result.candidates.push_back(row);
    }
    const char separator = fs.separator();
    FolderReader reader(fs, threads, stop);
    for (const std::string& row : folderRows) {
        if (stop.stop_requested()) {
            break;
        }
        if (row.empty() || !IsFolder(fs, row)) {
            continue;
        }
        for (const WalkedFolder& folder : WalkFolders(reader, {row + separator}, true)) {
            AddFilesOf(folder, separator, result);
        }
    }
    result.candidates.shrink_to_fit();
    return result;
}

}  // namespace gantrylux
