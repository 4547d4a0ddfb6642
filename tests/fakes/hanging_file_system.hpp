#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>

#include "fakes/faulty_file_system.hpp"
#include "ports/worker_job.hpp"

namespace gantrylux::testing {

// A folder on a share whose server has gone: reading it does not return until the test lets
// it. Everything else passes to the real file system. Jobs hold it by a shared pointer; the test
// lets go and waits for their threads at its end (letGoAndWait), so that none outlives it.
class HangingFileSystem : public FaultyFileSystem {
  public:
    explicit HangingFileSystem(std::shared_ptr<const FileSystem> real)
        : FaultyFileSystem(std::move(real)) {
        onList = [this](std::string_view folder) { hangIfDead(folder); };
    }
    ~HangingFileSystem() override { letGo(); }

    // The folder (single separators, none at the end) hangs from now on.
    void hang(const std::string& folder) {
        std::lock_guard lock(mutex_);
        dead_.insert(folder);
    }
    // Its reads return again, those in progress included.
    void letGo() {
        std::lock_guard lock(mutex_);
        dead_.clear();
        answered_.notify_all();
    }
    // Lets go and waits until every worker has ended, so none outlives the test.
    void letGoAndWait() {
        letGo();
        JoinWorkers(std::chrono::seconds(20));
    }
    // How many reads of a dead folder began.
    int hungReads() const {
        std::lock_guard lock(mutex_);
        return hungReads_;
    }

  private:
    void hangIfDead(std::string_view folder) const {
        std::string key(folder);
        while (key.size() > 1 && key.back() == separator()) {
            key.pop_back();
        }
        std::unique_lock lock(mutex_);
        if (dead_.contains(key)) {
            ++hungReads_;
            answered_.wait(lock, [&] { return !dead_.contains(key); });
        }
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable answered_;
    mutable int hungReads_ = 0;
    std::set<std::string> dead_;
};

}  // namespace gantrylux::testing
