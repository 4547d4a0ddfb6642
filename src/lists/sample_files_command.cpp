#include <memory>

#include "base/procedure.hpp"
#include "base/product.hpp"
#include "folders/existence.hpp"
#include "folders/file_enumeration.hpp"
#include "folders/folder_reader.hpp"
#include "lists/list_commands.hpp"
#include "lists/list_has_text.hpp"

namespace gantrylux {
namespace {

constexpr const char* kOpenSamplesQuestion =
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?";
constexpr int kShowWindow = 5;

}  // namespace

// What the worker found in the sample folder: the paths of its files, and whether it got to
// the end. A failure ends the loader where it happened: what was found before it is added, and
// the question is not asked.
struct FoundSamples {
    std::vector<std::string> paths;
    bool complete = false;
};

// The sample folder is read on a worker like any other folder: the program's folder may be on
// a share. The question comes once the files are in, and the merge after it.
void ListCommands::PushButton5_Click() {
    const char separator = fs_->separator();
    const std::string folder = desktop_.programFolder() + separator + "Samples";
    auto found = std::make_shared<FoundSamples>();
    inBackground(
        std::string(identity::kLoadSamples), 100, {folder},
        [found, folder, separator](FolderReader& reader) {
            const FileSystem& fs = reader.fileSystem();
            for (const std::string& name : GetFilesInFolder(fs, folder, "*.*")) {
                std::string path = folder + separator + name;
                if (PathExists(fs, path)) {
                    found->paths.push_back(std::move(path));
                }
            }
            found->complete = true;
        },
        [this, folder, found](bool ended) {
            Procedure p{std::string(identity::kLoadSamples), desktop_};
            if (ended) {
                p.step(100, [&] { addSamples(folder + fs_->separator(), *found); });
            }
            p.step(102, [&] { merge(); });
        });
}

// The only command that skips paths already listed, so pressing it twice adds nothing new. The
// test is made against the list as it stands when the files come in.
void ListCommands::addSamples(const std::string& folder, const FoundSamples& found) {
    for (const std::string& path : found.paths) {
        if (!ListHasText(files_, path)) {
            files_.append(path);
        }
    }
    if (!found.complete) {
        return;
    }
    if (desktop_.messageBox(kOpenSamplesQuestion, message_style::kYesNo, "") ==
        message_answer::kYes) {
        // The user asked for the folder: one that cannot be shown is told, as a row's Open is.
        if (const std::string failure = desktop_.shellOpen(folder, kShowWindow); !failure.empty()) {
            desktop_.messageBox(failure, message_style::kExclamation, "");
        }
    }
}

}  // namespace gantrylux
