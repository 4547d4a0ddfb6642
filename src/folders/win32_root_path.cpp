#include "folders/win32_path.hpp"

// Plain text work without the system's calls, so it builds and is tested on every platform.
namespace gantrylux::win32 {

namespace {

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsShareRoot(std::wstring_view rest) {
    // rest is "server\share" with an optional trailing separator.
    const auto split = rest.find_first_of(L"\\/");
    if (split == 0 || split == std::wstring_view::npos) {
        return false;
    }
    std::wstring_view share = rest.substr(split + 1);
    if (!share.empty() && IsPathSeparator(share.back())) {
        share.remove_suffix(1);
    }
    return !share.empty() && share.find_first_of(L"\\/") == std::wstring_view::npos;
}

}  // namespace

bool HasNamespacePrefix(std::wstring_view path) {
    return path.size() >= 4 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]) &&
           (path[2] == L'?' || path[2] == L'.') && IsPathSeparator(path[3]);
}

bool IsRootPath(std::wstring_view path) {
    // More than one final separator still names the root: a walk's entry for the row "C:\" is
    // the row and a separator.
    while (path.size() > 1 && IsPathSeparator(path.back()) &&
           IsPathSeparator(path[path.size() - 2])) {
        path.remove_suffix(1);
    }
    if (path.starts_with(kLongUncPathPrefix)) {
        return IsShareRoot(path.substr(kLongUncPathPrefix.size()));
    }
    if (HasNamespacePrefix(path)) {
        path.remove_prefix(
            kLongPathPrefix.size());  // "\\.\C:\" is a drive root, "\\.\pipe\" is not
    } else if (path.size() > 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        return IsShareRoot(path.substr(2));
    }
    return (path.size() == 2 || (path.size() == 3 && IsPathSeparator(path[2]))) &&
           IsDriveLetter(path[0]) && path[1] == L':';
}

}  // namespace gantrylux::win32
