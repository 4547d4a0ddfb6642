#pragma once

namespace gantrylux {

// How much of its designed size the window is laid out at so that the whole of it, frame and
// title bar included, lies inside the screen's work area: 1 where it fits as designed, less on
// a screen that is too small for it (a laptop at 200% scale), never less than kSmallestFit,
// below which its text could not be read. Sizes are in the pixels the window layer lays out in
// (device-independent pixels on Qt, physical pixels at the window's DPI on Win32); `frame` is
// what the window's frame and title bar add to its client area.
inline constexpr double kSmallestFit = 0.5;

struct PixelSize {
    double width = 0;
    double height = 0;
};

double WindowFitFactor(PixelSize client, PixelSize frame, PixelSize workArea);

}  // namespace gantrylux
