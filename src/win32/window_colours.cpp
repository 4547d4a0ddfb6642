#include "win32/window_colours.hpp"

#include <algorithm>
#include <cmath>

namespace gantrylux::win32 {
namespace {

ColourPair Readable(COLORREF text, COLORREF back) {
    if (ContrastRatio(text, back) >= kReadableContrast) {
        return {text, back};
    }
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF white = RGB(255, 255, 255);
    return {ContrastRatio(black, back) >= ContrastRatio(white, back) ? black : white, back};
}

ColourPair System(int text, int back) {
    return Readable(GetSysColor(text), GetSysColor(back));
}

}  // namespace

double ContrastRatio(COLORREF a, COLORREF b) {
    return gantrylux::ContrastRatio(Rgb{GetRValue(a), GetGValue(a), GetBValue(a)},
                                    Rgb{GetRValue(b), GetGValue(b), GetBValue(b)});
}

WindowColours SchemeColours(bool highContrast, bool skinned) {
    WindowColours colours;
    colours.face = highContrast || skinned ? System(COLOR_BTNTEXT, COLOR_BTNFACE)
                                           : ColourPair{RGB(0, 0, 0), RGB(255, 255, 255)};
    colours.field = System(COLOR_WINDOWTEXT, COLOR_WINDOW);
    colours.button = System(COLOR_BTNTEXT, COLOR_BTNFACE);
    return colours;
}

}  // namespace gantrylux::win32
