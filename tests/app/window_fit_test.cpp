#include "app/window_fit.hpp"

#include <gtest/gtest.h>

namespace gantrylux {
namespace {

// The designed client area is 536 x 533 pixels at 96 dpi; a frame adds 16 x 39.
TEST(WindowFit, ShrinksOnlyWhereTheWorkAreaIsTooSmallAndNeverBelowReadable) {
    const PixelSize client{536, 533};
    const PixelSize frame{16, 39};
    const struct {
        PixelSize workArea;
        double expected;
    } cases[] = {
        {{1920, 1040}, 1.0},               // 100% on 1920x1080
        {{1366, 728}, 1.0},                // 100% on 1366x768
        {{960, 520}, (520 - 39) / 533.0},  // 200%: the height decides
        {{300, 520}, (300 - 16) / 536.0},  // a narrow screen: the width decides
        {{100, 100}, kSmallestFit},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(WindowFitFactor(client, frame, c.workArea), c.expected)
            << c.workArea.width << "x" << c.workArea.height;
    }
}

}  // namespace
}  // namespace gantrylux
