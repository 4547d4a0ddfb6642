#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>

#include "folders/file_system.hpp"

namespace gantrylux {

// How long one file-system call may stay in flight before its job counts as not answering.
// Slow is not dead: a long walk whose calls keep returning is never cut off.
inline constexpr std::chrono::milliseconds kAnswerDeadline{10'000};

// Runs file-system work on a thread of its own and waits for it, unless it stops answering.
class WatchedJob {
  public:
    enum class End { Done, Stopped, NotAnswering };
    using Work = std::function<void(const FileSystem& fs, std::stop_token stop)>;

    // Runs `work` over `fs`, whose calls are watched, and returns once it is done, or once one
    // of its calls has been in flight for `deadline`. When `stop` is requested, the work is asked
    // to stop too and ends Stopped at its next call; a call it is in when asked still counts, so
    // that one which never returns is told NotAnswering at its deadline, whoever stopped the work.
    // Work that has not ended by then is left to end by itself when its call returns; nothing
    // joins its thread. So the work must keep what it writes alive by itself (shared pointers),
    // and the file system is held here as long as a call of it may be out. A failure of a work
    // that is done is rethrown.
    static WatchedJob Run(std::shared_ptr<const FileSystem> fs, std::chrono::milliseconds deadline,
                          std::stop_token stop, Work work);

    End end() const noexcept { return end_; }
    // For work that was left to end by itself: runs `then` on its thread once it has ended, or
    // here and now when it already has.
    void whenEnded(std::function<void()> then) const;

  private:
    struct Shared;
    WatchedJob(End end, std::shared_ptr<Shared> shared) : end_(end), shared_(std::move(shared)) {}

    End end_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace gantrylux
