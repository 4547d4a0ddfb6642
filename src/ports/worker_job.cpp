#include "ports/worker_job.hpp"

#include <atomic>
#ifndef _WIN32
#include <pthread.h>

#include <csignal>
#endif
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

namespace gantrylux {
namespace {

struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> ended;
};

// Never destroyed: threads may still be out while the static objects go.
struct Workers {
    std::mutex mutex;
    std::vector<Worker> list;
};

void JoinWorkersAtExit() {
    JoinWorkers(std::chrono::seconds(5));
}

Workers& AllWorkers() {
    static Workers* const workers = [] {
        std::atexit(JoinWorkersAtExit);
        return new Workers;
    }();
    return *workers;
}

// Under the workers' lock. A thread that has ended its work is only leaving: joining it is
// short.
void JoinEnded(std::vector<Worker>& list) {
    std::erase_if(list, [](Worker& worker) {
        if (!worker.ended->load(std::memory_order_acquire)) {
            return false;
        }
        worker.thread.join();
        return true;
    });
}

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
#ifndef _WIN32
    // The process's signals (a termination request among them) go to the window's thread, never
    // to a worker: a signal caught by a worker would cut short the call it is waiting in. The
    // new thread takes the mask of the one that starts it.
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
#endif
    auto ended = std::make_shared<std::atomic<bool>>(false);
    try {
        Workers& workers = AllWorkers();
        const std::lock_guard lock(workers.mutex);
        JoinEnded(workers.list);
        workers.list.reserve(workers.list.size() + 1);  // a started thread must find its place
        workers.list.push_back(
            {std::thread([work = std::move(work), ended]() mutable {
                 work();
                 work = nullptr;  // what the work held goes before the thread counts as ended
                 ended->store(true, std::memory_order_release);
             }),
             ended});
    } catch (...) {
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

bool JoinWorkers(std::chrono::milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    Workers& workers = AllWorkers();
    for (;;) {
        {
            const std::lock_guard lock(workers.mutex);
            JoinEnded(workers.list);
            if (workers.list.empty()) {
                return true;
            }
        }
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace gantrylux
