#include "folders/win32_text.hpp"

#include <climits>

#include "folders/win32_api.hpp"

namespace gantrylux::win32 {

std::optional<std::wstring> WidenPath(std::string_view path) {
    if (path.empty()) {
        return std::wstring{};
    }
    if (path.find('\0') != std::string_view::npos || path.size() > INT_MAX) {
        return std::nullopt;
    }
    const int size = static_cast<int>(path.size());
    const int wide_size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    if (wide_size <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(), wide_size);
    return wide;
}

namespace {

std::string NarrowWith(DWORD flags, std::wstring_view text) {
    const int size = static_cast<int>(text.size());
    const int narrow_size =
        WideCharToMultiByte(CP_UTF8, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (narrow_size <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(narrow_size), '\0');
    WideCharToMultiByte(CP_UTF8, flags, text.data(), size, narrow.data(), narrow_size, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace

NarrowedName Narrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > INT_MAX) {
        return {{}, false};
    }
    std::string exact = NarrowWith(WC_ERR_INVALID_CHARS, text);
    if (!exact.empty()) {
        return {std::move(exact), true};
    }
    // A lone surrogate is legal in a Windows name; U+FFFD stands in for it so the name can still
    // be shown, but the text no longer reaches the file.
    return {NarrowWith(0, text), false};
}

}  // namespace gantrylux::win32
