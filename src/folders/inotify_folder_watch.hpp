#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <unordered_map>
#include <vector>

#include "folders/folder_watch.hpp"

namespace gantrylux {

// Watches each folder of each row on its own, through the kernel's inotify queue. The window's
// thread only leaves the rows it wants; the worker in next() places and removes the watches, so
// a folder that stops answering holds up the worker, never the window.
class InotifyFolderWatch final : public FolderWatch {
  public:
    // nullptr where the kernel gives no inotify queue (or no descriptor is left for one).
    static std::shared_ptr<InotifyFolderWatch> Open();
    ~InotifyFolderWatch() override;
    InotifyFolderWatch(const InotifyFolderWatch&) = delete;
    InotifyFolderWatch& operator=(const InotifyFolderWatch&) = delete;

    void watch(std::vector<WatchedRow> rows) override;
    WatchReport next(std::stop_token stop) override;

  private:
    // How many rows use one path of a watch, and for how many of them it is the root.
    struct PathUse {
        int users = 0;
        int asRoot = 0;
    };
    // Two paths to the same folder (through a link) share one watch descriptor.
    using WatchPaths = std::map<std::string, PathUse>;

    struct PlacedRow {
        std::shared_ptr<const std::vector<std::string>> folders;
        // One descriptor per folder, -1 where the folder could not be watched.
        std::vector<int> descriptors;
        bool unwatchable = false;
        bool told = false;
    };

    class Collected;

    InotifyFolderWatch(int queue, int wake);

    void wake() const;
    void drainWake() const;
    void applyWanted(Collected& collected);
    PlacedRow place(std::shared_ptr<const std::vector<std::string>> folders);
    void release(const PlacedRow& row);
    void readEvents(Collected& collected);
    bool hasUntoldRows() const;
    WatchReport finish(Collected& collected);

    const int queue_;
    const int wake_;

    std::mutex wantedMutex_;
    std::vector<WatchedRow> wanted_;
    bool wantedChanged_ = false;

    // Only the worker in next() touches these.
    std::map<std::string, PlacedRow> rows_;
    std::unordered_map<int, WatchPaths> watches_;
};

}  // namespace gantrylux
