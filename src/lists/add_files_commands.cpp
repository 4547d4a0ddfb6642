#include <memory>

#include "base/procedure.hpp"
#include "base/product.hpp"
#include "lists/list_commands.hpp"
#include "lists/picked_files.hpp"
#include "lists/tree_files.hpp"

namespace gantrylux {
namespace {

constexpr const char* kAddFilesTitle = "Add File(s) - Hold Ctrl to select multiple files";
constexpr const char* kTooManyFiles =
    "You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button.";
constexpr const char* kExtensionPrompt =
    "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc "
    "files, etc.)";

}  // namespace

void ListCommands::PushButton1_Click() {
    Procedure p{std::string(identity::kAddFiles), desktop_};
    std::vector<std::string> picked;
    bool tooLong = false;
    p.step(100, [&] {
        try {
            picked = desktop_.openFiles(kAddFilesTitle);
        } catch (const SelectionTooLong&) {
            tooLong = true;
        }
    });
    if (tooLong || SelectionTextLength(picked, *fs_) > kSelectionTextLimit) {
        desktop_.messageBox(kTooManyFiles, message_style::kOkOnly, "");
        return;
    }
    if (picked.empty()) {
        return;
    }
    p.step(picked.size() == 1 ? 106 : 108, [&] { files_.append(PickedFileRows(picked, *fs_)); });
    p.step(110, [&] { merge(); });
}

void ListCommands::PushButton4_Click() {
    Procedure p{std::string(identity::kAddAllFiles), desktop_};
    std::string extension;
    p.step(100, [&] {
        extension = desktop_.inputBox(kExtensionPrompt, store_.read(setting::kExtension, "txt"));
    });
    p.step(102, [&] {
        if (!extension.empty()) {
            store_.write(setting::kExtension, extension);
        }
    });
    if (extension.empty()) {
        return;
    }
    std::string folder;
    p.step(106, [&] { folder = pickFolder(setting::kLastFolder); });
    if (folder.empty()) {
        p.step(108, [&] { merge(); });
        return;
    }
    p.step(110, [&] { store_.write(setting::kLastFolder, folder); });
    // The hourglass shows while the files are collected; the lists stay the user's.
    busy_.enter();
    // Exactly as typed: "*" gives "*.*", and ".txt" gives "*..txt".
    auto found = std::make_shared<TreeFiles>();
    inBackground(
        p.identity(), 114, {folder},
        [found, entry = folder + fs_->separator(), pattern = "*." + extension](
            FolderReader& reader) { AppendTreeFiles(reader, {entry}, pattern, *found); },
        [this, found, clears = files_.clears()](bool ended) {
            Procedure p{std::string(identity::kAddAllFiles), desktop_};
            if (ended && stillWanted(files_, clears)) {
                for (const std::string& failure : found->failures) {
                    ReportFailure(desktop_, failure, p.identity(), 120);
                }
                p.step(122, [&] { files_.append(found->paths); });
            }
            busy_.leave();
            p.step(126, [&] { merge(); });
        });
}

}  // namespace gantrylux
