// The window's pointer (the hand, the hourglass, the row being carried) and its skin colour.
#include <stdexcept>
#include <string>

#include "folders/win32_error.hpp"
#include "win32/main_window.hpp"
#include "win32/wide_text.hpp"

namespace gantrylux::win32 {

HCURSOR MainWindow::CursorFromFile(const std::string& path) {
    const HCURSOR cursor = LoadCursorFromFileW(Wide(path).c_str());
    if (cursor == nullptr) {
        throw std::runtime_error("Cannot load the pointer " + path + ": " +
                                 SystemMessage(GetLastError()));
    }
    return cursor;
}

bool MainWindow::onSetCursor(HWND over) {
    if (over != window_ && !IsChild(window_, over)) {
        return false;
    }
    HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW);
    if (pointer_ == WindowPointer::Hourglass) {
        cursor = LoadCursorW(nullptr, IDC_WAIT);
    } else if (fileListDragPointer_ && over == fileView_->handle()) {
        cursor = drag_;
    } else if (pointer_ == WindowPointer::Custom) {
        cursor = hand_;
    }
    SetCursor(cursor);
    return true;
}

// A new pointer shows at once, not only at the next move.
void MainWindow::refreshPointer() {
    POINT at{};
    GetCursorPos(&at);
    const HWND over = WindowFromPoint(at);
    if (over != nullptr && (over == window_ || IsChild(window_, over))) {
        onSetCursor(over);
    }
}

void MainWindow::loadCustomPointer(const std::string& cursorPath) {
    const HCURSOR loaded = CursorFromFile(cursorPath);
    if (ownHand_) {
        DestroyCursor(hand_);
    }
    hand_ = loaded;
    ownHand_ = true;
}

// The skin file dresses the window on the desktop that reads it; here it gives the window, the
// frames, the check box and the options the button face.
void MainWindow::applySkin(const std::string& skinPath) {
    const HANDLE file = CreateFileW(Wide(skinPath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("Cannot read the skin " + skinPath + ": " +
                                 SystemMessage(GetLastError()));
    }
    CloseHandle(file);
    skinned_ = true;
    useButtonFace();
}

// A brush keeps the colour it was made with: a change of the colour scheme needs a new one.
void MainWindow::useButtonFace() {
    DeleteObject(background_);
    background_ = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::setPointer(WindowPointer pointer) {
    pointer_ = pointer;
    refreshPointer();
}

}  // namespace gantrylux::win32
