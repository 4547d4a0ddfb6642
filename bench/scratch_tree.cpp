#include "scratch_tree.hpp"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace gantrylux::bench {

ScratchTree::ScratchTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "gantrylux-bench-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    root_ = pattern;
}

ScratchTree::~ScratchTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string ScratchTree::path(std::string_view relative) const {
    return relative.empty() ? root_.string() : (root_ / relative).string();
}

void ScratchTree::file(std::string_view relative) const {
    const std::filesystem::path at = root_ / relative;
    std::filesystem::create_directories(at.parent_path());
    std::ofstream out(at);
    out << "x";
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + at.string());
    }
}

}  // namespace gantrylux::bench
