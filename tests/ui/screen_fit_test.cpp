#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <string>

#include "app/window_layout.hpp"
#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"
#include "ui/scaled_layout.hpp"
#include "ui/twips.hpp"

namespace gantrylux {
namespace {

QWidget* Control(const QWidget& window, const ControlLayout& c) {
    return window.findChild<QWidget*>(QString::fromUtf8(c.name.data(), qsizetype(c.name.size())));
}

// The screens of tests/ui/data/screens.json, in logical pixels: the work areas of 1920x1080 at
// 200% (where the window starts), 100%, 150% and 250%, and of 1366x768 at 100%, a task bar's 40
// pixels taken off each. The offscreen platform draws no frame, so the window must leave room
// for the frame it estimates.
TEST(ScreenFit, TheWholeWindowLiesInTheWorkAreaOfEveryScreen) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 5) {
        GTEST_SKIP() << "runs on the screens of tests/ui/data/screens.json";
    }
    testing::RecordingDesktop desktop;
    testing::MemorySettingsStore store;
    SystemClock clock;
    MainWindow window(desktop, store, MakeNativeFileSystem(), clock);
    window.show();
    QApplication::processEvents();

    const auto lies = [&window](QScreen* screen) {
        const std::string name = screen->name().toStdString();
        const QRect workArea = screen->availableGeometry();
        const QSize framed = window.size().grownBy(kFrameEstimate);
        ::testing::Test::RecordProperty(name,
                                        QStringLiteral("%1x%2 client, %3x%4 with a frame, in %5x%6")
                                            .arg(window.width())
                                            .arg(window.height())
                                            .arg(framed.width())
                                            .arg(framed.height())
                                            .arg(workArea.width())
                                            .arg(workArea.height())
                                            .toStdString());
        EXPECT_TRUE(workArea.contains(window.frameGeometry())) << name;
        EXPECT_LE(framed.width(), workArea.width()) << name;
        EXPECT_LE(framed.height(), workArea.height()) << name;
        for (const ControlLayout& c : kWindowLayout) {
            QWidget* control = Control(window, c);
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(
                window.rect().contains(QRect(control->mapTo(&window, QPoint()), control->size())))
                << name << ": " << c.name;
            if (auto* button = qobject_cast<QPushButton*>(control)) {
                EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()),
                          button->width())
                    << name << ": " << c.name;
            }
        }
    };
    ASSERT_EQ(window.screen(), screens.front());
    lies(screens.front());
    for (QScreen* screen : screens) {
        window.windowHandle()->setScreen(screen);
        QApplication::processEvents();
        lies(screen);
    }

    // Back on a screen with room for it, the window is as designed, to the pixel.
    window.windowHandle()->setScreen(screens.at(1));
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(536, 533));
    for (const ControlLayout& c : kWindowLayout) {
        const QWidget* control = Control(window, c);
        EXPECT_EQ(QRect(control->mapTo(&window, QPoint()), control->size()),
                  TwipsRect(c.left, c.top, c.width, c.height))
            << c.name;
        EXPECT_DOUBLE_EQ(control->font().pointSizeF(),
                         c.font == ControlFont::Button ? kButtonFontPoints : kWindowFontPoints)
            << c.name;
    }
}

}  // namespace
}  // namespace gantrylux
