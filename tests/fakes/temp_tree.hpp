#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace gantrylux::testing {

// A folder tree in a fresh temporary folder, removed again with the object. Paths are given
// with "/" and come back in the platform's form, as the program's rows hold them.
class TempTree {
  public:
    TempTree() {
        std::random_device seed;
        root_ = std::filesystem::temp_directory_path() /
                ("gantrylux-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(root_);
    }
    ~TempTree() {
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    std::filesystem::path at(std::string_view relative) const {
        return relative.empty() ? root_ : root_ / std::filesystem::u8path(relative);
    }
    // The path as a text of the platform, without or with a final separator.
    std::string path(std::string_view relative = "") const {
        const std::u8string text = at(relative).make_preferred().u8string();
        return std::string(text.begin(), text.end());
    }
    std::string folderRow(std::string_view relative = "") const {
        return path(relative) + static_cast<char>(std::filesystem::path::preferred_separator);
    }

    void folder(std::string_view relative) const {
        std::filesystem::create_directories(at(relative));
    }
    void file(std::string_view relative) const {
        std::filesystem::create_directories(at(relative).parent_path());
        std::ofstream(at(relative)) << "x";
    }

  private:
    std::filesystem::path root_;
};

}  // namespace gantrylux::testing
