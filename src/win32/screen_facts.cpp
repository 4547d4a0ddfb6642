#include "win32/screen_facts.hpp"

namespace gantrylux::win32 {
namespace {

// The per-monitor DPI calls came with Windows 10 1607; earlier systems get the system DPI.
template <typename Function>
Function User32Function(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    // Through the one pointer type that casts to any function type without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

int SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

ScreenFacts ScreenFacts::System() {
    ScreenFacts facts;
    facts.highContrast = [] {
        HIGHCONTRASTW contrast{};
        contrast.cbSize = sizeof contrast;
        return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
               (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    };
    facts.dpi = [](HWND window) {
        static const auto forWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
        const UINT dpi = forWindow != nullptr ? forWindow(window) : 0;
        return dpi != 0 ? static_cast<int>(dpi) : SystemDpi();
    };
    facts.workArea = [](HWND window) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
            return monitor.rcWork;
        }
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        return work;
    };
    return facts;
}

SIZE FrameSize(DWORD style, DWORD exStyle, int dpi) {
    static const auto forDpi =
        User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, 0, 0};
    if (forDpi == nullptr || !forDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        frame = RECT{0, 0, 0, 0};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

int PointerSize(int dpi) {
    static const auto forDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi != nullptr ? forDpi(SM_CXCURSOR, static_cast<UINT>(dpi))
                             : MulDiv(GetSystemMetrics(SM_CXCURSOR), dpi, SystemDpi());
}

}  // namespace gantrylux::win32
