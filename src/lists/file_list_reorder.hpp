#pragma once

#include <cstddef>
#include <optional>

#include "lists/path_list.hpp"

namespace gantrylux {

// Reordering the file list by dragging a row: pressing on a row and moving carries its text
// along, swapping it with each row it passes, also rows a single move skipped. The dragged row
// follows the list's changes and is forgotten when it is removed, so a later move never touches a
// row that is gone.
class FileListReorder : private PathListObserver {
  public:
    explicit FileListReorder(PathList& files);
    ~FileListReorder() override;
    FileListReorder(const FileListReorder&) = delete;
    FileListReorder& operator=(const FileListReorder&) = delete;

    void press() noexcept { pressed_ = true; }
    void release() noexcept { pressed_ = false; }
    // An item click makes the selected row the dragged one.
    void itemClick(std::optional<std::size_t> selectedRow) { dragged_ = selectedRow; }

    // The pointer moved over `target` (a 1-based row, or none over empty space), with or
    // without a mouse button held. A move with no button held ends the press: its release went
    // elsewhere, to a message box that came up in between, say. When the dragged text moved
    // there, returns that row, which the caller selects and scrolls to.
    std::optional<std::size_t> moveOver(std::optional<std::size_t> target, bool buttonHeld);

    bool pressed() const noexcept { return pressed_; }
    std::optional<std::size_t> draggedRow() const noexcept { return dragged_; }

  private:
    void removed(std::size_t position) override;
    void reset() override { dragged_.reset(); }

    PathList& files_;
    bool pressed_ = false;
    std::optional<std::size_t> dragged_;
};

}  // namespace gantrylux
