#pragma once

#include <chrono>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace gantrylux {

// Where workers hand their results to the window's thread. Workers hold it by a shared pointer,
// so that one which comes back after the window has gone finds it closed rather than freed.
class EventMailbox {
  public:
    // `wake` tells the window's thread that events wait. It is called from any thread, with the
    // mailbox's lock held, and only while the mailbox is open.
    explicit EventMailbox(std::function<void()> wake) : wake_(std::move(wake)) {}

    // From any thread: `event` runs on the window's thread later, unless the mailbox has been
    // closed by then. A dropped event is destroyed on the thread that posted it.
    void post(std::function<void()> event);
    // On the window's thread: runs the waiting events one at a time, oldest first, those posted
    // meanwhile included. An event that opens a dialog may see later ones run inside it.
    void deliver();
    // On the window's thread: no event runs from now on, and those waiting are dropped.
    void close();

  private:
    std::function<void()> wake_;
    std::mutex mutex_;
    std::deque<std::function<void()>> events_;
    bool closed_ = false;
};

// Starts `work` on a thread of its own that nobody waits for. The thread is joined once it has
// ended, by the next start or by JoinWorkers, so that the process never ends under a thread
// that is still freeing what it held.
void StartDetached(std::function<void()> work);

// Runs `job` on a detached worker, then posts `finished` to the mailbox with the job's failure,
// if it threw.
void StartWorker(std::shared_ptr<EventMailbox> mailbox, std::function<void()> job,
                 std::function<void(std::exception_ptr)> finished);

// The background jobs of one window: each runs on a worker, and its end comes back through the
// window's mailbox. What both window layers' desktops share.
class BackgroundJobs {
  public:
    explicit BackgroundJobs(std::function<void()> wake)
        : mailbox_(std::make_shared<EventMailbox>(std::move(wake))) {}
    ~BackgroundJobs() { mailbox_->close(); }
    BackgroundJobs(const BackgroundJobs&) = delete;
    BackgroundJobs& operator=(const BackgroundJobs&) = delete;

    void start(std::function<void()> job, std::function<void(std::exception_ptr)> finished);
    // Jobs whose end has not been handled yet.
    int out() const noexcept { return out_; }
    void deliver() { mailbox_->deliver(); }
    void close() { mailbox_->close(); }

  private:
    std::shared_ptr<EventMailbox> mailbox_;
    int out_ = 0;
};

// Waits up to `patience` for every thread started here to end, and joins those that have. True
// when none is left. A program that ends while one is still out (stuck in the kernel on a share
// that does not answer) must not run its static destructors under it: it leaves at once instead.
// It is also run at exit, a few seconds at most.
bool JoinWorkers(std::chrono::milliseconds patience);

}  // namespace gantrylux
