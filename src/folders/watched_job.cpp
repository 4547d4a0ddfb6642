#include "folders/watched_job.hpp"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>

#include "folders/watched_file_system.hpp"
#include "ports/worker_job.hpp"

namespace gantrylux {

struct WatchedJob::Shared {
    explicit Shared(const FileSystem& real) : fs(real, watch) {}

    CallWatch watch;
    WatchedFileSystem fs;
    std::stop_source stop;
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    std::exception_ptr failure;
    std::function<void()> ended;
};

WatchedJob WatchedJob::Run(const FileSystem& fs, std::chrono::milliseconds deadline,
                           std::stop_token stop, Work work) {
    auto shared = std::make_shared<Shared>(fs);
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
    std::unique_lock lock(shared->mutex);
    for (;;) {
        if (shared->done) {
            if (shared->failure) {
                std::rethrow_exception(shared->failure);
            }
            return {End::Done, shared};
        }
        End end = End::Done;
        if (stop.stop_requested()) {
            end = End::Stopped;
        } else if (const auto oldest = shared->watch.oldestCall();
                   oldest && CallWatch::Clock::now() - *oldest >= deadline) {
            end = End::NotAnswering;
        }
        if (end != End::Done) {
            shared->stop.request_stop();
            return {end, shared};
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
