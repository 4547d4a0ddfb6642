#include "lists/rows_in_walk.hpp"

#include <algorithm>
#include <chrono>

namespace gantrylux {

void RowsInWalk::enter(const Walker& walker) {
    std::lock_guard lock(mutex_);
    walkers_.push_back(&walker);
}

void RowsInWalk::leave(const Walker& walker) {
    {
        std::lock_guard lock(mutex_);
        std::erase(walkers_, &walker);
    }
    changed_.notify_all();
}

bool RowsInWalk::anyIn(const std::vector<std::string>& rows) const {
    return std::any_of(walkers_.begin(), walkers_.end(), [&](const Walker* walker) {
        const std::size_t at = walker->walkingRow->load();
        return at < walker->rows->size() &&
               std::find(rows.begin(), rows.end(), (*walker->rows)[at]) != rows.end();
    });
}

bool RowsInWalk::waitForRows(const std::vector<std::string>& rows, std::stop_token stop) {
    // A walk moving on to its next row tells nobody, so the rows are looked at again now and
    // then; a walk that leaves, or a stop, wakes the wait at once.
    const std::stop_callback wakeOnStop(stop, [this] {
        std::lock_guard wakeLock(mutex_);
        changed_.notify_all();
    });
    std::unique_lock lock(mutex_);
    while (anyIn(rows)) {
        if (stop.stop_requested()) {
            return false;
        }
        changed_.wait_for(lock, std::chrono::milliseconds(50));
    }
    return !stop.stop_requested();
}

}  // namespace gantrylux
