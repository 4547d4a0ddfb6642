#pragma once

#include <chrono>
#include <memory>
#include <string_view>

#include "base/busy.hpp"
#include "bench_desktop.hpp"
#include "folders/file_system.hpp"
#include "lists/candidate_merger.hpp"
#include "lists/path_list.hpp"

namespace gantrylux::bench {

// The lists and the candidate merger of a window, on a desktop without one.
struct MergerRig {
    explicit MergerRig(std::shared_ptr<const FileSystem> fs);

    // Asks for a merge as an edit does and handles events until it is in, as the start of a
    // run waits for it. Gives the seconds that took; throws std::runtime_error when `timeout`
    // passed first.
    double mergeEdit(std::chrono::seconds timeout = std::chrono::seconds(120));
    bool holds(std::string_view candidate) const;

    PathList files;
    PathList folders;
    PathList candidates;
    BusyCounter busy{nullptr};
    BenchDesktop desktop;  // before the merger, which outlives none of its jobs' ends
    CandidateMerger merger;
};

// The seconds since `start` on the steady clock.
double SecondsSince(std::chrono::steady_clock::time_point start);

}  // namespace gantrylux::bench
