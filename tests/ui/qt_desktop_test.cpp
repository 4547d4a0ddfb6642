#include "ui/qt_desktop.hpp"

#include <gtest/gtest.h>

#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace gantrylux {
namespace {

// True once the flag is set, false after two seconds.
bool WaitFor(const std::atomic<bool>& flag) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!flag && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return flag;
}

TEST(QtDesktop, TheWindowsEventsAreHandledWhileABackgroundJobRuns) {
    QtDesktop desktop;
    std::atomic<bool> timerFired{false};
    bool jobSawTheTimer = false;
    QTimer::singleShot(0, [&] { timerFired = true; });
    desktop.runInBackground([&](std::stop_token) { jobSawTheTimer = WaitFor(timerFired); });
    EXPECT_TRUE(jobSawTheTimer);
}

TEST(QtDesktop, ABackgroundJobsFailureReachesTheCaller) {
    QtDesktop desktop;
    EXPECT_THROW(
        desktop.runInBackground([](std::stop_token) { throw std::runtime_error("disk on fire"); }),
        std::runtime_error);
}

}  // namespace
}  // namespace gantrylux
