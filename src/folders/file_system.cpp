#include "folders/file_system.hpp"

#include <algorithm>
#include <cstring>

namespace gantrylux {

std::string_view FolderListing::keepName(std::string_view name) {
    if (used_ + name.size() > capacity_) {
        // Most folders are small: start small and double, so a merge of many folders does not
        // touch memory it never fills.
        capacity_ = std::max(std::min<std::size_t>(64 * 1024, capacity_ == 0 ? 512 : capacity_ * 2),
                             name.size());
        blocks_.push_back(std::make_unique<char[]>(capacity_));
        used_ = 0;
    }
    char* at = blocks_.back().get() + used_;
    std::memcpy(at, name.data(), name.size());
    used_ += name.size();
    return {at, name.size()};
}

OpenFolder FileSystem::readFolder(OpenFolder, std::string_view path, std::string_view, bool,
                                  FolderRead& read) const {
    try {
        read.listing = listFolder(path);
    } catch (const FileSystemError& failure) {
        read.failure = failure;
    } catch (const std::exception& failure) {
        read.failure.emplace(fs_error::kPathFileAccess, failure.what());
    }
    return {};
}

void FileSystem::closeFolder(OpenFolder) const {}

}  // namespace gantrylux
