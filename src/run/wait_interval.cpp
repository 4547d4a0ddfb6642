#include "run/wait_interval.hpp"

namespace gantrylux {

void WaitInterval(int seconds, const Clock& clock, Desktop& desktop) {
    if (seconds <= 0) {
        return;
    }
    const Clock::TimePoint deadline = clock.now() + std::chrono::seconds(seconds);
    while (!desktop.closing() && clock.now() < deadline) {
        desktop.waitForEvents(deadline);
    }
}

}  // namespace gantrylux
