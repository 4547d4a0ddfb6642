#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

#include "base/busy.hpp"
#include "folders/file_system.hpp"
#include "folders/folder_watch.hpp"
#include "folders/watched_job.hpp"
#include "lists/path_list.hpp"
#include "lists/rows_in_walk.hpp"
#include "lists/unanswering_folders.hpp"
#include "ports/desktop.hpp"

namespace gantrylux {

// Rebuilds the candidate list from the file list and the folder list. The lists are copied,
// the candidates built on workers, and the result swapped in whole when it comes back to the
// window's thread as an event; the window never waits for it. A newer merge replaces an older
// one: the older is asked to stop and its result is dropped, so the candidate list is always
// the newest complete merge. A folder row with a call that does not return within the deadline
// is left out of the merge, which then ends with the other rows' candidates.
//
// Each folder row's files are kept between merges, so an edit walks only the rows it added.
// Where a watch is given, the kept rows are watched: a changed folder is read again alone, a
// row whose events were lost is walked again, each as a merge of its own that goes unseen.
// Rows the watch cannot take are walked again at each refresh.
class CandidateMerger {
  public:
    CandidateMerger(const PathList& files, const PathList& folders, PathList& candidates,
                    BusyCounter& busy, Desktop& desktop, std::shared_ptr<const FileSystem> fs,
                    std::chrono::milliseconds answerDeadline = kAnswerDeadline);
    ~CandidateMerger();
    CandidateMerger(const CandidateMerger&) = delete;
    CandidateMerger& operator=(const CandidateMerger&) = delete;

    // From now on, the kept rows are watched with this.
    void watchWith(std::shared_ptr<FolderWatch> watch);
    // Walks only the folder rows it has not walked before; the others' files are kept.
    void CorrelateListviewsWrapper();
    // Walks every folder row that is not watched again in the background, for the files that
    // came or went since; the candidates stay usable meanwhile. Nothing while any merge is
    // under way.
    void refresh();
    // A merge of an edit is under way (a refresh or a watched change does not count).
    bool running() const noexcept;
    // Runs `then` once the newest merge is in, or at once when none is under way.
    void whenMerged(std::function<void()> then);

  private:
    struct Job;
    void merge(bool quiet);
    void finished(const std::shared_ptr<Job>& job, std::exception_ptr failure);
    void tellNotAnswering(const Job& job);
    void watchKeptRows();
    void waitForChanges();
    void watched(WatchReport report);
    void mergeWatchedChanges();

    const PathList& files_;
    const PathList& folders_;
    PathList& candidates_;
    BusyCounter& busy_;
    Desktop& desktop_;
    std::shared_ptr<const FileSystem> fs_;
    std::chrono::milliseconds answerDeadline_;
    std::shared_ptr<UnansweringFolders> unanswering_ = std::make_shared<UnansweringFolders>();
    std::shared_ptr<RowsInWalk> rowsInWalk_ = std::make_shared<RowsInWalk>();
    std::shared_ptr<Job> current_;
    bool busyShown_ = false;
    std::shared_ptr<const struct KeptRows> kept_;
    std::vector<std::function<void()>> waiting_;
    std::shared_ptr<FolderWatch> watch_;
    std::stop_source watchStop_;
    bool waitingForChanges_ = false;
    // The rows the watch was last given, with their folders.
    std::map<std::string, std::shared_ptr<const std::vector<std::string>>> watched_;
    std::set<std::string> unwatchable_;  // rows it could not take
    // What the watch saw that no merge has brought in yet.
    std::set<std::string> pendingChanged_;  // folders to read again
    std::set<std::string> pendingWalk_;     // rows to walk again
    // Ends that come back after the merger has gone find it expired.
    std::shared_ptr<CandidateMerger*> self_ = std::make_shared<CandidateMerger*>(this);
};

}  // namespace gantrylux
