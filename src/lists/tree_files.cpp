#include "lists/tree_files.hpp"

#include "folders/file_enumeration.hpp"
#include "folders/folder_walk.hpp"
#include "lists/normalize_path.hpp"

namespace gantrylux {

bool IsTreeFile(const FolderEntry& entry) {
    constexpr std::uint32_t kHiddenArchive = attribute::kHidden | attribute::kArchive;
    return IsListedFile(entry) && entry.name.front() != '~' && entry.attributes != kHiddenArchive;
}

bool NearPathLimit(const FileSystem& fs, std::string_view folder) {
    // Longer than any file name in bytes, on every platform.
    constexpr std::size_t kLongerThanAnyName = 1024;
    return folder.size() + kLongerThanAnyName >= fs.pathBytesBelowLimit();
}

bool FitsPathLimit(const FileSystem& fs, std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += name;
    return !fs.reachesPathLimit(path);
}

void AppendTreeFiles(FolderReader& reader, const std::vector<std::string>& walkList,
                     std::string_view pattern, TreeFiles& found) {
    for (const WalkedFolder& folder : WalkFolders(reader, walkList, true)) {
        if (reader.stopRequested()) {
            return;
        }
        if (folder.failure) {
            found.failures.emplace_back(folder.failure->what());
            continue;
        }
        if (!folder.listing) {
            continue;
        }
        // A name holds no separator, so normalising the folder part once gives the same text
        // as normalising every path.
        const std::string prefix = NormalizePath(folder.entry);
        const bool nearLimit = NearPathLimit(reader.fileSystem(), prefix);
        for (const FolderEntry& entry : folder.listing->entries) {
            if (IsTreeFile(entry) && reader.fileSystem().matchesPattern(entry.name, pattern) &&
                (!nearLimit || FitsPathLimit(reader.fileSystem(), prefix, entry.name))) {
                found.paths.push_back(prefix);
                found.paths.back() += entry.name;
            }
        }
    }
}

}  // namespace gantrylux
