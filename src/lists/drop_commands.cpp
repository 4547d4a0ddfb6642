#include <memory>

#include "base/procedure.hpp"
#include "base/product.hpp"
#include "folders/absolute_path.hpp"
#include "folders/existence.hpp"
#include "folders/folder_reader.hpp"
#include "lists/dropped_paths.hpp"
#include "lists/folder_rows.hpp"
#include "lists/list_commands.hpp"
#include "lists/unanswering_folders.hpp"

namespace gantrylux {

// A drop shows no message of its own; what cannot be examined or read is left out. The
// classification and the expansion both touch the disk, so they run on a worker, and the rows
// arrive in one batch followed by one merge.
void ListCommands::ListView1_OLEDragDrop(const std::vector<std::string>& paths) {
    auto rows = std::make_shared<std::vector<std::string>>();
    inBackground(
        std::string(identity::kFileListDrop), 0, paths,
        [rows, paths](FolderReader& reader) { *rows = DroppedFileRows(reader, paths); },
        [this, rows, clears = files_.clears()](bool ended) {
            Procedure p{std::string(identity::kFileListDrop), desktop_};
            if (ended && stillWanted(files_, clears)) {
                p.step(0, [&] { files_.append(*rows); });
            }
            p.step(0, [&] { merge(); });
        });
}

void ListCommands::ListView3_OLEDragDrop(const std::vector<std::string>& paths) {
    auto rows = std::make_shared<std::vector<std::string>>();
    inBackground(
        std::string(identity::kFolderListDrop), 0, paths,
        [rows, paths](FolderReader& reader) {
            *rows = DroppedFolderRows(reader.fileSystem(), paths);
        },
        [this, rows, clears = folders_.clears()](bool ended) {
            Procedure p{std::string(identity::kFolderListDrop), desktop_};
            if (ended && stillWanted(folders_, clears)) {
                appendFolderRows(p, 0, std::move(*rows));
            }
            p.step(0, [&] { merge(); });
        });
}

// The paths are made absolute here: the rows are opened later with "/" as the working folder.
void ListCommands::AddCommandLinePaths(const std::vector<std::string>& paths,
                                       std::function<void()> then,
                                       const std::vector<std::string>& notLocal) {
    struct Found {
        std::vector<std::string> rows;
        std::vector<std::string> missing;
        bool any = false;
    };
    auto found = std::make_shared<Found>();
    found->missing = notLocal;
    // Even the test that a path exists runs on the worker: a path on a network share that does
    // not answer must not hold the window.
    inBackground(
        std::string(identity::kFileListDrop), 0, paths,
        [found, paths](FolderReader& reader) {
            std::vector<std::string> existing;
            for (const std::string& path : paths) {
                std::string absolute = AbsolutePath(path);
                // Only what a drop would take: files, and folders to expand. A pipe, a socket or
                // a device would be handed to a viewer that reads it for ever.
                if (FileExists(reader.fileSystem(), absolute) ||
                    IsFolder(reader.fileSystem(), absolute)) {
                    existing.push_back(std::move(absolute));
                } else {
                    found->missing.push_back(path);
                }
            }
            found->any = !existing.empty();
            found->rows = DroppedFileRows(reader, existing);
        },
        [this, found, then, clears = files_.clears()](bool ended) {
            Procedure p{std::string(identity::kFileListDrop), desktop_};
            if (ended && found->any && stillWanted(files_, clears)) {
                p.step(0, [&] { files_.append(found->rows); });
                p.step(0, [&] { merge(); });
            }
            if (ended && !found->missing.empty() && !desktop_.closing()) {
                desktop_.messageBox(PathsMessage("These were not found, or are neither files nor "
                                                 "folders, and were not added:",
                                                 found->missing),
                                    message_style::kOkOnly, "");
            }
            if (then) {
                then();
            }
        });
}

}  // namespace gantrylux
