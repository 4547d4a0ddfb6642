#include "bench_desktop.hpp"

#include <algorithm>
#include <cstdio>

namespace gantrylux::bench {

BenchDesktop::BenchDesktop()
    : jobs_([this] {
          std::lock_guard lock(mutex_);
          woken_ = true;
          posted_.notify_one();
      }) {}

BenchDesktop::~BenchDesktop() {
    jobs_.close();
    JoinWorkers(std::chrono::seconds(20));
}

bool BenchDesktop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        jobs_.deliver();
        if (done()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) {
            return false;
        }
        sleepUntil(std::min(until, now + std::chrono::milliseconds(2)));
    }
}

int BenchDesktop::messageBox(const std::string& text, int, const std::string&) {
    ++messages_;
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return message_answer::kOk;
}

void BenchDesktop::startInBackground(std::function<void()> job,
                                     std::function<void(std::exception_ptr)> finished) {
    jobs_.start(std::move(job), std::move(finished));
}

void BenchDesktop::waitForEvents(std::chrono::steady_clock::time_point deadline) {
    if (!closing_) {
        sleepUntil(deadline);
        jobs_.deliver();
    }
}

void BenchDesktop::closeProgram() {
    closing_ = true;
    jobs_.close();
}

void BenchDesktop::sleepUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    posted_.wait_until(lock, deadline, [&] { return woken_; });
    woken_ = false;
}

}  // namespace gantrylux::bench
