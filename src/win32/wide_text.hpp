#pragma once

#include <string>
#include <string_view>

namespace gantrylux::win32 {

// Texts of the window and its dialogs. The core keeps UTF-8; the system takes UTF-16. A
// malformed byte becomes U+FFFD rather than cutting the text short.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace gantrylux::win32
