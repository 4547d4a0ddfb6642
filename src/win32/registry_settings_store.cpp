#include "win32/registry_settings_store.hpp"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "folders/win32_error.hpp"
#include "win32/wide_text.hpp"

namespace gantrylux::win32 {
namespace {

std::string Where(const std::wstring& keyPath) {
    return "HKEY_CURRENT_USER\\" + Utf8(keyPath);
}

}  // namespace

// A key that does not exist yet is no failure: nothing was ever stored.
RegistrySettingsStore::RegistrySettingsStore(std::wstring keyPath) : keyPath_(std::move(keyPath)) {
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) {
        RegCloseKey(key);
    } else if (status != ERROR_FILE_NOT_FOUND) {
        readFailure_ = "Cannot read the settings from " + Where(keyPath_) + ": " +
                       SystemMessage(static_cast<std::uint32_t>(status));
    }
}

// A value of another type than text was not written here; it reads as never written.
std::string RegistrySettingsStore::read(std::string_view key, std::string_view defaultText) const {
    const std::wstring name = Wide(key);
    for (;;) {
        DWORD bytes = 0;
        LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, keyPath_.c_str(), name.c_str(),
                                      RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
        if (status != ERROR_SUCCESS) {
            return std::string(defaultText);
        }
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegGetValueW(HKEY_CURRENT_USER, keyPath_.c_str(), name.c_str(), RRF_RT_REG_SZ,
                              nullptr, buffer.data(), &bytes);
        if (status == ERROR_MORE_DATA) {
            continue;  // written again between the two calls
        }
        if (status != ERROR_SUCCESS) {
            return std::string(defaultText);
        }
        return Utf8(std::wstring_view(buffer.data()));
    }
}

void RegistrySettingsStore::write(std::string_view key, std::string_view text) {
    const std::wstring name = Wide(key);
    const std::wstring value = Wide(text);
    HKEY handle = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, &handle, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(handle, name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        // The store promises the value is kept once this returns, a crash right after included.
        if (status == ERROR_SUCCESS) {
            status = RegFlushKey(handle);
        }
        RegCloseKey(handle);
    }
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error("Cannot write the settings to " + Where(keyPath_) + ": " +
                                 SystemMessage(static_cast<std::uint32_t>(status)));
    }
}

}  // namespace gantrylux::win32
