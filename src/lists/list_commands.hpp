#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/busy.hpp"
#include "folders/file_system.hpp"
#include "folders/watched_job.hpp"
#include "lists/candidate_merger.hpp"
#include "lists/path_list.hpp"
#include "ports/desktop.hpp"
#include "ports/form.hpp"
#include "ports/settings_store.hpp"

namespace gantrylux {

class FolderReader;
class Procedure;

// Key code of the Delete key, as list key-down handlers receive it.
inline constexpr int kDeleteKey = 46;

// The commands that put rows into the file list and the folder list and take them out again,
// the sample loader and the drops. Each ends with the merge where it should; long folder walks
// run on workers while the window stays responsive, and rows are appended in batches.
class ListCommands {
  public:
    ListCommands(Form& form, Desktop& desktop, SettingsStore& store,
                 std::shared_ptr<const FileSystem> fs, PathList& files, PathList& folders,
                 BusyCounter& busy, CandidateMerger& merger,
                 std::chrono::milliseconds answerDeadline = kAnswerDeadline);
    ~ListCommands() { *self_ = nullptr; }
    ListCommands(const ListCommands&) = delete;
    ListCommands& operator=(const ListCommands&) = delete;

    void PushButton1_Click();   // Add File(s)
    void PushButton4_Click();   // Add All File(s) In Folder
    void PushButton15_Click();  // Add Folder(s)
    void PushButton21_Click();  // Add All Subfolders In Folder
    void PushButton3_Click();   // Clear List (files)
    void PushButton6_Click();   // Clear List (folders)
    void PushButton5_Click();   // Load Sample/Example Files

    void ListView1_DblClick();
    void ListView1_KeyDown(int keyCode);
    void ListView3_DblClick();
    void ListView3_KeyDown(int keyCode);

    // The menu of the selected row of either list. Remove is exactly what Delete does there.
    void RowMenu_Open(ListId list);
    void RowMenu_ShowInFolder(ListId list);
    void RowMenu_CopyPath(ListId list);
    void RowMenu_Remove(ListId list);

    // Paths dropped from the desktop's file manager, in the order it gave them.
    void ListView1_OLEDragDrop(const std::vector<std::string>& paths);
    void ListView3_OLEDragDrop(const std::vector<std::string>& paths);
    // Paths given on the command line ("Open With", a drop on the launcher): added as a drop on
    // the file list would add them. Those that do not exist are named in one message, after
    // `notLocal` (what names no file of this machine). `then` runs once the rows are in (or it
    // is clear that none come).
    void AddCommandLinePaths(const std::vector<std::string>& paths, std::function<void()> then = {},
                             const std::vector<std::string>& notLocal = {});

  private:
    void merge();
    // Says which chosen or dropped folders could not be kept in the folder list, and why.
    void tellLeftOut(const std::vector<std::string>& leftOut);
    // Appends folder rows at the step, leaving out and naming those that could not be kept.
    void appendFolderRows(Procedure& p, int step, std::vector<std::string> rows);
    // Removes the list's selected row, if there is one; with keepSelection, selects the next.
    void removeSelectedRow(ListId list, PathList& rows, bool keepSelection);
    // The text of the list's selected row, if there is one.
    std::optional<std::string> selectedText(ListId list) const;
    // Adds the sample files found on a worker, then asks whether to show their folder.
    void addSamples(const std::string& folder, const struct FoundSamples& found);
    // The folder picker, starting in the folder stored under the key; "" when cancelled.
    std::string pickFolder(std::string_view startFolderKey);
    // Runs a folder job on a worker, whose calls are watched, and then `then` on the window's
    // thread. The job writes only to what it holds by shared pointer. `then` learns whether the
    // job ended: a failure of it is reported at the step first; a job that stopped answering
    // is left behind, its results must not be read, and the user is told, naming `given`.
    // Nothing runs once the commands have gone.
    void inBackground(const std::string& identity, int step, std::vector<std::string> given,
                      std::function<void(FolderReader&)> job, std::function<void(bool)> then);
    // Whether rows that a job found may still be added to a list: not once the user has
    // cleared it since the job began, `clearsAtStart` being its count of clears then.
    static bool stillWanted(const PathList& list, std::uint64_t clearsAtStart) {
        return list.clears() == clearsAtStart;
    }

    Form& form_;
    Desktop& desktop_;
    SettingsStore& store_;
    std::shared_ptr<const FileSystem> fs_;
    PathList& files_;
    PathList& folders_;
    BusyCounter& busy_;
    CandidateMerger& merger_;
    std::chrono::milliseconds answerDeadline_;
    // Job ends that come back after the commands have gone find it expired.
    std::shared_ptr<ListCommands*> self_ = std::make_shared<ListCommands*>(this);
};

}  // namespace gantrylux
