#include "lists/candidate_merger.hpp"

#include <algorithm>
#include <atomic>
#include <optional>
#include <stop_token>
#include <thread>
#include <utility>

#include "base/procedure.hpp"
#include "lists/merge.hpp"

namespace gantrylux {

// One merge, as its worker sees it: the lists as they stood, and what it found. It is shared
// with the worker, which may outlive the merger when a row hangs.
struct CandidateMerger::Job {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::stop_source stop;
    MergeResult result;
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
        for (std::string& row : folders) {
            if (!unanswering->contains(row)) {
                rows.push_back(std::move(row));
            }
        }
        const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
        for (;;) {
            const std::optional<std::size_t> stuck =
                attempt(fs, deadline, rows, threads, unanswering, rowsInWalk);
            if (!stuck || stop.stop_requested()) {
                return;  // done, or replaced: a newer merge walks the rows as they now stand
            }
            if (*stuck >= rows.size()) {
                // Past the walks: no row to leave out, so only the file rows are left.
                result.candidates.clear();
                for (const std::string& file : files) {
                    result.candidates.push_back(file);
                }
                return;
            }
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(*stuck));
        }
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
            [attempt, files = files, rows, threads](const FileSystem& watched,
                                                    std::stop_token stopAttempt) {
                attempt->result = BuildCandidates(files, rows, watched, threads,
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
    Procedure p{std::string(kMergeIdentity), desktop_};
    // The hourglass shows from the first merge asked for until the newest is in.
    if (current_) {
        current_->stop.request_stop();  // its result would be stale: this one replaces it
    } else {
        busy_.enter();
    }
    auto job = std::make_shared<Job>();
    job->files = files_.texts();
    job->folders = folders_.texts();
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
        busy_.leave();
        candidates_.clear();
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
    busy_.leave();
    Procedure p{std::string(kMergeIdentity), desktop_};
    if (failure) {
        p.step(124, [&] { std::rethrow_exception(failure); });
        candidates_.clear();
    } else {
        p.step(102, [&] { candidates_.assign(std::move(job->result.candidates)); });
        for (const MergeFailure& f : job->result.failures) {
            ReportFailure(desktop_, f.description, f.identity, f.step);
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

void CandidateMerger::whenMerged(std::function<void()> then) {
    if (current_) {
        waiting_.push_back(std::move(then));
    } else {
        then();
    }
}

}  // namespace gantrylux
