#include "win32/wide_text.hpp"

#include "folders/win32_text.hpp"
#include "run/shell_execute_arguments.hpp"

namespace gantrylux::win32 {

std::wstring Wide(std::string_view utf8) {
    const std::u16string text = Utf8ToUtf16(utf8);
    return {text.begin(), text.end()};
}

std::string Utf8(std::wstring_view wide) {
    return Narrow(wide).text;
}

}  // namespace gantrylux::win32
