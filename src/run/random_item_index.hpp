#pragma once

#include <cstdint>

#include "ports/clock.hpp"

namespace gantrylux {

// Draws row positions. Before every draw the time of day is mixed into the generator's running
// state, so draws stay unpredictable from run to run, and draws within one tick of the clock
// still move on instead of restarting one sequence.
class RandomItemIndexer {
  public:
    explicit RandomItemIndexer(const Clock& clock) : clock_(clock) {}

    // floor(r * count) + 1 for a uniform r in [0, 1): a position in 1..count, and 1 for a
    // count of 0.
    std::int32_t RandomItemIndex(std::int32_t count);

  private:
    std::uint64_t next();

    const Clock& clock_;
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

}  // namespace gantrylux
