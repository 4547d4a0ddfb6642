#pragma once

#include <windows.h>

#include <functional>

namespace gantrylux::win32 {

// What the window asks of the screen it is on: the colour scheme's high-contrast switch, its
// DPI and the work area of its monitor. The tests answer for a screen they cannot set up under
// Wine (another DPI, a smaller work area, High Contrast).
struct ScreenFacts {
    std::function<bool()> highContrast;
    std::function<int(HWND)> dpi;
    std::function<RECT(HWND)> workArea;

    static ScreenFacts System();
};

// What a window of these styles adds around its client area at a DPI: frame and title bar.
SIZE FrameSize(DWORD style, DWORD exStyle, int dpi);

// The side of a pointer image at a DPI.
int PointerSize(int dpi);

}  // namespace gantrylux::win32
