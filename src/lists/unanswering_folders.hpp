#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace gantrylux {

// Folder rows with a file-system call that has not returned, left behind by a job that stopped
// waiting for it. Later merges leave such a row out at once rather than pile another stuck
// thread onto it, and the user hears of it once: again only after it has answered in between.
// Any thread may use it.
class UnansweringFolders {
  public:
    bool contains(const std::string& row) const;
    // Marks one more stuck call of the row. True when the row was not marked yet, that is, when
    // the user is still to be told.
    bool mark(const std::string& row);
    // One stuck call of the row has returned.
    void answered(const std::string& row);

  private:
    mutable std::mutex mutex_;
    std::map<std::string, int> stuckCalls_;
};

// A message that names paths, one a line after `lead`: the first 20, then how many more, so
// that the box always fits on the screen.
std::string PathsMessage(std::string lead, const std::vector<std::string>& paths);

// What the user is told of folder rows that a merge left out because they do not answer; ""
// when there are none.
std::string UnansweringFoldersMessage(const std::vector<std::string>& folders);
// What the user is told when a command gave up on what it was given because it does not
// answer.
std::string NothingAddedMessage(const std::vector<std::string>& paths);

}  // namespace gantrylux
