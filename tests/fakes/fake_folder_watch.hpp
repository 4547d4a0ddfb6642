#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "folders/folder_watch.hpp"

namespace gantrylux::testing {

// A watch whose reports the test hands in; it keeps the rows it was last given.
class FakeFolderWatch : public FolderWatch {
  public:
    void watch(std::vector<WatchedRow> rows) override {
        const std::scoped_lock lock(mutex_);
        rows_ = std::move(rows);
    }
    WatchReport next(std::stop_token stop) override {
        std::unique_lock lock(mutex_);
        ++calls_;
        if (!changed_.wait(lock, stop, [&] { return !reports_.empty(); })) {
            return {};
        }
        WatchReport report = std::move(reports_.front());
        reports_.pop_front();
        return report;
    }

    void report(WatchReport report) {
        const std::scoped_lock lock(mutex_);
        reports_.push_back(std::move(report));
        changed_.notify_all();
    }
    // How many times next() was entered: once more after each report was handled.
    std::size_t calls() const {
        const std::scoped_lock lock(mutex_);
        return calls_;
    }
    // The folders of a row as last given to watch(); nothing when it was not given.
    std::vector<std::string> folders(const std::string& row) const {
        const std::scoped_lock lock(mutex_);
        for (const WatchedRow& watched : rows_) {
            if (watched.row == row) {
                return *watched.folders;
            }
        }
        return {};
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<WatchedRow> rows_;
    std::deque<WatchReport> reports_;
    std::size_t calls_ = 0;
};

}  // namespace gantrylux::testing
