#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace gantrylux::bench {

// A folder tree the tool writes in a fresh temporary folder, removed again with the object.
class ScratchTree {
  public:
    ScratchTree();
    ~ScratchTree();
    ScratchTree(const ScratchTree&) = delete;
    ScratchTree& operator=(const ScratchTree&) = delete;

    // The path of an entry given relative to the tree; the tree's own path for "".
    std::string path(std::string_view relative = "") const;
    // The same as a row of the folder list holds it: ending in the separator.
    std::string folderRow(std::string_view relative = "") const { return path(relative) + '/'; }
    // Writes a small file, and the folders it lies in.
    void file(std::string_view relative) const;

  private:
    std::filesystem::path root_;
};

}  // namespace gantrylux::bench
