#include "base/busy.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace gantrylux {
namespace {

TEST(BusyCounter, NestedOperationsKeepTheOuterOneBusy) {
    std::vector<bool> changes;
    BusyCounter counter([&](bool busy) { changes.push_back(busy); });
    {
        BusyGuard outer(counter);
        {
            BusyGuard inner(counter);
            EXPECT_EQ(counter.depth(), 2);
        }
        EXPECT_TRUE(counter.busy());
        try {
            BusyGuard failing(counter);
            throw std::runtime_error("unwinds");
        } catch (const std::runtime_error&) {
        }
        EXPECT_TRUE(counter.busy());
    }
    EXPECT_FALSE(counter.busy());
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace gantrylux
