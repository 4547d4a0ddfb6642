#pragma once

#include <QColor>
#include <QPalette>

#include "app/text_contrast.hpp"

namespace gantrylux {

// The contrast of two colours (see text_contrast.hpp), from 1 (the same luminance) to 21 (black
// on white).
double ContrastRatio(const QColor& a, const QColor& b);

// True where white text reads better on `face` than black.
bool IsDarkFace(const QColor& face);

// `preferred` where it is readable on `face`, else black or white, whichever reads better.
QColor TextColourOn(const QColor& face, const QColor& preferred);

// The window's own look: white faces and black text, with every other role readable on them, in
// every colour group. Every role is set, so nothing of the user's colour scheme (white text in a
// dark one) lands on the white faces.
QPalette WhiteFacePalette();

// The same on a face of the user's scheme (the skin's button face): the window colour is `face`
// and the text on it `preferredText` where that is readable there.
QPalette FacePalette(const QColor& face, const QColor& preferredText);

}  // namespace gantrylux
