#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "folders/folder_watch.hpp"
#include "folders/win32_handle.hpp"

namespace gantrylux {

// Watches each row's whole tree through one change read on its root folder. The window's
// thread only records what is wanted; a thread of the watch's own opens and closes the watches
// and reads the changes, so a root on a share that does not answer can hold up only that
// thread. It lives as long as the watch because the system cancels a thread's reads when the
// thread ends: the workers that wait in next() come and go with every report.
class Win32FolderWatch final : public FolderWatch {
  public:
    Win32FolderWatch();
    // Not while a worker is in next().
    ~Win32FolderWatch() override;
    Win32FolderWatch(const Win32FolderWatch&) = delete;
    Win32FolderWatch& operator=(const Win32FolderWatch&) = delete;

    void watch(std::vector<WatchedRow> rows) override;
    WatchReport next(std::stop_token stop) override;

  private:
    struct RowWatch;
    class ReportBuilder;

    // On the watch's thread: what the next report holds, once there is something to report.
    WatchReport gather(std::stop_token stop);
    void placeWatches(ReportBuilder& report);
    static std::unique_ptr<RowWatch> open(const std::string& row, const std::string& root);
    static bool collect(RowWatch& watch, ReportBuilder& report);
    void giveUp(const std::string& row, const std::string& root, ReportBuilder& report);
    void dropWatch(std::size_t index);

    win32::Handle wake_;  // set by watch() and by a stop, so the worker's wait ends at once

    std::mutex mutex_;
    std::vector<WatchedRow> wanted_;   // guarded by mutex_
    std::uint64_t wantedVersion_ = 0;  // guarded by mutex_

    // The worker's own.
    std::uint64_t placedVersion_ = 0;
    std::vector<std::unique_ptr<RowWatch>> watches_;
    // Rows already told unwatchable, with the root they were told for: each is told once while
    // it stays wanted, and tried again once given anew.
    std::map<std::string, std::string> unwatchable_;

    std::condition_variable_any gathered_;
    std::deque<WatchReport> reports_;  // guarded by mutex_
    std::exception_ptr failure_;       // guarded by mutex_; the watch's thread has ended on it
    // Last, so that it is stopped and joined before what it uses goes.
    std::jthread thread_;
};

}  // namespace gantrylux
