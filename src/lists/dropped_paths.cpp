#include "lists/dropped_paths.hpp"

#include <optional>

#include "lists/folder_rows.hpp"
#include "lists/tree_files.hpp"

namespace gantrylux {
namespace {

enum class Dropped { Unknown, File, Folder };

Dropped Classify(const FileSystem& fs, const std::string& path) {
    const std::optional<std::uint32_t> attributes = fs.attributes(path);
    if (!attributes) {
        return Dropped::Unknown;
    }
    return (*attributes & attribute::kDirectory) != 0 ? Dropped::Folder : Dropped::File;
}

}  // namespace

std::vector<std::string> DroppedFileRows(FolderReader& reader,
                                         const std::vector<std::string>& paths) {
    const FileSystem& fs = reader.fileSystem();
    TreeFiles found;
    for (const std::string& path : paths) {
        if (reader.stopRequested()) {
            break;
        }
        switch (Classify(fs, path)) {
            case Dropped::File:
                found.paths.push_back(path);
                break;
            case Dropped::Folder:
                AppendTreeFiles(reader, {path + fs.separator()}, "*.*", found);
                break;
            case Dropped::Unknown:
                break;
        }
    }
    return std::move(found.paths);
}

std::vector<std::string> DroppedFolderRows(const FileSystem& fs,
                                           const std::vector<std::string>& paths) {
    std::vector<std::string> rows;
    for (const std::string& path : paths) {
        if (Classify(fs, path) == Dropped::Folder) {
            rows.push_back(FolderRow(path, fs.separator()));
        }
    }
    return rows;
}

}  // namespace gantrylux
