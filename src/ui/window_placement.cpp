// Where the window sits and how large it is laid out: at its designed size where the screen's
// work area holds it, smaller where it does not, and inside that work area.
#include <QScreen>
#include <QTreeView>
#include <algorithm>
#include <cmath>

#include "app/window_layout.hpp"
#include "ui/main_window.hpp"
#include "ui/scaled_layout.hpp"

namespace gantrylux {

// Every control at its place and font at `factor`, the window at its size around them.
void MainWindow::layOut(double factor) {
    const double ratio = factor / factor_;
    factor_ = factor;
    setFont(ArialBold(kWindowFontPoints * factor));
    setFixedSize(WindowSize(factor));
    for (const ControlLayout& c : kWindowLayout) {
        QWidget* control = controls_.at(c.name);
        control->setGeometry(ControlRect(c, factor));
        control->setFont(ControlFontAt(c, factor));
    }
    // A column keeps the share of the list it has, also one the user has widened.
    for (QTreeView* list : {listView1_, listView3_}) {
        for (int column = 0; column < list->model()->columnCount(); ++column) {
            list->setColumnWidth(column,
                                 static_cast<int>(std::lround(list->columnWidth(column) * ratio)));
        }
    }
}

// The window cannot be resized, so where the screen's work area is too small for it, it is laid
// out smaller, to keep the whole of it, title bar to "Start Opening", on the screen.
void MainWindow::fitToScreen() {
    const QScreen* on = screen();
    if (on == nullptr) {
        return;
    }
    const QRect workArea = on->availableGeometry();
    if (const double factor = FitFactor(workArea.size(), frameMargins()); factor != factor_) {
        layOut(factor);
    }
    keepInside(workArea);
}

void MainWindow::watchScreen(QScreen* on) {
    disconnect(screenGeometryWatch_);
    disconnect(screenDpiWatch_);
    if (on != nullptr) {
        screenGeometryWatch_ =
            connect(on, &QScreen::availableGeometryChanged, this, &MainWindow::fitToScreen);
        screenDpiWatch_ =
            connect(on, &QScreen::logicalDotsPerInchChanged, this, &MainWindow::fitToScreen);
    }
    fitToScreen();
}

// Moves the window, frame and all, back into the work area where it sticks out. Its place is
// that of its frame, as move() takes it, also while the frame's size is only estimated.
void MainWindow::keepInside(const QRect& workArea) {
    const QRect outer(pos(), size().grownBy(frameMargins()));
    const auto within = [](int at, int length, int first, int last) {
        return std::clamp(at, first, std::max(first, last + 1 - length));
    };
    const QPoint at(within(outer.left(), outer.width(), workArea.left(), workArea.right()),
                    within(outer.top(), outer.height(), workArea.top(), workArea.bottom()));
    if (at != outer.topLeft()) {
        move(at);
    }
}

// What the window manager's frame adds around the client area; estimated until it has said.
QMargins MainWindow::frameMargins() const {
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    if (frame == client) {
        return kFrameEstimate;
    }
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

void MainWindow::centreOnScreen() {
    if (const QScreen* on = screen()) {
        QRect outer(QPoint(), size().grownBy(frameMargins()));
        outer.moveCenter(on->availableGeometry().center());
        move(outer.topLeft());
    }
}

}  // namespace gantrylux
