#pragma once

#include "ports/clock.hpp"

namespace gantrylux::testing {

// Time that moves only when a test moves it.
class FakeClock : public Clock {
  public:
    TimePoint now() const override { return now_; }
    double secondsSinceMidnight() const override { return timeOfDay_; }

    void advance(std::chrono::steady_clock::duration by) {
        now_ += by;
        timeOfDay_ += std::chrono::duration<double>(by).count();
        if (timeOfDay_ >= 86400) {
            timeOfDay_ -= 86400;
        }
    }
    void setTimeOfDay(double seconds) { timeOfDay_ = seconds; }

  private:
    TimePoint now_{};
    double timeOfDay_ = 43200;
};

}  // namespace gantrylux::testing
