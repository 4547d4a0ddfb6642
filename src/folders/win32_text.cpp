#include "folders/win32_text.hpp"

#include "folders/utf16.hpp"

namespace gantrylux::win32 {

std::optional<std::wstring> WidenPath(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    return Utf8ToUtf16<wchar_t>(path);
}

// A lone surrogate is legal in a Windows name; U+FFFD stands in for it so the name can still be
// shown, but the text no longer reaches the file.
NarrowedName Narrow(std::wstring_view text) {
    Utf8Text narrowed = Utf16ToUtf8(text);
    return {std::move(narrowed.text), narrowed.exact};
}

}  // namespace gantrylux::win32
