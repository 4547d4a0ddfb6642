#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/folder_list_autosave.hpp"
#include "base/busy.hpp"
#include "folders/file_system.hpp"
#include "lists/candidate_merger.hpp"
#include "lists/file_list_reorder.hpp"
#include "lists/list_commands.hpp"
#include "lists/path_list.hpp"
#include "ports/clock.hpp"
#include "ports/desktop.hpp"
#include "ports/form.hpp"
#include "ports/settings_store.hpp"
#include "run/opening_run.hpp"

namespace gantrylux {

// The main window's behaviour: start-up, closing and the handlers that keep the user's choices
// in the settings store. The window (through Form) and the desktop are ports, so all of this
// runs and is tested without a toolkit.
class MainForm {
  public:
    // The file system is shared with the jobs, which may outlive the window.
    MainForm(Form& form, Desktop& desktop, SettingsStore& store,
             std::shared_ptr<const FileSystem> fs, const Clock& clock,
             std::chrono::milliseconds answerDeadline = kAnswerDeadline);
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    PathList& fileList() noexcept { return fileList_; }
    PathList& folderList() noexcept { return folderList_; }
    const PathList& candidateList() const noexcept { return candidateList_; }
    BusyCounter& busy() noexcept { return busy_; }
    const FileSystem& fileSystem() const noexcept { return *fs_; }

    void CorrelateListviewsWrapper() { merger_.CorrelateListviewsWrapper(); }
    // The folder rows' files are kept up to date with this watch from now on; without one,
    // they are walked again at each start and every few minutes of a run.
    void watchFolders(std::shared_ptr<FolderWatch> watch) { merger_.watchWith(std::move(watch)); }
    // Runs `then` once the newest merge is in, or at once when none is under way.
    void whenMerged(std::function<void()> then) { merger_.whenMerged(std::move(then)); }

    // Everything of the start-up but the merge: the window shows as soon as this returns.
    void Form_Load();
    // Paths from the command line, added to the file list at the end of the start-up.
    // `notLocal` names no file here (a file:// URL of another machine): it is told of with the
    // missing paths.
    void setCommandLinePaths(std::vector<std::string> paths,
                             std::vector<std::string> notLocal = {}) {
        commandLinePaths_ = std::move(paths);
        commandLineNotLocal_ = std::move(notLocal);
    }
    // The rest of the start-up, once the window shows: the candidate list from the restored
    // folder list, then the command line's paths. Its walk may take long (a huge or looping
    // folder tree), with the hourglass showing meanwhile; the window goes on serving the user,
    // and `finished` runs once both are in.
    void mergeAtStartUp(std::function<void()> finished = {});
    void Form_QueryUnload();
    // Ends the program: a run in progress opens no further file and every wait returns.
    void Form_Unload();

    void PushButton2_Click() { run_.PushButton2_Click(); }
    // Esc anywhere in the window: "Stop" during a run, nothing otherwise.
    void Form_EscapeKey() { run_.stopIfRunning(); }
    // The menu of "Start Opening"/"Stop": the files opened since start-up, newest first.
    const OpenedHistory& openedHistory() const noexcept { return run_.history(); }
    void OpenedMenu_OpenAgain(const std::string& path);
    void OpenedMenu_ShowInFolder(const std::string& path);
    ListCommands& commands() noexcept { return commands_; }
    FileListReorder& reorder() noexcept { return reorder_; }

    // The pointer over a push button is the hand, elsewhere the normal pointer; neither
    // replaces the hourglass while a long operation runs.
    void PushButton_MouseMove();
    void Form_MouseMove();

    void Check3_Click();
    // The three display options share one handler: each click stores the whole group.
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    // The handler of the option button that became selected.
    void Option_Click(DisplayOption selected);
    void Text1_Change();
    // Call only when the focus moved from the interval box to another control of the window.
    // False when the text is no number, which the user has then been told.
    bool Text1_LostFocus();
    void PushButton7_Click();

  private:
    void applySkinAndPointer(class Procedure& procedure);
    void restoreFolderList(Procedure& procedure);
    void restoreControls(Procedure& procedure);
    void storeDisplayOptions(std::string_view handler);

    Form& form_;
    Desktop& desktop_;
    SettingsStore& store_;
    std::shared_ptr<const FileSystem> fs_;
    PathList fileList_;
    PathList folderList_;
    PathList candidateList_;
    BusyCounter busy_;
    CandidateMerger merger_;
    OpeningRun run_;
    ListCommands commands_;
    FileListReorder reorder_{fileList_};
    FolderListAutosave folderAutosave_;
    bool restoring_ = false;
    std::vector<std::string> commandLinePaths_;
    std::vector<std::string> commandLineNotLocal_;
};

}  // namespace gantrylux
