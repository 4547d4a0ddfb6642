#include "lists/folder_rows.hpp"

#include "folders/folder_walk.hpp"
#include "lists/normalize_path.hpp"

namespace gantrylux {

bool IsNetworkPath(std::string_view path, char separator) {
    return separator == '\\' && path.starts_with("\\\\");
}

std::string FolderRow(std::string_view folder, char separator) {
    std::string row(folder);
    row += separator;
    return IsNetworkPath(row, separator) ? row : NormalizePath(row);
}

std::vector<std::string> SubfolderRows(FolderReader& reader, const std::string& walkEntry) {
    std::vector<WalkedFolder> walked = WalkFolders(reader, {walkEntry}, true);
    std::vector<std::string> rows;
    if (walked.size() > 1) {
        rows.reserve(walked.size() - 1);
    }
    // The first entry is the walked folder itself, which has its row already; when the walk
    // could not read it, there is no entry at all.
    for (std::size_t at = 1; at < walked.size(); ++at) {
        rows.push_back(NormalizePath(walked[at].entry));
    }
    return rows;
}

}  // namespace gantrylux
