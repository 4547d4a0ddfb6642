#pragma once

#include <chrono>

namespace gantrylux {

// Time as the opening run needs it: a monotonic clock for waits, which neither midnight nor a
// clock change can move, and the time of day to stir the random draws.
class Clock {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    // Seconds since local midnight, with a fraction.
    virtual double secondsSinceMidnight() const = 0;
};

class SystemClock : public Clock {
  public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    double secondsSinceMidnight() const override;
};

}  // namespace gantrylux
