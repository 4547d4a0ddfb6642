#include "app/window_fit.hpp"

#include <algorithm>

namespace gantrylux {

double WindowFitFactor(PixelSize client, PixelSize frame, PixelSize workArea) {
    if (client.width <= 0 || client.height <= 0) {
        return 1;
    }
    const double across = (workArea.width - frame.width) / client.width;
    const double down = (workArea.height - frame.height) / client.height;
    return std::clamp(std::min(across, down), kSmallestFit, 1.0);
}

}  // namespace gantrylux
