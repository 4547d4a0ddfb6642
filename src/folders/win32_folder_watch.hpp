#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "folders/folder_watch.hpp"
#include "folders/win32_handle.hpp"

namespace gantrylux {

// Watches each row's whole tree through one change read on its root folder. The window's
// thread only records what is wanted; the worker in next() opens and closes the watches, so a
// root on a share that does not answer can hold up only the worker.
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
};

}  // namespace gantrylux
