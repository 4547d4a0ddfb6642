#include "lists/picked_files.hpp"

#include <string_view>

#include "folders/utf16.hpp"
#include "lists/normalize_path.hpp"

namespace gantrylux {
namespace {

struct FolderAndName {
    std::string folder;
    std::string_view name;
};

// The dialog gives a folder without its final separator, except a root's.
FolderAndName Split(std::string_view path, const FileSystem& fs) {
    const std::size_t cut = path.rfind(fs.separator());
    if (cut == std::string_view::npos) {
        return {std::string(), path};
    }
    std::string folder(path.substr(0, cut + 1));
    if (!fs.isRoot(folder)) {
        folder.pop_back();
    }
    return {std::move(folder), path.substr(cut + 1)};
}

}  // namespace

std::size_t SelectionTextLength(const std::vector<std::string>& paths, const FileSystem& fs) {
    constexpr std::size_t kClosingNuls = 2;
    if (paths.empty()) {
        return 0;
    }
    if (paths.size() == 1) {
        return Utf16Length(paths.front()) + kClosingNuls;
    }
    std::size_t length = Utf16Length(Split(paths.front(), fs).folder) + kClosingNuls;
    for (const std::string& path : paths) {
        length += 1 + Utf16Length(Split(path, fs).name);
    }
    return length;
}

std::vector<std::string> PickedFileRows(const std::vector<std::string>& paths,
                                        const FileSystem& fs) {
    if (paths.size() == 1) {
        return paths;
    }
    std::vector<std::string> rows;
    rows.reserve(paths.size());
    for (const std::string& path : paths) {
        const FolderAndName parts = Split(path, fs);
        if (parts.folder.empty()) {
            rows.emplace_back(parts.name);  // not a full path: nothing to join it to
            continue;
        }
        std::string joined = parts.folder;
        joined += fs.separator();
        joined += parts.name;
        rows.push_back(NormalizePath(joined));
    }
    return rows;
}

}  // namespace gantrylux
