#include "folders/inotify_folder_watch.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_set>

namespace gantrylux {
namespace {

constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                     IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kEntryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
// Changes that come this close after the first one go into the same report.
constexpr auto kBurst = std::chrono::milliseconds(100);

// The kernel tells of changes made through this machine only: on a share or a user-space file
// system, what another machine or the server does to a folder is never seen.
bool GivesNoEventsFromElsewhere(const std::string& path) {
    struct statfs info {};
    if (statfs(path.c_str(), &info) != 0) {
        return false;  // placing the watch will tell what is wrong
    }
    // f_type is a signed 32-bit word on some targets: compared as unsigned, the magic numbers
    // with the top bit set still match.
    switch (static_cast<std::uint32_t>(info.f_type)) {
        case 0x6969:      // NFS
        case 0x517B:      // SMB
        case 0xFF534D42:  // CIFS
        case 0xFE534D42:  // SMB2
        case 0x65735546:  // FUSE
        case 0x5346414F:  // AFS
        case 0x6B414653:  // AFS, the kernel's own client
        case 0x00C36400:  // Ceph
        case 0x01021997:  // 9P
        case 0x73757245:  // Coda
        case 0x564C:      // NCP
        case 0x0BD00BD0:  // Lustre
        case 0x01161970:  // GFS2
        case 0x7461636F:  // OCFS2
        case 0x47504653:  // GPFS
            return true;
        default:
            return false;
    }
}

// Errors that mean the watches a row needs cannot all be had, now or for a while.
bool IsOutOfWatches(int error) {
    return error == ENOSPC || error == ENOMEM;
}

}  // namespace

// What one call of next() has seen so far, each folder once.
class InotifyFolderWatch::Collected {
  public:
    void changed(const std::string& folder) {
        if (seen_.insert(folder).second) {
            changed_.push_back(folder);
        }
    }
    void overflowed() { overflowed_ = true; }

    bool any() const { return overflowed_ || !changed_.empty(); }
    bool hasOverflowed() const { return overflowed_; }
    std::vector<std::string> takeChanged() { return std::move(changed_); }

  private:
    std::unordered_set<std::string> seen_;
    std::vector<std::string> changed_;
    bool overflowed_ = false;
};

std::shared_ptr<InotifyFolderWatch> InotifyFolderWatch::Open() {
    const int queue = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (queue < 0) {
        return nullptr;
    }
    const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) {
        close(queue);
        return nullptr;
    }
    return std::shared_ptr<InotifyFolderWatch>(new InotifyFolderWatch(queue, wake));
}

InotifyFolderWatch::InotifyFolderWatch(int queue, int wake) : queue_(queue), wake_(wake) {}

InotifyFolderWatch::~InotifyFolderWatch() {
    close(queue_);
    close(wake_);
}

void InotifyFolderWatch::watch(std::vector<WatchedRow> rows) {
    {
        const std::lock_guard lock(wantedMutex_);
        wanted_ = std::move(rows);
        wantedChanged_ = true;
    }
    wake();
}

void InotifyFolderWatch::wake() const {
    const std::uint64_t one = 1;
    // Fails only when the counter is full, and then the worker is woken anyway.
    [[maybe_unused]] const ssize_t written = write(wake_, &one, sizeof one);
}

void InotifyFolderWatch::drainWake() const {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t drained = read(wake_, &count, sizeof count);
}

WatchReport InotifyFolderWatch::next(std::stop_token stop) {
    if (stop.stop_requested()) {
        return {};
    }
    const std::stop_callback onStop(stop, [this] { wake(); });
    Collected collected;
    std::optional<std::chrono::steady_clock::time_point> deadline;
    for (;;) {
        applyWanted(collected);
        if (stop.stop_requested()) {
            return {};
        }
        const auto now = std::chrono::steady_clock::now();
        if (!deadline && (collected.any() || hasUntoldRows())) {
            deadline = now + kBurst;
        }
        int timeout = -1;
        if (deadline) {
            if (now >= *deadline) {
                return finish(collected);
            }
            timeout = static_cast<int>(
                std::chrono::ceil<std::chrono::milliseconds>(*deadline - now).count());
        }
        pollfd fds[2] = {{queue_, POLLIN, 0}, {wake_, POLLIN, 0}};
        if (poll(fds, 2, timeout) < 0) {
            continue;  // a signal; anything else would show again at once in the next poll
        }
        if (stop.stop_requested()) {
            return {};
        }
        if ((fds[1].revents & POLLIN) != 0) {
            drainWake();
        }
        if ((fds[0].revents & POLLIN) != 0) {
            readEvents(collected);
        }
    }
}

void InotifyFolderWatch::applyWanted(Collected& collected) {
    std::vector<WatchedRow> wanted;
    {
        const std::lock_guard lock(wantedMutex_);
        if (!wantedChanged_) {
            return;
        }
        wanted = std::move(wanted_);
        wanted_.clear();
        wantedChanged_ = false;
    }
    // The new rows' watches are placed before the old ones go, so a folder that stays wanted
    // keeps its watch and loses no event in between.
    std::map<std::string, PlacedRow> placed;
    for (WatchedRow& row : wanted) {
        if (placed.contains(row.row)) {
            continue;
        }
        const auto old = rows_.find(row.row);
        if (old != rows_.end() &&
            (old->second.folders == row.folders ||
             (old->second.folders && row.folders && *old->second.folders == *row.folders))) {
            placed.emplace(row.row, std::move(old->second));
            rows_.erase(old);
            continue;
        }
        PlacedRow next = place(row.folders);
        if (old != rows_.end() && old->second.unwatchable && next.unwatchable) {
            next.told = old->second.told;  // walked again, and still not to be watched
        }
        if (old != rows_.end() && !next.unwatchable && old->second.folders && row.folders) {
            // A folder new to a watched row (copied in, say) may have been filled between the
            // walk that found it and its watch: it is read once more now that it is watched.
            const std::unordered_set<std::string_view> before(old->second.folders->begin(),
                                                              old->second.folders->end());
            for (const std::string& folder : *row.folders) {
                if (!before.contains(folder)) {
                    collected.changed(folder);
                }
            }
        }
        placed.emplace(row.row, std::move(next));
    }
    for (const auto& [text, row] : rows_) {
        release(row);
    }
    rows_ = std::move(placed);
}

InotifyFolderWatch::PlacedRow InotifyFolderWatch::place(
    std::shared_ptr<const std::vector<std::string>> folders) {
    PlacedRow row;
    row.folders = std::move(folders);
    if (!row.folders || row.folders->empty()) {
        return row;
    }
    const std::vector<std::string>& paths = *row.folders;
    if (GivesNoEventsFromElsewhere(paths.front())) {
        row.unwatchable = true;
        return row;
    }
    row.descriptors.assign(paths.size(), -1);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const int wd = inotify_add_watch(queue_, paths[i].c_str(), kWatchMask);
        if (wd < 0) {
            // A folder below the root that went or may not be read is left out: the walk
            // that listed it will not find it either.
            if (i == 0 || IsOutOfWatches(errno)) {
                release(row);
                row.descriptors.clear();
                row.unwatchable = true;
                return row;
            }
            continue;
        }
        row.descriptors[i] = wd;
        PathUse& use = watches_[wd][paths[i]];
        ++use.users;
        use.asRoot += i == 0 ? 1 : 0;
    }
    return row;
}

void InotifyFolderWatch::release(const PlacedRow& row) {
    for (std::size_t i = 0; i < row.descriptors.size(); ++i) {
        const int wd = row.descriptors[i];
        const auto watch = watches_.find(wd);
        if (wd < 0 || watch == watches_.end()) {
            continue;  // never placed, or the folder went and took its watch along
        }
        const auto use = watch->second.find((*row.folders)[i]);
        if (use == watch->second.end()) {
            continue;
        }
        --use->second.users;
        use->second.asRoot -= i == 0 ? 1 : 0;
        if (use->second.users == 0) {
            watch->second.erase(use);
        }
        if (watch->second.empty()) {
            inotify_rm_watch(queue_, wd);
            watches_.erase(watch);
        }
    }
}

void InotifyFolderWatch::readEvents(Collected& collected) {
    // One read a wake: a flood of events cannot keep the worker from its deadline.
    alignas(inotify_event) char buffer[64 * 1024];
    const ssize_t bytes = read(queue_, buffer, sizeof buffer);
    for (ssize_t at = 0; at < bytes;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if ((event->mask & IN_Q_OVERFLOW) != 0) {
            collected.overflowed();
            continue;
        }
        const auto watch = watches_.find(event->wd);
        if (watch == watches_.end()) {
            continue;  // a watch already removed, its last events still queued
        }
        // A folder whose file system goes away with it has nothing left to list.
        const bool whole = (event->mask & (kEntryEvents | IN_UNMOUNT)) != 0;
        // Only a root has no watched parent to tell that it went or was renamed.
        const bool root = (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0;
        for (const auto& [path, use] : watch->second) {
            if (whole || (root && use.asRoot > 0)) {
                collected.changed(path);
            }
        }
        if ((event->mask & IN_IGNORED) != 0) {
            watches_.erase(watch);
        }
    }
}

bool InotifyFolderWatch::hasUntoldRows() const {
    for (const auto& [text, row] : rows_) {
        if (row.unwatchable && !row.told) {
            return true;
        }
    }
    return false;
}

WatchReport InotifyFolderWatch::finish(Collected& collected) {
    WatchReport report;
    report.changedFolders = collected.takeChanged();
    for (auto& [text, row] : rows_) {
        if (row.unwatchable && !row.told) {
            row.told = true;
            report.unwatchableRows.push_back(text);
        } else if (collected.hasOverflowed() && !row.descriptors.empty()) {
            report.overflowedRows.push_back(text);
        }
    }
    return report;
}

}  // namespace gantrylux
