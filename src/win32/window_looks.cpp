// The window's pointer (the hand, the hourglass, the row being carried) and its colours.
// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "app/window_layout.hpp"
#include "folders/win32_error.hpp"
#include "win32/main_window.hpp"
#include "win32/wide_text.hpp"

namespace gantrylux::win32 {

HCURSOR MainWindow::CursorFromFile(const std::string& path, int size) {
    const HCURSOR cursor =
        size == 0 ? LoadCursorFromFileW(Wide(path).c_str())
                  : static_cast<HCURSOR>(LoadImageW(nullptr, Wide(path).c_str(), IMAGE_CURSOR, size,
                                                    size, LR_LOADFROMFILE));
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
    handPath_ = cursorPath;
}

// The pointers drawn from files are loaded again at the pointer size of the window's new DPI;
// one that cannot be keeps its old size.
void MainWindow::resizePointers() {
    for (auto [cursor, path] : {std::pair{&hand_, &handPath_}, std::pair{&drag_, &dragPath_}}) {
        if (path->empty()) {
            continue;
        }
        try {
            const HCURSOR resized = CursorFromFile(*path, PointerSize(dpi_));
            DestroyCursor(*cursor);
            *cursor = resized;
        } catch (const std::runtime_error&) {
        }
    }
    refreshPointer();
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
    refreshColours();
}

// A brush keeps the colour it was made with, and a list the colours it was given: a change of
// the colour scheme needs new ones.
void MainWindow::refreshColours() {
    colours_ = SchemeColours(screen_.highContrast(), skinned_);
    for (auto [brush, colour] :
         {std::pair{&faceBrush_, colours_.face.back}, std::pair{&fieldBrush_, colours_.field.back},
          std::pair{&buttonBrush_, colours_.button.back}}) {
        if (*brush != nullptr) {
            DeleteObject(*brush);
        }
        *brush = CreateSolidBrush(colour);
    }
    for (const int id : {control::kListView1, control::kListView3}) {
        if (const HWND list = item(id)) {
            ListView_SetBkColor(list, colours_.field.back);
            ListView_SetTextBkColor(list, colours_.field.back);
            ListView_SetTextColor(list, colours_.field.text);
        }
    }
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// Every control is told both colours of its surface: a control left with the scheme's text
// colour on the window's own white would be unreadable in a dark scheme.
LRESULT MainWindow::controlColours(HDC dc, HWND control) const {
    ColourPair pair = colours_.face;
    HBRUSH brush = faceBrush_;
    for (const ControlLayout& c : kWindowLayout) {
        if (control::ControlId(c.name) != GetDlgCtrlID(control)) {
            continue;
        }
        if (c.kind == ControlKind::TextBox) {
            pair = colours_.field;
            brush = fieldBrush_;
        } else if (c.kind == ControlKind::PushButton) {
            pair = colours_.button;
            brush = buttonBrush_;
        }
    }
    SetTextColor(dc, pair.text);
    SetBkColor(dc, pair.back);
    return reinterpret_cast<LRESULT>(brush);
}

// The list headers are drawn here in the face's colours: a visual style draws them light
// whatever text colour the scheme gives them.
LRESULT MainWindow::drawHeader(const NMCUSTOMDRAW& draw) const {
    const HWND header = draw.hdr.hwndFrom;
    if (draw.dwDrawStage == CDDS_PREPAINT) {
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    }
    if (draw.dwDrawStage == CDDS_POSTPAINT) {
        // The part right of the last column.
        RECT rest{};
        GetClientRect(header, &rest);
        RECT last{};
        if (Header_GetItemRect(header, Header_GetItemCount(header) - 1, &last)) {
            rest.left = last.right;
        }
        FillRect(draw.hdc, &rest, faceBrush_);
        return CDRF_DODEFAULT;
    }
    if (draw.dwDrawStage != CDDS_ITEMPREPAINT) {
        return CDRF_DODEFAULT;
    }
    wchar_t text[256] = L"";
    HDITEMW column{};
    column.mask = HDI_TEXT;
    column.pszText = text;
    column.cchTextMax = 256;
    Header_GetItem(header, static_cast<int>(draw.dwItemSpec), &column);
    RECT part = draw.rc;
    FillRect(draw.hdc, &part, faceBrush_);
    const RECT divider{part.right - 1, part.top, part.right, part.bottom};
    FillRect(draw.hdc, &divider, GetSysColorBrush(COLOR_BTNSHADOW));
    SetTextColor(draw.hdc, colours_.face.text);
    SetBkMode(draw.hdc, TRANSPARENT);
    InflateRect(&part, -pixels(90), 0);
    DrawTextW(draw.hdc, text, -1, &part, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    return CDRF_SKIPDEFAULT;
}

void MainWindow::setPointer(WindowPointer pointer) {
    pointer_ = pointer;
    refreshPointer();
}

}  // namespace gantrylux::win32
