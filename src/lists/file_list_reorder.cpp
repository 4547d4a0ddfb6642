#include "lists/file_list_reorder.hpp"

namespace gantrylux {

FileListReorder::FileListReorder(PathList& files) : files_(files) {
    files_.addObserver(*this);
}

FileListReorder::~FileListReorder() {
    files_.removeObserver(*this);
}

void FileListReorder::removed(std::size_t position) {
    if (!dragged_) {
        return;
    }
    if (*dragged_ == position) {
        dragged_.reset();
    } else if (*dragged_ > position) {
        --*dragged_;
    }
}

std::optional<std::size_t> FileListReorder::moveOver(std::optional<std::size_t> target,
                                                     bool buttonHeld) {
    if (!buttonHeld) {
        pressed_ = false;
    }
    if (!pressed_ || !target || !dragged_ || *target > files_.count() ||
        *dragged_ > files_.count()) {
        return std::nullopt;
    }
    if (files_.at(*target) == files_.at(*dragged_)) {
        return std::nullopt;
    }
    // A fast move, or the list scrolling under a still pointer, can reach a row several rows
    // away: the text still passes each row between, so those keep their order.
    const std::size_t to = *target;
    while (*dragged_ != to) {
        const std::size_t next = *dragged_ < to ? *dragged_ + 1 : *dragged_ - 1;
        files_.swap(*dragged_, next);
        dragged_ = next;
    }
    return target;
}

}  // namespace gantrylux
