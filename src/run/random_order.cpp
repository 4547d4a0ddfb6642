#include "run/random_order.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>
#include <utility>

namespace gantrylux {

std::vector<std::size_t> RandomOrder(std::size_t count, std::size_t wanted,
                                     RandomItemIndexer& random) {
    // The indexer draws among at most INT32_MAX positions, far more than a list holds.
    count = std::min<std::size_t>(count, std::numeric_limits<std::int32_t>::max());
    wanted = std::min(wanted, count);
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    for (std::size_t drawn = 0; drawn < wanted; ++drawn) {
        const auto left = static_cast<std::int32_t>(count - drawn);
        const std::size_t pick = drawn + static_cast<std::size_t>(random.RandomItemIndex(left) - 1);
        std::swap(order[drawn], order[pick]);
    }
    order.resize(wanted);
    return order;
}

}  // namespace gantrylux
