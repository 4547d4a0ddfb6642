#include "win32/window_colours.hpp"

#include <algorithm>
#include <cmath>

namespace gantrylux::win32 {
namespace {

double Linear(BYTE channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(COLORREF colour) {
    return 0.2126 * Linear(GetRValue(colour)) + 0.7152 * Linear(GetGValue(colour)) +
           0.0722 * Linear(GetBValue(colour));
}

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
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
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
