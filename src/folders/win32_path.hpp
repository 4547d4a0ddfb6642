#pragma once

#include <string>
#include <string_view>

namespace gantrylux::win32 {

// The prefixes that hand a path to the system as it stands, past the classic length limit.
inline constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";
inline constexpr std::wstring_view kLongUncPathPrefix = L"\\\\?\\UNC\\";

inline bool IsPathSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The path to hand to a wide-character file API. A path that reaches the classic length limit
// is made absolute and given the "\\?\" (or "\\?\UNC\") prefix, which lifts the limit; shorter
// paths go as they are, so they keep the system's usual handling of device names, trailing dots
// and spaces.
std::wstring ForApi(std::wstring path);

// True for "\\?\" and "\\.\", which already bypass the length limit and the rewriting of the
// path.
bool HasNamespacePrefix(std::wstring_view path);

// The root folder of a drive ("C:\", "C:") or of a network share ("\\server\share",
// "\\server\share\"), also in the prefixed forms; either separator is accepted.
bool IsRootPath(std::wstring_view path);

}  // namespace gantrylux::win32
