#include "ui/close_on_signal.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace gantrylux {
namespace {

// The window's thread takes the first signal back to its loop once, then never again, as when
// a settings write hangs: the first signal only closes the window, the second ends the process
// by that signal's default action.
TEST(CloseOnSignal, TheFirstSignalClosesTheWindowAndASecondEndsTheProcessWhileItIsBusy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QWidget window;
            window.show();
            CloseOnTerminationSignals(window);
            std::raise(SIGTERM);
            for (int i = 0; i < 1000 && window.isVisible(); ++i) {
                QCoreApplication::processEvents();
            }
            std::fputs(window.isVisible() ? "still shown\n" : "closed\n", stderr);
            std::raise(SIGTERM);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "closed");
}

}  // namespace
}  // namespace gantrylux
