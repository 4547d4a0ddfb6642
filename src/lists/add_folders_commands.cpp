#include <memory>

#include "base/procedure.hpp"
#include "base/product.hpp"
#include "lists/folder_rows.hpp"
#include "lists/list_commands.hpp"

namespace gantrylux {
// The picker starts where "LastFolderDot" says, and neither command ever writes that setting.
void ListCommands::PushButton15_Click() {
    Procedure p{std::string(identity::kAddFolder), desktop_};
    std::string folder;
    p.step(100, [&] { folder = pickFolder(setting::kLastFolderDot); });
    if (!folder.empty()) {
        BusyGuard busy(busy_);
        appendFolderRows(p, 106, {FolderRow(folder, fs_->separator())});
    }
    p.step(110, [&] { merge(); });
}

void ListCommands::PushButton21_Click() {
    Procedure p{std::string(identity::kAddSubfolders), desktop_};
    std::string folder;
    p.step(100, [&] { folder = pickFolder(setting::kLastFolderDot); });
    if (!folder.empty() && folder.find(';') != std::string::npos) {
        // Every folder below it holds the ";" as well: none could be kept.
        tellLeftOut({FolderRow(folder, fs_->separator())});
    } else if (!folder.empty()) {
        busy_.enter();
        // Its own row comes first, so it stays even when the walk cannot read it. A network
        // folder is walked like any other.
        const std::string row = FolderRow(folder, fs_->separator());
        p.step(108, [&] { folders_.append(row); });
        auto rows = std::make_shared<std::vector<std::string>>();
        inBackground(
            p.identity(), 110, {row},
            [rows, entry = folder + fs_->separator()](FolderReader& reader) {
                *rows = SubfolderRows(reader, entry);
            },
            [this, rows, clears = folders_.clears()](bool ended) {
                Procedure p{std::string(identity::kAddSubfolders), desktop_};
                if (ended && stillWanted(folders_, clears)) {
                    appendFolderRows(p, 112, std::move(*rows));
                }
                busy_.leave();
                p.step(114, [&] { merge(); });
            });
        return;
    }
    p.step(114, [&] { merge(); });
}

void ListCommands::appendFolderRows(Procedure& p, int step, std::vector<std::string> rows) {
    const std::vector<std::string> leftOut = TakeUnstorableRows(rows);
    p.step(step, [&] { folders_.append(rows); });
    tellLeftOut(leftOut);
}

void ListCommands::tellLeftOut(const std::vector<std::string>& leftOut) {
    if (const std::string message = UnstorableFoldersMessage(leftOut); !message.empty()) {
        desktop_.messageBox(message, message_style::kOkOnly, "");
    }
}

}  // namespace gantrylux
