#include "win32/registry_settings_store.hpp"

#include <windows.h>

#include <cwchar>
#include <stdexcept>
#include <vector>

#include "folders/win32_error.hpp"
#include "win32/wide_text.hpp"

namespace gantrylux::win32 {
namespace {

std::string Where(const std::wstring& keyPath) {
    return "HKEY_CURRENT_USER\\" + Utf8(keyPath);
}

std::string TypeName(DWORD type) {
    switch (type) {
        case REG_EXPAND_SZ:
            return "REG_EXPAND_SZ";
        case REG_MULTI_SZ:
            return "REG_MULTI_SZ";
        case REG_DWORD:
            return "REG_DWORD";
        case REG_QWORD:
            return "REG_QWORD";
        case REG_BINARY:
            return "REG_BINARY";
        case REG_NONE:
            return "REG_NONE";
        default:
            return "type " + std::to_string(type);
    }
}

// One value as the registry holds it: its text, nothing when it was never written, or why it
// cannot be taken for the text this program wrote.
struct StoredValue {
    std::optional<std::string> text;
    std::optional<std::string> failure;
};

StoredValue ReadValue(const std::wstring& keyPath, const std::wstring& name) {
    for (;;) {
        DWORD type = REG_NONE;
        DWORD bytes = 0;
        LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), name.c_str(),
                                      RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &bytes);
        if (status == ERROR_FILE_NOT_FOUND) {
            return {};
        }
        if (status != ERROR_SUCCESS) {
            return {std::nullopt, SystemMessage(static_cast<std::uint32_t>(status))};
        }
        if (type != REG_SZ) {
            return {std::nullopt, "it is a " + TypeName(type) + " value, not text (REG_SZ)"};
        }
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), name.c_str(),
                              RRF_RT_REG_SZ | RRF_NOEXPAND, nullptr, buffer.data(), &bytes);
        if (status == ERROR_MORE_DATA || status == ERROR_UNSUPPORTED_TYPE) {
            continue;  // written again between the two calls
        }
        if (status == ERROR_FILE_NOT_FOUND) {
            return {};
        }
        if (status != ERROR_SUCCESS) {
            return {std::nullopt, SystemMessage(static_cast<std::uint32_t>(status))};
        }
        // The size counts the closing NUL, which RegGetValueW adds where the value lacks it.
        const std::size_t units = bytes / sizeof(wchar_t);
        const std::size_t length = std::wcslen(buffer.data());
        if (units > 0 && length < units - 1) {
            return {std::nullopt, "it holds a NUL character, where text ends"};
        }
        return {Utf8(std::wstring_view(buffer.data(), length)), std::nullopt};
    }
}

}  // namespace

// A key that does not exist yet is no failure: nothing was ever stored. Each setting is looked
// at once here, so that one that cannot be read is told at start-up, whenever it is used.
RegistrySettingsStore::RegistrySettingsStore(std::wstring keyPath) : keyPath_(std::move(keyPath)) {
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) {
        RegCloseKey(key);
    } else if (status != ERROR_FILE_NOT_FOUND) {
        readFailure_ = "Cannot read the settings from " + Where(keyPath_) + ": " +
                       SystemMessage(static_cast<std::uint32_t>(status));
        return;
    }
    for (const std::string_view key : setting::kAll) {
        const StoredValue value = ReadValue(keyPath_, Wide(key));
        if (!value.failure) {
            continue;
        }
        unreadable_.emplace(std::string(key), std::nullopt);
        readFailure_ = readFailure_ ? *readFailure_ + "\n"
                                    : "Cannot read the settings from " + Where(keyPath_) + ":\n";
        *readFailure_ += "\"" + std::string(key) + "\": " + *value.failure + ".";
    }
}

std::string RegistrySettingsStore::read(std::string_view key, std::string_view defaultText) const {
    const StoredValue value = ReadValue(keyPath_, Wide(key));
    if (value.text) {
        return *value.text;
    }
    if (const auto unreadable = unreadable_.find(key); unreadable != unreadable_.end()) {
        unreadable->second = std::string(defaultText);
    }
    return std::string(defaultText);
}

// A value that could not be read stays as it is until the setting is changed: writing back the
// default that stood in for it would lose what the user had there.
void RegistrySettingsStore::write(std::string_view key, std::string_view text) {
    if (const auto unreadable = unreadable_.find(key); unreadable != unreadable_.end()) {
        if (unreadable->second == text) {
            return;
        }
        unreadable_.erase(unreadable);
    }
    const std::wstring name = Wide(key);
    const std::wstring value = Wide(text);
    HKEY handle = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, &handle, nullptr);
    // No flush: a value set is kept if the process is killed right after, and a flush of the
    // hive on every keystroke would stall every other program writing to it.
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(handle, name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    }
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error("Cannot write the settings to " + Where(keyPath_) + ": " +
                                 SystemMessage(static_cast<std::uint32_t>(status)));
    }
}

}  // namespace gantrylux::win32
