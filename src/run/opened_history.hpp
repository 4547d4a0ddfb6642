#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <string>

namespace gantrylux {

// The files opened since the program started, newest first, each once, at most kMostRemembered
// of them. Kept in memory only, across runs.
class OpenedHistory {
  public:
    static constexpr std::size_t kMostRemembered = 25;

    // A file opened again moves to the front.
    void record(const std::string& path) {
        if (const auto known = std::find(paths_.begin(), paths_.end(), path);
            known != paths_.end()) {
            paths_.erase(known);
        }
        paths_.push_front(path);
        if (paths_.size() > kMostRemembered) {
            paths_.pop_back();
        }
    }
    const std::deque<std::string>& newestFirst() const noexcept { return paths_; }

  private:
    std::deque<std::string> paths_;
};

}  // namespace gantrylux
