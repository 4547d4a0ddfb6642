#pragma once

#include <string>
#include <string_view>

namespace gantrylux::win32 {

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
