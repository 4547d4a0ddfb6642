#include "folders/file_enumeration.hpp"

namespace gantrylux {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Glob(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    if (Glob(name, pattern)) {
        return true;
    }
    return pattern.ends_with(".*") && Glob(name, pattern.substr(0, pattern.size() - 2));
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
        if (IsListedFile(entry) && MatchesPattern(entry.name, pattern)) {
            names.emplace_back(entry.name);
        }
    }
    return names;
}

}  // namespace gantrylux
