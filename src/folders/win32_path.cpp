#include "folders/win32_path.hpp"

#include "folders/win32_api.hpp"

namespace gantrylux::win32 {

namespace {

std::wstring FullPath(const std::wstring& path) {
    std::wstring full(path.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return path;  // the call that follows fails on it with the system's own error
        }
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

}  // namespace

std::wstring ForApi(std::wstring path) {
    if (path.size() < MAX_PATH || HasNamespacePrefix(path)) {
        return path;
    }
    std::wstring full = FullPath(path);
    if (full.size() >= 2 && IsPathSeparator(full[0]) && IsPathSeparator(full[1])) {
        if (HasNamespacePrefix(full)) {
            return full;
        }
        return std::wstring(kLongUncPathPrefix) + full.substr(2);
    }
    return std::wstring(kLongPathPrefix) + full;
}

}  // namespace gantrylux::win32
