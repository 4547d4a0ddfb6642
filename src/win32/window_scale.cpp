// The window's size: its layout table at the DPI of its monitor, shrunk where the monitor's
// work area is too small for it, and laid out again when it moves to a monitor of another DPI.
// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "app/window_fit.hpp"
#include "app/window_layout.hpp"
#include "win32/main_window.hpp"

namespace gantrylux::win32 {
namespace {

HFONT ArialBold(int hundredthsOfPoint, double dpi) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(hundredthsOfPoint * dpi / 7200.0));
    font.lfWeight = FW_BOLD;
    font.lfCharSet = RUSSIAN_CHARSET;
    wcscpy(font.lfFaceName, L"Arial");
    return CreateFontIndirectW(&font);
}

}  // namespace

// Rounded as MulDiv rounds, so that at full size every place is what MulDiv gives.
int MainWindow::pixels(int twips) const {
    return static_cast<int>(std::lround(twips * (dpi_ * fit_) / 1440.0));
}

double MainWindow::fitFactor(const RECT& workArea) const {
    const SIZE frame = FrameSize(kWindowStyle, kWindowExStyle, dpi_);
    return WindowFitFactor({static_cast<double>(MulDiv(kWindowWidth, dpi_, 1440)),
                            static_cast<double>(MulDiv(kWindowHeight, dpi_, 1440))},
                           {static_cast<double>(frame.cx), static_cast<double>(frame.cy)},
                           {static_cast<double>(workArea.right - workArea.left),
                            static_cast<double>(workArea.bottom - workArea.top)});
}

// The caller deletes the fonts these replace once no control uses them.
void MainWindow::makeFonts() {
    font_ = ArialBold(static_cast<int>(kWindowFontPoints * 100), dpi_ * fit_);
    buttonFont_ = ArialBold(static_cast<int>(kButtonFontPoints * 100), dpi_ * fit_);
}

void MainWindow::layOut() {
    for (const ControlLayout& c : kWindowLayout) {
        const HWND control = item(control::ControlId(c.name));
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(c.font == ControlFont::Button ? buttonFont_ : font_),
                     FALSE);
        MoveWindow(control, pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height), TRUE);
    }
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, pixels(6000));
}

// The whole window, title bar included, inside the work area: centred, or as near the given
// top left corner as it can be.
void MainWindow::placeWindow(const RECT& workArea, const POINT* topLeft) {
    const SIZE frame = FrameSize(kWindowStyle, kWindowExStyle, dpi_);
    const int width = pixels(kWindowWidth) + frame.cx;
    const int height = pixels(kWindowHeight) + frame.cy;
    POINT at{workArea.left + (workArea.right - workArea.left - width) / 2,
             workArea.top + (workArea.bottom - workArea.top - height) / 2};
    if (topLeft != nullptr) {
        at.x = std::max(workArea.left, std::min(topLeft->x, workArea.right - width));
        at.y = std::max(workArea.top, std::min(topLeft->y, workArea.bottom - height));
    }
    SetWindowPos(window_, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Windows suggests where the window goes on the new monitor; there it is laid out again from
// the table, and its columns keep their share of the lists.
void MainWindow::onDpiChanged(int dpi, const RECT& suggested) {
    const double before = dpi_ * fit_;
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    dpi_ = dpi;
    const RECT work = screen_.workArea(window_);
    fit_ = fitFactor(work);
    const HFONT oldFont = font_;
    const HFONT oldButtonFont = buttonFont_;
    makeFonts();
    layOut();
    DeleteObject(oldFont);
    DeleteObject(oldButtonFont);
    resizePointers();
    for (const int list : {control::kListView1, control::kListView3}) {
        const HWND header = ListView_GetHeader(item(list));
        for (int column = 0; column < Header_GetItemCount(header); ++column) {
            const int width = ListView_GetColumnWidth(item(list), column);
            ListView_SetColumnWidth(item(list), column,
                                    static_cast<int>(std::lround(width * dpi_ * fit_ / before)));
        }
    }
    const POINT topLeft{suggested.left, suggested.top};
    placeWindow(work, &topLeft);
}

}  // namespace gantrylux::win32
