#include "app/procedure.hpp"
#include "app/product.hpp"
#include "folders/absolute_path.hpp"
#include "folders/existence.hpp"
#include "folders/folder_reader.hpp"
#include "lists/dropped_paths.hpp"
#include "lists/folder_rows.hpp"
#include "lists/list_commands.hpp"

namespace gantrylux {

// A drop shows no message of its own; what cannot be examined or read is left out. The
// classification and the expansion both touch the disk, so they run on a worker, and the rows
// arrive in one batch followed by one merge.
void ListCommands::ListView1_OLEDragDrop(const std::vector<std::string>& paths) {
    Procedure p{std::string(identity::kFileListDrop), desktop_};
    std::vector<std::string> rows;
    if (!inBackground(p, 0, [&](FolderReader& reader) { rows = DroppedFileRows(reader, paths); })) {
        return;
    }
    p.step(0, [&] { files_.append(rows); });
    p.step(0, [&] { merge(); });
}

void ListCommands::ListView3_OLEDragDrop(const std::vector<std::string>& paths) {
    Procedure p{std::string(identity::kFolderListDrop), desktop_};
    std::vector<std::string> rows;
    if (!inBackground(p, 0, [&](FolderReader& reader) {
            rows = DroppedFolderRows(reader.fileSystem(), paths);
        })) {
        return;
    }
    const std::vector<std::string> leftOut = TakeUnstorableRows(rows);
    p.step(0, [&] { folders_.append(rows); });
    tellLeftOut(leftOut);
    p.step(0, [&] { merge(); });
}

// The paths are made absolute here: the rows are opened later with "/" as the working folder.
void ListCommands::AddCommandLinePaths(const std::vector<std::string>& paths) {
    Procedure p{std::string(identity::kFileListDrop), desktop_};
    std::vector<std::string> rows;
    std::string missing;
    bool anyFound = false;
    // Even the test that a path exists runs on the worker: a path on a network share that does
    // not answer must not hold the window.
    if (!inBackground(p, 0, [&](FolderReader& reader) {
            std::vector<std::string> found;
            for (const std::string& path : paths) {
                std::string absolute = AbsolutePath(path);
                if (PathExists(reader.fileSystem(), absolute)) {
                    found.push_back(std::move(absolute));
                } else {
                    missing += "\r\n" + path;
                }
            }
            anyFound = !found.empty();
            rows = DroppedFileRows(reader, found);
        })) {
        return;
    }
    if (anyFound) {
        p.step(0, [&] { files_.append(rows); });
        p.step(0, [&] { merge(); });
    }
    if (!missing.empty() && !desktop_.closing()) {
        desktop_.messageBox("These were not found and were not added:" + missing,
                            message_style::kOkOnly, "");
    }
}

}  // namespace gantrylux
