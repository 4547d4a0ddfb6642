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

void FileSystem::listSubfolders(std::string_view folder, std::span<const std::string_view> names,
                                std::span<FolderRead* const> reads) const {
    std::string path(folder);
    for (std::size_t i = 0; i < names.size(); ++i) {
        path.resize(folder.size());
        path += names[i];
        path += separator();
        try {
            reads[i]->listing = listFolder(path);
        } catch (const FileSystemError& failure) {
            reads[i]->failure = failure;
        } catch (const std::exception& failure) {
            reads[i]->failure.emplace(fs_error::kPathFileAccess, failure.what());
        }
    }
}

}  // namespace gantrylux
