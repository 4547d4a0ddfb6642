#pragma once

#include <QRect>
#include <cmath>

namespace gantrylux {

// The window's layout is given in twips: 1/1440 inch, so 15 twips are one pixel at 96 dpi.
// Qt's device-independent pixels are 96-dpi pixels, and Qt scales them on high-dpi screens.
// `factor` shrinks the layout on a work area too small for it; at 1 it is the table's to the
// pixel.
inline int TwipsToPixels(int twips, double factor = 1) {
    return static_cast<int>(std::lround(twips * factor / 15.0));
}

inline QRect TwipsRect(int left, int top, int width, int height, double factor = 1) {
    return {TwipsToPixels(left, factor), TwipsToPixels(top, factor), TwipsToPixels(width, factor),
            TwipsToPixels(height, factor)};
}

}  // namespace gantrylux
