#include "run/interval_text.hpp"

#include <cmath>
#include <string>

#include "base/number_text.hpp"

namespace gantrylux {

namespace {

// Independent of the floating-point environment's rounding mode.
double RoundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        return below + 1;
    }
    return below;
}

}  // namespace

std::int16_t ReadInterval(std::string_view text) {
    const double rounded = RoundHalfToEven(ReadNumber(text));
    if (rounded < -32768 || rounded > 32767) {
        throw ConversionFailure("Overflow: \"" + std::string(text) +
                                "\" is outside -32768 to 32767 seconds");
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace gantrylux
