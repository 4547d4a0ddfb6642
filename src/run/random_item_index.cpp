#include "run/random_item_index.hpp"

#include <bit>
#include <cmath>

namespace gantrylux {
namespace {

// splitmix64's output function: a good 64-bit mixer.
std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

std::uint64_t RandomItemIndexer::next() {
    const auto clock = std::bit_cast<std::uint64_t>(clock_.secondsSinceMidnight());
    state_ = Mix(state_ ^ Mix(clock)) + 0x9E3779B97F4A7C15ull;
    return Mix(state_);
}

std::int32_t RandomItemIndexer::RandomItemIndex(std::int32_t count) {
    const double r = static_cast<double>(next() >> 11) * 0x1.0p-53;  // 53 bits in [0, 1)
    return static_cast<std::int32_t>(std::floor(r * count)) + 1;
}

}  // namespace gantrylux
