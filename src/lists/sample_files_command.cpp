#include "base/procedure.hpp"
#include "base/product.hpp"
#include "folders/existence.hpp"
#include "folders/file_enumeration.hpp"
#include "lists/list_commands.hpp"
#include "lists/list_has_text.hpp"

namespace gantrylux {
namespace {

constexpr const char* kOpenSamplesQuestion =
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?";
constexpr int kShowWindow = 5;

}  // namespace

// A failure in the loader ends it there (no further file, no question) and is reported at the
// loader's step; the merge still runs.
void ListCommands::PushButton5_Click() {
    Procedure p{std::string(identity::kLoadSamples), desktop_};
    p.step(100, [&] { loadSamples(); });
    p.step(102, [&] { merge(); });
}

// The only command that skips paths already listed, so pressing it twice adds nothing new.
void ListCommands::loadSamples() {
    const char separator = fs_.separator();
    const std::string folder = desktop_.programFolder() + separator + "Samples";
    for (const std::string& name : GetFilesInFolder(fs_, folder, "*.*")) {
        const std::string path = folder + separator + name;
        if (PathExists(fs_, path) && !ListHasText(files_, path)) {
            files_.append(path);
        }
    }
    if (desktop_.messageBox(kOpenSamplesQuestion, message_style::kYesNo, "") ==
        message_answer::kYes) {
        // A missing opener is told by the run that next opens a file.
        (void)desktop_.shellOpen(folder + separator, kShowWindow);
    }
}

}  // namespace gantrylux
