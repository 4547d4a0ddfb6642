#include "folders/win32_path.hpp"

// Plain text work without the system's calls, so it builds and is tested on every platform.
namespace gantrylux::win32 {

namespace {

constexpr std::wstring_view kPrefix = L"\\\\?\\";
constexpr std::wstring_view kUncPrefix = L"\\\\?\\UNC\\";

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

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
    if (!share.empty() && IsSeparator(share.back())) {
        share.remove_suffix(1);
    }
    return !share.empty() && share.find_first_of(L"\\/") == std::wstring_view::npos;
}

}  // namespace

bool HasNamespacePrefix(std::wstring_view path) {
    return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           (path[2] == L'?' || path[2] == L'.') && IsSeparator(path[3]);
}

bool IsRootPath(std::wstring_view path) {
    if (path.starts_with(kUncPrefix)) {
        return IsShareRoot(path.substr(kUncPrefix.size()));
    }
    if (HasNamespacePrefix(path)) {
        path.remove_prefix(kPrefix.size());  // "\\.\C:\" is a drive root, "\\.\pipe\" is not
    } else if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        return IsShareRoot(path.substr(2));
    }
    return (path.size() == 2 || (path.size() == 3 && IsSeparator(path[2]))) &&
           IsDriveLetter(path[0]) && path[1] == L':';
}

}  // namespace gantrylux::win32
