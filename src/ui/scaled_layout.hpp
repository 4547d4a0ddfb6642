#pragma once

#include <QFont>
#include <QMargins>
#include <QRect>
#include <QSize>

#include "app/window_layout.hpp"

namespace gantrylux {

// What a window frame and title bar add around the client area until the window manager has
// said: generous, so that a window placed by it is never cut off at the work area's edge.
inline constexpr QMargins kFrameEstimate{4, 40, 4, 4};

QFont ArialBold(double points);

// The factor at which the window's designed client area, with `frame` around it, fits into
// `workArea` (logical pixels): 1 where it fits as designed.
double FitFactor(QSize workArea, QMargins frame);

// The control's place in its container (the window or its frame) and its font, at `factor`. A
// control in a frame is placed from the frame's scaled corner, as the window places the frame,
// so that nothing drifts out of its frame by rounding.
QRect ControlRect(const ControlLayout& control, double factor);
QFont ControlFontAt(const ControlLayout& control, double factor);

// The client area at `factor`.
QSize WindowSize(double factor);

}  // namespace gantrylux
