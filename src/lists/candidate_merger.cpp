#include "lists/candidate_merger.hpp"

#include <algorithm>
#include <thread>

#include "app/procedure.hpp"
#include "lists/merge.hpp"

namespace gantrylux {

CandidateMerger::CandidateMerger(const PathList& files, const PathList& folders,
                                 PathList& candidates, BusyCounter& busy, Desktop& desktop,
                                 const FileSystem& fs)
    : files_(files),
      folders_(folders),
      candidates_(candidates),
      busy_(busy),
      desktop_(desktop),
      fs_(fs) {}

void CandidateMerger::CorrelateListviewsWrapper() {
    if (running_) {
        stale_ = true;
        return;
    }
    running_ = true;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{running_};
    BusyGuard busy(busy_);
    Procedure p{std::string(kMergeIdentity), desktop_};
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    do {
        stale_ = false;
        const std::vector<std::string> files = files_.texts();
        const std::vector<std::string> folders = folders_.texts();
        MergeResult result;
        if (!p.step(124, [&] {
                desktop_.runInBackground([&](std::stop_token stop) {
                    result = BuildCandidates(files, folders, fs_, threads, stop);
                });
            })) {
            // The job's failure has been reported; what the list held belongs to lists that
            // may have changed since, so it goes, as at the start of every merge.
            candidates_.clear();
            continue;
        }
        if (desktop_.closing()) {
            return;  // the job was cut short: its result is partial
        }
        if (stale_) {
            continue;
        }
        p.step(102, [&] { candidates_.assign(std::move(result.candidates)); });
        for (const MergeFailure& failure : result.failures) {
            ReportFailure(desktop_, failure.description, failure.identity, failure.step);
        }
    } while (stale_);
}

}  // namespace gantrylux
