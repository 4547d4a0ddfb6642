#pragma once

#include <cstdint>
#include <string_view>

namespace gantrylux {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

}  // namespace gantrylux
