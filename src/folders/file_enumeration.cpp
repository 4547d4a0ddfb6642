#include "folders/file_enumeration.hpp"

#include "folders/glob.hpp"

namespace gantrylux {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    return MatchesPatternWith(name, pattern, [](char a, char b) { return Lower(a) == Lower(b); });
}

bool IsListedFile(const FolderEntry& entry) {
    return entry.kind == EntryKind::File && !entry.badName;
}

std::vector<std::string> GetFilesInFolder(const FileSystem& fs, std::string_view folder,
                                          std::string_view pattern) {
    std::vector<std::string> names;
    FolderListing listing;
    try {
        listing = fs.listFolder(folder);
    } catch (const FileSystemError& failure) {
        if (failure.code() == fs_error::kPermissionDenied ||
            failure.code() == fs_error::kPathNotFound) {
            return names;
        }
        throw;
    }
    for (const FolderEntry& entry : listing.entries) {
        if (IsListedFile(entry) && fs.matchesPattern(entry.name, pattern)) {
            names.emplace_back(entry.name);
        }
    }
    return names;
}

}  // namespace gantrylux
