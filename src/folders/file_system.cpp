#include "folders/file_system.hpp"

#include <algorithm>
#include <cstring>

#include "folders/file_enumeration.hpp"

namespace gantrylux {

bool FileSystem::matchesPattern(std::string_view name, std::string_view pattern) const {
    return MatchesPattern(name, pattern);
}

void FolderListing::addBlock(std::size_t bytes) {
    blocks_.emplace_back(static_cast<char*>(memory_->allocate(bytes, 1)), GiveBack{memory_, bytes});
    capacity_ = bytes;
    used_ = 0;
}

void FolderListing::reserve(std::size_t moreEntries, std::size_t nameBytes) {
    const std::size_t needed = entries.size() + moreEntries;
    if (needed > entries.capacity()) {
        // Exact for a folder read in one go; a folder read in many batches grows by half at
        // least, so its entries are not copied once per batch.
        entries.reserve(entries.empty() ? needed : std::max(needed, entries.capacity() * 3 / 2));
    }
    if (nameBytes > capacity_ - used_) {
        addBlock(nameBytes);
    }
}

std::string_view FolderListing::keepName(std::string_view name) {
    if (name.empty()) {
        return {};
    }
    if (blocks_.empty() || used_ + name.size() > capacity_) {
        // Most folders are small: start small and double, so a merge of many folders does not
        // touch memory it never fills.
        addBlock(std::max(std::min<std::size_t>(64 * 1024, capacity_ == 0 ? 512 : capacity_ * 2),
                          name.size()));
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
