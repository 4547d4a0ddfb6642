// The menus of the window: one on a row of either list, and one on "Start Opening"/"Stop" with
// the files opened since start-up. Each opens with a right click, the context-menu key or
// Shift+F10 (the system sends WM_CONTEXTMENU for all three).
// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>
#include <windowsx.h>

#include "win32/main_window.hpp"
#include "win32/wide_text.hpp"

namespace gantrylux::win32 {
namespace {

enum RowItem : UINT { kOpen = 1, kShowInFolder, kCopyPath, kRemove };
// The start button's menu: two items per file, from here on.
constexpr UINT kFirstOpenedItem = 100;

// Where a menu opened from the keyboard shows: at the middle of `rect`, in screen pixels.
POINT Middle(HWND window, RECT rect) {
    POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(window, &at);
    return at;
}

}  // namespace

HMENU MainWindow::MakeRowMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kOpen, L"Open");
    AppendMenuW(menu, MF_STRING, kShowInFolder, L"Show in Folder");
    AppendMenuW(menu, MF_STRING, kCopyPath, L"Copy Path");
    AppendMenuW(menu, MF_STRING, kRemove, L"Remove");
    return menu;
}

HMENU MainWindow::MakeOpenedMenu(const std::deque<std::string>& opened) {
    HMENU menu = CreatePopupMenu();
    for (std::size_t i = 0; i < opened.size(); ++i) {
        HMENU file = CreatePopupMenu();
        const auto first = static_cast<UINT>(kFirstOpenedItem + 2 * i);
        AppendMenuW(file, MF_STRING, first, L"Show in Folder");
        AppendMenuW(file, MF_STRING, first + 1, L"Open Again");
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), Wide(opened[i]).c_str());
    }
    return menu;
}

// A right click acts on the row under the pointer; the keyboard (where is -1) on the selected
// row.
bool MainWindow::onContextMenu(HWND over, LPARAM where) {
    const bool fromKeyboard = where == -1;
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (over == item(control::kPushButton2)) {
        const auto& opened = mainForm_.openedHistory().newestFirst();
        if (opened.empty()) {
            return true;
        }
        HMENU menu = MakeOpenedMenu(opened);
        if (fromKeyboard) {
            RECT button{};
            GetClientRect(over, &button);
            at = Middle(over, button);
        }
        const UINT chosen = static_cast<UINT>(
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr));
        DestroyMenu(menu);
        if (chosen >= kFirstOpenedItem && (chosen - kFirstOpenedItem) / 2 < opened.size()) {
            const std::string path = opened[(chosen - kFirstOpenedItem) / 2];
            if ((chosen - kFirstOpenedItem) % 2 == 0) {
                mainForm_.OpenedMenu_ShowInFolder(path);
            } else {
                mainForm_.OpenedMenu_OpenAgain(path);
            }
        }
        return true;
    }
    const bool files = over == item(control::kListView1);
    if (!files && over != item(control::kListView3)) {
        return false;
    }
    PathListView& list = files ? *fileView_ : *folderView_;
    const ListId id = files ? ListId::Files : ListId::Folders;
    if (!fromKeyboard) {
        POINT inList = at;
        ScreenToClient(over, &inList);
        if (const auto row = list.rowAt(inList)) {
            list.selectRow(*row);
        }
    }
    const std::optional<std::size_t> row = selectedRow(id);
    if (!row) {
        return true;
    }
    if (fromKeyboard) {
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(over, LVM_GETITEMRECT, *row - 1, reinterpret_cast<LPARAM>(&bounds));
        at = Middle(over, bounds);
    }
    HMENU menu = MakeRowMenu();
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr));
    DestroyMenu(menu);
    ListCommands& commands = mainForm_.commands();
    switch (chosen) {
        case kOpen:
            commands.RowMenu_Open(id);
            break;
        case kShowInFolder:
            commands.RowMenu_ShowInFolder(id);
            break;
        case kCopyPath:
            commands.RowMenu_CopyPath(id);
            break;
        case kRemove:
            commands.RowMenu_Remove(id);
            break;
        default:
            break;
    }
    return true;
}

}  // namespace gantrylux::win32
