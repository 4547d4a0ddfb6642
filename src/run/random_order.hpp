#pragma once

#include <cstddef>
#include <vector>

#include "run/random_item_index.hpp"

namespace gantrylux {

// The first `wanted` positions (0-based) of `count` in random order, each once: each draw is
// uniform among the positions not drawn yet, as a single pass of the run draws them, without a
// draw that lands on one drawn already.
std::vector<std::size_t> RandomOrder(std::size_t count, std::size_t wanted,
                                     RandomItemIndexer& random);

}  // namespace gantrylux
