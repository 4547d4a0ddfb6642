#include "lists/folder_rows.hpp"

#include <algorithm>

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
    const WalkedFolders walked = WalkFolders(reader, {walkEntry}, true);
    std::vector<std::string> rows;
    if (walked.size() > 1) {
        rows.reserve(walked.size() - 1);
    }
    // The first entry is the walked folder itself, which has its row already; when the walk
    // could not read it, there is no entry at all. The rows are the walk's texts as they stand
    // (a root's doubled separator included): the merge normalises every path it makes.
    for (std::size_t at = 1; at < walked.size(); ++at) {
        rows.emplace_back(walked[at].entry);
    }
    return rows;
}

std::vector<std::string> TakeUnstorableRows(std::vector<std::string>& rows) {
    const auto unstorable = [](const std::string& row) {
        return row.find(';') != std::string::npos;
    };
    std::vector<std::string> leftOut;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(leftOut), unstorable);
    std::erase_if(rows, unstorable);
    return leftOut;
}

std::string UnstorableFoldersMessage(const std::vector<std::string>& leftOut) {
    constexpr std::string_view kWhy =
        " contains \";\", which separates the folders where the folder list is stored.";
    if (leftOut.empty()) {
        return {};
    }
    if (leftOut.size() == 1) {
        return "The folder \"" + leftOut.front() +
               "\" cannot be kept in the folder list: its path" + std::string(kWhy) +
               " Its files can still be added to the file list.";
    }
    return std::to_string(leftOut.size()) +
           " folders were left out of the folder list: the path of each" + std::string(kWhy) +
           " Their files can still be added to the file list.";
}

}  // namespace gantrylux
