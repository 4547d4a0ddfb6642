#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gantrylux {

// UTF-8 and UTF-16, as the core's texts and the Windows wide-character API hold them. Plain text
// work with no system call, so it is the same on every platform and can be tested anywhere.

// The UTF-16 form of a UTF-8 text; nothing when the text is not well-formed UTF-8.
template <typename Unit>
std::optional<std::basic_string<Unit>> Utf8ToUtf16(std::string_view text);

struct Utf8Text {
    std::string text;
    bool exact = true;  // false when a lone surrogate, which UTF-8 cannot carry, became U+FFFD
};

// How many UTF-16 units the text takes. A text that is not well-formed UTF-8 (a name on Linux
// may be any bytes) counts a unit per byte, which is never less than it shows as.
std::size_t Utf16Length(std::string_view text);

// The UTF-8 form of a UTF-16 text.
template <typename Unit>
Utf8Text Utf16ToUtf8(std::basic_string_view<Unit> text);

}  // namespace gantrylux
