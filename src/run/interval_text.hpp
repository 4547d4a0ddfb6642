#pragma once

#include <cstdint>
#include <string_view>

namespace gantrylux {

// The interval box's text as whole seconds: blanks, a sign and a fraction with "." are
// allowed; an exact half rounds to the even neighbour (2.5 gives 2, 3.5 gives 4). Text that is
// no number, or a value outside -32768..32767, throws ConversionFailure.
std::int16_t ReadInterval(std::string_view text);

}  // namespace gantrylux
