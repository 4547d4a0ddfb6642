// The controls' ids, and what the core reads from the controls and sets on them (the Form
// port).
// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "app/access_keys.hpp"
#include "app/window_layout.hpp"
#include "win32/accessible_names.hpp"
#include "win32/main_window.hpp"
#include "win32/wide_text.hpp"

namespace gantrylux::win32 {
namespace {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

int control::ControlId(std::string_view name) {
    static constexpr std::pair<std::string_view, int> kIds[] = {{"ListView1", kListView1},
                                                                {"ListView3", kListView3},
                                                                {"PushButton1", kPushButton1},
                                                                {"PushButton2", kPushButton2},
                                                                {"PushButton3", kPushButton3},
                                                                {"PushButton4", kPushButton4},
                                                                {"PushButton5", kPushButton5},
                                                                {"PushButton6", kPushButton6},
                                                                {"PushButton7", kPushButton7},
                                                                {"PushButton15", kPushButton15},
                                                                {"PushButton21", kPushButton21},
                                                                {"Text1", kText1},
                                                                {"Option1", kOption1},
                                                                {"Option2", kOption2},
                                                                {"Option3", kOption3},
                                                                {"Check3", kCheck3},
                                                                {"Frame1", kFrame1},
                                                                {"Frame2", kFrame2},
                                                                {"Frame5", kFrame5}};
    for (const auto& [known, id] : kIds) {
        if (known == name) {
            return id;
        }
    }
    throw std::logic_error("The window has no control named " + std::string(name));
}

std::string MainWindow::startButtonCaption() const {
    return CaptionWithoutAccessKey(Utf8(WindowText(item(control::kPushButton2))));
}

void MainWindow::setStartButtonCaption(const std::string& caption) {
    SetWindowTextW(
        item(control::kPushButton2),
        Wide(CaptionWithAccessKey(caption, LaidOutControl("PushButton2").accessKey)).c_str());
}

void MainWindow::announce(const std::string& text) {
    const HWND status = item(control::kRunStatus);
    SetWindowTextW(status, Wide(text).c_str());
    AnnounceChange(status);
}

void MainWindow::selectRow(ListId list, std::size_t row) {
    view(list).selectRow(row);
}

// The button has no tip until a file has been opened.
// The dialog manager turns Enter into IDOK, which no control has: on a focused command button,
// Enter presses it, as Space does. Elsewhere (a list, the interval box) it does what it did.
void MainWindow::pressFocusedButton() {
    const HWND focused = GetFocus();
    if (focused == nullptr || GetParent(focused) != window_) {
        return;
    }
    for (const ControlLayout& c : kWindowLayout) {
        if (c.kind == ControlKind::PushButton &&
            control::ControlId(c.name) == GetDlgCtrlID(focused)) {
            SendMessageW(focused, BM_CLICK, 0, 0);
        }
    }
}

void MainWindow::setStartButtonTip(const std::string& tip) {
    std::wstring text = Wide(tip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(item(control::kPushButton2));
    tool.lpszText = text.data();
    SendMessageW(tip_, std::exchange(startTipShown_, true) ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::addColumn(ListId list, const std::string& heading) {
    const HWND handle = view(list).handle();
    const auto header = reinterpret_cast<HWND>(SendMessageW(handle, LVM_GETHEADER, 0, 0));
    const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    std::wstring text = Wide(heading);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text.data();
    column.cx = pixels(1440);
    column.iSubItem = columns;
    SendMessageW(handle, LVM_INSERTCOLUMNW, columns, reinterpret_cast<LPARAM>(&column));
}

void MainWindow::setColumnWidth(ListId list, int column, int twips) {
    SendMessageW(view(list).handle(), LVM_SETCOLUMNWIDTH, column - 1, pixels(twips));
}

std::optional<std::size_t> MainWindow::selectedRow(ListId list) const {
    return view(list).selectedRow();
}

bool MainWindow::endlessChecked() const {
    return SendMessageW(item(control::kCheck3), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::setEndlessChecked(bool checked) {
    if (checked == endlessChecked()) {
        return;
    }
    SendMessageW(item(control::kCheck3), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    mainForm_.Check3_Click();
}

std::string MainWindow::intervalText() const {
    return Utf8(WindowText(item(control::kText1)));
}

void MainWindow::setIntervalText(const std::string& text) {
    SetWindowTextW(item(control::kText1), Wide(text).c_str());  // EN_CHANGE runs the handler
}

void MainWindow::focusIntervalText() {
    SetFocus(item(control::kText1));
}

DisplayOption MainWindow::displayOption() const {
    if (SendMessageW(item(control::kOption2), BM_GETCHECK, 0, 0) == BST_CHECKED) {
        return DisplayOption::Maximized;
    }
    if (SendMessageW(item(control::kOption3), BM_GETCHECK, 0, 0) == BST_CHECKED) {
        return DisplayOption::Minimized;
    }
    return DisplayOption::Normal;
}

void MainWindow::selectDisplayOption(DisplayOption option) {
    if (option == displayOption()) {
        return;
    }
    CheckRadioButton(window_, control::kOption1, control::kOption3,
                     control::kOption1 + static_cast<int>(option) - 1);
    optionChanged();
}

}  // namespace gantrylux::win32
