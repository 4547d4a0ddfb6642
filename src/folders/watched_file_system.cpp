#include "folders/watched_file_system.hpp"

namespace gantrylux {
namespace {

std::atomic<std::uint64_t> nextWatchId{1};

// The slot the calling thread last used, and whose it is. Ids are never reused, so a slot of a
// watch that has gone is never taken for one of a new watch at the same address.
struct CachedSlot {
    std::uint64_t watch = 0;
    std::atomic<CallWatch::Clock::rep>* slot = nullptr;
};
thread_local CachedSlot cachedSlot;

}  // namespace

CallWatch::CallWatch() : id_(nextWatchId.fetch_add(1)) {}

std::atomic<CallWatch::Clock::rep>& CallWatch::slotOfThisThread() const {
    if (cachedSlot.watch != id_) {
        std::lock_guard lock(mutex_);
        std::atomic<Clock::rep>& slot = slots_.emplace_back(kIdle);
        cachedSlot = {id_, &slot};
    }
    return *cachedSlot.slot;
}

CallWatch::Call::Call(const CallWatch& watch)
    : slot_(watch.slotOfThisThread()), outer_(slot_.load(std::memory_order_relaxed)) {
    if (outer_ == kIdle) {
        slot_.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
    }
}

CallWatch::Call::~Call() {
    slot_.store(outer_, std::memory_order_release);
}

std::optional<CallWatch::Clock::time_point> CallWatch::oldestCall() const {
    std::optional<Clock::time_point> oldest;
    std::lock_guard lock(mutex_);
    for (const std::atomic<Clock::rep>& slot : slots_) {
        const Clock::rep started = slot.load(std::memory_order_acquire);
        if (started != kIdle) {
            const Clock::time_point at{Clock::duration(started)};
            if (!oldest || at < *oldest) {
                oldest = at;
            }
        }
    }
    return oldest;
}

FolderListing WatchedFileSystem::listFolder(std::string_view folder) const {
    const CallWatch::Call call(watch_);
    return real_.listFolder(folder);
}

OpenFolder WatchedFileSystem::readFolder(OpenFolder parent, std::string_view path,
                                         std::string_view name, bool keepOpen,
                                         FolderRead& read) const {
    const CallWatch::Call call(watch_);
    return real_.readFolder(parent, path, name, keepOpen, read);
}

void WatchedFileSystem::closeFolder(OpenFolder folder) const {
    const CallWatch::Call call(watch_);
    real_.closeFolder(folder);
}

std::optional<std::uint32_t> WatchedFileSystem::attributes(std::string_view path) const {
    const CallWatch::Call call(watch_);
    return real_.attributes(path);
}

bool WatchedFileSystem::fileExists(std::string_view path) const {
    const CallWatch::Call call(watch_);
    return real_.fileExists(path);
}

bool WatchedFileSystem::pathExists(std::string_view path) const {
    const CallWatch::Call call(watch_);
    return real_.pathExists(path);
}

bool WatchedFileSystem::isRoot(std::string_view folder) const {
    const CallWatch::Call call(watch_);
    return real_.isRoot(folder);
}

bool WatchedFileSystem::isPseudoFileSystem(std::string_view folder) const {
    const CallWatch::Call call(watch_);
    return real_.isPseudoFileSystem(folder);
}

std::string WatchedFileSystem::resolvedFolder(std::string_view folder) const {
    const CallWatch::Call call(watch_);
    return real_.resolvedFolder(folder);
}

bool WatchedFileSystem::reachesPathLimit(std::string_view path) const {
    const CallWatch::Call call(watch_);
    return real_.reachesPathLimit(path);
}

}  // namespace gantrylux
