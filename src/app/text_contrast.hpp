#pragma once

namespace gantrylux {

// A colour of 8-bit channels, as both window layers hand them over.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Text reads on its background from this contrast ratio on (1:1 for the same colour, 21:1 for
// black on white), the level asked of ordinary text for readers with low vision.
inline constexpr double kReadableContrast = 4.5;

// The contrast ratio of two colours, from their relative luminance in sRGB.
double ContrastRatio(Rgb a, Rgb b);

}  // namespace gantrylux
