// What the interval wait costs while it sleeps in the window's event loop: the processor time
// of a long wait, and how soon a click posted during a wait is handled. Prints one line of
// "key=value" pairs for bench/run-bench.
//
//   wait-cost [SECONDS]      (default 10)

#include <sys/resource.h>

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "ports/clock.hpp"
#include "run/wait_interval.hpp"
#include "ui/qt_desktop.hpp"

namespace {

using Steady = std::chrono::steady_clock;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char* argv[]) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    gantrylux::QtDesktop desktop;
    const gantrylux::SystemClock clock;

    // A quiet wait: nothing happens, so all it may cost is waking up at its end.
    const double cpuBefore = CpuSeconds();
    const auto start = Steady::now();
    gantrylux::WaitInterval(seconds, clock, desktop);
    const double waitedSeconds = std::chrono::duration<double>(Steady::now() - start).count();
    const double cpu = CpuSeconds() - cpuBefore;

    // Clicks posted from another thread every 50 ms into a 2-second wait, as the window system
    // would deliver them to a sleeping window; each is timed from posting to handling.
    std::vector<double> delays;
    QObject receiver;
    std::thread clicker([&receiver, &delays] {
        for (int i = 0; i < 30; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const auto posted = Steady::now();
            QMetaObject::invokeMethod(
                &receiver,
                [&delays, posted] {
                    delays.push_back(
                        std::chrono::duration<double, std::milli>(Steady::now() - posted).count());
                },
                Qt::QueuedConnection);
        }
    });
    gantrylux::WaitInterval(2, clock, desktop);
    clicker.join();
    if (delays.empty()) {
        std::fprintf(stderr, "wait-cost: no click was handled during the wait\n");
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    std::printf("wait_s=%.3f cpu_ms=%.2f clicks=%zu click_median_ms=%.2f click_max_ms=%.2f\n",
                waitedSeconds, cpu * 1000, delays.size(), delays[delays.size() / 2], delays.back());
    return 0;
}
