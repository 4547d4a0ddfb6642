#pragma once

#include <string>
#include <string_view>

namespace gantrylux {

// Collapses doubled separators: one pass from the left, without overlap, so three in a row
// become two. A leading run of separators becomes one "/" on posix and exactly two "\" on
// Windows (the network-path form).
std::string NormalizePath(std::string_view path);

// The two forms, each available on every platform so that both can be tested anywhere.
std::string NormalizePosixPath(std::string_view path);
std::string NormalizeWindowsPath(std::string_view path);

}  // namespace gantrylux
