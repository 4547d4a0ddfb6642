// The rows of the file list under the pointer: pressing one, carrying it up or down, and
// scrolling the list when the pointer nears its top or bottom.
// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "win32/main_window.hpp"

namespace gantrylux::win32 {

// Pressing on a row of the file list and moving up or down carries the row along; the list's own
// press handling (which would start a selection rectangle or a shell drag) stays out of it.
// Gives -1 for the messages the list handles as usual.
LRESULT MainWindow::handleFileList(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND list = fileView_->handle();
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    FileListReorder& reorder = mainForm_.reorder();
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            reorder.press();
            SetFocus(list);
            SetCapture(list);
            if (const auto row = fileView_->rowAt(at)) {
                fileView_->selectRow(*row);
                reorder.itemClick(row);
                fileListDragPointer_ = true;
                refreshPointer();
            }
            if (message == WM_LBUTTONDBLCLK) {
                mainForm_.commands().ListView1_DblClick();
            }
            return 0;
        }
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            reorder.press();
            return -1;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (GetCapture() == list) {
                ReleaseCapture();  // ends the press through WM_CAPTURECHANGED
            }
            endFileListPress();
            return -1;
        // Whatever takes the press away from the list ends it, as its release will not come
        // here: the focus moving on, a message box taking the capture.
        case WM_CAPTURECHANGED:
        case WM_KILLFOCUS:
            endFileListPress();
            return -1;
        case WM_MOUSEMOVE: {
            if (!reorder.pressed()) {
                return -1;
            }
            const bool held = (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
            moveOverFileList(at, held);
            if (held) {
                return 0;
            }
            endFileListPress();  // the release went elsewhere; this move ended the press
            return -1;
        }
        default:
            return -1;
    }
}

void MainWindow::endFileListPress() {
    mainForm_.reorder().release();
    if (std::exchange(fileListDragPointer_, false)) {
        refreshPointer();
    }
}

// The list scrolls by a row when the pointer comes within a row's height of its top or bottom.
void MainWindow::moveOverFileList(POINT position, bool buttonHeld) {
    const auto moved = mainForm_.reorder().moveOver(fileView_->rowAt(position), buttonHeld);
    if (!moved) {
        return;
    }
    const HWND list = fileView_->handle();
    fileView_->selectRow(*moved);
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, *moved - 1, reinterpret_cast<LPARAM>(&row));
    const int rowHeight = row.bottom - row.top;
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
    RECT client{};
    GetClientRect(list, &client);
    const std::size_t rows = mainForm_.fileList().count();
    if (position.y<(header.bottom - header.top) + rowHeight&& * moved> 1) {
        SendMessageW(list, LVM_ENSUREVISIBLE, *moved - 2, FALSE);
    } else if (position.y > client.bottom - rowHeight && *moved < rows) {
        SendMessageW(list, LVM_ENSUREVISIBLE, *moved, FALSE);
    }
}

}  // namespace gantrylux::win32
