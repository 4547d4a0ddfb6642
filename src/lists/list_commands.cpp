#include "lists/list_commands.hpp"

#include <algorithm>
#include <thread>

#include "base/procedure.hpp"
#include "base/product.hpp"
#include "folders/folder_reader.hpp"
#include "lists/unanswering_folders.hpp"

namespace gantrylux {

ListCommands::ListCommands(Form& form, Desktop& desktop, SettingsStore& store,
                           std::shared_ptr<const FileSystem> fs, PathList& files, PathList& folders,
                           BusyCounter& busy, CandidateMerger& merger,
                           std::chrono::milliseconds answerDeadline)
    : form_(form),
      desktop_(desktop),
      store_(store),
      fs_(std::move(fs)),
      files_(files),
      folders_(folders),
      busy_(busy),
      merger_(merger),
      answerDeadline_(answerDeadline) {}

void ListCommands::merge() {
    merger_.CorrelateListviewsWrapper();
}

void ListCommands::inBackground(const std::string& identity, int step,
                                std::vector<std::string> given,
                                std::function<void(FolderReader&)> job,
                                std::function<void(bool)> then) {
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    auto end = std::make_shared<WatchedJob::End>(WatchedJob::End::Done);
    Procedure p{identity, desktop_};
    const bool started = p.step(step, [&] {
        desktop_.startInBackground(
            [fs = fs_, deadline = answerDeadline_, threads, job, end] {
                *end = WatchedJob::Run(
                           fs, deadline, {},
                           [threads, job](const FileSystem& watched, std::stop_token stop) {
                               FolderReader reader(watched, threads, stop);
                               job(reader);
                           })
                           .end();
            },
            [self = self_, identity, step, given = std::move(given), end,
             then](std::exception_ptr failure) {
                if (*self == nullptr) {
                    return;
                }
                ListCommands& commands = **self;
                if (failure) {
                    Procedure reporting{identity, commands.desktop_};
                    reporting.step(step, [&] { std::rethrow_exception(failure); });
                } else if (*end != WatchedJob::End::Done) {
                    commands.desktop_.messageBox(NothingAddedMessage(given), message_style::kOkOnly,
                                                 "");
                    then(false);
                    return;
                }
                then(true);
            });
    });
    if (!started) {
        then(false);
    }
}

// A removal acts at once, whatever job is under way: jobs work on copies of the lists, and the
// run waits for the merge that follows before it draws again. The selection is checked against
// the list as it now stands, since a row selected before a nested command ran may be gone.
void ListCommands::removeSelectedRow(ListId list, PathList& rows, bool keepSelection) {
    if (rows.empty()) {
        return;
    }
    const std::optional<std::size_t> selected = form_.selectedRow(list);
    if (selected && *selected >= 1 && *selected <= rows.count()) {
        rows.removeAt(*selected);
        // The row that took its place (or the new last one) is selected, so that Delete
        // pressed again goes on removing.
        if (keepSelection && !rows.empty()) {
            form_.selectRow(list, std::min(*selected, rows.count()));
        }
    }
}

void ListCommands::PushButton3_Click() {
    Procedure p{std::string(identity::kClearFiles), desktop_};
    p.step(100, [&] { files_.clear(); });
    p.step(102, [&] { merge(); });
}

void ListCommands::PushButton6_Click() {
    Procedure p{std::string(identity::kClearFolders), desktop_};
    p.step(100, [&] { folders_.clear(); });
    p.step(102, [&] { merge(); });
}

void ListCommands::ListView1_DblClick() {
    removeSelectedRow(ListId::Files, files_, false);
    merge();
}

void ListCommands::ListView1_KeyDown(int keyCode) {
    if (keyCode == kDeleteKey) {
        removeSelectedRow(ListId::Files, files_, true);
    }
    merge();
}

void ListCommands::ListView3_DblClick() {
    removeSelectedRow(ListId::Folders, folders_, false);
    merge();
}

void ListCommands::ListView3_KeyDown(int keyCode) {
    if (keyCode != kDeleteKey) {
        return;
    }
    removeSelectedRow(ListId::Folders, folders_, true);
    merge();
}

std::string ListCommands::pickFolder(std::string_view startFolderKey) {
    return desktop_.browseForFolder("Please select folder:", store_.read(startFolderKey, ""));
}

}  // namespace gantrylux
