#include "win32/path_list_view.hpp"

#include <commctrl.h>

#include "win32/wide_text.hpp"

namespace gantrylux::win32 {

PathListView::PathListView(HWND list, PathList& rows) : list_(list), rows_(rows) {
    rows_.addObserver(*this);
    update(true);
}

PathListView::~PathListView() {
    rows_.removeObserver(*this);
}

void PathListView::answerDisplayRequest(LPARAM request) {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(request);
    if ((info->item.mask & LVIF_TEXT) == 0) {
        return;
    }
    const auto row = static_cast<std::size_t>(info->item.iItem) + 1;
    text_.clear();
    if (info->item.iSubItem == 0 && info->item.iItem >= 0 && row <= rows_.count()) {
        text_ = Wide(rows_.at(row));
    }
    info->item.pszText = text_.data();
}

std::optional<std::size_t> PathListView::selectedRow() const {
    const auto index = SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index) + 1;
}

void PathListView::selectRow(std::size_t row) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, row - 1, reinterpret_cast<LPARAM>(&state));
    SendMessageW(list_, LVM_ENSUREVISIBLE, row - 1, FALSE);
}

std::optional<std::size_t> PathListView::rowAt(POINT clientPoint) const {
    LVHITTESTINFO hit{};
    hit.pt = clientPoint;
    const auto index = SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (index < 0 || (hit.flags & LVHT_ONITEM) == 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index) + 1;
}

void PathListView::update(bool clearSelection) {
    if (clearSelection) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&state));
    }
    SendMessageW(list_, LVM_SETITEMCOUNT, rows_.count(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    InvalidateRect(list_, nullptr, TRUE);
}

}  // namespace gantrylux::win32
