#include "lists/candidate_merger.hpp"

#include <algorithm>
#include <atomic>
#include <optional>
#include <stop_token>
#include <thread>
#include <utility>

#include "base/procedure.hpp"
#include "lists/kept_rows.hpp"
#include "lists/merge.hpp"

namespace gantrylux {
namespace {

void AddOnce(std::vector<std::string>& rows, const std::string& row) {
    if (std::find(rows.begin(), rows.end(), row) == rows.end()) {
        rows.push_back(row);
    }
}

// The work of one attempt, on the watched file system. It keeps what it finds in what it
// captured: a call that does not return may keep it running after the attempt gave up on it.
using AttemptWork =
    std::function<void(const FileSystem&, std::stop_token, std::atomic<std::size_t>&)>;

}  // namespace

// One merge, as its worker sees it: the lists as they stood, and what it found. It is shared
// with the worker, which may outlive the merger when a row hangs.
struct CandidateMerger::Job {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::shared_ptr<const KeptRows> kept;  // the rows' files as last merged
    // A refresh or a watched change rather than an edit: it shows no hourglass and tells no
    // failure, which the user heard of when the rows were first walked.
    bool quiet = false;
    std::set<std::string> walkAgain;  // kept rows to walk all the same
    std::set<std::string> changed;    // folders of kept rows to read again
    std::stop_source stop;
    ComposedCandidates composed;
    std::vector<MergeFailure> failures;
    std::vector<std::string> notAnswering;  // rows the user is to be told of

    struct Tools {
        std::shared_ptr<const FileSystem> fs;
        std::chrono::milliseconds deadline;
        std::shared_ptr<UnansweringFolders> unanswering;
        std::shared_ptr<RowsInWalk> rowsInWalk;
    };

    // Reads the changed folders again, then walks the rows that are new, asked for, or whose
    // folders are no longer those walked; the other rows' files are kept. In each step a row
    // found not answering is left out and the step is tried again without it; a row whose stuck
    // call is still out from an earlier merge is left out from the start, and a row that an
    // older merge is still walking is waited for rather than asked again.
    void run(const Tools& tools) {
        if (!tools.rowsInWalk->waitForRows(folders, stop.get_token())) {
            return;
        }
        std::set<std::string> leftOut;
        std::vector<std::string> rows;
        const auto answering = [&] {
            rows.clear();
            for (const std::string& row : folders) {
                if (!leftOut.contains(row) && !tools.unanswering->contains(row)) {
                    rows.push_back(row);
                }
            }
        };
        RowsFound found;
        std::set<std::string> promoted;  // kept rows whose folders changed shape
        for (;;) {
            answering();
            std::vector<std::string> rereadRows;
            for (const std::string& row : rows) {
                if (holdsChange(row)) {
                    AddOnce(rereadRows, row);
                }
            }
            if (rereadRows.empty()) {
                break;
            }
            auto out = std::make_shared<
                std::pair<std::map<std::string, FolderReread>, std::set<std::string>>>();
            const std::optional<std::size_t> stuck = attempt(
                tools, rereadRows,
                [out, rereadRows, kept = kept, changed = changed](
                    const FileSystem& fs, std::stop_token, std::atomic<std::size_t>& at) {
                    for (std::size_t i = 0; i < rereadRows.size(); ++i) {
                        at.store(i);
                        Reread(fs, *kept->find(rereadRows[i]), rereadRows[i], changed, *out);
                    }
                    at.store(rereadRows.size());
                });
            if (stop.stop_requested()) {
                return;
            }
            if (!stuck || *stuck >= rereadRows.size()) {
                found.reread = std::move(out->first);
                promoted = std::move(out->second);
                break;
            }
            leftOut.insert(rereadRows[*stuck]);
        }
        for (;;) {
            answering();
            const bool walkAll = std::all_of(rows.begin(), rows.end(), [&](const std::string& r) {
                return needsWalk(r) || promoted.contains(r);
            });
            std::vector<std::string> toWalk;
            if (walkAll) {
                toWalk = rows;  // as a merge of every row walks them, twice where given twice
            } else {
                for (const std::string& row : rows) {
                    if (needsWalk(row) || promoted.contains(row)) {
                        AddOnce(toWalk, row);
                    }
                }
            }
            auto out = std::make_shared<MergeResult>();
            const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
            const std::optional<std::size_t> stuck = attempt(
                tools, toWalk,
                [out, toWalk, threads, fileRows = walkAll ? files : std::vector<std::string>{}](
                    const FileSystem& fs, std::stop_token stopAttempt,
                    std::atomic<std::size_t>& at) {
                    *out =
                        BuildCandidates(fileRows, toWalk, fs, threads, std::move(stopAttempt), &at);
                });
            if (stop.stop_requested()) {
                return;  // replaced: a newer merge walks the rows as they now stand
            }
            if (!stuck) {
                found.walkedRows = std::move(toWalk);
                found.walked = std::move(*out);
                found.walkedAll = walkAll;
                break;
            }
            if (*stuck >= toWalk.size()) {
                // Past the walks: no row to leave out, so none of the walked rows is kept.
                for (const std::string& row : toWalk) {
                    leftOut.insert(row);
                }
                answering();
                break;
            }
            leftOut.insert(toWalk[*stuck]);
        }
        failures = std::move(found.walked.failures);
        composed = ComposeCandidates(files, rows, kept.get(), std::move(found));
    }

    bool needsWalk(const std::string& row) const {
        return kept == nullptr || kept->find(row) == nullptr || walkAgain.contains(row);
    }

    bool holdsChange(const std::string& row) const {
        if (changed.empty() || needsWalk(row)) {
            return false;
        }
        const std::vector<std::string>& rowFolders = *kept->find(row)->folders;
        return std::any_of(rowFolders.begin(), rowFolders.end(),
                           [&](const std::string& folder) { return changed.contains(folder); });
    }

    // Reads a kept row's changed folders again. A folder that cannot be read, or whose
    // subfolders are no longer those walked, has the row walked whole: only a walk keeps the
    // rules on links and on folders met twice.
    static void Reread(const FileSystem& fs, const KeptRows::Row& kept, const std::string& row,
                       const std::set<std::string>& changed,
                       std::pair<std::map<std::string, FolderReread>, std::set<std::string>>& out) {
        for (std::size_t i = 0; i < kept.folders->size(); ++i) {
            const std::string& folder = (*kept.folders)[i];
            if (!changed.contains(folder) || out.first.contains(folder)) {
                continue;
            }
            try {
                FolderReread reread = RereadFolder(fs, folder);
                if (reread.shape != kept.folderShapes[i]) {
                    out.second.insert(row);
                    return;
                }
                out.first.emplace(folder, std::move(reread));
            } catch (const FileSystemError&) {
                out.second.insert(row);
                return;
            }
        }
    }

    // One step on the watched file system. Gives the position of the row that stopped
    // answering, which is marked so before any newer merge waiting for that row goes on;
    // nothing when the step ended otherwise.
    std::optional<std::size_t> attempt(const Tools& tools, const std::vector<std::string>& rows,
                                       AttemptWork work) {
        auto walkingRow = std::make_shared<std::atomic<std::size_t>>(0);
        const RowsInWalk::Walker walker{&rows, walkingRow.get()};
        tools.rowsInWalk->enter(walker);
        const struct Leave {
            RowsInWalk& rows;
            const RowsInWalk::Walker& walker;
            ~Leave() { rows.leave(walker); }
        } leave{*tools.rowsInWalk, walker};
        const WatchedJob job =
            WatchedJob::Run(tools.fs, tools.deadline, stop.get_token(),
                            [walkingRow, work = std::move(work)](const FileSystem& watched,
                                                                 std::stop_token stopAttempt) {
                                work(watched, std::move(stopAttempt), *walkingRow);
                            });
        if (job.end() != WatchedJob::End::NotAnswering) {
            return std::nullopt;
        }
        const std::size_t stuck = walkingRow->load();
        if (stuck < rows.size()) {
            const std::string& row = rows[stuck];
            // Told once, by whichever merge finds it first, replaced or not.
            if (tools.unanswering->mark(row)) {
                notAnswering.push_back(row);
            }
            job.whenEnded([unanswering = tools.unanswering, row] { unanswering->answered(row); });
        }
        return stuck;
    }
};

CandidateMerger::CandidateMerger(const PathList& files, const PathList& folders,
                                 PathList& candidates, BusyCounter& busy, Desktop& desktop,
                                 std::shared_ptr<const FileSystem> fs,
                                 std::chrono::milliseconds answerDeadline)
    : files_(files),
      folders_(folders),
      candidates_(candidates),
      busy_(busy),
      desktop_(desktop),
      fs_(std::move(fs)),
      answerDeadline_(answerDeadline) {}

CandidateMerger::~CandidateMerger() {
    *self_ = nullptr;
    watchStop_.request_stop();
    if (current_) {
        current_->stop.request_stop();
    }
}

void CandidateMerger::watchWith(std::shared_ptr<FolderWatch> watch) {
    watch_ = std::move(watch);
    watchKeptRows();
}

void CandidateMerger::CorrelateListviewsWrapper() {
    merge(false);
}

// A refresh under way goes on: started again every few minutes, the walk of a large tree would
// otherwise never end. Watched rows need no walk: their changes come as they happen.
void CandidateMerger::refresh() {
    if (current_ != nullptr) {
        return;
    }
    for (const std::string& row : folders_.texts()) {
        if (watch_ == nullptr || !watched_.contains(row)) {
            pendingWalk_.insert(row);
        }
    }
    if (!pendingWalk_.empty()) {
        merge(true);
    }
}

void CandidateMerger::merge(bool quiet) {
    Procedure p{std::string(kMergeIdentity), desktop_};
    if (current_) {
        current_->stop.request_stop();  // its result would be stale: this one replaces it
    }
    // The hourglass shows from the first merge of an edit until the newest is in; a refresh
    // goes unseen.
    if (!quiet && !std::exchange(busyShown_, true)) {
        busy_.enter();
    }
    auto job = std::make_shared<Job>();
    job->files = files_.texts();
    job->folders = folders_.texts();
    job->quiet = quiet;
    job->kept = kept_;
    job->walkAgain = pendingWalk_;
    job->changed = pendingChanged_;
    current_ = job;
    const bool started = p.step(124, [&] {
        desktop_.startInBackground([job, tools = Job::Tools{fs_, answerDeadline_, unanswering_,
                                                            rowsInWalk_}] { job->run(tools); },
                                   [self = self_, job](std::exception_ptr failure) {
                                       if (*self != nullptr) {
                                           (*self)->finished(job, failure);
                                       }
                                   });
    });
    if (!started) {
        // What the list held belongs to lists that may have changed since, so it goes, as at
        // the start of every merge.
        current_.reset();
        if (std::exchange(busyShown_, false)) {
            busy_.leave();
        }
        candidates_.clear();
        kept_.reset();
    }
}

void CandidateMerger::finished(const std::shared_ptr<Job>& job, std::exception_ptr failure) {
    if (job != current_) {
        // Its candidates and failures belong to lists that have changed since; a folder it found
        // not answering is told all the same, as no later merge asks that folder again.
        if (!failure) {
            tellNotAnswering(*job);
        }
        return;
    }
    current_.reset();
    if (std::exchange(busyShown_, false)) {
        busy_.leave();
    }
    Procedure p{std::string(kMergeIdentity), desktop_};
    if (failure) {
        p.step(124, [&] { std::rethrow_exception(failure); });
        candidates_.clear();
        kept_.reset();
    } else {
        for (const std::string& row : job->walkAgain) {
            pendingWalk_.erase(row);
        }
        for (const std::string& folder : job->changed) {
            pendingChanged_.erase(folder);
        }
        kept_ = job->composed.kept;
        p.step(102, [&] { candidates_.assign(std::move(job->composed.candidates)); });
        if (!job->quiet) {
            for (const MergeFailure& f : job->failures) {
                ReportFailure(desktop_, f.description, f.identity, f.step);
            }
        }
        tellNotAnswering(*job);
        watchKeptRows();
    }
    // A merge asked for while a message showed is the newest now: those waiting wait for it.
    if (!current_) {
        for (const std::function<void()>& then : std::exchange(waiting_, {})) {
            then();
        }
    }
    mergeWatchedChanges();
}

void CandidateMerger::tellNotAnswering(const Job& job) {
    if (const std::string message = UnansweringFoldersMessage(job.notAnswering);
        !message.empty() && !desktop_.closing()) {
        desktop_.messageBox(message, message_style::kOkOnly, "");
    }
}

bool CandidateMerger::running() const noexcept {
    return current_ != nullptr && !current_->quiet;
}

void CandidateMerger::whenMerged(std::function<void()> then) {
    if (running()) {
        waiting_.push_back(std::move(then));
    } else {
        then();
    }
}

// Every kept row with folders is watched, but for those that do not answer: placing a watch
// would ask them again. A row the watch cannot take is walked at each refresh instead.
void CandidateMerger::watchKeptRows() {
    if (watch_ == nullptr || kept_ == nullptr) {
        return;
    }
    std::vector<WatchedRow> rows;
    std::map<std::string, std::shared_ptr<const std::vector<std::string>>> watched;
    for (const auto& [row, kept] : kept_->rows) {
        if (!kept.folders->empty() && !unwatchable_.contains(row) && !unanswering_->contains(row)) {
            rows.push_back({row, kept.folders});
            watched.emplace(row, kept.folders);
        }
    }
    if (watched == watched_ && waitingForChanges_) {
        return;
    }
    watched_ = std::move(watched);
    watch_->watch(std::move(rows));
    if (!std::exchange(waitingForChanges_, true)) {
        waitForChanges();
    }
}

void CandidateMerger::waitForChanges() {
    auto report = std::make_shared<WatchReport>();
    desktop_.startInBackground(
        [watch = watch_, report, stop = watchStop_.get_token()] { *report = watch->next(stop); },
        [self = self_, report](std::exception_ptr failure) {
            if (*self == nullptr) {
                return;
            }
            CandidateMerger& merger = **self;
            if (failure) {
                // Without the watch, every row is walked at each refresh.
                merger.watch_.reset();
                merger.watched_.clear();
                return;
            }
            merger.watched(std::move(*report));
            merger.waitForChanges();
        });
}

void CandidateMerger::watched(WatchReport report) {
    pendingChanged_.insert(report.changedFolders.begin(), report.changedFolders.end());
    pendingWalk_.insert(report.overflowedRows.begin(), report.overflowedRows.end());
    for (const std::string& row : report.unwatchableRows) {
        unwatchable_.insert(row);
        watched_.erase(row);
    }
    mergeWatchedChanges();
}

// Changes wait while any merge is under way: it may be replaced, and what it carried is carried
// again by the next one, until one lands.
void CandidateMerger::mergeWatchedChanges() {
    if (current_ == nullptr && kept_ != nullptr &&
        (!pendingChanged_.empty() || !pendingWalk_.empty())) {
        merge(true);
    }
}

}  // namespace gantrylux
