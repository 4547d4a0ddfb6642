#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "app/busy.hpp"
#include "folders/file_system.hpp"
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
    ListCommands(Form& form, Desktop& desktop, SettingsStore& store, const FileSystem& fs,
                 PathList& files, PathList& folders, BusyCounter& busy, CandidateMerger& merger);

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

    // Paths dropped from the desktop's file manager, in the order it gave them.
    void ListView1_OLEDragDrop(const std::vector<std::string>& paths);
    void ListView3_OLEDragDrop(const std::vector<std::string>& paths);
    // Paths given on the command line ("Open With", a drop on the launcher): added as a drop on
    // the file list would add them. Those that do not exist are named in one message.
    void AddCommandLinePaths(const std::vector<std::string>& paths);

  private:
    void merge();
    // Says which chosen or dropped folders could not be kept in the folder list, and why.
    void tellLeftOut(const std::vector<std::string>& leftOut);
    // Removes the list's selected row, unless the window is busy or there is none to remove.
    void removeSelectedRow(ListId list, PathList& rows);
    void loadSamples();
    // The folder picker, starting in the folder stored under the key; "" when cancelled.
    std::string pickFolder(std::string_view startFolderKey);
    // Runs a folder job on a worker while the window stays responsive; a failure of the job is
    // reported at the step. False when the program is closing: the job was cut short and its
    // result must not be used.
    bool inBackground(Procedure& procedure, int step,
                      const std::function<void(FolderReader&)>& job);

    Form& form_;
    Desktop& desktop_;
    SettingsStore& store_;
    const FileSystem& fs_;
    PathList& files_;
    PathList& folders_;
    BusyCounter& busy_;
    CandidateMerger& merger_;
};

}  // namespace gantrylux
