#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <utility>

#include "folders/file_system.hpp"

namespace gantrylux::bench {

// Passes everything to a real file system, and runs a hook before each read of a folder: a
// tool counts the reads with it, or makes chosen folders slow. The hook may be called from
// several threads at once.
class ObservedFileSystem : public FileSystem {
  public:
    ObservedFileSystem(std::shared_ptr<const FileSystem> real,
                       std::function<void(std::string_view)> beforeRead)
        : real_(std::move(real)), beforeRead_(std::move(beforeRead)) {}

    FolderListing listFolder(std::string_view folder) const override {
        beforeRead_(folder);
        return real_->listFolder(folder);
    }
    // The real one reads its way, a folder relative to its open parent included, and closes
    // what it opened: the hook sees every read all the same.
    OpenFolder readFolder(OpenFolder parent, std::string_view path, std::string_view name,
                          bool keepOpen, FolderRead& read) const override {
        beforeRead_(path);
        return real_->readFolder(parent, path, name, keepOpen, read);
    }
    void closeFolder(OpenFolder folder) const override { real_->closeFolder(folder); }

    std::optional<std::uint32_t> attributes(std::string_view path) const override {
        return real_->attributes(path);
    }
    bool fileExists(std::string_view path) const override { return real_->fileExists(path); }
    bool pathExists(std::string_view path) const override { return real_->pathExists(path); }
    bool isRoot(std::string_view folder) const override { return real_->isRoot(folder); }
    bool isPseudoFileSystem(std::string_view folder) const override {
        return real_->isPseudoFileSystem(folder);
    }
    std::string resolvedFolder(std::string_view folder) const override {
        return real_->resolvedFolder(folder);
    }
    bool reachesPathLimit(std::string_view path) const override {
        return real_->reachesPathLimit(path);
    }
    std::size_t pathBytesBelowLimit() const override { return real_->pathBytesBelowLimit(); }
    bool matchesPattern(std::string_view name, std::string_view pattern) const override {
        return real_->matchesPattern(name, pattern);
    }
    char separator() const override { return real_->separator(); }

  private:
    std::shared_ptr<const FileSystem> real_;
    std::function<void(std::string_view)> beforeRead_;
};

}  // namespace gantrylux::bench
