#include "ui/scaled_layout.hpp"

#include <stdexcept>
#include <string>

#include "app/window_fit.hpp"
#include "ui/twips.hpp"

namespace gantrylux {
namespace {

const ControlLayout& FrameOf(const ControlLayout& control) {
    for (const ControlLayout& c : kWindowLayout) {
        if (c.name == control.frame) {
            return c;
        }
    }
    throw std::logic_error("no frame " + std::string(control.frame) + " in the window's table");
}

QRect WindowRect(const ControlLayout& c, double factor) {
    return TwipsRect(c.left, c.top, c.width, c.height, factor);
}

}  // namespace

QFont ArialBold(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

double FitFactor(QSize workArea, QMargins frame) {
    const QSize designed = WindowSize(1);
    return WindowFitFactor(
        {double(designed.width()), double(designed.height())},
        {double(frame.left() + frame.right()), double(frame.top() + frame.bottom())},
        {double(workArea.width()), double(workArea.height())});
}

QRect ControlRect(const ControlLayout& control, double factor) {
    const QRect inWindow = WindowRect(control, factor);
    if (control.frame.empty()) {
        return inWindow;
    }
    return inWindow.translated(-WindowRect(FrameOf(control), factor).topLeft());
}

QFont ControlFontAt(const ControlLayout& control, double factor) {
    return ArialBold((control.font == ControlFont::Button ? kButtonFontPoints : kWindowFontPoints) *
                     factor);
}

QSize WindowSize(double factor) {
    return {TwipsToPixels(kWindowWidth, factor), TwipsToPixels(kWindowHeight, factor)};
}

}  // namespace gantrylux
