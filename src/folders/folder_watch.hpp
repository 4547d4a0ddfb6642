#pragma once

#include <memory>
#include <stop_token>
#include <string>
#include <vector>

namespace gantrylux {

// A folder row to watch: its text as the folder list holds it, and the folders its last walk
// read, each ending in the separator, the row's own first. A backend that watches a whole tree
// from its root needs only the first.
struct WatchedRow {
    std::string row;
    std::shared_ptr<const std::vector<std::string>> folders;
};

// What the watches saw since the last report. Folder paths are given as the rows' folders were
// (ending in the separator).
struct WatchReport {
    // Folders whose entries came, went or were renamed: each is to be read again.
    std::vector<std::string> changedFolders;
    // Rows whose events were lost (the backend's queue ran over): each is to be walked again.
    std::vector<std::string> overflowedRows;
    // Rows that cannot be watched (a watch limit reached, a file system that gives no events):
    // each is walked again from time to time instead. Told once per row given to watch().
    std::vector<std::string> unwatchableRows;

    bool empty() const noexcept {
        return changedFolders.empty() && overflowedRows.empty() && unwatchableRows.empty();
    }
};

// Watches the folders of the folder rows for entries that come, go or are renamed. The
// window's thread sets what is watched; one worker at a time waits in next() for what the
// watches saw. Never touches the disk on the caller of watch(): a folder that stops answering
// must not freeze the window.
class FolderWatch {
  public:
    virtual ~FolderWatch() = default;

    // From any thread, without waiting: from now on, watch exactly these rows. Rows not given
    // are no longer watched. The watches are placed by the worker waiting in next().
    virtual void watch(std::vector<WatchedRow> rows) = 0;
    // On a worker: places the watches asked for, then waits until there is something to report
    // and reports it, changes that come close together in one report. Gives an empty report
    // once stop is requested.
    virtual WatchReport next(std::stop_token stop) = 0;
};

// The watch of the platform the program was built for; nullptr where there is none.
std::shared_ptr<FolderWatch> MakeNativeFolderWatch();

}  // namespace gantrylux
