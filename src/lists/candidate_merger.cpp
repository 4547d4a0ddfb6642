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

// One merge, as its worker sees it: the lists as they stood, and what it found. It is shared
// with the worker, which may outlive the merger when a row hangs.
struct CandidateMerger::Job {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    // The rows' files as last walked; a refresh has none and walks every row.
    std::shared_ptr<const KeptRows> kept;
    bool refresh = false;
    std::stop_source stop;
    MergeResult result;
    std::shared_ptr<const KeptRows> newKept;
    std::vector<std::string> notAnswering;  // rows the user is to be told of

    // Walks the rows, each attempt without the rows found not answering so far; a row whose
    // stuck call is still out from an earlier merge is left out from the start, and a row that
    // an older merge is still walking is waited for rather than asked again.
    void run(const std::shared_ptr<const FileSystem>& fs, std::chrono::milliseconds deadline,
             const std::shared_ptr<UnansweringFolders>& unanswering, RowsInWalk& rowsInWalk) {
        if (!rowsInWalk.waitForRows(folders, stop.get_token())) {
            return;
        }
        std::vector<std::string> rows;
        std::vector<std::string> toWalk;  // each once
        for (std::string& row : folders) {
            if (unanswering->contains(row)) {
                continue;
            }
            if ((kept == nullptr || kept->find(row) == nullptr) &&
                std::find(toWalk.begin(), toWalk.end(), row) == toWalk.end()) {
                toWalk.push_back(row);
            }
            rows.push_back(std::move(row));
        }
        const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
        for (;;) {
            const std::optional<std::size_t> stuck =
                attempt(fs, deadline, toWalk, threads, unanswering, rowsInWalk);
            if (stop.stop_requested()) {
                return;  // replaced: a newer merge walks the rows as they now stand
            }
            if (!stuck) {
                break;
            }
            if (*stuck >= toWalk.size()) {
                // Past the walks: no row to leave out, so none of the walked rows is kept.
                result = {};
                toWalk.clear();
                break;
            }
            toWalk.erase(toWalk.begin() + static_cast<std::ptrdiff_t>(*stuck));
        }
        ComposedCandidates composed = ComposeCandidates(files, rows, kept.get(), toWalk, result);
        result.candidates = std::move(composed.candidates);
        newKept = std::move(composed.kept);
    }

    // One walk of the rows. Gives the position of the row that stopped answering, which is
    // marked so before any newer merge waiting for that row goes on; nothing when the walk
    // ended otherwise.
    std::optional<std::size_t> attempt(const std::shared_ptr<const FileSystem>& fs,
                                       std::chrono::milliseconds deadline,
                                       const std::vector<std::string>& rows, unsigned threads,
                                       const std::shared_ptr<UnansweringFolders>& unanswering,
                                       RowsInWalk& rowsInWalk) {
        struct Attempt {
            std::atomic<std::size_t> walkingRow{0};
            MergeResult result;
        };
        auto attempt = std::make_shared<Attempt>();
        const RowsInWalk::Walker walker{&rows, &attempt->walkingRow};
        rowsInWalk.enter(walker);
        const struct Leave {
            RowsInWalk& rows;
            const RowsInWalk::Walker& walker;
            ~Leave() { rows.leave(walker); }
        } leave{rowsInWalk, walker};
        const WatchedJob job = WatchedJob::Run(
            fs, deadline, stop.get_token(),
            [attempt, rows, threads](const FileSystem& watched, std::stop_token stopAttempt) {
                attempt->result = BuildCandidates({}, rows, watched, threads,
                                                  std::move(stopAttempt), &attempt->walkingRow);
            });
        switch (job.end()) {
            case WatchedJob::End::Done:
                result = std::move(attempt->result);
                return std::nullopt;
            case WatchedJob::End::Stopped:
                return std::nullopt;
            case WatchedJob::End::NotAnswering:
                break;
        }
        const std::size_t stuck = attempt->walkingRow.load();
        if (stuck < rows.size()) {
            const std::string& row = rows[stuck];
            // Told once, by whichever merge finds it first, replaced or not.
            if (unanswering->mark(row)) {
                notAnswering.push_back(row);
            }
            job.whenEnded([unanswering, row] { unanswering->answered(row); });
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
    if (current_) {
        current_->stop.request_stop();
    }
}

void CandidateMerger::CorrelateListviewsWrapper() {
    merge(false);
}

// A refresh under way goes on: started again every few minutes, the walk of a large tree would
// otherwise never end.
void CandidateMerger::refresh() {
    if (current_ == nullptr) {
        merge(true);
    }
}

void CandidateMerger::merge(bool refresh) {
    Procedure p{std::string(kMergeIdentity), desktop_};
    if (current_) {
        current_->stop.request_stop();  // its result would be stale: this one replaces it
    }
    // The hourglass shows from the first merge of an edit until the newest is in; a refresh
    // goes unseen.
    if (!refresh && !std::exchange(busyShown_, true)) {
        busy_.enter();
    }
    auto job = std::make_shared<Job>();
    job->files = files_.texts();
    job->folders = folders_.texts();
    job->refresh = refresh;
    if (!refresh) {
        job->kept = kept_;
    }
    current_ = job;
    const bool started = p.step(124, [&] {
        desktop_.startInBackground(
            [job, fs = fs_, deadline = answerDeadline_, unanswering = unanswering_,
             rowsInWalk = rowsInWalk_] { job->run(fs, deadline, unanswering, *rowsInWalk); },
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
        kept_ = job->newKept;
        p.step(102, [&] { candidates_.assign(std::move(job->result.candidates)); });
        // A refresh walks rows whose failures were told when they were first walked.
        if (!job->refresh) {
            for (const MergeFailure& f : job->result.failures) {
                ReportFailure(desktop_, f.description, f.identity, f.step);
            }
        }
        tellNotAnswering(*job);
    }
    // A merge asked for while a message showed is the newest now: those waiting wait for it.
    if (!current_) {
        for (const std::function<void()>& then : std::exchange(waiting_, {})) {
            then();
        }
    }
}

void CandidateMerger::tellNotAnswering(const Job& job) {
    if (const std::string message = UnansweringFoldersMessage(job.notAnswering);
        !message.empty() && !desktop_.closing()) {
        desktop_.messageBox(message, message_style::kOkOnly, "");
    }
}

bool CandidateMerger::running() const noexcept {
    return current_ != nullptr && !current_->refresh;
}

void CandidateMerger::whenMerged(std::function<void()> then) {
    if (running()) {
        waiting_.push_back(std::move(then));
    } else {
        then();
    }
}

}  // namespace gantrylux
