#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "lists/path_list.hpp"

namespace gantrylux::win32 {

// A report-view list control that shows a PathList. The control holds no texts of its own (it
// is a virtual list): it asks for each row's text as it draws it, so a huge list costs no more
// than the rows in sight, and a batch of appended rows is one change of the row count.
class PathListView : private PathListObserver {
  public:
    PathListView(HWND list, PathList& rows);
    ~PathListView() override;
    PathListView(const PathListView&) = delete;
    PathListView& operator=(const PathListView&) = delete;

    HWND handle() const { return list_; }
    // Answers the control's request for a row's text (LVN_GETDISPINFOW).
    void answerDisplayRequest(LPARAM request);

    // 1-based rows, as the core counts them.
    std::optional<std::size_t> selectedRow() const;
    void selectRow(std::size_t row);
    std::optional<std::size_t> rowAt(POINT clientPoint) const;

  private:
    void appended(std::size_t, std::size_t) override { update(false); }
    void removed(std::size_t) override { update(true); }
    void reset() override { update(true); }
    void changed(std::size_t, std::size_t) override { InvalidateRect(list_, nullptr, FALSE); }
    // Rows below a removed one move up, while the control keeps its selection by index: the
    // selection goes with the row it was on.
    void update(bool clearSelection);

    HWND list_;
    PathList& rows_;
    std::wstring text_;  // the row text last handed out, alive until the next request
};

}  // namespace gantrylux::win32
