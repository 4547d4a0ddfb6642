#pragma once

#include <windows.h>

#include "app/text_contrast.hpp"

namespace gantrylux::win32 {

struct ColourPair {
    COLORREF text;
    COLORREF back;
};

// The colours of the window's three kinds of surface in the current colour scheme.
struct WindowColours {
    ColourPair face;    // the window itself, its frames, check box, options and list headers
    ColourPair field;   // the lists and the interval box
    ColourPair button;  // the push buttons
};

// The window keeps its white faces with black text unless it is skinned (the button face) or
// High Contrast is on (the system colours throughout). A text colour the scheme pairs badly
// with its background gives way to black or white, whichever reads better.
WindowColours SchemeColours(bool highContrast, bool skinned);

// The contrast ratio of two colours by their relative luminance, from 1 to 21.
double ContrastRatio(COLORREF a, COLORREF b);

}  // namespace gantrylux::win32
