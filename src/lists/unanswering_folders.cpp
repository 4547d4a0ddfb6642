#include "lists/unanswering_folders.hpp"

namespace gantrylux {

bool UnansweringFolders::contains(const std::string& row) const {
    std::lock_guard lock(mutex_);
    return stuckCalls_.contains(row);
}

bool UnansweringFolders::mark(const std::string& row) {
    std::lock_guard lock(mutex_);
    return ++stuckCalls_[row] == 1;
}

void UnansweringFolders::answered(const std::string& row) {
    std::lock_guard lock(mutex_);
    if (const auto found = stuckCalls_.find(row);
        found != stuckCalls_.end() && --found->second <= 0) {
        stuckCalls_.erase(found);
    }
}

std::string PathsMessage(std::string lead, const std::vector<std::string>& paths) {
    constexpr std::size_t kMostShown = 20;
    for (std::size_t i = 0; i < paths.size() && i < kMostShown; ++i) {
        lead += "\r\n" + paths[i];
    }
    if (paths.size() > kMostShown) {
        lead += "\r\nand " + std::to_string(paths.size() - kMostShown) + " more";
    }
    return lead;
}

std::string UnansweringFoldersMessage(const std::vector<std::string>& folders) {
    if (folders.empty()) {
        return {};
    }
    return PathsMessage(folders.size() == 1
                            ? "This folder does not answer, so its files are left out "
                              "until it answers again:"
                            : "These folders do not answer, so their files are left "
                              "out until they answer again:",
                        folders);
}

std::string NothingAddedMessage(const std::vector<std::string>& paths) {
    return PathsMessage("This does not answer, so nothing was added from it:", paths);
}

}  // namespace gantrylux
