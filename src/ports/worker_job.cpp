#include "ports/worker_job.hpp"

#include <atomic>
#ifndef _WIN32
#include <pthread.h>

#include <csignal>
#endif
#include <thread>
#include <utility>

namespace gantrylux {
namespace {

std::atomic<int> liveWorkers{0};

}  // namespace

void EventMailbox::post(std::function<void()> event) {
    std::unique_lock lock(mutex_);
    if (closed_) {
        lock.unlock();
        return;  // `event` goes here, on the posting thread
    }
    events_.push_back(std::move(event));
    wake_();
}

void EventMailbox::deliver() {
    for (;;) {
        std::function<void()> event;
        {
            std::lock_guard lock(mutex_);
            if (closed_ || events_.empty()) {
                return;
            }
            event = std::move(events_.front());
            events_.pop_front();
        }
        event();
    }
}

void EventMailbox::close() {
    std::deque<std::function<void()>> dropped;
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(events_);
}

void StartDetached(std::function<void()> work) {
    liveWorkers.fetch_add(1);
#ifndef _WIN32
    // The process's signals (a termination request among them) go to the window's thread, never
    // to a worker: a signal caught by a worker would cut short the call it is waiting in. The
    // new thread takes the mask of the one that starts it.
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
#endif
    try {
        std::thread([work = std::move(work)] {
            work();
            liveWorkers.fetch_sub(1);
        }).detach();
    } catch (...) {
        liveWorkers.fetch_sub(1);
#ifndef _WIN32
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
#endif
        throw;
    }
#ifndef _WIN32
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
#endif
}

void StartWorker(std::shared_ptr<EventMailbox> mailbox, std::function<void()> job,
                 std::function<void(std::exception_ptr)> finished) {
    StartDetached([mailbox = std::move(mailbox), job = std::move(job),
                   finished = std::move(finished)]() mutable {
        std::exception_ptr failure;
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        mailbox->post([finished = std::move(finished), failure] { finished(failure); });
    });
}

void BackgroundJobs::start(std::function<void()> job,
                           std::function<void(std::exception_ptr)> finished) {
    StartWorker(mailbox_, std::move(job),
                [this, finished = std::move(finished)](std::exception_ptr failure) {
                    --out_;
                    finished(failure);
                });
    ++out_;
}

int LiveWorkers() {
    return liveWorkers.load();
}

}  // namespace gantrylux
