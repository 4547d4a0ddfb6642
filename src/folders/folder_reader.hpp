#pragma once

#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "folders/file_system.hpp"

namespace gantrylux {

// Reads folders for one walk or one merge, each folder once however many paths and rows lead
// to it, and a batch of them in parallel. Nothing is kept beyond the reader's life, so every
// merge sees the disk as it is.
class FolderReader {
  public:
    FolderReader(const FileSystem& fs, unsigned threads, std::stop_token stop = {});

    const FileSystem& fileSystem() const noexcept { return fs_; }
    bool stopRequested() const noexcept { return stop_.stop_requested(); }

    // Reads every folder of the batch that has not been read yet, on up to `threads` threads,
    // and gives the reads in the batch's order.
    std::vector<const FolderRead*> readAll(const std::vector<std::string>& folders);
    // The same for subfolders given by their parent (ending in the separator) and names, each
    // folder's names together: the reads come in the order of the names, parent by parent.
    struct Subfolders {
        std::string_view folder;
        std::span<const std::string_view> names;
    };
    std::vector<const FolderRead*> readSubfolders(const std::vector<Subfolders>& batch);
    // The read of one folder, reading it now if it has not been read.
    const FolderRead& read(std::string_view folder);

  private:
    std::string key(std::string_view folder) const;
    void fill(const std::string& folder, FolderRead& slot) const;
    // Runs work(i) for every i below count on up to threads_ threads.
    template <typename Work>
    void inParallel(std::size_t count, const Work& work) const;

    const FileSystem& fs_;
    unsigned threads_;
    std::stop_token stop_;
    std::unordered_map<std::string, FolderRead> reads_;
};

}  // namespace gantrylux
