#pragma once

#include <QRect>
#include <cmath>

namespace gantrylux {

// The window's layout is given in twips: 1/1440 inch, so 15 twips are one pixel at 96 dpi.
// Qt's device-independent pixels are 96-dpi pixels, and Qt scales them on high-dpi screens.
inline int TwipsToPixels(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

}  // namespace gantrylux
