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

namespace {

std::string Listed(std::string message, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        message += "\r\n" + path;
    }
    return message;
}

}  // namespace

std::string UnansweringFoldersMessage(const std::vector<std::string>& folders) {
    if (folders.empty()) {
        return {};
    }
    return Listed(folders.size() == 1 ? "This folder does not answer, so its files are left out "
                                        "until it answers again:"
                                      : "These folders do not answer, so their files are left "
                                        "out until they answer again:",
                  folders);
}

std::string NothingAddedMessage(const std::vector<std::string>& paths) {
    return Listed("This does not answer, so nothing was added from it:", paths);
}

}  // namespace gantrylux
