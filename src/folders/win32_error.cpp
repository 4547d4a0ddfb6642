#include "folders/win32_error.hpp"

#include "folders/file_system.hpp"
#include "folders/win32_api.hpp"
#include "folders/win32_text.hpp"

namespace gantrylux::win32 {

int FolderErrorCode(std::uint32_t system_error) {
    switch (system_error) {
        case ERROR_ACCESS_DENIED:
            return fs_error::kPermissionDenied;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return fs_error::kPathNotFound;
        default:
            return fs_error::kPathFileAccess;
    }
}

std::string SystemMessage(std::uint32_t system_error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, system_error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring_view text(buffer, buffer != nullptr ? length : 0);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.remove_suffix(1);
    }
    std::string message = Narrow(text).text;
    LocalFree(buffer);
    if (message.empty()) {
        message = "The file system reported error " + std::to_string(system_error) + ".";
    }
    return message;
}

void ThrowFolderError(std::uint32_t system_error) {
    throw FileSystemError(FolderErrorCode(system_error), SystemMessage(system_error));
}

}  // namespace gantrylux::win32
