#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

namespace gantrylux {

// The folder rows that merges are walking now. A newer merge asks a share nothing while an older
// merge's call to it is still out: the second call would queue behind the first and look stuck
// however healthy the share, since slow is not dead. It waits for the older walk instead, which
// ends once its call returns or is told as not answering. Any thread may use it.
class RowsInWalk {
  public:
    // One merge's walk: its rows, and the position of the row it is in (past the end once every
    // row is read). Both must stay as they are while it is entered.
    struct Walker {
        const std::vector<std::string>* rows;
        const std::atomic<std::size_t>* walkingRow;
    };

    void enter(const Walker& walker);
    void leave(const Walker& walker);
    // Waits until no entered walk is in one of `rows`, or until `stop`. False when stopped.
    bool waitForRows(const std::vector<std::string>& rows, std::stop_token stop);

  private:
    bool anyIn(const std::vector<std::string>& rows) const;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<const Walker*> walkers_;
};

}  // namespace gantrylux
