#include "folders/watched_job.hpp"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>

#include "folders/watched_file_system.hpp"
#include "ports/worker_job.hpp"

namespace gantrylux {

struct WatchedJob::Shared {
    explicit Shared(std::shared_ptr<const FileSystem> given)
        : real(std::move(given)), fs(*real, watch) {}

    std::shared_ptr<const FileSystem> real;
    CallWatch watch;
    WatchedFileSystem fs;
    std::stop_source stop;
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    std::exception_ptr failure;
    std::function<void()> ended;
};

WatchedJob WatchedJob::Run(std::shared_ptr<const FileSystem> fs, std::chrono::milliseconds deadline,
                           std::stop_token stop, Work work) {
    auto shared = std::make_shared<Shared>(std::move(fs));
    if (stop.stop_requested()) {
        shared->done = true;  // replaced before it began: nothing to start
        return {End::Stopped, shared};
    }
    StartDetached([shared, work = std::move(work)] {
        std::exception_ptr failure;
        try {
            work(shared->fs, shared->stop.get_token());
        } catch (...) {
            failure = std::current_exception();
        }
        std::function<void()> ended;
        {
            std::lock_guard lock(shared->mutex);
            shared->done = true;
            shared->failure = failure;
            ended = std::move(shared->ended);
        }
        shared->changed.notify_all();
        if (ended) {
            ended();
        }
    });

    const std::stop_callback wakeOnStop(stop, [&shared] {
        std::lock_guard lock(shared->mutex);
        shared->changed.notify_all();
    });
    // Often enough to notice a stuck call soon after its deadline, seldom enough to cost
    // nothing.
    const auto poll = std::clamp<std::chrono::milliseconds>(
        deadline / 4, std::chrono::milliseconds(1), std::chrono::milliseconds(250));
    bool stopped = false;
    std::unique_lock lock(shared->mutex);
    for (;;) {
        if (shared->done) {
            if (stopped) {
                return {End::Stopped, shared};
            }
            if (shared->failure) {
                std::rethrow_exception(shared->failure);
            }
            return {End::Done, shared};
        }
        if (!stopped && stop.stop_requested()) {
            stopped = true;
            shared->stop.request_stop();
        }
        // A stopped work still in a call is waited for: slow is not dead, and a call that does
        // not return must still be told, even when nobody wants the work's result any more.
        const auto oldest = shared->watch.oldestCall();
        if (oldest && CallWatch::Clock::now() - *oldest >= deadline) {
            shared->stop.request_stop();
            return {End::NotAnswering, shared};
        }
        shared->changed.wait_for(lock, poll);
    }
}

void WatchedJob::whenEnded(std::function<void()> then) const {
    {
        std::lock_guard lock(shared_->mutex);
        if (!shared_->done) {
            shared_->ended = std::move(then);
            return;
        }
    }
    then();
}

}  // namespace gantrylux
