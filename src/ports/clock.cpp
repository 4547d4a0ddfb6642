#include "ports/clock.hpp"

#include <ctime>

namespace gantrylux {

double SystemClock::secondsSinceMidnight() const {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    const auto fraction = now - std::chrono::system_clock::from_time_t(seconds);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
           std::chrono::duration<double>(fraction).count();
}

}  // namespace gantrylux
